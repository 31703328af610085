#include "sd/win32/sd_event.h"

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "sd/win32/sd_grailwdo.h"
#include "si/app.h"
#include "si/carbon.h"
#include "si/classfactory.h"
#include "si/dict.h"
#include "si/error.h"
#include "si/grailwdo.h"
#include "si/except.h"
#include "si/lookman.h"
#include "si/memzone.h"
#include "si/message.h"
#include "si/string.h"
#include "si/time.h"
#include "si/values.h"
#include "w32/file.h"
#include "w32/handle.h"
#include "w32/kernel.h"
#include "w32/pipe.h"

Zuvi_EventLinks Zuvi_event_links = {};
HANDLE g_wait_handles[2] = {nullptr, nullptr};
DWORD g_num_handles = 0;

namespace {

// The thread that waits for events; target of wake-up posts.
std::atomic<DWORD> g_ui_thread{0};

// Buttons whose state in the event differs from the last mouse message.
std::uint64_t g_pending_buttons = 0;

// A translated key waiting to be delivered.
struct PendingKey {
    ZuEventType type = ZU_EVENT_NONE;
    ZuKey key;
    unsigned code = 0;
    std::string name;
};
PendingKey g_key;

ZuObjectRef g_entered; // the library window that last had the pointer
bool g_entered_set = false;
// The platform window of the last pointer message, kept while the pointer
// is believed inside it. Only pointer messages set it: a paint or a key for
// another window would have the time-out measure the pointer against the
// wrong window and tell the window under it that the pointer left.
HWND g_tracked = nullptr;
bool g_still_inside = false;
// The window and point of the last press; a press counts with it only
// within a few pixels of it.
HWND g_last_click_hwnd = nullptr;
double g_last_click_x = 0;
double g_last_click_y = 0;
const double kDoubleClickSlop = 4;
int g_capture_count = 0; // buttons held with the mouse captured
HWND g_capture_window = nullptr;
int g_grab_count = 0;

constexpr DWORD kWakeMask = QS_KEY | QS_MOUSEMOVE | QS_MOUSEBUTTON | QS_POSTMESSAGE | QS_TIMER |
                            QS_PAINT | QS_HOTKEY; // 0xBF: sent messages do not wake the wait
constexpr DWORD kTrackedWaitMs = 20;

bool IsOwnPlatformWindow(HWND hwnd)
{
    return Zuvi_IsLibraryWindow(hwnd, Zuvi_GrWindowRec::RetClassName());
}

void Leave(const ZuObjectRef& window)
{
    if (window.IsValid() && Zuvi_event_links.leave)
        Zuvi_event_links.leave(window, ZuEvent::Current());
}

// The leave check of a time-out: the pointer left the tracked window.
void CheckTrackedWindow()
{
    if (g_tracked == nullptr)
        return;
    POINT p;
    RECT r;
    if (!GetCursorPos(&p) || !ScreenToClient(g_tracked, &p) || !GetWindowRect(g_tracked, &r))
        return;
    LONG width = r.right - r.left;
    LONG height = r.bottom - r.top;
    if (p.x < 0 || p.x > width || p.y < 0 || p.y > height) {
        if (g_entered_set)
            Leave(g_entered);
        g_still_inside = false;
    }
}

// The pointer check of a timer message or of the platform's word that the
// pointer left a window: with the pointer over no window of this
// application, the window it was last in is told it left.
void CheckPointerOutside()
{
    if (!g_entered_set || !g_entered.IsValid())
        return;
    POINT p;
    if (GetCursorPos(&p) && Zuvi_FindOwnPlatformWindow(p.x, p.y, 0) == nullptr) {
        Leave(g_entered);
        g_entered_set = false;
        g_entered = ZuObjectNull;
    }
}

std::uint64_t ButtonsOfMessage(WPARAM wparam)
{
    std::uint64_t b = 0;
    if (wparam & MK_LBUTTON)
        b |= 1ull << ZU_EV_BUTTON_LEFT;
    if (wparam & MK_RBUTTON)
        b |= 1ull << ZU_EV_BUTTON_RIGHT;
    if (wparam & MK_MBUTTON)
        b |= 1ull << ZU_EV_BUTTON_MIDDLE;
    return b;
}

bool IsMouseMessage(UINT m)
{
    return m == WM_MOUSEMOVE || m == WM_LBUTTONDOWN || m == WM_LBUTTONUP || m == WM_RBUTTONDOWN ||
           m == WM_RBUTTONUP || m == WM_MBUTTONDOWN || m == WM_MBUTTONUP;
}

char UpperOf(WORD c)
{
    if (c >= 'a' && c <= 'z')
        return char(c - 'a' + 'A');
    if (c >= 1 && c <= 26)
        return char(c + 64);
    return char(c);
}

struct KeyRow {
    UINT vk;
    const char* name;
    ZuKeyType type;
    std::uint8_t code;
    std::uint16_t value;
};

// Keys with a fixed translation; any other key is ALPHANUM with its
// character.
const KeyRow kKeys[] = {
    {8, "BACKSPACE", ZU_KEY_BACKSPACE, 0, 0},
    {9, "TAB", ZU_KEY_TAB, 0, 0},
    {12, "CLEAR", ZU_KEY_SPECIAL, 0, 0},
    {13, "RETURN", ZU_KEY_RETURN, 0, 0},
    {19, "PAUSE", ZU_KEY_SPECIAL, 0, 0},
    {27, "ESCAPE", ZU_KEY_ESCAPE, 0, 0},
    {32, "SPACE", ZU_KEY_ALPHANUM, ' ', ' '},
    {33, "PAGE UP", ZU_KEY_CURSOR, ZU_CURSOR_PAGE_UP, 0},
    {34, "PAGE DOWN", ZU_KEY_CURSOR, ZU_CURSOR_PAGE_DOWN, 0},
    {35, "END", ZU_KEY_CURSOR, ZU_CURSOR_END, 0},
    {36, "HOME", ZU_KEY_CURSOR, ZU_CURSOR_HOME, 0},
    {37, "LEFT", ZU_KEY_CURSOR, ZU_CURSOR_LEFT, 0},
    {38, "UP", ZU_KEY_CURSOR, ZU_CURSOR_UP, 0},
    {39, "RIGHT", ZU_KEY_CURSOR, ZU_CURSOR_RIGHT, 0},
    {40, "DOWN", ZU_KEY_CURSOR, ZU_CURSOR_DOWN, 0},
    {41, "SELECT", ZU_KEY_SPECIAL, 0, 0},
    {42, "PRINT", ZU_KEY_SPECIAL, 0, 0},
    {43, "EXECUTE", ZU_KEY_SPECIAL, 0, 0},
    {44, "SNAPSHOT", ZU_KEY_SPECIAL, 0, 0},
    {45, "INSERT", ZU_KEY_SPECIAL, 0, 0},
    {46, "DELETE", ZU_KEY_DELETE, 0, 0},
    {47, "HELP", ZU_KEY_SPECIAL, 0, 0},
    {106, "", ZU_KEY_ALPHANUM, '*', '*'},
    {107, "", ZU_KEY_ALPHANUM, '+', '+'},
    {108, "SEPARATOR", ZU_KEY_SPECIAL, 0, 0},
    {109, "", ZU_KEY_ALPHANUM, '-', '-'},
    {110, "", ZU_KEY_ALPHANUM, '.', '.'},
    {111, "", ZU_KEY_ALPHANUM, '/', '/'},
    {144, "NUM LOCK", ZU_KEY_SPECIAL, 0, 0},
    {145, "SCRL LOCK", ZU_KEY_SPECIAL, 0, 0},
};

// The key message into the pending key.
void TranslateKey(const MSG& msg)
{
    UINT vk = UINT(msg.wParam);
    DWORD bits = DWORD(msg.lParam);
    ZuKeyModifiers mods;
    if (GetKeyState(VK_SHIFT) & 0x8000)
        mods.SetBit(ZU_MOD_SHIFT);
    if (GetKeyState(VK_CONTROL) & 0x8000)
        mods.SetBit(ZU_MOD_CONTROL);
    if (GetKeyState(VK_MENU) & 0x8000)
        mods.SetBit(ZU_MOD_META_1);
    if (GetKeyState(VK_CAPITAL) & 1)
        mods.SetBit(ZU_MOD_CAPS_LOCK);
    g_key = PendingKey();
    g_key.key.modifiers = mods;
    if (vk == VK_SHIFT || vk == VK_CONTROL || vk == VK_MENU || vk == VK_CAPITAL) {
        g_key.type = ZU_EVENT_KEY_CHANGE;
        return;
    }
    unsigned scan = (bits >> 16) & 0xFF;
    bool extended = (bits >> 24) & 1;
    bool was_down = (bits >> 30) & 1;
    bool releasing = (bits >> 31) & 1;
    WORD character = 0;
    BYTE state[256];
    if (GetKeyboardState(state)) {
        WORD out[2] = {0, 0};
        if (ToAscii(vk, scan | (extended ? 0x100 : 0), state, out, 0) == 1)
            character = out[0] & 0xFF;
    }
    g_key.type = releasing ? ZU_EVENT_KEY_UP : was_down ? ZU_EVENT_KEY_REP : ZU_EVENT_KEY_DOWN;
    g_key.key.type = ZU_KEY_ALPHANUM;
    g_key.key.value = character;
    bool fixed = false;
    for (const KeyRow& row : kKeys) {
        if (row.vk != vk)
            continue;
        g_key.name = row.name;
        g_key.key.type = row.type;
        g_key.key.code = row.code;
        g_key.key.value = row.value;
        fixed = true;
        break;
    }
    if (!fixed && vk >= 96 && vk <= 105) {
        g_key.key.code = std::uint8_t('0' + (vk - 96));
        g_key.key.value = g_key.key.code;
    } else if (!fixed && vk >= VK_F1 && vk <= VK_F24) {
        unsigned n = vk - VK_F1 + 1;
        g_key.name = "F" + std::to_string(n);
        g_key.key.type = ZU_KEY_FUNCTION;
        g_key.key.code = std::uint8_t(n);
        g_key.key.value = 0;
    }
    g_key.code = scan + (extended ? 256 : 0);
    if (g_key.key.value != 0 && g_key.key.code == 0)
        g_key.key.code = std::uint8_t(UpperOf(g_key.key.value));
}

// The user event of a registered message number; null when none.
bool FindUserEventNumber(UINT number, ZuAtomRef& name)
{
    if (ZuEvent::user_events.IsInvalid())
        return false;
    ZuObjectRef key, value;
    for (unsigned i = 0; ZuEvent::user_events->Get(i, key, value); ++i) {
        if (value.IsValid() && ZuValueRef(value)->RetCard32() == number) {
            name = key;
            return true;
        }
    }
    return false;
}

} // namespace

// The event's fields, filled here (ZuEvent's own are protected).
class Zuvi_EventFiller {
public:
    static bool Wait(ZuEvent* e);
    static void ButtonEvent(ZuEvent* e);
    static void MouseMessage(ZuEvent* e, const MSG& msg, std::uint64_t& remembered);
};

ZuObjectRef Zuvi_WindowRefFromHandle(HWND hwnd)
{
    if (hwnd == nullptr || !IsOwnPlatformWindow(hwnd) || Zuvi_event_links.window_of_port == nullptr)
        return ZuObjectNull;
    return Zuvi_event_links.window_of_port(GrailWindowFromHandle(hwnd));
}

HWND Zuvi_FindOwnPlatformWindow(int x, int y, unsigned n)
{
    return Zuvi_FindLibraryWindow(x, y, Zuvi_GrWindowRec::RetClassName(), n);
}

void Zuvi_SetCommandWaitHandle(HANDLE handle)
{
    g_wait_handles[1] = handle;
    if (g_wait_handles[0] != nullptr)
        g_num_handles = handle != nullptr ? 2 : 1;
}

void Zuvi_ResetEventLayer()
{
    g_pending_buttons = 0;
    g_key = PendingKey();
    g_entered = ZuObjectNull;
    g_entered_set = false;
    g_tracked = nullptr;
    g_still_inside = false;
    if (g_capture_count != 0)
        ReleaseCapture();
    g_capture_count = 0;
    g_capture_window = nullptr;
    g_grab_count = 0;
    ZuEvent::last_click_button = ZU_EV_BUTTON_NONE;
    ZuEvent::last_click_time = 0;
    ZuEvent::last_click_count = 0;
    g_last_click_hwnd = nullptr;
}

// ---------------------------------------------------------------- command pipe
//
// One client at a time: listening (wait handle 1 is the connect event),
// then connected (wait handle 1 is the pipe itself, readable once the
// client's message is there). Only a message that has arrived is read, so
// a client never holds up the user-interface thread; one that stays silent
// for a second, or sends more than a mebibyte, is let go unread.

namespace {

HANDLE g_pipe = INVALID_HANDLE_VALUE;
HANDLE g_connect_event = nullptr;
OVERLAPPED g_connect;
bool g_client = false;
std::int64_t g_client_since = 0;

void ListenForCommand()
{
    g_client = false;
    std::memset(&g_connect, 0, sizeof g_connect);
    g_connect.hEvent = g_connect_event;
    ConnectNamedPipe(g_pipe, &g_connect);
    Zuvi_SetCommandWaitHandle(g_connect_event);
}

void LetClientGo()
{
    DisconnectNamedPipe(g_pipe);
    ListenForCommand();
}

// ASCII letters compared without regard to case.
bool SameNameAnyCase(const char* a, const char* b)
{
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        char x = *a >= 'A' && *a <= 'Z' ? char(*a - 'A' + 'a') : *a;
        char y = *b >= 'A' && *b <= 'Z' ? char(*b - 'A' + 'a') : *b;
        if (x != y)
            return false;
    }
    return *a == *b;
}

