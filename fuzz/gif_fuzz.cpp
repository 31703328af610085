// Decodes arbitrary bytes with the library's GIF decoder, then builds the
// pixmap. Whatever the bytes: an index image of the descriptor's size or a
// refusal, never a read outside the data or a crash.
//
// Pixmaps are built only for images of at most 2^20 pixels, so that each
// run stays quick; the decoder itself sees every input.
#include "fuzz/imagefuzz.h"
#include "sd/common/sd_pngreader.h"
#include "si/loadgif.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ZuviFuzzStartImages();
    // A copy of exactly the input's size, so that any read past it is seen.
    std::vector<std::uint8_t> bytes(data, data + size);
    GifDecoder* gif = NewGifDecoder();
    if (gif == nullptr)
        return 0;
    const bool decoded = DecodeGif(*gif, bytes.data(), bytes.size());
    const std::uint64_t pixels =
        decoded ? std::uint64_t(gif->width) * std::uint64_t(gif->height) : 0;
    if (decoded && (pixels == 0 || pixels > ZU_IMAGE_MAX_PIXELS))
        __builtin_trap();
    FreeGifDecoder(gif);
    if (decoded && pixels <= (std::uint64_t(1) << 20)) {
        ZuGrailPixmapRef pixmap = Zuvi::LoadGIFFromMemory(bytes.data(), bytes.size(), nullptr);
        if (!pixmap.IsValid())
            __builtin_trap();
    }
    ZuObjectRef::RealiseDeletions();
    return 0;
}
