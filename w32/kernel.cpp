// Kernel services over POSIX: the C heap, pthread mutexes and keys.
#include "w32/kernel.h"
#include "w32/systime.h"

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <ctime>
#include <cstdlib>
#include <cstring>
#include <new>

#include <pthread.h>
#include <sched.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <unistd.h>

// Older C library headers lack it; the kernel's number is fixed.
#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23
#endif

// ---- Global memory ---------------------------------------------------------

namespace {

// Record in front of every global block; its size keeps the data 16-aligned.
struct GlobalRecord {
    uint64_t magic;
    uint64_t size;
    uint32_t lock_count;
    uint32_t flags;
    uint64_t pad;
};
static_assert(sizeof(GlobalRecord) % 16 == 0, "global record must keep 16-byte alignment");

const uint64_t kGlobalMagic = 0x5A47424C4F43u; // marks a live block
std::atomic<unsigned> g_fail_allocs{0};

GlobalRecord* RecordOf(HGLOBAL mem)
{
    GlobalRecord* rec = static_cast<GlobalRecord*>(mem);
    if (rec == nullptr || rec->magic != kGlobalMagic) {
        return nullptr;
    }
    return rec;
}

} // namespace

void W32_PrepareMemory(void* start, SIZE_T bytes)
{
    static const long page = sysconf(_SC_PAGESIZE);
    if (start == nullptr || page <= 0) {
        return;
    }
    const uintptr_t mask = uintptr_t(page) - 1;
    const uintptr_t first = (reinterpret_cast<uintptr_t>(start) + mask) & ~mask;
    const uintptr_t end = (reinterpret_cast<uintptr_t>(start) + bytes) & ~mask;
    if (end > first) {
        // Writable pages are made as a first write would make them: the
        // contents do not change. A kernel without it refuses, and the pages
        // come at their first touch.
        madvise(reinterpret_cast<void*>(first), end - first, MADV_POPULATE_WRITE);
    }
}

void W32_FailGlobalAllocs(unsigned count)
{
    g_fail_allocs.store(count);
}

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes)
{
    unsigned pending = g_fail_allocs.load();
    while (pending != 0) {
        if (g_fail_allocs.compare_exchange_weak(pending, pending - 1)) {
            return nullptr;
        }
    }
    if (bytes > SIZE_MAX - sizeof(GlobalRecord) - 16) {
        return nullptr;
    }
    SIZE_T total = sizeof(GlobalRecord) + bytes;
    void* raw = nullptr;
    if (posix_memalign(&raw, 16, total) != 0 || raw == nullptr) {
        return nullptr;
    }
    GlobalRecord* rec = static_cast<GlobalRecord*>(raw);
    rec->magic = kGlobalMagic;
    rec->size = bytes;
    rec->lock_count = 0;
    rec->flags = flags;
    rec->pad = 0;
    if (flags & GMEM_ZEROINIT) {
        std::memset(rec + 1, 0, bytes);
    }
    return rec;
}

LPVOID GlobalLock(HGLOBAL mem)
{
    GlobalRecord* rec = RecordOf(mem);
    if (rec == nullptr) {
        return nullptr;
    }
    rec->lock_count++;
    return rec + 1;
}

BOOL GlobalUnlock(HGLOBAL mem)
{
    GlobalRecord* rec = RecordOf(mem);
    if (rec == nullptr || rec->lock_count == 0) {
        return FALSE;
    }
    rec->lock_count--;
    return rec->lock_count != 0 ? TRUE : FALSE;
}

SIZE_T GlobalSize(HGLOBAL mem)
{
    GlobalRecord* rec = RecordOf(mem);
    return rec == nullptr ? 0 : rec->size;
}

HGLOBAL GlobalReAlloc(HGLOBAL mem, SIZE_T bytes, UINT flags)
{
    GlobalRecord* rec = RecordOf(mem);
    if (rec == nullptr || rec->lock_count != 0) {
        return nullptr;
    }
    HGLOBAL moved = GlobalAlloc(rec->flags & ~GMEM_ZEROINIT, bytes);
    if (moved == nullptr) {
        return nullptr;
    }
    GlobalRecord* to = static_cast<GlobalRecord*>(moved);
    SIZE_T kept = rec->size < bytes ? rec->size : bytes;
    std::memcpy(to + 1, rec + 1, kept);
    if ((flags & GMEM_ZEROINIT) && bytes > kept) {
        std::memset(reinterpret_cast<char*>(to + 1) + kept, 0, bytes - kept);
    }
    GlobalFree(mem);
    return moved;
}

HGLOBAL GlobalFree(HGLOBAL mem)
{
    GlobalRecord* rec = RecordOf(mem);
    if (rec == nullptr) {
        return mem;
    }
    rec->magic = 0;
    std::free(rec);
    return nullptr;
}

// ---- Critical sections -----------------------------------------------------

