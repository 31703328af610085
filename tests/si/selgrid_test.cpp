// The selection grid: the hilite policy (single, multiple, at least one),
// clicks on cells, the ranks that cell observers receive, the place a
// dragged cell would go, and drags that end with or without a drop on a
// cell. Drags run through stand-in drag calls that record what the grid
// asks of them.
#include "si/selgrid.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "si/dragcalls.h"
#include "si/hashtab.h"
#include "si/memzone.h"
#include "tests/support/controls.h"
#include "tests/support/itemviews.h"

// What a drag view is to the grid: an object that carries attributes,
// reports, and knows where the drop happened.
ZU_HANDLE(TDragStandIn, ZuObject)
class TDragStandIn : public ZuObject {
    ZU_CLASS(TDragStandIn, ZuObject)
public:
    TDragStandIn() {}
    static TDragStandIn* last;
    static std::string log;
    double drop_x = 0, drop_y = 0;
    ZuViewRef image;
    void Delete() override
    {
        log += "deleted ";
        if (last == this)
            last = nullptr;
        // The image is the grid's.
        image = ZuViewRef();
        ZuObject::Delete();
    }
};
ZU_CLASS_END(TDragStandIn)
ZU_IMPLEMENT_CLASS(TDragStandIn, "tests/si/selgrid_test", ZU_CLASS_PLAIN)
TDragStandIn* TDragStandIn::last = nullptr;
std::string TDragStandIn::log;

namespace {

ZuObjectRef MakeDrag(const ZuViewRef& image, const ZuObjectRef&, bool, double, double,
                     const ZuViewRef& only_in)
{
    TDragStandInRef d = ZuNew<TDragStandIn>(Zuvi_app_zone);
    d->image = image;
    TDragStandIn::last = d.Resolve();
    TDragStandIn::log += std::string("made") + (only_in.IsValid() ? "(only in grid) " : " ");
    return d;
}
void StartDrag(const ZuObjectRef&)
{
    TDragStandIn::log += "started ";
}
bool DropOrigin(const ZuObjectRef& drag, double& x, double& y)
{
    x = TDragStandInRef(drag)->drop_x;
    y = TDragStandInRef(drag)->drop_y;
    return true;
}

// A 3 x 2 grid of 20 x 10 cells at (10, 10) of the window, with plain
// controls tagged 0 to 5 row by row.
class SelGridTest : public ControlTest {
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        saved_calls = Zuvi_drag_calls;
        TDragStandIn::log.clear();
        grid = ZuNew<ZuSelGrid>(Zuvi_app_zone);
        grid->SetBox(ZuRect(10, 10, 69, 29));
        grid->SetParent(w);
        grid->SetDefaultCellSize(20, 10);
        grid->SetGridSize(3, 2);
        for (int t = 0; t < 6; ++t)
            grid->SetCell(t % 3, t / 3, Cell(t), false);
        log = TReportLog::Make();
        log->Watch(grid,
                   {"notify_cell_activated", "notify_cell_deactivated", "notify_cell_dragged"});
    }
    void TearDown() override
    {
        Zuvi_drag_calls = saved_calls;
        grid->Delete();
        grid = ZuSelGridRef();
        log = TReportLogRef();
        ZuObjectRef::RealiseDeletions();
        ControlTest::TearDown();
    }
    ZuControlRef Cell(int tag)
    {
        ZuControlRef c = ZuNew<ZuControl>(Zuvi_app_zone);
        c->SetUserTag(tag);
        return c;
    }
    void Install()
    {
        Zuvi_drag_calls.make = &MakeDrag;
        Zuvi_drag_calls.start = &StartDrag;
        Zuvi_drag_calls.drop_origin = &DropOrigin;
    }
    // The centre of a cell, in window coordinates.
    void Centre(unsigned c, unsigned l, double& x, double& y)
    {
        ZuRect r;
        grid->GetCellRect(c, l, r);
        x = (r.X1() + r.X2()) / 2;
        y = (r.Y1() + r.Y2()) / 2;
    }
    void Click(unsigned c, unsigned l)
    {
        double x = 0, y = 0;
        Centre(c, l, x, y);
        Mouse(x, y, 0);
        Mouse(x, y, MK_LBUTTON);
        Mouse(x, y, 0);
    }
    void Press(unsigned c, unsigned l)
    {
        double x = 0, y = 0;
        Centre(c, l, x, y);
        Mouse(x, y, 0);
        Mouse(x, y, MK_LBUTTON);
    }
    std::string Hilited()
    {
        std::string out;
        unsigned c = 0, l = 0;
        for (unsigned n = 0; grid->FindActiveHilite(c, l, n); ++n)
            out += std::to_string(c) + "," + std::to_string(l) + " ";
        return out;
    }
    // The watched reports without their ids.
    std::string Reports()
    {
        std::string out;
        for (char ch : log->log)
            if (ch != '(' && ch != ')' && (ch < '0' || ch > '9'))
                out += ch;
        return out;
    }
    std::string Origin()
    {
        unsigned c = 0, l = 0;
        return grid->GetDragOrigin(c, l) ? std::to_string(c) + "," + std::to_string(l) : "-";
    }
    Zuvi_DragCalls saved_calls;
    ZuSelGridRef grid;
    TReportLogRef log;
};

} // namespace

