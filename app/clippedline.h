// Lines of the program's controls cut to what can show. A box read from an
// interface file may be far larger than any window, and the raster engine
// refuses lines longer than it can trace: a control cuts the area it draws
// to its window and draws only the part of each line inside.
#ifndef LUMBRA_APP_CLIPPEDLINE_H
#define LUMBRA_APP_CLIPPEDLINE_H

#include <algorithm>
#include <cmath>

#include "si/grail.h"
#include "si/rect.h"
#include "si/window.h"

// The area to draw cut to the port's clip and to the window's size;
// empty when nothing of it can show.
inline ZuRect Zuvi_VisibleArea(const ZuGrailPortRef& port, const ZuRect& area,
                               const ZuWindowRef& window)
{
    ZuRect clip;
    port->GetClipRect(clip);
    if (area.IsEmpty() || clip.IsEmpty() || window.IsInvalid())
        return ZuRect();
    double wdx = 0, wdy = 0;
    window->GetSize(wdx, wdy);
    const double x1 = std::max({area.X1(), clip.X1(), 0.0});
    const double y1 = std::max({area.Y1(), clip.Y1(), 0.0});
    const double x2 = std::min({area.X2(), clip.X2(), wdx - 1});
    const double y2 = std::min({area.Y2(), clip.Y2(), wdy - 1});
    if (!(x2 >= x1) || !(y2 >= y1))
        return ZuRect();
    return ZuRect(x1, y1, x2, y2);
}

// The run [from, from + length) along one axis, cut to [lo, hi]; false when
// nothing is left.
inline bool Zuvi_ClipRun(double& from, double& length, double lo, double hi)
{
    if (!(length > 0) || !(from == from))
        return false;
    const double start = std::max(from, std::floor(lo));
    const double end = std::min(from + length - 1, std::ceil(hi));
    if (!(end >= start))
        return false;
    from = start;
    length = end - start + 1;
    return true;
}

// ZuGrailPort::DrawLineDX and DrawLineDY cut to a visible area.
inline void Zuvi_DrawLineDX(const ZuGrailPortRef& port, double x, double y, double dx,
                            const ZuRect& visible)
{
    if (visible.IsEmpty() || y < std::floor(visible.Y1()) || y > std::ceil(visible.Y2()) ||
        !Zuvi_ClipRun(x, dx, visible.X1(), visible.X2()))
        return;
    port->DrawLineDX(x, y, dx);
}

inline void Zuvi_DrawLineDY(const ZuGrailPortRef& port, double x, double y, double dy,
                            const ZuRect& visible)
{
    if (visible.IsEmpty() || x < std::floor(visible.X1()) || x > std::ceil(visible.X2()) ||
        !Zuvi_ClipRun(y, dy, visible.Y1(), visible.Y2()))
        return;
    port->DrawLineDY(x, y, dy);
}

#endif
