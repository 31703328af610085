#include "w32/headless.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// The backend is chosen once per process: each case runs in a child.
struct Choice {
    const char* backend; // null: unset
    const char* display; // null: unset
    const char* screen;  // ZUVI_HEADLESS_SCREEN, null: unset
    int width, height;
};

void Check(const Choice& c)
{
    c.backend != nullptr ? setenv("ZUVI_BACKEND", c.backend, 1) : unsetenv("ZUVI_BACKEND");
    c.display != nullptr ? setenv("DISPLAY", c.display, 1) : unsetenv("DISPLAY");
    c.screen != nullptr ? setenv("ZUVI_HEADLESS_SCREEN", c.screen, 1)
                        : unsetenv("ZUVI_HEADLESS_SCREEN");
    bool ok = W32_HeadlessInUse() && GetSystemMetrics(SM_CXSCREEN) == c.width &&
              GetSystemMetrics(SM_CYSCREEN) == c.height;
    std::exit(ok ? 0 : 1);
}

TEST(HeadlessBackend, ChosenWithoutADisplayAndSizedByTheEnvironment)
{
    const Choice cases[] = {
        {"headless", nullptr, nullptr, 1280, 1024},
        {"headless", nullptr, "640x480", 640, 480},
        {"headless", nullptr, "640x", 1280, 1024},
        {"headless", nullptr, "0x480", 1280, 1024},
        {"headless", nullptr, "640x480x24", 1280, 1024},
        {nullptr, nullptr, "800x600", 800, 600}, // no display: headless
        {nullptr, ":4711", nullptr, 1280, 1024}, // a display that does not open
        {"x11", ":4711", nullptr, 1280, 1024},   // asked for, but not there
        {"headless", ":0", nullptr, 1280, 1024}, // asked for, whatever the display
    };
    for (const Choice& c : cases) {
        SCOPED_TRACE(std::string(c.backend ? c.backend : "-") + " " +
                     (c.display ? c.display : "-") + " " + (c.screen ? c.screen : "-"));
        EXPECT_EXIT(Check(c), ::testing::ExitedWithCode(0), "");
    }
}

} // namespace
