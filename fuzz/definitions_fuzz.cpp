// Restores one attribute definition (or the stored view settings, which
// travel with them in a document) from arbitrary bytes: the first byte
// picks the class, the rest is the instance record (object part first).
// Whatever the bytes, reading must end in a definition that keeps its
// invariants, or in a ZuExcStream, never in a crash or an abort; a
// definition that was read stores, restores and stores again to the same
// bytes.
//
// A new definition class joins by adding its class name to `classes`.
// Brushes and pulsars are also put to work: the brush is walked record by
// record with its handles and widths asked at several positions, the
// pulsar walks a path on both axes and answers every value, so that a
// stored record that would lead them astray shows up.
//
// With DEFINITIONS_FUZZ_SEEDS set to a directory, the first run writes one
// seed there per class (the record of a new definition of that class), and
// fills with each kind of gradient. DEFINITIONS_FUZZ_TRACE shows the
// diagnostics of rejected input.
#include "app/def.h"
#include "app/misc.h"
#include "app/motifdef.h"
#include "app/patterndef.h"
#include "app/pendef.h"
#include "app/polyrdef.h"
#include "app/positiondef.h"
#include "app/pulsardef.h"
#include "app/view.h"
#include "fuzz/harness.h"
#include "si/classfactory.h"
#include "si/except.h"
#include "si/string.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char* const classes[] = {
    "CDef",    "CColorDef", "CArcDef",      "CArrowDef",   "CCloseDef", "CCornerDef",  "CFontDef",
    "CPenDef", "CMotifDef", "CPositionDef", "CPolyRegDef", "CView",     "CPatternDef", "CPulsarDef",
};
std::size_t const class_count = sizeof classes / sizeof classes[0];

struct ViewAccess : CView {
    static void Store(const ZuObjectRef& v, const ZuStorageRef& s)
    {
        (CViewRef(v).RetRawObject()->*(&ViewAccess::StoreInstance))(s);
    }
    static void Restore(const ZuObjectRef& v, const ZuStorageRef& s)
    {
        (CViewRef(v).RetRawObject()->*(&ViewAccess::RestoreInstance))(s);
    }
};

bool IsView(std::size_t which)
{
    return std::strcmp(classes[which], "CView") == 0;
}

struct DefAccess : CDef {
    static void Store(const CDefRef& d, const ZuStorageRef& s)
    {
        (d.RetRawObject()->*(&DefAccess::StoreInstance))(s);
    }
    static void Restore(const CDefRef& d, const ZuStorageRef& s)
    {
        (d.RetRawObject()->*(&DefAccess::RestoreInstance))(s);
    }
};

ZuObjectRef NewOfClass(std::size_t which)
{
    return ZuObjectRef(
        ZuClassFactory::New(classes[which], nullptr, __LINE__, "fuzz/definitions_fuzz"));
}

std::vector<std::uint8_t> StoreOf(const ZuFuzzStorageRef& storage, std::size_t which,
                                  const ZuObjectRef& d)
{
    storage->StartWriting();
    if (IsView(which))
        ViewAccess::Store(d, storage);
    else
        DefAccess::Store(CDefRef(d), storage);
    std::vector<std::uint8_t> bytes = storage->Written();
    storage->Stop();
    return bytes;
}

void WriteSeed(const ZuFuzzStorageRef& storage, const char* dir, std::size_t which,
               const ZuObjectRef& d, const std::string& name)
{
    std::vector<std::uint8_t> bytes = StoreOf(storage, which, d);
    bytes.insert(bytes.begin(), std::uint8_t(which));
    Zuvi_FuzzWriteSeed(dir, name, bytes);
}

void WriteSeeds(const ZuFuzzStorageRef& storage, const char* dir)
{
    for (std::size_t i = 0; i < class_count; i++) {
        WriteSeed(storage, dir, i, NewOfClass(i), classes[i]);
        if (std::strcmp(classes[i], "CMotifDef") != 0)
            continue;
        for (int kind : {230, 231, 232, 233, 234}) {
            CMotifDefRef fill(NewOfClass(i));
            fill->SetValue(CMotifDef::KIND_GRADIENT);
            fill->SetGradientType(kind);
            WriteSeed(storage, dir, i, fill, std::string(classes[i]) + "-" + std::to_string(kind));
        }
    }
}

