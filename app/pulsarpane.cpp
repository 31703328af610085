#include "app/pulsarpane.h"

#include <string>

#include "app/commands.h"
#include "app/separator.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/string.h"

ZU_IMPLEMENT_CLASS(CPulsarPane, "app/pulsarpane", ZU_CLASS_PLAIN)
ZU_EXPORT_OBSERVER(CPulsarPane, OnClickRadioAxis)
ZU_EXPORT_OBSERVER(CPulsarPane, OnClickRadio)
ZU_EXPORT_OBSERVER(CPulsarPane, OnClickSwitch)
ZU_EXPORT_OBSERVER(CPulsarPane, OnClickButton)
ZU_EXPORT_OBSERVER(CPulsarPane, OnEditChange)
ZU_EXPORT_OBSERVER(CPulsarPane, OnClickBlow)
ZU_EXPORT_OBSERVER(CPulsarPane, OnClickInitial)

namespace {

const char* const kFile = "pulsarpane";

const int kAxisTag = 100;
const int kTabTag = 200;
const int kSwitchTag = 300;
const int kButtonTag = 400;
const int kEntryTag = 500;

// Modulators in column order; the index is also the bit of the mask.
const char* const kModulatorNames[CPulsarPane::kMaxModulators] = {
    "Oscillateur", "Hazard", "Enveloppe", "Orientation", "Courbure"};
enum { OSCILLATOR = 0, RANDOM = 1, ENVELOPE = 2, ORIENTATION = 3, CURVATURE = 4 };

// The values' icons, for a stroke's pulsar and for a fill's.
const int kStrokeValues[CPulsarPane::kValues] = {180, 185, 186, 182, 183, 184};
const int kFillValues[CPulsarPane::kValues] = {177, 178, 187, 188, 183, 184};

const int kOscillatorKinds[] = {192, 193, 194, 195};
const int kEnvelopeKinds[] = {210, 211, 212, 213, 214, 215};
const int kOrientationKinds[] = {196, 197, 199, 198, 216};

const char* const kInitial = "Amplitude initiale";
const char* const kFinal = "Amplitude finale";

const double kPi = 3.1415926535;

ZuTextTagRef NewTag(const ZuViewRef& parent, double x, double y, double dx, double dy,
                    ZuTextVPos vpos, const char* text)
{
    ZuTextTagRef tag = ZuNew<ZuTextTag>(Zuvi_app_zone, __LINE__, kFile);
    tag->SetOrigin(x, y);
    tag->SetSize(dx, dy);
    tag->SetTextStyle(ZuTextStyle(ZU_TEXT_HPOS_LEFT, vpos));
    tag->SetText(ZuStringRef(text));
    tag->SetParent(parent);
    return tag;
}

ZuSwitchRef NewSwitch(const ZuViewRef& parent, const ZuObjectRef& pane, double x, double y,
                      double dx, double dy, bool radio, const char* title, const char* handler)
{
    ZuSwitchRef s = ZuNew<ZuSwitch>(Zuvi_app_zone, __LINE__, kFile);
    if (radio)
        s->InitAsRadioButton();
    else
        s->InitAsCheckBox();
    if (title != nullptr)
        s->SetTitle(ZuStringRef(title));
    s->SetOrigin(x, y);
    s->SetSize(dx, dy);
    s->SetParent(parent);
    s->AttachObserver(pane, ZuControl::notify_clicked, ZuAtomRef(handler), 0);
    return s;
}

ZuIconRef NewTabIcon(const ZuViewRef& parent, const ZuObjectRef& pane, const char* image, double x,
                     double y, double dx, double dy, const char* tip)
{
    ZuIconRef icon = ZuNew<ZuIcon>(Zuvi_app_zone, __LINE__, kFile);
    icon->Initialise(ZuAtomRef(image), true);
    icon->SetOrigin(x, y);
    icon->SetSize(dx, dy);
    icon->SetToolTip(ZuStringRef(tip != nullptr ? tip : ""));
    icon->SetParent(parent);
    if (pane.IsValid())
        icon->AttachObserver(pane, ZuControl::notify_clicked, ZuAtomRef("OnClickRadio"), 0);
    return icon;
}

// The sender's user tag less the first tag, when it is a view.
int SenderIndex(const ZuObjectRef& source, int first)
{
    if (!source.IsValid() || !source->IsKindOf(ZuViewRef::RetRuntime()))
        return -1;
    return ZuViewRef(source)->RetUserTag() - first;
}

void DeleteView(const ZuViewRef& view)
{
    if (view.IsValid())
        view->Delete();
}

} // namespace

