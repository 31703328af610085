#include <gtest/gtest.h>

#include "si/list.h"
#include "si/listit.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"
#include "tests/support/probes.h"

namespace {

class ListTest : public ZuviRuntimeTest {
protected:
    ZuListRef NewList() { return ZuListRef(ZuNew<ZuList>(Zuvi_app_zone, __LINE__, "test")); }
};

TEST_F(ListTest, SortedInsertionKeepsEqualsInInsertionOrder)
{
    ZuListRef list = NewList();
    TestNumberRef first_one = TestNumber::Make(1);
    TestNumberRef second_one = TestNumber::Make(1);
    EXPECT_TRUE(list->Insert(TestNumber::Make(3)));
    EXPECT_TRUE(list->Insert(first_one));
    EXPECT_TRUE(list->Insert(TestNumber::Make(2)));
    EXPECT_TRUE(list->Insert(second_one));

    EXPECT_EQ(NumbersOf(list), "1 1 2 3");
    ZuObjectRef got;
    ASSERT_TRUE(list->Get(0, got));
    EXPECT_TRUE(got == first_one);
    ASSERT_TRUE(list->Get(1, got));
    EXPECT_TRUE(got == second_one);
    EXPECT_TRUE(list->IsSorted());
    EXPECT_EQ(list->TotalCount(), 4u);
}

TEST_F(ListTest, EmptyHandleIsRefusedByInsertButAcceptedByPush)
{
    ZuListRef list = NewList();
    EXPECT_FALSE(list->Insert(ZuObjectNull));
    EXPECT_EQ(list->TotalCount(), 0u);
    EXPECT_TRUE(list->RetInsertMode());

    EXPECT_TRUE(list->PushTail(ZuObjectNull));
    EXPECT_EQ(list->TotalCount(), 1u);
    EXPECT_FALSE(list->RetInsertMode());
    EXPECT_FALSE(list->IsSorted());
    ZuObjectRef got = TestNumber::Make(9);
    ASSERT_TRUE(list->Get(0, got));
    EXPECT_TRUE(got.IsInvalid());
}

TEST_F(ListTest, ObjectsWithoutTheirOwnComparisonAreOrderedByAddress)
{
    ZuListRef list = NewList();
    std::vector<TestObserverRef> objects;
    for (int i = 0; i < 5; ++i)
        objects.push_back(TestObserver::Make());
    for (auto& o : objects)
        list->Insert(o);
    ZuObjectRef a, b;
    for (unsigned i = 0; i + 1 < list->TotalCount(); ++i) {
        list->Get(i, a);
        list->Get(i + 1, b);
        EXPECT_LT(a.RetRawAddress(), b.RetRawAddress());
    }
}

TEST_F(ListTest, ReportsOfEachOperation)
{
    struct Case {
        const char* name;
        void (*op)(const ZuListRef&, const std::vector<TestNumberRef>&);
        const char* expected; // events in order
    };
    // The list holds 1 2 3 (pushed at the tail) before each operation.
    static const Case cases[] = {
        {"Insert before others",
         [](auto& l, auto&) {
             l->SetInsertMode(true);
             l->Insert(TestNumber::Make(0));
         },
         "notify_data_inserted notify_data_moved"},
        {"Insert at the tail",
         [](auto& l, auto&) {
             l->SetInsertMode(true);
             l->Insert(TestNumber::Make(7));
         },
         "notify_data_inserted"},
        {"PushHead", [](auto& l, auto&) { l->PushHead(TestNumber::Make(0)); },
         "notify_data_inserted notify_data_moved"},
        {"PushTail", [](auto& l, auto&) { l->PushTail(TestNumber::Make(0)); },
         "notify_data_inserted"},
        {"Remove(index) inside", [](auto& l, auto&) { l->Remove(1u); },
         "notify_data_removed notify_data_moved"},
        {"Remove(index) last", [](auto& l, auto&) { l->Remove(2u); }, "notify_data_removed"},
        {"Remove(object)", [](auto& l, auto& n) { l->Remove(n[0], 0); },
         "notify_data_removed notify_data_moved"},
        {"PopHead",
         [](auto& l, auto&) {
             ZuObjectRef o;
             l->PopHead(o);
         },
         "notify_data_removed notify_data_moved"},
        {"PopTail",
         [](auto& l, auto&) {
             ZuObjectRef o;
             l->PopTail(o);
         },
         "notify_data_removed"},
        {"RemoveAll", [](auto& l, auto&) { l->RemoveAll(); }, "notify_data_removed"},
        {"real move", [](auto& l, auto& n) { l->MoveToTail(n[0]); }, "notify_data_moved"},
        {"move onto itself",
         [](auto& l, auto& n) {
             l->MoveAtPosition(n[2], 2);
             l->MoveAtPosition(n[2], 3);
         },
         ""},
        {"failed removal", [](auto& l, auto&) { l->Remove(5u); }, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ZuListRef list = NewList();
        std::vector<TestNumberRef> n = {TestNumber::Make(1), TestNumber::Make(2),
                                        TestNumber::Make(3)};
        for (auto& x : n)
            list->PushTail(x);
        TestObserverRef obs = TestObserver::Make();
        for (auto e : {"notify_data_removed", "notify_data_inserted", "notify_data_moved"})
            obs->Watch(list, e);
        c.op(list, n);
        std::string got;
        for (auto& e : obs->Events())
            got += (got.empty() ? "" : " ") + e;
        EXPECT_EQ(got, c.expected);
    }
}

TEST_F(ListTest, PlainModeMovesAndRefusesMovesInSortedMode)
{
    ZuListRef list = NewList();
    std::vector<TestNumberRef> n;
    for (int i = 0; i < 5; ++i)
        n.push_back(TestNumber::Make(i));
    for (auto& x : n)
        list->Insert(x);
    EXPECT_FALSE(list->MoveToTail(n[0])); // sorted insert mode
    EXPECT_EQ(NumbersOf(list), "0 1 2 3 4");

    list->SetInsertMode(false);
    struct Move {
        int object;
        unsigned position;
        const char* after;
    };
    static const Move moves[] = {
        {0, 5, "1 2 3 4 0"},  // to the tail
        {0, 0, "0 1 2 3 4"},  // to the head
        {1, 4, "0 2 3 1 4"},  // forwards: before the element that was at 4
        {1, 1, "0 1 2 3 4"},  // backwards
        {4, 99, "0 1 2 3 4"}, // clamped to the count: already there
        {2, 2, "0 1 2 3 4"},  {2, 3, "0 1 2 3 4"},
    };
    for (const auto& m : moves) {
        SCOPED_TRACE(m.after);
        EXPECT_TRUE(list->MoveAtPosition(n[m.object], m.position));
        EXPECT_EQ(NumbersOf(list), m.after);
    }
    EXPECT_FALSE(list->MoveToHead(TestNumber::Make(1))); // equal but not in the list
    EXPECT_FALSE(list->IsSorted());
}

TEST_F(ListTest, IndexAccessFollowsRemovalsAtTheTail)
{
    ZuListRef list = NewList();
    for (int i = 0; i < 4; ++i)
        list->PushTail(TestNumber::Make(i));
    ZuObjectRef got;
    ASSERT_TRUE(list->Get(3, got));
    EXPECT_EQ(NumberText(got), "3");
    ZuObjectRef popped;
    ASSERT_TRUE(list->PopTail(popped));
    EXPECT_EQ(NumberText(popped), "3");
    ASSERT_TRUE(list->Get(2, got));
    EXPECT_EQ(NumberText(got), "2");
    EXPECT_FALSE(list->Get(3, got));

    // The cached position stays right after removals before it and inserts at the head.
    ASSERT_TRUE(list->Get(2, got));
    list->Remove(0u);
    ASSERT_TRUE(list->Get(1, got));
    EXPECT_EQ(NumberText(got), "2");
    list->PushHead(TestNumber::Make(9));
    ASSERT_TRUE(list->Get(2, got));
    EXPECT_EQ(NumberText(got), "2");
    EXPECT_EQ(NumbersOf(list), "9 1 2");
}

TEST_F(ListTest, FindLookForAndGetSimilar)
{
    ZuListRef list = NewList();
    TestNumberRef a = TestNumber::Make(5);
    list->PushTail(a);
    list->PushTail(TestNumber::Make(5));
    list->PushTail(a);
    unsigned index = 0;
    ASSERT_TRUE(list->Find(a, index));
    EXPECT_EQ(index, 0u);
    index = 1;
    ASSERT_TRUE(list->Find(a, index));
    EXPECT_EQ(index, 2u);
    index = 3;
    EXPECT_FALSE(list->Find(a, index));
    EXPECT_TRUE(list->LookFor(a));
    EXPECT_FALSE(list->LookFor(TestNumber::Make(5)));

    ZuObjectRef similar;
    ASSERT_TRUE(list->GetSimilar(TestNumber::Make(5), similar, 1));
    EXPECT_FALSE(similar == a);
    EXPECT_FALSE(list->GetSimilar(TestNumber::Make(5), similar, 3));

    EXPECT_TRUE(list->Remove(a, 1)); // the second occurrence
    EXPECT_EQ(list->TotalCount(), 2u);
    ZuObjectRef got;
    list->Get(0, got);
    EXPECT_TRUE(got == a);
    EXPECT_FALSE(list->Remove(a, 1));
}

TEST_F(ListTest, PopOnEmptyLeavesTheOutputAlone)
{
    ZuListRef list = NewList();
    TestNumberRef keep = TestNumber::Make(4);
    ZuObjectRef out = keep;
    EXPECT_FALSE(list->PopHead(out));
    EXPECT_FALSE(list->PopTail(out));
    EXPECT_TRUE(out == keep);
}

TEST_F(ListTest, DeleteEmptiesTheList)
{
    ZuListRef list = NewList();
    list->PushTail(TestNumber::Make(1));
    list->PushTail(TestNumber::Make(2));
    list->Delete();
    EXPECT_EQ(list->TotalCount(), 0u);
    EXPECT_TRUE(list->IsSorted());
}

TEST_F(ListTest, StoredAndRestoredWithOrderAndFlags)
{
    ZuListRef list = NewList();
    list->PushTail(TestNumber::Make(3));
    list->PushTail(TestNumber::Make(1));
    list->PushTail(TestNumber::Make(2));
    ZuListRef sorted = NewList();
    sorted->Insert(TestNumber::Make(2));
    sorted->Insert(TestNumber::Make(1));
    for (const auto& original : {list, sorted}) {
        ZuTestStorageRef store = ZuTestStorage::Make();
        store->StartStoring();
        store->StoreObject(original);
        store->StartRestoring(store->Bytes());
        ZuListRef back;
        ZuStorageRef(store) >> back;
        ASSERT_TRUE(back.IsValid());
        EXPECT_EQ(NumbersOf(back), NumbersOf(original));
        EXPECT_EQ(back->IsSorted(), original->IsSorted());
        EXPECT_EQ(back->RetInsertMode(), original->RetInsertMode());
        EXPECT_EQ(store->Remaining(), 0u);
    }
}

} // namespace
