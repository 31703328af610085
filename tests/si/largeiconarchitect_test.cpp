// The large-icon architect: each item a large icon over a centred caption
// in a cell of one size, its sizes and its stored form.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "si/classfactory.h"
#include "si/icon.h"
#include "si/largeiconarchitect.h"
#include "si/memzone.h"
#include "si/pictogram.h"
#include "si/providerview.h"
#include "si/string.h"
#include "si/texttag.h"
#include "si/values.h"
#include "si/viewprovider.h"
#include "tests/support/itemviews.h"
#include "tests/support/looks.h"

// Notes the size setters called on it.
ZU_HANDLE(TSetterLog, ZuLargeIconArchitect)
class TSetterLog : public ZuLargeIconArchitect {
    ZU_CLASS(TSetterLog, ZuLargeIconArchitect)
public:
    TSetterLog() {}
    bool SetWidth(double w) override
    {
        log += "width " + Text(w);
        return ZuLargeIconArchitect::SetWidth(w);
    }
    bool SetIconHeight(double h) override
    {
        log += "icon " + Text(h);
        return ZuLargeIconArchitect::SetIconHeight(h);
    }
    bool SetTextHeight(double h) override
    {
        log += "text " + Text(h);
        return ZuLargeIconArchitect::SetTextHeight(h);
    }
    static std::string Text(double v) { return std::to_string(static_cast<int>(v)) + " "; }
    std::string log;
};
ZU_CLASS_END(TSetterLog)
ZU_IMPLEMENT_CLASS(TSetterLog, "tests/si/largeiconarchitect_test", ZU_CLASS_PLAIN)

