#include "app/motifhachpane.h"

#include "app/colordef.h"
#include "app/grarect.h"
#include "app/idefdlg.h"
#include "app/misc.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/string.h"

ZU_IMPLEMENT_CLASS(CMotifHachPane, "app/motifhachpane", ZU_CLASS_PLAIN)
ZU_EXPORT_OBSERVER(CMotifHachPane, OnEditThickChange)
ZU_EXPORT_OBSERVER(CMotifHachPane, OnEditSpaceChange)
ZU_EXPORT_OBSERVER(CMotifHachPane, OnEditAngleChange)

namespace {

const char* const kFile = "motifhachpane";

} // namespace

bool CMotifHachPane::Create(int new_kind)
{
    ready = notify = false;
    def = ZuNew<CMotifDef>(Zuvi_app_zone, __LINE__, kFile);
    kind = new_kind;
    BuildControls(0, 0);
    ready = notify = true;
    return true;
}

void CMotifHachPane::BuildControls(int x, int y)
{
    const ZuViewRef self(this);
    const char* const labels[3] = {"Epaisseur", "Espacement", "Inclinaison"};
    const char* const handlers[3] = {"OnEditThickChange", "OnEditSpaceChange", "OnEditAngleChange"};
    CTextLineArrowRef* const rows[3] = {&thickness_entry, &spacing_entry, &angle_entry};
    for (int r = 0; r < 3; ++r) {
        const double h = 14 + 28 * r;
        NewLabel(self, x + 24, y + h, 80, 20, labels[r]);
        CTextLineArrowRef entry =
            NewEntry(self, x + 104, y + h, 57, 20, r == 2 ? 13 : 0, true, 98, handlers[r]);
        entry->SetMin(0.0);
        if (r < 2) {
            entry->SetMax(100.0);
            entry->SetSliderGrad(10);
            entry->SetSliderSubdiv(2);
            entry->SetSliderLog(2.0);
        } else {
            entry->SetMax(3.1415926535);
            entry->SetStep(0.08726646259722222);
            entry->SetSliderGrad(8);
            entry->SetSliderSubdiv(2);
        }
        *rows[r] = entry;
    }
    sample = ZuNew<CSampleView>(Zuvi_app_zone, __LINE__, kFile);
    sample->Build(x + 24, y + 102, 150, 90, false);
    sample->SetParent(self);
    CDefPane::BuildControls(x, y);
}

bool CMotifHachPane::SetValue(int value)
{
    if (def.IsValid())
        def->SetValue(value);
    return true;
}

int CMotifHachPane::GetValue()
{
    return def.IsValid() ? def->GetValue() : -1;
}

bool CMotifHachPane::SetDef(const CDefRef& other)
{
    return TakeDef(other, def);
}

void CMotifHachPane::RegisterCodes()
{
    const int colour = kind == 20 ? 25 : (kind == 101 ? 105 : 0);
    if (colour == 0)
        return;
    IDefDlg* dialog = RetDefDlg();
    if (dialog == nullptr)
        return;
    CDefRef def_colour = dialog->RetDefinition(colour);
    if (!def_colour.IsValid())
        return;
    def_colour->SetCount(2);
    def_colour->SetStyle(1);
    AddCode(colour);
}

void CMotifHachPane::Refresh()
{
    notify = false;
    UpdateThickness();
    UpdateSpacing();
    UpdateAngle();
    DrawSample();
    notify = true;
}

void CMotifHachPane::NotifyChange(bool property_update, bool full)
{
    if (!notify)
        return;
    AddCode(kind);
    CDefPane::NotifyChange(property_update, full);
}

bool CMotifHachPane::UpdateEntry(const CTextLineArrowRef& entry, double value)
{
    if (!entry.IsValid())
        return false;
    ready = false;
    const bool done = entry->SetValue(value);
    ready = true;
    return done;
}

bool CMotifHachPane::UpdateThickness()
{
    return def.IsValid() && UpdateEntry(thickness_entry, def->GetHatchThickness(0));
}

bool CMotifHachPane::UpdateSpacing()
{
    return def.IsValid() && UpdateEntry(spacing_entry, def->GetHatchSpacing(0));
}

bool CMotifHachPane::UpdateAngle()
{
    return def.IsValid() && UpdateEntry(angle_entry, def->GetHatchAngle(0));
}

void CMotifHachPane::DrawSample()
{
    if (!def.IsValid() || !sample.IsValid() || def->GetValue() != 62)
        return;
    if (drawn.IsValid() && drawn->IsEqualCurrent(CDefRef(ZuObjectRef(def))))
        return;
    if (!sample->Render())
        return;
    sample->SetZoom(1.0);
    CColorDefRef colours = ZuNew<CColorDef>(Zuvi_app_zone, __LINE__, kFile);
    colours->SetCount(2);
    colours->SetIndex(0);
    colours->SetRGB(1, 1, 1);
    colours->SetIndex(1);
    colours->SetRGB(0, 0, 0);
    CGraRectRef rect = ZuNew<CGraRect>(Zuvi_app_zone, __LINE__, kFile);
    rect->SetDefinition(20, ZuObjectRef(def));
    rect->SetDefinition(25, ZuObjectRef(colours));
    const DPoint corner = {75, 45};
    rect->SetPoints(&corner, 1);
    rect->DragPoint(DPoint{-75, -45}, 0);
    CGraPortRef port = sample->RetPort();
    rect->Draw(port, 7);
    sample->Display();
    ++draw_count;
    if (!drawn.IsValid())
        drawn = ZuNew<CMotifDef>(Zuvi_app_zone, __LINE__, kFile);
    drawn->CopyFrom(CDefRef(ZuObjectRef(def)));
}

bool CMotifHachPane::OnEditThickChange(const ZuObjectRef&, unsigned)
{
    if (!ready || !def.IsValid() || !thickness_entry.IsValid())
        return false;
    def->SetHatchThickness(0, thickness_entry->GetValue());
    DrawSample();
    NotifyChange(true, false);
    return true;
}

bool CMotifHachPane::OnEditSpaceChange(const ZuObjectRef&, unsigned)
{
    if (!ready || !def.IsValid() || !spacing_entry.IsValid())
        return false;
    def->SetHatchSpacing(0, spacing_entry->GetValue());
    DrawSample();
    NotifyChange(true, false);
    return true;
}

bool CMotifHachPane::OnEditAngleChange(const ZuObjectRef&, unsigned)
{
    if (!ready || !def.IsValid() || !angle_entry.IsValid())
        return false;
    def->SetHatchAngle(0, angle_entry->GetValue());
    DrawSample();
    NotifyChange(true, false);
    return true;
}
