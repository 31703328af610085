#include "zoveda/gfxsurface.h"

#include <cstdint>
#include <cstring>
#include <new>

#include "zoveda/gfxmemory.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define GFX_AVX2_FILL 1
#endif

namespace {

typedef std::uint8_t u8;
typedef std::uint16_t u16;
typedef std::uint32_t u32;

// Expansion of 5- and 6-bit channels to 8 bits: 0 stays 0, the top value
// becomes 255.
struct ExpandTables {
    u8 e5[32];
    u8 e6[64];
};

constexpr ExpandTables MakeExpandTables()
{
    ExpandTables t{};
    for (unsigned v = 0; v < 32; ++v) {
        t.e5[v] = static_cast<u8>((v << 3) | (v >> 2));
    }
    for (unsigned v = 0; v < 64; ++v) {
        t.e6[v] = static_cast<u8>((v << 2) | (v >> 4));
    }
    return t;
}

constexpr ExpandTables kExpand = MakeExpandTables();

void* Alloc(unsigned long size)
{
    if (GfxMemory::fn_alloc == nullptr) {
        return nullptr;
    }
    return GfxMemory::fn_alloc(GfxMemory::arg, size);
}

void Free(void* ptr)
{
    if (ptr != nullptr && GfxMemory::fn_free != nullptr) {
        GfxMemory::fn_free(GfxMemory::arg, ptr);
    }
}

// Lent memory need not be aligned: every 16- and 32-bit access goes through
// these, which compile to plain moves.
inline u32 Load32(const u8* p)
{
    u32 v;
    std::memcpy(&v, p, 4);
    return v;
}

inline void Store32(u8* p, u32 v)
{
    std::memcpy(p, &v, 4);
}

inline u16 Load16(const u8* p)
{
    u16 v;
    std::memcpy(&v, p, 2);
    return v;
}

inline void Store16(u8* p, u16 v)
{
    std::memcpy(p, &v, 2);
}

inline u8 Grey(u32 c)
{
    return static_cast<u8>(
        (307 * ((c >> 16) & 0xFF) + 614 * ((c >> 8) & 0xFF) + 103 * (c & 0xFF)) >> 10);
}

inline u16 To565(u32 c)
{
    return static_cast<u16>((((c >> 16) & 0xFF) >> 3) << 11 | (((c >> 8) & 0xFF) >> 2) << 5 |
                            ((c & 0xFF) >> 3));
}

inline u32 From565(u32 p, u32 alpha)
{
    return alpha << 24 | u32(kExpand.e5[p >> 11]) << 16 | u32(kExpand.e6[(p >> 5) & 63]) << 8 |
           kExpand.e5[p & 31];
}

inline u32 FromGrey(u32 g, u32 alpha)
{
    return alpha << 24 | g << 16 | g << 8 | g;
}

// The pixel code of a colour on a surface of bpp bytes per pixel.
inline u32 ToCode(u32 c, unsigned bpp)
{
    switch (bpp) {
    case 1:
        return Grey(c);
    case 2:
        return To565(c);
    default:
        return c;
    }
}

// Transparencies of 128 and above weigh one more, so that 255 is the whole pixel.
inline unsigned Weight(unsigned t)
{
    return t >= 128 ? t + 1 : t;
}

inline unsigned Mix(unsigned p, unsigned c, unsigned tw)
{
    return (p * tw + c * (256 - tw)) >> 8;
}

inline u32 Blend32(u32 p, u32 c, unsigned tw)
{
    return (p & 0xFF000000u) | Mix((p >> 16) & 0xFF, (c >> 16) & 0xFF, tw) << 16 |
           Mix((p >> 8) & 0xFF, (c >> 8) & 0xFF, tw) << 8 | Mix(p & 0xFF, c & 0xFF, tw);
}

// The blend rule: the colour c, with its transparency, applied to one pixel.
inline void BlendPixel(u8* px, unsigned bpp, u32 c)
{
    const unsigned t = c >> 24;
    if (t == 255) {
        return;
    }
    switch (bpp) {
    case 4: {
        u32 p = Load32(px);
        Store32(px, t == 0 ? (p & 0xFF000000u) | (c & 0xFFFFFFu) : Blend32(p, c, Weight(t)));
        break;
    }
    case 2: {
        if (t == 0) {
            Store16(px, To565(c));
            break;
        }
        const unsigned tw = Weight(t);
        const u32 p = From565(Load16(px), 0);
        const unsigned r = Mix((p >> 16) & 0xFF, (c >> 16) & 0xFF, tw);
        const unsigned g = Mix((p >> 8) & 0xFF, (c >> 8) & 0xFF, tw);
        const unsigned b = Mix(p & 0xFF, c & 0xFF, tw);
        Store16(px, static_cast<u16>((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3)));
        break;
    }
    case 1:
        *px = t == 0 ? Grey(c) : static_cast<u8>(Mix(*px, Grey(c), Weight(t)));
        break;
    default:
        break;
    }
}

inline u32 ReadWord(const u8* px, unsigned bpp, u32 alpha)
{
    switch (bpp) {
    case 1:
        return FromGrey(*px, alpha);
    case 2:
        return From565(Load16(px), alpha);
    default:
        return Load32(px);
    }
}

inline void WriteCode(u8* px, unsigned bpp, u32 code)
{
    switch (bpp) {
    case 1:
        *px = static_cast<u8>(code);
        break;
    case 2:
        Store16(px, static_cast<u16>(code));
        break;
    default:
        Store32(px, code);
        break;
    }
}

#if defined(GFX_AVX2_FILL)
// The same with 32-byte stores, where the processor has them: what the C
// library's memset uses, and so the speed a fill is measured against.
__attribute__((target("avx2"))) void FillSpanAvx2(u8* out, size_t bytes, const u8* pattern)
{
    const size_t head = (32 - (reinterpret_cast<uintptr_t>(out) & 31)) & 31;
    std::memcpy(out, pattern, head);
    const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pattern + (head & 3)));
    u8* p = out + head;
    size_t left = bytes - head;
    for (; left >= 128; left -= 128, p += 128) {
        _mm256_store_si256(reinterpret_cast<__m256i*>(p), v);
        _mm256_store_si256(reinterpret_cast<__m256i*>(p + 32), v);
        _mm256_store_si256(reinterpret_cast<__m256i*>(p + 64), v);
        _mm256_store_si256(reinterpret_cast<__m256i*>(p + 96), v);
    }
    for (; left >= 32; left -= 32, p += 32) {
        _mm256_store_si256(reinterpret_cast<__m256i*>(p), v);
    }
    std::memcpy(p, pattern + ((p - out) & 3), left);
    _mm256_zeroupper();
}

// Asked once, at load (the probe is set up first: this may run before the
// run-time library's own constructors).
const bool kHasAvx2 = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
}();
#endif

// Fills `bytes` bytes from `out` (the start of a pixel) with the pixel
// code that `pattern` repeats (64 bytes; the code's size divides 4).
void FillSpan(u8* out, size_t bytes, const u8* pattern)
{
#if defined(GFX_AVX2_FILL)
    if (bytes >= 256 && kHasAvx2) {
        FillSpanAvx2(out, bytes, pattern);
        return;
    }
#endif
#if defined(__SSE2__)
    if (bytes >= 64) {
        // Up to a 16-byte boundary, then whole aligned stores: the bytes
        // there start `head` bytes into the code, as the pattern does.
        const size_t head = (16 - (reinterpret_cast<uintptr_t>(out) & 15)) & 15;
        std::memcpy(out, pattern, head);
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pattern + (head & 3)));
        u8* p = out + head;
        size_t left = bytes - head;
        for (; left >= 64; left -= 64, p += 64) {
            _mm_store_si128(reinterpret_cast<__m128i*>(p), v);
            _mm_store_si128(reinterpret_cast<__m128i*>(p + 16), v);
            _mm_store_si128(reinterpret_cast<__m128i*>(p + 32), v);
            _mm_store_si128(reinterpret_cast<__m128i*>(p + 48), v);
        }
        for (; left >= 16; left -= 16, p += 16) {
            _mm_store_si128(reinterpret_cast<__m128i*>(p), v);
        }
        std::memcpy(p, pattern + ((p - out) & 3), left);
        return;
    }
#endif
    for (; bytes >= 64; bytes -= 64, out += 64) {
        std::memcpy(out, pattern, 64);
    }
    std::memcpy(out, pattern, bytes);
}

// n pixels of a row as colour words.
void ReadWords(const u8* row, unsigned bpp, u32 alpha, unsigned n, u32* out)
{
    switch (bpp) {
    case 1:
        for (unsigned i = 0; i < n; ++i) {
            out[i] = FromGrey(row[i], alpha);
        }
        break;
    case 2:
        for (unsigned i = 0; i < n; ++i) {
            out[i] = From565(Load16(row + 2 * i), alpha);
        }
        break;
    default:
        std::memcpy(out, row, size_t(n) * 4);
        break;
    }
}

// n colour words into a row; with a key, words equal to it are skipped.
void WriteWords(u8* row, unsigned bpp, unsigned n, const u32* in, bool keyed, u32 key)
{
    if (!keyed && bpp == 4) {
        std::memcpy(row, in, size_t(n) * 4);
        return;
    }
    for (unsigned i = 0; i < n; ++i) {
        if (keyed && in[i] == key) {
            continue;
        }
        WriteCode(row + size_t(i) * bpp, bpp, ToCode(in[i], bpp));
    }
}

// The blend rule on 4-byte pixels, red and blue side by side in one word:
// each product stays below 65536, so the two lanes never meet.
inline u32 BlendLanes(u32 p, u32 c)
{
    const unsigned t = c >> 24;
    const unsigned tw = t + (t >> 7);
    const unsigned cw = 256 - tw;
    const u32 rb = (((p & 0xFF00FFu) * tw + (c & 0xFF00FFu) * cw) >> 8) & 0xFF00FFu;
    const u32 g = (((p & 0xFF00u) * tw + (c & 0xFF00u) * cw) >> 8) & 0xFF00u;
    return (p & 0xFF000000u) | rb | g;
}

void BlendWords(u8* __restrict row, unsigned bpp, unsigned n, const u32* __restrict in)
{
    if (bpp == 4) {
        // Branch-free: TT 255 weighs the pixel 256 and gives it back unchanged.
        for (unsigned i = 0; i < n; ++i) {
            Store32(row + 4 * size_t(i), BlendLanes(Load32(row + 4 * size_t(i)), in[i]));
        }
        return;
    }
    for (unsigned i = 0; i < n; ++i) {
        BlendPixel(row + size_t(i) * bpp, bpp, in[i]);
    }
}

// Cuts one axis of a rectangle to [lo, hi): false when nothing is left.
bool ClipAxis(int& x, unsigned& d, int lo, int hi)
{
    long long o = x;
    long long e = o + d;
    if (o < hi && e > lo) {
        if (e >= hi) {
            e = hi;
        }
        if (o < lo) {
            o = lo;
        }
        x = static_cast<int>(o);
        d = static_cast<unsigned>(e - o);
        return d != 0;
    }
    d = 0;
    return false;
}

// Moves a negative origin of the far side to 0, moving the near origin with it.
bool RaiseOrigin(long long& s, int& x, unsigned& d)
{
    if (s < 0) {
        if (-s >= static_cast<long long>(d)) {
            return false;
        }
        d -= static_cast<unsigned>(-s);
        x += static_cast<int>(-s);
        s = 0;
    }
    return true;
}

// Cuts an extent at a far side's size.
bool CutAt(long long s, unsigned& d, unsigned size)
{
    if (s >= size) {
        return false;
    }
    if (s + d >= size) {
        d = static_cast<unsigned>(size - s);
    }
    return d != 0;
}

inline long long Modulo(long long v, long long m)
{
    long long r = v % m;
    return r < 0 ? r + m : r;
}

const unsigned long kDotsBufferEntries = GfxSurface::MAX_LINE_LENGTH;

// A row of 3-byte pixels (blue first) to 0x00RRGGBB words (with the
// screen copies below).
void From24To32Row(u8* __restrict out, const u8* __restrict in, unsigned n);

} // namespace

// ---- Construction and size ---------------------------------------------------

GfxSurface::GfxSurface(unsigned depth)
    : memory_(nullptr), line_buffer_(nullptr), dots_(nullptr), dx_(0), dy_(0), pitch_(0), alpha_(0),
      alloc_dx_(0), alloc_dy_(0), owns_memory_(false), transparent_(false), empty_(false),
      clip_x1_(0), clip_y1_(0), clip_x2_(0), clip_y2_(0), depth_(depth), bytes_per_pixel_(0),
      shift_(0), transparent_colour_(0)
{
    if (depth >= 33) {
        throw "bpp < 33";
    }
    if (depth >= 17) {
        bytes_per_pixel_ = 4;
        shift_ = 2;
    } else if (depth >= 9) {
        bytes_per_pixel_ = 2;
        shift_ = 1;
    } else if (depth >= 1) {
        bytes_per_pixel_ = 1;
    }
}

GfxSurface::~GfxSurface()
{
    if ((owns_memory_ && memory_ != nullptr) || line_buffer_ != nullptr || dots_ != nullptr) {
        FreeSurfaceAndLines();
    }
}

GfxSurface* GfxSurface::New(unsigned depth)
{
    if (depth >= 33) {
        throw "bpp < 33";
    }
    void* block = Alloc(sizeof(GfxSurface));
    if (block == nullptr) {
        return nullptr;
    }
    return new (block) GfxSurface(depth);
}

void GfxSurface::Delete(GfxSurface*& surface)
{
    if (surface == nullptr) {
        return;
    }
    surface->~GfxSurface();
    Free(surface);
    surface = nullptr;
}

void GfxSurface::AllocSurface()
{
    const unsigned long size = static_cast<unsigned long>(pitch_) * dy_;
    memory_ = size != 0 ? Alloc(size) : nullptr;
    if (memory_ != nullptr) {
        std::memset(memory_, 0, size);
        owns_memory_ = true;
    }
    empty_ = true;
}

void GfxSurface::AllocDotsBuffer()
{
    dots_ = static_cast<Dot*>(Alloc(kDotsBufferEntries * sizeof(Dot)));
}

void GfxSurface::FreeSurfaceAndLines()
{
    if (owns_memory_ && memory_ != nullptr) {
        Free(memory_);
        owns_memory_ = false;
    }
    if (line_buffer_ != nullptr) {
        Free(line_buffer_);
        line_buffer_ = nullptr;
    }
    if (dots_ != nullptr) {
        Free(dots_);
        dots_ = nullptr;
    }
    memory_ = nullptr;
}

// A surface whose memory cannot be had holds nothing and measures 0 x 0, so
// that every operation on it clips to nothing.
void GfxSurface::Fail()
{
    FreeSurfaceAndLines();
    dx_ = dy_ = alloc_dx_ = alloc_dy_ = pitch_ = 0;
    ResetClipRect();
}

void GfxSurface::InitialiseOwned(unsigned dx, unsigned dy)
{
    FreeSurfaceAndLines();
    dx_ = alloc_dx_ = dx;
    dy_ = alloc_dy_ = dy;
    // Rows padded to 4 bytes, as bitmaps of the platform take them: a
    // wider padding made a narrow image's memory several times its pixels.
    unsigned long long pitch = (static_cast<unsigned long long>(bytes_per_pixel_) * dx + 3) & ~3ull;
    if (depth_ == 1) {
        pitch = ((static_cast<unsigned long long>(dx) + 15) & ~15ull) / 8;
    }
    if (pitch > 0xFFFFFFFFull) {
        Fail();
        return;
    }
    pitch_ = static_cast<unsigned>(pitch);
    ResetClipRect();
    AllocSurface();
    if (memory_ == nullptr && static_cast<unsigned long>(pitch_) * dy_ != 0) {
        Fail();
    }
}

