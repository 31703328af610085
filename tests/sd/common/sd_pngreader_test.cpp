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

// The writer's filter choices (png.h's PNG_FILTER_*): each forced, and all.
const int kFilters[] = {0x08, 0x10, 0x20, 0x40, 0x80, 0xF8};

// A w x h image of the format with varied samples, its rows written with
// the filters, and a tRNS chunk when asked: palette entries 0 and 1, or
// the grey or colour of the first pixel.
TestPng MakeImage(int colour_type, int depth, unsigned w, unsigned h, int filters, bool trns,
                  std::uint32_t seed)
{
    TestPng png = MakePng(colour_type, depth, false, trns);
    png.width = w;
    png.height = h;
    png.filters = filters;
    png.samples.clear();
    Samples s;
    s.state = seed;
    const unsigned limit = 1u << depth;
    const unsigned channels = TestPngChannels(colour_type);
    for (unsigned i = 0; i < w * h * channels; ++i)
        png.samples.push_back(s.Next(limit));
    if (trns && (colour_type == 0 || colour_type == 2))
        png.key.assign(png.samples.begin(), png.samples.begin() + channels);
    return png;
}

TEST(PngReader, EveryFormatFilterAndInterlacingDecodesAsTheDecoderItself)
{
    struct Format {
        int colour_type, depth;
    } const formats[] = {{0, 1}, {0, 2}, {0, 4}, {0, 8}, {0, 16}, {2, 8}, {2, 16}, {3, 1},
                         {3, 2}, {3, 4}, {3, 8}, {4, 8}, {4, 16}, {6, 8}, {6, 16}};
    struct Size {
        unsigned width, height;
    } const sizes[] = {{1, 1}, {1, 9}, {13, 1}, {9, 2}, {3, 3}, {33, 11}};
    unsigned seed = 1;
    for (const Format& f : formats)
        for (int filters : kFilters)
            for (const Size& size : sizes)
                for (bool interlaced : {false, true})
                    for (bool trns : {false, true}) {
                        if (trns && (f.colour_type == 4 || f.colour_type == 6))
                            continue;
                        TestPng png = MakeImage(f.colour_type, f.depth, size.width, size.height,
                                                filters, trns, ++seed);
                        png.interlaced = interlaced;
                        const std::vector<unsigned char> file = WriteTestPng(png);
                        std::vector<unsigned char> expected;
                        ASSERT_TRUE(ReadTestPngPixels(file, expected));
                        PngReader reader;
                        ASSERT_TRUE(reader.ReadPngFromMemory(file.data(), file.size()));
                        ASSERT_EQ(Decoded(reader), expected)
                            << "type " << f.colour_type << " depth " << f.depth << " filters "
                            << filters << " " << size.width << " x " << size.height
                            << " interlaced " << interlaced << " trns " << trns;
                    }
}

// The file with the chunk at `offset` given new data (of any length) and a
// correct CRC.
std::vector<unsigned char> Rechunk(const std::vector<unsigned char>& file, std::size_t offset,
                                   const std::vector<unsigned char>& data)
{
    const std::size_t length = std::size_t(file[offset]) << 24 |
                               std::size_t(file[offset + 1]) << 16 |
                               std::size_t(file[offset + 2]) << 8 | file[offset + 3];
    std::vector<unsigned char> out(file.begin(), file.begin() + std::ptrdiff_t(offset));
    for (int i = 3; i >= 0; --i)
        out.push_back(static_cast<unsigned char>(data.size() >> (8 * i)));
    out.insert(out.end(), file.begin() + std::ptrdiff_t(offset) + 4,
               file.begin() + std::ptrdiff_t(offset) + 8);
    out.insert(out.end(), data.begin(), data.end());
    const uLong crc = crc32(0, out.data() + offset + 4, static_cast<uInt>(data.size() + 4));
    for (int i = 3; i >= 0; --i)
        out.push_back(static_cast<unsigned char>(crc >> (8 * i)));
    out.insert(out.end(), file.begin() + std::ptrdiff_t(offset + 12 + length), file.end());
    return out;
}

