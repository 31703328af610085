// The zone dump: its file layout and the line of one chunk.
#include "si/memzone.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string ReadFile(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string Hex(const void* p)
{
    char text[40];
    std::snprintf(text, sizeof text, "%08lx",
                  static_cast<unsigned long>(reinterpret_cast<uintptr_t>(p)));
    return text;
}

const char* kDashes = "----------------------------------------\n";

} // namespace

TEST(MemZoneDump, AnEmptyZoneWritesNoFile)
{
    std::remove("empty.dump");
    ZuMemZone zone;
    zone.Initialise("Empty");
    zone.DumpDebugInfo("empty.dump");
    void* p = zone.Alloc(1000, "x", 1, "f");
    zone.Free(p, 1, "f");
    zone.DumpDebugInfo("empty.dump");
    std::ifstream in("empty.dump");
    EXPECT_FALSE(static_cast<bool>(in));
}

TEST(MemZoneDump, TheDumpListsCountsBlocksAndQuickQueues)
{
    std::remove("zone.dump");
    ZuMemZone zone;
    zone.Initialise("TestZone");
    zone.Alloc(1000, "Big", 42, "si/test"); // 1008 bytes, end of the buffer
    zone.Alloc(10, "Small", 7, "si/small"); // 32 bytes: queue 1, in a quick block of 3216
    zone.Alloc(10, "Other", 8, "si/small");
    void* gone = zone.Alloc(20, "Gone", 9, "si/small");
    zone.Free(gone, 10, "si/small");
    const ZuMemZone::ChunkHeader* quick_block = zone.RetFirstBuffer()->first_chunk;
    ASSERT_EQ(quick_block->kind, ZU_MEM_QMB);

    zone.DumpDebugInfo("zone.dump");
    zone.DumpDebugInfo("zone.dump"); // appends

    std::string one = std::string(kDashes) + "  Zone TestZone\n" + kDashes +
                      "Total # allocations is 5.\n"
                      "32 bytes:\t3\n"
                      "1008 bytes:\t1\n"
                      "More bytes:\t1\n" +
                      kDashes + quick_block->file + ":" + std::to_string(quick_block->line) +
                      " (QuickBlock) - QMB, 0\n"
                      "si/test:42 (Big) - BIN, 0\n"
                      "\nQuickQueue #1, size 32 :\n"
                      "si/small:7 (Small) - BIN, 0\n"
                      "si/small:8 (Other) - BIN, 0\n"
                      "\n";
    EXPECT_EQ(ReadFile("zone.dump"), one + one);
    EXPECT_STREQ(quick_block->file, "si/memzone");
}

namespace {

long FakeCount(const void*)
{
    return 2;
}

const void* FakeOwner(const void*, long i)
{
    return reinterpret_cast<const void*>(i == 0 ? 0x1234ul : 0xabcdef123456ul);
}

} // namespace

TEST(MemZoneDump, AnObjectLinePrintsItsAddressAndHandleOwnersWhole)
{
    ZuMemZone zone;
    zone.Initialise("Objects");
    void* object = zone.Alloc(600, "ZuThing", 3, "si/thing", ZU_MEM_OBJ);
    const ZuMemZone::ChunkHeader* chunk = zone.RetLastAllocated();
    char line[1000];

    ZuMemZone::DumpDebugInfo(line, sizeof line, chunk);
    EXPECT_EQ(std::string(line),
              "si/thing:3 (ZuThing) - OBJ, 0, obj=" + Hex(object) + ":608, (ref 0)");
    EXPECT_GT(Hex(object).size(), 8u); // a 64-bit address is not cut to 8 digits

    ZuMemZone::ObjectHooks saved = ZuMemZone::object_hooks;
    ZuMemZone::object_hooks.handle_count = FakeCount;
    ZuMemZone::object_hooks.handle_owner = FakeOwner;
    ZuMemZone::DumpDebugInfo(line, sizeof line, chunk);
    EXPECT_EQ(std::string(line), "si/thing:3 (ZuThing) - OBJ, 0, obj=" + Hex(object) +
                                     ":608, (ref 2 used by abcdef123456 00001234)");

    // What does not fit becomes "...".
    std::string full = line;
    size_t cut = full.find(" used by");
    ZuMemZone::DumpDebugInfo(line, static_cast<unsigned>(cut + 4), chunk);
    EXPECT_EQ(std::string(line), full.substr(0, cut) + "...");
    ZuMemZone::object_hooks = saved;

    ZuMemZone::DumpDebugInfo(line, 20, chunk);
    EXPECT_EQ(std::string(line), "si/th...");
    ZuMemZone::DumpDebugInfo(line, 14, chunk);
    EXPECT_EQ(std::string(line), "");
}

TEST(MemZoneDump, FreeChunksGiveNoLineAndUnknownKindsPrintQuestionMarks)
{
    ZuMemZone zone;
    zone.Initialise("Z");
    void* p = zone.Alloc(1000, "x", 1, "f");
    zone.Free(p, 1, "f");
    char line[100];
    ZuMemZone::DumpDebugInfo(line, sizeof line, zone.RetFirstBuffer()->first_chunk);
    EXPECT_STREQ(line, "");
    EXPECT_STREQ(Zuvi_MemTypeName(0), "BIN");
    EXPECT_STREQ(Zuvi_MemTypeName(3), "QMB");
    EXPECT_STREQ(Zuvi_MemTypeName(4), "???");
}

TEST(MemZoneDump, TheBlockKindsCarryTheEnumerationFamily)
{
    EXPECT_TRUE(IsValid(ZU_MEM_QMB));
    EXPECT_FALSE(IsValid(static_cast<ZuMemType>(4)));
    EXPECT_STREQ(ZuMemTypeRetName(ZU_MEM_OBJ), "ZU_MEM_OBJ");
    ZuMemType t = ZU_MEM_BIN;
    t++;
    EXPECT_EQ(t, ZU_MEM_OBJ);
}
