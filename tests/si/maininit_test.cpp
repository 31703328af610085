#include <gtest/gtest.h>

#include <unistd.h>

#include "si/atom.h"
#include "si/classfactory.h"
#include "si/fontman.h"
#include "si/maininit.h"
#include "si/memzone.h"
#include "tests/support/debugcapture.h"
#include "zoveda/gfxmemory.h"

namespace {

// No class of this test program is named "App": start-up stops at the
// application and the library shuts down cleanly.
TEST(MainInitTest, WithoutAnApplicationClassStartUpFailsCleanly)
{
    DebugCapture capture;
    Zuvi_MainInit();
    ASSERT_FALSE(capture.Boxes().empty());
    const std::string text = capture.LastBox().text;
    EXPECT_NE(std::string::npos, text.find("\nFatal Zuvi exception raised...")) << text;
    EXPECT_EQ("Error", capture.LastBox().caption);
    EXPECT_EQ(nullptr, Zuvi_sys_zone);
    EXPECT_EQ(nullptr, Zuvi_app_zone);
    EXPECT_EQ(nullptr, ZuMemZone::zone_head);
    // The font manager made before the application is gone with it.
    EXPECT_TRUE(ZuFontMan::Current().IsInvalid());
    EXPECT_NE(nullptr, GfxMemory::fn_alloc);
    EXPECT_NE(nullptr, GfxMemory::fn_free);

    // The library can be brought up again in the same process.
    Zuvi_MainInit();
    EXPECT_EQ(2u, capture.Boxes().size());
    EXPECT_EQ(nullptr, Zuvi_sys_zone);
}

// As a program meets it, in a process of its own: the text reaches standard
// error and the call returns, every zone gone, so the program ends normally.
TEST(MainInitTest, WithoutAnApplicationClassTheProgramEndsNormally)
{
    EXPECT_EXIT(
        {
            Zuvi_MainInit();
            _exit(Zuvi_sys_zone == nullptr && ZuMemZone::zone_head == nullptr ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "Fatal Zuvi exception raised\\.\\.\\.");
}

// The services that every user of the library starts (the program, the
// tests, the fuzz targets, the benchmarks) come up together and go down to
// nothing, and come up again.
TEST(MainInitTest, ServicesStartAndStopAsOne)
{
    for (int round = 0; round < 2; ++round) {
        Zuvi_StartServices();
        EXPECT_NE(nullptr, Zuvi_sys_zone);
        EXPECT_NE(nullptr, Zuvi_app_zone);
        EXPECT_NE(nullptr, GfxMemory::fn_alloc);
        EXPECT_TRUE(ZuAtomRef("zuvi").IsValid());
        ZuRuntimeRef rt;
        EXPECT_TRUE(ZuClassFactory::GetClass("ZuString", rt));
        Zuvi_StopServices();
        EXPECT_EQ(nullptr, Zuvi_sys_zone);
        EXPECT_EQ(nullptr, ZuMemZone::zone_head);
        EXPECT_EQ(nullptr, ZuClassFactory::list_head);
    }
}

} // namespace
