// CSampleView: the framed preview box of the panes and the samples dialog.
// Its owner draws a sample through the box's PostScript port; Ghostscript
// renders it into the context of the box's child GSView, which shows it
// inside the frame "lumbra_Box". Sample space has its origin at the box's
// centre, y upwards, one unit one pixel at zoom 1; a zoom other than 1 is
// written in red in the box's bottom-left corner.
//
// Before Build the box has no port: Render and SetZoom answer false (the
// zoom is still kept). Without a running interpreter only the frame shows.
#ifndef LUMBRA_APP_SAMPLEVIEW_H
#define LUMBRA_APP_SAMPLEVIEW_H

#include "app/graport.h"
#include "app/misc.h"
#include "ghost/gsview.h"
#include "si/view.h"

ZU_HANDLE(CSampleView, ZuView)

class CSampleView : public ZuView {
    ZU_CLASS(CSampleView, ZuView)
public:
    CSampleView() {}

    void Delete() override;

    // Places the box, makes the child view with its context (1 bit, or 24
    // bits with colour) and the port bound to it; true.
    bool Build(double x, double y, double dx, double dy, bool colour);
    // A white page and a fresh graphics state; false before Build.
    bool Render();
    bool SetZoom(double zoom);
    // The largest zoom, never above 1, at which r fits the box centred.
    bool FitZoom(const DRect& r);
    // Whether FitZoom(r) keeps the zoom at 1: r lies within the box centred.
    bool FitsAtFullSize(const DRect& r) const;
    double RetZoom() const { return zoom; }
    CGraPortRef RetPort() const { return port; }
    const GSViewRef& RetView() const { return view; }
    // A delayed redisplay of the image.
    using ZuView::Display;
    void Display();
    virtual bool SetVisible(bool shown);

    void DrawFront(const ZuGrailPortRef& port, const ZuRect& area) override;
    bool SetWindow(const ZuWindowRef& window) override;
    bool SetParent(const ZuViewRef& parent) override;
    bool SetEnable(bool enable) override;

private:
    DRect sample{0.0, 0.0, 0.0, 0.0};
    double zoom = 1.0;
    GSViewRef view;
    CGraPortRef port;
};
ZU_CLASS_END(CSampleView)

#endif
