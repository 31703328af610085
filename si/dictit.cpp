#include "si/dictit.h"

#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/storage.h"


ZU_IMPLEMENT_CLASS(ZuDictIterator, "si/dictit", ZU_CLASS_PLAIN)

ZuDictIterator::ZuDictIterator() : current(nullptr) {}

ZuDict* ZuDictIterator::RetDict() const
{
    return dynamic_cast<ZuDict*>(RetSource().Resolve());
}

bool ZuDictIterator::First()
{
    ZuDict* dict = RetDict();
    ZuDict::Element* e = dict != nullptr ? dict->head : nullptr;
    if (e != current)
        changed = true;
    current = e;
    valid = true;
    return true;
}

bool ZuDictIterator::Last()
{
    ZuDict* dict = RetDict();
    ZuDict::Element* e = dict != nullptr ? dict->tail : nullptr;
    if (e != current)
        changed = true;
    current = e;
    valid = true;
    return true;
}

bool ZuDictIterator::Next(unsigned int)
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

bool ZuDictIterator::Prev(unsigned int)
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

bool ZuDictIterator::GetKey(ZuObjectRef& out, unsigned int n)
{
    changed = false;
    if (n != 0 || current == nullptr || !valid)
        return false;
    out = current->key;
    return true;
}

bool ZuDictIterator::GetValue(ZuObjectRef& out, unsigned int n)
{
    changed = false;
    if (n != 0 || current == nullptr || !valid)
        return false;
    out = current->value;
    return true;
}

bool ZuDictIterator::Get(ZuObjectRef& out, unsigned int n)
{
    return GetValue(out, n);
}

void ZuDictIterator::NotifyInsert(ZuDict::Element*) {}

void ZuDictIterator::NotifyRemove(ZuDict::Element* elem)
{
    // Only the last unit of an element unlinks it.
    if (current != elem || elem->count != 1)
        return;
    current = elem->next != nullptr ? elem->next : elem->prev;
    changed = true;
}

void ZuDictIterator::StoreInstance(ZuStorageRef const& storage)
{
    ZuIterator::StoreInstance(storage);
    static ZuStorageSync record("<ZuDictIterator>");
    storage << record << ZuStorageSync::begin << ZuStorageSync::end;
}

void ZuDictIterator::RestoreInstance(ZuStorageRef const& storage)
{
    ZuIterator::RestoreInstance(storage);
    storage >> ZuStorageSync::type >> ZuStorageSync::begin >> ZuStorageSync::end;
}
