// The editing engine of a page view: undo and redo of recorded steps, the
// selection set, entered groups, the edited box and its handles, command
// states and the trace. Objects are groups with a rectangle (whose box needs
// no interpreter) and lines of text; the ports write to a recorder.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "tests/app/selecttest.h"
#include "tests/support/debugcapture.h"

namespace {
// ---------------------------------------------------------------- undo and redo lists

TEST_F(CSelectObjectTest, DeletedObjectsComeBackInTheirPlacesAndGoAgainOnRedo)
{
    // With an unselected object before them, and as the first children.
    for (bool leading : {true, false}) {
        std::vector<CTreeNodeRef> before;
        if (leading)
            before.push_back(Box(layer, 0, 0, 1, 1));
        CTreeNodeRef a = Box(layer, 1, 1, 2, 2), b = Box(layer, 2, 2, 3, 3),
                     c = Box(layer, 3, 3, 4, 4), y = Box(layer, 4, 4, 5, 5);
        std::vector<CTreeNodeRef> all = before;
        all.insert(all.end(), {a, b, c, y});
        Select({a, b, c});
        ASSERT_EQ(3, sel->GetSelectedCount());
        DeleteSelected();
        before.push_back(y);
        EXPECT_EQ(Nodes(before), Children(layer));
        doc->SetModified(false);

        ASSERT_TRUE(sel->Undo());
        EXPECT_EQ(Nodes(all), Children(layer)) << leading;
        EXPECT_EQ(3, sel->GetSelectedCount());
        EXPECT_EQ(0, UndoCount());
        EXPECT_EQ(1, RedoCount());
        EXPECT_TRUE(doc->IsModified());

        ASSERT_TRUE(sel->Redo());
        EXPECT_EQ(Nodes(before), Children(layer)) << leading;
        EXPECT_EQ(0, sel->GetSelectedCount());
        EXPECT_EQ(1, UndoCount());
        EXPECT_EQ(0, RedoCount());
        // Clean the layer for the next round.
        sel->ClearUndo();
        for (const CTreeNodeRef& n : before) {
            n->Unlink();
            n->Delete();
        }
    }
}

TEST_F(CSelectObjectTest, ANewStepEmptiesTheRedoListARedoDoesNot)
{
    CTreeNodeRef p = Box(layer, 0, 0, 1, 1), q = Box(layer, 1, 1, 2, 2);
    Select({p});
    DeleteSelected();
    Select({q});
    DeleteSelected();
    EXPECT_TRUE(shell.enabled["Undo"]);
    EXPECT_FALSE(shell.enabled["Redo"]);
    ASSERT_TRUE(sel->Undo());
    ASSERT_TRUE(sel->Undo());
    EXPECT_EQ(2, RedoCount());
    EXPECT_FALSE(shell.enabled["Undo"]);
    EXPECT_TRUE(shell.enabled["Redo"]);
    ASSERT_TRUE(sel->Redo());
    EXPECT_EQ(1, RedoCount());
    EXPECT_EQ(1, UndoCount());
    EXPECT_TRUE(shell.enabled["Undo"]);
    EXPECT_TRUE(shell.enabled["Redo"]);
    sel->EndSelection();
    Select({q});
    DeleteSelected();
    EXPECT_EQ(0, RedoCount());
    EXPECT_EQ(2, UndoCount());
    EXPECT_FALSE(shell.enabled["Redo"]);
}

TEST_F(CSelectObjectTest, UndoOrRedoOnAnEmptyListAnswersFalseAndChangesNothing)
{
    CTreeNodeRef a = Box(layer, 0, 0, 1, 1);
    Select({a});
    shell.calls.clear();
    EXPECT_FALSE(sel->Undo());
    EXPECT_FALSE(sel->Redo());
    EXPECT_EQ(1, sel->GetSelectedCount());
    EXPECT_EQ(1, Mode(a));
    EXPECT_EQ(Nodes({a}), Children(layer));
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(0, UndoCount());
    EXPECT_EQ(0, RedoCount());
    EXPECT_TRUE(shell.calls.empty());
}

TEST_F(CSelectObjectTest, CancellingTheLastStepRestoresTheTreeAndLeavesNoTrace)
{
    CTreeNodeRef a = Box(layer, 0, 0, 1, 1), b = Box(layer, 1, 1, 2, 2), c = Box(layer, 2, 2, 3, 3);
    // One step on the redo list that the cancelling must leave alone.
    Select({c});
    DeleteSelected();
    ASSERT_TRUE(sel->Undo());
    ASSERT_EQ(1, RedoCount());
    sel->EndSelection();
    doc->SetModified(false);

    std::vector<CTreeNodeRef> fresh = ReplaceEach(30, {a, b}, false);
    // The engine has gone into a group since the step began at the top.
    Select({fresh[0]});
    ASSERT_TRUE(sel->GroupGoIn());
    ASSERT_EQ(1, sel->GetEnteredDepth());
    ASSERT_EQ(1, UndoCount());
    sel->CancelLastUndoGroup();
    EXPECT_EQ(Nodes({a, b, c}), Children(layer));
    EXPECT_EQ(0, UndoCount());
    EXPECT_EQ(1, RedoCount());
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(0, sel->GetEnteredDepth());
    EXPECT_FALSE(shell.enabled["Undo"]);
    // Nothing to cancel: nothing happens.
    sel->CancelLastUndoGroup();
    EXPECT_EQ(Nodes({a, b, c}), Children(layer));
}

TEST_F(CSelectObjectTest, TwoDefinitionStepsOnTheSameObjectsFoldIntoOne)
{
    struct Case {
        const char* what;
        int second;     // code of the second step
        bool sameCount; // the second step replaces both objects again
        bool folds;
    } const cases[] = {
        {"code 100 twice", 100, true, true},
        {"another code", 120, true, false},
        {"another count", 100, false, false},
    };
    for (const Case& c : cases) {
        CTreeNodeRef a = Box(layer, 0, 0, 1, 1), b = Box(layer, 1, 1, 2, 2);
        sel->StartBox(P(1, 1));
        sel->EndBox(P(2, 2));
        std::vector<CTreeNodeRef> first = ReplaceEach(100, {a, b});
        EXPECT_FALSE(sel->MergeLastUndoGroups()) << "a single step";
        sel->StartBox(P(5, 5));
        sel->EndBox(P(6, 6));
        std::vector<CTreeNodeRef> second =
            ReplaceEach(c.second, c.sameCount ? first : std::vector<CTreeNodeRef>{first[0]});
        EXPECT_EQ(c.folds, sel->MergeLastUndoGroups()) << c.what;
        EXPECT_EQ(c.folds ? 1 : 2, UndoCount()) << c.what;
        if (c.folds) {
            CUndoGroupRef g(sel->RetUndoList()->GetLast()->GetObject());
            CSavedState state;
            g->GetSavedState(state);
            EXPECT_EQ(1.0, state.corners[0].x) << "the state from before the first step";
            // One undo goes back over both steps.
            ASSERT_TRUE(sel->Undo());
            EXPECT_EQ(Nodes({a, b}), Children(layer));
            EXPECT_EQ(1.0, sel->GetBoxCorner(0).x);
            EXPECT_EQ(0, UndoCount());
        }
        sel->ClearUndo();
        layer->RemoveAllChildren();
    }
    EXPECT_FALSE(sel->MergeLastUndoGroups()) << "no step";
}

TEST_F(CSelectObjectTest, UndoGivesBackTheStepsStateAndRefreshesThePalettesWhenPagesChanged)
{
    CTreeNodeRef group = Box(layer, 0, 0, 10, 10);
    CTreeNodeRef member = Box(group, 1, 1, 2, 2);
    Select({group});
    ASSERT_TRUE(sel->GroupGoIn());
    sel->SetBoxHandleMode(92);
    sel->StartBox(P(1, 2));
    sel->EndBox(P(3, 4));
    sel->SetBoxShown(true);
    Select({member});
    DeleteSelected(10);
    // Elsewhere since: out of the group, another mode, another box.
    sel->GroupGoOut();
    sel->SetBoxHandleMode(90);
    sel->StartBox(P(9, 9));
    sel->EndBox(P(9, 9));
    ASSERT_TRUE(sel->Undo());
    EXPECT_EQ(1, sel->GetEnteredDepth());
    EXPECT_EQ(group.Resolve(), sel->GetEnteredGroup().Resolve());
    EXPECT_EQ(92, sel->GetBoxHandleMode());
    ExpectCorners(sel, {P(1, 2), P(3, 4), P(1, 4), P(3, 2)}, "the saved box");
    EXPECT_EQ(1, sel->GetSelectedCount());
    EXPECT_EQ(0, shell.pageUpdates) << "same page and layer, not a page step";
    sel->EndSelection();
    while (sel->GroupGoOut()) {}
    sel->ClearUndo();

    // Page and layer steps refresh both palettes, so does a step whose page
    // differs from the current one.
    struct Case {
        int oper;
        int savedPage;
        bool refresh;
    } const cases[] = {{201, 0, true},  {200, 0, true}, {203, 0, true}, {204, 0, true},
                       {202, 0, false}, {10, 1, true},  {10, 0, false}};
    for (const Case& c : cases) {
        view->current_page = c.savedPage;
        sel->OpenUndoGroup(c.oper, true);
        view->current_page = 0;
        shell.pageUpdates = shell.layerUpdates = 0;
        ASSERT_TRUE(sel->Undo());
        EXPECT_EQ(c.savedPage, view->current_page) << c.oper;
        EXPECT_EQ(c.refresh ? 1 : 0, shell.pageUpdates) << c.oper << " " << c.savedPage;
        EXPECT_EQ(c.refresh ? 1 : 0, shell.layerUpdates) << c.oper << " " << c.savedPage;
        view->current_page = 0;
        sel->ClearUndo();
    }
}

TEST_F(CSelectObjectTest, UndoMeasuresTheGroupsAroundThePlaceItChanged)
{
    CTreeNodeRef outer = Box(layer, 0, 0, 1, 1);
    CTreeNodeRef group = Box(outer, 0, 0, 1, 1);
    CTreeNodeRef first = Box(group, 10, 10, 20, 20);
    Box(group, 30, 30, 40, 40);
    Box(outer, 50, 50, 60, 60);
    auto box = [](const CTreeNodeRef& n) { return Object(n)->GetBoundingBox(); };
    // A member's change measures every group around it.
    sel->UpdateEnclosingBoxes(first, true);
    EXPECT_EQ(10.0, box(group).x1);
    EXPECT_EQ(10.0, box(outer).x1);
    EXPECT_EQ(60.0, box(outer).x2);

    // A group of the layer loses its first member, which undo brings back:
    // the group is measured again.
    CTreeNodeRef lone = Box(layer, 0, 0, 1, 1);
    CTreeNodeRef member = Box(lone, 10, 10, 20, 20);
    Box(lone, 30, 30, 40, 40);
    Object(lone)->UpdateBoundingBox(port);
    Select({lone});
    ASSERT_TRUE(sel->GroupGoIn());
    Select({member});
    DeleteSelected();
    sel->UpdateEnclosingBoxes(lone, true);
    EXPECT_EQ(30.0, box(lone).x1);
    ASSERT_TRUE(sel->Undo());
    EXPECT_EQ(10.0, box(lone).x1);
}

// ---------------------------------------------------------------- the selection set

TEST_F(CSelectObjectTest, EndingTheSelectionDropsOnlyAnEmptyTextInItsOwnEditing)
{
    EXPECT_FALSE(sel->EndSelection());
    CTreeNodeRef empty = Text(layer, "", 2);
    CTreeNodeRef full = Text(layer, "abc", 2);
    // An object without text, in its own points: kept.
    CTreeNodeRef shape = Box(layer, 0, 0, 1, 1, 2);
    CTreeNodeRef plain = Box(layer, 1, 1, 2, 2, 1);
    CTreeNodeRef emptyNotEdited = Text(layer, "", 1);
    CTreeNodeRef unselected = Box(layer, 2, 2, 3, 3);
    sel->RebuildSelection();
    ASSERT_EQ(5, sel->GetSelectedCount());
    EXPECT_TRUE(sel->EndSelection());
    EXPECT_EQ(Nodes({full, shape, plain, emptyNotEdited, unselected}), Children(layer));
    for (const CTreeNodeRef& n : {full, shape, plain, emptyNotEdited, unselected})
        EXPECT_EQ(0, Mode(n));
    EXPECT_EQ(0, sel->GetSelectedCount());
    EXPECT_FALSE(sel->IsEditingObject());
    EXPECT_EQ(0, UndoCount());
    EXPECT_FALSE(sel->EndSelection());
}

TEST_F(CSelectObjectTest, RebuildingUnselectsObjectsBroughtBackAtAnotherDepth)
{
    CTreeNodeRef group = Box(layer, 0, 0, 10, 10);
    CTreeNodeRef member = Box(group, 1, 1, 2, 2);
    Select({group});
    // Left selected from an earlier visit inside the group.
    Object(member)->SetEditMode(1);
    DeleteSelected();
    ASSERT_TRUE(sel->Undo());
    EXPECT_EQ(1, sel->GetSelectedCount());
    EXPECT_EQ(1, Mode(group));
    EXPECT_EQ(0, Mode(member));
}

TEST_F(CSelectObjectTest, ABoxOfFourZeroPointsIsNoBoxAndIsFittedAgain)
{
    struct Case {
        const char* what;
        bool zero;
        std::vector<DPoint> corners;
    } const cases[] = {
        {"zero box: fitted", true, {P(0, -5), P(30, 40), P(0, 40), P(30, -5)}},
        {"a box: kept", false, {P(1, 1), P(2, 2), P(1, 2), P(2, 1)}},
    };
    for (const Case& c : cases) {
        CTreeNodeRef a = Box(layer, 0, 0, 10, 10), b = Box(layer, 20, -5, 30, 40);
        Select({a, b});
        sel->SetBoxShown(true);
        sel->StartBox(c.zero ? P(0, 0) : P(1, 1));
        sel->EndBox(c.zero ? P(0, 0) : P(2, 2));
        DeleteSelected();
        ASSERT_TRUE(sel->Undo());
        EXPECT_EQ(2, sel->GetSelectedCount());
        ExpectCorners(sel, c.corners, c.what);
        sel->EndSelection();
        sel->ClearUndo();
        layer->RemoveAllChildren();
    }
}

// ---------------------------------------------------------------- entered groups

TEST_F(CSelectObjectTest, GoingIntoNestedGroupsAndOutAgainSelectsEachGroupLeft)
{
    CTreeNodeRef top = Box(layer, 100, 100, 110, 110);
    CTreeNodeRef outer = Box(layer, 0, 0, 1, 1);
    CTreeNodeRef inner = Box(outer, 0, 0, 1, 1);
    Box(inner, 10, 10, 20, 20);
    Box(outer, 30, 0, 40, 5);
    Object(inner)->UpdateBoundingBox(port);
    Object(outer)->UpdateBoundingBox(port);
    DRect box;
    sel->GetEnteredGroupBox(box);
    EXPECT_EQ(0.0, box.x1 + box.y1 + box.x2 + box.y2);

    Select({outer});
    ASSERT_TRUE(sel->GroupGoIn());
    EXPECT_EQ(1, sel->GetEnteredDepth());
    EXPECT_EQ(outer.Resolve(), sel->GetEnteredGroup().Resolve());
    EXPECT_EQ(0, sel->GetSelectedCount());
    EXPECT_EQ(0, Mode(outer));
    sel->GetEnteredGroupBox(box);
    EXPECT_EQ(40.0, box.x2);
    EXPECT_TRUE(shell.enabled["GroupGoOut"]);
    Select({inner});
    ASSERT_EQ(1, sel->GetSelectedCount());
    ASSERT_TRUE(sel->GroupGoIn());
    EXPECT_EQ(2, sel->GetEnteredDepth());

    ASSERT_TRUE(sel->GroupGoOut());
    EXPECT_EQ(1, sel->GetEnteredDepth());
    EXPECT_EQ(outer.Resolve(), sel->GetEnteredGroup().Resolve());
    EXPECT_EQ(1, Mode(inner));
    EXPECT_EQ(1, sel->GetSelectedCount());
    EXPECT_TRUE(sel->IsBoxSelection());
    ExpectCorners(sel, {P(10, 10), P(20, 20), P(10, 20), P(20, 10)}, "inner");
    CTreeNodeRef first;
    sel->GetFirstSelectedNode(first);
    EXPECT_EQ(inner.Resolve(), first.Resolve());

    ASSERT_TRUE(sel->GroupGoOut());
    EXPECT_EQ(0, sel->GetEnteredDepth());
    EXPECT_TRUE(sel->GetEnteredGroup().IsInvalid());
    EXPECT_EQ(1, Mode(outer));
    EXPECT_EQ(0, Mode(inner));
    EXPECT_EQ(0, Mode(top));
    EXPECT_EQ(1, sel->GetSelectedCount());
    EXPECT_TRUE(sel->IsBoxShown());
    ExpectCorners(sel, {P(10, 0), P(40, 20), P(10, 20), P(40, 0)}, "outer");
    CTreeNodeRef parent;
    sel->GetEditParent(parent);
    EXPECT_EQ(layer.Resolve(), parent.Resolve());
    EXPECT_FALSE(shell.enabled["GroupGoOut"]);
    EXPECT_TRUE(shell.enabled["GroupGoIn"]);
    EXPECT_FALSE(sel->GroupGoOut());
    EXPECT_EQ(1, sel->GetSelectedCount());
}

TEST_F(CSelectObjectTest, GoingInNeedsOneSelectedGroup)
{
    CTreeNodeRef g1 = Box(layer, 0, 0, 1, 1), g2 = Box(layer, 2, 2, 3, 3);
    CTreeNodeRef text = Text(layer, "abc", 0);
    struct Case {
        const char* what;
        std::vector<CTreeNodeRef> chosen;
    } const cases[] = {
        {"nothing selected", {}},
        {"two groups", {g1, g2}},
        {"one object that is not a group", {text}},
    };
    for (const Case& c : cases) {
        sel->EndSelection();
        Select(c.chosen);
        EXPECT_FALSE(sel->GroupGoIn()) << c.what;
        EXPECT_EQ(0, sel->GetEnteredDepth()) << c.what;
        EXPECT_EQ(int(c.chosen.size()), sel->GetSelectedCount()) << c.what;
        for (const CTreeNodeRef& n : c.chosen)
            EXPECT_EQ(1, Mode(n)) << c.what;
    }
}

TEST_F(CSelectObjectTest, TheDraggedRectangleSpansTheBoxAndTheFirstSelectedIsTheBackmost)
{
    sel->StartBox(P(1, 2));
    ExpectCorners(sel, {P(1, 2), P(1, 2), P(1, 2), P(1, 2)}, "started");
    EXPECT_EQ(1.0, sel->GetBoxCentre().x);
    sel->DragBox(P(5, -4));
    sel->EndBox(P(7, 8));
    ExpectCorners(sel, {P(1, 2), P(7, 8), P(1, 8), P(7, 2)}, "ended");
    EXPECT_EQ(4.0, sel->GetBoxCentre().x);
    EXPECT_EQ(5.0, sel->GetBoxCentre().y);

    CTreeNodeRef first;
    sel->GetFirstSelectedNode(first);
    EXPECT_TRUE(first.IsInvalid());
    Box(layer, 0, 0, 1, 1);
    CTreeNodeRef b = Box(layer, 0, 0, 1, 1), c = Box(layer, 0, 0, 1, 1), d = Box(layer, 0, 0, 1, 1);
    Select({d, c, b});
    sel->GetFirstSelectedNode(first);
    EXPECT_EQ(b.Resolve(), first.Resolve());
}

// ---------------------------------------------------------------- the box and its handles

TEST_F(CSelectObjectTest, EachHandleModeOffersItsHandlesStylesAndPoints)
{
    auto Third = [](const DPoint& from, const DPoint& to) {
        return P(from.x + (to.x - from.x) * (1.0 / 3.0), from.y + (to.y - from.y) * (1.0 / 3.0));
    };
    sel->StartBox(P(0, 0));
    sel->EndBox(P(8, 4)); // corners (0,0) (8,4) (0,4) (8,0), centre (4,2)
    ChangeRecord record;
    std::memset(&record, 0, sizeof record);
    for (int i = 0; i < 8; i++)
        record.g[i] = P(100 + i, -i);
    sel->SetChangeRecord(record);
    const DPoint middle = P(4, 2);
    struct Case {
        int mode;
        int count;
        std::vector<int> styles;
        std::vector<DPoint> points; // from handle 4 on
    } const cases[] = {
        {90, 8, {2, 2, 2, 2, 3, 3, 3, 3}, {P(4, 0), P(4, 4), P(0, 2), P(8, 2)}},
        {91, 5, {2, 2, 2, 2, 5}, {P(4, 2)}},
        {92, 4, {2, 2, 2, 2}, {}},
        // No deformation goes on: the edge points stand a third of the
        // way along each edge from either end, not where a record left them.
        {95,
         12,
         {2, 2, 2, 2, 3, 3, 3, 3, 3, 3, 3, 3},
         {Third(P(0, 0), P(8, 0)), Third(P(8, 0), P(0, 0)), Third(P(8, 0), P(8, 4)),
          Third(P(8, 4), P(8, 0)), Third(P(8, 4), P(0, 4)), Third(P(0, 4), P(8, 4)),
          Third(P(0, 4), P(0, 0)), Third(P(0, 0), P(0, 4))}},
        {93, 0, {}, {}},
    };
    const std::vector<DPoint> corners = {P(0, 0), P(8, 4), P(0, 4), P(8, 0)};
    for (const Case& c : cases) {
        sel->SetBoxHandleMode(c.mode);
        EXPECT_EQ(c.mode, sel->GetBoxHandleMode());
        EXPECT_EQ(c.count, sel->GetHandleCount()) << c.mode;
        for (int n = 0; n < c.count; n++) {
            EXPECT_EQ(c.styles[size_t(n)], sel->GetHandleStyle(n)) << c.mode << " " << n;
            const DPoint want = n < 4 ? corners[size_t(n)] : c.points[size_t(n - 4)];
            const DPoint got = sel->GetHandlePoint(n);
            EXPECT_EQ(want.x, got.x) << c.mode << " " << n;
            EXPECT_EQ(want.y, got.y) << c.mode << " " << n;
        }
        // A number the mode does not offer: the middle of the box.
        for (int n : {-1, c.count, 12, 1000}) {
            const DPoint got = sel->GetHandlePoint(n);
            EXPECT_EQ(middle.x, got.x) << c.mode << " " << n;
            EXPECT_EQ(middle.y, got.y) << c.mode << " " << n;
        }
    }
    const int opposite[][2] = {{0, 1}, {1, 0}, {2, 3}, {3, 2},  {4, 5},
                               {5, 4}, {6, 7}, {7, 6}, {8, -1}, {-1, -1}};
    for (const auto& o : opposite)
        EXPECT_EQ(o[1], sel->GetOppositeHandle(o[0])) << o[0];
}

TEST_F(CSelectObjectTest, PointsAreHeldToAnAxisOrTheDiagonalOnlyWhereTheyShouldBe)
{
    ChangeRecord record;
    std::memset(&record, 0, sizeof record);
    record.a = P(10, 10);
    record.b = P(30, 20); // diagonal slope 0.5
    sel->SetChangeRecord(record);
    const int kShift = 2;
    struct Case {
        const char* what;
        int mode;
        DPoint p;
        int modifiers;
        int handle;
        DPoint want;
    } const cases[] = {
        {"move, Shift, equal distances: horizontal", 90, P(15, 15), kShift, -1, P(15, 10)},
        {"move, Shift, more up than across: vertical", 90, P(12, 20), kShift, -1, P(10, 20)},
        {"move, Shift, more across: horizontal", 91, P(20, 12), kShift | 1, -1, P(20, 10)},
        {"move without Shift", 90, P(12, 20), 1, -1, P(12, 20)},
        {"corner in mode 90: on the diagonal", 90, P(20, 0), 0, 2, P(20, 15)},
        {"corner in mode 90 with Shift: free", 90, P(20, 0), kShift, 0, P(20, 0)},
        {"middle handle in mode 90: free", 90, P(20, 0), 0, 4, P(20, 0)},
        {"last middle handle in mode 90: free", 90, P(20, 0), 0, 7, P(20, 0)},
        {"corner in mode 91: free", 91, P(20, 0), 0, 1, P(20, 0)},
        {"corner in mode 92: free", 92, P(20, 0), 0, 3, P(20, 0)},
    };
    for (const Case& c : cases) {
        sel->SetBoxHandleMode(c.mode);
        const DPoint got = sel->ConstrainPoint(c.p, c.modifiers, c.handle);
        EXPECT_EQ(c.want.x, got.x) << c.what;
        EXPECT_EQ(c.want.y, got.y) << c.what;
    }
    // A box of no width has no diagonal: the point stays as it is, finite.
    sel->SetBoxHandleMode(90);
    record.b = P(10, 50);
    sel->SetChangeRecord(record);
    DPoint got = sel->ConstrainPoint(P(20, 3), 0, 0);
    EXPECT_EQ(20.0, got.x);
    EXPECT_EQ(3.0, got.y);
    // Nor does one so narrow that the slope overflows.
    record.b = P(10 + 1e-310, 1e300);
    sel->SetChangeRecord(record);
    got = sel->ConstrainPoint(P(20, 3), 0, 0);
    EXPECT_TRUE(std::isfinite(got.y));
}

TEST_F(CSelectObjectTest, TheCentreIsTheBoxsTheFirstObjectsOrTheOrigin)
{
    DPoint c = sel->GetCenter();
    EXPECT_EQ(0.0, c.x) << "nothing selected, no box";
    EXPECT_EQ(0.0, c.y);
    sel->StartBox(P(2, 2));
    sel->EndBox(P(6, 10));
    c = sel->GetCenter();
    EXPECT_EQ(4.0, c.x) << "nothing selected, a box not shown";
    EXPECT_EQ(6.0, c.y);
    CTreeNodeRef a = Box(layer, 10, 20, 30, 60);
    Select({a});
    c = sel->GetCenter();
    EXPECT_EQ(20.0, c.x) << "one object, the box not shown";
    EXPECT_EQ(40.0, c.y);
    sel->SetBoxShown(true);
    c = sel->GetCenter();
    EXPECT_EQ(4.0, c.x) << "the box shown";
    EXPECT_EQ(6.0, c.y);
}

TEST_F(CSelectObjectTest, ASavedStatePutBackRestoresThePageAndLayerWithTheBox)
{
    view->current_page = 1;
    view->current_layer = 0;
    sel->StartBox(P(1, 2));
    sel->EndBox(P(3, 4));
    sel->SetBoxShown(true);
    sel->SetBoxHandleMode(95);
    CSavedState saved;
    sel->GetSavedState(saved);
    EXPECT_EQ(1, saved.page);
    EXPECT_EQ(95, saved.handleMode);
    EXPECT_EQ(1, saved.boxShown);
    EXPECT_EQ(2.0, saved.centre.x);

    view->current_page = 0;
    view->current_layer = 7;
    sel->StartBox(P(0, 0));
    sel->SetBoxShown(false);
    sel->SetBoxHandleMode(90);
    sel->SetSavedState(saved);
    EXPECT_EQ(1, view->current_page);
    EXPECT_EQ(0, view->current_layer);
    EXPECT_TRUE(sel->IsBoxShown());
    EXPECT_EQ(95, sel->GetBoxHandleMode());
    ExpectCorners(sel, {P(1, 2), P(3, 4), P(1, 4), P(3, 2)}, "restored");
    EXPECT_EQ(3.0, sel->GetBoxCentre().y);
    EXPECT_TRUE(sel->SetSelectOption(3));
    EXPECT_EQ(3, sel->GetSelectOption());
}

// ---------------------------------------------------------------- commands and the trace

TEST_F(CSelectObjectTest, CommandStatesFollowTheSelection)
{
    CTreeNodeRef g = Box(layer, 0, 0, 1, 1), h = Box(layer, 2, 2, 3, 3);
    CTreeNodeRef text = Text(layer, "abc", 0);
    shell.clipboardTree = true;
    struct Case {
        const char* what;
        std::vector<CTreeNodeRef> chosen;
        bool editing;
        bool textClipboard;
        std::map<std::string, bool> want;
    } const cases[] = {
        {"nothing",
         {},
         false,
         false,
         {{"DeleteSelected", false},
          {"DuplicateSelected", false},
          {"GroupGoIn", false},
          {"SelectUngroup", false},
          {"SelectGroup", false},
          {"SelectRotate270", false},
          {"GroupGoOut", false},
          {"ClipboardPaste", true}}},
        {"one group",
         {g},
         false,
         false,
         {{"DeleteSelected", true},
          {"DuplicateSelected", true},
          {"GroupGoIn", true},
          {"SelectUngroup", true},
          {"SelectGroup", false},
          {"SelectMirrorX", true}}},
        {"two objects",
         {g, h},
         false,
         false,
         {{"GroupGoIn", false}, {"SelectUngroup", false}, {"SelectGroup", true}}},
        {"a text in its own editing, no text to paste",
         {text},
         true,
         false,
         {{"DuplicateSelected", false}, {"ClipboardCut", true}, {"ClipboardPaste", false}}},
        {"a text in its own editing, a text to paste",
         {text},
         true,
         true,
         {{"DuplicateSelected", false}, {"ClipboardPaste", true}}},
    };
    for (const Case& c : cases) {
        sel->EndSelection();
        shell.clipboardText = c.textClipboard;
        if (c.editing)
            sel->SelectForOwnEditing(c.chosen[0]);
        else
            Select(c.chosen);
        EXPECT_EQ(c.editing, sel->IsEditingObject()) << c.what;
        shell.enabled.clear();
        sel->UpdateAllCommands();
        for (const auto& w : c.want) {
            ASSERT_TRUE(shell.enabled.count(w.first)) << c.what << " " << w.first;
            EXPECT_EQ(w.second, shell.enabled[w.first]) << c.what << " " << w.first;
        }
    }
    // The selection commands, each once, in their order.
    shell.calls.clear();
    sel->UpdateSelectionCommands();
    EXPECT_EQ(
        (std::vector<std::string>{
            "ClipboardCut", "ClipboardCopy", "EndSelected", "DeleteSelected", "DuplicateSelected",
            "GroupGoIn", "GroupGoOut", "SelectGroup", "SelectUngroup", "SelectSendToFront",
            "SelectSendToBack", "SelectMoveToFront", "SelectMoveToBack", "SelectMirrorX",
            "SelectMirrorY", "SelectRotate90", "SelectRotate180", "SelectRotate270"}),
        shell.calls);
}

TEST_F(CSelectObjectTest, CheckMarksToolStatesAndThePropertiesDialogGoThroughTheShell)
{
    view->switches[CView::SHOW_GRID] = true;
    view->switches[CView::OUTLINE] = false;
    shell.propertiesShown = true;
    sel->UpdateAllCommands();
    EXPECT_TRUE(shell.checked["SwapGrid"]);
    EXPECT_FALSE(shell.checked["SwapOutline"]);
    EXPECT_TRUE(shell.checked["SwapProperty"]);
    EXPECT_FALSE(shell.enabled["Undo"]);
    EXPECT_FALSE(shell.enabled["Redo"]);
    view->switches[CView::SHOW_GRID] = false;
    view->switches[CView::OUTLINE] = true;
    shell.propertiesShown = false;
    sel->UpdateSwapGridCommand();
    sel->UpdateSwapOutlineCommand();
    sel->UpdateSwapPropertyCommand();
    EXPECT_FALSE(shell.checked["SwapGrid"]);
    EXPECT_TRUE(shell.checked["SwapOutline"]);
    EXPECT_FALSE(shell.checked["SwapProperty"]);
    EXPECT_EQ(1007, sel->GetToolState(7));

    // The dialog is handed the selection only when shown or forced, with
    // the object when one is selected.
    CTreeNodeRef a = Box(layer, 0, 0, 1, 1), b = Box(layer, 2, 2, 3, 3);
    Select({a});
    EXPECT_EQ(0, shell.propertiesFilled);
    shell.propertiesShown = true;
    sel->RebuildPropertyDlg(false);
    EXPECT_EQ(1, shell.propertiesFilled);
    EXPECT_EQ(Object(a).Resolve(), shell.shownSingle);
    Select({a, b});
    EXPECT_EQ(2, shell.propertiesFilled);
    EXPECT_EQ(nullptr, shell.shownSingle);
    shell.propertiesShown = false;
    sel->RebuildPropertyDlg(true);
    EXPECT_EQ(3, shell.propertiesFilled);
}

TEST_F(CSelectObjectTest, DumpWritesTheTreeThenBothListsUnderTheirHeadings)
{
    DebugCapture capture;
    CSelectObjectRef bare = Make<CSelectObjectRef>();
    bare->Dump();
    EXPECT_EQ("\nObjects in CTree :\nUndoList :\nRedoList :\n", capture.DebugText());

    capture.Clear();
    sel->Dump();
    std::string text = capture.DebugText();
    EXPECT_EQ(0u, text.find("\nContent of CTree :\n"));
    const size_t objects = text.find("Objects in CTree :\n");
    ASSERT_NE(std::string::npos, objects);
    EXPECT_NE(std::string::npos, text.find("type=CGraObject", objects));
    EXPECT_EQ(text.size() - std::strlen("UndoList :\nRedoList :\n"),
              text.find("UndoList :\nRedoList :\n"));

    CTreeNodeRef a = Box(layer, 0, 0, 1, 1);
    Select({a});
    DeleteSelected();
    capture.Clear();
    sel->Dump();
    text = capture.DebugText();
    const size_t undo = text.find("UndoList :\nUndoGroup: oper=10, nb=1 rect=");
    ASSERT_NE(std::string::npos, undo);
    EXPECT_NE(std::string::npos, text.find("  UndoAction: oper=3 object=", undo));
    EXPECT_EQ(text.size() - std::strlen("RedoList :\n"), text.find("RedoList :\n"));
}

} // namespace
