#include "si/loadgif.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "si/memzone.h"
#include "tests/support/imagefiles.h"
#include "tests/support/ports.h"
#include "tests/support/scratchdir.h"

namespace {

// ---- Hand-made files -----------------------------------------------------

// LZW codes packed least significant bit first, at the code size a decoder
// has when it reads each one.
class LzwCodes {
public:
    explicit LzwCodes(int minimum) : m(minimum) { Reset(); }

    void Clear()
    {
        Put(1 << m);
        Reset();
    }
    void End() { Put((1 << m) + 1); }
    // Any other code: after the first one of a table each adds an entry.
    void Code(int code)
    {
        Put(code);
        if (fresh) {
            fresh = false;
            return;
        }
        if (next_free <= 4095) {
            ++next_free;
            if (next_free >= (1 << size) && size < 12)
                ++size;
        }
    }
    int NextFree() const { return next_free; }
    int Minimum() const { return m; }
    const std::vector<unsigned char>& Bytes() const { return bytes; }

private:
    void Reset()
    {
        size = m + 1;
        next_free = (1 << m) + 2;
        fresh = true;
    }
    void Put(int code)
    {
        for (int i = 0; i < size; ++i, ++bit) {
            if (bit % 8 == 0)
                bytes.push_back(0);
            if ((code >> i) & 1)
                bytes.back() |= static_cast<unsigned char>(1 << (bit % 8));
        }
    }

    int m;
    int size = 0;
    int next_free = 0;
    bool fresh = true;
    unsigned long bit = 0;
    std::vector<unsigned char> bytes;
};

// A GIF file assembled byte by byte.
struct GifBytes {
    std::vector<unsigned char> b;

