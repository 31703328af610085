// The common part of the window calls: classes, window records, z-order,
// focus, activation, capture, update regions, painting and the message
// queues. What is shown goes through the backend (w32/backend.h).
#include "w32/winuser.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include <poll.h>
#include <sys/eventfd.h>
#include <time.h>
#include <unistd.h>

#include "w32/backend.h"
#include "w32/cursor.h"
#include "w32/debug.h"
#include "w32/kernel.h"
#include "w32/waitable.h"

namespace {

// ---- State -----------------------------------------------------------------

struct Class {
    std::string key; // lower case
    std::string name;
    WNDCLASSEXA wc;
    ATOM atom;
};

struct DC {
    unsigned magic;
    HWND hwnd;
};
const unsigned kDCMagic = 0x44435F5Fu;

struct State {
    std::recursive_mutex lock;
    std::vector<Class> classes;
    ATOM next_atom = 0xC000;
    std::vector<W32_Window*> z; // own windows, top first
    std::set<W32_Window*> live;
    std::map<unsigned long, W32_Window*> foreign;
    std::map<W32_Window*, DC*> dcs;
    HWND focus = nullptr;
    HWND active = nullptr;
    HWND capture = nullptr;
    HWND pointer = nullptr; // the own window the pointer was last reported in
    bool app_active = false;
    BYTE async_keys[256] = {};
    std::vector<std::string> messages; // registered window messages
    W32_CharOfKey char_of_key = nullptr;
};

State& S()
{
    static State* s = new State; // lives until the process ends
    return *s;
}

typedef std::lock_guard<std::recursive_mutex> Guard;

// An input message, with the character of a key message as the backend's
// keyboard gave it (-1 when it left that to ToAscii).
struct Input : MSG {
    int character = -1;
};

struct Queue {
    std::mutex lock;
    std::deque<MSG> posted;
    std::deque<Input> input;
    bool quit = false;
    int quit_code = 0;
    int wake = -1;
    DWORD last_time = 0;
};

std::mutex& QueuesLock()
{
    static std::mutex lock;
    return lock;
}

std::map<DWORD, Queue*>& Queues()
{
    static std::map<DWORD, Queue*>* queues = new std::map<DWORD, Queue*>;
    return *queues;
}

Queue* QueueOf(DWORD thread)
{
    std::lock_guard<std::mutex> guard(QueuesLock());
    Queue*& q = Queues()[thread];
    if (q == nullptr) {
        q = new Queue;
        q->wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    }
    return q;
}

Queue* MyQueue()
{
    static thread_local Queue* mine = nullptr;
    if (mine == nullptr)
        mine = QueueOf(GetCurrentThreadId());
    return mine;
}

thread_local BYTE t_keys[256];
// The last key message this thread took: its virtual key and the character
// it carried (-1 none), which ToAscii answers for that key, as the keyboard
// layout's own state would.
thread_local UINT t_key_vk = 0;
thread_local int t_key_character = -1;

void Wake(Queue* q)
{
    uint64_t one = 1;
    if (q->wake >= 0)
        (void)!::write(q->wake, &one, sizeof one);
}

DWORD Ticks()
{
    timespec ts;
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return DWORD(uint64_t(ts.tv_sec) * 1000u + uint64_t(ts.tv_nsec) / 1000000u);
}

std::string Lower(const char* text)
{
    std::string out;
    for (; text != nullptr && *text; ++text)
        out.push_back(*text >= 'A' && *text <= 'Z' ? char(*text - 'A' + 'a') : *text);
    return out;
}

W32_Window* Own(HWND hwnd)
{
    W32_Window* w = W32_WindowOf(hwnd);
    return w != nullptr && !w->foreign ? w : nullptr;
}

bool Empty(const RECT& r)
{
    return r.right <= r.left || r.bottom <= r.top;
}

RECT Intersect(const RECT& a, const RECT& b)
{
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    if (Empty(r))
        r = RECT{0, 0, 0, 0};
    return r;
}

RECT Union(const RECT& a, const RECT& b)
{
    if (Empty(a))
        return b;
    if (Empty(b))
        return a;
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

RECT ClientOf(const W32_Window* w)
{
    return RECT{0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top};
}

LPARAM Point16(LONG x, LONG y)
{
    return MAKELPARAM(WORD(int16_t(x)), WORD(int16_t(y)));
}

// Calls the window procedure outside the lock.
LRESULT Send(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam)
{
    WNDPROC proc;
    {
        Guard g(S().lock);
        W32_Window* w = Own(hwnd);
        if (w == nullptr)
            return 0;
        proc = w->proc;
    }
    return proc != nullptr ? proc(hwnd, message, wparam, lparam) : 0;
}

void Restacked()
{
    std::vector<W32_Window*> list;
    {
        Guard g(S().lock);
        list = S().z;
    }
    W32_TheBackend().Restack(list);
}

// Puts the window at the top of its group (topmost ones above the others),
// at the bottom, or after another window.
void Place(W32_Window* w, HWND after)
{
    auto& z = S().z;
    z.erase(std::remove(z.begin(), z.end(), w), z.end());
    if (after == HWND_TOPMOST)
        w->topmost = true;
    else if (after == HWND_NOTOPMOST)
        w->topmost = false;
    size_t pos;
    W32_Window* other = after == HWND_BOTTOM || after == HWND_TOP || after == HWND_TOPMOST ||
                                after == HWND_NOTOPMOST
                            ? nullptr
                            : Own(after);
    if (other != nullptr && other != w) {
        pos = size_t(std::find(z.begin(), z.end(), other) - z.begin()) + 1;
        w->topmost = other->topmost && (pos >= z.size() || z[pos]->topmost);
    } else if (after == HWND_BOTTOM) {
        pos = z.size();
        w->topmost = false;
    } else {
        pos = 0;
        if (!w->topmost)
            while (pos < z.size() && z[pos]->topmost)
                ++pos;
    }
    z.insert(z.begin() + long(std::min(pos, z.size())), w);
}

void SetFocusTo(HWND hwnd)
{
    HWND old;
    {
        Guard g(S().lock);
        old = S().focus;
        if (old == hwnd)
            return;
        S().focus = hwnd;
    }
    if (old != nullptr)
        Send(old, WM_KILLFOCUS, WPARAM(hwnd), 0);
    if (hwnd != nullptr) {
        Send(hwnd, WM_SETFOCUS, WPARAM(old), 0);
        W32_Window* w;
        {
            Guard g(S().lock);
            w = Own(hwnd);
        }
        if (w != nullptr)
            W32_TheBackend().Focus(w);
    }
}

void SetAppActive(bool active)
{
    std::vector<HWND> all;
    {
        Guard g(S().lock);
        if (S().app_active == active)
            return;
        S().app_active = active;
        for (W32_Window* w : S().z)
            all.push_back(w);
    }
    for (HWND h : all)
        Send(h, WM_ACTIVATEAPP, active ? 1 : 0, 0);
}

// Makes the window the active one (null: none), with WM_ACTIVATE to both.
void Activate(HWND hwnd, WORD how)
{
    HWND old;
    bool minimized = false, old_minimized = false;
    {
        Guard g(S().lock);
        old = S().active;
        if (old == hwnd)
            return;
        S().active = hwnd;
        if (W32_Window* w = Own(hwnd))
            minimized = w->minimized;
        if (W32_Window* w = Own(old))
            old_minimized = w->minimized;
    }
    if (hwnd != nullptr)
        SetAppActive(true);
    // The high word is the minimised state of the window the message goes
    // to, for the window losing the activation too.
    if (old != nullptr)
        Send(old, WM_ACTIVATE, WPARAM(WA_INACTIVE | (old_minimized ? 0x10000u : 0u)), LPARAM(hwnd));
    if (hwnd != nullptr) {
        Send(hwnd, WM_ACTIVATE, WPARAM(how | (minimized ? 0x10000u : 0u)), LPARAM(old));
        SetFocusTo(hwnd);
    } else {
        SetFocusTo(nullptr);
    }
}

// The window that takes the activation when `leaving` can no longer have
// it: its owner when the owner is shown, else the top shown window of the
// process, an application window before a tool window (palettes and menus
// are not where the user expects to type). Null when nothing is shown.
HWND Successor(HWND leaving)
{
    Guard g(S().lock);
    auto fits = [leaving](const W32_Window* w) {
        return w != nullptr && w != leaving && w->visible && !w->minimized && !w->destroying;
    };
    W32_Window* w = Own(leaving);
    if (w != nullptr && fits(Own(w->owner)))
        return w->owner;
    W32_Window* tool = nullptr;
    for (W32_Window* c : S().z) {
        if (!fits(c))
            continue;
        if (!(c->ex_style & WS_EX_TOOLWINDOW))
            return c;
        if (tool == nullptr)
            tool = c;
    }
    return tool;
}

// The window was hidden, minimised or is going: when it was the active one
// the activation passes on to its successor, as a user's activation would
// (WM_ACTIVATE to both, the focus to the new one); when it only held the
// focus, the focus goes back to the active window.
void Leave(HWND hwnd)
{
    HWND active, focus;
    {
        Guard g(S().lock);
        active = S().active;
        focus = S().focus;
    }
    if (active == hwnd)
        Activate(Successor(hwnd), WA_ACTIVE);
    else if (focus == hwnd)
        SetFocusTo(active);
}

void InvalidateInside(W32_Window* w, const RECT& r, bool erase)
{
    RECT c = Intersect(r, ClientOf(w));
    if (Empty(c))
        return;
    w->update = w->has_update ? Union(w->update, c) : c;
    w->has_update = true;
    w->erase = w->erase || erase;
    Wake(QueueOf(w->thread));
}

void DropMessagesOf(HWND hwnd)
{
    std::lock_guard<std::mutex> guard(QueuesLock());
    for (auto& entry : Queues()) {
        Queue* q = entry.second;
        std::lock_guard<std::mutex> ql(q->lock);
        auto of_window = [hwnd](const MSG& m) { return m.hwnd == hwnd; };
        q->posted.erase(std::remove_if(q->posted.begin(), q->posted.end(), of_window),
                        q->posted.end());
        q->input.erase(std::remove_if(q->input.begin(), q->input.end(), of_window), q->input.end());
    }
}

bool Matches(const MSG& m, HWND hwnd, UINT first, UINT last)
{
    if (hwnd != nullptr && m.hwnd != hwnd)
        return false;
    if (first == 0 && last == 0)
        return true;
    return m.message >= first && m.message <= last;
}

void NoteKeyTaken(const MSG& m, int character)
{
    if (m.message != WM_KEYDOWN && m.message != WM_KEYUP && m.message != WM_SYSKEYDOWN &&
        m.message != WM_SYSKEYUP)
        return;
    unsigned vk = unsigned(m.wParam) & 0xFF;
    t_key_vk = vk;
    t_key_character = character;
    bool down = m.message == WM_KEYDOWN || m.message == WM_SYSKEYDOWN;
    bool repeat = (m.lParam & (1L << 30)) != 0;
    if (down) {
        if (!repeat && (vk == VK_CAPITAL || vk == VK_NUMLOCK || vk == VK_SCROLL))
            t_keys[vk] ^= 1;
        t_keys[vk] |= 0x80;
    } else {
        t_keys[vk] &= BYTE(~0x80);
    }
}

void PostInput(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, int character = -1)
{
    W32_Window* w = Own(hwnd);
    if (w == nullptr)
        return;
    Queue* q = QueueOf(w->thread);
    POINT pt{0, 0};
    W32_TheBackend().CursorPos(pt);
    {
        std::lock_guard<std::mutex> guard(q->lock);
        Input in;
        static_cast<MSG&>(in) = MSG{hwnd, message, wparam, lparam, Ticks(), pt};
        in.character = character;
        q->input.push_back(in);
    }
    Wake(q);
}

// The US layout's character of a key, -1 when none.
int UsChar(UINT vk, const BYTE* state)
{
    bool shift = (state[VK_SHIFT] & 0x80) != 0;
    bool ctrl = (state[VK_CONTROL] & 0x80) != 0;
    bool caps = (state[VK_CAPITAL] & 1) != 0;
    if (vk >= 'A' && vk <= 'Z') {
        if (ctrl)
            return int(vk - 'A' + 1);
        return (shift != caps) ? int(vk) : int(vk - 'A' + 'a');
    }
    if (ctrl)
        return -1;
    if (vk >= '0' && vk <= '9')
        return shift ? ")!@#$%^&*("[vk - '0'] : int(vk);
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9)
        return int('0' + vk - VK_NUMPAD0);
    switch (vk) {
    case VK_SPACE:
        return ' ';
    case VK_RETURN:
        return '\r';
    case VK_BACK:
        return 8;
    case VK_TAB:
        return 9;
    case VK_ESCAPE:
        return 27;
    case VK_MULTIPLY:
        return '*';
    case VK_ADD:
        return '+';
    case VK_SUBTRACT:
        return '-';
    case VK_DECIMAL:
        return '.';
    case VK_DIVIDE:
        return '/';
    }
    static const struct {
        UINT vk;
        char plain, shifted;
    } oem[] = {{0xBA, ';', ':'},  {0xBB, '=', '+'}, {0xBC, ',', '<'}, {0xBD, '-', '_'},
               {0xBE, '.', '>'},  {0xBF, '/', '?'}, {0xC0, '`', '~'}, {0xDB, '[', '{'},
               {0xDC, '\\', '|'}, {0xDD, ']', '}'}, {0xDE, '\'', '"'}};
    for (const auto& o : oem)
        if (o.vk == vk)
            return shift ? o.shifted : o.plain;
    return -1;
}

} // namespace

