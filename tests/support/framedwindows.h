#ifndef TESTS_SUPPORT_FRAMEDWINDOWS_H
#define TESTS_SUPPORT_FRAMEDWINDOWS_H

// A fixture for the tests of window frames: the look fixture, the class of
// the platform windows registered, an application that has the focus, and
// windows with frames made by style and deleted at the end. Pointer input
// goes in through the headless screen and comes out through the library's
// own event wait and dispatch.

#include <initializer_list>
#include <string>
#include <vector>

#include "si/app.h"
#include "si/window.h"
#include "tests/support/looks.h"
#include "tests/support/probes.h"

class FramedWindowTest : public LookTest {
protected:
    void SetUp() override;
    void TearDown() override;

    static ZuWinStyle Style(std::initializer_list<ZuWinStyleBit> bits);
    // A window of that client size at (x, y) on the screen.
    ZuWindowRef Make(double x, double y, double dx, double dy, const ZuWinStyle& style);
    // The pointer at a screen point with the MK_ buttons held, and every
    // event it makes dispatched.
    void Mouse(int x, int y, unsigned buttons);
    // Dispatches what waits, up to a wake-up posted behind it.
    void Pump();
    // The reports the watcher heard since the last call.
    std::vector<std::string> Reports();

    ZuAppRef app;
    TestObserverRef watcher;
    std::vector<ZuWindowRef> windows;
};

#endif
