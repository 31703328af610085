// Restores one attribute definition from arbitrary bytes: the first byte
// picks the class, the rest is the definition's instance record (object
// part first). Whatever the bytes, reading must end in a definition that
// keeps its invariants, or in a ZuExcStream, never in a crash or an abort;
// a definition that was read stores, restores and stores again to the same
// bytes.
//
// A new definition class joins by adding its class name to `classes`.
//
// With DEFINITIONS_FUZZ_SEEDS set to a directory, the first run writes one
// seed there per class (the record of a new definition of that class).
#include "app/def.h"
#include "si/atom.h"
#include "si/classfactory.h"
#include "si/except.h"
#include "si/memzone.h"
#include "si/storage.h"
#include "si/string.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

char const* const classes[] = {
    "CDef", "CColorDef", "CArcDef", "CArrowDef", "CCloseDef", "CCornerDef", "CFontDef",
};
std::size_t const class_count = sizeof classes / sizeof classes[0];

} // namespace

ZU_HANDLE(ZuDefFuzzStorage, ZuStorage)
class ZuDefFuzzStorage : public ZuStorage {
    ZU_CLASS(ZuDefFuzzStorage, ZuStorage)
public:
    ZuDefFuzzStorage() {}
    void StartReading(std::uint8_t const* bytes, std::size_t n)
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
    std::vector<std::uint8_t> const& Written() const { return out; }

    void StoreData(void const* bytes, unsigned int n) override
    {
        auto const* p = static_cast<std::uint8_t const*>(bytes);
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
    std::uint8_t const* data = nullptr;
    std::size_t size = 0;
    std::size_t pos = 0;
    std::vector<std::uint8_t> out;
};
ZU_CLASS_END(ZuDefFuzzStorage)
ZU_IMPLEMENT_CLASS(ZuDefFuzzStorage, ZuStorage, "fuzz/definitions_fuzz", ZU_CLASS_PLAIN)

namespace {

struct DefAccess : CDef {
    static void Store(CDefRef const& d, ZuStorageRef const& s)
    {
        (d.RetRawObject()->*(&DefAccess::StoreInstance))(s);
    }
    static void Restore(CDefRef const& d, ZuStorageRef const& s)
    {
        (d.RetRawObject()->*(&DefAccess::RestoreInstance))(s);
    }
};

void Check(bool ok, char const* what)
{
    if (!ok) {
        std::fprintf(stderr, "definitions_fuzz: %s\n", what);
        std::abort();
    }
}

CDefRef NewDefinition(std::size_t which)
{
    return CDefRef(
        ZuObjectRef(ZuClassFactory::New(classes[which], nullptr, __LINE__, "fuzz/definitions_fuzz")));
}

std::vector<std::uint8_t> StoreOf(ZuDefFuzzStorageRef const& storage, CDefRef const& d)
{
    storage->StartWriting();
    DefAccess::Store(d, storage);
    std::vector<std::uint8_t> bytes = storage->Written();
    storage->Stop();
    return bytes;
}

void WriteSeeds(ZuDefFuzzStorageRef const& storage, char const* dir)
{
    for (std::size_t i = 0; i < class_count; i++) {
        std::vector<std::uint8_t> bytes = StoreOf(storage, NewDefinition(i));
        bytes.insert(bytes.begin(), std::uint8_t(i));
        std::string const path = std::string(dir) + "/seed-" + classes[i];
        if (FILE* f = std::fopen(path.c_str(), "wb")) {
            std::fwrite(bytes.data(), 1, bytes.size(), f);
            std::fclose(f);
        }
    }
}

// What every definition keeps whatever it was given, and what its
// operations must bear.
void Exercise(CDefRef const& d)
{
    int const count = d->GetCount();
    int const index = d->GetIndex();
    Check(count >= 1 && count <= CDef::MAX_VALUES, "count out of range");
    Check(index >= 0 && index < count, "index out of range");
    Check(std::memchr(d->RetNameText(), 0, CDef::NAME_PLACES) != nullptr, "name not terminated");
    for (int i = 0; i < count; i++) {
        d->SetIndex(i);
        (void)d->GetValue();
        ZuStringRef shown = d->GetDisplayName();
        (void)shown;
    }
    d->SetIndex(index);
    ZuStringRef name = d->GetName();
    Check(name.IsValid() && std::strcmp(name->AccessLatin(), d->RetNameText()) == 0, "name lost");
    CDefRef clone;
    d->CloneTo(clone);
    if (clone.IsValid())
        (void)d->IsEqualCurrent(clone);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size)
{
    // The runtime lives for the whole run and is taken down in order at
    // exit, before the zones' own static destruction.
    static ZuDefFuzzStorageRef* storage_handle = [] {
        ZuMemZone::Initialise();
        ZuAtom::Initialise();
        ZuClassFactory::Initialise();
        auto* handle = new ZuDefFuzzStorageRef(ZuObjectRef(
            ZuClassFactory::New(ZuDefFuzzStorageRef::RetRuntime(), nullptr, __LINE__, "fuzz/definitions_fuzz")));
        std::atexit([] {
            delete storage_handle;
            ZuObjectRef::RealiseDeletions();
            ZuClassFactory::Kill();
            ZuObjectRef::RealiseDeletions();
            ZuAtom::Kill();
            ZuObjectRef::ReleaseDeletionQueue();
            ZuMemZone::Kill();
        });
        if (char const* dir = std::getenv("DEFINITIONS_FUZZ_SEEDS"))
            WriteSeeds(*handle, dir);
        return handle;
    }();
    ZuDefFuzzStorageRef& storage = *storage_handle;
    if (size == 0)
        return 0;

    std::size_t const which = data[0] % class_count;
    {
        CDefRef d = NewDefinition(which);
        bool read = false;
        storage->StartReading(data + 1, size - 1);
        try {
            DefAccess::Restore(d, storage);
            read = true;
        } catch (ZuExcStream const&) {
        }
        storage->Stop();
        // A definition left half-read keeps its invariants too.
        Exercise(d);
        if (read) {
            std::vector<std::uint8_t> const first = StoreOf(storage, d);
            CDefRef again = NewDefinition(which);
            storage->StartReading(first.data(), first.size());
            DefAccess::Restore(again, storage);
            Check(storage->RetRemainingData() == 0, "stored record not read whole");
            storage->Stop();
            Check(StoreOf(storage, again) == first, "record changed on its way back");
        }
    }
    ZuObjectRef::RealiseDeletions();
    return 0;
}
