#include "si/columnarchitect.h"

#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"

ZU_IMPLEMENT_CLASS(ZuColumnArchitect, "si/columnarchitect", ZU_CLASS_PLAIN)

bool ZuColumnArchitect::GetViewSize(const ZuObjectRef&, double&, double&)
{
    return false;
}

bool ZuColumnArchitect::CreateView(const ZuObjectRef&, const ZuProviderViewRef&)
{
    return false;
}

void ZuColumnArchitect::StoreInstance(const ZuStorageRef& storage)
{
    ZuPicArchitect::StoreInstance(storage);
    static ZuStorageSync record("<ZuColumnArchitect>");
    storage << record << ZuStorageSync::begin << ZuStorageSync::end;
}

void ZuColumnArchitect::RestoreInstance(const ZuStorageRef& storage)
{
    ZuPicArchitect::RestoreInstance(storage);
    storage >> ZuStorageSync::type >> ZuStorageSync::begin >> ZuStorageSync::end;
}
