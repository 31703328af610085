#include "si/window.h"

#include "si/app.h"
#include "si/classfactory.h"
#include "si/adorner.h"
#include "si/error.h"
#include "si/except.h"
#include "si/grailpxm.h"
#include "si/iselframe.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"

#include <vector>

ZU_IMPLEMENT_CLASS(ZuWindow, "si/window", ZU_CLASS_PLAIN)

const Zuvi_Interface ZuiSelectionFrame::interface("ZuiSelectionFrame");
const char* ZuWindow::selection_frame_class = "ZuSelView";

namespace {

// The handle of an object of that class, empty for an object of another
// class (stored data may name any object where a view is expected).
template <class R>
R AsKind(const ZuObjectRef& o)
{
    return o.IsValid() && o->IsKindOf(R::RetRuntime()) ? R(o) : R();
}

ZuStorageSync& WindowRecord()
{
    static ZuStorageSync record(
        "<ZuWindow style title reduced view_collection view_overlays view_entered window_box "
        "frame_box>");
    return record;
}

bool Inside(const ZuRect& box, double x, double y)
{
    return !box.IsEmpty() && box.X1() <= x && x <= box.X2() && box.Y1() <= y && y <= box.Y2();
}

// The event layer hands every window event to the window's dispatch.
void DispatchToWindow(const ZuObjectRef& window, const ZuEventRef& event)
{
    ZuWindowRef w = AsKind<ZuWindowRef>(window);
    if (w.IsValid())
        w->DispatchEvent(event);
}

struct DispatchHook {
    DispatchHook() { ZuEvent::window_dispatch = &DispatchToWindow; }
} dispatch_hook;

ZuHashTableRef NewTable(ZuMemZone* zone)
{
    ZuHashTableRef t = ZuNew<ZuHashTable>(zone);
    return t;
}

} // namespace

ZuWindow::ZuWindow()
{
    style.SetBit(ZU_WINSTYLE_FRAMELESS);
    window = this;
    const ZuAppRef& current = ZuApp::Current();
    if (current.IsValid()) {
        app = current;
        current->InsertWindow(ZuWindowRef(this));
    }
}

void ZuWindow::Awake()
{
    ZuView::Awake();
    ZuWindowRef self(this);
    ZuViewRef c = child_head;
    while (c.IsValid()) {
        c->SetWindow(self);
        ZuViewRef next;
        c->GetNextSibling(next);
        c = next;
    }
}

void ZuWindow::Delete()
{
    // A deleted modal window leaves its parent's list whether or not it was
    // ever opened, so the parent is never blocked by a dead window.
    Close();
    SetModalWindowParent(ZuWindowNull);
    ZuView::Delete();
    ZuAppRef owner = AsKind<ZuAppRef>(app);
    if (owner.IsValid())
        owner->RemoveWindow(ZuWindowRef(this));
    app = ZuObjectRef();
    if (view_collection.IsValid())
        view_collection->RemoveAll();
    if (view_entered.IsValid())
        view_entered->RemoveAll();
    if (view_overlays.IsValid())
        view_overlays->RemoveAll();
    main_responder = ZuViewNull;
    main_responder_enabled = false;
    cursor_view = ZuViewNull;
    SetDraggingView(ZuViewNull);
    port = ZuGrailPortRef();
    window = ZuWindowNull;
}

bool ZuWindow::SetParent(const ZuViewRef&)
{
    return false;
}

// ---------------------------------------------------------------------------
// Tables
// ---------------------------------------------------------------------------

#define ZU_TABLE(T)    \
    if (T.IsInvalid()) \
        T = NewTable(RetMemZone());

void ZuWindow::NotifyInsertView(const ZuViewRef& v)
{
    ZU_TABLE(view_collection)
    if (!view_collection->LookFor(v))
        view_collection->Insert(v);
}

