#include "sd/common/sd_pngreader.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/imagefiles.h"

namespace {

// A deterministic spread of sample values.
struct Samples {
    std::uint32_t state = 12345;
    std::uint16_t Next(unsigned limit)
    {
        state = state * 1103515245u + 12345u;
        return static_cast<std::uint16_t>((state >> 8) % limit);
    }
};

// A 7 x 5 image of the colour type and depth with varied samples; a
// palette image gets a full palette and, when asked, a tRNS chunk that
// makes entry 0 transparent and entry 1 half transparent.
TestPng MakePng(int colour_type, int depth, bool interlaced, bool trns)
{
    TestPng png;
    png.width = 7;
    png.height = 5;
    png.colour_type = colour_type;
    png.bit_depth = depth;
    png.interlaced = interlaced;
    Samples s;
    const unsigned limit = 1u << depth;
    const unsigned n = png.width * png.height * TestPngChannels(colour_type);
    for (unsigned i = 0; i < n; ++i)
        png.samples.push_back(s.Next(limit));
    if (colour_type == 3) {
        for (unsigned i = 0; i < limit; ++i)
            png.palette.push_back(TestRgb{static_cast<unsigned char>(i * 7 + 3),
                                          static_cast<unsigned char>(255 - i),
                                          static_cast<unsigned char>(i * 31)});
        if (trns)
            png.palette_alpha = {0, 128};
        png.samples[0] = 0; // the transparent entry is used
        png.samples[1] = limit > 2 ? 2 : 1;
    }
    return png;
}

// What the reader must deliver for a sample of the depth: 8 bits.
unsigned char To8(std::uint16_t v, int depth)
{
    if (depth == 16)
        return static_cast<unsigned char>(v >> 8);
    return static_cast<unsigned char>(v * 255u / ((1u << depth) - 1u));
}

// The expected blue, green, red, alpha bytes of every pixel.
std::vector<unsigned char> Expected(const TestPng& png)
{
    std::vector<unsigned char> out;
    const unsigned channels = TestPngChannels(png.colour_type);
    for (unsigned p = 0; p < png.width * png.height; ++p) {
        const std::uint16_t* s = png.samples.data() + p * channels;
        unsigned char r, g, b, a = 255;
        switch (png.colour_type) {
        case 0:
        case 4:
            r = g = b = To8(s[0], png.bit_depth);
            if (png.colour_type == 4)
                a = To8(s[1], png.bit_depth);
            break;
        case 3:
            r = png.palette[s[0]].r;
            g = png.palette[s[0]].g;
            b = png.palette[s[0]].b;
            if (s[0] < png.palette_alpha.size())
                a = png.palette_alpha[s[0]];
            break;
        default:
            r = To8(s[0], png.bit_depth);
            g = To8(s[1], png.bit_depth);
            b = To8(s[2], png.bit_depth);
            if (png.colour_type == 6)
                a = To8(s[3], png.bit_depth);
        }
        out.insert(out.end(), {b, g, r, a});
    }
    return out;
}

std::vector<unsigned char> Decoded(const PngReader& reader)
{
    std::vector<unsigned char> out;
    for (unsigned y = 0; y < reader.RetHeight(); ++y)
        out.insert(out.end(), reader.RetRow(y), reader.RetRow(y) + 4 * reader.RetWidth());
    return out;
}

TEST(PngReader, EveryColourTypeAndDepthArrivesAsBlueGreenRedAlpha)
{
    struct Case {
        int colour_type;
        int depth;
        bool trns;
    } const cases[] = {
        {0, 1, false}, {0, 2, false},  {0, 4, false}, {0, 8, false},  {0, 16, false},
        {2, 8, false}, {2, 16, false}, {3, 1, false}, {3, 2, false},  {3, 4, false},
        {3, 8, false}, {3, 1, true},   {3, 2, true},  {3, 4, true},   {3, 8, true},
        {4, 8, false}, {4, 16, false}, {6, 8, false}, {6, 16, false},
    };
    for (const Case& c : cases) {
        for (bool interlaced : {false, true}) {
            TestPng png = MakePng(c.colour_type, c.depth, interlaced, c.trns);
            std::vector<unsigned char> file = WriteTestPng(png);
            ASSERT_FALSE(file.empty());
            PngReader reader;
            ASSERT_TRUE(reader.ReadPngFromMemory(file.data(), file.size()))
                << "type " << c.colour_type << " depth " << c.depth << " interlaced " << interlaced;
            EXPECT_EQ(reader.RetWidth(), 7u);
            EXPECT_EQ(reader.RetHeight(), 5u);
            EXPECT_EQ(Decoded(reader), Expected(png))
                << "type " << c.colour_type << " depth " << c.depth << " trns " << c.trns
                << " interlaced " << interlaced;
        }
    }
}

TEST(PngReader, TextChunksOfEveryKindInFileOrder)
{
    TestPng png = MakePng(2, 8, false, false);
    png.texts = {{TestPngText::PLAIN, "IconRecord", "Zuvi_Icon 0 0 16 16"},
                 {TestPngText::COMPRESSED, "Comment", std::string(300, 'z')},
                 {TestPngText::INTERNATIONAL, "Title", "Caf\xc3\xa9"},
                 {TestPngText::PLAIN, "IconRecord", ""}};
    std::vector<unsigned char> file = WriteTestPng(png);
    PngReader reader;
    ASSERT_TRUE(reader.ReadPngFromMemory(file.data(), file.size()));
    ASSERT_EQ(reader.CountTexts(), 4u);
    for (unsigned i = 0; i < 4; ++i) {
        const char* key = nullptr;
        const char* text = nullptr;
        ASSERT_TRUE(reader.GetText(i, key, text));
        EXPECT_EQ(key, png.texts[i].key);
        EXPECT_EQ(text, png.texts[i].text);
    }
    const char* key = "unchanged";
    const char* text = "unchanged";
    EXPECT_FALSE(reader.GetText(4, key, text));
    EXPECT_STREQ(key, "unchanged");

    // A second decode replaces the first one's texts.
    std::vector<unsigned char> plain = WriteTestPng(MakePng(0, 8, false, false));
    ASSERT_TRUE(reader.ReadPngFromMemory(plain.data(), plain.size()));
    EXPECT_EQ(reader.CountTexts(), 0u);
}

// The file with the chunk at `offset` given new data and a correct CRC.
void PatchChunk(std::vector<unsigned char>& file, std::size_t offset,
                const std::vector<unsigned char>& data)
{
    std::copy(data.begin(), data.end(), file.begin() + std::ptrdiff_t(offset) + 8);
    const std::size_t length = data.size();
    uLong crc = crc32(0, file.data() + offset + 4, static_cast<uInt>(length + 4));
    for (int i = 0; i < 4; ++i)
        file[offset + 8 + length + std::size_t(i)] =
            static_cast<unsigned char>(crc >> (24 - 8 * i));
}

TEST(PngReader, DamagedTruncatedAndOversizedFilesAreRefusedWithoutRowsOrTexts)
{
    TestPng png = MakePng(6, 8, false, false);
    png.texts = {{TestPngText::PLAIN, "IconRecord", "x"}};
    const std::vector<unsigned char> good = WriteTestPng(png);

    std::vector<std::vector<unsigned char>> bad;
    for (std::size_t cut : {std::size_t(0), std::size_t(7), std::size_t(20), std::size_t(40),
                            good.size() / 2, good.size() - 13, good.size() - 1})
        bad.emplace_back(good.begin(), good.begin() + std::ptrdiff_t(cut));
    std::vector<unsigned char> signature = good;
    signature[1] = 'Q';
    bad.push_back(signature);
    std::vector<unsigned char> crc = good;
    crc[good.size() - 20] ^= 0x55; // inside the image data
    bad.push_back(crc);
    // The same header written again still decodes: only the size refuses.
    std::vector<unsigned char> same = good;
    PatchChunk(same, 8, {0, 0, 0, 7, 0, 0, 0, 5, 8, 6, 0, 0, 0});
    {
        PngReader reader;
        EXPECT_TRUE(reader.ReadPngFromMemory(same.data(), same.size()));
    }
    // Bytes after the end chunk are left alone.
    std::vector<unsigned char> trailing = good;
    trailing.insert(trailing.end(), {'x', 'y', 'z'});
    {
        PngReader reader;
        EXPECT_TRUE(reader.ReadPngFromMemory(trailing.data(), trailing.size()));
    }
    // A chunk whose declared length runs past the end of the data (it would
    // be allocated before being read).
    std::vector<unsigned char> long_chunk(good.begin(), good.begin() + 33);
    long_chunk.insert(long_chunk.end(), {0x27, 0, 0, 0x10, 't', 'E', 'X', 't', 'K', 0, 'v'});
    bad.push_back(long_chunk);
    // 8192 x 8193 pixels: one row more than the bound allows.
    std::vector<unsigned char> large = good;
    PatchChunk(large, 8, {0, 0, 0x20, 0, 0, 0, 0x20, 0x01, 8, 6, 0, 0, 0});
    bad.push_back(large);

    for (const auto& file : bad) {
        PngReader reader;
        ASSERT_TRUE(reader.ReadPngFromMemory(good.data(), good.size()));
        EXPECT_FALSE(reader.ReadPngFromMemory(file.data(), file.size())) << file.size();
        EXPECT_EQ(reader.RetHeight(), 0u);
        EXPECT_EQ(reader.RetRow(0), nullptr);
        EXPECT_EQ(reader.CountTexts(), 0u);
    }
    PngReader reader;
    EXPECT_FALSE(reader.ReadPngFromMemory(nullptr, 100));
}

// Keeps one row, whatever the image, and counts the rows it is asked for;
// with a stop, the decode ends after that many rows.
class OneRow : public PngRowTarget {
public:
    explicit OneRow(unsigned stop_ = 0) : stop(stop_) {}
    bool Begin(unsigned w, unsigned h) override
    {
        width = w;
        height = h;
        row.assign(std::size_t(w) * 4, 0xAA);
        return true;
    }
    unsigned char* Row(unsigned y) override
    {
        if (stop != 0 && rows == stop)
            return nullptr;
        in_order = in_order && y == rows % height;
        ++rows;
        return row.data();
    }
    unsigned stop;
    unsigned width = 0, height = 0, rows = 0;
    bool in_order = true;
    std::vector<unsigned char> row;
};

TEST(PngReader, RowsGoToTheTargetWithNoMemoryOfTheImagesSize)
{
    // A column of 2^26 pixels (a 130 KB file) once took a block per row and
    // a table of them; now only the decoder's own buffers, whatever the
    // shape. The column stops after 65536 rows (decoding it whole takes long
    // and proves no more).
    struct Case {
        unsigned width, height, stop;
    } const cases[] = {{1, 67108864, 65536}, {8192, 8192, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.height);
        const std::vector<unsigned char> file = WriteZeroPng(c.width, c.height);
        EXPECT_LT(file.size(), std::size_t(300000));
        PngReader reader;
        OneRow target(c.stop);
        EXPECT_EQ(c.stop == 0, reader.ReadPngFromMemory(file.data(), file.size(), target));
        EXPECT_EQ(c.width, target.width);
        EXPECT_EQ(c.height, target.height);
        EXPECT_EQ(c.stop != 0 ? c.stop : c.height, target.rows);
        EXPECT_TRUE(target.in_order);
        EXPECT_EQ(nullptr, reader.RetRow(0));
        EXPECT_GT(reader.RetPeakBytes(), std::size_t(0));
        EXPECT_LT(reader.RetPeakBytes(), std::size_t(1) << 20);
        if (c.stop == 0) {
            const std::vector<unsigned char> black = {0, 0, 0, 255};
            EXPECT_TRUE(std::equal(black.begin(), black.end(), target.row.begin()));
            EXPECT_TRUE(std::equal(black.begin(), black.end(), target.row.end() - 4));
        }
    }
}

TEST(PngReader, TheRowsItKeepsAreOneBlock)
{
    const unsigned side = 2048;
    const std::vector<unsigned char> file = WriteZeroPng(side, side);
    PngReader reader;
    ASSERT_TRUE(reader.ReadPngFromMemory(file.data(), file.size()));
    const std::size_t image = std::size_t(side) * side * 4;
    EXPECT_EQ(reader.RetRow(0) + image - side * 4, reader.RetRow(side - 1));
    EXPECT_GE(reader.RetPeakBytes(), image);
    EXPECT_LT(reader.RetPeakBytes(), image + image / 10);
    EXPECT_EQ(255, reader.RetRow(side - 1)[side * 4 - 1]);
    EXPECT_EQ(0, reader.RetRow(side - 1)[side * 4 - 2]);
}

} // namespace
