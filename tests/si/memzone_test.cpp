#include "si/memzone.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include <climits>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "si/new.h"
#include "tests/support/debugcapture.h"
#include "w32/kernel.h"

namespace {

// A zone of its own for each test.
class MemZoneTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(zone.Initialise("TestZone")); }

    void* Alloc(unsigned size, const char* name = "block")
    {
        return zone.Alloc(size, name, __LINE__, "tests/si/memzone_test");
    }
    void Free(void* p) { zone.Free(p, __LINE__, "tests/si/memzone_test"); }

    // The code of the ZuExcMemory that freeing `p` throws, -1 if none.
    int FreeError(void* p)
    {
        try {
            Free(p);
        } catch (const ZuExcMemory& e) {
            return e.RetError();
        }
        return -1;
    }

    const ZuMemZone::ChunkHeader* Chunk(void* p) { return zone.FindChunk(p); }

    ZuMemZone zone;
};

} // namespace

TEST_F(MemZoneTest, SmallSizesComeFromTheQuickQueueOfTheirRoundedSize)
{
    struct Case {
        unsigned size;
        size_t block; // rounded size, prefix included
        int queue;    // -1: from a buffer
    };
    const Case cases[] = {
        {0, 16, 0},     {8, 16, 0},     {9, 32, 1},       {100, 112, 6},
        {488, 496, 30}, {489, 512, -1}, {1000, 1008, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        void* p = Alloc(c.size);
        const ZuMemZone::ChunkHeader* chunk = zone.RetLastAllocated();
        ASSERT_NE(chunk, nullptr);
        EXPECT_EQ(chunk, Chunk(p));
        EXPECT_EQ(chunk->address + 8, p);
        EXPECT_EQ(chunk->size, c.block);
        // The 8-byte prefix and 16-byte rounding keep blocks 8-aligned.
        EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % 8, 0u);
        if (c.queue >= 0) {
            EXPECT_EQ(chunk->in_quick_block, 1);
            EXPECT_EQ(chunk->quick_queue, zone.RetQuickQueue(c.queue));
            EXPECT_EQ(chunk->quick_block->element_size, c.block);
        } else {
            EXPECT_EQ(chunk->in_quick_block, 0);
        }
        std::memset(p, 0xA5, c.size);
    }
}

TEST_F(MemZoneTest, QuickBlocksHoldHundredSlotsAndFreedSlotsAreReused)
{
    std::vector<void*> blocks;
    for (int i = 0; i < 101; ++i) {
        blocks.push_back(Alloc(20));
    }
    const ZuMemZone::QuickQueue* queue = zone.RetQuickQueue(1);
    ASSERT_NE(queue, nullptr);
    // The 101st slot needed a second block, which now leads the queue.
    ASSERT_NE(queue->first_block, queue->last_block);
    EXPECT_EQ(queue->first_block->free_count, 99u);
    EXPECT_EQ(queue->last_block->free_count, 0u);
    // Slots of one block follow each other.
    EXPECT_EQ(static_cast<char*>(blocks[1]) - static_cast<char*>(blocks[0]), 32);
    // Freeing a slot of the full block moves it to the front; the slot is reused.
    Free(blocks[5]);
    EXPECT_EQ(queue->first_block->free_count, 1u);
    EXPECT_EQ(Alloc(20), blocks[5]);
    for (void* p : blocks) {
        Free(p);
    }
}

TEST_F(MemZoneTest, FirstLargeBlockSitsAtTheEndOfAFreshBufferTheNextAtTheStart)
{
    void* first = Alloc(1000);
    const ZuMemZone::BufferHeader* buffer = zone.RetFirstBuffer();
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(buffer->size, 16384u);
    EXPECT_EQ(zone.RetTotalBytes(), 16384u);
    EXPECT_EQ(static_cast<char*>(first), buffer->end - 1008 + 8);
    void* second = Alloc(1000);
    EXPECT_EQ(static_cast<char*>(second), buffer->base + 8);
    EXPECT_EQ(zone.RetFreeBytes(), 16384u - 2 * 1008);
    EXPECT_EQ(buffer->largest_hole, 16384u - 2 * 1008);
}

