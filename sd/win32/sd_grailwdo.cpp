#include "sd/win32/sd_grailwdo.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>

#include "sd/win32/dxsurface.h"
#include "sd/win32/sd_grailcur.h"
#include "si/error.h"
#include "si/grailwdo.h"
#include "si/maininit.h"
#include "si/memzone.h"
#include "w32/kernel.h"
#include "w32/module.h"
#include "zoveda/gfxsurface.h"

HINSTANCE Zuvi_GrWindowRec::instance = nullptr;
char Zuvi_GrWindowRec::class_name[200] = {};
ATOM Zuvi_GrWindowRec::class_atom = 0;
WNDCLASSEXA Zuvi_GrWindowRec::window_class = {};

namespace {

// The first SetAsMainAppWindow of the process shows the window as the
// program was asked to start.
bool g_first_show = true;
// Rectangles drawn, for the debug trace.
int g_drawn_count = 0;

// While the library itself reorders its windows: every other change of
// order is refused, so that the windows keep the order the library gave
// them.
struct ZOrderAllowed {
    bool before;
    ZOrderAllowed() : before(ZuGrailWindow::g_zorder_allowed)
    {
        ZuGrailWindow::g_zorder_allowed = true;
    }
    ~ZOrderAllowed() { ZuGrailWindow::g_zorder_allowed = before; }
};

int Trunc(double v)
{
    return static_cast<int>(std::trunc(v));
}

bool AppRunning()
{
    return Zuvi_grail_window_links.app_running != nullptr && Zuvi_grail_window_links.app_running();
}

bool AppActive()
{
    return Zuvi_grail_window_links.app_active == nullptr || Zuvi_grail_window_links.app_active();
}

void CopyName(const ZuStringRef& name, char out[200])
{
    out[0] = '\0';
    if (name.IsValid())
        name->GetStringCopy(out, 200);
}

// A window rectangle as the library's inclusive rectangle (empty when
// inverted).
ZuRect FromRECT(const RECT& r)
{
    return ZuRect(r.left, r.top, r.right - 1, r.bottom - 1);
}

// Bytes a pixel of a screen format: 555, 565, 24-bit, 32-bit.
unsigned BytesOfFormat(unsigned format)
{
    return format == 3 || format == 4 ? 2 : format == 5 ? 3 : format == 6 ? 4 : 0;
}

} // namespace

// ---------------------------------------------------------------------------
// The window class
// ---------------------------------------------------------------------------

void Zuvi_GrWindowRec::FormatClassName(const char* program_path, unsigned long thread,
                                       unsigned long process, char out[200])
{
    const char* path = program_path != nullptr ? program_path : "";
    const char* base = path;
    for (const char* p = path; *p; ++p)
        if (*p == '/' || *p == '\\')
            base = p + 1;
    std::snprintf(out, 200, "%s:%s:%lx:%lx", ZU_GRAIL_CLASS_PREFIX, base, thread, process);
}

void Zuvi_GrWindowRec::GlobalInit(HINSTANCE inst)
{
    instance = inst;
    char path[260];
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    if (n == 0)
        path[0] = '\0';
    FormatClassName(path, GetCurrentThreadId(), GetCurrentProcessId(), class_name);

    std::memset(&window_class, 0, sizeof window_class);
    window_class.cbSize = 48;
    // Every window keeps its own device context; no double clicks, and no
    // repainting of the whole window on a resize.
    window_class.style = CS_OWNDC;
    window_class.lpfnWndProc = GrailWindowProc;
    window_class.cbClsExtra = 0;
    window_class.cbWndExtra = ZU_GRAIL_WORD_BYTES;
    window_class.hInstance = inst;
    window_class.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    window_class.hCursor = nullptr;
    window_class.hbrBackground = nullptr;
    window_class.lpszMenuName = nullptr;
    window_class.lpszClassName = class_name;
    window_class.hIconSm = nullptr;
    class_atom = RegisterClassExA(&window_class);
}

void Zuvi_GrWindowRec::GlobalKill()
{
    UnregisterClassA(class_name, instance);
}

int WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR, int)
{
    if (previous != nullptr)
        return 0;
    Zuvi_GrWindowRec::GlobalInit(instance);
    Zuvi_MainInit();
    Zuvi_GrWindowRec::GlobalKill();
    return 0;
}

ZuGrailWindow* GrailWindowFromHandle(HWND hwnd)
{
    if (hwnd == nullptr)
        return nullptr;
    LONG_PTR object = GetWindowLongPtrA(hwnd, ZU_GRAIL_WORD_OBJECT);
    if (object == 0 || DWORD(GetWindowLongA(hwnd, ZU_GRAIL_WORD_MARKER)) != ZU_GRAIL_MARKER)
        return nullptr;
    return reinterpret_cast<ZuGrailWindow*>(object);
}

// ---------------------------------------------------------------------------
// Searches
// ---------------------------------------------------------------------------

