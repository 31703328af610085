#include "si/dragcalls.h"

#include "si/classfactory.h"
#include "si/dragview.h"
#include "si/event.h"
#include "si/memzone.h"

namespace {

ZuObjectRef MakeDrag(const ZuViewRef& image, const ZuObjectRef& object, bool hot_spot, double hot_x,
                     double hot_y, const ZuViewRef& only_in)
{
    ZuDragViewRef drag = ZuNew<ZuDragView>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
    if (only_in.IsValid())
        drag->DropOnlyInView(only_in);
    drag->SetAutoStop(true);
    drag->SetAutoOops(false);
    drag->SetDragView(image);
    if (object.IsValid())
        drag->SetDragObject(object);
    if (hot_spot)
        drag->SetHotSpot(hot_x, hot_y);
    return drag;
}

void StartDrag(const ZuObjectRef& drag)
{
    if (drag.IsInvalid() || !drag->IsKindOf(ZuDragViewRef::RetRuntime()))
        return;
    ZuDragViewRef(drag)->DragBegin();
    ZuEvent::HandOverToWindow(drag);
}

bool DropOrigin(const ZuObjectRef& drag, double& x, double& y)
{
    return drag.IsValid() && drag->IsKindOf(ZuDragViewRef::RetRuntime()) &&
           ZuDragViewRef(drag)->GetDropOrigin(x, y);
}

} // namespace

Zuvi_DragCalls Zuvi_drag_calls = {&MakeDrag, &StartDrag, &DropOrigin};
