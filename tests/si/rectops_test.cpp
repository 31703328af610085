// Union and intersection of rectangles.
#include "si/rect.h"

#include <gtest/gtest.h>

namespace {

void ExpectRect(ZuRect const& r, double x1, double y1, double x2, double y2)
{
    EXPECT_FALSE(r.IsEmpty());
    EXPECT_EQ(r.X1(), x1);
    EXPECT_EQ(r.Y1(), y1);
    EXPECT_EQ(r.X2(), x2);
    EXPECT_EQ(r.Y2(), y2);
}

void ExpectEmpty(ZuRect const& r)
{
    EXPECT_TRUE(r.IsEmpty());
    EXPECT_EQ(r.X1(), 0);
    EXPECT_EQ(r.Y1(), 0);
    EXPECT_EQ(r.X2(), 0);
    EXPECT_EQ(r.Y2(), 0);
}

TEST(RectOps, UnionTakesTheOuterBounds)
{
    ZuRect a(0, 0, 9, 9);
    a += ZuRect(5, 5, 20, 20);
    ExpectRect(a, 0, 0, 20, 20);

    ZuRect e;
    e += ZuRect(1, 2, 3, 4);
    ExpectRect(e, 1, 2, 3, 4);

    ZuRect b(1, 2, 3, 4);
    b += ZuRect();
    ExpectRect(b, 1, 2, 3, 4);

    ZuRect c(-5, 3, 0, 8);
    c += ZuRect(2, -1, 4, 2);
    ExpectRect(c, -5, -1, 4, 8);
}

TEST(RectOps, IntersectionKeepsTheSharedPart)
{
    struct Case {
        ZuRect a, b;
        bool empty;
        double x1, y1, x2, y2;
    } const cases[] = {
        {ZuRect(0, 0, 9, 9), ZuRect(10, 0, 20, 9), true, 0, 0, 0, 0},
        {ZuRect(0, 0, 9, 9), ZuRect(9, 0, 20, 9), false, 9, 0, 9, 9},  // touching: one pixel wide
        {ZuRect(0, 0, 9, 9), ZuRect(3, 4, 5, 6), false, 3, 4, 5, 6},
        {ZuRect(0, 0, 9, 9), ZuRect(5, 5, 20, 20), false, 5, 5, 9, 9},
        {ZuRect(0, 0, 9, 9), ZuRect(0, 10, 9, 12), true, 0, 0, 0, 0},
        {ZuRect(0, 0, 9, 9), ZuRect(), true, 0, 0, 0, 0},
        {ZuRect(), ZuRect(0, 0, 9, 9), true, 0, 0, 0, 0},
    };
    for (auto const& c : cases) {
        ZuRect r = c.a;
        r *= c.b;
        if (c.empty)
            ExpectEmpty(r);
        else
            ExpectRect(r, c.x1, c.y1, c.x2, c.y2);
    }
}

} // namespace