// Words are read without the object: another application's word 0 is an
// address in that process.
bool Zuvi_IsLibraryWindow(HWND hwnd, const char* prefix)
{
    if (hwnd == nullptr || GetWindowLongPtrA(hwnd, ZU_GRAIL_WORD_OBJECT) == 0 ||
        DWORD(GetWindowLongA(hwnd, ZU_GRAIL_WORD_MARKER)) != ZU_GRAIL_MARKER)
        return false;
    char name[200];
    if (GetClassNameA(hwnd, name, sizeof name) <= 0)
        return false;
    std::size_t n = std::strlen(prefix);
    return n != 0 && std::strncmp(name, prefix, n) == 0;
}

HWND Zuvi_FindLibraryWindow(int x, int y, const char* prefix, unsigned n)
{
    struct Search {
        int x, y;
        const char* prefix;
        unsigned n;
        HWND first;
        HWND found;
        bool Fits(HWND w) const
        {
            RECT r;
            return Zuvi_IsLibraryWindow(w, prefix) && IsWindowVisible(w) && !IsIconic(w) &&
                   GetWindowRect(w, &r) && r.left < x && x < r.right && r.top < y && y < r.bottom;
        }
        static BOOL Visit(HWND w, LPARAM p)
        {
            Search* s = reinterpret_cast<Search*>(p);
            if (w == s->first || !s->Fits(w))
                return TRUE;
            if (s->n-- == 0) {
                s->found = w;
                return FALSE;
            }
            return TRUE;
        }
    };
    POINT p{x, y};
    Search s{x, y, prefix, n, WindowFromPoint(p), nullptr};
    if (s.first != nullptr && s.Fits(s.first)) {
        if (s.n == 0)
            return s.first;
        --s.n;
    }
    EnumWindows(&Search::Visit, LPARAM(&s));
    return s.found;
}

HWND Zuvi_GrWindowRec::EnumAppWindows(unsigned index, char* name, unsigned size)
{
    struct Walk {
        unsigned index;
        HWND found;
        static BOOL Visit(HWND w, LPARAM p)
        {
            Walk* k = reinterpret_cast<Walk*>(p);
            if (!Zuvi_IsLibraryWindow(w, ZU_GRAIL_CLASS_PREFIX))
                return TRUE;
            if (k->index-- == 0) {
                k->found = w;
                return FALSE;
            }
            return TRUE;
        }
    };
    Walk k{index, nullptr};
    EnumWindows(&Walk::Visit, LPARAM(&k));
    if (k.found == nullptr || name == nullptr || size == 0)
        return k.found;
    char cls[200];
    name[0] = '\0';
    if (GetClassNameA(k.found, cls, sizeof cls) <= 0)
        return k.found;
    const char* from = cls + std::strlen(ZU_GRAIL_CLASS_PREFIX);
    if (*from == ':')
        ++from;
    unsigned n = 0;
    while (from[n] != '\0' && from[n] != '.' && from[n] != '/' && from[n] != ':' && n + 1 < size) {
        name[n] = from[n];
        ++n;
    }
    name[n] = '\0';
    return k.found;
}

bool ZuGrailWindow::FindOwnWindow(double x, double y, ZuGrailWindowRef& out, unsigned n)
{
    HWND w = Zuvi_FindLibraryWindow(Trunc(x), Trunc(y), Zuvi_GrWindowRec::RetClassName(), n);
    ZuGrailWindow* port = GrailWindowFromHandle(w);
    if (port == nullptr)
        return false;
    out = port;
    return true;
}

// The outputs are only written: nothing read from them on entry decides
// the answer.
bool ZuGrailWindow::FindZuviWindow(double x, double y, Zuvi_RemAppIDRec*& window,
                                   unsigned& serial_out, unsigned n)
{
    HWND w = Zuvi_FindLibraryWindow(Trunc(x), Trunc(y), ZU_GRAIL_CLASS_PREFIX, n);
    if (w == nullptr)
        return false;
    window = reinterpret_cast<Zuvi_RemAppIDRec*>(w);
    serial_out = unsigned(GetWindowLongA(w, ZU_GRAIL_WORD_SERIAL));
    return true;
}

bool ZuGrailWindow::GetDisplayBox(ZuRect& box, unsigned n)
{
    if (n != 0)
        return false;
    RECT r{0, 0, 0, 0};
    GetWindowRect(GetDesktopWindow(), &r);
    box = ZuRect(0, 0, r.right - r.left - 1, r.bottom - r.top - 1);
    return true;
}

bool ZuGrailWindow::GetDisplayFromPoint(double x, double y, unsigned& n)
{
    RECT r{0, 0, 0, 0};
    GetWindowRect(GetDesktopWindow(), &r);
    int px = Trunc(x), py = Trunc(y);
    if (px < 0 || px > r.right || py < 0 || py > r.bottom)
        return false;
    n = 0;
    return true;
}

