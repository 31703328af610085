#include "zoveda/gfxsurface.h"

#include <cstring>
#include <string>
#include <vector>

#include "tests/zoveda/gfxtest.h"

namespace {

class GfxSurfaceTest : public GfxTest {};

TEST_F(GfxSurfaceTest, DepthGivesBytesPerPixelAndShift)
{
    struct Case {
        unsigned depth, bytes, shift;
    } cases[] = {{32, 4, 2}, {24, 4, 2}, {17, 4, 2}, {16, 2, 1},
                 {9, 2, 1},  {8, 1, 0},  {1, 1, 0},  {0, 0, 0}};
    for (const Case& c : cases) {
        GfxSurface* s = Keep(GfxSurface::New(c.depth));
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->BytesPerPixel(), c.bytes) << c.depth;
        EXPECT_EQ(s->Shift(), c.shift) << c.depth;
        EXPECT_EQ(s->Depth(), c.depth);
        EXPECT_EQ(s->DX(), 0u);
    }
}

TEST_F(GfxSurfaceTest, DepthAbove32ThrowsAndAllocatesNothing)
{
    try {
        GfxSurface::New(33);
        FAIL() << "no exception";
    } catch (const char* text) {
        EXPECT_STREQ(text, "bpp < 33");
    }
    EXPECT_EQ(allocs, 0);
}

TEST_F(GfxSurfaceTest, NewGivesNullWhenTheObjectCannotBeAllocated)
{
    FailAt(1);
    EXPECT_EQ(GfxSurface::New(32), nullptr);
    GfxSurface* none = nullptr;
    GfxSurface::Delete(none);
    EXPECT_EQ(none, nullptr);
}

TEST_F(GfxSurfaceTest, InitialiseGivesPaddedPitchZeroedEmptyMemory)
{
    struct Case {
        unsigned depth, pitch;
    } cases[] = {{16, 20}, {32, 40}, {8, 12}, {1, 2}};
    for (const Case& c : cases) {
        GfxSurface* s = Make(c.depth, 10, 5);
        EXPECT_EQ(s->Pitch(), c.pitch) << c.depth;
        EXPECT_TRUE(s->IsEmpty());
        EXPECT_EQ(s->ClipX2(), 10);
        EXPECT_EQ(s->ClipY2(), 5);
        std::vector<unsigned char> zero(c.pitch * 5, 0);
        EXPECT_EQ(std::memcmp(s->Line(0), zero.data(), zero.size()), 0);
        for (int y = 1; y < 5; ++y) {
            EXPECT_EQ(s->Line(y), s->Line(0) + y * c.pitch);
        }
    }
}

// A surface holds its pixels and nothing else that grows with its size,
// whatever its shape; the masked fill's row of colours comes at its first
// use, as wide as the memory.
TEST_F(GfxSurfaceTest, OnlyThePixelsUntilAMaskedFill)
{
    struct Case {
        unsigned dx, dy;
    } const cases[] = {{10, 7}, {1, 100000}, {100000, 1}, {3, 5000}};
    for (const Case& c : cases) {
        GfxSurface* s = Keep(GfxSurface::New(32));
        sizes.clear();
        s->Initialise(c.dx, c.dy);
        ASSERT_EQ(sizes.size(), 1u) << c.dx;
        EXPECT_EQ(sizes[0], 4ul * c.dx * c.dy) << c.dx;
        s->SetPixelRGB(int(c.dx) - 1, int(c.dy) - 1, 0x00123456);
        EXPECT_EQ(s->RetPixelRGB(int(c.dx) - 1, int(c.dy) - 1), 0x00123456u);
    }
    GfxSurface* s = Make(32, 10, 7);
    GfxSurface* mask = Make(8, 10, 7);
    sizes.clear();
    s->RectFillBlend(0, 0, 10, 7, 0x00FF0000, 0, 0, mask);
    ASSERT_EQ(sizes.size(), 1u);
    EXPECT_EQ(sizes[0], 10u * 4);
    EXPECT_EQ(s->RetPixelRGB(9, 6), 0x00FF0000u);
    // Kept while the memory holds: a size set within it needs no new row.
    s->SetNewSize(5, 5);
    s->SetNewSize(10, 7);
    s->RectFillBlend(0, 0, 10, 7, 0x000000FF, 0, 0, mask);
    EXPECT_EQ(sizes.size(), 1u);
    EXPECT_EQ(s->RetPixelRGB(9, 6), 0x000000FFu);
}

