// The shade view: where its shadow lies and how its rings blend.
#include "si/shadeview.h"

#include <gtest/gtest.h>

#include "si/classfactory.h"
#include "si/memzone.h"
#include "tests/support/ports.h"
#include "tests/support/storagetest.h"

class ShadeViewTest : public PortTest {
protected:
    ZuShadeViewRef NewShade(const ZuRect& box)
    {
        ZuShadeViewRef v = ZuNew<ZuShadeView>(Zuvi_app_zone);
        v->SetBox(box);
        made = v;
        return v;
    }
    void TearDown() override
    {
        if (made.IsValid())
            made->Delete();
        made = ZuShadeViewNull;
        PortTest::TearDown();
    }
    ZuShadeViewRef made;
};

TEST_F(ShadeViewTest, TheShadowFollowsItsViewShiftedAndGrown)
{
    ZuShadeViewRef v = NewShade(ZuRect(10, 10, 49, 29));
    EXPECT_TRUE(v->RetShadowBox() == ZuRect(10, 10, 49, 29)); // defaults: the box itself
    ASSERT_TRUE(v->SetOffset(3, 3));
    ASSERT_TRUE(v->SetGrow(2));
    EXPECT_TRUE(v->RetShadowBox() == ZuRect(11, 11, 52, 32));

    ZuViewRef other = ZuNew<ZuView>(Zuvi_app_zone);
    other->SetBox(ZuRect(0, 0, 9, 9));
    v->SetView(other);
    EXPECT_TRUE(v->RetShadowBox() == ZuRect(1, 1, 12, 12));
    other->Delete();
}

TEST_F(ShadeViewTest, RingsBlendFromTheOuterColourAndTheInsideIsFilled)
{
    ZuShadeViewRef v = NewShade(ZuRect(0, 0, 9, 9));
    v->SetColorExt(ZuColorPixel(0.0, 0.0, 1.0, 0.0));
    v->SetColorInt(ZuColorPixel(1.0, 0.0, 0.0, 0.0));

    // No transition: no ring, the whole shadow in the inner colour.
    v->SetTransition(0);
    ZuGrailPixmapRef flat = NewPixmap(32, 12, 12);
    v->DrawBack(flat, ZuRect(0, 0, 11, 11));
    EXPECT_EQ(100u, CountInked(flat)) << Picture(flat, 0, 0, 11, 11);
    unsigned inner = Pixel(flat, 0, 0);
    EXPECT_NE(0u, inner);
    EXPECT_EQ(inner, Pixel(flat, 5, 5));
    EXPECT_EQ(inner, Pixel(flat, 9, 9));

    // Two rings: the outer colour, then halfway, then the inside.
    v->SetTransition(2);
    ZuGrailPixmapRef ringed = NewPixmap(32, 12, 12);
    v->DrawBack(ringed, ZuRect(0, 0, 11, 11));
    unsigned outer = Pixel(ringed, 0, 0);
    unsigned half = Pixel(ringed, 1, 1);
    EXPECT_NE(0u, outer);
    EXPECT_NE(inner, outer);
    EXPECT_NE(outer, half);
    EXPECT_NE(inner, half);
    EXPECT_EQ(outer, Pixel(ringed, 9, 5));
    EXPECT_EQ(half, Pixel(ringed, 8, 8));
    EXPECT_EQ(inner, Pixel(ringed, 2, 2));
    EXPECT_EQ(inner, Pixel(ringed, 7, 7));
}

TEST_F(ShadeViewTest, FieldsAreStoredAndRestored)
{
    ZuShadeViewRef v = NewShade(ZuRect(0, 0, 9, 9));
    v->SetOffset(-3, 4);
    v->SetGrow(2);
    v->SetTransition(7);
    v->SetColorInt(ZuColorPixel(0.0, 1.0, 0.0, 0.25));
    ZuTestStorageRef s = ZuTestStorage::Make();
    s->StartStoring();
    s->StoreObject(v);
    s->StartRestoring(s->Bytes());
    ZuObjectRef out;
    s->RestoreObject(out, ZuShadeViewRef::RetRuntime());
    ZuShadeViewRef back(out);
    ASSERT_TRUE(back.IsValid());
    EXPECT_EQ(-3, back->RetDxOffset());
    EXPECT_EQ(4, back->RetDyOffset());
    EXPECT_EQ(2, back->RetGrow());
    EXPECT_EQ(7u, back->RetTransition());
    EXPECT_TRUE(back->RetColorInt() == v->RetColorInt());
    EXPECT_TRUE(back->RetColorExt() == v->RetColorExt());
    EXPECT_TRUE(back->RetView().IsInvalid());
    back->Delete();
}
