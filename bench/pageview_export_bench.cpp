// Image export of the page view beside the bare interpreter.
//
// The page of the page view's render benchmark (2,000 mixed shapes on an
// A4 page, one layer) is exported through CPageView::ExportRun 1240 pixels
// wide (about 150 dpi), without anti-aliasing, to png16m and to a 256-colour
// GIF (rendered through bmp256, then encoded). Beside it, the `gs` program
// renders the PostScript the port sent for that export (captured once) at
// the same resolution and size, to png16m and to bmp256, 1 page (its
// start-up counts) and 20 pages (it drops out); its time per iteration is
// divided by the pages. The export files go to /tmp.
#include "app/document.h"
#include "app/graarc.h"
#include "app/graline.h"
#include "app/gralinetext.h"
#include "app/grapolyc.h"
#include "app/grarect.h"
#include "app/motifdef.h"
#include "app/pageview.h"
#include "app/pendef.h"
#include "app/tree.h"
#include "app/treenode.h"
#include "ghost/gscontext.h"
#include "si/classfactory.h"
#include "si/maininit.h"
#include "si/memzone.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <unistd.h>

// A run context that keeps the page's text while a file is rendered.
ZU_HANDLE(ZuExportBenchTap, GSContext)
class ZuExportBenchTap : public GSContext {
    ZU_CLASS(ZuExportBenchTap, GSContext)
public:
    ZuExportBenchTap() {}
    bool ExecuteText(const char* text, int n) override
    {
        if (keep && GetType() == GS_CONTEXT_RENDERING)
            sent.append(text, n > 0 ? size_t(n) : std::strlen(text));
        return GSContext::ExecuteText(text, n);
    }
    bool keep = false;
    std::string sent;
};
ZU_CLASS_END(ZuExportBenchTap)
ZU_IMPLEMENT_CLASS(ZuExportBenchTap, "bench/pageview_export_bench", ZU_CLASS_PLAIN)

// A page view whose next run context keeps its text.
ZU_HANDLE(ZuExportBenchView, CPageView)
class ZuExportBenchView : public CPageView {
    ZU_CLASS(ZuExportBenchView, CPageView)
public:
    ZuExportBenchView() {}
    GSContextRef NewRunContext() override
    {
        if (!capture)
            return CPageView::NewRunContext();
        tap = ZuNew<ZuExportBenchTap>(Zuvi_app_zone);
        tap->keep = true;
        return GSContextRef(tap);
    }
    bool capture = false;
    ZuExportBenchTapRef tap;
};
ZU_CLASS_END(ZuExportBenchView)
ZU_IMPLEMENT_CLASS(ZuExportBenchView, "bench/pageview_export_bench", ZU_CLASS_PLAIN)

namespace {

const int kShapes = 2000;
const double kWidth = 1240.0, kHeight = 1754.0;

template <class R>
R Make()
{
    return R(ZuObjectRef(ZuClassFactory::New(R::RetRuntime(), nullptr, __LINE__, __FILE__)));
}

struct Runtime {
    Runtime() { Zuvi_StartServices(); }
};

CColorDefRef Colour(double r, double g, double b)
{
    CColorDefRef c = Make<CColorDefRef>();
    c->SetRGB(r, g, b);
    return c;
}

// The render benchmark's page: one layer, the shapes in page millimetres
// (origin at the page's middle) from the same pseudo-random sequence.
CDocumentRef BuildDocument()
{
    static Runtime runtime;
    (void)runtime;
    CDocumentRef doc = Make<CDocumentRef>();
    doc->Reset();
    CTreeNodeRef page = Make<CTreeNodeRef>();
    page->InsertLastChild(doc->GetTree()->RetRoot());
    CTreeNodeRef layer = Make<CTreeNodeRef>();
    layer->SetObject(Make<CGraObjectRef>());
    layer->InsertLastChild(page);
    unsigned seed = 12345;
    auto next = [&seed](unsigned range) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % range;
    };
    CPenDefRef dashed = Make<CPenDefRef>();
    dashed->SetWidth(0.5);
    dashed->SetDash(0, 3.0);
    dashed->SetGap(0, 2.0);
    CMotifDefRef plain = Make<CMotifDefRef>();
    plain->SetValue(60);
    CGraPortRef measure = Make<CGraPortRef>();
    GSContextRef scratch = Make<GSContextRef>();
    scratch->CreateContext(8, 8, GS_VIEW_RGB24);
    measure->SetTarget(scratch);
    measure->InitBinaryMode();
    for (int i = 0; i < kShapes; ++i) {
        const double x = double(next(190)) - 100.0, y = double(next(277)) - 143.0;
        const double s = 2 + next(12);
        const DPoint points[2] = {{x, y}, {x + s, y + s}};
        CGraObjectRef shape;
        switch (i % 7) {
        case 0:
        case 1:
            shape = Make<CGraRectRef>();
            shape->SetPoints(points, 2);
            break;
        case 2:
            shape = Make<CGraArcRef>();
            shape->SetPoints(points, 2);
            shape->PlacePoint(points[1], 0);
            break;
        case 3:
        case 4:
            shape = Make<CGraLineRef>();
            shape->SetPoints(points, 2);
            break;
        case 5: {
            shape = Make<CGraPolyCurveRef>();
            const DPoint curve[3] = {{x, y}, {x + s, y + s / 2}, {x + 2 * s, y}};
            for (const DPoint& p : curve) {
                shape->SetPoints(&p, 1);
                shape->DragPoint(p, 0);
            }
            break;
        }
        default: {
            CGraLineTextRef text = Make<CGraLineTextRef>();
            text->SetText(ZuStringRef("Texte"));
            text->SetPoints(points, 1);
            shape = text;
            break;
        }
        }
        shape->SetDefinition(15, Colour(next(256) / 255.0, next(256) / 255.0, next(256) / 255.0));
        if (i % 7 == 1) {
            shape->SetDefinition(20, plain);
            shape->SetDefinition(25,
                                 Colour(next(256) / 255.0, next(256) / 255.0, next(256) / 255.0));
        }
        if (i % 7 == 4)
            shape->SetDefinition(10, dashed);
        CTreeNodeRef node = Make<CTreeNodeRef>();
        node->SetObject(shape);
        node->InsertLastChild(layer);
        shape->UpdateBoundingBox(measure);
    }
    return doc;
}

