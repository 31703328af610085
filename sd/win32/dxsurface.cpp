#include "sd/win32/dxsurface.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "si/error.h"
#include "si/memzone.h"
#include "si/rect.h"

IDirectDraw* DXSurface::g_direct_draw = nullptr;
IDirectDrawSurface* DXSurface::g_primary = nullptr;
unsigned DXSurface::g_count = 0;
DXOverlayPainter DXSurface::g_painter = nullptr;

namespace {

template <class T>
void ReleaseInterface(T*& p)
{
    if (p != nullptr)
        p->Release();
    p = nullptr;
}

uint32_t Round(uint32_t v, uint32_t to)
{
    return (v + to - 1) / to * to;
}

} // namespace

unsigned DXSurface::ClassifyPixelFormat(const DDPIXELFORMAT& f)
{
    if (f.dwRGBBitCount == 16 && f.dwRBitMask == 0x7C00 && f.dwGBitMask == 0x03E0 &&
        f.dwBBitMask == 0x001F)
        return 3;
    if (f.dwRGBBitCount == 16 && f.dwRBitMask == 0xF800 && f.dwGBitMask == 0x07E0 &&
        f.dwBBitMask == 0x001F)
        return 4;
    if ((f.dwRGBBitCount == 24 || f.dwRGBBitCount == 32) && f.dwRBitMask == 0xFF0000 &&
        f.dwGBitMask == 0x00FF00 && f.dwBBitMask == 0x0000FF)
        return f.dwRGBBitCount == 24 ? 5 : 6;
    return 0;
}

DXOverlayPainter DXSurface::SetOverlayPainter(DXOverlayPainter painter)
{
    DXOverlayPainter previous = g_painter;
    g_painter = painter;
    return previous;
}

DXSurface::DXSurface()
    : pixmap_surface(nullptr), buffer_surface(nullptr), clipper(nullptr), window(nullptr),
      last_error(""), mask_count(0)
{
    std::memset(&desc, 0, sizeof desc);
    std::memset(masks, 0, sizeof masks);
    if (g_count++ == 0 || g_direct_draw == nullptr) {
        if (g_direct_draw == nullptr && FAILED(DirectDrawCreate(nullptr, &g_direct_draw, nullptr)))
            g_direct_draw = nullptr;
    }
}

DXSurface::~DXSurface()
{
    Unlock();
    ReleaseSurfaces();
    ReleaseInterface(clipper);
    for (Mask& m : masks) {
        std::free(m.bits);
        m.bits = nullptr;
    }
    if (--g_count == 0) {
        ReleaseInterface(g_primary);
        ReleaseInterface(g_direct_draw);
    }
}

DXSurface* DXSurface::Create(HWND hwnd)
{
    void* memory = Zuvi_app_zone != nullptr
                       ? Zuvi_app_zone->Alloc(sizeof(DXSurface), "DXSurface", __LINE__, ZU_SRC_FILE)
                       : ::operator new(sizeof(DXSurface));
    DXSurface* s = new (memory) DXSurface();
    if (!s->Initialise(hwnd)) {
        Destroy(s);
        return nullptr;
    }
    return s;
}

void DXSurface::Destroy(DXSurface* s)
{
    if (s == nullptr)
        return;
    s->~DXSurface();
    if (Zuvi_app_zone != nullptr)
        ZuMemZone::FreeAnyZone(s, __LINE__, ZU_SRC_FILE);
    else
        ::operator delete(s);
}

bool DXSurface::Fail(const char* text)
{
    last_error = text;
    return false;
}

bool DXSurface::ClientOnScreen(RECT& out)
{
    RECT client;
    POINT origin{0, 0};
    if (!GetClientRect(window, &client) || !ClientToScreen(window, &origin))
        return false;
    out = RECT{origin.x, origin.y, origin.x + client.right, origin.y + client.bottom};
    return true;
}

