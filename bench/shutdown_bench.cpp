// Shutting the services down with 100,000 objects still alive (each held by
// a handle outside the zones, and holding one handle to the next object),
// beside shutting down after the same objects were released.
//
// Both shut-downs give the zones' buffers back to the C heap. Whether the
// heap then hands those pages to the system (a trim that costs about 2 ms
// for the 27 MB of the live run) depends on what the heap happened to
// place above those buffers, the fixture's own vector of handles among
// others, and so changed from one process to the next. Trimming is held off for the whole program, so that the two figures
// compare the library's own work in every run.
#include "si/maininit.h"
#include "si/memzone.h"
#include "si/object.h"
#include "si/classfactory.h"
#include "si/rtclass.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <vector>

ZU_HANDLE(ZuBenchLink, ZuObject)
class ZuBenchLink : public ZuObject {
    ZU_CLASS(ZuBenchLink, ZuObject)
public:
    ZuBenchLink() {}
    ZuObjectRef next;
    void Delete() override
    {
        next = nullptr;
        ZuObject::Delete();
    }
};
ZU_CLASS_END(ZuBenchLink)
ZU_IMPLEMENT_CLASS(ZuBenchLink, "bench/shutdown_bench", ZU_CLASS_PLAIN)

namespace {

[[maybe_unused]] const int kTrimHeldOff = mallopt(M_TRIM_THRESHOLD, 1 << 30);

void MakeObjects(std::vector<ZuBenchLinkRef>& objects, int count)
{
    objects.resize(count);
    for (int i = 0; i < count; i++)
        objects[i] = ZuNew<ZuBenchLink>(nullptr, __LINE__, "bench/shutdown_bench");
    for (int i = 0; i + 1 < count; i++)
        objects[i]->next = objects[i + 1];
}

void BM_ShutdownLive(benchmark::State& state)
{
    const int count = int(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        Zuvi_StartServices();
        std::vector<ZuBenchLinkRef> objects;
        MakeObjects(objects, count);
        state.ResumeTiming();
        Zuvi_StopServices();
        state.PauseTiming();
        objects.clear(); // the handles were cut: nothing left to release
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * count);
}

void BM_ShutdownReleased(benchmark::State& state)
{
    const int count = int(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        Zuvi_StartServices();
        {
            std::vector<ZuBenchLinkRef> objects;
            MakeObjects(objects, count);
            for (auto& o : objects)
                o->Delete();
        }
        ZuObjectRef::RealiseDeletions();
        state.ResumeTiming();
        Zuvi_StopServices();
    }
    state.SetItemsProcessed(state.iterations() * count);
}

} // namespace

BENCHMARK(BM_ShutdownLive)->Arg(10000)->Arg(30000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShutdownReleased)->Arg(100000)->Unit(benchmark::kMillisecond);
