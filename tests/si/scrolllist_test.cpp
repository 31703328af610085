// Scroll lists: the scrollers each direction needs, one item per line
// step, the pane following its scrollers by name, automatic scrolling near
// the pane's edges, the text-list form and the stored form.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "si/array.h"
#include "si/classfactory.h"
#include "si/gridlayout.h"
#include "si/lookman.h"
#include "si/memzone.h"
#include "si/scrolllist.h"
#include "si/textarchitect.h"
#include "si/string.h"
#include "si/texttag.h"
#include "si/rtclass.h"
#include "tests/support/controls.h"
#include "tests/support/itemviews.h"

namespace {

// A list of 100 x 100 at the window's corner; scrollers 16 wide.
class ScrollListTest : public ControlTest {
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        sheet = NewPixmap(32, 16, 16);
        for (const char* name : {"Zuvi_ScrollerUpArrow", "Zuvi_ScrollerDownArrow",
                                 "Zuvi_ScrollerLeftArrow", "Zuvi_ScrollerRightArrow"})
            ZuLookMan::Current()->AddUserIcon(ZuAtomRef(name), ZU_CTRL_STATE_NORMAL, sheet,
                                              ZuRect(0, 0, 15, 15));
        arch = TItemArchitect::Make();
        list = ZuNew<ZuScrollList>(Zuvi_app_zone);
        list->SetBox(ZuRect(0, 0, 99, 99));
        list->SetParent(w);
    }
    void TearDown() override
    {
        list->SetParent(ZuViewNull);
        list->Delete();
        list = ZuScrollListRef();
        arch = TItemArchitectRef();
        sheet->Delete();
        sheet = ZuGrailPixmapNull;
        ZuObjectRef::RealiseDeletions();
        ControlTest::TearDown();
    }
    // n items of dx x dy in one column.
    bool Fill(unsigned n, double dx, double dy)
    {
        std::vector<TItemSpec> specs(n, TItemSpec{dx, dy, 0});
        ZuArrayRef items = NewItems(specs);
        ZuGridLayoutRef grid = ZuNew<ZuGridLayout>(Zuvi_app_zone);
        grid->Initialise(items, arch, 1, n, 0, 0, true, true);
        return list->Initialise(items, arch, grid, ZuProviderViewNull);
    }
    static std::string Box(const ZuViewRef& v)
    {
        const ZuRect& r = v->RetBox();
        return std::to_string(int(r.X1())) + "," + std::to_string(int(r.Y1())) + " " +
               std::to_string(int(r.DX())) + "x" + std::to_string(int(r.DY()));
    }
    ZuGrailPixmapRef sheet;
    TItemArchitectRef arch;
    ZuScrollListRef list;
};

} // namespace

TEST_F(ScrollListTest, EachScrollerAppearsOnlyWhenTheContentsDoNotFit)
{
    struct Case {
        unsigned n;
        double dx, dy;
        bool h, v;
        const char* pane;
    } cases[] = {
        {5, 100, 20, false, false, "0,0 100x100"}, // exactly as wide and high
        {5, 50, 19, false, false, "0,0 100x100"},  {6, 50, 20, false, true, "0,0 84x100"},
        {6, 100, 20, true, true, "0,0 84x84"}, // the vertical one calls for the other
        {1, 101, 90, true, true, "0,0 84x84"}, // and the reverse
        {1, 101, 80, true, false, "0,0 100x84"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.n) + " x " + std::to_string(int(c.dx)) + "x" +
                     std::to_string(int(c.dy)));
        ASSERT_TRUE(Fill(c.n, c.dx, c.dy));
        EXPECT_EQ(list->HasHScroller(), c.h);
        EXPECT_EQ(list->HasVScroller(), c.v);
        EXPECT_EQ(Box(list->RetPane()), c.pane);
        EXPECT_EQ(list->RetHScroller()->RetParent() == list, c.h);
        EXPECT_EQ(list->RetVScroller()->RetParent() == list, c.v);
        if (c.h) {
            EXPECT_EQ(Box(list->RetHScroller()), "0,84 " + std::to_string(c.v ? 84 : 100) + "x16");
        }
        if (c.v) {
            EXPECT_EQ(Box(list->RetVScroller()), "84,0 16x" + std::to_string(c.h ? 84 : 100));
        }
    }
    // The relief's inset narrows the room.
    Fill(5, 100, 20);
    list->ChangeStyle(ZU_CTRL_DRAW_RELIEF, true);
    const double m = list->RetEffectSize();
    ASSERT_GT(m, 0);
    EXPECT_TRUE(list->HasHScroller());
    EXPECT_EQ(list->RetPane()->RetBox().X1(), m);
}

