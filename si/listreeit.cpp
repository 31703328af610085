#include "si/listreeit.h"

#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/storage.h"

ZU_IMPLEMENT_CLASS(ZuLisTreeIterator, "si/listreeit", ZU_CLASS_PLAIN)

ZuLisTreeIterator::ZuLisTreeIterator() : position(0) {}

bool ZuLisTreeIterator::First()
{
    return false;
}
bool ZuLisTreeIterator::Last()
{
    return false;
}
bool ZuLisTreeIterator::Next(unsigned int)
{
    return false;
}
bool ZuLisTreeIterator::Prev(unsigned int)
{
    return false;
}
bool ZuLisTreeIterator::Get(ZuObjectRef&, unsigned int)
{
    return false;
}

// Never registered with its tree, so there is nothing to undo.
void ZuLisTreeIterator::Delete() {}

void ZuLisTreeIterator::StoreInstance(const ZuStorageRef& storage)
{
    ZuIterator::StoreInstance(storage);
    static ZuStorageSync record("<ZuLisTreeIterator>");
    storage << record << ZuStorageSync::begin << ZuStorageSync::end;
}

void ZuLisTreeIterator::RestoreInstance(const ZuStorageRef& storage)
{
    ZuIterator::RestoreInstance(storage);
    storage >> ZuStorageSync::type >> ZuStorageSync::begin >> ZuStorageSync::end;
}
