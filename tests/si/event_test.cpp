// The event record, its enumerations, spies, user events and dispatch.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "si/classfactory.h"
#include "si/dict.h"
#include "si/event.h"
#include "si/memzone.h"
#include "si/message.h"
#include "si/rtclass.h"
#include "si/target.h"
#include "si/typeinfo.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"

namespace {

std::string g_log;

} // namespace

// An event whose fields a test can fill, as the event layer does.
ZU_HANDLE(TEvent, ZuEvent)
class TEvent : public ZuEvent {
    ZU_CLASS(TEvent, ZuEvent)
public:
    TEvent() {}
    void Fill(ZuEventType t, const ZuObjectRef& w, const ZuObjectRef& d = ZuObjectNull)
    {
        type = t;
        window = w;
        data = d;
    }
    void FillAll(const ZuObjectRef& w, const ZuObjectRef& d)
    {
        type = ZU_EVENT_PRESS;
        id = 0x89ABCDEFull; // stored as a 32-bit card
        time = -42;
        window = w;
        x = 1.5;
        y = -2.25;
        buttons.SetBit(ZU_EV_BUTTON_RIGHT);
        buttons.SetBit(ZU_EV_BUTTON_EXTRA_4);
        change = ZU_EV_BUTTON_RIGHT;
        click_count = 2;
        real_window = w;
        real_x = 10;
        real_y = 20;
        code = 0x1FF;
        data = d;
        name = "CommandEvent";
        amplitude = 0.5;
        key.type = ZU_KEY_FUNCTION;
        key.code = 11;
        key.value = 0xE9;
        key.modifiers.SetBit(ZU_MOD_META_1);
        key.modifiers.SetBit(ZU_MOD_CAPS_LOCK);
    }
    void SetClickCount(unsigned n) { click_count = n; }
    void Delete() override
    {
        window = ZuObjectNull;
        real_window = ZuObjectNull;
        data = ZuObjectNull;
        ZuEvent::Delete();
    }
};
ZU_CLASS_END(TEvent)
ZU_IMPLEMENT_CLASS(TEvent, "tests/event", ZU_CLASS_PLAIN)

// Spies and a receiver of commands.
ZU_HANDLE(TSpy, ZuObject)
class TSpy : public ZuObject {
    ZU_CLASS(TSpy, ZuObject)
public:
    TSpy() {}
    bool SpyA()
    {
        g_log += "A ";
        return true;
    }
    bool SpyB()
    {
        g_log += "B ";
        return true;
    }
    bool Dropper()
    {
        g_log += "drop ";
        ZuEvent::DropEvent();
        return true;
    }
    bool Command()
    {
        g_log += "command ";
        return true;
    }
};
ZU_CLASS_END(TSpy)
ZU_IMPLEMENT_CLASS(TSpy, "tests/event", ZU_CLASS_PLAIN)
ZU_EXPORT_ACTOR(TSpy, SpyA)
ZU_EXPORT_ACTOR(TSpy, SpyB)
ZU_EXPORT_ACTOR(TSpy, Dropper)
ZU_EXPORT_ACTOR(TSpy, Command)
static Zuvi_TargetExport spy_read(
    [](const ZuMessageRef& msg, ZuObject* o, Zuvi_TargetExport* exp) -> bool {
        if (o == nullptr) {
            exp->SetCall("Read (int n)");
            exp->SetArg("Int32", "n", "");
            return true;
        }
        g_log += "read ";
        int n = 0;
        msg >> n;
        g_log += "got ";
        return true;
    },
    TSpyRef::RetRuntime());

namespace {

void WindowDispatch(const ZuObjectRef& window, const ZuEventRef& event)
{
    g_log += std::string("window(") + (window.IsValid() ? "w" : "-") + "," +
             ZuEventTypeRetName(event->RetType()) + ") ";
}

class EventTest : public ZuviRuntimeTest {
protected:
    ZuEvent::WindowDispatchFn saved_dispatch = nullptr;
    void SetUp() override
    {
        ZuviRuntimeTest::SetUp();
        g_log.clear();
        saved_dispatch = ZuEvent::window_dispatch;
        ZuEvent::window_dispatch = &WindowDispatch;
        spy = ZuNew<TSpy>();
        window = ZuTestNode::Make(0);
        event = ZuNew<TEvent>();
    }
    void TearDown() override
    {
        // Spies stay until removed: take off what a test left.
        ZuObjectRef o;
        ZuAtomRef action;
        ZuEventMask mask;
        while (ZuEvent::GetEventSpy(0, o, action, mask))
            ZuEvent::RemoveEventSpy(o, action, mask);
        ZuEvent::user_events = ZuDictRef();
        ZuEvent::window_dispatch = saved_dispatch;
        event->Delete();
        event = TEventRef();
        spy = TSpyRef();
        window = ZuObjectRef();
        ZuviRuntimeTest::TearDown();
    }
    static ZuEventMask Mask(std::initializer_list<ZuEventType> types) { return ZuEventMask(types); }
    ZuMessageRef CommandMessage()
    {
        ZuMessageRef msg(
            ZuObjectRef(ZuClassFactory::New("ZuMessage", Zuvi_app_zone, __LINE__, __FILE__)));
        ZuTargetRef t(ZuNew<ZuTarget>());
        t->SetTarget(ZuAtomRef("Command"), spy, ZU_TARGET_ACTOR);
        msg->SetTarget(t);
        return msg;
    }
    TSpyRef spy;
    ZuObjectRef window;
    TEventRef event;
};

} // namespace

TEST_F(EventTest, TheEnumerationsCarryTheirNamesAndTypes)
{
    EXPECT_STREQ("ZU_EVENT_WAKE_UP", ZuEventTypeRetName(ZU_EVENT_WAKE_UP));
    EXPECT_STREQ("?", ZuEventTypeRetName(static_cast<ZuEventType>(12)));
    EXPECT_STREQ("ZU_EV_BUTTON_NONE", ZuEventButtonRetName(ZU_EV_BUTTON_NONE));
    EXPECT_FALSE(IsValid(static_cast<ZuEventButton>(7)));
    ZuEventButton b = ZU_EV_BUTTON_EXTRA_4;
    b++;
    EXPECT_EQ(ZU_EV_BUTTON_NONE, b);
    b++;
    EXPECT_EQ(32u, unsigned(b));
    for (const char* name : {"ZuEventType", "ZuEventButton", "ZuEventMask", "ZuEventButtons",
                             "ZuEventID", "ZuEvent", "ZuEventArray", "ZuMessage", "ZuTarget",
                             "ZuTargetType", "ZuAsyncObs", "ZuPerformer", "ZuDebugHook"})
        EXPECT_NE(nullptr, Zuvi_TypeInfo::Find(name)) << name;
}

TEST_F(EventTest, AFreshEventAndItsFlags)
{
    EXPECT_EQ(ZU_EVENT_NONE, event->RetType());
    EXPECT_EQ(ZU_EV_BUTTON_NONE, event->RetChange());
    EXPECT_TRUE(event->RetButtons().TestNone());
    EXPECT_TRUE(event->IsValid());
    EXPECT_FALSE(event->IsCancelled());
    EXPECT_FALSE(event->IsWaitingForEvent());
    // The name is the atom of the empty text, which reads as that text.
    EXPECT_TRUE(event->RetName() == ZuAtomRef(""));
    EXPECT_TRUE(event->RetName() == "");
    EXPECT_STREQ("", static_cast<const char*>(event->RetName()));
    EXPECT_TRUE(event->Cancel());
    EXPECT_TRUE(event->IsCancelled());
    EXPECT_FALSE(event->IsValid());
    for (unsigned n : {0u, 1u, 2u, 3u}) {
        event->SetClickCount(n);
        EXPECT_EQ(n == 2, event->IsDoubleClick()) << n;
    }
}

TEST_F(EventTest, ANamelessEventComesBackWithTheEmptyName)
{
    ZuTestStorageRef s = ZuTestStorage::Make();
    s->StartStoring();
    s->StoreObject(event);
    std::vector<unsigned char> bytes = s->Bytes();
    s->StartRestoring(bytes);
    ZuObjectRef out;
    s->RestoreObject(out, ZuEventRef::RetRuntime());
    TEventRef back(out);
    ASSERT_TRUE(back.IsValid());
    EXPECT_TRUE(back->RetName() == ZuAtomRef(""));
    EXPECT_TRUE(back->RetName() == "");
    back->Delete();
}