TEST_F(MemZoneTest, FreeingBetweenTwoFreeChunksLeavesOneChunk)
{
    void* a = Alloc(1000);
    void* b = Alloc(1000);
    void* c = Alloc(1000);
    void* d = Alloc(1000); // keeps the rest of the buffer apart
    const ZuMemZone::BufferHeader* buffer = zone.RetFirstBuffer();
    Free(b);
    Free(d); // d sits in the middle: it merges with its free neighbour
    Free(c); // between two free chunks
    int free_chunks = 0;
    for (const ZuMemZone::ChunkHeader* ch = buffer->first_free; ch != nullptr; ch = ch->next_free) {
        ++free_chunks;
    }
    EXPECT_EQ(free_chunks, 1);
    EXPECT_EQ(buffer->first_free->size, 16384u - 1008);
    EXPECT_EQ(buffer->largest_hole, 16384u - 1008);
    Free(a);
    EXPECT_EQ(buffer->first_chunk, buffer->last_chunk);
    EXPECT_EQ(buffer->first_chunk->size, 16384u);
    EXPECT_EQ(zone.RetFreeBytes(), zone.RetTotalBytes());
}

TEST_F(MemZoneTest, BestFitTakesTheSmallestHoleThatHoldsTheBlock)
{
    void* tail = Alloc(600); // the first block takes the end of the buffer
    std::vector<void*> p;
    for (unsigned size : {2000u, 600u, 1200u, 600u, 3000u, 600u}) {
        p.push_back(Alloc(size));
    }
    Free(p[0]);            // a hole of 2016
    Free(p[2]);            // a hole of 1216
    Free(p[4]);            // a hole of 3008
    void* q = Alloc(1100); // fits 1216 best
    EXPECT_EQ(q, p[2]);
    void* r = Alloc(2000); // exact fit
    EXPECT_EQ(r, p[0]);
    void* s = Alloc(2500); // only the 3008 hole holds it below the rest of the buffer
    EXPECT_EQ(s, p[4]);
    Free(tail);
}

TEST_F(MemZoneTest, ARequestAboveTheBufferSizeGetsABufferOfItsRoundedSize)
{
    void* p = Alloc(20000);
    const ZuMemZone::BufferHeader* buffer = zone.RetFirstBuffer();
    EXPECT_EQ(buffer->size, 20016u);
    EXPECT_EQ(static_cast<char*>(p), buffer->base + 8);
    EXPECT_EQ(zone.RetFreeBytes(), 0u);
    Free(p);
    EXPECT_EQ(zone.RetFreeBytes(), 20016u);
}

