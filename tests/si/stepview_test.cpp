// The step view: a multi-view of its own class, stepped through by its
// selection controller and kept under its own name in storage.
#include "si/stepview.h"

#include <gtest/gtest.h>

#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/selectcon.h"
#include "si/viewprovider.h"
#include "tests/support/controls.h"
#include "tests/support/itemviews.h"

namespace {

const unsigned kRed = 0x00FF0000u, kGreen = 0x0000FF00u, kBlue = 0x000000FFu;

// A step view of 100 x 50 at (20, 30) in the fixture's window over three
// coloured items, stepped by a controller of one active item.
class StepViewTest : public ControlTest {
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        items = NewItems({{100, 50, kRed}, {100, 50, kGreen}, {100, 50, kBlue}});
        arch = TItemArchitect::Make();
        provider = ZuNew<ZuViewProvider>(Zuvi_app_zone);
        provider->Initialise(items, arch, 4, 1);
        controller = ZuNew<ZuSelectCon>(Zuvi_app_zone);
        controller->Initialise(ZU_SELECT_ONE, items);
        // The controller knows a member's rank by the id it observes it
        // with, as a provider's member views are wired.
        for (unsigned i = 0; i < 3; ++i) {
            ZuObjectRef item;
            items->Get(i, item);
            item->AttachObserver(ZuObjectRef(controller), ZuAtomRef("notify_clicked"),
                                 ZuAtomRef("NotifyActivation"), i);
        }
        steps = ZuStepViewRef(
            ZuObjectRef(ZuClassFactory::New("ZuStepView", Zuvi_app_zone, __LINE__, "t")));
        ASSERT_TRUE(steps.IsValid());
        steps->SetBox(ZuRect(20, 30, 119, 79));
        steps->SetParent(w);
        steps->Initialise(items, provider, controller);
    }
    void TearDown() override
    {
        if (steps.IsValid())
            steps->Delete();
        controller->Delete();
        provider->Delete();
        steps = ZuStepViewRef();
        controller = ZuSelectConRef();
        provider = ZuViewProviderRef();
        arch = TItemArchitectRef();
        items = ZuArrayRef();
        ZuObjectRef::RealiseDeletions();
        ControlTest::TearDown();
    }
    unsigned Shown()
    {
        w->AddDelayedDisplay(w->RetBox(), true);
        w->RedrawDelayedDisplay();
        return WindowPixel(60, 50);
    }
    ZuArrayRef items;
    TItemArchitectRef arch;
    ZuViewProviderRef provider;
    ZuSelectConRef controller;
    ZuStepViewRef steps;
};

TEST_F(StepViewTest, TheControllerStepsThroughTheItems)
{
    struct Case {
        unsigned rank, color;
    } const cases[] = {{1, kGreen}, {2, kBlue}, {0, kRed}};
    for (const Case& c : cases) {
        ASSERT_TRUE(controller->SetActiveByRank(c.rank)) << c.rank;
        EXPECT_EQ(steps->RetActiveView(), c.rank);
        EXPECT_EQ(Shown(), c.color) << c.rank;
    }
}

TEST_F(StepViewTest, ARestoredStepViewKeepsItsClassAndState)
{
    ZuStepViewRef lone = ZuNew<ZuStepView>(Zuvi_app_zone);
    lone->SetBox(ZuRect(0, 0, 99, 49));
    lone->Initialise(items, provider, ZuSelectConRef());
    ASSERT_TRUE(lone->ActivateView(2));
    lone->SetAutoRefreshMode(false);
    lone->RetViewport()->RemoveAllChildren(false);
    ZuObjectRef back = StoredAndRead(lone);
    lone->Delete();
    ASSERT_TRUE(back.IsValid());
    EXPECT_STREQ(back->RetRuntime()->RetClassName(), "ZuStepView");
    ZuStepViewRef step_back(back);
    EXPECT_EQ(step_back->RetActiveView(), 2u);
    EXPECT_TRUE(step_back->RetAutoRefreshMode());
    EXPECT_TRUE(step_back->RetViewport().IsValid());
    step_back->Delete();
}

} // namespace
