// CColorCompoPane: the pane of a colour definition (stroke, fill and shadow
// colours). The colour at the definition's current index is composed in
// the definition's own model in three ways that stay in step: a hue bar
// beside a colour field whose corners form one of six palettes, one row
// per component (a whole-number entry and a colour slider), and a
// transparency switch. A wide swatch shows the colour.
//
// The pane edits the dialog's very definition (SetDef keeps the handle).
// Every change reports "def.notify_Modify" only, then asks the dialog to
// rebuild the index buttons of the pane's kind. While the model is not one
// of 50 to 54 no row shows and nothing is written.
#ifndef LUMBRA_APP_COLORCOMPOPANE_H
#define LUMBRA_APP_COLORCOMPOPANE_H

#include "app/button.h"
#include "app/colordef.h"
#include "app/colorslider.h"
#include "app/defpane.h"
#include "si/switch.h"
#include "si/textline.h"
#include "si/texttag.h"

ZU_HANDLE(CColorCompoPane, CDefPane)

class CColorCompoPane : public CDefPane {
    ZU_CLASS(CColorCompoPane, CDefPane)
public:
    enum { kRows = 5, kStyles = 6 };

    CColorCompoPane() {}

    bool Create(int kind) override;
    void BuildControls(int x, int y) override;
    bool SetValue(int model) override;
    int GetValue() override;
    // Takes a colour definition (the handle itself); any other is refused.
    bool SetDef(const CDefRef& def) override;
    bool IsColorPane() override;
    void Update() override;
    void Refresh() override;
    void NotifyChange(bool property_update, bool full) override;

    const CColorDefRef& RetDef() const { return def; }
    int RetPaletteStyle() const { return palette_style; }
    double RetScale(int n) const { return scales[n]; }
    bool IsRowUsed(int n) const { return used[n]; }
    const CColorSliderRef& RetHueBar() const { return hue_bar; }
    const CColorSliderRef& RetField() const { return field; }
    const CColorSliderRef& RetSample() const { return sample; }
    const CButtonRef& RetStyleButton(int i) const { return style_buttons[i]; }
    const ZuTextTagRef& RetLabel(int n) const { return labels[n]; }
    const ZuTextLineRef& RetEntry(int n) const { return entries[n]; }
    const CColorSliderRef& RetSlider(int n) const { return sliders[n]; }
    const ZuSwitchRef& RetTransparency() const { return transparency; }

    bool OnChangePane1(const ZuObjectRef& source, unsigned id);
    bool OnChangePane2(const ZuObjectRef& source, unsigned id);
    bool OnClickStyle1(const ZuObjectRef& source, unsigned id);
    bool OnClickStyle2(const ZuObjectRef& source, unsigned id);
    bool OnClickStyle3(const ZuObjectRef& source, unsigned id);
    bool OnClickStyle4(const ZuObjectRef& source, unsigned id);
    bool OnClickStyle5(const ZuObjectRef& source, unsigned id);
    bool OnClickStyle6(const ZuObjectRef& source, unsigned id);
    bool OnValueChanged1(const ZuObjectRef& source, unsigned id);
    bool OnValueChanged2(const ZuObjectRef& source, unsigned id);
    bool OnValueChanged3(const ZuObjectRef& source, unsigned id);
    bool OnValueChanged4(const ZuObjectRef& source, unsigned id);
    bool OnValueChanged5(const ZuObjectRef& source, unsigned id);
    bool OnChangeSlider1(const ZuObjectRef& source, unsigned id);
    bool OnChangeSlider2(const ZuObjectRef& source, unsigned id);
    bool OnChangeSlider3(const ZuObjectRef& source, unsigned id);
    bool OnChangeSlider4(const ZuObjectRef& source, unsigned id);
    bool OnChangeSlider5(const ZuObjectRef& source, unsigned id);
    bool OnTransparency(const ZuObjectRef& source, unsigned id);

private:
    bool ClickStyle(int style);
    bool ValueChanged(int n);
    bool ChangeSlider(int n);
    // The definition's model is one the pane edits (50 to 54).
    bool KnownModel() const;
    // Component n as a number (0 when it is none).
    double Component(int n) const;

    void UpdateNames();
    void UpdateScales();
    void UpdateEntries();
    void UpdateSliderPositions();
    void UpdateTransparency();
    void UpdateHueBar();
    void UpdateField();
    void UpdateSample();
    void UpdateGradients();
    void UpdateStyleButtons();
    void UpdateIndexButtons();
    // The field's colour written into the definition and the rest brought
    // in step.
    void TakeFieldColor();

    CColorDefRef def;
    bool built = true;
    bool ready = true;
    int palette_style = 0;
    // A new pane has the scales of model 50 and no row in use, so that a
    // first model 54 ("keep what was there") has something to keep.
    double scales[kRows] = {255, 255, 255, 1, 100};
    ZuColorPixel corners[3];
    CColorSliderRef hue_bar;
    CColorSliderRef field;
    CButtonRef style_buttons[kStyles];
    ZuTextTagRef labels[kRows];
    ZuTextLineRef entries[kRows];
    CColorSliderRef sliders[kRows];
    bool used[kRows] = {false, false, false, false, false};
    ZuSwitchRef transparency;
    CColorSliderRef sample;
    // The names the rows show (model 54 keeps them).
    const char* names[kRows] = {"", "", "", "", ""};
};
ZU_CLASS_END(CColorCompoPane)

#endif
