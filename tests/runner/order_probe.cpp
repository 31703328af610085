// A small gtest program for the test of tools/gtest_groups.py: one suite
// per way a test can come out of a suite's shared process.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace {

// Set by the first test of OrderDependent: the second sees it only when
// both run in one process.
bool left_behind = false;
// How many tests this process has run; a crash that needs company.
int ran = 0;

class Counted : public ::testing::Test {
protected:
    void TearDown() override { ++ran; }
};

} // namespace

TEST(Clean, One) {}
TEST(Clean, Two) {}

TEST(OrderDependent, LeavesState)
{
    left_behind = true;
}
TEST(OrderDependent, NeedsACleanProcess)
{
    EXPECT_FALSE(left_behind);
}

TEST(Crashes, Before) {}
TEST(Crashes, Dies)
{
    std::fflush(stdout);
    std::abort();
}
TEST(Crashes, After) {}

TEST(FailsAlways, Fails)
{
    FAIL() << "fails wherever it runs";
}

// Crashes after another test in one process, with a mark in its report; the
// test of the runner names that mark as a known crash.
TEST_F(Counted, First) {}
TEST_F(Counted, CrashesInCompany)
{
    if (ran > 0) {
        std::fprintf(stderr, "order_probe: known crash mark\n");
        std::abort();
    }
}
