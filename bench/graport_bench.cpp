// The PostScript port's writing: 100,000 lines, each in another colour,
// drawn into a port without target (the text is made and dropped), beside a
// loop that only formats the same seven numbers a line writes with
// snprintf("%f"); and the same drawing sent to a real context of the
// interpreter.
#include "app/graport.h"
#include "si/atom.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/maininit.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

namespace {

const int kLines = 100000;

struct Runtime {
    Runtime() { Zuvi_StartServices(); }
};

void EnsureRuntime()
{
    static Runtime runtime;
    (void)runtime;
}

template <class R>
R Make()
{
    EnsureRuntime();
    return R(ZuObjectRef(ZuClassFactory::New(R::RetRuntime(), nullptr, __LINE__, __FILE__)));
}

// Line i: its two points and its colour.
struct Line {
    DPoint a, b;
    double r, g, bl;
};

Line LineAt(int i)
{
    const double t = i % 1000;
    return Line{{t * 0.5, 10.0 + i % 700},
                {t * 0.5 + 40.0, 20.0 + i % 800},
                (i % 256) / 255.0,
                ((i * 7) % 256) / 255.0,
                ((i * 13) % 256) / 255.0};
}

void DrawLines(const CGraPortRef& port, const CColorDefRef& colour)
{
    for (int i = 0; i < kLines; i++) {
        const Line l = LineAt(i);
        colour->SetRGB(l.r, l.g, l.bl);
        port->DrawLine(l.a, l.b);
    }
}

void BM_PortLinesWithoutTarget(benchmark::State& state)
{
    CGraPortRef port = Make<CGraPortRef>();
    CColorDefRef colour = Make<CColorDefRef>();
    port->SetPenColor(colour);
    port->InitGraphics();
    for (auto _ : state)
        DrawLines(port, colour);
    state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_PortLinesWithoutTarget)->Unit(benchmark::kMillisecond);

// What the port must at least do: format the line's seven numbers.
void BM_SnprintfOfTheSameNumbers(benchmark::State& state)
{
    char text[64];
    for (auto _ : state) {
        for (int i = 0; i < kLines; i++) {
            const Line l = LineAt(i);
            const double numbers[7] = {l.a.x, l.a.y, l.b.x, l.b.y, l.r, l.g, l.bl};
            for (double v : numbers) {
                std::snprintf(text, sizeof text, "%f", v);
                benchmark::DoNotOptimize(text);
            }
        }
    }
    state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_SnprintfOfTheSameNumbers)->Unit(benchmark::kMillisecond);

void BM_PortLinesToContext(benchmark::State& state)
{
    GSContextRef context = Make<GSContextRef>();
    if (!context->CreateContext(595, 842, GS_VIEW_RGB24)) {
        state.SkipWithError("no context");
        return;
    }
    CGraPortRef port = Make<CGraPortRef>();
    port->SetTarget(context);
    port->InitBinaryMode();
    CColorDefRef colour = Make<CColorDefRef>();
    port->SetPenColor(colour);
    for (auto _ : state) {
        port->InitGraphics();
        port->ErasePage();
        DrawLines(port, colour);
    }
    state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_PortLinesToContext)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

// Boxes measured through the interpreter, as a drawing's new and edited
// shapes are: lines, squares and points (which have no box), in runs of 500
// and 5,000. The time of one measure must not grow with the run.
void BM_BoundsMeasures(benchmark::State& state)
{
    GSContextRef context = Make<GSContextRef>();
    if (!context->CreateContext(8, 8, GS_VIEW_RGB24)) {
        state.SkipWithError("no context");
        return;
    }
    CGraPortRef port = Make<CGraPortRef>();
    port->SetTarget(context);
    port->InitBinaryMode();
    const int count = int(state.range(0));
    DRect box = {};
    for (auto _ : state) {
        for (int i = 0; i < count; i++) {
            const double x = i % 97, y = i % 89;
            port->BeginBounds();
            switch (i % 3) {
            case 0:
                port->DrawLine(DPoint{x, y}, DPoint{x + 10.0, y + 5.0});
                break;
            case 1:
                port->DrawLine(DPoint{x, y}, DPoint{x + 4.0, y});
                port->DrawLine(DPoint{x + 4.0, y}, DPoint{x + 4.0, y + 4.0});
                port->DrawLine(DPoint{x + 4.0, y + 4.0}, DPoint{x, y});
                break;
            default:
                port->DrawLine(DPoint{x, y}, DPoint{x, y});
                break;
            }
            port->EndBounds(box, i % 2 == 0, i % 3 == 1);
            benchmark::DoNotOptimize(box);
        }
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_BoundsMeasures)->Arg(500)->Arg(5000)->Unit(benchmark::kMillisecond)->UseRealTime();
