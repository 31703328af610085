#include "app/colorcompopane.h"

#include <cmath>
#include <cstdio>

#include "app/commands.h"
#include "app/iindexbuttons.h"
#include "app/idefdlg.h"
#include "app/misc.h"
#include "app/separator.h"
#include "app/textlinearrow.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/string.h"
#include "si/textstyle.h"

ZU_IMPLEMENT_CLASS(CColorCompoPane, "app/colorcompopane", ZU_CLASS_PLAIN)
ZU_EXPORT_OBSERVER(CColorCompoPane, OnChangePane1)
ZU_EXPORT_OBSERVER(CColorCompoPane, OnChangePane2)
ZU_EXPORT_OBSERVER(CColorCompoPane, OnClickStyle1)
ZU_EXPORT_OBSERVER(CColorCompoPane, OnClickStyle2)
ZU_EXPORT_OBSERVER(CColorCompoPane, OnClickStyle3)
ZU_EXPORT_OBSERVER(CColorCompoPane, OnClickStyle4)
ZU_EXPORT_OBSERVER(CColorCompoPane, OnClickStyle5)
ZU_EXPORT_OBSERVER(CColorCompoPane, OnClickStyle6)
ZU_EXPORT_OBSERVER(CColorCompoPane, OnValueChanged1)
ZU_EXPORT_OBSERVER(CColorCompoPane, OnValueChanged2)
ZU_EXPORT_OBSERVER(CColorCompoPane, OnValueChanged3)
ZU_EXPORT_OBSERVER(CColorCompoPane, OnValueChanged4)
ZU_EXPORT_OBSERVER(CColorCompoPane, OnValueChanged5)
ZU_EXPORT_OBSERVER(CColorCompoPane, OnChangeSlider1)
ZU_EXPORT_OBSERVER(CColorCompoPane, OnChangeSlider2)
ZU_EXPORT_OBSERVER(CColorCompoPane, OnChangeSlider3)
ZU_EXPORT_OBSERVER(CColorCompoPane, OnChangeSlider4)
ZU_EXPORT_OBSERVER(CColorCompoPane, OnChangeSlider5)
ZU_EXPORT_OBSERVER(CColorCompoPane, OnTransparency)

const Zuvi_Interface IIndexButtons::interface("IIndexButtons");

namespace {

const char* const kFile = "colorcompopane";

// The rows' names and scales by model (row 4, the transparency, has no
// name: the switch stands in its place).
struct ModelRows {
    int model;
    const char* names[4];
    double scales[5];
};
const ModelRows kModels[] = {
    {50, {"Rouge", "Vert", "Bleu", ""}, {255, 255, 255, 1, 100}},
    {52, {"Teinte", "Saturation", "Intensit\xe9", ""}, {360, 100, 100, 1, 100}},
    {51, {"Cyan", "Magenta", "Jaune", "Noir"}, {100, 100, 100, 100, 100}},
    {53, {"Gris", "", "", ""}, {100, 1, 1, 1, 100}},
};

const ModelRows* FindModel(int model)
{
    for (const ModelRows& m : kModels)
        if (m.model == model)
            return &m;
    return nullptr;
}

ZuColorPixel Rgb(double r, double g, double b)
{
    ZuColorPixel c(0u);
    c.SetRed(Clamp01(r));
    c.SetGreen(Clamp01(g));
    c.SetBlue(Clamp01(b));
    return c;
}

ZuColorPixel Hsb(double h, double s, double b)
{
    CColorDefRef temp = ZuNew<CColorDef>(Zuvi_app_zone, __LINE__, kFile);
    temp->SetValue(CColorDef::MODEL_HSB);
    temp->SetHSB(h, s, b);
    double r, g, bl;
    temp->GetRGB(r, g, bl);
    return Rgb(r, g, bl);
}

ZuColorPixel Grey(const ZuColorPixel& c)
{
    const double v = (c.RealRed() + c.RealGreen() + c.RealBlue()) * 0.3333333333333333;
    return Rgb(v, v, v);
}

double Shift(double h, double d)
{
    h += d;
    if (h < 0)
        h += 1;
    if (h > 1)
        h -= 1;
    return h;
}

CColorSliderRef NewColorSlider(const ZuViewRef& parent, const ZuObjectRef& pane, double x, double y,
                               double dx, double dy, const char* handler)
{
    CColorSliderRef slider = ZuNew<CColorSlider>(Zuvi_app_zone, __LINE__, kFile);
    slider->SetOrigin(x, y);
    slider->SetSize(dx, dy);
    slider->SetParent(parent);
    if (handler != nullptr)
        slider->AttachObserver(pane, CColorSlider::notify_Modify, ZuAtomRef(handler), 0);
    return slider;
}

} // namespace

