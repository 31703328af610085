#include "app/penbasepane.h"

#include <cmath>
#include <cstdio>

#include "app/graline.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/string.h"

ZU_IMPLEMENT_CLASS(CPenBasePane, "app/penbasepane", ZU_CLASS_PLAIN)
ZU_EXPORT_OBSERVER(CPenBasePane, OnPenEditWidthChange)
ZU_EXPORT_OBSERVER(CPenBasePane, OnPenEditLimitChange)
ZU_EXPORT_OBSERVER(CPenBasePane, OnClickRadioExt1)
ZU_EXPORT_OBSERVER(CPenBasePane, OnClickRadioExt2)
ZU_EXPORT_OBSERVER(CPenBasePane, OnClickRadioExt3)
ZU_EXPORT_OBSERVER(CPenBasePane, OnClickRadioJoin1)
ZU_EXPORT_OBSERVER(CPenBasePane, OnClickRadioJoin2)
ZU_EXPORT_OBSERVER(CPenBasePane, OnClickRadioJoin3)
ZU_EXPORT_OBSERVER(CPenBasePane, OnClickRadioDash1)
ZU_EXPORT_OBSERVER(CPenBasePane, OnClickRadioDash2)
ZU_EXPORT_OBSERVER(CPenBasePane, OnClickRadioDash3)
ZU_EXPORT_OBSERVER(CPenBasePane, OnClickRadioDash4)
ZU_EXPORT_OBSERVER(CPenBasePane, OnClickRadioDash5)
ZU_EXPORT_OBSERVER(CPenBasePane, OnPenDashChange1)
ZU_EXPORT_OBSERVER(CPenBasePane, OnPenDashChange2)
ZU_EXPORT_OBSERVER(CPenBasePane, OnPenDashChange3)
ZU_EXPORT_OBSERVER(CPenBasePane, OnPenDashChange4)
ZU_EXPORT_OBSERVER(CPenBasePane, OnPenHoleChange1)
ZU_EXPORT_OBSERVER(CPenBasePane, OnPenHoleChange2)
ZU_EXPORT_OBSERVER(CPenBasePane, OnPenHoleChange3)
ZU_EXPORT_OBSERVER(CPenBasePane, OnPenHoleChange4)

namespace {

const char* const kFile = "penbasepane";

ZuSwitchRef NewRadio(const ZuViewRef& parent, const ZuObjectRef& pane, double x, double y,
                     double dx, double dy, const char* title, const char* handler)
{
    ZuSwitchRef radio = ZuNew<ZuSwitch>(Zuvi_app_zone, __LINE__, kFile);
    radio->InitAsRadioButton();
    if (title != nullptr)
        radio->SetTitle(ZuStringRef(title));
    radio->SetOrigin(x, y);
    radio->SetSize(dx, dy);
    radio->SetParent(parent);
    radio->AttachObserver(pane, ZuControl::notify_clicked, ZuAtomRef(handler), 0);
    return radio;
}

void SetSwitch(const ZuSwitchRef& radio, bool on)
{
    if (!radio.IsValid())
        return;
    radio->SetSwitchState(on);
    radio->Display(true);
}

// A box holding every point of the segment's stroke with the pen as the
// interpreter outlines it when measuring under the given zoom: the pen's
// half width reaches farthest at a square cap's corners (half the width
// times the square root of 2 from an end point), joins do not occur on one
// segment and dashes only leave parts out; two pixels of the measuring
// zoom cover the interpreter's rounding and its thinnest line. False when
// the pen's width or the zoom gives no usable bound.
bool StrokeReach(const CPenDefRef& pen, const DPoint& a, const DPoint& b, double zoom, DRect& reach)
{
    const double width = pen->GetWidth();
    if (!std::isfinite(width) || width < 0.0 || !std::isfinite(zoom) || !(zoom > 0.0))
        return false;
    const double grow = 0.5 * width * std::sqrt(2.0) + 2.0 / zoom;
    reach = DRect{std::fmin(a.x, b.x) - grow, std::fmin(a.y, b.y) - grow,
                  std::fmax(a.x, b.x) + grow, std::fmax(a.y, b.y) + grow};
    return std::isfinite(grow);
}

} // namespace

