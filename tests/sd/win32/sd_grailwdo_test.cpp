#include "sd/win32/sd_grailwdo.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "sd/win32/sd_event.h"
#include "si/app.h"
#include "si/classfactory.h"
#include "si/grailwdo.h"
#include "si/list.h"
#include "si/memzone.h"
#include "si/time.h"
#include "tests/support/ports.h"
#include "w32/ddraw.h"
#include "w32/headless.h"
#include "w32/kernel.h"
#include "w32/module.h"
#include "w32/systime.h"
#include "zoveda/gfxsurface.h"

namespace {

TEST(GrailWindowClass, NameFromProgramThreadAndProcess)
{
    struct Case {
        const char* path;
        unsigned long thread, process;
        const char* want;
    } const cases[] = {
        {"/usr/bin/lumbra", 0x1a4, 0x2f0, "Zuvi:Grail:1X:lumbra:1a4:2f0"},
        {"C:\\Apps\\lumbra.exe", 0x1a4, 0x2f0, "Zuvi:Grail:1X:lumbra.exe:1a4:2f0"},
        {"lumbra", 0xABCDEF, 1, "Zuvi:Grail:1X:lumbra:abcdef:1"},
        {"/a\\b/c", 0, 0x10, "Zuvi:Grail:1X:c:0:10"},
        {"", 1, 2, "Zuvi:Grail:1X::1:2"},
    };
    for (const Case& c : cases) {
        char out[200];
        Zuvi_GrWindowRec::FormatClassName(c.path, c.thread, c.process, out);
        EXPECT_STREQ(out, c.want) << c.path;
    }
    // Too long: cut at 199 characters, terminated.
    std::string long_name = "/bin/" + std::string(250, 'x');
    char out[201];
    std::memset(out, 'Z', sizeof out);
    Zuvi_GrWindowRec::FormatClassName(long_name.c_str(), 1, 2, out);
    EXPECT_EQ(std::strlen(out), 199u);
    EXPECT_EQ(out[200], 'Z');
    EXPECT_EQ(std::string(out, 14), "Zuvi:Grail:1X:");
}

TEST(GrailWindowClass, GlobalInitRegistersOneClassForThisThreadAndProcess)
{
    int module;
    HINSTANCE instance = &module;
    Zuvi_GrWindowRec::GlobalInit(instance);
    ASSERT_NE(Zuvi_GrWindowRec::RetClassAtom(), 0);
    char path[260];
    GetModuleFileNameA(nullptr, path, sizeof path);
    char want[200];
    Zuvi_GrWindowRec::FormatClassName(path, GetCurrentThreadId(), GetCurrentProcessId(), want);
    EXPECT_STREQ(Zuvi_GrWindowRec::RetClassName(), want);
    EXPECT_NE(std::strstr(want, ":test_sd_win32:"), nullptr);

    WNDCLASSEXA wc;
    ASSERT_TRUE(GetClassInfoExA(instance, want, &wc));
    EXPECT_EQ(wc.style, CS_OWNDC);
    EXPECT_EQ(wc.cbWndExtra, int(sizeof(void*)) + 12);
    EXPECT_EQ(wc.lpfnWndProc, GrailWindowProc);
    EXPECT_EQ(wc.hInstance, instance);
    EXPECT_EQ(wc.hCursor, nullptr);
    EXPECT_EQ(wc.hbrBackground, nullptr);

    Zuvi_GrWindowRec::GlobalKill();
    EXPECT_FALSE(GetClassInfoExA(instance, want, &wc));
}

TEST(GrailWindowClass, WinMainWithAPreviousInstanceDoesNothing)
{
    int module, previous;
    char path[260];
    GetModuleFileNameA(nullptr, path, sizeof path);
    char name[200];
    Zuvi_GrWindowRec::FormatClassName(path, GetCurrentThreadId(), GetCurrentProcessId(), name);
    EXPECT_EQ(WinMain(&module, &previous, nullptr, 0), 0);
    WNDCLASSEXA wc;
    EXPECT_FALSE(GetClassInfoExA(&module, name, &wc));
}

TEST(GrailWindowClass, WinMainRunsTheLibraryInsideTheClassSpan)
{
    // In a child process: the library's start-up runs to its end (the
    // test program has no application class) and the class is gone after.
    EXPECT_EXIT(
        {
            int module;
            int code = WinMain(&module, nullptr, nullptr, 0);
            WNDCLASSEXA wc;
            bool gone = !GetClassInfoExA(&module, Zuvi_GrWindowRec::RetClassName(), &wc);
            std::exit(code == 0 && gone && Zuvi_GrWindowRec::RetClassAtom() != 0 ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(GrailWindowClass, OnlyWindowsWithTheMarkerAndAnObjectAreLibraryWindows)
{
    int module;
    Zuvi_GrWindowRec::GlobalInit(&module);
    HWND w = CreateWindowExA(0, Zuvi_GrWindowRec::RetClassName(), "", WS_POPUP, 0, 0, 10, 10,
                             nullptr, nullptr, &module, nullptr);
    ASSERT_NE(w, nullptr);
    int object;
    struct Case {
        LONG_PTR word0;
        DWORD marker;
        bool library;
    } const cases[] = {
        {0, 0, false},
        {LONG_PTR(&object), 0, false},
        {0, ZU_GRAIL_MARKER, false},
        {LONG_PTR(&object), ZU_GRAIL_MARKER + 1, false},
        {LONG_PTR(&object), ZU_GRAIL_MARKER, true},
    };
    for (const Case& c : cases) {
        SetWindowLongPtrA(w, ZU_GRAIL_WORD_OBJECT, c.word0);
        SetWindowLongA(w, ZU_GRAIL_WORD_MARKER, LONG(c.marker));
        EXPECT_EQ(GrailWindowFromHandle(w),
                  c.library ? reinterpret_cast<ZuGrailWindow*>(&object) : nullptr);
    }
    EXPECT_EQ(GrailWindowFromHandle(nullptr), nullptr);

    // A window of another class whose name begins with the prefix, but
    // without the words, is not one.
    WNDCLASSEXA wc;
    std::memset(&wc, 0, sizeof wc);
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "Zuvi:Grail:1X:other:1:2";
    ASSERT_NE(RegisterClassExA(&wc), 0);
    HWND other = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 nullptr, nullptr);
    EXPECT_EQ(GrailWindowFromHandle(other), nullptr);
    DestroyWindow(other);
    UnregisterClassA(wc.lpszClassName, nullptr);
    DestroyWindow(w);
    Zuvi_GrWindowRec::GlobalKill();
}

// ---------------------------------------------------------------------------
// Screen windows
// ---------------------------------------------------------------------------

// What the screen windows told their library windows, in order.
std::vector<std::string> g_told;
// Whether the application counts as active.
bool g_app_active = false;
// Library windows (stand-ins) and their screen windows.
std::vector<std::pair<ZuObject*, ZuGrailWindow*>> g_ports;

std::string NameOf(const ZuObjectRef& window)
{
    for (std::size_t i = 0; i < g_ports.size(); ++i)
        if (window.Resolve() == g_ports[i].first)
            return std::string(1, char('A' + i));
    return "?";
}

void Tell(const char* what, const ZuObjectRef& window, bool value)
{
    g_told.push_back(std::string(what) + " " + NameOf(window) + (value ? " 1" : " 0"));
}

class ScreenWindow : public PortTest {
protected:
    void SetUp() override
    {
        PortTest::SetUp();
        saved_links = Zuvi_grail_window_links;
        saved_event_links = Zuvi_event_links;
        W32_SetTestClock(1700000000000LL);
        Zuvi_GrWindowRec::GlobalInit(&module);
        app = ZuNew<ZuApp>(nullptr);
        ZuApp::Initialise(app);
        ZuEvent::Initialise();
        Zuvi_ResetEventLayer();
        g_told.clear();
        g_ports.clear();
        g_app_active = false;

        Zuvi_grail_window_links = Zuvi_GrailWindowLinks{};
        Zuvi_grail_window_links.app_running = [] { return ZuApp::Current().IsValid(); };
        Zuvi_grail_window_links.app_active = [] { return g_app_active; };
        Zuvi_grail_window_links.port_of_window = [](const ZuObjectRef& w) -> ZuGrailWindow* {
            for (auto& p : g_ports)
                if (p.first == w.Resolve())
                    return p.second;
            return nullptr;
        };
        Zuvi_grail_window_links.changed_active = [](const ZuObjectRef& w, bool v) {
            Tell("active", w, v);
        };
        Zuvi_grail_window_links.changed_open = [](const ZuObjectRef& w, bool v) {
            Tell("open", w, v);
        };
        Zuvi_grail_window_links.changed_visible = [](const ZuObjectRef& w, bool v) {
            Tell("visible", w, v);
        };
        Zuvi_grail_window_links.changed_reduced = [](const ZuObjectRef& w, bool v) {
            Tell("reduced", w, v);
        };
        Zuvi_grail_window_links.changed_geometry = [](const ZuObjectRef& w, const ZuRect& box) {
            char text[80];
            std::snprintf(text, sizeof text, "geometry %s %g %g %g %g", NameOf(w).c_str(), box.X1(),
                          box.Y1(), box.X2(), box.Y2());
            g_told.push_back(text);
        };
        Zuvi_grail_window_links.display = [](const ZuObjectRef& w) {
            g_told.push_back("display " + NameOf(w));
        };
        Zuvi_event_links = Zuvi_EventLinks{};
        Zuvi_event_links.window_of_port = [](ZuGrailWindow* port) {
            return port != nullptr ? port->RetWindow() : ZuObjectNull;
        };
        Zuvi_event_links.system_closed = [](const ZuObjectRef& w) {
            g_told.push_back("closed " + NameOf(w));
        };
    }
    void TearDown() override
    {
        W32_HeadlessMouse(0, 0, 0);
        for (ZuGrailWindowRef& w : ports)
            w->Delete();
        ports.clear();
        windows.clear();
        ZuGrailWindow::g_window_main = ZuGrailWindowNull;
        ZuObjectRef::RealiseDeletions();
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {}
        Zuvi_ResetEventLayer();
        ZuEvent::Kill();
        ZuApp::Kill();
        app = ZuAppRef();
        Zuvi_GrWindowRec::GlobalKill();
        W32_DDSetFormat(W32_DD_NONE);
        W32_ClearTestClock();
        Zuvi_grail_window_links = saved_links;
        Zuvi_event_links = saved_event_links;
        PortTest::TearDown();
    }

    // A screen window of that style for the content (x1, y1)-(x2, y2), with
    // a stand-in for its library window; not shown.
    ZuGrailWindowRef NewWindow(ZuWinStyle style, int x1, int y1, int x2, int y2)
    {
        ZuObjectRef window = ZuNew<ZuTime>(Zuvi_app_zone);
        ZuGrailWindowRef w(ZuNew<ZuGrailWindow>(Zuvi_app_zone));
        g_ports.push_back({window.Resolve(), w.CheckAndResolve()});
        w->Initialise(window, style, ZuStringRef("Fen\xEAtre"), ZuRect(x1, y1, x2, y2), 0);
        windows.push_back(window);
        ports.push_back(w);
        return w;
    }
    ZuGrailWindowRef NewWindow(int x1, int y1, int x2, int y2)
    {
        return NewWindow(ZuWinStyle{ZU_WINSTYLE_FRAMELESS}, x1, y1, x2, y2);
    }
    static HWND Hwnd(const ZuGrailWindowRef& w) { return w->RetPrivateWindowInfo()->hwnd; }
    // Serves what the queue holds (paints included) without the event layer.
    static void Pump()
    {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&m);
    }
    static uint32_t Shown(const ZuGrailWindowRef& w, int x, int y)
    {
        uint32_t p = 0xDEADBEEF;
        W32_HeadlessWindowPixel(Hwnd(w), x, y, p);
        return p;
    }
    // The left half red, the right half blue, in one drawing pass.
    static void PaintRedAndBlue(const ZuGrailWindowRef& w, int width, int height)
    {
        w->BeginDraw(0, 0, width - 1, height - 1);
        w->SetForeColor(ZuColorPixel(0x00FF0000u));
        w->FillRect(0, 0, width / 2 - 1, height - 1);
        w->SetForeColor(ZuColorPixel(0x000000FFu));
        w->FillRect(width / 2, 0, width - 1, height - 1);
        w->EndDraw();
    }

    // Red and blue painted and read back on a screen of that format.
    void Paint(W32_DDFormat format, bool direct_draw);

    int module = 0;
    ZuAppRef app;
    std::vector<ZuObjectRef> windows;
    std::vector<ZuGrailWindowRef> ports;
    Zuvi_GrailWindowLinks saved_links;
    Zuvi_EventLinks saved_event_links;
};

TEST_F(ScreenWindow, AFramelessWindowsFrameIsItsContent)
{
    ZuGrailWindowRef w = NewWindow(100, 80, 299, 229);
    RECT r;
    ASSERT_TRUE(GetWindowRect(Hwnd(w), &r));
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.top, 80);
    EXPECT_EQ(r.right, 300);
    EXPECT_EQ(r.bottom, 230);
    double x = 0, y = 0, width = 0, height = 0;
    int l = 1, t = 1, rr = 1, b = 1;
    w->GetOrigin(x, y);
    w->GetSize(width, height);
    w->GetFrameSize(l, t, rr, b);
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 80);
    EXPECT_EQ(width, 200);
    EXPECT_EQ(height, 150);
    EXPECT_EQ(l + t + rr + b, 0);
    ZuGrailPixmapRef pixmap = w;
    pixmap->GetSize(width, height);
    EXPECT_EQ(width, 200);
    EXPECT_EQ(height, 150);
    char title[32];
    GetWindowTextA(Hwnd(w), title, sizeof title);
    EXPECT_STREQ(title, "Fen\xEAtre");
    EXPECT_TRUE(w->RetStyle().TestBit(ZU_WINSTYLE_FRAMELESS));
    EXPECT_EQ(GetWindowLongA(Hwnd(w), ZU_GRAIL_WORD_SERIAL), LONG(w->RetWindowID()));
    ZuObjectRef owner;
    w->GetWindow(owner);
    EXPECT_TRUE(owner == windows[0]);
    EXPECT_TRUE(w->RetWindow() == windows[0]);

    // A sizable window's frame lies around the content; its surface covers
    // both, and the origin stays the content's once the frame geometry says
    // where the content lies in it.
    ZuWinStyle sizable{ZU_WINSTYLE_SIZABLE};
    ZuGrailWindowRef f = NewWindow(sizable, 100, 80, 299, 229);
    ZuGrailWindow::GetFrameSize(sizable, l, t, rr, b);
    EXPECT_EQ(l, GetSystemMetrics(SM_CXSIZEFRAME));
    EXPECT_EQ(t, GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYSIZEFRAME));
    ASSERT_TRUE(GetWindowRect(Hwnd(f), &r));
    EXPECT_EQ(r.left, 100 - l);
    EXPECT_EQ(r.top, 80 - t);
    EXPECT_EQ(r.right, 300 + rr);
    EXPECT_EQ(r.bottom, 230 + b);
    f->SetFrameGeometry(ZuRect(-l, -t, 199 + rr, 149 + b));
    f->GetOrigin(x, y);
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 80);
    f->SetOrigin(10, 20);
    ASSERT_TRUE(GetWindowRect(Hwnd(f), &r));
    EXPECT_EQ(r.left, 10 - l);
    EXPECT_EQ(r.top, 20 - t);
    EXPECT_EQ(r.right - r.left, 200 + l + rr);
}

