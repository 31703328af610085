#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "tests/support/fonts.h"
#include "tests/zoveda/gfxtest.h"
#include "zoveda/gfxfontcache.h"

namespace {

const unsigned kWhite = 0xFFFFFF;
const unsigned kBlack = 0x000000;

class GfxFontCacheTest : public GfxTest {
protected:
    // A cache lives inside the test so that the fixture's count of blocks
    // taken and given back sees its destructor.
    std::string arial = TestFontPath("arial.ttf");

    GfxSurface* White(unsigned dx, unsigned dy)
    {
        GfxSurface* s = Make(32, dx, dy);
        s->RectFill(0, 0, dx, dy, kWhite);
        return s;
    }

    static bool AllWhite(const GfxSurface* s)
    {
        for (unsigned y = 0; y < s->DY(); ++y)
            for (unsigned x = 0; x < s->DX(); ++x)
                if ((s->RetPixelRGB(int(x), int(y)) & 0xFFFFFF) != kWhite)
                    return false;
        return true;
    }

    static unsigned char MaskAt(GfxFontCache& cache, unsigned short code, int c, int r)
    {
        const GfxFontCache::GlyphInfo* info = cache.FindGlyph(code);
        return cache.RetBand(info->band)->Line(info->y + r)[info->x + c];
    }
};

TEST_F(GfxFontCacheTest, GlyphsArePackedIntoBandsOfSixtyFourPixels)
{
    GfxFontCache cache;
    ASSERT_TRUE(cache.OpenFace(arial.c_str(), 50, false));
    EXPECT_EQ(cache.BandHeight(), 50u);
    // At 50 pixels 'D' and 'R' are 30 wide, '[' 10: 60 + 10 exceeds 64.
    const struct {
        unsigned short code;
        unsigned width;
        unsigned band;
        unsigned x;
    } cases[] = {{'D', 30, 1, 0}, {'R', 30, 1, 30}, {'[', 10, 2, 0}};
    for (const auto& c : cases) {
        const GfxFontCache::GlyphInfo* info = cache.FindGlyph(c.code);
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(info->width, c.width) << char(c.code);
        EXPECT_EQ(info->band, c.band) << char(c.code);
        EXPECT_EQ(info->x, c.x) << char(c.code);
        EXPECT_EQ(info->y, 0u);
        GfxSurface* band = nullptr;
        unsigned short x = 99, y = 99;
        GfxFontCache::GlyphGeom geom;
        cache.AccessGlyph(c.code, band, x, y, geom);
        EXPECT_EQ(band, cache.RetBand(c.band));
        EXPECT_EQ(x, c.x);
        EXPECT_EQ(geom.xMax - geom.xMin, int(c.width));
        ASSERT_NE(band, nullptr);
        EXPECT_EQ(band->DX(), 64u);
        EXPECT_EQ(band->DY(), 50u);
    }
    EXPECT_EQ(cache.RenderCount(), 3u);
}

TEST_F(GfxFontCacheTest, EachGlyphIsRenderedOnceAndChainedPastTwoHundredFiftyFive)
{
    GfxFontCache cache;
    ASSERT_TRUE(cache.OpenFace(arial.c_str(), 12, false));
    GfxSurface* dst = White(40, 20);
    cache.DrawGlyph('A', 5, 15, kBlack, dst, 0);
    EXPECT_EQ(cache.RenderCount(), 1u);
    cache.DrawGlyph('A', 20, 15, kBlack, dst, 0);
    GfxFontCache::GlyphGeom geom;
    cache.GetGlyphGeometry('A', geom);
    EXPECT_EQ(cache.RenderCount(), 1u);

    // 65 and 321 share bucket 65: 321 gets a record chained behind the head.
    const GfxFontCache::GlyphInfo* a = cache.FindGlyph(65);
    const GfxFontCache::GlyphInfo* l = cache.FindGlyph(321);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(l, nullptr);
    EXPECT_NE(a, l);
    EXPECT_EQ(a->code, 65);
    EXPECT_EQ(l->code, 321);
    EXPECT_EQ(a->next, l);
    const GfxFontCache::GlyphInfo* l2 = cache.FindGlyph(577); // bucket 65 again
    EXPECT_EQ(l->next, l2);
    EXPECT_EQ(cache.FindGlyph(321), l);
    EXPECT_EQ(cache.RenderCount(), 3u);
}

TEST_F(GfxFontCacheTest, NothingIsDrawnAtOtherAnglesWithoutFaceOrPastTheCodes)
{
    GfxFontCache cache;
    GfxSurface* dst = White(40, 40);
    GfxFontCache::GlyphGeom geom;
    GfxSurface* band = dst;
    unsigned short x = 7, y = 7;

    // No face yet.
    cache.DrawGlyph('A', 10, 30, kBlack, dst, 0);
    cache.GetGlyphGeometry('A', geom);
    EXPECT_EQ(geom.advance, 0);
    cache.AccessGlyph('A', band, x, y, geom);
    EXPECT_EQ(band, nullptr);
    EXPECT_EQ(x + y, 0);
    EXPECT_EQ(cache.TypoAscender(), 0);

    ASSERT_TRUE(cache.OpenFace(arial.c_str(), 20, false));
    cache.DrawGlyph('A', 10, 30, kBlack, dst, 45);
    cache.DrawGlyph('A', 10, 30, kBlack, dst, 180);
    cache.DrawGlyph(1024, 10, 30, kBlack, dst, 0);
    cache.DrawGlyph(0xFFFF, 10, 30, kBlack, dst, 0);
    EXPECT_TRUE(AllWhite(dst));
    for (int code : {1024, 5000, 0xFFFF}) {
        geom.advance = 5;
        cache.GetGlyphGeometry(code, geom);
        EXPECT_EQ(geom.advance, 0) << code;
        EXPECT_EQ(geom.xMax, 0) << code;
        band = dst;
        cache.AccessGlyph(code, band, x, y, geom);
        EXPECT_EQ(band, nullptr) << code;
    }
    // Closing keeps the glyphs already rendered but draws nothing more.
    cache.GetGlyphGeometry('B', geom);
    EXPECT_GT(geom.advance, 0);
    cache.CloseFace();
    cache.DrawGlyph('B', 10, 30, kBlack, dst, 0);
    EXPECT_TRUE(AllWhite(dst));
    cache.GetGlyphGeometry('B', geom);
    EXPECT_GT(geom.advance, 0);
}

TEST_F(GfxFontCacheTest, TypographicMetricsFollowTheOs2Table)
{
    // A copy of the face with the OS/2 values of the example: ascender 1500,
    // descender -410, line gap 100 of 2048 units.
    std::vector<unsigned char> face = ReadFileBytes(arial);
    const size_t os2 = FindFontTable(face, "OS/2");
    const size_t head = FindFontTable(face, "head");
    ASSERT_NE(os2, 0u);
    ASSERT_NE(head, 0u);
    ASSERT_EQ(face[head + 18] << 8 | face[head + 19], 2048);
    PutBigEndian16(face, os2 + 68, 1500);
    PutBigEndian16(face, os2 + 70, -410);
    PutBigEndian16(face, os2 + 72, 100);
    const std::string path = WriteScratchFile("metrics.ttf", face);

    GfxFontCache cache;
    ASSERT_TRUE(cache.OpenFace(path.c_str(), 20, false));
    EXPECT_EQ(cache.TypoDescender(), -4); // trunc(4.004 + 0.5), negated
    EXPECT_EQ(cache.TypoAscender(), 15);  // trunc(14.648 + 0.5)
    EXPECT_EQ(cache.TypoLineGap(), 1);    // trunc(0.977 + 0.5)
}

TEST_F(GfxFontCacheTest, AdvancesAreThoseOfClassicHinting)
{
    // The newer TrueType interpreter would widen 'A' at 12 pixels to 8.
    GfxFontCache cache;
    ASSERT_TRUE(cache.OpenFace(arial.c_str(), 12, false));
    GfxFontCache::GlyphGeom geom;
    cache.GetGlyphGeometry('A', geom);
    EXPECT_EQ(geom.advance, 7);
    EXPECT_EQ(geom.reserved, 0);
}

TEST_F(GfxFontCacheTest, MasksHoldOnlyTheirLevels)
{
    // Smooth masks keep five grey levels of coverage, inverted.
    const struct {
        bool smooth;
        std::set<unsigned> levels;
    } cases[] = {{false, {0x00, 0xFF}},
                 {true, {0x00, 0xFF - 0xC0, 0xFF - 0x80, 0xFF - 0x40, 0xFF}}};
    for (const auto& c : cases) {
        GfxFontCache cache;
        ASSERT_TRUE(cache.OpenFace(arial.c_str(), 16, c.smooth));
        std::set<unsigned> seen;
        for (int code : {int('a'), int('g'), int('W'), int('@'), 0xE9, 0x3A9}) {
            const GfxFontCache::GlyphInfo* info = cache.FindGlyph(code);
            ASSERT_NE(info, nullptr);
            ASSERT_GT(info->width, 0);
            for (int r = 0; r < info->height; ++r)
                for (int col = 0; col < info->width; ++col)
                    seen.insert(MaskAt(cache, code, col, r));
        }
        for (unsigned v : seen)
            EXPECT_TRUE(c.levels.count(v)) << "smooth " << c.smooth << " level " << v;
        // Ink and blank both appear, and smooth edges use the grey levels.
        EXPECT_TRUE(seen.count(0x00));
        EXPECT_TRUE(seen.count(0xFF));
        if (c.smooth) {
            EXPECT_GE(seen.size(), 4u);
        }
    }
}

TEST_F(GfxFontCacheTest, DrawingAtZeroCopiesTheMask)
{
    GfxFontCache cache;
    ASSERT_TRUE(cache.OpenFace(arial.c_str(), 24, false));
    GfxSurface* dst = White(60, 40);
    const int ox = 20, oy = 30;
    cache.DrawGlyph('R', ox, oy, kBlack, dst, 0);
    const GfxFontCache::GlyphInfo* info = cache.FindGlyph('R');
    const GfxFontCache::GlyphGeom& g = info->geom;
    int inked = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 60; ++x) {
            const int c = x - (ox + g.xMin);
            const int r = y - (oy - g.yMax);
            const bool in = c >= 0 && c < info->width && r >= 0 && r < info->height;
            const unsigned want = in && MaskAt(cache, 'R', c, r) == 0 ? kBlack : kWhite;
            ASSERT_EQ(dst->RetPixelRGB(x, y) & 0xFFFFFF, want) << x << "," << y;
            inked += want == kBlack;
        }
    }
    EXPECT_GT(inked, 20);
}

