// The page view's gestures: what a press, the drags and the release mean
// for each tool family (selection, drawing, text, magnifier, hand, right
// button), and their repeats on the auto-scroll tick (marching dashes, the
// caret's blinking). The edits themselves are the selection's.
#include "app/graobject.h"
#include "app/pageview.h"
#include "app/pendef.h"
#include "app/toolpalette.h"
#include "si/app.h"
#include "si/error.h"
#include "si/time.h"
#include "si/window.h"

#include <algorithm>
#include <cmath>

namespace {

CGraObjectRef GraObjectOf(const CTreeNodeRef& node)
{
    if (node.IsInvalid())
        return CGraObjectRef();
    const ZuObjectRef& o = node->RetObject();
    if (o.IsInvalid() || !o->IsKindOf(CGraObjectRef::RetRuntime()))
        return CGraObjectRef();
    return CGraObjectRef(o);
}

// The node whose text is in editing; empty when none.
CTreeNodeRef TextNodeInEdit(const CSelectObjectRef& selection)
{
    if (selection.IsInvalid() || !selection->IsEditingObject())
        return CTreeNodeRef();
    CTreeNodeRef node;
    selection->GetFirstSelectedNode(node);
    CGraObjectRef o = GraObjectOf(node);
    return o.IsValid() && o->HasText() && o->GetEditMode() == 2 ? node : CTreeNodeRef();
}

// A dash offset that marches: back to two dashes when spent.
double StepDash(double offset, double zoom)
{
    if (offset <= 0.0)
        offset = 12.0 / zoom;
    return offset - 1.5 / zoom;
}

// A line of text takes its points only as a pair: both ends go to the
// press point, so that a click leaves a line starting there.
void PlaceTextStart(const CSelectObjectRef& selection, const DPoint& p)
{
    CGraObjectRef o = selection->GetCreatedObject();
    if (o.IsValid() && o->HasText()) {
        const DPoint both[2] = {p, p};
        o->SetPoints(both, 2);
    }
}

// The object that a release leaves picked (the one selected object, or
// the text in editing) gives the attributes palette all its definitions:
// what the palette shows is what its edits will change.
void ShowPickedDefinitions(const CSelectObjectRef& selection)
{
    if (selection->GetSelectedCount() != 1 && !selection->IsEditingObject())
        return;
    CTreeNodeRef node;
    selection->GetFirstSelectedNode(node);
    const CGraObjectRef o = GraObjectOf(node);
    if (o.IsValid())
        selection->SetCurrentAll(o);
}

} // namespace

// ---------------------------------------------------------------------------
// Selection
// ---------------------------------------------------------------------------

void CPageView::DrawBand()
{
    if (document.IsInvalid())
        return;
    const double z = RetZoom();
    CPenDefRef pen = document->GetPen(2);
    if (pen.IsValid()) {
        pen->SetDash(0, 6.0 / z);
        pen->SetGap(0, 6.0 / z);
        pen->SetDashOffset(input.bandDashOffset);
        pen->SetWidth(0.0);
        overlayPort->SetPen(pen);
    }
    overlayPort->DrawRect(input.bandCorners[0], input.bandCorners[1], 0.0, false, true);
}

void CPageView::SelectPress(const DPoint& p, int mask)
{
    const double z = RetZoom();
    if (selection->HasSelection() && FindHandleAt(p)) {
        input.pressHandle = input.handleIndex;
        if (selection->IsSingleWithoutBox()) {
            input.handleDrag = true;
            selection->BeginHandleEdit(input.handleIndex, input.magnet);
        } else {
            input.boxTransform = true;
            selection->SelectPress(MagnetizePoint(p, input.pressPage), mask, input.pressHandle);
        }
        return;
    }
    if (!(mask & 3) && selection->HasSelection() && selection->HitBox(p)) {
        input.moving = true;
        input.pressHandle = -1;
        selection->SelectPress(p, mask, -1);
        return;
    }
    CTreeNodeRef node = (mask & 2) ? CTreeNodeRef() : FindObjectAt(p, z);
    CGraObjectRef o = GraObjectOf(node);
    if (o.IsValid()) {
        if (o->GetEditMode() == 0) {
            if (!(mask & 1))
                selection->EndSelection();
            selection->AddToSelection(node);
        } else if (mask & 1) {
            selection->RemoveFromSelection(node);
        }
        input.moving = true;
        input.pressHandle = -1;
        selection->SelectPress(p, mask, -1);
        RefreshInteraction();
        return;
    }
    input.rubberBand = true;
    if (!(mask & 1))
        selection->EndSelection();
    input.bandCorners[0] = input.bandCorners[1] = p;
    input.bandDashOffset = 0.0;
    ClearFeedback();
    DrawBand();
    StartAutoScroll();
}

