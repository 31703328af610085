#include "si/ifilesort.h"

#include <gtest/gtest.h>

TEST(FileSortType, FamilyWalksOverTheGap)
{
    ZuFileSortType t = ZU_FILE_SORT_TIME_ACCESSED;
    t++;
    EXPECT_EQ(t, ZU_FILE_SORT_DIRECTORY);
    t++;
    EXPECT_EQ(static_cast<unsigned>(t), 11u);
    EXPECT_STREQ(ZuFileSortTypeRetName(static_cast<ZuFileSortType>(8)), "?");
}

TEST(FileSortType, KeyOfAnAttributeBit)
{
    EXPECT_EQ(Zuvi_FileSortType(ZU_FATT_DIRECTORY), ZU_FILE_SORT_DIRECTORY);
    EXPECT_EQ(static_cast<unsigned>(Zuvi_FileSortType(ZU_FATT_HIDDEN)), 24u);
}