void ZuWindow::NotifyRemoveView(const ZuViewRef& v)
{
    if (view_collection.IsValid())
        view_collection->Remove(v, 0);
    if (view_overlays.IsValid())
        view_overlays->Remove(v, 0);
    if (view_entered.IsValid())
        view_entered->Remove(v, 0);
    if (key_alternatives.IsValid())
        key_alternatives->Remove(v, 0);
    if (cursor_view == v)
        cursor_view = ZuViewNull;
    if (dragging_view == v)
        SetDraggingView(ZuViewNull);
    if (main_responder == v) {
        main_responder->ResignMain();
        main_responder = ZuViewNull;
    }
}

void ZuWindow::NotifyReparentView(const ZuViewRef&)
{
    partitions_valid = false;
}

void ZuWindow::NoLongerActive(const ZuViewRef& v)
{
    if (v.IsInvalid())
        return;
    ZuViewRef next = v->RetNextActive();
    if (next.IsInvalid())
        next = v->RetPrevActive();
    if (next.IsInvalid())
        next = v->RetParent();
    if (next.IsValid() && next->RetWindow().Resolve() != this)
        next = ZuViewNull;
    if (main_responder == v) {
        v->ResignMain();
        main_responder = next;
        if (next.IsValid())
            next->BecomeMain(false);
    }
}

void ZuWindow::NotifyInsertKeyAlt(const ZuViewRef& c)
{
    ZU_TABLE(key_alternatives)
    if (!key_alternatives->LookFor(c))
        key_alternatives->Insert(c);
}
void ZuWindow::NotifyRemoveKeyAlt(const ZuViewRef& c)
{
    if (key_alternatives.IsValid())
        key_alternatives->Remove(c, 0);
}
void ZuWindow::NotifyInsertOverlay(const ZuViewRef& v)
{
    ZU_TABLE(view_overlays)
    if (!view_overlays->LookFor(v))
        view_overlays->Insert(v);
}
void ZuWindow::NotifyRemoveOverlay(const ZuViewRef& v)
{
    if (view_overlays.IsValid())
        view_overlays->Remove(v, 0);
}
void ZuWindow::NotifyInsertEntered(const ZuViewRef& v)
{
    ZU_TABLE(view_entered)
    if (v.Resolve() != this && !view_entered->LookFor(v))
        view_entered->Insert(v);
}
void ZuWindow::NotifyRemoveEntered(const ZuViewRef& v)
{
    if (view_entered.IsValid())
        view_entered->Remove(v, 0);
}

void ZuWindow::NotifyInsertModalWindow(const ZuWindowRef& w)
{
    if (w.IsInvalid())
        return;
    if (modal_windows.IsInvalid())
        modal_windows = ZuNew<ZuList>(RetMemZone());
    modal_windows->Remove(w, 0);
    modal_windows->PushHead(w);
}
void ZuWindow::NotifyRemoveModalWindow(const ZuWindowRef& w)
{
    if (modal_windows.IsValid())
        modal_windows->Remove(w, 0);
}
bool ZuWindow::HasModalWindow() const
{
    return modal_windows.IsValid() && modal_windows->TotalCount() != 0;
}

// ---------------------------------------------------------------------------
// Style and showing
// ---------------------------------------------------------------------------

bool ZuWindow::SetStyle(const ZuWinStyle& s)
{
    style = s;
    return true;
}
const ZuWinStyle& ZuWindow::RetStyle() const
{
    return style;
}
bool ZuWindow::ChangeStyle(const ZuWinStyle& set, bool on)
{
    ZuWinStyle s = style;
    s.Change(set, on);
    return SetStyle(s);
}
bool ZuWindow::ChangeStyle(ZuWinStyleBit bit, bool on)
{
    ZuWinStyle set;
    set.SetBit(bit);
    return ChangeStyle(set, on);
}
bool ZuWindow::SetTitle(const ZuStringRef& t)
{
    title = t;
    return true;
}
const ZuStringRef& ZuWindow::RetTitle() const
{
    return title;
}
bool ZuWindow::SetFrameGeometry(const ZuRect& r)
{
    frame_box = r;
    return true;
}
const ZuRect& ZuWindow::RetFrameGeometry() const
{
    return frame_box;
}
bool ZuWindow::IsVisible() const
{
    return visible;
}

