// The published-data side of ZuObject: the items a class publishes, read
// and written by name or by position as objects or values, and the object's
// user path. (Calls along paths are in si/objectcall.cpp.)

#include "si/object.h"

#include "si/atompath.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/pubdata.h"
#include "si/rtclass.h"
#include "si/string.h"
#include "si/typeinfo.h"
#include "si/values.h"

namespace {

// The root publishes its own handle as "self".
void GetSelf(ZuValueRef& value, ZuObject* object)
{
    value = ZuValueRef(ZuObjectRef(object));
}

void DeclareRootData(ZuRuntime* runtime)
{
    static Zuvi_PubDataDef self = {&ZuObjectRef::RetRuntime(),
                                   "self",
                                   "self reference",
                                   &ZuObject_type,
                                   true,
                                   false,
                                   &GetSelf,
                                   nullptr};
    runtime->PublishData(self);
}

Zuvi_PubDataExport root_data(&DeclareRootData, ZuObjectRef::RetRuntime());

const ZuRuntime* RuntimeOf(const ZuObject* obj)
{
    return obj->RetRuntime().RetRawObject();
}

bool IsObjectKind(const Zuvi_PubData* item)
{
    const Zuvi_TypeDef* t = item->def.type_def;
    return t && (t->kind == ZU_TYPE_OBJECT || t->kind == ZU_TYPE_TEXT || t->kind == ZU_TYPE_ARRAY);
}

// The i-th item over the chain of classes, own class first.
const Zuvi_PubData* NthItem(const ZuObject* obj, unsigned i)
{
    for (const ZuRuntime* rt = RuntimeOf(obj); rt; rt = rt->RetSuper().RetRawObject()) {
        if (i < rt->CountPubData()) {
            const Zuvi_PubData* item = nullptr;
            rt->GetPubData(i, item);
            return item;
        }
        i -= rt->CountPubData();
    }
    return nullptr;
}

bool ReadValue(const Zuvi_PubData* item, ZuObject* obj, ZuValueRef& out)
{
    if (!item->def.is_read_ok || !item->def.getter)
        return false;
    ZuValueRef value;
    item->def.getter(value, obj);
    out = value;
    return true;
}

bool ReadObject(const Zuvi_PubData* item, ZuObject* obj, ZuObjectRef& out)
{
    if (!IsObjectKind(item))
        return false;
    ZuValueRef value;
    if (!ReadValue(item, obj, value))
        return false;
    out = value.IsValid() ? value->RetObject() : ZuObjectNull;
    return true;
}

bool WriteValue(const Zuvi_PubData* item, ZuObject* obj, const ZuValueRef& value)
{
    return item->def.is_write_ok && item->def.setter && item->def.setter(value, obj);
}

bool WriteObject(const Zuvi_PubData* item, ZuObject* obj, const ZuObjectRef& value)
{
    if (!item->def.is_write_ok || !item->def.setter || !IsObjectKind(item))
        return false;
    // A value that holds an object stands for that object.
    ZuObjectRef held(value);
    for (int guard = 0; guard < 64; ++guard) {
        ZuObject* o = held.Resolve();
        if (!o || !o->ZuObject::IsKindOf(ZuValueRef::RetRuntime()))
            break;
        ZuValue* v = static_cast<ZuValue*>(o);
        if (!v->IsObject())
            break;
        held = v->RetObject();
    }
    return item->def.setter(ZuValueRef(held), obj);
}

} // namespace

// ---------------------------------------------------------------------------
// The user path
// ---------------------------------------------------------------------------

ZuAtomPathRef ZuObject::RetUserPath()
{
    ZuObjectRef made(ZuNew<ZuAtomPath>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE));
    ZuAtomPathRef path(made);
    ZuAtomRef name = RetUserName();
    if (name.IsValid())
        path->AddAtom(name);
    return path;
}

// ---------------------------------------------------------------------------
// Published data
// ---------------------------------------------------------------------------

unsigned ZuObject::CountPublicData() const
{
    unsigned n = 0;
    for (const ZuRuntime* rt = RuntimeOf(this); rt; rt = rt->RetSuper().RetRawObject())
        n += rt->CountPubData();
    return n;
}

