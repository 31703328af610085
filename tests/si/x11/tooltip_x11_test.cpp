// A control's tool tip on the X server: the pointer moved onto the control
// through XTest makes the tip window, which maps only once the test clock
// passes the look's tool-tip delay, below the pointer, and unmaps when the
// pointer leaves, when the window is dragged by its bar, or when a button
// is pressed anywhere in the program.
#include "si/control.h"
#include "si/event.h"
#include "si/rtclass.h"
#include "si/textline.h"
#include "si/tooltip.h"
// Last: it brings the X headers, whose macros clash with the library's names.
#include "tests/si/x11/x11app.h"
#include <X11/Xutil.h>

// Posts the quit message when its tick comes.
ZU_HANDLE(TQuitTickX, ZuObject)
class TQuitTickX : public ZuObject, public ZuiTickHandler {
    ZU_CLASS(TQuitTickX, ZuObject)
public:
    TQuitTickX() {}
    void Tick(unsigned) override { ZuEvent::PostQuitEvent(); }
};
ZU_CLASS_END(TQuitTickX)
ZU_IMPLEMENT_CLASS(TQuitTickX, "tests/si/x11/tooltip_x11_test", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(TQuitTickX, ZuiTickHandler)

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

    // The pointer onto the control's window point (x, y), and the clock on
    // past the delay: the tip's X window, mapped, and its box on the root.
    unsigned long ShowTip(const ZuControlRef& over, int x, int y, XRectangle& place)
    {
        double ox = 0, oy = 0;
        over->RetWindow()->GetWindowOrigin(ox, oy);
        PointerAt(int(ox) + x, int(oy) + y);
        EXPECT_TRUE(PumpUntil([&] { return over->RetToolTipWindow().IsValid(); }));
        ZuToolTipRef tip(over->RetToolTipWindow());
        if (tip.IsInvalid())
            return 0;
        W32_AdvanceTestClock(ZuLookMan::Current()->RetToolTipDelay());
        app->HandleTick(ZuTime::NowGMTAbsTime(), true);
        EXPECT_TRUE(PumpUntil([&] { return XidOf(tip) != 0 && Mapped(XidOf(tip)); }));
        const unsigned long xid = XidOf(tip);
        XWindowAttributes a;
        Window child;
        int rx = 0, ry = 0;
        if (xid == 0 || !XGetWindowAttributes(peer, Window(xid), &a))
            return 0;
        XTranslateCoordinates(peer, Window(xid), DefaultRootWindow(peer), 0, 0, &rx, &ry, &child);
        place = XRectangle{short(rx), short(ry), (unsigned short)a.width, (unsigned short)a.height};
        EXPECT_TRUE(
            PumpUntil([&] { return TipPixels(place) > int(place.width) * place.height / 2; }));
        return xid;
    }
    // How many pixels of the root window in the box show the tip's back
    // colour.
    int TipPixels(const XRectangle& place)
    {
        unsigned rgb = 0;
        ZuLookMan::Current()->GetColorCompactRGB(ZU_COLOR_TOOLTIP_BACK, rgb);
        XImage* image = XGetImage(peer, DefaultRootWindow(peer), place.x, place.y, place.width,
                                  place.height, AllPlanes, ZPixmap);
        if (image == nullptr)
            return -1;
        int n = 0;
        for (int y = 0; y < place.height; ++y)
            for (int x = 0; x < place.width; ++x) {
                const unsigned long p = XGetPixel(image, x, y) & 0xFFFFFFul;
                bool near = true;
                for (int shift = 0; shift < 24; shift += 8) {
                    const int d = int(p >> shift & 0xFF) - int(rgb >> shift & 0xFF);
                    near = near && d <= 8 && d >= -8;
                }
                n += near;
            }
        XDestroyImage(image);
        return n;
    }
    // The tip's X window unmapped or gone and its pixels off the root.
    void ExpectTipGone(unsigned long xid, const XRectangle& place)
    {
        EXPECT_TRUE(PumpUntil([&] { return !Mapped(xid); }));
        EXPECT_TRUE(PumpUntil([&] { return TipPixels(place) == 0; })) << TipPixels(place);
    }
    // Serves what the server sent, then lets the loop find nothing more to
    // do, as the main loop does while the pointer rests: its wait times out
    // once (and checks where the pointer is), then the loop stops.
    void Rest()
    {
        XSync(peer, False);
        TQuitTickXRef quit = ZuNew<TQuitTickX>(Zuvi_app_zone);
        app->InsertTickResponder(quit, 0, 1, false);
        const ZuEventRef& e = ZuEvent::Current();
        while (e->WaitForEvent())
            e->DispatchEvent();
        quit->Delete();
    }
    // The left button pressed and released at a root point, served.
    void ClickAt(int x, int y)
    {
        PointerAt(x, y);
        Button(true);
        Button(false);
        Settle();
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

// The zoom field's tip was left on the screen this way: a press on the
// field (a text line, which holds the mouse while the button is down),
// carried with the button held out of the window, where the loop idles,
// then back to the window's bar and released there (the line never hears
// the pointer leave); then the window dragged by its bar as a user does.
TEST_F(ToolTipX11, NoTipOutlivesADragOfItsWindowByTheBar)
{
    ZUVI_REQUIRE_XVFB();
    ZuTextLineRef line = ZuNew<ZuTextLine>(Zuvi_app_zone);
    line->SetBox(ZuRect(10, 50, 109, 69));
    line->SetToolTip(ZuStringRef("Zoom"));
    line->SetParent(w);
    const unsigned long window = XidOf(w);
    ASSERT_TRUE(PumpUntil([&] { return Mapped(window); }));
    double ox = 0, oy = 0;
    w->GetWindowOrigin(ox, oy);

    XRectangle place{};
    const unsigned long xid = ShowTip(ZuControlRef(line), 30, 60, place);
    ASSERT_NE(xid, 0ul);
    Button(true);
    Settle();
    // The button held, out of the window, where the pointer rests a
    // moment; back onto the bar and released there.
    PointerAt(int(ox) + 100, int(oy) - 60);
    Rest();
    PointerAt(int(ox) + 100, int(oy) - 10);
    Settle();
    Button(false);
    Settle();
    Button(true);
    Settle();
    PointerAt(int(ox) + 200, int(oy) + 50);
    Settle();
    PointerAt(int(ox) + 300, int(oy) + 110);
    Settle();
    Button(false);
    Settle();
    double nx = 0, ny = 0;
    w->GetWindowOrigin(nx, ny);
    EXPECT_EQ(nx, ox + 200);
    EXPECT_EQ(ny, oy + 120);
    ExpectTipGone(xid, place);
}

// A press anywhere in the program takes the tip down: on the control
// itself, which stays under the pointer, and in another window of the
// program.
TEST_F(ToolTipX11, APressAnywhereInTheProgramUnmapsTheTip)
{
    ZUVI_REQUIRE_XVFB();
    ZuWindowRef other = ZuNew<ZuWindow>(Zuvi_app_zone);
    other->InitGeom(500, 100, 120, 80, ZuStringRef("Autre"), ZuWinStyle());
    other->ShowNormal();
    ASSERT_TRUE(PumpUntil([&] { return Mapped(XidOf(w)) && Mapped(XidOf(other)); }));
    double ox = 0, oy = 0, px = 0, py = 0;
    w->GetWindowOrigin(ox, oy);
    other->GetWindowOrigin(px, py);
    struct Case {
        const char* where;
        int x, y;
    } cases[] = {{"control", int(ox) + 30, int(oy) + 20},
                 {"other window", int(px) + 40, int(py) + 40}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        XRectangle place{};
        const unsigned long xid = ShowTip(control, 30, 20, place);
        ASSERT_NE(xid, 0ul);
        ClickAt(c.x, c.y);
        ExpectTipGone(xid, place);
        // Away from the control before the next round.
        PointerAt(int(ox) + 150, int(oy) + 80);
        Settle();
    }
    other->Delete();
}

} // namespace
