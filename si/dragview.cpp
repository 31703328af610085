#include "si/dragview.h"

#include <cmath>

#include "si/classfactory.h"
#include "si/event.h"
#include "si/grailwdo.h"
#include "si/message.h"
#include "si/pubdata.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"
#include "si/values.h"

ZU_IMPLEMENT_CLASS(ZuDragView, "si/dragview", ZU_CLASS_PLAIN)

Zuvi_DragGridCalls ZuDragView::grid_calls;

ZuAtomRef ZuDragView::notify_drag_began;
ZuAtomRef ZuDragView::notify_drag_ended;
ZuAtomRef ZuDragView::notify_drop_committed;
ZuAtomRef ZuDragView::notify_drop_cancelled;
ZuAtomRef ZuDragView::do_check_drop;
ZuAtomRef ZuDragView::do_commit_smart_drop;

ZU_EXPORT_NOTIFY(ZuDragView, began, "notify_drag_began", &ZuDragView::notify_drag_began)
ZU_EXPORT_NOTIFY(ZuDragView, ended, "notify_drag_ended", &ZuDragView::notify_drag_ended)
ZU_EXPORT_NOTIFY(ZuDragView, committed, "notify_drop_committed", &ZuDragView::notify_drop_committed)
ZU_EXPORT_NOTIFY(ZuDragView, cancelled, "notify_drop_cancelled", &ZuDragView::notify_drop_cancelled)
ZU_EXPORT_NOTIFY(ZuDragView, check, "do_check_drop", &ZuDragView::do_check_drop)
ZU_EXPORT_NOTIFY(ZuDragView, smart, "do_commit_smart_drop", &ZuDragView::do_commit_smart_drop)
static Zuvi_NotifyExport zuvi_notify_commit_drop(&ZuDragViewRef::RetRuntime(), "CommitDrop",
                                                 "drag_object", nullptr);
static Zuvi_NotifyExport zuvi_notify_cancel_drop(&ZuDragViewRef::RetRuntime(), "CancelDrop",
                                                 "drag_object", nullptr);
ZU_EXPORT_ACTOR(ZuDragView, ValidateDropView)
ZU_EXPORT_ACTOR(ZuDragView, InvalidateDropView)