void CPageView::SelectDrag(const DPoint& p, int mask)
{
    if (input.handleDrag) {
        input.reticleShown = true;
        input.reticle = input.magnet;
        selection->HandleEditDrag(input.magnet, mask);
        CTreeNodeRef node;
        selection->GetFirstSelectedNode(node);
        CGraObjectRef o = GraObjectOf(node);
        if (o.IsValid()) {
            ClearFeedback();
            o->Draw(overlayPort, 8);
        }
    } else if (input.boxTransform || input.moving) {
        const DPoint q = input.boxTransform ? MagnetizePoint(p, input.pressPage) : p;
        selection->SelectDrag(q, mask, input.boxTransform ? input.pressHandle : -1);
        ClearFeedback();
        DrawSelectionOutlines();
    } else if (input.rubberBand) {
        input.bandCorners[1] = p;
        ClearFeedback();
        DrawBand();
    }
    RefreshInteraction();
}

void CPageView::SelectRelease(const DPoint& p, int mask)
{
    Zuvi_Trace("\nCPageView::SelectRelease :\n");
    StopAutoScroll();
    ClearFeedback();
    const int64_t t0 = ZuTime::NowLocalAbsTime();
    int64_t t1 = t0;
    if (input.handleDrag) {
        input.handleDrag = false;
        selection->HandleEditRelease(input.magnet, mask);
    } else if (input.boxTransform) {
        input.boxTransform = false;
        selection->SelectRelease(MagnetizePoint(p, input.pressPage), mask, input.pressHandle);
    } else if (input.moving) {
        input.moving = false;
        // A click within the threshold takes the move back: the object
        // stays where it was.
        selection->SelectRelease(IsClick(p, input.pressPage) ? input.pressPage : p, mask, -1);
        if (selection->GetSelectedCount() == 1) {
            CTreeNodeRef node;
            selection->GetFirstSelectedNode(node);
            CGraObjectRef o = GraObjectOf(node);
            if (o.IsValid())
                o->UpdateBoundingBox(mainPort);
        }
        t1 = ZuTime::NowLocalAbsTime();
    } else if (input.rubberBand) {
        input.rubberBand = false;
        selection->StartBox(input.bandCorners[0]);
        selection->EndBox(p);
        selection->RubberBandSelect((selection->GetSelectOption() & 1) != 0);
    }
    ShowPickedDefinitions(selection);
    renderNeeded = true;
    RefreshDisplay(false);
    const int64_t t2 = ZuTime::NowLocalAbsTime();
    RefreshTool();
    const int64_t t3 = ZuTime::NowLocalAbsTime();
    UpdateStatus();
    const int64_t t4 = ZuTime::NowLocalAbsTime();
    (void)t2;
    Zuvi_Trace("CPageView::SelectRelease t=%d %d %d\n", int(t1 - t0), int(t3 - t2), int(t4 - t3));
}

void CPageView::SelectRepeat()
{
    const double z = RetZoom();
    if (input.rubberBand) {
        ClearFeedback();
        input.bandDashOffset = StepDash(input.bandDashOffset, z);
        DrawBand();
        RefreshInteraction();
        return;
    }
    if (input.hoverNode.IsValid() && GraObjectOf(input.hoverNode).IsValid()) {
        ClearFeedback();
        input.hoverDashOffset = StepDash(input.hoverDashOffset, z);
        DrawHoverFrame(input.hoverNode, input.hoverDashOffset, 0);
        RefreshInteraction();
    }
}

// ---------------------------------------------------------------------------
// Drawing
// ---------------------------------------------------------------------------

bool CPageView::IsDrawingOnSelection()
{
    return RetPaletteTool(1) == 0 && selection.IsValid() && selection->HasSelection();
}

