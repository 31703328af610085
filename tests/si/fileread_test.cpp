#include "si/fileread.h"

#include "si/classfactory.h"
#include "si/except.h"
#include "si/memzone.h"
#include "tests/support/objmodel.h"
#include "tests/support/scratchdir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>

namespace {

class FileReadTest : public ZuviRuntimeTest {
protected:
    ZuFileReadRef MakeReader() { return ZuNew<ZuFileRead>(); }
    ScratchDir scratch;
};

template <class F>
int StreamError(F f)
{
    try {
        f();
    } catch (const ZuExcStream& e) {
        return int(e.GetError());
    }
    return -1;
}

TEST_F(FileReadTest, ReadsSkipsAndCountsUpToTheEnd)
{
    std::ofstream("ten.bin", std::ios::binary) << "0123456789";
    ZuFileReadRef r = MakeReader();
    r->Open(ZuStringRef("ten.bin"));
    EXPECT_EQ(r->RetSize(), 10);
    char buf[16] = {0};
    EXPECT_EQ(r->Read(buf, 4), 4u);
    EXPECT_EQ(std::string(buf, 4), "0123");
    EXPECT_EQ(r->Skip(3), 3);
    EXPECT_EQ(r->RetPos(), 7);
    EXPECT_EQ(r->Skip(-2), -2);
    EXPECT_EQ(r->RetPos(), 5);
    // A short count at the end is no error; at the end nothing moves.
    EXPECT_EQ(r->Read(buf, sizeof buf), 5u);
    EXPECT_EQ(std::string(buf, 5), "56789");
    EXPECT_EQ(r->Read(buf, sizeof buf), 0u);
    EXPECT_EQ(r->RetPos(), 10);
    r->Close();
    EXPECT_FALSE(r->IsOpen());
    EXPECT_EQ(r->RetPos(), 0);
}

TEST_F(FileReadTest, ClosedStreamsAndMissingFilesThrowTheirCodes)
{
    ZuFileReadRef r = MakeReader();
    char c;
    EXPECT_EQ(StreamError([&] { r->Read(&c, 1); }), 1);
    EXPECT_EQ(StreamError([&] { r->RetSize(); }), 1);
    EXPECT_EQ(StreamError([&] { r->Skip(1); }), 2);
    // A reader has no write operation.
    EXPECT_EQ(StreamError([&] { r->Write("a", 1); }), 0);
    EXPECT_EQ(StreamError([&] { r->Sync(); }), 0);
    EXPECT_EQ(StreamError([&] { r->Open(ZuStringRef("missing.bin")); }), 9);
    EXPECT_FALSE(r->IsOpen());
}

} // namespace
