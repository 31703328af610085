// Tool tips on the headless backend: the tip a control opens when the
// pointer makes it hot, shown after the look's delay on the test clock and
// dismissed when the pointer leaves; the tip's placement on the display and
// its tracking of the pointer.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "sd/win32/sd_grailwdo.h"
#include "si/classfactory.h"
#include "si/control.h"
#include "si/event.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/textline.h"
#include "si/time.h"
#include "si/tooltip.h"
#include "tests/support/controls.h"
#include "w32/headless.h"
#include "w32/systime.h"
#include "w32/winuser.h"

// Posts the quit message when its tick comes.
ZU_HANDLE(TQuitTick, ZuObject)
class TQuitTick : public ZuObject, public ZuiTickHandler {
    ZU_CLASS(TQuitTick, ZuObject)
public:
    TQuitTick() {}
    void Tick(unsigned) override { ZuEvent::PostQuitEvent(); }
};
ZU_CLASS_END(TQuitTick)
ZU_IMPLEMENT_CLASS(TQuitTick, "tests/si/tooltip_test", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(TQuitTick, ZuiTickHandler)

namespace {

HWND PlatformWindow(const ZuWindowRef& w)
{
    const ZuGrailWindowRef& screen = w->RetScreenWindow();
    if (screen.IsInvalid() || screen->RetPrivateWindowInfo() == nullptr)
        return nullptr;
    return screen->RetPrivateWindowInfo()->hwnd;
}

class ToolTipTest : public ControlTest {
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        control = ZuNew<ZuControl>(Zuvi_app_zone);
        control->SetBox(ZuRect(10, 10, 59, 29));
        control->SetToolTip(ZuStringRef("Astuce"));
        control->SetParent(w);
        w->GetWindowOrigin(ox, oy);
        delay = ZuLookMan::Current()->RetToolTipDelay();
    }
    void TearDown() override
    {
        control = ZuControlRef();
        ControlTest::TearDown();
    }
    ZuToolTipRef Tip() const
    {
        const ZuObjectRef& t = control->RetToolTipWindow();
        return t.IsValid() && t->IsKindOf(ZuToolTipRef::RetRuntime()) ? ZuToolTipRef(t)
                                                                      : ZuToolTipRef();
    }
    static std::string Origin(const ZuWindowRef& window)
    {
        double x = 0, y = 0;
        window->GetWindowOrigin(x, y);
        return std::to_string(int(x)) + "," + std::to_string(int(y));
    }
    // Whether a screen pixel shows the look colour, within what the
    // screen's 16-bit pixels keep of it.
    static bool Shows(uint32_t pixel, ZuLookColor c)
    {
        unsigned rgb = 0;
        ZuLookMan::Current()->GetColorCompactRGB(c, rgb);
        for (int shift = 0; shift < 24; shift += 8) {
            int a = int(pixel >> shift & 0xFF), b = int(rgb >> shift & 0xFF);
            if (a - b > 8 || b - a > 8)
                return false;
        }
        return true;
    }

    // Serves what waits, then lets the loop find nothing more to do, as
    // the main loop does while the pointer rests: its wait times out once
    // (and checks where the pointer is), then the loop stops.
    void Rest()
    {
        TQuitTickRef quit = ZuNew<TQuitTick>(Zuvi_app_zone);
        app->InsertTickResponder(quit, 0, 1, false);
        const ZuEventRef& e = ZuEvent::Current();
        while (e->WaitForEvent())
            e->DispatchEvent();
        quit->Delete();
    }
    // The platform windows shown on the screen.
    static std::vector<HWND> ShownWindows()
    {
        std::vector<HWND> shown;
        EnumWindows(
            [](HWND hwnd, LPARAM list) -> BOOL {
                if (IsWindowVisible(hwnd))
                    reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&shown));
        std::sort(shown.begin(), shown.end());
        return shown;
    }
    // The pointer onto the control at (30, 20), and the tip shown after the
    // delay; its screen box in `place`.
    ZuToolTipRef ShowTip(RECT& place)
    {
        Mouse(30, 20, 0);
        Advance(delay);
        ZuToolTipRef tip = Tip();
        EXPECT_TRUE(tip.IsValid() && tip->IsVisible());
        if (tip.IsValid() && PlatformWindow(tip) != nullptr) {
            GetWindowRect(PlatformWindow(tip), &place);
            EXPECT_TRUE(ShowsTipAt(place));
        }
        return tip;
    }
    // Whether the screen shows a tip's back colour inside that box.
    static bool ShowsTipAt(const RECT& place)
    {
        return Shows(W32_HeadlessScreenPixel(place.left + 2, place.top + 2), ZU_COLOR_TOOLTIP_BACK);
    }
    // No tip left on the screen: only the windows given are shown, and the
    // tip's old place shows something else.
    void ExpectNoTipLeft(const std::vector<HWND>& program, const RECT& place)
    {
        app->SyncWindows(true);
        Pump();
        EXPECT_EQ(ShownWindows(), program);
        EXPECT_FALSE(ShowsTipAt(place));
        for (unsigned i = 0; i < app->RetWindowNum(); ++i) {
            ZuWindowRef other = app->RetWindow(i);
            EXPECT_FALSE(other->IsKindOf(ZuToolTipRef::RetRuntime()) && other->IsVisible());
        }
    }

    ZuControlRef control;
    double ox = 0, oy = 0;
    unsigned delay = 0;
};

TEST_F(ToolTipTest, EnteringOpensATipThatShowsAfterTheDelayAndLeavingDismissesIt)
{
    // Without the policy the delay is 200 ms.
    EXPECT_EQ(delay, 200u);
    Mouse(30, 20, 0);
    ZuToolTipRef tip = Tip();
    ASSERT_TRUE(tip.IsValid());
    EXPECT_FALSE(tip->IsVisible());
    // 20 pixels below the pointer, on the screen.
    EXPECT_EQ(Origin(tip), std::to_string(int(ox) + 30) + "," + std::to_string(int(oy) + 40));
    EXPECT_EQ(tip->RetStyle().RetBits(), (1ull << 16) | (1ull << 17) | (1ull << 24));

    Advance(delay - 1);
    EXPECT_FALSE(tip->IsVisible());
    Advance(1);
    EXPECT_TRUE(tip->IsVisible());
    HWND hwnd = PlatformWindow(tip);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_TRUE(IsWindowVisible(hwnd));
    // The frame in the tip's frame colour around the tip's back colour.
    uint32_t corner = 0, inside = 0;
    ASSERT_TRUE(W32_HeadlessWindowPixel(hwnd, 0, 0, corner));
    ASSERT_TRUE(W32_HeadlessWindowPixel(hwnd, 1, 1, inside));
    EXPECT_TRUE(Shows(corner, ZU_COLOR_TOOLTIP_FRAME)) << std::hex << corner;
    EXPECT_TRUE(Shows(inside, ZU_COLOR_TOOLTIP_BACK)) << std::hex << inside;
    // The caption in the small font, 8 and 4 pixels wider and higher.
    double tw = 0, th = 0, mw = 0, mh = 0;
    tip->GetSize(tw, th);
    tip->RetTip()->GetMinSize(mw, mh);
    EXPECT_EQ(tw, mw + 8);
    EXPECT_EQ(th, mh + 4);
    EXPECT_TRUE(tip->RetTip()->RetFont() == ZuLookMan::Current()->RetSmallFont());

    Mouse(150, 80, 0);
    EXPECT_TRUE(control->RetToolTipWindow().IsInvalid());
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(app->RetWindowNum(), 1u);
}

TEST_F(ToolTipTest, ATipGoneBeforeTheDelayNeverShows)
{
    Mouse(30, 20, 0);
    ASSERT_TRUE(Tip().IsValid());
    Advance(delay / 2);
    Mouse(150, 80, 0);
    EXPECT_TRUE(control->RetToolTipWindow().IsInvalid());
    Advance(delay);
    EXPECT_EQ(app->RetWindowNum(), 1u);
    // Nothing else is waiting on the clock.
    EXPECT_EQ(app->HandleTick(ZuTime::NowGMTAbsTime(), false), -1);
}

TEST_F(ToolTipTest, EnteringWithAButtonHeldOpensNoTip)
{
    Mouse(150, 80, 0);
    Mouse(150, 80, MK_LBUTTON);
    Mouse(30, 20, MK_LBUTTON);
    EXPECT_TRUE(control->RetToolTipWindow().IsInvalid());
    Mouse(30, 20, 0);
    Mouse(150, 80, 0);
    // A caption without characters opens none either.
    control->SetToolTip(ZuStringRef(""));
    Mouse(30, 20, 0);
    EXPECT_TRUE(control->RetToolTipWindow().IsInvalid());
}

TEST_F(ToolTipTest, ATipReachingTheDisplaysEdgeEndsInsideIt)
{
    ZuRect screen;
    ASSERT_TRUE(ZuGrailWindow::GetDisplayBox(screen, 0));
    ZuToolTipRef tip = ZuNew<ZuToolTip>(Zuvi_app_zone);
    tip->SetTitle(ZuStringRef("Astuce"), 10, 10, false, false);
    double tw = 0, th = 0;
    tip->GetSize(tw, th);
    const int right = int(screen.X2() - tw - 1), bottom = int(screen.Y2() - th - 1);
    struct Case {
        double x, y;
        int ex, ey;
    } cases[] = {
        {300, 200, 300, 200},
        {screen.X2() - tw - 1, 200, int(screen.X2() - tw - 1), 200}, // just inside
        {screen.X2() - tw, 200, right, 200},                         // reaches the edge
        {screen.X2() - 3, screen.Y2() - 3, right, bottom},
        {300, screen.Y2() - th, 300, bottom},
        {-5, -5, -5, -5}, // left and top are not corrected
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(tip->SetTitle(ZuStringRef("Astuce"), c.x, c.y, false, false));
        EXPECT_EQ(Origin(tip), std::to_string(c.ex) + "," + std::to_string(c.ey))
            << c.x << " " << c.y;
    }
    // Not delayed: nothing waits; the caller shows it.
    EXPECT_FALSE(tip->IsTicking());
    EXPECT_FALSE(tip->IsVisible());
    EXPECT_TRUE(tip->Action(ZuAtomRef("Dismiss"), ZuObjectNull, 0));
    EXPECT_EQ(app->RetWindowNum(), 1u);
}

// The tip follows the pointer of the event being handled when its delay
// ends: here a motion at (60, 70) of the window, dispatched and still
// current when the clock moves on.
TEST_F(ToolTipTest, ATrackingTipShowsAtThePointerAnotherWhereItWasPut)
{
    struct Case {
        bool tracking;
        std::string shown_at;
    } cases[] = {
        {false, "400,300"},
        {true, std::to_string(int(ox) + 60) + "," + std::to_string(int(oy) + 90)},
    };
    for (const Case& c : cases) {
        Mouse(150, 100, 0);
        ZuToolTipRef tip = ZuNew<ZuToolTip>(Zuvi_app_zone);
        tip->SetTitle(ZuStringRef("Astuce"), 400, 300, true, c.tracking);
        EXPECT_TRUE(tip->RetTracking() == c.tracking);
        W32_HeadlessMouse(int(ox) + 60, int(oy) + 70, 0);
        const ZuEventRef& event = ZuEvent::Current();
        // The wake-up the new tick posted comes first.
        do {
            ASSERT_TRUE(event->WaitForEvent());
            event->DispatchEvent();
        } while (event->RetType() != ZU_EVENT_MOTION);
        W32_AdvanceTestClock(delay);
        app->HandleTick(ZuTime::NowGMTAbsTime(), true);
        EXPECT_TRUE(tip->IsVisible());
        EXPECT_EQ(Origin(tip), c.shown_at) << c.tracking;
        tip->Dismiss();
        Pump();
    }
}

// The way the tip was left behind: the pointer pressed on a control that
// holds the mouse while a button is down (a text line, as the zoom field),
// carried with the button held out of the window, where the loop idles,
// then back to the window's bar and released there. The line never hears
// the pointer leave and stays hot; the window is then dragged by its bar as
// a user does.
TEST_F(ToolTipTest, NoTipOutlivesADragOfItsWindowByTheBar)
{
    w->ChangeStyle(ZU_WINSTYLE_FRAMELESS, false);
    Pump();
    ASSERT_TRUE(w->RetWindowBar().IsValid());
    control->SetParent(ZuViewNull);
    control->Delete();
    ZuTextLineRef line = ZuNew<ZuTextLine>(Zuvi_app_zone);
    line->SetBox(ZuRect(10, 10, 109, 29));
    line->SetToolTip(ZuStringRef("Zoom"));
    line->SetParent(w);
    control = line;
    app->SyncWindows(true);
    Pump();
    const std::vector<HWND> program = ShownWindows();

    RECT place{};
    ZuToolTipRef tip = ShowTip(place);
    ASSERT_TRUE(tip.IsValid());
    Mouse(30, 20, MK_LBUTTON);
    // The button held, out of the window, where the pointer rests a moment;
    // back onto the bar and released there.
    W32_HeadlessMouse(int(ox) + 60, int(oy) - 60, MK_LBUTTON);
    Rest();
    Mouse(60, -10, MK_LBUTTON);
    Mouse(60, -10, 0);
    Mouse(60, -10, MK_LBUTTON);
    // Screen points from here: the window moves under the pointer.
    W32_HeadlessMouse(int(ox) + 160, int(oy) + 50, MK_LBUTTON);
    Pump();
    W32_HeadlessMouse(int(ox) + 160, int(oy) + 50, 0);
    Pump();
    double nx = 0, ny = 0;
    w->GetWindowOrigin(nx, ny);
    EXPECT_EQ(nx, ox + 100);
    EXPECT_EQ(ny, oy + 60);
    ExpectNoTipLeft(program, place);
}

// A press anywhere in the program closes the tip: on the control itself,
// in another window of the program; pressed before the delay, it never
// shows.
TEST_F(ToolTipTest, APressAnywhereInTheProgramClosesTheTip)
{
    ZuWindowRef other = NewShownWindow(500, 100, 100, 80);
    app->SyncWindows(true);
    Pump();
    const std::vector<HWND> program = ShownWindows();
    double px = 0, py = 0;
    other->GetWindowOrigin(px, py);

    struct Case {
        const char* where;
        bool before_delay;
    } cases[] = {{"control", false}, {"other window", false}, {"control", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.where) + (c.before_delay ? ", before the delay" : ""));
        RECT place{};
        if (c.before_delay) {
            Mouse(30, 20, 0);
            ASSERT_TRUE(Tip().IsValid());
            Advance(delay / 2);
            Mouse(30, 20, MK_LBUTTON);
            Mouse(30, 20, 0);
            Advance(delay);
            EXPECT_TRUE(Tip().IsInvalid() || !Tip()->IsVisible());
        } else {
            ASSERT_TRUE(ShowTip(place).IsValid());
            if (std::string(c.where) == "control") {
                Mouse(30, 20, MK_LBUTTON);
                Mouse(30, 20, 0);
            } else {
                // Straight from the control into the other window.
                W32_HeadlessMouse(int(px) + 20, int(py) + 20, MK_LBUTTON);
                Pump();
                W32_HeadlessMouse(int(px) + 20, int(py) + 20, 0);
                Pump();
            }
            ExpectNoTipLeft(program, place);
        }
        // Nothing is left waiting on the clock.
        EXPECT_EQ(app->HandleTick(ZuTime::NowGMTAbsTime(), false), -1);
        Mouse(150, 80, 0);
    }
}

