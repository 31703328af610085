// ZuListIterator: walks a ZuList in both directions and survives removals.
#ifndef SI_LISTIT_H
#define SI_LISTIT_H

#include "si/iterator.h"
#include "si/linkedcursor.h"
#include "si/list.h"

ZU_HANDLE(ZuListIterator, ZuIterator)
class ZuListIterator : public ZuIterator {
    ZU_CLASS(ZuListIterator, ZuIterator)

public:
    ZuListIterator();

    bool First() override;
    bool Last() override;
    bool Next(unsigned int n) override;
    bool Prev(unsigned int n) override;
    bool Get(ZuObjectRef& out, unsigned int n) override;
    using ZuIterator::Get;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;
    virtual void NotifyInsert(ZuList::Element* elem);
    virtual void NotifyRemove(ZuList::Element* elem);

private:
    ZuList* RetList() const;

    ZuLinkedCursor<ZuList::Element> cursor;

    friend class ZuList;
};
ZU_CLASS_END(ZuListIterator)

#endif
