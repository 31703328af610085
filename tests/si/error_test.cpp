#include "si/error.h"

#include <gtest/gtest.h>

#include <string>

#include "si/memzone.h"
#include "tests/support/debugcapture.h"

TEST(Error, ShortSourceNamesDropTheRootAndTheExtension)
{
    EXPECT_STREQ(ZU_SRC_FILE, "tests/si/error_test");
    constexpr auto outside = Zuvi_MakeSourceName("/elsewhere/dir/thing.cpp");
    EXPECT_STREQ(outside.text, "thing");
    constexpr auto bare = Zuvi_MakeSourceName("plain");
    EXPECT_STREQ(bare.text, "plain");
}

TEST(Error, ErrorPrintShowsFileLineAndMessageInABoxTitledError)
{
    DebugCapture capture;
    Zuvi_ErrorPrint("x", 12, "si/new");
    ASSERT_EQ(capture.Boxes().size(), 1u);
    EXPECT_EQ(capture.LastBox().caption, "Error");
    EXPECT_EQ(capture.LastBox().text, "si/new:12:error: x\n");
    EXPECT_EQ(capture.LastBox().type, MB_OK);
    // Long messages are not cut.
    std::string long_message(3000, 'm');
    Zuvi_ErrorPrint(long_message.c_str(), -5, "si/long");
    EXPECT_EQ(capture.LastBox().text, "si/long:-5:error: " + long_message + "\n");
}

TEST(Error, DebugStringSendsFileLineMessageAndALineBreak)
{
    DebugCapture capture;
    Zuvi_DebugString("hello", 34, "si/object");
    EXPECT_EQ(capture.DebugText(), "si/object:34: hello\n");
    EXPECT_EQ(capture.Entries().size(), 4u);
    EXPECT_TRUE(capture.Boxes().empty());
}

TEST(Error, TraceFormatsUpTo999Characters)
{
    DebugCapture capture;
    Zuvi_Trace("%s=%d", "count", 42);
    EXPECT_EQ(capture.DebugText(), "count=42");
    capture.Clear();
    std::string longest(999, 'a');
    Zuvi_Trace("%s", longest.c_str());
    EXPECT_EQ(capture.DebugText(), longest);
}

TEST(ErrorDeath, TraceOfThousandCharactersOrMoreStops)
{
    std::string too_long(1000, 'a');
    EXPECT_DEATH(Zuvi_Trace("%s", too_long.c_str()),
                 "si/error:[0-9]+:error: Failed assertion: size >= 0");
}

TEST(ErrorDeath, AssertionsStopWithTheExpressionFileAndLine)
{
    int value = 3;
    int expected_line = __LINE__ + 1;
    EXPECT_DEATH(ZU_ASSERT(value == 4), "tests/si/error_test:" + std::to_string(expected_line) +
                                            ":error: Failed assertion: value == 4");
    EXPECT_DEATH(ZU_NIY(), "tests/si/error_test:[0-9]+:error: NIY");
    EXPECT_DEATH(Zuvi_ErrorAbort("Cannot continue", 1, "si/objectref"),
                 "si/objectref:1:error: Cannot continue");
    ZU_ASSERT(value == 3); // a true assertion does nothing
}

TEST(Error, MemoryInspectorNamesTheBlockOrSaysUnknownAddress)
{
    DebugCapture capture;
    int on_stack = 0;
    EXPECT_STREQ(Zuvi_DebugAboutMemory(&on_stack), "unknown address");
    EXPECT_EQ(capture.LastBox().caption, "Debugger: About Memory");
    EXPECT_EQ(capture.LastBox().text, "unknown address");

    ZuMemZone zone;
    zone.Initialise("Inspected");
    char* p = static_cast<char*>(zone.Alloc(700, "ZuWidget", 88, "si/widget"));
    char expected[100];
    std::snprintf(expected, sizeof expected, "PTR=%lx/TYPE=ZuWidget in 88:si/widget",
                  static_cast<unsigned long>(reinterpret_cast<uintptr_t>(p - 8)));
    EXPECT_EQ(std::string(Zuvi_DebugAboutMemory(p + 10)), expected);
    EXPECT_EQ(capture.LastBox().text, expected);

    // Names and files are cut to 50 and 200 characters.
    std::string name(80, 'n');
    std::string file(250, 'f');
    char* q = static_cast<char*>(zone.Alloc(700, name.c_str(), 1, file.c_str()));
    std::string text = Zuvi_DebugAboutMemory(q);
    EXPECT_NE(text.find("/TYPE=" + std::string(50, 'n') + " in 1:"), std::string::npos);
    EXPECT_EQ(text.substr(text.find(" in 1:") + 6), std::string(200, 'f'));

    zone.Free(p, 1, "t");
    EXPECT_STREQ(Zuvi_DebugAboutMemory(p + 10), "unknown address");
}
