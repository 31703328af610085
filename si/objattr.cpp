// Attributes of ZuObject: name/value pairs kept in a dictionary that hangs
// off the object's extension record. Part of the root object, kept apart
// because it builds on the dictionary.

#include "si/atom.h"
#include "si/classfactory.h"
#include "si/dict.h"
#include "si/object.h"

namespace {

ZuDict* Attributes(const ZuObjectRef* handle)
{
    // Checked: the handle is also set by restoring.
    return handle != nullptr ? dynamic_cast<ZuDict*>(handle->Resolve()) : nullptr;
}

} // namespace

bool ZuObject::SetAttribute(const ZuObjectRef& key, const ZuObjectRef& value)
{
    Extension();
    ZuObjectRef* handle = AttributeHandle();
    if (Attributes(handle) == nullptr)
        *handle = ZuNew<ZuDict>(RetMemZone(), __LINE__, ZU_SRC_FILE);
    return Attributes(handle)->Insert(key, value);
}

bool ZuObject::SetAttribute(const char* name, const ZuObjectRef& value)
{
    return SetAttribute(ZuAtomRef(name), value);
}

bool ZuObject::SetAttribute(const ZuObjectRef& key)
{
    return SetAttribute(key, ZuObjectNull);
}

bool ZuObject::SetAttribute(const char* name)
{
    return SetAttribute(ZuAtomRef(name), ZuObjectNull);
}

bool ZuObject::RemoveAttribute(unsigned index)
{
    ZuDict* attr = Attributes(AttributeHandle());
    return attr != nullptr && attr->Remove(index);
}

bool ZuObject::RemoveAttribute(const ZuObjectRef& key, unsigned n)
{
    ZuDict* attr = Attributes(AttributeHandle());
    return attr != nullptr && attr->Remove(key, n);
}

bool ZuObject::RemoveAttribute(const char* name, unsigned n)
{
    return RemoveAttribute(ZuAtomRef(name), n);
}

bool ZuObject::GetAttribute(unsigned index, ZuObjectRef& key, ZuObjectRef& value) const
{
    ZuDict* attr = Attributes(AttributeHandle());
    return attr != nullptr && attr->Get(index, key, value);
}

bool ZuObject::GetAttribute(const ZuObjectRef& key, ZuObjectRef& value, unsigned n) const
{
    ZuDict* attr = Attributes(AttributeHandle());
    return attr != nullptr && attr->GetFromKey(key, value, n);
}

bool ZuObject::GetAttribute(const char* name, ZuObjectRef& value, unsigned n) const
{
    return GetAttribute(ZuAtomRef(name), value, n);
}

bool ZuObject::GetAttribute(const ZuObjectRef& key, unsigned n) const
{
    ZuObjectRef value;
    return GetAttribute(key, value, n);
}

bool ZuObject::GetAttribute(const char* name, unsigned n) const
{
    ZuObjectRef value;
    return GetAttribute(ZuAtomRef(name), value, n);
}

unsigned ZuObject::CountAttributes() const
{
    ZuDict* attr = Attributes(AttributeHandle());
    return attr != nullptr ? attr->TotalCount() : 0;
}
