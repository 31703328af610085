// Stored forms of the bitset information and of the small types that store
// themselves through the enumeration family and the set operators.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "si/bitsetinfo.h"
#include "si/classfactory.h"
#include "si/except.h"
#include "si/memzone.h"
#include "si/pubdata.h"
#include "si/string.h"
#include "si/textstyle.h"
#include "si/types.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"
#include "si/typeinfo.h"

namespace {

const Zuvi_BitsetDataDef flags[] = {
    {0, "bold", ZU_BITSET_DATA_BIT},
    {0xF0, "size", ZU_BITSET_DATA_MASK},
};
const Zuvi_BitsetDataDef values[] = {{7, "seven", ZU_BITSET_DATA_VALUE}};

// The object's own stored part, reached as the storage reaches it.
struct InstanceAccess : ZuBitsetInfo {
    static void Store(const ZuBitsetInfoRef& o, const ZuStorageRef& s)
    {
        (o.RetRawObject()->*(&InstanceAccess::StoreInstance))(s);
    }
    static void Restore(const ZuBitsetInfoRef& o, const ZuStorageRef& s)
    {
        (o.RetRawObject()->*(&InstanceAccess::RestoreInstance))(s);
    }
};

class BitsetInfoStorage : public ZuviRuntimeTest {
protected:
    void SetUp() override
    {
        ZuviRuntimeTest::SetUp();
        store = ZuTestStorage::Make();
    }
    void TearDown() override
    {
        store = static_cast<ZuTestStorage*>(nullptr);
        ZuviRuntimeTest::TearDown();
    }
    ZuBitsetInfoRef Make(bool with_values)
    {
        Zuvi_PubDataDef def{nullptr, "style", "", ZuBitsetTypeDef, true, true, nullptr, nullptr};
        Zuvi_PubData item(def);
        item.AttachTable(flags, sizeof flags);
        if (with_values)
            item.AttachTable(values, sizeof values);
        ZuBitsetInfoRef info(ZuClassFactory::New("ZuBitsetInfo", nullptr, __LINE__, __FILE__));
        info->Initialise(&item);
        item.ReleaseGroups();
        return info;
    }
    // Member records alive in the system zone, counted from its block map.
    static int LiveMembers()
    {
        const char* path = "bitsetinfo_zone.txt";
        std::remove(path);
        Zuvi_sys_zone->DumpDebugInfo(path);
        std::ifstream in(path);
        std::string line;
        int count = 0;
        while (std::getline(in, line))
            if (line.find("(BitsetMember)") != std::string::npos)
                ++count;
        std::remove(path);
        return count;
    }
    ZuTestStorageRef store;
};

TEST_F(BitsetInfoStorage, StoredAndRestoredIntoAFreshObject)
{
    ZuBitsetInfoRef info = Make(true);
    store->StartStoring();
    store->StoreObject(info);
    store->StartRestoring(store->Bytes());
    ZuBitsetInfoRef copy;
    ZuStorageRef(store) >> copy;
    ASSERT_TRUE(copy.IsValid());
    EXPECT_FALSE(copy == info);
    ASSERT_EQ(copy->CountGroups(), 2u);
    for (unsigned g = 0; g < 2; ++g) {
        ASSERT_EQ(copy->CountGroupMembers(g), info->CountGroupMembers(g));
        for (unsigned m = 0; m < info->CountGroupMembers(g); ++m) {
            ZuBitsetDataType k1, k2;
            unsigned n1, n2;
            ZuStringRef s1, s2;
            ASSERT_TRUE(info->GetDescription(g, m, k1, n1, s1));
            ASSERT_TRUE(copy->GetDescription(g, m, k2, n2, s2));
            EXPECT_EQ(k1, k2);
            EXPECT_EQ(n1, n2);
            EXPECT_EQ(s2->CompareWith(s1, true), 0);
        }
    }
}

TEST_F(BitsetInfoStorage, RestoringOverHeldGroupsReleasesThem)
{
    ZuBitsetInfoRef source = Make(false);
    store->StartStoring();
    ZuStorageRef s = store;
    InstanceAccess::Store(source, s);

    ZuBitsetInfoRef target = Make(true);
    int before = LiveMembers(); // 2 + 3 members
    store->StartRestoring(store->Bytes());
    InstanceAccess::Restore(target, s);
    EXPECT_EQ(target->CountGroups(), 1u);
    EXPECT_EQ(LiveMembers(), before - 3 + 2);
}

TEST_F(BitsetInfoStorage, ACutRecordThrowsAndLeavesTheGroups)
{
    ZuBitsetInfoRef source = Make(true);
    store->StartStoring();
    ZuStorageRef s = store;
    InstanceAccess::Store(source, s);
    std::vector<unsigned char> bytes = store->Bytes();

    ZuBitsetInfoRef target = Make(false);
    int before = LiveMembers();
    for (size_t cut : {bytes.size() / 2, bytes.size() - 3}) {
        store->StartRestoring(std::vector<unsigned char>(bytes.begin(), bytes.begin() + cut));
        EXPECT_THROW(InstanceAccess::Restore(target, s), ZuExcStream) << "cut at " << cut;
        EXPECT_EQ(target->CountGroups(), 1u);
        EXPECT_EQ(target->CountGroupMembers(0), 2u);
        EXPECT_EQ(LiveMembers(), before);
    }
}

TEST_F(BitsetInfoStorage, AHugeCountMakesNoRoomItCannotFill)
{
    // The record of an object with one group whose member count claims
    // four thousand million members, followed by nothing.
    ZuBitsetInfoRef source = Make(false);
    store->StartStoring();
    ZuStorageRef s = store;
    s << ZuStorageSync::begin;
    s->StoreCard(1);
    s << ZuStorageSync::repeat << ZuStorageSync::begin;
    s->StoreCard(0xFFFFFFF0u);
    s << ZuStorageSync::repeat;
    std::vector<unsigned char> body = store->Bytes();
    ZuBitsetInfoRef target = Make(false);
    store->StartRestoring(body);
    // The class record is not there: read from the begin mark on.
    EXPECT_THROW(
        {
            s >> ZuStorageSync::begin;
            unsigned groups = 0;
            s >> groups;
            ASSERT_EQ(groups, 1u);
            store->StartRestoring(body);
            InstanceAccess::Restore(target, s);
        },
        ZuExcStream);
    EXPECT_EQ(target->CountGroups(), 1u);
}

class SmallTypesStorage : public BitsetInfoStorage {};

TEST_F(SmallTypesStorage, EnumerationsAsCardinals)
{
    store->StartStoring();
    ZuStorageRef s = store;
    s << ZU_CURSOR_END << static_cast<ZuKeyType>(77);
    store->StartRestoring(store->Bytes());
    ZuKeyCursor cursor = ZU_CURSOR_UP;
    ZuKeyType type = ZU_KEY_TAB;
    s >> cursor >> type;
    EXPECT_EQ(cursor, ZU_CURSOR_END);
    EXPECT_EQ(static_cast<unsigned>(type), 77u); // not checked against the table

    // An absent item gives 0, not the variable's value.
    store->StartRestoring({0xFD});
    cursor = ZU_CURSOR_UP;
    s >> cursor;
    EXPECT_EQ(cursor, ZU_CURSOR_NONE);
}

TEST_F(SmallTypesStorage, SetsKeepAll64Bits)
{
    ZuBitset set;
    set.SetBits(0x8000000100000002ull);
    store->StartStoring();
    ZuStorageRef s = store;
    s << set;
    store->StartRestoring(store->Bytes());
    ZuBitset back;
    s >> back;
    EXPECT_EQ(back.RetBits(), 0x8000000100000002ull);

    // Within 32 bits the bytes are the plain cardinal's.
    set.SetBits(0x12345);
    store->StartStoring();
    s << set;
    const std::vector<unsigned char> small = store->Bytes();
    store->StartStoring();
    s << ZuStorageSync::begin;
    store->StoreCard(0x12345);
    s << ZuStorageSync::end;
    EXPECT_EQ(small, store->Bytes());
    store->StartRestoring(small);
    s >> back;
    EXPECT_EQ(back.RetBits(), 0x12345u);
}

TEST_F(SmallTypesStorage, TextStyle)
{
    ZuTextStyle style(ZU_TEXT_HPOS_RIGHT, ZU_TEXT_VPOS_BASE);
    style.SetAngle(-12.5);
    store->StartStoring();
    ZuStorageRef s = store;
    s << style;
    store->StartRestoring(store->Bytes());
    ZuTextStyle back;
    s >> back;
    EXPECT_TRUE(back == style);
}

} // namespace

