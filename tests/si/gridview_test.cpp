// The grid view: dots over the children at every pitch position of the
// drawn rectangle, snapping to the grid, and the pitch kept in storage.

#include "si/gridview.h"

#include <gtest/gtest.h>

#include <string>

#include "si/grailpxm.h"
#include "si/memzone.h"
#include "si/classfactory.h"
#include "tests/support/ports.h"
#include "tests/support/storagetest.h"

namespace {

class GridViewTest : public PortTest {
protected:
    void SetUp() override
    {
        PortTest::SetUp();
        grid = ZuNew<ZuGridView>(Zuvi_app_zone);
        grid->SetBox(ZuRect(0, 0, 15, 15));
        target = NewPixmap(32, 16, 16);
    }
    void TearDown() override
    {
        grid->Delete();
        grid = ZuGridViewRef();
        target = ZuGrailPixmapRef();
        PortTest::TearDown();
    }
    std::string DrawDots(const ZuRect& rect)
    {
        target->BeginDraw(0, 0, 15, 15);
        grid->DrawFront(target, rect);
        target->EndDraw();
        return Picture(target, 0, 0, 12, 12);
    }
    ZuGridViewRef grid;
    ZuGrailPixmapRef target;
};

TEST_F(GridViewTest, DotsLieOnThePitchInsideTheDrawnRectangle)
{
    double dx = 0, dy = 0;
    grid->GetGridPitch(dx, dy);
    EXPECT_EQ(dx, 4);
    EXPECT_EQ(dy, 4);
    std::string const want = ".............\n"
                             ".............\n"
                             ".............\n"
                             ".............\n"
                             "....#...#....\n"
                             ".............\n"
                             ".............\n"
                             ".............\n"
                             "....#...#....\n"
                             ".............\n"
                             ".............\n"
                             ".............\n"
                             ".............\n";
    EXPECT_EQ(DrawDots(ZuRect(1, 1, 10, 10)), want);
    EXPECT_EQ(Pixel(target, 4, 4), Pixel(target, 8, 8));
    EXPECT_NE(Pixel(target, 4, 4), 0u);
}

TEST_F(GridViewTest, APitchOfZeroOrBelowDrawsNoDots)
{
    for (double bad : {0.0, -4.0}) {
        grid->SetGridPitch(bad, 4);
        DrawDots(ZuRect(0, 0, 15, 15));
        EXPECT_EQ(CountInked(target), 0u) << bad;
        grid->SetGridPitch(4, bad);
        DrawDots(ZuRect(0, 0, 15, 15));
        EXPECT_EQ(CountInked(target), 0u) << bad;
    }
}

TEST_F(GridViewTest, AlignOnGridSnapsTowardsZero)
{
    struct Case {
        double pitch, in, out;
    } const cases[] = {{4, 9, 8}, {4, -9, -8}, {4, 8, 8}, {0, 9, 9}, {2.5, 6, 5}};
    for (const Case& c : cases) {
        grid->SetGridPitch(c.pitch, c.pitch);
        double x = c.in, y = c.in;
        grid->AlignOnGrid(x, y);
        EXPECT_EQ(x, c.out) << c.pitch << " " << c.in;
        EXPECT_EQ(y, c.out) << c.pitch << " " << c.in;
    }
}

TEST_F(GridViewTest, StorageKeepsBothPitches)
{
    grid->SetGridPitch(3, 7);
    ZuTestStorageRef storage = ZuTestStorage::Make();
    storage->StartStoring();
    storage << ZuObjectRef(grid);
    std::string const bytes(storage->Bytes().begin(), storage->Bytes().end());
    EXPECT_NE(bytes.find("<ZuGridView dx dy>"), std::string::npos);
    storage->StartRestoring(storage->Bytes());
    ZuGridViewRef back;
    storage >> back;
    ASSERT_TRUE(back.IsValid());
    double dx = 0, dy = 0;
    back->GetGridPitch(dx, dy);
    EXPECT_EQ(dx, 3);
    EXPECT_EQ(dy, 7);
    back->Delete();
}

} // namespace
