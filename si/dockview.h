// ZuDockView: a frame view for a tool bar or tool panel that the user tears
// off its place. A press on its grip (or, by style, on its border or
// anywhere in it) lifts the view out of its parent into a top-level window
// of its own, which follows the pointer until the button is released. The
// view draws its own grip along its left or top edge: one or two raised
// ridges, or a shaded bump. A torn-off view stays in its window.
#ifndef SI_DOCKVIEW_H
#define SI_DOCKVIEW_H

#include <cstdint>

#include "si/bitset.h"
#include "si/enumfamily.h"
#include "si/view.h"

// clang-format off
#define ZU_DOCK_STYLE_BIT_LIST(X)                                                 \
    X(ZU_DOCK_ON_GRIP, 0) X(ZU_DOCK_ON_BORDER, 1) X(ZU_DOCK_ANYWHERE, 2)          \
    X(ZU_DOCK_FILLED, 10)
#define ZU_DOCK_HANDLE_LIST(X)                                                    \
    X(ZU_DOCK_HANDLE_NONE, 0) X(ZU_DOCK_HANDLE_LEFT, 1) X(ZU_DOCK_HANDLE_TOP, 2)
#define ZU_DOCK_STRIPE_LIST(X)                                                    \
    X(ZU_DOCK_STRIPE_SINGLE, 0) X(ZU_DOCK_STRIPE_DOUBLE, 1)                       \
    X(ZU_DOCK_STRIPE_THIN, 2) X(ZU_DOCK_STRIPE_BUMP, 3)
// clang-format on
ZU_ENUM(ZuDockStyleBit, ZU_DOCK_STYLE_BIT_LIST)
ZU_ENUM(ZuDockHandle, ZU_DOCK_HANDLE_LIST)
ZU_ENUM(ZuDockStripe, ZU_DOCK_STRIPE_LIST)
typedef Bitset<ZuDockStyleBit> ZuDockStyle;
extern const Zuvi_TypeDef ZuDockStyle_type;
ZuDockStyle Zuvi_ValueToZuDockStyle(const ZuValueRef& value);

ZU_HANDLE(ZuDockView, ZuView)
class ZuDockView : public ZuView {
    ZU_CLASS(ZuDockView, ZuView)
public:
    // Tears off from the grip; background filled and framed.
    ZuDockView();
    ~ZuDockView() override;

    // The window made for the torn-off view goes with the view.
    void Delete() override;

    // A press on the grip, the border or anywhere (by style) starts the
    // tear-off; other presses are ignored, never passed on.
    void ButtonPress(const ZuEventRef& event) override;
    void ButtonRelease(const ZuEventRef& event) override;
    // During a drag, the window keeps the pointer on the same point of the
    // view.
    void DragNotify(const ZuEventRef& event) override;
    void DrawBack(const ZuGrailPortRef& port, const ZuRect& rect) override;
    // The grip over the children.
    void DrawFront(const ZuGrailPortRef& port, const ZuRect& rect) override;

    // The first time, moves the view into a window of its own at the same
    // place on the screen; then grabs the events for the drag. False while
    // a drag is under way.
    virtual bool StartDragging();
    virtual bool SetStyle(const ZuDockStyle& style);
    virtual bool SetHandle(ZuDockHandle handle);
    virtual bool SetStripe(ZuDockStripe stripe);
    virtual const ZuDockStyle& RetStyle() const;
    virtual ZuDockHandle RetHandle();
    virtual ZuDockStripe RetStripe();

    double RetHandleWidth() const { return width; }
    bool IsDragging() const { return dragging; }
    const ZuWindowRef& RetDockWindow() const { return dock_window; }

protected:
    // The grip's thickness from the stripe.
    virtual void UpdateHandleWidth();

    // "<ZuDockView dock_window style handle stripe border width>"; the
    // width is taken from the stripe again after restoring.
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    bool dragging = false;
    ZuDockStyle style;
    ZuDockHandle handle = ZU_DOCK_HANDLE_LEFT;
    ZuDockStripe stripe = ZU_DOCK_STRIPE_SINGLE;
    ZuWindowRef dock_window;
    double anchor_x = 0;
    double anchor_y = 0;
    double border = 2;
    double width = 9;
    // The last pointer position a drag moved the window for.
    bool has_last = false;
    double last_x = 0;
    double last_y = 0;
    std::int64_t last_time = 0;
};
ZU_CLASS_END(ZuDockView)

#endif
