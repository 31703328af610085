#include "si/loadpng.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>
#include <string>
#include <vector>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZUVI_TEST_ALLOCATION_HOOKS 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define ZUVI_TEST_ALLOCATION_HOOKS 1
#endif
#ifdef ZUVI_TEST_ALLOCATION_HOOKS
// The allocator's hooks (its header comes with one compiler only).
extern "C" {
int __sanitizer_install_malloc_and_free_hooks(void (*malloc_hook)(const volatile void*, size_t),
                                              void (*free_hook)(const volatile void*));
size_t __sanitizer_get_allocated_size(const volatile void* p);
}
#endif

#include "si/atom.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "tests/support/imagefiles.h"
#include "tests/support/ports.h"
#include "tests/support/scratchdir.h"

namespace {

class LoadPngTest : public PortTest {
protected:
    // The file written into the test's scratch directory; its path.
    std::string Write(const char* name, const std::vector<unsigned char>& bytes)
    {
        std::string path = scratch.Path() + "/" + name;
        EXPECT_TRUE(WriteTestFile(path, bytes));
        return path;
    }

    ZuDictRef NewDict() { return ZuNew<ZuDict>(); }

    // Every pixel's word, row by row.
    static std::vector<unsigned> Words(const ZuGrailPixmapRef& pixmap)
    {
        std::vector<unsigned> out;
        double w = 0, h = 0;
        pixmap->GetSize(w, h);
        for (int y = 0; y < static_cast<int>(h); ++y)
            for (int x = 0; x < static_cast<int>(w); ++x)
                out.push_back(Pixel(pixmap, x, y));
        return out;
    }

    ScratchDir scratch;
};

// One row of pixels of the colour type: each given as red, green, blue,
// alpha (grey takes red; alpha is dropped where the type has none).
TestPng Row(int colour_type, int depth, const std::vector<std::vector<std::uint16_t>>& pixels)
{
    TestPng png;
    png.width = static_cast<unsigned>(pixels.size());
    png.colour_type = colour_type;
    png.bit_depth = depth;
    for (const auto& p : pixels) {
        switch (colour_type) {
        case 0:
            png.samples.push_back(p[0]);
            break;
        case 4:
            png.samples.insert(png.samples.end(), {p[0], p[3]});
            break;
        case 2:
            png.samples.insert(png.samples.end(), {p[0], p[1], p[2]});
            break;
        default:
            png.samples.insert(png.samples.end(), p.begin(), p.end());
        }
    }
    return png;
}

TEST_F(LoadPngTest, PixelsBecomeColourWordsWithTransparencyFromAlpha)
{
    struct Case {
        const char* what;
        TestPng png;
        std::vector<unsigned> words;
    };
    TestPng palette = Row(3, 8, {{0}, {1}, {2}});
    palette.palette = {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}};
    TestPng palette_trns = palette;
    palette_trns.palette_alpha = {255, 0};
    const Case cases[] = {
        {"rgb 8",
         Row(2, 8, {{1, 2, 3}, {255, 128, 0}, {0, 0, 0}}),
         {0x00010203u, 0x00FF8000u, 0x00000000u}},
        {"rgba 8",
         Row(6, 8, {{1, 2, 3, 0}, {4, 5, 6, 255}, {7, 8, 9, 64}}),
         {0xFF010203u, 0x00040506u, 0xBF070809u}},
        {"palette", palette, {0x000A141Eu, 0x0028323Cu, 0x0046505Au}},
        {"palette with tRNS", palette_trns, {0x000A141Eu, 0xFF28323Cu, 0x0046505Au}},
        {"grey alpha 16",
         Row(4, 16, {{0x1234, 0, 0, 0xFFFF}, {0xABCD, 0, 0, 0x0000}, {0x8000, 0, 0, 0x40FF}}),
         {0x00121212u, 0xFFABABABu, 0xBF808080u}},
    };
    for (const Case& c : cases) {
        std::string path = Write("image.png", WriteTestPng(c.png));
        ZuGrailPixmapRef pixmap = Zuvi::LoadPNG(ZuStringRef(path.c_str()), nullptr);
        ASSERT_TRUE(pixmap.IsValid()) << c.what;
        EXPECT_EQ(pixmap->RetDepth(), 32u);
        EXPECT_EQ(Words(pixmap), c.words) << c.what;
    }
}

