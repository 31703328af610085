#include "app/motiftilepane.h"

#include <algorithm>

#include "app/colordef.h"
#include "app/commands.h"
#include "app/grarect.h"
#include "app/idefdlg.h"
#include "app/pulsardef.h"
#include "app/separator.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/string.h"

ZU_IMPLEMENT_CLASS(CMotifSpecPane, "app/motiftilepane", ZU_CLASS_PLAIN)
ZU_EXPORT_OBSERVER(CMotifSpecPane, OnClickRadio)
ZU_EXPORT_OBSERVER(CMotifSpecPane, OnEdit1Change)
ZU_EXPORT_OBSERVER(CMotifSpecPane, OnEdit2Change)
ZU_EXPORT_OBSERVER(CMotifSpecPane, OnClickLink)

const SpecialFillRow SpecialFillRows[7] = {
    {0, 1, 0.0, 100.0, 1.0, 10, 2, 2.0, "Pas horizontal", "Pas vertical"},
    {12, 1, 0.0, 2.0, 0.05, 8, 2, 0.0,
     "Largeur occup\xe9"
     "e",
     "Hauteur occup\xe9"
     "e"},
    {0, 0, -100.0, 100.0, 1.0, 8, 2, 0.0, "Origine horizontale", "Origine verticale"},
    {12, 0, -0.5, 0.5, 0.05, 8, 2, 0.0,
     "D\xe9"
     "calage horizontal",
     "D\xe9"
     "calage vertical"},
    {12, 0, -2.0, 2.0, 0.1, 8, 2, 0.0, "Perspective horizontale", "Perspective verticale"},
    {13, 0, 0.0, 6.283185307, 0.08726646259722222, 8, 2, 0.0, "Inclinaison globale",
     "Inclinaison du motif"},
    {12, 0, 0.0, 1.0, 0.05, 8, 2, 0.0, "Variation", ""},
};

namespace {

const char* const kFile = "motiftilepane";
const int kFirstTag = 100;
const char* const kEvolution = "Selon \xe9volution ...";

// A step as the sample may divide by it: what a stored file can hold below
// the setters' floor (0, negative, tiny, not a number) counts as 0.1.
double SampleStep(double step)
{
    return step >= 0.1 ? step : 0.1;
}

} // namespace

void CMotifSpecPane::Delete()
{
    for (CButtonRef& button : buttons) {
        if (button.IsValid())
            button->Delete();
        button = CButtonRef();
    }
    ZuView::Delete();
}

bool CMotifSpecPane::Create(int new_kind)
{
    ready = notify = false;
    def = ZuNew<CMotifDef>(Zuvi_app_zone, __LINE__, kFile);
    kind = new_kind;
    BuildControls(0, 0);
    ready = notify = true;
    return true;
}

void CMotifSpecPane::BuildControls(int x, int y)
{
    const ZuViewRef self(this);
    box = NewBoxView(self, x + 4, y + 4, 194, 120);
    for (int i = 0; i < kRows; ++i) {
        NewIconButton(buttons[i], box, x + 8 + 23 * i, y + 8, 23, 23, kFirstTag + i, 170 + i);
        buttons[i]->AttachObserver(self, ZuControl::notify_clicked, ZuAtomRef("OnClickRadio"), 0);
    }
    NewValueEntries(box, x, y, label1, entry1, label2, entry2);
    // The second label ends short of the link switch and its bracket.
    label2->SetSize(160, label2->RetBox().DY());
    CSeparatorRef bracket = ZuNew<CSeparator>(Zuvi_app_zone, __LINE__, kFile);
    bracket->SetStyle(1u);
    bracket->SetOrigin(x + 180, y + 55);
    bracket->SetSize(4, 60);
    bracket->SetParent(box);
    // The switch stands just right of the sliders' last column.
    link_switch = ZuNew<ZuSwitch>(Zuvi_app_zone, __LINE__, kFile);
    link_switch->SetOrigin(x + 176, y + 75);
    link_switch->SetSize(20, 20);
    link_switch->SetSwitchState(linked);
    link_switch->SetToolTip(ZuStringRef("Lie les deux valeurs"));
    link_switch->SetParent(box);
    link_switch->AttachObserver(self, ZuControl::notify_clicked, ZuAtomRef("OnClickLink"), 0);
    sample = ZuNew<CSampleView>(Zuvi_app_zone, __LINE__, kFile);
    sample->Build(x + 4, y + 130, 194, 62, false);
    sample->SetParent(self);
    UpdateRadio();
    UpdateLayout();
    CDefPane::BuildControls(x, y);
}

