#include "app/penmotifpane.h"

#include "app/colordef.h"
#include "app/commands.h"
#include "app/grapolyc.h"
#include "app/idefdlg.h"
#include "app/pulsardef.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/string.h"

ZU_IMPLEMENT_CLASS(CPenMotifPane, "app/penmotifpane", ZU_CLASS_PLAIN)
ZU_EXPORT_OBSERVER(CPenMotifPane, OnClickRadio)
ZU_EXPORT_OBSERVER(CPenMotifPane, OnClickSwitch)
ZU_EXPORT_OBSERVER(CPenMotifPane, OnEdit1Change)
ZU_EXPORT_OBSERVER(CPenMotifPane, OnEdit2Change)

namespace {

const char* const kFile = "penmotifpane";
const int kModeTag = 100;
const int kSwitchTag = 200;
const char* const kEvolution = "Selon \xe9volution ...";

// How an entry shows one value of a mode; an empty label: not shown.
struct MotifParam {
    int unit;
    double minimum;
    double maximum;
    double step;
    int slider_grad;
    int slider_subdiv;
    double slider_log;
    char label[56];
};

// Two records a mode: entry 1, then entry 2.
const MotifParam kParams[2 * CPenMotifPane::kModes] = {
    {0, 0.0, 100.0, 1.0, 10, 2, 2.0, "Espacement le long du trait"},
    {0, 0.0, 100.0, 5.0, 8, 2, 0.0, ""},
    {12, 0.5, 10.0, 0.05, 8, 2, 0.0, "Taille parall\xe8le"},
    {12, 0.5, 10.0, 0.05, 8, 2, 0.0, "Taille perpendiculaire"},
    {12, -2.0, 2.0, 0.05, 8, 2, 0.0,
     "D\xe9"
     "calage perpendiculaire"},
    {0, 0.0, 100.0, 5.0, 8, 2, 0.0, ""},
    {13, -3.1415926535, 3.1415926535, 0.08726646259722222, 8, 2, 0.0, "Inclinaison"},
    {0, 0.0, 100.0, 5.0, 8, 2, 0.0, ""},
    {12, 0.0, 1.0, 0.05, 8, 2, 0.0, "Variation"},
    {0, 0.0, 100.0, 5.0, 8, 2, 0.0, ""},
};

const struct {
    const char* title;
    int bit;
} kOptionTable[CPenMotifPane::kOptions] = {
    {"Motif d\xe9"
     "form\xe9",
     8},
    {"Miroir parall\xe8le", 64},
    {"Miroir perpendiculaire", 128},
    {"Orient\xe9 selon courbure", 256},
    {"Angle fixe", 4},
    {"R\xe9partition r\xe9guli\xe8re", 512},
};

// The sender's user tag less the first tag, when it is a view.
int SenderIndex(const ZuObjectRef& source, int first)
{
    if (!source.IsValid() || !source->IsKindOf(ZuViewRef::RetRuntime()))
        return -1;
    return ZuViewRef(source)->RetUserTag() - first;
}

} // namespace

int CPenMotifPane::OptionBit(int i)
{
    return i >= 0 && i < kOptions ? kOptionTable[i].bit : 0;
}

void CPenMotifPane::Delete()
{
    for (CButtonRef& button : buttons) {
        if (button.IsValid())
            button->Delete();
        button = CButtonRef();
    }
    for (ZuSwitchRef& s : switches) {
        if (s.IsValid())
            s->Delete();
        s = ZuSwitchRef();
    }
    // An entry the mode leaves unused is out of the box: it goes by itself.
    for (CTextLineArrowRef* entry : {&entry1, &entry2}) {
        if (entry->IsValid() && (*entry)->RetParent().IsInvalid())
            (*entry)->Delete();
        *entry = CTextLineArrowRef();
    }
    ZuView::Delete();
}

bool CPenMotifPane::Create(int new_kind)
{
    ready = notify = false;
    def = ZuNew<CPenDef>(Zuvi_app_zone, __LINE__, kFile);
    kind = new_kind;
    BuildControls(0, 0);
    ready = notify = true;
    return true;
}

void CPenMotifPane::BuildControls(int x, int y)
{
    const ZuViewRef self(this);
    box = NewBoxView(self, x + 4, y + 4, 194, 120);
    for (int i = 0; i < kModes; ++i) {
        NewIconButton(buttons[i], box, x + 8 + 23 * i, y + 8, 23, 23, kModeTag + i, 180 + i);
        buttons[i]->AttachObserver(self, ZuControl::notify_clicked, ZuAtomRef("OnClickRadio"), 0);
    }
    NewValueEntries(box, x, y, label1, entry1, label2, entry2);
    for (int i = 0; i < kOptions; ++i) {
        ZuSwitchRef s = ZuNew<ZuSwitch>(Zuvi_app_zone, __LINE__, kFile);
        s->InitAsCheckBox();
        s->SetTitle(ZuStringRef(kOptionTable[i].title));
        s->SetOrigin(x + 202, y + 4 + 16 * i);
        s->SetSize(160, 16);
        s->SetUserTag(kSwitchTag + i);
        s->SetParent(self);
        s->AttachObserver(self, ZuControl::notify_clicked, ZuAtomRef("OnClickSwitch"), 0);
        switches[i] = s;
    }
    sample = ZuNew<CSampleView>(Zuvi_app_zone, __LINE__, kFile);
    sample->Build(x + 4, y + 130, 194, 62, false);
    sample->SetParent(self);
    UpdateEditors();
    UpdateModeButtons();
    CDefPane::BuildControls(x, y);
}

