// The raster engine's fills, copies, blends, screen copies and lines beside
// the plain memory functions and pixman doing the same work on the same
// pixels. Areas of 1024 x 768 and 64 x 64; figures in bytes or pixels per
// second.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "zoveda/gfxmemory.h"
#include "zoveda/gfxsurface.h"

namespace {

void* HeapAlloc(void*, unsigned long size)
{
    return std::malloc(size);
}
void HeapFree(void*, void* ptr)
{
    std::free(ptr);
}

struct Hooks {
    Hooks()
    {
        GfxMemory::fn_alloc = &HeapAlloc;
        GfxMemory::fn_free = &HeapFree;
    }
} hooks;

GfxSurface* Surface(unsigned depth, unsigned dx, unsigned dy)
{
    GfxSurface* s = GfxSurface::New(depth);
    s->Initialise(dx, dy);
    return s;
}

// A picture with every transparency from 0 to 255 in it.
void Paint(GfxSurface* s)
{
    for (int y = 0; y < static_cast<int>(s->DY()); ++y) {
        for (int x = 0; x < static_cast<int>(s->DX()); ++x) {
            const unsigned tt = static_cast<unsigned>(x * 7 + y * 3) & 0xFF;
            s->SetPixelRGB(x, y,
                           tt << 24 | static_cast<unsigned>(x & 0xFF) << 16 |
                               static_cast<unsigned>(y & 0xFF) << 8 | 0x40);
        }
    }
}

// The same picture as pixman sees it: alpha = 255 - TT, premultiplied.
std::vector<uint32_t> Premultiplied(const GfxSurface* s)
{
    std::vector<uint32_t> out(s->DX() * s->DY());
    for (unsigned y = 0; y < s->DY(); ++y) {
        for (unsigned x = 0; x < s->DX(); ++x) {
            const unsigned w = s->RetPixelRGB(static_cast<int>(x), static_cast<int>(y));
            const unsigned a = 255 - (w >> 24);
            const unsigned r = ((w >> 16) & 0xFF) * a / 255;
            const unsigned g = ((w >> 8) & 0xFF) * a / 255;
            const unsigned b = (w & 0xFF) * a / 255;
            out[y * s->DX() + x] = a << 24 | r << 16 | g << 8 | b;
        }
    }
    return out;
}

void Args(benchmark::internal::Benchmark* b)
{
    b->Args({1024, 768})->Args({64, 64});
}

void Bytes(benchmark::State& state, unsigned bytes_per_pixel)
{
    state.SetBytesProcessed(state.iterations() * state.range(0) * state.range(1) * bytes_per_pixel);
}

// ---- Fills ----

void BM_RectFill(benchmark::State& state, unsigned depth)
{
    const unsigned dx = static_cast<unsigned>(state.range(0));
    const unsigned dy = static_cast<unsigned>(state.range(1));
    GfxSurface* s = Surface(depth, dx, dy);
    unsigned colour = 0x00123456;
    for (auto _ : state) {
        s->RectFill(0, 0, dx, dy, colour++);
        benchmark::DoNotOptimize(s->Line(0));
    }
    Bytes(state, s->BytesPerPixel());
    GfxSurface::Delete(s);
}

void BM_Memset(benchmark::State& state, unsigned bytes_per_pixel)
{
    const size_t size = static_cast<size_t>(state.range(0)) * state.range(1) * bytes_per_pixel;
    std::vector<unsigned char> buffer(size);
    int value = 1;
    for (auto _ : state) {
        std::memset(buffer.data(), value++, size);
        benchmark::DoNotOptimize(buffer.data());
    }
    Bytes(state, bytes_per_pixel);
}

void BM_PixmanFill(benchmark::State& state, int bpp)
{
    const int dx = static_cast<int>(state.range(0));
    const int dy = static_cast<int>(state.range(1));
    const int stride = dx * bpp / 32; // in 32-bit words
    std::vector<uint32_t> buffer(static_cast<size_t>(stride) * dy);
    uint32_t colour = 0x00123456;
    for (auto _ : state) {
        pixman_fill(buffer.data(), stride, bpp, 0, 0, dx, dy, colour++);
        benchmark::DoNotOptimize(buffer.data());
    }
    Bytes(state, static_cast<unsigned>(bpp / 8));
}

BENCHMARK_CAPTURE(BM_RectFill, 32, 32u)->Apply(Args);
BENCHMARK_CAPTURE(BM_PixmanFill, 32, 32)->Apply(Args);
BENCHMARK_CAPTURE(BM_Memset, 32, 4u)->Apply(Args);
BENCHMARK_CAPTURE(BM_RectFill, 16, 16u)->Apply(Args);
BENCHMARK_CAPTURE(BM_PixmanFill, 16, 16)->Apply(Args);
BENCHMARK_CAPTURE(BM_Memset, 16, 2u)->Apply(Args);

// ---- Copies ----

void BM_RectCopy(benchmark::State& state, unsigned depth)
{
    const unsigned dx = static_cast<unsigned>(state.range(0));
    const unsigned dy = static_cast<unsigned>(state.range(1));
    GfxSurface* src = Surface(depth, dx, dy);
    GfxSurface* dst = Surface(depth, dx, dy);
    Paint(src);
    for (auto _ : state) {
        dst->RectCopy(0, 0, dx, dy, 0, 0, src, false);
        benchmark::DoNotOptimize(dst->Line(0));
    }
    Bytes(state, src->BytesPerPixel());
    GfxSurface::Delete(src);
    GfxSurface::Delete(dst);
}

void BM_Memcpy(benchmark::State& state, unsigned bytes_per_pixel)
{
    const size_t size = static_cast<size_t>(state.range(0)) * state.range(1) * bytes_per_pixel;
    std::vector<unsigned char> src(size, 7);
    std::vector<unsigned char> dst(size);
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), size);
        benchmark::DoNotOptimize(dst.data());
    }
    Bytes(state, bytes_per_pixel);
}

