// ZuArrayIterator: walks a ZuArray by index and follows the insertions and
// removals of runs of slots that the array reports to it.
#ifndef SI_ARRAYIT_H
#define SI_ARRAYIT_H

#include "si/iterator.h"

ZU_HANDLE(ZuArrayIterator, ZuIterator)

class ZuArrayIterator : public ZuIterator {
    ZU_CLASS(ZuArrayIterator, ZuIterator)

public:
    ZuArrayIterator();
    ~ZuArrayIterator() override;

    bool First() override;
    bool Last() override;
    bool Next(unsigned int n) override;
    bool Prev(unsigned int n) override;
    bool Get(ZuObjectRef& object, unsigned int n) override;
    using ZuIterator::Get;

protected:
    virtual void NotifyInsert(unsigned int pos, unsigned int count);
    virtual void NotifyRemove(unsigned int pos, unsigned int count);

    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    unsigned int SourceCount() const;

    unsigned int position;

    friend class ZuArray;
};
ZU_CLASS_END(ZuArrayIterator)

#endif
