#include "si/listit.h"

#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/storage.h"


ZU_IMPLEMENT_CLASS(ZuListIterator, "si/listit", ZU_CLASS_PLAIN)

ZuListIterator::ZuListIterator() : current(nullptr) {}

ZuList* ZuListIterator::RetList() const
{
    return dynamic_cast<ZuList*>(RetSource().Resolve());
}

bool ZuListIterator::First()
{
    ZuList* list = RetList();
    ZuList::Element* e = list != nullptr ? list->head : nullptr;
    if (e != current)
        changed = true;
    current = e;
    valid = true;
    return true;
}

bool ZuListIterator::Last()
{
    ZuList* list = RetList();
    ZuList::Element* e = list != nullptr ? list->tail : nullptr;
    if (e != current)
        changed = true;
    current = e;
    valid = true;
    return true;
}

bool ZuListIterator::Next(unsigned int)
{
    if (current == nullptr || current->next == nullptr) {
        valid = false;
        return false;
    }
    current = current->next;
    changed = true;
    valid = true;
    return true;
}

bool ZuListIterator::Prev(unsigned int)
{
    if (current == nullptr || current->prev == nullptr) {
        valid = false;
        return false;
    }
    current = current->prev;
    changed = true;
    valid = true;
    return true;
}

bool ZuListIterator::Get(ZuObjectRef& out, unsigned int n)
{
    changed = false;
    if (n != 0 || current == nullptr || !valid)
        return false;
    out = current->object;
    return true;
}

void ZuListIterator::NotifyInsert(ZuList::Element*) {}

void ZuListIterator::NotifyRemove(ZuList::Element* elem)
{
    if (current != elem)
        return;
    current = elem->next != nullptr ? elem->next : elem->prev;
    changed = true;
}

void ZuListIterator::StoreInstance(ZuStorageRef const& storage)
{
    ZuIterator::StoreInstance(storage);
    static ZuStorageSync record("<ZuListIterator>");
    storage << record << ZuStorageSync::begin << ZuStorageSync::end;
}

void ZuListIterator::RestoreInstance(ZuStorageRef const& storage)
{
    ZuIterator::RestoreInstance(storage);
    storage >> ZuStorageSync::type >> ZuStorageSync::begin >> ZuStorageSync::end;
}