namespace {

struct Section {
    pthread_mutex_t mutex;
    std::atomic<pthread_t> owner; // the holder (pthread_self), 0 when free
    LONG recursion;               // written by the holder only
    std::atomic<DWORD> spin;
    std::atomic<int> ready;
};
static_assert(sizeof(Section) <= sizeof(CRITICAL_SECTION), "critical section storage too small");
static_assert(alignof(Section) <= 16, "critical section alignment");

Section* SectionOf(LPCRITICAL_SECTION cs)
{
    return reinterpret_cast<Section*>(cs->opaque);
}

} // namespace

void InitializeCriticalSection(LPCRITICAL_SECTION cs)
{
    Section* s = new (cs->opaque) Section;
    pthread_mutex_init(&s->mutex, nullptr);
    s->owner.store(0);
    s->recursion = 0;
    s->spin.store(0);
    s->ready.store(1);
}

BOOL InitializeCriticalSectionAndSpinCount(LPCRITICAL_SECTION cs, DWORD spin_count)
{
    InitializeCriticalSection(cs);
    SetCriticalSectionSpinCount(cs, spin_count);
    return TRUE;
}

DWORD SetCriticalSectionSpinCount(LPCRITICAL_SECTION cs, DWORD spin_count)
{
    return SectionOf(cs)->spin.exchange(spin_count);
}

void EnterCriticalSection(LPCRITICAL_SECTION cs)
{
    Section* s = SectionOf(cs);
    pthread_t self = pthread_self();
    if (s->owner.load(std::memory_order_relaxed) == self) {
        s->recursion++;
        return;
    }
    bool taken = false;
    for (DWORD i = s->spin.load(std::memory_order_relaxed); i != 0; --i) {
        if (pthread_mutex_trylock(&s->mutex) == 0) {
            taken = true;
            break;
        }
        if ((i & 63) == 0) {
            sched_yield();
        }
    }
    if (!taken) {
        pthread_mutex_lock(&s->mutex);
    }
    s->owner.store(self, std::memory_order_relaxed);
    s->recursion = 1;
}

BOOL TryEnterCriticalSection(LPCRITICAL_SECTION cs)
{
    Section* s = SectionOf(cs);
    pthread_t self = pthread_self();
    if (s->owner.load(std::memory_order_relaxed) == self) {
        s->recursion++;
        return TRUE;
    }
    if (pthread_mutex_trylock(&s->mutex) != 0) {
        return FALSE;
    }
    s->owner.store(self, std::memory_order_relaxed);
    s->recursion = 1;
    return TRUE;
}

void LeaveCriticalSection(LPCRITICAL_SECTION cs)
{
    Section* s = SectionOf(cs);
    if (s->owner.load(std::memory_order_relaxed) != pthread_self()) {
        return; // not the holder: leaving would corrupt the lock
    }
    if (--s->recursion == 0) {
        s->owner.store(0, std::memory_order_relaxed);
        pthread_mutex_unlock(&s->mutex);
    }
}

void DeleteCriticalSection(LPCRITICAL_SECTION cs)
{
    Section* s = SectionOf(cs);
    if (s->ready.exchange(0) == 1) {
        pthread_mutex_destroy(&s->mutex);
        s->~Section();
    }
}

// ---- Thread-local storage --------------------------------------------------

DWORD TlsAlloc()
{
    pthread_key_t key;
    if (pthread_key_create(&key, nullptr) != 0) {
        return TLS_OUT_OF_INDEXES;
    }
    return static_cast<DWORD>(key);
}

LPVOID TlsGetValue(DWORD index)
{
    if (index == TLS_OUT_OF_INDEXES) {
        return nullptr;
    }
    return pthread_getspecific(static_cast<pthread_key_t>(index));
}

BOOL TlsSetValue(DWORD index, LPVOID value)
{
    if (index == TLS_OUT_OF_INDEXES) {
        return FALSE;
    }
    return pthread_setspecific(static_cast<pthread_key_t>(index), value) == 0 ? TRUE : FALSE;
}

BOOL TlsFree(DWORD index)
{
    if (index == TLS_OUT_OF_INDEXES) {
        return FALSE;
    }
    return pthread_key_delete(static_cast<pthread_key_t>(index)) == 0 ? TRUE : FALSE;
}

// ---- Threads ---------------------------------------------------------------

DWORD GetCurrentThreadId()
{
    static thread_local DWORD id = 0;
    if (id == 0) {
        id = static_cast<DWORD>(syscall(SYS_gettid));
    }
    return id;
}

DWORD GetCurrentProcessId()
{
    return static_cast<DWORD>(getpid());
}

void Sleep(DWORD milliseconds)
{
    timespec ts{time_t(milliseconds / 1000), long(milliseconds % 1000) * 1000000L};
    while (::nanosleep(&ts, &ts) != 0 && errno == EINTR) {}
}

unsigned long long GetTickCount64()
{
    long long fake;
    if (W32_ReadTestClock(fake))
        return static_cast<unsigned long long>(fake);
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<unsigned long long>(ts.tv_sec) * 1000ull +
           static_cast<unsigned long long>(ts.tv_nsec) / 1000000ull;
}

namespace {
thread_local DWORD t_last_error = 0;
}

DWORD GetLastError()
{
    return t_last_error;
}

void SetLastError(DWORD code)
{
    t_last_error = code;
}
