// The window's drawing details: partitions, overlays of drop and
// connection targets, and a window that has nothing to draw into.

#include <gtest/gtest.h>

#include <string>

#include "si/grailpxm.h"
#include "si/lookman.h"
#include "si/window.h"
#include "tests/support/looks.h"
#include "tests/support/views.h"

// A child that splits the surface itself.
ZU_HANDLE(TPartView, TProbeView)
class TPartView : public TProbeView {
    ZU_CLASS(TPartView, TProbeView)
public:
    TPartView() {}
    bool DefinePartition(const ZuGrailPixmapRef& pixmap) override
    {
        log += label + ":DefinePartition ";
        ZuRect half = RetBox();
        half.X2() = half.X1() + 4;
        return pixmap->AddPartition(half, ZuObjectNull);
    }
};
ZU_CLASS_END(TPartView)
ZU_IMPLEMENT_CLASS(TPartView, "tests/window_redraw", ZU_CLASS_PLAIN)

class WindowRedrawTest : public LookTest {
protected:
    void SetUp() override
    {
        LookTest::SetUp();
        TProbeView::log.clear();
        w = NewTestWindow(100, 60);
        pixmap = NewPixmap(32, 100, 60);
        a = TProbeView::Make("A", 10, 10, 49, 39, 0xFF0000);
        a->SetParent(w);
    }
    void TearDown() override
    {
        w->Delete();
        w = ZuWindowRef();
        a = TProbeViewRef();
        pixmap->Delete();
        pixmap = ZuGrailPixmapRef();
        LookTest::TearDown();
    }
    static unsigned LookColor(ZuLookColor c)
    {
        unsigned rgb = 0;
        EXPECT_TRUE(ZuLookMan::current->GetColorCompactRGB(c, rgb));
        return rgb & 0xFFFFFFu;
    }
    std::string Partitions()
    {
        std::string out;
        for (unsigned i = 0; i < pixmap->CountPartitions(); ++i) {
            ZuRect r;
            ZuObjectRef owner;
            pixmap->GetPartition(i, r, owner);
            out += std::to_string(int(r.X1())) + "," + std::to_string(int(r.Y1())) + "-" +
                   std::to_string(int(r.X2())) + "," + std::to_string(int(r.Y2())) + " ";
        }
        return out;
    }
    ZuWindowRef w;
    ZuGrailPixmapRef pixmap;
    TProbeViewRef a;
};

TEST_F(WindowRedrawTest, PartitionedWindowSplitsItsSurfaceBeforeDrawingAndFillsNoBackground)
{
    TPartViewRef b = ZuNew<TPartView>(Zuvi_app_zone);
    b->label = "B";
    b->SetBox(ZuRect(60, 10, 89, 49));
    b->ChangeState(ZU_VIEW_NO_PARTITION, true, false);
    b->SetParent(w);
    // Without a surface there is nothing to split.
    EXPECT_FALSE(w->UpdatePartitions());

    w->ChangeStyle(ZU_WINSTYLE_PARTITIONED, true);
    w->SetGrailPort(pixmap);
    pixmap->SetForeColor(ZuColorPixel(0x123456u));
    pixmap->FillRect(ZuRect(0, 0, 99, 59), 0);
    pixmap->AddPartition(ZuRect(0, 0, 1, 1), ZuObjectNull); // stale
    w->Redraw(ZuRect(0, 0, 99, 59), false);
    EXPECT_EQ(Partitions(), "10,10-49,39 60,10-64,49 ");
    EXPECT_EQ(TProbeView::log, "B:DefinePartition ");
    EXPECT_EQ(Pixel(pixmap, 95, 55), 0x123456u);
    EXPECT_EQ(Pixel(pixmap, 15, 15), 0xFF0000u);

    // Valid partitions are not rebuilt by the next drawing; by name they are.
    TProbeView::log.clear();
    pixmap->RemovePartitions();
    w->Redraw(ZuRect(0, 0, 99, 59), false);
    EXPECT_EQ(pixmap->CountPartitions(), 0u);
    EXPECT_TRUE(w->Action(ZuAtomRef("UpdatePartitions"), ZuObjectNull, 0));
    EXPECT_EQ(Partitions(), "10,10-49,39 60,10-64,49 ");

    // A window without the style leaves the surface's partitions alone.
    w->ChangeStyle(ZU_WINSTYLE_PARTITIONED, false);
    w->SetGrailPort(pixmap);
    pixmap->RemovePartitions();
    w->Redraw(ZuRect(0, 0, 99, 59), false);
    EXPECT_EQ(pixmap->CountPartitions(), 0u);
    EXPECT_NE(Pixel(pixmap, 95, 55), 0x123456u);
}

TEST_F(WindowRedrawTest, ADropAndConnectionTargetShowsBothOutlinesAndTheFill)
{
    w->SetGrailPort(pixmap);
    ZuObjectRef dragged = ZuNew<ZuView>(Zuvi_app_zone);
    ZuRect r(0, 0, 5, 5);
    a->DragAndDrop(r, dragged, ZU_DDP_DRAGnDROP_ENTER);
    a->DragAndDrop(r, dragged, ZU_DDP_CONNECT_ENTER);
    w->Redraw(ZuRect(0, 0, 99, 59), false);
    unsigned background = Pixel(pixmap, 95, 55);
    unsigned connect = LookColor(ZU_COLOR_VIEW_CONNECT);
    EXPECT_NE(Pixel(pixmap, 15, 15), 0xFF0000u); // the fill covers the view
    EXPECT_NE(Pixel(pixmap, 15, 15), background);
    EXPECT_EQ(Pixel(pixmap, 9, 20), connect); // one pixel outside
    EXPECT_EQ(Pixel(pixmap, 8, 20), connect); // two pixels outside
    EXPECT_EQ(Pixel(pixmap, 7, 20), background);

    // Without the highlights the view shows itself again.
    a->DragAndDrop(r, dragged, ZU_DDP_DRAGnDROP_LEAVE);
    a->DragAndDrop(r, dragged, ZU_DDP_CONNECT_LEAVE);
    w->Redraw(ZuRect(0, 0, 99, 59), false);
    EXPECT_EQ(Pixel(pixmap, 15, 15), 0xFF0000u);
    EXPECT_EQ(Pixel(pixmap, 9, 20), background);
    dragged->Delete();
}

TEST_F(WindowRedrawTest, AWindowWithNothingToDrawIntoKeepsItsPendingRectangle)
{
    // Sizing the window asked for the whole of it; start from nothing.
    w->ResetDelayedDisplay();
    w->AddDelayedDisplay(ZuRect(0, 0, 9, 9), true);
    w->Redraw(ZuRect(0, 0, 99, 59), false);
    EXPECT_EQ(w->RetDelayedRect(), ZuRect(0, 0, 9, 9));
    w->ResetDelayedDisplay();
    EXPECT_TRUE(w->RetDelayedRect().IsEmpty());
    EXPECT_FALSE(w->RetDelayedFrame());
    // A view that asks to be displayed only adds to the pending rectangle.
    a->Display(true);
    EXPECT_TRUE(w->RetDelayedRect().IsEmpty()); // no port: nothing to show
}
