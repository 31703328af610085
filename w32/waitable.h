#ifndef W32_WAITABLE_H
#define W32_WAITABLE_H

// What the waits (MsgWaitForMultipleObjects, WaitForSingleObject) need of
// a handle: whether it is signalled now (an auto-reset event is cleared by
// the answer), and the descriptors to poll until it may be.
//
// Internal to w32/.

#include "w32/windef.h"

// True when the handle is signalled: a set event, a pipe with bytes
// waiting (also bytes a short read left in user space), a listening pipe
// with a client to take, an event whose overlapped connect completed.
bool W32_WaitReady(HANDLE handle);
// Up to two descriptors into fd; the count, or -1 for a handle that cannot
// be waited on.
int W32_WaitDescriptors(HANDLE handle, int fd[2]);

// Pipes (w32/pipe.cpp).
bool W32_PipeReady(HANDLE pipe);
// Takes a waiting client without blocking; true when connected.
bool W32_PipeTryConnect(HANDLE pipe);
// Events (w32/event.cpp): the event is signalled once a client connects to
// the pipe.
void W32_EventWatchConnect(HANDLE event, HANDLE pipe);

#endif