// The tip belongs to its window's place: moved by the program, the window
// takes its tip down; another window moving leaves it.
TEST_F(ToolTipTest, ATipClosesWhenItsWindowMoves)
{
    ZuWindowRef other = NewShownWindow(500, 100, 100, 80);
    app->SyncWindows(true);
    Pump();
    const std::vector<HWND> program = ShownWindows();
    for (const ZuWindowRef& moved : {other, w}) {
        RECT place{};
        ZuToolTipRef tip = ShowTip(place);
        ASSERT_TRUE(tip.IsValid());
        double x = 0, y = 0;
        moved->GetWindowOrigin(x, y);
        moved->SetWindowOrigin(x + 40, y + 30);
        Pump();
        if (moved == other) {
            EXPECT_TRUE(tip->IsVisible());
            EXPECT_TRUE(ShowsTipAt(place));
        } else {
            ExpectNoTipLeft(program, place);
        }
        moved->SetWindowOrigin(x, y);
        Mouse(150, 80, 0);
    }
}

// A stored tip keeps its caption and tracking; its small font belongs to
// the look and is not stored with it.
TEST_F(ToolTipTest, AStoredTipKeepsItsCaptionAndTracking)
{
    ZuToolTipRef tip = ZuNew<ZuToolTip>(Zuvi_app_zone);
    tip->SetTitle(ZuStringRef("Astuce"), 10, 10, false, true);
    ZuObjectRef out = StoreAndRestore(tip);
    ASSERT_TRUE(out.IsValid() && out->IsKindOf(ZuToolTipRef::RetRuntime()));
    ZuToolTipRef back(out);
    EXPECT_TRUE(back->RetTracking());
    EXPECT_FALSE(back->IsTicking());
    ASSERT_TRUE(back->RetTip().IsValid());
    EXPECT_STREQ(back->RetTip()->RetText()->AccessLatin(), "Astuce");
    EXPECT_TRUE(back->RetTip()->RetFont() == ZuLookMan::Current()->RetSysFont());
    back->Delete();
    tip->Delete();
}

} // namespace
