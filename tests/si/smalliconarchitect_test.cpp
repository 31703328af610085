// The small-icon architect: one line per item, an icon and a text tag
// placed side by side, its sizes and its stored form.
#include <gtest/gtest.h>

#include <vector>

#include "si/classfactory.h"
#include "si/icon.h"
#include "si/memzone.h"
#include "si/objpicadapter.h"
#include "si/pictogram.h"
#include "si/providerview.h"
#include "si/rtclass.h"
#include "si/smalliconarchitect.h"
#include "si/string.h"
#include "si/texttag.h"
#include "si/values.h"
#include "si/viewprovider.h"
#include "tests/support/itemviews.h"
#include "tests/support/looks.h"

namespace {

class SmallIconTest : public LookTest {
protected:
    void SetUp() override
    {
        LookTest::SetUp();
        architect = ZuNew<ZuSmallIconArchitect>();
        architect->Initialise(ZuGrailFontRef(), 0);
        holder = ZuNew<ZuProviderView>(Zuvi_app_zone);
        holder->Initialise(ZuViewProviderRef(), 0, 1, ZuRect(100, 50, 219, 65));
    }
    void TearDown() override
    {
        holder->Delete();
        architect->Delete();
        holder = ZuProviderViewRef();
        architect = ZuSmallIconArchitectRef();
        ZuObjectRef::RealiseDeletions();
        LookTest::TearDown();
    }
    static ZuPictogramRef Item(const char* icon, const char* text)
    {
        ZuPictogramRef p = ZuNew<ZuPictogram>();
        p->DefineLabel(icon ? ZuAtomRef(icon) : ZuAtomRef(), ZuStringRef(),
                       text ? ZuStringRef(text) : ZuStringRef(), ZuStringRef(), ZuStringRef());
        return p;
    }
    std::vector<ZuViewRef> Children() const
    {
        std::vector<ZuViewRef> out;
        ZuViewRef v;
        for (bool ok = holder->GetFirstChild(v); ok; ok = v->GetNextSibling(v))
            out.push_back(v);
        return out;
    }
    ZuSmallIconArchitectRef architect;
    ZuProviderViewRef holder;
};

} // namespace

// With the defaults a line is 120 x 16: the icon 16 x 16 at the left, the
// text tag 100 x 16 right after it with its text indented by 4.
TEST_F(SmallIconTest, ALineHoldsTheIconThenTheTextTag)
{
    double dx = 0, dy = 0;
    ASSERT_TRUE(architect->GetViewSize(ZuObjectNull, dx, dy));
    EXPECT_EQ(dx, 120);
    EXPECT_EQ(dy, 16);

    ZuPictogramRef item = Item("IconOpen", "Ouvrir");
    ASSERT_TRUE(architect->CreateView(item, holder));
    std::vector<ZuViewRef> parts = Children();
    ASSERT_EQ(parts.size(), 2u);
    ZuIconRef icon(parts[0]);
    ZuTextTagRef tag(parts[1]);
    EXPECT_TRUE(icon->RetIcon() == "IconOpen");
    EXPECT_TRUE(icon->RetMatchMode());
    EXPECT_TRUE(icon->RetCenterMode());
    EXPECT_EQ(icon->RetBox(), ZuRect(100, 50, 115, 65));
    EXPECT_EQ(tag->RetBox(), ZuRect(116, 50, 215, 65));
    EXPECT_STREQ(tag->RetText()->AccessLatin(), "Ouvrir");
    EXPECT_EQ(tag->RetLeftSpace(), 4);
    EXPECT_TRUE(tag->RetFont() == architect->RetFont());
    EXPECT_TRUE(tag->RetColor() == ZuColorPixel(ZU_COLOR_BLACK));
    EXPECT_TRUE(tag->RetTextStyle() == ZuTextStyle(ZU_TEXT_HPOS_LEFT, ZU_TEXT_VPOS_CENTER));
    for (const ZuViewRef& part : parts) {
        EXPECT_TRUE(part->RetState().TestBit(ZU_VIEW_NO_DETECT));
        EXPECT_FALSE(part->RetState().TestBit(ZU_VIEW_NO_UI_INSPECT));
    }
    item->Delete();
}

TEST_F(SmallIconTest, OnlyWhatThePictogramGivesIsMade)
{
    // A text without an icon: the tag alone, still after the icon's place.
    ZuPictogramRef text_only = Item(nullptr, "Texte");
    ASSERT_TRUE(architect->CreateView(text_only, holder));
    std::vector<ZuViewRef> parts = Children();
    ASSERT_EQ(parts.size(), 1u);
    EXPECT_TRUE(parts[0]->IsKindOf(ZuTextTagRef::RetRuntime()));
    EXPECT_EQ(parts[0]->RetBox().X1(), 116);
    holder->RemoveAllChildren(true);

    // No pictogram, or an adapter that gives none: nothing, and true.
    ASSERT_TRUE(architect->CreateView(ZuStringRef("plain"), holder));
    EXPECT_TRUE(Children().empty());
    ZuPictogramRef both = Item("IconOpen", "Ouvrir");
    architect->SetAdapter(ZuNew<ZuObjectPicAdapter>());
    ASSERT_TRUE(architect->CreateView(both, holder));
    EXPECT_TRUE(Children().empty());
    text_only->Delete();
    both->Delete();
}

TEST_F(SmallIconTest, SizesHeightDefaultAndCopy)
{
    struct Case {
        double given;
        double height;
    } cases[] = {{0, 16}, {24, 24}, {-3, -3}, {0.0 / 0.0, 16}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.given);
        architect->SetHeight(c.given);
        EXPECT_EQ(architect->RetHeight(), c.height);
    }
    architect->Initialise(ZuGrailFontRef(), 0);
    EXPECT_EQ(architect->RetHeight(), 16);

    // By name, through the published data.
    EXPECT_TRUE(architect->DefineData(ZuAtomRef("icon_width"), ZuValueRef(20.0)));
    ZuValueRef v;
    ASSERT_TRUE(architect->QueryData(ZuAtomRef("icon_width"), v));
    EXPECT_EQ(v->RetReal(), 20);

    // A copy takes the three sizes, not the space (stored: 4 as made).
    architect->SetTextWidth(50);
    architect->SetHeight(30);
    ZuSmallIconArchitectRef copy = ZuNew<ZuSmallIconArchitect>();
    copy->Copy(architect);
    EXPECT_EQ(copy->RetIconWidth(), 20);
    EXPECT_EQ(copy->RetTextWidth(), 50);
    EXPECT_EQ(copy->RetHeight(), 30);
    double dx = 0, dy = 0;
    copy->GetViewSize(ZuObjectNull, dx, dy);
    EXPECT_EQ(dx, 74);

    ZuSmallIconArchitectRef back(StoredAndRead(architect));
    ASSERT_TRUE(back.IsValid());
    back->GetViewSize(ZuObjectNull, dx, dy);
    EXPECT_EQ(dx, 74);
    EXPECT_EQ(dy, 30);
    EXPECT_TRUE(back->RetFont() == architect->RetFont());
    back->Delete();
    copy->Delete();
}
