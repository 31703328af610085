// What both ends of a pipe share: the full pipe name and the time-out in
// milliseconds.
#include "si/pipecommon.h"

#include <gtest/gtest.h>

#include <limits>

#include "tests/support/objmodel.h"

namespace {

class PipeCommonTest : public ZuviRuntimeTest {};

TEST_F(PipeCommonTest, FullNameLeavesOutAnEmptyServer)
{
    struct Case {
        const char* server;
        const char* pipe;
        const char* full;
    } const cases[] = {
        {"serveur", "tube", "\\\\.\\pipe\\serveur:tube"},
        {"", "tube", "\\\\.\\pipe\\tube"},
        {nullptr, "tube", "\\\\.\\pipe\\tube"},
        {"serveur", nullptr, "\\\\.\\pipe\\serveur:"},
    };
    for (const Case& c : cases) {
        ZuStringRef server = Zuvi_PipeNewName("tests/si/pipecommon_test");
        ZuStringRef pipe = Zuvi_PipeNewName("tests/si/pipecommon_test");
        Zuvi_PipeSetName(server, c.server ? ZuStringRef(c.server) : ZuStringRef());
        Zuvi_PipeSetName(pipe, c.pipe ? ZuStringRef(c.pipe) : ZuStringRef());
        EXPECT_EQ(c.full, Zuvi_PipeFullName(server, pipe));
    }
}

TEST_F(PipeCommonTest, TimeOutsBecomeMillisecondsWithinThirtyTwoBits)
{
    struct Case {
        double seconds;
        unsigned ms;
    } const cases[] = {
        {1.5, 1500u},        {0.0, 0u},
        {-3.0, 0u},          {std::numeric_limits<double>::quiet_NaN(), 0u},
        {1e12, 4294967295u}, {std::numeric_limits<double>::infinity(), 4294967295u},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.ms, Zuvi_PipeMilliseconds(c.seconds)) << c.seconds;
}

} // namespace
