#include "si/cursorrecord.h"

#include <gtest/gtest.h>

#include "sd/win32/sd_grailcur.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "tests/support/ports.h"
#include "tests/support/storagetest.h"
#include "w32/cursor.h"
#include "zoveda/gfxsurface.h"

namespace {

class CursorRecordTest : public PortTest {
protected:
    void TearDown() override
    {
        ZuGrailCursor::ShowNormalCursor();
        PortTest::TearDown();
    }
    ZuCursorRecordRef NewRecord() { return ZuNew<ZuCursorRecord>(Zuvi_app_zone); }
    // A sheet of opaque black pixels.
    ZuGrailPixmapRef Sheet()
    {
        ZuGrailPixmapRef sheet = NewPixmap(32, 64, 64);
        GfxSurface* s = sheet->LockSurface();
        s->RectFill(0, 0, 64, 64, 0x00000000u);
        sheet->UnlockSurface(s);
        return sheet;
    }
    static HCURSOR Arrow() { return LoadCursorA(nullptr, IDC_ARROW); }
};

TEST_F(CursorRecordTest, ARecordKeepsItsNameSizeAndHotSpotAndCutsItsCursor)
{
    ZuCursorRecordRef record = NewRecord();
    EXPECT_TRUE(
        record->Initialise(ZuAtomRef("Zuvi_CursorHand"), Sheet(), ZuRect(5, 5, 44, 44), 7, 9));
    EXPECT_TRUE(record->RetName() == ZuAtomRef("Zuvi_CursorHand"));
    ZuAtomRef name;
    EXPECT_TRUE(record->GetName(name));
    EXPECT_TRUE(name == ZuAtomRef("Zuvi_CursorHand"));
    double dx = 0, dy = 0, x = 0, y = 0;
    EXPECT_TRUE(record->GetSize(dx, dy));
    EXPECT_TRUE(record->GetHotSpot(x, y));
    EXPECT_EQ(dx, 40);
    EXPECT_EQ(dy, 40);
    EXPECT_EQ(x, 7);
    EXPECT_EQ(y, 9);
    W32_Cursor* c = W32_CursorOf(record->RetGrailCursor()->RetHandle());
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->width, 32);
    EXPECT_EQ(c->x_hot, 7);
    EXPECT_EQ(W32_CursorPixel(c, 31, 31), 0xFF000000u);

    record->Activate();
    EXPECT_EQ(GetCursor(), c);
    EXPECT_EQ(Zuvi_RetCurrentCursor(), c);
}

TEST_F(CursorRecordTest, AnEmptyRegionActivatesTheArrow)
{
    ZuCursorRecordRef record = NewRecord();
    record->Initialise(ZuAtomRef("empty"), Sheet(), ZuRect(), 3, 3);
    double dx = 1, dy = 1;
    record->GetSize(dx, dy);
    EXPECT_EQ(dx, 0);
    EXPECT_EQ(dy, 0);
    EXPECT_EQ(record->RetGrailCursor()->RetHandle(), nullptr);
    ZuGrailCursor::HideCursor();
    record->Activate();
    EXPECT_EQ(GetCursor(), Arrow());
    EXPECT_EQ(Zuvi_RetCurrentCursor(), Arrow());
}

TEST_F(CursorRecordTest, ACursorOnTheScreenIsTakenOffBeforeItIsDestroyed)
{
    ZuCursorRecordRef record = NewRecord();
    record->Initialise(ZuAtomRef("a"), Sheet(), ZuRect(0, 0, 9, 9), 0, 0);
    record->Activate();
    ZuGrailCursorRef first = record->RetGrailCursor();
    void* shown = first->RetHandle();
    ASSERT_EQ(GetCursor(), shown);

    // A second initialisation replaces the platform cursor; the first one
    // goes with its last handle.
    record->Initialise(ZuAtomRef("a"), Sheet(), ZuRect(0, 0, 19, 19), 0, 0);
    EXPECT_FALSE(record->RetGrailCursor() == first);
    first = ZuGrailCursorNull;
    ZuObjectRef::RealiseDeletions();
    // Taken off (not replaced by the arrow), and the library's current
    // cursor does not keep the destroyed handle.
    EXPECT_EQ(GetCursor(), nullptr);
    EXPECT_EQ(Zuvi_RetCurrentCursor(), nullptr);

    // Deleting the record lets its cursor go.
    record->Activate();
    record->Delete();
    EXPECT_FALSE(record->RetGrailCursor().IsValid());
    ZuObjectRef::RealiseDeletions();
    EXPECT_EQ(GetCursor(), nullptr);
}

TEST_F(CursorRecordTest, RecordsAreNeverStored)
{
    ZuCursorRecordRef record = NewRecord();
    ZuTestStorageRef storage = ZuTestStorage::Make();
    storage->StartStoring();
    EXPECT_DEATH(storage->StoreObject(record), "StoreInstance not implemented");
}

} // namespace
