#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "si/hashtab.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"
#include "tests/support/probes.h"

namespace {

// Nothing here depends on the order of the elements: the default hash is
// the object's address, which changes from run to run.
class HashTableTest : public ZuviRuntimeTest {
protected:
    static ZuHashTableRef NewTable()
    {
        return ZuHashTableRef(ZuNew<ZuHashTable>(Zuvi_app_zone, __LINE__, "test"));
    }
    static std::multiset<int> Contents(const ZuHashTableRef& table)
    {
        std::multiset<int> values;
        ZuObjectRef got;
        for (unsigned i = 0; table->Get(i, got); ++i)
            values.insert(static_cast<TestNumber*>(got.Resolve())->value);
        return values;
    }
};

TEST_F(HashTableTest, BucketCounts)
{
    struct Case {
        unsigned asked;
        unsigned buckets;
    };
    static const Case cases[] = {
        {0, 29},  {1, 17},    {16, 17},   {17, 17},   {18, 19},   {20, 23},
        {25, 29}, {100, 101}, {121, 127}, {169, 173}, {289, 289},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.asked);
        ZuHashTableRef table = NewTable();
        EXPECT_TRUE(table->Initialise(c.asked));
        EXPECT_EQ(table->RetMaxHash(), c.buckets);
    }
}

TEST_F(HashTableTest, FirstInsertMakesTheTable)
{
    ZuHashTableRef table = NewTable();
    EXPECT_EQ(table->RetMaxHash(), 0u);
    EXPECT_TRUE(table->Insert(TestNumber::Make(1)));
    EXPECT_EQ(table->RetMaxHash(), 29u);
    EXPECT_FALSE(table->Insert(ZuObjectNull));
    EXPECT_EQ(table->TotalCount(), 1u);
}

TEST_F(HashTableTest, InitialisingTwiceIsFatal)
{
    ZuHashTableRef table = NewTable();
    table->Initialise(10);
    EXPECT_DEATH(table->Initialise(10), "Failed assertion: this->array == 0");
}

TEST_F(HashTableTest, SameObjectTwice)
{
    ZuHashTableRef table = NewTable();
    TestNumberRef a = TestNumber::Make(7);
    table->Insert(a);
    table->Insert(a);
    EXPECT_EQ(table->TotalCount(), 2u);
    EXPECT_TRUE(table->Remove(a, 1));
    EXPECT_TRUE(table->LookFor(a));
    EXPECT_EQ(table->TotalCount(), 1u);
    EXPECT_FALSE(table->Remove(a, 1));
    EXPECT_TRUE(table->Remove(a, 0));
    EXPECT_FALSE(table->LookFor(a));
    EXPECT_EQ(table->TotalCount(), 0u);
}

TEST_F(HashTableTest, IndexWalkSeesEveryElementOnceAndSurvivesRemovals)
{
    ZuHashTableRef table = NewTable();
    table->Initialise(17);
    std::vector<TestNumberRef> numbers;
    for (int i = 0; i < 60; ++i) { // more elements than buckets: chains
        numbers.push_back(TestNumber::Make(i));
        table->Insert(numbers.back());
    }
    std::multiset<int> all;
    for (int i = 0; i < 60; ++i)
        all.insert(i);
    EXPECT_EQ(Contents(table), all);

    // Backwards and random access restart the walk but give the same objects.
    std::vector<int> forward, backward;
    ZuObjectRef got;
    for (unsigned i = 0; i < 60; ++i) {
        table->Get(i, got);
        forward.push_back(static_cast<TestNumber*>(got.Resolve())->value);
    }
    for (unsigned i = 60; i-- > 0;) {
        table->Get(i, got);
        backward.push_back(static_cast<TestNumber*>(got.Resolve())->value);
    }
    std::reverse(backward.begin(), backward.end());
    EXPECT_EQ(forward, backward);
    EXPECT_FALSE(table->Get(60, got));

    // Removals by object and by index keep the cached position right.
    table->Get(30, got);
    for (int i = 0; i < 60; i += 3) {
        table->Get(static_cast<unsigned>(i / 2), got); // move the cache around
        EXPECT_TRUE(table->Remove(numbers[i], 0));
        all.erase(all.find(i));
        EXPECT_EQ(Contents(table), all);
    }
    while (table->TotalCount() > 0) {
        unsigned index = table->TotalCount() / 2;
        table->Get(index, got);
        int value = static_cast<TestNumber*>(got.Resolve())->value;
        EXPECT_TRUE(table->Remove(index));
        all.erase(all.find(value));
        EXPECT_EQ(Contents(table), all);
    }
    EXPECT_FALSE(table->Remove(0u));
}