namespace {

ZuStorageSync& DragViewRecord()
{
    static ZuStorageSync record(
        "<ZuDragView drag_view drag_object auto_stop auto_oops auto_embed>");
    return record;
}

ZuDragView* AsDragView(ZuObject* o)
{
    return static_cast<ZuDragView*>(o);
}

// The three calls by name with the target object as their one argument.
#define T_TARGET_METHOD(NAME)                                                        \
    bool NAME##Thunk(const ZuMessageRef& msg, ZuObject* obj, Zuvi_TargetExport* exp) \
    {                                                                                \
        if (obj == nullptr) {                                                        \
            exp->SetCall(#NAME " (target)");                                         \
            exp->SetArg("ZuObjectRef", "target", "target object");                   \
            return false;                                                            \
        }                                                                            \
        ZuObjectRef target;                                                          \
        msg >> target;                                                               \
        AsDragView(obj)->NAME(target);                                               \
        return true;                                                                 \
    }                                                                                \
    Zuvi_TargetExport NAME##_export(&NAME##Thunk, ZuDragViewRef::RetRuntime());
T_TARGET_METHOD(CommitDrop)
T_TARGET_METHOD(CommitConnect)
T_TARGET_METHOD(SubstituteTarget)
#undef T_TARGET_METHOD

void GetDragObject(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(AsDragView(o)->RetDragObject());
}
bool SetDragObjectDatum(const ZuValueRef& value, ZuObject* o)
{
    return AsDragView(o)->SetDragObject(value.IsValid() ? value->RetObject() : ZuObjectNull);
}
void GetAutoStop(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(AsDragView(o)->RetAutoStop());
}
bool SetAutoStopDatum(const ZuValueRef& value, ZuObject* o)
{
    return value.IsValid() && AsDragView(o)->SetAutoStop(value->RetBool());
}
void GetAutoOops(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(AsDragView(o)->RetAutoOops());
}
bool SetAutoOopsDatum(const ZuValueRef& value, ZuObject* o)
{
    return value.IsValid() && AsDragView(o)->SetAutoOops(value->RetBool());
}
void GetAutoEmbed(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(AsDragView(o)->RetAutoEmbed());
}
bool SetAutoEmbedDatum(const ZuValueRef& value, ZuObject* o)
{
    return value.IsValid() && AsDragView(o)->SetAutoEmbed(value->RetBool());
}
void GetDropValid(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(AsDragView(o)->IsDropViewValid());
}

void DeclareDragViewData(ZuRuntime* runtime)
{
    static Zuvi_PubDataDef items[] = {
        {&ZuDragViewRef::RetRuntime(), "drag_object", "Drag object", &ZuObject_type, true, true,
         &GetDragObject, &SetDragObjectDatum},
        {&ZuDragViewRef::RetRuntime(), "auto_stop", "Automatic stop", &Bool_type, true, true,
         &GetAutoStop, &SetAutoStopDatum},
        {&ZuDragViewRef::RetRuntime(), "auto_oops", "Automatic oops animation", &Bool_type, true,
         true, &GetAutoOops, &SetAutoOopsDatum},
        {&ZuDragViewRef::RetRuntime(), "auto_embed", "Automatic embedding on drop", &Bool_type,
         true, true, &GetAutoEmbed, &SetAutoEmbedDatum},
        {&ZuDragViewRef::RetRuntime(), "is_drop_view_valid", "Is drop view valid ?", &Bool_type,
         true, false, &GetDropValid, nullptr},
    };
    for (Zuvi_PubDataDef& item : items)
        runtime->PublishData(item);
}
Zuvi_PubDataExport drag_view_data(&DeclareDragViewData, ZuDragViewRef::RetRuntime());

double Trunc(double v)
{
    return std::trunc(v);
}

// Width and height of a box counted inclusively, 0 for an empty box.
bool InsideBox(const ZuRect& box, double x, double y)
{
    return x >= 0 && x <= box.DX() && y >= 0 && y <= box.DY();
}

bool InsideInclusive(const ZuRect& box, double x, double y)
{
    return !box.IsEmpty() && x >= box.X1() && x <= box.X2() && y >= box.Y1() && y <= box.Y2();
}

// The window's "BuilderGrid" when it holds a grid view; anything else
// stored under that name is no grid and is ignored.
ZuObjectRef BuilderGrid(const ZuWindowRef& window)
{
    ZuObjectRef grid;
    ZuRuntimeRef grid_class;
    if (window.IsInvalid() || !window->GetAttribute("BuilderGrid", grid, 0) || grid.IsInvalid() ||
        !ZuClassFactory::GetClass("ZuGridView", grid_class) || !grid->IsKindOf(grid_class))
        return ZuObjectNull;
    return grid;
}

} // namespace

ZuDragView::ZuDragView()
{
    style.SetBit(ZU_WINSTYLE_TOPMOST);
    style.SetBit(ZU_WINSTYLE_FRAMELESS);
}

void ZuDragView::Delete()
{
    ZuDragViewRef self(this);
    if (drag_view.IsValid()) {
        ZuViewRef v = drag_view;
        drag_view = ZuViewNull;
        v->Delete();
    }
    drag_object = ZuObjectNull;
    drop_view = ZuViewNull;
    restrict_window = ZuWindowNull;
    ZuWindow::Delete();
}

void ZuDragView::Report(const ZuAtomRef& event)
{
    QuickReport(event, 1);
}

bool ZuDragView::Step(const ZuViewRef& view, ZuDragDropProtocol step)
{
    return view.IsValid() && view->DragAndDrop(drop_box, ZuObjectRef(this), step);
}

// ---------------------------------------------------------------------------
// Configuration
// ---------------------------------------------------------------------------

void ZuDragView::SetDragBox(const ZuRect& box)
{
    Close();
    SetWindowBox(box);
    ShowNormal();
}

void ZuDragView::SetDragView(const ZuViewRef& view)
{
    if (drag_view.IsValid())
        DragForget();
    ZuWindowRef view_window;
    if (view.IsValid() && view->GetWindow(view_window) && view_window.IsValid()) {
        double ox = 0, oy = 0;
        view_window->GetWindowOrigin(ox, oy);
        ZuRect box = view->RetBox();
        box.MoveOrigin(ox, oy);
        SetDragBox(box);
        drag_view = view;
    } else {
        Close();
    }
}

bool ZuDragView::SetDragObject(const ZuObjectRef& object)
{
    drag_object = object;
    return true;
}

const ZuViewRef& ZuDragView::RetDragView() const
{
    return drag_view;
}

const ZuObjectRef& ZuDragView::RetDragObject() const
{
    return drag_object;
}

void ZuDragView::DropOnlyInView(const ZuViewRef& view)
{
    restricted = view.IsValid();
    ZuWindowRef view_window;
    if (restricted && view->GetWindow(view_window)) {
        restrict_window = view_window;
        view->GetBox(restrict_box);
    } else {
        restrict_window = ZuWindowNull;
        restrict_box = ZuRect();
    }
}

void ZuDragView::SetHotSpot(double x, double y)
{
    hot_x = Trunc(x);
    hot_y = Trunc(y);
    hot_spot_set = true;
}

void ZuDragView::SetDetectSpot(double x, double y)
{
    detect_x = Trunc(x);
    detect_y = Trunc(y);
    detect_spot_set = true;
}

bool ZuDragView::GetHotSpot(double& x, double& y) const
{
    if (!hot_spot_set)
        return false;
    x = hot_x;
    y = hot_y;
    return true;
}

bool ZuDragView::GetDetectSpot(double& x, double& y) const
{
    if (!detect_spot_set)
        return false;
    x = detect_x;
    y = detect_y;
    return true;
}

bool ZuDragView::SetAutoStop(bool flag)
{
    auto_stop = flag;
    return true;
}

bool ZuDragView::SetAutoOops(bool flag)
{
    auto_oops = flag;
    return true;
}

bool ZuDragView::SetAutoEmbed(bool flag)
{
    auto_embed = flag;
    return true;
}

bool ZuDragView::RetAutoStop() const
{
    return auto_stop;
}

bool ZuDragView::RetAutoOops() const
{
    return auto_oops;
}

bool ZuDragView::RetAutoEmbed() const
{
    return auto_embed;
}

// ---------------------------------------------------------------------------
// Lifting and letting go
// ---------------------------------------------------------------------------

void ZuDragView::DragBegin()
{
    if (drag_view.IsInvalid())
        return;
    ZuViewRef old_parent;
    drag_view->GetParent(old_parent);
    drag_view->SetParent(ZuViewNull);
    if (old_parent.IsValid())
        old_parent->Display(true);
    saved_state = drag_view->RetState();
    UndoDragEnd();
    Report(notify_drag_began);
}

void ZuDragView::DragEnd()
{
    if (!lifted)
        return;
    if (drag_view.IsValid()) {
        drag_view->SetParent(ZuViewNull);
        drag_view->SetState(saved_state, false);
    }
    lifted = false;
}

void ZuDragView::UndoDragEnd()
{
    if (lifted || drag_view.IsInvalid())
        return;
    drag_view->SetParent(ZuViewRef(this));
    drag_view->SetOrigin(0, 0);
    lifted = true;
    drag_view->ChangeState(ZU_VIEW_NO_DETECT, true, false);
    drag_view->ChangeState(ZU_VIEW_NO_UI_INSPECT, true, false);
    drag_view->ChangeState(ZU_VIEW_OK_ACTIVE, false, false);
    Display(true);
}

void ZuDragView::DragForget()
{
    DragEnd();
    drag_view = ZuViewNull;
    Report(notify_drag_ended);
}

void ZuDragView::DragOops()
{
    double cx = 0, cy = 0;
    GetWindowOrigin(cx, cy);
    const double dx = start_x - cx, dy = start_y - cy;
    for (int i = 1; i <= 10; ++i) {
        SetWindowOrigin(Trunc(cx + dx * i / 10), Trunc(cy + dy * i / 10));
        if (screen_window.IsValid())
            screen_window->Redraw();
    }
}

// ---------------------------------------------------------------------------
// Following the pointer
// ---------------------------------------------------------------------------

void ZuDragView::DragNotify(const ZuEventRef& event)
{
    ZuDragViewRef self(this);
    if (!started) {
        ZuEvent::GrabWindowEvents(ZuObjectRef(this), true);
        started = true;
        if (!hot_spot_set)
            SetHotSpot(event->RetX(), event->RetY());
        double ox = 0, oy = 0;
        GetWindowOrigin(ox, oy);
        start_x = Trunc(ox);
        start_y = Trunc(oy);
        return;
    }
    double gx = 0, gy = 0;
    if (screen_window.IsValid())
        screen_window->GetOrigin(gx, gy);
    else
        GetWindowOrigin(gx, gy);
    drop_x = event->RetX() + gx;
    drop_y = event->RetY() + gy;
    SetWindowOrigin(event->RetX() - hot_x + gx, event->RetY() - hot_y + gy);
    if (screen_window.IsValid())
        screen_window->Redraw();
    FindDropView();
}

bool ZuDragView::FindDropView()
{
    const ZuViewRef prev = drop_view;
    ZuRect own;
    GetWindowBox(own);
    const unsigned skip = InsideBox(own, hot_x, hot_y) ? 1 : 0;
    ZuGrailWindowRef found;
    ZuWindowRef target;
    if (ZuGrailWindow::FindOwnWindow(drop_x, drop_y, found, skip) && found.IsValid()) {
        const ZuObjectRef& owner = found->RetWindow();
        if (owner.IsValid() && owner->IsKindOf(ZuWindowRef::RetRuntime()))
            target = ZuWindowRef(owner);
    }
    bool usable = target.IsValid();
    double lx = 0, ly = 0;
    if (usable) {
        double ox = 0, oy = 0;
        target->GetWindowOrigin(ox, oy);
        if (detect_spot_set) {
            const double x = detect_x + drop_x - ox, y = detect_y + drop_y - oy;
            drop_box = ZuRect(x, y, x, y);
        } else {
            drop_box = own;
            drop_box.MoveOrigin(-ox, -oy);
        }
        lx = drop_x - ox;
        ly = drop_y - oy;
        if (restricted && (target != restrict_window || !InsideInclusive(restrict_box, lx, ly)))
            usable = false;
    }
    if (!usable) {
        if (drop_valid)
            Step(drop_view, ZU_DDP_DRAGnDROP_LEAVE);
        drop_view = ZuViewNull;
        drop_valid = false;
        return false;
    }
    ZuViewRef under;
    if (!target->Detect(lx, ly, under, auto_embed) || under.IsInvalid())
        under = target;
    drop_view = under;
    Step(drop_view, ZU_DDP_DRAGnDROP_SUBST);
    drop_valid = drop_view.IsValid();
    if (drop_view.IsValid() && drop_view != prev) {
        drop_valid = Step(drop_view, ZU_DDP_DRAGnDROP_CHECK);
        checking = true;
        Report(do_check_drop);
        checking = false;
        if (!drop_valid)
            drop_view = ZuViewNull;
    }
    if (drop_view != prev) {
        Step(prev, ZU_DDP_DRAGnDROP_LEAVE);
        if (drop_valid)
            Step(drop_view, ZU_DDP_DRAGnDROP_ENTER);
    } else if (drop_valid) {
        Step(drop_view, ZU_DDP_DRAGnDROP_MOTION);
    }
    return drop_valid;
}

void ZuDragView::ButtonRelease(const ZuEventRef& event)
{
    ZuDragViewRef self(this);
    DragNotify(event);
    started = false;
    hot_spot_set = false;
    detect_spot_set = false;
    ZuEvent::GrabWindowEvents(ZuObjectRef(this), false);
    if (!auto_stop)
        return;
    if (drop_view.IsValid() && Step(drop_view, ZU_DDP_DRAGnDROP_CHECK) && DragDrop()) {
        DragForget();
        Report(notify_drop_committed);
        Close();
        Delete();
    } else if (auto_oops) {
        DragOops();
        Report(notify_drop_cancelled);
    } else {
        DragOops();
        DragForget();
        Report(notify_drop_cancelled);
        Close();
        Delete();
    }
}

// ---------------------------------------------------------------------------
// Dropping
// ---------------------------------------------------------------------------

bool ZuDragView::DragDrop()
{
    if (drag_view.IsInvalid())
        return false;
    ZuWindowRef drop_window;
    if (drop_view.IsValid() && drop_view->GetWindow(drop_window) && drop_window.IsValid()) {
        double ox = 0, oy = 0;
        drop_window->GetWindowOrigin(ox, oy);
        drop_x -= ox;
        drop_y -= oy;
    } else {
        drop_x = drop_y = 0;
    }
    DragEnd();
    refused = false;
    if (drop_view.IsValid() && Step(drop_view, ZU_DDP_DRAGnDROP_COMMIT) && !refused)
        return true;
    UndoDragEnd();
    return false;
}

void ZuDragView::CommitDrop(const ZuObjectRef& given)
{
    if (!auto_embed) {
        committing = true;
        Report(do_commit_smart_drop);
        committing = false;
        return;
    }
    // A view without an object of its own for drops sends an empty target:
    // it means the view itself.
    const ZuObjectRef target = given.IsValid() ? given : ZuObjectRef(drop_view);
    if (target.IsInvalid() || !target->IsKindOf(ZuViewRef::RetRuntime()))
        return;
    const ZuViewRef into(target);
    const ZuViewState& into_state = into->RetState();
    if (into_state.TestBit(ZU_VIEW_NO_UI_MODIF) || into_state.TestBit(ZU_VIEW_NO_UI_INSPECT) ||
        drag_view.IsInvalid() || drag_object.Resolve() != drag_view.Resolve()) {
        refused = true;
        return;
    }
    double x = drop_box.X1(), y = drop_box.Y1();
    double dx = 0, dy = 0;
    drag_view->GetSize(dx, dy);
    ZuWindowRef into_window;
    into->GetWindow(into_window);
    const ZuObjectRef grid = BuilderGrid(into_window);
    if (grid.IsValid() && grid_calls.align != nullptr) {
        double x2 = x + dx, y2 = y + dy;
        grid_calls.align(grid, x, y);
        grid_calls.align(grid, x2, y2);
        double min_dx = 0, min_dy = 0;
        drag_view->GetMinSize(min_dx, min_dy);
        dx = std::max(x2 - x, min_dx);
        dy = std::max(y2 - y, min_dy);
    }
    drag_view->SetParent(into);
    drag_view->SetOrigin(x, y);
    drag_view->SetSize(dx, dy);
    drag_view->Display(true);
}

void ZuDragView::CommitConnect(const ZuObjectRef&) {}

void ZuDragView::SubstituteTarget(const ZuObjectRef& target)
{
    if (target.IsValid() && target->IsKindOf(ZuViewRef::RetRuntime()))
        drop_view = ZuViewRef(target);
}

bool ZuDragView::GetDropOrigin(double& x, double& y) const
{
    if (!checking && !committing)
        return false;
    x = drop_x;
    y = drop_y;
    return true;
}

bool ZuDragView::GetDropView(ZuViewRef& view) const
{
    if (!checking && !committing)
        return false;
    view = drop_view;
    return true;
}

bool ZuDragView::GetDropBox(ZuRect& box) const
{
    if (!checking && !committing)
        return false;
    box = drop_box;
    return true;
}

bool ZuDragView::IsDropViewValid() const
{
    return checking && drop_valid;
}

bool ZuDragView::ValidateDropView()
{
    if (!checking)
        return false;
    drop_valid = drop_view.IsValid();
    return true;
}

bool ZuDragView::InvalidateDropView()
{
    if (!checking)
        return false;
    drop_valid = false;
    return true;
}

// ---------------------------------------------------------------------------
// Storage
// ---------------------------------------------------------------------------

void ZuDragView::StoreInstance(const ZuStorageRef& s)
{
    ZuWindow::StoreInstance(s);
    s << DragViewRecord() << ZuStorageSync::begin;
    s->StoreObject(drag_view);
    s->StoreObject(drag_object);
    s->StoreBool(auto_stop);
    s->StoreBool(auto_oops);
    s->StoreBool(auto_embed);
    s << ZuStorageSync::end;
}

void ZuDragView::RestoreInstance(const ZuStorageRef& s)
{
    ZuWindow::RestoreInstance(s);
    s >> ZuStorageSync::type >> ZuStorageSync::begin;
    ZuObjectRef v;
    s->RestoreObject(v, ZuViewRef::RetRuntime());
    drag_view = v.IsValid() && v->IsKindOf(ZuViewRef::RetRuntime()) ? ZuViewRef(v) : ZuViewNull;
    s->RestoreObject(drag_object, ZuObjectRef::RetRuntime());
    auto_stop = s->RestoreBool(auto_stop);
    auto_oops = s->RestoreBool(auto_oops);
    auto_embed = s->RestoreBool(auto_embed);
    s >> ZuStorageSync::end;
}
