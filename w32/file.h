#ifndef W32_FILE_H
#define W32_FILE_H

// Files of the platform layer over POSIX descriptors: opening with access,
// creation disposition and sharing, reading, writing, 64-bit positions and
// sizes, truncation, flushing, memory-mapped sections, and the directory
// services (delete, create, remove, current directory). Names are the
// operating system's own ("/" separated).

#include "w32/handle.h"
#include "w32/windef.h"

#include <cstdint>

typedef int64_t LONGLONG;
typedef uint64_t ULONGLONG;

struct LARGE_INTEGER {
    LONGLONG QuadPart;
};

// 100-nanosecond intervals since 1 January 1601, universal time.
struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};

struct SYSTEMTIME {
    WORD wYear;
    WORD wMonth;
    WORD wDayOfWeek;
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
};

#define MAX_PATH 260

// Access rights.
#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u

// Sharing: 0 means exclusive (the file cannot be opened again until closed).
#define FILE_SHARE_READ 0x00000001u
#define FILE_SHARE_WRITE 0x00000002u
#define FILE_SHARE_DELETE 0x00000004u

// Creation dispositions.
#define CREATE_NEW 1u
#define CREATE_ALWAYS 2u
#define OPEN_EXISTING 3u
#define OPEN_ALWAYS 4u
#define TRUNCATE_EXISTING 5u

// Attributes and flags.
#define FILE_ATTRIBUTE_READONLY 0x00000001u
#define FILE_ATTRIBUTE_HIDDEN 0x00000002u
#define FILE_ATTRIBUTE_SYSTEM 0x00000004u
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010u
#define FILE_ATTRIBUTE_NORMAL 0x00000080u
#define FILE_FLAG_WRITE_THROUGH 0x80000000u
#define FILE_FLAG_DELETE_ON_CLOSE 0x04000000u

// Move methods.
#define FILE_BEGIN 0u
#define FILE_CURRENT 1u
#define FILE_END 2u

// Page protections and view accesses of sections.
#define PAGE_READONLY 0x02u
#define PAGE_READWRITE 0x04u
#define PAGE_WRITECOPY 0x08u
#define FILE_MAP_COPY 0x0001u
#define FILE_MAP_WRITE 0x0002u
#define FILE_MAP_READ 0x0004u
#define FILE_MAP_ALL_ACCESS 0x000F001Fu

// Error modes (accepted; there are no system message boxes to switch off).
#define SEM_FAILCRITICALERRORS 0x0001u
#define SEM_NOOPENFILEERRORBOX 0x8000u

// ---- Files -----------------------------------------------------------------

// Opens or creates a file. Exclusive opening (share 0) takes an exclusive
// advisory lock and fails while another opening holds the file, even in this
// process; any other share mode takes a shared lock. Directories cannot be
// opened. Truncation happens only once the lock is held. A pipe name
// ("\\.\pipe\...") connects to the pipe server of that name instead
// (w32/pipe.h). INVALID_HANDLE_VALUE on failure.
HANDLE CreateFileA(LPCSTR name, DWORD access, DWORD share, void* security, DWORD creation,
                   DWORD flags, HANDLE template_file);
BOOL ReadFile(HANDLE file, LPVOID data, DWORD size, DWORD* done, void* overlapped);
BOOL WriteFile(HANDLE file, LPCVOID data, DWORD size, DWORD* done, void* overlapped);
// Moves the position; a resulting position below 0 fails and keeps it.
BOOL SetFilePointerEx(HANDLE file, LARGE_INTEGER distance, LARGE_INTEGER* new_pos, DWORD method);
BOOL GetFileSizeEx(HANDLE file, LARGE_INTEGER* size);
// Cuts (or extends) the file at the current position.
BOOL SetEndOfFile(HANDLE file);
BOOL FlushFileBuffers(HANDLE file);

// ---- Sections (memory-mapped files and shared memory) ----------------------

// A section over an open file, or, with INVALID_HANDLE_VALUE, over shared
// memory (named: visible to other processes by that name until its creator
// closes it; unnamed: private to the holders of the handle). A named section
// that exists already is opened, grown to the size asked when it is
// smaller. Null on failure.
HANDLE CreateFileMappingA(HANDLE file, void* security, DWORD protect, DWORD size_high,
                          DWORD size_low, LPCSTR name);
// Opens an existing named section; null when there is none.
HANDLE OpenFileMappingA(DWORD access, BOOL inherit, LPCSTR name);
// Maps `size` bytes (0: to the end of the section) at the offset; any offset
// inside the section is accepted, on a page boundary or not. Null on failure.
LPVOID MapViewOfFile(HANDLE mapping, DWORD access, DWORD offset_high, DWORD offset_low,
                     SIZE_T size);
BOOL UnmapViewOfFile(LPCVOID address);
BOOL FlushViewOfFile(LPCVOID address, SIZE_T size);

// ---- Directory services ----------------------------------------------------

BOOL DeleteFileA(LPCSTR name);
// Renames a file; with MOVEFILE_REPLACE_EXISTING an existing file of the new
// name is replaced in one step (both names on the same file system), never
// left half. Without it an existing new name fails. With
// MOVEFILE_WRITE_THROUGH the directory that holds the new name is synced
// before the call returns, so that the rename survives a crash.
#define MOVEFILE_REPLACE_EXISTING 0x00000001u
#define MOVEFILE_WRITE_THROUGH 0x00000008u
BOOL MoveFileExA(LPCSTR existing, LPCSTR new_name, DWORD flags);
BOOL CreateDirectoryA(LPCSTR name, void* security);
BOOL RemoveDirectoryA(LPCSTR name);
BOOL SetCurrentDirectoryA(LPCSTR name);
// Characters written without the terminating zero; when the buffer is too
// small, the size it needs with the zero, and nothing is written. 0 on failure.
DWORD GetCurrentDirectoryA(DWORD size, LPSTR buffer);

UINT SetErrorMode(UINT mode);

// ---- File times ------------------------------------------------------------

BOOL FileTimeToLocalFileTime(const FILETIME* utc, FILETIME* local);
BOOL FileTimeToSystemTime(const FILETIME* ft, SYSTEMTIME* st);

#endif