void CPageView::DrawPress(const DPoint& p, int mask)
{
    StartAutoScroll();
    if (selection->HasSelection()) {
        bool onSelection = FindHandleAt(p);
        if (!onSelection) {
            CGraObjectRef o = GraObjectOf(FindObjectAt(p, RetZoom()));
            onSelection = o.IsValid() && o->GetEditMode() != 0;
        }
        if (onSelection) {
            SelectPress(p, mask);
            return;
        }
        selection->EndSelection();
        UpdateStatus();
        renderNeeded = true;
    }
    selection->CreatePress(p, mask, RetPaletteTool(2));
    PlaceTextStart(selection, p);
    RefreshInteraction();
    if (renderNeeded) {
        Redraw(true);
        const ZuAppRef& app = ZuApp::Current();
        if (app.IsValid())
            app->SetIdleSyncMode(true);
    }
}

void CPageView::DrawDrag(const DPoint& p, int mask)
{
    if (input.handleDrag || input.moving || input.boxTransform || input.rubberBand) {
        SelectDrag(p, mask);
        return;
    }
    input.reticleShown = true;
    input.reticle = p;
    selection->CreateDrag(p, mask);
    ClearFeedback();
    CGraObjectRef created = selection->GetCreatedObject();
    if (created.IsValid())
        created->Draw(overlayPort, 16);
    RefreshInteraction();
}

void CPageView::DrawRelease(const DPoint& p, int mask)
{
    StopAutoScroll();
    const bool click = IsClick(p, input.magnetPress);
    if (input.handleDrag || input.moving || input.boxTransform || input.rubberBand) {
        SelectRelease(p, mask);
        RefreshTool();
        return;
    }
    CGraObjectRef created = selection->GetCreatedObject();
    if (created.IsValid() && created->HasText()) {
        if (click)
            selection->CreateDrag(input.magnetPress, mask);
        selection->CreateFinish(true);
        ClearFeedback();
        UpdateTool(1);
        ClickTool(7, ZuEventRef());
    } else if (created.IsValid()) {
        selection->CreateAddPoint(p, mask, click);
        if (selection->GetCreatedObject().IsValid() && !selection->IsCreating() && !click)
            selection->CreateFinish(false);
    }
    if (selection->GetCreatedObject().IsValid()) {
        RefreshInteraction();
    } else {
        ShowPickedDefinitions(selection);
        ClearFeedback();
        Redraw(true);
    }
    RefreshTool();
}

// ---------------------------------------------------------------------------
// Text
// ---------------------------------------------------------------------------

void CPageView::EditPress(const DPoint& p, int mask)
{
    CTreeNodeRef hit = FindTextAt(p, RetZoom());
    CTreeNodeRef inEdit = TextNodeInEdit(selection);
    if (hit != inEdit || inEdit.IsInvalid()) {
        selection->EndSelection();
        if (hit.IsValid()) {
            selection->SelectForOwnEditing(hit);
            GraObjectOf(hit)->SetEditing(1);
            RefreshTool();
        }
    }
    inEdit = TextNodeInEdit(selection);
    if (inEdit.IsInvalid()) {
        input.creatingText = true;
        selection->CreatePress(input.magnet, mask, 16);
        PlaceTextStart(selection, input.magnet);
    } else {
        input.creatingText = false;
        GraObjectOf(inEdit)->TextSetCursor(mainPort, p);
        UpdateCaret(false);
    }
    UpdateStatus();
    renderNeeded = true;
    RefreshDisplay(true);
}

void CPageView::EditDrag(const DPoint& p, int mask)
{
    if (input.creatingText) {
        selection->CreateDrag(p, mask);
        ClearFeedback();
        CGraObjectRef created = selection->GetCreatedObject();
        if (created.IsValid())
            created->Draw(overlayPort, 16);
        RefreshDisplay(true);
        return;
    }
    CTreeNodeRef inEdit = TextNodeInEdit(selection);
    if (inEdit.IsValid() && GraObjectOf(inEdit)->TextExtendSelection(mainPort, p))
        Redraw(true);
}

void CPageView::EditRelease(const DPoint& p, int mask)
{
    if (input.creatingText) {
        input.creatingText = false;
        if (IsClick(p, input.magnetPress))
            selection->CreateDrag(input.magnetPress, mask);
        selection->CreateFinish(true);
        ClearFeedback();
        UpdateTool(1);
        ClickTool(7, ZuEventRef());
        ShowPickedDefinitions(selection);
        return;
    }
    CTreeNodeRef inEdit = TextNodeInEdit(selection);
    if (inEdit.IsValid())
        GraObjectOf(inEdit)->TextEndSelection(mainPort, p);
    ShowPickedDefinitions(selection);
    ClearFeedback();
    UpdateCaret(false);
    renderNeeded = true;
    RefreshDisplay(true);
}

