// The program as a new user meets it on an X server: lumbra starts, its
// main window appears painted with its menu bar and bands, and closing the
// window ends the program with status 0, leaving nothing behind.
#include <gtest/gtest.h>

#include <cstring>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

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

Counts Count(Display* peer, Window window, int y1, int y2)
{
    Counts c;
    XWindowAttributes a;
    if (!XGetWindowAttributes(peer, window, &a) || y1 < 0 || y2 > a.height || y1 >= y2)
        return c;
    XImage* image = XGetImage(peer, window, 0, y1, a.width, y2 - y1, AllPlanes, ZPixmap);
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
    Window root = DefaultRootWindow(peer);
    XSelectInput(peer, root, SubstructureNotifyMask);
    XSync(peer, False);

    XProgram program(ZUVI_LUMBRA);
    ASSERT_GT(program.pid, 0);
    Window main = 0;
    ASSERT_TRUE(XWaitUntil(peer, [&] {
        while (XPending(peer) > 0) {
            XEvent e;
            XNextEvent(peer, &e);
            XWindowAttributes a;
            if (e.type == MapNotify && main == 0 && XGetWindowAttributes(peer, e.xmap.window, &a) &&
                a.width > 700)
                main = e.xmap.window;
        }
        return main != 0;
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

} // namespace