TEST_F(ScreenWindow, APaintBeforeTheFirstDrawingPassShowsNothing)
{
    for (W32_DDFormat format : {W32_DD_NONE, W32_DD_32}) {
        W32_DDSetFormat(format);
        ZuGrailWindowRef w = NewWindow(100, 80, 199, 139);
        w->Open();
        Pump();
        // Pixels in the surface that no drawing pass ended on.
        GfxSurface* s = w->LockSurface();
        s->RectFill(0, 0, 100, 60, 0x00FF0000u);
        w->UnlockSurface(s);
        InvalidateRect(Hwnd(w), nullptr, FALSE);
        UpdateWindow(Hwnd(w));
        RECT pending;
        EXPECT_FALSE(GetUpdateRect(Hwnd(w), &pending, FALSE)) << "the paint ended";
        EXPECT_EQ(Shown(w, 10, 10), 0u) << format;
        EXPECT_FALSE(w->RetPrivateWindowInfo()->drawn);

        w->BeginDraw(0, 0, 99, 59);
        w->EndDraw();
        EXPECT_TRUE(w->RetPrivateWindowInfo()->drawn);
        w->Flush();
        EXPECT_EQ(Shown(w, 10, 10), 0x00FF0000u) << format;
    }
}

TEST_F(ScreenWindow, PaintedPixelsReadBackForEveryScreenFormat)
{
    struct Case {
        W32_DDFormat format;
        bool direct_draw;
    } const cases[] = {
        {W32_DD_NONE, false}, {W32_DD_565, true}, {W32_DD_555, true},
        {W32_DD_24, true},    {W32_DD_32, true},
    };
    for (const Case& c : cases) {
        W32_DDSetFormat(c.format);
        Paint(c.format, c.direct_draw);
        ports.back()->Delete();
        ports.pop_back();
        ZuObjectRef::RealiseDeletions();
    }
}

