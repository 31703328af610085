#include "si/dictreeit.h"

#include "si/rtclass.h"
#include "si/storage.h"

ZU_IMPLEMENT_CLASS(ZuDicTreeIterator, "si/dictreeit", ZU_CLASS_PLAIN)

static ZuStorageSync tree_iterator_record("<ZuDicTreeIterator>");

ZuDicTreeIterator::ZuDicTreeIterator() {}

ZuDicTreeIterator::~ZuDicTreeIterator() {}

bool ZuDicTreeIterator::First()
{
    return false;
}
bool ZuDicTreeIterator::Last()
{
    return false;
}
bool ZuDicTreeIterator::Next(unsigned int)
{
    return false;
}
bool ZuDicTreeIterator::Prev(unsigned int)
{
    return false;
}

bool ZuDicTreeIterator::Get(ZuObjectRef&, unsigned int)
{
    return false;
}

void ZuDicTreeIterator::Delete() {}

void ZuDicTreeIterator::StoreInstance(const ZuStorageRef& s)
{
    ZuIterator::StoreInstance(s);
    s << tree_iterator_record << ZuStorageSync::begin << ZuStorageSync::end;
}

void ZuDicTreeIterator::RestoreInstance(const ZuStorageRef& s)
{
    ZuIterator::RestoreInstance(s);
    s >> ZuStorageSync::type >> ZuStorageSync::begin >> ZuStorageSync::end;
}
