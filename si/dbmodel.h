// ZuEntityModel: names the attributes of one kind of record of a data base.
// Positions count from 1; position 0 means none. The positions are fixed by
// Initialise and filled one by one by AddAttribute; the model counts the
// entities that use it, and its positions cannot change while it has users.
#ifndef SI_DBMODEL_H
#define SI_DBMODEL_H

#include "si/basecontainer.h"
#include "si/atom.h"
#include "si/array.h"
#include "si/database.h"

ZU_FORWARD(ZuEntity)
ZU_FORWARD(ZuString)

ZU_HANDLE(ZuEntityModel, ZuBaseContainer)
class ZuEntityModel : public ZuBaseContainer {
    ZU_CLASS(ZuEntityModel, ZuBaseContainer)

public:
    ZuEntityModel();
    ~ZuEntityModel() override;

    // Only for a model without users nor positions, and count > 0.
    virtual bool Initialise(const ZuDataBaseRef& db, const ZuStringRef& name, unsigned int count);
    // Fills the first empty position; false when the name is met first or
    // the model is full.
    virtual bool AddAttribute(const ZuAtomRef& name);
    virtual bool GetAttributeIndex(const ZuAtomRef& name, unsigned int& position) const;
    virtual unsigned int GetAttributeIndex(const ZuAtomRef& name) const;
    virtual bool GetAttributeName(unsigned int position, ZuAtomRef& name) const;

    const ZuAtomRef& RetName() const { return name; }
    const ZuDataBaseRef& RetDataBase() const { return containing_db; }
    unsigned int RetUserNum() const { return user_num; }

    unsigned int CountAttributes() const override;
    bool SpecifyExtraction(const ZuArrayRef& extraction) override;
    unsigned int TotalCount() const override;
    // Positions from 1: the attribute name as an object.
    bool Get(unsigned int position, ZuObjectRef& out) override;

protected:
    virtual void AddUser(const ZuEntityRef& entity);
    virtual void RemoveUser(const ZuEntityRef& entity);

    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    ZuDataBaseRef containing_db;
    unsigned int user_num; // not stored
    ZuAtomRef name;
    unsigned int name_num;
    ZuAtomArray name_array;

    friend class ZuEntity;
};
ZU_CLASS_END(ZuEntityModel)

#endif
