// The fuzz targets' shared harness (fuzz/harness.h).
#include "fuzz/harness.h"

#include "si/classfactory.h"
#include "si/except.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>

ZU_IMPLEMENT_CLASS(ZuFuzzStorage, "fuzz/harness", ZU_CLASS_PLAIN)

ZuFuzzStorageRef ZuFuzzStorage::Make()
{
    return ZuNew<ZuFuzzStorage>(nullptr, __LINE__, "fuzz/harness");
}

void ZuFuzzStorage::StartReading(const std::uint8_t* bytes, std::size_t n)
{
    SetStorageMode(ZU_STORAGE_REMOTE);
    data = bytes;
    size = n;
    pos = 0;
    DropPushedBack();
    // Inputs of even length are handed over in place, the others item by
    // item: the fuzzer meets both ways of reading.
    in_place = n % 2 == 0;
    SetInputWindow(in_place ? data : nullptr, in_place ? size : 0);
}

void ZuFuzzStorage::StartWriting()
{
    SetStorageMode(ZU_STORAGE_REMOTE);
    out.clear();
}

ZuObjectRef ZuFuzzStorage::RestoreFrom(const std::uint8_t* bytes, std::size_t n,
                                       const ZuRuntimeRef& type, bool wake)
{
    ZuObjectRef read;
    bool restored = false;
    StartReading(bytes, n);
    try {
        RestoreObject(read, type);
        restored = true;
        if (wake)
            FinallyAwake();
    } catch (const ZuExcStream&) {
        // RestoreObject hands its result over only when everything read.
        Zuvi_FuzzCheck(restored || read.IsInvalid(), "half-read object reached the caller");
        read = ZuObjectRef();
    }
    Stop();
    return read;
}

std::vector<std::uint8_t> ZuFuzzStorage::StoreOf(const ZuObjectRef& o)
{
    StartWriting();
    StoreObject(o);
    Stop();
    return out;
}

void ZuFuzzStorage::StoreData(const void* bytes, unsigned int n)
{
    const auto* p = static_cast<const std::uint8_t*>(bytes);
    out.insert(out.end(), p, p + n);
}

void ZuFuzzStorage::RestoreData(void* to, unsigned int n)
{
    if (in_place)
        pos = std::size_t(RetInputWindow() - data);
    if (n > size - pos)
        throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_READ);
    std::memcpy(to, data + pos, n);
    pos += n;
    if (in_place)
        SetInputWindow(data + pos, size - pos);
}

namespace {

const char*& Target()
{
    static const char* target = "fuzz";
    return target;
}

} // namespace

void Zuvi_FuzzSetTarget(const char* target)
{
    Target() = target;
}

void Zuvi_FuzzCheck(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "%s: %s\n", Target(), what);
        std::abort();
    }
}

void Zuvi_FuzzWriteSeed(const char* dir, const std::string& name,
                        const std::vector<std::uint8_t>& bytes)
{
    std::string const path = std::string(dir) + "/seed-" + name;
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
}

std::string Zuvi_FuzzScratch(const char* folder, const char* what)
{
    // Kept for the whole run: the clean-up at exit still needs it.
    static const std::string* const dir = [folder] {
        std::random_device random;
        std::filesystem::path base = std::filesystem::is_directory("/dev/shm")
                                         ? std::filesystem::path("/dev/shm")
                                         : std::filesystem::temp_directory_path();
        std::filesystem::path d = base / (std::string(folder) + "-" + std::to_string(random()));
        std::filesystem::create_directories(d);
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(*dir, ec);
        });
        return new std::string(d.string());
    }();
    return *dir + "/" + what;
}
