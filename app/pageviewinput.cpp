// The page view's input: keys, presses, drags and releases routed to the
// gesture family of the current tool, the pointer shape and the hover
// feedback that follow the pointer, and the reticle.
//
// The family is chosen anew at the press, at every drag and at the
// release, by the first rule that holds: the right button held, hand mode,
// magnifier mode, then the current tool. Since those change only between
// gestures, one gesture stays in one family. No key cancels a gesture.
#include "app/graobject.h"
#include "app/pageview.h"
#include "app/pendef.h"
#include "app/toolpalette.h"
#include "si/app.h"
#include "si/atom.h"
#include "si/event.h"
#include "si/grail.h"
#include "si/window.h"

#include <algorithm>
#include <cmath>

namespace {

enum Family { NONE, SELECTION, TEXT, GLASS, HAND, DRAWING, CONTEXT };

// The interface element of the reticle's colour ("Réticule").
const int kReticleColour = 6;

CGraObjectRef GraObjectOf(const CTreeNodeRef& node)
{
    if (node.IsInvalid())
        return CGraObjectRef();
    const ZuObjectRef& o = node->RetObject();
    if (o.IsInvalid() || !o->IsKindOf(CGraObjectRef::RetRuntime()))
        return CGraObjectRef();
    return CGraObjectRef(o);
}

bool IsDrawingTool(int tool)
{
    return tool >= 10 && tool <= 19;
}

// Drawing tools with an object class (17 and 19 have none).
bool HasObjectClass(int tool)
{
    return IsDrawingTool(tool) && tool != 17 && tool != 19;
}

} // namespace

static Family Route(CPageView* v, bool rightHeld, int tool)
{
    if (rightHeld)
        return CONTEXT;
    if (v->IsHandMode())
        return HAND;
    if (v->IsGlassMode())
        return GLASS;
    if (tool == 6)
        return SELECTION;
    if (tool == 7)
        return TEXT;
    if (tool == 3 || tool == 4)
        return GLASS;
    if (tool == 5)
        return HAND;
    if (IsDrawingTool(tool))
        return DRAWING;
    return NONE;
}

bool CPageView::IsClick(const DPoint& a, const DPoint& b)
{
    const double d = std::max(std::fabs(a.x - b.x), std::fabs(a.y - b.y));
    return d < 4.0 / RetZoom();
}

void CPageView::ClearFeedback()
{
    if (overlayPort.IsInvalid())
        return;
    overlayPort->ErasePage();
    SetPortTransform(overlayPort);
}

void CPageView::DrawReticle(const ZuGrailPortRef& port)
{
    // "Reticule visible" of the settings hides it whatever the tools want.
    if (!input.reticleShown || viewSettings.IsInvalid() || port.IsInvalid() ||
        !viewSettings->switches[CView::RETICULE_VISIBLE])
        return;
    DRect visible;
    RetVisibleRect(visible);
    DPoint a{visible.x1, input.reticle.y}, b{visible.x2, input.reticle.y};
    DPoint c{input.reticle.x, visible.y1}, d{input.reticle.x, visible.y2};
    PageToView(a);
    PageToView(b);
    PageToView(c);
    PageToView(d);
    // In the colour the user gives "Réticule" in the settings' colours.
    ZuColorPixel colour;
    MakeDrawColor(NamedColor(kReticleColour), colour, false);
    port->SetForeColor(colour);
    port->DrawAALineTo(a.x, a.y, b.x, b.y);
    port->DrawAALineTo(c.x, c.y, d.x, d.y);
}

// ---------------------------------------------------------------------------
// Keys
// ---------------------------------------------------------------------------

void CPageView::KeyDown(const ZuEventRef& event)
{
    MotionNotify(event);
    if (event.IsInvalid())
        return;
    const ZuKey& key = event->RetKey();
    if (key.type == ZU_KEY_ALPHANUM && key.value != 0) {
        static const struct {
            int value;
            const char* name;
        } kControl[] = {
            {26, "Undo"},         {1, "Redo"},          {4, "Debug"},
            {7, "SwapGrid"},      {2, "SwapBBox"},      {15, "SwapOutline"},
            {24, "ClipboardCut"}, {3, "ClipboardCopy"}, {22, "ClipboardPaste"},
        };
        for (const auto& row : kControl)
            if ((key.value & 0xFF) == row.value) {
                RunCommand(row.name);
                return;
            }
    }
    // Past the control keys above, a line of text in editing takes the key;
    // without one, Delete and Backspace delete the selection and Insert
    // duplicates it.
    if (selection.IsValid() && selection->IsEditingObject()) {
        CTreeNodeRef node;
        selection->GetFirstSelectedNode(node);
        CGraObjectRef o = GraObjectOf(node);
        if (o.IsValid() && o->HasText()) {
            if (o->TextHandleEvent(mainPort, event)) {
                o->UpdateBoundingBox(mainPort);
                UpdateCaret(false);
                Redraw(true);
            }
            return;
        }
    }
    if (key.type == ZU_KEY_DELETE || key.type == ZU_KEY_BACKSPACE)
        RunCommand("DeleteSelected");
    // Looked up at each key: a name kept from an earlier start of the
    // library would be empty, and equal to the empty name of a letter.
    const ZuAtomRef insert("INSERT");
    if (event->RetName().IsValid() && event->RetName() == insert)
        RunCommand("DuplicateSelected");
}