void ZuWindow::SysChangedActive(bool active)
{
    // A window blocked by modal windows hands the activation on to the one
    // that was active last.
    ZuAppRef owner = AsKind<ZuAppRef>(app);
    if (!active) {
        if (owner.IsValid())
            owner->NotifyActiveWindow(ZuWindowNull);
        return;
    }
    if (HasModalWindow()) {
        ZuObjectRef first;
        modal_windows->Get(0, first);
        ZuWindowRef modal = AsKind<ZuWindowRef>(first);
        if (modal.IsValid()) {
            if (owner.IsValid())
                owner->NotifyActiveWindow(modal);
            modal->visible = true;
            modal->SysChangedActive(true);
        }
        return;
    }
    if (owner.IsValid())
        owner->NotifyActiveWindow(ZuWindowRef(this));
}

// ---------------------------------------------------------------------------
// Responders
// ---------------------------------------------------------------------------

bool ZuWindow::SetMainResponder(const ZuResponderRef& responder, bool flag)
{
    ZuResponderRef r = responder;
    ZuViewRef choice;
    // The climb is bounded by the depth of the chain; a chain that loops
    // back on itself ends the search.
    for (unsigned steps = 0; r.IsValid() && choice.IsInvalid() && steps < 100000; ++steps) {
        if (r->WouldAcceptMain()) {
            r->GetView(choice);
            if (choice.IsValid())
                break;
        }
        ZuViewRef v;
        if (r->GetView(v)) {
            for (ZuViewRef a = v->RetFirstActive(); a.IsValid(); a = a->RetFirstActive()) {
                if (a->WouldAcceptMain()) {
                    choice = a;
                    break;
                }
                if (a->RetActiveList().IsInvalid())
                    break;
            }
        }
        if (choice.IsValid())
            break;
        ZuResponderRef next;
        r->GetNextResponder(next);
        r = next;
    }
    if (choice.IsInvalid())
        return false;
    if (choice != main_responder) {
        if (main_responder.IsValid())
            main_responder->ResignMain();
        main_responder = choice;
        main_responder_enabled = true;
        choice->BecomeMain(flag);
    }
    return true;
}

bool ZuWindow::GetMainResponder(ZuViewRef& out) const
{
    out = main_responder;
    return out.IsValid();
}

bool ZuWindow::GetActiveView(ZuViewRef& out) const
{
    return GetMainResponder(out);
}

bool ZuWindow::IsMainResponderOk() const
{
    return main_responder_enabled && main_responder.IsValid();
}

void ZuWindow::RemoveMainResponder()
{
    if (main_responder.IsValid()) {
        ZuViewRef old = main_responder;
        main_responder = ZuViewNull;
        old->ResignMain();
    }
}

void ZuWindow::EnableMainResponder()
{
    main_responder_enabled = true;
}
void ZuWindow::DisableMainResponder()
{
    main_responder_enabled = false;
}

bool ZuWindow::GetCursorView(ZuViewRef& out) const
{
    out = cursor_view;
    return out.IsValid();
}

bool ZuWindow::SetDraggingView(const ZuViewRef& v)
{
    if (v.IsValid() && dragging_view.IsValid() && dragging_view != v)
        SetDraggingView(ZuViewNull);
    if (v == dragging_view)
        return true;
    dragging_view = v;
    // The mouse stays with this window while a view drags.
    ZuEvent::GrabWindowEvents(ZuWindowRef(this), v.IsValid());
    return true;
}

ZuAppRef ZuWindow::RetApp() const
{
    return AsKind<ZuAppRef>(app);
}

bool ZuWindow::GetDraggingView(ZuViewRef& out) const
{
    out = dragging_view;
    return out.IsValid();
}

// ---------------------------------------------------------------------------
// Dispatch
// ---------------------------------------------------------------------------

