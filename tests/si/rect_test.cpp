#include "si/rect.h"

#include <gtest/gtest.h>

namespace {

void ExpectRect(const ZuRect& r, double x1, double y1, double x2, double y2, bool empty)
{
    EXPECT_EQ(r.X1(), x1);
    EXPECT_EQ(r.Y1(), y1);
    EXPECT_EQ(r.X2(), x2);
    EXPECT_EQ(r.Y2(), y2);
    EXPECT_EQ(r.IsEmpty(), empty);
}

TEST(Rect, InclusiveEndsAndInvalidCorners)
{
    ZuRect r(0, 0, 9, 4);
    EXPECT_EQ(r.DX(), 10);
    EXPECT_EQ(r.DY(), 5);
    ExpectRect(ZuRect(5, 0, 4, 4), 0, 0, 0, 0, true);
    ExpectRect(ZuRect(), 0, 0, 0, 0, true);
    ExpectRect(ZuRect::none, 0, 0, 0, 0, true);
    EXPECT_EQ(ZuRect(5, 0, 4, 4).DX(), 0);
    double w = -1, h = -1;
    EXPECT_FALSE(ZuRect().GetSize(w, h));
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
    EXPECT_TRUE(r.GetSize(w, h));
    EXPECT_EQ(w, 10);
    EXPECT_EQ(h, 5);
}

TEST(Rect, MarginConstructor)
{
    ZuRect width3(10, 10, 12, 20);
    ExpectRect(ZuRect(width3, 3), 13, 13, 9, 17, false); // x2 below x1, still not empty
    ExpectRect(ZuRect(ZuRect(10, 10, 11, 20), 3), 0, 0, 0, 0, true);
    ExpectRect(ZuRect(ZuRect(), -1), 0, 0, 0, 0, true);
}

TEST(Rect, InsertPointGrowsFromAPoint)
{
    ZuRect r;
    r.InsertPoint(3, 4);
    ExpectRect(r, 3, 4, 3, 4, false);
    EXPECT_EQ(r.DX(), 1);
    r.InsertPoint(-1, 10);
    ExpectRect(r, -1, 4, 3, 10, false);
    r.MakeEmpty();
    ExpectRect(r, 0, 0, 0, 0, true);
}

TEST(Rect, SizeChanges)
{
    ZuRect r(2, 3, 11, 12);
    r.SetSize(0, 5);
    ExpectRect(r, 2, 3, 1, 7, true);

    ZuRect ten(0, 0, 9, 9);
    ten.ChangeSize(-20, 0);
    EXPECT_TRUE(ten.IsEmpty());
    EXPECT_EQ(ten.X2(), -1);
    EXPECT_EQ(ten.Y2(), 9);

    ZuRect e;
    e.ChangeSize(4, 3); // an empty rectangle counts as size 0
    ExpectRect(e, 0, 0, 3, 2, false);

    ZuRect m(0, 0, 9, 9);
    m.ApplyMargin(5);
    ExpectRect(m, 5, 5, 4, 4, true);
    m.ApplyMargin(-1); // a negative margin can revive it
    ExpectRect(m, 4, 4, 5, 5, false);
    m.ApplyMargin(0);
    ExpectRect(m, 4, 4, 5, 5, false);
}

TEST(Rect, OriginKeepsSizeAndFlag)
{
    ZuRect r(1, 2, 4, 8);
    r.SetOrigin(10, 20);
    ExpectRect(r, 10, 20, 13, 26, false);
    r.MoveOrigin(-10, 1);
    ExpectRect(r, 0, 21, 3, 27, false);
    double x, y;
    EXPECT_TRUE(r.GetOrigin(x, y));
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 21);
    ZuRect e;
    e.MoveOrigin(3, 3);
    EXPECT_TRUE(e.IsEmpty());
    EXPECT_FALSE(e.GetOrigin(x, y));
    EXPECT_EQ(x, 3);
    e.X2() = 100; // the writable accessors leave the flag alone
    EXPECT_TRUE(e.IsEmpty());
}

TEST(Rect, InsideAndOverlap)
{
    ZuRect r(0, 0, 9, 4);
    EXPECT_TRUE(r.IsInside(9, 4));
    EXPECT_TRUE(r.IsInside(0, 0));
    EXPECT_FALSE(r.IsInside(9.5, 4));
    EXPECT_FALSE(ZuRect().IsInside(0, 0));
    EXPECT_TRUE(r.DoOverlap(ZuRect(9, 4, 20, 20)));
    EXPECT_FALSE(r.DoOverlap(ZuRect(10, 0, 20, 20)));
    EXPECT_FALSE(r.DoOverlap(ZuRect()));
    EXPECT_FALSE(ZuRect().DoOverlap(ZuRect()));
}

TEST(Rect, EqualityKeepsItsLongStandingAsymmetry)
{
    ZuRect empty;
    ZuRect unit(0, 0, 0, 0);
    EXPECT_FALSE(unit.IsEmpty());
    EXPECT_TRUE(empty == unit);
    EXPECT_TRUE(empty != unit);

    ZuRect moved_empty;
    moved_empty.MoveOrigin(5, 5);
    EXPECT_TRUE(empty == moved_empty); // both empty
    EXPECT_TRUE(empty != moved_empty); // coordinates differ

    EXPECT_TRUE(ZuRect(1, 2, 3, 4) == ZuRect(1, 2, 3, 4));
    EXPECT_FALSE(ZuRect(1, 2, 3, 4) != ZuRect(1, 2, 3, 4));
    EXPECT_FALSE(ZuRect(1, 2, 3, 4) == ZuRect(1, 2, 3, 5));
}

} // namespace