    GifBytes& Header(const char* signature, unsigned screen_flags)
    {
        b.insert(b.end(), signature, signature + 6);
        b.insert(b.end(), {1, 0, 1, 0, static_cast<unsigned char>(screen_flags), 0, 0});
        return *this;
    }
    GifBytes& Table(unsigned count)
    {
        for (unsigned i = 0; i < count; ++i)
            b.insert(b.end(), {static_cast<unsigned char>(i), static_cast<unsigned char>(2 * i),
                               static_cast<unsigned char>(255 - i)});
        return *this;
    }
    GifBytes& Raw(const std::vector<unsigned char>& bytes)
    {
        b.insert(b.end(), bytes.begin(), bytes.end());
        return *this;
    }
    GifBytes& Image(int width, int height, unsigned flags)
    {
        b.insert(b.end(),
                 {0x2C, 0, 0, 0, 0, static_cast<unsigned char>(width),
                  static_cast<unsigned char>(width >> 8), static_cast<unsigned char>(height),
                  static_cast<unsigned char>(height >> 8), static_cast<unsigned char>(flags)});
        return *this;
    }
    GifBytes& Data(const LzwCodes& codes)
    {
        b.push_back(static_cast<unsigned char>(codes.Minimum()));
        const auto& d = codes.Bytes();
        for (std::size_t i = 0; i < d.size(); i += 255) {
            const std::size_t n = std::min<std::size_t>(255, d.size() - i);
            b.push_back(static_cast<unsigned char>(n));
            b.insert(b.end(), d.begin() + std::ptrdiff_t(i), d.begin() + std::ptrdiff_t(i + n));
        }
        b.push_back(0);
        b.push_back(0x3B);
        return *this;
    }
};

// The decoder's index image of a file; empty when it refuses the file.
std::vector<unsigned char> Indices(const std::vector<unsigned char>& file)
{
    GifDecoder* gif = NewGifDecoder();
    std::vector<unsigned char> out;
    if (DecodeGif(*gif, file.data(), file.size()))
        out.assign(gif->indices, gif->indices + std::size_t(gif->width) * std::size_t(gif->height));
    FreeGifDecoder(gif);
    return out;
}

std::vector<TestRgb> Ramp(unsigned count)
{
    std::vector<TestRgb> table;
    for (unsigned i = 0; i < count; ++i)
        table.push_back(TestRgb{static_cast<unsigned char>(i), static_cast<unsigned char>(i * 3),
                                static_cast<unsigned char>(255 - i)});
    return table;
}

TestGifImage Noise(int width, int height, unsigned colours, unsigned seed)
{
    TestGifImage image;
    image.width = width;
    image.height = height;
    for (int i = 0; i < width * height; ++i) {
        seed = seed * 1103515245u + 12345u;
        // Runs of one index among noise, so that strings grow long.
        image.indices.push_back(
            static_cast<unsigned char>((i / 7 % 3 == 0 ? seed >> 16 : i / 5) % colours));
    }
    return image;
}

class LoadGifTest : public PortTest {
protected:
    std::string Write(const char* name, const std::vector<unsigned char>& bytes)
    {
        std::string path = scratch.Path() + "/" + name;
        EXPECT_TRUE(WriteTestFile(path, bytes));
        return path;
    }
    ScratchDir scratch;
};

// ---- Decoding real files -------------------------------------------------

TEST_F(LoadGifTest, IndexImagesMatchGiflibForEveryKindOfFile)
{
    struct Case {
        const char* what;
        TestGif gif;
    };
    std::vector<Case> cases;
    for (unsigned bits = 1; bits <= 8; ++bits) {
        Case c{"global table", {}};
        c.gif.gif89 = bits % 2 == 0;
        c.gif.global_table = Ramp(1u << bits);
        c.gif.images.push_back(Noise(37, 23, 1u << bits, bits));
        cases.push_back(c);
    }
    {
        // The local table and the code size are wider than the screen's
        // table: literals are the codes below the clear code, not the
        // screen's colour count.
        Case c{"local table wider than the global one", {}};
        c.gif.global_table = Ramp(2);
        c.gif.images.push_back(Noise(40, 30, 256, 7));
        c.gif.images.back().local_table = Ramp(256);
        cases.push_back(c);
    }
    {
        Case c{"local table only, narrower", {}};
        c.gif.images.push_back(Noise(16, 16, 4, 8));
        c.gif.images.back().local_table = Ramp(4);
        cases.push_back(c);
    }
    {
        Case c{"interlaced", {}};
        c.gif.global_table = Ramp(16);
        c.gif.images.push_back(Noise(17, 23, 16, 9));
        c.gif.images.back().interlaced = true;
        cases.push_back(c);
    }
    {
        Case c{"extensions, then two images", {}};
        c.gif.global_table = Ramp(8);
        c.gif.extensions = {
            {0xF9, {{1, 10, 0, 3}}},
            {0xFE, {{'h', 'e', 'l', 'l', 'o'}, std::vector<unsigned char>(255, 'x')}},
            {0xFF, {{'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'}, {1, 0, 0}}}};
        c.gif.images.push_back(Noise(9, 4, 8, 10));
        c.gif.images.push_back(Noise(20, 20, 8, 11));
        cases.push_back(c);
    }
    for (const Case& c : cases) {
        std::vector<unsigned char> file = WriteTestGif(c.gif);
        ASSERT_FALSE(file.empty()) << c.what;
        EXPECT_EQ(std::string(file.begin(), file.begin() + 6), c.gif.gif89 ? "GIF89a" : "GIF87a");
        std::vector<unsigned char> reference;
        int width = 0, height = 0;
        ASSERT_TRUE(ReadTestGifIndices(file, reference, width, height)) << c.what;
        EXPECT_EQ(reference, c.gif.images[0].indices) << c.what;
        EXPECT_EQ(Indices(file), reference) << c.what;

        // Each pixel shows its index's colour, opaque.
        ZuGrailPixmapRef pixmap = Zuvi::LoadGIFFromMemory(file.data(), file.size(), nullptr);
        ASSERT_TRUE(pixmap.IsValid()) << c.what;
        double dx = 0, dy = 0;
        pixmap->GetSize(dx, dy);
        ASSERT_EQ(dx, width);
        ASSERT_EQ(dy, height);
        const std::vector<TestRgb>& table =
            c.gif.images[0].local_table.empty() ? c.gif.global_table : c.gif.images[0].local_table;
        for (int y = 0; y < height; y += 3)
            for (int x = 0; x < width; x += 2) {
                const TestRgb rgb = table[reference[std::size_t(y * width + x)]];
                EXPECT_EQ(Pixel(pixmap, x, y), unsigned(rgb.r) << 16 | unsigned(rgb.g) << 8 | rgb.b)
                    << c.what;
            }
    }
}

TEST_F(LoadGifTest, TheTransparentIndexOfAGraphicControlShowsItsTableColour)
{
    TestGif gif;
    gif.global_table = {{10, 20, 30}, {200, 100, 50}};
    gif.extensions = {{0xF9, {{1, 0, 0, 1}}}}; // index 1 transparent
    TestGifImage image;
    image.width = 2;
    image.indices = {0, 1};
    gif.images.push_back(image);
    std::vector<unsigned char> file = WriteTestGif(gif);
    ASSERT_EQ(std::string(file.begin(), file.begin() + 6), "GIF89a");
    ZuGrailPixmapRef pixmap = Zuvi::LoadGIF(ZuStringRef(Write("gce.gif", file).c_str()), nullptr);
    ASSERT_TRUE(pixmap.IsValid());
    EXPECT_EQ(Pixel(pixmap, 0, 0), 0x000A141Eu);
    EXPECT_EQ(Pixel(pixmap, 1, 0), 0x00C86432u);
}

// ---- Hand-made code streams ------------------------------------------------

TEST_F(LoadGifTest, WithoutColourTablesTheBuiltInColoursRepeat)
{
    LzwCodes codes(5);
    codes.Clear();
    for (int index : {17, 1, 7, 31, 8})
        codes.Code(index);
    codes.End();
    std::vector<unsigned char> file = GifBytes().Header("GIF87a", 0).Image(5, 1, 0).Data(codes).b;
    EXPECT_EQ(Indices(file), (std::vector<unsigned char>{17, 1, 7, 31, 8}));
    ZuGrailPixmapRef pixmap = Zuvi::LoadGIFFromMemory(file.data(), file.size(), nullptr);
    ASSERT_TRUE(pixmap.IsValid());
    const unsigned words[] = {0x000080u, 0x000080u, 0xC8C8C8u, 0xFFFFFFu, 0x646464u};
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(Pixel(pixmap, x, 0), words[x]) << x;
}

TEST_F(LoadGifTest, AFullTableFollowedByAnotherCodeStopsTheImage)
{
    // 4090 codes fill entries 6 to 4095; the literal after them stops.
    LzwCodes codes(2);
    codes.Clear();
    codes.Code(1);
    while (codes.NextFree() <= 4095)
        codes.Code(1);
    codes.Code(2);
    codes.Code(3);
    codes.End();
    std::vector<unsigned char> file =
        GifBytes().Header("GIF89a", 0x81).Table(4).Image(100, 50, 0).Data(codes).b;
    std::vector<unsigned char> indices = Indices(file);
    ASSERT_EQ(indices.size(), 5000u);
    std::vector<unsigned char> want(5000, 0);
    std::fill(want.begin(), want.begin() + 4091, 1);
    EXPECT_EQ(indices, want);

    // A clear code in that place starts a fresh table instead.
    LzwCodes cleared(2);
    cleared.Clear();
    cleared.Code(1);
    while (cleared.NextFree() <= 4095)
        cleared.Code(1);
    cleared.Clear();
    cleared.Code(2);
    cleared.Code(3);
    cleared.End();
    file = GifBytes().Header("GIF89a", 0x81).Table(4).Image(100, 50, 0).Data(cleared).b;
    indices = Indices(file);
    ASSERT_EQ(indices.size(), 5000u);
    EXPECT_EQ(indices[4090], 1);
    EXPECT_EQ(indices[4091], 2);
    EXPECT_EQ(indices[4092], 3);
    EXPECT_EQ(indices[4093], 0);
}

TEST_F(LoadGifTest, StringsAreCutAtTheLastPixelAndMissingPixelsHaveIndexZero)
{
    struct Case {
        const char* what;
        int width;
        std::vector<int>
            codes; // after a clear code (none when the first is -2); -1 is the end code
        std::vector<unsigned char> indices;
    } const cases[] = {
        // Entry 6 is "1 2"; only its first character fits.
        {"last string too long", 3, {1, 2, 6, -1}, {1, 2, 1}},
        // Entry 6 is "1 1" made by the code being defined (6 after 1).
        {"code defined by itself", 3, {1, 6, -1}, {1, 1, 1}},
        {"no end code, data runs out", 6, {3, 2}, {3, 2, 0, 0, 0, 0}},
        {"end code early", 4, {2, -1, 3}, {2, 0, 0, 0}},
        // A code that is no literal cannot start a table.
        {"damaged first code", 3, {7, 1}, {0, 0, 0}},
        // Without a clear code first, the stream starts a table all the same.
        {"no clear code", 4, {-2, 2, 3, 6, -1}, {2, 3, 2, 3}},
    };
    for (const Case& c : cases) {
        LzwCodes codes(2);
        if (c.codes.empty() || c.codes[0] != -2)
            codes.Clear();
        for (int code : c.codes) {
            if (code == -1)
                codes.End();
            else if (code >= 0)
                codes.Code(code);
        }
        std::vector<unsigned char> file =
            GifBytes().Header("GIF89a", 0x81).Table(4).Image(c.width, 1, 0).Data(codes).b;
        EXPECT_EQ(Indices(file), c.indices) << c.what;
    }
}

TEST_F(LoadGifTest, InterlacedRowsFollowThePassesForEveryHeight)
{
    for (int height : {1, 2, 3, 4, 5, 8, 10, 17}) {
        std::vector<int> order;
        for (int pass = 0, start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2}; pass < 4; ++pass)
            for (int y = start[pass]; y < height; y += step[pass])
                order.push_back(y);
        GifDecoder gif;
        std::memset(static_cast<void*>(&gif), 0, sizeof gif);
        std::vector<unsigned char> rows(static_cast<std::size_t>(height) * 2, 0xEE);
        gif.width = 2;
        gif.height = height;
        gif.pointer_row = -1;
        gif.indices = rows.data();
        for (int k = 0; k < height; ++k) {
            PutGifPixel(gif, 100 + k);
            PutGifPixel(gif, 100 + k);
        }
        PutGifPixel(gif, 99); // past the last pixel: kept out
        for (int k = 0; k < height; ++k) {
            EXPECT_EQ(rows[std::size_t(order[std::size_t(k)]) * 2], 100 + k)
                << "height " << height << " k " << k;
            EXPECT_EQ(rows[std::size_t(order[std::size_t(k)]) * 2 + 1], 100 + k)
                << "height " << height;
        }
    }
    // The order of a 1 x 10 image, spelled out.
    TestGif gif;
    gif.global_table = Ramp(16);
    TestGifImage image;
    image.height = 10;
    image.interlaced = true;
    image.indices = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    gif.images.push_back(image);
    std::vector<unsigned char> file = WriteTestGif(gif);
    EXPECT_EQ(Indices(file), image.indices);
}

