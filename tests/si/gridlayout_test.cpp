// Architect and layout bases, and the grid layout: cells, counts, sizes,
// hits, origin snapping and the stored form.
#include <gtest/gtest.h>

#include "si/classfactory.h"
#include "si/gridlayout.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"
#include "tests/support/itemviews.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"

namespace {

class GridLayoutTest : public ZuviRuntimeTest {
protected:
    ZuGridLayoutRef NewGrid(const ZuObjectRef& source, unsigned cols, unsigned rows, double dx,
                            double dy, bool auto_fit, bool by_rows)
    {
        ZuGridLayoutRef g = ZuNew<ZuGridLayout>(Zuvi_app_zone);
        EXPECT_TRUE(g->Initialise(source, arch, cols, rows, dx, dy, auto_fit, by_rows));
        return g;
    }
    void SetUp() override
    {
        ZuviRuntimeTest::SetUp();
        arch = TItemArchitect::Make();
    }
    void TearDown() override
    {
        arch = TItemArchitectRef();
        ZuviRuntimeTest::TearDown();
    }
    TItemArchitectRef arch;
};

std::vector<TItemSpec> Items(unsigned n, double dx = 10, double dy = 10)
{
    return std::vector<TItemSpec>(n, TItemSpec{dx, dy, 0});
}

} // namespace

TEST_F(GridLayoutTest, AbstractBasesCannotBeMade)
{
    for (const char* name : {"ZuViewArchitect", "ZuViewLayout"})
        EXPECT_DEATH(ZuClassFactory::New(name, Zuvi_app_zone, __LINE__, __FILE__),
                     std::string("Cannot instanciate ") + name)
            << name;
}

TEST_F(GridLayoutTest, ArchitectKeepsItsAttributesThroughCopyAndStorage)
{
    arch->SetTotalAttributes(3);
    TItemArchitectRef copy(arch->Clone());
    ASSERT_TRUE(copy.IsValid());
    EXPECT_EQ(3u, copy->RetTotalAttributes());
    TItemArchitectRef back(StoredAndRead(arch));
    ASSERT_TRUE(back.IsValid());
    EXPECT_EQ(3u, back->RetTotalAttributes());
}

TEST_F(GridLayoutTest, LayoutKeepsASourceThatIsNoContainer)
{
    ZuGridLayoutRef g = ZuNew<ZuGridLayout>(Zuvi_app_zone);
    ZuTestNodeRef node = ZuTestNode::Make(1);
    EXPECT_FALSE(g->ZuViewLayout::Initialise(node, arch));
    EXPECT_TRUE(g->RetSource() == node);
    EXPECT_TRUE(g->RetArchitect() == arch);
    // Without a container nothing is found, and the grid keeps no counts.
    EXPECT_FALSE(g->Initialise(node, arch, 2, 2, 10, 10, false, true));
    unsigned index = 0;
    EXPECT_FALSE(g->FindViewInBox(ZuRect(0, 0, 100, 100), index));
    EXPECT_FALSE(g->FindViewAtPosition(1, 1, index));
    EXPECT_EQ(0u, g->RetNumColumns());
}

TEST_F(GridLayoutTest, RestoredLayoutAnswersThroughItsSource)
{
    ZuGridLayoutRef g = NewGrid(NewItems(Items(3)), 3, 1, 10, 10, false, true);
    g->SetConstrainMode(true, false);
    ZuGridLayoutRef back(StoredAndRead(g));
    ASSERT_TRUE(back.IsValid());
    double w = 0, h = 0;
    back->GetGlobalSize(w, h);
    unsigned index = 0;
    ASSERT_TRUE(back->FindViewInBox(ZuRect(12, 0, 14, 5), index));
    EXPECT_EQ(1u, index);
    index = 0;
    ASSERT_TRUE(back->FindViewAtPosition(25, 3, index));
    EXPECT_EQ(2u, index);
    bool cx = false, cy = true;
    back->GetConstrainMode(cx, cy);
    EXPECT_TRUE(cx);
    EXPECT_FALSE(cy);
}

