#include "si/bitsetinfo.h"

#include <gtest/gtest.h>

#include "si/typeinfo.h"

TEST(BitsetInfo, DataTypeFamilyAndTableCount)
{
    ZuBitsetDataType kind = ZU_BITSET_DATA_BIT;
    kind++;
    EXPECT_EQ(kind, ZU_BITSET_DATA_VALUE);
    kind++;
    EXPECT_EQ(static_cast<unsigned>(kind), 3u);
    EXPECT_EQ(Zuvi_TypeInfo::Find("ZuBitsetDataType"), ZuBitsetDataTypeTypeDef);

    // A member table's entry count comes from the record's real size, not
    // from the 12 bytes a record took with 32-bit pointers.
    static Zuvi_BitsetDataDef const table[] = {
        {1, "one", ZU_BITSET_DATA_BIT}, {2, "two", ZU_BITSET_DATA_BIT},
        {0xF0, "high", ZU_BITSET_DATA_MASK},
    };
    EXPECT_EQ(ZU_BITSET_TABLE_COUNT(sizeof table), 3u);
}
