#include "app/colorslider.h"

#include <algorithm>
#include <cmath>

#include "app/clippedline.h"
#include "app/colordef.h"
#include "si/adorner.h"
#include "si/bitsetinfo.h"
#include "si/classfactory.h"
#include "si/event.h"
#include "si/grail.h"
#include "si/memzone.h"
#include "si/pubdata.h"
#include "si/rtclass.h"
#include "si/types.h"
#include "si/values.h"
#include "si/window.h"

ZU_IMPLEMENT_CLASS(CColorSlider, "app/colorslider", ZU_CLASS_PLAIN)
ZU_EXPORT_NOTIFY(CColorSlider, modify, "notify_Modify", &CColorSlider::notify_Modify)
static Zuvi_NotifyExport zuvi_notify_CColorSlider_visible(&CColorSliderRef::RetRuntime(), "Modify",
                                                          "visible_color", &CColorSlider::Modify);

ZuAtomRef CColorSlider::notify_Modify;
ZuAtomRef CColorSlider::Modify;

namespace {

const char* const kFile = "colorslider";

CColorSlider* AsSlider(ZuObject* o)
{
    return static_cast<CColorSlider*>(o);
}

void GetVisible(ZuValueRef& v, ZuObject* o)
{
    ZuColorPixel c;
    AsSlider(o)->RetColor(c);
    v = ZuValueRef(c);
}
bool SetVisible(const ZuValueRef& v, ZuObject* o)
{
    return v.IsValid() && AsSlider(o)->ApplyColor(ZuColorPixel(v));
}

#define CORNER(NAME)                                                   \
    void Get##NAME(ZuValueRef& v, ZuObject* o)                         \
    {                                                                  \
        v = ZuValueRef(AsSlider(o)->Get##NAME());                      \
    }                                                                  \
    bool Set##NAME(const ZuValueRef& v, ZuObject* o)                   \
    {                                                                  \
        return v.IsValid() && AsSlider(o)->Set##NAME(ZuColorPixel(v)); \
    }
CORNER(ColorDR)
CORNER(ColorDL)
CORNER(ColorUR)
CORNER(ColorUL)
#undef CORNER

void GetStyleData(ZuValueRef& v, ZuObject* o)
{
    v = ZuValueRef(AsSlider(o)->GetStyle());
}
bool SetStyleData(const ZuValueRef& v, ZuObject* o)
{
    return v.IsValid() && AsSlider(o)->SetStyle(Zuvi_ValueToCard32(v));
}

const Zuvi_BitsetDataDef kStyleNames[] = {
    {CColorSlider::VERTICAL, "vertical", ZU_BITSET_DATA_MASK},
    {CColorSlider::HORIZONTAL, "horizontal", ZU_BITSET_DATA_MASK},
    {CColorSlider::HUE, "hue", ZU_BITSET_DATA_MASK},
    {CColorSlider::ENABLE_CLICK, "enable click", ZU_BITSET_DATA_MASK},
    {CColorSlider::FULL_SIZE, "full size", ZU_BITSET_DATA_MASK},
};

void DeclareColorSliderData(ZuRuntime* runtime)
{
    const ZuRuntimeRef* rt = &CColorSliderRef::RetRuntime();
    static Zuvi_PubDataDef items[] = {
        {rt, "visible_color", "Visible color", &ZuColorPixel_type, true, true, &GetVisible,
         &SetVisible},
        {rt, "visible_colorDR", "Color down right", &ZuColorPixel_type, true, true, &GetColorDR,
         &SetColorDR},
        {rt, "visible_colorDL", "Color down left", &ZuColorPixel_type, true, true, &GetColorDL,
         &SetColorDL},
        {rt, "visible_colorUR", "Color up right", &ZuColorPixel_type, true, true, &GetColorUR,
         &SetColorUR},
        {rt, "visible_colorUL", "Color up left", &ZuColorPixel_type, true, true, &GetColorUL,
         &SetColorUL},
        {rt, "colorslider_style", "Color slider style", &Card32_type, true, true, &GetStyleData,
         &SetStyleData},
    };
    for (Zuvi_PubDataDef& item : items)
        runtime->PublishData(item);
    runtime->PublishDataEx(items[5], kStyleNames, sizeof kStyleNames);
}

Zuvi_PubDataExport colorslider_data(&DeclareColorSliderData, CColorSliderRef::RetRuntime());

double Clamp01(double v)
{
    return v < 0 ? 0 : (v > 1 ? 1 : v);
}

double Lerp(double a, double b, double t, double n)
{
    return (b - a) * t / n + a;
}

struct Rgb {
    double r, g, b;
};

Rgb RgbOf(const ZuColorPixel& c)
{
    return {c.RealRed(), c.RealGreen(), c.RealBlue()};
}

Rgb Lerp(const Rgb& a, const Rgb& b, double t, double n)
{
    return {Lerp(a.r, b.r, t, n), Lerp(a.g, b.g, t, n), Lerp(a.b, b.b, t, n)};
}

CColorDefRef NewColorDef(int model)
{
    CColorDefRef def = ZuNew<CColorDef>(Zuvi_app_zone, __LINE__, kFile);
    def->SetValue(model);
    return def;
}

// A rectangle outline from lines cut to what can show: a box read from an
// interface file may be far larger than any window.
void Outline(const ZuGrailPortRef& port, double x1, double y1, double x2, double y2,
             const ZuRect& visible)
{
    Zuvi_DrawLineDX(port, x1, y1, x2 - x1 + 1, visible);
    Zuvi_DrawLineDX(port, x1, y2, x2 - x1 + 1, visible);
    Zuvi_DrawLineDY(port, x1, y1, y2 - y1 + 1, visible);
    Zuvi_DrawLineDY(port, x2, y1, y2 - y1 + 1, visible);
}

// The area to draw cut to the port's clip, and to the window when the
// slider lies in one; empty when nothing of it can show.
ZuRect VisibleArea(const ZuGrailPortRef& port, const ZuRect& area, const ZuWindowRef& window)
{
    if (window.IsValid())
        return Zuvi_VisibleArea(port, area, window);
    ZuRect clip;
    port->GetClipRect(clip);
    if (area.IsEmpty() || clip.IsEmpty())
        return ZuRect();
    const double x1 = std::max(area.X1(), clip.X1()), y1 = std::max(area.Y1(), clip.Y1());
    const double x2 = std::min(area.X2(), clip.X2()), y2 = std::min(area.Y2(), clip.Y2());
    if (!(x2 >= x1) || !(y2 >= y1))
        return ZuRect();
    return ZuRect(x1, y1, x2, y2);
}

} // namespace

CColorSlider::CColorSlider()
    : color_ul(1.0, 1.0, 1.0, 0.0), color_ur(1.0, 0.0, 0.0, 0.0), color_dl(0.0, 0.0, 0.0, 0.0),
      color_dr(0.0, 1.0, 0.0, 0.0)
{
    // Reals scale by 256 in that constructor: the setters give exact bytes.
    for (ZuColorPixel* c : {&color_ul, &color_ur, &color_dl, &color_dr}) {
        const double r = c->Red() ? 1.0 : 0.0, g = c->Green() ? 1.0 : 0.0,
                     b = c->Blue() ? 1.0 : 0.0;
        c->SetRed(r);
        c->SetGreen(g);
        c->SetBlue(b);
    }
    ChangeStyle(ZU_CTRL_DRAW_RELIEF, true);
}

bool CColorSlider::SetStyle(unsigned style)
{
    slider_style = style;
    margin = (style & FULL_SIZE) ? 0 : 5;
    return true;
}

bool CColorSlider::SetColorUL(const ZuColorPixel& color)
{
    color_ul = color;
    return true;
}
bool CColorSlider::SetColorUR(const ZuColorPixel& color)
{
    color_ur = color;
    return true;
}
bool CColorSlider::SetColorDL(const ZuColorPixel& color)
{
    color_dl = color;
    return true;
}
bool CColorSlider::SetColorDR(const ZuColorPixel& color)
{
    color_dr = color;
    return true;
}

bool CColorSlider::SetPositionX(double x)
{
    if (x == x)
        position_x = Clamp01(x);
    return true;
}

bool CColorSlider::SetPositionY(double y)
{
    if (y == y)
        position_y = Clamp01(y);
    return true;
}

void CColorSlider::ColorAt(double x, double y, double& r, double& g, double& b) const
{
    const bool h_bit = (slider_style & HORIZONTAL) != 0;
    const bool v_bit = (slider_style & VERTICAL) != 0;
    if (slider_style & HUE) {
        double hue = x; // without "vertical" (also when neither is set)
        if (h_bit && v_bit)
            hue = x + (1 - x) * y;
        else if (!h_bit && v_bit)
            hue = y;
        CColorDefRef def = NewColorDef(CColorDef::MODEL_HSB);
        def->SetHSB(hue, 1.0, 1.0);
        def->GetRGB(r, g, b);
        return;
    }
    Rgb c;
    if (h_bit && v_bit)
        c = Lerp(Lerp(RgbOf(color_ul), RgbOf(color_ur), x, 1),
                 Lerp(RgbOf(color_dl), RgbOf(color_dr), x, 1), y, 1);
    else if (!h_bit && v_bit)
        c = Lerp(RgbOf(color_ul), RgbOf(color_dl), y, 1);
    else
        c = Lerp(RgbOf(color_ul), RgbOf(color_ur), x, 1);
    r = c.r;
    g = c.g;
    b = c.b;
}

void CColorSlider::RetColor(ZuColorPixel& out) const
{
    double r, g, b;
    ColorAt(position_x, position_y, r, g, b);
    out = ZuColorPixel(0u);
    out.SetRed(Clamp01(r));
    out.SetGreen(Clamp01(g));
    out.SetBlue(Clamp01(b));
}

bool CColorSlider::ApplyColor(const ZuColorPixel& color)
{
    return ApplyRGB(color.RealRed(), color.RealGreen(), color.RealBlue());
}

bool CColorSlider::ApplyRGB(double r, double g, double b)
{
    if (slider_style & HUE) {
        CColorDefRef def = NewColorDef(CColorDef::MODEL_RGB);
        def->SetRGB(r, g, b);
        double h, s, v;
        def->GetHSB(h, s, v);
        position_x = position_y = Clamp01(h);
        return true;
    }
    double x0 = 0, y0 = 0, side = 1;
    double best_x = 0, best_y = 0;
    bool found = false;
    for (int pass = 0; pass < 3; ++pass) {
        const double step = side * 0.1;
        double best = 1000000.0;
        found = false;
        for (double sy = y0 + step / 2; sy < y0 + side; sy += step)
            for (double sx = x0 + step / 2; sx < x0 + side; sx += step) {
                double cr, cg, cb;
                ColorAt(sx, sy, cr, cg, cb);
                const double d = std::fabs(cr - r) + std::fabs(cg - g) + std::fabs(cb - b);
                if (d < best) {
                    best = d;
                    best_x = sx;
                    best_y = sy;
                    found = true;
                }
            }
        // A colour that is not a number is near to nothing: no sample wins
        // and the position stays where it was.
        if (!found)
            return true;
        x0 = best_x - step / 2;
        y0 = best_y - step / 2;
        side = step;
    }
    position_x = Clamp01(x0);
    position_y = Clamp01(y0);
    return true;
}

bool CColorSlider::Field(double& ox, double& oy, double& w, double& h) const
{
    ox = box.X1() + margin;
    oy = box.Y1() + margin;
    w = box.DX() - 2 * margin - 1;
    h = box.DY() - 2 * margin - 1;
    return w > 0 && h > 0;
}

void CColorSlider::PressStep(const ZuEventRef& event)
{
    if (event.IsInvalid())
        return;
    double ox, oy, w, h;
    // A box too small for its margin has no field to point into: the
    // position stays rather than a division by zero.
    if (Field(ox, oy, w, h)) {
        SetPositionX((event->RetX() - ox) / w);
        SetPositionY((event->RetY() - oy) / h);
    }
    ZuControl::ButtonPress(event);
    QuickReport(notify_Modify, 1);
    if (window.IsValid())
        window->SetDraggingView(ZuViewRef(this));
}

void CColorSlider::ButtonPress(const ZuEventRef& event)
{
    if (slider_style & ENABLE_CLICK)
        PressStep(event);
}

void CColorSlider::DragNotify(const ZuEventRef& event)
{
    if (!(slider_style & ENABLE_CLICK))
        return;
    PressStep(event);
    Display(false);
    ZuControl::DragNotify(event);
    ZuAdornerRef adorner = RetAdorner();
    if (adorner.IsValid())
        adorner->Flush(ZU_FLUSH_SYNC);
}

void CColorSlider::ButtonRelease(const ZuEventRef& event)
{
    if (slider_style & ENABLE_CLICK) {
        PressStep(event);
        ZuControl::ButtonRelease(event);
    }
    // The press step took the drag again: the release always ends it, so
    // that later events go where the pointer is.
    if (window.IsValid())
        window->SetDraggingView(ZuViewNull);
}

void CColorSlider::DrawFront(const ZuGrailPortRef& port, const ZuRect& rect)
{
    if (port.IsInvalid())
        return;
    double ox, oy, w, h;
    if (!Field(ox, oy, w, h))
        return;
    const ZuRect visible = VisibleArea(port, rect, window);
    if (visible.IsEmpty())
        return;
    ZuAdornerRef adorner = port->RetAdorner();
    if (adorner.IsValid())
        adorner->DrawFrame(ZuAtomRef("lumbra_Box"), box, ZU_CTRL_STATE_NORMAL, 0.0);
    const bool h_bit = (slider_style & HORIZONTAL) != 0;
    const bool v_bit = (slider_style & VERTICAL) != 0;
    const bool click = (slider_style & ENABLE_CLICK) != 0;
    const double m = margin;
    const ZuColorPixel black(ZU_COLOR_BLACK);
    if (click) {
        port->SetForeColor(black);
        if (!h_bit)
            Zuvi_DrawLineDX(port, ox - m, std::floor(oy + position_y * h), w + 2 * m, visible);
        if (!v_bit)
            Zuvi_DrawLineDY(port, std::floor(ox + position_x * w), oy - m, h + 2 * m, visible);
    }
    double cw = std::max(w * 0.02, 2.0), ch = std::max(h * 0.02, 2.0);
    if (!h_bit) {
        cw = w;
        ch = 2;
    }
    if (!v_bit) {
        cw = 2;
        ch = h;
    }
    const Rgb ul = RgbOf(color_ul), ur = RgbOf(color_ur), dl = RgbOf(color_dl),
              dr = RgbOf(color_dr);
    const bool hue = (slider_style & HUE) != 0;
    CColorDefRef hsb;
    if (hue)
        hsb = NewColorDef(CColorDef::MODEL_HSB);
    ZuColorPixel cell(0u);
    for (double cx = 0; cx < w; cx += cw) {
        const double x1 = ox + cx, x2 = ox + std::min(cx + cw, w);
        if (x2 < visible.X1() || x1 > visible.X2())
            continue;
        double cy = 0;
        do {
            const double y1 = oy + cy, y2 = oy + std::min(cy + ch, h);
            if (!(y2 < visible.Y1() || y1 > visible.Y2())) {
                Rgb c;
                if (hue) {
                    hsb->SetHSB(Lerp(Lerp(0.0, 1.0, cx, w), 1.0, cy, h), 1.0, 1.0);
                    hsb->GetRGB(c.r, c.g, c.b);
                } else {
                    c = Lerp(Lerp(ul, ur, cx, w), Lerp(dl, dr, cx, w), cy, h);
                }
                cell.SetRed(Clamp01(c.r));
                cell.SetGreen(Clamp01(c.g));
                cell.SetBlue(Clamp01(c.b));
                port->SetForeColor(cell);
                port->FillRect(std::max(x1, visible.X1()), std::max(y1, visible.Y1()),
                               std::min(x2, visible.X2()), std::min(y2, visible.Y2()));
            }
            cy += ch;
        } while (cy < h);
    }
    if (!click)
        return;
    double px = position_x * w, py = position_y * h, hx = 4, hy = 4;
    if (!h_bit) {
        px = w / 2;
        hx = w / 2 - 1;
        hy = 2;
    }
    if (!v_bit) {
        py = h / 2;
        hy = h / 2 - 1;
        hx -= 2;
    }
    const double x1 = std::floor(ox + px - hx), y1 = std::floor(oy + py - hy);
    const double x2 = std::floor(ox + px + hx), y2 = std::floor(oy + py + hy);
    port->SetForeColor(ZuColorPixel(ZU_COLOR_WHITE));
    Outline(port, x1, y1, x2, y2, visible);
    port->SetForeColor(black);
    Outline(port, x1 - 1, y1 - 1, x2 + 1, y2 + 1, visible);
}
