#include "ghost/gifwriter.h"

#include "w32/file.h"

#include <gif_lib.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// The whole file, or an empty vector.
std::vector<unsigned char> ReadAll(const char* name)
{
    std::vector<unsigned char> data;
    HANDLE file = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return data;
    LARGE_INTEGER size;
    // A page image beyond 1 GB is not one of ours.
    if (GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart < (1LL << 30)) {
        data.resize(static_cast<size_t>(size.QuadPart));
        DWORD done = 0;
        if (!ReadFile(file, data.data(), static_cast<DWORD>(data.size()), &done, nullptr) ||
            done != data.size())
            data.clear();
    }
    CloseHandle(file);
    return data;
}

uint32_t Le32(const std::vector<unsigned char>& d, size_t at)
{
    return static_cast<uint32_t>(d[at]) | (static_cast<uint32_t>(d[at + 1]) << 8) |
           (static_cast<uint32_t>(d[at + 2]) << 16) | (static_cast<uint32_t>(d[at + 3]) << 24);
}

unsigned Le16(const std::vector<unsigned char>& d, size_t at)
{
    return static_cast<unsigned>(d[at]) | (static_cast<unsigned>(d[at + 1]) << 8);
}

struct Image {
    int width = 0;
    int height = 0;
    int colours = 0; // entries of the palette, a power of two
    GifColorType palette[256];
    std::vector<GifPixelType> indices; // top row first
};

bool ParseBmp(const std::vector<unsigned char>& d, Image& image)
{
    if (d.size() < 54 || d[0] != 'B' || d[1] != 'M')
        return false;
    uint32_t offset = Le32(d, 10);
    uint32_t header = Le32(d, 14);
    int32_t w = static_cast<int32_t>(Le32(d, 18));
    int32_t h = static_cast<int32_t>(Le32(d, 22));
    unsigned bits = Le16(d, 28);
    uint32_t compression = Le32(d, 30);
    uint32_t used = Le32(d, 46);
    if (header < 40 || header > d.size() - 14 || compression != 0 || (bits != 1 && bits != 8))
        return false;
    bool top_first = h < 0;
    int64_t height = top_first ? -static_cast<int64_t>(h) : h;
    if (w <= 0 || w > 65535 || height <= 0 || height > 65535)
        return false;
    uint32_t max_colours = 1u << bits;
    if (used == 0 || used > max_colours)
        used = max_colours;
    size_t palette_at = 14 + static_cast<size_t>(header);
    if (palette_at + 4 * static_cast<size_t>(used) > d.size())
        return false;
    image.width = static_cast<int>(w);
    image.height = static_cast<int>(height);
    image.colours = static_cast<int>(max_colours);
    for (uint32_t i = 0; i < max_colours; ++i) {
        if (i < used) {
            image.palette[i].Blue = d[palette_at + 4 * i];
            image.palette[i].Green = d[palette_at + 4 * i + 1];
            image.palette[i].Red = d[palette_at + 4 * i + 2];
        } else {
            image.palette[i].Red = image.palette[i].Green = image.palette[i].Blue = 0;
        }
    }
    size_t row_bytes = ((static_cast<size_t>(w) * bits + 31) / 32) * 4;
    if (offset > d.size() || row_bytes * static_cast<size_t>(height) > d.size() - offset)
        return false;
    image.indices.resize(static_cast<size_t>(w) * static_cast<size_t>(height));
    for (int64_t r = 0; r < height; ++r) {
        int64_t stored = top_first ? r : height - 1 - r;
        const unsigned char* src = d.data() + offset + static_cast<size_t>(stored) * row_bytes;
        GifPixelType* dst = image.indices.data() + static_cast<size_t>(r) * static_cast<size_t>(w);
        for (int32_t x = 0; x < w; ++x) {
            unsigned v = bits == 8 ? src[x] : (src[x >> 3] >> (7 - (x & 7))) & 1u;
            dst[x] = static_cast<GifPixelType>(v < used ? v : 0);
        }
    }
    return true;
}

int WriteToFile(GifFileType* gif, const GifByteType* bytes, int length)
{
    HANDLE file = static_cast<HANDLE>(gif->UserData);
    DWORD done = 0;
    if (length <= 0)
        return 0;
    if (!WriteFile(file, bytes, static_cast<DWORD>(length), &done, nullptr))
        return 0;
    return static_cast<int>(done);
}

bool Encode(Image& image, HANDLE file)
{
    int error = 0;
    GifFileType* gif = EGifOpen(file, WriteToFile, &error);
    if (!gif)
        return false;
    bool ok = false;
    ColorMapObject* map = GifMakeMapObject(image.colours, image.palette);
    if (map && EGifPutScreenDesc(gif, image.width, image.height, 8, 0, map) == GIF_OK &&
        EGifPutImageDesc(gif, 0, 0, image.width, image.height, false, nullptr) == GIF_OK) {
        ok = true;
        for (int r = 0; r < image.height && ok; ++r)
            ok = EGifPutLine(gif, image.indices.data() + static_cast<size_t>(r) * image.width,
                             image.width) == GIF_OK;
    }
    if (map)
        GifFreeMapObject(map);
    if (EGifCloseFile(gif, &error) != GIF_OK)
        ok = false;
    return ok;
}

} // namespace

bool GSWriteGifFromBmp(const char* bmp_name, const char* gif_name)
{
    if (!bmp_name || !gif_name)
        return false;
    Image image;
    std::vector<unsigned char> data = ReadAll(bmp_name);
    if (!ParseBmp(data, image)) {
        DeleteFileA(gif_name);
        return false;
    }
    data.clear();
    HANDLE file = CreateFileA(gif_name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool ok = Encode(image, file) && FlushFileBuffers(file);
    CloseHandle(file);
    if (!ok)
        DeleteFileA(gif_name);
    return ok;
}
