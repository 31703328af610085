#ifndef SI_BUTTON_H
#define SI_BUTTON_H

// ZuButton: the push button. It lays out up to three passive sub-views in
// its inbox (an icon at the left, the contents stretched over the free
// space, a shortcut at the right), draws the look elements "Zuvi_Button"
// and "Zuvi_ButtonCap", and shifts its sub-views by the look's press offset
// while it is pressed.

#include "si/ititlewidget.h"
#include "si/textstyle.h"
#include "si/togglecontrol.h"

ZU_HANDLE(ZuButton, ZuToggleControl)
class ZuButton : public ZuToggleControl, public ZuiTitleWidget {
    ZU_CLASS(ZuButton, ZuToggleControl)
public:
    ZuButton();
    ~ZuButton() override;

    void Delete() override;
    ZuObjectRef Copy(const ZuObjectRef& source) override;
    void NotifyGeometryChange(const ZuRect& old_box) override;
    bool NotifyChildResize(const ZuViewRef& child, double old_dx, double old_dy) override;
    void NotifyStateChange(const ZuViewState& changed) override;
    void GetMinSize(double& dx, double& dy) const override;
    void GetMaxSize(double& dx, double& dy) const override;
    void Broadcast(const ZuAtomRef& name, const ZuObjectRef& argument) override;
    bool MapStateToBackColor(ZuLookColor& color) override;

    // Lays out the sub-views and sets the pressed look.
    virtual void UpdateButton();
    // Makes a view a passive child: never hit, so clicks reach the button.
    virtual void SetSubView(const ZuViewRef& view);
    // Makes a text tag holding the text the contents.
    virtual bool SetText(const ZuStringRef& text, const ZuTextStyle& text_style, bool relief);
    virtual bool SetIconOverlayMode(bool overlay);
    virtual bool SetShortcutOverlayMode(bool overlay);
    virtual bool SetLeftMargin(double margin);
    virtual bool SetRightMargin(double margin);
    virtual bool SetIcon(const ZuViewRef& view);
    virtual bool SetContents(const ZuViewRef& view);
    virtual bool SetShortcut(const ZuViewRef& view);
    virtual bool SetBackColor(const ZuColorPixel& color);
    virtual bool GetIcon(ZuViewRef& view) const;
    virtual bool GetContents(ZuViewRef& view) const;
    virtual bool GetShortcut(ZuViewRef& view) const;
    virtual bool GetBackColor(ZuColorPixel& color) const;
    virtual const ZuViewRef& RetIcon() const;
    virtual const ZuViewRef& RetContents() const;
    virtual const ZuViewRef& RetShortcut() const;
    virtual const ZuColorPixel& RetBackColor() const;
    virtual bool RetIconOverlayMode() const;
    virtual bool RetShortcutOverlayMode() const;
    virtual double RetLeftMargin() const;
    virtual double RetRightMargin() const;

    // ZuiTitleWidget: SetText(title, no style, with relief).
    using ZuiTitleWidget::InitGeom;
    bool SetTitle(const ZuStringRef& title) override;

    // Refreshes the look's values below from the current look manager.
    static void UpdateInternal();
    static double flat_3D_effect;
    static double press_3D_offset;
    static double widget_frame_size;

    static ZuAtomRef look_button;
    static ZuAtomRef look_button_cap;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    ZuViewRef icon;
    ZuViewRef contents;
    ZuViewRef shortcut;
    ZuColorPixel back_color;
    double left_margin = 0;
    double right_margin = 0;
    bool icon_overlay = false;
    bool shortcut_overlay = false;
};
ZU_CLASS_END(ZuButton)

#endif
