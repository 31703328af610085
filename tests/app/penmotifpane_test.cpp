// The motif pen pane as a user meets it: the five mode buttons and the
// parameter each shows, a mode change that writes and reports nothing,
// typed values clamped and letters refused, six switches each owning one
// option bit, values driven by a variable pulsar shown "Selon évolution
// ..." and disabled, the colours registered, and the curve sample drawn
// with the group's brush once while nothing changes.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "app/colordef.h"
#include "app/motifdef.h"
#include "app/penmotifpane.h"
#include "app/pulsardef.h"
#include "si/string.h"
#include "tests/app/panetest.h"

namespace {

const char* const kEvolution = "Selon \xe9volution ...";

class PenMotifPaneTest : public PaneTest {
protected:
    void SetUp() override
    {
        PaneTest::SetUp();
        def = ZuNew<CPenDef>(Zuvi_app_zone);
        pane = MakePane<CPenMotifPane>(10);
        ASSERT_TRUE(pane->SetDef(CDefRef(ZuObjectRef(def))));
        pane->Refresh();
        Pump();
    }
    void TearDown() override
    {
        pane->Delete();
        pane = CPenMotifPaneRef();
        def = CPenDefRef();
        PaneTest::TearDown();
    }
    void ClickMode(int i) { Click(19 + 23 * i, 19); }
    void ClickSwitch(int i) { Click(208, 12 + 16 * i); }
    void Type1(const char* text) { TypeInto(40, 65, text); }
    void Type2(const char* text) { TypeInto(40, 105, text); }
    CPenMotifPaneRef pane;
    CPenDefRef def;
};

} // namespace

TEST_F(PenMotifPaneTest, EachModeShowsItsParameterAndWritesNothing)
{
    const struct {
        int mode;
        const char* first;
        const char* second;
        int unit;
        double minimum, maximum, step;
        unsigned grad;
        double log;
    } cases[] = {
        {0, "Espacement le long du trait", "", 0, 0.0, 100.0, 1.0, 10, 2.0},
        {1, "Taille parall\xe8le", "Taille perpendiculaire", 12, 0.5, 10.0, 0.05, 8, 0.0},
        {2,
         "D\xe9"
         "calage perpendiculaire",
         "", 12, -2.0, 2.0, 0.05, 8, 0.0},
        {3, "Inclinaison", "", 13, -3.1415926535, 3.1415926535, 0.08726646259722222, 8, 0.0},
        {4, "Variation", "", 12, 0.0, 1.0, 0.05, 8, 0.0},
        {0, "Espacement le long du trait", "", 0, 0.0, 100.0, 1.0, 10, 2.0},
    };
    const char* const tips[5] = {"Espacement", "Taille",
                                 "D\xe9"
                                 "calage",
                                 "Inclinaison", "Variation"};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(Latin(pane->RetModeButton(i)->RetToolTip()), tips[i]);
    CPenDefRef before = ZuNew<CPenDef>(Zuvi_app_zone);
    before->CopyFrom(CDefRef(ZuObjectRef(def)));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        ClickMode(c.mode);
        EXPECT_EQ(pane->RetMode(), c.mode);
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(pane->RetModeButton(i)->RetState().TestBit(ZU_VIEW_IS_ON), i == c.mode);
        EXPECT_EQ(Latin(pane->RetLabel1()->RetText()), c.first);
        EXPECT_EQ(Latin(pane->RetLabel2()->RetText()), c.second);
        EXPECT_TRUE(Shown(pane->RetEntry1()));
        EXPECT_EQ(Shown(pane->RetEntry2()), c.second[0] != 0);
        for (const CTextLineArrowRef& e : {pane->RetEntry1(), pane->RetEntry2()}) {
            if (!Shown(e))
                continue;
            ExpectValueEntry(e, c);
        }
    }
    EXPECT_TRUE(def->IsEqualCurrent(CDefRef(ZuObjectRef(before))));
    EXPECT_EQ(Reports(), "");
    EXPECT_TRUE(Codes(pane).empty());
    pane->RetModeButton(2)->SetUserTag(105);
    EXPECT_FALSE(pane->OnClickRadio(pane->RetModeButton(2), 0));
    EXPECT_FALSE(pane->OnClickRadio(ZuObjectRef(), 0));
    EXPECT_EQ(pane->RetMode(), 0);
}

