// CPulsarPane: the pane of a pulsar, how six values of a brushed stroke
// (code 12) or fill (code 22) vary along the path. A matrix switches each
// modulator on or off per value: an oscillator, a random term, an
// envelope, and for strokes an orientation and a curvature term. Tabs
// (the arrows right of the matrix) choose what the parameter box edits: a
// modulator's kind and numbers, or a value's amplitude and offset. A fill
// has two axes ("X", "Y"), each with its own matrix and terms. The sample
// graphs the variation of the value last shown, the same at every redraw
// of an unchanged pulsar.
//
// Every edit reports "def.notify_Modify" then
// "def.notify_UpdateQuickProperty"; tabs and axes report nothing.
#ifndef LUMBRA_APP_PULSARPANE_H
#define LUMBRA_APP_PULSARPANE_H

#include "app/button.h"
#include "app/defpane.h"
#include "app/pulsardef.h"
#include "app/sampleview.h"
#include "si/icon.h"
#include "si/switch.h"
#include "si/textcaption.h"
#include "si/texttag.h"

ZU_HANDLE(CPulsarPane, CDefPane)

class CPulsarPane : public CDefPane {
    ZU_CLASS(CPulsarPane, CDefPane)
public:
    enum {
        kMaxModulators = 5,
        kValues = 6,
        kMaxTabs = kMaxModulators + kValues,
        kKindButtons = 7,
        kRows = 3
    };

    CPulsarPane() {}

    void Delete() override;
    bool Create(int kind) override;
    void BuildControls(int x, int y) override;
    bool SetValue(int value) override;
    int GetValue() override;
    // Takes a pulsar; any other definition is refused (false).
    bool SetDef(const CDefRef& def) override;
    void Refresh() override;
    void NotifyChange(bool property_update, bool full) override;

    void UpdateAxisSwitches();
    void UpdateModulatorSwitches();
    void UpdateTabIcons();
    void UpdateHeader();
    void UpdateRows();
    // Graphs the variation of the value shown (or last shown) along a
    // path of 106 units, one bar every 3 units.
    void DrawSample();

    const CPulsarDefRef& RetDef() const { return def; }
    int RetModulatorCount() const { return modulators; }
    int RetTabCount() const { return modulators + kValues; }
    int RetTab() const { return tab; }
    int RetLastValue() const { return last_value; }
    const ZuViewRef& RetParamBox() const { return param_box; }
    const ZuSwitchRef& RetAxisSwitch(int i) const { return axis_switches[i]; }
    const ZuIconRef& RetTabIcon(int t) const { return tab_icons[t]; }
    const CButtonRef& RetKindButton(int b) const { return kind_buttons[b]; }
    // The switch of modulator k for value j.
    const ZuSwitchRef& RetModulatorSwitch(int j, int k) const
    {
        return modulator_switches[j * kMaxModulators + k];
    }
    const ZuIconRef& RetValueIcon(int j) const { return value_icons[j]; }
    const ZuTextCaptionRef& RetCaption() const { return caption; }
    const ZuTextTagRef& RetRowLabel(int r) const { return row_labels[r]; }
    const CTextLineArrowRef& RetRowEntry(int r) const { return row_entries[r]; }
    const CButtonRef& RetOtherButton() const { return other_button; }
    const ZuSwitchRef& RetInitialSwitch() const { return initial_switch; }
    const CSampleViewRef& RetSample() const { return sample; }
    // How many times the graph was drawn.
    int RetDrawCount() const { return draw_count; }

    // The modulator names and the labels of the values (for codes 12 and
    // 22), as the pane shows them.
    static const char* ModulatorName(int k);
    // The icon number of value j of the pane's code.
    int ValueIcon(int j) const;

    bool OnClickRadioAxis(const ZuObjectRef& source, unsigned id);
    bool OnClickRadio(const ZuObjectRef& source, unsigned id);
    bool OnClickSwitch(const ZuObjectRef& source, unsigned id);
    bool OnClickButton(const ZuObjectRef& source, unsigned id);
    bool OnEditChange(const ZuObjectRef& source, unsigned id);
    bool OnClickBlow(const ZuObjectRef& source, unsigned id);
    bool OnClickInitial(const ZuObjectRef& source, unsigned id);

private:
    // What the current tab shows in its rows and box.
    struct TabLayout {
        const char* labels[kRows]; // null: the row is hidden
        const int* kinds;          // the kind buttons' table, null: none
        int kind_count;
        unsigned current_kind;
    };
    TabLayout RetLayout() const;
    bool IsValueTab() const { return tab >= modulators; }
    // The enabled state of the parameter box's controls on the current tab.
    bool IsTabUsed() const;
    bool Edited();

    CPulsarDefRef def;
    bool ready = true;
    int modulators = kMaxModulators;
    int tab = 0;
    int last_value = -1;
    ZuViewRef matrix_box;
    ZuViewRef param_box;
    ZuSwitchRef axis_switches[2];
    ZuIconRef tab_icons[kMaxTabs];
    CButtonRef kind_buttons[kKindButtons];
    ZuSwitchRef modulator_switches[kMaxModulators * kValues];
    ZuIconRef value_icons[kValues];
    ZuTextCaptionRef caption;
    ZuTextTagRef row_labels[kRows];
    CTextLineArrowRef row_entries[kRows];
    CButtonRef other_button;
    ZuSwitchRef initial_switch;
    CSampleViewRef sample;
    int draw_count = 0;
};
ZU_CLASS_END(CPulsarPane)

#endif
