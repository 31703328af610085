#include "si/gridview.h"

#include <cmath>

#include "si/colorpixel.h"
#include "si/dragview.h"
#include "si/grail.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"

ZU_IMPLEMENT_CLASS(ZuGridView, "si/gridview", ZU_CLASS_PLAIN)

namespace {

ZuStorageSync& GridViewRecord()
{
    static ZuStorageSync record("<ZuGridView dx dy>");
    return record;
}

double Snap(double v, double pitch)
{
    return pitch != 0 ? v - std::fmod(v, pitch) : v;
}

// How a drag view snaps what it embeds to a window's grid (si/dragview.h);
// the drag view has checked the grid's class.
struct DragGridCalls {
    DragGridCalls()
    {
        ZuDragView::grid_calls.align = [](const ZuObjectRef& grid, double& x, double& y) {
            if (grid.IsValid() && grid->IsKindOf(ZuGridViewRef::RetRuntime()))
                ZuGridViewRef(grid)->AlignOnGrid(x, y);
        };
    }
} drag_grid_calls;

} // namespace

void ZuGridView::DrawBack(const ZuGrailPortRef& port, const ZuRect& rect)
{
    ZuView::DrawBack(port, rect);
}

void ZuGridView::DrawFront(const ZuGrailPortRef& port, const ZuRect& rect)
{
    ZuView::DrawFront(port, rect);
    // The loops step by the pitch: without a positive one (or a finite
    // rectangle) they would never end.
    if (port.IsInvalid() || !(dx > 0) || !(dy > 0) || !std::isfinite(dx) || !std::isfinite(dy))
        return;
    const double xs = Snap(rect.X1() + dx - 1, dx), xe = Snap(rect.X2(), dx);
    const double ys = Snap(rect.Y1() + dy - 1, dy), ye = Snap(rect.Y2(), dy);
    if (!std::isfinite(xs) || !std::isfinite(xe) || !std::isfinite(ys) || !std::isfinite(ye))
        return;
    const ZuColorPixel color(0.2, 0.2, 0.4, 0.0);
    for (double y = ys; y <= ye; y += dy)
        for (double x = xs; x <= xe; x += dx)
            port->DrawDot(x, y, color);
}

void ZuGridView::SetGridPitch(double new_dx, double new_dy)
{
    dx = new_dx;
    dy = new_dy;
}

void ZuGridView::GetGridPitch(double& out_dx, double& out_dy) const
{
    out_dx = dx;
    out_dy = dy;
}

void ZuGridView::AlignOnGrid(double& x, double& y) const
{
    x = Snap(x, dx);
    y = Snap(y, dy);
}

void ZuGridView::StoreInstance(const ZuStorageRef& s)
{
    ZuView::StoreInstance(s);
    s << GridViewRecord() << ZuStorageSync::begin;
    s->StoreReal(dx);
    s->StoreReal(dy);
    s << ZuStorageSync::end;
}

void ZuGridView::RestoreInstance(const ZuStorageRef& s)
{
    ZuView::RestoreInstance(s);
    s >> ZuStorageSync::type >> ZuStorageSync::begin;
    dx = s->RestoreReal(dx);
    dy = s->RestoreReal(dy);
    s >> ZuStorageSync::end;
}
