// Restores a drawing object (line, arc, arrow or any other the stream
// names) from arbitrary bytes: the input is one stored object, as a
// document holds it. Whatever the bytes, reading must end in an object or a
// ZuExcStream, never in a crash or an abort. An object that was read stores
// and restores to the same state, stores again the same bytes, and is put
// to work (handles, properties,
// transforms, drawing, boxes and hits on a port without a target).
//
// With GRAOBJECTS_FUZZ_SEEDS set to a directory, the first run writes seeds
// there: a line, arcs of each shape and arrows with each head, some with a
// shadow and a fancy pen.
#include "app/arcdef.h"
#include "app/arrowdef.h"
#include "app/graarc.h"
#include "app/graarrow.h"
#include "app/graline.h"
#include "app/patterndef.h"
#include "app/pendef.h"
#include "app/pulsardef.h"
#include "fuzz/graharness.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void WriteSeeds(const ZuFuzzStorageRef& storage, const char* dir)
{
    const DPoint a{1.0, 2.0};
    CGraLineRef line = Zuvi_FuzzNew<CGraLine>();
    line->SetPoints(&a, 1);
    line->PlacePoint(DPoint{10.0, 12.0}, 0);
    Zuvi_FuzzWriteSeed(dir, "line", storage->StoreOf(line));
    Zuvi_FuzzShade(line, 118);
    CPenDefRef fancy = Zuvi_FuzzNew<CPenDef>();
    fancy->SetValue(CPenDef::KIND_FANCY);
    line->SetDefinition(10, fancy);
    line->SetDefinition(11, Zuvi_FuzzNew<CPatternDef>());
    line->SetDefinition(12, Zuvi_FuzzNew<CPulsarDef>());
    Zuvi_FuzzWriteSeed(dir, "line-fancy-shadow", storage->StoreOf(line));
    for (int shape = 222; shape <= 225; shape++) {
        CGraArcRef arc = Zuvi_FuzzNew<CGraArc>();
        CArcDefRef def = Zuvi_FuzzNew<CArcDef>();
        def->SetValue(221);
        def->SetMode(shape);
        arc->SetDefinition(51, def);
        arc->SetPoints(&a, 1);
        arc->PlacePoint(DPoint{6.0, -3.0}, 0);
        arc->SetPropertyValue(6, 0.5);
        if (shape == 225)
            Zuvi_FuzzShade(arc, 118);
        Zuvi_FuzzWriteSeed(dir, "arc-" + std::to_string(shape), storage->StoreOf(arc));
    }
    for (int head = 66; head <= 69; head++) {
        CGraArrowRef arrow = Zuvi_FuzzNew<CGraArrow>();
        CArrowDefRef def = Zuvi_FuzzNew<CArrowDef>();
        def->SetValue(head);
        def->SetFlags(head == 67 ? 1 : 0);
        arrow->SetDefinition(40, def);
        arrow->SetDefinition(41, def);
        arrow->SetPoints(&a, 1);
        arrow->PlacePoint(DPoint{30.0, 2.0}, 0);
        if (head == 67)
            Zuvi_FuzzShade(arrow, 118);
        Zuvi_FuzzWriteSeed(dir, "arrow-" + std::to_string(head), storage->StoreOf(arrow));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ZuviFuzzGraRuntime& runtime = Zuvi_FuzzRuntime<ZuviFuzzGraRuntime>(
        "graobjects_fuzz", "GRAOBJECTS_FUZZ_TRACE", "GRAOBJECTS_FUZZ_SEEDS", WriteSeeds);
    Zuvi_FuzzGraObjectInput(runtime, data, size, true);
    return 0;
}
