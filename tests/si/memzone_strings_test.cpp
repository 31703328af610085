// The zone's answers given as library strings (needs the object runtime).
#include "si/memzone.h"

#include <gtest/gtest.h>

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
    EXPECT_STREQ(name->AccessLatin(), "ZuWidget");   // left as it was
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
    EXPECT_DEATH(zuvi_operator_new(8, runtime, nullptr, 16, 1, "f"), "Failed assertion: buffer_ptr");
    ZuRuntimeRef none;
    EXPECT_DEATH(zuvi_operator_new(8, none, buffer, 16, 1, "f"), "Failed assertion: runtime\\.IsValid \\(\\)");
}
