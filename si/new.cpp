#include "si/new.h"

#include <climits>

#include "si/error.h"
#include "si/memzone.h"
#include "si/rtclass.h"

void* zuvi_deleted_pointer = nullptr;

void* zuvi_operator_new(unsigned)
{
    Zuvi_ErrorAbort("No <operator new> allowed in application.", __LINE__, ZU_SRC_FILE);
}

void* zuvi_operator_new(unsigned size, ZuMemZone* zone, const char* name, unsigned line,
                        const char* file)
{
    ZU_ASSERT(zone);
    return zone->Alloc(size, name, line, file, ZU_MEM_BIN);
}

void* zuvi_operator_new(unsigned size, const ZuRuntimeRef& runtime, void* buffer_ptr,
                        unsigned buffer_len, unsigned, const char*)
{
    ZU_ASSERT(size <= buffer_len);
    ZU_ASSERT(buffer_len);
    ZU_ASSERT(buffer_ptr);
    ZU_ASSERT_TEXT(runtime.IsValid(), "runtime.IsValid ()");
    return buffer_ptr;
}

void* zuvi_operator_new(unsigned size, void* buffer_ptr, unsigned, const char*)
{
    ZU_ASSERT(size);
    ZU_ASSERT(buffer_ptr);
    return buffer_ptr;
}

void zuvi_operator_delete(void* pointer)
{
    zuvi_deleted_pointer = pointer;
}

namespace {

unsigned CheckedSize(size_t size, unsigned line, const char* file)
{
    if (size > UINT_MAX) {
        throw ZuExcMemory(ZuExcMemory::ZU_MEM_NO_MEMORY, nullptr, line, file);
    }
    return static_cast<unsigned>(size);
}

} // namespace

void* operator new(size_t size, ZuMemZone* zone, const char* name, unsigned line, const char* file)
{
    return zuvi_operator_new(CheckedSize(size, line, file), zone, name, line, file);
}

void* operator new[](size_t size, ZuMemZone* zone, const char* name, unsigned line,
                     const char* file)
{
    return zuvi_operator_new(CheckedSize(size, line, file), zone, name, line, file);
}

void operator delete(void* pointer, ZuMemZone* zone, const char*, unsigned line, const char* file)
{
    if (pointer != nullptr && zone != nullptr) {
        zone->Free(pointer, line, file);
    }
}

void operator delete[](void* pointer, ZuMemZone* zone, const char*, unsigned line, const char* file)
{
    if (pointer != nullptr && zone != nullptr) {
        zone->Free(pointer, line, file);
    }
}