TEST_F(GfxSurfaceTest, SetNewSizeKeepsMemoryThatFitsAndRegrowsPastIt)
{
    GfxSurface* s = Make(32, 128, 64);
    s->SetPixelRGB(3, 3, 0x00ABCDEF);
    unsigned char* before = s->Line(0);
    const int allocated = allocs;
    s->SetNewSize(100, 50);
    EXPECT_EQ(s->Line(0), before);
    EXPECT_EQ(allocs, allocated);
    EXPECT_EQ(s->DX(), 100u);
    EXPECT_EQ(s->DY(), 50u);
    EXPECT_EQ(s->RetPixelRGB(3, 3), 0x00ABCDEFu);

    s->SetNewSize(129, 50);
    EXPECT_EQ(s->AllocatedDX(), 144u);
    EXPECT_EQ(s->AllocatedDY(), 64u);
    EXPECT_EQ(s->DX(), 129u);
    EXPECT_EQ(s->DY(), 50u);
    EXPECT_EQ(s->RetPixelRGB(3, 3), 0u);
    // The clip covers what was allocated until the caller sets it again.
    EXPECT_EQ(s->ClipX2(), 144);

    s->SetNewSize(16, 5);
    s->OptimiseSize();
    EXPECT_EQ(s->AllocatedDX(), 32u);
    EXPECT_EQ(s->AllocatedDY(), 16u);
    EXPECT_EQ(s->DX(), 32u);
    s->SetNewSize(20, 10);
    s->OptimiseSize(); // uses more than half: kept
    EXPECT_EQ(s->AllocatedDX(), 32u);
}

TEST_F(GfxSurfaceTest, ClipRectIsCutAtTheSurface)
{
    struct Case {
        int x, y;
        unsigned dx, dy;
        int x1, y1, x2, y2;
    } cases[] = {
        {-5, 0, 3, 10, 0, 0, 0, 10}, {-5, 0, 20, 10, 0, 0, 15, 10}, {2, 3, 100, 100, 2, 3, 40, 20},
        {40, 0, 5, 5, 0, 0, 0, 5},   {5, 25, 1, 1, 5, 0, 6, 0},     {1, 1, 2, 2, 1, 1, 3, 3},
    };
    GfxSurface* s = Make(32, 40, 20);
    for (const Case& c : cases) {
        s->SetClipRect(c.x, c.y, c.dx, c.dy);
        EXPECT_EQ(s->ClipX1(), c.x1) << c.x << "," << c.y;
        EXPECT_EQ(s->ClipY1(), c.y1) << c.x << "," << c.y;
        EXPECT_EQ(s->ClipX2(), c.x2) << c.x << "," << c.y;
        EXPECT_EQ(s->ClipY2(), c.y2) << c.x << "," << c.y;
    }
    s->SetClipRect(1, 1, 2, 2);
    s->RectFill(0, 0, 40, 20, 0x00FFFFFF);
    EXPECT_EQ(s->RetPixelRGB(1, 1), 0x00FFFFFFu);
    s->ResetClipRect();
    EXPECT_EQ(s->RetPixelRGB(0, 0), 0u);
    EXPECT_EQ(s->RetPixelRGB(3, 1), 0u);
    EXPECT_EQ(s->RetPixelRGB(2, 2), 0x00FFFFFFu);
}

TEST_F(GfxSurfaceTest, PixelCodesAndConversions)
{
    GfxSurface* s16 = Make(16, 4, 1);
    GfxSurface* s8 = Make(8, 4, 1);
    unsigned short* w = reinterpret_cast<unsigned short*>(s16->Line(0));
    w[0] = 0xFFFF;
    w[1] = 0x0000;
    w[2] = 0x8410; // 16, 32, 16: E5(16) = 0x84, E6(32) = 0x82
    EXPECT_EQ(s16->RetPixelRGB(0, 0), 0x00FFFFFFu);
    EXPECT_EQ(s16->RetPixelRGB(1, 0), 0u);
    EXPECT_EQ(s16->RetPixelRGB(2, 0), 0x00848284u);
    s16->SetAlpha(0x7F);
    EXPECT_EQ(s16->RetPixelRGB(1, 0), 0x7F000000u);
    EXPECT_EQ(s16->RetPixelRGB(0, 0), 0x7FFFFFFFu);

    s16->SetPixelRGB(3, 0, 0x00123456);
    EXPECT_EQ(w[3], (0x12 >> 3) << 11 | (0x34 >> 2) << 5 | (0x56 >> 3));

    // Grey: (307 R + 614 G + 103 B) >> 10.
    s8->SetPixelRGB(0, 0, 0x00FF0000);
    s8->SetPixelRGB(1, 0, 0x0000FF00);
    s8->SetPixelRGB(2, 0, 0x000000FF);
    s8->SetPixelRGB(3, 0, 0x00FFFFFF);
    EXPECT_EQ(s8->Line(0)[0], 76);
    EXPECT_EQ(s8->Line(0)[1], 152);
    EXPECT_EQ(s8->Line(0)[2], 25);
    EXPECT_EQ(s8->Line(0)[3], 255);
    s8->SetAlpha(0x10);
    EXPECT_EQ(s8->RetPixelRGB(3, 0), 0x10FFFFFFu);
}

TEST_F(GfxSurfaceTest, ClearZeroesAndMarksEmpty)
{
    GfxSurface* s = Make(32, 5, 5);
    s->RectFill(0, 0, 5, 5, 0x00FFFFFF);
    EXPECT_FALSE(s->IsEmpty());
    s->Clear();
    EXPECT_TRUE(s->IsEmpty());
    EXPECT_EQ(s->RetPixelRGB(4, 4), 0u);
}

