#include "sd/common/sd_pngreader.h"

#include <png.h>
#include <zlib.h>

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

// ---- Image data -------------------------------------------------------------
//
// The decoder reads the header, the palette, the transparency and the text
// chunks; the image data is inflated and unfiltered here, a few kilobytes at
// a time, straight into the target's rows. The decoder's own way would hold
// two rows of its own as wide as the image (one of them four bytes a pixel),
// as much again as the pixels of an image a few rows tall.
//
// The filters need the previous row's raw bytes. While row y is decoded,
// its raw bytes wait for row y + 1 at the right end of row y + 1's own place
// in the target, not yet written: pixel p's four output bytes only cover raw
// bytes of pixels up to p, already read, as long as a raw pixel takes at most
// four bytes. 16-bit colour (six or eight bytes a pixel) keeps there only
// its samples' low bytes, the high ones being the previous row's output.
// An interlaced image's first six passes keep theirs in row 1, which only
// the last pass writes (a few bytes more than a row in a block of their own
// for 16-bit colour of an odd width).
//
// Which damage refuses a file stays the decoder's: every IDAT chunk's CRC
// and every critical chunk's up to IEND is checked, image data that ends,
// breaks off or is damaged before the last row refuses the file, and what
// follows the last row (the end of the compressed stream, its checksum) is
// read the way the decoder reads it: damage there is only a warning.

