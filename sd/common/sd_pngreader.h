// PngReader: the library's adapter over the PNG decoder. It decodes a whole
// PNG file held in memory into rows of four bytes per pixel (blue, green,
// red, alpha; alpha 255 where the image has none) and keeps the file's text
// chunks. Every colour type and bit depth arrives in that one form: palettes
// and grey levels are expanded, a tRNS chunk becomes alpha, 16-bit samples
// are cut to 8 bits and grey is copied into red, green and blue.
//
// Only the text chunks that come before the image data are kept, in file
// order. A file whose chunks run past its end is refused before decoding,
// images of more than ZU_IMAGE_MAX_PIXELS pixels before any row is
// allocated, and no chunk may need more than ZU_PNG_MAX_CHUNK_BYTES.
//
// Rows are decoded into their place, either one block of the reader's or
// the caller's target (a pixmap), a few kilobytes of the image data at a
// time: besides the image, a decode needs under a hundred kilobytes,
// whatever the image's shape (an interlaced 16-bit colour image of an odd
// width, a row more).
//
// One reader serves one decode at a time; it is used by one thread.
#ifndef SD_COMMON_SD_PNGREADER_H
#define SD_COMMON_SD_PNGREADER_H

#include <cstddef>
#include <cstdint>

// The largest image the library's readers accept, in pixels (2^26: 256 MB
// of 32-bit pixels).
const std::uint64_t ZU_IMAGE_MAX_PIXELS = std::uint64_t(1) << 26;

// The largest ancillary chunk (text, profile...) the PNG reader accepts,
// also after decompression; a longer one refuses the file.
const std::size_t ZU_PNG_MAX_CHUNK_BYTES = std::size_t(8) << 20;

// Where decoded rows go: four bytes per pixel (blue, green, red, alpha).
// Each row is memory of its own that keeps what the reader leaves in it
// until the decode ends: a row not yet decoded holds raw bytes of the rows
// before it for a while. The reader asks for rows top to bottom, a pass at
// a time for an interlaced image, and for a row more than once.
class PngRowTarget {
public:
    virtual ~PngRowTarget() {}
    // The image's size, once known and before any row; false refuses it.
    virtual bool Begin(unsigned width, unsigned height) = 0;
    // The width x 4 bytes of row y; null stops the decode (a failure).
    virtual unsigned char* Row(unsigned y) = 0;
};

// The decoded rows in one block of the C heap, row after row.
struct PngRowBuffer {
    unsigned char* block = nullptr;
    std::size_t bytes_per_row = 0;
    unsigned width = 0;
    unsigned height = 0;

    // Allocates height rows of bytes_per_row bytes; false (and nothing
    // kept) when memory runs out.
    bool Allocate(unsigned width, unsigned height, std::size_t bytes_per_row);
    void Free();
    unsigned char* Row(unsigned y) const
    {
        return y < height ? block + std::size_t(y) * bytes_per_row : nullptr;
    }
};

class PngReader {
public:
    PngReader();
    ~PngReader();
    PngReader(const PngReader&) = delete;
    PngReader& operator=(const PngReader&) = delete;

    // Decodes the whole PNG into the rows (one block) and the text table;
    // false on any failure (bad signature or CRC, truncated or damaged data,
    // an image above the pixel bound, memory), in which case no rows are
    // kept.
    bool ReadPngFromMemory(const unsigned char* bytes, std::size_t size);
    // The same, the rows going straight to the target: the reader keeps
    // none (RetRow gives null) and needs no memory of the image's size.
    bool ReadPngFromMemory(const unsigned char* bytes, std::size_t size, PngRowTarget& target);

    // The keyword and text of chunk `index`; false when index is not below
    // the count.
    bool GetText(unsigned index, const char*& keyword, const char*& text) const;
    unsigned CountTexts() const { return text_count; }

    // The size of the last image decoded; 0 after a failure.
    unsigned RetWidth() const { return width; }
    unsigned RetHeight() const { return height; }
    // Row y of the decoded image: width x 4 bytes, blue, green, red, alpha.
    // Null when the rows went to a target.
    const unsigned char* RetRow(unsigned y) const { return rows.Row(y); }

    // The most memory the last decode held at once: the decoder's and the
    // inflater's blocks, the reader's buffers, the rows it kept and its text
    // table.
    std::size_t RetPeakBytes() const { return peak_bytes; }
    // What the decoder's and the inflater's allocators use.
    void* Allocate(std::size_t n);
    void Release(void* p);

    // What the decoder's read callback uses: the next n bytes of the source,
    // or false when they would pass its end.
    bool TakeSource(unsigned char* out, std::size_t n);

private:
    class OwnRows;
    bool Decode(const unsigned char* bytes, std::size_t size, PngRowTarget& target);
    void Count(std::ptrdiff_t bytes);
    void DropTexts();
    // Copies the decoder's text table into one block: both pointer tables,
    // then every keyword and text with its terminating zero.
    void KeepTexts(const void* text_table, int count);

    PngRowBuffer rows;
    unsigned width;
    unsigned height;
    std::size_t held_bytes;
    std::size_t peak_bytes;

    const unsigned char* source;
    std::size_t position;
    std::size_t size;

    unsigned text_count;
    char** keywords;
    char** texts;
    void* text_block;
    std::size_t text_bytes;
};

#endif
