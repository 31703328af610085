#include "app/separator.h"

#include <algorithm>
#include <cmath>

#include "app/clippedline.h"
#include "si/bitsetinfo.h"
#include "si/grail.h"
#include "si/pubdata.h"
#include "si/rtclass.h"
#include "si/types.h"
#include "si/values.h"

ZU_IMPLEMENT_CLASS(CSeparator, "app/separator", ZU_CLASS_PLAIN)

namespace {

void GetStyle(ZuValueRef& v, ZuObject* o)
{
    v = ZuValueRef(static_cast<CSeparator*>(o)->RetSeparatorStyle());
}
bool SetStyle(const ZuValueRef& v, ZuObject* o)
{
    return v.IsValid() && static_cast<CSeparator*>(o)->SetStyle(Zuvi_ValueToCard32(v));
}

const Zuvi_BitsetDataDef kStyleNames[] = {
    {0xFFFFFFFFu, "Separator style", ZU_BITSET_DATA_MASK},
    {0x1, "vertical", ZU_BITSET_DATA_MASK},
    {0x10, "arrow", ZU_BITSET_DATA_MASK},
    {0x20, "reverse", ZU_BITSET_DATA_MASK},
};

void DeclareSeparatorData(ZuRuntime* runtime)
{
    static Zuvi_PubDataDef style = {&CSeparatorRef::RetRuntime(),
                                    "separator_style",
                                    "Separator style",
                                    &Card32_type,
                                    true,
                                    true,
                                    &GetStyle,
                                    &SetStyle};
    runtime->PublishData(style);
    runtime->PublishDataEx(style, kStyleNames, sizeof kStyleNames);
}

Zuvi_PubDataExport separator_data(&DeclareSeparatorData, CSeparatorRef::RetRuntime());

} // namespace

bool CSeparator::SetStyle(unsigned int new_style)
{
    separator_style = new_style;
    return true;
}

void CSeparator::GetMinSize(double& dx, double& dy) const
{
    if (separator_style & VERTICAL) {
        dx = 2;
        dy = 10;
    } else {
        dx = 10;
        dy = 2;
    }
}

void CSeparator::DrawFront(const ZuGrailPortRef& port, const ZuRect& to_draw)
{
    ZuControl::DrawFront(port, to_draw);
    if (port.IsInvalid())
        return;
    const ZuRect area = Zuvi_VisibleArea(port, to_draw, window);
    const double x1 = box.X1(), y1 = box.Y1();
    const double w = box.DX(), h = box.DY();
    if (!(w > 0) || !(h > 0))
        return;
    const ZuColorPixel dark(0.5, 0.5, 0.5, 0.0);
    const ZuColorPixel light(0.9, 0.9, 0.9, 0.0);
    const bool vertical = (separator_style & VERTICAL) != 0;
    if (!(separator_style & ARROW)) {
        if (vertical) {
            const double c = x1 + std::floor(w / 2);
            port->SetForeColor(dark);
            Zuvi_DrawLineDY(port, c - 1, y1, h, area);
            port->SetForeColor(light);
            Zuvi_DrawLineDY(port, c, y1, h, area);
        } else {
            const double c = y1 + std::floor(h / 2);
            port->SetForeColor(dark);
            Zuvi_DrawLineDX(port, x1, c - 1, w, area);
            port->SetForeColor(light);
            Zuvi_DrawLineDX(port, x1, c, w, area);
        }
        return;
    }
    // The arrow: a run of lines along its breadth, each shorter than the
    // one before by the step at both ends; a step of 0 fills the box.
    const bool reverse = (separator_style & REVERSE) != 0;
    port->SetForeColor(dark);
    const double across = vertical ? w : h;
    const double along = vertical ? h : w;
    const double step = std::floor((along + 2) / across * 0.5);
    // Only the lines inside the area to draw are visited, so that a huge
    // box costs no more than the pixels it shows.
    const double base = vertical ? x1 : y1;
    const double lo = vertical ? area.X1() : area.Y1();
    const double hi = vertical ? area.X2() : area.Y2();
    double first = reverse ? base + across - 1 - hi : lo - base;
    double last = reverse ? base + across - 1 - lo : hi - base;
    if (area.IsEmpty() || !(first == first) || !(last == last))
        return;
    first = std::max(0.0, std::floor(first));
    last = std::min(across - 1, std::ceil(last));
    for (double i = first; i <= last; ++i) {
        const double k = i * step;
        const double length = along - 2 * k;
        if (length <= 0)
            break;
        const double at = reverse ? base + across - 1 - i : base + i;
        if (vertical)
            Zuvi_DrawLineDY(port, at, y1 + k, length, area);
        else
            Zuvi_DrawLineDX(port, x1 + k, at, length, area);
    }
}
