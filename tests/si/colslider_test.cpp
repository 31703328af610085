// The colour slider: the gradient track line by line, the colour at the
// slider's value, end colours that neither report nor redraw, and the
// slider kept in storage.
#include "si/colslider.h"

#include <gtest/gtest.h>

#include "si/memzone.h"
#include "si/message.h"
#include "si/values.h"
#include "tests/support/controls.h"
#include "tests/support/itemviews.h"

// A colour slider whose track ends a test sets.
ZU_HANDLE(TColSlider, ZuColSlider)
class TColSlider : public ZuColSlider {
    ZU_CLASS(TColSlider, ZuColSlider)
public:
    TColSlider() {}
    void SetTrack(double start, double end)
    {
        body_start = start;
        body_end = end;
    }
    void SetValueDirectly(double v) { value = v; }
};
ZU_CLASS_END(TColSlider)
ZU_IMPLEMENT_CLASS(TColSlider, "tests/si/colslider_test", ZU_CLASS_PLAIN)

namespace {

const ZuColorPixel kBlack((unsigned char)0, 0, 0, 0), kWhite((unsigned char)255, 255, 255, 0);

class ColSliderTest : public ControlTest {
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        slider = ZuNew<TColSlider>(Zuvi_app_zone);
        slider->Initialise(0, 0, 120, true);
        px = NewPixmap(32, 130, 130);
    }
    void TearDown() override
    {
        slider->Delete();
        slider = TColSliderRef();
        px->Delete();
        px = ZuGrailPixmapRef();
        ZuObjectRef::RealiseDeletions();
        ControlTest::TearDown();
    }
    // The track alone, over a background of 0x123456.
    void DrawTrack()
    {
        px->BeginDraw(0, 0, 129, 129);
        px->SetForeColor(ZuColorPixel(0x00123456u));
        px->FillRect(0, 0, 129, 129);
        slider->DrawBody(px);
        px->EndDraw();
    }
    TColSliderRef slider;
    ZuGrailPixmapRef px;
};

} // namespace

TEST_F(ColSliderTest, TheTrackRunsFromTheMinimumToOneStepShortOfTheMaximum)
{
    // A new slider: a flat band of the widget background.
    slider->SetTrack(4, 115);
    DrawTrack();
    const ZuRect& b = slider->RetBox();
    const int mid = int((b.Y1() + b.Y2()) / 2);
    const unsigned flat = Pixel(px, 10, mid);
    EXPECT_NE(flat, 0x123456u);
    EXPECT_EQ(Pixel(px, 109, mid), flat);
    // Black to white over s = 10 and e = 109: 100 lines.
    slider->SetMinColor(kBlack);
    slider->SetMaxColor(kWhite);
    DrawTrack();
    EXPECT_EQ(Pixel(px, 9, mid), 0x123456u);
    EXPECT_EQ(Pixel(px, 10, mid), 0x000000u);
    EXPECT_EQ(Pixel(px, 60, mid), 0x808080u);
    EXPECT_EQ(Pixel(px, 109, mid), 0xFDFDFDu);
    EXPECT_EQ(Pixel(px, 110, mid), 0x123456u);
    // Nothing when the track is shorter than its margins.
    slider->SetTrack(4, 14);
    DrawTrack();
    EXPECT_EQ(Pixel(px, 10, mid), 0x123456u);
}

TEST_F(ColSliderTest, AVerticalTrackRunsFromTheTopDown)
{
    slider->Initialise(0, 0, 120, false);
    slider->SetTrack(4, 115);
    slider->SetMinColor(kBlack);
    slider->SetMaxColor(kWhite);
    DrawTrack();
    const ZuRect& b = slider->RetBox();
    const int mid = int((b.X1() + b.X2()) / 2);
    EXPECT_EQ(Pixel(px, mid, 10), 0x000000u);
    EXPECT_EQ(Pixel(px, mid, 60), 0x808080u);
}

TEST_F(ColSliderTest, TheCurrentColourIsTheBlendAtTheValue)
{
    const ZuColorPixel back = slider->RetCurrentColor();
    EXPECT_NE(ZuLookColor(back), ZU_COLOR_WIDGET_BACK);
    EXPECT_EQ(ZuLookColor(back), ZU_COLOR_ANY);
    slider->SetMinColor(ZuColorPixel((unsigned char)200, 0, 0, 0));
    slider->SetMaxColor(ZuColorPixel((unsigned char)0, 0, 100, 0));
    struct Case {
        double value;
        unsigned char r, b;
    } const cases[] = {{0, 200, 0}, {1, 0, 100}, {0.5, 100, 50}};
    for (const Case& c : cases) {
        slider->SetValueDirectly(c.value);
        const ZuColorPixel got = slider->RetCurrentColor();
        EXPECT_EQ(got.Red(), c.r) << c.value;
        EXPECT_EQ(got.Blue(), c.b) << c.value;
    }
    ZuValueRef v;
    ASSERT_TRUE(slider->QueryData(ZuAtomRef("current_color"), v));
    EXPECT_EQ(ZuColorPixel(v).Red(), 100);
    EXPECT_FALSE(slider->DefineData(ZuAtomRef("current_color"), v));
}

TEST_F(ColSliderTest, EndColoursNeitherReportNorRedraw)
{
    ZuColSliderRef shown = ZuNew<ZuColSlider>(Zuvi_app_zone);
    shown->SetBox(ZuRect(10, 10, 129, 29));
    shown->SetParent(w);
    shown->Initialise(true);
    EXPECT_EQ(shown->RetBox().DX(), 120);
    reports->Watch(shown, {"notify_changed", "Scroll"});
    const ZuRect& b = shown->RetBox();
    const int mid = int((b.Y1() + b.Y2()) / 2);
    w->AddDelayedDisplay(w->RetBox(), true);
    w->RedrawDelayedDisplay();
    const unsigned before = WindowPixel(60, mid);
    shown->SetMinColor(kBlack);
    shown->SetMaxColor(kBlack);
    EXPECT_EQ(WindowPixel(60, mid), before);
    EXPECT_EQ(reports->log, "");
    w->AddDelayedDisplay(w->RetBox(), true);
    w->RedrawDelayedDisplay();
    EXPECT_EQ(WindowPixel(60, mid), 0x000000u);
    // Laid out again by name, upright.
    ZuMessageRef msg = ZuNew<ZuMessage>(Zuvi_app_zone);
    msg->Clear();
    msg->SetMethod("Initialise");
    msg << false;
    EXPECT_TRUE(msg->Send(shown));
    EXPECT_FALSE(shown->IsHorizontal());
    msg->Delete();
}

TEST_F(ColSliderTest, StorageKeepsBothColours)
{
    slider->SetMinColor(kBlack);
    slider->SetMaxColor(ZuColorPixel((unsigned char)1, 2, 3, 4));
    ZuColSliderRef read(StoredAndRead(slider));
    ASSERT_TRUE(read.IsValid());
    EXPECT_EQ(read->RetMinColor(), kBlack);
    EXPECT_EQ(read->RetMaxColor(), ZuColorPixel((unsigned char)1, 2, 3, 4));
    read->Delete();
}
