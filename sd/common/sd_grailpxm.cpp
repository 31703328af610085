// The drawing operations of ZuGrailPort carried out on its pixel surface:
// clipping, dots, lines, rectangles, text, scrolls, copies and blends
// between ports, pixel rows, bitmaps, the grail hook and pixel searches.
#include <cmath>
#include <vector>

#include "si/error.h"
#include "si/grail.h"
#include "si/grailwdo.h"
#include "si/igrailhook.h"
#include "si/memzone.h"
#include "zoveda/gfxfontcache.h"
#include "zoveda/gfxsurface.h"

namespace {

// Coordinates beyond a billion pixels mean nothing to a surface; keeping
// them there leaves the engine's sums room.
const double kFar = 1073741823.0;

// Toward zero, as every coordinate the port hands to its surface.
int Trunc(double v)
{
    if (std::isnan(v))
        return 0;
    if (v >= kFar)
        return static_cast<int>(kFar);
    if (v <= -kFar)
        return -static_cast<int>(kFar);
    return static_cast<int>(v);
}

// An extent: a negative one is empty.
unsigned Extent(double v)
{
    int t = Trunc(v);
    return t > 0 ? static_cast<unsigned>(t) : 0u;
}

// The rule of the ZuRect forms: nothing below 2 x margin, else the
// rectangle shrunk by the margin.
bool Shrunk(const ZuRect& r, double m, double& x1, double& y1, double& x2, double& y2)
{
    if (r.DX() < 2 * m || r.DY() < 2 * m)
        return false;
    x1 = r.X1() + m;
    y1 = r.Y1() + m;
    x2 = r.X2() - m;
    y2 = r.Y2() - m;
    return true;
}

unsigned Word(const ZuColorPixel& c)
{
    return static_cast<unsigned int>(c);
}

// The bilinear read of the raster engine on four colour words inside the
// clip: down the left and right columns by fy, then across by fx, each
// channel truncated into 0 to 255.
unsigned MergeWords(unsigned top_left, unsigned bottom_left, unsigned top_right,
                    unsigned bottom_right, double fx, double fy)
{
    unsigned result = 0;
    for (int c = 0; c < 4; ++c) {
        int shift = 24 - 8 * c;
        double l0 = (top_left >> shift) & 0xFF, l1 = (bottom_left >> shift) & 0xFF;
        double r0 = (top_right >> shift) & 0xFF, r1 = (bottom_right >> shift) & 0xFF;
        double left = l0 + (l1 - l0) * fy;
        double right = r0 + (r1 - r0) * fy;
        double v = left + (right - left) * fx;
        unsigned byte = 0;
        if (v >= 255.0)
            byte = 255;
        else if (v > 0.0)
            byte = static_cast<unsigned>(v);
        result |= byte << shift;
    }
    return result;
}

// The extra transparency of BlendRect on one colour word.
unsigned ScaleCover(unsigned word, double a)
{
    if (a > 1.0)
        a = 1.0;
    long k = static_cast<long>(0.5 + 256.0 * (1.0 - a));
    long cover = (static_cast<long>(255 - (word >> 24)) * k) >> 8;
    if (cover > 255)
        cover = 255;
    if (cover < 0)
        cover = 0;
    return (word & 0x00FFFFFFu) | static_cast<unsigned>(255 - cover) << 24;
}

} // namespace

// ---------------------------------------------------------------------------
// Clipping
// ---------------------------------------------------------------------------

void ZuGrailPort::SetClipRect(double x1, double y1, double x2, double y2)
{
    GfxSurface* s = CheckSurface();
    double X1 = x1 + gc->ox, Y1 = y1 + gc->oy, X2 = x2 + gc->ox, Y2 = y2 + gc->oy;
    gc->cx1 = X1 > gc->x1 ? X1 : gc->x1;
    gc->cy1 = Y1 > gc->y1 ? Y1 : gc->y1;
    gc->cx2 = X2 < gc->x2 ? X2 : gc->x2;
    gc->cy2 = Y2 < gc->y2 ? Y2 : gc->y2;
    s->SetClipRect(Trunc(X1), Trunc(Y1), Extent(X2 - X1 + 1), Extent(Y2 - Y1 + 1));
}

void ZuGrailPort::SetClipRect(const ZuRect& r, double margin)
{
    double x1, y1, x2, y2;
    if (Shrunk(r, margin, x1, y1, x2, y2)) {
        SetClipRect(x1, y1, x2, y2);
        return;
    }
    CheckSurface()->SetClipRect(0, 0, 0, 0);
}