// ---- Backend selection ------------------------------------------------------

W32_Backend& W32_TheBackend()
{
    static W32_Backend* backend = [] {
        const char* want = std::getenv("ZUVI_BACKEND");
        W32_Backend* b = nullptr;
        if (want != nullptr && std::strcmp(want, "headless") == 0)
            return W32_MakeHeadless();
        if (want != nullptr && std::strcmp(want, "x11") == 0) {
            b = W32_MakeX11();
            if (b == nullptr)
                OutputDebugStringA(
                    "ZUVI_BACKEND=x11: the display does not open; windows stay in memory\n");
        } else if (want != nullptr && want[0] != '\0') {
            OutputDebugStringA("ZUVI_BACKEND: unknown backend; choosing by $DISPLAY\n");
        }
        if (b == nullptr && (want == nullptr || std::strcmp(want, "x11") != 0)) {
            const char* display = std::getenv("DISPLAY");
            if (display != nullptr && display[0] != '\0')
                b = W32_MakeX11();
        }
        return b != nullptr ? b : W32_MakeHeadless();
    }();
    return *backend;
}

bool W32_NoDisplayForWindows()
{
    const char* want = std::getenv("ZUVI_BACKEND");
    if (want != nullptr && want[0] != '\0')
        return false;
    return std::strcmp(W32_TheBackend().Name(), "headless") == 0;
}

W32_NoDisplayCause W32_WhyNoDisplay(int* visual_class, int* depth)
{
    *visual_class = *depth = 0;
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || display[0] == '\0')
        return W32_DISPLAY_UNSET;
    W32_TheBackend();
    return static_cast<W32_NoDisplayCause>(W32_X11Failure(visual_class, depth));
}

// ---- Calls of the backends ----------------------------------------------------

W32_Window* W32_WindowOf(HWND hwnd)
{
    if (hwnd == nullptr)
        return nullptr;
    Guard g(S().lock);
    W32_Window* w = static_cast<W32_Window*>(hwnd);
    return S().live.count(w) != 0 ? w : nullptr;
}

std::vector<W32_Window*> W32_OwnWindows()
{
    Guard g(S().lock);
    return S().z;
}

W32_Window* W32_FindNative(unsigned long native)
{
    Guard g(S().lock);
    for (W32_Window* w : S().z)
        if (w->native == native)
            return w;
    return nullptr;
}

HWND W32_ForeignWindow(unsigned long native)
{
    Guard g(S().lock);
    if (W32_Window* own = W32_FindNative(native))
        return own;
    W32_Window*& w = S().foreign[native];
    if (w == nullptr) {
        w = new W32_Window;
        w->magic = W32_WINDOW_MAGIC;
        w->foreign = true;
        w->native = native;
        S().live.insert(w);
    }
    return w;
}