void ZuWindow::DispatchEvent(const ZuEventRef& event)
{
    if (event.IsInvalid())
        return;
    ZuWindowRef self(this); // the window lives through its own dispatch
    if (dragging_view.IsValid()) {
        ZuViewRef d = dragging_view;
        d->DispatchEvent(event);
        // Released through SetDraggingView, so that the grab goes with it.
        if (event->RetButtons().TestNone(ZU_EV_BUTTON_NONE))
            SetDraggingView(ZuViewNull);
        return;
    }
    if (HasModalWindow())
        return;
    if (DispatchKeyAlternatives(event) || DispatchBuildSelection(event))
        return;
    ZuEventType type = event->RetType();
    if (type != ZU_EVENT_MOTION && type != ZU_EVENT_PRESS && type != ZU_EVENT_RELEASE) {
        if (main_responder.IsValid() && main_responder_enabled) {
            if (main_responder.Resolve() != this)
                main_responder->DispatchEvent(event);
        } else {
            ZuResponder::DispatchEvent(event);
        }
        return;
    }
    if (!pointer_inside)
        EnterNotify(event);
    double x = event->RetX(), y = event->RetY();
    ZuViewRef v;
    Detect(x, y, v, false);
    if (v != cursor_view) {
        if (cursor_view.IsValid()) {
            ZuViewRef c = cursor_view, w;
            if (c->Detect(x, y, w, false) && w == v) {
                if (c.Resolve() != this && (view_entered.IsInvalid() || !view_entered->LookFor(c)))
                    ZU_ABORT("Should not happen");
            } else {
                c->LeaveNotify(event);
            }
        }
        if (v.IsValid()) {
            if (v->RetState().TestBit(ZU_VIEW_IS_ENTERED))
                v->SelectCursor();
            else
                v->EnterNotify(event);
        }
        cursor_view = v;
        if (v.IsInvalid())
            SelectCursor();
    }
    if (v.IsValid() && v.Resolve() != this)
        v->DispatchEvent(event);
    else
        ZuResponder::DispatchEvent(event);
}

bool ZuWindow::DispatchKeyAlternatives(const ZuEventRef& event)
{
    if (event->RetType() != ZU_EVENT_KEY_DOWN || key_alternatives.IsInvalid())
        return false;
    // Every control is asked, even after one took the key. The table is
    // read first, since a control that fires may close its dialog and so
    // take controls out of it; those are not asked any more.
    std::vector<ZuObjectRef> controls;
    unsigned n = key_alternatives->TotalCount();
    for (unsigned i = 0; i < n; ++i) {
        ZuObjectRef item;
        if (key_alternatives->Get(i, item) && item.IsValid())
            controls.push_back(item);
    }
    static const ZuAtomRef handle_key_alt("HandleKeyAlt");
    bool taken = false;
    for (const ZuObjectRef& control : controls) {
        if (control.IsInvalid() || key_alternatives.IsInvalid() ||
            !key_alternatives->LookFor(control))
            continue;
        const ZuRuntime* rt = control->RetRuntime().RetRawObject();
        const Zuvi_Target* target = rt != nullptr ? rt->FindObserver(handle_key_alt) : nullptr;
        if (target != nullptr && target->observer_fn(control.Resolve(), event, 0))
            taken = true;
    }
    return taken;
}

namespace {

ZuiSelectionFrame* AsSelectionFrame(const ZuObjectRef& o)
{
    return o.IsValid() ? static_cast<ZuiSelectionFrame*>(
                             o.Resolve()->CastToInterface(&ZuiSelectionFrame::interface))
                       : nullptr;
}

// A new selection frame in the zone, empty when its class is missing or
// is no selection frame.
ZuViewRef NewSelectionFrame(ZuMemZone* zone)
{
    ZuRuntimeRef rt;
    if (ZuWindow::selection_frame_class == nullptr ||
        !ZuClassFactory::GetClass(ZuWindow::selection_frame_class, rt) ||
        !rt->IsKindOf(ZuViewRef::RetRuntime()))
        return ZuViewNull;
    ZuViewRef frame = AsKind<ZuViewRef>(ZuClassFactory::New(rt, zone, __LINE__, ZU_SRC_FILE));
    if (frame.IsValid() && AsSelectionFrame(frame) == nullptr) {
        frame->Delete();
        frame = ZuViewNull;
    }
    return frame;
}

} // namespace