void ZuGrailPort::ResetClipRect()
{
    GfxSurface* s = CheckSurface();
    gc->cx1 = gc->x1;
    gc->cy1 = gc->y1;
    gc->cx2 = gc->x2;
    gc->cy2 = gc->y2;
    int x1 = Trunc(gc->x1), y1 = Trunc(gc->y1);
    s->SetClipRect(x1, y1, Extent(static_cast<double>(Trunc(gc->x2)) - x1 + 1),
                   Extent(static_cast<double>(Trunc(gc->y2)) - y1 + 1));
}

// ---------------------------------------------------------------------------
// Dots, lines and rectangles
// ---------------------------------------------------------------------------

void ZuGrailPort::DrawDot(double x, double y, const ZuColorPixel& color)
{
    CheckSurface()->SetPixelRGB(Trunc(x + gc->ox), Trunc(y + gc->oy), Word(color));
}

void ZuGrailPort::DrawDot(double x, double y)
{
    DrawDot(x, y, gc->fore_color);
}

// A negative length would draw |length| + 2 pixels backwards: nothing.
void ZuGrailPort::DrawLineDX(double x, double y, double dx)
{
    GfxSurface* s = CheckSurface();
    if (!(dx > 0))
        return;
    double X = x + gc->ox;
    int Y = Trunc(y + gc->oy);
    s->DrawLine(Trunc(X), Y, Trunc(X + dx - 1), Y, Word(gc->fore_color), gc->dash_pattern,
                gc->dash_count);
}

void ZuGrailPort::DrawLineDY(double x, double y, double dy)
{
    GfxSurface* s = CheckSurface();
    if (!(dy > 0))
        return;
    int X = Trunc(x + gc->ox);
    double Y = y + gc->oy;
    s->DrawLine(X, Trunc(Y), X, Trunc(Y + dy - 1), Word(gc->fore_color), gc->dash_pattern,
                gc->dash_count);
}

void ZuGrailPort::DrawLineToX(double x1, double y, double x2)
{
    DrawHairLineTo(x1, y, x2, y);
}

void ZuGrailPort::DrawLineToY(double x, double y1, double y2)
{
    DrawHairLineTo(x, y1, x, y2);
}

void ZuGrailPort::DrawHairLineTo(double x1, double y1, double x2, double y2)
{
    GfxSurface* s = CheckSurface();
    s->DrawLine(Trunc(x1 + gc->ox), Trunc(y1 + gc->oy), Trunc(x2 + gc->ox), Trunc(y2 + gc->oy),
                Word(gc->fore_color), gc->dash_pattern, gc->dash_count);
}

void ZuGrailPort::DrawHairLine(double x, double y, double dx, double dy)
{
    DrawHairLineTo(x, y, x + dx, y + dy);
}

void ZuGrailPort::DrawAALineTo(double x1, double y1, double x2, double y2)
{
    GfxSurface* s = CheckSurface();
    s->DrawAALine(Trunc(x1 + gc->ox), Trunc(y1 + gc->oy), Trunc(x2 + gc->ox), Trunc(y2 + gc->oy),
                  Word(gc->fore_color));
}

void ZuGrailPort::DrawAALine(double x, double y, double dx, double dy)
{
    DrawAALineTo(x, y, x + dx, y + dy);
}

// Four sides clockwise, each leaving out its last pixel. A rectangle one
// pixel wide or high is its one line (four sides would reach out of it); an
// inside-out one draws nothing.
void ZuGrailPort::DrawRect(double x1, double y1, double x2, double y2)
{
    GfxSurface* s = CheckSurface();
    int X1 = Trunc(x1 + gc->ox), Y1 = Trunc(y1 + gc->oy), X2 = Trunc(x2 + gc->ox),
        Y2 = Trunc(y2 + gc->oy);
    unsigned c = Word(gc->fore_color);
    const unsigned short* p = gc->dash_pattern;
    int n = gc->dash_count;
    if (X2 < X1 || Y2 < Y1)
        return;
    if (X1 == X2 || Y1 == Y2) {
        s->DrawLine(X1, Y1, X2, Y2, c, p, n);
        return;
    }
    s->DrawLine(X1, Y1, X2 - 1, Y1, c, p, n);
    s->DrawLine(X2, Y1, X2, Y2 - 1, c, p, n);
    s->DrawLine(X2, Y2, X1 + 1, Y2, c, p, n);
    s->DrawLine(X1, Y2, X1, Y1 + 1, c, p, n);
}

