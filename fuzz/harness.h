// What the fuzz targets that restore objects share: a storage over the
// fuzzer's bytes that writes into a buffer, the run's runtime (brought up on
// the first input and taken down in order at exit), the check that stops a
// run, and the writing of seeds.
#ifndef FUZZ_HARNESS_H
#define FUZZ_HARNESS_H

#include "fuzz/quietsink.h"
#include "si/maininit.h"
#include "si/rtclass.h"
#include "si/storage.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

// Reads from bytes held by the caller (the fuzzer's input, or a record
// written before) and writes into a buffer of its own. Reading past the end
// is the stream error every reader of outside bytes must expect.
ZU_HANDLE(ZuFuzzStorage, ZuStorage)
class ZuFuzzStorage : public ZuStorage {
    ZU_CLASS(ZuFuzzStorage, ZuStorage)
public:
    ZuFuzzStorage() {}
    static ZuFuzzStorageRef Make();

    void StartReading(const std::uint8_t* bytes, std::size_t n);
    void StartWriting();
    void Stop()
    {
        SetStorageMode(ZU_STORAGE_OFF);
        SetInputWindow(nullptr, 0);
    }
    const std::vector<std::uint8_t>& Written() const { return out; }

    // One object of `type` read from the bytes, the restored objects woken
    // when `wake` is set. A read the storage refuses (ZuExcStream, from the
    // read or the waking) gives an invalid handle; a refused read must hand
    // the caller nothing.
    ZuObjectRef RestoreFrom(const std::uint8_t* bytes, std::size_t n, const ZuRuntimeRef& type,
                            bool wake = false);
    // The stored record of one object (StoreObject).
    std::vector<std::uint8_t> StoreOf(const ZuObjectRef& o);

    void StoreData(const void* bytes, unsigned int n) override;
    std::uint64_t RetRemainingData() const override
    {
        return in_place ? RetInputWindowSize() : size - pos;
    }
    void RestoreData(void* to, unsigned int n) override;

private:
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    std::size_t pos = 0;
    bool in_place = false;
    std::vector<std::uint8_t> out;
};
ZU_CLASS_END(ZuFuzzStorage)

// Names the target in what Zuvi_FuzzCheck prints.
void Zuvi_FuzzSetTarget(const char* target);

// Stops the run with the broken promise when `ok` is false: the fuzzer
// keeps the input that broke it.
void Zuvi_FuzzCheck(bool ok, const char* what);

// Writes a seed "seed-<name>" into dir (the variable that asks for seeds
// names it); a seed that cannot be written is left out.
void Zuvi_FuzzWriteSeed(const char* dir, const std::string& name,
                        const std::vector<std::uint8_t>& bytes);

// A file of the run's scratch folder, for the targets that read and write
// files: the folder (named `folder` and a random number, in memory where
// the system has /dev/shm) is made on first use and removed at exit.
std::string Zuvi_FuzzScratch(const char* folder, const char* what);

// What the inputs of a target share: at the least the storage.
struct ZuviFuzzStorageRuntime {
    ZuFuzzStorageRef storage = ZuFuzzStorage::Make();
};

// The runtime of a target: the library's services, with the debug sink
// quiet unless trace_variable is set, then an R made once (with a storage
// member, like ZuviFuzzStorageRuntime), and the seeds written through its
// storage when seeds_variable names a directory. Both live for the whole
// run and are taken down at exit, R first, before the zones' own static
// destruction.
template <class R>
R& Zuvi_FuzzRuntime(const char* target, const char* trace_variable,
                    const char* seeds_variable = nullptr,
                    void (*write_seeds)(const ZuFuzzStorageRef&, const char*) = nullptr)
{
    static R* runtime = [=] {
        Zuvi_FuzzSetTarget(target);
        Zuvi_FuzzQuietUnless(trace_variable);
        Zuvi_StartServices();
        std::atexit([] {
            delete runtime;
            Zuvi_StopServices();
        });
        R* r = new R();
        if (const char* dir = seeds_variable ? std::getenv(seeds_variable) : nullptr)
            write_seeds(r->storage, dir);
        return r;
    }();
    return *runtime;
}

#endif
