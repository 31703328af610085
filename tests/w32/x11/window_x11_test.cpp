// The window layer over X11, under Xvfb. A second connection to the server
// plays the part of the user (XTest) and of other programs.
#include "w32/winuser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <poll.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xfixes.h>
#include <X11/keysym.h>

#include "tests/support/xkeys.h"
#include "tests/support/xvfb.h"
#include "w32/clipboard.h"
#include "w32/cursor.h"
#include "w32/ddraw.h"
#include "w32/kernel.h"
#include "w32/x11.h"

namespace {

auto* const g_xvfb = ::testing::AddGlobalTestEnvironment(new XvfbEnvironment);

std::vector<MSG> g_sent;

LRESULT Record(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam)
{
    g_sent.push_back(MSG{hwnd, message, wparam, lparam, 0, POINT{0, 0}});
    return DefWindowProcA(hwnd, message, wparam, lparam);
}

class X11Windows : public ::testing::Test {
protected:
    void SetUp() override
    {
        ZUVI_REQUIRE_XVFB();
        ASSERT_TRUE(W32_X11InUse());
        peer = XOpenDisplay(nullptr);
        ASSERT_NE(peer, nullptr);
        WNDCLASSEXA wc;
        std::memset(&wc, 0, sizeof wc);
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = Record;
        wc.cbWndExtra = 20;
        wc.lpszClassName = "Zuvi:Grail:1X:test_x11:1:2";
        ASSERT_NE(RegisterClassExA(&wc), 0);
        g_sent.clear();
    }
    void TearDown() override
    {
        if (window != nullptr && IsWindow(window))
            DestroyWindow(window);
        UnregisterClassA("Zuvi:Grail:1X:test_x11:1:2", nullptr);
        if (peer != nullptr)
            XCloseDisplay(peer);
    }

    void Open(int x, int y, int w, int h)
    {
        window = CreateWindowExA(0, "Zuvi:Grail:1X:test_x11:1:2", "essai", WS_POPUP, x, y, w, h,
                                 nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
        xid = W32_X11Window(window);
        ShowWindow(window, SW_SHOW);
        ASSERT_TRUE(WaitFor(WM_PAINT).message == WM_PAINT); // the first expose
    }

    // Takes and dispatches messages until one of the kind arrives; the
    // update rectangle of a WM_PAINT is kept in `paint`. Gives up after
    // many rounds (the message then reads WM_NULL).
    MSG WaitFor(UINT message)
    {
        for (int round = 0; round < 400; ++round) {
            MSG m;
            while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
                taken.push_back(m);
                if (m.message == WM_PAINT)
                    GetUpdateRect(m.hwnd, &paint, FALSE);
                TranslateMessage(&m);
                DispatchMessageA(&m);
                if (m.message == message)
                    return m;
            }
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 25, QS_ALLINPUT);
        }
        return MSG{nullptr, WM_NULL, 0, 0, 0, POINT{0, 0}};
    }

    // Makes sure the server has handled what the library sent before.
    void RoundTrip()
    {
        POINT p;
        GetCursorPos(&p);
        XSync(peer, False);
    }

    uint32_t ScreenPixel(int x, int y)
    {
        RoundTrip();
        XImage* image = XGetImage(peer, Window(xid), x, y, 1, 1, AllPlanes, ZPixmap);
        if (image == nullptr)
            return 0xDEADBEEFu;
        unsigned long p = XGetPixel(image, 0, 0);
        XDestroyImage(image);
        return uint32_t(p & 0xFFFFFFu);
    }

    Display* peer = nullptr;
    HWND window = nullptr;
    unsigned long xid = 0;
    std::vector<MSG> taken;
    RECT paint{0, 0, 0, 0};
};