void ZuGrailPort::DrawRect(const ZuRect& r, double margin)
{
    double x1, y1, x2, y2;
    if (Shrunk(r, margin, x1, y1, x2, y2))
        DrawRect(x1, y1, x2, y2);
}

void ZuGrailPort::FillRect(double x1, double y1, double x2, double y2)
{
    GfxSurface* s = CheckSurface();
    int X1 = Trunc(x1 + gc->ox), Y1 = Trunc(y1 + gc->oy), X2 = Trunc(x2 + gc->ox),
        Y2 = Trunc(y2 + gc->oy);
    unsigned w = Extent(static_cast<double>(X2) - X1 + 1),
             h = Extent(static_cast<double>(Y2) - Y1 + 1);
    unsigned c = Word(gc->fore_color);
    if (!gc->pure_color && (c >> 24) != 0)
        s->RectFillBlend(X1, Y1, w, h, c);
    else
        s->RectFill(X1, Y1, w, h, c);
}

void ZuGrailPort::FillRect(const ZuRect& r, double margin)
{
    double x1, y1, x2, y2;
    if (Shrunk(r, margin, x1, y1, x2, y2))
        FillRect(x1, y1, x2, y2);
}

// ---------------------------------------------------------------------------
// Text
// ---------------------------------------------------------------------------

// Each call copies the characters into a buffer of its own (the stack for
// short texts, the temporary zone for long ones): the user-interface thread
// and the page drawing thread draw text at the same time.
void ZuGrailPort::ShowText(double x, double y, const ZuStringRef& text, unsigned start,
                           unsigned count, const ZuTextStyle& style, double)
{
    GfxSurface* s = CheckSurface();
    // No handle is copied here: handles link into lists that the text
    // drawing of another thread must not wait on.
    ZuGrailFont* font = gc->font.Resolve();
    if (font == nullptr || !text.IsValid())
        return;
    unsigned length = text->CharacterCount();
    if (start >= length)
        return;
    if (count == 0 || count > length - start)
        count = length - start;

    char local[400];
    char* buffer = local;
    if (count >= sizeof local) {
        buffer =
            static_cast<char*>(Zuvi_temp_zone->Alloc(count + 1, "char", __LINE__, ZU_SRC_FILE));
        if (buffer == nullptr)
            return;
    }
    for (unsigned i = 0; i < count; ++i) {
        unsigned short code = 0;
        text->GetCharacter(start + i, code);
        buffer[i] = static_cast<char>(code & 0xFF);
    }
    buffer[count] = 0;

    GfxFontCache* cache = font->RetCache();
    double W = font->ComputeTextWidth(buffer);
    double A = font->RetAscent();
    double D = font->RetDescent();
    int angle = Trunc(style.RetAngle());
    ZuTextHPos h = style;
    ZuTextVPos v = style;
    const double vpos[4] = {A, (A + D) / 2, D, 0};
    unsigned vi = static_cast<unsigned>(v) < 4 ? static_cast<unsigned>(v) : 3;
    switch (angle) {
    case 0:
        if (h == ZU_TEXT_HPOS_CENTER)
            x -= W / 2;
        else if (h == ZU_TEXT_HPOS_RIGHT)
            x -= W;
        if (static_cast<unsigned>(v) < 4)
            y += vpos[vi];
        break;
    case 90:
        if (h == ZU_TEXT_HPOS_CENTER)
            y += W / 2;
        else if (h == ZU_TEXT_HPOS_RIGHT)
            y += W;
        if (static_cast<unsigned>(v) < 4)
            x += vpos[vi];
        break;
    case 270:
        if (h == ZU_TEXT_HPOS_CENTER)
            y -= W / 2;
        else if (h == ZU_TEXT_HPOS_RIGHT)
            y -= W;
        if (static_cast<unsigned>(v) < 4)
            x -= vpos[vi];
        break;
    default:
        break;
    }

    unsigned colour = Word(gc->fore_color);
    for (unsigned i = 0; cache != nullptr && i < count; ++i) {
        unsigned short code = static_cast<unsigned char>(buffer[i]);
        GfxFontCache::GlyphGeom geom;
        cache->GetGlyphGeometry(code, geom);
        cache->DrawGlyph(code, Trunc(x + gc->ox), Trunc(y + gc->oy), colour, s, angle);
        if (angle == 0)
            x += geom.advance;
        else if (angle == 90)
            y -= geom.advance;
        else if (angle == 270)
            y += geom.advance;
    }
    if (buffer != local)
        ZuMemZone::FreeAnyZone(buffer, __LINE__, ZU_SRC_FILE);
}

