#include "zoveda/gfxmemory.h"

#include <gtest/gtest.h>

// The engine must not allocate before the library has set its hooks: until
// then they are unset, so a premature allocation fails loudly.
TEST(GfxMemory, HooksAreUnsetUntilTheLibrarySetsThem)
{
    EXPECT_EQ(GfxMemory::fn_alloc, nullptr);
    EXPECT_EQ(GfxMemory::fn_free, nullptr);
    EXPECT_EQ(GfxMemory::arg, nullptr);
}
