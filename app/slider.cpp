#include "app/slider.h"

#include <algorithm>
#include <cmath>

#include "app/clippedline.h"
#include "si/adorner.h"
#include "si/bitsetinfo.h"
#include "si/event.h"
#include "si/grail.h"
#include "si/iconrecord.h"
#include "si/lookman.h"
#include "si/pubdata.h"
#include "si/rtclass.h"
#include "si/types.h"
#include "si/values.h"
#include "si/window.h"

ZU_IMPLEMENT_CLASS(CSlider, "app/slider", ZU_CLASS_PLAIN)
ZU_EXPORT_NOTIFY(CSlider, modify, "notify_Modify", &CSlider::notify_Modify)

ZuAtomRef CSlider::notify_Modify;

namespace {

CSlider* AsSlider(ZuObject* o)
{
    return static_cast<CSlider*>(o);
}

#define SLIDER_REAL(NAME)                                                  \
    void Get##NAME(ZuValueRef& v, ZuObject* o)                             \
    {                                                                      \
        v = ZuValueRef(AsSlider(o)->Get##NAME());                          \
    }                                                                      \
    bool Set##NAME(const ZuValueRef& v, ZuObject* o)                       \
    {                                                                      \
        return v.IsValid() && AsSlider(o)->Set##NAME(Zuvi_ValueToReal(v)); \
    }
#define SLIDER_CARD(NAME)                                                    \
    void Get##NAME(ZuValueRef& v, ZuObject* o)                               \
    {                                                                        \
        v = ZuValueRef(AsSlider(o)->Get##NAME());                            \
    }                                                                        \
    bool Set##NAME(const ZuValueRef& v, ZuObject* o)                         \
    {                                                                        \
        return v.IsValid() && AsSlider(o)->Set##NAME(Zuvi_ValueToCard32(v)); \
    }
SLIDER_CARD(Style)
SLIDER_REAL(Pos)
SLIDER_REAL(Min)
SLIDER_REAL(Max)
SLIDER_REAL(Step)
SLIDER_REAL(Log)
SLIDER_CARD(Grad)
SLIDER_CARD(Subdiv)
#undef SLIDER_REAL
#undef SLIDER_CARD

const Zuvi_BitsetDataDef kStyleNames[] = {
    {CSlider::VERTICAL, "Vertical", ZU_BITSET_DATA_MASK},
    {CSlider::HORIZONTAL, "Horizontal", ZU_BITSET_DATA_MASK},
    {CSlider::INTERNAL_GRADUATE, "Internal graduate", ZU_BITSET_DATA_MASK},
    {CSlider::LEFT_GRADUATE, "Left graduate", ZU_BITSET_DATA_MASK},
    {CSlider::RIGHT_GRADUATE, "Right graduate", ZU_BITSET_DATA_MASK},
};

void DeclareSliderData(ZuRuntime* runtime)
{
    const ZuRuntimeRef* rt = &CSliderRef::RetRuntime();
    static Zuvi_PubDataDef items[] = {
        {rt, "slider_style", "Slider style", &Card32_type, true, true, &GetStyle, &SetStyle},
        {rt, "slider_pos", "Position", &Real_type, true, true, &GetPos, &SetPos},
        {rt, "slider_min", "Min", &Real_type, true, true, &GetMin, &SetMin},
        {rt, "slider_max", "Max", &Real_type, true, true, &GetMax, &SetMax},
        {rt, "slider_step", "Step", &Real_type, true, true, &GetStep, &SetStep},
        {rt, "slider_log", "Log", &Real_type, true, true, &GetLog, &SetLog},
        {rt, "slider_grad", "Graduations", &Card32_type, true, true, &GetGrad, &SetGrad},
        {rt, "slider_subdiv", "Subdivisions", &Card32_type, true, true, &GetSubdiv, &SetSubdiv},
    };
    for (Zuvi_PubDataDef& item : items)
        runtime->PublishData(item);
    runtime->PublishDataEx(items[0], kStyleNames, sizeof kStyleNames);
}

Zuvi_PubDataExport slider_data(&DeclareSliderData, CSliderRef::RetRuntime());

// Into [0, 1]; what is not a number gives 0.
double Clamp01OrZero(double v)
{
    if (!(v > 0))
        return 0;
    return v > 1 ? 1 : v;
}

} // namespace

CSlider::CSlider()
{
    ChangeStyle(ZU_CTRL_DRAW_RELIEF, false);
}

bool CSlider::SetStyle(unsigned new_style)
{
    slider_style = new_style;
    return true;
}
bool CSlider::SetPos(double pos)
{
    position = Clamp01OrZero(pos);
    return true;
}
bool CSlider::SetMin(double v)
{
    minimum = v;
    return true;
}
bool CSlider::SetMax(double v)
{
    maximum = v;
    return true;
}
bool CSlider::SetStep(double v)
{
    step = v;
    return true;
}
bool CSlider::SetLog(double v)
{
    exponent = v;
    return true;
}
bool CSlider::SetGrad(unsigned count)
{
    graduations = count;
    return true;
}
bool CSlider::SetSubdiv(unsigned count)
{
    subdivisions = count == 0 ? 1 : count;
    return true;
}

// A negative or odd exponent would map outside [0, 1] or to no number at
// all: every answer is brought back into [0, 1].
double CSlider::Forward(double t) const
{
    return Clamp01OrZero(exponent == 0 ? t : std::pow(t, exponent));
}

double CSlider::Inverse(double pos) const
{
    return Clamp01OrZero(exponent == 0 ? pos : std::pow(pos, 1 / exponent));
}

bool CSlider::Place(double x, double y, double width, double height, unsigned new_style)
{
    slider_style = new_style;
    if (graduations != 0 && !(slider_style & INTERNAL_GRADUATE)) {
        const double g = grad_length;
        if (slider_style & HORIZONTAL) {
            if (slider_style & LEFT_GRADUATE) {
                y -= g;
                height += g;
            }
            if (slider_style & RIGHT_GRADUATE)
                height += g;
        }
        if (slider_style & VERTICAL) {
            if (slider_style & LEFT_GRADUATE) {
                x -= g;
                width += g;
            }
            if (slider_style & RIGHT_GRADUATE)
                width += g;
        }
    }
    SetOrigin(x, y);
    SetSize(width, height);
    return true;
}

void CSlider::PressStep(const ZuEventRef& event)
{
    if (event.IsInvalid())
        return;
    const double c = cursor_size;
    // A track no longer than the cursor leaves no travel: the press gives 0
    // rather than a division by zero or by a negative length.
    auto place = [c](double e, double start, double length) {
        const double travel = length - c;
        return travel > 0 ? Clamp01OrZero((e - (start + c / 2)) / travel) : 0.0;
    };
    if (slider_style & HORIZONTAL)
        position = Forward(place(event->RetX(), box.X1(), box.DX()));
    if (slider_style & VERTICAL)
        position = Forward(place(event->RetY(), box.Y1(), box.DY()));
    if (step != 0 && std::isfinite(step))
        position = Clamp01OrZero(std::trunc(position / step) * step);
    ZuControl::ButtonPress(event);
    QuickReport(notify_Modify, 1);
    if (window.IsValid())
        window->SetDraggingView(ZuViewRef(this));
}

void CSlider::ButtonPress(const ZuEventRef& event)
{
    PressStep(event);
}

void CSlider::DragNotify(const ZuEventRef& event)
{
    PressStep(event);
    Display(false);
    ZuControl::DragNotify(event);
    ZuAdornerRef adorner = RetAdorner();
    if (adorner.IsValid())
        adorner->Flush(ZU_FLUSH_SYNC);
}

void CSlider::ButtonRelease(const ZuEventRef& event)
{
    PressStep(event);
    ZuControl::ButtonRelease(event);
    // The press step took the drag again: the release ends it for good, so
    // that the next click in the window reaches what lies under it.
    if (window.IsValid())
        window->SetDraggingView(ZuViewNull);
}

void CSlider::TrackRect(double& x, double& y, double& w, double& h) const
{
    x = box.X1();
    y = box.Y1();
    w = box.DX();
    h = box.DY();
    if (graduations == 0 || (slider_style & INTERNAL_GRADUATE))
        return;
    const double g = grad_length;
    if (slider_style & HORIZONTAL) {
        if (slider_style & LEFT_GRADUATE) {
            y += g;
            h -= g;
        }
        if (slider_style & RIGHT_GRADUATE)
            h -= g;
    }
    if (slider_style & VERTICAL) {
        if (slider_style & LEFT_GRADUATE) {
            x += g;
            w -= g;
        }
        if (slider_style & RIGHT_GRADUATE)
            w -= g;
    }
}

void CSlider::DrawTicks(const ZuGrailPortRef& port, const ZuRect& area, double x, double y,
                        double w, double h) const
{
    const bool vertical = (slider_style & VERTICAL) != 0;
    const double c = cursor_size, g = grad_length;
    const double start = vertical ? y : x;   // along the track
    const double length = vertical ? h : w;  // along the track
    const double side = vertical ? x : y;    // across the track
    const double breadth = vertical ? w : h; // across the track
    const bool inside = (slider_style & INTERNAL_GRADUATE) != 0;
    const ZuColorPixel dark(0.5, 0.5, 0.5, 0.0);
    const ZuColorPixel light(0.9, 0.9, 0.9, 0.0);
    // At most one tick a pixel of track: with more intervals than pixels
    // only the major ticks are drawn, and when even those do not fit only
    // both ends.
    const double pixels = std::max(1.0, std::floor(length - c) + 1);
    const unsigned n = graduations;
    unsigned every = 1;
    if (n > pixels)
        every = (n / subdivisions <= pixels) ? subdivisions : n;
    for (unsigned long long i = 0; i <= n; i += every) {
        const bool major = i % subdivisions == 0;
        const double len = major ? g : g / 2;
        const double p = start + c / 2 + (length - c) * Inverse(double(i) / n);
        const double from[2] = {
            inside ? side + 3 : side - len,                     // left or top
            inside ? side + breadth - 3 - len : side + breadth, // right or bottom
        };
        const unsigned bits[2] = {LEFT_GRADUATE, RIGHT_GRADUATE};
        for (int s = 0; s < 2; ++s) {
            if (!(slider_style & bits[s]))
                continue;
            port->SetForeColor(dark);
            if (vertical)
                Zuvi_DrawLineDX(port, from[s], p - 1, len, area);
            else
                Zuvi_DrawLineDY(port, p - 1, from[s], len, area);
            port->SetForeColor(light);
            if (vertical)
                Zuvi_DrawLineDX(port, from[s], p, len, area);
            else
                Zuvi_DrawLineDY(port, p, from[s], len, area);
        }
        if (every == n && i == n)
            break;
    }
}

void CSlider::DrawFront(const ZuGrailPortRef& port, const ZuRect& rect)
{
    ZuControl::DrawFront(port, rect);
    if (port.IsInvalid())
        return;
    double x, y, w, h;
    TrackRect(x, y, w, h);
    if (!(w > 0) || !(h > 0))
        return;
    ZuAdornerRef adorner = port->RetAdorner();
    if (adorner.IsInvalid())
        return;
    const bool vertical = (slider_style & VERTICAL) != 0;
    const bool horizontal = (slider_style & HORIZONTAL) != 0;
    if (!vertical && !horizontal)
        return;
    const ZuAtomRef track_h("lumbra_SliderH"), track_v("lumbra_SliderV");
    const ZuAtomRef cursor_h("lumbra_CursorH"), cursor_v("lumbra_CursorV");
    // The track's frame reaches a pixel past the track across it, into the
    // room of the ticks; without that room (no ticks, or ticks inside) it
    // is kept in the slider's box, where the window would cut it.
    auto frame = [this](double x1, double y1, double x2, double y2) {
        x1 = std::max(x1, box.X1());
        y1 = std::max(y1, box.Y1());
        x2 = std::min(x2, box.X2());
        y2 = std::min(y2, box.Y2());
        ZuRect r(x1, y1, x2, y2);
        if (x2 < x1 || y2 < y1)
            r = ZuRect();
        return r;
    };
    const double c = cursor_size;
    // With both orientation bits the vertical reading wins, as for the
    // pointer.
    if (vertical) {
        adorner->DrawFrame(track_v, frame(x - 1, y, x + w, y + h - 1), ZU_CTRL_STATE_NORMAL, 0.0);
        y += 3;
        h -= 6;
    } else {
        adorner->DrawFrame(track_h, frame(x, y - 1, x + w - 1, y + h), ZU_CTRL_STATE_NORMAL, 0.0);
        x += 3;
        w -= 6;
    }
    if (graduations != 0)
        DrawTicks(port, Zuvi_VisibleArea(port, rect, window), x, y, w, h);
    const double along = vertical ? h : w;
    const double q = (along - c + 1) * Inverse(position) + c / 2 - 2;
    // The cursor reaches past the track into the room of the ticks; a
    // slider without that room gets it drawn to the room it has across, so
    // that its tip is not cut off by the slider's box.
    const ZuAtomRef& cursor = vertical ? cursor_v : cursor_h;
    double cw = 0, ch = 0;
    ZuIconRecordRef record;
    const ZuLookManRef& look = ZuLookMan::Current();
    if (look.IsValid() && look->GetIconRecord(cursor, 0.0, 0.0, record) &&
        record->GetSize(cw, ch)) {
        const double room = vertical ? box.X2() - x + 1 : box.Y2() - y + 1;
        double& across = vertical ? cw : ch;
        if (across > room && room > 0)
            across = room;
        else
            cw = ch = 0;
    }
    if (vertical)
        adorner->DrawIcon(x, y + q - c / 2, cursor, i_state, cw, ch);
    else
        adorner->DrawIcon(x + q - c / 2, y, cursor, i_state, cw, ch);
}