void ZuGrailPort::ShowText(double x1, double y1, double x2, double y2, const ZuStringRef& text,
                           unsigned start, unsigned count, const ZuTextStyle& style)
{
    if (x2 <= x1 || y2 <= y1)
        return;
    double cx = (x1 + x2 + 1) / 2, cy = (y1 + y2 + 1) / 2;
    unsigned h = static_cast<ZuTextHPos>(style), v = static_cast<ZuTextVPos>(style);
    double x = x1, y = y1;
    switch (Trunc(style.RetAngle())) {
    case 0: {
        const double xs[4] = {x1, cx, x2, x1}, ys[4] = {y1, cy, y2, y1};
        x = h < 4 ? xs[h] : x1;
        y = v < 4 ? ys[v] : y1;
        break;
    }
    case 90: {
        const double xs[4] = {x1, cx, x2, x1}, ys[4] = {y2, cy, y1, y2};
        x = v < 4 ? xs[v] : x1;
        y = h < 4 ? ys[h] : y1;
        break;
    }
    case 270: {
        const double xs[4] = {x2, cx, x1, x2}, ys[4] = {y1, cy, y2, y1};
        x = v < 4 ? xs[v] : x1;
        y = h < 4 ? ys[h] : y1;
        break;
    }
    default:
        break;
    }
    ShowText(x, y, text, start, count, style, x2 - x1 + 1);
}

void ZuGrailPort::ShowText(const ZuRect& r, const ZuStringRef& text, unsigned start, unsigned count,
                           const ZuTextStyle& style, double margin)
{
    double x1, y1, x2, y2;
    if (Shrunk(r, margin, x1, y1, x2, y2))
        ShowText(x1, y1, x2, y2, text, start, count, style);
}

// ---------------------------------------------------------------------------
// Scrolling, copying and blending
// ---------------------------------------------------------------------------

void ZuGrailPort::ScrollRect(double x1, double y1, double x2, double y2, double dx, double dy)
{
    GfxSurface* s = CheckSurface();
    double X1 = x1 + gc->ox, Y1 = y1 + gc->oy;
    s->RectCopy(Trunc(X1 + dx), Trunc(Y1 + dy), Extent(x2 + gc->ox - X1 + 1),
                Extent(y2 + gc->oy - Y1 + 1), Trunc(X1), Trunc(Y1), nullptr, true);
}

void ZuGrailPort::ScrollRect(const ZuRect& r, double dx, double dy, double margin)
{
    double x1, y1, x2, y2;
    if (Shrunk(r, margin, x1, y1, x2, y2))
        ScrollRect(x1, y1, x2, y2, dx, dy);
}

namespace {

// The surface of a source port; a window's pixels start at its frame origin.
GfxSurface* SourceSurface(ZuGrailPort* port, double& sx, double& sy)
{
    if (port->IsKindOf(ZuGrailWindowRef::RetRuntime())) {
        ZuRect frame;
        static_cast<ZuGrailWindow*>(port)->GetFrameGeometry(frame);
        sx -= frame.X1();
        sy -= frame.Y1();
    }
    GfxSurface* s = port->LockSurface();
    port->UnlockSurface(s);
    if (s == nullptr)
        ZU_ABORT("Failed assertion: source->surface");
    return s;
}

} // namespace

void ZuGrailPort::CopyOrBlend(const ZuGrailPortRef& source, double sx, double sy, double x1,
                              double y1, double x2, double y2, bool alpha, double a)
{
    GfxSurface* s = CheckSurface();
    if (!source.IsValid())
        ZU_ABORT("Failed assertion: source.IsValid ()");
    double X1 = x1 + gc->ox, Y1 = y1 + gc->oy, X2 = x2 + gc->ox, Y2 = y2 + gc->oy;
    if (!(X1 <= gc->x2 && gc->x1 <= X2 && Y1 <= gc->y2 && gc->y1 <= Y2))
        return;
    GfxSurface* src = SourceSurface(source.CheckAndResolve(), sx, sy);
    unsigned w = Extent(X2 - X1 + 1), h = Extent(Y2 - Y1 + 1);
    if (alpha)
        s->RectBlendAlpha(Trunc(X1), Trunc(Y1), w, h, Trunc(sx), Trunc(sy), a, src, true);
    else if (gc->pure_color)
        s->RectCopy(Trunc(X1), Trunc(Y1), w, h, Trunc(sx), Trunc(sy), src, true);
    else
        s->RectBlend(Trunc(X1), Trunc(Y1), w, h, Trunc(sx), Trunc(sy), src, true);
}