bool ZuGrailWindow::MakeFrontWindows(const ZuBaseContainerRef& windows)
{
    std::vector<HWND> moved;
    ZuBaseContainer* list = windows.Resolve();
    if (list != nullptr && Zuvi_grail_window_links.port_of_window != nullptr) {
        unsigned count = list->TotalCount();
        HDWP batch = BeginDeferWindowPos(int(count));
        for (unsigned i = 0; i < count && batch != nullptr; ++i) {
            ZuObjectRef w;
            if (!list->Get(i, w))
                continue;
            ZuGrailWindow* port = Zuvi_grail_window_links.port_of_window(w);
            Zuvi_GrWindowRec* rec = port != nullptr ? port->record : nullptr;
            if (rec == nullptr || rec->hwnd == nullptr || rec->topmost)
                continue;
            batch = DeferWindowPos(batch, rec->hwnd, HWND_TOP, 0, 0, 0, 0,
                                   SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW | SWP_NOACTIVATE);
            moved.push_back(rec->hwnd);
        }
        if (batch != nullptr) {
            ZOrderAllowed allowed;
            EndDeferWindowPos(batch);
        }
    }
    for (HWND h : moved)
        InvalidateRect(h, nullptr, FALSE);
    return true;
}

// ---------------------------------------------------------------------------
// Creation and life
// ---------------------------------------------------------------------------

void ZuGrailWindow::InitPlatform()
{
    if (Zuvi_GrWindowRec::RetClassAtom() == 0)
        ZU_ABORT("Failed assertion: window->wclass_atom");
    ZuMemZone* zone = RetMemZone();
    if (zone == nullptr)
        ZuMemZone::NullAllocZone("this->RetMemZone ()", __LINE__, ZU_SRC_FILE);
    void* memory =
        zone->Alloc(sizeof(Zuvi_GrWindowRec), "Zuvi_GrWindowRec[]", __LINE__, ZU_SRC_FILE);
    record = ::new (memory) Zuvi_GrWindowRec;
    window_id = g_window_id++;
}

// The window's words are cleared first, so that the messages of its
// destruction no longer reach this object.
void ZuGrailWindow::KillPlatform()
{
    if (record == nullptr)
        return;
    Zuvi_GrWindowRec* r = record;
    record = nullptr;
    DXSurface::Destroy(r->dx_surface);
    r->dx_surface = nullptr;
    if (HWND w = r->hwnd) {
        r->hwnd = nullptr;
        SetWindowLongPtrA(w, ZU_GRAIL_WORD_OBJECT, 0);
        SetWindowLongA(w, ZU_GRAIL_WORD_MARKER, 0);
        ShowWindow(w, SW_HIDE);
        DestroyWindow(w);
    }
    if (g_window_main == this)
        g_window_main = ZuGrailWindowNull;
    open = visible = reduced = active = painting = false;
    r->~Zuvi_GrWindowRec();
    ZuMemZone::FreeAnyZone(r, __LINE__, ZU_SRC_FILE);
}

void ZuGrailWindow::Initialise(const ZuObjectRef& owner, const ZuWinStyle& s,
                               const ZuStringRef& name, const ZuRect& box, double margin)
{
    if (!(box.DX() > 2 * margin))
        ZU_ABORT("Failed assertion: (ZuRelCoord)(box.DX ()) > (2*margin)");
    if (!(box.DY() > 2 * margin))
        ZU_ABORT("Failed assertion: (ZuRelCoord)(box.DY ()) > (2*margin)");
    Initialise(owner, s, name, box.X1() + margin, box.Y1() + margin, box.X2() - margin,
               box.Y2() - margin);
}

void ZuGrailWindow::Initialise(const ZuObjectRef& owner, const ZuWinStyle& s,
                               const ZuStringRef& name, double x1, double y1, double x2, double y2)
{
    if (!((x2 > x1) && (y2 > y1)))
        ZU_ABORT("Failed assertion: (x2 > x1) && (y2 > y1)");
    if (record == nullptr)
        InitPlatform();
    // A second creation replaces the first platform window.
    if (HWND old = record->hwnd) {
        record->hwnd = nullptr;
        DXSurface::Destroy(record->dx_surface);
        record->dx_surface = nullptr;
        SetWindowLongPtrA(old, ZU_GRAIL_WORD_OBJECT, 0);
        SetWindowLongA(old, ZU_GRAIL_WORD_MARKER, 0);
        DestroyWindow(old);
    }
    DWORD ex_style = 0;
    if (s.TestBit(ZU_WINSTYLE_FRAMELESS))
        ex_style |= WS_EX_TOOLWINDOW;
    else
        ex_style |= s.TestBit(ZU_WINSTYLE_TOOL) ? WS_EX_TOOLWINDOW : WS_EX_APPWINDOW;
    if (s.TestBit(ZU_WINSTYLE_TOOL))
        ex_style |= WS_EX_TOOLWINDOW;
    if (s.TestBit(ZU_WINSTYLE_TOPMOST))
        ex_style |= WS_EX_TOPMOST;
    ex_style |= WS_EX_ACCEPTFILES;

    style = s;
    record->tool = s.TestBit(ZU_WINSTYLE_TOOL);
    record->topmost = s.TestBit(ZU_WINSTYLE_TOPMOST);
    record->no_activation = s.TestBit(ZU_WINSTYLE_NO_ACTIVATION);
    int left = 0, top = 0, right = 0, bottom = 0;
    GetFrameSize(s, left, top, right, bottom);

    char title[200];
    CopyName(name, title);

    ZuGrailWindow* owner_port = Zuvi_grail_window_links.owner_of != nullptr
                                    ? Zuvi_grail_window_links.owner_of(owner)
                                    : nullptr;
    HWND owner_window = owner_port != nullptr && owner_port != this && owner_port->record != nullptr
                            ? owner_port->record->hwnd
                            : nullptr;

    HWND w = CreateWindowExA(ex_style, Zuvi_GrWindowRec::RetClassName(), title, WS_POPUP,
                             Trunc(x1) - left, Trunc(y1) - top, Trunc(x2 - x1) + left + right + 1,
                             Trunc(y2 - y1) + top + bottom + 1, owner_window, nullptr,
                             Zuvi_GrWindowRec::RetInstance(), nullptr);
    if (w == nullptr)
        ZU_ABORT("Failed assertion: window");
    record->hwnd = w;
    SetWindowLongPtrA(w, ZU_GRAIL_WORD_OBJECT, LONG_PTR(this));
    SetWindowLongA(w, ZU_GRAIL_WORD_MARKER, LONG(ZU_GRAIL_MARKER));
    SetWindowLongA(w, ZU_GRAIL_WORD_SERIAL, LONG(window_id));
    SetWindowLongA(w, ZU_GRAIL_WORD_ZERO, 0);

    content_dx = x2 - x1 + 1;
    content_dy = y2 - y1 + 1;
    window = owner;
    frame_box = ZuRect(x1 - left, y1 - top, x2 + right, y2 + bottom);

    HDC dc = GetDC(w);
    RealizePalette(dc);
    ReleaseDC(w, dc);

    record->dx_surface = DXSurface::Create(w);
    if (record->dx_surface != nullptr)
        record->dx_surface->EnableMask(0, true);

    ZuGrailPixmap::Initialise(ZuGrailPixmapNull, frame_box.DX(), frame_box.DY());
}

