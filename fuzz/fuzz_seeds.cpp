// Writes the seed corpora of the fuzz targets: for every class the library
// registers (that can be made), a new object of the class stored through an
// archive (the archive target's input) and through a plain storage (the
// storage target's input), and a few filled containers of each kind. The
// seeds are valid inputs, so that a fuzz run starts from the stored forms
// the readers expect instead of discovering them byte by byte.
//
//   fuzz_seeds <archive seed directory> <storage seed directory>
#include "app/gragroup.h"
#include "app/graobject.h"
#include "app/tree.h"
#include "app/undogroup.h"
#include "fuzz/foundinputs.h"
#include "fuzz/quietsink.h"
#include "si/archive.h"
#include "si/array.h"
#include "si/array2d.h"
#include "si/atom.h"
#include "si/classfactory.h"
#include "si/cycarray.h"
#include "si/dict.h"
#include "si/dictree.h"
#include "si/except.h"
#include "si/filewrite.h"
#include "si/listree.h"
#include "si/maininit.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/stream.h"
#include "si/string.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

ZU_HANDLE(ZuSeedStorage, ZuStorage)
class ZuSeedStorage : public ZuStorage {
    ZU_CLASS(ZuSeedStorage, ZuStorage)
public:
    ZuSeedStorage() {}
    void Start()
    {
        bytes.clear();
        SetStorageMode(ZU_STORAGE_REMOTE);
    }
    void Stop() { SetStorageMode(ZU_STORAGE_OFF); }
    void StoreData(const void* data, unsigned int size) override
    {
        const auto* p = static_cast<const unsigned char*>(data);
        bytes.insert(bytes.end(), p, p + size);
    }
    void RestoreData(void*, unsigned int) override
    {
        throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_READ);
    }
    std::uint64_t RetRemainingData() const override { return 0; }
    std::vector<unsigned char> bytes;
};
ZU_CLASS_END(ZuSeedStorage)
ZU_IMPLEMENT_CLASS(ZuSeedStorage, "fuzz/fuzz_seeds", ZU_CLASS_PLAIN)

