#include "si/thread.h"

#include "si/rtclass.h"

#include "si/typeinfo.h"
#include "sd/win32/sd_system.h"

ZU_ENUM_REGISTER(ZuGlobalLockId)

std::atomic<unsigned> ZuThread::tls_index{TLS_OUT_OF_INDEXES};

std::atomic<int> ZuThread::global_lock_word{0};
__thread unsigned ZuThread::global_lock_depth __attribute__((tls_model("initial-exec"))) = 0;

void ZuThread::WaitGlobalLock()
{
    for (;;) {
        for (unsigned i = 0; i < global_lock_spin_count; ++i) {
            // Read first, so that waiters do not fight over the cache line.
            if (global_lock_word.load(std::memory_order_relaxed) == 0 &&
                global_lock_word.exchange(1, std::memory_order_acquire) == 0) {
                return;
            }
#if defined(__x86_64__) || defined(__i386__)
            __builtin_ia32_pause();
#endif
        }
        Zuvi_Sleep(0);
    }
}

bool ZuThread::IsMainThread()
{
    DWORD index = tls_index.load(std::memory_order_acquire);
    if (index == TLS_OUT_OF_INDEXES) {
        return true;
    }
    return TlsGetValue(index) == nullptr;
}

ZuThread* ZuThread::RetSlotThread()
{
    DWORD index = tls_index.load(std::memory_order_acquire);
    if (index == TLS_OUT_OF_INDEXES) {
        return nullptr;
    }
    return static_cast<ZuThread*>(TlsGetValue(index));
}

bool ZuThread::SetSlotThread(ZuThread* thread)
{
    DWORD index = tls_index.load(std::memory_order_acquire);
    if (index == TLS_OUT_OF_INDEXES) {
        // Two workers may start at once: allocate under the lock, once.
        QuickGlobalLock(ZU_GLOBAL_LOCK_NONE);
        index = tls_index.load(std::memory_order_relaxed);
        if (index == TLS_OUT_OF_INDEXES) {
            index = TlsAlloc();
            tls_index.store(index, std::memory_order_release);
        }
        QuickGlobalUnlock(ZU_GLOBAL_LOCK_NONE);
        if (index == TLS_OUT_OF_INDEXES) {
            return false;
        }
    }
    return TlsSetValue(index, thread) != FALSE;
}

// ---------------------------------------------------------------------------
// The thread object
// ---------------------------------------------------------------------------

ZU_IMPLEMENT_CLASS(ZuThread, ZU_SRC_FILE, ZU_CLASS_NOT_STORED)

ZuThread::ZuThread() : running(false), dead(false), stop_requested(false)
{
    self = this;
    SetStatus(ZuObjectStatusBit(3));
}

ZuThread::~ZuThread() {}

bool ZuThread::Run()
{
    // Running from the call on, so that a second Run cannot start the
    // performer twice before the first thread is under way.
    if (running.exchange(true))
        return false;
    dead = false;
    if (!Zuvi_StartThread(&ZuThread::ThreadLauncher, static_cast<void*>(this))) {
        running = false;
        return false;
    }
    return true;
}

void ZuThread::ThreadLauncher(void* thread)
{
    ZuThreadRef hold(static_cast<ZuThread*>(thread));
    SetSlotThread(hold.RetRawObject());
    hold->running = true;
    hold->dead = false;
    ZuPerformerRef work(hold->performer);
    if (work.IsValid())
        work->Run(hold);
    work = ZuPerformerRef();
    // Whoever waits for the thread to be dead may go on to stop the library
    // at once: the thread's own handle goes before it says so, while the
    // object still holds itself (self) and so outlives the flags' writing.
    ZuThread* raw = hold.RetRawObject();
    if (raw->self.IsValid())
        hold = ZuThreadRef();
    SetSlotThread(nullptr);
    raw->running = false;
    raw->dead = true;
}

void ZuThread::SetName(const ZuStringRef& n)
{
    if (n.IsValid())
        name = n->Clone();
    else
        name = ZuStringNull;
}

bool ZuThread::SetPerformer(const ZuPerformerRef& p)
{
    if (running || dead)
        return false;
    performer = p;
    return true;
}

void ZuThread::Sleep(unsigned milliseconds)
{
    Zuvi_Sleep(milliseconds);
}

void ZuThread::Yield()
{
    Sleep(0);
}

void ZuThread::Delete()
{
    performer = ZuPerformerRef();
    name = ZuStringRef();
    self = ZuThreadRef();
    ZuObject::Delete();
}

ZuThreadRef ZuThread::Current()
{
    return ZuThreadRef(RetSlotThread());
}
