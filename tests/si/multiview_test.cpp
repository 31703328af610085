// The multi-view: one item of its source shown at a time in a window, the
// active rank chosen directly, by a selection controller or moved by
// changes of the source; margins, geometry and the stored form.
#include <gtest/gtest.h>

#include <string>

#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/multiview.h"
#include "si/providerview.h"
#include "si/rtclass.h"
#include "si/selectcon.h"
#include "si/values.h"
#include "si/viewprovider.h"
#include "tests/support/controls.h"
#include "tests/support/itemviews.h"

namespace {

const unsigned kRed = 0x00FF0000u, kGreen = 0x0000FF00u, kBlue = 0x000000FFu;

// A multi-view of 100 x 50 at (20, 30) in the fixture's shown window, over
// three items of colours red, green and blue.
class MultiViewTest : public ControlTest {
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        items = NewItems({{100, 50, kRed}, {100, 50, kGreen}, {100, 50, kBlue}});
        arch = TItemArchitect::Make();
        provider = ZuNew<ZuViewProvider>(Zuvi_app_zone);
        provider->Initialise(items, arch, 4, 1);
        multi = ZuNew<ZuMultiView>(Zuvi_app_zone);
        multi->SetBox(ZuRect(20, 30, 119, 79));
        multi->SetParent(w);
        log = TReportLog::Make();
    }
    void TearDown() override
    {
        multi->Delete();
        provider->Delete();
        multi = ZuMultiViewRef();
        provider = ZuViewProviderRef();
        arch = TItemArchitectRef();
        items = ZuArrayRef();
        log = TReportLogRef();
        ZuObjectRef::RealiseDeletions();
        ControlTest::TearDown();
    }
    void Init(const ZuSelectConRef& controller = ZuSelectConRef())
    {
        multi->Initialise(items, provider, controller);
        log->Watch(multi, {"notify_active_changed"});
    }
    unsigned Shown()
    {
        w->AddDelayedDisplay(w->RetBox(), true);
        w->RedrawDelayedDisplay();
        return WindowPixel(60, 50);
    }
    bool ViewportEmpty() const
    {
        ZuViewRef child;
        return !multi->RetViewport()->GetFirstChild(child);
    }
    ZuArrayRef items;
    TItemArchitectRef arch;
    ZuViewProviderRef provider;
    ZuMultiViewRef multi;
    TReportLogRef log;
};

} // namespace

TEST_F(MultiViewTest, TheActiveItemIsShownAndMovesOnlyWithinTheItems)
{
    Init();
    EXPECT_TRUE(ViewportEmpty());
    ASSERT_TRUE(multi->RefreshActiveView());
    EXPECT_EQ(Shown(), kRed);
    EXPECT_EQ(multi->RetViewport()->RetBox(), multi->RetBox());

    EXPECT_TRUE(multi->ActivateNextView());
    EXPECT_EQ(Shown(), kGreen);
    EXPECT_TRUE(multi->ActivateView(2));
    EXPECT_EQ(Shown(), kBlue);
    EXPECT_EQ(log->log, "notify_active_changed(0) notify_active_changed(0) ");
    log->Clear();

    // Refused at the ends, and the same rank again says nothing.
    EXPECT_FALSE(multi->ActivateView(3));
    EXPECT_FALSE(multi->ActivateNextView());
    EXPECT_TRUE(multi->ActivateView(2));
    EXPECT_EQ(multi->RetActiveView(), 2u);
    ASSERT_TRUE(multi->ActivateView(0));
    EXPECT_FALSE(multi->ActivatePrevView());
    EXPECT_EQ(multi->RetActiveView(), 0u);
    EXPECT_EQ(log->log, "notify_active_changed(0) ");
    EXPECT_EQ(Shown(), kRed);

    // By name, as a button bound to it calls it.
    EXPECT_TRUE(multi->Action(ZuAtomRef("ActivateNextView"), ZuObjectNull, 0));
    EXPECT_EQ(multi->RetActiveView(), 1u);
}

TEST_F(MultiViewTest, AnEmptySourceEmptiesTheViewportAtRankZero)
{
    Init();
    multi->ActivateView(1);
    EXPECT_FALSE(ViewportEmpty());
    log->Clear();
    items->SetSize(0); // reported to the multi-view: auto refresh empties it
    EXPECT_TRUE(ViewportEmpty());
    EXPECT_EQ(multi->RetActiveView(), 0u);
    EXPECT_NE(log->log.find("notify_active_changed"), std::string::npos);
    // Rank 5 of no items: rank 0, nothing shown, true.
    EXPECT_TRUE(multi->ActivateView(5));
    EXPECT_EQ(multi->RetActiveView(), 0u);
    EXPECT_TRUE(ViewportEmpty());
    EXPECT_FALSE(multi->RefreshActiveView());
}