void ScreenWindow::Paint(W32_DDFormat format, bool direct_draw)
{
    struct Case {
        W32_DDFormat format;
        bool direct_draw;
    } const c = {format, direct_draw};
    {
        ZuGrailWindowRef w = NewWindow(300, 200, 399, 259);
        EXPECT_EQ(w->RetPrivateWindowInfo()->dx_surface != nullptr, c.direct_draw);
        w->Open();
        Pump();
        unsigned blits = W32_DDPrimaryBlits();
        PaintRedAndBlue(w, 100, 60);
        w->Flush();
        EXPECT_EQ(Shown(w, 0, 0), 0x00FF0000u) << c.format;
        EXPECT_EQ(Shown(w, 49, 59), 0x00FF0000u) << c.format;
        EXPECT_EQ(Shown(w, 50, 0), 0x000000FFu) << c.format;
        EXPECT_EQ(Shown(w, 99, 59), 0x000000FFu) << c.format;
        EXPECT_EQ(W32_DDPrimaryBlits() > blits, c.direct_draw) << c.format;
        EXPECT_EQ(W32_HeadlessScreenPixel(349, 230), 0x00FF0000u) << c.format;

        // A paint of a part only shows that part again.
        w->BeginDraw(0, 0, 99, 59);
        w->SetForeColor(ZuColorPixel(0x0000FF00u));
        w->FillRect(10, 10, 19, 19);
        w->EndDraw();
        w->Flush();
        EXPECT_EQ(Shown(w, 15, 15), 0x0000FF00u) << c.format;
        EXPECT_EQ(Shown(w, 9, 9), 0x00FF0000u) << c.format;
    }
}

