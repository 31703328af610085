#include "sd/common/sd_pngreader.h"

#include <png.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

// ---- Rows -------------------------------------------------------------------

bool PngRowBuffer::Allocate(unsigned w, unsigned h, std::size_t row_bytes)
{
    Free();
    if (h == 0 || row_bytes == 0 || row_bytes > SIZE_MAX / h)
        return false;
    block = static_cast<unsigned char*>(std::malloc(row_bytes * h));
    if (block == nullptr)
        return false;
    bytes_per_row = row_bytes;
    width = w;
    height = h;
    return true;
}

void PngRowBuffer::Free()
{
    std::free(block);
    block = nullptr;
    bytes_per_row = 0;
    width = 0;
    height = 0;
}

// ---- Decoder callbacks ------------------------------------------------------

namespace {

// Errors jump back to the reader's jump point at once; nothing is printed.
void SilentError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void SilentWarning(png_structp, png_const_charp) {}

// Whether every chunk up to IEND lies inside the data. The decoder allocates
// a chunk's declared length before it reads the chunk, so a damaged length
// in a small file could otherwise ask for gigabytes; a file whose chunks run
// past its end is truncated and would fail anyway.
bool ChunksFit(const unsigned char* bytes, std::size_t size)
{
    std::size_t pos = 8; // the signature
    while (size >= pos && size - pos >= 12) {
        const std::size_t length = std::size_t(bytes[pos]) << 24 |
                                   std::size_t(bytes[pos + 1]) << 16 |
                                   std::size_t(bytes[pos + 2]) << 8 | bytes[pos + 3];
        if (length > size - pos - 12)
            return false;
        const bool end = std::memcmp(bytes + pos + 4, "IEND", 4) == 0;
        pos += 12 + length;
        if (end)
            return true;
    }
    return false;
}

void ReadFromMemory(png_structp png, png_bytep out, png_size_t n)
{
    PngReader* reader = static_cast<PngReader*>(png_get_io_ptr(png));
    if (reader == nullptr || !reader->TakeSource(out, n))
        png_error(png, "read past the end of the data");
}

png_voidp DecoderAlloc(png_structp png, png_alloc_size_t n)
{
    return static_cast<PngReader*>(png_get_mem_ptr(png))->Allocate(n);
}

void DecoderFree(png_structp png, png_voidp p)
{
    static_cast<PngReader*>(png_get_mem_ptr(png))->Release(p);
}

// Each block of the decoder's starts with its size, kept in a header that
// keeps the block aligned for any type.
const std::size_t kHeader = alignof(std::max_align_t) > sizeof(std::size_t)
                                ? alignof(std::max_align_t)
                                : sizeof(std::size_t);

} // namespace

// ---- Reader -----------------------------------------------------------------

PngReader::PngReader()
    : width(0), height(0), held_bytes(0), peak_bytes(0), source(nullptr), position(0), size(0),
      text_count(0), keywords(nullptr), texts(nullptr), text_block(nullptr), text_bytes(0)
{}

PngReader::~PngReader()
{
    rows.Free();
    DropTexts();
}

bool PngReader::TakeSource(unsigned char* out, std::size_t n)
{
    if (source == nullptr || n > size - position)
        return false;
    std::memcpy(out, source + position, n);
    position += n;
    return true;
}

void PngReader::Count(std::ptrdiff_t bytes)
{
    held_bytes = std::size_t(std::ptrdiff_t(held_bytes) + bytes);
    if (held_bytes > peak_bytes)
        peak_bytes = held_bytes;
}

void* PngReader::Allocate(std::size_t n)
{
    if (n > SIZE_MAX - kHeader)
        return nullptr;
    unsigned char* p = static_cast<unsigned char*>(std::malloc(n + kHeader));
    if (p == nullptr)
        return nullptr;
    std::memcpy(p, &n, sizeof n);
    Count(std::ptrdiff_t(n));
    return p + kHeader;
}

void PngReader::Release(void* block)
{
    if (block == nullptr)
        return;
    unsigned char* p = static_cast<unsigned char*>(block) - kHeader;
    std::size_t n = 0;
    std::memcpy(&n, p, sizeof n);
    Count(-std::ptrdiff_t(n));
    std::free(p);
}

void PngReader::DropTexts()
{
    Count(-std::ptrdiff_t(text_bytes));
    text_bytes = 0;
    std::free(text_block);
    text_block = nullptr;
    keywords = nullptr;
    texts = nullptr;
    text_count = 0;
}

