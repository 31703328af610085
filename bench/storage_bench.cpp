// Storing and restoring a graph of 100,000 small objects, beside building
// the same graph directly through the object model (create and link, no
// parsing) and a plain copy of the same bytes. The storage hands its bytes
// over in place (argument 1) or item by item through its raw calls (0).
#include "si/atom.h"
#include "si/classfactory.h"
#include "si/except.h"
#include "si/maininit.h"
#include "si/memzone.h"
#include "si/storage.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <vector>

ZU_HANDLE(ZuBenchStorage, ZuStorage)
// A storage over memory. It hands its bytes over in place (windows), or,
// when `in_place` is off, serves every item through StoreData and
// RestoreData.
class ZuBenchStorage : public ZuStorage {
    ZU_CLASS(ZuBenchStorage, ZuStorage)
public:
    ZuBenchStorage() : pos(0) {}
    void StartStoring()
    {
        SetStorageMode(ZU_STORAGE_REMOTE);
        out.resize(out.capacity());
        used = 0;
        SetOutputWindow(in_place ? out.data() : nullptr, in_place ? out.size() : 0);
    }
    void StartRestoring(const std::vector<unsigned char>* bytes)
    {
        SetStorageMode(ZU_STORAGE_REMOTE);
        in = bytes;
        pos = 0;
        DropPushedBack();
        SetInputWindow(in_place ? in->data() : nullptr, in_place ? in->size() : 0);
    }
    const std::vector<unsigned char>& Bytes()
    {
        if (RetOutputWindow())
            used = std::size_t(RetOutputWindow() - out.data());
        SetOutputWindow(nullptr, 0);
        out.resize(used);
        return out;
    }
    void StoreData(const void* data, unsigned int size) override
    {
        if (RetOutputWindow())
            used = std::size_t(RetOutputWindow() - out.data());
        if (out.size() - used < size)
            out.resize(std::max(2 * out.size(), used + size + 64));
        std::memcpy(out.data() + used, data, size);
        used += size;
        if (in_place)
            SetOutputWindow(out.data() + used, out.size() - used);
    }
    void RestoreData(void* data, unsigned int size) override
    {
        if (RetInputWindow())
            pos = std::size_t(RetInputWindow() - in->data());
        if (size > in->size() - pos)
            throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_READ);
        std::memcpy(data, in->data() + pos, size);
        pos += size;
        if (in_place)
            SetInputWindow(in->data() + pos, in->size() - pos);
    }
    bool in_place = true;

private:
    std::vector<unsigned char> out;
    std::size_t used = 0;
    const std::vector<unsigned char>* in = nullptr;
    std::size_t pos;
};
ZU_CLASS_END(ZuBenchStorage)
ZU_IMPLEMENT_CLASS(ZuBenchStorage, "bench/storage_bench", ZU_CLASS_PLAIN)

// A small object: a number and two links (the next node, and one further back).
ZU_HANDLE(ZuBenchNode, ZuObject)
class ZuBenchNode : public ZuObject {
    ZU_CLASS(ZuBenchNode, ZuObject)
public:
    ZuBenchNode() : value(0) {}
    int value;
    double weight = 0.5;
    ZuObjectRef next;
    ZuObjectRef back;
    void Delete() override
    {
        next = nullptr;
        back = nullptr;
        ZuObject::Delete();
    }

protected:
    void StoreInstance(const ZuStorageRef& s) override
    {
        static ZuStorageSync record("<ZuBenchNode value weight next back>");
        ZuObject::StoreInstance(s);
        s << record << ZuStorageSync::begin << value << weight << next << back
          << ZuStorageSync::end;
    }
    void RestoreInstance(const ZuStorageRef& s) override
    {
        ZuObject::RestoreInstance(s);
        s >> ZuStorageSync::type >> ZuStorageSync::begin >> value >> weight >> next >> back >>
            ZuStorageSync::end;
    }
};
ZU_CLASS_END(ZuBenchNode)
ZU_IMPLEMENT_CLASS(ZuBenchNode, "bench/storage_bench", ZU_CLASS_PLAIN)