TEST_F(EventTest, AStoredEventKeepsItsStoredFieldsOnly)
{
    event->FillAll(window, ZuTestNode::Make(5));
    ZuTestStorageRef s = ZuTestStorage::Make();
    s->StartStoring();
    s->StoreObject(event);
    std::vector<unsigned char> bytes = s->Bytes();
    s->StartRestoring(bytes);
    ZuObjectRef out;
    s->RestoreObject(out, ZuEventRef::RetRuntime());
    TEventRef back(out);
    ASSERT_TRUE(back.IsValid());
    EXPECT_EQ(ZU_EVENT_PRESS, back->RetType());
    EXPECT_EQ(0x89ABCDEFull, back->RetID());
    EXPECT_EQ(-42, back->RetTime());
    ASSERT_TRUE(back->RetWindow().IsValid());
    EXPECT_TRUE(back->RetWindow()->IsA(ZuTestNodeRef::RetRuntime()));
    double x = 0, y = 0;
    back->GetXY(x, y);
    EXPECT_EQ(1.5, x);
    EXPECT_EQ(-2.25, y);
    EXPECT_TRUE(back->RetButtons() == event->RetButtons());
    EXPECT_EQ(ZU_EV_BUTTON_RIGHT, back->RetChange());
    EXPECT_EQ(2u, back->RetClickCount());
    EXPECT_TRUE(back->IsDoubleClick());
    EXPECT_EQ(0x1FFu, back->RetCode());
    ASSERT_TRUE(back->RetData().IsValid());
    EXPECT_EQ(5, ZuTestNodeRef(back->RetData())->value);
    EXPECT_TRUE(back->RetName() == "CommandEvent");
    EXPECT_EQ(0.5, back->RetAmplitude());
    EXPECT_EQ(ZU_KEY_FUNCTION, back->RetKey().type);
    EXPECT_EQ(11, back->RetKey().code);
    EXPECT_EQ(0xE9, back->RetKey().value);
    EXPECT_TRUE(back->RetKey().modifiers == event->RetKey().modifiers);
    // Not stored: the real window and position.
    EXPECT_TRUE(back->RetRealWindow().IsInvalid());
    back->GetRealXY(x, y);
    EXPECT_EQ(0.0, x);
    EXPECT_EQ(0.0, y);
    back->Delete();
}

TEST_F(EventTest, ACommandGoesToItsMessageOnlyAndTheMessageIsDeleted)
{
    ZuEventMask all;
    all.SetBits(~std::uint64_t(0));
    ZuEvent::InsertEventSpy(spy, ZuAtomRef("SpyA"), all);
    ZuMessageRef msg = CommandMessage();
    event->Fill(ZU_EVENT_COMMAND, window, msg);
    event->DispatchEvent();
    EXPECT_EQ("command ", g_log);
    EXPECT_TRUE(msg->RetTarget().IsInvalid()); // deleted after the send

    // Data that is no message: the ordinary way.
    g_log.clear();
    event->Fill(ZU_EVENT_COMMAND, window, ZuTestNode::Make(1));
    event->DispatchEvent();
    EXPECT_EQ("A window(w,ZU_EVENT_COMMAND) ", g_log);
}

TEST_F(EventTest, ACommandWhoseMessageCannotBeReadIsDropped)
{
    // From outside: a message whose method reads an argument it lacks.
    ZuMessageRef msg = CommandMessage();
    msg->SetRemoteMode(true);
    msg->RetTarget()->SetTarget(ZuAtomRef("Read"), spy, ZU_TARGET_MESSAGE);
    ZuTestStorageRef s = ZuTestStorage::Make();
    s->StartStoring();
    s->StoreObject(msg);
    std::vector<unsigned char> bytes = s->Bytes();
    s->StartRestoring(bytes);
    ZuObjectRef out;
    s->RestoreObject(out, ZuMessageRef::RetRuntime());
    ZuMessageRef back(out);
    ASSERT_TRUE(back.IsValid());
    ASSERT_TRUE(back->RetTarget()->IsValid());
    event->Fill(ZU_EVENT_COMMAND, window, back);
    event->DispatchEvent();
    EXPECT_EQ("read ", g_log); // called, and its reading failed
    EXPECT_TRUE(back->RetTarget().IsInvalid());
}

