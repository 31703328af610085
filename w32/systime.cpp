// The clock over clock_gettime and the C library's calendar conversions.
#include "w32/systime.h"

#include <cstring>

#include <time.h>

namespace {

// A year of 0 tells a failed conversion (a clock beyond the calendar).
void Read(SYSTEMTIME* st, bool local)
{
    if (!st)
        return;
    std::memset(st, 0, sizeof *st);
    struct timespec now;
    if (clock_gettime(CLOCK_REALTIME, &now) != 0)
        return;
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
