#include "zoveda/gfxsurface.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "tests/zoveda/gfxtest.h"

namespace {

class GfxSurfaceOpsTest : public GfxTest {
protected:
    // A 32-bit surface whose pixels are the given words, row by row.
    GfxSurface* Words(unsigned dx, unsigned dy, const std::vector<unsigned>& words)
    {
        GfxSurface* s = Make(32, dx, dy);
        for (unsigned i = 0; i < words.size(); ++i) {
            s->SetPixelRGB(static_cast<int>(i % dx), static_cast<int>(i / dx), words[i]);
        }
        return s;
    }

    std::vector<unsigned> Row(const GfxSurface* s, int y)
    {
        std::vector<unsigned> row;
        for (int x = 0; x < static_cast<int>(s->DX()); ++x) {
            row.push_back(s->RetPixelRGB(x, y));
        }
        return row;
    }
};

// One rule wherever a colour with a transparency meets a pixel: here a
// one-pixel source blended in, and the masked fill with a mask value of 0.
TEST_F(GfxSurfaceOpsTest, BlendRule)
{
    struct Case {
        unsigned depth, pixel, colour, result;
    } cases[] = {
        {32, 0xAB000000, 0x00123456, 0xAB123456}, // opaque: the colour, the pixel's TT kept
        {32, 0xAB000000, 0xFF123456, 0xAB000000}, // invisible
        {32, 0x00000000, 0x80FFFFFF, 0x007E7E7E}, // 128 weighs 129: 255 x 127 >> 8
        {32, 0x00FFFFFF, 0x40000000, 0x003F3F3F}, // 255 x 64 >> 8
        {16, 0x00000000, 0x00123456, 0x00103452}, // 5-6-5, read back through E5/E6
        {16, 0x00FFFFFF, 0x80000000, 0x00848284}, // 128 each, low bits dropped
        {16, 0x00FFFFFF, 0xFF000000, 0x00FFFFFF},
        {8, 0x00C8C8C8, 0x80000000, 0x00646464}, // grey 200 x 129 >> 8
        {8, 0x00000000, 0x00FFFFFF, 0x00FFFFFF},
        {8, 0x00C8C8C8, 0xFF000000, 0x00C8C8C8},
    };
    for (const Case& c : cases) {
        GfxSurface* src = Words(1, 1, {c.colour});
        GfxSurface* dst = Make(c.depth, 1, 1);
        dst->SetPixelRGB(0, 0, c.pixel);
        dst->RectBlend(0, 0, 1, 1, 0, 0, src, false);
        EXPECT_EQ(dst->RetPixelRGB(0, 0), c.result) << std::hex << c.depth << " " << c.colour;

        GfxSurface* mask =
            Make(8, 1, 1); // the colour's transparency as the mask, the colour opaque
        mask->Line(0)[0] = static_cast<unsigned char>(c.colour >> 24);
        dst->SetPixelRGB(0, 0, c.pixel);
        dst->RectFillBlend(0, 0, 1, 1, c.colour & 0x00FFFFFF, 0, 0, mask);
        EXPECT_EQ(dst->RetPixelRGB(0, 0), c.result)
            << std::hex << "mask " << c.depth << " " << c.colour;
    }
}

TEST_F(GfxSurfaceOpsTest, FillStoresTheCodeAndBlendedFillBlends)
{
    GfxSurface* s = Words(3, 1, {0x00000000, 0x000000FF, 0x000000FF});
    s->RectFill(0, 0, 1, 1, 0x80FF0000);
    EXPECT_EQ(s->RetPixelRGB(0, 0), 0x80FF0000u);
    s->SetPixelRGB(0, 0, 0);
    s->RectFillBlend(0, 0, 3, 1, 0x80FF0000); // t' = 129
    EXPECT_EQ(Row(s, 0), (std::vector<unsigned>{0x007E0000, 0x007E0080, 0x007E0080}));
    s->RectFillBlend(0, 0, 3, 1, 0x00010203); // TT 0 is a plain fill
    EXPECT_EQ(s->RetPixelRGB(2, 0), 0x00010203u);

    struct Case {
        unsigned depth, colour, result;
    } cases[] = {{16, 0x00FF0000, 0x00FF0000},
                 {16, 0x00123456, 0x00103452},
                 {8, 0x00FFFFFF, 0x00FFFFFF},
                 {8, 0x0000FF00, 0x00989898}};
    for (const Case& c : cases) {
        GfxSurface* d = Make(c.depth, 7, 3);
        d->RectFill(-2, 1, 100, 1, c.colour);
        EXPECT_EQ(d->RetPixelRGB(0, 1), c.result) << c.depth;
        EXPECT_EQ(d->RetPixelRGB(6, 1), c.result) << c.depth;
        EXPECT_EQ(d->RetPixelRGB(6, 0), 0u) << c.depth;
        EXPECT_EQ(d->RetPixelRGB(6, 2), 0u) << c.depth;
    }
}

TEST_F(GfxSurfaceOpsTest, MaskedFillReadsTheMaskAndTilesFromNegativeOrigins)
{
    GfxSurface* mask = Make(8, 2, 2);
    mask->Line(0)[0] = 0;
    mask->Line(0)[1] = 255;
    mask->Line(1)[0] = 128;
    mask->Line(1)[1] = 64;

    GfxSurface* s = Make(32, 4, 2);
    s->RectFillBlend(0, 0, 4, 2, 0x00FF0000, 0, 0, mask); // cut at the mask's width
    EXPECT_EQ(Row(s, 0), (std::vector<unsigned>{0x00FF0000, 0, 0, 0}));
    EXPECT_EQ(Row(s, 1), (std::vector<unsigned>{0x007E0000, 0x00BF0000, 0, 0}));

    s->Clear();
    s->RectFillBlend(0, 0, 4, 1, 0x00FF0000, -1, 0, mask); // columns 1, 0, 1 of the mask
    EXPECT_EQ(Row(s, 0), (std::vector<unsigned>{0, 0x00FF0000, 0, 0}));
    s->Clear();
    s->RectFillBlend(0, 0, 4, 1, 0x00FF0000, -2000000001, 0, mask); // one modulo, no loop
    EXPECT_EQ(Row(s, 0), (std::vector<unsigned>{0, 0x00FF0000, 0, 0x00FF0000}));

    // A 32-bit mask gives its TT byte.
    GfxSurface* mask32 = Words(2, 1, {0xFF000000, 0x00FFFFFF});
    s->Clear();
    s->RectFillBlend(0, 0, 2, 1, 0x000000FF, 0, 0, mask32);
    EXPECT_EQ(Row(s, 0), (std::vector<unsigned>{0, 0x000000FF, 0, 0}));

    // No mask: a plain fill; an empty mask or one of another depth: nothing.
    s->RectFillBlend(0, 1, 4, 1, 0x00ABCDEF, 0, 0, nullptr);
    EXPECT_EQ(s->RetPixelRGB(3, 1), 0x00ABCDEFu);
    GfxSurface* empty = Make(8, 0, 0);
    GfxSurface* mask16 = Make(16, 2, 2);
    s->Clear();
    s->RectFillBlend(0, 0, 4, 2, 0x00FFFFFF, -1, -1, empty);
    s->RectFillBlend(0, 0, 4, 2, 0x00FFFFFF, 0, 0, mask16);
    EXPECT_TRUE(s->IsEmpty());
}

// A half-transparent colour through a mask is at most half visible: the
// colour's weight scales the mask's cover, not its transparency.
TEST_F(GfxSurfaceOpsTest, MaskedFillScalesTheCoverByTheColoursWeight)
{
    GfxSurface* mask = Make(8, 3, 1);
    mask->Line(0)[0] = 0;
    mask->Line(0)[1] = 255;
    mask->Line(0)[2] = 128;
    GfxSurface* s = Make(32, 3, 1);
    s->RectFillBlend(0, 0, 3, 1, 0xFFFFFFFF, 0, 0, mask);
    EXPECT_EQ(Row(s, 0), (std::vector<unsigned>{0, 0, 0})); // invisible stays invisible
    s->RectFillBlend(0, 0, 3, 1, 0x80FFFFFF, 0, 0, mask);
    // Cover (255 x 127) >> 8 = 126: TT 129, weighing 130.
    EXPECT_EQ(Row(s, 0), (std::vector<unsigned>{0x007D7D7D, 0, 0x003E3E3E}));
}

TEST_F(GfxSurfaceOpsTest, CopyOntoItselfOneRowDownReproducesTheRows)
{
    for (bool keyed : {false, true}) {
        GfxSurface* s = Words(3, 4, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
        if (keyed) {
            s->SetTransparent(0x00FFFFFF); // not in the picture: the row-buffer road
        }
        s->RectCopy(0, 1, 3, 3, 0, 0, nullptr, false);
        EXPECT_EQ(Row(s, 0), (std::vector<unsigned>{1, 2, 3})) << keyed;
        EXPECT_EQ(Row(s, 1), (std::vector<unsigned>{1, 2, 3})) << keyed;
        EXPECT_EQ(Row(s, 2), (std::vector<unsigned>{4, 5, 6})) << keyed;
        EXPECT_EQ(Row(s, 3), (std::vector<unsigned>{7, 8, 9})) << keyed;

        GfxSurface* h = Words(6, 1, {1, 2, 3, 4, 5, 6});
        if (keyed) {
            h->SetTransparent(0x00FFFFFF);
        }
        h->RectCopy(1, 0, 5, 1, 0, 0, nullptr, false);
        EXPECT_EQ(Row(h, 0), (std::vector<unsigned>{1, 1, 2, 3, 4, 5})) << keyed;
        h->RectCopy(0, 0, 5, 1, 1, 0, h, false);
        EXPECT_EQ(Row(h, 0), (std::vector<unsigned>{1, 2, 3, 4, 5, 5})) << keyed;
    }
}

TEST_F(GfxSurfaceOpsTest, TiledCopyRepeatsTheSource)
{
    std::vector<unsigned> words;
    for (unsigned i = 0; i < 16; ++i) {
        words.push_back(i + 1);
    }
    GfxSurface* src = Words(4, 4, words);
    for (int sx : {0, -1, 6}) {
        for (int sy : {0, -5}) {
            GfxSurface* dst = Make(32, 10, 10);
            dst->RectCopy(0, 0, 10, 10, sx, sy, src, true);
            for (int y = 0; y < 10; ++y) {
                for (int x = 0; x < 10; ++x) {
                    const int cx = ((x + sx) % 4 + 4) % 4;
                    const int cy = ((y + sy) % 4 + 4) % 4;
                    ASSERT_EQ(dst->RetPixelRGB(x, y), src->RetPixelRGB(cx, cy))
                        << sx << "," << sy << " at " << x << "," << y;
                }
            }
        }
    }
    // Without tile the copy stops at the source's edges.
    GfxSurface* dst = Make(32, 10, 1);
    dst->RectCopy(0, 0, 10, 1, 2, 0, src, false);
    EXPECT_EQ(Row(dst, 0), (std::vector<unsigned>{3, 4, 0, 0, 0, 0, 0, 0, 0, 0}));
}

// A negative source origin without tile clips the source side, moving the
// destination with it, instead of reading before the source.
TEST_F(GfxSurfaceOpsTest, NegativeSourceOriginIsClipped)
{
    GfxSurface* src = Words(4, 2, {1, 2, 3, 4, 5, 6, 7, 8});
    struct Case {
        int mode;
    } modes[] = {{0}, {1}, {2}};
    for (const Case& m : modes) {
        GfxSurface* dst = Make(32, 4, 3);
        switch (m.mode) {
        case 0:
            dst->RectCopy(0, 0, 4, 3, -2, -1, src, false);
            break;
        case 1:
            dst->RectBlend(0, 0, 4, 3, -2, -1, src, false);
            break;
        default:
            dst->RectBlendAlpha(0, 0, 4, 3, -2, -1, 0.0, src, false);
            break;
        }
        EXPECT_EQ(Row(dst, 0), (std::vector<unsigned>{0, 0, 0, 0})) << m.mode;
        EXPECT_EQ(Row(dst, 1), (std::vector<unsigned>{0, 0, 1, 2})) << m.mode;
        EXPECT_EQ(Row(dst, 2), (std::vector<unsigned>{0, 0, 5, 6})) << m.mode;
    }
    // An empty source copies nothing, tiled or not.
    GfxSurface* empty = Make(32, 0, 0);
    GfxSurface* dst = Make(32, 4, 4);
    dst->RectCopy(0, 0, 4, 4, -3, -3, empty, true);
    dst->RectBlend(0, 0, 4, 4, 0, 0, empty, false);
    EXPECT_TRUE(dst->IsEmpty());
}

TEST_F(GfxSurfaceOpsTest, ColourKeySkipsExactlyTheKeysWord)
{
    GfxSurface* src = Words(3, 1, {0x00FF00FF, 0x01FF00FF, 0x00112233});
    GfxSurface* dst = Words(3, 1, {0x00DEDEDE, 0x00DEDEDE, 0x00DEDEDE});
    dst->SetTransparent(0x00FF00FF);
    dst->RectCopy(0, 0, 3, 1, 0, 0, src, false);
    EXPECT_EQ(Row(dst, 0), (std::vector<unsigned>{0x00DEDEDE, 0x01FF00FF, 0x00112233}));
    dst->SetOpaque();
    dst->RectCopy(0, 0, 3, 1, 0, 0, src, false);
    EXPECT_EQ(dst->RetPixelRGB(0, 0), 0x00FF00FFu);
}

TEST_F(GfxSurfaceOpsTest, CopiesBetweenDepthsConvert)
{
    struct Case {
        unsigned from, to, colour, result;
    } cases[] = {
        {32, 16, 0x00FF0000, 0x00FF0000}, {32, 16, 0x00123456, 0x00103452},
        {16, 32, 0x000000FF, 0x000000FF}, {32, 8, 0x00FFFFFF, 0x00FFFFFF},
        {8, 32, 0x00808080, 0x00808080},  {8, 16, 0x00FFFFFF, 0x00FFFFFF},
    };
    for (const Case& c : cases) {
        GfxSurface* src = Make(c.from, 2, 1);
        src->SetPixelRGB(1, 0, c.colour);
        GfxSurface* dst = Make(c.to, 2, 1);
        dst->RectCopy(0, 0, 2, 1, 1, 0, src, false);
        EXPECT_EQ(dst->RetPixelRGB(0, 0), c.result) << c.from << "->" << c.to;
        EXPECT_EQ(dst->RetPixelRGB(1, 0), 0u) << c.from << "->" << c.to;
    }
    // 1- and 2-byte sources read with their own Alpha.
    GfxSurface* src = Make(16, 1, 1);
    src->SetAlpha(0xFF);
    GfxSurface* dst = Words(1, 1, {0x00123456});
    dst->RectBlend(0, 0, 1, 1, 0, 0, src, false);
    EXPECT_EQ(dst->RetPixelRGB(0, 0), 0x00123456u);
}

TEST_F(GfxSurfaceOpsTest, BlendAlphaScalesTheSourceCover)
{
    struct Case {
        double a;
        unsigned result;
    } cases[] = {{0.0, 0x00FF0000}, {1.0, 0x000000FF}, {2.0, 0x000000FF}, {0.5, 0x007E0080}};
    GfxSurface* src = Words(1, 1, {0x00FF0000});
    for (const Case& c : cases) {
        GfxSurface* dst = Words(1, 1, {0x000000FF});
        dst->RectBlendAlpha(0, 0, 1, 1, 0, 0, c.a, src, false);
        EXPECT_EQ(dst->RetPixelRGB(0, 0), c.result) << c.a;
    }
}

TEST_F(GfxSurfaceOpsTest, ChannelsAreExtractedAndInserted)
{
    GfxSurface* s = Words(2, 1, {0x11223344, 0x55667788});
    GfxSurface* grey = Make(8, 4, 1);
    struct Case {
        GfxSurface::Channel channel;
        unsigned char first, second;
    } cases[] = {{GfxSurface::CHANNEL_ALPHA, 0x11, 0x55},
                 {GfxSurface::CHANNEL_RED, 0x22, 0x66},
                 {GfxSurface::CHANNEL_GREEN, 0x33, 0x77},
                 {GfxSurface::CHANNEL_BLUE, 0x44, 0x88}};
    for (const Case& c : cases) {
        s->RectExtract(0, 0, 2, 1, 1, 0, grey, c.channel);
        EXPECT_EQ(grey->Line(0)[1], c.first);
        EXPECT_EQ(grey->Line(0)[2], c.second);
    }
    EXPECT_FALSE(grey->IsEmpty());
    grey->Line(0)[0] = 0xAA;
    grey->Line(0)[1] = 0xBB;
    s->RectInsert(0, 0, 2, 1, 0, 0, grey, GfxSurface::CHANNEL_BLUE);
    EXPECT_EQ(Row(s, 0), (std::vector<unsigned>{0x112233AA, 0x556677BB}));
    s->RectInsert(0, 0, 2, 1, 0, 0, grey, GfxSurface::CHANNEL_ALPHA);
    EXPECT_EQ(Row(s, 0), (std::vector<unsigned>{0xAA2233AA, 0xBB6677BB}));
    // The 8-bit side is cut at its size, and must be 8-bit.
    GfxSurface* narrow = Make(8, 1, 1);
    s->RectExtract(0, 0, 2, 1, 0, 0, narrow, GfxSurface::CHANNEL_RED);
    EXPECT_EQ(narrow->Line(0)[0], 0x22);
    // A negative 8-bit origin moves this side instead of writing before the row.
    s->RectExtract(0, 0, 2, 1, -1, 0, narrow, GfxSurface::CHANNEL_RED);
    EXPECT_EQ(narrow->Line(0)[0], 0x66);
    GfxSurface* wide = Make(32, 2, 1);
    s->RectExtract(0, 0, 2, 1, 0, 0, wide, GfxSurface::CHANNEL_RED);
    EXPECT_TRUE(wide->IsEmpty());
}

TEST_F(GfxSurfaceOpsTest, MonoMasks)
{
    // White, black, grey 128, grey 129; then transparent ones.
    GfxSurface* s = Words(4, 2,
                          {0x00FFFFFF, 0x00000000, 0x00808080, 0x00818181, 0x80FFFFFF, 0xFF000000,
                           0x80FFFFFF, 0xFFFFFFFF});
    struct Case {
        unsigned char before, after;
    } cases[] = {{0x00, 0x12}, {0xFF, 0xF3}};
    for (const Case& c : cases) {
        unsigned char bits[4] = {c.before, 0xEE, c.before, 0xEE};
        s->RectExtractMono(0, 0, 4, 2, 3, 99, bits, 2);
        EXPECT_EQ(bits[0], c.after);
        EXPECT_EQ(bits[1], 0xEE);
        EXPECT_EQ(bits[2], c.before); // transparent row: left as it was
    }
    unsigned char bits[4] = {0xFF, 0xEE, 0xFF, 0xEE};
    s->RectExtractMonoAlpha(0, 0, 4, 2, 3, 0, bits, 2);
    EXPECT_EQ(bits[0], 0x1E);
    EXPECT_EQ(bits[1], 0xEE);
    EXPECT_EQ(bits[2], 0x00);
    EXPECT_EQ(bits[3], 0xEE);
    // Across a byte boundary, and cut at the bytes given.
    unsigned char two[2] = {0xFF, 0xFF};
    s->RectExtractMonoAlpha(0, 0, 4, 1, 6, 0, two, 1);
    EXPECT_EQ(two[0], 0x03);
    EXPECT_EQ(two[1], 0xFF);
    s->RectExtractMonoAlpha(0, 0, 4, 1, -2, 0, two, 1); // pixels 2 and 3 at bits 0 and 1
    EXPECT_EQ(two[0], 0xC0);
    s->RectExtractMono(0, 0, 4, 1, 0, 0, nullptr, 1);
}

TEST_F(GfxSurfaceOpsTest, PixelsAndEmptyFlag)
{
    GfxSurface* s = Make(32, 4, 4);
    s->SetClipRect(1, 1, 2, 2);
    s->SetPixelRGBBlend(0, 0, 0x00FFFFFF);
    EXPECT_TRUE(s->IsEmpty());
    s->SetPixelRGBBlend(1, 1, 0xFFFFFFFF);
    EXPECT_FALSE(s->IsEmpty());
    EXPECT_EQ(s->RetPixelRGB(1, 1), 0u);
    s->SetPixelRGBBlend(1, 1, 0x00123456);
    EXPECT_EQ(s->RetPixelRGB(1, 1), 0x00123456u);
    s->SetPixelRGB(2, 2, 0x80654321);
    EXPECT_EQ(s->RetPixelRGB(2, 2), 0x80654321u);
    s->SetPixelRGB(3, 3, 0x00FFFFFF); // outside the clip
    EXPECT_EQ(s->RetPixelRGB(3, 3), 0u);
    s->ResetClipRect();
    EXPECT_EQ(s->RetPixelRGB(3, 3), 0u);
}

TEST_F(GfxSurfaceOpsTest, BilinearReadCountsMissingPixelsAsZero)
{
    GfxSurface* s =
        Words(4, 2, {0x00000000, 0x00FF0000, 0, 0x00C86432, 0x000000FF, 0, 0, 0x00C86432});
    EXPECT_EQ(s->RetPixelMergeRGB(3, 0, 0.5, 0.0), 0x00643219u); // last column: half of it
    EXPECT_EQ(s->RetPixelMergeRGB(0, 0, 0.5, 0.0), 0x007F0000u);
    EXPECT_EQ(s->RetPixelMergeRGB(0, 0, 0.0, 0.5), 0x0000007Fu);
    EXPECT_EQ(s->RetPixelMergeRGB(-1, 0, 0.25, 0.0), 0u);         // fx taken as 1: column 0
    EXPECT_EQ(s->RetPixelMergeRGB(-1, -1, 0.0, 0.0), 0u);         // fy taken as 1: row 0
    EXPECT_EQ(s->RetPixelMergeRGB(2, -1, 1.0, 0.0), 0x00C86432u); // above the clip: the row below
    EXPECT_EQ(s->RetPixelMergeRGB(4, 0, 0.5, 0.5), 0u);
    EXPECT_EQ(s->RetPixelMergeRGB(-2, 0, 0.5, 0.5), 0u);
}

TEST_F(GfxSurfaceOpsTest, BgrAndMonoRuns)
{
    const unsigned char bgr[15] = {1,    2,    3,    4,    5, 6, 0x56, 0x34,
                                   0x12, 0xFF, 0xFF, 0xFF, 0, 0, 0xFF};
    GfxSurface* s = Words(4, 1, {9, 9, 9, 9});
    s->SetPixelLineBGR24(-2, 0, 5, bgr);
    EXPECT_EQ(Row(s, 0), (std::vector<unsigned>{0x00123456, 0x00FFFFFF, 0x00FF0000, 9}));
    // A row long enough to go in vectors, cut at both edges: every pixel
    // from its own three bytes, the row below untouched.
    unsigned char long_row[3 * 45];
    for (int i = 0; i < 3 * 45; ++i)
        long_row[i] = static_cast<unsigned char>(7 * i + 1);
    GfxSurface* wide = Make(32, 40, 2);
    wide->SetPixelLineBGR24(-3, 0, 45, long_row);
    for (int x = 0; x < 40; ++x) {
        const unsigned char* p = long_row + 3 * (x + 3);
        EXPECT_EQ(wide->RetPixelRGB(x, 0), unsigned(p[2]) << 16 | unsigned(p[1]) << 8 | p[0]) << x;
        EXPECT_EQ(wide->RetPixelRGB(x, 1), 0u) << x;
    }
    GfxSurface* s16 = Make(16, 4, 1);
    s16->SetPixelLineBGR24(2, 0, 5, bgr + 6); // cut to two pixels at the right edge
    EXPECT_EQ(s16->RetPixelRGB(1, 0), 0u);
    EXPECT_EQ(s16->RetPixelRGB(2, 0), 0x00103452u);
    EXPECT_EQ(s16->RetPixelRGB(3, 0), 0x00FFFFFFu);
    GfxSurface* s8 = Make(8, 4, 1);
    s8->SetPixelLineBGR24(0, 0, 4, bgr);
    EXPECT_FALSE(s8->IsEmpty());
    EXPECT_EQ(s8->Line(0)[0], 0);

    // Bits at 0 take the colour; a byte of ones is skipped whole.
    const unsigned char bits[3] = {0x5F, 0xFF, 0x3F};
    GfxSurface* m = Make(32, 20, 1);
    m->SetPixelLineMono(-1, 0, 18, 0x00ABCDEF, bits);
    for (int x = 0; x < 20; ++x) {
        const bool set = x == 1 || x == 15 || x == 16;
        EXPECT_EQ(m->RetPixelRGB(x, 0), set ? 0x00ABCDEFu : 0u) << x;
    }
    GfxSurface* m16 = Make(16, 8, 1);
    m16->SetPixelLineMono(0, 0, 8, 0x00FF0000, bits);
    EXPECT_EQ(reinterpret_cast<unsigned short*>(m16->Line(0))[2], 0xF800);
}

// Drawing works in place: once a surface has its line dots, nothing of
// what it draws allocates.
TEST_F(GfxSurfaceOpsTest, OperationsDoNotAllocate)
{
    GfxSurface* a = Make(32, 16, 16);
    GfxSurface* b = Make(16, 16, 16);
    GfxSurface* g = Make(8, 16, 16);
    const int before = allocs;
    a->DrawLine(0, 0, 15, 3, 0x00FFFFFF);
    EXPECT_EQ(allocs, before + 1); // the dots buffer, on first use
    EXPECT_GE(sizes.back(), 80000u);
    const int drawn = allocs;
    unsigned char bits[64] = {};
    const unsigned char bgr[48] = {};
    // Each surface's row of colours comes on the first use, as the dots
    // buffer does; the second round takes nothing.
    for (int round = 0; round < 2; ++round)
        for (GfxSurface* s : {a, b, g}) {
            s->RectFill(0, 0, 16, 16, 0x00102030);
            s->RectFillBlend(1, 1, 9, 9, 0x80FFFFFF);
            s->RectFillBlend(1, 1, 9, 9, 0x10FFFFFF, -3, 2, g);
            s->RectCopy(2, 2, 10, 10, -1, -1, a, true);
            s->RectCopy(0, 1, 16, 15, 0, 0, nullptr, false);
            s->RectBlend(0, 0, 16, 16, 3, 3, b, true);
            s->RectBlendAlpha(0, 0, 16, 16, 0, 0, 0.5, g, false);
            s->RectExtract(0, 0, 16, 16, 0, 0, g, GfxSurface::CHANNEL_GREEN);
            s->RectInsert(0, 0, 16, 16, 0, 0, g, GfxSurface::CHANNEL_RED);
            s->RectExtractMono(0, 0, 16, 16, 0, 0, bits, 4);
            s->RectExtractMonoAlpha(0, 0, 16, 16, 0, 0, bits, 4);
            s->SetPixelRGB(1, 1, 0);
            s->SetPixelRGBBlend(1, 1, 0x40FFFFFF);
            s->RetPixelMergeRGB(1, 1, 0.3, 0.7);
            s->SetPixelLineBGR24(0, 3, 16, bgr);
            s->SetPixelLineMono(0, 4, 16, 0x00FFFFFF, bits);
        }
    a->DrawAALine(0, 0, 15, 9, 0x00FFFFFF);
    EXPECT_EQ(allocs, drawn + 3);
}

// Fills of 16- and 32-bit surfaces write the pixel code on every byte of
// the rectangle and nothing beside it: rectangles starting at every byte
// of a 16-byte line, in memory whose rows follow each other (filled as one
// span) or not, around the lengths of the vector steps.
TEST_F(GfxSurfaceOpsTest, FillsWriteTheCodeAtEveryAlignment)
{
    const unsigned width = 90;
    const unsigned height = 4;
    for (unsigned depth : {16u, 32u}) {
        const unsigned bpp = depth / 8;
        for (unsigned gap : {0u, 6u}) { // bytes between rows
            const unsigned pitch = width * bpp + gap;
            for (unsigned offset = 0; offset < 16; offset += bpp == 2 ? 1 : 3) {
                std::vector<unsigned char> memory(offset + pitch * height + 16, 0xCD);
                GfxSurface* s = Make(depth, 0, 0);
                s->Initialise(width, height, memory.data() + offset, pitch, false);
                for (unsigned x : {0u, 1u, 5u}) {
                    for (unsigned dx : {1u, 7u, 31u, 32u, 33u, 63u, 85u, 90u}) {
                        if (x + dx > width)
                            continue;
                        const bool whole = x == 0 && dx == width;
                        SCOPED_TRACE(testing::Message()
                                     << depth << " bits, gap " << gap << ", offset " << offset
                                     << ", x " << x << ", dx " << dx);
                        std::fill(memory.begin(), memory.end(), 0xCD);
                        s->RectFill(int(x), 1, dx, whole ? height - 1 : 2, 0x00A1B2C3);
                        const unsigned code = depth == 16 ? 0xA598 : 0x00A1B2C3;
                        for (unsigned y = 0; y < height; ++y) {
                            const bool row = y >= 1 && (whole || y <= 2);
                            for (unsigned b = 0; b < pitch; ++b) {
                                const unsigned px = b / bpp;
                                const unsigned char want =
                                    row && b < width * bpp && px >= x && px < x + dx
                                        ? (unsigned char)(code >> (8 * (b % bpp)))
                                        : 0xCD;
                                ASSERT_EQ(memory[offset + y * pitch + b], want)
                                    << "row " << y << " byte " << b;
                            }
                        }
                    }
                }
            }
        }
    }
}

} // namespace
