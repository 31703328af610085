#ifndef SI_NEW_H
#define SI_NEW_H

// The library's allocation operators. Objects and arrays are made in a zone:
//   T* t = new (Zuvi_app_zone, "T", __LINE__, ZU_SRC_FILE) T(...);
// and given back through the zone (Free, FreeAnyZone), never with delete.
// The single-argument form is forbidden.

#include <cstddef>

class ZuMemZone;
class ZuRuntimeRef;

// Stops the program: objects are never made outside a zone.
[[noreturn]] void* zuvi_operator_new(unsigned size);
// A block of `size` bytes in `zone` (which must not be null).
void* zuvi_operator_new(unsigned size, ZuMemZone* zone, const char* name, unsigned line,
                        const char* file);
// Placement of an object of class `runtime` in a caller's buffer of
// `buffer_len` bytes.
void* zuvi_operator_new(unsigned size, const ZuRuntimeRef& runtime, void* buffer_ptr,
                        unsigned buffer_len, unsigned line, const char* file);
// Placement in a caller's buffer.
void* zuvi_operator_new(unsigned size, void* buffer_ptr, unsigned line, const char* file);
// Only records the pointer (the memory goes back through its zone).
void zuvi_operator_delete(void* pointer);
// The last pointer given to zuvi_operator_delete.
extern void* zuvi_deleted_pointer;

// The C++ forms over the zone form.
void* operator new(size_t size, ZuMemZone* zone, const char* name, unsigned line, const char* file);
void* operator new[](size_t size, ZuMemZone* zone, const char* name, unsigned line,
                     const char* file);
// Called only when a constructor throws: gives the block back to the zone.
void operator delete(void* pointer, ZuMemZone* zone, const char* name, unsigned line,
                     const char* file);
void operator delete[](void* pointer, ZuMemZone* zone, const char* name, unsigned line,
                       const char* file);

#endif
