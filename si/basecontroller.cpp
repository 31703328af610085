#include "si/basecontroller.h"

#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"

ZU_IMPLEMENT_CLASS(ZuBaseController, "si/basecontroller", ZU_CLASS_ABSTRACT)

void ZuBaseController::StoreInstance(const ZuStorageRef& storage)
{
    ZuObject::StoreInstance(storage);
    static ZuStorageSync record("<ZuBaseController >");
    storage << record << ZuStorageSync::begin << ZuStorageSync::end;
}

void ZuBaseController::RestoreInstance(const ZuStorageRef& storage)
{
    ZuObject::RestoreInstance(storage);
    storage >> ZuStorageSync::type >> ZuStorageSync::begin >> ZuStorageSync::end;
}