void PngReader::KeepTexts(const void* table, int count)
{
    DropTexts();
    if (table == nullptr || count <= 0)
        return;
    const png_text* chunks = static_cast<const png_text*>(table);
    // Two pointers per chunk (sized by the pointer size), then the strings.
    std::size_t bytes = 2 * sizeof(char*) * static_cast<std::size_t>(count);
    for (int i = 0; i < count; ++i) {
        const char* key = chunks[i].key != nullptr ? chunks[i].key : "";
        const char* text = chunks[i].text != nullptr ? chunks[i].text : "";
        bytes += std::strlen(key) + std::strlen(text) + 2;
    }
    void* block = std::malloc(bytes);
    if (block == nullptr)
        return;
    char** keys = static_cast<char**>(block);
    char** values = keys + count;
    char* strings = reinterpret_cast<char*>(values + count);
    for (int i = 0; i < count; ++i) {
        const char* key = chunks[i].key != nullptr ? chunks[i].key : "";
        const char* text = chunks[i].text != nullptr ? chunks[i].text : "";
        std::size_t n = std::strlen(key) + 1;
        std::memcpy(strings, key, n);
        keys[i] = strings;
        strings += n;
        n = std::strlen(text) + 1;
        std::memcpy(strings, text, n);
        values[i] = strings;
        strings += n;
    }
    text_block = block;
    text_bytes = bytes;
    Count(std::ptrdiff_t(bytes));
    keywords = keys;
    texts = values;
    text_count = static_cast<unsigned>(count);
}

bool PngReader::GetText(unsigned index, const char*& keyword, const char*& text) const
{
    if (index >= text_count)
        return false;
    keyword = keywords[index];
    text = texts[index];
    return true;
}

// The reader's own rows: one block, allocated once the size is known.
class PngReader::OwnRows : public PngRowTarget {
public:
    explicit OwnRows(PngReader& reader_) : reader(reader_) {}
    bool Begin(unsigned w, unsigned h) override
    {
        if (!reader.rows.Allocate(w, h, std::size_t(w) * 4))
            return false;
        reader.Count(std::ptrdiff_t(reader.rows.bytes_per_row * h));
        return true;
    }
    unsigned char* Row(unsigned y) override { return reader.rows.Row(y); }

private:
    PngReader& reader;
};

bool PngReader::ReadPngFromMemory(const unsigned char* bytes, std::size_t n)
{
    rows.Free();
    OwnRows target(*this);
    return Decode(bytes, n, target);
}

bool PngReader::ReadPngFromMemory(const unsigned char* bytes, std::size_t n, PngRowTarget& target)
{
    rows.Free();
    return Decode(bytes, n, target);
}

bool PngReader::Decode(const unsigned char* bytes, std::size_t n, PngRowTarget& target)
{
    source = bytes;
    position = 0;
    size = bytes != nullptr ? n : 0;
    width = height = 0;
    DropTexts();
    held_bytes = peak_bytes = 0;
    if (bytes == nullptr || !ChunksFit(bytes, n)) {
        source = nullptr;
        return false;
    }

    png_structp png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, this, SilentError,
                                               SilentWarning, this, DecoderAlloc, DecoderFree);
    if (png == nullptr)
        return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        rows.Free();
        DropTexts();
        width = height = 0;
        source = nullptr;
        return false;
    }
    png_set_user_limits(png, static_cast<png_uint_32>(ZU_IMAGE_MAX_PIXELS),
                        static_cast<png_uint_32>(ZU_IMAGE_MAX_PIXELS));
    // A chunk's declared length is allocated before its bytes are read: a
    // few damaged bytes must not ask for gigabytes.
    png_set_chunk_malloc_max(png, ZU_PNG_MAX_CHUNK_BYTES);
    png_set_read_fn(png, this, ReadFromMemory);
    png_read_info(png, info);

    const png_uint_32 w = png_get_image_width(png, info);
    const png_uint_32 h = png_get_image_height(png, info);
    if (w == 0 || h == 0 || std::uint64_t(w) * h > ZU_IMAGE_MAX_PIXELS)
        png_error(png, "image too large");

    const int bit_depth = png_get_bit_depth(png, info);
    const int colour_type = png_get_color_type(png, info);
    png_set_expand(png);
    if (bit_depth == 16)
        png_set_strip_16(png);
    if (colour_type == PNG_COLOR_TYPE_GRAY || colour_type == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    png_set_bgr(png);
    if ((colour_type & PNG_COLOR_MASK_ALPHA) == 0 && !png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    const int passes = png_set_interlace_handling(png);

    png_textp text_table = nullptr;
    int count = 0;
    png_get_text(png, info, &text_table, &count);
    KeepTexts(text_table, count);

    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != std::size_t(w) * 4 || !target.Begin(w, h))
        png_error(png, "no rows");

    // Row by row into place: an interlaced image visits every row once per
    // pass, each pass adding its pixels to what the row holds.
    for (int pass = 0; pass < passes; ++pass) {
        for (png_uint_32 y = 0; y < h; ++y) {
            unsigned char* row = target.Row(y);
            if (row == nullptr)
                png_error(png, "no row");
            png_read_row(png, row, nullptr);
        }
    }
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    source = nullptr;
    width = w;
    height = h;
    return true;
}