TEST_F(GfxFontCacheTest, QuarterTurnsPlaceTheMaskAsTurned)
{
    GfxFontCache cache;
    ASSERT_TRUE(cache.OpenFace(arial.c_str(), 16, true));
    const struct {
        int angle;
        int ox, oy;
    } cases[] = {{90, 20, 40}, {270, 20, 10}};
    for (const auto& c : cases) {
        GfxSurface* dst = White(50, 50);
        cache.DrawGlyph('F', c.ox, c.oy, kBlack, dst, c.angle);
        const GfxFontCache::GlyphInfo* info = cache.FindGlyph('F');
        const GfxFontCache::GlyphGeom& g = info->geom;
        std::set<std::pair<int, int>> expected;
        for (int r = 0; r < info->height; ++r) {
            for (int col = 0; col < info->width; ++col) {
                if (MaskAt(cache, 'F', col, r) != 0)
                    continue; // only full ink is set when turned
                if (c.angle == 90)
                    expected.insert({c.ox + r - g.yMax, c.oy - g.xMin - col});
                else
                    expected.insert({c.ox + g.yMax - r, c.oy + g.xMin + col});
            }
        }
        ASSERT_FALSE(expected.empty());
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 50; ++x)
                ASSERT_EQ(dst->RetPixelRGB(x, y) & 0xFFFFFF,
                          expected.count({x, y}) ? kBlack : kWhite)
                    << "angle " << c.angle << " at " << x << "," << y;
    }
}

