#ifndef TESTS_APP_PANECONTROLS_H
#define TESTS_APP_PANECONTROLS_H

// The fixture of the program's shared pane controls: the control fixture's
// shown window and injected input, with the look manager of the library's
// own folder (ZUVI_DIR unset) and the program's picture sheets loaded as
// the program loads them, so that frames and icons are drawn from the
// sheets the build makes.

#include "si/adorner.h"
#include "si/iconrecord.h"
#include "si/lookman.h"
#include "si/string.h"
#include "tests/support/controls.h"

// Whether two 0xRRGGBB colours agree within the rounding of the window's
// 16-bit surface (8 steps a channel).
inline bool Near(unsigned a, unsigned b)
{
    for (int shift : {0, 8, 16}) {
        const int d = int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF);
        if (d > 8 || d < -8)
            return false;
    }
    return true;
}

class PaneControlTest : public ControlTest {
protected:
    void SetUp() override
    {
        library_sheets = true;
        ControlTest::SetUp();
        const ZuStringRef prefix("lumbra_");
        for (const char* sheet : {"%Zuvi%/lumbra_generic.png", "%Zuvi%/lumbra_icons.png"})
            ZuLookMan::Current()->LoadAndParsePNG(ZuStringRef(sheet), prefix);
    }
    // Whether the window shows the look's icon with its top-left corner at
    // a window point: every pixel the icon paints, drawn alone, is there.
    bool ShowsIcon(const char* name, int x, int y)
    {
        ZuIconRecordRef record;
        if (!ZuLookMan::Current()->GetIconRecord(ZuAtomRef(name), record, 0))
            return false;
        const ZuRect r = record->RetIconRect(ZU_CTRL_STATE_NORMAL);
        const int dx = int(r.DX()), dy = int(r.DY());
        ZuGrailPixmapRef alone = NewPixmap(32, dx, dy);
        alone->BeginDraw(0, 0, dx - 1, dy - 1);
        alone->SetForeColor(ZuColorPixel(0x00FF00FFu));
        alone->FillRect(0, 0, dx - 1, dy - 1);
        alone->RetAdorner()->DrawIcon(0, 0, ZuAtomRef(name), ZU_CTRL_STATE_NORMAL, 0, 0);
        alone->EndDraw();
        int painted = 0, differ = 0;
        for (int j = 0; j < dy; ++j)
            for (int i = 0; i < dx; ++i) {
                const unsigned p = Pixel(alone, i, j) & 0xFFFFFF;
                if (p == 0xFF00FF)
                    continue;
                ++painted;
                differ += !Near(WindowPixel(x + i, y + j), p);
            }
        alone->Delete();
        return painted > 0 && differ == 0;
    }
};

#endif
