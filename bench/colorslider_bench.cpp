// Redrawing the colour pane's 140 x 140 colour field during a drag (the
// point moved, the control drawn into a pixmap port: frame, cells and
// mark) beside filling the same cells, in the same colours, straight
// through the port. The goal is within 1.3 times.
#include "app/colorslider.h"
#include "si/classfactory.h"
#include "si/fontman.h"
#include "si/grailpxm.h"
#include "si/lookman.h"
#include "si/maininit.h"
#include "si/memzone.h"

#include <benchmark/benchmark.h>

#include <algorithm>

namespace {

struct Runtime {
    Runtime()
    {
        ZuFontMan::InitSystemFontMan(font_man);
        ZuLookMan::Initialise();
    }
    ZuFontManRef font_man = ZuNew<ZuFontMan>(Zuvi_app_zone, __LINE__, "bench/colorslider_bench");
};

void EnsureRuntime()
{
    static Runtime* runtime = [] {
        Zuvi_StartServices();
        return new Runtime();
    }();
    (void)runtime;
}

ZuGrailPixmapRef Pixmap()
{
    ZuGrailPixmapRef p(ZuNew<ZuGrailPixmap>(Zuvi_app_zone));
    p->Initialise(32, 160, 160);
    p->BeginDraw(0, 0, 159, 159);
    return p;
}

ZuColorPixel Rgb(double r, double g, double b)
{
    ZuColorPixel c(0u);
    c.SetRed(r);
    c.SetGreen(g);
    c.SetBlue(b);
    return c;
}

void BM_ColorFieldDragRedraw(benchmark::State& state)
{
    EnsureRuntime();
    ZuGrailPixmapRef pixmap = Pixmap();
    CColorSliderRef field = ZuNew<CColorSlider>(Zuvi_app_zone);
    field->SetOrigin(0, 0);
    field->SetSize(140, 140);
    field->SetColorUL(Rgb(1, 0, 0));
    field->SetColorUR(Rgb(0, 0, 0));
    field->SetColorDL(Rgb(1, 1, 1));
    field->SetColorDR(Rgb(0, 0, 0));
    const ZuRect area(0, 0, 139, 139);
    int i = 0;
    for (auto _ : state) {
        field->SetPositionX((i % 100) * 0.01);
        field->SetPositionY(((i * 7) % 100) * 0.01);
        ++i;
        field->DrawFront(pixmap, area);
        benchmark::ClobberMemory();
    }
    field->Delete();
    pixmap->Delete();
}
BENCHMARK(BM_ColorFieldDragRedraw);

// The same cells (a 129 x 129 field inside the margin, cells of 2.58
// pixels) in the same bilinear colours, straight through the port.
void BM_ColorFieldCellsThroughPort(benchmark::State& state)
{
    EnsureRuntime();
    ZuGrailPixmapRef pixmap = Pixmap();
    const double ox = 5, oy = 5, w = 129, h = 129, cw = w * 0.02, ch = h * 0.02;
    ZuColorPixel cell(0u);
    for (auto _ : state) {
        for (double cx = 0; cx < w; cx += cw)
            for (double cy = 0; cy < h; cy += ch) {
                // Top red to black, bottom white to black.
                const double t = cx / w, u = cy / h;
                const double fade = 1 - t;
                cell.SetRed(fade);
                cell.SetGreen(fade * u);
                cell.SetBlue(fade * u);
                pixmap->SetForeColor(cell);
                pixmap->FillRect(ox + cx, oy + cy, ox + std::min(cx + cw, w),
                                 oy + std::min(cy + ch, h));
            }
        benchmark::ClobberMemory();
    }
    pixmap->Delete();
}
BENCHMARK(BM_ColorFieldCellsThroughPort);

} // namespace
