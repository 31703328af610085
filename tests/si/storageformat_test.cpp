// Byte-exact tests of the storage item encoding and its readers.
#include "si/storageformat.h"

#include "si/except.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

// The format over a byte vector: what is written is appended, what is read
// comes from the front; reading past the end throws as a stream would.
class MemoryFormat : public Zuvi_StorageFormat {
public:
    Bytes out;
    Bytes in;
    std::size_t pos = 0;

    std::size_t Remaining() const { return in.size() - pos; }

protected:
    void WriteRaw(const void* data, std::uint32_t size) override
    {
        const auto* p = static_cast<const unsigned char*>(data);
        out.insert(out.end(), p, p + size);
    }
    void ReadRaw(void* data, std::uint32_t size) override
    {
        if (size > Remaining())
            throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_READ);
        std::memcpy(data, in.data() + pos, size);
        pos += size;
    }
};

MemoryFormat Reader(Bytes bytes)
{
    MemoryFormat f;
    f.in = std::move(bytes);
    return f;
}

TEST(StorageFormat, IntegersGiveTheShortestForm)
{
    struct Case {
        std::int64_t value;
        Bytes bytes;
    } const cases[] = {
        {0, {0x1C}},
        {1, {0x15, 0x01}},
        {255, {0x15, 0xFF}},
        {256, {0x19, 0x01, 0x00}},
        {65535, {0x19, 0xFF, 0xFF}},
        {65536, {0x10, 0x00, 0x01, 0x00, 0x00}},
        {-1, {0x14, 0xFF}},
        {-128, {0x14, 0x80}},
        {-129, {0x18, 0xFF, 0x7F}},
        {-32768, {0x18, 0x80, 0x00}},
        {-32769, {0x10, 0xFF, 0xFF, 0x7F, 0xFF}},
        {2147483647, {0x10, 0x7F, 0xFF, 0xFF, 0xFF}},
        // Only the low 32 bits travel.
        {(std::int64_t(1) << 32) + 7, {0x15, 0x07}},
    };
    for (const auto& c : cases) {
        MemoryFormat w;
        w.StoreInt(c.value);
        EXPECT_EQ(w.out, c.bytes) << "value " << c.value;
        MemoryFormat r = Reader(w.out);
        std::int64_t const back = r.RestoreInt(12345);
        EXPECT_EQ(back, std::int64_t(std::int32_t(std::uint32_t(c.value)))) << "value " << c.value;
        EXPECT_EQ(r.Remaining(), 0u);
    }
}

TEST(StorageFormat, CardinalsGiveTheShortestForm)
{
    struct Case {
        std::uint64_t value;
        Bytes bytes;
    } const cases[] = {
        {0, {0x1D}},
        {1, {0x15, 0x01}},
        {200, {0x15, 0xC8}},
        {255, {0x15, 0xFF}},
        {256, {0x19, 0x01, 0x00}},
        {65535, {0x19, 0xFF, 0xFF}},
        {65536, {0x11, 0x00, 0x01, 0x00, 0x00}},
        {0xFFFFFFFFu, {0x11, 0xFF, 0xFF, 0xFF, 0xFF}},
    };
    for (const auto& c : cases) {
        MemoryFormat w;
        w.StoreCard(c.value);
        EXPECT_EQ(w.out, c.bytes) << "value " << c.value;
        MemoryFormat r = Reader(w.out);
        EXPECT_EQ(r.RestoreCard(99), c.value);
        EXPECT_EQ(r.Remaining(), 0u);
    }
}

