#include "si/dictree.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "si/atom.h"
#include "si/classfactory.h"
#include "si/iterator.h"
#include "si/memzone.h"
#include "si/storage.h"
#include "si/string.h"
#include "tests/support/objmodel.h"
#include "tests/support/probes.h"
#include "tests/support/storagetest.h"

namespace {

class DicTreeTest : public ZuviRuntimeTest {
protected:
    void SetUp() override
    {
        ZuviRuntimeTest::SetUp();
        tree = ZuNew<ZuDicTree>();
    }
    void TearDown() override
    {
        if (tree.IsValid())
            tree->Delete();
        tree = ZuDicTreeNull;
        ZuviRuntimeTest::TearDown();
    }
    TestContainerWatcherRef Watch()
    {
        TestContainerWatcherRef w(ZuNew<TestContainerWatcher>());
        tree->AttachObserver(w, ZuBaseContainer::notify_data_inserted, ZuAtomRef("OnInserted"), 1);
        tree->AttachObserver(w, ZuBaseContainer::notify_data_removed, ZuAtomRef("OnRemoved"), 2);
        return w;
    }
    // The keys of a path list, joined by "/".
    static std::string Keys(const ZuObjectRef& list)
    {
        ZuListRef l(list);
        std::string out;
        ZuObjectRef k;
        for (unsigned i = 0; l.IsValid() && l->Get(i, k); i++) {
            if (i)
                out += '/';
            // The empty atom (the empty handle) reads as "".
            ZuAtomRef a(k);
            out += (const char*)a;
        }
        return out;
    }
    ZuDicTreeRef tree;
};

TEST_F(DicTreeTest, ATextPathIsInsertedAndReadBack)
{
    ZuStringRef v("v"), w("w");
    TestContainerWatcherRef watcher = Watch();
    EXPECT_TRUE(tree->InsertUsingPath("a:b:c", v));
    EXPECT_EQ(tree->TotalCount(), 1u);
    EXPECT_EQ(watcher->log, "i");
    ZuObjectRef got;
    EXPECT_TRUE(tree->GetFromPath("a:b:c", got));
    EXPECT_TRUE(got == v);
    // An inner path gives its node; a missing one nothing.
    EXPECT_TRUE(tree->GetFromPath("a:b", got));
    EXPECT_TRUE(got->IsKindOf(ZuDictRef::RetRuntime()));
    EXPECT_FALSE(tree->GetFromPath("a:x", got));
    EXPECT_FALSE(tree->GetFromPath("", got));
    EXPECT_FALSE(tree->GetFromPath((const char*)nullptr, got));

    // Inserting again replaces the value: one removal, one insertion.
    watcher->log.clear();
    EXPECT_TRUE(tree->InsertUsingPath(ZuStringRef("a:b:c"), w));
    EXPECT_EQ(watcher->log, "ri");
    EXPECT_EQ(tree->TotalCount(), 1u);
    EXPECT_TRUE(tree->GetFromPath(ZuStringRef("a:b:c"), got));
    EXPECT_TRUE(got == w);
    // A node cannot be replaced by a value.
    EXPECT_FALSE(tree->InsertUsingPath("a:b", v));
    EXPECT_FALSE(tree->InsertUsingPath(ZuStringNull, v));
    tree->DetachObserver(watcher);
}

TEST_F(DicTreeTest, PathsSplitAtTheSeparator)
{
    ZuStringRef v("v");
    EXPECT_TRUE(tree->InsertUsingPath("a::b", v));
    ZuObjectRef key, value;
    ASSERT_TRUE(tree->Get(0, key, value));
    ZuListRef list(key);
    ASSERT_TRUE(list.IsValid());
    ASSERT_EQ(list->TotalCount(), 3u);
    EXPECT_EQ(Keys(key), "a//b");
    ZuObjectRef empty;
    list->Get(1, empty);
    EXPECT_TRUE(empty == ZuAtomRef(""));
    ZuObjectRef got;
    EXPECT_TRUE(tree->GetFromPath("a::b", got));
    EXPECT_TRUE(got == v);
    EXPECT_FALSE(tree->GetFromPath("a:b", got));

    EXPECT_TRUE(tree->SetPathSeparator('/'));
    EXPECT_EQ(tree->RetPathSeparator(), '/');
    EXPECT_TRUE(tree->InsertUsingPath("x:y", v));
    ASSERT_TRUE(tree->GetFromPath("x:y", value));
    EXPECT_TRUE(value == v);
    EXPECT_TRUE(tree->GetFromKey(ZuAtomRef("x:y"), value, 0));
    // A separator beyond 127 never cuts.
    tree->SetPathSeparator(0xE9);
    EXPECT_TRUE(tree->InsertUsingPath("p\xe9q", v));
    EXPECT_TRUE(tree->GetFromKey(ZuAtomRef("p\xe9q"), value, 0));
}

TEST_F(DicTreeTest, LeavesAreEnumeratedDepthFirst)
{
    ZuStringRef one("1"), two("2");
    EXPECT_TRUE(tree->Insert(ZuAtomRef("x"), one));
    EXPECT_TRUE(tree->InsertUsingPath("y:z", two));
    EXPECT_EQ(tree->TotalCount(), 2u);
    ZuObjectRef key, value;
    ASSERT_TRUE(tree->Get(0, key, value));
    EXPECT_EQ(Keys(key), "x");
    EXPECT_TRUE(value == one);
    ASSERT_TRUE(tree->Get(1, key, value));
    EXPECT_EQ(Keys(key), "y/z");
    EXPECT_TRUE(value == two);
    EXPECT_FALSE(tree->Get(2, key, value));
}

TEST_F(DicTreeTest, RemovingANodeRemovesItsLeaves)
{
    ZuStringRef v("v");
    tree->InsertUsingPath("x", v);
    tree->InsertUsingPath("y:a", v);
    tree->InsertUsingPath("y:b:c", v);
    ASSERT_EQ(tree->TotalCount(), 3u);
    TestContainerWatcherRef watcher = Watch();
    ZuListRef path = ZuNew<ZuList>();
    path->PushTail(ZuAtomRef("y"));
    EXPECT_TRUE(tree->Remove(path, 0));
    EXPECT_EQ(watcher->log, "rr");
    EXPECT_EQ(tree->TotalCount(), 1u);
    ZuObjectRef got;
    EXPECT_FALSE(tree->GetFromPath("y", got));
    EXPECT_TRUE(tree->GetFromPath("x", got));

    // The root cannot be removed.
    ZuListRef none = ZuNew<ZuList>();
    EXPECT_FALSE(tree->Remove(none, 0));
    EXPECT_FALSE(tree->Remove(ZuObjectNull, 0));
    // A one-level key naming a node removes the node and its leaves too.
    tree->InsertUsingPath("n:m", v);
    EXPECT_EQ(tree->TotalCount(), 2u);
    EXPECT_TRUE(tree->Remove(ZuAtomRef("n"), 0));
    EXPECT_EQ(tree->TotalCount(), 1u);
    tree->DetachObserver(watcher);
}

TEST_F(DicTreeTest, APathThroughAPlainValueIsRefused)
{
    ZuStringRef v("v");
    EXPECT_TRUE(tree->InsertUsingPath("a", v));
    EXPECT_FALSE(tree->InsertUsingPath("a:b", v));
    EXPECT_EQ(tree->TotalCount(), 1u);
    ZuObjectRef got;
    EXPECT_TRUE(tree->GetFromPath("a", got));
    EXPECT_TRUE(got == v);
}

TEST_F(DicTreeTest, TheTreeStoresItsNodes)
{
    ZuStringRef v("v");
    tree->SetPathSeparator('/');
    tree->InsertUsingPath("a/b/c", v);
    tree->InsertUsingPath("a/d", v);
    ZuTestStorageRef store = ZuTestStorage::Make();
    store->StartStoring();
    ZuStorageRef(store) << tree;
    store->StartRestoring(store->Bytes());
    ZuDicTreeRef back;
    ZuStorageRef(store) >> back;
    store->FinallyAwake();
    ASSERT_TRUE(back.IsValid());
    EXPECT_EQ(back->RetPathSeparator(), '/');
    EXPECT_EQ(back->TotalCount(), 2u);
    ZuObjectRef got;
    EXPECT_TRUE(back->GetFromPath("a/b/c", got));
    EXPECT_TRUE(back->GetFromPath("a/d", got));
    ZuObjectRef key, value;
    ASSERT_TRUE(back->Get(1, key, value));
    back->Delete();
}

TEST_F(DicTreeTest, TheIteratorDoesNotWalk)
{
    ZuIteratorRef it = tree->NewIterator();
    ASSERT_TRUE(it.IsValid());
    ZuObjectRef got;
    EXPECT_FALSE(it->First());
    EXPECT_FALSE(it->Next(1));
    EXPECT_FALSE(it->Get(got, 0));
    // The operations a tree does not offer change nothing.
    ZuStringRef v("v");
    tree->InsertUsingPath("a", v);
    EXPECT_FALSE(tree->RemoveValue(v, 0));
    EXPECT_FALSE(tree->LookForKey(ZuAtomRef("a")));
    EXPECT_FALSE(tree->Remove(0u));
    EXPECT_EQ(tree->TotalCount(), 1u);
}

// Sets the repeat count of a node's element holding `index`, as a damaged
// or hostile file could.
struct NodeCounts : ZuDict {
    static void Set(const ZuDictRef& node, unsigned int index, unsigned int count)
    {
        auto find = static_cast<bool (ZuDict::*)(unsigned int&, Element*&)>(&NodeCounts::FindElem);
        Element* elem = nullptr;
        ASSERT_TRUE((node.Resolve()->*find)(index, elem));
        unsigned int ZuSet::*total = &NodeCounts::num_element;
        node.Resolve()->*total += count - elem->count;
        elem->count = count;
    }
};

// A repeated subtree is walked once and a repeated leaf counted in one
// step: restoring, counting and removing follow the nodes there are (a
// count of 0x7FFFFFFF on a subtree filled 2 GB of work list).
TEST_F(DicTreeTest, RepeatCountsInNodesCostNothing)
{
    ZuStringRef v("v");
    tree->InsertUsingPath("k:l", v);
    tree->InsertUsingPath("m", v);
    ZuObjectRef root;
    ASSERT_TRUE(tree->GetFromKey(ZuObjectNull, root, 0));
    ZuObjectRef key, value;
    ASSERT_TRUE(ZuDictRef(root)->Get(0, key, value));
    ASSERT_TRUE(value.IsValid() && value->IsKindOf(ZuDictRef::RetRuntime())); // "k", the subtree
    NodeCounts::Set(root, 0, 0x7FFFFFFFu);
    NodeCounts::Set(root, 0x7FFFFFFFu, 0x7FFFFFF0u); // "m", a leaf

    ZuTestStorageRef store = ZuTestStorage::Make();
    store->StartStoring();
    ZuStorageRef(store) << tree;
    store->StartRestoring(store->Bytes());
    ZuDicTreeRef back;
    ZuStorageRef(store) >> back;
    store->FinallyAwake();
    ASSERT_TRUE(back.IsValid());
    // The subtree's one leaf, and the leaf's repetitions.
    EXPECT_EQ(back->TotalCount(), 0x7FFFFFF1u);
    ZuObjectRef got;
    EXPECT_TRUE(back->GetFromPath("k:l", got));
    back->RemoveAll();
    EXPECT_EQ(back->TotalCount(), 0u);
    back->Delete();
    tree->RemoveAll();
    EXPECT_EQ(tree->TotalCount(), 0u);
}

// Found by fuzzing: a node whose attributes (read from a file) hold a text
// key. Asking the node for the tree's mark compared that text with the tree,
// which a text refuses with an exception, and deleting the tree stopped the
// program. Objects that cannot be compared are simply not equal.
TEST_F(DicTreeTest, NodesWithAttributesOfOtherClassesAreDeleted)
{
    ZuStringRef v("v");
    tree->InsertUsingPath("k:l", v);
    ZuObjectRef node;
    ASSERT_TRUE(tree->GetFromPath("k", node));
    ASSERT_TRUE(node->SetAttribute(ZuStringRef("texte"), v));
    ZuObjectRef found;
    EXPECT_FALSE(node->GetAttribute(ZuObjectRef(tree), found, 1));
    EXPECT_TRUE(node->GetAttribute(ZuStringRef("texte"), found, 0));
    EXPECT_NO_THROW(tree->Delete());
    EXPECT_EQ(tree->TotalCount(), 0u);
}

} // namespace
