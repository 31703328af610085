#include "si/grail.h"

#include "si/adorner.h"

#include <cmath>

#include "si/classfactory.h"
#include "si/error.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/typedef.h"
#include "zoveda/gfxsurface.h"

ZU_IMPLEMENT_CLASS(ZuGrailPort, "si/grail", ZU_CLASS_ABSTRACT | ZU_CLASS_NOT_STORED)
ZU_ENUM_REGISTER(ZuLineStyle)

namespace {

const unsigned short dot_pattern[2] = {1, 1};
const unsigned short dash_pattern[2] = {3, 3};

} // namespace

ZuGrailPort::ZuGrailPort()
    : surface(nullptr), surface_lock(0), font_man(ZuFontMan::Current()), is_ready(false),
      gc(gc_stack), gc_stack_depth(0)
{
    if (!font_man.IsValid())
        ZU_ABORT("Failed assertion: this->font_man.IsValid ()");
}

ZuGrailPort::~ZuGrailPort()
{
    GfxSurface::Delete(surface);
}

void ZuGrailPort::StoreInstance(const ZuStorageRef&)
{
    ZU_ABORT("Trying to store Grail Port");
}

void ZuGrailPort::RestoreInstance(const ZuStorageRef&)
{
    ZU_ABORT("Trying to restore Grail Port");
}

GfxSurface* ZuGrailPort::CheckSurface() const
{
    if (surface == nullptr)
        ZU_ABORT("Failed assertion: this->surface");
    return surface;
}

// ---------------------------------------------------------------------------
// Passes
// ---------------------------------------------------------------------------

void ZuGrailPort::BeginDraw(double x1, double y1, double x2, double y2)
{
    if (!is_ready)
        ZU_ABORT("Failed assertion: this->is_ready == TRUE");
    if (!((x2 >= x1) && (y2 >= y1)))
        ZU_ABORT("Failed assertion: (x2 >= x1) && (y2 >= y1)");
    BeginPass(x1, y1, x2, y2);
}

void ZuGrailPort::BeginPass(double x1, double y1, double x2, double y2)
{
    if (!is_ready)
        ZU_ABORT("Failed assertion: this->is_ready == TRUE");
    if (!(gc_stack_depth < ZU_GRAIL_GC - 1))
        ZU_ABORT("Failed assertion: this->gc_stack_depth < ZU_GRAIL_GC-1");
    ++gc_stack_depth;
    gc = &gc_stack[gc_stack_depth];
    gc->x1 = x1;
    gc->y1 = y1;
    gc->x2 = x2;
    gc->y2 = y2;
    gc->ox = 0;
    gc->oy = 0;
    gc->fore_color = ZuColorPixel(0.0, 0.0, 0.0, 0.0);
    gc->back_color = ZuColorPixel(1.0, 1.0, 1.0, 0.0);
    gc->pure_color = false;
    SetLineStyle(ZU_LINE_SOLID);
    SetFont(ZuGrailFontNull);
    ResetClipRect();
}

// A rectangle exactly 2 x margin wide or high (or less than one pixel more)
// is inside out once shrunk: its pass is begun empty, so that the caller's
// EndDraw always has a pass to close.
void ZuGrailPort::BeginDraw(const ZuRect& r, double margin)
{
    if (r.DX() < 2 * margin || r.DY() < 2 * margin)
        return;
    double x1 = r.X1() + margin, y1 = r.Y1() + margin, x2 = r.X2() - margin, y2 = r.Y2() - margin;
    if (x2 >= x1 && y2 >= y1)
        BeginDraw(x1, y1, x2, y2);
    else
        BeginPass(x1, y1, x2, y2);
}

// Closing a pass that was never begun would leave the stack below its
// first record.
void ZuGrailPort::EndDraw()
{
    if (!(gc_stack_depth > 0))
        ZU_ABORT("Failed assertion: this->gc_stack_depth > 0");
    --gc_stack_depth;
    gc = &gc_stack[gc_stack_depth];
}

void ZuGrailPort::Flush() {}

// ---------------------------------------------------------------------------
// Offsets and clipping
// ---------------------------------------------------------------------------

// The clip is carried over as four coordinates, so that an empty clip stays
// empty under the new offset.
void ZuGrailPort::SetDrawingOffset(double ox, double oy)
{
    double x1, y1, x2, y2;
    GetClipRect(x1, y1, x2, y2);
    double mx = ox - gc->ox, my = oy - gc->oy;
    gc->x1 += mx;
    gc->x2 += mx;
    gc->y1 += my;
    gc->y2 += my;
    gc->ox = ox;
    gc->oy = oy;
    SetClipRect(x1, y1, x2, y2);
}

void ZuGrailPort::GetDrawingOffset(double& ox, double& oy) const
{
    ox = gc->ox;
    oy = gc->oy;
}

