#include "si/listit.h"

#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/storage.h"

ZU_IMPLEMENT_CLASS(ZuListIterator, "si/listit", ZU_CLASS_PLAIN)

ZuListIterator::ZuListIterator() {}

ZuList* ZuListIterator::RetList() const
{
    return dynamic_cast<ZuList*>(RetSource().Resolve());
}

bool ZuListIterator::First()
{
    ZuList* list = RetList();
    return cursor.MoveTo(list != nullptr ? list->head : nullptr, changed, valid);
}

bool ZuListIterator::Last()
{
    ZuList* list = RetList();
    return cursor.MoveTo(list != nullptr ? list->tail : nullptr, changed, valid);
}

bool ZuListIterator::Next(unsigned int)
{
    return cursor.Step(true, changed, valid);
}

bool ZuListIterator::Prev(unsigned int)
{
    return cursor.Step(false, changed, valid);
}

bool ZuListIterator::Get(ZuObjectRef& out, unsigned int n)
{
    return cursor.Read(&ZuList::Element::object, out, n, changed, valid);
}

void ZuListIterator::NotifyInsert(ZuList::Element*) {}

void ZuListIterator::NotifyRemove(ZuList::Element* elem)
{
    cursor.Unlinking(elem, changed);
}

void ZuListIterator::StoreInstance(const ZuStorageRef& storage)
{
    ZuIterator::StoreInstance(storage);
    static ZuStorageSync record("<ZuListIterator>");
    storage << record << ZuStorageSync::begin << ZuStorageSync::end;
}

void ZuListIterator::RestoreInstance(const ZuStorageRef& storage)
{
    ZuIterator::RestoreInstance(storage);
    storage >> ZuStorageSync::type >> ZuStorageSync::begin >> ZuStorageSync::end;
}
