#include "sd/win32/sd_win32file.h"

#include "si/string.h"
#include "si/memzone.h"
#include "tests/support/objmodel.h"
#include "tests/support/scratchdir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

namespace {

class Win32File : public ZuviRuntimeTest {
protected:
    ScratchDir scratch;
};

const Zuvi_FileOpenModes kRead{ZU_FOPEN_READ};
const Zuvi_FileOpenModes kWrite{ZU_FOPEN_WRITE, ZU_FOPEN_CREATE, ZU_FOPEN_TRUNCATE};
const Zuvi_FileOpenModes kUpdate{ZU_FOPEN_READ, ZU_FOPEN_WRITE, ZU_FOPEN_CREATE};

Zuvi_File* Open(const char* path, const Zuvi_FileOpenModes& modes)
{
    return Zuvi_File::Open(ZuStringRef(path), modes);
}

std::string Slurp(const char* name)
{
    std::ifstream in(name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

bool Exists(const char* name)
{
    return std::ifstream(name).good();
}

} // namespace

TEST_F(Win32File, MissingFilesOpenOnlyWhenCreated)
{
    EXPECT_EQ(Open("new.bin", kRead), nullptr);
    EXPECT_FALSE(Exists("new.bin"));
    Zuvi_File* f = Open("new.bin", kWrite);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->Write("abc", 3), 3u);
    EXPECT_TRUE(f->Synchronise());
    EXPECT_TRUE(Zuvi_File::Close(f));
    EXPECT_EQ(Slurp("new.bin"), "abc");
    // {write, create, truncate} empties an existing file.
    f = Open("new.bin", kWrite);
    ASSERT_NE(f, nullptr);
    Zuvi_File::Close(f);
    EXPECT_EQ(Slurp("new.bin"), "");
}

TEST_F(Win32File, SeekingCountsNegativeOffsetsFromTheEnd)
{
    Zuvi_File* f = Open("seek.bin", kUpdate);
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(f->Write("0123456789", 10), 10u);
    ASSERT_TRUE(f->Seek(-1));
    EXPECT_EQ(f->RetPos(), 10);
    ASSERT_TRUE(f->Seek(-2));
    EXPECT_EQ(f->RetPos(), 9);
    ASSERT_TRUE(f->Seek(3));
    EXPECT_EQ(f->RetPos(), 3);
    ASSERT_TRUE(f->Skip(2));
    char c = 0;
    ASSERT_EQ(f->Read(&c, 1), 1u);
    EXPECT_EQ(c, '5');
    ASSERT_TRUE(f->Skip(-6));
    EXPECT_EQ(f->RetPos(), 0);
    EXPECT_FALSE(f->Skip(-1)); // before the start
    EXPECT_FALSE(f->Seek(-12));
    EXPECT_EQ(f->RetPos(), 0);
    // Writing at the end after Seek(-1) appends.
    ASSERT_TRUE(f->Seek(-1));
    ASSERT_EQ(f->Write("ab", 2), 2u);
    EXPECT_EQ(f->RetSize(), 12u);
    EXPECT_EQ(f->Read(&c, 1), 0u); // at the end
    Zuvi_File::Close(f);
    EXPECT_EQ(Slurp("seek.bin"), "0123456789ab");
}

TEST_F(Win32File, SizesAndPositionsBeyondFourGigabytes)
{
    Zuvi_File* f = Open("big.bin", kUpdate);
    ASSERT_NE(f, nullptr);
    const int64_t big = (5LL << 30) + 11; // sparse: nothing is written
    ASSERT_TRUE(f->Resize(big));
    EXPECT_EQ(f->RetSize(), static_cast<uint64_t>(big));
    EXPECT_EQ(f->RetPos(), big);
    ASSERT_TRUE(f->Seek((4LL << 30) + 1));
    EXPECT_EQ(f->RetPos(), (4LL << 30) + 1);
    ASSERT_EQ(f->Write("x", 1), 1u);
    ASSERT_TRUE(f->Seek(-1));
    EXPECT_EQ(f->RetPos(), big);
    ASSERT_TRUE(f->Seek(1000));
    ASSERT_TRUE(f->Truncate());
    EXPECT_EQ(f->RetSize(), 1000u);
    Zuvi_File::Close(f);
}

TEST_F(Win32File, AppendingStartsAtTheEnd)
{
    std::ofstream("log.txt") << "one;";
    Zuvi_File* f = Open("log.txt", {ZU_FOPEN_WRITE, ZU_FOPEN_CREATE, ZU_FOPEN_APPEND});
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->RetPos(), 4);
    f->Write("two;", 4);
    Zuvi_File::Close(f);
    EXPECT_EQ(Slurp("log.txt"), "one;two;");
}

TEST_F(Win32File, AnOpenFileCannotBeOpenedAgain)
{
    Zuvi_File* first = Open("busy.bin", kWrite);
    ASSERT_NE(first, nullptr);
    first->Write("keep", 4);
    EXPECT_EQ(Open("busy.bin", kRead), nullptr);
    EXPECT_EQ(Open("busy.bin", kWrite), nullptr);
    Zuvi_File::Close(first);
    EXPECT_EQ(Slurp("busy.bin"), "keep");
    Zuvi_File* again = Open("busy.bin", kRead);
    EXPECT_NE(again, nullptr);
    Zuvi_File::Close(again);
}

