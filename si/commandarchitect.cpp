#include "si/commandarchitect.h"

#include "si/classfactory.h"
#include "si/commandfactory.h"
#include "si/memzone.h"
#include "si/providerview.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"

ZU_IMPLEMENT_CLASS(ZuCommandArchitect, "si/commandarchitect", ZU_CLASS_PLAIN)

bool ZuCommandArchitect::Initialise()
{
    return ZuPicArchitect::Initialise(ZuGrailFontRef());
}

bool ZuCommandArchitect::GetViewSize(const ZuObjectRef&, double&, double&)
{
    return false;
}

bool ZuCommandArchitect::CreateView(const ZuObjectRef& item, const ZuProviderViewRef& view)
{
    if (item.IsInvalid() || !item->IsKindOf(ZuCommandFactoryRef::RetRuntime()) || view.IsInvalid())
        return false;
    ZuViewRef child = ZuNew<ZuView>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
    child->SetBox(view->RetBox());
    child->SetParent(view);
    return true;
}

void ZuCommandArchitect::StoreInstance(const ZuStorageRef& storage)
{
    ZuPicArchitect::StoreInstance(storage);
    static ZuStorageSync record("<ZuCommandArchitect>");
    storage << record << ZuStorageSync::begin << ZuStorageSync::end;
}

void ZuCommandArchitect::RestoreInstance(const ZuStorageRef& storage)
{
    ZuPicArchitect::RestoreInstance(storage);
    storage >> ZuStorageSync::type >> ZuStorageSync::begin >> ZuStorageSync::end;
}
