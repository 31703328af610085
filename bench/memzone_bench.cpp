// Zone allocation against the C heap, for the same mixes of sizes and the
// same pattern: a window of live blocks (the first argument) where each step
// frees one block and allocates a new one in its place; the block freed is
// the oldest (second argument 0) or one drawn at random (1), as a program
// that keeps blocks for different times frees them. Mixes: sizes spread
// evenly from 16 to 4096 bytes ("Mixed"), the same range skewed to small
// sizes ("Skewed"), and sizes the quick queues serve ("Small", 16 to 480).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>
#include <vector>

#include "si/memzone.h"

namespace {

const size_t kSizes = 4096;

std::vector<unsigned> SizeMix(unsigned low, unsigned high)
{
    std::mt19937 random(20261209);
    std::uniform_int_distribution<unsigned> pick(low, high);
    std::vector<unsigned> sizes(kSizes);
    for (unsigned& s : sizes) {
        s = pick(random);
    }
    return sizes;
}

// Sizes from 16 to 4096 bytes, most of them small: a power-law draw (the
// cube of a uniform number), as object models and strings ask.
std::vector<unsigned> SkewedMix()
{
    std::mt19937 random(20261210);
    std::uniform_real_distribution<double> pick(0.0, 1.0);
    std::vector<unsigned> sizes(kSizes);
    for (unsigned& s : sizes) {
        double u = pick(random);
        s = 16 + static_cast<unsigned>(u * u * u * (4096 - 16));
    }
    return sizes;
}

template <typename AllocFn, typename FreeFn>
void Churn(benchmark::State& state, const std::vector<unsigned>& sizes, AllocFn alloc,
           FreeFn release)
{
    const size_t window = static_cast<size_t>(state.range(0));
    const bool random_order = state.range(1) != 0;
    std::vector<size_t> slots(kSizes);
    std::mt19937 random(20261212);
    for (size_t i = 0; i < kSizes; ++i) {
        slots[i] = random_order ? random() % window : i % window; // window divides kSizes
    }
    std::vector<void*> live(window, nullptr);
    size_t next = 0;
    for (size_t i = 0; i < window; ++i) {
        live[i] = alloc(sizes[i % kSizes]);
    }
    for (auto _ : state) {
        size_t slot = slots[next % kSizes];
        release(live[slot]);
        live[slot] = alloc(sizes[next % kSizes]);
        benchmark::DoNotOptimize(live[slot]);
        ++next;
    }
    for (void* p : live) {
        release(p);
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_ZoneMixed(benchmark::State& state)
{
    ZuMemZone zone;
    zone.Initialise("BenchZone");
    Churn(
        state, SizeMix(16, 4096),
        [&zone](unsigned size) {
            return zone.Alloc(size, "bench", __LINE__, "bench/memzone_bench");
        },
        [&zone](void* p) { zone.Free(p, __LINE__, "bench/memzone_bench"); });
}

void BM_MallocMixed(benchmark::State& state)
{
    Churn(
        state, SizeMix(16, 4096), [](unsigned size) { return std::malloc(size); },
        [](void* p) { std::free(p); });
}

void BM_ZoneSkewed(benchmark::State& state)
{
    ZuMemZone zone;
    zone.Initialise("BenchZone");
    Churn(
        state, SkewedMix(),
        [&zone](unsigned size) {
            return zone.Alloc(size, "bench", __LINE__, "bench/memzone_bench");
        },
        [&zone](void* p) { zone.Free(p, __LINE__, "bench/memzone_bench"); });
}

void BM_MallocSkewed(benchmark::State& state)
{
    Churn(
        state, SkewedMix(), [](unsigned size) { return std::malloc(size); },
        [](void* p) { std::free(p); });
}

void BM_ZoneSmall(benchmark::State& state)
{
    ZuMemZone zone;
    zone.Initialise("BenchZone");
    Churn(
        state, SizeMix(16, 480),
        [&zone](unsigned size) {
            return zone.Alloc(size, "bench", __LINE__, "bench/memzone_bench");
        },
        [&zone](void* p) { zone.Free(p, __LINE__, "bench/memzone_bench"); });
}

void BM_MallocSmall(benchmark::State& state)
{
    Churn(
        state, SizeMix(16, 480), [](unsigned size) { return std::malloc(size); },
        [](void* p) { std::free(p); });
}

} // namespace

#define ZONE_BENCH_ARGS ArgsProduct({{64, 1024}, {0, 1}})
BENCHMARK(BM_ZoneMixed)->ZONE_BENCH_ARGS;
BENCHMARK(BM_MallocMixed)->ZONE_BENCH_ARGS;
BENCHMARK(BM_ZoneSkewed)->ZONE_BENCH_ARGS;
BENCHMARK(BM_MallocSkewed)->ZONE_BENCH_ARGS;
BENCHMARK(BM_ZoneSmall)->ZONE_BENCH_ARGS;
BENCHMARK(BM_MallocSmall)->ZONE_BENCH_ARGS;
