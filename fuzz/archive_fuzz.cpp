// Reads arbitrary bytes as an archive file: the header check, then object
// graphs of any class the library registers. Whatever the file holds,
// reading must end in objects or in a ZuExcStream, never in a crash, an
// abort or memory that grows with what a count claims.
#include "si/archive.h"
#include "si/atom.h"
#include "si/classfactory.h"
#include "si/except.h"
#include "si/maininit.h"
#include "si/fileread.h"
#include "si/memzone.h"
#include "fuzz/quietsink.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

std::string& FileName()
{
    static std::string name = [] {
        std::random_device random;
        // In memory where the system offers it: the file is written once
        // per input.
        std::filesystem::path dir = std::filesystem::is_directory("/dev/shm")
                                        ? std::filesystem::path("/dev/shm")
                                        : std::filesystem::temp_directory_path();
        std::string n = (dir / ("zuvi-archive-fuzz-" + std::to_string(random()) + ".arc")).string();
        std::atexit([] { std::remove(FileName().c_str()); });
        return n;
    }();
    return name;
}

void StartRuntime()
{
    static bool started = [] {
        Zuvi_FuzzQuietUnless("ARCHIVE_FUZZ_TRACE");
        Zuvi_StartServices();
        std::atexit([] { Zuvi_StopServices(); });
        return true;
    }();
    (void)started;
}

// Restored graphs may hold cycles; an object's Delete lets go of what it
// refers to.
void TakeApart(std::vector<ZuObjectRef>& restored)
{
    for (ZuObjectRef& object : restored)
        if (object.IsValid())
            object->Delete();
    restored.clear();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    StartRuntime();
    {
        std::ofstream out(FileName(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    }
    {
        ZuFileReadRef in = ZuNew<ZuFileRead>(Zuvi_app_zone, __LINE__, "fuzz/archive_fuzz");
        ZuArchiveRef archive = ZuNew<ZuArchive>(Zuvi_app_zone, __LINE__, "fuzz/archive_fuzz");
        std::vector<ZuObjectRef> restored;
        try {
            in->Open(ZuStringRef(FileName().c_str()));
            archive->SetInput(in);
            for (int n = 0; n < 16; n++) {
                ZuObjectRef object;
                ZuStorageRef(archive) >> object;
                if (object.IsInvalid())
                    break;
                restored.push_back(object);
            }
            archive->FinallyAwake();
        } catch (const ZuExcStream&) {}
        archive->Reset();
        in->Close();
        TakeApart(restored);
    }
    ZuObjectRef::RealiseDeletions();
    return 0;
}
