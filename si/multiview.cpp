#include "si/multiview.h"

#include "si/classfactory.h"
#include "si/icontainer.h"
#include "si/memzone.h"
#include "si/pubdata.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"
#include "si/types.h"
#include "si/values.h"

ZU_IMPLEMENT_CLASS(ZuMultiView, "si/multiview", ZU_CLASS_PLAIN)

ZuAtomRef ZuMultiView::notify_active_changed;
ZU_EXPORT_NOTIFY(ZuMultiView, active_changed, "notify_active_changed",
                 &ZuMultiView::notify_active_changed)
ZU_EXPORT_ACTOR(ZuMultiView, ActivateNextView)
ZU_EXPORT_ACTOR(ZuMultiView, ActivatePrevView)

namespace {

ZuMultiView* MultiOf(ZuObject* object)
{
    return static_cast<ZuMultiView*>(object);
}

Zuvi_TargetExport observer_active(
    [](ZuObject* o, const ZuObjectRef& sender, unsigned flags) -> bool {
        MultiOf(o)->OnActiveChange(sender, flags);
        return true;
    },
    "OnActiveChange", ZuMultiViewRef::RetRuntime());
Zuvi_TargetExport observer_source(
    [](ZuObject* o, const ZuObjectRef& sender, unsigned flags) -> bool {
        MultiOf(o)->OnSourceChange(sender, flags);
        return true;
    },
    "OnSourceChange", ZuMultiViewRef::RetRuntime());

void GetAutoRefresh(ZuValueRef& value, ZuObject* object)
{
    value = ZuValueRef(MultiOf(object)->RetAutoRefreshMode());
}

bool SetAutoRefresh(const ZuValueRef& value, ZuObject* object)
{
    return value.IsValid() && MultiOf(object)->SetAutoRefreshMode(value->RetBool());
}

void DeclareMultiViewData(ZuRuntime* runtime)
{
    static Zuvi_PubDataDef items[] = {
        {&ZuMultiViewRef::RetRuntime(), "is_auto_refreshing", "automatic refresh on source change",
         &Bool_type, true, true, &GetAutoRefresh, &SetAutoRefresh},
    };
    for (Zuvi_PubDataDef& item : items)
        runtime->PublishData(item);
}

Zuvi_PubDataExport multi_view_data(&DeclareMultiViewData, ZuMultiViewRef::RetRuntime());

// Made at each call: the atoms live only as long as one run of the
// library's services.
ZuAtomRef OnActiveChangeName()
{
    return ZuAtomRef("OnActiveChange");
}

ZuAtomRef OnSourceChangeName()
{
    return ZuAtomRef("OnSourceChange");
}

} // namespace

unsigned ZuMultiView::CountItems() const
{
    if (source.IsInvalid())
        return 0;
    const auto* items = static_cast<const ZuiContainer*>(
        source.CheckAndResolve()->CastToInterface(&ZuiContainer::interface));
    return items ? items->TotalCount() : 0;
}

bool ZuMultiView::Initialise(const ZuBaseContainerRef& new_source,
                             const ZuViewProviderRef& new_provider,
                             const ZuSelectConRef& new_controller)
{
    ZuObjectRef self(this);
    // Initialised again: the earlier bindings and viewport go first.
    if (controller.IsValid())
        controller->DetachObserver(self, ZuSelectCon::notify_active_changed, OnActiveChangeName(),
                                   0);
    if (source.IsValid())
        for (const ZuAtomRef* event :
             {&ZuBaseContainer::notify_data_inserted, &ZuBaseContainer::notify_data_removed,
              &ZuBaseContainer::notify_data_moved})
            source->DetachObserver(self, *event, OnSourceChangeName(), 0);
    if (viewport.IsValid()) {
        viewport->RemoveAllChildren(false);
        viewport->SetParent(ZuViewNull);
        viewport->Delete();
    }

    source = new_source;
    provider = new_provider;
    controller = new_controller;
    active = 0;
    viewport = ZuNew<ZuView>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
    viewport->SetBox(RetBox());
    viewport->SetParent(ZuViewRef(this));
    if (controller.IsValid())
        controller->AttachObserver(self, ZuSelectCon::notify_active_changed, OnActiveChangeName(),
                                   0);
    if (source.IsValid())
        for (const ZuAtomRef* event :
             {&ZuBaseContainer::notify_data_inserted, &ZuBaseContainer::notify_data_removed,
              &ZuBaseContainer::notify_data_moved})
            source->AttachObserver(self, *event, OnSourceChangeName(), 0);
    return true;
}

bool ZuMultiView::SetMargin(double m)
{
    if (viewport.IsInvalid())
        return false;
    const ZuRect& box = RetBox();
    const double w = box.DX(), h = box.DY();
    ZuRect r(m, m, m + (w - 2 * m) - 1, m + (h - 2 * m) - 1);
    if (w - 2 * m == 0 || h - 2 * m == 0)
        r.MakeEmpty();
    return SetViewportBox(r);
}

bool ZuMultiView::SetViewportBox(const ZuRect& r)
{
    if (viewport.IsInvalid())
        return false;
    const ZuRect& box = RetBox();
    ZuRect moved = r;
    moved.MoveOrigin(box.X1(), box.Y1());
    viewport->SetBox(moved);
    return true;
}

