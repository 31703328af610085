#ifndef TESTS_SUPPORT_IMAGEFILES_H
#define TESTS_SUPPORT_IMAGEFILES_H

// Real image files for the readers' tests: PNGs written by libpng and GIFs
// written by giflib, and giflib's own decoding of a GIF as the reference
// index image.

#include <cstdint>
#include <string>
#include <vector>

struct TestRgb {
    unsigned char r, g, b;
};

// ---- PNG ----

struct TestPngText {
    enum Kind { PLAIN, COMPRESSED, INTERNATIONAL }; // tEXt, zTXt, iTXt
    Kind kind;
    std::string key;
    std::string text;
};

struct TestPng {
    unsigned width = 1;
    unsigned height = 1;
    int colour_type = 2; // 0 grey, 2 RGB, 3 palette, 4 grey + alpha, 6 RGBA
    int bit_depth = 8;
    bool interlaced = false;
    // Samples in file order, width x height x channels (palette: indices),
    // each below 2^bit_depth.
    std::vector<std::uint16_t> samples;
    std::vector<TestRgb> palette;
    std::vector<unsigned char> palette_alpha; // a tRNS chunk when not empty
    // Grey (one value) or red, green, blue: a tRNS chunk when not empty.
    std::vector<std::uint16_t> key;
    int filters = 0;                // the writer's PNG_FILTER_* choice; 0 its own
    std::size_t idat_bytes = 0;     // the longest IDAT chunk; 0 the writer's own
    std::vector<TestPngText> texts; // before the image data
};

// Channels of a colour type.
unsigned TestPngChannels(int colour_type);
// The file's bytes.
std::vector<unsigned char> WriteTestPng(const TestPng& png);

// libpng's own decoding of the file into one buffer, with the library's
// transformations: every pixel as blue, green, red, alpha, row after row.
// False when libpng refuses the file.
bool ReadTestPngPixels(const std::vector<unsigned char>& file, std::vector<unsigned char>& pixels);

// A grey 8-bit PNG of zeros of any size, its image data deflated in pieces
// (no buffer of the image's size is ever made).
std::vector<unsigned char> WriteZeroPng(unsigned width, unsigned height);

// ---- GIF ----

struct TestGifExtension {
    int code; // 0xF9 graphic control, 0xFE comment, 0xFF application ...
    std::vector<std::vector<unsigned char>> blocks;
};

struct TestGifImage {
    int width = 1;
    int height = 1;
    bool interlaced = false;
    std::vector<TestRgb> local_table; // none when empty
    // Rows top to bottom, whatever the interlacing.
    std::vector<unsigned char> indices;
};

struct TestGif {
    bool gif89 = true;
    int screen_width = 1;
    int screen_height = 1;
    std::vector<TestRgb> global_table;        // none when empty
    std::vector<TestGifExtension> extensions; // before the first image
    std::vector<TestGifImage> images;
};

// The file's bytes as giflib writes them.
std::vector<unsigned char> WriteTestGif(const TestGif& gif);

// giflib's decoding of the first image: its index rows top to bottom and
// its width and height. False when giflib refuses the file.
bool ReadTestGifIndices(const std::vector<unsigned char>& file, std::vector<unsigned char>& indices,
                        int& width, int& height);

// Writes bytes into a file; true when all were written.
bool WriteTestFile(const std::string& path, const std::vector<unsigned char>& bytes);

#endif