void GfxSurface::Initialise(unsigned dx, unsigned dy)
{
    InitialiseOwned(dx, dy);
}

void GfxSurface::Initialise(unsigned dx, unsigned dy, void* memory, unsigned pitch, bool empty)
{
    FreeSurfaceAndLines();
    dx_ = alloc_dx_ = dx;
    dy_ = alloc_dy_ = dy;
    pitch_ = pitch;
    memory_ = memory;
    owns_memory_ = false;
    ResetClipRect();
    empty_ = empty;
    if (memory_ == nullptr) {
        Fail();
    }
}

void GfxSurface::SetNewSize(unsigned dx, unsigned dy)
{
    if (dx <= alloc_dx_ && dy <= alloc_dy_) {
        dx_ = dx;
        dy_ = dy;
        return;
    }
    const unsigned long long ndx = (static_cast<unsigned long long>(dx) + 16) & ~15ull;
    const unsigned long long ndy = (static_cast<unsigned long long>(dy) + 16) & ~15ull;
    if (ndx > 0xFFFFFFFFull || ndy > 0xFFFFFFFFull) {
        Fail();
        return;
    }
    InitialiseOwned(static_cast<unsigned>(ndx), static_cast<unsigned>(ndy));
    if (memory_ != nullptr) {
        dx_ = dx;
        dy_ = dy;
    }
}

void GfxSurface::OptimiseSize()
{
    const unsigned long long ndx = (static_cast<unsigned long long>(dx_) + 16) & ~15ull;
    const unsigned long long ndy = (static_cast<unsigned long long>(dy_) + 16) & ~15ull;
    const bool half = 2ull * dx_ < alloc_dx_ || 2ull * dy_ < alloc_dy_;
    if (half && ndx < alloc_dx_ && ndy < alloc_dy_) {
        InitialiseOwned(static_cast<unsigned>(ndx), static_cast<unsigned>(ndy));
    }
}

void GfxSurface::Clear()
{
    if (memory_ != nullptr) {
        std::memset(memory_, 0, static_cast<size_t>(dy_) * pitch_);
    }
    empty_ = true;
}

// ---- Clip rectangle -------------------------------------------------------------

void GfxSurface::SetClipRect(int x, int y, unsigned dx, unsigned dy)
{
    long long o[2] = {x, y};
    long long e[2] = {dx, dy};
    const long long size[2] = {dx_, dy_};
    for (int a = 0; a < 2; ++a) {
        if (o[a] < 0) {
            e[a] += o[a];
            if (e[a] < 0) {
                e[a] = 0;
            }
            o[a] = 0;
        }
        if (o[a] >= size[a]) {
            o[a] = 0;
            e[a] = 0;
        }
        if (o[a] + e[a] > size[a]) {
            e[a] = size[a] - o[a];
        }
    }
    clip_x1_ = static_cast<int>(o[0]);
    clip_y1_ = static_cast<int>(o[1]);
    clip_x2_ = static_cast<int>(o[0] + e[0]);
    clip_y2_ = static_cast<int>(o[1] + e[1]);
}

void GfxSurface::ResetClipRect()
{
    clip_x1_ = 0;
    clip_y1_ = 0;
    clip_x2_ = static_cast<int>(dx_);
    clip_y2_ = static_cast<int>(dy_);
}

bool GfxSurface::Clip(int& x, int& y, unsigned& dx, unsigned& dy) const
{
    const bool in_x = ClipAxis(x, dx, clip_x1_, clip_x2_);
    const bool in_y = ClipAxis(y, dy, clip_y1_, clip_y2_);
    return in_x && in_y;
}

// ---- Fills ----------------------------------------------------------------------

void GfxSurface::RectFill(int x, int y, unsigned dx, unsigned dy, unsigned colour)
{
    if (!Drawable() || !Clip(x, y, dx, dy)) {
        return;
    }
    const u32 code = ToCode(colour, bytes_per_pixel_);
    // 64 bytes of the pixel code (16 pixels of 4 bytes).
    u8 pattern[64];
    for (unsigned i = 0; i < 64; i += bytes_per_pixel_) {
        WriteCode(pattern + i, bytes_per_pixel_, code);
    }
    const size_t bytes = static_cast<size_t>(dx) << shift_;
    // Rows that follow each other in memory are filled as one span.
    u8* span = Line(y) + (static_cast<size_t>(x) << shift_);
    size_t length = bytes;
    for (unsigned r = 1; r < dy; ++r) {
        u8* row = Line(y + static_cast<int>(r)) + (static_cast<size_t>(x) << shift_);
        if (row == span + length) {
            length += bytes;
            continue;
        }
        FillSpan(span, length, pattern);
        span = row;
        length = bytes;
    }
    FillSpan(span, length, pattern);
    empty_ = false;
}

void GfxSurface::RectFillBlend(int x, int y, unsigned dx, unsigned dy, unsigned colour)
{
    if ((colour >> 24) == 0) {
        RectFill(x, y, dx, dy, colour);
        return;
    }
    if (!Drawable() || !Clip(x, y, dx, dy)) {
        return;
    }
    empty_ = false;
    const unsigned t = colour >> 24;
    if (t == 255) {
        return;
    }
    const unsigned tw = Weight(t);
    for (unsigned r = 0; r < dy; ++r) {
        u8* row = Line(y + static_cast<int>(r)) + (static_cast<size_t>(x) << shift_);
        if (bytes_per_pixel_ == 4) {
            // Areas of one colour blend once.
            u32 last_in = Load32(row);
            u32 last_out = Blend32(last_in, colour, tw);
            for (unsigned i = 0; i < dx; ++i) {
                u8* px = row + 4 * size_t(i);
                const u32 p = Load32(px);
                if (p != last_in) {
                    last_in = p;
                    last_out = Blend32(p, colour, tw);
                }
                Store32(px, last_out);
            }
        } else {
            for (unsigned i = 0; i < dx; ++i) {
                BlendPixel(row + (size_t(i) << shift_), bytes_per_pixel_, colour);
            }
        }
    }
}

// As wide as the memory: SetNewSize keeps both while the size fits.
bool GfxSurface::HaveLineBuffer()
{
    if (line_buffer_ == nullptr) {
        line_buffer_ = static_cast<unsigned*>(Alloc(static_cast<unsigned long>(alloc_dx_) * 4));
    }
    return line_buffer_ != nullptr;
}

void GfxSurface::RectFillBlend(int x, int y, unsigned dx, unsigned dy, unsigned colour, int mx,
                               int my, GfxSurface* mask)
{
    const int ox = x;
    const int oy = y;
    if (!Drawable() || !Clip(x, y, dx, dy)) {
        return;
    }
    if (mask == nullptr) {
        RectFill(x, y, dx, dy, colour);
        return;
    }
    if (!mask->Drawable() || (mask->bytes_per_pixel_ != 1 && mask->bytes_per_pixel_ != 4)) {
        return;
    }
    const long long mdx = mask->dx_;
    const long long mdy = mask->dy_;
    if (mdx == 0 || mdy == 0) {
        return;
    }
    long long lmx = static_cast<long long>(mx) + (x - ox);
    long long lmy = static_cast<long long>(my) + (y - oy);
    if (lmx >= mdx || lmy >= mdy) {
        return;
    }
    if (lmx + dx >= mdx) {
        dx = static_cast<unsigned>(mdx - lmx);
    }
    if (lmy + dy >= mdy) {
        dy = static_cast<unsigned>(mdy - lmy);
    }
    lmx = Modulo(lmx, mdx);
    lmy = Modulo(lmy, mdy);
    if (!HaveLineBuffer()) {
        return;
    }
    const unsigned w = 256 - Weight(colour >> 24);
    const u32 rgb = colour & 0xFFFFFFu;
    const unsigned mbpp = mask->bytes_per_pixel_;
    for (unsigned r = 0; r < dy; ++r) {
        const u8* mrow = mask->Line(static_cast<int>(Modulo(lmy + r, mdy)));
        long long m = lmx;
        for (unsigned i = 0; i < dx; ++i) {
            const unsigned v = mbpp == 1 ? mrow[m] : Load32(mrow + 4 * m) >> 24;
            // The colour's weight scales the mask's cover (255 - v), so that a
            // half-transparent colour is never drawn more than half.
            line_buffer_[i] = (255 - (((255 - v) * w) >> 8)) << 24 | rgb;
            if (++m == mdx) {
                m = 0;
            }
        }
        BlendWords(Line(y + static_cast<int>(r)) + (static_cast<size_t>(x) << shift_),
                   bytes_per_pixel_, dx, line_buffer_);
    }
    empty_ = false;
}

