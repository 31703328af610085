#include "si/fileatt.h"

#include "si/typeinfo.h"
#include "si/values.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"

#include <gtest/gtest.h>

#include <cstdint>

TEST(FileAtt, BitTableWalk)
{
    struct Case {
        unsigned from, to;
    } cases[] = {
        {0, 1}, {3, 8}, {9, 13}, {15, 16}, {16, 17}, {31, 32}, {34, 35}, {5, 5}, {12, 12},
    };
    for (const Case& c : cases) {
        ZuFileAttributesBit bit = static_cast<ZuFileAttributesBit>(c.from);
        ZuFileAttributesBit old = bit++;
        EXPECT_EQ(static_cast<unsigned>(old), c.from);
        EXPECT_EQ(static_cast<unsigned>(bit), c.to) << c.from;
    }
    EXPECT_STREQ(ZuFileAttributesBitRetName(ZU_FATT_VOLUME_CD), "ZU_FATT_VOLUME_CD");
    EXPECT_STREQ(ZuFileAttributesBitRetName(ZU_FATT_OS_DEPENDENT_15), "ZU_FATT_OS_DEPENDENT_15");
    EXPECT_EQ(static_cast<unsigned>(ZU_FATT_OS_DEPENDENT_15), 31u);
    EXPECT_STREQ(ZuFileAttributesBitRetName(static_cast<ZuFileAttributesBit>(12)), "?");
    EXPECT_TRUE(IsValid(ZU_FATT_SYSTEM));
    EXPECT_FALSE(IsValid(static_cast<ZuFileAttributesBit>(35)));
}

TEST(FileAtt, RecordsCopyAndCompareAllFields)
{
    ZuFileAttInfo a;
    EXPECT_EQ(a, ZuFileAttInfo::empty);
    a.size = 1ull << 40;
    a.time_created = -5;
    a.time_modified = 7;
    a.time_accessed = 9;
    a.attributes = ZuFileAttributes{ZU_FATT_READ_OK, ZU_FATT_VOLUME_CD};
    ZuFileAttInfo b;
    b = a;
    EXPECT_EQ(b, a);
    EXPECT_TRUE(b.attributes.TestBit(ZU_FATT_VOLUME_CD));
    b.time_accessed = 10;
    EXPECT_NE(b, a);
}

TEST(FileAtt, TypesAreKnownByName)
{
    for (const char* name : {"ZuFileAttributes", "ZuFileAttInfo", "ZuFileAttributesBit"})
        EXPECT_NE(Zuvi_TypeInfo::Find(name), nullptr) << name;
}

class FileAttValues : public ZuviRuntimeTest {};

TEST_F(FileAttValues, ConversionsFromValues)
{
    ZuValueRef bits(static_cast<uint64_t>((1ull << 34) | 1u));
    EXPECT_EQ(Zuvi_ValueToZuFileAttributes(bits),
              (ZuFileAttributes{ZU_FATT_DIRECTORY, ZU_FATT_VOLUME_CD}));
    EXPECT_EQ(Zuvi_ValueToZuFileAttributesBit(ZuValueRef(14u)), ZU_FATT_HIDDEN);
    EXPECT_DEATH(Zuvi_ValueToZuFileAttInfo(bits),
                 "No conversion between ZuValue and type ZuFileAttInfo");
}

TEST_F(FileAttValues, RecordsStoredAndReadBack)
{
    ZuFileAttInfo info;
    info.size = (5ull << 30) + 3;
    info.time_created = -86400001;
    info.time_modified = 1;
    info.time_accessed = INT64_MAX;
    info.attributes = ZuFileAttributes{ZU_FATT_READ_OK, ZU_FATT_HIDDEN, ZU_FATT_VOLUME_CD};
    ZuTestStorageRef store = ZuTestStorage::Make();
    store->StartStoring();
    ZuStorageRef s(store);
    s << info << ZU_FATT_VOLUME_REMOVABLE;
    store->StartRestoring(store->Bytes());
    ZuFileAttInfo back;
    ZuFileAttributesBit bit = ZU_FATT_DIRECTORY;
    s >> back >> bit;
    EXPECT_EQ(back, info);
    EXPECT_EQ(bit, ZU_FATT_VOLUME_REMOVABLE);
}
