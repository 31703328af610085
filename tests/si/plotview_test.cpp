// The plot view: ring indexing, ownership of the data, drawing and its
// stored form.
#include "si/plotview.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "si/classfactory.h"
#include "si/except.h"
#include "si/memzone.h"
#include "si/storagesync.h"
#include "tests/support/ports.h"
#include "tests/support/storagetest.h"

// A plot view that writes fewer values than the count it stores, as a
// damaged or forged file would.
ZU_HANDLE(TLyingPlot, ZuPlotView)
class TLyingPlot : public ZuPlotView {
    ZU_CLASS(TLyingPlot, ZuPlotView)
public:
    TLyingPlot() {}
    void StoreDataSet(const ZuStorageRef& s) override
    {
        s << ZuStorageSync::repeat;
        s->StoreReal(1.0);
        s->StoreReal(2.0);
        s << ZuStorageSync::end_repeat;
    }
};
ZU_CLASS_END(TLyingPlot)
ZU_IMPLEMENT_CLASS(TLyingPlot, "tests/plotview", ZU_CLASS_PLAIN)

class PlotViewTest : public PortTest {
protected:
    ZuPlotViewRef NewPlot()
    {
        ZuPlotViewRef v = ZuNew<ZuPlotView>(Zuvi_app_zone);
        v->SetBox(ZuRect(0, 0, 9, 9));
        return v;
    }
    void TearDown() override
    {
        for (ZuPlotViewRef& v : made)
            v->Delete();
        made.clear();
        PortTest::TearDown();
    }
    std::vector<ZuPlotViewRef> made;
};

TEST_F(PlotViewTest, TheRingStartsAtTheOrigin)
{
    ZuPlotViewRef v = NewPlot();
    made.push_back(v);
    EXPECT_EQ(0u, v->TotalCount());
    EXPECT_FALSE(v->SetDataOrigin(3)); // no data
    EXPECT_EQ(0u, v->RetDataOrigin());

    double yt[4] = {10, 11, 12, 13};
    v->DefineDataSet(yt, 4, ZU_PLOT_VIEW_Y_T, nullptr);
    EXPECT_EQ(4u, v->TotalCount());
    ASSERT_TRUE(v->SetDataOrigin(1));
    double y = 0, x = 0;
    struct Case {
        unsigned i;
        double y;
    } const yt_cases[] = {{0, 11}, {3, 10}, {5, 12}}; // the index wraps
    for (const Case& c : yt_cases) {
        ASSERT_TRUE(v->GetData(c.i, y)) << c.i;
        EXPECT_EQ(c.y, y) << c.i;
    }
    EXPECT_FALSE(v->GetData(0, x, y)); // not pairs
    ASSERT_TRUE(v->SetDataOrigin(7));
    EXPECT_EQ(3u, v->RetDataOrigin());

    // Pairs: the pair index turns by twice the origin; an odd last value
    // is left out.
    double xy[7] = {0, 1, 2, 3, 4, 5, 99};
    v->DefineDataSet(xy, 7, ZU_PLOT_VIEW_X_Y, nullptr);
    EXPECT_EQ(3u, v->TotalCount());
    ASSERT_TRUE(v->SetDataOrigin(1));
    const unsigned pair_of_point[3] = {2, 0, 1};
    for (unsigned i = 0; i < 3; ++i) {
        ASSERT_TRUE(v->GetData(i, x, y));
        EXPECT_EQ(double(2 * pair_of_point[i]), x) << i;
        EXPECT_EQ(double(2 * pair_of_point[i] + 1), y) << i;
    }
    ZuColorPixel colour;
    EXPECT_FALSE(v->GetDataPoint(3, x, y, colour));
    EXPECT_FALSE(v->GetData(0, y)); // not single values

    // One value makes no pair: every pair accessor answers false.
    double one[1] = {5};
    v->DefineDataSet(one, 1, ZU_PLOT_VIEW_X_Y, nullptr);
    v->CloneDataSet();
    EXPECT_EQ(0u, v->TotalCount());
    EXPECT_FALSE(v->GetData(0, x, y));
    EXPECT_FALSE(v->SetData(0, x, y));
    EXPECT_FALSE(v->GetDataPoint(0, x, y, colour));
}