bool CPenBasePane::Create(int new_kind)
{
    ready = notify = false;
    def = ZuNew<CPenDef>(Zuvi_app_zone, __LINE__, kFile);
    kind = new_kind;
    BuildControls(0, 0);
    ready = notify = true;
    return true;
}

void CPenBasePane::BuildControls(int x, int y)
{
    const ZuViewRef self(this);
    const ZuObjectRef pane(this);
    char name[32];
    NewLabel(self, x + 14, y + 8, 64, 20, "Epaisseur");
    width_entry = NewEntry(self, x + 78, y + 8, 57, 20, 0, true, 98, "OnPenEditWidthChange");
    width_entry->SetMin(0.0);
    width_entry->SetMax(100.0);
    width_entry->SetStep(0.1);
    width_entry->SetSliderGrad(10);
    width_entry->SetSliderSubdiv(2);
    width_entry->SetSliderLog(2.0);

    ZuViewRef caps = NewGroup(x + 4, y + 32, 78, 130, "ext", "Extr\xe9mit\xe9s");
    const char* const cap_titles[3] = {"Coup\xe9", "Rond", "Carr\xe9"};
    for (int i = 0; i < 3; ++i) {
        std::snprintf(name, sizeof name, "OnClickRadioExt%d", i + 1);
        cap_radio[i] = NewRadio(caps, pane, x + 12, y + 52 + 20 * i, 62, 20, cap_titles[i], name);
    }

    ZuViewRef joins = NewGroup(x + 86, y + 32, 88, 130, "join", "Jointures");
    const char* const join_titles[3] = {"Fl\xe8"
                                        "che",
                                        "Arrondi", "Entaille"};
    for (int i = 0; i < 3; ++i) {
        std::snprintf(name, sizeof name, "OnClickRadioJoin%d", i + 1);
        join_radio[i] =
            NewRadio(joins, pane, x + 94, y + 52 + 20 * i, 72, 20, join_titles[i], name);
    }
    limit_label = ZuTextTagRef(NewLabel(joins, x + 94, y + 115, 72, 17, "Angle limite"));
    limit_entry = NewEntry(joins, x + 94, y + 132, 41, 20, 13, false, 98, "OnPenEditLimitChange");
    limit_entry->SetMin(0.0);
    limit_entry->SetMax(3.1415926535);
    limit_entry->SetStep(0.08726646259722222);

    ZuViewRef dashes = NewGroup(x + 178, y + 32, 186, 130, "tt", "Traitill\xe9");
    const char* const tips[5] = {"Trait continu", "1 couple trait/trou", "2 couples trait/trou",
                                 "3 couples trait/trou", "4 couples trait/trou"};
    for (int n = 0; n < 5; ++n) {
        std::snprintf(name, sizeof name, "OnClickRadioDash%d", n + 1);
        dash_radio[n] = NewRadio(dashes, pane, x + 182, y + 52 + 20 * n, 20, 20, nullptr, name);
        dash_radio[n]->SetToolTip(ZuStringRef(tips[n]));
    }
    NewLabel(dashes, x + 202, y + 52, 77, 20, "Trait");
    NewLabel(dashes, x + 279, y + 52, 77, 20, "Trou");
    for (int k = 0; k < 4; ++k) {
        std::snprintf(name, sizeof name, "OnPenDashChange%d", k + 1);
        dash_entry[k] = NewEntry(dashes, x + 202, y + 72 + 20 * k, 46, 20, 0, false, 98, name);
        dash_entry[k]->SetMin(0.0);
        std::snprintf(name, sizeof name, "OnPenHoleChange%d", k + 1);
        gap_entry[k] = NewEntry(dashes, x + 279, y + 72 + 20 * k, 46, 20, 0, false, 98, name);
        gap_entry[k]->SetMin(0.0);
    }

    sample = ZuNew<CSampleView>(Zuvi_app_zone, __LINE__, kFile);
    sample->Build(x + 4, y + 168, 200, 24, false);
    sample->SetParent(self);
    CDefPane::BuildControls(x, y);
}

