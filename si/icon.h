// ZuIcon: a clickable toggle control that shows one named icon of the look
// manager, centred at its own size or stretched over the whole box. Its
// size (dx, dy) follows the look's picture of the icon (in match mode the
// best fit to the size asked), also when the look changes.
#ifndef SI_ICON_H
#define SI_ICON_H

#include "si/togglecontrol.h"

ZU_HANDLE(ZuIcon, ZuToggleControl)
class ZuIcon : public ZuToggleControl {
    ZU_CLASS(ZuIcon, ZuToggleControl)
public:
    ZuIcon() {}

    void DrawFront(const ZuGrailPortRef& port, const ZuRect& rect) override;
    // The control's minimum raised to the icon's size.
    void GetMinSize(double& dx, double& dy) const override;
    // A change of look sizes the icon again.
    void Broadcast(const ZuAtomRef& name, const ZuObjectRef& argument) override;

    // (dx, dy) is the size wanted for matching.
    virtual bool Initialise(const ZuAtomRef& name, double dx, double dy, bool match, bool centered);
    virtual bool Initialise(const ZuAtomRef& name, bool centered);
    // The view takes the icon's size; false without an icon name.
    virtual bool ResetDefaultSize();
    virtual bool SetCenterMode(bool centered);
    virtual bool SetMatchMode(bool match);
    // The size comes from the current look manager; neither resizes nor
    // redraws the view. False when the look does not know the icon.
    virtual bool SetIcon(const ZuAtomRef& name);
    virtual const ZuAtomRef& RetIcon() const;
    virtual bool RetCenterMode() const;
    virtual bool RetMatchMode() const;
    virtual bool GetIconSize(double& dx, double& dy) const;

protected:
    // "<ZuIcon icon dx dy is_centered is_size_match>".
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    double dx = 0;
    double dy = 0;
    ZuAtomRef icon;
    bool is_centered = true;
    bool is_size_match = false;
};
ZU_CLASS_END(ZuIcon)

#endif
