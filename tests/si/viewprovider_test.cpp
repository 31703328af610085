// The view provider: its cache of lines and locks, the boxes it gives, the
// views it makes from its model and the architect, and what it tells.
#include <gtest/gtest.h>

#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/viewprovider.h"
#include "si/window.h"
#include "tests/support/itemviews.h"
#include "tests/support/looks.h"

// Counts the reports it observes and keeps the last user value.
ZU_HANDLE(TReportCounter, ZuObject)
class TReportCounter : public ZuObject {
    ZU_CLASS(TReportCounter, ZuObject)
public:
    TReportCounter() {}
    bool Heard(const ZuObjectRef& source, unsigned id)
    {
        ++count;
        last_source = source;
        last_id = id;
        return true;
    }
    unsigned count = 0;
    unsigned last_id = 0;
    ZuObjectRef last_source;
};
ZU_CLASS_END(TReportCounter)
ZU_IMPLEMENT_CLASS(TReportCounter, "tests/si/viewprovider_test", ZU_CLASS_PLAIN)
ZU_EXPORT_OBSERVER(TReportCounter, Heard)

namespace {

class ViewProviderTest : public LookTest {
protected:
    void SetUp() override
    {
        LookTest::SetUp();
        items = NewItems(std::vector<TItemSpec>(45, TItemSpec{30, 20, 0x00FF0000u}));
        arch = TItemArchitect::Make();
        provider = ZuNew<ZuViewProvider>(Zuvi_app_zone);
        ASSERT_TRUE(provider->Initialise(items, arch, 0, 1));
    }
    void TearDown() override
    {
        provider->Delete();
        provider = ZuViewProviderRef();
        arch = TItemArchitectRef();
        items = ZuArrayRef();
        ZuObjectRef::RealiseDeletions();
        LookTest::TearDown();
    }
    // The item index of the n-th locked line, or -1.
    int LockedIndex(unsigned n)
    {
        ZuViewRef v;
        if (!provider->GetLockedView(n, v))
            return -1;
        return static_cast<int>(ZuProviderViewRef(v)->RetIndex());
    }
    ZuArrayRef items;
    TItemArchitectRef arch;
    ZuViewProviderRef provider;
};

} // namespace

TEST_F(ViewProviderTest, CacheGrowsOnlyWhenEveryLineIsLocked)
{
    // From n lines all locked, one more lock grows the cache to
    // n + n / 16 + 10 lines: once those are all locked too, the next item
    // takes back the first unlocked line instead of a new one.
    struct Case {
        unsigned lines, grown;
    } const cases[] = {{0, 10}, {32, 44}};
    for (const Case& c : cases) {
        provider->SetTotalCacheLines(c.lines);
        for (unsigned i = 0; i < c.grown; ++i)
            ASSERT_TRUE(provider->LockView(i)) << i;
        EXPECT_EQ(0, LockedIndex(0));
        ASSERT_TRUE(provider->UnlockView(0));
        ASSERT_TRUE(provider->LockView(c.grown));
        EXPECT_EQ(static_cast<int>(c.grown), LockedIndex(0)) << c.lines;
        EXPECT_EQ(1, LockedIndex(1)) << c.lines;
        EXPECT_EQ(-1, LockedIndex(c.grown)) << c.lines;
        ZuViewRef v;
        EXPECT_FALSE(provider->GetView(0, v));
        provider->UnlockAllViews();
        EXPECT_EQ(-1, LockedIndex(0));
    }
}

TEST_F(ViewProviderTest, EveryLockNeedsItsUnlock)
{
    ASSERT_TRUE(provider->LockView(5));
    ASSERT_TRUE(provider->LockView(5));
    EXPECT_EQ(5, LockedIndex(0));
    EXPECT_EQ(-1, LockedIndex(1));
    ZuViewRef v;
    ASSERT_TRUE(provider->UnlockView(5));
    EXPECT_TRUE(provider->GetView(5, v));
    ASSERT_TRUE(provider->UnlockView(5));
    EXPECT_FALSE(provider->GetView(5, v));
    EXPECT_EQ(-1, LockedIndex(0));
    EXPECT_FALSE(provider->UnlockView(5));
    EXPECT_FALSE(provider->UnlockView(6));
    // The unlocked view waits in its line until the lines are flushed.
    ASSERT_TRUE(provider->LockView(5));
    ASSERT_TRUE(provider->UnlockView(5));
    EXPECT_EQ(1u, arch->create_calls);
    EXPECT_TRUE(provider->ZuObject::Action(ZuAtomRef("FlushUnlockedCacheLines"), ZuObjectNull, 0));
    ASSERT_TRUE(provider->LockView(5));
    EXPECT_EQ(2u, arch->create_calls);
    EXPECT_FALSE(provider->LockView(45));
    EXPECT_FALSE(provider->UnlockView(45));
}