// ---- Copies and blends ------------------------------------------------------------

void GfxSurface::CopyRows(int x, int y, unsigned dx, unsigned dy, int sx, int sy, GfxSurface* src,
                          bool tile, CopyMode mode, double a)
{
    if (src == nullptr) {
        src = this;
    }
    const int ox = x;
    const int oy = y;
    if (!Drawable() || !src->Drawable() || !Clip(x, y, dx, dy)) {
        return;
    }
    const unsigned sdx = src->dx_;
    const unsigned sdy = src->dy_;
    if (sdx == 0 || sdy == 0) {
        return;
    }
    long long lsx = static_cast<long long>(sx) + (x - ox);
    long long lsy = static_cast<long long>(sy) + (y - oy);
    if (tile) {
        lsx = Modulo(lsx, sdx);
        lsy = Modulo(lsy, sdy);
    } else {
        // The source is clipped as well: what lies before or past it is not read.
        if (!RaiseOrigin(lsx, x, dx) || !RaiseOrigin(lsy, y, dy) || !CutAt(lsx, dx, sdx) ||
            !CutAt(lsy, dy, sdy)) {
            return;
        }
    }

    const bool self = src == this;
    const bool bottom_up = self && !tile && lsy < y && y < lsy + dy;
    const unsigned bpp = bytes_per_pixel_;
    const unsigned sbpp = src->bytes_per_pixel_;
    const bool direct = mode == COPY && bpp == sbpp && !transparent_ && !(self && tile);
    if (!direct && !HaveLineBuffer()) {
        return;
    }
    unsigned k = 256;
    if (mode == BLEND_ALPHA) {
        if (a != a) {
            a = 0.0;
        }
        if (a > 1.0) {
            a = 1.0;
        }
        if (a < -1.0) {
            a = -1.0;
        }
        k = static_cast<unsigned>(0.5 + 256.0 * (1.0 - a));
    }

    for (unsigned n = 0; n < dy; ++n) {
        const unsigned r = bottom_up ? dy - 1 - n : n;
        const u8* srow = src->Line(static_cast<int>(tile ? (lsy + r) % sdy : lsy + r));
        u8* drow = Line(y + static_cast<int>(r)) + (static_cast<size_t>(x) << shift_);
        // The source row, from lsx on, wrapping at the source's width.
        long long pos = lsx;
        unsigned done = 0;
        while (done < dx) {
            unsigned run = dx - done;
            if (pos + run > sdx) {
                run = static_cast<unsigned>(sdx - pos);
            }
            if (direct) {
                std::memmove(drow + (size_t(done) << shift_),
                             srow + (static_cast<size_t>(pos) << shift_), size_t(run) << shift_);
            } else {
                ReadWords(srow + (static_cast<size_t>(pos) << src->shift_), sbpp, src->alpha_, run,
                          line_buffer_ + done);
            }
            done += run;
            pos = 0;
        }
        if (direct) {
            continue;
        }
        switch (mode) {
        case COPY:
            WriteWords(drow, bpp, dx, line_buffer_, transparent_, transparent_colour_);
            break;
        case BLEND_ALPHA:
            for (unsigned i = 0; i < dx; ++i) {
                unsigned o = ((255 - (line_buffer_[i] >> 24)) * k) >> 8;
                if (o > 255) {
                    o = 255;
                }
                line_buffer_[i] = (line_buffer_[i] & 0xFFFFFFu) | (255 - o) << 24;
            }
            BlendWords(drow, bpp, dx, line_buffer_);
            break;
        case BLEND:
            BlendWords(drow, bpp, dx, line_buffer_);
            break;
        }
    }
    empty_ = false;
}

void GfxSurface::RectCopy(int x, int y, unsigned dx, unsigned dy, int sx, int sy, GfxSurface* src,
                          bool tile)
{
    CopyRows(x, y, dx, dy, sx, sy, src, tile, COPY, 0.0);
}

void GfxSurface::RectBlend(int x, int y, unsigned dx, unsigned dy, int sx, int sy, GfxSurface* src,
                           bool tile)
{
    CopyRows(x, y, dx, dy, sx, sy, src, tile, BLEND, 0.0);
}

void GfxSurface::RectBlendAlpha(int x, int y, unsigned dx, unsigned dy, int sx, int sy, double a,
                                GfxSurface* src, bool tile)
{
    CopyRows(x, y, dx, dy, sx, sy, src, tile, BLEND_ALPHA, a);
}

// ---- Channels and masks -------------------------------------------------------------

void GfxSurface::ChannelRows(int x, int y, unsigned dx, unsigned dy, int sx, int sy,
                             GfxSurface* other, Channel channel, bool insert)
{
    if (other == nullptr || other->bytes_per_pixel_ != 1 || !other->Drawable() || !Drawable() ||
        static_cast<unsigned>(channel) > CHANNEL_BLUE) {
        return;
    }
    const int ox = x;
    const int oy = y;
    if (!Clip(x, y, dx, dy)) {
        return;
    }
    long long lsx = static_cast<long long>(sx) + (x - ox);
    long long lsy = static_cast<long long>(sy) + (y - oy);
    if (!RaiseOrigin(lsx, x, dx) || !RaiseOrigin(lsy, y, dy) || !CutAt(lsx, dx, other->dx_) ||
        !CutAt(lsy, dy, other->dy_)) {
        return;
    }
    if (!HaveLineBuffer()) {
        return;
    }
    const unsigned shift = (3 - static_cast<unsigned>(channel)) * 8;
    for (unsigned r = 0; r < dy; ++r) {
        u8* row = Line(y + static_cast<int>(r)) + (static_cast<size_t>(x) << shift_);
        u8* orow = other->Line(static_cast<int>(lsy + r)) + lsx;
        ReadWords(row, bytes_per_pixel_, alpha_, dx, line_buffer_);
        if (insert) {
            for (unsigned i = 0; i < dx; ++i) {
                line_buffer_[i] = (line_buffer_[i] & ~(0xFFu << shift)) | u32(orow[i]) << shift;
            }
            WriteWords(row, bytes_per_pixel_, dx, line_buffer_, false, 0);
        } else {
            for (unsigned i = 0; i < dx; ++i) {
                orow[i] = static_cast<u8>(line_buffer_[i] >> shift);
            }
        }
    }
    if (insert) {
        empty_ = false;
    } else {
        other->empty_ = false;
    }
}

void GfxSurface::RectExtract(int x, int y, unsigned dx, unsigned dy, int sx, int sy,
                             GfxSurface* dst, Channel channel)
{
    ChannelRows(x, y, dx, dy, sx, sy, dst, channel, false);
}

void GfxSurface::RectInsert(int x, int y, unsigned dx, unsigned dy, int sx, int sy, GfxSurface* src,
                            Channel channel)
{
    ChannelRows(x, y, dx, dy, sx, sy, src, channel, true);
}

