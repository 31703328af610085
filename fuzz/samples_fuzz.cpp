// Reads a sample file (".sample") made of arbitrary bytes into a document,
// as the samples dialog's "Ouvrir" does. Whatever the bytes, the document
// either takes six sound lists or keeps its own, never crashes, aborts or
// hangs. Lists that were read are walked, written (which must succeed) and
// read back.
//
// With SAMPLES_FUZZ_SEEDS set to a directory, the first run writes seeds
// there: six lists with samples of every kind of definition, and the file
// the samples palette writes (every sample kind, named from its pattern,
// with its stored kind, class and the definitions of its attribute kinds).
#include "app/document.h"
#include "app/misc.h"
#include "app/sampledlg.h"
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
    return Zuvi_FuzzScratch("lumbra-samples-fuzz", what);
}

CDocumentRef& Document()
{
    static CDocumentRef* doc = new CDocumentRef();
    return *doc;
}

void WriteSeed(const char* dir)
{
    const CDocumentRef& doc = Document();
    const int types[] = {10, 11, 12, 15, 20, 30, 40, 41, 50, 60, 70, 80};
    for (int list = 0; list < CDocument::SAMPLE_LISTS; ++list) {
        const CSampleListRef l = doc->GetSampleList(list);
        l->InsertNew(0);
        l->SetName(0, ZuStringRef("seed"));
        for (int type : types)
            if (CDefRef def = NewDefinition(type); def.IsValid())
                l->SetDef(0, type + list, def);
    }
    ZuStringRef name((std::string(dir) + "/seed.sample").c_str());
    doc->WriteSamples(name);
}

void WriteDialogSeed(const char* dir)
{
    CDocumentRef doc = CDocumentRef(ZuObjectRef(
        ZuClassFactory::New(CDocumentRef::RetRuntime(), nullptr, __LINE__, "fuzz/samples_fuzz")));
    doc->Reset();
    for (int kind = 0; kind < CSampleDlg::KINDS; ++kind) {
        const CSampleListRef l = doc->GetSampleList(SampleKindTable[kind].list);
        for (int n = l->Count(); n < 2 + kind % 2; ++n) {
            l->InsertNew(n);
            l->SetKind(n, SampleKindTable[kind].icon);
            l->SetObject(n, GetGraObjectRuntime(n == 0 ? 14 : 18));
            char name[64];
            std::snprintf(name, sizeof name, SampleKindTable[kind].name_pattern, n + 1);
            l->SetName(n, ZuStringRef(name));
            for (int i = 0; SampleAttributeTable[i].kind != -1; ++i) {
                const SampleAttribute& row = SampleAttributeTable[i];
                if (kind != CSampleDlg::KIND_ALL && row.sample_kind != kind)
                    continue;
                if (CDefRef def = NewDefinition(GetDefTypeOfKind(row.kind)); def.IsValid())
                    l->SetDef(n, row.kind, def);
            }
        }
        l->SetCurrent(1);
    }
    ZuStringRef name((std::string(dir) + "/dialog.sample").c_str());
    doc->WriteSamples(name);
    doc->Delete();
}

void StartRuntime()
{
    static bool started = [] {
        Zuvi_FuzzQuietUnless("SAMPLES_FUZZ_TRACE");
        ZuMemZone::Initialise();
        ZuAtom::Initialise();
        ZuClassFactory::Initialise();
        Document() = CDocumentRef(ZuObjectRef(ZuClassFactory::New(
            CDocumentRef::RetRuntime(), nullptr, __LINE__, "fuzz/samples_fuzz")));
        Document()->Reset();
        if (char const* seeds = std::getenv("SAMPLES_FUZZ_SEEDS")) {
            WriteSeed(seeds);
            WriteDialogSeed(seeds);
        }
        std::atexit([] {
            Document()->Delete();
            Document() = CDocumentRef();
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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    StartRuntime();
    std::string const input = Scratch("input.sample");
    {
        std::ofstream out(input, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    }
    const CDocumentRef& doc = Document();
    CSampleListRef before[CDocument::SAMPLE_LISTS];
    for (int i = 0; i < CDocument::SAMPLE_LISTS; ++i)
        before[i] = doc->GetSampleList(i);
    ZuStringRef name(input.c_str());
    const bool read = doc->ReadSamples(name);
    for (int i = 0; i < CDocument::SAMPLE_LISTS; ++i) {
        const bool same = doc->GetSampleList(i) == before[i];
        // All six replaced, or none.
        if (read == same)
            std::abort();
    }
    if (read) {
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
        CSampleListRef got[CDocument::SAMPLE_LISTS];
        for (int i = 0; i < CDocument::SAMPLE_LISTS; ++i)
            got[i] = doc->GetSampleList(i);
        ZuStringRef again(Scratch("again.sample").c_str());
        if (!doc->WriteSamples(again))
            std::abort();
        // What was written reads back.
        const bool reread = doc->ReadSamples(again);
        if (!reread)
            std::abort();
        // The lists let go are taken apart (their links hold each other).
        for (int i = 0; i < CDocument::SAMPLE_LISTS; ++i) {
            before[i]->Delete();
            if (reread)
                got[i]->Delete();
        }
    }
    ZuObjectRef::RealiseDeletions();
    return 0;
}
