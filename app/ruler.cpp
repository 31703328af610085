#include "app/ruler.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "app/app.h"
#include "app/pageview.h"
#include "app/setupdlg.h"
#include "si/adorner.h"
#include "si/event.h"
#include "si/fontman.h"
#include "si/rtclass.h"
#include "si/textstyle.h"
#include "si/window.h"

ZU_IMPLEMENT_CLASS(CRuler, "app/ruler", ZU_CLASS_PLAIN)

namespace {

struct StepRow {
    double upTo;
    int step;
};
const StepRow kSteps[] = {
    {0.0002, 100000}, {0.0005, 50000}, {0.002, 10000}, {0.005, 5000}, {0.02, 1000},
    {0.05, 500},      {0.2, 100},      {0.5, 50},      {2.0, 10},     {5.0, 5},
};

double ClampedZoom(const CViewRef& view)
{
    const double z = view->zoom;
    if (!(z >= 0.01))
        return 0.01;
    return z > 100.0 ? 100.0 : z;
}

} // namespace

CRuler::~CRuler() {}

void CRuler::Delete()
{
    if (font.IsValid() && ZuFontMan::Current().IsValid())
        ZuFontMan::Current()->ReleaseFont(font);
    font = ZuGrailFontRef();
    document = CDocumentRef();
    viewSettings = CViewRef();
    pageView = CPageViewRef();
    ZuView::Delete();
}

void CRuler::SetPageView(const CPageViewRef& v)
{
    pageView = v;
}

void CRuler::SetMark(double position)
{
    if (markShown && markPosition == position)
        return;
    markShown = true;
    markPosition = position;
}

int CRuler::StepForScale(double s)
{
    for (const StepRow& row : kSteps)
        if (s <= row.upTo)
            return row.step;
    return 1;
}

void CRuler::FormatLabel(char* out, std::size_t room, double value, bool unit)
{
    if (room == 0)
        return;
    if (unit)
        FormatInUnit(out, room, value, 0);
    else
        std::snprintf(out, room, "%.5f", value);
    char* point = std::strchr(out, '.');
    if (point == nullptr)
        return;
    std::size_t n = std::strlen(out);
    for (int i = 0; i < 5 && n > std::size_t(point - out) + 1 && out[n - 1] == '0'; i++)
        out[--n] = '\0';
    if (out + n - 1 == point)
        *point = '\0';
}

// ---------------------------------------------------------------------------
// Drawing
// ---------------------------------------------------------------------------

void CRuler::DrawFront(const ZuGrailPortRef& port, const ZuRect& rect)
{
    (void)rect;
    if (port.IsInvalid())
        return;
    const double x0 = box.X1(), y0 = box.Y1();
    double w = 0.0, h = 0.0;
    GetSize(w, h);
    if (w > h)
        horizontal = true;
    else
        vertical = true;

    if (font.IsInvalid() && ZuFontMan::Current().IsValid())
        ZuFontMan::Current()->CreateFont(ZuStringRef("Arial"), ZuStringRef(""), 9.0, false, font);
    if (font.IsValid())
        port->SetFont(font);

    const ZuAdornerRef adorner = RetAdorner();
    if (adorner.IsValid()) {
        const ZuRect back = w < 1 || h < 1 ? ZuRect() : ZuRect(x0, y0, x0 + w - 1, y0 + h - 1);
        adorner->DrawFrame(ZuAtomRef("Zuvi_ScrollerHBack"), back, ZU_CTRL_STATE_NORMAL, 0);
    }

    // A scale that is not a number (a broken document) draws no ticks.
    if (!std::isfinite(scale) || !std::isfinite(start) || !std::isfinite(origin) || scale <= 0.0)
        return;
    const long long step = StepForScale(scale);
    const long long every = (long long)labelInterval * step;
    const long long major = (long long)majorInterval * step;
    const double d = start - origin;
    // Values past the range of whole numbers draw nothing either.
    if (!(std::fabs(d / double(step)) < 1e15))
        return;
    long long v = (long long)(d / double(step)) * step;
    double p = std::trunc((double(v) - d) * scale + 0.5);
    const double length = horizontal ? w : h;
    port->SetForeColor(ZuColorPixel(ZU_COLOR_BLACK));
    for (; p < length; v += step, p += double(step) * scale) {
        const long long a = v < 0 ? -v : v;
        const bool isMajor = major != 0 && a % major == 0;
        const bool isHalf = !isMajor && major != 0 && a % major == major / 2;
        if (horizontal) {
            const double X = x0 + p;
            if (isMajor) {
                port->DrawLineDY(X, y0 + 2, h - 4);
                if (v == 0)
                    port->DrawLineDY(X - 1, y0 + 2, h - 4);
            } else if (isHalf) {
                port->DrawLineDY(X, y0 + 7, h - 9);
            } else {
                port->DrawLineDY(X, y0 + 12, h - 14);
            }
            if (every != 0 && a % every == 0) {
                DrawLabel(port, X + 2, y0 + 2, double(v) * labelFactor, false, false, false);
                port->SetForeColor(ZuColorPixel(ZU_COLOR_BLACK));
            }
        } else {
            const double Y = y0 + p;
            if (isMajor) {
                port->DrawLineDX(x0 + 2, Y, w - 4);
                if (v == 0)
                    port->DrawLineDX(x0 + 2, Y + 1, w - 4);
            } else if (isHalf) {
                port->DrawLineDX(x0 + 7, Y, w - 9);
            } else {
                port->DrawLineDX(x0 + 12, Y, w - 14);
            }
            if (every != 0 && a % every == 0) {
                DrawRotatedLabel(port, x0 + 2, Y - 2, -double(v) * labelFactor, false, false,
                                 false);
                port->SetForeColor(ZuColorPixel(ZU_COLOR_BLACK));
            }
        }
    }
    DrawGuides(port, x0, y0, w, h);
}

void CRuler::DrawGuides(const ZuGrailPortRef& port, double x0, double y0, double w, double h)
{
    if (document.IsInvalid() || pageView.IsInvalid())
        return;
    bool currentList = false;
    int current = -1;
    document->GetCurrentGuide(currentList, current);
    const ZuAdornerRef adorner = RetAdorner();
    const bool list = vertical;
    const int n = document->GetGuideCount(list);
    for (int i = 0; i < n; i++) {
        const double stored = document->GetGuide(list, i);
        const bool isCurrent = i == current && currentList == list;
        const ZuAtomRef icon(isCurrent ? "lumbra_HandleNormPV" : "lumbra_HandleNormPR");
        if (horizontal) {
            DPoint q{stored - document->GetPageWidth() / 2.0, 0.0};
            pageView->PageToViewLocal(q);
            const double gx = q.x + x0;
            if (adorner.IsValid())
                adorner->DrawIcon(gx - 8, y0 + h - 3 - 8, icon, ZU_CTRL_STATE_NORMAL, 0, 0);
            if (isCurrent)
                DrawLabel(port, gx, y0 + 1, stored, true, true, true);
        } else {
            DPoint q{0.0, stored - document->GetPageHeight() / 2.0};
            pageView->PageToViewLocal(q);
            const double gy = q.y + y0;
            if (adorner.IsValid())
                adorner->DrawIcon(x0 + w - 3 - 8, gy - 8, icon, ZU_CTRL_STATE_NORMAL, 0, 0);
            if (isCurrent)
                DrawRotatedLabel(port, x0 + 1, gy, stored, true, true, true);
        }
    }
}

void CRuler::DrawLabel(const ZuGrailPortRef& port, double x, double y, double value, bool unit,
                       bool centred, bool boxed)
{
    char text[64];
    FormatLabel(text, sizeof text, value, unit);
    const ZuStringRef s(text);
    const double W = font.IsValid() ? font->ComputeTextWidth(text) : 0.0;
    const double H = font.IsValid() ? font->RetAscent() - font->RetDescent() : 0.0;
    if (centred)
        x -= W / 2;
    if (boxed) {
        port->SetForeColor(ZuColorPixel(ZU_COLOR_TOOLTIP_BACK));
        port->FillRect(x - 2, y, x + W + 1, y + H);
        port->SetForeColor(ZuColorPixel(ZU_COLOR_BLACK));
        port->DrawRect(x - 3, y - 1, x + W + 2, y + H + 1);
    }
    port->SetForeColor(ZuColorPixel(ZU_COLOR_BLACK));
    port->ShowText(x, y, s, 0, 0, ZuTextStyle(), 0);
}

void CRuler::DrawRotatedLabel(const ZuGrailPortRef& port, double x, double y, double value,
                              bool unit, bool centred, bool boxed)
{
    char text[64];
    FormatLabel(text, sizeof text, value, unit);
    const ZuStringRef s(text);
    const double W = font.IsValid() ? font->ComputeTextWidth(text) : 0.0;
    const double H = font.IsValid() ? font->RetAscent() - font->RetDescent() : 0.0;
    ZuTextStyle style(ZU_TEXT_HPOS_LEFT, ZU_TEXT_VPOS_TOP);
    style.SetAngle(90.0);
    if (centred)
        y += W / 2;
    if (boxed) {
        port->SetForeColor(ZuColorPixel(ZU_COLOR_TOOLTIP_BACK));
        port->FillRect(x, y - W - 1, x + H, y + 2);
        port->SetForeColor(ZuColorPixel(ZU_COLOR_BLACK));
        port->DrawRect(x - 1, y - W - 2, x + H + 1, y + 3);
    }
    port->SetForeColor(ZuColorPixel(ZU_COLOR_BLACK));
    port->ShowText(x, y, s, 0, 0, style, 0);
}

// ---------------------------------------------------------------------------
// Guides
// ---------------------------------------------------------------------------

DPoint CRuler::PointerPoint(const ZuEventRef& event)
{
    DPoint p{event->RetX(), event->RetY()};
    pageView->ViewToPage(p);
    const bool shift = event->RetKey().modifiers.TestBit(ZU_MOD_SHIFT);
    if (!shift && viewSettings.IsValid()) {
        // A guide snaps to the grid, never to the other guides.
        bool& guides = viewSettings->switches[CView::GUIDE_MAGNETISM];
        const bool kept = guides;
        guides = false;
        p = pageView->Magnetize(p);
        guides = kept;
    }
    return p;
}

int CRuler::HitGuide(const DPoint& p) const
{
    if (document.IsInvalid() || viewSettings.IsInvalid())
        return -1;
    const double tolerance = 4.0 / ClampedZoom(viewSettings);
    const bool list = vertical;
    const double half = list ? document->GetPageHeight() / 2.0 : document->GetPageWidth() / 2.0;
    const double at = list ? p.y : p.x;
    const int n = document->GetGuideCount(list);
    for (int i = 0; i < n; i++) {
        const double g = document->GetGuide(list, i) - half;
        if (g - tolerance <= at && at <= g + tolerance)
            return i;
    }
    return -1;
}

void CRuler::ButtonPress(const ZuEventRef& event)
{
    if (pageView.IsInvalid() || event.IsInvalid())
        return;
    const DPoint p = PointerPoint(event);
    draggedGuide = HitGuide(p);
    if (draggedGuide == -1 && document.IsValid()) {
        draggedGuide = vertical ? document->AddGuide(true, p.y + document->GetPageHeight() / 2.0)
                                : document->AddGuide(false, p.x + document->GetPageWidth() / 2.0);
        NotifyGuideChange();
    }
    if (document.IsValid())
        document->SetCurrentGuide(vertical, draggedGuide);
    if (window.IsValid())
        window->SetDraggingView(ZuViewRef(this));
}

void CRuler::DragNotify(const ZuEventRef& event)
{
    if (pageView.IsInvalid() || draggedGuide == -1 || event.IsInvalid() || document.IsInvalid())
        return;
    // A guide that a stored document or another edit took away is let go.
    if (draggedGuide >= document->GetGuideCount(vertical)) {
        draggedGuide = -1;
        return;
    }
    const DPoint p = PointerPoint(event);
    draggedGuide =
        vertical ? document->SetGuide(true, draggedGuide, p.y + document->GetPageHeight() / 2.0)
                 : document->SetGuide(false, draggedGuide, p.x + document->GetPageWidth() / 2.0);
    document->SetCurrentGuide(vertical, draggedGuide);
    NotifyGuideChange();
}

void CRuler::ButtonRelease(const ZuEventRef& event)
{
    if (window.IsValid())
        window->SetDraggingView(ZuViewRef());
    if (pageView.IsInvalid() || draggedGuide == -1 || event.IsInvalid())
        return;
    const bool beyond = horizontal ? event->RetY() < box.Y1() : event->RetX() < box.X1();
    if (beyond && document.IsValid()) {
        document->RemoveGuide(vertical, draggedGuide);
        document->SetCurrentGuide(vertical, -1);
        NotifyGuideChange();
        return;
    }
    DragNotify(event);
}

void CRuler::NotifyGuideChange()
{
    if (pageView.IsValid())
        pageView->Redraw(false);
    // The settings window's guides tab turns to the guide: its number, plus
    // 50 for the horizontal guides of the vertical ruler. A press that made
    // no guide (a full list) names none.
    const ZuAppRef& current = ZuApp::Current();
    if (draggedGuide < 0 || current.IsInvalid() || !current->IsKindOf(AppRef::RetRuntime()))
        return;
    const CSetupDlgRef dlg = AppRef(ZuObjectRef(current))->RetSetupDlg();
    if (dlg.IsValid())
        dlg->Update(4, vertical ? draggedGuide + 50 : draggedGuide);
}
