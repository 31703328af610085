// CPolyRegPane: the pane of a regular polygon or star: its number of sides
// and, for a star, its indentation ("Renfoncement"), with a sample of the
// figure. Every edit reports "def.notify_Modify" then
// "def.notify_UpdateQuickProperty".
#ifndef LUMBRA_APP_POLYRPANE_H
#define LUMBRA_APP_POLYRPANE_H

#include "app/defpane.h"
#include "app/polyrdef.h"
#include "app/sampleview.h"
#include "si/texttag.h"

ZU_HANDLE(CPolyRegPane, CDefPane)

class CPolyRegPane : public CDefPane {
    ZU_CLASS(CPolyRegPane, CDefPane)
public:
    CPolyRegPane() {}

    void Delete() override;
    bool Create(int kind) override;
    void BuildControls(int x, int y) override;
    bool SetValue(int value) override;
    int GetValue() override;
    // Takes a regular-polygon definition; any other is refused (false).
    bool SetDef(const CDefRef& def) override;
    void Refresh() override;
    void NotifyChange(bool property_update, bool full) override;

    const CPolyRegDefRef& RetDef() const { return def; }
    const CTextLineArrowRef& RetSidesEntry() const { return sides_entry; }
    const CTextLineArrowRef& RetFactorEntry() const { return factor_entry; }
    const ZuTextTagRef& RetFactorLabel() const { return factor_label; }
    const CSampleViewRef& RetSample() const { return sample; }
    // How many times the sample was drawn (it is skipped when nothing
    // changed since the last drawing).
    int RetDrawCount() const { return draw_count; }

    bool OnEditNbSideChange(const ZuObjectRef& source, unsigned id);
    bool OnEditFactorChange(const ZuObjectRef& source, unsigned id);

private:
    void UpdateSample();

    CPolyRegDefRef def;
    CPolyRegDefRef drawn;
    // ready: the entry handlers act; notify: NotifyChange reports.
    bool ready = true;
    bool notify = true;
    CTextLineArrowRef sides_entry;
    CTextLineArrowRef factor_entry;
    ZuTextTagRef factor_label;
    CSampleViewRef sample;
    int draw_count = 0;
};
ZU_CLASS_END(CPolyRegPane)

#endif