TEST_F(ViewProviderTest, BoxesComeFromLockedViewsElseFromTheArchitect)
{
    ASSERT_TRUE(provider->LockView(2, ZuRect(100, 50, 129, 69)));
    ZuRect box;
    ASSERT_TRUE(provider->GetViewBox(2, box));
    EXPECT_EQ(ZuRect(100, 50, 129, 69), box);
    ASSERT_TRUE(provider->GetViewBox(3, box));
    EXPECT_EQ(ZuRect(0, 0, 29, 19), box);
    EXPECT_FALSE(provider->GetViewBox(45, box));
    // An item the architect cannot size has no box.
    items->Access(4) = ZuObjectRef(ZuNew<TItemArchitect>(Zuvi_app_zone));
    EXPECT_FALSE(provider->GetViewBox(4, box));
}

TEST_F(ViewProviderTest, ANewSizeHasTheViewFilledAgain)
{
    ASSERT_TRUE(provider->LockView(1, ZuRect(0, 0, 29, 19)));
    EXPECT_EQ(1u, arch->create_calls);
    ZuViewRef v, content;
    ASSERT_TRUE(provider->GetView(1, v));
    ASSERT_TRUE(ZuProviderViewRef(v)->GetContents(0, content));
    ASSERT_TRUE(content.IsValid());
    // Same size: only moved, contents with it.
    ASSERT_TRUE(provider->LockView(1, ZuRect(40, 10, 69, 29)));
    EXPECT_EQ(1u, arch->create_calls);
    EXPECT_EQ(40, v->RetBox().X1());
    EXPECT_EQ(40, content->RetBox().X1());
    EXPECT_EQ(10, content->RetBox().Y1());
    // Another size: the architect fills it again.
    ASSERT_TRUE(provider->LockView(1, ZuRect(40, 10, 89, 29)));
    EXPECT_EQ(2u, arch->create_calls);
    ZuViewRef again;
    ASSERT_TRUE(provider->GetView(1, again));
    EXPECT_TRUE(again == v);
}

TEST_F(ViewProviderTest, ActionsMakeTheLastTouchedView)
{
    ZuWindowRef window = NewTestWindow(200, 200);
    unsigned index = 99;
    EXPECT_FALSE(provider->GetLastTouchedView(index));
    ASSERT_TRUE(provider->LockView(4));
    ZuViewRef v;
    ASSERT_TRUE(provider->GetView(4, v));
    v->SetParent(window);
    ZuProviderViewRef(v)->Action(true);
    ASSERT_TRUE(provider->GetLastTouchedView(index));
    EXPECT_EQ(4u, index);
    // A stale cache forgets it.
    provider->SetArchitect(arch);
    EXPECT_FALSE(provider->GetLastTouchedView(index));
    ZuProviderViewRef(v)->HotOn();
    EXPECT_TRUE(provider->GetLastTouchedView(index));
    window->Delete();
}

TEST_F(ViewProviderTest, ObserversReachEveryNewViewWithItsIndex)
{
    ZuWindowRef window = NewTestWindow(200, 200);
    TReportCounterRef heard = ZuNew<TReportCounter>(Zuvi_app_zone);
    const ZuAtomRef clicked("notify_clicked"), method("Heard");
    ASSERT_TRUE(provider->AddViewObserver(heard, clicked, method));
    EXPECT_FALSE(provider->RemoveViewObserver(heard, clicked, ZuAtomRef("Other")));
    ASSERT_TRUE(provider->LockView(7));
    ZuViewRef v;
    ASSERT_TRUE(provider->GetView(7, v));
    v->SetParent(window);
    ZuProviderViewRef(v)->Action(true);
    EXPECT_EQ(1u, heard->count);
    EXPECT_EQ(7u, heard->last_id);
    EXPECT_TRUE(heard->last_source == v);
    EXPECT_TRUE(provider->RemoveViewObserver(heard, clicked, method));
    EXPECT_FALSE(provider->RemoveViewObserver(heard, clicked, method));
    window->Delete();
}

TEST_F(ViewProviderTest, ContentsMayComeLater)
{
    TReportCounterRef heard = ZuNew<TReportCounter>(Zuvi_app_zone);
    provider->AttachObserver(heard, ZuAtomRef("notify_update_requested"), ZuAtomRef("Heard"), 0);
    ZuObjectRef source;
    ZuProviderViewRef request;
    EXPECT_FALSE(provider->GetLastUpdateRequest(source, request));
    ASSERT_TRUE(provider->LockView(3));
    EXPECT_EQ(1u, heard->count);
    ASSERT_TRUE(provider->GetLastUpdateRequest(source, request));
    EXPECT_TRUE(source == items);
    EXPECT_EQ(3u, request->RetIndex());

    TProbeViewRef late = TProbeView::Make("late", 0, 0, 5, 5);
    EXPECT_FALSE(provider->NotifyViewUpdate(3, 1, late));
    EXPECT_FALSE(provider->NotifyViewUpdate(8, 0, late));
    ASSERT_TRUE(provider->NotifyViewUpdate(3, 0, late));
    EXPECT_TRUE(late->RetParent() == request);
    EXPECT_FALSE(provider->GetLastUpdateRequest(source, request));
}

