// The colour slider as the user meets it: the colour under the point, the
// search for a colour's point, presses and drags injected at window points
// (each reported, the release ending the drag), the cells, mark and lines
// read back from the window, and boxes too small for their margin.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "app/colordef.h"
#include "app/colorslider.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/values.h"
#include "tests/app/panecontrols.h"

namespace {

class ColorSliderTest : public PaneControlTest {
protected:
    void SetUp() override
    {
        PaneControlTest::SetUp();
        slider = ZuNew<CColorSlider>(Zuvi_app_zone);
        slider->SetParent(w);
        reports->Watch(slider, {"notify_Modify"});
    }
    void TearDown() override
    {
        slider = CColorSliderRef();
        PaneControlTest::TearDown();
    }
    void Place(double x, double y, double dx, double dy)
    {
        slider->SetOrigin(x, y);
        slider->SetSize(dx, dy);
        slider->Display(true);
        Pump();
    }
    static ZuColorPixel Rgb(double r, double g, double b)
    {
        ZuColorPixel c(0u);
        c.SetRed(r);
        c.SetGreen(g);
        c.SetBlue(b);
        return c;
    }
    static unsigned Word(double r, double g, double b)
    {
        return unsigned(r * 255) << 16 | unsigned(g * 255) << 8 | unsigned(b * 255);
    }
    ZuViewRef Dragging()
    {
        ZuViewRef v;
        w->GetDraggingView(v);
        return v;
    }
    CColorSliderRef slider;
};

} // namespace

TEST_F(ColorSliderTest, ANewSliderIsATwoDimensionalClickableField)
{
    EXPECT_EQ(slider->GetStyle(), 0x10003u);
    EXPECT_EQ(slider->RetMargin(), 5);
    ZuColorPixel c;
    slider->RetColor(c);
    EXPECT_NEAR(c.RealRed(), 0.5, 0.005);
    EXPECT_NEAR(c.RealGreen(), 0.5, 0.005);
    EXPECT_NEAR(c.RealBlue(), 0.25, 0.005);
    slider->SetStyle(0x20000);
    EXPECT_EQ(slider->RetMargin(), 0);
    slider->SetStyle(0x10003);
    EXPECT_EQ(slider->RetMargin(), 5);
}

TEST_F(ColorSliderTest, TheColourFollowsTheAxisBits)
{
    slider->SetColorUL(Rgb(1, 1, 1));
    slider->SetColorUR(Rgb(1, 0, 0));
    slider->SetColorDL(Rgb(0, 0, 1));
    slider->SetColorDR(Rgb(0, 1, 0));
    struct Case {
        unsigned style;
        double x, y;
        unsigned rgb;
    } cases[] = {
        {0x1, 0.3, 1.0, 0x0000FF},                                  // vertical only: DL whatever x
        {0x1, 0.9, 0.0, 0xFFFFFF},       {0x2, 1.0, 0.7, 0xFF0000}, // horizontal only: UR at x = 1
        {0x0, 1.0, 0.7, 0xFF0000},                                  // neither: as horizontal
        {0x3, 1.0, 1.0, 0x00FF00},       {0x102, 0.0, 0.5, 0xFF0000}, // hue along x
        {0x101, 0.0, 1.0 / 3, 0x00FF00},                              // hue along y
        {0x103, 0.5, 1.0 / 3, 0x0000FF},                              // 0.5 + 0.5 / 3 = 2 / 3
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.style);
        slider->SetStyle(k.style);
        slider->SetPositionX(k.x);
        slider->SetPositionY(k.y);
        ZuColorPixel c;
        slider->RetColor(c);
        EXPECT_TRUE(Near(unsigned(c) & 0xFFFFFF, k.rgb)) << std::hex << unsigned(c);
    }
}

TEST_F(ColorSliderTest, ApplyColorFindsTheNearestPoint)
{
    // White is the upper-left corner: 0.05, 0.005 and 0.0005 then half a
    // thousandth less.
    slider->ApplyColor(Rgb(1, 1, 1));
    EXPECT_NEAR(slider->GetPositionX(), 0.0, 1e-12);
    EXPECT_NEAR(slider->GetPositionY(), 0.0, 1e-12);
    slider->ApplyColor(Rgb(0, 1, 0)); // the lower-right corner
    EXPECT_NEAR(slider->GetPositionX(), 0.999, 1e-9);
    EXPECT_NEAR(slider->GetPositionY(), 0.999, 1e-9);
    ZuColorPixel c;
    slider->SetPositionX(0.3);
    slider->SetPositionY(0.6);
    slider->RetColor(c);
    slider->ApplyColor(c);
    ZuColorPixel back;
    slider->RetColor(back);
    EXPECT_TRUE(Near(unsigned(back) & 0xFFFFFF, unsigned(c) & 0xFFFFFF));
    // Hue: both axes take the colour's hue.
    slider->SetStyle(0x10101);
    slider->ApplyColor(Rgb(0, 0, 1));
    EXPECT_NEAR(slider->GetPositionX(), 2.0 / 3, 1e-9);
    EXPECT_NEAR(slider->GetPositionY(), 2.0 / 3, 1e-9);
}

