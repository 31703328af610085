#include "si/winsizer.h"

#include <algorithm>

#include "si/event.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"
#include "si/window.h"

ZU_IMPLEMENT_CLASS(ZuWindowSizer, "si/winsizer", ZU_CLASS_PLAIN)
ZU_ENUM_REGISTER(ZuWinSizerType)

namespace {

ZuStorageSync& SizerRecord()
{
    static ZuStorageSync record("<ZuWindowSizer type>");
    return record;
}

// The cursor of each area, row by row from the top-left corner.
const char* const kAreaCursors[9] = {"Zuvi_CursorMove\\", "Zuvi_CursorMoveY",  "Zuvi_CursorMove/",
                                     "Zuvi_CursorMoveX",  "Zuvi_CursorMoveXY", "Zuvi_CursorMoveX",
                                     "Zuvi_CursorMove/",  "Zuvi_CursorMoveY",  "Zuvi_CursorMove\\"};

// The width of the band inside each edge of the frame.
const double kEdge = 3;

} // namespace

bool ZuWindowSizer::Initialise(const ZuWindowRef& w, ZuWinSizerType t)
{
    type = t;
    SetParent(w);
    if (type == ZU_WINSIZER_FRAME && w.IsValid())
        SetBox(w->RetFrameGeometry());
    return true;
}

void ZuWindowSizer::NotifyParentResize(double old_dx, double old_dy)
{
    if (type == ZU_WINSIZER_FRAME && window.IsValid())
        SetBox(window->RetFrameGeometry());
    else
        ZuView::NotifyParentResize(old_dx, old_dy);
}

unsigned ZuWindowSizer::UpdateCursorAndDragMode(double x, double y, ZuWinSizerDragMode& h,
                                                ZuWinSizerDragMode& v)
{
    h = v = ZU_WINSIZER_DRAG_NONE;
    const ZuRect& b = box;
    double cw = std::min(b.DX() / 2, 10.0), ch = std::min(b.DY() / 2, 10.0);
    double w = 0, hh = 0;
    if (window.IsValid())
        window->GetSize(w, hh);
    switch (static_cast<unsigned>(type)) {
    case ZU_WINSIZER_HANDLE_X:
        h = x < w / 2 ? ZU_WINSIZER_DRAG_LOW : ZU_WINSIZER_DRAG_HIGH;
        return x < w / 2 ? 3 : 5;
    case ZU_WINSIZER_HANDLE_Y:
        v = y < hh / 2 ? ZU_WINSIZER_DRAG_LOW : ZU_WINSIZER_DRAG_HIGH;
        return y < hh / 2 ? 1 : 7;
    case ZU_WINSIZER_HANDLE_X_Y: {
        bool left = x < w / 2, top = y < hh / 2;
        h = left ? ZU_WINSIZER_DRAG_LOW : ZU_WINSIZER_DRAG_HIGH;
        v = top ? ZU_WINSIZER_DRAG_LOW : ZU_WINSIZER_DRAG_HIGH;
        return (top ? 0 : 6) + (left ? 0 : 2);
    }
    default:
        break;
    }
    ZuRect f = window.IsValid() ? window->RetFrameGeometry() : b;
    if (x < f.X1() + kEdge) {
        h = ZU_WINSIZER_DRAG_LOW;
        if (y < ch) {
            v = ZU_WINSIZER_DRAG_LOW;
            return 0;
        }
        if (y > b.Y2() - ch) {
            v = ZU_WINSIZER_DRAG_HIGH;
            return 6;
        }
        return 3;
    }
    if (x > f.X2() - kEdge) {
        h = ZU_WINSIZER_DRAG_HIGH;
        if (y < ch) {
            v = ZU_WINSIZER_DRAG_LOW;
            return 2;
        }
        if (y > b.Y2() - ch) {
            v = ZU_WINSIZER_DRAG_HIGH;
            return 8;
        }
        return 5;
    }
    if (y < f.Y1() + kEdge) {
        v = ZU_WINSIZER_DRAG_LOW;
        if (x < cw) {
            h = ZU_WINSIZER_DRAG_LOW;
            return 0;
        }
        if (x > b.X2() - cw) {
            h = ZU_WINSIZER_DRAG_HIGH;
            return 2;
        }
        return 1;
    }
    if (y > f.Y2() - kEdge) {
        v = ZU_WINSIZER_DRAG_HIGH;
        if (x < cw) {
            h = ZU_WINSIZER_DRAG_LOW;
            return 6;
        }
        if (x > b.X2() - cw) {
            h = ZU_WINSIZER_DRAG_HIGH;
            return 8;
        }
        return 7;
    }
    h = v = ZU_WINSIZER_DRAG_LOW;
    return 4;
}