void ZuGrailPort::CopyRect(const ZuGrailPortRef& source, double sx, double sy, double x1, double y1,
                           double x2, double y2)
{
    CopyOrBlend(source, sx, sy, x1, y1, x2, y2, false, 0.0);
}

void ZuGrailPort::CopyRect(const ZuGrailPortRef& source, double sx, double sy, const ZuRect& r,
                           double margin)
{
    double x1, y1, x2, y2;
    if (Shrunk(r, margin, x1, y1, x2, y2))
        CopyRect(source, sx, sy, x1, y1, x2, y2);
}

// Each destination pixel reads the source bilinearly at i x (Ws - 1) /
// (Wd - 1); a destination one pixel wide or high reads the source's first
// column or row (the factor would divide by zero).
void ZuGrailPort::ScaledCopy(const ZuGrailPortRef& source, const ZuRect& from, const ZuRect& to,
                             bool alpha, double a)
{
    GfxSurface* s = CheckSurface();
    if (!source.IsValid())
        ZU_ABORT("Failed assertion: source.IsValid ()");
    double X1 = to.X1() + gc->ox, Y1 = to.Y1() + gc->oy, X2 = to.X2() + gc->ox,
           Y2 = to.Y2() + gc->oy;
    if (to.IsEmpty() || !(X1 <= gc->x2 && gc->x1 <= X2 && Y1 <= gc->y2 && gc->y1 <= Y2))
        return;
    if (from.DX() == to.DX() && from.DY() == to.DY()) {
        if (alpha)
            BlendRect(source, a, from.X1(), from.Y1(), to.X1(), to.Y1(), to.X2(), to.Y2());
        else
            CopyRect(source, from.X1(), from.Y1(), to.X1(), to.Y1(), to.X2(), to.Y2());
        return;
    }
    double sx = Trunc(from.X1()), sy = Trunc(from.Y1());
    GfxSurface* src = SourceSurface(source.CheckAndResolve(), sx, sy);
    int ws = Trunc(from.DX()), hs = Trunc(from.DY()), wd = Trunc(to.DX()), hd = Trunc(to.DY());
    if (ws <= 0 || hs <= 0 || wd <= 0 || hd <= 0)
        return;
    int dx0 = Trunc(X1), dy0 = Trunc(Y1);
    double fx = wd > 1 ? static_cast<double>(ws - 1) / (wd - 1) : 0.0;
    double fy = hd > 1 ? static_cast<double>(hs - 1) / (hd - 1) : 0.0;
    int sx0 = Trunc(sx), sy0 = Trunc(sy);
    bool pure = gc->pure_color && !alpha;
    // The source column and fraction of every destination column, once.
    std::vector<int> cols(static_cast<size_t>(wd));
    std::vector<double> fractions(static_cast<size_t>(wd));
    for (int i = 0; i < wd; ++i) {
        double px = i * fx;
        cols[static_cast<size_t>(i)] = static_cast<int>(px);
        fractions[static_cast<size_t>(i)] = px - static_cast<int>(px);
    }
    // A 32-bit source is read in place where the four pixels of a read lie
    // inside its clip, with the engine's own arithmetic; elsewhere the
    // engine reads.
    bool words = src->BytesPerPixel() == 4 && src->Depth() != 1;
    for (int j = 0; j < hd; ++j) {
        double py = j * fy;
        int row = static_cast<int>(py);
        double fr = py - row;
        long y0 = static_cast<long>(sy0) + row;
        bool rows_inside = words && y0 >= src->ClipY1() && y0 + 1 < src->ClipY2();
        const unsigned* line0 =
            rows_inside ? reinterpret_cast<const unsigned*>(src->Line(static_cast<int>(y0)))
                        : nullptr;
        const unsigned* line1 =
            rows_inside ? reinterpret_cast<const unsigned*>(src->Line(static_cast<int>(y0 + 1)))
                        : nullptr;
        for (int i = 0; i < wd; ++i) {
            int col = cols[static_cast<size_t>(i)];
            double fc = fractions[static_cast<size_t>(i)];
            long x0 = static_cast<long>(sx0) + col;
            unsigned word;
            if (rows_inside && x0 >= src->ClipX1() && x0 + 1 < src->ClipX2())
                word = MergeWords(line0[x0], line1[x0], line0[x0 + 1], line1[x0 + 1], fc, fr);
            else
                word = src->RetPixelMergeRGB(sx0 + col, sy0 + row, fc, fr);
            if (alpha)
                word = ScaleCover(word, a);
            if (pure)
                s->SetPixelRGB(dx0 + i, dy0 + j, word);
            else
                s->SetPixelRGBBlend(dx0 + i, dy0 + j, word);
        }
    }
}

