#include "si/window.h"

#include "sd/win32/sd_event.h"
#include "si/adorner.h"
#include "si/app.h"
#include "si/classfactory.h"
#include "si/error.h"
#include "si/except.h"
#include "si/grailpxm.h"
#include "si/iselframe.h"
#include "si/memzone.h"
#include "si/pubdata.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"
#include "si/values.h"

#include <vector>

ZU_IMPLEMENT_CLASS(ZuWindow, "si/window", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(ZuWindow, ZuiTitleWidget)
ZU_BITSET_REGISTER(ZuWinStyle)

ZuAtomRef ZuWindow::notify_window_opened;
ZuAtomRef ZuWindow::notify_window_closed;
ZuAtomRef ZuWindow::notify_window_activated;
ZuAtomRef ZuWindow::notify_window_deactivated;
ZuAtomRef ZuWindow::notify_window_shown;
ZuAtomRef ZuWindow::notify_window_hidden;
ZuAtomRef ZuWindow::notify_window_reduced;
ZuAtomRef ZuWindow::notify_window_restored;
ZuAtomRef ZuWindow::notify_window_dragged;
ZuAtomRef ZuWindow::notify_window_resized;
Zuvi_WindowMoveCalls ZuWindow::move_calls;
ZU_EXPORT_NOTIFY(ZuWindow, opened, "notify_window_opened", &ZuWindow::notify_window_opened)
ZU_EXPORT_NOTIFY(ZuWindow, closed, "notify_window_closed", &ZuWindow::notify_window_closed)
ZU_EXPORT_NOTIFY(ZuWindow, activated, "notify_window_activated", &ZuWindow::notify_window_activated)
ZU_EXPORT_NOTIFY(ZuWindow, deactivated, "notify_window_deactivated",
                 &ZuWindow::notify_window_deactivated)
ZU_EXPORT_NOTIFY(ZuWindow, shown, "notify_window_shown", &ZuWindow::notify_window_shown)
ZU_EXPORT_NOTIFY(ZuWindow, hidden, "notify_window_hidden", &ZuWindow::notify_window_hidden)
ZU_EXPORT_NOTIFY(ZuWindow, reduced, "notify_window_reduced", &ZuWindow::notify_window_reduced)
ZU_EXPORT_NOTIFY(ZuWindow, restored, "notify_window_restored", &ZuWindow::notify_window_restored)
ZU_EXPORT_NOTIFY(ZuWindow, dragged, "notify_window_dragged", &ZuWindow::notify_window_dragged)
ZU_EXPORT_NOTIFY(ZuWindow, resized, "notify_window_resized", &ZuWindow::notify_window_resized)

// The operations callable by name: no argument, true. Their names are also
// among the class's notifications.
#define ZU_WINDOW_ACTOR(METHOD)                          \
    static Zuvi_TargetExport zuvi_window_actor_##METHOD( \
        [](ZuObject* o) -> bool {                        \
            static_cast<ZuWindow*>(o)->METHOD();         \
            return true;                                 \
        },                                               \
        #METHOD, ZuWindowRef::RetRuntime());             \
    ZU_EXPORT_NOTIFY(ZuWindow, METHOD, #METHOD, nullptr)
ZU_WINDOW_ACTOR(ShowNormal)
ZU_WINDOW_ACTOR(ShowReduced)
ZU_WINDOW_ACTOR(Hide)
ZU_WINDOW_ACTOR(Close)
ZU_WINDOW_ACTOR(Kill)
ZU_WINDOW_ACTOR(UpdatePartitions)
#undef ZU_WINDOW_ACTOR

ZuWinStyle Zuvi_ValueToZuWinStyle(const ZuValueRef& value)
{
    ZuWinStyle set;
    set.SetBits(Zuvi_ValueToCard64(value));
    return set;
}

ZuWindowRef Zuvi_ValueToZuWindow(const ZuValueRef& value)
{
    if (value.IsInvalid())
        return ZuWindowRef();
    ZuObjectRef object = value->RetObject();
    if (object.IsValid() && object->IsKindOf(ZuWindowRef::RetRuntime()))
        return ZuWindowRef(object);
    return ZuWindowRef();
}

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

// Published data: the title, the reduced view and the style.
ZuWindow* AsWindow(ZuObject* o)
{
    return static_cast<ZuWindow*>(o);
}
void GetTitleDatum(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(ZuObjectRef(AsWindow(o)->RetTitle()));
}
bool SetTitleDatum(const ZuValueRef& value, ZuObject* o)
{
    return AsWindow(o)->SetTitle(Zuvi_ValueToZuString(value));
}
void GetReducedViewDatum(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(ZuObjectRef(AsWindow(o)->RetReducedView()));
}
bool SetReducedViewDatum(const ZuValueRef& value, ZuObject* o)
{
    ZuObjectRef object = value.IsValid() ? value->RetObject() : ZuObjectRef();
    return AsWindow(o)->SetReducedView(AsKind<ZuViewRef>(object));
}
void GetStyleDatum(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(static_cast<const ZuBitset&>(AsWindow(o)->RetStyle()));
}
bool SetStyleDatum(const ZuValueRef& value, ZuObject* o)
{
    return AsWindow(o)->SetStyle(Zuvi_ValueToZuWinStyle(value));
}

void DeclareWindowData(ZuRuntime* runtime)
{
    static Zuvi_PubDataDef items[] = {
        {&ZuWindowRef::RetRuntime(), "title", "Window title", &ZuString_type, true, true,
         &GetTitleDatum, &SetTitleDatum},
        {&ZuWindowRef::RetRuntime(), "reduced_view", "Reduced view", &ZuView_type, true, true,
         &GetReducedViewDatum, &SetReducedViewDatum},
        {&ZuWindowRef::RetRuntime(), "style", "Window style", &ZuWinStyle_type, true, true,
         &GetStyleDatum, &SetStyleDatum},
    };
    for (Zuvi_PubDataDef& item : items)
        runtime->PublishData(item);
}

Zuvi_PubDataExport window_data(&DeclareWindowData, ZuWindowRef::RetRuntime());

// What the screen window and the event layer ask of windows.
ZuGrailWindow* ScreenWindowOf(const ZuObjectRef& window)
{
    ZuWindowRef w = AsKind<ZuWindowRef>(window);
    return w.IsValid() ? w->RetScreenWindow().Resolve() : nullptr;
}

// The owner of a platform window: the application's main window, replaced
// by the window parent, then by the modal parent, when there is one.
ZuGrailWindow* OwnerOf(const ZuObjectRef& window)
{
    ZuWindowRef w = AsKind<ZuWindowRef>(window);
    if (w.IsInvalid())
        return nullptr;
    ZuGrailWindow* owner = ZuGrailWindow::g_window_main.Resolve();
    ZuWindowRef parent;
    if (w->GetWindowParent(parent))
        owner = parent->RetScreenWindow().Resolve();
    if (w->GetModalWindowParent(parent))
        owner = parent->RetScreenWindow().Resolve();
    return owner;
}

ZuObjectRef WindowOfPort(ZuGrailWindow* port)
{
    return port != nullptr ? port->RetWindow() : ZuObjectRef();
}

void SystemClosed(const ZuObjectRef& window)
{
    ZuWindowRef w = AsKind<ZuWindowRef>(window);
    if (w.IsValid())
        w->SysChangedOpen(false);
}

void LeaveWindow(const ZuObjectRef& window, const ZuEventRef& event)
{
    ZuWindowRef w = AsKind<ZuWindowRef>(window);
    if (w.IsValid())
        w->LeaveNotify(event);
}

void ChangedOpen(const ZuObjectRef& window, bool value)
{
    ZuWindowRef w = AsKind<ZuWindowRef>(window);
    if (w.IsValid())
        w->SysChangedOpen(value);
}

void ChangedVisible(const ZuObjectRef& window, bool value)
{
    ZuWindowRef w = AsKind<ZuWindowRef>(window);
    if (w.IsValid())
        w->SysChangedVisible(value);
}

void ChangedReduced(const ZuObjectRef& window, bool value)
{
    ZuWindowRef w = AsKind<ZuWindowRef>(window);
    if (w.IsValid())
        w->SysChangedReduced(value);
}

// The screen window reports the whole platform window; the window box is
// the client area inside the frame of the window's style, so the frame is
// taken off first (otherwise every resize by the user would grow the
// client by the frame).
void ChangedGeometry(const ZuObjectRef& window, const ZuRect& frame)
{
    ZuWindowRef w = AsKind<ZuWindowRef>(window);
    if (w.IsInvalid() || frame.IsEmpty())
        return;
    int left = 0, top = 0, right = 0, bottom = 0;
    ZuGrailWindow::GetFrameSize(w->RetStyle(), left, top, right, bottom);
    ZuRect client(frame.X1() + left, frame.Y1() + top, frame.X2() - right, frame.Y2() - bottom);
    if (!client.IsEmpty())
        w->UserChangedWindowGeometry(client);
}

struct WindowLinks {
    WindowLinks()
    {
        Zuvi_grail_window_links.owner_of = &OwnerOf;
        Zuvi_grail_window_links.changed_open = &ChangedOpen;
        Zuvi_grail_window_links.changed_visible = &ChangedVisible;
        Zuvi_grail_window_links.changed_reduced = &ChangedReduced;
        Zuvi_grail_window_links.changed_geometry = &ChangedGeometry;
        Zuvi_event_links.window_of_port = &WindowOfPort;
        Zuvi_event_links.port_of_window = &ScreenWindowOf;
        Zuvi_event_links.system_closed = &SystemClosed;
        Zuvi_event_links.leave = &LeaveWindow;
    }
} window_links;

} // namespace

ZuWindow::ZuWindow()
{
    style.SetBit(ZU_WINSTYLE_FRAMELESS);
    title = ZuStringRef("");
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
    AwakeMyself();
}

void ZuWindow::AwakeFromApp(const ZuAppRef& a)
{
    app = a;
    ZuView::AwakeFromApp(a);
}

void ZuWindow::AwakeMyself()
{
    ZuWindowRef self(this);
    ZuViewRef c = child_head;
    while (c.IsValid()) {
        c->SetWindow(self);
        ZuViewRef next;
        c->GetNextSibling(next);
        c = next;
    }
    UpdateWindowVisibility();
}

void ZuWindow::Delete()
{
    if (visible)
        Hide();
    if (open)
        Close();
    // A deleted modal window leaves its parent's list whether or not it was
    // ever opened, so the parent is never blocked by a dead window.
    SetModalWindowParent(ZuWindowNull);
    ZuView::Delete();
    // A bar or sizer that the style took off the frame is no child any more
    // and goes here.
    if (window_bar.IsValid()) {
        ZuWindowBarRef bar = window_bar;
        window_bar = ZuWindowBarRef();
        bar->Delete();
    }
    if (window_sizer.IsValid()) {
        ZuWindowSizerRef sizer = window_sizer;
        window_sizer = ZuWindowSizerRef();
        sizer->Delete();
    }
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
    window_parent = ZuWindowNull;
    slot = ZuDataSlotRef();
    port = ZuGrailPortRef();
    window = ZuWindowNull;
}

namespace {
// Deletes the subtree under v, deepest views first.
void KillChildren(const ZuViewRef& v)
{
    ZuViewRef child;
    while (v->GetFirstChild(child)) {
        KillChildren(child);
        child->SetParent(ZuViewNull);
        child->Delete();
        // A child that will not leave ends the walk rather than looping.
        ZuViewRef first;
        if (v->GetFirstChild(first) && first == child)
            break;
    }
}
} // namespace

void ZuWindow::Kill()
{
    ZuWindowRef self(this);
    if (open)
        Close();
    KillChildren(self);
    Delete();
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
    // A control that leaves while it holds a click can no longer end the
    // click here, where it held the keys back from the main responder:
    // they go to the main responder again.
    if (v.IsValid() && v->RetState().TestBit(ZU_VIEW_IS_CLICKED))
        main_responder_enabled = true;
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
    if (modal_windows.IsInvalid())
        return;
    modal_windows->Remove(w, 0);
    if (modal_windows->TotalCount() == 0) {
        ZuListRef gone = modal_windows;
        modal_windows = ZuListRef();
        gone->Delete();
    }
}
void ZuWindow::NotifyActiveModalWindow(const ZuWindowRef& w)
{
    if (modal_windows.IsValid())
        modal_windows->MoveToHead(w);
}
bool ZuWindow::GetModalWindow(ZuWindowRef& out, unsigned index) const
{
    out = ZuWindowNull;
    ZuObjectRef item;
    if (modal_windows.IsInvalid() || !modal_windows->Get(index, item))
        return false;
    out = AsKind<ZuWindowRef>(item);
    return out.IsValid();
}
bool ZuWindow::GetModalWindowList(ZuListRef& out) const
{
    out = modal_windows;
    return out.IsValid();
}
bool ZuWindow::HasModalWindow() const
{
    return modal_windows.IsValid() && modal_windows->TotalCount() != 0;
}

// ---------------------------------------------------------------------------
// Geometry
// ---------------------------------------------------------------------------

void ZuWindow::NotifyGeometryChange(const ZuRect& old)
{
    if (old.X1() != 0)
        ZU_ABORT("Failed assertion: old_box.X1 () == 0");
    if (old.Y1() != 0)
        ZU_ABORT("Failed assertion: old_box.Y1 () == 0");
    if (box.X1() != 0)
        ZU_ABORT("Failed assertion: this->box.X1 () == 0");
    if (box.Y1() != 0)
        ZU_ABORT("Failed assertion: this->box.Y1 () == 0");
    double w = box.DX(), h = box.DY();
    window_box.SetSize(w, h);
    if (screen_window.IsValid())
        screen_window->SetSize(w, h);
    partitions_valid = false;
    UpdateWindowFrame();
    UpdateWindowBar();
    UpdateWindowSizer();
    ZuView::NotifyGeometryChange(old);
    Display(true);
}

void ZuWindow::SetWindowOrigin(double x, double y)
{
    if (x == window_box.X1() && y == window_box.Y1())
        return;
    window_box.SetOrigin(x, y);
    if (screen_window.IsValid())
        screen_window->SetOrigin(x, y);
    if (move_calls.moved != nullptr)
        move_calls.moved(ZuWindowRef(this));
}

void ZuWindow::GetWindowOrigin(double& x, double& y) const
{
    x = window_box.X1();
    y = window_box.Y1();
}

void ZuWindow::SetWindowBox(const ZuRect& rect)
{
    UserChangedWindowGeometry(rect);
}

void ZuWindow::GetWindowBox(ZuRect& out) const
{
    out = window_box;
}

const ZuRect& ZuWindow::RetWindowBox() const
{
    return window_box;
}

void ZuWindow::UserChangedWindowGeometry(const ZuRect& rect)
{
    if (rect.X1() != window_box.X1() || rect.Y1() != window_box.Y1())
        SetWindowOrigin(rect.X1(), rect.Y1());
    if (rect.DX() != box.DX() || rect.DY() != box.DY())
        SetSize(rect.DX(), rect.DY());
}

bool ZuWindow::SetFrameGeometry(const ZuRect& r)
{
    if (!(r.X1() <= 0))
        ZU_ABORT("Failed assertion: box.X1 () <= 0");
    if (!(r.Y1() <= 0))
        ZU_ABORT("Failed assertion: box.Y1 () <= 0");
    if (!(r.X2() >= box.X2()))
        ZU_ABORT("Failed assertion: box.X2 () >= this->box.X2 ()");
    if (!(r.Y2() >= box.Y2()))
        ZU_ABORT("Failed assertion: box.Y2 () >= this->box.Y2 ()");
    frame_box = r;
    if (screen_window.IsValid())
        screen_window->SetFrameGeometry(r);
    return true;
}

void ZuWindow::GetFrameGeometry(ZuRect& out) const
{
    out = frame_box;
}

const ZuRect& ZuWindow::RetFrameGeometry() const
{
    return frame_box;
}

void ZuWindow::GetFrameOffset(double& dx, double& dy) const
{
    int left = 0, top = 0, right = 0, bottom = 0;
    ZuGrailWindow::GetFrameSize(style, left, top, right, bottom);
    dx = left;
    dy = top;
}

void ZuWindow::GetFrameOverhead(double& dx, double& dy) const
{
    int left = 0, top = 0, right = 0, bottom = 0;
    ZuGrailWindow::GetFrameSize(style, left, top, right, bottom);
    dx = left + right;
    dy = top + bottom;
}

void ZuWindow::UpdateWindowFrame()
{
    int left = 0, top = 0, right = 0, bottom = 0;
    ZuGrailWindow::GetFrameSize(style, left, top, right, bottom);
    double w = box.DX(), h = box.DY();
    if (w + left + right == 0 || h + top + bottom == 0)
        frame_box.MakeEmpty();
    else
        frame_box = ZuRect(-left, -top, w + right - 1, h + bottom - 1);
    if (screen_window.IsValid())
        screen_window->SetFrameGeometry(frame_box);
}

namespace {

// The child of that class, if the window has one: a stored window brings
// its bar and sizer back among its children.
template <class R>
R FindFrameChild(const ZuView* window)
{
    ZuViewRef c;
    for (window->GetFirstChild(c); c.IsValid();) {
        if (c->IsKindOf(R::RetRuntime()))
            return R(c);
        ZuViewRef next;
        c->GetNextSibling(next);
        c = next;
    }
    return R();
}

} // namespace

void ZuWindow::UpdateWindowBar()
{
    bool wanted = !style.TestBit(ZU_WINSTYLE_FRAMELESS) && !style.TestBit(ZU_WINSTYLE_NO_BAR);
    if (!wanted) {
        if (window_bar.IsValid())
            window_bar->SetParent(ZuViewNull);
        return;
    }
    if (window_bar.IsInvalid())
        window_bar = FindFrameChild<ZuWindowBarRef>(this);
    if (window_bar.IsInvalid())
        window_bar = ZuNew<ZuWindowBar>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
    ZuWinBarButton buttons;
    if (style.TestBit(ZU_WINSTYLE_CLOSE_BUTTON))
        buttons.SetBit(ZU_WINBAR_BUTTON_CLOSE);
    if (style.TestBit(ZU_WINSTYLE_REDUCE_BUTTON))
        buttons.SetBit(ZU_WINBAR_BUTTON_REDUCE);
    buttons.SetBit(style.TestBit(ZU_WINSTYLE_TOOL) ? ZU_WINBAR_MODE_APP_ACTIVE
                                                   : ZU_WINBAR_MODE_LARGE);
    window_bar->Initialise(title, ZuWindowRef(this), buttons, ZU_WINBAR_LAYOUT_DEFAULT);
}

void ZuWindow::UpdateWindowSizer()
{
    bool wanted = !style.TestBit(ZU_WINSTYLE_FRAMELESS) && style.TestBit(ZU_WINSTYLE_SIZABLE);
    if (!wanted) {
        if (window_sizer.IsValid())
            window_sizer->SetParent(ZuViewNull);
        return;
    }
    if (window_sizer.IsInvalid())
        window_sizer = FindFrameChild<ZuWindowSizerRef>(this);
    if (window_sizer.IsInvalid())
        window_sizer = ZuNew<ZuWindowSizer>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
    window_sizer->Initialise(ZuWindowRef(this), ZU_WINSIZER_FRAME);
}

// ---------------------------------------------------------------------------
// Geometry in one call, style and title
// ---------------------------------------------------------------------------

bool ZuWindow::InitGeom(double x, double y, double dx, double dy)
{
    SetWindowOrigin(x, y);
    SetSize(dx, dy);
    return true;
}

bool ZuWindow::InitGeom(double x, double y, double dx, double dy, const ZuStringRef& t)
{
    InitGeom(x, y, dx, dy);
    SetTitle(t);
    return true;
}

bool ZuWindow::InitGeom(double, double, double, double, const ZuStringRef&, const ZuViewRef&)
{
    ZU_ABORT("Cannot set a window's parent");
}

bool ZuWindow::InitGeom(double x, double y, double dx, double dy, const ZuStringRef& t,
                        const ZuWinStyle& s)
{
    InitGeom(x, y, dx, dy, t);
    SetStyle(s);
    return true;
}

bool ZuWindow::SetStyle(const ZuWinStyle& s)
{
    if (s == style)
        return true;
    style = s;
    UpdateWindowFrame();
    UpdateWindowBar();
    UpdateWindowSizer();
    if (open) {
        // The platform window's frame and kind come from the style: a new
        // one replaces it, shown as the old one was. A modal window stays
        // modal for its parent meanwhile.
        bool was_visible = visible, was_reduced = reduced;
        CloseScreenWindow();
        Open();
        Display(true);
        visible = was_visible;
        reduced = was_reduced;
        UpdateWindowVisibility();
    }
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
    title = t.IsValid() ? t : ZuStringRef("");
    if (screen_window.IsValid())
        screen_window->ChangeName(title);
    UpdateWindowBar();
    return true;
}

bool ZuWindow::GetTitle(ZuStringRef& out) const
{
    out = title;
    return out.IsValid();
}

const ZuStringRef& ZuWindow::RetTitle() const
{
    return title;
}

const ZuWindowBarRef& ZuWindow::RetWindowBar() const
{
    return window_bar.IsValid() && window_bar->RetWindow().IsValid() ? window_bar : ZuWindowBarNull;
}

const ZuWindowSizerRef& ZuWindow::RetWindowSizer() const
{
    return window_sizer.IsValid() && window_sizer->RetWindow().IsValid() ? window_sizer
                                                                         : ZuWindowSizerNull;
}

bool ZuWindow::SetReducedView(const ZuViewRef& v)
{
    reduced_view = v;
    return true;
}

bool ZuWindow::GetReducedView(ZuViewRef& out) const
{
    out = reduced_view;
    return out.IsValid();
}

const ZuViewRef& ZuWindow::RetReducedView() const
{
    return reduced_view;
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
    // Looked up at each press: a static handle would outlive the atom table
    // of a library stopped and started again.
    const ZuAtomRef handle_key_alt("HandleKeyAlt");
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
    return screen_window.IsValid() ? screen_window : port;
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
    ZuGrailPortRef p = RetGrailPort();
    if (p.IsInvalid())
        return;
    p->BeginDraw(rect, 0);
    Draw(p, rect, frame ? ZU_DRAW_FRAME_AND_ALL : ZU_DRAW_ALL);
    p->EndDraw();
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
    ZuGrailPixmapRef surface = AsKind<ZuGrailPixmapRef>(RetGrailPort());
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
    // A window's box is its client area from (0, 0); a stored one elsewhere
    // is outside data, brought there so that the next size change (its
    // sizer's, say) does not stop the program.
    if (box.X1() != 0 || box.Y1() != 0)
        box.SetOrigin(0, 0);
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

// An open flag set by the platform (SysChangedOpen) without a screen
// window still makes one, so that the window can be shown afterwards.
void ZuWindow::Open()
{
    if (open && screen_window.IsValid())
        return;
    open = true;
    if (screen_window.IsInvalid()) {
        UpdateWindowFrame();
        ZuGrailWindowRef made = ZuNew<ZuGrailWindow>(RetMemZone());
        screen_window = made;
        made->Initialise(ZuWindowRef(this), style, title, window_box, 0);
        made->SetFrameGeometry(frame_box);
        partitions_valid = false;
    }
}

void ZuWindow::Close()
{
    if (modal_parent.IsValid())
        SetModalWindowParent(ZuWindowNull);
    CloseScreenWindow();
}

// Hiding the platform window makes the platform report it, which can come
// back here; the inner call leaves the screen window to the outer one,
// which is still using it.
void ZuWindow::CloseScreenWindow()
{
    if (closing)
        return;
    closing = true;
    if (visible)
        Hide();
    if (screen_window.IsValid()) {
        ZuGrailWindowRef gone = screen_window;
        screen_window = ZuGrailWindowRef();
        gone->Delete();
    }
    open = false;
    visible = false;
    reduced = false;
    closing = false;
}

void ZuWindow::ShowNormal()
{
    if (!open)
        Open();
    if (screen_window.IsInvalid())
        return;
    visible = true;
    reduced = false;
    Display(false);
    screen_window->Open();
    screen_window->SetAsMainAppWindow(style.TestBit(ZU_WINSTYLE_MAIN));
}

void ZuWindow::ShowCentered(const ZuWindowRef& reference)
{
    ZuRect r;
    if (reference.IsValid())
        r = reference->RetWindowBox();
    else
        ZuGrailWindow::GetDisplayBox(r, 0);
    double w = box.DX(), h = box.DY();
    SetWindowOrigin((r.X1() + r.X2() - w) * 0.5, (r.Y1() + r.Y2() - h) * 0.5);
    ShowNormal();
}

void ZuWindow::ShowReduced()
{
    if (!open)
        Open();
    if (screen_window.IsInvalid() || reduced)
        return;
    visible = true;
    reduced = true;
    screen_window->Reduce();
}

void ZuWindow::Hide()
{
    if (!open || screen_window.IsInvalid() || !visible)
        return;
    visible = false;
    reduced = false;
    screen_window->Close();
}

void ZuWindow::ActivateAsFrontWindow(bool activate)
{
    if (screen_window.IsValid())
        screen_window->ActivateAsFrontWindow(activate);
}

void ZuWindow::UpdateWindowVisibility()
{
    if (!open) {
        Close();
        return;
    }
    Open();
    if (screen_window.IsInvalid())
        return;
    if (!visible) {
        Hide();
    } else if (!reduced) {
        screen_window->Open();
        screen_window->SetAsMainAppWindow(style.TestBit(ZU_WINSTYLE_MAIN));
    } else {
        screen_window->Reduce();
    }
}

void ZuWindow::SysChangedOpen(bool o)
{
    ZuWindowRef self(this); // the window lives through its reports
    if (o || !style.TestBit(ZU_WINSTYLE_PERSISTENT))
        open = o;
    UpdateWindowVisibility();
    Report(o ? notify_window_opened : notify_window_closed, 0);
}

void ZuWindow::SysChangedVisible(bool v)
{
    ZuWindowRef self(this);
    visible = v;
    UpdateWindowVisibility();
    Report(v ? notify_window_shown : notify_window_hidden, 0);
}

void ZuWindow::SysChangedReduced(bool r)
{
    ZuWindowRef self(this);
    reduced = r;
    UpdateWindowVisibility();
    // A screen that could not reduce the window has said so, and reported
    // the window restored, while it was being brought in line.
    if (reduced == r)
        Report(r ? notify_window_reduced : notify_window_restored, 0);
}

void ZuWindow::SysChangedActive(bool active)
{
    ZuWindowRef self(this);
    ZuAppRef owner = AsKind<ZuAppRef>(app);
    if (!active) {
        Report(notify_window_deactivated, 0);
        if (owner.IsValid())
            owner->NotifyActiveWindow(ZuWindowNull);
    } else {
        Report(notify_window_activated, 0);
        // A window blocked by modal windows hands the activation on to the
        // one that was active last.
        ZuWindowRef modal;
        if (GetModalWindow(modal, 0)) {
            if (owner.IsValid())
                owner->NotifyActiveWindow(modal);
            modal->ShowNormal();
            modal->ActivateAsFrontWindow(true);
        } else {
            if (owner.IsValid())
                owner->NotifyActiveWindow(self);
            if (modal_parent.IsValid())
                modal_parent->NotifyActiveModalWindow(self);
        }
    }
    Display(true);
}

bool ZuWindow::IsVisible() const
{
    return visible;
}

bool ZuWindow::IsReduced() const
{
    return reduced;
}

bool ZuWindow::IsActive() const
{
    return screen_window.IsValid() && screen_window->IsActive();
}

bool ZuWindow::IsModal() const
{
    return modal_parent.IsValid();
}

void ZuWindow::NotifyMainWindow(bool main)
{
    ChangeStyle(ZU_WINSTYLE_MAIN, main);
    if (screen_window.IsValid())
        screen_window->SetAsMainAppWindow(main);
}

void ZuWindow::NotifyWindowDragged()
{
    QuickReport(notify_window_dragged, 0);
}

void ZuWindow::NotifyWindowResized()
{
    QuickReport(notify_window_resized, 0);
}

// ---------------------------------------------------------------------------
// Modal windows, the window parent, the application and the slot
// ---------------------------------------------------------------------------

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

const ZuWindowRef& ZuWindow::RetModalWindowParent() const
{
    return modal_parent;
}

bool ZuWindow::SetWindowParent(const ZuWindowRef& p)
{
    window_parent = p;
    return true;
}

bool ZuWindow::GetWindowParent(ZuWindowRef& out) const
{
    out = window_parent;
    return out.IsValid();
}

const ZuWindowRef& ZuWindow::RetWindowParent() const
{
    return window_parent;
}

bool ZuWindow::SetSlot(const ZuDataSlotRef& s)
{
    slot = s;
    return true;
}

bool ZuWindow::GetSlot(ZuDataSlotRef& out) const
{
    out = slot;
    return out.IsValid();
}

const ZuDataSlotRef& ZuWindow::RetSlot() const
{
    return slot;
}
