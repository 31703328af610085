// Command factories and commands: the two ways of carrying a command out,
// enabled, delayed and active states with their reports, child factories,
// controls, asynchronous events and deletion.
#include <gtest/gtest.h>

#include <string>

#include "sd/win32/sd_event.h"
#include "si/app.h"
#include "si/classfactory.h"
#include "si/values.h"
#include "si/array.h"
#include "si/command.h"
#include "si/commandfactory.h"
#include "si/itickhandler.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/string.h"
#include "si/time.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"
#include "w32/systime.h"

namespace {
std::string g_log;
} // namespace

// A command that logs its execution and, when told, finishes at once.
ZU_HANDLE(TLogCommand, ZuCommand)
class TLogCommand : public ZuCommand {
    ZU_CLASS(TLogCommand, ZuCommand)
public:
    TLogCommand() {}
    void Execute() override
    {
        g_log += "exec ";
        ++executed;
        last = ZuCommandRef(this);
        if (finish_at_once)
            Delete();
    }
    static bool finish_at_once;
    static unsigned executed;
    static ZuCommandRef last;
};
ZU_CLASS_END(TLogCommand)
ZU_IMPLEMENT_CLASS(TLogCommand, "tests/si/commandfactory_test", ZU_CLASS_PLAIN)
bool TLogCommand::finish_at_once = false;
unsigned TLogCommand::executed = 0;
ZuCommandRef TLogCommand::last;

// Hears the factory's reports, and is the object of method-path factories
// and a stand-in control ("SetEnable", "SetDisable").
ZU_HANDLE(TFactoryWatcher, ZuObject)
class TFactoryWatcher : public ZuObject {
    ZU_CLASS(TFactoryWatcher, ZuObject)
public:
    TFactoryWatcher() {}
#define T_HEAR(NAME, TEXT)                  \
    bool NAME(const ZuObjectRef&, unsigned) \
    {                                       \
        g_log += TEXT " ";                  \
        return true;                        \
    }
    T_HEAR(OnBegin, "begin")
    T_HEAR(OnStart, "start")
    T_HEAR(OnEnd, "end")
    T_HEAR(OnEnabled, "enabled")
    T_HEAR(OnDisabled, "disabled")
    T_HEAR(OnActive, "active")
#undef T_HEAR
    bool Ping()
    {
        g_log += "ping ";
        return true;
    }
    bool SetEnable()
    {
        g_log += "control-on ";
        return true;
    }
    bool SetDisable()
    {
        g_log += "control-off ";
        return true;
    }
    void Listen(const ZuCommandFactoryRef& f)
    {
        ZuObjectRef me(this);
        f->AttachObserver(me, ZuCommandFactory::do_command_begin, ZuAtomRef("OnBegin"), 0);
        f->AttachObserver(me, ZuCommandFactory::do_command_start, ZuAtomRef("OnStart"), 0);
        f->AttachObserver(me, ZuCommandFactory::do_command_end, ZuAtomRef("OnEnd"), 0);
        f->AttachObserver(me, ZuCommandFactory::notify_enabled, ZuAtomRef("OnEnabled"), 0);
        f->AttachObserver(me, ZuCommandFactory::notify_disabled, ZuAtomRef("OnDisabled"), 0);
        f->AttachObserver(me, ZuCommandFactory::notify_active_changed, ZuAtomRef("OnActive"), 0);
    }
};
ZU_CLASS_END(TFactoryWatcher)
ZU_IMPLEMENT_CLASS(TFactoryWatcher, "tests/si/commandfactory_test", ZU_CLASS_PLAIN)
ZU_EXPORT_OBSERVER(TFactoryWatcher, OnBegin)
ZU_EXPORT_OBSERVER(TFactoryWatcher, OnStart)
ZU_EXPORT_OBSERVER(TFactoryWatcher, OnEnd)
ZU_EXPORT_OBSERVER(TFactoryWatcher, OnEnabled)
ZU_EXPORT_OBSERVER(TFactoryWatcher, OnDisabled)
ZU_EXPORT_OBSERVER(TFactoryWatcher, OnActive)
ZU_EXPORT_ACTOR(TFactoryWatcher, Ping)
ZU_EXPORT_ACTOR(TFactoryWatcher, SetEnable)
ZU_EXPORT_ACTOR(TFactoryWatcher, SetDisable)

