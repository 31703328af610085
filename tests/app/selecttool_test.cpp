// The selection tool: a press replaces the selected objects by copies in a
// new step, drags move, scale, rotate or deform the copies, and the release
// keeps the step or, at the press point, takes it back. Boxes are measured
// by the real interpreter.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/app/selecttest.h"

namespace {

const double kStep = 0.3926990816875; // 22.5 degrees
const int kShift = 2;

class CSelectToolTest : public CSelectObjectTest {
protected:
    void SetUp() override
    {
        CSelectObjectTest::SetUp();
        LiveEdit(200, 200);
        a = Rect(layer, 10, 10, 40, 30);
        b = Rect(layer, 60, 20, 100, 50);
        sel->SelectOnly(a);
        sel->AddToSelection(b);
        // A box of round numbers around both.
        sel->StartBox(P(0, 0));
        sel->EndBox(P(100, 50));
    }
    void TearDown() override
    {
        a = b = CTreeNodeRef();
        CSelectObjectTest::TearDown();
    }
    // The rectangle spanned by an object's four corner handles.
    static DRect Corners(const CTreeNodeRef& n)
    {
        const CGraObjectRef o = Object(n);
        DRect r{1e9, 1e9, -1e9, -1e9};
        for (int i = 0; i < 4; i++) {
            const DPoint p = o->GetHandlePosition(i);
            r = DRect{std::fmin(r.x1, p.x), std::fmin(r.y1, p.y), std::fmax(r.x2, p.x),
                      std::fmax(r.y2, p.y)};
        }
        return r;
    }
    // The oper of the newest undo step.
    int LastOper() const
    {
        return CUndoGroupRef(sel->RetUndoList()->GetLast()->GetObject())->GetOper();
    }
    // A step that replaces each selected object by a copy of itself, as
    // applying a definition does.
    void CopyStep()
    {
        sel->OpenUndoGroup(100, true);
        for (CTreeNodeRef c = layer->RetFirstChild(); c.IsValid();) {
            const CTreeNodeRef next = c->RetNext();
            if (Mode(c) != 0) {
                CGraObjectRef copy = NewGraObject(Object(c)->RetRuntime());
                CTreeNodeRef n = Make<CTreeNodeRef>();
                n->SetObject(copy);
                copy->CopyFrom(Object(c));
                CUndoActionRef action = Make<CUndoActionRef>();
                action->RecordReplace(n, c);
                sel->AddUndoAction(action);
            }
            c = next;
        }
    }
    CTreeNodeRef a, b;
};

TEST_F(CSelectToolTest, PressAndReleaseInPlaceLeaveTheTreeAndTheUndoListAsBefore)
{
    struct Case {
        int mode, handle;
        DPoint at;
    } const cases[] = {
        {90, -1, P(20, 20)}, {90, 0, P(1, 1)},     {90, 5, P(50, 49)},
        {91, 1, P(99, 49)},  {92, 3, P(100, 0.5)}, {95, 7, P(65, 50)},
    };
    for (const Case& c : cases) {
        // A step on the redo list, which the press empties.
        CTreeNodeRef extra = Rect(layer, 150, 150, 160, 160);
        sel->SelectOnly(extra);
        DeleteSelected();
        ASSERT_TRUE(sel->Undo());
        ASSERT_EQ(1, RedoCount());
        sel->SelectOnly(a);
        sel->AddToSelection(b);
        sel->StartBox(P(0, 0));
        sel->EndBox(P(100, 50));
        sel->SetBoxHandleMode(c.mode);
        doc->SetModified(false);
        const std::vector<CTreeNode*> before = Children(layer);
        const DRect boxA = Object(a)->GetBoundingBox();

        EXPECT_TRUE(sel->SelectPress(c.at, 0, c.handle)) << c.mode << " " << c.handle;
        EXPECT_EQ(0, RedoCount());
        EXPECT_EQ(1, UndoCount());
        EXPECT_FALSE(sel->SelectRelease(c.at, 0, c.handle));
        EXPECT_EQ(before, Children(layer)) << c.mode << " " << c.handle;
        EXPECT_EQ(0, UndoCount());
        EXPECT_EQ(0, RedoCount());
        EXPECT_FALSE(doc->IsModified());
        EXPECT_EQ(2, sel->GetSelectedCount());
        ExpectBox(Object(a)->GetBoundingBox(), boxA.x1, boxA.y1, boxA.x2, boxA.y2, 0.0);
        ExpectCorners(sel, {P(0, 0), P(100, 50), P(0, 50), P(100, 0)}, "box as before");
        sel->EndSelection();
        extra->Unlink();
        sel->ClearUndo();
    }
}

TEST_F(CSelectToolTest, DuringAMoveTheCopiesStandInTheTreeAndUndoBringsBackTheOriginals)
{
    layer->RemoveAllChildren();
    CTreeNodeRef r = Rect(layer, 20, 20, 60, 60);
    Def<CPenDefRef>(Object(r), 10)->SetWidth(4.0);
    Object(r)->UpdateBoundingBox(port);
    const CGraObject* original = Object(r).Resolve();
    sel->SelectOnly(r);
    shell.propertiesShown = true;
    auto render = [this]() {
        port->ErasePage();
        for (CTreeNodeRef c = layer->RetFirstChild(); c.IsValid(); c = c->RetNext())
            Object(c)->Draw(port, 3);
        port->Flush();
    };
    const std::vector<int> white{255, 255, 255};
    render();
    EXPECT_NE(white, Pixel(20, 40));

    ASSERT_TRUE(sel->SelectPress(P(40, 40), 0, -1));
    ASSERT_TRUE(sel->SelectDrag(P(90, 45), kShift, -1)); // held horizontal
    ASSERT_EQ(1u, Children(layer).size());
    const CTreeNodeRef copy = layer->RetFirstChild();
    EXPECT_NE(r.Resolve(), copy.Resolve());
    EXPECT_TRUE(r->RetParent().IsInvalid()) << "the original lives in the step only";
    EXPECT_EQ(1, Mode(copy));
    ASSERT_EQ(1u, shell.refreshed.size()) << "the properties follow the moving copy";
    EXPECT_EQ(Object(copy).Resolve(), shell.refreshed[0]);
    render();
    EXPECT_EQ(white, Pixel(20, 40));
    EXPECT_NE(white, Pixel(70, 40));

    ASSERT_TRUE(sel->SelectRelease(P(90, 45), kShift, -1));
    EXPECT_EQ(1, UndoCount());
    EXPECT_EQ(30, LastOper());
    EXPECT_TRUE(doc->IsModified());
    ExpectBox(Object(copy)->GetBoundingBox(), 68, 18, 112, 62, 0.5);
    EXPECT_EQ(1, sel->GetSelectedCount());
    ASSERT_TRUE(sel->Undo());
    ASSERT_EQ(1u, Children(layer).size());
    EXPECT_EQ(r.Resolve(), layer->RetFirstChild().Resolve());
    EXPECT_EQ(original, Object(layer->RetFirstChild()).Resolve());
    ExpectBox(Object(r)->GetBoundingBox(), 18, 18, 62, 62, 0.5);
}

TEST_F(CSelectToolTest, HandlesInModeNinetyScaleOneAxisOrBoth)
{
    struct Case {
        int handle;
        DPoint press, to;
        DRect wantA; // a's corners after: was (10, 10)-(40, 30)
    } const cases[] = {
        // The bottom middle pulled down: y doubles about y = 50.
        {4, P(50, 0), P(50, -50), {10, -30, 40, 10}},
        // The left middle pulled left: x doubles about x = 100.
        {6, P(0, 25), P(-100, 40), {-80, 10, -20, 30}},
        // Corner 0 pulled left, held on the diagonal: both double.
        {0, P(0, 0), P(-100, 7), {-80, -30, -20, 10}},
    };
    for (const Case& c : cases) {
        sel->SetBoxHandleMode(90);
        ASSERT_TRUE(sel->SelectPress(c.press, 0, c.handle));
        ASSERT_TRUE(sel->SelectRelease(c.to, 0, c.handle));
        EXPECT_EQ(31, LastOper());
        const CTreeNodeRef copyA = layer->RetFirstChild();
        const DRect got = Corners(copyA);
        ExpectBox(got, c.wantA.x1, c.wantA.y1, c.wantA.x2, c.wantA.y2, 1e-9);
        ASSERT_TRUE(sel->Undo());
        ExpectBox(Corners(a), 10, 10, 40, 30, 0.0);
        sel->StartBox(P(0, 0));
        sel->EndBox(P(100, 50));
    }
    // A box without height (around a horizontal line, say) scales along x
    // only instead of flattening everything onto its line.
    sel->StartBox(P(0, 20));
    sel->EndBox(P(100, 20));
    ASSERT_TRUE(sel->SelectPress(P(0, 20), 0, 0));
    ASSERT_TRUE(sel->SelectRelease(P(-100, 35), 0, 0));
    EXPECT_EQ(1.0, sel->GetChangeRecord().c.y);
    ExpectBox(Corners(layer->RetFirstChild()), -80, 10, -20, 30, 1e-9);
}

TEST_F(CSelectToolTest, RotationWithShiftTurnsInStepsOfTwentyTwoAndAHalfDegrees)
{
    sel->SetBoxHandleMode(91);
    const DPoint centre = sel->GetBoxCentre();
    ASSERT_EQ(50.0, centre.x);
    ASSERT_EQ(25.0, centre.y);
    struct Case {
        double steps; // where the pointer turned to, in steps
        int modifiers;
        double want; // the angle, in steps
    } const cases[] = {
        {0.7, kShift, 0},  {0.85, kShift, 1}, {1.7, kShift, 1},
        {1.85, kShift, 2}, {0.7, 0, 0.7},     {3.3, 0, 3.3},
    };
    for (const Case& c : cases) {
        const DPoint press = P(100, 50);
        ASSERT_TRUE(sel->SelectPress(press, 0, 1));
        const DPoint to = RotatePoint(press, centre, c.steps * kStep);
        ASSERT_TRUE(sel->SelectDrag(to, c.modifiers, 1));
        EXPECT_EQ(3, sel->GetChangeRecord().kind);
        // Angles are measured with the program's own 2 pi.
        EXPECT_NEAR(c.want * kStep, sel->GetChangeRecord().c.x, 1e-7) << c.steps;
        // The box turns with the objects.
        const DPoint corner = RotatePoint(P(100, 50), centre, c.want * kStep);
        EXPECT_NEAR(corner.x, sel->GetBoxCorner(1).x, 1e-6) << c.steps;
        EXPECT_NEAR(corner.y, sel->GetBoxCorner(1).y, 1e-6) << c.steps;
        ASSERT_TRUE(sel->SelectRelease(to, c.modifiers, 1));
        EXPECT_EQ(32, LastOper());
        ASSERT_TRUE(sel->Undo());
    }
}

TEST_F(CSelectToolTest, MovingTheRotationCentreIsOneStepWhoseUndoPutsItBack)
{
    sel->SetBoxHandleMode(91);
    const DRect boxA = Object(a)->GetBoundingBox();
    ASSERT_TRUE(sel->SelectPress(P(50, 25), 0, 4));
    ASSERT_TRUE(sel->SelectDrag(P(60, 30), 0, 4));
    ASSERT_TRUE(sel->SelectRelease(P(70, 40), 0, 4));
    EXPECT_EQ(70.0, sel->GetBoxCentre().x);
    EXPECT_EQ(40.0, sel->GetBoxCentre().y);
    ExpectCorners(sel, {P(0, 0), P(100, 50), P(0, 50), P(100, 0)}, "the box stays");
    EXPECT_EQ(1, UndoCount());
    EXPECT_EQ(32, LastOper());
    const CTreeNodeRef copyA = layer->RetFirstChild();
    ExpectBox(Object(copyA)->GetBoundingBox(), boxA.x1, boxA.y1, boxA.x2, boxA.y2, 0.0);
    ExpectBox(Corners(copyA), 10, 10, 40, 30, 0.0);

    ASSERT_TRUE(sel->Undo());
    EXPECT_EQ(50.0, sel->GetBoxCentre().x);
    EXPECT_EQ(25.0, sel->GetBoxCentre().y);
    EXPECT_EQ(Nodes({a, b}), Children(layer));
    ExpectBox(Corners(a), 10, 10, 40, 30, 0.0);
    EXPECT_EQ(2, sel->GetSelectedCount());
}

TEST_F(CSelectToolTest, AnEnvelopeCornerCarriesTheEdgePointsOfItsTwoEdges)
{
    sel->StartBox(P(0, 0));
    sel->EndBox(P(90, 30));
    sel->SetBoxHandleMode(95);
    ASSERT_TRUE(sel->SelectPress(P(0, 0), 0, 0));
    EXPECT_EQ(33, LastOper());
    const std::vector<DPoint> thirds = {P(30, 0),  P(60, 0),  P(90, 10), P(90, 20),
                                        P(60, 30), P(30, 30), P(0, 20),  P(0, 10)};
    for (int j = 0; j < 8; j++) {
        EXPECT_NEAR(thirds[size_t(j)].x, sel->GetHandlePoint(4 + j).x, 1e-9) << j;
        EXPECT_NEAR(thirds[size_t(j)].y, sel->GetHandlePoint(4 + j).y, 1e-9) << j;
    }
    ASSERT_TRUE(sel->SelectDrag(P(-30, -30), 0, 0));
    // Edges 0-3 and 2-0 follow the corner; the others stay.
    const std::vector<DPoint> want = {P(10, -20), P(50, -10), P(90, 10),  P(90, 20),
                                      P(60, 30),  P(30, 30),  P(-10, 10), P(-20, -10)};
    for (int j = 0; j < 8; j++) {
        EXPECT_NEAR(want[size_t(j)].x, sel->GetHandlePoint(4 + j).x, 1e-9) << j;
        EXPECT_NEAR(want[size_t(j)].y, sel->GetHandlePoint(4 + j).y, 1e-9) << j;
    }
    EXPECT_EQ(-30.0, sel->GetBoxCorner(0).x);
    // An edge point is dragged on its own.
    ASSERT_TRUE(sel->SelectDrag(P(95, 15), 0, 6));
    EXPECT_EQ(95.0, sel->GetHandlePoint(6).x);
    EXPECT_EQ(20.0, sel->GetHandlePoint(7).y);
    ASSERT_TRUE(sel->SelectRelease(P(95, 15), 0, 6));
    EXPECT_EQ(1, UndoCount());
}

TEST_F(CSelectToolTest, ADeformationGoesOnOnlyWhileItsStepIsTheNewest)
{
    sel->SetBoxHandleMode(92);
    ASSERT_TRUE(sel->SelectPress(P(100, 50), 0, 1));
    ASSERT_TRUE(sel->SelectRelease(P(120, 70), 0, 1));
    ASSERT_EQ(1, UndoCount());
    const std::vector<CTreeNode*> copies = Children(layer);
    const DRect shaped = Corners(layer->RetFirstChild());

    // Clicked in place on the corner handle: nothing changes, the finished
    // step stays.
    EXPECT_FALSE(sel->SelectPress(P(120.3, 70.2), 0, 1));
    EXPECT_FALSE(sel->SelectRelease(P(120.3, 70.2), 0, 1));
    EXPECT_EQ(1, UndoCount());
    EXPECT_EQ(copies, Children(layer));
    ExpectBox(Corners(layer->RetFirstChild()), shaped.x1, shaped.y1, shaped.x2, shaped.y2, 0.0);
    EXPECT_EQ(120.0, sel->GetBoxCorner(1).x);
    EXPECT_EQ(70.0, sel->GetBoxCorner(1).y);

    // Dragged again at once: the same step goes on with the same copies.
    EXPECT_FALSE(sel->SelectPress(P(120, 70), 0, 1));
    ASSERT_TRUE(sel->SelectRelease(P(140, 90), 0, 1));
    EXPECT_EQ(1, UndoCount());
    EXPECT_EQ(copies, Children(layer));
    EXPECT_EQ(140.0, sel->GetBoxCorner(1).x);
    const DRect further = Corners(layer->RetFirstChild());
    EXPECT_NE(shaped.x2, further.x2);

    // Another step since: the press opens a step of its own, copying the
    // other step's objects, whose shape it leaves alone.
    CopyStep();
    const std::vector<CTreeNode*> others = Children(layer);
    ASSERT_TRUE(sel->SelectPress(P(140, 90), 0, 1));
    EXPECT_EQ(3, UndoCount());
    ASSERT_TRUE(sel->SelectRelease(P(150, 100), 0, 1));
    EXPECT_EQ(3, UndoCount());
    ASSERT_TRUE(sel->Undo());
    EXPECT_EQ(others, Children(layer));
    ExpectBox(Corners(layer->RetFirstChild()), further.x1, further.y1, further.x2, further.y2, 0.0);

    // Undoing back to the first step brings the original objects.
    ASSERT_TRUE(sel->Undo());
    ASSERT_TRUE(sel->Undo());
    EXPECT_EQ(Nodes({a, b}), Children(layer));
    ExpectBox(Corners(a), 10, 10, 40, 30, 0.0);
    // Its press no longer leads anywhere: a click on the handle in place is
    // a step of its own, taken back.
    sel->StartBox(P(0, 0));
    sel->EndBox(P(100, 50));
    EXPECT_TRUE(sel->SelectPress(P(100, 50), 0, 1));
    EXPECT_FALSE(sel->SelectRelease(P(100, 50), 0, 1));
    EXPECT_EQ(0, UndoCount());
    EXPECT_EQ(Nodes({a, b}), Children(layer));
}

TEST_F(CSelectToolTest, WithoutAPressOrASelectionTheToolDoesNothing)
{
    EXPECT_FALSE(sel->SelectDrag(P(5, 5), 0, -1));
    EXPECT_FALSE(sel->SelectRelease(P(5, 5), 0, -1));
    sel->EndSelection();
    EXPECT_FALSE(sel->SelectPress(P(5, 5), 0, -1));
    EXPECT_FALSE(sel->SelectRelease(P(50, 5), 0, -1));
    EXPECT_EQ(0, UndoCount());
    EXPECT_EQ(Nodes({a, b}), Children(layer));
}

} // namespace