bool ZuWindow::DispatchBuildSelection(const ZuEventRef& event)
{
    ZuAppRef owner = RetApp();
    if (owner.IsInvalid() || !owner->IsBuildEnabled() || event->RetType() != ZU_EVENT_PRESS ||
        !event->RetButtons().TestBit(ZU_EV_BUTTON_LEFT))
        return false;
    const ZuKeyModifiers& modifiers = event->RetKey().modifiers;
    bool shift = modifiers.TestBit(ZU_MOD_SHIFT);
    bool control = modifiers.TestBit(ZU_MOD_CONTROL);
    double x = event->RetX(), y = event->RetY();
    ZuWindowRef self(this);
    if (shift && control) {
        // The innermost view under the pointer that may be edited.
        ZuViewRef v;
        Detect(x, y, v, true);
        while (v.IsValid() && v.Resolve() != this &&
               !v->DragAndDrop(v->RetBox(), self, ZU_DDP_UI_EDIT_CHECK))
            v = v->RetParent();
        if (v.IsInvalid() || v.Resolve() == this)
            return true;
        RemoveMainResponder();
        if (ZuiSelectionFrame* frame = AsSelectionFrame(v)) {
            // A click on a frame ends its selection.
            cursor_view = frame->RetSelectedView();
            frame->EndSelection();
            v->Delete();
        } else {
            ZuViewRef made = NewSelectionFrame(RetMemZone());
            ZuiSelectionFrame* made_frame = AsSelectionFrame(made);
            if (made_frame != nullptr && made_frame->BeginSelection(v)) {
                cursor_view = made;
                SetDraggingView(ZuViewNull);
            } else if (made.IsValid()) {
                made->Delete();
            }
        }
        SetMainResponder(cursor_view, true);
        return true;
    }
    if (event->RetChange() != ZU_EV_BUTTON_LEFT || !(shift || control))
        return false;
    // Control+click begins a connection, Shift+click a menu, on the view
    // under the pointer; a click on a selection frame is the frame's own.
    ZuViewRef v;
    if (!Detect(x, y, v, true))
        v = self;
    if (AsSelectionFrame(v) != nullptr)
        return false;
    ZuObjectRef builder = owner->RetBuilder();
    ZuObject::DefineData(builder, ZuTextRef(ZuAtomRef("selected_object")), ZuObjectRef(v));
    ZuObject::DefineData(builder, ZuTextRef(ZuAtomRef("selected_sel_view")), ZuObjectNull);
    builder->Action(ZuAtomRef(control ? "NotifyConnectionBegin" : "NotifyMenuBegin"), ZuObjectNull,
                    0);
    return true;
}

void ZuWindow::EnterNotify(const ZuEventRef& event)
{
    pointer_inside = true;
    ZuView::EnterNotify(event);
}

void ZuWindow::LeaveNotify(const ZuEventRef& event)
{
    pointer_inside = false;
    if (cursor_view.IsValid()) {
        ZuViewRef c = cursor_view;
        cursor_view = ZuViewNull;
        if (c.Resolve() != this && c != dragging_view)
            c->LeaveNotify(event);
    }
    while (view_entered.IsValid() && view_entered->TotalCount() != 0) {
        ZuObjectRef item;
        view_entered->Get(0, item);
        view_entered->Remove(0u);
        ZuViewRef v = AsKind<ZuViewRef>(item);
        if (v.IsValid() && v.Resolve() != this && v != dragging_view)
            v->LeaveNotify(event);
    }
    ZuView::LeaveNotify(event);
}

