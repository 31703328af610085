// The clock over clock_gettime and the C library's calendar conversions.
#include "w32/systime.h"

#include <atomic>
#include <cstring>

#include <time.h>

namespace {

std::atomic<bool> g_test_clock_on{false};
std::atomic<long long> g_test_clock{0};

} // namespace

void W32_SetTestClock(long long unix_milliseconds)
{
    g_test_clock.store(unix_milliseconds);
    g_test_clock_on.store(true);
}

void W32_AdvanceTestClock(long long milliseconds)
{
    g_test_clock.fetch_add(milliseconds);
}

void W32_ClearTestClock()
{
    g_test_clock_on.store(false);
}

bool W32_ReadTestClock(long long& unix_milliseconds)
{
    if (!g_test_clock_on.load())
        return false;
    unix_milliseconds = g_test_clock.load();
    return true;
}

namespace {

// A year of 0 tells a failed conversion (a clock beyond the calendar).
void Read(SYSTEMTIME* st, bool local)
{
    if (!st)
        return;
    std::memset(st, 0, sizeof *st);
    struct timespec now;
    long long fake;
    if (W32_ReadTestClock(fake)) {
        long long secs = fake >= 0 ? fake / 1000 : -((-fake + 999) / 1000);
        now.tv_sec = time_t(secs);
        now.tv_nsec = long(fake - secs * 1000) * 1000000L;
    } else if (clock_gettime(CLOCK_REALTIME, &now) != 0) {
        return;
    }
    time_t secs = now.tv_sec;
    struct tm tm;
    if ((local ? localtime_r(&secs, &tm) : gmtime_r(&secs, &tm)) == nullptr)
        return;
    if (tm.tm_year + 1900 < 1 || tm.tm_year + 1900 > 30827)
        return;
    st->wYear = WORD(tm.tm_year + 1900);
    st->wMonth = WORD(tm.tm_mon + 1);
    st->wDayOfWeek = WORD(tm.tm_wday);
    st->wDay = WORD(tm.tm_mday);
    st->wHour = WORD(tm.tm_hour);
    st->wMinute = WORD(tm.tm_min);
    st->wSecond = WORD(tm.tm_sec);
    st->wMilliseconds = WORD(now.tv_nsec / 1000000);
}

} // namespace

void GetSystemTime(SYSTEMTIME* st)
{
    Read(st, false);
}

void GetLocalTime(SYSTEMTIME* st)
{
    Read(st, true);
}
