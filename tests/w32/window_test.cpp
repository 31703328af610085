#include "w32/winuser.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>
#include <vector>

#include "w32/handle.h"
#include "w32/headless.h"
#include "w32/kernel.h"

namespace {

struct Seen {
    HWND hwnd;
    UINT message;
    WPARAM wparam;
    LPARAM lparam;
};

std::vector<Seen> g_seen;
// What the procedure answers to WM_MOUSEACTIVATE, and whether it keeps
// z-order changes out.
LRESULT g_mouse_activate = MA_ACTIVATE;
bool g_block_zorder = false;

LRESULT Record(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam)
{
    g_seen.push_back(Seen{hwnd, message, wparam, lparam});
    if (message == WM_MOUSEACTIVATE)
        return g_mouse_activate;
    if (message == WM_WINDOWPOSCHANGING && g_block_zorder)
        reinterpret_cast<WINDOWPOS*>(lparam)->flags |= SWP_NOZORDER;
    return DefWindowProcA(hwnd, message, wparam, lparam);
}

// Every test registers the recording class and destroys what it made.
class Windows : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(W32_HeadlessInUse());
        g_seen.clear();
        g_mouse_activate = MA_ACTIVATE;
        g_block_zorder = false;
        WNDCLASSEXA wc;
        std::memset(&wc, 0, sizeof wc);
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = Record;
        wc.cbWndExtra = 20;
        wc.lpszClassName = "Test:Record";
        ASSERT_NE(RegisterClassExA(&wc), 0);
    }
    void TearDown() override
    {
        for (HWND h : made)
            DestroyWindow(h);
        EXPECT_TRUE(UnregisterClassA("Test:Record", nullptr));
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {}
        W32_HeadlessMouse(0, 0, 0);
    }
    HWND Make(int x, int y, int w, int h, DWORD ex_style = 0)
    {
        HWND hwnd = CreateWindowExA(ex_style, "Test:Record", "t", WS_POPUP, x, y, w, h, nullptr,
                                    nullptr, nullptr, nullptr);
        EXPECT_NE(hwnd, nullptr);
        made.push_back(hwnd);
        return hwnd;
    }
    // The messages taken from the queue, in order.
    std::vector<MSG> Drain()
    {
        std::vector<MSG> out;
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            out.push_back(m);
            DispatchMessageA(&m);
        }
        return out;
    }
    std::vector<UINT> SeenMessages(HWND hwnd)
    {
        std::vector<UINT> out;
        for (const Seen& s : g_seen)
            if (s.hwnd == hwnd)
                out.push_back(s.message);
        return out;
    }
    std::vector<HWND> made;
};

