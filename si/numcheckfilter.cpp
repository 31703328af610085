#include "si/numcheckfilter.h"

#include "si/rtclass.h"
#include "si/storage.h"

namespace {

ZuStorageSync& NumCheckFilterRecord()
{
    static ZuStorageSync record("<ZuNumCheckFilter >");
    return record;
}

} // namespace

ZU_IMPLEMENT_CLASS(ZuNumCheckFilter, "si/numcheckfilter", ZU_CLASS_PLAIN)

bool ZuNumCheckFilter::Check(const ZuStringRef&, ZuValidityRecord&) const
{
    return false;
}

void ZuNumCheckFilter::StoreInstance(const ZuStorageRef& storage)
{
    ZuBaseCheckFilter::StoreInstance(storage);
    storage << NumCheckFilterRecord() << ZuStorageSync::begin << ZuStorageSync::end;
}

void ZuNumCheckFilter::RestoreInstance(const ZuStorageRef& storage)
{
    ZuBaseCheckFilter::RestoreInstance(storage);
    storage >> ZuStorageSync::type >> ZuStorageSync::begin >> ZuStorageSync::end;
}
