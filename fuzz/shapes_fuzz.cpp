// Restores a rectangle or a regular polygon (or any drawing object the
// stream names) from arbitrary bytes: the input is one stored object, as a
// document holds it. Whatever the bytes, reading must end in an object or a
// ZuExcStream, never in a crash or an abort. An object that was read stores
// and restores to the same state, and is put to work: handles, properties,
// transforms, drawing, boxes and hits on a port without a target. The
// polygon's outline must keep to at most 50 sides whatever its shape
// definition holds.
//
// With SHAPES_FUZZ_SEEDS set to a directory, the first run writes seeds
// there: rectangles with each corner kind, inclined or not, polygons and
// stars with corners, some with a shadow and a fancy pen.
#include "app/cornerdef.h"
#include "app/grapolyr.h"
#include "app/grarect.h"
#include "app/patterndef.h"
#include "app/pendef.h"
#include "app/polyrdef.h"
#include "app/pulsardef.h"
#include "fuzz/graharness.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

CCornerDefRef Corner(int kind, double inset)
{
    CCornerDefRef c = Zuvi_FuzzNew<CCornerDef>();
    c->SetValue(kind);
    c->SetLength(inset);
    return c;
}

void WriteSeeds(const ZuFuzzStorageRef& storage, const char* dir)
{
    const DPoint points[2] = {{1.0, 2.0}, {11.0, 8.0}};
    for (int kind = 110; kind <= 115; kind++) {
        CGraRectRef rect = Zuvi_FuzzNew<CGraRect>();
        rect->SetPoints(points, 2);
        if (kind != 110)
            rect->SetDefinition(30, Corner(kind, 1.5));
        if (kind == 112) {
            rect->SetPropertyValue(8, 0.4);
            Zuvi_FuzzShade(rect, 119);
        }
        if (kind == 114) {
            CPenDefRef fancy = Zuvi_FuzzNew<CPenDef>();
            fancy->SetValue(CPenDef::KIND_FANCY);
            rect->SetDefinition(10, fancy);
            rect->SetDefinition(11, Zuvi_FuzzNew<CPatternDef>());
            rect->SetDefinition(12, Zuvi_FuzzNew<CPulsarDef>());
        }
        Zuvi_FuzzWriteSeed(dir, "rect-" + std::to_string(kind), storage->StoreOf(rect));
    }
    struct Shape {
        int sides;
        bool star;
        double depth;
        int outer, inner;
    } const shapes[] = {
        {3, false, 0.0, 110, 110}, {6, false, 0.0, 111, 110}, {5, true, 0.5, 112, 113},
        {8, true, 0.2, 114, 111},  {50, true, 0.9, 113, 112},
    };
    for (const Shape& s : shapes) {
        CGraPolyRegRef poly = Zuvi_FuzzNew<CGraPolyReg>();
        poly->SetPoints(points, 2);
        CPolyRegDefRef shape = Zuvi_FuzzNew<CPolyRegDef>();
        shape->SetSides(s.sides);
        shape->SetValue(s.star ? CPolyRegDef::STAR : CPolyRegDef::POLYGON);
        shape->SetIndentation(s.depth);
        poly->SetDefinition(50, shape);
        poly->SetDefinition(30, Corner(s.outer, 0.5));
        poly->SetDefinition(31, Corner(s.inner, 0.25));
        if (s.sides == 5)
            Zuvi_FuzzShade(poly, 119);
        Zuvi_FuzzWriteSeed(dir, "poly-" + std::to_string(s.sides), storage->StoreOf(poly));
    }
}

// The regular polygon's own promises, whatever its shape definition held.
void Own(const CGraObjectRef& o)
{
    if (!o->IsKindOf(CGraPolyRegRef::RetRuntime()))
        return;
    CGraPolyRegRef poly(o);
    const int sides = poly->GetSides();
    Zuvi_FuzzCheck(sides >= 3 && sides <= 50, "sides out of 3 .. 50");
    const double t = poly->GetIndentation();
    Zuvi_FuzzCheck(t >= 0.0 && t <= 1.0, "indentation out of 0 .. 1");
    Zuvi_FuzzCheck(poly->NextIndex(2 * sides - 1) == 0, "index does not wrap");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ZuviFuzzGraRuntime& runtime = Zuvi_FuzzRuntime<ZuviFuzzGraRuntime>(
        "shapes_fuzz", "SHAPES_FUZZ_TRACE", "SHAPES_FUZZ_SEEDS", WriteSeeds);
    Zuvi_FuzzGraObjectInput(runtime, data, size, false, Own);
    return 0;
}
