// CGridSetup: the tab "Grille" of the settings window: the magnetic grid
// of the view settings. Two steps (held equal while the link switch is
// on), the origin shared with the rulers, and whether the grid is shown
// and magnetic. Each change is written at once, redrawn on the page
// without rendering it again, and the tool and the check mark of
// "SwapGrid" follow. Steps (0 .. 100 mm) and origins (-100 .. 100 mm) are
// typed in the document's main unit; the link belongs to the pane and
// starts on.
#ifndef LUMBRA_APP_GRIDSETUP_H
#define LUMBRA_APP_GRIDSETUP_H

#include "app/setuppane.h"
#include "app/textlinearrow.h"
#include "si/switch.h"

ZU_HANDLE(CGridSetup, CSetupPane)
class CGridSetup : public CSetupPane {
    ZU_CLASS(CGridSetup, CSetupPane)
public:
    CGridSetup() {}

    bool Build() override;
    void BuildContents(int x, int y) override;
    // The stored steps, origins and switches shown; nothing before the
    // pane has view settings.
    void Update(int topic, int item) override;
    void Delete() override;

    // The entry handlers do nothing and answer false while the pane
    // writes into its entries.
    bool OnEditStepX();
    bool OnEditStepY();
    bool OnSwitchLink();
    bool OnEditOriginX();
    bool OnEditOriginY();
    bool OnSwitchShow();
    bool OnSwitchActive();

    bool IsLinked() const { return linked; }
    const CTextLineArrowRef& RetStepX() const { return step_x; }
    const CTextLineArrowRef& RetStepY() const { return step_y; }
    const CTextLineArrowRef& RetOriginX() const { return origin_x; }
    const CTextLineArrowRef& RetOriginY() const { return origin_y; }
    const ZuSwitchRef& RetLinkSwitch() const { return link_switch; }
    const ZuSwitchRef& RetShowSwitch() const { return show_switch; }
    const ZuSwitchRef& RetActiveSwitch() const { return active_switch; }

private:
    // Writes a stored value into an entry without its handler acting.
    void Show(const CTextLineArrowRef& entry, double value);
    // The page redrawn without rendering, the tool and "SwapGrid" updated.
    void RefreshPage();

    bool ready = true;
    bool linked = true;
    CTextLineArrowRef step_x;
    CTextLineArrowRef step_y;
    CTextLineArrowRef origin_x;
    CTextLineArrowRef origin_y;
    ZuSwitchRef link_switch;
    ZuSwitchRef show_switch;
    ZuSwitchRef active_switch;
};
ZU_CLASS_END(CGridSetup)

#endif
