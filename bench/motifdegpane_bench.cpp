// One drag step of the gradient pane's axial angle handle, from the pane's
// drag handler to the sample shown (handle moved, whole sample rendered by
// the interpreter, parameter entries brought up to date, its rows copied
// into a pixmap as the window's redraw copies them), beside the same
// gradient rectangle drawn straight through a port into a context of the
// sample's size and copied the same way: what the pane adds to the
// interpreter's own work. The goal is within 1.2 times.
// Each step ends as the program's event loop ends every event, with the
// objects let go of during it deleted.
#include "app/colordef.h"
#include "app/graport.h"
#include "app/grarect.h"
#include "app/idefdlg.h"
#include "app/motifdegpane.h"
#include "bench/samplescreen.h"
#include "si/classfactory.h"
#include "si/event.h"
#include "si/fontman.h"
#include "si/lookman.h"
#include "si/maininit.h"
#include "si/memzone.h"

#include <benchmark/benchmark.h>

#include <cmath>

// A pointer event at a chosen point.
ZU_HANDLE(TBenchDragEvent, ZuEvent)
class TBenchDragEvent : public ZuEvent {
    ZU_CLASS(TBenchDragEvent, ZuEvent)
public:
    TBenchDragEvent() {}
    void Set(ZuEventType t, double px, double py)
    {
        type = t;
        x = px;
        y = py;
    }
};
ZU_CLASS_END(TBenchDragEvent)
ZU_IMPLEMENT_CLASS(TBenchDragEvent, "bench/motifdegpane_bench", ZU_CLASS_PLAIN)

// The attributes dialog as the pane reaches it: the fill's colours.
ZU_HANDLE(TBenchDefDlg, ZuObject)
class TBenchDefDlg : public ZuObject, public IDefDlg {
    ZU_CLASS(TBenchDefDlg, ZuObject)
public:
    TBenchDefDlg() {}
    CDefRef RetDefinition(int kind) override { return kind == 25 ? colours : CDefRef(); }
    void EnablePane(int, bool) override {}
    CDefRef colours;
};
ZU_CLASS_END(TBenchDefDlg)
ZU_IMPLEMENT_CLASS(TBenchDefDlg, "bench/motifdegpane_bench", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(TBenchDefDlg, IDefDlg)

namespace {

const char* const kFile = "bench/motifdegpane_bench";

struct Runtime {
    Runtime()
    {
        ZuFontMan::InitSystemFontMan(font_man);
        ZuLookMan::Initialise();
        CColorDefRef c = ZuNew<CColorDef>(Zuvi_app_zone, __LINE__, kFile);
        c->SetCount(2);
        c->SetIndex(0);
        c->SetRGB(1, 0, 0);
        c->SetIndex(1);
        c->SetRGB(0, 0, 1);
        colours = c;
        dialog->colours = CDefRef(ZuObjectRef(c));
        CDefPane::SetFallbackDefDlg(dialog);
    }
    ZuFontManRef font_man = ZuNew<ZuFontMan>(Zuvi_app_zone, __LINE__, kFile);
    TBenchDefDlgRef dialog = ZuNew<TBenchDefDlg>(Zuvi_app_zone, __LINE__, kFile);
    CColorDefRef colours;
};

Runtime& EnsureRuntime()
{
    static Runtime* runtime = [] {
        Zuvi_StartServices();
        return new Runtime();
    }();
    return *runtime;
}

// The sample's centre in the pane, and two mouse points 40 units from it
// that the handle goes between.
const double kCx = 107.5, kCy = 84.5;
const double kAngles[2] = {1.0, 2.5};

void BM_GradientAngleDragStep(benchmark::State& state)
{
    EnsureRuntime();
    CMotifDegPaneRef pane = ZuNew<CMotifDegPane>(Zuvi_app_zone);
    pane->SetSize(370, 196);
    pane->Create(20);
    CMotifDefRef def = ZuNew<CMotifDef>(Zuvi_app_zone);
    def->SetValue(61);
    def->SetGradientType(230);
    pane->SetDef(CDefRef(ZuObjectRef(def)));
    pane->Refresh();
    TBenchDragEvent* event = nullptr;
    TBenchDragEventRef held = ZuNew<TBenchDragEvent>(Zuvi_app_zone);
    event = held.RetRawObject();
    DPoint at;
    int look = 0;
    pane->HandlePosition(0, 1, at, look);
    event->Set(ZU_EVENT_PRESS, at.x, at.y);
    pane->SampleButtonPress(held, 0);
    // Past the first steps that a press lets go by.
    for (int i = 0; i < 5; ++i) {
        event->Set(ZU_EVENT_MOTION, at.x, at.y);
        pane->SampleDragNotify(held, 0);
    }
    const GSContextRef context = pane->RetSample()->RetView()->RetContext();
    SampleScreen screen(153, 153);
    int i = 0;
    for (auto _ : state) {
        const double a = kAngles[i++ & 1];
        event->Set(ZU_EVENT_MOTION, kCx + 40 * std::cos(a), kCy - 40 * std::sin(a));
        pane->SampleDragNotify(held, 0);
        if (!screen.Show(context))
            state.SkipWithError("the sample could not be copied");
        ZuObjectRef::RealiseDeletions();
    }
    if (!screen.Painted())
        state.SkipWithError("the sample painted nothing");
    event->Set(ZU_EVENT_RELEASE, at.x, at.y);
    pane->SampleButtonRelease(held, 0);
    pane->ClearCodes();
    pane->Delete();
    ZuObjectRef::RealiseDeletions();
}
BENCHMARK(BM_GradientAngleDragStep)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_GradientStraightThroughPort(benchmark::State& state)
{
    Runtime& runtime = EnsureRuntime();
    GSContextRef context = ZuNew<GSContext>(Zuvi_app_zone);
    context->CreateContext(153, 153, GS_VIEW_RGB24);
    CGraPortRef port = ZuNew<CGraPort>(Zuvi_app_zone);
    port->InitBinaryMode();
    port->SetTarget(context);
    CMotifDefRef def = ZuNew<CMotifDef>(Zuvi_app_zone);
    def->SetValue(61);
    def->SetGradientType(230);
    CColorDefRef grey = ZuNew<CColorDef>(Zuvi_app_zone);
    grey->SetGray(0.75);
    SampleScreen screen(153, 153);
    int i = 0;
    for (auto _ : state) {
        const double a = kAngles[i++ & 1];
        def->SetGradientPoint(0, a - std::atan(20.0 / 35.0));
        port->InitGraphics();
        port->ErasePage();
        CGraTransform t;
        port->GetTransform(t);
        t.scale = 1.0;
        t.dx = 76.5;
        t.dy = 76.5;
        port->SetTransform(t);
        port->SetFillColor(grey);
        port->DrawRect(DPoint{-80, -80}, DPoint{80, 80}, 0.0, true, false);
        CGraRectRef rect = ZuNew<CGraRect>(Zuvi_app_zone);
        rect->SetDefinition(20, ZuObjectRef(def));
        rect->SetDefinition(25, ZuObjectRef(runtime.colours));
        const DPoint corner = {70, 70};
        rect->SetPoints(&corner, 1);
        rect->DragPoint(DPoint{-70, -70}, 0);
        rect->Draw(port, 7);
        if (!screen.Show(context))
            state.SkipWithError("the gradient could not be copied");
        ZuObjectRef::RealiseDeletions();
    }
    if (!screen.Painted())
        state.SkipWithError("the gradient painted nothing");
    ZuObjectRef::RealiseDeletions();
}
BENCHMARK(BM_GradientStraightThroughPort)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace
