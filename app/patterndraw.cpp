#include "app/patterndraw.h"

#include <cmath>
#include <cstdio>

#include "si/adorner.h"
#include "si/classfactory.h"
#include "si/lookman.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/string.h"
#include "si/window.h"

ZU_IMPLEMENT_CLASS(CPatternDraw, "app/patterndraw", ZU_CLASS_PLAIN)

namespace {

const char* const kFile = "patterndraw";

// Whole pixels of a size, within what a context takes.
uint32_t Pixels(double v)
{
    if (!(v > 0.0))
        return 0;
    return v >= 65535.0 ? 65535u : uint32_t(std::trunc(v));
}

} // namespace

void CPatternDraw::Delete()
{
    pane = CDefPaneRef();
    port = CGraPortRef();
    view = GSViewRef();
    ZuView::Delete();
}

bool CPatternDraw::Build(double x, double y, double dx, double dy, bool colour, int value)
{
    SetOrigin(x, y);
    SetSize(dx, dy);
    sample_value = value;
    image = DRect{x + margin_x, y + margin_y, x + dx - margin_x, y + dy - margin_y};
    const double w = image.x2 - image.x1;
    const double h = image.y2 - image.y1;
    view = ZuNew<GSView>(Zuvi_app_zone, __LINE__, kFile);
    view->SetOrigin(image.x1, image.y1);
    view->SetSize(w, h);
    view->SetParent(ZuViewRef(this));
    view->Initialise(Pixels(w), Pixels(h), colour ? GS_VIEW_RGB24 : GS_VIEW_MONO);
    port = ZuNew<CGraPort>(Zuvi_app_zone, __LINE__, kFile);
    port->InitBinaryMode();
    port->SetTarget(view->RetContext());
    port->InitGraphics();
    return true;
}

void CPatternDraw::SetPane(const CDefPaneRef& new_pane)
{
    pane = new_pane;
}

bool CPatternDraw::Render()
{
    if (!port.IsValid() || !view.IsValid())
        return false;
    port->InitGraphics();
    port->ErasePage();
    return true;
}

bool CPatternDraw::SetZoom(double new_zoom)
{
    zoom = new_zoom;
    if (!port.IsValid())
        return false;
    const double w = image.x2 - image.x1;
    const double h = image.y2 - image.y1;
    CGraTransform t;
    port->GetTransform(t);
    t.scale = zoom;
    t.dx = w * 0.5 / zoom;
    t.dy = h * 0.5 / zoom;
    port->SetTransform(t);
    return true;
}

void CPatternDraw::Display()
{
    ZuView::Display(true);
}

bool CPatternDraw::SetVisible(bool shown)
{
    if (view.IsValid())
        view->ChangeState(ZU_VIEW_NO_DISPLAY, !shown, false);
    return ChangeState(ZU_VIEW_NO_DISPLAY, !shown, false);
}

DPoint CPatternDraw::SampleToView(double x, double y) const
{
    double ox = 0.0, oy = 0.0, w = 0.0, h = 0.0;
    GetOrigin(ox, oy);
    GetSize(w, h);
    return DPoint{ox + w * 0.5 + x * zoom, oy + h * 0.5 - y * zoom};
}

DPoint CPatternDraw::ViewToSample(double px, double py) const
{
    double ox = 0.0, oy = 0.0, w = 0.0, h = 0.0;
    GetOrigin(ox, oy);
    GetSize(w, h);
    return DPoint{(px - (ox + w * 0.5)) / zoom, -((py - (oy + h * 0.5)) / zoom)};
}

double CPatternDraw::LengthToSample(double length) const
{
    return length / zoom;
}

void CPatternDraw::SetCursorSprite(int n)
{
    if (n == sprite)
        return;
    char name[32];
    std::snprintf(name, sizeof name, "lumbra_Sprite%.2d", n);
    const ZuAtomRef atom(name);
    const ZuLookManRef& look = ZuLookMan::Current();
    if (look.IsValid())
        look->SelectCursor(atom);
    SetCursor(atom);
    sprite = n;
}

// Each event first gets the view's own handling, then goes to the pane.
// The pane is held while it runs: its handler may take it out of the tree.
void CPatternDraw::KeyDown(const ZuEventRef& event)
{
    ZuView::KeyDown(event);
    if (CDefPaneRef p = pane; p.IsValid())
        p->SampleKeyDown(event, sample_value);
}

void CPatternDraw::ButtonPress(const ZuEventRef& event)
{
    ZuView::ButtonPress(event);
    // The gesture stays with the box until the buttons are up, also when
    // the mouse leaves it (the window lets go at the release).
    if (window.IsValid())
        window->SetDraggingView(ZuViewRef(this));
    if (CDefPaneRef p = pane; p.IsValid())
        p->SampleButtonPress(event, sample_value);
}

void CPatternDraw::ButtonRelease(const ZuEventRef& event)
{
    ZuView::ButtonRelease(event);
    if (CDefPaneRef p = pane; p.IsValid())
        p->SampleButtonRelease(event, sample_value);
}

void CPatternDraw::MotionNotify(const ZuEventRef& event)
{
    ZuView::MotionNotify(event);
    if (CDefPaneRef p = pane; p.IsValid())
        p->SampleMotionNotify(event, sample_value);
}

void CPatternDraw::DragNotify(const ZuEventRef& event)
{
    ZuView::DragNotify(event);
    if (CDefPaneRef p = pane; p.IsValid())
        p->SampleDragNotify(event, sample_value);
}

void CPatternDraw::EnterNotify(const ZuEventRef& event)
{
    ZuView::EnterNotify(event);
    if (CDefPaneRef p = pane; p.IsValid())
        p->SampleEnterNotify(event, sample_value);
}

void CPatternDraw::LeaveNotify(const ZuEventRef& event)
{
    ZuView::LeaveNotify(event);
    if (CDefPaneRef p = pane; p.IsValid())
        p->SampleLeaveNotify(event, sample_value);
}

void CPatternDraw::DrawFront(const ZuGrailPortRef& p, const ZuRect& area)
{
    if (pane.IsValid())
        pane->DrawSampleBack(p, sample_value);
    ZuView::DrawFront(p, area);
    if (pane.IsValid())
        pane->DrawSampleFront(p, sample_value);
    if (p.IsInvalid())
        return;
    ZuAdornerRef adorner = p->RetAdorner();
    if (adorner.IsValid()) {
        ZuFrameEdges edges;
        for (ZuFrameEdgeBit bit :
             {ZU_FRAME_TOP, ZU_FRAME_BOTTOM, ZU_FRAME_LEFT, ZU_FRAME_RIGHT, ZU_FRAME_CORNERS})
            edges.SetBit(bit);
        adorner->DrawFrame(ZuAtomRef("lumbra_Box"), box, edges, ZU_CTRL_STATE_NORMAL, 0.0);
    }
}

bool CPatternDraw::SetWindow(const ZuWindowRef& window)
{
    if (view.IsValid())
        view->SetWindow(window);
    return ZuView::SetWindow(window);
}

bool CPatternDraw::SetParent(const ZuViewRef& parent)
{
    if (view.IsValid() && !(view->RetParent() == this))
        view->SetParent(ZuViewRef(this));
    return ZuView::SetParent(parent);
}

bool CPatternDraw::SetEnable(bool enable)
{
    if (view.IsValid())
        view->ChangeState(ZU_VIEW_IS_ENABLED, enable, false);
    return ZuView::SetEnable(enable);
}
