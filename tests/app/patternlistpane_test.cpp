// The brush list as a user meets it: the seventeen names under the title,
// a click that loads the brush and reports it, the row of the brush last
// loaded shown again (none once the brush was edited elsewhere), and the
// sample drawn in the dialog's colours from the kind's colour base with
// the grey guides over it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/colordef.h"
#include "app/patternlistpane.h"
#include "si/list.h"
#include "si/string.h"
#include "si/texttag.h"
#include "tests/app/panetest.h"

namespace {

class PatternListPaneTest : public PaneTest {
protected:
    void SetUp() override
    {
        PaneTest::SetUp();
        def = ZuNew<CPatternDef>(Zuvi_app_zone);
    }
    void TearDown() override
    {
        if (pane.IsValid())
            pane->Delete();
        pane = CPatternListPaneRef();
        def = CPatternDefRef();
        PaneTest::TearDown();
    }
    void Open(int kind)
    {
        pane = MakePane<CPatternListPane>(kind);
        ASSERT_TRUE(pane->SetDef(CDefRef(ZuObjectRef(def))));
        pane->Refresh();
        Pump();
    }
    // A click on a row shown in the list.
    void ClickRow(int shown) { Click(60, 24 + 16 * shown + 8); }
    // A pixel of the sample at a brush point.
    unsigned SamplePixel(double x, double y)
    {
        const DPoint v = pane->RetSample()->SampleToView(x, y);
        return PanePixel(int(v.x), int(v.y));
    }
    // Whether the colour shows at the brush point or a pixel next to it.
    bool ShowsNear(double x, double y, unsigned colour)
    {
        const DPoint v = pane->RetSample()->SampleToView(x, y);
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (Near(PanePixel(int(v.x) + dx, int(v.y) + dy), colour))
                    return true;
        return false;
    }
    CPatternListPaneRef pane;
    CPatternDefRef def;
};

} // namespace

TEST_F(PatternListPaneTest, TheSeventeenNamesAreListedUnderTheTitleInTheTablesOrder)
{
    Open(11);
    std::vector<std::string> labels;
    ZuViewRef child;
    bool more = pane->GetFirstChild(child);
    while (more && child.IsValid()) {
        if (child->IsKindOf(ZuTextTagRef::RetRuntime()))
            labels.push_back(Latin(ZuTextTagRef(child)->RetText()));
        ZuViewRef next;
        more = child->GetNextSibling(next);
        child = next;
    }
    EXPECT_EQ(labels, std::vector<std::string>{"Liste des pinceaux pr\xE9"
                                               "fabriqu\xE9s :"});
    const std::vector<std::string> expected = {"Cercle",
                                               "Carr\xE9",
                                               "Triangle",
                                               "Croix",
                                               "Fl\xE8"
                                               "che",
                                               "Cr\xE9neau",
                                               "Vague",
                                               "Coeur",
                                               "Carr\xE9 creux 2 couleurs",
                                               "Carreaux 2 couleurs",
                                               "Carreaux 4 couleurs",
                                               "2 rectangles horizontaux",
                                               "2 rectangles verticaux",
                                               "Carr\xE9 \\",
                                               "Carr\xE9 X 2 couleurs",
                                               "Carr\xE9 X 4 couleurs",
                                               "Hexagones d\xE9"
                                               "form\xE9s"};
    std::vector<std::string> names;
    ZuObjectRef item;
    for (unsigned i = 0; pane->RetNames()->Get(i, item); ++i)
        names.push_back(Latin(ZuStringRef(item)));
    EXPECT_EQ(names, expected);
    EXPECT_EQ(pane->RetList()->RetCount(), 17);
    // A new brush is "Cercle": its row shows selected, and nothing reported.
    EXPECT_EQ(pane->RetList()->RetSelected(), 0);
    EXPECT_EQ(Reports(), "");
}

