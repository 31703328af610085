#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "si/dict.h"
#include "si/except.h"
#include "si/dictit.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"
#include "tests/support/probes.h"

// A number that counts the comparisons made with it as a key.
ZU_HANDLE(TCountedKey, TestNumber)
class TCountedKey : public TestNumber {
    ZU_CLASS(TCountedKey, TestNumber)
public:
    TCountedKey() {}
    int CompareWith(const ZuObjectRef& other) const override
    {
        ++compares;
        return TestNumber::CompareWith(other);
    }
    static long compares;
};
ZU_CLASS_END(TCountedKey)
ZU_IMPLEMENT_CLASS(TCountedKey, "tests/si/dict_test", ZU_CLASS_PLAIN)
long TCountedKey::compares = 0;

namespace {

class DictTest : public ZuviRuntimeTest {
protected:
    static ZuDictRef NewDict() { return ZuDictRef(ZuNew<ZuDict>(Zuvi_app_zone, __LINE__, "test")); }
    // "key=value ..." over the indices (each element as often as its count).
    static std::string Pairs(const ZuDictRef& dict)
    {
        std::string text;
        ZuObjectRef key, value;
        for (unsigned i = 0; dict->Get(i, key, value); ++i)
            text += (text.empty() ? "" : " ") + NumberText(key) + "=" + NumberText(value);
        return text;
    }
    static TestNumberRef N(int v) { return TestNumber::Make(v); }
};

TEST_F(DictTest, SamePairTwiceIsCountedAndReportedTwice)
{
    ZuDictRef dict = NewDict();
    TestObserverRef obs = TestObserver::Make();
    obs->Watch(dict, "notify_data_inserted");
    TestNumberRef k = N(1), v = N(10);
    EXPECT_TRUE(dict->Insert(k, v));
    EXPECT_TRUE(dict->Insert(k, v));
    EXPECT_EQ(dict->TotalCount(), 2u);
    EXPECT_EQ(obs->Count("notify_data_inserted"), 2u);
    EXPECT_EQ(Pairs(dict), "1=10 1=10");

    // One element: an iterator sees it once.
    ZuIteratorRef it = dict->NewIterator();
    unsigned seen = 1;
    while (it->Next(1))
        ++seen;
    EXPECT_EQ(seen, 1u);

    dict->SetAllowDuplicates(false); // brings the count down to 1
    EXPECT_EQ(dict->TotalCount(), 1u);
    EXPECT_FALSE(dict->Insert(k, v));
    EXPECT_EQ(dict->TotalCount(), 1u);
}

TEST_F(DictTest, KeysComeOutInOrderAndEqualKeysKeepInsertionOrder)
{
    ZuDictRef dict = NewDict();
    dict->Insert(N(3), N(30));
    dict->Insert(N(1), N(10));
    dict->Insert(N(2), N(20));
    dict->Insert(N(1), N(11)); // equal key, inserted later
    EXPECT_EQ(Pairs(dict), "1=10 1=11 2=20 3=30");

    ZuIteratorRef it = dict->NewIterator();
    std::string keys;
    ZuDictIteratorRef dit(it);
    do {
        ZuObjectRef key;
        ASSERT_TRUE(dit->GetKey(key, 0));
        keys += NumberText(key);
    } while (it->Next(1));
    EXPECT_EQ(keys, "1123");
}

TEST_F(DictTest, EmptyKeyGoesToTheFront)
{
    ZuDictRef dict = NewDict();
    dict->Insert(N(1), N(10));
    dict->Insert(ZuObjectNull, N(99));
    EXPECT_EQ(Pairs(dict), "_=99 1=10");
}

TEST_F(DictTest, InsertSortedGivesTheListOfInsertingOneByOne)
{
    // Keys (kNone: an empty key) and values; the first pairs are in the
    // dictionary before, the others inserted both ways.
    const int kNone = -1;
    struct Case {
        std::vector<std::pair<int, int>> before;
        std::vector<std::pair<int, int>> batch;
    } const cases[] = {
        {{{3, 30}, {1, 10}}, {{2, 20}, {1, 11}, {5, 50}, {1, 12}, {3, 30}, {0, 1}, {5, 49}}},
        {{}, {{4, 40}, {4, 40}, {2, 1}, {4, 41}}},         // an identical pair in the batch
        {{}, {{2, 20}, {kNone, 99}, {1, 10}}},             // an empty key in the batch
        {{{kNone, 99}, {2, 20}}, {{1, 10}, {3, 30}}},      // an empty key before
        {{{1, 10}, {2, 21}, {2, 20}}, {{2, 21}, {2, 22}}}, // the identical pair is not the last
    };
    auto key = [&](int k) { return k == kNone ? ZuObjectRef() : ZuObjectRef(N(k)); };
    for (const Case& c : cases) {
        ZuDictRef one_by_one = NewDict();
        ZuDictRef sorted = NewDict();
        for (const auto& [k, v] : c.before) {
            one_by_one->Insert(key(k), N(v));
            sorted->Insert(key(k), N(v));
        }
        std::vector<std::pair<ZuObjectRef, ZuObjectRef>> pairs;
        for (const auto& [k, v] : c.batch) {
            one_by_one->Insert(key(k), N(v));
            pairs.emplace_back(key(k), N(v));
        }
        sorted->InsertSorted(pairs);
        EXPECT_EQ(Pairs(one_by_one), Pairs(sorted));
        EXPECT_EQ(one_by_one->TotalCount(), sorted->TotalCount());
    }
}

// Values compared by identity (as the look manager's records): thousands
// of pairs of one key are filed in one walk of that key's elements, not in
// one walk per pair, and in the order Insert gives them one by one.
TEST_F(DictTest, InsertSortedFilesManyPairsOfOneKeyInOneWalk)
{
    auto key = [](int v) {
        TCountedKeyRef k = ZuNew<TCountedKey>(Zuvi_app_zone, __LINE__, "test");
        k->value = v;
        return k;
    };
    const TCountedKeyRef low = key(3), same = key(7), high = key(9);
    const int n = 2000;
    ZuDictRef one_by_one = NewDict();
    ZuDictRef sorted = NewDict();
    std::vector<std::pair<ZuObjectRef, ZuObjectRef>> pairs;
    for (const ZuDictRef& d : {one_by_one, sorted}) {
        d->SetCompKeyUsingIsEqual(false);
        d->SetCompValueUsingIsEqual(false);
        d->Insert(same, N(-1));
        d->Insert(high, N(-2));
    }
    const TestNumberRef twice = N(5);
    pairs.emplace_back(high, N(-3));
    for (int i = 0; i < n; ++i)
        pairs.emplace_back(i == 5 ? ZuObjectRef(same) : ZuObjectRef(i % 2 ? same : low),
                           i == 5 ? ZuObjectRef(twice) : ZuObjectRef(N(i)));
    pairs.emplace_back(same, twice); // an identical pair: counted again
    for (const auto& [k, v] : pairs)
        one_by_one->Insert(k, v);
    TCountedKey::compares = 0;
    sorted->InsertSorted(pairs);
    EXPECT_LT(TCountedKey::compares, 30L * n);
    EXPECT_EQ(Pairs(one_by_one), Pairs(sorted));
    EXPECT_EQ(one_by_one->TotalCount(), sorted->TotalCount());
    EXPECT_EQ(sorted->TotalCount(), unsigned(n + 4));
}

TEST_F(DictTest, LookUpsCountMultiplicities)
{
    ZuDictRef dict = NewDict();
    TestNumberRef k = N(1), v = N(10);
    dict->Insert(k, v);
    dict->Insert(k, v);
    dict->Insert(N(2), v);
    ZuObjectRef out;
    ASSERT_TRUE(dict->GetFromKey(k, out, 1)); // the same element again
    EXPECT_TRUE(out == v);
    EXPECT_FALSE(dict->GetFromKey(k, out, 2));
    ASSERT_TRUE(dict->GetFromValue(v, out, 2));
    EXPECT_EQ(NumberText(out), "2");
    EXPECT_TRUE(dict->RetFromKey(N(3), 0).IsInvalid());
    EXPECT_EQ(NumberText(dict->RetFromValue(v, 0)), "1");

    unsigned index = 1;
    ASSERT_TRUE(dict->Find(k, v, index));
    EXPECT_EQ(index, 1u); // the start position itself when its element matches
    index = 0;
    ASSERT_TRUE(dict->Find(N(2), v, index));
    EXPECT_EQ(index, 2u);
    index = 3;
    EXPECT_FALSE(dict->Find(k, v, index));

    EXPECT_TRUE(dict->LookForKey(N(2))); // equal key object
    EXPECT_TRUE(dict->LookForValue(N(10)));
    EXPECT_FALSE(dict->LookForKey(N(5)));
}

TEST_F(DictTest, IdentityComparisonWhenIsEqualIsOff)
{
    ZuDictRef dict = NewDict();
    TestNumberRef k = N(1);
    dict->Insert(k, N(10));
    dict->SetCompKeyUsingIsEqual(false);
    EXPECT_FALSE(dict->LookForKey(N(1)));
    EXPECT_TRUE(dict->LookForKey(k));
    dict->SetCompValueUsingIsEqual(false);
    EXPECT_FALSE(dict->LookForValue(N(10)));
}

TEST_F(DictTest, Removals)
{
    ZuDictRef dict = NewDict();
    TestNumberRef a = N(1), b = N(2);
    dict->Insert(a, N(10));
    dict->Insert(a, N(11));
    dict->Insert(b, N(10));
    dict->Insert(b, N(10)); // count 2
    EXPECT_EQ(Pairs(dict), "1=10 1=11 2=10 2=10");

    EXPECT_TRUE(dict->Remove(a, 1)); // second pair of key 1
    EXPECT_EQ(Pairs(dict), "1=10 2=10 2=10");
    EXPECT_TRUE(dict->RemoveValue(N(10), 2)); // third match, inside the counted element
    EXPECT_EQ(Pairs(dict), "1=10 2=10");
    EXPECT_FALSE(dict->Remove(a, N(11), 0));
    EXPECT_TRUE(dict->Remove(b, N(10), 0));
    EXPECT_EQ(Pairs(dict), "1=10");
    EXPECT_FALSE(dict->Remove(5u));
    EXPECT_TRUE(dict->Remove(0u));
    EXPECT_EQ(dict->TotalCount(), 0u);
}

TEST_F(DictTest, RemoveAllReportsEveryUnit)
{
    ZuDictRef dict = NewDict();
    dict->Insert(N(1), N(10));
    dict->Insert(N(1), N(10));
    dict->Insert(N(2), N(20));
    TestObserverRef obs = TestObserver::Make();
    obs->Watch(dict, "notify_data_removed");
    dict->RemoveAll();
    EXPECT_EQ(obs->Count("notify_data_removed"), 3u);
    EXPECT_EQ(dict->TotalCount(), 0u);
}

TEST_F(DictTest, SetAllowDuplicatesRemovesThemOnlyWhenSwitchedOff)
{
    ZuDictRef dict = NewDict();
    dict->Insert(N(1), N(10));
    dict->Insert(N(1), N(10));
    TestObserverRef obs = TestObserver::Make();
    obs->Watch(dict, "notify_data_removed");
    dict->SetAllowDuplicates(false);
    EXPECT_EQ(obs->Count("notify_data_removed"), 1u);
    dict->SetAllowDuplicates(false);
    EXPECT_EQ(obs->Count("notify_data_removed"), 1u);
    EXPECT_FALSE(dict->RetAllowDuplicates());
}

TEST_F(DictTest, DeleteEmptiesTheDictionary)
{
    ZuDictRef dict = NewDict();
    dict->Insert(N(1), N(10));
    dict->SpecifyExtractKey(N(1));
    dict->Delete();
    EXPECT_EQ(dict->TotalCount(), 0u);
    ZuObjectRef key, value;
    EXPECT_FALSE(dict->Get(0, key, value));
}

// The element count of a dictionary counts repetitions; restoring reads the
// element records up to the end of their group, whatever that count says.
TEST_F(DictTest, StoredAndRestoredWithRepeatedPairs)
{
    ZuDictRef dict = NewDict();
    TestNumberRef k = N(1), v = N(10);
    dict->Insert(k, v);
    dict->Insert(k, v);
    dict->Insert(k, v);
    dict->Insert(N(3), N(30));
    dict->Insert(N(2), N(20));
    dict->SpecifyExtractKey(ZuObjectNull);
    ZuTestStorageRef store = ZuTestStorage::Make();
    store->StartStoring();
    store->StoreObject(dict);
    store->StartRestoring(store->Bytes());
    ZuDictRef back;
    ZuStorageRef(store) >> back;
    ASSERT_TRUE(back.IsValid());
    EXPECT_EQ(back->TotalCount(), 5u);
    EXPECT_EQ(Pairs(back), "1=10 1=10 1=10 2=20 3=30");
    EXPECT_EQ(NumbersOf(back), "10 10 10 20 30"); // extraction mode 1 came back
    ZuObjectRef key;
    EXPECT_TRUE(back->GetFromValue(N(20), key, 0));
    EXPECT_EQ(NumberText(key), "2");
    EXPECT_EQ(store->Remaining(), 0u);
    back->Delete();
}

// ---- counts read from a file -------------------------------------------------

// Sets an element's repeat count as a damaged or hostile file could: the
// element holding `index` gets `count`, the dictionary's total follows.
struct DictCounts : ZuDict {
    static void Set(const ZuDictRef& dict, unsigned int index, unsigned int count)
    {
        auto find = static_cast<bool (ZuDict::*)(unsigned int&, Element*&)>(&DictCounts::FindElem);
        unsigned int offset = index;
        Element* elem = nullptr;
        unsigned int ZuSet::*total = &DictCounts::num_element;
        // Found whatever the total says now.
        const unsigned int was = dict.Resolve()->*total;
        dict.Resolve()->*total = ~0u;
        ASSERT_TRUE((dict.Resolve()->*find)(offset, elem));
        dict.Resolve()->*total = was + (count - elem->count);
        elem->count = count;
    }
};

class DictCountTest : public DictTest {
protected:
    void TearDown() override
    {
        store = static_cast<ZuTestStorage*>(nullptr);
        DictTest::TearDown();
    }
    ZuDictRef RoundTrip(const ZuDictRef& dict)
    {
        store = ZuTestStorage::Make();
        store->StartStoring();
        store->StoreObject(dict);
        store->StartRestoring(store->Bytes());
        ZuDictRef back;
        ZuStorageRef(store) >> back;
        return back;
    }
    ZuTestStorageRef store;
};

// What removing, deleting and destroying cost follows the elements there
// are, not their counts: these finish at once (they took minutes, or never
// ended, when each unit went by itself).
TEST_F(DictCountTest, HugeRepeatCountsAreRemovedInOneStep)
{
    for (unsigned int count : {0x7FFFFFFFu, 0xFFFFFFFEu}) {
        ZuDictRef dict = NewDict();
        dict->Insert(N(1), N(10));
        dict->Insert(N(2), N(20));
        DictCounts::Set(dict, 1, count);
        ZuDictRef back = RoundTrip(dict);
        ASSERT_TRUE(back.IsValid());
        EXPECT_EQ(back->TotalCount(), count + 1);
        ZuObjectRef key, value;
        ASSERT_TRUE(back->Get(count, key, value));
        EXPECT_EQ(NumberText(key) + "=" + NumberText(value), "2=20");
        EXPECT_FALSE(back->Get(count + 1, key, value));
        back->RemoveAll();
        EXPECT_EQ(back->TotalCount(), 0u);
        dict->RemoveDuplicates();
        EXPECT_EQ(Pairs(dict), "1=10 2=20");
        DictCounts::Set(dict, 1, count);
        // Deleted and destroyed with the count in place.
        dict->Delete();
        EXPECT_EQ(dict->TotalCount(), 0u);
    }
}

TEST_F(DictCountTest, ObserversStillHearEveryRemovedUnit)
{
    ZuDictRef dict = NewDict();
    dict->Insert(N(1), N(10));
    DictCounts::Set(dict, 0, 100);
    TestObserverRef obs = TestObserver::Make();
    obs->Watch(dict, "notify_data_removed");
    dict->RemoveDuplicates();
    EXPECT_EQ(obs->Count("notify_data_removed"), 99u);
    DictCounts::Set(dict, 0, 50);
    dict->RemoveAll();
    EXPECT_EQ(obs->Count("notify_data_removed"), 149u);
}

TEST_F(DictCountTest, StoredCountsOfZeroOrPastTheIndexRange)
{
    // A stored count of 0 reads as 1.
    ZuDictRef dict = NewDict();
    dict->Insert(N(1), N(10));
    DictCounts::Set(dict, 0, 0);
    ZuDictRef back = RoundTrip(dict);
    ASSERT_TRUE(back.IsValid());
    EXPECT_EQ(back->TotalCount(), 1u);
    EXPECT_EQ(Pairs(back), "1=10");
    dict->Delete(); // with the count of 0 in place

    // Counts whose sum the index cannot reach are damaged data.
    dict = NewDict();
    dict->Insert(N(1), N(10));
    dict->Insert(N(2), N(20));
    DictCounts::Set(dict, 0, 0x80000000u);
    DictCounts::Set(dict, 0x80000000u, 0x80000000u);
    store = ZuTestStorage::Make();
    store->StartStoring();
    store->StoreObject(dict);
    store->StartRestoring(store->Bytes());
    ZuDictRef bad;
    EXPECT_THROW(ZuStorageRef(store) >> bad, ZuExcStream);
    EXPECT_TRUE(bad.IsInvalid());
    dict->Delete();
}

// Found by fuzzing: a dictionary element whose count reads 0, then the end
// of the input. The clean-up of the half-read dictionary must leave counts
// that let it go (it stopped the program on the set's count check).
TEST_F(DictCountTest, StreamCutAfterACountOfZero)
{
    const std::vector<unsigned char> bytes = {0x40, 0x06, 0x01, 0x01, 'Z',  'u',  'D',  'i',
                                              'c',  't',  0x43, 0x01, 0x80, 0xFD, 0xFD, 0xFD,
                                              0x00, 0xFC, 0xFC, 0xFC, 0x00, 0x1D, 0x1D};
    store = ZuTestStorage::Make();
    store->StartRestoring(bytes);
    ZuObjectRef object;
    try {
        store->RestoreObject(object, ZuRuntimeRef());
    } catch (const ZuExcStream&) {}
    ZuObjectRef::RealiseDeletions();
    if (object.IsValid())
        object->Delete();
}

} // namespace
