#include "si/array.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <algorithm>

#include "si/arrayit.h"
#include "si/atom.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/performer.h"
#include "si/storage.h"
#include "tests/support/objmodel.h"
#include "tests/support/probes.h"
#include "tests/support/storagetest.h"

// Counts the objects it is run on and answers false on the `stop_at`-th.
ZU_HANDLE(TArrCounter, ZuPerformer)
class TArrCounter : public ZuPerformer {
    ZU_CLASS(TArrCounter, ZuPerformer)
public:
    TArrCounter() {}
    bool Run(const ZuObjectRef&) override { return ++runs != stop_at; }
    int runs = 0;
    int stop_at = -1;
};
ZU_CLASS_END(TArrCounter)
ZU_IMPLEMENT_CLASS(TArrCounter, "tests/array", ZU_CLASS_PLAIN)

namespace {

class ArrayTest : public ZuviRuntimeTest {
protected:
    ZuArrayRef NewArray(unsigned int size = 0)
    {
        ZuArrayRef a(ZuNew<ZuArray>());
        a->SetSize(size);
        return a;
    }
    // An array of `size` slots each holding a distinct object (other arrays).
    ZuArrayRef Filled(unsigned int size)
    {
        ZuArrayRef a = NewArray(size);
        for (unsigned int i = 0; i < size; ++i)
            a[i] = NewArray();
        return a;
    }
    TestContainerWatcherRef Watch(const ZuArrayRef& a)
    {
        TestContainerWatcherRef w(ZuNew<TestContainerWatcher>());
        a->AttachObserver(w, ZuBaseContainer::notify_data_inserted, ZuAtomRef("OnInserted"), 1);
        a->AttachObserver(w, ZuBaseContainer::notify_data_removed, ZuAtomRef("OnRemoved"), 2);
        a->AttachObserver(w, ZuBaseContainer::notify_data_moved, ZuAtomRef("OnMoved"), 3);
        return w;
    }
    // The index of the slot of `a` that holds the object read through `it`.
    unsigned int Position(const ZuIteratorRef& it, const ZuArrayRef& a)
    {
        ZuObjectRef here;
        EXPECT_TRUE(it->Get(here, 0));
        unsigned int index = 0;
        EXPECT_TRUE(a->Find(here, index));
        return index;
    }
};

} // namespace

TEST_F(ArrayTest, AccessPastTheEndGrowsOnlyWithAnIncrement)
{
    ZuArrayRef a = NewArray();
    EXPECT_TRUE(a->Access(5).IsInvalid());
    EXPECT_EQ(0u, a->TotalCount());
    a->Access(5) = NewArray(); // the write is lost
    EXPECT_EQ(0u, a->TotalCount());
    EXPECT_TRUE(a->Access(5).IsInvalid());

    a->SetAutoGrowIncrement(4);
    EXPECT_EQ(4u, a->RetAutoGrowIncrement());
    a->Access(5) = NewArray();
    EXPECT_EQ(9u, a->TotalCount());
    EXPECT_TRUE(a->Access(5).IsValid());

    ZuArrayRef none;
    EXPECT_TRUE(none[3].IsInvalid());
}

// A write into the slot answered past the end must not outlive the zones:
// after a restart the next such answer would release an object of a zone
// that is gone.
TEST_F(ArrayTest, AWriteInTheScratchSlotDoesNotOutliveShutDown)
{
    NewArray()->Access(5) = NewArray();
    ZuviStopRuntime();
    ZuviStartRuntime();
    EXPECT_TRUE(NewArray()->Access(5).IsInvalid());
}