TEST_F(GfxFontCacheTest, GlyphsTooBigForABandGetABandOfTheirOwn)
{
    // At 8 pixels 'À' is 9 tall; at 72 'W' is 68 wide.
    const struct {
        int size;
        unsigned short code;
        unsigned width;
        unsigned height;
    } cases[] = {{8, 0xC0, 5, 9}, {72, 'W', 68, 50}};
    for (const auto& c : cases) {
        GfxFontCache cache;
        ASSERT_TRUE(cache.OpenFace(arial.c_str(), c.size, false));
        const GfxFontCache::GlyphInfo* small = cache.FindGlyph('i');
        const GfxFontCache::GlyphInfo* big = cache.FindGlyph(c.code);
        const GfxFontCache::GlyphInfo* next = cache.FindGlyph('l');
        EXPECT_EQ(big->width, c.width) << c.size;
        EXPECT_EQ(big->height, c.height) << c.size;
        GfxSurface* own = cache.RetBand(big->band);
        ASSERT_NE(own, nullptr);
        EXPECT_NE(big->band, small->band);
        EXPECT_GE(own->DX(), c.width);
        EXPECT_GE(own->DY(), c.height);
        // Glyphs that fit go on packing the shared band.
        EXPECT_EQ(next->band, small->band);
        EXPECT_EQ(next->x, small->x + small->width);
        // Nothing was cut: ink reaches the mask's last row and last column.
        bool last_row = false, last_col = false;
        for (int i = 0; i < big->width; ++i)
            last_row |= MaskAt(cache, c.code, i, big->height - 1) == 0;
        for (int i = 0; i < big->height; ++i)
            last_col |= MaskAt(cache, c.code, big->width - 1, i) == 0;
        EXPECT_TRUE(last_row && last_col) << c.size;
        // And the whole glyph is drawn.
        GfxSurface* dst = White(100, 100);
        cache.DrawGlyph(c.code, 10, 80, kBlack, dst, 0);
        int inked = 0, expected = 0;
        for (int r = 0; r < big->height; ++r)
            for (int col = 0; col < big->width; ++col)
                expected += MaskAt(cache, c.code, col, r) == 0;
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 100; ++x)
                inked += (dst->RetPixelRGB(x, y) & 0xFFFFFF) == kBlack;
        EXPECT_EQ(inked, expected) << c.size;
    }
}

