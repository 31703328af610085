// The scroll view: its position in units and fractions, its children, and
// the scrollers it talks to by name.
#include <gtest/gtest.h>

#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/pubdata.h"
#include "si/rtclass.h"
#include "si/scrollview.h"
#include "si/types.h"
#include "si/values.h"
#include "tests/support/itemviews.h"
#include "tests/support/looks.h"
#include "tests/support/views.h"

// Stands in for a scroller: publishes "visible_value" (its knob) and
// "visible_ratio" (the visible fraction it is told) and reports
// "notify_scrolled" when a test moves the knob.
ZU_HANDLE(TScroller, ZuObject)
class TScroller : public ZuObject {
    ZU_CLASS(TScroller, ZuObject)
public:
    TScroller() {}
    void MoveTo(double v)
    {
        value = v;
        Report(ZuAtomRef("notify_scrolled"), 0);
    }
    double value = 0;
    double ratio = -1;
};
ZU_CLASS_END(TScroller)
ZU_IMPLEMENT_CLASS(TScroller, "tests/si/scrollview_test", ZU_CLASS_PLAIN)

namespace {

void GetValue(ZuValueRef& v, ZuObject* o)
{
    v = ZuValueRef(static_cast<TScroller*>(o)->value);
}
void GetRatio(ZuValueRef& v, ZuObject* o)
{
    v = ZuValueRef(static_cast<TScroller*>(o)->ratio);
}
bool SetRatio(const ZuValueRef& v, ZuObject* o)
{
    static_cast<TScroller*>(o)->ratio = Zuvi_ValueToReal(v);
    return true;
}
void DeclareScrollerData(ZuRuntime* runtime)
{
    static Zuvi_PubDataDef items[] = {
        {&TScrollerRef::RetRuntime(), "visible_value", "value", &Real_type, true, false, &GetValue,
         nullptr},
        {&TScrollerRef::RetRuntime(), "visible_ratio", "ratio", &Real_type, true, true, &GetRatio,
         &SetRatio},
    };
    for (Zuvi_PubDataDef& item : items)
        runtime->PublishData(item);
}
Zuvi_PubDataExport scroller_data(&DeclareScrollerData);

// Storing a control stores its look colours: the look manager is there.
class ScrollViewTest : public LookTest {
protected:
    // A 200 x 100 view at (10, 20) over content 1000 x 500, with two
    // children.
    void SetUp() override
    {
        LookTest::SetUp();
        view = ZuNew<ZuScrollView>(Zuvi_app_zone);
        view->SetBox(ZuRect(10, 20, 209, 119));
        a = TProbeView::Make("a", 10, 20, 59, 69);
        b = TProbeView::Make("b", 310, 20, 359, 69);
        a->SetParent(view);
        b->SetParent(view);
        view->SetTotalSize(1000, 500);
        h = ZuNew<TScroller>(Zuvi_app_zone);
        v = ZuNew<TScroller>(Zuvi_app_zone);
    }
    void TearDown() override
    {
        view->Delete();
        view = ZuScrollViewRef();
        a = b = TProbeViewRef();
        h = v = TScrollerRef();
        ZuObjectRef::RealiseDeletions();
        LookTest::TearDown();
    }
    ZuScrollViewRef view;
    TProbeViewRef a, b;
    TScrollerRef h, v;
};

} // namespace

TEST_F(ScrollViewTest, OffsetScrollsTheChildrenOnce)
{
    view->SetOffset(0.5, 0);
    EXPECT_EQ(400, view->RetXOffset());
    EXPECT_EQ(0, view->RetYOffset());
    EXPECT_EQ(-390, a->RetBox().X1());
    EXPECT_EQ(-90, b->RetBox().X1());
    EXPECT_EQ(20, a->RetBox().Y1());
    view->SetOffset(0.5, 0);
    EXPECT_EQ(-390, a->RetBox().X1());
    // Rounding to the nearest unit: 400 x 0.3337 is 133.48.
    view->SetOffset(0, 0.3337);
    EXPECT_EQ(133, view->RetYOffset());
    EXPECT_EQ(20 - 133, a->RetBox().Y1());
    EXPECT_EQ(10, a->RetBox().X1());
}