namespace {

class LargeIconTest : public LookTest {
protected:
    void SetUp() override
    {
        LookTest::SetUp();
        architect = ZuNew<ZuLargeIconArchitect>();
        architect->Initialise(ZuGrailFontRef(), 0);
        holder = ZuNew<ZuProviderView>(Zuvi_app_zone);
        holder->Initialise(ZuViewProviderRef(), 0, 1, ZuRect(0, 0, 69, 41));
    }
    void TearDown() override
    {
        holder->Delete();
        architect->Delete();
        holder = ZuProviderViewRef();
        architect = ZuLargeIconArchitectRef();
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
    ZuLargeIconArchitectRef architect;
    ZuProviderViewRef holder;
};

// With the defaults an item is 70 x 42: the icon 70 x 32 at the top, the
// caption 70 x 10 under it, centred at the top of its box.
TEST_F(LargeIconTest, AnItemIsTheIconOverItsCaption)
{
    double dx = 0, dy = 0;
    ASSERT_TRUE(architect->GetViewSize(ZuObjectNull, dx, dy));
    EXPECT_EQ(dx, 70);
    EXPECT_EQ(dy, 42);

    ZuPictogramRef item = Item("IconOpen", "Ouvrir");
    ASSERT_TRUE(architect->CreateView(item, holder));
    std::vector<ZuViewRef> parts = Children();
    ASSERT_EQ(parts.size(), 2u);
    ZuIconRef icon(parts[0]);
    ZuTextTagRef tag(parts[1]);
    ASSERT_TRUE(icon.IsValid() && tag.IsValid());
    EXPECT_TRUE(icon->RetIcon() == "IconOpen");
    EXPECT_TRUE(icon->RetMatchMode());
    EXPECT_TRUE(icon->RetCenterMode());
    EXPECT_EQ(icon->RetBox(), ZuRect(0, 0, 69, 31));
    EXPECT_EQ(tag->RetBox(), ZuRect(0, 32, 69, 41));
    EXPECT_STREQ(tag->RetText()->AccessLatin(), "Ouvrir");
    EXPECT_TRUE(tag->RetFont() == architect->RetFont());
    EXPECT_TRUE(tag->RetColor() == architect->RetTextColor());
    EXPECT_TRUE(tag->RetTextStyle() == ZuTextStyle(ZU_TEXT_HPOS_CENTER, ZU_TEXT_VPOS_TOP));
    for (const ZuViewRef& part : parts) {
        EXPECT_TRUE(part->RetState().TestBit(ZU_VIEW_NO_DETECT));
        EXPECT_FALSE(part->RetState().TestBit(ZU_VIEW_NO_UI_INSPECT));
    }
    item->Delete();
}

TEST_F(LargeIconTest, OnlyWhatThePictogramGivesIsMade)
{
    // A text without an icon: the caption alone, still under the icon's
    // place.
    ZuPictogramRef text_only = Item(nullptr, "Texte");
    ASSERT_TRUE(architect->CreateView(text_only, holder));
    std::vector<ZuViewRef> parts = Children();
    ASSERT_EQ(parts.size(), 1u);
    EXPECT_TRUE(parts[0]->IsKindOf(ZuTextTagRef::RetRuntime()));
    EXPECT_EQ(parts[0]->RetBox(), ZuRect(0, 32, 69, 41));
    holder->RemoveAllChildren(true);

    // A pictogram with neither: nothing, and true.
    ZuPictogramRef bare = ZuNew<ZuPictogram>();
    EXPECT_TRUE(architect->CreateView(bare, holder));
    EXPECT_TRUE(Children().empty());

    // No pictogram: false and nothing made.
    EXPECT_FALSE(architect->CreateView(ZuStringRef("plain"), holder));
    EXPECT_TRUE(Children().empty());
    text_only->Delete();
    bare->Delete();
}

TEST_F(LargeIconTest, SizesWidthDefaultAndCopy)
{
    struct Case {
        double given;
        double width;
    } cases[] = {{0, 70}, {96, 96}, {-5, -5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.given);
        EXPECT_TRUE(architect->SetWidth(c.given));
        EXPECT_EQ(architect->RetWidth(), c.width);
    }
    EXPECT_TRUE(architect->Initialise(ZuGrailFontRef(), 0));
    EXPECT_EQ(architect->RetWidth(), 70);

    // By name, through the published data.
    EXPECT_TRUE(architect->DefineData(ZuAtomRef("icon_height"), ZuValueRef(48.0)));
    EXPECT_TRUE(architect->DefineData(ZuAtomRef("text_height"), ZuValueRef(12.0)));
    ZuValueRef v;
    ASSERT_TRUE(architect->QueryData(ZuAtomRef("width"), v));
    EXPECT_EQ(v->RetReal(), 70);
    double dx = 0, dy = 0;
    architect->GetViewSize(ZuObjectNull, dx, dy);
    EXPECT_EQ(dy, 60);

    architect->SetWidth(96);
    ZuLargeIconArchitectRef back(StoredAndRead(architect));
    ASSERT_TRUE(back.IsValid());
    EXPECT_EQ(back->RetWidth(), 96);
    EXPECT_EQ(back->RetIconHeight(), 48);
    EXPECT_EQ(back->RetTextHeight(), 12);
    EXPECT_TRUE(back->RetFont() == architect->RetFont());
    back->Delete();
}

// A copy takes the other's sizes through the setters (so a width of 0 read
// from a file would become 70), and the font and colour of the base.
TEST_F(LargeIconTest, CopyGoesThroughTheSetters)
{
    architect->SetWidth(-5);
    architect->SetIconHeight(20);
    architect->SetTextHeight(0);
    architect->SetTextColor(ZuColorPixel(ZU_COLOR_DGRAY));
    TSetterLogRef copy = ZuNew<TSetterLog>();
    copy->Copy(architect);
    EXPECT_EQ(copy->log, "width -5 icon 20 text 0 ");
    EXPECT_EQ(copy->RetWidth(), -5);
    EXPECT_EQ(copy->RetIconHeight(), 20);
    EXPECT_EQ(copy->RetTextHeight(), 0);
    EXPECT_TRUE(copy->RetTextColor() == ZuColorPixel(ZU_COLOR_DGRAY));
    copy->Delete();
}

} // namespace