const char* CPulsarPane::ModulatorName(int k)
{
    return k >= 0 && k < kMaxModulators ? kModulatorNames[k] : "";
}

int CPulsarPane::ValueIcon(int j) const
{
    if (j < 0 || j >= kValues)
        return -1;
    return kind == 12 ? kStrokeValues[j] : kFillValues[j];
}

void CPulsarPane::Delete()
{
    for (ZuSwitchRef& s : axis_switches)
        DeleteView(s), s = ZuSwitchRef();
    for (ZuIconRef& i : tab_icons)
        DeleteView(i), i = ZuIconRef();
    for (CButtonRef& b : kind_buttons)
        DeleteView(b), b = CButtonRef();
    for (ZuSwitchRef& s : modulator_switches)
        DeleteView(s), s = ZuSwitchRef();
    for (ZuIconRef& i : value_icons)
        DeleteView(i), i = ZuIconRef();
    for (ZuTextTagRef& t : row_labels)
        DeleteView(t), t = ZuTextTagRef();
    for (CTextLineArrowRef& e : row_entries)
        DeleteView(e), e = CTextLineArrowRef();
    ZuView::Delete();
}

bool CPulsarPane::Create(int new_kind)
{
    ready = false;
    def = ZuNew<CPulsarDef>(Zuvi_app_zone, __LINE__, kFile);
    kind = new_kind;
    BuildControls(0, 0);
    ready = true;
    return true;
}

