// Opening and saving a document of 2,000 mixed shapes (rectangles, ellipses
// and lines, each with its own colours) through its file, beside restoring
// and storing the same bytes in memory, where the storage takes them in
// place: what the file path adds to the storage's own work. The files lie
// in /dev/shm where there is one (the save's sync then costs nothing) and
// in the system's temporary folder (a disk, where the sync counts). The
// route a user waits for, from the document file to a 150 dpi PNG, is timed
// as a whole program and inside this one, beside the interpreter's own
// program rendering the same PostScript; the port's own share of it, the
// drawing into a context that runs nothing, is timed alone.
#include "bench/docshapes.h"
#include "si/classfactory.h"
#include "si/except.h"
#include "si/maininit.h"
#include "si/memzone.h"
#include "si/storage.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

ZU_HANDLE(ZuDocBenchStorage, ZuStorage)
// A storage over memory that hands its bytes over in place.
class ZuDocBenchStorage : public ZuStorage {
    ZU_CLASS(ZuDocBenchStorage, ZuStorage)
public:
    ZuDocBenchStorage() {}
    void StartStoring()
    {
        SetStorageMode(ZU_STORAGE_REMOTE);
        out.resize(std::max<std::size_t>(out.capacity(), 1 << 16));
        used = 0;
        SetOutputWindow(out.data(), out.size());
    }
    std::size_t Stored()
    {
        used = std::size_t(RetOutputWindow() - out.data());
        SetOutputWindow(nullptr, 0);
        return used;
    }
    void StartRestoring(const std::vector<unsigned char>* bytes)
    {
        SetStorageMode(ZU_STORAGE_REMOTE);
        in = bytes;
        pos = 0;
        DropPushedBack();
        SetInputWindow(in->data(), in->size());
    }
    void StoreData(const void* data, unsigned int size) override
    {
        used = std::size_t(RetOutputWindow() - out.data());
        if (out.size() - used < size)
            out.resize(std::max(2 * out.size(), used + size + 64));
        std::memcpy(out.data() + used, data, size);
        used += size;
        SetOutputWindow(out.data() + used, out.size() - used);
    }
    void RestoreData(void* data, unsigned int size) override
    {
        pos = std::size_t(RetInputWindow() - in->data());
        if (size > in->size() - pos)
            throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_READ);
        std::memcpy(data, in->data() + pos, size);
        pos += size;
        SetInputWindow(in->data() + pos, in->size() - pos);
    }

private:
    std::vector<unsigned char> out;
    std::size_t used = 0;
    const std::vector<unsigned char>* in = nullptr;
    std::size_t pos = 0;
};
ZU_CLASS_END(ZuDocBenchStorage)
ZU_IMPLEMENT_CLASS(ZuDocBenchStorage, "bench/document_bench", ZU_CLASS_PLAIN)

