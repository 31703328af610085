#include "w32/dir.h"

#include "tests/support/scratchdir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>

#include <sys/stat.h>

namespace {

void Spit(const std::string& name, const std::string& text)
{
    FILE* f = std::fopen(name.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
}

std::map<std::string, WIN32_FIND_DATAA> ListAll(const char* pattern)
{
    std::map<std::string, WIN32_FIND_DATAA> out;
    WIN32_FIND_DATAA d;
    HANDLE h = FindFirstFileA(pattern, &d);
    if (h == INVALID_HANDLE_VALUE)
        return out;
    do
        out[d.cFileName] = d;
    while (FindNextFileA(h, &d));
    EXPECT_TRUE(FindClose(h));
    return out;
}

} // namespace

class W32Dir : public ::testing::Test {
protected:
    ScratchDir scratch;
};

TEST_F(W32Dir, EntriesCarryTheirAttributes)
{
    CreateDirectoryA("lst", nullptr);
    CreateDirectoryA("lst/folder", nullptr);
    Spit("lst/plain.txt", "12345");
    Spit("lst/.hidden", "");
    Spit("lst/locked", "");
    ::chmod("lst/locked", 0444);

    auto all = ListAll("lst/*");
    ASSERT_EQ(all.size(), 6u); // with "." and ".."
    EXPECT_TRUE(all.count("."));
    EXPECT_TRUE(all.count(".."));
    EXPECT_EQ(all["folder"].dwFileAttributes, FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(all["plain.txt"].dwFileAttributes, FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(all["plain.txt"].nFileSizeLow, 5u);
    EXPECT_EQ(all["plain.txt"].nFileSizeHigh, 0u);
    EXPECT_EQ(all[".hidden"].dwFileAttributes, FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(all["locked"].dwFileAttributes, FILE_ATTRIBUTE_READONLY);
    EXPECT_NE(all["plain.txt"].ftLastWriteTime.dwHighDateTime, 0u);

    auto txt = ListAll("lst/*.txt");
    ASSERT_EQ(txt.size(), 1u);
    EXPECT_TRUE(txt.count("plain.txt"));
    ::chmod("lst/locked", 0644);
}

TEST_F(W32Dir, ANameWithoutWildcardsFindsThatEntry)
{
    CreateDirectoryA("one", nullptr);
    Spit("one/x.dat", "abc");
    WIN32_FIND_DATAA d;
    HANDLE h = FindFirstFileA("one/x.dat", &d);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_STREQ(d.cFileName, "x.dat");
    EXPECT_EQ(d.nFileSizeLow, 3u);
    EXPECT_FALSE(FindNextFileA(h, &d));
    FindClose(h);
    EXPECT_EQ(FindFirstFileA("one/missing", &d), INVALID_HANDLE_VALUE);
    EXPECT_EQ(FindFirstFileA("nowhere/*", &d), INVALID_HANDLE_VALUE);
    EXPECT_FALSE(FindClose(INVALID_HANDLE_VALUE));
}

TEST_F(W32Dir, SizesAboveFourGigabytes)
{
    FILE* f = std::fopen("huge.bin", "wb");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    ASSERT_EQ(::truncate("huge.bin", (6LL << 30) + 1), 0); // sparse
    WIN32_FIND_DATAA d;
    HANDLE h = FindFirstFileA("huge.bin", &d);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    FindClose(h);
    EXPECT_EQ(d.nFileSizeHigh, 1u);
    EXPECT_EQ(d.nFileSizeLow, (2u << 30) + 1);
    std::remove("huge.bin");
}