TEST_F(Windows, ClassesAreUniqueByNameAndOutliveNoWindow)
{
    WNDCLASSEXA wc;
    std::memset(&wc, 0, sizeof wc);
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = Record;
    wc.lpszClassName = "TEST:record"; // letter case does not count
    EXPECT_EQ(RegisterClassExA(&wc), 0);
    EXPECT_EQ(GetLastError(), ERROR_CLASS_ALREADY_EXISTS);

    HWND w = Make(0, 0, 10, 10);
    EXPECT_FALSE(UnregisterClassA("Test:Record", nullptr)); // a window of it lives
    char name[64];
    EXPECT_EQ(GetClassNameA(w, name, sizeof name), 11);
    EXPECT_STREQ(name, "Test:Record");
    EXPECT_EQ(GetClassNameA(w, name, 5), 4); // cut, terminated
    EXPECT_STREQ(name, "Test");
    EXPECT_EQ(
        CreateWindowExA(0, "No:Such", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
        nullptr);
}

TEST_F(Windows, WordsHoldPointersAnd32BitValuesWithinTheExtraBytes)
{
    HWND w = Make(0, 0, 10, 10);
    int object;
    EXPECT_EQ(SetWindowLongPtrA(w, 0, LONG_PTR(&object)), 0);
    EXPECT_EQ(SetWindowLongA(w, 8, LONG(0xCA11BABEu)), 0);
    EXPECT_EQ(SetWindowLongA(w, 16, 7), 0);
    EXPECT_EQ(GetWindowLongPtrA(w, 0), LONG_PTR(&object));
    EXPECT_EQ(DWORD(GetWindowLongA(w, 8)), 0xCA11BABEu);
    EXPECT_EQ(GetWindowLongA(w, 16), 7);
    // Words that do not fit in the 20 bytes are 0 and are not written.
    EXPECT_EQ(GetWindowLongA(w, 17), 0);
    EXPECT_EQ(SetWindowLongA(w, 20, 5), 0);
    EXPECT_EQ(GetWindowLongPtrA(w, 16), 0);
    EXPECT_EQ(GetWindowLongA(nullptr, 0), 0);
}

TEST_F(Windows, PostedMessagesComeInOrderBeforeInputAndPaint)
{
    HWND w = Make(10, 10, 50, 50);
    ShowWindow(w, SW_SHOWNOACTIVATE); // shown: the whole window needs painting
    W32_HeadlessMouse(20, 20, 0);
    PostMessageA(w, WM_USER + 1, 1, 0);
    PostThreadMessageA(GetCurrentThreadId(), WM_USER + 2, 2, 0);
    std::vector<MSG> got = Drain();
    ASSERT_EQ(got.size(), 4u);
    EXPECT_EQ(got[0].message, WM_USER + 1);
    EXPECT_EQ(got[0].hwnd, w);
    EXPECT_EQ(got[1].message, WM_USER + 2);
    EXPECT_EQ(got[1].hwnd, nullptr);
    EXPECT_EQ(got[2].message, WM_MOUSEMOVE);
    EXPECT_EQ(got[3].message, WM_PAINT); // served by the default handling: no more paints
    RECT r;
    EXPECT_FALSE(GetUpdateRect(w, &r, FALSE));

    PostQuitMessage(3);
    MSG m;
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, WM_QUIT);
    EXPECT_EQ(m.wParam, 3u);
    EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(Windows, APostFromAnotherThreadWakesTheWait)
{
    DWORD me = GetCurrentThreadId();
    std::thread other([me] { PostThreadMessageA(me, 0x8001, 0, 0); });
    DWORD result = MsgWaitForMultipleObjects(0, nullptr, FALSE, INFINITE, 0xBF);
    other.join();
    EXPECT_EQ(result, WAIT_OBJECT_0);
    MSG m;
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, 0x8001u);
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, 0xBF), WAIT_TIMEOUT);
}

