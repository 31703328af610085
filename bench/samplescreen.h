// The screen's side of the sample benchmarks: a sample's rows copied into
// a pixmap of its size as the window's redraw copies them (what lies behind
// the view painted first, then GSView::Draw into the window's port), so a
// timed step ends with the pixels a user would see.
#ifndef BENCH_SAMPLESCREEN_H
#define BENCH_SAMPLESCREEN_H

#include "ghost/gscontext.h"
#include "si/classfactory.h"
#include "si/grailpxm.h"
#include "si/memzone.h"
#include "zoveda/gfxsurface.h"

// A pixmap of a sample's size; magenta (a colour no sample paints) stands
// for what lies behind the sample.
class SampleScreen {
public:
    SampleScreen(int w, int h) : width(w), height(h), pixmap(ZuNew<ZuGrailPixmap>(Zuvi_app_zone))
    {
        pixmap->Initialise(32, w, h);
        pixmap->BeginDraw(0, 0, w - 1, h - 1);
        pixmap->SetForeColor(ZuColorPixel(kUnpainted));
        pixmap->FillRect(0, 0, w - 1, h - 1);
        pixmap->EndDraw();
    }
    ~SampleScreen() { pixmap->Delete(); }
    // Paints the background behind the sample, then copies the context's
    // rows in; false when the context refused. A one-bit sample copies its
    // ink only: without the background its earlier steps would stay shown.
    bool Show(const GSContextRef& context)
    {
        pixmap->BeginDraw(0, 0, width - 1, height - 1);
        pixmap->SetForeColor(ZuColorPixel(kUnpainted));
        pixmap->FillRect(0, 0, width - 1, height - 1);
        const bool copied = context->CopyRectToPort(pixmap, ZuRect(0, 0, width - 1, height - 1));
        pixmap->EndDraw();
        return copied;
    }
    // Whether the last copy painted a pixel.
    bool Painted() const { return PaintedRows() > 0; }
    // How many rows the last copy painted a pixel in.
    int PaintedRows() const
    {
        pixmap->BeginDraw(0, 0, width - 1, height - 1);
        GfxSurface* s = pixmap->LockSurface();
        int rows = 0;
        for (int y = 0; s != nullptr && y < height; ++y) {
            bool painted = false;
            for (int x = 0; x < width && !painted; ++x)
                painted = (s->RetPixelRGB(x, y) & 0xFFFFFFu) != (kUnpainted & 0xFFFFFFu);
            rows += painted ? 1 : 0;
        }
        pixmap->UnlockSurface(s);
        pixmap->EndDraw();
        return rows;
    }

private:
    static constexpr unsigned kUnpainted = 0x00FF00FFu;
    int width, height;
    ZuGrailPixmapRef pixmap;
};

#endif