TEST_F(ScrollListTest, OneLineStepMovesTheListByOneItem)
{
    struct Case {
        unsigned n;
        unsigned steps;
        double increment;
    } cases[] = {{6, 2, 1.0}, {10, 6, 0.2}, {7, 3, 0.5}, {25, 21, 0.05}};
    for (const Case& c : cases) {
        ASSERT_TRUE(Fill(c.n, 50, 20));
        ASSERT_TRUE(list->HasVScroller());
        EXPECT_EQ(list->RetVScroller()->RetTotalSteps(), c.steps) << c.n;
        EXPECT_DOUBLE_EQ(list->RetVScroller()->RetIncrement(), c.increment) << c.n;
        EXPECT_DOUBLE_EQ(list->RetVScroller()->RetVisibleRatio(),
                         list->RetPane()->RetVerticalRatio());
    }
    // Without items the whole contents count as one row: a layout that
    // keeps an empty row taller than the pane divides nothing by zero.
    ZuArrayRef none = ZuNew<ZuArray>(Zuvi_app_zone);
    ZuGridLayoutRef grid = ZuNew<ZuGridLayout>(Zuvi_app_zone);
    grid->Initialise(none, arch, 1, 6, 0, 0, false, true);
    grid->SetDefaultRowHeight(150);
    ASSERT_TRUE(list->Initialise(none, arch, grid, ZuProviderViewNull));
    double cw = 0, ch = 0;
    grid->GetGlobalSize(cw, ch);
    ASSERT_EQ(ch, 150);
    ASSERT_TRUE(list->HasVScroller());
    EXPECT_EQ(list->RetVScroller()->RetTotalSteps(), 1u);
    EXPECT_EQ(list->RetVScroller()->RetIncrement(), 1.0);
}

TEST_F(ScrollListTest, TheScrollersMoveThePaneByName)
{
    ASSERT_TRUE(Fill(10, 150, 20));
    ASSERT_TRUE(list->HasVScroller() && list->HasHScroller());
    const ZuViewPaneRef pane = list->RetPane();
    // The vertical scroller's down arrow (at the bottom of 84,0 16x84).
    Mouse(92, 76, MK_LBUTTON);
    Mouse(92, 76, 0);
    EXPECT_DOUBLE_EQ(pane->RetVerticalOffset(), list->RetVScroller()->RetVisibleValue());
    EXPECT_GT(pane->RetVerticalOffset(), 0);
    // The horizontal scroller's knob dragged to its end.
    Mouse(20, 92, MK_LBUTTON);
    Mouse(200, 92, MK_LBUTTON);
    Mouse(200, 92, 0);
    EXPECT_EQ(pane->RetHorizontalOffset(), 1.0);
}

TEST_F(ScrollListTest, DraggingNearThePaneEdgesScrollsVertically)
{
    ASSERT_TRUE(Fill(10, 50, 20));
    struct Case {
        double y;
        bool detected;
        double angle, speed;
    } cases[] = {{3, true, 90, 0.4}, {-10, true, 90, 3.0}, {50, false, 0, 0},
                 {5, false, 0, 0},   {97, true, 270, 0.6}, {94, false, 0, 0}};
    for (const Case& c : cases) {
        double angle = -1, speed = -1;
        EXPECT_EQ(list->DetectAutoScroll(40, c.y, angle, speed), c.detected) << c.y;
        EXPECT_EQ(angle, c.angle) << c.y;
        EXPECT_DOUBLE_EQ(speed, c.speed) << c.y;
    }
    const ZuScrollerRef v = list->RetVScroller();
    list->HandleAutoScroll(270, 0.6);
    EXPECT_DOUBLE_EQ(v->RetInternalValue(), 0.2);
    EXPECT_DOUBLE_EQ(list->RetPane()->RetVerticalOffset(), 0.2);
    list->HandleAutoScroll(90, 0.4);
    EXPECT_EQ(v->RetInternalValue(), 0.0);
    // Without a horizontal scroller the horizontal angles do nothing.
    list->HandleAutoScroll(180, 1);
    EXPECT_EQ(list->RetHScroller()->RetInternalValue(), 0.0);
}