TEST(StorageFormat, SignedAndUnsignedReadersAcceptEachOther)
{
    // A card 200 reads back as the int 200.
    MemoryFormat a = Reader({0x15, 0xC8});
    EXPECT_EQ(a.RestoreInt(0), 200);
    // The int -5 read as a card gives 2^64 - 5.
    MemoryFormat w;
    w.StoreInt(-5);
    EXPECT_EQ(w.out, (Bytes{0x14, 0xFB}));
    MemoryFormat b = Reader(w.out);
    EXPECT_EQ(b.RestoreCard(0), std::uint64_t(0) - 5);
    // The 64-bit items are read, never written.
    MemoryFormat c = Reader(
        {0x20, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0x21, 0x80, 0, 0, 0, 0, 0, 0, 1});
    EXPECT_EQ(c.RestoreInt(0), -2);
    EXPECT_EQ(c.RestoreCard(0), 0x8000000000000001ull);
    // Int zero read by the card reader, card zero by the int reader.
    MemoryFormat d = Reader({0x1C, 0x1D});
    EXPECT_EQ(d.RestoreCard(7), 0u);
    EXPECT_EQ(d.RestoreInt(7), 0);
}

TEST(StorageFormat, RealsHaveShortForms)
{
    struct Case {
        double value;
        Bytes bytes;
    } const cases[] = {
        {0.0, {0x32}},
        {1.0, {0x33}},
        {-1.0, {0x34}},
        {2.0, {0x31, 0x15, 0x02}},
        {-300.0, {0x31, 0x18, 0xFE, 0xD4}},
        {0.5, {0x30, 0x00, 0x11, 0x7F, 0xFF, 0xFF, 0xFE, 0x1D, 0x1D}},
    };
    for (const auto& c : cases) {
        MemoryFormat w;
        w.StoreReal(c.value);
        EXPECT_EQ(w.out, c.bytes) << "value " << c.value;
        MemoryFormat r = Reader(w.out);
        EXPECT_EQ(r.RestoreReal(42.0), c.value);
        EXPECT_EQ(r.Remaining(), 0u);
    }
}

TEST(StorageFormat, RealsWithoutShortFormRoundTripExactly)
{
    const double values[] = {3e9,      -3e9,         0.1,       -2.5e-300, 1e308,
                             4.9e-324, 2147483647.0, 1.0 / 3.0, INFINITY,  -INFINITY};
    for (double v : values) {
        MemoryFormat w;
        w.StoreReal(v);
        ASSERT_EQ(w.out[0], 0x30) << v;
        ASSERT_EQ(w.out[1], 0x00) << v;
        MemoryFormat r = Reader(w.out);
        const double back = r.RestoreReal(0.0);
        EXPECT_EQ(std::memcmp(&back, &v, sizeof v), 0) << v;
        EXPECT_EQ(r.Remaining(), 0u);
    }
    MemoryFormat w;
    w.StoreReal(NAN);
    MemoryFormat r = Reader(w.out);
    EXPECT_TRUE(std::isnan(r.RestoreReal(0.0)));
}

TEST(StorageFormat, AbsentItemsGiveTheDefaultAndConsumeNothing)
{
    for (unsigned char tag : {0xFD, 0xFE}) {
        MemoryFormat r = Reader({tag});
        EXPECT_TRUE(r.RestoreBool(true));
        EXPECT_FALSE(r.RestoreBool(false));
        EXPECT_EQ(r.RestoreInt(-77), -77);
        EXPECT_EQ(r.RestoreCard(88), 88u);
        EXPECT_EQ(r.RestoreReal(2.25), 2.25);
        std::string text;
        std::uint32_t id = 0;
        EXPECT_EQ(r.RestoreAtomItem(text, id), Zuvi_StorageFormat::ATOM_ABSENT);
        unsigned char buf[4] = {1, 2, 3, 4};
        r.RestoreBinData(buf, 4);
        EXPECT_EQ(buf[0], 1);
        // The mark is still the next byte.
        EXPECT_EQ(r.RestoreTag(), tag);
        EXPECT_EQ(r.Remaining(), 0u);
    }
}

TEST(StorageFormat, BoolsAreOneByte)
{
    MemoryFormat w;
    w.StoreBool(true);
    w.StoreBool(false);
    EXPECT_EQ(w.out, (Bytes{0x09, 0x08}));
    MemoryFormat r = Reader(w.out);
    EXPECT_TRUE(r.RestoreBool(false));
    EXPECT_FALSE(r.RestoreBool(true));
}