TEST_F(ScreenWindow, ADirectDrawFailureFallsBackToGdi)
{
    W32_DDSetFormat(W32_DD_32);
    ZuGrailWindowRef w = NewWindow(300, 200, 399, 259);
    ASSERT_NE(w->RetPrivateWindowInfo()->dx_surface, nullptr);
    w->Open();
    Pump();
    for (unsigned failure : {unsigned(W32_DD_FAIL_LOCK), unsigned(W32_DD_FAIL_BLT)}) {
        W32_DDSetFailures(failure);
        PaintRedAndBlue(w, 100, 60);
        w->Flush();
        W32_DDSetFailures(0);
        EXPECT_EQ(Shown(w, 0, 0), 0x00FF0000u) << failure;
        EXPECT_EQ(Shown(w, 99, 0), 0x000000FFu) << failure;
        RECT pending;
        EXPECT_FALSE(GetUpdateRect(Hwnd(w), &pending, FALSE));
        // Cleared for the next round.
        w->BeginDraw(0, 0, 99, 59);
        w->SetForeColor(ZuColorPixel(0x00000000u));
        w->FillRect(0, 0, 99, 59);
        w->EndDraw();
        w->Flush();
        EXPECT_EQ(Shown(w, 0, 0), 0u);
    }
}

// An overlay's callback draws a green square over what DirectDraw shows.
void DrawGreenSquare(void*, ZuGrailPixmap* pixmap)
{
    pixmap->SetForeColor(ZuColorPixel(0x0000FF00u));
    pixmap->FillRect(10, 10, 19, 19);
}

