#include "w32/file.h"

#include "tests/support/scratchdir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

std::string Slurp(const char* name)
{
    std::string out;
    if (FILE* f = std::fopen(name, "rb")) {
        char buf[256];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
            out.append(buf, n);
        std::fclose(f);
    }
    return out;
}

void Spit(const char* name, const std::string& text)
{
    FILE* f = std::fopen(name, "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
}

bool Exists(const char* name)
{
    FILE* f = std::fopen(name, "rb");
    if (f)
        std::fclose(f);
    return f != nullptr;
}

HANDLE OpenRW(const char* name, DWORD creation, DWORD share = 0)
{
    return CreateFileA(name, GENERIC_READ | GENERIC_WRITE, share, nullptr, creation,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

} // namespace

class W32File : public ::testing::Test {
protected:
    ScratchDir scratch;
};

TEST_F(W32File, CreationDispositions)
{
    std::remove("disp.txt");
    EXPECT_EQ(OpenRW("disp.txt", OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(OpenRW("disp.txt", TRUNCATE_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_FALSE(Exists("disp.txt"));

    HANDLE h = OpenRW("disp.txt", CREATE_ALWAYS);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD done = 0;
    EXPECT_TRUE(WriteFile(h, "hello", 5, &done, nullptr));
    EXPECT_EQ(done, 5u);
    EXPECT_TRUE(CloseHandle(h));
    EXPECT_EQ(Slurp("disp.txt"), "hello");

    EXPECT_EQ(OpenRW("disp.txt", CREATE_NEW), INVALID_HANDLE_VALUE);
    h = OpenRW("disp.txt", OPEN_ALWAYS); // keeps the contents
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(CloseHandle(h));
    EXPECT_EQ(Slurp("disp.txt"), "hello");

    h = OpenRW("disp.txt", TRUNCATE_EXISTING);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(CloseHandle(h));
    EXPECT_EQ(Slurp("disp.txt"), "");
}

TEST_F(W32File, ReadStopsAtTheEnd)
{
    Spit("short.txt", "0123456789abcde");
    HANDLE h = CreateFileA("short.txt", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    char buf[10];
    DWORD done = 99;
    EXPECT_TRUE(ReadFile(h, buf, 10, &done, nullptr));
    EXPECT_EQ(done, 10u);
    EXPECT_TRUE(ReadFile(h, buf, 10, &done, nullptr));
    EXPECT_EQ(done, 5u);
    EXPECT_EQ(std::string(buf, 5), "abcde");
    EXPECT_TRUE(ReadFile(h, buf, 10, &done, nullptr));
    EXPECT_EQ(done, 0u);
    // Writing through a handle opened for reading fails.
    EXPECT_FALSE(WriteFile(h, "x", 1, &done, nullptr));
    EXPECT_TRUE(CloseHandle(h));
}

TEST_F(W32File, ExclusiveOpeningRefusesASecondOpeningAndKeepsTheContents)
{
    Spit("excl.txt", "keep me");
    HANDLE first = OpenRW("excl.txt", OPEN_EXISTING);
    ASSERT_NE(first, INVALID_HANDLE_VALUE);
    // Even this process cannot open it again, and a refused CREATE_ALWAYS
    // must not have emptied it.
    EXPECT_EQ(OpenRW("excl.txt", CREATE_ALWAYS), INVALID_HANDLE_VALUE);
    EXPECT_EQ(OpenRW("excl.txt", OPEN_EXISTING, FILE_SHARE_READ), INVALID_HANDLE_VALUE);
    EXPECT_EQ(Slurp("excl.txt"), "keep me");
    EXPECT_TRUE(CloseHandle(first));
    HANDLE again = OpenRW("excl.txt", OPEN_EXISTING);
    EXPECT_NE(again, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(CloseHandle(again));

    // Shared openings coexist.
    HANDLE a = OpenRW("excl.txt", OPEN_EXISTING, FILE_SHARE_READ);
    HANDLE b = OpenRW("excl.txt", OPEN_EXISTING, FILE_SHARE_READ);
    EXPECT_NE(a, INVALID_HANDLE_VALUE);
    EXPECT_NE(b, INVALID_HANDLE_VALUE);
    CloseHandle(a);
    CloseHandle(b);
}

TEST_F(W32File, DirectoriesCannotBeOpenedAsFiles)
{
    CreateDirectoryA("adir", nullptr);
    EXPECT_EQ(CreateFileA("adir", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_FALSE(DeleteFileA("adir"));
    EXPECT_TRUE(RemoveDirectoryA("adir"));
}

TEST_F(W32File, PositionsAndSizesAreSixtyFourBit)
{
    std::remove("sparse.bin");
    HANDLE h = OpenRW("sparse.bin", CREATE_ALWAYS);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    const LONGLONG big = (5LL << 30) + 7; // 5 GB and a bit: a sparse file
    LARGE_INTEGER to{big}, pos{0}, size{0};
    ASSERT_TRUE(SetFilePointerEx(h, to, &pos, FILE_BEGIN));
    EXPECT_EQ(pos.QuadPart, big);
    ASSERT_TRUE(SetEndOfFile(h));
    ASSERT_TRUE(GetFileSizeEx(h, &size));
    EXPECT_EQ(size.QuadPart, big);

    // Write and read back above 4 GB.
    LARGE_INTEGER at{(4LL << 30) + 3};
    ASSERT_TRUE(SetFilePointerEx(h, at, nullptr, FILE_BEGIN));
    DWORD done = 0;
    ASSERT_TRUE(WriteFile(h, "far", 3, &done, nullptr));
    ASSERT_TRUE(SetFilePointerEx(h, at, nullptr, FILE_BEGIN));
    char buf[3] = {0, 0, 0};
    ASSERT_TRUE(ReadFile(h, buf, 3, &done, nullptr));
    EXPECT_EQ(std::string(buf, 3), "far");

    // Relative and end-relative moves; a position before the start fails.
    LARGE_INTEGER back{-1};
    ASSERT_TRUE(SetFilePointerEx(h, back, &pos, FILE_END));
    EXPECT_EQ(pos.QuadPart, big - 1);
    LARGE_INTEGER before{-big - 1};
    EXPECT_FALSE(SetFilePointerEx(h, before, &pos, FILE_CURRENT));
    EXPECT_EQ(pos.QuadPart, big - 1);
    EXPECT_TRUE(CloseHandle(h));
    std::remove("sparse.bin");
}

TEST_F(W32File, DeleteOnCloseAndWriteThrough)
{
    HANDLE h = CreateFileA("temp.bin", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_WRITE_THROUGH, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(Exists("temp.bin"));
    EXPECT_TRUE(FlushFileBuffers(h));
    EXPECT_TRUE(CloseHandle(h));
    EXPECT_FALSE(Exists("temp.bin"));
}

TEST_F(W32File, ClosingBadHandlesFails)
{
    EXPECT_FALSE(CloseHandle(nullptr));
    EXPECT_FALSE(CloseHandle(INVALID_HANDLE_VALUE));
    DWORD done = 1;
    char c;
    EXPECT_FALSE(ReadFile(INVALID_HANDLE_VALUE, &c, 1, &done, nullptr));
    EXPECT_EQ(done, 0u);
}

TEST_F(W32File, MappedFileViewsShareTheFileBytes)
{
    Spit("mapped.bin", std::string(10000, 'a'));
    HANDLE h = OpenRW("mapped.bin", OPEN_EXISTING);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    HANDLE map = CreateFileMappingA(h, nullptr, PAGE_READWRITE, 0, 0, nullptr);
    ASSERT_NE(map, nullptr);
    // An offset that is not on a page boundary.
    char* view = static_cast<char*>(MapViewOfFile(map, FILE_MAP_ALL_ACCESS, 0, 5000, 10));
    ASSERT_NE(view, nullptr);
    std::memcpy(view, "0123456789", 10);
    EXPECT_TRUE(FlushViewOfFile(view, 10));
    EXPECT_TRUE(UnmapViewOfFile(view));
    EXPECT_FALSE(UnmapViewOfFile(view));
    EXPECT_EQ(MapViewOfFile(map, FILE_MAP_READ, 0, 10000, 1), nullptr); // past the end
    EXPECT_TRUE(CloseHandle(map));
    EXPECT_TRUE(CloseHandle(h));
    EXPECT_EQ(Slurp("mapped.bin").substr(4999, 12), "a0123456789a");
}

TEST_F(W32File, CopyOnWriteViewsLeaveTheFileAlone)
{
    Spit("cow.bin", "original");
    HANDLE h = CreateFileA("cow.bin", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    HANDLE map = CreateFileMappingA(h, nullptr, PAGE_WRITECOPY, 0, 0, nullptr);
    ASSERT_NE(map, nullptr);
    char* view = static_cast<char*>(MapViewOfFile(map, FILE_MAP_COPY, 0, 0, 0));
    ASSERT_NE(view, nullptr);
    view[0] = 'O';
    EXPECT_EQ(std::string(view, 8), "Original");
    // A read-only section refuses a writable view.
    EXPECT_EQ(MapViewOfFile(map, FILE_MAP_ALL_ACCESS, 0, 0, 0), nullptr);
    UnmapViewOfFile(view);
    CloseHandle(map);
    CloseHandle(h);
    EXPECT_EQ(Slurp("cow.bin"), "original");
}

TEST_F(W32File, NamedSectionsAreSharedByName)
{
    EXPECT_EQ(OpenFileMappingA(FILE_MAP_READ, FALSE, "w32-test-section"), nullptr);
    HANDLE created = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096,
                                        "w32-test-section");
    ASSERT_NE(created, nullptr);
    char* a = static_cast<char*>(MapViewOfFile(created, FILE_MAP_ALL_ACCESS, 0, 0, 4096));
    ASSERT_NE(a, nullptr);
    std::strcpy(a, "shared");
    HANDLE opened = OpenFileMappingA(FILE_MAP_READ, FALSE, "w32-test-section");
    ASSERT_NE(opened, nullptr);
    const char* b = static_cast<const char*>(MapViewOfFile(opened, FILE_MAP_READ, 0, 0, 0));
    ASSERT_NE(b, nullptr);
    EXPECT_STREQ(b, "shared");
    UnmapViewOfFile(b);
    UnmapViewOfFile(a);
    CloseHandle(opened);
    CloseHandle(created);
    // Gone once its creator closed it.
    EXPECT_EQ(OpenFileMappingA(FILE_MAP_READ, FALSE, "w32-test-section"), nullptr);
}

TEST_F(W32File, DirectoryServices)
{
    RemoveDirectoryA("sub");
    EXPECT_TRUE(CreateDirectoryA("sub", nullptr));
    EXPECT_FALSE(CreateDirectoryA("sub", nullptr));
    char before[4096];
    DWORD n = GetCurrentDirectoryA(sizeof before, before);
    ASSERT_GT(n, 0u);
    EXPECT_EQ(GetCurrentDirectoryA(2, before + 4000), n + 1); // too small: size needed
    ASSERT_TRUE(SetCurrentDirectoryA("sub"));
    char inside[4096];
    GetCurrentDirectoryA(sizeof inside, inside);
    EXPECT_EQ(std::string(inside), std::string(before) + "/sub");
    ASSERT_TRUE(SetCurrentDirectoryA(".."));
    Spit("sub/f", "x");
    EXPECT_FALSE(RemoveDirectoryA("sub")); // not empty
    EXPECT_TRUE(DeleteFileA("sub/f"));
    EXPECT_FALSE(DeleteFileA("sub/f"));
    EXPECT_TRUE(RemoveDirectoryA("sub"));
    EXPECT_FALSE(SetCurrentDirectoryA("sub"));
}

TEST_F(W32File, MoveFileWritesThroughToTheDirectory)
{
    // The rename with the directory synced: in the current directory and in
    // another, replacing or not; refused moves stay refused.
    CreateDirectoryA("sub", nullptr);
    Spit("a", "new");
    Spit("sub/b", "old");
    EXPECT_TRUE(MoveFileExA("a", "sub/b", MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
    EXPECT_EQ(Slurp("sub/b"), "new");
    EXPECT_TRUE(MoveFileExA("sub/b", "c", MOVEFILE_WRITE_THROUGH));
    EXPECT_EQ(Slurp("c"), "new");
    Spit("d", "other");
    EXPECT_FALSE(MoveFileExA("c", "d", MOVEFILE_WRITE_THROUGH));
    EXPECT_FALSE(MoveFileExA("c", "sub", MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
    EXPECT_EQ(Slurp("c"), "new");
    EXPECT_EQ(Slurp("d"), "other");
}

TEST_F(W32File, FileTimesBreakDown)
{
    // 1 January 2000 12:34:56.789 UTC.
    unsigned long long v = (946730096ull + 11644473600ull) * 10000000ull + 7890000ull;
    FILETIME ft = {static_cast<DWORD>(v & 0xFFFFFFFFu), static_cast<DWORD>(v >> 32)};
    SYSTEMTIME st;
    ASSERT_TRUE(FileTimeToSystemTime(&ft, &st));
    EXPECT_EQ(st.wYear, 2000);
    EXPECT_EQ(st.wMonth, 1);
    EXPECT_EQ(st.wDay, 1);
    EXPECT_EQ(st.wDayOfWeek, 6);
    EXPECT_EQ(st.wHour, 12);
    EXPECT_EQ(st.wMinute, 34);
    EXPECT_EQ(st.wSecond, 56);
    EXPECT_EQ(st.wMilliseconds, 789);
    FILETIME local;
    ASSERT_TRUE(FileTimeToLocalFileTime(&ft, &local)); // TZ=UTC in the tests
    EXPECT_EQ(local.dwLowDateTime, ft.dwLowDateTime);
    EXPECT_EQ(local.dwHighDateTime, ft.dwHighDateTime);
}

TEST_F(W32File, MoveReplacesOnlyWhenAsked)
{
    Spit("a", "new");
    Spit("b", "old");
    // Without the flag an existing name stays as it was.
    EXPECT_FALSE(MoveFileExA("a", "b", 0));
    EXPECT_EQ(Slurp("b"), "old");
    EXPECT_TRUE(MoveFileExA("a", "b", MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(Slurp("b"), "new");
    EXPECT_FALSE(Exists("a"));
    EXPECT_TRUE(MoveFileExA("b", "c", 0));
    EXPECT_EQ(Slurp("c"), "new");
    EXPECT_FALSE(Exists("b"));
    // Missing sources, empty names and directories are refused.
    EXPECT_FALSE(MoveFileExA("missing", "d", MOVEFILE_REPLACE_EXISTING));
    EXPECT_FALSE(MoveFileExA("c", "", MOVEFILE_REPLACE_EXISTING));
    ASSERT_TRUE(CreateDirectoryA("dir", nullptr));
    EXPECT_FALSE(MoveFileExA("c", "dir", MOVEFILE_REPLACE_EXISTING));
    EXPECT_FALSE(MoveFileExA("dir", "e", MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(Slurp("c"), "new");
}
