// ZuScrollView: a control that scrolls its children over a content area
// larger than itself, driven by up to two scrollers that live elsewhere in
// the window. It keeps the position both in content units and as fractions
// of the scrollable range, moves its children when the position changes and
// tells each scroller which fraction of the content is visible. Scrollers
// are reached only by name: their published "visible_value" (read),
// "visible_ratio" (written) and their report "notify_scrolled".
#ifndef SI_SCROLLVIEW_H
#define SI_SCROLLVIEW_H

#include "si/control.h"

ZU_HANDLE(ZuScrollView, ZuControl)
class ZuScrollView : public ZuControl {
    ZU_CLASS(ZuScrollView, ZuControl)
public:
    ZuScrollView() {}

protected:
    virtual void ScrollBy(double dx, double dy);
    // Tells the scrollers the visible fractions.
    virtual void ScrollRatioChanged();

public:
    // The position as fractions of the ranges.
    virtual void SetOffset(double x_ratio, double y_ratio);
    // The position in content units.
    virtual void SetTopLeft(double x, double y);
    virtual void SetTotalSize(double width, double height);
    virtual void SetHorizontalScroller(const ZuObjectRef& scroller);
    virtual void SetVerticalScroller(const ZuObjectRef& scroller);
    // A scroller reported "notify_scrolled".
    virtual void Scroll(const ZuObjectRef& scroller, unsigned int user_value);

    void Delete() override;
    bool WouldAcceptMain() const override;
    void BecomeMain(bool flag) override;
    void ResignMain() override;
    // Neither moves the children nor tells anyone.
    void SetOrigin(double x, double y) override;
    void SetSize(double dx, double dy) override;
    void MoveOrigin(double dx, double dy) override;
    void ChangeSize(double ddx, double ddy) override;

    double RetXOffset() const { return x_offset; }
    double RetYOffset() const { return y_offset; }
    double RetXOffsetRatio() const { return x_offset_ratio; }
    double RetYOffsetRatio() const { return y_offset_ratio; }

    static ZuAtomRef visible_value;
    static ZuAtomRef visible_ratio;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    ZuObjectRef h_scroller;
    ZuObjectRef v_scroller;
    double x_offset_ratio = 0;
    double y_offset_ratio = 0;
    double x_offset = 0;
    double y_offset = 0;
    double width = 0;
    double height = 0;
};
ZU_CLASS_END(ZuScrollView)

#endif
