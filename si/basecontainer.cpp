#include "si/basecontainer.h"

#include "si/array.h"
#include "si/iterator.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/pubdata.h"
#include "si/rtclass.h"
#include "si/typedef.h"
#include "si/values.h"
#include "si/storage.h"

// Places that the library's diagnostics print (zone dumps, memory and
// assertion messages) are fixed line numbers, not __LINE__: what a dump or
// a log shows stays the same however this file is laid out.
namespace {
const unsigned kIteratorListLine = 152;   // the list of a container's iterators
const unsigned kRemoveIteratorLine = 165; // removing an iterator
} // namespace

ZU_IMPLEMENT_CLASS(ZuBaseContainer, "si/basecontainer", ZU_CLASS_ABSTRACT)

ZuAtomRef ZuBaseContainer::notify_data_inserted;
ZuAtomRef ZuBaseContainer::notify_data_removed;
ZuAtomRef ZuBaseContainer::notify_data_moved;
ZU_EXPORT_NOTIFY(ZuBaseContainer, inserted, "notify_data_inserted",
                 &ZuBaseContainer::notify_data_inserted)
ZU_EXPORT_NOTIFY(ZuBaseContainer, removed, "notify_data_removed",
                 &ZuBaseContainer::notify_data_removed)
ZU_EXPORT_NOTIFY(ZuBaseContainer, moved, "notify_data_moved", &ZuBaseContainer::notify_data_moved)
ZU_IMPLEMENT_INTERFACE(ZuBaseContainer, ZuiContainer)

namespace {

// The published "total_count": the element count through the container view.
void GetTotalCount(ZuValueRef& value, ZuObject* object)
{
    value = ZuValueRef(static_cast<ZuBaseContainer*>(object)->TotalCount());
}

void DeclareContainerData(ZuRuntime* runtime)
{
    static Zuvi_PubDataDef total_count = {&ZuBaseContainerRef::RetRuntime(),
                                          "total_count",
                                          "Total number of elements",
                                          &Card32_type,
                                          true,
                                          false,
                                          &GetTotalCount,
                                          nullptr};
    runtime->PublishData(total_count);
}

Zuvi_PubDataExport container_data(&DeclareContainerData, ZuBaseContainerRef::RetRuntime());

} // namespace

ZuBaseContainer::ZuBaseContainer() {}

ZuBaseContainer::~ZuBaseContainer() {}

ZuIteratorRef ZuBaseContainer::NewIterator()
{
    return ZuIteratorRef();
}

void ZuBaseContainer::InsertIterator(const ZuIteratorRef& iterator)
{
    // The list class is created by name: it is itself a container.
    if (iterators.IsInvalid())
        iterators = ZuObjectRef(
            ZuClassFactory::New("ZuList", Zuvi_app_zone, kIteratorListLine, "si/basecontainer"));
    iterators->Insert(iterator);
    iterator->SetSource(ZuBaseContainerRef(this));
}

void ZuBaseContainer::RemoveIterator(const ZuIteratorRef& iterator)
{
    ZU_ASSERT_AT(iterators.IsValid(), "this->iterators.IsValid ()", kRemoveIteratorLine,
                 "si/basecontainer");
    iterators->Remove(iterator, 0);
}

bool ZuBaseContainer::NotifyDataChange(bool inserted, bool removed, bool moved)
{
    if (!TestStatus(ZU_OBJECT_IS_CONNECTED))
        return true;
    if (removed)
        QuickReport(notify_data_removed, 0);
    if (inserted)
        QuickReport(notify_data_inserted, 0);
    if (moved)
        QuickReport(notify_data_moved, 0);
    return true;
}

void ZuBaseContainer::Delete()
{
    if (iterators.IsValid()) {
        ZuContainerRef list = iterators;
        iterators = ZuContainerNull;
        list->Delete();
    }
    ZuObject::Delete();
}

void ZuBaseContainer::StoreInstance(const ZuStorageRef& storage)
{
    ZuObject::StoreInstance(storage);
    static ZuStorageSync record("<ZuBaseContainer iterators>");
    storage << record << ZuStorageSync::begin;
    storage->StoreObject(iterators);
    storage << ZuStorageSync::end;
}

void ZuBaseContainer::RestoreInstance(const ZuStorageRef& storage)
{
    ZuObject::RestoreInstance(storage);
    storage >> ZuStorageSync::type >> ZuStorageSync::begin;
    storage->RestoreObject(iterators, ZuContainerRef::RetRuntime());
    storage >> ZuStorageSync::end;
}
