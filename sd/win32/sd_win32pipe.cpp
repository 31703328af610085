#include "sd/win32/sd_win32pipe.h"

#include "w32/file.h"
#include "w32/kernel.h"
#include "w32/pipe.h"

bool Zuvi_PipeCreate(Zuvi_PipeRecord& pipe, const char* name, unsigned default_timeout_ms)
{
    HANDLE h = CreateNamedPipeA(name, PIPE_ACCESS_DUPLEX,
                                PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT,
                                PIPE_UNLIMITED_INSTANCES, 0, 0, default_timeout_ms, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    pipe.handle = h;
    return true;
}

bool Zuvi_PipeConnect(Zuvi_PipeRecord& pipe)
{
    return ConnectNamedPipe(pipe.handle, nullptr) != FALSE;
}

bool Zuvi_PipeDisconnect(Zuvi_PipeRecord& pipe)
{
    return DisconnectNamedPipe(pipe.handle) != FALSE;
}

bool Zuvi_PipeOpen(Zuvi_PipeRecord& pipe, const char* name)
{
    HANDLE h =
        CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD mode = PIPE_READMODE_MESSAGE;
    SetNamedPipeHandleState(h, &mode, nullptr, nullptr);
    pipe.handle = h;
    return true;
}

unsigned Zuvi_PipeRead(Zuvi_PipeRecord& pipe, void* data, unsigned size)
{
    DWORD done = 0;
    return ReadFile(pipe.handle, data, size, &done, nullptr) ? done : 0;
}

unsigned Zuvi_PipeWrite(Zuvi_PipeRecord& pipe, const void* data, unsigned size)
{
    DWORD done = 0;
    return WriteFile(pipe.handle, data, size, &done, nullptr) ? done : 0;
}

bool Zuvi_PipeBytesWaiting(Zuvi_PipeRecord& pipe, unsigned& count)
{
    DWORD available = 0;
    count = 0;
    if (!PeekNamedPipe(pipe.handle, nullptr, 0, nullptr, &available, nullptr))
        return false;
    count = available;
    return true;
}

bool Zuvi_PipeFlush(Zuvi_PipeRecord& pipe)
{
    return FlushFileBuffers(pipe.handle) != FALSE;
}

void Zuvi_PipeClose(Zuvi_PipeRecord& pipe)
{
    if (pipe.handle != nullptr)
        CloseHandle(pipe.handle);
    pipe.handle = nullptr;
}

int Zuvi_PipeDescriptor(const Zuvi_PipeRecord& pipe)
{
    return W32_PipeDescriptor(pipe.handle);
}

void Zuvi_PipeSleep(unsigned milliseconds)
{
    Sleep(milliseconds);
}