bool CMotifSpecPane::SetValue(int value)
{
    if (def.IsValid())
        def->SetValue(value);
    return true;
}

int CMotifSpecPane::GetValue()
{
    return def.IsValid() ? def->GetValue() : -1;
}

bool CMotifSpecPane::SetDef(const CDefRef& other)
{
    return TakeDef(other, def);
}

void CMotifSpecPane::RegisterCodes()
{
    const int colour = kind == 20 ? 25 : (kind == 101 ? 105 : 0);
    if (colour == 0 || !def.IsValid())
        return;
    IDefDlg* dialog = RetDefDlg();
    if (dialog == nullptr)
        return;
    CDefRef colours = dialog->RetDefinition(colour);
    if (!colours.IsValid())
        return;
    colours->SetCount(def->CountKindValues());
    colours->SetStyle(3);
    AddCode(colour);
}

void CMotifSpecPane::Update()
{
    UpdateEnable();
    UpdateLayout();
    DrawSample();
}

void CMotifSpecPane::Refresh()
{
    notify = false;
    UpdateValue1();
    UpdateValue2();
    UpdateEnable();
    DrawSample();
    notify = true;
}

void CMotifSpecPane::NotifyChange(bool property_update, bool full)
{
    if (!notify)
        return;
    AddCode(kind);
    CDefPane::NotifyChange(property_update, full);
}

void CMotifSpecPane::GetEvolutionFlags(bool& first, bool& second)
{
    first = second = true;
    const int code = kind == 10 ? 12 : (kind == 20 ? 22 : (kind == 101 ? 103 : 0));
    if (code == 0 || (row != 5 && row != 6))
        return;
    IDefDlg* dialog = RetDefDlg();
    if (dialog == nullptr)
        return;
    CDefRef found = dialog->RetDefinition(code);
    if (!found.IsValid() || !found->IsKindOf(CPulsarDefRef::RetRuntime()))
        return;
    const CPulsarDefRef pulsar{ZuObjectRef(found)};
    if (pulsar->GetValue() == CPulsarDef::CONSTANT)
        return;
    // Row 6 (variation) follows pulsar value 5, row 5's second value (the
    // motif's inclination) pulsar value 4.
    const int value = row == 6 ? 5 : 4;
    bool& flag = row == 6 ? first : second;
    unsigned mask = 0;
    unsigned char flags = 0;
    if (pulsar->GetValueKind(value, mask) && mask != 0 && pulsar->GetValueFlags(value, flags))
        flag = flags != 0;
}

void CMotifSpecPane::UpdateEnable()
{
    bool first = true, second = true;
    GetEvolutionFlags(first, second);
    if (entry1.IsValid()) {
        entry1->SetEnable(first);
        entry1->DisplayAll();
    }
    if (entry2.IsValid()) {
        entry2->SetEnable(second);
        entry2->DisplayAll();
    }
}

void CMotifSpecPane::UpdateRadio()
{
    for (int i = 0; i < kRows; ++i)
        if (buttons[i].IsValid()) {
            SetViewOn(ZuViewRef(ZuObjectRef(buttons[i])), i == row ? 1 : 0);
            buttons[i]->Display(true);
        }
}

