// CPenBasePane: the pane of a pen: width, line ends, joins with their
// limit angle, and up to four dash/gap pairs, with a sample line drawn by
// the interpreter. Every edit is written into the pen at once, the sample
// is redrawn and "def.notify_Modify" is reported (never a property
// update); the pane's own writes into its controls report nothing.
#ifndef LUMBRA_APP_PENBASEPANE_H
#define LUMBRA_APP_PENBASEPANE_H

#include "app/defpane.h"
#include "app/pendef.h"
#include "app/sampleview.h"
#include "app/textlinearrow.h"
#include "si/switch.h"
#include "si/texttag.h"

ZU_HANDLE(CPenBasePane, CDefPane)

class CPenBasePane : public CDefPane {
    ZU_CLASS(CPenBasePane, CDefPane)
public:
    CPenBasePane() {}

    bool Create(int kind) override;
    void BuildControls(int x, int y) override;
    bool SetValue(int value) override;
    int GetValue() override;
    // Takes a pen; any other definition is refused (false) and the pane
    // keeps the one it has.
    bool SetDef(const CDefRef& def) override;
    void Refresh() override;
    void NotifyChange(bool property_update, bool full) override;

    const CPenDefRef& RetDef() const { return def; }
    const CTextLineArrowRef& RetWidthEntry() const { return width_entry; }
    const CTextLineArrowRef& RetLimitEntry() const { return limit_entry; }
    const ZuTextTagRef& RetLimitLabel() const { return limit_label; }
    const ZuSwitchRef& RetCapRadio(int i) const { return cap_radio[i]; }
    const ZuSwitchRef& RetJoinRadio(int i) const { return join_radio[i]; }
    const ZuSwitchRef& RetDashRadio(int i) const { return dash_radio[i]; }
    const CTextLineArrowRef& RetDashEntry(int k) const { return dash_entry[k]; }
    const CTextLineArrowRef& RetGapEntry(int k) const { return gap_entry[k]; }
    const CSampleViewRef& RetSample() const { return sample; }

    void SelectCap(int i);
    void SelectJoin(int i);
    void SelectDashCount(int n);
    void ChangeDash(int k);
    void ChangeHole(int k);
    void DrawSample();

    // Handlers bound by name.
    bool OnPenEditWidthChange(const ZuObjectRef& source, unsigned id);
    bool OnPenEditLimitChange(const ZuObjectRef& source, unsigned id);
    bool OnClickRadioExt1(const ZuObjectRef& source, unsigned id);
    bool OnClickRadioExt2(const ZuObjectRef& source, unsigned id);
    bool OnClickRadioExt3(const ZuObjectRef& source, unsigned id);
    bool OnClickRadioJoin1(const ZuObjectRef& source, unsigned id);
    bool OnClickRadioJoin2(const ZuObjectRef& source, unsigned id);
    bool OnClickRadioJoin3(const ZuObjectRef& source, unsigned id);
    bool OnClickRadioDash1(const ZuObjectRef& source, unsigned id);
    bool OnClickRadioDash2(const ZuObjectRef& source, unsigned id);
    bool OnClickRadioDash3(const ZuObjectRef& source, unsigned id);
    bool OnClickRadioDash4(const ZuObjectRef& source, unsigned id);
    bool OnClickRadioDash5(const ZuObjectRef& source, unsigned id);
    bool OnPenDashChange1(const ZuObjectRef& source, unsigned id);
    bool OnPenDashChange2(const ZuObjectRef& source, unsigned id);
    bool OnPenDashChange3(const ZuObjectRef& source, unsigned id);
    bool OnPenDashChange4(const ZuObjectRef& source, unsigned id);
    bool OnPenHoleChange1(const ZuObjectRef& source, unsigned id);
    bool OnPenHoleChange2(const ZuObjectRef& source, unsigned id);
    bool OnPenHoleChange3(const ZuObjectRef& source, unsigned id);
    bool OnPenHoleChange4(const ZuObjectRef& source, unsigned id);

private:
    void UpdateWidth();
    void UpdateLimit();
    void UpdateCaps();
    void UpdateJoins();
    void UpdateDashCount();
    void UpdateDashEntries();
    // The end of every edit: sample, then the report.
    bool Edited();
    bool CanEdit() const { return ready && def.IsValid(); }

    CPenDefRef def;
    CTextLineArrowRef width_entry;
    ZuSwitchRef cap_radio[3];
    ZuSwitchRef join_radio[3];
    ZuTextTagRef limit_label;
    CTextLineArrowRef limit_entry;
    ZuSwitchRef dash_radio[5];
    CTextLineArrowRef dash_entry[4];
    CTextLineArrowRef gap_entry[4];
    CSampleViewRef sample;
    // ready: handlers act; notify: NotifyChange reports.
    bool ready = true;
    bool notify = true;
};
ZU_CLASS_END(CPenBasePane)

#endif
