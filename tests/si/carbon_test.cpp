#include "si/carbon.h"

#include "si/classfactory.h"
#include "si/except.h"
#include "si/memzone.h"
#include "tests/support/objmodel.h"
#include "tests/support/samplegraph.h"
#include "tests/support/storagetest.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class CarbonCopyTest : public ZuviRuntimeTest {
protected:
    void SetUp() override
    {
        ZuviRuntimeTest::SetUp();
        cc = ZuNew<ZuCarbonCopy>();
    }
    void TearDown() override
    {
        cc = ZuCarbonCopyNull;
        ZuviRuntimeTest::TearDown();
    }
    std::vector<unsigned> Lengths() const
    {
        std::vector<unsigned> out;
        for (const auto* b = cc->RetFirstBlock(); b; b = b->next)
            out.push_back(b->len);
        return out;
    }
    std::vector<unsigned> Capacities() const
    {
        std::vector<unsigned> out;
        for (const auto* b = cc->RetFirstBlock(); b; b = b->next)
            out.push_back(b->capacity);
        return out;
    }
    ZuCarbonCopyRef cc;
};

std::vector<unsigned char> Pattern(unsigned n)
{
    std::vector<unsigned char> out(n);
    for (unsigned i = 0; i < n; i++)
        out[i] = (unsigned char)(i * 7 + 3);
    return out;
}

TEST_F(CarbonCopyTest, WritesFillBlocksOfAtMostAThousandBytes)
{
    cc->StartStoring();
    const std::vector<unsigned char> bytes = Pattern(2500);
    cc->StoreData(bytes.data(), 2500);
    EXPECT_EQ(Lengths(), (std::vector<unsigned>{1000, 1000, 500}));
    EXPECT_EQ(cc->RetRawDataSize(), 2500u);

    struct Case {
        unsigned size;
        bool whole;
        unsigned copied;
    } const cases[] = {{2500, true, 2500},
                       {2499, true, 2499},
                       {2000, false, 2000},
                       {1500, false, 1500},
                       {0, false, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        std::vector<unsigned char> out(2600, 0xEE);
        EXPECT_EQ(cc->ExtractRawData(out.data(), c.size), c.whole);
        EXPECT_TRUE(std::equal(bytes.begin(), bytes.begin() + c.copied, out.begin()));
        EXPECT_EQ(out[c.copied], 0xEE);
    }

    // Small writes open blocks of their own size.
    cc->StartStoring();
    for (int i = 0; i < 3; i++)
        cc->StoreData("x", 1);
    EXPECT_EQ(Capacities(), (std::vector<unsigned>{1, 1, 1}));
    // A write of nothing on a full block opens an empty one, which makes
    // ExtractRawData answer false for an exact buffer.
    cc->StoreData("", 0);
    EXPECT_EQ(Capacities(), (std::vector<unsigned>{1, 1, 1, 0}));
    char out[3];
    EXPECT_FALSE(cc->ExtractRawData(out, 3));
    EXPECT_TRUE(cc->ExtractRawData(out, 4));
}

TEST_F(CarbonCopyTest, ReadingPastTheStoredBytesFails)
{
    const std::vector<unsigned char> bytes = Pattern(40);
    EXPECT_TRUE(cc->SetRawData(bytes.data(), 40));
    std::vector<unsigned char> in(50, 0xEE);
    cc->RestoreData(in.data(), 30);
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.begin() + 30, in.begin()));
    // 10 bytes are left: asking for 20 throws instead of answering with a
    // half-filled buffer.
    EXPECT_THROW(cc->RestoreData(in.data() + 30, 20), ZuExcStream);
    cc->StartRestoring();
    cc->RestoreData(in.data(), 40);
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), in.begin()));
    EXPECT_THROW(cc->RestoreData(in.data(), 1), ZuExcStream);
    // Nothing stored at all.
    cc->StartStoring();
    cc->StartRestoring();
    EXPECT_THROW(cc->RestoreData(in.data(), 1), ZuExcStream);
}

