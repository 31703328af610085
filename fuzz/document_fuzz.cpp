// Reads a document file (".lumbra") made of arbitrary bytes, the way the
// program opens one. Whatever the bytes, reading must end in a sound
// document or in no document, never in a crash, an abort or a hang. A
// document that was read is walked (its tree deep both ways), written to a
// file and read back, then taken apart. Writing and reading back must
// succeed.
//
// With DOCUMENT_FUZZ_SEEDS set to a directory, the first run writes seeds
// there: a new document, one with pages, layers, guides, samples and a
// drawing object with a shadow, and one with every kind of drawing object,
// definition and brush (fuzz/fulldocument.h).
#include "app/document.h"
#include "app/graobject.h"
#include "app/treeit.h"
#include "fuzz/fulldocument.h"
#include "fuzz/harness.h"
#include "si/atom.h"
#include "si/classfactory.h"
#include "si/memzone.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

std::string Scratch(const char* what)
{
    return Zuvi_FuzzScratch("lumbra-document-fuzz", what);
}

template <class R>
R Make()
{
    return R(
        ZuObjectRef(ZuClassFactory::New(R::RetRuntime(), nullptr, __LINE__, "fuzz/document_fuzz")));
}

void WriteSeeds(const char* dir)
{
    CDocumentRef plain = Make<CDocumentRef>();
    plain->Reset();
    plain->WriteFile(ZuStringRef((std::string(dir) + "/new.lumbra").c_str()));
    CDocumentRef full = Make<CDocumentRef>();
    full->Reset();
    full->AddGuide(true, 10.0);
    full->AddGuide(false, -5.0);
    full->GetSampleList(1)->InsertNew(0);
    full->GetSampleList(1)->SetDef(0, 10, full->GetPen(3));
    const CTreeNodeRef root = full->GetTree()->RetRoot();
    for (int page = 0; page < 2; ++page) {
        CTreeNodeRef p = Make<CTreeNodeRef>();
        p->SetObject(Make<CGraObjectRef>());
        p->InsertLastChild(root);
        CTreeNodeRef layer = Make<CTreeNodeRef>();
        layer->SetObject(Make<CGraObjectRef>());
        layer->InsertLastChild(p);
        CGraObjectRef object = Make<CGraObjectRef>();
        CPositionDefRef shadow = Make<CPositionDefRef>();
        shadow->SetValue(118);
        object->SetDefinition(100, shadow);
        object->SetDefinition(105, full->GetColor(1));
        CTreeNodeRef n = Make<CTreeNodeRef>();
        n->SetObject(object);
        n->InsertLastChild(layer);
    }
    full->WriteFile(ZuStringRef((std::string(dir) + "/full.lumbra").c_str()));
    CDocumentRef every = Zuvi_FuzzFullDocument();
    every->WriteFile(ZuStringRef((std::string(dir) + "/every-kind.lumbra").c_str()));
    plain->Delete();
    full->Delete();
    every->Delete();
}

void StartRuntime()
{
    static bool started = [] {
        Zuvi_FuzzQuietUnless("DOCUMENT_FUZZ_TRACE");
        ZuMemZone::Initialise();
        ZuAtom::Initialise();
        ZuClassFactory::Initialise();
        if (char const* seeds = std::getenv("DOCUMENT_FUZZ_SEEDS"))
            WriteSeeds(seeds);
        std::atexit([] {
            ZuObjectRef::RealiseDeletions();
            ZuClassFactory::Kill();
            ZuObjectRef::RealiseDeletions();
            ZuAtom::Kill();
            ZuObjectRef::ReleaseDeletionQueue();
            ZuMemZone::Kill();
        });
        return true;
    }();
    (void)started;
}

// Walks the whole tree both ways; the walks must end.
int Walk(const CTreeRef& tree, int direction)
{
    CTreeItRef it = Make<CTreeItRef>();
    it->InitDeep(tree->RetRoot(), direction);
    int n = 0;
    CTreeNodeRef node;
    for (it->NextDeep(node); node.IsValid(); it->NextDeep(node))
        ++n;
    return n;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    StartRuntime();
    std::string const input = Scratch("input.lumbra");
    {
        std::ofstream out(input, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    }
    {
        CDocumentRef doc = CDocument::ReadFile(ZuStringRef(input.c_str()));
        if (doc.IsValid()) {
            const int nodes = doc->GetTree()->RetRoot()->GetSubtreeSize() + 1;
            if (Walk(doc->GetTree(), 1) != nodes || Walk(doc->GetTree(), -1) != nodes)
                std::abort();
            for (int i = 0; i < CDocument::SAMPLE_LISTS; ++i) {
                const CSampleListRef list = doc->GetSampleList(i);
                for (int k = 0; k < list->Count(); ++k) {
                    const CSampleNodeRef sample = list->GetNode(k);
                    if (sample.IsInvalid())
                        continue;
                    sample->StartDefIteration();
                    CDefRef def;
                    for (int code = 0; sample->NextDefCode(code);)
                        if (!sample->FindDef(code, def))
                            std::abort();
                }
            }
            // What was read writes and reads again.
            std::string const again = Scratch("again.lumbra");
            if (!doc->WriteFile(ZuStringRef(again.c_str())))
                std::abort();
            CDocumentRef back = CDocument::ReadFile(ZuStringRef(again.c_str()));
            if (back.IsInvalid())
                std::abort();
            back->Delete();
            doc->Delete();
        }
    }
    ZuObjectRef::RealiseDeletions();
    return 0;
}