void ZuGrailPort::CopyRect(const ZuGrailPortRef& source, const ZuRect& from, const ZuRect& to)
{
    ScaledCopy(source, from, to, false, 0.0);
}

void ZuGrailPort::BlendRect(const ZuGrailPortRef& source, double a, double sx, double sy, double x1,
                            double y1, double x2, double y2)
{
    if (a == 0.0) {
        CopyRect(source, sx, sy, x1, y1, x2, y2);
        return;
    }
    CopyOrBlend(source, sx, sy, x1, y1, x2, y2, true, a);
}

void ZuGrailPort::BlendRect(const ZuGrailPortRef& source, double a, const ZuRect& from,
                            const ZuRect& to)
{
    if (a == 0.0) {
        CopyRect(source, from, to);
        return;
    }
    ScaledCopy(source, from, to, true, a);
}

void ZuGrailPort::BlendRect(const ZuGrailPortRef& source, double a, double sx, double sy,
                            const ZuRect& r, double margin)
{
    double x1, y1, x2, y2;
    if (Shrunk(r, margin, x1, y1, x2, y2))
        BlendRect(source, a, sx, sy, x1, y1, x2, y2);
}

// ---------------------------------------------------------------------------
// Pixels and bitmaps
// ---------------------------------------------------------------------------

void ZuGrailPort::SetRGBPixels(double x, double y, double n, const unsigned char* bgr)
{
    GfxSurface* s = CheckSurface();
    unsigned count = Extent(n);
    if (count == 0 || bgr == nullptr)
        return;
    s->SetPixelLineBGR24(Trunc(x + gc->ox), Trunc(y + gc->oy), count, bgr);
}

void ZuGrailPort::SetRGBPixels(double x, double y, double n, const unsigned char* r,
                               const unsigned char* g, const unsigned char* b)
{
    GfxSurface* s = CheckSurface();
    unsigned count = Extent(n);
    if (r == nullptr || g == nullptr || b == nullptr)
        return;
    double X = x + gc->ox;
    int Y = Trunc(y + gc->oy);
    for (unsigned i = 0; i < count; ++i)
        s->SetPixelRGB(Trunc(X + i), Y,
                       static_cast<unsigned>(r[i]) << 16 | static_cast<unsigned>(g[i]) << 8 | b[i]);
}

void ZuGrailPort::SetGrayPixels(double x, double y, double n, const unsigned char* grey)
{
    SetRGBPixels(x, y, n, grey, grey, grey);
}

void ZuGrailPort::SetBitmap(double x, double y, double dx, double dy, const unsigned char* bits)
{
    GfxSurface* s = CheckSurface();
    unsigned w = Extent(dx), rows = Extent(dy);
    if (bits == nullptr)
        return;
    unsigned row_bytes = (w + 7) / 8;
    unsigned colour = Word(gc->fore_color);
    int X = Trunc(x + gc->ox);
    for (unsigned row = 0; row < rows; ++row)
        s->SetPixelLineMono(X, Trunc(y + gc->oy + row), w, colour,
                            bits + static_cast<size_t>(row) * row_bytes);
}

