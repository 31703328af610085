// The platform's event layer: messages injected through the headless
// backend become library events.
#include "sd/win32/sd_event.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "sd/win32/sd_grailwdo.h"
#include "si/carbon.h"
#include "si/classfactory.h"
#include "si/grailwdo.h"
#include "si/memzone.h"
#include "si/message.h"
#include "si/string.h"
#include "si/time.h"
#include "tests/support/ports.h"
#include "w32/headless.h"
#include "w32/file.h"
#include "w32/kernel.h"
#include "w32/pipe.h"
#include "w32/systime.h"

namespace {

// What the event layer asked of the windows.
std::vector<std::string> g_calls;
ZuGrailWindow* g_port = nullptr;
ZuObjectRef* g_window = nullptr;

ZuObjectRef WindowOfPort(ZuGrailWindow* port)
{
    return port == g_port ? *g_window : ZuObjectNull;
}

void Leave(const ZuObjectRef&, const ZuEventRef&)
{
    g_calls.push_back("leave");
}

void Closed(const ZuObjectRef&)
{
    g_calls.push_back("closed");
}

// One event as the tests read it.
struct Got {
    ZuEventType type;
    ZuKeyType key_type;
    unsigned key_code;
    unsigned key_value;
    bool meta;
    std::string name;
    ZuEventButton change;
    unsigned clicks;
    std::uint64_t buttons;
};

class EventLayer : public PortTest {
protected:
    void SetUp() override
    {
        PortTest::SetUp();
        W32_SetTestClock(1700000000000LL);
        Zuvi_GrWindowRec::GlobalInit(&module);
        ZuEvent::Initialise();
        Zuvi_ResetEventLayer();
        port = ZuNew<ZuGrailWindow>(Zuvi_app_zone);
        port->SetFrameGeometry(ZuRect(0, 0, 199, 149));
        window = ZuNew<ZuTime>(Zuvi_app_zone); // stands for the library window
        g_port = port.CheckAndResolve();
        g_window = &window;
        g_calls.clear();
        Zuvi_event_links = Zuvi_EventLinks{};
        Zuvi_event_links.window_of_port = &WindowOfPort;
        Zuvi_event_links.leave = &Leave;
        Zuvi_event_links.system_closed = &Closed;
        hwnd = CreateWindowExA(0, Zuvi_GrWindowRec::RetClassName(), "", WS_POPUP, 100, 80, 200, 150,
                               nullptr, nullptr, &module, nullptr);
        ASSERT_NE(hwnd, nullptr);
        SetWindowLongPtrA(hwnd, ZU_GRAIL_WORD_OBJECT, LONG_PTR(g_port));
        SetWindowLongA(hwnd, ZU_GRAIL_WORD_MARKER, LONG(ZU_GRAIL_MARKER));
        ShowWindow(hwnd, SW_SHOW);
        SetFocus(hwnd);
        // Whatever showing queued.
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&m);
    }
    void TearDown() override
    {
        W32_HeadlessMouse(0, 0, 0);
        Zuvi_ResetEventLayer();
        DestroyWindow(hwnd);
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {}
        Zuvi_event_links = Zuvi_EventLinks{};
        ZuEvent::Kill();
        Zuvi_GrWindowRec::GlobalKill();
        W32_ClearTestClock();
        port = ZuGrailWindowNull;
        window = ZuObjectNull;
        PortTest::TearDown();
    }

    // The next event; the queue must hold one.
    Got Next()
    {
        ZuEventRef e = ZuEvent::Current();
        EXPECT_TRUE(e->WaitForEvent());
        const ZuKey& k = e->RetKey();
        return Got{e->RetType(),
                   k.type,
                   k.code,
                   k.value,
                   k.modifiers.TestBit(ZU_MOD_META_1),
                   e->RetName().IsValid() ? e->RetName()->RetText() : "",
                   e->RetChange(),
                   e->RetClickCount(),
                   e->RetButtons().RetBits()};
    }
    // The next event that is not a motion.
    Got NextNotMotion()
    {
        Got g = Next();
        while (g.type == ZU_EVENT_MOTION)
            g = Next();
        return g;
    }
    void Key(UINT vk, UINT scan, bool down) { W32_HeadlessKey(vk, scan, false, down); }