void GfxSurface::MonoRows(int x, int y, unsigned dx, unsigned dy, int sx, unsigned char* bits,
                          unsigned bytes_per_row, bool alpha)
{
    if (bits == nullptr || bytes_per_row == 0 || !Drawable()) {
        return;
    }
    const int ox = x;
    if (!Clip(x, y, dx, dy)) {
        return;
    }
    long long lsx = static_cast<long long>(sx) + (x - ox);
    // Bits are written only inside the rows the caller gave.
    if (!RaiseOrigin(lsx, x, dx) ||
        !CutAt(lsx, dx, bytes_per_row >= 0x20000000u ? 0xFFFFFFFFu : bytes_per_row * 8u) ||
        !HaveLineBuffer()) {
        return;
    }
    for (unsigned r = 0; r < dy; ++r) {
        u8* out = bits + static_cast<size_t>(r) * bytes_per_row;
        ReadWords(Line(y + static_cast<int>(r)) + (static_cast<size_t>(x) << shift_),
                  bytes_per_pixel_, alpha_, dx, line_buffer_);
        if (alpha) {
            std::memset(out + (lsx >> 3), 0,
                        static_cast<size_t>(((lsx + dx - 1) >> 3) - (lsx >> 3) + 1));
        }
        for (unsigned i = 0; i < dx; ++i) {
            const u32 w = line_buffer_[i];
            if ((w >> 24) >= 128) {
                continue;
            }
            const long long bit = lsx + i;
            const u8 m = static_cast<u8>(0x80 >> (bit & 7));
            bool set = true;
            if (!alpha) {
                const u32 v = 103 * (w & 0xFF) + 307 * (2 * ((w >> 8) & 0xFF) + ((w >> 16) & 0xFF));
                set = (v & ~0x3FFu) > 0x20000u;
            }
            if (set) {
                out[bit >> 3] |= m;
            } else {
                out[bit >> 3] &= static_cast<u8>(~m);
            }
        }
    }
}

void GfxSurface::RectExtractMono(int x, int y, unsigned dx, unsigned dy, int sx, int,
                                 unsigned char* bits, unsigned bytes_per_row)
{
    MonoRows(x, y, dx, dy, sx, bits, bytes_per_row, false);
}

void GfxSurface::RectExtractMonoAlpha(int x, int y, unsigned dx, unsigned dy, int sx, int,
                                      unsigned char* bits, unsigned bytes_per_row)
{
    MonoRows(x, y, dx, dy, sx, bits, bytes_per_row, true);
}

// ---- Pixels and runs --------------------------------------------------------------------

void GfxSurface::SetPixelRGB(int x, int y, unsigned colour)
{
    if (!Drawable() || x < clip_x1_ || x >= clip_x2_ || y < clip_y1_ || y >= clip_y2_) {
        return;
    }
    WriteCode(Line(y) + (static_cast<size_t>(x) << shift_), bytes_per_pixel_,
              ToCode(colour, bytes_per_pixel_));
    empty_ = false;
}

void GfxSurface::SetPixelRGBBlend(int x, int y, unsigned colour)
{
    if (!Drawable() || x < clip_x1_ || x >= clip_x2_ || y < clip_y1_ || y >= clip_y2_) {
        return;
    }
    u8* px = Line(y) + (static_cast<size_t>(x) << shift_);
    if ((colour >> 24) == 0) {
        WriteCode(px, bytes_per_pixel_, ToCode(colour, bytes_per_pixel_));
    } else {
        BlendPixel(px, bytes_per_pixel_, colour);
    }
    empty_ = false;
}

unsigned GfxSurface::RetPixelRGB(int x, int y) const
{
    if (!Drawable() || x < clip_x1_ || x >= clip_x2_ || y < clip_y1_ || y >= clip_y2_) {
        return 0;
    }
    return ReadWord(Line(y) + (static_cast<size_t>(x) << shift_), bytes_per_pixel_, alpha_);
}

unsigned GfxSurface::RetPixelMergeRGB(int x, int y, double fx, double fy) const
{
    const long long lx = x;
    const long long ly = y;
    if (!Drawable() || lx + 1 < clip_x1_ || ly + 1 < clip_y1_ || lx >= clip_x2_ || ly >= clip_y2_) {
        return 0;
    }
    // Pixels missing at the edges of the clip count as 0.
    const bool top = ly >= clip_y1_;
    const bool bottom = ly + 1 < clip_y2_;
    if (!top) {
        fy = 1.0;
    }
    if (lx < clip_x1_) {
        fx = 1.0;
    }
    auto column = [&](int cx, double out[4]) {
        u32 p0 = top ? RetPixelRGB(cx, y) : 0;
        u32 p1 = bottom ? RetPixelRGB(cx, y + 1) : 0;
        for (int c = 0; c < 4; ++c) {
            const double v0 = (p0 >> (24 - 8 * c)) & 0xFF;
            const double v1 = (p1 >> (24 - 8 * c)) & 0xFF;
            out[c] = bottom ? v0 + (v1 - v0) * fy : v0;
        }
    };
    double left[4] = {0, 0, 0, 0};
    double right[4] = {0, 0, 0, 0};
    if (lx >= clip_x1_) {
        column(x, left);
    }
    if (lx + 1 < clip_x2_) {
        column(x + 1, right);
    }
    u32 result = 0;
    for (int c = 0; c < 4; ++c) {
        const double v = left[c] + (right[c] - left[c]) * fx;
        u32 b = 0;
        if (v >= 255.0) {
            b = 255;
        } else if (v > 0.0) {
            b = static_cast<u32>(v);
        }
        result |= b << (24 - 8 * c);
    }
    return result;
}

void GfxSurface::SetPixelLineBGR24(int x, int y, unsigned count, const unsigned char* bgr)
{
    int px = x;
    unsigned n = count;
    int py = y;
    unsigned one = 1;
    if (bgr == nullptr || !Drawable() || !Clip(px, py, n, one)) {
        return;
    }
    empty_ = false;
    if (bytes_per_pixel_ == 1) {
        return;
    }
    const u8* in = bgr + static_cast<size_t>(static_cast<long long>(px) - x) * 3;
    u8* out = Line(y) + (static_cast<size_t>(px) << shift_);
    if (bytes_per_pixel_ == 4) {
        // A rendered image copied into a window comes this way row after
        // row: the row is spread in vectors, without the depth's choice per
        // pixel.
        From24To32Row(out, in, n);
        return;
    }
    for (unsigned i = 0; i < n; ++i, in += 3) {
        const u32 c = u32(in[2]) << 16 | u32(in[1]) << 8 | in[0];
        WriteCode(out + (size_t(i) << shift_), bytes_per_pixel_, ToCode(c, bytes_per_pixel_));
    }
}

void GfxSurface::SetPixelLineMono(int x, int y, unsigned count, unsigned colour,
                                  const unsigned char* bits)
{
    int px = x;
    unsigned n = count;
    int py = y;
    unsigned one = 1;
    if (bits == nullptr || !Drawable() || !Clip(px, py, n, one)) {
        return;
    }
    empty_ = false;
    if (bytes_per_pixel_ == 1) {
        return;
    }
    const u32 code = ToCode(colour, bytes_per_pixel_);
    const size_t first = static_cast<size_t>(static_cast<long long>(px) - x);
    u8* out = Line(y) + (static_cast<size_t>(px) << shift_);
    for (size_t i = first; i < first + n;) {
        const u8 byte = bits[i >> 3];
        if (byte == 0xFF && (i & 7) == 0) {
            i += 8;
            continue;
        }
        if ((byte & (0x80 >> (i & 7))) == 0) {
            WriteCode(out + ((i - first) << shift_), bytes_per_pixel_, code);
        }
        ++i;
    }
}

// ---- Lines -------------------------------------------------------------------------------

bool GfxSurface::ComputeLineDots(int start, int n, int delta, double f)
{
    long long c = start;
    if (f >= 1.0) {
        const long long k = static_cast<long long>(f);
        c += k;
        f -= static_cast<double>(k);
    }
    const double step = static_cast<double>(delta) / n;
    if (dots_ == nullptr) {
        AllocDotsBuffer();
        if (dots_ == nullptr) {
            return false;
        }
    }
    auto store = [&](int i) {
        int fraction = static_cast<int>(f * 255.99);
        dots_[i].coordinate = c < -0x7FFFFFFFLL  ? -0x7FFFFFFF
                              : c > 0x7FFFFFFELL ? 0x7FFFFFFE
                                                 : static_cast<int>(c);
        dots_[i].fraction = static_cast<unsigned char>(fraction < 0     ? 0
                                                       : fraction > 255 ? 255
                                                                        : fraction);
    };
    for (int i = 0; i < n; ++i) {
        store(i);
        f += step;
        if (step >= 0 && f >= 0.9999) {
            f -= 1.0;
            ++c;
        } else if (step < 0 && f < 0.0) {
            f += 1.0;
            --c;
        }
    }
    store(n);
    return true;
}