TEST_F(CarbonCopyTest, DeepCopyAndTransportOfAGraph)
{
    ZuTestNodeRef root = BuildSampleGraph();
    cc->StartStoring();
    ZuStorageRef(cc) << root;
    cc->StartRestoring();
    ZuTestNodeRef copy;
    ZuStorageRef(cc) >> copy;
    cc->FinallyAwake();
    ExpectSampleGraph(copy);
    EXPECT_FALSE(copy == root);

    // The raw bytes restore the same graph in another carbon copy.
    std::vector<unsigned char> raw(cc->RetRawDataSize());
    EXPECT_TRUE(cc->ExtractRawData(raw.data(), unsigned(raw.size())));
    ZuCarbonCopyRef other = ZuNew<ZuCarbonCopy>();
    EXPECT_TRUE(other->SetRawData(raw.data(), unsigned(raw.size())));
    ZuTestNodeRef again;
    ZuStorageRef(other) >> again;
    ExpectSampleGraph(again);

    // Every cut of the bytes is refused, not decoded from stale memory.
    for (unsigned cut = 0; cut < raw.size(); cut += 5) {
        SCOPED_TRACE(cut);
        other->SetRawData(raw.data(), cut);
        ZuObjectRef back;
        EXPECT_THROW(ZuStorageRef(other) >> back, ZuExcStream);
        EXPECT_TRUE(back.IsInvalid());
    }

    BreakSampleGraph(root);
    BreakSampleGraph(copy);
    BreakSampleGraph(again);
}

TEST_F(CarbonCopyTest, ACarbonCopyStoresItsBlocksAsAnObject)
{
    cc->StartStoring();
    const std::vector<unsigned char> bytes = Pattern(1500);
    cc->StoreData(bytes.data(), 1500); // blocks of 1000 and 500
    cc->StoreData("abc", 3);           // a third block of 3
    ZuTestStorageRef store = ZuTestStorage::Make();
    store->StartStoring();
    ZuStorageRef(store) << cc;
    store->StartRestoring(store->Bytes());
    ZuCarbonCopyRef back;
    ZuStorageRef(store) >> back;
    ASSERT_TRUE(back.IsValid());
    ASSERT_EQ(back->RetRawDataSize(), 1503u);
    std::vector<unsigned char> out(1503);
    EXPECT_TRUE(back->ExtractRawData(out.data(), 1503));
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), out.begin()));
    EXPECT_EQ(std::string(out.begin() + 1500, out.end()), "abc");

    // Storing stops at the first empty block.
    cc->StartStoring();
    cc->StoreData("z", 1);
    cc->StoreData("", 0);
    cc->StoreData("y", 1);
    store->StartStoring();
    ZuStorageRef(store) << cc;
    store->StartRestoring(store->Bytes());
    ZuCarbonCopyRef cut;
    ZuStorageRef(store) >> cut;
    ASSERT_TRUE(cut.IsValid());
    EXPECT_EQ(cut->RetRawDataSize(), 1u);
}

TEST_F(CarbonCopyTest, AStoredBlockLongerThanTheInputIsRefused)
{
    cc->StartStoring();
    cc->StoreData("abcdef", 6);
    ZuTestStorageRef store = ZuTestStorage::Make();
    store->StartStoring();
    ZuStorageRef(store) << cc;
    std::vector<unsigned char> bytes = store->Bytes();
    // The block's length is the card between the block's begin (0xFC) and
    // the binary item (tag, length 6, "abcdef"): make it claim about four
    // gigabytes (a 32-bit card, tag 0x11).
    std::size_t at = std::string(bytes.begin(), bytes.end()).find("abcdef");
    ASSERT_NE(at, std::string::npos);
    std::size_t begin = at - 2;
    while (begin > 0 && bytes[begin - 1] != 0xFC)
        begin--;
    ASSERT_GT(begin, 0u);
    std::vector<unsigned char> patched(bytes.begin(), bytes.begin() + long(begin));
    const unsigned char big[] = {0x11, 0xFF, 0xFF, 0xFF, 0xF0};
    patched.insert(patched.end(), big, big + sizeof big);
    patched.insert(patched.end(), bytes.begin() + long(at - 2), bytes.end());
    store->StartRestoring(patched);
    ZuCarbonCopyRef back;
    EXPECT_THROW(ZuStorageRef(store) >> back, ZuExcStream);
}

} // namespace
