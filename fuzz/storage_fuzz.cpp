// Restores object graphs from arbitrary bytes. Whatever the bytes, reading
// must end in objects or in a ZuExcStream, never in a crash or an abort.
#include "fuzz/quietsink.h"
#include "si/atom.h"
#include "si/classfactory.h"
#include "si/except.h"
#include "si/maininit.h"
#include "si/memzone.h"
#include "si/storage.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <set>
#include <vector>

ZU_HANDLE(ZuFuzzStorage, ZuStorage)
class ZuFuzzStorage : public ZuStorage {
    ZU_CLASS(ZuFuzzStorage, ZuStorage)
public:
    ZuFuzzStorage() {}
    void Start(const std::uint8_t* bytes, std::size_t n)
    {
        SetStorageMode(ZU_STORAGE_REMOTE);
        data = bytes;
        size = n;
        pos = 0;
        DropPushedBack();
    }
    void Stop() { SetStorageMode(ZU_STORAGE_OFF); }
    void StartWriting() { SetStorageMode(ZU_STORAGE_REMOTE); }
    void StoreData(const void*, unsigned int) override {}
    std::uint64_t RetRemainingData() const override { return size - pos; }
    void RestoreData(void* out, unsigned int n) override
    {
        if (n > size - pos)
            throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_READ);
        std::memcpy(out, data + pos, n);
        pos += n;
    }

private:
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    std::size_t pos = 0;
};
ZU_CLASS_END(ZuFuzzStorage)
ZU_IMPLEMENT_CLASS(ZuFuzzStorage, "fuzz/storage_fuzz", ZU_CLASS_PLAIN)

// A node that keeps every kind of field, so that the fuzzer reaches blocks,
// marks, atoms, scalars and links between objects.
ZU_HANDLE(ZuFuzzNode, ZuObject)
class ZuFuzzNode : public ZuObject {
    ZU_CLASS(ZuFuzzNode, ZuObject)
public:
    ZuFuzzNode() { live().insert(this); }
    ~ZuFuzzNode() override { live().erase(this); }
    static std::set<ZuFuzzNode*>& live()
    {
        static std::set<ZuFuzzNode*> nodes;
        return nodes;
    }
    void Delete() override
    {
        a = nullptr;
        b = nullptr;
        ZuObject::Delete();
    }

protected:
    void StoreInstance(const ZuStorageRef& s) override
    {
        static ZuStorageSync record("<ZuFuzzNode i c r flag a name b bin { item } >");
        ZuObject::StoreInstance(s);
        s << record << ZuStorageSync::begin << i << c << r << flag << a;
        s << ZuStorageSync::mark << name << b;
        const unsigned char bin[8] = {};
        s->StoreBinData(bin, sizeof bin);
        s << ZuStorageSync::repeat << ZuStorageSync::end_repeat << ZuStorageSync::end;
    }
    void RestoreInstance(const ZuStorageRef& s) override
    {
        ZuObject::RestoreInstance(s);
        s >> ZuStorageSync::type >> ZuStorageSync::begin >> i >> c >> r >> flag >> a;
        s >> ZuStorageSync::mark >> name >> b;
        unsigned char bin[8];
        s->RestoreBinData(bin, sizeof bin);
        s >> ZuStorageSync::repeat;
        while (!s->CheckForMark() && !s->CheckForEnd()) {
            ZuObjectRef item;
            s >> item;
            if (item.IsInvalid())
                break;
        }
        s >> ZuStorageSync::end_repeat >> ZuStorageSync::end;
    }

private:
    int i = 0;
    unsigned c = 0;
    double r = 0;
    bool flag = false;
    ZuAtomRef name;
    ZuObjectRef a;
    ZuObjectRef b;
};
ZU_CLASS_END(ZuFuzzNode)
ZU_IMPLEMENT_CLASS(ZuFuzzNode, "fuzz/storage_fuzz", ZU_CLASS_PLAIN)

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The runtime lives for the whole run and is taken down in order at
    // exit, before the zones' own static destruction.
    static ZuFuzzStorageRef* storage_handle = [] {
        Zuvi_FuzzQuietUnless("STORAGE_FUZZ_TRACE");
        Zuvi_StartServices();
        auto* handle =
            new ZuFuzzStorageRef(ZuNew<ZuFuzzStorage>(nullptr, __LINE__, "fuzz/storage_fuzz"));
        std::atexit([] {
            delete storage_handle;
            Zuvi_StopServices();
        });
        return handle;
    }();
    ZuFuzzStorageRef& storage = *storage_handle;

    storage->Start(data, size);
    {
        std::vector<ZuObjectRef> restored;
        try {
            for (int n = 0; n < 64; n++) {
                ZuObjectRef object;
                storage->RestoreObject(object,
                                       n % 2 ? ZuFuzzNodeRef::RetRuntime() : ZuRuntimeRef());
                restored.push_back(object);
                std::int64_t v = storage->RestoreInt(0);
                (void)v;
                storage->RestoreToSyncMark();
            }
        } catch (const ZuExcStream&) {
            if (std::getenv("STORAGE_FUZZ_TRACE"))
                std::fprintf(stderr, "stopped after %zu objects\n", restored.size());
        }
        // Store what came back: what the readers skipped is replayed.
        storage->StartWriting();
        try {
            for (const ZuObjectRef& object : restored)
                storage->StoreObject(object);
        } catch (const ZuExcStream&) {}
        storage->Stop();
    }
    // Take apart the cycles that the input may have built.
    std::vector<ZuFuzzNode*> nodes(ZuFuzzNode::live().begin(), ZuFuzzNode::live().end());
    for (ZuFuzzNode* node : nodes)
        node->Delete();
    ZuObjectRef::RealiseDeletions();
    return 0;
}
