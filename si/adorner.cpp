// The adorner: reliefs, frames, icons and patterns drawn through a port.

#include "si/adorner.h"

#include "si/classfactory.h"
#include "si/error.h"
#include "si/iconrect.h"
#include "si/memzone.h"

namespace {

const char* const kFile = "si/adorner";

double Width(const ZuRect& r)
{
    return r.DX();
}

double Height(const ZuRect& r)
{
    return r.DY();
}

// One stroke of a relief: its look colour, its luminance on a base colour,
// and whether it draws the top-left (true) or the bottom-right lines.
struct ReliefStroke {
    ZuLookColor color;
    double luminance;
    enum Lines { OUTER_TOP_LEFT, INNER_TOP_LEFT, OUTER_BOTTOM_RIGHT, INNER_BOTTOM_RIGHT } lines;
    bool vertical_first;
};

const ReliefStroke kHigh[4] = {
    {ZU_COLOR_LGRAY, 0.75, ReliefStroke::OUTER_TOP_LEFT, false},
    {ZU_COLOR_WHITE, 1.0, ReliefStroke::INNER_TOP_LEFT, false},
    {ZU_COLOR_BLACK, 0.0, ReliefStroke::OUTER_BOTTOM_RIGHT, false},
    {ZU_COLOR_DGRAY, 0.5, ReliefStroke::INNER_BOTTOM_RIGHT, false},
};
const ReliefStroke kLow[4] = {
    {ZU_COLOR_LGRAY, 0.75, ReliefStroke::OUTER_BOTTOM_RIGHT, true},
    {ZU_COLOR_WHITE, 1.0, ReliefStroke::INNER_BOTTOM_RIGHT, true},
    {ZU_COLOR_BLACK, 0.0, ReliefStroke::INNER_TOP_LEFT, false},
    {ZU_COLOR_DGRAY, 0.5, ReliefStroke::OUTER_TOP_LEFT, false},
};
const ReliefStroke kSunken[4] = {
    {ZU_COLOR_WHITE, 1.0, ReliefStroke::OUTER_BOTTOM_RIGHT, true},
    {ZU_COLOR_LGRAY, 0.75, ReliefStroke::INNER_BOTTOM_RIGHT, true},
    {ZU_COLOR_BLACK, 0.0, ReliefStroke::INNER_TOP_LEFT, false},
    {ZU_COLOR_DGRAY, 0.5, ReliefStroke::OUTER_TOP_LEFT, false},
};

// Draws a relief's four strokes; base null: the look colours.
void DrawRelief(const ZuGrailPortRef& port, const ReliefStroke (&strokes)[4],
                const ZuColorPixel* base, const ZuRect& r)
{
    const double x1 = r.X1(), y1 = r.Y1(), x2 = r.X2(), y2 = r.Y2();
    const double w = Width(r), h = Height(r);
    for (const ReliefStroke& s : strokes) {
        if (base != nullptr) {
            ZuColorPixel color(*base);
            color.SetLuminance(s.luminance);
            port->SetForeColor(color);
        } else {
            port->SetForeColor(ZuColorPixel(s.color));
        }
        // The horizontal and the vertical line of the stroke.
        double hx = 0, hy = 0, hn = 0, vx = 0, vy = 0, vn = 0;
        switch (s.lines) {
        case ReliefStroke::OUTER_TOP_LEFT:
            hx = x1, hy = y1, hn = w, vx = x1, vy = y1, vn = h;
            break;
        case ReliefStroke::INNER_TOP_LEFT:
            hx = x1 + 1, hy = y1 + 1, hn = w - 2, vx = x1 + 1, vy = y1 + 1, vn = h - 2;
            break;
        case ReliefStroke::OUTER_BOTTOM_RIGHT:
            hx = x1, hy = y2, hn = w, vx = x2, vy = y1, vn = h;
            break;
        case ReliefStroke::INNER_BOTTOM_RIGHT:
            hx = x1 + 1, hy = y2 - 1, hn = w - 2, vx = x2 - 1, vy = y1 + 1, vn = h - 2;
            break;
        }
        if (s.vertical_first) {
            port->DrawLineDY(vx, vy, vn);
            port->DrawLineDX(hx, hy, hn);
        } else {
            port->DrawLineDX(hx, hy, hn);
            port->DrawLineDY(vx, vy, vn);
        }
    }
}

} // namespace

ZU_ENUM_REGISTER(ZuFrameEdgeBit)
ZU_BITSET_REGISTER(ZuFrameEdges)
ZU_IMPLEMENT_CLASS(ZuAdorner, kFile, ZU_CLASS_NOT_STORED)

ZuFrameEdges Zuvi_ValueToZuFrameEdges(const ZuValueRef& value)
{
    ZuFrameEdges set;
    set.SetBits(Zuvi_ValueToCard64(value));
    return set;
}

ZuLookMan::AdornerList ZuLookMan::adorner;

ZuAdorner::ZuAdorner()
{
    frames = ZuNew<ZuDict>(Zuvi_app_zone, __LINE__, kFile);
    frames->SetCompKeyUsingIsEqual(false);
}

