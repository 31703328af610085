// The cell grid: boundaries and cell rectangles, growing and shrinking
// with the cells kept in their column and row (and those left outside
// detached and announced), column widths, detection on boundaries, drawing
// clipped to cells, insertion into full columns, and the stored form with
// its checks of outside data.
#include "si/cellgrid.h"

#include <gtest/gtest.h>

#include <string>

#include "si/array.h"
#include "si/boxview.h"
#include "si/except.h"
#include "si/memzone.h"
#include "si/storagesync.h"
#include "tests/support/itemviews.h"
#include "tests/support/looks.h"
#include "tests/support/storagetest.h"

// A grid that logs its hooks.
ZU_HANDLE(TLoggedGrid, ZuCellGrid)
class TLoggedGrid : public ZuCellGrid {
    ZU_CLASS(TLoggedGrid, ZuCellGrid)
public:
    TLoggedGrid() {}
    void NotifyAttachCell(const ZuControlRef& cell, unsigned c, unsigned r) override
    {
        log += "+" + std::to_string(cell->RetUserTag()) + "@" + std::to_string(c) + "," +
               std::to_string(r) + " ";
    }
    void NotifyDetachCell(const ZuControlRef& cell, unsigned c, unsigned r) override
    {
        log += "-" + std::to_string(cell->RetUserTag()) + "@" + std::to_string(c) + "," +
               std::to_string(r) + " ";
    }
    void Delete() override
    {
        log = std::string();
        ZuCellGrid::Delete();
    }
    std::string log;
};
ZU_CLASS_END(TLoggedGrid)
ZU_IMPLEMENT_CLASS(TLoggedGrid, "tests/si/cellgrid_test", ZU_CLASS_PLAIN)

// A grid whose stored record says what a test wants: counts, boundaries
// and a cell array of its own.
ZU_HANDLE(TForgedGrid, ZuCellGrid)
class TForgedGrid : public ZuCellGrid {
    ZU_CLASS(TForgedGrid, ZuCellGrid)
public:
    TForgedGrid() {}
    std::uint64_t nx = 0, ny = 0;
    unsigned boundaries_x = 0, boundaries_y = 0, elements = 0;

protected:
    void StoreInstance(const ZuStorageRef& s) override
    {
        ZuView::StoreInstance(s);
        static ZuStorageSync record(
            "<ZuCellGrid num_x num_y { grid_x } { grid_y } cell_dx cell_dy array auto_resize>");
        s << record << ZuStorageSync::begin;
        s->StoreCard(nx);
        s->StoreCard(ny);
        s << ZuStorageSync::repeat;
        for (unsigned i = 0; i < boundaries_x; ++i)
            s->StoreReal(i * 10.0);
        s << ZuStorageSync::end_repeat << ZuStorageSync::repeat;
        for (unsigned i = 0; i < boundaries_y; ++i)
            s->StoreReal(i * 10.0);
        s << ZuStorageSync::end_repeat;
        s->StoreReal(10);
        s->StoreReal(10);
        ZuArrayRef cells = ZuNew<ZuArray>(Zuvi_app_zone);
        cells->SetSize(elements);
        s->StoreObject(cells);
        cells->Delete();
        s->StoreBool(true);
        s << ZuStorageSync::end;
    }
};
ZU_CLASS_END(TForgedGrid)
ZU_IMPLEMENT_CLASS(TForgedGrid, "tests/si/cellgrid_test", ZU_CLASS_PLAIN)

namespace {

class CellGridTest : public LookTest {
protected:
    void SetUp() override
    {
        LookTest::SetUp();
        grid = ZuNew<TLoggedGrid>(Zuvi_app_zone);
        grid->SetBox(ZuRect(100, 50, 199, 149));
    }
    void TearDown() override
    {
        grid->Delete();
        grid = TLoggedGridRef();
        for (ZuViewRef& v : made)
            v->Delete();
        made.clear();
        ZuObjectRef::RealiseDeletions();
        LookTest::TearDown();
    }
    // A box view with a tag and a fill colour, as a cell.
    ZuControlRef Cell(int tag, ZuLookColor color = ZU_COLOR_NONE)
    {
        ZuBoxViewRef b = ZuNew<ZuBoxView>(Zuvi_app_zone);
        b->SetUserTag(tag);
        b->SetEnableFrame(false);
        b->SetBackColor(color);
        made.push_back(b);
        return b;
    }
    static std::string Bounds(const std::vector<double>& v)
    {
        std::string out;
        for (double d : v)
            out += std::to_string(int(d)) + " ";
        return out;
    }
    // "c,r" of each tag's cell, in tag order.
    std::string Places(int tags)
    {
        std::string out;
        for (int t = 0; t < tags; ++t) {
            unsigned c = 0, r = 0;
            out += grid->FindCell(ZuControlRef(made[t]), c, r)
                       ? std::to_string(c) + "," + std::to_string(r) + " "
                       : "- ";
        }
        return out;
    }
    // A 3 x 2 grid of 20 x 10 cells holding the tags 0 to 5, row by row.
    void Fill()
    {
        grid->SetDefaultCellSize(20, 10);
        grid->SetGridSize(3, 2);
        for (int t = 0; t < 6; ++t)
            grid->SetCell(t % 3, t / 3, Cell(t), false);
        grid->log.clear();
    }
    TLoggedGridRef grid;
    std::vector<ZuViewRef> made;
};

} // namespace