    int module = 0;
    HWND hwnd = nullptr;
    ZuGrailWindowRef port;
    ZuObjectRef window;
};

TEST_F(EventLayer, KeysTranslateByTheirVirtualKey)
{
    struct Case {
        UINT vk, scan;
        ZuKeyType type;
        unsigned code, value;
        const char* name;
    } const cases[] = {
        {VK_ADD, 0x4E, ZU_KEY_ALPHANUM, '+', '+', ""},
        {VK_PRIOR, 0x49, ZU_KEY_CURSOR, ZU_CURSOR_PAGE_UP, 0, "PAGE UP"},
        {VK_SCROLL, 0x46, ZU_KEY_SPECIAL, 0, 0, "SCRL LOCK"},
        {VK_NUMPAD0 + 7, 0x47, ZU_KEY_ALPHANUM, '7', '7', ""},
        {VK_F1 + 10, 0x57, ZU_KEY_FUNCTION, 11, 0, "F11"},
        {VK_RETURN, 0x1C, ZU_KEY_RETURN, 0, 0, "RETURN"},
        {'A', 0x1E, ZU_KEY_ALPHANUM, 'A', 'a', ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.vk);
        Key(c.vk, c.scan, true);
        Got g = Next();
        EXPECT_EQ(g.type, ZU_EVENT_KEY_DOWN);
        EXPECT_EQ(g.key_type, c.type);
        EXPECT_EQ(g.key_code, c.code);
        EXPECT_EQ(g.key_value, c.value);
        EXPECT_EQ(g.name, c.name);
        // A key without a name has the atom of the empty text.
        EXPECT_TRUE(ZuEvent::Current()->RetName() == ZuAtomRef(c.name));
        EXPECT_EQ(ZuEvent::Current()->RetCode(), c.scan);
        Key(c.vk, c.scan, false);
        EXPECT_EQ(Next().type, ZU_EVENT_KEY_UP);
    }
}

TEST_F(EventLayer, RepeatsModifiersAndAltWithALetter)
{
    Key('Q', 0x10, true);
    Key('Q', 0x10, true);
    EXPECT_EQ(Next().type, ZU_EVENT_KEY_DOWN);
    EXPECT_EQ(Next().type, ZU_EVENT_KEY_REP);
    Key('Q', 0x10, false);
    EXPECT_EQ(Next().type, ZU_EVENT_KEY_UP);

    // Alt changes the modifiers; Alt+F carries META_1 and is consumed: no
    // character message reaches the window procedure, so the next event is
    // the release.
    Key(VK_MENU, 0x38, true);
    Got alt = Next();
    EXPECT_EQ(alt.type, ZU_EVENT_KEY_CHANGE);
    EXPECT_EQ(alt.key_type, ZU_KEY_NONE);
    EXPECT_TRUE(alt.meta);
    Key('F', 0x21, true);
    Got f = Next();
    EXPECT_EQ(f.type, ZU_EVENT_KEY_DOWN);
    EXPECT_TRUE(f.meta);
    EXPECT_EQ(f.key_type, ZU_KEY_ALPHANUM);
    Key('F', 0x21, false);
    EXPECT_EQ(Next().type, ZU_EVENT_KEY_UP);
    MSG m;
    EXPECT_FALSE(PeekMessageA(&m, nullptr, WM_CHAR, WM_SYSCHAR, PM_NOREMOVE));
    Key(VK_MENU, 0x38, false);
    Got up = Next();
    EXPECT_EQ(up.type, ZU_EVENT_KEY_CHANGE);
    EXPECT_FALSE(up.meta);
}

