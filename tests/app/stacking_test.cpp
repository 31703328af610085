// The stacking order of the selected objects among the edit parent's
// children, and groups made and taken apart, each one undo step.
#include <gtest/gtest.h>

#include <vector>

#include "tests/app/selecttest.h"

namespace {

class CStackingTest : public CSelectObjectTest {
protected:
    void SetUp() override
    {
        CSelectObjectTest::SetUp();
        LiveEdit(200, 200);
        for (int i = 0; i < 6; i++)
            n.push_back(Rect(layer, 10 + 20 * i, 10, 25 + 20 * i, 30));
    }
    void TearDown() override
    {
        n.clear();
        CSelectObjectTest::TearDown();
    }
    std::vector<CTreeNode*> Order(std::initializer_list<int> places) const
    {
        std::vector<CTreeNode*> out;
        for (int i : places)
            out.push_back(n[i].Resolve());
        return out;
    }
    int LastOper() const
    {
        return CUndoGroupRef(sel->RetUndoList()->GetLast()->GetObject())->GetOper();
    }
    std::vector<CTreeNodeRef> n;
};

TEST_F(CStackingTest, EachMovePlacesTheSelectionInOneRunInItsOrder)
{
    struct Case {
        const char* what;
        bool (CSelectObject::*op)();
        std::vector<int> selected;
        int oper;
        std::vector<int> after;
    } cases[] = {
        {"to front", &CSelectObject::SendToFront, {1, 3}, 50, {0, 2, 4, 5, 1, 3}},
        {"to front, already there", &CSelectObject::SendToFront, {4, 5}, 50, {0, 1, 2, 3, 4, 5}},
        {"to back", &CSelectObject::SendToBack, {2, 4}, 51, {2, 4, 0, 1, 3, 5}},
        // In front of the object in front of the frontmost one.
        {"forward", &CSelectObject::MoveToFront, {0, 2, 3}, 52, {1, 4, 0, 2, 3, 5}},
        {"forward, second to last", &CSelectObject::MoveToFront, {1, 4}, 52, {0, 2, 3, 5, 1, 4}},
        {"backward", &CSelectObject::MoveToBack, {2, 3, 5}, 53, {0, 2, 3, 5, 1, 4}},
        {"backward, second", &CSelectObject::MoveToBack, {1, 3}, 53, {1, 3, 0, 2, 4, 5}},
    };
    for (const Case& c : cases) {
        sel->EndSelection();
        sel->ClearUndo();
        layer->RemoveAllChildren();
        for (const CTreeNodeRef& node : n)
            node->InsertLastChild(layer);
        std::vector<CTreeNodeRef> chosen;
        for (int i : c.selected)
            chosen.push_back(n[i]);
        Select(chosen);
        ASSERT_TRUE((sel.Resolve()->*c.op)()) << c.what;
        EXPECT_EQ(1, UndoCount()) << c.what;
        EXPECT_EQ(c.oper, LastOper()) << c.what;
        std::vector<CTreeNode*> want;
        for (int i : c.after)
            want.push_back(n[i].Resolve());
        EXPECT_EQ(want, Children(layer)) << c.what;
        EXPECT_EQ(int(c.selected.size()), sel->GetSelectedCount()) << c.what;
        ASSERT_TRUE(sel->Undo()) << c.what;
        EXPECT_EQ(Order({0, 1, 2, 3, 4, 5}), Children(layer)) << c.what;
    }
}

TEST_F(CStackingTest, OnePlaceMovesAtTheEndChangeNothing)
{
    Select({n[2], n[5]});
    EXPECT_FALSE(sel->MoveToFront());
    sel->EndSelection();
    Select({n[0], n[3]});
    EXPECT_FALSE(sel->MoveToBack());
    sel->EndSelection();
    for (bool (CSelectObject::*op)() :
         {&CSelectObject::SendToFront, &CSelectObject::SendToBack, &CSelectObject::MoveToFront,
          &CSelectObject::MoveToBack, &CSelectObject::Group, &CSelectObject::Ungroup})
        EXPECT_FALSE((sel.Resolve()->*op)());
    EXPECT_EQ(0, UndoCount());
    EXPECT_EQ(Order({0, 1, 2, 3, 4, 5}), Children(layer));
}

TEST_F(CStackingTest, GroupStandsAtTheFrontAndUndoPutsTheMembersBack)
{
    Select({n[1], n[2], n[4]});
    ASSERT_TRUE(sel->Group());
    EXPECT_EQ(CUndoGroup::STEP_GROUP, LastOper());
    std::vector<CTreeNode*> now = Children(layer);
    ASSERT_EQ(4u, now.size());
    EXPECT_EQ(Order({0, 3, 5}), std::vector<CTreeNode*>(now.begin(), now.begin() + 3));
    CTreeNodeRef group(now[3]);
    EXPECT_TRUE(group->RetObject()->IsKindOf(CGraGroupRef::RetRuntime()));
    EXPECT_EQ(Order({1, 2, 4}), Children(group));
    EXPECT_EQ(1, sel->GetSelectedCount());
    EXPECT_EQ(1, Mode(group));
    for (int i : {1, 2, 4})
        EXPECT_EQ(0, Mode(n[i])) << i;
    EXPECT_TRUE(sel->IsBoxShown());
    EXPECT_TRUE(doc->IsModified());

    ASSERT_TRUE(sel->Undo());
    EXPECT_EQ(Order({0, 1, 2, 3, 4, 5}), Children(layer));
}

TEST_F(CStackingTest, UngroupLeavesTheMembersInTheGroupsPlaceAllSelected)
{
    Select({n[1], n[2], n[4]});
    ASSERT_TRUE(sel->Group());
    const CTreeNodeRef group = layer->RetLastChild();
    // The group at the back, before the others.
    ASSERT_TRUE(sel->SendToBack());
    ASSERT_EQ(group.Resolve(), Children(layer)[0]);

    ASSERT_TRUE(sel->Ungroup());
    EXPECT_EQ(CUndoGroup::STEP_UNGROUP, LastOper());
    EXPECT_EQ(Order({1, 2, 4, 0, 3, 5}), Children(layer));
    EXPECT_EQ(3, sel->GetSelectedCount());
    for (int i : {1, 2, 4})
        EXPECT_EQ(1, Mode(n[i])) << i;
    ASSERT_TRUE(sel->Undo());
    EXPECT_EQ(group.Resolve(), Children(layer)[0]);
    EXPECT_EQ(Order({1, 2, 4}), Children(group));
}

TEST_F(CStackingTest, UngroupWantsOneGroupSelectedAlone)
{
    Select({n[1]});
    EXPECT_FALSE(sel->Ungroup());
    sel->EndSelection();
    Select({n[1], n[2]});
    ASSERT_TRUE(sel->Group());
    Select({n[3]});
    EXPECT_FALSE(sel->Ungroup());
    EXPECT_EQ(1, UndoCount());
}

} // namespace
