// Duplicated, mirrored and turned selections: copies changed and recorded
// at the front or in place of the objects they copy, one undo step each.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tests/app/selecttest.h"

namespace {

class CDuplicateTest : public CSelectObjectTest {
protected:
    void SetUp() override
    {
        CSelectObjectTest::SetUp();
        LiveEdit(200, 200);
        a = Rect(layer, 10, 10, 40, 30);
        b = Rect(layer, 60, 20, 100, 50);
        c = Rect(layer, 120, 20, 140, 60);
    }
    void TearDown() override
    {
        a = b = c = CTreeNodeRef();
        CSelectObjectTest::TearDown();
    }
    int LastOper() const
    {
        return CUndoGroupRef(sel->RetUndoList()->GetLast()->GetObject())->GetOper();
    }
    static DPoint Handle(CTreeNode* n, int i)
    {
        return CGraObjectRef(n->RetObject())->GetHandlePosition(i);
    }
    CTreeNodeRef a, b, c;
};

TEST_F(CDuplicateTest, ThreeSelectedGiveExactlyThreeCopiesMovedByTheOffset)
{
    for (DPoint offset : {DPoint{10.0, 5.0}, DPoint{0.0, 0.0}}) {
        sel->EndSelection();
        sel->ClearUndo();
        layer->RemoveAllChildren();
        for (const CTreeNodeRef& n : {a, b, c})
            n->InsertLastChild(layer);
        Select({a, b, c});
        sel->StartBox(DPoint{0, 0});
        sel->EndBox(DPoint{150, 70});
        ASSERT_TRUE(sel->Duplicate(offset));
        EXPECT_EQ(CUndoGroup::STEP_DUPLICATE, LastOper());
        const std::vector<CTreeNode*> now = Children(layer);
        ASSERT_EQ(6u, now.size()) << offset.x;
        EXPECT_EQ(Nodes({a, b, c}), std::vector<CTreeNode*>(now.begin(), now.begin() + 3));
        for (int i = 0; i < 3; i++) {
            EXPECT_EQ(0, CGraObjectRef(now[i]->RetObject())->GetEditMode()) << i;
            EXPECT_EQ(1, CGraObjectRef(now[i + 3]->RetObject())->GetEditMode()) << i;
            EXPECT_NEAR(Handle(now[i], 0).x + offset.x, Handle(now[i + 3], 0).x, 1e-9) << i;
            EXPECT_NEAR(Handle(now[i], 0).y + offset.y, Handle(now[i + 3], 0).y, 1e-9) << i;
        }
        EXPECT_EQ(3, sel->GetSelectedCount());
        EXPECT_NEAR(offset.x, sel->GetBoxCorner(0).x, 1e-9);
        EXPECT_NEAR(150.0 + offset.x, sel->GetBoxCorner(1).x, 1e-9);
        ASSERT_TRUE(sel->Undo());
        EXPECT_EQ(Nodes({a, b, c}), Children(layer));
    }
}

TEST_F(CDuplicateTest, ASecondDuplicateCopiesTheCopies)
{
    Select({b});
    ASSERT_TRUE(sel->Duplicate(DPoint{10.0, 10.0}));
    ASSERT_TRUE(sel->Duplicate(DPoint{10.0, 10.0}));
    const std::vector<CTreeNode*> now = Children(layer);
    ASSERT_EQ(5u, now.size());
    EXPECT_NEAR(Handle(b.Resolve(), 0).x + 20.0, Handle(now[4], 0).x, 1e-9);
    EXPECT_EQ(0, CGraObjectRef(now[3]->RetObject())->GetEditMode());
    EXPECT_EQ(1, CGraObjectRef(now[4]->RetObject())->GetEditMode());
}

TEST_F(CDuplicateTest, WithThePropertiesShownOneCopyIsShown)
{
    shell.propertiesShown = true;
    Select({b});
    shell.refreshed.clear();
    ASSERT_TRUE(sel->Duplicate(DPoint{10.0, 10.0}));
    ASSERT_EQ(1u, shell.refreshed.size());
    EXPECT_EQ(layer->RetLastChild()->RetObject().Resolve(), shell.refreshed[0]);
}

TEST_F(CDuplicateTest, MirrorXPutsAnObjectRightOfTheCentreAsFarLeft)
{
    Select({a, c});
    sel->FitBoxToSelection();
    sel->StartBox(DPoint{0, 0});
    sel->EndBox(DPoint{200, 80});
    // Centre x 100: c (120 .. 140) goes to 60 .. 80.
    ASSERT_TRUE(sel->MirrorX());
    EXPECT_EQ(CUndoGroup::STEP_MIRROR_X, LastOper());
    const std::vector<CTreeNode*> now = Children(layer);
    ASSERT_EQ(3u, now.size());
    EXPECT_NE(c.Resolve(), now[2]);
    const CGraObjectRef m(now[2]->RetObject());
    const DRect box = m->GetHandlesBox();
    EXPECT_NEAR(60.0, box.x1, 1e-9);
    EXPECT_NEAR(80.0, box.x2, 1e-9);
    EXPECT_NEAR(20.0, box.y1, 1e-9);
    EXPECT_NEAR(60.0, box.y2, 1e-9);
    EXPECT_EQ(2, sel->GetSelectedCount());
    EXPECT_EQ(1, m->GetEditMode());
    // Undo brings back the very objects replaced.
    ASSERT_TRUE(sel->Undo());
    EXPECT_EQ(Nodes({a, b, c}), Children(layer));
    EXPECT_NEAR(120.0, Object(c)->GetHandlesBox().x1, 1e-9);
}

TEST_F(CDuplicateTest, MirrorYAndTurnsAboutTheCentre)
{
    struct Case {
        bool (CSelectObject::*op)();
        int oper;
        DRect want; // c's handle box after the change, centre (100, 40)
    } cases[] = {
        {&CSelectObject::MirrorY, CUndoGroup::STEP_MIRROR_Y, {120, 20, 140, 60}},
        {&CSelectObject::Rotate90, CUndoGroup::STEP_ROTATE_90, {80, 60, 120, 80}},
        {&CSelectObject::Rotate180, CUndoGroup::STEP_ROTATE_180, {60, 20, 80, 60}},
        {&CSelectObject::Rotate270, CUndoGroup::STEP_ROTATE_270, {80, 0, 120, 20}},
    };
    Select({a, c});
    sel->FitBoxToSelection();
    sel->StartBox(DPoint{0, 0});
    sel->EndBox(DPoint{200, 80});
    for (const Case& k : cases) {
        sel->ClearUndo();
        ASSERT_TRUE((sel.Resolve()->*k.op)()) << k.oper;
        EXPECT_EQ(k.oper, LastOper());
        const DRect box = Object(layer->RetLastChild())->GetHandlesBox();
        EXPECT_NEAR(k.want.x1, box.x1, 1e-6) << k.oper;
        EXPECT_NEAR(k.want.y1, box.y1, 1e-6) << k.oper;
        EXPECT_NEAR(k.want.x2, box.x2, 1e-6) << k.oper;
        EXPECT_NEAR(k.want.y2, box.y2, 1e-6) << k.oper;
        ASSERT_TRUE(sel->Undo());
        sel->StartBox(DPoint{0, 0});
        sel->EndBox(DPoint{200, 80});
    }
    EXPECT_EQ(Nodes({a, b, c}), Children(layer));
}

TEST_F(CDuplicateTest, NothingSelectedRecordsNothing)
{
    EXPECT_FALSE(sel->Duplicate(DPoint{10, 10}));
    EXPECT_FALSE(sel->MirrorX());
    EXPECT_FALSE(sel->MirrorY());
    EXPECT_FALSE(sel->Rotate90());
    EXPECT_FALSE(sel->Rotate(1.0, 36));
    EXPECT_EQ(0, UndoCount());
    EXPECT_EQ(Nodes({a, b, c}), Children(layer));
}

} // namespace