void W32_SystemGeometry(HWND hwnd, const RECT& rect)
{
    bool moved, sized;
    RECT old;
    {
        Guard g(S().lock);
        W32_Window* w = Own(hwnd);
        if (w == nullptr || w->minimized)
            return;
        old = w->rect;
        moved = old.left != rect.left || old.top != rect.top;
        sized = old.right - old.left != rect.right - rect.left ||
                old.bottom - old.top != rect.bottom - rect.top;
        w->rect = rect;
    }
    if (moved)
        Send(hwnd, WM_MOVE, 0, Point16(rect.left, rect.top));
    if (sized)
        Send(hwnd, WM_SIZE, SIZE_RESTORED,
             MAKELPARAM(rect.right - rect.left, rect.bottom - rect.top));
}

void W32_SystemExpose(HWND hwnd, const RECT& rect)
{
    Guard g(S().lock);
    if (W32_Window* w = Own(hwnd))
        InvalidateInside(w, rect, false);
}

void W32_SystemMinimized(HWND hwnd, bool minimized)
{
    RECT r;
    {
        Guard g(S().lock);
        W32_Window* w = Own(hwnd);
        if (w == nullptr || !w->visible || w->minimized == minimized)
            return;
        w->minimized = minimized;
        // What was shown before the window went is not on the screen any
        // more: all of it is painted again.
        if (!minimized)
            InvalidateInside(w, ClientOf(w), true);
        r = w->rect;
    }
    Send(hwnd, WM_SIZE, minimized ? SIZE_MINIMIZED : SIZE_RESTORED,
         minimized ? 0 : MAKELPARAM(r.right - r.left, r.bottom - r.top));
    if (minimized)
        Leave(hwnd);
}

void W32_SystemActivate(HWND hwnd, bool active)
{
    if (active) {
        Activate(hwnd, WA_ACTIVE);
    } else {
        HWND current;
        {
            Guard g(S().lock);
            current = S().active;
        }
        if (current == hwnd || hwnd == nullptr) {
            Activate(nullptr, WA_INACTIVE);
            SetAppActive(false);
        }
    }
}

void W32_SystemClose(HWND hwnd)
{
    Send(hwnd, WM_CLOSE, 0, 0);
}

namespace {

// The own window that gets the pointer at a screen point: the capture
// window, else the own window there; null when the point is over none.
HWND PointerTarget(int x, int y)
{
    Guard g(S().lock);
    HWND target = S().capture != nullptr ? S().capture : WindowFromPoint(POINT{x, y});
    if (W32_WindowOf(target) == nullptr || W32_WindowOf(target)->foreign)
        return nullptr;
    return target;
}

// The pointer is over none of the own windows: the one it was in gets
// WM_MOUSELEAVE, queued with the pointer messages so that it comes after
// the last move inside.
void PointerOut()
{
    HWND left;
    {
        Guard g(S().lock);
        left = S().pointer;
        S().pointer = nullptr;
    }
    if (left != nullptr)
        PostInput(left, WM_MOUSELEAVE, 0, 0);
}

} // namespace

void W32_SystemMouse(int x, int y, unsigned buttons)
{
    static unsigned held = 0;
    HWND target = PointerTarget(x, y);
    unsigned old = held;
    held = buttons & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON);
    if (target == nullptr) {
        PointerOut();
        return;
    }
    {
        Guard g(S().lock);
        S().pointer = target;
    }
    RECT r;
    GetWindowRect(target, &r);
    LPARAM at = Point16(x - r.left, y - r.top);
    auto keys = [](unsigned b) {
        unsigned k = b;
        if (S().async_keys[VK_SHIFT] & 0x80)
            k |= MK_SHIFT;
        if (S().async_keys[VK_CONTROL] & 0x80)
            k |= MK_CONTROL;
        return WPARAM(k);
    };
    bool captured = GetCapture() != nullptr;
    if (!captured)
        Send(target, WM_SETCURSOR, WPARAM(target), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    PostInput(target, WM_MOUSEMOVE, keys(old), at);
    static const struct {
        unsigned bit;
        UINT down, up;
    } order[] = {{MK_LBUTTON, WM_LBUTTONDOWN, WM_LBUTTONUP},
                 {MK_RBUTTON, WM_RBUTTONDOWN, WM_RBUTTONUP},
                 {MK_MBUTTON, WM_MBUTTONDOWN, WM_MBUTTONUP}};
    unsigned now = old;
    for (const auto& b : order) {
        if (((old ^ held) & b.bit) == 0)
            continue;
        now ^= b.bit;
        if (held & b.bit) {
            bool eat = false;
            if (GetActiveWindow() != target) {
                LRESULT how =
                    Send(target, WM_MOUSEACTIVATE, WPARAM(target), MAKELPARAM(HTCLIENT, b.down));
                if (how == MA_ACTIVATE || how == MA_ACTIVATEANDEAT || how == 0)
                    Activate(target, WA_CLICKACTIVE);
                eat = how == MA_ACTIVATEANDEAT || how == MA_NOACTIVATEANDEAT;
            }
            if (!eat)
                PostInput(target, b.down, keys(now), at);
        } else {
            PostInput(target, b.up, keys(now), at);
        }
    }
}

void W32_SystemPointerLeft(int x, int y)
{
    // A window manager's frame around a window counts as the window for
    // WindowFromPoint, but the pointer on it is out of the window.
    HWND target = PointerTarget(x, y);
    RECT r;
    if (target == nullptr || (GetCapture() == nullptr && GetWindowRect(target, &r) &&
                              (x < r.left || x >= r.right || y < r.top || y >= r.bottom)))
        PointerOut();
}

void W32_SystemKey(UINT vk, UINT scan, bool extended, bool down, int character)
{
    HWND target;
    LPARAM lp;
    UINT message;
    {
        Guard g(S().lock);
        BYTE* keys = S().async_keys;
        vk &= 0xFF;
        bool previous = (keys[vk] & 0x80) != 0;
        if (down) {
            if (!previous && vk == VK_CAPITAL)
                keys[vk] ^= 1;
            keys[vk] |= 0x80;
        } else {
            keys[vk] &= BYTE(~0x80);
        }
        bool alt = (keys[VK_MENU] & 0x80) != 0;
        bool ctrl = (keys[VK_CONTROL] & 0x80) != 0;
        bool sys = ((alt || vk == VK_MENU) && !ctrl) || vk == VK_F1 + 9;
        message = down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
        DWORD bits = 1u | ((scan & 0xFFu) << 16) | (extended ? 1u << 24 : 0u) |
                     (alt ? 1u << 29 : 0u) | ((down ? previous : true) ? 1u << 30 : 0u) |
                     (down ? 0u : 1u << 31);
        lp = LPARAM(bits);
        target = S().focus != nullptr ? S().focus : S().active;
    }
    if (target != nullptr)
        PostInput(target, message, WPARAM(vk), lp, character);
}

void W32_SetCharOfKey(W32_CharOfKey fn)
{
    Guard g(S().lock);
    S().char_of_key = fn;
}

// ---- Classes ------------------------------------------------------------------

ATOM RegisterClassExA(const WNDCLASSEXA* wc)
{
    if (wc == nullptr || wc->lpszClassName == nullptr || wc->lpszClassName[0] == '\0' ||
        wc->cbWndExtra < 0 || wc->cbWndExtra > 4096)
        return 0;
    Guard g(S().lock);
    std::string key = Lower(wc->lpszClassName);
    for (const Class& c : S().classes)
        if (c.key == key) {
            SetLastError(ERROR_CLASS_ALREADY_EXISTS);
            return 0;
        }
    Class c;
    c.key = key;
    c.name = wc->lpszClassName;
    c.wc = *wc;
    c.atom = S().next_atom++;
    S().classes.push_back(c);
    S().classes.back().wc.lpszClassName = nullptr;
    return c.atom;
}

namespace {
Class* FindClass(LPCSTR name)
{
    if (name == nullptr)
        return nullptr;
    for (Class& c : S().classes) {
        if (uintptr_t(name) < 0x10000u ? c.atom == ATOM(uintptr_t(name)) : c.key == Lower(name))
            return &c;
    }
    return nullptr;
}
} // namespace

BOOL UnregisterClassA(LPCSTR name, HINSTANCE instance)
{
    Guard g(S().lock);
    Class* c = FindClass(name);
    if (c == nullptr || c->wc.hInstance != instance)
        return FALSE;
    for (W32_Window* w : S().z)
        if (Lower(w->class_name.c_str()) == c->key)
            return FALSE;
    S().classes.erase(S().classes.begin() + (c - S().classes.data()));
    return TRUE;
}