void WalkBrush(const CPatternDefRef& b)
{
    int length = -1;
    b->GetLength(length);
    Zuvi_FuzzCheck(length >= 0 && b->GetOpcode(length) == 0, "brush without its end record");
    int i = 0;
    b->FirstElement(i);
    for (;;) {
        Zuvi_FuzzCheck(i >= 0 && i <= length, "brush walk left the drawing");
        for (double t : {0.0, 0.5, 1.0, 2.0}) {
            double point[2];
            for (int h = 0; h < 3; h++)
                (void)b->GetHandleAt(i, h, point, t);
            double width = 0.0;
            b->GetShapeWidthAt(i, width, t);
        }
        int colour = 0, kind = 0;
        double point[2];
        (void)b->GetShapeColor(i, colour, 2);
        (void)b->GetHandle(i, 0, point, kind, 1);
        double record[CPatternDef::MAX_RECORD];
        b->GetElement(i, record);
        int j = i;
        b->NextElementInShape(j);
        Zuvi_FuzzCheck(j >= 0 && j <= length, "shape walk left the drawing");
        j = i;
        b->PrevElementInShape(j);
        Zuvi_FuzzCheck(j >= 0 && j <= length, "shape walk left the drawing");
        if (!b->NextElement(i))
            break;
    }
    Zuvi_FuzzCheck(i >= 0 && i <= length, "brush walk left the drawing");
}

void WalkPulsar(const CPulsarDefRef& p)
{
    for (int i = 0; i < CDef::MAX_VALUES; i++)
        p->SetBaseValues(i, i, -1.0, 0.0, 1.0);
    for (int a = 0; a < 2; a++) {
        p->SetAxis(a);
        p->BeginPath(7.0, true);
    }
    const int count = p->GetCount();
    for (int step = 0; step < 9; step++) {
        for (int a = 0; a < 2; a++) {
            p->SetAxis(a);
            p->SetRotation(step * 0.9 - 2.0);
            for (int n = 0; n < count; n++) {
                p->SetIndex(n);
                for (int i = -1; i <= CDef::MAX_VALUES; i++)
                    (void)p->GetVariation(i);
            }
        }
        for (int i = 0; i < CDef::MAX_VALUES; i++)
            (void)p->GetCombinedVariation(i);
        for (int a = 0; a < 2; a++) {
            p->SetAxis(a);
            p->NextStep();
        }
    }
}

// The operations of the classes that have their own, on whatever was read.
void ExerciseOwn(const CDefRef& d)
{
    ChangeRecord change;
    std::memset(&change, 0, sizeof change);
    change.kind = 3;
    change.a = {0.5, -0.25};
    change.c = {0.3, 0.0};
    if (d->IsA(CMotifDefRef::RetRuntime())) {
        CMotifDefRef m(d);
        const int colors = m->GetColorCount();
        Zuvi_FuzzCheck(colors >= CMotifDef::MIN_COLORS && colors <= CMotifDef::MAX_COLORS,
                       "colour count out of range");
        Zuvi_FuzzCheck(m->GetStepX() >= 0.1 && m->GetStepY() >= 0.1, "step below its least");
        const int n = m->CountGradientPoints();
        (void)m->GetGradientPoint(n);
        m->TransformMesh(change);
        m->ClampMeshBorder();
        for (int part = 0; part < 4; part++)
            m->BuildDefaultMesh(part, 0.5);
        (void)m->ResetGradientPoints();
        Zuvi_FuzzCheck(m->CountGradientPoints() == n, "gradient points resized");
        m->SetColorCount(m->GetColorCount() + 3);
        (void)m->ResetGradientPoints();
    } else if (d->IsA(CPenDefRef::RetRuntime())) {
        CPenDefRef p(d);
        (void)p->GetLimitAngle();
        (void)p->CountKindValues();
    } else if (d->IsA(CPositionDefRef::RetRuntime())) {
        CPositionDefRef p(d);
        Zuvi_FuzzCheck(p->GetInclude() >= 0.0 && p->GetInclude() <= 2.0, "include out of range");
        (void)p->GetShadowOffset();
    } else if (d->IsA(CPolyRegDefRef::RetRuntime())) {
        CPolyRegDefRef p(d);
        Zuvi_FuzzCheck(p->GetSides() >= 3 && p->GetSides() <= 50, "sides out of range");
        Zuvi_FuzzCheck(p->GetIndentation() >= 0.0 && p->GetIndentation() <= 1.0,
                       "indentation out of range");
    } else if (d->IsA(CPatternDefRef::RetRuntime())) {
        WalkBrush(CPatternDefRef(d));
    } else if (d->IsA(CPulsarDefRef::RetRuntime())) {
        WalkPulsar(CPulsarDefRef(d));
    }
}

