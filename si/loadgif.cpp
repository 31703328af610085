#include "si/loadgif.h"

#include <cstring>

#include "sd/common/sd_file.h"
#include "sd/common/sd_pngreader.h"
#include "si/classfactory.h"
#include "si/error.h"
#include "si/memzone.h"

namespace {

// Files above this size are not images the library could accept.
const std::uint64_t kMaxFileBytes = std::uint64_t(1) << 30;
// Spare zero bytes after the gathered code data: a code is read with up to
// three byte loads from its first byte.
const std::size_t kSpare = 256;

// The colours of a file without any colour table, entry i taking colour
// i mod 16.
const unsigned char kBuiltInColours[16][3] = {
    {0, 0, 0},       {0, 0, 128},     {0, 128, 0},     {0, 128, 128},
    {128, 0, 0},     {128, 0, 128},   {128, 128, 0},   {200, 200, 200},
    {100, 100, 100}, {100, 100, 255}, {100, 255, 100}, {100, 255, 255},
    {255, 100, 100}, {255, 100, 255}, {255, 255, 100}, {255, 255, 255},
};

void* Allocate(std::size_t size, const char* name)
{
    if (size == 0 || size > 0xFFFFFFFFu - 64)
        return nullptr;
    return Zuvi_app_zone->Alloc(static_cast<unsigned>(size), name, __LINE__, ZU_SRC_FILE);
}

void Release(void* pointer)
{
    if (pointer != nullptr)
        Zuvi_app_zone->Free(pointer, __LINE__, ZU_SRC_FILE);
}

// Passes sub-blocks from `pos` up to and including the block of length 0;
// false when the data ends first.
bool SkipSubBlocks(const unsigned char* bytes, std::size_t size, std::size_t& pos)
{
    for (;;) {
        if (pos >= size)
            return false;
        const std::size_t n = bytes[pos];
        pos += 1 + n;
        if (n == 0)
            return true;
    }
}

// Passes the extension blocks that start at `pos`; false when the data ends
// inside one.
bool SkipExtensions(const unsigned char* bytes, std::size_t size, std::size_t& pos)
{
    while (pos < size && bytes[pos] == 0x21) {
        if (size - pos < 3)
            return false;
        const unsigned char label = bytes[pos + 1];
        const std::size_t length = bytes[pos + 2];
        if (label == 0x52) {
            pos += length + 3;
            continue;
        }
        if (label == 0x01)
            pos += length <= 12 ? 15 : length + 3;
        else
            pos += 2;
        if (!SkipSubBlocks(bytes, size, pos))
            return false;
    }
    return pos < size;
}

void ResetCodes(GifDecoder& gif)
{
    gif.code_size = gif.initial_code_size;
    gif.code_limit = 1 << gif.code_size;
    gif.code_mask = gif.code_limit - 1;
    gif.next_free = gif.first_free;
}

// Expands the gathered code data into the index image. The codes below the
// clear code are the literal indices, whatever the size of the colour
// table; a string is walked through its prefixes down to its literal.
void Expand(GifDecoder& gif, int minimum_code_size)
{
    const std::size_t total = std::size_t(gif.width) * std::size_t(gif.height);
    std::size_t n = 0;
    auto out = [&](int index) {
        if (gif.interlaced)
            PutGifPixel(gif, index);
        else
            gif.indices[n] = static_cast<unsigned char>(index);
        ++n;
    };

    // Codes wider than 12 bits do not exist: nothing to expand.
    if (minimum_code_size > 11)
        return;
    gif.clear_code = 1 << minimum_code_size;
    gif.end_code = gif.clear_code + 1;
    gif.first_free = gif.clear_code + 2;
    gif.initial_code_size = minimum_code_size + 1;
    ResetCodes(gif);
    gif.old_code = -1; // no string yet: the next code is a literal

    while (n < total) {
        gif.code = ReadGifCode(gif);
        if (gif.code == gif.end_code)
            break;
        if (gif.code == gif.clear_code) {
            ResetCodes(gif);
            gif.old_code = -1;
            continue;
        }
        if (gif.old_code < 0) {
            // The first code of a table is a literal; anything else is damage.
            if (gif.code >= gif.clear_code)
                break;
            gif.old_code = gif.code;
            gif.first_char = gif.code & 0xFF;
            out(gif.first_char);
            continue;
        }
        if (gif.next_free > 4095)
            break; // the table is full and no clear code came

        gif.incoming_code = gif.code;
        gif.walk_code = gif.code;
        gif.stack_depth = 0;
        if (gif.code >= gif.next_free) {
            gif.stack[gif.stack_depth++] = static_cast<unsigned char>(gif.first_char);
            gif.walk_code = gif.old_code;
        }
        while (gif.walk_code >= gif.clear_code && gif.stack_depth < 4096) {
            gif.stack[gif.stack_depth++] = gif.suffix[gif.walk_code];
            gif.walk_code = gif.prefix[gif.walk_code];
        }
        if (gif.walk_code >= gif.clear_code)
            break; // a loop in a damaged table
        gif.first_char = gif.walk_code & 0xFF;
        gif.stack[gif.stack_depth++] = static_cast<unsigned char>(gif.first_char);
        while (gif.stack_depth > 0 && n < total)
            out(gif.stack[--gif.stack_depth]);

        gif.prefix[gif.next_free] = gif.old_code;
        gif.suffix[gif.next_free] = static_cast<unsigned char>(gif.first_char);
        ++gif.next_free;
        gif.old_code = gif.incoming_code;
        if (gif.next_free >= gif.code_limit && gif.code_size < 12) {
            ++gif.code_size;
            gif.code_limit <<= 1;
            gif.code_mask = gif.code_limit - 1;
        }
    }
}

} // namespace

