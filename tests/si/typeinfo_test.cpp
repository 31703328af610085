#include "si/typeinfo.h"

#include <gtest/gtest.h>

#include <string>

TEST(TypeInfo, FindByNameDropsRefAndCountsCase)
{
    EXPECT_EQ(Zuvi_TypeInfo::Find("Int32"), Int32TypeDef);
    EXPECT_EQ(Zuvi_TypeInfo::Find("Int32Ref"), Int32TypeDef);
    EXPECT_EQ(Zuvi_TypeInfo::Find("Ref"), nullptr);
    EXPECT_EQ(Zuvi_TypeInfo::Find("int32"), nullptr);
    EXPECT_EQ(Zuvi_TypeInfo::Find(""), nullptr);
    EXPECT_EQ(Zuvi_TypeInfo::Find(nullptr), nullptr);
}

TEST(TypeInfo, LongNamesUseTheirFirst99Characters)
{
    std::string name(99, 'Q');
    Zuvi_TypeDef def = { nullptr, nullptr, ZU_TYPE_STRUCT, nullptr, 1 };
    std::string stored = name;
    def.name = stored.c_str();
    Zuvi_TypeInfo registration(&def);
    EXPECT_EQ(Zuvi_TypeInfo::Find((name + "tail beyond the buffer").c_str()), &def);
    EXPECT_EQ(Zuvi_TypeInfo::Find(name.substr(0, 98).c_str()), nullptr);
}

TEST(TypeInfo, NthFollowsRegistrationOrderAndUnregisteringLeavesTheTableSound)
{
    unsigned count = Zuvi_TypeInfo::RetCount();
    ASSERT_GT(count, 20u);
    EXPECT_EQ(Zuvi_TypeInfo::RetNth(count), nullptr);
    bool seen_int8 = false;
    for (unsigned i = 0; i < count; ++i) {
        Zuvi_TypeDef const * def = Zuvi_TypeInfo::RetNth(i);
        ASSERT_NE(def, nullptr);
        if (def == Int8TypeDef) {
            seen_int8 = true;
            EXPECT_EQ(Zuvi_TypeInfo::RetNth(i + 1), Int16TypeDef);
        }
    }
    EXPECT_TRUE(seen_int8);

    Zuvi_TypeDef def = { "TemporaryType", nullptr, ZU_TYPE_STRUCT, nullptr, 1 };
    {
        Zuvi_TypeInfo registration(&def);
        EXPECT_EQ(Zuvi_TypeInfo::RetCount(), count + 1);
        EXPECT_EQ(Zuvi_TypeInfo::RetNth(count), &def);
        EXPECT_EQ(Zuvi_TypeInfo::Find("TemporaryType"), &def);
    }
    EXPECT_EQ(Zuvi_TypeInfo::RetCount(), count);
    EXPECT_EQ(Zuvi_TypeInfo::Find("TemporaryType"), nullptr);
    EXPECT_EQ(Zuvi_TypeInfo::RetNth(count - 1), Zuvi_TypeInfo::RetNth(count - 1));
}

#include "si/memzone.h"

TEST(TypeInfo, TableIsBuiltOnceInTheApplicationZone)
{
    ZuMemZone::Initialise();
    ASSERT_FALSE(Zuvi_TypeInfo::IsTableBuilt());
    Zuvi_TypeInfo::InitialiseAll();
    ASSERT_TRUE(Zuvi_TypeInfo::IsTableBuilt());
    // Lookups keep answering from the registrations.
    EXPECT_EQ(Zuvi_TypeInfo::Find("Card8"), Card8TypeDef);
    Zuvi_TypeInfo::InitialiseAll();
    Zuvi_TypeInfo::ReleaseTable();
    ZuMemZone::Kill();
}
