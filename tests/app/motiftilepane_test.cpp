// The special fill pane as a user meets it: the row buttons and what each
// row shows, a row change that writes and reports nothing, linked steps
// and sizes, typed values clamped and letters refused, values driven by a
// variable pulsar shown "Selon évolution ..." and disabled, the colours
// registered, and the sample drawn with the group's brush, zoomed up for
// small steps, also for steps read from a file below the setters' floor.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "app/colordef.h"
#include "app/motiftilepane.h"
#include "app/pendef.h"
#include "app/pulsardef.h"
#include "si/string.h"
#include "tests/app/deftest.h"
#include "tests/app/panetest.h"

namespace {

class SpecPaneTest : public PaneTest {
protected:
    void SetUp() override
    {
        PaneTest::SetUp();
        def = ZuNew<CMotifDef>(Zuvi_app_zone);
        def->SetValue(64);
        pane = MakePane<CMotifSpecPane>(20);
        ASSERT_TRUE(pane->SetDef(CDefRef(ZuObjectRef(def))));
        pane->Refresh();
        Pump();
    }
    void TearDown() override
    {
        pane->Delete();
        pane = CMotifSpecPaneRef();
        def = CMotifDefRef();
        PaneTest::TearDown();
    }
    // A click on row button i.
    void ClickRow(int i) { Click(19 + 23 * i, 19); }
    void Type1(const char* text) { TypeInto(40, 65, text); }
    void Type2(const char* text) { TypeInto(40, 105, text); }
    // A brush for the group, so that the sample can be drawn.
    CPatternDefRef GiveBrush()
    {
        CPatternDefRef brush = ZuNew<CPatternDef>(Zuvi_app_zone);
        brush->LoadPrefab(0);
        dialog->defs[21] = CDefRef(ZuObjectRef(brush));
        return brush;
    }
    // Pixels of the sample box other than white.
    int InkInSample()
    {
        int ink = 0;
        for (int y = 134; y < 188; ++y)
            for (int x = 8; x < 194; ++x)
                ink += Near(PanePixel(x, y), 0) ? 1 : 0;
        return ink;
    }
    CMotifSpecPaneRef pane;
    CMotifDefRef def;
};

} // namespace

TEST_F(SpecPaneTest, EachRowShowsItsLabelsUnitsAndBoundsAndWritesNothing)
{
    const struct {
        int row;
        const char* first;
        const char* second; // "" : no second entry
        int unit;
        double minimum, maximum, step;
        unsigned grad;
        double log;
        bool link;
    } cases[] = {
        {0, "Pas horizontal", "Pas vertical", 0, 0.0, 100.0, 1.0, 10, 2.0, true},
        {1,
         "Largeur occup\xe9"
         "e",
         "Hauteur occup\xe9"
         "e",
         12, 0.0, 2.0, 0.05, 8, 0.0, true},
        {2, "Origine horizontale", "Origine verticale", 0, -100.0, 100.0, 1.0, 8, 0.0, false},
        {3,
         "D\xe9"
         "calage horizontal",
         "D\xe9"
         "calage vertical",
         12, -0.5, 0.5, 0.05, 8, 0.0, false},
        {4, "Perspective horizontale", "Perspective verticale", 12, -2.0, 2.0, 0.1, 8, 0.0, false},
        {5, "Inclinaison globale", "Inclinaison du motif", 13, 0.0, 6.283185307,
         0.08726646259722222, 8, 0.0, false},
        {6, "Variation", "", 12, 0.0, 1.0, 0.05, 8, 0.0, false},
        {0, "Pas horizontal", "Pas vertical", 0, 0.0, 100.0, 1.0, 10, 2.0, true},
    };
    const char* const tips[7] = {"Pas",
                                 "Taille",
                                 "Origine",
                                 "D\xe9"
                                 "calage",
                                 "Perspective",
                                 "Inclinaison",
                                 "Variation"};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(Latin(pane->RetRowButton(i)->RetToolTip()), tips[i]);
    CMotifDefRef before = ZuNew<CMotifDef>(Zuvi_app_zone);
    before->CopyFrom(CDefRef(ZuObjectRef(def)));
    const int drawn = pane->RetDrawCount();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        ClickRow(c.row);
        EXPECT_EQ(pane->RetRow(), c.row);
        for (int i = 0; i < 7; ++i)
            EXPECT_EQ(pane->RetRowButton(i)->RetState().TestBit(ZU_VIEW_IS_ON), i == c.row);
        EXPECT_EQ(Latin(pane->RetLabel1()->RetText()), c.first);
        EXPECT_EQ(Latin(pane->RetLabel2()->RetText()), c.second);
        const bool two = c.second[0] != 0;
        EXPECT_TRUE(Shown(pane->RetEntry1()));
        EXPECT_EQ(Shown(pane->RetEntry2()), two);
        EXPECT_EQ(Shown(pane->RetLinkSwitch()), c.link);
        for (const CTextLineArrowRef& e : {pane->RetEntry1(), pane->RetEntry2()}) {
            if (!Shown(e))
                continue;
            ExpectValueEntry(e, c);
        }
    }
    EXPECT_TRUE(def->IsEqualCurrent(CDefRef(ZuObjectRef(before))));
    EXPECT_EQ(Reports(), "");
    EXPECT_TRUE(Codes(pane).empty());
    EXPECT_EQ(pane->RetDrawCount(), drawn);
    EXPECT_EQ(Latin(pane->RetLinkSwitch()->RetToolTip()), "Lie les deux valeurs");
    // A sender that is no row button is refused.
    pane->RetRowButton(3)->SetUserTag(107);
    EXPECT_FALSE(pane->OnClickRadio(pane->RetRowButton(3), 0));
    EXPECT_FALSE(pane->OnClickRadio(ZuObjectRef(def), 0));
    EXPECT_EQ(pane->RetRow(), 0);
}