TEST_F(SelGridTest, SingleSelectionMovesTheHiliteAndReportsBothChanges)
{
    EXPECT_TRUE(grid->SetActiveHilite(0, 0, true, true));
    log->Clear();
    EXPECT_TRUE(grid->SetActiveHilite(1, 1, true, true));
    EXPECT_EQ(Reports(), "notify_cell_deactivated notify_cell_activated ");
    EXPECT_EQ(Hilited(), "1,1 ");
    EXPECT_EQ(grid->RetSelectNum(), 1u);
    // Several at once, found line by line or column by column.
    grid->SetSelectMultipleOk(true);
    grid->SetActiveHilite(2, 0, true, false);
    grid->SetActiveHilite(0, 1, true, false);
    EXPECT_EQ(Hilited(), "2,0 0,1 1,1 ");
    grid->SetSearchLinesFirst(false);
    EXPECT_EQ(Hilited(), "0,1 1,1 2,0 ");
    EXPECT_FALSE(grid->SetActiveHilite(3, 0, true, false));
    grid->RemoveEveryHilite();
    EXPECT_EQ(Hilited(), "");
    EXPECT_EQ(grid->RetSelectNum(), 0u);
}

TEST_F(SelGridTest, ClicksFlipHilitesAndTheLastOneStaysWithAtLeastOne)
{
    Click(1, 0);
    EXPECT_EQ(Hilited(), "");
    grid->SetSelectOnClick(true);
    grid->SetSelectAtLeastOne(true);
    Click(1, 0);
    EXPECT_EQ(Hilited(), "1,0 ");
    Click(1, 0);
    EXPECT_EQ(Hilited(), "1,0 ");
    EXPECT_FALSE(grid->SetActiveHilite(1, 0, false, true));
    Click(2, 1);
    EXPECT_EQ(Hilited(), "2,1 ");
}

TEST_F(SelGridTest, CellsCountWhenTheyComeOnAndStopCountingWhenTheyLeave)
{
    ZuControlRef on = Cell(9);
    on->ChangeState(ZU_VIEW_IS_ON, true, false);
    grid->SetCell(2, 1, on, false);
    EXPECT_EQ(grid->RetSelectNum(), 1u);
    EXPECT_EQ(Hilited(), "2,1 ");
    // Shrinking leaves the cell outside: it no longer counts nor reports.
    grid->SetGridSize(2, 2);
    EXPECT_EQ(grid->RetSelectNum(), 0u);
    grid->SetSelectOnClick(true);
    on->Action(true);
    EXPECT_EQ(Reports(), "");
    on->Delete();
}

TEST_F(SelGridTest, ObserversReceiveLineTimesColumnsPlusColumn)
{
    // No drag calls: the ranks show in the drag origin alone.
    Zuvi_drag_calls = Zuvi_DragCalls();
    // Attached before dragging was enabled.
    grid->EnableDragging(true);
    Press(2, 1);
    Mouse(0, 0, 0);
    EXPECT_EQ(Origin(), "2,1");
    EXPECT_FALSE(grid->IsDragging());
    // Attached after, and ranks made again when the grid grows.
    grid->SetCell(1, 1, Cell(7), false);
    grid->SetGridSize(4, 2);
    grid->SetSelectOnClick(true);
    for (unsigned c : {1u, 2u}) {
        grid->ResetDragDropStatus();
        Press(c, 1);
        Mouse(0, 0, 0);
        EXPECT_EQ(Origin(), std::to_string(c) + ",1");
    }
    // Without a drag to start, a press on a cell stays a click.
    Click(2, 1);
    EXPECT_EQ(Hilited(), "2,1 ");
    // Dragging off: presses start nothing.
    grid->EnableDragging(false);
    grid->ResetDragDropStatus();
    Press(0, 0);
    Mouse(0, 0, 0);
    EXPECT_EQ(Origin(), "-");
}