ZuAdorner::~ZuAdorner()
{
    // A dictionary must be empty when it goes.
    if (frames.IsValid())
        frames->RemoveAll();
}

void ZuAdorner::Delete()
{
    port = ZuGrailPortNull;
    ZuObject::Delete();
}

void ZuAdorner::StoreInstance(const ZuStorageRef&)
{
    Zuvi_ErrorAbort("Trying to store Adorner", __LINE__, kFile);
}

void ZuAdorner::RestoreInstance(const ZuStorageRef&)
{
    Zuvi_ErrorAbort("Trying to restore Adorner", __LINE__, kFile);
}

void ZuAdorner::Initialise(const ZuGrailPortRef& port_)
{
    if (port_.IsInvalid())
        Zuvi_ErrorAbort("Failed assertion: port.IsValid ()", __LINE__, kFile);
    port = port_;
    look = ZuLookMan::current;
}

void ZuAdorner::Update() {}

void ZuAdorner::SelectSysFont()
{
    port->SetFont(look->RetSysFont());
}

void ZuAdorner::SetForeColor(ZuLookColor color)
{
    port->SetForeColor(ZuColorPixel(color));
}

void ZuAdorner::SetBackColor(ZuLookColor color)
{
    port->SetBackColor(ZuColorPixel(color));
}

void ZuAdorner::FillRect(const ZuRect& rect, const ZuAtomRef& name, double margin)
{
    FillRect(rect, look->FindColor(name), margin);
}

void ZuAdorner::FillRect(const ZuRect& rect, const ZuColorPixel& pixel, double margin)
{
    if (pixel == ZU_COLOR_NONE)
        return;
    port->SetForeColor(pixel);
    port->FillRect(rect, margin);
}

void ZuAdorner::FillRect(const ZuRect& rect, ZuLookColor color, double margin)
{
    if (color < 0 || color > 61)
        return;
    port->SetForeColor(ZuColorPixel(color));
    port->FillRect(rect, margin);
}

void ZuAdorner::DrawRect(const ZuRect& rect, const ZuAtomRef& name, double margin)
{
    DrawRect(rect, look->FindColor(name), margin);
}

void ZuAdorner::DrawRect(const ZuRect& rect, ZuLookColor color, double margin)
{
    port->SetForeColor(ZuColorPixel(color));
    port->DrawRect(rect, margin);
}

// ---- Reliefs ----

void ZuAdorner::DrawRectHigh(ZuColorPixel base, double x1, double y1, double x2, double y2)
{
    DrawRectHigh(base, ZuRect(x1, y1, x2, y2), 0.0);
}

void ZuAdorner::DrawRectHigh(ZuColorPixel base, const ZuRect& rect, double)
{
    DrawRelief(port, kHigh, &base, rect);
}

void ZuAdorner::DrawRectHigh(double x1, double y1, double x2, double y2)
{
    DrawRectHigh(ZuRect(x1, y1, x2, y2), 0.0);
}

void ZuAdorner::DrawRectHigh(const ZuRect& rect, double)
{
    DrawRelief(port, kHigh, nullptr, rect);
}

void ZuAdorner::DrawRectLow(ZuColorPixel base, double x1, double y1, double x2, double y2)
{
    DrawRectLow(base, ZuRect(x1, y1, x2, y2), 0.0);
}

void ZuAdorner::DrawRectLow(ZuColorPixel base, const ZuRect& rect, double)
{
    DrawRelief(port, kLow, &base, rect);
}

void ZuAdorner::DrawRectLow(double x1, double y1, double x2, double y2)
{
    DrawRectLow(ZuRect(x1, y1, x2, y2), 0.0);
}

void ZuAdorner::DrawRectLow(const ZuRect& rect, double)
{
    DrawRelief(port, kLow, nullptr, rect);
}

void ZuAdorner::DrawRectSunken(ZuColorPixel base, double x1, double y1, double x2, double y2)
{
    DrawRectSunken(base, ZuRect(x1, y1, x2, y2), 0.0);
}

void ZuAdorner::DrawRectSunken(ZuColorPixel base, const ZuRect& rect, double)
{
    DrawRelief(port, kSunken, &base, rect);
}

void ZuAdorner::DrawRectSunken(double x1, double y1, double x2, double y2)
{
    DrawRectSunken(ZuRect(x1, y1, x2, y2), 0.0);
}

void ZuAdorner::DrawRectSunken(const ZuRect& rect, double)
{
    DrawRelief(port, kSunken, nullptr, rect);
}

// ---- Frames ----

void ZuAdorner::DrawFrame(const ZuRect& rect, double margin)
{
    const double x = rect.X1() + margin, y = rect.Y1() + margin;
    const double w = Width(rect) - 2 * margin, h = Height(rect) - 2 * margin;
    port->SetForeColor(ZuColorPixel(ZU_COLOR_DGRAY));
    port->DrawLineDX(x, y, w - 1);
    port->DrawLineDY(x, y, h - 1);
    port->DrawLineDX(x, y + h - 2, w - 1);
    port->DrawLineDY(x + w - 2, y, h - 1);
    port->SetForeColor(ZuColorPixel(ZU_COLOR_WHITE));
    port->DrawLineDX(x + 1, y + 1, w - 3);
    port->DrawLineDY(x + 1, y + 1, h - 3);
    port->DrawLineDX(x, y + h - 1, w);
    port->DrawLineDY(x + w - 1, y, h);
}