TEST_F(GfxSurfaceTest, LentMemoryIsUsedButNeverFreed)
{
    std::vector<unsigned> pixels(6 * 4, 0x00010203);
    GfxSurface* s = GfxSurface::New(32);
    const int before = allocs;
    s->Initialise(5, 4, pixels.data(), 6 * 4, false);
    EXPECT_EQ(allocs - before, 0);
    EXPECT_FALSE(s->IsEmpty());
    EXPECT_EQ(s->RetPixelRGB(4, 3), 0x00010203u);
    s->SetPixelRGB(4, 3, 0x00FFFFFF);
    EXPECT_EQ(pixels[3 * 6 + 4], 0x00FFFFFFu);
    const int freed = frees;
    GfxSurface::Delete(s);
    EXPECT_EQ(s, nullptr);
    EXPECT_EQ(frees - freed, 1); // the object
}

// Whichever block of Initialise's cannot be had, the surface is left
// without memory at 0 x 0, and every operation on it does nothing. The
// blocks are counted on a surface that gets them all (today the pixels
// alone), so that a block Initialise comes to take is tried as well.
TEST_F(GfxSurfaceTest, SurfaceWithoutMemoryIgnoresEveryOperation)
{
    GfxSurface* good = Make(32, 8, 8);
    good->RectFill(0, 0, 8, 8, 0x00445566);
    GfxSurface* counted = Keep(GfxSurface::New(32));
    const int start = allocs;
    counted->Initialise(8, 8);
    const int blocks = allocs - start;
    ASSERT_GE(blocks, 1);
    for (int n = 1; n <= blocks; ++n) {
        GfxSurface* s = Keep(GfxSurface::New(32));
        FailAt(n); // memory
        s->Initialise(8, 8);
        EXPECT_EQ(s->DX(), 0u) << n;
        EXPECT_EQ(s->DY(), 0u) << n;
        EXPECT_EQ(s->ClipX2(), 0) << n;
        s->RectFill(0, 0, 8, 8, 0x00FFFFFF);
        s->RectFillBlend(0, 0, 8, 8, 0x80FFFFFF);
        s->RectCopy(0, 0, 8, 8, 0, 0, good, true);
        s->RectBlend(0, 0, 8, 8, 0, 0, good, false);
        s->SetPixelRGB(1, 1, 0);
        s->DrawLine(0, 0, 7, 7, 0x00FFFFFF);
        s->DrawAALine(0, 7, 7, 0, 0x00FFFFFF);
        s->Clear();
        s->OptimiseSize();
        EXPECT_EQ(s->RetPixelRGB(1, 1), 0u);
        unsigned out[64];
        std::memset(out, 0xCD, sizeof out);
        s->QuickBltTo32(0, 0, 8, 8, out, 32);
        s->QuickBltTo565(0, 0, 8, 8, out, 32);
        EXPECT_EQ(out[0], 0xCDCDCDCDu);
        // As a source or a mask it gives nothing either.
        good->RectCopy(0, 0, 8, 8, 0, 0, s, true);
        good->RectFillBlend(0, 0, 8, 8, 0x00FFFFFF, 0, 0, s);
        EXPECT_EQ(good->RetPixelRGB(3, 3), 0x00445566u);
        // A later Initialise that succeeds gives a working surface.
        s->Initialise(4, 4);
        s->SetPixelRGB(3, 3, 0x00010101);
        EXPECT_EQ(s->RetPixelRGB(3, 3), 0x00010101u);
    }
    // Without its row of colours a masked fill leaves the pixels alone, and
    // the next one that has it fills.
    GfxSurface* lent = Keep(GfxSurface::New(32));
    unsigned pixels[16] = {};
    lent->Initialise(4, 4, pixels, 16, true);
    GfxSurface* mask = Make(8, 4, 4);
    FailAt(1); // the row of colours
    lent->RectFillBlend(0, 0, 4, 4, 0x00FFFFFF, 0, 0, mask);
    EXPECT_EQ(pixels[0], 0u);
    lent->RectFillBlend(0, 0, 4, 4, 0x00FFFFFF, 0, 0, mask);
    EXPECT_EQ(pixels[0], 0x00FFFFFFu);
}

// Depth-1 surfaces hold packed bits (a row of 10 pixels is 2 bytes): the
// byte-per-pixel operations must not write past them.
TEST_F(GfxSurfaceTest, PackedBitSurfaceIsLeftToItsOwner)
{
    GfxSurface* s = Make(1, 10, 3);
    s->RectFill(0, 0, 10, 3, 0x00FFFFFF);
    s->DrawLine(0, 0, 9, 2, 0x00FFFFFF);
    s->SetPixelRGB(9, 2, 0x00FFFFFF);
    EXPECT_TRUE(s->IsEmpty());
    EXPECT_EQ(s->Line(2)[1], 0);
}

} // namespace