bool ZuMultiView::SetViewport(const ZuViewRef& view)
{
    if (view == viewport)
        return true;
    if (viewport.IsValid()) {
        // What it shows belongs to the provider.
        viewport->RemoveAllChildren(false);
        viewport->Delete();
    }
    viewport = view;
    if (viewport.IsValid())
        viewport->SetParent(ZuViewRef(this));
    return true;
}

bool ZuMultiView::SetAutoRefreshMode(bool on)
{
    is_auto_refreshing = on;
    return true;
}

bool ZuMultiView::RetAutoRefreshMode() const
{
    return is_auto_refreshing;
}

bool ZuMultiView::RefreshActiveView()
{
    if (source.IsValid() && active < CountItems()) {
        if (provider.IsInvalid() || viewport.IsInvalid())
            return true;
        provider->UnlockAllViews();
        viewport->RemoveAllChildren(false);
        provider->LockView(active, viewport->RetBox());
        ZuViewRef view;
        if (provider->GetView(active, view) && view.IsValid())
            view->SetParent(viewport);
        return true;
    }
    ZuViewRef child;
    if (viewport.IsInvalid() || !viewport->GetFirstChild(child))
        return false;
    viewport->RemoveAllChildren(false);
    return true;
}

bool ZuMultiView::ActivateView(unsigned rank)
{
    // A multi-view read from a file may have no source.
    if (source.IsInvalid())
        return false;
    const unsigned n = CountItems();
    if (rank == active)
        return true;
    if (rank >= n && n > 0)
        return false;
    const unsigned old = active;
    active = rank < n ? rank : 0;
    RefreshActiveView();
    NotifyActiveChange(old);
    return true;
}

unsigned ZuMultiView::RetActiveView() const
{
    return active;
}

bool ZuMultiView::ActivateNextView()
{
    return ActivateView(active + 1);
}

bool ZuMultiView::ActivatePrevView()
{
    return active != 0 && ActivateView(active - 1);
}

void ZuMultiView::NotifyActiveChange(unsigned)
{
    QuickReport(notify_active_changed, 0);
}

void ZuMultiView::OnActiveChange(const ZuObjectRef& sender, unsigned)
{
    ZuValueRef rank;
    if (sender.IsInvalid() || !sender->QueryData(ZuAtomRef("active_rank"), rank) ||
        rank.IsInvalid())
        return;
    ActivateView(rank->RetCard32());
    Display(true);
}

void ZuMultiView::OnSourceChange(const ZuObjectRef& sender, unsigned)
{
    if (source.IsInvalid() || !(sender == source) || provider.IsInvalid())
        return;
    provider->NotifyDataSourceChange();
    if (!is_auto_refreshing)
        return;
    const unsigned n = CountItems();
    if (n == 0) {
        const unsigned old = active;
        active = 0;
        RefreshActiveView();
        NotifyActiveChange(old);
    } else if (active >= n) {
        ActivateView(n - 1);
    } else {
        RefreshActiveView();
    }
    Display(true);
}

void ZuMultiView::NotifyGeometryChange(const ZuRect& old_box)
{
    // The margins inside the old box are taken before the view's own
    // handling moves its children (the viewport among them) with it, and
    // the viewport is placed after it, so that it is not moved twice.
    double left = 0, top = 0, right = 0, bottom = 0;
    if (viewport.IsValid()) {
        const ZuRect& v = viewport->RetBox();
        left = v.X1() - old_box.X1();
        top = v.Y1() - old_box.Y1();
        right = old_box.X2() - v.X2();
        bottom = old_box.Y2() - v.Y2();
    }
    ZuView::NotifyGeometryChange(old_box);
    if (viewport.IsValid()) {
        const ZuRect& box = RetBox();
        SetViewportBox(
            ZuRect(left, top, (box.X2() - box.X1()) - right, (box.Y2() - box.Y1()) - bottom));
    }
}

void ZuMultiView::Delete()
{
    ZuViewRef self(this);
    // The shown view is the provider's: it is detached, not deleted with
    // the viewport.
    if (viewport.IsValid())
        viewport->RemoveAllChildren(false);
    ZuView::Delete();
    if (viewport.IsValid()) {
        viewport->Delete();
        viewport = ZuViewNull;
    }
    source = ZuBaseContainerNull;
    provider = ZuViewProviderNull;
    controller = ZuSelectConNull;
}

void ZuMultiView::StoreInstance(const ZuStorageRef& storage)
{
    ZuView::StoreInstance(storage);
    static ZuStorageSync record("<ZuMultiView viewport source provider controller active>");
    storage << record << ZuStorageSync::begin;
    storage->StoreObject(viewport);
    storage->StoreObject(source);
    storage->StoreObject(provider);
    storage->StoreObject(controller);
    storage->StoreCard(active);
    storage << ZuStorageSync::end;
}

void ZuMultiView::RestoreInstance(const ZuStorageRef& storage)
{
    ZuView::RestoreInstance(storage);
    storage >> ZuStorageSync::type >> ZuStorageSync::begin >> viewport >> source >> provider >>
        controller;
    active = static_cast<unsigned>(storage->RestoreCard(active));
    storage >> ZuStorageSync::end;
}