namespace {

class TypeInfoStorage : public BitsetInfoStorage {};

TEST_F(TypeInfoStorage, RestoredTypeIsFoundAgainByName)
{
    ZuTypeInfoRef info(ZuClassFactory::New("ZuTypeInfo", nullptr, __LINE__, __FILE__));
    info->Initialise(ZuKeyModifiersTypeDef, Make(true), true, false);
    store->StartStoring();
    store->StoreObject(info);
    store->StartRestoring(store->Bytes());
    ZuTypeInfoRef back;
    ZuStorageRef(store) >> back;
    ASSERT_TRUE(back.IsValid());
    EXPECT_EQ(back->RetType(), ZuKeyModifiersTypeDef);
    EXPECT_TRUE(back->RetReadOk());
    EXPECT_FALSE(back->RetWriteOk());
    ASSERT_TRUE(back->RetBitsetInfo().IsValid());
    EXPECT_EQ(back->RetBitsetInfo()->CountGroups(), 2u);
}

TEST_F(TypeInfoStorage, UnknownOrMissingTypeLeavesNoDefinition)
{
    ZuTypeInfoRef empty(ZuClassFactory::New("ZuTypeInfo", nullptr, __LINE__, __FILE__));
    Zuvi_TypeDef temporary = {"ZuGoneAwayType", nullptr, ZU_TYPE_STRUCT, nullptr, 4};
    ZuTypeInfoRef gone(ZuClassFactory::New("ZuTypeInfo", nullptr, __LINE__, __FILE__));
    std::vector<unsigned char> bytes;
    {
        Zuvi_TypeInfo registration(&temporary);
        gone->Initialise(&temporary, ZuBitsetInfoNull, true, true);
        store->StartStoring();
        store->StoreObject(empty);
        store->StoreObject(gone);
        bytes = store->Bytes();
    }
    store->StartRestoring(bytes);
    ZuTypeInfoRef a, b;
    ZuStorageRef(store) >> a >> b;
    ASSERT_TRUE(a.IsValid());
    ASSERT_TRUE(b.IsValid());
    EXPECT_EQ(a->RetType(), nullptr);
    EXPECT_EQ(b->RetType(), nullptr); // no longer registered
    EXPECT_TRUE(b->RetReadOk());
    ZuRuntimeRef runtime;
    EXPECT_FALSE(b->GetRuntimeInfo(runtime));
}

} // namespace