TEST_F(LoadPngTest, AnInterlacedFileGivesThePixelsOfItsPlainTwin)
{
    TestPng png;
    png.width = 13;
    png.height = 11;
    png.colour_type = 6;
    for (unsigned i = 0; i < png.width * png.height * 4; ++i)
        png.samples.push_back(static_cast<std::uint16_t>((i * 37) & 0xFF));
    ZuGrailPixmapRef plain =
        Zuvi::LoadPNG(ZuStringRef(Write("plain.png", WriteTestPng(png)).c_str()), nullptr);
    png.interlaced = true;
    ZuGrailPixmapRef interlaced =
        Zuvi::LoadPNG(ZuStringRef(Write("interlaced.png", WriteTestPng(png)).c_str()), nullptr);
    ASSERT_TRUE(plain.IsValid());
    ASSERT_TRUE(interlaced.IsValid());
    EXPECT_TRUE(SamePixels(plain, interlaced));
    EXPECT_EQ(Pixel(plain, 12, 10), Pixel(interlaced, 12, 10));
}

TEST_F(LoadPngTest, ALargeImageIsDecodedStraightIntoItsPixmap)
{
    // 8192 x 8192 zeros in a 261 KB file: once the rows and the pixmap at
    // once, now the pixmap alone (the reader's tests measure the rest).
    const std::vector<unsigned char> file = WriteZeroPng(8192, 8192);
    ZuGrailPixmapRef pixmap =
        Zuvi::LoadPNGFromMemory(file.data(), file.size(), nullptr, ZuDictNull);
    ASSERT_TRUE(pixmap.IsValid());
    double w = 0, h = 0;
    pixmap->GetSize(w, h);
    EXPECT_EQ(8192.0, w);
    EXPECT_EQ(8192.0, h);
    for (int xy : {0, 4095, 8191})
        EXPECT_EQ(0u, Pixel(pixmap, xy, 8191 - xy)) << xy;
}

#ifdef ZUVI_TEST_ALLOCATION_HOOKS
// The most bytes the process held at once above where it stood when the
// count began, through the allocator's hooks (every thread's blocks).
struct AllocationPeak {
    static std::atomic<bool> counting;
    static std::atomic<long long> held;
    static std::atomic<long long> peak;
    static void OnMalloc(const volatile void*, std::size_t size)
    {
        if (!counting)
            return;
        const long long now = held += static_cast<long long>(size);
        for (long long p = peak; now > p && !peak.compare_exchange_weak(p, now);)
            ;
    }
    static void OnFree(const volatile void* block)
    {
        if (counting && block != nullptr)
            held -= static_cast<long long>(__sanitizer_get_allocated_size(block));
    }
    static void Begin()
    {
        static const bool installed = __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree);
        (void)installed;
        held = peak = 0;
        counting = true;
    }
    static long long End()
    {
        counting = false;
        return peak;
    }
};
std::atomic<bool> AllocationPeak::counting{false};
std::atomic<long long> AllocationPeak::held{0};
std::atomic<long long> AllocationPeak::peak{0};
#endif

// Loading holds about the pixels' bytes whatever the image's shape: an
// image one pixel wide once took six times them (rows padded to 16 bytes
// and a table of row pointers beside them), one a few rows tall up to
// three times (the decoder's own rows, as wide as the image's).
TEST_F(LoadPngTest, LoadingHoldsAboutThePixelsWhateverTheShape)
{
#ifndef ZUVI_TEST_ALLOCATION_HOOKS
    GTEST_SKIP() << "needs the allocator's hooks (an AddressSanitizer build)";
#else
    struct Shape {
        unsigned width, height;
    } const shapes[] = {{1, 1u << 22}, {3, 1u << 20}, {2048, 2048}, {1u << 16, 64},
                        {1u << 24, 1}, {1u << 23, 2}, {5592405, 3}, {2396745, 7}};
    for (const Shape& shape : shapes) {
        SCOPED_TRACE(std::to_string(shape.width) + " x " + std::to_string(shape.height));
        const std::string path = Write("shape.png", WriteZeroPng(shape.width, shape.height));
        AllocationPeak::Begin();
        ZuGrailPixmapRef pixmap = Zuvi::LoadPNG(ZuStringRef(path.c_str()), nullptr);
        const long long peak = AllocationPeak::End();
        ASSERT_TRUE(pixmap.IsValid());
        EXPECT_EQ(Pixel(pixmap, int(shape.width) - 1, int(shape.height) - 1), 0u);
        const long long pixels = 4ll * shape.width * shape.height;
        EXPECT_LE(peak, pixels + pixels / 5) << "pixels' bytes " << pixels;
    }
#endif
}

