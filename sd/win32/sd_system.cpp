#include "sd/win32/sd_system.h"

#include "w32/kernel.h"
#include "w32/systime.h"
#include "w32/thread.h"

#include <new>
#include <thread>

bool Zuvi_StartThread(void (*entry)(void*), void* arg)
{
    return _beginthread(entry, 0, arg) != uintptr_t(-1);
}

Zuvi_ThreadJob::Zuvi_ThreadJob() : thread(nullptr) {}

Zuvi_ThreadJob::~Zuvi_ThreadJob()
{
    Wait();
}

bool Zuvi_ThreadJob::Start(void (*entry)(void*), void* arg)
{
    if (thread != nullptr || entry == nullptr)
        return false;
    try {
        thread = new std::thread(entry, arg);
    } catch (...) {
        // No memory or no thread: the caller does the work itself.
        thread = nullptr;
        return false;
    }
    return true;
}

void Zuvi_ThreadJob::Wait()
{
    std::thread* t = static_cast<std::thread*>(thread);
    if (t == nullptr)
        return;
    if (t->joinable())
        t->join();
    delete t;
    thread = nullptr;
}

bool Zuvi_ThreadJob::Pending() const
{
    return thread != nullptr;
}

void Zuvi_Sleep(unsigned milliseconds)
{
    Sleep(milliseconds);
}

bool Zuvi_ReadClock(bool local, Zuvi_ClockTime& out)
{
    SYSTEMTIME st;
    if (local)
        GetLocalTime(&st);
    else
        GetSystemTime(&st);
    if (st.wYear == 0)
        return false;
    out.year = st.wYear;
    out.month = st.wMonth;
    out.day = st.wDay;
    out.hour = st.wHour;
    out.minute = st.wMinute;
    out.second = st.wSecond;
    out.millisecond = st.wMilliseconds;
    return true;
}
