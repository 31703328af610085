#include "si/textcompare.h"

#include <gtest/gtest.h>

#include "tests/support/objmodel.h"

namespace {

class TextCompare : public ZuviRuntimeTest {};

TEST_F(TextCompare, TextsAgainstStrings)
{
    ZuStringRef s("Porte");
    const unsigned short wide[] = {'P', 'o', 'r', 't', 'e', 0};
    const unsigned short other[] = {'p', 'o', 'r', 't', 'e', 0};
    EXPECT_TRUE("Porte" == s);
    EXPECT_FALSE("porte" == s); // exact: case counts
    EXPECT_FALSE(s != "Porte");
    EXPECT_TRUE(s != "Port");
    EXPECT_TRUE(wide == s);
    EXPECT_FALSE(other == s);
    EXPECT_FALSE(s != wide);
    EXPECT_TRUE(s != other);
}

TEST(TextCompareDeathTest, EmptyHandleIsFatal)
{
    EXPECT_DEATH(
        {
            ZuviStartRuntime();
            ZuStringRef empty;
            bool equal = ("x" == empty);
            (void)equal;
        },
        "Tried to resolve NULL pointer");
}

} // namespace