TEST_F(X11Windows, AWindowMapsWhereItWasMadeAndShowsDIBsInTheirColours)
{
    Open(100, 80, 200, 150);
    RoundTrip();
    XWindowAttributes a;
    ASSERT_TRUE(XGetWindowAttributes(peer, Window(xid), &a));
    int x, y;
    Window child;
    XTranslateCoordinates(peer, Window(xid), DefaultRootWindow(peer), 0, 0, &x, &y, &child);
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 80);
    EXPECT_EQ(a.width, 200);
    EXPECT_EQ(a.height, 150);
    EXPECT_EQ(a.map_state, IsViewable);

    struct Case {
        const char* name;
        WORD bits;
        DWORD compression;
        DWORD masks[3];
        std::vector<unsigned char> top_row;
    } const cases[] = {
        {"565", 16, BI_BITFIELDS, {0xF800, 0x07E0, 0x001F}, {0x00, 0xF8, 0xE0, 0x07}},
        {"555", 16, BI_RGB, {0, 0, 0}, {0x00, 0x7C, 0xE0, 0x03}},
        {"24", 24, BI_RGB, {0, 0, 0}, {0, 0, 0xFF, 0, 0xFF, 0, 0, 0}},
        {"32", 32, BI_RGB, {0, 0, 0}, {0, 0, 0xFF, 0, 0, 0xFF, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BITMAPINFO info;
        std::memset(&info, 0, sizeof info);
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = 2;
        info.bmiHeader.biHeight = -2; // top-down, as the library's surfaces
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = c.bits;
        info.bmiHeader.biCompression = c.compression;
        std::memcpy(info.bmiColors, c.masks, sizeof c.masks);
        std::vector<unsigned char> bits = c.top_row;
        bits.insert(bits.end(), c.top_row.size(), 0); // a black bottom row
        // y_src 1 with one row: the DIB's top row, counted from its bottom.
        ASSERT_EQ(SetDIBitsToDevice(GetDC(window), 30, 40, 2, 1, 0, 1, 0, 2, bits.data(), &info,
                                    DIB_RGB_COLORS),
                  1);
        EXPECT_EQ(ScreenPixel(30, 40), 0xFF0000u);
        EXPECT_EQ(ScreenPixel(31, 40), 0x00FF00u);
    }
    // Large enough to go through shared memory when the server has it.
    std::vector<uint32_t> big(120 * 100, 0x123456u);
    BITMAPINFO info;
    std::memset(&info, 0, sizeof info);
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 120;
    info.bmiHeader.biHeight = -100;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    ASSERT_EQ(SetDIBitsToDevice(GetDC(window), 0, 0, 120, 100, 0, 0, 0, 100, big.data(), &info,
                                DIB_RGB_COLORS),
              100);
    EXPECT_EQ(ScreenPixel(119, 99), 0x123456u);
    EXPECT_NE(ScreenPixel(120, 99), 0x123456u);
}

TEST_F(X11Windows, WindowsAreUndecoratedWithToolTopmostAndOwnerHints)
{
    Open(0, 0, 30, 30);
    HWND tool =
        CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "Zuvi:Grail:1X:test_x11:1:2", "outil",
                        WS_POPUP, 40, 0, 30, 30, window, nullptr, nullptr, nullptr);
    ASSERT_NE(tool, nullptr);
    ShowWindow(tool, SW_SHOWNOACTIVATE);
    RoundTrip();
    Window x = Window(W32_X11Window(tool));
    auto atoms = [&](const char* property) {
        std::vector<unsigned long> out;
        Atom type;
        int format;
        unsigned long count, after;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(peer, x, XInternAtom(peer, property, False), 0, 64, False,
                               AnyPropertyType, &type, &format, &count, &after, &data) == Success &&
            data != nullptr) {
            const unsigned long* items = reinterpret_cast<const unsigned long*>(data);
            out.assign(items, items + count);
            XFree(data);
        }
        return out;
    };
    std::vector<unsigned long> motif = atoms("_MOTIF_WM_HINTS");
    ASSERT_EQ(motif.size(), 5u);
    EXPECT_EQ(motif[0], 2u); // decorations given...
    EXPECT_EQ(motif[2], 0u); // ...and none
    EXPECT_EQ(
        atoms("_NET_WM_WINDOW_TYPE"),
        (std::vector<unsigned long>{XInternAtom(peer, "_NET_WM_WINDOW_TYPE_UTILITY", False)}));
    std::vector<unsigned long> state = atoms("_NET_WM_STATE");
    EXPECT_NE(
        std::find(state.begin(), state.end(), XInternAtom(peer, "_NET_WM_STATE_ABOVE", False)),
        state.end());
    Window owner = 0;
    ASSERT_TRUE(XGetTransientForHint(peer, x, &owner));
    EXPECT_EQ(owner, Window(xid));
    char* name = nullptr;
    ASSERT_TRUE(XFetchName(peer, x, &name));
    EXPECT_STREQ(name, "outil");
    XFree(name);
    DestroyWindow(tool);
}

