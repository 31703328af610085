#ifndef SD_WIN32_SD_SYSTEM_H
#define SD_WIN32_SD_SYSTEM_H

// The foundation's door to the platform layer: its threads, sleeps and
// clock, and the kernel services it uses as they are (critical sections,
// thread-local storage, w32/kernel.h) with the debugger output and message
// boxes (w32/debug.h). Files of si/ include this, never w32/ directly.

#include "w32/debug.h"
#include "w32/kernel.h"

// Starts a detached thread running entry(arg); false when none can be made.
bool Zuvi_StartThread(void (*entry)(void*), void* arg);

// Suspends the calling thread; 0 gives up the rest of its time slice.
void Zuvi_Sleep(unsigned milliseconds);

// The current date and time, in the local time zone or universal.
struct Zuvi_ClockTime {
    int year, month, day, hour, minute, second, millisecond;
};
// False (and the reading untouched) when the clock cannot be read.
bool Zuvi_ReadClock(bool local, Zuvi_ClockTime& out);

#endif
