// ZuiPictogram: an object shown with an icon and up to four texts (short,
// normal, tip, description), and further items reached by key: the texts
// under "text_short", "text_normal", "text_tip" and "text_desc", the icon
// under "icon".
#ifndef SI_IPICTOGRAM_H
#define SI_IPICTOGRAM_H

#include "si/interface.h"
#include "si/textversion.h"

class ZuAtomRef;
class ZuObjectRef;
class ZuStringRef;

class ZuiPictogram {
public:
    static const Zuvi_Interface interface;

    virtual bool GetText(ZuTextVersion version, ZuStringRef& out) const = 0;
    virtual bool GetIcon(ZuAtomRef& out) const = 0;
    // An empty key gives a new array of the five key atoms, in the order
    // above; a key of a text or of the icon gives that item; any other key
    // is false.
    virtual bool GetMore(const ZuAtomRef& key, ZuObjectRef& out) const;
    // The item, or an empty handle when the Get operation fails.
    virtual ZuStringRef RetText(ZuTextVersion version);
    virtual ZuAtomRef RetIcon();
    virtual ZuObjectRef RetMore(const ZuAtomRef& key);
    // A plain pictogram cannot be changed: false.
    virtual bool SetText(ZuTextVersion version, const ZuStringRef& text);
    virtual bool SetIcon(const ZuAtomRef& icon);
    // The object as a string for a text key, as an atom for "icon".
    virtual bool SetMore(const ZuAtomRef& key, const ZuObjectRef& object);
    virtual ZuObject* RetSelfAsObject() = 0;

protected:
    ZuiPictogram() = default;
    ZuiPictogram(const ZuiPictogram&) = default;
    ZuiPictogram& operator=(const ZuiPictogram&) = default;
    ~ZuiPictogram() = default;
};

#endif