TEST_F(MultiViewTest, ActivatingBeyondAnEmptySourceReportsAndAnswersTrue)
{
    ZuArrayRef none = ZuNew<ZuArray>(Zuvi_app_zone);
    provider->SetSource(none);
    multi->Initialise(none, provider, ZuSelectConRef());
    multi->SetViewportBox(ZuRect(0, 0, 9, 9));
    TProbeViewRef stale = TProbeView::Make("stale", 0, 0, 4, 4);
    stale->SetParent(multi->RetViewport());
    log->Watch(multi, {"notify_active_changed"});
    EXPECT_TRUE(multi->ActivateView(5));
    EXPECT_EQ(multi->RetActiveView(), 0u);
    EXPECT_TRUE(ViewportEmpty());
    EXPECT_EQ(log->log, "notify_active_changed(0) ");
    stale->Delete();
}

TEST_F(MultiViewTest, RemovingTheActiveLastItemShowsTheNewLastOne)
{
    Init();
    multi->ActivateView(2);
    log->Clear();
    ASSERT_TRUE(items->Remove(2u));
    EXPECT_EQ(multi->RetActiveView(), 1u);
    EXPECT_EQ(log->log, "notify_active_changed(0) ");
    EXPECT_EQ(Shown(), kGreen);

    // Auto refresh off: the provider hears of it, the viewport does not.
    multi->SetAutoRefreshMode(false);
    log->Clear();
    ASSERT_TRUE(items->Remove(0u));
    EXPECT_EQ(multi->RetActiveView(), 1u);
    EXPECT_EQ(log->log, "");
    ZuValueRef on;
    ASSERT_TRUE(multi->QueryData(ZuAtomRef("is_auto_refreshing"), on));
    EXPECT_FALSE(on->RetBool());
}

TEST_F(MultiViewTest, TheSelectionControllerChoosesTheActiveItem)
{
    ZuSelectConRef controller = ZuNew<ZuSelectCon>(Zuvi_app_zone);
    controller->Initialise(ZU_SELECT_ONE, items);
    Init(controller);
    ZuObjectRef third;
    items->Get(2, third);
    ASSERT_TRUE(controller->SetActive(third, 2, true));
    EXPECT_EQ(multi->RetActiveView(), 2u);
    EXPECT_EQ(Shown(), kBlue);
    // A sender without "active_rank" changes nothing.
    multi->OnActiveChange(ZuStringRef("no rank"), 0);
    EXPECT_EQ(multi->RetActiveView(), 2u);
    controller->Delete();
}

TEST_F(MultiViewTest, MarginsHoldThroughMovesAndResizes)
{
    Init();
    ASSERT_TRUE(multi->SetMargin(5));
    EXPECT_EQ(multi->RetViewport()->RetBox(), ZuRect(25, 35, 114, 74));
    multi->SetBox(ZuRect(40, 10, 159, 69));
    EXPECT_EQ(multi->RetViewport()->RetBox(), ZuRect(45, 15, 154, 64));

    ZuMultiViewRef bare = ZuNew<ZuMultiView>(Zuvi_app_zone);
    EXPECT_FALSE(bare->SetMargin(5));
    EXPECT_FALSE(bare->SetViewportBox(ZuRect(0, 0, 1, 1)));
    bare->Delete();
}

// Deleting the multi-view leaves the shown view to its provider.
TEST_F(MultiViewTest, DeletingLeavesTheShownViewToTheProvider)
{
    Init();
    multi->ActivateView(1);
    ZuViewRef shown;
    ASSERT_TRUE(provider->GetView(1, shown));
    multi->Delete();
    ZuObjectRef::RealiseDeletions();
    EXPECT_TRUE(shown->RetParent().IsInvalid());
    ZuViewRef again;
    ASSERT_TRUE(provider->GetView(1, again));
    EXPECT_TRUE(again == shown);
    ZuViewRef content;
    EXPECT_TRUE(ZuProviderViewRef(shown)->GetContents(0, content));
}

// Read from a file, a multi-view observes nothing and shows nothing, starts
// with auto refresh on, and without a source answers false.
TEST_F(MultiViewTest, ARestoredMultiViewWaitsToBeShown)
{
    Init();
    multi->ActivateView(2);
    multi->SetAutoRefreshMode(false);
    multi->RetViewport()->RemoveAllChildren(false);
    ZuMultiViewRef back(StoredAndRead(multi));
    ASSERT_TRUE(back.IsValid());
    EXPECT_EQ(back->RetActiveView(), 2u);
    EXPECT_TRUE(back->RetAutoRefreshMode());
    EXPECT_TRUE(back->RetViewport().IsValid());
    back->Delete();

    ZuMultiViewRef lone = ZuNew<ZuMultiView>(Zuvi_app_zone);
    ZuMultiViewRef lone_back(StoredAndRead(lone));
    ASSERT_TRUE(lone_back.IsValid());
    EXPECT_FALSE(lone_back->ActivateView(1));
    EXPECT_FALSE(lone_back->ActivateNextView());
    EXPECT_FALSE(lone_back->RefreshActiveView());
    lone_back->OnSourceChange(ZuObjectNull, 0);
    lone->Delete();
    lone_back->Delete();
}
