// A slider of the program on the X server: dragged past its window's edge
// and released there, it lets the pointer go, so that the next click on a
// button of the window reaches the button.
#include <gtest/gtest.h>

#include "app/button.h"
#include "app/slider.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/window.h"
#include "tests/support/controls.h"
// Last: it brings the X headers, whose macros clash with the library's names.
#include "tests/si/x11/x11app.h"

namespace {

auto* const g_xvfb = ::testing::AddGlobalTestEnvironment(new XvfbEnvironment);

class PaneControlsX11 : public X11AppTest {
protected:
    void SetUp() override
    {
        X11AppTest::SetUp();
        if (!StartApplication())
            return;
        w = ZuNew<ZuWindow>(Zuvi_app_zone);
        w->InitGeom(100, 80, 240, 160, ZuStringRef("R\xE9glages"), ZuWinStyle());
        slider = ZuNew<CSlider>(Zuvi_app_zone);
        slider->SetParent(w);
        slider->Place(20, 20, 100, 20, CSlider::HORIZONTAL);
        button = ZuNew<CButton>(Zuvi_app_zone);
        button->SetParent(w);
        button->SetPlace(150, 110, 60, 24);
        reports = TReportLog::Make();
        reports->Watch(slider, {"notify_Modify"});
        clicks = TReportLog::Make();
        clicks->Watch(button, {"notify_clicked"});
        w->ShowNormal();
    }
    void DeleteViews() override
    {
        w->Delete();
        w = ZuWindowRef();
        slider = CSliderRef();
        button = CButtonRef();
        reports->Delete();
        reports = TReportLogRef();
        clicks->Delete();
        clicks = TReportLogRef();
    }
    // The screen point of a window point.
    void At(double x, double y)
    {
        double ox = 0, oy = 0;
        w->GetWindowOrigin(ox, oy);
        PointerAt(int(ox + x), int(oy + y));
        Settle();
    }

    ZuWindowRef w;
    CSliderRef slider;
    CButtonRef button;
    TReportLogRef reports;
    TReportLogRef clicks;
};

TEST_F(PaneControlsX11, ASliderReleasedOutsideItsWindowLetsTheNextClickReachAButton)
{
    ZUVI_REQUIRE_XVFB();
    ASSERT_TRUE(PumpUntil([&] { return Mapped(XidOf(w)); }));
    At(70, 30);
    Button(true);
    ASSERT_TRUE(PumpUntil([&] { return !reports->log.empty(); }));
    EXPECT_NEAR(slider->GetPos(), 0.5, 0.02);
    // Dragged far past the window's left edge, and released there.
    At(-60, 30);
    EXPECT_EQ(slider->GetPos(), 0.0);
    Button(false);
    Settle();
    ZuViewRef dragging;
    EXPECT_FALSE(w->GetDraggingView(dragging));
    // The next click on the button reaches it, and the slider stays.
    reports->Clear();
    At(180, 122);
    Button(true);
    Settle();
    Button(false);
    ASSERT_TRUE(PumpUntil([&] { return !clicks->log.empty(); }));
    EXPECT_EQ(clicks->log, "notify_clicked(1) ");
    EXPECT_EQ(reports->log, "");
    EXPECT_EQ(slider->GetPos(), 0.0);
}

} // namespace
