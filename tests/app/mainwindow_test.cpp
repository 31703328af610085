// The main window as the program builds it at start-up: every band and
// control at its place for the window's size, a layout that only moves
// what exists, the buttons' states, the handlers that reach the page view
// and the palettes, and a window that fits the screen.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/commands.h"
#include "app/pageview.h"
#include "app/printdlg.h"
#include "si/time.h"
#include "si/viewlayout.h"
#include "si/viewpane.h"
#include "tests/app/shelltest.h"

namespace {

int CountChildren(const ZuViewRef& view)
{
    int n = 0;
    ZuViewRef child;
    for (bool more = view->GetFirstChild(child); more; more = child->GetNextSibling(child))
        ++n;
    return n;
}

struct Place {
    double x, y, dx, dy;
};

Place PlaceOf(const ZuViewRef& view)
{
    Place p{};
    view->GetOrigin(p.x, p.y);
    view->GetSize(p.dx, p.dy);
    return p;
}

class MainWindowTest : public ShellTest {
protected:
    // Each view with the origin and size it must have for a window of
    // w by h.
    void ExpectPlaces(double w, double h)
    {
        const CMainWindowRef& m = Main();
        struct Case {
            const char* name;
            ZuViewRef view;
            Place want;
        };
        const std::vector<Case> cases = {
            {"top band", m->RetTopBand(), {0, 0, w, 63}},
            {"bottom band", m->RetBottomBand(), {0, h - 36, w, 36}},
            {"left column", m->RetLeftColumn(), {0, 63, 20, h - 99}},
            {"right column", m->RetRightColumn(), {w - 20, 63, 20, h - 99}},
            {"button 153", m->RetButton(153), {1, 44, 17, 17}},
            {"button 151", m->RetButton(151), {w - 18, 44, 17, 17}},
            {"button 150", m->RetButton(150), {1, h - 34, 17, 17}},
            {"button 154", m->RetButton(154), {84, h - 34, 17, 17}},
            {"button 152", m->RetButton(152), {101, h - 34, 17, 17}},
            {"button 159", m->RetButton(159), {w - 18, h - 34, 17, 17}},
            {"zoom field", m->RetZoomLine(), {20, h - 34, 46, 18}},
            {"zoom in", m->RetZoomIn(), {66, h - 34, 15, 9}},
            {"zoom out", m->RetZoomOut(), {66, h - 25, 15, 9}},
            {"coordinates", m->RetInfoTag(0), {1, h - 16, 119, 16}},
            {"selection", m->RetInfoTag(1), {121, h - 16, 149, 16}},
            {"properties", m->RetInfoTag(2), {271, h - 16, w - 272, 16}},
            {"menu bar", m->RetMenuBar(), {0, 0, -1, -1}},
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            ASSERT_TRUE(c.view.IsValid());
            const Place got = PlaceOf(c.view);
            EXPECT_EQ(got.x, c.want.x);
            EXPECT_EQ(got.y, c.want.y);
            if (c.want.dx >= 0) {
                EXPECT_EQ(got.dx, c.want.dx);
                EXPECT_EQ(got.dy, c.want.dy);
            }
        }
        // The scrollers by their Initialise: horizontal at (118, h - 34),
        // w - 138 long; vertical at (w - 18, 63), h - 99 long.
        const Place sh = PlaceOf(m->RetScrollerH()), sv = PlaceOf(m->RetScrollerV());
        EXPECT_EQ(sh.x, 118);
        EXPECT_EQ(sh.y, h - 34);
        EXPECT_EQ(sh.dx, w - 138);
        EXPECT_EQ(sv.x, w - 18);
        EXPECT_EQ(sv.y, 63);
        EXPECT_EQ(sv.dy, h - 99);
    }
    void WindowSize(double& w, double& h) { Main()->RetWindow()->GetSize(w, h); }
    unsigned VisibleWindows()
    {
        unsigned n = 0;
        for (unsigned i = 0; i < app->RetWindowNum(); ++i)
            n += app->RetWindow(i)->IsVisible();
        return n;
    }
};

TEST_F(MainWindowTest, EveryBandAndControlIsAtItsPlace)
{
    double w = 0, h = 0;
    WindowSize(w, h);
    EXPECT_EQ(w, 768);
    ExpectPlaces(w, h);
    // The controls lie in their bands.
    const CMainWindowRef& m = Main();
    EXPECT_EQ(m->RetButton(153)->RetParent(), m->RetTopBand());
    EXPECT_EQ(m->RetButton(150)->RetParent(), m->RetBottomBand());
    EXPECT_EQ(m->RetScrollerV()->RetParent(), m->RetRightColumn());
    EXPECT_EQ(m->RetMenuBar()->RetParent(), m->RetTopBand());
}

TEST_F(MainWindowTest, AClickOnFichierOpensItsMenu)
{
    const ZuMenuRef& bar = Main()->RetMenuBar();
    ZuRect item;
    bar->RetViewPane()->RetLayout()->GetViewBox(0, item);
    const ZuRect& pane = bar->RetViewPane()->RetBox();
    double bx = 0, by = 0;
    bar->GetOrigin(bx, by);
    Click(Main()->RetWindow(), bx + pane.X1() + item.X1() + item.DX() / 2,
          by + pane.Y1() + item.Y1() + item.DY() / 2);
    const ZuMenuRef& submenu = bar->RetOpenSubmenu();
    ASSERT_TRUE(submenu.IsValid());
    EXPECT_TRUE(submenu->IsShown());
    // Its rows: the nine of "Fichier", separators included.
    ZuRect row;
    EXPECT_TRUE(submenu->RetViewPane()->RetLayout()->GetViewBox(8, row));
    EXPECT_FALSE(submenu->RetViewPane()->RetLayout()->GetViewBox(9, row));
}

TEST_F(MainWindowTest, AMenuCommandReachesThePageView)
{
    const ZuMenuRef& bar = Main()->RetMenuBar();
    const ZuWindowRef& window = Main()->RetWindow();
    auto centre = [](const ZuMenuRef& menu, unsigned index, double& x, double& y) {
        ZuRect item;
        menu->RetViewPane()->RetLayout()->GetViewBox(index, item);
        const ZuRect& pane = menu->RetViewPane()->RetBox();
        x = pane.X1() + item.X1() + item.DX() / 2;
        y = pane.Y1() + item.Y1() + item.DY() / 2;
    };
    double x = 0, y = 0;
    centre(bar, 0, x, y);
    Click(window, x, y);
    const ZuMenuRef submenu = bar->RetOpenSubmenu();
    ASSERT_TRUE(submenu.IsValid());
    // "Imprimer...": its command goes to the page view, which opens the
    // print window over the main window.
    const CPrintDlgRef print(app->RetPrintDlg());
    ASSERT_TRUE(print.IsValid());
    ASSERT_FALSE(print->RetWindow()->IsVisible());
    centre(submenu, 5, x, y);
    Click(submenu->RetMenuWindow(), x, y);
    for (int i = 0; i < 5; ++i) {
        W32_AdvanceTestClock(50);
        app->HandleTick(ZuTime::NowGMTAbsTime(), true);
        Pump();
    }
    EXPECT_TRUE(print->RetWindow()->IsVisible());
    EXPECT_FALSE(QuitPending());
    EXPECT_TRUE(window->IsVisible());
    print->OnClose();
    Pump();
}

TEST_F(MainWindowTest, GlassAndHandButtonsSwitchThePageViewsModes)
{
    const CMainWindowRef& m = Main();
    const CPageViewRef view(m->RetPageView());
    ASSERT_TRUE(view.IsValid());
    // Each click on a button, then the modes and the two buttons: the
    // modes exclude each other, and a second click switches one off.
    const struct {
        int icon;
        bool glass, hand;
    } steps[] = {{154, true, false},  {152, false, true}, {154, true, false},
                 {154, false, false}, {152, false, true}, {152, false, false}};
    for (const auto& s : steps) {
        const CButtonRef button = m->RetButton(s.icon);
        double x = 0, y = 0, dx = 0, dy = 0;
        button->GetOrigin(x, y);
        button->GetSize(dx, dy);
        Click(m->RetWindow(), x + dx / 2, y + dy / 2);
        SCOPED_TRACE(std::to_string(&s - steps));
        EXPECT_EQ(view->IsGlassMode(), s.glass);
        EXPECT_EQ(view->IsHandMode(), s.hand);
        EXPECT_EQ(m->RetButton(154)->RetState().TestBit(ZU_VIEW_IS_ON), s.glass);
        EXPECT_EQ(m->RetButton(152)->RetState().TestBit(ZU_VIEW_IS_ON), s.hand);
    }
}

TEST_F(MainWindowTest, ResizingLaysOutAgainAndMakesNothingNew)
{
    const CMainWindowRef& m = Main();
    const CButtonRef glass = m->RetButton(154);
    const ZuTextTagRef info = m->RetInfoTag(2);
    const int bottom = CountChildren(m->RetBottomBand()), top = CountChildren(m->RetTopBand());
    EXPECT_TRUE(m->Layout());
    // The window resized by the user: the bands and controls follow.
    double x = 0, y = 0;
    m->RetWindow()->GetWindowOrigin(x, y);
    W32_HeadlessMoveBySystem(Hwnd(m->RetWindow()),
                             RECT{int(x), int(y), int(x) + 600, int(y) + 500});
    Pump();
    double w = 0, h = 0;
    WindowSize(w, h);
    ASSERT_NE(w, 768);
    ExpectPlaces(w, h);
    EXPECT_EQ(m->RetButton(154), glass);
    EXPECT_EQ(m->RetInfoTag(2), info);
    EXPECT_EQ(CountChildren(m->RetBottomBand()), bottom);
    EXPECT_EQ(CountChildren(m->RetTopBand()), top);
}

TEST_F(MainWindowTest, ButtonsCarryTheirIconsTagsAndTips)
{
    const int icons[] = {153, 151, 150, 154, 152, 159};
    for (int slot = 0; slot < 6; ++slot) {
        SCOPED_TRACE(icons[slot]);
        const CButtonRef button = Main()->RetButton(icons[slot]);
        ASSERT_TRUE(button.IsValid());
        EXPECT_EQ(button->RetUserTag(), slot + 1);
        EXPECT_FALSE(button->RetState().TestBit(ZU_VIEW_OK_ACTIVE));
        ASSERT_TRUE(button->RetToolTip().IsValid());
        EXPECT_STREQ(button->RetToolTip()->AccessLatin(), GetIconLabel(icons[slot]));
    }
    for (int other : {-1, 0, 130, 155, 158, 160})
        EXPECT_FALSE(Main()->RetButton(other).IsValid()) << other;
}

TEST_F(MainWindowTest, InformationFieldsOutsideZeroToTwoAreEmpty)
{
    // The index is checked: outside 0 to 2 there is no field to answer.
    for (int i : {-1, 3, 10, -100})
        EXPECT_FALSE(Main()->RetInfoTag(i).IsValid()) << i;
    const char* const tips[] = {"Coordonn\xE9"
                                "es",
                                "S\xE9lection", "Propri\xE9t\xE9s"};
    for (int i = 0; i < 3; ++i) {
        const ZuTextTagRef tag = Main()->RetInfoTag(i);
        ASSERT_TRUE(tag.IsValid());
        ASSERT_TRUE(tag->RetToolTip().IsValid());
        EXPECT_STREQ(tag->RetToolTip()->AccessLatin(), tips[i]);
        EXPECT_EQ(ZuTextHPos(tag->RetTextStyle()), i < 2 ? ZU_TEXT_HPOS_LEFT : ZU_TEXT_HPOS_RIGHT);
        EXPECT_EQ(tag->RetFont()->RetSize(), 10);
    }
}

TEST_F(MainWindowTest, ButtonStateRedisplaysOnlyOnAChange)
{
    const CMainWindowRef& m = Main();
    const ZuWindowRef& window = m->RetWindow();
    m->SetButtonState(154, true);
    EXPECT_TRUE(m->RetButton(154)->RetState().TestBit(ZU_VIEW_IS_ON));
    EXPECT_FALSE(window->RetDelayedRect().IsEmpty());
    Pump();
    ASSERT_TRUE(window->RetDelayedRect().IsEmpty());
    // The state shown already: nothing is redisplayed.
    m->SetButtonState(154, true);
    EXPECT_TRUE(window->RetDelayedRect().IsEmpty());
    m->SetButtonState(154, false);
    EXPECT_FALSE(m->RetButton(154)->RetState().TestBit(ZU_VIEW_IS_ON));
    EXPECT_FALSE(window->RetDelayedRect().IsEmpty());
    Pump();
    // An icon without a button does nothing.
    m->SetButtonState(155, true);
    EXPECT_TRUE(window->RetDelayedRect().IsEmpty());
}

TEST_F(MainWindowTest, PagesAndLayersToggleTheirPalettes)
{
    const CMainWindowRef& m = Main();
    const unsigned windows = VisibleWindows();
    for (int icon : {150, 151}) {
        SCOPED_TRACE(icon);
        const CButtonRef button = m->RetButton(icon);
        if (icon == 150)
            m->OnClickPage();
        else
            m->OnClickLayout();
        EXPECT_EQ(VisibleWindows(), windows + 1);
        EXPECT_TRUE(button->RetState().TestBit(ZU_VIEW_IS_ON));
        if (icon == 150)
            m->OnClickPage();
        else
            m->OnClickLayout();
        EXPECT_EQ(VisibleWindows(), windows);
        EXPECT_FALSE(button->RetState().TestBit(ZU_VIEW_IS_ON));
    }
    EXPECT_TRUE(m->UpdatePagesButton());
    EXPECT_TRUE(m->UpdateLayersButton());
}

TEST_F(MainWindowTest, WindowEndsInsideAScreen1024High)
{
    // The default headless screen is 1280 by 1024: a window 1024 high at
    // y 40 would pass its bottom, so it is made shorter, frame included.
    ZuRect frame;
    Main()->RetWindow()->GetFrameGeometry(frame);
    double x = 0, y = 0;
    Main()->RetWindow()->GetWindowOrigin(x, y);
    EXPECT_EQ(x, 40);
    EXPECT_EQ(y, 40);
    EXPECT_LE(y + frame.Y2(), 1023);
    double w = 0, h = 0;
    WindowSize(w, h);
    EXPECT_EQ(w, 768);
    EXPECT_LT(h, 1024);
    EXPECT_GT(h, 900);
}

// On a screen that holds it, the window keeps its 768 by 1024 box.
class MainWindowOnATallScreen : public MainWindowTest {
protected:
    void SetUp() override
    {
        setenv("ZUVI_HEADLESS_SCREEN", "1600x1200", 1);
        MainWindowTest::SetUp();
    }
    void TearDown() override
    {
        MainWindowTest::TearDown();
        unsetenv("ZUVI_HEADLESS_SCREEN");
    }
};

TEST_F(MainWindowOnATallScreen, KeepsItsBox)
{
    ZuRect screen;
    ASSERT_TRUE(ZuGrailWindow::GetDisplayBox(screen, 0));
    if (screen.Y2() < 1199)
        GTEST_SKIP() << "the screen was made before this test could size it";
    const ZuRect& box = Main()->RetWindow()->RetWindowBox();
    EXPECT_EQ(box.X1(), 40);
    EXPECT_EQ(box.Y1(), 40);
    EXPECT_EQ(box.X2(), 807);
    EXPECT_EQ(box.Y2(), 1063);
    ExpectPlaces(768, 1024);
}

} // namespace
