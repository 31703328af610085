// The arrow-head pane as a user meets it: the rows of each shape with
// their units and bounds, the "Direction" switches adding and removing
// the overhang, typed dimensions written by shape with "Modify" alone, a
// refresh that writes nothing, a head without dimensions showing no rows,
// and the sample's head at the line's start or end by the pane's kind.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "app/arrowpane.h"
#include "app/pendef.h"
#include "tests/app/panetest.h"

namespace {

class ArrowPaneTest : public PaneTest {
protected:
    void SetUp() override
    {
        PaneTest::SetUp();
        Make(41);
    }
    void TearDown() override
    {
        pane->Delete();
        pane = CArrowPaneRef();
        def = CArrowDefRef();
        PaneTest::TearDown();
    }
    void Make(int kind)
    {
        if (pane.IsValid())
            pane->Delete();
        pane = MakePane<CArrowPane>(kind);
        def = ZuNew<CArrowDef>(Zuvi_app_zone);
        ASSERT_TRUE(pane->SetDef(CDefRef(ZuObjectRef(def))));
    }
    void Show(int shape)
    {
        pane->SetValue(shape);
        pane->Refresh();
        Pump();
    }
    // The labels of the rows shown, "|" after each; "+box" when the
    // direction box shows.
    std::string Rows()
    {
        std::string out;
        for (int i = 0; i < CArrowPane::kRows; ++i) {
            const bool label = pane->RetLabel(i)->RetParent() == pane;
            const bool entry = pane->RetEntry(i)->RetParent() == pane;
            EXPECT_EQ(label, entry) << i;
            if (label)
                out += Latin(pane->RetLabel(i)->RetText()) + "|";
        }
        if (pane->RetDirectionBox()->RetParent() == pane)
            out += "+box";
        return out;
    }
    int DarkIn(int x1, int x2)
    {
        int n = 0;
        for (int y = 122; y < 192; ++y)
            for (int x = x1; x < x2; ++x)
                n += Near(PanePixel(x, y), 0) ? 1 : 0;
        return n;
    }
    CArrowPaneRef pane;
    CArrowDefRef def;
};

} // namespace

TEST_F(ArrowPaneTest, EachShapeShowsItsRowsWithTheirSettings)
{
    const struct {
        int shape;
        int flags;
        const char* rows;
    } cases[] = {
        {67, 0, "Longueur|Ouverture|Renfoncement|+box"},
        {67, 1,
         "Longueur|Ouverture|Renfoncement|D\xe9"
         "bordement|+box"},
        {68, 0, "Rayon|"},
        {69, 0, "Longueur|Inclinaison|"},
        {66, 0, ""},
        {3, 1, ""},
    };
    for (const auto& c : cases) {
        def->SetFlags(c.flags);
        Show(c.shape);
        EXPECT_EQ(Rows(), c.rows) << c.shape;
    }
    Show(69);
    const CTextLineArrowRef& slant = pane->RetEntry(1);
    EXPECT_EQ(slant->GetUnit(), 13);
    EXPECT_EQ(slant->GetMax(), 6.283185307);
    EXPECT_EQ(slant->GetStep(), 0.08726646259722222);
    EXPECT_EQ(slant->GetSliderGrad(), 8u);
    EXPECT_EQ(slant->GetSliderLog(), 0.0);
    Show(67);
    const CTextLineArrowRef& recess = pane->RetEntry(2);
    EXPECT_EQ(recess->GetUnit(), 0);
    EXPECT_EQ(recess->GetMin(), -100.0);
    EXPECT_EQ(recess->GetMax(), 100.0);
    EXPECT_EQ(recess->GetSliderGrad(), 8u);
    EXPECT_EQ(recess->GetSliderSubdiv(), 2u);
    const CTextLineArrowRef& length = pane->RetEntry(0);
    EXPECT_EQ(length->GetMin(), 0.0);
    EXPECT_EQ(length->GetSliderGrad(), 10u);
    EXPECT_EQ(length->GetSliderLog(), 2.0);
    EXPECT_EQ(Reports(), "");
}