void CMotifSpecPane::LayoutEntry(const ZuTextTagRef& label, const CTextLineArrowRef& entry,
                                 const char* text, bool enabled)
{
    if (label.IsValid())
        label->SetText(ZuStringRef(!enabled && text[0] != 0 ? kEvolution : text));
    if (!entry.IsValid())
        return;
    if (text[0] == 0) {
        PutInto(ZuViewRef(entry), ZuViewRef());
        return;
    }
    const SpecialFillRow& r = SpecialFillRows[row];
    PutInto(ZuViewRef(entry), box);
    entry->SetUnit(r.unit);
    entry->SetMin(r.minimum);
    entry->SetMax(r.maximum);
    entry->SetStep(r.step);
    entry->SetSliderGrad(unsigned(r.slider_grad));
    entry->SetSliderSubdiv(unsigned(r.slider_subdiv));
    entry->SetSliderLog(r.slider_log);
}

void CMotifSpecPane::UpdateLayout()
{
    bool first = true, second = true;
    GetEvolutionFlags(first, second);
    const SpecialFillRow& r = SpecialFillRows[row];
    // The entries' bounds change: what they show is not the user's typing.
    const bool was_ready = ready;
    ready = false;
    LayoutEntry(label1, entry1, r.first_label, first);
    LayoutEntry(label2, entry2, r.second_label, second);
    ready = was_ready;
    if (link_switch.IsValid())
        PutInto(ZuViewRef(link_switch), r.linkable ? ZuViewRef(this) : ZuViewRef());
    if (box.IsValid())
        box->Display(true);
}

double CMotifSpecPane::ReadValue(int which) const
{
    const CMotifDef& d = *def.RetRawObject();
    switch (row * 2 + which) {
    case 0:
        return d.GetStepX();
    case 1:
        return d.GetStepY();
    case 2:
        return d.GetOccupiedWidth();
    case 3:
        return d.GetOccupiedHeight();
    case 4:
        return d.GetOriginX();
    case 5:
        return d.GetOriginY();
    case 6:
        return d.GetOffsetX();
    case 7:
        return d.GetOffsetY();
    case 8:
        return d.GetPerspectiveX();
    case 9:
        return d.GetPerspectiveY();
    case 10:
        return d.GetGlobalAngle();
    case 11:
        return d.GetMotifAngle();
    case 12:
        return d.GetVariation();
    }
    return 0.0;
}

void CMotifSpecPane::WriteValue(int which, double v)
{
    CMotifDef& d = *def.RetRawObject();
    switch (row * 2 + which) {
    case 0:
        d.SetStepX(v);
        break;
    case 1:
        d.SetStepY(v);
        break;
    case 2:
        d.SetOccupiedWidth(v);
        break;
    case 3:
        d.SetOccupiedHeight(v);
        break;
    case 4:
        d.SetOriginX(v);
        break;
    case 5:
        d.SetOriginY(v);
        break;
    case 6:
        d.SetOffsetX(v);
        break;
    case 7:
        d.SetOffsetY(v);
        break;
    case 8:
        d.SetPerspectiveX(v);
        break;
    case 9:
        d.SetPerspectiveY(v);
        break;
    case 10:
        d.SetGlobalAngle(v);
        break;
    case 11:
        d.SetMotifAngle(v);
        break;
    case 12:
        d.SetVariation(v);
        break;
    }
}

void CMotifSpecPane::UpdateValue1()
{
    if (!def.IsValid() || !entry1.IsValid())
        return;
    ready = false;
    entry1->SetValue(ReadValue(0));
    ready = true;
}

void CMotifSpecPane::UpdateValue2()
{
    if (!def.IsValid() || !entry2.IsValid() || SpecialFillRows[row].second_label[0] == 0)
        return;
    ready = false;
    entry2->SetValue(ReadValue(1));
    ready = true;
}

