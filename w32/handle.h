#ifndef W32_HANDLE_H
#define W32_HANDLE_H

// Kernel handles of the platform layer. Every object that CloseHandle may
// close (files, file-mapping sections, ...) is one record derived from
// W32_KernelObject; the HANDLE designates the record.

#include "w32/windef.h"

#define INVALID_HANDLE_VALUE ((HANDLE)(LONG_PTR)-1)

class W32_KernelObject {
public:
    virtual ~W32_KernelObject();
    // Releases what the object holds; false when the system refused.
    virtual bool Release() = 0;
    // A tag that tells the kinds apart without run-time type information.
    virtual int Kind() const = 0;

    // The record behind a handle when it is of the given kind, else null.
    static W32_KernelObject* FromHandle(HANDLE h, int kind);
};

enum {
    W32_KIND_FILE = 1,
    W32_KIND_MAPPING = 2,
    W32_KIND_FIND = 3,
    W32_KIND_PIPE = 4,
    W32_KIND_EVENT = 5,
};

// Closes any kernel handle. False for null, INVALID_HANDLE_VALUE, or when
// releasing failed (the record is gone all the same).
BOOL CloseHandle(HANDLE h);

#endif
