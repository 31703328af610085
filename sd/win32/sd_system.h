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

// A piece of work run on a thread of its own and waited for by its owner:
// what the work wrote is the owner's to read once Wait returned. The owner
// must wait before it goes; the destructor waits for a job still running.
class Zuvi_ThreadJob {
public:
    Zuvi_ThreadJob();
    ~Zuvi_ThreadJob();
    Zuvi_ThreadJob(const Zuvi_ThreadJob&) = delete;
    Zuvi_ThreadJob& operator=(const Zuvi_ThreadJob&) = delete;
    // Runs entry(arg) on a new thread; false (and nothing run) when a job
    // is still to be waited for or no thread can be made.
    bool Start(void (*entry)(void*), void* arg);
    // Returns once the job has ended; at once when none is pending.
    void Wait();
    // A job was started and not waited for yet.
    bool Pending() const;

private:
    void* thread;
};

// Suspends the calling thread; 0 gives up the rest of its time slice.
void Zuvi_Sleep(unsigned milliseconds);

// The current date and time, in the local time zone or universal.
struct Zuvi_ClockTime {
    int year, month, day, hour, minute, second, millisecond;
};
// False (and the reading untouched) when the clock cannot be read.
bool Zuvi_ReadClock(bool local, Zuvi_ClockTime& out);

#endif
