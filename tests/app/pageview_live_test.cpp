// What the page shows follows what the user does, with no further input:
// an attribute changed in the attributes palette shows on the selected
// rectangle at once, the magnifier and hand buttons of the main window
// switch the page view's modes and show them, the tool palette follows
// the main window, and "Reticule visible" shows or hides the reticle.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iostream>
#include <string>
#include <vector>

#include "app/colordef.h"
#include "app/colorsetup.h"
#include "app/defdlg.h"
#include "app/defview.h"
#include "app/penbasepane.h"
#include "app/selectobject.h"
#include "app/toolpalette.h"
#include "tests/app/setuptest.h"

namespace {

class LiveShellTest : public SetupTest {
protected:
    const ZuWindowRef& Window() const { return Main()->RetWindow(); }
    // What the screen shows at a point of the main window (its pixels
    // count its frame too).
    std::uint32_t At(int x, int y)
    {
        ZuRect frame;
        Window()->GetFrameGeometry(frame);
        return WindowPixel(Window(), x - int(frame.X1()), y - int(frame.Y1()));
    }
    void Mouse(int x, int y, unsigned buttons)
    {
        double ox = 0, oy = 0;
        Window()->GetWindowOrigin(ox, oy);
        W32_HeadlessMouse(int(ox) + x, int(oy) + y, buttons);
        Pump();
    }
    // A rectangle dragged out with the rectangle tool, then chosen with
    // the selection tool by a click inside it.
    void DrawAndSelectRectangle(int x1, int y1, int x2, int y2)
    {
        View()->RetDocument()->SetToolChoice(0, 11);
        View()->UpdateTool(0);
        Mouse(x1, y1, 0);
        Mouse(x1, y1, MK_LBUTTON);
        Mouse((x1 + x2) / 2, (y1 + y2) / 2, MK_LBUTTON);
        Mouse(x2, y2, MK_LBUTTON);
        Mouse(x2, y2, 0);
        View()->ClickTool(8, ZuEventRef());
        Click(Window(), (x1 + x2) / 2, (y1 + y2) / 2);
        ASSERT_EQ(View()->RetSelectObject()->GetSelectedCount(), 1);
    }
    // The main loop's turn for the asynchronous reports, then the screen
    // brought up to date: nothing the user does.
    void MainLoopTurn()
    {
        Pump();
        app->FireAsyncEvents();
        Pump();
    }
    static bool Dark(std::uint32_t p) { return SameColour(p, 0x000000, 0x40); }
};

} // namespace

