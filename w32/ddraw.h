#ifndef W32_DDRAW_H
#define W32_DDRAW_H

// DirectDraw of the platform layer: only the headless backend has it. It
// emulates a primary surface in a pixel format a test chooses (none by
// default, so that windows paint through the GDI path), off-screen surfaces,
// clippers bound to windows, Lock and Blt; a blit to the primary surface
// paints the screen under the clipper's window. Failures can be injected.
// Under X11 DirectDrawCreate fails and painting takes the GDI path.

#include "w32/winuser.h"

typedef int32_t HRESULT;
#define DD_OK ((HRESULT)0)
#define DDERR_GENERIC ((HRESULT)0x80004005u)
#define DDERR_INVALIDPARAMS ((HRESULT)0x80070057u)
#define DDERR_OUTOFVIDEOMEMORY ((HRESULT)0x8876017Cu)
#define DDERR_SURFACELOST ((HRESULT)0x887601C2u)
#define DDERR_NODIRECTDRAWHW ((HRESULT)0x88760255u)
#define DDERR_NOTLOCKED ((HRESULT)0x887602E6u)
#define DDERR_SURFACEBUSY ((HRESULT)0x887601AEu)
#define DDERR_NOCLIPLIST ((HRESULT)0x887600CDu)
#ifndef SUCCEEDED
#define SUCCEEDED(h) ((HRESULT)(h) >= 0)
#define FAILED(h) ((HRESULT)(h) < 0)
#endif

#define DDSCL_NORMAL 0x00000008u

#define DDSD_CAPS 0x00000001u
#define DDSD_HEIGHT 0x00000002u
#define DDSD_WIDTH 0x00000004u
#define DDSD_PITCH 0x00000008u
#define DDSD_PIXELFORMAT 0x00001000u

#define DDSCAPS_OFFSCREENPLAIN 0x00000040u
#define DDSCAPS_PRIMARYSURFACE 0x00000200u
#define DDSCAPS_SYSTEMMEMORY 0x00000800u
#define DDSCAPS_VIDEOMEMORY 0x00004000u

#define DDPF_PALETTEINDEXED8 0x00000020u
#define DDPF_RGB 0x00000040u

#define DDLOCK_WAIT 0x00000001u
#define DDBLT_WAIT 0x01000000u

struct DDPIXELFORMAT {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwFourCC;
    DWORD dwRGBBitCount;
    DWORD dwRBitMask;
    DWORD dwGBitMask;
    DWORD dwBBitMask;
    DWORD dwRGBAlphaBitMask;
};

struct DDSCAPS {
    DWORD dwCaps;
};

struct DDSURFACEDESC {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwHeight;
    DWORD dwWidth;
    LONG lPitch;
    LPVOID lpSurface;
    DDPIXELFORMAT ddpfPixelFormat;
    DDSCAPS ddsCaps;
};

class IDirectDrawClipper {
public:
    virtual HRESULT SetHWnd(DWORD flags, HWND hwnd) = 0;
    virtual unsigned long Release() = 0;

protected:
    virtual ~IDirectDrawClipper() {}
};

class IDirectDrawSurface {
public:
    virtual HRESULT GetPixelFormat(DDPIXELFORMAT* format) = 0;
    virtual HRESULT SetClipper(IDirectDrawClipper* clipper) = 0;
    // The whole surface, whatever the rectangle; the description gets its
    // size, pitch, memory and format. The primary surface cannot be locked.
    virtual HRESULT Lock(RECT* rect, DDSURFACEDESC* desc, DWORD flags, HANDLE event) = 0;
    virtual HRESULT Unlock(LPVOID rect) = 0;
    // Copies src's source rectangle (null: the whole of src) to the
    // destination rectangle (null: the whole surface) without stretching:
    // the width and height copied are the smaller of the two rectangles'.
    // Onto the primary surface the destination is in screen coordinates,
    // cut to the screen and to the clipper's window.
    virtual HRESULT Blt(RECT* dest, IDirectDrawSurface* src, RECT* src_rect, DWORD flags,
                        void* fx) = 0;
    virtual HRESULT IsLost() = 0;
    virtual HRESULT Restore() = 0;
    virtual unsigned long Release() = 0;

protected:
    virtual ~IDirectDrawSurface() {}
};

class IDirectDraw {
public:
    virtual HRESULT SetCooperativeLevel(HWND hwnd, DWORD flags) = 0;
    virtual HRESULT CreateSurface(DDSURFACEDESC* desc, IDirectDrawSurface** out, void* outer) = 0;
    virtual HRESULT CreateClipper(DWORD flags, IDirectDrawClipper** out, void* outer) = 0;
    virtual unsigned long Release() = 0;

protected:
    virtual ~IDirectDraw() {}
};

HRESULT DirectDrawCreate(void* guid, IDirectDraw** out, void* outer);

// ---- Test interface (headless) -------------------------------------------

// Format of the emulated primary surface.
enum W32_DDFormat {
    W32_DD_NONE = 0, // no DirectDraw: DirectDrawCreate fails
    W32_DD_555 = 3,
    W32_DD_565 = 4,
    W32_DD_24 = 5,
    W32_DD_32 = 6,
    W32_DD_PALETTE8 = 8,
};
void W32_DDSetFormat(W32_DDFormat format);

// Failures, as bits: the next calls of that kind fail until cleared.
enum {
    W32_DD_FAIL_CREATE = 1,  // DirectDrawCreate
    W32_DD_FAIL_SURFACE = 2, // CreateSurface
    W32_DD_FAIL_LOCK = 4,    // Lock
    W32_DD_FAIL_BLT = 8,     // Blt
};
void W32_DDSetFailures(unsigned failures);
// Every surface alive becomes lost (Blt answers DDERR_SURFACELOST until
// it is restored).
void W32_DDLoseSurfaces();
// The number of blits that reached the primary surface.
unsigned W32_DDPrimaryBlits();

#endif