TEST_F(MemZoneTest, BadFreesThrowTheirCodesAndLeaveTheZoneUnchanged)
{
    void* quick = Alloc(40);
    void* large = Alloc(2000);
    void* gone_quick = Alloc(40);
    void* gone_large = Alloc(2000);
    Free(gone_quick);
    Free(gone_large);
    int on_stack = 0;
    uint64_t free_before = zone.RetFreeBytes();

    struct Case {
        const char* what;
        void* pointer;
        int code;
    };
    const Case cases[] = {
        {"null", nullptr, 2},
        {"outside the zone", &on_stack, 3},
        {"quick block freed twice", gone_quick, 4},
        {"large block freed twice", gone_large, 4},
        {"8 bytes into a quick block", static_cast<char*>(quick) + 8, 4},
        {"8 bytes into a large block", static_cast<char*>(large) + 8, 4},
        {"16 bytes into a large block", static_cast<char*>(large) + 16, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(FreeError(c.pointer), c.code);
        EXPECT_EQ(zone.RetFreeBytes(), free_before);
    }
    EXPECT_EQ(FreeError(quick), -1);
    EXPECT_EQ(FreeError(large), -1);
}

TEST_F(MemZoneTest, TheExceptionCarriesTheFaultyPointerAndTheCallersPlace)
{
    void* p = Alloc(2000);
    Free(p);
    try {
        zone.Free(p, 77, "si/caller");
        FAIL() << "no exception";
    } catch (const ZuExcMemory& e) {
        EXPECT_EQ(e.RetError(), ZuExcMemory::ZU_MEM_NOT_A_BLOCK);
        EXPECT_EQ(e.RetFaultyPtr(), static_cast<char*>(p) - 8);
        EXPECT_EQ(e.RetFaultySrcLine(), 77u);
        EXPECT_STREQ(e.RetFaultySrcFile(), "si/caller");
    }
}

TEST_F(MemZoneTest, AQuickBlockOfTheZoneCannotBeFreedFromOutside)
{
    void* p = Alloc(40);
    const ZuMemZone::QuickBlock* quick = Chunk(p)->quick_block;
    // quick->start is the pointer the zone's own allocation gave the block.
    EXPECT_EQ(FreeError(quick->start), 4);
    EXPECT_EQ(FreeError(p), -1);
    void* again = Alloc(40);
    EXPECT_EQ(again, p);
}

TEST_F(MemZoneTest, AnIntactPrefixIsNotNeededToFreeABlock)
{
    // A block whose prefix was overwritten is still found by searching.
    void* small = Alloc(40);
    void* large = Alloc(2000);
    std::memset(static_cast<char*>(small) - 8, 0, 8);
    std::memset(static_cast<char*>(large) - 8, 0xFF, 8);
    EXPECT_EQ(FreeError(small), -1);
    EXPECT_EQ(FreeError(large), -1);
    const unsigned quick_block_bytes = (100 * 48 + 8 + 15) & ~15u; // only the quick block stays
    EXPECT_EQ(zone.RetFreeBytes() + quick_block_bytes, zone.RetTotalBytes());
}

TEST_F(MemZoneTest, SizesNearFourGigabytesAreRefusedInsteadOfWrappingAround)
{
    for (unsigned size : {UINT_MAX, UINT_MAX - 7, UINT_MAX - 15, UINT_MAX - 22}) {
        SCOPED_TRACE(size);
        try {
            zone.Alloc(size, "huge", 5, "si/caller");
            FAIL() << "no exception";
        } catch (const ZuExcMemory& e) {
            EXPECT_EQ(e.RetError(), ZuExcMemory::ZU_MEM_NO_MEMORY);
            EXPECT_EQ(e.RetFaultyPtr(), nullptr);
            EXPECT_EQ(e.RetFaultySrcLine(), 5u);
        }
    }
    EXPECT_EQ(zone.RetTotalBytes(), 0u);
}

TEST_F(MemZoneTest, NoMemoryFromThePlatformThrowsCodeZeroAndLeavesTheZoneUsable)
{
    // The first allocation needs a header array and a buffer.
    W32_FailGlobalAllocs(1);
    try {
        Alloc(2000);
        FAIL() << "no exception";
    } catch (const ZuExcMemory& e) {
        EXPECT_EQ(e.RetError(), ZuExcMemory::ZU_MEM_NO_MEMORY);
    }
    void* p = Alloc(2000);
    uint64_t total = zone.RetTotalBytes();
    uint64_t free_bytes = zone.RetFreeBytes();
    // Now the buffer is missing: the headers taken are given back.
    W32_FailGlobalAllocs(1);
    EXPECT_THROW(Alloc(20000), ZuExcMemory);
    W32_FailGlobalAllocs(0);
    EXPECT_EQ(zone.RetTotalBytes(), total);
    EXPECT_EQ(zone.RetFreeBytes(), free_bytes);
    Free(p);
    void* q = Alloc(20000);
    Free(q);
}

TEST_F(MemZoneTest, DebugModesFillBlocksWithTheirPatterns)
{
    zone.SetAllocDebugMode(true, 0xDEADBEEFu);
    zone.SetFreeDebugMode(true, 0xFEEDFACEu);
    unsigned char* p = static_cast<unsigned char*>(Alloc(1000));
    uint32_t word;
    std::memcpy(&word, p + 100, 4);
    EXPECT_EQ(word, 0xDEADBEEFu);
    Free(p);
    std::memcpy(&word, p + 100, 4);
    EXPECT_EQ(word, 0xFEEDFACEu);
    // The free pattern spoils the prefix: a second free is still refused.
    EXPECT_EQ(FreeError(p), 4);
}

TEST_F(MemZoneTest, FindBaseAndAboutNameTheBlockThatHoldsAnAddress)
{
    char* p = static_cast<char*>(zone.Alloc(1000, "Table", 12, "si/table"));
    char* q = static_cast<char*>(zone.Alloc(30, "Cell", 34, "si/cell"));
    const char* name = nullptr;
    const char* file = nullptr;
    unsigned line = 0;
    EXPECT_EQ(zone.FindBasePointer(p + 500), p - 8);
    ASSERT_TRUE(zone.AboutBasePointer(p + 500, name, line, file));
    EXPECT_STREQ(name, "Table");
    EXPECT_EQ(line, 12u);
    EXPECT_STREQ(file, "si/table");
    EXPECT_EQ(zone.FindBasePointer(q + 10), q - 8);
    ASSERT_TRUE(zone.AboutBasePointer(q, name, line, file));
    EXPECT_STREQ(name, "Cell");
    ZuMemZone* found = nullptr;
    EXPECT_TRUE(ZuMemZone::FindZone(q, found));
    EXPECT_EQ(found, &zone);
    int on_stack = 0;
    EXPECT_FALSE(ZuMemZone::FindZone(&on_stack, found));
    EXPECT_EQ(zone.FindBasePointer(&on_stack), nullptr);
    EXPECT_FALSE(zone.AboutBasePointer(&on_stack, name, line, file));
    Free(p);
    EXPECT_EQ(zone.FindBasePointer(p + 500), nullptr);
}

namespace {

struct WithDestructor {
    WithDestructor() : value(7) {}
    ~WithDestructor() { value = 0; }
    int value;
};

} // namespace

TEST_F(MemZoneTest, EveryAddressOfEveryBufferLeadsToItsZoneAndNoOtherDoes)
{
    // Many buffers of mixed sizes, some of them above the buffer size.
    std::vector<void*> blocks;
    for (unsigned i = 0; i < 300; ++i) {
        blocks.push_back(Alloc(i % 7 == 0 ? 70000 + i * 16 : 9000 + (i % 5) * 1000));
    }
    unsigned buffers = 0;
    for (const ZuMemZone::BufferHeader* b = zone.RetFirstBuffer(); b != nullptr;
         b = b->next, ++buffers) {
        for (const char* p : {b->base, b->base + b->size / 2, b->end - 1}) {
            ZuMemZone* found = nullptr;
            EXPECT_TRUE(ZuMemZone::FindZone(p, found));
            EXPECT_EQ(&zone, found);
        }
    }
    EXPECT_GT(buffers, 100u);
    int local = 0;
    ZuMemZone* found = nullptr;
    EXPECT_FALSE(ZuMemZone::FindZone(&local, found));
    EXPECT_EQ(ZuExcMemory::ZU_MEM_NOT_IN_ZONE, FreeError(&local));
    for (void* p : blocks) {
        Free(p);
    }
    EXPECT_EQ(zone.RetTotalBytes(), zone.RetFreeBytes());
}

TEST_F(MemZoneTest, ArraysMadeWithTheArrayFormAreFreedWithFreeVector)
{
    EXPECT_EQ(ZuMemZone::vector_offset, sizeof(size_t));
    WithDestructor* array =
        new (&zone, "Array", __LINE__, "tests/si/memzone_test") WithDestructor[5];
    EXPECT_EQ(array[4].value, 7);
    for (int i = 0; i < 5; ++i) {
        array[i].~WithDestructor();
    }
    zone.FreeVector(array, __LINE__, "tests/si/memzone_test");
    EXPECT_EQ(zone.RetFreeBytes() + zone.RetFirstBuffer()->size - zone.RetFirstBuffer()->size,
              zone.RetFreeBytes());
}

TEST_F(MemZoneTest, SeveralThreadsAllocatingInOneZoneLoseNothing)
{
    const int kThreads = 4;
    const int kRounds = 3000;
    std::vector<std::thread> threads;
    std::vector<int> failures(kThreads, 0);
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([this, t, &failures]() {
            std::mt19937 random(1234 + t);
            std::vector<std::pair<unsigned char*, unsigned>> live;
            for (int i = 0; i < kRounds; ++i) {
                if (live.size() < 50 && (random() % 3 != 0 || live.empty())) {
                    unsigned size = 16 + random() % 4081;
                    unsigned char* p = static_cast<unsigned char*>(
                        zone.Alloc(size, "stress", __LINE__, "tests/si/memzone_test"));
                    std::memset(p, t + 1, size);
                    live.emplace_back(p, size);
                } else {
                    size_t k = random() % live.size();
                    auto [p, size] = live[k];
                    for (unsigned j = 0; j < size; ++j) {
                        if (p[j] != t + 1) {
                            failures[t]++;
                            break;
                        }
                    }
                    zone.Free(p, __LINE__, "tests/si/memzone_test");
                    live[k] = live.back();
                    live.pop_back();
                }
            }
            for (auto& [p, size] : live) {
                zone.Free(p, __LINE__, "tests/si/memzone_test");
            }
        });
    }
    for (std::thread& th : threads) {
        th.join();
    }
    for (int t = 0; t < kThreads; ++t) {
        EXPECT_EQ(failures[t], 0) << "thread " << t;
    }
    // Everything went back: only quick blocks stay in use.
    uint64_t quick_bytes = 0;
    for (unsigned i = 0; i < ZuMemZone::QUICK_QUEUES; ++i) {
        const ZuMemZone::QuickQueue* queue = zone.RetQuickQueue(i);
        for (const ZuMemZone::QuickBlock* q = queue != nullptr ? queue->first_block : nullptr;
             q != nullptr; q = q->next) {
            EXPECT_EQ(q->free_count, ZuMemZone::QUICK_SLOTS);
            quick_bytes += (100 * q->element_size + 8 + 15) & ~15u;
        }
    }
    EXPECT_EQ(zone.RetFreeBytes() + quick_bytes, zone.RetTotalBytes());
}

