// Decodes arbitrary bytes as a PNG file and copies the pixels into a pixmap,
// the text chunks into a dictionary. Whatever the bytes: a pixmap of the
// header's size or the null pixmap, never a crash.
//
// Headers of more than 2^20 pixels are left out: they are refused or
// decoded the same way, only each run would take seconds.
#include "fuzz/imagefuzz.h"
#include "sd/common/sd_pngreader.h"
#include "si/loadpng.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ZuviFuzzStartImages();
    if (size >= 24) {
        const std::uint64_t width =
            std::uint64_t(data[16]) << 24 | data[17] << 16 | data[18] << 8 | data[19];
        const std::uint64_t height =
            std::uint64_t(data[20]) << 24 | data[21] << 16 | data[22] << 8 | data[23];
        if (width * height > (std::uint64_t(1) << 20))
            return 0;
    }
    {
        ZuDictRef texts(ZuNew<ZuDict>());
        ZuGrailPixmapRef pixmap = Zuvi::LoadPNGFromMemory(data, size, nullptr, texts);
        if (pixmap.IsValid()) {
            double dx = 0, dy = 0;
            pixmap->GetSize(dx, dy);
            if (!(dx >= 1 && dy >= 1 && dx * dy <= double(ZU_IMAGE_MAX_PIXELS)))
                __builtin_trap();
        } else if (texts->TotalCount() != 0) {
            __builtin_trap();
        }
    }
    ZuObjectRef::RealiseDeletions();
    return 0;
}
