// Arrow-head definitions: what a new one holds.
#include <gtest/gtest.h>

#include "app/arrowdef.h"
#include "tests/app/deftest.h"

namespace {

class CArrowDefTest : public DefTest {};

TEST_F(CArrowDefTest, NewArrowHasTriangularHeadsEverywhere)
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

TEST_F(CArrowDefTest, StoredRecordAfterTheBase)
{
    const Bytes bytes = Stored(Make<CArrowDefRef>());
    const Bytes base = Stored(Make<CDefRef>());
    // begin mark Int 0, Reals 20, 10, 0, 30 (whole numbers travel as
    // integers), then param5 as a full real, end.
    const Bytes head = {0xFC, 0xFE, 0x1C, 0x31, 0x15, 0x14, 0x31,
                        0x15, 0x0A, 0x32, 0x31, 0x15, 0x1E, 0x30};
    ASSERT_GT(bytes.size(), base.size() + head.size());
    EXPECT_EQ(head, Bytes(bytes.begin() + base.size(), bytes.begin() + base.size() + head.size()));
    EXPECT_EQ(0xFD, bytes.back());
}

} // namespace