void DXSurface::ReleaseSurfaces()
{
    ReleaseInterface(pixmap_surface);
    ReleaseInterface(buffer_surface);
    desc.memory = nullptr;
}

bool DXSurface::Initialise(HWND hwnd)
{
    if (g_direct_draw == nullptr)
        return Fail("could not create DirectDraw object");
    if (FAILED(g_direct_draw->SetCooperativeLevel(hwnd, DDSCL_NORMAL)))
        return Fail("could not set cooperative level");
    if (g_primary == nullptr) {
        DDSURFACEDESC d;
        std::memset(&d, 0, sizeof d);
        d.dwSize = sizeof d;
        d.dwFlags = DDSD_CAPS;
        d.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
        if (FAILED(g_direct_draw->CreateSurface(&d, &g_primary, nullptr))) {
            g_primary = nullptr;
            return Fail("could not create primary surface");
        }
    }
    ReleaseInterface(clipper);
    if (FAILED(g_direct_draw->CreateClipper(0, &clipper, nullptr))) {
        clipper = nullptr;
        return Fail("could not create the clipper");
    }
    if (FAILED(clipper->SetHWnd(0, hwnd)))
        return Fail("could not attach the window to the clipper");
    if (FAILED(g_primary->SetClipper(clipper)))
        return Fail("could not attach the clipper to the surface");
    DDPIXELFORMAT format;
    std::memset(&format, 0, sizeof format);
    format.dwSize = sizeof format;
    if (FAILED(g_primary->GetPixelFormat(&format)))
        return Fail("could not get pixel format");
    if (format.dwFlags & DDPF_PALETTEINDEXED8)
        return Fail("no support for palette display");
    if (ClassifyPixelFormat(format) == 0)
        return Fail("unsupported pixel format");
    window = hwnd;
    return true;
}

bool DXSurface::Reset()
{
    Unlock();
    ReleaseSurfaces();
    ReleaseInterface(clipper);
    ReleaseInterface(g_primary);
    return Initialise(window);
}

bool DXSurface::Lock()
{
    RECT client;
    if (!ClientOnScreen(client))
        return Fail("problem with the window");
    if (desc.memory != nullptr)
        Unlock();
    desc.recreated = 0;
    uint32_t w = uint32_t(client.right - client.left), h = uint32_t(client.bottom - client.top);
    if (w != desc.width || h != desc.height) {
        ReleaseSurfaces();
        desc.width = w;
        desc.height = h;
    }
    IDirectDrawSurface** both[2] = {&pixmap_surface, &buffer_surface};
    static const char* const failures[2] = {"could not create pixmap surface",
                                            "could not create buffer surface"};
    for (int i = 0; i < 2; ++i) {
        if (*both[i] != nullptr)
            continue;
        DDSURFACEDESC d;
        std::memset(&d, 0, sizeof d);
        d.dwSize = sizeof d;
        d.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        d.dwWidth = Round(w == 0 ? 1 : w, 4);
        d.dwHeight = Round(h == 0 ? 1 : h, 2);
        d.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_VIDEOMEMORY;
        if (FAILED(g_direct_draw->CreateSurface(&d, both[i], nullptr))) {
            d.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
            if (FAILED(g_direct_draw->CreateSurface(&d, both[i], nullptr))) {
                *both[i] = nullptr;
                return Fail(failures[i]);
            }
        }
        desc.recreated = 1;
    }
    if (pixmap_surface->IsLost() == DDERR_SURFACELOST) {
        pixmap_surface->Restore();
        desc.recreated = 1;
    }
    DDSURFACEDESC d;
    std::memset(&d, 0, sizeof d);
    d.dwSize = sizeof d;
    if (FAILED(pixmap_surface->Lock(nullptr, &d, DDLOCK_WAIT, nullptr)))
        return Fail("could not lock pixmap surface");
    desc.pitch = uint32_t(d.lPitch);
    desc.memory = d.lpSurface;
    desc.format = ClassifyPixelFormat(d.ddpfPixelFormat);
    return true;
}

