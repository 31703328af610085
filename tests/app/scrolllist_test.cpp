// The scrolling list as a pane uses it: rows of 16 pixels, its scroll bar
// in the rightmost 17 pixels, selection by the program (silent) and by the
// mouse (reported once a change), what it draws, and a list read back from
// an interface file without scroll bar or entries.
#include <gtest/gtest.h>

#include <string>

#include "app/scrolllist.h"
#include "si/classfactory.h"
#include "si/list.h"
#include "si/memzone.h"
#include "si/string.h"
#include "tests/app/panecontrols.h"
#include "tests/support/views.h"

namespace {

class ScrollListTest : public PaneControlTest {
protected:
    void SetUp() override
    {
        PaneControlTest::SetUp();
        list = ZuNew<CScrollList>(Zuvi_app_zone);
        // Box (10, 10) to (129, 109): 92 pixels of rows, 5 rows.
        list->CreateScroller(10, 10, 120, 100);
        list->SetParent(w);
        reports->Watch(list, {"notify_Modify"});
    }
    void TearDown() override
    {
        list = CScrollListRef();
        PaneControlTest::TearDown();
    }
    static ZuListRef Entries(int n)
    {
        ZuListRef entries = ZuNew<ZuList>(Zuvi_app_zone);
        entries->SetInsertMode(false);
        for (int i = 0; i < n; ++i)
            entries->Insert(ZuObjectRef(ZuStringRef(("Ligne " + std::to_string(i)).c_str())));
        return entries;
    }
    void Click(double x, double y)
    {
        Mouse(x, y, 0);
        Mouse(x, y, MK_LBUTTON);
        Mouse(x, y, 0);
    }
    CScrollListRef list;
};

TEST_F(ScrollListTest, SelectScrollsIntoTheMiddleAndReportsNothing)
{
    EXPECT_EQ(list->RetVisibleRows(), 5);
    list->UpdateScroller(Entries(10));
    EXPECT_NEAR(list->RetScroller()->RetVisibleRatio(), 1.0 / 6, 1e-9);
    EXPECT_NEAR(list->RetScroller()->RetIncrement(), 1.0 / 3, 1e-9);
    struct Case {
        int index, selected, first;
        double knob;
    };
    const Case cases[] = {
        {8, 8, 5, 1.0},  // t = 10, cut to 9: first 5
        {6, 6, 5, 1.0},  // visible: first stays
        {3, 3, 1, 0.2},  // above the window: into the middle
        {-1, -1, 0, 0},  // cleared: back to the top
        {42, 9, 5, 1.0}, // past the end: the last entry
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.index);
        EXPECT_TRUE(list->Select(k.index));
        EXPECT_EQ(list->RetSelected(), k.selected);
        EXPECT_EQ(list->RetFirst(), k.first);
        EXPECT_NEAR(list->RetScroller()->RetVisibleValue(), k.knob, 0.01);
    }
    // New entries clear the selection and go back to the top, silently.
    list->UpdateScroller(Entries(3));
    EXPECT_EQ(list->RetSelected(), -1);
    EXPECT_EQ(list->RetFirst(), 0);
    EXPECT_EQ(list->RetScroller()->RetVisibleRatio(), 1.0);
    list->Select(7);
    EXPECT_EQ(list->RetSelected(), 2);
    EXPECT_EQ(list->RetScroller()->RetVisibleValue(), 0.0);
    EXPECT_EQ(reports->log, "");
}

TEST_F(ScrollListTest, AClickOnARowSelectsItOnceAndTheScrollBarNever)
{
    list->UpdateScroller(Entries(10));
    list->Select(7); // first 5
    list->Select(2); // first 0
    list->Select(4); // visible
    list->Select(-1);
    EXPECT_EQ(list->RetFirst(), 0);
    // Row 2 of the window, scrolled to first 2 by the bar's value.
    list->RetScroller()->SetVisibleValue(0.4);
    list->OnScroll(ZuObjectNull, 0);
    EXPECT_EQ(list->RetFirst(), 2);
    Click(40, 10 + 4 + 35);
    EXPECT_EQ(list->RetSelected(), 4);
    EXPECT_EQ(reports->log, "notify_Modify(1) ");
    Click(40, 10 + 4 + 35);
    EXPECT_EQ(reports->log, "notify_Modify(1) ");
    // The scroll bar's column drives the bar, never the selection.
    reports->Clear();
    Click(125, 100);
    EXPECT_EQ(list->RetSelected(), 4);
    EXPECT_EQ(reports->log, "");
    EXPECT_GT(list->RetFirst(), 2);
}

