// Events over eventfd, and the waits on handles.
#include "w32/handle.h"
#include "w32/pipe.h"
#include "w32/waitable.h"
#include "w32/winuser.h"

#include <cerrno>
#include <mutex>

#include <poll.h>
#include <sys/eventfd.h>
#include <time.h>
#include <unistd.h>

namespace {

class EventObject : public W32_KernelObject {
public:
    std::mutex lock;
    bool manual = false;
    bool signalled = false;
    int fd = -1;                   // readable while signalled
    HANDLE connect_pipe = nullptr; // a pipe whose connection signals it

    bool Release() override
    {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
        return true;
    }
    int Kind() const override { return W32_KIND_EVENT; }

    void Set()
    {
        if (!signalled) {
            signalled = true;
            uint64_t one = 1;
            (void)!::write(fd, &one, sizeof one);
        }
    }
    void Reset()
    {
        if (signalled) {
            signalled = false;
            uint64_t n;
            (void)!::read(fd, &n, sizeof n);
        }
    }
};

EventObject* AsEvent(HANDLE h)
{
    return static_cast<EventObject*>(W32_KernelObject::FromHandle(h, W32_KIND_EVENT));
}

} // namespace

HANDLE CreateEventA(void*, BOOL manual_reset, BOOL initial_state, LPCSTR)
{
    EventObject* e = new EventObject;
    e->fd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (e->fd < 0) {
        delete e;
        return nullptr;
    }
    e->manual = manual_reset != FALSE;
    if (initial_state)
        e->Set();
    return e;
}

BOOL SetEvent(HANDLE h)
{
    EventObject* e = AsEvent(h);
    if (e == nullptr)
        return FALSE;
    std::lock_guard<std::mutex> guard(e->lock);
    e->Set();
    return TRUE;
}

BOOL ResetEvent(HANDLE h)
{
    EventObject* e = AsEvent(h);
    if (e == nullptr)
        return FALSE;
    std::lock_guard<std::mutex> guard(e->lock);
    e->Reset();
    return TRUE;
}

void W32_EventWatchConnect(HANDLE event, HANDLE pipe)
{
    EventObject* e = AsEvent(event);
    if (e == nullptr)
        return;
    std::lock_guard<std::mutex> guard(e->lock);
    e->Reset();
    e->connect_pipe = pipe;
}

bool W32_WaitReady(HANDLE h)
{
    if (EventObject* e = AsEvent(h)) {
        std::lock_guard<std::mutex> guard(e->lock);
        if (e->connect_pipe != nullptr && W32_PipeTryConnect(e->connect_pipe)) {
            e->connect_pipe = nullptr;
            e->Set();
        }
        if (!e->signalled)
            return false;
        if (!e->manual)
            e->Reset();
        return true;
    }
    return W32_PipeReady(h);
}

int W32_WaitDescriptors(HANDLE h, int fd[2])
{
    if (EventObject* e = AsEvent(h)) {
        std::lock_guard<std::mutex> guard(e->lock);
        fd[0] = e->fd;
        if (e->connect_pipe != nullptr && W32_PipeDescriptor(e->connect_pipe) >= 0) {
            fd[1] = W32_PipeDescriptor(e->connect_pipe);
            return 2;
        }
        return 1;
    }
    int p = W32_PipeDescriptor(h);
    if (p < 0)
        return -1;
    fd[0] = p;
    return 1;
}

DWORD WaitForSingleObject(HANDLE h, DWORD timeout)
{
    timespec start;
    ::clock_gettime(CLOCK_MONOTONIC, &start);
    for (;;) {
        if (W32_WaitReady(h))
            return WAIT_OBJECT_0;
        int fd[2];
        int n = W32_WaitDescriptors(h, fd);
        if (n < 0)
            return WAIT_FAILED;
        int wait_ms = -1;
        if (timeout != INFINITE) {
            timespec now;
            ::clock_gettime(CLOCK_MONOTONIC, &now);
            long gone =
                long(now.tv_sec - start.tv_sec) * 1000 + (now.tv_nsec - start.tv_nsec) / 1000000;
            if (gone >= long(timeout))
                return WAIT_TIMEOUT;
            wait_ms = int(long(timeout) - gone);
        }
        pollfd p[2] = {{fd[0], POLLIN, 0}, {n > 1 ? fd[1] : -1, POLLIN, 0}};
        if (::poll(p, nfds_t(n), wait_ms) < 0 && errno != EINTR)
            return WAIT_FAILED;
    }
}
