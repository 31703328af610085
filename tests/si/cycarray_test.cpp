#include "si/cycarray.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "si/atom.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/storage.h"
#include "si/string.h"
#include "tests/support/objmodel.h"
#include "tests/support/probes.h"
#include "tests/support/storagetest.h"

namespace {

class CyclicArrayTest : public ZuviRuntimeTest {
protected:
    ZuCyclicArrayRef NewRing(unsigned int modulo)
    {
        ZuCyclicArrayRef a(ZuNew<ZuCyclicArray>());
        a->SetModulo(modulo);
        return a;
    }
    // Letters as string objects, kept so that identities can be compared.
    ZuStringRef Letter(char c)
    {
        char text[2] = {c, 0};
        letters.push_back(ZuStringRef(text));
        return letters.back();
    }
    // The logical entries as letters, "." for an empty entry.
    static std::string Show(const ZuCyclicArrayRef& a)
    {
        std::string out;
        for (unsigned int i = 0; i < a->TotalCount(); i++) {
            ZuStringRef s(a->Access(i));
            out += s.IsValid() ? char(s->RetCharacter(0)) : '.';
        }
        return out;
    }
    std::vector<ZuStringRef> letters;
};

TEST_F(CyclicArrayTest, ARingKeepsTheLastModuloEntries)
{
    ZuCyclicArrayRef ring = NewRing(3);
    ZuStringRef a = Letter('a'), b = Letter('b'), c = Letter('c'), d = Letter('d');
    for (const auto& x : {a, b, c, d})
        EXPECT_TRUE(ring->Insert(ZuObjectRef(x)));
    EXPECT_EQ(ring->TotalCount(), 4u);
    EXPECT_TRUE(ring->Access(0).IsInvalid());
    EXPECT_TRUE(ring->Access(1) == b);
    EXPECT_TRUE(ring->Access(3) == d);
    EXPECT_TRUE(ring->Access(4).IsInvalid());
    EXPECT_EQ(Show(ring), ".bcd");
    // A write to an overwritten entry is lost.
    ring->Access(0) = a;
    EXPECT_EQ(Show(ring), ".bcd");
    // The generic reading and searching see the logical entries.
    ZuObjectRef got;
    EXPECT_TRUE(ring->Get(3, got));
    EXPECT_TRUE(got == d);
    unsigned int index = 0;
    EXPECT_TRUE(ring->Find(c, index));
    EXPECT_EQ(index, 2u);
    EXPECT_FALSE(ring->LookFor(a));
    // Many more appends stay inside the ring of three slots.
    for (int i = 0; i < 1000; i++)
        ring->Insert(ZuObjectRef(Letter(char('e' + i % 20))));
    EXPECT_EQ(ring->TotalCount(), 1004u);
    EXPECT_EQ(Show(ring).substr(1001),
              std::string() + char('e' + 997 % 20) + char('e' + 998 % 20) + char('e' + 999 % 20));
}

TEST_F(CyclicArrayTest, ShrinkingEmptiesTheLastEntries)
{
    ZuCyclicArrayRef ring = NewRing(4);
    for (char x = 'a'; x < 'a' + 10; x++)
        ring->Insert(ZuObjectRef(Letter(x)));
    EXPECT_EQ(Show(ring), "......ghij");
    EXPECT_TRUE(ring->SetSize(8));
    EXPECT_EQ(Show(ring), "......gh");
    // Growing again gives empty entries, never the old ones back.
    EXPECT_TRUE(ring->SetSize(10));
    EXPECT_EQ(Show(ring), "......gh..");
    EXPECT_TRUE(ring->SetSize(2));
    EXPECT_EQ(Show(ring), "..");
    ring->Insert(ZuObjectRef(Letter('z')));
    EXPECT_EQ(Show(ring), "..z");
    EXPECT_TRUE(ring->SetSize(0));
    EXPECT_EQ(ring->TotalCount(), 0u);
}

TEST_F(CyclicArrayTest, SetModuloEmptiesAndReportsTheRemoval)
{
    ZuCyclicArrayRef ring = NewRing(0);
    for (char x = 'a'; x < 'a' + 5; x++)
        ring->Insert(ZuObjectRef(Letter(x)));
    // Without a modulo it is a plain array.
    EXPECT_EQ(Show(ring), "abcde");
    TestContainerWatcherRef w(ZuNew<TestContainerWatcher>());
    ring->AttachObserver(w, ZuBaseContainer::notify_data_inserted, ZuAtomRef("OnInserted"), 1);
    ring->AttachObserver(w, ZuBaseContainer::notify_data_removed, ZuAtomRef("OnRemoved"), 2);
    EXPECT_TRUE(ring->SetModulo(4));
    EXPECT_EQ(ring->RetModulo(), 4u);
    EXPECT_EQ(ring->TotalCount(), 0u);
    EXPECT_EQ(w->log, "r");
    ring->DetachObserver(w);
}

TEST_F(CyclicArrayTest, StoredRunsAndTheRestoredRing)
{
    ZuCyclicArrayRef ring = NewRing(3);
    for (char x = 'a'; x < 'a' + 5; x++)
        ring->Insert(ZuObjectRef(Letter(x)));
    ZuTestStorageRef store = ZuTestStorage::Make();
    store->StartStoring();
    ZuStorageRef(store) << ring;
    store->StartRestoring(store->Bytes());
    ZuCyclicArrayRef back;
    ZuStorageRef(store) >> back;
    ASSERT_TRUE(back.IsValid());
    EXPECT_EQ(back->RetModulo(), 3u);
    EXPECT_EQ(Show(back), "..cde");
    // The restored ring goes on as a ring.
    back->Insert(ZuObjectRef(Letter('f')));
    EXPECT_EQ(Show(back), "...def");

    // A ring that has not wrapped comes back as it was, and can grow.
    ZuCyclicArrayRef small = NewRing(5);
    small->Insert(ZuObjectRef(Letter('x')));
    small->Insert(ZuObjectRef(Letter('y')));
    store->StartStoring();
    ZuStorageRef(store) << small;
    store->StartRestoring(store->Bytes());
    ZuCyclicArrayRef small_back;
    ZuStorageRef(store) >> small_back;
    ASSERT_TRUE(small_back.IsValid());
    EXPECT_EQ(Show(small_back), "xy");
    for (char x = 'a'; x < 'a' + 5; x++)
        small_back->Insert(ZuObjectRef(Letter(x)));
    EXPECT_EQ(Show(small_back), "..abcde");
}

TEST_F(CyclicArrayTest, PlainArraysCompareWithAWrappedRingThroughItsEntries)
{
    ZuCyclicArrayRef ring = NewRing(2);
    for (char x = 'a'; x < 'a' + 6; x++)
        ring->Insert(ZuObjectRef(Letter(x)));
    // The plain array holds what the ring still shows: gaps, then e and f.
    ZuArrayRef plain(ZuNew<ZuArray>());
    plain->SetSize(6);
    plain->Access(4) = ring->Access(4);
    plain->Access(5) = ring->Access(5);
    EXPECT_EQ(plain->CompareWith(ring), 0);
    EXPECT_EQ(ring->CompareWith(plain), 0);
    plain->Access(5) = ZuObjectNull;
    EXPECT_EQ(plain->CompareWith(ring), -1);
}

} // namespace
