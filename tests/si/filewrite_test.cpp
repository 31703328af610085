#include "si/filewrite.h"

#include "si/classfactory.h"
#include "si/except.h"
#include "si/fileread.h"
#include "si/memzone.h"
#include "tests/support/objmodel.h"
#include "tests/support/scratchdir.h"
#include "tests/support/storagetest.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace {

class FileWriteTest : public ZuviRuntimeTest {
protected:
    ZuFileWriteRef MakeWriter()
    {
        return ZuNew<ZuFileWrite>();
    }
    static void Spit(char const* name, std::string const& bytes)
    {
        std::ofstream(name, std::ios::binary) << bytes;
    }
    static std::string Slurp(char const* name)
    {
        std::ifstream in(name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    ScratchDir scratch;
};

template <class F>
int StreamError(F f)
{
    try {
        f();
    } catch (ZuExcStream const& e) {
        return int(e.GetError());
    }
    return -1;
}

TEST_F(FileWriteTest, AppendCountsFromTheOldEnd)
{
    Spit("hundred.bin", std::string(100, 'x'));
    ZuFileWriteRef w = MakeWriter();
    w->Open(ZuStringRef("hundred.bin"), true);
    EXPECT_TRUE(w->RetAppendMode());
    EXPECT_EQ(w->RetPos(), 100);
    EXPECT_EQ(w->Write("0123456789", 10), 10u);
    EXPECT_EQ(w->RetPos(), 110);
    w->Close();
    EXPECT_EQ(w->RetPos(), 0);
    std::string const content = Slurp("hundred.bin");
    EXPECT_EQ(content.size(), 110u);
    EXPECT_EQ(content.substr(100), "0123456789");
}

TEST_F(FileWriteTest, OpeningWithoutAppendEmptiesOrCreates)
{
    Spit("old.bin", "old content");
    ZuFileWriteRef w = MakeWriter();
    w->Open(ZuStringRef("old.bin"), false);
    EXPECT_EQ(w->RetPos(), 0);
    w->Write("new", 3);
    EXPECT_TRUE(w->Sync());
    w->Close();
    EXPECT_EQ(Slurp("old.bin"), "new");

    w->Open(ZuStringRef("fresh.bin"), false);
    EXPECT_TRUE(w->IsOpen());
    w->Close();
    EXPECT_EQ(Slurp("fresh.bin"), "");
    // The name survives Close and reopens.
    ZuStringRef name;
    EXPECT_TRUE(w->GetName(name));
    EXPECT_TRUE("fresh.bin" == name);
    w->Open();
    EXPECT_TRUE(w->IsOpen());
}

TEST_F(FileWriteTest, SkipAndTruncate)
{
    ZuFileWriteRef w = MakeWriter();
    w->Open(ZuStringRef("cut.bin"), false);
    w->Write("abcdefgh", 8);
    EXPECT_EQ(w->Skip(-3), -3);
    EXPECT_EQ(w->RetPos(), 5);
    w->Trunc();
    w->Write("XY", 2);
    w->Close();
    EXPECT_EQ(Slurp("cut.bin"), "abcdeXY");
}

TEST_F(FileWriteTest, SetNameOnAnOpenStreamKeepsTheFile)
{
    ZuFileWriteRef w = MakeWriter();
    w->Open(ZuStringRef("first.bin"), false);
    EXPECT_TRUE(w->SetName(ZuStringRef("second.bin")));
    w->Write("ab", 2);
    w->Close();
    EXPECT_EQ(Slurp("first.bin"), "ab");
    EXPECT_TRUE("second.bin" == w->RetName());
}

TEST_F(FileWriteTest, ClosedStreamsAndFailedOpensThrowTheirCodes)
{
    ZuFileWriteRef w = MakeWriter();
    EXPECT_EQ(StreamError([&] { w->Write("a", 1); }), 0);
    EXPECT_EQ(StreamError([&] { w->Sync(); }), 0);
    EXPECT_EQ(StreamError([&] { w->Trunc(); }), 0);
    EXPECT_EQ(StreamError([&] { w->Skip(1); }), 2);
    // A writer has no read operation.
    char c;
    EXPECT_EQ(StreamError([&] { w->Read(&c, 1); }), 1);
    EXPECT_EQ(StreamError([&] { w->Open(ZuStringRef("no-such-dir/x.bin"), false); }), 9);
    EXPECT_FALSE(w->IsOpen());
    EXPECT_EQ(w->RetPos(), 0);
    // Without a name there is nothing to open.
    ZuFileWriteRef unnamed = MakeWriter();
    ZuStringRef name;
    EXPECT_FALSE(unnamed->GetName(name));
    EXPECT_TRUE("" == name);
    EXPECT_EQ(StreamError([&] { unnamed->Open(); }), 9);
}

TEST_F(FileWriteTest, StreamsAreNeverStoredAndTheBasesAreAbstract)
{
    EXPECT_DEATH(ZuNew<ZuStream>(),
                 "Cannot instanciate ZuStream");
    EXPECT_DEATH(ZuNew<ZuFileStream>(),
                 "Cannot instanciate ZuFileStream");
    ZuTestStorageRef store = ZuTestStorage::Make();
    store->StartStoring();
    ZuFileWriteRef w = MakeWriter();
    EXPECT_DEATH(ZuStorageRef(store) << ZuObjectRef(w), "Trying to store a stream");
}

} // namespace
