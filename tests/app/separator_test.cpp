// Separators as a pane shows them: grooves of a dark line beside a light
// one, arrows that shrink toward their point, read back from the window;
// their minimum size and their published style.
#include <gtest/gtest.h>

#include "app/separator.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/values.h"
#include "tests/app/panecontrols.h"

namespace {

const unsigned kDark = 0x808080;
const unsigned kLight = 0xE6E6E6;

class SeparatorTest : public PaneControlTest {
protected:
    CSeparatorRef Add(unsigned style, double x, double y, double dx, double dy)
    {
        CSeparatorRef s = ZuNew<CSeparator>(Zuvi_app_zone);
        s->SetStyle(style);
        s->SetBox(ZuRect(x, y, x + dx - 1, y + dy - 1));
        s->SetParent(w);
        s->Display(true);
        return s;
    }
    bool Dark(int x, int y) { return Near(WindowPixel(x, y), kDark); }
};

TEST_F(SeparatorTest, GroovesAreADarkLineBesideALightOne)
{
    Add(0, 0, 0, 100, 2);
    Add(CSeparator::VERTICAL, 10, 10, 2, 40);
    for (int x : {0, 50, 99}) {
        EXPECT_TRUE(Dark(x, 0)) << x;
        EXPECT_TRUE(Near(WindowPixel(x, 1), kLight)) << x;
    }
    EXPECT_FALSE(Dark(100, 0));
    for (int y : {10, 30, 49}) {
        EXPECT_TRUE(Dark(10, y)) << y;
        EXPECT_TRUE(Near(WindowPixel(11, y), kLight)) << y;
    }
    EXPECT_FALSE(Dark(10, 50));
}

TEST_F(SeparatorTest, ArrowsShrinkTowardTheirPointAndAStepOfZeroFillsTheBox)
{
    // 8 x 15, step 1: columns 15, 13, ..., 1 high, pointing right; the
    // reversed one is its mirror image.
    Add(CSeparator::VERTICAL | CSeparator::ARROW, 20, 20, 8, 15);
    Add(CSeparator::VERTICAL | CSeparator::ARROW | CSeparator::REVERSE, 40, 20, 8, 15);
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        for (int left : {20 + i, 40 + 7 - i}) {
            EXPECT_TRUE(Dark(left, 20 + i));
            EXPECT_TRUE(Dark(left, 34 - i));
            if (i > 0) {
                EXPECT_FALSE(Dark(left, 20 + i - 1));
                EXPECT_FALSE(Dark(left, 34 - i + 1));
            }
        }
    }
    // A horizontal arrow of 10 x 10 has step 0: a filled square.
    Add(CSeparator::ARROW, 60, 20, 10, 10);
    for (int x : {60, 64, 69})
        for (int y : {20, 25, 29})
            EXPECT_TRUE(Dark(x, y)) << x << "," << y;
    // A horizontal arrow of 15 x 8 points down; reversed, up.
    Add(CSeparator::ARROW, 80, 20, 15, 8);
    Add(CSeparator::ARROW | CSeparator::REVERSE, 100, 20, 15, 8);
    EXPECT_TRUE(Dark(80, 20) && Dark(94, 20) && Dark(87, 27) && !Dark(86, 27));
    EXPECT_TRUE(Dark(100, 27) && Dark(114, 27) && Dark(107, 20) && !Dark(106, 20));
}

TEST_F(SeparatorTest, EmptyBoxesDrawNothingAndHugeOnesOnlyWhatShows)
{
    const unsigned ground = WindowPixel(150, 100);
    Add(CSeparator::ARROW, 150, 100, 0, 10);
    EXPECT_EQ(WindowPixel(150, 100), ground);
    // A box far larger than the window costs only the window's pixels.
    Add(CSeparator::ARROW | CSeparator::VERTICAL, 0, 60, 1e6, 1e6);
    EXPECT_TRUE(Dark(5, 100));
}

TEST_F(SeparatorTest, MinimumSizeAndPublishedStyle)
{
    CSeparatorRef s = ZuNew<CSeparator>(Zuvi_app_zone);
    double dx = 0, dy = 0;
    s->GetMinSize(dx, dy);
    EXPECT_EQ(dx, 10);
    EXPECT_EQ(dy, 2);
    EXPECT_TRUE(ZuObject::DefineData(s, ZuStringRef("separator_style"), ZuValueRef(0x31u)));
    EXPECT_EQ(s->RetSeparatorStyle(), 0x31u);
    s->GetMinSize(dx, dy);
    EXPECT_EQ(dx, 2);
    EXPECT_EQ(dy, 10);
    ZuValueRef v;
    EXPECT_TRUE(ZuObject::QueryData(s, ZuStringRef("separator_style"), v));
    EXPECT_EQ(unsigned(v), 0x31u);
    s->Delete();
}

} // namespace