TEST_F(ArrayTest, NotificationsOfEachChange)
{
    struct Case {
        const char* what;
        unsigned int size;
        void (*change)(const ZuArrayRef&);
        unsigned int new_size;
        const char* log;
    } const cases[] = {
        {"Insert(10, 2)", 3, [](const ZuArrayRef& a) { EXPECT_TRUE(a->Insert(10, 2)); }, 12, "iim"},
        {"Insert(1, 2)", 3, [](const ZuArrayRef& a) { EXPECT_TRUE(a->Insert(1, 2)); }, 5, "iim"},
        {"Insert(object)", 3, [](const ZuArrayRef& a) { EXPECT_TRUE(a->Insert(ZuObjectRef(a))); },
         4, "ii"},
        {"Remove(1, 5)", 3, [](const ZuArrayRef& a) { EXPECT_TRUE(a->Remove(1, 5)); }, 1, "rrm"},
        {"Remove(3, 1)", 3, [](const ZuArrayRef& a) { EXPECT_FALSE(a->Remove(3, 1)); }, 3, ""},
        {"Insert(0, 0)", 3, [](const ZuArrayRef& a) { EXPECT_TRUE(a->Insert(0, 0)); }, 3, ""},
        {"RemoveAll", 3, [](const ZuArrayRef& a) { a->RemoveAll(); }, 0, "r"},
        {"SetSize same", 3, [](const ZuArrayRef& a) { EXPECT_TRUE(a->SetSize(3)); }, 3, ""},
    };
    for (const auto& c : cases) {
        ZuArrayRef a = Filled(c.size);
        TestContainerWatcherRef w = Watch(a);
        c.change(a);
        EXPECT_EQ(c.new_size, a->TotalCount()) << c.what;
        EXPECT_EQ(c.log, w->log) << c.what;
        a->DetachObserver(w);
        a->RemoveAll();
    }
}

TEST_F(ArrayTest, InsertShiftsSlotsAndLeavesGaps)
{
    ZuArrayRef a = Filled(3);
    ZuObjectRef first = a[0], last = a[2];
    ASSERT_TRUE(a->Insert(10, 2));
    for (unsigned int i = 3; i < 12; ++i)
        EXPECT_TRUE(a[i].IsInvalid()) << i;
    ASSERT_TRUE(a->Insert(0, 1));
    EXPECT_TRUE(a[0].IsInvalid());
    EXPECT_TRUE(a[1] == first);
    EXPECT_TRUE(a[3] == last);
    ASSERT_TRUE(a->Remove(0, 2));
    EXPECT_TRUE(a[1] == last);
    a->RemoveAll();
}

TEST_F(ArrayTest, UnconnectedArraySendsNothing)
{
    ZuArrayRef a = Filled(2);
    TestContainerWatcherRef w = Watch(a);
    a->DetachObserver(w);
    a->Insert(0, 3);
    a->Remove(0, 1);
    EXPECT_EQ("", w->log);
    a->RemoveAll();
}

TEST_F(ArrayTest, IteratorFollowsRemovalsAndInsertions)
{
    struct Case {
        bool insert;
        unsigned int pos, count;
        unsigned int expected;
        bool changed;
    } const cases[] = {
        {false, 6, 2, 4, false}, {false, 0, 2, 2, false}, {false, 3, 2, 3, true},
        {true, 4, 2, 6, false},  {true, 5, 2, 4, false},
    };
    for (const auto& c : cases) {
        ZuArrayRef a = Filled(10);
        ZuIteratorRef it = a->NewIterator();
        for (int i = 0; i < 4; ++i)
            ASSERT_TRUE(it->Next(1));
        ZuObjectRef at4 = a[4];
        it->DidChange();
        if (c.insert)
            a->Insert(c.pos, c.count);
        else
            a->Remove(c.pos, c.count);
        EXPECT_EQ(c.changed, it->DidChange()) << c.pos << "," << c.count;
        EXPECT_EQ(c.expected, Position(it, a)) << c.pos << "," << c.count;
        if (!c.changed) {
            EXPECT_TRUE(it->Get(0) == at4);
        }
        it->Delete();
        a->RemoveAll();
    }
}

TEST_F(ArrayTest, IteratorWalksAndUnregisters)
{
    ZuArrayRef a = Filled(3);
    ZuIteratorRef it = a->NewIterator();
    ZuBaseContainerRef source;
    EXPECT_TRUE(it->GetSource(source));
    EXPECT_TRUE(source == a);
    EXPECT_TRUE(it->Get(0) == a[0]);
    EXPECT_TRUE(it->Get(1).IsInvalid()); // only n = 0 reads
    EXPECT_TRUE(it->Last());
    EXPECT_TRUE(it->Get(0) == a[2]);
    EXPECT_FALSE(it->Next(1));
    EXPECT_TRUE(it->Get(0).IsInvalid()); // no longer on an element
    EXPECT_TRUE(it->Prev(1));
    EXPECT_TRUE(it->Get(0) == a[1]);
    it->Delete();
    EXPECT_FALSE(it->GetSource(source));
    a->Remove(0, 1); // the deleted iterator is not told any more
    a->RemoveAll();
}

