// Union and intersection of rectangles.
#include "si/rect.h"

#include "si/storage.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"

#include <gtest/gtest.h>

namespace {

void ExpectRect(const ZuRect& r, double x1, double y1, double x2, double y2)
{
    EXPECT_FALSE(r.IsEmpty());
    EXPECT_EQ(r.X1(), x1);
    EXPECT_EQ(r.Y1(), y1);
    EXPECT_EQ(r.X2(), x2);
    EXPECT_EQ(r.Y2(), y2);
}

void ExpectEmpty(const ZuRect& r)
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
        {ZuRect(0, 0, 9, 9), ZuRect(9, 0, 20, 9), false, 9, 0, 9, 9}, // touching: one pixel wide
        {ZuRect(0, 0, 9, 9), ZuRect(3, 4, 5, 6), false, 3, 4, 5, 6},
        {ZuRect(0, 0, 9, 9), ZuRect(5, 5, 20, 20), false, 5, 5, 9, 9},
        {ZuRect(0, 0, 9, 9), ZuRect(0, 10, 9, 12), true, 0, 0, 0, 0},
        {ZuRect(0, 0, 9, 9), ZuRect(), true, 0, 0, 0, 0},
        {ZuRect(), ZuRect(0, 0, 9, 9), true, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        ZuRect r = c.a;
        r *= c.b;
        if (c.empty)
            ExpectEmpty(r);
        else
            ExpectRect(r, c.x1, c.y1, c.x2, c.y2);
    }
}

class RectStorageTest : public ZuviRuntimeTest {};

TEST_F(RectStorageTest, FourRealsAndEmptyAsZeros)
{
    ZuTestStorageRef store = ZuTestStorage::Make();
    ZuStorageRef s = store;
    store->StartStoring();
    s << ZuRect(1, 2, 30, 40.5) << ZuRect() << ZuRect(0, 0, 0, 0);
    // 40.5 is 1.265625 times 2 to the 5th: exponent word 4, fraction 0x44000000.
    const std::vector<unsigned char> expect = {0x33, 0x31, 0x15, 0x02, 0x31, 0x15, 0x1E, 0x30, 0x00,
                                               0x15, 0x04, 0x11, 0x44, 0x00, 0x00, 0x00, 0x1D, 0x32,
                                               0x32, 0x32, 0x32, 0x32, 0x32, 0x32, 0x32};
    EXPECT_EQ(store->Bytes(), expect);

    store->StartRestoring(store->Bytes());
    ZuRect a, b(5, 5, 6, 6), c;
    s >> a >> b >> c;
    ExpectRect(a, 1, 2, 30, 40.5);
    ExpectEmpty(b);
    // The one-pixel rectangle at the origin comes back empty.
    ExpectEmpty(c);

    // A missing rectangle keeps its value.
    store->StartRestoring({0xFD});
    ZuRect d(1, 1, 4, 4);
    s >> d;
    ExpectRect(d, 1, 1, 4, 4);
    store = static_cast<ZuTestStorage*>(nullptr);
}

} // namespace
