#include "app/textlinearrow.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <string>

#include "app/misc.h"
#include "si/adorner.h"
#include "si/classfactory.h"
#include "si/event.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/string.h"

ZU_IMPLEMENT_CLASS(CTextLineArrow, "app/textlinearrow", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(CTextLineArrow, IChangeUnit)
ZU_EXPORT_OBSERVER(CTextLineArrow, OnClickUnit)
ZU_EXPORT_OBSERVER(CTextLineArrow, OnClickPlus)
ZU_EXPORT_OBSERVER(CTextLineArrow, OnClickMinus)
ZU_EXPORT_OBSERVER(CTextLineArrow, OnTextChange)
ZU_EXPORT_OBSERVER(CTextLineArrow, OnSliderChange)

namespace {

const char* const kFile = "app/textlinearrow";

// A whole number of a value, kept within int.
int ToInt(double v)
{
    if (!(v == v))
        return 0;
    return int(std::trunc(std::min(double(INT_MAX), std::max(double(INT_MIN), v))));
}

// Makes the part when the entry has none yet, then places it and puts it
// into the parent.
void PlacePart(ZuIconRef& part, const ZuViewRef& parent, double x, double y, double dx, double dy)
{
    if (part.IsInvalid()) {
        part = ZuNew<ZuIcon>(Zuvi_app_zone, __LINE__, kFile);
        // A click on a part leaves the keyboard with the entry.
        part->ChangeState(ZU_VIEW_OK_ACTIVE, false, false);
    }
    part->SetOrigin(x, y);
    part->SetSize(dx, dy);
    if (parent.IsValid())
        part->SetParent(parent);
}

bool IsFixedUnit(int unit)
{
    return unit >= 10 && unit <= 14;
}

// A parent that moves carries its children along one after the other, and
// the entry, carried, places its parts again beside itself. A part that
// came after the entry would then be carried once more and stand off by
// the parent's move (a pane put at its place in a dialog would show its
// arrows and sliders a pane's offset away from their entries). Ahead of
// the entry, a part is carried first and then placed where it already is.
void KeepPartsAhead(CTextLineArrow* entry)
{
    const ZuViewRef parent = entry->RetParent();
    if (parent.IsInvalid())
        return;
    const ZuViewRef self(entry);
    const ZuViewRef parts[] = {ZuViewRef(entry->RetUnitButton()), ZuViewRef(entry->RetPlusArrow()),
                               ZuViewRef(entry->RetMinusArrow()), ZuViewRef(entry->RetSlider())};
    for (const ZuViewRef& part : parts)
        if (part.IsValid() && part->RetParent() == parent)
            part->ReorderBefore(self);
}

} // namespace

const char* CTextLineArrow::UnitIconName(int code)
{
    switch (code) {
    case 12:
        return "lumbra_UnitPC";
    case 13:
        return "lumbra_UnitDG";
    case 14:
        return "lumbra_UnitHA";
    case 22:
        return "lumbra_UnitUM";
    case 23:
        return "lumbra_UnitMM";
    case 24:
        return "lumbra_UnitCM";
    case 26:
        return "lumbra_UnitM";
    case 30:
        return "lumbra_UnitIN";
    case 31:
        return "lumbra_UnitFT";
    case 32:
        return "lumbra_UnitYD";
    case 40:
        return "lumbra_UnitPI";
    case 41:
        return "lumbra_UnitCC";
    case 42:
        return "lumbra_UnitDD";
    case 50:
        return "lumbra_UnitPT";
    case 51:
        return "lumbra_UnitPX";
    default:
        return "lumbra_UnitNO";
    }
}

bool CTextLineArrow::IsNumberText(const ZuStringRef& text)
{
    if (text.IsInvalid())
        return true;
    const char* latin = text->AccessLatin();
    const std::string s(latin != nullptr ? latin : "");
    std::size_t i = s.find_first_not_of(" \t\n\r\f\v");
    if (i == std::string::npos)
        return true;
    if (s[i] == '+' || s[i] == '-')
        ++i;
    auto digit = [&s](std::size_t k) { return k < s.size() && s[k] >= '0' && s[k] <= '9'; };
    return digit(i) || (i < s.size() && s[i] == '.' && digit(i + 1));
}

void CTextLineArrow::Delete()
{
    for (ZuIconRef* part : {&unit_button, &plus_arrow, &minus_arrow}) {
        if (part->IsValid()) {
            if ((*part)->RetParent().IsValid())
                (*part)->SetParent(ZuViewNull);
            (*part)->Delete();
        }
        *part = ZuIconRef();
    }
    if (slider.IsValid()) {
        if (slider->RetParent().IsValid())
            slider->SetParent(ZuViewNull);
        slider->Delete();
    }
    slider = CSliderRef();
    ZuTextLine::Delete();
}

bool CTextLineArrow::Build(double x, double y, double width, double height, int new_unit,
                           bool with_slider, unsigned slider_style)
{
    unit = ResolveUnit(new_unit);
    SetOrigin(x, y);
    SetSize(width, height);
    ChangeStyle(ZU_CTRL_DRAW_ADORNER, true);
    AttachObserver(ZuObjectRef(this), notify_user_text_changed, ZuAtomRef("OnTextChange"), 0);
    const ZuViewRef parent = RetParent();
    const ZuAtomRef clicked = ZuControl::notify_clicked;

    // An entry built again (a dialog that moves a row or changes its unit)
    // keeps its parts and places them anew: parts made afresh would leave
    // the old ones standing in the parent, held by nobody, where neither
    // the entry's moves nor its removal would reach them.
    PlacePart(unit_button, parent, x + width, y, 16, height);
    unit_button->AttachObserver(ZuObjectRef(this), clicked, ZuAtomRef("OnClickUnit"), 0);
    SetUnitIcon();

    PlacePart(plus_arrow, parent, x + width + 16, y, 15, height / 2 + 1);
    plus_arrow->Initialise(ZuAtomRef("lumbra_ArrowUp"), true);
    plus_arrow->SetSize(15, height / 2 + 1);
    plus_arrow->AttachObserver(ZuObjectRef(this), clicked, ZuAtomRef("OnClickPlus"), 0);

    PlacePart(minus_arrow, parent, x + width + 16, y + height / 2 - 1, 15, height / 2 + 1);
    minus_arrow->Initialise(ZuAtomRef("lumbra_ArrowDown"), true);
    minus_arrow->SetSize(15, height / 2 + 1);
    minus_arrow->AttachObserver(ZuObjectRef(this), clicked, ZuAtomRef("OnClickMinus"), 0);

    if (with_slider) {
        if (slider.IsInvalid())
            slider = ZuNew<CSlider>(Zuvi_app_zone, __LINE__, kFile);
        if (slider_style & (CSlider::LEFT_GRADUATE | CSlider::RIGHT_GRADUATE))
            slider->SetGrad(10);
        slider->Place(x + width + 33, y + 3, 74, height - 6, slider_style);
        if (parent.IsValid())
            slider->SetParent(parent);
        slider->AttachObserver(ZuObjectRef(this), CSlider::notify_Modify,
                               ZuAtomRef("OnSliderChange"), 0);
    } else if (slider.IsValid()) {
        // Built again without one: the slider of the earlier build goes.
        if (slider->RetParent().IsValid())
            slider->SetParent(ZuViewNull);
        slider->Delete();
        slider = CSliderRef();
    }
    KeepPartsAhead(this);
    return true;
}

double CTextLineArrow::Clamp(double v) const
{
    if (!(v == v))
        v = minimum;
    if (v > maximum)
        v = maximum;
    if (v < minimum)
        v = minimum;
    // Bounds that are not numbers themselves leave 0.
    return std::isfinite(v) ? v : (v == v ? v : 0.0);
}

bool CTextLineArrow::SetValue(double value)
{
    value = Clamp(value);
    const ZuTextLineRef self(this);
    if (IsWholeUnit())
        SetTextLineInt(self, ToInt(value));
    else
        SetTextLineUnitValue(self, value, unit);
    last_value = value;
    UpdateSlider();
    return true;
}

double CTextLineArrow::ReadText() const
{
    const ZuTextLineRef self(const_cast<CTextLineArrow*>(this));
    if (!IsNumberText(RetText()))
        return last_value;
    return IsWholeUnit() ? double(GetTextLineInt(self)) : GetTextLineUnitValue(self, unit);
}

double CTextLineArrow::GetValue() const
{
    return Clamp(ReadText());
}

bool CTextLineArrow::SetUnit(int new_unit)
{
    const int u = ResolveUnit(new_unit);
    if (u != unit) {
        unit = u;
        SetUnitIcon();
        if (unit_button.IsValid())
            unit_button->Display(true);
    }
    return true;
}

bool CTextLineArrow::SetStep(double v)
{
    step = v;
    return true;
}
bool CTextLineArrow::SetMax(double v)
{
    maximum = v;
    return true;
}
bool CTextLineArrow::SetMin(double v)
{
    minimum = v;
    return true;
}

bool CTextLineArrow::SetSliderLog(double v)
{
    if (slider.IsValid()) {
        slider->SetLog(v);
        UpdateSlider();
    }
    return true;
}
double CTextLineArrow::GetSliderLog() const
{
    return slider.IsValid() ? slider->GetLog() : 0;
}
bool CTextLineArrow::SetSliderGrad(unsigned count)
{
    if (slider.IsValid())
        slider->SetGrad(count);
    return true;
}
unsigned CTextLineArrow::GetSliderGrad() const
{
    return slider.IsValid() ? slider->GetGrad() : 0;
}
bool CTextLineArrow::SetSliderSubdiv(unsigned count)
{
    if (slider.IsValid())
        slider->SetSubdiv(count);
    return true;
}
unsigned CTextLineArrow::GetSliderSubdiv() const
{
    return slider.IsValid() ? slider->GetSubdiv() : 0;
}

void CTextLineArrow::SetUnitIcon()
{
    if (unit_button.IsInvalid())
        return;
    double dx = 0, dy = 0;
    unit_button->GetSize(dx, dy);
    unit_button->Initialise(ZuAtomRef(UnitIconName(unit)), true);
    unit_button->SetSize(dx, dy);
    const char* name = GetUnitName(unit);
    unit_button->SetToolTip(ZuStringRef(name ? name : ""));
}

void CTextLineArrow::UpdateSlider()
{
    if (slider.IsInvalid())
        return;
    // Equal bounds leave no range: the slider stands at 0.
    const double range = maximum - minimum;
    double t = range != 0 ? (GetValue() - minimum) / range : 0.0;
    if (!(t == t))
        t = 0;
    if (t != slider->GetPos()) {
        slider->SetPos(t);
        slider->Display(true);
    }
}

void CTextLineArrow::Step(double direction)
{
    // A step of 0, below 0 or not a number gives no multiple to round to:
    // the arrows and keys then do nothing.
    if (!(step > 0) || !std::isfinite(step))
        return;
    const double v = GetValue() + direction * step;
    const double n = v >= 0 ? std::trunc((v + step / 2) / step) : std::trunc((v - step / 2) / step);
    SetValue(n * step);
    QuickReport(notify_user_text_changed, 1);
}

bool CTextLineArrow::OnClickPlus(const ZuObjectRef&, unsigned)
{
    Step(1);
    return true;
}

bool CTextLineArrow::OnClickMinus(const ZuObjectRef&, unsigned)
{
    Step(-1);
    return true;
}

bool CTextLineArrow::OnClickUnit(const ZuObjectRef&, unsigned)
{
    if (IsFixedUnit(unit))
        return true;
    int next = GetDocumentUnit(0);
    if (unit == GetDocumentUnit(0))
        next = GetDocumentUnit(1);
    else if (unit == GetDocumentUnit(1))
        next = GetDocumentUnit(0);
    // Without a document there are no unit slots to go to.
    if (next != unit && next != 0) {
        const double v = GetValue();
        SetUnit(next);
        SetValue(v);
    }
    return true;
}

bool CTextLineArrow::OnTextChange(const ZuObjectRef&, unsigned)
{
    UpdateSlider();
    return true;
}

bool CTextLineArrow::OnSliderChange(const ZuObjectRef&, unsigned)
{
    if (slider.IsInvalid())
        return true;
    double v = minimum + (maximum - minimum) * slider->GetPos();
    // A linear slider moves in whole display units.
    if (slider->GetLog() == 0)
        v = UnitToMm(std::trunc(MmToUnit(v, unit)), unit);
    if (v != GetValue()) {
        SetValue(v);
        QuickReport(notify_user_text_changed, 1);
    }
    return true;
}

void CTextLineArrow::NotifyTextChange(bool user)
{
    if (user) {
        // Text that is no number changes nothing and tells nobody.
        if (!IsNumberText(RetText()))
            return;
        last_value = GetValue();
    }
    ZuTextLine::NotifyTextChange(user);
}

void CTextLineArrow::RestoreRefusedText()
{
    if (!IsNumberText(RetText()))
        SetValue(last_value);
}

void CTextLineArrow::KeyDown(const ZuEventRef& event)
{
    if (event.IsValid()) {
        const ZuKey& key = event->RetKey();
        if (key.type == ZU_KEY_CURSOR && key.code == ZU_CURSOR_PAGE_UP) {
            Step(1);
            return;
        }
        if (key.type == ZU_KEY_CURSOR && key.code == ZU_CURSOR_PAGE_DOWN) {
            Step(-1);
            return;
        }
        if (key.type == ZU_KEY_RETURN || key.type == ZU_KEY_ENTER)
            RestoreRefusedText();
    }
    ZuTextLine::KeyDown(event);
}

void CTextLineArrow::ResignMain()
{
    RestoreRefusedText();
    ZuTextLine::ResignMain();
}

void CTextLineArrow::DragNotify(const ZuEventRef& event)
{
    ZuTextLine::DragNotify(event);
    ZuAdornerRef adorner = RetAdorner();
    if (adorner.IsValid())
        adorner->Flush(ZU_FLUSH_SYNC);
}

void CTextLineArrow::PlaceParts()
{
    const double x = box.X1(), y = box.Y1();
    const double w = box.DX(), h = box.DY();
    if (unit_button.IsValid()) {
        unit_button->SetOrigin(x + w, y);
        unit_button->SetSize(16, h);
    }
    if (plus_arrow.IsValid()) {
        plus_arrow->SetOrigin(x + w + 16, y);
        plus_arrow->SetSize(15, h / 2 + 1);
    }
    if (minus_arrow.IsValid()) {
        minus_arrow->SetOrigin(x + w + 16, y + h / 2 - 1);
        minus_arrow->SetSize(15, h / 2 + 1);
    }
    if (slider.IsValid())
        slider->Place(x + w + 33, y + 3, 74, h - 6, slider->GetStyle());
}

void CTextLineArrow::NotifyGeometryChange(const ZuRect& old_box)
{
    PlaceParts();
    ZuTextLine::NotifyGeometryChange(old_box);
}

bool CTextLineArrow::SetWindow(const ZuWindowRef& new_window)
{
    for (ZuIconRef* part : {&unit_button, &plus_arrow, &minus_arrow})
        if (part->IsValid())
            (*part)->SetWindow(new_window);
    if (slider.IsValid())
        slider->SetWindow(new_window);
    return ZuTextLine::SetWindow(new_window);
}

bool CTextLineArrow::SetParent(const ZuViewRef& parent)
{
    // The base first: moving to a new parent passes through the null one,
    // which would otherwise take the parts away again.
    const bool done = ZuTextLine::SetParent(parent);
    for (ZuIconRef* part : {&unit_button, &plus_arrow, &minus_arrow})
        if (part->IsValid())
            (*part)->SetParent(parent);
    if (slider.IsValid())
        slider->SetParent(parent);
    KeepPartsAhead(this);
    return done;
}

bool CTextLineArrow::SetToolTip(const ZuStringRef& text)
{
    const char* latin = text.IsValid() ? text->AccessLatin() : nullptr;
    const std::string t(latin != nullptr ? latin : "");
    if (plus_arrow.IsValid())
        plus_arrow->SetToolTip(ZuStringRef(("[+] " + t).c_str()));
    if (minus_arrow.IsValid())
        minus_arrow->SetToolTip(ZuStringRef(("[-] " + t).c_str()));
    if (slider.IsValid())
        slider->SetToolTip(ZuStringRef(t.c_str()));
    char hint[160];
    if (IsWholeUnit()) {
        std::snprintf(hint, sizeof hint, " [de %d \xE0 %d]", ToInt(minimum), ToInt(maximum));
    } else {
        char low[64], high[64];
        FormatInUnit(low, sizeof low, minimum, unit);
        FormatInUnit(high, sizeof high, maximum, unit);
        std::snprintf(hint, sizeof hint, " [de %s \xE0 %s]", low, high);
    }
    return ZuTextLine::SetToolTip(ZuStringRef((t + hint).c_str()));
}

bool CTextLineArrow::SetEnable(bool on)
{
    for (ZuIconRef* part : {&unit_button, &plus_arrow, &minus_arrow})
        if (part->IsValid())
            (*part)->ChangeState(ZU_VIEW_IS_ENABLED, on, true);
    if (slider.IsValid())
        slider->ChangeState(ZU_VIEW_IS_ENABLED, on, true);
    SetTransparentMode(!on);
    ZuTextLine::SetEnable(on);
    if (!on)
        SetActiveRank(-1);
    return true;
}

bool CTextLineArrow::SetVisible(bool visible)
{
    for (ZuIconRef* part : {&unit_button, &plus_arrow, &minus_arrow})
        if (part->IsValid())
            (*part)->ChangeState(ZU_VIEW_NO_DISPLAY, !visible, true);
    if (slider.IsValid())
        slider->ChangeState(ZU_VIEW_NO_DISPLAY, !visible, true);
    return ChangeState(ZU_VIEW_NO_DISPLAY, !visible, true);
}

void CTextLineArrow::DisplayAll()
{
    for (ZuIconRef* part : {&unit_button, &plus_arrow, &minus_arrow})
        if (part->IsValid())
            (*part)->Display(true);
    if (slider.IsValid())
        slider->Display(true);
    Display(true);
}

void CTextLineArrow::ChangeUnit(int new_unit)
{
    if (IsFixedUnit(unit) || state.TestBit(ZU_VIEW_NO_DISPLAY))
        return;
    const double v = GetValue();
    const bool has_text = RetText().IsValid() && RetText()->CharacterCount() > 0;
    SetUnit(new_unit);
    // Every entry that shows a number is rewritten, enabled or not: a text
    // left in the old unit would read as another value in the new one.
    if (has_text)
        SetValue(v);
}
