// The general list: ends and count, iteration, ownership of nodes and
// objects, and its stored form (with links that disagree refused).
#include <gtest/gtest.h>

#include <vector>

#include "app/list.h"
#include "si/classfactory.h"
#include "si/except.h"
#include "tests/support/debugcapture.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"

namespace {

class CListTest : public ZuviRuntimeTest {
protected:
    template <class R>
    static R Make()
    {
        return R(ZuObjectRef(ZuClassFactory::New(R::RetRuntime(), nullptr, __LINE__, __FILE__)));
    }
    // A node carrying a test object of that value.
    static CListNodeRef Node(int value)
    {
        CListNodeRef n = Make<CListNodeRef>();
        n->SetObject(ZuTestNode::Make(value));
        return n;
    }
    static int ValueOf(const CListNodeRef& n) { return ZuTestNodeRef(n->GetObject())->value; }
    // The values met by a walk in the direction.
    static std::vector<int> Walk(const CListRef& list, int direction)
    {
        std::vector<int> values;
        list->StartIteration(direction);
        for (CListNodeRef n = list->GetNext(); n.IsValid(); n = list->GetNext())
            values.push_back(ValueOf(n));
        return values;
    }
    void SetUp() override
    {
        ZuviRuntimeTest::SetUp();
        ZuTestNode::made = ZuTestNode::deleted = 0;
    }
};

TEST_F(CListTest, EndsCountAndWalksBothWays)
{
    CListRef list = Make<CListRef>();
    const CListNodeRef two = Node(2);
    list->Append(two);
    EXPECT_TRUE(list->GetFirst() == two && list->GetLast() == two);
    EXPECT_EQ(1, list->GetCount());
    list->Append(Node(3));
    list->Prepend(Node(1));
    EXPECT_EQ(3, list->GetCount());
    EXPECT_EQ(std::vector<int>({1, 2, 3}), Walk(list, 1));
    EXPECT_EQ(std::vector<int>({3, 2, 1}), Walk(list, -1));
    EXPECT_TRUE(two->HasNext() && two->HasPrevious());
    // A walk never started, or started with 0, gives nothing.
    EXPECT_TRUE(Make<CListRef>()->GetNext().IsInvalid());
    list->StartIteration(0);
    EXPECT_TRUE(list->GetNext().IsInvalid());
    list->StartIteration(1);
    list->StopIteration();
    EXPECT_TRUE(list->GetNext().IsInvalid());
}

TEST_F(CListTest, RemovingDeletesTheObjectAndKeepsTheWalkGoing)
{
    CListRef list = Make<CListRef>();
    for (int v : {1, 2, 3, 4})
        list->Append(Node(v));
    // Removing each node as it is returned, in both directions.
    list->StartIteration(1);
    std::vector<int> seen;
    for (CListNodeRef n = list->GetNext(); n.IsValid(); n = list->GetNext()) {
        seen.push_back(ValueOf(n));
        if (ValueOf(n) % 2 == 0)
            list->Remove(n);
    }
    EXPECT_EQ(std::vector<int>({1, 2, 3, 4}), seen);
    EXPECT_EQ(2u, ZuTestNode::deleted);
    EXPECT_EQ(std::vector<int>({1, 3}), Walk(list, 1));
    // Removing the node the walk is about to return moves the walk on.
    list->StartIteration(-1);
    list->Remove(list->GetLast());
    EXPECT_EQ(1, ValueOf(list->GetNext()));
    // The only node left: both ends empty, count 0.
    list->Remove(list->GetFirst());
    EXPECT_TRUE(list->GetFirst().IsInvalid() && list->GetLast().IsInvalid());
    EXPECT_EQ(0, list->GetCount());
    EXPECT_EQ(4u, ZuTestNode::deleted);
}

TEST_F(CListTest, DeletingTheListDeletesEveryObject)
{
    CListRef list = Make<CListRef>();
    for (int v : {1, 2, 3})
        list->Append(Node(v));
    // A node whose object is kept is emptied first.
    const CListNodeRef kept = list->GetFirst();
    const ZuObjectRef object = kept->GetObject();
    kept->SetObject(ZuObjectRef());
    list->Delete();
    EXPECT_EQ(2u, ZuTestNode::deleted);
    EXPECT_EQ(0, list->GetCount());
    EXPECT_TRUE(list->GetFirst().IsInvalid());
    EXPECT_FALSE(kept->HasNext());
    // A list that holds itself through a node's object ends too.
    CListRef loop = Make<CListRef>();
    CListNodeRef n = Make<CListNodeRef>();
    n->SetObject(loop);
    loop->Append(n);
    loop->Delete();
    EXPECT_EQ(0, loop->GetCount());
}

class CListStorageTest : public CListTest {
protected:
    void SetUp() override
    {
        CListTest::SetUp();
        store = ZuTestStorage::Make();
    }
    void TearDown() override
    {
        store = static_cast<ZuTestStorage*>(nullptr);
        CListTest::TearDown();
    }
    std::vector<unsigned char> Stored(const ZuObjectRef& o)
    {
        store->StartStoring();
        store->StoreObject(o);
        return store->Bytes();
    }
    // Restores a list; false when the storage refused the bytes.
    bool Restored(const std::vector<unsigned char>& bytes, CListRef& out)
    {
        store->StartRestoring(bytes);
        try {
            ZuStorageRef(store) >> out;
            store->FinallyAwake();
        } catch (const ZuExcStream&) {
            return false;
        }
        return true;
    }
    ZuTestStorageRef store;
};

TEST_F(CListStorageTest, ARestoredListKeepsOrderAndCountAndIsNotWalking)
{
    CListRef list = Make<CListRef>();
    for (int v : {5, 6, 7})
        list->Append(Node(v));
    list->StartIteration(1);
    list->GetNext();
    CListRef back;
    ASSERT_TRUE(Restored(Stored(list), back));
    EXPECT_EQ(3, back->GetCount());
    EXPECT_TRUE(back->GetNext().IsInvalid());
    EXPECT_EQ(std::vector<int>({5, 6, 7}), Walk(back, 1));
    EXPECT_EQ(std::vector<int>({7, 6, 5}), Walk(back, -1));
    back->Delete();
    list->Delete();
}

TEST_F(CListStorageTest, StoredLinksThatDisagreeAreRefused)
{
    DebugCapture quiet;
    // Each case spoils a sound three-node list before it is stored.
    struct Case {
        const char* what;
        void (*spoil)(const std::vector<CListNodeRef>& n);
    } const cases[] = {
        // A node linked in behind the list's back: four nodes, count 3.
        {"count",
         [](const std::vector<CListNodeRef>& n) { Make<CListNodeRef>()->InsertAfter(n[0]); }},
        // The middle node follows itself.
        {"cycle", [](const std::vector<CListNodeRef>& n) { n[1]->InsertAfter(n[1]); }},
        // The last node's previous is a stranger.
        {"previous",
         [](const std::vector<CListNodeRef>& n) { n[2]->InsertAfter(Make<CListNodeRef>()); }},
        // The walk ends before the last node.
        {"last", [](const std::vector<CListNodeRef>& n) { n[2]->Unlink(); }},
    };
    for (const Case& c : cases) {
        CListRef list = Make<CListRef>();
        std::vector<CListNodeRef> nodes;
        for (int v : {1, 2, 3}) {
            nodes.push_back(Node(v));
            list->Append(nodes.back());
        }
        c.spoil(nodes);
        const std::vector<unsigned char> bytes = Stored(list);
        CListRef back;
        EXPECT_FALSE(Restored(bytes, back)) << c.what;
        // Refused when it awakes, with its links cut.
        ASSERT_TRUE(back.IsValid()) << c.what;
        EXPECT_EQ(0, back->GetCount()) << c.what;
        EXPECT_TRUE(back->GetFirst().IsInvalid()) << c.what;
        // Cut loose, so that the test's own objects go.
        for (const CListNodeRef& n : nodes)
            n->Unlink();
        nodes.clear();
        list = Make<CListRef>();
    }
    EXPECT_TRUE(quiet.DebugText().find("CList") != std::string::npos);
}

} // namespace