// A tick responder that ends the event wait loop.
ZU_HANDLE(TQuitTicker, ZuObject)
class TQuitTicker : public ZuObject, public ZuiTickHandler {
    ZU_CLASS(TQuitTicker, ZuObject)
public:
    TQuitTicker() {}
    void Tick(unsigned int) override
    {
        g_log += "quit ";
        ZuEvent::PostQuitEvent();
    }
};
ZU_CLASS_END(TQuitTicker)
ZU_IMPLEMENT_CLASS(TQuitTicker, "tests/si/commandfactory_test", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(TQuitTicker, ZuiTickHandler)

namespace {

class CommandFactoryTest : public ZuviRuntimeTest {
protected:
    void SetUp() override
    {
        ZuviRuntimeTest::SetUp();
        g_log.clear();
        TLogCommand::finish_at_once = false;
        TLogCommand::executed = 0;
        app = ZuNew<ZuApp>(nullptr);
        ZuApp::Initialise(app);
        watcher = ZuNew<TFactoryWatcher>();
    }
    void TearDown() override
    {
        TLogCommand::last = ZuCommandRef();
        watcher = TFactoryWatcherRef();
        W32_ClearTestClock();
        ZuApp::Kill();
        app = ZuAppRef();
        Zuvi_ResetEventLayer();
        ZuviRuntimeTest::TearDown();
    }
    // A command-class factory of TLogCommand that the watcher hears.
    ZuCommandFactoryRef LogFactory(bool enabled, bool delayed, const char* event = nullptr)
    {
        ZuCommandFactoryRef f = ZuNew<ZuCommandFactory>();
        f->Initialise(event ? ZuAtomPathRef(event) : ZuAtomPathRef(), ZuAtomRef("TLogCommand"),
                      enabled, delayed);
        watcher->Listen(f);
        return f;
    }
    ZuAppRef app;
    TFactoryWatcherRef watcher;
};

} // namespace

TEST_F(CommandFactoryTest, ACommandReportsEachStepOfItsLife)
{
    ZuCommandFactoryRef f = LogFactory(true, false);
    ZuCommandRef c = f->NewCommand();
    ASSERT_TRUE(c.IsValid());
    EXPECT_EQ(g_log, "active begin start exec ");
    EXPECT_TRUE(f->RetActive());
    EXPECT_TRUE(c->RetFactory() == f);
    EXPECT_TRUE(c->RetContext() == app);

    // A second running command changes nothing of the active state.
    g_log.clear();
    ZuCommandRef d = f->NewCommand();
    EXPECT_EQ(g_log, "begin start exec ");
    g_log.clear();
    c->Delete();
    EXPECT_EQ(g_log, "end ");
    EXPECT_TRUE(f->RetActive());
    d->Delete();
    EXPECT_EQ(g_log, "end active end ");
    EXPECT_FALSE(f->RetActive());
    EXPECT_TRUE(d->RetFactory().IsInvalid());
    EXPECT_TRUE(d->RetContext().IsInvalid());

    // A command that finishes within Execute leaves the factory idle.
    g_log.clear();
    TLogCommand::finish_at_once = true;
    EXPECT_TRUE(f->NewCommand().IsValid());
    EXPECT_EQ(g_log, "active begin start exec active end ");
    f->Delete();
}

TEST_F(CommandFactoryTest, NothingIsMadeOrReportedWithoutAUsableClass)
{
    struct Case {
        const char* what;
        bool enabled;
        const char* action;
    } cases[] = {
        {"disabled", false, "TLogCommand"},
        {"unknown class", true, "TNoSuchCommand"},
        {"class that is no command", true, "TFactoryWatcher"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        g_log.clear();
        ZuCommandFactoryRef f = ZuNew<ZuCommandFactory>();
        f->Initialise(ZuAtomPathRef(), ZuAtomRef(c.action), c.enabled, false);
        watcher->Listen(f);
        EXPECT_TRUE(f->NewCommand().IsInvalid());
        EXPECT_EQ(g_log, "");
        EXPECT_FALSE(f->RetActive());
        f->Delete();
    }
}

// Three creations asked before the next tick all run at that one tick; the
// two later ticks find nothing pending.
TEST_F(CommandFactoryTest, ADelayedFactoryMakesEverythingPendingAtTheNextTick)
{
    TLogCommand::finish_at_once = true;
    W32_SetTestClock(1700000000000);
    app->HandleTick(ZuTime::NowGMTAbsTime(), false);
    ZuCommandFactoryRef f = LogFactory(true, true);
    EXPECT_TRUE(f->RetDelayedMode());
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(f->NewCommand().IsInvalid());
    EXPECT_EQ(g_log, "");
    app->InsertTickResponder(ZuNew<TQuitTicker>(), 1, 0, false);

    W32_AdvanceTestClock(1);
    ZuEventRef event = ZuEvent::Current();
    int passes = 0;
    while (event->WaitForEvent() && passes < 10)
        ++passes;
    EXPECT_EQ(TLogCommand::executed, 3u);
    EXPECT_EQ(g_log, "active begin start exec active end "
                     "active begin start exec active end "
                     "active begin start exec active end quit ");
    // Nothing is left pending: a further tick makes nothing.
    f->Tick(0);
    EXPECT_EQ(TLogCommand::executed, 3u);
    f->Delete();
}

TEST_F(CommandFactoryTest, EnabledStateReportsOnlyChangesButUpdateAlwaysReports)
{
    ZuCommandFactoryRef f = LogFactory(true, false);
    EXPECT_TRUE(f->SetEnable(true));
    EXPECT_EQ(g_log, "");
    f->Update();
    EXPECT_EQ(g_log, "enabled active ");
    g_log.clear();
    f->SetDisable();
    f->SetDisable();
    EXPECT_EQ(g_log, "disabled ");
    EXPECT_FALSE(f->RetEnable());
    g_log.clear();
    f->Update();
    EXPECT_EQ(g_log, "disabled active ");

    // By name: the actors and the published data.
    g_log.clear();
    EXPECT_TRUE(f->Action(ZuAtomRef("SetEnable"), ZuObjectNull, 0));
    EXPECT_EQ(g_log, "enabled ");
    ZuValueRef value;
    ASSERT_TRUE(f->QueryData(ZuAtomRef("is_enabled"), value));
    EXPECT_TRUE(value->RetBool());
    ASSERT_TRUE(f->QueryData(ZuAtomRef("is_active"), value));
    EXPECT_FALSE(value->RetBool());
    EXPECT_TRUE(f->DefineData(ZuAtomRef("is_delayed"), ZuValueRef(true)));
    EXPECT_TRUE(f->RetDelayedMode());
    EXPECT_FALSE(f->DefineData(ZuAtomRef("is_active"), ZuValueRef(true)));
    f->Delete();
}

TEST_F(CommandFactoryTest, AMethodPathFactoryRunsItsPathEachTimeAndNeverBecomesActive)
{
    ZuCommandFactoryRef f = ZuNew<ZuCommandFactory>();
    ZuAtomPathRef path("Ping");
    f->Initialise(ZuAtomPathRef(), watcher, path, true, false);
    watcher->Listen(f);
    EXPECT_TRUE(f->NewCommand().IsInvalid());
    EXPECT_TRUE(f->NewCommand().IsInvalid());
    EXPECT_TRUE(f->Action(ZuAtomRef("NewCommand"), ZuObjectNull, 0));
    EXPECT_EQ(g_log, "ping ping ping ");
    EXPECT_FALSE(f->RetActive());
    f->Delete();
}

TEST_F(CommandFactoryTest, DeletingAFactoryEndsItsCommandsThenUnbindsItsEvents)
{
    const unsigned before = app->CountAsyncObservers();
    ZuCommandFactoryRef f = LogFactory(true, false, "def.notify_Go");
    EXPECT_TRUE(f->AddAsyncEvent(ZuAtomPathRef("def.notify_Again")));
    EXPECT_FALSE(f->AddAsyncEvent(ZuAtomPathRef()));
    EXPECT_EQ(app->CountAsyncObservers(), before + 2);

    ZuCommandRef a = f->NewCommand(), b = f->NewCommand();
    g_log.clear();
    f->Delete();
    EXPECT_EQ(g_log, "end active end ");
    EXPECT_TRUE(a->RetFactory().IsInvalid());
    EXPECT_TRUE(b->RetFactory().IsInvalid());
    EXPECT_FALSE(f->RetActive());
    EXPECT_EQ(app->CountAsyncObservers(), before);
}

TEST_F(CommandFactoryTest, AnAsynchronousEventOfTheApplicationMakesACommand)
{
    TLogCommand::finish_at_once = true;
    ZuCommandFactoryRef f = LogFactory(true, false, "def.notify_Go");
    ZuDataSlotRef def = ZuNew<ZuDataSlot>();
    def->SetUserName(ZuStringRef("def"));
    app->ReportAsync(def, ZuAtomRef("notify_Go"));
    app->ReportAsync(def, ZuAtomRef("notify_Other"));
    app->FireAsyncEvents();
    EXPECT_EQ(TLogCommand::executed, 1u);
    f->Delete();
    def->Delete();
}

TEST_F(CommandFactoryTest, ChildFactoriesKeepFactoriesAndHolesInOrder)
{
    ZuCommandFactoryRef f = LogFactory(true, false);
    ZuCommandFactoryRef one = ZuNew<ZuCommandFactory>(), two = ZuNew<ZuCommandFactory>();
    ZuArrayRef given(ZuNew<ZuArray>());
    given->Insert(one);
    given->Insert(ZuObjectNull);
    given->Insert(ZuStringRef("no factory"));
    given->Insert(two);

    EXPECT_FALSE(f->HasChildFactories());
    EXPECT_EQ(f->TotalCount(), 0u);
    EXPECT_TRUE(f->SetChildFactories(given));
    ASSERT_EQ(f->TotalCount(), 3u);
    ZuObjectRef item;
    EXPECT_TRUE(f->Get(0, item) && item == one);
    EXPECT_TRUE(f->Get(1, item) && item.IsInvalid());
    EXPECT_TRUE(f->Get(2, item) && item == two);
    EXPECT_TRUE(f->HasChildFactories());

    // Its own children handed back are kept, not lost.
    ZuBaseContainerRef own;
    ASSERT_TRUE(f->GetChildFactories(own));
    EXPECT_TRUE(f->SetChildFactories(own));
    EXPECT_EQ(f->TotalCount(), 3u);

    // Through the label's extras: "factories" joins the names.
    ZuObjectRef names;
    ASSERT_TRUE(f->GetMore(ZuAtomRef(), names));
    ZuArrayRef list(names);
    ASSERT_EQ(list->TotalCount(), 6u);
    list->Get(5, item);
    EXPECT_TRUE(ZuAtomRef(item) == "factories");
    ASSERT_TRUE(f->GetMore(ZuAtomRef("factories"), item));
    EXPECT_EQ(ZuArrayRef(item)->TotalCount(), 3u);
    EXPECT_TRUE(f->SetMore(ZuAtomRef("factories"), ZuObjectNull));
    EXPECT_FALSE(f->HasChildFactories());
    EXPECT_FALSE(f->GetChildFactories(own));
    f->Delete();
}

TEST_F(CommandFactoryTest, AnAttachedControlFollowsTheEnabledState)
{
    ZuCommandFactoryRef f = LogFactory(true, false);
    TFactoryWatcherRef control = ZuNew<TFactoryWatcher>();
    f->AttachControl(control);
    g_log.clear();
    f->SetDisable();
    f->SetEnable(true);
    EXPECT_EQ(g_log, "disabled control-off enabled control-on ");
    f->DetachControl(control);
    g_log.clear();
    f->SetDisable();
    EXPECT_EQ(g_log, "disabled ");
    // No control class is known here: the control list stays empty.
    EXPECT_FALSE(f->HasControls());
    f->Delete();
}

TEST_F(CommandFactoryTest, OnlyTheLabelIsStored)
{
    ZuCommandFactoryRef f = LogFactory(true, true);
    f->SetUserName(ZuStringRef("Ouvrir"));
    f->DefineLabel(ZuAtomRef("IconOpen"), ZuStringRef("Ouvrir"), ZuStringRef("Ouvrir..."),
                   ZuStringRef("Ouvre un fichier"), ZuStringRef());
    ZuTestStorageRef store = ZuTestStorage::Make();
    store->StartStoring();
    store->StoreObject(f);
    store->StartRestoring(store->Bytes());
    ZuObjectRef back;
    store->RestoreObject(back, ZuCommandFactoryRef::RetRuntime());
    ZuCommandFactoryRef g(back);
    ASSERT_TRUE(g.IsValid());
    EXPECT_TRUE(g->RetIcon() == "IconOpen");
    EXPECT_STREQ(g->RetText(ZU_TEXTVER_NORMAL)->AccessLatin(), "Ouvrir...");
    EXPECT_FALSE(g->RetEnable());
    EXPECT_FALSE(g->RetDelayedMode());
    EXPECT_TRUE(g->RetUserName().IsInvalid());
    f->Delete();
    g->Delete();
}

TEST_F(CommandFactoryTest, BindingACommandTwiceOrToNothingIsFatal)
{
    ZuCommandFactoryRef f = LogFactory(true, false);
    ZuCommandRef c = f->NewCommand();
    EXPECT_DEATH(c->Initialise(f, ZuObjectNull),
                 "Failed assertion: this->factory.IsInvalid \\(\\)");
    ZuCommandRef fresh = ZuNew<TLogCommand>();
    EXPECT_DEATH(fresh->Initialise(ZuCommandFactoryRef(), ZuObjectNull),
                 "Failed assertion: factory.IsValid \\(\\)");
    EXPECT_DEATH(ZuClassFactory::New("ZuCommand", nullptr, __LINE__, "test"),
                 "Cannot instanciate ZuCommand");
    f->Delete();
}
