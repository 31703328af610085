// The group: members through its tree node, the frame it draws, hits on its
// band, the common definition, its box, copies of nested groups, handles,
// properties and its stored record inside a stored tree.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/gragroup.h"
#include "app/graline.h"
#include "app/misc.h"
#include "app/tree.h"
#include "si/except.h"
#include "si/string.h"
#include "tests/app/gratest.h"

namespace {

class CGraGroupTest : public GraTest {
protected:
    // A tree whose root holds a group node.
    void SetUp() override
    {
        GraTest::SetUp();
        tree = Make<CTreeRef>();
        group = Make<CGraGroupRef>();
        node = Make<CTreeNodeRef>();
        node->SetObject(group);
        node->InsertLastChild(tree->RetRoot());
    }
    void TearDown() override
    {
        group = CGraGroupRef();
        node = CTreeNodeRef();
        tree = CTreeRef();
        GraTest::TearDown();
    }

    // A line from a to b as the group's last member.
    CGraLineRef AddLine(DPoint a, DPoint b, const CTreeNodeRef& parent = CTreeNodeRef())
    {
        CGraLineRef l = Make<CGraLineRef>();
        l->SetHandlePosition(0, a);
        l->SetHandlePosition(1, b);
        Attach(l, parent);
        return l;
    }
    void Attach(const CGraObjectRef& o, const CTreeNodeRef& parent = CTreeNodeRef())
    {
        CTreeNodeRef n = Make<CTreeNodeRef>();
        n->SetObject(o);
        n->InsertLastChild(parent.IsValid() ? parent : node);
    }
    void Rect(double x1, double y1, double x2, double y2)
    {
        const DPoint points[2] = {{x1, y1}, {x2, y2}};
        group->SetPoints(points, 2);
    }

