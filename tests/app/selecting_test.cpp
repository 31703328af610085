// Selecting objects one by one and with a dragged rectangle, the box shown
// around the selection, and what the page view reads of it. Boxes and hits
// are answered by the real interpreter.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/app/selecttest.h"

namespace {

class CSelectingTest : public CSelectObjectTest {
protected:
    void SetUp() override
    {
        CSelectObjectTest::SetUp();
        LiveEdit(200, 200);
    }
};

TEST_F(CSelectingTest, OneObjectShowsNoBoxTwoOrAGroupShowIt)
{
    CTreeNodeRef a = Rect(layer, 10, 10, 40, 30), b = Rect(layer, 60, 50, 90, 80);
    CTreeNodeRef group = Box(layer, 100, 100, 150, 140);
    const DRect boxA = Object(a)->GetBoundingBox();
    const DRect boxB = Object(b)->GetBoundingBox();
    ExpectBox(boxA, 10, 10, 40, 30, 1.0);

    sel->SelectOnly(a);
    EXPECT_EQ(1, sel->GetSelectedCount());
    EXPECT_EQ(1, Mode(a));
    EXPECT_FALSE(sel->IsBoxShown());
    EXPECT_TRUE(sel->IsSelectedAlone());
    EXPECT_TRUE(shell.enabled["DeleteSelected"]);
    DRect r;
    ASSERT_TRUE(sel->GetSelectionBox(r)) << "the object's own box";
    ExpectBox(r, boxA.x1, boxA.y1, boxA.x2, boxA.y2, 0.0);
    ZuStringRef text;
    ASSERT_TRUE(sel->GetSelectionText(text));
    EXPECT_EQ(0u, GraTest::Text(text).find("  X=")) << GraTest::Text(text);

    sel->AddToSelection(b);
    sel->AddToSelection(b); // counted once
    EXPECT_EQ(2, sel->GetSelectedCount());
    EXPECT_FALSE(sel->IsSelectedAlone());
    EXPECT_TRUE(sel->IsBoxShown());
    ExpectCorners(
        sel, {P(boxA.x1, boxA.y1), P(boxB.x2, boxB.y2), P(boxA.x1, boxB.y2), P(boxB.x2, boxA.y1)},
        "around both");
    ASSERT_TRUE(sel->GetSelectionBox(r));
    ExpectBox(r, boxA.x1, boxA.y1, boxB.x2, boxB.y2, 0.0);
    ASSERT_TRUE(sel->ComputeSelectionBounds(r));
    ExpectBox(r, boxA.x1, boxA.y1, boxB.x2, boxB.y2, 0.0);
    EXPECT_FALSE(sel->GetSelectionText(text)) << "the box is shown";

    sel->RemoveFromSelection(a);
    EXPECT_EQ(1, sel->GetSelectedCount());
    EXPECT_EQ(0, Mode(a));
    EXPECT_FALSE(sel->IsBoxShown());
    sel->RemoveFromSelection(a); // not selected: the count stays
    EXPECT_EQ(1, sel->GetSelectedCount());

    // A group selected alone: the box at the group's box.
    sel->SelectOnly(group);
    EXPECT_EQ(1, sel->GetSelectedCount());
    EXPECT_EQ(0, Mode(b));
    EXPECT_TRUE(sel->IsBoxShown());
    ExpectCorners(sel, {P(100, 100), P(150, 140), P(100, 140), P(150, 100)}, "the group");
    EXPECT_TRUE(shell.enabled["GroupGoIn"]);

    sel->EndSelection();
    EXPECT_FALSE(sel->GetSelectionBox(r));
    EXPECT_FALSE(sel->ComputeSelectionBounds(r));
    EXPECT_FALSE(sel->GetSelectionText(text));
}

TEST_F(CSelectingTest, OnlyChildrenOfTheEditParentCanBeSelected)
{
    CTreeNodeRef group = Box(layer, 0, 0, 100, 100);
    CTreeNodeRef member = Rect(group, 10, 10, 20, 20);
    CTreeNodeRef pageTwo;
    doc->GetTree()->GetNode(pageTwo, 1, 0);
    CTreeNodeRef elsewhere = Rect(pageTwo, 10, 10, 20, 20);
    CTreeNodeRef layerNode = layer; // holds a plain CGraObject, not a child
    for (const CTreeNodeRef& n : {member, elsewhere, layerNode}) {
        sel->AddToSelection(n);
        sel->SelectForOwnEditing(n);
        sel->SelectOnly(n);
        EXPECT_EQ(0, Mode(n));
        EXPECT_EQ(0, sel->GetSelectedCount());
        EXPECT_FALSE(sel->IsEditingObject());
    }
    // Inside the group its members are the level.
    sel->SelectOnly(group);
    ASSERT_TRUE(sel->GroupGoIn());
    sel->SelectOnly(member);
    EXPECT_EQ(1, Mode(member));
    EXPECT_EQ(1, sel->GetSelectedCount());
}

TEST_F(CSelectingTest, ADraggedRectangleTakesWhatLiesInsideAndEditedPointsItHolds)
{
    struct Case {
        const char* what;
        bool handles;
        bool withPoint;
    } const cases[] = {
        {"without the handles flag", false, false},
        {"with the handles flag", true, true},
    };
    for (const Case& c : cases) {
        sel->EndSelection();
        layer->RemoveAllChildren();
        // The band is (0, 0)-(100, 100). New objects are in their editing.
        CTreeNodeRef inside = Rect(layer, 10, 10, 40, 40);
        // Out of its editing, a corner inside the band: only touching.
        CTreeNodeRef touching = Rect(layer, 90, 10, 130, 40);
        Object(touching)->SetEditing(0);
        CTreeNodeRef withPoint = Poly(layer, {P(80, 60), P(150, 60), P(150, 70)});
        // Its box meets the band, none of its points is inside.
        CTreeNodeRef withoutPoint = Poly(layer, {P(50, 120), P(120, 90), P(150, 130)});
        CTreeNodeRef notEdited = Poly(layer, {P(80, 50), P(150, 50)});
        Object(notEdited)->SetEditing(0);
        // Already selected: stays so, counted once.
        CTreeNodeRef chosen = Rect(layer, 20, 50, 30, 60);
        sel->SelectOnly(chosen);
        sel->StartBox(P(100, 100));
        sel->EndBox(P(0, 0));
        sel->RubberBandSelect(c.handles);
        EXPECT_EQ(1, Mode(inside)) << c.what;
        EXPECT_EQ(0, Mode(touching)) << c.what;
        EXPECT_EQ(c.withPoint ? 1 : 0, Mode(withPoint)) << c.what;
        EXPECT_EQ(0, Mode(withoutPoint)) << c.what;
        EXPECT_EQ(0, Mode(notEdited)) << c.what;
        const int count = c.withPoint ? 3 : 2;
        EXPECT_EQ(count, sel->GetSelectedCount()) << c.what;
        EXPECT_TRUE(sel->IsBoxShown()) << c.what;
        DRect bounds;
        ASSERT_TRUE(sel->ComputeSelectionBounds(bounds));
        ExpectCorners(sel,
                      {P(bounds.x1, bounds.y1), P(bounds.x2, bounds.y2), P(bounds.x1, bounds.y2),
                       P(bounds.x2, bounds.y1)},
                      c.what);
    }
    // An empty band takes nothing and shows no box.
    sel->EndSelection();
    sel->StartBox(P(180, 180));
    sel->EndBox(P(190, 190));
    sel->RubberBandSelect(true);
    EXPECT_EQ(0, sel->GetSelectedCount());
    EXPECT_FALSE(sel->IsBoxShown());
}

TEST_F(CSelectingTest, APointHitsTheShownBoxInsideItsFourCorners)
{
    CTreeNodeRef a = Rect(layer, 10, 10, 40, 30), b = Rect(layer, 60, 50, 90, 80);
    sel->SelectOnly(a);
    EXPECT_FALSE(sel->HitBox(P(20, 20))) << "no box shown";
    sel->AddToSelection(b);
    ASSERT_TRUE(sel->IsBoxShown());
    struct Case {
        DPoint p;
        bool hit;
    } const cases[] = {{P(50, 40), true}, {P(15, 75), true}, {P(5, 40), false}, {P(50, 95), false}};
    for (const Case& c : cases)
        EXPECT_EQ(c.hit, sel->HitBox(c.p)) << c.p.x << " " << c.p.y;
}

} // namespace
