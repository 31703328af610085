// ZuDictIterator: walks a ZuDict's elements in order, each element once
// whatever its count.
#ifndef SI_DICTIT_H
#define SI_DICTIT_H

#include "si/dict.h"
#include "si/iterator.h"
#include "si/linkedcursor.h"

ZU_HANDLE(ZuDictIterator, ZuIterator)
class ZuDictIterator : public ZuIterator {
    ZU_CLASS(ZuDictIterator, ZuIterator)

public:
    ZuDictIterator();

    bool First() override;
    bool Last() override;
    bool Next(unsigned int n) override;
    bool Prev(unsigned int n) override;
    bool Get(ZuObjectRef& out, unsigned int n) override;
    using ZuIterator::Get;

    virtual bool GetKey(ZuObjectRef& out, unsigned int n);
    virtual bool GetValue(ZuObjectRef& out, unsigned int n);

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;
    virtual void NotifyInsert(ZuDict::Element* elem);
    virtual void NotifyRemove(ZuDict::Element* elem);

private:
    ZuDict* RetDict() const;

    ZuLinkedCursor<ZuDict::Element> cursor;

    friend class ZuDict;
};
ZU_CLASS_END(ZuDictIterator)

#endif