void ZuGrailWindow::ChangeName(const ZuStringRef& name)
{
    if (record == nullptr || record->hwnd == nullptr)
        return;
    char title[200];
    CopyName(name, title);
    SetWindowTextA(record->hwnd, title);
}

// ---------------------------------------------------------------------------
// Showing and state
// ---------------------------------------------------------------------------

// Showing a minimised window as it is would leave it minimised while the
// flags say it is not: it is restored instead.
void ZuGrailWindow::Open()
{
    if (record == nullptr || record->hwnd == nullptr || (open && !reduced))
        return;
    record->app_active = AppActive();
    int command = record->app_active ? SW_SHOW : SW_SHOWNOACTIVATE;
    if (reduced && record->app_active)
        command = SW_RESTORE;
    ShowWindow(record->hwnd, command);
    UpdateWindow(record->hwnd);
    reduced = false;
    open = true;
    visible = true;
}

void ZuGrailWindow::Reduce()
{
    if (record == nullptr || record->hwnd == nullptr || (open && reduced))
        return;
    ShowWindow(record->hwnd, SW_MINIMIZE);
    UpdateWindow(record->hwnd);
    // A display with nowhere to put a reduced window (an X server without
    // a window manager) keeps it shown: the flags say what the user sees,
    // and the owner, which took itself for reduced, hears that it is not.
    if (!IsIconic(record->hwnd)) {
        open = visible = true;
        reduced = false;
        if (Zuvi_grail_window_links.changed_reduced != nullptr && window.IsValid())
            Zuvi_grail_window_links.changed_reduced(window, false);
        return;
    }
    visible = false;
    open = true;
    reduced = true;
}

void ZuGrailWindow::Close()
{
    if (!open || record == nullptr || record->hwnd == nullptr)
        return;
    ShowWindow(record->hwnd, SW_HIDE);
    open = visible = reduced = false;
}

void ZuGrailWindow::ActivateAsFrontWindow(bool activate)
{
    if (!open || record == nullptr || record->hwnd == nullptr)
        return;
    record->app_active = AppActive();
    if (reduced)
        return;
    ZOrderAllowed allowed;
    UINT flags = SWP_NOSIZE | SWP_NOMOVE;
    if (record->no_activation)
        flags |= SWP_NOACTIVATE;
    if (!activate)
        flags |= SWP_NOZORDER;
    SetWindowPos(record->hwnd, record->topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, flags);
    SetWindowPos(record->hwnd, HWND_TOP, 0, 0, 0, 0, flags);
}

void ZuGrailWindow::SetAsMainAppWindow(bool main)
{
    if (!main)
        return;
    if (g_first_show && record != nullptr && record->hwnd != nullptr) {
        g_first_show = false;
        ShowWindow(record->hwnd, SW_SHOWDEFAULT);
    }
    g_window_main = this;
}

void ZuGrailWindow::SysChangedActive(bool value)
{
    if (value == active)
        return;
    active = value;
    if (Zuvi_grail_window_links.changed_active != nullptr && window.IsValid())
        Zuvi_grail_window_links.changed_active(window, value);
}

void ZuGrailWindow::SysChangedOpen(bool value)
{
    if (value == open)
        return;
    open = value;
    if (Zuvi_grail_window_links.changed_open != nullptr && window.IsValid())
        Zuvi_grail_window_links.changed_open(window, value);
}

