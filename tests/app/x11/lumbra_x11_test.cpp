// The program as a new user meets it on an X server: lumbra starts, its
// main window appears painted with its menu bar and bands, and closing the
// window ends the program with status 0, leaving nothing behind. Under a
// window manager its bar's reduce box makes it an icon, and brought back
// from a task bar it is painted again and its menus open.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include "tests/support/windowmanager.h"
#include "tests/support/xprogram.h"
#include "tests/support/xvfb.h"

namespace {

auto* const g_xvfb = ::testing::AddGlobalTestEnvironment(new XvfbEnvironment);

bool Near(unsigned long p, unsigned long want)
{
    for (int shift = 0; shift < 24; shift += 8) {
        const int a = int(p >> shift & 0xFF), b = int(want >> shift & 0xFF);
        if (a - b > 12 || b - a > 12)
            return false;
    }
    return true;
}

// Counts the pixels of rows [y1, y2) of a window that are near the band
// grey, black (text), near white (scroller faces), or near the light green
// of the tiles of icons 100 to 199 (tool bar pictures).
struct Counts {
    int grey = 0, black = 0, white = 0, tile = 0, all = 0;
};

// From the root window, the rows as the screen shows them there.
Counts Count(Display* peer, Window window, int y1, int y2, bool from_root = false)
{
    Counts c;
    XWindowAttributes a;
    if (!XGetWindowAttributes(peer, window, &a) || y1 < 0 || y2 > a.height || y1 >= y2)
        return c;
    int x = 0, y = y1;
    Window source = window, child = 0;
    if (from_root) {
        source = DefaultRootWindow(peer);
        XTranslateCoordinates(peer, window, source, 0, y1, &x, &y, &child);
    }
    XImage* image = XGetImage(peer, source, x, y, a.width, y2 - y1, AllPlanes, ZPixmap);
    if (image == nullptr)
        return c;
    for (int y = 0; y < y2 - y1; ++y)
        for (int x = 0; x < a.width; ++x) {
            const unsigned long p = XGetPixel(image, x, y) & 0xFFFFFFul;
            ++c.all;
            c.grey += Near(p, 0xC6C3C6);
            c.black += p == 0;
            c.white += (p >> 16 & 0xFF) > 0xE8 && (p >> 8 & 0xFF) > 0xE8 && (p & 0xFF) > 0xE8;
            c.tile += Near(p, 0xE8FADC);
        }
    XDestroyImage(image);
    return c;
}

bool IsChildOfRoot(Display* peer, Window window)
{
    Window root = 0, parent = 0, *children = nullptr;
    unsigned n = 0;
    if (!XQueryTree(peer, DefaultRootWindow(peer), &root, &parent, &children, &n))
        return false;
    bool found = false;
    for (unsigned i = 0; i < n; ++i)
        found = found || children[i] == window;
    if (children != nullptr)
        XFree(children);
    return found;
}

// The top-level window of that name, or the one a window manager framed.
Window Named(Display* peer, const char* name)
{
    Window root = 0, parent = 0, *tops = nullptr;
    unsigned n = 0;
    Window found = 0;
    if (!XQueryTree(peer, DefaultRootWindow(peer), &root, &parent, &tops, &n))
        return 0;
    for (unsigned i = 0; i < n && found == 0; ++i) {
        Window* inner = nullptr;
        unsigned m = 0;
        std::vector<Window> candidates{tops[i]};
        if (XQueryTree(peer, tops[i], &root, &parent, &inner, &m)) {
            candidates.insert(candidates.end(), inner, inner + m);
            if (inner != nullptr)
                XFree(inner);
        }
        for (Window c : candidates) {
            char* text = nullptr;
            if (found == 0 && XFetchName(peer, c, &text) && text != nullptr &&
                std::strcmp(text, name) == 0)
                found = c;
            if (text != nullptr)
                XFree(text);
        }
    }
    if (tops != nullptr)
        XFree(tops);
    return found;
}

bool Viewable(Display* peer, Window window)
{
    XWindowAttributes a;
    return XGetWindowAttributes(peer, window, &a) && a.map_state == IsViewable;
}

int ViewableTopLevels(Display* peer)
{
    Window root = 0, parent = 0, *tops = nullptr;
    unsigned n = 0;
    int count = 0;
    if (XQueryTree(peer, DefaultRootWindow(peer), &root, &parent, &tops, &n))
        for (unsigned i = 0; i < n; ++i)
            count += Viewable(peer, tops[i]);
    if (tops != nullptr)
        XFree(tops);
    return count;
}

long WmState(Display* peer, Window window)
{
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    long state = -1;
    if (XGetWindowProperty(peer, window, XInternAtom(peer, "WM_STATE", False), 0, 2, False,
                           AnyPropertyType, &type, &format, &count, &after, &data) == Success &&
        data != nullptr && count > 0)
        state = reinterpret_cast<long*>(data)[0];
    if (data != nullptr)
        XFree(data);
    return state;
}

void ClickAt(Display* peer, Window window, int x, int y)
{
    int sx = 0, sy = 0;
    Window child = 0;
    XTranslateCoordinates(peer, window, DefaultRootWindow(peer), x, y, &sx, &sy, &child);
    XTestFakeMotionEvent(peer, -1, sx, sy, 0);
    XTestFakeButtonEvent(peer, 1, True, 0);
    XTestFakeButtonEvent(peer, 1, False, 0);
    XFlush(peer);
}

// The bar of the active window: its rows (first and last) down the middle
// column, in its navy, and in its middle row the boxes from the right end:
// close, then reduce (x of each box's middle).
struct Bar {
    int top = -1, bottom = -1;
    std::vector<int> boxes;
};

Bar ReadBar(Display* peer, Window window)
{
    Bar bar;
    XWindowAttributes a;
    if (!XGetWindowAttributes(peer, window, &a) || a.height < 40)
        return bar;
    XImage* image = XGetImage(peer, window, 0, 0, a.width, 40, AllPlanes, ZPixmap);
    if (image == nullptr)
        return bar;
    auto is_bar = [&](int x, int y) {
        const unsigned long p = XGetPixel(image, x, y) & 0xFFFFFFul;
        return Near(p, 0x000080);
    };
    for (int y = 0; y < 40; ++y)
        if (is_bar(a.width / 2, y)) {
            bar.top = bar.top < 0 ? y : bar.top;
            bar.bottom = y;
        }
    if (bar.top >= 0) {
        const int y = (bar.top + bar.bottom) / 2;
        int x = a.width - 1;
        while (x > 0 && !is_bar(x, y))
            --x; // the frame's border
        while (x > 0 && bar.boxes.size() < 2) {
            while (x > 0 && is_bar(x, y))
                --x;
            const int end = x;
            while (x > 0 && !is_bar(x, y))
                --x;
            bar.boxes.push_back((x + 1 + end) / 2);
        }
    }
    XDestroyImage(image);
    return bar;
}

// Closes the window as a window manager closes a window.
void CloseAsWindowManager(Display* peer, Window window)
{
    XEvent close;
    std::memset(&close, 0, sizeof close);
    close.xclient.type = ClientMessage;
    close.xclient.window = window;
    close.xclient.message_type = XInternAtom(peer, "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = long(XInternAtom(peer, "WM_DELETE_WINDOW", False));
    XSendEvent(peer, window, False, NoEventMask, &close);
    XFlush(peer);
}

TEST(LumbraProgram, StartsPaintsItsMainWindowAndEndsWhenTheWindowIsClosed)
{
    ZUVI_REQUIRE_XVFB();
    Display* peer = XOpenDisplay(nullptr);
    ASSERT_NE(peer, nullptr);
    Window root = DefaultRootWindow(peer);
    XSelectInput(peer, root, SubstructureNotifyMask);
    XSync(peer, False);

    XProgram program(ZUVI_LUMBRA);
    ASSERT_GT(program.pid, 0);

    // The main window: the wide window that is mapped.
    Window main = 0;
    int height = 0;
    ASSERT_TRUE(XWaitUntil(peer, [&] {
        while (XPending(peer) > 0) {
            XEvent e;
            XNextEvent(peer, &e);
            XWindowAttributes a;
            if (e.type == MapNotify && main == 0 && XGetWindowAttributes(peer, e.xmap.window, &a) &&
                a.width > 700) {
                main = e.xmap.window;
                height = a.height;
            }
        }
        return main != 0;
    }));
    // The whole window lies on the 1024-pixel screen.
    XWindowAttributes a;
    ASSERT_TRUE(XGetWindowAttributes(peer, main, &a));
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(peer, main, root, 0, 0, &x, &y, &child);
    EXPECT_LE(y + a.height, 1024);

    // Painted: the top holds the menu bar's labels on the band and the
    // tool bar's pictures (ten of its buttons show tiles of icons 133 to
    // 144, but those of the clipboard, undo and redo are greyed, with
    // nothing to act on yet: the five of the files show them as drawn), the
    // bottom the scrollers' light faces on the band.
    Counts top, bottom;
    EXPECT_TRUE(XWaitUntil(peer,
                           [&] {
                               top = Count(peer, main, 0, 70);
                               bottom = Count(peer, main, height - 50, height);
                               return top.grey * 3 > top.all && top.black > 50 && top.tile > 150 &&
                                      bottom.grey * 3 > bottom.all && bottom.white > 100;
                           }))
        << "top grey " << top.grey << " black " << top.black << " tiles " << top.tile << " of "
        << top.all << "; bottom grey " << bottom.grey << " white " << bottom.white << " of "
        << bottom.all;

    CloseAsWindowManager(peer, main);
    EXPECT_EQ(program.Wait(), 0);
    EXPECT_TRUE(XWaitUntil(peer, [&] { return !IsChildOfRoot(peer, main); }));
    XCloseDisplay(peer);
}

// With its tool palette beside the main window, the program comes to rest:
// once both windows are up, the stacking and the focus stop changing,
// where the windows used to take the focus from each other without end.
TEST(LumbraProgram, ShowsItsToolPaletteAndThenComesToRest)
{
    ZUVI_REQUIRE_XVFB();
    Display* peer = XOpenDisplay(nullptr);
    ASSERT_NE(peer, nullptr);
    XSelectInput(peer, DefaultRootWindow(peer), SubstructureNotifyMask);
    XSync(peer, False);

    XProgram program(ZUVI_LUMBRA);
    ASSERT_GT(program.pid, 0);

    // The main window and the palette titled "Outils", both mapped; their
    // focus changes are heard from then on.
    Window main = 0, palette = 0;
    int changes = 0;
    auto drain = [&] {
        while (XPending(peer) > 0) {
            XEvent e;
            XNextEvent(peer, &e);
            if (e.type == ConfigureNotify || e.type == FocusIn || e.type == FocusOut)
                ++changes;
            if (e.type != MapNotify)
                continue;
            XWindowAttributes a;
            char* name = nullptr;
            bool palette_name = XFetchName(peer, e.xmap.window, &name) && name != nullptr &&
                                std::strcmp(name, "Outils") == 0;
            if (name != nullptr)
                XFree(name);
            if (main == 0 && XGetWindowAttributes(peer, e.xmap.window, &a) && a.width > 700)
                main = e.xmap.window;
            else if (palette == 0 && palette_name)
                palette = e.xmap.window;
            else
                continue;
            XSelectInput(peer, e.xmap.window, FocusChangeMask);
        }
    };
    ASSERT_TRUE(XWaitUntil(peer,
                           [&] {
                               drain();
                               return main != 0 && palette != 0;
                           }))
        << "main window " << main << ", palette " << palette;

    // At rest: a second (50 rounds) passes without any window moving in
    // the stack or any focus changing.
    int quiet = 0;
    EXPECT_TRUE(XWaitUntil(peer,
                           [&] {
                               const int before = changes;
                               drain();
                               quiet = changes == before ? quiet + 1 : 0;
                               return quiet >= 50;
                           }))
        << changes << " restacks and focus changes and still going";

    CloseAsWindowManager(peer, main);
    EXPECT_EQ(program.Wait(), 0);
    XCloseDisplay(peer);
}

// The dark pixels (text) of the first field of the status line, the
// pointer's position: the 16 rows at the foot of the client area, 120
// pixels from its left side; the window's frame takes about 4 pixels on
// each side and has no black in it.
int FieldInk(Display* peer, Window window)
{
    XWindowAttributes a;
    if (!XGetWindowAttributes(peer, window, &a) || a.height < 20)
        return -1;
    XImage* image = XGetImage(peer, window, 4, a.height - 20, 120, 16, AllPlanes, ZPixmap);
    if (image == nullptr)
        return -1;
    int ink = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 120; ++x)
            ink += (XGetPixel(image, x, y) & 0xFFFFFFul) == 0;
    XDestroyImage(image);
    return ink;
}

// The pointer over the page: the first field of the status line reads its
// position, and keeps it while the pointer rests there. Put down on the
// bare screen beside the window, away from every window of the program,
// the pointer leaves the page view and the field is emptied. The field is
// read from the screen.
TEST(LumbraProgram, TheStatusLineForgetsThePositionWhenThePointerLeavesTheWindow)
{
    ZUVI_REQUIRE_XVFB();
    Display* peer = XOpenDisplay(nullptr);
    ASSERT_NE(peer, nullptr);
    const Window root = DefaultRootWindow(peer);

    XProgram program(ZUVI_LUMBRA);
    ASSERT_GT(program.pid, 0);
    Window main = 0;
    ASSERT_TRUE(XWaitUntil(peer, [&] {
        main = Named(peer, "Lumbra");
        return main != 0 && Viewable(peer, main);
    }));
    XWindowAttributes a;
    ASSERT_TRUE(XGetWindowAttributes(peer, main, &a));
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(peer, main, root, 0, 0, &x, &y, &child);
    ASSERT_TRUE(XWaitUntil(peer, [&] {
        return Count(peer, main, a.height - 50, a.height).white > 100 && FieldInk(peer, main) == 0;
    }));

    // Over the middle of the page; the position stays in the field for
    // ten rounds in a row.
    XTestFakeMotionEvent(peer, -1, x + a.width / 2, y + a.height / 2, 0);
    int ink = 0, rounds = 0;
    EXPECT_TRUE(XWaitUntil(peer,
                           [&] {
                               ink = FieldInk(peer, main);
                               rounds = ink > 20 ? rounds + 1 : 0;
                               return rounds >= 10;
                           }))
        << ink << " dark pixels in the field";

    // Beside the window, where the screen is bare.
    ASSERT_LT(x + a.width + 100, DisplayWidth(peer, DefaultScreen(peer)));
    XTestFakeMotionEvent(peer, -1, x + a.width + 100, y + a.height / 2, 0);
    EXPECT_TRUE(XWaitUntil(peer, [&] { return (ink = FieldInk(peer, main)) == 0; }))
        << ink << " dark pixels in the field";

    CloseAsWindowManager(peer, main);
    EXPECT_EQ(program.Wait(), 0);
    XCloseDisplay(peer);
}

// Under a window manager: the reduce box (the left one of the two at the
// bar's end) makes the main window an icon; a task bar's request brings it
// back painted, and its menu bar answers at once.
TEST(LumbraProgram, UnderAWindowManagerItsReduceBoxMakesAnIconThatComesBackPainted)
{
    ZUVI_REQUIRE_XVFB();
    XWindowManager manager;
    ZUVI_REQUIRE_WINDOW_MANAGER(manager);
    // The program's windows come and go (the splash, its menus) while the
    // test looks for them: a window gone meanwhile is no error.
    struct Lenient {
        Lenient() : before(XSetErrorHandler([](Display*, XErrorEvent*) { return 0; })) {}
        ~Lenient() { XSetErrorHandler(before); }
        XErrorHandler before;
    } lenient;
    Display* peer = XOpenDisplay(nullptr);
    ASSERT_NE(peer, nullptr);

    XProgram program(ZUVI_LUMBRA);
    ASSERT_GT(program.pid, 0);
    Window main = 0;
    int height = 0;
    auto painted = [&] {
        const Counts top = Count(peer, main, 0, 70, true);
        const Counts bottom = Count(peer, main, height - 50, height, true);
        return top.grey * 3 > top.all && top.black > 50 && top.tile > 150 &&
               bottom.grey * 3 > bottom.all && bottom.white > 100;
    };
    ASSERT_TRUE(XWaitUntil(peer, [&] {
        main = Named(peer, "Lumbra");
        XWindowAttributes a;
        height = main != 0 && XGetWindowAttributes(peer, main, &a) ? a.height : 0;
        return main != 0 && Viewable(peer, main) && painted();
    }));

    Bar bar;
    ASSERT_TRUE(XWaitUntil(peer, [&] {
        bar = ReadBar(peer, main);
        return bar.boxes.size() == 2;
    }));
    ClickAt(peer, main, bar.boxes[1], (bar.top + bar.bottom) / 2);
    ASSERT_TRUE(XWaitUntil(
        peer, [&] { return !Viewable(peer, main) && WmState(peer, main) == IconicState; }));

    // What a task bar sends for a click on the window's entry.
    XEvent e;
    std::memset(&e, 0, sizeof e);
    e.xclient.type = ClientMessage;
    e.xclient.window = main;
    e.xclient.message_type = XInternAtom(peer, "_NET_ACTIVE_WINDOW", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = 2;
    XSendEvent(peer, DefaultRootWindow(peer), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &e);
    XFlush(peer);
    EXPECT_TRUE(XWaitUntil(peer, [&] { return Viewable(peer, main) && painted(); }))
        << "top grey " << Count(peer, main, 0, 70, true).grey << " of "
        << Count(peer, main, 0, 70, true).all;

    // "Fichier", the menu bar's first item, just below the bar: its menu
    // is a window of its own.
    const int shown = ViewableTopLevels(peer);
    ClickAt(peer, main, bar.top + 20, bar.bottom + 11);
    EXPECT_TRUE(XWaitUntil(peer, [&] { return ViewableTopLevels(peer) > shown; }));

    CloseAsWindowManager(peer, main);
    EXPECT_EQ(program.Wait(), 0);
    XCloseDisplay(peer);
}

} // namespace