TEST_F(CellGridTest, BoundariesCellsAndGrowingKeepEveryCellInPlace)
{
    Fill();
    EXPECT_EQ(Bounds(grid->RetGridX()), "0 20 40 60 ");
    EXPECT_EQ(Bounds(grid->RetGridY()), "0 10 20 ");
    EXPECT_EQ(grid->RetBox(), ZuRect(100, 50, 159, 69));
    ZuRect r;
    ASSERT_TRUE(grid->GetCellRect(1, 1, r));
    EXPECT_EQ(r, ZuRect(120, 60, 140, 70));
    double dx = 0, dy = 0;
    grid->GetCellSize(1, 1, dx, dy);
    EXPECT_EQ(dx, 21);
    EXPECT_EQ(dy, 11);
    EXPECT_EQ(made[4]->RetBox(), r);
    EXPECT_EQ(made[4]->RetParent(), grid);
    EXPECT_FALSE(made[4]->RetState().TestBit(ZU_VIEW_OK_ACTIVE));
    EXPECT_FALSE(grid->GetCellRect(3, 0, r));
    grid->GetCellSize(3, 0, dx, dy);
    EXPECT_EQ(dx, 0);
    // Growing to 4 x 2: one more boundary, every cell in its column and
    // row, announced off and on again.
    grid->SetGridSize(4, 2);
    EXPECT_EQ(Bounds(grid->RetGridX()), "0 20 40 60 80 ");
    EXPECT_EQ(Places(6), "0,0 1,0 2,0 0,1 1,1 2,1 ");
    EXPECT_EQ(grid->log, "-0@0,0 -3@0,1 -1@1,0 -4@1,1 -2@2,0 -5@2,1 "
                         "+0@0,0 +3@0,1 +1@1,0 +4@1,1 +2@2,0 +5@2,1 ");
    // A wider first column moves every later boundary.
    EXPECT_TRUE(grid->SetRowWidth(0, 30));
    EXPECT_EQ(Bounds(grid->RetGridX()), "0 30 50 70 90 ");
    EXPECT_FALSE(grid->IsCellGeometryOk());
    EXPECT_FALSE(grid->SetRowWidth(4, 30));
    EXPECT_TRUE(grid->SetLineHeight(1, 5));
    EXPECT_EQ(Bounds(grid->RetGridY()), "0 10 15 ");
}

TEST_F(CellGridTest, ShrinkingDetachesAndAnnouncesTheCellsLeftOutside)
{
    Fill();
    grid->SetGridSize(2, 1);
    EXPECT_EQ(Places(6), "0,0 1,0 - - - - ");
    for (int t : {2, 3, 4, 5})
        EXPECT_TRUE(made[t]->RetParent().IsInvalid()) << t;
    EXPECT_EQ(made[0]->RetParent(), grid);
    EXPECT_EQ(grid->log, "-0@0,0 -1@1,0 -3@0,1 -4@1,1 -2@2,0 -5@2,1 +0@0,0 +1@1,0 ");
    // Empty: both sizes 0, no boundaries, every cell let go.
    grid->log.clear();
    grid->SetGridSize(0, 5);
    unsigned c = 9, r = 9;
    grid->GetGridSize(c, r);
    EXPECT_EQ(c, 0u);
    EXPECT_EQ(r, 0u);
    EXPECT_TRUE(grid->RetGridX().empty());
    EXPECT_EQ(grid->RetCells()->TotalCount(), 0u);
    EXPECT_TRUE(made[0]->RetParent().IsInvalid());
    EXPECT_EQ(grid->log, "-0@0,0 -1@1,0 ");
}

TEST_F(CellGridTest, APointOnABoundaryIsInTheNextColumnAndPastTheLastInTheGrid)
{
    Fill();
    grid->SetCell(2, 1, ZuControlRef(), false);
    grid->SetAutoGridResize(false);
    grid->SetSize(100, 100);
    struct Case {
        double x, y;
        int tag; // -1: the grid itself
    } const cases[] = {
        {110, 55, 0},  {120, 55, 1}, {119.5, 55, 0}, {120, 60, 4}, {145, 65, -1}, // empty cell
        {161, 55, -1}, // past the last boundary
        {110, 80, -1},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(std::to_string(k.x) + "," + std::to_string(k.y));
        ZuViewRef v;
        ASSERT_TRUE(grid->Detect(k.x, k.y, v, false));
        if (k.tag < 0)
            EXPECT_EQ(v, grid);
        else
            EXPECT_EQ(v, made[k.tag]);
    }
    ZuViewRef v;
    EXPECT_FALSE(grid->Detect(99, 55, v, false));
    EXPECT_FALSE(grid->Detect(100, 150, v, false));
}