void BM_PixmanBlt(benchmark::State& state, int bpp)
{
    const int dx = static_cast<int>(state.range(0));
    const int dy = static_cast<int>(state.range(1));
    const int stride = dx * bpp / 32;
    std::vector<uint32_t> src(static_cast<size_t>(stride) * dy, 0x01020304);
    std::vector<uint32_t> dst(src.size());
    for (auto _ : state) {
        pixman_blt(src.data(), dst.data(), stride, stride, bpp, bpp, 0, 0, 0, 0, dx, dy);
        benchmark::DoNotOptimize(dst.data());
    }
    Bytes(state, static_cast<unsigned>(bpp / 8));
}

BENCHMARK_CAPTURE(BM_RectCopy, 32, 32u)->Apply(Args);
BENCHMARK_CAPTURE(BM_PixmanBlt, 32, 32)->Apply(Args);
BENCHMARK_CAPTURE(BM_Memcpy, 32, 4u)->Apply(Args);
BENCHMARK_CAPTURE(BM_RectCopy, 16, 16u)->Apply(Args);
BENCHMARK_CAPTURE(BM_PixmanBlt, 16, 16)->Apply(Args);
BENCHMARK_CAPTURE(BM_Memcpy, 16, 2u)->Apply(Args);

// ---- Blends (32-bit source with every transparency over a 32-bit surface) ----

void BM_RectBlend32(benchmark::State& state)
{
    const unsigned dx = static_cast<unsigned>(state.range(0));
    const unsigned dy = static_cast<unsigned>(state.range(1));
    GfxSurface* src = Surface(32, dx, dy);
    GfxSurface* dst = Surface(32, dx, dy);
    Paint(src);
    for (auto _ : state) {
        dst->RectBlend(0, 0, dx, dy, 0, 0, src, false);
        benchmark::DoNotOptimize(dst->Line(0));
    }
    state.SetItemsProcessed(state.iterations() * dx * dy);
    GfxSurface::Delete(src);
    GfxSurface::Delete(dst);
}

void BM_PixmanOver32(benchmark::State& state)
{
    const int dx = static_cast<int>(state.range(0));
    const int dy = static_cast<int>(state.range(1));
    GfxSurface* picture = Surface(32, static_cast<unsigned>(dx), static_cast<unsigned>(dy));
    Paint(picture);
    std::vector<uint32_t> src = Premultiplied(picture);
    std::vector<uint32_t> dst(src.size());
    pixman_image_t* s = pixman_image_create_bits(PIXMAN_a8r8g8b8, dx, dy, src.data(), dx * 4);
    pixman_image_t* d = pixman_image_create_bits(PIXMAN_x8r8g8b8, dx, dy, dst.data(), dx * 4);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_OVER, s, nullptr, d, 0, 0, 0, 0, 0, 0, dx, dy);
        benchmark::DoNotOptimize(dst.data());
    }
    state.SetItemsProcessed(state.iterations() * dx * dy);
    pixman_image_unref(s);
    pixman_image_unref(d);
    GfxSurface::Delete(picture);
}

BENCHMARK(BM_RectBlend32)->Apply(Args);
BENCHMARK(BM_PixmanOver32)->Apply(Args);

// ---- Screen copies ----

// Each screen format beside pixman converting the same rows to it, from a
// 32-bit surface and from a 16-bit (565) one.
enum ScreenFormat { TO_565, TO_555, TO_24, TO_32 };

unsigned ScreenBytes(ScreenFormat f)
{
    return f == TO_24 ? 3 : f == TO_32 ? 4 : 2;
}

