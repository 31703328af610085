// ZuLisTreeIterator: exists for the container interface; a list tree is read
// through PopHead, so this iterator yields nothing.
#ifndef SI_LISTREEIT_H
#define SI_LISTREEIT_H

#include "si/iterator.h"
#include "si/listree.h"

ZU_HANDLE(ZuLisTreeIterator, ZuIterator)
class ZuLisTreeIterator : public ZuIterator {
    ZU_CLASS(ZuLisTreeIterator, ZuIterator)

public:
    ZuLisTreeIterator();

    bool First() override;
    bool Last() override;
    bool Next(unsigned int n) override;
    bool Prev(unsigned int n) override;
    bool Get(ZuObjectRef& out, unsigned int n) override;
    using ZuIterator::Get;

    void Delete() override;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    ZuLisTreeRef tree;
    unsigned int position;

    friend class ZuLisTree;
};
ZU_CLASS_END(ZuLisTreeIterator)

#endif