bool DXSurface::Unlock()
{
    if (desc.memory == nullptr)
        return false;
    pixmap_surface->Unlock(nullptr);
    desc.memory = nullptr;
    return true;
}

bool DXSurface::GetDesc(DXSurfaceDesc* out)
{
    if (desc.memory == nullptr || out == nullptr)
        return false;
    *out = desc;
    return true;
}

bool DXSurface::IsRecreated()
{
    if (desc.memory != nullptr)
        return desc.recreated != 0;
    if (!Lock())
        return false;
    Unlock();
    return desc.recreated != 0;
}

bool DXSurface::EnableMask(unsigned index, bool enable)
{
    if (index > 1)
        return false;
    masks[index].enabled = enable;
    return true;
}

bool DXSurface::GetMaskDesc(unsigned index, DXMaskDesc* out)
{
    if (index > 1 || !masks[index].enabled)
        return false;
    RECT client;
    if (!ClientOnScreen(client))
        return Fail("problem with the window");
    Mask& m = masks[index];
    uint32_t w = uint32_t(client.right - client.left), h = uint32_t(client.bottom - client.top);
    m.is_new = false;
    if (w != m.width || h != m.height) {
        if (m.bits != nullptr) {
            std::free(m.bits);
            m.bits = nullptr;
            --mask_count;
        }
        m.width = w;
        m.height = h;
        m.changed = true;
    }
    if (m.bits == nullptr) {
        m.row_bytes = Round(w == 0 ? 1 : w, 64) / 8;
        m.bits =
            static_cast<unsigned char*>(std::calloc(size_t(m.row_bytes) * (h == 0 ? 1 : h), 1));
        if (m.bits == nullptr)
            Zuvi_ErrorAbort("Failed assertion: this->desc_mask[mask].surface", __LINE__,
                            ZU_SRC_FILE);
        m.is_new = true;
        ++mask_count;
    }
    if (out != nullptr)
        *out = DXMaskDesc{m.width,
                          m.height,
                          m.row_bytes,
                          m.bits,
                          uint32_t(m.changed),
                          m.colour,
                          uint32_t(m.is_new),
                          uint32_t(m.enabled),
                          uint32_t(m.draw_bits),
                          m.callback,
                          m.argument};
    return true;
}

bool DXSurface::SetMask(unsigned index, uint32_t colour, DXMaskCallback callback, void* argument,
                        bool draw_bits)
{
    if (index > 1 || !masks[index].enabled)
        return false;
    masks[index].colour = colour;
    masks[index].callback = callback;
    masks[index].argument = argument;
    masks[index].draw_bits = draw_bits;
    return true;
}

void DXSurface::ComposeMasks(unsigned char* memory, unsigned pitch, unsigned format,
                             ZuGrailPixmap* pixmap)
{
    for (Mask& m : masks) {
        if (!m.enabled || m.bits == nullptr)
            continue;
        if (m.draw_bits) {
            unsigned r = (m.colour >> 16) & 0xFF, g = (m.colour >> 8) & 0xFF, b = m.colour & 0xFF;
            uint16_t colour = format == 3 ? uint16_t((r >> 3) << 10 | (g >> 3) << 5 | (b >> 3))
                                          : uint16_t((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3));
            unsigned mask_step = m.row_bytes & ~7u, buffer_step = pitch & ~1u;
            for (uint32_t y = 0; y < m.height && y < desc.height; ++y) {
                const unsigned char* bits = m.bits + size_t(y) * mask_step;
                uint16_t* row = reinterpret_cast<uint16_t*>(memory + size_t(y) * buffer_step);
                // Groups of 64 pixels; the last one may be partial, and its
                // pixels are composed too, up to the width.
                uint32_t width = m.width < desc.width ? m.width : desc.width;
                for (uint32_t x0 = 0; x0 < width; x0 += 64) {
                    const unsigned char* group = bits + x0 / 8;
                    bool all_set = true;
                    for (int k = 0; k < 8; ++k)
                        all_set = all_set && group[k] == 0xFF;
                    if (all_set)
                        continue;
                    uint32_t end = x0 + 64 < width ? x0 + 64 : width;
                    for (uint32_t x = x0; x < end; ++x)
                        if (!((group[(x - x0) / 8] >> (7 - (x - x0) % 8)) & 1))
                            row[x] = colour;
                }
            }
        }
        if (pixmap != nullptr && m.callback != nullptr && g_painter != nullptr)
            g_painter(pixmap, memory, desc.width, desc.height, pitch, m.callback, m.argument);
    }
}

