#include "app/polyrpane.h"

#include "app/grapolyr.h"
#include "app/misc.h"
#include "app/slider.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/string.h"

ZU_IMPLEMENT_CLASS(CPolyRegPane, "app/polyrpane", ZU_CLASS_PLAIN)
ZU_EXPORT_OBSERVER(CPolyRegPane, OnEditNbSideChange)
ZU_EXPORT_OBSERVER(CPolyRegPane, OnEditFactorChange)

namespace {

const char* const kFile = "polyrpane";

} // namespace

bool CPolyRegPane::Create(int new_kind)
{
    ready = notify = false;
    def = ZuNew<CPolyRegDef>(Zuvi_app_zone, __LINE__, kFile);
    kind = new_kind;
    BuildControls(0, 0);
    ready = notify = true;
    return true;
}

void CPolyRegPane::Delete()
{
    // The indentation is out of the pane while the figure is no star: it
    // goes by itself.
    if (factor_label.IsValid() && factor_label->RetParent().IsInvalid())
        factor_label->Delete();
    if (factor_entry.IsValid() && factor_entry->RetParent().IsInvalid())
        factor_entry->Delete();
    factor_label = ZuTextTagRef();
    factor_entry = CTextLineArrowRef();
    CDefPane::Delete();
}

void CPolyRegPane::BuildControls(int x, int y)
{
    const ZuViewRef self(this);
    NewLabel(self, x + 24, y + 24, 120, 20, "Nombre de c\xf4t\xe9s");
    factor_label = ZuTextTagRef(NewLabel(self, x + 24, y + 52, 120, 20, "Renfoncement"));
    sides_entry = NewEntry(self, x + 144, y + 24, 57, 20, 10, true, CSlider::HORIZONTAL,
                           "OnEditNbSideChange");
    sides_entry->SetMin(3);
    sides_entry->SetMax(50);
    sides_entry->SetSliderGrad(0);
    sides_entry->SetSliderLog(0.0);
    factor_entry = NewEntry(self, x + 144, y + 52, 57, 20, 12, true, 98, "OnEditFactorChange");
    factor_entry->SetMin(0);
    factor_entry->SetMax(1);
    factor_entry->SetStep(0.05);
    factor_entry->SetSliderGrad(10);
    factor_entry->SetSliderSubdiv(2);
    sample = ZuNew<CSampleView>(Zuvi_app_zone, __LINE__, kFile);
    sample->Build(x + 24, y + 92, 100, 100, false);
    sample->SetParent(self);
    CDefPane::BuildControls(x, y);
}

bool CPolyRegPane::SetValue(int value)
{
    if (def.IsValid())
        def->SetValue(value);
    return true;
}

int CPolyRegPane::GetValue()
{
    return def.IsValid() ? def->GetValue() : -1;
}

bool CPolyRegPane::SetDef(const CDefRef& other)
{
    return TakeDef(other, def);
}

void CPolyRegPane::NotifyChange(bool property_update, bool full)
{
    if (!notify)
        return;
    AddCode(kind);
    CDefPane::NotifyChange(property_update, full);
}

void CPolyRegPane::Refresh()
{
    notify = false;
    if (def.IsValid()) {
        if (sides_entry.IsValid()) {
            ready = false;
            sides_entry->SetValue(def->GetSides());
            ready = true;
        }
        if (factor_entry.IsValid()) {
            ready = false;
            factor_entry->SetValue(def->GetIndentation());
            ready = true;
        }
        UpdateSample();
        const ZuViewRef parent = def->IsStar() ? ZuViewRef(this) : ZuViewRef();
        if (factor_label.IsValid())
            PutInto(ZuViewRef(factor_label), parent);
        if (factor_entry.IsValid())
            PutInto(ZuViewRef(factor_entry), parent);
    }
    notify = true;
}

void CPolyRegPane::UpdateSample()
{
    if (!def.IsValid() || !sample.IsValid())
        return;
    if (drawn.IsValid() && drawn->IsEqualCurrent(CDefRef(ZuObjectRef(def))))
        return;
    if (!sample->Render())
        return;
    sample->SetZoom(1.0);
    CGraPortRef port = sample->RetPort();
    CGraPolyRegRef figure = ZuNew<CGraPolyReg>(Zuvi_app_zone, __LINE__, kFile);
    figure->SetDefinition(50, ZuObjectRef(def));
    const DPoint points[2] = {{0.0, 0.0}, {0.0, 0.0}};
    figure->SetPoints(points, 2);
    figure->DragPoint(DPoint{0.0, 40.0}, 1);
    figure->Draw(port, 7);
    sample->Display();
    ++draw_count;
    if (!drawn.IsValid())
        drawn = ZuNew<CPolyRegDef>(Zuvi_app_zone, __LINE__, kFile);
    drawn->CopyFrom(CDefRef(ZuObjectRef(def)));
}

bool CPolyRegPane::OnEditNbSideChange(const ZuObjectRef&, unsigned)
{
    if (!ready || !def.IsValid() || !sides_entry.IsValid())
        return false;
    // The number as typed: the definition clamps it, the text stays.
    if (!CTextLineArrow::IsNumberText(sides_entry->RetText()))
        return false;
    def->SetSides(GetTextLineInt(ZuTextLineRef(ZuObjectRef(sides_entry))));
    UpdateSample();
    NotifyChange(true, false);
    return true;
}

bool CPolyRegPane::OnEditFactorChange(const ZuObjectRef&, unsigned)
{
    if (!ready || !def.IsValid() || !factor_entry.IsValid())
        return false;
    def->SetIndentation(factor_entry->GetValue());
    UpdateSample();
    NotifyChange(true, false);
    return true;
}
