// ZuiPictogramLabel: a pictogram that keeps its icon and its four texts in
// the object and stores them.
#ifndef SI_IPICTOGRAMLABEL_H
#define SI_IPICTOGRAMLABEL_H

#include "si/atom.h"
#include "si/ipictogram.h"
#include "si/string.h"

class ZuStorageRef;

class ZuiPictogramLabel : public ZuiPictogram
{
public:
    static Zuvi_Interface const interface;

    // False for a version of 4 or more and for a text never set.
    bool GetText(ZuTextVersion version, ZuStringRef & out) const override;
    // False when no icon is set.
    bool GetIcon(ZuAtomRef & out) const override;
    // Keeps a copy of the text's string (an empty text for an empty handle);
    // false for a version of 4 or more.
    bool SetText(ZuTextVersion version, ZuStringRef const & text) override;
    bool SetIcon(ZuAtomRef const & icon) override;

    virtual ~ZuiPictogramLabel() = default;
    // begin, the icon as an atom, the four texts as objects, end.
    virtual void StoreInstance(ZuStorageRef const & storage);
    virtual void RestoreInstance(ZuStorageRef const & storage);
    // The icon and the four texts of another label (nothing when the object
    // is no label).
    virtual void CopyPictogramLabel(ZuObjectRef const & object);
    virtual void DefineLabel(ZuAtomRef const & icon, ZuStringRef const & text_short,
                             ZuStringRef const & text_normal, ZuStringRef const & text_tip,
                             ZuStringRef const & text_desc);

protected:
    ZuiPictogramLabel() = default;
    ZuiPictogramLabel(ZuiPictogramLabel const &) = default;
    ZuiPictogramLabel & operator=(ZuiPictogramLabel const &) = default;

private:
    ZuAtomRef icon;
    ZuStringRef texts[4];
};

#endif
