// The colour composition pane as a user meets it: its rows named and
// scaled by the model, typed components clamped or refused, the component
// sliders, hue bar, colour field, swatch and entries kept in step whichever
// moves, the palettes, the transparency switch, the reports and index
// buttons after each change, and colours restored with a model it does not
// know or components that are not numbers.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "app/colorcompopane.h"
#include "app/iindexbuttons.h"
#include "app/pendef.h"
#include "si/string.h"
#include "tests/app/panetest.h"

// The attributes dialog that also rebuilds index buttons: it logs the kinds.
ZU_HANDLE(TIndexDlg, TDefDlg)
class TIndexDlg : public TDefDlg, public IIndexButtons {
    ZU_CLASS(TIndexDlg, TDefDlg)
public:
    TIndexDlg() {}
    void UpdateIndexButtons(int kind) override { rebuilt.push_back(kind); }
    std::vector<int> rebuilt;
};
ZU_CLASS_END(TIndexDlg)
ZU_IMPLEMENT_CLASS(TIndexDlg, "tests/app/colorcompopane_test", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(TIndexDlg, IIndexButtons)

namespace {

class ColorPaneTest : public PaneTest {
protected:
    void SetUp() override
    {
        PaneTest::SetUp();
        index_dlg = ZuNew<TIndexDlg>(Zuvi_app_zone);
        CDefPane::SetFallbackDefDlg(index_dlg);
        pane = MakePane<CColorCompoPane>(25);
        def = ZuNew<CColorDef>(Zuvi_app_zone);
        ASSERT_TRUE(pane->SetDef(CDefRef(ZuObjectRef(def))));
    }
    void TearDown() override
    {
        pane->Delete();
        pane = CColorCompoPaneRef();
        def = CColorDefRef();
        CDefPane::SetFallbackDefDlg(dialog);
        index_dlg->Delete();
        index_dlg = TIndexDlgRef();
        PaneTest::TearDown();
    }
    void Show(int model)
    {
        pane->SetValue(model);
        pane->Refresh();
        Pump();
    }
    std::string EntryText(int n) { return Latin(pane->RetEntry(n)->RetText()); }
    bool Hidden(const ZuViewRef& v) { return v->RetState().TestBit(ZU_VIEW_NO_DISPLAY); }
    static unsigned Word(const ZuColorPixel& c) { return unsigned(c) & 0xFFFFFF; }
    // The row's entry centre in the pane.
    static double EntryY(int n) { return 51.5 + 20 * n; }
    CColorCompoPaneRef pane;
    CColorDefRef def;
    TIndexDlgRef index_dlg;
};

} // namespace

TEST_F(ColorPaneTest, RowsAreNamedAndScaledByTheModel)
{
    const struct {
        int model;
        const char* names[4];
        int tips[4];
    } cases[] = {
        {50, {"Rouge", "Vert", "Bleu", ""}, {255, 255, 255, 1}},
        {52, {"Teinte", "Saturation", "Intensit\xe9", ""}, {360, 100, 100, 1}},
        {51, {"Cyan", "Magenta", "Jaune", "Noir"}, {100, 100, 100, 100}},
        {53, {"Gris", "", "", ""}, {100, 1, 1, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.model);
        Show(c.model);
        for (int n = 0; n < 4; ++n) {
            EXPECT_EQ(Latin(pane->RetLabel(n)->RetText()), c.names[n]) << n;
            const bool used = c.names[n][0] != 0;
            EXPECT_EQ(pane->IsRowUsed(n), used) << n;
            EXPECT_EQ(Hidden(pane->RetEntry(n)), !used) << n;
            EXPECT_EQ(Hidden(pane->RetSlider(n)), !used) << n;
            if (!used) {
                EXPECT_EQ(EntryText(n), "");
                EXPECT_EQ(pane->RetSlider(n)->GetPositionX(), 0.0);
            }
            EXPECT_EQ(Latin(pane->RetEntry(n)->RetToolTip()),
                      "De 0 \xe0 " + std::to_string(c.tips[n]));
        }
        EXPECT_FALSE(pane->IsRowUsed(4));
        EXPECT_TRUE(Hidden(pane->RetEntry(4)));
    }
    // Model 54 keeps what the rows had.
    Show(54);
    EXPECT_EQ(Latin(pane->RetLabel(0)->RetText()), "Gris");
    EXPECT_EQ(pane->RetScale(0), 100);
    EXPECT_EQ(Reports(), "");
}

TEST_F(ColorPaneTest, ANewPaneFirstShownWithTheListModelHasTheScalesOfRgbAndNoRow)
{
    Show(54);
    for (int n = 0; n < 5; ++n)
        EXPECT_FALSE(pane->IsRowUsed(n)) << n;
    EXPECT_EQ(pane->RetScale(0), 255);
    EXPECT_EQ(pane->RetScale(4), 100);
    EXPECT_EQ(Latin(pane->RetEntry(0)->RetToolTip()), "De 0 \xe0 255");
}

TEST_F(ColorPaneTest, TypedComponentsAreClampedOrRefusedAndEverythingFollows)
{
    Show(50);
    index_dlg->rebuilt.clear();
    TypeInto(275, EntryY(0), "128");
    double r, g, b;
    def->GetRGB(r, g, b);
    EXPECT_NEAR(r, 128.0 / 255, 1e-12);
    EXPECT_NEAR(pane->RetSlider(0)->GetPositionX(), 128.0 / 255, 1e-12);
    EXPECT_EQ(Reports(), "Modify ");
    EXPECT_FALSE(index_dlg->rebuilt.empty());
    EXPECT_EQ(index_dlg->rebuilt.back(), 25);
    int* list = nullptr;
    int count = 0;
    pane->GetCodes(&list, &count);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(list[0], 25);
    // The swatch and the field show the colour.
    ZuColorPixel shown;
    pane->RetField()->RetColor(shown);
    EXPECT_TRUE(Near(Word(shown), 0x800000));
    EXPECT_TRUE(Near(PanePixel(80, 160), 0x800000));
    TypeInto(275, EntryY(1), "300"); // beyond the scale: green 1
    def->GetRGB(r, g, b);
    EXPECT_EQ(g, 1.0);
    EXPECT_EQ(Reports(), "Modify ");
    TypeInto(275, EntryY(2), "x"); // refused
    def->GetRGB(r, g, b);
    EXPECT_EQ(b, 0.0);
    EXPECT_EQ(Reports(), "");
}

TEST_F(ColorPaneTest, AComponentSliderWritesItsWholeNumberIntoTheEntry)
{
    Show(50);
    // Red slider at (294, 41.5), 72 wide: field from 299 over 61 pixels.
    Click(299 + 30, EntryY(0));
    EXPECT_NEAR(pane->RetSlider(0)->GetPositionX(), 30.0 / 61, 1e-9);
    EXPECT_EQ(EntryText(0), "125"); // 30 / 61 x 255, cut
    double r, g, b;
    def->GetRGB(r, g, b);
    EXPECT_NEAR(r, 30.0 / 61, 1e-9);
    EXPECT_EQ(Reports().substr(0, 7), "Modify ");
    // The slider at 0.5 as it reports: "127".
    pane->RetSlider(0)->SetPositionX(0.5);
    pane->OnChangeSlider1(ZuObjectRef(), 0);
    EXPECT_EQ(EntryText(0), "127");
    // HSB: the hue row runs 0 to 360 over the hues.
    Show(52);
    EXPECT_EQ(pane->RetSlider(0)->GetStyle(), 0x10102u);
    Click(299 + 20, EntryY(0));
    EXPECT_EQ(EntryText(0), "118"); // 20 / 61 x 360
}

TEST_F(ColorPaneTest, TheTransparencySwitchIsOnOnlyAtOne)
{
    const struct {
        double t;
        bool on;
    } cases[] = {{0.0, false}, {0.999, false}, {1.0, true}};
    for (const auto& c : cases) {
        def->SetComponent(4, c.t);
        Show(50);
        EXPECT_EQ(pane->RetTransparency()->RetSwitchState(), c.on) << c.t;
    }
    EXPECT_EQ(Latin(pane->RetTransparency()->RetTitle()), "Transparent");
    Reports();
    Click(270, 131.5);
    EXPECT_FALSE(pane->RetTransparency()->RetSwitchState());
    double t = -1;
    def->GetComponent(4, t);
    EXPECT_EQ(t, 0.0);
    EXPECT_EQ(Reports(), "Modify ");
}

TEST_F(ColorPaneTest, GreyTurnsTheBarAndTheCornersGrey)
{
    def->SetValue(53);
    def->SetGray(0.25);
    Show(53);
    const CColorSliderRef& bar = pane->RetHueBar();
    EXPECT_EQ(bar->GetStyle(), 0x10001u);
    EXPECT_EQ(Word(bar->GetColorUL()), 0xFFFFFFu);
    EXPECT_EQ(Word(bar->GetColorDL()), 0u);
    EXPECT_NEAR(bar->GetPositionY(), 0.75, 1e-9);
    EXPECT_EQ(EntryText(0), "25");
    pane->OnClickStyle5(ZuObjectRef(), 0); // red, green, blue greyed
    const ZuColorPixel ur = pane->RetField()->GetColorUR();
    EXPECT_EQ(ur.Red(), ur.Green());
    EXPECT_EQ(ur.Green(), ur.Blue());
    EXPECT_NEAR(ur.RealRed(), 1.0 / 3, 0.005);
}

TEST_F(ColorPaneTest, PalettesSetTheFieldCornersAndTakeTheColourUnderThePoint)
{
    def->SetValue(52);
    def->SetHSB(0.05, 1.0, 1.0);
    Show(52);
    Reports();
    Click(201 + 2 * 25 + 3 + 12, 16); // style 2: near colours
    EXPECT_EQ(pane->RetPaletteStyle(), 2);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(pane->RetStyleButton(i)->RetState().TestBit(ZU_VIEW_IS_ON), i == 2) << i;
    CColorDefRef probe = ZuNew<CColorDef>(Zuvi_app_zone);
    const ZuColorPixel ur = pane->RetField()->GetColorUR();
    probe->SetRGB(ur.RealRed(), ur.RealGreen(), ur.RealBlue());
    double h, s, v;
    probe->GetHSB(h, s, v);
    EXPECT_NEAR(h, 0.925, 0.005);
    ZuColorPixel under;
    pane->RetField()->RetColor(under);
    double r, g, b;
    def->GetRGB(r, g, b);
    EXPECT_NEAR(r, under.RealRed(), 1e-9);
    EXPECT_NEAR(g, under.RealGreen(), 1e-9);
    EXPECT_EQ(Reports(), "Modify ");
}

TEST_F(ColorPaneTest, DraggingOnTheFieldKeepsEntriesSwatchAndDefinitionInStep)
{
    Show(50);
    Reports();
    PaneMouse(60, 30, 0);
    PaneMouse(60, 30, MK_LBUTTON);
    PaneMouse(120, 100, MK_LBUTTON);
    PaneMouse(140, 120, MK_LBUTTON);
    PaneMouse(140, 120, 0);
    ZuColorPixel c;
    pane->RetField()->RetColor(c);
    double r, g, b;
    def->GetRGB(r, g, b);
    EXPECT_NEAR(r, c.RealRed(), 1e-9);
    EXPECT_NEAR(b, c.RealBlue(), 1e-9);
    EXPECT_EQ(EntryText(0), std::to_string(int(r * 255)));
    EXPECT_EQ(EntryText(2), std::to_string(int(b * 255)));
    EXPECT_TRUE(Near(PanePixel(80, 160), Word(c)));
    EXPECT_EQ(Reports().substr(0, 7), "Modify ");
    // The hue bar: the field's upper-left corner follows its colour.
    PaneMouse(16, 9 + 130.0 / 3, 0);
    PaneMouse(16, 9 + 130.0 / 3, MK_LBUTTON);
    PaneMouse(16, 9 + 130.0 / 3, 0);
    EXPECT_TRUE(Near(Word(pane->RetField()->GetColorUL()), 0x00FF00));
}

TEST_F(ColorPaneTest, AnUnknownModelShowsNoRowAndChangesNothing)
{
    def->SetComponent(0, std::numeric_limits<double>::quiet_NaN());
    Show(50);
    EXPECT_EQ(EntryText(0), "0");
    def->SetValue(99);
    pane->Refresh();
    for (int n = 0; n < 5; ++n)
        EXPECT_FALSE(pane->IsRowUsed(n)) << n;
    double r, g, b;
    def->GetRGB(r, g, b);
    pane->OnChangePane2(ZuObjectRef(), 0);
    pane->OnClickStyle5(ZuObjectRef(), 0);
    pane->OnTransparency(ZuObjectRef(), 0);
    double r2, g2, b2;
    def->GetRGB(r2, g2, b2);
    EXPECT_EQ(r2, r);
    EXPECT_EQ(g2, g);
    EXPECT_EQ(b2, b);
    EXPECT_EQ(def->GetValue(), 99);
    EXPECT_EQ(Reports(), "");
}

TEST_F(ColorPaneTest, LayoutAndAnotherClassRefused)
{
    EXPECT_TRUE(pane->IsColorPane());
    const double xs[] = {201, 226, 254, 279, 307, 332};
    for (int i = 0; i < 6; ++i) {
        double x, y;
        pane->RetStyleButton(i)->GetOrigin(x, y);
        EXPECT_EQ(x, xs[i]);
        EXPECT_EQ(y, 4);
    }
    EXPECT_EQ(Latin(pane->RetSample()->RetToolTip()), "Echantillon");
    CPenDefRef pen = ZuNew<CPenDef>(Zuvi_app_zone);
    EXPECT_FALSE(pane->SetDef(CDefRef(ZuObjectRef(pen))));
    EXPECT_TRUE(pane->RetDef() == def);
}