void CPageView::KeyUp(const ZuEventRef& event)
{
    MotionNotify(event);
}

void CPageView::KeyChange(const ZuEventRef& event)
{
    MotionNotify(event);
}

// ---------------------------------------------------------------------------
// Presses, drags and releases
// ---------------------------------------------------------------------------

void CPageView::ButtonPress(const ZuEventRef& event)
{
    if (event.IsInvalid() || selection.IsInvalid() || document.IsInvalid())
        return;
    buttonDown = true;
    ZuObjectRef popup = RetToolPalette(1);
    if (popup.IsValid() && popup->IsKindOf(CToolPaletteRef::RetRuntime()))
        CToolPaletteRef(popup)->Show(true);
    input.handleFeedback = false;
    if (document.IsValid())
        document->SetCurrentGuide(false, -1);
    SetupRendering();
    if (window.IsValid())
        window->SetMainResponder(ZuResponderRef(this), true);
    const int mask = RetModifiers(event);
    pointerPos = DPoint{event->RetX(), event->RetY()};
    DPoint page = pointerPos;
    ViewToPage(page);
    input.pressPage = page;
    input.pressView = pointerPos;
    input.pressScroll = DPoint{RetScrollX(), RetScrollY()};
    input.magnet = Magnetize(page);
    input.magnetPress = input.magnet;
    EndPointerFeedback();
    rightButtonHeld = event->RetChange() == ZU_EV_BUTTON_RIGHT;
    if (rightButtonHeld)
        SetPointerShape(11);
    const int tool = RetPaletteTool(2);
    if (window.IsValid())
        window->SetDraggingView(ZuViewRef(this));
    const Family family = Route(this, rightButtonHeld, tool);
    switch (family) {
    case SELECTION:
        SelectPress(page, mask);
        break;
    case TEXT:
        EditPress(page, mask);
        break;
    case GLASS:
        GlassPress(page, mask);
        break;
    case DRAWING:
        DrawPress(input.magnet, mask);
        break;
    case CONTEXT:
        ContextPress(page, mask);
        break;
    default:
        break;
    }
    if (family == SELECTION) {
        const ZuAppRef& app = ZuApp::Current();
        if (app.IsValid())
            app->SetIdleSyncMode(true);
    }
    if (family != DRAWING)
        RefreshDisplay(true);
}

void CPageView::DragNotify(const ZuEventRef& event)
{
    if (event.IsInvalid() || selection.IsInvalid() || document.IsInvalid())
        return;
    const int mask = RetModifiers(event);
    input.reticleShown = false;
    pointerPos = DPoint{event->RetX(), event->RetY()};
    DPoint page = pointerPos;
    ViewToPage(page);
    input.magnet = Magnetize(page);
    ShowRulerMarks(page);
    const Family family = Route(this, rightButtonHeld, RetPaletteTool(2));
    if (family == SELECTION || family == GLASS || family == DRAWING)
        ScrollToShow(pointerPos, 0.0);
    switch (family) {
    case SELECTION:
        SelectDrag(page, mask);
        break;
    case TEXT:
        EditDrag(page, mask);
        break;
    case GLASS:
        GlassDrag(page, mask);
        break;
    case HAND:
        HandDrag(page, mask);
        break;
    case DRAWING:
        DrawDrag(input.magnet, mask);
        break;
    case CONTEXT:
        ContextDrag(page, mask, false);
        break;
    default:
        break;
    }
    ShowCoordinates(input.magnet, true);
}

void CPageView::ButtonRelease(const ZuEventRef& event)
{
    if (event.IsInvalid() || selection.IsInvalid() || document.IsInvalid())
        return;
    buttonDown = false;
    const int mask = RetModifiers(event);
    pointerPos = DPoint{event->RetX(), event->RetY()};
    DPoint page = pointerPos;
    ViewToPage(page);
    input.magnet = Magnetize(page);
    const Family family = Route(this, rightButtonHeld, RetPaletteTool(2));
    switch (family) {
    case SELECTION:
        SelectRelease(page, mask);
        break;
    case TEXT:
        EditRelease(page, mask);
        break;
    case GLASS:
        GlassRelease(page, mask);
        break;
    case DRAWING:
        DrawRelease(input.magnet, mask);
        break;
    case CONTEXT:
        ContextRelease(page, mask);
        break;
    default:
        break;
    }
    if (window.IsValid())
        window->SetDraggingView(ZuViewRef());
    rightButtonHeld = false;
    if (family == DRAWING)
        MotionNotify(event);
}

