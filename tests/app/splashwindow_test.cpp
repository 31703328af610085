// The splash window: the picture shown while the program starts and again
// for "A propos de...", hidden by a click on it.
#include <gtest/gtest.h>

#include "si/button.h"
#include "si/icon.h"
#include "si/time.h"
#include "tests/app/shelltest.h"

namespace {

class SplashTest : public ShellTest {
protected:
    const CSplashWindowRef& Splash() { return splash = app->RetSplashWindow(); }
    ZuButtonRef Picture()
    {
        ZuViewRef child;
        Splash()->RetWindow()->GetFirstChild(child);
        return ZuButtonRef(child);
    }
    CSplashWindowRef splash;
};

TEST_F(SplashTest, ShowsAgainInPlaceWithTheSamePictureUntilClicked)
{
    const ZuWindowRef window = Splash()->RetWindow();
    ASSERT_TRUE(window.IsValid());
    EXPECT_FALSE(window->IsVisible());
    const ZuButtonRef picture = Picture();
    ASSERT_TRUE(picture.IsValid());
    double x = 0, y = 0, w = 0, h = 0;
    picture->GetOrigin(x, y);
    picture->GetSize(w, h);
    EXPECT_EQ(x, 5);
    EXPECT_EQ(y, 5);
    EXPECT_EQ(w, 488);
    EXPECT_EQ(h, 263);

    // "A propos de...": the same window, at the same place.
    Splash()->Hide(false);
    Pump();
    EXPECT_TRUE(window->IsVisible());
    EXPECT_EQ(Splash()->RetWindow(), window);
    EXPECT_EQ(Picture(), picture);
    const ZuRect& box = window->RetWindowBox();
    EXPECT_EQ(box.X1(), 201);
    EXPECT_EQ(box.Y1(), 304);
    EXPECT_EQ(box.X2(), 698);
    EXPECT_EQ(box.Y2(), 576);
    // The picture is painted: the splash is not one flat colour.
    EXPECT_NE(WindowPixel(window, 60, 60), WindowPixel(window, 250, 100));

    // A click anywhere on the picture hides it.
    Click(window, 300, 200);
    EXPECT_FALSE(window->IsVisible());
    // Hiding a hidden splash does nothing more.
    Splash()->Hide(true);
    EXPECT_FALSE(window->IsVisible());
}

TEST_F(SplashTest, TheTimerRegistersOnceAndItsExpiryHides)
{
    EXPECT_FALSE(Splash()->IsTimerRegistered());
    Splash()->Hide(false);
    Splash()->StartTimer();
    Splash()->StartTimer();
    EXPECT_TRUE(Splash()->IsTimerRegistered());
    // The delay is 0: the next tick expires it.
    W32_AdvanceTestClock(10);
    app->HandleTick(ZuTime::NowGMTAbsTime(), true);
    EXPECT_FALSE(Splash()->IsTimerRegistered());
    EXPECT_FALSE(Splash()->RetWindow()->IsVisible());
    // Hiding stops a running timer.
    Splash()->Hide(false);
    Splash()->StartTimer();
    Splash()->Hide(true);
    EXPECT_FALSE(Splash()->IsTimerRegistered());
    EXPECT_EQ(app->HandleTick(ZuTime::NowGMTAbsTime(), false), -1);
}

} // namespace