void CPageView::UpdateCaret(bool force)
{
    (void)force;
    input.caretShown = false;
    overlay.editCursor = false;
    CTreeNodeRef inEdit = TextNodeInEdit(selection);
    DPoint a, b;
    if (inEdit.IsInvalid() || !GraObjectOf(inEdit)->GetCaret(mainPort, a, b, false))
        return;
    input.caretShown = true;
    if (a.x != input.caret[0].x || a.y != input.caret[0].y || b.x != input.caret[1].x ||
        b.y != input.caret[1].y)
        input.blink = 0;
    input.caret[0] = a;
    input.caret[1] = b;
    overlay.editCursor = true;
    overlay.cursorEnds[0] = a;
    overlay.cursorEnds[1] = b;
    overlay.editStep = input.blink;
    // Keep the caret in view, 50 pixels from the sides.
    DPoint va = a, vb = b;
    PageToView(va);
    PageToView(vb);
    const bool scrolled = AutoScroll(va, 50.0) | AutoScroll(vb, 50.0);
    if (scrolled) {
        renderNeeded = true;
        RefreshDisplay(true);
    }
}

void CPageView::EditRepeat()
{
    if (input.caretShown && TextNodeInEdit(selection).IsValid()) {
        input.blink = input.blink >= 11 ? 0 : input.blink + 1;
        overlay.editStep = input.blink;
        if (input.blink == 0 || input.blink == 8)
            RefreshDisplay(true);
    }
    if (input.hoverNode.IsValid() && GraObjectOf(input.hoverNode).IsValid()) {
        ClearFeedback();
        input.hoverDashOffset = StepDash(input.hoverDashOffset, RetZoom());
        DrawHoverFrame(input.hoverNode, input.hoverDashOffset, 64);
        RefreshDisplay(true);
    }
}

// ---------------------------------------------------------------------------
// Magnifier and hand
// ---------------------------------------------------------------------------

void CPageView::GlassPress(const DPoint& p, int mask)
{
    (void)mask;
    input.glassFrame = true;
    input.glassCorners[0] = input.glassCorners[1] = p;
    overlay.zoomRect = true;
    overlay.zoomCorners[0] = overlay.zoomCorners[1] = p;
    StartAutoScroll();
}

void CPageView::GlassDrag(const DPoint& p, int mask)
{
    (void)mask;
    input.glassCorners[1] = p;
    overlay.zoomCorners[1] = p;
    RefreshDisplay(true);
}

void CPageView::GlassRelease(const DPoint& p, int mask)
{
    StopAutoScroll();
    input.glassFrame = false;
    overlay.zoomRect = false;
    double factor = 2.0;
    DPoint centre = p;
    if (!IsClick(p, input.glassCorners[0]))
        FitFactor(input.glassCorners[0], p, factor, centre);
    if (mask & 2)
        factor = 1.0 / factor;
    if (RetPaletteTool(2) == 4 && !glassMode)
        factor = 1.0 / factor;
    SetZoomFactor(RetZoom() * factor, false);
    CentreOn(centre);
    renderNeeded = true;
    RefreshDisplay(true);
    UpdateScrollers();
    UpdateRulers();
    // The zoom field follows the zoom, as after the zoom commands.
    UpdateZoomText();
}

void CPageView::HandDrag(const DPoint& p, int mask)
{
    (void)p;
    (void)mask;
    if (viewSettings.IsInvalid() || document.IsInvalid())
        return;
    Geometry g;
    GetGeometry(g);
    // The page follows the pointer: the offset since the press, taken in
    // window pixels (the page points under the pointer move with the view),
    // is laid off from the fractions of the press over the span that the
    // fractions scroll across. Where the whole page fits in the view on an
    // axis there is nothing to bring into view, and that axis stays.
    const double dx = (pointerPos.x - input.pressView.x) / g.zoom;
    const double dy = (pointerPos.y - input.pressView.y) / g.zoom;
    if (g.pageW > g.w / g.zoom && g.spanX > 0.0 && std::isfinite(dx))
        viewSettings->x = Clamp01(input.pressScroll.x - dx / g.spanX);
    if (g.pageH > g.h / g.zoom && g.spanY > 0.0 && std::isfinite(dy))
        viewSettings->y = Clamp01(input.pressScroll.y - dy / g.spanY);
    renderNeeded = true;
    RefreshDisplay(true);
    UpdateScrollers();
    UpdateRulers();
}

