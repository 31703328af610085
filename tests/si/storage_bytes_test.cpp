// The bytes of a stored graph that holds every kind of item a document
// holds (nodes, names, strings, atom paths, values, arrays, dictionaries,
// attributes, observer links, a subclass with fields of its own): they are
// those the storage has always written, and a graph read back, compared
// field by field and stored again gives them once more, whichever way the
// storage hands its bytes over.
#include "si/storage.h"

#include "si/array.h"
#include "si/atompath.h"
#include "si/carbon.h"
#include "si/classfactory.h"
#include "si/dict.h"
#include "si/except.h"
#include "si/rtclass.h"
#include "si/string.h"
#include "si/values.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

// An observer the graph's nodes report to.
ZU_HANDLE(TBytesObserver, ZuObject)
class TBytesObserver : public ZuObject {
    ZU_CLASS(TBytesObserver, ZuObject)
public:
    TBytesObserver() {}
    bool OnEvent(const ZuObjectRef&, unsigned) { return true; }
};
ZU_CLASS_END(TBytesObserver)
ZU_IMPLEMENT_CLASS(TBytesObserver, "tests/storage_bytes", ZU_CLASS_PLAIN)
ZU_EXPORT_OBSERVER(TBytesObserver, OnEvent)

// A storage over memory whose windows are small and of changing sizes (0 to
// 6 bytes): items fall across their ends, and the raw calls serve what a
// window cannot, as a storage over pieces of memory would.
ZU_HANDLE(TPieceStorage, ZuStorage)
class TPieceStorage : public ZuStorage {
    ZU_CLASS(TPieceStorage, ZuStorage)
public:
    TPieceStorage() {}
    void StartStoring()
    {
        SetStorageMode(ZU_STORAGE_REMOTE);
        SetOutputWindow(nullptr, 0);
        out.clear();
        flushed = room;
    }
    void StartRestoring(const std::vector<unsigned char>& bytes)
    {
        SetStorageMode(ZU_STORAGE_REMOTE);
        SetInputWindow(nullptr, 0);
        in = bytes;
        DropPushedBack();
        SetInputWindow(in.data(), 0);
    }
    const std::vector<unsigned char>& Bytes()
    {
        Flush();
        return out;
    }
    std::size_t Remaining() const { return in.size() - Pos(); }
    std::uint64_t RetRemainingData() const override { return Remaining(); }
    void StoreData(const void* data, unsigned int size) override
    {
        Flush();
        const unsigned char* p = static_cast<const unsigned char*>(data);
        out.insert(out.end(), p, p + size);
        SetOutputWindow(room, out.size() % 7);
        flushed = room;
    }
    void RestoreData(void* data, unsigned int size) override
    {
        std::size_t pos = Pos();
        if (size > in.size() - pos)
            throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_READ);
        std::memcpy(data, in.data() + pos, size);
        pos += size;
        SetInputWindow(in.data() + pos, std::min<std::size_t>(pos * 5 % 7, in.size() - pos));
    }

private:
    std::size_t Pos() const { return std::size_t(RetInputWindow() - in.data()); }
    // The bytes the writer put in the room join the others.
    void Flush()
    {
        if (!RetOutputWindow())
            return;
        out.insert(out.end(), flushed, RetOutputWindow());
        flushed = RetOutputWindow();
    }

    std::vector<unsigned char> out;
    std::vector<unsigned char> in;
    unsigned char room[8];
    unsigned char* flushed = room;
};
ZU_CLASS_END(TPieceStorage)
ZU_IMPLEMENT_CLASS(TPieceStorage, "tests/storage_bytes", ZU_CLASS_PLAIN)

