#include "si/fileread.h"

#include "si/classfactory.h"
#include "si/except.h"
#include "si/memzone.h"
#include "tests/support/objmodel.h"
#include "tests/support/scratchdir.h"

#include <gtest/gtest.h>

#include <algorithm>
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

TEST_F(FileReadTest, BlocksReadAheadGiveTheFileByteForByte)
{
    // Three blocks and a bit; every byte tells its place.
    const unsigned block = ZuFileRead::BUFFER_SIZE;
    std::string bytes(3 * block + 123, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = char(i * 7 + i / 251);
    std::ofstream("blocks.bin", std::ios::binary) << bytes;
    ZuFileReadRef r = MakeReader();
    r->Open(ZuStringRef("blocks.bin"));
    // Reads (positive) and skips, from a partly used block, across its end,
    // back into it, back before it, far ahead, a read larger than a block
    // and one cut by the end of the file.
    struct Step {
        bool read;
        std::int64_t count;
    } const steps[] = {
        {true, 10},         {false, 5},
        {true, block - 20}, {false, -100},
        {true, 300},        {false, -std::int64_t(block)},
        {true, 50},         {false, 2 * block},
        {true, 7},          {false, -2 * std::int64_t(block)},
        {true, block + 7},  {true, 3 * block},
        {true, 10},
    };
    std::int64_t pos = 0;
    std::string got;
    for (const Step& step : steps) {
        SCOPED_TRACE(testing::Message()
                     << (step.read ? "read " : "skip ") << step.count << " at " << pos);
        if (!step.read) {
            EXPECT_EQ(r->Skip(step.count), step.count);
            pos += step.count;
        } else {
            got.assign(std::size_t(step.count), '\0');
            const std::int64_t left = std::int64_t(bytes.size()) - pos;
            const std::int64_t expected = std::max<std::int64_t>(0, std::min(step.count, left));
            ASSERT_EQ(r->Read(&got[0], unsigned(step.count)), unsigned(expected));
            EXPECT_TRUE(got.compare(0, std::size_t(expected), bytes, std::size_t(pos),
                                    std::size_t(expected)) == 0);
            pos += expected;
        }
        EXPECT_EQ(r->RetPos(), pos);
    }
    EXPECT_EQ(pos, std::int64_t(bytes.size()));
}

TEST_F(FileReadTest, ASkipBeforeTheStartMovesNothing)
{
    std::string const bytes = "0123456789abcdefghij";
    std::ofstream("short.bin", std::ios::binary) << bytes;
    ZuFileReadRef r = MakeReader();
    r->Open(ZuStringRef("short.bin"));
    char buf[4] = {0};
    ASSERT_EQ(r->Read(buf, 4), 4u);
    EXPECT_EQ(StreamError([&] { r->Skip(-5); }), 4);
    EXPECT_EQ(r->RetPos(), 4);
    ASSERT_EQ(r->Read(buf, 4), 4u);
    EXPECT_EQ(std::string(buf, 4), "4567");
    // Back to the very start, within the block, is allowed.
    EXPECT_EQ(r->Skip(-8), -8);
    ASSERT_EQ(r->Read(buf, 2), 2u);
    EXPECT_EQ(std::string(buf, 2), "01");
}

} // namespace