TEST_F(EventLayer, APressIsAMotionThenThePress)
{
    W32_HeadlessMouse(150, 120, 0);
    Got move = Next();
    EXPECT_EQ(move.type, ZU_EVENT_MOTION);
    EXPECT_EQ(ZuEvent::Current()->RetX(), 50);
    EXPECT_EQ(ZuEvent::Current()->RetY(), 40);
    EXPECT_TRUE(ZuEvent::Current()->RetWindow() == window);
    // One button message: a motion with the new position and the old
    // buttons, then the press.
    PostMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, 45));
    Got m = Next();
    EXPECT_EQ(m.type, ZU_EVENT_MOTION);
    EXPECT_EQ(m.buttons, 0u);
    EXPECT_EQ(ZuEvent::Current()->RetX(), 60);
    Got p = Next();
    EXPECT_EQ(p.type, ZU_EVENT_PRESS);
    EXPECT_EQ(p.change, ZU_EV_BUTTON_LEFT);
    EXPECT_EQ(p.buttons, 1u);
    EXPECT_EQ(p.clicks, 1u);
    EXPECT_EQ(GetCapture(), hwnd);
    PostMessageA(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(60, 45));
    EXPECT_EQ(NextNotMotion().type, ZU_EVENT_RELEASE);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(EventLayer, TwoButtonsInOneMessagePressTheLowerFirst)
{
    PostMessageA(hwnd, WM_RBUTTONDOWN, MK_LBUTTON | MK_RBUTTON | MK_MBUTTON, MAKELPARAM(10, 10));
    EXPECT_EQ(Next().type, ZU_EVENT_MOTION);
    Got a = Next(), b = Next(), c = Next();
    EXPECT_EQ(a.type, ZU_EVENT_PRESS);
    EXPECT_EQ(a.change, ZU_EV_BUTTON_LEFT);
    EXPECT_EQ(b.change, ZU_EV_BUTTON_RIGHT);
    EXPECT_EQ(c.change, ZU_EV_BUTTON_MIDDLE);
    EXPECT_EQ(c.buttons, 7u);
    Zuvi_ResetEventLayer();
}

TEST_F(EventLayer, ClicksCountWithinTheDoubleClickTimeInOnePlace)
{
    struct Step {
        unsigned buttons;  // MK_ bits of the press
        long long advance; // milliseconds before it
        int x;             // screen point of the press (y 120)
        unsigned clicks;
    } const steps[] = {
        {MK_LBUTTON, 0, 150, 1},   {MK_LBUTTON, 100, 150, 2},
        {MK_LBUTTON, 100, 150, 3}, {MK_RBUTTON, 50, 150, 1},    // another button restarts
        {MK_RBUTTON, 400, 150, 1},                              // too late
        {MK_RBUTTON, 299, 150, 2}, {MK_RBUTTON, -5000, 150, 3}, // a clock set back
        {MK_RBUTTON, 10, 154, 4}, // a few pixels away: still one place
        {MK_RBUTTON, 10, 170, 1}, // another place: a click of its own
        {MK_RBUTTON, 10, 170, 2},
    };
    for (const Step& s : steps) {
        W32_AdvanceTestClock(s.advance);
        W32_HeadlessMouse(s.x, 120, s.buttons);
        Got press = NextNotMotion();
        EXPECT_EQ(press.type, ZU_EVENT_PRESS);
        EXPECT_EQ(press.clicks, s.clicks) << s.advance << " at " << s.x;
        W32_HeadlessMouse(s.x, 120, 0);
        EXPECT_EQ(NextNotMotion().type, ZU_EVENT_RELEASE);
    }
}

