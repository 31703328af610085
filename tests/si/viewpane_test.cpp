// The view pane: offsets, ratios, the views it locks and shows, its
// drawing, copying and stored form.
#include <gtest/gtest.h>

#include "si/classfactory.h"
#include "si/gridlayout.h"
#include "si/memzone.h"
#include "si/selectcon.h"
#include "si/values.h"
#include "si/viewpane.h"
#include "tests/support/itemviews.h"
#include "tests/support/controls.h"
#include "tests/support/looks.h"

namespace {

const unsigned kRed = 0x00FF0000u;
const unsigned kGreen = 0x0000FF00u;
const unsigned kBlue = 0x000000FFu;

// A pane of 100 x 50 at (10, 10) over items laid out in one row.
class ViewPaneTest : public LookTest {
protected:
    void SetUp() override
    {
        LookTest::SetUp();
        arch = TItemArchitect::Make();
    }
    void TearDown() override
    {
        if (pane.IsValid())
            pane->Delete();
        if (provider.IsValid())
            provider->Delete();
        pane = ZuViewPaneRef();
        provider = ZuViewProviderRef();
        layout = ZuGridLayoutRef();
        arch = TItemArchitectRef();
        ZuObjectRef::RealiseDeletions();
        LookTest::TearDown();
    }
    void MakePane(const std::vector<TItemSpec>& specs, unsigned attributes = 1)
    {
        items = NewItems(specs);
        provider = ZuNew<ZuViewProvider>(Zuvi_app_zone);
        provider->Initialise(items, arch, 4, attributes);
        layout = ZuNew<ZuGridLayout>(Zuvi_app_zone);
        layout->Initialise(items, arch, static_cast<unsigned>(specs.size()), 1, 0, 0, true, true);
        pane = ZuNew<ZuViewPane>(Zuvi_app_zone);
        pane->SetBox(ZuRect(10, 10, 109, 59));
        pane->Initialise(provider, layout);
        pane->UpdateContents(true);
    }
    // The labels of the pane's children, front last.
    std::string Children() const
    {
        std::string out;
        ZuViewRef c;
        for (pane->GetFirstChild(c); c.IsValid();) {
            ZuViewRef content;
            ZuProviderViewRef(c)->GetContents(0, content);
            out += content.IsValid() ? TProbeViewRef(content)->label : "?";
            ZuViewRef next;
            c->GetNextSibling(next);
            c = next;
        }
        return out;
    }
    TItemArchitectRef arch;
    ZuArrayRef items;
    ZuViewProviderRef provider;
    ZuGridLayoutRef layout;
    ZuViewPaneRef pane;
};

const std::vector<TItemSpec> kThreeWide = {{100, 50, kRed}, {100, 50, kGreen}, {100, 50, kBlue}};

} // namespace

TEST_F(ViewPaneTest, OffsetsAreClamped)
{
    MakePane(kThreeWide);
    EXPECT_TRUE(pane->SetOffset(-0.5, 2));
    double x = -1, y = -1;
    pane->GetOffset(x, y);
    EXPECT_EQ(0, x);
    EXPECT_EQ(1, y);
    ZuValueRef value;
    ASSERT_TRUE(pane->QueryData(ZuAtomRef("y_offset"), value));
    EXPECT_EQ(1, Zuvi_ValueToReal(value));
    ASSERT_TRUE(pane->DefineData(ZuAtomRef("x_offset"), ZuValueRef(0.25)));
    EXPECT_EQ(0.25, pane->RetHorizontalOffset());
    EXPECT_FALSE(pane->DefineData(ZuAtomRef("x_ratio"), ZuValueRef(0.25)));
}

TEST_F(ViewPaneTest, OnlyTheVisibleItemIsLockedAndShown)
{
    MakePane(kThreeWide);
    EXPECT_EQ("0", Children());
    pane->SetOffset(0.5, 0);
    EXPECT_EQ("1", Children());
    ZuViewRef shown;
    ASSERT_TRUE(provider->GetLockedView(0, shown));
    EXPECT_EQ(1u, ZuProviderViewRef(shown)->RetIndex());
    EXPECT_FALSE(provider->GetLockedView(1, shown));
    EXPECT_EQ(ZuRect(10, 10, 109, 59), shown->RetBox());
    double w = 0, h = 0;
    pane->GetSurfaceSize(w, h);
    EXPECT_EQ(300, w);
    EXPECT_EQ(50, h);
    EXPECT_DOUBLE_EQ(1.0 / 3, pane->RetHorizontalRatio());
    EXPECT_EQ(1, pane->RetVerticalRatio());
    // Half way between two items both show.
    pane->SetOffset(0.25, 0);
    EXPECT_EQ("01", Children());
}

