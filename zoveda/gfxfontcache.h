#ifndef ZOVEDA_GFXFONTCACHE_H
#define ZOVEDA_GFXFONTCACHE_H

// The glyphs of one TrueType face at one pixel size, each rendered once and
// kept for the life of the cache.
//
// A rendered glyph is an 8-bit transparency mask (0 fully inked, 0xFF blank)
// kept in a band: an 8-bit surface 64 pixels wide and one em high on which
// masks are packed side by side from the left. A glyph that does not fit a
// band (wider than 64 pixels or taller than the em) gets a band of its own
// sized to it. Drawing a glyph fills its mask with a colour through the
// masked blended fill of GfxSurface.
//
// Glyph records are found by code: 256 head records, one per code & 255, and
// records for codes 256 to 1023 chained behind them. Codes from 1024 on have
// no glyph. Records and bands are never evicted.
//
// Smooth masks have five levels (0x00, 0x40, 0x80, 0xC0, 0xFF); the others
// only 0x00 and 0xFF. All memory comes from the hooks of GfxMemory.

class GfxSurface;

class GfxFontCache {
public:
    // Pixel geometry of one glyph, y upwards from the baseline: its box on
    // the pixel grid, the bearings and the advance; `reserved` is always 0.
    struct GlyphGeom {
        short xMin;
        short xMax;
        short yMin;
        short yMax;
        short bearingX;
        short bearingY;
        short advance;
        short reserved;
    };

    // One rendered glyph: its mask lies at (x, y) of band `band`, width x
    // height pixels. code 0xFFFF marks a head record without a glyph.
    struct GlyphInfo {
        GlyphInfo* next;
        unsigned short x;
        unsigned short y;
        unsigned short width;
        unsigned short height;
        unsigned short code;
        unsigned short band;
        GlyphGeom geom;
    };

    static const unsigned BAND_WIDTH = 64;
    static const unsigned short NO_CODE = 0xFFFF;
    // Codes from this on have no glyph.
    static const unsigned MAX_CODE = 1024;
    // Larger sizes are refused: one glyph's mask would take many megabytes,
    // and sizes come from stored documents.
    static const int MAX_SIZE = 4096;

    GfxFontCache();
    virtual ~GfxFontCache();

    // Opens the face in the file at `path` at `size` pixels (points at 72
    // dots per inch, 1 to MAX_SIZE); a face already open is closed first.
    // False when the file is not a face that can be opened at that size; the
    // cache then has no face and draws nothing.
    bool OpenFace(const char* path, int size, bool smooth);
    // Lets the face go; rendered glyphs stay.
    void CloseFace();
    bool HasFace() const { return face_ != nullptr; }

    // Typographic metrics in pixels at the opened size (0 without an OS/2
    // table). The descender is answered negated, so normally <= 0.
    short TypoAscender() const { return typo_ascender_; }
    short TypoDescender() const { return static_cast<short>(-typo_descender_); }
    short TypoLineGap() const { return typo_line_gap_; }

    // Draws the glyph with its origin on the baseline at (x, y) of dst, at
    // angle 0, 90 (text running upwards) or 270 (downwards); other angles,
    // a cache without a face and codes from MAX_CODE on draw nothing.
    void DrawGlyph(unsigned short code, int x, int y, unsigned colour, GfxSurface* dst, int angle);
    // The glyph's geometry, rendering it on first use; zero without a face.
    void GetGlyphGeometry(unsigned short code, GlyphGeom& geom);
    // The band holding the glyph's mask, the mask's place in it and the
    // geometry; null band, (0, 0) and zero geometry without a glyph.
    void AccessGlyph(unsigned short code, GfxSurface*& band, unsigned short& x, unsigned short& y,
                     GlyphGeom& geom);

    // The glyph's record (rendered on first use); null without a glyph.
    const GlyphInfo* FindGlyph(unsigned short code);
    // The band of an index (1 on); null for an index that holds none.
    GfxSurface* RetBand(unsigned index) const;
    unsigned BandHeight() const { return band_height_; }
    int RetSize() const { return size_; }
    bool IsSmooth() const { return smooth_; }
    // How many glyphs were rasterised since the cache was made.
    unsigned long RenderCount() const { return render_count_; }

    GfxFontCache(const GfxFontCache&) = delete;
    GfxFontCache& operator=(const GfxFontCache&) = delete;

private:
    struct Face;

    GlyphInfo* Find(unsigned short code);
    bool Render(GlyphInfo* info);
    bool PlaceMask(GlyphInfo* info, unsigned width, unsigned height);
    unsigned short NewBand(unsigned width, unsigned height);

    GfxSurface** bands_;
    unsigned band_capacity_;
    unsigned short current_band_;
    unsigned short x_used_;
    unsigned short band_width_;
    unsigned short band_height_;
    short typo_ascender_;
    short typo_descender_; // held positive
    short typo_line_gap_;
    GlyphInfo heads_[256];
    Face* face_;
    int size_;
    bool smooth_;
    unsigned long render_count_;
};

#endif