// ---------------------------------------------------------------------------
// Right button
// ---------------------------------------------------------------------------

void CPageView::ContextPress(const DPoint& p, int mask)
{
    if (selection->IsSingleWithoutBox()) {
        selection->GetFirstSelectedNode(input.contextNode);
    } else {
        input.contextNode = CTreeNodeRef();
        if (selection->HasSelection()) {
            selection->EndSelection();
            UpdateStatus();
            renderNeeded = true;
        }
    }
    if (input.reticleShown) {
        input.reticleShown = false;
        RefreshDisplay(true);
    }
    ContextDrag(p, mask, true);
}

void CPageView::ContextDrag(const DPoint& p, int mask, bool first)
{
    (void)mask;
    const double z = RetZoom();
    CGraObjectRef current = GraObjectOf(input.contextNode);
    if (current.IsValid()) {
        DPoint h;
        const int vertex = FindHandleOf(input.contextNode, p, h);
        if (vertex != -1) {
            input.contextVertex = vertex;
            input.contextSegment = -1;
            input.contextPoint = h;
            input.contextShape = 8;
            return;
        }
    }
    CTreeNodeRef node = FindObjectAt(p, z);
    if (node != input.contextNode || first) {
        ClearFeedback();
        if (node.IsInvalid()) {
            selection->EndSelection();
            StopAutoScroll();
        } else {
            selection->EndSelection();
            selection->SelectForOwnEditing(node);
            DrawHoverFrame(node, 0.0, 0);
            StartAutoScroll();
        }
        input.contextNode = node;
        RefreshDisplay(true);
    }
    if (input.contextNode.IsInvalid())
        return;
    input.contextVertex = -1;
    input.contextSegment = -1;
    input.contextPoint = p;
    input.contextShape = 7;
    DPoint h;
    const int vertex = FindHandleOf(input.contextNode, p, h);
    if (vertex != -1) {
        input.contextVertex = vertex;
        input.contextPoint = h;
        input.contextShape = 8;
        return;
    }
    int segment = -1;
    if (FindSegmentAt(p, z, segment) == input.contextNode && segment != -1)
        input.contextSegment = segment;
}

void CPageView::ContextRelease(const DPoint& p, int mask)
{
    (void)mask;
    ClearFeedback();
    UpdateStatus();
    RefreshTool();
    ShowContextPalette(p);
    renderNeeded = true;
    RefreshDisplay(true);
}

void CPageView::ContextRepeat()
{
    CGraObjectRef o = GraObjectOf(input.contextNode);
    if (o.IsInvalid())
        return;
    ClearFeedback();
    input.hoverDashOffset = StepDash(input.hoverDashOffset, RetZoom());
    DrawHoverFrame(input.contextNode, input.hoverDashOffset, 0);
    RefreshDisplay(true);
}

void CPageView::ShowContextPalette(const DPoint& p)
{
    CGraObjectRef o = GraObjectOf(input.contextNode);
    // Room for whatever the object writes; the palette keeps what fits.
    int entries[4 * CToolPalette::kMaxValues];
    std::fill(entries, entries + 4 * CToolPalette::kMaxValues, -1);
    if (o.IsValid())
        o->GetPropertyLayout(input.contextVertex, input.contextSegment, int(input.contextPoint.x),
                             int(input.contextPoint.y), entries);
    entries[4 * CToolPalette::kMaxValues - 1] = -1;
    if (entries[0] == -1) {
        input.handleFeedback = false;
        return;
    }
    ZuObjectRef popup = RetToolPalette(1);
    if (popup.IsInvalid() || !popup->IsKindOf(CToolPaletteRef::RetRuntime()))
        return;
    CToolPaletteRef palette(popup);
    int32_t table[4 * CToolPalette::kMaxValues];
    for (int i = 0; i < 4 * CToolPalette::kMaxValues; ++i)
        table[i] = entries[i];
    palette->SetTools(table, 4 * CToolPalette::kMaxValues);
    DPoint at = p;
    PageToView(at);
    double wx = 0.0, wy = 0.0;
    if (window.IsValid())
        window->GetWindowOrigin(wx, wy);
    palette->SetPlace(DPoint{at.x + wx + 10.0, at.y + wy - 10.0}, DPoint{0.0, 0.0});
    palette->Show(false);
    palette->SetPageView(CPageViewRef(this));
    input.contextPaletteShown = true;
}
