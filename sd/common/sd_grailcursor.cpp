#include "sd/common/sd_grailcursor.h"

#include <cstring>

#include "sd/win32/sd_grailcur.h"
#include "si/classfactory.h"
#include "si/error.h"
#include "si/memzone.h"
#include "zoveda/gfxsurface.h"

ZU_IMPLEMENT_CLASS(ZuGrailCursor, "sd/common/sd_grailcursor", ZU_CLASS_NOT_STORED)

namespace {

// A pixel count from a size: truncated, 0 for anything not positive.
unsigned Extent(double v)
{
    if (!(v >= 1.0))
        return 0;
    if (v >= 65535.0)
        return 65535;
    return static_cast<unsigned>(v);
}

// A hot spot coordinate as the 16-bit field keeps it.
unsigned short HotSpot(double v)
{
    if (!(v > 0.0))
        return 0;
    if (v >= 65535.0)
        return 65535;
    return static_cast<unsigned short>(v);
}

// Two cleared masks of one bit per pixel from the temporary zone.
struct Masks {
    explicit Masks(std::size_t n) : bytes(n)
    {
        and_mask = static_cast<unsigned char*>(
            Zuvi_temp_zone->Alloc(static_cast<unsigned>(n), "Card8", __LINE__, ZU_SRC_FILE));
        xor_mask = static_cast<unsigned char*>(
            Zuvi_temp_zone->Alloc(static_cast<unsigned>(n), "Card8", __LINE__, ZU_SRC_FILE));
        if (and_mask != nullptr)
            std::memset(and_mask, 0, n);
        if (xor_mask != nullptr)
            std::memset(xor_mask, 0, n);
    }
    ~Masks()
    {
        if (and_mask != nullptr)
            Zuvi_temp_zone->Free(and_mask, __LINE__, ZU_SRC_FILE);
        if (xor_mask != nullptr)
            Zuvi_temp_zone->Free(xor_mask, __LINE__, ZU_SRC_FILE);
    }
    bool Ready() const { return and_mask != nullptr && xor_mask != nullptr; }

    std::size_t bytes;
    unsigned char* and_mask;
    unsigned char* xor_mask;
};

// A 32-bit W x H pixmap filled with `fill`, the dx x dy region at (x, y)
// of the source copied into its top left corner. What lies outside the
// source keeps the fill.
ZuGrailPixmapRef CutRegion(const ZuGrailPixmapRef& source, double x, double y, unsigned dx,
                           unsigned dy, unsigned w, unsigned h, unsigned fill)
{
    ZuGrailPixmapRef cut(ZuNew<ZuGrailPixmap>(Zuvi_temp_zone));
    cut->Initialise(32, w, h);
    GfxSurface* to = cut->LockSurface();
    GfxSurface* from = source->LockSurface();
    if (to != nullptr) {
        to->RectFill(0, 0, w, h, fill);
        if (from != nullptr) {
            // Coordinates far outside any surface copy nothing.
            const double limit = 1073741823.0;
            if (x > -limit && x < limit && y > -limit && y < limit)
                to->RectCopy(0, 0, dx, dy, static_cast<int>(x), static_cast<int>(y), from, false);
        }
    }
    source->UnlockSurface(from);
    cut->UnlockSurface(to);
    return cut;
}

} // namespace

ZuGrailCursor::ZuGrailCursor() : width(0), height(0), hot_x(0), hot_y(0), record(nullptr)
{
    InitGrCursor();
}

ZuGrailCursor::~ZuGrailCursor()
{
    SetEmptyCursor();
    KillGrCursor();
}

void ZuGrailCursor::StoreInstance(const ZuStorageRef&)
{
    ZU_ABORT("Trying to save Grail Cursor");
}

void ZuGrailCursor::RestoreInstance(const ZuStorageRef&)
{
    ZU_ABORT("Trying to restore Grail Cursor");
}

bool ZuGrailCursor::InitCursorSize(double dx, double dy, unsigned& cut_dx, unsigned& cut_dy,
                                   unsigned& w, unsigned& h)
{
    cut_dx = Extent(dx);
    cut_dy = Extent(dy);
    if (cut_dx == 0 || cut_dy == 0)
        return false;
    Zuvi_GetSystemCursorSize(w, h);
    if (w == 0 || h == 0)
        return false;
    if (cut_dx > w)
        cut_dx = w;
    if (cut_dy > h)
        cut_dy = h;
    return true;
}