TEST_F(Windows, TheWaitAnswersForHandlesBeforeTheQueue)
{
    HANDLE events[2] = {CreateEventA(nullptr, FALSE, FALSE, nullptr),
                        CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    EXPECT_EQ(MsgWaitForMultipleObjects(2, events, FALSE, 0, QS_ALLINPUT), WAIT_TIMEOUT);
    PostThreadMessageA(GetCurrentThreadId(), WM_USER, 0, 0);
    SetEvent(events[1]);
    EXPECT_EQ(MsgWaitForMultipleObjects(2, events, FALSE, 0, QS_ALLINPUT), WAIT_OBJECT_0 + 1);
    EXPECT_EQ(MsgWaitForMultipleObjects(2, events, FALSE, 0, QS_ALLINPUT),
              WAIT_OBJECT_0 + 1); // manual: stays
    ResetEvent(events[1]);
    std::thread other([&] { SetEvent(events[0]); });
    other.join();
    EXPECT_EQ(MsgWaitForMultipleObjects(2, events, FALSE, INFINITE, QS_ALLINPUT), WAIT_OBJECT_0);
    // Auto-reset: the answer cleared it; the queue is next.
    EXPECT_EQ(MsgWaitForMultipleObjects(2, events, FALSE, 0, QS_ALLINPUT), WAIT_OBJECT_0 + 2);
    // A mask without posted messages does not answer for them.
    EXPECT_EQ(MsgWaitForMultipleObjects(2, events, FALSE, 0, QS_KEY), WAIT_TIMEOUT);
    CloseHandle(events[0]);
    CloseHandle(events[1]);
}

TEST_F(Windows, ShowingActivatesUnlessAskedNotTo)
{
    HWND a = Make(0, 0, 20, 20);
    HWND b = Make(30, 0, 20, 20);
    ShowWindow(a, SW_SHOWNOACTIVATE);
    EXPECT_EQ(GetActiveWindow(), nullptr);
    g_seen.clear();
    ShowWindow(b, SW_SHOW);
    EXPECT_EQ(GetActiveWindow(), b);
    EXPECT_EQ(GetFocus(), b);
    std::vector<UINT> seen = SeenMessages(b);
    EXPECT_NE(std::find(seen.begin(), seen.end(), UINT(WM_SHOWWINDOW)), seen.end());
    EXPECT_NE(std::find(seen.begin(), seen.end(), UINT(WM_ACTIVATE)), seen.end());
    ShowWindow(a, SW_SHOW);
    EXPECT_EQ(GetActiveWindow(), a);
    // b was told it lost the activation, with a as the other window.
    bool told = false;
    for (const Seen& s : g_seen)
        if (s.hwnd == b && s.message == WM_ACTIVATE && LOWORD(s.wparam) == WA_INACTIVE &&
            HWND(s.lparam) == a)
            told = true;
    EXPECT_TRUE(told);

    ShowWindow(a, SW_MINIMIZE);
    EXPECT_TRUE(IsIconic(a));
    // The activation passes on to the window still shown.
    EXPECT_EQ(GetActiveWindow(), b);
    bool minimized = false, deactivated_minimized = false;
    for (const Seen& s : g_seen) {
        if (s.hwnd == a && s.message == WM_SIZE && s.wparam == SIZE_MINIMIZED)
            minimized = true;
        // The window losing the activation is told its own minimised state.
        if (s.hwnd == a && s.message == WM_ACTIVATE && LOWORD(s.wparam) == WA_INACTIVE &&
            HIWORD(s.wparam) != 0)
            deactivated_minimized = true;
    }
    EXPECT_TRUE(minimized);
    EXPECT_TRUE(deactivated_minimized);
}

TEST_F(Windows, AnActiveWindowThatGoesHandsTheKeyboardToItsOwnerOrTheTopWindow)
{
    enum Gone { HIDDEN, MINIMISED, DESTROYED };
    enum Heir { OWNER, OTHER, PALETTE, NONE };
    struct Case {
        const char* name;
        Gone gone;
        bool owner_shown, other_shown, palette_shown;
        Heir heir;
    } const cases[] = {
        // The owner wins over the application window and the palette above it.
        {"hidden", HIDDEN, true, true, true, OWNER},
        {"minimised", MINIMISED, true, true, true, OWNER},
        {"destroyed", DESTROYED, true, true, true, OWNER},
        // Without a shown owner: the top application window, never mind
        // the palette above it; a palette only when nothing else is shown.
        {"owner hidden", HIDDEN, false, true, true, OTHER},
        {"only a palette", DESTROYED, false, false, true, PALETTE},
        {"nothing shown", HIDDEN, false, false, false, NONE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto make = [](int x, DWORD ex_style, HWND owner) {
            return CreateWindowExA(ex_style, "Test:Record", "t", WS_POPUP, x, 0, 40, 40, owner,
                                   nullptr, nullptr, nullptr);
        };
        HWND other = make(0, 0, nullptr);
        HWND owner = make(50, 0, nullptr);
        HWND palette = make(100, WS_EX_TOOLWINDOW, nullptr);
        HWND dialog = make(150, WS_EX_TOOLWINDOW, owner);
        // Shown in this order: the palette ends above both application
        // windows, the owner above the other one.
        for (HWND h : {other, owner, palette})
            ShowWindow(h, SW_SHOW);
        if (!c.owner_shown)
            ShowWindow(owner, SW_HIDE);
        if (!c.other_shown)
            ShowWindow(other, SW_HIDE);
        if (!c.palette_shown)
            ShowWindow(palette, SW_HIDE);
        ShowWindow(dialog, SW_SHOW);
        ASSERT_EQ(GetActiveWindow(), dialog);
        Drain();
        g_seen.clear();

        if (c.gone == HIDDEN)
            ShowWindow(dialog, SW_HIDE);
        else if (c.gone == MINIMISED)
            ShowWindow(dialog, SW_MINIMIZE);
        else
            DestroyWindow(dialog);
        const HWND heirs[] = {owner, other, palette, nullptr};
        const HWND heir = heirs[c.heir];
        EXPECT_EQ(GetActiveWindow(), heir);
        EXPECT_EQ(GetFocus(), heir);
        // Told as a user's activation is told: active, with the window that
        // went as the other one; the focus follows.
        bool activated = false, focused = false;
        for (const Seen& s : g_seen) {
            activated = activated || (s.hwnd == heir && s.message == WM_ACTIVATE &&
                                      LOWORD(s.wparam) == WA_ACTIVE && HWND(s.lparam) == dialog);
            focused = focused || (s.hwnd == heir && s.message == WM_SETFOCUS);
        }
        EXPECT_EQ(activated, heir != nullptr);
        EXPECT_EQ(focused, heir != nullptr);
        // The next key goes there.
        W32_HeadlessKey('A', 0x1E, false, true);
        W32_HeadlessKey('A', 0x1E, false, false);
        HWND keyed = nullptr;
        for (const MSG& m : Drain())
            if (m.message == WM_KEYDOWN)
                keyed = m.hwnd;
        EXPECT_EQ(keyed, heir);

        for (HWND h : {dialog, palette, owner, other})
            if (IsWindow(h))
                DestroyWindow(h);
    }
}

TEST_F(Windows, AHiddenWindowHoldingOnlyTheFocusGivesItBackToTheActiveOne)
{
    HWND main = Make(0, 0, 40, 40);
    HWND palette = Make(50, 0, 40, 40, WS_EX_TOOLWINDOW);
    ShowWindow(palette, SW_SHOWNOACTIVATE);
    ShowWindow(main, SW_SHOW);
    // A click into the palette gives it the keyboard, not the activation.
    SetFocus(palette);
    ASSERT_EQ(GetActiveWindow(), main);
    ShowWindow(palette, SW_HIDE);
    EXPECT_EQ(GetActiveWindow(), main);
    EXPECT_EQ(GetFocus(), main);
}

TEST_F(Windows, TopmostWindowsStayAboveAndTheOrderIsWhatTheScreenShows)
{
    HWND low = Make(0, 0, 100, 100);
    HWND top = Make(50, 50, 100, 100, WS_EX_TOPMOST);
    HWND mid = Make(25, 25, 100, 100);
    for (HWND h : {low, top, mid})
        ShowWindow(h, SW_SHOWNOACTIVATE);
    std::vector<HWND> order;
    EnumWindows(
        [](HWND h, LPARAM p) {
            reinterpret_cast<std::vector<HWND>*>(p)->push_back(h);
            return TRUE;
        },
        LPARAM(&order));
    EXPECT_EQ(order, (std::vector<HWND>{top, mid, low}));
    EXPECT_EQ(WindowFromPoint(POINT{60, 60}), top);
    EXPECT_EQ(WindowFromPoint(POINT{30, 30}), mid);
    EXPECT_EQ(WindowFromPoint(POINT{10, 10}), low);
    EXPECT_EQ(WindowFromPoint(POINT{500, 500}), nullptr);

    SetWindowPos(low, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(WindowFromPoint(POINT{60, 60}), top);
    EXPECT_EQ(WindowFromPoint(POINT{30, 30}), low);
    // The window procedure may keep a window where it is.
    g_block_zorder = true;
    SetWindowPos(mid, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(WindowFromPoint(POINT{30, 30}), low);
    g_block_zorder = false;
    SetWindowPos(top, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowPos(mid, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(WindowFromPoint(POINT{60, 60}), mid);
}

TEST_F(Windows, MovesAndSizesReachTheWindowProcedure)
{
    HWND w = Make(10, 20, 30, 40);
    ShowWindow(w, SW_SHOWNOACTIVATE);
    Drain();
    g_seen.clear();
    MoveWindow(w, -5, 7, 60, 40, TRUE);
    RECT r;
    GetWindowRect(w, &r);
    EXPECT_EQ(r.left, -5);
    EXPECT_EQ(r.right, 55);
    bool move = false, size = false;
    for (const Seen& s : g_seen) {
        if (s.message == WM_MOVE)
            move = GET_X_LPARAM(s.lparam) == -5 && GET_Y_LPARAM(s.lparam) == 7;
        if (s.message == WM_SIZE)
            size = LOWORD(s.lparam) == 60 && HIWORD(s.lparam) == 40;
    }
    EXPECT_TRUE(move);
    EXPECT_TRUE(size);
    // Only the new part needs painting.
    ASSERT_TRUE(GetUpdateRect(w, &r, FALSE));
    EXPECT_EQ(r.left, 30);
    EXPECT_EQ(r.right, 60);

    // What the user does comes the same way; a close request is sent.
    g_seen.clear();
    W32_HeadlessMoveBySystem(w, RECT{100, 100, 160, 140});
    ASSERT_EQ(SeenMessages(w), (std::vector<UINT>{WM_MOVE}));
    W32_HeadlessCloseBySystem(w);
    EXPECT_FALSE(IsWindow(w)); // the default handling destroyed it
    made.clear();
}

TEST_F(Windows, UpdateRegionsAndPaintingAreKeptPerWindow)
{
    HWND w = Make(0, 0, 100, 80);
    ShowWindow(w, SW_SHOWNOACTIVATE);
    ValidateRect(w, nullptr);
    RECT r{10, 10, 20, 20};
    InvalidateRect(w, &r, FALSE);
    RECT more{50, 5, 200, 15}; // cut at the client area
    InvalidateRect(w, &more, FALSE);
    RECT u;
    ASSERT_TRUE(GetUpdateRect(w, &u, FALSE));
    EXPECT_EQ(u.left, 10);
    EXPECT_EQ(u.top, 5);
    EXPECT_EQ(u.right, 100);
    EXPECT_EQ(u.bottom, 20);
    RECT top_part{0, 0, 100, 12};
    ValidateRect(w, &top_part);
    ASSERT_TRUE(GetUpdateRect(w, &u, FALSE));
    EXPECT_EQ(u.top, 12);

    g_seen.clear();
    UpdateWindow(w); // the paint is served at once
    ASSERT_EQ(SeenMessages(w), (std::vector<UINT>{WM_PAINT}));
    EXPECT_FALSE(GetUpdateRect(w, &u, FALSE));
    g_seen.clear();
    UpdateWindow(w);
    EXPECT_TRUE(SeenMessages(w).empty());

    PAINTSTRUCT ps;
    InvalidateRect(w, &r, TRUE);
    HDC dc = BeginPaint(w, &ps);
    EXPECT_NE(dc, nullptr);
    EXPECT_EQ(ps.rcPaint.left, 10);
    EXPECT_EQ(ps.rcPaint.bottom, 20);
    EXPECT_EQ(SeenMessages(w).back(), UINT(WM_ERASEBKGND));
    EndPaint(w, &ps);
    EXPECT_FALSE(GetUpdateRect(w, &u, FALSE));
}

// One 2 x 2 DIB in every depth the library hands over, painted at (3, 4):
// the top-left pixel red, top-right green, bottom-left blue, bottom-right
// white.
struct DibCase {
    const char* name;
    WORD bits;
    DWORD compression;
    DWORD masks[3];
    std::vector<unsigned char> top_row, bottom_row; // each padded to 4 bytes
};

TEST_F(Windows, DIBsOfEveryDepthReachTheScreenAsTheirColours)
{
    const DibCase cases[] = {
        {"565",
         16,
         BI_BITFIELDS,
         {0xF800, 0x07E0, 0x001F},
         {0x00, 0xF8, 0xE0, 0x07},
         {0x1F, 0x00, 0xFF, 0xFF}},
        {"555 bit fields",
         16,
         BI_BITFIELDS,
         {0x7C00, 0x03E0, 0x001F},
         {0x00, 0x7C, 0xE0, 0x03},
         {0x1F, 0x00, 0xFF, 0x7F}},
        {"555", 16, BI_RGB, {0, 0, 0}, {0x00, 0x7C, 0xE0, 0x03}, {0x1F, 0x00, 0xFF, 0x7F}},
        {"24",
         24,
         BI_RGB,
         {0, 0, 0},
         {0, 0, 0xFF, 0, 0xFF, 0, 0, 0},
         {0xFF, 0, 0, 0xFF, 0xFF, 0xFF, 0, 0}},
        {"32",
         32,
         BI_RGB,
         {0, 0, 0},
         {0, 0, 0xFF, 0, 0, 0xFF, 0, 0},
         {0xFF, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0}},
    };
    HWND w = Make(100, 100, 20, 20);
    ShowWindow(w, SW_SHOWNOACTIVATE);
    for (const DibCase& c : cases) {
        for (bool top_down : {true, false}) {
            SCOPED_TRACE(std::string(c.name) + (top_down ? " top-down" : " bottom-up"));
            BITMAPINFO info;
            std::memset(&info, 0, sizeof info);
            info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
            info.bmiHeader.biWidth = 2;
            info.bmiHeader.biHeight = top_down ? -2 : 2;
            info.bmiHeader.biPlanes = 1;
            info.bmiHeader.biBitCount = c.bits;
            info.bmiHeader.biCompression = c.compression;
            std::memcpy(info.bmiColors, c.masks, sizeof c.masks);
            std::vector<unsigned char> bits = top_down ? c.top_row : c.bottom_row;
            const std::vector<unsigned char>& second = top_down ? c.bottom_row : c.top_row;
            bits.insert(bits.end(), second.begin(), second.end());
            HDC dc = GetDC(w);
            EXPECT_EQ(
                SetDIBitsToDevice(dc, 3, 4, 2, 2, 0, 0, 0, 2, bits.data(), &info, DIB_RGB_COLORS),
                2);
            EXPECT_EQ(W32_HeadlessScreenPixel(103, 104), 0xFF0000u);
            EXPECT_EQ(W32_HeadlessScreenPixel(104, 104), 0x00FF00u);
            EXPECT_EQ(W32_HeadlessScreenPixel(103, 105), 0x0000FFu);
            EXPECT_EQ(W32_HeadlessScreenPixel(104, 105), 0xFFFFFFu);
            // The source row is counted from the DIB's bottom: y_src 1 and
            // one row is the DIB's top row.
            EXPECT_EQ(
                SetDIBitsToDevice(dc, 10, 10, 2, 1, 0, 1, 0, 2, bits.data(), &info, DIB_RGB_COLORS),
                1);
            EXPECT_EQ(W32_HeadlessScreenPixel(110, 110), 0xFF0000u);
            EXPECT_EQ(W32_HeadlessScreenPixel(111, 110), 0x00FF00u);
        }
    }
}

TEST_F(Windows, PaintingKeepsInsideThePaintRectangleAndTheWindow)
{
    HWND w = Make(0, 0, 10, 10);
    ShowWindow(w, SW_SHOWNOACTIVATE);
    std::vector<uint32_t> white(16 * 16, 0xFFFFFFu);
    BITMAPINFO info;
    std::memset(&info, 0, sizeof info);
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 16;
    info.bmiHeader.biHeight = -16;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    ValidateRect(w, nullptr);
    RECT r{2, 2, 4, 4};
    InvalidateRect(w, &r, FALSE);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(w, &ps);
    SetDIBitsToDevice(dc, 0, 0, 16, 16, 0, 0, 0, 16, white.data(), &info, DIB_RGB_COLORS);
    EndPaint(w, &ps);
    uint32_t p = 1;
    EXPECT_TRUE(W32_HeadlessWindowPixel(w, 2, 3, p));
    EXPECT_EQ(p, 0xFFFFFFu);
    EXPECT_TRUE(W32_HeadlessWindowPixel(w, 4, 3, p));
    EXPECT_EQ(p, 0u);
    // Outside a paint: the whole window, never beyond it.
    SetDIBitsToDevice(GetDC(w), 0, 0, 16, 16, 0, 0, 0, 16, white.data(), &info, DIB_RGB_COLORS);
    EXPECT_TRUE(W32_HeadlessWindowPixel(w, 9, 9, p));
    EXPECT_EQ(p, 0xFFFFFFu);
    EXPECT_FALSE(W32_HeadlessWindowPixel(w, 10, 9, p));
    EXPECT_EQ(W32_HeadlessScreenPixel(10, 9), 0u);
    // Bad descriptions are refused.
    info.bmiHeader.biBitCount = 8;
    EXPECT_EQ(
        SetDIBitsToDevice(GetDC(w), 0, 0, 16, 16, 0, 0, 0, 16, white.data(), &info, DIB_RGB_COLORS),
        0);
}

TEST_F(Windows, AClickGivesMoveThenButtonMessagesInClientCoordinates)
{
    HWND w = Make(100, 80, 200, 150);
    ShowWindow(w, SW_SHOWNOACTIVATE);
    Drain();
    g_mouse_activate = MA_NOACTIVATE;
    W32_HeadlessMouse(150, 120, MK_LBUTTON);
    W32_HeadlessMouse(150, 120, 0);
    std::vector<MSG> got = Drain();
    std::vector<MSG> mouse;
    for (const MSG& m : got)
        if (m.message >= WM_MOUSEMOVE && m.message <= WM_MBUTTONUP)
            mouse.push_back(m);
    ASSERT_EQ(mouse.size(), 4u);
    EXPECT_EQ(mouse[0].message, WM_MOUSEMOVE);
    EXPECT_EQ(mouse[1].message, WM_LBUTTONDOWN);
    EXPECT_EQ(mouse[1].wParam & MK_LBUTTON, MK_LBUTTON);
    EXPECT_EQ(GET_X_LPARAM(mouse[1].lParam), 50);
    EXPECT_EQ(GET_Y_LPARAM(mouse[1].lParam), 40);
    EXPECT_EQ(mouse[3].message, WM_LBUTTONUP);
    EXPECT_EQ(mouse[3].wParam & MK_LBUTTON, 0u);
    // Not activated: the procedure said so.
    EXPECT_EQ(GetActiveWindow(), nullptr);
    std::vector<UINT> seen = SeenMessages(w);
    EXPECT_NE(std::find(seen.begin(), seen.end(), UINT(WM_SETCURSOR)), seen.end());

    // With the capture, the pointer outside still goes to the window, with
    // coordinates that may be negative.
    SetCapture(w);
    EXPECT_EQ(W32_HeadlessGrab(), w);
    W32_HeadlessMouse(90, 70, MK_RBUTTON);
    got = Drain();
    ASSERT_GE(got.size(), 2u);
    EXPECT_EQ(got.back().message, WM_RBUTTONDOWN);
    EXPECT_EQ(got.back().hwnd, w);
    EXPECT_EQ(GET_X_LPARAM(got.back().lParam), -10);
    ReleaseCapture();
    EXPECT_EQ(W32_HeadlessGrab(), nullptr);
    // Nothing under the pointer: the window it was in hears only that it
    // left, and only once.
    W32_HeadlessMouse(90, 70, 0);
    got = Drain();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].message, WM_MOUSELEAVE);
    EXPECT_EQ(got[0].hwnd, w);
    W32_HeadlessMouse(80, 70, 0);
    EXPECT_TRUE(Drain().empty());
}

TEST_F(Windows, KeysCarryScanExtendedAltRepeatAndReleaseBits)
{
    HWND w = Make(0, 0, 10, 10);
    ShowWindow(w, SW_SHOW);
    Drain();
    W32_HeadlessKey('A', 0x1E, false, true);
    W32_HeadlessKey('A', 0x1E, false, true); // auto-repeat
    W32_HeadlessKey('A', 0x1E, false, false);
    W32_HeadlessKey(VK_RETURN, 0x1C, true, true); // keypad Enter
    W32_HeadlessKey(VK_MENU, 0x38, false, true);
    W32_HeadlessKey('F', 0x21, false, true);
    W32_HeadlessKey('F', 0x21, false, false);
    W32_HeadlessKey(VK_MENU, 0x38, false, false);
    W32_HeadlessKey(VK_RETURN, 0x1C, true, false);
    struct Want {
        UINT message;
        WPARAM vk;
        DWORD lparam;
    } const want[] = {
        {WM_KEYDOWN, 'A', 0x001E0001u},        {WM_KEYDOWN, 'A', 0x401E0001u},
        {WM_KEYUP, 'A', 0xC01E0001u},          {WM_KEYDOWN, VK_RETURN, 0x011C0001u},
        {WM_SYSKEYDOWN, VK_MENU, 0x20380001u}, {WM_SYSKEYDOWN, 'F', 0x20210001u},
        {WM_SYSKEYUP, 'F', 0xE0210001u},       {WM_SYSKEYUP, VK_MENU, 0xC0380001u},
        {WM_KEYUP, VK_RETURN, 0xC11C0001u},
    };
    MSG m;
    for (const Want& k : want) {
        ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
        EXPECT_EQ(m.message, k.message);
        EXPECT_EQ(m.wParam, k.vk);
        EXPECT_EQ(DWORD(m.lParam), k.lparam) << std::hex << m.lParam;
        EXPECT_EQ(m.hwnd, w);
        if (m.message == WM_SYSKEYDOWN && m.wParam == 'F') {
            EXPECT_LT(GetKeyState(VK_MENU), 0); // follows the messages taken
        }
    }
    EXPECT_GE(GetKeyState(VK_MENU), 0);
}

TEST_F(Windows, ToAsciiAndTranslateGiveTheCharacterOfTheKeyboardState)
{
    struct Case {
        UINT vk;
        std::vector<int> held; // keys down; VK_CAPITAL means toggled
        int want;              // 0: no character
    } const cases[] = {
        {'A', {}, 'a'},
        {'A', {VK_SHIFT}, 'A'},
        {'A', {VK_CAPITAL}, 'A'},
        {'A', {VK_CAPITAL, VK_SHIFT}, 'a'},
        {'A', {VK_CONTROL}, 1},
        {'Z', {VK_CONTROL}, 26},
        {'1', {}, '1'},
        {'1', {VK_SHIFT}, '!'},
        {VK_NUMPAD0 + 7, {}, '7'},
        {VK_SPACE, {}, ' '},
        {VK_LEFT, {}, 0},
        {VK_F1, {}, 0},
        {0xBD, {VK_SHIFT}, '_'},
    };
    for (const Case& c : cases) {
        BYTE state[256] = {};
        for (int k : c.held)
            state[k] = k == VK_CAPITAL ? 1 : 0x80;
        WORD ch = 0;
        int n = ToAscii(c.vk, 0, state, &ch, 0);
        EXPECT_EQ(n, c.want != 0 ? 1 : 0) << c.vk;
        if (c.want != 0) {
            EXPECT_EQ(ch, c.want) << c.vk;
        }
    }

    HWND w = Make(0, 0, 10, 10);
    ShowWindow(w, SW_SHOW);
    Drain();
    W32_HeadlessKey(VK_SHIFT, 0x2A, false, true);
    W32_HeadlessKey('Q', 0x10, false, true);
    MSG m;
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)); // Shift
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)); // Q
    EXPECT_TRUE(TranslateMessage(&m));
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, WM_CHAR);
    EXPECT_EQ(m.wParam, WPARAM('Q'));
    W32_HeadlessKey('Q', 0x10, false, false);
    W32_HeadlessKey(VK_SHIFT, 0x2A, false, false);
    Drain();
}

TEST(SystemMetrics, FramesCaptionsScreenAndCursor)
{
    struct Case {
        int index;
        int want;
    } const cases[] = {
        {SM_CXSIZEFRAME, 4},    {SM_CYSIZEFRAME, 4},    {SM_CXEDGE, 2},      {SM_CYEDGE, 2},
        {SM_CXBORDER, 1},       {SM_CYBORDER, 1},       {SM_CYCAPTION, 20},  {SM_CYSMCAPTION, 17},
        {SM_CXCURSOR, 32},      {SM_CYCURSOR, 32},      {SM_CXSCREEN, 1280}, {SM_CYSCREEN, 1024},
        {SM_CXMAXIMIZED, 1288}, {SM_CYMAXIMIZED, 1032}, {9999, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetSystemMetrics(c.index), c.want) << c.index;
}

} // namespace
