#include "sd/common/sd_filename.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Case {
    const char* in;
    const char* out;
};

std::string ToOS(const char* path)
{
    char buf[ZUVI_PATH_MAX];
    EXPECT_TRUE(Zuvi_ConvertToOSName(path, buf)) << path;
    return buf;
}

std::string FromOS(const char* name)
{
    char buf[ZUVI_PATH_MAX];
    EXPECT_TRUE(Zuvi_ConvertFromOSName(name, buf)) << name;
    return buf;
}

} // namespace

TEST(FileName, LibraryPathsToPosixNames)
{
    const Case cases[] = {
        {"$drives$/home/u/f.txt", "/home/u/f.txt"},
        {"/$drives$/home/u", "/home/u"},
        {"$drives$", "/"},
        {"$drives$/", "/"},
        {"$network$/srv/share/f", "//srv/share/f"},
        {"dir/f", "dir/f"},
        {"/tmp/x", "/tmp/x"},
        {"", ""},
        {"$drivesX/a", "$drivesX/a"}, // not a pseudo-root: an ordinary name
    };
    for (const Case& c : cases)
        EXPECT_EQ(ToOS(c.in), c.out) << c.in;
}

TEST(FileName, DesktopIsTheShellsFolder)
{
    // The desktop is fetched once per process; this test owns its process.
    ::setenv("XDG_DESKTOP_DIR", "/", 1);
    EXPECT_STREQ(Zuvi_DesktopOSName(), "/");
    EXPECT_EQ(ToOS("$desktop$"), "/");
    EXPECT_EQ(ToOS("$desktop$/a/b"), "/a/b");
}

TEST(FileName, PosixNamesToLibraryPaths)
{
    const Case cases[] = {
        {"/home/u/f.txt", "$drives$/home/u/f.txt"},
        {"/", "$drives$"},
        {"rel/f", "rel/f"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FromOS(c.in), c.out) << c.in;
    // There and back again.
    EXPECT_EQ(ToOS(FromOS("/a b/c.d").c_str()), "/a b/c.d");
}

TEST(FileName, InPlaceConversion)
{
    char buf[ZUVI_PATH_MAX] = "$drives$/var/tmp";
    ASSERT_TRUE(Zuvi_ConvertToOSName(buf, buf));
    EXPECT_STREQ(buf, "/var/tmp");
    ASSERT_TRUE(Zuvi_ConvertFromOSName(buf, buf));
    EXPECT_STREQ(buf, "$drives$/var/tmp");
}

TEST(FileName, LongNamesAreRefusedNotCut)
{
    // 249 characters fit; a name that would need more is refused whole, so
    // that no shortened name reaches the file system.
    std::string fits = "/" + std::string(248, 'a');
    std::string longer = fits + "b";
    char buf[ZUVI_PATH_MAX];
    EXPECT_TRUE(Zuvi_ConvertToOSName(fits.c_str(), buf));
    EXPECT_EQ(std::strlen(buf), 249u);
    EXPECT_FALSE(Zuvi_ConvertToOSName(longer.c_str(), buf));
    EXPECT_STREQ(buf, "");
    // The conversion itself may make a name too long.
    std::string grows = "/" + std::string(245, 'a');
    EXPECT_FALSE(Zuvi_ConvertFromOSName(grows.c_str(), buf));
    EXPECT_STREQ(buf, "");
}

TEST(FileName, Win32Rules)
{
    const char* desktop = "C:\\Users\\u\\Desktop";
    const Case to[] = {
        {"$drives$/C/dir/f.txt", "C:\\dir\\f.txt"},       {"/$drives$/C", "C:"},
        {"$network$/srv/share/f", "\\\\srv\\share\\f"},   {"$desktop$", "C:\\Users\\u\\Desktop"},
        {"$desktop$/a/b", "C:\\Users\\u\\Desktop\\a\\b"}, {"dir/f", "dir\\f"},
    };
    char buf[ZUVI_PATH_MAX];
    for (const Case& c : to) {
        ASSERT_TRUE(Zuvi_ConvertToWin32Name(c.in, buf, desktop));
        EXPECT_STREQ(buf, c.out) << c.in;
    }
    const Case from[] = {
        {"C:\\dir\\f.txt", "$drives$/C/dir/f.txt"},
        {"\\\\srv\\share", "$network$/srv/share"},
        {"C:\\Users\\u\\Desktop", "$drives$/C/Users/u/Desktop"},
        {"rel\\x", "rel/x"},
    };
    for (const Case& c : from) {
        ASSERT_TRUE(Zuvi_ConvertFromWin32Name(c.in, buf));
        EXPECT_STREQ(buf, c.out) << c.in;
    }
}