bool DXSurface::Blt(const ZuRect& rect, ZuGrailPixmap* pixmap)
{
    RECT client;
    if (!ClientOnScreen(client))
        return Fail("problem with the window");
    if (uint32_t(client.right - client.left) != desc.width ||
        uint32_t(client.bottom - client.top) != desc.height)
        return Fail("mismatch between window and pixmap size");
    if (pixmap_surface == nullptr)
        return Fail("could not BLT pixmap to window");
    RECT dest{0, 0, 0, 0};
    if (!rect.IsEmpty()) {
        dest = RECT{LONG(rect.X1()) + client.left, LONG(rect.Y1()) + client.top,
                    LONG(rect.X2()) + client.left + 1, LONG(rect.Y2()) + client.top + 1};
    }
    if (dest.left < client.left)
        dest.left = client.left;
    if (dest.top < client.top)
        dest.top = client.top;
    if (dest.right > client.right)
        dest.right = client.right;
    if (dest.bottom > client.bottom)
        dest.bottom = client.bottom;
    LONG max_x = GetSystemMetrics(SM_CXMAXIMIZED), max_y = GetSystemMetrics(SM_CYMAXIMIZED);
    if (dest.left < 0)
        dest.left = 0;
    if (dest.top < 0)
        dest.top = 0;
    if (dest.right > max_x)
        dest.right = max_x;
    if (dest.bottom > max_y)
        dest.bottom = max_y;
    RECT src{dest.left - client.left, dest.top - client.top, dest.right - client.left,
             dest.bottom - client.top};

    // The primary surface is shared: every blit binds it to this window.
    if (FAILED(clipper->SetHWnd(0, window)))
        return Fail("could not attach the window to the clipper");
    if (FAILED(g_primary->SetClipper(clipper)))
        return Fail("could not attach the clipper to the surface");
    if (dest.right <= dest.left || dest.bottom <= dest.top)
        return true;
    if (buffer_surface != nullptr && buffer_surface->IsLost() == DDERR_SURFACELOST)
        buffer_surface->Restore();

    IDirectDrawSurface* from = pixmap_surface;
    if (mask_count != 0 && buffer_surface != nullptr &&
        SUCCEEDED(buffer_surface->Blt(&src, pixmap_surface, &src, DDBLT_WAIT, nullptr))) {
        DDSURFACEDESC d;
        std::memset(&d, 0, sizeof d);
        d.dwSize = sizeof d;
        if (SUCCEEDED(buffer_surface->Lock(nullptr, &d, DDLOCK_WAIT, nullptr))) {
            unsigned format = ClassifyPixelFormat(d.ddpfPixelFormat);
            if (format == 3 || format == 4) {
                ComposeMasks(static_cast<unsigned char*>(d.lpSurface), unsigned(d.lPitch), format,
                             pixmap);
                from = buffer_surface;
            }
            buffer_surface->Unlock(nullptr);
        }
    }
    HRESULT hr = g_primary->Blt(&dest, from, &src, DDBLT_WAIT, nullptr);
    if (hr == DDERR_SURFACELOST) {
        g_primary->Restore();
        return Fail("lost surface");
    }
    if (FAILED(hr))
        return Fail("could not BLT pixmap to window");
    return true;
}