TEST_F(CellGridTest, CellsAreDrawnClippedToTheirCellsAndTheRectangle)
{
    grid->SetBox(ZuRect(0, 0, 99, 99));
    grid->SetDefaultCellSize(20, 10);
    grid->SetGridSize(2, 1);
    grid->SetCell(0, 0, Cell(0, ZU_COLOR_BLACK), false);
    grid->SetCell(1, 0, Cell(1, ZU_COLOR_WHITE), false);
    // A control that outgrows its cell stays inside it.
    made[0]->SetBox(ZuRect(0, 0, 59, 30));
    ZuGrailPixmapRef px = NewPixmap(32, 80, 40);
    auto draw = [&](const ZuRect& rect) {
        px->BeginDraw(0, 0, 79, 39);
        px->SetForeColor(ZuColorPixel(0x00123456u));
        px->FillRect(0, 0, 79, 39);
        grid->DrawChildren(px, rect, ZU_DRAW_ALL);
        px->EndDraw();
    };
    draw(ZuRect(0, 0, 79, 39));
    EXPECT_EQ(Pixel(px, 10, 5), 0x000000u);
    EXPECT_EQ(Pixel(px, 30, 5), 0xFFFFFFu);
    EXPECT_EQ(Pixel(px, 10, 15), 0x123456u);
    EXPECT_EQ(Pixel(px, 45, 5), 0x123456u);
    draw(ZuRect(0, 0, 15, 9));
    EXPECT_EQ(Pixel(px, 10, 5), 0x000000u);
    EXPECT_EQ(Pixel(px, 30, 5), 0x123456u);
    px->Delete();
}

TEST_F(CellGridTest, InsertingIntoAFullColumnAddsARowAndFitsTheControl)
{
    Fill();
    ZuControlRef big = Cell(6);
    big->SetSize(30, 4);
    big->SetDesiredMinSize(10, 14);
    ASSERT_TRUE(grid->InsertCellInColumn(big, 1));
    unsigned c = 0, r = 0;
    grid->GetGridSize(c, r);
    EXPECT_EQ(r, 3u);
    EXPECT_EQ(Places(7), "0,0 1,0 2,0 0,1 1,1 2,1 1,2 ");
    EXPECT_EQ(Bounds(grid->RetGridX()), "0 20 50 70 ");
    EXPECT_EQ(Bounds(grid->RetGridY()), "0 10 20 34 ");
    // A free place of the row is taken first.
    grid->SetCell(0, 2, ZuControlRef(), false);
    ASSERT_TRUE(grid->InsertCellInLine(Cell(7), 2));
    EXPECT_EQ(Places(8), "0,0 1,0 2,0 0,1 1,1 2,1 1,2 0,2 ");
    EXPECT_FALSE(grid->SetCell(5, 0, Cell(8), false));
}

TEST_F(CellGridTest, StorageKeepsTheGridAndRefusesCountsTheInputCannotHold)
{
    Fill();
    grid->SetRowWidth(2, 35);
    grid->SetAutoGridResize(false);
    ZuCellGridRef read(StoredAndRead(grid));
    ASSERT_TRUE(read.IsValid());
    EXPECT_EQ(Bounds(read->RetGridX()), "0 20 40 75 ");
    EXPECT_EQ(Bounds(read->RetGridY()), "0 10 20 ");
    EXPECT_FALSE(read->RetAutoGridResize());
    ZuControlRef cell;
    ASSERT_TRUE(read->GetCell(1, 1, cell));
    EXPECT_EQ(cell->RetUserTag(), 4);
    EXPECT_EQ(cell->RetParent(), read);
    read->Delete();

    struct Case {
        const char* what;
        std::uint64_t nx, ny;
        unsigned bx, by, elements;
        bool good;
    } const cases[] = {
        {"consistent", 2, 1, 3, 2, 2, true},
        {"empty", 0, 0, 0, 0, 0, true},
        {"fewer elements than cells", 2, 2, 3, 3, 3, true},
        {"counts past the input", 1u << 20, 1u << 20, 0, 0, 0, false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        TForgedGridRef forged = ZuNew<TForgedGrid>(Zuvi_app_zone);
        forged->nx = k.nx;
        forged->ny = k.ny;
        forged->boundaries_x = k.bx;
        forged->boundaries_y = k.by;
        forged->elements = k.elements;
        if (k.good) {
            ZuCellGridRef back(StoredAndRead(forged));
            ASSERT_TRUE(back.IsValid());
            unsigned c = 0, r = 0;
            back->GetGridSize(c, r);
            EXPECT_EQ(c, unsigned(k.nx));
            // The cell array is made to fit the grid on first use.
            back->UpdateCellGeometry();
            EXPECT_EQ(back->RetCells()->TotalCount(), unsigned(k.nx * k.ny));
            back->Delete();
        } else {
            EXPECT_THROW(StoredAndRead(forged), ZuException);
        }
        forged->Delete();
    }
}