// ---------------------------------------------------------------------------
// Pointer shapes and hover feedback
// ---------------------------------------------------------------------------

void CPageView::EndPointerFeedback()
{
    input.hoverNode = CTreeNodeRef();
    input.overHandle = false;
    bool textInEdit = false;
    if (selection.IsValid() && selection->IsEditingObject()) {
        CTreeNodeRef node;
        selection->GetFirstSelectedNode(node);
        CGraObjectRef o = GraObjectOf(node);
        textInEdit = o.IsValid() && o->HasText();
    }
    if (!(input.caretShown && textInEdit))
        StopAutoScroll();
}

void CPageView::DrawSelectionOutlines()
{
    if (selection.IsInvalid())
        return;
    CTreeNodeRef parent;
    selection->GetEditParent(parent);
    for (CTreeNodeRef n = parent.IsValid() ? parent->RetFirstChild() : CTreeNodeRef(); n.IsValid();
         n = n->RetNext()) {
        CGraObjectRef o = GraObjectOf(n);
        if (o.IsValid() && o->GetEditMode() != 0)
            o->Draw(overlayPort, 16);
    }
}

void CPageView::DrawHoverFrame(const CTreeNodeRef& node, double dashOffset, int drawFlags)
{
    CGraObjectRef o = GraObjectOf(node);
    if (o.IsInvalid() || document.IsInvalid())
        return;
    const double z = RetZoom();
    CPenDefRef pen = document->GetPen(2);
    if (pen.IsValid()) {
        pen->SetDash(0, 6.0 / z);
        pen->SetGap(0, 6.0 / z);
        pen->SetDashOffset(dashOffset);
        pen->SetWidth(0.0);
        overlayPort->SetPen(pen);
    }
    const DRect b = o->GetBoundingBox();
    overlayPort->DrawRect(DPoint{b.x1, b.y1}, DPoint{b.x2, b.y2}, 0.0, false, true);
    if (o->GetEditMode() == 0) {
        o->Draw(overlayPort, drawFlags);
        return;
    }
    if (pen.IsValid()) {
        pen->SetWidth(2.0 / z);
        overlayPort->SetPen(pen);
        overlayPort->DrawRect(DPoint{b.x1, b.y1}, DPoint{b.x2, b.y2}, 0.0, false, true);
    }
    if (selection->IsSingleWithoutBox())
        o->Draw(overlayPort, drawFlags);
    else if (selection->GetSelectedCount() < 21)
        DrawSelectionOutlines();
}

// Between the points of an object of several points, the segment to the
// pointer is drawn as if the pointer were the next point; the object keeps
// only the points that were pressed, so that moving the pointer, leaving the
// view or a command never gives it one.
static void DrawRubberSegment(const CGraObjectRef& o, CGraPortRef& port, const DPoint& p, int mask)
{
    if (!o->SetPoints(&p, mask)) {
        o->Draw(port, 16);
        return;
    }
    o->PlacePoint(p, mask);
    o->Draw(port, 16);
    o->RemoveLastPoint();
}

