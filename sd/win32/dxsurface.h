#ifndef SD_WIN32_DXSURFACE_H
#define SD_WIN32_DXSURFACE_H

// The faster way a library window's pixels reach the screen: an off-screen
// surface in the screen's format into which the window's pixels are
// converted, a second one of the same size in which up to two masks (the
// window's overlays) are composed over the picture, and a clipper bound to
// the window. All windows share one DirectDraw object and one primary
// surface. Any failure answers false, leaves its text in RetLastError and
// lets the caller paint through GDI instead.

#include <cstdint>

#include "w32/ddraw.h"
#include "w32/winuser.h"

class ZuGrailPixmap;
class ZuRect;

// The surface while locked.
struct DXSurfaceDesc {
    uint32_t width; // the window's client size
    uint32_t height;
    uint32_t pitch;
    void* memory;    // null when unlocked
    uint32_t format; // 3 = 555, 4 = 565, 5 = 24-bit, 6 = 32-bit, 0 unsupported
    uint32_t reserved;
    uint32_t recreated; // the last Lock created, re-created or restored the surfaces
    uint32_t reserved2[2];
};

typedef void (*DXMaskCallback)(void* argument, ZuGrailPixmap* pixmap);

// A mask: 1 bit a pixel, most significant bit first, pixel 0 in bit 7 of
// byte 0, rows of `row_bytes` (the width rounded up to 64 bits). A pixel
// whose bit is 0 takes the colour.
struct DXMaskDesc {
    uint32_t width;
    uint32_t height;
    uint32_t row_bytes;
    unsigned char* bits;
    uint32_t changed; // resized since the last look
    uint32_t colour;  // 0xRRGGBB
    uint32_t is_new;  // the bitmap was allocated by the last GetMaskDesc
    uint32_t enabled;
    uint32_t draw_bits;
    DXMaskCallback callback;
    void* argument;
};

// Lets a mask's callback draw into the composed picture: the pixmap layer
// points the pixmap's surface at the memory (width x height, 16-bit, pitch
// bytes a row), calls the callback between a begin and an end of drawing,
// and gives the surface back.
typedef void (*DXOverlayPainter)(ZuGrailPixmap* pixmap, void* memory, unsigned width,
                                 unsigned height, unsigned pitch, DXMaskCallback callback,
                                 void* argument);

class DXSurface {
public:
    // A surface for the window, or null when DirectDraw cannot serve it.
    static DXSurface* Create(HWND window);
    // Destroys a surface made by Create; null is ignored.
    static void Destroy(DXSurface* surface);
    // 3 (555), 4 (565), 5 (24-bit), 6 (32-bit) or 0.
    static unsigned ClassifyPixelFormat(const DDPIXELFORMAT& format);
    // Installs the painter of mask callbacks and answers the one it replaces.
    static DXOverlayPainter SetOverlayPainter(DXOverlayPainter painter);

    virtual ~DXSurface();
    virtual bool IsRecreated();
    // Copies the window rectangle (window coordinates, inclusive) to the
    // screen, composing the masks when there are any.
    virtual bool Blt(const ZuRect& rect, ZuGrailPixmap* pixmap);
    virtual bool Reset();
    virtual bool Lock();
    virtual bool GetDesc(DXSurfaceDesc* out);
    virtual bool Unlock();
    virtual bool EnableMask(unsigned index, bool enable);
    virtual bool GetMaskDesc(unsigned index, DXMaskDesc* out);
    virtual bool SetMask(unsigned index, uint32_t colour, DXMaskCallback callback, void* argument,
                         bool draw_bits);
    virtual bool Initialise(HWND window);

    const char* RetLastError() const { return last_error; }

private:
    DXSurface();
    DXSurface(const DXSurface&) = delete;
    DXSurface& operator=(const DXSurface&) = delete;

    struct Mask {
        uint32_t width;
        uint32_t height;
        uint32_t row_bytes;
        unsigned char* bits;
        bool changed;
        uint32_t colour;
        bool is_new;
        bool enabled;
        bool draw_bits;
        DXMaskCallback callback;
        void* argument;
    };

    bool Fail(const char* text);
    bool ClientOnScreen(RECT& out);
    void ReleaseSurfaces();
    void ComposeMasks(unsigned char* memory, unsigned pitch, unsigned format,
                      ZuGrailPixmap* pixmap);

    DXSurfaceDesc desc;
    IDirectDrawSurface* pixmap_surface;
    IDirectDrawSurface* buffer_surface;
    IDirectDrawClipper* clipper;
    HWND window;
    const char* last_error;
    unsigned mask_count;
    Mask masks[2];

    static IDirectDraw* g_direct_draw;
    static IDirectDrawSurface* g_primary;
    static unsigned g_count;
    static DXOverlayPainter g_painter;
};

#endif