TEST_F(SelGridTest, TheDropPlaceFollowsTheOffsetFromTheCellsCentre)
{
    TDragStandInRef drag = ZuNew<TDragStandIn>(Zuvi_app_zone);
    drag->SetAttribute("SourceSelGrid", grid);
    // Cell (1, 0) is (30, 10)-(50, 20): centre (40, 15), half sizes 10.5
    // and 5.5.
    struct Case {
        bool over;
        double cx, cy;
        unsigned place;
    } const cases[] = {
        {true, 41, 16, 1}, {false, 41, 16, 5}, {true, 35, 15, 2},       {true, 46, 15, 3},
        {true, 40, 13, 4}, {true, 40, 18, 5},  {true, 45.25, 17.75, 5}, {false, 40, 15, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.cx) + "," + std::to_string(c.cy));
        grid->SetInsertOverCell(c.over);
        grid->DragAndDrop(ZuRect(c.cx - 5, c.cy - 5, c.cx + 5, c.cy + 5), drag,
                          ZU_DDP_DRAGnDROP_MOTION);
        EXPECT_EQ(grid->RetDropPlace(), c.place);
    }
    // The grid takes the drop when it allows drops.
    grid->ChangeState(ZU_VIEW_OK_DROP, false, false);
    EXPECT_FALSE(grid->DragAndDrop(ZuRect(35, 10, 45, 20), drag, ZU_DDP_DRAGnDROP_CHECK));
    grid->ChangeState(ZU_VIEW_OK_DROP, true, false);
    EXPECT_TRUE(grid->DragAndDrop(ZuRect(35, 10, 45, 20), drag, ZU_DDP_DRAGnDROP_CHECK));
    drag->Delete();
}

TEST_F(SelGridTest, ADropOnACellReportsItAndADropOutsideStillEndsTheDrag)
{
    Install();
    grid->EnableDragging(true);
    struct Case {
        double x, y;
        const char* reports;
        const char* drop;
    } const cases[] = {
        {62, 25, "notify_cell_dragged ", "2,1"},
        {150, 80, "", "-"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reports);
        TDragStandIn::log.clear();
        log->Clear();
        grid->ResetDragDropStatus();
        Press(0, 0);
        ASSERT_TRUE(grid->IsDragging());
        ASSERT_NE(TDragStandIn::last, nullptr);
        EXPECT_EQ(TDragStandIn::log, "made(only in grid) started ");
        ZuObjectRef source;
        EXPECT_TRUE(TDragStandIn::last->GetAttribute("SourceSelGrid", source, 0));
        EXPECT_EQ(source, grid);
        TDragStandIn::last->drop_x = c.x;
        TDragStandIn::last->drop_y = c.y;
        TDragStandIn::last->Report(ZuAtomRef("do_commit_smart_drop"), 0);
        EXPECT_EQ(Reports(), c.reports);
        EXPECT_FALSE(grid->IsDragging());
        EXPECT_TRUE(grid->RetDragView().IsInvalid());
        // The drag deletes itself; the grid only lets go of it.
        EXPECT_EQ(TDragStandIn::log, "made(only in grid) started ");
        TDragStandIn::last->Delete();
        unsigned col = 0, line = 0;
        double dx = 0, dy = 0;
        const bool dropped = grid->GetDropPosition(col, line, dx, dy);
        EXPECT_EQ(dropped ? std::to_string(col) + "," + std::to_string(line) : "-", c.drop);
        EXPECT_EQ(Origin(), "0,0");
        Mouse(0, 0, 0);
    }
    // A cancelled drag ends the same way.
    Press(1, 0);
    ASSERT_TRUE(grid->IsDragging());
    TDragStandIn::last->Report(ZuAtomRef("notify_drop_cancelled"), 0);
    EXPECT_FALSE(grid->IsDragging());
    TDragStandIn::last->Delete();
    Mouse(0, 0, 0);
}

TEST_F(SelGridTest, ACellDraggedThroughTheDragViewOntoAnotherIsReported)
{
    grid->EnableDragging(true);
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    Centre(0, 0, x0, y0);
    Centre(2, 1, x1, y1);
    Mouse(x0, y0, 0);
    Mouse(x0, y0, MK_LBUTTON);
    ASSERT_TRUE(grid->IsDragging());
    EXPECT_TRUE(grid->RetDragView().IsValid());
    Mouse(x0 + 1, y0 + 1, MK_LBUTTON);
    Mouse(x1, y1, MK_LBUTTON);
    Mouse(x1, y1, 0);
    EXPECT_EQ(Reports(), "notify_cell_dragged ");
    EXPECT_FALSE(grid->IsDragging());
    EXPECT_TRUE(grid->RetDragView().IsInvalid());
    unsigned c = 0, l = 0;
    double dx = 0, dy = 0;
    ASSERT_TRUE(grid->GetDropPosition(c, l, dx, dy));
    EXPECT_EQ(c, 2u);
    EXPECT_EQ(l, 1u);
    EXPECT_EQ(Origin(), "0,0");
    // Dropped outside the grid: nothing reported, the drag ended all the
    // same.
    log->Clear();
    grid->ResetDragDropStatus();
    Mouse(x0, y0, MK_LBUTTON);
    Mouse(x0 + 1, y0 + 1, MK_LBUTTON);
    Mouse(150, 90, MK_LBUTTON);
    Mouse(150, 90, 0);
    EXPECT_EQ(Reports(), "");
    EXPECT_FALSE(grid->IsDragging());
    EXPECT_FALSE(grid->GetDropPosition(c, l, dx, dy));
    ZuObjectRef::RealiseDeletions();
}

