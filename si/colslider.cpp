#include "si/colslider.h"

#include <cmath>

#include "si/error.h"
#include "si/grail.h"
#include "si/message.h"
#include "si/pubdata.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"
#include "si/types.h"
#include "si/typeinfo.h"
#include "si/values.h"

ZU_IMPLEMENT_CLASS(ZuColSlider, "si/colslider", ZU_CLASS_PLAIN)

namespace {

ZuColSlider* AsSlider(ZuObject* o)
{
    return static_cast<ZuColSlider*>(o);
}

void GetMinColor(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(AsSlider(o)->RetMinColor());
}
bool SetMinColor(const ZuValueRef& value, ZuObject* o)
{
    return value.IsValid() && AsSlider(o)->SetMinColor(ZuColorPixel(value));
}
void GetMaxColor(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(AsSlider(o)->RetMaxColor());
}
bool SetMaxColor(const ZuValueRef& value, ZuObject* o)
{
    return value.IsValid() && AsSlider(o)->SetMaxColor(ZuColorPixel(value));
}
void GetCurrentColor(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(AsSlider(o)->RetCurrentColor());
}

void DeclareColSliderData(ZuRuntime* runtime)
{
    const ZuRuntimeRef* rt = &ZuColSliderRef::RetRuntime();
    static Zuvi_PubDataDef items[] = {
        {rt, "min_color", "Minimum color", &ZuColorPixel_type, true, true, &GetMinColor,
         &SetMinColor},
        {rt, "max_color", "Maximum color", &ZuColorPixel_type, true, true, &GetMaxColor,
         &SetMaxColor},
        {rt, "current_color", "Current color", &ZuColorPixel_type, true, false, &GetCurrentColor,
         nullptr},
    };
    for (Zuvi_PubDataDef& item : items)
        runtime->PublishData(item);
}

Zuvi_PubDataExport col_slider_data(&DeclareColSliderData, ZuColSliderRef::RetRuntime());

// The current colour changes when the slider scrolls.
Zuvi_NotifyExport current_changed(&ZuColSliderRef::RetRuntime(), "Scroll", "current_color",
                                  nullptr);

bool InitialiseThunk(const ZuMessageRef& msg, ZuObject* obj, Zuvi_TargetExport* exp)
{
    if (obj == nullptr) {
        exp->SetCall("Initialise (is_horizontal)");
        exp->SetArg("Bool", "is_horizontal", "Horizontal slider");
        return false;
    }
    bool horizontal = true;
    msg >> horizontal;
    AsSlider(obj)->Initialise(horizontal);
    return true;
}
Zuvi_TargetExport initialise_export(&InitialiseThunk, ZuColSliderRef::RetRuntime());

ZuStorageSync& ColSliderRecord()
{
    static ZuStorageSync record("<ZuColSlider min_color max_color>");
    return record;
}

} // namespace

ZuColSlider::ZuColSlider() : min_color(ZU_COLOR_WIDGET_BACK), max_color(ZU_COLOR_WIDGET_BACK) {}

void ZuColSlider::StoreInstance(const ZuStorageRef& s)
{
    ZuSlider::StoreInstance(s);
    s << ColSliderRecord() << ZuStorageSync::begin;
    s << min_color << max_color;
    s << ZuStorageSync::end;
}

void ZuColSlider::RestoreInstance(const ZuStorageRef& s)
{
    ZuSlider::RestoreInstance(s);
    s >> ZuStorageSync::type >> ZuStorageSync::begin;
    s >> min_color >> max_color;
    s >> ZuStorageSync::end;
}

void ZuColSlider::Initialise(bool is_horizontal)
{
    const double length = is_horizontal ? box.DX() : box.DY();
    Initialise(box.X1(), box.Y1(), length, is_horizontal);
}

void ZuColSlider::Initialise(double x, double y, double length, bool is_horizontal)
{
    ZuSlider::Initialise(x, y, length, is_horizontal, 0);
}

bool ZuColSlider::SetMinColor(const ZuColorPixel& color)
{
    min_color = color;
    return true;
}

bool ZuColSlider::SetMaxColor(const ZuColorPixel& color)
{
    max_color = color;
    return true;
}

ZuColorPixel ZuColSlider::RetMinColor() const
{
    return min_color;
}

ZuColorPixel ZuColSlider::RetMaxColor() const
{
    return max_color;
}

ZuColorPixel ZuColSlider::Blend(const ZuColorPixel& a, const ZuColorPixel& b, double t)
{
    const double u = 1 - t;
    return ZuColorPixel(a.RealRed() * u + b.RealRed() * t, a.RealGreen() * u + b.RealGreen() * t,
                        a.RealBlue() * u + b.RealBlue() * t,
                        a.RealTransparency() * u + b.RealTransparency() * t);
}

ZuColorPixel ZuColSlider::RetCurrentColor() const
{
    return Blend(min_color, max_color, value);
}

void ZuColSlider::DrawBody(const ZuGrailPortRef& port)
{
    ZU_ASSERT_TEXT(is_knob_ok, "this->is_knob_ok");
    if (port.IsInvalid())
        return;
    port->SetLineStyle(ZU_LINE_SOLID);
    const double s = body_start + 6, e = body_end - 6, n = e - s + 1;
    // Only the lines inside the port's clip are drawn: the band is the
    // same, and a huge box read from a file costs no more than the clip.
    ZuRect clip;
    port->GetClipRect(clip);
    if (clip.IsEmpty())
        return;
    const double from = is_horiz ? clip.X1() : clip.Y1(), to = is_horiz ? clip.X2() : clip.Y2();
    const double first = s < from ? s + std::floor(from - s) : s;
    const double last = e > to ? to : e;
    if (is_horiz) {
        const double y0 = box.Y1() + look_frame + 6;
        const double h = (box.Y2() - look_frame - 6) - y0 + 1;
        for (double x = first; x <= last; x += 1) {
            port->SetForeColor(Blend(min_color, max_color, (x - s) / n));
            port->DrawLineDY(x, y0, h);
        }
    } else {
        const double x0 = box.X1() + look_frame + 6;
        const double w = (box.X2() - look_frame - 6) - x0 + 1;
        for (double y = first; y <= last; y += 1) {
            port->SetForeColor(Blend(min_color, max_color, (y - s) / n));
            port->DrawLineDX(x0, y, w);
        }
    }
}
