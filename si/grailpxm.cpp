#include "si/grailpxm.h"

#include <cmath>

#include "si/error.h"
#include "si/rtclass.h"
#include "si/igrailhook.h"
#include "zoveda/gfxsurface.h"

ZU_IMPLEMENT_CLASS(ZuGrailPixmap, "si/grailpxm", ZU_CLASS_NOT_STORED)

namespace {

// Pixel counts from a positive size; sizes beyond what a surface can hold
// stay at its end.
unsigned Pixels(double v)
{
    if (!(v > 0))
        return 0;
    if (v >= 1073741823.0)
        return 1073741823u;
    return static_cast<unsigned>(v);
}

} // namespace

ZuGrailPixmap::ZuGrailPixmap() : dx(0), dy(0), depth(0) {}

ZuGrailPixmap::~ZuGrailPixmap() {}

void ZuGrailPixmap::StoreInstance(const ZuStorageRef&)
{
    ZU_ABORT("Trying to store Grail Pixmap");
}

void ZuGrailPixmap::RestoreInstance(const ZuStorageRef&)
{
    ZU_ABORT("Trying to restore Grail Pixmap");
}

void ZuGrailPixmap::Initialise(unsigned d, double width, double height)
{
    if (!((width > 0) && (height > 0)))
        ZU_ABORT("Failed assertion: (dx > 0) && (dy > 0)");
    GfxSurface::Delete(surface);
    if (d != 1 && d != 16)
        d = 32;
    surface = GfxSurface::New(d);
    if (surface != nullptr)
        surface->Initialise(Pixels(width), Pixels(height));
    dx = width;
    dy = height;
    depth = d;
    is_ready = true;
}

void ZuGrailPixmap::Initialise(const ZuGrailPixmapRef&, double width, double height)
{
    if (!((width > 0) && (height > 0)))
        ZU_ABORT("Failed assertion: (dx > 0) && (dy > 0)");
    GfxSurface::Delete(surface);
    surface = GfxSurface::New(16);
    if (surface != nullptr)
        surface->Initialise(Pixels(width), Pixels(height));
    dx = width;
    dy = height;
    is_ready = true;
}

void ZuGrailPixmap::InitSurface(unsigned)
{
    GfxSurface::Delete(surface);
    surface = GfxSurface::New(16);
    dx = 0;
    dy = 0;
    is_ready = true;
}

bool ZuGrailPixmap::GetRGBPixels(double x, double y, double n, unsigned char* r, unsigned char* g,
                                 unsigned char* b)
{
    unsigned count = Pixels(n);
    int X = static_cast<int>(std::trunc(x)), Y = static_cast<int>(std::trunc(y));
    for (unsigned i = 0; i < count; ++i) {
        unsigned word = surface != nullptr ? surface->RetPixelRGB(X + static_cast<int>(i), Y) : 0;
        if (r != nullptr)
            r[i] = static_cast<unsigned char>(word >> 16);
        if (g != nullptr)
            g[i] = static_cast<unsigned char>(word >> 8);
        if (b != nullptr)
            b[i] = static_cast<unsigned char>(word);
    }
    return true;
}

ZuColorPixel ZuGrailPixmap::RetPixel(double x, double y)
{
    GfxSurface* s = CheckSurface();
    return ZuColorPixel(
        s->RetPixelRGB(static_cast<int>(std::trunc(x)), static_cast<int>(std::trunc(y))));
}

// ---------------------------------------------------------------------------
// Partitions
// ---------------------------------------------------------------------------

bool ZuGrailPixmap::AddPartition(const ZuRect& r, const ZuObjectRef& obj)
{
    ZuObject* object = obj.Resolve();
    ZuiGrailHook* hook =
        object != nullptr
            ? static_cast<ZuiGrailHook*>(object->CastToInterface(&ZuiGrailHook::interface))
            : nullptr;
    partitions.push_back(Partition{r, obj, hook});
    return true;
}

bool ZuGrailPixmap::RemovePartition(const ZuRect& r)
{
    for (auto it = partitions.begin(); it != partitions.end(); ++it) {
        if (it->rect == r) {
            partitions.erase(it);
            return true;
        }
    }
    return false;
}

bool ZuGrailPixmap::RemovePartitions()
{
    partitions.clear();
    return false;
}

bool ZuGrailPixmap::GetPartition(unsigned i, ZuRect& r, ZuObjectRef& obj) const
{
    if (i >= partitions.size())
        return false;
    r = partitions[i].rect;
    obj = partitions[i].object;
    return true;
}

unsigned ZuGrailPixmap::CountPartitions() const
{
    return static_cast<unsigned>(partitions.size());
}

bool ZuGrailPixmap::RedrawPartition(unsigned i, int kind, void* a, unsigned b)
{
    if (i >= partitions.size() || partitions[i].hook == nullptr)
        return false;
    ZuRect r = partitions[i].rect;
    if (r.X1() < 0)
        r.X1() = 0;
    if (r.Y1() < 0)
        r.Y1() = 0;
    int x = static_cast<int>(std::trunc(r.X1())), y = static_cast<int>(std::trunc(r.Y1()));
    int w = static_cast<int>(Pixels(r.DX())), h = static_cast<int>(Pixels(r.DY()));
    int pitch = static_cast<int>(b);
    ZuiGrailHook* hook = partitions[i].hook;
    switch (kind) {
    case 1:
        hook->CopyTo15Bit(x, y, w, h, a, pitch);
        return true;
    case 2:
        hook->CopyTo16Bit(x, y, w, h, a, pitch);
        return true;
    case 3:
        hook->CopyTo24Bit(x, y, w, h, a, pitch);
        return true;
    case 4:
        hook->CopyTo32Bit(x, y, w, h, a, pitch);
        return true;
    default:
        return false;
    }
}
