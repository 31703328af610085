#include "si/arrayit.h"

#include "si/rtclass.h"
#include "si/storage.h"

#include "si/array.h"

ZU_IMPLEMENT_CLASS(ZuArrayIterator, "si/arrayit", ZU_CLASS_PLAIN)

ZuArrayIterator::ZuArrayIterator() : position(0) {}

ZuArrayIterator::~ZuArrayIterator() {}

unsigned int ZuArrayIterator::SourceCount() const
{
    return source.IsValid() ? source->TotalCount() : 0;
}

bool ZuArrayIterator::First()
{
    if (position != 0)
        changed = true;
    position = 0;
    valid = true;
    return true;
}

bool ZuArrayIterator::Last()
{
    unsigned int count = SourceCount();
    if (count == 0)
        return false;
    if (position != count - 1)
        changed = true;
    position = count - 1;
    valid = true;
    return true;
}

bool ZuArrayIterator::Next(unsigned int)
{
    unsigned int count = SourceCount();
    if (count == 0)
        return false;
    if (position < count - 1) {
        ++position;
        changed = true;
        valid = true;
        return true;
    }
    valid = false;
    return false;
}

bool ZuArrayIterator::Prev(unsigned int)
{
    if (position > 0) {
        --position;
        changed = true;
        valid = true;
        return true;
    }
    valid = false;
    return false;
}

bool ZuArrayIterator::Get(ZuObjectRef& object, unsigned int n)
{
    changed = false;
    if (n != 0 || !valid || source.IsInvalid())
        return false;
    ZuArrayRef array(source);
    return array->Get(position, object);
}

void ZuArrayIterator::NotifyInsert(unsigned int pos, unsigned int count)
{
    if (pos <= position)
        position += count;
}

void ZuArrayIterator::NotifyRemove(unsigned int pos, unsigned int count)
{
    if (pos > position)
        return;
    if (position - pos < count) {
        position = pos;
        changed = true;
    } else {
        position -= count;
    }
}

void ZuArrayIterator::StoreInstance(const ZuStorageRef& storage)
{
    ZuIterator::StoreInstance(storage);
    static ZuStorageSync record("<ZuArrayIterator>");
    storage << record << ZuStorageSync::begin << ZuStorageSync::end;
}

void ZuArrayIterator::RestoreInstance(const ZuStorageRef& storage)
{
    ZuIterator::RestoreInstance(storage);
    storage >> ZuStorageSync::type >> ZuStorageSync::begin >> ZuStorageSync::end;
}
