// A document holding every kind of drawing object, each with every
// definition it takes, for the seeds of the targets that read documents: a
// corpus of bare objects opens documents that draw nothing. Its two pages
// hold, over their layers, lines, rectangles, curve chains, free and
// regular polygons, arrows, lines of text and arcs, alone and in a group,
// with each pen kind, each of the prefabricated brushes, constant and
// varying pulsars, each fill kind and gradient, each corner, arrow head,
// arc shape and shadow position; its sample lists hold a definition of
// every type.
#ifndef FUZZ_FULLDOCUMENT_H
#define FUZZ_FULLDOCUMENT_H

#include "app/arcdef.h"
#include "app/arrowdef.h"
#include "app/closedef.h"
#include "app/cornerdef.h"
#include "app/def.h"
#include "app/document.h"
#include "app/gragroup.h"
#include "app/gralinetext.h"
#include "app/graobject.h"
#include "app/misc.h"
#include "app/motifdef.h"
#include "app/patterndef.h"
#include "app/pendef.h"
#include "app/polyrdef.h"
#include "app/positiondef.h"
#include "app/pulsardef.h"
#include "app/samplelist.h"
#include "app/tree.h"
#include "app/treenode.h"
#include "si/classfactory.h"
#include "si/string.h"

namespace zuvi_fuzz_full {

template <class R>
R New()
{
    return R(
        ZuObjectRef(ZuClassFactory::New(R::RetRuntime(), nullptr, __LINE__, "fuzz/fulldocument")));
}

inline CTreeNodeRef Attach(const ZuObjectRef& o, const CTreeNodeRef& parent)
{
    CTreeNodeRef n = New<CTreeNodeRef>();
    n->SetObject(o);
    n->InsertLastChild(parent);
    return n;
}

// A definition of `type` in its `v`-th variant.
inline CDefRef Definition(int type, int v)
{
    CDefRef def = NewDefinition(type);
    if (def.IsInvalid())
        return def;
    switch (type) {
    case 10:
        def->SetValue(v % 2 ? CPenDef::KIND_FANCY : CPenDef::KIND_PLAIN);
        break;
    case 11:
        CPatternDefRef(def)->LoadPrefab(v % CPatternDef::PREFAB_COUNT);
        break;
    case 12: {
        CPulsarDefRef pulsar(def);
        pulsar->SetValue(v % 2 ? CPulsarDef::VARIABLE : CPulsarDef::CONSTANT);
        if (v % 2) {
            pulsar->SetValueKind(0, CPulsarDef::OSCILLATOR | CPulsarDef::RANDOM |
                                        CPulsarDef::ENVELOPE);
            pulsar->SetOscillator(CPulsarDef::SINE + unsigned(v / 2 % 4), 5.0, 0.25, 0.5);
        }
        break;
    }
    case 15:
        CCloseDefRef(def)->SetClosed(v % 2 == 0);
        break;
    case 30: {
        CMotifDefRef motif(def);
        motif->SetValue(CMotifDef::KIND_UNIFORM + v % 5);
        if (v % 5 == 1)
            motif->SetGradientType(CMotifDef::GRADIENT_AXIAL + v / 5 % 5);
        break;
    }
    case 40: {
        CPolyRegDefRef shape(def);
        shape->SetValue(v % 2 ? CPolyRegDef::STAR : CPolyRegDef::POLYGON);
        shape->SetSides(3 + v % 6);
        break;
    }
    case 41:
        def->SetValue(221);
        CArcDefRef(def)->SetMode(222 + v % 4);
        break;
    case 50:
        def->SetValue(CCornerDef::SHARP + v % 6);
        break;
    case 60:
        def->SetValue(66 + v % 4);
        CArrowDefRef(def)->SetFlags(v % 2);
        break;
    case 70:
        def->SetValue(CPositionDef::TOP_LEFT + v % 5);
        break;
    default:
        break;
    }
    return def;
}

// An object of drawing kind `kind` (GetGraObjectRuntime) near (x, y), each
// of its definitions in variant v.
inline CGraObjectRef Object(int kind, int v, double x, double y)
{
    CGraObjectRef o = NewGraObject(GetGraObjectRuntime(kind));
    if (o.IsInvalid())
        return o;
    const DPoint a{x, y};
    const DPoint b{x + 12.0, y + 7.0};
    const DPoint box[2] = {a, b};
    switch (kind) {
    case 11:
    case 14:
        o->SetPoints(box, 2);
        break;
    case 12:
    case 13:
        for (DPoint p : {a, DPoint{x + 8.0, y + 9.0}, b, DPoint{x + 2.0, y + 6.0}}) {
            o->SetPoints(&p, 1);
            if (kind == 12)
                o->DragPoint(DPoint{p.x + 2.0, p.y + 3.0}, 0);
        }
        break;
    case 16: {
        o->SetHandlePosition(0, a);
        o->SetHandlePosition(1, b);
        CGraLineTextRef(o)->SetText(ZuStringRef(v % 2 ? "\xc9t\xe9 (\\)" : "Bonjour"));
        break;
    }
    default:
        o->SetPoints(&a, 1);
        o->PlacePoint(b, 0);
        break;
    }
    int kinds[64] = {};
    o->GetDefinitionKinds(kinds);
    kinds[63] = 0;
    for (const int* k = kinds; *k != 0; ++k) {
        const CDefRef def = Definition(GetDefTypeOfKind(*k), v + *k);
        if (def.IsValid())
            o->SetDefinition(*k, def);
    }
    return o;
}

} // namespace zuvi_fuzz_full

