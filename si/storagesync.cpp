#include "si/storagesync.h"

ZuStorageSync ZuStorageSync::mark("mark");
ZuStorageSync ZuStorageSync::begin("begin");
ZuStorageSync ZuStorageSync::repeat("repeat");
ZuStorageSync ZuStorageSync::end("end");
ZuStorageSync ZuStorageSync::end_repeat("end_repeat");
ZuStorageSync ZuStorageSync::type("type");

ZuStorageSync::ZuStorageSync(const char* text_) : text(text_), name(), name_built(false) {}

ZuStorageSync::ZuStorageSync(const ZuStorageSync& other)
    : text(other.text), name(other.name), name_built(other.name_built)
{}

ZuStorageSync& ZuStorageSync::operator=(const ZuStorageSync& other)
{
    text = other.text;
    name = other.name;
    name_built = other.name_built;
    return *this;
}

const ZuAtomRef& ZuStorageSync::UpdateInternalName()
{
    // Records are statics that outlive the atoms: when the services stop,
    // the atom goes and the handle is emptied, and a record written after
    // they started again is named anew rather than written empty.
    if (!name_built || name.IsInvalid()) {
        name = ZuAtomRef(text);
        name_built = true;
    }
    return name;
}