TEST_F(ArrayTest, ForEachRunsThePerformerUntilItSaysStop)
{
    TArrCounterRef counter(ZuNew<TArrCounter>());
    ZuArrayRef empty = NewArray();
    ZuIteratorRef it = empty->NewIterator();
    EXPECT_TRUE(it->ForEach(counter, 0));
    EXPECT_EQ(0, counter->runs);
    it->Delete();

    ZuArrayRef a = Filled(4);
    it = a->NewIterator();
    EXPECT_TRUE(it->ForEach(counter, 0));
    EXPECT_EQ(4, counter->runs);
    counter->runs = 0;
    counter->stop_at = 2;
    EXPECT_FALSE(it->ForEach(counter, 0));
    EXPECT_EQ(2, counter->runs);
    it->Delete();
    a->RemoveAll();
}

TEST_F(ArrayTest, SearchAndCompare)
{
    ZuArrayRef a = Filled(3);
    ZuObjectRef b = a[1];
    a[2] = b; // [x, b, b]
    unsigned int index = 0;
    EXPECT_TRUE(a->Find(b, index));
    EXPECT_EQ(1u, index);
    index = 2;
    EXPECT_TRUE(a->Find(b, index));
    EXPECT_EQ(2u, index);
    index = 3;
    EXPECT_FALSE(a->Find(b, index));
    EXPECT_TRUE(a->LookFor(b));

    // Empty arrays compare equal to each other: GetSimilar finds the
    // occurrences of an array equal to an empty one.
    ZuObjectRef found;
    EXPECT_TRUE(a->GetSimilar(NewArray(), found, 1));
    EXPECT_TRUE(found == b);
    EXPECT_FALSE(a->GetSimilar(NewArray(), found, 3));

    EXPECT_TRUE(a->Remove(b, 1));
    EXPECT_EQ(2u, a->TotalCount());
    EXPECT_FALSE(a->Remove(b, 1));

    ZuArrayRef shorter = NewArray(1);
    shorter[0] = a[0];
    EXPECT_EQ(0, a->CompareWith(shorter));
    EXPECT_EQ(1, a->CompareWith(ZuObjectNull));
    EXPECT_TRUE(a->SpecifyExtraction(ZuArrayRef()));
    EXPECT_TRUE(a->SpecifyExtraction(NewArray()));
    EXPECT_FALSE(a->SpecifyExtraction(shorter));
    EXPECT_FALSE(a->SetMemZone(Zuvi_app_zone));
    shorter->RemoveAll();
    a->RemoveAll();
}

TEST_F(ArrayTest, TypedArraysShareTheirArray)
{
    ZuArrayArray one = NewArray();
    ZuArrayArray two(one);
    one->Insert(ZuObjectRef(NewArray()));
    EXPECT_EQ(1u, two->TotalCount());
    EXPECT_TRUE(two[0].IsValid());
    EXPECT_EQ(0u, two[0]->TotalCount());
    ZuArrayRef element = two[0];
    EXPECT_TRUE(element == one[0]);
    // No class check: an array of atoms may hold an array.
    ZuAtomArray atoms(one);
    EXPECT_TRUE(atoms[0].IsValid());
    two[0] = ZuObjectNull;
    EXPECT_TRUE(atoms[0].IsInvalid());

    ZuArrayArray empty;
    EXPECT_TRUE(empty[4].IsInvalid());
    EXPECT_EQ(nullptr, empty[4].Resolve());
    one->RemoveAll();
}

// ------------------------------------------------------------ storage

