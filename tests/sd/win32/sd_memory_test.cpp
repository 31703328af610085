#include "sd/win32/sd_memory.h"

#include <gtest/gtest.h>

#include <cstdint>

TEST(SdMemory, SmallPiecesComeFromTheHeapLargeOnesFromGlobalMemory)
{
    struct Case {
        size_t size;
        bool global;
        size_t real;
    };
    const Case cases[] = {
        {1, false, 1},      {4095, false, 4095},  {4096, true, 4096},
        {5000, true, 5008}, {16384, true, 16384},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        size_t heap = Zuvi_MemHeapBytes();
        size_t global = Zuvi_MemGlobalBytes();
        void* ptr = nullptr;
        size_t real = 0;
        void* handle = nullptr;
        ASSERT_TRUE(Zuvi_MemAllocBuffer(0, c.size, ptr, real, handle));
        ASSERT_NE(ptr, nullptr);
        EXPECT_EQ(real, c.real);
        EXPECT_EQ(handle != nullptr, c.global);
        EXPECT_EQ(Zuvi_MemHeapBytes() - heap, c.global ? 0 : c.real);
        EXPECT_EQ(Zuvi_MemGlobalBytes() - global, c.global ? c.real : 0);
        static_cast<unsigned char*>(ptr)[real - 1] = 1;
        Zuvi_MemFreeBuffer(0, ptr, real, handle);
        EXPECT_EQ(Zuvi_MemHeapBytes(), heap);
        EXPECT_EQ(Zuvi_MemGlobalBytes(), global);
    }
}

TEST(SdMemory, NoMemoryGivesFalseWithNothingSet)
{
    void* ptr = reinterpret_cast<void*>(1);
    size_t real = 9;
    void* handle = reinterpret_cast<void*>(1);
    EXPECT_FALSE(Zuvi_MemAllocBuffer(0, SIZE_MAX - 4, ptr, real, handle));
    EXPECT_EQ(ptr, nullptr);
    EXPECT_EQ(real, 0u);
    EXPECT_EQ(handle, nullptr);
}

TEST(SdMemory, PlatformZonesAreCounted)
{
    unsigned before = Zuvi_MemZonesInUse();
    unsigned id = 7;
    EXPECT_TRUE(Zuvi_MemInitZone("Z", id));
    EXPECT_EQ(id, 0u);
    EXPECT_EQ(Zuvi_MemZonesInUse(), before + 1);
    Zuvi_MemKillZone(id);
    EXPECT_EQ(Zuvi_MemZonesInUse(), before);
    EXPECT_DEATH(Zuvi_MemKillZone(1), "Failed assertion: zone_id == 0");
    EXPECT_DEATH(Zuvi_MemKillZone(0), "Failed assertion: mem_zone_use != 0");
}
