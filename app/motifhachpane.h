// CMotifHachPane: the pane of a hatched fill (fill kind 62): parallel lines
// of a thickness, a spacing and an inclination, with a sample. The fill
// definition holds four sets of hatching values; the pane edits set 0
// only. Every edit reports "def.notify_Modify" then
// "def.notify_UpdateQuickProperty".
#ifndef LUMBRA_APP_MOTIFHACHPANE_H
#define LUMBRA_APP_MOTIFHACHPANE_H

#include "app/defpane.h"
#include "app/motifdef.h"
#include "app/sampleview.h"

ZU_HANDLE(CMotifHachPane, CDefPane)

class CMotifHachPane : public CDefPane {
    ZU_CLASS(CMotifHachPane, CDefPane)
public:
    CMotifHachPane() {}

    bool Create(int kind) override;
    void BuildControls(int x, int y) override;
    bool SetValue(int value) override;
    int GetValue() override;
    // Takes a fill definition; any other is refused (false).
    bool SetDef(const CDefRef& def) override;
    // Sets the fill's colour definition to two colours of style 1 and lists
    // its kind (25 for a fill, 105 for a shadow's fill).
    void RegisterCodes() override;
    void Refresh() override;
    void NotifyChange(bool property_update, bool full) override;

    bool UpdateThickness();
    bool UpdateSpacing();
    bool UpdateAngle();
    // Draws the sample for a hatched fill, unless it shows this very
    // definition already.
    void DrawSample();

    const CMotifDefRef& RetDef() const { return def; }
    const CTextLineArrowRef& RetThicknessEntry() const { return thickness_entry; }
    const CTextLineArrowRef& RetSpacingEntry() const { return spacing_entry; }
    const CTextLineArrowRef& RetAngleEntry() const { return angle_entry; }
    const CSampleViewRef& RetSample() const { return sample; }
    // How many times the sample was drawn.
    int RetDrawCount() const { return draw_count; }

    bool OnEditThickChange(const ZuObjectRef& source, unsigned id);
    bool OnEditSpaceChange(const ZuObjectRef& source, unsigned id);
    bool OnEditAngleChange(const ZuObjectRef& source, unsigned id);

private:
    bool UpdateEntry(const CTextLineArrowRef& entry, double value);

    CMotifDefRef def;
    CMotifDefRef drawn;
    // ready: the entry handlers act; notify: NotifyChange reports.
    bool ready = true;
    bool notify = true;
    CTextLineArrowRef thickness_entry;
    CTextLineArrowRef spacing_entry;
    CTextLineArrowRef angle_entry;
    CSampleViewRef sample;
    int draw_count = 0;
};
ZU_CLASS_END(CMotifHachPane)

#endif