namespace {

std::string Folder(bool memory)
{
    if (memory && std::filesystem::is_directory("/dev/shm"))
        return "/dev/shm";
    return std::filesystem::temp_directory_path().string();
}

std::string FileName(bool memory)
{
    return Folder(memory) + "/zuvi_document_bench_" + std::to_string(getpid()) + ".lumbra";
}

struct Fixture {
    Fixture()
    {
        Zuvi_StartServices();
        document = BuildDocument();
        for (bool memory : {true, false})
            if (!document->WriteFile(ZuStringRef(FileName(memory).c_str())))
                std::fprintf(stderr, "document_bench: cannot write %s\n", FileName(memory).c_str());
        std::ifstream in(FileName(true), std::ios::binary);
        std::vector<unsigned char> file{std::istreambuf_iterator<char>(in),
                                        std::istreambuf_iterator<char>()};
        // The storage data behind the archive's header.
        if (file.size() > 32)
            bytes.assign(file.begin() + 32, file.end());
    }
    ~Fixture()
    {
        std::remove(FileName(true).c_str());
        std::remove(FileName(false).c_str());
    }
    CDocumentRef document;
    std::vector<unsigned char> bytes;
};

Fixture& Shared()
{
    static Fixture fixture;
    return fixture;
}

void Counters(benchmark::State& state)
{
    const std::size_t size = Shared().bytes.size() + 32;
    state.SetBytesProcessed(state.iterations() * std::int64_t(size));
    state.counters["file_bytes"] = double(size);
}

void Drop(CDocumentRef& doc)
{
    if (doc.IsValid())
        doc->Delete();
    doc = CDocumentRef();
    ZuObjectRef::RealiseDeletions();
}

// Argument 1: the file in memory (/dev/shm); 0: on the disk.
void BM_OpenDocumentFile(benchmark::State& state)
{
    Fixture& f = Shared();
    const ZuStringRef name(FileName(state.range(0) != 0).c_str());
    for (auto _ : state) {
        CDocumentRef doc = CDocument::ReadFile(name);
        if (doc.IsInvalid())
            state.SkipWithError("document not read");
        state.PauseTiming();
        Drop(doc);
        state.ResumeTiming();
    }
    (void)f;
    Counters(state);
}

void BM_RestoreDocumentMemory(benchmark::State& state)
{
    Fixture& f = Shared();
    ZuDocBenchStorageRef storage = BenchMake<ZuDocBenchStorageRef>();
    for (auto _ : state) {
        storage->StartRestoring(&f.bytes);
        CDocumentRef doc;
        ZuStorageRef(storage) >> doc;
        storage->FinallyAwake();
        if (doc.IsInvalid())
            state.SkipWithError("document not restored");
        state.PauseTiming();
        storage->StartStoring(); // drops the tables' references
        storage->Stored();
        Drop(doc);
        state.ResumeTiming();
    }
    Counters(state);
}

void BM_SaveDocumentFile(benchmark::State& state)
{
    Fixture& f = Shared();
    const ZuStringRef name(FileName(state.range(0) != 0).c_str());
    for (auto _ : state)
        if (!f.document->WriteFile(name))
            state.SkipWithError("document not written");
    Counters(state);
}

void BM_StoreDocumentMemory(benchmark::State& state)
{
    Fixture& f = Shared();
    ZuDocBenchStorageRef storage = BenchMake<ZuDocBenchStorageRef>();
    for (auto _ : state) {
        storage->StartStoring();
        ZuStorageRef(storage) << f.document;
        benchmark::DoNotOptimize(storage->Stored());
    }
    Counters(state);
}

const int kDpi = 150;
const unsigned kPageWidth = unsigned(595.0 * kDpi / 72.0 + 0.5);
const unsigned kPageHeight = unsigned(842.0 * kDpi / 72.0 + 0.5);

std::string PngName(const char* what)
{
    return Folder(false) + "/zuvi_document_bench_" + std::to_string(getpid()) + what + ".png";
}

// The route a user waits for: the document opened from its file and
// rendered through the port and the interpreter into a 150 dpi PNG file.
void BM_OpenAndExportPng(benchmark::State& state)
{
    Shared();
    const ZuStringRef name(FileName(false).c_str());
    const std::string png = PngName("-route");
    for (auto _ : state) {
        CDocumentRef doc = CDocument::ReadFile(name);
        GSContextRef file = BenchMake<GSContextRef>();
        const char* failure = nullptr;
        if (doc.IsInvalid())
            failure = "document not read";
        else if (!file->CreateRenderDevice(kPageWidth, kPageHeight, kDpi, 24,
                                           ZuStringRef("png16m")))
            failure = "no render device";
        else if (!file->BeginRender(png.c_str(), 1))
            failure = "render not begun";
        if (failure == nullptr) {
            DrawDocument(doc, file);
            if (!file->ExecuteText("showpage\n", 0))
                failure = "page not shown";
            else if (!file->EndRender())
                failure = "page not rendered";
        }
        if (failure != nullptr) {
            state.SkipWithError(failure);
            break;
        }
        state.PauseTiming();
        file = GSContextRef();
        Drop(doc);
        state.ResumeTiming();
    }
    std::remove(png.c_str());
}

// The bare interpreter's program rendering the PostScript the port sends
// for the same document to the same device, start-up included.
void BM_GsProgramSamePage(benchmark::State& state)
{
    Fixture& f = Shared();
    ZuDocBenchCaptureRef capture = BenchMake<ZuDocBenchCaptureRef>();
    DrawDocument(f.document, capture);
    const std::string ps =
        Folder(false) + "/zuvi_document_bench_" + std::to_string(getpid()) + ".ps";
    {
        std::ofstream out(ps, std::ios::binary);
        out << "<< /PageSize [595 842] >> setpagedevice\n" << capture->captured << "\nshowpage\n";
    }
    const std::string png = PngName("-gs");
    const std::string command = "gs -q -dNOPAUSE -dBATCH -dNOSAFER -sDEVICE=png16m -r" +
                                std::to_string(kDpi) + " -sOutputFile=" + png + " " + ps +
                                " >/dev/null 2>&1";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("gs failed");
    state.counters["ps_bytes"] = double(capture->captured.size());
    std::remove(ps.c_str());
    std::remove(png.c_str());
}

// The port's share of the route alone: the opened document drawn into a
// context that keeps the text and runs nothing (what the port and the
// drawing objects spend building the export's PostScript).
void BM_DrawDocumentText(benchmark::State& state)
{
    Fixture& f = Shared();
    ZuDocBenchCaptureRef capture = BenchMake<ZuDocBenchCaptureRef>();
    DrawDocument(f.document, capture);
    const std::size_t size = capture->captured.size();
    for (auto _ : state) {
        capture->captured.clear();
        DrawDocument(f.document, capture);
    }
    state.SetItemsProcessed(state.iterations() * kShapes);
    state.SetBytesProcessed(state.iterations() * std::int64_t(size));
}
BENCHMARK(BM_DrawDocumentText)->Unit(benchmark::kMicrosecond);

// The same route as a whole program, as a user starts it: the library's
// start, the document read, the interpreter's start, the page rendered and
// written, the program's end.
void BM_RouteProgram(benchmark::State& state)
{
    Shared();
    const std::string png = PngName("-program");
    const std::string command = std::string(ZUVI_BENCH_ROUTE_PROGRAM) + " export " +
                                FileName(false) + " " + png + " >/dev/null 2>&1";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("route program failed");
    std::remove(png.c_str());
}

} // namespace

BENCHMARK(BM_RouteProgram)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_GsProgramSamePage)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OpenAndExportPng)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OpenDocumentFile)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RestoreDocumentMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveDocumentFile)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
// The same into a memory storage made for the run, as each save makes its
// archive: the reused storage above keeps its tables' memory warm from one
// run to the next, which no save has.
void BM_StoreDocumentNewStorage(benchmark::State& state)
{
    Fixture& f = Shared();
    for (auto _ : state) {
        ZuDocBenchStorageRef storage = BenchMake<ZuDocBenchStorageRef>();
        storage->StartStoring();
        ZuStorageRef(storage) << f.document;
        benchmark::DoNotOptimize(storage->Stored());
    }
    Counters(state);
}

BENCHMARK(BM_StoreDocumentMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StoreDocumentNewStorage)->Unit(benchmark::kMillisecond);