TEST_F(ScreenWindow, AnOverlayDrawsOnTheScreenOnlyAndTheWindowKeepsItsPixels)
{
    W32_DDSetFormat(W32_DD_565);
    ZuGrailWindowRef w = NewWindow(300, 200, 399, 259);
    ASSERT_NE(w->RetPrivateWindowInfo()->dx_surface, nullptr);
    unsigned id = 0;
    ASSERT_TRUE(w->NewOverlay(ZuColorPixel(0x00FFFFFFu), id));
    ASSERT_TRUE(w->SetOverlayFunc(id, &DrawGreenSquare, nullptr));
    w->Open();
    Pump();
    PaintRedAndBlue(w, 100, 60);
    w->Flush();
    EXPECT_EQ(Shown(w, 15, 15), 0x0000FF00u);
    EXPECT_EQ(Shown(w, 25, 25), 0x00FF0000u);
    EXPECT_EQ(Shown(w, 60, 15), 0x000000FFu);
    // The window's own pixels are still its drawing.
    EXPECT_EQ(Pixel(w, 15, 15), Pixel(w, 25, 25));
    EXPECT_EQ((Pixel(w, 15, 15) >> 16) & 0xFF, 0xFFu);
    EXPECT_EQ(Pixel(w, 15, 15) & 0xFFFF, 0u);
}

