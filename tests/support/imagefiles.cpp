#include "tests/support/imagefiles.h"

#include <gif_lib.h>
#include <png.h>
#include <zlib.h>

#include <cstdio>
#include <cstring>

unsigned TestPngChannels(int colour_type)
{
    switch (colour_type) {
    case 2:
        return 3;
    case 4:
        return 2;
    case 6:
        return 4;
    default:
        return 1;
    }
}

namespace {

void AppendBytes(png_structp png, png_bytep data, png_size_t n)
{
    auto* out = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + n);
}

void Flush(png_structp) {}

// One row packed at the bit depth: below 8 bits most significant first,
// 16 bits big-endian.
std::vector<unsigned char> PackRow(const TestPng& png, unsigned y)
{
    const unsigned per_row = png.width * TestPngChannels(png.colour_type);
    const std::uint16_t* s = png.samples.data() + std::size_t(y) * per_row;
    std::vector<unsigned char> row;
    if (png.bit_depth == 16) {
        for (unsigned i = 0; i < per_row; ++i) {
            row.push_back(static_cast<unsigned char>(s[i] >> 8));
            row.push_back(static_cast<unsigned char>(s[i]));
        }
    } else if (png.bit_depth == 8) {
        for (unsigned i = 0; i < per_row; ++i)
            row.push_back(static_cast<unsigned char>(s[i]));
    } else {
        const unsigned d = static_cast<unsigned>(png.bit_depth);
        row.assign((per_row * d + 7) / 8, 0);
        for (unsigned i = 0; i < per_row; ++i) {
            const unsigned bit = i * d;
            row[bit / 8] |= static_cast<unsigned char>(s[i] << (8 - d - bit % 8));
        }
    }
    return row;
}

} // namespace