void ZuGrailWindow::SysChangedVisible(bool value)
{
    if (value == visible)
        return;
    visible = value;
    if (Zuvi_grail_window_links.changed_visible != nullptr && window.IsValid())
        Zuvi_grail_window_links.changed_visible(window, value);
}

void ZuGrailWindow::SysChangedReduced(bool value)
{
    if (value == reduced)
        return;
    reduced = value;
    if (Zuvi_grail_window_links.changed_reduced != nullptr && window.IsValid())
        Zuvi_grail_window_links.changed_reduced(window, value);
}

bool ZuGrailWindow::IsActive() const
{
    return active;
}

const ZuWinStyle& ZuGrailWindow::RetStyle() const
{
    return style;
}

// ---------------------------------------------------------------------------
// Geometry
// ---------------------------------------------------------------------------

void ZuGrailWindow::SetOrigin(double x, double y)
{
    if (record == nullptr || record->hwnd == nullptr)
        return;
    frame_box.SetOrigin(x + frame.X1(), y + frame.Y1());
    MoveWindow(record->hwnd, Trunc(frame_box.X1()), Trunc(frame_box.Y1()),
               frame_box.IsEmpty() ? 0 : Trunc(frame_box.DX()), Trunc(frame_box.DY()), TRUE);
}

void ZuGrailWindow::GetOrigin(double& x, double& y) const
{
    x = frame_box.X1() - frame.X1();
    y = frame_box.Y1() - frame.Y1();
}

void ZuGrailWindow::ResizeSurface()
{
    dx = frame_box.DX();
    dy = frame_box.DY();
    if (record != nullptr)
        record->drawn = false;
    if (surface != nullptr && dx > 0 && dy > 0)
        surface->SetNewSize(unsigned(dx), unsigned(dy));
    UpdateOverlaySize();
}

void ZuGrailWindow::SetSize(double width, double height)
{
    if ((width == content_dx && height == content_dy) || record == nullptr ||
        record->hwnd == nullptr)
        return;
    double grow_x = width - content_dx, grow_y = height - content_dy;
    frame_box.X2() += grow_x;
    frame_box.Y2() += grow_y;
    frame.X2() += grow_x;
    frame.Y2() += grow_y;
    content_dx = width;
    content_dy = height;
    SetWindowPos(record->hwnd, nullptr, Trunc(frame_box.X1()), Trunc(frame_box.Y1()),
                 Trunc(frame_box.DX()), Trunc(frame_box.DY()),
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_DEFERERASE);
    ResizeSurface();
}

void ZuGrailWindow::GetSize(double& width, double& height) const
{
    width = content_dx;
    height = content_dy;
}

bool ZuGrailWindow::GetDrawRect(ZuRect& rect) const
{
    if (!painting)
        return false;
    rect = draw_rect;
    return true;
}

void ZuGrailWindow::UserChangedGeometry()
{
    if (record == nullptr || record->hwnd == nullptr || IsIconic(record->hwnd))
        return;
    RECT r;
    if (!GetWindowRect(record->hwnd, &r))
        return;
    double old_dx = frame_box.DX(), old_dy = frame_box.DY();
    frame_box = FromRECT(r);
    double grow_x = frame_box.DX() - old_dx, grow_y = frame_box.DY() - old_dy;
    if (grow_x == 0 && grow_y == 0)
        return;
    frame.X2() += grow_x;
    frame.Y2() += grow_y;
    content_dx += grow_x;
    content_dy += grow_y;
    if (surface != nullptr)
        ResizeSurface();
    if (Zuvi_grail_window_links.changed_geometry != nullptr && window.IsValid())
        Zuvi_grail_window_links.changed_geometry(window, frame_box);
}

void ZuGrailWindow::GetFrameSize(int& left, int& top, int& right, int& bottom) const
{
    GetFrameSize(style, left, top, right, bottom);
}

void ZuGrailWindow::GetFrameSize(const ZuWinStyle& s, int& left, int& top, int& right, int& bottom)
{
    if (s.TestBit(ZU_WINSTYLE_FRAMELESS)) {
        left = top = right = bottom = 0;
        return;
    }
    int caption = GetSystemMetrics(s.TestBit(ZU_WINSTYLE_TOOL) ? SM_CYSMCAPTION : SM_CYCAPTION);
    if (s.TestBit(ZU_WINSTYLE_SIZABLE)) {
        left = right = GetSystemMetrics(SM_CXSIZEFRAME);
        top = caption + GetSystemMetrics(SM_CYSIZEFRAME);
        bottom = GetSystemMetrics(SM_CYSIZEFRAME);
    } else {
        left = right = GetSystemMetrics(SM_CXEDGE) + GetSystemMetrics(SM_CXBORDER);
        top = caption + GetSystemMetrics(SM_CYEDGE) + GetSystemMetrics(SM_CYBORDER);
        bottom = GetSystemMetrics(SM_CYEDGE) + GetSystemMetrics(SM_CYBORDER);
    }
}

// ---------------------------------------------------------------------------
// Drawing and the screen copy
// ---------------------------------------------------------------------------