// The offsets of the file's chunks of a type.
std::vector<std::size_t> ChunksOf(const std::vector<unsigned char>& file, const char* type)
{
    std::vector<std::size_t> found;
    for (std::size_t at = 8; at + 12 <= file.size();) {
        const std::size_t length = std::size_t(file[at]) << 24 | std::size_t(file[at + 1]) << 16 |
                                   std::size_t(file[at + 2]) << 8 | file[at + 3];
        if (std::equal(type, type + 4, file.begin() + std::ptrdiff_t(at) + 4))
            found.push_back(at);
        at += 12 + length;
    }
    return found;
}

// A PNG of the header's image whose image data is `raw` (filter bytes and
// samples) deflated, in one IDAT chunk.
std::vector<unsigned char> PngOfRaw(unsigned w, unsigned h, int colour_type, int depth,
                                    const std::vector<unsigned char>& raw)
{
    TestPng png = MakePng(colour_type, depth, false, false);
    png.width = w;
    png.height = h;
    png.samples.assign(std::size_t(w) * h * TestPngChannels(colour_type), 0);
    const std::vector<unsigned char> file = WriteTestPng(png);
    uLongf n = compressBound(static_cast<uLong>(raw.size()));
    std::vector<unsigned char> data(n);
    compress2(data.data(), &n, raw.data(), static_cast<uLong>(raw.size()), 9);
    data.resize(n);
    const std::vector<std::size_t> idat = ChunksOf(file, "IDAT");
    return Rechunk(file, idat.front(), data);
}

// Damage in the image data is refused, or not, as the decoder itself
// decides, and an accepted file gives its pixels: every byte of the
// compressed data changed (with and without its CRC mended), the stream
// cut short or run on, filter bytes out of range, too few and too many
// bytes of image data.
TEST(PngReader, DamagedImageDataIsRefusedOrReadAsByTheDecoderItself)
{
    std::vector<std::vector<unsigned char>> files;
    std::vector<std::vector<unsigned char>> goods;
    {
        TestPng a = MakeImage(2, 8, 13, 11, 0x80, false, 7);
        a.idat_bytes = 40; // several IDAT chunks
        TestPng b = MakeImage(3, 4, 17, 9, 0xF8, true, 8);
        b.interlaced = true;
        b.idat_bytes = 64;
        TestPng c = MakeImage(4, 16, 5, 7, 0x40, false, 9);
        for (const TestPng& png : {a, b, c})
            goods.push_back(WriteTestPng(png));
    }
    for (const std::vector<unsigned char>& good : goods) {
        files.push_back(good);
        const std::vector<std::size_t> idat = ChunksOf(good, "IDAT");
        for (std::size_t chunk : idat) {
            const std::size_t length = good[chunk + 2] * 256u + good[chunk + 3];
            std::vector<unsigned char> data(good.begin() + std::ptrdiff_t(chunk) + 8,
                                            good.begin() + std::ptrdiff_t(chunk + 8 + length));
            for (std::size_t i = 0; i < length; ++i) {
                std::vector<unsigned char> changed = data;
                changed[i] ^= static_cast<unsigned char>(1u << (i % 8));
                files.push_back(Rechunk(good, chunk, changed));
                std::vector<unsigned char> bad_crc = good;
                bad_crc[chunk + 8 + i] ^= 0x40;
                files.push_back(bad_crc);
            }
        }
        // The stream cut short, by a few bytes up to all of the last chunk,
        // and run on with bytes after its end.
        const std::size_t last = idat.back();
        const std::size_t length = good[last + 2] * 256u + good[last + 3];
        const std::vector<unsigned char> data(good.begin() + std::ptrdiff_t(last) + 8,
                                              good.begin() + std::ptrdiff_t(last + 8 + length));
        for (std::size_t cut = 1; cut <= length; ++cut)
            files.push_back(Rechunk(
                good, last,
                std::vector<unsigned char>(data.begin(), data.end() - std::ptrdiff_t(cut))));
        for (std::size_t more : {1, 5, 300}) {
            std::vector<unsigned char> longer = data;
            longer.insert(longer.end(), more, 0x5A);
            files.push_back(Rechunk(good, last, longer));
        }
        // One more IDAT chunk after the image data, and one chunk less.
        std::vector<unsigned char> extra = good;
        const std::vector<unsigned char> chunk(good.begin() + std::ptrdiff_t(last),
                                               good.begin() + std::ptrdiff_t(last + 12 + length));
        extra.insert(extra.end() - 12, chunk.begin(), chunk.end());
        files.push_back(extra);
        if (idat.size() > 1) {
            std::vector<unsigned char> fewer = good;
            fewer.erase(fewer.begin() + std::ptrdiff_t(last),
                        fewer.begin() + std::ptrdiff_t(last + 12 + length));
            files.push_back(fewer);
        }
    }
    // Image data of a 3 x 4 RGB image written by hand: filter bytes out of
    // range, one byte too few, bytes too many.
    std::vector<unsigned char> raw;
    for (unsigned y = 0; y < 4; ++y) {
        raw.push_back(static_cast<unsigned char>(y));
        for (unsigned i = 0; i < 9; ++i)
            raw.push_back(static_cast<unsigned char>(y * 40 + i * 7));
    }
    files.push_back(PngOfRaw(3, 4, 2, 8, raw));
    for (unsigned char bad : {5, 6, 255}) {
        std::vector<unsigned char> r = raw;
        r[20] = bad;
        files.push_back(PngOfRaw(3, 4, 2, 8, r));
    }
    files.push_back(PngOfRaw(3, 4, 2, 8, std::vector<unsigned char>(raw.begin(), raw.end() - 1)));
    for (std::size_t more : {1, 7, 5000}) {
        std::vector<unsigned char> r = raw;
        r.insert(r.end(), more, 3);
        files.push_back(PngOfRaw(3, 4, 2, 8, r));
    }

    unsigned accepted = 0, refused = 0;
    for (std::size_t i = 0; i < files.size(); ++i) {
        std::vector<unsigned char> expected;
        const bool decodes = ReadTestPngPixels(files[i], expected);
        PngReader reader;
        ASSERT_EQ(decodes, reader.ReadPngFromMemory(files[i].data(), files[i].size()))
            << "file " << i;
        if (decodes)
            ASSERT_EQ(Decoded(reader), expected) << "file " << i;
        else
            EXPECT_EQ(reader.RetRow(0), nullptr);
        ++(decodes ? accepted : refused);
    }
    // Both outcomes are met often.
    EXPECT_GT(accepted, 15u);
    EXPECT_GT(refused, 500u);
}