bool CColorCompoPane::Create(int new_kind)
{
    built = ready = false;
    def = ZuNew<CColorDef>(Zuvi_app_zone, __LINE__, kFile);
    kind = new_kind;
    BuildControls(0, 0);
    built = ready = true;
    return true;
}

void CColorCompoPane::BuildControls(int x, int y)
{
    const ZuViewRef self(this);
    const ZuObjectRef pane(this);
    hue_bar = NewColorSlider(self, pane, x + 4, y + 4, 24, 140, "OnChangePane1");
    field = NewColorSlider(self, pane, x + 32, y + 4, 140, 140, "OnChangePane2");
    sample = NewColorSlider(self, pane, x + 4, y + 148, 168, 24, nullptr);
    sample->SetToolTip(ZuStringRef("Echantillon"));
    CSeparatorRef separator = ZuNew<CSeparator>(Zuvi_app_zone, __LINE__, kFile);
    separator->SetStyle(49u);
    separator->SetOrigin(x + 182, y + 4);
    separator->SetSize(12, 25);
    separator->SetParent(self);
    char name[32];
    for (int i = 0; i < kStyles; ++i) {
        NewIconButton(style_buttons[i], self, x + 201 + 25 * i + 3 * (i / 2), y + 4, 25, 25, -1,
                      160 + i);
        std::snprintf(name, sizeof name, "OnClickStyle%d", i + 1);
        if (style_buttons[i].IsValid())
            style_buttons[i]->AttachObserver(pane, ZuControl::notify_clicked, ZuAtomRef(name), 0);
    }
    for (int n = 0; n < kRows; ++n) {
        const double row = y + 41.5 + 20 * n;
        labels[n] = ZuNew<ZuTextTag>(Zuvi_app_zone, __LINE__, kFile);
        labels[n]->SetOrigin(x + 178, row);
        labels[n]->SetSize(78, 20);
        labels[n]->SetTextStyle(ZuTextStyle(ZU_TEXT_HPOS_RIGHT, ZU_TEXT_VPOS_CENTER));
        labels[n]->SetParent(self);
        entries[n] = ZuNew<ZuTextLine>(Zuvi_app_zone, __LINE__, kFile);
        entries[n]->SetOrigin(x + 258, row);
        entries[n]->SetSize(36, 20);
        entries[n]->ChangeStyle(ZU_CTRL_DRAW_ADORNER, true);
        entries[n]->SetParent(self);
        std::snprintf(name, sizeof name, "OnValueChanged%d", n + 1);
        entries[n]->AttachObserver(pane, ZuTextLine::notify_user_text_changed, ZuAtomRef(name), 0);
        std::snprintf(name, sizeof name, "OnChangeSlider%d", n + 1);
        sliders[n] = NewColorSlider(self, pane, x + 294, row, 72, 20, name);
    }
    transparency = ZuNew<ZuSwitch>(Zuvi_app_zone, __LINE__, kFile);
    transparency->InitAsCheckBox();
    transparency->SetTitle(ZuStringRef("Transparent"));
    transparency->SetOrigin(x + 258, y + 121.5);
    transparency->SetSize(108, 20);
    transparency->SetParent(self);
    transparency->AttachObserver(pane, ZuControl::notify_clicked, ZuAtomRef("OnTransparency"), 0);
    UpdateStyleButtons();
    // The pane stands 20 lower in its view: its close button 20 higher
    // lands where every other pane has it.
    CDefPane::BuildControls(x, y - 20);
}

