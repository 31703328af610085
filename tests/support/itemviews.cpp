#include "tests/support/itemviews.h"

#include <string>

#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/providerview.h"
#include "si/rtclass.h"
#include "tests/support/storagetest.h"

ZU_IMPLEMENT_CLASS(TItemArchitect, "tests/support/itemviews", ZU_CLASS_PLAIN)

TItemArchitectRef TItemArchitect::Make()
{
    TItemArchitectRef a = ZuNew<TItemArchitect>(Zuvi_app_zone);
    a->Initialise(1);
    return a;
}

bool TItemArchitect::GetViewSize(const ZuObjectRef& item, double& width, double& height)
{
    ++size_calls;
    if (item.IsInvalid()) {
        if (!knows_default)
            return false;
        width = default_dx;
        height = default_dy;
        return true;
    }
    if (!item->IsKindOf(ZuViewRef::RetRuntime()))
        return false;
    ZuViewRef(item)->GetSize(width, height);
    return true;
}

bool TItemArchitect::CreateView(const ZuObjectRef& item, const ZuProviderViewRef& holder)
{
    ++create_calls;
    if (item.IsInvalid() || !item->IsKindOf(TProbeViewRef::RetRuntime()) || holder.IsInvalid())
        return false;
    TProbeViewRef model(item);
    double dx = 0, dy = 0;
    model->GetSize(dx, dy);
    TProbeViewRef shown =
        TProbeView::Make(model->label.c_str(), 0, 0, dx - 1, dy - 1, model->color);
    // Clicks on the contents reach the holder, as they do on a label.
    shown->pass_on = true;
    return holder->SetContents(0, shown);
}

ZuArrayRef NewItems(const std::vector<TItemSpec>& items)
{
    ZuArrayRef array = ZuNew<ZuArray>(Zuvi_app_zone);
    for (unsigned i = 0; i < items.size(); ++i) {
        const std::string label = std::to_string(i);
        TProbeViewRef v =
            TProbeView::Make(label.c_str(), 0, 0, items[i].dx - 1, items[i].dy - 1, items[i].color);
        array->Insert(ZuObjectRef(v));
    }
    return array;
}

ZuObjectRef StoredAndRead(const ZuObjectRef& object)
{
    ZuTestStorageRef store = ZuTestStorage::Make();
    store->StartStoring();
    store->StoreObject(object);
    const std::vector<unsigned char> bytes = store->Bytes();
    store->StartRestoring(bytes);
    ZuObjectRef back;
    ZuStorageRef(store)->RestoreObject(back, ZuObjectRef::RetRuntime());
    return back;
}