// The attributes palette's fill colour and pen width, changed while a
// rectangle is selected: the window shows the new colour and the wider
// outline before any other input.
TEST_F(LiveShellTest, AnAttributeChangedInThePaletteShowsOnThePageAtOnce)
{
    const int x1 = 300, y1 = 300, x2 = 500, y2 = 450;
    const int cx = (x1 + x2) / 2, cy = (y1 + y2) / 2;
    DrawAndSelectRectangle(x1, y1, x2, y2);
    const CDefDlgRef defs = app->RetDefDlg();
    View()->ClickTool(30, ZuEventRef());
    Pump();
    ASSERT_TRUE(defs->RetWindow()->IsVisible());
    auto clickIn = [&](const ZuViewRef& v, double dx, double dy) {
        const ZuRect& b = v->RetBox();
        Click(defs->RetWindow(), b.X1() + dx, b.Y1() + dy);
    };
    auto clickCard = [&](int page, int card) {
        const ZuCardStackRef stack = defs->RetCardStack(page);
        stack->UpdateTabGeometry();
        const ZuViewRef tab(ZuObjectRef(stack->RetTabs()[unsigned(card)]));
        clickIn(tab, tab->RetBox().DX() / 2, tab->RetBox().DY() / 2);
    };

    // The fill colour: the fill page's "Couleur" card takes a new colour
    // and reports it, as its colour field does under the pointer.
    const std::uint32_t before = At(cx, cy);
    clickCard(1, 1);
    CColorDefRef(ZuObjectRef(defs->RetDefinition(25)))->SetRGB(1.0, 0.0, 0.5);
    defs->AddModifiedKind(25);
    defs->NotifyChange(false, false);
    MainLoopTurn();
    const std::uint32_t chosen = 0xFF0080;
    ASSERT_FALSE(SameColour(chosen, before, 16)) << std::hex << before;
    EXPECT_TRUE(SameColour(At(cx, cy), chosen, 8))
        << std::hex << At(cx, cy) << " " << chosen << " " << before;

    // The pen width: 5 mm typed into the pen card's width entry makes the
    // outline 14 pixels wide across the left edge.
    clickCard(0, 0);
    const CDefViewRef penView = defs->RetPane(10);
    ASSERT_TRUE(penView.IsValid());
    const CPenBasePaneRef pen(ZuObjectRef(penView->RetShownPane()));
    ASSERT_TRUE(pen.IsValid());
    EXPECT_FALSE(Dark(At(x1 - 5, cy))) << std::hex << At(x1 - 5, cy);
    const CTextLineArrowRef width = pen->RetWidthEntry();
    clickIn(width, width->RetBox().DX() / 2, width->RetBox().DY() / 2);
    W32_HeadlessKey(VK_HOME, 0x47, false, true);
    W32_HeadlessKey(VK_HOME, 0x47, false, false);
    W32_HeadlessKey(VK_SHIFT, 0x2A, false, true);
    W32_HeadlessKey(VK_END, 0x4F, false, true);
    W32_HeadlessKey(VK_END, 0x4F, false, false);
    W32_HeadlessKey(VK_SHIFT, 0x2A, false, false);
    W32_HeadlessKey('5', 0x06, false, true);
    W32_HeadlessKey('5', 0x06, false, false);
    MainLoopTurn();
    ASSERT_NEAR(CPenDefRef(ZuObjectRef(defs->RetDefinition(10)))->GetWidth(), 5.0, 1e-9);
    EXPECT_TRUE(Dark(At(x1 - 5, cy))) << std::hex << At(x1 - 5, cy);
    EXPECT_TRUE(Dark(At(x1 + 5, cy))) << std::hex << At(x1 + 5, cy);
    EXPECT_TRUE(SameColour(At(cx, cy), chosen, 8));
}

// The magnifier and hand buttons of the bottom band switch the page view's
// modes, which exclude each other, and each button shows its mode.
TEST_F(LiveShellTest, TheMagnifierAndHandButtonsSwitchAndShowTheViewsModes)
{
    const CMainWindowRef m = Main();
    const CButtonRef glass = m->RetButton(154), hand = m->RetButton(152);
    auto press = [&](const CButtonRef& button) {
        const ZuRect& b = button->RetBox();
        Click(Window(), b.X1() + b.DX() / 2, b.Y1() + b.DY() / 2);
    };
    struct Step {
        const char* name;
        bool onGlass;
        bool glassMode, handMode;
    } const steps[] = {
        {"magnifier on", true, true, false},
        {"hand on, magnifier off", false, false, true},
        {"magnifier on, hand off", true, true, false},
        {"magnifier off", true, false, false},
        {"hand on", false, false, true},
        {"hand off", false, false, false},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        press(s.onGlass ? glass : hand);
        EXPECT_EQ(View()->IsGlassMode(), s.glassMode);
        EXPECT_EQ(View()->IsHandMode(), s.handMode);
        EXPECT_EQ(glass->RetState().TestBit(ZU_VIEW_IS_ON), s.glassMode);
        EXPECT_EQ(hand->RetState().TestBit(ZU_VIEW_IS_ON), s.handMode);
    }
    // A tool chosen in the palette switches both modes off again.
    press(hand);
    ASSERT_TRUE(View()->IsHandMode());
    View()->ClickTool(8, ZuEventRef());
    EXPECT_FALSE(View()->IsHandMode());
    EXPECT_FALSE(hand->RetState().TestBit(ZU_VIEW_IS_ON));
}

