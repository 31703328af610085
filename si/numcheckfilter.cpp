#include "si/numcheckfilter.h"

#include "si/rtclass.h"
#include "si/storage.h"

namespace {

ZuStorageSync & NumCheckFilterRecord()
{
    static ZuStorageSync record("<ZuNumCheckFilter >");
    return record;
}

} // namespace

ZU_IMPLEMENT_CLASS(ZuNumCheckFilter, "si/numcheckfilter", ZU_CLASS_PLAIN)

bool ZuNumCheckFilter::Check(ZuStringRef const &, ZuValidityRecord &) const
{
    return false;
}

void ZuNumCheckFilter::StoreInstance(ZuStorageRef const & storage)
{
    ZuBaseCheckFilter::StoreInstance(storage);
    storage << NumCheckFilterRecord() << ZuStorageSync::begin << ZuStorageSync::end;
}

void ZuNumCheckFilter::RestoreInstance(ZuStorageRef const & storage)
{
    ZuBaseCheckFilter::RestoreInstance(storage);
    storage >> ZuStorageSync::type >> ZuStorageSync::begin >> ZuStorageSync::end;
}