TEST_F(EventLayer, TheCaptureStaysUntilTheLastOfThreeButtons)
{
    const unsigned held[] = {MK_LBUTTON, MK_LBUTTON | MK_RBUTTON,
                             MK_LBUTTON | MK_RBUTTON | MK_MBUTTON};
    for (unsigned b : held) {
        W32_HeadlessMouse(150, 120, b);
        EXPECT_EQ(NextNotMotion().type, ZU_EVENT_PRESS);
        EXPECT_EQ(GetCapture(), hwnd);
    }
    const unsigned released[] = {MK_RBUTTON | MK_MBUTTON, MK_MBUTTON};
    for (unsigned b : released) {
        W32_HeadlessMouse(150, 120, b);
        EXPECT_EQ(NextNotMotion().type, ZU_EVENT_RELEASE);
        EXPECT_EQ(GetCapture(), hwnd);
    }
    // Outside the window, the capture still brings the motion here; the
    // real window under the pointer is another program's: none, at the
    // screen point.
    WNDCLASSEXA other{};
    other.cbSize = sizeof other;
    other.lpfnWndProc = DefWindowProcA;
    other.hInstance = &module;
    other.lpszClassName = "OtherProgram";
    RegisterClassExA(&other);
    HWND foreign = CreateWindowExA(0, "OtherProgram", "", WS_POPUP | WS_VISIBLE, 0, 0, 60, 60,
                                   nullptr, nullptr, &module, nullptr);
    W32_HeadlessMouse(20, 20, MK_MBUTTON);
    Got out = Next();
    EXPECT_EQ(out.type, ZU_EVENT_MOTION);
    EXPECT_TRUE(ZuEvent::Current()->RetWindow() == window);
    EXPECT_EQ(ZuEvent::Current()->RetX(), -80);
    EXPECT_TRUE(ZuEvent::Current()->RetRealWindow().IsInvalid());
    EXPECT_EQ(ZuEvent::Current()->RetRealX(), 20);
    EXPECT_EQ(ZuEvent::Current()->RetRealY(), 20);
    DestroyWindow(foreign);
    UnregisterClassA("OtherProgram", &module);
    W32_HeadlessMouse(20, 20, 0);
    EXPECT_EQ(NextNotMotion().type, ZU_EVENT_RELEASE);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(EventLayer, ImpossibleCaptureStatesStop)
{
    EXPECT_DEATH(ZuEvent::UpdateMouseCapture(ZU_EVENT_RELEASE, hwnd),
                 "Failed assertion: capture_count >= 0");
    EXPECT_DEATH(ZuEvent::UpdateMouseCapture(ZU_EVENT_MOTION, hwnd), "Bad event recieved");
    EXPECT_DEATH(
        {
            for (int i = 0; i < 4; ++i)
                ZuEvent::UpdateMouseCapture(ZU_EVENT_PRESS, hwnd);
        },
        "Failed assertion: capture_count <= 3");
    EXPECT_DEATH(ZuEvent::HandOverToWindow(window), "Failed assertion: capture_count");
    ZuEvent::UpdateMouseCapture(ZU_EVENT_PRESS, hwnd);
    EXPECT_DEATH(ZuEvent::HandOverToWindow(ZuObjectNull),
                 "Failed assertion: window.IsValid \\(\\)");
    ZuEvent::UpdateMouseCapture(ZU_EVENT_RELEASE, hwnd);
}

TEST_F(EventLayer, WakeUpQuitUserEventsCloseAndSystemClose)
{
    ZuAtomRef name("RedrawAll");
    EXPECT_TRUE(ZuEvent::InsertUserEvent(name));
    EXPECT_FALSE(ZuEvent::InsertUserEvent(name));
    UINT number = RegisterWindowMessageA("RedrawAll");
    PostMessageA(hwnd, number, 0, 0);
    Got user = Next();
    EXPECT_EQ(user.type, ZU_EVENT_USER);
    EXPECT_EQ(user.name, "RedrawAll");

    ZuEvent::PostWakeUpEvent(); // the thread is known after the first wait
    Got wake = Next();
    EXPECT_EQ(wake.type, ZU_EVENT_WAKE_UP);
    EXPECT_EQ(wake.name, "WakeUpEvent");

    // A close from the system reaches the window once, through the queue;
    // a number nobody registers any more goes to the window procedure.
    EXPECT_TRUE(ZuEvent::RemoveUserEvent(name));
    PostMessageA(hwnd, number, 0, 0);
    PostMessageA(hwnd, WM_CLOSE, 0, 0);
    PostThreadMessageA(GetCurrentThreadId(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(ZuEvent::Current()->WaitForEvent());
    EXPECT_EQ(g_calls, std::vector<std::string>{"closed"});
    hwnd = IsWindow(hwnd) ? hwnd : nullptr;
}

TEST_F(EventLayer, EventTimesComeFromTheTestClockAndTheWaitFlagIsClear)
{
    W32_SetTestClock(1700000000000LL + 5);
    PostThreadMessageA(GetCurrentThreadId(), ZU_MSG_WAKE_UP, 0, 0);
    Next();
    std::int64_t t = ZuEvent::Current()->RetTime();
    EXPECT_EQ(t, ZuTime::NowGMTAbsTime());
    EXPECT_EQ(t % 1000, 5);
    EXPECT_FALSE(ZuEvent::Current()->IsWaitingForEvent());
}

TEST_F(EventLayer, LeavingTheWindowIsNoticedByTheTrackedWait)
{
    W32_HeadlessMouse(150, 120, 0);
    Next();
    // The pointer leaves to where no window is: the cut wait times out, the
    // leave check tells the window, and the time-out is a timer message
    // that makes no event; a wake-up ends the wait.
    SetCursorPos(10, 10);
    Zuvi_event_links.handle_tick = [](std::int64_t, bool fire) -> int {
        if (fire)
            ZuEvent::PostWakeUpEvent();
        return -1;
    };
    EXPECT_EQ(Next().type, ZU_EVENT_WAKE_UP);
    ASSERT_FALSE(g_calls.empty());
    EXPECT_EQ(g_calls.front(), "leave");
}

// The pointer rests in the window while a message comes for another
// window: the time-out still measures the pointer against the window it is
// in, and nothing is told it left.
TEST_F(EventLayer, AMessageForAnotherWindowLeavesThePointerWhereItIs)
{
    HWND second = CreateWindowExA(0, Zuvi_GrWindowRec::RetClassName(), "", WS_POPUP, 400, 80, 100,
                                  100, nullptr, nullptr, &module, nullptr);
    ASSERT_NE(second, nullptr);
    W32_HeadlessMouse(150, 120, 0);
    Next();
    PostMessageA(second, WM_USER, 0, 0);
    Zuvi_event_links.handle_tick = [](std::int64_t, bool fire) -> int {
        if (fire)
            ZuEvent::PostWakeUpEvent();
        return -1;
    };
    EXPECT_EQ(Next().type, ZU_EVENT_WAKE_UP);
    EXPECT_TRUE(g_calls.empty());
    DestroyWindow(second);
}

} // namespace

// ---------------------------------------------------------------- command pipe

namespace {

// This program's name as other applications see it: its class name's part
// after the prefix, up to the first '.', '/' or ':'.
std::string OwnProgramName()
{
    std::string cls = Zuvi_GrWindowRec::RetClassName();
    std::string rest = cls.substr(std::strlen("Zuvi:Grail:1X:"));
    return rest.substr(0, rest.find_first_of(".:/"));
}

ZuMessageRef NewMessage(const char* method)
{
    ZuMessageRef msg(
        ZuObjectRef(ZuClassFactory::New("ZuMessage", Zuvi_app_zone, __LINE__, "tests/sd_event")));
    msg->SetMethod(method);
    msg << 42;
    return msg;
}

std::string OwnPipeName()
{
    return std::string(W32_PIPE_PREFIX) + Zuvi_GrWindowRec::RetClassName() + ".Commands";
}

} // namespace

TEST_F(EventLayer, AnApplicationIsFoundByItsProgramNameWhateverTheCase)
{
    std::string own = OwnProgramName();
    std::string upper = own;
    for (char& c : upper)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    struct Case {
        std::string name;
        bool found;
    } const cases[] = {
        {own, true}, {upper, true},      {own + ".exe", false}, // names stop at their first '.'
        {"", false}, {own + "x", false},
    };
    for (const Case& c : cases) {
        Zuvi_RemAppIDRec* app = nullptr;
        EXPECT_EQ(c.found, ZuEvent::FindAppEventQueue(ZuStringRef(c.name.c_str()), app)) << c.name;
        if (c.found) {
            EXPECT_EQ(reinterpret_cast<Zuvi_RemAppIDRec*>(hwnd), app);
        }
    }
    Zuvi_RemAppIDRec* app = nullptr;
    EXPECT_FALSE(ZuEvent::FindAppEventQueue(ZuStringRef(), app));
}

TEST_F(EventLayer, ACommandPostedToItselfArrivesAsACommandEvent)
{
    Zuvi_RemAppIDRec* app = nullptr;
    ASSERT_TRUE(ZuEvent::FindAppEventQueue(ZuStringRef(OwnProgramName().c_str()), app));
    ZuMessageRef msg = NewMessage("Hello");
    ASSERT_TRUE(ZuEvent::PostCommandEvent(app, msg));
    EXPECT_FALSE(ZuEvent::PostUserEvent(app, ZuAtomRef("Hello"), msg));
    EXPECT_FALSE(ZuEvent::PostCommandEvent(nullptr, msg));

    Got g = Next();
    EXPECT_EQ(ZU_EVENT_COMMAND, g.type);
    EXPECT_EQ("CommandEvent", g.name);
    ZuObjectRef data = ZuEvent::Current()->RetData();
    ASSERT_TRUE(data.IsValid());
    ASSERT_TRUE(data->IsKindOf(ZuMessageRef::RetRuntime()));
    ZuMessageRef back(data);
    EXPECT_TRUE(back->RetMethod() == "Hello");
    EXPECT_TRUE(back->IsFromOutside());
    back->Delete();
    msg->Delete();

    // The pipe listens again: a second command comes the same way.
    msg = NewMessage("Again");
    ASSERT_TRUE(ZuEvent::PostCommandEvent(app, msg));
    EXPECT_EQ(ZU_EVENT_COMMAND, Next().type);
    ZuMessageRef again(ZuEvent::Current()->RetData());
    ASSERT_TRUE(again.IsValid());
    EXPECT_TRUE(again->RetMethod() == "Again");
    again->Delete();
    msg->Delete();
}

TEST_F(EventLayer, ASilentClientHoldsNothingUpAndIsLetGoAfterASecond)
{
    HANDLE silent = CreateFileA(OwnPipeName().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, silent);
    // The connect is announced; reading returns at once with nothing.
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(g_wait_handles[1], 0));
    HANDLE listening = g_wait_handles[1];
    MSG msg;
    EXPECT_FALSE(Zuvi_ServiceCommandPipe(msg));
    EXPECT_NE(listening, g_wait_handles[1]); // now waits on the client
    W32_AdvanceTestClock(ZU_COMMAND_SILENCE_MS - 1);
    EXPECT_FALSE(Zuvi_ServiceCommandPipe(msg));
    EXPECT_NE(listening, g_wait_handles[1]); // still served
    W32_AdvanceTestClock(1);
    EXPECT_FALSE(Zuvi_ServiceCommandPipe(msg));
    EXPECT_EQ(listening, g_wait_handles[1]); // let go: listening again
    CloseHandle(silent);

    // A client that leaves without a word is let go too.
    HANDLE gone = CreateFileA(OwnPipeName().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, gone);
    CloseHandle(gone);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(g_wait_handles[1], 0));
    EXPECT_FALSE(Zuvi_ServiceCommandPipe(msg));

    // The next sender is served.
    Zuvi_RemAppIDRec* app = reinterpret_cast<Zuvi_RemAppIDRec*>(hwnd);
    ZuMessageRef m = NewMessage("After");
    ASSERT_TRUE(ZuEvent::PostCommandEvent(app, m));
    EXPECT_EQ(ZU_EVENT_COMMAND, Next().type);
    ZuMessageRef back(ZuEvent::Current()->RetData());
    ASSERT_TRUE(back.IsValid());
    EXPECT_TRUE(back->RetMethod() == "After");
    back->Delete();
    m->Delete();
}