bool ZuWindowSizer::Detect(double x, double y, ZuViewRef& out, bool any)
{
    out = ZuViewNull;
    if (state.TestBit(ZU_VIEW_NO_DETECT))
        return false;
    if (!any && (!state.TestBit(ZU_VIEW_IS_ENABLED) || state.TestBit(ZU_VIEW_NO_DISPLAY)))
        return false;
    if (box.IsEmpty() || !box.IsInside(x, y))
        return false;
    ZuWinSizerDragMode h, v;
    if (UpdateCursorAndDragMode(x, y, h, v) == 4)
        return false;
    out = this;
    return true;
}

void ZuWindowSizer::SelectCursor(double x, double y)
{
    area = UpdateCursorAndDragMode(x, y, horizontal_mode, vertical_mode);
    SetCursor(ZuAtomRef(kAreaCursors[area < 9 ? area : 4]));
    ZuView::SelectCursor();
}

void ZuWindowSizer::MotionNotify(const ZuEventRef& event)
{
    SelectCursor(event->RetX(), event->RetY());
}

void ZuWindowSizer::ButtonPress(const ZuEventRef& event)
{
    if (dragging || window.IsInvalid())
        return;
    dragging = true;
    press_x = event->RetX();
    press_y = event->RetY();
    SelectCursor(press_x, press_y);
    window->SetDraggingView(ZuViewRef(this));
}

void ZuWindowSizer::DragNotify(const ZuEventRef& event)
{
    if (!dragging || window.IsInvalid())
        return;
    double dx = event->RetX() - press_x, dy = event->RetY() - press_y;
    double ox = 0, oy = 0, w = 0, h = 0;
    window->GetWindowOrigin(ox, oy);
    window->GetSize(w, h);
    double ex = 0, ey = 0;
    if (horizontal_mode == ZU_WINSIZER_DRAG_LOW) {
        if (w - dx < 1)
            dx = w - 1;
        w -= dx;
        ox += dx;
    }
    if (vertical_mode == ZU_WINSIZER_DRAG_LOW) {
        if (h - dy < 1)
            dy = h - 1;
        oy += dy;
        h -= dy;
    }
    if (horizontal_mode == ZU_WINSIZER_DRAG_HIGH) {
        ex = w + dx < 1 ? 1 - w : dx;
        w += ex;
    }
    if (vertical_mode == ZU_WINSIZER_DRAG_HIGH) {
        ey = h + dy < 1 ? 1 - h : dy;
        h += ey;
    }
    // A far edge moves with the pointer in window coordinates; a near edge
    // moves the window's origin, and so the coordinates themselves.
    press_x += ex;
    press_y += ey;
    ZuRect r;
    r.SetOrigin(ox, oy);
    r.SetSize(w, h);
    window->SetWindowBox(r);
}

void ZuWindowSizer::ButtonRelease(const ZuEventRef&)
{
    if (!dragging)
        return;
    dragging = false;
    if (window.IsInvalid())
        return;
    ZuWindowRef w = window;
    w->SetDraggingView(ZuViewNull);
    w->NotifyWindowResized();
}

void ZuWindowSizer::StoreInstance(const ZuStorageRef& s)
{
    ZuView::StoreInstance(s);
    s << SizerRecord() << ZuStorageSync::begin << type << ZuStorageSync::end;
}

void ZuWindowSizer::RestoreInstance(const ZuStorageRef& s)
{
    ZuView::RestoreInstance(s);
    s >> ZuStorageSync::type >> ZuStorageSync::begin >> type >> ZuStorageSync::end;
    if (!IsValid(type))
        type = ZU_WINSIZER_FRAME;
}
