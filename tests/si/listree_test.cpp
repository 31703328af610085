#include <gtest/gtest.h>

#include "si/listree.h"
#include "si/listreeit.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "tests/support/objmodel.h"
#include "tests/support/probes.h"
#include "tests/support/storagetest.h"

namespace {

class LisTreeTest : public ZuviRuntimeTest {
protected:
    static ZuLisTreeRef NewTree()
    {
        return ZuLisTreeRef(ZuNew<ZuLisTree>(Zuvi_app_zone, __LINE__, "test"));
    }
    // Reads every token: "object:1 begin end mark none".
    static std::string ReadAll(const ZuLisTreeRef& tree)
    {
        static const char* const names[] = {"none", "object", "begin", "end", "mark"};
        std::string text;
        for (;;) {
            ZuObjectRef out = TestNumber::Make(-1);
            ZuLisTree::Type t = tree->PopHead(out);
            if (!text.empty())
                text += ' ';
            text += names[t];
            if (t == ZuLisTree::ZU_LISTREE_OBJECT)
                text += ":" + NumberText(out);
            else if (out.IsValid())
                text += "(out not emptied)";
            if (t == ZuLisTree::ZU_LISTREE_NONE)
                return text;
        }
    }
};

TEST_F(LisTreeTest, ReadsBackWhatWasWritten)
{
    ZuLisTreeRef tree = NewTree();
    EXPECT_TRUE(tree->Insert(TestNumber::Make(1))); // A
    EXPECT_TRUE(tree->InsertNewLevel());
    EXPECT_TRUE(tree->Insert(TestNumber::Make(2))); // B
    EXPECT_TRUE(tree->InsertMark());
    EXPECT_TRUE(tree->InsertEndLevel());
    EXPECT_TRUE(tree->Insert(TestNumber::Make(3))); // C
    EXPECT_EQ(tree->TotalCount(), 6u);
    EXPECT_TRUE(tree->Rewind());

    std::vector<unsigned> counts;
    static const ZuLisTree::Type expected[] = {
        ZuLisTree::ZU_LISTREE_OBJECT,    ZuLisTree::ZU_LISTREE_LEVEL_BEGIN,
        ZuLisTree::ZU_LISTREE_OBJECT,    ZuLisTree::ZU_LISTREE_MARK,
        ZuLisTree::ZU_LISTREE_LEVEL_END, ZuLisTree::ZU_LISTREE_OBJECT,
        ZuLisTree::ZU_LISTREE_NONE,
    };
    static const char* const objects[] = {"1", "_", "2", "_", "_", "3", "_"};
    for (unsigned i = 0; i < 7; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(tree->PeekHeadType(), expected[i]);
        EXPECT_EQ(tree->TotalCount(), 6u - (i < 6 ? i : 6)); // peeking takes nothing
        ZuObjectRef out = TestNumber::Make(-1);
        EXPECT_EQ(tree->PopHead(out), expected[i]);
        EXPECT_EQ(NumberText(out), objects[i]);
    }
    EXPECT_EQ(tree->TotalCount(), 0u);
}

TEST_F(LisTreeTest, EndLevelAtTheRootIsRefused)
{
    ZuLisTreeRef tree = NewTree();
    EXPECT_FALSE(tree->InsertEndLevel());
    EXPECT_EQ(tree->TotalCount(), 0u);
    EXPECT_EQ(ReadAll(tree), "none");
}

TEST_F(LisTreeTest, UnrelatedTreeReadsAsAnObject)
{
    ZuLisTreeRef tree = NewTree();
    ZuLisTreeRef other = NewTree();
    tree->Insert(other);
    tree->Insert(ZuObjectNull);
    tree->Rewind();
    ZuObjectRef out;
    EXPECT_EQ(tree->PopHead(out), ZuLisTree::ZU_LISTREE_OBJECT);
    EXPECT_TRUE(out == other);
    EXPECT_EQ(tree->PopHead(out), ZuLisTree::ZU_LISTREE_OBJECT);
    EXPECT_TRUE(out.IsInvalid());
    other->Delete();
}

TEST_F(LisTreeTest, CloneCopiesLevelsAndPointsMarksAtTheCopies)
{
    ZuLisTreeRef tree = NewTree();
    tree->Insert(TestNumber::Make(1));
    tree->InsertNewLevel();
    tree->InsertMark();
    tree->InsertNewLevel();
    tree->Insert(TestNumber::Make(2));
    tree->InsertEndLevel();
    tree->InsertEndLevel();
    tree->InsertMark();

    ZuLisTreeRef copy;
    ASSERT_TRUE(tree->Clone(copy, ZuLisTreeNull));
    EXPECT_EQ(copy->TotalCount(), tree->TotalCount());
    // Reading the copy does not disturb the original, and the marks of the
    // copy belong to the copied levels: otherwise they would read as objects.
    EXPECT_EQ(ReadAll(copy), "object:1 begin mark begin object:2 end end mark none");
    tree->Rewind();
    EXPECT_EQ(ReadAll(tree), "object:1 begin mark begin object:2 end end mark none");
    copy->Delete();
    tree->Delete();
}

TEST_F(LisTreeTest, RemoveAllEmptiesNestedLevels)
{
    ZuLisTreeRef tree = NewTree();
    tree->InsertNewLevel();
    tree->Insert(TestNumber::Make(1));
    tree->InsertEndLevel();
    tree->RemoveAll();
    EXPECT_EQ(tree->TotalCount(), 0u);
    tree->Rewind();
    EXPECT_EQ(ReadAll(tree), "none");
    tree->Insert(TestNumber::Make(4));
    tree->Rewind();
    EXPECT_EQ(ReadAll(tree), "object:4 none");
    tree->Delete();
}

TEST_F(LisTreeTest, UnsupportedOperationsAnswerFalse)
{
    ZuLisTreeRef tree = NewTree();
    TestNumberRef n = TestNumber::Make(1);
    tree->Insert(n);
    ZuObjectRef out;
    unsigned index = 0;
    EXPECT_FALSE(tree->Remove(0u));
    EXPECT_FALSE(tree->Remove(n, 0));
    EXPECT_FALSE(tree->Get(0, out));
    EXPECT_FALSE(tree->GetSimilar(n, out, 0));
    EXPECT_FALSE(tree->LookFor(n));
    EXPECT_FALSE(tree->Find(n, index));
    EXPECT_EQ(tree->TotalCount(), 1u);

    ZuIteratorRef it = tree->NewIterator();
    ASSERT_TRUE(it.IsValid());
    EXPECT_FALSE(it->First());
    EXPECT_FALSE(it->Last());
    EXPECT_FALSE(it->Next(1));
    EXPECT_FALSE(it->Get(out, 0));
    tree->Delete();
}

TEST_F(LisTreeTest, StoredAndRestoredTokensReadTheSame)
{
    ZuLisTreeRef tree = NewTree();
    tree->Insert(TestNumber::Make(1));
    tree->InsertNewLevel();
    tree->InsertMark();
    tree->Insert(TestNumber::Make(2));
    tree->InsertEndLevel();
    tree->Rewind();
    ZuTestStorageRef store = ZuTestStorage::Make();
    store->StartStoring();
    store->StoreObject(tree);
    store->StartRestoring(store->Bytes());
    ZuLisTreeRef back;
    ZuStorageRef(store) >> back;
    ASSERT_TRUE(back.IsValid());
    EXPECT_EQ(back->TotalCount(), 5u);
    EXPECT_EQ(ReadAll(back), "object:1 begin mark object:2 end none");
    back->Delete();
    tree->Delete();
}

// A tree's cursor holds no handle to the tree itself: a tree let go by its
// last holder goes (each one kept itself and its list alive), and a tree
// with levels and marks goes once deleted, after being read or not.
TEST_F(LisTreeTest, TreesLetGoAreFreed)
{
    ZuObjectRef::RealiseDeletions();
    const unsigned handles = ZuObjectRef::RetLiveHandleCount();
    for (int i = 0; i < 1000; i++) {
        ZuLisTreeRef tree = NewTree();
        tree->Insert(TestNumber::Make(i));
        tree->Rewind();
    }
    for (int i = 0; i < 100; i++) {
        ZuLisTreeRef tree = NewTree();
        tree->Insert(TestNumber::Make(1));
        tree->InsertNewLevel();
        tree->InsertMark();
        tree->InsertNewLevel(); // left open: the cursor stands inside
        if (i % 2) {
            ZuObjectRef out;
            tree->PopHead(out);
            tree->PopHead(out); // the cursor moves into a level
        }
        tree->Delete();
    }
    ZuObjectRef::RealiseDeletions();
    EXPECT_EQ(ZuObjectRef::RetLiveHandleCount(), handles);
}

} // namespace
