// Closed-path definitions: equality and the stored flag.
#include <gtest/gtest.h>

#include "app/closedef.h"
#include "tests/app/deftest.h"

namespace {

class CCloseDefTest : public DefTest {};

TEST_F(CCloseDefTest, ClosedPathComparesOnlyItsFlag)
{
    CCloseDefRef a = Make<CCloseDefRef>(), b = Make<CCloseDefRef>();
    EXPECT_EQ(15, a->GetType());
    EXPECT_FALSE(a->GetClosed());
    b->SetValue(3);
    EXPECT_TRUE(a->IsEqualCurrent(b));
    b->SetClosed(true);
    EXPECT_FALSE(a->IsEqualCurrent(b));
    // begin mark true end after the base record
    const Bytes bytes = Stored(b);
    EXPECT_EQ((Bytes{0xFC, 0xFE, 0x09, 0xFD}), Bytes(bytes.end() - 4, bytes.end()));
}

} // namespace