namespace {

const unsigned char kPassX0[7] = {0, 4, 0, 2, 0, 1, 0};
const unsigned char kPassDX[7] = {8, 8, 4, 4, 2, 2, 1};
const unsigned char kPassY0[7] = {0, 0, 4, 0, 2, 0, 1};
const unsigned char kPassDY[7] = {8, 8, 8, 4, 4, 2, 2};

// The decoder's sizes: the compressed data goes to zlib in pieces of at most
// this many bytes of a chunk, and what follows the last row is inflated into
// a buffer of the second size.
const std::uint32_t kIdatPiece = 8192;
const std::size_t kTrailBuffer = 1024;
// Unfiltered bytes are handled this many at a time.
const std::size_t kSegment = 16384;

const std::uint32_t kIHDR = 0x49484452u;
const std::uint32_t kIDAT = 0x49444154u;
const std::uint32_t kIEND = 0x49454E44u;

std::uint32_t Be32(const unsigned char* p)
{
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

// What the image data needs from the chunks before it.
struct ImageFormat {
    unsigned width = 0;
    unsigned height = 0;
    int colour_type = 0;
    unsigned depth = 8;
    unsigned channels = 1;
    bool interlaced = false;
    // Grey levels (up to 8 bits) and palette entries: blue, green, red, alpha.
    unsigned char table[256 * 4] = {};
    // A tRNS chunk's grey or red, green, blue that become transparent.
    bool keyed = false;
    std::uint16_t key[3] = {0, 0, 0};

    unsigned Bits() const { return channels * depth; }
};

voidpf InflateAlloc(voidpf opaque, uInt items, uInt size)
{
    if (size != 0 && items > SIZE_MAX / size)
        return Z_NULL;
    return static_cast<PngReader*>(opaque)->Allocate(std::size_t(items) * size);
}

void InflateFree(voidpf opaque, voidpf p)
{
    static_cast<PngReader*>(opaque)->Release(p);
}

// Reverses one filter over n bytes. `cur` and `up` (this row's and the
// previous row's raw bytes) are preceded by the row's bytes before them
// (zeros before the row's start).
void Unfilter(unsigned filter, const unsigned char* in, unsigned char* cur, const unsigned char* up,
              std::size_t n, std::size_t bpp)
{
    // The bytes one pixel to the left, in this row and the previous one.
    const unsigned char* left = cur - bpp;
    const unsigned char* up_left = up - bpp;
    switch (filter) {
    case 0:
        std::memcpy(cur, in, n);
        break;
    case 1:
        for (std::size_t i = 0; i < n; ++i)
            cur[i] = static_cast<unsigned char>(in[i] + left[i]);
        break;
    case 2:
        for (std::size_t i = 0; i < n; ++i)
            cur[i] = static_cast<unsigned char>(in[i] + up[i]);
        break;
    case 3:
        for (std::size_t i = 0; i < n; ++i)
            cur[i] = static_cast<unsigned char>(in[i] + ((left[i] + up[i]) >> 1));
        break;
    default:
        for (std::size_t i = 0; i < n; ++i) {
            const int a = left[i], b = up[i], c = up_left[i];
            const int p = b - c, q = a - c;
            const int pa = p < 0 ? -p : p;
            const int pb = q < 0 ? -q : q;
            const int pc = p + q < 0 ? -(p + q) : p + q;
            const int pred = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
            cur[i] = static_cast<unsigned char>(in[i] + pred);
        }
    }
}

// The last 8 bytes up to cur + n move before cur, for the next piece.
void Carry(unsigned char* cur, std::size_t n)
{
    std::memmove(cur - 8, cur + n - 8, 8);
}

inline void PutPixel(unsigned char* out, unsigned b, unsigned g, unsigned r, unsigned a)
{
    out[0] = static_cast<unsigned char>(b);
    out[1] = static_cast<unsigned char>(g);
    out[2] = static_cast<unsigned char>(r);
    out[3] = static_cast<unsigned char>(a);
}

class ImageData {
public:
    ImageData(PngReader& reader_, const ImageFormat& format_, PngRowTarget& target_,
              const unsigned char* bytes_, std::size_t size_, std::size_t idat_data)
        : reader(reader_), format(format_), target(target_), bytes(bytes_), size(size_),
          pos(idat_data)
    {
        chunk_start = idat_data - 4;
        chunk_length = Be32(bytes + idat_data - 8);
        chunk_left = chunk_length;
    }
    ~ImageData()
    {
        if (inflating)
            inflateEnd(&z);
        reader.Release(buffers);
        reader.Release(spare);
    }
    ImageData(const ImageData&) = delete;
    ImageData& operator=(const ImageData&) = delete;

    bool Decode();

private:
    bool Start();
    bool ChunkHeader(std::uint32_t& name);
    bool CrcFits() const;
    std::size_t AfterChunk() const { return chunk_start + 4 + std::size_t(chunk_length) + 4; }
    bool NextPiece();
    bool Fill();
    const unsigned char* Next(std::size_t want, std::size_t& got);
    bool DecodePass(unsigned x0, unsigned dx, unsigned y0, unsigned dy, unsigned wp, unsigned hp,
                    bool full_width);
    void Convert(const unsigned char* raw, unsigned count, unsigned char* out,
                 std::size_t step) const;
    void SplitRow(const unsigned char* out, const unsigned char* low, std::size_t from,
                  std::size_t n) const;
    bool Finish();
    bool ReadToEnd();

    PngReader& reader;
    const ImageFormat& format;
    PngRowTarget& target;
    const unsigned char* bytes;
    std::size_t size;
    std::size_t pos;            // the next byte of the file not yet taken
    std::size_t chunk_start;    // the current chunk's type
    std::uint32_t chunk_length; // its data's length
    std::uint32_t chunk_left;   // its data not yet given to zlib
    std::uint64_t idat_limit = 0;

    z_stream z{};
    bool inflating = false;
    bool ended = false;
    std::uint64_t image_left = 0; // image data bytes not yet inflated

    unsigned char* buffers = nullptr; // inflated, then this row's and the previous row's bytes
    unsigned char* inflated = nullptr;
    unsigned char* cur = nullptr;
    unsigned char* up = nullptr;
    std::size_t taken = 0, filled = 0;
    unsigned char* spare = nullptr; // a previous row of its own
    std::size_t spare_bytes = 0;
};

bool ImageData::Start()
{
    // The longest IDAT chunk the decoder accepts: the image data and zlib's
    // most overhead, or the longest chunk, whichever is more.
    std::uint64_t row_factor =
        std::uint64_t(format.width) * format.channels * (format.depth > 8 ? 2 : 1) + 1 +
        (format.interlaced ? 6 : 0);
    std::uint64_t limit = 0x7FFFFFFFu;
    if (format.height <= 0xFFFFFFFFu / row_factor)
        limit = format.height * row_factor;
    row_factor = row_factor > 32566 ? 32566 : row_factor;
    limit += 6 + 5 * (limit / row_factor + 1);
    limit = limit < 0x7FFFFFFFu ? limit : 0x7FFFFFFFu;
    idat_limit = limit > ZU_PNG_MAX_CHUNK_BYTES ? limit : ZU_PNG_MAX_CHUNK_BYTES;

    const std::size_t buffer_bytes = kSegment + 2 * (8 + kSegment);
    buffers = static_cast<unsigned char*>(reader.Allocate(buffer_bytes));
    if (buffers == nullptr)
        return false;
    inflated = buffers;
    cur = buffers + kSegment + 8;
    up = cur + kSegment + 8;
    z.zalloc = InflateAlloc;
    z.zfree = InflateFree;
    z.opaque = &reader;
    // The window's size as the stream's header gives it.
    if (inflateInit2(&z, 0) != Z_OK)
        return false;
    inflating = true;
    return true;
}

// Reads the chunk header at pos: false where the decoder stops (a length
// above 2^31 - 1 or the chunk bound, a type not of four letters).
bool ImageData::ChunkHeader(std::uint32_t& name)
{
    if (size - pos < 12)
        return false;
    const std::uint32_t length = Be32(bytes + pos);
    name = Be32(bytes + pos + 4);
    if (length > 0x7FFFFFFFu)
        return false;
    for (int i = 0; i < 4; ++i) {
        const unsigned c = bytes[pos + 4 + std::size_t(i)];
        if (c < 65 || c > 122 || (c > 90 && c < 97))
            return false;
    }
    if (length > (name == kIDAT ? idat_limit : std::uint64_t(ZU_PNG_MAX_CHUNK_BYTES)))
        return false;
    if (size - pos - 12 < length)
        return false;
    chunk_start = pos + 4;
    chunk_length = length;
    chunk_left = length;
    pos += 8;
    return true;
}

bool ImageData::CrcFits() const
{
    const uLong crc = crc32(0, bytes + chunk_start, static_cast<uInt>(chunk_length) + 4);
    return crc == Be32(bytes + chunk_start + 4 + chunk_length);
}

// The next piece of compressed data for zlib, from the following IDAT
// chunks when the current one is used up.
bool ImageData::NextPiece()
{
    while (chunk_left == 0) {
        std::uint32_t name = 0;
        if (!CrcFits())
            return false;
        pos = AfterChunk();
        if (!ChunkHeader(name) || name != kIDAT)
            return false; // not enough image data
    }
    const std::uint32_t piece = chunk_left < kIdatPiece ? chunk_left : kIdatPiece;
    z.next_in = const_cast<unsigned char*>(bytes + pos);
    z.avail_in = piece;
    pos += piece;
    chunk_left -= piece;
    return true;
}

// Inflates the next bytes of the image data; false when the data is
// damaged or ends before the image.
bool ImageData::Fill()
{
    const std::size_t want = image_left < kSegment ? std::size_t(image_left) : kSegment;
    z.next_out = inflated;
    z.avail_out = static_cast<uInt>(want);
    while (z.avail_out > 0) {
        if (z.avail_in == 0 && !NextPiece())
            return false;
        const int ret = inflate(&z, Z_NO_FLUSH);
        if (ret == Z_STREAM_END) {
            ended = true;
            break;
        }
        if (ret != Z_OK)
            return false;
    }
    if (z.avail_out > 0)
        return false; // the stream ended before the image
    image_left -= want;
    taken = 0;
    filled = want;
    return true;
}

const unsigned char* ImageData::Next(std::size_t want, std::size_t& got)
{
    if (taken == filled && (image_left == 0 || !Fill()))
        return nullptr;
    got = filled - taken < want ? filled - taken : want;
    const unsigned char* p = inflated + taken;
    taken += got;
    return p;
}

// `count` pixels from raw (at a byte's start below 8 bits a pixel) to
// blue, green, red, alpha, `step` bytes apart.
void ImageData::Convert(const unsigned char* raw, unsigned count, unsigned char* out,
                        std::size_t step) const
{
    const unsigned char* table = format.table;
    const unsigned k0 = format.key[0], k1 = format.key[1], k2 = format.key[2];
    const bool keyed = format.keyed;
    switch (format.colour_type * 32 + int(format.depth)) {
    case 0 * 32 + 8:
    case 3 * 32 + 8:
        for (unsigned i = 0; i < count; ++i, out += step)
            std::memcpy(out, table + 4 * raw[i], 4);
        break;
    case 0 * 32 + 1:
    case 0 * 32 + 2:
    case 0 * 32 + 4:
    case 3 * 32 + 1:
    case 3 * 32 + 2:
    case 3 * 32 + 4: {
        const unsigned d = format.depth, per_byte = 8 / d, mask = (1u << d) - 1;
        for (unsigned i = 0; i < count; ++i, out += step) {
            const unsigned shift = 8 - d - (i % per_byte) * d;
            std::memcpy(out, table + 4 * ((raw[i / per_byte] >> shift) & mask), 4);
        }
        break;
    }
    case 0 * 32 + 16:
        for (unsigned i = 0; i < count; ++i, out += step, raw += 2) {
            const unsigned a = keyed && unsigned(raw[0] << 8 | raw[1]) == k0 ? 0 : 255;
            PutPixel(out, raw[0], raw[0], raw[0], a);
        }
        break;
    case 2 * 32 + 8:
        for (unsigned i = 0; i < count; ++i, out += step, raw += 3) {
            const unsigned a =
                keyed && raw[0] == (k0 & 0xFF) && raw[1] == (k1 & 0xFF) && raw[2] == (k2 & 0xFF)
                    ? 0
                    : 255;
            PutPixel(out, raw[2], raw[1], raw[0], a);
        }
        break;
    case 2 * 32 + 16:
        for (unsigned i = 0; i < count; ++i, out += step, raw += 6) {
            const unsigned a = keyed && unsigned(raw[0] << 8 | raw[1]) == k0 &&
                                       unsigned(raw[2] << 8 | raw[3]) == k1 &&
                                       unsigned(raw[4] << 8 | raw[5]) == k2
                                   ? 0
                                   : 255;
            PutPixel(out, raw[4], raw[2], raw[0], a);
        }
        break;
    case 4 * 32 + 8:
        for (unsigned i = 0; i < count; ++i, out += step, raw += 2)
            PutPixel(out, raw[0], raw[0], raw[0], raw[1]);
        break;
    case 4 * 32 + 16:
        for (unsigned i = 0; i < count; ++i, out += step, raw += 4)
            PutPixel(out, raw[0], raw[0], raw[0], raw[2]);
        break;
    case 6 * 32 + 8:
        for (unsigned i = 0; i < count; ++i, out += step, raw += 4)
            PutPixel(out, raw[2], raw[1], raw[0], raw[3]);
        break;
    case 6 * 32 + 16:
        for (unsigned i = 0; i < count; ++i, out += step, raw += 8)
            PutPixel(out, raw[4], raw[2], raw[0], raw[6]);
        break;
    default:
        break;
    }
}

// One pass (the whole image when not interlaced): hp rows of wp pixels,
// pixel (i, j) going to (x0 + i dx, y0 + j dy).
bool ImageData::DecodePass(unsigned x0, unsigned dx, unsigned y0, unsigned dy, unsigned wp,
                           unsigned hp, bool full_width)
{
    const unsigned bits = format.Bits();
    const std::size_t raw_bytes = (std::size_t(wp) * bits + 7) / 8;
    const std::size_t bpp = bits >= 8 ? bits / 8 : 1;
    const std::size_t out_bytes = std::size_t(format.width) * 4;

    // Where the previous row's raw bytes wait: the right end of the next
    // row's place, one place for every row of the pass, or none. 16-bit
    // colour keeps only its samples' low bytes there; the high bytes are
    // the previous row's output.
    const bool in_row = hp > 1 && full_width && bits <= 32;
    const bool split = hp > 1 && full_width && bits > 32;
    const std::size_t low_stash = out_bytes - std::size_t(wp) * format.channels;
    unsigned char* shared = nullptr;
    if (hp > 1 && !in_row && !split) {
        if (!full_width && raw_bytes <= out_bytes) {
            shared = target.Row(1);
            if (shared == nullptr)
                return false;
        } else {
            if (spare_bytes < raw_bytes) {
                reader.Release(spare);
                spare_bytes = 0;
                spare = static_cast<unsigned char*>(reader.Allocate(raw_bytes));
                if (spare == nullptr)
                    return false;
                spare_bytes = raw_bytes;
            }
            shared = spare;
        }
    }
    const std::size_t stash = out_bytes - raw_bytes;

    unsigned char* row = target.Row(y0);
    if (row == nullptr)
        return false;
    unsigned char* last = nullptr;
    for (unsigned j = 0; j < hp; ++j) {
        unsigned char* next = nullptr;
        if (j + 1 < hp) {
            next = target.Row(y0 + (j + 1) * dy);
            if (next == nullptr)
                return false;
        }
        const unsigned char* prev = j == 0 || split ? nullptr : in_row ? row + stash : shared;
        unsigned char* keep = next == nullptr || split ? nullptr : in_row ? next + stash : shared;

        std::size_t got = 0;
        const unsigned char* in = Next(1, got);
        if (in == nullptr)
            return false;
        const unsigned filter = in[0];
        if (filter > 4)
            return false;
        std::memset(cur - 8, 0, 8);
        std::memset(up - 8, 0, 8);
        std::size_t i = 0;
        unsigned done = 0;
        while (i < raw_bytes) {
            in = Next(raw_bytes - i, got);
            if (in == nullptr)
                return false;
            if (filter >= 2) {
                if (prev != nullptr)
                    std::memcpy(up, prev + i, got);
                else if (split && last != nullptr)
                    SplitRow(last, row + low_stash, i, got);
                else
                    std::memset(up, 0, got);
            }
            Unfilter(filter, in, cur, up, got, bpp);
            if (keep != nullptr) {
                std::memcpy(keep + i, cur, got);
            } else if (split && next != nullptr) {
                unsigned char* low = next + low_stash;
                for (std::size_t t = i | 1; t < i + got; t += 2)
                    low[t >> 1] = cur[t - i];
            }
            const std::size_t from = i;
            i += got;
            const unsigned upto = bits >= 8             ? unsigned(i / bpp)
                                  : i * (8 / bits) < wp ? unsigned(i * (8 / bits))
                                                        : wp;
            if (upto > done) {
                const unsigned char* raw =
                    bits >= 8
                        ? cur + (std::ptrdiff_t(std::size_t(done) * bpp) - std::ptrdiff_t(from))
                        : cur;
                Convert(raw, upto - done, row + 4 * (x0 + std::size_t(done) * dx), 4 * dx);
                done = upto;
            }
            Carry(cur, got);
            if (filter == 4)
                Carry(up, got);
        }
        last = row;
        row = next;
    }
    return true;
}

// The previous row's raw bytes from..from + n of 16-bit colour into `up`:
// the high bytes from its output (blue, green, red, alpha), the low ones
// from where they wait.
void ImageData::SplitRow(const unsigned char* out, const unsigned char* low, std::size_t from,
                         std::size_t n) const
{
    static const unsigned char kPlace[4] = {2, 1, 0, 3}; // red, green, blue, alpha
    const std::size_t channels = format.channels, pixel_bytes = 2 * channels;
    std::size_t pixel = from / pixel_bytes, q = from % pixel_bytes;
    for (std::size_t k = 0; k < n; ++k) {
        up[k] = (q & 1) != 0 ? low[pixel * channels + (q >> 1)] : out[4 * pixel + kPlace[q >> 1]];
        if (++q == pixel_bytes) {
            q = 0;
            ++pixel;
        }
    }
}

// What follows the last row, read as the decoder reads it: the rest of the
// compressed stream as far as the pieces already there or anything left
// after the image take it; damage in it is only a warning, but running out
// of IDAT chunks while it asks for more is not.
bool ImageData::Finish()
{
    if (!ended) {
        unsigned char trail[kTrailBuffer];
        std::size_t extra = 0;
        do {
            if (z.avail_in == 0 && !NextPiece())
                return false;
            z.next_out = trail;
            z.avail_out = kTrailBuffer;
            const int ret = inflate(&z, Z_NO_FLUSH);
            extra += kTrailBuffer - z.avail_out;
            if (ret != Z_OK)
                break;
        } while (extra > 0);
    }
    chunk_left = 0;
    if (!CrcFits())
        return false;
    pos = AfterChunk();
    return true;
}

// The chunks after the image data up to IEND: a critical chunk's CRC must
// fit, IHDR may not come again.
bool ImageData::ReadToEnd()
{
    for (;;) {
        std::uint32_t name = 0;
        if (!ChunkHeader(name) || name == kIHDR)
            return false;
        const bool critical = (name & 0x20000000u) == 0;
        if (!CrcFits() && critical)
            return false;
        pos = AfterChunk();
        if (name == kIEND)
            return true;
    }
}

bool ImageData::Decode()
{
    if (!Start())
        return false;
    const unsigned bits = format.Bits();
    for (int pass = 0; pass < (format.interlaced ? 7 : 1); ++pass) {
        const unsigned x0 = format.interlaced ? kPassX0[pass] : 0;
        const unsigned dx = format.interlaced ? kPassDX[pass] : 1;
        const unsigned y0 = format.interlaced ? kPassY0[pass] : 0;
        const unsigned dy = format.interlaced ? kPassDY[pass] : 1;
        if (format.width <= x0 || format.height <= y0)
            continue;
        const unsigned wp = (format.width - x0 + dx - 1) / dx;
        const unsigned hp = (format.height - y0 + dy - 1) / dy;
        image_left += std::uint64_t(hp) * (1 + (std::uint64_t(wp) * bits + 7) / 8);
    }
    for (int pass = 0; pass < (format.interlaced ? 7 : 1); ++pass) {
        const unsigned x0 = format.interlaced ? kPassX0[pass] : 0;
        const unsigned dx = format.interlaced ? kPassDX[pass] : 1;
        const unsigned y0 = format.interlaced ? kPassY0[pass] : 0;
        const unsigned dy = format.interlaced ? kPassDY[pass] : 1;
        if (format.width <= x0 || format.height <= y0)
            continue;
        const unsigned wp = (format.width - x0 + dx - 1) / dx;
        const unsigned hp = (format.height - y0 + dy - 1) / dy;
        if (!DecodePass(x0, dx, y0, dy, wp, hp, dx == 1))
            return false;
    }
    return Finish() && ReadToEnd();
}

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
    ImageFormat format;
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
    // Everything up to the first IDAT chunk's data.
    png_read_info(png, info);

    const png_uint_32 w = png_get_image_width(png, info);
    const png_uint_32 h = png_get_image_height(png, info);
    if (w == 0 || h == 0 || std::uint64_t(w) * h > ZU_IMAGE_MAX_PIXELS || position < 16 ||
        std::memcmp(bytes + position - 4, "IDAT", 4) != 0)
        png_error(png, "image too large");
    format.width = w;
    format.height = h;
    format.colour_type = png_get_color_type(png, info);
    format.depth = png_get_bit_depth(png, info);
    format.channels = png_get_channels(png, info);
    format.interlaced = png_get_interlace_type(png, info) != PNG_INTERLACE_NONE;
    png_bytep trans_alpha = nullptr;
    int trans_count = 0;
    png_color_16p trans_colour = nullptr;
    if (png_get_tRNS(png, info, &trans_alpha, &trans_count, &trans_colour) == 0) {
        trans_alpha = nullptr;
        trans_count = 0;
        trans_colour = nullptr;
    }
    if (format.colour_type == PNG_COLOR_TYPE_PALETTE) {
        // Indices past the palette are black, as the decoder keeps 256
        // entries; those past the tRNS entries are opaque.
        png_colorp palette = nullptr;
        int entries = 0;
        if (png_get_PLTE(png, info, &palette, &entries) == 0)
            entries = 0;
        for (int i = 0; i < 256; ++i) {
            unsigned char* e = format.table + 4 * i;
            if (i < entries)
                PutPixel(e, palette[i].blue, palette[i].green, palette[i].red, 255);
            if (trans_alpha != nullptr && i < trans_count)
                e[3] = trans_alpha[i];
            else
                e[3] = 255;
        }
    } else if (trans_colour != nullptr) {
        format.keyed = true;
        if (format.colour_type == PNG_COLOR_TYPE_GRAY) {
            format.key[0] = trans_colour->gray;
        } else {
            format.key[0] = trans_colour->red;
            format.key[1] = trans_colour->green;
            format.key[2] = trans_colour->blue;
        }
    }
    if (format.colour_type == PNG_COLOR_TYPE_GRAY && format.depth <= 8) {
        // Grey levels widen to 8 bits; the key is compared at the file's depth.
        const unsigned top = (1u << format.depth) - 1;
        for (unsigned v = 0; v <= top; ++v) {
            const unsigned s = v * 255 / top;
            PutPixel(format.table + 4 * v, s, s, s,
                     format.keyed && v == (format.key[0] & top) ? 0 : 255);
        }
    }

    png_textp text_table = nullptr;
    int count = 0;
    png_get_text(png, info, &text_table, &count);
    KeepTexts(text_table, count);
    const std::size_t idat_data = position;
    png_destroy_read_struct(&png, &info, nullptr);

    bool ok = target.Begin(w, h);
    if (ok) {
        ImageData data(*this, format, target, bytes, n, idat_data);
        ok = data.Decode();
    }
    source = nullptr;
    if (!ok) {
        rows.Free();
        DropTexts();
        return false;
    }
    width = w;
    height = h;
    return true;
}
