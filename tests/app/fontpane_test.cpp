// The font pane as a user meets it: the interpreter's fonts listed in
// order, the definition's font selected on refresh (none for an unknown
// name, which stays), a click on a line naming the font with "Modify" then
// "Quick", typed values clamped to the entries' bounds, and a sample
// redrawn only when the definition changed, a new name included.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/fontpane.h"
#include "app/pendef.h"
#include "tests/app/panetest.h"

namespace {

class FontPaneTest : public PaneTest {
protected:
    void SetUp() override
    {
        PaneTest::SetUp();
        pane = MakePane<CFontPane>(120);
        def = ZuNew<CFontDef>(Zuvi_app_zone);
        ASSERT_TRUE(pane->SetDef(CDefRef(ZuObjectRef(def))));
    }
    void TearDown() override
    {
        pane->Delete();
        pane = CFontPaneRef();
        def = CFontDefRef();
        PaneTest::TearDown();
    }
    void Show()
    {
        pane->SetValue(45);
        pane->Refresh();
        Pump();
    }
    std::string Name(int i)
    {
        ZuObjectRef item;
        if (!pane->RetFontNames()->Get(unsigned(i), item))
            return "";
        return Latin(ZuStringRef(item));
    }
    int Count()
    {
        int n = 0;
        ZuObjectRef item;
        while (pane->RetFontNames()->Get(unsigned(n), item))
            ++n;
        return n;
    }
    CFontPaneRef pane;
    CFontDefRef def;
};

} // namespace

TEST_F(FontPaneTest, TheInterpretersFontsAreListedInOrderAndTheDefinitionsIsSelected)
{
    const int n = Count();
    ASSERT_GT(n, 10);
    for (int i = 1; i < n; ++i)
        EXPECT_LE(Name(i - 1), Name(i)) << i;
    Show();
    const int selected = pane->RetFontList()->RetSelected();
    ASSERT_GE(selected, 0);
    EXPECT_EQ(Name(selected), "Helvetica");
    EXPECT_TRUE(selected == 0 || Name(selected - 1) != "Helvetica");
    // The last font: scrolled into view.
    def->SetName(ZuStringRef(Name(n - 1).c_str()));
    Show();
    const CScrollListRef& list = pane->RetFontList();
    EXPECT_EQ(list->RetSelected(), n - 1);
    EXPECT_GE(n - 1, list->RetFirst());
    EXPECT_LT(n - 1, list->RetFirst() + list->RetVisibleRows());
    // A name the interpreter lacks: no selection, the name stays.
    def->SetName(ZuStringRef("Pas une police"));
    Show();
    EXPECT_EQ(list->RetSelected(), -1);
    EXPECT_EQ(Latin(def->GetName()), "Pas une police");
    EXPECT_EQ(Reports(), "");
}

TEST_F(FontPaneTest, AClickOnALineNamesTheFontAndReportsIt)
{
    Show();
    const CScrollListRef& list = pane->RetFontList();
    const int first = list->RetFirst();
    Click(60, 20 + 2 + 16 * 2 + 8); // the third line shown
    ASSERT_EQ(list->RetSelected(), first + 2);
    EXPECT_EQ(Latin(def->GetName()), Name(first + 2));
    EXPECT_EQ(Reports(), "Modify Quick ");
    int* codes = nullptr;
    int count = 0;
    pane->GetCodes(&codes, &count);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(codes[0], 120);
    // No line selected: the name stays, the change is still reported.
    list->Select(-1);
    EXPECT_TRUE(pane->OnClickList(ZuObjectRef(), 0));
    EXPECT_EQ(Latin(def->GetName()), Name(first + 2));
    EXPECT_EQ(Reports(), "Modify Quick ");
}