TEST_F(ScreenWindow, ASystemCloseReachesEachWindowOnceAfterTheCurrentEvent)
{
    ZuGrailWindowRef a = NewWindow(10, 10, 109, 109);
    ZuGrailWindowRef b = NewWindow(200, 10, 299, 109);
    a->Open();
    b->Open();
    Pump();
    g_told.clear();

    // The second window is closed before the first close came back.
    W32_HeadlessCloseBySystem(Hwnd(a));
    W32_HeadlessCloseBySystem(Hwnd(b));
    EXPECT_TRUE(g_told.empty()) << "nothing happens inside the system's call";
    EXPECT_TRUE(IsWindow(Hwnd(a)));
    EXPECT_TRUE(IsWindow(Hwnd(b)));

    ZuEventRef e = ZuEvent::Current();
    PostThreadMessageA(GetCurrentThreadId(), ZU_MSG_WAKE_UP, 0, 0);
    ASSERT_TRUE(e->WaitForEvent());
    EXPECT_EQ(e->RetType(), ZU_EVENT_WAKE_UP);
    EXPECT_EQ(g_told, (std::vector<std::string>{"closed A", "closed B"}));
    EXPECT_FALSE(a->RetPrivateWindowInfo()->close_posted);
    EXPECT_FALSE(b->RetPrivateWindowInfo()->close_posted);

    // Nothing comes back later.
    PostThreadMessageA(GetCurrentThreadId(), ZU_MSG_WAKE_UP, 0, 0);
    ASSERT_TRUE(e->WaitForEvent());
    EXPECT_EQ(g_told.size(), 2u);

    // A later close of the same window is heard again, once.
    W32_HeadlessCloseBySystem(Hwnd(a));
    PostThreadMessageA(GetCurrentThreadId(), ZU_MSG_WAKE_UP, 0, 0);
    ASSERT_TRUE(e->WaitForEvent());
    EXPECT_EQ(g_told, (std::vector<std::string>{"closed A", "closed B", "closed A"}));
}

TEST_F(ScreenWindow, AWindowWithoutActivationTakesNeitherFocusNorActivation)
{
    ZuGrailWindowRef normal = NewWindow(10, 10, 109, 109);
    ZuWinStyle style{ZU_WINSTYLE_FRAMELESS};
    style.SetBit(ZU_WINSTYLE_NO_ACTIVATION);
    ZuGrailWindowRef quiet = NewWindow(style, 200, 10, 299, 109);
    normal->Open();
    quiet->Open();
    Pump();
    SetFocus(nullptr);
    g_told.clear();

    W32_HeadlessMouse(250, 50, MK_LBUTTON);
    W32_HeadlessMouse(250, 50, 0);
    EXPECT_NE(GetFocus(), Hwnd(quiet));
    EXPECT_NE(GetActiveWindow(), Hwnd(quiet));
    EXPECT_FALSE(quiet->IsActive());

    // Activated by the system all the same: the window does not take it.
    SetActiveWindow(Hwnd(quiet));
    EXPECT_FALSE(quiet->IsActive());
    EXPECT_TRUE(g_told.empty());

    // A click in a window that may be activated gives it the focus.
    W32_HeadlessMouse(50, 50, MK_LBUTTON);
    W32_HeadlessMouse(50, 50, 0);
    EXPECT_EQ(GetFocus(), Hwnd(normal));
    SetActiveWindow(Hwnd(normal));
    EXPECT_TRUE(normal->IsActive());
    EXPECT_EQ(g_told, (std::vector<std::string>{"active A 1"}));
    // Losing the activation to the window without activation is not heard.
    SetActiveWindow(Hwnd(quiet));
    EXPECT_TRUE(normal->IsActive());
}

