#ifndef SI_SCROLLLIST_H
#define SI_SCROLLLIST_H

// ZuScrollList: shows the items of a source container as views in a pane,
// with a horizontal and a vertical scroller that appear only when the
// contents do not fit. A view provider makes the item views through an
// architect, a layout places them, and each scroller's published
// "visible_value" is written into the pane's "x_offset" or "y_offset" by a
// data report. One line step of the vertical scroller moves the list by
// one item. While something is dragged near the pane's top or bottom edge
// the list scrolls by itself. Selection belongs to a selection controller
// handed to the provider.

#include "si/control.h"
#include "si/ititlewidget.h"
#include "si/scroller.h"
#include "si/texttagb.h"
#include "si/viewarchitect.h"
#include "si/viewlayout.h"
#include "si/viewpane.h"
#include "si/viewprovider.h"

class ZuiContainer;
ZU_FORWARD(ZuSelectCon)

ZU_HANDLE(ZuScrollList, ZuControl)
class ZuScrollList : public ZuControl, public ZuiTitleWidget {
    ZU_CLASS(ZuScrollList, ZuControl)
public:
    ZuScrollList();
    ~ZuScrollList() override;

    void Delete() override;
    void NotifyGeometryChange(const ZuRect& old_box) override;
    // Lays the list out first when that is still to be done.
    void Draw(const ZuGrailPortRef& port, const ZuRect& rect, ZuDrawOp op) override;
    using ZuControl::Draw;
    void NotifyStyleChange(const ZuCtrlStyle& changed) override;
    // Only near the pane's top or bottom edge: 90 or 270 degrees.
    bool DetectAutoScroll(double x, double y, double& angle, double& speed) override;
    void HandleAutoScroll(double angle, double speed) override;

    // Sizes the pane to the box and decides which scrollers are needed.
    virtual void UpdateGeometry(bool reset);
    virtual bool Initialise(const ZuObjectRef& source, const ZuViewArchitectRef& architect,
                            const ZuViewLayoutRef& layout, const ZuSelectConRef& select_con,
                            const ZuProviderViewRef& provider_view);
    // False, with nothing made, when the source is not a container.
    virtual bool Initialise(const ZuObjectRef& source, const ZuViewArchitectRef& architect,
                            const ZuViewLayoutRef& layout, const ZuProviderViewRef& provider_view);
    // A list of text items, one a line, shown by a text architect.
    virtual bool Initialise(const ZuObjectRef& source);
    virtual void NotifyDataSourceChange();
    virtual const ZuObjectRef& RetSource() const;
    virtual const ZuViewPaneRef& RetPane() const;
    virtual const ZuViewProviderRef& RetProvider() const;
    virtual const ZuViewArchitectRef& RetArchitect() const;
    virtual const ZuViewLayoutRef& RetLayout() const;

    // ZuiTitleWidget: a list has no title.
    using ZuiTitleWidget::InitGeom;
    bool SetTitle(const ZuStringRef& title) override;

    const ZuScrollerRef& RetHScroller() const { return h_scroller; }
    const ZuScrollerRef& RetVScroller() const { return v_scroller; }
    bool HasHScroller() const { return has_h_scroller; }
    bool HasVScroller() const { return has_v_scroller; }
    bool IsGeometryOk() const { return is_geometry_ok; }

protected:
    // "<ZuScrollList source pane architect layout provider h_scroller
    // v_scroller>".
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    ZuObjectRef source;
    ZuiContainer* container = nullptr;
    ZuViewPaneRef pane;
    ZuViewProviderRef provider;
    ZuViewArchitectRef architect;
    ZuViewLayoutRef layout;
    ZuScrollerRef h_scroller;
    ZuScrollerRef v_scroller;
    bool is_geometry_ok = false;
    bool has_h_scroller = false;
    bool has_v_scroller = false;
};
ZU_CLASS_END(ZuScrollList)

#endif
