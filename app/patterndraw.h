// CPatternDraw: the interactive sample box of the panes that edit a drawing
// on their sample. Like the preview box it shows what the interpreter
// renders through the box's PostScript port into a child GSView, but it
// belongs to one pane: every pointer and key event that reaches it is handed
// to the pane's sample operations with the box's sample value (so that one
// pane can tell several boxes apart), and the pane paints before and after
// the box's own drawing, then the frame "lumbra_Box" is drawn (no zoom
// label). A press makes the box the window's dragging view, so that the
// drags and the release of the gesture reach it wherever the mouse goes.
//
// Sample space has its origin at the box's centre, y upwards, one unit
// `zoom` view units. The image fills the box inset by the margins (4 units
// each side). Before Build, Render and SetZoom answer false.
#ifndef LUMBRA_APP_PATTERNDRAW_H
#define LUMBRA_APP_PATTERNDRAW_H

#include "app/defpane.h"
#include "app/graport.h"
#include "app/misc.h"
#include "ghost/gsview.h"
#include "si/view.h"

ZU_HANDLE(CPatternDraw, ZuView)

class CPatternDraw : public ZuView {
    ZU_CLASS(CPatternDraw, ZuView)
public:
    CPatternDraw() {}

    void Delete() override;

    // Places the box at (x, y) with the size (dx, dy), makes the child view
    // over the image area with its context (24 bits with colour, else 1
    // bit) and the port bound to it, and keeps the sample value; true.
    bool Build(double x, double y, double dx, double dy, bool colour, int sample_value);
    // The pane that receives the events and paints over the image.
    void SetPane(const CDefPaneRef& pane);
    const CDefPaneRef& RetPane() const { return pane; }
    int RetSampleValue() const { return sample_value; }

    // A white page and a fresh graphics state; false before Build.
    bool Render();
    // Sample space centred on the image area at the zoom; false before
    // Build (the zoom is kept).
    bool SetZoom(double zoom);
    double RetZoom() const { return zoom; }
    CGraPortRef RetPort() const { return port; }
    const GSViewRef& RetView() const { return view; }
    const DRect& RetImageArea() const { return image; }
    // A delayed redisplay of the box: the last rendered image with what
    // the pane paints over it.
    using ZuView::Display;
    void Display();
    virtual bool SetVisible(bool shown);

    // Between sample space and view coordinates (those of the box's
    // parent, y downwards).
    DPoint SampleToView(double x, double y) const;
    DPoint ViewToSample(double px, double py) const;
    double LengthToSample(double length) const;

    // Shows the cursor "lumbra_SpriteNN"; the same number as the last one
    // does nothing.
    void SetCursorSprite(int n);
    // Forgets the sprite shown, so that the next SetCursorSprite acts.
    void ClearCursorSprite() { sprite = -1; }
    int RetCursorSprite() const { return sprite; }

    void KeyDown(const ZuEventRef& event) override;
    void ButtonPress(const ZuEventRef& event) override;
    void ButtonRelease(const ZuEventRef& event) override;
    void MotionNotify(const ZuEventRef& event) override;
    void DragNotify(const ZuEventRef& event) override;
    void EnterNotify(const ZuEventRef& event) override;
    void LeaveNotify(const ZuEventRef& event) override;
    void DrawFront(const ZuGrailPortRef& port, const ZuRect& area) override;
    bool SetWindow(const ZuWindowRef& window) override;
    bool SetParent(const ZuViewRef& parent) override;
    bool SetEnable(bool enable) override;

private:
    CDefPaneRef pane;
    int sample_value = 0;
    int sprite = -1;
    DRect image{0.0, 0.0, 0.0, 0.0};
    double margin_x = 4.0;
    double margin_y = 4.0;
    double zoom = 1.0;
    GSViewRef view;
    CGraPortRef port;
};
ZU_CLASS_END(CPatternDraw)

#endif
