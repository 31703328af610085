// The dock view: which presses tear it off, the window it moves into and
// the drag of that window on the screen, the grip and its width, and the
// width taken from the stripe after restoring.
#include "si/dockview.h"

#include <gtest/gtest.h>

#include <string>

#include "si/classfactory.h"
#include "si/grailpxm.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "tests/support/controls.h"
#include "tests/support/itemviews.h"
#include "w32/headless.h"

// A dock view whose grip width can be kept from following the stripe, to
// store a width that disagrees with it.
ZU_HANDLE(TFrozenDock, ZuDockView)
class TFrozenDock : public ZuDockView {
    ZU_CLASS(TFrozenDock, ZuDockView)
public:
    TFrozenDock() {}
    bool frozen = false;

protected:
    void UpdateHandleWidth() override
    {
        if (!frozen)
            ZuDockView::UpdateHandleWidth();
    }
};
ZU_CLASS_END(TFrozenDock)
ZU_IMPLEMENT_CLASS(TFrozenDock, "tests/si/dockview_test", ZU_CLASS_PLAIN)

namespace {

// A dock view of 100 x 30 at (20, 30) in the fixture's window at
// (100, 100), tearing off from its left grip only.
class DockViewTest : public ControlTest {
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        dock = ZuNew<ZuDockView>(Zuvi_app_zone);
        dock->SetBox(ZuRect(20, 30, 119, 59));
        ZuDockStyle grip_only;
        grip_only.SetBit(ZU_DOCK_ON_GRIP);
        dock->SetStyle(grip_only);
        dock->SetParent(w);
    }
    void TearDown() override
    {
        dock->Delete();
        dock = ZuDockViewRef();
        ZuObjectRef::RealiseDeletions();
        ControlTest::TearDown();
    }
    void Click(double x, double y)
    {
        Mouse(x, y, MK_LBUTTON);
        Mouse(x, y, 0);
    }
    ZuDockViewRef dock;
};

TEST_F(DockViewTest, OnlyAPressOnTheGripTearsTheViewOff)
{
    EXPECT_EQ(dock->RetHandleWidth(), 9);
    Click(20 + 9, 40);
    Click(60, 40);
    EXPECT_TRUE(dock->RetDockWindow().IsInvalid());
    EXPECT_TRUE(dock->RetParent() == ZuViewRef(w));

    dock->SetHandle(ZU_DOCK_HANDLE_NONE);
    for (double x : {20.0, 24.0, 28.0})
        Click(x, 40);
    EXPECT_TRUE(dock->RetDockWindow().IsInvalid());

    dock->SetHandle(ZU_DOCK_HANDLE_LEFT);
    Click(20 + 8, 40);
    EXPECT_TRUE(dock->RetDockWindow().IsValid());
}

TEST_F(DockViewTest, StylesWidenWhereAPressTearsOff)
{
    struct Case {
        ZuDockStyleBit bit;
        double x, y;
        bool tears;
    } const cases[] = {
        {ZU_DOCK_ON_BORDER, 70, 31, true},  // within 2 of the top edge
        {ZU_DOCK_ON_BORDER, 70, 32, false}, // inside the border zone
        {ZU_DOCK_ANYWHERE, 70, 45, true},
    };
    for (const Case& c : cases) {
        ZuDockViewRef v = ZuNew<ZuDockView>(Zuvi_app_zone);
        v->SetBox(ZuRect(20, 30, 119, 59));
        ZuDockStyle style;
        style.SetBit(c.bit);
        v->SetStyle(style);
        v->SetHandle(ZU_DOCK_HANDLE_NONE);
        v->SetParent(w);
        dock->SetParent(ZuViewNull);
        Click(c.x, c.y);
        EXPECT_EQ(v->RetDockWindow().IsValid(), c.tears) << c.bit << " " << c.x << " " << c.y;
        v->Delete();
    }
}