namespace {

class ArrayStorageTest : public ArrayTest {
protected:
    void SetUp() override
    {
        ArrayTest::SetUp();
        store = ZuTestStorage::Make();
    }
    void TearDown() override
    {
        store = static_cast<ZuTestStorage*>(nullptr);
        ArrayTest::TearDown();
    }
    ZuArrayRef RoundTrip(const ZuArrayRef& a)
    {
        store->StartStoring();
        store->StoreObject(a);
        store->StartRestoring(store->Bytes());
        ZuArrayRef back;
        ZuStorageRef(store)->RestoreObject(back, ZuArrayRef::RetRuntime());
        return back;
    }
    ZuTestStorageRef store;
};

// The cards that the stored runs hold: "gap,data" pairs joined by blanks.
std::string Runs(const std::vector<unsigned char>& bytes, unsigned int runs)
{
    // Each run starts with 0xFC and two cards (0x1D for 0, 0x15 n below 256).
    std::string out;
    for (std::size_t i = 0; i + 2 < bytes.size() && runs > 0; ++i) {
        if (bytes[i] != 0xFC)
            continue;
        auto card = [&](std::size_t& j) -> int {
            if (bytes[j] == 0x1D) {
                j += 1;
                return 0;
            }
            if (bytes[j] == 0x15) {
                j += 2;
                return bytes[j - 1];
            }
            return -1;
        };
        std::size_t j = i + 1;
        int gap = card(j);
        int data = card(j);
        if (gap < 0 || data < 0 || j >= bytes.size() || bytes[j] != 0xFC)
            continue; // not a run: a run's cards are followed by its data block
        out += (out.empty() ? "" : " ") + std::to_string(gap) + "," + std::to_string(data);
        --runs;
        i = j;
    }
    return out;
}

// Appending grows the room geometrically; what the array shows stays exact
// through growth, shrinking and growth again.
TEST_F(ArrayTest, AppendedAndShrunkArraysKeepTheirSlots)
{
    ZuArrayRef array = ZuObjectRef(
        ZuClassFactory::New(ZuArrayRef::RetRuntime(), Zuvi_app_zone, __LINE__, __FILE__));
    std::vector<TestNumberRef> numbers;
    for (int i = 0; i < 3000; i++) {
        numbers.push_back(TestNumber::Make(i));
        ASSERT_TRUE(array->Insert(numbers.back()));
        ASSERT_EQ(array->TotalCount(), unsigned(i + 1));
    }
    for (unsigned i = 0; i < 3000; i += 397)
        EXPECT_EQ(NumberText(array->Access(i)), std::to_string(i));
    array->SetSize(10); // kept in place
    EXPECT_EQ(array->TotalCount(), 10u);
    array->SetSize(2); // far below the room: a smaller block
    EXPECT_EQ(NumberText(array->Access(1)), "1");
    array->SetSize(5); // new slots are empty
    EXPECT_TRUE(array->Access(4).IsInvalid());
    ZuObjectRef got;
    EXPECT_FALSE(array->Get(5, got));
    array->Insert(numbers[7]);
    EXPECT_EQ(NumberText(array->Access(5)), "7");
    array->Remove(0, 3);
    EXPECT_EQ(array->TotalCount(), 3u);
    EXPECT_EQ(NumberText(array->Access(2)), "7");
    array->RemoveAll();
    EXPECT_EQ(array->TotalCount(), 0u);
}

} // namespace

TEST_F(ArrayStorageTest, StoresRunsOfGapsAndData)
{
    ZuArrayRef a = NewArray(5);
    a[0] = ZuTestNode::Make(1);
    a[3] = ZuTestNode::Make(2);
    a[4] = ZuTestNode::Make(3);
    a->SetAutoGrowIncrement(7);
    ZuArrayRef back = RoundTrip(a);
    EXPECT_EQ("0,1 2,2", Runs(store->Bytes(), 2));
    ASSERT_TRUE(back.IsValid());
    ASSERT_EQ(5u, back->TotalCount());
    EXPECT_EQ(7u, back->RetAutoGrowIncrement());
    int expected[] = {1, 0, 0, 2, 3};
    for (unsigned int i = 0; i < 5; ++i) {
        if (expected[i] == 0) {
            EXPECT_TRUE(back[i].IsInvalid()) << i;
        } else {
            ASSERT_TRUE(back[i].IsValid()) << i;
            EXPECT_EQ(expected[i], ZuTestNodeRef(back[i])->value) << i;
        }
    }
    back->RemoveAll();
    a->RemoveAll();

    ZuArrayRef gaps = NewArray(2);
    ZuArrayRef back_gaps = RoundTrip(gaps);
    EXPECT_EQ("2,0", Runs(store->Bytes(), 1));
    EXPECT_EQ(2u, back_gaps->TotalCount());

    ZuArrayRef empty = RoundTrip(NewArray());
    EXPECT_EQ(0u, empty->TotalCount());
}