BOOL GetClassInfoExA(HINSTANCE, LPCSTR name, WNDCLASSEXA* out)
{
    Guard g(S().lock);
    Class* c = FindClass(name);
    if (c == nullptr || out == nullptr)
        return FALSE;
    *out = c->wc;
    out->lpszClassName = c->name.c_str();
    return TRUE;
}

// ---- Windows ----------------------------------------------------------------------

HWND CreateWindowExA(DWORD ex_style, LPCSTR class_name, LPCSTR title, DWORD style, int x, int y,
                     int width, int height, HWND owner, HMENU, HINSTANCE instance, LPVOID)
{
    W32_Window* w = new W32_Window;
    {
        Guard g(S().lock);
        Class* c = FindClass(class_name);
        if (c == nullptr || width < 0 || height < 0) {
            delete w;
            return nullptr;
        }
        w->magic = W32_WINDOW_MAGIC;
        w->class_name = c->name;
        w->proc = c->wc.lpfnWndProc;
        w->instance = instance;
        w->words.assign(size_t(c->wc.cbWndExtra), 0);
        w->text = title != nullptr ? title : "";
        w->style = style & ~WS_VISIBLE;
        w->ex_style = ex_style;
        w->rect = RECT{x, y, x + width, y + height};
        w->owner = Own(owner);
        w->thread = GetCurrentThreadId();
        w->topmost = (ex_style & WS_EX_TOPMOST) != 0;
        S().live.insert(w);
        Place(w, HWND_TOP);
        if (!W32_TheBackend().Create(w)) {
            S().z.erase(std::remove(S().z.begin(), S().z.end(), w), S().z.end());
            S().live.erase(w);
            delete w;
            return nullptr;
        }
        DC* dc = new DC{kDCMagic, w};
        S().dcs[w] = dc;
    }
    Restacked();
    if (Send(w, WM_CREATE, 0, 0) == -1) {
        DestroyWindow(w);
        return nullptr;
    }
    if (style & WS_VISIBLE)
        ShowWindow(w, SW_SHOW);
    return w;
}

BOOL DestroyWindow(HWND hwnd)
{
    std::vector<HWND> owned;
    {
        Guard g(S().lock);
        W32_Window* w = Own(hwnd);
        if (w == nullptr || w->destroying)
            return FALSE;
        w->destroying = true;
        for (W32_Window* o : S().z)
            if (o->owner == hwnd)
                owned.push_back(o);
    }
    for (HWND o : owned)
        DestroyWindow(o);
    if (IsWindowVisible(hwnd))
        ShowWindow(hwnd, SW_HIDE);
    if (GetCapture() == hwnd)
        ReleaseCapture();
    // A window never shown may still have been made active.
    Leave(hwnd);
    {
        Guard g(S().lock);
        if (S().active == hwnd)
            S().active = nullptr;
        if (S().focus == hwnd)
            S().focus = nullptr;
        if (S().pointer == hwnd)
            S().pointer = nullptr;
    }
    Send(hwnd, WM_DESTROY, 0, 0);
    Send(hwnd, WM_NCDESTROY, 0, 0);
    W32_Window* w;
    {
        Guard g(S().lock);
        w = Own(hwnd);
        W32_TheBackend().Destroy(w);
        S().z.erase(std::remove(S().z.begin(), S().z.end(), w), S().z.end());
        S().live.erase(w);
        delete S().dcs[w];
        S().dcs.erase(w);
    }
    DropMessagesOf(hwnd);
    w->magic = 0;
    delete w;
    return TRUE;
}

BOOL IsWindow(HWND hwnd)
{
    return W32_WindowOf(hwnd) != nullptr ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND hwnd)
{
    Guard g(S().lock);
    W32_Window* w = Own(hwnd);
    return w != nullptr && w->visible ? TRUE : FALSE;
}

BOOL IsIconic(HWND hwnd)
{
    Guard g(S().lock);
    W32_Window* w = Own(hwnd);
    return w != nullptr && w->minimized ? TRUE : FALSE;
}

LRESULT DefWindowProcA(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return 0;
    case WM_MOUSEACTIVATE:
        return MA_ACTIVATE;
    case WM_SYSCOMMAND:
        if ((wparam & 0xFFF0u) == SC_CLOSE)
            Send(hwnd, WM_CLOSE, 0, 0);
        return 0;
    default:
        (void)lparam;
        return 0;
    }
}

LRESULT CallWindowProcA(WNDPROC proc, HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam)
{
    return proc != nullptr ? proc(hwnd, message, wparam, lparam) : 0;
}

namespace {
// The words of any window (own, or another program's through the backend).
bool WordsOf(HWND hwnd, std::vector<unsigned char>& out)
{
    Guard g(S().lock);
    W32_Window* w = W32_WindowOf(hwnd);
    if (w == nullptr)
        return false;
    if (w->foreign)
        return W32_TheBackend().ForeignWords(w, out);
    out = w->words;
    return true;
}

template <class T>
T ReadWord(HWND hwnd, int index)
{
    std::vector<unsigned char> words;
    if (index < 0 || !WordsOf(hwnd, words) || size_t(index) + sizeof(T) > words.size())
        return 0;
    T value;
    std::memcpy(&value, words.data() + index, sizeof value);
    return value;
}

template <class T>
T WriteWord(HWND hwnd, int index, T value)
{
    Guard g(S().lock);
    W32_Window* w = Own(hwnd);
    if (w == nullptr || index < 0 || size_t(index) + sizeof(T) > w->words.size())
        return 0;
    T old;
    std::memcpy(&old, w->words.data() + index, sizeof old);
    std::memcpy(w->words.data() + index, &value, sizeof value);
    W32_TheBackend().Words(w);
    return old;
}
} // namespace

LONG GetWindowLongA(HWND hwnd, int index)
{
    if (index == GWL_STYLE || index == GWL_EXSTYLE) {
        Guard g(S().lock);
        W32_Window* w = Own(hwnd);
        if (w == nullptr)
            return 0;
        return LONG(index == GWL_STYLE ? (w->style | (w->visible ? WS_VISIBLE : 0)) : w->ex_style);
    }
    return ReadWord<LONG>(hwnd, index);
}

LONG SetWindowLongA(HWND hwnd, int index, LONG value)
{
    return WriteWord<LONG>(hwnd, index, value);
}

LONG_PTR GetWindowLongPtrA(HWND hwnd, int index)
{
    if (index == GWLP_WNDPROC || index == GWLP_HINSTANCE) {
        Guard g(S().lock);
        W32_Window* w = Own(hwnd);
        if (w == nullptr)
            return 0;
        return index == GWLP_WNDPROC ? LONG_PTR(w->proc) : LONG_PTR(w->instance);
    }
    return ReadWord<LONG_PTR>(hwnd, index);
}

LONG_PTR SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value)
{
    if (index == GWLP_WNDPROC) {
        Guard g(S().lock);
        W32_Window* w = Own(hwnd);
        if (w == nullptr)
            return 0;
        LONG_PTR old = LONG_PTR(w->proc);
        w->proc = WNDPROC(value);
        return old;
    }
    return WriteWord<LONG_PTR>(hwnd, index, value);
}

int GetClassNameA(HWND hwnd, LPSTR buffer, int size)
{
    if (buffer == nullptr || size <= 0)
        return 0;
    std::string name;
    {
        Guard g(S().lock);
        W32_Window* w = W32_WindowOf(hwnd);
        if (w == nullptr || (w->foreign && !W32_TheBackend().ForeignClass(w, name)))
            return 0;
        if (!w->foreign)
            name = w->class_name;
    }
    size_t n = std::min(name.size(), size_t(size - 1));
    std::memcpy(buffer, name.data(), n);
    buffer[n] = '\0';
    return int(n);
}

BOOL SetWindowTextA(HWND hwnd, LPCSTR text)
{
    Guard g(S().lock);
    W32_Window* w = Own(hwnd);
    if (w == nullptr)
        return FALSE;
    w->text = text != nullptr ? text : "";
    W32_TheBackend().Title(w);
    return TRUE;
}

int GetWindowTextA(HWND hwnd, LPSTR buffer, int size)
{
    Guard g(S().lock);
    W32_Window* w = Own(hwnd);
    if (w == nullptr || buffer == nullptr || size <= 0)
        return 0;
    size_t n = std::min(w->text.size(), size_t(size - 1));
    std::memcpy(buffer, w->text.data(), n);
    buffer[n] = '\0';
    return int(n);
}

