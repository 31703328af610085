#include "si/ipictogram.h"

#include "si/array.h"
#include "si/atom.h"
#include "si/classfactory.h"
#include "si/error.h"
#include "si/memzone.h"
#include "si/string.h"

namespace {

// The keys of the four texts, in version order, then the icon's.
const char* const text_keys[4] = {"text_short", "text_normal", "text_tip", "text_desc"};
const char* const icon_key = "icon";

// The text version a key names, or 4 when it names no text.
unsigned int TextVersionOfKey(const ZuAtomRef& key)
{
    for (unsigned int v = 0; v < 4; ++v)
        if (key == text_keys[v])
            return v;
    return 4;
}

} // namespace

bool ZuiPictogram::GetMore(const ZuAtomRef& key, ZuObjectRef& out) const
{
    if (key.IsInvalid()) {
        ZuArrayRef names(ZuNew<ZuArray>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE));
        for (const char* name : text_keys)
            names->Insert(ZuAtomRef(name));
        names->Insert(ZuAtomRef(icon_key));
        out = names;
        return true;
    }
    unsigned int version = TextVersionOfKey(key);
    if (version < 4) {
        ZuStringRef text;
        bool found = GetText(static_cast<ZuTextVersion>(version), text);
        out = text;
        return found;
    }
    if (key == icon_key) {
        ZuAtomRef atom;
        bool found = GetIcon(atom);
        out = atom;
        return found;
    }
    return false;
}

ZuStringRef ZuiPictogram::RetText(ZuTextVersion version)
{
    ZuStringRef text;
    if (!GetText(version, text))
        return ZuStringRef();
    return text;
}

ZuAtomRef ZuiPictogram::RetIcon()
{
    ZuAtomRef atom;
    if (!GetIcon(atom))
        return ZuAtomRef();
    return atom;
}

ZuObjectRef ZuiPictogram::RetMore(const ZuAtomRef& key)
{
    ZuObjectRef object;
    if (!GetMore(key, object))
        return ZuObjectRef();
    return object;
}

bool ZuiPictogram::SetText(ZuTextVersion, const ZuStringRef&)
{
    return false;
}

bool ZuiPictogram::SetIcon(const ZuAtomRef&)
{
    return false;
}

bool ZuiPictogram::SetMore(const ZuAtomRef& key, const ZuObjectRef& object)
{
    if (key.IsInvalid())
        return false;
    unsigned int version = TextVersionOfKey(key);
    if (version < 4)
        return SetText(static_cast<ZuTextVersion>(version), ZuStringRef(object));
    if (key == icon_key)
        return SetIcon(ZuAtomRef(object));
    return false;
}
