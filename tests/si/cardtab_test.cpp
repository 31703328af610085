// The card tab: its length along the row, where its label sits by layout
// and state, the label kept when set again and let go on Initialise, and
// the tab kept in storage.
#include "si/cardtab.h"

#include <gtest/gtest.h>

#include "si/memzone.h"
#include "tests/support/itemviews.h"
#include "tests/support/looks.h"
#include "tests/support/views.h"

namespace {

class CardTabTest : public LookTest {
protected:
    void SetUp() override
    {
        LookTest::SetUp();
        tab = ZuNew<ZuCardTab>(Zuvi_app_zone);
    }
    void TearDown() override
    {
        tab->Delete();
        tab = ZuCardTabRef();
        ZuObjectRef::RealiseDeletions();
        LookTest::TearDown();
    }
    static std::string Origin(const ZuViewRef& v)
    {
        double x = 0, y = 0;
        v->GetOrigin(x, y);
        return std::to_string(int(x)) + "," + std::to_string(int(y));
    }
    ZuCardTabRef tab;
};

} // namespace

TEST_F(CardTabTest, TheLabelSitsSixInsideAndMovesAwayFromTheCardWhenOn)
{
    EXPECT_EQ(tab->RetDesiredWidth(), 22.0);
    struct Case {
        ZuTabLayout layout;
        ZuRect box;
        bool on;
        const char* origin;
        double desired;
    } const cases[] = {
        {ZU_TAB_LAYOUT_TOP, ZuRect(100, 10, 151, 33), false, "106,16", 52},
        {ZU_TAB_LAYOUT_TOP, ZuRect(100, 10, 151, 33), true, "106,15", 52},
        {ZU_TAB_LAYOUT_BOTTOM, ZuRect(100, 10, 151, 33), false, "106,13", 52},
        {ZU_TAB_LAYOUT_BOTTOM, ZuRect(100, 10, 151, 33), true, "106,14", 52},
        {ZU_TAB_LAYOUT_LEFT, ZuRect(100, 10, 123, 61), true, "105,16", 26},
        {ZU_TAB_LAYOUT_RIGHT, ZuRect(170, 10, 199, 61), false, "153,16", 26},
        {ZU_TAB_LAYOUT_RIGHT, ZuRect(170, 10, 199, 61), true, "154,16", 26},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(ZuTabLayoutRetName(c.layout)) + (c.on ? " on" : " off"));
        TProbeViewRef label = TProbeView::Make("label", 0, 0, 39, 13);
        tab->Initialise(c.layout);
        tab->SetBox(c.box);
        tab->ChangeState(ZU_VIEW_IS_ON, c.on, false);
        ASSERT_TRUE(tab->SetContents(label));
        EXPECT_EQ(label->RetParent(), tab);
        EXPECT_EQ(Origin(label), c.origin);
        EXPECT_EQ(label->RetState().TestBit(ZU_VIEW_IS_ON), c.on);
        EXPECT_TRUE(label->RetState().TestBit(ZU_VIEW_NO_DETECT));
        EXPECT_EQ(tab->RetDesiredWidth(), c.desired);
        tab->Initialise(ZU_TAB_LAYOUT_TOP);
        EXPECT_TRUE(label->RetParent().IsInvalid());
        EXPECT_TRUE(tab->RetContents().IsInvalid());
        label->Delete();
    }
    // A label 30 wide in a tab whose box ends at 199.
    TProbeViewRef thin = TProbeView::Make("thin", 0, 0, 29, 9);
    tab->Initialise(ZU_TAB_LAYOUT_RIGHT);
    tab->SetBox(ZuRect(175, 0, 199, 50));
    tab->ChangeState(ZU_VIEW_IS_ON, false, false);
    tab->SetContents(thin);
    EXPECT_EQ(Origin(thin), "163,6");
    tab->Initialise(ZU_TAB_LAYOUT_RIGHT);
    thin->Delete();
}

TEST_F(CardTabTest, TheSameLabelTwiceIsNotPlacedAgainAndANewOneReplacesIt)
{
    tab->SetBox(ZuRect(100, 10, 151, 33));
    TProbeViewRef a = TProbeView::Make("a", 0, 0, 39, 13), b = TProbeView::Make("b", 0, 0, 9, 9);
    tab->SetContents(a);
    a->SetOrigin(0, 0);
    EXPECT_TRUE(tab->SetContents(a));
    EXPECT_EQ(Origin(a), "0,0");
    EXPECT_EQ(a->RetParent(), tab);
    tab->SetContents(b);
    EXPECT_TRUE(a->RetParent().IsInvalid());
    EXPECT_EQ(b->RetParent(), tab);
    EXPECT_EQ(tab->RetDesiredWidth(), 22.0);
    tab->SetContents(ZuViewRef());
    EXPECT_TRUE(b->RetParent().IsInvalid());
    a->Delete();
    b->Delete();
}

TEST_F(CardTabTest, StorageKeepsLayoutLabelAndPosition)
{
    tab->Initialise(ZU_TAB_LAYOUT_LEFT);
    tab->SetBox(ZuRect(0, 0, 23, 51));
    tab->SetContents(TProbeView::Make("label", 0, 0, 9, 39));
    tab->SetPosition(-1);
    ZuCardTabRef read(StoredAndRead(tab));
    ASSERT_TRUE(read.IsValid());
    EXPECT_EQ(read->RetLayout(), ZU_TAB_LAYOUT_LEFT);
    EXPECT_EQ(read->RetPosition(), -1);
    ASSERT_TRUE(read->RetContents().IsValid());
    EXPECT_EQ(read->RetContents()->RetParent(), read);
    EXPECT_EQ(read->RetDesiredWidth(), 52);
    read->Delete();
}