BOOL ShowWindow(HWND hwnd, int command)
{
    W32_Window* w;
    bool was_visible, was_minimized;
    {
        Guard g(S().lock);
        w = Own(hwnd);
        if (w == nullptr)
            return FALSE;
        was_visible = w->visible;
        was_minimized = w->minimized;
    }
    bool show = command != SW_HIDE;
    bool minimize = command == SW_MINIMIZE || command == SW_SHOWMINIMIZED;
    // Shown in its last size and place: a minimised window comes back.
    bool restore = command == SW_RESTORE || command == SW_SHOWNORMAL || command == SW_SHOWDEFAULT ||
                   command == SW_SHOWNOACTIVATE;
    bool activate = command == SW_SHOW || command == SW_SHOWNORMAL || command == SW_RESTORE ||
                    command == SW_SHOWDEFAULT || command == SW_SHOWMINIMIZED;
    // A display with nowhere to put a minimised window, nor a way to bring
    // it back, keeps the window shown as it was, where the user can go on
    // working in it, and its activation as it was.
    if (minimize && !W32_TheBackend().CanMinimize()) {
        minimize = false;
        restore = true;
        activate = false;
    }
    if (show != was_visible)
        Send(hwnd, WM_SHOWWINDOW, show ? 1 : 0, 0);
    {
        Guard g(S().lock);
        if (W32_WindowOf(hwnd) == nullptr)
            return was_visible ? TRUE : FALSE;
        w->visible = show;
        if (minimize)
            w->minimized = true;
        else if (restore)
            w->minimized = false;
        if (show && !was_visible)
            InvalidateInside(w, ClientOf(w), true);
        if (activate && show)
            Place(w, HWND_TOP);
        W32_TheBackend().Show(w);
    }
    if (activate && show)
        Restacked();
    if (w->minimized != was_minimized) {
        RECT r = w->rect;
        Send(hwnd, WM_SIZE, w->minimized ? SIZE_MINIMIZED : SIZE_RESTORED,
             w->minimized ? 0 : MAKELPARAM(r.right - r.left, r.bottom - r.top));
    }
    if (!show || minimize) {
        Leave(hwnd);
    } else if (activate) {
        Activate(hwnd, WA_ACTIVE);
    }
    return was_visible ? TRUE : FALSE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint)
{
    return SetWindowPos(hwnd, nullptr, x, y, width, height,
                        SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0u : SWP_NOREDRAW));
}

