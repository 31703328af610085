#include "si/dbentity.h"

#include "si/classfactory.h"
#include "si/error.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/storage.h"

ZU_IMPLEMENT_CLASS(ZuEntity, "si/dbentity", ZU_CLASS_PLAIN)

ZuEntity::ZuEntity() : data_num(0) {}

ZuEntity::~ZuEntity()
{
    // The handle of a dying object must not be taken: the model only counts.
    if (model.IsValid())
        model->RemoveUser(ZuEntityNull);
}

void ZuEntity::Initialise(const ZuEntityModelRef& model)
{
    ZU_ASSERT_TEXT(this->model.IsInvalid(), "this->model.IsInvalid ()");
    ZU_ASSERT_TEXT(model.IsValid(), "model.IsValid ()");
    model->AddUser(ZuEntityRef(this));
    this->model = model;
    unsigned int count = model->CountAttributes();
    ZuArrayRef values(ZuNew<ZuArray>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE));
    values->SetSize(count);
    values->SetMemZone(RetMemZone());
    data_array = values;
    data_num = count;
}

void ZuEntity::RemoveAll()
{
    if (data_array.IsInvalid())
        return;
    unsigned int count = data_array->TotalCount();
    for (unsigned int i = 0; i < count; ++i)
        data_array->Access(i) = ZuObjectNull;
}

bool ZuEntity::GetAttribute(unsigned int position, ZuObjectRef& out) const
{
    // The array's own size is checked too: restored data may disagree.
    if (position == 0 || position > data_num || model.IsInvalid() || data_array.IsInvalid() ||
        data_array->TotalCount() == 0 || !data_array->Get(position - 1, out)) {
        out = ZuObjectNull;
        return false;
    }
    return true;
}

bool ZuEntity::GetAttribute(const ZuAtomRef& name, ZuObjectRef& out) const
{
    if (model.IsInvalid()) {
        out = ZuObjectNull;
        return false;
    }
    return GetAttribute(model->GetAttributeIndex(name), out);
}

bool ZuEntity::SetAttribute(unsigned int position, const ZuObjectRef& value)
{
    if (position == 0 || position > data_num || model.IsInvalid() || data_array.IsInvalid() ||
        position > data_array->TotalCount())
        return false;
    data_array->Access(position - 1) = value;
    return true;
}

bool ZuEntity::SetAttribute(const ZuAtomRef& name, const ZuObjectRef& value)
{
    if (model.IsInvalid())
        return false;
    return SetAttribute(model->GetAttributeIndex(name), value);
}

const ZuEntityModelRef& ZuEntity::GetEntityModel() const
{
    return model;
}

unsigned int ZuEntity::CountAttributes() const
{
    return data_num;
}

bool ZuEntity::SpecifyExtraction(const ZuArrayRef&)
{
    return false;
}

unsigned int ZuEntity::TotalCount() const
{
    return data_num;
}

bool ZuEntity::Get(unsigned int position, ZuObjectRef& out)
{
    return GetAttribute(position, out);
}

void ZuEntity::StoreInstance(const ZuStorageRef& storage)
{
    ZuBaseContainer::StoreInstance(storage);
    static ZuStorageSync record("<ZuEntity model data_num data_array>");
    storage << record << ZuStorageSync::begin;
    storage->StoreObject(model);
    storage << data_num;
    storage->StoreObject(data_array);
    storage << ZuStorageSync::end;
}

void ZuEntity::RestoreInstance(const ZuStorageRef& storage)
{
    ZuBaseContainer::RestoreInstance(storage);
    storage >> ZuStorageSync::type >> ZuStorageSync::begin;
    ZuObjectRef stored_model;
    storage->RestoreObject(stored_model, ZuEntityModelRef::RetRuntime());
    storage >> data_num;
    storage->RestoreObject(data_array, ZuArrayRef::RetRuntime());
    storage >> ZuStorageSync::end;
    // The model's own fields may not be restored yet (the storage restores
    // objects' data deferred), so the checks of AddUser, meant for a model
    // the program has just set up, would stop the program on a sound file:
    // the entity is counted among the model's users directly.
    ZuEntityModel* m = dynamic_cast<ZuEntityModel*>(stored_model.Resolve());
    if (m != nullptr) {
        ++m->user_num;
        model = stored_model;
    }
}
