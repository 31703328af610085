#include "si/dockview.h"

#include "si/adorner.h"
#include "si/classfactory.h"
#include "si/colorpixel.h"
#include "si/event.h"
#include "si/grail.h"
#include "si/memzone.h"
#include "si/pubdata.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"
#include "si/types.h"
#include "si/typeinfo.h"
#include "si/values.h"
#include "si/window.h"

ZU_IMPLEMENT_CLASS(ZuDockView, "si/dockview", ZU_CLASS_PLAIN)
ZU_ENUM_REGISTER(ZuDockHandle)
ZU_ENUM_REGISTER(ZuDockStripe)
ZU_BITSET_REGISTER(ZuDockStyle)

ZuDockStyle Zuvi_ValueToZuDockStyle(const ZuValueRef& value)
{
    ZuDockStyle set;
    set.SetBits(Zuvi_ValueToCard64(value));
    return set;
}

namespace {

ZuAtomRef notify_start_dragging;
ZU_EXPORT_NOTIFY(ZuDockView, start_dragging, "StartDragging", &notify_start_dragging)

ZuDockView* AsDock(ZuObject* o)
{
    return static_cast<ZuDockView*>(o);
}

Zuvi_TargetExport start_dragging_export(
    [](ZuObject* o) -> bool {
        AsDock(o)->StartDragging();
        return true;
    },
    "StartDragging", ZuDockViewRef::RetRuntime());

void GetStyle(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(AsDock(o)->RetStyle().RetBits());
}
bool SetStyle(const ZuValueRef& value, ZuObject* o)
{
    return value.IsValid() && AsDock(o)->SetStyle(Zuvi_ValueToZuDockStyle(value));
}
void GetHandle(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(static_cast<unsigned>(AsDock(o)->RetHandle()));
}
bool SetHandle(const ZuValueRef& value, ZuObject* o)
{
    return value.IsValid() && AsDock(o)->SetHandle(Zuvi_ValueToZuDockHandle(value));
}
void GetStripe(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(static_cast<unsigned>(AsDock(o)->RetStripe()));
}
bool SetStripe(const ZuValueRef& value, ZuObject* o)
{
    return value.IsValid() && AsDock(o)->SetStripe(Zuvi_ValueToZuDockStripe(value));
}

void DeclareDockData(ZuRuntime* runtime)
{
    static Zuvi_PubDataDef items[] = {
        {&ZuDockViewRef::RetRuntime(), "style", "Docking style", &ZuDockStyle_type, true, true,
         &GetStyle, &SetStyle},
        {&ZuDockViewRef::RetRuntime(), "handle", "Docking handle", &ZuDockHandle_type, true, true,
         &GetHandle, &SetHandle},
        {&ZuDockViewRef::RetRuntime(), "stripe", "Docking stripe", &ZuDockStripe_type, true, true,
         &GetStripe, &SetStripe},
    };
    for (Zuvi_PubDataDef& item : items)
        runtime->PublishData(item);
}
Zuvi_PubDataExport dock_data(&DeclareDockData, ZuDockViewRef::RetRuntime());

ZuStorageSync& DockViewRecord()
{
    static ZuStorageSync record("<ZuDockView dock_window style handle stripe border width>");
    return record;
}

// A raised ridge of w x h at (x, y): white on the top and left, dark grey
// on the bottom and right.
void Ridge(const ZuGrailPortRef& port, double x, double y, double w, double h)
{
    port->SetForeColor(ZuColorPixel(ZU_COLOR_WHITE));
    port->DrawLineDX(x, y, w - 1);
    port->DrawLineDY(x, y + 1, h - 2);
    port->SetForeColor(ZuColorPixel(ZU_COLOR_DGRAY));
    port->DrawLineDX(x, y + h - 1, w);
    port->DrawLineDY(x + w - 1, y, h - 1);
}

ZuColorPixel Blend(ZuLookColor a_colour, ZuLookColor b_colour, double t)
{
    const ZuColorPixel a(a_colour), b(b_colour);
    return ZuColorPixel(a.RealRed() * (1 - t) + b.RealRed() * t,
                        a.RealGreen() * (1 - t) + b.RealGreen() * t,
                        a.RealBlue() * (1 - t) + b.RealBlue() * t,
                        a.RealTransparency() * (1 - t) + b.RealTransparency() * t);
}

// 2n lines of the length, each one pixel further across the strip: from
// near light grey to white, then on to dark grey.
void Bump(const ZuGrailPortRef& port, double x, double y, double length, bool vertical)
{
    const int n = 3;
    double across = 0;
    for (int pass = 0; pass < 2; ++pass)
        for (int i = n - 1; i >= 0; --i) {
            const double t = static_cast<double>(i) / n;
            port->SetForeColor(pass == 0 ? Blend(ZU_COLOR_WHITE, ZU_COLOR_LGRAY, t)
                                         : Blend(ZU_COLOR_DGRAY, ZU_COLOR_WHITE, t));
            if (vertical)
                port->DrawLineDY(x + across, y, length);
            else
                port->DrawLineDX(x, y + across, length);
            across += 1;
        }
}

} // namespace

