#ifndef TESTS_SUPPORT_WINDOWMANAGER_H
#define TESTS_SUPPORT_WINDOWMANAGER_H

// A window manager (openbox) on the tests' X server, for the tests of what
// a user does through one: minimise a window, bring it back from a task
// bar. It runs from Start until Stop or the end of the object, and is
// ended by its pid; Start returns once it manages the screen, Stop once the
// screen is free of it again.
//
//   XWindowManager manager;
//   TEST_F(X, Y) { ZUVI_REQUIRE_WINDOW_MANAGER(manager); ... }
//
// Without openbox the tests are skipped, but with CI set they fail.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <X11/Xlib.h>

#include "tests/support/xvfb.h"

// Polls the condition for about 20 seconds, in rounds of 20 ms.
template <class F>
inline bool XWindowManagerWaits(F condition)
{
    for (int round = 0; round < 1000; ++round) {
        if (condition())
            return true;
        ::poll(nullptr, 0, 20);
    }
    return false;
}

class XWindowManager {
public:
    XWindowManager() = default;
    ~XWindowManager() { Stop(); }
    XWindowManager(const XWindowManager&) = delete;
    XWindowManager& operator=(const XWindowManager&) = delete;

    // False when openbox is missing, or did not take the screen within
    // about 20 seconds.
    bool Start();
    void Stop();
    // Whether a window manager (this one or another) manages the screen.
    static bool Running();

private:
    pid_t pid = -1;
};

inline bool XWindowManager::Running()
{
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return false;
    // The manager is the client that redirects the root window's children,
    // and it says it is there once it manages them.
    XWindowAttributes a;
    bool redirected = XGetWindowAttributes(display, DefaultRootWindow(display), &a) &&
                      (a.all_event_masks & SubstructureRedirectMask) != 0;
    Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    bool announced =
        check != None &&
        XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, AnyPropertyType,
                           &type, &format, &count, &after, &data) == Success &&
        count == 1;
    if (data != nullptr)
        XFree(data);
    XCloseDisplay(display);
    return redirected && announced;
}

inline bool XWindowManager::Start()
{
    if (pid > 0)
        return true;
    const std::string program = XFindProgram("openbox");
    if (program.empty() || std::getenv("DISPLAY") == nullptr)
        return false;
    pid = ::fork();
    if (pid == 0) {
        int null = ::open("/dev/null", O_RDWR);
        if (null >= 0) {
            ::dup2(null, 0);
            ::dup2(null, 1);
            ::dup2(null, 2);
        }
        ::execl(program.c_str(), "openbox", "--sm-disable", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    if (pid < 0)
        return false;
    // A manager takes the root before it has read its settings, and may
    // drop a window mapped meanwhile: it is ready once it has shown a
    // window of its own. The probe is mapped again until it is.
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        Stop();
        return false;
    }
    Window probe = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 10, 10, 0, 0, 0);
    Atom wm_state = XInternAtom(display, "WM_STATE", False);
    int round = 0;
    const bool up = XWindowManagerWaits([&] {
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            pid = -1; // it ended before managing the screen
            return true;
        }
        if (!Running())
            return false;
        if (round++ % 25 == 0)
            XMapWindow(display, probe);
        XSync(display, False);
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        XWindowAttributes a;
        const bool managed =
            XGetWindowProperty(display, probe, wm_state, 0, 1, False, AnyPropertyType, &type,
                               &format, &count, &after, &data) == Success &&
            count == 1 && XGetWindowAttributes(display, probe, &a) && a.map_state == IsViewable;
        if (data != nullptr)
            XFree(data);
        return managed;
    });
    XDestroyWindow(display, probe);
    XCloseDisplay(display);
    if (!up || pid < 0) {
        Stop();
        return false;
    }
    return true;
}

inline void XWindowManager::Stop()
{
    if (pid <= 0)
        return;
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
    pid = -1;
    // Its connection goes with it; the server then lets the root go.
    XWindowManagerWaits([] { return !Running(); });
}

#define ZUVI_REQUIRE_WINDOW_MANAGER(manager)                                   \
    do {                                                                       \
        if (!(manager).Start()) {                                              \
            if (std::getenv("CI") != nullptr)                                  \
                FAIL() << "openbox is missing or did not manage the screen";   \
            GTEST_SKIP() << "openbox is missing or did not manage the screen"; \
        }                                                                      \
    } while (0)

#endif
