#include "si/selview.h"

#include <algorithm>

#include "si/adorner.h"
#include "si/app.h"
#include "si/classfactory.h"
#include "si/error.h"
#include "si/event.h"
#include "si/grail.h"
#include "si/gridview.h"
#include "si/list.h"
#include "si/memzone.h"
#include "si/lookman.h"
#include "si/message.h"
#include "si/rtclass.h"
#include "si/springboard.h"
#include "si/storage.h"
#include "si/storagesync.h"
#include "si/window.h"

ZU_IMPLEMENT_CLASS(ZuSelView, "si/selview", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(ZuSelView, ZuiSelectionFrame)

namespace {

ZuStorageSync& SelViewRecord()
{
    static ZuStorageSync record("<ZuSelView view object>");
    return record;
}

// "CommitUIEdit (object)": the view being edited hands over its object.
bool CommitUIEditThunk(const ZuMessageRef& msg, ZuObject* obj, Zuvi_TargetExport* exp)
{
    if (obj == nullptr) {
        exp->SetCall("CommitUIEdit (ZuObjectRef object)");
        exp->SetArg("ZuObjectRef", "object", "selected view");
        return false;
    }
    ZuObjectRef edited;
    msg >> edited;
    return static_cast<ZuSelView*>(obj)->CommitUIEdit(edited);
}
Zuvi_TargetExport commit_export(&CommitUIEditThunk, ZuSelViewRef::RetRuntime());

// A message with the selection view as its one argument, to the builder.
void SendToBuilder(const ZuObjectRef& builder, const char* method, ZuSelView* self)
{
    if (builder.IsInvalid())
        return;
    ZuMessageRef message = ZuNew<ZuMessage>(Zuvi_temp_zone);
    message->SetMethod(method);
    message->Clear();
    message->StoreObject(ZuObjectRef(self));
    message->Send(builder);
    message->Delete();
}

bool InActiveList(const ZuViewRef& v)
{
    ZuViewRef p = v->RetParent();
    unsigned i = 0;
    return p.IsValid() && p->RetActiveList().IsValid() && p->RetActiveList()->Find(v, i);
}

// Puts v in its parent's active list after prev, or first without prev.
void PlaceActive(const ZuViewRef& v, const ZuViewRef& prev)
{
    if (prev.IsValid())
        v->SetActiveAfter(prev);
    else
        v->SetFirstActive();
}

// Puts v among its siblings after prev, or first without prev.
void PlaceAmongSiblings(const ZuViewRef& v, const ZuViewRef& prev)
{
    if (prev.IsValid())
        v->ReorderAfter(prev);
    else
        v->ReorderFirst();
}

// Keeps a new edge length within the view's bounds.
double Bound(double value, double low, double high)
{
    if (value < low)
        return low;
    if (value > high)
        return high;
    return value;
}

} // namespace

ZuSelView::~ZuSelView()
{
    ZU_ASSERT(this->view.IsInvalid());
    ZU_ASSERT(this->object.IsInvalid());
}

void ZuSelView::Delete()
{
    ZuObjectRef selected = view;
    if (view.IsValid()) {
        ZuViewRef v = view;
        view = ZuViewNull;
        v->Delete();
    }
    if (object.IsValid()) {
        ZuObjectRef o = object;
        object = ZuObjectNull;
        // The object is often the selected view itself, deleted above.
        if (o.Resolve() != selected.Resolve() || selected.IsInvalid())
            o->Delete();
    }
    ZuControl::Delete();
}

ZuViewRef ZuSelView::RetSelectedView() const
{
    return view;
}

ZuObjectRef ZuSelView::RetSelectedObject() const
{
    return object;
}

void ZuSelView::NotifySelectBuilder(const ZuAtomRef& action)
{
    if (!RetState().TestBit(ZU_VIEW_IS_ACTIVE) || builder.IsInvalid())
        return;
    ZuObject::DefineData(builder, ZuTextRef(ZuAtomRef("selected_object")), object);
    ZuObject::DefineData(builder, ZuTextRef(ZuAtomRef("selected_sel_view")), ZuObjectRef(this));
    if (action.IsValid())
        builder->Action(action, ZuObjectNull, 0);
}

void ZuSelView::NotifyDeselectBuilder()
{
    if (builder.IsInvalid())
        return;
    ZuObjectRef named;
    if (!ZuObject::QueryData(builder, ZuTextRef(ZuAtomRef("selected_sel_view")), named) ||
        named.Resolve() != this)
        return;
    ZuObject::DefineData(builder, ZuTextRef(ZuAtomRef("selected_object")), ZuObjectNull);
    ZuObject::DefineData(builder, ZuTextRef(ZuAtomRef("selected_sel_view")), ZuObjectNull);
}

void ZuSelView::BecomeMain(bool flag)
{
    ZuControl::BecomeMain(flag);
    NotifySelectBuilder(ZuAtomRef());
}

void ZuSelView::ResignMain()
{
    ZuControl::ResignMain();
    NotifyDeselectBuilder();
}

bool ZuSelView::BeginSelection(const ZuViewRef& v)
{
    if (view.IsValid() || v.IsInvalid())
        return false;
    ZuRect vbox;
    v->GetBox(vbox);
    ZuSelViewRef self(this);
    if (!v->DragAndDrop(vbox, self, ZU_DDP_UI_EDIT_CHECK)) {
        view = ZuViewNull;
        object = ZuObjectNull;
        return false;
    }
    ZuAppRef app = ZuApp::Current();
    builder = app.IsValid() ? app->RetBuilder() : ZuObjectNull;
    view = v;
    object = ZuObjectRef(v);
    if (!v->DragAndDrop(vbox, self, ZU_DDP_UI_EDIT_COMMIT)) {
        view = ZuViewNull;
        object = ZuObjectNull;
        return false;
    }
    SendToBuilder(builder, "NotifySelectionBegin", this);
    return true;
}

bool ZuSelView::CommitUIEdit(const ZuObjectRef& edited)
{
    if (view.IsInvalid())
        return true;
    SetBox(view->RetBox());
    // A view that hands over no object of its own is edited itself.
    if (edited.IsValid())
        object = edited;
    ZuViewRef parent = view->RetParent();
    ZuViewRef prev_sibling;
    view->GetPrevSibling(prev_sibling);
    ZuViewRef prev_active = view->RetPrevActive();
    bool was_active = InActiveList(view);
    ZuViewRef self(this);
    if (parent.IsValid()) {
        ZuSpringBoardRef board = parent->RetSpringBoard();
        if (board.IsValid() && board->FindView(view))
            board->ReplaceView(view, self);
    }
    SetParent(parent);
    view->SetParent(self);
    if (was_active)
        PlaceActive(self, prev_active);
    PlaceAmongSiblings(self, prev_sibling);
    if (view->RetState().TestBit(ZU_VIEW_IS_ACTIVE) && RetWindow().IsValid())
        RetWindow()->RemoveMainResponder();
    Display(true);
    NotifySelectBuilder(ZuAtomRef());
    if (ZuLookMan::Current().IsValid())
        ZuLookMan::Current()->SelectCursor(ZuAtomRef("Zuvi_CursorNormal"));
    return true;
}

void ZuSelView::EndSelection()
{
    if (builder.IsInvalid()) {
        ZuAppRef app = ZuApp::Current();
        builder = app.IsValid() ? app->RetBuilder() : ZuObjectNull;
    }
    if (view.IsInvalid())
        return;
    ZuWindowRef window = RetWindow();
    ZuViewRef self(this);
    ZuViewRef prev_active = RetPrevActive();
    bool was_active = InActiveList(self);
    ZuViewRef parent = RetParent();
    if (parent.IsValid()) {
        ZuSpringBoardRef board = parent->RetSpringBoard();
        if (board.IsValid() && board->FindView(self))
            board->ReplaceView(self, view);
    }
    ZuViewRef prev_sibling;
    GetPrevSibling(prev_sibling);
    ZuViewRef v = view;
    ZuRect old_box = RetBox();
    v->SetParent(parent);
    SetParent(ZuViewNull);
    SetWindow(ZuWindowRef());
    if (parent.IsValid()) {
        if (was_active)
            PlaceActive(v, prev_active);
        PlaceAmongSiblings(v, prev_sibling);
    }
    view = ZuViewNull;
    object = ZuObjectNull;
    if (window.IsValid())
        window->Redraw(old_box, false);
    SendToBuilder(builder, "NotifySelectionEnd", this);
}

bool ZuSelView::Detect(double x, double y, ZuViewRef& hit, bool)
{
    const ZuRect& b = RetBox();
    if (b.IsEmpty() || x < b.X1() || x > b.X2() || y < b.Y1() || y > b.Y2())
        return false;
    hit = ZuViewRef(this);
    return true;
}

void ZuSelView::ButtonPress(const ZuEventRef& event)
{
    ZuWindowRef window = RetWindow();
    if (window.IsValid())
        window->SetMainResponder(ZuViewRef(this), true);
    const ZuViewState& st = RetState();
    if (!st.TestBit(ZU_VIEW_IS_ENABLED) || st.TestBit(ZU_VIEW_IS_CLICKED) ||
        event->RetChange() != ZU_EV_BUTTON_LEFT)
        return;
    const ZuKeyModifiers& modifiers = event->RetKey().modifiers;
    if (modifiers.TestBit(ZU_MOD_CONTROL)) {
        NotifySelectBuilder(ZuAtomRef("NotifyConnectionBegin"));
        return;
    }
    if (modifiers.TestBit(ZU_MOD_SHIFT)) {
        NotifySelectBuilder(ZuAtomRef("NotifyMenuBegin"));
        return;
    }
    const ZuRect& b = RetBox();
    double x = event->RetX(), y = event->RetY();
    bool left = x<b.X1() + 5, right = x> b.X2() - 5;
    bool top = y<b.Y1() + 5, bottom = y> b.Y2() - 5;
    if (left && top)
        drag_corner = 1;
    else if (left && bottom)
        drag_corner = 4;
    else if (right && top)
        drag_corner = 2;
    else if (right && bottom)
        drag_corner = 3;
    else
        drag_corner = 0;
    double cx = (drag_corner == 2 || drag_corner == 3) ? b.X2() : b.X1();
    double cy = (drag_corner == 3 || drag_corner == 4) ? b.Y2() : b.Y1();
    grab_x = x - cx;
    grab_y = y - cy;
    if (window.IsValid())
        window->SetDraggingView(ZuViewRef(this));
    ActionOn();
}

void ZuSelView::DragNotify(const ZuEventRef& event)
{
    if (!RetState().TestBit(ZU_VIEW_IS_CLICKED) || view.IsInvalid())
        return;
    ZuWindowRef window = RetWindow();
    ZuRect old_box = RetBox();
    double x = event->RetX(), y = event->RetY();
    if (window.IsValid()) {
        double ww = 0, wh = 0;
        window->GetSize(ww, wh);
        x = Bound(x, 0, ww);
        y = Bound(y, 0, wh);
    }
    double nx = x - grab_x, ny = y - grab_y;
    double minw = 0, minh = 0, maxw = 0, maxh = 0;
    view->GetMinSize(minw, minh);
    view->GetMaxSize(maxw, maxh);
    double left = old_box.X1(), top = old_box.Y1();
    double width = old_box.IsEmpty() ? 0 : old_box.X2() - old_box.X1() + 1;
    double height = old_box.IsEmpty() ? 0 : old_box.Y2() - old_box.Y1() + 1;
    if (drag_corner == 1 || drag_corner == 2) {
        double h = (top - ny) + height;
        top = ny;
        if (h < minh) {
            top -= minh - h;
            h = minh;
        } else if (h > maxh) {
            top += h - maxh;
            h = maxh;
        }
        height = h;
    } else if (drag_corner == 3 || drag_corner == 4) {
        height = Bound(ny - top, minh, maxh);
    }
    if (drag_corner == 1 || drag_corner == 4) {
        double w = (left - nx) + width;
        left = nx;
        if (w < minw) {
            left -= minw - w;
            w = minw;
        } else if (w > maxw) {
            left += w - maxw;
            w = maxw;
        }
        width = w;
    } else if (drag_corner == 2 || drag_corner == 3) {
        width = Bound(nx - left, minw, maxw);
    }
    // The window's "BuilderGrid" snaps the moved points, when it is a grid
    // view; anything else stored under that name is ignored.
    ZuObjectRef grid_object;
    ZuGridViewRef grid;
    if (window.IsValid() && window->GetAttribute("BuilderGrid", grid_object, 0) &&
        grid_object.IsValid() && grid_object->IsKindOf(ZuGridViewRef::RetRuntime()))
        grid = ZuGridViewRef(grid_object);
    if (drag_corner == 0) {
        if (grid.IsValid())
            grid->AlignOnGrid(nx, ny);
        SetOrigin(nx, ny);
        view->SetOrigin(nx, ny);
    } else {
        if (grid.IsValid()) {
            double right = left + width, bottom = top + height;
            grid->AlignOnGrid(left, top);
            grid->AlignOnGrid(right, bottom);
            width = std::max(right - left, minw);
            height = std::max(bottom - top, minh);
        }
        SetOrigin(left, top);
        SetSize(width, height);
        view->SetOrigin(left, top);
        view->SetSize(width, height);
    }
    if (window.IsValid()) {
        ZuRect both = old_box;
        both += RetBox();
        window->Redraw(both, false);
    }
    ZuAdornerRef adorner = RetAdorner();
    if (adorner.IsValid())
        adorner->Flush(ZU_FLUSH_SYNC);
}

void ZuSelView::ButtonRelease(const ZuEventRef& event)
{
    const ZuViewState& st = RetState();
    if (!st.TestBit(ZU_VIEW_IS_ENABLED) || !st.TestBit(ZU_VIEW_IS_CLICKED) ||
        event->RetChange() != ZU_EV_BUTTON_LEFT)
        return;
    if (RetWindow().IsValid())
        RetWindow()->SetDraggingView(ZuViewNull);
    ActionOff();
}

void ZuSelView::KeyDown(const ZuEventRef& event)
{
    switch (event->RetKey().type) {
    case ZU_KEY_DELETE:
    case ZU_KEY_BACKSPACE:
        NotifySelectBuilder(ZuAtomRef("NotifyDeleteSelection"));
        break;
    case ZU_KEY_RETURN:
        NotifySelectBuilder(ZuAtomRef("NotifyInspectSelection"));
        break;
    default:
        ZuControl::KeyDown(event);
        break;
    }
}

void ZuSelView::DrawFront(const ZuGrailPortRef& port, const ZuRect& rect)
{
    ZuControl::DrawFront(port, rect);
    if (port.IsInvalid())
        return;
    ZuAdornerRef adorner = port->RetAdorner();
    if (adorner.IsInvalid())
        return;
    const ZuRect& b = RetBox();
    if (b.IsEmpty())
        return;
    adorner->SetForeColor(RetState().TestBit(ZU_VIEW_IS_ACTIVE) ? ZU_COLOR_UI_SEL_ACTIVE
                                                                : ZU_COLOR_UI_SELECT);
    port->DrawRect(b, 0);
    port->FillRect(b.X1(), b.Y1(), b.X1() + 4, b.Y1() + 4);
    port->FillRect(b.X2() - 4, b.Y1(), b.X2(), b.Y1() + 4);
    port->FillRect(b.X1(), b.Y2() - 4, b.X1() + 4, b.Y2());
    port->FillRect(b.X2() - 4, b.Y2() - 4, b.X2(), b.Y2());
}

void ZuSelView::StoreInstance(const ZuStorageRef& s)
{
    ZuControl::StoreInstance(s);
    s << SelViewRecord() << ZuStorageSync::begin;
    s->StoreObject(view);
    s->StoreObject(object);
    s << ZuStorageSync::end;
}

void ZuSelView::RestoreInstance(const ZuStorageRef& s)
{
    ZuControl::RestoreInstance(s);
    s >> ZuStorageSync::type >> ZuStorageSync::begin;
    ZuObjectRef v;
    s->RestoreObject(v, ZuViewRef::RetRuntime());
    view = v.IsValid() && v->IsKindOf(ZuViewRef::RetRuntime()) ? ZuViewRef(v) : ZuViewNull;
    s->RestoreObject(object, ZuObjectRef::RetRuntime());
    s >> ZuStorageSync::end;
}