TEST_F(EventTest, SpiesSeeTheirTypesInOrderUntilOneDrops)
{
    ZuEvent::InsertEventSpy(spy, ZuAtomRef("SpyA"), Mask({ZU_EVENT_PRESS, ZU_EVENT_RELEASE}));
    ZuEvent::InsertEventSpy(spy, ZuAtomRef("SpyB"), Mask({ZU_EVENT_PRESS, ZU_EVENT_KEY_DOWN}));
    struct Case {
        ZuEventType type;
        bool window;
        const char* log;
    } const cases[] = {
        {ZU_EVENT_PRESS, true, "A B window(w,ZU_EVENT_PRESS) "},
        {ZU_EVENT_RELEASE, true, "A window(w,ZU_EVENT_RELEASE) "},
        {ZU_EVENT_KEY_DOWN, true, "B window(w,ZU_EVENT_KEY_DOWN) "},
        {ZU_EVENT_MOTION, true, "window(w,ZU_EVENT_MOTION) "},
        {ZU_EVENT_PRESS, false, ""}, // no window: no spy either
    };
    for (const Case& c : cases) {
        g_log.clear();
        event->Fill(c.type, c.window ? window : ZuObjectNull);
        event->DispatchEvent();
        EXPECT_EQ(c.log, g_log) << ZuEventTypeRetName(c.type);
    }
    // A dropping spy first: the later spies and the window are skipped.
    ZuEvent::InsertEventSpy(spy, ZuAtomRef("Dropper"), Mask({ZU_EVENT_RELEASE}));
    ASSERT_TRUE(
        ZuEvent::RemoveEventSpy(spy, ZuAtomRef("SpyA"), Mask({ZU_EVENT_PRESS, ZU_EVENT_RELEASE})));
    ZuEvent::InsertEventSpy(spy, ZuAtomRef("SpyA"), Mask({ZU_EVENT_RELEASE}));
    g_log.clear();
    event->Fill(ZU_EVENT_RELEASE, window);
    event->DispatchEvent();
    EXPECT_EQ("drop ", g_log);
    // The drop lasts for one dispatch only.
    g_log.clear();
    event->Fill(ZU_EVENT_PRESS, window);
    event->DispatchEvent();
    EXPECT_EQ("B window(w,ZU_EVENT_PRESS) ", g_log);
}

TEST_F(EventTest, SpiesAreListedAndRemovedByObjectActionAndMask)
{
    EXPECT_FALSE(
        ZuEvent::RemoveEventSpy(spy, ZuAtomRef("SpyA"), Mask({ZU_EVENT_PRESS}))); // empty list
    ZuEvent::InsertEventSpy(spy, ZuAtomRef("SpyA"), Mask({ZU_EVENT_PRESS}));
    ZuEvent::InsertEventSpy(spy, ZuAtomRef("SpyB"), Mask({ZU_EVENT_RELEASE}));
    ZuEvent::InsertEventSpy(window, ZuAtomRef("SpyB"), Mask({ZU_EVENT_RELEASE}));
    EXPECT_FALSE(ZuEvent::RemoveEventSpy(spy, ZuAtomRef("SpyB"), Mask({ZU_EVENT_PRESS})));
    EXPECT_FALSE(ZuEvent::RemoveEventSpy(spy, ZuAtomRef("SpyC"), Mask({ZU_EVENT_RELEASE})));
    EXPECT_TRUE(ZuEvent::RemoveEventSpy(spy, ZuAtomRef("SpyB"), Mask({ZU_EVENT_RELEASE})));
    ZuObjectRef o;
    ZuAtomRef action;
    ZuEventMask mask;
    ASSERT_TRUE(ZuEvent::GetEventSpy(0, o, action, mask));
    EXPECT_TRUE(o == spy && action == "SpyA" && mask == Mask({ZU_EVENT_PRESS}));
    ASSERT_TRUE(ZuEvent::GetEventSpy(1, o, action, mask));
    EXPECT_TRUE(o == window && action == "SpyB");
    EXPECT_FALSE(ZuEvent::GetEventSpy(2, o, action, mask));
}

TEST_F(EventTest, UserEventsAreTheKeysOfTheTable)
{
    ZuAtomRef name("MyEvent");
    ZuAtomRef found;
    EXPECT_FALSE(ZuEvent::FindUserEvent(name));
    EXPECT_FALSE(ZuEvent::GetUserEvent(0, found));
    EXPECT_FALSE(ZuEvent::RemoveUserEvent(name));
    ZuEvent::user_events = ZuNew<ZuDict>();
    ZuEvent::user_events->Insert(name, ZuTestNode::Make(0xC001));
    EXPECT_TRUE(ZuEvent::FindUserEvent(name));
    EXPECT_FALSE(ZuEvent::FindUserEvent(ZuAtomRef("Other")));
    EXPECT_TRUE(ZuEvent::GetUserEvent(0, found));
    EXPECT_TRUE(found == name);
    EXPECT_FALSE(ZuEvent::GetUserEvent(1, found));
    EXPECT_TRUE(ZuEvent::RemoveUserEvent(name));
    EXPECT_FALSE(ZuEvent::RemoveUserEvent(name));
    EXPECT_FALSE(ZuEvent::FindUserEvent(name));
}