void CPulsarPane::BuildControls(int x, int y)
{
    const ZuViewRef self(this);
    const ZuObjectRef pane(this);
    modulators = kind == 12 ? kMaxModulators : 3;
    const int nm = modulators;
    const int nv = kValues;
    matrix_box = NewBoxView(self, x + 4, y + 4, 178, 188);
    param_box = NewBoxView(self, x + 186, y + 4, 180, 160);

    if (kind != 12) {
        // The axis switches stand in the matrix box under the matrix: on its
        // top row they would cover the first modulator's name.
        const char* const titles[2] = {"X", "Y"};
        const char* const tips[2] = {"Variation horizontale", "Variation verticale"};
        const double axis_y = y + 25 + 13 * nm + 17 * nv;
        for (int i = 0; i < 2; ++i) {
            axis_switches[i] = NewSwitch(matrix_box, pane, x + 12 + 44 * i, axis_y, 40, 20, true,
                                         titles[i], "OnClickRadioAxis");
            axis_switches[i]->SetUserTag(kAxisTag + i);
            axis_switches[i]->SetToolTip(ZuStringRef(tips[i]));
        }
    }
    for (int k = 0; k < nm; ++k) {
        CSeparatorRef column = ZuNew<CSeparator>(Zuvi_app_zone, __LINE__, kFile);
        column->SetStyle(1u);
        column->SetOrigin(x + 36.5 + 17 * k, y + 29 + 13 * k);
        column->SetSize(4, 13 * (nm - k) + 17 * nv - 5);
        column->SetParent(matrix_box);
        NewTag(matrix_box, x + 33 + 17 * k, y + 16 + 13 * k, 84, 13, ZU_TEXT_VPOS_CENTER,
               kModulatorNames[k]);
    }
    for (int j = 0; j < nv; ++j) {
        CSeparatorRef line = ZuNew<CSeparator>(Zuvi_app_zone, __LINE__, kFile);
        line->SetStyle(0u);
        line->SetOrigin(x + 37 + 17 * nm, y + 26 + 13 * nm + 17 * j);
        line->SetSize(132 - 17 * nm, 4);
        line->SetParent(matrix_box);
    }
    for (int k = 0; k < nm; ++k) {
        tab_icons[k] = NewTabIcon(matrix_box, pane, "lumbra_ArrowRight", x + 165, y + 16 + 13 * k,
                                  17, 13, kModulatorNames[k]);
        tab_icons[k]->SetUserTag(kTabTag + k);
    }
    for (int j = 0; j < nv; ++j) {
        const char* label = GetIconLabel(ValueIcon(j));
        ZuIconRef& t = tab_icons[nm + j];
        t = NewTabIcon(matrix_box, pane, "lumbra_ArrowRight", x + 165, y + 20 + 13 * nm + 17 * j,
                       17, 17, label);
        t->SetUserTag(kTabTag + nm + j);
    }
    for (int j = 0; j < nv; ++j) {
        const char* label = GetIconLabel(ValueIcon(j));
        for (int k = 0; k < nm; ++k) {
            ZuSwitchRef s = NewSwitch(matrix_box, pane, x + 29 + 17 * k, y + 20 + 13 * nm + 17 * j,
                                      17, 17, false, nullptr, "OnClickSwitch");
            s->SetUserTag(kSwitchTag + nm * j + k);
            s->SetToolTip(ZuStringRef(
                (std::string(kModulatorNames[k]) + " >> " + (label != nullptr ? label : ""))
                    .c_str()));
            modulator_switches[j * kMaxModulators + k] = s;
        }
        value_icons[j] = NewTabIcon(matrix_box, ZuObjectRef(), IconImageName(ValueIcon(j)), x + 12,
                                    y + 20 + 13 * nm + 17 * j, 17, 17, label);
    }
    for (int b = 0; b < kKindButtons; ++b) {
        NewIconButton(kind_buttons[b], param_box, x + 190 + 23 * b, y + 8, 23, 23, kButtonTag + b,
                      -1);
        kind_buttons[b]->AttachObserver(self, ZuControl::notify_clicked, ZuAtomRef("OnClickButton"),
                                        0);
    }
    caption = ZuNew<ZuTextCaption>(Zuvi_app_zone, __LINE__, kFile);
    caption->SetOrigin(x + 190, y + 8);
    caption->SetSize(172, 23);
    caption->SetTextStyle(ZuTextStyle(ZU_TEXT_HPOS_CENTER, ZU_TEXT_VPOS_CENTER));
    caption->SetParent(param_box);
    for (int r = 0; r < kRows; ++r) {
        row_labels[r] =
            NewTag(param_box, x + 194, y + 35 + 40 * r, 172, 20, ZU_TEXT_VPOS_BOTTOM, "");
        CTextLineArrowRef e =
            NewEntry(param_box, x + 194, y + 55 + 40 * r, 57, 20, 12, true, 98, "OnEditChange");
        e->SetUserTag(kEntryTag + r);
        e->SetMin(0.0);
        e->SetMax(1.0);
        e->SetStep(0.05);
        e->SetSliderGrad(8);
        e->SetSliderSubdiv(2);
        e->SetSliderLog(0.0);
        row_entries[r] = e;
    }
    NewIconButton(other_button, param_box, x + 216, y + 99, 120, 30, -1, -1);
    other_button->SetText(ZuStringRef("Autre"), ZuTextStyle::none, true);
    other_button->AttachObserver(self, ZuControl::notify_clicked, ZuAtomRef("OnClickBlow"), 0);
    initial_switch = NewSwitch(param_box, pane, x + 194, y + 140, 172, 20, false,
                               "Selon d\xe9"
                               "finition du trait",
                               "OnClickInitial");
    sample = ZuNew<CSampleView>(Zuvi_app_zone, __LINE__, kFile);
    sample->Build(x + 186, y + 168, 116, 24, false);
    sample->SetParent(self);
    CDefPane::BuildControls(x, y);
}

bool CPulsarPane::SetValue(int value)
{
    if (def.IsValid())
        def->SetValue(value);
    return true;
}

