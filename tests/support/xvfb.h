#ifndef TESTS_SUPPORT_XVFB_H
#define TESTS_SUPPORT_XVFB_H

// An X server for the tests of the X11 window backend: Xvfb, started once
// for the test program ("Xvfb -displayfd FD -screen 0 1280x1024x24
// -nolisten tcp"), DISPLAY pointed at it, ended by its pid.
//
//   static auto* xvfb = ::testing::AddGlobalTestEnvironment(new XvfbEnvironment);
//   TEST(X, Y) { ZUVI_REQUIRE_XVFB(); ... }
//
// Without Xvfb the tests are skipped, but with CI set they fail.

#include <gtest/gtest.h>

#include <string>

#include <sys/types.h>

// The program of that name along $PATH; "" when none is there.
std::string XFindProgram(const char* name);

class XvfbEnvironment : public ::testing::Environment {
public:
    void SetUp() override;
    void TearDown() override;

    // Whether the server runs.
    static bool Available();

private:
    pid_t pid = -1;
};

#define ZUVI_REQUIRE_XVFB()                                     \
    do {                                                        \
        if (!XvfbEnvironment::Available()) {                    \
            if (std::getenv("CI") != nullptr)                   \
                FAIL() << "Xvfb is missing or did not start";   \
            GTEST_SKIP() << "Xvfb is missing or did not start"; \
        }                                                       \
    } while (0)

#endif