TEST(StorageFormat, IdentifiersShareABase)
{
    MemoryFormat w;
    w.StoreID(1);
    w.StoreID(300);
    w.StoreID(301);
    w.StoreID(0x1FF); // low byte 0xFF always takes the long form
    w.StoreID(2);     // another base: long form again
    EXPECT_EQ(w.out, (Bytes{0x01, 0xFF, 0x00, 0x00, 0x01, 0x2C, 0x2D, 0xFF, 0x00, 0x00, 0x01, 0xFF,
                            0xFF, 0x00, 0x00, 0x00, 0x02}));
    MemoryFormat r = Reader(w.out);
    EXPECT_EQ(r.RestoreID(), 1u);
    EXPECT_EQ(r.RestoreID(), 300u);
    EXPECT_EQ(r.RestoreID(), 301u);
    EXPECT_EQ(r.RestoreID(), 0x1FFu);
    EXPECT_EQ(r.RestoreID(), 2u);
    EXPECT_EQ(r.RetIDBase(), 0u);
}

TEST(StorageFormat, AtomTexts)
{
    MemoryFormat w;
    w.StoreAtomText("abc", 3);
    w.StoreAtomEmpty();
    w.StoreAtomID(1);
    EXPECT_EQ(w.out, (Bytes{0x50, 0x03, 'a', 'b', 'c', 0x50, 0x00, 0x51, 0x01}));

    std::string const long_text(300, 'x');
    MemoryFormat l;
    l.StoreAtomText(long_text.data(), long_text.size());
    ASSERT_EQ(l.out.size(), 4u + 300u);
    EXPECT_EQ((Bytes(l.out.begin(), l.out.begin() + 4)), (Bytes{0x50, 0xFF, 0x01, 0x2C}));

    MemoryFormat r = Reader(l.out);
    std::string text;
    std::uint32_t id = 0;
    EXPECT_EQ(r.RestoreAtomItem(text, id), Zuvi_StorageFormat::ATOM_TEXT);
    EXPECT_EQ(text, long_text);

    MemoryFormat r2 = Reader(w.out);
    EXPECT_EQ(r2.RestoreAtomItem(text, id), Zuvi_StorageFormat::ATOM_TEXT);
    EXPECT_EQ(text, "abc");
    EXPECT_EQ(r2.RestoreAtomItem(text, id), Zuvi_StorageFormat::ATOM_EMPTY);
    EXPECT_EQ(r2.RestoreAtomItem(text, id), Zuvi_StorageFormat::ATOM_ID);
    EXPECT_EQ(id, 1u);
}

TEST(StorageFormat, AtomLengthLimits)
{
    // 239 bytes still fit the one-byte length, 240 take the long form.
    std::string const t239(239, 'a'), t240(240, 'b'), t65535(65535, 'c');
    MemoryFormat a, b, c;
    a.StoreAtomText(t239.data(), t239.size());
    b.StoreAtomText(t240.data(), t240.size());
    c.StoreAtomText(t65535.data(), t65535.size());
    EXPECT_EQ(a.out[1], 239);
    EXPECT_EQ((Bytes(b.out.begin(), b.out.begin() + 4)), (Bytes{0x50, 0xFF, 0x00, 0xF0}));
    EXPECT_EQ((Bytes(c.out.begin(), c.out.begin() + 4)), (Bytes{0x50, 0xFF, 0xFF, 0xFF}));

    // One byte more cannot be written with its true length: refused, and
    // nothing at all is written.
    std::string const t65536(65536, 'd');
    MemoryFormat d;
    EXPECT_THROW(d.StoreAtomText(t65536.data(), t65536.size()), ZuExcStream);
    EXPECT_TRUE(d.out.empty());
}