bool CColorCompoPane::SetValue(int model)
{
    if (def.IsValid())
        def->SetValue(model);
    return true;
}

int CColorCompoPane::GetValue()
{
    return def.IsValid() ? def->GetValue() : -1;
}

bool CColorCompoPane::SetDef(const CDefRef& other)
{
    return TakeDef(other, def);
}

bool CColorCompoPane::IsColorPane()
{
    return true;
}

void CColorCompoPane::Update()
{
    Refresh();
}

void CColorCompoPane::NotifyChange(bool property_update, bool full)
{
    if (!ready)
        return;
    AddCode(kind);
    CDefPane::NotifyChange(property_update, full);
}

bool CColorCompoPane::KnownModel() const
{
    if (!def.IsValid())
        return false;
    const int model = def->GetValue();
    return model >= 50 && model <= 54;
}

double CColorCompoPane::Component(int n) const
{
    double v = 0;
    if (def.IsValid())
        def->GetComponent(n, v);
    return std::isfinite(v) ? v : 0.0;
}

void CColorCompoPane::Refresh()
{
    ready = false;
    if (def.IsValid()) {
        UpdateNames();
        UpdateScales();
        UpdateEntries();
        UpdateSliderPositions();
        UpdateTransparency();
        UpdateHueBar();
        UpdateField();
        UpdateSample();
        UpdateGradients();
        UpdateIndexButtons();
        Display(true);
    }
    ready = true;
}

void CColorCompoPane::UpdateNames()
{
    const int model = def->GetValue();
    if (model != 54) {
        const ModelRows* rows = FindModel(model);
        for (int n = 0; n < kRows; ++n)
            names[n] = (rows != nullptr && n < 4) ? rows->names[n] : "";
    }
    for (int n = 0; n < kRows; ++n) {
        if (labels[n].IsValid())
            labels[n]->SetText(ZuStringRef(names[n]));
        used[n] = names[n][0] != 0;
        const bool hide = !used[n];
        if (entries[n].IsValid()) {
            entries[n]->ChangeState(ZU_VIEW_NO_DISPLAY, hide, false);
            if (hide) {
                built = false;
                entries[n]->SetText(ZuStringRef(""));
                built = true;
            }
            entries[n]->Display(true);
        }
        if (sliders[n].IsValid()) {
            sliders[n]->ChangeState(ZU_VIEW_NO_DISPLAY, hide, false);
            if (hide) {
                built = false;
                sliders[n]->SetPositionX(0);
                built = true;
            }
            sliders[n]->Display(true);
        }
    }
}

void CColorCompoPane::UpdateScales()
{
    if (const ModelRows* rows = FindModel(def->GetValue()))
        for (int n = 0; n < kRows; ++n)
            scales[n] = rows->scales[n];
    char tip[32];
    for (int n = 0; n < kRows; ++n) {
        std::snprintf(tip, sizeof tip, "De 0 \xe0 %d", int(scales[n]));
        if (entries[n].IsValid())
            entries[n]->SetToolTip(ZuStringRef(tip));
    }
}

void CColorCompoPane::UpdateEntries()
{
    built = false;
    for (int n = 0; n < kRows; ++n)
        if (used[n] && entries[n].IsValid())
            SetTextLineInt(entries[n], int(Component(n) * scales[n]));
    built = true;
}

