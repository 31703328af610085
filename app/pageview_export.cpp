// Printing and image export of the page view, and its rendering held
// against a run on another thread. A print or an export never touches the
// view's own context: it makes a fresh context and port, lets the edit
// parent's objects write their PostScript into it and ends the page, and
// the interpreter's printer or file device makes the output.
#include "app/app.h"
#include "app/gragroup.h"
#include "app/graobject.h"
#include "app/pageview.h"
#include "app/printdlg.h"
#include "app/treeit.h"
#include "app/treenode.h"
#include "sd/common/sd_filename.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "w32/debug.h"
#include "w32/dir.h"
#include "w32/kernel.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

ZU_EXPORT_ACTOR(CPageView, FilePrint)
ZU_EXPORT_ACTOR(CPageView, FileExport)
ZU_EXPORT_ACTOR(CPageView, AsyncPrintGo)
ZU_EXPORT_ACTOR(CPageView, AsyncExportGo)

namespace {

// Page millimetres, origin at the page centre, to PostScript points with
// the origin at the page's lower-left corner.
void PageTransform(CGraPortRef& port, double pageW, double pageH)
{
    CGraTransform t;
    port->InitTransform(t);
    t.dx = pageW / 2.0;
    t.dy = pageH / 2.0;
    t.scale = CPageView::ZOOM_100;
    t.angle = 0.0;
    port->SetTransform(t);
}

const char* Latin(const ZuStringRef& s)
{
    const char* text = s.IsValid() ? s->AccessLatin() : nullptr;
    return text ? text : "";
}

// The busy box over the view's window; empty when the shell has none.
CQuestionDlgRef OpenBusyBox(const ZuWindowRef& parent, const char* icon, const char* text)
{
    AppRef app = App::Current();
    CQuestionDlgRef box = app.IsValid() ? app->RetQuestionWait() : CQuestionDlgRef();
    if (box.IsInvalid())
        return box;
    box->Setup(ZuStringRef("question_wait"), ZuStringRef(icon), ZuStringNull, ZuStringNull,
               ZuStringNull, -1, -1);
    box->Open(parent, ZuStringRef(text));
    return box;
}

void CloseBusyBox(const CQuestionDlgRef& box)
{
    if (box.IsValid())
        box->Close();
}

// The messages of a failed run: the file and the cause.
const char kImageFailed[] = "Impossible de cr\xe9"
                            "er l'image \xab %s \xbb :\n%s";
const char kPrintFailed[] = "Impossible d'imprimer la page :\n%s";
const char kCauseSize[] = "la taille de la page ou de l'image n'est pas valable.";
const char kCauseDevice[] = "le p\xe9riph\xe9rique \xab %s \xbb n'est pas disponible.";
const char kCausePrinter[] = "l'imprimante n'est pas disponible.";
const char kCauseFile[] = "le fichier ne peut pas \xea"
                          "tre \xe9"
                          "crit.";
const char kCauseJob[] = "l'impression ne peut pas commencer.";
const char kCauseInterpreter[] = "l'interpr\xe9teur PostScript a signal\xe9 une erreur.";

// Whether the folder that is to hold the file exists and can be written:
// the interpreter would only find out at the end of the page.
bool FolderWritable(const char* osName)
{
    char pattern[ZUVI_PATH_MAX + 4];
    const char* slash = std::strrchr(osName, '/');
    if (slash == nullptr)
        std::snprintf(pattern, sizeof pattern, "./.");
    else
        std::snprintf(pattern, sizeof pattern, "%.*s/.", int(slash - osName), osName);
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(pattern, &data);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    FindClose(find);
    return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
           (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) == 0;
}

} // namespace

GSContextRef CPageView::NewRunContext()
{
    return GSContextRef(ZuObjectRef(
        ZuClassFactory::New(GSContextRef::RetRuntime(), Zuvi_app_zone, __LINE__, ZU_SRC_FILE)));
}

void CPageView::ShowRunError(const char* format, const char* first, const char* second)
{
    char text[1200];
    std::snprintf(text, sizeof text, format, first, second);
    MessageBoxA(nullptr, text, "Lumbra", MB_OK | MB_ICONWARNING);
}

double CPageView::ExportResolution(double width, double pageWidth)
{
    if (!(pageWidth > 0.0) || !std::isfinite(pageWidth) || !std::isfinite(width))
        return 0.0;
    return width * 25.4 / pageWidth;
}

int CPageView::ExportAlphaBits(int aa)
{
    return aa == 2 ? 4 : aa == 1 ? 2 : 1;
}

CPageView::RenderHold::RenderHold(CPageView& view, bool wait) : flag(view.renderHeld), held(false)
{
    while (!(held = !flag.exchange(true, std::memory_order_acquire)) && wait)
        Sleep(1);
}

CPageView::RenderHold::~RenderHold()
{
    if (held)
        flag.store(false, std::memory_order_release);
}

