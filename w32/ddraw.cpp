// DirectDraw emulated over the headless screen.
#include "w32/ddraw.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "w32/backend.h"

namespace {

std::mutex& DDLock()
{
    static std::mutex lock;
    return lock;
}

std::atomic<int> g_format{W32_DD_NONE};
std::atomic<unsigned> g_failures{0};
std::atomic<unsigned> g_primary_blits{0};

DDPIXELFORMAT FormatOf(int code)
{
    DDPIXELFORMAT f;
    std::memset(&f, 0, sizeof f);
    f.dwSize = sizeof f;
    f.dwFlags = DDPF_RGB;
    switch (code) {
    case W32_DD_555:
        f.dwRGBBitCount = 16;
        f.dwRBitMask = 0x7C00;
        f.dwGBitMask = 0x03E0;
        f.dwBBitMask = 0x001F;
        break;
    case W32_DD_565:
        f.dwRGBBitCount = 16;
        f.dwRBitMask = 0xF800;
        f.dwGBitMask = 0x07E0;
        f.dwBBitMask = 0x001F;
        break;
    case W32_DD_24:
    case W32_DD_32:
        f.dwRGBBitCount = code == W32_DD_24 ? 24 : 32;
        f.dwRBitMask = 0xFF0000;
        f.dwGBitMask = 0x00FF00;
        f.dwBBitMask = 0x0000FF;
        break;
    default:
        f.dwFlags = DDPF_RGB | DDPF_PALETTEINDEXED8;
        f.dwRGBBitCount = 8;
        break;
    }
    return f;
}

unsigned Expand(uint32_t v, unsigned bits)
{
    unsigned out = 0, filled = 0;
    for (; filled < 8; filled += bits)
        out = (out << bits) | v;
    return (out >> (filled - 8)) & 0xFFu;
}

uint32_t ToRGB(const DDPIXELFORMAT& f, const unsigned char* p)
{
    if (f.dwRGBBitCount == 16) {
        uint32_t v = uint32_t(p[0]) | uint32_t(p[1]) << 8;
        if (f.dwRBitMask == 0xF800)
            return Expand(v >> 11, 5) << 16 | Expand((v >> 5) & 63, 6) << 8 | Expand(v & 31, 5);
        return Expand((v >> 10) & 31, 5) << 16 | Expand((v >> 5) & 31, 5) << 8 | Expand(v & 31, 5);
    }
    if (f.dwRGBBitCount == 24 || f.dwRGBBitCount == 32)
        return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
    return 0;
}

bool Failing(unsigned what)
{
    return (g_failures.load() & what) != 0;
}

class Clipper : public IDirectDrawClipper {
public:
    HRESULT SetHWnd(DWORD, HWND h) override
    {
        hwnd = h;
        return DD_OK;
    }
    unsigned long Release() override
    {
        unsigned long n = --refs;
        if (n == 0)
            delete this;
        return n;
    }
    HWND hwnd = nullptr;
    unsigned long refs = 1;
};

class Surface;
std::set<Surface*>& Live()
{
    static std::set<Surface*>* live = new std::set<Surface*>;
    return *live;
}

class Surface : public IDirectDrawSurface {
public:
    Surface(bool primary_, unsigned w, unsigned h, const DDPIXELFORMAT& f)
        : primary(primary_), width(w), height(h), format(f)
    {
        bytes = f.dwRGBBitCount / 8;
        pitch = (width * bytes + 3u) & ~3u;
        if (!primary)
            memory.assign(size_t(pitch) * height, 0);
        std::lock_guard<std::mutex> guard(DDLock());
        Live().insert(this);
    }

