// Threads over pthreads.
#include "w32/thread.h"

#include <new>

#include <pthread.h>

namespace {

struct Start {
    void (*start)(void*);
    void* arg;
};

void* Launch(void* p)
{
    Start s = *static_cast<Start*>(p);
    delete static_cast<Start*>(p);
    s.start(s.arg);
    return nullptr;
}

} // namespace

uintptr_t _beginthread(void (*start)(void*), unsigned stack_size, void* arg)
{
    if (!start)
        return uintptr_t(-1);
    Start* s = new (std::nothrow) Start{start, arg};
    if (!s)
        return uintptr_t(-1);
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setdetachstate(&attr, PTHREAD_CREATE_DETACHED);
    if (stack_size)
        pthread_attr_setstacksize(&attr, stack_size);
    pthread_t id;
    int rc = pthread_create(&id, &attr, &Launch, s);
    pthread_attr_destroy(&attr);
    if (rc != 0) {
        delete s;
        return uintptr_t(-1);
    }
    return uintptr_t(id);
}
