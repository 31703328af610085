// CRuler: a graduated ruler beside the page view, horizontal above it or
// vertical at its left (whichever is wider than high at the first drawing;
// a square one is vertical). It counts in a sub-unit of the document's
// main unit: scale pixels per sub-unit, the graduation zero at origin, the
// first pixel at start; a label shows the graduation value times the label
// factor. It shows the document's guides across it (vertical guides on the
// horizontal ruler, horizontal ones on the vertical ruler) and lets the
// user add one (press on a free place), move it (drag) and remove it
// (release beyond the ruler's outer edge). Not stored with documents: the
// main window makes it anew.
#ifndef LUMBRA_APP_RULER_H
#define LUMBRA_APP_RULER_H

#include "app/document.h"
#include "app/misc.h"
#include "app/pageview.h"
#include "app/view.h"
#include "si/grail.h"
#include "si/view.h"

ZU_HANDLE(CRuler, ZuView)

class CRuler : public ZuView {
    ZU_CLASS(CRuler, ZuView)
public:
    // At most this many guides in each of the document's lists.
    static constexpr int kMaxGuides = 50;

    CRuler() {}
    ~CRuler() override;
    void Delete() override;

    void SetDocument(const CDocumentRef& d) { document = d; }
    void SetView(const CViewRef& v) { viewSettings = v; }
    void SetPageView(const CPageViewRef& v);
    void SetOrigin(double o) { origin = o; }
    using ZuView::SetOrigin;
    void SetStart(double s) { start = s; }
    // 0 is taken as 1.
    void SetScale(double s) { scale = s == 0.0 ? 1.0 : s; }
    void SetLabelFactor(double f) { labelFactor = f == 0.0 ? 1.0 : f; }
    void SetLabelInterval(int n) { labelInterval = n == 0 ? 1 : n; }
    void SetMajorInterval(int n) { majorInterval = n == 0 ? 1 : n; }
    // The pointer's position along the ruler, recorded and not shown.
    void SetMark(double position);
    void ClearMark() { markShown = false; }

    double RetOrigin() const { return origin; }
    double RetStart() const { return start; }
    double RetScale() const { return scale; }
    double RetLabelFactor() const { return labelFactor; }
    int RetLabelInterval() const { return labelInterval; }
    int RetMajorInterval() const { return majorInterval; }
    bool IsMarkShown() const { return markShown; }
    double RetMark() const { return markPosition; }
    bool IsHorizontal() const { return horizontal; }
    bool IsVertical() const { return vertical; }
    int RetDraggedGuide() const { return draggedGuide; }
    const CDocumentRef& RetDocument() const { return document; }

    // Sub-units between two ticks for a scale in pixels per sub-unit.
    static int StepForScale(double scale);
    // A label's text: the value with "%.5f", or in the document's main unit
    // with its decimals, less the trailing zeros of its fractional part.
    static void FormatLabel(char* out, std::size_t room, double value, bool unit);

    void ButtonPress(const ZuEventRef& event) override;
    void ButtonRelease(const ZuEventRef& event) override;
    void DragNotify(const ZuEventRef& event) override;
    void DrawFront(const ZuGrailPortRef& port, const ZuRect& rect) override;

    // The guide within 4 pixels of the page point, first in its list; -1
    // when none, or without a document or view settings.
    int HitGuide(const DPoint& p) const;
    // The page view redisplayed with the rulers, the settings told.
    void NotifyGuideChange();

private:
    // The event's point on the page, on the grid unless Shift is held.
    DPoint PointerPoint(const ZuEventRef& event);
    void DrawLabel(const ZuGrailPortRef& port, double x, double y, double value, bool unit,
                   bool centred, bool boxed);
    void DrawRotatedLabel(const ZuGrailPortRef& port, double x, double y, double value, bool unit,
                          bool centred, bool boxed);
    void DrawGuides(const ZuGrailPortRef& port, double x0, double y0, double w, double h);

    ZuGrailFontRef font;
    double origin = 0.0;
    double start = 0.0;
    double scale = 1.0;
    double labelFactor = 1.0;
    int labelInterval = 5;
    int majorInterval = 10;
    CDocumentRef document;
    CViewRef viewSettings;
    CPageViewRef pageView;
    bool markShown = false;
    double markPosition = 0.0;
    bool horizontal = false;
    bool vertical = false;
    int draggedGuide = -1;
};
ZU_CLASS_END(CRuler)

#endif