bool ZuWindow::Detect(double x, double y, ZuViewRef& out, bool any)
{
    out = ZuViewNull;
    if (cursor_view.IsValid() && cursor_view.Resolve() != this) {
        bool inside = true;
        for (ZuView* a = cursor_view.Resolve(); a != nullptr && a != this;
             a = a->RetParent().Resolve())
            if (!Inside(a->RetBox(), x, y)) {
                inside = false;
                break;
            }
        if (inside)
            cursor_view->Detect(x, y, out, any);
    }
    if (out.IsInvalid())
        ZuView::Detect(x, y, out, any);
    if (out.Resolve() == this)
        out = ZuViewNull;
    return out.IsValid();
}

// ---------------------------------------------------------------------------
// Drawing and delayed display
// ---------------------------------------------------------------------------

const ZuGrailPortRef& ZuWindow::RetGrailPort() const
{
    return port;
}

void ZuWindow::SetGrailPort(const ZuGrailPortRef& p)
{
    port = p;
    partitions_valid = false;
}

void ZuWindow::Draw(const ZuGrailPortRef& p, const ZuRect& rect, ZuDrawOp op)
{
    if (p.IsInvalid())
        return;
    if (!partitions_valid && style.TestBit(ZU_WINSTYLE_PARTITIONED))
        UpdatePartitions();
    ZuView::Draw(p, rect, op);
    ZuRect client(0, 0, box.X2() - box.X1(), box.Y2() - box.Y1());
    DrawOverlays(p, client);
}

void ZuWindow::DrawBack(const ZuGrailPortRef& p, const ZuRect& rect)
{
    ZuView::DrawBack(p, rect);
    ZuAdornerRef adorner = p->RetAdorner();
    if (adorner.IsInvalid())
        return;
    if (!style.TestBit(ZU_WINSTYLE_PARTITIONED))
        adorner->FillRect(
            rect, state.TestBit(ZU_VIEW_IS_DROP_DST) ? ZU_COLOR_VIEW_DROPPING : ZU_COLOR_BACKGROUND,
            0);
    if (!style.TestBit(ZU_WINSTYLE_FRAMELESS))
        adorner->DrawRectHigh(frame_box, 0);
}

void ZuWindow::DrawOverlays(const ZuGrailPortRef& p, const ZuRect& rect)
{
    if (view_overlays.IsValid()) {
        unsigned n = view_overlays->TotalCount();
        for (unsigned i = 0; i < n; ++i) {
            ZuObjectRef item;
            if (view_overlays->Get(i, item)) {
                ZuViewRef v = AsKind<ZuViewRef>(item);
                if (v.IsValid())
                    v->DrawOverlay(p, rect);
            }
        }
    }
    ZuAdornerRef adorner = p->RetAdorner();
    if (adorner.IsValid() && state.TestBit(ZU_VIEW_IS_CONNECT_DST)) {
        adorner->DrawRect(frame_box, ZU_COLOR_VIEW_CONNECT, 0);
        adorner->DrawRect(frame_box, ZU_COLOR_VIEW_CONNECT, 1);
    }
}

void ZuWindow::Display(bool delayed)
{
    ZuView::Display(frame_box, delayed, true);
}

void ZuWindow::Redraw(const ZuRect& rect, bool frame)
{
    if (port.IsInvalid())
        return;
    port->BeginDraw(rect, 0);
    Draw(port, rect, frame ? ZU_DRAW_FRAME_AND_ALL : ZU_DRAW_ALL);
    port->EndDraw();
    const ZuRect& d = delayed_rect;
    if (!d.IsEmpty() && !rect.IsEmpty() && Inside(rect, d.X1(), d.Y1()) &&
        Inside(rect, d.X2(), d.Y2()))
        delayed_rect.MakeEmpty();
}

void ZuWindow::AddDelayedDisplay(const ZuRect& rect, bool frame)
{
    delayed_rect += rect;
    delayed_frame = delayed_frame || frame;
}

bool ZuWindow::RedrawDelayedDisplay()
{
    if (delayed_rect.IsEmpty()) {
        delayed_frame = false;
        return false;
    }
    Redraw(delayed_rect, delayed_frame);
    ResetDelayedDisplay();
    return true;
}

