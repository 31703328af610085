#include "sd/common/sd_grailcursor.h"

#include <gtest/gtest.h>

#include <limits>

#include "si/classfactory.h"
#include "si/memzone.h"
#include "tests/support/ports.h"
#include "tests/support/storagetest.h"
#include "w32/cursor.h"
#include "zoveda/gfxsurface.h"

namespace {

const unsigned kTransparent = 0; // as W32_CursorPixel shows them
const unsigned kWhite = 0xFFFFFFFFu;
const unsigned kBlack = 0xFF000000u;

class GrailCursorTest : public PortTest {
protected:
    ZuGrailCursorRef NewCursor() { return ZuNew<ZuGrailCursor>(Zuvi_app_zone); }

    // A 50 x 50 sheet whose pixel (x, y) is opaque white, opaque black or
    // invisible by (x + 2y) mod 3, with some half transparent pixels: a
    // transparency below 128 counts as opaque, from 128 on as invisible.
    ZuGrailPixmapRef Sheet()
    {
        ZuGrailPixmapRef sheet = NewPixmap(32, 50, 50);
        GfxSurface* s = sheet->LockSurface();
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 50; ++x)
                s->SetPixelRGB(x, y, SheetWord(x, y));
        sheet->UnlockSurface(s);
        return sheet;
    }
    static unsigned SheetWord(int x, int y)
    {
        const unsigned words[] = {0x00FFFFFFu, 0x00000000u, 0xFF808080u,
                                  0x7FF0F0F0u, 0x80000000u, 0x00101010u};
        return words[(x + 2 * y) % 6];
    }
    static unsigned Shown(unsigned word)
    {
        if ((word >> 24) >= 128)
            return kTransparent;
        return (word & 0xFFFFFF) > 0x808080 ? kWhite : kBlack;
    }

    static W32_Cursor* Platform(const ZuGrailCursorRef& c) { return W32_CursorOf(c->RetHandle()); }
    static bool AndBit(const W32_Cursor* c, int x, int y)
    {
        return (c->and_mask[std::size_t(y) * std::size_t(c->row_bytes) + std::size_t(x / 8)] >>
                (7 - x % 8)) &
               1;
    }
};

TEST_F(GrailCursorTest, ALargerRegionIsCutToTheSystemSizeFromItsTopLeft)
{
    ZuGrailPixmapRef sheet = Sheet();
    ZuGrailCursorRef cursor = NewCursor();
    cursor->Initialise(3.9, 4.2, 40, 40, sheet, 5, 5);
    W32_Cursor* c = Platform(cursor);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->width, 32);
    EXPECT_EQ(c->height, 32);
    EXPECT_EQ(c->x_hot, 3);
    EXPECT_EQ(c->y_hot, 4);
    EXPECT_EQ(cursor->RetWidth(), 32u);
    EXPECT_EQ(cursor->RetHeight(), 32u);
    EXPECT_EQ(cursor->RetHotX(), 3u);
    EXPECT_EQ(cursor->RetHotY(), 4u);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            ASSERT_EQ(W32_CursorPixel(c, x, y), Shown(SheetWord(x + 5, y + 5))) << x << "," << y;
}

TEST_F(GrailCursorTest, WhatTheRegionDoesNotCoverIsTransparent)
{
    ZuGrailPixmapRef sheet = Sheet();
    struct Case {
        double x, y, dx, dy;
        int inside_dx, inside_dy; // the part taken from the sheet
    } const cases[] = {
        {2, 3, 10, 6, 10, 6},    // smaller than the system size
        {44, 40, 20, 20, 6, 10}, // past the sheet's edge: nothing wraps round
    };
    for (const Case& k : cases) {
        ZuGrailCursorRef cursor = NewCursor();
        cursor->Initialise(0, 0, k.dx, k.dy, sheet, k.x, k.y);
        W32_Cursor* c = Platform(cursor);
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(cursor->RetWidth(), unsigned(k.dx));
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                if (x < k.inside_dx && y < k.inside_dy) {
                    ASSERT_EQ(W32_CursorPixel(c, x, y),
                              Shown(SheetWord(x + int(k.x), y + int(k.y))))
                        << x << "," << y;
                } else {
                    ASSERT_EQ(W32_CursorPixel(c, x, y), kTransparent) << x << "," << y;
                    ASSERT_TRUE(AndBit(c, x, y)) << x << "," << y;
                }
            }
    }
}

TEST_F(GrailCursorTest, ASecondPixmapGivesTheMask)
{
    // Image and mask, left to right: (white, dark), (black, dark),
    // (white, light), (black, light).
    ZuGrailPixmapRef image = NewPixmap(32, 4, 1);
    ZuGrailPixmapRef mask = NewPixmap(32, 8, 1);
    GfxSurface* s = image->LockSurface();
    const unsigned image_words[] = {0xFFFFFF, 0x000000, 0xFFFFFF, 0x000000};
    for (int x = 0; x < 4; ++x)
        s->SetPixelRGB(x, 0, image_words[x]);
    image->UnlockSurface(s);
    s = mask->LockSurface();
    const unsigned mask_words[] = {0x000000, 0x000000, 0xFFFFFF, 0xFFFFFF};
    for (int x = 0; x < 4; ++x)
        s->SetPixelRGB(x + 4, 0, mask_words[x]);
    mask->UnlockSurface(s);

    ZuGrailCursorRef cursor = NewCursor();
    cursor->Initialise(1, 0, 4, 1, image, 0, 0, mask, 4, 0);
    W32_Cursor* c = Platform(cursor);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(W32_CursorPixel(c, 0, 0), kWhite);
    EXPECT_EQ(W32_CursorPixel(c, 1, 0), kBlack);
    EXPECT_EQ(W32_CursorPixel(c, 2, 0), kTransparent);
    EXPECT_EQ(W32_CursorPixel(c, 3, 0), kBlack);
    EXPECT_EQ(W32_CursorPixel(c, 4, 0), kTransparent); // outside the region
    EXPECT_EQ(W32_CursorPixel(c, 0, 1), kTransparent);
    EXPECT_EQ(c->x_hot, 1);
}

TEST_F(GrailCursorTest, NothingToCutLeavesNoPlatformCursor)
{
    ZuGrailPixmapRef sheet = Sheet();
    struct Case {
        const char* what;
        double dx, dy;
        bool pixmap;
    } const cases[] = {{"width 0", 0, 10, true},
                       {"height 0", 10, 0, true},
                       {"negative", -5, 10, true},
                       {"not a number", std::numeric_limits<double>::quiet_NaN(), 10, true},
                       {"no pixmap", 10, 10, false}};
    for (const Case& k : cases) {
        ZuGrailCursorRef cursor = NewCursor();
        cursor->Initialise(2, 2, 10, 10, sheet, 0, 0);
        ASSERT_NE(cursor->RetHandle(), nullptr);
        cursor->Initialise(2, 2, k.dx, k.dy, k.pixmap ? sheet : ZuGrailPixmapNull, 0, 0);
        EXPECT_EQ(cursor->RetHandle(), nullptr) << k.what;
        EXPECT_EQ(cursor->RetWidth(), 0u) << k.what;
        EXPECT_EQ(cursor->RetHotX(), 0u) << k.what;
    }
}

TEST_F(GrailCursorTest, CursorsAreNeverStored)
{
    ZuGrailCursorRef cursor = NewCursor();
    ZuTestStorageRef storage = ZuTestStorage::Make();
    storage->StartStoring();
    EXPECT_DEATH(storage->StoreObject(cursor), "Trying to save Grail Cursor");
}

} // namespace
