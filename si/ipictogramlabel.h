// ZuiPictogramLabel: a pictogram that keeps its icon and its four texts in
// the object and stores them.
#ifndef SI_IPICTOGRAMLABEL_H
#define SI_IPICTOGRAMLABEL_H

#include "si/atom.h"
#include "si/ipictogram.h"
#include "si/string.h"

class ZuStorageRef;

class ZuiPictogramLabel : public ZuiPictogram {
public:
    static const Zuvi_Interface interface;

    // False for a version of 4 or more and for a text never set.
    bool GetText(ZuTextVersion version, ZuStringRef& out) const override;
    // False when no icon is set.
    bool GetIcon(ZuAtomRef& out) const override;
    // Keeps a copy of the text's string (an empty text for an empty handle);
    // false for a version of 4 or more.
    bool SetText(ZuTextVersion version, const ZuStringRef& text) override;
    bool SetIcon(const ZuAtomRef& icon) override;

    virtual ~ZuiPictogramLabel() = default;
    // begin, the icon as an atom, the four texts as objects, end.
    virtual void StoreInstance(const ZuStorageRef& storage);
    virtual void RestoreInstance(const ZuStorageRef& storage);
    // The icon and the four texts of another label (nothing when the object
    // is no label).
    virtual void CopyPictogramLabel(const ZuObjectRef& object);
    virtual void DefineLabel(const ZuAtomRef& icon, const ZuStringRef& text_short,
                             const ZuStringRef& text_normal, const ZuStringRef& text_tip,
                             const ZuStringRef& text_desc);

protected:
    ZuiPictogramLabel() = default;
    ZuiPictogramLabel(const ZuiPictogramLabel&) = default;
    ZuiPictogramLabel& operator=(const ZuiPictogramLabel&) = default;

private:
    ZuAtomRef icon;
    ZuStringRef texts[4];
};

#endif
