// Restores a curve chain or a free polygon from arbitrary bytes: the first
// byte picks the class, the rest is a whole stored object stream, read and
// woken as a document is. Whatever the bytes, reading must end in an object
// that keeps its invariants (at most 100 vertices, handles and properties
// answer, editing, drawing and storing again work), or in a ZuExcStream,
// never in a crash or an abort.
//
// With POLY_FUZZ_SEEDS set to a directory, the first run writes seeds
// there: a chain and a polygon with vertices, corners and every definition.
// POLY_FUZZ_TRACE shows the diagnostics of rejected input.
#include "app/closedef.h"
#include "app/cornerdef.h"
#include "app/graport.h"
#include "app/grapolyc.h"
#include "app/grapolyl.h"
#include "fuzz/harness.h"
#include "si/classfactory.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

// A seed: the byte that picks the class, then the object's record.
void WriteSeed(const ZuFuzzStorageRef& storage, const char* dir, std::uint8_t which,
               const CGraObjectRef& o, const char* name)
{
    std::vector<std::uint8_t> bytes = storage->StoreOf(o);
    bytes.insert(bytes.begin(), which);
    Zuvi_FuzzWriteSeed(dir, name, bytes);
}

void WriteSeeds(const ZuFuzzStorageRef& storage, const char* dir)
{
    CCloseDefRef closed = ZuNew<CCloseDef>();
    closed->SetClosed(true);
    CGraPolyCurveRef chain = ZuNew<CGraPolyCurve>();
    for (DPoint p : {DPoint{0, 0}, DPoint{10, 5}, DPoint{20, 0}}) {
        chain->SetPoints(&p, 1);
        chain->DragPoint(DPoint{p.x + 2, p.y + 3}, 0);
    }
    chain->SetDefinition(18, closed);
    WriteSeed(storage, dir, 0, chain, "chain");
    CGraPolyLineRef poly = ZuNew<CGraPolyLine>();
    for (DPoint p : {DPoint{0, 0}, DPoint{10, 0}, DPoint{10, 10}, DPoint{0, 10}})
        poly->SetPoints(&p, 1);
    CCornerDefRef corner = ZuNew<CCornerDef>();
    corner->SetValue(112);
    poly->SetDefinition(30, corner);
    poly->MoveHandle(5, DPoint{10, 3});
    poly->SetDefinition(18, closed);
    WriteSeed(storage, dir, 1, poly, "polygon");
}

// Everything a page view and the dialogs ask of an object.
void Exercise(const CGraObjectRef& o, int count)
{
    Zuvi_FuzzCheck(count >= 0 && count <= 100, "vertex count outside the table");
    Zuvi_FuzzCheck(o->GetHandleCount() == 3 * count, "handle count");
    for (int n = -1; n <= 3 * count; n++) {
        DPoint p;
        (void)o->GetHandleType(n);
        (void)o->GetHandle(n, p);
        (void)o->GetHandlePosition(n);
    }
    int words[64];
    for (int h : {-1, 1, 3 * count - 2})
        for (int s : {-1, 0, count - 1})
            o->GetPropertyLayout(h, s, 0, 0, words);
    (void)o->GetHandlesBox();
    for (int chosen : {0, 1, count}) {
        o->SetPropertyValue(2, chosen);
        for (int n = 0; n < o->GetPropertyCount(); n++) {
            double v = 0.0;
            DPoint a, b;
            int kind = 0;
            (void)o->GetPropertyValue(n, v);
            (void)o->GetPropertyHandles(n, a, b, kind);
        }
        ZuObjectRef def;
        (void)o->GetDefinition(30, def);
    }
    int kinds[32];
    int n = 0;
    o->GetMissingDefinitions(kinds, &n);
    CGraPortRef port = ZuNew<CGraPort>();
    o->Draw(port, 7);
    o->Draw(port, 16);
    o->DrawShadow(port, 7);
    o->UpdateBoundingBox(port);
    o->HitTest(port, DPoint{0, 0}, 1.0, 1);
    o->HitTestSegment(port, DPoint{0, 0}, 1.0, 0);
    CGraObjectRef copy = CGraObjectRef(ZuObjectRef(
        ZuClassFactory::New(o->RetRuntime(), nullptr, __LINE__, "fuzz/polyobjects_fuzz")));
    copy->CopyFrom(o);
    Zuvi_FuzzCheck(copy->GetHandleCount() == o->GetHandleCount(), "copy lost vertices");
    copy->Delete();
    // Editing: the palette's commands and the tool.
    o->SetPropertyValue(9, 3.0);
    o->MoveHandle(3 * count - 1, DPoint{4, 4});
    for (int command = 100; command <= 106; command++)
        o->EditPoints(1, 0, DPoint{1, 1}, command);
    o->PruneDefinitions();
    DPoint p{5, 5};
    o->SetPoints(&p, 1);
    o->DragPoint(DPoint{6, 6}, 2);
    o->RemoveLastPoint();
    Zuvi_FuzzCheck(o->GetHandleCount() >= 0 && o->GetHandleCount() <= 300,
                   "editing left the table");
    o->Draw(port, 7);
    port->Delete();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const ZuFuzzStorageRef& storage =
        Zuvi_FuzzRuntime<ZuviFuzzStorageRuntime>("polyobjects_fuzz", "POLY_FUZZ_TRACE",
                                                 "POLY_FUZZ_SEEDS", WriteSeeds)
            .storage;
    if (size == 0)
        return 0;
    const bool polygon = (data[0] & 1) != 0;
    CGraObjectRef o(storage->RestoreFrom(
        data + 1, size - 1,
        polygon ? CGraPolyLineRef::RetRuntime() : CGraPolyCurveRef::RetRuntime(), true));
    if (o.IsInvalid()) {
        ZuObjectRef::RealiseDeletions();
        return 0;
    }
    const int count = polygon ? CGraPolyLineRef(o)->GetCount() : CGraPolyCurveRef(o)->GetCount();
    Exercise(o, count);
    // What was read stores again.
    (void)storage->StoreOf(o);
    o->Delete();
    o = CGraObjectRef();
    ZuObjectRef::RealiseDeletions();
    return 0;
}