TEST_F(ArrowPaneTest, TheDirectionSwitchesAddAndRemoveTheOverhang)
{
    Show(67);
    EXPECT_TRUE(pane->RetInwardSwitch()->RetSwitchState());
    EXPECT_FALSE(pane->RetOutwardSwitch()->RetSwitchState());
    Click(230, 167); // "Extérieur"
    EXPECT_EQ(def->GetFlags() & 1, 1);
    EXPECT_TRUE(pane->RetOutwardSwitch()->RetSwitchState());
    EXPECT_FALSE(pane->RetInwardSwitch()->RetSwitchState());
    EXPECT_EQ(Rows(), "Longueur|Ouverture|Renfoncement|D\xe9"
                      "bordement|+box");
    EXPECT_EQ(Reports(), "Modify ");
    Click(230, 149); // "Intérieur"
    EXPECT_EQ(def->GetFlags() & 1, 0);
    EXPECT_EQ(Rows(), "Longueur|Ouverture|Renfoncement|+box");
    EXPECT_EQ(Reports(), "Modify ");
}

TEST_F(ArrowPaneTest, TypedDimensionsAreWrittenByShapeAndReportedAsModifyOnly)
{
    def->SetParam4(7);
    Show(67);
    EXPECT_DOUBLE_EQ(pane->RetEntry(0)->GetValue(), 20.0);
    EXPECT_EQ(def->GetParam4(), 7.0); // written by no refresh
    const struct {
        int row;
        const char* typed;
        double (CArrowDef::*get)() const;
        double value;
    } cases[] = {{0, "35", &CArrowDef::GetParam1, 35.0},
                 {0, "-5", &CArrowDef::GetParam1, 0.0},
                 {1, "150", &CArrowDef::GetParam2, 100.0},
                 {2, "-30", &CArrowDef::GetParam3, -30.0}};
    for (const auto& c : cases) {
        TypeInto(130, 24 + 26 * c.row, c.typed);
        EXPECT_EQ((def.operator->()->*(c.get))(), c.value) << c.typed;
        EXPECT_EQ(Reports(), "Modify ") << c.typed;
    }
    int* list = nullptr;
    int count = 0;
    pane->GetCodes(&list, &count);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(list[0], 41);
    TypeInto(130, 24, "x");
    EXPECT_EQ(def->GetParam1(), 0.0);
    EXPECT_EQ(Reports(), "");
    // The architect's slant is typed in degrees.
    Show(69);
    TypeInto(130, 50, "90");
    EXPECT_NEAR(def->GetParam5(), M_PI / 2, 1e-9);
    EXPECT_EQ(Reports(), "Modify ");
    // A sender that is no row changes nothing.
    pane->RetEntry(0)->SetUserTag(3);
    EXPECT_TRUE(pane->OnEditChange(pane->RetEntry(0), 0));
    CPenDefRef pen = ZuNew<CPenDef>(Zuvi_app_zone);
    EXPECT_TRUE(pane->OnEditChange(pen, 0));
    EXPECT_EQ(Reports(), "");
    EXPECT_FALSE(pane->SetDef(CDefRef(ZuObjectRef(pen))));
}

TEST_F(ArrowPaneTest, TheSampleCarriesTheHeadAtTheEndOfItsKind)
{
    for (int kind : {40, 41}) {
        Make(kind);
        def->SetParam1(15);
        Show(68);
        const int left = DarkIn(14, 60), right = DarkIn(138, 184);
        if (kind == 40)
            EXPECT_GT(left, right + 40) << left << " " << right;
        else
            EXPECT_GT(right, left + 40) << left << " " << right;
        const int drawn = pane->RetDrawCount();
        pane->Refresh();
        EXPECT_EQ(pane->RetDrawCount(), drawn);
        // No head: the plain line still shows, with no rows to edit.
        Show(66);
        EXPECT_EQ(pane->RetDrawCount(), drawn + 1);
        EXPECT_EQ(Rows(), "");
        EXPECT_GT(DarkIn(14, 184), 40);
    }
}
