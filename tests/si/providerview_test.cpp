// The provider view: its contents per attribute, the child it must not
// delete, its box checks, its back colour and its stored form.
#include <gtest/gtest.h>

#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/providerview.h"
#include "si/viewprovider.h"
#include "si/rtclass.h"
#include "si/values.h"
#include "tests/support/itemviews.h"
#include "tests/support/looks.h"

// A view that counts the deletions it receives.
ZU_HANDLE(TCountedView, ZuView)
class TCountedView : public ZuView {
    ZU_CLASS(TCountedView, ZuView)
public:
    TCountedView() {}
    void Delete() override
    {
        ++deletions;
        ZuView::Delete();
    }
    unsigned deletions = 0;
};
ZU_CLASS_END(TCountedView)
ZU_IMPLEMENT_CLASS(TCountedView, "tests/si/providerview_test", ZU_CLASS_PLAIN)

namespace {

class ProviderViewTest : public LookTest {
protected:
    void SetUp() override
    {
        LookTest::SetUp();
        pv = ZuNew<ZuProviderView>(Zuvi_app_zone);
        pv->Initialise(ZuViewProviderRef(), 3, 2, ZuRect(10, 20, 59, 39));
    }
    void TearDown() override
    {
        pv->Delete();
        pv = ZuProviderViewRef();
        ZuObjectRef::RealiseDeletions();
        LookTest::TearDown();
    }
    static TCountedViewRef Counted()
    {
        TCountedViewRef v = ZuNew<TCountedView>(Zuvi_app_zone);
        v->SetBox(ZuRect(0, 0, 9, 9));
        return v;
    }
    ZuProviderViewRef pv;
};

} // namespace

TEST_F(ProviderViewTest, ReplacedContentsAreDeletedUnlessKept)
{
    TCountedViewRef a = Counted(), b = Counted(), c = Counted();
    ASSERT_TRUE(pv->SetContents(0, a));
    EXPECT_TRUE(a->RetParent() == pv);
    EXPECT_EQ(10, a->RetBox().X1());
    EXPECT_EQ(20, a->RetBox().Y1());
    // The same view again changes nothing.
    ASSERT_TRUE(pv->SetContents(0, a));
    EXPECT_EQ(0u, a->deletions);
    EXPECT_TRUE(a->RetParent() == pv);

    ASSERT_TRUE(pv->SetContents(0, b));
    EXPECT_EQ(1u, a->deletions);
    EXPECT_TRUE(a->RetParent().IsInvalid());
    ZuViewRef got;
    ASSERT_TRUE(pv->GetContents(0, got));
    EXPECT_TRUE(got == b);

    // The child not to delete is only detached.
    pv->SetNoDeleteChild(b);
    ASSERT_TRUE(pv->SetContents(0, c));
    EXPECT_EQ(0u, b->deletions);
    EXPECT_TRUE(b->RetParent().IsInvalid());

    pv->DiscardContents();
    EXPECT_EQ(1u, c->deletions);
    ASSERT_TRUE(pv->GetContents(0, got));
    EXPECT_TRUE(got.IsInvalid());
}

TEST_F(ProviderViewTest, AttributesBeyondTheCountAreRefused)
{
    ZuViewRef got;
    EXPECT_FALSE(pv->SetContents(2, Counted()));
    EXPECT_FALSE(pv->GetContents(2, got));
    EXPECT_TRUE(pv->GetContents(1, got));
    EXPECT_TRUE(got.IsInvalid());
    ZuValueRef value;
    ASSERT_TRUE(pv->QueryData(ZuAtomRef("num_attributes"), value));
    EXPECT_EQ(2u, static_cast<unsigned>(value));
    ASSERT_TRUE(pv->QueryData(ZuAtomRef("index"), value));
    EXPECT_EQ(3u, static_cast<unsigned>(value));
    EXPECT_FALSE(pv->DefineData(ZuAtomRef("index"), ZuValueRef(7u)));
    EXPECT_EQ(3u, pv->RetIndex());
}

