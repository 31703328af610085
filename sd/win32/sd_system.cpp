#include "sd/win32/sd_system.h"

#include "w32/kernel.h"
#include "w32/systime.h"
#include "w32/thread.h"

bool Zuvi_StartThread(void (*entry)(void*), void* arg)
{
    return _beginthread(entry, 0, arg) != uintptr_t(-1);
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
