// What the fuzz targets of single drawing objects share: their runtime (the
// storage and a port without a target), the comparison of an object's state
// before and after the storage, the operations every drawing object must
// bear, and the round trip of one input.
#ifndef FUZZ_GRAHARNESS_H
#define FUZZ_GRAHARNESS_H

#include "app/colordef.h"
#include "app/graobject.h"
#include "app/graport.h"
#include "app/misc.h"
#include "app/motifdef.h"
#include "app/positiondef.h"
#include "fuzz/harness.h"
#include "si/classfactory.h"
#include "si/string.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

struct ZuviFuzzGraRuntime : ZuviFuzzStorageRuntime {
    CGraPortRef port = ZuNew<CGraPort>(nullptr, __LINE__, "fuzz/graharness");
};

template <class X>
ZuObjectRef Zuvi_FuzzNew()
{
    return ZuNew<X>(nullptr, __LINE__, "fuzz/graharness");
}

// A shadow for a seed: placed by `position`, with a fill and a colour.
inline void Zuvi_FuzzShade(const CGraObjectRef& o, int position)
{
    CPositionDefRef where = Zuvi_FuzzNew<CPositionDef>();
    where->SetValue(position);
    o->SetDefinition(100, where);
    o->SetDefinition(101, Zuvi_FuzzNew<CMotifDef>());
    o->SetDefinition(105, Zuvi_FuzzNew<CColorDef>());
}

inline bool Zuvi_FuzzSame(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// The object's own state as its operations show it: handles, properties,
// box and edit fields, to the bit.
inline bool Zuvi_FuzzSameState(const CGraObjectRef& a, const CGraObjectRef& b)
{
    if (a->RetRuntime() != b->RetRuntime() || a->GetHandleCount() != b->GetHandleCount() ||
        a->GetEditMode() != b->GetEditMode() || a->IsEditing() != b->IsEditing() ||
        a->GetFlag() != b->GetFlag())
        return false;
    for (int n = 0; n < a->GetHandleCount(); n++) {
        const DPoint p = a->GetHandlePosition(n);
        const DPoint q = b->GetHandlePosition(n);
        if (!Zuvi_FuzzSame(p.x, q.x) || !Zuvi_FuzzSame(p.y, q.y) ||
            a->GetHandleType(n) != b->GetHandleType(n))
            return false;
    }
    for (int n = 0; n < a->GetPropertyCount(); n++) {
        double v = 0.0, w = 0.0;
        if (a->GetPropertyValue(n, v) != b->GetPropertyValue(n, w) || !Zuvi_FuzzSame(v, w))
            return false;
    }
    const DRect r = a->GetBoundingBox();
    const DRect s = b->GetBoundingBox();
    return Zuvi_FuzzSame(r.x1, s.x1) && Zuvi_FuzzSame(r.y1, s.y1) && Zuvi_FuzzSame(r.x2, s.x2) &&
           Zuvi_FuzzSame(r.y2, s.y2);
}

// Every handle of the object asked, and one past each end; the count must
// keep to the table.
inline int Zuvi_FuzzAskHandles(const CGraObjectRef& o)
{
    const int handles = o->GetHandleCount();
    Zuvi_FuzzCheck(handles >= 0 && handles <= 100, "handle count out of range");
    for (int n = -1; n <= handles; n++) {
        DPoint p = o->GetHandlePosition(n);
        (void)o->GetHandleType(n);
        (void)o->GetHandle(n, p);
    }
    return handles;
}

// The object scaled (2, -0.5) with its pen and insets, as the page view
// does; the change it was given.
inline ChangeRecord Zuvi_FuzzScale(const CGraObjectRef& o)
{
    ChangeRecord change;
    std::memset(&change, 0, sizeof change);
    change.kind = 2;
    change.c = DPoint{2.0, -0.5};
    (void)o->SaveGeometry(change);
    (void)o->Transform(change, 2);
    return change;
}

// What any drawing object must bear, whatever it was read as: handles and
// properties asked one past each end, transforms, moves, drawing, boxes,
// hits and a copy.
inline void Zuvi_FuzzExerciseGraObject(const CGraObjectRef& o, CGraPortRef& port)
{
    const int handles = Zuvi_FuzzAskHandles(o);
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
    int kinds[64] = {};
    int found = 0;
    (void)o->GetMissingDefinitions(kinds, &found);
    ChangeRecord change = Zuvi_FuzzScale(o);
    change.kind = 3;
    change.c = DPoint{0.7, 0.0};
    (void)o->Transform(change, 0);
    for (int n = 0; n < handles; n++)
        o->MoveHandle(n, DPoint{double(n), 3.0 - n});
    for (int flags : {0, 3, 7, 8, 23})
        (void)o->Draw(port, flags);
    for (int flags : {4, 7})
        (void)o->DrawShadow(port, flags);
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

// One input: a drawing object read from the bytes (or none: the bytes
// refused). An object that was read stores and restores to the same state,
// and with `same_record` the record read back stores the same bytes again
// (what a reader skipped is kept and written back in place: the record
// does not grow). Then it is put to work: first `own`, the promises of its
// class, then what any drawing object bears.
inline void Zuvi_FuzzGraObjectInput(ZuviFuzzGraRuntime& runtime, const std::uint8_t* data,
                                    std::size_t size, bool same_record,
                                    void (*own)(const CGraObjectRef&) = nullptr)
{
    ZuFuzzStorageRef& storage = runtime.storage;
    {
        CGraObjectRef o(storage->RestoreFrom(data, size, CGraObjectRef::RetRuntime()));
        if (o.IsValid()) {
            const std::vector<std::uint8_t> first = storage->StoreOf(o);
            storage->StartReading(first.data(), first.size());
            ZuObjectRef again;
            storage->RestoreObject(again, CGraObjectRef::RetRuntime());
            Zuvi_FuzzCheck(storage->RetRemainingData() == 0, "stored record not read whole");
            Zuvi_FuzzCheck(again.IsValid(), "stored record not read");
            storage->Stop();
            Zuvi_FuzzCheck(Zuvi_FuzzSameState(o, CGraObjectRef(again)),
                           "object changed on its way back");
            if (same_record)
                Zuvi_FuzzCheck(storage->StoreOf(again) == first,
                               "stored record changed on its way back");
            if (own)
                own(o);
            Zuvi_FuzzExerciseGraObject(o, runtime.port);
            o->Delete();
            CGraObjectRef(again)->Delete();
        }
    }
    ZuObjectRef::RealiseDeletions();
}

#endif