void ZuAdorner::DrawFrame(const ZuRect& rect, const ZuFrameEdges& edges, double margin)
{
    const double x = rect.X1() + margin, y = rect.Y1() + margin;
    const double w = Width(rect) - 2 * margin, h = Height(rect) - 2 * margin;
    // The first row or column of each edge white, the second black.
    for (int row = 0; row < 2; ++row) {
        port->SetForeColor(ZuColorPixel(row == 0 ? ZU_COLOR_WHITE : ZU_COLOR_BLACK));
        if (edges.TestBit(ZU_FRAME_TOP))
            port->DrawLineDX(x, y + row, w);
        if (edges.TestBit(ZU_FRAME_LEFT))
            port->DrawLineDY(x + row, y, h);
        if (edges.TestBit(ZU_FRAME_BOTTOM))
            port->DrawLineDX(x, y + h - 2 + row, w);
        if (edges.TestBit(ZU_FRAME_RIGHT))
            port->DrawLineDY(x + w - 2 + row, y, h);
    }
}

void ZuAdorner::DrawLineFrame(const ZuRect& rect, double margin)
{
    const ZuRect r(rect, margin);
    const double x1 = r.X1(), y1 = r.Y1(), x2 = r.X2(), y2 = r.Y2();
    const double w = Width(r), h = Height(r);
    port->SetForeColor(ZuColorPixel(ZU_COLOR_DGRAY));
    port->DrawLineDX(x1, y1, w);
    port->DrawLineDY(x1, y1, h);
    port->DrawLineDX(x1 + 1, y1 + 1, w - 2);
    port->DrawLineDY(x1 + 1, y1 + 1, h - 2);
    port->SetForeColor(ZuColorPixel(ZU_COLOR_WHITE));
    port->DrawLineDX(x1, y2, w);
    port->DrawLineDY(x2, y1, h);
    port->SetForeColor(ZuColorPixel(ZU_COLOR_LGRAY));
    port->DrawLineDX(x1 + 1, y2 - 1, w - 2);
    port->DrawLineDY(x2 - 1, y1 + 1, h - 2);
}

ZuObjectRef ZuAdorner::CachedFrame(const ZuAtomRef& name)
{
    ZuObjectRef frame;
    if (frames->GetFromKey(name, frame, 0) && frame.IsValid())
        return frame;
    ZuIconRectRef made(ZuNew<ZuIconRect>(Zuvi_app_zone, __LINE__, kFile));
    if (made->Initialise(name)) {
        frames->Insert(name, made);
        return made;
    }
    // Not defined by the look: tried again on the next call.
    made->Delete();
    return ZuObjectNull;
}

void ZuAdorner::DrawFrame(const ZuAtomRef& name, const ZuRect& rect, const ZuFrameEdges& edges,
                          ZuCtrlState state, double margin)
{
    const ZuIconRectRef frame(CachedFrame(name));
    if (frame.IsValid())
        frame->Paint(port, edges, state, rect, margin);
}

void ZuAdorner::DrawFrame(const ZuAtomRef& name, const ZuRect& rect, ZuCtrlState state,
                          double margin)
{
    const ZuIconRectRef frame(CachedFrame(name));
    if (frame.IsValid())
        frame->Paint(port, state, rect, margin);
}

void ZuAdorner::DrawEdge(const ZuAtomRef& name, const ZuRect&, ZuFrameEdgeBit, const ZuAtomRef&,
                         double, double, double, ZuCtrlState, double)
{
    CachedFrame(name);
}

// ---- Icons and patterns ----

void ZuAdorner::DrawIcon(const ZuRect& rect, const ZuAtomRef& name, ZuCtrlState state)
{
    DrawIcon(rect.X1(), rect.Y1(), name, state, Width(rect), Height(rect));
}

void ZuAdorner::DrawIcon(double x, double y, const ZuAtomRef& name, ZuCtrlState state, double dx,
                         double dy)
{
    if (name.IsInvalid())
        return;
    ZuIconRecordRef record;
    if (!look->GetIconRecord(name, dx, dy, record))
        return;
    if (dx * dy == 0)
        record->GetSize(dx, dy);
    record->Paint(port, state, ZuRect(x, y, x + dx - 1, y + dy - 1), 0.0);
}

void ZuAdorner::DrawPattern(const ZuRect& rect, const ZuAtomRef& name, ZuCtrlState state,
                            double margin)
{
    if (name.IsInvalid())
        return;
    ZuIconRecordRef record;
    if (look->GetIconRecord(name, 0.0, 0.0, record))
        record->Fill(port, state, rect, margin);
}

void ZuAdorner::Flush(ZuFlushPriority priority)
{
    if (priority == ZU_FLUSH_SYNC || priority == ZU_FLUSH_FAST)
        port->Flush();
}
