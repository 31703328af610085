#include <atomic>

#include <gtest/gtest.h>

#include "w32/kernel.h"
#include "w32/systime.h"
#include "w32/thread.h"

namespace {

void Count(void* arg)
{
    static_cast<std::atomic<int>*>(arg)->fetch_add(1);
}

TEST(W32BeginThread, StartedThreadsRunAndNullStartsAreRefused)
{
    std::atomic<int> runs{0};
    ASSERT_NE(uintptr_t(-1), _beginthread(&Count, 0, &runs));
    ASSERT_NE(uintptr_t(-1), _beginthread(&Count, 0, &runs));
    while (runs.load() < 2)
        Sleep(0);
    EXPECT_EQ(2, runs.load());
    EXPECT_EQ(uintptr_t(-1), _beginthread(nullptr, 0, &runs));
}

// The tests run with TZ=UTC: both clocks read the same calendar fields
// (taken twice in case a second turns between the two readings).
TEST(W32Clock, ClockReadsACalendarDate)
{
    SYSTEMTIME utc, local;
    for (int attempt = 0; attempt < 3; ++attempt) {
        GetSystemTime(&utc);
        GetLocalTime(&local);
        if (utc.wSecond == local.wSecond)
            break;
    }
    EXPECT_GE(utc.wYear, 2020);
    EXPECT_TRUE(utc.wMonth >= 1 && utc.wMonth <= 12);
    EXPECT_TRUE(utc.wDay >= 1 && utc.wDay <= 31);
    EXPECT_LT(utc.wHour, 24);
    EXPECT_LT(utc.wMilliseconds, 1000);
    EXPECT_EQ(utc.wYear, local.wYear);
    EXPECT_EQ(utc.wHour, local.wHour);
    EXPECT_EQ(utc.wMinute, local.wMinute);
}

} // namespace