TEST_F(GridLayoutTest, CellsOfAnIndexAndIndexOfACell)
{
    struct Case {
        bool by_rows;
        unsigned cols, rows, index, col, row;
        bool inside;
    } const cases[] = {
        {false, 3, 4, 5, 1, 1, true},   {false, 3, 4, 0, 0, 0, true}, {false, 3, 4, 11, 2, 3, true},
        {false, 3, 4, 12, 3, 0, false}, {true, 3, 4, 5, 2, 1, true},  {true, 3, 4, 12, 0, 4, false},
    };
    for (const Case& c : cases) {
        ZuGridLayoutRef g = NewGrid(NewItems(Items(1)), c.cols, c.rows, 10, 10, false, c.by_rows);
        unsigned col = 99, row = 99, index = 99;
        EXPECT_EQ(c.inside, g->ComputePosition(c.index, col, row)) << c.index;
        EXPECT_EQ(c.col, col) << c.index;
        EXPECT_EQ(c.row, row) << c.index;
        EXPECT_EQ(c.inside, g->ComputeIndex(c.col, c.row, index)) << c.index;
        if (c.inside) {
            EXPECT_EQ(c.index, index);
        }
    }
}

TEST_F(GridLayoutTest, CountsOfZeroCountAsOne)
{
    ZuGridLayoutRef g = NewGrid(NewItems(Items(1)), 3, 3, 10, 10, false, true);
    g->SetNumColRows(0, 0);
    EXPECT_EQ(1u, g->RetNumColumns());
    EXPECT_EQ(1u, g->RetNumRows());
    EXPECT_FALSE(g->SetColWidth(1, 5));
    EXPECT_FALSE(g->SetRowHeight(1, 5));
    EXPECT_TRUE(g->SetColWidth(0, 5));
}

TEST_F(GridLayoutTest, FreeDimensionFollowsTheItems)
{
    // 3 columns filled by rows: 7 to 9 items fit 3 rows.
    struct Case {
        unsigned items, rows;
    } const cases[] = {{7, 3}, {9, 3}, {6, 2}, {10, 4}, {0, 1}};
    ZuArrayRef items = NewItems(Items(7));
    ZuGridLayoutRef g = NewGrid(items, 3, 1, 10, 10, false, true);
    for (const Case& c : cases) {
        items->SetSize(c.items);
        g->NotifyDataSourceChange();
        EXPECT_EQ(3u, g->RetNumColumns()) << c.items;
        EXPECT_EQ(c.rows, g->RetNumRows()) << c.items;
    }
    // By columns the rows stay and the columns follow.
    ZuGridLayoutRef h = NewGrid(NewItems(Items(9)), 1, 4, 10, 10, false, false);
    h->NotifyDataSourceChange();
    EXPECT_EQ(3u, h->RetNumColumns());
    EXPECT_EQ(4u, h->RetNumRows());
}

TEST_F(GridLayoutTest, GridWithoutCountsAdaptsWithoutDividingByZero)
{
    // Set through the base alone, the grid has no columns and no rows.
    ZuGridLayoutRef g = ZuNew<ZuGridLayout>(Zuvi_app_zone);
    ASSERT_TRUE(g->ZuViewLayout::Initialise(NewItems(Items(5)), arch));
    EXPECT_TRUE(g->NotifyDataSourceChange());
    EXPECT_EQ(5u, g->RetNumColumns());
    EXPECT_EQ(1u, g->RetNumRows());
    ZuGridLayoutRef h = ZuNew<ZuGridLayout>(Zuvi_app_zone);
    ASSERT_TRUE(h->ZuViewLayout::Initialise(NewItems(Items(5)), arch));
    h->SetLayoutByRows(true);
    EXPECT_TRUE(h->NotifyDataSourceChange());
    EXPECT_EQ(1u, h->RetNumColumns());
    EXPECT_EQ(5u, h->RetNumRows());
}

