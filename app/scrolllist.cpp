#include "app/scrolllist.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "app/clippedline.h"
#include "si/adorner.h"
#include "si/classfactory.h"
#include "si/event.h"
#include "si/grail.h"
#include "si/lookman.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/string.h"
#include "si/textstyle.h"
#include "si/window.h"

ZU_IMPLEMENT_CLASS(CScrollList, "app/scrolllist", ZU_CLASS_PLAIN)
ZU_EXPORT_NOTIFY(CScrollList, modify, "notify_Modify", &CScrollList::notify_Modify)
ZU_EXPORT_OBSERVER(CScrollList, OnScroll)

ZuAtomRef CScrollList::notify_Modify;

namespace {

const double kRow = 16;
const double kBar = 17;

// A whole number of a double, kept within int (what is not a number: 0).
int ToInt(double v)
{
    if (!(v == v))
        return 0;
    const double lo = std::numeric_limits<int>::min();
    const double hi = std::numeric_limits<int>::max();
    return int(std::trunc(std::min(hi, std::max(lo, v))));
}

} // namespace

void CScrollList::Delete()
{
    scroller = ZuScrollerRef();
    items = ZuListRef();
    ZuControl::Delete();
}

int CScrollList::RowsFor(double height) const
{
    return std::max(0, ToInt((height - 2 * margin) * 0.0625));
}

bool CScrollList::CreateScroller(double x, double y, double dx, double dy)
{
    SetOrigin(x, y);
    SetSize(dx, dy);
    scroller = ZuNew<ZuScroller>(Zuvi_app_zone, __LINE__, "app/scrolllist");
    scroller->ChangeStyle(ZU_CTRL_DRAW_ADORNER, true);
    scroller->Initialise(x + dx - kBar - 2, y + margin, dy - 2 * margin, false, 0);
    scroller->SetParent(ZuViewRef(this));
    scroller->AttachObserver(ZuObjectRef(this), ZuScroller::notify_scrolled, ZuAtomRef("OnScroll"),
                             0);
    visible = RowsFor(dy);
    return true;
}

bool CScrollList::UpdateScroller(const ZuListRef& new_items)
{
    items = new_items;
    count = items.IsValid() ? ToInt(double(items->TotalCount())) : 0;
    selected = -1;
    first = 0;
    const double n = double(count) - visible;
    const double ratio = n + 1 > 0 ? 1 / (n + 1) : 1.0;
    if (scroller.IsValid()) {
        scroller->SetVisibleRatio(ratio);
        scroller->SetIncrement(2 * ratio);
    }
    return true;
}

bool CScrollList::Select(int index)
{
    if (index >= count)
        index = count - 1;
    if (index < -1)
        index = -1;
    if (index == selected)
        return true;
    selected = index;
    const int shown = std::max(index, 0);
    if (shown < first || shown >= first + visible) {
        const int t = std::min(shown + visible / 2, count - 1);
        first = std::max(0, t + 1 - visible);
    }
    if (scroller.IsValid())
        scroller->SetVisibleValue(count - visible > 0 ? double(first) / (count - visible) : 0.0);
    Display(true);
    return true;
}

bool CScrollList::OnScroll(const ZuObjectRef&, unsigned)
{
    if (scroller.IsInvalid())
        return true;
    const double v = scroller->RetVisibleValue();
    const int top = std::max(0, ToInt(v * (count - visible)));
    if (top != first) {
        first = top;
        Display(true);
    }
    return true;
}

void CScrollList::Mouse(const ZuEventRef& event, Step step)
{
    if (event.IsInvalid())
        return;
    const double ex = event->RetX(), ey = event->RetY();
    if (ex - box.X1() >= box.DX() - kBar) {
        // The scroll bar's column: the bar's, never a selection.
        if (scroller.IsValid()) {
            if (step == PRESS)
                scroller->ButtonPress(event);
            else if (step == DRAG)
                scroller->DragNotify(event);
            else
                scroller->ButtonRelease(event);
        }
    } else {
        // Above the first row (a drag leaving the list upwards) stays on
        // the first visible row; below the last entry, the last entry.
        int r = ToInt(std::trunc(ey - box.Y1() - margin) / kRow) + first;
        r = std::max(r, first);
        r = std::min(r, count - 1);
        if (r != selected) {
            selected = r;
            Display(true);
            QuickReport(notify_Modify, 1);
        }
    }
    if (step == PRESS)
        ZuControl::ButtonPress(event);
    else if (step == DRAG)
        ZuControl::DragNotify(event);
    else
        ZuControl::ButtonRelease(event);
    if (window.IsInvalid())
        return;
    if (step == RELEASE) {
        window->SetDraggingView(ZuViewNull);
        return;
    }
    window->SetDraggingView(ZuViewRef(this));
    if (step == DRAG) {
        ZuAdornerRef adorner = RetAdorner();
        if (adorner.IsValid())
            adorner->Flush(ZU_FLUSH_SYNC);
    }
}

