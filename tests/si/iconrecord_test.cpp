#include "si/iconrecord.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "si/classfactory.h"
#include "si/except.h"
#include "si/memzone.h"
#include "tests/support/ports.h"
#include "tests/support/storagetest.h"

namespace {

const unsigned kRed = 0x00FF0000u;
const unsigned kGreen = 0x0000FF00u;
const unsigned kBlue = 0x000000FFu;

class IconRecordTest : public PortTest {
protected:
    void SetUp() override
    {
        PortTest::SetUp();
        sheet = NewPixmap(32, 64, 32);
        target = NewPixmap(32, 120, 60);
    }
    // Paints a rectangle of the sheet in one colour.
    void FillSheet(const ZuRect& r, unsigned word)
    {
        sheet->BeginDraw(0, 0, 63, 31);
        sheet->SetPureColor(true);
        sheet->SetForeColor(ZuColorPixel(word));
        sheet->FillRect(r, 0);
        sheet->EndDraw();
    }
    ZuIconRecordRef NewRecord(const char* name)
    {
        ZuIconRecordRef r(ZuNew<ZuIconRecord>(Zuvi_sys_zone));
        r->Initialise(ZuAtomRef(name), sheet);
        return r;
    }
    void Paint(const ZuIconRecordRef& r, ZuCtrlState state, const ZuRect& where)
    {
        target->BeginDraw(0, 0, 119, 59);
        r->Paint(target, state, where, 0.0);
        target->EndDraw();
    }
    // The pixmaps go before the runtime does.
    void TearDown() override
    {
        sheet = ZuGrailPixmapNull;
        target = ZuGrailPixmapNull;
        PortTest::TearDown();
    }
    ZuGrailPixmapRef sheet;
    ZuGrailPixmapRef target;
};

TEST_F(IconRecordTest, StatesFallBackToTheirNeighbours)
{
    FillSheet(ZuRect(0, 0, 15, 15), kRed);
    FillSheet(ZuRect(16, 0, 31, 15), kGreen);
    ZuIconRecordRef only_normal = NewRecord("A");
    only_normal->DefineIcon(ZU_CTRL_STATE_NORMAL, ZuRect(0, 0, 15, 15));
    ZuIconRecordRef with_hot = NewRecord("B");
    with_hot->DefineIcon(ZU_CTRL_STATE_NORMAL, ZuRect(0, 0, 15, 15));
    with_hot->DefineIcon(ZU_CTRL_STATE_NORMAL_HOT, ZuRect(16, 0, 31, 15));

    struct Case {
        ZuCtrlState state;
        unsigned only_normal, with_hot;
    } const cases[] = {
        {ZU_CTRL_STATE_NORMAL, kRed, kRed},           {ZU_CTRL_STATE_NORMAL_HOT, kRed, kGreen},
        {ZU_CTRL_STATE_NORMAL_CLICKED, kRed, kGreen}, {ZU_CTRL_STATE_NORMAL_DIMMED, kRed, kRed},
        {ZU_CTRL_STATE_ACTIVE, kRed, kRed},           {ZU_CTRL_STATE_ACTIVE_HOT, kRed, kGreen},
        {ZU_CTRL_STATE_ACTIVE_CLICKED, kRed, kGreen}, {ZU_CTRL_STATE_ACTIVE_DIMMED, kRed, kRed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ZuCtrlStateRetName(c.state));
        Paint(only_normal, c.state, ZuRect(0, 0, 15, 15));
        EXPECT_EQ(Pixel(target, 5, 5), c.only_normal);
        Paint(with_hot, c.state, ZuRect(0, 0, 15, 15));
        EXPECT_EQ(Pixel(target, 5, 5), c.with_hot);
    }
    // A state outside 0 to 7 is refused and paints nothing.
    EXPECT_FALSE(with_hot->DefineIcon(static_cast<ZuCtrlState>(8), ZuRect(0, 0, 1, 1)));
    target = NewPixmap(32, 120, 60);
    Paint(with_hot, static_cast<ZuCtrlState>(9), ZuRect(0, 0, 15, 15));
    EXPECT_EQ(CountInked(target), 0u);
}

TEST_F(IconRecordTest, AnIconThatDoesNotStretchKeepsItsSize)
{
    FillSheet(ZuRect(0, 0, 15, 15), kRed);
    ZuIconRecordRef r = NewRecord("A");
    r->DefineIcon(ZU_CTRL_STATE_NORMAL, ZuRect(0, 0, 15, 15));
    Paint(r, ZU_CTRL_STATE_NORMAL, ZuRect(10, 5, 109, 54));
    EXPECT_EQ(CountInked(target), 256u);
    EXPECT_EQ(Pixel(target, 10, 5), kRed);
    EXPECT_EQ(Pixel(target, 25, 20), kRed);
    EXPECT_EQ(Pixel(target, 26, 20), 0u);
    EXPECT_EQ(Pixel(target, 25, 21), 0u);
    EXPECT_EQ(r->RetCacheCount(), 0u);
}

TEST_F(IconRecordTest, StretchedPaintingReusesOneScaledCopyPerSize)
{
    FillSheet(ZuRect(0, 0, 7, 15), kBlue);
    ZuIconRecordRef r = NewRecord("Bar");
    r->DefineIcon(ZU_CTRL_STATE_NORMAL, ZuRect(0, 0, 7, 15));
    r->SetXStretchable(true);
    Paint(r, ZU_CTRL_STATE_NORMAL, ZuRect(0, 0, 79, 40));
    EXPECT_EQ(CountInked(target), 80u * 16u);
    EXPECT_EQ(Pixel(target, 79, 15), kBlue);
    Paint(r, ZU_CTRL_STATE_NORMAL, ZuRect(0, 0, 79, 40));
    ASSERT_EQ(r->RetCacheCount(), 1u);
    EXPECT_EQ(r->RetCacheDef(0).use_count, 2u);
    EXPECT_EQ(r->RetCacheDef(0).width, 80.0);
    EXPECT_EQ(r->RetCacheDef(0).height, 16.0);
    EXPECT_LE(r->RetCacheDef(0).creation, r->RetCacheDef(0).last_use);
    Paint(r, ZU_CTRL_STATE_NORMAL, ZuRect(0, 0, 80, 40));
    ASSERT_EQ(r->RetCacheCount(), 2u);
    EXPECT_EQ(r->RetCacheDef(1).width, 81.0);
    EXPECT_EQ(r->RetCacheDef(1).index, 1u);
    EXPECT_EQ(r->RetCachePixmaps()->TotalCount(), 2u);

    // Stretching down takes the box's height too.
    ZuIconRecordRef both = NewRecord("Both");
    both->DefineIcon(ZU_CTRL_STATE_NORMAL, ZuRect(0, 0, 7, 15));
    both->SetXStretchable(true);
    both->SetYStretchable(true);
    target = NewPixmap(32, 120, 60);
    Paint(both, ZU_CTRL_STATE_NORMAL, ZuRect(0, 0, 29, 39));
    EXPECT_EQ(CountInked(target), 30u * 40u);
}

TEST_F(IconRecordTest, AStretchedIconInAnEmptyBoxPaintsNothing)
{
    FillSheet(ZuRect(0, 0, 7, 15), kBlue);
    ZuIconRecordRef r = NewRecord("Bar");
    r->DefineIcon(ZU_CTRL_STATE_NORMAL, ZuRect(0, 0, 7, 15));
    r->SetXStretchable(true);
    Paint(r, ZU_CTRL_STATE_NORMAL, ZuRect());
    EXPECT_EQ(CountInked(target), 0u);
    EXPECT_EQ(r->RetCacheCount(), 0u);
    // A stretchable icon whose own rectangle is empty does not either.
    ZuIconRecordRef empty = NewRecord("Empty");
    empty->SetYStretchable(true);
    Paint(empty, ZU_CTRL_STATE_NORMAL, ZuRect(0, 0, 30, 30));
    EXPECT_EQ(CountInked(target), 0u);
    EXPECT_EQ(empty->RetCacheCount(), 0u);
}

TEST_F(IconRecordTest, FillTilesTheAreaAndCutsTheLastTiles)
{
    FillSheet(ZuRect(0, 0, 9, 9), kRed);
    FillSheet(ZuRect(0, 0, 0, 9), kBlue);
    ZuIconRecordRef r = NewRecord("Tile");
    r->DefineIcon(ZU_CTRL_STATE_NORMAL, ZuRect(0, 0, 9, 9));
    target->BeginDraw(0, 0, 119, 59);
    r->Fill(target, ZU_CTRL_STATE_ACTIVE, ZuRect(0, 0, 24, 9), 0.0);
    target->EndDraw();
    EXPECT_EQ(CountInked(target), 250u);
    EXPECT_EQ(Picture(target, 0, 0, 26, 0), std::string("##########"
                                                        "##########"
                                                        "#####..\n"));
    for (int x : {0, 10, 20})
        EXPECT_EQ(Pixel(target, x, 4), kBlue) << x;
    EXPECT_EQ(Pixel(target, 24, 4), kRed);

    // A tile cut at the bottom too.
    target = NewPixmap(32, 120, 60);
    target->BeginDraw(0, 0, 119, 59);
    r->Fill(target, ZU_CTRL_STATE_NORMAL, ZuRect(5, 5, 19, 17), 0.0);
    target->EndDraw();
    EXPECT_EQ(CountInked(target), 15u * 13u);

    // A record without image tiles nothing (and does not loop).
    ZuIconRecordRef empty = NewRecord("Empty");
    target = NewPixmap(32, 120, 60);
    target->BeginDraw(0, 0, 119, 59);
    empty->Fill(target, ZU_CTRL_STATE_NORMAL, ZuRect(0, 0, 50, 50), 0.0);
    target->EndDraw();
    EXPECT_EQ(CountInked(target), 0u);
}

TEST_F(IconRecordTest, EntryExitAndAdvance)
{
    ZuIconRecordRef r = NewRecord("Chain");
    r->DefineIcon(ZU_CTRL_STATE_NORMAL, ZuRect(0, 0, 11, 5));
    double x = -1, y = -1;
    EXPECT_FALSE(r->GetEntryPoint(x, y));
    EXPECT_EQ(x, 0);
    EXPECT_FALSE(r->GetExitPoint(x, y));
    EXPECT_EQ(x, 12);
    EXPECT_EQ(y, 0);
    r->DefineExitPoint(10, 0);
    double dx = 0, dy = 0;
    EXPECT_FALSE(r->GetAdvance(dx, dy));
    EXPECT_EQ(dx, 10);
    EXPECT_EQ(dy, 0);
    r->DefineEntryPoint(2, 1);
    EXPECT_TRUE(r->GetAdvance(dx, dy));
    EXPECT_EQ(dx, 8);
    EXPECT_EQ(dy, -1);
    r->DefineMosaicID(4);
    EXPECT_EQ(r->RetMosaicID(), 4u);
    ZuAtomRef name;
    EXPECT_TRUE(r->GetName(name));
    EXPECT_TRUE(name == "Chain");
}

TEST_F(IconRecordTest, StatisticsListTheScaledCopies)
{
    FillSheet(ZuRect(0, 0, 7, 15), kBlue);
    ZuIconRecordRef r = NewRecord("Bar");
    r->DefineIcon(ZU_CTRL_STATE_NORMAL, ZuRect(0, 0, 7, 15));
    r->DefineIcon(ZU_CTRL_STATE_ACTIVE, ZuRect(0, 0, 7, 15));
    r->SetXStretchable(true);
    FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    r->DumpStatistics(out);
    EXPECT_EQ(std::ftell(out), 0L);
    Paint(r, ZU_CTRL_STATE_NORMAL, ZuRect(0, 0, 79, 5));
    Paint(r, ZU_CTRL_STATE_NORMAL, ZuRect(0, 0, 79, 5));
    Paint(r, ZU_CTRL_STATE_ACTIVE, ZuRect(0, 0, 4, 5));
    r->DumpStatistics(out);
    std::rewind(out);
    char text[256] = {};
    std::size_t const n = std::fread(text, 1, sizeof text - 1, out);
    std::fclose(out);
    EXPECT_EQ(std::string(text, n), "Icon 'Bar'\n"
                                    "  00\t080 x 016\t2\tZU_CTRL_STATE_NORMAL\n"
                                    "  01\t005 x 016\t1\tZU_CTRL_STATE_ACTIVE\n"
                                    "\n");
}

TEST_F(IconRecordTest, CacheDefinitionsGrowByTheirStep)
{
    Zuvi_IconCacheDefArray defs(10);
    EXPECT_EQ(defs.RetCapacity(), 0u);
    defs[0].use_count = 3;
    EXPECT_EQ(defs.RetCapacity(), 10u);
    EXPECT_EQ(defs[9].use_count, 0u);
    defs[12].width = 5;
    EXPECT_EQ(defs.RetCapacity(), 22u);
    EXPECT_EQ(defs[0].use_count, 3u);
    Zuvi_IconCacheDefArray fixed(0);
    EXPECT_THROW(fixed[0], ZuExcAccess);

    // Stored field by field and read back in the same order.
    Zuvi_IconCacheDef def = {3, 80.0, 16.0, ZU_CTRL_STATE_ACTIVE_HOT, -5, 123456789, 7};
    ZuTestStorageRef s = ZuTestStorage::Make();
    s->StartStoring();
    s << def;
    s->StartRestoring(s->Bytes());
    Zuvi_IconCacheDef back;
    back.Zero();
    s >> back;
    EXPECT_EQ(back.index, 3u);
    EXPECT_EQ(back.width, 80.0);
    EXPECT_EQ(back.height, 16.0);
    EXPECT_EQ(back.state, ZU_CTRL_STATE_ACTIVE_HOT);
    EXPECT_EQ(back.last_use, -5);
    EXPECT_EQ(back.creation, 123456789);
    EXPECT_EQ(back.use_count, 7u);
}

TEST_F(IconRecordTest, StoringARecordStops)
{
    ZuIconRecordRef r = NewRecord("A");
    EXPECT_DEATH(
        {
            ZuTestStorageRef s = ZuTestStorage::Make();
            s->StartStoring();
            s << ZuObjectRef(r);
        },
        "StoreInstance not implemented");
}

} // namespace
