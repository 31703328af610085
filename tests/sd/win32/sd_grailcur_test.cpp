#include "sd/win32/sd_grailcur.h"

#include <gtest/gtest.h>

#include "sd/common/sd_grailcursor.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "tests/support/ports.h"
#include "zoveda/gfxsurface.h"

namespace {

class GrailCursorPlatformTest : public PortTest {
protected:
    void TearDown() override
    {
        ZuGrailCursor::ShowNormalCursor();
        PortTest::TearDown();
    }
    // A 10 x 10 cursor of opaque black pixels.
    ZuGrailCursorRef NewCursor()
    {
        ZuGrailPixmapRef sheet = NewPixmap(32, 10, 10);
        ZuGrailCursorRef cursor(ZuNew<ZuGrailCursor>(Zuvi_app_zone));
        cursor->Initialise(0, 0, 10, 10, sheet, 0, 0);
        return cursor;
    }
    static HCURSOR Arrow() { return LoadCursorA(nullptr, IDC_ARROW); }
};

TEST_F(GrailCursorPlatformTest, ActivatingHidingAndTheArrow)
{
    unsigned w = 0, h = 0;
    Zuvi_GetSystemCursorSize(w, h);
    EXPECT_EQ(w, 32u);
    EXPECT_EQ(h, 32u);

    ZuGrailCursorRef cursor = NewCursor();
    ASSERT_NE(cursor->RetHandle(), nullptr);
    cursor->Activate();
    EXPECT_EQ(GetCursor(), cursor->RetHandle());
    EXPECT_EQ(Zuvi_RetCurrentCursor(), cursor->RetHandle());

    ZuGrailCursor::HideCursor();
    EXPECT_EQ(Zuvi_RetCurrentCursor(), nullptr);
    EXPECT_EQ(GetCursor(), nullptr);
    ZuGrailCursor::ShowNormalCursor();
    EXPECT_EQ(Zuvi_RetCurrentCursor(), Arrow());
    EXPECT_EQ(GetCursor(), Arrow());

    cursor->Activate();
    cursor->ResetToNormal();
    EXPECT_EQ(Zuvi_RetCurrentCursor(), Arrow());
    EXPECT_EQ(GetCursor(), Arrow());

    // The window side puts the current cursor back after others set theirs.
    cursor->Activate();
    SetCursor(Arrow());
    Zuvi_RestoreCurrentCursor();
    EXPECT_EQ(GetCursor(), cursor->RetHandle());
    ZuGrailCursor::HideCursor();
    SetCursor(Arrow());
    Zuvi_RestoreCurrentCursor();
    EXPECT_EQ(GetCursor(), nullptr);
}

TEST_F(GrailCursorPlatformTest, ACursorOnTheScreenIsTakenOffBeforeItIsDestroyed)
{
    ZuGrailCursorRef cursor = NewCursor();
    cursor->Activate();
    // Initialised again in place.
    cursor->Initialise(0, 0, 5, 5, NewPixmap(32, 5, 5), 0, 0);
    EXPECT_EQ(GetCursor(), nullptr);
    EXPECT_EQ(Zuvi_RetCurrentCursor(), nullptr);
    EXPECT_NE(cursor->RetHandle(), nullptr);

    // Destroyed with its last handle.
    cursor->Activate();
    cursor = ZuGrailCursorNull;
    ZuObjectRef::RealiseDeletions();
    EXPECT_EQ(GetCursor(), nullptr);
    EXPECT_EQ(Zuvi_RetCurrentCursor(), nullptr);

    // A cursor that is not on the screen leaves the screen alone.
    ZuGrailCursorRef other = NewCursor();
    ZuGrailCursor::ShowNormalCursor();
    other = ZuGrailCursorNull;
    ZuObjectRef::RealiseDeletions();
    EXPECT_EQ(GetCursor(), Arrow());
    EXPECT_EQ(Zuvi_RetCurrentCursor(), Arrow());
}

} // namespace