    CTreeRef tree;
    CGraGroupRef group;
    CTreeNodeRef node;
};

TEST_F(CGraGroupTest, FrameIsDashedRedInEditModeZeroThenMembersFollow)
{
    Record();
    // The port's default pen and black written first.
    CGraLineRef plain = Make<CGraLineRef>();
    ZuObjectRef pen;
    plain->GetDefinition(10, pen);
    CPenDefRef(pen)->SetWidth(0.0);
    plain->Draw(port, 3);
    Rect(10, 20, 40, 30);
    recorder->Clear();
    EXPECT_TRUE(group->Draw(port, 3));
    EXPECT_EQ("[4.000000 1.600000 0.100000 1.600000 ] 0.000000 setdash 1.000000 0.000000 0.000000 "
              "setrgbcolor 10.000000 20.000000 30.000000 10.000000 rectstroke \n",
              recorder->All());

    // Members in child order after the frame; flags 0x21 draw the frame alone.
    AddLine(P(1, 2), P(3, 4));
    AddLine(P(5, 6), P(7, 8));
    recorder->Clear();
    EXPECT_TRUE(group->Draw(port, 3));
    std::string all = recorder->All();
    const size_t frame = all.find("rectstroke");
    const size_t first = all.find("1.000000 2.000000 moveto");
    const size_t second = all.find("5.000000 6.000000 moveto");
    ASSERT_NE(std::string::npos, second);
    EXPECT_LT(frame, first);
    EXPECT_LT(first, second);
    recorder->Clear();
    EXPECT_TRUE(group->Draw(port, 0x21));
    all = recorder->All();
    EXPECT_NE(std::string::npos, all.find("rectstroke"));
    EXPECT_EQ(std::string::npos, all.find("lineto"));

    // Another edit mode: a plain frame in black (written already by the
    // members).
    group->SetEditMode(1);
    recorder->Clear();
    EXPECT_TRUE(group->Draw(port, 0x23));
    all = recorder->All();
    EXPECT_EQ("[] 0 setdash 10.000000 20.000000 30.000000 10.000000 rectstroke \n", all);
}

TEST_F(CGraGroupTest, HitsOnTheBandAndInsideOnlyThroughAMember)
{
    Live(120, 80, 1.0);
    Rect(0, 0, 100, 50);
    ASSERT_TRUE(group->UpdateBoundingBox(port)); // no members: the rectangle
    struct Case {
        DPoint p;
        bool hit;
    } const empty[] = {
        {{-1.5, 10}, true}, {{-1.6, 10}, false},   {{1, 25}, true},
        {{50, 25}, false},  {{101.5, 51.5}, true},
    };
    for (const Case& c : empty)
        EXPECT_EQ(c.hit, group->HitTest(port, c.p, 2.0, 0)) << c.p.x << " " << c.p.y;

    // A member through the middle: hit there, and nowhere else inside.
    CGraLineRef l = AddLine(P(10, 25), P(90, 25));
    ASSERT_TRUE(l->UpdateBoundingBox(port));
    EXPECT_TRUE(group->HitTest(port, P(50, 25), 2.0, 0));
    EXPECT_FALSE(group->HitTest(port, P(50, 40), 2.0, 0));
}

TEST_F(CGraGroupTest, CommonDefinitionOfTheMembers)
{
    ZuObjectRef out;
    EXPECT_FALSE(group->GetDefinition(10, out)); // no members

    CGraLineRef a = AddLine(P(0, 0), P(1, 1));
    CGraLineRef b = AddLine(P(2, 2), P(3, 3));
    Attach(Make<CGraGroupRef>()); // holds no pen: answers nothing
    ZuObjectRef pa, pb;
    a->GetDefinition(10, pa);
    b->GetDefinition(10, pb);
    CPenDefRef(pa)->SetWidth(0.5);
    CPenDefRef(pb)->SetWidth(0.5);
    ASSERT_TRUE(group->GetDefinition(10, out));
    EXPECT_TRUE(out == pa);

    CPenDefRef(pb)->SetWidth(0.7);
    ZuObjectRef untouched = pb;
    EXPECT_FALSE(group->GetDefinition(10, untouched));
    EXPECT_TRUE(untouched == pb);

    // A definition given to the group reaches every member, as a clone.
    CPenDefRef given = Make<CPenDefRef>();
    given->SetWidth(2.0);
    EXPECT_TRUE(group->SetDefinition(10, given));
    a->GetDefinition(10, pa);
    b->GetDefinition(10, pb);
    EXPECT_EQ(2.0, CPenDefRef(pa)->GetWidth());
    EXPECT_EQ(2.0, CPenDefRef(pb)->GetWidth());
    EXPECT_FALSE(pa == given);

    // The kinds of every drawing object.
    int kinds[32] = {};
    group->GetDefinitionKinds(kinds);
    const int expected[] = {10, 15,  20,  25,  30,  31,  40,  41,  50,
                            51, 100, 101, 105, 120, 125, 126, 127, 0};
    for (size_t i = 0; i < sizeof expected / sizeof expected[0]; i++)
        EXPECT_EQ(expected[i], kinds[i]) << i;
}

TEST_F(CGraGroupTest, BoxIsTheUnionOfTheMembersAndTransformMovesOnlyThem)
{
    Record();
    Rect(30, 40, 10, 20);
    EXPECT_TRUE(group->UpdateBoundingBox(port));
    DRect box = group->GetBoundingBox();
    EXPECT_EQ(10.0, box.x1);
    EXPECT_EQ(20.0, box.y1);
    EXPECT_EQ(30.0, box.x2);
    EXPECT_EQ(40.0, box.y2);

    AddLine(P(0, 0), P(10, 10));
    AddLine(P(5, 5), P(20, 8));
    recorder->answers = {BoxAnswer(-1, -1, 11, 11), BoxAnswer(4, 4, 21, 9)};
    EXPECT_TRUE(group->UpdateBoundingBox(port));
    box = group->GetBoundingBox();
    EXPECT_EQ(-1.0, box.x1);
    EXPECT_EQ(-1.0, box.y1);
    EXPECT_EQ(21.0, box.x2);
    EXPECT_EQ(11.0, box.y2);
    ExpectPoint(group->GetHandlePosition(0), -1, -1, "x1 y1");
    ExpectPoint(group->GetHandlePosition(1), 21, 11, "x2 y2");

    // A move by property: the members move, the rectangle waits for the
    // next box.
    double x = 0.0;
    ASSERT_TRUE(group->GetPropertyValue(0, x));
    EXPECT_EQ(10.0, x);
    EXPECT_TRUE(group->SetPropertyValue(0, 15.0));
    ExpectPoint(group->GetHandlePosition(0), -1, -1, "rectangle kept");
    CGraLineRef first(node->RetFirstChild()->RetObject());
    ExpectPoint(first->GetHandlePosition(0), 5, 0, "member moved");
    ExpectPoint(first->GetHandlePosition(1), 15, 10, "member moved");
}

TEST_F(CGraGroupTest, CopyOfAGroupHoldingAGroupCopiesEveryMember)
{
    AddLine(P(1, 1), P(2, 2));
    CGraGroupRef inner = Make<CGraGroupRef>();
    Attach(inner);
    AddLine(P(3, 3), P(4, 4), inner->GetTreeNode());
    AddLine(P(5, 5), P(6, 6), inner->GetTreeNode());
    Rect(1, 2, 3, 4);
    group->SetEditMode(3);

    CGraGroupRef copy = Make<CGraGroupRef>();
    CTreeNodeRef copyNode = Make<CTreeNodeRef>();
    copyNode->SetObject(copy);
    copyNode->InsertLastChild(tree->RetRoot());
    copy->CopyFrom(group);
    EXPECT_EQ(3, copy->GetEditMode());
    ExpectPoint(copy->GetHandlePosition(1), 3, 4, "rectangle");
    ASSERT_EQ(2, copyNode->CountChildren());
    EXPECT_EQ(4, copyNode->GetSubtreeSize());
    CTreeNodeRef innerCopy = copyNode->GetChild(1);
    ASSERT_TRUE(innerCopy->RetObject()->IsKindOf(CGraGroupRef::RetRuntime()));
    EXPECT_FALSE(innerCopy->RetObject() == ZuObjectRef(inner));
    EXPECT_TRUE(CGraObjectRef(innerCopy->RetObject())->GetTreeNode() == innerCopy);
    ASSERT_EQ(2, innerCopy->CountChildren());
    CGraLineRef deep(innerCopy->GetChild(1)->RetObject());
    ExpectPoint(deep->GetHandlePosition(0), 5, 5, "deep member");
    // The originals are untouched.
    EXPECT_EQ(2, inner->GetTreeNode()->CountChildren());
}

TEST_F(CGraGroupTest, HandlesSquareConstraintAndProperties)
{
    Rect(1, 2, 3, 4);
    const DPoint at[4] = {{1, 2}, {3, 4}, {1, 4}, {3, 2}};
    ASSERT_EQ(4, group->GetHandleCount());
    for (int n = 0; n < 4; n++) {
        EXPECT_EQ(2, group->GetHandleType(n));
        ExpectPoint(group->GetHandlePosition(n), at[n].x, at[n].y, "handle");
    }
    EXPECT_EQ(0, group->GetHandleType(4));
    DPoint p{9, 9};
    EXPECT_FALSE(group->GetHandle(4, p));
    group->SetHandlePosition(2, P(0, 5));
    ExpectPoint(group->GetHandlePosition(0), 0, 2, "x1 moved with handle 2");
    ExpectPoint(group->GetHandlePosition(1), 3, 5, "y2 moved with handle 2");

    // Dragging corner 1 from (0, 2) with flags 2 makes a square.
    Rect(0, 0, 0, 0);
    group->PlacePoint(P(4, 1), 2);
    ExpectPoint(group->GetHandlePosition(1), 4, 4, "square above");
    group->PlacePoint(P(-3, -1), 2);
    ExpectPoint(group->GetHandlePosition(1), -3, -3, "square below");
    group->PlacePoint(P(4, 1), 0);
    ExpectPoint(group->GetHandlePosition(1), 4, 1, "free");

    // Handle marks only while editing; a new edit mode clears them.
    group->SetEditing(0);
    group->SelectHandle(1);
    group->SetEditing(1);
    EXPECT_FALSE(group->IsHandleSelected(1));
    group->SelectHandle(1);
    EXPECT_TRUE(group->IsHandleSelected(1));
    group->SetEditMode(0);
    EXPECT_FALSE(group->IsHandleSelected(1));

    ASSERT_EQ(2, group->GetPropertyCount());
    int flags = 0;
    group->GetPropertyFlags(0, flags);
    EXPECT_EQ(33, flags);
    group->GetPropertyFlags(1, flags);
    EXPECT_EQ(192, flags);
    ZuStringRef name;
    group->GetPropertyName(1, name);
    EXPECT_EQ(0, name->CompareWith("Position Y", true));
    group->GetTypeName(name);
    EXPECT_EQ(0, name->CompareWith("Groupe", true));
    DPoint a, b;
    int kind = 0;
    EXPECT_TRUE(group->GetPropertyHandles(1, a, b, kind));
    EXPECT_EQ(3, kind);
    ExpectPoint(a, 2, 0.5, "middle");
    EXPECT_FALSE(group->GetPropertyHandles(2, a, b, kind));
    EXPECT_EQ(0, kind);
}

TEST_F(CGraGroupTest, AGroupAmongItsOwnMembersIsWalkedOnce)
{
    // Links as a damaged file may give them: the group's node has a child
    // carrying the group again, and a line.
    AddLine(P(1, 1), P(2, 2));
    Attach(group);
    group->SetTreeNode(node);
    Record();
    recorder->answers = {BoxAnswer(0, 0, 3, 3)};
    EXPECT_TRUE(group->UpdateBoundingBox(port));
    EXPECT_EQ(3.0, group->GetBoundingBox().x2);
    recorder->Clear();
    EXPECT_TRUE(group->Draw(port, 3));
    std::string const all = recorder->All();
    EXPECT_EQ(2u, [&] {
        size_t n = 0;
        for (size_t at = all.find("rectstroke"); at != std::string::npos;
             at = all.find("rectstroke", at + 1))
            n++;
        return n;
    }()) << all;
    ZuObjectRef pen;
    EXPECT_TRUE(group->GetDefinition(10, pen));
    EXPECT_FALSE(group->HitTest(port, P(50, 50), 1.0, 0));
    // Unlinked again before the tree is deleted: the tree owns each node's
    // object, and the group must not be deleted twice.
    node->GetChild(1)->RetObject() = ZuObjectRef();
}

TEST_F(CGraGroupTest, StoredInsideATreeWithItsMembers)
{
    AddLine(P(1, 2), P(3, 4));
    AddLine(P(5, 6), P(7, 8));
    Rect(1, 2, 7, 8);
    group->SetEditMode(4);
    group->SetEditing(0);
    Record();
    recorder->answers = {BoxAnswer(0, 1, 4, 5), BoxAnswer(4, 5, 8, 9)};
    group->UpdateBoundingBox(port);
    group->Draw(port, 3); // the frame pen gets its dashes

    ZuTestStorageRef s = ZuTestStorage::Make();
    s->StartStoring();
    s->StoreObject(tree);
    const std::vector<unsigned char> bytes = s->Bytes();
    s->StartRestoring(bytes);
    CTreeRef back;
    ZuStorageRef(s) >> back;
    s->FinallyAwake();
    EXPECT_EQ(0u, s->Remaining());
    ASSERT_TRUE(back.IsValid());
    CTreeNodeRef groupNode = back->RetRoot()->RetFirstChild();
    ASSERT_TRUE(groupNode.IsValid());
    CGraGroupRef g(groupNode->RetObject());
    ASSERT_TRUE(g.IsValid());
    EXPECT_TRUE(g->GetTreeNode() == groupNode);
    EXPECT_EQ(4, g->GetEditMode());
    EXPECT_EQ(0, g->IsEditing());
    ExpectPoint(g->GetHandlePosition(0), 0, 1, "rectangle");
    ExpectPoint(g->GetHandlePosition(1), 8, 9, "rectangle");
    EXPECT_EQ(9.0, g->GetBoundingBox().y2);
    // Members reachable again: a definition given reaches both.
    CPenDefRef given = Make<CPenDefRef>();
    given->SetWidth(1.25);
    g->SetDefinition(10, given);
    ZuObjectRef common;
    ASSERT_TRUE(g->GetDefinition(10, common));
    EXPECT_EQ(1.25, CPenDefRef(common)->GetWidth());
    // A fresh frame: drawn in edit mode 0 again it is the dashed red frame.
    g->SetEditMode(0);
    Record();
    g->Draw(port, 0x23);
    EXPECT_NE(std::string::npos, recorder->All().find("1.000000 0.000000 0.000000 setrgbcolor"));
    back->Delete();

    // Cut anywhere inside the group's record: the stream error.
    const std::vector<unsigned char> alone = Stored(group);
    for (size_t n = 0; n < alone.size(); n++) {
        const std::vector<unsigned char> cut(alone.begin(), alone.begin() + long(n));
        EXPECT_THROW(Restored(cut), ZuExcStream) << n;
    }
}

} // namespace
