// The document of the document benchmarks: 2,000 mixed shapes
// (rectangles, ellipses and lines, each with its own colour) on one page,
// drawn through the port. Included by one file of each program.
#ifndef BENCH_DOCSHAPES_H
#define BENCH_DOCSHAPES_H

#include "app/document.h"
#include "app/graarc.h"
#include "app/graline.h"
#include "app/graport.h"
#include "app/grarect.h"
#include "ghost/gscontext.h"
#include "si/classfactory.h"
#include "si/rtclass.h"

#include <cstring>
#include <string>

// A context that keeps the PostScript it is sent and runs nothing.
ZU_HANDLE(ZuDocBenchCapture, GSContext)
class ZuDocBenchCapture : public GSContext {
    ZU_CLASS(ZuDocBenchCapture, GSContext)
public:
    ZuDocBenchCapture() {}
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
ZU_CLASS_END(ZuDocBenchCapture)
ZU_IMPLEMENT_CLASS(ZuDocBenchCapture, "bench/docshapes", ZU_CLASS_PLAIN)

namespace {

const int kShapes = 2000;

template <class R>
R BenchMake()
{
    return R(ZuObjectRef(ZuClassFactory::New(R::RetRuntime(), nullptr, __LINE__, __FILE__)));
}

// A page, a layer, and the shapes from a fixed pseudo-random sequence.
CDocumentRef BuildDocument()
{
    CDocumentRef doc = BenchMake<CDocumentRef>();
    doc->Reset();
    CTreeNodeRef page = BenchMake<CTreeNodeRef>();
    page->InsertLastChild(doc->GetTree()->RetRoot());
    CTreeNodeRef layer = BenchMake<CTreeNodeRef>();
    layer->InsertLastChild(page);
    unsigned seed = 12345;
    auto next = [&seed](unsigned range) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % range;
    };
    for (int i = 0; i < kShapes; ++i) {
        const double x = next(200), y = next(280), s = 2 + next(20);
        const DPoint points[2] = {{x, y}, {x + s, y + s}};
        CGraObjectRef shape;
        switch (i % 3) {
        case 0:
            shape = BenchMake<CGraRectRef>();
            break;
        case 1:
            shape = BenchMake<CGraArcRef>();
            break;
        default:
            shape = BenchMake<CGraLineRef>();
            break;
        }
        shape->SetPoints(points, 2);
        if (i % 3 == 1)
            shape->PlacePoint(points[1], 0);
        CColorDefRef colour = BenchMake<CColorDefRef>();
        colour->SetRGB(next(256) / 255.0, next(256) / 255.0, next(256) / 255.0);
        shape->SetDefinition(15, colour);
        CTreeNodeRef node = BenchMake<CTreeNodeRef>();
        node->SetObject(shape);
        node->InsertLastChild(layer);
    }
    return doc;
}

// Every drawing object of the document through the port.
void DrawDocument(const CDocumentRef& doc, const GSContextRef& target)
{
    CGraPortRef port = BenchMake<CGraPortRef>();
    port->SetTarget(target);
    port->InitBinaryMode();
    port->InitGraphics();
    // As the export does: the drawings go in pieces, not one send each.
    port->SetDeferred(true);
    const CTreeNodeRef root = doc->GetTree()->RetRoot();
    for (CTreeNodeRef n = root->NextInPreorder(root, true); n.IsValid();
         n = n->NextInPreorder(root, true)) {
        // The node's own handle, as the program's drawing loop takes it.
        const ZuObjectRef& object = n->RetObject();
        if (object.IsValid() && object->IsKindOf(CGraObjectRef::RetRuntime()))
            CGraObjectRef(object)->Draw(port, 3);
    }
    port->SetDeferred(false);
    port->Flush();
}

} // namespace

#endif