TEST_F(ScrollViewTest, PositionsAreClampedToTheRange)
{
    struct Case {
        double x, y, want_x, want_y, ratio_x, ratio_y;
    } const cases[] = {
        {5000, 250, 800, 250, 1, 0.625},
        {-3, 1e9, 0, 400, 0, 1},
        {400, 0, 400, 0, 0.5, 0},
    };
    for (const Case& c : cases) {
        view->SetTopLeft(c.x, c.y);
        EXPECT_EQ(c.want_x, view->RetXOffset()) << c.x;
        EXPECT_EQ(c.want_y, view->RetYOffset()) << c.y;
        EXPECT_DOUBLE_EQ(c.ratio_x, view->RetXOffsetRatio()) << c.x;
        EXPECT_DOUBLE_EQ(c.ratio_y, view->RetYOffsetRatio()) << c.y;
    }
    view->SetOffset(-1, 7);
    EXPECT_EQ(0, view->RetXOffsetRatio());
    EXPECT_EQ(1, view->RetYOffsetRatio());
    EXPECT_EQ(400, view->RetYOffset());
}

TEST_F(ScrollViewTest, ContentThatFitsNeverScrolls)
{
    view->SetHorizontalScroller(h);
    view->SetVerticalScroller(v);
    for (double w : {0.0, 150.0, 200.0}) {
        view->SetTotalSize(w, w / 2);
        view->SetOffset(1, 1);
        EXPECT_EQ(0, view->RetXOffset()) << w;
        view->SetTopLeft(30, 30);
        EXPECT_EQ(0, view->RetXOffset()) << w;
        EXPECT_EQ(0, view->RetYOffset()) << w;
        EXPECT_EQ(1, h->ratio) << w;
        EXPECT_EQ(1, v->ratio) << w;
    }
}

TEST_F(ScrollViewTest, ScrollersAreToldTheVisibleFraction)
{
    view->SetHorizontalScroller(h);
    view->SetVerticalScroller(v);
    view->SetTotalSize(1000, 500);
    EXPECT_DOUBLE_EQ(0.2, h->ratio);
    EXPECT_DOUBLE_EQ(0.2, v->ratio);
    view->SetSize(400, 250);
    EXPECT_DOUBLE_EQ(0.4, h->ratio);
    EXPECT_DOUBLE_EQ(0.5, v->ratio);
    // The size changes neither the origin nor the children.
    EXPECT_EQ(10, view->RetBox().X1());
    EXPECT_EQ(409, view->RetBox().X2());
    EXPECT_EQ(10, a->RetBox().X1());
}

TEST_F(ScrollViewTest, EachScrollerMovesItsOwnAxis)
{
    view->SetHorizontalScroller(h);
    view->SetVerticalScroller(v);
    view->SetOffset(0.25, 0);
    v->MoveTo(0.5);
    EXPECT_EQ(200, view->RetXOffset());
    EXPECT_EQ(200, view->RetYOffset());
    h->MoveTo(1);
    EXPECT_EQ(800, view->RetXOffset());
    EXPECT_EQ(200, view->RetYOffset());
    // Reports by name arrive the same way.
    h->value = 0;
    EXPECT_TRUE(view->ZuObject::Action(ZuAtomRef("Scroll"), h, 0));
    EXPECT_EQ(0, view->RetXOffset());
}

TEST_F(ScrollViewTest, ANewScrollerSilencesTheOldOne)
{
    TScrollerRef other = ZuNew<TScroller>(Zuvi_app_zone);
    view->SetHorizontalScroller(h);
    view->SetHorizontalScroller(other);
    h->MoveTo(1);
    EXPECT_EQ(0, view->RetXOffset());
    other->MoveTo(0.5);
    EXPECT_EQ(400, view->RetXOffset());
    // A deleted view stops listening too.
    ZuScrollViewRef gone = ZuNew<ZuScrollView>(Zuvi_app_zone);
    gone->SetHorizontalScroller(other);
    gone->Delete();
    EXPECT_EQ(1u, other->CountAttached());
}

TEST_F(ScrollViewTest, ZeroSizeIsRefused)
{
    EXPECT_DEATH(view->SetSize(0, 10), "Failed assertion: dx != 0");
    EXPECT_DEATH(view->SetSize(10, 0), "Failed assertion: dy != 0");
}

TEST_F(ScrollViewTest, StoredViewKeepsItsPosition)
{
    view->SetHorizontalScroller(h);
    view->SetOffset(0.5, 0.25);
    ZuScrollViewRef back(StoredAndRead(view));
    ASSERT_TRUE(back.IsValid());
    EXPECT_EQ(400, back->RetXOffset());
    EXPECT_EQ(100, back->RetYOffset());
    EXPECT_EQ(0.5, back->RetXOffsetRatio());
    EXPECT_EQ(0.25, back->RetYOffsetRatio());
    // The content size came back: a new ratio gives the same position.
    back->SetOffset(1, 1);
    EXPECT_EQ(800, back->RetXOffset());
    EXPECT_EQ(400, back->RetYOffset());
    back->Delete();
}
