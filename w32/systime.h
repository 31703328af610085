#ifndef W32_SYSTIME_H
#define W32_SYSTIME_H

// The clock of the platform layer: the current date and time, universal
// (GetSystemTime) or in the local time zone (GetLocalTime).

#include "w32/file.h"

void GetSystemTime(SYSTEMTIME* st);
void GetLocalTime(SYSTEMTIME* st);

// The test clock: while it is set, the clock readings of the platform layer
// (GetSystemTime, GetLocalTime, GetTickCount64) all come from it, so that
// event times, ticks and timings can be tested without sleeping. It stands
// still unless advanced; a negative step sets it back.
void W32_SetTestClock(long long unix_milliseconds);
void W32_AdvanceTestClock(long long milliseconds);
void W32_ClearTestClock();
// True and the reading while the test clock is set.
bool W32_ReadTestClock(long long& unix_milliseconds);

#endif
