// ZuGrailWindow: the pixmap that backs a platform window. Its views draw in
// frame coordinates: the point (frame x1, frame y1) is pixel (0, 0) of the
// surface. It carries at most one overlay, a 1-bit pixmap of the window's
// size with a colour and a drawing callback, known by the id 1. Creating
// the platform window and painting the surface on the screen belong to the
// window layer.
#ifndef SI_GRAILWDO_H
#define SI_GRAILWDO_H

#include "si/grailpxm.h"

typedef void (*ZuGrailOverlayFunc)(void* arg, ZuGrailPixmap* overlay);

ZU_HANDLE(ZuGrailWindow, ZuGrailPixmap)
class ZuGrailWindow : public ZuGrailPixmap {
    ZU_CLASS(ZuGrailWindow, ZuGrailPixmap)

public:
    ZuGrailWindow();
    ~ZuGrailWindow() override;

    // The pixmap's pass, then the offset that puts the frame's origin at
    // the surface's.
    void BeginDraw(double x1, double y1, double x2, double y2) override;
    void BeginDraw(const ZuRect& r, double margin) override;

    virtual void SetFrameGeometry(const ZuRect& frame);
    virtual void GetFrameGeometry(ZuRect& frame) const;

    // False when the overlay exists already; otherwise a 1-bit pixmap of
    // the window's size, the colour kept, no callback; id 1.
    virtual bool NewOverlay(const ZuColorPixel& color, unsigned& id);
    // The operations below answer false, or the null pixmap and a default
    // colour, unless the overlay exists and id is 1.
    virtual bool DeleteOverlay(unsigned id);
    virtual bool SetOverlayColor(unsigned id, const ZuColorPixel& color);
    virtual bool SetOverlayFunc(unsigned id, ZuGrailOverlayFunc func, void* arg);
    virtual bool GetOverlay(unsigned id, ZuGrailPixmapRef& overlay, ZuColorPixel& color) const;
    virtual bool GetOverlayFunc(unsigned id, ZuGrailOverlayFunc& func, void*& arg) const;
    virtual const ZuGrailPixmapRef& RetOverlayPixmap(unsigned id) const;
    virtual const ZuColorPixel& RetOverlayColor(unsigned id) const;

    static ZuAtomRef notify_redrawn;

protected:
    // No overlay; an overlay pixmap without memory stands ready.
    virtual void InitOverlays();
    virtual void KillOverlays();
    // After a resize: the overlay takes the window's size (its pixels go).
    virtual void UpdateOverlaySize();

private:
    bool HasOverlay(unsigned id) const { return overlay_present != 0 && id == 1; }

    ZuRect frame;
    ZuGrailPixmapRef overlay;
    ZuColorPixel overlay_color;
    ZuGrailOverlayFunc overlay_func;
    void* overlay_arg;
    unsigned overlay_present;
};
ZU_CLASS_END(ZuGrailWindow)

#endif