void CPageView::MotionNotify(const ZuEventRef& event)
{
    if (event.IsInvalid() || selection.IsInvalid())
        return;
    const int mask = RetModifiers(event);
    const double z = RetZoom();
    DPoint page{event->RetX(), event->RetY()};
    ViewToPage(page);
    const DPoint magnet = Magnetize(page);
    ShowRulerMarks(page);
    input.reticleShown = false;
    const int tool = RetPaletteTool(2);
    const bool modes = glassMode || handMode;
    int shape = -1;
    if (tool == 5 || handMode)
        shape = 8;
    else if (tool == 3 || glassMode)
        shape = (mask & 2) ? 7 : 6;
    else if (tool == 4)
        shape = 7;
    else if (tool == 6)
        shape = 1;
    else if (tool == 7)
        shape = 9;
    else if (IsDrawingTool(tool)) {
        if (!HasObjectClass(tool)) {
            shape = -1;
        } else {
            shape = 0;
            ZuObjectRef palette = RetToolPalette(0);
            if (palette.IsValid() && palette->IsKindOf(CToolPaletteRef::RetRuntime())) {
                ZuObjectRef proto = CToolPaletteRef(palette)->GetCurrentToolObject(2);
                if (proto.IsValid() && proto->IsKindOf(CGraObjectRef::RetRuntime()))
                    shape = CGraObjectRef(proto)->GetIconId(0);
            }
        }
    }
    bool overHandle = false;
    DPoint handlePoint{0, 0};
    int handleKind = 0;
    CTreeNodeRef hover;
    bool drewAny = false;
    const bool hoverTools = !modes && (tool == 6 || HasObjectClass(tool));
    if (hoverTools) {
        if (selection->HasSelection() && FindHandleAt(page)) {
            overHandle = true;
            if (selection->IsSingleWithoutBox()) {
                CGraObjectRef o = GraObjectOf(input.handleNode);
                if (o.IsValid()) {
                    handlePoint = o->GetHandlePosition(input.handleIndex);
                    handleKind = o->GetHandleType(input.handleIndex);
                }
                shape = 11;
            } else {
                handlePoint = selection->GetHandlePoint(input.handleIndex);
                handleKind = selection->GetHandleStyle(input.handleIndex);
                const int mode = selection->GetBoxHandleMode();
                shape = handleKind == 5                      ? 11
                        : mode == CSelectObject::MODE_SCALE  ? 3
                        : mode == CSelectObject::MODE_ROTATE ? 4
                                                             : 5;
            }
        } else if (!(mask & 2)) {
            if (!(mask & 1) && selection->HasSelection() && selection->HitBox(page)) {
                shape = 12;
                selection->GetFirstSelectedNode(hover);
            } else {
                CTreeNodeRef node = FindObjectAt(page, z);
                if (node.IsValid()) {
                    CGraObjectRef o = GraObjectOf(node);
                    shape = o.IsValid() ? o->GetIconId(1) : 10;
                    if (o.IsValid() && o->GetEditMode() != 0)
                        shape = 12;
                    // A drawing tool hovers only what is selected.
                    if (tool == 6 || (o.IsValid() && o->GetEditMode() != 0))
                        hover = node;
                }
            }
        }
    } else if (tool == 7 && !modes) {
        StartAutoScroll();
        if (!(mask & 2))
            hover = FindTextAt(page, z);
    }
    const bool hoverChanged = hover != input.hoverNode;
    if (hoverChanged) {
        ClearFeedback();
        drewAny = true;
        if (hover.IsValid()) {
            input.hoverDashOffset = 0.0;
            DrawHoverFrame(hover, 0.0, tool == 7 ? 64 : 0);
            if (tool != 7)
                StartAutoScroll();
        } else if (tool != 7) {
            StopAutoScroll();
        }
        input.hoverNode = hover;
    }
    if (tool == 7 && !modes)
        input.hoverFeedbackShown = hover.IsValid() && GraObjectOf(hover).IsValid();
    // The rubber segment of the object being made follows the pointer
    // (a drag moves it itself).
    CGraObjectRef created = selection->GetCreatedObject();
    if (created.IsValid() && !buttonDown) {
        ClearFeedback();
        if (selection->IsCreating())
            DrawRubberSegment(created, overlayPort, magnet, mask);
        else {
            selection->CreateDrag(magnet, mask);
            created->Draw(overlayPort, 16);
        }
        drewAny = true;
    }
    if ((HasObjectClass(tool) && !modes) ||
        ((tool == 6 || tool == 7) && !modes && hover.IsInvalid() && !overHandle)) {
        input.reticleShown = true;
        input.reticle = magnet;
    }
    if (shape == 12)
        input.reticleShown = false;
    const bool handleChanged =
        overHandle != input.overHandle || handlePoint.x != input.handlePoint.x ||
        handlePoint.y != input.handlePoint.y || handleKind != input.handleKind;
    if (handleChanged) {
        input.overHandle = overHandle;
        input.handlePoint = handlePoint;
        input.handleKind = handleKind;
    }
    SetPointerShape(shape);
    if (handleChanged || hoverChanged) {
        RefreshDisplay(true);
        const ZuAppRef& app = ZuApp::Current();
        if (app.IsValid())
            app->ResetIdleSyncMode();
    } else if (drewAny || input.reticleShown) {
        RefreshInteraction();
    }
    // The selection field too: nothing else fills it before the first
    // command.
    UpdateStatus();
    ShowCoordinates(magnet, true);
}

void CPageView::EnterNotify(const ZuEventRef& event)
{
    GSView::EnterNotify(event);
}

void CPageView::LeaveNotify(const ZuEventRef& event)
{
    GSView::LeaveNotify(event);
    input.reticleShown = false;
    bool erased = false;
    if (selection.IsValid() && selection->GetCreatedObject().IsValid()) {
        ClearFeedback();
        CGraObjectRef created = selection->GetCreatedObject();
        created->Draw(overlayPort, 16);
        erased = true;
    }
    if (input.hoverNode.IsValid()) {
        ClearFeedback();
        erased = true;
    }
    EndPointerFeedback();
    ShowCoordinates(DPoint{0.0, 0.0}, false);
    ClearRulerMarks();
    if (erased)
        RefreshDisplay(true);
}
