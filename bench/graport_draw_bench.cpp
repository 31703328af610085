// The port's shapes, text and fancy strokes sent to a real context of the
// interpreter, each beside the bare interpreter running the same text,
// captured once, in a single call: what the port adds to the interpreter's
// own work (writing the text, sends, answers).
#include "app/graport.h"
#include "si/atom.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/rtclass.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <string>

// A context that keeps what it is sent and runs nothing.
ZU_HANDLE(CaptureContext, GSContext)
class CaptureContext : public GSContext {
    ZU_CLASS(CaptureContext, GSContext)
public:
    CaptureContext() {}
    bool ExecuteText(const char* text, int n) override
    {
        captured.append(text, n > 0 ? size_t(n) : std::strlen(text));
        return true;
    }
    int GetOutputLength() override { return 0; }
    bool ReadOutput(char*, int) override { return false; }
    bool ClearOutput() override { return true; }
    std::string captured;
};
ZU_CLASS_END(CaptureContext)
ZU_IMPLEMENT_CLASS(CaptureContext, "bench/graport_draw_bench", ZU_CLASS_PLAIN)

namespace {

const int kPolygons = 1000;
const int kTextLines = 200;
const int kCopies = 1000;

struct Runtime {
    Runtime()
    {
        ZuMemZone::Initialise();
        ZuAtom::Initialise();
        ZuClassFactory::Initialise();
    }
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

GSContextRef Display()
{
    GSContextRef context = Make<GSContextRef>();
    if (!context->CreateContext(595, 842, GS_VIEW_RGB24))
        return GSContextRef();
    return context;
}

// 1,000 filled and stroked hexagons and 200 lines of text.
void DrawScene(const CGraPortRef& port, const CColorDefRef& fill)
{
    for (int i = 0; i < kPolygons; i++) {
        fill->SetRGB((i % 256) / 255.0, ((i * 7) % 256) / 255.0, ((i * 13) % 256) / 255.0);
        const double cx = 20 + (i % 30) * 19, cy = 20 + (i / 30) * 24, r = 9;
        port->BeginPath();
        for (int k = 0; k < 6; k++) {
            const double a0 = k * 1.0471975512, a1 = (k + 1) * 1.0471975512;
            port->DrawLine(DPoint{cx + r * std::cos(a0), cy + r * std::sin(a0)},
                           DPoint{cx + r * std::cos(a1), cy + r * std::sin(a1)});
        }
        port->EndPath(true, true, true);
    }
    static const char line[] = "Le vif z\xe9phyr jubile sur les kumquats du cl\xe2ne ivre";
    for (int i = 0; i < kTextLines; i++)
        port->DrawText(DPoint{10.0, 830.0 - i * 4.0}, 0.0, line, int(sizeof line - 1));
}

struct Scene {
    CGraPortRef port;
    CColorDefRef fill;
};

Scene MakeScene(const GSContextRef& target)
{
    Scene s{Make<CGraPortRef>(), Make<CColorDefRef>()};
    s.port->SetTarget(target);
    s.port->InitBinaryMode();
    s.port->SetFillColor(s.fill);
    s.port->SetPenColor(Make<CColorDefRef>());
    CFontDefRef font = Make<CFontDefRef>();
    font->SetName(ZuStringRef("Helvetica"));
    font->SetScale(4.0);
    s.port->SetFont(font);
    return s;
}

void BM_PortSceneToContext(benchmark::State& state)
{
    GSContextRef context = Display();
    if (context.IsInvalid()) {
        state.SkipWithError("no context");
        return;
    }
    Scene s = MakeScene(context);
    for (auto _ : state) {
        s.port->InitGraphics();
        DrawScene(s.port, s.fill);
    }
    state.SetItemsProcessed(state.iterations() * (kPolygons + kTextLines));
}
BENCHMARK(BM_PortSceneToContext)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same text, captured from the port once, run in one call.
void BM_BareInterpreterScene(benchmark::State& state)
{
    CaptureContextRef capture = Make<CaptureContextRef>();
    Scene recorded = MakeScene(capture);
    recorded.port->InitGraphics();
    DrawScene(recorded.port, recorded.fill);
    std::string const text = capture->captured;
    GSContextRef context = Display();
    if (context.IsInvalid()) {
        state.SkipWithError("no context");
        return;
    }
    Scene s = MakeScene(context); // binary mode, as the port's runs have it
    for (auto _ : state)
        context->ExecuteText(text.c_str(), int(text.size()));
    state.SetItemsProcessed(state.iterations() * (kPolygons + kTextLines));
    state.counters["bytes"] = double(text.size());
}
BENCHMARK(BM_BareInterpreterScene)->Unit(benchmark::kMillisecond)->UseRealTime();

// A fancy stroke of 1,000 copies of a filled and stroked square brush.
Scene MakeFancy(const GSContextRef& target)
{
    Scene s = MakeScene(target);
    CPenDefRef pen = Make<CPenDefRef>();
    pen->SetValue(CPenDef::KIND_FANCY);
    pen->SetMotifParam(1.0);
    pen->SetMotifPair(0, 1.0);
    pen->SetMotifPair(1, 1.0);
    s.port->SetPen(pen);
    CPatternDefRef brush = Make<CPatternDefRef>();
    brush->LoadPrefab(1);
    s.port->SetStrokeBrush(brush);
    return s;
}

void DrawFancy(const CGraPortRef& port)
{
    port->DrawLine(DPoint{0.0, 400.0}, DPoint{double(kCopies) - 0.5, 400.0});
}

void BM_PortFancyStroke(benchmark::State& state)
{
    GSContextRef context = Display();
    if (context.IsInvalid()) {
        state.SkipWithError("no context");
        return;
    }
    Scene s = MakeFancy(context);
    for (auto _ : state)
        DrawFancy(s.port);
    state.SetItemsProcessed(state.iterations() * kCopies);
}
BENCHMARK(BM_PortFancyStroke)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_BareInterpreterFancyStroke(benchmark::State& state)
{
    CaptureContextRef capture = Make<CaptureContextRef>();
    Scene recorded = MakeFancy(capture);
    DrawFancy(recorded.port);
    std::string const text = capture->captured;
    GSContextRef context = Display();
    if (context.IsInvalid()) {
        state.SkipWithError("no context");
        return;
    }
    Scene s = MakeScene(context);
    for (auto _ : state)
        context->ExecuteText(text.c_str(), int(text.size()));
    state.SetItemsProcessed(state.iterations() * kCopies);
    state.counters["bytes"] = double(text.size());
}
BENCHMARK(BM_BareInterpreterFancyStroke)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
