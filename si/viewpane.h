// ZuViewPane: a view onto a large surface laid out by a view layout and
// filled by a view provider. Only the items whose boxes meet the visible
// part get views: the pane locks exactly those in the provider, makes them
// its children and places them. The scroll position is two offsets from 0
// to 1, fractions of the part of the surface that does not fit; the ratios
// tell a scroll bar how much of the surface is visible.
//
// The pane does not watch its own geometry or its data: its owner calls
// UpdateContents(true) after either changes.
#ifndef SI_VIEWPANE_H
#define SI_VIEWPANE_H

#include "si/colorpixel.h"
#include "si/ititlewidget.h"
#include "si/view.h"
#include "si/viewlayout.h"
#include "si/viewprovider.h"

ZU_HANDLE(ZuViewPane, ZuView)
class ZuViewPane : public ZuView, public ZuiTitleWidget {
    ZU_CLASS(ZuViewPane, ZuView)
public:
    ZuViewPane() {}

protected:
    // Places the surface from the offsets.
    virtual void UpdateOffset();

public:
    virtual bool Initialise(const ZuViewProviderRef& provider, const ZuViewLayoutRef& layout);
    virtual void UpdateSurfaceSize();
    // Locks, places and adopts the visible views; `full` reads the data and
    // measures the surface again first.
    virtual void UpdateContents(bool full);
    virtual bool SetOffset(double x, double y);
    virtual bool GetOffset(double& x, double& y);
    virtual bool SetHorizontalOffset(double x);
    virtual bool SetVerticalOffset(double y);
    virtual double RetHorizontalOffset() const;
    virtual double RetVerticalOffset() const;
    virtual double RetHorizontalRatio() const;
    virtual double RetVerticalRatio() const;
    virtual bool SetBackColor(const ZuColorPixel& color);
    virtual bool GetBackColor(ZuColorPixel& color) const;
    virtual ZuColorPixel RetBackColor() const;
    virtual bool GetSurfaceSize(double& width, double& height) const;
    virtual const ZuViewProviderRef& RetProvider() const;
    virtual const ZuViewLayoutRef& RetLayout() const;

    // A pane has no title.
    bool SetTitle(const ZuStringRef& title) override;

    void Awake() override;
    ZuObjectRef Copy(const ZuObjectRef& source) override;
    void DrawBack(const ZuGrailPortRef& port, const ZuRect& rect) override;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    ZuViewProviderRef v_provider;
    ZuViewLayoutRef v_layout;
    ZuRect surface;
    ZuColorPixel back_color = ZuColorPixel(ZU_COLOR_WHITE);
    double x_offset = 0;
    double y_offset = 0;
};
ZU_CLASS_END(ZuViewPane)

#endif