int CPulsarPane::GetValue()
{
    return def.IsValid() ? def->GetValue() : -1;
}

bool CPulsarPane::SetDef(const CDefRef& other)
{
    return TakeDef(other, def);
}

void CPulsarPane::Refresh()
{
    ready = false;
    UpdateAxisSwitches();
    UpdateModulatorSwitches();
    UpdateTabIcons();
    UpdateHeader();
    UpdateRows();
    DrawSample();
    ready = true;
}

void CPulsarPane::NotifyChange(bool property_update, bool full)
{
    if (!ready)
        return;
    AddCode(kind);
    CDefPane::NotifyChange(property_update, full);
}

void CPulsarPane::UpdateAxisSwitches()
{
    if (!def.IsValid())
        return;
    for (int i = 0; i < 2; ++i)
        if (axis_switches[i].IsValid()) {
            axis_switches[i]->SetSwitchState(i == def->GetAxis());
            axis_switches[i]->Display(true);
        }
}

void CPulsarPane::UpdateModulatorSwitches()
{
    if (!def.IsValid())
        return;
    for (int j = 0; j < kValues; ++j) {
        unsigned mask = 0;
        def->GetValueKind(j, mask);
        for (int k = 0; k < modulators; ++k) {
            const ZuSwitchRef& s = modulator_switches[j * kMaxModulators + k];
            if (!s.IsValid())
                continue;
            s->SetSwitchState((mask & (1u << k)) != 0);
            s->Display(true);
        }
    }
}

void CPulsarPane::UpdateTabIcons()
{
    for (int t = 0; t < RetTabCount(); ++t)
        if (tab_icons[t].IsValid()) {
            tab_icons[t]->ChangeState(ZU_VIEW_IS_ON, t == tab, false);
            tab_icons[t]->Display(true);
        }
}

CPulsarPane::TabLayout CPulsarPane::RetLayout() const
{
    TabLayout out = {{nullptr, nullptr, nullptr}, nullptr, 0, 0};
    if (!def.IsValid())
        return out;
    if (IsValueTab()) {
        out.labels[0] = "Amplitude de la variation";
        out.labels[1] = "D\xe9"
                        "calage";
        return out;
    }
    unsigned kind_of = 0;
    double a = 0, b = 0, c = 0;
    switch (tab) {
    case OSCILLATOR:
        def->GetOscillator(kind_of, a, b, c);
        out.kinds = kOscillatorKinds;
        out.kind_count = 4;
        out.current_kind = kind_of;
        out.labels[0] = "P\xe9riode";
        out.labels[1] = "Phase";
        out.labels[2] = kind_of == CPulsarDef::PULSE ? "Longueur impulsion"
                                                     : "Longueur mont\xe9"
                                                       "e";
        break;
    case ENVELOPE:
        def->GetEnvelope(kind_of, a, b, c);
        out.kinds = kEnvelopeKinds;
        out.kind_count = 6;
        out.current_kind = kind_of;
        switch (kind_of) {
        case CPulsarDef::RISE:
            out.labels[0] = kInitial;
            break;
        case CPulsarDef::RISE_FLAT:
            out.labels[0] = kInitial;
            out.labels[2] = "Longueur initiale";
            break;
        case CPulsarDef::FALL:
            out.labels[1] = kFinal;
            break;
        case CPulsarDef::FALL_FLAT:
            out.labels[1] = kFinal;
            out.labels[2] = "Longueur finale";
            break;
        case CPulsarDef::RISE_FALL:
            out.labels[0] = kInitial;
            out.labels[1] = kFinal;
            out.labels[2] = "Longueur initiale";
            break;
        case CPulsarDef::RISE_FLAT_FALL:
            out.labels[0] = kInitial;
            out.labels[1] = kFinal;
            out.labels[2] = "Longueurs initiale et finale";
            break;
        }
        break;
    case ORIENTATION:
        def->GetRotationMode(kind_of, a, b);
        out.kinds = kOrientationKinds;
        out.kind_count = 5;
        out.current_kind = kind_of;
        out.labels[0] = "Sensibilit\xe9";
        out.labels[1] = "Rotation";
        break;
    case CURVATURE:
        out.labels[0] = "Sensibilit\xe9";
        break;
    }
    return out;
}