bool ZuGrailWindow::ConvertToScreen(int x, int y, int width, int height, unsigned format,
                                    void* memory, unsigned pitch)
{
    if (surface == nullptr || width <= 0 || height <= 0)
        return true;
    unsigned char* at =
        static_cast<unsigned char*>(memory) + size_t(y) * pitch + size_t(x) * BytesOfFormat(format);
    switch (format) {
    case 3:
        surface->QuickBltTo555(unsigned(x), unsigned(y), unsigned(width), unsigned(height), at,
                               pitch);
        return true;
    case 4:
        surface->QuickBltTo565(unsigned(x), unsigned(y), unsigned(width), unsigned(height), at,
                               pitch);
        return true;
    case 5:
        surface->QuickBltTo24(unsigned(x), unsigned(y), unsigned(width), unsigned(height), at,
                              pitch);
        return true;
    case 6:
        surface->QuickBltTo32(unsigned(x), unsigned(y), unsigned(width), unsigned(height), at,
                              pitch);
        return true;
    default:
        return false;
    }
}

void ZuGrailWindow::EndDraw()
{
    HWND w = record != nullptr ? record->hwnd : nullptr;
    RECT r{Trunc(gc->x1), Trunc(gc->y1), Trunc(gc->x2) + 1, Trunc(gc->y2) + 1};
    RECT client{0, 0, 0, 0};
    if (w != nullptr)
        GetClientRect(w, &client);
    r.left = std::max(r.left, client.left);
    r.top = std::max(r.top, client.top);
    r.right = std::min(r.right, client.right);
    r.bottom = std::min(r.bottom, client.bottom);
    bool drew = w != nullptr && r.right > r.left && r.bottom > r.top;
    if (drew)
        InvalidateRect(w, &r, FALSE);

    ZuGrailPixmap::EndDraw();
    if (record != nullptr)
        record->drawn = true;
    if (!drew)
        return;

    if (long(r.right - r.left) * long(r.bottom - r.top) > 90000)
        Zuvi_Trace("==> ");
    Zuvi_Trace("%6d x=[%d %d] y=[%d %d]\n", ++g_drawn_count, int(r.left), int(r.right), int(r.top),
               int(r.bottom));

    DXSurface* dxs = record->dx_surface;
    if (dxs != nullptr && dxs->Lock()) {
        DXSurfaceDesc d;
        if (dxs->GetDesc(&d) && surface != nullptr) {
            int right = std::min<long>(r.right, std::min(d.width, surface->DX()));
            int bottom = std::min<long>(r.bottom, std::min(d.height, surface->DY()));
            ConvertToScreen(r.left, r.top, right - r.left, bottom - r.top, d.format, d.memory,
                            d.pitch);
        }
        dxs->Unlock();
    }
}

void ZuGrailWindow::Flush()
{
    ZuGrailPort::Flush();
    flushed = true;
    if (record != nullptr && record->hwnd != nullptr)
        UpdateWindow(record->hwnd);
}

void ZuGrailWindow::CopyOverlaysToMasks()
{
    DXSurface* dxs = record != nullptr ? record->dx_surface : nullptr;
    if (dxs == nullptr)
        return;
    for (unsigned i = 1;; ++i) {
        ZuGrailPixmapRef pixmap;
        ZuColorPixel color;
        if (!GetOverlay(i, pixmap, color) || !pixmap.IsValid())
            break;
        GfxSurface* s = pixmap->LockSurface();
        ZuGrailOverlayFunc func = nullptr;
        void* arg = nullptr;
        GetOverlayFunc(i, func, arg);
        DXMaskDesc mask;
        if (s != nullptr && dxs->GetMaskDesc(i - 1, &mask)) {
            bool bits = !s->IsEmpty();
            uint32_t rgb =
                uint32_t(color.Red()) << 16 | uint32_t(color.Green()) << 8 | color.Blue();
            dxs->SetMask(i - 1, rgb, func, arg, bits);
            if (bits) {
                unsigned rows = std::min(mask.height, s->DY());
                unsigned bytes = std::min(mask.row_bytes, s->Pitch());
                for (unsigned row = 0; row < rows; ++row)
                    std::memcpy(mask.bits + size_t(row) * mask.row_bytes, s->Line(int(row)), bytes);
            }
        }
        pixmap->UnlockSurface(s);
    }
}

