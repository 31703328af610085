// The colours tab as the user meets it: the interface elements in their
// order, each writing only its own document colour when the hue strip or
// the shade square is dragged, the strip, square and sample following the
// chosen element, and the recoloured mark on the page.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/grarect.h"
#include "app/propertydlg.h"
#include "app/tree.h"
#include "app/treenode.h"
#include "tests/app/odddocument.h"
#include "tests/app/setuptest.h"

namespace {

using Rgb = std::array<double, 3>;

class ColorSetupTest : public SetupTest {
protected:
    void SetUp() override
    {
        SetupTest::SetUp();
        Open();
        ClickTab(5);
        ASSERT_EQ(dlg->RetCardStack()->RetActiveView(), 5u);
    }
    Rgb Colour(int def) const
    {
        Rgb c{};
        Doc()->GetColor(def)->GetRGB(c[0], c[1], c[2]);
        return c;
    }
    std::vector<Rgb> AllColours() const
    {
        std::vector<Rgb> out;
        for (int i = 0; i < CDocument::COLORS; ++i)
            out.push_back(Colour(i));
        return out;
    }
    // The window word of a colour as the page view draws it.
    static std::uint32_t Word(const Rgb& c)
    {
        const ZuColorPixel p(c[0], c[1], c[2], 0.0);
        return std::uint32_t(p.Red()) << 16 | std::uint32_t(p.Green()) << 8 | p.Blue();
    }
    static Rgb Of(const ZuColorPixel& p) { return {p.RealRed(), p.RealGreen(), p.RealBlue()}; }
    Rgb SliderColour(int i) const
    {
        ZuColorPixel p;
        Colors()->RetColorSlider(i)->RetColor(p);
        return Of(p);
    }
    static void ExpectNear(const Rgb& a, const Rgb& b, double tolerance)
    {
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(a[size_t(i)], b[size_t(i)], tolerance) << i;
    }
    // Chooses a row with the mouse, the list scrolled to show it. The list
    // reports a row other than the one selected: a neighbour is selected
    // first.
    void ChooseRow(int row)
    {
        const CScrollListRef list = Colors()->RetElementList();
        list->Select(row);
        list->Select(row > 0 ? row - 1 : 1);
        ClickRow(list, row - list->RetFirst());
        ASSERT_EQ(list->RetSelected(), row);
    }
    ZuViewRef Strip() const { return Colors()->RetColorSlider(0); }
    ZuViewRef Square() const { return Colors()->RetColorSlider(1); }
};

} // namespace

TEST_F(ColorSetupTest, EachElementWritesOnlyItsOwnDocumentColour)
{
    const struct {
        const char* label;
        int definition;
    } rows[] = {
        {"Grille magn\xe9tique", 15},
        {"Guides", 16},
        {"R\xe9ticule", 13},
        {"Dessin brouillon", 2},
        {"Propri\xe9t\xe9", 11},
        {"Rectangle s\xe9lection", 4},
        {"Rectangle loupe", 12},
        {"Curseur d'\xe9"
         "dition",
         14},
        {"Fond d'un groupe", 17},
        {"Autres calques", 18},
        {"Cadre page", 0},
        {"Ombre page", 1},
    };
    EXPECT_EQ(Colors()->RetElementList()->RetCount(), 12);
    EXPECT_EQ(CColorSetup::InterfaceColorTable[12].element, -1);
    for (int i = 0; i < 12; ++i) {
        SCOPED_TRACE(rows[i].label);
        EXPECT_STREQ(CColorSetup::InterfaceColorTable[i].label, rows[i].label);
        ChooseRow(i);
        // Strip, square and sample show the element's colour.
        const Rgb start = Colour(rows[i].definition);
        ExpectNear(SliderColour(1), start, 0.05);
        const std::vector<Rgb> before = AllColours();
        Drag(Square(), 20 + 3 * i, 20, 75 - 2 * i, 60 + i);
        const Rgb now = Colour(rows[i].definition);
        ExpectNear(now, SliderColour(1), 0.002);
        ZuColorPixel sample;
        Colors()->RetSample()->RetColor(sample);
        ExpectNear(Of(sample), now, 0.005);
        EXPECT_NE(now, before[size_t(rows[i].definition)]);
        // No other colour moved, the one of equal default among them.
        for (int d = 0; d < CDocument::COLORS; ++d)
            if (d != rows[i].definition) {
                EXPECT_EQ(Colour(d), before[size_t(d)]) << d;
            }
    }
}