void BM_QuickBlt(benchmark::State& state, ScreenFormat f, unsigned depth)
{
    const unsigned dx = static_cast<unsigned>(state.range(0));
    const unsigned dy = static_cast<unsigned>(state.range(1));
    GfxSurface* s = Surface(depth, dx, dy);
    Paint(s);
    const unsigned pitch = (dx * ScreenBytes(f) + 3) & ~3u;
    std::vector<uint32_t> screen(static_cast<size_t>(pitch / 4) * dy);
    for (auto _ : state) {
        switch (f) {
        case TO_565:
            s->QuickBltTo565(0, 0, dx, dy, screen.data(), pitch);
            break;
        case TO_555:
            s->QuickBltTo555(0, 0, dx, dy, screen.data(), pitch);
            break;
        case TO_24:
            s->QuickBltTo24(0, 0, dx, dy, screen.data(), pitch);
            break;
        case TO_32:
            s->QuickBltTo32(0, 0, dx, dy, screen.data(), pitch);
            break;
        }
        benchmark::DoNotOptimize(screen.data());
    }
    state.SetItemsProcessed(state.iterations() * dx * dy);
    GfxSurface::Delete(s);
}

void BM_PixmanTo(benchmark::State& state, ScreenFormat f, unsigned depth)
{
    const int dx = static_cast<int>(state.range(0));
    const int dy = static_cast<int>(state.range(1));
    GfxSurface* picture = Surface(depth, static_cast<unsigned>(dx), static_cast<unsigned>(dy));
    Paint(picture);
    const size_t words = (size_t(dx) * size_t(dy) * (depth / 8) + 3) / 4;
    std::vector<uint32_t> src(reinterpret_cast<uint32_t*>(picture->Line(0)),
                              reinterpret_cast<uint32_t*>(picture->Line(0)) + words);
    const int pitch = (dx * static_cast<int>(ScreenBytes(f)) + 3) & ~3;
    std::vector<uint32_t> screen(static_cast<size_t>(pitch / 4) * dy);
    const pixman_format_code_t formats[] = {PIXMAN_r5g6b5, PIXMAN_x1r5g5b5, PIXMAN_r8g8b8,
                                            PIXMAN_x8r8g8b8};
    pixman_image_t* s = depth == 16
                            ? pixman_image_create_bits(PIXMAN_r5g6b5, dx, dy, src.data(), dx * 2)
                            : pixman_image_create_bits(PIXMAN_x8r8g8b8, dx, dy, src.data(), dx * 4);
    pixman_image_t* d = pixman_image_create_bits(formats[f], dx, dy, screen.data(), pitch);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_SRC, s, nullptr, d, 0, 0, 0, 0, 0, 0, dx, dy);
        benchmark::DoNotOptimize(screen.data());
    }
    state.SetItemsProcessed(state.iterations() * dx * dy);
    pixman_image_unref(s);
    pixman_image_unref(d);
    GfxSurface::Delete(picture);
}

BENCHMARK_CAPTURE(BM_QuickBlt, To565, TO_565, 32u)->Apply(Args);
BENCHMARK_CAPTURE(BM_PixmanTo, 565, TO_565, 32u)->Apply(Args);
BENCHMARK_CAPTURE(BM_QuickBlt, To555, TO_555, 32u)->Apply(Args);
BENCHMARK_CAPTURE(BM_PixmanTo, 555, TO_555, 32u)->Apply(Args);
BENCHMARK_CAPTURE(BM_QuickBlt, To24, TO_24, 32u)->Apply(Args);
BENCHMARK_CAPTURE(BM_PixmanTo, 24, TO_24, 32u)->Apply(Args);
BENCHMARK_CAPTURE(BM_QuickBlt, To32, TO_32, 32u)->Apply(Args);
BENCHMARK_CAPTURE(BM_PixmanTo, 32, TO_32, 32u)->Apply(Args);
// From 565 to 565 is a row copy; the others convert.
BENCHMARK_CAPTURE(BM_QuickBlt, From16To555, TO_555, 16u)->Apply(Args);
BENCHMARK_CAPTURE(BM_PixmanTo, From16To555, TO_555, 16u)->Apply(Args);
BENCHMARK_CAPTURE(BM_QuickBlt, From16To24, TO_24, 16u)->Apply(Args);
BENCHMARK_CAPTURE(BM_PixmanTo, From16To24, TO_24, 16u)->Apply(Args);
BENCHMARK_CAPTURE(BM_QuickBlt, From16To32, TO_32, 16u)->Apply(Args);
BENCHMARK_CAPTURE(BM_PixmanTo, From16To32, TO_32, 16u)->Apply(Args);

// ---- Lines of 1000 pixels ----

void BM_Line1000(benchmark::State& state, bool aa)
{
    GfxSurface* s = Surface(32, 1024, 1024);
    int i = 0;
    for (auto _ : state) {
        const int k = (i++ * 37) % 1000;
        if (aa) {
            s->DrawAALine(0, k, 999, 999 - k, 0x00FFFFFF);
        } else {
            s->DrawLine(0, k, 999, 999 - k, 0x00FFFFFF);
        }
        benchmark::DoNotOptimize(s->Line(0));
    }
    state.SetItemsProcessed(state.iterations());
    GfxSurface::Delete(s);
}

BENCHMARK_CAPTURE(BM_Line1000, plain, false);
BENCHMARK_CAPTURE(BM_Line1000, antialiased, true);

} // namespace