// The DirectDraw paint when it works, else GDI. Both show the window's
// pixels whatever the screen's format: the DirectDraw paint converts them
// into the screen's, and GDI is told how the surface's pixels are laid out.
void ZuGrailWindow::Redraw(const ZuRect& rect)
{
    if (record == nullptr || record->hwnd == nullptr)
        return;
    HWND w = record->hwnd;
    DXSurface* dxs = record->dx_surface;
    if (record->drawn && dxs != nullptr) {
        flushed = false;
        if (dxs->Lock()) {
            DXSurfaceDesc d;
            bool converted = false;
            if (dxs->GetDesc(&d) && surface != nullptr && BytesOfFormat(d.format) != 0) {
                int width = int(std::min(d.width, surface->DX()));
                int height = int(std::min(d.height, surface->DY()));
                unsigned count = CountPartitions();
                converted = true;
                if (count == 0) {
                    ConvertToScreen(0, 0, width, height, d.format, d.memory, d.pitch);
                } else {
                    for (unsigned i = 0; i < count; ++i) {
                        if (RedrawPartition(i, int(d.format) - 2, d.memory, d.pitch))
                            continue;
                        ZuRect part;
                        ZuObjectRef object;
                        if (!GetPartition(i, part, object) || part.IsEmpty())
                            continue;
                        int x1 = std::max(0, Trunc(part.X1())), y1 = std::max(0, Trunc(part.Y1()));
                        int x2 = std::min(width - 1, Trunc(part.X2()));
                        int y2 = std::min(height - 1, Trunc(part.Y2()));
                        ConvertToScreen(x1, y1, x2 - x1 + 1, y2 - y1 + 1, d.format, d.memory,
                                        d.pitch);
                    }
                }
            }
            dxs->Unlock();
            if (converted) {
                CopyOverlaysToMasks();
                if (dxs->Blt(rect, this)) {
                    if (!rect.IsEmpty()) {
                        RECT v{Trunc(rect.X1()), Trunc(rect.Y1()), Trunc(rect.X2()) + 1,
                               Trunc(rect.Y2()) + 1};
                        ValidateRect(w, &v);
                    }
                    return;
                }
            }
        }
    }

    PAINTSTRUCT ps;
    HDC dc = BeginPaint(w, &ps);
    if (record->drawn && surface != nullptr && surface->DY() > 0 &&
        (surface->BytesPerPixel() == 2 || surface->BytesPerPixel() == 4)) {
        painting = true;
        draw_rect = FromRECT(ps.rcPaint);
        // A top-down bitmap over the surface's rows: 16-bit pixels in the
        // 565 layout the surface keeps (told by their masks), or 0x00RRGGBB.
        BITMAPINFO info;
        std::memset(&info, 0, sizeof info);
        BITMAPINFOHEADER& h = info.bmiHeader;
        unsigned bpp = surface->BytesPerPixel();
        h.biSize = sizeof(BITMAPINFOHEADER);
        h.biWidth = LONG(surface->Pitch() / bpp);
        h.biHeight = -LONG(surface->DY());
        h.biPlanes = 1;
        h.biBitCount = WORD(bpp * 8);
        if (bpp == 2) {
            h.biCompression = BI_BITFIELDS;
            const DWORD masks[3] = {0xF800u, 0x07E0u, 0x001Fu};
            std::memcpy(info.bmiColors, masks, sizeof masks);
        } else {
            h.biCompression = BI_RGB;
        }
        const void* bits = surface->Line(0);
        LONG rows = LONG(surface->DY());
        auto put = [&](const RECT& r) {
            LONG pw = r.right - r.left, ph = r.bottom - r.top;
            if (pw <= 0 || ph <= 0)
                return;
            SetDIBitsToDevice(dc, r.left, r.top, DWORD(pw), DWORD(ph), r.left,
                              int(rows - r.top - ph), 0, UINT(rows), bits, &info, DIB_RGB_COLORS);
        };
        unsigned count = CountPartitions();
        if (count == 0) {
            put(ps.rcPaint);
        } else {
            for (unsigned i = 0; i < count; ++i) {
                ZuRect part;
                ZuObjectRef object;
                if (!GetPartition(i, part, object) || object.IsValid() || part.IsEmpty())
                    continue;
                RECT r{std::max(Trunc(part.X1()), int(ps.rcPaint.left)),
                       std::max(Trunc(part.Y1()), int(ps.rcPaint.top)),
                       std::min(Trunc(part.X2()) + 1, int(ps.rcPaint.right)),
                       std::min(Trunc(part.Y2()) + 1, int(ps.rcPaint.bottom))};
                put(r);
            }
        }
        QuickReport(notify_redrawn, 0);
        painting = false;
    }
    EndPaint(w, &ps);
}

void ZuGrailWindow::Redraw()
{
    double width = 0, height = 0;
    ZuGrailPixmap::GetSize(width, height);
    Redraw(width > 0 && height > 0 ? ZuRect(0, 0, width - 1, height - 1) : ZuRect());
}

void ZuGrailWindow::RedrawIcon() {}

// ---------------------------------------------------------------------------
// The window procedure
// ---------------------------------------------------------------------------

