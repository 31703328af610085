#include "app/cornerpane.h"

#include "app/grarect.h"
#include "app/misc.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/rtclass.h"

ZU_IMPLEMENT_CLASS(CCornerPane, "app/cornerpane", ZU_CLASS_PLAIN)
ZU_EXPORT_OBSERVER(CCornerPane, OnEditLengthChange)

namespace {

const char* const kFile = "cornerpane";
const double kMaxInset = 100.0;

} // namespace

bool CCornerPane::Create(int new_kind)
{
    built = ready = false;
    def = ZuNew<CCornerDef>(Zuvi_app_zone, __LINE__, kFile);
    kind = new_kind;
    BuildControls(0, 0);
    built = ready = true;
    return true;
}

void CCornerPane::BuildControls(int x, int y)
{
    const ZuViewRef self(this);
    NewLabel(self, x + 24, y + 24, 50, 20, "Retrait");
    length_entry = NewEntry(self, x + 74, y + 24, 57, 20, 0, true, 98, "OnEditLengthChange");
    length_entry->SetMin(0);
    length_entry->SetMax(kMaxInset);
    length_entry->SetSliderGrad(10);
    length_entry->SetSliderSubdiv(2);
    length_entry->SetSliderLog(2.0);
    sample = ZuNew<CSampleView>(Zuvi_app_zone, __LINE__, kFile);
    sample->Build(x + 24, y + 92, 100, 100, false);
    sample->SetParent(self);
    CDefPane::BuildControls(x, y);
}

bool CCornerPane::SetValue(int value)
{
    if (def.IsValid())
        def->SetValue(value);
    return true;
}

int CCornerPane::GetValue()
{
    return def.IsValid() ? def->GetValue() : -1;
}

bool CCornerPane::SetDef(const CDefRef& other)
{
    return TakeDef(other, def);
}

void CCornerPane::NotifyChange(bool property_update, bool full)
{
    if (!ready)
        return;
    AddCode(kind);
    CDefPane::NotifyChange(property_update, full);
}

void CCornerPane::Refresh()
{
    ready = false;
    if (def.IsValid() && length_entry.IsValid()) {
        built = false;
        length_entry->SetValue(def->GetLength());
        built = true;
    }
    UpdateSample();
    ready = true;
}

void CCornerPane::UpdateSample()
{
    if (!def.IsValid() || !sample.IsValid())
        return;
    if (drawn.IsValid() && drawn->IsEqualCurrent(CDefRef(ZuObjectRef(def))))
        return;
    if (!sample->Render())
        return;
    CGraPortRef port = sample->RetPort();
    CGraRectRef rect = ZuNew<CGraRect>(Zuvi_app_zone, __LINE__, kFile);
    rect->SetDefinition(30, ZuObjectRef(def));
    // A large rectangle of which only the corner at (25, 25) shows.
    const DPoint corner{25.0, 25.0};
    rect->SetPoints(&corner, 1);
    rect->DragPoint(DPoint{-1000.0, -1000.0}, 0);
    const double inset = def->GetLength();
    sample->FitZoom(DRect{-inset, -inset, inset, inset});
    rect->Draw(port, 7);
    sample->Display();
    ++draw_count;
    if (!drawn.IsValid())
        drawn = ZuNew<CCornerDef>(Zuvi_app_zone, __LINE__, kFile);
    drawn->CopyFrom(CDefRef(ZuObjectRef(def)));
}

bool CCornerPane::OnEditLengthChange(const ZuObjectRef&, unsigned)
{
    if (!built || !def.IsValid() || !length_entry.IsValid())
        return true;
    double inset = length_entry->GetValue();
    if (!(inset >= 0.0))
        inset = 0.0;
    if (inset > kMaxInset)
        inset = kMaxInset;
    def->SetLength(inset);
    UpdateSample();
    NotifyChange(true, false);
    return true;
}