namespace {

using Bytes = std::vector<unsigned char>;

std::uint64_t Digest(const Bytes& bytes)
{
    std::uint64_t h = 1469598103934665603ull;
    for (unsigned char b : bytes) {
        h ^= b;
        h *= 1099511628211ull;
    }
    return h;
}

const char* const kNames[] = {"un", "deux mots", "un nom assez long pour un enregistrement", "z"};

struct Graph {
    std::vector<ZuTestNodeRef> nodes;
    std::vector<TBytesObserverRef> observers;
};

ZuValueRef IntValue(int v)
{
    ZuValueRef value;
    value.NewValue()->SetInt32(v);
    return value;
}

ZuValueRef RealValue(double v)
{
    ZuValueRef value;
    value.NewValue()->SetReal(v);
    return value;
}

// Which nodes are of the newer class (it writes fields the node class does
// not read): none, every 17th, or all.
enum Newer { NEWER_NONE, NEWER_SOME, NEWER_ALL };

// Observer links come back attached in reading order: an observer's list
// of what it observes is written again in that order, so only graphs
// without them give the very same bytes on their first storing again.
void Build(Graph& g, int n, Newer newer, bool links)
{
    for (int i = 0; i < 3; i++)
        g.observers.push_back(ZuNew<TBytesObserver>());
    g.nodes.resize(n);
    for (int i = 0; i < n; i++) {
        const bool newer_node = newer == NEWER_ALL || (newer == NEWER_SOME && i % 17 == 5);
        g.nodes[i] = newer_node ? ZuTestNodeRef(ZuNew<ZuTestNod2>()) : ZuTestNode::Make(0);
        g.nodes[i]->value = (i * 7919) % 200003 - 100000 + (i % 3 == 0 ? 0 : i % 7);
        if (i % 4 == 0)
            g.nodes[i]->name = ZuAtomRef(kNames[(i / 4) % 4]);
    }
    for (int i = 0; i < n; i++) {
        ZuTestNodeRef node = g.nodes[i];
        node->a = g.nodes[(i + 1) % n];
        switch (i % 9) {
        case 0:
            node->b = g.nodes[(i * 31 + 17) % n];
            break;
        case 1:
            node->b = ZuStringRef(("texte " + std::to_string(i)).c_str());
            break;
        case 2:
            node->b = ZuAtomPathRef("def.notify_Modify");
            break;
        case 3:
            node->b = IntValue(i * 1000 - 70000);
            break;
        case 4:
            node->b = RealValue(i / 3.0);
            break;
        case 5: {
            ZuArrayRef array(ZuNew<ZuArray>());
            array->SetSize(4);
            array[0] = g.nodes[(i * 7) % n];
            array[2] = ZuStringRef("dans un tableau");
            array[3] = array[0];
            node->b = array;
            break;
        }
        case 6: {
            ZuDictRef dict(ZuNew<ZuDict>());
            dict->Insert(ZuAtomRef("k1"), g.nodes[(i * 3) % n]);
            dict->Insert(ZuAtomRef("k2"), ZuStringRef("valeur"));
            node->b = dict;
            break;
        }
        case 7:
            break;
        default:
            node->b = ZuAtomRef(kNames[i % 4]);
            break;
        }
        if (i % 11 == 0) {
            node->SetAttribute("couleur", ZuStringRef("rouge"));
            node->SetAttribute("poids", IntValue(i));
        }
        if (links && i % 13 == 0)
            node->AttachObserver(g.observers[i % 3], ZuAtomRef("changed"), ZuAtomRef("OnEvent"),
                                 unsigned(i));
    }
}

void TakeApart(Graph& g)
{
    for (auto& node : g.nodes) {
        if (node.IsInvalid())
            continue;
        ZuObjectRef b = node->b;
        if (b.IsValid() && b->IsKindOf(ZuArrayRef::RetRuntime()))
            ZuArrayRef(b)->RemoveAll();
        if (b.IsValid() && b->IsKindOf(ZuDictRef::RetRuntime()))
            ZuDictRef(b)->RemoveAll();
        node->Delete();
    }
    for (auto& o : g.observers)
        o->Delete();
    g.nodes.clear();
    g.observers.clear();
}

// Compares two graphs item by item; `seen` pairs the objects met, so that a
// shared object must be shared in the copy too.
class Compare {
public:
    void Same(const ZuObjectRef& x, const ZuObjectRef& y)
    {
        ASSERT_EQ(x.IsValid(), y.IsValid());
        if (x.IsInvalid())
            return;
        ZuObject* const ox = x.Resolve();
        ZuObject* const oy = y.Resolve();
        auto found = seen.find(ox);
        if (found != seen.end()) {
            EXPECT_EQ(found->second, oy);
            return;
        }
        seen[ox] = oy;
        // The newer node class is read back as the older one (the stream
        // renames it).
        const bool nodes = ox->IsKindOf(ZuTestNodeRef::RetRuntime());
        ASSERT_TRUE(nodes ? oy->IsKindOf(ZuTestNodeRef::RetRuntime())
                          : ox->RetRuntime() == oy->RetRuntime())
            << ox->RetRuntime()->RetClassName();
        if (ox->IsKindOf(ZuAtomRef::RetRuntime())) {
            EXPECT_EQ(ox, oy); // atoms are unique by text
            return;
        }
        if (ox->IsKindOf(ZuTextRef::RetRuntime())) {
            EXPECT_TRUE(ZuAtomRef(ZuTextRef(x)->RetString()) ==
                        ZuAtomRef(ZuTextRef(y)->RetString()));
        } else if (nodes) {
            ZuTestNodeRef nx(x), ny(y);
            EXPECT_EQ(nx->value, ny->value);
            EXPECT_TRUE(nx->name == ny->name);
            Same(nx->a, ny->a);
            Same(nx->b, ny->b);
        } else if (ox->IsKindOf(ZuArrayRef::RetRuntime())) {
            ZuArrayRef ax(x), ay(y);
            ASSERT_EQ(ax->TotalCount(), ay->TotalCount());
            for (unsigned i = 0; i < ax->TotalCount(); i++)
                Same(ZuObjectRef(ax[i]), ZuObjectRef(ay[i]));
        } else if (ox->IsKindOf(ZuDictRef::RetRuntime())) {
            ZuDictRef dx(x), dy(y);
            for (unsigned i = 0;; i++) {
                ZuObjectRef kx, vx, ky, vy;
                const bool has = dx->Get(i, kx, vx);
                ASSERT_EQ(has, dy->Get(i, ky, vy));
                if (!has)
                    break;
                EXPECT_TRUE(kx == ky);
                Same(vx, vy);
            }
        }
        // Every object: attributes and observer links.
        ASSERT_EQ(ox->CountAttributes(), oy->CountAttributes());
        for (unsigned i = 0; i < ox->CountAttributes(); i++) {
            ZuObjectRef kx, vx, ky, vy;
            ASSERT_TRUE(ox->GetAttribute(i, kx, vx));
            ASSERT_TRUE(oy->GetAttribute(i, ky, vy));
            EXPECT_TRUE(kx == ky);
            Same(vx, vy);
        }
        ASSERT_EQ(ox->CountAttached(), oy->CountAttached());
        for (unsigned i = 0; i < ox->CountAttached(); i++) {
            ZuAtomRef ex, ax, ey, ay;
            ZuObjectRef wx, wy;
            unsigned ix = 0, iy = 0;
            ASSERT_TRUE(ox->GetAttached(i, ex, ax, wx, ix));
            ASSERT_TRUE(oy->GetAttached(i, ey, ay, wy, iy));
            EXPECT_TRUE(ex == ey);
            EXPECT_TRUE(ax == ay);
            EXPECT_EQ(ix, iy);
            Same(wx, wy);
        }
    }

private:
    std::map<const ZuObject*, const ZuObject*> seen;
};

// The stream as an older program, which knows the node class only, would
// have written it: the newer class's fields stay in it as unknown data.
Bytes Renamed(Bytes bytes)
{
    const char from[] = "ZuTestNod2";
    const char to[] = "ZuTestNode";
    std::size_t const n = sizeof from - 1;
    for (std::size_t i = 0; i + n <= bytes.size(); i++)
        if (std::memcmp(bytes.data() + i, from, n) == 0)
            std::memcpy(bytes.data() + i, to, n);
    return bytes;
}

class StorageBytesTest : public ZuviRuntimeTest {};

// What the storage wrote for this graph before any of its speed work, and
// for the graph read back from it; a change here changes every stored
// document.
const std::size_t kGraphSize = 68790;
const std::uint64_t kGraphDigest = 0x46237106a84ce2bbull;
const std::size_t kReadBackSize = 65854;
const std::uint64_t kReadBackDigest = 0x2b97552cb2c2c984ull;

TEST_F(StorageBytesTest, GraphIsWrittenAsItAlwaysWas)
{
    Graph g;
    Build(g, 700, NEWER_SOME, true);
    ZuTestStorageRef store = ZuTestStorage::Make();
    store->StartStoring();
    store->StoreObject(g.nodes[0]);
    const Bytes bytes = store->Bytes();
    EXPECT_EQ(kGraphSize, bytes.size());
    EXPECT_EQ(kGraphDigest, Digest(bytes)) << std::hex << Digest(bytes);
    // In place, the bytes are written with a few calls only.
    EXPECT_LT(store->RetRawCalls(), 20u);
    // Item by item through StoreData, they are the same.
    store->SetInPlace(false);
    store->StartStoring();
    store->StoreObject(g.nodes[0]);
    EXPECT_TRUE(store->Bytes() == bytes);
    EXPECT_GT(store->RetRawCalls(), 10000u);
    store->SetInPlace(true);

    store->StartStoring();
    TakeApart(g);

    // A graph with observer links but no class that writes more than it
    // reads, read back and stored again, twice: the second time changes
    // nothing more.
    Build(g, 700, NEWER_NONE, true);
    store->StartStoring();
    store->StoreObject(g.nodes[0]);
    Bytes again = store->Bytes();
    std::vector<ZuObjectRef> roots;
    for (int round = 0; round < 2; round++) {
        store->StartRestoring(again);
        ZuObjectRef back;
        store->RestoreObject(back, ZuTestNodeRef::RetRuntime());
        ASSERT_TRUE(back.IsValid());
        roots.push_back(back);
        store->StartStoring();
        store->StoreObject(back);
        if (round == 0) {
            EXPECT_EQ(kReadBackSize, store->Bytes().size());
            EXPECT_EQ(kReadBackDigest, Digest(store->Bytes()))
                << std::hex << Digest(store->Bytes());
        } else {
            EXPECT_TRUE(store->Bytes() == again);
        }
        again = store->Bytes();
    }
    store->StartStoring();
    for (const ZuObjectRef& root : roots) {
        Graph copy;
        ZuTestNodeRef n = root;
        for (std::size_t i = 0; i < g.nodes.size(); i++) {
            copy.nodes.push_back(n);
            n = n->a;
        }
        TakeApart(copy);
    }
    TakeApart(g);
}

// Class records are statics that outlive the atoms: a graph stored after
// the services stopped and started again names its classes as before.
TEST(StorageBytesRestartTest, ClassRecordsAreNamedAgainAfterARestart)
{
    Bytes first;
    for (int round = 0; round < 2; round++) {
        ZuviStartRuntime();
        {
            Graph g;
            Build(g, 60, NEWER_SOME, true);
            ZuTestStorageRef store = ZuTestStorage::Make();
            store->StartStoring();
            store->StoreObject(g.nodes[0]);
            if (round == 0)
                first = store->Bytes();
            else
                EXPECT_TRUE(store->Bytes() == first);
            store->StartStoring();
            TakeApart(g);
        }
        ZuviStopRuntime();
    }
}

// Reads the bytes back through storages that hand them over in place, in
// small pieces or by call, and through a carbon copy (whose bytes lie in
// many blocks): each time the graph is the original's, field by field, and
// gives the same bytes when stored again.
void ReadBackAndStoreAgain(const Graph& g, const Bytes& bytes)
{
    // In place, then item by item through RestoreData and StoreData.
    ZuTestStorageRef store = ZuTestStorage::Make();
    std::vector<ZuObjectRef> roots;
    // Through small windows.
    TPieceStorageRef pieces = ZuNew<TPieceStorage>();
    pieces->StartRestoring(bytes);
    ZuObjectRef read;
    pieces->RestoreObject(read, ZuTestNodeRef::RetRuntime());
    ASSERT_TRUE(read.IsValid());
    EXPECT_EQ(0u, pieces->Remaining());
    Compare().Same(g.nodes[0], read);
    pieces->StartStoring();
    pieces->StoreObject(read);
    EXPECT_TRUE(pieces->Bytes() == bytes);
    pieces->StartStoring();
    pieces->Delete();
    roots.push_back(read);

    for (bool in_place : {true, false}) {
        SCOPED_TRACE(in_place);
        store->SetInPlace(in_place);
        store->StartRestoring(bytes);
        ZuObjectRef back;
        store->RestoreObject(back, ZuTestNodeRef::RetRuntime());
        ASSERT_TRUE(back.IsValid());
        EXPECT_EQ(0u, store->Remaining());
        Compare().Same(g.nodes[0], back);
        store->StartStoring();
        store->StoreObject(back);
        EXPECT_TRUE(store->Bytes() == bytes);
        roots.push_back(back);
    }

    ZuCarbonCopyRef cc = ZuNew<ZuCarbonCopy>();
    cc->SetRawData(bytes.data(), unsigned(bytes.size()));
    ZuObjectRef again;
    cc->RestoreObject(again, ZuTestNodeRef::RetRuntime());
    ASSERT_TRUE(again.IsValid());
    EXPECT_EQ(0u, cc->RetRemainingData());
    Compare().Same(g.nodes[0], again);
    cc->StartStoring();
    cc->StoreObject(again);
    Bytes copied(cc->RetRawDataSize());
    ASSERT_TRUE(cc->ExtractRawData(copied.data(), unsigned(copied.size())));
    EXPECT_TRUE(copied == bytes);

    store->StartStoring();
    cc->StartStoring();
    cc->Delete();
    roots.push_back(again);
    for (const ZuObjectRef& root : roots) {
        Graph copy;
        ZuTestNodeRef n = root;
        for (std::size_t i = 0; i < g.nodes.size(); i++) {
            copy.nodes.push_back(n);
            n = n->a;
        }
        TakeApart(copy);
    }
}

// A graph of 700 nodes stored, read back (under the newer classes' names
// when `renamed`) and stored again; then taken apart.
void StoreReadBackAndStoreAgain(Newer newer, bool renamed)
{
    Graph g;
    Build(g, 700, newer, false);
    ZuTestStorageRef store = ZuTestStorage::Make();
    store->StartStoring();
    store->StoreObject(g.nodes[0]);
    ReadBackAndStoreAgain(g, renamed ? Renamed(store->Bytes()) : store->Bytes());
    store->StartStoring();
    TakeApart(g);
}

TEST_F(StorageBytesTest, GraphReadBackIsTheSameAndStoresTheSameBytes)
{
    StoreReadBackAndStoreAgain(NEWER_NONE, false);
}

TEST_F(StorageBytesTest, FieldsOfANewerClassAreKeptAndWrittenBackInPlace)
{
    StoreReadBackAndStoreAgain(NEWER_ALL, true);
}

} // namespace