TEST_F(ViewPaneTest, TheLayoutMaySnapTheScrollPosition)
{
    MakePane(kThreeWide);
    struct Case {
        bool snap;
        double offset;
        const char* shown;
    } const cases[] = {
        {false, 0.49, "01"}, // 98 units in: two items meet the pane
        {true, 0.49, "0"},   // back to the first item's edge
        {true, 0.499, "1"},  // within a quarter of its end: the next edge
    };
    for (const Case& c : cases) {
        layout->SetConstrainMode(c.snap, false);
        pane->SetOffset(0, 0);
        pane->SetOffset(c.offset, 0);
        EXPECT_EQ(c.shown, Children()) << c.offset;
    }
}

TEST_F(ViewPaneTest, ASmallSurfaceStaysAtTheOrigin)
{
    MakePane({{20, 10, kRed}, {20, 10, kGreen}, {20, 10, kBlue}});
    pane->SetOffset(1, 1);
    EXPECT_EQ("012", Children());
    ZuViewRef first;
    ASSERT_TRUE(pane->GetFirstChild(first));
    EXPECT_EQ(10, first->RetBox().X1());
    EXPECT_EQ(10, first->RetBox().Y1());
    EXPECT_EQ(1, pane->RetHorizontalRatio());
    EXPECT_EQ(1, pane->RetVerticalRatio());
}

TEST_F(ViewPaneTest, PresentOffsetsDoNotRefill)
{
    MakePane(kThreeWide);
    pane->SetOffset(0.5, 0);
    ZuViewRef shown;
    ASSERT_TRUE(pane->GetFirstChild(shown));
    shown->SetParent(ZuViewNull);
    pane->SetOffset(0.5, 0);
    EXPECT_EQ("", Children());
    pane->SetOffset(0.5, 0.5);
    EXPECT_EQ("1", Children());
}

TEST_F(ViewPaneTest, ItemsTheProviderRefusesAreLeftOut)
{
    // A provider without attributes serves no view.
    MakePane(kThreeWide, 0);
    EXPECT_EQ("", Children());
    pane->SetOffset(1, 0);
    EXPECT_EQ("", Children());
}

TEST_F(ViewPaneTest, DrawsItsBackAndTheVisibleItems)
{
    MakePane({{30, 50, kRed}, {30, 50, kGreen}, {30, 50, kBlue}});
    struct Case {
        bool back;
        unsigned right;
    } const cases[] = {{true, kBlue}, {false, 0u}};
    for (const Case& c : cases) {
        pane->SetBackColor(c.back ? ZuColorPixel(kBlue) : ZuColorPixel(ZU_COLOR_NONE));
        ZuGrailPixmapRef port = NewPixmap(32, 120, 70);
        port->BeginDraw(0, 0, 119, 69);
        pane->Draw(port, pane->RetBox(), ZU_DRAW_ALL);
        port->EndDraw();
        EXPECT_EQ(kRed, Pixel(port, 10, 10));
        EXPECT_EQ(kGreen, Pixel(port, 40, 59));
        EXPECT_EQ(kBlue, Pixel(port, 99, 30));
        EXPECT_EQ(c.right, Pixel(port, 100, 30)) << c.back;
        EXPECT_EQ(c.right, Pixel(port, 109, 59)) << c.back;
        EXPECT_EQ(0u, Pixel(port, 110, 30));
        port->Delete();
    }
}

TEST_F(ViewPaneTest, TreesHoldingAPaneCanBeCloned)
{
    MakePane(kThreeWide);
    pane->SetOffset(0.5, 0);
    pane->SetBackColor(ZuColorPixel(kGreen));
    TProbeViewRef holder = TProbeView::Make("holder", 0, 0, 199, 99);
    pane->SetParent(holder);
    TProbeViewRef copy(holder->Clone());
    ASSERT_TRUE(copy.IsValid());
    ZuViewRef child;
    ASSERT_TRUE(copy->GetFirstChild(child));
    ZuViewPaneRef other(child);
    ASSERT_TRUE(other.IsValid());
    EXPECT_TRUE(other != pane);
    EXPECT_TRUE(other->RetProvider() == provider);
    EXPECT_TRUE(other->RetLayout() == layout);
    EXPECT_EQ(0.5, other->RetHorizontalOffset());
    EXPECT_TRUE(other->RetBackColor() == ZuColorPixel(kGreen));
    EXPECT_EQ(pane->RetBox(), other->RetBox());
    // The provider's views stay with the pane that shows them.
    EXPECT_FALSE(other->GetFirstChild(child));
    EXPECT_EQ("1", Children());
    // Copying from something that is no pane changes nothing.
    EXPECT_TRUE(other->Copy(holder) == other);
    EXPECT_EQ(0.5, other->RetHorizontalOffset());
    pane->SetParent(ZuViewNull);
    holder->Delete();
    copy->Delete();
}

