#include "si/clonearchitect.h"

#include "si/providerview.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"
#include "si/view.h"

ZU_IMPLEMENT_CLASS(ZuCloneArchitect, "si/clonearchitect", ZU_CLASS_PLAIN)

namespace {

bool IsView(const ZuObjectRef& item)
{
    return item.IsValid() && item->IsKindOf(ZuViewRef::RetRuntime());
}

} // namespace

bool ZuCloneArchitect::Initialise()
{
    return true;
}

bool ZuCloneArchitect::GetViewSize(const ZuObjectRef& item, double& dx, double& dy)
{
    if (!IsView(item))
        return false;
    ZuViewRef(item)->GetSize(dx, dy);
    return true;
}

bool ZuCloneArchitect::CreateView(const ZuObjectRef& item, const ZuProviderViewRef& holder)
{
    if (!IsView(item) || holder.IsInvalid())
        return false;
    ZuViewRef clone(item->Clone());
    if (clone.IsInvalid())
        return false;
    if (!holder->SetContents(0, clone))
        clone->Delete(); // no slot to hold it
    return true;
}

void ZuCloneArchitect::StoreInstance(const ZuStorageRef& storage)
{
    ZuViewArchitect::StoreInstance(storage);
    static ZuStorageSync record("<ZuCloneArchitect>");
    storage << record << ZuStorageSync::begin << ZuStorageSync::end;
}

void ZuCloneArchitect::RestoreInstance(const ZuStorageRef& storage)
{
    ZuViewArchitect::RestoreInstance(storage);
    storage >> ZuStorageSync::type >> ZuStorageSync::begin >> ZuStorageSync::end;
}