bool CPenBasePane::SetValue(int value)
{
    if (def.IsValid())
        def->SetValue(value);
    return true;
}

int CPenBasePane::GetValue()
{
    return def.IsValid() ? def->GetValue() : -1;
}

bool CPenBasePane::SetDef(const CDefRef& other)
{
    return TakeDef(other, def);
}

void CPenBasePane::NotifyChange(bool property_update, bool full)
{
    if (!notify)
        return;
    AddCode(kind);
    CDefPane::NotifyChange(property_update, full);
}

void CPenBasePane::Refresh()
{
    notify = false;
    if (def.IsValid()) {
        UpdateWidth();
        UpdateLimit();
        UpdateCaps();
        UpdateJoins();
        UpdateDashCount();
        UpdateDashEntries();
        DrawSample();
    }
    notify = true;
}

void CPenBasePane::UpdateWidth()
{
    if (!width_entry.IsValid())
        return;
    ready = false;
    width_entry->SetValue(def->GetWidth());
    ready = true;
}

void CPenBasePane::UpdateLimit()
{
    if (!limit_label.IsValid() || !limit_entry.IsValid() || !def.IsValid())
        return;
    ready = false;
    limit_entry->SetValue(def->GetLimitAngle());
    ready = true;
    if (def->GetJoin() == 0) {
        limit_label->ChangeState(ZU_VIEW_NO_DISPLAY, false, false);
        limit_label->Display(true);
        limit_entry->SetVisible(true);
        limit_entry->DisplayAll();
    } else {
        limit_label->ChangeState(ZU_VIEW_NO_DISPLAY, true, false);
        limit_entry->SetVisible(false);
        Display(true);
    }
}

void CPenBasePane::UpdateCaps()
{
    ready = false;
    for (int i = 0; i < 3; ++i)
        SetSwitch(cap_radio[i], def->GetCap() == i);
    ready = true;
}

void CPenBasePane::UpdateJoins()
{
    ready = false;
    for (int i = 0; i < 3; ++i)
        SetSwitch(join_radio[i], def->GetJoin() == i);
    ready = true;
}

void CPenBasePane::UpdateDashCount()
{
    int count = 0;
    for (int k = 3; k >= 0; --k)
        if (def->GetDash(k) != 0.0 || def->GetGap(k) != 0.0) {
            count = k + 1;
            break;
        }
    ready = false;
    for (int n = 0; n < 5; ++n)
        SetSwitch(dash_radio[n], n == count);
    ready = true;
}

void CPenBasePane::UpdateDashEntries()
{
    int count = -1;
    for (int n = 4; n >= 0; --n)
        if (dash_radio[n].IsValid() && dash_radio[n]->RetSwitchState()) {
            count = n;
            break;
        }
    ready = false;
    for (int k = 0; k < 4; ++k) {
        CTextLineArrowRef entries[2] = {dash_entry[k], gap_entry[k]};
        for (int j = 0; j < 2; ++j) {
            const CTextLineArrowRef& e = entries[j];
            if (!e.IsValid())
                continue;
            if (k < count) {
                e->SetValue(j == 0 ? def->GetDash(k) : def->GetGap(k));
                e->SetEnable(true);
                e->SetTransparentMode(false);
                e->SetActiveRank(2 * k + j);
            } else {
                e->SetText(ZuStringRef(""));
                e->SetEnable(false);
                e->SetTransparentMode(true);
                e->SetActiveRank(-1);
            }
            e->Display(true);
        }
    }
    ready = true;
}