TEST_F(ScreenWindow, SystemChangesReachTheWindowOnce)
{
    ZuGrailWindowRef w = NewWindow(10, 10, 109, 109);
    w->SetFrameGeometry(ZuRect(0, 0, 99, 99));
    w->Open();
    Pump();
    EXPECT_EQ(g_told, (std::vector<std::string>{"visible A 1"}));
    g_told.clear();

    // A move updates the frame box only; a resize tells the window its new
    // frame box and redisplays it.
    W32_HeadlessMoveBySystem(Hwnd(w), RECT{30, 40, 130, 140});
    double x = 0, y = 0;
    w->GetOrigin(x, y);
    EXPECT_EQ(x, 30);
    EXPECT_EQ(y, 40);
    EXPECT_TRUE(g_told.empty());
    W32_HeadlessMoveBySystem(Hwnd(w), RECT{30, 40, 180, 160});
    double width = 0, height = 0;
    w->GetSize(width, height);
    EXPECT_EQ(width, 150);
    EXPECT_EQ(height, 120);
    ZuRect frame;
    w->GetFrameGeometry(frame);
    EXPECT_TRUE(frame == ZuRect(0, 0, 149, 119));
    ZuGrailPixmapRef pixmap = w;
    pixmap->GetSize(width, height);
    EXPECT_EQ(width, 150);
    EXPECT_FALSE(w->RetPrivateWindowInfo()->drawn);
    EXPECT_EQ(g_told, (std::vector<std::string>{"geometry A 30 40 179 159", "display A"}));
    g_told.clear();

    w->Reduce();
    EXPECT_EQ(g_told, (std::vector<std::string>{"reduced A 1", "display A"}));
    w->Open();
    w->Close();
    w->Close();
    EXPECT_EQ(g_told, (std::vector<std::string>{"reduced A 1", "display A", "reduced A 0",
                                                "display A", "visible A 0"}));
    w->SysChangedOpen(false);
    w->SysChangedOpen(true);
    w->SysChangedOpen(true);
    EXPECT_EQ(g_told.back(), "open A 1");
    EXPECT_EQ(g_told.size(), 6u);

    // In an active application opening shows, restores and activates.
    g_app_active = true;
    w->Reduce();
    EXPECT_TRUE(IsIconic(Hwnd(w)));
    g_told.clear();
    w->Open();
    EXPECT_FALSE(IsIconic(Hwnd(w)));
    EXPECT_TRUE(w->IsActive());
    EXPECT_EQ(g_told, (std::vector<std::string>{"reduced A 0", "display A", "active A 1"}));
}

