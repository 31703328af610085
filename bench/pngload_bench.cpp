// Loading an 8192 x 8192 PNG of zeros (a 261 KB file) into a 32-bit pixmap,
// beside libpng decoding the same file with the same transformations into
// one buffer of the image's size. Goals: within 1.5 times libpng's time,
// and a peak of memory within 1.1 times the image's own bytes. The peak is
// the resident set's high-water mark above where the run started
// (counter "peak_per_image"). The same 2^26 pixels one pixel wide, one
// pixel tall, four pixels tall and 2048 wide: the time per pixel and the
// peak stay near the square's. libpng into one buffer is measured for the
// square, the single row and the four rows (its own rows as wide as the
// image are its peak's excess there).
#include <benchmark/benchmark.h>
#include <png.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "si/classfactory.h"
#include "si/fontman.h"
#include "si/loadpng.h"
#include "si/maininit.h"
#include "si/memzone.h"
#include "si/objectref.h"

namespace {

const unsigned kSide = 8192;

struct Runtime {
    Runtime()
    {
        Zuvi_StartServices();
        ZuFontMan::InitSystemFontMan(
            ZuFontManRef(ZuNew<ZuFontMan>(Zuvi_app_zone, __LINE__, "bench")));
    }
};

void Put(std::vector<unsigned char>& file, const char* type, const std::vector<unsigned char>& d)
{
    for (int i = 3; i >= 0; --i)
        file.push_back(static_cast<unsigned char>(d.size() >> (8 * i)));
    const std::size_t start = file.size();
    file.insert(file.end(), type, type + 4);
    file.insert(file.end(), d.begin(), d.end());
    const uLong crc = crc32(0, file.data() + start, static_cast<uInt>(d.size() + 4));
    for (int i = 3; i >= 0; --i)
        file.push_back(static_cast<unsigned char>(crc >> (8 * i)));
}

// A grey 8-bit PNG of zeros, width x height.
const std::vector<unsigned char>& ZeroPng(unsigned width = kSide, unsigned height = kSide)
{
    static std::map<std::pair<unsigned, unsigned>, std::vector<unsigned char>> files;
    std::vector<unsigned char>& file = files[{width, height}];
    if (!file.empty())
        return file;
    file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<unsigned char> header;
    for (unsigned v : {width, height})
        for (int i = 3; i >= 0; --i)
            header.push_back(static_cast<unsigned char>(v >> (8 * i)));
    header.insert(header.end(), {8, 0, 0, 0, 0});
    Put(file, "IHDR", header);
    std::vector<unsigned char> raw(std::size_t(width + 1) * height, 0);
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::vector<unsigned char> idat(size);
    compress2(idat.data(), &size, raw.data(), static_cast<uLong>(raw.size()), 9);
    idat.resize(size);
    Put(file, "IDAT", idat);
    Put(file, "IEND", {});
    return file;
}

// The resident set's high-water mark is set back to the current size.
void ResetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

double StatusKB(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::size_t n = std::strlen(field);
    while (std::getline(status, line))
        if (line.compare(0, n, field) == 0)
            return std::atof(line.c_str() + n);
    return 0;
}

// One run outside the timing, for the peak.
template <class F>
double PeakPerImage(F run, double image_bytes = double(kSide) * kSide * 4)
{
    ResetPeak();
    const double before = StatusKB("VmRSS:");
    run();
    return (StatusKB("VmHWM:") - before) * 1024.0 / image_bytes;
}

void LoadIntoPixmap(unsigned width = kSide, unsigned height = kSide)
{
    const std::vector<unsigned char>& file = ZeroPng(width, height);
    ZuGrailPixmapRef pixmap =
        Zuvi::LoadPNGFromMemory(file.data(), file.size(), nullptr, ZuDictNull);
    benchmark::DoNotOptimize(pixmap.RetRawObject());
    pixmap = ZuGrailPixmapNull;
    ZuObjectRef::RealiseDeletions();
}

struct Source {
    const std::vector<unsigned char>* file;
    std::size_t at;
};

void Read(png_structp png, png_bytep out, png_size_t n)
{
    Source* s = static_cast<Source*>(png_get_io_ptr(png));
    std::memcpy(out, s->file->data() + s->at, n);
    s->at += n;
}

void LibpngIntoOneBuffer(unsigned width = kSide, unsigned height = kSide)
{
    Source source{&ZeroPng(width, height), 0};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_read_fn(png, &source, Read);
    png_set_user_limits(png, 1u << 26, 1u << 26);
    png_read_info(png, info);
    png_set_expand(png);
    png_set_gray_to_rgb(png);
    png_set_bgr(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const std::size_t row = png_get_rowbytes(png, info);
    unsigned char* block = static_cast<unsigned char*>(std::malloc(row * height));
    std::vector<png_bytep> rows(height);
    for (unsigned y = 0; y < height; ++y)
        rows[y] = block + row * y;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    benchmark::DoNotOptimize(block);
    std::free(block);
}

void BM_LoadPngIntoPixmap(benchmark::State& state)
{
    static Runtime runtime;
    const unsigned width = unsigned(state.range(0)), height = unsigned(state.range(1));
    ZeroPng(width, height);
    state.counters["peak_per_image"] =
        PeakPerImage([&] { LoadIntoPixmap(width, height); }, double(width) * double(height) * 4);
    for (auto _ : state)
        LoadIntoPixmap(width, height);
    state.SetItemsProcessed(state.iterations() * std::int64_t(width) * height);
}
BENCHMARK(BM_LoadPngIntoPixmap)
    ->Args({kSide, kSide})
    ->Args({1, 1 << 26})
    ->Args({1 << 26, 1})
    ->Args({2048, 1 << 15})
    ->Args({1 << 24, 4})
    ->Unit(benchmark::kMillisecond);

void BM_LibpngIntoOneBuffer(benchmark::State& state)
{
    const unsigned width = unsigned(state.range(0)), height = unsigned(state.range(1));
    ZeroPng(width, height);
    state.counters["peak_per_image"] = PeakPerImage([&] { LibpngIntoOneBuffer(width, height); },
                                                    double(width) * double(height) * 4);
    for (auto _ : state)
        LibpngIntoOneBuffer(width, height);
    state.SetItemsProcessed(state.iterations() * std::int64_t(width) * height);
}
BENCHMARK(BM_LibpngIntoOneBuffer)
    ->Args({kSide, kSide})
    ->Args({1 << 26, 1})
    ->Args({1 << 24, 4})
    ->Unit(benchmark::kMillisecond);

} // namespace