TEST_F(X11Windows, AClickGivesButtonMessagesAtClientCoordinates)
{
    Open(100, 80, 200, 150);
    XTestFakeMotionEvent(peer, -1, 150, 120, 0);
    XTestFakeButtonEvent(peer, 1, True, 0);
    XTestFakeButtonEvent(peer, 1, False, 0);
    XSync(peer, False);
    ASSERT_EQ(WaitFor(WM_LBUTTONUP).message, WM_LBUTTONUP);
    const MSG* down = nullptr;
    for (const MSG& m : taken)
        if (m.message == WM_LBUTTONDOWN)
            down = &m;
    ASSERT_NE(down, nullptr);
    EXPECT_EQ(down->hwnd, window);
    EXPECT_EQ(down->wParam, WPARAM(MK_LBUTTON));
    EXPECT_EQ(GET_X_LPARAM(down->lParam), 50);
    EXPECT_EQ(GET_Y_LPARAM(down->lParam), 40);
    EXPECT_EQ(taken.back().wParam & MK_LBUTTON, 0u);
}

TEST_F(X11Windows, WithTheCaptureThePointerOutsideStillComesToTheWindow)
{
    Open(100, 80, 200, 150);
    SetCapture(window);
    RoundTrip();
    XTestFakeMotionEvent(peer, -1, 90, 70, 0);
    XSync(peer, False);
    MSG m = WaitFor(WM_MOUSEMOVE);
    ASSERT_EQ(m.message, WM_MOUSEMOVE);
    EXPECT_EQ(m.hwnd, window);
    EXPECT_EQ(GET_X_LPARAM(m.lParam), -10);
    EXPECT_EQ(GET_Y_LPARAM(m.lParam), -10);
    ReleaseCapture();
}

TEST_F(X11Windows, MovesSizesAndFocusByOthersReachTheWindowProcedure)
{
    Open(100, 80, 200, 150);
    g_sent.clear();
    XMoveResizeWindow(peer, Window(xid), 150, 100, 220, 160);
    XSync(peer, False);
    for (int round = 0; round < 400; ++round) {
        RECT r;
        GetWindowRect(window, &r);
        if (r.left == 150 && r.bottom == 260)
            break;
        MSG m;
        PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 25, QS_ALLINPUT);
    }
    bool moved = false, sized = false;
    for (const MSG& m : g_sent) {
        moved = moved || (m.message == WM_MOVE && GET_X_LPARAM(m.lParam) == 150 &&
                          GET_Y_LPARAM(m.lParam) == 100);
        sized =
            sized || (m.message == WM_SIZE && LOWORD(m.lParam) == 220 && HIWORD(m.lParam) == 160);
    }
    EXPECT_TRUE(moved);
    EXPECT_TRUE(sized);

    // The focus going to another program's window deactivates the
    // application; coming back activates the window.
    ASSERT_EQ(GetActiveWindow(), window);
    Window other = XCreateSimpleWindow(peer, DefaultRootWindow(peer), 600, 600, 10, 10, 0, 0, 0);
    XMapWindow(peer, other);
    XSync(peer, False);
    XSetInputFocus(peer, other, RevertToParent, CurrentTime);
    XSync(peer, False);
    g_sent.clear();
    for (int round = 0; round < 400 && GetActiveWindow() != nullptr; ++round) {
        MSG m;
        PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 25, QS_ALLINPUT);
    }
    EXPECT_EQ(GetActiveWindow(), nullptr);
    bool app_off = false;
    for (const MSG& m : g_sent)
        app_off = app_off || (m.message == WM_ACTIVATEAPP && m.wParam == 0);
    EXPECT_TRUE(app_off);
    XSetInputFocus(peer, Window(xid), RevertToParent, CurrentTime);
    XSync(peer, False);
    for (int round = 0; round < 400 && GetActiveWindow() != window; ++round) {
        MSG m;
        PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 25, QS_ALLINPUT);
    }
    EXPECT_EQ(GetActiveWindow(), window);
    XDestroyWindow(peer, other);
    XSync(peer, False);
}

TEST_F(X11Windows, AnExposeGivesAPaintOfItsRectangle)
{
    Open(100, 80, 200, 150);
    ValidateRect(window, nullptr);
    XClearArea(peer, Window(xid), 10, 20, 30, 40, True);
    XSync(peer, False);
    ASSERT_EQ(WaitFor(WM_PAINT).message, WM_PAINT);
    EXPECT_EQ(paint.left, 10);
    EXPECT_EQ(paint.top, 20);
    EXPECT_EQ(paint.right, 40);
    EXPECT_EQ(paint.bottom, 60);
}