bool CPenMotifPane::SetValue(int value)
{
    if (def.IsValid())
        def->SetValue(value);
    return true;
}

int CPenMotifPane::GetValue()
{
    return def.IsValid() ? def->GetValue() : -1;
}

bool CPenMotifPane::SetDef(const CDefRef& other)
{
    return TakeDef(other, def);
}

void CPenMotifPane::RegisterCodes()
{
    const int colour = kind == 10 ? 15 : (kind == 20 ? 25 : (kind == 101 ? 105 : 0));
    if (colour == 0 || !def.IsValid())
        return;
    IDefDlg* dialog = RetDefDlg();
    if (dialog == nullptr)
        return;
    CDefRef colours = dialog->RetDefinition(colour);
    if (!colours.IsValid())
        return;
    colours->SetCount(def->CountKindValues());
    colours->SetStyle(4);
    AddCode(colour);
}

void CPenMotifPane::Update()
{
    UpdateEditEnable();
    UpdateEditors();
    DrawSample();
}

void CPenMotifPane::Refresh()
{
    notify = false;
    UpdateEdit1Value();
    UpdateEdit2Value();
    UpdateEditEnable();
    UpdateSwitches();
    DrawSample();
    notify = true;
}

void CPenMotifPane::NotifyChange(bool property_update, bool full)
{
    if (!notify)
        return;
    AddCode(kind);
    CDefPane::NotifyChange(property_update, full);
}

void CPenMotifPane::RetEditEnable(bool& first, bool& second)
{
    first = second = true;
    const int code = kind == 10 ? 12 : (kind == 20 ? 22 : (kind == 101 ? 103 : 0));
    if (code == 0)
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
    // The pulsar values that drive each mode's entries (-1: none).
    const int drivers[kModes][2] = {{-1, -1}, {1, 2}, {3, -1}, {4, -1}, {5, -1}};
    bool* results[2] = {&first, &second};
    for (int n = 0; n < 2; ++n) {
        const int value = drivers[mode][n];
        unsigned mask = 0;
        unsigned char flags = 0;
        if (value >= 0 && pulsar->GetValueKind(value, mask) && mask != 0 &&
            pulsar->GetValueFlags(value, flags))
            *results[n] = flags != 0;
    }
}

void CPenMotifPane::UpdateEditEnable()
{
    bool first = true, second = true;
    RetEditEnable(first, second);
    if (entry1.IsValid()) {
        entry1->SetEnable(first);
        entry1->DisplayAll();
    }
    if (entry2.IsValid()) {
        entry2->SetEnable(second);
        entry2->DisplayAll();
    }
}

void CPenMotifPane::UpdateEditors()
{
    bool enabled[2] = {true, true};
    RetEditEnable(enabled[0], enabled[1]);
    const ZuTextTagRef* labels[2] = {&label1, &label2};
    const CTextLineArrowRef* entries[2] = {&entry1, &entry2};
    // The entries' bounds change: what they show is not the user's typing.
    const bool was_ready = ready;
    ready = false;
    for (int n = 0; n < 2; ++n) {
        const MotifParam& r = kParams[2 * mode + n];
        const ZuTextTagRef& label = *labels[n];
        const CTextLineArrowRef& entry = *entries[n];
        if (label.IsValid())
            label->SetText(ZuStringRef(!enabled[n] && r.label[0] != 0 ? kEvolution : r.label));
        if (!entry.IsValid())
            continue;
        if (r.label[0] == 0) {
            PutInto(ZuViewRef(entry), ZuViewRef());
            continue;
        }
        PutInto(ZuViewRef(entry), box);
        entry->SetUnit(r.unit);
        entry->SetMin(r.minimum);
        entry->SetMax(r.maximum);
        entry->SetStep(r.step);
        entry->SetSliderGrad(unsigned(r.slider_grad));
        entry->SetSliderSubdiv(unsigned(r.slider_subdiv));
        entry->SetSliderLog(r.slider_log);
    }
    ready = was_ready;
    if (box.IsValid())
        box->Display(true);
}

void CPenMotifPane::UpdateEdit1Value()
{
    if (!def.IsValid() || !entry1.IsValid())
        return;
    double v = 0.0;
    switch (mode) {
    case 0:
        v = def->GetMotifParam();
        break;
    case 1:
        v = def->GetMotifPair(0);
        break;
    case 2:
        v = def->GetMotifValue1();
        break;
    case 3:
        v = def->GetMotifValue2();
        break;
    default:
        v = def->GetMotifValue3();
        break;
    }
    ready = false;
    entry1->SetValue(v);
    ready = true;
}