TEST_F(SpecPaneTest, EntriesShowTheRowsValues)
{
    def->SetOccupiedWidth(0.25);
    def->SetOccupiedHeight(1.5);
    def->SetGlobalAngle(M_PI / 2);
    def->SetVariation(0.4);
    ClickRow(1);
    EXPECT_DOUBLE_EQ(pane->RetEntry1()->GetValue(), 0.25);
    EXPECT_DOUBLE_EQ(pane->RetEntry2()->GetValue(), 1.5);
    ClickRow(5);
    EXPECT_NEAR(pane->RetEntry1()->GetValue(), M_PI / 2, 1e-9);
    ClickRow(6);
    EXPECT_DOUBLE_EQ(pane->RetEntry1()->GetValue(), 0.4);
    EXPECT_EQ(Reports(), "");
}

TEST_F(SpecPaneTest, TypedValuesAreClampedAndLettersRefused)
{
    pane->RetLinkSwitch()->SetSwitchState(false);
    pane->OnClickLink(pane->RetLinkSwitch(), 0);
    const struct {
        int row;
        bool second;
        const char* typed;
        double (CMotifDef::*get)() const;
        double stored;
    } cases[] = {
        {0, false, "250", &CMotifDef::GetStepX, 100.0},
        {0, true, "7", &CMotifDef::GetStepY, 7.0},
        {1, false, "150", &CMotifDef::GetOccupiedWidth, 1.5},
        {1, true, "300", &CMotifDef::GetOccupiedHeight, 2.0},
        {2, false, "-150", &CMotifDef::GetOriginX, -100.0},
        {2, true, "12.5", &CMotifDef::GetOriginY, 12.5},
        {3, false, "-80", &CMotifDef::GetOffsetX, -0.5},
        {3, true, "20", &CMotifDef::GetOffsetY, 0.2},
        {4, false, "-300", &CMotifDef::GetPerspectiveX, -2.0},
        {4, true, "50", &CMotifDef::GetPerspectiveY, 0.5},
        {5, false, "400", &CMotifDef::GetGlobalAngle, 6.283185307},
        {5, true, "90", &CMotifDef::GetMotifAngle, M_PI / 2},
        {6, false, "50", &CMotifDef::GetVariation, 0.5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        ClickRow(c.row);
        if (c.second)
            Type2(c.typed);
        else
            Type1(c.typed);
        EXPECT_NEAR((def.RetRawObject()->*c.get)(), c.stored, 1e-9);
        EXPECT_EQ(Reports(), "Modify Quick ");
    }
    EXPECT_EQ(Codes(pane), std::vector<int>{20});
    // Letters are refused: nothing written, nothing reported.
    ClickRow(2);
    Type1("abc");
    EXPECT_EQ(def->GetOriginX(), -100.0);
    EXPECT_EQ(Reports(), "");
}

TEST_F(SpecPaneTest, LinkedValuesFollowTheDefinition)
{
    ASSERT_TRUE(pane->RetLinked());
    EXPECT_TRUE(pane->RetLinkSwitch()->RetSwitchState());
    Type1("5");
    EXPECT_EQ(def->GetStepX(), 5.0);
    EXPECT_EQ(def->GetStepY(), 5.0);
    EXPECT_DOUBLE_EQ(pane->RetEntry2()->GetValue(), 5.0);
    EXPECT_EQ(Reports(), "Modify Quick ");
    // Below the floor: both hold it, the other entry shows it, the typed
    // text stays.
    Type1("0.05");
    EXPECT_EQ(def->GetStepX(), 0.1);
    EXPECT_EQ(def->GetStepY(), 0.1);
    EXPECT_DOUBLE_EQ(pane->RetEntry2()->GetValue(), 0.1);
    EXPECT_EQ(Latin(pane->RetEntry1()->RetText()), "0.05");
    EXPECT_EQ(Reports(), "Modify Quick ");
    ClickRow(1);
    Type2("50");
    EXPECT_EQ(def->GetOccupiedHeight(), 0.5);
    EXPECT_EQ(def->GetOccupiedWidth(), 0.5);
    EXPECT_DOUBLE_EQ(pane->RetEntry1()->GetValue(), 0.5);
    EXPECT_EQ(Reports(), "Modify Quick ");
    // Unlinked (a click on the switch), an edit leaves the other value;
    // linking again changes neither.
    Click(185, 85);
    EXPECT_FALSE(pane->RetLinked());
    EXPECT_EQ(Reports(), "");
    Type1("120");
    EXPECT_EQ(def->GetOccupiedWidth(), 1.2);
    EXPECT_EQ(def->GetOccupiedHeight(), 0.5);
    Click(185, 85);
    EXPECT_TRUE(pane->RetLinked());
    EXPECT_EQ(def->GetOccupiedWidth(), 1.2);
    EXPECT_EQ(def->GetOccupiedHeight(), 0.5);
    EXPECT_EQ(Reports(), "Modify Quick ");
    // The link survives a new definition and a refresh.
    CMotifDefRef other = ZuNew<CMotifDef>(Zuvi_app_zone);
    ASSERT_TRUE(pane->SetDef(CDefRef(ZuObjectRef(other))));
    pane->Refresh();
    EXPECT_TRUE(pane->RetLinked());
    EXPECT_EQ(pane->RetRow(), 1);
    EXPECT_DOUBLE_EQ(pane->RetEntry1()->GetValue(), 0.8);
    CPenDefRef pen = ZuNew<CPenDef>(Zuvi_app_zone);
    EXPECT_FALSE(pane->SetDef(CDefRef(ZuObjectRef(pen))));
    EXPECT_TRUE(pane->RetDef() == other);
}

TEST_F(SpecPaneTest, ValuesDrivenByAVariablePulsarAreNotTyped)
{
    CPulsarDefRef pulsar = ZuNew<CPulsarDef>(Zuvi_app_zone);
    dialog->defs[22] = CDefRef(ZuObjectRef(pulsar));
    pulsar->SetValueKind(4, CPulsarDef::OSCILLATOR);
    pulsar->SetValueKind(5, CPulsarDef::RANDOM);
    const char* const evolution = "Selon \xe9volution ...";
    const struct {
        int value;            // pulsar value
        unsigned char flags4; // flag byte of value 4
        unsigned char flags5; // flag byte of value 5
        int row;
        bool first, second;
    } cases[] = {
        {190, 0, 0, 5, true, true},                              // constant: nothing driven
        {191, 0, 0, 5, true, false},                             // the motif's inclination
        {191, 0, 0, 6, false, true},                             // the variation
        {191, 1, 1, 5, true, true},                              // along the stroke's definition
        {191, 1, 1, 6, true, true},  {191, 0, 0, 0, true, true}, // other rows never
        {191, 0, 0, 4, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        pulsar->SetValue(c.value);
        pulsar->SetValueFlags(4, c.flags4);
        pulsar->SetValueFlags(5, c.flags5);
        ClickRow(c.row);
        pane->Update();
        EXPECT_EQ(Enabled(pane->RetEntry1()), c.first);
        EXPECT_EQ(Enabled(pane->RetEntry2()), c.second);
        const SpecialFillRow& r = SpecialFillRows[c.row];
        EXPECT_EQ(Latin(pane->RetLabel1()->RetText()), c.first ? r.first_label : evolution);
        EXPECT_EQ(Latin(pane->RetLabel2()->RetText()),
                  c.second || r.second_label[0] == 0 ? r.second_label : evolution);
    }
    // A value that does not vary leaves its entry free.
    pulsar->SetValue(191);
    pulsar->SetValueFlags(5, 0);
    pulsar->SetValueKind(5, 0);
    ClickRow(6);
    EXPECT_TRUE(Enabled(pane->RetEntry1()));
    // A shadow's fill looks at the shadow's pulsar.
    CMotifSpecPaneRef shadow = MakePane<CMotifSpecPane>(101);
    shadow->SetDef(CDefRef(ZuObjectRef(def)));
    shadow->OnClickRadio(shadow->RetRowButton(5), 0);
    EXPECT_TRUE(Enabled(shadow->RetEntry2()));
    dialog->defs[103] = CDefRef(ZuObjectRef(pulsar));
    shadow->Update();
    EXPECT_FALSE(Enabled(shadow->RetEntry2()));
    shadow->Delete();
    EXPECT_EQ(Reports(), "");
}

TEST_F(SpecPaneTest, RegisterCodesSetsTheColoursOfTheFillKind)
{
    CColorDefRef colours = ZuNew<CColorDef>(Zuvi_app_zone);
    pane->RegisterCodes(); // no colour definition: nothing
    EXPECT_TRUE(Codes(pane).empty());
    dialog->defs[25] = CDefRef(ZuObjectRef(colours));
    pane->RegisterCodes();
    EXPECT_EQ(Codes(pane), std::vector<int>{25});
    EXPECT_EQ(colours->GetCount(), 7);
    EXPECT_EQ(colours->GetStyle(), 3);
    def->SetValue(62);
    pane->RegisterCodes();
    EXPECT_EQ(colours->GetCount(), 2);
    CMotifSpecPaneRef other = MakePane<CMotifSpecPane>(10);
    dialog->defs[15] = CDefRef(ZuObjectRef(colours));
    other->RegisterCodes();
    EXPECT_TRUE(Codes(other).empty());
    other->Delete();
}

TEST_F(SpecPaneTest, TheSampleRepeatsTheBrushAndZoomsUpForSmallSteps)
{
    EXPECT_EQ(pane->RetDrawCount(), 0); // no brush yet
    GiveBrush();
    pane->Refresh();
    EXPECT_EQ(pane->RetDrawCount(), 1);
    EXPECT_EQ(pane->RetSample()->RetZoom(), 2.0); // steps of 10 mm

    EXPECT_GT(InkInSample(), 20);
    pane->Refresh(); // unchanged: not drawn again
    EXPECT_EQ(pane->RetDrawCount(), 1);
    const struct {
        double x, y, zoom;
    } cases[] = {{2.0, 2.0, 10.0}, {20.0, 30.0, 1.0}, {50.0, 4.0, 5.0}, {0.1, 80.0, 200.0}};
    int drawn = 1;
    for (const auto& c : cases) {
        def->SetStepX(c.x);
        def->SetStepY(c.y);
        pane->Refresh();
        EXPECT_EQ(pane->RetDrawCount(), ++drawn);
        EXPECT_DOUBLE_EQ(pane->RetSample()->RetZoom(), c.zoom) << c.x << " " << c.y;
    }
    // Another brush is drawn, another fill kind is not.
    CPatternDefRef brush = GiveBrush();
    brush->LoadPrefab(3);
    pane->Refresh();
    EXPECT_EQ(pane->RetDrawCount(), ++drawn);
    def->SetValue(62);
    def->SetStepX(3.0);
    pane->Refresh();
    EXPECT_EQ(pane->RetDrawCount(), drawn);
    EXPECT_EQ(Reports(), "");
    // A pane of another code has no brush code and draws nothing.
    CMotifSpecPaneRef other = MakePane<CMotifSpecPane>(50);
    def->SetValue(64);
    other->SetDef(CDefRef(ZuObjectRef(def)));
    other->Refresh();
    EXPECT_EQ(other->RetDrawCount(), 0);
    other->Delete();
}

TEST_F(SpecPaneTest, StepsReadFromAFileCountAsTheSmallestStep)
{
    GiveBrush();
    // The stored record of a fill with a step of a marked value, to be
    // replaced by what a file may hold.
    ZuTestStorageRef store = ZuTestStorage::Make();
    const double marker = 12345.678;
    def->SetStepX(marker);
    def->SetStepY(marker);
    store->StartStoring();
    DefAccess::Store(CDefRef(ZuObjectRef(def)), store);
    const Bytes stored = store->Bytes();
    // How the storage writes one number.
    auto written = [&](double v) {
        store->StartStoring();
        store << v;
        return store->Bytes();
    };
    const Bytes mark = written(marker);
    const double odd[] = {0.0, -4.0, 1e-300, std::numeric_limits<double>::quiet_NaN(),
                          -std::numeric_limits<double>::infinity()};
    int drawn = pane->RetDrawCount();
    for (double step : odd) {
        SCOPED_TRACE(step);
        const Bytes with = written(step);
        Bytes bytes;
        int replaced = 0;
        for (std::size_t i = 0; i < stored.size();) {
            if (i + mark.size() <= stored.size() &&
                std::equal(mark.begin(), mark.end(), stored.begin() + i)) {
                bytes.insert(bytes.end(), with.begin(), with.end());
                i += mark.size();
                ++replaced;
            } else
                bytes.push_back(stored[i++]);
        }
        ASSERT_EQ(replaced, 2);
        CMotifDefRef read = ZuNew<CMotifDef>(Zuvi_app_zone);
        store->StartRestoring(bytes);
        DefAccess::Restore(CDefRef(ZuObjectRef(read)), store);
        read->SetOriginX(drawn); // a fill the sample has not shown yet
        ASSERT_TRUE(pane->SetDef(CDefRef(ZuObjectRef(read))));
        pane->Refresh();
        EXPECT_EQ(pane->RetDrawCount(), ++drawn);
        EXPECT_DOUBLE_EQ(pane->RetSample()->RetZoom(), 200.0);
        EXPECT_GT(InkInSample(), 0);
    }
}

// The sample of a new brush ("Cercle") shows rows of discs: ink over a
// good share of the sample, and in runs down the columns as tall as they
// are wide, not flat dashes.
TEST_F(SpecPaneTest, TheSampleOfTheNewBrushShowsDiscs)
{
    GiveBrush();
    pane->Refresh();
    ASSERT_EQ(pane->RetDrawCount(), 1);
    int ink = 0, area = 0, tallest = 0;
    for (int x = 8; x < 194; ++x) {
        int run = 0;
        for (int y = 134; y < 188; ++y) {
            const bool dark = Near(PanePixel(x, y), 0);
            ink += dark;
            ++area;
            run = dark ? run + 1 : 0;
            tallest = std::max(tallest, run);
        }
    }
    EXPECT_GT(ink, area / 6) << "of " << area;
    EXPECT_GE(tallest, 8);
}
