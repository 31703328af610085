#include "si/colorpixel.h"

#include <cmath>

#include "si/atom.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/typeinfo.h"
#include "si/values.h"

const ZuColorPixel ZuColorPixel::none(ZU_COLOR_NONE);

static_assert(sizeof(ZuColorPixel) == 8, "a colour is its word and its look colour");

ZU_TYPE_REGISTER(ZuColorPixel, "ZuColorPixel", nullptr, ZU_TYPE_COLOR, nullptr,
                 sizeof(ZuColorPixel))

namespace {

// The double just below 1/255: a byte read as a real.
const double kByteToReal = 0.00392156862745098;

const Zuvi_LookColorHooks* look_hooks = nullptr;

bool IsLookIndex(ZuLookColor color)
{
    return color != ZU_COLOR_NONE && color != ZU_COLOR_ANY;
}

// The look manager's answers; a look colour without a look manager is the
// empty handle of the current look manager resolved.
const Zuvi_LookColorHooks& LookHooks()
{
    if (look_hooks == nullptr)
        ZuRuntime::FatalResolveNull();
    return *look_hooks;
}

// x 256: at or below 0 (or NaN) 0, from 1 on 255, else trunc(x x 256).
unsigned char By256(double x)
{
    if (std::isnan(x) || x <= 0.0)
        return 0;
    if (x >= 1.0)
        return 255;
    return static_cast<unsigned char>(x * 256.0);
}

// x 255: below 0 (or NaN) 0, above 1 taken as 1, then trunc(x x 255).
unsigned char By255(double x)
{
    if (std::isnan(x) || x < 0.0)
        x = 0.0;
    if (x > 1.0)
        x = 1.0;
    return static_cast<unsigned char>(x * 255.0);
}

ZuStorageSync& ColorPixelRecord()
{
    static ZuStorageSync record("<ZuColorPixel pixel name>");
    return record;
}

} // namespace

void Zuvi_SetLookColorHooks(const Zuvi_LookColorHooks* hooks)
{
    look_hooks = hooks;
}

const Zuvi_LookColorHooks* Zuvi_RetLookColorHooks()
{
    return look_hooks;
}

// ---------------------------------------------------------------------------
// Names, through the look manager for look colours
// ---------------------------------------------------------------------------

ZuLookColor ZuColorPixel::FindColor(const ZuAtomRef& name)
{
    if (name.IsInvalid())
        return ZU_COLOR_NONE;
    if (name == "*")
        return ZU_COLOR_ANY;
    // Without a look manager no name is a look colour's.
    return look_hooks != nullptr ? look_hooks->find(name) : ZU_COLOR_NONE;
}

void ZuColorPixel::GetColorName(ZuLookColor look_color, ZuAtomRef& name)
{
    if (look_color == ZU_COLOR_ANY) {
        name = "*";
        return;
    }
    if (look_color == ZU_COLOR_NONE) {
        name = ZuAtomNull;
        return;
    }
    if (!LookHooks().get_name(look_color, name))
        name = ZuAtomNull;
}

void ZuColorPixel::UpdatePixel() const
{
    if (IsLookIndex(color))
        LookHooks().get_compact_rgb(color, pixel);
}

// ---------------------------------------------------------------------------
// Construction and assignment
// ---------------------------------------------------------------------------

ZuColorPixel::ZuColorPixel(const ZuAtomRef& name) : pixel(0), color(FindColor(name)) {}

ZuColorPixel::ZuColorPixel(const ZuValueRef& value) : pixel(0), color(ZU_COLOR_NONE)
{
    *this = value;
}

ZuColorPixel::ZuColorPixel(double r, double g, double b, double t)
    : pixel(MakeCompactRGB(By256(r), By256(g), By256(b), By256(t))), color(ZU_COLOR_ANY)
{}

ZuColorPixel& ZuColorPixel::operator=(unsigned int word)
{
    pixel = word;
    color = ZU_COLOR_ANY;
    return *this;
}

