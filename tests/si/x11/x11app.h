// The fixture of the X11 tests that run an application on the X server:
// the window class, the test clock, an active application, a second
// connection to the server (the user's hands, through XTest) and a pump
// that serves events as the main loop does. Tests make their views in
// SetUp after the fixture's and let them go in DeleteViews.
#ifndef TESTS_SI_X11_X11APP_H
#define TESTS_SI_X11_X11APP_H

#include <gtest/gtest.h>

#include <functional>

#include <poll.h>

#include "sd/win32/sd_event.h"
#include "sd/win32/sd_grailwdo.h"
#include "si/app.h"
#include "si/time.h"
#include "tests/support/looks.h"
#include "tests/support/views.h"
#include "tests/support/xvfb.h"
#include "w32/systime.h"
#include "w32/x11.h"

// Last: the X headers define names (KeyPress, ButtonPress...) as macros.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

class X11AppTest : public LookTest {
protected:
    // The waits give up after about 20 seconds, in rounds of 20 ms.
    static constexpr int kRounds = 1000;

    // False when no X server is there (the test then skips).
    bool StartApplication()
    {
        if (!XvfbEnvironment::Available())
            return false;
        EXPECT_TRUE(W32_X11InUse());
        peer = XOpenDisplay(nullptr);
        EXPECT_NE(peer, nullptr);
        if (peer == nullptr)
            return false;
        RegisterWindowClass();
        W32_SetTestClock(1700000000000);
        app = ZuNew<ZuApp>(nullptr);
        ZuApp::Initialise(app);
        app->NotifyActiveApp(true);
        app->HandleTick(ZuTime::NowGMTAbsTime(), false);
        started = true;
        return true;
    }
    void SetUp() override { LookTest::SetUp(); }
    void TearDown() override
    {
        if (started) {
            DeleteViews();
            ZuApp::Kill();
            app = ZuAppRef();
            ZuObjectRef::RealiseDeletions();
            Zuvi_ResetEventLayer();
            W32_ClearTestClock();
            UnregisterWindowClass();
        }
        if (peer != nullptr)
            XCloseDisplay(peer);
        LookTest::TearDown();
    }
    virtual void DeleteViews() {}

    // Serves what arrived as the main loop does, until nothing waits: the
    // quit comes out last, after any button change that a pointer message
    // left pending for the next wait.
    void Serve()
    {
        ZuEvent::PostQuitEvent();
        const ZuEventRef& event = ZuEvent::Current();
        while (event->WaitForEvent()) {
            event->DispatchEvent();
            app->SyncWindows(false);
            app->FireAsyncEvents();
            app->SyncWindows(false);
        }
        ZuObjectRef::RealiseDeletions();
    }
    // Serves until the condition holds; false when it never does.
    bool PumpUntil(const std::function<bool()>& condition)
    {
        for (int round = 0; round < kRounds; ++round) {
            XSync(peer, False);
            Serve();
            if (condition())
                return true;
            ::poll(nullptr, 0, 20);
        }
        return false;
    }
    // A few quiet rounds.
    void Settle()
    {
        int quiet = 0;
        PumpUntil([&] { return ++quiet > 10; });
    }
    unsigned long XidOf(const ZuWindowRef& window)
    {
        const ZuGrailWindowRef& screen = window->RetScreenWindow();
        if (screen.IsInvalid() || screen->RetPrivateWindowInfo() == nullptr)
            return 0;
        return W32_X11Window(screen->RetPrivateWindowInfo()->hwnd);
    }
    bool Mapped(unsigned long xid)
    {
        XWindowAttributes a;
        return xid != 0 && XGetWindowAttributes(peer, Window(xid), &a) && a.map_state == IsViewable;
    }
    void PointerAt(int x, int y)
    {
        XTestFakeMotionEvent(peer, -1, x, y, 0);
        XFlush(peer);
    }
    void Button(bool down)
    {
        XTestFakeButtonEvent(peer, 1, down ? True : False, 0);
        XFlush(peer);
    }

    Display* peer = nullptr;
    ZuAppRef app;
    bool started = false;
};

#endif
