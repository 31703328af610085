// The program's slider as the user meets it: presses, drags and releases
// injected at window points, each reported once; the mapping with exponent
// and step; ticks and the cursor read back from the window; the room kept
// for ticks; and what it does with bad published data.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "app/button.h"
#include "app/slider.h"
#include "si/classfactory.h"
#include "si/lookman.h"
#include "si/memzone.h"
#include "si/values.h"
#include "tests/app/panecontrols.h"
#include "tests/support/views.h"

namespace {

const unsigned kDark = 0x808080;
const unsigned kLight = 0xE6E6E6;

class SliderTest : public PaneControlTest {
protected:
    void SetUp() override
    {
        PaneControlTest::SetUp();
        slider = ZuNew<CSlider>(Zuvi_app_zone);
        slider->SetParent(w);
        reports->Watch(slider, {"notify_Modify"});
    }
    void TearDown() override
    {
        slider = CSliderRef();
        PaneControlTest::TearDown();
    }
    // A click at a window point: press and release.
    void Click(double x, double y)
    {
        Mouse(x, y, 0);
        Mouse(x, y, MK_LBUTTON);
        Mouse(x, y, 0);
    }
    bool Dark(int x, int y) { return Near(WindowPixel(x, y), kDark); }
    CSliderRef slider;
};

TEST_F(SliderTest, APressMapsThePointThroughExponentAndStep)
{
    // Box 10..109: the cursor's centre travels from 16 over 88 pixels.
    slider->Place(10, 10, 100, 20, CSlider::HORIZONTAL);
    struct Case {
        double x, exponent, step, pos;
    };
    const Case cases[] = {
        {11, 0, 0, 0.0},   // left of the track
        {108, 0, 0, 1.0},  // right of it
        {60, 0, 0, 0.5},   // the middle
        {60, 2, 0, 0.25},  // finer near 0
        {49, 0, 0.1, 0.3}, // 0.375 down to a multiple of 0.1
        {60, -1, 0, 1.0},  // a negative exponent stays within [0, 1]
        {11, -1, 0, 1.0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.x);
        slider->SetLog(k.exponent);
        slider->SetStep(k.step);
        Mouse(k.x, 20, 0);
        Mouse(k.x, 20, MK_LBUTTON);
        EXPECT_NEAR(slider->GetPos(), k.pos, 1e-9);
        Mouse(k.x, 20, 0);
        EXPECT_NEAR(slider->GetPos(), k.pos, 1e-9);
    }
}

TEST_F(SliderTest, PressEachDragStepAndReleaseReportOnceAndTheReleaseEndsTheDrag)
{
    slider->Place(10, 10, 100, 20, CSlider::HORIZONTAL);
    CButtonRef button = ZuNew<CButton>(Zuvi_app_zone);
    button->SetParent(w);
    button->SetPlace(150, 80, 40, 20);
    button->Display(true);
    TReportLogRef clicks = TReportLog::Make();
    clicks->Watch(button, {"notify_clicked"});

    // Each handler reports once: press, a drag step, the release.
    TProbeEventRef e = TProbeEvent::Make(ZU_EVENT_PRESS, 60, 20);
    e->Button(ZU_EV_BUTTON_LEFT).Changed(ZU_EV_BUTTON_LEFT).In(w);
    slider->ButtonPress(e);
    EXPECT_EQ(reports->log, "notify_Modify(1) ");
    e->Type(ZU_EVENT_MOTION).At(38, 20);
    slider->DragNotify(e);
    EXPECT_EQ(reports->log, "notify_Modify(1) notify_Modify(1) ");
    EXPECT_NEAR(slider->GetPos(), 0.25, 1e-9);
    e->Type(ZU_EVENT_RELEASE).NoButtons();
    slider->ButtonRelease(e);
    EXPECT_EQ(reports->log, "notify_Modify(1) notify_Modify(1) notify_Modify(1) ");
    // The release's own press step does not take the drag back.
    ZuViewRef held;
    EXPECT_FALSE(w->GetDraggingView(held));
    e->Delete();

    // By the mouse: pressed, dragged past the window's edge and released
    // there; the slider follows to 0 and lets the mouse go.
    Mouse(30, 20, 0);
    Mouse(30, 20, MK_LBUTTON);
    Mouse(60, 20, MK_LBUTTON);
    EXPECT_NEAR(slider->GetPos(), 0.5, 1e-9);
    Mouse(-40, 20, MK_LBUTTON);
    EXPECT_EQ(slider->GetPos(), 0.0);
    Mouse(-40, 20, 0);
    EXPECT_EQ(slider->GetPos(), 0.0);
    ZuViewRef dragging;
    w->GetDraggingView(dragging);
    EXPECT_TRUE(dragging.IsInvalid());
    // The next click goes to the button, and the slider hears nothing.
    reports->Clear();
    Click(170, 90);
    EXPECT_EQ(clicks->log, "notify_clicked(1) ");
    EXPECT_EQ(reports->log, "");
    clicks->Delete();
}

TEST_F(SliderTest, ATrackNoLongerThanTheCursorGivesZero)
{
    for (double width : {12.0, 5.0}) {
        SCOPED_TRACE(width);
        slider->SetPos(0.7);
        slider->Place(10, 10, width, 20, CSlider::HORIZONTAL | CSlider::VERTICAL);
        slider->Place(10, 10, width, width, CSlider::VERTICAL);
        Click(10, 10);
        EXPECT_EQ(slider->GetPos(), 0.0);
    }
}

TEST_F(SliderTest, TicksAreDarkBesideLightMajorsLongMinorsHalf)
{
    slider->SetGrad(10);
    slider->SetSubdiv(5);
    slider->Place(10, 10, 100, 20, CSlider::HORIZONTAL | CSlider::RIGHT_GRADUATE);
    ZuRect box = slider->RetBox();
    EXPECT_EQ(box.DY(), 24);
    slider->Display(true);
    // Tick i at 19 + 8.2 i, from row 30 down: majors 4 long, minors 2.
    EXPECT_TRUE(Dark(18, 30) && Dark(18, 33));
    EXPECT_TRUE(Near(WindowPixel(19, 33), kLight));
    EXPECT_TRUE(Dark(26, 31));
    EXPECT_FALSE(Dark(26, 32));
    EXPECT_TRUE(Dark(59, 33));  // tick 5, major
    EXPECT_TRUE(Dark(100, 33)); // tick 10, major
    EXPECT_FALSE(Dark(58, 31)); // between ticks
    // The cursor at position 0: its left edge at 13 + 4 - 6.
    EXPECT_TRUE(ShowsIcon("lumbra_CursorH", 11, 10));
    EXPECT_FALSE(ShowsIcon("lumbra_CursorH", 12, 10));
}

TEST_F(SliderTest, AtMostOneTickAPixelOfTrack)
{
    // 83 pixels of travel: 1000 intervals of 10 show their 100 majors no
    // more than the 10-interval ones, and 1000 plain intervals only both
    // ends.
    struct Case {
        unsigned grad, subdiv;
        bool middle;
    };
    for (const Case& k : {Case{1000, 100, true}, Case{1000, 1, false}}) {
        SCOPED_TRACE(k.subdiv);
        slider->SetGrad(k.grad);
        slider->SetSubdiv(k.subdiv);
        slider->Place(10, 10, 100, 20, CSlider::HORIZONTAL | CSlider::RIGHT_GRADUATE);
        slider->Display(true);
        EXPECT_TRUE(Dark(18, 33) && Dark(100, 33));
        EXPECT_EQ(Dark(59, 33), k.middle);
        EXPECT_FALSE(Dark(20, 31) || Dark(21, 31) || Dark(61, 31));
    }
}

TEST_F(SliderTest, RoomForTicksOnBothSidesAndNoneWithoutGraduations)
{
    const unsigned both = CSlider::HORIZONTAL | CSlider::LEFT_GRADUATE | CSlider::RIGHT_GRADUATE;
    slider->SetGrad(10);
    slider->Place(10, 40, 100, 20, both);
    EXPECT_EQ(slider->RetBox().Y1(), 36);
    EXPECT_EQ(slider->RetBox().DY(), 28);
    // Exponent 2: position 0.25 puts the cursor at the place 0.5, its left
    // edge at 13 + 45.5 - 6; the track lies in the height given to Place.
    slider->SetLog(2);
    slider->SetPos(0.25);
    slider->Display(true);
    EXPECT_TRUE(ShowsIcon("lumbra_CursorH", 52, 40) || ShowsIcon("lumbra_CursorH", 53, 40));
    EXPECT_FALSE(ShowsIcon("lumbra_CursorH", 11, 40));
    EXPECT_TRUE(Dark(18, 36) && Dark(18, 63));

    CSliderRef plain = ZuNew<CSlider>(Zuvi_app_zone);
    plain->SetParent(w);
    plain->Place(10, 80, 100, 20, both);
    EXPECT_EQ(plain->RetBox().Y1(), 80);
    EXPECT_EQ(plain->RetBox().DY(), 20);
    plain->Display(true);
    EXPECT_FALSE(Dark(18, 79) || Dark(18, 100));
}

TEST_F(SliderTest, PublishedDataKeepsTheSliderWithinItsBounds)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        const char* name;
        ZuValueRef value;
    };
    const Case cases[] = {
        {"slider_pos", ZuValueRef(nan)},          {"slider_pos", ZuValueRef(inf)},
        {"slider_log", ZuValueRef(nan)},          {"slider_step", ZuValueRef(inf)},
        {"slider_step", ZuValueRef(nan)},         {"slider_subdiv", ZuValueRef(0u)},
        {"slider_grad", ZuValueRef(4000000000u)}, {"slider_style", ZuValueRef(0xFFFFFFFFu)},
    };
    slider->Place(10, 10, 100, 20, CSlider::HORIZONTAL | CSlider::RIGHT_GRADUATE);
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        EXPECT_TRUE(ZuObject::DefineData(slider, ZuStringRef(k.name), k.value));
        slider->Display(true);
        WindowPixel(0, 0);
        Click(60, 20);
        const double pos = slider->GetPos();
        EXPECT_TRUE(pos >= 0 && pos <= 1) << pos;
    }
    EXPECT_EQ(slider->GetSubdiv(), 1u);
    ZuValueRef v;
    ASSERT_TRUE(ZuObject::QueryData(slider, ZuStringRef("slider_pos"), v));
    EXPECT_TRUE(ZuObject::DefineData(slider, ZuStringRef("slider_pos"), ZuValueRef(nan)));
    EXPECT_EQ(slider->GetPos(), 0.0);
    EXPECT_TRUE(ZuObject::DefineData(slider, ZuStringRef("slider_pos"), ZuValueRef(2.0)));
    EXPECT_EQ(slider->GetPos(), 1.0);
}

} // namespace
