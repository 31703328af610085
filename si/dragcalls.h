// The calls through which controls start a drag: the colour well drags its
// colour, the selection grid one of its cells. A drag runs in a drag view
// (ZuDragView); these calls make, start and read it, and tests may put
// stand-ins of their own in their place. A control whose calls are missing
// starts no drag.
#ifndef SI_DRAGCALLS_H
#define SI_DRAGCALLS_H

#include "si/objectref.h"

ZU_FORWARD(ZuView)

struct Zuvi_DragCalls {
    // A drag view that stops by itself and does not slide back, showing the
    // image and carrying the object (published as "drag_object"), with the
    // pointer at (hot_x, hot_y) of the image when hot_spot is set, and
    // taking drops only inside only_in when that is valid. Not started yet;
    // empty when no drag can be made. A drag that stops by itself deletes
    // itself once it has reported its end.
    ZuObjectRef (*make)(const ZuViewRef& image, const ZuObjectRef& object, bool hot_spot,
                        double hot_x, double hot_y, const ZuViewRef& only_in) = nullptr;
    // Starts the drag and hands the pointer over to the drag view's window.
    void (*start)(const ZuObjectRef& drag) = nullptr;
    // The point of the drop, while the drag view reports its commit.
    bool (*drop_origin)(const ZuObjectRef& drag, double& x, double& y) = nullptr;
};

extern Zuvi_DragCalls Zuvi_drag_calls;

#endif
