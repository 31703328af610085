#ifndef W32_SYSTIME_H
#define W32_SYSTIME_H

// The clock of the platform layer: the current date and time, universal
// (GetSystemTime) or in the local time zone (GetLocalTime).

#include "w32/file.h"

void GetSystemTime(SYSTEMTIME* st);
void GetLocalTime(SYSTEMTIME* st);

#endif
