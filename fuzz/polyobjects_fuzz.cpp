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
#include "fuzz/quietsink.h"
#include "si/classfactory.h"
#include "si/except.h"
#include "si/maininit.h"
#include "si/storage.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

ZU_HANDLE(ZuPolyFuzzStorage, ZuStorage)
class ZuPolyFuzzStorage : public ZuStorage {
    ZU_CLASS(ZuPolyFuzzStorage, ZuStorage)
public:
    ZuPolyFuzzStorage() {}
    void StartReading(const std::uint8_t* bytes, std::size_t n)
    {
        SetStorageMode(ZU_STORAGE_REMOTE);
        data = bytes;
        size = n;
        pos = 0;
        DropPushedBack();
    }
    void StartWriting()
    {
        SetStorageMode(ZU_STORAGE_REMOTE);
        out.clear();
    }
    void Stop() { SetStorageMode(ZU_STORAGE_OFF); }
    const std::vector<std::uint8_t>& Written() const { return out; }

    void StoreData(const void* bytes, unsigned int n) override
    {
        const auto* p = static_cast<const std::uint8_t*>(bytes);
        out.insert(out.end(), p, p + n);
    }
    std::uint64_t RetRemainingData() const override { return size - pos; }
    void RestoreData(void* to, unsigned int n) override
    {
        if (n > size - pos)
            throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_READ);
        std::memcpy(to, data + pos, n);
        pos += n;
    }

private:
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    std::size_t pos = 0;
    std::vector<std::uint8_t> out;
};
ZU_CLASS_END(ZuPolyFuzzStorage)
ZU_IMPLEMENT_CLASS(ZuPolyFuzzStorage, "fuzz/polyobjects_fuzz", ZU_CLASS_PLAIN)

namespace {

void Check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "polyobjects_fuzz: %s\n", what);
        std::abort();
    }
}

void WriteSeed(const ZuPolyFuzzStorageRef& storage, const char* dir, std::uint8_t which,
               const CGraObjectRef& o, const char* name)
{
    storage->StartWriting();
    storage->StoreObject(o);
    std::vector<std::uint8_t> bytes = storage->Written();
    storage->Stop();
    bytes.insert(bytes.begin(), which);
    std::string const path = std::string(dir) + "/seed-" + name;
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
}

void WriteSeeds(const ZuPolyFuzzStorageRef& storage, const char* dir)
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
    Check(count >= 0 && count <= 100, "vertex count outside the table");
    Check(o->GetHandleCount() == 3 * count, "handle count");
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
    Check(copy->GetHandleCount() == o->GetHandleCount(), "copy lost vertices");
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
    Check(o->GetHandleCount() >= 0 && o->GetHandleCount() <= 300, "editing left the table");
    o->Draw(port, 7);
    port->Delete();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static ZuPolyFuzzStorageRef* storage_handle = [] {
        Zuvi_FuzzQuietUnless("POLY_FUZZ_TRACE");
        Zuvi_StartServices();
        auto* handle = new ZuPolyFuzzStorageRef(
            ZuNew<ZuPolyFuzzStorage>(nullptr, __LINE__, "fuzz/polyobjects_fuzz"));
        std::atexit([] {
            delete storage_handle;
            Zuvi_StopServices();
        });
        if (char const* dir = std::getenv("POLY_FUZZ_SEEDS"))
            WriteSeeds(*handle, dir);
        return handle;
    }();
    ZuPolyFuzzStorageRef& storage = *storage_handle;
    if (size == 0)
        return 0;
    const bool polygon = (data[0] & 1) != 0;
    CGraObjectRef o;
    storage->StartReading(data + 1, size - 1);
    try {
        if (polygon) {
            CGraPolyLineRef l;
            storage >> l;
            o = l;
        } else {
            CGraPolyCurveRef c;
            storage >> c;
            o = c;
        }
        storage->FinallyAwake();
    } catch (const ZuExcStream&) {
        o = CGraObjectRef();
    }
    storage->Stop();
    if (o.IsInvalid()) {
        ZuObjectRef::RealiseDeletions();
        return 0;
    }
    const int count = polygon ? CGraPolyLineRef(o)->GetCount() : CGraPolyCurveRef(o)->GetCount();
    Exercise(o, count);
    // What was read stores again.
    storage->StartWriting();
    storage->StoreObject(o);
    storage->Stop();
    o->Delete();
    o = CGraObjectRef();
    ZuObjectRef::RealiseDeletions();
    return 0;
}
