// Arc definitions: what a new one holds.
#include <gtest/gtest.h>

#include "app/arcdef.h"
#include "tests/app/deftest.h"

namespace {

class CArcDefTest : public DefTest {};

TEST_F(CArcDefTest, NewArcIsAFullCircle)
{
    CArcDefRef a = Make<CArcDefRef>();
    EXPECT_EQ(41, a->GetType());
    EXPECT_EQ(220, a->GetValue());
    EXPECT_EQ(222, a->GetMode());
}

TEST_F(CArcDefTest, StoredRecordAfterTheBase)
{
    CArcDefRef a = Make<CArcDefRef>();
    const Bytes bytes = Stored(a);
    // begin mark Int 222 end
    EXPECT_EQ((Bytes{0xFC, 0xFE, 0x15, 0xDE, 0xFD}), Bytes(bytes.end() - 5, bytes.end()));
    a->SetMode(225);
    CArcDefRef back = Make<CArcDefRef>();
    EXPECT_TRUE(Restore(back, Stored(a)));
    EXPECT_EQ(225, back->GetMode());
}

} // namespace
