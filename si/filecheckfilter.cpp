#include "si/filecheckfilter.h"

#include "si/rtclass.h"
#include "si/storage.h"

namespace {

ZuStorageSync & FileCheckFilterRecord()
{
    static ZuStorageSync record("<ZuFileCheckFilter >");
    return record;
}

} // namespace

ZU_IMPLEMENT_CLASS(ZuFileCheckFilter, "si/filecheckfilter", ZU_CLASS_PLAIN)

bool ZuFileCheckFilter::Check(ZuStringRef const &, ZuValidityRecord &) const
{
    return false;
}

void ZuFileCheckFilter::StoreInstance(ZuStorageRef const & storage)
{
    ZuBaseCheckFilter::StoreInstance(storage);
    storage << FileCheckFilterRecord() << ZuStorageSync::begin << ZuStorageSync::end;
}

void ZuFileCheckFilter::RestoreInstance(ZuStorageRef const & storage)
{
    ZuBaseCheckFilter::RestoreInstance(storage);
    storage >> ZuStorageSync::type >> ZuStorageSync::begin >> ZuStorageSync::end;
}
