// CArrowPane: the pane of an arrow head (at a line's start for kind 40, at
// its end for kind 41): up to four labelled entries for the dimensions of
// the head's shape, the "Direction" box for a triangular head, and a
// sample line carrying the head. An edit reports "def.notify_Modify" only.
// A head without dimensions ("Pas de flèche", or a shape the pane does not
// know) shows no rows and no box.
#ifndef LUMBRA_APP_ARROWPANE_H
#define LUMBRA_APP_ARROWPANE_H

#include "app/arrowdef.h"
#include "app/defpane.h"
#include "app/sampleview.h"
#include "si/switch.h"
#include "si/texttag.h"

ZU_HANDLE(CArrowPane, CDefPane)

class CArrowPane : public CDefPane {
    ZU_CLASS(CArrowPane, CDefPane)
public:
    enum { kRows = 4 };

    CArrowPane() {}

    void Delete() override;
    bool Create(int kind) override;
    void BuildControls(int x, int y) override;
    bool SetValue(int value) override;
    int GetValue() override;
    // Takes an arrow definition; any other is refused (false).
    bool SetDef(const CDefRef& def) override;
    void Refresh() override;
    void NotifyChange(bool property_update, bool full) override;

    const CArrowDefRef& RetDef() const { return def; }
    const ZuTextTagRef& RetLabel(int row) const { return labels[row]; }
    const CTextLineArrowRef& RetEntry(int row) const { return entries[row]; }
    const ZuViewRef& RetDirectionBox() const { return direction_box; }
    const ZuSwitchRef& RetInwardSwitch() const { return inward; }
    const ZuSwitchRef& RetOutwardSwitch() const { return outward; }
    const CSampleViewRef& RetSample() const { return sample; }
    // How many times the sample was drawn (it is skipped when nothing
    // changed since the last drawing).
    int RetDrawCount() const { return draw_count; }

    // Bound to every entry: the sender's user tag picks the row.
    bool OnEditChange(const ZuObjectRef& source, unsigned id);
    bool OnClickRadioInt(const ZuObjectRef& source, unsigned id);
    bool OnClickRadioExt(const ZuObjectRef& source, unsigned id);

private:
    void LayOutRows();
    void WriteEntries();
    void SetSwitches();
    void SetDirection(bool outwards);
    void UpdateSample();

    CArrowDefRef def;
    CArrowDefRef drawn;
    // built: the entry handler acts; ready: NotifyChange reports.
    bool built = true;
    bool ready = true;
    ZuTextTagRef labels[kRows];
    CTextLineArrowRef entries[kRows];
    ZuViewRef direction_box;
    ZuSwitchRef inward;
    ZuSwitchRef outward;
    CSampleViewRef sample;
    int draw_count = 0;
};
ZU_CLASS_END(CArrowPane)

#endif