ZuColorPixel& ZuColorPixel::operator=(ZuLookColor look_color)
{
    pixel = 0;
    color = look_color;
    return *this;
}

ZuColorPixel& ZuColorPixel::operator=(const ZuAtomRef& name)
{
    pixel = 0;
    color = FindColor(name);
    return *this;
}

ZuColorPixel& ZuColorPixel::operator=(const ZuValueRef& value)
{
    // An empty handle holds no colour.
    *this = value.IsValid() ? value->RetColor() : none;
    return *this;
}

// ---------------------------------------------------------------------------
// Reading
// ---------------------------------------------------------------------------

ZuColorPixel::operator unsigned int() const
{
    UpdatePixel();
    return pixel;
}

unsigned char ZuColorPixel::Red() const
{
    return static_cast<unsigned char>(static_cast<unsigned int>(*this) >> 16);
}

unsigned char ZuColorPixel::Green() const
{
    return static_cast<unsigned char>(static_cast<unsigned int>(*this) >> 8);
}

unsigned char ZuColorPixel::Blue() const
{
    return static_cast<unsigned char>(static_cast<unsigned int>(*this));
}

unsigned char ZuColorPixel::Transparency() const
{
    return static_cast<unsigned char>(static_cast<unsigned int>(*this) >> 24);
}

unsigned char ZuColorPixel::Luminance() const
{
    unsigned int word = *this;
    unsigned int r = (word >> 16) & 0xFF, g = (word >> 8) & 0xFF, b = word & 0xFF;
    return static_cast<unsigned char>(((r + 2 * g) * 307 + b * 103) >> 10);
}

double ZuColorPixel::RealRed() const
{
    return Red() * kByteToReal;
}

double ZuColorPixel::RealGreen() const
{
    return Green() * kByteToReal;
}

double ZuColorPixel::RealBlue() const
{
    return Blue() * kByteToReal;
}

double ZuColorPixel::RealTransparency() const
{
    return Transparency() * kByteToReal;
}

double ZuColorPixel::RealLuminance() const
{
    return Luminance() * kByteToReal;
}

ZuColorPixel::operator ZuAtomRef() const
{
    ZuAtomRef name;
    GetColorName(color, name);
    return name;
}

// ---------------------------------------------------------------------------
// Changing
// ---------------------------------------------------------------------------

void ZuColorPixel::SetRed(unsigned char v)
{
    unsigned int word = MakeCompactRGB(v, Green(), Blue(), Transparency());
    *this = word;
}

void ZuColorPixel::SetGreen(unsigned char v)
{
    unsigned int word = MakeCompactRGB(Red(), v, Blue(), Transparency());
    *this = word;
}

void ZuColorPixel::SetBlue(unsigned char v)
{
    unsigned int word = MakeCompactRGB(Red(), Green(), v, Transparency());
    *this = word;
}

void ZuColorPixel::SetTransparency(unsigned char v)
{
    unsigned int word = MakeCompactRGB(Red(), Green(), Blue(), v);
    *this = word;
}

void ZuColorPixel::SetRed(double v)
{
    unsigned int word = MakeCompactRGB(v, RealGreen(), RealBlue(), RealTransparency());
    *this = word;
}

void ZuColorPixel::SetGreen(double v)
{
    unsigned int word = MakeCompactRGB(RealRed(), v, RealBlue(), RealTransparency());
    *this = word;
}

void ZuColorPixel::SetBlue(double v)
{
    unsigned int word = MakeCompactRGB(RealRed(), RealGreen(), v, RealTransparency());
    *this = word;
}

void ZuColorPixel::SetTransparency(double v)
{
    unsigned int word = MakeCompactRGB(RealRed(), RealGreen(), RealBlue(), v);
    *this = word;
}

void ZuColorPixel::SetLuminance(unsigned char l)
{
    if (Luminance() != l)
        SetLuminance(l * kByteToReal);
}