TEST_F(ProviderViewTest, BoxCheckTellsWhetherTheSizeChanged)
{
    struct Case {
        ZuRect box;
        bool same_size;
    } const cases[] = {
        {ZuRect(10, 20, 59, 39), true}, // the present box
        {ZuRect(30, 5, 79, 24), true},  // moved
        {ZuRect(30, 5, 80, 24), false}, // wider
        {ZuRect(30, 5, 80, 23), false}, // lower
        {ZuRect(0, 0, 50, 18), true},   // moved again, same size
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.same_size, pv->SetBoxAndCheckSize(c.box)) << c.box.X2();
        EXPECT_TRUE(pv->RetBox() == c.box);
    }
}

TEST_F(ProviderViewTest, RemovingAllChildrenKeepsTheOneNotToDelete)
{
    TCountedViewRef a = Counted(), kept = Counted();
    pv->SetContents(0, a);
    pv->SetContents(1, kept);
    pv->SetNoDeleteChild(kept);
    pv->RemoveAllChildren(true);
    EXPECT_EQ(1u, a->deletions);
    EXPECT_EQ(0u, kept->deletions);
    EXPECT_TRUE(kept->RetParent().IsInvalid());
    ZuViewRef none;
    pv->GetNoDeleteChild(none);
    EXPECT_TRUE(none.IsInvalid());
}

TEST_F(ProviderViewTest, BackColourFillsTheBoxOnly)
{
    const unsigned kRed = 0x00FF0000u;
    struct Case {
        bool coloured;
        unsigned inside;
    } const cases[] = {{true, kRed}, {false, 0u}};
    for (const Case& c : cases) {
        ZuGrailPixmapRef port = NewPixmap(32, 80, 50);
        pv->SetBackColor(c.coloured ? ZuColorPixel(kRed) : ZuColorPixel(ZU_COLOR_NONE));
        port->BeginDraw(0, 0, 79, 49);
        pv->Draw(port, pv->RetBox(), ZU_DRAW_ALL);
        port->EndDraw();
        EXPECT_EQ(c.inside, Pixel(port, 10, 20)) << c.coloured;
        EXPECT_EQ(c.inside, Pixel(port, 59, 39)) << c.coloured;
        EXPECT_EQ(0u, Pixel(port, 9, 20)) << c.coloured;
        EXPECT_EQ(0u, Pixel(port, 60, 39)) << c.coloured;
        port->Delete();
    }
}

TEST_F(ProviderViewTest, ClonesKeepTheBackColour)
{
    pv->SetBackColor(ZuColorPixel(0x00123456u));
    ZuProviderViewRef clone(pv->Clone());
    ASSERT_TRUE(clone.IsValid());
    EXPECT_TRUE(clone->RetBackColor() == ZuColorPixel(0x00123456u));
    EXPECT_TRUE(clone->RetStyle().TestBit(ZU_CTRL_IGNORE_HOT));
    clone->Delete();
}

TEST_F(ProviderViewTest, StoredViewKeepsItsContents)
{
    TProbeViewRef shown = TProbeView::Make("shown", 0, 0, 4, 4);
    pv->SetContents(1, shown);
    pv->SetBackColor(ZuColorPixel(0x00ABCDEFu));
    ZuProviderViewRef back(StoredAndRead(pv));
    ASSERT_TRUE(back.IsValid());
    EXPECT_EQ(3u, back->RetIndex());
    EXPECT_EQ(2u, back->RetAttributeCount());
    EXPECT_TRUE(back->RetBackColor() == ZuColorPixel(0x00ABCDEFu));
    ZuViewRef got;
    ASSERT_TRUE(back->GetContents(1, got));
    ASSERT_TRUE(got.IsValid());
    EXPECT_TRUE(got->RetParent() == back);
    EXPECT_TRUE(back->GetContents(0, got));
    EXPECT_TRUE(got.IsInvalid());
    back->Delete();
}