void CColorCompoPane::UpdateSliderPositions()
{
    built = false;
    for (int n = 0; n < kRows; ++n)
        if (used[n] && sliders[n].IsValid())
            sliders[n]->SetPositionX(Component(n));
    built = true;
}

void CColorCompoPane::UpdateTransparency()
{
    if (!transparency.IsValid())
        return;
    built = false;
    transparency->SetSwitchState(Component(4) == 1.0);
    transparency->Display(true);
    built = true;
}

void CColorCompoPane::UpdateHueBar()
{
    if (!hue_bar.IsValid())
        return;
    double position;
    if (def->GetValue() == CColorDef::MODEL_GRAY) {
        hue_bar->SetStyle(0x10001);
        hue_bar->SetColorUL(Rgb(1, 1, 1));
        hue_bar->SetColorDL(Rgb(0, 0, 0));
        double grey = 0;
        def->GetGray(grey);
        position = 1 - grey;
    } else {
        hue_bar->SetStyle(0x10101);
        hue_bar->SetColorUL(Rgb(0, 0, 0));
        hue_bar->SetColorDL(Rgb(1, 1, 1));
        double h = 0, s = 0, b = 0;
        def->GetHSB(h, s, b);
        position = h;
    }
    hue_bar->SetPositionX(position);
    hue_bar->SetPositionY(position);
    hue_bar->Display(true);
}

void CColorCompoPane::UpdateField()
{
    if (!field.IsValid() || !hue_bar.IsValid())
        return;
    field->SetStyle(0x10003);
    ZuColorPixel top;
    hue_bar->RetColor(top);
    field->SetColorUL(top);
    double h = 0, s = 0, b = 0;
    def->GetHSB(h, s, b);
    const ZuColorPixel white = Rgb(1, 1, 1), black = Rgb(0, 0, 0);
    switch (palette_style) {
    case 0:
        corners[0] = black;
        corners[1] = white;
        corners[2] = black;
        break;
    case 1:
        corners[0] = white;
        corners[1] = black;
        corners[2] = white;
        break;
    case 2:
        corners[0] = Hsb(Shift(h, -0.125), s, b);
        corners[1] = Hsb(Shift(h, 0.125), s, b);
        corners[2] = Hsb(h, 0, 1);
        break;
    case 3:
        corners[0] = Hsb(Shift(h, -0.25), s, b);
        corners[1] = Hsb(Shift(h, 0.25), s, b);
        corners[2] = Hsb(Shift(h, -0.5), s, b);
        break;
    case 4:
        corners[0] = Rgb(1, 0, 0);
        corners[1] = Rgb(0, 1, 0);
        corners[2] = Rgb(0, 0, 1);
        break;
    default:
        corners[0] = Rgb(0, 1, 1);
        corners[1] = Rgb(1, 0, 1);
        corners[2] = Rgb(1, 1, 0);
        break;
    }
    if (def->GetValue() == CColorDef::MODEL_GRAY)
        for (ZuColorPixel& c : corners)
            c = Grey(c);
    field->SetColorUR(corners[0]);
    field->SetColorDL(corners[1]);
    field->SetColorDR(corners[2]);
    double r = 0, g = 0, bl = 0;
    def->GetRGB(r, g, bl);
    field->ApplyRGB(r, g, bl);
    field->Display(true);
}

void CColorCompoPane::UpdateSample()
{
    if (!sample.IsValid() || !field.IsValid())
        return;
    ZuColorPixel c;
    field->RetColor(c);
    sample->SetStyle(0x20000);
    sample->SetColorUL(c);
    sample->SetColorUR(c);
    sample->SetColorDL(c);
    sample->SetColorDR(c);
    sample->Display(true);
}