TEST(StorageFormat, BinaryDataSizesAndSplitReads)
{
    const Bytes ten = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    MemoryFormat w;
    w.StoreBinData(ten.data(), 10);
    Bytes expect = {0x70, 0x0A};
    expect.insert(expect.end(), ten.begin(), ten.end());
    EXPECT_EQ(w.out, expect);

    // 4 bytes, then the 6 that remain of the same item.
    MemoryFormat r = Reader(w.out);
    unsigned char first[4], second[6];
    r.RestoreBinData(first, 4);
    r.RestoreBinData(second, 6);
    EXPECT_EQ(Bytes(first, first + 4), (Bytes{0, 1, 2, 3}));
    EXPECT_EQ(Bytes(second, second + 6), (Bytes{4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(r.Remaining(), 0u);

    // One buffer filled from two consecutive items.
    MemoryFormat two;
    two.StoreBinData(ten.data(), 3);
    two.StoreBinData(ten.data() + 3, 7);
    MemoryFormat rt = Reader(two.out);
    unsigned char all[10];
    rt.RestoreBinData(all, 10);
    EXPECT_EQ(Bytes(all, all + 10), ten);

    // Header sizes.
    Bytes big(70000, 0xAB);
    MemoryFormat m16, m32;
    m16.StoreBinData(big.data(), 256);
    m32.StoreBinData(big.data(), 70000);
    EXPECT_EQ((Bytes(m16.out.begin(), m16.out.begin() + 3)), (Bytes{0x71, 0x01, 0x00}));
    EXPECT_EQ((Bytes(m32.out.begin(), m32.out.begin() + 5)), (Bytes{0x72, 0x00, 0x01, 0x11, 0x70}));

    // Skipping a whole item (null buffer, size 0).
    MemoryFormat skip = Reader(m32.out);
    skip.in.push_back(0x1C);
    skip.RestoreBinData(nullptr, 0);
    EXPECT_EQ(skip.RestoreInt(5), 0);
}

TEST(StorageFormat, PutBackComesOutInOrder)
{
    MemoryFormat r = Reader({9, 10});
    const unsigned char back[3] = {1, 2, 3};
    r.PushBackData(back, 3);
    unsigned char got[5];
    r.PopAndRestoreData(got, 5);
    EXPECT_EQ(Bytes(got, got + 5), (Bytes{1, 2, 3, 9, 10}));
    EXPECT_THROW(r.PeekTag(), ZuExcStream); // nothing left
    EXPECT_EQ(r.RetPushSize(), 0u);
}

TEST(StorageFormatDeathTest, OverfullPutBackIsAProgrammingError)
{
    MemoryFormat r;
    unsigned char block[65] = {};
    EXPECT_DEATH(r.PushBackData(block, 65),
                 "Failed assertion: this->push_size \\+ size <= sizeof \\(this->push_buffer\\)");
}

TEST(StorageFormat, TruncatedItemsThrow)
{
    const Bytes truncated[] = {
        {0x10, 0x00, 0x01},             // int32 cut short
        {0x19},                         // int16 without payload
        {0x30, 0x00, 0x11, 0x7F},       // portable double cut short
        {0x50, 0x05, 'a', 'b'},         // atom text shorter than its length
        {0x50, 0xFF, 0x01},             // long atom length cut short
        {0x72, 0xFF, 0xFF, 0xFF, 0xFF}, // 4 GB of binary data that is not there
    };
    for (const auto& bytes : truncated) {
        MemoryFormat r = Reader(bytes);
        EXPECT_THROW(
            {
                switch (bytes[0]) {
                case 0x50: {
                    std::string t;
                    std::uint32_t id;
                    r.RestoreAtomItem(t, id);
                    break;
                }
                case 0x72:
                    r.RestoreBinData(nullptr, 0);
                    break;
                case 0x30:
                    r.RestoreReal(0);
                    break;
                default:
                    r.RestoreInt(0);
                }
            },
            ZuExcStream)
            << "first byte " << int(bytes[0]);
    }
}

TEST(StorageFormat, NonScalarWhereAScalarIsExpectedIsBadData)
{
    // Without an object layer above, an object item where an int is wanted
    // cannot be converted: it is refused, not misread.
    MemoryFormat r = Reader({0x42, 0x01});
    EXPECT_THROW(r.RestoreInt(0), ZuExcStream);
    MemoryFormat b = Reader({0x1C});
    unsigned char buf[2];
    EXPECT_THROW(b.RestoreBinData(buf, 2), ZuExcStream);
}

} // namespace