TEST_F(Win32File, ReadersShareAFileThatNoWriterHolds)
{
    Zuvi_File* writer = Open("shared.bin", kWrite);
    ASSERT_NE(writer, nullptr);
    writer->Write("data", 4);
    Zuvi_File::Close(writer);

    Zuvi_File* a = Open("shared.bin", kRead);
    Zuvi_File* b = Open("shared.bin", kRead);
    EXPECT_NE(a, nullptr);
    EXPECT_NE(b, nullptr);
    // While it is being read, nobody writes it.
    EXPECT_EQ(Open("shared.bin", kWrite), nullptr);
    EXPECT_EQ(Open("shared.bin", kUpdate), nullptr);
    Zuvi_File::Close(a);
    Zuvi_File::Close(b);
    EXPECT_EQ(Slurp("shared.bin"), "data");
}

TEST_F(Win32File, DeleteOnClose)
{
    Zuvi_File* f = Open("scratch.tmp", {ZU_FOPEN_WRITE, ZU_FOPEN_CREATE, ZU_FOPEN_DELETE_ON_CLOSE,
                                        ZU_FOPEN_WRITE_THROUGH});
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(Exists("scratch.tmp"));
    Zuvi_File::Close(f);
    EXPECT_FALSE(Exists("scratch.tmp"));
}

TEST_F(Win32File, MappingAFile)
{
    std::ofstream("map.bin") << std::string(8192, '.');
    Zuvi_File* f = Open("map.bin", {ZU_FOPEN_READ, ZU_FOPEN_WRITE});
    ASSERT_NE(f, nullptr);
    char* view = static_cast<char*>(f->MapSharedMemory(0, 8192, ZuStringNull));
    ASSERT_NE(view, nullptr);
    std::memcpy(view + 100, "mapped", 6);
    EXPECT_TRUE(f->SynchroniseSharedMemory(view, 8192));
    EXPECT_TRUE(f->UnmapSharedMemory());
    EXPECT_FALSE(f->UnmapSharedMemory());
    Zuvi_File::Close(f);
    EXPECT_EQ(Slurp("map.bin").substr(100, 6), "mapped");
}

TEST_F(Win32File, CopyOnWriteMappingLeavesTheFile)
{
    std::ofstream("cow.bin") << "original";
    Zuvi_File* f = Open("cow.bin", {ZU_FOPEN_READ, ZU_FOPEN_COPY_ON_WRITE});
    ASSERT_NE(f, nullptr);
    char* view = static_cast<char*>(f->MapSharedMemory(0, 8, ZuStringNull));
    ASSERT_NE(view, nullptr);
    view[0] = 'O';
    Zuvi_File::Close(f); // unmaps the view
    EXPECT_EQ(Slurp("cow.bin"), "original");
}

TEST_F(Win32File, SharedSectionsByName)
{
    EXPECT_EQ(Open("mmap:zuvi-test-section", kRead), nullptr);
    // Created when mapped, in shared memory.
    Zuvi_File* writer = Open("mmap:zuvi-test-section", {ZU_FOPEN_WRITE, ZU_FOPEN_CREATE});
    ASSERT_NE(writer, nullptr);
    char* a =
        static_cast<char*>(writer->MapSharedMemory(0, 4096, ZuStringRef("mmap:zuvi-test-section")));
    ASSERT_NE(a, nullptr);
    std::strcpy(a, "hello across");
    Zuvi_File* reader = Open("mmap:zuvi-test-section", kRead);
    ASSERT_NE(reader, nullptr);
    const char* b = static_cast<const char*>(reader->MapSharedMemory(0, 4096, ZuStringNull));
    ASSERT_NE(b, nullptr);
    EXPECT_STREQ(b, "hello across");
    Zuvi_File::Close(reader);
    Zuvi_File::Close(writer);
    EXPECT_EQ(Open("mmap:zuvi-test-section", kRead), nullptr);
}

TEST_F(Win32File, AClosedFileHasNoSize)
{
    Zuvi_Win32File file(false);
    EXPECT_EQ(file.RetSize(), 0u);
    EXPECT_FALSE(file.Seek(0));
    EXPECT_FALSE(file.Truncate());
    EXPECT_EQ(file.MapSharedMemory(0, 16, ZuStringNull), nullptr);
    EXPECT_TRUE(file.Close());
}

TEST_F(Win32File, ReadingAClosedFileIsAProgrammingError)
{
    EXPECT_DEATH(
        {
            Zuvi_Win32File file(false);
            char c;
            file.Read(&c, 1);
        },
        "Failed assertion: this->desc");
    EXPECT_DEATH(
        {
            Zuvi_Win32File file(false);
            file.RetPos();
        },
        "Failed assertion: offset != 0xFFFFFFFF");
}
