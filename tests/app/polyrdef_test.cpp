// Regular polygon definitions: clamped sides and indentation, the star flag
// as the value.
#include <gtest/gtest.h>

#include <limits>

#include "app/polyrdef.h"
#include "tests/app/deftest.h"

namespace {

class CPolyRegDefTest : public DefTest {};

TEST_F(CPolyRegDefTest, NewPolygonAndItsRanges)
{
    CPolyRegDefRef p = Make<CPolyRegDefRef>();
    EXPECT_EQ(40, p->GetType());
    EXPECT_EQ(6, p->GetSides());
    EXPECT_FALSE(p->IsStar());
    EXPECT_EQ(0.5, p->GetIndentation());
    EXPECT_EQ(58, p->GetValue());
    struct Sides {
        int in, out;
    } const sides[] = {{2, 3}, {3, 3}, {51, 50}, {50, 50}, {-7, 3}, {12, 12}};
    for (const Sides& c : sides) {
        p->SetSides(c.in);
        EXPECT_EQ(c.out, p->GetSides());
    }
    struct Depth {
        double in, out;
    } const depths[] = {
        {1.5, 1.0}, {-0.2, 0.0}, {0.25, 0.25}, {std::numeric_limits<double>::quiet_NaN(), 0.0}};
    for (const Depth& c : depths) {
        p->SetIndentation(c.in);
        EXPECT_EQ(c.out, p->GetIndentation());
    }
}

TEST_F(CPolyRegDefTest, ValueIsTheStarFlag)
{
    CPolyRegDefRef p = Make<CPolyRegDefRef>();
    EXPECT_TRUE(p->SetValue(59));
    EXPECT_EQ(59, p->GetValue());
    EXPECT_TRUE(p->IsStar());
    p->SetValue(58);
    EXPECT_FALSE(p->IsStar());
    p->SetValue(1234);
    EXPECT_TRUE(p->IsStar());
    // The indexed values of the base stay as they were.
    p->SetCount(10);
    for (int i = 0; i < 10; ++i) {
        p->SetIndex(i);
        EXPECT_EQ(110, p->CDef::GetValue());
    }
}

TEST_F(CPolyRegDefTest, StoredSidesOutOfRangeAreClamped)
{
    Bytes bytes = Stored(Make<CPolyRegDefRef>());
    const Bytes tail =
        Written([](const ZuStorageRef& s) { s << 6 << false << 0.5 << ZuStorageSync::end; });
    ASSERT_EQ(tail, Bytes(bytes.end() - tail.size(), bytes.end()));
    bytes.resize(bytes.size() - tail.size());
    const Bytes changed =
        Written([](const ZuStorageRef& s) { s << 0 << true << 9.0 << ZuStorageSync::end; });
    bytes.insert(bytes.end(), changed.begin(), changed.end());
    CPolyRegDefRef back = Make<CPolyRegDefRef>();
    EXPECT_TRUE(Restore(back, bytes));
    EXPECT_EQ(3, back->GetSides());
    EXPECT_TRUE(back->IsStar());
    EXPECT_EQ(1.0, back->GetIndentation());
}

} // namespace
