#include "si/slider.h"

#include "si/adorner.h"
#include "si/error.h"
#include "si/grail.h"
#include "si/pubdata.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"
#include "si/types.h"
#include "si/values.h"

ZU_IMPLEMENT_CLASS(ZuSlider, "si/slider", ZU_CLASS_PLAIN)

// A change of the user value is announced under this name.
static Zuvi_NotifyExport zuvi_notify_ZuSlider_value(&ZuSliderRef::RetRuntime(), "Scroll",
                                                    "slider_value", nullptr);

namespace {

ZuSlider* AsSlider(ZuObject* o)
{
    return static_cast<ZuSlider*>(o);
}
void GetValue(ZuValueRef& v, ZuObject* o)
{
    v = ZuValueRef(AsSlider(o)->RetSliderValue());
}
bool SetValue(const ZuValueRef& v, ZuObject* o)
{
    return v.IsValid() && AsSlider(o)->SetSliderValue(Zuvi_ValueToReal(v));
}
void GetScale(ZuValueRef& v, ZuObject* o)
{
    v = ZuValueRef(AsSlider(o)->RetSliderScale());
}
bool SetScale(const ZuValueRef& v, ZuObject* o)
{
    return v.IsValid() && AsSlider(o)->SetSliderScale(Zuvi_ValueToReal(v));
}
void GetOffset(ZuValueRef& v, ZuObject* o)
{
    v = ZuValueRef(AsSlider(o)->RetSliderOffset());
}
bool SetOffset(const ZuValueRef& v, ZuObject* o)
{
    return v.IsValid() && AsSlider(o)->SetSliderOffset(Zuvi_ValueToReal(v));
}

void DeclareSliderData(ZuRuntime* runtime)
{
    const ZuRuntimeRef* rt = &ZuSliderRef::RetRuntime();
    static Zuvi_PubDataDef items[] = {
        {rt, "slider_value", "Slider value", &Real_type, true, true, &GetValue, &SetValue},
        {rt, "slider_scale", "Slider scale", &Real_type, true, true, &GetScale, &SetScale},
        {rt, "slider_offset", "Slider offset", &Real_type, true, true, &GetOffset, &SetOffset},
    };
    for (Zuvi_PubDataDef& item : items)
        runtime->PublishData(item);
}

Zuvi_PubDataExport slider_data(&DeclareSliderData, ZuSliderRef::RetRuntime());

ZuStorageSync& SliderRecord()
{
    static ZuStorageSync record("<ZuSlider slider_scale slider_offset>");
    return record;
}

// The groove's inset and the active frame's inset.
const double kGrooveEffect = 6.0;
const double kActiveEffect = 4.0;

} // namespace

ZuSlider::ZuSlider()
{
    init_arrow_pos = ZU_SCROLL_ARROW_NONE;
    real_arrow_pos = ZU_SCROLL_ARROW_NONE;
}

ZuSlider::~ZuSlider() {}

void ZuSlider::Delete()
{
    ZuScroller::Delete();
}

void ZuSlider::InitArrow(ZuIconRef&, unsigned) {}

void ZuSlider::InitIcons(bool) {}

void ZuSlider::CheckSpaceForParts()
{
    ZuScroller::CheckSpaceForParts();
}

void ZuSlider::UpdateKnobSize()
{
    knob_size = look_breadth - 2 * look_frame;
}

void ZuSlider::Scroll(unsigned part)
{
    ZuScroller::Scroll(part);
}

void ZuSlider::SetArrowPos(ZuScrollArrowPos)
{
    init_arrow_pos = ZU_SCROLL_ARROW_NONE;
    CheckSpaceForParts();
}

void ZuSlider::DrawBody(const ZuGrailPortRef& port)
{
    ZU_ASSERT_AT(is_knob_ok, "this->is_knob_ok", 215, "si/slider");
    if (port.IsInvalid())
        return;
    ZuAdornerRef adorner = port->RetAdorner();
    if (adorner.IsInvalid())
        return;
    const ZuRect track =
        is_horiz ? ZuRect(body_start, box.Y1() + look_frame, body_end, box.Y2() - look_frame)
                 : ZuRect(box.X1() + look_frame, body_start, box.X2() - look_frame, body_end);
    adorner->FillRect(track, ZU_COLOR_WIDGET_BACK, kGrooveEffect);
    if (state.TestBit(ZU_VIEW_IS_ACTIVE)) {
        port->SetLineStyle(ZU_LINE_DOT);
        adorner->DrawRect(track, ZU_COLOR_BLACK, kActiveEffect);
        port->SetLineStyle(ZU_LINE_SOLID);
    }
}

void ZuSlider::DrawKnob(const ZuGrailPortRef& port)
{
    ZU_ASSERT_AT(is_knob_ok, "this->is_knob_ok", 215, "si/slider");
    if (port.IsInvalid() || !state.TestBit(ZU_VIEW_IS_ENABLED))
        return;
    ZuAdornerRef adorner = port->RetAdorner();
    if (adorner.IsInvalid())
        return;
    if (is_horiz)
        adorner->DrawIcon(body_start + knob_pos, box.Y1(), ZuAtomRef("Zuvi_VSliderSmall"),
                          ZU_CTRL_STATE_NORMAL, 0.0, 0.0);
    else
        adorner->DrawIcon(box.X1(), body_start + knob_pos, ZuAtomRef("Zuvi_HSliderSmall"),
                          ZU_CTRL_STATE_NORMAL, 0.0, 0.0);
}

bool ZuSlider::SetSliderValue(double v)
{
    if (slider_scale != 0)
        v = (v - slider_offset) / slider_scale;
    return SetVisibleValue(v);
}

bool ZuSlider::SetSliderScale(double scale)
{
    const double user = RetSliderValue();
    slider_scale = scale;
    return SetSliderValue(user);
}

bool ZuSlider::SetSliderOffset(double offset)
{
    const double user = RetSliderValue();
    slider_offset = offset;
    return SetSliderValue(user);
}

double ZuSlider::RetSliderValue() const
{
    return slider_scale != 0 ? value * slider_scale + slider_offset : value;
}

double ZuSlider::RetSliderScale() const
{
    return slider_scale;
}

double ZuSlider::RetSliderOffset() const
{
    return slider_offset;
}

void ZuSlider::StoreInstance(const ZuStorageRef& s)
{
    ZuScroller::StoreInstance(s);
    s << SliderRecord() << ZuStorageSync::begin;
    s->StoreReal(slider_scale);
    s->StoreReal(slider_offset);
    s << ZuStorageSync::end;
}

void ZuSlider::RestoreInstance(const ZuStorageRef& s)
{
    ZuScroller::RestoreInstance(s);
    s >> ZuStorageSync::type >> ZuStorageSync::begin;
    slider_scale = s->RestoreReal(slider_scale);
    slider_offset = s->RestoreReal(slider_offset);
    s >> ZuStorageSync::end;
}
