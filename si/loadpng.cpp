#include "si/loadpng.h"

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

} // namespace

namespace Zuvi {

ZuGrailPixmapRef LoadPNGFromMemory(const unsigned char* bytes, std::size_t size, ZuMemZone* zone,
                                   const ZuDictRef& texts)
{
    PngReader reader;
    if (bytes == nullptr || !reader.ReadPngFromMemory(bytes, size))
        return ZuGrailPixmapNull;

    const unsigned width = reader.RetWidth();
    const unsigned height = reader.RetHeight();
    ZuGrailPixmapRef pixmap(ZuNew<ZuGrailPixmap>(zone != nullptr ? zone : Zuvi_app_zone));
    pixmap->Initialise(32, width, height);
    GfxSurface* surface = pixmap->LockSurface();
    if (surface == nullptr || surface->DX() != width || surface->DY() != height) {
        pixmap->UnlockSurface(surface);
        return ZuGrailPixmapNull;
    }
    for (unsigned y = 0; y < height; ++y) {
        const unsigned char* p = reader.RetRow(y);
        for (unsigned x = 0; x < width; ++x, p += 4) {
            const unsigned word = static_cast<unsigned>(p[3]) << 24 |
                                  static_cast<unsigned>(p[2]) << 16 |
                                  static_cast<unsigned>(p[1]) << 8 | p[0];
            surface->SetPixelRGB(static_cast<int>(x), static_cast<int>(y), word ^ 0xFF000000u);
        }
    }
    pixmap->UnlockSurface(surface);

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
