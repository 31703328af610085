// Opens a document file (".lumbra") made of arbitrary bytes and sends its
// drawing through the PostScript port to the interpreter, in its sandbox,
// as an export does: every object of every layer draws its shadow and
// itself into a display context, then the first ones measure their boxes
// and answer a hit test. Whatever the numbers the file holds (not numbers,
// infinities, huge values), the interpreter must be left as it was found:
// nothing on its operand stack, as many dictionaries and as deep an
// execution stack as before the input, and it still runs text.
//
// With DOCRENDER_FUZZ_SEEDS set to a directory, the first run writes seeds
// there: a new document and one holding every kind of drawing object,
// definition and brush (fuzz/fulldocument.h).
#include "app/document.h"
#include "app/graobject.h"
#include "app/graport.h"
#include "app/pageview.h"
#include "app/tree.h"
#include "app/treeit.h"
#include "app/treenode.h"
#include "fuzz/fulldocument.h"
#include "fuzz/harness.h"
#include "ghost/gscontext.h"
#include "ghost/gslibmain.h"
#include "si/classfactory.h"
#include "si/string.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

// Objects drawn and measured at most per input: a file of a million
// objects costs the interpreter what it costs the program, not a finding.
const int kMostDrawn = 200;
const int kMostMeasured = 24;

std::string Scratch(const char* what)
{
    return Zuvi_FuzzScratch("lumbra-docrender-fuzz", what);
}

void WriteSeeds(const ZuFuzzStorageRef&, const char* dir)
{
    CDocumentRef plain = zuvi_fuzz_full::New<CDocumentRef>();
    plain->Reset();
    plain->WriteFile(ZuStringRef((std::string(dir) + "/new.lumbra").c_str()));
    CDocumentRef every = Zuvi_FuzzFullDocument();
    every->WriteFile(ZuStringRef((std::string(dir) + "/every-kind.lumbra").c_str()));
    plain->Delete();
    every->Delete();
}

// The operand stack's depth, the dictionary stack's and the execution
// stack's, as the interpreter prints them; false when it did not run.
struct Depths {
    int operands = -1;
    int dictionaries = -1;
    int executions = -1;
};

bool Ask(const GSContextRef& context, Depths& out)
{
    context->ClearOutput();
    if (!context->ExecuteText("count =only ( ) print countdictstack =only ( ) print "
                              "countexecstack =only flush\n",
                              0))
        return false;
    char text[64] = {};
    if (!context->ReadOutput(text, int(sizeof text) - 1))
        return false;
    return std::sscanf(text, "%d %d %d", &out.operands, &out.dictionaries, &out.executions) == 3;
}

struct Runtime : ZuviFuzzStorageRuntime {
    Runtime()
    {
        Zuvi_FuzzCheck(GSLazyStart() && GSRetLib() != nullptr && GSRetLib()->IsInitialised(),
                       "the interpreter starts");
        context = ZuNew<GSContext>(nullptr, __LINE__, "fuzz/docrender_fuzz");
        Zuvi_FuzzCheck(context->CreateContext(120, 170, GS_VIEW_RGB24), "a display context");
        Zuvi_FuzzCheck(Ask(context, before), "the interpreter answers");
    }
    ~Runtime() { context = GSContextRef(); }
    GSContextRef context;
    Depths before;
};

// Draws every layer's objects, then measures and hit-tests the first ones,
// as the page view does on a page it shows.
void Render(const CDocumentRef& doc, const GSContextRef& context)
{
    CGraPortRef port = ZuNew<CGraPort>(nullptr, __LINE__, "fuzz/docrender_fuzz");
    port->SetTarget(context);
    port->InitBinaryMode();
    port->InitGraphics();
    port->ErasePage();
    CGraTransform t;
    port->InitTransform(t);
    t.dx = doc->GetPageWidth() / 2.0;
    t.dy = doc->GetPageHeight() / 2.0;
    t.scale = CPageView::ZOOM_100 / 4.0;
    port->SetTransform(t);

    int drawn = 0;
    int measured = 0;
    for (int pass = 0; pass < 2; ++pass) {
        port->SetDeferred(pass == 0);
        for (CTreeNodeRef page = doc->GetTree()->RetRoot()->RetFirstChild(); page.IsValid();
             page = page->RetNext()) {
            for (CTreeNodeRef layer = page->RetFirstChild(); layer.IsValid();
                 layer = layer->RetNext()) {
                CTreeIt it;
                it.Init(layer, 1);
                CTreeNodeRef node;
                for (it.Next(node); node.IsValid(); it.Next(node)) {
                    ZuObjectRef& o = node->RetObject();
                    if (o.IsInvalid() || !o->IsKindOf(CGraObjectRef::RetRuntime()))
                        continue;
                    CGraObjectRef g(o);
                    if (pass == 0) {
                        if (drawn++ >= kMostDrawn)
                            break;
                        g->DrawShadow(port, 7);
                        g->Draw(port, 7);
                    } else {
                        if (measured++ >= kMostMeasured)
                            break;
                        (void)g->UpdateBoundingBox(port);
                        const DRect box = g->GetBoundingBox();
                        (void)g->HitTest(port, DPoint{(box.x1 + box.x2) / 2, box.y1}, 1.0, 1);
                    }
                }
            }
        }
        if (pass == 0)
            port->Flush();
    }
    port->Flush();
    port->SetTarget(GSContextRef());
    port->Delete();
    if (std::getenv("DOCRENDER_FUZZ_TRACE") != nullptr)
        std::fprintf(stderr, "docrender_fuzz: %d drawn, %d measured\n", drawn, measured);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Runtime& runtime = Zuvi_FuzzRuntime<Runtime>("docrender_fuzz", "DOCRENDER_FUZZ_TRACE",
                                                 "DOCRENDER_FUZZ_SEEDS", WriteSeeds);
    const std::string input = Scratch("input.lumbra");
    {
        std::ofstream out(input, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    }
    {
        CDocumentRef doc = CDocument::ReadFile(ZuStringRef(input.c_str()));
        if (doc.IsValid()) {
            Render(doc, runtime.context);
            doc->Delete();
            Depths after;
            Zuvi_FuzzCheck(Ask(runtime.context, after), "the interpreter runs text after");
            Zuvi_FuzzCheck(after.operands == runtime.before.operands,
                           "operands left on the interpreter's stack");
            Zuvi_FuzzCheck(after.dictionaries == runtime.before.dictionaries,
                           "dictionaries left on the interpreter's stack");
            Zuvi_FuzzCheck(after.executions == runtime.before.executions,
                           "the interpreter's execution stack grew");
        }
    }
    ZuObjectRef::RealiseDeletions();
    return 0;
}
