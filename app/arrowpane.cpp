#include "app/arrowpane.h"

#include "app/graarrow.h"
#include "app/misc.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/string.h"

ZU_IMPLEMENT_CLASS(CArrowPane, "app/arrowpane", ZU_CLASS_PLAIN)
ZU_EXPORT_OBSERVER(CArrowPane, OnEditChange)
ZU_EXPORT_OBSERVER(CArrowPane, OnClickRadioInt)
ZU_EXPORT_OBSERVER(CArrowPane, OnClickRadioExt)

namespace {

const char* const kFile = "arrowpane";
const int kFirstTag = 100;

enum { kNoHead = 66, kTriangle = 67, kRound = 68, kArchitect = 69 };

// One row of an entry: its label (empty: not shown), the entry's unit,
// bounds, step and slider settings.
struct Row {
    const char* label;
    int unit;
    double minimum;
    double maximum;
    double step;
    unsigned graduations;
    unsigned subdivisions;
    double slider_log;
};

const Row kLength = {"Longueur", 0, 0.0, 100.0, 1.0, 10, 2, 2.0};
const Row kOpening = {"Ouverture", 0, 0.0, 100.0, 1.0, 10, 2, 2.0};
const Row kRecess = {"Renfoncement", 0, -100.0, 100.0, 1.0, 8, 2, 0.0};
const Row kOverhang = {"D\xe9"
                       "bordement",
                       0,
                       0.0,
                       100.0,
                       1.0,
                       10,
                       2,
                       2.0};
const Row kRadius = {"Rayon", 0, 0.0, 100.0, 1.0, 10, 2, 2.0};
const Row kSlant = {"Inclinaison", 13, 0.0, 6.283185307, 0.08726646259722222, 8, 2, 0.0};
const Row kNone = {"", 0, 0.0, 0.0, 0.0, 0, 0, 0.0};

const Row kInwardTable[CArrowPane::kRows] = {kLength, kOpening, kRecess, kNone};
const Row kOutwardTable[CArrowPane::kRows] = {kLength, kOpening, kRecess, kOverhang};
const Row kRoundTable[CArrowPane::kRows] = {kRadius, kNone, kNone, kNone};
const Row kArchitectTable[CArrowPane::kRows] = {kLength, kSlant, kNone, kNone};

ZuSwitchRef NewRadio(const ZuViewRef& parent, const ZuObjectRef& pane, double x, double y,
                     double dx, double dy, const char* title, const char* handler)
{
    ZuSwitchRef radio = ZuNew<ZuSwitch>(Zuvi_app_zone, __LINE__, kFile);
    radio->InitAsRadioButton();
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

} // namespace

void CArrowPane::Delete()
{
    // Rows and the box may be detached from the pane: they go with it.
    for (int i = 0; i < kRows; ++i) {
        if (labels[i].IsValid())
            labels[i]->Delete();
        if (entries[i].IsValid())
            entries[i]->Delete();
        labels[i] = ZuTextTagRef();
        entries[i] = CTextLineArrowRef();
    }
    if (direction_box.IsValid())
        direction_box->Delete();
    direction_box = ZuViewRef();
    inward = outward = ZuSwitchRef();
    ZuView::Delete();
}

bool CArrowPane::Create(int new_kind)
{
    built = ready = false;
    def = ZuNew<CArrowDef>(Zuvi_app_zone, __LINE__, kFile);
    kind = new_kind;
    BuildControls(0, 0);
    built = ready = true;
    return true;
}

void CArrowPane::BuildControls(int x, int y)
{
    const ZuViewRef self(this);
    for (int i = 0; i < kRows; ++i) {
        labels[i] = ZuNew<ZuTextTag>(Zuvi_app_zone, __LINE__, kFile);
        labels[i]->SetOrigin(x + 14, y + 14 + 26 * i);
        labels[i]->SetSize(90, 20);
        labels[i]->SetTextStyle(ZuTextStyle(ZU_TEXT_HPOS_RIGHT, ZU_TEXT_VPOS_CENTER));
        labels[i]->SetParent(self);
        entries[i] = NewEntry(self, x + 112, y + 14 + 26 * i, 57, 20, 0, true, 98, "OnEditChange");
        entries[i]->SetSliderGrad(10);
        entries[i]->SetUserTag(kFirstTag + i);
    }
    direction_box = NewGroup(x + 194, y + 124, 100, 60, "direction", "Direction");
    inward = NewRadio(direction_box, self, x + 204, y + 140, 80, 18,
                      "Int\xe9"
                      "rieur",
                      "OnClickRadioInt");
    outward = NewRadio(direction_box, self, x + 204, y + 158, 80, 18,
                       "Ext\xe9"
                       "rieur",
                       "OnClickRadioExt");
    sample = ZuNew<CSampleView>(Zuvi_app_zone, __LINE__, kFile);
    sample->Build(x + 14, y + 122, 170, 70, false);
    sample->SetParent(self);
    CDefPane::BuildControls(x, y);
}

bool CArrowPane::SetValue(int value)
{
    if (def.IsValid())
        def->SetValue(value);
    return true;
}

int CArrowPane::GetValue()
{
    return def.IsValid() ? def->GetValue() : -1;
}

bool CArrowPane::SetDef(const CDefRef& other)
{
    return TakeDef(other, def);
}

void CArrowPane::NotifyChange(bool property_update, bool full)
{
    if (!ready)
        return;
    AddCode(kind);
    CDefPane::NotifyChange(property_update, full);
}

void CArrowPane::Refresh()
{
    ready = false;
    LayOutRows();
    WriteEntries();
    SetSwitches();
    UpdateSample();
    ready = true;
}

void CArrowPane::LayOutRows()
{
    if (!def.IsValid())
        return;
    const ZuViewRef self(this);
    const Row* table = nullptr;
    switch (def->GetValue()) {
    case kTriangle:
        table = (def->GetFlags() & 1) != 0 ? kOutwardTable : kInwardTable;
        break;
    case kRound:
        table = kRoundTable;
        break;
    case kArchitect:
        table = kArchitectTable;
        break;
    default:
        // A head without dimensions: no row to edit, no direction.
        table = nullptr;
        break;
    }
    for (int i = 0; i < kRows; ++i) {
        if (!labels[i].IsValid() || !entries[i].IsValid())
            continue;
        if (table == nullptr || table[i].label[0] == 0) {
            PutInto(ZuViewRef(labels[i]), ZuViewRef());
            PutInto(ZuViewRef(entries[i]), ZuViewRef());
            continue;
        }
        const Row& row = table[i];
        labels[i]->SetText(ZuStringRef(row.label));
        PutInto(ZuViewRef(labels[i]), self);
        entries[i]->SetUnit(row.unit);
        entries[i]->SetMin(row.minimum);
        entries[i]->SetMax(row.maximum);
        entries[i]->SetStep(row.step);
        entries[i]->SetSliderGrad(row.graduations);
        entries[i]->SetSliderSubdiv(row.subdivisions);
        entries[i]->SetSliderLog(row.slider_log);
        PutInto(ZuViewRef(entries[i]), self);
    }
    if (direction_box.IsValid())
        PutInto(ZuViewRef(direction_box), def->GetValue() == kTriangle ? self : ZuViewRef());
    Display(true);
}

void CArrowPane::WriteEntries()
{
    if (!def.IsValid())
        return;
    double values[kRows] = {0.0, 0.0, 0.0, 0.0};
    switch (def->GetValue()) {
    case kTriangle:
        values[0] = def->GetParam1();
        values[1] = def->GetParam2();
        values[2] = def->GetParam3();
        values[3] = def->GetParam4();
        break;
    case kRound:
        values[0] = def->GetParam1();
        break;
    case kArchitect:
        values[0] = def->GetParam1();
        values[1] = def->GetParam5();
        break;
    default:
        break;
    }
    built = false;
    for (int i = 0; i < kRows; ++i)
        if (entries[i].IsValid())
            entries[i]->SetValue(values[i]);
    built = true;
}

void CArrowPane::SetSwitches()
{
    if (!def.IsValid())
        return;
    const bool outwards = (def->GetFlags() & 1) != 0;
    SetSwitch(inward, !outwards);
    SetSwitch(outward, outwards);
}

void CArrowPane::UpdateSample()
{
    if (!def.IsValid() || !sample.IsValid())
        return;
    if (drawn.IsValid() && drawn->IsEqualCurrent(CDefRef(ZuObjectRef(def))))
        return;
    if (!sample->Render())
        return;
    CGraPortRef port = sample->RetPort();
    CArrowDefRef plain = ZuNew<CArrowDef>(Zuvi_app_zone, __LINE__, kFile);
    plain->SetValue(kNoHead);
    CGraArrowRef line = ZuNew<CGraArrow>(Zuvi_app_zone, __LINE__, kFile);
    const bool at_start = kind == 40;
    line->SetDefinition(40, ZuObjectRef(at_start ? def : plain));
    line->SetDefinition(41, ZuObjectRef(at_start ? plain : def));
    const DPoint start{-50.0, 0.0};
    line->SetPoints(&start, 1);
    line->DragPoint(DPoint{50.0, 0.0}, 0);
    line->UpdateBoundingBox(port);
    sample->FitZoom(line->GetBoundingBox());
    line->Draw(port, 7);
    sample->Display();
    ++draw_count;
    if (!drawn.IsValid())
        drawn = ZuNew<CArrowDef>(Zuvi_app_zone, __LINE__, kFile);
    drawn->CopyFrom(CDefRef(ZuObjectRef(def)));
}

bool CArrowPane::OnEditChange(const ZuObjectRef& source, unsigned)
{
    if (!built || !def.IsValid() || !source.IsValid() || !source->IsKindOf(ZuViewRef::RetRuntime()))
        return true;
    const int row = ZuViewRef(source)->RetUserTag() - kFirstTag;
    if (row < 0 || row >= kRows || !entries[row].IsValid())
        return true;
    const double value = entries[row]->GetValue();
    const int shape = def->GetValue();
    if (shape == kTriangle) {
        if (row == 0)
            def->SetParam1(value);
        else if (row == 1)
            def->SetParam2(value);
        else if (row == 2)
            def->SetParam3(value);
        else
            def->SetParam4(value);
    } else if (shape == kRound && row == 0) {
        def->SetParam1(value);
    } else if (shape == kArchitect && row <= 1) {
        if (row == 0)
            def->SetParam1(value);
        else
            def->SetParam5(value);
    } else {
        // No dimension behind this row for the shape: nothing changed.
        return true;
    }
    UpdateSample();
    NotifyChange(false, false);
    return true;
}

void CArrowPane::SetDirection(bool outwards)
{
    if (!def.IsValid())
        return;
    const int flags = def->GetFlags();
    def->SetFlags(outwards ? (flags | 1) : (flags & ~1));
    LayOutRows();
    WriteEntries();
    UpdateSample();
    NotifyChange(false, false);
}

bool CArrowPane::OnClickRadioInt(const ZuObjectRef&, unsigned)
{
    SetDirection(false);
    return true;
}

bool CArrowPane::OnClickRadioExt(const ZuObjectRef&, unsigned)
{
    SetDirection(true);
    return true;
}
