#ifndef W32_KERNEL_H
#define W32_KERNEL_H

// Kernel services of the platform layer: global memory blocks, critical
// sections, thread-local storage and thread identity.

#include "w32/windef.h"

// ---- Global memory ---------------------------------------------------------

#define GMEM_FIXED 0x0000u
#define GMEM_MOVEABLE 0x0002u
#define GMEM_DDESHARE 0x2000u
#define GMEM_SHARE GMEM_DDESHARE
#define GMEM_ZEROINIT 0x0040u
#define GPTR (GMEM_FIXED | GMEM_ZEROINIT)

// A global block is one piece of C heap memory with a small record in front;
// the handle designates the record, GlobalLock gives the usable bytes
// (aligned on 16 bytes). Null on failure.
HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes);
LPVOID GlobalLock(HGLOBAL mem);
BOOL GlobalUnlock(HGLOBAL mem);
SIZE_T GlobalSize(HGLOBAL mem);
// A block of the new size with the old bytes (the new ones zeroed with
// GMEM_ZEROINIT); the old handle is then gone. Null (the old block kept)
// on failure or while the block is locked.
HGLOBAL GlobalReAlloc(HGLOBAL mem, SIZE_T bytes, UINT flags);
// Null when the block was released, the handle otherwise (as a failure).
HGLOBAL GlobalFree(HGLOBAL mem);
// Makes the whole pages inside [start, start + bytes) present now, in one
// call rather than one page fault each, for memory about to be filled. The
// bytes stay as they are; where the system cannot, nothing happens.
void W32_PrepareMemory(void* start, SIZE_T bytes);

// ---- Critical sections -----------------------------------------------------

// A recursive lock that, once given a spin count (none at first), tries
// that many times before it sleeps. The storage is opaque here; it needs
// no constructor, so a zero-filled static one can be initialised at any
// time, also during static initialisation.
struct CRITICAL_SECTION {
    alignas(16) unsigned char opaque[80];
};
typedef CRITICAL_SECTION* LPCRITICAL_SECTION;

void InitializeCriticalSection(LPCRITICAL_SECTION cs);
BOOL InitializeCriticalSectionAndSpinCount(LPCRITICAL_SECTION cs, DWORD spin_count);
DWORD SetCriticalSectionSpinCount(LPCRITICAL_SECTION cs, DWORD spin_count);
void EnterCriticalSection(LPCRITICAL_SECTION cs);
BOOL TryEnterCriticalSection(LPCRITICAL_SECTION cs);
void LeaveCriticalSection(LPCRITICAL_SECTION cs);
void DeleteCriticalSection(LPCRITICAL_SECTION cs);

// ---- Thread-local storage --------------------------------------------------

#define TLS_OUT_OF_INDEXES ((DWORD)0xFFFFFFFFu)

DWORD TlsAlloc();
LPVOID TlsGetValue(DWORD index);
BOOL TlsSetValue(DWORD index, LPVOID value);
BOOL TlsFree(DWORD index);

// ---- Threads ---------------------------------------------------------------

DWORD GetCurrentThreadId();
DWORD GetCurrentProcessId();
// Suspends the calling thread for at least `milliseconds`.
void Sleep(DWORD milliseconds);
// Milliseconds of a monotonic clock since an arbitrary start.
unsigned long long GetTickCount64();

// The calling thread's last error code, set by the calls that say so.
#define ERROR_CLASS_ALREADY_EXISTS 1410u
#define ERROR_IO_PENDING 997u
#define ERROR_PIPE_CONNECTED 535u
#define ERROR_INVALID_THREAD_ID 1444u
DWORD GetLastError();
void SetLastError(DWORD code);

// ---- Test support ----------------------------------------------------------

// Makes the next `count` calls of GlobalAlloc fail (return null), so that
// callers' out-of-memory paths can be exercised. 0 turns it off.
void W32_FailGlobalAllocs(unsigned count);

#endif
