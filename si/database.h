// ZuDataBase: a small in-memory data base of entities of any models. It
// finds entities by attribute value and keeps one index per attribute asked
// for (a dictionary from attribute value to entity, so in the order of the
// values). As a container it shows the entities, or one attribute of each,
// in the order of one attribute's index.
#ifndef SI_DATABASE_H
#define SI_DATABASE_H

#include "si/basecontainer.h"
#include "si/atom.h"
#include "si/dict.h"
#include "si/hashtab.h"

ZU_FORWARD(ZuEntity)

ZU_HANDLE(ZuDataBase, ZuBaseContainer)
class ZuDataBase : public ZuBaseContainer {
    ZU_CLASS(ZuDataBase, ZuBaseContainer)

public:
    ZuDataBase();
    ~ZuDataBase() override;

    virtual void SpecifyExtractEntity(const ZuAtomRef& sort);
    virtual void SpecifyExtractAttribute(const ZuAtomRef& sort, unsigned int position);
    virtual void SpecifyExtractAttribute(const ZuAtomRef& sort, const ZuAtomRef& attribute);
    // The entity at place n (from 0) in the order of the attribute's index,
    // which is built on first use.
    virtual bool GetEntity(const ZuAtomRef& attribute, unsigned int n, ZuEntityRef& out);
    virtual bool GetAttribute(const ZuAtomRef& sort, unsigned int n, unsigned int position,
                              ZuObjectRef& out);
    virtual bool GetAttribute(const ZuAtomRef& sort, unsigned int n, const ZuAtomRef& attribute,
                              ZuObjectRef& out);
    virtual bool Insert(const ZuEntityRef& entity);
    virtual bool Remove(const ZuEntityRef& entity);
    virtual void RemoveAll();
    // The n-th entity (from 0, in table order) whose attribute is `value`
    // itself or, with `compare`, compares equal to it.
    virtual bool Find(const ZuAtomRef& attribute, const ZuObjectRef& value, ZuEntityRef& out,
                      unsigned int n, bool compare);

    unsigned int RetMode() const { return mode; }

    bool SpecifyExtraction(const ZuArrayRef& extraction) override;
    unsigned int TotalCount() const override;
    bool Get(unsigned int n, ZuObjectRef& out) override;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    ZuDictRef dict;
    ZuHashTableRef array;
    unsigned int mode;
    ZuAtomRef sort;
    ZuAtomRef attr_name;
    unsigned int attr_index;
};
ZU_CLASS_END(ZuDataBase)

#endif
