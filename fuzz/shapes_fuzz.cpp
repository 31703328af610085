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
#include "app/graport.h"
#include "app/grarect.h"
#include "app/polyrdef.h"
#include "fuzz/quietsink.h"
#include "si/classfactory.h"
#include "si/except.h"
#include "si/maininit.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/string.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

ZU_HANDLE(ZuShapeFuzzStorage, ZuStorage)
class ZuShapeFuzzStorage : public ZuStorage {
    ZU_CLASS(ZuShapeFuzzStorage, ZuStorage)
public:
    ZuShapeFuzzStorage() {}
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
ZU_CLASS_END(ZuShapeFuzzStorage)
ZU_IMPLEMENT_CLASS(ZuShapeFuzzStorage, "fuzz/shapes_fuzz", ZU_CLASS_PLAIN)

namespace {

void Check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "shapes_fuzz: %s\n", what);
        std::abort();
    }
}

std::vector<std::uint8_t> StoreOf(const ZuShapeFuzzStorageRef& storage, const CGraObjectRef& o)
{
    storage->StartWriting();
    storage->StoreObject(o);
    std::vector<std::uint8_t> bytes = storage->Written();
    storage->Stop();
    return bytes;
}

template <class X>
ZuObjectRef New()
{
    return ZuNew<X>(nullptr, __LINE__, "fuzz/shapes_fuzz");
}

void WriteSeed(const ZuShapeFuzzStorageRef& storage, const char* dir, const CGraObjectRef& o,
               const std::string& name)
{
    const std::vector<std::uint8_t> bytes = StoreOf(storage, o);
    std::string const path = std::string(dir) + "/seed-" + name;
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
}

void Shade(const CGraObjectRef& o)
{
    CPositionDefRef where = New<CPositionDef>();
    where->SetValue(119);
    o->SetDefinition(100, where);
    o->SetDefinition(101, New<CMotifDef>());
    o->SetDefinition(105, New<CColorDef>());
}

CCornerDefRef Corner(int kind, double inset)
{
    CCornerDefRef c = New<CCornerDef>();
    c->SetValue(kind);
    c->SetLength(inset);
    return c;
}

void WriteSeeds(const ZuShapeFuzzStorageRef& storage, const char* dir)
{
    const DPoint points[2] = {{1.0, 2.0}, {11.0, 8.0}};
    for (int kind = 110; kind <= 115; kind++) {
        CGraRectRef rect = New<CGraRect>();
        rect->SetPoints(points, 2);
        if (kind != 110)
            rect->SetDefinition(30, Corner(kind, 1.5));
        if (kind == 112) {
            rect->SetPropertyValue(8, 0.4);
            Shade(rect);
        }
        if (kind == 114) {
            CPenDefRef fancy = New<CPenDef>();
            fancy->SetValue(CPenDef::KIND_FANCY);
            rect->SetDefinition(10, fancy);
            rect->SetDefinition(11, New<CPatternDef>());
            rect->SetDefinition(12, New<CPulsarDef>());
        }
        WriteSeed(storage, dir, rect, "rect-" + std::to_string(kind));
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
        CGraPolyRegRef poly = New<CGraPolyReg>();
        poly->SetPoints(points, 2);
        CPolyRegDefRef shape = New<CPolyRegDef>();
        shape->SetSides(s.sides);
        shape->SetValue(s.star ? CPolyRegDef::STAR : CPolyRegDef::POLYGON);
        shape->SetIndentation(s.depth);
        poly->SetDefinition(50, shape);
        poly->SetDefinition(30, Corner(s.outer, 0.5));
        poly->SetDefinition(31, Corner(s.inner, 0.25));
        if (s.sides == 5)
            Shade(poly);
        WriteSeed(storage, dir, poly, "poly-" + std::to_string(s.sides));
    }
}

