// Sliders: the user value through scale and offset, no arrows whatever is
// asked, a knob of fixed size, the groove and the knob's icon, the
// scroller's pointer handling, published data and the stored form.
#include <gtest/gtest.h>

#include <cmath>

#include "si/classfactory.h"
#include "si/lookman.h"
#include "si/memzone.h"
#include "si/slider.h"
#include "si/values.h"
#include "tests/support/controls.h"

namespace {

class SliderTest : public ControlTest {
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        sheet = NewPixmap(32, 40, 20);
        sheet->BeginDraw(0, 0, 39, 19);
        sheet->SetForeColor(ZuColorPixel(0x0000FF00u));
        sheet->FillRect(0, 0, 39, 19);
        sheet->EndDraw();
        ZuLookMan::Current()->AddUserIcon(ZuAtomRef("Zuvi_HSliderSmall"), ZU_CTRL_STATE_NORMAL,
                                          sheet, ZuRect(0, 0, 15, 10));
        slider = ZuNew<ZuSlider>(Zuvi_app_zone);
        slider->SetParent(w);
    }
    void TearDown() override
    {
        slider = ZuSliderRef();
        sheet->Delete();
        sheet = ZuGrailPixmapNull;
        ControlTest::TearDown();
    }
    ZuGrailPixmapRef sheet;
    ZuSliderRef slider;
};

} // namespace

TEST_F(SliderTest, TheUserValueMapsThroughScaleAndOffset)
{
    struct Case {
        double scale, offset, set, stored, user;
    } cases[] = {
        {100, 20, 70, 0.5, 70}, {100, 20, 150, 1.0, 120}, {100, 20, 0, 0.0, 20},
        {0, 20, 0.3, 0.3, 0.3}, {1, 0, 0.25, 0.25, 0.25}, {-10, 0, -5, 0.5, -5},
    };
    for (const Case& c : cases) {
        slider->SetSliderScale(c.scale);
        slider->SetSliderOffset(c.offset);
        EXPECT_TRUE(slider->SetSliderValue(c.set));
        EXPECT_DOUBLE_EQ(slider->RetInternalValue(), c.stored) << c.scale << " " << c.set;
        EXPECT_DOUBLE_EQ(slider->RetSliderValue(), c.user) << c.scale << " " << c.set;
    }
    // A new scale keeps the user value, clamped to the new range.
    slider->SetSliderOffset(0);
    slider->SetSliderScale(100);
    slider->SetSliderValue(70);
    EXPECT_TRUE(slider->SetSliderScale(10));
    EXPECT_EQ(slider->RetInternalValue(), 1.0);
    EXPECT_EQ(slider->RetSliderValue(), 10);
    slider->SetSliderScale(100);
    slider->SetSliderValue(40);
    EXPECT_TRUE(slider->SetSliderOffset(20));
    EXPECT_DOUBLE_EQ(slider->RetSliderValue(), 40);
    EXPECT_DOUBLE_EQ(slider->RetInternalValue(), 0.2);
    // The value is the stored one, not quantised to the steps.
    slider->SetTotalSteps(3);
    EXPECT_DOUBLE_EQ(slider->RetSliderValue(), 40);
    // By name.
    EXPECT_TRUE(slider->DefineData(ZuAtomRef("slider_value"), ZuValueRef(70.0)));
    ZuValueRef v;
    ASSERT_TRUE(slider->QueryData(ZuAtomRef("slider_value"), v));
    EXPECT_DOUBLE_EQ(Zuvi_ValueToReal(v), 70);
    ASSERT_TRUE(slider->QueryData(ZuAtomRef("slider_scale"), v));
    EXPECT_EQ(Zuvi_ValueToReal(v), 100);
    ASSERT_TRUE(slider->QueryData(ZuAtomRef("slider_offset"), v));
    EXPECT_EQ(Zuvi_ValueToReal(v), 20);
}

TEST_F(SliderTest, NoArrowsAndAKnobOfFixedSize)
{
    const double frame = ZuLookMan::Current()->RetWidgetFrameSize();
    for (ZuScrollArrowPos pos : {ZU_SCROLL_ARROW_BOTH, ZU_SCROLL_ARROW_NORMAL}) {
        slider->SetArrowPos(pos);
        slider->Initialise(0, 0, 100, false, 0);
        EXPECT_EQ(slider->RetInitArrowPos(), ZU_SCROLL_ARROW_NONE);
        EXPECT_EQ(slider->RetRealArrowPos(), ZU_SCROLL_ARROW_NONE);
        EXPECT_TRUE(slider->RetArrowIncr(0).IsInvalid());
        EXPECT_TRUE(slider->RetArrowDecr(0).IsInvalid());
        EXPECT_EQ(slider->RetBodyStart(), frame);
        EXPECT_EQ(slider->RetBodyEnd(), 99 - frame);
    }
    for (double ratio : {1.0, 0.5, 0.01}) {
        slider->SetVisibleRatio(ratio);
        EXPECT_EQ(slider->RetKnobSize(), slider->RetBreadth() - 2 * frame) << ratio;
    }
}

TEST_F(SliderTest, TheKnobFollowsThePointerAndIsDrawnOnlyWhenEnabled)
{
    slider->Initialise(0, 0, 100, false, 0);
    slider->SetSliderScale(100);
    reports->Watch(slider, {"notify_scroll_began", "notify_scrolled", "notify_scroll_ended"});
    // Body 1..98, knob 14: travel 84; a press at 50 centres the knob there.
    Mouse(8, 50, MK_LBUTTON);
    Mouse(8, 50, 0);
    EXPECT_DOUBLE_EQ(slider->RetSliderValue(), (50 - 1 - 7) * 100 / 84.0);
    EXPECT_EQ(reports->log, "notify_scroll_began(1) notify_scrolled(1) notify_scroll_ended(1) ");
    // The knob's icon (green) where the knob is; the groove without it.
    slider->SetVisibleValue(0);
    w->Display(false);
    EXPECT_EQ(WindowPixel(8, 5), 0x00FF00u);
    const unsigned groove = WindowPixel(8, 60);
    EXPECT_NE(groove, 0x00FF00u);
    slider->ChangeState(ZU_VIEW_IS_ENABLED, false, false);
    w->Display(false);
    EXPECT_NE(WindowPixel(8, 5), 0x00FF00u);
    EXPECT_EQ(WindowPixel(8, 60), groove);
}

TEST_F(SliderTest, StoredSliderKeepsScaleOffsetAndValue)
{
    slider->Initialise(0, 0, 100, true, 0);
    slider->SetSliderScale(50);
    slider->SetSliderOffset(-10);
    slider->SetSliderValue(5);
    ZuObjectRef out = StoreAndRestore(slider);
    ASSERT_TRUE(out.IsValid() && out->IsKindOf(ZuSliderRef::RetRuntime()));
    ZuSliderRef back(out);
    EXPECT_EQ(back->RetSliderScale(), 50);
    EXPECT_EQ(back->RetSliderOffset(), -10);
    EXPECT_DOUBLE_EQ(back->RetSliderValue(), 5);
    EXPECT_TRUE(back->IsHorizontal());
    EXPECT_EQ(back->RetRealArrowPos(), ZU_SCROLL_ARROW_NONE);
    back->Delete();
}
