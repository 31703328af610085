#include "app/button.h"

#include "si/adorner.h"
#include "si/grail.h"
#include "si/rtclass.h"

ZU_IMPLEMENT_CLASS(CButton, "app/button", ZU_CLASS_PLAIN)

namespace {

bool HasRoom(const ZuRect& box)
{
    return !box.IsEmpty() && box.DX() > 0 && box.DY() > 0;
}

} // namespace

ZuAtomRef CButton::RetLookFrame()
{
    return ZuAtomRef("Zuvi_Button");
}

bool CButton::SetPlace(double x, double y, double w, double h)
{
    SetOrigin(x, y);
    SetSize(w, h);
    ChangeStyle(ZU_CTRL_HILITE_WHEN_ON, false);
    ChangeStyle(ZU_CTRL_EFFECT_WHEN_ON, true);
    ChangeStyle(ZU_CTRL_DRAW_RELIEF, false);
    return true;
}

void CButton::DrawBack(const ZuGrailPortRef& port, const ZuRect& rect)
{
    ZuButton::DrawBack(port, rect);
    if (port.IsInvalid() || !HasRoom(box))
        return;
    ZuAdornerRef adorner = port->RetAdorner();
    ZuFrameEdges surface;
    surface.SetBit(ZU_FRAME_SURFACE);
    if (adorner.IsValid())
        adorner->DrawFrame(RetLookFrame(), box, surface, i_state, 0.0);
}

void CButton::DrawFront(const ZuGrailPortRef& port, const ZuRect& rect)
{
    ZuButton::DrawFront(port, rect);
    if (port.IsInvalid() || !HasRoom(box))
        return;
    ZuAdornerRef adorner = port->RetAdorner();
    ZuFrameEdges edges;
    for (ZuFrameEdgeBit bit :
         {ZU_FRAME_TOP, ZU_FRAME_BOTTOM, ZU_FRAME_LEFT, ZU_FRAME_RIGHT, ZU_FRAME_CORNERS})
        edges.SetBit(bit);
    if (adorner.IsValid())
        adorner->DrawFrame(RetLookFrame(), box, edges, i_state, 0.0);
}
