#ifndef ZOVEDA_GFXSURFACE_H
#define ZOVEDA_GFXSURFACE_H

#include <cstddef>

// A rectangle of pixels of 1 to 32 bits per pixel, the raster every drawing
// of the library ends in.
//
// Colours are passed as the word 0xTTRRGGBB, TT being a transparency: 0 is
// opaque, 255 invisible, values between blend. Pixels are stored as one grey
// byte (depths 2 to 8), one 5-6-5 word (9 to 16) or the colour word itself
// (17 to 32); a depth-1 surface only holds packed bits for others to read, and
// the pixel operations leave it alone.
//
// Every drawing operation clips against the clip rectangle (x2 and y2
// exclusive) and clears the empty flag when it writes. All memory comes from
// the hooks of GfxMemory; a surface whose memory cannot be had stays at size
// 0 x 0 without memory, and every operation on it does nothing. Besides its
// pixels a surface holds no memory that grows with its size until an
// operation that converts rows (blends, masked fills, channel and mask
// copies) needs a row's worth of colours: an image one pixel wide and
// millions tall costs its pixels' bytes, not several times them.
//
// Glyphs are drawn as 8-bit transparency masks through the masked RectFillBlend.
class GfxSurface {
public:
    // One byte of the colour word, for RectExtract and RectInsert.
    enum Channel {
        CHANNEL_ALPHA = 0, // TT, bits 24-31
        CHANNEL_RED = 1,   // bits 16-23
        CHANNEL_GREEN = 2, // bits 8-15
        CHANNEL_BLUE = 3   // bits 0-7
    };

    // Lines whose major-axis length reaches this are refused.
    static const int MAX_LINE_LENGTH = 10000;

    // Throws the text "bpp < 33" for a depth of 33 or more; null when the
    // object cannot be allocated. The surface has no memory until Initialise.
    static GfxSurface* New(unsigned depth);
    // Destroys the surface and clears the pointer; a null pointer is ignored.
    static void Delete(GfxSurface*& surface);

    // Owned, zeroed memory of dx x dy pixels, each row padded to a multiple
    // of 4 bytes (a depth-1 row to 2 bytes); the surface is empty.
    void Initialise(unsigned dx, unsigned dy);
    // Lends the caller's memory (never freed by the surface).
    void Initialise(unsigned dx, unsigned dy, void* memory, unsigned pitch, bool empty);
    // Keeps the memory when the size fits what was allocated; otherwise
    // reallocates to the next multiples of 16 above dx and dy (pixels lost).
    void SetNewSize(unsigned dx, unsigned dy);
    // Gives back memory when the surface uses less than half of it.
    void OptimiseSize();
    void Clear();

    unsigned DX() const { return dx_; }
    unsigned DY() const { return dy_; }
    unsigned Depth() const { return depth_; }
    unsigned Alpha() const { return alpha_; }
    unsigned Pitch() const { return pitch_; }
    unsigned BytesPerPixel() const { return bytes_per_pixel_; }
    unsigned Shift() const { return shift_; }
    unsigned AllocatedDX() const { return alloc_dx_; }
    unsigned AllocatedDY() const { return alloc_dy_; }
    unsigned char* Line(int y) const
    {
        return static_cast<unsigned char*>(memory_) + static_cast<std::size_t>(y) * pitch_;
    }
    bool IsEmpty() const { return empty_; }
    void SetEmpty(bool empty) { empty_ = empty; }
    void SetAlpha(unsigned alpha) { alpha_ = alpha; }
    // A colour key for copies into this surface: source pixels equal to it
    // (the whole colour word) are not written.
    void SetTransparent(unsigned colour)
    {
        transparent_colour_ = colour;
        transparent_ = true;
    }
    void SetOpaque() { transparent_ = false; }
    bool IsTransparent() const { return transparent_; }
    unsigned TransparentColour() const { return transparent_colour_; }

    void SetClipRect(int x, int y, unsigned dx, unsigned dy);
    void ResetClipRect();
    int ClipX1() const { return clip_x1_; }
    int ClipY1() const { return clip_y1_; }
    int ClipX2() const { return clip_x2_; }
    int ClipY2() const { return clip_y2_; }

    // Fills.
    void RectFill(int x, int y, unsigned dx, unsigned dy, unsigned colour);
    void RectFillBlend(int x, int y, unsigned dx, unsigned dy, unsigned colour);
    // The colour through an 8- or 32-bit transparency mask read from (mx, my)
    // on, the mask tiling; a mask value of 0 is the full colour.
    void RectFillBlend(int x, int y, unsigned dx, unsigned dy, unsigned colour, int mx, int my,
                       GfxSurface* mask);

    // Copies and blends from src (null: this surface) at (sx, sy).
    void RectCopy(int x, int y, unsigned dx, unsigned dy, int sx, int sy, GfxSurface* src,
                  bool tile);
    void RectBlend(int x, int y, unsigned dx, unsigned dy, int sx, int sy, GfxSurface* src,
                   bool tile);
    // As RectBlend with the source's cover scaled: a = 0 keeps it, 1 hides the source.
    void RectBlendAlpha(int x, int y, unsigned dx, unsigned dy, int sx, int sy, double a,
                        GfxSurface* src, bool tile);