// The window procedure's access to the screen window's state.
class Zuvi_GrWindowProc {
public:
    static LRESULT Handle(ZuGrailWindow* w, HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    // Lets a mask's callback draw into the composed DirectDraw picture: for
    // the time of the call the window draws into the buffer's memory, its
    // own pixels kept aside.
    static void PaintOverlay(ZuGrailPixmap* pixmap, void* memory, unsigned width, unsigned height,
                             unsigned pitch, DXMaskCallback callback, void* argument);
};

void Zuvi_GrWindowProc::PaintOverlay(ZuGrailPixmap* pixmap, void* memory, unsigned width,
                                     unsigned height, unsigned pitch, DXMaskCallback callback,
                                     void* argument)
{
    if (pixmap == nullptr || callback == nullptr || width == 0 || height == 0 ||
        !pixmap->IsKindOf(ZuGrailWindowRef::RetRuntime()))
        return;
    ZuGrailWindow* w = static_cast<ZuGrailWindow*>(pixmap);
    GfxSurface* lent = GfxSurface::New(16);
    if (lent == nullptr)
        return;
    lent->Initialise(width, height, memory, pitch, false);
    GfxSurface* own = w->surface;
    w->surface = lent;
    w->BeginDraw(w->frame.X1(), w->frame.Y1(), w->frame.X1() + width - 1,
                 w->frame.Y1() + height - 1);
    callback(argument, pixmap);
    w->ZuGrailPixmap::EndDraw();
    w->surface = own;
    GfxSurface::Delete(lent);
}

namespace {
struct OverlayPainterHook {
    OverlayPainterHook() { DXSurface::SetOverlayPainter(&Zuvi_GrWindowProc::PaintOverlay); }
} overlay_painter_hook;
} // namespace

LRESULT Zuvi_GrWindowProc::Handle(ZuGrailWindow* w, HWND hwnd, UINT message, WPARAM wparam,
                                  LPARAM lparam)
{
    Zuvi_GrWindowRec* rec = w->record;
    switch (message) {
    case WM_MOVE: {
        LRESULT result = DefWindowProcA(hwnd, message, wparam, lparam);
        w->UserChangedGeometry();
        return result;
    }
    case WM_SIZE: {
        if (wparam == SIZE_RESTORED)
            w->SysChangedReduced(false);
        else if (wparam == SIZE_MINIMIZED)
            w->SysChangedReduced(true);
        LRESULT result = DefWindowProcA(hwnd, message, wparam, lparam);
        w->UserChangedGeometry();
        if (w->window.IsValid() && Zuvi_grail_window_links.display != nullptr)
            Zuvi_grail_window_links.display(w->window);
        return result;
    }
    case WM_ACTIVATE: {
        bool activating = LOWORD(wparam) != 0;
        if (activating && rec->no_activation)
            return 0;
        if (!activating) {
            ZuGrailWindow* other = GrailWindowFromHandle(reinterpret_cast<HWND>(lparam));
            if (other != nullptr && other->record != nullptr && other->record->no_activation)
                return 0;
        }
        w->SysChangedActive(activating);
        w->SysChangedReduced(HIWORD(wparam) != 0);
        if (activating && Zuvi_grail_window_links.reorder_windows != nullptr)
            Zuvi_grail_window_links.reorder_windows();
        return 0;
    }
    case WM_PAINT: {
        RECT r;
        if (IsIconic(hwnd)) {
            w->RedrawIcon();
            if (GetUpdateRect(hwnd, &r, FALSE))
                ValidateRect(hwnd, &r);
        } else if (GetUpdateRect(hwnd, &r, FALSE)) {
            w->Redraw(FromRECT(r));
        }
        return 0;
    }
    case WM_CLOSE:
        // The system's close goes round the queue, so that the window hears
        // of it after the current event; the close that comes back ends
        // the round.
        if (!rec->close_posted) {
            rec->close_posted = true;
            PostMessageA(hwnd, WM_CLOSE, wparam, lparam);
        } else {
            rec->close_posted = false;
        }
        return 0;
    case WM_ERASEBKGND:
        w->Redraw();
        return 1;
    case WM_SHOWWINDOW:
        w->SysChangedVisible(wparam != 0);
        return DefWindowProcA(hwnd, message, wparam, lparam);
    case WM_ACTIVATEAPP:
        if (Zuvi_grail_window_links.notify_active_app != nullptr)
            Zuvi_grail_window_links.notify_active_app(wparam != 0);
        return 0;
    case WM_SETCURSOR:
        Zuvi_RestoreCurrentCursor();
        return DefWindowProcA(hwnd, message, wparam, lparam);
    case WM_MOUSEACTIVATE:
        if (!rec->no_activation)
            SetFocus(hwnd);
        return MA_NOACTIVATE;
    case WM_WINDOWPOSCHANGING:
        if (!ZuGrailWindow::g_zorder_allowed && lparam != 0)
            reinterpret_cast<WINDOWPOS*>(lparam)->flags |= SWP_NOZORDER;
        return DefWindowProcA(hwnd, message, wparam, lparam);
    case WM_QUERYNEWPALETTE: {
        HDC dc = GetDC(hwnd);
        RealizePalette(dc);
        ReleaseDC(hwnd, dc);
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    }
    case WM_PALETTEISCHANGING:
        if (reinterpret_cast<HWND>(wparam) != hwnd)
            InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case WM_PALETTECHANGED:
        if (reinterpret_cast<HWND>(wparam) != hwnd) {
            HDC dc = GetDC(hwnd);
            RealizePalette(dc);
            ReleaseDC(hwnd, dc);
            InvalidateRect(hwnd, nullptr, FALSE);
        }
        return 0;
    default:
        return DefWindowProcA(hwnd, message, wparam, lparam);
    }
}

LRESULT GrailWindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam)
{
    ZuGrailWindow* w = hwnd != nullptr && AppRunning() ? GrailWindowFromHandle(hwnd) : nullptr;
    if (w == nullptr || w->RetPrivateWindowInfo() == nullptr)
        return DefWindowProcA(hwnd, message, wparam, lparam);
    return Zuvi_GrWindowProc::Handle(w, hwnd, message, wparam, lparam);
}
