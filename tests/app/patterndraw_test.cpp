// The interactive sample box as a pane meets it: sample space centred on
// the box at any zoom, every event handed to the pane with the box's
// sample value after the view's own handling, the pane's painting around
// the box's own and under the frame, and the cursor sprite chosen once.
#include <gtest/gtest.h>

#include <string>

#include "app/patterndraw.h"
#include "tests/app/panetest.h"

// A pane that logs the sample calls it gets ("press:7 ") and paints a red
// square over the sample's centre when asked to.
ZU_HANDLE(TPatternDrawPane, CDefPane)
class TPatternDrawPane : public CDefPane {
    ZU_CLASS(TPatternDrawPane, CDefPane)
public:
    TPatternDrawPane() {}
    void DrawSampleBack(const ZuGrailPortRef&, int value) override { Log("back", value); }
    void DrawSampleFront(const ZuGrailPortRef& port, int value) override
    {
        Log("front", value);
        if (paint && box.IsValid()) {
            const DPoint c = box->SampleToView(0, 0);
            port->SetForeColor(ZuColorPixel(1.0, 0.0, 0.0, 0.0));
            port->FillRect(c.x - 3, c.y - 3, c.x + 3, c.y + 3);
        }
    }
    void SampleKeyDown(const ZuEventRef&, int value) override { Log("key", value); }
    void SampleMotionNotify(const ZuEventRef&, int value) override { Log("motion", value); }
    void SampleButtonPress(const ZuEventRef& e, int value) override
    {
        Log("press", value);
        at = box->ViewToSample(e->RetX(), e->RetY());
    }
    void SampleButtonRelease(const ZuEventRef&, int value) override { Log("release", value); }
    void SampleDragNotify(const ZuEventRef&, int value) override { Log("drag", value); }
    void SampleEnterNotify(const ZuEventRef&, int value) override { Log("enter", value); }
    void SampleLeaveNotify(const ZuEventRef&, int value) override { Log("leave", value); }
    // Motions, and drags, in a row count once.
    void Log(const std::string& what, int value)
    {
        const std::string entry = what + ":" + std::to_string(value) + " ";
        if (what == "back" || what == "front")
            draws += what + " ";
        else if ((what != "motion" && what != "drag") || entry != last)
            log += entry;
        last = entry;
    }
    CPatternDrawRef box;
    std::string log;
    std::string draws;
    std::string last;
    bool paint = false;
    DPoint at{0, 0};
};
ZU_CLASS_END(TPatternDrawPane)
ZU_IMPLEMENT_CLASS(TPatternDrawPane, "tests/patterndraw", ZU_CLASS_PLAIN)

namespace {

class PatternDrawTest : public PaneTest {
protected:
    CPatternDrawRef Box(double x, double y, double dx, double dy, int value)
    {
        CPatternDrawRef box = ZuNew<CPatternDraw>(Zuvi_app_zone);
        box->Build(x, y, dx, dy, true, value);
        box->SetParent(pw);
        return box;
    }
    TPatternDrawPaneRef Pane(const CPatternDrawRef& box)
    {
        TPatternDrawPaneRef pane = ZuNew<TPatternDrawPane>(Zuvi_app_zone);
        pane->box = box;
        box->SetPane(CDefPaneRef(ZuObjectRef(pane)));
        return pane;
    }
};

} // namespace

TEST_F(PatternDrawTest, SampleSpaceIsCentredOnTheBoxAtAnyZoom)
{
    CPatternDrawRef box = ZuNew<CPatternDraw>(Zuvi_app_zone);
    EXPECT_FALSE(box->Render());
    EXPECT_FALSE(box->SetZoom(2.0));
    EXPECT_FALSE(box->RetPort().IsValid());
    box->Delete();

    box = Box(27, 4, 161, 161, 0);
    // The image is the box less 4 units each side.
    EXPECT_EQ(box->RetImageArea().x1, 31.0);
    EXPECT_EQ(box->RetImageArea().y2, 161.0);
    const DPoint c = box->SampleToView(0, 0);
    EXPECT_DOUBLE_EQ(c.x, 107.5);
    EXPECT_DOUBLE_EQ(c.y, 84.5);
    ASSERT_TRUE(box->SetZoom(131.6));
    const DPoint p = box->SampleToView(0.5, 0.5);
    EXPECT_NEAR(p.x - c.x, 65.8, 1e-9);
    EXPECT_NEAR(c.y - p.y, 65.8, 1e-9);
    EXPECT_NEAR(box->LengthToSample(4.0), 4.0 / 131.6, 1e-15);
    for (double zoom : {1.0, 0.25, 3.5, -2.0, 1e-6}) {
        box->SetZoom(zoom);
        for (DPoint s : {DPoint{0, 0}, DPoint{-70, 12.5}, DPoint{1e4, -3e3}}) {
            const DPoint v = box->SampleToView(s.x, s.y);
            const DPoint back = box->ViewToSample(v.x, v.y);
            EXPECT_NEAR(back.x, s.x, 1e-6 * (1 + std::abs(s.x))) << zoom;
            EXPECT_NEAR(back.y, s.y, 1e-6 * (1 + std::abs(s.y))) << zoom;
        }
    }
    // The port's origin is the image area's centre.
    box->SetZoom(2.0);
    CGraTransform t;
    box->RetPort()->GetTransform(t);
    EXPECT_EQ(t.scale, 2.0);
    EXPECT_EQ(t.dx, 153 * 0.5 / 2.0);
    EXPECT_EQ(t.dy, 153 * 0.5 / 2.0);
}

