#include "zoveda/gfxmemory.h"

// Unset until the class library's start-up points them at its allocator.
void* GfxMemory::arg = nullptr;
GfxMemory::AllocFn GfxMemory::fn_alloc = nullptr;
GfxMemory::FreeFn GfxMemory::fn_free = nullptr;