TEST_F(FontPaneTest, TypedValuesAreClampedToTheEntriesBounds)
{
    def->SetWidth(0.25);
    Show();
    EXPECT_NEAR(pane->RetSizeEntry()->GetValue(), 20.0, 1e-9);
    EXPECT_NEAR(pane->RetSpacingEntry()->GetValue(), 0.25, 1e-9);
    EXPECT_EQ(Reports(), "");
    const struct {
        int y;
        const char* typed;
        double (CFontDef::*get)() const;
        double value;
    } cases[] = {{30, "250", &CFontDef::GetScale, 200.0},
                 {30, "12", &CFontDef::GetScale, 12.0},
                 {70, "150", &CFontDef::GetWidth, 1.0},
                 {110, "-40", &CFontDef::GetStretch, -0.4},
                 {150, "-300", &CFontDef::GetItalic, -1.0}};
    for (const auto& c : cases) {
        TypeInto(220, c.y, c.typed);
        EXPECT_NEAR((def.operator->()->*(c.get))(), c.value, 1e-9) << c.typed;
        EXPECT_EQ(Reports(), "Modify Quick ") << c.typed;
    }
    TypeInto(220, 30, "abc");
    EXPECT_EQ(def->GetScale(), 12.0);
    EXPECT_EQ(Reports(), "");
    CPenDefRef pen = ZuNew<CPenDef>(Zuvi_app_zone);
    EXPECT_FALSE(pane->SetDef(CDefRef(ZuObjectRef(pen))));
}

TEST_F(FontPaneTest, TheSampleIsRedrawnOnlyWhenTheDefinitionChanged)
{
    Show();
    const int drawn = pane->RetDrawCount();
    int black = 0;
    for (int y = 144; y < 190; ++y)
        for (int x = 4; x < 194; ++x)
            black += Near(PanePixel(x, y), 0) ? 1 : 0;
    EXPECT_GT(black, 50);
    pane->Refresh();
    EXPECT_EQ(pane->RetDrawCount(), drawn);
    def->SetName(ZuStringRef("Times-Roman"));
    Show();
    EXPECT_EQ(pane->RetDrawCount(), drawn + 1);
    EXPECT_TRUE(pane->OnSwitchBold(ZuObjectRef(), 0));
    EXPECT_EQ(pane->RetDrawCount(), drawn + 1);
    EXPECT_EQ(Reports(), "Modify Quick ");
}

// The sample sets "Abcdef" level on the line 13 below the sample's
// middle, from 85 left of it: its ink begins there, and the first and the
// last letters stand on the same row.
TEST_F(FontPaneTest, TheSampleSetsTheWordLevelFromLeftOfTheMiddle)
{
    Show();
    const ZuRect box = pane->RetSample()->RetBox();
    const int mid_x = int(box.X1() + (box.X2() - box.X1()) / 2);
    const int mid_y = int(box.Y1() + (box.Y2() - box.Y1()) / 2);
    // The lowest inked row of each column, -1 where none.
    std::vector<int> bottom;
    int left = -1, right = -1;
    for (int x = int(box.X1()) + 2; x < int(box.X2()) - 2; ++x) {
        int low = -1;
        for (int y = int(box.Y1()) + 2; y < int(box.Y2()) - 2; ++y)
            if (Near(PanePixel(x, y), 0))
                low = y;
        bottom.push_back(low);
        if (low >= 0) {
            if (left < 0)
                left = x;
            right = x;
        }
    }
    ASSERT_GE(left, 0) << "no ink in the sample";
    EXPECT_NEAR(left, mid_x - 85, 4);
    EXPECT_GT(right - left, 40);
    const int x0 = int(box.X1()) + 2;
    int first = -1, last = -1; // the lowest rows of the word's first and last fifths
    for (int x = left; x <= right; ++x) {
        const int low = bottom[size_t(x - x0)];
        if (x < left + (right - left) / 5)
            first = std::max(first, low);
        else if (x > right - (right - left) / 5)
            last = std::max(last, low);
    }
    EXPECT_NEAR(first, mid_y + 13, 2);
    EXPECT_NEAR(last, mid_y + 13, 2);
    EXPECT_LE(std::abs(first - last), 1);
}
