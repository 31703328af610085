#include "sd/common/sd_file.h"

#include "zoveda/gfxmemory.h"

#include <cstdlib>

namespace {

void* GfxAlloc(void*, unsigned long size)
{
    return std::malloc(size);
}

void GfxFree(void*, void* ptr)
{
    std::free(ptr);
}

} // namespace

void Zuvi_SetGfxMemoryHooks()
{
    GfxMemory::arg = nullptr;
    GfxMemory::fn_alloc = &GfxAlloc;
    GfxMemory::fn_free = &GfxFree;
}