void CColorCompoPane::UpdateGradients()
{
    for (const CColorSliderRef& s : sliders)
        if (!s.IsValid())
            return;
    const ZuColorPixel white = Rgb(1, 1, 1), black = Rgb(0, 0, 0);
    auto set = [this](int n, const ZuColorPixel& from, const ZuColorPixel& to, unsigned style) {
        sliders[n]->SetStyle(style);
        sliders[n]->SetColorUL(from);
        sliders[n]->SetColorUR(to);
    };
    switch (def->GetValue()) {
    case CColorDef::MODEL_RGB:
        set(0, black, Rgb(1, 0, 0), 0x10002);
        set(1, black, Rgb(0, 1, 0), 0x10002);
        set(2, black, Rgb(0, 0, 1), 0x10002);
        break;
    case CColorDef::MODEL_HSB: {
        set(0, black, white, 0x10102);
        ZuColorPixel c;
        sliders[0]->RetColor(c);
        set(1, white, c, 0x10002);
        set(2, black, c, 0x10002);
        break;
    }
    case CColorDef::MODEL_CMYK:
        set(0, white, Rgb(0, 1, 1), 0x10002);
        set(1, white, Rgb(1, 0, 1), 0x10002);
        set(2, white, Rgb(1, 1, 0), 0x10002);
        set(3, white, black, 0x10002);
        break;
    case CColorDef::MODEL_GRAY:
        set(0, black, white, 0x10002);
        break;
    }
    ZuColorPixel c;
    if (field.IsValid())
        field->RetColor(c);
    set(4, c, Rgb(0.75, 0.75, 0.75), 0x10002);
    for (int n = 0; n < kRows; ++n)
        if (used[n])
            sliders[n]->Display(true);
}

void CColorCompoPane::UpdateStyleButtons()
{
    for (int i = 0; i < kStyles; ++i)
        if (style_buttons[i].IsValid())
            SetViewOn(ZuViewRef(style_buttons[i]), i == palette_style ? 1 : 0);
}

void CColorCompoPane::UpdateIndexButtons()
{
    IDefDlg* dialog = RetDefDlg();
    if (dialog == nullptr)
        return;
    ZuObject* o = dialog->RetSelfAsObject();
    if (o == nullptr || !o->SupportsInterface(&IIndexButtons::interface))
        return;
    static_cast<IIndexButtons*>(o->CastToInterface(&IIndexButtons::interface))
        ->UpdateIndexButtons(kind);
}

bool CColorCompoPane::ValueChanged(int n)
{
    if (!built || !KnownModel() || !entries[n].IsValid())
        return false;
    // Text that is not a number is refused: nothing written or reported.
    if (!CTextLineArrow::IsNumberText(entries[n]->RetText()))
        return false;
    const int v = GetTextLineInt(entries[n]);
    def->SetComponent(n, scales[n] != 0 ? v / scales[n] : 0.0);
    UpdateHueBar();
    UpdateField();
    UpdateSample();
    UpdateSliderPositions();
    UpdateGradients();
    UpdateIndexButtons();
    NotifyChange(false, false);
    return true;
}

bool CColorCompoPane::ChangeSlider(int n)
{
    if (!built)
        return true;
    if (!def.IsValid() || !sliders[n].IsValid() || !KnownModel())
        return false;
    const double p = sliders[n]->GetPositionX();
    def->SetComponent(n, p);
    if (entries[n].IsValid()) {
        built = false;
        SetTextLineInt(entries[n], int(p * scales[n]));
        built = true;
        entries[n]->Display(true);
    }
    UpdateHueBar();
    UpdateField();
    UpdateSample();
    UpdateGradients();
    UpdateIndexButtons();
    NotifyChange(false, false);
    return true;
}

bool CColorCompoPane::OnTransparency(const ZuObjectRef&, unsigned)
{
    if (!built)
        return true;
    if (!KnownModel() || !transparency.IsValid())
        return false;
    def->SetComponent(4, transparency->RetSwitchState() ? 1.0 : 0.0);
    UpdateHueBar();
    UpdateField();
    UpdateSample();
    UpdateGradients();
    UpdateIndexButtons();
    NotifyChange(false, false);
    return true;
}

