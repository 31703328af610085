#include "si/grailwdo.h"

#include <cmath>

#include "si/classfactory.h"
#include "si/error.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "zoveda/gfxsurface.h"

ZU_IMPLEMENT_CLASS(ZuGrailWindow, "si/grailwdo", ZU_CLASS_NOT_STORED)
ZU_ENUM_REGISTER(ZuWinStyleBit)

Zuvi_GrailWindowLinks Zuvi_grail_window_links = {};

unsigned ZuGrailWindow::g_window_id = 0;
ZuGrailWindowRef ZuGrailWindow::g_window_main;
bool ZuGrailWindow::g_zorder_allowed = false;

ZuAtomRef ZuGrailWindow::notify_redrawn;
ZU_EXPORT_NOTIFY(ZuGrailWindow, redrawn, "notify_redrawn", &ZuGrailWindow::notify_redrawn)

namespace {

ZuGrailPixmapRef NewPixmap()
{
    return ZuNew<ZuGrailPixmap>(Zuvi_app_zone);
}

void DeletePixmap(ZuGrailPixmapRef& pixmap)
{
    ZuGrailPixmapRef gone = pixmap;
    pixmap = ZuGrailPixmapNull;
    gone->Delete();
}

} // namespace

ZuGrailWindow::ZuGrailWindow()
    : record(nullptr), window_id(0), active(false), open(false), visible(false), reduced(false),
      painting(false), flushed(false), content_dx(0), content_dy(0), overlay_func(nullptr),
      overlay_arg(nullptr), overlay_present(0)
{
    InitPlatform();
    style.SetBit(ZU_WINSTYLE_FRAMELESS);
    InitOverlays();
}

ZuGrailWindow::~ZuGrailWindow()
{
    KillPlatform();
}

void ZuGrailWindow::Delete()
{
    KillPlatform();
    KillOverlays();
    window = ZuObjectRef();
    ZuGrailPixmap::Delete();
}

void ZuGrailWindow::StoreInstance(const ZuStorageRef&)
{
    ZU_ABORT("Trying to save Grail Window");
}

void ZuGrailWindow::RestoreInstance(const ZuStorageRef&)
{
    ZU_ABORT("Trying to restore Grail Window");
}

void ZuGrailWindow::BeginDraw(double x1, double y1, double x2, double y2)
{
    ZuGrailPixmap::BeginDraw(x1, y1, x2, y2);
    SetDrawingOffset(-frame.X1(), -frame.Y1());
}

// A pass that was not begun (a rectangle below twice the margin) leaves the
// offset of the pass around it alone.
void ZuGrailWindow::BeginDraw(const ZuRect& r, double margin)
{
    int depth_before = gc_stack_depth;
    ZuGrailPixmap::BeginDraw(r, margin);
    if (gc_stack_depth != depth_before)
        SetDrawingOffset(-frame.X1(), -frame.Y1());
}

void ZuGrailWindow::SetFrameGeometry(const ZuRect& r)
{
    frame = r;
}

void ZuGrailWindow::GetFrameGeometry(ZuRect& r) const
{
    r = frame;
}

// ---------------------------------------------------------------------------
// The overlay
// ---------------------------------------------------------------------------

void ZuGrailWindow::InitOverlays()
{
    overlay_present = 0;
    overlay = NewPixmap();
    overlay->InitSurface(depth);
}

// The overlay goes with its pixmap, so that nobody is handed the emptied
// handle as overlay 1.
void ZuGrailWindow::KillOverlays()
{
    if (overlay.IsValid())
        DeletePixmap(overlay);
    overlay_present = 0;
}

bool ZuGrailWindow::NewOverlay(const ZuColorPixel& color, unsigned& id)
{
    if (overlay_present != 0)
        return false;
    ZuGrailPixmapRef made = NewPixmap();
    made->Initialise(1, dx, dy);
    if (overlay.IsValid())
        DeletePixmap(overlay);
    overlay = made;
    overlay_color = color;
    overlay_func = nullptr;
    overlay_arg = nullptr;
    overlay_present = 1;
    id = 1;
    return true;
}

bool ZuGrailWindow::DeleteOverlay(unsigned id)
{
    if (!HasOverlay(id))
        return false;
    DeletePixmap(overlay);
    overlay_present = 0;
    return true;
}

bool ZuGrailWindow::SetOverlayColor(unsigned id, const ZuColorPixel& color)
{
    if (!HasOverlay(id))
        return false;
    overlay_color = color;
    return true;
}

bool ZuGrailWindow::SetOverlayFunc(unsigned id, ZuGrailOverlayFunc func, void* arg)
{
    if (!HasOverlay(id))
        return false;
    overlay_func = func;
    overlay_arg = arg;
    return true;
}

bool ZuGrailWindow::GetOverlay(unsigned id, ZuGrailPixmapRef& pixmap, ZuColorPixel& color) const
{
    if (!HasOverlay(id))
        return false;
    pixmap = overlay;
    color = overlay_color;
    return true;
}

bool ZuGrailWindow::GetOverlayFunc(unsigned id, ZuGrailOverlayFunc& func, void*& arg) const
{
    if (!HasOverlay(id))
        return false;
    func = overlay_func;
    arg = overlay_arg;
    return true;
}

const ZuGrailPixmapRef& ZuGrailWindow::RetOverlayPixmap(unsigned id) const
{
    return HasOverlay(id) ? overlay : ZuGrailPixmapNull;
}

const ZuColorPixel& ZuGrailWindow::RetOverlayColor(unsigned id) const
{
    static const ZuColorPixel default_color;
    return HasOverlay(id) ? overlay_color : default_color;
}

void ZuGrailWindow::UpdateOverlaySize()
{
    if (overlay_present == 0 || !overlay.IsValid())
        return;
    double width = 0, height = 0;
    overlay->GetSize(width, height);
    if (std::trunc(width) != std::trunc(dx) || std::trunc(height) != std::trunc(dy))
        overlay->Initialise(overlay->RetDepth(), dx, dy);
}