void CPenBasePane::DrawSample()
{
    if (!sample.IsValid() || !def.IsValid() || !sample->Render())
        return;
    CGraPortRef port = sample->RetPort();
    CGraLineRef line = ZuNew<CGraLine>(Zuvi_app_zone, __LINE__, kFile);
    line->SetDefinition(10, ZuObjectRef(def));
    const DPoint points[2] = {{-88.0, 0.0}, {88.0, 0.0}};
    line->SetPoints(points, 2);
    line->DragPoint(points[1], 1);
    // Asking the interpreter for the stroke's box costs about as much as
    // drawing it, and its answer only matters when the stroke may leave the
    // box: a bound of every point the stroke can reach that fits settles
    // the zoom at 1 without it.
    DRect reach;
    if (StrokeReach(def, line->GetHandlePosition(0), line->GetHandlePosition(1), sample->RetZoom(),
                    reach) &&
        sample->FitsAtFullSize(reach)) {
        sample->SetZoom(1.0);
    } else {
        line->UpdateBoundingBox(port);
        sample->FitZoom(line->GetBoundingBox());
    }
    line->Draw(port, 7);
    sample->Display();
}

bool CPenBasePane::Edited()
{
    DrawSample();
    NotifyChange(false, false);
    return true;
}

void CPenBasePane::SelectCap(int i)
{
    def->SetCap(i);
}

void CPenBasePane::SelectJoin(int i)
{
    def->SetJoin(i);
    UpdateLimit();
}

void CPenBasePane::SelectDashCount(int n)
{
    for (int k = 3; k >= n; --k) {
        def->SetDash(k, 0.0);
        def->SetGap(k, 0.0);
    }
    UpdateDashEntries();
}

void CPenBasePane::ChangeDash(int k)
{
    if (dash_entry[k].IsValid())
        def->SetDash(k, dash_entry[k]->GetValue());
}

void CPenBasePane::ChangeHole(int k)
{
    if (gap_entry[k].IsValid())
        def->SetGap(k, gap_entry[k]->GetValue());
}

bool CPenBasePane::OnPenEditWidthChange(const ZuObjectRef&, unsigned)
{
    if (!CanEdit() || !width_entry.IsValid())
        return false;
    def->SetWidth(width_entry->GetValue());
    return Edited();
}

bool CPenBasePane::OnPenEditLimitChange(const ZuObjectRef&, unsigned)
{
    if (!CanEdit() || !limit_entry.IsValid())
        return false;
    def->SetLimitAngle(limit_entry->GetValue());
    return Edited();
}

#define PEN_HANDLER(name, method, index)                  \
    bool CPenBasePane::name(const ZuObjectRef&, unsigned) \
    {                                                     \
        if (!CanEdit())                                   \
            return false;                                 \
        method(index);                                    \
        return Edited();                                  \
    }
PEN_HANDLER(OnClickRadioExt1, SelectCap, 0)
PEN_HANDLER(OnClickRadioExt2, SelectCap, 1)
PEN_HANDLER(OnClickRadioExt3, SelectCap, 2)
PEN_HANDLER(OnClickRadioJoin1, SelectJoin, 0)
PEN_HANDLER(OnClickRadioJoin2, SelectJoin, 1)
PEN_HANDLER(OnClickRadioJoin3, SelectJoin, 2)
PEN_HANDLER(OnClickRadioDash1, SelectDashCount, 0)
PEN_HANDLER(OnClickRadioDash2, SelectDashCount, 1)
PEN_HANDLER(OnClickRadioDash3, SelectDashCount, 2)
PEN_HANDLER(OnClickRadioDash4, SelectDashCount, 3)
PEN_HANDLER(OnClickRadioDash5, SelectDashCount, 4)
PEN_HANDLER(OnPenDashChange1, ChangeDash, 0)
PEN_HANDLER(OnPenDashChange2, ChangeDash, 1)
PEN_HANDLER(OnPenDashChange3, ChangeDash, 2)
PEN_HANDLER(OnPenDashChange4, ChangeDash, 3)
PEN_HANDLER(OnPenHoleChange1, ChangeHole, 0)
PEN_HANDLER(OnPenHoleChange2, ChangeHole, 1)
PEN_HANDLER(OnPenHoleChange3, ChangeHole, 2)
PEN_HANDLER(OnPenHoleChange4, ChangeHole, 3)
#undef PEN_HANDLER
