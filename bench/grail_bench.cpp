// The drawing port beside the raster engine it draws with and pixman: fills
// and copies through a port against the same surface operation called
// directly, and the port's bilinear scaled copy against pixman's bilinear
// scaling of the same pixels. Figures in pixels per second.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstdint>
#include <vector>

#include "sd/common/sd_file.h"
#include "si/atom.h"
#include "si/classfactory.h"
#include "si/fontman.h"
#include "si/grailpxm.h"
#include "si/memzone.h"
#include "zoveda/gfxsurface.h"

namespace {

struct Runtime {
    Runtime()
    {
        ZuMemZone::Initialise();
        Zuvi_SetGfxMemoryHooks();
        ZuAtom::Initialise();
        ZuClassFactory::Initialise();
        ZuFontMan::InitSystemFontMan(ZuNew<ZuFontMan>(Zuvi_app_zone));
    }
};

void StartRuntime()
{
    static Runtime runtime;
}

ZuGrailPixmapRef Pixmap(double dx, double dy)
{
    StartRuntime();
    ZuGrailPixmapRef p(ZuNew<ZuGrailPixmap>(Zuvi_app_zone));
    p->Initialise(32, dx, dy);
    p->BeginDraw(0, 0, dx - 1, dy - 1);
    return p;
}

GfxSurface* SurfaceOf(const ZuGrailPixmapRef& p)
{
    GfxSurface* s = p->LockSurface();
    p->UnlockSurface(s);
    return s;
}

// An opaque picture.
void Paint(GfxSurface* s)
{
    for (int y = 0; y < static_cast<int>(s->DY()); ++y)
        for (int x = 0; x < static_cast<int>(s->DX()); ++x)
            s->SetPixelRGB(x, y,
                           static_cast<unsigned>(x & 0xFF) << 16 |
                               static_cast<unsigned>(y & 0xFF) << 8 | 0x40);
}

// Small rectangles, as views and controls fill them.
void BM_PortFillRect(benchmark::State& state)
{
    ZuGrailPixmapRef p = Pixmap(1024, 768);
    p->SetForeColor(ZuColorPixel(0x00336699u));
    for (auto _ : state)
        for (int i = 0; i < 64; ++i)
            p->FillRect(i * 8, i * 4, i * 8 + 31, i * 4 + 15);
    state.SetItemsProcessed(state.iterations() * 64 * 32 * 16);
}
BENCHMARK(BM_PortFillRect);

void BM_SurfaceRectFill(benchmark::State& state)
{
    ZuGrailPixmapRef p = Pixmap(1024, 768);
    GfxSurface* s = SurfaceOf(p);
    for (auto _ : state)
        for (int i = 0; i < 64; ++i)
            s->RectFill(i * 8, i * 4, 32, 16, 0x00336699u);
    state.SetItemsProcessed(state.iterations() * 64 * 32 * 16);
}
BENCHMARK(BM_SurfaceRectFill);

void BM_PortCopyRect(benchmark::State& state)
{
    ZuGrailPixmapRef source = Pixmap(512, 384);
    Paint(SurfaceOf(source));
    ZuGrailPixmapRef p = Pixmap(1024, 768);
    p->SetPureColor(true);
    for (auto _ : state)
        p->CopyRect(source, 0, 0, 0, 0, 511, 383);
    state.SetItemsProcessed(state.iterations() * 512 * 384);
}
BENCHMARK(BM_PortCopyRect);

// 512 x 384 scaled to 1024 x 768 with bilinear reads.
void BM_PortScaledCopy(benchmark::State& state)
{
    ZuGrailPixmapRef source = Pixmap(512, 384);
    Paint(SurfaceOf(source));
    ZuGrailPixmapRef p = Pixmap(1024, 768);
    p->SetPureColor(true);
    for (auto _ : state)
        p->CopyRect(source, ZuRect(0, 0, 511, 383), ZuRect(0, 0, 1023, 767));
    state.SetItemsProcessed(state.iterations() * 1024 * 768);
}
BENCHMARK(BM_PortScaledCopy);

void BM_PixmanScaledCopy(benchmark::State& state)
{
    std::vector<uint32_t> src(512 * 384), dst(1024 * 768);
    for (int y = 0; y < 384; ++y)
        for (int x = 0; x < 512; ++x)
            src[y * 512 + x] = 0xFF000000u | static_cast<uint32_t>(x & 0xFF) << 16 |
                               static_cast<uint32_t>(y & 0xFF) << 8 | 0x40;
    pixman_image_t* s = pixman_image_create_bits(PIXMAN_a8r8g8b8, 512, 384, src.data(), 512 * 4);
    pixman_image_t* d = pixman_image_create_bits(PIXMAN_a8r8g8b8, 1024, 768, dst.data(), 1024 * 4);
    pixman_transform_t t;
    pixman_transform_init_scale(&t, pixman_double_to_fixed(511.0 / 1023.0),
                                pixman_double_to_fixed(383.0 / 767.0));
    pixman_image_set_transform(s, &t);
    pixman_image_set_filter(s, PIXMAN_FILTER_BILINEAR, nullptr, 0);
    for (auto _ : state)
        pixman_image_composite32(PIXMAN_OP_SRC, s, nullptr, d, 0, 0, 0, 0, 0, 0, 1024, 768);
    state.SetItemsProcessed(state.iterations() * 1024 * 768);
    pixman_image_unref(s);
    pixman_image_unref(d);
}
BENCHMARK(BM_PixmanScaledCopy);

} // namespace
