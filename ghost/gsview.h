// GSView: a view that shows the image of its own Ghostscript display
// context. It makes and sizes the context, copies its rows into the window,
// lends its pixels to the drawing port through the grail hook, and keeps
// where it is scrolled to as two pixel offsets into the image, published as
// fractions ("h_offset", "v_offset") beside the visible parts of the image
// ("h_ratio", "v_ratio") for scroll bars and scripts.
//
// The view's width W is its box's x1 - x0 + 1 (0 for an empty box), its
// height H the box's DY, both truncated; PW and PH are the image's. A view
// without a context copies nothing, lends nothing, and answers offsets 0.0
// (horizontal) and 1.0 (vertical) and ratios 1.0: it is handled before a
// context is given to it, not only after.
#ifndef GHOST_GSVIEW_H
#define GHOST_GSVIEW_H

#include <cstdint>

#include "ghost/gscontext.h"
#include "ghost/gslibmain.h"
#include "si/igrailhook.h"
#include "si/view.h"

ZU_HANDLE(GSView, ZuView)

class GSView : public ZuView, public ZuiGrailHook {
    ZU_CLASS(GSView, ZuView)
public:
    GSView();
    ~GSView() override;

    void Draw(const ZuGrailPortRef& port, const ZuRect& area, ZuDrawOp op) override;
    using ZuView::Draw;
    // One partition of the window's pixmap for the view's box; the children
    // get none of their own.
    bool DefinePartition(const ZuGrailPixmapRef& pixmap) override;

    // Any object that is not a context empties the handle; true.
    virtual bool SetContext(const ZuObjectRef& context);
    // Makes the context (first call) or resizes it (same type); false, and
    // nothing changed, for another type than the context's.
    virtual bool Initialise(uint32_t dx, uint32_t dy, GSViewType type);
    // Offsets from fractions: h 0.0 stands for the left columns, v 1.0 for
    // the top rows. The view keeps them for scroll bars and scripts; its
    // drawing copies the image from its bottom-left corner whatever they
    // are. Each reports its change; true.
    virtual bool SetHOffset(double h);
    virtual bool SetVOffset(double v);
    virtual double GetHOffset();
    virtual double GetVOffset();
    virtual double GetHRatio();
    virtual double GetVRatio();
    virtual const GSContextRef& RetContext() const { return context; }

    uint32_t RetHPixelOffset() const { return h_pixel_offset; }
    uint32_t RetVPixelOffset() const { return v_pixel_offset; }
    // W and H of the view, PW and PH of the image (0 without a context).
    uint32_t RetViewWidth() const;
    uint32_t RetViewHeight() const;
    void GetPixmapSize(uint32_t& width, uint32_t& height);

    // The hook: the context's rows (nothing without a context).
    void CopyTo1Bit(int x, int y, int width, int height, void* pixels, int pitch) override;
    void CopyTo16Bit(int x, int y, int width, int height, void* pixels, int pitch) override;
    void CopyTo15Bit(int x, int y, int width, int height, void* pixels, int pitch) override;
    void CopyTo24Bit(int x, int y, int width, int height, void* pixels, int pitch) override;
    void CopyTo32Bit(int x, int y, int width, int height, void* pixels, int pitch) override;

    static ZuAtomRef notify_HOffsetChanged;
    static ZuAtomRef notify_VOffsetChanged;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    GSContextRef context;
    uint32_t h_pixel_offset = 0;
    uint32_t v_pixel_offset = 0;
};
ZU_CLASS_END(GSView)

#endif
