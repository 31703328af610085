// The application object: windows, named views, the main loop's parts
// (window synchronisation, tick responders, asynchronous reports) and the
// loop itself on the headless backend.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "sd/win32/sd_event.h"
#include "sd/win32/sd_grailwdo.h"
#include "si/app.h"
#include "si/asyncobs.h"
#include "si/itickhandler.h"
#include "si/rtclass.h"
#include "si/time.h"
#include "si/values.h"
#include "tests/support/looks.h"
#include "tests/support/storagetest.h"
#include "tests/support/views.h"
#include "w32/systime.h"

namespace {
std::string g_log;

std::string PathText(const ZuAtomPathRef& path)
{
    return path.IsValid() ? std::string(path->RetString()->AccessLatin()) : std::string("-");
}
} // namespace

// An application that notes when it brings its windows to the front.
ZU_HANDLE(TTestApp, ZuApp)
class TTestApp : public ZuApp {
    ZU_CLASS(TTestApp, ZuApp)
public:
    TTestApp() {}
    bool ReorderWindows() override
    {
        ++reorders;
        return ZuApp::ReorderWindows();
    }
    unsigned reorders = 0;
};
ZU_CLASS_END(TTestApp)
ZU_IMPLEMENT_CLASS(TTestApp, "tests/si/app_test", ZU_CLASS_PLAIN)

// An observer whose action logs the event being delivered and may report
// another event from inside the delivery.
ZU_HANDLE(TAppWatcher, ZuObject)
class TAppWatcher : public ZuObject {
    ZU_CLASS(TAppWatcher, ZuObject)
public:
    TAppWatcher() {}
    bool Heard(const ZuObjectRef&, unsigned id)
    {
        g_log += "Heard(" + PathText(ZuApp::Current()->RetFiredAsyncEvent()) + "," +
                 std::to_string(id) + ") ";
        if (report_from.IsValid()) {
            ZuApp::Current()->ReportAsync(report_from, ZuAtomRef("notify_Again"));
            report_from = ZuObjectNull;
        }
        return true;
    }
    bool Told(const ZuObjectRef&, unsigned)
    {
        g_log += "Told ";
        return true;
    }
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
    ZuObjectRef report_from;
    std::string log;
};
ZU_CLASS_END(TAppWatcher)
ZU_IMPLEMENT_CLASS(TAppWatcher, "tests/si/app_test", ZU_CLASS_PLAIN)
ZU_EXPORT_OBSERVER(TAppWatcher, Heard)
ZU_EXPORT_OBSERVER(TAppWatcher, Told)
ZU_EXPORT_OBSERVER(TAppWatcher, OnList)
ZU_EXPORT_OBSERVER(TAppWatcher, OnActive)