bool GfxSurface::ComputeLineDotsDX(int, int y, int n, int delta, double f)
{
    return ComputeLineDots(y, n, delta, f);
}

bool GfxSurface::ComputeLineDotsDY(int x, int, int delta, int n, double f)
{
    return ComputeLineDots(x, n, delta, f);
}

// Orders the ends along the major axis, checks the length and computes the
// dots; false for a single point (n = 0) or when the dots buffer is missing.
bool GfxSurface::LineSetup(int& x1, int& y1, int& x2, int& y2, bool& along_x, int& n, double f)
{
    const long long adx =
        x2 > x1 ? static_cast<long long>(x2) - x1 : static_cast<long long>(x1) - x2;
    const long long ady =
        y2 > y1 ? static_cast<long long>(y2) - y1 : static_cast<long long>(y1) - y2;
    along_x = adx >= ady;
    if (along_x ? x1 > x2 : y1 > y2) {
        int t = x1;
        x1 = x2;
        x2 = t;
        t = y1;
        y1 = y2;
        y2 = t;
    }
    const long long len = along_x ? adx : ady;
    if (len >= MAX_LINE_LENGTH) {
        throw along_x ? "dx < MAX_LINE_LENGTH" : "dy < MAX_LINE_LENGTH";
    }
    n = static_cast<int>(len);
    if (n == 0) {
        return false;
    }
    if (along_x) {
        return ComputeLineDotsDX(x1, y1, n, y2 - y1, f);
    }
    return ComputeLineDotsDY(x1, y1, x2 - x1, n, f);
}

void GfxSurface::DrawLineDots(bool along_x, int x1, int y1, int n, unsigned colour, bool aa,
                              const unsigned short* pattern, int count)
{
    const bool dashed = pattern != nullptr && count > 0 && pattern[0] != 0;
    const unsigned w = 256 - Weight(colour >> 24);
    const u32 rgb = colour & 0xFFFFFFu;
    unsigned run = dashed ? pattern[0] : 0;
    int next = 1;
    bool drawing = true;
    for (int i = 0; i <= n; ++i) {
        if (dashed) {
            while (run == 0) {
                if (next >= count) {
                    next = 0;
                }
                run = pattern[next++];
                drawing = !drawing;
            }
            --run;
            if (!drawing) {
                continue;
            }
        }
        const long long c = dots_[i].coordinate;
        const int px = along_x ? x1 + i : static_cast<int>(c);
        const int py = along_x ? static_cast<int>(c) : y1 + i;
        if (!aa) {
            SetPixelRGBBlend(px, py, colour);
            continue;
        }
        const unsigned v = ((255u - dots_[i].fraction) * w) >> 8;
        SetPixelRGBBlend(px, py, (255 - v) << 24 | rgb);
        SetPixelRGBBlend(along_x ? px : px + 1, along_x ? py + 1 : py, v << 24 | rgb);
    }
}

void GfxSurface::DrawLine(int x1, int y1, int x2, int y2, unsigned colour,
                          const unsigned short* pattern, int count)
{
    bool along_x = true;
    int n = 0;
    if (!LineSetup(x1, y1, x2, y2, along_x, n, 0.5)) {
        if (n == 0) {
            SetPixelRGBBlend(x1, y1, colour);
        }
        return;
    }
    DrawLineDots(along_x, x1, y1, n, colour, false, pattern, count);
}

void GfxSurface::DrawAALine(int x1, int y1, int x2, int y2, unsigned colour,
                            const unsigned short* pattern, int count)
{
    bool along_x = true;
    int n = 0;
    if (!LineSetup(x1, y1, x2, y2, along_x, n, 0.0)) {
        if (n == 0) {
            SetPixelRGBBlend(x1, y1, colour & 0xFFFFFFu);
        }
        return;
    }
    DrawLineDots(along_x, x1, y1, n, colour, true, pattern, count);
}

void GfxSurface::DrawLine(int x1, int y1, int x2, int y2, unsigned colour)
{
    DrawLine(x1, y1, x2, y2, colour, nullptr, 0);
}

void GfxSurface::DrawAALine(int x1, int y1, int x2, int y2, unsigned colour)
{
    DrawAALine(x1, y1, x2, y2, colour, nullptr, 0);
}

// ---- Screen copies ---------------------------------------------------------------------------

namespace {

// The rectangle cut at the surface; false when nothing is left to write.
inline bool BltArea(unsigned sdx, unsigned sdy, unsigned x, unsigned y, unsigned& dx, unsigned& dy,
                    const void* dest)
{
    if (dest == nullptr || x >= sdx || y >= sdy) {
        return false;
    }
    if (dx > sdx - x) {
        dx = sdx - x;
    }
    if (dy > sdy - y) {
        dy = sdy - y;
    }
    return dx != 0 && dy != 0;
}

// Rows of 4-byte pixels to 16-bit screen words, 5 bits of red and blue
// and 6 (565) or 5 (555) of green.
//
// Eight pixels at a time: the multiply-add moves red and blue (kept in the
// 16-bit halves of each pixel) into place in one step, the green bits sit
// between them, and one shift brings the word down (sign-extended, so that
// the saturating pack keeps it as it is).
#if defined(__SSE2__)
template <int kRedBlueScale, u32 kGreenMask, int kShift>
inline __m128i Pack16(__m128i c)
{
    const __m128i rb = _mm_and_si128(c, _mm_set1_epi32(0x00F800F8));
    const __m128i scale = _mm_set1_epi32(kRedBlueScale);
    __m128i w = _mm_or_si128(_mm_madd_epi16(rb, scale),
                             _mm_and_si128(c, _mm_set1_epi32(static_cast<int>(kGreenMask))));
    return _mm_srai_epi32(_mm_slli_epi32(w, 16 - kShift), 16);
}

template <int kRedBlueScale, u32 kGreenMask, int kShift>
inline unsigned To16Vector(u8* out, const u8* in, unsigned n)
{
    unsigned i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 4 * size_t(i)));
        const __m128i b =
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 4 * size_t(i) + 16));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * size_t(i)),
                         _mm_packs_epi32(Pack16<kRedBlueScale, kGreenMask, kShift>(a),
                                         Pack16<kRedBlueScale, kGreenMask, kShift>(b)));
    }
    return i;
}
#endif

#if defined(GFX_AVX2_FILL)
// The same sixteen pixels at a time, where the processor has 32-byte
// vectors (the pack works in 128-bit halves: the 64-bit quarters are put
// back in order after it).
template <int kRedBlueScale, u32 kGreenMask, int kShift>
__attribute__((target("avx2"))) inline __m256i Pack16Avx2(__m256i c)
{
    const __m256i rb = _mm256_and_si256(c, _mm256_set1_epi32(0x00F800F8));
    __m256i w =
        _mm256_or_si256(_mm256_madd_epi16(rb, _mm256_set1_epi32(kRedBlueScale)),
                        _mm256_and_si256(c, _mm256_set1_epi32(static_cast<int>(kGreenMask))));
    return _mm256_srai_epi32(_mm256_slli_epi32(w, 16 - kShift), 16);
}