    HRESULT GetPixelFormat(DDPIXELFORMAT* out) override
    {
        if (out == nullptr)
            return DDERR_INVALIDPARAMS;
        *out = format;
        return DD_OK;
    }
    HRESULT SetClipper(IDirectDrawClipper* c) override
    {
        clipper = static_cast<Clipper*>(c);
        return DD_OK;
    }
    HRESULT Lock(RECT*, DDSURFACEDESC* desc, DWORD, HANDLE) override
    {
        if (desc == nullptr || primary)
            return DDERR_INVALIDPARAMS;
        if (lost)
            return DDERR_SURFACELOST;
        if (locked)
            return DDERR_SURFACEBUSY;
        if (Failing(W32_DD_FAIL_LOCK))
            return DDERR_GENERIC;
        locked = true;
        desc->dwFlags = DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT;
        desc->dwWidth = width;
        desc->dwHeight = height;
        desc->lPitch = LONG(pitch);
        desc->lpSurface = memory.data();
        desc->ddpfPixelFormat = format;
        return DD_OK;
    }
    HRESULT Unlock(LPVOID) override
    {
        if (!locked)
            return DDERR_NOTLOCKED;
        locked = false;
        return DD_OK;
    }
    HRESULT Blt(RECT* dest, IDirectDrawSurface* src_if, RECT* src_rect, DWORD, void*) override
    {
        Surface* src = static_cast<Surface*>(src_if);
        if (src == nullptr || src->primary)
            return DDERR_INVALIDPARAMS;
        if (lost || src->lost)
            return DDERR_SURFACELOST;
        if (Failing(W32_DD_FAIL_BLT))
            return DDERR_GENERIC;
        if (locked || src->locked)
            return DDERR_SURFACEBUSY;
        RECT s = src_rect != nullptr ? *src_rect : RECT{0, 0, LONG(src->width), LONG(src->height)};
        RECT d;
        if (dest != nullptr) {
            d = *dest;
        } else {
            int sw = 0, sh = 0;
            if (primary)
                W32_TheBackend().ScreenSize(sw, sh);
            d = primary ? RECT{0, 0, sw, sh} : RECT{0, 0, LONG(width), LONG(height)};
        }
        long w = std::min(d.right - d.left, s.right - s.left);
        long h = std::min(d.bottom - d.top, s.bottom - s.top);
        if (w <= 0 || h <= 0)
            return DD_OK;
        if (s.left < 0 || s.top < 0 || s.left + w > long(src->width) ||
            s.top + h > long(src->height))
            return DDERR_INVALIDPARAMS;
        if (!primary) {
            if (d.left < 0 || d.top < 0 || d.left + w > long(width) || d.top + h > long(height) ||
                src->bytes != bytes)
                return DDERR_INVALIDPARAMS;
            for (long y = 0; y < h; ++y)
                std::memmove(memory.data() + size_t(d.top + y) * pitch + size_t(d.left) * bytes,
                             src->memory.data() + size_t(s.top + y) * src->pitch +
                                 size_t(s.left) * src->bytes,
                             size_t(w) * bytes);
            return DD_OK;
        }
        // Onto the screen: each screen pixel of the destination, cut to
        // the screen and to the clipper's window, takes its source pixel.
        W32_Window* win = clipper != nullptr ? W32_WindowOf(clipper->hwnd) : nullptr;
        if (win == nullptr || win->foreign)
            return DDERR_NOCLIPLIST;
        int sw = 0, sh = 0;
        W32_TheBackend().ScreenSize(sw, sh);
        RECT wr = win->rect;
        RECT client{0, 0, wr.right - wr.left, wr.bottom - wr.top};
        std::vector<uint32_t> row(static_cast<size_t>(w), 0u);
        for (long y = 0; y < h; ++y) {
            long sy = d.top + y;
            if (sy < 0 || sy >= sh || sy < wr.top || sy >= wr.bottom)
                continue;
            long x0 = std::max<long>({d.left, 0L, long(wr.left)});
            long x1 = std::min<long>({d.left + w, long(sw), long(wr.right)});
            if (x1 <= x0)
                continue;
            for (long x = x0; x < x1; ++x)
                row[size_t(x - x0)] =
                    ToRGB(src->format, src->memory.data() + size_t(s.top + y) * src->pitch +
                                           size_t(s.left + (x - d.left)) * src->bytes);
            W32_TheBackend().Put(win, int(x0 - wr.left), int(sy - wr.top), int(x1 - x0), 1,
                                 row.data(), int(x1 - x0), client);
        }
        ++g_primary_blits;
        return DD_OK;
    }
    HRESULT IsLost() override { return lost ? DDERR_SURFACELOST : DD_OK; }
    HRESULT Restore() override
    {
        lost = false;
        std::fill(memory.begin(), memory.end(), 0);
        return DD_OK;
    }
    unsigned long Release() override
    {
        unsigned long n = --refs;
        if (n == 0) {
            {
                std::lock_guard<std::mutex> guard(DDLock());
                Live().erase(this);
            }
            delete this;
        }
        return n;
    }