void CColorCompoPane::TakeFieldColor()
{
    ZuColorPixel c;
    field->RetColor(c);
    def->SetRGB(c.RealRed(), c.RealGreen(), c.RealBlue());
    UpdateSample();
    UpdateEntries();
    UpdateScales();
    UpdateSliderPositions();
    UpdateGradients();
    UpdateIndexButtons();
    NotifyChange(false, false);
}

bool CColorCompoPane::OnChangePane1(const ZuObjectRef&, unsigned)
{
    if (!KnownModel() || !hue_bar.IsValid() || !field.IsValid())
        return false;
    ZuColorPixel top;
    hue_bar->RetColor(top);
    field->SetColorUL(top);
    ZuColorPixel c;
    field->RetColor(c);
    def->SetRGB(c.RealRed(), c.RealGreen(), c.RealBlue());
    UpdateField();
    UpdateSample();
    UpdateEntries();
    UpdateScales();
    UpdateSliderPositions();
    UpdateGradients();
    UpdateIndexButtons();
    NotifyChange(false, false);
    return true;
}

bool CColorCompoPane::OnChangePane2(const ZuObjectRef&, unsigned)
{
    if (!KnownModel() || !field.IsValid())
        return false;
    TakeFieldColor();
    return true;
}

bool CColorCompoPane::ClickStyle(int style)
{
    palette_style = style;
    UpdateStyleButtons();
    if (!def.IsValid())
        return false;
    UpdateHueBar();
    UpdateField();
    UpdateSample();
    if (!KnownModel() || !field.IsValid())
        return false;
    // The colour under the field's point in the new palette becomes the
    // definition's colour.
    TakeFieldColor();
    return true;
}

bool CColorCompoPane::OnClickStyle1(const ZuObjectRef&, unsigned)
{
    return ClickStyle(0);
}
bool CColorCompoPane::OnClickStyle2(const ZuObjectRef&, unsigned)
{
    return ClickStyle(1);
}
bool CColorCompoPane::OnClickStyle3(const ZuObjectRef&, unsigned)
{
    return ClickStyle(2);
}
bool CColorCompoPane::OnClickStyle4(const ZuObjectRef&, unsigned)
{
    return ClickStyle(3);
}
bool CColorCompoPane::OnClickStyle5(const ZuObjectRef&, unsigned)
{
    return ClickStyle(4);
}
bool CColorCompoPane::OnClickStyle6(const ZuObjectRef&, unsigned)
{
    return ClickStyle(5);
}
bool CColorCompoPane::OnValueChanged1(const ZuObjectRef&, unsigned)
{
    return ValueChanged(0);
}
bool CColorCompoPane::OnValueChanged2(const ZuObjectRef&, unsigned)
{
    return ValueChanged(1);
}
bool CColorCompoPane::OnValueChanged3(const ZuObjectRef&, unsigned)
{
    return ValueChanged(2);
}
bool CColorCompoPane::OnValueChanged4(const ZuObjectRef&, unsigned)
{
    return ValueChanged(3);
}
bool CColorCompoPane::OnValueChanged5(const ZuObjectRef&, unsigned)
{
    return ValueChanged(4);
}
bool CColorCompoPane::OnChangeSlider1(const ZuObjectRef&, unsigned)
{
    return ChangeSlider(0);
}
bool CColorCompoPane::OnChangeSlider2(const ZuObjectRef&, unsigned)
{
    return ChangeSlider(1);
}
bool CColorCompoPane::OnChangeSlider3(const ZuObjectRef&, unsigned)
{
    return ChangeSlider(2);
}
bool CColorCompoPane::OnChangeSlider4(const ZuObjectRef&, unsigned)
{
    return ChangeSlider(3);
}
bool CColorCompoPane::OnChangeSlider5(const ZuObjectRef&, unsigned)
{
    return ChangeSlider(4);
}
