#include "si/monitorana.h"

#include <cmath>
#include <cstdint>

#include "si/adorner.h"
#include "si/convert.h"
#include "si/grail.h"
#include "si/lookman.h"
#include "si/pubdata.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"
#include "si/textstyle.h"
#include "si/types.h"

ZU_IMPLEMENT_CLASS(ZuMonitorAnalogic, "si/monitorana", ZU_CLASS_PLAIN)

namespace {

ZuMonitorAnalogic* AsGauge(ZuObject* object)
{
    return static_cast<ZuMonitorAnalogic*>(object);
}

void GetMaximum(ZuValueRef& value, ZuObject* object)
{
    value = ZuValueRef(AsGauge(object)->RetMaximum());
}
bool SetMaximum(const ZuValueRef& value, ZuObject* object)
{
    return value.IsValid() && AsGauge(object)->SetMaximum(Zuvi_ValueToReal(value));
}

#define ZU_GAUGE_FLAG(NAME, RET, SET)                                            \
    void Get##NAME(ZuValueRef& value, ZuObject* object)                          \
    {                                                                            \
        value = ZuValueRef(AsGauge(object)->RET());                              \
    }                                                                            \
    bool Set##NAME(const ZuValueRef& value, ZuObject* object)                    \
    {                                                                            \
        return value.IsValid() && AsGauge(object)->SET(Zuvi_ValueToBool(value)); \
    }
ZU_GAUGE_FLAG(Symmetric, IsSymmetric, SetSymmetric)
ZU_GAUGE_FLAG(Rectified, IsRectified, SetRectified)
ZU_GAUGE_FLAG(DynamicMax, IsDynamicMax, SetDynamicMax)
#undef ZU_GAUGE_FLAG

void DeclareGaugeData(ZuRuntime* runtime)
{
    static Zuvi_PubDataDef items[] = {
        {&ZuMonitorAnalogicRef::RetRuntime(), "max_value", "Maximum", &Real_type, true, true,
         &GetMaximum, &SetMaximum},
        {&ZuMonitorAnalogicRef::RetRuntime(), "is_symmetric", "Is symmetric", &Bool_type, true,
         true, &GetSymmetric, &SetSymmetric},
        {&ZuMonitorAnalogicRef::RetRuntime(), "is_rectified", "Is rectified", &Bool_type, true,
         true, &GetRectified, &SetRectified},
        {&ZuMonitorAnalogicRef::RetRuntime(), "is_dynamic_max", "Is dynamic maxium", &Bool_type,
         true, true, &GetDynamicMax, &SetDynamicMax},
    };
    for (Zuvi_PubDataDef& item : items)
        runtime->PublishData(item);
}
Zuvi_PubDataExport gauge_data(&DeclareGaugeData, ZuMonitorAnalogicRef::RetRuntime());

// A label number as the converter takes it: whole, and within its range.
uint64_t Card(double number)
{
    if (!(number >= 0))
        return 0;
    if (number >= 18446744073709551615.0)
        return UINT64_MAX;
    return static_cast<uint64_t>(number);
}

ZuStringRef Label(uint64_t number, const char* format)
{
    ZuStringRef out("");
    ZuConvertRef convert = ZuConvert::Current();
    if (convert.IsValid())
        convert->CardToString(number, ZuStringRef(format), out);
    return out;
}

} // namespace

ZuMonitorAnalogic::ZuMonitorAnalogic()
{
    style.SetBit(ZU_CTRL_DRAW_RELIEF);
}

bool ZuMonitorAnalogic::SetMaximum(double maximum)
{
    max_value = std::fabs(maximum);
    return true;
}

bool ZuMonitorAnalogic::SetSymmetric(bool on)
{
    is_symmetric = on;
    return true;
}

bool ZuMonitorAnalogic::SetRectified(bool on)
{
    is_rectified = on;
    return true;
}

bool ZuMonitorAnalogic::SetDynamicMax(bool on)
{
    is_dynamic_max = on;
    return true;
}

void ZuMonitorAnalogic::DoUpdate()
{
    const ZuValueRef entry = RetCachedValue(0);
    double v = entry.IsValid() ? entry->RetReal() : 0.0;
    if (std::isnan(v))
        v = 0.0;
    negative = v < 0;
    if (is_rectified)
        v = std::fabs(v);
    else if (!is_symmetric && v < 0)
        v = 0.0;
    // The overflow test looks at what the needle would show: a negative
    // value already set to 0 neither pins the needle nor grows the scale.
    const double shown = std::fabs(v);
    if (shown > max_value) {
        double grown = 0.0;
        if (is_dynamic_max && std::isfinite(shown)) {
            const double p = std::pow(10.0, std::trunc(std::log10(shown)));
            grown = shown / p >= 5 ? 10 * p : 5 * p;
        }
        // A maximum that would be no finite number clamps instead.
        if (std::isfinite(grown) && grown > 0)
            max_value = grown;
        else
            v = v < 0 ? -max_value : max_value;
    }
    display_value = v;
}

void ZuMonitorAnalogic::DrawBack(const ZuGrailPortRef& port, const ZuRect& rect)
{
    ZuMonitorValue::DrawBack(port, rect);
    if (port.IsInvalid())
        return;
    ZuAdornerRef adorner = port->RetAdorner();
    if (adorner.IsValid())
        adorner->FillRect(box, ZU_COLOR_WHITE, 0);
}

