#include "si/picadapter.h"

#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"

ZU_IMPLEMENT_CLASS(ZuPicAdapter, "si/picadapter", ZU_CLASS_ABSTRACT)

void ZuPicAdapter::StoreInstance(const ZuStorageRef& storage)
{
    ZuObject::StoreInstance(storage);
    static ZuStorageSync record("<ZuPicAdapter>");
    storage << record << ZuStorageSync::begin << ZuStorageSync::end;
}

void ZuPicAdapter::RestoreInstance(const ZuStorageRef& storage)
{
    ZuObject::RestoreInstance(storage);
    storage >> ZuStorageSync::type >> ZuStorageSync::begin >> ZuStorageSync::end;
}