void ZuGrailCursor::SetFields(double hx, double hy, unsigned dx, unsigned dy)
{
    width = static_cast<unsigned short>(dx);
    height = static_cast<unsigned short>(dy);
    hot_x = dx == 0 ? 0 : HotSpot(hx);
    hot_y = dy == 0 ? 0 : HotSpot(hy);
}

void ZuGrailCursor::Initialise(double hx, double hy, double dx, double dy,
                               const ZuGrailPixmapRef& pixmap, double x, double y)
{
    SetEmptyCursor();
    unsigned cut_dx = 0, cut_dy = 0, w = 0, h = 0;
    if (!pixmap.IsValid() || !InitCursorSize(dx, dy, cut_dx, cut_dy, w, h)) {
        SetFields(0, 0, 0, 0);
        return;
    }
    const unsigned row_bytes = (w + 15) / 16 * 2;
    Masks masks(std::size_t(row_bytes) * h);
    if (!masks.Ready()) {
        SetFields(0, 0, 0, 0);
        return;
    }
    ZuGrailPixmapRef cut = CutRegion(pixmap, x, y, cut_dx, cut_dy, w, h, 0xFFFFFFFFu);
    GfxSurface* s = cut->LockSurface();
    if (s != nullptr) {
        s->RectExtractMono(0, 0, w, h, 0, 0, masks.xor_mask, row_bytes);
        s->RectExtractMonoAlpha(0, 0, w, h, 0, 0, masks.and_mask, row_bytes);
    }
    cut->UnlockSurface(s);
    // Opaque pixels leave the screen out (AND 0), transparent ones keep it.
    for (std::size_t i = 0; i < masks.bytes; ++i)
        masks.and_mask[i] = static_cast<unsigned char>(~masks.and_mask[i]);
    SetFields(hx, hy, cut_dx, cut_dy);
    CreateGrCursor(hot_x, hot_y, w, h, masks.and_mask, masks.xor_mask);
}

void ZuGrailCursor::Initialise(double hx, double hy, double dx, double dy,
                               const ZuGrailPixmapRef& pixmap, double x, double y,
                               const ZuGrailPixmapRef& mask, double mx, double my)
{
    SetEmptyCursor();
    unsigned cut_dx = 0, cut_dy = 0, w = 0, h = 0;
    if (!pixmap.IsValid() || !mask.IsValid() || !InitCursorSize(dx, dy, cut_dx, cut_dy, w, h)) {
        SetFields(0, 0, 0, 0);
        return;
    }
    const unsigned row_bytes = (w + 15) / 16 * 2;
    Masks image(std::size_t(row_bytes) * h);
    Masks masks(std::size_t(row_bytes) * h);
    if (!image.Ready() || !masks.Ready()) {
        SetFields(0, 0, 0, 0);
        return;
    }
    // Both are read as light or dark opaque pixels, on an opaque white ground.
    struct Source {
        const ZuGrailPixmapRef& pixmap;
        double x, y;
        unsigned char* bits;
    } const sources[2] = {{pixmap, x, y, image.xor_mask}, {mask, mx, my, masks.xor_mask}};
    for (const Source& src : sources) {
        ZuGrailPixmapRef cut =
            CutRegion(src.pixmap, src.x, src.y, cut_dx, cut_dy, w, h, 0x00FFFFFFu);
        GfxSurface* s = cut->LockSurface();
        if (s != nullptr)
            s->RectExtractMono(0, 0, w, h, 0, 0, src.bits, row_bytes);
        cut->UnlockSurface(s);
    }
    const unsigned char* c = image.xor_mask;
    const unsigned char* m = masks.xor_mask;
    for (std::size_t i = 0; i < masks.bytes; ++i) {
        masks.and_mask[i] = static_cast<unsigned char>(m[i] & c[i]);
        image.and_mask[i] = static_cast<unsigned char>(~m[i] & c[i]);
    }
    SetFields(hx, hy, cut_dx, cut_dy);
    CreateGrCursor(hot_x, hot_y, w, h, masks.and_mask, image.and_mask);
}