template <int kRedBlueScale, u32 kGreenMask, int kShift>
__attribute__((target("avx2"))) unsigned To16Avx2(u8* out, const u8* in, unsigned n)
{
    unsigned i = 0;
    for (; i + 16 <= n; i += 16) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + 4 * size_t(i)));
        const __m256i b =
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + 4 * size_t(i) + 32));
        const __m256i packed = _mm256_packs_epi32(Pack16Avx2<kRedBlueScale, kGreenMask, kShift>(a),
                                                  Pack16Avx2<kRedBlueScale, kGreenMask, kShift>(b));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 2 * size_t(i)),
                            _mm256_permute4x64_epi64(packed, 0xD8));
    }
    _mm256_zeroupper();
    return i;
}

__attribute__((target("avx2"))) unsigned To32Avx2(u8* out, const u8* in, unsigned n)
{
    const __m256i mask = _mm256_set1_epi32(0x00FFFFFF);
    unsigned i = 0;
    for (; i + 16 <= n; i += 16) {
        const u8* from = in + 4 * size_t(i);
        u8* to = out + 4 * size_t(i);
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from));
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from + 32));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(to), _mm256_and_si256(a, mask));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(to + 32), _mm256_and_si256(b, mask));
    }
    _mm256_zeroupper();
    return i;
}

__attribute__((target("avx2"))) unsigned From565To555Avx2(u8* out, const u8* in, unsigned n)
{
    const __m256i high = _mm256_set1_epi16(0x7FE0);
    const __m256i low = _mm256_set1_epi16(0x001F);
    unsigned i = 0;
    for (; i + 16 <= n; i += 16) {
        const __m256i p = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + 2 * size_t(i)));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 2 * size_t(i)),
                            _mm256_or_si256(_mm256_and_si256(_mm256_srli_epi16(p, 1), high),
                                            _mm256_and_si256(p, low)));
    }
    _mm256_zeroupper();
    return i;
}

// Sixteen words a step, as the SSE2 rows do (below), so that the last
// eight or more go that way. The unpacking works in 128-bit halves: the
// halves are put back in order after it.
__attribute__((target("avx2"))) unsigned From565To32Avx2(u8* out, const u8* in, unsigned n)
{
    const __m256i five = _mm256_set1_epi16(264);
    const __m256i six = _mm256_set1_epi16(8320);
    const __m256i red = _mm256_set1_epi16(-2048);
    const __m256i green = _mm256_set1_epi16(0x07E0);
    unsigned i = 0;
    for (; i + 16 <= n; i += 16) {
        const __m256i p = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + 2 * size_t(i)));
        const __m256i r = _mm256_mulhi_epu16(_mm256_and_si256(p, red), five);
        const __m256i g = _mm256_mulhi_epu16(_mm256_and_si256(p, green), six);
        const __m256i b = _mm256_mulhi_epu16(_mm256_slli_epi16(p, 11), five);
        const __m256i gb = _mm256_or_si256(_mm256_slli_epi16(g, 8), b);
        const __m256i low = _mm256_unpacklo_epi16(gb, r);
        const __m256i high = _mm256_unpackhi_epi16(gb, r);
        u8* to = out + 4 * size_t(i);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(to),
                            _mm256_permute2x128_si256(low, high, 0x20));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(to + 32),
                            _mm256_permute2x128_si256(low, high, 0x31));
    }
    _mm256_zeroupper();
    return i;
}

// Four pixels to twelve bytes by one byte shuffle; four such make three
// 16-byte stores.
__attribute__((target("avx2"))) unsigned To24Avx2(u8* out, const u8* in, unsigned n)
{
    const __m128i pick = _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    unsigned i = 0;
    for (; i + 16 <= n; i += 16) {
        const u8* from = in + 4 * size_t(i);
        const __m128i a =
            _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(from)), pick);
        const __m128i b =
            _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(from + 16)), pick);
        const __m128i c =
            _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(from + 32)), pick);
        const __m128i d =
            _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(from + 48)), pick);
        u8* to = out + 3 * size_t(i);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to), _mm_or_si128(a, _mm_slli_si128(b, 12)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + 16),
                         _mm_or_si128(_mm_srli_si128(b, 4), _mm_slli_si128(c, 8)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + 32),
                         _mm_or_si128(_mm_srli_si128(c, 8), _mm_slli_si128(d, 4)));
    }
    return i;
}
#endif

#if defined(GFX_AVX2_FILL)
// Sixteen 3-byte pixels (three 16-byte loads) to sixteen words, four at a
// time by one byte shuffle that leaves the top byte 0.
__attribute__((target("avx2"))) unsigned From24To32Avx2(u8* out, const u8* in, unsigned n)
{
    const __m128i spread = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    unsigned i = 0;
    for (; i + 16 <= n; i += 16) {
        const u8* from = in + 3 * size_t(i);
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + 16));
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + 32));
        __m128i* to = reinterpret_cast<__m128i*>(out + 4 * size_t(i));
        _mm_storeu_si128(to, _mm_shuffle_epi8(a, spread));
        _mm_storeu_si128(to + 1, _mm_shuffle_epi8(_mm_alignr_epi8(b, a, 12), spread));
        _mm_storeu_si128(to + 2, _mm_shuffle_epi8(_mm_alignr_epi8(c, b, 8), spread));
        _mm_storeu_si128(to + 3, _mm_shuffle_epi8(_mm_srli_si128(c, 4), spread));
    }
    return i;
}
#endif

// A row of 3-byte pixels (blue first) to 0x00RRGGBB words.
void From24To32Row(u8* __restrict out, const u8* __restrict in, unsigned n)
{
    unsigned i = 0;
#if defined(GFX_AVX2_FILL)
    if (kHasAvx2)
        i = From24To32Avx2(out, in, n);
#endif
    for (; i < n; ++i) {
        const u8* p = in + 3 * size_t(i);
        Store32(out + 4 * size_t(i), u32(p[2]) << 16 | u32(p[1]) << 8 | p[0]);
    }
}

void To565Row(u8* __restrict out, const u8* __restrict in, unsigned n)
{
    unsigned i = 0;
#if defined(GFX_AVX2_FILL)
    if (kHasAvx2)
        i = To16Avx2<0x20000004, 0xFC00u, 5>(out, in, n);
#endif
#if defined(__SSE2__)
    // Blue * 4 and red * 0x2000 put them at bits 5-9 and 16-20 beside
    // green at 10-15; down 5.
    i += To16Vector<0x20000004, 0xFC00u, 5>(out + 2 * size_t(i), in + 4 * size_t(i), n - i);
#endif
    for (; i < n; ++i) {
        const u32 c = Load32(in + 4 * size_t(i));
        Store16(out + 2 * size_t(i),
                static_cast<u16>((c >> 8 & 0xF800) | (c >> 5 & 0x07E0) | (c >> 3 & 0x1F)));
    }
}

void To555Row(u8* __restrict out, const u8* __restrict in, unsigned n)
{
    unsigned i = 0;
#if defined(GFX_AVX2_FILL)
    if (kHasAvx2)
        i = To16Avx2<0x20000008, 0xF800u, 6>(out, in, n);
#endif
#if defined(__SSE2__)
    // Blue * 8 and red * 0x2000 put them at bits 6-10 and 16-20 beside
    // green at 11-15; down 6.
    i += To16Vector<0x20000008, 0xF800u, 6>(out + 2 * size_t(i), in + 4 * size_t(i), n - i);
#endif
    for (; i < n; ++i) {
        const u32 c = Load32(in + 4 * size_t(i));
        Store16(out + 2 * size_t(i),
                static_cast<u16>((c >> 9 & 0x7C00) | (c >> 6 & 0x03E0) | (c >> 3 & 0x1F)));
    }
}

