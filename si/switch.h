#ifndef SI_SWITCH_H
#define SI_SWITCH_H

// ZuSwitch: the check box and the radio button: a look icon at the left and
// a text title after it. A new switch is an empty check box, off. A click
// reports "notify_user_changed" after the state flipped; a change by
// program (SetSwitchState) reports "notify_auto_changed".

#include "si/ititlewidget.h"
#include "si/ivalue.h"
#include "si/togglecontrol.h"

ZU_HANDLE(ZuSwitch, ZuToggleControl)
class ZuSwitch : public ZuToggleControl, public ZuiTitleWidget, public ZuiValue {
    ZU_CLASS(ZuSwitch, ZuToggleControl)
public:
    ZuSwitch();
    ~ZuSwitch() override;

    void Delete() override;
    ZuObjectRef Copy(const ZuObjectRef& source) override;
    void NotifyGeometryChange(const ZuRect& old_box) override;
    void DrawFront(const ZuGrailPortRef& port, const ZuRect& rect) override;
    void GetMinSize(double& dx, double& dy) const override;
    void Action(bool flag) override;
    using ZuToggleControl::Action;
    void DrawActiveFrame(const ZuGrailPortRef& port, const ZuAdornerRef& adorner,
                         double size) override;

    // Makes the title tag (true) or deletes it (false).
    virtual void AllocTitle(bool make);
    virtual void InitAsCheckBox();
    virtual void InitAsRadioButton();
    virtual bool SetSwitchState(bool on);
    virtual bool SetRadioButtonMode(bool radio);
    virtual bool RetRadioButtonMode() const;
    // The title's text; an empty string without a title.
    virtual ZuStringRef RetTitle() const;
    virtual bool RetSwitchState() const;

    // ZuiTitleWidget.
    using ZuiTitleWidget::InitGeom;
    bool SetTitle(const ZuStringRef& title) override;
    // ZuiValue: the switch state as a boolean.
    bool SetValue(const ZuValueRef& value) override;
    ZuValueRef RetValue() override;

    // The title tag (a text tag) and the look icon's name.
    const ZuViewRef& RetTitleView() const { return title; }
    const ZuAtomRef& RetIcon() const { return icon; }

    static ZuAtomRef notify_user_changed;
    static ZuAtomRef notify_auto_changed;
    static ZuAtomRef icon_check_box;
    static ZuAtomRef icon_radio_button;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    // The look icon's size (0 x 0 when the look does not know it).
    void GetIconSize(double& dx, double& dy) const;

    ZuViewRef title;
    ZuAtomRef icon;
};
ZU_CLASS_END(ZuSwitch)

#endif
