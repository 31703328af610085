// The uniform fill and hatching panes as a user meets them: the uniform
// pane's two centred lines and the fill kind it writes; the hatching rows
// editing set 0 only, typed values clamped by the entries and letters
// refused, "Modify" then "Quick" for each edit, the sample drawn only for a
// hatched fill and not again while unchanged, and the colour code that the
// hatching registers.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "app/colordef.h"
#include "app/motifhachpane.h"
#include "app/motifunipane.h"
#include "app/pendef.h"
#include "si/string.h"
#include "si/texttag.h"
#include "tests/app/panetest.h"

namespace {

class MotifPaneTest : public PaneTest {
protected:
    void SetUp() override
    {
        PaneTest::SetUp();
        def = ZuNew<CMotifDef>(Zuvi_app_zone);
    }
    void TearDown() override
    {
        def = CMotifDefRef();
        PaneTest::TearDown();
    }
    CMotifDefRef def;
};

} // namespace

TEST_F(MotifPaneTest, TheUniformPaneSaysItHasNothingButTheColour)
{
    CMotifUniPaneRef pane = MakePane<CMotifUniPane>(20);
    ASSERT_TRUE(pane->SetDef(CDefRef(ZuObjectRef(def))));
    def->SetValue(62);
    pane->SetValue(60);
    pane->Refresh();
    EXPECT_EQ(def->GetValue(), 60);
    EXPECT_EQ(pane->GetValue(), 60);
    std::vector<std::string> texts;
    ZuViewRef child;
    bool more = pane->GetFirstChild(child);
    while (more && child.IsValid()) {
        if (child->IsKindOf(ZuTextTagRef::RetRuntime())) {
            ZuTextTagRef tag(child);
            double x, y;
            tag->GetOrigin(x, y);
            if (x == 89) {
                texts.push_back(Latin(tag->RetText()));
                EXPECT_TRUE(tag->RetTextStyle() == ZU_TEXT_HPOS_CENTER);
            }
        }
        ZuViewRef next;
        more = child->GetNextSibling(next);
        child = next;
    }
    EXPECT_EQ(texts,
              (std::vector<std::string>{"Surface unie", "(aucun attribut autre que la couleur)"}));
    // The view reports the choice: the pane's own kind first.
    pane->NotifyChange(false, false);
    EXPECT_EQ(Codes(pane), std::vector<int>{20});
    EXPECT_EQ(Reports(), "Modify ");
    CPenDefRef pen = ZuNew<CPenDef>(Zuvi_app_zone);
    EXPECT_FALSE(pane->SetDef(CDefRef(ZuObjectRef(pen))));
    EXPECT_TRUE(pane->RetDef() == def);
    pane->Delete();
}

class HatchPaneTest : public MotifPaneTest {
protected:
    void SetUp() override
    {
        MotifPaneTest::SetUp();
        pane = MakePane<CMotifHachPane>(20);
        ASSERT_TRUE(pane->SetDef(CDefRef(ZuObjectRef(def))));
    }
    void TearDown() override
    {
        pane->Delete();
        pane = CMotifHachPaneRef();
        MotifPaneTest::TearDown();
    }
    void Show(int value)
    {
        pane->SetValue(value);
        pane->Refresh();
        Pump();
    }
    CMotifHachPaneRef pane;
};

TEST_F(HatchPaneTest, EntriesShowAndEditSetZeroOnly)
{
    Show(62);
    EXPECT_EQ(Reports(), "");
    EXPECT_NEAR(pane->RetThicknessEntry()->GetValue(), 1.0, 1e-9);
    EXPECT_NEAR(pane->RetSpacingEntry()->GetValue(), 10.0, 1e-9);
    EXPECT_NEAR(pane->RetAngleEntry()->GetValue(), M_PI / 4, 1e-6);
    double others[3][3];
    for (int i = 1; i < 4; ++i) {
        others[i - 1][0] = def->GetHatchThickness(i);
        others[i - 1][1] = def->GetHatchSpacing(i);
        others[i - 1][2] = def->GetHatchAngle(i);
    }
    const struct {
        double y;
        const char* typed;
        double (CMotifDef::*get)(int) const;
        double stored;
    } cases[] = {
        {24, "2.5", &CMotifDef::GetHatchThickness, 2.5},
        {52, "200", &CMotifDef::GetHatchSpacing, 100.0},
        {52, "4", &CMotifDef::GetHatchSpacing, 4.0},
        {80, "200", &CMotifDef::GetHatchAngle, 3.1415926535},
        {80, "90", &CMotifDef::GetHatchAngle, M_PI / 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        TypeInto(130, c.y, c.typed);
        EXPECT_NEAR((def.RetRawObject()->*c.get)(0), c.stored, 1e-9);
        EXPECT_EQ(Reports(), "Modify Quick ");
    }
    TypeInto(130, 24, "x"); // refused
    EXPECT_NEAR(def->GetHatchThickness(0), 2.5, 1e-9);
    EXPECT_EQ(Reports(), "");
    for (int i = 1; i < 4; ++i) {
        EXPECT_EQ(def->GetHatchThickness(i), others[i - 1][0]);
        EXPECT_EQ(def->GetHatchSpacing(i), others[i - 1][1]);
        EXPECT_EQ(def->GetHatchAngle(i), others[i - 1][2]);
    }
    EXPECT_EQ(Codes(pane), std::vector<int>{20});
}

TEST_F(HatchPaneTest, TheSampleIsDrawnForHatchingOnlyAndNotAgainWhileUnchanged)
{
    Show(60);
    EXPECT_EQ(pane->RetDrawCount(), 0);
    TypeInto(130, 52, "5"); // written and reported, not drawn
    EXPECT_EQ(def->GetHatchSpacing(0), 5.0);
    EXPECT_EQ(Reports(), "Modify Quick ");
    EXPECT_EQ(pane->RetDrawCount(), 0);
    Show(62);
    EXPECT_EQ(pane->RetDrawCount(), 1);
    int black = 0;
    for (int y = 104; y < 190; y += 2)
        for (int x = 26; x < 172; x += 2)
            black += Near(PanePixel(x, y), 0) ? 1 : 0;
    EXPECT_GT(black, 0);
    pane->Refresh();
    TypeInto(130, 52, "5"); // the same value
    EXPECT_EQ(pane->RetDrawCount(), 1);
    TypeInto(130, 52, "6");
    EXPECT_EQ(pane->RetDrawCount(), 2);
}

TEST_F(HatchPaneTest, RegisterCodesListsTheColourCodeOnlyAfterSettingTwoColours)
{
    CColorDefRef colour = ZuNew<CColorDef>(Zuvi_app_zone);
    pane->RegisterCodes(); // no colour definition: nothing
    EXPECT_TRUE(Codes(pane).empty());
    dialog->defs[25] = CDefRef(ZuObjectRef(colour));
    pane->RegisterCodes();
    EXPECT_EQ(Codes(pane), std::vector<int>{25});
    EXPECT_EQ(colour->GetCount(), 2);
    EXPECT_EQ(colour->GetStyle(), 1);
    CMotifHachPaneRef other = MakePane<CMotifHachPane>(50);
    other->RegisterCodes();
    EXPECT_TRUE(Codes(other).empty());
    other->Delete();
}