ZuExportBenchViewRef MakeView()
{
    static CDocumentRef doc = BuildDocument();
    ZuExportBenchViewRef view = ZuNew<ZuExportBenchView>(Zuvi_app_zone);
    view->SetDocument(doc);
    view->ResetDisplay();
    return view;
}

// Row 0 the PNG export, row 1 the GIF export and its rendering device.
struct Format {
    const char* device;
    int bits;
    const char* gsDevice;
    const char* file;
};
const Format kFormats[2] = {{"png16m", 24, "png16m", "/tmp/zuvi_export_bench.png"},
                            {"gif8", 8, "bmp256", "/tmp/zuvi_export_bench.gif"}};

bool Export(const ZuExportBenchViewRef& view, const Format& f)
{
    const double size[2] = {kWidth, kHeight};
    return view->ExportRun(ZuStringRef(f.file), size, 150, f.bits, ZuStringRef(f.device), 0);
}

void BM_ExportRun(benchmark::State& state)
{
    const Format& f = kFormats[state.range(0)];
    ZuExportBenchViewRef view = MakeView();
    for (auto _ : state)
        if (!Export(view, f))
            state.SkipWithError("export failed");
    std::remove(f.file);
    state.SetLabel(std::string(f.device) + " 1240x1754");
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ExportRun)->Arg(0)->Arg(1)->UseRealTime()->Unit(benchmark::kMillisecond);

// The bare interpreter on the text the port sent for the same export.
void BM_GsExportPostScript(benchmark::State& state)
{
    const Format& f = kFormats[state.range(0)];
    const int pages = int(state.range(1));
    ZuExportBenchViewRef view = MakeView();
    view->capture = true;
    if (!Export(view, f)) {
        state.SkipWithError("export failed");
        return;
    }
    const std::string page = view->tap->sent;
    std::remove(f.file);
    char name[] = "/tmp/zuvi_export_bench_XXXXXX";
    const int fd = mkstemp(name);
    if (fd < 0) {
        state.SkipWithError("no temporary file");
        return;
    }
    FILE* file = fdopen(fd, "w");
    for (int i = 0; i < pages; ++i)
        std::fwrite(page.data(), 1, page.size(), file);
    std::fclose(file);
    char dpi[32];
    std::snprintf(dpi, sizeof dpi, "%.6f", kWidth * 25.4 / 210.0);
    const std::string out = std::string(name) + "-%d";
    const std::string command =
        std::string("gs -q -dNOPAUSE -dBATCH -dNOSAFER -dTextAlphaBits=1 -dGraphicsAlphaBits=1 ") +
        "-sDEVICE=" + f.gsDevice + " -r" + dpi + " -g1240x1754 -sOutputFile=" + out + " " + name +
        " >/dev/null 2>&1";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("gs failed");
    for (int i = 1; i <= pages; ++i)
        std::remove((std::string(name) + "-" + std::to_string(i)).c_str());
    std::remove(name);
    state.SetLabel(std::string(f.gsDevice) + " 1240x1754 " + std::to_string(page.size()) +
                   " bytes");
    state.SetItemsProcessed(state.iterations() * pages);
}
BENCHMARK(BM_GsExportPostScript)
    ->Args({0, 1})
    ->Args({0, 20})
    ->Args({1, 1})
    ->Args({1, 20})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

} // namespace