// A tick responder that logs "label:id" and may post the quit message.
ZU_HANDLE(TTicker, ZuObject)
class TTicker : public ZuObject, public ZuiTickHandler {
    ZU_CLASS(TTicker, ZuObject)
public:
    TTicker() {}
    void Tick(unsigned int id) override
    {
        g_log += label + ":" + std::to_string(id) + " ";
        if (quit)
            ZuEvent::PostQuitEvent();
    }
    std::string label;
    bool quit = false;
};
ZU_CLASS_END(TTicker)
ZU_IMPLEMENT_CLASS(TTicker, "tests/si/app_test", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(TTicker, ZuiTickHandler)

// A pixmap that counts its flushes.
ZU_HANDLE(TFlushCount, ZuGrailPixmap)
class TFlushCount : public ZuGrailPixmap {
    ZU_CLASS(TFlushCount, ZuGrailPixmap)
public:
    TFlushCount() {}
    void Flush() override
    {
        ++flushes;
        ZuGrailPixmap::Flush();
    }
    unsigned flushes = 0;
};
ZU_CLASS_END(TFlushCount)
ZU_IMPLEMENT_CLASS(TFlushCount, "tests/si/app_test", ZU_CLASS_PLAIN)

// Windows draw when they are shown: the fixture has ports, looks and the
// window class.
class AppTest : public LookTest {
protected:
    void SetUp() override
    {
        LookTest::SetUp();
        RegisterWindowClass();
        g_log.clear();
        app = ZuNew<TTestApp>(nullptr);
        ZuApp::Initialise(app);
    }
    void TearDown() override
    {
        W32_ClearTestClock();
        ZuApp::Kill();
        app = ZuAppRef();
        Zuvi_ResetEventLayer();
        UnregisterWindowClass();
        LookTest::TearDown();
    }
    static TTickerRef Ticker(const char* label)
    {
        TTickerRef t = ZuNew<TTicker>(nullptr);
        t->label = label;
        return t;
    }
    static ZuDataSlotRef Named(const char* name)
    {
        ZuDataSlotRef slot = ZuNew<ZuDataSlot>(nullptr);
        slot->SetUserName(ZuAtomRef(name));
        return slot;
    }
    TTestAppRef app;
};

TEST_F(AppTest, OneApplicationIsCurrentAndTheBuilderStaysEmpty)
{
    EXPECT_EQ(ZuApp::Current(), app);
    EXPECT_TRUE(app->RetUserName() == "Application");
    // The class is a singleton: asking for another gives the one there is.
    EXPECT_EQ(ZuAppRef(ZuNew<TTestApp>(nullptr)), app);
    EXPECT_DEATH(ZuApp::Initialise(app), "Failed assertion: ZuApp::current_num == 0");
    EXPECT_DEATH(
        {
            ZuApp::Kill();
            ZuApp::Kill();
        },
        "Failed assertion: ZuApp::current_num == 1");
    EXPECT_DEATH(
        {
            ZuTestStorageRef storage = ZuTestStorage::Make();
            storage->StartStoring();
            storage->StoreObject(app);
        },
        "Trying to store Application");

    // Start-up asks for a builder; none exists, so building stays off
    // instead of the start-up ending. The application enters itself in its
    // own data slot.
    app->Initialise(true);
    ZuObjectRef field;
    EXPECT_TRUE(app->GetField(ZuAtomRef("Application"), field));
    EXPECT_EQ(field.RetRawObject(), app.RetRawObject());
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
    EXPECT_DEATH(app->RemoveWindow(w1), "Failed assertion: this->window_list->Remove \\(window\\)");
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

TEST_F(AppTest, TheMainWindowIsToldAndTheListReportsItsChanges)
{
    TAppWatcherRef watcher = ZuNew<TAppWatcher>(nullptr);
    app->AttachObserver(watcher, ZuApp::notify_window_list_changed, ZuAtomRef("Told"), 0);
    ZuWindowRef w1 = NewTestWindow(10, 10);
    EXPECT_EQ(g_log, "Told ");
    // A window inserted twice counts twice.
    app->InsertWindow(w1);
    EXPECT_EQ(app->RetWindowNum(), 2u);
    app->RemoveWindow(w1);

    g_log.clear();
    app->AttachObserver(watcher, ZuApp::notify_main_window_changed, ZuAtomRef("Told"), 0);
    EXPECT_TRUE(app->SetMainWindow(w1));
    EXPECT_TRUE(app->SetMainWindow(w1));
    EXPECT_EQ(g_log, "Told ");
    EXPECT_EQ(app->RetMainWindow(), w1);
    EXPECT_TRUE(w1->RetStyle().TestBit(ZU_WINSTYLE_MAIN));
    ZuValueRef num;
    EXPECT_TRUE(ZuObject::QueryData(app, ZuStringRef("window_num"), num));
    EXPECT_EQ(num->RetCard32(), 1u);
    EXPECT_TRUE(app->SetMainWindow(ZuWindowNull));
    EXPECT_FALSE(w1->RetStyle().TestBit(ZU_WINSTYLE_MAIN));
    w1->Delete();
    app->DetachObserver(watcher);
}

TEST_F(AppTest, ActivationReordersTheWindowsAndReportsOnce)
{
    TAppWatcherRef watcher = ZuNew<TAppWatcher>(nullptr);
    app->AttachObserver(watcher, ZuApp::notify_app_activated, ZuAtomRef("Told"), 0);
    app->AttachObserver(watcher, ZuApp::notify_app_deactivated, ZuAtomRef("Told"), 0);
    EXPECT_FALSE(app->IsAppActive());
    app->NotifyActiveApp(true);
    app->NotifyActiveApp(true);
    EXPECT_TRUE(app->IsAppActive());
    EXPECT_EQ(app->reorders, 1u);
    EXPECT_EQ(g_log, "Told ");
    app->NotifyActiveApp(false);
    app->NotifyActiveApp(false);
    EXPECT_EQ(app->reorders, 1u);
    EXPECT_EQ(g_log, "Told Told ");
    app->DetachObserver(watcher);
}

// Activation brings the main window, then the ordinary windows, then the
// tool windows to the front, each window's modal window following it: the
// last ends on top. Hidden and topmost windows are not moved.
TEST_F(AppTest, ReorderingPutsTheMainWindowFirstAndModalWindowsAfterTheirOwner)
{
    auto make = [](std::initializer_list<ZuWinStyleBit> bits, bool show) {
        ZuWinStyle style;
        for (ZuWinStyleBit b : bits)
            style.SetBit(b);
        ZuWindowRef w = ZuNew<ZuWindow>(Zuvi_app_zone);
        w->InitGeom(10, 10, 60, 40, ZuStringRef("w"), style);
        if (show)
            w->ShowNormal();
        return w;
    };
    auto hwnd = [](const ZuWindowRef& w) {
        const ZuGrailWindowRef& screen = w->RetScreenWindow();
        return screen.IsValid() && screen->RetPrivateWindowInfo() != nullptr
                   ? screen->RetPrivateWindowInfo()->hwnd
                   : nullptr;
    };
    ZuWindowRef tool = make({ZU_WINSTYLE_FRAMELESS, ZU_WINSTYLE_TOOL}, true);
    ZuWindowRef plain = make({ZU_WINSTYLE_FRAMELESS}, true);
    ZuWindowRef hidden = make({ZU_WINSTYLE_FRAMELESS}, false);
    ZuWindowRef main = make({ZU_WINSTYLE_FRAMELESS}, true);
    ZuWindowRef modal = make({ZU_WINSTYLE_FRAMELESS}, false);
    modal->SetModalWindowParent(plain);
    modal->ShowNormal();
    app->SetMainWindow(main);
    // Shuffle the screen order first.
    plain->ActivateAsFrontWindow(true);
    main->ActivateAsFrontWindow(true);
    modal->ActivateAsFrontWindow(true);
    tool->ActivateAsFrontWindow(true);

    EXPECT_TRUE(app->ReorderWindows());
    std::vector<HWND> order;
    std::vector<HWND> ours = {hwnd(main), hwnd(plain), hwnd(tool), hwnd(modal)};
    for (HWND h = GetWindow(nullptr, GW_HWNDFIRST); h != nullptr; h = GetWindow(h, GW_HWNDNEXT))
        if (std::find(ours.begin(), ours.end(), h) != ours.end())
            order.push_back(h);
    EXPECT_EQ(order, (std::vector<HWND>{hwnd(modal), hwnd(tool), hwnd(plain), hwnd(main)}));
    for (ZuWindowRef* w : {&modal, &tool, &plain, &hidden, &main})
        (*w)->Delete();
}

TEST_F(AppTest, IdleSyncModeLeavesTheWindowsToTheIdleCall)
{
    ZuWindowRef w = NewTestWindow(20, 20);
    TFlushCountRef port = ZuNew<TFlushCount>(nullptr);
    port->Initialise(16, 20, 20);
    w->SetGrailPort(port);
    // What the window delayed so far goes; then nothing is left to flush.
    app->SyncWindows(false);
    port->flushes = 0;
    EXPECT_FALSE(app->SyncWindows(false));

    w->AddDelayedDisplay(ZuRect(2, 2, 5, 5), false);
    app->SetIdleSyncMode(true);
    EXPECT_FALSE(app->SyncWindows(false));
    EXPECT_EQ(port->flushes, 0u);
    EXPECT_FALSE(w->RetDelayedRect().IsEmpty());
    EXPECT_TRUE(app->RetIdleSyncMode());

    EXPECT_TRUE(app->SyncWindows(true));
    EXPECT_FALSE(app->RetIdleSyncMode());
    EXPECT_EQ(port->flushes, 1u);
    EXPECT_TRUE(w->RetDelayedRect().IsEmpty());

    // Out of the mode, the loop's own call synchronises.
    w->AddDelayedDisplay(ZuRect(0, 0, 1, 1), false);
    EXPECT_TRUE(app->SyncWindows(false));
    EXPECT_EQ(port->flushes, 2u);
    w->SetGrailPort(ZuGrailPortRef());
    w->Delete();
    port->Delete();
}

TEST_F(AppTest, ReportsAreQueuedOncePerObjectAndDeliveredUnderTheirPath)
{
    TAppWatcherRef watcher = ZuNew<TAppWatcher>(nullptr);
    EXPECT_TRUE(app->AttachAsyncObserver(watcher, ZuAtomPathRef("def.notify_Modify"),
                                         ZuStringRef("Heard"), 4));
    EXPECT_TRUE(app->AttachAsyncObserver(watcher, ZuAtomPathRef("ghi.notify_Modify"),
                                         ZuStringRef("Heard"), 5));
    EXPECT_EQ(app->CountAsyncObservers(), 2u);
    EXPECT_FALSE(
        app->AttachAsyncObserver(ZuObjectNull, ZuAtomPathRef("x"), ZuStringRef("Heard"), 0));
    EXPECT_FALSE(app->ReportAsync(ZuObjectNull, ZuAtomRef("notify_Modify")));

    ZuDataSlotRef def = Named("def"), ghi = Named("ghi");
    EXPECT_TRUE(app->ReportAsync(def, ZuAtomRef("notify_Modify")));
    EXPECT_TRUE(app->ReportAsync(def, ZuAtomRef("notify_Modify")));
    EXPECT_TRUE(app->ReportAsync(ghi, ZuAtomRef("notify_Modify")));
    EXPECT_EQ(app->CountAsyncEvents(), 2u);
    EXPECT_TRUE(app->RetFiredAsyncEvent().IsInvalid());

    EXPECT_TRUE(app->FireAsyncEvents());
    // In the order of the reporting objects, each once.
    std::string want = def.RetRawObject() < ghi.RetRawObject()
                           ? "Heard(def.notify_Modify,4) Heard(ghi.notify_Modify,5) "
                           : "Heard(ghi.notify_Modify,5) Heard(def.notify_Modify,4) ";
    EXPECT_EQ(g_log, want);
    EXPECT_EQ(app->CountAsyncEvents(), 0u);
    EXPECT_TRUE(app->RetFiredAsyncEvent().IsInvalid());
    EXPECT_FALSE(app->FireAsyncEvents());

    ZuAtomPathRef path;
    ZuObjectRef actor, observer;
    unsigned id = 0;
    EXPECT_TRUE(app->GetAttachedAsync(0, path, actor, observer, id));
    EXPECT_EQ(observer, watcher);
    EXPECT_TRUE(ZuAtomRef(actor) == "Heard");
    EXPECT_FALSE(app->GetAttachedAsync(2, path, actor, observer, id));

    // Detaching takes the record off the application and off the observer.
    EXPECT_TRUE(app->DetachAsyncObserver(watcher, ZuAtomPathRef("def.notify_Modify"),
                                         ZuStringRef("Heard"), 4));
    EXPECT_EQ(app->CountAsyncObservers(), 1u);
    g_log.clear();
    app->ReportAsync(def, ZuAtomRef("notify_Modify"));
    app->FireAsyncEvents();
    EXPECT_EQ(g_log, "");
    app->DetachAsyncObserver(watcher, ZuAtomPathRef("ghi.notify_Modify"), ZuStringRef("Heard"), 5);
    EXPECT_EQ(app->CountAsyncObservers(), 0u);
}

TEST_F(AppTest, AReportMadeDuringDeliveryWaitsForTheNextFire)
{
    TAppWatcherRef watcher = ZuNew<TAppWatcher>(nullptr);
    ZuDataSlotRef def = Named("def");
    app->AttachAsyncObserver(watcher, ZuAtomPathRef("def.notify_Modify"), ZuStringRef("Heard"), 1);
    app->AttachAsyncObserver(watcher, ZuAtomPathRef("def.notify_Again"), ZuStringRef("Heard"), 2);
    watcher->report_from = def;
    app->ReportAsync(def, ZuAtomRef("notify_Modify"));
    EXPECT_TRUE(app->FireAsyncEvents());
    EXPECT_EQ(g_log, "Heard(def.notify_Modify,1) ");
    EXPECT_EQ(app->CountAsyncEvents(), 1u);
    EXPECT_TRUE(app->FireAsyncEvents());
    EXPECT_EQ(g_log, "Heard(def.notify_Modify,1) Heard(def.notify_Again,2) ");
    app->DetachAsyncObserver(watcher, ZuAtomPathRef("def.notify_Modify"), ZuStringRef("Heard"), 1);
    app->DetachAsyncObserver(watcher, ZuAtomPathRef("def.notify_Again"), ZuStringRef("Heard"), 2);
}

TEST_F(AppTest, TickRespondersFormADeltaList)
{
    const std::int64_t t0 = 1700000000000;
    EXPECT_EQ(app->HandleTick(t0, false), -1);
    TTickerRef a = Ticker("a"), b = Ticker("b"), c = Ticker("c");
    app->InsertTickResponder(a, 100, 1, false);
    app->InsertTickResponder(b, 100, 2, false);
    // Shorter: goes first, and the node after it keeps only the rest.
    app->InsertTickResponder(c, 30, 3, false);
    EXPECT_EQ(app->HandleTick(t0, false), 30);
    EXPECT_EQ(app->HandleTick(t0 + 10, false), 20);
    EXPECT_EQ(app->HandleTick(t0 + 30, true), 70);
    EXPECT_EQ(g_log, "c:3 ");
    // Overdue without firing: 0 and nobody called.
    EXPECT_EQ(app->HandleTick(t0 + 120, false), 0);
    EXPECT_EQ(g_log, "c:3 ");
    // Due at the same time: in insertion order; the call answers what it
    // computed before firing, the next one finds the list empty.
    EXPECT_EQ(app->HandleTick(t0 + 120, true), 0);
    EXPECT_EQ(g_log, "c:3 a:1 b:2 ");
    EXPECT_EQ(app->HandleTick(t0 + 130, true), -1);

    // Replacing drops the responder's earlier entry of that id; removing
    // by all ids drops every entry.
    app->InsertTickResponder(a, 50, 1, false);
    app->InsertTickResponder(a, 20, 1, true);
    app->InsertTickResponder(a, 40, 9, false);
    EXPECT_EQ(app->HandleTick(t0 + 130, false), 20);
    app->RemoveTickResponder(a, 0, true);
    EXPECT_EQ(app->HandleTick(t0 + 130, false), -1);
}

// Views, windows and controls are responders, and every responder is a tick
// handler: a view given to the tick list is called with its id.
TEST_F(AppTest, ARespondersTickReachesItsOverride)
{
    TProbeView::log.clear();
    TProbeViewRef view = TProbeView::Make("v");
    EXPECT_TRUE(view->SupportsInterface(&ZuiTickHandler::interface));
    const std::int64_t t0 = 1700000000000;
    app->HandleTick(t0, false);
    app->InsertTickResponder(view, 10, 4, false);
    app->HandleTick(t0 + 10, true);
    EXPECT_EQ(TProbeView::log, "v:Tick4 ");
    // A plain responder takes its tick and does nothing.
    ZuResponderRef plain = ZuNew<ZuResponder>(nullptr);
    EXPECT_TRUE(plain->SupportsInterface(&ZuiTickHandler::interface));
    app->InsertTickResponder(plain, 10, 5, false);
    app->HandleTick(t0 + 20, true);
    EXPECT_EQ(TProbeView::log, "v:Tick4 ");
}

// The wall clock set back an hour counts as no time: the responder
// waiting for 40 ms ticks 40 ms after the step, through the event layer's
// wait, with event times and ticks read from the test clock.
TEST_F(AppTest, AClockSetBackCountsAsNoTimeElapsed)
{
    W32_SetTestClock(1700000000000);
    const std::int64_t t0 = ZuTime::NowGMTAbsTime();
    app->HandleTick(t0, false);
    TTickerRef t = Ticker("t");
    t->quit = true;
    app->InsertTickResponder(t, 40, 7, false);

    W32_SetTestClock(1700000000000 - 3600 * 1000);
    EXPECT_EQ(app->HandleTick(ZuTime::NowGMTAbsTime(), false), 40);
    W32_AdvanceTestClock(25);
    EXPECT_EQ(app->HandleTick(ZuTime::NowGMTAbsTime(), false), 15);
    W32_AdvanceTestClock(15);
    ZuEventRef event = ZuEvent::Current();
    int passes = 0;
    while (event->WaitForEvent() && passes < 10)
        ++passes; // wake-ups posted by the insertion
    EXPECT_EQ(g_log, "t:7 ");
    EXPECT_EQ(event->RetTime(), t0 - 3600 * 1000 + 40);
}

TEST_F(AppTest, TheMainLoopFiresWhatIsPendingAndEndsOnAPostedQuit)
{
    TAppWatcherRef watcher = ZuNew<TAppWatcher>(nullptr);
    ZuDataSlotRef def = Named("def");
    app->AttachAsyncObserver(watcher, ZuAtomPathRef("def.notify_Modify"), ZuStringRef("Heard"), 1);
    app->ReportAsync(def, ZuAtomRef("notify_Modify"));
    // A responder due at once ticks during the first wait and quits.
    TTickerRef t = Ticker("t");
    t->quit = true;
    app->HandleTick(ZuTime::NowGMTAbsTime(), false);
    app->InsertTickResponder(t, 0, 1, false);
    app->MainEventLoop();
    EXPECT_EQ(g_log, "Heard(def.notify_Modify,1) t:1 ");
    app->DetachAsyncObserver(watcher, ZuAtomPathRef("def.notify_Modify"), ZuStringRef("Heard"), 1);
}
