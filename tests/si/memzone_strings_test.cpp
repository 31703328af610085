// The zone's answers given as library strings (needs the object runtime).
#include "si/memzone.h"

#include <gtest/gtest.h>

#include <string>

#include "si/classfactory.h"
#include "si/new.h"
#include "si/rtclass.h"
#include "si/string.h"
#include "tests/support/objmodel.h"

class MemZoneStringsTest : public ZuviRuntimeTest {};

TEST_F(MemZoneStringsTest, AboutBasePointerGivesNameAndFileAsStrings)
{
    char* p = static_cast<char*>(Zuvi_data_zone->Alloc(700, "ZuWidget", 88, "si/widget"));
    ZuStringRef name;
    ZuStringRef file;
    unsigned line = 0;
    ASSERT_TRUE(Zuvi_data_zone->AboutBasePointer(p + 100, name, line, file));
    EXPECT_STREQ(name->AccessLatin(), "ZuWidget");
    EXPECT_STREQ(file->AccessLatin(), "si/widget");
    EXPECT_EQ(line, 88u);

    int on_stack = 0;
    line = 5;
    EXPECT_FALSE(Zuvi_data_zone->AboutBasePointer(&on_stack, name, line, file));
    EXPECT_EQ(line, 5u);
    EXPECT_STREQ(name->AccessLatin(), "ZuWidget"); // left as it was
    Zuvi_data_zone->Free(p, 1, "t");
}

TEST_F(MemZoneStringsTest, PlacementOfAnObjectChecksBufferAndClass)
{
    alignas(16) char buffer[64];
    const ZuRuntimeRef& runtime = ZuStringRef::RetRuntime();
    EXPECT_EQ(zuvi_operator_new(32, runtime, buffer, sizeof buffer, 1, "f"), buffer);
    EXPECT_DEATH(zuvi_operator_new(65, runtime, buffer, sizeof buffer, 1, "f"),
                 "si/new:[0-9]+:error: Failed assertion: size <= buffer_len");
    EXPECT_DEATH(zuvi_operator_new(0, runtime, buffer, 0, 1, "f"), "Failed assertion: buffer_len");
    EXPECT_DEATH(zuvi_operator_new(8, runtime, nullptr, 16, 1, "f"),
                 "Failed assertion: buffer_ptr");
    ZuRuntimeRef none;
    EXPECT_DEATH(zuvi_operator_new(8, none, buffer, 16, 1, "f"),
                 "Failed assertion: runtime\\.IsValid \\(\\)");
}

TEST_F(MemZoneStringsTest, DestroyingAZoneEmptiesEveryHandleIntoIt)
{
    void* memory = Zuvi_sys_zone->Alloc(sizeof(ZuMemZone), "ZuMemZone", __LINE__, ZU_SRC_FILE);
    ZuMemZone* zone = new (memory) ZuMemZone;
    zone->Initialise("Doomed");
    ZuStringRef doomed = static_cast<ZuString*>(
        ZuClassFactory::New(ZuStringRef::RetRuntime(), zone, __LINE__, ZU_SRC_FILE));
    doomed->SetString("text");
    ZuStringRef copy = doomed;
    ZuStringRef elsewhere("in the application zone");
    ASSERT_TRUE(doomed.IsValid());
    ZuMemZone* owner = nullptr;
    ASSERT_TRUE(ZuMemZone::FindZone(doomed.Resolve(), owner));
    EXPECT_EQ(owner, zone);

    // The dump shows the object with its two handles (on the stack: no owner).
    char line[1000];
    const ZuMemZone::ChunkHeader* chunk = zone->FindChunk(doomed.Resolve());
    ASSERT_NE(chunk, nullptr);
    ZuMemZone::DumpDebugInfo(line, sizeof line, chunk);
    EXPECT_NE(std::string(line).find(" - OBJ, 0, obj="), std::string::npos) << line;
    EXPECT_NE(std::string(line).find(", (ref 2 used by 00000000 00000000)"), std::string::npos)
        << line;

    zone->~ZuMemZone();
    Zuvi_sys_zone->Free(zone, __LINE__, ZU_SRC_FILE);
    EXPECT_FALSE(doomed.IsValid());
    EXPECT_FALSE(copy.IsValid());
    EXPECT_TRUE(elsewhere.IsValid());
}