TEST_F(ColorSliderTest, AColourThatIsNotANumberLeavesThePosition)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    slider->SetPositionX(0.25);
    slider->SetPositionY(0.75);
    slider->ApplyRGB(nan, 0.5, 0.5);
    EXPECT_EQ(slider->GetPositionX(), 0.25);
    EXPECT_EQ(slider->GetPositionY(), 0.75);
    slider->SetPositionX(nan);
    EXPECT_EQ(slider->GetPositionX(), 0.25);
    // Through the published colour as interface files set it.
    EXPECT_TRUE(slider->DefineData(ZuAtomRef("visible_color"), ZuValueRef(Rgb(1, 0, 0))));
    EXPECT_NEAR(slider->GetPositionX(), 0.999, 1e-9);
    EXPECT_NEAR(slider->GetPositionY(), 0.0, 1e-9);
}

TEST_F(ColorSliderTest, PressDragAndReleaseMoveThePointReportAndEndTheDrag)
{
    Place(10, 10, 111, 111); // field from 15 over 100 pixels
    Mouse(65, 40, 0);
    Mouse(65, 40, MK_LBUTTON);
    EXPECT_NEAR(slider->GetPositionX(), 0.5, 1e-9);
    EXPECT_NEAR(slider->GetPositionY(), 0.25, 1e-9);
    Mouse(300, -50, MK_LBUTTON); // dragged outside: clamped
    EXPECT_EQ(slider->GetPositionX(), 1.0);
    EXPECT_EQ(slider->GetPositionY(), 0.0);
    Mouse(25, 115, 0);
    EXPECT_NEAR(slider->GetPositionX(), 0.1, 1e-9);
    EXPECT_EQ(slider->GetPositionY(), 1.0);
    // Press, each drag step and the release each report.
    EXPECT_GE(reports->log.size(), 3 * std::string("notify_Modify(1) ").size());
    EXPECT_EQ(reports->log.find("notify_Modify(0)"), std::string::npos);
    EXPECT_TRUE(Dragging().IsInvalid());
    // Without "enable click" the mouse does nothing.
    reports->Clear();
    slider->SetStyle(0x3);
    Mouse(65, 65, MK_LBUTTON);
    Mouse(65, 65, 0);
    EXPECT_NEAR(slider->GetPositionX(), 0.1, 1e-9);
    EXPECT_EQ(reports->log, "");
}

TEST_F(ColorSliderTest, APressOnABoxTooSmallForItsMarginLeavesThePosition)
{
    Place(10, 10, 11, 11); // 11 - 10 - 1 = 0
    slider->SetPositionX(0.3);
    Mouse(15, 15, MK_LBUTTON);
    Mouse(15, 15, 0);
    EXPECT_EQ(slider->GetPositionX(), 0.3);
    EXPECT_EQ(slider->GetPositionY(), 0.5);
    EXPECT_TRUE(Dragging().IsInvalid());
}

TEST_F(ColorSliderTest, CellsMarkAndLinesShowInTheWindow)
{
    slider->SetColorUL(Rgb(1, 1, 1));
    slider->SetColorUR(Rgb(1, 1, 1));
    slider->SetColorDL(Rgb(0, 0, 1));
    slider->SetColorDR(Rgb(0, 0, 1));
    slider->SetPositionX(0.5);
    slider->SetPositionY(0.5);
    Place(10, 10, 111, 111); // field 15..114 (W = H = 100)
    EXPECT_TRUE(Near(WindowPixel(20, 17), 0xFFFFFF));
    EXPECT_TRUE(Near(WindowPixel(20, 110), Word(0.04, 0.04, 1))); // cell at cy = 94
    // The mark: white at +-4 around (65, 65), black one pixel outside.
    EXPECT_TRUE(Near(WindowPixel(61, 65), 0xFFFFFF));
    EXPECT_TRUE(Near(WindowPixel(60, 65), 0x000000));
    EXPECT_TRUE(Near(WindowPixel(65, 70), 0x000000));
    // A strip along x: its black line across at the point, the cells of
    // the whole height.
    slider->SetStyle(0x10002);
    slider->SetColorUR(Rgb(1, 0, 0));
    slider->SetPositionX(0.25);
    slider->Display(true);
    Pump();
    EXPECT_TRUE(Near(WindowPixel(40, 12), 0x000000));
    EXPECT_TRUE(Near(WindowPixel(90, 110), Word(1, 0.24, 0.24)));
    // "full size" spans the box; a box too small draws nothing.
    slider->SetStyle(0x20003);
    slider->SetColorUL(Rgb(0, 1, 0));
    slider->Display(true);
    Pump();
    EXPECT_TRUE(Near(WindowPixel(11, 11), 0x00FF00));
    const unsigned before = WindowPixel(155, 25);
    CColorSliderRef small = ZuNew<CColorSlider>(Zuvi_app_zone);
    small->SetOrigin(150, 20);
    small->SetSize(11, 11);
    small->SetParent(w);
    small->Display(true);
    Pump();
    EXPECT_EQ(WindowPixel(155, 25), before);
}
