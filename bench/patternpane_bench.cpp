// A handle drag step in the brush editor, from the pointer's new position
// to the sample shown (the handle moved, the brush rendered by the
// interpreter, its rows copied into a pixmap as the window's redraw copies
// them), beside the same brush drawn straight through a port into a
// context of the sample's size and copied the same way: what the pane adds
// to the interpreter's own work. The goal is within 1.2 times.
// Each step ends as the program's event loop ends every event, with the
// objects let go of during it deleted.
#include "app/colordef.h"
#include "app/graport.h"
#include "app/patterndef.h"
#include "app/patternpane.h"
#include "bench/samplescreen.h"
#include "si/classfactory.h"
#include "si/fontman.h"
#include "si/lookman.h"
#include "si/maininit.h"
#include "si/memzone.h"

#include <benchmark/benchmark.h>

namespace {

struct Runtime {
    Runtime()
    {
        ZuFontMan::InitSystemFontMan(font_man);
        ZuLookMan::Initialise();
    }
    ZuFontManRef font_man = ZuNew<ZuFontMan>(Zuvi_app_zone, __LINE__, "bench/patternpane_bench");
};

void EnsureRuntime()
{
    static Runtime* runtime = [] {
        Zuvi_StartServices();
        return new Runtime();
    }();
    (void)runtime;
}

// The corner dragged back and forth between two grid points.
const DPoint kCorner[2] = {{0.3, 0.3}, {0.4, 0.2}};
const int kSide = 180;

// A filled square from (-0.3, -0.3) to (0.3, 0.3) and a stroked line.
CPatternDefRef NewBrush()
{
    CPatternDefRef brush = ZuNew<CPatternDef>(Zuvi_app_zone);
    brush->Clear();
    const double records[][CPatternDef::MAX_RECORD] = {
        {10, 2, 0, 0, 0.1, 0.1, 0, 0, -0.3, -0.3, -0.3, -0.3},
        {20, 0.3, -0.3, 0.3, -0.3},
        {20, 0.3, 0.3, 0.3, 0.3},
        {20, -0.3, 0.3, -0.3, 0.3},
        {20, -0.3, -0.3, -0.3, -0.3},
        {10, 1, 1, 1, 0.05, 0.05, 0, 0, -0.5, 0.5, -0.5, 0.5},
        {20, 0.5, -0.5, 0.5, -0.5},
    };
    for (const auto& r : records) {
        int at = 0;
        brush->GetLength(at);
        brush->InsertElement(at, r);
    }
    return brush;
}

void BM_PatternPaneHandleDrag(benchmark::State& state)
{
    EnsureRuntime();
    CPatternPaneRef pane = ZuNew<CPatternPane>(Zuvi_app_zone);
    pane->SetSize(370, 196);
    pane->Create(11);
    CPatternDefRef brush = NewBrush();
    pane->SetDef(CDefRef(ZuObjectRef(brush)));
    pane->Refresh();
    // Select the square, then grab its corner.
    pane->PressAt(DPoint{0.1, 0.0});
    pane->ReleaseAt(DPoint{0.1, 0.0});
    pane->PressAt(kCorner[0]);
    const GSContextRef context = pane->RetSample()->RetView()->RetContext();
    SampleScreen screen(kSide, kSide);
    int i = 0;
    for (auto _ : state) {
        pane->DragTo(kCorner[++i & 1]);
        if (!screen.Show(context))
            state.SkipWithError("the sample could not be copied");
        ZuObjectRef::RealiseDeletions();
    }
    if (!screen.Painted())
        state.SkipWithError("the sample painted nothing");
    state.counters["renders"] = double(pane->RetDrawCount()) / double(i > 0 ? i : 1);
    pane->ReleaseAt(kCorner[i & 1]);
    pane->ClearCodes();
    pane->Delete();
    ZuObjectRef::RealiseDeletions();
}
BENCHMARK(BM_PatternPaneHandleDrag)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_BrushStraightThroughPort(benchmark::State& state)
{
    EnsureRuntime();
    GSContextRef context = ZuNew<GSContext>(Zuvi_app_zone);
    context->CreateContext(kSide, kSide, GS_VIEW_RGB24);
    CGraPortRef port = ZuNew<CGraPort>(Zuvi_app_zone);
    port->InitBinaryMode();
    port->SetTarget(context);
    CColorDefRef black = ZuNew<CColorDef>(Zuvi_app_zone);
    CPenDefRef pen = ZuNew<CPenDef>(Zuvi_app_zone);
    SampleScreen screen(kSide, kSide);
    int i = 0;
    for (auto _ : state) {
        const DPoint corner = kCorner[++i & 1];
        port->InitGraphics();
        port->ErasePage();
        CGraTransform t;
        port->GetTransform(t);
        t.scale = CPatternPane::kZoom;
        t.dx = kSide * 0.5 / CPatternPane::kZoom;
        t.dy = kSide * 0.5 / CPatternPane::kZoom;
        port->SetTransform(t);
        port->SetPenColor(black);
        port->SetFillColor(black);
        pen->SetWidth(0.0);
        port->SetPen(pen);
        port->BeginPath();
        port->DrawLine(DPoint{-0.3, -0.3}, DPoint{0.3, -0.3});
        port->DrawLine(DPoint{0.3, -0.3}, corner);
        port->DrawLine(corner, DPoint{-0.3, 0.3});
        port->DrawLine(DPoint{-0.3, 0.3}, DPoint{-0.3, -0.3});
        port->EndPath(true, false, true);
        pen->SetWidth(0.05);
        port->BeginPath();
        port->DrawLine(DPoint{-0.5, 0.5}, DPoint{0.5, -0.5});
        port->EndPath(false, true, false);
        if (!screen.Show(context))
            state.SkipWithError("the brush could not be copied");
        ZuObjectRef::RealiseDeletions();
    }
    if (!screen.Painted())
        state.SkipWithError("the brush painted nothing");
    ZuObjectRef::RealiseDeletions();
}
BENCHMARK(BM_BrushStraightThroughPort)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace
