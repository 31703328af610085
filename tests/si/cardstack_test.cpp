// The card stack: the card's viewport, the tabs made from the container's
// items and laid along the row (squeezed when they do not fit), a click on
// a tab switching the card with the active tab drawn on top and asked
// first, the frame, and the stack kept in storage.
#include "si/cardstack.h"

#include <gtest/gtest.h>

#include <string>

#include "si/memzone.h"
#include "si/providerview.h"
#include "tests/support/controls.h"
#include "tests/support/itemviews.h"

namespace {

const unsigned kRed = 0x00FF0000u, kGreen = 0x0000FF00u, kBlue = 0x000000FFu;

// A stack over (0, 0, 199, 99) of the fixture's window.
class CardStackTest : public ControlTest {
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        arch = TItemArchitect::Make();
        stack = ZuNew<ZuCardStack>(Zuvi_app_zone);
        stack->SetBox(ZuRect(0, 0, 199, 99));
        stack->SetParent(w);
    }
    void TearDown() override
    {
        stack->Delete();
        stack = ZuCardStackRef();
        arch = TItemArchitectRef();
        items = ZuArrayRef();
        ZuObjectRef::RealiseDeletions();
        ControlTest::TearDown();
    }
    void Init(const std::vector<TItemSpec>& specs, ZuTabLayout layout = ZU_TAB_LAYOUT_TOP)
    {
        items = NewItems(specs);
        ASSERT_TRUE(stack->Initialise(items, arch, arch, layout, 24));
    }
    ZuCardTabRef Tab(unsigned i)
    {
        ZuObjectRef e;
        stack->RetTabs()->Get(i, e);
        return ZuCardTabRef(e);
    }
    std::string TabBoxes()
    {
        std::string out;
        for (unsigned i = 0; i < stack->RetTabs()->TotalCount(); ++i) {
            const ZuRect& r = Tab(i)->RetBox();
            out += std::to_string(int(r.X1())) + "-" + std::to_string(int(r.X2())) + "/" +
                   std::to_string(int(Tab(i)->RetPosition())) + " ";
        }
        return out;
    }
    bool On(unsigned i) { return Tab(i)->RetState().TestBit(ZU_VIEW_IS_ON); }
    unsigned Draw(int x, int y)
    {
        w->AddDelayedDisplay(w->RetBox(), true);
        w->RedrawDelayedDisplay();
        return WindowPixel(x, y);
    }
    ZuViewRef Detected(double x, double y)
    {
        ZuViewRef v;
        stack->Detect(x, y, v, false);
        return v;
    }
    ZuArrayRef items;
    TItemArchitectRef arch;
    ZuCardStackRef stack;
};

} // namespace

TEST_F(CardStackTest, InitialisePlacesTheCardInsideTheMarginAndTheTabRow)
{
    EXPECT_FALSE(stack->Initialise(ZuBaseContainerRef(), arch, arch, ZU_TAB_LAYOUT_TOP, 24));
    EXPECT_TRUE(stack->RetViewport().IsInvalid());
    struct Case {
        ZuTabLayout layout;
        ZuRect viewport;
    } const cases[] = {
        {ZU_TAB_LAYOUT_TOP, ZuRect(5, 29, 194, 94)},
        {ZU_TAB_LAYOUT_BOTTOM, ZuRect(5, 5, 194, 70)},
        {ZU_TAB_LAYOUT_LEFT, ZuRect(29, 5, 194, 94)},
        {ZU_TAB_LAYOUT_RIGHT, ZuRect(5, 5, 170, 94)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ZuTabLayoutRetName(c.layout));
        Init({{40, 14, kRed}}, c.layout);
        EXPECT_EQ(stack->RetViewport()->RetBox(), c.viewport);
    }
    // The tab size moves the tabs, not the viewport.
    stack->SetTabSize(30);
    EXPECT_EQ(stack->RetViewport()->RetBox(), ZuRect(5, 5, 170, 94));
    Draw(0, 0);
    EXPECT_EQ(Tab(0)->RetBox(), ZuRect(169, 0, 198, 25));
}

