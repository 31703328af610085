#include "si/container.h"

#include "si/rtclass.h"
#include "si/storage.h"

#include "si/array.h"

// Places that the library's diagnostics print (zone dumps, memory and
// assertion messages) are fixed line numbers, not __LINE__: what a dump or
// a log shows stays the same however this file is laid out.
namespace {
const unsigned kDestructorLine = 65; // the check of an emptied container
} // namespace

ZU_IMPLEMENT_CLASS(ZuContainer, "si/container", ZU_CLASS_ABSTRACT)

ZuContainer::ZuContainer() : num_element(0) {}

ZuContainer::~ZuContainer()
{
    ZU_ASSERT_AT(num_element == 0, "this->num_element == 0", kDestructorLine, "si/container");
}

bool ZuContainer::SpecifyExtraction(const ZuArrayRef& extraction)
{
    // No extraction list at all counts as the empty one.
    return extraction.IsInvalid() || extraction->TotalCount() == 0;
}

unsigned int ZuContainer::TotalCount() const
{
    return num_element;
}

void ZuContainer::Delete()
{
    RemoveAll();
    ZuBaseContainer::Delete();
}

void ZuContainer::StoreInstance(const ZuStorageRef& storage)
{
    ZuBaseContainer::StoreInstance(storage);
    static ZuStorageSync record("<ZuContainer num_element>");
    storage << record << ZuStorageSync::begin;
    storage->StoreCard(num_element);
    storage << ZuStorageSync::end;
}

void ZuContainer::RestoreInstance(const ZuStorageRef& storage)
{
    ZuBaseContainer::RestoreInstance(storage);
    storage >> ZuStorageSync::type >> ZuStorageSync::begin;
    storage >> num_element;
    storage >> ZuStorageSync::end;
}
