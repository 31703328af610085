// A stretched icon painted again and again at one size: the icon record's
// cache of scaled copies (one blend per paint) beside the reference of
// scaling the sheet's rectangle on every paint. Figures in paints per
// second.
#include <benchmark/benchmark.h>

#include "sd/common/sd_file.h"
#include "si/atom.h"
#include "si/classfactory.h"
#include "si/fontman.h"
#include "si/grailpxm.h"
#include "si/iconrecord.h"
#include "si/memzone.h"

namespace {

struct Runtime {
    Runtime()
    {
        ZuMemZone::Initialise();
        Zuvi_SetGfxMemoryHooks();
        ZuAtom::Initialise();
        ZuClassFactory::Initialise();
        ZuFontMan::InitSystemFontMan(
            ZuFontManRef(ZuNew<ZuFontMan>(Zuvi_app_zone, __LINE__, "bench")));
    }
};

ZuGrailPixmapRef Pixmap(double dx, double dy)
{
    static Runtime runtime;
    ZuGrailPixmapRef p(ZuNew<ZuGrailPixmap>(Zuvi_app_zone, __LINE__, "bench"));
    p->Initialise(32, dx, dy);
    return p;
}

struct Scene {
    ZuGrailPixmapRef sheet = Pixmap(64, 64);
    ZuGrailPixmapRef target = Pixmap(400, 40);
    const ZuRect source{0, 0, 15, 15};
    const ZuRect box{0, 0, 299, 15};

    Scene()
    {
        sheet->BeginDraw(0, 0, 63, 63);
        sheet->SetPureColor(true);
        sheet->SetForeColor(ZuColorPixel(0x2080C040u));
        sheet->FillRect(source, 0);
        sheet->EndDraw();
        target->BeginDraw(0, 0, 399, 39);
    }
    ~Scene() { target->EndDraw(); }
};

void BM_StretchedIconThroughTheCache(benchmark::State& state)
{
    Scene scene;
    ZuIconRecordRef icon(ZuNew<ZuIconRecord>(Zuvi_app_zone, __LINE__, "bench"));
    icon->Initialise(ZuAtomRef("Bar"), scene.sheet);
    icon->DefineIcon(ZU_CTRL_STATE_NORMAL, scene.source);
    icon->SetXStretchable(true);
    for (auto _ : state)
        icon->Paint(scene.target, ZU_CTRL_STATE_NORMAL, scene.box, 0.0);
    state.SetItemsProcessed(state.iterations());
    icon->Delete();
}
BENCHMARK(BM_StretchedIconThroughTheCache);

// The reference: the port scales the sheet's rectangle at every paint.
void BM_StretchedIconScaledEachTime(benchmark::State& state)
{
    Scene scene;
    for (auto _ : state)
        scene.target->BlendRect(scene.sheet, 0.0, scene.source, scene.box);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_StretchedIconScaledEachTime);

} // namespace