TEST_F(PenMotifPaneTest, TypedValuesAreClampedAndLettersRefused)
{
    def->SetMotifPair(1, 1.0);
    const struct {
        int mode;
        bool second;
        const char* typed;
        double stored;
    } cases[] = {
        {0, false, "250", 100.0}, {0, false, "12.5", 12.5},   {1, false, "20", 0.5},
        {1, false, "250", 2.5},   {1, true, "2000", 10.0},    {2, false, "-300", -2.0},
        {2, false, "40", 0.4},    {3, false, "90", M_PI / 2}, {3, false, "-200", -3.1415926535},
        {4, false, "150", 1.0},   {4, false, "25", 0.25},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        ClickMode(c.mode);
        if (c.second)
            Type2(c.typed);
        else
            Type1(c.typed);
        const double stored[2][5] = {{def->GetMotifParam(), def->GetMotifPair(0),
                                      def->GetMotifValue1(), def->GetMotifValue2(),
                                      def->GetMotifValue3()},
                                     {0, def->GetMotifPair(1), 0, 0, 0}};
        EXPECT_NEAR(stored[c.second][c.mode], c.stored, 1e-9);
        EXPECT_EQ(Reports(), "Modify Quick ");
    }
    EXPECT_EQ(Codes(pane), std::vector<int>{10});
    // The other size stays as it was through the edits of the first.
    EXPECT_EQ(def->GetMotifPair(0), 2.5);
    ClickMode(4);
    Type1("q");
    EXPECT_EQ(def->GetMotifValue3(), 0.25);
    EXPECT_EQ(Reports(), "");
    // Values the pane writes into its entries are not reported back.
    def->SetMotifValue3(0.75);
    pane->Refresh();
    EXPECT_DOUBLE_EQ(pane->RetEntry1()->GetValue(), 0.75);
    EXPECT_EQ(Reports(), "");
}

// The dialog places its panes after building them: the second entry, left
// out of the pane until a mode shows it, comes back beside the first and
// takes what is typed there.
TEST_F(PenMotifPaneTest, TheSecondEntryComesBackWhereThePaneWasPlaced)
{
    const double dx = 6, dy = 8;
    pane->MoveOrigin(dx, dy);
    Pump();
    double px = 0, py = 0;
    pane->GetOrigin(px, py);
    Click(19 + 23 + dx, 19 + dy);
    const CTextLineArrowRef& entry = pane->RetEntry2();
    ASSERT_TRUE(entry->RetParent().IsValid());
    EXPECT_EQ(entry->RetBox().X1() - px, 12);
    EXPECT_EQ(entry->RetBox().Y1() - py, 95);
    EXPECT_EQ(entry->RetSlider()->RetBox().Y1() - py, 94);
    TypeInto(40 + dx, 105 + dy, "300");
    EXPECT_NEAR(def->GetMotifPair(1), 3.0, 1e-9);
}

TEST_F(PenMotifPaneTest, EachSwitchOwnsOneOptionBit)
{
    const struct {
        const char* title;
        int bit;
    } options[6] = {
        {"Motif d\xe9"
         "form\xe9",
         8},
        {"Miroir parall\xe8le", 64},
        {"Miroir perpendiculaire", 128},
        {"Orient\xe9 selon courbure", 256},
        {"Angle fixe", 4},
        {"R\xe9partition r\xe9guli\xe8re", 512},
    };
    const int others = 1 | 2 | 16 | 32 | 1024;
    def->SetMotifMode(others);
    pane->Refresh();
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Latin(pane->RetSwitch(i)->RetTitle()), options[i].title);
        EXPECT_FALSE(pane->RetSwitch(i)->RetSwitchState());
        ClickSwitch(i);
        EXPECT_EQ(def->GetMotifMode(), others | options[i].bit);
        EXPECT_TRUE(pane->RetSwitch(i)->RetSwitchState());
        EXPECT_EQ(Reports(), "Modify Quick ");
        ClickSwitch(i);
        EXPECT_EQ(def->GetMotifMode(), others);
        EXPECT_EQ(Reports(), "Modify Quick ");
    }
    def->SetMotifMode(4 | 512);
    pane->Refresh();
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(pane->RetSwitch(i)->RetSwitchState(), i >= 4) << i;
    pane->RetSwitch(0)->SetUserTag(206);
    EXPECT_FALSE(pane->OnClickSwitch(pane->RetSwitch(0), 0));
    EXPECT_EQ(def->GetMotifMode(), 4 | 512);
    EXPECT_EQ(Reports(), "");
}