TEST_F(X11Windows, KeysBecomeVirtualKeysWithSetOneScanCodes)
{
    Open(100, 80, 200, 150);
    RoundTrip();
    XSetInputFocus(peer, Window(xid), RevertToParent, CurrentTime);
    struct Case {
        KeySym sym;
        UINT vk;
        DWORD scan;
        bool extended;
        int character; // WM_CHAR after TranslateMessage, 0 for none
    } const cases[] = {
        {XK_a, 'A', 0x1E, false, 'a'},
        {XK_1, '1', 0x02, false, '1'},
        {XK_KP_Enter, VK_RETURN, 0x1C, true, '\r'},
        {XK_KP_Divide, VK_DIVIDE, 0x35, true, '/'},
        {XK_Left, VK_LEFT, 0x4B, true, 0},
        {XK_Home, VK_HOME, 0x47, true, 0},
        {XK_Delete, VK_DELETE, 0x53, true, 0},
        {XK_Escape, VK_ESCAPE, 0x01, false, 27},
        {XK_F1, VK_F1, 0x3B, false, 0},
        {XK_F10, VK_F1 + 9, 0x44, false, 0},
        {XK_Shift_L, VK_SHIFT, 0x2A, false, 0},
        {XK_Control_R, VK_CONTROL, 0x1D, true, 0},
        {XK_Alt_L, VK_MENU, 0x38, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.vk);
        taken.clear();
        KeyCode code = XKeysymToKeycode(peer, c.sym);
        ASSERT_NE(code, 0);
        XTestFakeKeyEvent(peer, code, True, 0);
        XTestFakeKeyEvent(peer, code, False, 0);
        XSync(peer, False);
        MSG up = WaitFor(c.vk == VK_F1 + 9 || c.vk == VK_MENU ? WM_SYSKEYUP : WM_KEYUP);
        ASSERT_NE(up.message, WM_NULL);
        const MSG& down = taken.front();
        EXPECT_EQ(down.wParam, c.vk);
        EXPECT_EQ((DWORD(down.lParam) >> 16) & 0xFF, c.scan);
        EXPECT_EQ((DWORD(down.lParam) >> 24) & 1, c.extended ? 1u : 0u);
        EXPECT_EQ(DWORD(up.lParam) >> 30, 3u); // previous state down, released
        int character = 0;
        for (const MSG& m : taken)
            if (m.message == WM_CHAR)
                character = int(m.wParam);
        EXPECT_EQ(character, c.character);
    }
}