TEST_F(GridLayoutTest, ColumnsFitTheirWidestItemOnlyWithAutoFit)
{
    // Items by rows in 2 columns: column 0 holds 30 and 5 wide, column 1
    // 12 and 8; rows are 4 and 25 high at most.
    const std::vector<TItemSpec> specs = {{30, 4, 0}, {12, 3, 0}, {5, 25, 0}, {8, 2, 0}};
    struct Case {
        bool auto_fit;
        double col0, col1, row0, row1;
    } const cases[] = {{true, 30, 15, 10, 25}, {false, 15, 15, 10, 10}};
    for (const Case& c : cases) {
        ZuGridLayoutRef g = NewGrid(NewItems(specs), 2, 2, 15, 10, c.auto_fit, true);
        double w = 0, h = 0;
        g->GetGlobalSize(w, h);
        EXPECT_EQ(c.col0 + c.col1, w);
        EXPECT_EQ(c.row0 + c.row1, h);
        ZuRect box;
        ASSERT_TRUE(g->GetViewBox(3, box));
        EXPECT_EQ(ZuRect(c.col0, c.row0, c.col0 + c.col1 - 1, c.row0 + c.row1 - 1), box);
    }
}

TEST_F(GridLayoutTest, DefaultCellSizeComesFromTheArchitect)
{
    arch->knows_default = true;
    arch->default_dx = 40;
    arch->default_dy = 12;
    ZuGridLayoutRef g = NewGrid(NewItems(Items(1)), 1, 1, 0, 7, false, true);
    EXPECT_EQ(40, g->RetDefaultColWidth());
    EXPECT_EQ(7, g->RetDefaultRowHeight());
    // An architect that cannot tell leaves the default at 0: empty cells.
    arch->knows_default = false;
    ZuGridLayoutRef e = NewGrid(NewItems(Items(1)), 1, 1, 0, 0, false, true);
    double w = 1, h = 1;
    e->GetGlobalSize(w, h);
    EXPECT_EQ(0, w);
    ZuRect box;
    ASSERT_TRUE(e->GetViewBox(0, box));
    EXPECT_TRUE(box.IsEmpty());
    unsigned index = 0;
    EXPECT_FALSE(e->FindViewAtPosition(0, 0, index));
}

TEST_F(GridLayoutTest, FindsOnlyItemsOfTheSource)
{
    // 5 items in a 3 x 2 grid by rows: the sixth cell has no item.
    ZuGridLayoutRef g = NewGrid(NewItems(Items(5)), 3, 2, 10, 10, false, true);
    double w = 0, h = 0;
    g->GetGlobalSize(w, h);
    ZuRect box;
    EXPECT_TRUE(g->GetViewBox(5, box));
    unsigned index = 5;
    EXPECT_FALSE(g->FindViewInBox(ZuRect(0, 0, 29, 19), index));
    EXPECT_EQ(5u, index);
    index = 0;
    ASSERT_TRUE(g->FindViewInBox(ZuRect(15, 15, 16, 16), index));
    EXPECT_EQ(4u, index);
    index = 2;
    ASSERT_TRUE(g->FindViewInBox(ZuRect(0, 0, 29, 19), index));
    EXPECT_EQ(2u, index);
}

TEST_F(GridLayoutTest, OriginSnapsToCellEdges)
{
    ZuGridLayoutRef g = NewGrid(NewItems(Items(3)), 3, 1, 10, 20, false, true);
    double w = 0, h = 0;
    g->GetGlobalSize(w, h);
    struct Case {
        bool cx, cy;
        double x, y, want_x, want_y;
    } const cases[] = {
        {true, false, 9.75, 5, 10, 5}, // a quarter before the end: next cell
        {true, false, 9.74, 5, 0, 5},  // 0.26 before: stays
        {true, true, 25, 5, 20, 0},    // rows snap the same way
        {true, true, 45, 50, 45, 50},  // beyond the last cell: unchanged
        {false, false, 9.75, 3, 9.75, 3},
    };
    for (const Case& c : cases) {
        g->SetConstrainMode(c.cx, c.cy);
        double x = c.x, y = c.y;
        EXPECT_TRUE(g->ConstrainOrigin(x, y));
        EXPECT_EQ(c.want_x, x) << c.x;
        EXPECT_EQ(c.want_y, y) << c.y;
    }
}