// What every definition keeps whatever it was given, and what its
// operations must bear.
void Exercise(const CDefRef& d)
{
    const int count = d->GetCount();
    const int index = d->GetIndex();
    Zuvi_FuzzCheck(count >= 1 && count <= CDef::MAX_VALUES, "count out of range");
    Zuvi_FuzzCheck(index >= 0 && index < count, "index out of range");
    Zuvi_FuzzCheck(std::memchr(d->RetNameText(), 0, CDef::NAME_PLACES) != nullptr,
                   "name not terminated");
    for (int i = 0; i < count; i++) {
        d->SetIndex(i);
        (void)d->GetValue();
        ZuStringRef shown = d->GetDisplayName();
        (void)shown;
    }
    d->SetIndex(index);
    ZuStringRef name = d->GetName();
    Zuvi_FuzzCheck(name.IsValid() && std::strcmp(name->AccessLatin(), d->RetNameText()) == 0,
                   "name lost");
    CDefRef clone;
    d->CloneTo(clone);
    if (clone.IsValid())
        (void)d->IsEqualCurrent(clone);
    ExerciseOwn(d);
}

void ExerciseView(const CViewRef& v)
{
    for (int i = 0; i < 3; i++)
        v->PushZoomHistory();
    while (v->PopZoomHistory()) {}
    Zuvi_FuzzCheck(v->RetHistoryCount() == 0, "history not emptied");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const ZuFuzzStorageRef& storage =
        Zuvi_FuzzRuntime<ZuviFuzzStorageRuntime>("definitions_fuzz", "DEFINITIONS_FUZZ_TRACE",
                                                 "DEFINITIONS_FUZZ_SEEDS", WriteSeeds)
            .storage;
    if (size == 0)
        return 0;

    std::size_t const which = data[0] % class_count;
    const bool view = IsView(which);
    {
        ZuObjectRef d = NewOfClass(which);
        bool read = false;
        storage->StartReading(data + 1, size - 1);
        try {
            if (view)
                ViewAccess::Restore(d, storage);
            else
                DefAccess::Restore(CDefRef(d), storage);
            read = true;
        } catch (const ZuExcStream&) {}
        storage->Stop();
        std::vector<std::uint8_t> first;
        if (read)
            first = StoreOf(storage, which, d);
        // What was left half-read keeps its invariants too.
        if (view)
            ExerciseView(CViewRef(d));
        else
            Exercise(CDefRef(d));
        if (read) {
            ZuObjectRef again = NewOfClass(which);
            storage->StartReading(first.data(), first.size());
            if (view)
                ViewAccess::Restore(again, storage);
            else
                DefAccess::Restore(CDefRef(again), storage);
            Zuvi_FuzzCheck(storage->RetRemainingData() == 0, "stored record not read whole");
            storage->Stop();
            Zuvi_FuzzCheck(StoreOf(storage, which, again) == first,
                           "record changed on its way back");
        }
    }
    ZuObjectRef::RealiseDeletions();
    return 0;
}