    bool primary;
    unsigned width, height, bytes, pitch = 0;
    DDPIXELFORMAT format;
    std::vector<unsigned char> memory;
    Clipper* clipper = nullptr;
    bool locked = false;
    bool lost = false;
    unsigned long refs = 1;
};

class DirectDraw : public IDirectDraw {
public:
    HRESULT SetCooperativeLevel(HWND hwnd, DWORD) override
    {
        return W32_WindowOf(hwnd) != nullptr ? DD_OK : DDERR_INVALIDPARAMS;
    }
    HRESULT CreateSurface(DDSURFACEDESC* desc, IDirectDrawSurface** out, void*) override
    {
        if (desc == nullptr || out == nullptr)
            return DDERR_INVALIDPARAMS;
        *out = nullptr;
        if (Failing(W32_DD_FAIL_SURFACE))
            return DDERR_OUTOFVIDEOMEMORY;
        DDPIXELFORMAT f = FormatOf(g_format.load());
        if ((desc->dwFlags & DDSD_CAPS) && (desc->ddsCaps.dwCaps & DDSCAPS_PRIMARYSURFACE)) {
            int w = 0, h = 0;
            W32_TheBackend().ScreenSize(w, h);
            *out = new Surface(true, unsigned(w), unsigned(h), f);
            return DD_OK;
        }
        if (!(desc->dwFlags & DDSD_WIDTH) || !(desc->dwFlags & DDSD_HEIGHT) || desc->dwWidth == 0 ||
            desc->dwHeight == 0 || desc->dwWidth > 16384 || desc->dwHeight > 16384)
            return DDERR_INVALIDPARAMS;
        if (desc->dwFlags & DDSD_PIXELFORMAT)
            f = desc->ddpfPixelFormat;
        if (f.dwRGBBitCount != 16 && f.dwRGBBitCount != 24 && f.dwRGBBitCount != 32)
            return DDERR_INVALIDPARAMS;
        *out = new Surface(false, desc->dwWidth, desc->dwHeight, f);
        return DD_OK;
    }
    HRESULT CreateClipper(DWORD, IDirectDrawClipper** out, void*) override
    {
        if (out == nullptr)
            return DDERR_INVALIDPARAMS;
        *out = new Clipper;
        return DD_OK;
    }
    unsigned long Release() override
    {
        unsigned long n = --refs;
        if (n == 0)
            delete this;
        return n;
    }
    unsigned long refs = 1;
};

} // namespace

HRESULT DirectDrawCreate(void*, IDirectDraw** out, void*)
{
    if (out == nullptr)
        return DDERR_INVALIDPARAMS;
    *out = nullptr;
    if (std::string(W32_TheBackend().Name()) != "headless" || g_format.load() == W32_DD_NONE ||
        Failing(W32_DD_FAIL_CREATE))
        return DDERR_NODIRECTDRAWHW;
    *out = new DirectDraw;
    return DD_OK;
}

void W32_DDSetFormat(W32_DDFormat format)
{
    g_format.store(int(format));
}

void W32_DDSetFailures(unsigned failures)
{
    g_failures.store(failures);
}

void W32_DDLoseSurfaces()
{
    std::lock_guard<std::mutex> guard(DDLock());
    for (Surface* s : Live())
        s->lost = true;
}

unsigned W32_DDPrimaryBlits()
{
    return g_primary_blits.load();
}
