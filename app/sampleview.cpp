#include "app/sampleview.h"

#include <cmath>
#include <cstdio>

#include "si/adorner.h"
#include "si/lookman.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/string.h"

ZU_IMPLEMENT_CLASS(CSampleView, "app/sampleview", ZU_CLASS_PLAIN)

namespace {

const char* const kFile = "sampleview";

// Whole pixels of a size, within what a context takes.
uint32_t Pixels(double v)
{
    if (!(v > 0.0))
        return 0;
    return v >= 65535.0 ? 65535u : uint32_t(std::trunc(v));
}

} // namespace

void CSampleView::Delete()
{
    port = CGraPortRef();
    view = GSViewRef();
    ZuView::Delete();
}

bool CSampleView::Build(double x, double y, double dx, double dy, bool colour)
{
    SetOrigin(x, y);
    SetSize(dx, dy);
    sample = DRect{x, y, x + dx, y + dy};
    view = ZuNew<GSView>(Zuvi_app_zone, __LINE__, kFile);
    view->SetOrigin(x, y);
    view->SetSize(dx, dy);
    view->SetParent(ZuViewRef(this));
    view->Initialise(Pixels(dx), Pixels(dy), colour ? GS_VIEW_RGB24 : GS_VIEW_MONO);
    port = ZuNew<CGraPort>(Zuvi_app_zone, __LINE__, kFile);
    port->InitBinaryMode();
    port->SetTarget(view->RetContext());
    port->InitGraphics();
    return true;
}

bool CSampleView::Render()
{
    if (!port.IsValid() || !view.IsValid())
        return false;
    port->InitGraphics();
    port->ErasePage();
    return true;
}

bool CSampleView::SetZoom(double new_zoom)
{
    zoom = new_zoom;
    if (!port.IsValid())
        return false;
    const double w = sample.x2 - sample.x1;
    const double h = sample.y2 - sample.y1;
    CGraTransform t;
    port->GetTransform(t);
    t.scale = zoom;
    t.dx = w * 0.5 / zoom;
    t.dy = h * 0.5 / zoom;
    port->SetTransform(t);
    return true;
}

bool CSampleView::FitZoom(const DRect& r)
{
    const double w = sample.x2 - sample.x1;
    const double h = sample.y2 - sample.y1;
    double left = 1.0, bottom = 1.0, right = 1.0, top = 1.0;
    if (-0.5 * w > r.x1)
        left = (-0.5 * w) / r.x1;
    if (-0.5 * h > r.y1)
        bottom = (-0.5 * h) / r.y1;
    if (0.5 * w < r.x2)
        right = (0.5 * w) / r.x2;
    if (r.y2 > 0.5 * h)
        top = (0.5 * h) / r.y2;
    double z = std::fmin(std::fmin(left, bottom), std::fmin(right, top));
    // A box with no room gives no usable zoom: keep the sample at 1.
    if (!(z > 0.0) || !std::isfinite(z))
        z = 1.0;
    return SetZoom(z);
}

bool CSampleView::FitsAtFullSize(const DRect& r) const
{
    const double w = sample.x2 - sample.x1;
    const double h = sample.y2 - sample.y1;
    // Written so that a box with a NaN side never fits.
    return r.x1 >= -0.5 * w && r.y1 >= -0.5 * h && r.x2 <= 0.5 * w && r.y2 <= 0.5 * h;
}

void CSampleView::Display()
{
    if (view.IsValid())
        view->Display(true);
}

bool CSampleView::SetVisible(bool shown)
{
    if (view.IsValid())
        view->ChangeState(ZU_VIEW_NO_DISPLAY, !shown, false);
    return ChangeState(ZU_VIEW_NO_DISPLAY, !shown, false);
}

void CSampleView::DrawFront(const ZuGrailPortRef& p, const ZuRect& area)
{
    ZuView::DrawFront(p, area);
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
    if (zoom != 1.0) {
        char text[32];
        const double percent = std::trunc(zoom * 100.0);
        const int shown = std::isfinite(percent) && std::fabs(percent) < 1e9 ? int(percent) : 0;
        std::snprintf(text, sizeof text, "%d%%", shown);
        const ZuLookManRef& look = ZuLookMan::Current();
        if (look.IsValid() && look->RetSysFont().IsValid())
            p->SetFont(look->RetSysFont());
        p->SetForeColor(ZuColorPixel(1.0, 0.0, 0.0, 0.0));
        p->ShowText(box.X1() + 5, box.Y1() + (box.Y2() - box.Y1() + 1) - 5, ZuStringRef(text), 0, 0,
                    ZuTextStyle(ZU_TEXT_HPOS_LEFT, ZU_TEXT_VPOS_BASE), 0.0);
    }
}

bool CSampleView::SetWindow(const ZuWindowRef& window)
{
    if (view.IsValid())
        view->SetWindow(window);
    return ZuView::SetWindow(window);
}

bool CSampleView::SetParent(const ZuViewRef& parent)
{
    if (view.IsValid() && !(view->RetParent() == this))
        view->SetParent(ZuViewRef(this));
    return ZuView::SetParent(parent);
}

bool CSampleView::SetEnable(bool enable)
{
    if (view.IsValid())
        view->ChangeState(ZU_VIEW_IS_ENABLED, enable, false);
    return ZuView::SetEnable(enable);
}
