#include "si/enumfamily.h"

#include <gtest/gtest.h>

namespace {

// A family over a table with a gap, as most library enumerations have.
#define TEST_COLOUR_LIST(X) X(TC_RED, 0) X(TC_GREEN, 1) X(TC_BLUE, 5) X(TC_LAST, 9)
ZU_ENUM(TestColour, TEST_COLOUR_LIST)

TEST(EnumFamily, TableFollowsTheListInOrderAndEndsWithANullName)
{
    ASSERT_EQ(TC_BLUE, 5u);
    EXPECT_EQ(TestColour_names[0].code, 0u);
    EXPECT_STREQ(TestColour_names[2].name, "TC_BLUE");
    EXPECT_EQ(TestColour_names[2].code, 5u);
    EXPECT_EQ(TestColour_names[4].name, nullptr);
}

TEST(EnumFamily, IncrementWalksTheTableThenCountsPastItsEnd)
{
    struct Case {
        unsigned from, to;
    } cases[] = {
        {0, 1},  {1, 5},   {5, 9},
        {9, 10},                                       // past the last: the code plus one
        {2, 2},  {10, 10}, {0xFFFFFFFFu, 0xFFFFFFFFu}, // unknown codes stay
    };
    for (auto c : cases) {
        TestColour e = static_cast<TestColour>(c.from);
        TestColour old = e++;
        EXPECT_EQ(static_cast<unsigned>(old), c.from);
        EXPECT_EQ(static_cast<unsigned>(e), c.to) << "from " << c.from;
    }
}

TEST(EnumFamily, NamesValidityAndComparisons)
{
    EXPECT_STREQ(TestColourRetName(TC_GREEN), "TC_GREEN");
    EXPECT_STREQ(TestColourRetName(static_cast<TestColour>(2)), "?");
    EXPECT_TRUE(IsValid(TC_LAST));
    EXPECT_FALSE(IsValid(static_cast<TestColour>(10)));
    TestColour a = TC_BLUE, b = TC_BLUE, c = TC_RED;
    EXPECT_TRUE(a == b);
    EXPECT_FALSE(a != b);
    EXPECT_TRUE(a != c);
}

TEST(EnumFamily, EmptyTableKnowsNothing)
{
    static const Zuvi_EnumName empty[] = {{0, nullptr}};
    EXPECT_FALSE(Zuvi_EnumIsValid(empty, 0));
    EXPECT_EQ(Zuvi_EnumNext(empty, 3), 3u);
    EXPECT_STREQ(Zuvi_EnumRetName(empty, 0), "?");
}

} // namespace
