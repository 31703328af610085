// ZuGridView: a plain container view that shows a grid of dots over its
// children and snaps coordinates to that grid, for editors that place views
// or objects on a pitch.
#ifndef SI_GRIDVIEW_H
#define SI_GRIDVIEW_H

#include "si/view.h"

ZU_HANDLE(ZuGridView, ZuView)
class ZuGridView : public ZuView {
    ZU_CLASS(ZuGridView, ZuView)
public:
    ZuGridView() {}

    void DrawBack(const ZuGrailPortRef& port, const ZuRect& rect) override;
    // The children first, then the dots over them. A pitch of 0 or below
    // draws no dots on that grid (there is no step to walk it by).
    void DrawFront(const ZuGrailPortRef& port, const ZuRect& rect) override;

    // Stores both pitches; no redraw is requested.
    virtual void SetGridPitch(double dx, double dy);
    virtual void GetGridPitch(double& dx, double& dy) const;
    // Each coordinate minus its remainder by the pitch (unchanged for a
    // pitch of 0): positive values snap down, negative ones towards 0.
    virtual void AlignOnGrid(double& x, double& y) const;

protected:
    // "<ZuGridView dx dy>".
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    double dx = 4;
    double dy = 4;
};
ZU_CLASS_END(ZuGridView)

#endif