void CScrollList::ButtonPress(const ZuEventRef& event)
{
    Mouse(event, PRESS);
}

void CScrollList::DragNotify(const ZuEventRef& event)
{
    Mouse(event, DRAG);
}

void CScrollList::ButtonRelease(const ZuEventRef& event)
{
    Mouse(event, RELEASE);
}

void CScrollList::NotifyGeometryChange(const ZuRect& old_box)
{
    if (scroller.IsValid())
        visible = RowsFor(box.DY());
    ZuControl::NotifyGeometryChange(old_box);
}

void CScrollList::DrawFront(const ZuGrailPortRef& port, const ZuRect& area)
{
    if (port.IsInvalid()) {
        ZuControl::DrawFront(port, area);
        return;
    }
    const double x1 = box.X1(), y1 = box.Y1();
    const double w = box.DX(), h = box.DY();
    const ZuLookManRef& look = ZuLookMan::Current();
    if (look.IsValid() && look->RetSysFont().IsValid())
        port->SetFont(look->RetSysFont());
    const ZuColorPixel white(1.0, 1.0, 1.0, 0.0);
    const ZuColorPixel grey(0.5, 0.5, 0.5, 0.0);
    const ZuColorPixel black(0.0, 0.0, 0.0, 0.0);
    const double right = x1 + w - kBar - margin - 1;
    port->SetForeColor(white);
    port->FillRect(x1 + margin, y1 + margin, right, y1 + h - margin - 1);
    // Only the rows that meet the area to draw are visited.
    const ZuRect shown = Zuvi_VisibleArea(port, area, window);
    int from = 0, to = -1;
    if (!shown.IsEmpty()) {
        from = std::max(0, ToInt(std::floor((shown.Y1() - y1 - margin) / kRow)));
        to = std::min(visible - 1, ToInt(std::floor((shown.Y2() - y1 - margin) / kRow)));
    }
    const ZuTextStyle style(ZU_TEXT_HPOS_LEFT, ZU_TEXT_VPOS_BASE);
    for (int r = from; r <= to; ++r) {
        const double top = y1 + margin + kRow * r;
        const long long e = (long long)first + r;
        if (e == selected) {
            port->SetForeColor(grey);
            port->FillRect(x1 + margin, top, right, top + 15);
            port->SetForeColor(white);
        } else {
            port->SetForeColor(black);
        }
        if (items.IsInvalid() || e < 0 || e >= count)
            continue;
        ZuObjectRef entry;
        if (items->Get(unsigned(e), entry) && entry.IsValid() &&
            entry->IsKindOf(ZuStringRef::RetRuntime()))
            port->ShowText(x1 + margin + 2, top + 12, ZuStringRef(entry), 0, 0, style, 0.0);
    }
    ZuAdornerRef adorner = port->RetAdorner();
    if (adorner.IsValid()) {
        ZuFrameEdges edges;
        for (ZuFrameEdgeBit bit :
             {ZU_FRAME_TOP, ZU_FRAME_BOTTOM, ZU_FRAME_LEFT, ZU_FRAME_RIGHT, ZU_FRAME_CORNERS})
            edges.SetBit(bit);
        ZuRect frame(x1, y1, x1 + w - 1, y1 + h - 1);
        if (w <= 0 || h <= 0)
            frame = ZuRect();
        adorner->DrawFrame(ZuAtomRef("lumbra_Box"), frame, edges, ZU_CTRL_STATE_NORMAL, 0.0);
    }
    ZuControl::DrawFront(port, area);
}

bool CScrollList::SetEnable(bool enable)
{
    if (scroller.IsValid())
        scroller->ChangeState(ZU_VIEW_IS_ENABLED, enable, true);
    return ZuControl::SetEnable(enable);
}

bool CScrollList::SetVisible(bool shown)
{
    if (scroller.IsValid())
        scroller->ChangeState(ZU_VIEW_NO_DISPLAY, !shown, true);
    return ChangeState(ZU_VIEW_NO_DISPLAY, !shown, true);
}