// ---- The standard zones ---------------------------------------------------

TEST(MemZoneStandard, InitialiseBuildsTheFiveZonesAndKillRemovesThem)
{
    int on_stack = 0;
    ZuMemZone::FreeAnyZone(&on_stack, 1, "x"); // before Initialise: nothing happens
    ZuMemZone::Initialise();
    ASSERT_NE(Zuvi_sys_zone, nullptr);
    EXPECT_STREQ(Zuvi_sys_zone->RetName(), "SysZone");
    EXPECT_STREQ(Zuvi_data_zone->RetName(), "DataZone");
    EXPECT_STREQ(Zuvi_app_zone->RetName(), "ApplicationZone");
    EXPECT_STREQ(Zuvi_temp_zone->RetName(), "TempZone");
    EXPECT_STREQ(Zuvi_iface_zone->RetName(), "InterfaceZone");
    EXPECT_EQ(ZuMemZone::zone_head, Zuvi_sys_zone);
    EXPECT_EQ(ZuMemZone::zone_tail, Zuvi_iface_zone);
    // The four zone records live in SysZone.
    ZuMemZone* owner = nullptr;
    ASSERT_TRUE(ZuMemZone::FindZone(Zuvi_app_zone, owner));
    EXPECT_EQ(owner, Zuvi_sys_zone);

    void* p = Zuvi_app_zone->Alloc(100, "x", 1, "t");
    ASSERT_TRUE(ZuMemZone::FindZone(p, owner));
    EXPECT_EQ(owner, Zuvi_app_zone);
    try {
        ZuMemZone::FreeAnyZone(&on_stack, 1, "x");
        FAIL() << "no exception";
    } catch (const ZuExcMemory& e) {
        EXPECT_EQ(e.RetError(), ZuExcMemory::ZU_MEM_NOT_IN_ZONE);
        EXPECT_EQ(e.RetFaultyPtr(), &on_stack);
    }
    ZuMemZone::FreeAnyZone(p, 1, "t");

    // A zone of the application, destroyed by Kill before the standard ones.
    void* memory = Zuvi_sys_zone->Alloc(sizeof(ZuMemZone), "ZuMemZone", 1, "t");
    ZuMemZone* mine = new (memory) ZuMemZone;
    mine->Initialise("Mine");
    mine->Alloc(3000, "y", 1, "t");
    EXPECT_EQ(ZuMemZone::zone_tail, mine);

    ZuMemZone::Kill();
    EXPECT_EQ(Zuvi_sys_zone, nullptr);
    EXPECT_EQ(Zuvi_data_zone, nullptr);
    EXPECT_EQ(Zuvi_app_zone, nullptr);
    EXPECT_EQ(Zuvi_temp_zone, nullptr);
    EXPECT_EQ(Zuvi_iface_zone, nullptr);
    EXPECT_EQ(ZuMemZone::zone_head, nullptr);

    // The library can be started again.
    ZuMemZone::Initialise();
    EXPECT_STREQ(Zuvi_app_zone->RetName(), "ApplicationZone");
    ZuMemZone::Kill();
}

