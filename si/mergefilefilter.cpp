#include "si/mergefilefilter.h"

#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/storage.h"

namespace {

const char kFile[] = "si/mergefilefilter";

ZuStorageSync& MergeRecord()
{
    static ZuStorageSync record("<ZuMergeFileFilter <ZuiFileFilter> is_logical_or filters>");
    return record;
}

ZuArrayRef NewArray()
{
    return ZuArrayRef(ZuNew<ZuArray>(Zuvi_app_zone, __LINE__, kFile));
}

// How deep merged filters may hold one another while a name is checked.
// Stored filters may hold themselves; a real setup nests a few levels.
thread_local unsigned int check_depth = 0;
const unsigned int kMaxCheckDepth = 64;

} // namespace

ZU_IMPLEMENT_CLASS(ZuMergeFileFilter, kFile, ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(ZuMergeFileFilter, ZuiFileFilter)
ZU_IMPLEMENT_INTERFACE(ZuMergeFileFilter, ZuiContainer)

ZuMergeFileFilter::ZuMergeFileFilter() : is_logical_or(true)
{
    filters = NewArray();
}

ZuArrayRef& ZuMergeFileFilter::Filters()
{
    // A restored stream may hold no array.
    if (filters.IsInvalid())
        filters = NewArray();
    return filters;
}

bool ZuMergeFileFilter::Insert(const ZuObjectRef& filter)
{
    if (filter.IsInvalid() || !filter->SupportsInterface(&ZuiFileFilter::interface))
        return false;
    return Filters()->Insert(filter);
}

bool ZuMergeFileFilter::Remove(const ZuObjectRef& filter)
{
    return Filters()->Remove(filter, 0);
}

bool ZuMergeFileFilter::SetUnionMode(bool is_union)
{
    is_logical_or = is_union;
    return true;
}

bool ZuMergeFileFilter::RetUnionMode() const
{
    return is_logical_or;
}

bool ZuMergeFileFilter::Check(const ZuStringRef& name, const ZuFileAttInfo& info) const
{
    bool result = false;
    if (filters.IsValid() && check_depth < kMaxCheckDepth) {
        ++check_depth;
        bool asked = false;
        bool all = true;
        bool any = false;
        ZuArray* array = filters.Resolve();
        for (unsigned int i = 0; i < array->TotalCount(); ++i) {
            ZuObjectRef entry;
            if (!array->Get(i, entry) || entry.IsInvalid())
                continue;
            const ZuiFileFilter* filter =
                static_cast<const ZuiFileFilter*>(static_cast<const ZuObject*>(entry.Resolve())
                                                      ->CastToInterface(&ZuiFileFilter::interface));
            if (!filter)
                continue;
            asked = true;
            const bool pass = filter->Check(name, info);
            if (is_logical_or && pass) {
                any = true;
                break;
            }
            if (!is_logical_or && !pass) {
                all = false;
                break;
            }
        }
        --check_depth;
        result = is_logical_or ? any : (asked && all);
    }
    return RetCheckMode() ? result : !result;
}

unsigned int ZuMergeFileFilter::TotalCount() const
{
    return filters.IsValid() ? filters->TotalCount() : 0;
}

bool ZuMergeFileFilter::Get(unsigned int index, ZuObjectRef& out)
{
    return filters.IsValid() && filters->Get(index, out);
}

ZuObjectRef ZuMergeFileFilter::Copy(const ZuObjectRef& source)
{
    if (source.IsValid() && source->IsKindOf(ZuMergeFileFilterRef::RetRuntime()) &&
        source.RetRawObject() != this) {
        ZuMergeFileFilterRef other(source);
        SetCheckMode(other->RetCheckMode());
        SetUnionMode(other->RetUnionMode());
        // A new array holding the same filters (the array class itself
        // copies no elements through Clone).
        ZuArrayRef copy = NewArray();
        for (unsigned int i = 0; i < other->TotalCount(); ++i) {
            ZuObjectRef entry;
            if (other->Get(i, entry))
                copy->Insert(entry);
        }
        filters = copy;
    }
    return ZuObject::Copy(source);
}

void ZuMergeFileFilter::StoreInstance(const ZuStorageRef& storage)
{
    ZuObject::StoreInstance(storage);
    storage << MergeRecord() << ZuStorageSync::begin;
    ZuiFileFilter::StoreInstance(storage);
    storage << is_logical_or << static_cast<const ZuObjectRef&>(filters);
    storage << ZuStorageSync::end;
}

void ZuMergeFileFilter::RestoreInstance(const ZuStorageRef& storage)
{
    ZuObject::RestoreInstance(storage);
    storage >> ZuStorageSync::type >> ZuStorageSync::begin;
    ZuiFileFilter::RestoreInstance(storage);
    is_logical_or = storage->RestoreBool(is_logical_or);
    storage >> filters;
    storage >> ZuStorageSync::end;
}
