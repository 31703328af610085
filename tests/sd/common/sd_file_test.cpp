#include "sd/common/sd_file.h"

#include "zoveda/gfxmemory.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(FileLayer, GraphicsEngineAllocatesThroughTheCRuntimeOnceHooked)
{
    Zuvi_SetGfxMemoryHooks();
    ASSERT_NE(GfxMemory::fn_alloc, nullptr);
    ASSERT_NE(GfxMemory::fn_free, nullptr);
    EXPECT_EQ(GfxMemory::arg, nullptr);
    void* block = GfxMemory::fn_alloc(GfxMemory::arg, 64);
    ASSERT_NE(block, nullptr);
    std::memset(block, 0xAB, 64);   // the sanitizer checks that all 64 bytes are ours
    GfxMemory::fn_free(GfxMemory::arg, block);
}
