// Loading PNG images into 32-bit pixmaps.
//
// Every pixel arrives as the colour word 0xTTRRGGBB, TT being 255 minus the
// file's alpha (0 where the image has none). A file that cannot be loaded
// (missing, unreadable, not a PNG, damaged, truncated, more than
// ZU_IMAGE_MAX_PIXELS pixels) gives the null pixmap and nothing else; no
// error is reported.
#ifndef SI_LOADPNG_H
#define SI_LOADPNG_H

#include <cstddef>

#include "si/dict.h"
#include "si/grailpxm.h"
#include "si/string.h"

class ZuMemZone;

namespace Zuvi {

// The pixmap is made in `zone`, or in the application zone when it is null.
// When `texts` is a valid dictionary, each text chunk before the image data
// is inserted in file order: its keyword as an atom key, its text as a
// string value. Nothing is inserted when the file does not load.
ZuGrailPixmapRef LoadPNG(const ZuStringRef& path, ZuMemZone* zone, const ZuDictRef& texts);
// The same without the texts.
ZuGrailPixmapRef LoadPNG(const ZuStringRef& path, ZuMemZone* zone);
// The same from the bytes of a whole PNG file held in memory.
ZuGrailPixmapRef LoadPNGFromMemory(const unsigned char* bytes, std::size_t size, ZuMemZone* zone,
                                   const ZuDictRef& texts);

} // namespace Zuvi

#endif