bool CPulsarPane::IsTabUsed() const
{
    if (!def.IsValid())
        return false;
    unsigned mask = 0;
    if (IsValueTab())
        return def->GetValueKind(tab - modulators, mask) && mask != 0;
    for (int j = 0; j < kValues; ++j)
        if (def->GetValueKind(j, mask) && (mask & (1u << tab)) != 0)
            return true;
    return false;
}

void CPulsarPane::UpdateHeader()
{
    if (!def.IsValid())
        return;
    if (caption.IsValid())
        PutInto(ZuViewRef(caption), ZuViewRef());
    const TabLayout layout = RetLayout();
    for (int b = 0; b < kKindButtons; ++b) {
        const CButtonRef& button = kind_buttons[b];
        if (!button.IsValid())
            continue;
        if (layout.kinds != nullptr && b < layout.kind_count) {
            NewIcon(button, layout.kinds[b]);
            SetViewOn(ZuViewRef(ZuObjectRef(button)),
                      unsigned(layout.kinds[b]) == layout.current_kind ? 1 : 0);
            PutInto(ZuViewRef(button), param_box);
        } else {
            PutInto(ZuViewRef(button), ZuViewRef());
        }
    }
    if (layout.kinds == nullptr && caption.IsValid()) {
        const char* text =
            IsValueTab() ? GetIconLabel(ValueIcon(tab - modulators)) : ModulatorName(tab);
        caption->SetText(ZuStringRef(text != nullptr ? text : ""));
        PutInto(ZuViewRef(caption), param_box);
    }
    if (param_box.IsValid())
        param_box->Display(true);
}

void CPulsarPane::UpdateRows()
{
    if (!def.IsValid())
        return;
    const bool was_ready = ready;
    ready = false;
    for (const CTextLineArrowRef& e : row_entries) {
        if (!e.IsValid())
            continue;
        e->SetUnit(12);
        e->SetMin(0.0);
        e->SetMax(1.0);
        e->SetStep(0.05);
        e->SetSliderGrad(8);
        e->SetSliderSubdiv(2);
        e->SetSliderLog(0.0);
    }
    if (other_button.IsValid())
        PutInto(ZuViewRef(other_button), ZuViewRef());
    if (initial_switch.IsValid())
        PutInto(ZuViewRef(initial_switch), ZuViewRef());

    const TabLayout layout = RetLayout();
    double values[kRows] = {0.0, 0.0, 0.0};
    unsigned kind_of = 0;
    double a = 0, b = 0, c = 0;
    if (IsValueTab()) {
        const int v = tab - modulators;
        def->GetAmplitude(v, values[0]);
        def->GetOffset(v, values[1]);
        for (int r = 0; r < 2; ++r)
            if (row_entries[r].IsValid())
                row_entries[r]->SetMin(-1.0);
        unsigned char flags = 0;
        if (kind == 12 && v != 0 && initial_switch.IsValid()) {
            def->GetValueFlags(v, flags);
            initial_switch->SetSwitchState(flags != 0);
            PutInto(ZuViewRef(initial_switch), param_box);
        }
    } else {
        switch (tab) {
        case OSCILLATOR:
            def->GetOscillator(kind_of, a, b, c);
            values[0] = a;
            values[1] = b;
            values[2] = c;
            for (int r = 0; r < 2; ++r)
                if (row_entries[r].IsValid()) {
                    row_entries[r]->SetUnit(10);
                    row_entries[r]->SetMax(100.0);
                    row_entries[r]->SetStep(1.0);
                }
            break;
        case RANDOM:
            if (other_button.IsValid())
                PutInto(ZuViewRef(other_button), param_box);
            break;
        case ENVELOPE:
            def->GetEnvelope(kind_of, a, b, c);
            values[0] = b;
            values[1] = c;
            values[2] = a;
            break;
        case ORIENTATION:
            def->GetRotationMode(kind_of, a, b);
            values[0] = b;
            values[1] = a;
            if (row_entries[0].IsValid()) {
                row_entries[0]->SetMin(-1.0);
                row_entries[0]->SetStep(5.0);
            }
            if (row_entries[1].IsValid()) {
                row_entries[1]->SetUnit(13);
                row_entries[1]->SetMin(-kPi);
                row_entries[1]->SetMax(kPi);
                row_entries[1]->SetStep(0.08726646259722222);
            }
            break;
        case CURVATURE:
            def->GetAuxParams(kind_of, a, b);
            values[0] = b;
            if (row_entries[0].IsValid()) {
                row_entries[0]->SetMax(10.0);
                row_entries[0]->SetStep(0.5);
            }
            break;
        }
    }
    for (int r = 0; r < kRows; ++r) {
        if (row_labels[r].IsValid())
            row_labels[r]->SetText(
                ZuStringRef(layout.labels[r] != nullptr ? layout.labels[r] : ""));
        const CTextLineArrowRef& e = row_entries[r];
        if (!e.IsValid())
            continue;
        if (layout.labels[r] == nullptr) {
            PutInto(ZuViewRef(e), ZuViewRef());
            continue;
        }
        e->SetValue(values[r]);
        PutInto(ZuViewRef(e), param_box);
    }

    const bool used = IsTabUsed();
    for (const CButtonRef& button : kind_buttons)
        if (button.IsValid())
            button->SetEnable(used);
    for (const CTextLineArrowRef& e : row_entries)
        if (e.IsValid()) {
            e->SetEnable(used);
            e->DisplayAll();
        }
    if (other_button.IsValid())
        other_button->SetEnable(used);
    if (initial_switch.IsValid())
        initial_switch->SetEnable(used);
    ready = was_ready;
    if (param_box.IsValid())
        param_box->Display(true);
}