std::vector<unsigned char> WriteTestPng(const TestPng& in)
{
    std::vector<unsigned char> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<std::vector<unsigned char>> rows;
    std::vector<png_bytep> row_pointers;
    std::vector<png_color> palette;
    std::vector<png_text> texts;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &out, AppendBytes, Flush);
    png_set_IHDR(png, info, in.width, in.height, in.bit_depth, in.colour_type,
                 in.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    for (const TestRgb& c : in.palette)
        palette.push_back(png_color{c.r, c.g, c.b});
    if (!palette.empty())
        png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    if (!in.palette_alpha.empty())
        png_set_tRNS(png, info, const_cast<png_bytep>(in.palette_alpha.data()),
                     static_cast<int>(in.palette_alpha.size()), nullptr);
    if (!in.key.empty()) {
        png_color_16 key;
        std::memset(&key, 0, sizeof key);
        key.gray = in.key[0];
        key.red = in.key[0];
        key.green = in.key.size() > 1 ? in.key[1] : 0;
        key.blue = in.key.size() > 2 ? in.key[2] : 0;
        png_set_tRNS(png, info, nullptr, 0, &key);
    }
    if (in.filters != 0)
        png_set_filter(png, PNG_FILTER_TYPE_BASE, in.filters);
    if (in.idat_bytes != 0)
        png_set_compression_buffer_size(png, in.idat_bytes);
    for (const TestPngText& t : in.texts) {
        png_text text;
        std::memset(&text, 0, sizeof text);
        text.compression = t.kind == TestPngText::PLAIN        ? PNG_TEXT_COMPRESSION_NONE
                           : t.kind == TestPngText::COMPRESSED ? PNG_TEXT_COMPRESSION_zTXt
                                                               : PNG_ITXT_COMPRESSION_NONE;
        text.key = const_cast<char*>(t.key.c_str());
        text.text = const_cast<char*>(t.text.c_str());
        text.text_length = t.text.size();
        if (t.kind == TestPngText::INTERNATIONAL) {
            text.lang = const_cast<char*>("fr");
            text.lang_key = const_cast<char*>("");
            text.itxt_length = t.text.size();
            text.text_length = 0;
        }
        texts.push_back(text);
    }
    if (!texts.empty())
        png_set_text(png, info, texts.data(), static_cast<int>(texts.size()));
    for (unsigned y = 0; y < in.height; ++y)
        rows.push_back(PackRow(in, y));
    for (auto& r : rows)
        row_pointers.push_back(r.data());
    png_write_info(png, info);
    png_write_image(png, row_pointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

namespace {

struct PngSource {
    const std::vector<unsigned char>* file;
    std::size_t at;
};

void ReadPngSource(png_structp png, png_bytep out, png_size_t n)
{
    auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
    if (n > source->file->size() - source->at)
        png_error(png, "past the end");
    std::memcpy(out, source->file->data() + source->at, n);
    source->at += n;
}

void PngRefuses(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void PngWarns(png_structp, png_const_charp) {}

} // namespace

bool ReadTestPngPixels(const std::vector<unsigned char>& file, std::vector<unsigned char>& pixels)
{
    PngSource source{&file, 0};
    std::vector<png_bytep> rows;
    pixels.clear();
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, PngRefuses, PngWarns);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        pixels.clear();
        return false;
    }
    png_set_user_limits(png, 1u << 26, 1u << 26);
    png_set_chunk_malloc_max(png, std::size_t(8) << 20);
    png_set_read_fn(png, &source, ReadPngSource);
    png_read_info(png, info);
    const int colour_type = png_get_color_type(png, info);
    png_set_expand(png);
    if (png_get_bit_depth(png, info) == 16)
        png_set_strip_16(png);
    if ((colour_type & PNG_COLOR_MASK_COLOR) == 0)
        png_set_gray_to_rgb(png);
    png_set_bgr(png);
    if ((colour_type & PNG_COLOR_MASK_ALPHA) == 0 && !png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    pixels.assign(std::size_t(width) * height * 4, 0);
    for (png_uint_32 y = 0; y < height; ++y)
        rows.push_back(pixels.data() + std::size_t(y) * width * 4);
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

// ---- GIF ----

namespace {

int AppendGif(GifFileType* gif, const GifByteType* data, int n)
{
    auto* out = static_cast<std::vector<unsigned char>*>(gif->UserData);
    out->insert(out->end(), data, data + n);
    return n;
}

ColorMapObject* MakeMap(const std::vector<TestRgb>& table)
{
    if (table.empty())
        return nullptr;
    std::vector<GifColorType> colours;
    for (const TestRgb& c : table)
        colours.push_back(GifColorType{c.r, c.g, c.b});
    return GifMakeMapObject(static_cast<int>(colours.size()), colours.data());
}

struct MemoryInput {
    const std::vector<unsigned char>* file;
    std::size_t pos;
};

int ReadGif(GifFileType* gif, GifByteType* out, int n)
{
    auto* in = static_cast<MemoryInput*>(gif->UserData);
    std::size_t left = in->file->size() - in->pos;
    std::size_t take = std::size_t(n) < left ? std::size_t(n) : left;
    std::memcpy(out, in->file->data() + in->pos, take);
    in->pos += take;
    return static_cast<int>(take);
}

const int kPassStart[4] = {0, 4, 2, 1};
const int kPassStep[4] = {8, 8, 4, 2};

// The rows in the order the file holds them.
std::vector<int> RowOrder(int height, bool interlaced)
{
    std::vector<int> order;
    if (!interlaced) {
        for (int y = 0; y < height; ++y)
            order.push_back(y);
        return order;
    }
    for (int pass = 0; pass < 4; ++pass)
        for (int y = kPassStart[pass]; y < height; y += kPassStep[pass])
            order.push_back(y);
    return order;
}

} // namespace

std::vector<unsigned char> WriteTestGif(const TestGif& in)
{
    std::vector<unsigned char> out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, AppendGif, &error);
    if (gif == nullptr)
        return {};
    EGifSetGifVersion(gif, in.gif89);
    bool ok = true;
    ColorMapObject* global = MakeMap(in.global_table);
    int resolution = 8;
    ok = ok &&
         EGifPutScreenDesc(gif, in.screen_width, in.screen_height, resolution, 0, global) == GIF_OK;
    GifFreeMapObject(global);
    for (const TestGifExtension& e : in.extensions) {
        ok = ok && EGifPutExtensionLeader(gif, e.code) == GIF_OK;
        for (const auto& block : e.blocks)
            ok = ok &&
                 EGifPutExtensionBlock(gif, static_cast<int>(block.size()), block.data()) == GIF_OK;
        ok = ok && EGifPutExtensionTrailer(gif) == GIF_OK;
    }
    for (const TestGifImage& image : in.images) {
        ColorMapObject* local = MakeMap(image.local_table);
        ok = ok && EGifPutImageDesc(gif, 0, 0, image.width, image.height, image.interlaced,
                                    local) == GIF_OK;
        GifFreeMapObject(local);
        for (int y : RowOrder(image.height, image.interlaced)) {
            std::vector<GifPixelType> row(image.indices.begin() + std::ptrdiff_t(y) * image.width,
                                          image.indices.begin() +
                                              std::ptrdiff_t(y + 1) * image.width);
            ok = ok && EGifPutLine(gif, row.data(), image.width) == GIF_OK;
        }
    }
    EGifCloseFile(gif, &error);
    return ok ? out : std::vector<unsigned char>();
}

bool ReadTestGifIndices(const std::vector<unsigned char>& file, std::vector<unsigned char>& indices,
                        int& width, int& height)
{
    MemoryInput input{&file, 0};
    int error = 0;
    GifFileType* gif = DGifOpen(&input, ReadGif, &error);
    if (gif == nullptr)
        return false;
    bool found = false;
    GifRecordType type;
    while (!found && DGifGetRecordType(gif, &type) == GIF_OK && type != TERMINATE_RECORD_TYPE) {
        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif, &code, &block) != GIF_OK)
                break;
            while (block != nullptr)
                if (DGifGetExtensionNext(gif, &block) != GIF_OK)
                    break;
        } else if (type == IMAGE_DESC_RECORD_TYPE) {
            if (DGifGetImageDesc(gif) != GIF_OK)
                break;
            width = gif->Image.Width;
            height = gif->Image.Height;
            indices.assign(std::size_t(width) * std::size_t(height), 0);
            found = true;
            for (int y : RowOrder(height, gif->Image.Interlace))
                if (DGifGetLine(gif, indices.data() + std::size_t(y) * std::size_t(width), width) !=
                    GIF_OK)
                    found = false;
        }
    }
    DGifCloseFile(gif, &error);
    return found;
}

