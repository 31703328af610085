#include <gtest/gtest.h>

#include <string>

#include "si/app.h"
#include "si/rtclass.h"
#include "tests/support/looks.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"
#include "tests/support/views.h"

// Notes the application's notifications it is attached to.
ZU_HANDLE(TAppWatcher, ZuObject)
class TAppWatcher : public ZuObject {
    ZU_CLASS(TAppWatcher, ZuObject)
public:
    TAppWatcher() {}
    bool OnList(const ZuObjectRef&, unsigned)
    {
        log += "list ";
        return true;
    }
    bool OnActive(const ZuObjectRef&, unsigned)
    {
        log += "active ";
        return true;
    }
    std::string log;
};
ZU_CLASS_END(TAppWatcher)
ZU_IMPLEMENT_CLASS(TAppWatcher, "tests/app", ZU_CLASS_PLAIN)
ZU_EXPORT_OBSERVER(TAppWatcher, OnList)
ZU_EXPORT_OBSERVER(TAppWatcher, OnActive)

// Windows draw when they are shown: the fixture has ports and looks.
class AppTest : public LookTest {
protected:
    void SetUp() override
    {
        LookTest::SetUp();
        RegisterWindowClass();
        app = ZuNew<ZuApp>(nullptr);
        ASSERT_TRUE(ZuApp::Initialise(app));
    }
    void TearDown() override
    {
        ZuApp::Uninstall();
        app->Delete();
        app = ZuAppRef();
        UnregisterWindowClass();
        LookTest::TearDown();
    }
    ZuAppRef app;
};

TEST_F(AppTest, OneApplicationIsCurrentAndTheBuilderStaysEmpty)
{
    EXPECT_EQ(ZuApp::Current(), app);
    ZuAppRef second = ZuNew<ZuApp>(nullptr);
    EXPECT_FALSE(ZuApp::Initialise(second));
    EXPECT_EQ(ZuApp::Current(), app);
    second->Delete();

    // Start-up asks for a builder; none exists, so building stays off
    // instead of the start-up ending.
    app->Initialise(true);
    EXPECT_FALSE(app->RetBuilder().IsValid());
    EXPECT_FALSE(app->IsBuildEnabled());
    ZuViewRef builder = ZuNew<ZuView>(nullptr);
    EXPECT_TRUE(app->SetBuilder(builder));
    EXPECT_TRUE(app->IsBuildEnabled());
    app->Initialise(false);
    EXPECT_FALSE(app->IsBuildEnabled());
    app->SetBuilder(ZuObjectRef());
    builder->Delete();
}

TEST_F(AppTest, WindowsListThemselvesAndTheActiveOneMovesLast)
{
    ZuWindowRef w1 = NewTestWindow(10, 10);
    ZuWindowRef w2 = NewTestWindow(10, 10);
    EXPECT_EQ(app->RetWindowNum(), 2u);
    EXPECT_EQ(app->RetWindow(0), w1);
    EXPECT_EQ(app->RetWindow(1), w2);
    ZuWindowRef out = w1;
    EXPECT_FALSE(app->GetWindow(2, out));
    EXPECT_FALSE(out.IsValid());

    w1->SysChangedActive(true);
    EXPECT_EQ(app->RetActiveWindow(), w1);
    EXPECT_EQ(app->RetWindow(1), w1);
    w1->SysChangedActive(false);
    EXPECT_FALSE(app->RetActiveWindow().IsValid());

    // A window with a modal window hands the activation to it.
    ZuWindowRef modal = NewTestWindow(5, 5);
    w2->NotifyInsertModalWindow(modal);
    w2->SysChangedActive(true);
    EXPECT_EQ(app->RetActiveWindow(), modal);
    w2->NotifyRemoveModalWindow(modal);

    modal->Delete();
    w1->Delete();
    EXPECT_EQ(app->RetWindowNum(), 1u);
    EXPECT_EQ(app->RetWindow(0), w2);
    EXPECT_FALSE(app->RemoveWindow(w1));
    EXPECT_EQ(app->RetWindowNum(), 1u);
    w2->Delete();
    EXPECT_EQ(app->RetWindowNum(), 0u);
}

