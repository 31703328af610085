// Restores object graphs from arbitrary bytes. Whatever the bytes, reading
// must end in objects or in a ZuExcStream, never in a crash or an abort.
#include "fuzz/harness.h"
#include "si/atom.h"
#include "si/classfactory.h"
#include "si/except.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <set>
#include <vector>

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
    const ZuFuzzStorageRef& storage =
        Zuvi_FuzzRuntime<ZuviFuzzStorageRuntime>("storage_fuzz", "STORAGE_FUZZ_TRACE").storage;

    storage->StartReading(data, size);
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
