#include "si/database.h"

#include "si/array.h"
#include "si/classfactory.h"
#include "si/dbentity.h"
#include "si/error.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/storage.h"

ZU_IMPLEMENT_CLASS(ZuDataBase, "si/database", ZU_CLASS_PLAIN)

namespace {

ZuDictRef NewDict(ZuMemZone* zone)
{
    return ZuDictRef(ZuNew<ZuDict>(zone, __LINE__, ZU_SRC_FILE));
}

ZuHashTableRef NewTable(ZuMemZone* zone)
{
    return ZuHashTableRef(ZuNew<ZuHashTable>(zone, __LINE__, ZU_SRC_FILE));
}

ZuEntity* EntityOf(const ZuObjectRef& object)
{
    return dynamic_cast<ZuEntity*>(object.IsValid() ? const_cast<ZuObjectRef&>(object).Resolve()
                                                    : nullptr);
}

} // namespace

ZuDataBase::ZuDataBase() : mode(0), attr_index(0)
{
    ZuMemZone* zone = RetMemZone() != nullptr ? RetMemZone() : Zuvi_app_zone;
    dict = NewDict(zone);
    array = NewTable(zone);
}

ZuDataBase::~ZuDataBase()
{
    RemoveAll();
}

void ZuDataBase::SpecifyExtractEntity(const ZuAtomRef& sort)
{
    mode = 1;
    this->sort = sort;
    attr_name = ZuAtomNull;
    attr_index = 0;
}

void ZuDataBase::SpecifyExtractAttribute(const ZuAtomRef& sort, const ZuAtomRef& attribute)
{
    mode = 2;
    this->sort = sort;
    attr_name = attribute;
    attr_index = 0;
}

void ZuDataBase::SpecifyExtractAttribute(const ZuAtomRef& sort, unsigned int position)
{
    mode = 3;
    this->sort = sort;
    attr_name = ZuAtomNull;
    attr_index = position;
}

bool ZuDataBase::SpecifyExtraction(const ZuArrayRef& spec)
{
    static const ZuAtomRef extract_entity("ExtractEntity");
    static const ZuAtomRef extract_attribute("ExtractAttribute");

    if (spec.IsInvalid())
        return false;
    unsigned int count = spec->TotalCount();
    ZuObjectRef first;
    if (count == 0 || !spec->Get(0, first) || dynamic_cast<ZuAtom*>(first.Resolve()) == nullptr)
        return false;
    ZuObjectRef a, b;
    if (count == 2 && first == extract_entity) {
        spec->Get(1, a);
        SpecifyExtractEntity(ZuAtomRef(a));
        return true;
    }
    if (count == 3 && first == extract_attribute) {
        spec->Get(1, a);
        spec->Get(2, b);
        SpecifyExtractAttribute(ZuAtomRef(a), ZuAtomRef(b));
        return true;
    }
    return false;
}

unsigned int ZuDataBase::TotalCount() const
{
    ZU_ASSERT_TEXT(this->array.IsValid(), "this->array.IsValid ()");
    return array->TotalCount();
}

bool ZuDataBase::Get(unsigned int n, ZuObjectRef& out)
{
    switch (mode) {
    case 1: {
        ZuEntityRef entity;
        bool found = GetEntity(sort, n, entity);
        out = entity;
        return found;
    }
    case 2:
        return GetAttribute(sort, n, attr_name, out);
    case 3:
        return GetAttribute(sort, n, attr_index, out);
    default:
        out = ZuObjectNull;
        return false;
    }
}

bool ZuDataBase::GetEntity(const ZuAtomRef& attribute, unsigned int n, ZuEntityRef& out)
{
    out = ZuEntityNull;
    if (dict.IsInvalid() || array.IsInvalid())
        return false;
    ZuObjectRef found;
    ZuDict* index = nullptr;
    if (dict->GetFromKey(attribute, found, 0))
        index = dynamic_cast<ZuDict*>(found.Resolve());
    if (index == nullptr) {
        ZuDictRef fresh = NewDict(RetMemZone() != nullptr ? RetMemZone() : Zuvi_app_zone);
        ZuObjectRef entry, value;
        for (unsigned int i = 0; array->Get(i, entry); ++i) {
            ZuEntity* entity = EntityOf(entry);
            if (entity == nullptr)
                continue;
            entity->GetAttribute(attribute, value); // null when it lacks it
            fresh->Insert(value, entry);
        }
        dict->Insert(attribute, fresh);
        found = fresh;
        index = fresh.operator->();
    }
    ZuObjectRef key, value;
    if (!index->Get(n, key, value) || EntityOf(value) == nullptr)
        return false;
    out = value;
    return true;
}

bool ZuDataBase::GetAttribute(const ZuAtomRef& sort, unsigned int n, const ZuAtomRef& attribute,
                              ZuObjectRef& out)
{
    ZuEntityRef entity;
    if (!GetEntity(sort, n, entity)) {
        out = ZuObjectNull;
        return false;
    }
    return entity->GetAttribute(attribute, out);
}