TEST_F(LoadPngTest, TextChunksEnterTheDictionaryInFileOrder)
{
    TestPng png = Row(2, 8, {{1, 2, 3}});
    png.texts = {{TestPngText::PLAIN, "IconRecord", "first"},
                 {TestPngText::COMPRESSED, "Author", "lumbra"},
                 {TestPngText::INTERNATIONAL, "IconRecord", "second"}};
    std::string path = Write("sheet.png", WriteTestPng(png));

    ZuDictRef texts = NewDict();
    ZuGrailPixmapRef pixmap = Zuvi::LoadPNG(ZuStringRef(path.c_str()), nullptr, texts);
    ASSERT_TRUE(pixmap.IsValid());
    EXPECT_EQ(texts->TotalCount(), 3u);
    const char* const icon_records[] = {"first", "second"};
    for (unsigned n = 0; n < 2; ++n) {
        ZuObjectRef value;
        ASSERT_TRUE(texts->GetFromKey(ZuAtomRef("IconRecord"), value, n));
        EXPECT_STREQ(ZuStringRef(value)->AccessLatin(), icon_records[n]);
    }
    ZuObjectRef author;
    ASSERT_TRUE(texts->GetFromKey(ZuAtomRef("Author"), author, 0));
    EXPECT_STREQ(ZuStringRef(author)->AccessLatin(), "lumbra");

    // The null dictionary takes nothing and the image still loads.
    EXPECT_TRUE(Zuvi::LoadPNG(ZuStringRef(path.c_str()), nullptr, ZuDictNull).IsValid());
    EXPECT_TRUE(Zuvi::LoadPNG(ZuStringRef(path.c_str()), nullptr).IsValid());
}

TEST_F(LoadPngTest, FilesThatDoNotLoadGiveTheNullPixmapAndNoText)
{
    TestPng png = Row(2, 8, {{1, 2, 3}, {4, 5, 6}});
    png.texts = {{TestPngText::PLAIN, "IconRecord", "x"}};
    std::vector<unsigned char> file = WriteTestPng(png);
    std::vector<unsigned char> truncated(file.begin(), file.end() - 20);
    const std::string paths[] = {
        Write("truncated.png", truncated),
        Write("empty.png", {}),
        Write("text.png", {'h', 'e', 'l', 'l', 'o'}),
        scratch.Path() + "/missing.png",
        scratch.Path(), // a directory
    };
    for (const std::string& path : paths) {
        ZuDictRef texts = NewDict();
        EXPECT_FALSE(Zuvi::LoadPNG(ZuStringRef(path.c_str()), nullptr, texts).IsValid()) << path;
        EXPECT_EQ(texts->TotalCount(), 0u) << path;
    }
}

TEST_F(LoadPngTest, ThePixmapLivesInTheGivenZoneOrTheApplicationZone)
{
    std::string path = Write("image.png", WriteTestPng(Row(2, 8, {{1, 2, 3}})));
    EXPECT_EQ(Zuvi::LoadPNG(ZuStringRef(path.c_str()), Zuvi_temp_zone)->RetMemZone(),
              Zuvi_temp_zone);
    EXPECT_EQ(Zuvi::LoadPNG(ZuStringRef(path.c_str()), nullptr)->RetMemZone(), Zuvi_app_zone);
}

} // namespace
