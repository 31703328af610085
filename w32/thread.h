#ifndef W32_THREAD_H
#define W32_THREAD_H

// Threads of the platform layer (sleeps: w32/kernel.h).

#include "w32/windef.h"

// Starts a detached thread that runs start(arg); the thread's resources go
// when it returns. Answers (uintptr_t)-1 when the thread cannot be made.
uintptr_t _beginthread(void (*start)(void*), unsigned stack_size, void* arg);

#endif