// Moving the main window by its bar moves the tool palette by the same
// offset.
TEST_F(LiveShellTest, TheToolPaletteFollowsTheMainWindow)
{
    const CToolPaletteRef palette(app->RetToolPalette());
    ASSERT_TRUE(palette.IsValid());
    const ZuWindowBarRef bar = Window()->RetWindowBar();
    ASSERT_TRUE(bar.IsValid());
    for (const auto& by : {std::pair{40, 30}, std::pair{-25, 10}}) {
        SCOPED_TRACE(std::to_string(by.first) + "," + std::to_string(by.second));
        double px = 0, py = 0, wx = 0, wy = 0;
        palette->GetOrigin(px, py);
        Window()->GetWindowOrigin(wx, wy);
        const ZuRect& b = bar->RetBox();
        const int x = int(b.X1() + b.DX() / 3), y = int(b.Y1() + b.DY() / 2);
        W32_HeadlessMouse(int(wx) + x, int(wy) + y, 0);
        Pump();
        W32_HeadlessMouse(int(wx) + x, int(wy) + y, MK_LBUTTON);
        Pump();
        W32_HeadlessMouse(int(wx) + x + by.first, int(wy) + y + by.second, MK_LBUTTON);
        Pump();
        W32_HeadlessMouse(int(wx) + x + by.first, int(wy) + y + by.second, 0);
        Pump();
        double nx = 0, ny = 0, nwx = 0, nwy = 0;
        palette->GetOrigin(nx, ny);
        Window()->GetWindowOrigin(nwx, nwy);
        ASSERT_EQ(nwx - wx, by.first);
        ASSERT_EQ(nwy - wy, by.second);
        EXPECT_EQ(nx - px, by.first);
        EXPECT_EQ(ny - py, by.second);
    }
}

// With a drawing tool over the page the reticle follows the pointer only
// while "Reticule visible" of the settings' "Divers" tab is checked; a new
// document starts with it unchecked. It is drawn in the colour of
// "Réticule" among the settings' colours, light grey at first.
TEST_F(LiveShellTest, TheReticleShowsOnlyWithItsSwitchInItsColour)
{
    View()->RetDocument()->SetToolChoice(0, 11);
    View()->UpdateTool(0);
    // A point of the page clear of the settings window.
    const int x = 650, y = 700;
    // Pixels of the reticle's two lines, away from the pointer, that have
    // the colour.
    auto reticle = [&](std::uint32_t colour) {
        Mouse(x, y, 0);
        int n = 0;
        for (int d = -1; d <= 1; ++d)
            n += SameColour(At(x - 150, y + d), colour, 0x18) +
                 SameColour(At(x + d, y - 150), colour, 0x18);
        return n;
    };
    const std::uint32_t grey = 0xBFBFBF, red = 0xFF0000;
    EXPECT_FALSE(Settings()->switches[CView::RETICULE_VISIBLE]);
    Open();
    ClickTab(3);
    for (bool on : {false, true, false}) {
        SCOPED_TRACE(on);
        ASSERT_EQ(Settings()->switches[CView::RETICULE_VISIBLE], on);
        const int shown = reticle(grey);
        ASSERT_TRUE(View()->RetInput().reticleShown);
        if (on) {
            EXPECT_GE(shown, 2);
        } else {
            EXPECT_EQ(shown, 0);
        }
        EXPECT_EQ(reticle(red), 0);
        ClickView(Dupl()->RetReticuleSwitch());
        Mouse(x - 30, y + 30, 0);
    }
    // "Réticule" made red: the next move draws it red.
    View()->RetDocument()->GetColor(CColorSetup::ColorDefOfElement(6))->SetRGB(1.0, 0.0, 0.0);
    EXPECT_GE(reticle(red), 2);
    EXPECT_EQ(reticle(grey), 0);
}
