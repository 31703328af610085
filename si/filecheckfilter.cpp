#include "si/filecheckfilter.h"

#include "si/rtclass.h"
#include "si/storage.h"

namespace {

ZuStorageSync& FileCheckFilterRecord()
{
    static ZuStorageSync record("<ZuFileCheckFilter >");
    return record;
}

} // namespace

ZU_IMPLEMENT_CLASS(ZuFileCheckFilter, "si/filecheckfilter", ZU_CLASS_PLAIN)

bool ZuFileCheckFilter::Check(const ZuStringRef&, ZuValidityRecord&) const
{
    return false;
}

void ZuFileCheckFilter::StoreInstance(const ZuStorageRef& storage)
{
    ZuBaseCheckFilter::StoreInstance(storage);
    storage << FileCheckFilterRecord() << ZuStorageSync::begin << ZuStorageSync::end;
}

void ZuFileCheckFilter::RestoreInstance(const ZuStorageRef& storage)
{
    ZuBaseCheckFilter::RestoreInstance(storage);
    storage >> ZuStorageSync::type >> ZuStorageSync::begin >> ZuStorageSync::end;
}
