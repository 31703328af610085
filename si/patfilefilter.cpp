#include "si/patfilefilter.h"

#include "si/rtclass.h"
#include "si/storage.h"

namespace {

ZuStorageSync& PatternFileRecord()
{
    static ZuStorageSync record("<ZuPatternFileFilter <ZuiFileFilter> >");
    return record;
}

} // namespace

ZU_IMPLEMENT_CLASS(ZuPatternFileFilter, "si/patfilefilter", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(ZuPatternFileFilter, ZuiFileFilter)

bool ZuPatternFileFilter::Check(const ZuStringRef& name, const ZuFileAttInfo&) const
{
    const bool match = ZuPatternFilter::Check(name);
    return RetCheckMode() ? match : !match;
}

ZuObjectRef ZuPatternFileFilter::Copy(const ZuObjectRef& source)
{
    if (source.IsValid() && source->IsKindOf(ZuPatternFileFilterRef::RetRuntime()))
        SetCheckMode(ZuPatternFileFilterRef(source)->RetCheckMode());
    return ZuPatternFilter::Copy(source);
}

void ZuPatternFileFilter::StoreInstance(const ZuStorageRef& storage)
{
    ZuPatternFilter::StoreInstance(storage);
    storage << PatternFileRecord() << ZuStorageSync::begin;
    ZuiFileFilter::StoreInstance(storage);
    storage << ZuStorageSync::end;
}

void ZuPatternFileFilter::RestoreInstance(const ZuStorageRef& storage)
{
    ZuPatternFilter::RestoreInstance(storage);
    storage >> ZuStorageSync::type >> ZuStorageSync::begin;
    ZuiFileFilter::RestoreInstance(storage);
    storage >> ZuStorageSync::end;
}