GifDecoder* NewGifDecoder()
{
    GifDecoder* gif = static_cast<GifDecoder*>(Allocate(sizeof(GifDecoder), "GIFloader"));
    if (gif == nullptr)
        return nullptr;
    std::memset(static_cast<void*>(gif), 0, sizeof(GifDecoder));
    gif->pointer_row = -1;
    gif->old_code = -1;
    return gif;
}

void FreeGifDecoder(GifDecoder*& gif)
{
    if (gif == nullptr)
        return;
    Release(gif->code_data);
    Release(gif->indices);
    Release(gif);
    gif = nullptr;
}

int ReadGifCode(GifDecoder& gif)
{
    if (gif.code_data == nullptr || gif.bit_position >= std::uint64_t(gif.code_bytes) * 8)
        return gif.end_code;
    const std::size_t i = static_cast<std::size_t>(gif.bit_position >> 3);
    unsigned value = gif.code_data[i] | static_cast<unsigned>(gif.code_data[i + 1]) << 8;
    if (gif.code_size >= 8)
        value |= static_cast<unsigned>(gif.code_data[i + 2]) << 16;
    const int code =
        static_cast<int>((value >> (gif.bit_position & 7)) & static_cast<unsigned>(gif.code_mask));
    gif.bit_position += static_cast<unsigned>(gif.code_size);
    return code;
}

void PutGifPixel(GifDecoder& gif, int index)
{
    if (gif.indices == nullptr || gif.width <= 0)
        return;
    if (gif.row >= 0 && gif.row < gif.height && gif.column < gif.width) {
        if (gif.pointer_row != gif.row) {
            gif.row_pointer = gif.indices + std::size_t(gif.row) * std::size_t(gif.width);
            gif.pointer_row = gif.row;
        }
        gif.row_pointer[gif.column] = static_cast<unsigned char>(index);
    }
    if (++gif.column < gif.width)
        return;
    gif.column = 0;
    static const int kStart[4] = {0, 4, 2, 1};
    static const int kStep[4] = {8, 8, 4, 2};
    gif.row += kStep[gif.pass];
    // A pass ends past the last row; a pass that would start there has no
    // rows of this image, and the next one begins.
    while (gif.row >= gif.height && gif.pass < 3) {
        ++gif.pass;
        gif.row = kStart[gif.pass];
    }
}

