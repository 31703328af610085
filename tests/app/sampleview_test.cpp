// The sample box as its owners meet it: nothing before Build, a white page
// after Render, sample space centred on the box at the zoom, FitZoom that
// only shrinks, the red zoom label, and black-and-white against colour
// images rendered by the interpreter.
#include <gtest/gtest.h>

#include "app/sampleview.h"
#include "tests/app/panetest.h"

namespace {

class SampleViewTest : public PaneTest {
protected:
    CSampleViewRef Box(double x, double y, double dx, double dy, bool colour)
    {
        CSampleViewRef box = ZuNew<CSampleView>(Zuvi_app_zone);
        box->Build(x, y, dx, dy, colour);
        box->SetParent(pw);
        return box;
    }
    // Paints in device space of the box's image (origin bottom left).
    static void Paint(const CSampleViewRef& box, const char* text)
    {
        ASSERT_TRUE(box->RetView()->RetContext()->ExecuteText(text, 0));
        box->Display();
    }
};

} // namespace

TEST_F(SampleViewTest, BeforeBuildNothingRendersYetTheZoomIsKept)
{
    CSampleViewRef box = ZuNew<CSampleView>(Zuvi_app_zone);
    EXPECT_FALSE(box->Render());
    EXPECT_FALSE(box->SetZoom(0.5));
    EXPECT_EQ(box->RetZoom(), 0.5);
    EXPECT_FALSE(box->RetPort().IsValid());
    box->Delete();
}

TEST_F(SampleViewTest, SetZoomCentresSampleSpaceAndFitZoomNeverEnlarges)
{
    CSampleViewRef box = Box(10, 10, 100, 60, false);
    ASSERT_TRUE(box->SetZoom(2.0));
    CGraTransform t;
    box->RetPort()->GetTransform(t);
    // Emitted as zoom scale, then dx dy translate: the origin lands at
    // (50, 30) of the box, and (10, 0) 20 pixels right of it.
    EXPECT_EQ(t.scale, 2.0);
    EXPECT_EQ(t.dx, 25.0);
    EXPECT_EQ(t.dy, 15.0);
    const struct {
        DRect r;
        double zoom;
    } cases[] = {
        {{-40, -20, 40, 20}, 1.0}, {{-100, -10, 50, 10}, 0.5}, {{-100, -10, 200, 10}, 0.25},
        {{-50, -30, 50, 30}, 1.0}, {{-5, -5, 5, 120}, 0.25},   {{-10, -60, 10, 10}, 0.5},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(box->FitZoom(c.r));
        EXPECT_DOUBLE_EQ(box->RetZoom(), c.zoom) << c.r.x1 << " " << c.r.x2 << " " << c.r.y2;
    }
}

TEST_F(SampleViewTest, RenderLeavesABlankPageAndAMonoBoxShowsBlackOnly)
{
    CSampleViewRef mono = Box(10, 10, 100, 60, false);
    CSampleViewRef colour = Box(150, 10, 100, 60, true);
    for (const CSampleViewRef& box : {mono, colour}) {
        ASSERT_TRUE(box->SetZoom(1.0));
        Paint(box, "0 0 0 setrgbcolor 0 0 100 60 rectfill\n");
        ASSERT_TRUE(box->Render());
        box->Display();
    }
    // One bit a pixel: only the set bits are painted, so a blank page
    // shows what lies behind the box; a colour page is white.
    const unsigned behind = PanePixel(300, 100);
    EXPECT_EQ(PanePixel(60, 40), behind);
    EXPECT_TRUE(Near(PanePixel(200, 40), 0xFFFFFF));
    Paint(mono, "0.3 0 0 setrgbcolor 0 0 20 20 rectfill\n");
    Paint(colour, "1 0 0 setrgbcolor 0 0 20 20 rectfill\n");
    EXPECT_TRUE(Near(PanePixel(20, 58), 0x000000)) << std::hex << PanePixel(20, 58);
    EXPECT_TRUE(Near(PanePixel(160, 58), 0xFF0000)) << std::hex << PanePixel(160, 58);
    EXPECT_EQ(PanePixel(60, 40), behind);
}

TEST_F(SampleViewTest, AZoomOtherThanOneIsWrittenInRedInTheCorner)
{
    CSampleViewRef box = Box(10, 10, 100, 60, false);
    auto red_pixels = [&] {
        int n = 0;
        for (int y = 50; y < 66; ++y)
            for (int x = 14; x < 50; ++x)
                if (Near(PanePixel(x, y), 0xFF0000))
                    ++n;
        return n;
    };
    box->SetZoom(1.0);
    box->Render();
    box->Display(true);
    EXPECT_EQ(red_pixels(), 0);
    box->SetZoom(0.25);
    box->Render();
    box->Display(true);
    EXPECT_GT(red_pixels(), 5);
    // Hidden: neither frame, image nor label.
    box->SetVisible(false);
    pw->Display(true);
    EXPECT_EQ(red_pixels(), 0);
}