TEST_F(ArrayStorageTest, CorruptCountsDoNotAllocateAhead)
{
    ZuArrayRef a = NewArray(1);
    a[0] = ZuTestNode::Make(1);
    store->StartStoring();
    store->StoreObject(a);
    std::vector<unsigned char> bytes = store->Bytes();
    // The size card (1) and the run's data count (1) become 0x100000 while
    // the stream still holds one object: the array must not make a million
    // slots ahead of data that is not there.
    std::vector<unsigned char> big = {0x11, 0x00, 0x10, 0x00, 0x00};
    std::vector<unsigned char> corrupt;
    int replaced = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        // 0x15 0x01 is the card 1: the size, then the data count of the run.
        if (replaced < 2 && bytes[i] == 0x15 && i + 1 < bytes.size() && bytes[i + 1] == 0x01) {
            corrupt.insert(corrupt.end(), big.begin(), big.end());
            ++i;
            ++replaced;
            continue;
        }
        corrupt.push_back(bytes[i]);
    }
    ASSERT_EQ(2, replaced);
    // Nor is it read as an array of one: the data ends before its count.
    store->StartRestoring(corrupt);
    ZuArrayRef back;
    EXPECT_THROW(ZuStorageRef(store)->RestoreObject(back, ZuArrayRef::RetRuntime()), ZuExcStream);
    a->RemoveAll();
}

TEST_F(ArrayStorageTest, ASizeTheRunsDoNotFillExactlyIsRefused)
{
    // Three elements in one run (gap 0, count 3); the size card 3 is the
    // first card after the begin mark of the container's part.
    ZuArrayRef a = NewArray(3);
    for (int i = 0; i < 3; ++i)
        a[unsigned(i)] = ZuTestNode::Make(i);
    store->StartStoring();
    store->StoreObject(a);
    const std::vector<unsigned char> bytes = store->Bytes();
    const std::vector<unsigned char> size = {0xFC, 0x15, 0x03, 0xFD};
    const auto at = std::search(bytes.begin(), bytes.end(), size.begin(), size.end());
    ASSERT_NE(bytes.end(), at);
    const std::vector<std::vector<unsigned char>> sizes = {
        {0x11, 0xFF, 0xFF, 0xFF, 0xFF}, // 0xFFFFFFFF
        {0x11, 0x7F, 0xFF, 0xFF, 0xFF}, // 0x7FFFFFFF
        {0x14, 0xFF},                   // -1
        {0x15, 0x04},                   // one more than the run
        {0x15, 0x02},                   // one less
        {0x1D},                         // none
    };
    for (const auto& card : sizes) {
        std::vector<unsigned char> bad(bytes.begin(), at + 1);
        bad.insert(bad.end(), card.begin(), card.end());
        bad.insert(bad.end(), at + 3, bytes.end());
        store->StartRestoring(bad);
        ZuArrayRef back;
        EXPECT_THROW(ZuStorageRef(store)->RestoreObject(back, ZuArrayRef::RetRuntime()),
                     ZuExcStream)
            << int(card.back());
    }
    a->RemoveAll();
}

TEST_F(ArrayTest, ContainersAnswerTheContainerInterface)
{
    ZuArrayRef a = NewArray(3);
    ASSERT_TRUE(a->SupportsInterface(&ZuiContainer::interface));
    ZuiContainer* c = static_cast<ZuiContainer*>(a->CastToInterface(&ZuiContainer::interface));
    ASSERT_NE(nullptr, c);
    EXPECT_EQ(3u, c->TotalCount());
    EXPECT_EQ(a.Resolve(), c->RetSelfAsObject());
    ZuObjectRef out = a;
    EXPECT_TRUE(c->Get(2, out));
    EXPECT_TRUE(out.IsInvalid());
    EXPECT_FALSE(c->Get(3, out));
}