TEST_F(ColorSetupTest, ChoosingAnElementShowsItsColourAndRendersThePageUpdateDoesNot)
{
    Doc()->GetColor(2)->SetRGB(1.0, 0.0, 0.0);  // "Dessin brouillon"
    Doc()->GetColor(15)->SetRGB(0.0, 0.5, 0.5); // "Grille magnétique"
    ChooseRow(3);
    EXPECT_NEAR(Colors()->RetColorSlider(0)->GetPositionX(), 0.0, 0.01);
    ExpectNear(SliderColour(1), {1.0, 0.0, 0.0}, 0.05);
    ZuColorPixel sample;
    Colors()->RetSample()->RetColor(sample);
    ExpectNear(Of(sample), SliderColour(1), 1e-9);
    EXPECT_EQ(Colors()->RetSample()->GetStyle(), 0x20000u);
    // The choice as the list reports it renders; a refresh does not.
    Colors()->RetElementList()->Select(0);
    View()->SetRenderNeeded(false);
    EXPECT_TRUE(Send(ZuObjectRef(Colors()), "OnScrollList"));
    EXPECT_TRUE(View()->IsRenderNeeded());
    EXPECT_NEAR(Colors()->RetColorSlider(0)->GetPositionX(), 0.5, 0.01);
    Doc()->GetColor(15)->SetRGB(0.0, 0.0, 1.0);
    View()->SetRenderNeeded(false);
    dlg->Update(0, 0);
    EXPECT_FALSE(View()->IsRenderNeeded());
    EXPECT_NEAR(Colors()->RetColorSlider(0)->GetPositionX(), 2.0 / 3.0, 0.01);
    ExpectNear(SliderColour(1), {0.0, 0.0, 1.0}, 0.05);
    EXPECT_EQ(Colour(15), (Rgb{0.0, 0.0, 1.0}));
}

TEST_F(ColorSetupTest, TheHueStripGivesTheElementItsHue)
{
    Doc()->GetColor(2)->SetRGB(1.0, 0.0, 0.0);
    ChooseRow(3); // "Dessin brouillon"
    // To the strip's middle: cyan's hue.
    const ZuRect& b = Strip()->RetBox();
    Drag(Strip(), 8, b.DY() / 2, b.DX() / 2, b.DY() / 2);
    const Rgb now = Colour(2);
    EXPECT_LT(now[0], now[1]);
    EXPECT_LT(now[0], now[2]);
    EXPECT_NEAR(now[1], now[2], 0.1);
    ExpectNear(now, SliderColour(1), 0.002);
    View()->SetRenderNeeded(false);
    EXPECT_TRUE(Send(ZuObjectRef(Colors()), "OnColorSlider1"));
    EXPECT_TRUE(View()->IsRenderNeeded());
}

TEST_F(ColorSetupTest, TheRecolouredGuideShowsOnThePage)
{
    Doc()->AddGuide(false, 105.0); // through the page's centre
    Settings()->switches[CView::SHOW_GUIDES] = true;
    ChooseRow(1); // "Guides"
    Drag(Square(), 20, 20, 88, 80);
    const Rgb now = Colour(16);
    const std::uint32_t want = Word(now), light_blue = Word({0.75, 0.75, 1.0});
    EXPECT_NE(want, light_blue);
    // The screen's pixels carry fewer bits than the colour.
    EXPECT_TRUE(PageColourNear(0.0, 40.0, want, 1, 8));
    EXPECT_FALSE(PageColourNear(0.0, 40.0, light_blue, 1, 8));
}