TEST_F(PlotViewTest, OnlyOwnedDataIsWritten)
{
    ZuPlotViewRef v = NewPlot();
    made.push_back(v);
    double yt[3] = {1, 2, 3};
    v->DefineDataSet(yt, 3, ZU_PLOT_VIEW_Y_T, nullptr);
    EXPECT_FALSE(v->SetData(0, 9.0));
    v->CloneDataSet();
    EXPECT_TRUE(v->IsDataOwned());
    ASSERT_TRUE(v->SetData(4, 9.0)); // wraps to the second value
    double y = 0;
    ASSERT_TRUE(v->GetData(1, y));
    EXPECT_EQ(9.0, y);
    EXPECT_EQ(2.0, yt[1]);                 // the caller's array is untouched
    EXPECT_FALSE(v->SetData(0, 1.0, 2.0)); // not pairs
    v->FlushDataSet();
    EXPECT_EQ(0u, v->TotalCount());
    EXPECT_EQ(ZU_PLOT_VIEW_Y_T, v->RetDataType());
}

TEST_F(PlotViewTest, PointsInsideTheUnitSquareAreDrawnFromTheBottom)
{
    ZuPlotViewRef v = NewPlot();
    made.push_back(v);
    v->SetDefaultColor(ZuColorPixel(0xFF0000u));
    const double nan = std::numeric_limits<double>::quiet_NaN();
    // Point i of 5 at x = 2i; y 0 at half height, below -0.5 or from 0.5
    // up outside, NaN never drawn.
    double yt[5] = {0, -0.6, 0.4, 0.5, nan};
    v->DefineDataSet(yt, 5, ZU_PLOT_VIEW_Y_T, nullptr);
    ZuGrailPixmapRef pixmap = NewPixmap(32, 10, 10);
    v->DrawFront(pixmap, ZuRect(0, 0, 9, 9));
    EXPECT_EQ(2u, CountInked(pixmap)) << Picture(pixmap, 0, 0, 9, 9);
    EXPECT_NE(0u, Pixel(pixmap, 0, 5));
    EXPECT_NE(0u, Pixel(pixmap, 4, 1));

    // A size of 0 puts every point outside.
    ZuGrailPixmapRef none = NewPixmap(32, 10, 10);
    v->SetVerticalSize(0);
    v->DrawFront(none, ZuRect(0, 0, 9, 9));
    EXPECT_EQ(0u, CountInked(none));
}

TEST_F(PlotViewTest, TheDataSetIsStoredAndACountBeyondTheBytesIsRefused)
{
    ZuPlotViewRef v = NewPlot();
    made.push_back(v);
    double yt[3] = {1.5, -2, 4};
    v->DefineDataSet(yt, 3, ZU_PLOT_VIEW_Y_T, nullptr);
    v->SetDataOrigin(2);
    v->SetHorizontalZero(0.25);
    v->SetDefaultColor(ZuColorPixel(0x00FF00u)); // a named colour needs the looks
    ZuTestStorageRef s = ZuTestStorage::Make();
    s->StartStoring();
    s->StoreObject(v);
    std::vector<unsigned char> bytes = s->Bytes();
    s->StartRestoring(bytes);
    ZuObjectRef out;
    s->RestoreObject(out, ZuPlotViewRef::RetRuntime());
    ZuPlotViewRef back(out);
    ASSERT_TRUE(back.IsValid());
    made.push_back(back);
    EXPECT_TRUE(back->IsDataOwned());
    EXPECT_EQ(3u, back->TotalCount());
    EXPECT_EQ(2u, back->RetDataOrigin());
    EXPECT_EQ(0.25, back->RetHorizontalZero());
    double y = 0;
    ASSERT_TRUE(back->GetData(0, y));
    EXPECT_EQ(4.0, y);

    // Counts whose bytes would wrap in 32 bits, or that the input cannot
    // hold: a stream error, nothing written out of bounds.
    for (unsigned count : {0x20000001u, 0xFFFFFFFFu, 1000u}) {
        TLyingPlotRef liar = ZuNew<TLyingPlot>(Zuvi_app_zone);
        liar->DefineDataSet(yt, count, ZU_PLOT_VIEW_Y_T, nullptr);
        liar->SetDefaultColor(ZuColorPixel(0x00FF00u));
        s->StartStoring();
        s->StoreObject(liar);
        bytes = s->Bytes();
        liar->FlushDataSet();
        liar->Delete();
        s->StartRestoring(bytes);
        ZuObjectRef bad;
        EXPECT_THROW(s->RestoreObject(bad, ZuPlotViewRef::RetRuntime()), ZuExcStream) << count;
    }
}
