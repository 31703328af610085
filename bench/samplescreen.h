// The screen's side of the sample benchmarks: a sample's rows copied into
// a pixmap of its size as the window's redraw copies them (GSView::Draw into
// the window's port), so a timed step ends with the pixels a user would see.
#ifndef BENCH_SAMPLESCREEN_H
#define BENCH_SAMPLESCREEN_H

#include "ghost/gscontext.h"
#include "si/classfactory.h"
#include "si/grailpxm.h"
#include "si/memzone.h"
#include "zoveda/gfxsurface.h"

// A pixmap of a sample's size, magenta at first (a colour no sample paints).
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
    // Copies the context's rows in; false when the context refused.
    bool Show(const GSContextRef& context)
    {
        pixmap->BeginDraw(0, 0, width - 1, height - 1);
        const bool copied = context->CopyRectToPort(pixmap, ZuRect(0, 0, width - 1, height - 1));
        pixmap->EndDraw();
        return copied;
    }
    // Whether some copy painted a pixel.
    bool Painted() const
    {
        pixmap->BeginDraw(0, 0, width - 1, height - 1);
        GfxSurface* s = pixmap->LockSurface();
        bool painted = false;
        for (int y = 0; s != nullptr && y < height && !painted; ++y)
            for (int x = 0; x < width && !painted; ++x)
                painted = (s->RetPixelRGB(x, y) & 0xFFFFFFu) != (kUnpainted & 0xFFFFFFu);
        pixmap->UnlockSurface(s);
        pixmap->EndDraw();
        return painted;
    }

private:
    static constexpr unsigned kUnpainted = 0x00FF00FFu;
    int width, height;
    ZuGrailPixmapRef pixmap;
};

#endif