TEST_F(PatternDrawTest, EveryEventReachesThePaneWithTheBoxValue)
{
    CPatternDrawRef large = Box(27, 4, 161, 161, 0);
    CPatternDrawRef strip = Box(27, 169, 161, 23, 1);
    TPatternDrawPaneRef pane = Pane(large);
    strip->SetPane(CDefPaneRef(ZuObjectRef(pane)));
    pw->Display(true);
    Pump();
    pane->log.clear();
    // In over the margin, then over the image, press, drag, release.
    PaneMouse(29, 80, 0);
    PaneMouse(107, 84, 0);
    Advance(1000);
    PaneMouse(117, 74, MK_LBUTTON);
    PaneMouse(130, 60, MK_LBUTTON);
    PaneMouse(130, 60, 0);
    EXPECT_EQ(pane->log, "enter:0 motion:0 press:0 drag:0 release:0 ");
    EXPECT_NEAR(pane->at.x, 9.5, 1e-9);
    EXPECT_NEAR(pane->at.y, 10.5, 1e-9);
    pane->log.clear();
    // Down into the strip: the large box is left, the strip entered.
    PaneMouse(107, 180, 0);
    Advance(1000);
    PaneMouse(107, 180, MK_LBUTTON);
    PaneMouse(107, 180, 0);
    EXPECT_NE(pane->log.find("leave:0 "), std::string::npos) << pane->log;
    EXPECT_NE(pane->log.find("enter:1 "), std::string::npos) << pane->log;
    EXPECT_NE(pane->log.find("press:1 drag:1 release:1 "), std::string::npos) << pane->log;
    EXPECT_EQ(pane->log.find(":0 ", pane->log.find("leave:0 ") + 8), std::string::npos)
        << pane->log;
    pane->log.clear();
    // A gesture that leaves the box stays with it to the release.
    pane->log.clear();
    Advance(1000);
    PaneMouse(107, 84, 0);
    pane->log.clear();
    PaneMouse(107, 84, MK_LBUTTON);
    PaneMouse(300, 100, MK_LBUTTON);
    PaneMouse(300, 100, 0);
    EXPECT_EQ(pane->log, "press:0 drag:0 release:0 ");
    pane->log.clear();
    ZuEventRef key = ZuNew<ZuEvent>(Zuvi_app_zone);
    strip->KeyDown(key);
    EXPECT_EQ(pane->log, "key:1 ");
    // Without a pane the box only does what a view does.
    large->SetPane(CDefPaneRef());
    pane->log.clear();
    PaneMouse(107, 84, 0);
    Advance(1000);
    PaneMouse(107, 84, MK_LBUTTON);
    PaneMouse(107, 84, 0);
    large->KeyDown(key);
    EXPECT_EQ(pane->log.find(":0 "), std::string::npos) << pane->log;
    strip->SetPane(CDefPaneRef());
    pane->Delete();
}

TEST_F(PatternDrawTest, ThePanePaintsAroundTheViewAndUnderTheFrame)
{
    CPatternDrawRef box = Box(27, 4, 161, 161, 0);
    TPatternDrawPaneRef pane = Pane(box);
    ASSERT_TRUE(box->Render());
    ASSERT_TRUE(box->SetZoom(2.0));
    pane->paint = true;
    box->Display();
    const unsigned centre = PanePixel(107, 84);
    EXPECT_EQ(pane->draws.substr(0, 11), "back front ");
    // The pane's red square sits over the rendered image, and no zoom
    // label is written although the zoom is 2.
    EXPECT_TRUE(Near(centre, 0xFF0000)) << std::hex << centre;
    EXPECT_TRUE(Near(PanePixel(60, 40), 0xFFFFFF)) << std::hex << PanePixel(60, 40);
    int red = 0;
    for (int y = 140; y < 162; ++y)
        for (int x = 30; x < 80; ++x)
            red += Near(PanePixel(x, y), 0xFF0000) ? 1 : 0;
    EXPECT_EQ(red, 0);
    // The frame is the look's box frame: the same as a box without a pane.
    CPatternDrawRef bare = Box(200, 4, 161, 161, 0);
    bare->Render();
    pw->Display(true);
    Pump();
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(PanePixel(27 + i, 100), PanePixel(200 + i, 100)) << i;
        EXPECT_EQ(PanePixel(100, 4 + i), PanePixel(273, 4 + i)) << i;
    }
    // Hidden: neither image nor overlay.
    box->SetVisible(false);
    pw->Display(true);
    Pump();
    EXPECT_FALSE(Near(PanePixel(107, 84), 0xFF0000));
    box->SetPane(CDefPaneRef());
    pane->Delete();
}

TEST_F(PatternDrawTest, AnUnchangedSpriteSelectsNoCursor)
{
    CPatternDrawRef box = Box(27, 4, 161, 161, 0);
    EXPECT_EQ(box->RetCursorSprite(), -1);
    box->SetCursorSprite(1);
    EXPECT_EQ(box->RetCursor(), ZuAtomRef("lumbra_Sprite01"));
    // Someone else changes the cursor; the same sprite again does nothing.
    box->SetCursor(ZuAtomRef("Zuvi_CursorNormal"));
    box->SetCursorSprite(1);
    EXPECT_EQ(box->RetCursor(), ZuAtomRef("Zuvi_CursorNormal"));
    box->ClearCursorSprite();
    EXPECT_EQ(box->RetCursor(), ZuAtomRef("Zuvi_CursorNormal"));
    box->SetCursorSprite(1);
    EXPECT_EQ(box->RetCursor(), ZuAtomRef("lumbra_Sprite01"));
    box->SetCursorSprite(42);
    EXPECT_EQ(box->RetCursor(), ZuAtomRef("lumbra_Sprite42"));
    EXPECT_EQ(box->RetCursorSprite(), 42);
}