void ZuGrailPort::QuickBlt(double x, double y, double dx, double dy, const ZuObjectRef& hook)
{
    GfxSurface* s = CheckSurface();
    ZuObject* object = hook.Resolve();
    if (object == nullptr)
        return;
    ZuiGrailHook* grail_hook =
        static_cast<ZuiGrailHook*>(object->CastToInterface(&ZuiGrailHook::interface));
    if (grail_hook == nullptr)
        return;
    s->SetEmpty(false);
    long X = Trunc(x + gc->ox), Y = Trunc(y + gc->oy);
    long w = Trunc(dx), h = Trunc(dy);
    if (X < 0) {
        w += X;
        X = 0;
    }
    if (Y < 0) {
        h += Y;
        Y = 0;
    }
    if (X + w > static_cast<long>(s->DX()))
        w = static_cast<long>(s->DX()) - X;
    if (Y + h > static_cast<long>(s->DY()))
        h = static_cast<long>(s->DY()) - Y;
    if (w <= 0 || h <= 0)
        return;
    int pitch = static_cast<int>(s->Pitch());
    unsigned char* row = s->Line(static_cast<int>(Y));
    switch (s->Depth()) {
    case 1:
        grail_hook->CopyTo1Bit(static_cast<int>(X % 8), 0, static_cast<int>(w), static_cast<int>(h),
                               row + X / 8, pitch);
        break;
    case 15:
        grail_hook->CopyTo15Bit(0, 0, static_cast<int>(w), static_cast<int>(h), row + X * 2, pitch);
        break;
    case 16:
        grail_hook->CopyTo16Bit(0, 0, static_cast<int>(w), static_cast<int>(h), row + X * 2, pitch);
        break;
    default:
        ZU_ABORT("Depth is not supported");
    }
}

// ---------------------------------------------------------------------------
// Searches
// ---------------------------------------------------------------------------

bool ZuGrailPort::FindAlongRow(double& x, double y, const ZuColorPixel& color, int dir,
                               unsigned* found) const
{
    if (surface == nullptr || dir == 0)
        return false;
    long width = surface->DX();
    long col = Trunc(x + gc->ox);
    int row = Trunc(y + gc->oy);
    unsigned want = Word(color);
    if (dir < 0) {
        if (col >= width)
            col = width - 1;
        for (; col >= 0; --col) {
            unsigned pixel = surface->RetPixelRGB(static_cast<int>(col), row);
            if (pixel == want) {
                x = col - gc->ox;
                if (found != nullptr)
                    *found = pixel;
                return true;
            }
        }
        return false;
    }
    if (col < 0)
        col = 0;
    for (; col < width; ++col) {
        unsigned pixel = surface->RetPixelRGB(static_cast<int>(col), row);
        if (pixel == want) {
            x = col - gc->ox;
            if (found != nullptr)
                *found = pixel;
            return true;
        }
    }
    return false;
}

bool ZuGrailPort::FindAlongColumn(double x, double& y, const ZuColorPixel& color, int dir,
                                  unsigned* found) const
{
    if (surface == nullptr || dir == 0)
        return false;
    long height = surface->DY();
    int col = Trunc(x + gc->ox);
    long row = Trunc(y + gc->oy);
    unsigned want = Word(color);
    long step = dir < 0 ? -1 : 1;
    if (dir < 0 && row >= height)
        row = height - 1;
    if (dir > 0 && row < 0)
        row = 0;
    for (; row >= 0 && row < height; row += step) {
        unsigned pixel = surface->RetPixelRGB(col, static_cast<int>(row));
        if (pixel == want) {
            y = row - gc->oy;
            if (found != nullptr)
                *found = pixel;
            return true;
        }
    }
    return false;
}

bool ZuGrailPort::FindDXSamePixel(double& x, double y, const ZuColorPixel& color, int dir) const
{
    return FindAlongRow(x, y, color, dir, nullptr);
}

bool ZuGrailPort::FindDYSamePixel(double x, double& y, const ZuColorPixel& color, int dir) const
{
    return FindAlongColumn(x, y, color, dir, nullptr);
}

bool ZuGrailPort::FindDXOtherPixel(double& x, double y, const ZuColorPixel& color, int dir,
                                   ZuColorPixel& found) const
{
    unsigned pixel = 0;
    if (!FindAlongRow(x, y, color, dir, &pixel))
        return false;
    found = pixel;
    return true;
}

bool ZuGrailPort::FindDYOtherPixel(double x, double& y, const ZuColorPixel& color, int dir,
                                   ZuColorPixel& found) const
{
    unsigned pixel = 0;
    if (!FindAlongColumn(x, y, color, dir, &pixel))
        return false;
    found = pixel;
    return true;
}