void ZuGrailPort::GetClipRect(double& x1, double& y1, double& x2, double& y2) const
{
    x1 = gc->cx1 - gc->ox;
    y1 = gc->cy1 - gc->oy;
    x2 = gc->cx2 - gc->ox;
    y2 = gc->cy2 - gc->oy;
}

void ZuGrailPort::GetClipRect(ZuRect& r) const
{
    double x1, y1, x2, y2;
    GetClipRect(x1, y1, x2, y2);
    r = ZuRect(x1, y1, x2, y2);
}

// ---------------------------------------------------------------------------
// Colours, style, font
// ---------------------------------------------------------------------------

bool ZuGrailPort::SetPureColor(bool pure)
{
    gc->pure_color = pure;
    return true;
}

bool ZuGrailPort::RetPureColor() const
{
    return gc->pure_color;
}

void ZuGrailPort::SetForeColor(const ZuColorPixel& color)
{
    if (gc->fore_color != color)
        gc->fore_color = color;
}

void ZuGrailPort::SetBackColor(const ZuColorPixel& color)
{
    gc->back_color = color;
}

void ZuGrailPort::SetLineStyle(ZuLineStyle style)
{
    gc->line_style = style;
    switch (static_cast<unsigned int>(style)) {
    case ZU_LINE_SOLID:
        gc->dash_pattern = nullptr;
        gc->dash_count = 0;
        break;
    case ZU_LINE_DOT:
        gc->dash_pattern = dot_pattern;
        gc->dash_count = 2;
        break;
    case ZU_LINE_DASH:
        gc->dash_pattern = dash_pattern;
        gc->dash_count = 2;
        break;
    default:
        break;
    }
}

void ZuGrailPort::SetFont(const ZuGrailFontRef& font)
{
    if (font.IsValid())
        gc->font = font;
}

ZuAdornerRef ZuGrailPort::RetAdorner()
{
    if (adorner.IsInvalid()) {
        ZuAdornerRef made(ZuNew<ZuAdorner>(Zuvi_app_zone, __LINE__, "si/grail"));
        adorner = made;
        made->Initialise(ZuGrailPortRef(this));
    }
    return ZuAdornerRef(adorner);
}

void ZuGrailPort::InitAdorner(const ZuAdornerRef& adorner_)
{
    adorner = adorner_;
}

void ZuGrailPort::Delete()
{
    if (adorner.IsValid()) {
        ZuObjectRef old = adorner;
        adorner = ZuObjectNull;
        old->Delete();
    }
    ZuObject::Delete();
}

const ZuFontManRef& ZuGrailPort::RetFontMan() const
{
    return font_man;
}

// ---------------------------------------------------------------------------
// Surface lock
// ---------------------------------------------------------------------------

GfxSurface* ZuGrailPort::LockSurface() const
{
    ++surface_lock;
    return surface;
}

bool ZuGrailPort::UnlockSurface(GfxSurface* s) const
{
    if (s != surface || surface_lock == 0)
        return false;
    --surface_lock;
    return true;
}

// ---------------------------------------------------------------------------
// Line dots
// ---------------------------------------------------------------------------

namespace {

// The minor-axis walk of the raster engine's lines: n + 1 entries from the
// start coordinate, the fraction scaled by 255.99.
void WalkLine(long start, unsigned n, int delta, unsigned* coords, unsigned char* fractions,
              double f)
{
    if (std::isnan(f))
        f = 0.0;
    if (f < 0.0) {
        double k = std::floor(f);
        start += static_cast<long>(k);
        f -= k;
        if (f >= 1.0)
            f = 0.0;
    }
    if (f >= 1.0) {
        double k = std::trunc(f);
        start += static_cast<long>(k);
        f -= k;
    }
    double step = n != 0 ? static_cast<double>(delta) / n : 0.0;
    long c = start;
    for (unsigned i = 0; i <= n; ++i) {
        if (coords != nullptr)
            coords[i] = static_cast<unsigned>(c);
        if (fractions != nullptr) {
            double scaled = f * 255.99;
            fractions[i] = static_cast<unsigned char>(scaled < 0 ? 0 : scaled > 255 ? 255 : scaled);
        }
        if (i == n)
            break;
        f += step;
        if (step >= 0 && f >= 0.9999) {
            f -= 1.0;
            ++c;
        } else if (step < 0 && f < 0.0) {
            f += 1.0;
            --c;
        }
    }
}

} // namespace

void ZuGrailPort::ComputeLineDXDots(unsigned, unsigned y, unsigned n, int delta, unsigned* coords,
                                    unsigned char* fractions, double f)
{
    WalkLine(y, n, delta, coords, fractions, f);
}

void ZuGrailPort::ComputeLineDYDots(unsigned x, unsigned, int delta, unsigned n, unsigned* coords,
                                    unsigned char* fractions, double f)
{
    WalkLine(x, n, delta, coords, fractions, f);
}
