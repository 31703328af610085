#ifndef SI_TOGGLECONTROL_H
#define SI_TOGGLECONTROL_H

// ZuToggleControl: a control with an on and an off state (the view bit
// ZU_VIEW_IS_ON). Its style chooses how a click changes it: a switch flips
// at every click; a radio member only turns on, and turning on clears the
// other members of its group: every radio control of the window whose
// parent bears the same user name as the sender's parent.

#include "si/control.h"

ZU_HANDLE(ZuToggleControl, ZuControl)
class ZuToggleControl : public ZuControl {
    ZU_CLASS(ZuToggleControl, ZuControl)
public:
    ZuToggleControl() {}

    void Delete() override;
    // Toggles first when the style has a toggle bit, then the click.
    void Action(bool flag) override;
    using ZuControl::Action;
    // Receives "ClearRadioButton" from the other members of the group.
    void Broadcast(const ZuAtomRef& name, const ZuObjectRef& argument) override;

    virtual void TurnOn();
    virtual void TurnOff();
    virtual void Toggle();

    static ZuAtomRef clear_radio_button;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;
};
ZU_CLASS_END(ZuToggleControl)

#endif
