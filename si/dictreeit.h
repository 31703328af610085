// ZuDicTreeIterator: the iterator a dictionary tree hands out. It does not
// walk the tree: every move and read answers false (enumerate the leaves
// with ZuDicTree::Get instead).
#ifndef SI_DICTREEIT_H
#define SI_DICTREEIT_H

#include "si/iterator.h"

ZU_HANDLE(ZuDicTreeIterator, ZuIterator)

class ZuDicTreeIterator : public ZuIterator {
    ZU_CLASS(ZuDicTreeIterator, ZuIterator)

public:
    ZuDicTreeIterator();
    ~ZuDicTreeIterator() override;

    bool First() override;
    bool Last() override;
    bool Next(unsigned int n) override;
    bool Prev(unsigned int n) override;
    bool Get(ZuObjectRef& object, unsigned int n) override;
    using ZuIterator::Get;

    void Delete() override;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;
};
ZU_CLASS_END(ZuDicTreeIterator)

#endif
