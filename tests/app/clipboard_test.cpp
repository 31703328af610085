// Edits of the whole selection through the object clipboard, the current
// definitions, the properties dialog and point commands: each is one undo
// step of copies recorded in place of the originals. Boxes are measured by
// the real interpreter.
#include <gtest/gtest.h>

#include <vector>

#include "app/pendef.h"
#include "app/treeit.h"
#include "tests/app/selecttest.h"

namespace {

class CClipboardTest : public CSelectObjectTest {
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
    static DPoint Handle(const CTreeNodeRef& n, int i) { return Object(n)->GetHandlePosition(i); }
    CTreeNodeRef a, b, c;
};

TEST_F(CClipboardTest, NothingSelectedOrAnEmptyClipboardChangesNothing)
{
    const int kinds[] = {10};
    const DPoint p{0, 0};
    EXPECT_FALSE(sel->DeleteSelected());
    EXPECT_FALSE(sel->Cut());
    EXPECT_FALSE(sel->Copy());
    EXPECT_FALSE(sel->Paste());
    EXPECT_FALSE(sel->ApplyDefinitions(kinds, 1));
    EXPECT_FALSE(sel->SetPropertyValue(0, 0, 5.0, -1));
    EXPECT_FALSE(sel->EditPoints(0, 0, p, 1));
    EXPECT_EQ(0, UndoCount());
    EXPECT_EQ(0, shell.clipboardSets);
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(Nodes({a, b, c}), Children(layer));
}

TEST_F(CClipboardTest, CopyThenPasteTwiceMakesTwoIndependentStepsOfCopies)
{
    Select({a, c});
    doc->SetModified(false);
    ASSERT_TRUE(sel->Copy());
    EXPECT_EQ(0, UndoCount());
    EXPECT_FALSE(doc->IsModified());
    ASSERT_TRUE(shell.clipboard.IsValid());
    // The clipboard holds copies, never the document's objects.
    const std::vector<CTreeNode*> held = Children(shell.clipboard->RetRoot());
    ASSERT_EQ(2u, held.size());
    EXPECT_NE(a->RetObject().Resolve(), held[0]->RetObject().Resolve());

    ASSERT_TRUE(sel->Paste());
    ASSERT_TRUE(sel->Paste());
    EXPECT_EQ(2, UndoCount());
    EXPECT_EQ(CUndoGroup::STEP_PASTE, LastOper());
    EXPECT_TRUE(doc->IsModified());
    std::vector<CTreeNode*> all = Children(layer);
    ASSERT_EQ(7u, all.size());
    // The second paste alone is selected: two copies, boxed.
    EXPECT_EQ(2, sel->GetSelectedCount());
    EXPECT_TRUE(sel->IsBoxShown());
    for (int i = 0; i < 7; i++)
        EXPECT_EQ(i >= 5 ? 1 : 0, CGraObjectRef(all[i]->RetObject())->GetEditMode()) << i;
    EXPECT_EQ(Handle(a, 0).x, CGraObjectRef(all[5]->RetObject())->GetHandlePosition(0).x);
    EXPECT_NE(all[3]->RetObject().Resolve(), all[5]->RetObject().Resolve());

    ASSERT_TRUE(sel->Undo());
    std::vector<CTreeNode*> left = Children(layer);
    EXPECT_EQ(std::vector<CTreeNode*>(all.begin(), all.begin() + 5), left);
}

TEST_F(CClipboardTest, CutThenUndoPutsTheObjectsBackInPlaceAndOrder)
{
    Select({a, c});
    ASSERT_TRUE(sel->Cut());
    EXPECT_EQ(CUndoGroup::STEP_CUT, LastOper());
    EXPECT_EQ(Nodes({b}), Children(layer));
    EXPECT_EQ(0, sel->GetSelectedCount());
    EXPECT_TRUE(doc->IsModified());
    EXPECT_TRUE(shell.enabled["ClipboardPaste"]);
    // The clipboard's copies have boxes of their own.
    const std::vector<CTreeNode*> held = Children(shell.clipboard->RetRoot());
    ASSERT_EQ(2u, held.size());
    const DRect box = CGraObjectRef(held[1]->RetObject())->GetBoundingBox();
    EXPECT_NEAR(120.0, box.x1, 2.0);
    EXPECT_NEAR(140.0, box.x2, 2.0);

    ASSERT_TRUE(sel->Undo());
    EXPECT_EQ(Nodes({a, b, c}), Children(layer));
}

TEST_F(CClipboardTest, DeleteRemovesTheSelectionAsOneStep)
{
    Select({b});
    ASSERT_TRUE(sel->DeleteSelected());
    EXPECT_EQ(CUndoGroup::STEP_DELETE, LastOper());
    EXPECT_EQ(Nodes({a, c}), Children(layer));
    EXPECT_EQ(0, sel->GetSelectedCount());
    EXPECT_EQ(0, shell.clipboardSets);
    ASSERT_TRUE(sel->Undo());
    EXPECT_EQ(Nodes({a, b, c}), Children(layer));
}

TEST_F(CClipboardTest, ACutInOneDocumentPastesIntoTheNext)
{
    Select({a});
    ASSERT_TRUE(sel->Cut());
    CDocumentRef other = Make<CDocumentRef>();
    other->Reset();
    CTreeNodeRef page = Make<CTreeNodeRef>();
    page->InsertLastChild(other->GetTree()->RetRoot());
    CTreeNodeRef otherLayer = Make<CTreeNodeRef>();
    otherLayer->SetObject(Make<CGraObjectRef>());
    otherLayer->InsertLastChild(page);
    sel->ClearUndo();
    sel->SetDocument(other);
    view->current_page = 0;
    ASSERT_TRUE(sel->Paste());
    ASSERT_EQ(1u, Children(otherLayer).size());
    EXPECT_EQ(Handle(a, 0).x, Object(otherLayer->RetFirstChild())->GetHandlePosition(0).x);
    sel->ClearUndo();
    sel->SetDocument(doc);
    otherLayer = page = CTreeNodeRef();
    other->Delete();
}

TEST_F(CClipboardTest, ADefinitionGivenWhileDrawingChangesOnlyTheNewObject)
{
    Select({a});
    CPenDefRef pen = Make<CPenDefRef>();
    shell.current[10] = pen;
    doc->SetModified(false);
    const int kFreePolygon = 13;
    ASSERT_TRUE(sel->CreatePress(DPoint{5, 5}, 0, kFreePolygon));
    sel->CreateAddPoint(DPoint{5, 5}, 0, false);
    ASSERT_TRUE(sel->IsCreating());
    const int kinds[] = {10};
    ASSERT_TRUE(sel->ApplyDefinitions(kinds, 1));
    EXPECT_EQ(0, UndoCount());
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(Nodes({a, b, c}), Children(layer));
    EXPECT_EQ(1, Mode(a));
    // The new object holds a copy of the pen made current.
    ZuObjectRef held;
    ASSERT_TRUE(sel->GetCreatedObject()->GetDefinition(10, held));
    EXPECT_TRUE(held.IsValid());
    sel->EndCreating();
}

TEST_F(CClipboardTest, ApplyingDefinitionsReplacesEachSelectedObjectByACopy)
{
    Select({a, c});
    shell.current[10] = Make<CPenDefRef>();
    const int kinds[] = {10};
    ASSERT_TRUE(sel->ApplyDefinitions(kinds, 1));
    EXPECT_EQ(CUndoGroup::STEP_DEFINITIONS, LastOper());
    const std::vector<CTreeNode*> now = Children(layer);
    ASSERT_EQ(3u, now.size());
    EXPECT_NE(a.Resolve(), now[0]);
    EXPECT_EQ(b.Resolve(), now[1]);
    EXPECT_NE(c.Resolve(), now[2]);
    EXPECT_EQ(2, sel->GetSelectedCount());
    EXPECT_TRUE(doc->IsModified());
    ASSERT_TRUE(sel->Undo());
    EXPECT_EQ(Nodes({a, b, c}), Children(layer));
}

TEST_F(CClipboardTest, PropertyChangesInARowLeaveOneStepThatRestoresTheFirstValue)
{
    Select({a});
    double before = 0.0;
    ASSERT_TRUE(Object(a)->GetPropertyValue(0, before));
    for (double v : {50.0, 60.0, 70.0})
        ASSERT_TRUE(sel->SetPropertyValue(0, 0, v, -1));
    EXPECT_EQ(1, UndoCount());
    EXPECT_EQ(CUndoGroup::STEP_PROPERTY, LastOper());
    CTreeNodeRef now;
    sel->GetFirstSelectedNode(now);
    double value = 0.0;
    ASSERT_TRUE(Object(now)->GetPropertyValue(0, value));
    EXPECT_DOUBLE_EQ(70.0, value);
    ASSERT_TRUE(sel->Undo());
    EXPECT_EQ(Nodes({a, b, c}), Children(layer));
    ASSERT_TRUE(Object(a)->GetPropertyValue(0, value));
    EXPECT_DOUBLE_EQ(before, value);
}

TEST_F(CClipboardTest, SeveralSelectedMoveByTheCentreAndTheSameCentreStillRecords)
{
    Select({a, b});
    sel->StartBox(DPoint{0, 0});
    sel->EndBox(DPoint{100, 50});
    const DPoint centre = PageToUserPoint(sel->GetCenter());
    ASSERT_TRUE(sel->SetPropertyValue(0, 0, centre.x, -1));
    EXPECT_EQ(1, UndoCount());
    std::vector<CTreeNode*> now = Children(layer);
    EXPECT_NE(a.Resolve(), now[0]);
    EXPECT_EQ(Handle(a, 0).x, CGraObjectRef(now[0]->RetObject())->GetHandlePosition(0).x);
    // Then y up by 10: the box and both copies follow.
    sel->ClearUndo();
    ASSERT_TRUE(sel->SetPropertyValue(0, 1, centre.y + 10.0, -1));
    now = Children(layer);
    EXPECT_NEAR(Handle(a, 0).y + 10.0, CGraObjectRef(now[0]->RetObject())->GetHandlePosition(0).y,
                1e-9);
    EXPECT_NEAR(10.0, sel->GetBoxCorner(0).y, 1e-9);
}

TEST_F(CClipboardTest, APointCommandReplacesEachSelectedObject)
{
    Select({b});
    ASSERT_TRUE(sel->EditPoints(0, 0, DPoint{70, 30}, 1));
    EXPECT_EQ(CUndoGroup::STEP_EDIT_POINTS, LastOper());
    EXPECT_NE(Nodes({a, b, c}), Children(layer));
    EXPECT_EQ(1, sel->GetSelectedCount());
    ASSERT_TRUE(sel->Undo());
    EXPECT_EQ(Nodes({a, b, c}), Children(layer));
}

TEST_F(CClipboardTest, ANewObjectEntersAsAStepOfItsOwn)
{
    CTreeNodeRef n = Make<CTreeNodeRef>();
    CGraRectRef r = Make<CGraRectRef>();
    const DPoint corners[2] = {{1, 1}, {2, 2}};
    r->SetPoints(corners, 2);
    n->SetObject(r);
    sel->InsertNewObject(n, layer);
    EXPECT_EQ(CUndoGroup::STEP_INSERT, LastOper());
    EXPECT_EQ(Nodes({a, b, c, n}), Children(layer));
    EXPECT_TRUE(doc->IsModified());
    ASSERT_TRUE(sel->Undo());
    EXPECT_EQ(Nodes({a, b, c}), Children(layer));
}

} // namespace