TEST_F(ViewPaneTest, StoredPaneShowsItsItemsOnceGivenAModel)
{
    MakePane(kThreeWide);
    pane->SetOffset(1, 0);
    pane->SetBackColor(ZuColorPixel(kRed));
    pane->RemoveAllChildren(false);
    ZuViewPaneRef back(StoredAndRead(pane));
    ASSERT_TRUE(back.IsValid());
    EXPECT_EQ(1, back->RetHorizontalOffset());
    EXPECT_TRUE(back->RetBackColor() == ZuColorPixel(kRed));
    ASSERT_TRUE(back->RetProvider().IsValid());
    ASSERT_TRUE(back->RetLayout().IsValid());
    // Awake filled it, but the provider read back has no model yet.
    ZuViewRef child;
    EXPECT_FALSE(back->GetFirstChild(child));
    back->RetProvider()->SetProviderViewModel(ZuNew<ZuProviderView>(Zuvi_app_zone));
    back->UpdateContents(true);
    ASSERT_TRUE(back->GetFirstChild(child));
    EXPECT_EQ(2u, ZuProviderViewRef(child)->RetIndex());
    ZuViewProviderRef back_provider = back->RetProvider();
    back->Delete();
    back_provider->Delete();
}

namespace {

// A pane in a shown window, clicked as a user clicks it.
class ViewPaneClickTest : public ControlTest {
protected:
    void TearDown() override
    {
        provider->Delete();
        provider = ZuViewProviderRef();
        ControlTest::TearDown();
    }
    ZuViewProviderRef provider;
};

} // namespace

TEST_F(ViewPaneClickTest, AClickedItemIsTheLastTouched)
{
    TItemArchitectRef arch = TItemArchitect::Make();
    ZuArrayRef items = NewItems(kThreeWide);
    provider = ZuNew<ZuViewProvider>(Zuvi_app_zone);
    provider->Initialise(items, arch, 4, 1);
    ZuGridLayoutRef layout = ZuNew<ZuGridLayout>(Zuvi_app_zone);
    layout->Initialise(items, arch, 3, 1, 0, 0, true, true);
    ZuViewPaneRef pane = ZuNew<ZuViewPane>(Zuvi_app_zone);
    pane->SetBox(ZuRect(10, 10, 109, 59));
    pane->Initialise(provider, layout);
    pane->SetParent(w);
    pane->UpdateContents(true);
    pane->SetOffset(0.5, 0);
    w->AddDelayedDisplay(w->RetBox(), true);
    w->RedrawDelayedDisplay();
    EXPECT_EQ(kGreen, WindowPixel(50, 30));

    unsigned index = 99;
    EXPECT_FALSE(provider->GetLastTouchedView(index));
    Mouse(50, 30, MK_LBUTTON);
    Mouse(50, 30, 0);
    ASSERT_TRUE(provider->GetLastTouchedView(index));
    EXPECT_EQ(1u, index);
}

TEST_F(ViewPaneClickTest, TheSelectionFollowsClicksAndReachesNewViews)
{
    TItemArchitectRef arch = TItemArchitect::Make();
    ZuArrayRef items = NewItems(kThreeWide);
    provider = ZuNew<ZuViewProvider>(Zuvi_app_zone);
    provider->Initialise(items, arch, 4, 1);
    ZuSelectConRef con = ZuNew<ZuSelectCon>(Zuvi_app_zone);
    con->Initialise(ZU_SELECT_ONE, ZuObjectNull);
    ZuSelectConRef first = ZuNew<ZuSelectCon>(Zuvi_app_zone);
    provider->SetSelectCon(first);
    EXPECT_TRUE(first->RetProvider() == provider);
    provider->SetSelectCon(con);
    EXPECT_TRUE(first->RetProvider().IsInvalid());
    EXPECT_TRUE(con->RetProvider() == provider);
    ZuGridLayoutRef layout = ZuNew<ZuGridLayout>(Zuvi_app_zone);
    layout->Initialise(items, arch, 3, 1, 0, 0, true, true);
    ZuViewPaneRef pane = ZuNew<ZuViewPane>(Zuvi_app_zone);
    pane->SetBox(ZuRect(10, 10, 109, 59));
    pane->Initialise(provider, layout);
    pane->SetParent(w);
    pane->UpdateContents(true);
    pane->SetOffset(0.5, 0);

    Mouse(50, 30, MK_LBUTTON);
    Mouse(50, 30, 0);
    EXPECT_EQ(1u, con->RetActiveRank());
    ZuViewRef shown;
    ASSERT_TRUE(provider->GetView(1, shown));
    EXPECT_TRUE(shown->RetState().TestBit(ZU_VIEW_IS_ON));

    // Scrolled away and its line flushed, the item gets a new view when it
    // shows again: the controller turns it on.
    pane->SetOffset(1, 0);
    provider->FlushUnlockedCacheLines();
    pane->SetOffset(0.5, 0);
    ZuViewRef again;
    ASSERT_TRUE(provider->GetView(1, again));
    EXPECT_TRUE(again != shown);
    EXPECT_TRUE(again->RetState().TestBit(ZU_VIEW_IS_ON));
    provider->SetSelectCon(ZuSelectConRef());
}