TEST_F(ScrollListTest, ASourceThatIsNoContainerBuildsNothing)
{
    ZuStringRef text("pas une liste");
    ZuGridLayoutRef grid = ZuNew<ZuGridLayout>(Zuvi_app_zone);
    EXPECT_FALSE(list->Initialise(ZuObjectRef(text), arch, grid, ZuProviderViewNull));
    EXPECT_FALSE(list->Initialise(ZuObjectRef(text)));
    EXPECT_FALSE(list->Initialise(ZuObjectNull));
    EXPECT_TRUE(list->RetPane().IsInvalid());
    EXPECT_TRUE(list->RetProvider().IsInvalid());
    // It draws as a bare control.
    w->Display(false);
    WindowPixel(5, 5);
    EXPECT_FALSE(list->IsGeometryOk());
    EXPECT_FALSE(list->SetTitle(ZuStringRef("titre")));
}

TEST_F(ScrollListTest, ATextListShowsOneTextALine)
{
    ZuArrayRef texts = ZuNew<ZuArray>(Zuvi_app_zone);
    for (int i = 0; i < 12; ++i)
        texts->Insert(ZuObjectRef(ZuStringRef(("ligne " + std::to_string(i)).c_str())));
    ASSERT_TRUE(list->Initialise(texts));
    ASSERT_TRUE(list->RetArchitect()->IsKindOf(ZuTextArchitectRef::RetRuntime()));
    // The model: a text tag at the left, centred upright, 5 spaces each side.
    const ZuTextTagBaseRef model = ZuTextArchitectRef(list->RetArchitect())->RetModel();
    ASSERT_TRUE(model.IsValid() && model->IsKindOf(ZuTextTagRef::RetRuntime()));
    ZuTextTagRef tag(model);
    EXPECT_TRUE(tag->RetTextStyle() == ZuTextStyle(ZU_TEXT_HPOS_LEFT, ZU_TEXT_VPOS_CENTER));
    EXPECT_EQ(tag->RetLeftSpace(), 5.0);
    EXPECT_EQ(tag->RetRightSpace(), 5.0);
    // One column of twelve rows, laid out by rows, constrained vertically.
    ZuGridLayoutRef grid(list->RetLayout());
    EXPECT_EQ(grid->RetNumColumns(), 1u);
    EXPECT_EQ(grid->RetNumRows(), 12u);
    EXPECT_TRUE(grid->RetLayoutByRows());
    bool cx = true, cy = false;
    grid->GetConstrainMode(cx, cy);
    EXPECT_FALSE(cx);
    EXPECT_TRUE(cy);
    // Twelve lines of text do not fit in 100: one hidden line a step.
    ASSERT_TRUE(list->HasVScroller());
    EXPECT_FALSE(list->HasHScroller());
    const unsigned steps = list->RetVScroller()->RetTotalSteps();
    EXPECT_GT(steps, 1u);
    EXPECT_LT(steps, 12u);
    EXPECT_DOUBLE_EQ(list->RetVScroller()->RetIncrement(), 1.0 / (steps - 1));
}

TEST_F(ScrollListTest, ARestoredListLaysItselfOutAtItsFirstDraw)
{
    ASSERT_TRUE(Fill(10, 50, 20));
    list->RetVScroller()->SetVisibleValue(0.6);
    ZuObjectRef out = StoreAndRestore(list);
    ASSERT_TRUE(out.IsValid() && out->IsKindOf(ZuScrollListRef::RetRuntime()));
    ZuScrollListRef back(out);
    EXPECT_FALSE(back->IsGeometryOk());
    ASSERT_TRUE(back->RetPane().IsValid());
    EXPECT_TRUE(back->RetPane()->RetParent() == back);
    EXPECT_EQ(back->RetSource()->IsKindOf(ZuArrayRef::RetRuntime()), true);
    // Shown in place of the first, it lays itself out when drawn.
    list->SetParent(ZuViewNull);
    back->SetParent(w);
    w->Display(false);
    WindowPixel(5, 5);
    EXPECT_TRUE(back->IsGeometryOk());
    EXPECT_TRUE(back->HasVScroller());
    EXPECT_EQ(back->RetVScroller()->RetTotalSteps(), 6u);
    // Its scroller still moves its pane.
    back->RetVScroller()->Scroll(2);
    EXPECT_DOUBLE_EQ(back->RetPane()->RetVerticalOffset(), back->RetVScroller()->RetVisibleValue());
    back->SetParent(ZuViewNull);
    back->Delete();
    list->SetParent(w);
}