TEST_F(GfxFontCacheTest, DamagedFacesNeverCrash)
{
    const std::vector<unsigned char> whole = ReadFileBytes(arial);
    ASSERT_GT(whole.size(), 10000u);
    const size_t glyf = FindFontTable(whole, "glyf");
    ASSERT_NE(glyf, 0u);
    const size_t lengths[] = {
        0, 4, 12, 100, 1000, glyf, glyf + 300, whole.size() / 2, whole.size() - 1};
    int opened = 0;
    for (size_t length : lengths) {
        std::vector<unsigned char> cut(whole.begin(), whole.begin() + long(length));
        const std::string path = WriteScratchFile("cut.ttf", cut);
        GfxFontCache cache;
        if (!cache.OpenFace(path.c_str(), 14, length % 2 == 0))
            continue;
        ++opened;
        GfxSurface* dst = White(64, 32);
        for (unsigned short code = 0; code < 300; code += 7) {
            cache.DrawGlyph(code, 10, 20, kBlack, dst, 0);
            cache.DrawGlyph(code, 10, 20, kBlack, dst, 90);
        }
    }
    // Some cut copies still open (their glyphs come out empty or partial).
    EXPECT_GT(opened, 0);

    // A face whose glyphs are a hundred ems big: they stay empty instead of
    // taking megabytes each.
    std::vector<unsigned char> huge = whole;
    const size_t head = FindFontTable(huge, "head");
    ASSERT_NE(head, 0u);
    PutBigEndian16(huge, head + 18, 16);
    const std::string huge_path = WriteScratchFile("huge.ttf", huge);
    GfxFontCache big;
    ASSERT_TRUE(big.OpenFace(huge_path.c_str(), 40, false));
    const GfxFontCache::GlyphInfo* w = big.FindGlyph('W');
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->width, 0);
    EXPECT_EQ(w->geom.advance, 0);
    GfxSurface* dst = White(64, 32);
    big.DrawGlyph('W', 10, 20, kBlack, dst, 0);
    EXPECT_TRUE(AllWhite(dst));

    GfxFontCache cache;
    EXPECT_FALSE(cache.OpenFace("/no/such/face.ttf", 12, false));
    EXPECT_FALSE(cache.OpenFace(arial.c_str(), 0, false));
    EXPECT_FALSE(cache.OpenFace(arial.c_str(), -5, false));
    EXPECT_FALSE(cache.OpenFace(arial.c_str(), GfxFontCache::MAX_SIZE + 1, false));
    EXPECT_FALSE(cache.HasFace());
}

TEST_F(GfxFontCacheTest, NoMemoryAtAnyStepIsSurvived)
{
    // Each allocation in turn fails once; the cache answers false or draws
    // less, and gives back all it took (checked when the test ends).
    for (int n = 1; n < 400; n += 3) {
        GfxSurface* dst = White(40, 20);
        FailAt(n);
        {
            GfxFontCache cache;
            if (cache.OpenFace(arial.c_str(), 12, n % 2 == 0)) {
                for (int code : {int('a'), int('b'), 321, int('c')})
                    cache.DrawGlyph(code, 5, 15, kBlack, dst, 0);
            }
        }
        FailAt(0);
    }
}

} // namespace
