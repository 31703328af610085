// The look manager's cursors: records by name and the three names
// answered without them.
#include <gtest/gtest.h>

#include "sd/common/sd_grailcursor.h"
#include "si/classfactory.h"
#include "si/lookman.h"
#include "si/memzone.h"
#include "tests/support/looks.h"
#include "w32/winuser.h"

namespace {

class LookCursors : public LookTest {
protected:
    static const ZuLookManRef& Look() { return ZuLookMan::Current(); }
};

TEST_F(LookCursors, SelectingByName)
{
    EXPECT_FALSE(Look()->SelectCursor(ZuAtomRef("Zuvi_CursorDefault")));
    EXPECT_FALSE(Look()->SelectCursor(ZuAtomRef("Zuvi_CursorBusy")));
    EXPECT_FALSE(Look()->SelectCursor(ZuAtomNull));

    EXPECT_TRUE(Look()->SelectCursor(ZuAtomRef("Zuvi_CursorNone")));
    EXPECT_EQ(GetCursor(), nullptr);
    EXPECT_TRUE(Look()->SelectCursor(ZuAtomRef("Zuvi_CursorNormal")));
    EXPECT_NE(GetCursor(), nullptr);

    ZuGrailPixmapRef sheet = NewPixmap(32, 64, 32);
    const ZuAtomRef busy("Zuvi_CursorBusy");
    ZuCursorRecordRef record(ZuNew<ZuCursorRecord>(Zuvi_app_zone));
    record->Initialise(busy, sheet, ZuRect(0, 0, 15, 15), 3, 4);
    ASSERT_TRUE(Look()->AddUserCursor(record));
    EXPECT_EQ(Look()->RetCursorCount(), 1u);
    EXPECT_TRUE(Look()->FindNthCursor(0) == busy);
    EXPECT_TRUE(Look()->FindNthCursor(1).IsInvalid());
    ASSERT_TRUE(Look()->SelectCursor(busy));
    ASSERT_NE(record->RetGrailCursor()->RetHandle(), nullptr);
    EXPECT_EQ(GetCursor(), record->RetGrailCursor()->RetHandle());

    // The same name again re-initialises the first record.
    ASSERT_TRUE(Look()->AddUserCursor(busy, sheet, ZuRect(16, 0, 31, 15), 7, 8));
    EXPECT_EQ(Look()->RetCursorCount(), 1u);
    double x = 0, y = 0;
    record->GetHotSpot(x, y);
    EXPECT_EQ(x, 7);
    EXPECT_EQ(y, 8);

    // A new name makes a record.
    const ZuAtomRef beam("Zuvi_CursorIBeam");
    ASSERT_TRUE(Look()->AddUserCursor(beam, sheet, ZuRect(32, 0, 47, 15), 1, 1));
    EXPECT_EQ(Look()->RetCursorCount(), 2u);
    EXPECT_TRUE(Look()->SelectCursor(beam));
    EXPECT_NE(GetCursor(), record->RetGrailCursor()->RetHandle());

    EXPECT_TRUE(Look()->RemoveUserCursor(busy));
    EXPECT_FALSE(Look()->RemoveUserCursor(busy));
    EXPECT_FALSE(Look()->SelectCursor(busy));
    Look()->SelectCursor(ZuAtomRef("Zuvi_CursorNormal"));
}

} // namespace