TEST_F(DockViewTest, TheTornOffWindowFollowsThePointer)
{
    // The grip's left ridge line on the screen, beside the window's
    // background.
    w->AddDelayedDisplay(w->RetBox(), true);
    w->RedrawDelayedDisplay();
    const unsigned back = WindowPixel(70, 45);
    const unsigned grip = WindowPixel(20 + 4, 30 + 5);
    EXPECT_NE(grip, back);
    Mouse(28, 40, MK_LBUTTON);
    ZuWindowRef win = dock->RetDockWindow();
    ASSERT_TRUE(win.IsValid());
    EXPECT_TRUE(dock->IsDragging());
    // The view alone in a window at its old place on the screen, of its
    // size.
    EXPECT_TRUE(dock->RetParent() == ZuViewRef(win));
    ZuViewRef first, last;
    ASSERT_TRUE(win->GetFirstChild(first));
    ASSERT_TRUE(win->GetLastChild(last));
    EXPECT_TRUE(first == ZuViewRef(dock));
    EXPECT_TRUE(last == ZuViewRef(dock));
    double x = 0, y = 0, dx = 0, dy = 0;
    win->GetWindowOrigin(x, y);
    win->GetSize(dx, dy);
    EXPECT_EQ(x, 120);
    EXPECT_EQ(y, 130);
    EXPECT_EQ(dx, 100);
    EXPECT_EQ(dy, 30);
    EXPECT_FALSE(dock->StartDragging());

    // The pointer stays on the point of the view it pressed: 8 to the
    // right of the view's left edge, 10 below its top.
    Mouse(50, 60, MK_LBUTTON);
    win->GetWindowOrigin(x, y);
    EXPECT_EQ(x, 100 + 50 - 8);
    EXPECT_EQ(y, 100 + 60 - 10);
    Mouse(80, 90, 0);
    win->GetWindowOrigin(x, y);
    EXPECT_EQ(x, 100 + 80 - 8);
    EXPECT_EQ(y, 100 + 90 - 10);
    EXPECT_FALSE(dock->IsDragging());

    // On the screen: the grip where the window went, the old window's
    // background where it was.
    win->AddDelayedDisplay(win->RetBox(), true);
    win->RedrawDelayedDisplay();
    w->AddDelayedDisplay(w->RetBox(), true);
    w->RedrawDelayedDisplay();
    EXPECT_EQ(W32_HeadlessScreenPixel(int(x) + 4, int(y) + 5), grip);
    EXPECT_EQ(WindowPixel(20 + 4, 30 + 5), back);

    // A later press moves the same window again.
    Mouse(80, 90, MK_LBUTTON);
    Mouse(85, 95, 0);
    EXPECT_TRUE(dock->RetDockWindow() == win);
    win->GetWindowOrigin(x, y);
    EXPECT_EQ(x, 100 + 85 - 8);
}

TEST_F(DockViewTest, TheStripeSetsTheGripWidthAndDrawing)
{
    struct Case {
        ZuDockStripe stripe;
        double width;
        bool drawn;
    } const cases[] = {
        {ZU_DOCK_STRIPE_SINGLE, 9, true},
        {ZU_DOCK_STRIPE_DOUBLE, 11, true},
        {ZU_DOCK_STRIPE_THIN, 7, false},
        {ZU_DOCK_STRIPE_BUMP, 12, true},
    };
    ZuDockStyle plain; // no fill: only the grip draws
    dock->SetStyle(plain);
    for (const Case& c : cases) {
        dock->SetStripe(c.stripe);
        EXPECT_EQ(dock->RetHandleWidth(), c.width) << c.stripe;
        ZuGrailPixmapRef pixmap = NewPixmap(32, 140, 80);
        pixmap->BeginDraw(0, 0, 139, 79);
        pixmap->SetPureColor(true);
        pixmap->SetForeColor(ZuColorPixel(0x00123456u));
        pixmap->FillRect(ZuRect(0, 0, 139, 79), 0);
        dock->DrawFront(pixmap, dock->RetBox());
        pixmap->EndDraw();
        unsigned changed = 0, outside = 0;
        for (int y = 0; y < 80; ++y)
            for (int x = 0; x < 140; ++x)
                if (Pixel(pixmap, x, y) != 0x00123456u) {
                    ++changed;
                    if (x < 20 || x >= 20 + c.width || y < 30 || y > 59)
                        ++outside;
                }
        EXPECT_EQ(changed > 0, c.drawn) << c.stripe;
        EXPECT_EQ(outside, 0u) << c.stripe;
        pixmap->Delete();
    }
    // A stripe out of the table keeps the width.
    dock->SetStripe(static_cast<ZuDockStripe>(9));
    EXPECT_EQ(dock->RetHandleWidth(), 12);
}

TEST_F(DockViewTest, ARestoredViewTakesItsStripesWidth)
{
    TFrozenDockRef frozen = ZuNew<TFrozenDock>(Zuvi_app_zone);
    frozen->frozen = true;
    frozen->SetStripe(ZU_DOCK_STRIPE_DOUBLE);
    frozen->SetHandle(ZU_DOCK_HANDLE_TOP);
    EXPECT_EQ(frozen->RetHandleWidth(), 9);
    ZuDockViewRef back(StoredAndRead(frozen));
    ASSERT_TRUE(back.IsValid());
    EXPECT_EQ(back->RetStripe(), ZU_DOCK_STRIPE_DOUBLE);
    EXPECT_EQ(back->RetHandle(), ZU_DOCK_HANDLE_TOP);
    EXPECT_EQ(back->RetHandleWidth(), 11);
    EXPECT_TRUE(back->RetStyle() == frozen->RetStyle());
    back->Delete();
    frozen->Delete();
}

TEST_F(DockViewTest, NamesOfHandlesAndStripes)
{
    EXPECT_STREQ(ZuDockHandleRetName(ZU_DOCK_HANDLE_TOP), "ZU_DOCK_HANDLE_TOP");
    EXPECT_STREQ(ZuDockStripeRetName(ZU_DOCK_STRIPE_BUMP), "ZU_DOCK_STRIPE_BUMP");
    EXPECT_STREQ(ZuDockHandleRetName(static_cast<ZuDockHandle>(3)), "?");
    EXPECT_STREQ(ZuDockStripeRetName(static_cast<ZuDockStripe>(4)), "?");
}

} // namespace
