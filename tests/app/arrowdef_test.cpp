// Arrow-head, arc and closed-path definitions: what a new one holds.
#include <gtest/gtest.h>

#include "app/arcdef.h"
#include "app/arrowdef.h"
#include "app/closedef.h"
#include "tests/app/deftest.h"

namespace {

class SimpleDefTest : public DefTest {};

TEST_F(SimpleDefTest, NewArrowHasTriangularHeadsEverywhere)
{
    CArrowDefRef a = Make<CArrowDefRef>();
    EXPECT_EQ(60, a->GetType());
    EXPECT_EQ(0, a->GetFlags());
    EXPECT_EQ(20.0, a->GetParam1());
    EXPECT_EQ(10.0, a->GetParam2());
    EXPECT_EQ(0.0, a->GetParam3());
    EXPECT_EQ(30.0, a->GetParam4());
    EXPECT_EQ(0.785398163375, a->GetParam5());
    EXPECT_EQ(67, a->GetValue());
    a->SetCount(2);
    a->SetIndex(1);
    EXPECT_EQ(67, a->GetValue());
}

TEST_F(SimpleDefTest, NewArcIsAFullCircle)
{
    CArcDefRef a = Make<CArcDefRef>();
    EXPECT_EQ(41, a->GetType());
    EXPECT_EQ(220, a->GetValue());
    EXPECT_EQ(222, a->GetMode());
}

TEST_F(SimpleDefTest, ClosedPathComparesOnlyItsFlag)
{
    CCloseDefRef a = Make<CCloseDefRef>(), b = Make<CCloseDefRef>();
    EXPECT_EQ(15, a->GetType());
    EXPECT_FALSE(a->GetClosed());
    b->SetValue(3);
    EXPECT_TRUE(a->IsEqualCurrent(b));
    b->SetClosed(true);
    EXPECT_FALSE(a->IsEqualCurrent(b));
    // begin mark true end after the base record
    Bytes const bytes = Stored(b);
    EXPECT_EQ((Bytes{0xFC, 0xFE, 0x09, 0xFD}), Bytes(bytes.end() - 4, bytes.end()));
}

} // namespace