TEST_F(CardStackTest, NoItemsMakeNoTabsAndNothingIsDetected)
{
    Init({});
    Draw(0, 0);
    EXPECT_EQ(stack->RetTabs()->TotalCount(), 0u);
    ZuViewRef v;
    EXPECT_FALSE(stack->Detect(100, 50, v, false));
}

TEST_F(CardStackTest, TabsLieAlongTheRowAndASqueezedRowEndsAtItsFarEnd)
{
    // One tab: the begin piece, never squeezed.
    Init({{40, 14, kRed}});
    Draw(0, 0);
    EXPECT_EQ(TabBoxes(), "0-51/-1 ");
    // Three tabs that fit keep the last one in the middle.
    Init({{40, 14, kRed}, {40, 14, kGreen}, {40, 14, kBlue}});
    Draw(0, 0);
    EXPECT_EQ(TabBoxes(), "0-51/-1 47-98/0 94-145/0 ");
    EXPECT_EQ(Tab(0)->RetBox().DY(), 24);
    // Three tabs of 52 in a row of 100: squeeze 23.
    stack->SetBox(ZuRect(0, 0, 99, 99));
    Draw(0, 0);
    EXPECT_EQ(TabBoxes(), "0-51/-1 24-75/0 48-99/1 ");
}

TEST_F(CardStackTest, AClickOnATabShowsItsCardAndDrawsItOnTop)
{
    Init({{40, 14, kRed}, {40, 14, kGreen}, {40, 14, kBlue}});
    stack->SetBox(ZuRect(0, 0, 99, 99));
    // Labels at 6-45, 30-69 and 54-93: the one drawn later shows where
    // two overlap.
    // Each click lands where the tab to activate is the first one asked.
    struct Case {
        double click_x;
        unsigned active;
        unsigned at_40;
        unsigned at_60;
        unsigned detected_at_40;
        unsigned detected_at_60;
    } const cases[] = {
        {90, 2, kGreen, kBlue, 1, 2},
        {40, 1, kGreen, kGreen, 1, 1},
        {10, 0, kRed, kGreen, 0, 1},
    };
    Draw(0, 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.active);
        const double x = c.click_x;
        Mouse(x, 12, 0);
        Mouse(x, 12, MK_LBUTTON);
        Mouse(x, 12, 0);
        EXPECT_EQ(stack->RetActiveView(), c.active);
        EXPECT_EQ(Draw(40, 12), c.at_40);
        EXPECT_EQ(Draw(60, 12), c.at_60);
        for (unsigned i = 0; i < 3; ++i)
            EXPECT_EQ(On(i), i == c.active);
        EXPECT_EQ(Detected(40, 12), Tab(c.detected_at_40));
        EXPECT_EQ(Detected(60, 12), Tab(c.detected_at_60));
        // The card of the item shows at the viewport's corner.
        const unsigned card[] = {kRed, kGreen, kBlue};
        EXPECT_EQ(Draw(10, 35), card[c.active]);
    }
}

TEST_F(CardStackTest, StorageKeepsTheTabRow)
{
    Init({{40, 14, kRed}, {40, 14, kGreen}}, ZU_TAB_LAYOUT_LEFT);
    stack->SetTabSize(30);
    Draw(0, 0);
    ZuCardStackRef read(StoredAndRead(stack));
    ASSERT_TRUE(read.IsValid());
    EXPECT_EQ(read->RetTabLayout(), ZU_TAB_LAYOUT_LEFT);
    EXPECT_EQ(read->RetTabSize(), 30);
    EXPECT_TRUE(read->RetTabProvider().IsValid());
    EXPECT_EQ(read->RetTabs()->TotalCount(), 2u);
    // The restored stack rebuilds its tabs from the restored container.
    ZuViewRef v;
    ASSERT_TRUE(read->Detect(10, 10, v, false));
    EXPECT_TRUE(v->IsKindOf(ZuCardTabRef::RetRuntime()));
    EXPECT_EQ(read->RetTabCount(), 2u);
    read->Delete();
}
