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
#include "app/graport.h"
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

ZU_HANDLE(ZuGraFuzzStorage, ZuStorage)
class ZuGraFuzzStorage : public ZuStorage {
    ZU_CLASS(ZuGraFuzzStorage, ZuStorage)
public:
    ZuGraFuzzStorage() {}
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
ZU_CLASS_END(ZuGraFuzzStorage)
ZU_IMPLEMENT_CLASS(ZuGraFuzzStorage, "fuzz/graobjects_fuzz", ZU_CLASS_PLAIN)

namespace {

void Check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "graobjects_fuzz: %s\n", what);
        std::abort();
    }
}

std::vector<std::uint8_t> StoreOf(const ZuGraFuzzStorageRef& storage, const CGraObjectRef& o)
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
    return ZuNew<X>(nullptr, __LINE__, "fuzz/graobjects_fuzz");
}

void WriteSeed(const ZuGraFuzzStorageRef& storage, const char* dir, const CGraObjectRef& o,
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
    where->SetValue(118);
    o->SetDefinition(100, where);
    o->SetDefinition(101, New<CMotifDef>());
    o->SetDefinition(105, New<CColorDef>());
}

void WriteSeeds(const ZuGraFuzzStorageRef& storage, const char* dir)
{
    const DPoint a{1.0, 2.0};
    CGraLineRef line = New<CGraLine>();
    line->SetPoints(&a, 1);
    line->PlacePoint(DPoint{10.0, 12.0}, 0);
    WriteSeed(storage, dir, line, "line");
    Shade(line);
    CPenDefRef fancy = New<CPenDef>();
    fancy->SetValue(CPenDef::KIND_FANCY);
    line->SetDefinition(10, fancy);
    line->SetDefinition(11, New<CPatternDef>());
    line->SetDefinition(12, New<CPulsarDef>());
    WriteSeed(storage, dir, line, "line-fancy-shadow");
    for (int shape = 222; shape <= 225; shape++) {
        CGraArcRef arc = New<CGraArc>();
        CArcDefRef def = New<CArcDef>();
        def->SetValue(221);
        def->SetMode(shape);
        arc->SetDefinition(51, def);
        arc->SetPoints(&a, 1);
        arc->PlacePoint(DPoint{6.0, -3.0}, 0);
        arc->SetPropertyValue(6, 0.5);
        if (shape == 225)
            Shade(arc);
        WriteSeed(storage, dir, arc, "arc-" + std::to_string(shape));
    }
    for (int head = 66; head <= 69; head++) {
        CGraArrowRef arrow = New<CGraArrow>();
        CArrowDefRef def = New<CArrowDef>();
        def->SetValue(head);
        def->SetFlags(head == 67 ? 1 : 0);
        arrow->SetDefinition(40, def);
        arrow->SetDefinition(41, def);
        arrow->SetPoints(&a, 1);
        arrow->PlacePoint(DPoint{30.0, 2.0}, 0);
        if (head == 67)
            Shade(arrow);
        WriteSeed(storage, dir, arrow, "arrow-" + std::to_string(head));
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

// What any drawing object must bear, whatever it was read as.
void Exercise(const CGraObjectRef& o, CGraPortRef& port)
{
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
    (void)o->DrawShadow(port, 4);
    (void)o->UpdateBoundingBox(port);
    (void)o->HitTest(port, DPoint{1.0, 1.0}, 1.0, 1);
    (void)o->PruneDefinitions();
    CGraObjectRef copy = NewGraObject(o->RetRuntime());
    if (copy.IsValid())
        copy->CopyFrom(o);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    struct Runtime {
        ZuGraFuzzStorageRef storage;
        CGraPortRef port;
    };
    // The runtime lives for the whole run and is taken down in order at
    // exit, before the zones' own static destruction.
    static Runtime* runtime = [] {
        Zuvi_FuzzQuietUnless("GRAOBJECTS_FUZZ_TRACE");
        Zuvi_StartServices();
        auto* r = new Runtime{ZuNew<ZuGraFuzzStorage>(nullptr, __LINE__, "fuzz/graobjects_fuzz"),
                              ZuNew<CGraPort>(nullptr, __LINE__, "fuzz/graobjects_fuzz")};
        std::atexit([] {
            delete runtime;
            Zuvi_StopServices();
        });
        if (char const* dir = std::getenv("GRAOBJECTS_FUZZ_SEEDS"))
            WriteSeeds(r->storage, dir);
        return r;
    }();
    ZuGraFuzzStorageRef& storage = runtime->storage;
    {
        CGraObjectRef o;
        runtime->storage->StartReading(data, size);
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
            // What a reader skipped is kept and written back in place: the
            // record read back stores the same bytes, it does not grow.
            Check(StoreOf(storage, CGraObjectRef(again)) == first,
                  "stored record changed on its way back");
            Exercise(o, runtime->port);
            o->Delete();
            CGraObjectRef(again)->Delete();
        }
    }
    ZuObjectRef::RealiseDeletions();
    return 0;
}
