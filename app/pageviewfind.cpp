// The page view's searches under the pointer: the topmost object, segment
// or line of text of the level being edited, the handle of an object or of
// the selection's box, and the drawing of the edited objects and the page
// frame.
//
// The searches walk the edit parent's children from last to first, so the
// object drawn on top is found first, skip whatever lies outside the
// visible rectangle (an object scrolled away is never hit), and ask each
// object its own hit test on the main port.
#include "app/graobject.h"
#include "app/pageview.h"
#include "app/treeit.h"
#include "si/classfactory.h"

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

CTreeItRef NewWalk(const CTreeNodeRef& parent, int direction)
{
    CTreeItRef it(ZuObjectRef(
        ZuClassFactory::New(CTreeItRef::RetRuntime(), nullptr, __LINE__, "app/pageviewfind")));
    if (it.IsValid())
        it->Init(parent, direction);
    return it;
}

// The document's colours of the page frame.
const int kPageFrameColour = 0;
const int kPageShadowColour = 1;

} // namespace

int CPageView::RetHitMode() const
{
    return viewSettings.IsValid() && viewSettings->switches[CView::OUTLINE] ? 0 : 7;
}

// The first child of the edit parent, last to first, that lies in view and
// answers the test.
template <class Test>
static CTreeNodeRef WalkVisible(CPageView* view, Test test)
{
    CSelectObjectRef selection = view->RetSelectObject();
    if (selection.IsInvalid())
        return CTreeNodeRef();
    CGraPortRef port = view->RetMainPort();
    if (port.IsInvalid())
        return CTreeNodeRef();
    view->SetupRendering();
    port->SetTarget(view->RetContext());
    port->InitGraphics();
    view->SetPortTransform(port);
    DRect visible;
    view->RetVisibleRect(visible);
    CTreeNodeRef parent;
    selection->GetEditParent(parent);
    if (parent.IsInvalid())
        return CTreeNodeRef();
    CTreeItRef it = NewWalk(parent, -1);
    if (it.IsInvalid())
        return CTreeNodeRef();
    for (CTreeNodeRef node;;) {
        it->Next(node);
        if (node.IsInvalid())
            return CTreeNodeRef();
        CGraObjectRef o = GraObjectOf(node);
        if (o.IsInvalid() || !DoRectsIntersect(o->GetBoundingBox(), visible))
            continue;
        if (test(o, port))
            return node;
    }
}

CTreeNodeRef CPageView::FindObjectAt(const DPoint& p, double scale)
{
    const int mode = RetHitMode();
    return WalkVisible(this, [&](CGraObjectRef& o, CGraPortRef& port) {
        return o->HitTest(port, p, scale, mode);
    });
}

CTreeNodeRef CPageView::FindSegmentAt(const DPoint& p, double scale, int& segment)
{
    const int mode = RetHitMode();
    segment = -1;
    return WalkVisible(this, [&](CGraObjectRef& o, CGraPortRef& port) {
        if (!o->HasProperties())
            return false;
        segment = o->HitTestSegment(port, p, scale, mode);
        return segment != -1;
    });
}

CTreeNodeRef CPageView::FindTextAt(const DPoint& p, double scale)
{
    (void)scale; // the text hit test measures in page units
    return WalkVisible(this, [&](CGraObjectRef& o, CGraPortRef& port) {
        return o->HasText() && o->TextHitTest(port, p);
    });
}

int CPageView::FindHandleOf(const CTreeNodeRef& node, const DPoint& p, DPoint& handle)
{
    CGraObjectRef o = GraObjectOf(node);
    if (o.IsInvalid() || o->GetEditMode() == 0)
        return -1;
    const double d = 4.0 / RetZoom();
    const int n = o->GetHandleCount();
    for (int i = 0; i < n; ++i) {
        if (!o->GetHandle(i, handle))
            continue;
        const DRect square{handle.x - d, handle.y - d, handle.x + d, handle.y + d};
        if (IsPointInRect(p, square))
            return i;
    }
    return -1;
}

bool CPageView::FindHandleAt(const DPoint& p)
{
    input.handleNode = CTreeNodeRef();
    if (selection.IsInvalid() || !selection->HasSelection())
        return false;
    CTreeNodeRef parent;
    selection->GetEditParent(parent);
    if (parent.IsInvalid())
        return false;
    if (selection->IsSingleWithoutBox()) {
        CTreeItRef it = NewWalk(parent, -1);
        for (CTreeNodeRef node; it.IsValid();) {
            it->Next(node);
            if (node.IsInvalid())
                break;
            DPoint handle;
            const int i = FindHandleOf(node, p, handle);
            if (i != -1) {
                input.handleNode = node;
                input.handleIndex = i;
                return true;
            }
        }
    }
    if (selection->IsBoxSelection()) {
        const double d = 4.0 / RetZoom();
        const int n = selection->GetHandleCount();
        for (int i = 0; i < n; ++i) {
            const DPoint h = selection->GetHandlePoint(i);
            const DRect square{h.x - d, h.y - d, h.x + d, h.y + d};
            if (!IsPointInRect(p, square))
                continue;
            CTreeItRef it = NewWalk(parent, -1);
            for (CTreeNodeRef node; it.IsValid();) {
                it->Next(node);
                if (node.IsInvalid())
                    break;
                CGraObjectRef o = GraObjectOf(node);
                if (o.IsValid() && o->GetEditMode() != 0) {
                    input.handleNode = node;
                    input.handleIndex = i;
                    return true;
                }
            }
        }
    }
    return false;
}

void CPageView::DrawEditedObjects()
{
    if (selection.IsInvalid() || overlayPort.IsInvalid())
        return;
    DRect visible;
    RetVisibleRect(visible);
    CTreeNodeRef parent;
    selection->GetEditParent(parent);
    if (parent.IsInvalid())
        return;
    CTreeItRef it = NewWalk(parent, 1);
    for (CTreeNodeRef node; it.IsValid();) {
        it->Next(node);
        if (node.IsInvalid())
            break;
        CGraObjectRef o = GraObjectOf(node);
        if (o.IsValid() && o->GetEditMode() != 0 && DoRectsIntersect(o->GetBoundingBox(), visible))
            o->Draw(overlayPort, 0);
    }
}

void CPageView::DrawPageFrame()
{
    if (document.IsInvalid() || mainPort.IsInvalid())
        return;
    Geometry g;
    GetGeometry(g);
    const double w = g.pageW, h = g.pageH, s = 6.0 / g.zoom;
    mainPort->SetMotif(pageFill);
    mainPort->SetFillColor(NamedColor(kPageShadowColour));
    mainPort->DrawRect(DPoint{w / 2, h / 2 - s}, DPoint{w / 2 + s, -h / 2 - s}, 0.0, true, false);
    mainPort->DrawRect(DPoint{-w / 2 + s, -h / 2}, DPoint{w / 2 + s, -h / 2 - s}, 0.0, true, false);
    mainPort->SetPen(document->GetPen(0));
    mainPort->SetPenColor(NamedColor(kPageFrameColour));
    mainPort->DrawRect(DPoint{-w / 2, -h / 2}, DPoint{w / 2, h / 2}, 0.0, false, true);
}
