// A fixture for the program's shell as the library's start-up makes it:
// the look manager over the folder of the program's sheets, the class
// "App" made by name and installed as the application, then its
// Initialise; the headless screen, the test clock, and a pump that serves
// events as the main loop does.
#ifndef TESTS_APP_SHELLTEST_H
#define TESTS_APP_SHELLTEST_H

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>

#include "app/app.h"
#include "app/toolpalette.h"
#include "sd/win32/sd_event.h"
#include "sd/win32/sd_grailwdo.h"
#include "si/classfactory.h"
#include "si/event.h"
#include "si/grailwdo.h"
#include "si/menu.h"
#include "si/time.h"
#include "si/viewlayout.h"
#include "si/viewpane.h"
#include "si/memzone.h"
#include "tests/support/looks.h"
#include "tests/support/views.h"
#include "w32/headless.h"
#include "w32/systime.h"

class ShellTest : public LookTest {
protected:
    void SetUp() override
    {
        start_look = false;
        LookTest::SetUp();
        // The program's sheets lie beside the library, unless a test
        // points the folder elsewhere before starting.
        if (!keep_scratch_folder)
            unsetenv("ZUVI_DIR");
        StartLook();
        RegisterWindowClass();
        W32_SetTestClock(1700000000000LL);
        app = AppRef(ZuObjectRef(ZuClassFactory::New("App", nullptr, __LINE__, "apptest")));
        ASSERT_TRUE(app.IsValid());
        ZuApp::Initialise(app);
        app->NotifyActiveApp(true);
        if (initialise)
            app->Initialise(true);
        Pump();
    }
    void TearDown() override
    {
        W32_HeadlessMouse(0, 0, 0);
        Pump();
        ZuApp::Kill();
        app = AppRef();
        Zuvi_ResetEventLayer();
        W32_ClearTestClock();
        UnregisterWindowClass();
        LookTest::TearDown();
    }
    // Serves every queued event up to the pump's own quit.
    void Pump()
    {
        app->SyncWindows(true);
        ZuEvent::PostQuitEvent();
        const ZuEventRef& e = ZuEvent::Current();
        while (e->WaitForEvent())
            e->DispatchEvent();
        app->SyncWindows(true);
    }
    // Whether a quit is waiting in the queue.
    static bool QuitPending()
    {
        MSG msg;
        return PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != 0;
    }
    static HWND Hwnd(const ZuWindowRef& w)
    {
        const ZuGrailWindowRef& screen = w->RetScreenWindow();
        return screen.IsValid() && screen->RetPrivateWindowInfo() != nullptr
                   ? screen->RetPrivateWindowInfo()->hwnd
                   : nullptr;
    }
    // A pixel of what the screen window shows, at a window point.
    std::uint32_t WindowPixel(const ZuWindowRef& w, int x, int y)
    {
        app->SyncWindows(true);
        std::uint32_t p = 0xDEADBEEF;
        W32_HeadlessWindowPixel(Hwnd(w), x, y, p);
        return p & 0xFFFFFF;
    }
    // A click at a window point.
    void Click(const ZuWindowRef& w, double x, double y)
    {
        double ox = 0, oy = 0;
        w->GetWindowOrigin(ox, oy);
        W32_HeadlessMouse(int(ox + x), int(oy + y), 0);
        Pump();
        W32_HeadlessMouse(int(ox + x), int(oy + y), MK_LBUTTON);
        Pump();
        W32_HeadlessMouse(int(ox + x), int(oy + y), 0);
        Pump();
    }
    // A click in the middle of a palette's entry of that code; false when
    // the palette shows none.
    bool ClickPaletteEntry(const CToolPaletteRef& palette, int code)
    {
        for (int n = 0; n < CToolPalette::kMaxItems; n++) {
            const CToolPalette::Item& it = palette->RetItem(n);
            if (it.code != code)
                continue;
            Click(palette->RetWindow(), (it.x1 + it.x2) / 2, (it.y1 + it.y2) / 2);
            return true;
        }
        return false;
    }
    // A click in the middle of a menu's row: the bar's (0 "Fichier",
    // 1 "Edition", ...) or an open submenu's, in the menu's window.
    void ClickMenuRow(const ZuMenuRef& menu, const ZuWindowRef& window, unsigned index)
    {
        double x = 0, y = 0;
        ASSERT_TRUE(MenuRowCentre(menu, index, x, y));
        Click(window, x, y);
    }
    // The window point in the middle of a menu's row; false when the menu
    // has no such row.
    static bool MenuRowCentre(const ZuMenuRef& menu, unsigned index, double& x, double& y)
    {
        ZuRect item;
        if (!menu->RetViewPane()->RetLayout()->GetViewBox(index, item))
            return false;
        const ZuRect& pane = menu->RetViewPane()->RetBox();
        double ox = 0, oy = 0;
        menu->GetOrigin(ox, oy);
        x = ox + pane.X1() + item.X1() + item.DX() / 2;
        y = oy + pane.Y1() + item.Y1() + item.DY() / 2;
        return true;
    }
    // Opens the menu of the main window's bar at that index with a click;
    // the menu opened (empty when none did).
    ZuMenuRef OpenBarMenu(unsigned index)
    {
        const ZuMenuRef& bar = Main()->RetMenuBar();
        ClickMenuRow(bar, Main()->RetWindow(), index);
        return bar->RetOpenSubmenu();
    }
    // A click on a row of a menu of the bar, then time enough for a chosen
    // command to arrive: the menu sends it once it has closed.
    void ChooseMenuRow(unsigned menu, unsigned row)
    {
        const ZuMenuRef submenu = OpenBarMenu(menu);
        ASSERT_TRUE(submenu.IsValid());
        ClickMenuRow(submenu, submenu->RetMenuWindow(), row);
        LetDelayedCommandsRun();
    }
    void LetDelayedCommandsRun()
    {
        for (int i = 0; i < 5; ++i) {
            W32_AdvanceTestClock(50);
            app->HandleTick(ZuTime::NowGMTAbsTime(), true);
            Pump();
        }
    }
    CMainWindowRef Main() const { return app->RetMainWindowObject(); }

    AppRef app;
    // Whether SetUp runs the application's Initialise.
    bool initialise = true;
    // Whether the library folder stays the scratch folder.
    bool keep_scratch_folder = false;
};

#endif