TEST_F(PenMotifPaneTest, ValuesDrivenByAVariablePulsarAreNotTyped)
{
    CPulsarDefRef pulsar = ZuNew<CPulsarDef>(Zuvi_app_zone);
    dialog->defs[12] = CDefRef(ZuObjectRef(pulsar));
    for (int v = 1; v <= 5; ++v)
        pulsar->SetValueKind(v, CPulsarDef::ENVELOPE);
    const struct {
        int value;
        int mode;
        int flagged; // the pulsar value whose flag byte is 1 (-1 none)
        bool first, second;
    } cases[] = {
        {190, 3, -1, true, true},  {191, 0, -1, true, true}, {191, 1, -1, false, false},
        {191, 1, 1, true, false},  {191, 1, 2, false, true}, {191, 2, -1, false, true},
        {191, 3, -1, false, true}, {191, 3, 4, true, true},  {191, 4, -1, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        pulsar->SetValue(c.value);
        for (int v = 1; v <= 5; ++v)
            pulsar->SetValueFlags(v, v == c.flagged ? 1 : 0);
        ClickMode(c.mode);
        pane->Update();
        EXPECT_EQ(Enabled(pane->RetEntry1()), c.first);
        if (c.mode == 1) {
            EXPECT_EQ(Enabled(pane->RetEntry2()), c.second);
        }
        EXPECT_EQ(Latin(pane->RetLabel1()->RetText()) == kEvolution, !c.first);
    }
    // A value whose kind is 0 does not vary.
    pulsar->SetValue(191);
    pulsar->SetValueFlags(4, 0);
    pulsar->SetValueKind(4, 0);
    ClickMode(3);
    EXPECT_TRUE(Enabled(pane->RetEntry1()));
    EXPECT_EQ(Latin(pane->RetLabel1()->RetText()), "Inclinaison");
    EXPECT_EQ(Reports(), "");
}

TEST_F(PenMotifPaneTest, RegisterCodesSetsTheColoursOfThePenKind)
{
    CColorDefRef colours = ZuNew<CColorDef>(Zuvi_app_zone);
    pane->RegisterCodes();
    EXPECT_TRUE(Codes(pane).empty());
    dialog->defs[15] = CDefRef(ZuObjectRef(colours));
    def->SetValue(41);
    pane->RegisterCodes();
    EXPECT_EQ(Codes(pane), std::vector<int>{15});
    EXPECT_EQ(colours->GetCount(), 6);
    EXPECT_EQ(colours->GetStyle(), 4);
    def->SetValue(40);
    pane->RegisterCodes();
    EXPECT_EQ(colours->GetCount(), 1);
    CPenMotifPaneRef other = MakePane<CPenMotifPane>(50);
    other->RegisterCodes();
    EXPECT_TRUE(Codes(other).empty());
    other->Delete();
}

TEST_F(PenMotifPaneTest, TheCurveIsDrawnWithTheBrushOnceWhileNothingChanges)
{
    EXPECT_EQ(pane->RetDrawCount(), 0); // no brush
    CPatternDefRef brush = ZuNew<CPatternDef>(Zuvi_app_zone);
    brush->LoadPrefab(1);
    dialog->defs[11] = CDefRef(ZuObjectRef(brush));
    def->SetValue(41);
    def->SetWidth(2.0);
    pane->Refresh();
    pane->Refresh();
    EXPECT_EQ(pane->RetDrawCount(), 1);
    EXPECT_EQ(pane->RetSample()->RetZoom(), 1.0);
    int ink = 0;
    for (int y = 134; y < 188; ++y)
        for (int x = 8; x < 194; ++x)
            ink += Near(PanePixel(x, y), 0) ? 1 : 0;
    EXPECT_GT(ink, 10);
    ClickMode(0);
    Type1("4");
    EXPECT_EQ(pane->RetDrawCount(), 2);
    brush->LoadPrefab(2);
    pane->Update();
    EXPECT_EQ(pane->RetDrawCount(), 3);
    pane->Update();
    EXPECT_EQ(pane->RetDrawCount(), 3);
    // A pane of a fill's pen draws no sample.
    CPenMotifPaneRef fill = MakePane<CPenMotifPane>(20);
    fill->SetDef(CDefRef(ZuObjectRef(def)));
    fill->Refresh();
    EXPECT_EQ(fill->RetDrawCount(), 0);
    fill->Delete();
    CMotifDefRef motif = ZuNew<CMotifDef>(Zuvi_app_zone);
    EXPECT_FALSE(pane->SetDef(CDefRef(ZuObjectRef(motif))));
    EXPECT_TRUE(pane->RetDef() == def);
}

TEST_F(PenMotifPaneTest, DeletingThePaneDeletesTheSecondEntryLeftOutOfIt)
{
    // The spacing mode has one parameter: the second entry is out of the
    // box when the pane goes, and goes with it all the same.
    ClickMode(0);
    const CTextLineArrowRef entry = pane->RetEntry2();
    ASSERT_FALSE(Shown(entry));
    ASSERT_TRUE(entry->RetPlusArrow().IsValid());
    pane->Delete();
    EXPECT_TRUE(entry->RetPlusArrow().IsInvalid());
    EXPECT_TRUE(pane->RetEntry2().IsInvalid());
}