bool PipeName(const char* class_name, char out[256])
{
    if (class_name == nullptr || class_name[0] == '\0')
        return false;
    int n = std::snprintf(out, 256, "%s%s.Commands", W32_PIPE_PREFIX, class_name);
    return n > 0 && n < 256;
}

void OpenCommandPipe()
{
    char name[256];
    if (g_pipe != INVALID_HANDLE_VALUE || !PipeName(Zuvi_GrWindowRec::RetClassName(), name))
        return;
    g_pipe = CreateNamedPipeA(name, PIPE_ACCESS_DUPLEX, PIPE_TYPE_MESSAGE | PIPE_WAIT, 1, 0, 0, 0,
                              nullptr);
    if (g_pipe == INVALID_HANDLE_VALUE)
        return; // no commands for this application
    g_connect_event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    ListenForCommand();
}

void CloseCommandPipe()
{
    Zuvi_SetCommandWaitHandle(nullptr);
    if (g_pipe != INVALID_HANDLE_VALUE)
        CloseHandle(g_pipe);
    g_pipe = INVALID_HANDLE_VALUE;
    if (g_connect_event != nullptr)
        CloseHandle(g_connect_event);
    g_connect_event = nullptr;
    g_client = false;
}

// Milliseconds the wait may last before a silent client is let go
// (INFINITE without a client).
DWORD CommandPipeWait()
{
    if (!g_client)
        return INFINITE;
    std::int64_t left = g_client_since + ZU_COMMAND_SILENCE_MS - ZuTime::NowGMTAbsTime();
    return left <= 0 ? 0 : DWORD(left);
}

} // namespace

bool Zuvi_ServiceCommandPipe(MSG& out)
{
    if (g_pipe == INVALID_HANDLE_VALUE)
        return false;
    if (!g_client) {
        // The connect event fired: a client is there.
        g_client = true;
        g_client_since = ZuTime::NowGMTAbsTime();
        Zuvi_SetCommandWaitHandle(g_pipe);
    }
    DWORD total = 0, left = 0;
    if (!PeekNamedPipe(g_pipe, nullptr, 0, nullptr, &total, &left)) {
        LetClientGo(); // gone without a word
        return false;
    }
    if (left == 0) {
        if (CommandPipeWait() == 0)
            LetClientGo();
        return false;
    }
    if (left > ZU_COMMAND_MAX_BYTES) {
        Zuvi_Trace("Command of %u bytes refused\n", unsigned(left));
        LetClientGo();
        return false;
    }
    void* buffer = Zuvi_app_zone->Alloc(left, "Card8", __LINE__, __FILE__);
    DWORD got = 0;
    BOOL ok = buffer != nullptr && ReadFile(g_pipe, buffer, left, &got, nullptr);
    LetClientGo();
    if (!ok || got != left) {
        if (buffer != nullptr)
            ZuMemZone::FreeAnyZone(buffer, __LINE__, __FILE__);
        return false;
    }
    std::memset(&out, 0, sizeof out);
    out.message = ZU_MSG_COMMAND;
    out.wParam = WPARAM(left);
    out.lParam = LPARAM(buffer);
    return true;
}

