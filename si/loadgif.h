// Loading GIF images ("GIF87a" and "GIF89a") into 32-bit pixmaps, with the
// library's own decoder. Only the first image of a file is read; extension
// blocks are skipped, so transparency and animation are not used, and every
// pixel is opaque in its table colour. Without a global or local colour
// table a built-in 16-colour table repeats over the 256 entries.
//
// A file that cannot be read, is not a GIF, has no image or an image of
// width or height 0 or of more than ZU_IMAGE_MAX_PIXELS pixels gives an
// empty pixmap handle. Damaged or short code data still loads: the pixels
// that the code data does not reach have index 0.
#ifndef SI_LOADGIF_H
#define SI_LOADGIF_H

#include <cstddef>
#include <cstdint>

#include "si/grailpxm.h"
#include "si/string.h"

class ZuMemZone;

// The whole state of one decode: one zeroed block of the application zone,
// with the tables inline and three buffers of its own.
struct GifDecoder {
    // Bits of the gathered code data consumed.
    std::uint64_t bit_position;
    // Interlace writer: column, row, pass (0 to 3), the row of the output
    // pointer (-1 at the start) and that pointer.
    int column;
    int row;
    int pass;
    int pointer_row;
    unsigned char* row_pointer;
    // Output stack depth.
    int stack_depth;
    // From the image descriptor.
    int width;
    int height;
    // Colour table: bits of the screen descriptor's size code plus 1, its
    // colour count, the global-table flag and the colour mask (count - 1).
    int colour_bits;
    int colour_count;
    bool global_table;
    int colour_mask;
    // LZW state.
    int code_size;
    int initial_code_size;
    int code;
    int code_limit;
    int code_mask;
    int clear_code;
    int end_code;
    int first_free;
    int next_free;
    int old_code;
    int incoming_code;
    int walk_code;
    int first_char;
    // Image descriptor flags and bit 6 of them.
    int flags;
    bool interlaced;
    // The gathered code data (followed by 256 zero bytes) and the index
    // image of width x height bytes.
    unsigned char* code_data;
    std::size_t code_bytes;
    unsigned char* indices;
    int prefix[4096];
    unsigned char suffix[4096];
    unsigned char stack[4097];
    unsigned char red[256];
    unsigned char green[256];
    unsigned char blue[256];
};

// A zeroed decoder, or null when the application zone has no room.
GifDecoder* NewGifDecoder();
// Frees the decoder's buffers and the decoder; clears the pointer.
void FreeGifDecoder(GifDecoder*& gif);

// Decodes the first image of the GIF file held in `bytes` into the
// decoder's index image and colour table; false when the bytes give no
// image (see above). The bytes are only read, never past `size`.
bool DecodeGif(GifDecoder& gif, const unsigned char* bytes, std::size_t size);
// The next code of the current code size from the gathered data; the end
// code once the data is used up.
int ReadGifCode(GifDecoder& gif);
// Stores one index at the interlace writer's position and advances it in
// the interlaced row order (rows 0, 8, 16 ...; 4, 12 ...; 2, 6 ...; 1, 3 ...).
void PutGifPixel(GifDecoder& gif, int index);

namespace Zuvi {

// The pixmap is made in `zone`, or in the data zone when it is null.
ZuGrailPixmapRef LoadGIF(const ZuStringRef& path, ZuMemZone* zone);
// The same from the bytes of a whole GIF file held in memory.
ZuGrailPixmapRef LoadGIFFromMemory(const unsigned char* bytes, std::size_t size, ZuMemZone* zone);

} // namespace Zuvi

#endif