TEST_F(ScrollListTest, DragsBelowTheLastRowAndAboveTheFirstStayWithinTheEntries)
{
    list->UpdateScroller(Entries(3));
    Mouse(40, 20, 0);
    Mouse(40, 20, MK_LBUTTON);
    EXPECT_EQ(list->RetSelected(), 0);
    Mouse(40, 45, MK_LBUTTON);
    EXPECT_EQ(list->RetSelected(), 1);
    Mouse(40, 300, MK_LBUTTON); // below the last row, out of the window
    EXPECT_EQ(list->RetSelected(), 2);
    Mouse(40, -60, MK_LBUTTON); // above the first row
    EXPECT_EQ(list->RetSelected(), 0);
    Mouse(40, -60, 0);
    EXPECT_EQ(reports->log, "notify_Modify(1) notify_Modify(1) notify_Modify(1) "
                            "notify_Modify(1) ");
    // An empty list selects nothing and says nothing.
    list->UpdateScroller(Entries(0));
    reports->Clear();
    Click(40, 20);
    EXPECT_EQ(list->RetSelected(), -1);
    EXPECT_EQ(reports->log, "");
}

TEST_F(ScrollListTest, RowsAreBlackOnWhiteTheSelectedOneWhiteOnGrey)
{
    list->UpdateScroller(Entries(10));
    list->Select(1);
    list->Display(true);
    // Row 0 (14..29) white, row 1 (30..45) a grey band up to x 108.
    EXPECT_EQ(WindowPixel(100, 20), 0xFFFFFFu);
    EXPECT_TRUE(Near(WindowPixel(100, 38), 0x808080));
    EXPECT_TRUE(Near(WindowPixel(108, 38), 0x808080));
    EXPECT_FALSE(Near(WindowPixel(109, 38), 0x808080));
    // Text: black pixels in row 0, white ones in the band.
    bool black = false, white = false;
    for (int x = 16; x < 60; ++x)
        for (int y = 15; y < 29; ++y) {
            black = black || WindowPixel(x, y) == 0;
            white = white || WindowPixel(x, y + 16) == 0xFFFFFFu;
        }
    EXPECT_TRUE(black);
    EXPECT_TRUE(white);
}

TEST_F(ScrollListTest, AListWithoutScrollBarOrEntriesAnswersSafely)
{
    CScrollListRef bare = ZuNew<CScrollList>(Zuvi_app_zone);
    bare->SetBox(ZuRect(140, 10, 199, 109));
    bare->SetParent(w);
    bare->Display(true);
    EXPECT_TRUE(bare->Select(3));
    EXPECT_EQ(bare->RetSelected(), -1);
    EXPECT_TRUE(bare->OnScroll(ZuObjectNull, 0));
    EXPECT_TRUE(bare->UpdateScroller(ZuListRef()));
    reports->Watch(bare, {"notify_Modify"});
    Click(150, 30);
    Click(195, 30);
    EXPECT_EQ(bare->RetSelected(), -1);
    EXPECT_EQ(reports->log, "");
    EXPECT_TRUE(bare->SetVisible(false));
    EXPECT_TRUE(bare->SetEnable(false));

    // A built list read back from its stored form has neither.
    list->UpdateScroller(Entries(4));
    CScrollListRef again(StoreAndRestore(list));
    ASSERT_TRUE(again.IsValid());
    EXPECT_TRUE(again->RetScroller().IsInvalid());
    EXPECT_TRUE(again->Select(2));
    EXPECT_TRUE(again->OnScroll(ZuObjectNull, 0));
    TProbeEventRef e = TProbeEvent::Make(ZU_EVENT_PRESS, 125, 30);
    e->Button(ZU_EV_BUTTON_LEFT).Changed(ZU_EV_BUTTON_LEFT);
    again->ButtonPress(e);
    again->DragNotify(e);
    again->ButtonRelease(e);
    EXPECT_EQ(again->RetSelected(), -1);
    e->Delete();
    again->Delete();
}

} // namespace
