// Converts a drawing of the older format (".ravona") made of arbitrary
// bytes, the way the page view converts one it opens. Whatever the bytes,
// the conversion must end, answer true exactly when the 16-byte header is
// there, make no more objects than the file has records, and leave a
// document that stores and restores.
//
// With RAVONA_FUZZ_SEEDS set to a directory, the first run writes seeds
// there: a header alone, and a drawing of every kind of record.
#include "app/document.h"
#include "app/graport.h"
#include "app/pageview.h"
#include "app/tree.h"
#include "app/treenode.h"
#include "app/view.h"
#include "fuzz/harness.h"
#include "si/atom.h"
#include "si/classfactory.h"
#include "si/memzone.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

template <class R>
R Make()
{
    return R(
        ZuObjectRef(ZuClassFactory::New(R::RetRuntime(), nullptr, __LINE__, "fuzz/ravona_fuzz")));
}

void Put(std::vector<std::uint8_t>& b, int type, unsigned x1, unsigned y1, unsigned x2, unsigned y2,
         int code, int byte0 = 0)
{
    const std::uint8_t r[16] = {std::uint8_t(byte0),
                                std::uint8_t(type),
                                std::uint8_t(y1 >> 8),
                                std::uint8_t(y1),
                                std::uint8_t(x1 >> 8),
                                std::uint8_t(x1),
                                std::uint8_t(y2 >> 8),
                                std::uint8_t(y2),
                                std::uint8_t(x2 >> 8),
                                std::uint8_t(x2),
                                0,
                                std::uint8_t(code),
                                0,
                                0,
                                0,
                                0};
    b.insert(b.end(), r, r + 16);
}

void WriteSeeds(const char* dir)
{
    std::vector<std::uint8_t> header = {0, 0, 0, 0, 0, 3, 0x0B, 0x9A, 0x08, 0x34, 0, 0, 0, 0, 0, 0};
    Zuvi_FuzzWriteSeed(dir, "header", header);
    std::vector<std::uint8_t> all = header;
    Put(all, 0, 100, 100, 200, 100, 8);
    Put(all, 3, 200, 100, 200, 300, 8);
    Put(all, 4, 200, 300, 500, 300, 56);
    Put(all, 6, 100, 100, 400, 400, 2);
    Put(all, 7, 150, 150, 350, 350, 3);
    Put(all, 5, 50, 0, 1000, 1000, 1);
    Put(all, 9, 50, 15, 1000, 1000, 1);
    Put(all, 10, 80, 40, 1000, 1000, 20);
    Put(all, 11, 80, 40, 1000, 1000, 20, 195);
    Put(all, 8, 30 << 8 | 'a', 0, 1000, 500, 0);
    Put(all, 8, 30 << 8 | 18, 0, 1020, 500, 0);
    Put(all, 100, 1, 2, 3, 4, 0);
    Put(all, 101, 1, 2, 3, 4, 0);
    Put(all, 99, 1, 2, 3, 4, 0);
    Zuvi_FuzzWriteSeed(dir, "records", all);
}

void StartRuntime()
{
    static bool started = [] {
        Zuvi_FuzzSetTarget("ravona_fuzz");
        Zuvi_FuzzQuietUnless("RAVONA_FUZZ_TRACE");
        ZuMemZone::Initialise();
        ZuAtom::Initialise();
        ZuClassFactory::Initialise();
        if (char const* seeds = std::getenv("RAVONA_FUZZ_SEEDS"))
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

int LayerObjects(const CDocumentRef& doc)
{
    CTreeNodeRef layer;
    doc->GetTree()->GetNode(layer, 0, 0);
    int n = 0;
    if (layer.IsValid())
        for (CTreeNodeRef c = layer->RetFirstChild(); c.IsValid(); c = c->RetNext())
            ++n;
    return n;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    StartRuntime();
    {
        CDocumentRef doc = Make<CDocumentRef>();
        doc->Reset();
        CTreeNodeRef root;
        doc->GetTree()->GetNode(root, -1, -1);
        CTreeNodeRef page = Make<CTreeNodeRef>();
        page->InsertFirstChild(root);
        CTreeNodeRef layer = Make<CTreeNodeRef>();
        layer->InsertFirstChild(page);
        CViewRef settings = Make<CViewRef>();
        std::size_t pos = 0;
        std::size_t reads = 0;
        auto read = [&](void* to, unsigned n) -> unsigned {
            ++reads;
            const std::size_t k = n < size - pos ? n : size - pos;
            if (k > 0)
                std::memcpy(to, data + pos, k);
            pos += k;
            return unsigned(k);
        };
        const bool ok = CPageView::ConvertRavonaRecords(read, doc, settings, Make<CGraPortRef>());
        Zuvi_FuzzCheck(ok == (size >= 16), "true exactly when the header is whole");
        Zuvi_FuzzCheck(reads <= size / 16 + 2, "one read a record");
        const int records = size >= 16 ? int((size - 16) / 16) : 0;
        Zuvi_FuzzCheck(LayerObjects(doc) <= records, "no more objects than records");
        if (ok) {
            // The drawing's tree stored and restored in memory: the archive
            // file adds only its header to this, and its sync makes every
            // input slow. The rest of the document (pens, colours, the
            // samples read from the sample file) is the same for every
            // input; storing it too took a third of each input's time.
            const ZuFuzzStorageRef storage = ZuFuzzStorage::Make();
            const std::vector<std::uint8_t> bytes = storage->StoreOf(ZuObjectRef(doc->GetTree()));
            Zuvi_FuzzCheck(!bytes.empty(), "the drawing stores");
            const ZuObjectRef back =
                storage->RestoreFrom(bytes.data(), bytes.size(), CTreeRef::RetRuntime(), true);
            Zuvi_FuzzCheck(back.IsValid(), "the drawing restores");
            const CTreeRef restored(back);
            CTreeNodeRef layer;
            restored->GetNode(layer, 0, 0);
            int n = 0;
            if (layer.IsValid())
                for (CTreeNodeRef c = layer->RetFirstChild(); c.IsValid(); c = c->RetNext())
                    ++n;
            Zuvi_FuzzCheck(n == LayerObjects(doc), "every object restores");
            restored->Delete();
        }
        doc->Delete();
    }
    ZuObjectRef::RealiseDeletions();
    return 0;
}