ZuDockView::ZuDockView()
{
    style.SetBit(ZU_DOCK_ON_GRIP);
    style.SetBit(ZU_DOCK_FILLED);
    UpdateHandleWidth();
}

ZuDockView::~ZuDockView() {}

void ZuDockView::Delete()
{
    if (dock_window.IsValid()) {
        const ZuDockViewRef self(this);
        const ZuWindowRef win = dock_window;
        dock_window = ZuWindowNull;
        if (dragging) {
            ZuEvent::GrabWindowEvents(win, false);
            dragging = false;
        }
        SetParent(ZuViewNull);
        win->Delete();
    }
    ZuView::Delete();
}

void ZuDockView::UpdateHandleWidth()
{
    switch (static_cast<unsigned>(stripe)) {
    case ZU_DOCK_STRIPE_SINGLE:
        width = 9;
        break;
    case ZU_DOCK_STRIPE_DOUBLE:
        width = 11;
        break;
    case ZU_DOCK_STRIPE_THIN:
        width = 7;
        break;
    case ZU_DOCK_STRIPE_BUMP:
        width = 12;
        break;
    default:
        break;
    }
}

bool ZuDockView::SetStyle(const ZuDockStyle& new_style)
{
    style = new_style;
    UpdateHandleWidth();
    return true;
}

bool ZuDockView::SetHandle(ZuDockHandle new_handle)
{
    handle = new_handle;
    UpdateHandleWidth();
    return true;
}

bool ZuDockView::SetStripe(ZuDockStripe new_stripe)
{
    stripe = new_stripe;
    UpdateHandleWidth();
    return true;
}

const ZuDockStyle& ZuDockView::RetStyle() const
{
    return style;
}

ZuDockHandle ZuDockView::RetHandle()
{
    return handle;
}

ZuDockStripe ZuDockView::RetStripe()
{
    return stripe;
}

void ZuDockView::ButtonPress(const ZuEventRef& event)
{
    if (event.IsInvalid())
        return;
    const double x = event->RetX(), y = event->RetY();
    const double x1 = box.X1(), y1 = box.Y1(), x2 = box.X2(), y2 = box.Y2();
    bool start = style.TestBit(ZU_DOCK_ANYWHERE);
    if (!start && style.TestBit(ZU_DOCK_ON_BORDER))
        start = !(x1 + border <= x && x <= x2 - border && y1 + border <= y && y <= y2 - border);
    if (!start && style.TestBit(ZU_DOCK_ON_GRIP)) {
        if (handle == ZU_DOCK_HANDLE_LEFT)
            start = x < x1 + width;
        else if (handle == ZU_DOCK_HANDLE_TOP)
            start = y < y1 + width;
    }
    if (start)
        StartDragging();
}

bool ZuDockView::StartDragging()
{
    if (dragging)
        return false;
    const ZuEventRef& current = ZuEvent::Current();
    if (current.IsValid())
        current->GetXY(anchor_x, anchor_y);
    if (dock_window.IsInvalid()) {
        const double x1 = box.X1(), y1 = box.Y1();
        double wx = x1, wy = y1;
        if (window.IsValid()) {
            double ox = 0, oy = 0;
            window->GetWindowOrigin(ox, oy);
            wx += ox;
            wy += oy;
        }
        anchor_x -= x1;
        anchor_y -= y1;
        const double w = box.IsEmpty() ? 0 : box.X2() - x1 + 1;
        const double h = box.IsEmpty() ? 0 : box.Y2() - y1 + 1;
        ZuWindowRef made(ZuObjectRef(
            ZuClassFactory::New(ZuWindowRef::RetRuntime(), Zuvi_app_zone, __LINE__, ZU_SRC_FILE)));
        if (made.IsInvalid())
            return false;
        dock_window = made;
        ZuWinStyle win_style;
        win_style.SetBit(ZU_WINSTYLE_TOOL);
        win_style.SetBit(ZU_WINSTYLE_TOPMOST);
        win_style.SetBit(ZU_WINSTYLE_FRAMELESS);
        dock_window->SetStyle(win_style);
        dock_window->SetWindowOrigin(wx, wy);
        dock_window->SetSize(w, h);
        const ZuDockViewRef self(this);
        const ZuViewRef old_parent = parent;
        SetParent(ZuViewNull);
        SetOrigin(0, 0);
        SetParent(dock_window);
        dock_window->ShowNormal();
        if (old_parent.IsValid())
            old_parent->Display(true);
    }
    ZuEvent::GrabWindowEvents(dock_window, true);
    ZuEvent::HandOverToWindow(dock_window);
    dock_window->SetDraggingView(ZuViewRef(this));
    has_last = false;
    dragging = true;
    return true;
}

