// ZuViewLayout: places the views of the items of a data source on a large
// surface. It answers the size of the whole surface, the box of each item's
// view, which item lies in a rectangle or at a point, and where a scrolling
// origin may stop; a view pane asks these to show only what is visible.
// The class is abstract: concrete layouts (ZuGridLayout) answer the
// questions. The source is seen through its container interface, which is
// taken again whenever the source is set or restored.
#ifndef SI_VIEWLAYOUT_H
#define SI_VIEWLAYOUT_H

#include "si/object.h"
#include "si/rect.h"
#include "si/viewarchitect.h"

class ZuiContainer;

ZU_HANDLE(ZuViewLayout, ZuObject)
class ZuViewLayout : public ZuObject {
    ZU_CLASS(ZuViewLayout, ZuObject)
public:
    ZuViewLayout() {}

    // Keeps both; false when the source is no container (it is kept all
    // the same).
    virtual bool Initialise(const ZuObjectRef& source, const ZuViewArchitectRef& architect);
    virtual bool SetConstrainMode(bool x, bool y);
    virtual bool GetConstrainMode(bool& x, bool& y);
    virtual const ZuViewArchitectRef& RetArchitect() const;
    // The layout's questions.
    virtual bool GetGlobalSize(double& width, double& height) = 0;
    virtual bool GetViewBox(unsigned index, ZuRect& box) = 0;
    // An item, from `index` on, whose view meets the rectangle.
    virtual bool FindViewInBox(const ZuRect& rect, unsigned& index) = 0;
    // An item, from `index` on, whose view holds the point.
    virtual bool FindViewAtPosition(double x, double y, unsigned& index) = 0;
    // Moves a proposed scrolling origin where it may stop.
    virtual bool ConstrainOrigin(double& x, double& y) = 0;
    // The source's contents changed.
    virtual bool NotifyDataSourceChange();

    const ZuObjectRef& RetSource() const { return source; }

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;
    void TakeContainer();

    ZuObjectRef source;
    ZuiContainer* container = nullptr;
    ZuViewArchitectRef architect;
    bool constrain_x = false;
    bool constrain_y = false;
};
ZU_CLASS_END(ZuViewLayout)

#endif
