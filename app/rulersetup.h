// CRulerSetup: a settings pane for the origin shared by the rulers and the
// grid: a horizontal and a vertical origin (-100 .. 100 mm, typed in the
// document's main unit), held equal while "Origines identiques" is on (off
// when the pane is made; not stored). No tab of the settings window shows
// it: it is made by its class name and given a page view. Each change is
// redrawn on the page without rendering it again.
#ifndef LUMBRA_APP_RULERSETUP_H
#define LUMBRA_APP_RULERSETUP_H

#include "app/setuppane.h"
#include "app/textlinearrow.h"
#include "si/switch.h"

ZU_HANDLE(CRulerSetup, CSetupPane)
class CRulerSetup : public CSetupPane {
    ZU_CLASS(CRulerSetup, CSetupPane)
public:
    CRulerSetup() {}

    bool Build() override;
    void BuildContents(int x, int y) override;
    // The two stored origins shown; the link switch is left as it is.
    void Update(int topic, int item) override;
    void Delete() override;

    // The origin handlers do nothing and answer false while the pane
    // writes into its entries.
    bool OnEditStepX();
    bool OnEditStepY();
    bool OnSwitchLink();

    bool IsLinked() const { return linked; }
    const CTextLineArrowRef& RetOriginX() const { return origin_x; }
    const CTextLineArrowRef& RetOriginY() const { return origin_y; }
    const ZuSwitchRef& RetLinkSwitch() const { return link_switch; }

private:
    void ShowOriginX();
    void ShowOriginY();
    void RedrawPage();

    bool ready = true;
    bool linked = false;
    CTextLineArrowRef origin_x;
    CTextLineArrowRef origin_y;
    ZuSwitchRef link_switch;
};
ZU_CLASS_END(CRulerSetup)

#endif