TEST_F(GridLayoutTest, StoredGridKeepsItsFields)
{
    ZuGridLayoutRef g = NewGrid(NewItems(Items(4)), 2, 3, 11, 13, true, true);
    double w = 0, h = 0;
    g->GetGlobalSize(w, h);
    g->SetColWidth(1, 17);
    g->SetRowHeight(2, 19);
    ZuGridLayoutRef back(StoredAndRead(g));
    ASSERT_TRUE(back.IsValid());
    EXPECT_EQ(2u, back->RetNumColumns());
    EXPECT_EQ(3u, back->RetNumRows());
    EXPECT_EQ(11, back->RetDefaultColWidth());
    EXPECT_EQ(13, back->RetDefaultRowHeight());
    EXPECT_TRUE(back->RetLayoutByRows());
    // The current widths and heights, before any update.
    ZuRect box;
    ASSERT_TRUE(back->GetViewBox(5, box));
    EXPECT_EQ(ZuRect(11, 26, 27, 44), box);
    // Auto-fit came back too: the items are 10 x 10, below the defaults.
    back->GetGlobalSize(w, h);
    EXPECT_EQ(22, w);
    EXPECT_EQ(39, h);
}

// A grid whose stored form says 5 columns but holds only two widths.
ZU_HANDLE(TShortGrid, ZuGridLayout)
class TShortGrid : public ZuGridLayout {
    ZU_CLASS(TShortGrid, ZuGridLayout)
public:
    TShortGrid() {}
    unsigned rows_written = 2;

protected:
    void StoreInstance(const ZuStorageRef& s) override
    {
        ZuViewLayout::StoreInstance(s);
        static ZuStorageSync record("<ZuGridLayout num_cols num_rows def_col_dx def_row_dy "
                                    "[col_dx] [row_dy] is_auto_fitting is_layout_by_rows>");
        s << record << ZuStorageSync::begin;
        s->StoreCard(5);
        s->StoreCard(rows_written);
        s->StoreReal(10);
        s->StoreReal(10);
        s << ZuStorageSync::begin;
        s->StoreCard(5);
        s->StoreCard(0);
        s << ZuStorageSync::mark;
        s->StoreReal(7);
        s->StoreReal(8);
        s << ZuStorageSync::end;
        Zuvi_SimpleArrayZero<double> rows(rows_written);
        rows.StoreInstance(s);
        s->StoreBool(false);
        s->StoreBool(true);
        s << ZuStorageSync::end;
    }
};
ZU_CLASS_END(TShortGrid)
ZU_IMPLEMENT_CLASS(TShortGrid, "tests/si/gridlayout_test", ZU_CLASS_PLAIN)

TEST_F(GridLayoutTest, StoredArraysAreReadOnlyAsFarAsTheyGo)
{
    TShortGridRef bad = ZuNew<TShortGrid>(Zuvi_app_zone);
    bad->ZuViewLayout::Initialise(NewItems(Items(6)), arch);
    ZuGridLayoutRef back(StoredAndRead(bad));
    ASSERT_TRUE(back.IsValid());
    EXPECT_EQ(2u, back->RetNumColumns());
    EXPECT_EQ(2u, back->RetNumRows());
    ZuRect box;
    ASSERT_TRUE(back->GetViewBox(1, box));
    EXPECT_TRUE(box.IsEmpty()); // the row heights stored were 0
    EXPECT_EQ(7, box.X1());
    EXPECT_FALSE(back->GetViewBox(4, box));

    // No rows at all: an empty grid that answers nothing.
    bad->rows_written = 0;
    ZuGridLayoutRef empty(StoredAndRead(bad));
    ASSERT_TRUE(empty.IsValid());
    EXPECT_EQ(0u, empty->RetNumColumns());
    EXPECT_EQ(0u, empty->RetNumRows());
    double w = 1, h = 1;
    EXPECT_TRUE(empty->GetGlobalSize(w, h));
    EXPECT_EQ(0, w);
    EXPECT_EQ(0, h);
    unsigned index = 0, col = 0, row = 0;
    EXPECT_FALSE(empty->GetViewBox(0, box));
    EXPECT_FALSE(empty->ComputePosition(0, col, row));
    EXPECT_FALSE(empty->FindViewInBox(ZuRect(0, 0, 50, 50), index));
    EXPECT_FALSE(empty->FindViewAtPosition(0, 0, index));
    double x = 3, y = 4;
    empty->SetConstrainMode(true, true);
    EXPECT_TRUE(empty->ConstrainOrigin(x, y));
    EXPECT_EQ(3, x);
}