void CPulsarPane::DrawSample()
{
    if (!def.IsValid() || !sample.IsValid())
        return;
    const int value = IsValueTab() ? tab - modulators : last_value;
    if (value < 0)
        return;
    if (sample->Render()) {
        sample->SetZoom(1.0);
        CGraPortRef port = sample->RetPort();
        port->DrawLine(DPoint{-53.0, 0.0}, DPoint{53.0, 0.0});
        def->SetBaseValues(value, 0.0, -7.0, 0.0, 7.0);
        def->BeginPath(35.333333333333333, true);
        for (double x = -53.0; x < 53.0; x += 3.0) {
            def->SetRotation(3.1415926535 + x * 0.05927533308490566);
            const double y = def->GetVariation(value);
            if (y != 0.0)
                port->DrawLine(DPoint{x, 0.0}, DPoint{x, y});
            def->NextStep();
        }
        sample->Display();
        ++draw_count;
    }
    last_value = value;
}

bool CPulsarPane::Edited()
{
    DrawSample();
    NotifyChange(true, false);
    return true;
}

bool CPulsarPane::OnClickRadioAxis(const ZuObjectRef& source, unsigned)
{
    const int axis = SenderIndex(source, kAxisTag);
    // Only a fill's pulsar has two axes.
    if (axis < 0 || axis > 1 || !axis_switches[axis].IsValid() || !def.IsValid())
        return false;
    def->SetAxis(axis);
    Refresh();
    return true;
}

bool CPulsarPane::OnClickRadio(const ZuObjectRef& source, unsigned)
{
    const int t = SenderIndex(source, kTabTag);
    if (t < 0 || t >= RetTabCount())
        return false;
    tab = t;
    UpdateTabIcons();
    UpdateHeader();
    UpdateRows();
    DrawSample();
    return true;
}

