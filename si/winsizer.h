// ZuWindowSizer: the view that resizes a window by its edges and corners.
// A window whose style is sizable keeps one of type ZU_WINSIZER_FRAME over
// its whole frame; the other types are handles that resize along one axis
// or both. The sizer picks the pointer's cursor from the part of the frame
// under it (nine areas, row by row from the top-left corner), grabs the
// mouse on a press, changes the window box on every drag step and tells
// the window when the resize ends. The middle of a frame sizer is never
// detected, so the pointer reaches the views under it.
#ifndef SI_WINSIZER_H
#define SI_WINSIZER_H

#include "si/view.h"

// clang-format off
#define ZU_WIN_SIZER_TYPE_LIST(X)                                                 \
    X(ZU_WINSIZER_FRAME, 0) X(ZU_WINSIZER_HANDLE_X, 1)                            \
    X(ZU_WINSIZER_HANDLE_Y, 2) X(ZU_WINSIZER_HANDLE_X_Y, 3)
// clang-format on
ZU_ENUM(ZuWinSizerType, ZU_WIN_SIZER_TYPE_LIST)

ZU_HANDLE(ZuWindowSizer, ZuView)
class ZuWindowSizer : public ZuView {
    ZU_CLASS(ZuWindowSizer, ZuView)
public:
    // What a drag does along one direction: nothing, the left or top edge
    // follows the pointer (the origin moves), or the right or bottom edge
    // does (the size changes).
    enum ZuWinSizerDragMode : unsigned {
        ZU_WINSIZER_DRAG_NONE = 0,
        ZU_WINSIZER_DRAG_LOW = 1,
        ZU_WINSIZER_DRAG_HIGH = 2
    };

    ZuWindowSizer() {}

    void ButtonPress(const ZuEventRef& event) override;
    void ButtonRelease(const ZuEventRef& event) override;
    void MotionNotify(const ZuEventRef& event) override;
    void DragNotify(const ZuEventRef& event) override;
    void NotifyParentResize(double old_dx, double old_dy) override;
    bool Detect(double x, double y, ZuViewRef& out, bool any) override;
    using ZuView::Detect;
    using ZuView::SelectCursor;

    // The area at (x, y) and its cursor, kept with the area's drag modes.
    virtual void SelectCursor(double x, double y);
    // The area (0 to 8) at (x, y) in window coordinates and what a drag
    // from there does in each direction.
    virtual unsigned UpdateCursorAndDragMode(double x, double y, ZuWinSizerDragMode& horizontal,
                                             ZuWinSizerDragMode& vertical);
    // Makes the sizer a child of the window; a frame sizer covers the
    // window's frame box.
    virtual bool Initialise(const ZuWindowRef& window, ZuWinSizerType type);

    ZuWinSizerType RetType() const { return type; }
    unsigned RetArea() const { return area; }
    bool IsDragging() const { return dragging; }

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    ZuWinSizerType type = ZU_WINSIZER_FRAME;
    bool dragging = false;
    double press_x = 0;
    double press_y = 0;
    ZuWinSizerDragMode horizontal_mode = ZU_WINSIZER_DRAG_NONE;
    ZuWinSizerDragMode vertical_mode = ZU_WINSIZER_DRAG_NONE;
    unsigned area = 0;
};
ZU_CLASS_END(ZuWindowSizer)

#endif
