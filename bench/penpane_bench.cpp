// A width edit in the pen pane, from the entry's handler to the sample
// shown (setter, sample rendered by the interpreter, report, its rows
// copied into a pixmap as the window's redraw copies them), beside the same
// line drawn straight through a port into a context of the sample's size
// and copied the same way: what the pane adds to the interpreter's own
// work. The goal is within 1.2 times. Each step ends as the program's event
// loop ends every event, with the objects let go of during it deleted:
// kept until the run's end they would cost each first run in a process
// fresh memory at every step, up to twice the steady time.
#include "app/graline.h"
#include "app/graport.h"
#include "app/penbasepane.h"
#include "app/pendef.h"
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
    ZuFontManRef font_man = ZuNew<ZuFontMan>(Zuvi_app_zone, __LINE__, "bench/penpane_bench");
};

void EnsureRuntime()
{
    static Runtime* runtime = [] {
        Zuvi_StartServices();
        return new Runtime();
    }();
    (void)runtime;
}

const double kWidths[2] = {2.0, 3.0};

// Whether the screen shows a horizontal band of the width: the interpreter
// paints every row the band touches, one more than its width when its
// edges fall inside rows.
bool ShowsWidth(const SampleScreen& screen, double width)
{
    const int rows = screen.PaintedRows();
    return rows >= width && rows <= width + 1;
}

void BM_PenPaneWidthEdit(benchmark::State& state)
{
    EnsureRuntime();
    CPenBasePaneRef pane = ZuNew<CPenBasePane>(Zuvi_app_zone);
    pane->SetSize(370, 196);
    pane->Create(10);
    CPenDefRef pen = ZuNew<CPenDef>(Zuvi_app_zone);
    // A width the steps never type: a step whose edit did not reach the
    // sample would leave this wide band shown.
    pen->SetWidth(10.0);
    pane->SetDef(CDefRef(ZuObjectRef(pen)));
    pane->Refresh();
    const GSContextRef context = pane->RetSample()->RetView()->RetContext();
    SampleScreen screen(200, 24);
    int i = 0;
    for (auto _ : state) {
        pane->RetWidthEntry()->SetValue(kWidths[i++ & 1]);
        pane->OnPenEditWidthChange(ZuObjectRef(), 0);
        if (!screen.Show(context))
            state.SkipWithError("the sample could not be copied");
        pane->ClearCodes();
        ZuObjectRef::RealiseDeletions();
    }
    if (!screen.Painted())
        state.SkipWithError("the sample painted nothing");
    else if (!ShowsWidth(screen, kWidths[(i - 1) & 1]))
        state.SkipWithError("the sample does not show the width typed last");
    pane->Delete();
    ZuObjectRef::RealiseDeletions();
}
BENCHMARK(BM_PenPaneWidthEdit)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_LineStraightThroughPort(benchmark::State& state)
{
    EnsureRuntime();
    GSContextRef context = ZuNew<GSContext>(Zuvi_app_zone);
    context->CreateContext(200, 24, GS_VIEW_MONO);
    CGraPortRef port = ZuNew<CGraPort>(Zuvi_app_zone);
    port->InitBinaryMode();
    port->SetTarget(context);
    CPenDefRef pen = ZuNew<CPenDef>(Zuvi_app_zone);
    SampleScreen screen(200, 24);
    int i = 0;
    for (auto _ : state) {
        pen->SetWidth(kWidths[i++ & 1]);
        port->InitGraphics();
        port->ErasePage();
        CGraTransform t;
        port->GetTransform(t);
        t.scale = 1.0;
        t.dx = 100.0;
        t.dy = 12.0;
        port->SetTransform(t);
        CGraLineRef line = ZuNew<CGraLine>(Zuvi_app_zone);
        line->SetDefinition(10, ZuObjectRef(pen));
        const DPoint points[2] = {{-88.0, 0.0}, {88.0, 0.0}};
        line->SetPoints(points, 2);
        line->DragPoint(points[1], 1);
        line->Draw(port, 7);
        if (!screen.Show(context))
            state.SkipWithError("the line could not be copied");
        ZuObjectRef::RealiseDeletions();
    }
    if (!screen.Painted())
        state.SkipWithError("the line painted nothing");
    else if (!ShowsWidth(screen, kWidths[(i - 1) & 1]))
        state.SkipWithError("the line does not show its last width");
    ZuObjectRef::RealiseDeletions();
}
BENCHMARK(BM_LineStraightThroughPort)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace
