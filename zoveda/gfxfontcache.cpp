#include "zoveda/gfxfontcache.h"

#include <cstring>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_DRIVER_H
#include FT_MODULE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include "zoveda/gfxmemory.h"
#include "zoveda/gfxsurface.h"

namespace {

void* Alloc(unsigned long size)
{
    return GfxMemory::fn_alloc(GfxMemory::arg, size);
}

void Free(void* block)
{
    if (block != nullptr) {
        GfxMemory::fn_free(GfxMemory::arg, block);
    }
}

// FreeType 1 rendered grey glyphs in five levels; coverage is brought back
// to them so that smooth text looks as it always did.
unsigned char Quantise(unsigned char coverage)
{
    static const unsigned char levels[5] = {0x00, 0x40, 0x80, 0xC0, 0xFF};
    return levels[(coverage * 4u + 127u) / 255u];
}

short RoundUpPixels(FT_Pos v)
{
    // (v + 63) / 64, truncating toward zero as the metrics always were.
    return static_cast<short>((v + 63) / 64);
}

short TypoPixels(int value, unsigned units_per_em, int size)
{
    return static_cast<short>(
        static_cast<int>(static_cast<double>(value) / units_per_em * size + 0.5));
}

} // namespace

struct GfxFontCache::Face {
    FT_Library library;
    FT_Face face;
    FT_UInt glyph_index[GfxFontCache::MAX_CODE];
};

GfxFontCache::GfxFontCache()
    : bands_(nullptr), band_capacity_(0), current_band_(0), x_used_(0), band_width_(BAND_WIDTH),
      band_height_(0), typo_ascender_(0), typo_descender_(0), typo_line_gap_(0), face_(nullptr),
      size_(0), smooth_(false), render_count_(0)
{
    for (GlyphInfo& head : heads_) {
        std::memset(&head, 0, sizeof head);
        head.code = NO_CODE;
    }
}

GfxFontCache::~GfxFontCache()
{
    CloseFace();
    for (unsigned i = 0; i < band_capacity_; ++i) {
        GfxSurface::Delete(bands_[i]);
    }
    Free(bands_);
    for (GlyphInfo& head : heads_) {
        GlyphInfo* next = head.next;
        while (next != nullptr) {
            GlyphInfo* gone = next;
            next = next->next;
            Free(gone);
        }
        head.next = nullptr;
    }
}

// ---- Face ------------------------------------------------------------------

bool GfxFontCache::OpenFace(const char* path, int size, bool smooth)
{
    CloseFace();
    if (path == nullptr || size <= 0 || size > MAX_SIZE) {
        return false;
    }
    face_ = static_cast<Face*>(Alloc(sizeof(Face)));
    if (face_ == nullptr) {
        return false;
    }
    std::memset(face_, 0, sizeof(Face));
    size_ = size;
    smooth_ = smooth;

    // FreeType keeps its own memory, as it always did; what the cache
    // holds comes from the engine's hooks.
    if (FT_Init_FreeType(&face_->library) != 0) {
        face_->library = nullptr;
        CloseFace();
        return false;
    }
    // The classic hinting of the TrueType interpreter, whose advances are
    // those FreeType 1 gave; the newer one moves some of them.
    FT_UInt version = TT_INTERPRETER_VERSION_35;
    FT_Property_Set(face_->library, "truetype", "interpreter-version", &version);
    if (FT_New_Face(face_->library, path, 0, &face_->face) != 0) {
        face_->face = nullptr;
        CloseFace();
        return false;
    }
    FT_Face face = face_->face;
    if (FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(size) * 64, 72, 72) != 0 ||
        face->size == nullptr || face->size->metrics.y_ppem == 0) {
        CloseFace();
        return false;
    }

    band_width_ = BAND_WIDTH;
    band_height_ = face->size->metrics.y_ppem;

    const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    const unsigned units = face->units_per_EM;
    if (os2 != nullptr && units != 0) {
        typo_ascender_ = TypoPixels(os2->sTypoAscender, units, size);
        typo_descender_ = TypoPixels(-os2->sTypoDescender, units, size);
        typo_line_gap_ = TypoPixels(os2->sTypoLineGap, units, size);
    } else {
        typo_ascender_ = typo_descender_ = typo_line_gap_ = 0;
    }

    // Characters map through the first Unicode map of the Windows or the
    // Unicode platform; without one every code shows glyph 0.
    for (int i = 0; i < face->num_charmaps; ++i) {
        FT_CharMap map = face->charmaps[i];
        if ((map->platform_id == 3 && map->encoding_id == 1) ||
            (map->platform_id == 0 && map->encoding_id == 0)) {
            if (FT_Set_Charmap(face, map) == 0) {
                for (unsigned code = 0; code < MAX_CODE; ++code) {
                    face_->glyph_index[code] = FT_Get_Char_Index(face, code);
                }
            }
            break;
        }
    }
    return true;
}