bool CPageView::RenderHeld()
{
    RenderHold hold(*this, true);
    return RenderPage();
}

namespace {

// A node's drawing object; empty when it holds none.
CGraObjectRef DrawingOf(const CTreeNodeRef& node)
{
    ZuObjectRef& o = node->RetObject();
    return o.IsValid() && o->IsKindOf(CGraObjectRef::RetRuntime()) ? CGraObjectRef(o)
                                                                   : CGraObjectRef();
}

// Draws what an object shows on paper: a group only through its members,
// in their order, since its frame marks it on the screen and is no part of
// the page; every other object without its screen marks. A group that a
// stored tree made its own member is drawn once.
void DrawOnPaper(CGraPortRef& port, const CGraObjectRef& object,
                 std::vector<const CGraObject*>& groups)
{
    if (!object->IsKindOf(CGraGroupRef::RetRuntime())) {
        object->Draw(port, 7 | CGraObject::DRAW_ON_PAPER);
        return;
    }
    const CGraObject* self = object.CheckAndResolve();
    if (std::find(groups.begin(), groups.end(), self) != groups.end())
        return;
    groups.push_back(self);
    for (const CGraObjectRef& member : CGraGroupRef(object)->Members())
        DrawOnPaper(port, member, groups);
    groups.pop_back();
}

} // namespace

bool CPageView::RunObjects(const CGraPortRef& target)
{
    if (selection.IsInvalid())
        return true;
    CTreeNodeRef parent;
    selection->GetEditParent(parent);
    if (parent.IsInvalid())
        return true;
    CGraPortRef port = target;
    CTreeIt it;
    it.Init(parent, 1);
    CTreeNodeRef node;
    for (it.Next(node); node.IsValid(); it.Next(node)) {
        CGraObjectRef g = DrawingOf(node);
        if (g.IsInvalid())
            continue;
        // A group's shadow pass reaches all its members' shadows, under
        // every member, as the object draws itself.
        g->DrawShadow(port, 7);
        std::vector<const CGraObject*> groups;
        DrawOnPaper(port, g, groups);
    }
    return true;
}

// ---------------------------------------------------------------------------
// Printing
// ---------------------------------------------------------------------------

namespace {

CPrintDlgRef ThePrintDlg()
{
    const AppRef app = App::Current();
    const ZuObjectRef o = app.IsValid() ? app->RetPrintDlg() : ZuObjectRef();
    return o.IsValid() && o->IsKindOf(CPrintDlgRef::RetRuntime()) ? CPrintDlgRef(o)
                                                                  : CPrintDlgRef();
}

} // namespace

bool CPageView::FilePrint()
{
    pendingFileAction = 3;
    const CPrintDlgRef dlg = ThePrintDlg();
    if (dlg.IsValid())
        dlg->Open(RetWindow());
    return true;
}

bool CPageView::AsyncPrintGo()
{
    // Only the print dialog reports this, and it hands out its settings.
    const CPrintDlgRef dlg = ThePrintDlg();
    if (dlg.IsInvalid())
        return false;
    PrintSettings s;
    dlg->GetSettings(s);
    const CGraScreen screen{s.frequency, s.angle, s.spot, s.negative, s.mirror};
    return PrintRun(screen);
}