// The document, reset and filled; the caller deletes it.
inline CDocumentRef Zuvi_FuzzFullDocument()
{
    using namespace zuvi_fuzz_full;
    CDocumentRef doc = New<CDocumentRef>();
    doc->Reset();
    doc->AddGuide(true, 10.0);
    doc->AddGuide(false, -5.0);
    // One attribute kind of each definition type.
    const int codes[] = {10, 11, 12, 15, 18, 20, 30, 40, 50, 51, 100, 120};
    for (int i = 0; i < CDocument::SAMPLE_LISTS; ++i) {
        const CSampleListRef list = doc->GetSampleList(i);
        list->InsertNew(0);
        for (int code : codes) {
            const CDefRef def = Definition(GetDefTypeOfKind(code), i);
            if (def.IsValid())
                list->SetDef(0, code, def);
        }
    }
    const int kinds[] = {10, 11, 12, 13, 14, 15, 16, 18};
    const CTreeNodeRef root = doc->GetTree()->RetRoot();
    int v = 0;
    for (int page = 0; page < 2; ++page) {
        const CTreeNodeRef p = Attach(New<CGraObjectRef>(), root);
        for (int layer = 0; layer < 2; ++layer) {
            const CTreeNodeRef l = Attach(New<CGraObjectRef>(), p);
            // Alone, each kind in its variant...
            for (int k = 0; k < int(sizeof kinds / sizeof kinds[0]); ++k, ++v) {
                const CGraObjectRef o = Object(kinds[k], v, -90.0 + 20.0 * k, -60.0 + 30.0 * layer);
                if (o.IsValid())
                    Attach(o, l);
            }
            // ... and some in a group.
            const CGraGroupRef group = New<CGraGroupRef>();
            const CTreeNodeRef g = Attach(group, l);
            for (int k = 0; k < 3; ++k, ++v) {
                const CGraObjectRef o = Object(kinds[(k * 3 + page) % 8], v, 20.0 * k, 40.0);
                if (o.IsValid())
                    Attach(o, g);
            }
            const DPoint corners[2] = {{0.0, 40.0}, {52.0, 47.0}};
            group->SetPoints(corners, 2);
        }
    }
    return doc;
}

#endif