void ZuWindow::ResetDelayedDisplay()
{
    delayed_rect = ZuRect();
    delayed_frame = false;
}

// Callable by name.
ZU_EXPORT_ACTOR(ZuWindow, UpdatePartitions)

bool ZuWindow::UpdatePartitions()
{
    // The surface the window draws into keeps the partitions: the boxes of
    // the direct children, except those that define their own.
    ZuGrailPixmapRef surface = AsKind<ZuGrailPixmapRef>(port);
    if (surface.IsInvalid())
        return false;
    surface->RemovePartitions();
    ZuViewRef c;
    for (GetFirstChild(c); c.IsValid();) {
        if (!c->RetState().TestBit(ZU_VIEW_NO_PARTITION))
            surface->AddPartition(c->RetBox(), ZuObjectNull);
        else
            c->DefinePartition(surface);
        ZuViewRef next;
        c->GetNextSibling(next);
        c = next;
    }
    partitions_valid = true;
    return true;
}

// ---------------------------------------------------------------------------
// Storage
// ---------------------------------------------------------------------------

void ZuWindow::StoreInstance(const ZuStorageRef& s)
{
    ZuView::StoreInstance(s);
    s << WindowRecord() << ZuStorageSync::begin;
    s << style;
    s->StoreObject(title);
    s->StoreObject(reduced_view);
    s->StoreObject(view_collection);
    s->StoreObject(view_overlays);
    s->StoreObject(view_entered);
    s << window_box << frame_box;
    s << ZuStorageSync::end;
}

void ZuWindow::RestoreInstance(const ZuStorageRef& s)
{
    ZuView::RestoreInstance(s);
    s >> ZuStorageSync::type >> ZuStorageSync::begin;
    s >> style;
    ZuObjectRef text, reduced, tables[3];
    s->RestoreObject(text, ZuStringRef::RetRuntime());
    s->RestoreObject(reduced, ZuViewRef::RetRuntime());
    for (ZuObjectRef& t : tables)
        s->RestoreObject(t, ZuHashTableRef::RetRuntime());
    s >> window_box >> frame_box;
    s >> ZuStorageSync::end;
    title = AsKind<ZuStringRef>(text);
    reduced_view = AsKind<ZuViewRef>(reduced);
    // The tables are rebuilt from the tree itself: the views of the stored
    // tables are outside data and need not be views of this window. The
    // collection was filled as the children were attached; the pointer and
    // overlay tables start empty.
    for (ZuObjectRef& t : tables)
        if (t.IsValid() && t != view_collection)
            t->Delete();
}

// ---------------------------------------------------------------------------
// Showing
// ---------------------------------------------------------------------------

bool ZuWindow::IsReduced() const
{
    return reduced;
}

// Activation belongs to the screen window; a window without one is never
// active.
bool ZuWindow::IsActive() const
{
    return false;
}

bool ZuWindow::IsModal() const
{
    return modal_parent.IsValid();
}

bool ZuWindow::SetModalWindowParent(const ZuWindowRef& p)
{
    if (p == modal_parent)
        return true;
    ZuWindowRef self(this);
    if (modal_parent.IsValid())
        modal_parent->NotifyRemoveModalWindow(self);
    modal_parent = p;
    if (p.IsValid())
        p->NotifyInsertModalWindow(self);
    return true;
}

bool ZuWindow::GetModalWindowParent(ZuWindowRef& out) const
{
    out = modal_parent;
    return out.IsValid();
}

void ZuWindow::NotifyMainWindow(bool main)
{
    ChangeStyle(ZU_WINSTYLE_MAIN, main);
}

// Without a screen window there is nothing on the screen to take away.
void ZuWindow::Hide() {}

void ZuWindow::Close()
{
    if (modal_parent.IsValid())
        SetModalWindowParent(ZuWindowNull);
    if (visible)
        Hide();
    open = false;
    visible = false;
    reduced = false;
}
