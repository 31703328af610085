// ZuEntity: one record of a data base, the attribute values of an entity
// model by position (from 1). The entity keeps its model for its whole life
// and is counted among the model's users.
#ifndef SI_DBENTITY_H
#define SI_DBENTITY_H

#include "si/basecontainer.h"
#include "si/array.h"
#include "si/dbmodel.h"

ZU_HANDLE(ZuEntity, ZuBaseContainer)
class ZuEntity : public ZuBaseContainer {
    ZU_CLASS(ZuEntity, ZuBaseContainer)

public:
    ZuEntity();
    ~ZuEntity() override;

    // The entity must have no model yet and `model` must be valid.
    virtual void Initialise(const ZuEntityModelRef& model);
    // Clears every value; the positions stay.
    virtual void RemoveAll();
    virtual bool GetAttribute(const ZuAtomRef& name, ZuObjectRef& out) const;
    virtual bool GetAttribute(unsigned int position, ZuObjectRef& out) const;
    virtual bool SetAttribute(const ZuAtomRef& name, const ZuObjectRef& value);
    virtual bool SetAttribute(unsigned int position, const ZuObjectRef& value);
    virtual const ZuEntityModelRef& GetEntityModel() const;

    unsigned int CountAttributes() const override;
    bool SpecifyExtraction(const ZuArrayRef& extraction) override;
    unsigned int TotalCount() const override;
    // Positions from 1.
    bool Get(unsigned int position, ZuObjectRef& out) override;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    ZuEntityModelRef model;
    unsigned int data_num;
    ZuArrayRef data_array;
};
ZU_CLASS_END(ZuEntity)

#endif