namespace {

const int kObjects = 100000;

struct Runtime {
    Runtime() { Zuvi_StartServices(); }
};

void StartOnce()
{
    static Runtime runtime;
}

std::vector<ZuBenchNodeRef>& Graph()
{
    static std::vector<ZuBenchNodeRef> nodes;
    if (nodes.empty()) {
        nodes.resize(kObjects);
        for (int i = 0; i < kObjects; i++) {
            nodes[i] = ZuNew<ZuBenchNode>(nullptr, __LINE__, "bench/storage_bench");
            nodes[i]->value = i * 7;
        }
        for (int i = 0; i < kObjects; i++) {
            nodes[i]->next = nodes[(i + 1) % kObjects];
            nodes[i]->back = nodes[(i * 31 + 17) % kObjects];
        }
    }
    return nodes;
}

void TakeApart(const ZuObjectRef& head)
{
    // The nodes hold each other in cycles: take them apart explicitly.
    std::vector<ZuObjectRef> all;
    ZuBenchNodeRef n = head;
    while (n.IsValid() && n->next.IsValid()) {
        all.push_back(n);
        ZuBenchNodeRef next = n->next;
        n->Delete();
        n = next;
    }
    all.clear();
    ZuObjectRef::RealiseDeletions();
}

// Argument 1: the bytes in place; 0: every item through the raw calls.
void BM_StoreGraph(benchmark::State& state)
{
    StartOnce();
    auto& nodes = Graph();
    ZuBenchStorageRef storage = ZuNew<ZuBenchStorage>(nullptr, __LINE__, "bench");
    storage->in_place = state.range(0) != 0;
    std::size_t bytes = 0;
    for (auto _ : state) {
        storage->StartStoring();
        storage->StoreObject(nodes[0]);
        bytes = storage->Bytes().size();
    }
    state.SetItemsProcessed(state.iterations() * kObjects);
    state.SetBytesProcessed(state.iterations() * std::int64_t(bytes));
    state.counters["stream_bytes"] = double(bytes);
}

void BM_RestoreGraph(benchmark::State& state)
{
    StartOnce();
    auto& nodes = Graph();
    ZuBenchStorageRef storage = ZuNew<ZuBenchStorage>(nullptr, __LINE__, "bench");
    storage->in_place = state.range(0) != 0;
    storage->StartStoring();
    storage->StoreObject(nodes[0]);
    const std::vector<unsigned char> bytes = storage->Bytes();
    for (auto _ : state) {
        storage->StartRestoring(&bytes);
        ZuObjectRef head;
        storage->RestoreObject(head, ZuBenchNodeRef::RetRuntime());
        state.PauseTiming();
        storage->StartStoring(); // drops the table's references
        TakeApart(head);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kObjects);
    state.SetBytesProcessed(state.iterations() * std::int64_t(bytes.size()));
}

void BM_BuildGraphDirect(benchmark::State& state)
{
    StartOnce();
    std::vector<ZuBenchNodeRef> nodes(kObjects);
    for (auto _ : state) {
        for (int i = 0; i < kObjects; i++) {
            nodes[i] = ZuNew<ZuBenchNode>(nullptr, __LINE__, "bench/storage_bench");
            nodes[i]->value = i * 7;
        }
        for (int i = 0; i < kObjects; i++) {
            nodes[i]->next = nodes[(i + 1) % kObjects];
            nodes[i]->back = nodes[(i * 31 + 17) % kObjects];
        }
        state.PauseTiming();
        ZuObjectRef head = nodes[0];
        for (auto& n : nodes)
            n = nullptr;
        TakeApart(head);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kObjects);
}

void BM_MemcpySameBytes(benchmark::State& state)
{
    StartOnce();
    auto& nodes = Graph();
    ZuBenchStorageRef storage = ZuNew<ZuBenchStorage>(nullptr, __LINE__, "bench");
    storage->StartStoring();
    storage->StoreObject(nodes[0]);
    const std::vector<unsigned char> bytes = storage->Bytes();
    std::vector<unsigned char> copy(bytes.size());
    for (auto _ : state) {
        std::memcpy(copy.data(), bytes.data(), bytes.size());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kObjects);
    state.SetBytesProcessed(state.iterations() * std::int64_t(bytes.size()));
}

} // namespace

BENCHMARK(BM_StoreGraph)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RestoreGraph)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildGraphDirect)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemcpySameBytes)->Unit(benchmark::kMicrosecond);
