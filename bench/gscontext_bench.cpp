// Rendering through the PostScript contexts beside the bare interpreter.
//
// An A4 page of 2,000 filled and stroked shapes, at 72 and 150 dpi, drawn
// through GSContext::ExecuteText and read back, beside the `gs` program
// rendering the same PostScript to bmp16m at the same resolution (1 page,
// where its start-up counts, and 20 pages, where it drops out). And the
// switch between two 1280 x 1024 display contexts beside a memcpy of their
// pixels.
#include "ghost/gscontext.h"
#include "si/atom.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/maininit.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The shapes, in page points, from a fixed pseudo-random sequence.
const std::string& Shapes()
{
    static std::string text = [] {
        std::string out = "1 setlinewidth\n";
        unsigned seed = 12345;
        auto next = [&seed](unsigned range) {
            seed = seed * 1103515245u + 12345u;
            return (seed >> 8) % range;
        };
        char line[200];
        for (int i = 0; i < 2000; ++i) {
            double x = next(595), y = next(842), s = 5 + next(40);
            double r = next(256) / 255.0, g = next(256) / 255.0, b = next(256) / 255.0;
            if (i % 2)
                std::snprintf(
                    line, sizeof line,
                    "newpath %.0f %.0f %.0f 0 360 arc closepath %.3f %.3f %.3f setrgbcolor "
                    "gsave fill grestore 0 setgray stroke\n",
                    x, y, s / 2, r, g, b);
            else
                std::snprintf(line, sizeof line,
                              "newpath %.0f %.0f moveto %.0f 0 rlineto 0 %.0f rlineto closepath "
                              "%.3f %.3f %.3f setrgbcolor gsave fill grestore 0 setgray stroke\n",
                              x, y, s, s, r, g, b);
            out += line;
        }
        return out;
    }();
    return text;
}

struct Runtime {
    Runtime() { Zuvi_StartServices(); }
};

void EnsureRuntime()
{
    static Runtime runtime;
    (void)runtime;
}

GSContextRef NewContext(uint32_t w, uint32_t h)
{
    EnsureRuntime();
    GSContextRef c(ZuNew<GSContext>());
    if (!c->CreateContext(w, h, GS_VIEW_RGB24))
        std::abort();
    return c;
}

void BM_ContextPage(benchmark::State& state)
{
    int dpi = static_cast<int>(state.range(0));
    uint32_t w = static_cast<uint32_t>(595.0 * dpi / 72.0 + 0.5);
    uint32_t h = static_cast<uint32_t>(842.0 * dpi / 72.0 + 0.5);
    GSContextRef c = NewContext(w, h);
    char scale[100];
    std::snprintf(scale, sizeof scale, "initgraphics erasepage %f %f scale\n", dpi / 72.0,
                  dpi / 72.0);
    std::string page = std::string(scale) + Shapes();
    for (auto _ : state) {
        if (!c->ExecuteText(page.c_str(), static_cast<int>(page.size())))
            state.SkipWithError("page failed");
        c->ReadBack();
        benchmark::DoNotOptimize(c->RetBuffer());
    }
    state.SetLabel(std::to_string(w) + "x" + std::to_string(h));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ContextPage)->Arg(72)->Arg(150)->UseRealTime()->Unit(benchmark::kMillisecond);

// The bare interpreter: one process rendering `pages` pages; the time per
// iteration is divided by the pages.
void BM_GsProgram(benchmark::State& state)
{
    int dpi = static_cast<int>(state.range(0));
    int pages = static_cast<int>(state.range(1));
    char name[] = "/tmp/zuvi_bench_XXXXXX";
    int fd = mkstemp(name);
    if (fd < 0) {
        state.SkipWithError("no temporary file");
        return;
    }
    std::string doc;
    for (int i = 0; i < pages; ++i)
        doc += Shapes() + "showpage\n";
    FILE* f = fdopen(fd, "w");
    std::fwrite(doc.data(), 1, doc.size(), f);
    std::fclose(f);
    std::string command = "gs -q -dNOPAUSE -dBATCH -dNOSAFER -sDEVICE=bmp16m -r" +
                          std::to_string(dpi) + " -sOutputFile=/dev/null " + name +
                          " >/dev/null 2>&1";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("gs failed");
    std::remove(name);
    state.SetItemsProcessed(state.iterations() * pages);
}
BENCHMARK(BM_GsProgram)
    ->Args({72, 1})
    ->Args({72, 20})
    ->Args({150, 1})
    ->Args({150, 20})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

void BM_ContextSwitch(benchmark::State& state)
{
    GSContextRef a = NewContext(1280, 1024);
    GSContextRef b = NewContext(1280, 1024);
    bool flip = false;
    for (auto _ : state) {
        const GSContextRef& c = flip ? a : b;
        flip = !flip;
        c->MakeCurrent();
    }
}
BENCHMARK(BM_ContextSwitch)->UseRealTime()->Unit(benchmark::kMicrosecond);

// What a switch must at least do: the pixels of one out, the other's in.
void BM_SwitchMemcpy(benchmark::State& state)
{
    size_t bytes = 1280u * 1024u * 3u;
    std::vector<unsigned char> device(bytes, 0xFF), own_a(bytes, 0x10), own_b(bytes, 0x20);
    bool flip = false;
    for (auto _ : state) {
        std::memcpy(flip ? own_b.data() : own_a.data(), device.data(), bytes);
        std::memcpy(device.data(), flip ? own_a.data() : own_b.data(), bytes);
        flip = !flip;
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_SwitchMemcpy)->UseRealTime()->Unit(benchmark::kMicrosecond);

} // namespace
