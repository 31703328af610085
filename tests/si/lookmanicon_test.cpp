// The look manager's icons: records by name and size.
#include <gtest/gtest.h>

#include "si/classfactory.h"
#include "si/lookman.h"
#include "si/memzone.h"
#include "tests/support/looks.h"

namespace {

class LookIcons : public LookTest {
protected:
    static const ZuLookManRef& Look() { return ZuLookMan::Current(); }

    // A record of the name with a normal rectangle of w x h.
    ZuIconRecordRef Record(const char* name, double w, double h, bool across = false)
    {
        ZuIconRecordRef r(ZuNew<ZuIconRecord>(Zuvi_sys_zone));
        r->Initialise(ZuAtomRef(name), sheet);
        r->DefineIcon(ZU_CTRL_STATE_NORMAL, ZuRect(0, 0, w - 1, h - 1));
        r->SetXStretchable(across);
        return r;
    }
    void AddThreeSizes()
    {
        for (double size : {16.0, 24.0, 32.0})
            ASSERT_TRUE(Look()->AddUserIcon(Record("Knob", size, size)));
    }
    void SetUp() override
    {
        LookTest::SetUp();
        sheet = NewPixmap(32, 64, 64);
    }
    // The pixmaps go before the runtime does.
    void TearDown() override
    {
        sheet = ZuGrailPixmapNull;
        LookTest::TearDown();
    }
    ZuGrailPixmapRef sheet;
};

TEST_F(LookIcons, BestSizeIsTheNearestNotLargerElseTheNearest)
{
    AddThreeSizes();
    struct Case {
        double w, h;
        bool found;
        double want_w, want_h;
    } const cases[] = {
        {20, 20, true, 16, 16},
        {24, 24, true, 24, 24},
        {40, 40, true, 32, 32},
        {0, 0, true, 16, 16},
        {8, 8, true, 16, 16},
        {30, 0, true, 24, 24},
        {0, 28, true, 24, 24},
        // Nothing narrow enough: the nearest by both sides.
        {8, 100, true, 32, 32},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << " x " << c.h);
        double w = c.w, h = c.h;
        ASSERT_EQ(Look()->GetBestIconSize(ZuAtomRef("Knob"), w, h), c.found);
        EXPECT_EQ(w, c.want_w);
        EXPECT_EQ(h, c.want_h);
    }
    double w = 20, h = 20;
    EXPECT_FALSE(Look()->GetBestIconSize(ZuAtomRef("NoIcon"), w, h));
    EXPECT_EQ(w, 20);
}

TEST_F(LookIcons, RecordsAreFoundBySizeOrStretching)
{
    AddThreeSizes();
    ZuIconRecordRef r;
    ASSERT_TRUE(Look()->GetIconRecord(ZuAtomRef("Knob"), 24, 0, r));
    double w, h;
    r->GetSize(w, h);
    EXPECT_EQ(w, 24);
    EXPECT_FALSE(Look()->GetIconRecord(ZuAtomRef("Knob"), 20, 0, r));
    ASSERT_TRUE(Look()->GetIconRecord(ZuAtomRef("Knob"), 0, 0, r));
    r->GetSize(w, h);
    EXPECT_EQ(w, 16);

    ASSERT_TRUE(Look()->AddUserIcon(Record("Bar", 8, 8, true)));
    ASSERT_TRUE(Look()->GetIconRecord(ZuAtomRef("Bar"), 123, 8, r));
    EXPECT_FALSE(Look()->GetIconRecord(ZuAtomRef("Bar"), 123, 9, r));

    // By position among the records of one name, and their sizes.
    ASSERT_TRUE(Look()->GetIconRecord(ZuAtomRef("Knob"), r, 2));
    r->GetSize(w, h);
    EXPECT_EQ(w, 32);
    EXPECT_FALSE(Look()->GetIconRecord(ZuAtomRef("Knob"), r, 3));
    EXPECT_TRUE(Look()->GetIconSize(ZuAtomRef("Knob"), w, h, 1));
    EXPECT_EQ(h, 24);
    EXPECT_FALSE(Look()->GetIconSize(ZuAtomRef("Knob"), w, h, 3));
}

TEST_F(LookIcons, UserIconsFillStatesOfOneRecordPerSize)
{
    const ZuAtomRef name("Check");
    ASSERT_TRUE(Look()->AddUserIcon(name, ZU_CTRL_STATE_NORMAL, sheet, ZuRect(0, 0, 15, 15)));
    ASSERT_TRUE(Look()->AddUserIcon(name, ZU_CTRL_STATE_ACTIVE, sheet, ZuRect(16, 0, 31, 15)));
    EXPECT_EQ(Look()->RetIconCount(), 1u);
    ZuIconRecordRef r;
    ASSERT_TRUE(Look()->GetIconRecord(name, r, 0));
    EXPECT_TRUE(r->RetIconRect(ZU_CTRL_STATE_ACTIVE) == ZuRect(16, 0, 31, 15));
    EXPECT_TRUE(r->RetSheet() == sheet);

    // Another size: a second record of the name.
    ASSERT_TRUE(Look()->AddUserIcon(name, ZU_CTRL_STATE_NORMAL, sheet, ZuRect(0, 16, 23, 39)));
    EXPECT_EQ(Look()->RetIconCount(), 2u);
    double w = 0, h = 0;
    ASSERT_TRUE(Look()->GetIconSize(name, w, h, 1));
    EXPECT_EQ(w, 24);
    EXPECT_EQ(h, 24);

    EXPECT_TRUE(Look()->FindNthIcon(1) == name);
    EXPECT_TRUE(Look()->FindNthIcon(2).IsInvalid());
    EXPECT_FALSE(Look()->AddUserIcon(ZuIconRecordNull));
    EXPECT_TRUE(Look()->RemoveUserIcon(name));
    EXPECT_EQ(Look()->RetIconCount(), 1u);
    EXPECT_TRUE(Look()->RemoveUserIcon(ZuAtomRef("NoIcon")));
}

} // namespace