TEST_F(PatternListPaneTest, AClickLoadsThatBrushAndRefreshShowsTheBrushLastLoaded)
{
    Open(21);
    ClickRow(2);
    EXPECT_EQ(def->GetPrefabNumber(), 2);
    CPatternDefRef triangle = ZuNew<CPatternDef>(Zuvi_app_zone);
    triangle->LoadPrefab(2);
    EXPECT_TRUE(def->IsEqualCurrent(CDefRef(ZuObjectRef(triangle))));
    EXPECT_EQ(Reports(), "Modify Quick ");
    int* codes = nullptr;
    int count = 0;
    pane->GetCodes(&codes, &count);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(codes[0], 21);
    pane->RetList()->Select(-1);
    pane->Refresh();
    EXPECT_EQ(pane->RetList()->RetSelected(), 2);
    // Changed elsewhere (the editor moved a point): no row.
    const double p[2] = {0.1, 0.1};
    def->SetHandle(0, 0, p, 0);
    pane->Refresh();
    EXPECT_EQ(pane->RetList()->RetSelected(), -1);
    // The last row, once scrolled to, and back to the first.
    def->LoadPrefab(16);
    pane->Refresh();
    const CScrollListRef& list = pane->RetList();
    EXPECT_EQ(list->RetSelected(), 16);
    EXPECT_GE(16, list->RetFirst());
    EXPECT_LT(16, list->RetFirst() + list->RetVisibleRows());
    list->Select(0);
    pane->Refresh();
    def->SetHandle(0, 0, p, 0);
    pane->Refresh();
    ClickRow(0);
    EXPECT_EQ(def->GetPrefabNumber(), 0);
    EXPECT_EQ(Reports(), "Modify Quick ");
    EXPECT_EQ(Reports(), "");
    // No row chosen loads nothing and reports nothing.
    list->Select(-1);
    EXPECT_FALSE(pane->OnClickList(ZuObjectRef(), 0));
    EXPECT_EQ(def->GetPrefabNumber(), 0);
    EXPECT_EQ(Reports(), "");
}

TEST_F(PatternListPaneTest, TheSampleShowsTheBrushInTheKindsColoursUnderGreyGuides)
{
    CColorDefRef colours = ZuNew<CColorDef>(Zuvi_app_zone);
    colours->SetCount(3);
    colours->SetIndex(0);
    colours->SetRGB(0, 1, 0);
    colours->SetIndex(1);
    colours->SetRGB(1, 0, 0);
    const struct {
        int kind, colour_code;
        unsigned shape;
    } cases[] = {{21, 25, 0xFF0000}, {102, 105, 0xFF0000}, {11, 15, 0x00FF00}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        dialog->defs.clear();
        dialog->defs[c.colour_code] = CDefRef(ZuObjectRef(colours));
        Open(c.kind);
        EXPECT_EQ(pane->RetColorBase(), c.kind == 11 ? 0 : 1);
        def->LoadPrefab(1); // "Carré": -0.4 .. 0.4, colour number 0
        pane->Update();
        pane->Refresh();
        Pump();
        EXPECT_TRUE(Near(SamplePixel(0.2, 0.25), c.shape)) << std::hex << SamplePixel(0.2, 0.25);
        // The axes, over the brush too, and the cell's side.
        EXPECT_TRUE(ShowsNear(0.6, 0.0, 0xBFBFBF));
        EXPECT_TRUE(ShowsNear(0.0, 0.2, 0xBFBFBF));
        EXPECT_TRUE(ShowsNear(0.5, 0.45, 0xBFBFBF));
        EXPECT_TRUE(Near(SamplePixel(0.6, 0.3), 0xFFFFFF));
        pane->Delete();
        pane = CPatternListPaneRef();
    }
    EXPECT_EQ(Reports(), "");
}

// Every brush of the list shows on the sample: each row, "Cercle" first,
// inks a good share of the brush cell (the guides and the white ground do
// not count).
TEST_F(PatternListPaneTest, EveryBrushOfTheListDrawsOnTheSample)
{
    Open(11);
    ZuListRef names;
    ASSERT_TRUE(CPatternDef::FillPrefabList(names));
    const DPoint a = pane->RetSample()->SampleToView(-0.5, 0.5);
    const DPoint b = pane->RetSample()->SampleToView(0.5, -0.5);
    const int cell = int((b.x - a.x) * (b.y - a.y));
    for (int n = 0; n < int(names->TotalCount()); ++n) {
        ZuObjectRef name;
        names->Get(unsigned(n), name);
        SCOPED_TRACE(Latin(ZuStringRef(name)));
        ASSERT_TRUE(def->LoadPrefab(n));
        pane->Refresh();
        Pump();
        int ink = 0;
        for (int y = int(a.y); y <= int(b.y); ++y)
            for (int x = int(a.x); x <= int(b.x); ++x) {
                const unsigned p = PanePixel(x, y);
                ink += !Near(p, 0xFFFFFF) && !Near(p, 0xBFBFBF);
            }
        EXPECT_GT(ink, cell / 10) << "of " << cell;
    }
}