TEST_F(SelGridTest, TheOverlayMarksThePlaceTheCellWouldGo)
{
    TDragStandInRef drag = ZuNew<TDragStandIn>(Zuvi_app_zone);
    drag->SetAttribute("SourceSelGrid", grid);
    ZuGrailPixmapRef px = NewPixmap(32, 100, 60);
    // The dropping colour as this port's adorner paints it over the
    // background.
    px->BeginDraw(0, 0, 99, 59);
    px->SetForeColor(ZuColorPixel(0x00123456u));
    px->FillRect(0, 0, 99, 59);
    px->RetAdorner()->FillRect(ZuRect(90, 50, 99, 59), ZU_COLOR_VIEW_DROPPING, 0);
    px->EndDraw();
    const unsigned mark = Pixel(px, 95, 55);
    // Cell (1, 0) spans (30, 10)-(50, 20).
    struct Case {
        double cx, cy;
        unsigned place;
        int x, y;             // a pixel of the mark
        int clear_x, clear_y; // a pixel the mark leaves alone
    } const cases[] = {
        {40, 15, 1, 28, 15, 31, 15}, {35, 15, 2, 29, 15, 31, 15}, {46, 15, 3, 51, 15, 48, 15},
        {40, 13, 4, 40, 9, 40, 11},  {40, 18, 5, 40, 21, 40, 19},
    };
    // The drag enters the grid as it does under the pointer.
    grid->DragAndDrop(ZuRect(35, 10, 45, 20), drag, ZU_DDP_DRAGnDROP_ENTER);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.place);
        grid->DragAndDrop(ZuRect(c.cx - 5, c.cy - 5, c.cx + 5, c.cy + 5), drag,
                          ZU_DDP_DRAGnDROP_MOTION);
        ASSERT_EQ(grid->RetDropPlace(), c.place);
        px->BeginDraw(0, 0, 99, 59);
        px->SetForeColor(ZuColorPixel(0x00123456u));
        px->FillRect(0, 0, 99, 59);
        grid->DrawOverlay(px, ZuRect(0, 0, 99, 59));
        px->EndDraw();
        EXPECT_EQ(Pixel(px, c.x, c.y), mark);
        EXPECT_EQ(Pixel(px, c.clear_x, c.clear_y), 0x123456u);
        // The other cells keep their colour: only the marker is drawn.
        for (const auto& p : {std::make_pair(15, 25), std::make_pair(60, 15)})
            EXPECT_EQ(Pixel(px, p.first, p.second), 0x123456u) << p.first << "," << p.second;
    }
    // The grid draws over its window while the drag is over it, and no
    // more once the drag has left.
    EXPECT_TRUE(w->RetViewOverlays()->LookFor(grid));
    grid->DragAndDrop(ZuRect(35, 10, 45, 20), drag, ZU_DDP_DRAGnDROP_LEAVE);
    EXPECT_FALSE(w->RetViewOverlays()->LookFor(grid));
    px->Delete();
    drag->Delete();
}

TEST_F(SelGridTest, StorageKeepsThePolicy)
{
    grid->SetSelectOnClick(true);
    grid->SetSelectMultipleOk(true);
    grid->SetInsertOverCell(false);
    grid->SetSearchLinesFirst(false);
    grid->SetActiveHilite(1, 1, true, false);
    ZuSelGridRef read(StoredAndRead(grid));
    ASSERT_TRUE(read.IsValid());
    EXPECT_TRUE(read->RetSelectOnClick());
    EXPECT_TRUE(read->RetSelectMultipleOk());
    EXPECT_FALSE(read->RetSelectAtLeastOne());
    EXPECT_FALSE(read->RetSearchLinesFirst());
    EXPECT_TRUE(read->RetInsertBetweenLines());
    EXPECT_FALSE(read->RetInsertOverCell());
    EXPECT_EQ(read->RetSelectNum(), 1u);
    EXPECT_TRUE(read->RetActiveHilite(1, 1));
    read->Delete();
}
