#include "si/textstyle.h"

#include <gtest/gtest.h>

TEST(TextStyle, PositionsAreSetAndComparedOneAtATime)
{
    ZuTextStyle style(ZU_TEXT_VPOS_BASE, ZU_TEXT_HPOS_RIGHT);
    style.SetAngle(30);
    style = ZU_TEXT_HPOS_CENTER;
    EXPECT_TRUE(style == ZU_TEXT_HPOS_CENTER);
    EXPECT_TRUE(style == ZU_TEXT_VPOS_BASE);
    EXPECT_TRUE(style != ZU_TEXT_VPOS_TOP);
    EXPECT_EQ(style.RetAngle(), 30);
    style = ZU_TEXT_VPOS_CENTER;
    EXPECT_EQ(static_cast<ZuTextHPos>(style), ZU_TEXT_HPOS_CENTER);
    EXPECT_EQ(static_cast<ZuTextVPos>(style), ZU_TEXT_VPOS_CENTER);
    EXPECT_EQ(style.RetAngle(), 30);

    ZuTextStyle v(ZU_TEXT_VPOS_BOTTOM);
    EXPECT_TRUE(v == ZU_TEXT_HPOS_LEFT);
    EXPECT_TRUE(v == ZU_TEXT_VPOS_BOTTOM);
    EXPECT_TRUE(ZuTextStyle::none == ZuTextStyle());
    EXPECT_EQ(ZuTextStyle::none.RetAngle(), 0);
    ZuTextStyle copy = style;
    EXPECT_TRUE(copy == style);
    copy.SetAngle(31);
    EXPECT_TRUE(copy != style);
}

TEST(TextStyle, PositionFamilies)
{
    ZuTextHPos h = ZU_TEXT_HPOS_ALIGN;
    h++;
    EXPECT_EQ(static_cast<unsigned>(h), 4u);
    EXPECT_FALSE(IsValid(h));
    EXPECT_STREQ(ZuTextVPosRetName(ZU_TEXT_VPOS_BASE), "ZU_TEXT_VPOS_BASE");
    EXPECT_STREQ(ZuTextHPosRetName(h), "?");
}