TEST_F(X11Windows, KeysTypeTheirLatinOneCharactersAndNoneBeyondIt)
{
    Open(100, 80, 200, 150);
    RoundTrip();
    XSetInputFocus(peer, Window(xid), RevertToParent, CurrentTime);
    XKeys keys(peer);
    // The top row's second key of a French layout: an accented letter
    // unshifted, the digit shifted, and here "@" with AltGr.
    const KeyCode french = keys.Give(XK_eacute, XK_2, XK_at);
    ASSERT_NE(french, 0);
    struct Case {
        const char* what;
        std::vector<KeySym> typed; // XK_2 stands for the French key
        KeySym held;               // a modifier held meanwhile
        std::string characters;    // the WM_CHARs, ISO 8859-1
        std::vector<WPARAM> keys;  // the key each came with
        std::string alt;           // the WM_SYSCHARs: Alt shortcuts
    } const cases[] = {
        {"keysyms",
         {XK_Eacute, XK_t, XK_agrave},
         NoSymbol,
         "\xC9t\xE0",
         {VK_PACKET, 'T', VK_PACKET},
         ""},
        {"keysyms", {XK_ediaeresis, XK_ccedilla}, NoSymbol, "\xEB\xE7", {VK_PACKET, VK_PACKET}, ""},
        {"layout", {XK_2}, NoSymbol, "\xE9", {'2'}, ""},
        {"layout", {XK_2}, XK_Shift_L, "2", {'2'}, ""},
        {"dead key", {XK_dead_diaeresis, XK_e}, NoSymbol, "\xEB", {VK_PACKET}, ""},
        {"compose", {XK_Multi_key, XK_apostrophe, XK_e}, NoSymbol, "\xE9", {VK_PACKET}, ""},
        {"beyond", {XK_EuroSign, XK_Cyrillic_a, XK_a}, NoSymbol, "a", {'A'}, ""},
        {"control", {XK_a}, XK_Control_L, "\x01", {'A'}, ""},
        // AltGr types the key's character; Alt stays a shortcut.
        {"AltGr", {XK_2, XK_2}, XK_ISO_Level3_Shift, "@@", {'2', '2'}, ""},
        {"group shift", {XK_2}, XK_Mode_switch, "@", {'2'}, ""},
        {"AltGr released", {XK_2}, NoSymbol, "\xE9", {'2'}, ""},
        {"Alt", {XK_a}, XK_Alt_L, "", {}, "a"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        taken.clear();
        const KeyCode held = c.held != NoSymbol ? XKeysymToKeycode(peer, c.held) : 0;
        if (held != 0)
            XTestFakeKeyEvent(peer, held, True, 0);
        for (KeySym sym : c.typed) {
            if (sym != XK_2) {
                ASSERT_TRUE(keys.Tap(sym));
                continue;
            }
            XTestFakeKeyEvent(peer, french, True, 0);
            XTestFakeKeyEvent(peer, french, False, 0);
        }
        if (held != 0)
            XTestFakeKeyEvent(peer, held, False, 0);
        // F1 closes the case: it types nothing.
        ASSERT_TRUE(keys.Tap(XK_F1));
        MSG last;
        do
            last = WaitFor(WM_KEYUP);
        while (last.message != WM_NULL && last.wParam != VK_F1);
        ASSERT_NE(last.message, WM_NULL);
        std::string characters, alt;
        std::vector<WPARAM> with;
        for (size_t i = 0; i < taken.size(); ++i) {
            if (taken[i].message == WM_CHAR) {
                characters += char(taken[i].wParam);
                with.push_back(i > 0 ? taken[i - 1].wParam : 0);
            }
            if (taken[i].message == WM_SYSCHAR)
                alt += char(taken[i].wParam);
        }
        EXPECT_EQ(characters, c.characters);
        EXPECT_EQ(with, c.keys);
        EXPECT_EQ(alt, c.alt);
        // Every key released was pressed.
        int down = 0;
        for (const MSG& m : taken)
            down += m.message == WM_KEYDOWN ? 1 : m.message == WM_KEYUP ? -1 : 0;
        EXPECT_EQ(down, 0);
    }
}

TEST_F(X11Windows, AHiddenDialogGivesTheServersFocusBackToItsOwner)
{
    Open(100, 80, 200, 150);
    HWND dialog = CreateWindowExA(WS_EX_TOOLWINDOW, "Zuvi:Grail:1X:test_x11:1:2", "dialogue",
                                  WS_POPUP, 150, 100, 80, 60, window, nullptr, nullptr, nullptr);
    ASSERT_NE(dialog, nullptr);
    ShowWindow(dialog, SW_SHOW);
    auto focus = [this] {
        RoundTrip();
        Window f = 0;
        int revert;
        XGetInputFocus(peer, &f, &revert);
        return f;
    };
    ASSERT_EQ(focus(), Window(W32_X11Window(dialog)));
    ShowWindow(dialog, SW_HIDE);
    EXPECT_EQ(GetActiveWindow(), window);
    EXPECT_EQ(focus(), Window(xid));
    // A key the user types now reaches the owner.
    taken.clear();
    KeyCode code = XKeysymToKeycode(peer, XK_b);
    XTestFakeKeyEvent(peer, code, True, 0);
    XTestFakeKeyEvent(peer, code, False, 0);
    XSync(peer, False);
    MSG up = WaitFor(WM_KEYUP);
    EXPECT_EQ(up.hwnd, window);
    EXPECT_EQ(up.wParam, WPARAM('B'));
    DestroyWindow(dialog);
}

TEST_F(X11Windows, AnotherClientReadsTheClipboardText)
{
    Open(0, 0, 20, 20);
    ASSERT_TRUE(OpenClipboard(window));
    ASSERT_TRUE(EmptyClipboard());
    const char text[] = "Bonjour \xE9t\xE9"; // ISO 8859-1
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof text);
    std::memcpy(GlobalLock(block), text, sizeof text);
    GlobalUnlock(block);
    ASSERT_EQ(SetClipboardData(CF_TEXT, block), block);
    CloseClipboard();

    Window own = XCreateSimpleWindow(peer, DefaultRootWindow(peer), 0, 0, 1, 1, 0, 0, 0);
    Atom clipboard = XInternAtom(peer, "CLIPBOARD", False);
    Atom utf8 = XInternAtom(peer, "UTF8_STRING", False);
    Atom into = XInternAtom(peer, "PEER_SELECTION", False);
    for (Atom target : {utf8, Atom(XA_STRING)}) {
        XConvertSelection(peer, clipboard, target, into, own, CurrentTime);
        XSync(peer, False);
        XEvent e;
        bool answered = false;
        for (int round = 0; round < 400 && !answered; ++round) {
            MSG m;
            PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE); // the library serves the request
            XSync(peer, False);
            answered = XCheckTypedWindowEvent(peer, own, SelectionNotify, &e);
            if (!answered)
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 25, QS_ALLINPUT);
        }
        ASSERT_TRUE(answered);
        ASSERT_EQ(e.xselection.property, into);
        Atom type;
        int format;
        unsigned long count, after;
        unsigned char* data = nullptr;
        XGetWindowProperty(peer, own, into, 0, 1024, True, AnyPropertyType, &type, &format, &count,
                           &after, &data);
        std::string got(reinterpret_cast<char*>(data), count);
        XFree(data);
        EXPECT_EQ(got, target == utf8 ? "Bonjour \xC3\xA9t\xC3\xA9" : "Bonjour \xE9t\xE9");
    }

    // And back: text another program puts there is read.
    Display* other = XOpenDisplay(nullptr);
    ASSERT_NE(other, nullptr);
    Window holder = XCreateSimpleWindow(other, DefaultRootWindow(other), 0, 0, 1, 1, 0, 0, 0);
    XSetSelectionOwner(other, clipboard, holder, CurrentTime);
    XSync(other, False);
    std::thread server([&] {
        XEvent e;
        for (int round = 0; round < 400; ++round) {
            if (!XPending(other)) {
                pollfd p{ConnectionNumber(other), POLLIN, 0};
                ::poll(&p, 1, 25);
                continue;
            }
            XNextEvent(other, &e);
            if (e.type != SelectionRequest)
                continue;
            const char answer[] = "d'ailleurs";
            XChangeProperty(other, e.xselectionrequest.requestor, e.xselectionrequest.property,
                            XA_STRING, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(answer), 10);
            XSelectionEvent reply{};
            reply.type = SelectionNotify;
            reply.requestor = e.xselectionrequest.requestor;
            reply.selection = e.xselectionrequest.selection;
            reply.target = e.xselectionrequest.target;
            reply.property = e.xselectionrequest.property;
            reply.time = e.xselectionrequest.time;
            XSendEvent(other, reply.requestor, False, 0, reinterpret_cast<XEvent*>(&reply));
            XFlush(other);
            return;
        }
    });
    ASSERT_TRUE(OpenClipboard(window));
    HANDLE read = GetClipboardData(CF_TEXT);
    std::string got = read != nullptr ? static_cast<const char*>(GlobalLock(read)) : "<none>";
    CloseClipboard();
    server.join();
    EXPECT_EQ(got, "d'ailleurs");
    XCloseDisplay(other);
}