TEST_F(LoadGifTest, CodesAreReadLeastSignificantBitFirstAndStopAtTheEndOfTheData)
{
    GifDecoder gif;
    std::memset(static_cast<void*>(&gif), 0, sizeof gif);
    std::vector<unsigned char> data(3 + 256, 0);
    data[0] = 0x01;
    data[1] = 0x23;
    data[2] = 0x45;
    gif.code_data = data.data();
    gif.code_bytes = 3;
    gif.end_code = 257;
    struct Step {
        int size;
        int code;
    } const steps[] = {{12, 0x301}, {3, 0x2}, {5, 0x0A}, {4, 0x4}, {12, 257}};
    for (const Step& s : steps) {
        gif.code_size = s.size;
        gif.code_mask = (1 << s.size) - 1;
        EXPECT_EQ(ReadGifCode(gif), s.code) << s.size;
    }
    EXPECT_EQ(ReadGifCode(gif), 257);
}

// ---- Files that do not load ------------------------------------------------

TEST_F(LoadGifTest, FilesWithoutAnImageGiveAnEmptyPixmap)
{
    LzwCodes codes(2);
    codes.Clear();
    codes.Code(1);
    codes.End();
    const std::vector<unsigned char> good =
        GifBytes().Header("GIF89a", 0x81).Table(4).Image(1, 1, 0).Data(codes).b;
    ASSERT_EQ(Indices(good), std::vector<unsigned char>{1});
    std::vector<unsigned char> comment =
        GifBytes().Header("GIF89a", 0x81).Table(4).Raw({0x21, 0xFE, 3, 'a'}).b;
    struct Case {
        const char* what;
        std::vector<unsigned char> file;
    } const cases[] = {
        {"not a GIF", GifBytes().Header("GIF88a", 0x81).Table(4).Image(1, 1, 0).Data(codes).b},
        {"inside the screen", std::vector<unsigned char>(good.begin(), good.begin() + 10)},
        {"inside the table", std::vector<unsigned char>(good.begin(), good.begin() + 20)},
        {"inside an extension", comment},
        {"no image",
         GifBytes().Header("GIF89a", 0x81).Table(4).Raw({0x21, 0xFE, 1, 'a', 0, 0x3B}).b},
        {"inside the descriptor", std::vector<unsigned char>(good.begin(), good.begin() + 30)},
        {"width 0", GifBytes().Header("GIF89a", 0x81).Table(4).Image(0, 5, 0).Data(codes).b},
        {"height 0", GifBytes().Header("GIF89a", 0x81).Table(4).Image(5, 0, 0).Data(codes).b},
        {"above the pixel bound",
         GifBytes().Header("GIF89a", 0x81).Table(4).Image(65535, 65535, 0).Data(codes).b},
        {"inside the local table", GifBytes().Header("GIF89a", 0).Image(1, 1, 0x87).Table(10).b},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(Indices(c.file).empty()) << c.what;
        EXPECT_FALSE(Zuvi::LoadGIFFromMemory(c.file.data(), c.file.size(), nullptr).IsValid())
            << c.what;
    }
    EXPECT_FALSE(
        Zuvi::LoadGIF(ZuStringRef((scratch.Path() + "/missing.gif").c_str()), nullptr).IsValid());
    EXPECT_FALSE(Zuvi::LoadGIF(ZuStringRef(Write("empty.gif", {}).c_str()), nullptr).IsValid());

    // Short code data still loads: what it does not reach has index 0.
    std::vector<unsigned char> cut(good.begin(), good.end() - 3);
    EXPECT_EQ(Indices(cut), std::vector<unsigned char>{1});
    std::vector<unsigned char> no_data(good.begin(), good.begin() + 35);
    EXPECT_EQ(Indices(no_data), std::vector<unsigned char>{0});
    // Codes wider than 12 bits do not exist.
    std::vector<unsigned char> wide = good;
    wide[35] = 12;
    EXPECT_EQ(Indices(wide), std::vector<unsigned char>{0});
}

TEST_F(LoadGifTest, ThePixmapLivesInTheGivenZoneOrTheDataZone)
{
    TestGif gif;
    gif.global_table = Ramp(2);
    gif.images.push_back(Noise(3, 2, 2, 1));
    std::string path = Write("image.gif", WriteTestGif(gif));
    EXPECT_EQ(Zuvi::LoadGIF(ZuStringRef(path.c_str()), Zuvi_temp_zone)->RetMemZone(),
              Zuvi_temp_zone);
    EXPECT_EQ(Zuvi::LoadGIF(ZuStringRef(path.c_str()), nullptr)->RetMemZone(), Zuvi_data_zone);
}

} // namespace
