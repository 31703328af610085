// A whole program of the library on the X server: tests/programs/redblue_app
// starts through WinMain, opens its window with a red view, takes a click
// made through XTest, paints the view blue and ends on the quit it posts
// when the button comes up.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include "tests/support/xprogram.h"
#include "tests/support/xvfb.h"

namespace {

auto* const g_xvfb = ::testing::AddGlobalTestEnvironment(new XvfbEnvironment);

unsigned long Pixel(Display* peer, Window window, int x, int y)
{
    XImage* image = XGetImage(peer, window, x, y, 1, 1, AllPlanes, ZPixmap);
    if (image == nullptr)
        return 0xDEADBEEFul;
    unsigned long p = XGetPixel(image, 0, 0) & 0xFFFFFFul;
    XDestroyImage(image);
    return p;
}

bool IsRed(unsigned long p)
{
    return (p >> 16 & 0xFF) > 0xC0 && (p >> 8 & 0xFF) < 0x40 && (p & 0xFF) < 0x40;
}

bool IsBlue(unsigned long p)
{
    return (p >> 16 & 0xFF) < 0x40 && (p >> 8 & 0xFF) < 0x40 && (p & 0xFF) > 0xC0;
}

TEST(X11Program, AClickTurnsTheViewBlueAndThePostedQuitEndsTheProgram)
{
    ZUVI_REQUIRE_XVFB();
    Display* peer = XOpenDisplay(nullptr);
    ASSERT_NE(peer, nullptr);
    Window root = DefaultRootWindow(peer);
    XSelectInput(peer, root, SubstructureNotifyMask);
    XSync(peer, False);

    XProgram program(ZUVI_REDBLUE_APP);
    ASSERT_GT(program.pid, 0);

    // The program's window appears on the screen.
    Window window = 0;
    ASSERT_TRUE(XWaitUntil(peer, [&] {
        while (XPending(peer) > 0) {
            XEvent e;
            XNextEvent(peer, &e);
            if (e.type == MapNotify && window == 0)
                window = e.xmap.window;
        }
        return window != 0;
    }));
    // The view's middle, red once the first paint reached the server.
    const int x = 100, y = 75;
    ASSERT_TRUE(XWaitUntil(peer, [&] { return IsRed(Pixel(peer, window, x, y)); }))
        << std::hex << Pixel(peer, window, x, y);

    int root_x = 0, root_y = 0;
    Window child;
    XTranslateCoordinates(peer, window, root, x, y, &root_x, &root_y, &child);
    XTestFakeMotionEvent(peer, -1, root_x, root_y, 0);
    XTestFakeButtonEvent(peer, 1, True, 0);
    XFlush(peer);
    EXPECT_TRUE(XWaitUntil(peer, [&] { return IsBlue(Pixel(peer, window, x, y)); }))
        << std::hex << Pixel(peer, window, x, y);

    XTestFakeButtonEvent(peer, 1, False, 0);
    XFlush(peer);
    EXPECT_EQ(program.Wait(), 0);
    XCloseDisplay(peer);
}

} // namespace