bool ZuDataBase::GetAttribute(const ZuAtomRef& sort, unsigned int n, unsigned int position,
                              ZuObjectRef& out)
{
    ZuEntityRef entity;
    if (!GetEntity(sort, n, entity)) {
        out = ZuObjectNull;
        return false;
    }
    return entity->GetAttribute(position, out);
}

bool ZuDataBase::Insert(const ZuEntityRef& entity)
{
    if (array.IsInvalid() || !array->Insert(entity))
        return false;
    ZuObjectRef key, index, value;
    for (unsigned int i = 0; dict->Get(i, key, index); ++i) {
        ZuDict* d = dynamic_cast<ZuDict*>(index.Resolve());
        if (d != nullptr && entity->GetAttribute(ZuAtomRef(key), value))
            d->Insert(value, entity);
    }
    return true;
}

bool ZuDataBase::Remove(const ZuEntityRef& entity)
{
    if (array.IsInvalid() || !array->Remove(entity, 0))
        return false;
    bool all = true;
    ZuObjectRef key, index;
    for (unsigned int i = 0; dict->Get(i, key, index); ++i) {
        ZuDict* d = dynamic_cast<ZuDict*>(index.Resolve());
        if (d == nullptr || !d->RemoveValue(entity, 0))
            all = false;
    }
    return all;
}

void ZuDataBase::RemoveAll()
{
    if (array.IsValid())
        array->RemoveAll();
    if (dict.IsInvalid())
        return;
    ZuObjectRef key, index;
    while (dict->Get(0, key, index)) {
        dict->Remove(0u);
        ZuDict* d = dynamic_cast<ZuDict*>(index.Resolve());
        if (d != nullptr)
            d->RemoveAll();
    }
}

bool ZuDataBase::Find(const ZuAtomRef& attribute, const ZuObjectRef& value, ZuEntityRef& out,
                      unsigned int n, bool compare)
{
    out = ZuEntityNull;
    if (value.IsInvalid())
        compare = false;
    if (array.IsInvalid())
        return false;
    ZuObjectRef entry, attr;
    for (unsigned int i = 0; array->Get(i, entry); ++i) {
        ZuEntity* entity = EntityOf(entry);
        if (entity == nullptr || !entity->GetAttribute(attribute, attr))
            continue;
        bool match = attr == value || (compare && value->CompareWith(attr) == 0);
        if (!match)
            continue;
        if (n == 0) {
            out = entry;
            return true;
        }
        --n;
    }
    return false;
}

void ZuDataBase::StoreInstance(const ZuStorageRef& storage)
{
    ZuBaseContainer::StoreInstance(storage);
    static ZuStorageSync record("<ZuDataBase array dict <extr mode sort attr_name attr_index> >");
    storage << record << ZuStorageSync::begin;
    storage->StoreObject(array);
    storage->StoreObject(dict);
    storage << mode;
    storage->StoreAtom(sort);
    storage << ZuStorageSync::begin;
    storage->StoreAtom(attr_name);
    storage << attr_index << ZuStorageSync::end;
    storage << ZuStorageSync::end;
}

void ZuDataBase::RestoreInstance(const ZuStorageRef& storage)
{
    ZuBaseContainer::RestoreInstance(storage);
    // The constructor's empty table and dictionary give way to the stored ones.
    array = ZuHashTableNull;
    dict = ZuDictNull;
    try {
        storage >> ZuStorageSync::type >> ZuStorageSync::begin;
        storage->RestoreObject(array, ZuHashTableRef::RetRuntime());
        storage->RestoreObject(dict, ZuDictRef::RetRuntime());
        storage >> mode;
        storage->RestoreAtom(sort);
        storage >> ZuStorageSync::begin;
        storage->RestoreAtom(attr_name);
        storage >> attr_index >> ZuStorageSync::end;
        storage >> ZuStorageSync::end;
    } catch (...) {
        // A data base cut short still has its table and index dictionary.
        ZuMemZone* zone = RetMemZone() != nullptr ? RetMemZone() : Zuvi_app_zone;
        if (array.IsInvalid())
            array = NewTable(zone);
        if (dict.IsInvalid())
            dict = NewDict(zone);
        throw;
    }
    // Stored data without them (or with other objects in their place) would
    // leave a data base that stops the program at its first count.
    ZuMemZone* zone = RetMemZone() != nullptr ? RetMemZone() : Zuvi_app_zone;
    if (array.IsInvalid() || dynamic_cast<ZuHashTable*>(array.Resolve()) == nullptr)
        array = NewTable(zone);
    if (dict.IsInvalid() || dynamic_cast<ZuDict*>(dict.Resolve()) == nullptr)
        dict = NewDict(zone);
    if (mode > 3)
        mode = 0;
}
