#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "sd/win32/sd_grailwdo.h"
#include "si/classfactory.h"
#include "si/grail.h"
#include "si/grailpxm.h"
#include "si/grailwdo.h"
#include "si/igrailhook.h"
#include "si/memzone.h"
#include "tests/support/ports.h"
#include "zoveda/gfxsurface.h"

// A hook that records its calls.
ZU_HANDLE(ZuTestGrailHook, ZuObject)
class ZuTestGrailHook : public ZuObject, public ZuiGrailHook {
    ZU_CLASS(ZuTestGrailHook, ZuObject)
public:
    ZuTestGrailHook() {}
    struct Call {
        int op, x, y, width, height;
        void* pixels;
        int pitch;
    };
    std::vector<Call> calls;
    void CopyTo1Bit(int x, int y, int w, int h, void* p, int pitch) override
    {
        calls.push_back({1, x, y, w, h, p, pitch});
    }
    void CopyTo16Bit(int x, int y, int w, int h, void* p, int pitch) override
    {
        calls.push_back({2, x, y, w, h, p, pitch});
    }
    void CopyTo15Bit(int x, int y, int w, int h, void* p, int pitch) override
    {
        calls.push_back({3, x, y, w, h, p, pitch});
    }
    void CopyTo24Bit(int x, int y, int w, int h, void* p, int pitch) override
    {
        calls.push_back({4, x, y, w, h, p, pitch});
    }
    void CopyTo32Bit(int x, int y, int w, int h, void* p, int pitch) override
    {
        calls.push_back({5, x, y, w, h, p, pitch});
    }
};
ZU_CLASS_END(ZuTestGrailHook)
ZU_IMPLEMENT_CLASS(ZuTestGrailHook, "tests/sd/common/sd_grailpxm_test", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(ZuTestGrailHook, ZuiGrailHook)

namespace {

class PortDrawTest : public PortTest {
protected:
    // A 32-bit pixmap in a pass over all of it, drawing white.
    ZuGrailPixmapRef Canvas(double dx, double dy)
    {
        ZuGrailPixmapRef p = NewPixmap(32, dx, dy);
        p->BeginDraw(0, 0, dx - 1, dy - 1);
        p->SetForeColor(ZuColorPixel(0x00FFFFFFu));
        return p;
    }

    ZuTestGrailHookRef NewHook() { return ZuNew<ZuTestGrailHook>(Zuvi_app_zone); }
};

TEST_F(PortDrawTest, CoordinatesTruncateTowardZeroAfterTheOffset)
{
    struct Case {
        double ox, oy, x, y;
        int px, py;
    } const cases[] = {
        {0.5, 0.5, 1.6, 2.4, 2, 2},
        {0, 0, -0.5, 0, 0, 0},
        {0, 0, 3.99, 0.99, 3, 0},
        {-2, 1, 4, 1, 2, 2},
    };
    for (const Case& c : cases) {
        ZuGrailPixmapRef p = Canvas(6, 6);
        p->SetDrawingOffset(c.ox, c.oy);
        p->DrawDot(c.x, c.y);
        EXPECT_EQ(Pixel(p, c.px, c.py), 0x00FFFFFFu) << c.x << "," << c.y;
        EXPECT_EQ(CountInked(p), 1u);
    }
}

TEST_F(PortDrawTest, LinesAndRectangles)
{
    struct Case {
        const char* what;
        void (*draw)(const ZuGrailPixmapRef&);
        const char* picture;
    } const cases[] = {
        {"DrawLineDX of 5", [](const ZuGrailPixmapRef& p) { p->DrawLineDX(0, 0, 5); },
         "#####.\n......\n......\n......\n"},
        {"DrawLineDX of 0", [](const ZuGrailPixmapRef& p) { p->DrawLineDX(2, 1, 0); },
         "......\n......\n......\n......\n"},
        {"DrawLineDX backwards draws nothing",
         [](const ZuGrailPixmapRef& p) { p->DrawLineDX(4, 1, -3); },
         "......\n......\n......\n......\n"},
        {"DrawLineDY of 3", [](const ZuGrailPixmapRef& p) { p->DrawLineDY(1, 0, 3); },
         ".#....\n.#....\n.#....\n......\n"},
        {"DrawLineDY upwards draws nothing",
         [](const ZuGrailPixmapRef& p) { p->DrawLineDY(1, 3, -2); },
         "......\n......\n......\n......\n"},
        {"DrawRect, each corner once", [](const ZuGrailPixmapRef& p) { p->DrawRect(0, 0, 3, 2); },
         "####..\n#..#..\n####..\n......\n"},
        {"DrawRect one pixel wide stays inside",
         [](const ZuGrailPixmapRef& p) { p->DrawRect(2, 0, 2, 2); },
         "..#...\n..#...\n..#...\n......\n"},
        {"DrawRect inside out", [](const ZuGrailPixmapRef& p) { p->DrawRect(3, 0, 1, 2); },
         "......\n......\n......\n......\n"},
        {"DrawRect dotted restarts on each side",
         [](const ZuGrailPixmapRef& p) {
             p->SetLineStyle(ZU_LINE_DOT);
             p->DrawRect(0, 0, 4, 2);
         },
         "#.#.#.\n#.....\n.#.#..\n......\n"},
        {"DrawLineToX and ToY, both ends",
         [](const ZuGrailPixmapRef& p) {
             p->DrawLineToX(4, 3, 2);
             p->DrawLineToY(0, 0, 1);
         },
         "#.....\n#.....\n......\n..###.\n"},
        {"FillRect and the margin form",
         [](const ZuGrailPixmapRef& p) {
             p->FillRect(ZuRect(0, 0, 5, 3), 1);
             p->FillRect(ZuRect(0, 0, 1, 3), 1);
         },
         "......\n.####.\n.####.\n......\n"},
        {"DrawHairLine", [](const ZuGrailPixmapRef& p) { p->DrawHairLine(0, 0, 4, 2); },
         "#.....\n.##...\n...##.\n......\n"},
    };
    for (const Case& c : cases) {
        ZuGrailPixmapRef p = Canvas(6, 4);
        c.draw(p);
        EXPECT_EQ(Picture(p, 0, 0, 5, 3), c.picture) << c.what;
    }
}

TEST_F(PortDrawTest, FillsBlendUnlessPure)
{
    ZuGrailPixmapRef p = Canvas(4, 1);
    p->SetForeColor(ZuColorPixel(0x80FFFFFFu));
    p->FillRect(0, 0, 1, 0);
    p->SetPureColor(true);
    p->FillRect(2, 0, 3, 0);
    unsigned blended = Pixel(p, 0, 0);
    EXPECT_NE(blended, 0x80FFFFFFu);
    EXPECT_GT(blended & 0xFF, 0u);
    EXPECT_LT(blended & 0xFF, 0xFFu);
    EXPECT_EQ(Pixel(p, 2, 0), 0x80FFFFFFu);
}

TEST_F(PortDrawTest, ClipLimitsDrawing)
{
    ZuGrailPixmapRef p = Canvas(6, 4);
    p->SetClipRect(1, 1, 3, 2);
    p->FillRect(0, 0, 5, 3);
    EXPECT_EQ(Picture(p, 0, 0, 5, 3), "......\n.###..\n.###..\n......\n");
    // Where the margin form passes nothing on, nothing is drawn.
    p->SetClipRect(ZuRect(0, 0, 5, 3), 3);
    p->FillRect(0, 0, 5, 3);
    EXPECT_EQ(CountInked(p), 6u);
}

TEST_F(PortDrawTest, ScrollMovesPixels)
{
    ZuGrailPixmapRef p = Canvas(6, 4);
    p->DrawDot(1, 1);
    p->ScrollRect(0, 0, 2, 2, 2, 1);
    EXPECT_EQ(Pixel(p, 3, 2), 0x00FFFFFFu);
}

// A source whose red byte is 10 x its column and green 10 x its row.
ZuGrailPixmapRef Gradient(PortTest&, const ZuGrailPixmapRef& p)
{
    GfxSurface* s = p->LockSurface();
    for (unsigned y = 0; y < s->DY(); ++y)
        for (unsigned x = 0; x < s->DX(); ++x)
            s->SetPixelRGB(static_cast<int>(x), static_cast<int>(y),
                           (10 * x) << 16 | (10 * y) << 8);
    p->UnlockSurface(s);
    return p;
}

TEST_F(PortDrawTest, CopiesAndScaledCopies)
{
    ZuGrailPixmapRef source = Gradient(*this, NewPixmap(32, 10, 10));

    ZuGrailPixmapRef plain = Canvas(20, 20);
    plain->SetPureColor(true);
    plain->CopyRect(source, 2, 3, 0, 0, 3, 3);
    EXPECT_EQ(Pixel(plain, 0, 0), 20u << 16 | 30u << 8);
    EXPECT_EQ(Pixel(plain, 3, 3), 50u << 16 | 60u << 8);
    EXPECT_EQ(Pixel(plain, 4, 4), 0u);

    // 10 x 10 into 20 x 20: column i reads the source at i x 9 / 19.
    ZuGrailPixmapRef scaled = Canvas(20, 20);
    scaled->CopyRect(source, ZuRect(0, 0, 9, 9), ZuRect(0, 0, 19, 19));
    EXPECT_EQ(Pixel(scaled, 0, 0), 0u);
    EXPECT_EQ(Pixel(scaled, 19, 19), 90u << 16 | 90u << 8);
    // i = 1: 9 / 19 of the way from column 0 to column 1.
    EXPECT_EQ((Pixel(scaled, 1, 0) >> 16) & 0xFF, 4u);
    EXPECT_EQ((Pixel(scaled, 2, 0) >> 16) & 0xFF, 9u);

    // A destination one pixel wide reads the source's first column.
    ZuGrailPixmapRef narrow = Canvas(20, 20);
    narrow->CopyRect(source, ZuRect(3, 0, 9, 9), ZuRect(0, 0, 0, 19));
    EXPECT_EQ(Pixel(narrow, 0, 0), 30u << 16);
    EXPECT_EQ(Pixel(narrow, 0, 19), 30u << 16 | 90u << 8);
    EXPECT_EQ(Pixel(narrow, 1, 0), 0u);

    // Nothing outside the pass's drawing rectangle.
    ZuGrailPixmapRef outside = Canvas(20, 20);
    outside->CopyRect(source, 0, 0, 30, 30, 35, 35);
    EXPECT_EQ(CountInked(outside), 0u);

    EXPECT_DEATH(plain->CopyRect(ZuGrailPortRef(), 0, 0, 0, 0, 3, 3),
                 "Failed assertion: source.IsValid \\(\\)");
}

// Every scaled pixel is the engine's bilinear read of the source, inside
// the source's clip and at its edges alike.
TEST_F(PortDrawTest, ScaledCopiesReadAsTheEngine)
{
    ZuGrailPixmapRef source = NewPixmap(32, 12, 9);
    GfxSurface* s = source->LockSurface();
    unsigned seed = 12345;
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 12; ++x) {
            seed = seed * 1103515245u + 12345u;
            s->SetPixelRGB(x, y, seed);
        }
    source->UnlockSurface(s);
    struct Case {
        ZuRect from, to;
        bool clip_source;
    } const cases[] = {
        {ZuRect(0, 0, 11, 8), ZuRect(0, 0, 22, 16), false},
        {ZuRect(2, 1, 8, 5), ZuRect(0, 0, 3, 19), false},
        {ZuRect(0, 0, 11, 8), ZuRect(0, 0, 22, 16), true},
    };
    for (const Case& c : cases) {
        if (c.clip_source) {
            source->BeginDraw(0, 0, 11, 8);
            source->SetClipRect(3, 2, 7, 6);
        }
        ZuGrailPixmapRef p = Canvas(30, 30);
        p->SetPureColor(true);
        p->CopyRect(source, c.from, c.to);
        int ws = static_cast<int>(c.from.DX()), hs = static_cast<int>(c.from.DY());
        int wd = static_cast<int>(c.to.DX()), hd = static_cast<int>(c.to.DY());
        double fx = wd > 1 ? double(ws - 1) / (wd - 1) : 0,
               fy = hd > 1 ? double(hs - 1) / (hd - 1) : 0;
        int wrong = 0;
        for (int j = 0; j < hd; ++j)
            for (int i = 0; i < wd; ++i) {
                int col = static_cast<int>(i * fx), row = static_cast<int>(j * fy);
                unsigned want = s->RetPixelMergeRGB(static_cast<int>(c.from.X1()) + col,
                                                    static_cast<int>(c.from.Y1()) + row,
                                                    i * fx - col, j * fy - row);
                wrong += Pixel(p, i, j) != want;
            }
        EXPECT_EQ(wrong, 0);
        if (c.clip_source)
            source->EndDraw();
    }
}

TEST_F(PortDrawTest, BlendsWithAnExtraTransparency)
{
    ZuGrailPixmapRef source = Gradient(*this, NewPixmap(32, 10, 10));
    ZuRect from(0, 0, 9, 9), to(0, 0, 19, 19);

    ZuGrailPixmapRef copied = Canvas(20, 20), blended0 = Canvas(20, 20);
    copied->CopyRect(source, 1, 1, 0, 0, 9, 9);
    blended0->BlendRect(source, 0.0, 1, 1, 0, 0, 9, 9);
    EXPECT_TRUE(SamePixels(copied, blended0));

    ZuGrailPixmapRef scaled = Canvas(20, 20), scaled0 = Canvas(20, 20);
    scaled->CopyRect(source, from, to);
    scaled0->BlendRect(source, 0.0, from, to);
    EXPECT_TRUE(SamePixels(scaled, scaled0));

    ZuGrailPixmapRef hidden = Canvas(20, 20), hidden_scaled = Canvas(20, 20);
    hidden->BlendRect(source, 1.0, 0, 0, 0, 0, 9, 9);
    hidden_scaled->BlendRect(source, 2.0, from, to);
    EXPECT_EQ(CountInked(hidden), 0u);
    EXPECT_EQ(CountInked(hidden_scaled), 0u);

    ZuGrailPixmapRef half = Canvas(20, 20);
    half->BlendRect(source, 0.5, from, to);
    unsigned red = (Pixel(half, 19, 0) >> 16) & 0xFF;
    EXPECT_GT(red, 30u);
    EXPECT_LT(red, 60u);
}

TEST_F(PortDrawTest, AWindowSourceStartsAtItsFrame)
{
    int module = 0;
    Zuvi_GrWindowRec::GlobalInit(&module); // screen windows need the class
    ZuGrailWindowRef window(ZuNew<ZuGrailWindow>(Zuvi_app_zone));
    window->Initialise(32, 10, 10);
    window->SetFrameGeometry(ZuRect(100, 50, 109, 59));
    Gradient(*this, window);
    ZuGrailPixmapRef p = Canvas(4, 4);
    p->SetPureColor(true);
    p->CopyRect(window, 102, 51, 0, 0, 0, 0);
    EXPECT_EQ(Pixel(p, 0, 0), 20u << 16 | 10u << 8);
    Zuvi_GrWindowRec::GlobalKill();
}

TEST_F(PortDrawTest, PixelRowsAndBitmaps)
{
    ZuGrailPixmapRef p = Canvas(8, 3);
    const unsigned char bgr[] = {1, 2, 3, 4, 5, 6};
    p->SetRGBPixels(0, 0, 2, bgr);
    const unsigned char r[] = {7, 8}, g[] = {9, 10}, b[] = {11, 12};
    p->SetRGBPixels(2, 0, 2, r, g, b);
    const unsigned char grey[] = {0x40};
    p->SetGrayPixels(4, 0, 1, grey);
    EXPECT_EQ(Pixel(p, 0, 0), 0x00030201u);
    EXPECT_EQ(Pixel(p, 1, 0), 0x00060504u);
    EXPECT_EQ(Pixel(p, 3, 0), 0x00080A0Cu);
    EXPECT_EQ(Pixel(p, 4, 0), 0x00404040u);

    // Bit 0 takes the fore colour; rows of (dx + 7) / 8 bytes.
    const unsigned char bits[] = {0x5F, 0xFF, 0x3F, 0xFF};
    p->SetBitmap(0, 1, 9, 2, bits);
    EXPECT_EQ(Picture(p, 0, 1, 7, 2), "#.#.....\n##......\n");
}

TEST_F(PortDrawTest, QuickBltHandsTheSurfaceToTheHook)
{
    ZuTestGrailHookRef hook = NewHook();

    ZuGrailPixmapRef p16 = NewPixmap(16, 40, 20);
    p16->BeginDraw(0, 0, 39, 19);
    p16->QuickBlt(3, 2, 10, 5, hook);
    GfxSurface* s16 = p16->LockSurface();
    ASSERT_EQ(hook->calls.size(), 1u);
    ZuTestGrailHook::Call c = hook->calls[0];
    EXPECT_EQ(c.op, 2);
    EXPECT_EQ(c.x, 0);
    EXPECT_EQ(c.width, 10);
    EXPECT_EQ(c.height, 5);
    EXPECT_EQ(c.pixels, s16->Line(2) + 3 * 2);
    EXPECT_EQ(c.pitch, static_cast<int>(s16->Pitch()));
    EXPECT_FALSE(s16->IsEmpty());
    // A negative origin shortens the extent; the extent stops at the edge.
    p16->QuickBlt(-2, 15, 10, 10, hook);
    ASSERT_EQ(hook->calls.size(), 2u);
    EXPECT_EQ(hook->calls[1].width, 8);
    EXPECT_EQ(hook->calls[1].height, 5);
    EXPECT_EQ(hook->calls[1].pixels, s16->Line(15));
    p16->UnlockSurface(s16);

    ZuGrailPixmapRef p1 = NewPixmap(1, 40, 20);
    p1->BeginDraw(0, 0, 39, 19);
    p1->QuickBlt(11, 4, 6, 2, hook);
    GfxSurface* s1 = p1->LockSurface();
    ASSERT_EQ(hook->calls.size(), 3u);
    c = hook->calls[2];
    EXPECT_EQ(c.op, 1);
    EXPECT_EQ(c.x, 3);
    EXPECT_EQ(c.y, 0);
    EXPECT_EQ(c.pixels, s1->Line(4) + 1);
    p1->UnlockSurface(s1);

    // Objects without the hook are left alone; other depths stop.
    p16->QuickBlt(0, 0, 4, 4, NewPixmap(32, 1, 1));
    EXPECT_EQ(hook->calls.size(), 3u);
    ZuGrailPixmapRef p32 = Canvas(4, 4);
    EXPECT_DEATH(p32->QuickBlt(0, 0, 2, 2, hook), "Depth is not supported");
}

TEST_F(PortDrawTest, FindsPixelsAlongRowsAndColumns)
{
    ZuGrailPixmapRef p = Canvas(10, 10);
    p->DrawDot(2, 5, ZuColorPixel(0x00FF0000u));
    p->DrawDot(7, 5, ZuColorPixel(0x00FF0000u));
    p->DrawDot(4, 8, ZuColorPixel(0x0000FF00u));
    p->SetDrawingOffset(1, 0);
    double x = 4;
    EXPECT_TRUE(p->FindDXSamePixel(x, 5, ZuColorPixel(0x00FF0000u), 1));
    EXPECT_EQ(x, 6) << "column 7 less the offset";
    x = 4;
    EXPECT_TRUE(p->FindDXSamePixel(x, 5, ZuColorPixel(0x00FF0000u), -1));
    EXPECT_EQ(x, 1);
    x = 4;
    EXPECT_FALSE(p->FindDXSamePixel(x, 5, ZuColorPixel(0x0000FF00u), 1));
    EXPECT_FALSE(p->FindDXSamePixel(x, 5, ZuColorPixel(0x00FF0000u), 0));
    EXPECT_EQ(x, 4);
    double y = 0;
    ZuColorPixel found;
    EXPECT_TRUE(p->FindDYOtherPixel(3, y, ZuColorPixel(0x0000FF00u), 1, found));
    EXPECT_EQ(y, 8);
    EXPECT_EQ(static_cast<unsigned int>(found), 0x0000FF00u);
    y = 9;
    EXPECT_TRUE(p->FindDYSamePixel(3, y, ZuColorPixel(0x0000FF00u), -1));
    EXPECT_EQ(y, 8);
    x = 9;
    EXPECT_TRUE(p->FindDXOtherPixel(x, 5, ZuColorPixel(0x00FF0000u), -1, found));
    EXPECT_EQ(x, 6);
}

// Text: the alignments put the text where the same text drawn from the left
// on its baseline lands.
class PortTextTest : public PortDrawTest {
protected:
    void SetUp() override
    {
        PortDrawTest::SetUp();
        font = NewFont("arial.ttf", 24);
        ASSERT_TRUE(font.IsValid());
        width = font->ComputeTextWidth("Hxy");
        ascent = font->RetAscent();
        descent = font->RetDescent();
        ASSERT_GT(width, 10);
        ASSERT_GT(ascent, 10);
    }
    void TearDown() override
    {
        font_man->ReleaseFont(font);
        font = ZuGrailFontNull;
        PortDrawTest::TearDown();
    }

    ZuGrailPixmapRef Text(double x, double y, ZuTextHPos h, ZuTextVPos v, double angle,
                          const char* text = "Hxy")
    {
        ZuGrailPixmapRef p = Canvas(200, 200);
        p->SetFont(font);
        ZuTextStyle style(h, v);
        style.SetAngle(angle);
        p->ShowText(x, y, ZuStringRef(text), 0, 0, style, 0);
        return p;
    }

    ZuGrailFontRef font;
    double width = 0;
    double ascent = 0;
    double descent = 0;
};

TEST_F(PortTextTest, AlignmentsAtTheThreeAngles)
{
    using H = ZuTextHPos;
    using V = ZuTextVPos;
    ZuGrailPixmapRef base = Text(50, 100, ZU_TEXT_HPOS_LEFT, ZU_TEXT_VPOS_BASE, 0);
    EXPECT_GT(CountInked(base), 20u);
    // The baseline is at y: the 'H' stands on row 99 and nothing of it is
    // on row 100.
    EXPECT_NE(Picture(base, 50, 99, 60, 99).find('#'), std::string::npos);
    EXPECT_EQ(Picture(base, 50, 100, 60, 100).find('#'), std::string::npos);

    struct Case {
        const char* what;
        double x, y;
        H h;
        V v;
        double angle;
        double ref_x, ref_y;
    } const cases[] = {
        {"right ends the text at x", 150, 100, ZU_TEXT_HPOS_RIGHT, ZU_TEXT_VPOS_BASE, 0,
         150 - width, 100},
        {"centre", 150, 100, ZU_TEXT_HPOS_CENTER, ZU_TEXT_VPOS_BASE, 0, 150 - width / 2, 100},
        {"top puts the ascent below y", 50, 60, ZU_TEXT_HPOS_LEFT, ZU_TEXT_VPOS_TOP, 0, 50,
         60 + ascent},
        {"bottom", 50, 100, ZU_TEXT_HPOS_LEFT, ZU_TEXT_VPOS_BOTTOM, 0, 50, 100 + descent},
        {"90, right", 100, 50, ZU_TEXT_HPOS_RIGHT, ZU_TEXT_VPOS_BASE, 90, 100, 50 + width},
        {"90, top", 60, 150, ZU_TEXT_HPOS_LEFT, ZU_TEXT_VPOS_TOP, 90, 60 + ascent, 150},
        {"270, right", 100, 150, ZU_TEXT_HPOS_RIGHT, ZU_TEXT_VPOS_BASE, 270, 100, 150 - width},
        {"270, top", 140, 50, ZU_TEXT_HPOS_LEFT, ZU_TEXT_VPOS_TOP, 270, 140 - ascent, 50},
    };
    for (const Case& c : cases) {
        ZuGrailPixmapRef aligned = Text(c.x, c.y, c.h, c.v, c.angle);
        ZuGrailPixmapRef reference =
            Text(c.ref_x, c.ref_y, ZU_TEXT_HPOS_LEFT, ZU_TEXT_VPOS_BASE, c.angle);
        EXPECT_GT(CountInked(aligned), 20u) << c.what;
        EXPECT_TRUE(SamePixels(aligned, reference)) << c.what;
    }
}

TEST_F(PortTextTest, TheBoxFormAnchorsInTheBox)
{
    ZuGrailPixmapRef boxed = Canvas(200, 200);
    boxed->SetFont(font);
    boxed->ShowText(10, 20, 109, 59, ZuStringRef("Hxy"), 0, 0,
                    ZuTextStyle(ZU_TEXT_HPOS_RIGHT, ZU_TEXT_VPOS_BOTTOM));
    ZuGrailPixmapRef point = Text(109, 59, ZU_TEXT_HPOS_RIGHT, ZU_TEXT_VPOS_BOTTOM, 0);
    EXPECT_TRUE(SamePixels(boxed, point));

    ZuGrailPixmapRef flat = Canvas(200, 200);
    flat->SetFont(font);
    flat->ShowText(10, 20, 10, 59, ZuStringRef("Hxy"), 0, 0, ZuTextStyle());
    EXPECT_EQ(CountInked(flat), 0u) << "a box without width shows nothing";
}

TEST_F(PortTextTest, PartsOfTextsShortAndLong)
{
    ZuGrailPixmapRef part = Canvas(200, 200);
    part->SetFont(font);
    part->ShowText(50, 100, ZuStringRef("abHxy"), 2, 0, ZuTextStyle(ZU_TEXT_VPOS_BASE), 0);
    EXPECT_TRUE(SamePixels(part, Text(50, 100, ZU_TEXT_HPOS_LEFT, ZU_TEXT_VPOS_BASE, 0)));

    ZuGrailPixmapRef past = Canvas(200, 200);
    past->SetFont(font);
    past->ShowText(50, 100, ZuStringRef("Hxy"), 3, 0, ZuTextStyle(), 0);
    EXPECT_EQ(CountInked(past), 0u);

    // 500 characters go through a block of their own; the visible start is
    // the same as that of the short text.
    std::string long_text = "Hxy" + std::string(497, ' ');
    ZuGrailPixmapRef long_one =
        Text(50, 100, ZU_TEXT_HPOS_LEFT, ZU_TEXT_VPOS_BASE, 0, long_text.c_str());
    EXPECT_TRUE(SamePixels(long_one, Text(50, 100, ZU_TEXT_HPOS_LEFT, ZU_TEXT_VPOS_BASE, 0)));

    ZuGrailPixmapRef no_font = Canvas(200, 200);
    no_font->ShowText(50, 100, ZuStringRef("Hxy"), 0, 0, ZuTextStyle(), 0);
    EXPECT_EQ(CountInked(no_font), 0u);
}

// Two threads draw texts of different lengths into pixmaps of their own,
// each with its own font, at the same time: each gets its own text.
TEST_F(PortTextTest, ThreadsDrawTextAtOnce)
{
    ZuGrailFontRef other_font = NewFont("arial.ttf", 18);
    ZuGrailPixmapRef a = Canvas(200, 60), b = Canvas(200, 60);
    ZuGrailPixmapRef ref_a = Canvas(200, 60), ref_b = Canvas(200, 60);
    a->SetFont(font);
    ref_a->SetFont(font);
    b->SetFont(other_font);
    ref_b->SetFont(other_font);
    ZuStringRef text_a("Hxy Hxy Hxy"), text_b("ab");
    ZuTextStyle style(ZU_TEXT_VPOS_BASE);
    ref_a->ShowText(0, 40, text_a, 0, 0, style, 0);
    ref_b->ShowText(0, 40, text_b, 0, 0, style, 0);

    bool same_a = true, same_b = true;
    auto draw = [&](const ZuGrailPixmapRef& p, const ZuGrailPixmapRef& ref, const ZuStringRef& text,
                    bool& same) {
        for (int i = 0; i < 40; ++i) {
            p->SetForeColor(ZuColorPixel(0x00000000u));
            p->FillRect(0, 0, 199, 59);
            p->SetForeColor(ZuColorPixel(0x00FFFFFFu));
            p->ShowText(0, 40, text, 0, 0, style, 0);
            same = same && SamePixels(p, ref);
        }
    };
    std::thread ta(draw, std::cref(a), std::cref(ref_a), std::cref(text_a), std::ref(same_a));
    std::thread tb(draw, std::cref(b), std::cref(ref_b), std::cref(text_b), std::ref(same_b));
    ta.join();
    tb.join();
    EXPECT_TRUE(same_a);
    EXPECT_TRUE(same_b);
    font_man->ReleaseFont(other_font);
}

} // namespace
