#include "si/bitsetinfo.h"

#include <gtest/gtest.h>

#include "si/typeinfo.h"
#include "si/classfactory.h"
#include "si/pubdata.h"
#include "si/string.h"
#include "tests/support/objmodel.h"

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
    static const Zuvi_BitsetDataDef table[] = {
        {1, "one", ZU_BITSET_DATA_BIT},
        {2, "two", ZU_BITSET_DATA_BIT},
        {0xF0, "high", ZU_BITSET_DATA_MASK},
    };
    EXPECT_EQ(ZU_BITSET_TABLE_COUNT(sizeof table), 3u);
}

namespace {

const Zuvi_BitsetDataDef styles[] = {
    {0, "bold", ZU_BITSET_DATA_BIT},
    {1, "italic", ZU_BITSET_DATA_BIT},
    {0xF0, "size", ZU_BITSET_DATA_MASK},
};
const Zuvi_BitsetDataDef modes[] = {
    {7, "seven", ZU_BITSET_DATA_VALUE},
    {9, "nine", ZU_BITSET_DATA_VALUE},
};

class BitsetInfoObject : public ZuviRuntimeTest {
protected:
    void SetUp() override
    {
        ZuviRuntimeTest::SetUp();
        def = Zuvi_PubDataDef{nullptr, "style", "the style", ZuBitsetTypeDef,
                              true,    true,    nullptr,     nullptr};
    }
    Zuvi_PubDataDef def;
};

TEST_F(BitsetInfoObject, TablesAttachOnceAndCountByTheirRealSize)
{
    Zuvi_PubData item(def);
    item.AttachTable(styles, sizeof styles);
    item.AttachTable(modes, sizeof modes);
    item.AttachTable(styles, sizeof styles); // already attached
    EXPECT_EQ(item.group_count, 2u);
    ASSERT_NE(item.groups, nullptr);
    EXPECT_EQ(item.groups->table, modes); // the last attached first
    EXPECT_EQ(item.groups->count, 2u);
    EXPECT_EQ(item.groups->next->count, 3u);

    Zuvi_PubData copy(item);
    EXPECT_EQ(copy.groups, item.groups);
    item.Initialise();
    EXPECT_TRUE(item.RetName() == ZuAtomRef("style"));
    EXPECT_STREQ(item.RetPubDataDef().description, "the style");
    item.ReleaseGroups();
    EXPECT_EQ(item.groups, nullptr);
    EXPECT_EQ(item.group_count, 0u);
}

TEST_F(BitsetInfoObject, InitialiseTakesTheItemsGroups)
{
    Zuvi_PubData item(def);
    item.AttachTable(styles, sizeof styles);
    item.AttachTable(modes, sizeof modes);
    ZuBitsetInfoRef info(ZuClassFactory::New("ZuBitsetInfo", nullptr, __LINE__, __FILE__));
    info->Initialise(&item);
    ASSERT_EQ(info->CountGroups(), 2u);
    EXPECT_EQ(info->CountGroupMembers(0), 2u);
    EXPECT_EQ(info->CountGroupMembers(1), 3u);
    EXPECT_EQ(info->CountGroupMembers(2), 0u);

    ZuBitsetDataType kind = ZU_BITSET_DATA_MASK;
    unsigned number = 0;
    ZuStringRef name;
    ASSERT_TRUE(info->GetDescription(1, 2, kind, number, name));
    EXPECT_EQ(kind, ZU_BITSET_DATA_MASK);
    EXPECT_EQ(number, 0xF0u);
    EXPECT_EQ(name->CompareWith("size", true), 0);
    ASSERT_TRUE(info->GetDescription(0, 1, kind, number, name));
    EXPECT_EQ(kind, ZU_BITSET_DATA_VALUE);
    EXPECT_EQ(number, 9u);

    EXPECT_FALSE(info->GetDescription(0, 2, kind, number, name));
    EXPECT_FALSE(info->GetDescription(2, 0, kind, number, name));
    EXPECT_EQ(number, 9u); // unchanged

    // A second initialisation replaces the groups (the old ones are freed).
    Zuvi_PubData single(def);
    single.AttachTable(modes, sizeof modes);
    info->Initialise(&single);
    EXPECT_EQ(info->CountGroups(), 1u);
    item.ReleaseGroups();
    single.ReleaseGroups();
}

TEST_F(BitsetInfoObject, NoGroupsAtAll)
{
    Zuvi_PubData item(def);
    ZuBitsetInfoRef info(ZuClassFactory::New("ZuBitsetInfo", nullptr, __LINE__, __FILE__));
    info->Initialise(&item);
    EXPECT_EQ(info->CountGroups(), 0u);
    EXPECT_EQ(info->CountGroupMembers(0), 0u);
}

} // namespace