bool ZuObject::GetPublicData(unsigned i, ZuAtomRef& name, ZuStringRef& description,
                             ZuTypeInfoRef& type) const
{
    const Zuvi_PubData* item = NthItem(this, i);
    if (!item)
        return false;
    name = item->name;
    description = ZuStringRef(item->def.description ? item->def.description : "");
    type = ZuNew<ZuTypeInfo>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
    type->Initialise(item->def.type_def, item->bitset_info, item->def.is_read_ok,
                     item->def.is_write_ok);
    return true;
}

bool ZuObject::GetPublicData(unsigned i, ZuAtomRef& name, ZuTypeInfoRef& type) const
{
    ZuStringRef description;
    return GetPublicData(i, name, description, type);
}

bool ZuObject::GetPublicData(unsigned i, ZuAtomRef& name) const
{
    const Zuvi_PubData* item = NthItem(this, i);
    if (!item)
        return false;
    name = item->name;
    return true;
}

bool ZuObject::QueryData(const ZuAtomRef& name, ZuObjectRef& out) const
{
    const ZuRuntime* rt = RuntimeOf(this);
    ZuObject* self = const_cast<ZuObject*>(this);
    for (unsigned n = 0; rt; ++n) {
        const Zuvi_PubData* item = rt->FindPubData(name, n);
        if (!item)
            break;
        for (const Zuvi_PubData* g = item; g; g = g->same_name)
            if (ReadObject(g, self, out))
                return true;
    }
    return false;
}

bool ZuObject::QueryData(const ZuAtomRef& name, ZuValueRef& out) const
{
    const ZuRuntime* rt = RuntimeOf(this);
    ZuObject* self = const_cast<ZuObject*>(this);
    for (unsigned n = 0; rt; ++n) {
        const Zuvi_PubData* item = rt->FindPubData(name, n);
        if (!item)
            break;
        for (const Zuvi_PubData* g = item; g; g = g->same_name)
            if (ReadValue(g, self, out))
                return true;
    }
    return false;
}

bool ZuObject::QueryData(unsigned i, ZuObjectRef& out) const
{
    ZuObject* self = const_cast<ZuObject*>(this);
    for (const Zuvi_PubData* g = NthItem(this, i); g; g = g->same_name)
        if (ReadObject(g, self, out))
            return true;
    return false;
}

bool ZuObject::QueryData(unsigned i, ZuValueRef& out) const
{
    ZuObject* self = const_cast<ZuObject*>(this);
    for (const Zuvi_PubData* g = NthItem(this, i); g; g = g->same_name)
        if (ReadValue(g, self, out))
            return true;
    return false;
}

bool ZuObject::DefineData(const ZuAtomRef& name, const ZuObjectRef& value)
{
    const ZuRuntime* rt = RuntimeOf(this);
    for (unsigned n = 0; rt; ++n) {
        const Zuvi_PubData* item = rt->FindPubData(name, n);
        if (!item)
            break;
        for (const Zuvi_PubData* g = item; g; g = g->same_name)
            if (WriteObject(g, this, value))
                return true;
    }
    return false;
}

bool ZuObject::DefineData(const ZuAtomRef& name, const ZuValueRef& value)
{
    const ZuRuntime* rt = RuntimeOf(this);
    for (unsigned n = 0; rt; ++n) {
        const Zuvi_PubData* item = rt->FindPubData(name, n);
        if (!item)
            break;
        for (const Zuvi_PubData* g = item; g; g = g->same_name)
            if (WriteValue(g, this, value) || WriteObject(g, this, value))
                return true;
    }
    return false;
}

bool ZuObject::DefineData(unsigned i, const ZuObjectRef& value)
{
    for (const Zuvi_PubData* g = NthItem(this, i); g; g = g->same_name)
        if (WriteObject(g, this, value))
            return true;
    return false;
}

bool ZuObject::DefineData(unsigned i, const ZuValueRef& value)
{
    for (const Zuvi_PubData* g = NthItem(this, i); g; g = g->same_name)
        if (WriteValue(g, this, value) || WriteObject(g, this, value))
            return true;
    return false;
}
