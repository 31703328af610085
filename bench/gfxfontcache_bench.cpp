// Text through the glyph cache: drawing a 1000-character Latin-1 text at
// 12 pixels with every glyph already cached, beside FreeType rendering the
// same glyphs each time (load and render, as a cache-less drawer would), and
// the port font measuring the same text. Figures in characters per second.
#include <benchmark/benchmark.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_DRIVER_H
#include FT_MODULE_H

#include <cstdlib>
#include <string>

#include "sd/common/sd_file.h"
#include "sd/common/sd_grailfnt.h"
#include "si/atom.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/string.h"
#include "zoveda/gfxfontcache.h"
#include "zoveda/gfxmemory.h"
#include "zoveda/gfxsurface.h"

namespace {

const int kSize = 12;

std::string FacePath()
{
    const char* dir = std::getenv("ZUVI_FONTS_DIR");
    return std::string(dir != nullptr && *dir != '\0' ? dir : ZUVI_BENCH_FONTS_DIR) + "/arial.ttf";
}

// 1000 characters of French, accents included, as Latin-1 bytes.
std::string Text()
{
    const std::string sentence = "Portez ce vieux whisky au juge blond qui fume. \xC7"
                                 "a d\xE9\xE7oit \xE0 l'\xE9t\xE9 o\xF9 "
                                 "l'\xE9l\xE8ve \xF4te ses bo\xEEtes; ";
    std::string text;
    while (text.size() < 1000)
        text += sentence;
    text.resize(1000);
    return text;
}

void* HeapAlloc(void*, unsigned long size)
{
    return std::malloc(size);
}
void HeapFree(void*, void* ptr)
{
    std::free(ptr);
}

void DrawGlyphWarm(benchmark::State& state)
{
    GfxMemory::fn_alloc = &HeapAlloc;
    GfxMemory::fn_free = &HeapFree;
    const std::string text = Text();
    GfxSurface* dst = GfxSurface::New(32);
    dst->Initialise(1024, 64);
    dst->RectFill(0, 0, 1024, 64, 0xFFFFFF);
    {
        GfxFontCache cache;
        if (!cache.OpenFace(FacePath().c_str(), kSize, false)) {
            state.SkipWithError("no face");
            GfxSurface::Delete(dst);
            return;
        }
        for (unsigned char c : text)
            cache.DrawGlyph(c, 0, 20, 0, dst, 0);
        for (auto _ : state) {
            int x = 0;
            for (unsigned char c : text) {
                GfxFontCache::GlyphGeom geom;
                cache.GetGlyphGeometry(c, geom);
                cache.DrawGlyph(c, x & 1023, 20, 0x000000, dst, 0);
                x += geom.advance;
            }
            benchmark::ClobberMemory();
        }
    }
    GfxSurface::Delete(dst);
    state.SetItemsProcessed(state.iterations() * static_cast<long>(text.size()));
}
BENCHMARK(DrawGlyphWarm);

// The reference: each glyph loaded and rendered by FreeType every time.
void FreeTypeRenderEachTime(benchmark::State& state)
{
    const std::string text = Text();
    FT_Library library;
    FT_Face face;
    if (FT_Init_FreeType(&library) != 0) {
        state.SkipWithError("no FreeType");
        return;
    }
    FT_UInt version = TT_INTERPRETER_VERSION_35;
    FT_Property_Set(library, "truetype", "interpreter-version", &version);
    if (FT_New_Face(library, FacePath().c_str(), 0, &face) != 0) {
        state.SkipWithError("no face");
        FT_Done_FreeType(library);
        return;
    }
    FT_Set_Char_Size(face, 0, kSize * 64, 72, 72);
    for (auto _ : state) {
        for (unsigned char c : text) {
            FT_Load_Glyph(face, FT_Get_Char_Index(face, c), FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP);
            FT_Render_Glyph(face->glyph, FT_RENDER_MODE_MONO);
            benchmark::DoNotOptimize(face->glyph->bitmap.buffer);
        }
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    state.SetItemsProcessed(state.iterations() * static_cast<long>(text.size()));
}
BENCHMARK(FreeTypeRenderEachTime);

void ComputeTextWidth(benchmark::State& state)
{
    ZuMemZone::Initialise();
    Zuvi_SetGfxMemoryHooks();
    ZuAtom::Initialise();
    ZuClassFactory::Initialise();
    {
        const std::string text = Text();
        ZuStringRef string(text.c_str());
        ZuGrailFontRef font(ZuObjectRef(
            ZuClassFactory::New(ZuGrailFontRef::RetRuntime(), Zuvi_app_zone, __LINE__, "bench")));
        if (!font->Initialise(ZuStringRef("arial.ttf"), ZuStringRef("Normal"), kSize, false, false))
            state.SkipWithError("no face");
        benchmark::DoNotOptimize(font->ComputeTextWidth(string));
        for (auto _ : state)
            benchmark::DoNotOptimize(font->ComputeTextWidth(string));
        state.SetItemsProcessed(state.iterations() * static_cast<long>(text.size()));
    }
    ZuObjectRef::RealiseDeletions();
    ZuClassFactory::Kill();
    ZuObjectRef::RealiseDeletions();
    ZuAtom::Kill();
    ZuObjectRef::ReleaseDeletionQueue();
    ZuMemZone::Kill();
}
BENCHMARK(ComputeTextWidth);

} // namespace