// A few rows of a very wide image hold about the pixels' bytes: the rows
// and some tens of kilobytes, whatever the filter, the format and the
// interlacing. The decoder's own row buffers once took as much again as a
// row.
TEST(PngReader, AFewRowsOfAVeryWideImageHoldAboutThePixels)
{
    struct Case {
        int colour_type, depth;
        unsigned height;
        int filters;
        bool interlaced;
    } const cases[] = {
        {0, 8, 1, 0x80, false}, {2, 8, 2, 0x80, false},  {6, 8, 3, 0x40, false},
        {3, 2, 2, 0x20, false}, {4, 16, 2, 0x80, false}, {2, 8, 3, 0x80, true},
        {6, 8, 7, 0xF8, true},  {2, 16, 2, 0x80, false}, {6, 16, 3, 0x40, false},
        {6, 16, 4, 0xF8, true},
    };
    const unsigned width = 160000;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.colour_type) + " " + std::to_string(c.depth) + " " +
                     std::to_string(c.height) + (c.interlaced ? " interlaced" : ""));
        TestPng png = MakeImage(c.colour_type, c.depth, width, c.height, c.filters, false, 3);
        png.interlaced = c.interlaced;
        const std::vector<unsigned char> file = WriteTestPng(png);
        std::vector<unsigned char> expected;
        ASSERT_TRUE(ReadTestPngPixels(file, expected));
        PngReader reader;
        ASSERT_TRUE(reader.ReadPngFromMemory(file.data(), file.size()));
        EXPECT_TRUE(Decoded(reader) == expected);
        const std::size_t image = std::size_t(width) * c.height * 4;
        EXPECT_LE(reader.RetPeakBytes(), image + image / 5) << "pixels' bytes " << image;
    }
}

// Keeps one row, whatever the image, and counts the rows it is asked for;
// with a stop, the decode ends after that many rows. (The reader may keep
// a raw row in the next row's place: one place for all is only fit for
// images whose rows are unfiltered, as those of zeros here are.)
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
