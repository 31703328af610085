#include "app/polychain.h"

#include <cstdio>

#include "app/graport.h"
#include "app/graprops.h"
#include "si/except.h"
#include "si/storage.h"

void SetVertexDebugText(ZuStringRef& out, int count)
{
    char text[32];
    std::snprintf(text, sizeof text, "  Sommets=%d", count);
    SetLabel(out, text);
}

void DrawVertexCross(CGraPortRef& port, const DPoint& p)
{
    port->DrawLine(DPoint{p.x - 20.0, p.y - 20.0}, DPoint{p.x + 20.0, p.y + 20.0});
    port->DrawLine(DPoint{p.x + 20.0, p.y - 20.0}, DPoint{p.x - 20.0, p.y + 20.0});
}

int HitSegment(CGraPortRef& port, const GraPaint& stroke, const DRect& box, const DPoint& p,
               double zoom, int count, bool closed,
               const std::function<void(int i, int j)>& segment)
{
    if (!IsPointInRect(p, box))
        return -1;
    stroke.SetStroke(port);
    for (int i = 0; i + 1 < count; i++) {
        port->BeginHitTest();
        segment(i, i + 1);
        if (port->EndHitTest(p, zoom, false, true, false))
            return i;
    }
    if (closed && count > 0) {
        port->BeginHitTest();
        segment(count - 1, 0);
        if (port->EndHitTest(p, zoom, false, true, false))
            return count - 1;
    }
    return -1;
}

int PointOfNumber(double value, int count)
{
    const double v = std::trunc(value) - 1.0;
    return v < -1.0 ? -1 : v > double(count - 1) ? count - 1 : int(v);
}

int RestoreVertexCount(const ZuStorageRef& s, int max)
{
    int stored = 0;
    s >> stored;
    // The vertex table is fixed: more than it holds is not a table.
    if (stored < 0 || stored > max)
        throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_READ);
    s >> ZuStorageSync::repeat;
    return stored;
}
