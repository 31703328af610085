#include "si/dragpal.h"

#include "si/app.h"
#include "si/carbon.h"
#include "si/classfactory.h"
#include "si/dataslot.h"
#include "si/dragview.h"
#include "si/error.h"
#include "si/event.h"
#include "si/except.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"
#include "si/window.h"

ZU_IMPLEMENT_CLASS(ZuDragPalette, "si/dragpal", ZU_CLASS_PLAIN)

ZuAtomRef ZuDragPalette::notify_drop_committed;
ZuAtomRef ZuDragPalette::notify_drop_cancelled;

ZU_EXPORT_NOTIFY(ZuDragPalette, committed, "notify_drop_committed",
                 &ZuDragPalette::notify_drop_committed)
ZU_EXPORT_NOTIFY(ZuDragPalette, cancelled, "notify_drop_cancelled",
                 &ZuDragPalette::notify_drop_cancelled)
ZU_EXPORT_ACTOR(ZuDragPalette, NotifyCommitDrop)
ZU_EXPORT_ACTOR(ZuDragPalette, NotifyCancelDrop)

namespace {

ZuStorageSync& DragPaletteRecord()
{
    static ZuStorageSync record("<ZuDragPalette>");
    return record;
}

bool Contains(const ZuRect& box, double x, double y)
{
    return !box.IsEmpty() && x >= box.X1() && x <= box.X2() && y >= box.Y1() && y <= box.Y2();
}

} // namespace

ZuDragPalette::ZuDragPalette()
{
    state.ClearBit(ZU_VIEW_OK_DROP);
}

void ZuDragPalette::Delete()
{
    moved_view = ZuViewNull;
    ZuControl::Delete();
}

bool ZuDragPalette::WouldAcceptChild(const ZuViewRef&)
{
    return true;
}

void ZuDragPalette::NotifyInsertChild(const ZuViewRef& child)
{
    if (child.IsInvalid())
        Zuvi_ErrorAbort("Failed assertion: child.IsValid ()", __LINE__, ZU_SRC_FILE);
    child->ChangeState(ZU_VIEW_NO_DETECT, true, false);
    ZuView::NotifyInsertChild(child);
}

void ZuDragPalette::NotifyRemoveChild(const ZuViewRef& child)
{
    ZuView::NotifyRemoveChild(child);
}

bool ZuDragPalette::DragAndDrop(const ZuRect& rect, const ZuObjectRef& object,
                                ZuDragDropProtocol step)
{
    switch (static_cast<unsigned>(step)) {
    case ZU_DDP_DRAGnDROP_CHECK:
    case ZU_DDP_CONNECT_CHECK:
    case ZU_DDP_UI_EDIT_CHECK:
        return false;
    default:
        return ZuControl::DragAndDrop(rect, object, step);
    }
}

void ZuDragPalette::Initialise(const ZuViewRef& view)
{
    if (view.IsInvalid())
        return;
    ZuViewRef parent;
    view->GetParent(parent);
    SetParent(parent);
    const ZuRect& box = view->RetBox();
    SetOrigin(box.X1() - 1, box.Y1() - 1);
    SetSize(box.DX() + 2, box.DY() + 2);
    view->SetParent(ZuViewRef(this));
}

void ZuDragPalette::SetAutoCopy(bool flag)
{
    auto_copy = flag;
}

bool ZuDragPalette::RetAutoCopy() const
{
    return auto_copy;
}

bool ZuDragPalette::NotifyCommitDrop()
{
    QuickReport(notify_drop_committed, 0);
    moved_view = ZuViewNull;
    return true;
}

bool ZuDragPalette::NotifyCancelDrop()
{
    if (!auto_copy && moved_view.IsValid()) {
        ZuViewRef back = moved_view;
        moved_view = ZuViewNull;
        back->SetParent(ZuViewRef(this));
        back->SetBox(RetBox());
        Display(true);
    }
    QuickReport(notify_drop_cancelled, 0);
    return true;
}

