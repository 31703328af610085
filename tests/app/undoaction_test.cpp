// The record of one tree change: each record operation makes the change,
// the inverse brings the tree back, the place the change touched, the
// folding of two replacements, and the trace.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/tree.h"
#include "app/undoaction.h"
#include "tests/app/gratest.h"
#include "tests/support/debugcapture.h"

namespace {

class CUndoActionTest : public TreeTest {
protected:
    static std::vector<CTreeNode*> Children(const CTreeNodeRef& parent)
    {
        std::vector<CTreeNode*> out;
        for (CTreeNodeRef c = parent->RetFirstChild(); c.IsValid(); c = c->RetNext())
            out.push_back(c.Resolve());
        return out;
    }
    CUndoActionRef Inverse(const CUndoActionRef& a)
    {
        CUndoActionRef back;
        a->MakeInverse(back);
        EXPECT_TRUE(back.IsValid());
        return back;
    }
};

TEST_F(CUndoActionTest, RemovingTheFirstChildRecordsItsParentAndItsInverseMakesItFirstAgain)
{
    CTreeNodeRef a = Node(layer), b = Node(layer);
    CUndoActionRef remove = Make<CUndoActionRef>();
    remove->RecordRemove(a);
    EXPECT_EQ(CUndoAction::REMOVED, remove->GetOper());
    EXPECT_EQ(CUndoAction::FIRST_CHILD, remove->GetMode());
    EXPECT_EQ(layer.Resolve(), remove->GetAttachNode().Resolve());
    EXPECT_EQ(a.Resolve(), remove->GetObjectNode().Resolve());
    EXPECT_TRUE(a->RetParent().IsInvalid());
    EXPECT_EQ(1, layer->CountChildren());
    // The place the removal touched is the layer itself, not its page.
    EXPECT_EQ(layer.Resolve(), remove->GetParentNode().Resolve());

    CUndoActionRef back = Inverse(remove);
    EXPECT_EQ(CUndoAction::INSERTED, back->GetOper());
    EXPECT_EQ((std::vector<CTreeNode*>{a.Resolve(), b.Resolve()}), Children(layer));
    EXPECT_EQ(layer.Resolve(), back->GetParentNode().Resolve());

    // A later sibling records its previous sibling, after which it goes.
    CUndoActionRef second = Make<CUndoActionRef>();
    second->RecordRemove(b);
    EXPECT_EQ(CUndoAction::AFTER, second->GetMode());
    EXPECT_EQ(a.Resolve(), second->GetAttachNode().Resolve());
    EXPECT_EQ(layer.Resolve(), second->GetParentNode().Resolve());
    Inverse(second);
    EXPECT_EQ((std::vector<CTreeNode*>{a.Resolve(), b.Resolve()}), Children(layer));
}

TEST_F(CUndoActionTest, InsertLinksByModeAndItsInverseTakesTheNodeOut)
{
    struct Case {
        int mode;
        std::vector<int> order; // 0 the existing x, 1 y, 2 the new node; empty: not linked
    } const cases[] = {
        {CUndoAction::FIRST_CHILD, {2, 0, 1}},
        {CUndoAction::LAST_CHILD, {0, 1, 2}},
        {CUndoAction::BEFORE, {0, 2, 1}},
        {CUndoAction::AFTER, {0, 1, 2}},
        {0, {0, 1}},
        {5, {0, 1}},
    };
    for (const Case& c : cases) {
        CTreeNodeRef parent = Node(layer);
        CTreeNodeRef x = Node(parent), y = Node(parent), n = Node();
        // Before and after take a sibling; the others the parent.
        const CTreeNodeRef at =
            c.mode == CUndoAction::BEFORE || c.mode == CUndoAction::AFTER ? y : parent;
        CUndoActionRef insert = Make<CUndoActionRef>();
        insert->RecordInsert(n, at, c.mode);
        EXPECT_EQ(CUndoAction::INSERTED, insert->GetOper()) << c.mode;
        EXPECT_EQ(0, insert->GetMode());
        EXPECT_TRUE(insert->GetAttachNode().IsInvalid());
        EXPECT_EQ(n.Resolve(), insert->GetObjectNode().Resolve());
        CTreeNode* const names[] = {x.Resolve(), y.Resolve(), n.Resolve()};
        std::vector<CTreeNode*> expected;
        for (int i : c.order)
            expected.push_back(names[i]);
        EXPECT_EQ(expected, Children(parent)) << c.mode;
        if (c.order.size() == 3) {
            EXPECT_EQ(parent.Resolve(), insert->GetParentNode().Resolve());
            CUndoActionRef back = Inverse(insert);
            EXPECT_EQ(CUndoAction::REMOVED, back->GetOper());
            EXPECT_EQ((std::vector<CTreeNode*>{x.Resolve(), y.Resolve()}), Children(parent));
        }
    }
}

TEST_F(CUndoActionTest, ReplacementSwapsBackAndForthAndFoldsOnTheSameNode)
{
    CTreeNodeRef a = Node(layer), old = Node(layer), c = Node(layer);
    CTreeNodeRef fresh = Node();
    Node(old); // the old node's subtree goes with it
    CUndoActionRef replace = Make<CUndoActionRef>();
    replace->RecordReplace(fresh, old);
    EXPECT_EQ(CUndoAction::REPLACED, replace->GetOper());
    EXPECT_EQ(fresh.Resolve(), replace->GetAttachNode().Resolve());
    EXPECT_EQ(old.Resolve(), replace->GetObjectNode().Resolve());
    EXPECT_EQ((std::vector<CTreeNode*>{a.Resolve(), fresh.Resolve(), c.Resolve()}),
              Children(layer));
    EXPECT_EQ(1, old->CountChildren());
    EXPECT_EQ(layer.Resolve(), replace->GetParentNode().Resolve());

    // Undo puts the old node back, redo swaps them again.
    CUndoActionRef undo = Inverse(replace);
    EXPECT_EQ((std::vector<CTreeNode*>{a.Resolve(), old.Resolve(), c.Resolve()}), Children(layer));
    EXPECT_TRUE(fresh->RetParent().IsInvalid());
    CUndoActionRef redo = Inverse(undo);
    EXPECT_EQ((std::vector<CTreeNode*>{a.Resolve(), fresh.Resolve(), c.Resolve()}),
              Children(layer));
    EXPECT_EQ(old.Resolve(), redo->GetObjectNode().Resolve());

    // A second replacement of the node put in folds into the first: one
    // replacement from the oldest node to the newest.
    CTreeNodeRef newest = Node();
    CUndoActionRef later = Make<CUndoActionRef>();
    later->RecordReplace(newest, fresh);
    EXPECT_TRUE(later->CanMerge(replace));
    EXPECT_FALSE(replace->CanMerge(later));
    CUndoActionRef remove = Make<CUndoActionRef>();
    remove->RecordRemove(c);
    EXPECT_FALSE(remove->CanMerge(replace));
    EXPECT_FALSE(later->CanMerge(remove));
    EXPECT_FALSE(later->CanMerge(CUndoActionRef()));
    later->Merge(replace);
    EXPECT_EQ(old.Resolve(), later->GetObjectNode().Resolve());
    Inverse(later);
    EXPECT_EQ((std::vector<CTreeNode*>{a.Resolve(), old.Resolve()}), Children(layer));

    // An empty action inverts into an empty one and changes nothing.
    CUndoActionRef none = Inverse(Make<CUndoActionRef>());
    EXPECT_EQ(0, none->GetOper());
    EXPECT_TRUE(none->GetParentNode().IsInvalid());
    EXPECT_EQ((std::vector<CTreeNode*>{a.Resolve(), old.Resolve()}), Children(layer));
}

TEST_F(CUndoActionTest, DumpNamesBothNodesOrDashesAndDetailsOnlySetOnes)
{
    DebugCapture capture;
    Make<CUndoActionRef>()->Dump();
    EXPECT_EQ("  UndoAction: oper=0 object=-------- attach=-------- mode=0\n", capture.DebugText());

    CTreeNodeRef first = Node(layer);
    first->SetObject(Make<CGraObjectRef>());
    CTreeNodeRef second = Node(layer);
    second->SetObject(Make<CGraObjectRef>());
    CUndoActionRef remove = Make<CUndoActionRef>();
    remove->RecordRemove(second);
    capture.Clear();
    remove->Dump();
    const std::string text = capture.DebugText();
    char head[200];
    std::snprintf(head, sizeof head, "  UndoAction: oper=3 object=%p attach=%p mode=4\n",
                  static_cast<void*>(second.Resolve()), static_cast<void*>(first.Resolve()));
    EXPECT_EQ(0u, text.find(head)) << text;
    const size_t attach = text.find("        attach: ");
    const size_t object = text.find("        object: ");
    ASSERT_NE(std::string::npos, attach);
    ASSERT_NE(std::string::npos, object);
    EXPECT_LT(attach, object);
    EXPECT_NE(std::string::npos, text.find("type=CGraObject", object));
}

} // namespace
