// Drawing new objects point by point with the current definitions, and
// reshaping the one selected object by one of its own handles. Boxes are
// measured by the real interpreter.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/arrowdef.h"
#include "app/patterndef.h"
#include "tests/app/selecttest.h"

namespace {

// Object kinds of the drawing tools.
const int kRectangle = 11;
const int kFreePolygon = 13;
const int kText = 16;

class CCreatingTest : public CSelectObjectTest {
protected:
    void SetUp() override
    {
        CSelectObjectTest::SetUp();
        LiveEdit(200, 200);
    }
    // A rectangle drawn in one drag from p to q.
    bool DrawRect(DPoint p, DPoint q)
    {
        sel->CreatePress(p, 0, kRectangle);
        sel->CreateDrag(P((p.x + q.x) / 2, (p.y + q.y) / 2), 0);
        sel->CreateDrag(q, 0);
        const size_t before = Children(layer).size();
        sel->CreateAddPoint(q, 0, false);
        return Children(layer).size() == before + 1;
    }
    int LastOper() const
    {
        return CUndoGroupRef(sel->RetUndoList()->GetLast()->GetObject())->GetOper();
    }
};

TEST_F(CCreatingTest, ANewObjectTakesTheCurrentDefinitionsOfItsKindsOnly)
{
    CPenDefRef pen = Make<CPenDefRef>();
    pen->SetValue(CPenDef::KIND_PLAIN);
    pen->SetWidth(3.0);
    shell.current[10] = pen;
    shell.current[11] = Make<CPatternDefRef>(); // no use with a plain stroke
    shell.current[15] = Colour(1, 0, 0);
    shell.current[40] = Make<CArrowDefRef>(); // a rectangle has no arrows
    shell.current[100] = ShadowAt(CPositionDef::NO_SHADOW, 0, 0);
    shell.current[105] = Colour(0, 0, 1); // no shadow to colour
    doc->SetModified(false);

    ASSERT_TRUE(DrawRect(P(10, 10), P(50, 40)));
    EXPECT_FALSE(sel->IsCreating());
    EXPECT_TRUE(sel->GetCreatedObject().IsInvalid());
    const CTreeNodeRef node = layer->RetFirstChild();
    const CGraObjectRef o = Object(node);
    const CPenDefRef got = Pen(o);
    ASSERT_TRUE(got.IsValid());
    EXPECT_NE(pen.Resolve(), got.Resolve()) << "a copy of its own";
    EXPECT_TRUE(got->IsEqualCurrent(pen));
    EXPECT_EQ(3.0, got->GetWidth());
    EXPECT_TRUE(Def<CColorDefRef>(o, 15)->IsEqualCurrent(shell.current[15]));
    ZuObjectRef out;
    for (int pruned : {11, 105, 100}) {
        EXPECT_TRUE(o->GetDefinition(pruned, out)) << pruned;
        EXPECT_TRUE(out.IsInvalid()) << pruned;
    }
    EXPECT_FALSE(o->GetDefinition(40, out));
    // In the tree as one step of its own, measured, not selected.
    EXPECT_EQ(1, UndoCount());
    EXPECT_EQ(11, LastOper());
    EXPECT_TRUE(doc->IsModified());
    ExpectBox(o->GetBoundingBox(), 8.5, 8.5, 51.5, 41.5, 0.5);
    EXPECT_EQ(0, Mode(node));
    EXPECT_EQ(0, sel->GetSelectedCount());
    ASSERT_TRUE(sel->Undo());
    EXPECT_TRUE(Children(layer).empty());
}

TEST_F(CCreatingTest, AnObjectOfSeveralPointsIsKeptWhenItHasEnoughAndSelectedWhenAsked)
{
    struct Case {
        const char* what;
        std::vector<DPoint> points; // after the first press
        bool select;
        bool selectNew; // the view settings' switch
        bool kept;
    } const cases[] = {
        {"two points, not selected", {P(60, 10)}, false, false, true},
        {"three points, selected", {P(60, 10), P(60, 60)}, true, false, true},
        {"selected by the view settings", {P(60, 10)}, false, true, true},
        {"one point: dropped", {}, true, true, false},
    };
    for (const Case& c : cases) {
        sel->EndSelection();
        layer->RemoveAllChildren();
        sel->ClearUndo();
        view->switches[CView::SELECT_NEW_OBJECTS] = c.selectNew;
        EXPECT_TRUE(sel->CreatePress(P(10, 10), 0, kFreePolygon)) << c.what;
        EXPECT_FALSE(sel->IsCreating()) << c.what;
        ASSERT_TRUE(sel->GetCreatedObject().IsValid()) << c.what;
        const CGraObject* made = sel->GetCreatedObject().Resolve();
        // The first release takes the point pressed.
        sel->CreateAddPoint(P(10, 10), 0, false);
        EXPECT_TRUE(sel->IsCreating()) << c.what;
        for (const DPoint& p : c.points) {
            sel->CreatePress(p, 0, kFreePolygon);
            EXPECT_EQ(made, sel->GetCreatedObject().Resolve()) << c.what << ": the same object";
            sel->CreateDrag(p, 0);
            sel->CreateAddPoint(p, 0, false);
        }
        EXPECT_TRUE(Children(layer).empty()) << c.what;
        EXPECT_EQ(c.kept, sel->CreateFinish(c.select)) << c.what;
        EXPECT_FALSE(sel->IsCreating()) << c.what;
        EXPECT_EQ(c.kept ? 1u : 0u, Children(layer).size()) << c.what;
        EXPECT_EQ(c.kept ? 1 : 0, UndoCount()) << c.what;
        const bool selected = c.kept && (c.select || c.selectNew);
        EXPECT_EQ(selected ? 1 : 0, sel->GetSelectedCount()) << c.what;
        if (c.kept) {
            EXPECT_EQ(made, Object(layer->RetFirstChild()).Resolve()) << c.what;
            EXPECT_EQ(int(c.points.size()) + 1,
                      Object(layer->RetFirstChild())->GetHandleCount() / 3)
                << c.what;
        }
    }
}

TEST_F(CCreatingTest, ALineOfTextIsToldFromOtherObjectsBeingMade)
{
    EXPECT_FALSE(sel->IsCreatingText());
    sel->CreatePress(P(10, 10), 0, kText);
    EXPECT_TRUE(sel->IsCreatingText());
    sel->EndCreating();
    sel->CreatePress(P(10, 10), 0, kRectangle);
    EXPECT_FALSE(sel->IsCreatingText());
    EXPECT_EQ(0, UndoCount());
}

TEST_F(CCreatingTest, AHandleEditIsOneStepWhoseUndoRestoresTheShapeBeforeThePress)
{
    ASSERT_TRUE(DrawRect(P(10, 10), P(50, 40)));
    // One step on the redo list, which the edit empties.
    ASSERT_TRUE(sel->Undo());
    ASSERT_TRUE(sel->Redo());
    ASSERT_TRUE(sel->Undo());
    ASSERT_EQ(1, RedoCount());
    CTreeNodeRef r = Rect(layer, 10, 10, 50, 40);
    const CGraObject* original = Object(r).Resolve();
    sel->SelectOnly(r);
    shell.propertiesShown = true;
    const DPoint corner = Object(r)->GetHandlePosition(1);
    doc->SetModified(false);

    ASSERT_EQ(1, RedoCount());
    // Pressed a little off the handle.
    sel->BeginHandleEdit(1, P(corner.x + 0.4, corner.y - 0.3));
    sel->HandleEditDrag(P(70, 60), 0);
    EXPECT_EQ(70.0, Object(r)->GetHandlePosition(1).x) << "changed live";
    ASSERT_EQ(1u, shell.refreshed.size());
    EXPECT_EQ(original, shell.refreshed[0]);
    ASSERT_TRUE(sel->HandleEditRelease(P(80, 90), 0));
    EXPECT_EQ(0, RedoCount());
    EXPECT_EQ(1, UndoCount());
    EXPECT_EQ(30, LastOper());
    EXPECT_TRUE(doc->IsModified());
    const CTreeNodeRef copy = layer->RetFirstChild();
    EXPECT_NE(r.Resolve(), copy.Resolve());
    EXPECT_EQ(1, Mode(copy));
    EXPECT_EQ(80.0, Object(copy)->GetHandlePosition(1).x);
    EXPECT_EQ(90.0, Object(copy)->GetHandlePosition(1).y);
    // Measured again: its box reaches the handle moved.
    EXPECT_NEAR(81.5, Object(copy)->GetBoundingBox().x2, 0.5);
    EXPECT_NEAR(91.5, Object(copy)->GetBoundingBox().y2, 0.5);
    EXPECT_EQ(Object(copy).Resolve(), shell.refreshed.back());

    ASSERT_TRUE(sel->Undo());
    EXPECT_EQ(Nodes({r}), Children(layer));
    EXPECT_EQ(original, Object(r).Resolve());
    EXPECT_EQ(corner.x, Object(r)->GetHandlePosition(1).x);
    EXPECT_EQ(corner.y, Object(r)->GetHandlePosition(1).y);
    EXPECT_EQ(1, sel->GetSelectedCount());

    // Without a press first, or with two objects selected: nothing.
    EXPECT_FALSE(sel->HandleEditRelease(P(5, 5), 0));
    sel->AddToSelection(Rect(layer, 100, 100, 110, 110));
    sel->BeginHandleEdit(1, corner);
    sel->HandleEditDrag(P(5, 5), 0);
    EXPECT_FALSE(sel->HandleEditRelease(P(5, 5), 0));
    EXPECT_EQ(corner.x, Object(r)->GetHandlePosition(1).x);
}

} // namespace
