#include "si/basecheckfilter.h"

#include "si/rtclass.h"
#include "si/storage.h"

namespace {

ZuStorageSync& BaseCheckFilterRecord()
{
    static ZuStorageSync record("<ZuBaseCheckFilter >");
    return record;
}

} // namespace

ZU_IMPLEMENT_CLASS(ZuBaseCheckFilter, "si/basecheckfilter", ZU_CLASS_ABSTRACT)
ZU_IMPLEMENT_INTERFACE(ZuBaseCheckFilter, ZuiCheckFilter)

void ZuBaseCheckFilter::StoreInstance(const ZuStorageRef& storage)
{
    ZuBaseController::StoreInstance(storage);
    storage << BaseCheckFilterRecord() << ZuStorageSync::begin << ZuStorageSync::end;
}

void ZuBaseCheckFilter::RestoreInstance(const ZuStorageRef& storage)
{
    ZuBaseController::RestoreInstance(storage);
    storage >> ZuStorageSync::type >> ZuStorageSync::begin >> ZuStorageSync::end;
}