bool CPulsarPane::OnClickSwitch(const ZuObjectRef& source, unsigned)
{
    const int index = SenderIndex(source, kSwitchTag);
    if (index < 0 || index >= modulators * kValues || !def.IsValid())
        return false;
    const int k = index % modulators;
    const int j = index / modulators;
    const ZuSwitchRef& s = modulator_switches[j * kMaxModulators + k];
    if (!s.IsValid())
        return false;
    const bool on = s->RetSwitchState();
    unsigned mask = 0;
    def->GetValueKind(j, mask);
    if (on)
        mask |= 1u << k;
    else
        mask &= ~(1u << k);
    def->SetValueKind(j, mask);
    if (on && tab != k && tab != modulators + j) {
        tab = k;
        UpdateTabIcons();
        UpdateHeader();
    }
    UpdateRows();
    return Edited();
}

bool CPulsarPane::OnClickButton(const ZuObjectRef& source, unsigned)
{
    const int b = SenderIndex(source, kButtonTag);
    if (b < 0 || b >= kKindButtons || !def.IsValid())
        return false;
    // Only the buttons the tab shows stand for a kind.
    const TabLayout layout = RetLayout();
    if (layout.kinds == nullptr || b >= layout.kind_count)
        return false;
    const unsigned chosen = unsigned(layout.kinds[b]);
    unsigned old_kind = 0;
    double a = 0, c = 0, d = 0;
    switch (tab) {
    case OSCILLATOR:
        def->GetOscillator(old_kind, a, c, d);
        def->SetOscillator(chosen, a, c, d);
        break;
    case ENVELOPE:
        def->GetEnvelope(old_kind, a, c, d);
        def->SetEnvelope(chosen, a, c, d);
        break;
    case ORIENTATION:
        def->GetRotationMode(old_kind, a, c);
        def->SetRotationMode(chosen, a, c);
        break;
    default:
        return false;
    }
    UpdateHeader();
    UpdateRows();
    return Edited();
}

bool CPulsarPane::OnEditChange(const ZuObjectRef& source, unsigned)
{
    const int r = SenderIndex(source, kEntryTag);
    if (r < 0 || r >= kRows || !ready || !def.IsValid() || !row_entries[r].IsValid())
        return false;
    // A row the tab does not show stands for nothing.
    const TabLayout layout = RetLayout();
    if (layout.labels[r] == nullptr)
        return false;
    const double v = row_entries[r]->GetValue();
    unsigned k = 0;
    double a = 0, b = 0, c = 0;
    if (IsValueTab()) {
        const int value = tab - modulators;
        if (r == 0)
            def->SetAmplitude(value, v);
        else
            def->SetOffset(value, v);
        return Edited();
    }
    switch (tab) {
    case OSCILLATOR:
        def->GetOscillator(k, a, b, c);
        (r == 0 ? a : (r == 1 ? b : c)) = v;
        def->SetOscillator(k, a, b, c);
        break;
    case ENVELOPE:
        // Rows: initial amplitude, final amplitude, length ratio.
        def->GetEnvelope(k, a, b, c);
        (r == 0 ? b : (r == 1 ? c : a)) = v;
        def->SetEnvelope(k, a, b, c);
        break;
    case ORIENTATION:
        // Rows: sensitivity (the second number), rotation (the first).
        def->GetRotationMode(k, a, b);
        (r == 0 ? b : a) = v;
        def->SetRotationMode(k, a, b);
        break;
    case CURVATURE:
        def->GetAuxParams(k, a, b);
        b = v;
        def->SetAuxParams(k, a, b);
        break;
    default:
        return false;
    }
    return Edited();
}

bool CPulsarPane::OnClickBlow(const ZuObjectRef&, unsigned)
{
    if (!def.IsValid())
        return false;
    def->NewRandomSeed();
    return Edited();
}

bool CPulsarPane::OnClickInitial(const ZuObjectRef&, unsigned)
{
    // The switch stands for a value of a stroke's pulsar other than the
    // spacing; elsewhere it is not shown and means nothing.
    const int v = tab - modulators;
    if (!def.IsValid() || !initial_switch.IsValid() || kind != 12 || !IsValueTab() || v == 0)
        return false;
    def->SetValueFlags(v, initial_switch->RetSwitchState() ? 1 : 0);
    return Edited();
}
