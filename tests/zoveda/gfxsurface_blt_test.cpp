#include "zoveda/gfxsurface.h"

#include <cstring>
#include <vector>

#include "tests/zoveda/gfxtest.h"

namespace {

class GfxSurfaceBltTest : public GfxTest {
protected:
    enum Format { F565, F555, F24, F32 };

    static unsigned Bytes(Format f) { return f == F24 ? 3 : f == F32 ? 4 : 2; }

    static void Blt(const GfxSurface* s, Format f, unsigned x, unsigned y, unsigned dx, unsigned dy,
                    void* dest, unsigned pitch)
    {
        switch (f) {
        case F565:
            s->QuickBltTo565(x, y, dx, dy, dest, pitch);
            break;
        case F555:
            s->QuickBltTo555(x, y, dx, dy, dest, pitch);
            break;
        case F24:
            s->QuickBltTo24(x, y, dx, dy, dest, pitch);
            break;
        case F32:
            s->QuickBltTo32(x, y, dx, dy, dest, pitch);
            break;
        }
    }

    static unsigned Pixel(const std::vector<unsigned char>& buffer, Format f, size_t at)
    {
        unsigned v = 0;
        for (unsigned b = 0; b < Bytes(f); ++b) {
            v |= unsigned(buffer[at + b]) << (8 * b);
        }
        return v;
    }