TEST_F(AppTest, NamedViewsAreFoundByNameAndIndex)
{
    ZuViewRef a = ZuNew<ZuView>(nullptr);
    ZuViewRef b = ZuNew<ZuView>(nullptr);
    ZuViewRef c = ZuNew<ZuView>(nullptr);
    a->SetUserName(ZuAtomRef("x"));
    b->SetUserName(ZuAtomRef("y"));
    c->SetUserName(ZuAtomRef("x"));
    EXPECT_EQ(app->CountNamedViews(), 3u);

    ZuViewRef found;
    EXPECT_TRUE(app->FindViewFromUserName(ZuAtomRef("x"), found));
    EXPECT_EQ(found, a);
    EXPECT_TRUE(app->FindViewFromUserName(ZuAtomRef("x"), 1, found));
    EXPECT_EQ(found, c);
    EXPECT_FALSE(app->FindViewFromUserName(ZuAtomRef("x"), 2, found));
    EXPECT_FALSE(found.IsValid());
    EXPECT_FALSE(app->FindViewFromUserName(ZuAtomRef("z"), found));

    // Renaming moves the registration; clearing the name drops it.
    a->SetUserName(ZuAtomRef("y"));
    EXPECT_TRUE(app->FindViewFromUserName(ZuAtomRef("x"), found));
    EXPECT_EQ(found, c);
    c->SetUserName(ZuAtomRef(""));
    EXPECT_FALSE(app->FindViewFromUserName(ZuAtomRef("x"), found));
    EXPECT_EQ(app->CountNamedViews(), 2u);
    ZuAtomRef name;
    ZuViewRef view;
    EXPECT_FALSE(app->GetNamedView(2, name, view));
    EXPECT_TRUE(app->GetNamedView(0, name, view));
    EXPECT_EQ(name, ZuAtomRef("y"));

    a->SetUserName(ZuAtomRef(""));
    b->SetUserName(ZuAtomRef(""));
    a->Delete();
    b->Delete();
    c->Delete();
}

TEST_F(AppTest, RestoredViewsRegisterAndDeletedViewsLeave)
{
    ZuViewRef p = ZuNew<ZuView>(nullptr);
    ZuViewRef b = ZuNew<ZuView>(nullptr);
    b->SetParent(p);
    b->SetUserName(ZuAtomRef("bee"));
    ZuTestStorageRef s = ZuTestStorage::Make();
    s->StartStoring();
    s->StoreObject(p);
    std::vector<unsigned char> bytes = s->Bytes();
    p->Delete();
    EXPECT_EQ(app->CountNamedViews(), 0u);

    ZuTestStorageRef in = ZuTestStorage::Make();
    in->StartRestoring(bytes);
    ZuObjectRef back;
    in->RestoreObject(back, ZuViewRef::RetRuntime());
    ZuViewRef q(back);
    ASSERT_TRUE(q.IsValid());
    ZuViewRef found;
    ASSERT_TRUE(app->FindViewFromUserName(ZuAtomRef("bee"), found));
    EXPECT_EQ(found->RetParent(), q);
    found = ZuViewRef();
    q->Delete();
    EXPECT_EQ(app->CountNamedViews(), 0u);
}

TEST_F(AppTest, WindowsReportTheListAndTheActiveWindowToTheApplication)
{
    TAppWatcherRef watcher = ZuNew<TAppWatcher>(nullptr);
    app->AttachObserver(watcher, ZuAtomRef("notify_window_list_changed"), ZuAtomRef("OnList"), 0);
    app->AttachObserver(watcher, ZuAtomRef("notify_active_window_changed"), ZuAtomRef("OnActive"),
                        0);
    ZuWindowRef w = NewTestWindow(10, 10);
    EXPECT_EQ(watcher->log, "list ");
    w->SysChangedActive(true);
    w->SysChangedActive(false);
    EXPECT_EQ(watcher->log, "list active active ");
    watcher->log.clear();
    w->Delete();
    EXPECT_EQ(watcher->log, "list ");
    app->DetachObserver(watcher);
    watcher->Delete();
}
