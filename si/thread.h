#ifndef SI_THREAD_H
#define SI_THREAD_H

// Library threads and the one process-wide lock.
//
// The lock guards the structures that worker threads share with the main
// thread (memory zones, atoms, handles). It is re-entrant, built on the first
// call (also during static initialisation) and never torn down, so it keeps
// working while static objects are destroyed at exit.

#include <atomic>

#include "si/object.h"
#include "si/performer.h"
#include "si/string.h"

#include "si/enumfamily.h"

// Why the global lock is taken. Every value takes the same lock: the memory
// zones take it as MEMORY, the atoms as ATOM, handles, reference counts and
// the deletion queue as HANDLE, collector passes as COLLECTOR and the
// application's queues as APPLICATION.
// clang-format off
#define ZU_GLOBAL_LOCK_ID_LIST(X)                                                   \
    X(ZU_GLOBAL_LOCK_NONE, 0) X(ZU_GLOBAL_LOCK_MEMORY, 1) X(ZU_GLOBAL_LOCK_ATOM, 2)  \
    X(ZU_GLOBAL_LOCK_HANDLE, 3) X(ZU_GLOBAL_LOCK_COLLECTOR, 4) X(ZU_GLOBAL_LOCK_APPLICATION, 5)
// clang-format on
ZU_ENUM(ZuGlobalLockId, ZU_GLOBAL_LOCK_ID_LIST)

ZU_HANDLE(ZuThread, ZuObject)

// A library thread: runs its performer on a platform thread. The object
// always holds a handle to itself, and carries status bit 3, which tells
// the collector that its member handles are roots.
class ZuThread : public ZuObject {
    ZU_CLASS(ZuThread, ZuObject)
public:
    ZuThread();
    ~ZuThread() override;

    // The name is a copy of the string given (empty for an empty handle).
    virtual void SetName(const ZuStringRef& name);
    virtual const ZuStringRef& RetName() const { return name; }

    // Starts the platform thread; false when already running or when the
    // platform refuses.
    virtual bool Run();
    // False while running and once dead.
    virtual bool SetPerformer(const ZuPerformerRef& performer);
    virtual bool IsRunning() const { return running; }
    virtual bool IsDead() const { return dead; }
    virtual bool IsStopRequested() const { return stop_requested; }
    virtual void RequestStop() { stop_requested = true; }
    virtual void Sleep(unsigned milliseconds);
    virtual void Yield();
    void Delete() override;

    const ZuPerformerRef& RetPerformer() const { return performer; }

    // The thread object of the calling worker; empty on the main thread.
    static ZuThreadRef Current();
    // The start procedure of every library thread.
    static void ThreadLauncher(void* thread);

    // True when no worker ever registered a thread slot, or when the calling
    // thread's slot is empty.
    static bool IsMainThread();

    // Takes and releases the global lock; the id only says why. The lock is
    // a word taken with one atomic exchange and a per-thread depth for
    // re-entry; a contended taker spins a little, then yields its time.
    static void QuickGlobalLock(ZuGlobalLockId)
    {
        if (global_lock_depth++ == 0 &&
            global_lock_word.exchange(1, std::memory_order_acquire) != 0) {
            WaitGlobalLock();
        }
    }
    static void QuickGlobalUnlock(ZuGlobalLockId)
    {
        if (--global_lock_depth == 0) {
            global_lock_word.store(0, std::memory_order_release);
        }
    }

protected:
    // The object registered in the calling thread's slot (null on the main
    // thread and on threads that never registered).
    static ZuThread* RetSlotThread();
    // Stores `thread` in the calling thread's slot; the slot is allocated on
    // first use. False when the platform has no slot left.
    static bool SetSlotThread(ZuThread* thread);

    // Tries of a contended taker before it yields its time slice.
    static constexpr unsigned global_lock_spin_count = 1000;

    // The thread-local slot index; "none" (TLS_OUT_OF_INDEXES) until a
    // worker first registers.
    static std::atomic<unsigned> tls_index;

private:
    // The contended path: spins, then yields, until the word is taken.
    static void WaitGlobalLock();
    // 1 while a thread holds the global lock; constant-initialised, so it
    // works during static initialisation and destruction.
    static std::atomic<int> global_lock_word;
    // How often the calling thread holds the lock (0: not at all).
    static __thread unsigned global_lock_depth __attribute__((tls_model("initial-exec")));

    ZuThreadRef self;
    ZuStringRef name;
    ZuPerformerRef performer;
    std::atomic<bool> running;
    std::atomic<bool> dead;
    std::atomic<bool> stop_requested;
};
ZU_CLASS_END(ZuThread)

#endif
