#include "si/loadpng.h"

#include <cstdint>
#include <cstring>

#include "sd/common/sd_file.h"
#include "sd/common/sd_pngreader.h"
#include "si/atom.h"
#include "si/classfactory.h"
#include "si/error.h"
#include "si/memzone.h"
#include "zoveda/gfxsurface.h"

namespace {

// Files above this size are not images the library could accept.
const std::uint64_t kMaxFileBytes = std::uint64_t(1) << 30;

// The decoder writes its rows straight into the pixmap's lines (blue,
// green, red and alpha bytes); they become colour words once the image is
// whole, as an interlaced image needs its earlier passes as decoded.
class PixmapRows : public PngRowTarget {
public:
    explicit PixmapRows(ZuMemZone* zone_) : zone(zone_) {}
    ~PixmapRows() override { Unlock(); }

    bool Begin(unsigned width, unsigned height) override
    {
        pixmap = ZuGrailPixmapRef(ZuNew<ZuGrailPixmap>(zone != nullptr ? zone : Zuvi_app_zone));
        pixmap->Initialise(32, width, height);
        surface = pixmap->LockSurface();
        return surface != nullptr && surface->DX() == width && surface->DY() == height &&
               surface->BytesPerPixel() == 4;
    }
    unsigned char* Row(unsigned y) override
    {
        return surface != nullptr ? surface->Line(static_cast<int>(y)) : nullptr;
    }

    // Every pixel becomes the word 0xTTRRGGBB, TT being 255 minus alpha.
    ZuGrailPixmapRef Finish()
    {
        const unsigned width = surface->DX();
        const unsigned height = surface->DY();
        for (unsigned y = 0; y < height; ++y) {
            unsigned char* p = surface->Line(static_cast<int>(y));
            for (unsigned x = 0; x < width; ++x, p += 4) {
                const std::uint32_t word = static_cast<std::uint32_t>(p[3] ^ 0xFFu) << 24 |
                                           static_cast<std::uint32_t>(p[2]) << 16 |
                                           static_cast<std::uint32_t>(p[1]) << 8 | p[0];
                std::memcpy(p, &word, 4);
            }
        }
        surface->SetEmpty(false);
        Unlock();
        return pixmap;
    }

private:
    void Unlock()
    {
        if (pixmap.IsValid() && surface != nullptr)
            pixmap->UnlockSurface(surface);
        surface = nullptr;
    }

    ZuMemZone* zone;
    ZuGrailPixmapRef pixmap;
    GfxSurface* surface = nullptr;
};

} // namespace

namespace Zuvi {

ZuGrailPixmapRef LoadPNGFromMemory(const unsigned char* bytes, std::size_t size, ZuMemZone* zone,
                                   const ZuDictRef& texts)
{
    PngReader reader;
    PixmapRows target(zone);
    if (bytes == nullptr || !reader.ReadPngFromMemory(bytes, size, target))
        return ZuGrailPixmapNull;
    const ZuGrailPixmapRef pixmap = target.Finish();

    if (texts.IsValid()) {
        for (unsigned i = 0; i < reader.CountTexts(); ++i) {
            const char* keyword = nullptr;
            const char* text = nullptr;
            reader.GetText(i, keyword, text);
            texts->Insert(ZuAtomRef(keyword), ZuStringRef(text));
        }
    }
    return pixmap;
}

ZuGrailPixmapRef LoadPNG(const ZuStringRef& path, ZuMemZone* zone, const ZuDictRef& texts)
{
    Zuvi_File* file = Zuvi_File::Open(path, Zuvi_FileOpenModes{ZU_FOPEN_READ});
    if (file == nullptr)
        return ZuGrailPixmapNull;
    const std::uint64_t size = file->RetSize();
    if (size == 0 || size > kMaxFileBytes) {
        Zuvi_File::Close(file);
        return ZuGrailPixmapNull;
    }
    ZuMemZone* buffer_zone = zone != nullptr ? zone : Zuvi_app_zone;
    unsigned char* bytes = static_cast<unsigned char*>(
        buffer_zone->Alloc(static_cast<unsigned>(size), "Card8", __LINE__, ZU_SRC_FILE));
    if (bytes == nullptr) {
        Zuvi_File::Close(file);
        return ZuGrailPixmapNull;
    }
    const unsigned got = file->Read(bytes, static_cast<unsigned>(size));
    Zuvi_File::Close(file);
    ZuGrailPixmapRef pixmap;
    if (got == size)
        pixmap = LoadPNGFromMemory(bytes, static_cast<std::size_t>(size), zone, texts);
    else
        pixmap = ZuGrailPixmapNull;
    buffer_zone->Free(bytes, __LINE__, ZU_SRC_FILE);
    return pixmap;
}

ZuGrailPixmapRef LoadPNG(const ZuStringRef& path, ZuMemZone* zone)
{
    return LoadPNG(path, zone, ZuDictNull);
}

} // namespace Zuvi