// Rows of 4-byte pixels to 3-byte ones, eight pixels to three 64-bit words
// (sixteen to three vectors where the processor has byte shuffles).
void To24Row(u8* __restrict out, const u8* __restrict in, unsigned n)
{
    unsigned i = 0;
#if defined(GFX_AVX2_FILL)
    if (kHasAvx2)
        i = To24Avx2(out, in, n);
#endif
    for (; i + 8 <= n; i += 8) {
        std::uint64_t p[8];
        for (unsigned k = 0; k < 8; ++k) {
            p[k] = Load32(in + 4 * size_t(i + k)) & 0xFFFFFFu;
        }
        const std::uint64_t w0 = p[0] | p[1] << 24 | p[2] << 48;
        const std::uint64_t w1 = p[2] >> 16 | p[3] << 8 | p[4] << 32 | p[5] << 56;
        const std::uint64_t w2 = p[5] >> 8 | p[6] << 16 | p[7] << 40;
        u8* o = out + 3 * size_t(i);
        std::memcpy(o, &w0, 8);
        std::memcpy(o + 8, &w1, 8);
        std::memcpy(o + 16, &w2, 8);
    }
    for (; i < n; ++i) {
        const u32 c = Load32(in + 4 * size_t(i));
        u8* o = out + 3 * size_t(i);
        o[0] = static_cast<u8>(c);
        o[1] = static_cast<u8>(c >> 8);
        o[2] = static_cast<u8>(c >> 16);
    }
}

// Rows of 4-byte pixels without their transparency byte.
void To32Row(u8* __restrict out, const u8* __restrict in, unsigned n)
{
    unsigned i = 0;
#if defined(GFX_AVX2_FILL)
    if (kHasAvx2)
        i = To32Avx2(out, in, n);
#endif
#if defined(__SSE2__)
    const __m128i mask = _mm_set1_epi32(0x00FFFFFF);
    for (; i + 4 <= n; i += 4) {
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 4 * size_t(i)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4 * size_t(i)), _mm_and_si128(c, mask));
    }
#endif
    for (; i < n; ++i) {
        Store32(out + 4 * size_t(i), Load32(in + 4 * size_t(i)) & 0xFFFFFFu);
    }
}

// Rows of 565 words to 555 words: green loses its lowest bit.
void From565To555Row(u8* __restrict out, const u8* __restrict in, unsigned n)
{
    unsigned i = 0;
#if defined(GFX_AVX2_FILL)
    if (kHasAvx2)
        i = From565To555Avx2(out, in, n);
#endif
#if defined(__SSE2__)
    const __m128i high = _mm_set1_epi16(0x7FE0);
    const __m128i low = _mm_set1_epi16(0x001F);
    for (; i + 8 <= n; i += 8) {
        const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 2 * size_t(i)));
        _mm_storeu_si128(
            reinterpret_cast<__m128i*>(out + 2 * size_t(i)),
            _mm_or_si128(_mm_and_si128(_mm_srli_epi16(p, 1), high), _mm_and_si128(p, low)));
    }
#endif
    for (; i < n; ++i) {
        const u32 p = Load16(in + 2 * size_t(i));
        Store16(out + 2 * size_t(i), static_cast<u16>(((p >> 1) & 0x7FE0) | (p & 0x1F)));
    }
}

// Rows of 565 words to 0x00RRGGBB words, each channel's top bits repeated
// below it as the expansion tables do. In 16-bit lanes a channel of b bits
// at its place in the word times a constant, high half kept, gives it so:
// (v << 11) x 264 >> 16 is (v << 3 | v >> 2) for 5 bits, (v << 5) x 8320
// >> 16 is (v << 2 | v >> 4) for 6 bits. Green and blue then make the low
// half of each pixel, red the high one.
#if defined(__SSE2__)
inline void Expand565(__m128i p, __m128i& low, __m128i& high)
{
    const __m128i five = _mm_set1_epi16(264);
    const __m128i r = _mm_mulhi_epu16(_mm_and_si128(p, _mm_set1_epi16(-2048)), five);
    const __m128i g =
        _mm_mulhi_epu16(_mm_and_si128(p, _mm_set1_epi16(0x07E0)), _mm_set1_epi16(8320));
    const __m128i b = _mm_mulhi_epu16(_mm_slli_epi16(p, 11), five);
    const __m128i gb = _mm_or_si128(_mm_slli_epi16(g, 8), b);
    low = _mm_unpacklo_epi16(gb, r);
    high = _mm_unpackhi_epi16(gb, r);
}
#endif

void From565To32Row(u8* __restrict out, const u8* __restrict in, unsigned n)
{
    unsigned i = 0;
#if defined(GFX_AVX2_FILL)
    if (kHasAvx2)
        i = From565To32Avx2(out, in, n);
#endif
#if defined(__SSE2__)
    for (; i + 8 <= n; i += 8) {
        __m128i low, high;
        Expand565(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 2 * size_t(i))), low, high);
        u8* to = out + 4 * size_t(i);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to), low);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + 16), high);
    }
#endif
    for (; i < n; ++i) {
        Store32(out + 4 * size_t(i), From565(Load16(in + 2 * size_t(i)), 0));
    }
}

// Rows of 565 words to 3-byte pixels: a stretch at a time to words, then
// packed as from a 32-bit surface.
void From565To24Row(u8* __restrict out, const u8* __restrict in, unsigned n)
{
    alignas(32) u8 words[4 * 256];
    for (unsigned i = 0; i < n; i += 256) {
        const unsigned count = n - i < 256 ? n - i : 256;
        From565To32Row(words, in + 2 * size_t(i), count);
        To24Row(out + 3 * size_t(i), words, count);
    }
}

} // namespace

void GfxSurface::QuickBltTo565(unsigned x, unsigned y, unsigned dx, unsigned dy, void* dest,
                               unsigned dest_pitch) const
{
    if (!Drawable() || bytes_per_pixel_ == 1 || !BltArea(dx_, dy_, x, y, dx, dy, dest)) {
        return;
    }
    u8* out = static_cast<u8*>(dest);
    for (unsigned r = 0; r < dy; ++r, out += dest_pitch) {
        const u8* in = Line(static_cast<int>(y + r)) + (static_cast<size_t>(x) << shift_);
        if (bytes_per_pixel_ == 2) {
            std::memcpy(out, in, size_t(dx) * 2);
            continue;
        }
        To565Row(out, in, dx);
    }
}

void GfxSurface::QuickBltTo555(unsigned x, unsigned y, unsigned dx, unsigned dy, void* dest,
                               unsigned dest_pitch) const
{
    if (!Drawable() || bytes_per_pixel_ == 1 || !BltArea(dx_, dy_, x, y, dx, dy, dest)) {
        return;
    }
    u8* out = static_cast<u8*>(dest);
    for (unsigned r = 0; r < dy; ++r, out += dest_pitch) {
        const u8* in = Line(static_cast<int>(y + r)) + (static_cast<size_t>(x) << shift_);
        if (bytes_per_pixel_ == 2) {
            From565To555Row(out, in, dx);
            continue;
        }
        To555Row(out, in, dx);
    }
}

void GfxSurface::QuickBltTo24(unsigned x, unsigned y, unsigned dx, unsigned dy, void* dest,
                              unsigned dest_pitch) const
{
    if (!Drawable() || bytes_per_pixel_ == 1 || !BltArea(dx_, dy_, x, y, dx, dy, dest)) {
        return;
    }
    u8* out = static_cast<u8*>(dest);
    for (unsigned r = 0; r < dy; ++r, out += dest_pitch) {
        const u8* in = Line(static_cast<int>(y + r)) + (static_cast<size_t>(x) << shift_);
        if (bytes_per_pixel_ == 4) {
            To24Row(out, in, dx);
            continue;
        }
        From565To24Row(out, in, dx);
    }
}

void GfxSurface::QuickBltTo32(unsigned x, unsigned y, unsigned dx, unsigned dy, void* dest,
                              unsigned dest_pitch) const
{
    if (!Drawable() || bytes_per_pixel_ == 1 || !BltArea(dx_, dy_, x, y, dx, dy, dest)) {
        return;
    }
    u8* out = static_cast<u8*>(dest);
    for (unsigned r = 0; r < dy; ++r, out += dest_pitch) {
        const u8* in = Line(static_cast<int>(y + r)) + (static_cast<size_t>(x) << shift_);
        if (bytes_per_pixel_ == 2) {
            From565To32Row(out, in, dx);
        } else {
            To32Row(out, in, dx);
        }
    }
}
