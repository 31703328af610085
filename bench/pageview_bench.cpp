// The page view's render run and its copy into the window, beside the bare
// interpreter rendering the same PostScript.
//
// A generated A4 page of 2,000 mixed shapes (lines, dashed lines,
// rectangles, filled rectangles, arcs, curves and lines of text) is shown
// by a page view at 100 per cent (72 dpi) and at 150 dpi, the whole page
// and a quarter of it (the view over the page's lower-left quarter: the
// shapes outside are culled before they reach the interpreter). Each
// iteration renders the page into the view's context and composes the
// window image into a 32-bit pixmap. Beside it, the `gs` program renders
// the PostScript the port sent for that view (captured once), to bmp16m at
// the same size, 1 page (its start-up counts) and 20 pages (it drops out);
// its time per iteration is divided by the pages.
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
#include "si/grailpxm.h"
#include "si/maininit.h"
#include "si/memzone.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <unistd.h>

// A display context that also keeps what it runs, to hand the same text
// to the bare interpreter.
ZU_HANDLE(ZuPageBenchTap, GSContext)
class ZuPageBenchTap : public GSContext {
    ZU_CLASS(ZuPageBenchTap, GSContext)
public:
    ZuPageBenchTap() {}
    bool ExecuteText(const char* text, int n) override
    {
        if (keep)
            sent.append(text, n > 0 ? size_t(n) : std::strlen(text));
        return GSContext::ExecuteText(text, n);
    }
    bool keep = false;
    std::string sent;
};
ZU_CLASS_END(ZuPageBenchTap)
ZU_IMPLEMENT_CLASS(ZuPageBenchTap, "bench/pageview_bench", ZU_CLASS_PLAIN)

namespace {

const int kShapes = 2000;

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

// One page, one layer, the shapes in page millimetres (origin at the
// page's middle) from a fixed pseudo-random sequence.
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

const CDocumentRef& Document()
{
    static CDocumentRef doc = BuildDocument();
    return doc;
}

// The view for a resolution (dpi) and a part (1 the whole page, 2 its
// lower-left quarter), its image w x h pixels.
struct Setup {
    CPageViewRef view;
    ZuPageBenchTapRef context;
    ZuGrailPixmapRef window;
    uint32_t w, h;
};

Setup MakeView(int dpi, int part)
{
    Setup s;
    const double zoom = dpi / 25.4;
    const uint32_t pw = uint32_t(210.0 * zoom + 0.5), ph = uint32_t(297.0 * zoom + 0.5);
    s.w = part == 1 ? pw : pw / 2;
    s.h = part == 1 ? ph : ph / 2;
    s.view = Make<CPageViewRef>();
    s.view->SetBox(ZuRect(0, 0, s.w - 1, s.h - 1));
    s.context = Make<ZuPageBenchTapRef>();
    if (!s.context->CreateContext(s.w, s.h, GS_VIEW_RGB24))
        std::abort();
    s.view->SetContext(s.context);
    s.view->SetDocument(Document());
    CViewRef v = s.view->RetView();
    v->switches[CView::SHOW_BOUNDING_BOXES] = false;
    v->switches[CView::SHOW_GUIDES] = false;
    v->zoom = zoom;
    s.view->ResetDisplay();
    // The middle of what is shown: the page, or its lower-left quarter.
    s.view->CentreOn(part == 1 ? DPoint{0, 0} : DPoint{-52.5, -74.25});
    s.window = Make<ZuGrailPixmapRef>();
    s.window->Initialise(32, s.w, s.h);
    s.window->BeginDraw(0, 0, s.w - 1, s.h - 1);
    return s;
}

void Show(Setup& s)
{
    s.view->SetRenderNeeded(true);
    s.view->Draw(s.window, ZuRect(0, 0, s.w - 1, s.h - 1), ZU_DRAW_ALL);
}

void BM_PageView(benchmark::State& state)
{
    const int dpi = int(state.range(0)), part = int(state.range(1));
    Setup s = MakeView(dpi, part);
    for (auto _ : state)
        Show(s);
    s.window->EndDraw();
    state.SetLabel(std::to_string(s.w) + "x" + std::to_string(s.h));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PageView)
    ->Args({72, 1})
    ->Args({72, 2})
    ->Args({150, 1})
    ->Args({150, 2})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// The bare interpreter on the text the port sent for the same view.
void BM_GsSamePostScript(benchmark::State& state)
{
    const int dpi = int(state.range(0)), part = int(state.range(1)), pages = int(state.range(2));
    Setup s = MakeView(dpi, part);
    s.context->keep = true;
    Show(s);
    s.window->EndDraw();
    std::string page = s.context->sent;
    char name[] = "/tmp/zuvi_pageview_bench_XXXXXX";
    const int fd = mkstemp(name);
    if (fd < 0) {
        state.SkipWithError("no temporary file");
        return;
    }
    FILE* f = fdopen(fd, "w");
    for (int i = 0; i < pages; ++i) {
        std::fwrite(page.data(), 1, page.size(), f);
        std::fputs("\nshowpage\n", f);
    }
    std::fclose(f);
    // The view's context is a 72 dpi device of w x h pixels: so is gs's.
    const std::string command = "gs -q -dNOPAUSE -dBATCH -dNOSAFER -sDEVICE=bmp16m -r72 -g" +
                                std::to_string(s.w) + "x" + std::to_string(s.h) +
                                " -sOutputFile=/dev/null " + name + " >/dev/null 2>&1";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("gs failed");
    std::remove(name);
    state.SetLabel(std::to_string(s.w) + "x" + std::to_string(s.h) + " " +
                   std::to_string(page.size()) + " bytes");
    state.SetItemsProcessed(state.iterations() * pages);
}
BENCHMARK(BM_GsSamePostScript)
    ->Args({72, 1, 1})
    ->Args({72, 1, 20})
    ->Args({72, 2, 1})
    ->Args({72, 2, 20})
    ->Args({150, 1, 1})
    ->Args({150, 1, 20})
    ->Args({150, 2, 1})
    ->Args({150, 2, 20})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

} // namespace
