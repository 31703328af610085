// The page view's two rulers (the main window's): their document, their
// scales from the zoom, scrolling and unit, and the pointer marks.
#include "app/pageview.h"
#include "app/ruler.h"

#include <cmath>

namespace {

CRulerRef RulerOf(const ZuViewRef& view)
{
    if (view.IsInvalid() || !view->IsKindOf(CRulerRef::RetRuntime()))
        return CRulerRef();
    return CRulerRef(view);
}

} // namespace

void CPageView::UpdateRulerScales()
{
    // The view has nothing to measure before its image exists.
    if (context.IsInvalid() || mainWindow.IsInvalid())
        return;
    // Units of 10 mm and more count in their largest power-of-ten part:
    // a ruler in centimetres is graduated in millimetres.
    double u = UnitToMm(1.0, document.IsValid() ? document->GetUnit(0) : 0);
    if (!(u > 0.0) || !std::isfinite(u))
        u = 1.0;
    double g = 1.0;
    for (double k = 1000000.0; k >= 10.0; k /= 10.0) {
        if (k <= u) {
            g = 1.0 / k;
            u /= k;
            break;
        }
    }
    Geometry geo;
    GetGeometry(geo);
    const double userX = viewSettings.IsValid() ? viewSettings->origin_x : 0.0;
    const double userY = viewSettings.IsValid() ? viewSettings->origin_y : 0.0;
    const CRulerRef rulers[2] = {RulerOf(mainWindow->RetRulerH()),
                                 RulerOf(mainWindow->RetRulerV())};
    for (int i = 0; i < 2; i++) {
        const CRulerRef& r = rulers[i];
        if (r.IsInvalid())
            continue;
        r->SetLabelInterval(5);
        r->SetMajorInterval(10);
        r->SetLabelFactor(g);
        r->SetScale(geo.zoom * u);
        if (i == 0) {
            r->SetStart(geo.spanX * geo.x / u);
            r->SetOrigin(((geo.areaW - geo.pageW) / 2.0 + userX) / u);
        } else {
            r->SetStart(geo.spanY * geo.y / u);
            r->SetOrigin(((geo.areaH + geo.pageH) / 2.0 - userY) / u);
        }
        r->Display(true);
    }
}

void CPageView::UpdateRulers()
{
    if (mainWindow.IsInvalid())
        return;
    for (const ZuViewRef& v : {mainWindow->RetRulerH(), mainWindow->RetRulerV()}) {
        const CRulerRef r = RulerOf(v);
        if (r.IsInvalid())
            continue;
        r->SetDocument(document);
        r->SetView(viewSettings);
        r->SetPageView(CPageViewRef(this));
    }
    UpdateRulerScales();
}

void CPageView::ShowRulerMarks(const DPoint& p)
{
    if (mainWindow.IsInvalid())
        return;
    if (const CRulerRef h = RulerOf(mainWindow->RetRulerH()); h.IsValid())
        h->SetMark(p.x);
    if (const CRulerRef v = RulerOf(mainWindow->RetRulerV()); v.IsValid())
        v->SetMark(p.y);
}

void CPageView::ClearRulerMarks()
{
    if (mainWindow.IsInvalid())
        return;
    if (const CRulerRef h = RulerOf(mainWindow->RetRulerH()); h.IsValid())
        h->ClearMark();
    if (const CRulerRef v = RulerOf(mainWindow->RetRulerV()); v.IsValid())
        v->ClearMark();
}