void CPenMotifPane::UpdateEdit2Value()
{
    if (!def.IsValid() || !entry2.IsValid() || mode != 1)
        return;
    ready = false;
    entry2->SetValue(def->GetMotifPair(1));
    ready = true;
}

void CPenMotifPane::UpdateModeButtons()
{
    for (int i = 0; i < kModes; ++i)
        if (buttons[i].IsValid()) {
            SetViewOn(ZuViewRef(ZuObjectRef(buttons[i])), i == mode ? 1 : 0);
            buttons[i]->Display(true);
        }
}

void CPenMotifPane::UpdateSwitches()
{
    if (!def.IsValid())
        return;
    const int bits = def->GetMotifMode();
    for (int i = 0; i < kOptions; ++i)
        if (switches[i].IsValid()) {
            switches[i]->SetSwitchState((bits & kOptionTable[i].bit) != 0);
            switches[i]->Display(true);
        }
}

void CPenMotifPane::DrawSample()
{
    if (kind != 10 || !def.IsValid() || !sample.IsValid())
        return;
    IDefDlg* dialog = RetDefDlg();
    if (dialog == nullptr)
        return;
    CDefRef found = dialog->RetDefinition(11);
    if (!found.IsValid() || !found->IsKindOf(CPatternDefRef::RetRuntime()))
        return;
    const CPatternDefRef brush{ZuObjectRef(found)};
    if (drawn.IsValid() && drawn_brush.IsValid() &&
        drawn->IsEqualCurrent(CDefRef(ZuObjectRef(def))) &&
        drawn_brush->IsEqualCurrent(CDefRef(ZuObjectRef(brush))))
        return;
    if (!sample->Render())
        return;
    CGraPortRef port = sample->RetPort();
    CColorDefRef clear = ZuNew<CColorDef>(Zuvi_app_zone, __LINE__, kFile);
    clear->SetTransparency(1.0);
    CGraPolyCurveRef curve = ZuNew<CGraPolyCurve>(Zuvi_app_zone, __LINE__, kFile);
    curve->SetDefinition(10, ZuObjectRef(def));
    curve->SetDefinition(11, ZuObjectRef(brush));
    curve->SetDefinition(25, ZuObjectRef(clear));
    const DPoint first[2] = {{-66.0, 0.0}, {66.0, 0.0}};
    curve->SetPoints(first, 0);
    curve->DragPoint(DPoint{0.0, 55.8}, 0);
    const DPoint second[2] = {{66.0, 0.0}, {132.0, 55.8}};
    curve->SetPoints(second, 0);
    curve->DragPoint(DPoint{132.0, 55.8}, 0);
    curve->UpdateBoundingBox(port);
    sample->SetZoom(1.0);
    curve->Draw(port, 7);
    sample->Display();
    ++draw_count;
    if (!drawn.IsValid())
        drawn = ZuNew<CPenDef>(Zuvi_app_zone, __LINE__, kFile);
    drawn->CopyFrom(CDefRef(ZuObjectRef(def)));
    if (!drawn_brush.IsValid())
        drawn_brush = ZuNew<CPatternDef>(Zuvi_app_zone, __LINE__, kFile);
    drawn_brush->CopyFrom(CDefRef(ZuObjectRef(brush)));
}

void CPenMotifPane::ModeChanged()
{
    UpdateModeButtons();
    UpdateEditors();
    UpdateEdit1Value();
    UpdateEdit2Value();
    UpdateEditEnable();
}

bool CPenMotifPane::OnClickRadio(const ZuObjectRef& source, unsigned)
{
    const int i = SenderIndex(source, kModeTag);
    if (i < 0 || i >= kModes)
        return false;
    mode = i;
    ModeChanged();
    return true;
}

bool CPenMotifPane::OnClickSwitch(const ZuObjectRef& source, unsigned)
{
    const int i = SenderIndex(source, kSwitchTag);
    if (i < 0 || i >= kOptions || !def.IsValid() || !switches[i].IsValid())
        return false;
    int bits = def->GetMotifMode();
    if (switches[i]->RetSwitchState())
        bits |= kOptionTable[i].bit;
    else
        bits &= ~kOptionTable[i].bit;
    def->SetMotifMode(bits);
    ModeChanged();
    DrawSample();
    NotifyChange(true, false);
    return true;
}

bool CPenMotifPane::OnEdit1Change(const ZuObjectRef&, unsigned)
{
    if (!ready || !def.IsValid() || !entry1.IsValid())
        return false;
    const double v = entry1->GetValue();
    switch (mode) {
    case 0:
        def->SetMotifParam(v);
        break;
    case 1:
        def->SetMotifPair(0, v);
        break;
    case 2:
        def->SetMotifValue1(v);
        break;
    case 3:
        def->SetMotifValue2(v);
        break;
    default:
        def->SetMotifValue3(v);
        break;
    }
    DrawSample();
    NotifyChange(true, false);
    return true;
}

bool CPenMotifPane::OnEdit2Change(const ZuObjectRef&, unsigned)
{
    if (!ready || !def.IsValid() || !entry2.IsValid())
        return false;
    if (mode == 1)
        def->SetMotifPair(1, entry2->GetValue());
    DrawSample();
    NotifyChange(true, false);
    return true;
}