TEST_F(HashTableTest, InsertionsKeepTheCachedPositionRight)
{
    ZuHashTableRef table = NewTable();
    table->Initialise(17);
    std::vector<TestNumberRef> numbers;
    for (int i = 0; i < 40; ++i) {
        numbers.push_back(TestNumber::Make(i));
        ZuObjectRef got;
        table->Get(table->TotalCount() / 2, got); // cache somewhere in the middle
        table->Insert(numbers.back());
        std::multiset<int> expected;
        for (int k = 0; k <= i; ++k)
            expected.insert(k);
        ASSERT_EQ(Contents(table), expected);
    }
}

TEST_F(HashTableTest, FindFromAStartIndex)
{
    ZuHashTableRef table = NewTable();
    TestNumberRef a = TestNumber::Make(1);
    for (int i = 0; i < 10; ++i)
        table->Insert(TestNumber::Make(100 + i));
    table->Insert(a);
    unsigned index = 0;
    ASSERT_TRUE(table->Find(a, index));
    ZuObjectRef got;
    table->Get(index, got);
    EXPECT_TRUE(got == a);
    unsigned beyond = index + 1;
    EXPECT_FALSE(table->Find(a, beyond));
}

TEST_F(HashTableTest, GetSimilarLooksInTheProbesBucket)
{
    ZuHashTableRef table = NewTable();
    TestNumberRef a = TestNumber::Make(1);
    table->Insert(a);
    ZuObjectRef got;
    ASSERT_TRUE(table->GetSimilar(a, got, 0));
    EXPECT_TRUE(got == a);
    EXPECT_FALSE(table->GetSimilar(a, got, 1));
}

TEST_F(HashTableTest, ReportsOfInsertRemoveButNotRemoveAll)
{
    ZuHashTableRef table = NewTable();
    TestObserverRef obs = TestObserver::Make();
    for (auto e : {"notify_data_removed", "notify_data_inserted", "notify_data_moved"})
        obs->Watch(table, e);
    TestNumberRef a = TestNumber::Make(1);
    table->Insert(a);
    EXPECT_EQ(obs->Events(),
              (std::vector<std::string>{"notify_data_inserted", "notify_data_moved"}));
    obs->Clear();
    table->Remove(a, 0);
    EXPECT_EQ(obs->Events(),
              (std::vector<std::string>{"notify_data_removed", "notify_data_moved"}));
    obs->Clear();
    table->Insert(a);
    table->Insert(TestNumber::Make(2));
    obs->Clear();
    table->RemoveAll();
    EXPECT_TRUE(obs->Events().empty());
    EXPECT_EQ(table->TotalCount(), 0u);
    EXPECT_EQ(table->RetMaxHash(), 29u); // the buckets stay
}

TEST_F(HashTableTest, FreeTableForgetsTheBuckets)
{
    ZuHashTableRef table = NewTable();
    table->Initialise(100);
    table->Insert(TestNumber::Make(1));
    table->FreeTable();
    EXPECT_EQ(table->TotalCount(), 0u);
    EXPECT_EQ(table->RetMaxHash(), 0u);
    EXPECT_TRUE(table->Initialise(18));
    EXPECT_EQ(table->RetMaxHash(), 19u);
}

TEST_F(HashTableTest, RestoringAFullTableDoublesItsBuckets)
{
    ZuHashTableRef table = NewTable();
    std::multiset<int> all;
    for (int i = 0; i < 100; ++i) {
        table->Insert(TestNumber::Make(i));
        all.insert(i);
    }
    ASSERT_EQ(table->RetMaxHash(), 29u);
    ZuTestStorageRef store = ZuTestStorage::Make();
    store->StartStoring();
    store->StoreObject(table);
    store->StartRestoring(store->Bytes());
    ZuHashTableRef back;
    ZuStorageRef(store) >> back;
    ASSERT_TRUE(back.IsValid());
    EXPECT_EQ(back->RetMaxHash(), 211u); // Initialise(200)
    EXPECT_EQ(back->TotalCount(), 100u);
    EXPECT_EQ(Contents(back), all);
}

} // namespace