    // One channel of this surface to or from an 8-bit surface at (sx, sy).
    void RectExtract(int x, int y, unsigned dx, unsigned dy, int sx, int sy, GfxSurface* dst,
                     Channel channel);
    void RectInsert(int x, int y, unsigned dx, unsigned dy, int sx, int sy, GfxSurface* src,
                    Channel channel);
    // 1-bit masks, most significant bit first, row r at bits + r x bytes_per_row
    // from bit sx: light opaque pixels (grey 129 and above), or opaque pixels.
    void RectExtractMono(int x, int y, unsigned dx, unsigned dy, int sx, int sy,
                         unsigned char* bits, unsigned bytes_per_row);
    void RectExtractMonoAlpha(int x, int y, unsigned dx, unsigned dy, int sx, int sy,
                              unsigned char* bits, unsigned bytes_per_row);

    // Single pixels and runs.
    void SetPixelRGB(int x, int y, unsigned colour);
    void SetPixelRGBBlend(int x, int y, unsigned colour);
    unsigned RetPixelRGB(int x, int y) const;
    unsigned RetPixelMergeRGB(int x, int y, double fx, double fy) const;
    void SetPixelLineBGR24(int x, int y, unsigned count, const unsigned char* bgr);
    void SetPixelLineMono(int x, int y, unsigned count, unsigned colour, const unsigned char* bits);

    // Lines of one pixel width, both ends drawn; the dashed forms alternate
    // drawn and skipped runs of the pattern, starting with a drawn one. A
    // major-axis length of MAX_LINE_LENGTH or more throws "dx < MAX_LINE_LENGTH"
    // or "dy < MAX_LINE_LENGTH" and draws nothing.
    void DrawLine(int x1, int y1, int x2, int y2, unsigned colour);
    void DrawAALine(int x1, int y1, int x2, int y2, unsigned colour);
    void DrawLine(int x1, int y1, int x2, int y2, unsigned colour, const unsigned short* pattern,
                  int count);
    void DrawAALine(int x1, int y1, int x2, int y2, unsigned colour, const unsigned short* pattern,
                    int count);

    // Converts the rectangle into a screen buffer of dest_pitch bytes a row:
    // 5-6-5 and 5-5-5 words, B, G, R bytes, or 0x00RRGGBB words. 1-byte
    // surfaces write nothing. The rectangle is cut at the surface's size.
    void QuickBltTo565(unsigned x, unsigned y, unsigned dx, unsigned dy, void* dest,
                       unsigned dest_pitch) const;
    void QuickBltTo555(unsigned x, unsigned y, unsigned dx, unsigned dy, void* dest,
                       unsigned dest_pitch) const;
    void QuickBltTo24(unsigned x, unsigned y, unsigned dx, unsigned dy, void* dest,
                      unsigned dest_pitch) const;
    void QuickBltTo32(unsigned x, unsigned y, unsigned dx, unsigned dy, void* dest,
                      unsigned dest_pitch) const;

    // A copy would share the memory and tables and free them twice.
    GfxSurface(const GfxSurface&) = delete;
    GfxSurface& operator=(const GfxSurface&) = delete;

protected:
    explicit GfxSurface(unsigned depth);
    virtual void AllocSurface();
    virtual void AllocDotsBuffer();
    virtual void FreeSurfaceAndLines();
    virtual ~GfxSurface();

    // One step of a line: the minor-axis coordinate and the fraction of the
    // way to the next one (0 to 255).
    struct Dot {
        int coordinate;
        unsigned char fraction;
    };
    // Fill the dots buffer with n + 1 entries; false when it cannot be had.
    bool ComputeLineDotsDX(int x, int y, int n, int delta, double f);
    bool ComputeLineDotsDY(int x, int y, int delta, int n, double f);

private:
    bool ComputeLineDots(int start, int n, int delta, double f);
    bool Drawable() const { return memory_ != nullptr && bytes_per_pixel_ != 0 && depth_ != 1; }
    // The row of colours, made at its first use as wide as the memory;
    // false when it cannot be had (the operation then does nothing).
    bool HaveLineBuffer();
    bool Clip(int& x, int& y, unsigned& dx, unsigned& dy) const;
    void InitialiseOwned(unsigned dx, unsigned dy);
    void Fail();
    enum CopyMode { COPY, BLEND, BLEND_ALPHA };
    void CopyRows(int x, int y, unsigned dx, unsigned dy, int sx, int sy, GfxSurface* src,
                  bool tile, CopyMode mode, double a);
    void ChannelRows(int x, int y, unsigned dx, unsigned dy, int sx, int sy, GfxSurface* other,
                     Channel channel, bool insert);
    void MonoRows(int x, int y, unsigned dx, unsigned dy, int sx, unsigned char* bits,
                  unsigned bytes_per_row, bool alpha);
    bool LineSetup(int& x1, int& y1, int& x2, int& y2, bool& along_x, int& n, double f);
    void DrawLineDots(bool along_x, int x1, int y1, int n, unsigned colour, bool aa,
                      const unsigned short* pattern, int count);

    void* memory_;
    // A row's worth of colours for the operations that convert rows.
    unsigned* line_buffer_;
    Dot* dots_;
    unsigned dx_;
    unsigned dy_;
    unsigned pitch_;
    unsigned alpha_;
    unsigned alloc_dx_;
    unsigned alloc_dy_;
    bool owns_memory_;
    bool transparent_;
    bool empty_;
    int clip_x1_;
    int clip_y1_;
    int clip_x2_;
    int clip_y2_;
    unsigned depth_;
    unsigned bytes_per_pixel_;
    unsigned shift_;
    unsigned transparent_colour_;
};

#endif