TEST_F(X11Windows, TheCursorSetShowsPixelForPixelOverTheWindow)
{
    Open(100, 80, 200, 150);
    // 16 x 16: a black frame, white inside, a transparent corner.
    std::vector<unsigned char> and_plane(32, 0x00), xor_plane(32, 0x00);
    for (int y = 1; y < 15; ++y)
        xor_plane[size_t(y) * 2] = 0x7F, xor_plane[size_t(y) * 2 + 1] = 0xFE;
    and_plane[0] = 0x80; // pixel (0, 0) transparent
    HCURSOR cursor = CreateCursor(nullptr, 4, 5, 16, 16, and_plane.data(), xor_plane.data());
    ASSERT_NE(cursor, nullptr);
    HCURSOR before = SetCursor(cursor);
    XTestFakeMotionEvent(peer, -1, 150, 120, 0);
    XSync(peer, False);
    WaitFor(WM_MOUSEMOVE);
    RoundTrip();
    XFixesCursorImage* image = XFixesGetCursorImage(peer);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, 16);
    EXPECT_EQ(image->height, 16);
    EXPECT_EQ(image->xhot, 4);
    EXPECT_EQ(image->yhot, 5);
    W32_Cursor* rec = W32_CursorOf(cursor);
    int wrong = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            if (uint32_t(image->pixels[y * 16 + x]) != W32_CursorPixel(rec, x, y))
                ++wrong;
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(uint32_t(image->pixels[0]), 0u);
    EXPECT_EQ(uint32_t(image->pixels[16 + 1]), 0xFFFFFFFFu);
    XFree(image);
    SetCursor(before);
    DestroyCursor(cursor);
}

