#include "app/pageview.h"

#include "app/colorsetup.h"
#include "app/gragroup.h"
#include "app/pendef.h"
#include "app/tree.h"
#include "app/treeit.h"
#include "si/adorner.h"
#include "si/app.h"
#include "si/atompath.h"
#include "si/classfactory.h"
#include "si/ctrlstate.h"
#include "si/grail.h"
#include "si/grailwdo.h"
#include "si/lookman.h"
#include "si/memzone.h"
#include "si/message.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"
#include "si/window.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

ZU_IMPLEMENT_CLASS(CPageView, "app/pageview", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(CPageView, IChangeUnit)

// The handlers of this part of the view. The view's other parts export
// theirs beside their own code and list them here.
ZU_EXPORT_ACTOR(CPageView, GlassMin)
ZU_EXPORT_ACTOR(CPageView, Glass100)
ZU_EXPORT_ACTOR(CPageView, GlassMax)
ZU_EXPORT_ACTOR(CPageView, GlassPage)
ZU_EXPORT_ACTOR(CPageView, GlassSel)
ZU_EXPORT_ACTOR(CPageView, GlassPrev)
ZU_EXPORT_ACTOR(CPageView, ZoomIn)
ZU_EXPORT_ACTOR(CPageView, ZoomOut)
ZU_EXPORT_ACTOR(CPageView, OnScrollH)
ZU_EXPORT_ACTOR(CPageView, OnScrollV)
ZU_EXPORT_ACTOR(CPageView, OnEditZoom)
ZU_EXPORT_ACTOR(CPageView, AsyncDrawEventHandler)
// The main window has the view reset by name at the end of the start.
ZU_EXPORT_ACTOR(CPageView, ResetDisplay)

// clang-format off
const char* const CPageView::handlerNames[] = {
    "GlassMin",
    "Glass100",
    "GlassMax",
    "GlassPage",
    "GlassSel",
    "GlassPrev",
    "ZoomIn",
    "ZoomOut",
    "OnScrollH",
    "OnScrollV",
    "OnEditZoom",
    "AsyncDrawEventHandler",
    "ResetDisplay",
    // The editing commands (app/pageviewedit.cpp).
    "EndSelected", "DeleteSelected", "DuplicateSelected",
    "SelectSendToFront", "SelectSendToBack", "SelectMoveToFront", "SelectMoveToBack",
    "SelectMirrorX", "SelectMirrorY", "SelectRotate90", "SelectRotate180", "SelectRotate270",
    "SelectGroup", "SelectUngroup", "GroupGoIn", "GroupGoOut",
    "ClipboardCut", "ClipboardCopy", "ClipboardPaste", "About",
    // Documents and view commands.
    "FileNew",
    "FileOpen",
    "FileSave",
    "FileSaveAs",
    "FileQuit",
    "AsyncQuestionFileSaveYes",
    "AsyncQuestionFileSaveNo",
    "AsyncFilenameOpen",
    "AsyncFilenameSave",
    "AsyncQuestionFileDeleteYes",
    "AsyncQuestionFileDeleteNo",
    "Undo",
    "Redo",
    "ChangeSetup",
    "SwapGrid",
    "SwapOutline",
    "SwapBBox",
    "SwapProperty",
    "Debug",
    "AsyncDefModify",
    "AsyncDefUpdateFullProperty",
    "AsyncDefUpdateQuickProperty",
    "AsyncPropertyModify",
    "AsyncPropertyRedraw",
    // Printing and export.
    "FilePrint",
    "FileExport",
    "AsyncPrintGo",
    "AsyncExportGo",
    // The samples palette.
    "ShowSampleDlg",
};
// clang-format on
const int CPageView::handlerCount = int(sizeof handlerNames / sizeof handlerNames[0]);

namespace {

CPageView* AsPageView(ZuObject* o)
{
    return static_cast<CPageView*>(o);
}

// A script's "OpenDocument (name)": the method's answer is the call's.
bool OpenDocumentEntry(const ZuMessageRef& msg, ZuObject* obj, Zuvi_TargetExport* exp)
{
    if (exp != nullptr) {
        exp->SetArg("ZuStringRef", "name", "file name");
        exp->SetCall("OpenDocument (name)");
        return true;
    }
    if (obj == nullptr)
        return false;
    ZuObjectRef name;
    msg >> name;
    return AsPageView(obj)->OpenDocument(ZuStringRef(name));
}
Zuvi_TargetExport open_document_export(&OpenDocumentEntry, CPageViewRef::RetRuntime());

bool ExportDocumentEntry(const ZuMessageRef& msg, ZuObject* obj, Zuvi_TargetExport* exp)
{
    if (exp != nullptr) {
        exp->SetArg("ZuStringRef", "name", "file name");
        exp->SetArg("Card32", "dpi", "dpi");
        exp->SetArg("Card32", "bpp", "bits per pixel");
        exp->SetArg("ZuStringRef", "device", "device name");
        exp->SetArg("Card32", "aa", "anti-aliasing");
        exp->SetArg("Real", "zoom", "zoom");
        exp->SetCall("ExportDocument (name, dpi, bpp, device, aa, zoom)");
        return true;
    }
    if (obj == nullptr)
        return false;
    ZuObjectRef name, device;
    uint32_t dpi = 0, bpp = 0, aa = 0;
    double zoom = 0.0;
    msg >> name >> dpi >> bpp >> device >> aa >> zoom;
    return AsPageView(obj)->ExportDocument(ZuStringRef(name), dpi, bpp, ZuStringRef(device), aa,
                                           zoom);
}
Zuvi_TargetExport export_document_export(&ExportDocumentEntry, CPageViewRef::RetRuntime());

// The paths of the application's asynchronous events and their handlers,
// bound in this order.
const char* const kAsyncBindings[14][2] = {
    {"def.notify_Modify", "AsyncDefModify"},
    {"def.notify_UpdateFullProperty", "AsyncDefUpdateFullProperty"},
    {"def.notify_UpdateQuickProperty", "AsyncDefUpdateQuickProperty"},
    {"property.notify_Modify", "AsyncPropertyModify"},
    {"property.notify_Redraw", "AsyncPropertyRedraw"},
    {"print.notify_button1", "AsyncPrintGo"},
    {"export.notify_button1", "AsyncExportGo"},
    {"filename_open.notify_button1", "AsyncFilenameOpen"},
    {"filename_save.notify_button1", "AsyncFilenameSave"},
    {"question_file_save.notify_button1", "AsyncQuestionFileSaveYes"},
    {"question_file_save.notify_button2", "AsyncQuestionFileSaveNo"},
    {"question_file_delete.notify_button1", "AsyncQuestionFileDeleteYes"},
    {"question_file_delete.notify_button2", "AsyncQuestionFileDeleteNo"},
    {"DrawEvent", "AsyncDrawEventHandler"},
};

// Ticks come on the user-interface thread only; a tick handled inside
// another (a nested dispatch) does not re-arm the timer again.
int tick_depth = 0;

// The document's named colours used here.
enum {
    COLOR_PAGE_FRAME = 0,
    COLOR_PAGE_SHADOW = 1,
    COLOR_DRAFT = 2,
    COLOR_SELECTION = 3,
    COLOR_ZOOM_RECT = 5,
    COLOR_EDIT_CURSOR = 7,
    COLOR_GRID = 8,
    COLOR_GROUP_BACK = 9,
    COLOR_OTHER_LAYERS = 10,
    COLOR_GUIDES = 11
};

// More selected objects than this show only the box's handles.
const int kMaxObjectHandles = 20;

bool Finite(double v)
{
    return std::isfinite(v);
}

double Clamp01(double v, double fallback)
{
    if (std::isnan(v))
        return fallback;
    return v < 0.0 ? 0.0 : v > 1.0 ? 1.0 : v;
}

double ClampZoom(double z)
{
    if (std::isnan(z) || z < CPageView::ZOOM_MIN)
        return CPageView::ZOOM_MIN;
    return z > CPageView::ZOOM_MAX ? CPageView::ZOOM_MAX : z;
}

// A length from a file: positive and finite, else the fallback.
double Side(double v, double fallback)
{
    return Finite(v) && v > 0.0 ? v : fallback;
}

bool IsNull(const DRect& r)
{
    return r.x1 == 0.0 && r.y1 == 0.0 && r.x2 == 0.0 && r.y2 == 0.0;
}

CGraObjectRef ObjectOf(const CTreeNodeRef& node)
{
    if (node.IsInvalid())
        return CGraObjectRef();
    ZuObjectRef& o = node->RetObject();
    if (o.IsInvalid() || !o->IsKindOf(CGraObjectRef::RetRuntime()))
        return CGraObjectRef();
    return CGraObjectRef(o);
}

template <class R>
R Make()
{
    return R(ZuObjectRef(ZuClassFactory::New(R::RetRuntime(), Zuvi_app_zone, __LINE__, __FILE__)));
}

// Digits of a step count: a step from outside that could make a loop of
// more than this is left out.
const double kMaxGridSteps = 100000.0;

} // namespace

// ---------------------------------------------------------------------------
// Construction
// ---------------------------------------------------------------------------

CPageView::CPageView()
{
    viewSettings = Make<CViewRef>();
    selection = Make<CSelectObjectRef>();
    selection->SetViewSettings(viewSettings);
    mainPort = Make<CGraPortRef>();
    overlayPort = Make<CGraPortRef>();
    selection->SetPorts(mainPort, overlayPort);
    pageFill = Make<CMotifDefRef>();
    pageFill->SetValue(60);
    interactionContext = Make<GSContextRef>();
    overlayPort->SetTarget(interactionContext);
}

CPageView::~CPageView()
{
    interactionContext = GSContextRef();
}

void CPageView::Delete()
{
    StopAutoScroll();
    // The program's current document is this view's: it must not outlive
    // the view (the zones holding it may go next).
    if (document.IsValid() && GetCurrentDocument() == document)
        SetCurrentDocument(CDocumentRef(), CViewRef());
    GSView::Delete();
}

void CPageView::StoreInstance(const ZuStorageRef& storage)
{
    GSView::StoreInstance(storage);
    storage << ZuStorageSync::begin << ZuStorageSync::end;
}

void CPageView::RestoreInstance(const ZuStorageRef& storage)
{
    GSView::RestoreInstance(storage);
    storage >> ZuStorageSync::begin >> ZuStorageSync::end;
}

// ---------------------------------------------------------------------------
// Set-up and documents
// ---------------------------------------------------------------------------

void CPageView::SetControls(const ZuScrollerRef& h, const ZuScrollerRef& v,
                            const ZuTextLineRef& zoom)
{
    scrollerH = h;
    scrollerV = v;
    zoomLine = zoom;
}

bool CPageView::Init(const CMainWindowRef& main)
{
    InitDocumentTree();
    mainWindow = main;
    if (mainWindow.IsValid())
        SetControls(mainWindow->RetScrollerH(), mainWindow->RetScrollerV(),
                    mainWindow->RetZoomLine());
    SetDocument(document);
    const ZuAppRef& app = ZuApp::Current();
    if (app.IsValid()) {
        app->RemoveField(ZuAtomRef("Document"));
        app->InsertField(ZuAtomRef("Document"), ZuObjectRef(this));
    }
    if (scrollerH.IsValid())
        scrollerH->AttachObserver(ZuObjectRef(this), ZuScroller::notify_scrolled,
                                  ZuAtomRef("OnScrollH"), 0);
    if (scrollerV.IsValid())
        scrollerV->AttachObserver(ZuObjectRef(this), ZuScroller::notify_scrolled,
                                  ZuAtomRef("OnScrollV"), 0);
    if (zoomLine.IsValid())
        zoomLine->AttachObserver(ZuObjectRef(this), ZuTextLine::notify_user_text_changed,
                                 ZuAtomRef("OnEditZoom"), 0);
    if (app.IsValid()) {
        for (const auto& binding : kAsyncBindings)
            app->AttachAsyncObserver(ZuObjectRef(this), ZuAtomPathRef(binding[0]),
                                     ZuTextRef(binding[1]), 0);
    }
    return true;
}

void CPageView::InitDocumentTree()
{
    if (document.IsInvalid() || document->GetTree().IsInvalid())
        return;
    CTreeNodeRef root;
    document->GetTree()->GetNode(root, -1, -1);
    if (root.IsInvalid())
        return;
    root->RemoveAllChildren();
    CTreeNodeRef page = Make<CTreeNodeRef>();
    page->InsertFirstChild(root);
    CTreeNodeRef layer = Make<CTreeNodeRef>();
    layer->InsertFirstChild(page);
    layer->SetObject(NewGraObject(CGraObjectRef::RetRuntime()));
    viewSettings->current_page = 0;
    viewSettings->current_layer = 0;
    selection->UpdatePageDialog();
    selection->UpdateLayerDialog();
}

void CPageView::SetDocument(const CDocumentRef& d)
{
    document = d;
    if (selection.IsValid())
        selection->SetDocument(d);
    // The document the helpers work with; the rulers take it at the next
    // UpdateRulers.
    SetCurrentDocument(document, viewSettings);
}

bool CPageView::ResetDisplay()
{
    UpdateTool(0);
    UpdateScrollers();
    UpdateRulers();
    UpdateZoomText();
    if (selection.IsValid())
        selection->UpdateAllCommands();
    hasDocument = true;
    renderNeeded = true;
    SetupRendering();
    // The rulers measure the image, which exists from here on.
    UpdateRulerScales();
    RefreshDisplay(true);
    return true;
}

void CPageView::RefreshDisplay(bool delayed)
{
    Display(delayed);
}

void CPageView::SetPointerShape(int code)
{
    if (code == cursorCode)
        return;
    char name[32];
    if (code == -1)
        std::snprintf(name, sizeof name, "Zuvi_CursorNormal");
    else if (code == -2)
        std::snprintf(name, sizeof name, "Zuvi_CursorBusy");
    else
        std::snprintf(name, sizeof name, "lumbra_Sprite%.2d", code);
    ZuAtomRef atom(name);
    const ZuLookManRef& look = ZuLookMan::Current();
    if (look.IsValid())
        look->SelectCursor(atom);
    SetCursor(atom);
    cursorCode = code;
}

void CPageView::SetGlassMode(bool on)
{
    glassMode = on;
    if (on)
        handMode = false;
}

void CPageView::SetHandMode(bool on)
{
    handMode = on;
    if (on)
        glassMode = false;
}

void CPageView::RefreshTool()
{
    UpdateTool(RetPaletteTool(1));
}

void CPageView::ChangeUnit(int unit)
{
    (void)unit;
    UpdateRulers();
    UpdateStatus();
}

// ---------------------------------------------------------------------------
// Auto scroll
// ---------------------------------------------------------------------------

void CPageView::StartAutoScroll()
{
    const ZuAppRef& app = ZuApp::Current();
    if (autoScrollOn || app.IsInvalid())
        return;
    const ZuLookManRef& look = ZuLookMan::Current();
    app->InsertTickResponder(ZuObjectRef(this),
                             look.IsValid() ? int(look->RetAutoRepeatTime()) : 50, 0, false);
    autoScrollOn = true;
}

void CPageView::StopAutoScroll()
{
    if (!autoScrollOn)
        return;
    const ZuAppRef& app = ZuApp::Current();
    if (app.IsValid())
        app->RemoveTickResponder(ZuObjectRef(this), 0, false);
    autoScrollOn = false;
}

void CPageView::Tick(unsigned id)
{
    (void)id;
    ++tick_depth;
    if (tick_depth == 1 && autoScrollOn) {
        const ZuAppRef& app = ZuApp::Current();
        const ZuLookManRef& look = ZuLookMan::Current();
        if (app.IsValid())
            app->InsertTickResponder(
                ZuObjectRef(this), look.IsValid() ? int(look->RetAutoRepeatTime()) : 50, 0, false);
    }
    const int tool = RetPaletteTool(2);
    if (buttonDown)
        ScrollToShow(pointerPos, 0.0);
    if (tool == 6 || (RetPaletteTool(1) == 0 && selection.IsValid() && selection->HasSelection()))
        SelectRepeat();
    if (tool == 7)
        EditRepeat();
    if (rightButtonHeld)
        ContextRepeat();
    --tick_depth;
}

// ---------------------------------------------------------------------------
// View coordinates
// ---------------------------------------------------------------------------

double CPageView::RetZoom() const
{
    return viewSettings.IsValid() ? ClampZoom(viewSettings->zoom) : ZOOM_100;
}

double CPageView::RetScrollX() const
{
    return viewSettings.IsValid() ? Clamp01(viewSettings->x, 0.5) : 0.5;
}

double CPageView::RetScrollY() const
{
    return viewSettings.IsValid() ? Clamp01(viewSettings->y, 0.5) : 0.5;
}

void CPageView::GetGeometry(Geometry& g)
{
    g.zoom = RetZoom();
    g.x = RetScrollX();
    g.y = RetScrollY();
    g.areaW = document.IsValid() ? Side(document->GetAreaWidth(), 2000.0) : 2000.0;
    g.areaH = document.IsValid() ? Side(document->GetAreaHeight(), 2000.0) : 2000.0;
    g.pageW = document.IsValid() && Finite(document->GetPageWidth()) ? document->GetPageWidth() : 0;
    g.pageH =
        document.IsValid() && Finite(document->GetPageHeight()) ? document->GetPageHeight() : 0;
    uint32_t pw = 0, ph = 0;
    GetPixmapSize(pw, ph);
    g.w = pw;
    g.h = ph;
    g.spanX = g.areaW - g.w / g.zoom;
    g.spanY = g.areaH - g.h / g.zoom;
    g.ox = g.areaW / 2.0 - g.spanX * g.x;
    g.oy = g.areaH / 2.0 - (1.0 - g.y) * g.spanY;
}

void CPageView::ViewToPage(DPoint& p)
{
    Geometry g;
    GetGeometry(g);
    double px = (p.x - box.X1()) + h_pixel_offset;
    double py = g.h - ((p.y - box.Y1()) + v_pixel_offset);
    p = DPoint{px / g.zoom - g.ox, py / g.zoom - g.oy};
}

void CPageView::PageToView(DPoint& p)
{
    Geometry g;
    GetGeometry(g);
    double px = (p.x + g.ox) * g.zoom, py = (p.y + g.oy) * g.zoom;
    p = DPoint{px + box.X1() - h_pixel_offset, (g.h - py) + box.Y1() - v_pixel_offset};
}

void CPageView::PageToViewLocal(DPoint& p)
{
    Geometry g;
    GetGeometry(g);
    double px = (p.x + g.ox) * g.zoom, py = (p.y + g.oy) * g.zoom;
    p = DPoint{px - h_pixel_offset, (g.h - py) - v_pixel_offset};
}

void CPageView::RetVisibleRect(DRect& out)
{
    Geometry g;
    GetGeometry(g);
    out = DRect{-g.ox, -g.oy, g.w / g.zoom - g.ox, g.h / g.zoom - g.oy};
}

void CPageView::PageToScroll(const DPoint& q, double& x, double& y)
{
    Geometry g;
    GetGeometry(g);
    // A view as large as the work area has nothing to scroll: the middle.
    x = g.spanX != 0.0 ? q.x / g.spanX + 0.5 : 0.5;
    y = g.spanY != 0.0 ? 0.5 - q.y / g.spanY : 0.5;
}

void CPageView::CentreOn(const DPoint& q)
{
    if (viewSettings.IsInvalid())
        return;
    double x, y;
    PageToScroll(q, x, y);
    viewSettings->x = Clamp01(x, 0.5);
    viewSettings->y = Clamp01(y, 0.5);
}

bool CPageView::IsNear(const DPoint& a, const DPoint& b)
{
    return std::max(std::fabs(a.x - b.x), std::fabs(a.y - b.y)) < 4.0 / RetZoom();
}

double CPageView::RetVisibleRatioX()
{
    Geometry g;
    GetGeometry(g);
    return g.w == 0.0 ? 1.0 : g.w / (g.areaW * g.zoom);
}

double CPageView::RetVisibleRatioY()
{
    Geometry g;
    GetGeometry(g);
    return g.h == 0.0 ? 1.0 : g.h / (g.areaH * g.zoom);
}

// ---------------------------------------------------------------------------
// Zoom
// ---------------------------------------------------------------------------

bool CPageView::SetZoom(double scaled, bool apply)
{
    if (viewSettings.IsInvalid())
        return true;
    const double oldZoom = viewSettings->zoom, oldX = viewSettings->x, oldY = viewSettings->y;
    Geometry g;
    GetGeometry(g);
    const DPoint middle{(g.w / 2.0) / g.zoom - g.ox, (g.h / 2.0) / g.zoom - g.oy};
    double f = scaled / 100.0;
    if (f == 0.0 || std::isnan(f))
        f = 1.0;
    viewSettings->zoom = ClampZoom(f);
    CentreOn(middle);
    if (viewSettings->zoom == oldZoom && viewSettings->x == oldX && viewSettings->y == oldY)
        return true;
    if (apply) {
        renderNeeded = true;
        Display(true);
        UpdateScrollers();
        UpdateRulerScales();
    }
    return true;
}

void CPageView::SetZoomFactor(double factor, bool apply)
{
    if (viewSettings.IsValid())
        viewSettings->PushZoomHistory();
    SetZoom(factor * 100.0, apply);
}

void CPageView::UpdateZoomText()
{
    if (zoomLine.IsInvalid())
        return;
    char text[32];
    std::snprintf(text, sizeof text, "%d", int(RetZoom() / ZOOM_100 * 100.0));
    zoomLine->SetText(ZuTextRef(text));
    zoomLine->Display(true);
}

void CPageView::FitFactor(const DPoint& a, const DPoint& b, double& factor, DPoint& centre)
{
    DRect v;
    RetVisibleRect(v);
    const double dx = std::fabs(a.x - b.x), dy = std::fabs(a.y - b.y);
    const double fx = dx > 0.0 ? std::fabs(v.x2 - v.x1) / dx : ZOOM_MAX;
    const double fy = dy > 0.0 ? std::fabs(v.y2 - v.y1) / dy : ZOOM_MAX;
    factor = std::min(fx, fy);
    centre = MidPoint(a, b);
}

namespace {

void AfterZoomCommand(CPageView* view)
{
    view->UpdateZoomText();
    view->UpdateScrollers();
    view->UpdateRulerScales();
    view->SetRenderNeeded(true);
    view->Display(true);
}

} // namespace

bool CPageView::GlassMin()
{
    SetZoomFactor(ZOOM_MIN, false);
    AfterZoomCommand(this);
    return true;
}

bool CPageView::Glass100()
{
    SetZoomFactor(ZOOM_100, false);
    AfterZoomCommand(this);
    return true;
}

bool CPageView::GlassMax()
{
    SetZoomFactor(ZOOM_MAX, false);
    AfterZoomCommand(this);
    return true;
}

bool CPageView::GlassPage()
{
    Geometry g;
    GetGeometry(g);
    // A page without sides (a damaged file) has nothing to fit.
    if (!(g.pageW > 0.0) || !(g.pageH > 0.0))
        return false;
    const DPoint a{-(g.pageW / 2.0 + 5.0), -(g.pageH / 2.0 + 5.0)};
    const DPoint b{g.pageW / 2.0 + 5.0, g.pageH / 2.0 + 5.0};
    double factor;
    DPoint centre;
    FitFactor(a, b, factor, centre);
    SetZoomFactor(g.zoom * factor, false);
    CentreOn(centre);
    AfterZoomCommand(this);
    return true;
}

bool CPageView::GlassSel()
{
    if (selection.IsInvalid())
        return false;
    DRect r{0, 0, 0, 0};
    if (selection->GetSelectedCount() > 0)
        selection->GetSelectionBox(r);
    else
        selection->GetEnteredGroupBox(r);
    if (IsNull(r))
        selection->ComputeSelectionBounds(r);
    if (IsNull(r))
        return false;
    const DPoint a{r.x1 - 5.0, r.y1 - 5.0}, b{r.x2 + 5.0, r.y2 + 5.0};
    double factor;
    DPoint centre;
    FitFactor(a, b, factor, centre);
    SetZoomFactor(RetZoom() * factor, false);
    CentreOn(centre);
    AfterZoomCommand(this);
    return true;
}

bool CPageView::GlassPrev()
{
    if (viewSettings.IsInvalid() || !viewSettings->PopZoomHistory())
        return false;
    AfterZoomCommand(this);
    return true;
}

bool CPageView::ZoomIn()
{
    SetZoomFactor(RetZoom() * 2.0, true);
    UpdateZoomText();
    return true;
}

bool CPageView::ZoomOut()
{
    SetZoomFactor(RetZoom() / 2.0, true);
    UpdateZoomText();
    return true;
}

bool CPageView::OnEditZoom()
{
    double n = 0.0;
    if (zoomLine.IsValid()) {
        ZuStringRef text = zoomLine->RetText();
        const unsigned count = text.IsValid() ? text->CharacterCount() : 0;
        for (unsigned i = 0; i < count; i++) {
            const unsigned short c = text->RetCharacter(i);
            // A long run of digits saturates (the zoom is clamped anyway).
            if (c >= '0' && c <= '9' && n < 1e12)
                n = n * 10.0 + (c - '0');
        }
    }
    SetZoom(n * ZOOM_100, true);
    return true;
}

// ---------------------------------------------------------------------------
// Scrolling
// ---------------------------------------------------------------------------

bool CPageView::SetScrollX(double x)
{
    if (viewSettings.IsInvalid())
        return true;
    viewSettings->x = Clamp01(x, 0.5);
    renderNeeded = true;
    Display(true);
    UpdateRulerScales();
    return true;
}

bool CPageView::SetScrollY(double y)
{
    if (viewSettings.IsInvalid())
        return true;
    viewSettings->y = Clamp01(y, 0.5);
    renderNeeded = true;
    Display(true);
    UpdateRulerScales();
    return true;
}

void CPageView::UpdateScrollers()
{
    if (scrollerH.IsValid()) {
        const double ratio = RetVisibleRatioX();
        scrollerH->SetVisibleValue(RetScrollX());
        scrollerH->SetVisibleRatio(ratio);
        scrollerH->SetIncrement(ratio / 2.0);
        scrollerH->Display(true);
    }
    if (scrollerV.IsValid()) {
        const double ratio = RetVisibleRatioY();
        scrollerV->SetVisibleValue(RetScrollY());
        scrollerV->SetVisibleRatio(ratio);
        scrollerV->SetIncrement(ratio / 2.0);
        scrollerV->Display(true);
    }
}

bool CPageView::OnScrollH()
{
    if (scrollerH.IsValid())
        SetScrollX(scrollerH->RetVisibleValue());
    return true;
}

bool CPageView::OnScrollV()
{
    if (scrollerV.IsValid())
        SetScrollY(scrollerV->RetVisibleValue());
    return true;
}

bool CPageView::AutoScroll(const DPoint& p, double margin)
{
    if (viewSettings.IsInvalid())
        return false;
    Geometry g;
    GetGeometry(g);
    const double px = (p.x - box.X1()) + h_pixel_offset;
    const double py = (p.y - box.Y1()) + v_pixel_offset;
    bool scrolled = false;
    if (px < 0.0) {
        const double step = margin == 0.0 ? 0.01 / g.zoom : -(px - margin) / g.zoom / g.areaW;
        SetScrollX(g.x - step);
        scrolled = true;
    }
    if (px > g.w) {
        const double step = margin == 0.0 ? 0.01 / g.zoom : (px - g.w + margin) / g.zoom / g.areaW;
        SetScrollX(g.x + step);
        scrolled = true;
    }
    if (py < 0.0) {
        const double step = margin == 0.0 ? 0.01 / g.zoom : -(py - margin) / g.zoom / g.areaH;
        SetScrollY(g.y - step);
        scrolled = true;
    }
    if (py > g.h) {
        const double step = margin == 0.0 ? 0.01 / g.zoom : (py - g.h + margin) / g.zoom / g.areaH;
        SetScrollY(g.y + step);
        scrolled = true;
    }
    if (scrolled)
        UpdateScrollers();
    return scrolled;
}

// ---------------------------------------------------------------------------
// Rulers, magnetism, ports and colours
// ---------------------------------------------------------------------------

// The rulers' scales, handles and marks: app/pageview_rulers.cpp.

DPoint CPageView::MagnetizePoint(const DPoint& p, const DPoint& o)
{
    DPoint q = p;
    if (viewSettings.IsInvalid())
        return q;
    const double zoom = RetZoom();
    bool snappedX = false, snappedY = false;
    if (viewSettings->switches[CView::GUIDE_MAGNETISM] && document.IsValid()) {
        const double pageW = document->GetPageWidth(), pageH = document->GetPageHeight();
        const int nh = document->GetGuideCount(true);
        for (int i = 0; i < nh && !snappedY; i++) {
            const double y = document->GetGuide(true, i) - pageH / 2.0;
            if (std::fabs(p.y - y) * zoom < 8.0) {
                q.y = y;
                snappedY = true;
            }
        }
        const int nv = document->GetGuideCount(false);
        for (int i = 0; i < nv && !snappedX; i++) {
            const double x = document->GetGuide(false, i) - pageW / 2.0;
            if (std::fabs(p.x - x) * zoom < 8.0) {
                q.x = x;
                snappedX = true;
            }
        }
    }
    const double sx = viewSettings->values[4], sy = viewSettings->values[5];
    // A step that is 0, negative or not finite switches the grid off on
    // both axes.
    if (viewSettings->switches[CView::GRID_MAGNETISM] && Finite(sx) && Finite(sy) && sx > 0.0 &&
        sy > 0.0 && Finite(o.x) && Finite(o.y)) {
        auto snap = [](double v, double origin, double step) {
            if (v >= origin)
                return origin + std::trunc((v - origin + step / 2.0) / step) * step;
            return origin - std::trunc((origin - v + step / 2.0) / step) * step;
        };
        if (!snappedX)
            q.x = snap(p.x, o.x, sx);
        if (!snappedY)
            q.y = snap(p.y, o.y, sy);
    }
    return q;
}

DPoint CPageView::Magnetize(const DPoint& p)
{
    if (viewSettings.IsInvalid())
        return p;
    return MagnetizePoint(p, DPoint{viewSettings->values[0] + viewSettings->origin_x,
                                    viewSettings->values[1] + viewSettings->origin_y});
}

void CPageView::SetPortTransform(const CGraPortRef& port)
{
    if (port.IsInvalid())
        return;
    Geometry g;
    GetGeometry(g);
    CGraTransform t;
    port->InitTransform(t);
    // Both ports take the same place: the feedback device is shown, like
    // the rendered image, from its lower-left corner into the view's box,
    // so that an outline lies where the object will be drawn (an offset by
    // the window's frame would move it off the pointer).
    t.dx = g.ox;
    t.dy = g.oy;
    t.scale = g.zoom;
    t.angle = 0.0;
    port->SetTransform(t);
}

void CPageView::ContrastRGB(double& r, double& g, double& b) const
{
    if (viewSettings.IsValid() && viewSettings->switches[CView::OUTLINE]) {
        r = g = b = 1.0;
        return;
    }
    const double v = 0.3 * r + 0.59 * g + 0.11 * b <= 0.5 ? 0.75 : 0.0;
    r = g = b = v;
}

void CPageView::MakeDrawColor(const CColorDefRef& colour, ZuColorPixel& pixel, bool contrast) const
{
    double r = 0.0, g = 0.0, b = 0.0;
    if (colour.IsValid())
        colour->GetRGB(r, g, b);
    if (contrast)
        ContrastRGB(r, g, b);
    pixel = ZuColorPixel(r, g, b, 0.0);
}

void CPageView::ContrastColorDef(const CColorDefRef& source, const CColorDefRef& target) const
{
    double r = 0.0, g = 0.0, b = 0.0;
    if (source.IsValid())
        source->GetRGB(r, g, b);
    ContrastRGB(r, g, b);
    if (target.IsValid())
        target->SetRGB(r, g, b);
}

// ---------------------------------------------------------------------------
// The render run
// ---------------------------------------------------------------------------

CColorDefRef CPageView::NamedColor(int i) const
{
    // The interface element's own definition among the document's colours.
    return document.IsValid() ? document->GetColor(CColorSetup::ColorDefOfElement(i))
                              : CColorDefRef();
}

bool CPageView::IsLayerVisible(int layer) const
{
    if (document.IsInvalid() || viewSettings.IsInvalid())
        return false;
    CTreeNodeRef node;
    document->GetTree()->GetNode(node, viewSettings->current_page, layer);
    if (node.IsInvalid())
        return false;
    const CGraObjectRef o = ObjectOf(node);
    return o.IsInvalid() || o->GetFlag();
}

void CPageView::DrawOtherLayer(int layer, const DRect& visible)
{
    if (!IsLayerVisible(layer))
        return;
    mainPort->SetPenColor(NamedColor(COLOR_OTHER_LAYERS));
    mainPort->SetFillColor(NamedColor(COLOR_OTHER_LAYERS));
    CTreeNodeRef node;
    document->GetTree()->GetNode(node, viewSettings->current_page, layer);
    CGraPortRef port = mainPort;
    for (CTreeNodeRef child = node->RetFirstChild(); child.IsValid();
         child = CTreeNodeRef(child->RetNext())) {
        CGraObjectRef o = ObjectOf(child);
        if (o.IsInvalid() || !DoRectsIntersect(o->GetBoundingBox(), visible))
            continue;
        o->DrawShadow(port, 0x21);
        o->Draw(port, 0x21);
    }
}

void CPageView::DrawObjectsAroundGroup(const CTreeNodeRef& layer, const DRect& visible)
{
    const CTreeNodeRef group = selection->GetEnteredGroup();
    mainPort->SetPenColor(NamedColor(COLOR_OTHER_LAYERS));
    mainPort->SetFillColor(NamedColor(COLOR_OTHER_LAYERS));
    CGraPortRef port = mainPort;
    CTreeIt it;
    if (it.InitDeep(layer, 1)) {
        CTreeNodeRef node;
        for (it.NextDeep(node); node.IsValid(); it.NextDeep(node)) {
            if (node == group) {
                it.SkipChildren();
                continue;
            }
            CGraObjectRef o = ObjectOf(node);
            if (o.IsInvalid() || !DoRectsIntersect(o->GetBoundingBox(), visible))
                continue;
            o->DrawShadow(port, 0x21);
            o->Draw(port, 0x21);
        }
    }
    CGraObjectRef g = ObjectOf(group);
    if (g.IsValid())
        g->Draw(port, 0x27);
}

bool CPageView::RenderPage()
{
    if (document.IsInvalid() || viewSettings.IsInvalid() || selection.IsInvalid() ||
        document->GetTree().IsInvalid())
        return false;
    Geometry g;
    GetGeometry(g);
    // A page side of 0 (or worse) from a file: nothing to show.
    if (!(g.pageW > 0.0) || !(g.pageH > 0.0))
        return false;
    CGraPortRef port = mainPort;
    mainPort->SetTarget(context);
    mainPort->InitBinaryMode();
    mainPort->InitGraphics();
    mainPort->ErasePage();
    SetPortTransform(mainPort);
    DRect visible;
    RetVisibleRect(visible);

    const int page = viewSettings->current_page;
    const int current = viewSettings->current_layer;
    CTreeNodeRef pageNode;
    document->GetTree()->GetNode(pageNode, page, -1);
    const int layers = pageNode.IsValid() ? pageNode->CountChildren() : 0;
    const bool entered = selection->GetEnteredDepth() != 0;

    if (entered) {
        DRect b;
        selection->GetEnteredGroupBox(b);
        mainPort->SetFillColor(NamedColor(COLOR_GROUP_BACK));
        mainPort->SetMotif(pageFill);
        const DPoint corners[4][2] = {
            {{visible.x1, visible.y1}, {b.x1, visible.y2}},
            {{b.x2, visible.y1}, {visible.x2, visible.y2}},
            {{b.x1, visible.y1}, {b.x2, b.y1}},
            {{b.x1, b.y2}, {b.x2, visible.y2}},
        };
        for (const auto& c : corners)
            if (c[0].x < c[1].x && c[0].y < c[1].y)
                mainPort->DrawRect(c[0], c[1], 0.0, true, false);
    }

    // The drawings' text goes to the interpreter in large pieces; an
    // exception out of a drawing must not leave the port keeping its text.
    struct DeferredSends {
        CGraPortRef port;
        ~DeferredSends() { port->SetDeferred(false); }
    } const deferredSends{mainPort};
    mainPort->SetDeferred(true);
    DrawPageFrame();

    for (int i = 0; i < current && i < layers; i++)
        DrawOtherLayer(i, visible);

    CTreeNodeRef layerNode;
    document->GetTree()->GetNode(layerNode, page, current);
    if (entered && layerNode.IsValid())
        DrawObjectsAroundGroup(layerNode, visible);

    CPenDefRef editPen = document->GetPen(2);
    if (editPen.IsValid()) {
        editPen->SetDash(0, 6.0 / g.zoom);
        editPen->SetGap(0, 6.0 / g.zoom);
        editPen->SetDashOffset(0.0);
        editPen->SetWidth(0.0);
    }

    int aids = 0;
    if (selection->IsSingleWithoutBox()) {
        CTreeNodeRef first;
        selection->GetFirstSelectedNode(first);
        const CGraObjectRef o = ObjectOf(first);
        if (o.IsValid() && !o->IsKindOf(CGraGroupRef::RetRuntime()))
            aids = 8;
    }

    CColorDefRef editColor = Make<CColorDefRef>();
    CColorDefRef draftColor = Make<CColorDefRef>();
    CPenDefRef draftPen = Make<CPenDefRef>();
    const bool draft = viewSettings->switches[CView::OUTLINE];
    const bool boxes = viewSettings->switches[CView::SHOW_BOUNDING_BOXES];

    const CTreeNodeRef container = entered ? selection->GetEnteredGroup() : layerNode;
    if (container.IsValid()) {
        for (CTreeNodeRef child = container->RetFirstChild(); child.IsValid();
             child = CTreeNodeRef(child->RetNext())) {
            CGraObjectRef o = ObjectOf(child);
            if (o.IsInvalid())
                continue;
            const DRect bounds = o->GetBoundingBox();
            if (!DoRectsIntersect(bounds, visible))
                continue;
            if (draft) {
                mainPort->SetPenColor(draftColor);
                mainPort->SetPen(draftPen);
                o->Draw(port, 0);
            } else {
                o->DrawShadow(port, 7);
                o->Draw(port, 7);
            }
            if (o->GetEditMode() == 1) {
                ZuObjectRef stroke;
                if (o->GetDefinition(15, stroke) && stroke.IsValid() &&
                    stroke->IsKindOf(CColorDefRef::RetRuntime()))
                    ContrastColorDef(CColorDefRef(stroke), editColor);
                mainPort->SetPenColor(editColor);
                mainPort->SetPen(editPen);
                o->Draw(port, aids);
            }
            if (boxes) {
                mainPort->SetPenColor(NamedColor(COLOR_DRAFT));
                mainPort->SetPen(document->GetPen(1));
                mainPort->DrawRect(DPoint{bounds.x1, bounds.y1}, DPoint{bounds.x2, bounds.y2}, 0.0,
                                   false, true);
            }
        }
    }

    for (int i = current + 1; i < layers; i++)
        DrawOtherLayer(i, visible);

    if (selection->IsBoxSelection()) {
        CPenDefRef boxPen = document->GetPen(3);
        if (boxPen.IsValid()) {
            boxPen->SetDash(0, 2.0 / g.zoom);
            boxPen->SetGap(0, 2.0 / g.zoom);
        }
        mainPort->SetPen(boxPen);
        mainPort->SetPenColor(NamedColor(COLOR_SELECTION));
        const DPoint c[4] = {selection->GetBoxCorner(0), selection->GetBoxCorner(1),
                             selection->GetBoxCorner(2), selection->GetBoxCorner(3)};
        mainPort->DrawLine(c[0], c[2]);
        mainPort->DrawLine(c[2], c[1]);
        mainPort->DrawLine(c[1], c[3]);
        mainPort->DrawLine(c[3], c[0]);
    }
    mainPort->SetDeferred(false);
    mainPort->Flush();
    if (overlayPort->RetTarget().IsValid() && overlayPort->RetTarget()->GetType() >= 0 &&
        overlayPort->RetTarget()->GetType() <= 5)
        overlayPort->Flush();
    return true;
}

// ---------------------------------------------------------------------------
// The window image
// ---------------------------------------------------------------------------

void CPageView::SetupRendering()
{
    if (context.IsInvalid()) {
        const uint32_t w = RetViewWidth(), h = RetViewHeight();
        if (w == 0 || h == 0)
            return;
        Initialise((w + 7) & ~7u, h, GS_VIEW_RGB24);
        renderNeeded = true;
    }
    // The selection measures objects through the main port before the
    // first render.
    if (mainPort.IsValid() && mainPort->RetTarget() != context)
        mainPort->SetTarget(context);
}

void CPageView::Draw(const ZuGrailPortRef& port, const ZuRect& area, ZuDrawOp op)
{
    if (context.IsInvalid())
        return;
    // Where a run on another thread composes its image once done.
    SetPendingDraw(port, area, op);
    // While such a run holds the rendering, the context's rows are being
    // drawn: the window keeps its image until the run's "DrawEvent".
    RenderHold hold(*this, false);
    if (!hold.Held())
        return;
    ++drawDepth;
    if (renderNeeded) {
        RenderPage();
        renderNeeded = false;
    }
    Compose(port, area, op);
    --drawDepth;
}

void CPageView::SetPendingDraw(const ZuGrailPortRef& port, const ZuRect& area, ZuDrawOp op)
{
    pendingPort = port;
    pendingArea = area;
    pendingOp = op;
}

bool CPageView::AsyncDrawEventHandler()
{
    renderNeeded = false;
    if (pendingPort.IsInvalid())
        return true;
    // A further run under way reports again when it is done.
    RenderHold hold(*this, false);
    if (!hold.Held())
        return true;
    // Composed outside the window's update: the pass is opened here and
    // the screen brought up to date.
    pendingPort->BeginDraw(pendingArea, 0);
    Compose(pendingPort, pendingArea, pendingOp);
    pendingPort->EndDraw();
    if (window.IsValid()) {
        const ZuGrailWindowRef& screen = window->RetScreenWindow();
        if (screen.IsValid()) {
            screen->Redraw();
            screen->Flush();
        }
    }
    return true;
}

void CPageView::Redraw(bool render)
{
    if (!hasDocument)
        return;
    renderNeeded = render;
    Display(true);
    UpdateRulerScales();
    UpdateStatus();
}

void CPageView::ResizeRendering()
{
    if (interactionContext.IsValid() && window.IsValid()) {
        const ZuRect& r = window->RetBox();
        const uint32_t w = (uint32_t(r.DX()) + 7) & ~7u, h = uint32_t(r.DY());
        if (w > 0 && h > 0) {
            if (interactionContext->GetType() == GS_VIEW_MONO)
                interactionContext->Resize(w, h);
            else
                interactionContext->CreateContext(w, h, GS_VIEW_MONO);
        }
    }
    // A new size shows more or less of the page: the thumbs follow.
    UpdateScrollers();
    Redraw(true);
}

void CPageView::RefreshInteraction()
{
    if (interactionContext.IsInvalid() || interactionContext->GetType() != GS_VIEW_MONO)
        return;
    // The feedback is shown over a fresh copy of the rendered image, in a
    // draw pass of the view's own box: outside a pass the window's port
    // draws nothing, and the feedback of the step before must go with the
    // image under it. Nothing is rendered here, and a display that is due
    // (a render with it) stays due.
    const ZuGrailPortRef& port = RetGrailPort();
    if (port.IsValid() && context.IsValid() && !state.TestBit(ZU_VIEW_NO_DISPLAY) &&
        box.X2() >= box.X1() && box.Y2() >= box.Y1()) {
        RenderHold hold(*this, false);
        if (hold.Held()) {
            port->BeginDraw(box.X1(), box.Y1(), box.X2(), box.Y2());
            Compose(port, box, ZU_DRAW_ALL);
            port->EndDraw();
        }
    }
    if (window.IsValid()) {
        const ZuGrailWindowRef& screen = window->RetScreenWindow();
        if (screen.IsValid()) {
            screen->Redraw();
            screen->Flush();
        }
    }
}

void CPageView::Pixel(const DPoint& page, double& x, double& y)
{
    DPoint p = page;
    PageToView(p);
    x = p.x;
    y = p.y;
}

void CPageView::DrawGuides(const ZuGrailPortRef& port)
{
    ZuColorPixel colour;
    MakeDrawColor(NamedColor(COLOR_GUIDES), colour, false);
    port->SetForeColor(colour);
    Geometry g;
    GetGeometry(g);
    DRect v;
    RetVisibleRect(v);
    double left, bottom, right, top;
    Pixel(DPoint{v.x1, v.y1}, left, bottom);
    Pixel(DPoint{v.x2, v.y2}, right, top);
    for (int i = 0, n = document->GetGuideCount(true); i < n; i++) {
        double x, y;
        Pixel(DPoint{0.0, document->GetGuide(true, i) - g.pageH / 2.0}, x, y);
        port->DrawLineDX(left, y, right - left);
    }
    for (int i = 0, n = document->GetGuideCount(false); i < n; i++) {
        double x, y;
        Pixel(DPoint{document->GetGuide(false, i) - g.pageW / 2.0, 0.0}, x, y);
        port->DrawLineDY(x, top, bottom - top);
    }
}

void CPageView::DrawGrid(const ZuGrailPortRef& port)
{
    double sx = viewSettings->values[4], sy = viewSettings->values[5];
    if (!Finite(sx) || !Finite(sy) || !(sx > 0.0) || !(sy > 0.0))
        return;
    const double zoom = RetZoom();
    while (sx * zoom < 4.0)
        sx *= 2.0;
    while (sy * zoom < 4.0)
        sy *= 2.0;
    DRect v;
    RetVisibleRect(v);
    if ((v.x2 - v.x1) / sx > kMaxGridSteps || (v.y2 - v.y1) / sy > kMaxGridSteps)
        return;
    ZuColorPixel colour;
    MakeDrawColor(NamedColor(COLOR_GRID), colour, false);
    port->SetForeColor(colour);
    const bool saved = viewSettings->switches[CView::GRID_MAGNETISM];
    viewSettings->switches[CView::GRID_MAGNETISM] = true;
    const DPoint start = Magnetize(DPoint{v.x1, v.y1});
    viewSettings->switches[CView::GRID_MAGNETISM] = saved;
    for (double x = start.x; x < v.x2; x += sx)
        for (double y = start.y; y < v.y2; y += sy) {
            double px, py;
            Pixel(DPoint{x, y}, px, py);
            port->DrawDot(px, py);
        }
}

const char* CPageView::HandleImageName(int kind)
{
    switch (kind) {
    case 3:
        return "lumbra_HandleNormMR";
    case 4:
        return "lumbra_HandleNormPB";
    case 5:
        return "lumbra_HandleRotate";
    case 7:
        return "lumbra_HandleCrosGV";
    case 8:
        return "lumbra_HandleCrosGR";
    case 9:
        return "lumbra_HandleNormGV";
    default:
        return "lumbra_HandleNormGR";
    }
}

void CPageView::DrawHandleIcon(const ZuGrailPortRef& port, const DPoint& page, int kind, int state)
{
    double x, y;
    Pixel(page, x, y);
    const ZuAtomRef name(HandleImageName(kind));
    // The handle's picture is centred on its point, where a press grabs it.
    double w = 0.0, h = 0.0;
    const ZuLookManRef& look = ZuLookMan::Current();
    if (look.IsInvalid() || !look->GetIconSize(name, w, h, 0))
        return;
    ZuAdornerRef adorner = port->RetAdorner();
    if (adorner.IsValid())
        adorner->DrawIcon(std::floor(x) - std::floor(w / 2.0), std::floor(y) - std::floor(h / 2.0),
                          name, static_cast<ZuCtrlState>(state), 0.0, 0.0);
}

void CPageView::DrawHandles(const ZuGrailPortRef& port)
{
    if (selection->IsEditingObject())
        return;
    const bool boxShown = selection->IsBoxShown();
    if (selection->GetSelectedCount() <= kMaxObjectHandles) {
        CTreeNodeRef parent;
        selection->GetEditParent(parent);
        if (parent.IsValid())
            for (CTreeNodeRef child = parent->RetFirstChild(); child.IsValid();
                 child = CTreeNodeRef(child->RetNext())) {
                const CGraObjectRef o = ObjectOf(child);
                if (o.IsInvalid() || o->GetEditMode() == 0)
                    continue;
                for (int n = o->GetHandleCount() - 1; n >= 0; n--) {
                    DPoint at;
                    if (o->IsHandleSelected(n) || !o->GetHandle(n, at))
                        continue;
                    int kind = o->GetHandleType(n);
                    if (boxShown) {
                        if (kind != 2)
                            continue;
                        kind = 4;
                    }
                    DrawHandleIcon(port, at, kind, 0);
                }
            }
    }
    if (boxShown)
        for (int i = 0, n = selection->GetHandleCount(); i < n; i++)
            DrawHandleIcon(port, selection->GetHandlePoint(i), selection->GetHandleStyle(i), 0);
}

void CPageView::DrawOverlayMarks(const ZuGrailPortRef& port)
{
    if (overlay.zoomRect) {
        ZuColorPixel colour;
        MakeDrawColor(NamedColor(COLOR_ZOOM_RECT), colour, false);
        port->SetForeColor(colour);
        double x1, y1, x2, y2;
        Pixel(overlay.zoomCorners[0], x1, y1);
        Pixel(overlay.zoomCorners[1], x2, y2);
        port->DrawRect(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2));
    }
    if (overlay.rubberLine) {
        ZuColorPixel colour;
        MakeDrawColor(NamedColor(COLOR_ZOOM_RECT), colour, false);
        port->SetForeColor(colour);
        double x1, y1, x2, y2;
        Pixel(overlay.rubberEnds[0], x1, y1);
        Pixel(overlay.rubberEnds[1], x2, y2);
        port->DrawAALineTo(x1, y1, x2, y2);
    }
    if (overlay.editCursor && selection->IsEditingObject() && overlay.editStep < 8) {
        ZuColorPixel colour;
        MakeDrawColor(NamedColor(COLOR_EDIT_CURSOR), colour, false);
        port->SetForeColor(colour);
        double x1, y1, x2, y2;
        Pixel(overlay.cursorEnds[0], x1, y1);
        Pixel(overlay.cursorEnds[1], x2, y2);
        port->DrawAALineTo(x1, y1, x2, y2);
        if (std::fabs(y2 - y1) <= std::fabs(x2 - x1))
            port->DrawAALineTo(x1, y1 - 1.0, x2, y2 - 1.0);
        else
            port->DrawAALineTo(x1 - 1.0, y1, x2 - 1.0, y2);
    }
}

void CPageView::Compose(const ZuGrailPortRef& port, const ZuRect& area, ZuDrawOp op)
{
    if (context.IsInvalid() || port.IsInvalid())
        return;
    GSView::Draw(port, area, op);
    if (document.IsInvalid() || viewSettings.IsInvalid() || selection.IsInvalid())
        return;
    if (viewSettings->switches[CView::SHOW_GUIDES])
        DrawGuides(port);
    if (viewSettings->switches[CView::SHOW_GRID])
        DrawGrid(port);
    DrawPropertyMarks(port);
    DrawOverlayMarks(port);
    if (interactionContext.IsValid() && interactionContext->GetType() == GS_VIEW_MONO)
        interactionContext->CopyRectToPort(port, box);
    if (selection->HasSelection() && !overlay.suppressHandles[0] && !overlay.suppressHandles[1] &&
        !overlay.suppressHandles[2])
        DrawHandles(port);
    if (overlay.hotHandle)
        DrawHandleIcon(port, overlay.hotPoint, overlay.hotKind, 1);
    DrawReticle(port);
    if (selection->IsSelectedAlone())
        DrawHandleIcon(port, overlay.lonePoint, overlay.loneKind, 0);
}