void ZuDockView::DragNotify(const ZuEventRef& event)
{
    if (!dragging || dock_window.IsInvalid() || event.IsInvalid())
        return;
    // Pointer positions are relative to the window where the event was
    // made: the same position at the same instant, seen again after the
    // window moved for it (a release where the last motion was, a motion
    // reported twice), is no new move.
    if (has_last && event->RetX() == last_x && event->RetY() == last_y &&
        event->RetTime() == last_time)
        return;
    has_last = true;
    last_x = event->RetX();
    last_y = event->RetY();
    last_time = event->RetTime();
    double ox = 0, oy = 0;
    dock_window->GetWindowOrigin(ox, oy);
    dock_window->SetWindowOrigin(ox + event->RetX() - anchor_x, oy + event->RetY() - anchor_y);
}

void ZuDockView::ButtonRelease(const ZuEventRef& event)
{
    if (!dragging || dock_window.IsInvalid())
        return;
    ZuEvent::GrabWindowEvents(dock_window, false);
    DragNotify(event);
    dock_window->SetDraggingView(ZuViewNull);
    dragging = false;
}

void ZuDockView::DrawBack(const ZuGrailPortRef& port, const ZuRect& rect)
{
    ZuView::DrawBack(port, rect);
    if (!style.TestBit(ZU_DOCK_FILLED) || port.IsInvalid())
        return;
    ZuAdornerRef adorner = port->RetAdorner();
    if (adorner.IsInvalid())
        return;
    adorner->FillRect(box, ZU_COLOR_LGRAY, 0);
    adorner->DrawFrame(box, 0);
}

void ZuDockView::DrawFront(const ZuGrailPortRef& port, const ZuRect& rect)
{
    ZuView::DrawFront(port, rect);
    if (port.IsInvalid() || handle == ZU_DOCK_HANDLE_NONE)
        return;
    const bool left = handle == ZU_DOCK_HANDLE_LEFT;
    if (!left && handle != ZU_DOCK_HANDLE_TOP)
        return;
    const double x1 = box.X1(), y1 = box.Y1();
    const double w = box.IsEmpty() ? 0 : box.X2() - x1 + 1;
    const double h = box.DY();
    switch (static_cast<unsigned>(stripe)) {
    case ZU_DOCK_STRIPE_SINGLE:
        if (left)
            Ridge(port, x1 + 4, y1 + 4, 3, h - 8);
        else
            Ridge(port, x1 + 4, y1 + 4, w - 8, 3);
        break;
    case ZU_DOCK_STRIPE_DOUBLE:
        for (int k = 0; k < 2; ++k) {
            if (left)
                Ridge(port, x1 + 3 + 4 * k, y1 + 3, 3, h - 6);
            else
                Ridge(port, x1 + 3, y1 + 3 + 4 * k, w - 6, 3);
        }
        break;
    case ZU_DOCK_STRIPE_BUMP:
        Bump(port, x1 + 3, y1 + 3, left ? h - 6 : w - 6, left);
        break;
    default:
        break;
    }
}

void ZuDockView::StoreInstance(const ZuStorageRef& s)
{
    ZuView::StoreInstance(s);
    s << DockViewRecord() << ZuStorageSync::begin;
    s->StoreObject(dock_window);
    s << static_cast<const ZuBitset&>(style) << handle << stripe;
    s->StoreReal(border);
    s->StoreReal(width);
    s << ZuStorageSync::end;
}

void ZuDockView::RestoreInstance(const ZuStorageRef& s)
{
    ZuView::RestoreInstance(s);
    s >> ZuStorageSync::type >> ZuStorageSync::begin;
    ZuObjectRef win;
    s->RestoreObject(win, ZuWindowRef::RetRuntime());
    dock_window = win.IsValid() && win->IsKindOf(ZuWindowRef::RetRuntime()) ? ZuWindowRef(win)
                                                                            : ZuWindowRef();
    s >> static_cast<ZuBitset&>(style) >> handle >> stripe;
    border = s->RestoreReal(border);
    width = s->RestoreReal(width);
    s >> ZuStorageSync::end;
    UpdateHandleWidth();
}
