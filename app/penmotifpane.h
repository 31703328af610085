// CPenMotifPane: the pane of a pen's motif, the brush repeated along the
// stroke: five mode buttons choose the value shown (spacing, the two sizes,
// perpendicular offset, inclination, variation), and six switches set the
// motif's options. A value that the group's variable pulsar drives is shown
// "Selon évolution ..." with its entry disabled. The sample draws a curve
// with the pen and the group's brush. Every edit reports
// "def.notify_Modify" then "def.notify_UpdateQuickProperty"; choosing a
// mode reports nothing.
#ifndef LUMBRA_APP_PENMOTIFPANE_H
#define LUMBRA_APP_PENMOTIFPANE_H

#include "app/button.h"
#include "app/defpane.h"
#include "app/patterndef.h"
#include "app/pendef.h"
#include "app/sampleview.h"
#include "si/switch.h"
#include "si/texttag.h"

ZU_HANDLE(CPenMotifPane, CDefPane)

class CPenMotifPane : public CDefPane {
    ZU_CLASS(CPenMotifPane, CDefPane)
public:
    enum { kModes = 5, kOptions = 6 };

    CPenMotifPane() {}

    void Delete() override;
    bool Create(int kind) override;
    void BuildControls(int x, int y) override;
    bool SetValue(int value) override;
    int GetValue() override;
    // Takes a pen; any other definition is refused (false).
    bool SetDef(const CDefRef& def) override;
    // The group's colours get as many colours as the pen kind uses, in
    // style 4, and their kind is listed (15, 25 or 105).
    void RegisterCodes() override;
    void Update() override;
    void Refresh() override;
    void NotifyChange(bool property_update, bool full) override;

    // Whether entry 1 and entry 2 may be typed: false for a value that the
    // group's variable pulsar drives.
    void RetEditEnable(bool& first, bool& second);
    void UpdateEditEnable();
    void UpdateEditors();
    void UpdateEdit1Value();
    void UpdateEdit2Value();
    void UpdateModeButtons();
    void UpdateSwitches();
    // Draws the curve with the pen and the group's brush, unless the
    // sample shows these very definitions already.
    void DrawSample();

    // The option bit of switch i.
    static int OptionBit(int i);

    const CPenDefRef& RetDef() const { return def; }
    int RetMode() const { return mode; }
    const CButtonRef& RetModeButton(int i) const { return buttons[i]; }
    const ZuSwitchRef& RetSwitch(int i) const { return switches[i]; }
    const ZuTextTagRef& RetLabel1() const { return label1; }
    const ZuTextTagRef& RetLabel2() const { return label2; }
    const CTextLineArrowRef& RetEntry1() const { return entry1; }
    const CTextLineArrowRef& RetEntry2() const { return entry2; }
    const CSampleViewRef& RetSample() const { return sample; }
    // How many times the sample was drawn.
    int RetDrawCount() const { return draw_count; }

    bool OnClickRadio(const ZuObjectRef& source, unsigned id);
    bool OnClickSwitch(const ZuObjectRef& source, unsigned id);
    bool OnEdit1Change(const ZuObjectRef& source, unsigned id);
    bool OnEdit2Change(const ZuObjectRef& source, unsigned id);

private:
    void ModeChanged();

    CPenDefRef def;
    CPenDefRef drawn;
    CPatternDefRef drawn_brush;
    int mode = 0;
    // ready: the entry handlers act; notify: NotifyChange reports.
    bool ready = true;
    bool notify = true;
    ZuViewRef box;
    CButtonRef buttons[kModes];
    ZuTextTagRef label1;
    ZuTextTagRef label2;
    CTextLineArrowRef entry1;
    CTextLineArrowRef entry2;
    ZuSwitchRef switches[kOptions];
    CSampleViewRef sample;
    int draw_count = 0;
};
ZU_CLASS_END(CPenMotifPane)

#endif