TEST_F(ColorSetupTest, TheRecolouredPropertyMarksShowOnThePage)
{
    ChooseRow(4); // "Propriété"
    Drag(Square(), 20, 20, 88, 80);
    const Rgb now = Colour(11);
    const std::uint32_t want = Word(now), blue = Word({0.0, 0.0, 1.0});
    EXPECT_NE(want, blue);
    // A rectangle selected, the properties window opened, the pointer in
    // the row of its horizontal position: the arrow from the rulers' zero
    // to its centre takes the new colour.
    CTreeNodeRef layer;
    Doc()->GetTree()->GetNode(layer, 0, 0);
    CGraRectRef r = ZuNew<CGraRect>(Zuvi_app_zone);
    const DPoint corners[2] = {{-40, -30}, {20, 10}};
    r->SetPoints(corners, 2);
    r->SetEditMode(1);
    CTreeNodeRef n = ZuNew<CTreeNode>(Zuvi_app_zone);
    n->SetObject(r);
    n->InsertLastChild(layer);
    View()->RetSelectObject()->RebuildSelection();
    ASSERT_TRUE(View()->SwapProperty());
    Pump();
    const CPropertyDlgRef properties(app->RetPropertyDlg());
    ASSERT_TRUE(properties->IsVisible());
    EXPECT_TRUE(properties->OnTextEnter(ZuObjectRef(properties->RetEntry(0)), 0));
    app->FireAsyncEvents();
    EXPECT_TRUE(PageColourNear(-60.0, -10.0, want, 1, 8));
    EXPECT_FALSE(PageColourNear(-60.0, -10.0, blue, 1, 8));
}

TEST_F(ColorSetupTest, WithoutASelectedRowNothingIsShownOrStored)
{
    ChooseRow(3);
    const CScrollListRef list = Colors()->RetElementList();
    list->Select(-1);
    const std::vector<Rgb> before = AllColours();
    const double strip = Colors()->RetColorSlider(0)->GetPositionX();
    View()->SetRenderNeeded(false);
    for (const char* h : {"OnScrollList", "OnColorSlider1", "OnColorSlider2"})
        EXPECT_TRUE(Send(ZuObjectRef(Colors()), h)) << h;
    Doc()->GetColor(2)->SetRGB(0.0, 1.0, 0.0);
    dlg->Update(0, 0);
    EXPECT_EQ(Colors()->RetColorSlider(0)->GetPositionX(), strip);
    EXPECT_FALSE(View()->IsRenderNeeded());
    for (int d = 0; d < CDocument::COLORS; ++d)
        if (d != 2) {
            EXPECT_EQ(Colour(d), before[size_t(d)]) << d;
        }
    // Nor does a pane without a document.
    CColorSetupRef bare = ZuNew<CColorSetup>(Zuvi_app_zone);
    bare->Build();
    bare->Update(0, 0);
    EXPECT_TRUE(Send(ZuObjectRef(bare), "OnColorSlider2"));
    EXPECT_EQ(bare->RetElementList()->RetSelected(), 0);
    bare->Delete();
    EXPECT_EQ(CColorSetup::ColorDefOfElement(12), -1);
    EXPECT_EQ(CColorSetup::ColorDefOfElement(-1), -1);
}

TEST_F(ColorSetupTest, AColourReadOutOfRangeIsShownClampedAndNotWrittenBack)
{
    TOddColourRef odd = ZuNew<TOddColour>(Zuvi_app_zone);
    odd->stored[0] = 7.5;
    odd->stored[1] = std::nan("");
    odd->stored[2] = -3.0;
    const std::string path = ::testing::TempDir() + "odd-colour.lumbra";
    ASSERT_TRUE(WriteOddDocument(path, {}, false, CColorDefRef(odd)));
    odd->Delete();
    ASSERT_TRUE(View()->OpenDocument(ZuStringRef(path.c_str())));
    Pump();
    ChooseRow(0); // "Grille magnétique"
    ExpectNear(SliderColour(1), {1.0, 0.0, 0.0}, 0.05);
    dlg->Update(0, 0);
    // The stored components are as they were read (a component that is no
    // number reads as 0).
    const CColorDefRef grid = Doc()->GetColor(15);
    double c[3];
    for (int i = 0; i < 3; ++i)
        grid->GetComponent(i, c[i]);
    EXPECT_EQ(c[0], 7.5);
    EXPECT_EQ(c[1], 0.0);
    EXPECT_EQ(c[2], -3.0);
    std::remove(path.c_str());
}
