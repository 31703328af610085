#include "si/iterator.h"

#include "si/rtclass.h"
#include "si/storage.h"

#include "si/basecontainer.h"
#include "si/performer.h"

ZU_IMPLEMENT_CLASS(ZuIterator, "si/iterator", ZU_CLASS_ABSTRACT)

ZuIterator::ZuIterator() : changed(false), valid(false) {}

ZuIterator::~ZuIterator() {}

void ZuIterator::SetSource(const ZuBaseContainerRef& container)
{
    source = container;
}

bool ZuIterator::GetSource(ZuBaseContainerRef& container) const
{
    container = source;
    return container.IsValid();
}

const ZuBaseContainerRef& ZuIterator::RetSource() const
{
    return source;
}

bool ZuIterator::DidChange()
{
    bool was = changed;
    changed = false;
    return was;
}

ZuObjectRef ZuIterator::Get(unsigned int n)
{
    ZuObjectRef object;
    if (!Get(object, n))
        return ZuObjectNull;
    return object;
}

bool ZuIterator::ForEach(const ZuPerformerRef& performer, unsigned int n)
{
    if (!First())
        return true;
    for (;;) {
        ZuObjectRef object;
        if (Get(object, n) && !performer->Run(object))
            return false;
        if (!Next(1))
            return true;
    }
}

void ZuIterator::Delete()
{
    if (source.IsValid()) {
        ZuBaseContainerRef container = source;
        container->RemoveIterator(ZuIteratorRef(this));
        source = ZuBaseContainerNull;
    }
    ZuObject::Delete();
}

void ZuIterator::StoreInstance(const ZuStorageRef& storage)
{
    ZuObject::StoreInstance(storage);
    static ZuStorageSync record("<ZuIterator>");
    storage << record << ZuStorageSync::begin << ZuStorageSync::end;
}

void ZuIterator::RestoreInstance(const ZuStorageRef& storage)
{
    ZuObject::RestoreInstance(storage);
    storage >> ZuStorageSync::type >> ZuStorageSync::begin >> ZuStorageSync::end;
}
