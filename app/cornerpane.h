// CCornerPane: the pane of a corner definition: the inset of the corner
// ("Retrait", 0 to 100 mm, a logarithmic slider) and a sample corner
// fitted to the box. An edit reports "def.notify_Modify" then
// "def.notify_UpdateQuickProperty". The corner kind is passed through
// untouched; no inset makes the corner sharp through the definition.
#ifndef LUMBRA_APP_CORNERPANE_H
#define LUMBRA_APP_CORNERPANE_H

#include "app/cornerdef.h"
#include "app/defpane.h"
#include "app/sampleview.h"

ZU_HANDLE(CCornerPane, CDefPane)

class CCornerPane : public CDefPane {
    ZU_CLASS(CCornerPane, CDefPane)
public:
    CCornerPane() {}

    bool Create(int kind) override;
    void BuildControls(int x, int y) override;
    bool SetValue(int value) override;
    int GetValue() override;
    // Takes a corner definition; any other is refused (false).
    bool SetDef(const CDefRef& def) override;
    void Refresh() override;
    void NotifyChange(bool property_update, bool full) override;

    const CCornerDefRef& RetDef() const { return def; }
    const CTextLineArrowRef& RetLengthEntry() const { return length_entry; }
    const CSampleViewRef& RetSample() const { return sample; }
    // How many times the sample was drawn (it is skipped when nothing
    // changed since the last drawing).
    int RetDrawCount() const { return draw_count; }

    bool OnEditLengthChange(const ZuObjectRef& source, unsigned id);

private:
    void UpdateSample();

    CCornerDefRef def;
    CCornerDefRef drawn;
    // built: the entry handler acts; ready: NotifyChange reports.
    bool built = true;
    bool ready = true;
    CTextLineArrowRef length_entry;
    CSampleViewRef sample;
    int draw_count = 0;
};
ZU_CLASS_END(CCornerPane)

#endif
