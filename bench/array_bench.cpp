// Appending handles one by one to a ZuArray, against a std::vector of the
// same handles: the array grows its slot block geometrically, so the time
// per append stays flat as the array grows (it grew with the size when each
// append copied every handle).
#include <benchmark/benchmark.h>

#include <vector>

#include "si/array.h"
#include "si/atom.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/string.h"

namespace {

struct Runtime {
    Runtime()
    {
        ZuMemZone::Initialise();
        ZuAtom::Initialise();
        ZuClassFactory::Initialise();
    }
};

const ZuObjectRef& Element()
{
    static Runtime runtime;
    static ZuObjectRef element = ZuStringRef("x");
    return element;
}

void BM_ArrayAppend(benchmark::State& state)
{
    const ZuObjectRef& element = Element();
    const unsigned n = unsigned(state.range(0));
    for (auto _ : state) {
        ZuArrayRef array = ZuObjectRef(
            ZuClassFactory::New(ZuArrayRef::RetRuntime(), Zuvi_app_zone, __LINE__, "bench"));
        for (unsigned i = 0; i < n; i++)
            array->Insert(element);
        benchmark::DoNotOptimize(array->TotalCount());
        array->RemoveAll();
        array = ZuArrayNull;
        ZuObjectRef::RealiseDeletions();
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_ArrayAppend)->Arg(100)->Arg(1000)->Arg(10000);

// The reference: the same handles appended to a std::vector.
void BM_VectorAppend(benchmark::State& state)
{
    const ZuObjectRef& element = Element();
    const unsigned n = unsigned(state.range(0));
    for (auto _ : state) {
        std::vector<ZuObjectRef> handles;
        for (unsigned i = 0; i < n; i++)
            handles.push_back(element);
        benchmark::DoNotOptimize(handles.size());
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_VectorAppend)->Arg(100)->Arg(1000)->Arg(10000);

} // namespace
