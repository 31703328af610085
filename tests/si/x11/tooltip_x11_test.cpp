// A control's tool tip on the X server: the pointer moved onto the control
// through XTest makes the tip window, which maps only once the test clock
// passes the look's tool-tip delay, below the pointer, and unmaps when the
// pointer leaves.
#include "si/control.h"
#include "si/tooltip.h"
// Last: it brings the X headers, whose macros clash with the library's names.
#include "tests/si/x11/x11app.h"

namespace {

auto* const g_xvfb = ::testing::AddGlobalTestEnvironment(new XvfbEnvironment);

class ToolTipX11 : public X11AppTest {
protected:
    void SetUp() override
    {
        X11AppTest::SetUp();
        if (!StartApplication())
            return;
        w = ZuNew<ZuWindow>(Zuvi_app_zone);
        w->InitGeom(100, 100, 200, 100, ZuStringRef("Fen\xEAtre"), ZuWinStyle());
        control = ZuNew<ZuControl>(Zuvi_app_zone);
        control->SetBox(ZuRect(10, 10, 59, 29));
        control->SetToolTip(ZuStringRef("Astuce"));
        control->SetParent(w);
        w->ShowNormal();
    }
    void DeleteViews() override
    {
        w->Delete();
        w = ZuWindowRef();
        control = ZuControlRef();
    }

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