void CMotifSpecPane::DrawSample()
{
    if (!def.IsValid() || !sample.IsValid() || def->GetValue() != 64)
        return;
    const int brush_code = kind == 20 ? 21 : (kind == 101 ? 102 : 0);
    if (brush_code == 0)
        return;
    IDefDlg* dialog = RetDefDlg();
    if (dialog == nullptr)
        return;
    CDefRef found = dialog->RetDefinition(brush_code);
    if (!found.IsValid() || !found->IsKindOf(CPatternDefRef::RetRuntime()))
        return;
    const CPatternDefRef brush{ZuObjectRef(found)};
    if (drawn.IsValid() && drawn_brush.IsValid() &&
        drawn->IsEqualCurrent(CDefRef(ZuObjectRef(def))) &&
        drawn_brush->IsEqualCurrent(CDefRef(ZuObjectRef(brush))))
        return;
    if (!sample->Render())
        return;
    double zoom = 1.0;
    const double m = std::min(SampleStep(def->GetStepX()), SampleStep(def->GetStepY()));
    if (m < 20.0)
        zoom = 20.0 / m;
    sample->SetZoom(zoom);
    CColorDefRef colours = ZuNew<CColorDef>(Zuvi_app_zone, __LINE__, kFile);
    colours->SetCount(5);
    const double greys[5] = {1.0, 0.0, 0.5, 0.25, 0.75};
    for (int i = 0; i < 5; ++i) {
        colours->SetIndex(i);
        colours->SetRGB(greys[i], greys[i], greys[i]);
    }
    colours->SetCount(def->CountKindValues());
    CGraRectRef rect = ZuNew<CGraRect>(Zuvi_app_zone, __LINE__, kFile);
    rect->SetDefinition(20, ZuObjectRef(def));
    rect->SetDefinition(21, ZuObjectRef(brush));
    rect->SetDefinition(25, ZuObjectRef(colours));
    const DPoint corner = {97.0 / zoom, 31.0 / zoom};
    rect->SetPoints(&corner, 1);
    rect->DragPoint(DPoint{-97.0 / zoom, -31.0 / zoom}, 0);
    CGraPortRef port = sample->RetPort();
    rect->Draw(port, 7);
    sample->Display();
    ++draw_count;
    if (!drawn.IsValid())
        drawn = ZuNew<CMotifDef>(Zuvi_app_zone, __LINE__, kFile);
    drawn->CopyFrom(CDefRef(ZuObjectRef(def)));
    if (!drawn_brush.IsValid())
        drawn_brush = ZuNew<CPatternDef>(Zuvi_app_zone, __LINE__, kFile);
    drawn_brush->CopyFrom(CDefRef(ZuObjectRef(brush)));
}

bool CMotifSpecPane::OnClickRadio(const ZuObjectRef& source, unsigned)
{
    if (!source.IsValid() || !source->IsKindOf(ZuViewRef::RetRuntime()))
        return false;
    const int i = ZuViewRef(source)->RetUserTag() - kFirstTag;
    if (i < 0 || i >= kRows)
        return false;
    row = i;
    UpdateRadio();
    UpdateLayout();
    UpdateValue1();
    UpdateValue2();
    UpdateEnable();
    return true;
}

bool CMotifSpecPane::OnEdit1Change(const ZuObjectRef&, unsigned)
{
    if (!ready || !def.IsValid() || !entry1.IsValid())
        return false;
    WriteValue(0, entry1->GetValue());
    if (linked && row == 0)
        def->SetStepY(def->GetStepX());
    else if (linked && row == 1)
        def->SetOccupiedHeight(def->GetOccupiedWidth());
    if (linked && row <= 1)
        UpdateValue2();
    DrawSample();
    NotifyChange(true, false);
    return true;
}

bool CMotifSpecPane::OnEdit2Change(const ZuObjectRef&, unsigned)
{
    if (!ready || !def.IsValid() || !entry2.IsValid() || SpecialFillRows[row].second_label[0] == 0)
        return false;
    WriteValue(1, entry2->GetValue());
    if (linked && row == 0)
        def->SetStepX(def->GetStepY());
    else if (linked && row == 1)
        def->SetOccupiedWidth(def->GetOccupiedHeight());
    if (linked && row <= 1)
        UpdateValue1();
    DrawSample();
    NotifyChange(true, false);
    return true;
}

bool CMotifSpecPane::OnClickLink(const ZuObjectRef&, unsigned)
{
    if (!link_switch.IsValid())
        return false;
    linked = link_switch->RetSwitchState();
    return true;
}