void ZuColorPixel::SetLuminance(double l)
{
    double cur = RealLuminance();
    double t = RealTransparency();
    if (cur == l || std::isnan(l))
        return;
    color = ZU_COLOR_ANY;
    if (l < 0.0) {
        pixel = MakeCompactRGB(0.0, 0.0, 0.0, t);
        return;
    }
    if (l > 1.0) {
        pixel = MakeCompactRGB(1.0, 1.0, 1.0, t);
        return;
    }
    if (cur == 0.0) {
        pixel = MakeCompactRGB(l, l, l, t);
        return;
    }
    double k = l / cur;
    double r = RealRed() * k, g = RealGreen() * k, b = RealBlue() * k;
    // Luminance that a saturated component cannot carry is spread evenly
    // over the components below 1, at most four times.
    for (int pass = 0; pass < 4; ++pass) {
        double excess = 0.0, divisor = 1024.0;
        if (r > 1.0) {
            excess += (r - 1.0) * 307.0;
            divisor -= 307.0;
            r = 1.0;
        }
        if (g > 1.0) {
            excess += (g - 1.0) * 614.0;
            divisor -= 614.0;
            g = 1.0;
        }
        if (b > 1.0) {
            excess += (b - 1.0) * 103.0;
            divisor -= 103.0;
            b = 1.0;
        }
        if (excess == 0.0)
            break;
        double delta = excess / divisor;
        if (r < 1.0)
            r += delta;
        if (g < 1.0)
            g += delta;
        if (b < 1.0)
            b += delta;
    }
    pixel = MakeCompactRGB(r, g, b, t);
}

unsigned int ZuColorPixel::MakeCompactRGB(double r, double g, double b, double t)
{
    return MakeCompactRGB(By255(r), By255(g), By255(b), By255(t));
}

// ---------------------------------------------------------------------------
// Comparing
// ---------------------------------------------------------------------------

bool ZuColorPixel::operator==(unsigned int word) const
{
    UpdatePixel();
    return pixel == word;
}

bool ZuColorPixel::operator==(const ZuColorPixel& other) const
{
    if (color != ZU_COLOR_ANY)
        return color == other.color;
    return other.color == ZU_COLOR_ANY && pixel == other.pixel;
}

bool ZuColorPixel::operator==(const ZuAtomRef& name) const
{
    return static_cast<ZuAtomRef>(*this) == name;
}

bool operator==(const ZuAtomRef& name, const ZuColorPixel& c)
{
    return c == name;
}

bool operator!=(const ZuAtomRef& name, const ZuColorPixel& c)
{
    return c != name;
}

// ---------------------------------------------------------------------------
// Values and storage
// ---------------------------------------------------------------------------

ZuColorPixel Zuvi_ValueToZuColorPixel(const ZuValueRef& value)
{
    return ZuColorPixel(value);
}

void ZuColorPixel::StoreInstance(const ZuStorageRef& storage) const
{
    ZuAtomRef name;
    GetColorName(color, name);
    storage << ColorPixelRecord() << ZuStorageSync::begin;
    storage->StoreCard(pixel);
    storage->StoreAtom(name);
    storage << ZuStorageSync::end;
}

void ZuColorPixel::RestoreInstance(const ZuStorageRef& storage)
{
    storage >> ZuStorageSync::type >> ZuStorageSync::begin;
    unsigned int word = pixel;
    storage >> word;
    ZuAtomRef name;
    storage->RestoreAtom(name);
    storage >> ZuStorageSync::end;
    pixel = word;
    color = FindColor(name);
}

const ZuStorageRef& operator<<(const ZuStorageRef& storage, const ZuColorPixel& c)
{
    c.StoreInstance(storage);
    return storage;
}

const ZuStorageRef& operator>>(const ZuStorageRef& storage, ZuColorPixel& c)
{
    c.RestoreInstance(storage);
    return storage;
}