bool ZuEvent::FindAppEventQueue(const ZuStringRef& program, Zuvi_RemAppIDRec*& out)
{
    if (program.IsInvalid())
        return false;
    char wanted[260] = "";
    program->GetStringCopy(wanted, sizeof wanted);
    char name[260];
    for (unsigned i = 0;; ++i) {
        HWND w = Zuvi_GrWindowRec::EnumAppWindows(i, name, sizeof name);
        if (w == nullptr)
            return false;
        if (SameNameAnyCase(name, wanted)) {
            out = reinterpret_cast<Zuvi_RemAppIDRec*>(w);
            return true;
        }
    }
}

bool ZuEvent::PostCommandEvent(Zuvi_RemAppIDRec* target, const ZuMessageRef& message)
{
    if (target == nullptr || message.IsInvalid())
        return false;
    char cls[200];
    if (GetClassNameA(reinterpret_cast<HWND>(target), cls, sizeof cls) <= 0 || cls[0] == '\0')
        return false;
    char name[256];
    if (!PipeName(cls, name))
        return false;
    HANDLE pipe =
        CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (pipe == INVALID_HANDLE_VALUE)
        return false;
    std::vector<unsigned char> bytes;
    try {
        ZuCarbonCopyRef copy(ZuNew<ZuCarbonCopy>(Zuvi_app_zone, __LINE__, __FILE__));
        copy->StartStoring();
        copy->SetDataSlot(ZuApp::Current());
        copy->StoreObject(message);
        bytes.resize(copy->RetRawDataSize());
        copy->ExtractRawData(bytes.data(), unsigned(bytes.size()));
        copy->StartStoring();
    } catch (const ZuException&) {
        CloseHandle(pipe);
        return false;
    }
    DWORD written = 0;
    BOOL ok = WriteFile(pipe, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(pipe);
    return ok && written == bytes.size();
}

bool ZuEvent::PostUserEvent(Zuvi_RemAppIDRec*, const ZuAtomRef&, const ZuObjectRef&)
{
    return false;
}

ZuObjectRef ZuEvent::DecodeCommandMessage(void* buffer, unsigned size)
{
    if (buffer == nullptr)
        return ZuObjectNull;
    ZuObjectRef object;
    if (size != 0) {
        ZuCarbonCopyRef copy(ZuNew<ZuCarbonCopy>(Zuvi_app_zone, __LINE__, __FILE__));
        copy->SetRawData(buffer, size);
        copy->SetDataSlot(ZuApp::Current());
        try {
            copy->RestoreObject(object, ZuRuntimeRef());
        } catch (const ZuException&) {
            object = ZuObjectNull;
        }
        copy->StartStoring();
    }
    ZuMemZone::FreeAnyZone(buffer, __LINE__, __FILE__);
    if (object.IsValid() && !object->IsKindOf(ZuMessageRef::RetRuntime())) {
        object->Delete();
        object = ZuObjectNull;
    }
    return object;
}

// ---------------------------------------------------------------- life

void ZuEvent::Initialise()
{
    current = ZuNew<ZuEvent>(Zuvi_sys_zone);
    if (g_wait_handles[0] == nullptr)
        g_wait_handles[0] = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    g_num_handles = g_wait_handles[1] != nullptr ? 2 : 1;
    OpenCommandPipe();
}

void ZuEvent::Kill()
{
    current = ZuEventNull;
    CloseCommandPipe();
    if (g_wait_handles[0] != nullptr)
        CloseHandle(g_wait_handles[0]);
    g_wait_handles[0] = nullptr;
    g_num_handles = 0;
    g_entered = ZuObjectNull;
    g_entered_set = false;
    // The names live in the application zone, which is gone after shut-down.
    user_events = ZuDictRef();
}

void ZuEvent::PostWakeUpEvent()
{
    DWORD thread = g_ui_thread.load();
    if (thread != 0)
        PostThreadMessageA(thread, ZU_MSG_WAKE_UP, 0, 0);
}

void ZuEvent::PostQuitEvent()
{
    PostQuitMessage(0);
}

void ZuEvent::GrabWindowEvents(const ZuObjectRef&, bool grab)
{
    g_grab_count += grab ? 1 : -1;
    if (g_grab_count < 0)
        g_grab_count = 0;
}

int ZuEvent::RetGrabCount()
{
    return g_grab_count;
}

void ZuEvent::HandOverToWindow(const ZuObjectRef& window)
{
    if (g_capture_count == 0)
        Zuvi_ErrorAbort("Failed assertion: capture_count", __LINE__, ZU_SRC_FILE);
    if (window.IsInvalid())
        Zuvi_ErrorAbort("Failed assertion: window.IsValid ()", __LINE__, ZU_SRC_FILE);
    ZuGrailWindow* port =
        Zuvi_event_links.port_of_window ? Zuvi_event_links.port_of_window(window) : nullptr;
    HWND hwnd = nullptr;
    if (port != nullptr) {
        // The platform window whose word 0 holds this port.
        std::vector<HWND> all;
        EnumWindows(
            [](HWND w, LPARAM p) -> BOOL {
                reinterpret_cast<std::vector<HWND>*>(p)->push_back(w);
                return TRUE;
            },
            LPARAM(&all));
        for (HWND w : all)
            if (GrailWindowFromHandle(w) == port)
                hwnd = w;
    }
    if (hwnd == nullptr || hwnd == g_capture_window)
        return;
    ReleaseCapture();
    SetCapture(hwnd);
    g_capture_window = hwnd;
}

bool ZuEvent::InsertUserEvent(const ZuAtomRef& n)
{
    if (user_events.IsInvalid()) {
        user_events = ZuNew<ZuDict>(Zuvi_app_zone);
    }
    if (FindUserEvent(n) || n.IsInvalid())
        return false;
    char text[501];
    std::strncpy(text, n->RetText(), 500);
    text[500] = '\0';
    UINT number = RegisterWindowMessageA(text);
    return user_events->Insert(n, ZuValueRef(unsigned(number)));
}

void ZuEvent::UpdateMouseCapture(ZuEventType t, void* platform_window)
{
    HWND hwnd = static_cast<HWND>(platform_window);
    if (t == ZU_EVENT_PRESS) {
        if (g_capture_count++ == 0) {
            SetCapture(hwnd);
            g_capture_window = hwnd;
        }
    } else if (t == ZU_EVENT_RELEASE) {
        if (g_capture_count-- == 1) {
            ReleaseCapture();
            g_capture_window = nullptr;
        }
    } else {
        Zuvi_ErrorAbort("Bad event recieved", __LINE__, ZU_SRC_FILE);
    }
    if (g_capture_count < 0)
        Zuvi_ErrorAbort("Failed assertion: capture_count >= 0", __LINE__, ZU_SRC_FILE);
    if (g_capture_count > 3)
        Zuvi_ErrorAbort("Failed assertion: capture_count <= 3", __LINE__, ZU_SRC_FILE);
}

// ---------------------------------------------------------------- the wait

bool ZuEvent::WaitForEvent()
{
    return Zuvi_EventFiller::Wait(this);
}

void Zuvi_EventFiller::ButtonEvent(ZuEvent* e)
{
    unsigned b = unsigned(__builtin_ctzll(g_pending_buttons));
    g_pending_buttons &= ~(1ull << b);
    ZuEventButton button = ZuEventButton(b);
    e->type = e->buttons.TestBit(button) ? ZU_EVENT_RELEASE : ZU_EVENT_PRESS;
    if (e->type == ZU_EVENT_RELEASE)
        e->buttons.ClearBit(button);
    else
        e->buttons.SetBit(button);
    e->change = button;
    ZuEvent::UpdateMouseCapture(e->type, g_tracked);
    if (e->type == ZU_EVENT_PRESS) {
        std::int64_t since = e->time - ZuEvent::last_click_time;
        std::int64_t limit = 300;
        if (ZuLookMan::Current().IsValid())
            limit = ZuLookMan::Current()->RetDoubleClickDelay();
        // Clicks count together only in one place of one window: a quick
        // click on another control is a click of its own, not the second
        // half of a double click.
        const bool same_place = g_tracked == g_last_click_hwnd &&
                                std::fabs(e->x - g_last_click_x) <= kDoubleClickSlop &&
                                std::fabs(e->y - g_last_click_y) <= kDoubleClickSlop;
        g_last_click_hwnd = g_tracked;
        g_last_click_x = e->x;
        g_last_click_y = e->y;
        // A clock set back counts as no time elapsed.
        if (since < limit && button == ZuEvent::last_click_button && same_place) {
            e->click_count = ZuEvent::last_click_count + 2;
            ++ZuEvent::last_click_count;
        } else {
            ZuEvent::last_click_button = button;
            e->click_count = 1;
            ZuEvent::last_click_count = 0;
        }
        ZuEvent::last_click_time = e->time;
    }
    if (g_entered_set)
        e->window = g_entered;
}

void Zuvi_EventFiller::MouseMessage(ZuEvent* e, const MSG& msg, std::uint64_t& remembered)
{
    e->type = ZU_EVENT_MOTION;
    int raw_x = GET_X_LPARAM(msg.lParam);
    int raw_y = GET_Y_LPARAM(msg.lParam);
    e->x = raw_x;
    e->y = raw_y;
    if (e->window.IsValid()) {
        if (ZuGrailWindow* port = GrailWindowFromHandle(msg.hwnd)) {
            ZuRect frame;
            port->GetFrameGeometry(frame);
            e->x += frame.X1();
            e->y += frame.Y1();
        }
    }
    e->real_window = e->window;
    e->real_x = e->x;
    e->real_y = e->y;
    RECT r;
    if (g_capture_count != 0 && g_grab_count == 0 && msg.hwnd != nullptr &&
        GetWindowRect(msg.hwnd, &r)) {
        POINT screen{raw_x + r.left, raw_y + r.top};
        HWND under = WindowFromPoint(screen);
        if (under != nullptr && under != msg.hwnd) {
            e->real_window = Zuvi_WindowRefFromHandle(under);
            RECT u;
            if (IsOwnPlatformWindow(under) && GetWindowRect(under, &u)) {
                e->real_x = short(screen.x - u.left);
                e->real_y = short(screen.y - u.top);
            } else {
                e->real_x = short(screen.x);
                e->real_y = short(screen.y);
            }
        }
    }
    if (g_entered_set && g_entered != e->window)
        Leave(g_entered);
    g_entered_set = true;
    g_entered = e->window;
    remembered = ButtonsOfMessage(msg.wParam);
}

bool Zuvi_EventFiller::Wait(ZuEvent* e)
{
    ZuEventRef self(e);
    g_ui_thread.store(GetCurrentThreadId());
    e->quit = false;
    e->amplitude = 0;
    e->type = ZU_EVENT_NONE;
    e->cancelled = false;
    while (e->type == ZU_EVENT_NONE) {
        ++e->id;
        e->change = ZU_EV_BUTTON_NONE;
        e->data = ZuObjectNull;
        e->name = ZuAtomRef("");
        e->code = 0;
        if (g_pending_buttons != 0) {
            ButtonEvent(e);
            return true;
        }
        if (g_key.type != ZU_EVENT_NONE) {
            e->type = g_key.type;
            e->key = g_key.key;
            e->code = g_key.code;
            e->name = ZuAtomRef(g_key.name.c_str());
            g_key = PendingKey();
            return true;
        }
        std::uint64_t remembered = e->buttons.RetBits();
        DWORD timeout = INFINITE;
        if (Zuvi_event_links.handle_tick) {
            int next = Zuvi_event_links.handle_tick(ZuTime::NowGMTAbsTime(), false);
            if (next >= 0)
                timeout = DWORD(next);
        }
        e->SetWaitingForEvent(true);
        g_still_inside = true;
        MSG msg;
        for (;;) {
            if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE | PM_NOYIELD))
                break;
            if (Zuvi_event_links.idle)
                Zuvi_event_links.idle();
            DWORD wait =
                g_tracked != nullptr && timeout > kTrackedWaitMs ? kTrackedWaitMs : timeout;
            DWORD pipe_wait = CommandPipeWait();
            bool pipe_first = pipe_wait < wait;
            if (pipe_first)
                wait = pipe_wait;
            DWORD result =
                MsgWaitForMultipleObjects(g_num_handles, g_wait_handles, FALSE, wait, kWakeMask);
            if ((g_num_handles > 1 && result == WAIT_OBJECT_0 + 1) ||
                (result == WAIT_TIMEOUT && pipe_first)) {
                bool read = Zuvi_event_links.read_command ? Zuvi_event_links.read_command(msg)
                                                          : Zuvi_ServiceCommandPipe(msg);
                if (read)
                    break;
                continue;
            }
            if (result == WAIT_TIMEOUT) {
                CheckTrackedWindow();
                std::memset(&msg, 0, sizeof msg);
                msg.message = WM_TIMER;
                break;
            }
            if (g_num_handles > 0 && result == WAIT_OBJECT_0) {
                Zuvi_Trace("Change in global wait table\n");
                continue;
            }
            if (result == WAIT_OBJECT_0 + g_num_handles)
                continue;
            Zuvi_Trace("Bad Msg caught in event loop\n");
        }
        e->SetWaitingForEvent(false);
        e->time = ZuTime::NowGMTAbsTime();
        e->window = Zuvi_WindowRefFromHandle(msg.hwnd);
        if (!g_still_inside || msg.hwnd == nullptr)
            g_tracked = nullptr;
        else if (IsMouseMessage(msg.message))
            g_tracked = msg.hwnd;

        bool dispatch = false;
        bool mouse = false;
        switch (msg.message) {
        case WM_QUIT:
            e->quit = true;
            break;
        case WM_CLOSE:
            if (e->window.IsValid() && Zuvi_event_links.system_closed)
                Zuvi_event_links.system_closed(e->window);
            dispatch = true;
            break;
        case WM_SIZE:
        case WM_ACTIVATE:
            break;
        case WM_SYSCOMMAND:
            if ((msg.wParam & 0xFFF0) == SC_CLOSE)
                ZuEvent::PostQuitEvent();
            else
                dispatch = true;
            break;
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
            TranslateKey(msg);
            break;
        case WM_TIMER:
            if (Zuvi_event_links.handle_tick)
                Zuvi_event_links.handle_tick(e->time, true);
            CheckPointerOutside();
            break;
        case WM_MOUSELEAVE:
            // The pointer left a window without moving over another one:
            // no pointer message would ever tell, and a wait without a
            // tick due would never time out to look.
            CheckPointerOutside();
            break;
        case ZU_MSG_WAKE_UP:
            e->type = ZU_EVENT_WAKE_UP;
            e->name = ZuAtomRef("WakeUpEvent");
            break;
        case ZU_MSG_COMMAND:
            e->type = ZU_EVENT_COMMAND;
            if (Zuvi_event_links.decode_command)
                e->data = Zuvi_event_links.decode_command(msg.wParam, msg.lParam);
            else
                e->data = ZuEvent::DecodeCommandMessage(reinterpret_cast<void*>(msg.lParam),
                                                        unsigned(msg.wParam));
            e->name = ZuAtomRef("CommandEvent");
            break;
        default:
            if (IsMouseMessage(msg.message)) {
                MouseMessage(e, msg, remembered);
                mouse = true;
            } else {
                ZuAtomRef user;
                if (msg.message >= 0xC000 && msg.message <= 0xFFFE &&
                    FindUserEventNumber(msg.message, user)) {
                    e->type = ZU_EVENT_USER;
                    e->name = user;
                } else {
                    dispatch = true;
                }
            }
            break;
        }
        if (dispatch) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        g_pending_buttons = 0;
        if (mouse)
            g_pending_buttons = remembered ^ e->buttons.RetBits();
        if (e->quit)
            break;
    }
    return !e->quit;
}
