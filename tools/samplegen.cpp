// Writes the program's "default.sample": the six sample lists that a new
// document reads, in the document's order ("Tout", "Trait", "Intérieur",
// "Ombre", "Forme", "Mise en page"). Each sample is named and kinded as the
// samples dialog makes them ("Trait 1" of kind 32 ...) and holds copies of
// the default definitions and of the document's default pens and colours
// under the attribute codes of its kind.
//
//   samplegen OUTPUT.sample
//
// The same program always writes the same bytes.
#include <cstdio>

#include "app/arcdef.h"
#include "app/arrowdef.h"
#include "app/cornerdef.h"
#include "app/document.h"
#include "app/fontdef.h"
#include "app/misc.h"
#include "app/motifdef.h"
#include "app/patterndef.h"
#include "app/polyrdef.h"
#include "app/positiondef.h"
#include "app/pulsardef.h"
#include "si/atom.h"
#include "si/classfactory.h"
#include "si/memzone.h"

namespace {

// A new definition of the type with its default values.
CDefRef Default(int type)
{
    return NewDefinition(type);
}

struct Entry {
    int code;
    CDefRef def;
};

// Appends a sample to the list: its name, kind and definitions.
void AddSample(const CSampleListRef& list, const char* name, int kind,
               std::initializer_list<Entry> entries)
{
    const int at = list->Count();
    list->InsertNew(at);
    list->SetName(at, ZuStringRef(name));
    list->SetKind(at, kind);
    for (const Entry& e : entries)
        if (e.def.IsValid())
            list->SetDef(at, e.code, e.def);
}

bool Generate(const char* output)
{
    const CDocumentRef doc(
        ZuObjectRef(ZuClassFactory::New(CDocumentRef::RetRuntime(), nullptr, __LINE__, __FILE__)));
    doc->Reset();
    for (int i = 0; i < CDocument::SAMPLE_LISTS; ++i)
        while (doc->GetSampleList(i)->Count() > 0)
            doc->GetSampleList(i)->Remove(0);

    const CPositionDefRef shadow(Default(70));
    shadow->SetValue(CPositionDef::BOTTOM_RIGHT);
    shadow->SetOffsetX(2.0);
    shadow->SetOffsetY(2.0);

    // "Tout": a bit of everything.
    AddSample(doc->GetSampleList(0), "Tout 1", 37,
              {{10, doc->GetPen(0)},
               {15, doc->GetColor(0)},
               {20, Default(30)},
               {25, doc->GetColor(5)},
               {30, Default(50)},
               {100, Default(70)},
               {120, Default(80)}});
    // "Trait": strokes.
    AddSample(doc->GetSampleList(1), "Trait 1", 32, {{10, doc->GetPen(0)}, {15, doc->GetColor(0)}});
    AddSample(doc->GetSampleList(1), "Trait 2", 32, {{10, doc->GetPen(3)}, {15, doc->GetColor(2)}});
    AddSample(doc->GetSampleList(1), "Trait 3", 32,
              {{10, doc->GetPen(1)}, {11, Default(11)}, {12, Default(12)}, {15, doc->GetColor(8)}});
    // "Intérieur": fills.
    AddSample(doc->GetSampleList(2), "Int\xe9rieur 1", 33,
              {{20, Default(30)}, {25, doc->GetColor(1)}});
    AddSample(doc->GetSampleList(2), "Int\xe9rieur 2", 33,
              {{20, Default(30)}, {21, Default(11)}, {22, Default(12)}, {25, doc->GetColor(4)}});
    // "Ombre": a shadow below and to the right.
    AddSample(doc->GetSampleList(3), "Ombre 1", 34,
              {{100, shadow}, {101, Default(30)}, {102, Default(11)}, {105, doc->GetColor(1)}});
    // "Forme": corners, arrow heads, polygon and arc.
    AddSample(doc->GetSampleList(4), "Forme 1", 35,
              {{30, Default(50)},
               {31, Default(50)},
               {40, Default(60)},
               {41, Default(60)},
               {50, Default(40)},
               {51, Default(41)}});
    // "Mise en page": the font and the text's colour.
    AddSample(doc->GetSampleList(5), "Mise en page 1", 36,
              {{120, Default(80)}, {125, doc->GetColor(0)}});

    ZuStringRef name(output);
    return doc->WriteSamples(name);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: samplegen OUTPUT.sample\n");
        return 2;
    }
    ZuMemZone::Initialise();
    ZuAtom::Initialise();
    ZuClassFactory::Initialise();
    const bool written = Generate(argv[1]);
    ZuObjectRef::RealiseDeletions();
    ZuClassFactory::Kill();
    ZuObjectRef::RealiseDeletions();
    ZuAtom::Kill();
    ZuObjectRef::ReleaseDeletionQueue();
    ZuMemZone::Kill();
    if (!written) {
        std::fprintf(stderr, "samplegen: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
