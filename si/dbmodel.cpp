#include "si/dbmodel.h"

#include "si/classfactory.h"
#include "si/dbentity.h"
#include "si/error.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/string.h"

ZU_IMPLEMENT_CLASS(ZuEntityModel, "si/dbmodel", ZU_CLASS_PLAIN)

ZuEntityModel::ZuEntityModel() : user_num(0), name_num(0) {}

ZuEntityModel::~ZuEntityModel()
{
    ZU_ASSERT(this->user_num == 0);
}

bool ZuEntityModel::Initialise(const ZuDataBaseRef& db, const ZuStringRef& name, unsigned int count)
{
    if (user_num != 0 || name_num != 0 || count == 0)
        return false;
    ZuArrayRef names(ZuNew<ZuArray>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE));
    if (names.IsInvalid() || !names->SetSize(count))
        return false;
    names->SetMemZone(RetMemZone());
    containing_db = db;
    name_array = names;
    name_num = count;
    this->name = ZuAtomRef(name);
    return true;
}

bool ZuEntityModel::AddAttribute(const ZuAtomRef& attribute)
{
    if (name_array.IsInvalid())
        return false;
    unsigned int count = name_array->TotalCount();
    if (count > name_num)
        count = name_num;
    for (unsigned int i = 0; i < count; ++i) {
        ZuObjectRef& slot = name_array->Access(i);
        if (slot.IsInvalid()) {
            slot = attribute;
            return true;
        }
        if (slot == attribute)
            return false;
    }
    return false;
}

unsigned int ZuEntityModel::GetAttributeIndex(const ZuAtomRef& attribute) const
{
    if (name_array.IsInvalid() || attribute.IsInvalid())
        return 0;
    ZuObjectRef slot;
    for (unsigned int i = 0; i < name_num && name_array->Get(i, slot); ++i)
        if (slot.IsValid() && slot == attribute)
            return i + 1;
    return 0;
}

bool ZuEntityModel::GetAttributeIndex(const ZuAtomRef& attribute, unsigned int& position) const
{
    position = GetAttributeIndex(attribute);
    return position != 0;
}

bool ZuEntityModel::GetAttributeName(unsigned int position, ZuAtomRef& out) const
{
    ZuObjectRef slot;
    if (position == 0 || position > name_num || name_array.IsInvalid() ||
        !name_array->Get(position - 1, slot)) {
        out = ZuAtomNull;
        return false;
    }
    out = slot.IsValid() ? ZuAtomRef(slot) : ZuAtomNull;
    return true;
}

unsigned int ZuEntityModel::CountAttributes() const
{
    return name_num;
}

bool ZuEntityModel::SpecifyExtraction(const ZuArrayRef&)
{
    return false;
}

unsigned int ZuEntityModel::TotalCount() const
{
    return name_num;
}

bool ZuEntityModel::Get(unsigned int position, ZuObjectRef& out)
{
    ZuAtomRef attribute;
    bool found = GetAttributeName(position, attribute);
    out = attribute;
    return found;
}

void ZuEntityModel::AddUser(const ZuEntityRef&)
{
    ZU_ASSERT(this->name_num);
    ZU_ASSERT_TEXT(this->name_array->TotalCount() > 0, "this->name_array->TotalCount () > 0");
    ++user_num;
}

void ZuEntityModel::RemoveUser(const ZuEntityRef&)
{
    ZU_ASSERT(this->user_num);
    --user_num;
}

void ZuEntityModel::StoreInstance(const ZuStorageRef& storage)
{
    ZuBaseContainer::StoreInstance(storage);
    static ZuStorageSync record("<ZuEntityModel containing_db name name_num name_array>");
    storage << record << ZuStorageSync::begin;
    storage->StoreObject(containing_db);
    storage->StoreAtom(name);
    storage << name_num;
    storage->StoreObject(name_array);
    storage << ZuStorageSync::end;
}

void ZuEntityModel::RestoreInstance(const ZuStorageRef& storage)
{
    ZuBaseContainer::RestoreInstance(storage);
    storage >> ZuStorageSync::type >> ZuStorageSync::begin;
    storage->RestoreObject(containing_db, ZuDataBaseRef::RetRuntime());
    storage->RestoreAtom(name);
    storage >> name_num;
    storage->RestoreObject(name_array, ZuArrayRef::RetRuntime());
    storage >> ZuStorageSync::end;
    // The name array's own content arrives later (the storage restores
    // objects' data deferred), so disagreement between name_num and it is
    // handled where positions are read.
}
