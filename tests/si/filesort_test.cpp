#include "si/filesort.h"

#include "si/classfactory.h"
#include "si/fileatt.h"
#include "si/string.h"
#include "si/memzone.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"

#include <gtest/gtest.h>

namespace {

class FileSort : public ZuviRuntimeTest {};

ZuFileSortRef NewSort()
{
    return ZuNew<ZuFileSort>();
}

ZuFileAttInfo Info(uint64_t size, bool dir = false, int64_t t = 0)
{
    ZuFileAttInfo info;
    info.size = size;
    info.time_created = t;
    info.time_modified = t * 2;
    info.time_accessed = t * 3;
    if (dir)
        info.attributes.SetBit(ZU_FATT_DIRECTORY);
    return info;
}

int Cmp(const ZuFileSortRef& s, const char* a, const ZuFileAttInfo& ia, const char* b,
        const ZuFileAttInfo& ib)
{
    return s->Compare(ZuStringRef(a), ia, ZuStringRef(b), ib);
}

} // namespace

TEST_F(FileSort, AnEmptySortFindsEverythingEqual)
{
    ZuFileSortRef s = NewSort();
    EXPECT_EQ(s->TotalCount(), 0u);
    EXPECT_EQ(Cmp(s, "a", Info(1), "b", Info(2, true)), 0);
    ZuFileSortType t;
    bool up;
    EXPECT_FALSE(s->GetCriterion(0, t, up));
}

TEST_F(FileSort, CriteriaByName)
{
    struct Case {
        ZuFileSortType type;
        const char* a;
        const char* b;
        int expected;
    } cases[] = {
        {ZU_FILE_SORT_NAME, "ab.txt", "abc.txt", -1}, // "." is below "c"
        {ZU_FILE_SORT_NAME, "B.txt", "a.txt", -1},    // case counts
        {ZU_FILE_SORT_NAME, "same.c", "same.h", 0},
        {ZU_FILE_SORT_NAME, "a", "ab", -1},
        {ZU_FILE_SORT_TYPE, "x.c", "a.h", -1},
        {ZU_FILE_SORT_TYPE, "x.tar.gz", "y.gz", 0},
        {ZU_FILE_SORT_TYPE, "x.cc", "x.c", 1},
        {ZU_FILE_SORT_SUBTYPE, "a.tar.gz", "b.zip.gz", -1},
        {ZU_FILE_SORT_SUBTYPE, "a.tar.gz", "b.tar.bz2", 0},
        {static_cast<ZuFileSortType>(8), "a", "b", 0},
        {ZU_FILE_SORT_NONE, "a", "b", 0},
    };
    for (const Case& c : cases) {
        ZuFileSortRef s = NewSort();
        s->InsertCriterion(c.type, true);
        EXPECT_EQ(Cmp(s, c.a, Info(0), c.b, Info(0)), c.expected) << c.a << " " << c.b;
        ZuFileSortRef down = NewSort();
        down->InsertCriterion(c.type, false);
        EXPECT_EQ(Cmp(down, c.a, Info(0), c.b, Info(0)), -c.expected) << c.a << " " << c.b;
    }
}

TEST_F(FileSort, CriteriaByRecord)
{
    struct Case {
        ZuFileSortType type;
        ZuFileAttInfo a, b;
        int expected;
    } cases[] = {
        {ZU_FILE_SORT_SIZE, Info(1), Info(1ull << 33), -1},
        {ZU_FILE_SORT_SIZE, Info(5), Info(5), 0},
        {ZU_FILE_SORT_TIME_CREATED, Info(0, false, -10), Info(0, false, 10), -1},
        {ZU_FILE_SORT_TIME_MODIFIED, Info(0, false, 4), Info(0, false, 3), 1},
        {ZU_FILE_SORT_TIME_ACCESSED, Info(0, false, 1LL << 40), Info(0, false, 1), 1},
        {ZU_FILE_SORT_DIRECTORY, Info(0, true), Info(0, false), -1},
        {ZU_FILE_SORT_DIRECTORY, Info(0, true), Info(9, true), 0},
    };
    for (const Case& c : cases) {
        ZuFileSortRef s = NewSort();
        s->InsertCriterion(c.type, true);
        EXPECT_EQ(Cmp(s, "n", c.a, "n", c.b), c.expected) << static_cast<unsigned>(c.type);
    }
}

TEST_F(FileSort, LaterCriteriaBreakTies)
{
    ZuFileSortRef s = NewSort();
    s->InsertCriterion(ZU_FILE_SORT_SIZE, false);
    s->InsertCriterion(ZU_FILE_SORT_NAME, true);
    EXPECT_EQ(Cmp(s, "a", Info(10), "b", Info(20)), 1);  // larger first
    EXPECT_EQ(Cmp(s, "a", Info(10), "b", Info(10)), -1); // then by name
    ZuFileSortType t;
    bool up = true;
    ASSERT_TRUE(s->GetCriterion(0, t, up));
    EXPECT_EQ(t, ZU_FILE_SORT_SIZE);
    EXPECT_FALSE(up);
    EXPECT_FALSE(s->GetCriterion(2, t, up));
}

TEST_F(FileSort, CopyAppendsTheSourcesCriteria)
{
    ZuFileSortRef target = NewSort();
    target->InsertCriterion(ZU_FILE_SORT_DIRECTORY, true);
    ZuFileSortRef source = NewSort();
    source->InsertCriterion(ZU_FILE_SORT_NAME, false);
    source->InsertCriterion(ZU_FILE_SORT_SIZE, true);
    target->Copy(source);
    ASSERT_EQ(target->TotalCount(), 3u);
    ZuFileSortType t;
    bool up;
    target->GetCriterion(0, t, up);
    EXPECT_EQ(t, ZU_FILE_SORT_DIRECTORY);
    target->GetCriterion(1, t, up);
    EXPECT_EQ(t, ZU_FILE_SORT_NAME);
    EXPECT_FALSE(up);
    target->GetCriterion(2, t, up);
    EXPECT_EQ(t, ZU_FILE_SORT_SIZE);
    // Another class copies no criteria.
    target->Copy(ZuStringRef("text"));
    EXPECT_EQ(target->TotalCount(), 3u);
}

TEST_F(FileSort, StoredAndRestored)
{
    ZuFileSortRef s = NewSort();
    s->InsertCriterion(ZU_FILE_SORT_DIRECTORY, true);
    s->InsertCriterion(ZU_FILE_SORT_TIME_MODIFIED, false);
    ZuTestStorageRef store = ZuTestStorage::Make();
    store->StartStoring();
    store->StoreObject(s);
    store->StartRestoring(store->Bytes());
    ZuObjectRef back;
    store->RestoreObject(back, ZuFileSortRef::RetRuntime());
    ZuFileSortRef copy(back);
    ASSERT_TRUE(copy.IsValid());
    ASSERT_EQ(copy->TotalCount(), 2u);
    ZuFileSortType t;
    bool up;
    copy->GetCriterion(1, t, up);
    EXPECT_EQ(t, ZU_FILE_SORT_TIME_MODIFIED);
    EXPECT_FALSE(up);
}

TEST_F(FileSort, SupportsTheFileSortInterface)
{
    ZuFileSortRef s = NewSort();
    EXPECT_TRUE(s->SupportsInterface(&ZuiFileSort::interface));
    EXPECT_NE(s->CastToInterface(&ZuiFileSort::interface), nullptr);
}
