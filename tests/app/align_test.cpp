// Alignment, distribution and grid snapping of the selected objects: moved
// copies recorded in place of the objects, one undo step each.
#include <gtest/gtest.h>

#include <vector>

#include "tests/app/selecttest.h"

namespace {

class CAlignTest : public CSelectObjectTest {
protected:
    void SetUp() override
    {
        CSelectObjectTest::SetUp();
        LiveEdit(200, 200);
    }
    // Handle boxes of the layer's children, in order.
    std::vector<DRect> Boxes() const
    {
        std::vector<DRect> out;
        for (CTreeNode* n : Children(layer))
            out.push_back(CGraObjectRef(n->RetObject())->GetHandlesBox());
        return out;
    }
    void SelectAll()
    {
        std::vector<CTreeNodeRef> all;
        for (CTreeNode* n : Children(layer))
            all.push_back(CTreeNodeRef(n));
        Select(all);
    }
    int LastOper() const
    {
        return CUndoGroupRef(sel->RetUndoList()->GetLast()->GetObject())->GetOper();
    }
};

TEST_F(CAlignTest, AlignBringsTheChosenEdgesToTheReference)
{
    struct Case {
        const char* what;
        int flags;
        // x1, y1 of each of the three boxes after.
        std::vector<DPoint> want;
    } cases[] = {
        {"left keeps y", 0x04, {{10, 10}, {10, 40}, {10, 20}}},
        {"left and top", 0x04 | 0x01, {{10, 50}, {10, 40}, {10, 30}}},
        {"right wins over left", 0x04 | 0x08, {{100, 10}, {100, 40}, {80, 20}}},
        {"bottom", 0x02, {{10, 10}, {50, 10}, {80, 10}}},
        {"centre on the page", 0x10 | 0x400, {{-10, 10}, {-10, 40}, {-20, 20}}},
        {"vertical centre", 0x20, {{10, 30}, {50, 25}, {80, 20}}},
    };
    for (const Case& c : cases) {
        sel->EndSelection();
        sel->ClearUndo();
        layer->RemoveAllChildren();
        Rect(layer, 10, 10, 30, 40);  // 20 x 30
        Rect(layer, 50, 40, 70, 80);  // 20 x 40
        Rect(layer, 80, 20, 120, 70); // 40 x 50
        SelectAll();
        ASSERT_TRUE(sel->Align(c.flags)) << c.what;
        EXPECT_EQ(CUndoGroup::STEP_ALIGN, LastOper()) << c.what;
        const std::vector<DRect> boxes = Boxes();
        ASSERT_EQ(3u, boxes.size());
        for (size_t i = 0; i < 3; i++) {
            EXPECT_NEAR(c.want[i].x, boxes[i].x1, 1e-9) << c.what << " " << i;
            EXPECT_NEAR(c.want[i].y, boxes[i].y1, 1e-9) << c.what << " " << i;
        }
        EXPECT_EQ(3, sel->GetSelectedCount()) << c.what;
    }
}

TEST_F(CAlignTest, AlignOnAGuide)
{
    doc->SetPageSize(210.0, 297.0);
    const CTreeNodeRef a = Rect(layer, 10, 10, 30, 40);
    const CTreeNodeRef b = Rect(layer, 50, 40, 70, 80);
    SelectAll();
    const int index = doc->AddGuide(true, 100.0);
    doc->SetCurrentGuide(true, index);
    ASSERT_TRUE(sel->Align(0x800 | 0x02));
    for (const DRect& r : Boxes())
        EXPECT_NEAR(-48.5, r.y1, 1e-9);
    // Across the guide, or with no current guide: refused before any step.
    sel->ClearUndo();
    EXPECT_FALSE(sel->Align(0x800 | 0x04));
    doc->SetCurrentGuide(true, -1);
    EXPECT_FALSE(sel->Align(0x800 | 0x02));
    EXPECT_EQ(0, UndoCount());
}

TEST_F(CAlignTest, DistributeSpreadsByKeyOrByEqualGaps)
{
    struct Case {
        const char* what;
        int flags;
        std::vector<double> left; // x1 of each, all 5 (or 10) wide
        double width;
        std::vector<double> want;
    } cases[] = {
        {"left edges", 0x104, {0, 10, 50}, 5, {0, 25, 50}},
        {"met out of order", 0x104, {50, 0, 10}, 5, {50, 0, 25}},
        {"equal gaps", 0x140, {0, 20, 90}, 10, {0, 45, 90}},
        {"right edges", 0x108, {0, 30, 40}, 5, {0, 20, 40}},
    };
    for (const Case& c : cases) {
        sel->EndSelection();
        sel->ClearUndo();
        layer->RemoveAllChildren();
        for (double x : c.left)
            Rect(layer, x, 10, x + c.width, 20);
        SelectAll();
        ASSERT_TRUE(sel->Distribute(c.flags)) << c.what;
        EXPECT_EQ(CUndoGroup::STEP_DISTRIBUTE, LastOper()) << c.what;
        const std::vector<DRect> boxes = Boxes();
        for (size_t i = 0; i < boxes.size(); i++) {
            EXPECT_NEAR(c.want[i], boxes[i].x1, 1e-9) << c.what << " " << i;
            EXPECT_NEAR(10.0, boxes[i].y1, 1e-9) << c.what << " " << i;
        }
    }
}

TEST_F(CAlignTest, DistributeGivesEveryObjectOfALargeSelectionItsOwnPlace)
{
    // More objects than a fixed table of 500 would hold, met from right to
    // left, every other one off its place by half a unit: each must go to
    // its own place.
    const int n = 520;
    for (int i = 0; i < n; i++) {
        const double x = (n - 1 - i) * 2.0 + (i % 2 == 1 && i != n - 1 ? 0.5 : 0.0);
        Rect(layer, x, 0, x + 1, 1);
    }
    SelectAll();
    ASSERT_TRUE(sel->Distribute(0x104));
    const std::vector<DRect> boxes = Boxes();
    ASSERT_EQ(size_t(n), boxes.size());
    for (int i = 0; i < n; i++)
        EXPECT_NEAR((n - 1 - i) * 2.0, boxes[size_t(i)].x1, 1e-6) << i;
}

TEST_F(CAlignTest, SortKeepsEqualKeysInWalkOrderAndRanksAnAbsentIndexFirst)
{
    CSelectObject::DistributionEntry table[] = {
        {0, 5.0, 0}, {1, 1.0, 0}, {2, 5.0, 0}, {3, 1.0, 0}, {4, 0.5, 0}};
    CSelectObject::SortDistribution(table, 5);
    const int order[] = {4, 1, 3, 0, 2};
    for (int i = 0; i < 5; i++)
        EXPECT_EQ(order[i], table[i].index) << i;
    EXPECT_EQ(3, CSelectObject::FindDistributionRank(table, 5, 0));
    EXPECT_EQ(0, CSelectObject::FindDistributionRank(table, 5, 9));
}

TEST_F(CAlignTest, SnapPointToGrid)
{
    view->values[4] = view->values[5] = 10.0;
    struct Case {
        double p, want;
    } cases[] = {{14.9, 10.0}, {15.0, 20.0}, {-15.0, -20.0}, {-14.9, -10.0}, {0.0, 0.0}};
    for (const Case& c : cases) {
        DPoint out;
        sel->SnapPointToGrid(out, DPoint{c.p, c.p}, DPoint{0.0, 0.0});
        EXPECT_DOUBLE_EQ(c.want, out.x) << c.p;
        EXPECT_DOUBLE_EQ(c.want, out.y) << c.p;
    }
    DPoint out;
    sel->SnapPointToGrid(out, DPoint{3.0, 14.9}, DPoint{1.0, 0.0});
    EXPECT_DOUBLE_EQ(1.0, out.x);
    view->values[4] = 0.0;
    sel->SnapPointToGrid(out, DPoint{3.3, 14.9}, DPoint{0.0, 0.0});
    EXPECT_DOUBLE_EQ(3.3, out.x);
    EXPECT_DOUBLE_EQ(10.0, out.y);
}

TEST_F(CAlignTest, SnapToGridMovesThePositionHandles)
{
    view->values[4] = view->values[5] = 10.0;
    view->origin_x = 2.0;
    Rect(layer, 13, 16, 31, 44);
    Rect(layer, 48, 1, 59, 9);
    SelectAll();
    ASSERT_TRUE(sel->SnapToGrid(0));
    EXPECT_EQ(CUndoGroup::STEP_SNAP_TO_GRID, LastOper());
    const std::vector<DRect> boxes = Boxes();
    EXPECT_DOUBLE_EQ(12.0, boxes[0].x1);
    EXPECT_DOUBLE_EQ(20.0, boxes[0].y1);
    EXPECT_DOUBLE_EQ(32.0, boxes[0].x2);
    EXPECT_DOUBLE_EQ(40.0, boxes[0].y2);
    EXPECT_DOUBLE_EQ(52.0, boxes[1].x1);
    EXPECT_DOUBLE_EQ(0.0, boxes[1].y1);
    ASSERT_TRUE(sel->Undo());
    EXPECT_DOUBLE_EQ(13.0, Boxes()[0].x1);
}

TEST_F(CAlignTest, FewerThanTwoSelectedDoNothing)
{
    const CTreeNodeRef a = Rect(layer, 10, 10, 30, 40);
    Rect(layer, 50, 40, 70, 80);
    Select({a});
    EXPECT_FALSE(sel->Align(0x04));
    EXPECT_FALSE(sel->Distribute(0x104));
    EXPECT_FALSE(sel->SnapToGrid(0));
    EXPECT_EQ(0, UndoCount());
    EXPECT_DOUBLE_EQ(10.0, Boxes()[0].x1);
}

} // namespace
