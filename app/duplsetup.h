// CDuplSetup: the tab "Divers" of the settings window: the displacement
// given to duplicated objects (stored with the document, in millimetres,
// shown in the main unit) and two switches of the view settings, the
// reticule shown and a new object selected after its creation. Changes
// are written at once; the pane redraws nothing.
#ifndef LUMBRA_APP_DUPLSETUP_H
#define LUMBRA_APP_DUPLSETUP_H

#include "app/setuppane.h"
#include "app/textlinearrow.h"
#include "si/switch.h"

ZU_HANDLE(CDuplSetup, CSetupPane)
class CDuplSetup : public CSetupPane {
    ZU_CLASS(CDuplSetup, CSetupPane)
public:
    CDuplSetup() {}

    bool Build() override;
    void BuildContents(int x, int y) override;
    void Update(int topic, int item) override;
    void Delete() override;

    // Each does nothing and answers false while the pane writes.
    bool OnEditStepX();
    bool OnEditStepY();
    bool OnSwitchReticule();
    bool OnSwitchAfter();

    const CTextLineArrowRef& RetOffsetX() const { return offset_x; }
    const CTextLineArrowRef& RetOffsetY() const { return offset_y; }
    const ZuSwitchRef& RetReticuleSwitch() const { return reticule_switch; }
    const ZuSwitchRef& RetAfterSwitch() const { return after_switch; }

private:
    bool ready = true;
    CTextLineArrowRef offset_x;
    CTextLineArrowRef offset_y;
    ZuSwitchRef reticule_switch;
    ZuSwitchRef after_switch;
};
ZU_CLASS_END(CDuplSetup)

#endif
