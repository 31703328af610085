// Shadow positions: signed offsets by mode, the include share.
#include <gtest/gtest.h>

#include <limits>

#include "app/positiondef.h"
#include "tests/app/deftest.h"

namespace {

class CPositionDefTest : public DefTest {};

TEST_F(CPositionDefTest, OffsetBySignOfTheMode)
{
    CPositionDefRef p = Make<CPositionDefRef>();
    EXPECT_EQ(70, p->GetType());
    EXPECT_EQ(120, p->GetValue());
    EXPECT_EQ(10.0, p->GetOffsetX());
    EXPECT_EQ(1.0, p->GetInclude());
    p->SetOffsetX(10.0);
    p->SetOffsetY(5.0);
    struct Case {
        int mode;
        double x, y;
    } const cases[] = {{116, -10, 5}, {117, 10, 5}, {118, -10, -5},
                       {119, 10, -5}, {120, 0, 0},  {60, 10, 5}};
    for (const Case& c : cases) {
        p->SetValue(c.mode);
        const DPoint o = p->GetShadowOffset();
        EXPECT_EQ(c.x, o.x) << c.mode;
        EXPECT_EQ(c.y, o.y) << c.mode;
    }
}

TEST_F(CPositionDefTest, IncludeClampsAndCounts)
{
    CPositionDefRef p = Make<CPositionDefRef>();
    struct Case {
        double in, out;
    } const cases[] = {{-1.0, 0.0},
                       {3.0, 2.0},
                       {2.0, 2.0},
                       {0.5, 0.5},
                       {std::numeric_limits<double>::quiet_NaN(), 0.0}};
    for (const Case& c : cases) {
        EXPECT_TRUE(p->SetInclude(c.in));
        EXPECT_EQ(c.out, p->GetInclude());
    }
    p->SetInclude(0.5);
    CPositionDefRef q = Make<CPositionDefRef>();
    q->SetInclude(0.5);
    EXPECT_TRUE(p->IsEqualCurrent(q));
    q->SetInclude(0.75);
    EXPECT_FALSE(p->IsEqualCurrent(q));
}

TEST_F(CPositionDefTest, StoredShareOutOfRangeIsClamped)
{
    CPositionDefRef p = Make<CPositionDefRef>();
    Bytes bytes = Stored(p);
    // The record ends with: Real include (1.0, stored as the integer 1), end.
    const Bytes tail = Written([](const ZuStorageRef& s) { s << 1.0 << ZuStorageSync::end; });
    ASSERT_EQ(tail, Bytes(bytes.end() - tail.size(), bytes.end()));
    bytes.resize(bytes.size() - tail.size());
    const Bytes changed = Written([](const ZuStorageRef& s) { s << 7.5 << ZuStorageSync::end; });
    bytes.insert(bytes.end(), changed.begin(), changed.end());
    CPositionDefRef back = Make<CPositionDefRef>();
    EXPECT_TRUE(Restore(back, bytes));
    EXPECT_EQ(2.0, back->GetInclude());
}

} // namespace