ZuViewRef ZuDragPalette::CopyChild(const ZuViewRef& child, const ZuObjectRef& embedded)
{
    ZuCarbonCopyRef copy(ZuNew<ZuCarbonCopy>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE));
    ZuDataSlotRef slot(ZuNew<ZuDataSlot>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE));
    const ZuAppRef& app = ZuApp::Current();
    slot->InsertField(ZuAtomRef("App"), app);
    if (app.IsValid() && app->RetBuilder().IsValid()) {
        ZuObjectRef active;
        if (app->RetBuilder()->QueryData(ZuAtomRef("active_data_slot"), active) && active.IsValid())
            slot->InsertField(ZuAtomRef("active_data_slot"), active);
    }
    if (!auto_copy)
        slot->InsertField(ZuAtomRef("embedded_object"), embedded);
    ZuObjectRef made;
    try {
        copy->SetDataSlot(slot);
        copy->StartStoring();
        copy->StoreObject(child);
        copy->StartRestoring();
        copy->RestoreObject(made, ZuViewRef::RetRuntime());
        copy->FinallyAwake();
    } catch (const ZuException&) {
        if (made.IsValid())
            made->Delete();
        made = ZuObjectNull;
    }
    copy->StartStoring();
    copy->Delete();
    slot->Delete();
    if (made.IsValid() && !made->IsKindOf(ZuViewRef::RetRuntime())) {
        made->Delete();
        made = ZuObjectNull;
    }
    return made.IsValid() ? ZuViewRef(made) : ZuViewNull;
}

void ZuDragPalette::ButtonPress(const ZuEventRef& event)
{
    if (event->RetChange() != ZU_EV_BUTTON_LEFT) {
        ZuControl::ButtonPress(event);
        return;
    }
    // A drag needs the pointer of a window on the screen to hand over.
    if (window.IsInvalid() || window->RetScreenWindow().IsInvalid())
        return;
    const double x = event->RetX(), y = event->RetY();
    ZuViewRef child;
    GetLastChild(child);
    while (child.IsValid() && !Contains(child->RetBox(), x, y)) {
        ZuViewRef prev;
        child->GetPrevSibling(prev);
        child = prev;
    }
    if (child.IsInvalid())
        return;
    ZuViewRef dragged;
    ZuObjectRef drag_object;
    ZuObjectRef embedded;
    if (!auto_copy && !child->GetAttribute("embedded_object_for_drag", embedded, 0)) {
        dragged = child;
        moved_view = child;
    } else {
        drag_object = embedded;
        dragged = CopyChild(child, embedded);
        // A sample that cannot be copied starts nothing.
        if (dragged.IsInvalid())
            return;
        dragged->SetParent(ZuViewRef(this));
    }
    ZuDragViewRef drag(ZuNew<ZuDragView>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE));
    dragged->ChangeState(ZU_VIEW_NO_DETECT, false, false);
    double ox = 0, oy = 0;
    dragged->GetOrigin(ox, oy);
    if (drag_object.IsInvalid())
        drag_object = dragged;
    drag->SetAutoStop(true);
    drag->SetAutoOops(false);
    drag->SetAutoEmbed(true);
    drag->SetDragView(dragged);
    drag->SetDragObject(drag_object);
    drag->SetHotSpot(x - ox, y - oy);
    drag->AttachObserver(ZuObjectRef(this), ZuDragView::notify_drop_cancelled,
                         ZuAtomRef("NotifyCancelDrop"), 0);
    drag->AttachObserver(ZuObjectRef(this), ZuDragView::notify_drop_committed,
                         ZuAtomRef("NotifyCommitDrop"), 0);
    drag->DragBegin();
    ZuEvent::HandOverToWindow(drag);
}

void ZuDragPalette::StoreInstance(const ZuStorageRef& s)
{
    ZuControl::StoreInstance(s);
    s << DragPaletteRecord() << ZuStorageSync::begin << ZuStorageSync::end;
}

void ZuDragPalette::RestoreInstance(const ZuStorageRef& s)
{
    ZuControl::RestoreInstance(s);
    s >> ZuStorageSync::type >> ZuStorageSync::begin >> ZuStorageSync::end;
}
