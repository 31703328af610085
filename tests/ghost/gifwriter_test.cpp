#include "ghost/gifwriter.h"

#include "tests/support/scratchdir.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace {

void Put32(std::vector<unsigned char>& d, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        d[at + i] = static_cast<unsigned char>(v >> (8 * i));
}

// A 3 x 2 BMP: bottom row first, rows padded to 4 bytes; 8 bits with a
// 4-colour palette, or 1 bit with 2 colours.
std::vector<unsigned char> Bmp(int bits, int32_t height = 2)
{
    int colours = bits == 8 ? 4 : 2;
    size_t offset = 14 + 40 + 4 * colours;
    std::vector<unsigned char> d(offset + 8, 0);
    d[0] = 'B';
    d[1] = 'M';
    Put32(d, 2, static_cast<uint32_t>(d.size()));
    Put32(d, 10, static_cast<uint32_t>(offset));
    Put32(d, 14, 40);
    Put32(d, 18, 3);
    Put32(d, 22, static_cast<uint32_t>(height));
    d[26] = 1;
    d[28] = static_cast<unsigned char>(bits);
    Put32(d, 46, static_cast<uint32_t>(colours));
    for (int i = 0; i < colours; ++i) {
        d[54 + 4 * i] = static_cast<unsigned char>(10 * i);     // blue
        d[54 + 4 * i + 1] = static_cast<unsigned char>(20 * i); // green
        d[54 + 4 * i + 2] = static_cast<unsigned char>(30 * i); // red
    }
    if (bits == 8) {
        unsigned char rows[8] = {0, 1, 2, 0, 3, 2, 1, 0}; // bottom row, then top row
        for (int i = 0; i < 8; ++i)
            d[offset + i] = rows[i];
    } else {
        d[offset] = 0xA0;     // bottom: 1 0 1
        d[offset + 4] = 0x40; // top: 0 1 0
    }
    return d;
}

void Write(const std::string& name, const std::vector<unsigned char>& d)
{
    std::ofstream(name, std::ios::binary)
        .write(reinterpret_cast<const char*>(d.data()), static_cast<std::streamsize>(d.size()));
}

bool Exists(const std::string& name)
{
    return std::ifstream(name).good();
}

} // namespace

TEST(GifWriterTest, EncodesPaletteImagesTopRowFirst)
{
    ScratchDir dir;
    struct {
        int bits;
        std::vector<int> indices; // top row first
        int colours;
    } const cases[] = {{8, {3, 2, 1, 0, 1, 2}, 4}, {1, {0, 1, 0, 1, 0, 1}, 2}};
    for (const auto& c : cases) {
        Write("in.bmp", Bmp(c.bits));
        ASSERT_TRUE(GSWriteGifFromBmp("in.bmp", "out.gif")) << c.bits;
        int error = 0;
        GifFileType* gif = DGifOpenFileName("out.gif", &error);
        ASSERT_NE(gif, nullptr);
        ASSERT_EQ(DGifSlurp(gif), GIF_OK);
        ASSERT_EQ(gif->SWidth, 3);
        ASSERT_EQ(gif->SHeight, 2);
        ASSERT_EQ(gif->SColorMap->ColorCount, c.bits == 8 ? 256 : 2);
        for (int i = 0; i < 6; ++i) {
            int index = gif->SavedImages[0].RasterBits[i];
            EXPECT_EQ(index, c.indices[static_cast<size_t>(i)]) << c.bits << " " << i;
            EXPECT_EQ(gif->SColorMap->Colors[index].Red, 30 * index);
            EXPECT_EQ(gif->SColorMap->Colors[index].Blue, 10 * index);
        }
        DGifCloseFile(gif, &error);
    }
}

TEST(GifWriterTest, RefusesWhatIsNotAPaletteBmp)
{
    ScratchDir dir;
    std::vector<unsigned char> cut = Bmp(8);
    cut.resize(cut.size() - 3);
    std::vector<unsigned char> rgb = Bmp(8);
    rgb[28] = 24;
    std::vector<unsigned char> rle = Bmp(8);
    rle[30] = 1;
    std::vector<unsigned char> offset = Bmp(8);
    Put32(offset, 10, 0xFFFFFFF0u);
    std::vector<unsigned char> header = Bmp(8);
    Put32(header, 14, 0x7FFFFFFFu);
    std::vector<unsigned char> not_bmp = Bmp(8);
    not_bmp[0] = 'X';
    for (const auto& d : {cut, rgb, rle, offset, header, not_bmp, std::vector<unsigned char>()}) {
        Write("in.bmp", d);
        Write("out.gif", {1, 2, 3});
        EXPECT_FALSE(GSWriteGifFromBmp("in.bmp", "out.gif"));
        EXPECT_FALSE(Exists("out.gif"));
    }
    EXPECT_FALSE(GSWriteGifFromBmp("missing.bmp", "out.gif"));
    // A BMP stored top row first reads the same.
    Write("in.bmp", Bmp(8, -2));
    EXPECT_TRUE(GSWriteGifFromBmp("in.bmp", "out.gif"));
}
