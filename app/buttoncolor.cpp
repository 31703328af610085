#include "app/buttoncolor.h"

#include "app/button.h"
#include "si/adorner.h"
#include "si/grail.h"
#include "si/rtclass.h"

ZU_IMPLEMENT_CLASS(CButtonColor, "app/buttoncolor", ZU_CLASS_PLAIN)

CButtonColor::CButtonColor() : colour(0.5, 0.5, 0.5, 0.0) {}

ZuObjectRef CButtonColor::Copy(const ZuObjectRef& source)
{
    ZuObjectRef result = ZuButton::Copy(source);
    if (source.IsValid() && source != this && source->IsKindOf(CButtonColorRef::RetRuntime())) {
        const CButtonColor* other = static_cast<const CButtonColor*>(source.Resolve());
        inset = other->inset;
        colour = other->colour;
    }
    return result;
}

bool CButtonColor::SetPlace(double x, double y, double w, double h)
{
    SetOrigin(x, y);
    SetSize(w, h);
    ChangeStyle(ZU_CTRL_HILITE_WHEN_ON, false);
    ChangeStyle(ZU_CTRL_EFFECT_WHEN_ON, true);
    ChangeStyle(ZU_CTRL_DRAW_RELIEF, false);
    ChangeStyle(ZU_CTRL_DRAW_ADORNER, true);
    return true;
}

bool CButtonColor::SetBackColor(const ZuColorPixel& color)
{
    colour = color;
    return true;
}

void CButtonColor::DrawFront(const ZuGrailPortRef& port, const ZuRect& /*rect*/)
{
    if (port.IsInvalid() || box.IsEmpty())
        return;
    const double width = box.DX();
    const double height = box.DY();
    if (width <= 0 || height <= 0)
        return;
    ZuAdornerRef adorner = port->RetAdorner();
    if (adorner.IsInvalid())
        return;
    ZuFrameEdges edges;
    edges.SetBit(ZU_FRAME_TOP);
    edges.SetBit(ZU_FRAME_BOTTOM);
    edges.SetBit(ZU_FRAME_LEFT);
    edges.SetBit(ZU_FRAME_RIGHT);
    edges.SetBit(ZU_FRAME_CORNERS);
    adorner->DrawFrame(CButton::RetLookFrame(), box, edges, i_state, 0.0);
    // A button no larger than both insets leaves no room for a swatch: the
    // rectangle would turn inside out.
    if (width <= 2 * inset || height <= 2 * inset)
        return;
    port->SetForeColor(colour);
    port->FillRect(box.X1() + inset, box.Y1() + inset, box.X1() + width - inset - 1,
                   box.Y1() + height - inset - 1);
}
