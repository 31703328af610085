#include "si/dictit.h"

#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/storage.h"

ZU_IMPLEMENT_CLASS(ZuDictIterator, "si/dictit", ZU_CLASS_PLAIN)

ZuDictIterator::ZuDictIterator() {}

ZuDict* ZuDictIterator::RetDict() const
{
    return dynamic_cast<ZuDict*>(RetSource().Resolve());
}

bool ZuDictIterator::First()
{
    ZuDict* dict = RetDict();
    return cursor.MoveTo(dict != nullptr ? dict->head : nullptr, changed, valid);
}

bool ZuDictIterator::Last()
{
    ZuDict* dict = RetDict();
    return cursor.MoveTo(dict != nullptr ? dict->tail : nullptr, changed, valid);
}

bool ZuDictIterator::Next(unsigned int)
{
    return cursor.Step(true, changed, valid);
}

bool ZuDictIterator::Prev(unsigned int)
{
    return cursor.Step(false, changed, valid);
}

bool ZuDictIterator::GetKey(ZuObjectRef& out, unsigned int n)
{
    return cursor.Read(&ZuDict::Element::key, out, n, changed, valid);
}

bool ZuDictIterator::GetValue(ZuObjectRef& out, unsigned int n)
{
    return cursor.Read(&ZuDict::Element::value, out, n, changed, valid);
}

bool ZuDictIterator::Get(ZuObjectRef& out, unsigned int n)
{
    return GetValue(out, n);
}

void ZuDictIterator::NotifyInsert(ZuDict::Element*) {}

void ZuDictIterator::NotifyRemove(ZuDict::Element* elem)
{
    // Only the last unit of an element unlinks it.
    if (elem->count == 1)
        cursor.Unlinking(elem, changed);
}

void ZuDictIterator::StoreInstance(const ZuStorageRef& storage)
{
    ZuIterator::StoreInstance(storage);
    static ZuStorageSync record("<ZuDictIterator>");
    storage << record << ZuStorageSync::begin << ZuStorageSync::end;
}

void ZuDictIterator::RestoreInstance(const ZuStorageRef& storage)
{
    ZuIterator::RestoreInstance(storage);
    storage >> ZuStorageSync::type >> ZuStorageSync::begin >> ZuStorageSync::end;
}