BOOL SetWindowPos(HWND hwnd, HWND insert_after, int x, int y, int cx, int cy, UINT flags)
{
    WINDOWPOS pos{hwnd, insert_after, x, y, cx, cy, flags};
    if (Own(hwnd) == nullptr)
        return FALSE;
    Send(hwnd, WM_WINDOWPOSCHANGING, 0, LPARAM(&pos));
    bool moved = false, sized = false;
    RECT r;
    {
        Guard g(S().lock);
        W32_Window* w = Own(hwnd);
        if (w == nullptr)
            return FALSE;
        r = w->rect;
        if (!(pos.flags & SWP_NOMOVE)) {
            moved = pos.x != r.left || pos.y != r.top;
            r.right += pos.x - r.left;
            r.bottom += pos.y - r.top;
            r.left = pos.x;
            r.top = pos.y;
        }
        if (!(pos.flags & SWP_NOSIZE)) {
            int cxn = std::max(pos.cx, 0), cyn = std::max(pos.cy, 0);
            sized = cxn != r.right - r.left || cyn != r.bottom - r.top;
            RECT old = ClientOf(w);
            r.right = r.left + cxn;
            r.bottom = r.top + cyn;
            w->rect = r;
            // The parts that were not there before need painting.
            if (!(pos.flags & SWP_NOREDRAW) && w->visible) {
                InvalidateInside(w, RECT{old.right, 0, cxn, cyn}, true);
                InvalidateInside(w, RECT{0, old.bottom, cxn, cyn}, true);
            }
        }
        w->rect = r;
        if (moved || sized)
            W32_TheBackend().Geometry(w);
        if (!(pos.flags & SWP_NOZORDER))
            Place(w, pos.hwndInsertAfter);
    }
    if (!(pos.flags & SWP_NOZORDER))
        Restacked();
    if (pos.flags & SWP_SHOWWINDOW)
        ShowWindow(hwnd, (pos.flags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
    if (pos.flags & SWP_HIDEWINDOW)
        ShowWindow(hwnd, SW_HIDE);
    Send(hwnd, WM_WINDOWPOSCHANGED, 0, LPARAM(&pos));
    if (moved)
        Send(hwnd, WM_MOVE, 0, Point16(r.left, r.top));
    if (sized)
        Send(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(r.right - r.left, r.bottom - r.top));
    if (!(pos.flags & SWP_NOACTIVATE) && IsWindowVisible(hwnd))
        Activate(hwnd, WA_ACTIVE);
    return TRUE;
}

namespace {
struct DeferList {
    unsigned magic;
    std::vector<WINDOWPOS> items;
};
const unsigned kDeferMagic = 0x44574650u;
} // namespace

HDWP BeginDeferWindowPos(int count)
{
    DeferList* d = new DeferList;
    d->magic = kDeferMagic;
    d->items.reserve(size_t(std::max(count, 0)));
    return d;
}

HDWP DeferWindowPos(HDWP info, HWND hwnd, HWND insert_after, int x, int y, int cx, int cy,
                    UINT flags)
{
    DeferList* d = static_cast<DeferList*>(info);
    if (d == nullptr || d->magic != kDeferMagic)
        return nullptr;
    if (Own(hwnd) == nullptr) {
        d->magic = 0;
        delete d;
        return nullptr;
    }
    d->items.push_back(WINDOWPOS{hwnd, insert_after, x, y, cx, cy, flags});
    return d;
}

BOOL EndDeferWindowPos(HDWP info)
{
    DeferList* d = static_cast<DeferList*>(info);
    if (d == nullptr || d->magic != kDeferMagic)
        return FALSE;
    BOOL ok = TRUE;
    for (const WINDOWPOS& p : d->items)
        if (!SetWindowPos(p.hwnd, p.hwndInsertAfter, p.x, p.y, p.cx, p.cy, p.flags))
            ok = FALSE;
    d->magic = 0;
    delete d;
    return ok;
}

BOOL GetWindowRect(HWND hwnd, RECT* rect)
{
    if (hwnd != nullptr && hwnd == GetDesktopWindow()) {
        if (rect == nullptr)
            return FALSE;
        int width = 0, height = 0;
        W32_TheBackend().ScreenSize(width, height);
        *rect = RECT{0, 0, width, height};
        return TRUE;
    }
    Guard g(S().lock);
    W32_Window* w = W32_WindowOf(hwnd);
    if (w == nullptr || rect == nullptr)
        return FALSE;
    if (w->foreign)
        return W32_TheBackend().ForeignRect(w, *rect) ? TRUE : FALSE;
    *rect = w->rect;
    return TRUE;
}

BOOL GetClientRect(HWND hwnd, RECT* rect)
{
    RECT r;
    if (rect == nullptr || !GetWindowRect(hwnd, &r))
        return FALSE;
    *rect = RECT{0, 0, r.right - r.left, r.bottom - r.top};
    return TRUE;
}

BOOL ClientToScreen(HWND hwnd, POINT* point)
{
    RECT r;
    if (point == nullptr || !GetWindowRect(hwnd, &r))
        return FALSE;
    point->x += r.left;
    point->y += r.top;
    return TRUE;
}

BOOL ScreenToClient(HWND hwnd, POINT* point)
{
    RECT r;
    if (point == nullptr || !GetWindowRect(hwnd, &r))
        return FALSE;
    point->x -= r.left;
    point->y -= r.top;
    return TRUE;
}

HWND WindowFromPoint(POINT p)
{
    return W32_TheBackend().FromPoint(p);
}

BOOL EnumWindows(WNDENUMPROC callback, LPARAM param)
{
    if (callback == nullptr)
        return FALSE;
    std::vector<HWND> list;
    W32_TheBackend().TopLevel(list);
    for (HWND h : list)
        if (IsWindow(h) && !callback(h, param))
            break;
    return TRUE;
}

HWND GetWindow(HWND hwnd, UINT command)
{
    Guard g(S().lock);
    W32_Window* w = Own(hwnd);
    if (command == GW_OWNER)
        return w != nullptr ? w->owner : nullptr;
    std::vector<HWND> list;
    W32_TheBackend().TopLevel(list);
    if (command == GW_HWNDFIRST)
        return list.empty() ? nullptr : list.front();
    if (command == GW_HWNDNEXT) {
        auto it = std::find(list.begin(), list.end(), hwnd);
        return it == list.end() || it + 1 == list.end() ? nullptr : *(it + 1);
    }
    return nullptr;
}

HWND GetDesktopWindow()
{
    static int desktop;
    return &desktop;
}

HWND SetFocus(HWND hwnd)
{
    HWND old = GetFocus();
    if (hwnd != nullptr && Own(hwnd) == nullptr)
        return nullptr;
    SetFocusTo(hwnd);
    return old;
}

HWND GetFocus()
{
    Guard g(S().lock);
    return S().focus;
}

HWND SetActiveWindow(HWND hwnd)
{
    HWND old = GetActiveWindow();
    if (hwnd != nullptr && Own(hwnd) == nullptr)
        return nullptr;
    Activate(hwnd, WA_ACTIVE);
    return old;
}

HWND GetActiveWindow()
{
    Guard g(S().lock);
    return S().active;
}

BOOL SetForegroundWindow(HWND hwnd)
{
    if (Own(hwnd) == nullptr)
        return FALSE;
    SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return TRUE;
}

HWND GetForegroundWindow()
{
    return GetActiveWindow();
}

HWND SetCapture(HWND hwnd)
{
    HWND old;
    W32_Window* w;
    {
        Guard g(S().lock);
        w = Own(hwnd);
        if (w == nullptr)
            return nullptr;
        old = S().capture;
        S().capture = hwnd;
    }
    if (old != nullptr && old != hwnd)
        Send(old, WM_CAPTURECHANGED, 0, LPARAM(hwnd));
    W32_TheBackend().Grab(w);
    return old;
}

BOOL ReleaseCapture()
{
    HWND old;
    {
        Guard g(S().lock);
        old = S().capture;
        S().capture = nullptr;
    }
    W32_TheBackend().Grab(nullptr);
    if (old != nullptr)
        Send(old, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND GetCapture()
{
    Guard g(S().lock);
    return S().capture;
}

// ---- Messages ------------------------------------------------------------------------

LRESULT SendMessageA(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam)
{
    return Send(hwnd, message, wparam, lparam);
}

BOOL PostMessageA(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam)
{
    DWORD thread;
    if (hwnd == nullptr) {
        thread = GetCurrentThreadId();
    } else {
        Guard g(S().lock);
        W32_Window* w = Own(hwnd);
        if (w == nullptr)
            return FALSE;
        thread = w->thread;
    }
    Queue* q = QueueOf(thread);
    POINT pt{0, 0};
    W32_TheBackend().CursorPos(pt);
    {
        std::lock_guard<std::mutex> guard(q->lock);
        q->posted.push_back(MSG{hwnd, message, wparam, lparam, Ticks(), pt});
    }
    Wake(q);
    return TRUE;
}

BOOL PostThreadMessageA(DWORD thread, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (thread == 0) {
        SetLastError(ERROR_INVALID_THREAD_ID);
        return FALSE;
    }
    Queue* q = QueueOf(thread);
    {
        std::lock_guard<std::mutex> guard(q->lock);
        q->posted.push_back(MSG{nullptr, message, wparam, lparam, Ticks(), POINT{0, 0}});
    }
    Wake(q);
    return TRUE;
}

void PostQuitMessage(int exit_code)
{
    Queue* q = MyQueue();
    {
        std::lock_guard<std::mutex> guard(q->lock);
        q->quit = true;
        q->quit_code = exit_code;
    }
    Wake(q);
}

namespace {

// A window of this thread with an update region, matching the filter.
HWND PaintPending(HWND filter)
{
    Guard g(S().lock);
    DWORD me = GetCurrentThreadId();
    for (W32_Window* w : S().z)
        if (w->thread == me && w->has_update && w->visible && (filter == nullptr || filter == w))
            return w;
    return nullptr;
}

int CharacterOf(const MSG&)
{
    return -1;
}
int CharacterOf(const Input& in)
{
    return in.character;
}

template <typename Entry>
bool Take(std::deque<Entry>& d, MSG* msg, HWND hwnd, UINT first, UINT last, bool remove,
          int* character = nullptr)
{
    for (auto it = d.begin(); it != d.end(); ++it) {
        if (!Matches(*it, hwnd, first, last))
            continue;
        *msg = *it;
        if (character != nullptr)
            *character = CharacterOf(*it);
        if (remove)
            d.erase(it);
        return true;
    }
    return false;
}

// What the queue holds for the wake mask.
bool QueueReady(Queue* q, DWORD mask)
{
    {
        std::lock_guard<std::mutex> guard(q->lock);
        if ((mask & QS_POSTMESSAGE) && (!q->posted.empty() || q->quit))
            return true;
        for (const Input& m : q->input) {
            bool key = m.message >= WM_KEYDOWN && m.message <= WM_SYSCHAR;
            bool move = m.message == WM_MOUSEMOVE;
            if ((key && (mask & QS_KEY)) || (move && (mask & QS_MOUSEMOVE)) ||
                (!key && !move && (mask & QS_MOUSEBUTTON)))
                return true;
        }
    }
    return (mask & QS_PAINT) && PaintPending(nullptr) != nullptr;
}

void DrainWake(Queue* q)
{
    uint64_t n;
    while (::read(q->wake, &n, sizeof n) == ssize_t(sizeof n)) {}
}

} // namespace

BOOL PeekMessageA(MSG* msg, HWND hwnd, UINT first, UINT last, UINT flags)
{
    if (msg == nullptr)
        return FALSE;
    W32_TheBackend().Pump();
    Queue* q = MyQueue();
    bool remove = (flags & PM_REMOVE) != 0;
    {
        std::lock_guard<std::mutex> guard(q->lock);
        int character = -1;
        if (Take(q->posted, msg, hwnd, first, last, remove) ||
            Take(q->input, msg, hwnd, first, last, remove, &character)) {
            q->last_time = msg->time;
            if (remove)
                NoteKeyTaken(*msg, character);
            return TRUE;
        }
    }
    if (first == 0 || (first <= WM_PAINT && last >= WM_PAINT)) {
        if (HWND p = PaintPending(hwnd)) {
            POINT pt{0, 0};
            W32_TheBackend().CursorPos(pt);
            *msg = MSG{p, WM_PAINT, 0, 0, Ticks(), pt};
            return TRUE;
        }
    }
    std::lock_guard<std::mutex> guard(q->lock);
    if (q->quit && hwnd == nullptr && (first == 0 || (first <= WM_QUIT && last >= WM_QUIT))) {
        *msg = MSG{nullptr, WM_QUIT, WPARAM(q->quit_code), 0, Ticks(), POINT{0, 0}};
        if (remove)
            q->quit = false;
        return TRUE;
    }
    return FALSE;
}

BOOL GetMessageA(MSG* msg, HWND hwnd, UINT first, UINT last)
{
    if (msg == nullptr)
        return -1;
    while (!PeekMessageA(msg, hwnd, first, last, PM_REMOVE))
        if (MsgWaitForMultipleObjects(0, nullptr, FALSE, INFINITE, QS_ALLINPUT) == WAIT_FAILED)
            return -1;
    return msg->message == WM_QUIT ? FALSE : TRUE;
}

BOOL TranslateMessage(const MSG* msg)
{
    if (msg == nullptr || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN))
        return FALSE;
    WORD ch = 0;
    if (ToAscii(UINT(msg->wParam), UINT(msg->lParam >> 16) & 0x1FF, t_keys, &ch, 0) != 1)
        return FALSE;
    UINT message = msg->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR;
    Queue* q = MyQueue();
    std::lock_guard<std::mutex> guard(q->lock);
    q->posted.push_front(MSG{msg->hwnd, message, WPARAM(ch), msg->lParam, msg->time, msg->pt});
    return TRUE;
}

LRESULT DispatchMessageA(const MSG* msg)
{
    if (msg == nullptr || msg->hwnd == nullptr)
        return 0;
    if (msg->message == WM_PAINT) {
        LRESULT r = Send(msg->hwnd, WM_PAINT, 0, 0);
        return r;
    }
    return Send(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL, DWORD timeout,
                                DWORD wake_mask)
{
    if (count > MAXIMUM_WAIT_OBJECTS || (count != 0 && handles == nullptr))
        return WAIT_FAILED;
    Queue* q = MyQueue();
    W32_Backend& backend = W32_TheBackend();
    DWORD start = Ticks();
    for (;;) {
        backend.Pump();
        for (DWORD i = 0; i < count; ++i)
            if (W32_WaitReady(handles[i]))
                return WAIT_OBJECT_0 + i;
        if (QueueReady(q, wake_mask))
            return WAIT_OBJECT_0 + count;
        int wait_ms = -1;
        if (timeout != INFINITE) {
            DWORD gone = Ticks() - start;
            if (gone >= timeout)
                return WAIT_TIMEOUT;
            wait_ms = int(timeout - gone);
        }
        std::vector<pollfd> fds;
        fds.push_back(pollfd{q->wake, POLLIN, 0});
        int display = backend.Descriptor();
        if (display >= 0)
            fds.push_back(pollfd{display, POLLIN, 0});
        for (DWORD i = 0; i < count; ++i) {
            int fd[2];
            int n = W32_WaitDescriptors(handles[i], fd);
            if (n < 0)
                return WAIT_FAILED;
            for (int k = 0; k < n; ++k)
                fds.push_back(pollfd{fd[k], POLLIN, 0});
        }
        int rc = ::poll(fds.data(), fds.size(), wait_ms);
        if (rc < 0 && errno != EINTR)
            return WAIT_FAILED;
        DrainWake(q);
    }
}

UINT RegisterWindowMessageA(LPCSTR name)
{
    if (name == nullptr || name[0] == '\0')
        return 0;
    Guard g(S().lock);
    std::string key = Lower(name);
    auto& m = S().messages;
    for (size_t i = 0; i < m.size(); ++i)
        if (m[i] == key)
            return UINT(0xC000u + i);
    if (m.size() >= 0x3FFFu)
        return 0;
    m.push_back(key);
    return UINT(0xC000u + m.size() - 1);
}

DWORD GetMessageTime()
{
    return MyQueue()->last_time;
}

// ---- Painting --------------------------------------------------------------------------

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase)
{
    Guard g(S().lock);
    W32_Window* w = Own(hwnd);
    if (w == nullptr)
        return FALSE;
    InvalidateInside(w, rect != nullptr ? *rect : ClientOf(w), erase != FALSE);
    return TRUE;
}

BOOL ValidateRect(HWND hwnd, const RECT* rect)
{
    Guard g(S().lock);
    W32_Window* w = Own(hwnd);
    if (w == nullptr)
        return FALSE;
    if (!w->has_update)
        return TRUE;
    if (rect == nullptr) {
        w->has_update = false;
        w->erase = false;
        return TRUE;
    }
    // The update region is kept as one rectangle: what remains of it
    // when a whole side is covered, otherwise it stays.
    RECT u = w->update, v = *rect;
    if (v.left <= u.left && v.right >= u.right && v.top <= u.top && v.bottom >= u.bottom) {
        w->has_update = false;
        w->erase = false;
    } else if (v.left <= u.left && v.right >= u.right) {
        if (v.top <= u.top && v.bottom > u.top)
            u.top = v.bottom;
        else if (v.bottom >= u.bottom && v.top < u.bottom)
            u.bottom = v.top;
    } else if (v.top <= u.top && v.bottom >= u.bottom) {
        if (v.left <= u.left && v.right > u.left)
            u.left = v.right;
        else if (v.right >= u.right && v.left < u.right)
            u.right = v.left;
    }
    if (w->has_update) {
        w->update = u;
        if (Empty(u))
            w->has_update = false;
    }
    return TRUE;
}

BOOL GetUpdateRect(HWND hwnd, RECT* rect, BOOL)
{
    Guard g(S().lock);
    W32_Window* w = Own(hwnd);
    if (w == nullptr)
        return FALSE;
    if (rect != nullptr)
        *rect = w->has_update ? w->update : RECT{0, 0, 0, 0};
    return w->has_update ? TRUE : FALSE;
}

BOOL UpdateWindow(HWND hwnd)
{
    bool pending;
    {
        Guard g(S().lock);
        W32_Window* w = Own(hwnd);
        if (w == nullptr)
            return FALSE;
        pending = w->has_update && w->visible;
    }
    if (pending)
        Send(hwnd, WM_PAINT, 0, 0);
    return TRUE;
}

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* paint)
{
    if (paint == nullptr)
        return nullptr;
    std::memset(paint, 0, sizeof *paint);
    HDC dc;
    bool erase;
    {
        Guard g(S().lock);
        W32_Window* w = Own(hwnd);
        if (w == nullptr)
            return nullptr;
        dc = S().dcs[w];
        paint->hdc = dc;
        paint->rcPaint = w->has_update ? w->update : RECT{0, 0, 0, 0};
        erase = w->has_update && w->erase;
        w->has_update = false;
        w->erase = false;
        w->painting = true;
        w->paint = paint->rcPaint;
    }
    paint->fErase = erase ? TRUE : FALSE;
    if (erase)
        paint->fErase = Send(hwnd, WM_ERASEBKGND, WPARAM(dc), 0) != 0 ? FALSE : TRUE;
    return dc;
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT*)
{
    Guard g(S().lock);
    W32_Window* w = Own(hwnd);
    if (w == nullptr)
        return FALSE;
    w->painting = false;
    return TRUE;
}

HDC GetDC(HWND hwnd)
{
    Guard g(S().lock);
    W32_Window* w = Own(hwnd);
    return w != nullptr ? S().dcs[w] : nullptr;
}

int ReleaseDC(HWND hwnd, HDC dc)
{
    return GetDC(hwnd) == dc && dc != nullptr ? 1 : 0;
}

HPALETTE SelectPalette(HDC, HPALETTE palette, BOOL)
{
    return palette;
}

UINT RealizePalette(HDC)
{
    // Every screen here is true colour: there is no palette to realise.
    return 0;
}

namespace {

struct Channel {
    unsigned shift = 0;
    unsigned bits = 0;
};

Channel ChannelOf(DWORD mask)
{
    Channel c;
    if (mask == 0)
        return c;
    while (!((mask >> c.shift) & 1))
        ++c.shift;
    while (c.shift + c.bits < 32 && ((mask >> (c.shift + c.bits)) & 1))
        ++c.bits;
    return c;
}

// A channel's value widened to 8 bits by repeating its bits (5 bits of
// 11111 give 0xFF, as the platform's own drawing shows them).
unsigned Widen(uint32_t pixel, const Channel& c)
{
    if (c.bits == 0)
        return 0;
    unsigned v = (pixel >> c.shift) & ((1u << c.bits) - 1u);
    if (c.bits >= 8)
        return v >> (c.bits - 8);
    unsigned out = 0, filled = 0;
    for (; filled < 8; filled += c.bits)
        out = (out << c.bits) | v;
    return (out >> (filled - 8)) & 0xFFu;
}

// The 8-bit value of every value a channel of at most 8 bits can hold:
// a window's image is converted pixel by pixel, and widening each channel
// of each pixel again would be a large part of a redraw.
struct WideTable {
    explicit WideTable(const Channel& c) : channel(c)
    {
        if (c.bits <= 8)
            for (unsigned v = 0; v < (1u << c.bits); ++v)
                table[v] = std::uint8_t(Widen(v << c.shift, c));
    }
    unsigned operator()(uint32_t pixel) const
    {
        if (channel.bits > 8)
            return Widen(pixel, channel);
        return table[(pixel >> channel.shift) & ((1u << channel.bits) - 1u)];
    }
    Channel channel;
    std::uint8_t table[256] = {};
};

} // namespace

int SetDIBitsToDevice(HDC hdc, int x_dest, int y_dest, DWORD width, DWORD height, int x_src,
                      int y_src, UINT start_scan, UINT lines, const void* bits,
                      const BITMAPINFO* info, UINT)
{
    DC* dc = static_cast<DC*>(hdc);
    if (dc == nullptr || dc->magic != kDCMagic || bits == nullptr || info == nullptr)
        return 0;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    unsigned bpp = h.biBitCount;
    if (h.biWidth <= 0 || h.biHeight == 0 || (bpp != 16 && bpp != 24 && bpp != 32) ||
        (h.biCompression != BI_RGB && h.biCompression != BI_BITFIELDS) || width > 0x8000u ||
        height > 0x8000u)
        return 0;
    long dib_w = h.biWidth;
    long dib_h = h.biHeight < 0 ? -long(h.biHeight) : long(h.biHeight);
    bool top_down = h.biHeight < 0;
    Channel r, g, b;
    if (h.biCompression == BI_BITFIELDS) {
        if (bpp == 24 || h.biSize < sizeof(BITMAPINFOHEADER) || h.biSize > 124)
            return 0;
        DWORD masks[3];
        std::memcpy(masks, reinterpret_cast<const unsigned char*>(info) + h.biSize, sizeof masks);
        r = ChannelOf(masks[0]);
        g = ChannelOf(masks[1]);
        b = ChannelOf(masks[2]);
    } else if (bpp == 16) {
        r = ChannelOf(0x7C00);
        g = ChannelOf(0x03E0);
        b = ChannelOf(0x001F);
    } else {
        r = ChannelOf(0xFF0000);
        g = ChannelOf(0x00FF00);
        b = ChannelOf(0x0000FF);
    }
    size_t stride = (size_t(dib_w) * bpp + 31) / 32 * 4;

    // Only what the clip lets through is converted.
    RECT clip;
    {
        Guard gd(S().lock);
        W32_Window* w = Own(dc->hwnd);
        if (w == nullptr)
            return 0;
        clip = w->painting ? Intersect(ClientOf(w), w->paint) : ClientOf(w);
    }
    long cx0 = std::max<long>(0, long(clip.left) - x_dest),
         cx1 = std::min<long>(long(width), long(clip.right) - x_dest);
    long cy0 = std::max<long>(0, long(clip.top) - y_dest),
         cy1 = std::min<long>(long(height), long(clip.bottom) - y_dest);
    int rows = 0;
    const unsigned char* base = static_cast<const unsigned char*>(bits);
    // The converted rows go through one buffer of the thread's, kept from
    // call to call: a window's redraw is a fresh image's worth of memory
    // otherwise, every time.
    thread_local std::vector<uint32_t> out;
    out.clear();
    if (cx1 > cx0 && cy1 > cy0)
        out.reserve(size_t(cx1 - cx0) * size_t(cy1 - cy0));
    const WideTable wide_r(r), wide_g(g), wide_b(b);
    // Bytes blue, green, red (and one more) already are the colour word.
    const bool words = bpp == 32 && r.shift == 16 && r.bits == 8 && g.shift == 8 && g.bits == 8 &&
                       b.shift == 0 && b.bits == 8;
    long run_start = -1; // first row of the run of converted rows in `out`
    auto flush = [&](long end) {
        if (run_start < 0)
            return;
        Guard gd(S().lock);
        if (W32_Window* w = Own(dc->hwnd))
            W32_TheBackend().Put(w, x_dest + int(cx0), y_dest + int(run_start), int(cx1 - cx0),
                                 int(end - run_start), out.data(), int(cx1 - cx0), clip);
        out.clear();
        run_start = -1;
    };
    for (long j = 0; j < long(height); ++j) {
        long from_top = dib_h - long(y_src) - long(height) + j;
        long scan = dib_h - 1 - from_top; // counted from the bottom
        if (from_top < 0 || from_top >= dib_h || scan < long(start_scan) ||
            scan >= long(start_scan) + long(lines)) {
            flush(j); // rows outside the DIB are not touched
            continue;
        }
        ++rows;
        if (j < cy0 || j >= cy1 || cx1 <= cx0)
            continue;
        long index = top_down ? long(start_scan) + long(lines) - 1 - scan : scan - long(start_scan);
        const unsigned char* row = base + size_t(index) * stride;
        if (run_start < 0)
            run_start = j;
        if (long(x_src) + cx0 >= 0 && long(x_src) + cx1 <= dib_w && bpp != 24) {
            // The whole run inside the row: converted in place, without a
            // test per pixel.
            const size_t at = out.size();
            const size_t n = size_t(cx1 - cx0);
            out.resize(at + n);
            uint32_t* to = out.data() + at;
            const unsigned char* from = row + (long(x_src) + cx0) * long(bpp / 8);
            if (words) {
                std::memcpy(to, from, n * 4);
                for (size_t k = 0; k < n; ++k)
                    to[k] &= 0xFFFFFFu;
            } else if (bpp == 16) {
                for (size_t k = 0; k < n; ++k) {
                    const uint32_t p = uint32_t(from[2 * k]) | uint32_t(from[2 * k + 1]) << 8;
                    to[k] = wide_r(p) << 16 | wide_g(p) << 8 | wide_b(p);
                }
            } else {
                for (size_t k = 0; k < n; ++k) {
                    uint32_t p;
                    std::memcpy(&p, from + 4 * k, 4);
                    to[k] = wide_r(p) << 16 | wide_g(p) << 8 | wide_b(p);
                }
            }
            continue;
        }
        for (long i = cx0; i < cx1; ++i) {
            long x = long(x_src) + i;
            uint32_t p = 0;
            if (x >= 0 && x < dib_w) {
                if (bpp == 16)
                    p = uint32_t(row[x * 2]) | uint32_t(row[x * 2 + 1]) << 8;
                else if (bpp == 24)
                    p = uint32_t(row[x * 3]) | uint32_t(row[x * 3 + 1]) << 8 |
                        uint32_t(row[x * 3 + 2]) << 16;
                else
                    std::memcpy(&p, row + x * 4, 4);
            }
            out.push_back(wide_r(p) << 16 | wide_g(p) << 8 | wide_b(p));
        }
    }
    flush(long(height));
    return rows;
}

// ---- Keyboard ------------------------------------------------------------------------------

short GetKeyState(int virtual_key)
{
    BYTE k = t_keys[virtual_key & 0xFF];
    return short(((k & 0x80) ? 0x8000 : 0) | (k & 1));
}

BOOL GetKeyboardState(BYTE* state)
{
    if (state == nullptr)
        return FALSE;
    std::memcpy(state, t_keys, 256);
    return TRUE;
}

int ToAscii(UINT virtual_key, UINT scan_code, const BYTE* state, WORD* out, UINT)
{
    if (state == nullptr || out == nullptr)
        return 0;
    W32_CharOfKey fn;
    {
        Guard g(S().lock);
        fn = S().char_of_key;
    }
    int c = -1;
    if (t_key_character >= 0 && (virtual_key & 0xFF) == t_key_vk)
        c = t_key_character;
    else if (fn != nullptr)
        c = fn(virtual_key & 0xFF, scan_code, state);
    if (c < 0)
        c = UsChar(virtual_key & 0xFF, state);
    // The characters are 8-bit: one beyond ISO 8859-1 has none of its own,
    // and cutting it down would give an unrelated one.
    if (c <= 0 || c > 0xFF)
        return 0;
    *out = WORD(c);
    return 1;
}

// ---- Cursor position and metrics --------------------------------------------------------------

BOOL GetCursorPos(POINT* point)
{
    if (point == nullptr)
        return FALSE;
    return W32_TheBackend().CursorPos(*point) ? TRUE : FALSE;
}

BOOL SetCursorPos(int x, int y)
{
    W32_TheBackend().MoveCursor(x, y);
    return TRUE;
}

int GetSystemMetrics(int index)
{
    int w = 0, h = 0;
    switch (index) {
    case SM_CXSCREEN:
    case SM_CYSCREEN:
    case SM_CXMAXIMIZED:
    case SM_CYMAXIMIZED:
        W32_TheBackend().ScreenSize(w, h);
        if (index == SM_CXSCREEN)
            return w;
        if (index == SM_CYSCREEN)
            return h;
        return (index == SM_CXMAXIMIZED ? w : h) + 8;
    case SM_CXCURSOR:
    case SM_CYCURSOR:
        return 32;
    case SM_CXSIZEFRAME:
    case SM_CYSIZEFRAME:
        return 4;
    case SM_CXEDGE:
    case SM_CYEDGE:
        return 2;
    case SM_CXBORDER:
    case SM_CYBORDER:
        return 1;
    case SM_CYCAPTION:
        return 20;
    case SM_CYSMCAPTION:
        return 17;
    default:
        return 0;
    }
}