TEST_F(ScreenWindow, TheLibraryOrdersItsWindowsAndNobodyElse)
{
    ZuGrailWindowRef a = NewWindow(10, 10, 109, 109);
    ZuGrailWindowRef b = NewWindow(50, 50, 149, 149);
    ZuGrailWindowRef c = NewWindow(80, 80, 179, 179);
    for (auto& w : ports)
        w->Open();
    Pump();
    auto top = [] { return GetWindow(nullptr, GW_HWNDFIRST); };

    // The system's reordering is refused.
    SetWindowPos(Hwnd(a), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(top(), Hwnd(c));

    // The list's last window ends on top, the others below it in order.
    ZuListRef list = ZuNew<ZuList>(Zuvi_app_zone);
    list->PushTail(windows[2]);
    list->PushTail(windows[0]);
    list->PushTail(windows[1]);
    EXPECT_TRUE(ZuGrailWindow::MakeFrontWindows(list));
    std::vector<HWND> order;
    for (HWND h = top(); h != nullptr; h = GetWindow(h, GW_HWNDNEXT))
        order.push_back(h);
    ASSERT_GE(order.size(), 3u);
    EXPECT_EQ(order[0], Hwnd(b));
    EXPECT_EQ(order[1], Hwnd(a));
    EXPECT_EQ(order[2], Hwnd(c));

    a->ActivateAsFrontWindow(true);
    EXPECT_EQ(top(), Hwnd(a));
    b->ActivateAsFrontWindow(false);
    EXPECT_EQ(top(), Hwnd(a));

    // The searches: the window under the point first, then the others.
    ZuGrailWindowRef found;
    ASSERT_TRUE(ZuGrailWindow::FindOwnWindow(100, 100, found, 0));
    EXPECT_TRUE(found == a);
    ASSERT_TRUE(ZuGrailWindow::FindOwnWindow(100, 100, found, 1));
    EXPECT_TRUE(found == b);
    ASSERT_TRUE(ZuGrailWindow::FindOwnWindow(100, 100, found, 2));
    EXPECT_TRUE(found == c);
    EXPECT_FALSE(ZuGrailWindow::FindOwnWindow(100, 100, found, 3));
    // Strictly inside: not on the left edge.
    ASSERT_TRUE(ZuGrailWindow::FindOwnWindow(50, 100, found, 0));
    EXPECT_TRUE(found == a);
    EXPECT_FALSE(ZuGrailWindow::FindOwnWindow(50, 100, found, 1));
    Zuvi_RemAppIDRec* remote = nullptr;
    unsigned serial = 0;
    ASSERT_TRUE(ZuGrailWindow::FindZuviWindow(100, 100, remote, serial, 1));
    EXPECT_EQ(reinterpret_cast<HWND>(remote), Hwnd(b));
    EXPECT_EQ(serial, b->RetWindowID());
    c->Close();
    EXPECT_FALSE(ZuGrailWindow::FindOwnWindow(100, 100, found, 2));

    char name[64];
    HWND first = Zuvi_GrWindowRec::EnumAppWindows(0, name, sizeof name);
    EXPECT_EQ(first, top());
    EXPECT_STREQ(name, "test_sd_win32");
    char small[5];
    Zuvi_GrWindowRec::EnumAppWindows(0, small, sizeof small);
    EXPECT_STREQ(small, "test");
    EXPECT_EQ(Zuvi_GrWindowRec::EnumAppWindows(3, name, sizeof name), nullptr);
    list->Delete();
}

TEST_F(ScreenWindow, OneDisplay)
{
    ZuRect box;
    ASSERT_TRUE(ZuGrailWindow::GetDisplayBox(box, 0));
    EXPECT_TRUE(box == ZuRect(0, 0, 1279, 1023));
    EXPECT_FALSE(ZuGrailWindow::GetDisplayBox(box, 1));
    unsigned n = 7;
    EXPECT_TRUE(ZuGrailWindow::GetDisplayFromPoint(1279.9, 0, n));
    EXPECT_EQ(n, 0u);
    EXPECT_FALSE(ZuGrailWindow::GetDisplayFromPoint(-1, 10, n));
    EXPECT_FALSE(ZuGrailWindow::GetDisplayFromPoint(10, 1025, n));
}

TEST_F(ScreenWindow, BadGeometryStops)
{
    EXPECT_DEATH(NewWindow(10, 10, 10, 50), "Failed assertion: \\(x2 > x1\\) && \\(y2 > y1\\)");
    ZuGrailWindowRef w(ZuNew<ZuGrailWindow>(Zuvi_app_zone));
    ports.push_back(w);
    EXPECT_DEATH(w->Initialise(ZuObjectNull, ZuWinStyle(), ZuStringRef(), ZuRect(0, 0, 9, 99), 5),
                 "Failed assertion: \\(ZuRelCoord\\)\\(box.DX \\(\\)\\) > \\(2\\*margin\\)");
}

class ScreenWindowClass : public PortTest {};

// Another class already holds this thread's and process's name when the
// library registers its own.
void RegisterTheClassTwiceAndMakeAWindow()
{
    char path[260], name[200];
    GetModuleFileNameA(nullptr, path, sizeof path);
    Zuvi_GrWindowRec::FormatClassName(path, GetCurrentThreadId(), GetCurrentProcessId(), name);
    WNDCLASSEXA wc;
    std::memset(&wc, 0, sizeof wc);
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = name;
    RegisterClassExA(&wc);
    int module;
    Zuvi_GrWindowRec::GlobalInit(&module);
    ZuNew<ZuGrailWindow>(Zuvi_app_zone);
}

TEST_F(ScreenWindowClass, AFailedRegistrationStopsTheFirstWindow)
{
    EXPECT_DEATH(RegisterTheClassTwiceAndMakeAWindow(), "Failed assertion: window->wclass_atom");
}

} // namespace