bool DecodeGif(GifDecoder& gif, const unsigned char* bytes, std::size_t size)
{
    if (bytes == nullptr || size < 13 || size > kMaxFileBytes)
        return false;
    if (std::memcmp(bytes, "GIF87a", 6) != 0 && std::memcmp(bytes, "GIF89a", 6) != 0)
        return false;

    // Logical screen descriptor: only the flags are used.
    const unsigned screen_flags = bytes[10];
    gif.colour_bits = static_cast<int>(screen_flags & 7) + 1;
    gif.global_table = (screen_flags & 0x80) != 0;
    gif.colour_count = 1 << gif.colour_bits;
    gif.colour_mask = gif.colour_count - 1;
    std::size_t pos = 13;

    if (gif.global_table) {
        const std::size_t count = std::size_t(gif.colour_count);
        if (size - pos < 3 * count)
            return false;
        for (std::size_t i = 0; i < count; ++i, pos += 3) {
            gif.red[i] = bytes[pos];
            gif.green[i] = bytes[pos + 1];
            gif.blue[i] = bytes[pos + 2];
        }
    } else {
        for (int i = 0; i < 256; ++i) {
            gif.red[i] = kBuiltInColours[i % 16][0];
            gif.green[i] = kBuiltInColours[i % 16][1];
            gif.blue[i] = kBuiltInColours[i % 16][2];
        }
    }

    if (!SkipExtensions(bytes, size, pos) || bytes[pos] != 0x2C || size - pos < 10)
        return false;
    gif.width = bytes[pos + 5] | bytes[pos + 6] << 8;
    gif.height = bytes[pos + 7] | bytes[pos + 8] << 8;
    gif.flags = bytes[pos + 9];
    gif.interlaced = (gif.flags & 0x40) != 0;
    pos += 10;
    if (gif.width == 0 || gif.height == 0 ||
        std::uint64_t(gif.width) * std::uint64_t(gif.height) > ZU_IMAGE_MAX_PIXELS)
        return false;

    if (gif.flags & 0x80) {
        const std::size_t count = std::size_t(1) << ((gif.flags & 7) + 1);
        if (size - pos < 3 * count)
            return false;
        for (std::size_t i = 0; i < count; ++i, pos += 3) {
            gif.red[i] = bytes[pos];
            gif.green[i] = bytes[pos + 1];
            gif.blue[i] = bytes[pos + 2];
        }
    }

    // Gather the code sub-blocks into one run of bytes.
    int minimum_code_size = 12; // none: nothing to expand
    gif.code_data = static_cast<unsigned char*>(Allocate(size + kSpare, "char"));
    if (gif.code_data == nullptr)
        return false;
    gif.code_bytes = 0;
    if (pos < size) {
        minimum_code_size = bytes[pos++];
        while (pos < size) {
            const std::size_t n = bytes[pos++];
            if (n == 0)
                break;
            const std::size_t take = n < size - pos ? n : size - pos;
            std::memcpy(gif.code_data + gif.code_bytes, bytes + pos, take);
            gif.code_bytes += take;
            pos += take;
        }
    }
    std::memset(gif.code_data + gif.code_bytes, 0, kSpare);

    const std::size_t total = std::size_t(gif.width) * std::size_t(gif.height);
    gif.indices = static_cast<unsigned char*>(Allocate(total, "char"));
    if (gif.indices == nullptr)
        return false;
    std::memset(gif.indices, 0, total);
    gif.column = 0;
    gif.row = 0;
    gif.pass = 0;
    gif.pointer_row = -1;
    gif.bit_position = 0;
    Expand(gif, minimum_code_size);
    Release(gif.code_data);
    gif.code_data = nullptr;
    gif.code_bytes = 0;
    return true;
}

namespace Zuvi {

ZuGrailPixmapRef LoadGIFFromMemory(const unsigned char* bytes, std::size_t size, ZuMemZone* zone)
{
    GifDecoder* gif = NewGifDecoder();
    if (gif == nullptr)
        return ZuGrailPixmapNull;
    if (!DecodeGif(*gif, bytes, size)) {
        FreeGifDecoder(gif);
        return ZuGrailPixmapNull;
    }
    const int width = gif->width;
    const int height = gif->height;
    unsigned char* rows = static_cast<unsigned char*>(Allocate(3 * std::size_t(width), "Card8"));
    if (rows == nullptr) {
        FreeGifDecoder(gif);
        return ZuGrailPixmapNull;
    }
    unsigned char* red = rows;
    unsigned char* green = rows + width;
    unsigned char* blue = rows + 2 * width;

    ZuGrailPixmapRef pixmap(ZuNew<ZuGrailPixmap>(zone != nullptr ? zone : Zuvi_data_zone));
    pixmap->Initialise(0, width, height);
    pixmap->BeginDraw(0, 0, width - 1, height - 1);
    for (int y = 0; y < height; ++y) {
        const unsigned char* line = gif->indices + std::size_t(y) * std::size_t(width);
        for (int x = 0; x < width; ++x) {
            red[x] = gif->red[line[x]];
            green[x] = gif->green[line[x]];
            blue[x] = gif->blue[line[x]];
        }
        pixmap->SetRGBPixels(0, y, width, red, green, blue);
    }
    pixmap->EndDraw();
    Release(rows);
    FreeGifDecoder(gif);
    return pixmap;
}

ZuGrailPixmapRef LoadGIF(const ZuStringRef& path, ZuMemZone* zone)
{
    Zuvi_File* file = Zuvi_File::Open(path, Zuvi_FileOpenModes{ZU_FOPEN_READ});
    if (file == nullptr)
        return ZuGrailPixmapNull;
    const std::uint64_t size = file->RetSize();
    if (size == 0 || size > kMaxFileBytes) {
        Zuvi_File::Close(file);
        return ZuGrailPixmapNull;
    }
    unsigned char* bytes =
        static_cast<unsigned char*>(Allocate(static_cast<std::size_t>(size) + kSpare, "char"));
    if (bytes == nullptr) {
        Zuvi_File::Close(file);
        return ZuGrailPixmapNull;
    }
    const unsigned got = file->Read(bytes, static_cast<unsigned>(size));
    Zuvi_File::Close(file);
    ZuGrailPixmapRef pixmap;
    if (got == size)
        pixmap = LoadGIFFromMemory(bytes, static_cast<std::size_t>(size), zone);
    else
        pixmap = ZuGrailPixmapNull;
    Release(bytes);
    return pixmap;
}

} // namespace Zuvi