void ZuMonitorAnalogic::DrawFront(const ZuGrailPortRef& port, const ZuRect& rect)
{
    ZuMonitorValue::DrawFront(port, rect);
    if (port.IsInvalid())
        return;
    const ZuLookManRef& look = ZuLookMan::Current();
    double inset = 0;
    if (look.IsValid()) {
        if (style.TestBit(ZU_CTRL_EFFECT_WHEN_ACTIVE))
            inset += look->RetWidgetFrameSize();
        if (style.TestBit(ZU_CTRL_DRAW_RELIEF))
            inset += look->Ret3DEffectWidth();
    }
    double r = std::trunc(std::trunc(box.DX() - 2 * inset) / 2);
    const double H = std::trunc(box.DY() - 2 * inset);
    const double R = H - 2;
    // Written so that a size that is no number draws nothing either.
    if (!(R > 4 && r > 9) || !std::isfinite(R) || !std::isfinite(r))
        return;
    if (R < r)
        r = R;

    ZuAdornerRef adorner = port->RetAdorner();
    if (adorner.IsValid())
        adorner->SetForeColor(ZU_COLOR_BLACK);
    else
        port->SetForeColor(ZuColorPixel(ZU_COLOR_BLACK));
    const double a = std::asin(r / R);
    const double cx = box.X1() + inset + r;
    const double cy = box.Y1() + inset + H - 1;
    // Angles from straight up, clockwise.
    auto x_at = [&](double t, double d) { return cx + d * std::sin(t); };
    auto y_at = [&](double t, double d) { return cy - d * std::cos(t); };
    const double s = is_symmetric ? 0.0 : -a;
    const double span = is_symmetric ? a : 2 * a;

    for (int k = is_symmetric ? -5 : 0; k <= (is_symmetric ? 5 : 10); ++k) {
        const double t = s + k * span / (is_symmetric ? 5 : 10);
        port->DrawAALineTo(x_at(t, 0.9 * R), y_at(t, 0.9 * R), x_at(t, R), y_at(t, R));
    }
    // Without a maximum there is no scale: the labels and the needle would
    // divide by it.
    if (!(max_value > 0) || !std::isfinite(max_value))
        return;

    if (look.IsValid())
        port->SetFont(look->RetSysFont());
    const double p = std::pow(10.0, std::trunc(std::log10(max_value)));
    const uint64_t m = Card(std::trunc(max_value / p));
    const ZuTextStyle centred(ZU_TEXT_HPOS_CENTER, ZU_TEXT_VPOS_CENTER);
    auto show = [&](double x, double y, const ZuStringRef& text, const ZuTextStyle& style) {
        port->ShowText(x, y, text, 0, text->CharacterCount(), style, 0);
    };
    auto label = [&](double t, const ZuStringRef& text) {
        show(x_at(t, 0.8 * R), y_at(t, 0.8 * R), text, centred);
    };
    if (is_symmetric) {
        label(-a, Label(m, "NUM:-%;"));
        label(a, Label(m, "NUM:+%;"));
        // At angle 0 like the others: straight up, between the two ends.
        label(0.0, ZuStringRef("0"));
    } else {
        label(s, ZuStringRef("0"));
        label(s + span, Label(m, "NUM:%;"));
    }
    const double end = s + span;
    show(x_at(end, 0.9 * R), cy - 0.7 * R * std::cos(end), Label(Card(p), "NUM:x %;"),
         ZuTextStyle(ZU_TEXT_HPOS_RIGHT, ZU_TEXT_VPOS_TOP));
    show(x_at(-a, 0.9 * R), cy - 0.7 * R * std::cos(-a), ZuStringRef(negative ? "-" : "+"),
         ZuTextStyle(ZU_TEXT_HPOS_LEFT, ZU_TEXT_VPOS_TOP));

    const double n = display_value / max_value * span + s;
    port->DrawAALine(cx, cy, R * std::sin(n), -R * std::cos(n));
}

void ZuMonitorAnalogic::StoreInstance(const ZuStorageRef& storage)
{
    ZuMonitorValue::StoreInstance(storage);
    static ZuStorageSync record(
        "<ZuMonitorAnalogic max_value is_symmetric is_rectified is_dynamic_max>");
    storage << record << ZuStorageSync::begin;
    storage->StoreReal(max_value);
    storage->StoreBool(is_symmetric);
    storage->StoreBool(is_rectified);
    storage->StoreBool(is_dynamic_max);
    storage << ZuStorageSync::end;
}

void ZuMonitorAnalogic::RestoreInstance(const ZuStorageRef& storage)
{
    ZuMonitorValue::RestoreInstance(storage);
    storage >> ZuStorageSync::type >> ZuStorageSync::begin;
    // Through the setter: a stored maximum is a magnitude whatever the file
    // holds.
    SetMaximum(storage->RestoreReal(max_value));
    is_symmetric = storage->RestoreBool(is_symmetric);
    is_rectified = storage->RestoreBool(is_rectified);
    is_dynamic_max = storage->RestoreBool(is_dynamic_max);
    storage >> ZuStorageSync::end;
}