void GfxFontCache::CloseFace()
{
    if (face_ == nullptr) {
        return;
    }
    if (face_->face != nullptr) {
        FT_Done_Face(face_->face);
    }
    if (face_->library != nullptr) {
        FT_Done_FreeType(face_->library);
    }
    Free(face_);
    face_ = nullptr;
}

// ---- Glyph records ---------------------------------------------------------

GfxFontCache::GlyphInfo* GfxFontCache::Find(unsigned short code)
{
    if (code >= MAX_CODE) {
        return nullptr;
    }
    GlyphInfo* head = &heads_[code & 255];
    GlyphInfo* last = head;
    for (GlyphInfo* info = head; info != nullptr; info = info->next) {
        if (info->code == code) {
            return info;
        }
        last = info;
    }
    if (face_ == nullptr) {
        return nullptr;
    }
    GlyphInfo* info;
    if (code < 256) {
        info = head;
    } else {
        info = static_cast<GlyphInfo*>(Alloc(sizeof(GlyphInfo)));
        if (info == nullptr) {
            return nullptr;
        }
        std::memset(info, 0, sizeof(GlyphInfo));
        last->next = info;
    }
    info->code = code;
    Render(info);
    return info;
}

const GfxFontCache::GlyphInfo* GfxFontCache::FindGlyph(unsigned short code)
{
    return Find(code);
}

GfxSurface* GfxFontCache::RetBand(unsigned index) const
{
    return index != 0 && index < band_capacity_ ? bands_[index] : nullptr;
}

unsigned short GfxFontCache::NewBand(unsigned width, unsigned height)
{
    unsigned slot = 1;
    while (slot < band_capacity_ && bands_[slot] != nullptr) {
        ++slot;
    }
    if (slot >= 0xFFFF) {
        return 0;
    }
    if (slot >= band_capacity_) {
        const unsigned capacity = band_capacity_ == 0 ? 11 : band_capacity_ + 10;
        GfxSurface** table = static_cast<GfxSurface**>(Alloc(sizeof(GfxSurface*) * capacity));
        if (table == nullptr) {
            return 0;
        }
        for (unsigned i = 0; i < capacity; ++i) {
            table[i] = i < band_capacity_ ? bands_[i] : nullptr;
        }
        Free(bands_);
        bands_ = table;
        band_capacity_ = capacity;
    }
    GfxSurface* band = GfxSurface::New(8);
    if (band == nullptr) {
        return 0;
    }
    band->Initialise(width, height);
    if (band->DX() != width || band->DY() != height) {
        GfxSurface::Delete(band);
        return 0;
    }
    // Blank until a mask is copied in.
    band->RectFill(0, 0, width, height, 0xFFFFFF);
    bands_[slot] = band;
    return static_cast<unsigned short>(slot);
}

bool GfxFontCache::PlaceMask(GlyphInfo* info, unsigned width, unsigned height)
{
    if (width > band_width_ || height > band_height_) {
        // Too big for a shared band: a band of its own, so nothing is cut.
        const unsigned short band = NewBand(width, height);
        if (band == 0) {
            return false;
        }
        info->band = band;
        info->x = 0;
        info->y = 0;
        return true;
    }
    if (current_band_ == 0 || width + x_used_ > band_width_) {
        const unsigned short band = NewBand(band_width_, band_height_);
        if (band == 0) {
            return false;
        }
        current_band_ = band;
        x_used_ = 0;
    }
    info->band = current_band_;
    info->x = x_used_;
    info->y = 0;
    x_used_ = static_cast<unsigned short>(x_used_ + width);
    return true;
}

// Renders the glyph of info->code into its record. A glyph that cannot be
// loaded or whose memory cannot be had keeps an empty mask and zero geometry.
bool GfxFontCache::Render(GlyphInfo* info)
{
    info->x = info->y = info->width = info->height = 0;
    info->band = 0;
    std::memset(&info->geom, 0, sizeof info->geom);
    ++render_count_;

    FT_Face face = face_->face;
    if (FT_Load_Glyph(face, face_->glyph_index[info->code], FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) !=
            0 ||
        face->glyph->format != FT_GLYPH_FORMAT_OUTLINE) {
        return false;
    }
    FT_GlyphSlot slot = face->glyph;
    FT_BBox box;
    FT_Outline_Get_CBox(&slot->outline, &box);
    box.xMin &= ~63;
    box.yMin &= ~63;
    box.xMax = (box.xMax + 63) & ~63;
    box.yMax = (box.yMax + 63) & ~63;
    const long width = (box.xMax - box.xMin) / 64;
    const long height = (box.yMax - box.yMin) / 64;
    // A damaged face can describe a glyph of any size; no real glyph is
    // four ems wide or tall, so such a glyph stays empty.
    const long limit = 4L * band_height_ + 64;
    if (width < 0 || height < 0 || width > limit || height > limit) {
        return false;
    }

    GlyphGeom& g = info->geom;
    g.xMin = static_cast<short>(box.xMin / 64);
    g.xMax = static_cast<short>(box.xMax / 64);
    g.yMin = static_cast<short>(box.yMin / 64);
    g.yMax = static_cast<short>(box.yMax / 64);
    g.bearingX = RoundUpPixels(slot->metrics.horiBearingX);
    g.bearingY = RoundUpPixels(slot->metrics.horiBearingY);
    g.advance = RoundUpPixels(slot->metrics.horiAdvance);
    g.reserved = 0;

    if (!PlaceMask(info, static_cast<unsigned>(width), static_cast<unsigned>(height))) {
        std::memset(&info->geom, 0, sizeof info->geom);
        return false;
    }
    info->width = static_cast<unsigned short>(width);
    info->height = static_cast<unsigned short>(height);
    if (width == 0 || height == 0) {
        return true;
    }

    // One byte a pixel for the expanded mask, rows a multiple of 32 bytes.
    const unsigned pitch = (static_cast<unsigned>(width) + 31u) & ~31u;
    const size_t bytes = static_cast<size_t>(pitch) * static_cast<size_t>(height);
    unsigned char* bits = static_cast<unsigned char*>(Alloc(bytes));
    if (bits == nullptr) {
        return false;
    }
    std::memset(bits, 0, bytes);

    FT_Bitmap map;
    std::memset(&map, 0, sizeof map);
    map.rows = static_cast<unsigned>(height);
    map.pitch = static_cast<int>(pitch); // positive: row 0 at the top
    map.buffer = bits;
    if (smooth_) {
        map.width = pitch;
        map.pixel_mode = FT_PIXEL_MODE_GRAY;
        map.num_grays = 256;
    } else {
        map.width = static_cast<unsigned>(width);
        map.pixel_mode = FT_PIXEL_MODE_MONO;
        map.num_grays = 2;
    }
    FT_Outline_Translate(&slot->outline, -box.xMin, -box.yMin);
    const bool drawn = FT_Outline_Get_Bitmap(face_->library, &slot->outline, &map) == 0;

    if (drawn) {
        for (long r = 0; r < height; ++r) {
            unsigned char* row = bits + static_cast<size_t>(r) * pitch;
            if (smooth_) {
                for (unsigned i = 0; i < pitch; ++i) {
                    row[i] = static_cast<unsigned char>(0xFF - Quantise(row[i]));
                }
            } else {
                // Bits to bytes in place, from the last pixel back, so that
                // no bit is overwritten before it is read.
                for (long i = width - 1; i >= 0; --i) {
                    const bool set = (row[i >> 3] >> (7 - (i & 7))) & 1;
                    row[i] = set ? 0x00 : 0xFF;
                }
            }
        }
        GfxSurface* temp = GfxSurface::New(8);
        GfxSurface* band = RetBand(info->band);
        if (temp != nullptr && band != nullptr) {
            temp->Initialise(static_cast<unsigned>(width), static_cast<unsigned>(height), bits,
                             pitch, false);
            band->RectCopy(info->x, info->y, static_cast<unsigned>(width),
                           static_cast<unsigned>(height), 0, 0, temp, false);
        }
        GfxSurface::Delete(temp);
    }
    Free(bits);
    return drawn;
}

// ---- Use -------------------------------------------------------------------

void GfxFontCache::GetGlyphGeometry(unsigned short code, GlyphGeom& geom)
{
    const GlyphInfo* info = Find(code);
    if (info == nullptr) {
        std::memset(&geom, 0, sizeof geom);
        return;
    }
    geom = info->geom;
}

void GfxFontCache::AccessGlyph(unsigned short code, GfxSurface*& band, unsigned short& x,
                               unsigned short& y, GlyphGeom& geom)
{
    const GlyphInfo* info = Find(code);
    if (info == nullptr) {
        band = nullptr;
        x = y = 0;
        std::memset(&geom, 0, sizeof geom);
        return;
    }
    band = RetBand(info->band);
    x = info->x;
    y = info->y;
    geom = info->geom;
}

void GfxFontCache::DrawGlyph(unsigned short code, int x, int y, unsigned colour, GfxSurface* dst,
                             int angle)
{
    if (dst == nullptr || face_ == nullptr || (angle != 0 && angle != 90 && angle != 270)) {
        return;
    }
    const GlyphInfo* info = Find(code);
    if (info == nullptr || info->width == 0 || info->height == 0) {
        return;
    }
    GfxSurface* band = RetBand(info->band);
    if (band == nullptr) {
        return;
    }
    const GlyphGeom& g = info->geom;
    if (angle == 0) {
        dst->RectFillBlend(x + g.xMin, y - g.yMax, info->width, info->height, colour, info->x,
                           info->y, band);
        return;
    }
    // Turned a quarter: only fully inked pixels are set.
    for (int r = 0; r < info->height; ++r) {
        const unsigned char* row = band->Line(info->y + r) + info->x;
        for (int c = 0; c < info->width; ++c) {
            if (row[c] != 0) {
                continue;
            }
            if (angle == 90) {
                dst->SetPixelRGBBlend(x + r - g.yMax, y - g.xMin - c, colour);
            } else {
                dst->SetPixelRGBBlend(x + g.yMax - r, y + g.xMin + c, colour);
            }
        }
    }
}
