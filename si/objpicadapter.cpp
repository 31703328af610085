#include "si/objpicadapter.h"

#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"

ZU_IMPLEMENT_CLASS(ZuObjectPicAdapter, "si/objpicadapter", ZU_CLASS_PLAIN)

ZuiPictogram* ZuObjectPicAdapter::MakePictogram(const ZuObjectRef&, ZuObjectRef&)
{
    return nullptr;
}

void ZuObjectPicAdapter::StoreInstance(const ZuStorageRef& storage)
{
    ZuPicAdapter::StoreInstance(storage);
    static ZuStorageSync record("<ZuObjectPicAdapter>");
    storage << record << ZuStorageSync::begin << ZuStorageSync::end;
}

void ZuObjectPicAdapter::RestoreInstance(const ZuStorageRef& storage)
{
    ZuPicAdapter::RestoreInstance(storage);
    storage >> ZuStorageSync::type >> ZuStorageSync::begin >> ZuStorageSync::end;
}