TEST_F(X11Windows, WindowsOfOtherProgramsAreFoundWithTheirClassAndWords)
{
    Open(0, 0, 30, 30);
    // Another program's library window, as its backend publishes it.
    Window foreign = XCreateSimpleWindow(peer, DefaultRootWindow(peer), 300, 200, 40, 30, 0, 0, 0);
    const char name[] = "Zuvi:Grail:1X:autre:5:6";
    XChangeProperty(peer, foreign, XInternAtom(peer, W32_X11_CLASS_PROPERTY, False), XA_STRING, 8,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(name),
                    int(sizeof name - 1));
    unsigned char words[20] = {};
    words[0] = 1;
    uint32_t marker = 0xCA11BABEu, serial = 7;
    std::memcpy(words + 8, &marker, 4);
    std::memcpy(words + 12, &serial, 4);
    Atom words_atom = XInternAtom(peer, W32_X11_WORDS_PROPERTY, False);
    XChangeProperty(peer, foreign, words_atom, words_atom, 8, PropModeReplace, words, 20);
    XMapRaised(peer, foreign);
    XSync(peer, False);

    std::vector<HWND> all;
    EnumWindows(
        [](HWND h, LPARAM p) {
            reinterpret_cast<std::vector<HWND>*>(p)->push_back(h);
            return TRUE;
        },
        LPARAM(&all));
    HWND found = nullptr;
    for (HWND h : all) {
        char cls[200];
        if (GetClassNameA(h, cls, sizeof cls) > 0 && std::string(cls) == name)
            found = h;
    }
    ASSERT_NE(found, nullptr);
    EXPECT_NE(std::find(all.begin(), all.end(), window), all.end());
    EXPECT_EQ(all.front(), found); // raised last: top first
    EXPECT_EQ(DWORD(GetWindowLongA(found, 8)), 0xCA11BABEu);
    EXPECT_EQ(GetWindowLongA(found, 12), 7);
    EXPECT_EQ(GetWindowLongPtrA(found, 0), 1);
    RECT r;
    ASSERT_TRUE(GetWindowRect(found, &r));
    EXPECT_EQ(r.left, 300);
    EXPECT_EQ(r.bottom, 230);
    EXPECT_EQ(WindowFromPoint(POINT{310, 210}), found);
    EXPECT_EQ(WindowFromPoint(POINT{10, 10}), window);
    XDestroyWindow(peer, foreign);
    XSync(peer, False);
}

TEST_F(X11Windows, TheWindowManagersCloseRequestIsASentClose)
{
    Open(0, 0, 30, 30);
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = Window(xid);
    e.xclient.message_type = XInternAtom(peer, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = long(XInternAtom(peer, "WM_DELETE_WINDOW", False));
    XSendEvent(peer, Window(xid), False, 0, &e);
    XSync(peer, False);
    for (int round = 0; round < 400 && IsWindow(window); ++round) {
        MSG m;
        PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE);
        if (IsWindow(window))
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 25, QS_ALLINPUT);
    }
    bool closed = false;
    for (const MSG& m : g_sent)
        closed = closed || m.message == WM_CLOSE;
    EXPECT_TRUE(closed);
    EXPECT_FALSE(IsWindow(window)); // the default handling destroyed it
}

TEST_F(X11Windows, NoDirectDrawAndTheScreenIsTheServers)
{
    IDirectDraw* dd = reinterpret_cast<IDirectDraw*>(1);
    W32_DDSetFormat(W32_DD_565);
    EXPECT_TRUE(FAILED(DirectDrawCreate(nullptr, &dd, nullptr)));
    EXPECT_EQ(dd, nullptr);
    W32_DDSetFormat(W32_DD_NONE);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1280);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 1024);
    EXPECT_EQ(GetSystemMetrics(SM_CXMAXIMIZED), 1288);
}

} // namespace