    // The pixel formulas of the scalar rows: from a 32-bit pixel, and from
    // a 565 word (each channel's top bits repeated below it).
    static unsigned Expected(unsigned depth, Format f, unsigned p)
    {
        auto expand = [](unsigned v, unsigned bits) {
            return bits == 5 ? (v << 3 | v >> 2) : (v << 2 | v >> 4);
        };
        unsigned c = p & 0xFFFFFF;
        if (depth == 16) {
            if (f == F565)
                return p & 0xFFFF;
            if (f == F555)
                return ((p >> 1) & 0x7FE0) | (p & 0x1F);
            c = expand(p >> 11 & 31, 5) << 16 | expand(p >> 5 & 63, 6) << 8 | expand(p & 31, 5);
        }
        switch (f) {
        case F565:
            return (c >> 19) << 11 | (c >> 10 & 63) << 5 | (c >> 3 & 31);
        case F555:
            return (c >> 19) << 10 | (c >> 11 & 31) << 5 | (c >> 3 & 31);
        default:
            return c;
        }
    }
};

TEST_F(GfxSurfaceBltTest, PixelConversions)
{
    struct Case {
        unsigned depth;
        unsigned code; // the stored pixel
        Format format;
        unsigned result;
    } cases[] = {
        {32, 0x00FFFFFF, F565, 0xFFFF},  {32, 0x00FFFFFF, F555, 0x7FFF},
        {32, 0x00FF0000, F565, 0xF800},  {32, 0x00FF0000, F555, 0x7C00},
        {32, 0x0000FF00, F565, 0x07E0},  {32, 0x000000FF, F555, 0x001F},
        {16, 0xFFFF, F555, 0x7FFF},      {16, 0x07E0, F555, 0x03E0},
        {16, 0xF81F, F555, 0x7C1F},      {16, 0x1234, F565, 0x1234},
        {32, 0xAB123456, F24, 0x123456}, {16, 0xF800, F24, 0xFF0000},
        {16, 0x07E0, F24, 0x00FF00},     {32, 0xAB123456, F32, 0x00123456},
        {16, 0x8410, F32, 0x00848284},   {16, 0x001F, F32, 0x000000FF},
    };
    for (const Case& c : cases) {
        GfxSurface* s = Make(c.depth, 2, 1);
        s->SetAlpha(0xFF); // the screen never sees a transparency
        if (c.depth == 16) {
            reinterpret_cast<unsigned short*>(s->Line(0))[1] = static_cast<unsigned short>(c.code);
        } else {
            reinterpret_cast<unsigned*>(s->Line(0))[1] = c.code;
        }
        std::vector<unsigned char> out(Bytes(c.format), 0xCD);
        Blt(s, c.format, 1, 0, 1, 1, out.data(), Bytes(c.format));
        EXPECT_EQ(Pixel(out, c.format, 0), c.result)
            << std::hex << c.depth << " " << c.code << " " << c.format;
    }
}

// Each writes exactly dx pixels a row from the start of each destination row
// (a buffer of exactly that size, so that ASan sees any overrun), and leaves
// the bytes between rows alone.
TEST_F(GfxSurfaceBltTest, WritesExactlyTheRectangle)
{
    for (unsigned depth : {32u, 16u}) {
        GfxSurface* s = Make(depth, 40, 9);
        for (int y = 0; y < 9; ++y) {
            for (int x = 0; x < 40; ++x) {
                s->SetPixelRGB(x, y,
                               static_cast<unsigned>(x * 6) << 16 |
                                   static_cast<unsigned>(y * 28) << 8 | 0xF8);
            }
        }
        for (Format f : {F565, F555, F24, F32}) {
            const unsigned dx = 19;
            const unsigned dy = 5;
            std::vector<unsigned char> tight(dx * Bytes(f) * dy);
            Blt(s, f, 3, 2, dx, dy, tight.data(), dx * Bytes(f));

            const unsigned pitch = dx * Bytes(f) + 5;
            std::vector<unsigned char> padded(pitch * dy, 0xCD);
            Blt(s, f, 3, 2, dx, dy, padded.data(), pitch);
            for (unsigned r = 0; r < dy; ++r) {
                EXPECT_EQ(std::memcmp(&padded[r * pitch], &tight[r * dx * Bytes(f)], dx * Bytes(f)),
                          0);
                for (unsigned b = dx * Bytes(f); b < pitch; ++b) {
                    EXPECT_EQ(padded[r * pitch + b], 0xCD);
                }
            }
            // The last pixel of the last row comes from (21, 6).
            const unsigned expected_word = s->RetPixelRGB(21, 6) & 0xFFFFFF;
            const unsigned last = Pixel(tight, f, tight.size() - Bytes(f));
            if (f == F24 || f == F32) {
                EXPECT_EQ(last, expected_word) << depth << " " << f;
            } else if (f == F565 && depth == 32) {
                EXPECT_EQ(last,
                          (expected_word >> 19) << 11 | ((expected_word >> 10) & 63) << 5 | 0x1F);
            }
        }
    }
}

TEST_F(GfxSurfaceBltTest, NothingToWrite)
{
    GfxSurface* grey = Make(8, 4, 4);
    grey->RectFill(0, 0, 4, 4, 0x00FFFFFF);
    GfxSurface* colour = Make(32, 4, 4);
    colour->RectFill(0, 0, 4, 4, 0x00FFFFFF);
    for (Format f : {F565, F555, F24, F32}) {
        std::vector<unsigned char> out(64, 0xCD);
        Blt(grey, f, 0, 0, 4, 4, out.data(), 16);   // 1-byte surfaces
        Blt(colour, f, 0, 0, 4, 0, out.data(), 16); // dy 0
        Blt(colour, f, 4, 0, 4, 4, out.data(), 16); // past the surface
        Blt(colour, f, 0, 0, 4, 4, nullptr, 16);
        EXPECT_EQ(out, std::vector<unsigned char>(64, 0xCD)) << f;
        // A rectangle reaching past the surface is cut at it.
        Blt(colour, f, 2, 3, 100, 100, out.data(), 16);
        EXPECT_NE(out[0], 0xCD);
        EXPECT_EQ(out[2 * Bytes(f)], 0xCD);
        EXPECT_EQ(out[16], 0xCD);
    }
}

// Every screen copy against the pixel formulas, word for word: widths on
// either side of the vector steps, sources starting at every pixel of a
// 16-byte line, destinations at every byte offset, and pixels of every
// value (the transparency byte too, which no copy shows).
TEST_F(GfxSurfaceBltTest, ScreenCopiesMatchThePixelFormulasAtEveryAlignment)
{
    const unsigned width = 48;
    const unsigned height = 3;
    std::vector<unsigned> words(width * height);
    unsigned seed = 7;
    for (unsigned& w : words) {
        seed = seed * 1103515245u + 12345u;
        w = seed ^ (seed >> 13) * 2654435761u;
    }
    for (unsigned depth : {32u, 16u}) {
        GfxSurface* s = Make(depth, width, height);
        for (unsigned y = 0; y < height; ++y) {
            for (unsigned x = 0; x < width; ++x) {
                const unsigned w = words[y * width + x];
                if (depth == 16)
                    reinterpret_cast<unsigned short*>(s->Line(int(y)))[x] = (unsigned short)w;
                else
                    reinterpret_cast<unsigned*>(s->Line(int(y)))[x] = w;
            }
        }
        for (Format f : {F565, F555, F24, F32}) {
            for (unsigned x = 0; x < 4; ++x) {
                for (unsigned dx : {1u, 3u, 7u, 8u, 9u, 15u, 17u, 31u, 33u, 41u}) {
                    for (unsigned offset = 0; offset < 16; offset += (dx == 17 ? 1 : 5)) {
                        SCOPED_TRACE(testing::Message()
                                     << depth << " bits, format " << f << ", x " << x << ", dx "
                                     << dx << ", offset " << offset);
                        const unsigned pitch = dx * Bytes(f) + 3;
                        std::vector<unsigned char> out(offset + pitch * height, 0xCD);
                        Blt(s, f, x, 0, dx, height, out.data() + offset, pitch);
                        for (unsigned y = 0; y < height; ++y) {
                            for (unsigned i = 0; i < dx; ++i) {
                                const unsigned p = words[y * width + x + i];
                                const unsigned want =
                                    Expected(depth, f, depth == 16 ? (p & 0xFFFF) : p);
                                ASSERT_EQ(Pixel(out, f, offset + y * pitch + i * Bytes(f)), want)
                                    << std::hex << "pixel " << i << " row " << y << " of " << p;
                            }
                        }
                    }
                }
            }
        }
    }
}

// Copies from a 16-bit surface: every 565 word through each format, from
// every source pixel of a 32-byte line (the widest vector step) to every
// destination byte offset, with the width left at each start (odd and
// even, so every vector loop ends in its scalar tail), against the
// formulas word for word.
TEST_F(GfxSurfaceBltTest, SixteenBitCopiesMatchTheFormulasForEveryWord)
{
    const unsigned width = 256 + 17;
    const unsigned height = 256;
    GfxSurface* s = Make(16, width, height);
    auto word = [](unsigned x, unsigned y) { return (y << 8 | x) & 0xFFFF; };
    for (unsigned y = 0; y < height; ++y) {
        for (unsigned x = 0; x < width; ++x)
            reinterpret_cast<unsigned short*>(s->Line(int(y)))[x] =
                static_cast<unsigned short>(word(x, y));
    }
    for (Format f : {F565, F555, F24, F32}) {
        for (unsigned x = 0; x <= 16; ++x) {
            const unsigned dx = width - x;
            const unsigned offset = x % 8;
            const unsigned pitch = dx * Bytes(f) + 1;
            std::vector<unsigned char> out(offset + pitch * height + 8, 0xCD);
            Blt(s, f, x, 0, dx, height, out.data() + offset, pitch);
            unsigned wrong = 0;
            for (unsigned y = 0; y < height; ++y) {
                for (unsigned i = 0; i < dx; ++i) {
                    const unsigned p = word(x + i, y);
                    const unsigned got = Pixel(out, f, offset + y * pitch + i * Bytes(f));
                    if (got != Expected(16, f, p) && wrong++ == 0)
                        ADD_FAILURE() << std::hex << "format " << f << " x " << x << " word " << p
                                      << ": " << got << " for " << Expected(16, f, p);
                }
                EXPECT_EQ(out[offset + y * pitch + dx * Bytes(f)], 0xCD);
            }
            EXPECT_EQ(wrong, 0u) << "format " << f << " x " << x;
        }
    }
}

} // namespace
