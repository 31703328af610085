// Parsing the "IconRecord" text of a sheet: 10,000 (and 20,000) records of
// distinct names in a shuffled order, filed into the look manager's
// dictionary in name order. Each iteration starts from an empty look
// manager (made outside the timing). The goal is 10,000 records within
// 0.1 s, and a time that grows with the number of records; the same for
// 10,000 records that share one name (they keep their order in the file).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "si/classfactory.h"
#include "si/fontman.h"
#include "si/grailpxm.h"
#include "si/lookman.h"
#include "si/maininit.h"
#include "si/memzone.h"
#include "si/objectref.h"

namespace {

struct Runtime {
    Runtime()
    {
        // A library folder without sheets or policies: the icons start empty.
        static char dir[] = "/tmp/zuvi-iconsheet-XXXXXX";
        if (mkdtemp(dir) != nullptr)
            setenv("ZUVI_DIR", dir, 1);
        Zuvi_StartServices();
        ZuFontMan::InitSystemFontMan(
            ZuFontManRef(ZuNew<ZuFontMan>(Zuvi_app_zone, __LINE__, "bench")));
    }
};

// Lines "I:IconNNNNN:16:16:S0[x.y]:S1[x.y]:ASX:" for n names in a shuffled
// order (about 40 bytes each), or n lines of one name.
std::string Sheet(unsigned n, bool one_name = false)
{
    std::vector<unsigned> order(n);
    for (unsigned i = 0; i < n; ++i)
        order[i] = i;
    unsigned state = 12345;
    for (unsigned i = n; i > 1; --i) {
        state = state * 1103515245u + 12345u;
        std::swap(order[i - 1], order[(state >> 8) % i]);
    }
    std::string text;
    char line[80];
    for (unsigned i : order) {
        std::snprintf(line, sizeof line, "I:Icon%05u:16:16:S0[%u.0]:S1[%u.16]:ASX:\n",
                      one_name ? 0 : i, (i % 8) * 16, (i % 8) * 16);
        text += line;
    }
    return text;
}

void BM_ParseIconRecords(benchmark::State& state)
{
    static Runtime runtime;
    const unsigned n = static_cast<unsigned>(state.range(0));
    const ZuStringRef text(Sheet(n, state.range(1) != 0).c_str());
    ZuGrailPixmapRef sheet(ZuNew<ZuGrailPixmap>(Zuvi_app_zone, __LINE__, "bench"));
    sheet->Initialise(32, 128, 32);
    const ZuStringRef prefix("Zuvi_");
    for (auto _ : state) {
        state.PauseTiming();
        ZuLookMan::Kill();
        ZuObjectRef::RealiseDeletions();
        ZuLookMan::Initialise();
        state.ResumeTiming();
        ZuLookMan::Current()->ParseIconRecords(text, sheet, prefix);
    }
    if (ZuLookMan::Current()->RetIconCount() != n)
        state.SkipWithError("records missing");
    state.SetItemsProcessed(state.iterations() * n);
    state.counters["text_KB"] = double(text->CharacterCount()) / 1024.0;
}
BENCHMARK(BM_ParseIconRecords)
    ->Args({10000, 0})
    ->Args({20000, 0})
    ->Args({10000, 1})
    ->Args({20000, 1})
    ->Unit(benchmark::kMillisecond);

} // namespace