bool CPageView::PrintRun(const CGraScreen& settings)
{
    const double pageW = document.IsValid() ? document->GetPageWidth() : 0.0;
    const double pageH = document.IsValid() ? document->GetPageHeight() : 0.0;
    if (!(pageW > 0.0) || !(pageH > 0.0) || !std::isfinite(pageW) || !std::isfinite(pageH)) {
        ShowRunError(kPrintFailed, kCauseSize);
        return false;
    }
    const char* cause = nullptr;
    {
        RenderHold hold(*this, true);
        GSContextRef gs = NewRunContext();
        if (gs.IsInvalid() || !gs->CreatePrintDevice()) {
            cause = kCausePrinter;
        } else if (!gs->ShowPrintDialog()) {
            // A cancelled dialog ends the run without a word.
            return false;
        } else {
            SetPointerShape(-2);
            CQuestionDlgRef box =
                OpenBusyBox(RetWindow(), "lumbra_IconInfo", "\nImpression en cours ...");
            if (!gs->BeginPrint(ZuStringNull)) {
                cause = kCauseJob;
            } else {
                CGraPortRef port = ZuNew<CGraPort>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
                port->InitBinaryMode();
                port->SetTarget(gs);
                port->InitGraphics();
                PageTransform(port, pageW, pageH);
                port->SetScreen(settings);
                port->ErasePage();
                port->SetDeferred(true);
                RunObjects(port);
                port->SetDeferred(false);
                port->ShowPage();
                if (!gs->EndPrint())
                    cause = kCauseInterpreter;
                port->Flush();
                port->SetTarget(GSContextRef());
            }
            CloseBusyBox(box);
        }
    }
    if (cause != nullptr) {
        ShowRunError(kPrintFailed, cause);
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// Export
// ---------------------------------------------------------------------------

bool CPageView::FileExport()
{
    pendingFileAction = 3;
    AppRef app = App::Current();
    CExportDlgRef dlg = app.IsValid() ? app->RetExportDlg() : CExportDlgRef();
    if (dlg.IsInvalid() || document.IsInvalid())
        return true;
    const double pageW = document->GetPageWidth(), pageH = document->GetPageHeight();
    if (converted) {
        const double size[2] = {pageW / 0.1 * exportScale, pageH / 0.1 * exportScale};
        dlg->SetSize(size);
    } else {
        dlg->SetRatio(pageH != 0.0 ? pageW / pageH : 0.0);
    }
    dlg->Open(RetWindow());
    return true;
}

bool CPageView::AsyncExportGo()
{
    AppRef app = App::Current();
    CExportDlgRef dlg = app.IsValid() ? app->RetExportDlg() : CExportDlgRef();
    if (dlg.IsInvalid())
        return false;
    ZuStringRef name = dlg->RetFilename();
    double size[2] = {0.0, 0.0};
    int resolution = 0, bpp = 0, aa = 0;
    char device[CExportDlg::DEVICE_SIZE] = {};
    dlg->GetSettings(size, &resolution, &bpp, device, &aa);
    device[CExportDlg::DEVICE_SIZE - 1] = '\0';
    return ExportRun(name, size, resolution, bpp, ZuStringRef(device), aa);
}

bool CPageView::ExportDocument(const ZuStringRef& name, uint32_t dpi, uint32_t bpp,
                               const ZuStringRef& device, uint32_t aa, double zoom)
{
    if (!converted || document.IsInvalid())
        return false;
    if (!(zoom > 0.0) || !std::isfinite(zoom))
        return false;
    const double size[2] = {document->GetPageWidth() / 0.1 * exportScale * zoom,
                            document->GetPageHeight() / 0.1 * exportScale * zoom};
    return ExportRun(name, size, int(dpi), int(bpp), device, int(aa));
}

bool CPageView::ExportRun(const ZuStringRef& name, const double size[2], int resolution, int bpp,
                          const ZuStringRef& device, int aa)
{
    (void)resolution;
    const char* file = Latin(name);
    const double pageW = document.IsValid() ? document->GetPageWidth() : 0.0;
    const double pageH = document.IsValid() ? document->GetPageHeight() : 0.0;
    const double r = ExportResolution(size[0], pageW);
    // Sizes come from scripts and documents: nothing is made for a page or
    // an image the interpreter cannot take.
    if (!(pageH > 0.0) || !std::isfinite(pageH) || !(r > 0.0) || !std::isfinite(r) ||
        !(size[0] >= 1.0) || !(size[1] >= 1.0) || !(size[0] <= EXPORT_MAX_SIDE) ||
        !(size[1] <= EXPORT_MAX_SIDE)) {
        ShowRunError(kImageFailed, file, kCauseSize);
        return false;
    }
    char osName[ZUVI_PATH_MAX];
    if (std::strlen(file) >= ZUVI_PATH_MAX || file[0] == '\0' ||
        !Zuvi_ConvertToOSName(file, osName) || !FolderWritable(osName)) {
        ShowRunError(kImageFailed, file, kCauseFile);
        return false;
    }
    char cause[300] = "";
    {
        RenderHold hold(*this, true);
        SetPointerShape(-2);
        CQuestionDlgRef box = OpenBusyBox(RetWindow(), "lumbra_IconSave",
                                          "\nCr\xe9"
                                          "ation de l'image en cours ...");
        GSContextRef gs = NewRunContext();
        if (gs.IsInvalid() ||
            !gs->CreateRenderDevice(uint32_t(size[0]), uint32_t(size[1]), r, bpp, device)) {
            std::snprintf(cause, sizeof cause, kCauseDevice, Latin(device));
        } else if (!gs->BeginRender(osName, ExportAlphaBits(aa))) {
            std::snprintf(cause, sizeof cause, "%s", kCauseFile);
        } else {
            CGraPortRef port = ZuNew<CGraPort>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
            port->InitBinaryMode();
            port->SetTarget(gs);
            port->InitGraphics();
            port->ErasePage();
            PageTransform(port, pageW, pageH);
            port->SetDeferred(true);
            RunObjects(port);
            port->SetDeferred(false);
            port->ShowPage();
            if (!gs->EndRender())
                std::snprintf(cause, sizeof cause, "%s", kCauseInterpreter);
            port->Flush();
            port->SetTarget(GSContextRef());
        }
        CloseBusyBox(box);
    }
    if (cause[0] != '\0') {
        ShowRunError(kImageFailed, file, cause);
        return false;
    }
    return true;
}