TEST_F(ViewProviderTest, AsAContainerItHoldsTheLockedViews)
{
    ASSERT_TRUE(provider->LockView(9));
    EXPECT_EQ(45u, provider->TotalCount());
    ZuObjectRef got;
    EXPECT_TRUE(provider->Get(9, got));
    EXPECT_FALSE(provider->Get(8, got));
    // A source whose count changed frees every line.
    items->Remove(44u);
    EXPECT_TRUE(provider->NotifyDataSourceChange());
    EXPECT_EQ(44u, provider->TotalCount());
    EXPECT_FALSE(provider->Get(9, got));
}

TEST_F(ViewProviderTest, LocksThatCannotBeServedAreRefused)
{
    // No attributes: the lines are never sized.
    ZuViewProviderRef bare = ZuNew<ZuViewProvider>(Zuvi_app_zone);
    bare->Initialise(items, arch, 5, 0);
    EXPECT_FALSE(bare->LockView(0));
    bare->Delete();

    // A provider read back has no model until one is given.
    provider->SetTotalCacheLines(4);
    ZuViewProviderRef back(StoredAndRead(provider));
    ASSERT_TRUE(back.IsValid());
    EXPECT_EQ(45u, ZuArrayRef(back->RetSource())->TotalCount());
    EXPECT_TRUE(back->RetArchitect().IsValid());
    EXPECT_FALSE(back->LockView(0));
    ASSERT_TRUE(back->SetProviderViewModel(ZuNew<ZuProviderView>(Zuvi_app_zone)));
    EXPECT_TRUE(back->LockView(0));
    back->Delete();
}

TEST_F(ViewProviderTest, FewerLinesAreSizedBeforeTheyAreUsed)
{
    provider->SetTotalCacheLines(5);
    for (unsigned i = 0; i < 5; ++i)
        ASSERT_TRUE(provider->LockView(i));
    provider->SetTotalCacheLines(2);
    ZuViewRef v;
    EXPECT_FALSE(provider->GetView(0, v));
    ASSERT_TRUE(provider->LockView(10));
    ASSERT_TRUE(provider->LockView(11));
    // Both lines locked: the next grows the cache to 2 + 0 + 10.
    ASSERT_TRUE(provider->LockView(12));
    EXPECT_EQ(12, LockedIndex(2));
}

TEST_F(ViewProviderTest, AStaleCacheRestylesAndRefillsItsViews)
{
    ASSERT_TRUE(provider->LockView(0));
    ASSERT_TRUE(provider->LockView(1));
    provider->UnlockView(1);
    ZuViewRef v;
    ASSERT_TRUE(provider->GetView(0, v));
    ZuProviderViewRef shown(v);
    shown->ChangeState(ZU_VIEW_IS_ON, true, false);
    EXPECT_EQ(2u, arch->create_calls);

    // A new model: the locked view is emptied and takes the model's style
    // and its state bits from 16 up, keeping its own below.
    ZuProviderViewRef model = ZuNew<ZuProviderView>(Zuvi_app_zone);
    model->SetStyle(ZuCtrlStyle());
    model->ChangeStyle(ZU_CTRL_DRAW_RELIEF, true);
    model->ChangeState(ZU_VIEW_NO_DETECT, true, false);
    model->ChangeState(ZU_VIEW_IS_ENABLED, false, false);
    ASSERT_TRUE(provider->SetProviderViewModel(model));
    ZuViewRef content;
    shown->GetContents(0, content);
    EXPECT_TRUE(content.IsInvalid());
    EXPECT_TRUE(shown->RetStyle().TestBit(ZU_CTRL_DRAW_RELIEF));
    EXPECT_FALSE(shown->RetStyle().TestBit(ZU_CTRL_IGNORE_HOT));
    EXPECT_TRUE(shown->RetState().TestBit(ZU_VIEW_NO_DETECT));
    EXPECT_TRUE(shown->RetState().TestBit(ZU_VIEW_IS_ON));
    EXPECT_TRUE(shown->RetState().TestBit(ZU_VIEW_IS_ENABLED));

    // Data changed: every used line, locked or not, is filled again.
    EXPECT_TRUE(provider->NotifyDataSourceChange());
    EXPECT_EQ(4u, arch->create_calls);
    shown->GetContents(0, content);
    EXPECT_TRUE(content.IsValid());
    EXPECT_FALSE(provider->SetProviderViewModel(ZuProviderViewRef()));
}