namespace {

template <class R>
R Make()
{
    return ZuObjectRef(
        ZuClassFactory::New(R::RetRuntime(), Zuvi_app_zone, __LINE__, "fuzz/fuzz_seeds"));
}

// Filled containers: the stored forms with repeats, gaps, levels and marks.
std::vector<std::pair<std::string, ZuObjectRef>> FilledSamples()
{
    std::vector<std::pair<std::string, ZuObjectRef>> samples;
    ZuStringRef text("texte \xe9t\xe9");

    ZuDictRef dict = Make<ZuDictRef>();
    dict->Insert(ZuAtomRef("a"), text);
    dict->Insert(ZuAtomRef("a"), text);
    dict->Insert(ZuAtomRef("b"), ZuAtomRef("c"));
    samples.emplace_back("filled-dict", dict);

    ZuDicTreeRef tree = Make<ZuDicTreeRef>();
    tree->InsertUsingPath("k:l:m", text);
    tree->InsertUsingPath("k:n", ZuAtomRef("x"));
    tree->InsertUsingPath("o", ZuStringRef("y"));
    samples.emplace_back("filled-dictree", tree);

    ZuArrayRef array = Make<ZuArrayRef>();
    array->SetSize(7);
    array->Access(1) = text;
    array->Access(2) = ZuAtomRef("z");
    array->Access(5) = dict;
    samples.emplace_back("filled-array", array);

    ZuCyclicArrayRef ring = Make<ZuCyclicArrayRef>();
    ring->SetModulo(2);
    for (const char* x : {"x", "y", "z"})
        ring->Insert(ZuObjectRef(ZuStringRef(x)));
    samples.emplace_back("filled-ring", ring);

    ZuArray2DRef grid = Make<ZuArray2DRef>();
    grid->SetSize(2, 3);
    grid->Access(1, 2) = text;
    samples.emplace_back("filled-grid", grid);

    ZuLisTreeRef list_tree = Make<ZuLisTreeRef>();
    list_tree->Insert(text);
    list_tree->InsertNewLevel();
    list_tree->Insert(ZuAtomRef("deep"));
    list_tree->InsertMark();
    list_tree->InsertEndLevel();
    list_tree->InsertMark();
    samples.emplace_back("filled-listree", list_tree);

    // Undo steps: actions of every kind over a small tree, a saved state
    // and an entered group.
    CTreeRef objects = Make<CTreeRef>();
    CTreeNodeRef layer = Make<CTreeNodeRef>();
    layer->SetObject(Make<CGraObjectRef>());
    layer->InsertLastChild(objects->RetRoot());
    CTreeNodeRef group = Make<CTreeNodeRef>();
    group->SetObject(Make<CGraGroupRef>());
    group->InsertLastChild(layer);
    const auto node = [&](const CTreeNodeRef& parent) {
        CTreeNodeRef n = Make<CTreeNodeRef>();
        n->SetObject(Make<CGraObjectRef>());
        if (parent.IsValid())
            n->InsertLastChild(parent);
        return n;
    };
    const auto step = [&](int oper, int depth) {
        CUndoGroupRef g = Make<CUndoGroupRef>();
        g->SetOper(oper);
        CSavedState state = {};
        state.corners[1] = DPoint{10.0, 20.0};
        state.centre = DPoint{5.0, 10.0};
        state.boxShown = 1;
        state.handleMode = 91;
        g->SetSavedState(state);
        g->SetEnteredGroup(depth > 0 ? group : CTreeNodeRef(), depth);
        return g;
    };
    const auto add = [&](const CUndoGroupRef& g, const CUndoActionRef& a) {
        CListNodeRef n = Make<CListNodeRef>();
        n->SetObject(a);
        g->AddAction(n);
    };
    CUndoGroupRef mixed = step(10, 1);
    CUndoActionRef insert = Make<CUndoActionRef>();
    insert->RecordInsert(node(CTreeNodeRef()), group, 1);
    add(mixed, insert);
    CUndoActionRef replace = Make<CUndoActionRef>();
    replace->RecordReplace(node(CTreeNodeRef()), node(group));
    add(mixed, replace);
    CUndoActionRef remove = Make<CUndoActionRef>();
    remove->RecordRemove(node(layer));
    add(mixed, remove);
    add(mixed, Make<CUndoActionRef>());
    samples.emplace_back("filled-undogroup", mixed);
    samples.emplace_back("filled-undogroup-top", step(200, 0));
    return samples;
}

bool WriteFile(const std::string& name, const std::vector<unsigned char>& bytes)
{
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(out);
}

// One object through an archive into a file.
bool WriteArchive(const std::string& name, const ZuObjectRef& object)
{
    ZuFileWriteRef out = Make<ZuFileWriteRef>();
    ZuArchiveRef archive = Make<ZuArchiveRef>();
    try {
        out->Open(ZuStringRef(name.c_str()), false);
        archive->SetOutput(out);
        ZuStorageRef(archive) << object;
        archive->Reset();
        out->Close();
        return true;
    } catch (const ZuException&) {
        archive->Reset();
        out->Close();
        std::remove(name.c_str());
        return false;
    }
}

// One object through a plain storage, followed by the number the storage
// target reads after each object.
bool WriteStorage(const ZuSeedStorageRef& storage, const std::string& name,
                  const ZuObjectRef& object)
{
    storage->Start();
    try {
        storage->StoreObject(object);
        storage->StoreInt(0);
        storage->Stop();
    } catch (const ZuException&) {
        storage->Stop();
        return false;
    }
    return WriteFile(name, storage->bytes);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr,
                     "usage: fuzz_seeds <archive seed directory> <storage seed directory>\n");
        return 2;
    }
    std::string const archive_dir = argv[1];
    std::string const storage_dir = argv[2];
    Zuvi_FuzzQuietUnless("FUZZ_SEEDS_TRACE");
    Zuvi_StartServices();
    unsigned written = 0;
    {
        ZuSeedStorageRef storage = Make<ZuSeedStorageRef>();
        // Each sample is made and written by a child process: a class that
        // cannot be made here (a port wants the program's font manager) or
        // refuses to be stored stops the program, and only its own seeds
        // are lost.
        std::vector<std::pair<std::string, ZuRuntimeRef>> classes;
        for (unsigned i = 0; i < ZuClassFactory::TotalCount(); i++) {
            ZuRuntimeRef runtime;
            if (!ZuClassFactory::GetClass(i, runtime) || runtime.IsInvalid() ||
                runtime->IsAbstract())
                continue;
            std::string const name = runtime->RetClassName();
            // Storages and streams (which refuse to be stored), and atoms
            // (which travel as atom items, never as objects), make no seeds.
            if (runtime->IsKindOf(ZuStorageRef::RetRuntime()) ||
                runtime->IsKindOf(ZuStreamRef::RetRuntime()) || name == "ZuAtom")
                continue;
            classes.emplace_back(name, runtime);
        }
        std::vector<std::pair<std::string, ZuObjectRef>> filled = FilledSamples();
        const auto write = [&](const std::string& name, const std::function<ZuObjectRef()>& make) {
            std::string const archive_name = archive_dir + "/" + name + ".arc";
            std::string const storage_name = storage_dir + "/" + name;
            std::fflush(nullptr);
            const pid_t child = fork();
            if (child == 0) {
                bool ok = false;
                try {
                    const ZuObjectRef object = make();
                    if (object.IsValid()) {
                        // Both forms are written, whatever the first gave.
                        const bool archived = WriteArchive(archive_name, object);
                        ok = WriteStorage(storage, storage_name, object) && archived;
                    }
                } catch (const ZuException&) {}
                _exit(ok ? 0 : 1);
            }
            int status = 1;
            if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
                WEXITSTATUS(status) != 0) {
                std::remove(archive_name.c_str());
                std::remove(storage_name.c_str());
                std::fprintf(stderr, "fuzz_seeds: no seed for %s\n", name.c_str());
                return;
            }
            written += 2;
        };
        for (const auto& c : classes)
            write(c.first, [&] {
                return ZuObjectRef(
                    ZuClassFactory::New(c.second, Zuvi_app_zone, __LINE__, "fuzz/fuzz_seeds"));
            });
        for (const auto& sample : filled)
            write(sample.first, [&] { return sample.second; });
        for (auto& sample : filled)
            sample.second->Delete();
    }
    // What earlier runs found, as the storage target reads it: the record
    // and then the number it reads after each object.
    for (const auto& found : Zuvi_FoundObjectInputs())
        if (WriteFile(storage_dir + "/" + found.first, found.second))
            ++written;
    std::printf("fuzz_seeds: %u seeds written\n", written);
    Zuvi_StopServices();
    return written ? 0 : 1;
}
