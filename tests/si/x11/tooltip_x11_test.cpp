// A control's tool tip on the X server: the pointer moved onto the control
// through XTest makes the tip window, which maps only once the test clock
// passes the look's tool-tip delay, below the pointer, and unmaps when the
// pointer leaves.
#include <gtest/gtest.h>

#include <functional>

#include <poll.h>

#include "sd/win32/sd_event.h"
#include "sd/win32/sd_grailwdo.h"
#include "si/app.h"
#include "si/control.h"
#include "si/time.h"
#include "si/tooltip.h"
#include "tests/support/looks.h"
#include "tests/support/views.h"
#include "tests/support/xvfb.h"
#include "w32/systime.h"
#include "w32/x11.h"

// Last: the X headers define names (KeyPress, ButtonPress...) as macros.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace {

auto* const g_xvfb = ::testing::AddGlobalTestEnvironment(new XvfbEnvironment);

// The waits give up after about 20 seconds, in rounds of 20 ms.
constexpr int kRounds = 1000;

class ToolTipX11 : public LookTest {
protected:
    void SetUp() override
    {
        LookTest::SetUp();
        if (!XvfbEnvironment::Available())
            return;
        ASSERT_TRUE(W32_X11InUse());
        peer = XOpenDisplay(nullptr);
        ASSERT_NE(peer, nullptr);
        RegisterWindowClass();
        W32_SetTestClock(1700000000000);
        app = ZuNew<ZuApp>(nullptr);
        ZuApp::Initialise(app);
        app->NotifyActiveApp(true);
        app->HandleTick(ZuTime::NowGMTAbsTime(), false);
        w = ZuNew<ZuWindow>(Zuvi_app_zone);
        w->InitGeom(100, 100, 200, 100, ZuStringRef("Fen\xEAtre"), ZuWinStyle());
        control = ZuNew<ZuControl>(Zuvi_app_zone);
        control->SetBox(ZuRect(10, 10, 59, 29));
        control->SetToolTip(ZuStringRef("Astuce"));
        control->SetParent(w);
        w->ShowNormal();
    }
    void TearDown() override
    {
        if (w.IsValid()) {
            w->Delete();
            w = ZuWindowRef();
            control = ZuControlRef();
            ZuApp::Kill();
            app = ZuAppRef();
            ZuObjectRef::RealiseDeletions();
            W32_ClearTestClock();
            UnregisterWindowClass();
        }
        if (peer != nullptr)
            XCloseDisplay(peer);
        LookTest::TearDown();
    }
    // Dispatches the pointer's messages that arrived, as the main loop does
    // (a wait for an event would block on the others), until the condition
    // holds; false when it never does.
    bool PumpUntil(const std::function<bool()>& condition)
    {
        const ZuEventRef& event = ZuEvent::Current();
        for (int round = 0; round < kRounds; ++round) {
            XSync(peer, False);
            MSG m;
            while (PeekMessageA(&m, nullptr, WM_MOUSEMOVE, WM_MOUSEWHEEL, PM_NOREMOVE)) {
                if (!event->WaitForEvent())
                    break;
                event->DispatchEvent();
                app->SyncWindows(false);
            }
            ZuObjectRef::RealiseDeletions();
            if (condition())
                return true;
            ::poll(nullptr, 0, 20);
        }
        return false;
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
        return XGetWindowAttributes(peer, Window(xid), &a) && a.map_state == IsViewable;
    }
    void PointerAt(int x, int y)
    {
        XTestFakeMotionEvent(peer, -1, x, y, 0);
        XFlush(peer);
    }

    Display* peer = nullptr;
    ZuAppRef app;
    ZuWindowRef w;
    ZuControlRef control;
};

TEST_F(ToolTipX11, TheTipMapsAfterTheDelayBelowThePointerAndUnmapsOnLeaving)
{
    ZUVI_REQUIRE_XVFB();
    const unsigned long window = XidOf(w);
    ASSERT_NE(window, 0ul);
    ASSERT_TRUE(PumpUntil([&] { return Mapped(window); }));

    // Onto the control: the tip is made, not mapped. The window's origin is
    // its client area's on the screen (the X window holds the frame too).
    double ox = 0, oy = 0;
    w->GetWindowOrigin(ox, oy);
    int root_x = int(ox) + 30, root_y = int(oy) + 20;
    Window child;
    PointerAt(root_x, root_y);
    ASSERT_TRUE(PumpUntil([&] { return control->RetToolTipWindow().IsValid(); }));
    ZuToolTipRef tip(control->RetToolTipWindow());
    ASSERT_TRUE(tip.IsValid());

    const unsigned delay = ZuLookMan::Current()->RetToolTipDelay();
    W32_AdvanceTestClock(delay - 1);
    app->HandleTick(ZuTime::NowGMTAbsTime(), true);
    PumpUntil([] { return true; });
    const unsigned long xid = XidOf(tip);
    EXPECT_TRUE(xid == 0 || !Mapped(xid));

    W32_AdvanceTestClock(1);
    app->HandleTick(ZuTime::NowGMTAbsTime(), true);
    ASSERT_TRUE(PumpUntil([&] { return XidOf(tip) != 0 && Mapped(XidOf(tip)); }));
    const unsigned long tip_xid = XidOf(tip);
    int tip_x = 0, tip_y = 0;
    XTranslateCoordinates(peer, Window(tip_xid), DefaultRootWindow(peer), 0, 0, &tip_x, &tip_y,
                          &child);
    EXPECT_EQ(tip_x, root_x);
    EXPECT_EQ(tip_y, root_y + 20);

    // Away from the control, inside the window: the tip goes.
    XSelectInput(peer, Window(tip_xid), StructureNotifyMask);
    XSync(peer, False);
    XTranslateCoordinates(peer, Window(window), DefaultRootWindow(peer), 150, 80, &root_x, &root_y,
                          &child);
    PointerAt(root_x, root_y);
    bool gone = PumpUntil([&] {
        while (XPending(peer) > 0) {
            XEvent e;
            XNextEvent(peer, &e);
            if ((e.type == UnmapNotify && e.xunmap.window == Window(tip_xid)) ||
                (e.type == DestroyNotify && e.xdestroywindow.window == Window(tip_xid)))
                return true;
        }
        return false;
    });
    EXPECT_TRUE(gone);
    EXPECT_TRUE(control->RetToolTipWindow().IsInvalid());
}

} // namespace