bool Same(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// The object's own state as its operations show it: handles, properties,
// box and edit fields.
bool SameState(const CGraObjectRef& a, const CGraObjectRef& b)
{
    if (a->RetRuntime() != b->RetRuntime() || a->GetHandleCount() != b->GetHandleCount() ||
        a->GetEditMode() != b->GetEditMode() || a->IsEditing() != b->IsEditing() ||
        a->GetFlag() != b->GetFlag())
        return false;
    for (int n = 0; n < a->GetHandleCount(); n++) {
        const DPoint p = a->GetHandlePosition(n);
        const DPoint q = b->GetHandlePosition(n);
        if (!Same(p.x, q.x) || !Same(p.y, q.y) || a->GetHandleType(n) != b->GetHandleType(n))
            return false;
    }
    for (int n = 0; n < a->GetPropertyCount(); n++) {
        double v = 0.0, w = 0.0;
        if (a->GetPropertyValue(n, v) != b->GetPropertyValue(n, w) || !Same(v, w))
            return false;
    }
    const DRect r = a->GetBoundingBox();
    const DRect s = b->GetBoundingBox();
    return Same(r.x1, s.x1) && Same(r.y1, s.y1) && Same(r.x2, s.x2) && Same(r.y2, s.y2);
}

void Exercise(const CGraObjectRef& o, CGraPortRef& port)
{
    if (o->IsKindOf(CGraPolyRegRef::RetRuntime())) {
        CGraPolyRegRef poly(o);
        const int sides = poly->GetSides();
        Check(sides >= 3 && sides <= 50, "sides out of 3 .. 50");
        const double t = poly->GetIndentation();
        Check(t >= 0.0 && t <= 1.0, "indentation out of 0 .. 1");
        Check(poly->NextIndex(2 * sides - 1) == 0, "index does not wrap");
    }
    const int handles = o->GetHandleCount();
    Check(handles >= 0 && handles <= 100, "handle count out of range");
    for (int n = -1; n <= handles; n++) {
        DPoint p = o->GetHandlePosition(n);
        (void)o->GetHandleType(n);
        (void)o->GetHandle(n, p);
    }
    const int count = o->GetPropertyCount();
    for (int n = -1; n <= count; n++) {
        double v = 0.0;
        ZuStringRef name;
        (void)o->GetPropertyName(n, name);
        if (o->GetPropertyValue(n, v))
            (void)o->SetPropertyValue(n, v);
        DPoint a, b;
        int kind = 0;
        (void)o->GetPropertyHandles(n, a, b, kind);
    }
    ZuStringRef text;
    (void)o->GetDebugText(text);
    int kinds[40] = {};
    int found = 0;
    (void)o->GetMissingDefinitions(kinds, &found);
    ChangeRecord change;
    std::memset(&change, 0, sizeof change);
    change.kind = 2;
    change.c = DPoint{2.0, -0.5};
    (void)o->SaveGeometry(change);
    (void)o->Transform(change, 2);
    change.kind = 3;
    change.c = DPoint{0.7, 0.0};
    (void)o->Transform(change, 0);
    for (int n = 0; n < handles; n++)
        o->MoveHandle(n, DPoint{double(n), 3.0 - n});
    for (int flags : {0, 3, 7, 8, 23})
        (void)o->Draw(port, flags);
    (void)o->DrawShadow(port, 7);
    (void)o->UpdateBoundingBox(port);
    (void)o->HitTest(port, DPoint{1.0, 1.0}, 1.0, 1);
    (void)o->HitTestSegment(port, DPoint{1.0, 1.0}, 1.0, 1);
    (void)o->PruneDefinitions();
    CGraObjectRef copy = NewGraObject(o->RetRuntime());
    if (copy.IsValid()) {
        copy->CopyFrom(o);
        copy->Delete();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    struct Runtime {
        ZuShapeFuzzStorageRef storage;
        CGraPortRef port;
    };
    static Runtime* runtime = [] {
        Zuvi_FuzzQuietUnless("SHAPES_FUZZ_TRACE");
        Zuvi_StartServices();
        auto* r = new Runtime{ZuNew<ZuShapeFuzzStorage>(nullptr, __LINE__, "fuzz/shapes_fuzz"),
                              ZuNew<CGraPort>(nullptr, __LINE__, "fuzz/shapes_fuzz")};
        std::atexit([] {
            delete runtime;
            Zuvi_StopServices();
        });
        if (char const* dir = std::getenv("SHAPES_FUZZ_SEEDS"))
            WriteSeeds(r->storage, dir);
        return r;
    }();
    ZuShapeFuzzStorageRef& storage = runtime->storage;
    {
        CGraObjectRef o;
        storage->StartReading(data, size);
        try {
            ZuObjectRef read;
            storage->RestoreObject(read, CGraObjectRef::RetRuntime());
            o = CGraObjectRef(read);
        } catch (const ZuExcStream&) {
            Check(o.IsInvalid(), "half-read object reached the caller");
        }
        storage->Stop();
        if (o.IsValid()) {
            const std::vector<std::uint8_t> first = StoreOf(storage, o);
            storage->StartReading(first.data(), first.size());
            ZuObjectRef again;
            storage->RestoreObject(again, CGraObjectRef::RetRuntime());
            Check(storage->RetRemainingData() == 0, "stored record not read whole");
            Check(again.IsValid(), "stored record not read");
            storage->Stop();
            Check(SameState(o, CGraObjectRef(again)), "object changed on its way back");
            Exercise(o, runtime->port);
            o->Delete();
            CGraObjectRef(again)->Delete();
        }
    }
    ZuObjectRef::RealiseDeletions();
    return 0;
}