// A program that ends without Kill: the static system zone goes at exit
// while the other zones' records lie in its buffers (it freed them, then
// unlinked into them). The exit must be clean, under the sanitizers too
// (an error or a leak there changes the exit code).
TEST(MemZoneExit, EndingWithoutKillIsClean)
{
    EXPECT_EXIT(
        {
            ZuMemZone::Initialise();
            Zuvi_app_zone->Alloc(100, "x", 1, "t");
            void* memory = Zuvi_sys_zone->Alloc(sizeof(ZuMemZone), "ZuMemZone", 1, "t");
            ZuMemZone* mine = new (memory) ZuMemZone;
            mine->Initialise("Mine");
            mine->Alloc(3000, "y", 1, "t");
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(MemZoneDeath, ProgrammingErrorsStopWithTheirTexts)
{
    EXPECT_DEATH(zuvi_operator_new(16),
                 "si/new:[0-9]+:error: No <operator new> allowed in application\\.");
    EXPECT_DEATH(zuvi_operator_new(16, static_cast<ZuMemZone*>(nullptr), "n", 1, "f"),
                 "error: Failed assertion: zone");
    EXPECT_DEATH(ZuMemZone::NullAllocZone("Thing", 9, "si/x"),
                 "si/x:9:error: Alloc Null Zone : Thing");
    EXPECT_DEATH(ZuMemZone::NullFreeZone("Thing", 9, "si/x"),
                 "si/x:9:error: Free Null Zone : Thing");
    EXPECT_DEATH(ZuMemZone::Kill(), "Failed assertion: Zuvi_sys_zone");
    {
        ZuMemZone closed;
        EXPECT_DEATH(closed.Alloc(10, "n", 1, "f"), "Failed assertion: this->is_zone_ok");
    }
    ZuMemZone::Initialise();
    EXPECT_DEATH(ZuMemZone::Initialise(), "Failed assertion: ZuMemZone::zone_head == 0");
    EXPECT_DEATH(Zuvi_app_zone->Alloc(10, "n", 1, "f", static_cast<ZuMemType>(15)),
                 "Failed assertion: type <= ZU_MEM_QMB");
    ZuMemZone::Kill();
}

TEST(MemZonePlacement, PlacementFormsCheckTheirArguments)
{
    char buffer[32];
    EXPECT_EQ(zuvi_operator_new(16, buffer, 1, "f"), buffer);
    EXPECT_DEATH(zuvi_operator_new(0, buffer, 1, "f"), "Failed assertion: size");
    EXPECT_DEATH(zuvi_operator_new(16, static_cast<void*>(nullptr), 1, "f"),
                 "Failed assertion: buffer_ptr");
}

// ---- What the object model plugs in -----------------------------------------

namespace {

struct HookLog {
    std::vector<std::pair<const char*, const char*>> from;
    std::vector<std::pair<const char*, const char*>> to;
    void* object = nullptr;
    ZuMemZone* object_zone = nullptr;
    int forgotten = 0;
};
HookLog g_log;

} // namespace

TEST(MemZoneHooks, ObjectsLearnTheirZoneAndDestructionCutsHandlesInEveryBuffer)
{
    ZuMemZone::ObjectHooks saved = ZuMemZone::object_hooks;
    ZuMemZone::object_hooks.set_object_zone = [](void* object, ZuMemZone* zone) {
        g_log.object = object;
        g_log.object_zone = zone;
    };
    ZuMemZone::object_hooks.kill_ref_from = [](const char* low, const char* high) {
        g_log.from.emplace_back(low, high);
    };
    ZuMemZone::object_hooks.kill_ref_to = [](const char* low, const char* high) {
        g_log.to.emplace_back(low, high);
    };
    ZuMemZone::object_hooks.forget_all_handles = []() { g_log.forgotten++; };
    // Without the one-pass hook, the zone calls the others buffer by buffer.
    ZuMemZone::object_hooks.kill_refs_in_ranges = nullptr;
    std::vector<std::pair<const char*, const char*>> ranges;
    {
        ZuMemZone zone;
        zone.Initialise("Hooked");
        void* object = zone.Alloc(700, "ZuThing", 1, "t", ZU_MEM_OBJ);
        EXPECT_EQ(g_log.object, object);
        EXPECT_EQ(g_log.object_zone, &zone);
        void* data = zone.Alloc(700, "data", 1, "t");
        EXPECT_EQ(g_log.object, object); // only objects
        zone.Alloc(30000, "big", 1, "t");
        (void)data;
        for (const ZuMemZone::BufferHeader* b = zone.RetFirstBuffer(); b != nullptr; b = b->next) {
            ranges.emplace_back(b->base, b->end - 1);
        }
        ASSERT_EQ(ranges.size(), 2u);
    }
    EXPECT_EQ(g_log.from, ranges);
    EXPECT_EQ(g_log.to, ranges);
    ZuMemZone::Initialise();
    ZuMemZone::Kill();
    EXPECT_EQ(g_log.forgotten, 1);
    ZuMemZone::object_hooks = saved;
}