TEST_F(EventLayer, OnlyAStoredMessageIsTakenFromACommand)
{
    struct Case {
        const char* what;
        std::vector<unsigned char> bytes;
    };
    std::vector<Case> cases = {
        {"garbage", {0xFF, 0x00, 0x13, 0x37, 0x42}},
        {"one byte", {0x01}},
    };
    // A stored object that is no message.
    {
        ZuCarbonCopyRef copy(ZuNew<ZuCarbonCopy>(Zuvi_app_zone, __LINE__, "tests/sd_event"));
        copy->StartStoring();
        ZuObjectRef text(ZuStringRef("not a message"));
        copy->StoreObject(text);
        std::vector<unsigned char> b(copy->RetRawDataSize());
        copy->ExtractRawData(b.data(), unsigned(b.size()));
        cases.push_back({"a string", b});
    }
    for (const Case& c : cases) {
        void* buffer = Zuvi_app_zone->Alloc(unsigned(c.bytes.size()), "Card8", __LINE__, "t");
        std::memcpy(buffer, c.bytes.data(), c.bytes.size());
        EXPECT_TRUE(ZuEvent::DecodeCommandMessage(buffer, unsigned(c.bytes.size())).IsInvalid())
            << c.what;
    }
    EXPECT_TRUE(ZuEvent::DecodeCommandMessage(nullptr, 4).IsInvalid());
}
