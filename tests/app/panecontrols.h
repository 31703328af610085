#ifndef TESTS_APP_PANECONTROLS_H
#define TESTS_APP_PANECONTROLS_H

// The fixture of the program's shared pane controls: the control fixture's
// shown window and injected input, with the look manager of the library's
// own folder (ZUVI_DIR unset), so that frames and icons are drawn from the
// sheets the build makes.

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
    }
};

#endif