bool WriteTestFile(const std::string& path, const std::vector<unsigned char>& bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr)
        return false;
    const bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

namespace {

void PutChunk(std::vector<unsigned char>& file, const char* type,
              const std::vector<unsigned char>& data)
{
    const std::size_t n = data.size();
    for (int i = 3; i >= 0; --i)
        file.push_back(static_cast<unsigned char>(n >> (8 * i)));
    const std::size_t start = file.size();
    file.insert(file.end(), type, type + 4);
    file.insert(file.end(), data.begin(), data.end());
    const uLong crc = crc32(0, file.data() + start, static_cast<uInt>(n + 4));
    for (int i = 3; i >= 0; --i)
        file.push_back(static_cast<unsigned char>(crc >> (8 * i)));
}

} // namespace

std::vector<unsigned char> WriteZeroPng(unsigned width, unsigned height)
{
    std::vector<unsigned char> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<unsigned char> header;
    for (unsigned v : {width, height})
        for (int i = 3; i >= 0; --i)
            header.push_back(static_cast<unsigned char>(v >> (8 * i)));
    header.insert(header.end(), {8, 0, 0, 0, 0}); // 8-bit grey, not interlaced
    PutChunk(file, "IHDR", header);

    // Each row is its filter byte and its samples: all zero.
    z_stream z{};
    deflateInit(&z, Z_BEST_COMPRESSION);
    std::vector<unsigned char> zeros(1 << 16, 0);
    std::vector<unsigned char> out(1 << 16);
    std::vector<unsigned char> idat;
    unsigned long long left = static_cast<unsigned long long>(width + 1) * height;
    int flush = Z_NO_FLUSH;
    do {
        const unsigned piece =
            left < zeros.size() ? static_cast<unsigned>(left) : static_cast<unsigned>(zeros.size());
        left -= piece;
        flush = left == 0 ? Z_FINISH : Z_NO_FLUSH;
        z.next_in = zeros.data();
        z.avail_in = piece;
        do {
            z.next_out = out.data();
            z.avail_out = static_cast<uInt>(out.size());
            deflate(&z, flush);
            idat.insert(idat.end(), out.data(), out.data() + (out.size() - z.avail_out));
        } while (z.avail_out == 0);
    } while (flush != Z_FINISH);
    deflateEnd(&z);
    PutChunk(file, "IDAT", idat);
    PutChunk(file, "IEND", {});
    return file;
}
