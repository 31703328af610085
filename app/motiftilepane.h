// CMotifSpecPane: the pane of a special fill (fill kind 64), which repeats
// the brush of its attribute group over a grid. Seven row buttons choose
// which of the fill's thirteen values the two entries show: steps,
// occupied size, origin, offsets, perspectives, inclinations and
// variation. The two values of the rows "Pas" and "Taille" can be linked:
// an edit of one then writes the other. A value that the group's variable
// pulsar drives is shown "Selon évolution ..." with its entry disabled.
// Every edit reports "def.notify_Modify" then
// "def.notify_UpdateQuickProperty"; choosing a row reports nothing.
#ifndef LUMBRA_APP_MOTIFTILEPANE_H
#define LUMBRA_APP_MOTIFTILEPANE_H

#include "app/button.h"
#include "app/defpane.h"
#include "app/motifdef.h"
#include "app/patterndef.h"
#include "app/sampleview.h"
#include "si/switch.h"
#include "si/texttag.h"

// One row of the pane: how its entries show and bound its values.
struct SpecialFillRow {
    int unit;
    int linkable;
    double minimum;
    double maximum;
    double step;
    int slider_grad;
    int slider_subdiv;
    double slider_log;
    char first_label[50];
    char second_label[50];
};

extern const SpecialFillRow SpecialFillRows[7];

ZU_HANDLE(CMotifSpecPane, CDefPane)

class CMotifSpecPane : public CDefPane {
    ZU_CLASS(CMotifSpecPane, CDefPane)
public:
    enum { kRows = 7 };

    CMotifSpecPane() {}

    void Delete() override;
    bool Create(int kind) override;
    void BuildControls(int x, int y) override;
    bool SetValue(int value) override;
    int GetValue() override;
    // Takes a fill definition; any other is refused (false).
    bool SetDef(const CDefRef& def) override;
    // The group's colours get as many colours as the fill kind uses, in
    // style 3, and their kind is listed (25 for a fill, 105 for a shadow's
    // fill).
    void RegisterCodes() override;
    void Update() override;
    void Refresh() override;
    void NotifyChange(bool property_update, bool full) override;

    // Whether the first and second value of the row may be typed: false
    // for one that the group's variable pulsar drives.
    void GetEvolutionFlags(bool& first, bool& second);
    void UpdateEnable();
    void UpdateRadio();
    void UpdateLayout();
    void UpdateValue1();
    void UpdateValue2();
    // Draws the fill with the group's brush, unless the sample shows these
    // very definitions already.
    void DrawSample();

    const CMotifDefRef& RetDef() const { return def; }
    int RetRow() const { return row; }
    bool RetLinked() const { return linked; }
    const CButtonRef& RetRowButton(int i) const { return buttons[i]; }
    const ZuTextTagRef& RetLabel1() const { return label1; }
    const ZuTextTagRef& RetLabel2() const { return label2; }
    const CTextLineArrowRef& RetEntry1() const { return entry1; }
    const CTextLineArrowRef& RetEntry2() const { return entry2; }
    const ZuSwitchRef& RetLinkSwitch() const { return link_switch; }
    const CSampleViewRef& RetSample() const { return sample; }
    // How many times the sample was drawn.
    int RetDrawCount() const { return draw_count; }

    bool OnClickRadio(const ZuObjectRef& source, unsigned id);
    bool OnEdit1Change(const ZuObjectRef& source, unsigned id);
    bool OnEdit2Change(const ZuObjectRef& source, unsigned id);
    bool OnClickLink(const ZuObjectRef& source, unsigned id);

private:
    double ReadValue(int which) const;
    void WriteValue(int which, double v);
    void LayoutEntry(const ZuTextTagRef& label, const CTextLineArrowRef& entry, const char* text,
                     bool enabled);

    CMotifDefRef def;
    CMotifDefRef drawn;
    CPatternDefRef drawn_brush;
    // ready: the entry handlers act; notify: NotifyChange reports.
    bool ready = true;
    bool notify = true;
    bool linked = true;
    int row = 0;
    CButtonRef buttons[kRows];
    ZuViewRef box;
    ZuTextTagRef label1;
    ZuTextTagRef label2;
    CTextLineArrowRef entry1;
    CTextLineArrowRef entry2;
    ZuSwitchRef link_switch;
    CSampleViewRef sample;
    int draw_count = 0;
};
ZU_CLASS_END(CMotifSpecPane)

#endif
