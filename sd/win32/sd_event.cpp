#include "sd/win32/sd_event.h"

#include <atomic>
#include <cstring>
#include <string>
#include <vector>

#include "sd/win32/sd_grailwdo.h"
#include "si/classfactory.h"
#include "si/dict.h"
#include "si/error.h"
#include "si/grailwdo.h"
#include "si/lookman.h"
#include "si/memzone.h"
#include "si/time.h"
#include "si/values.h"
#include "w32/handle.h"
#include "w32/kernel.h"

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
HWND g_tracked = nullptr; // platform window of the last queued message
bool g_still_inside = false;
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
}

// ---------------------------------------------------------------- life

void ZuEvent::Initialise()
{
    current = ZuNew<ZuEvent>(Zuvi_sys_zone);
    if (g_wait_handles[0] == nullptr)
        g_wait_handles[0] = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    g_num_handles = g_wait_handles[1] != nullptr ? 2 : 1;
}

void ZuEvent::Kill()
{
    current = ZuEventNull;
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
        // A clock set back counts as no time elapsed.
        if (since < limit && button == ZuEvent::last_click_button) {
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
            DWORD result =
                MsgWaitForMultipleObjects(g_num_handles, g_wait_handles, FALSE, wait, kWakeMask);
            if (g_num_handles > 1 && result == WAIT_OBJECT_0 + 1) {
                if (Zuvi_event_links.read_command && Zuvi_event_links.read_command(msg))
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
        g_tracked = g_still_inside ? msg.hwnd : nullptr;

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
            if (g_entered_set && g_entered.IsValid()) {
                POINT p;
                if (GetCursorPos(&p) && Zuvi_FindOwnPlatformWindow(p.x, p.y, 0) == nullptr) {
                    Leave(g_entered);
                    g_entered_set = false;
                    g_entered = ZuObjectNull;
                }
            }
            break;
        case ZU_MSG_WAKE_UP:
            e->type = ZU_EVENT_WAKE_UP;
            e->name = ZuAtomRef("WakeUpEvent");
            break;
        case ZU_MSG_COMMAND:
            e->type = ZU_EVENT_COMMAND;
            if (Zuvi_event_links.decode_command)
                e->data = Zuvi_event_links.decode_command(msg.wParam, msg.lParam);
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
