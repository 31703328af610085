// The pulsar pane as a user meets it: the matrix of a stroke's pulsar (five
// modulators) and of a fill's (three, with the axis switches), the kind
// buttons and rows of every tab, switches that move to the modulator
// switched on, tabs without use shown disabled, edits written into the
// tab's group with exactly "Modify" then "Quick", tabs and axes reporting
// nothing, kind buttons and rows the tab does not show standing for
// nothing, and the bar graph read from the sample's pixels, the same at
// every redraw.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "app/pendef.h"
#include "app/pulsarpane.h"
#include "si/string.h"
#include "tests/app/panetest.h"

namespace {

// The texts of the text tags (captions aside) directly in a view.
std::vector<std::string> TagTexts(const ZuViewRef& view)
{
    std::vector<std::string> out;
    ZuViewRef child;
    bool more = view->GetFirstChild(child);
    while (more && child.IsValid()) {
        if (child->IsKindOf(ZuTextTagRef::RetRuntime()) &&
            !child->IsKindOf(ZuTextCaptionRef::RetRuntime()))
            out.push_back(Latin(ZuTextTagRef(child)->RetText()));
        ZuViewRef next;
        more = child->GetNextSibling(next);
        child = next;
    }
    return out;
}

class PulsarPaneTest : public PaneTest {
protected:
    void SetUp() override
    {
        PaneTest::SetUp();
        def = ZuNew<CPulsarDef>(Zuvi_app_zone);
    }
    void TearDown() override
    {
        if (pane.IsValid())
            pane->Delete();
        pane = CPulsarPaneRef();
        def = CPulsarDefRef();
        PaneTest::TearDown();
    }
    // The pane of the code, shown for a variable pulsar.
    void Make(int code)
    {
        pane = MakePane<CPulsarPane>(code);
        ASSERT_TRUE(pane->SetDef(CDefRef(ZuObjectRef(def))));
        pane->SetValue(191);
        pane->Refresh();
        Pump();
    }
    int Nm() const { return pane->RetModulatorCount(); }
    void ClickTab(int t)
    {
        if (t < Nm())
            Click(173, 22 + 13 * t);
        else
            Click(173, 28 + 13 * Nm() + 17 * (t - Nm()));
    }
    void ClickSwitch(int value, int modulator)
    {
        Click(37 + 17 * modulator, 28 + 13 * Nm() + 17 * value);
    }
    void ClickKind(int b) { Click(201 + 23 * b, 19); }
    void TypeRow(int r, const char* text) { TypeInto(220, 65 + 40 * r, text); }
    // The kind buttons shown, by tool tip.
    std::vector<std::string> KindTips()
    {
        std::vector<std::string> out;
        for (int b = 0; b < CPulsarPane::kKindButtons; ++b)
            if (Shown(pane->RetKindButton(b)))
                out.push_back(Latin(pane->RetKindButton(b)->RetToolTip()));
        return out;
    }
    std::string RowLabel(int r) { return Latin(pane->RetRowLabel(r)->RetText()); }
    // The sample's pixels, row by row.
    std::vector<unsigned> SamplePixels()
    {
        std::vector<unsigned> out;
        for (int y = 169; y < 191; ++y)
            for (int x = 187; x < 301; ++x)
                out.push_back(PanePixel(x, y));
        return out;
    }
    // The graph is drawn in black on the box's own background.
    bool Dark(int x, int y) { return Near(PanePixel(x, y), 0); }
    CPulsarPaneRef pane;
    CPulsarDefRef def;
};

} // namespace

TEST_F(PulsarPaneTest, AStrokesPulsarHasFiveModulatorsAndNoAxis)
{
    Make(12);
    EXPECT_EQ(Nm(), 5);
    EXPECT_EQ(pane->RetTabCount(), 11);
    EXPECT_FALSE(pane->RetAxisSwitch(0).IsValid());
    EXPECT_FALSE(pane->RetAxisSwitch(1).IsValid());
    const std::vector<std::string> names = {"Oscillateur", "Hazard", "Enveloppe", "Orientation",
                                            "Courbure"};
    EXPECT_EQ(TagTexts(pane->RetModulatorSwitch(0, 0)->RetParent()), names);
    const char* const values[6] = {"Espacement",
                                   "Taille parall\xe8le",
                                   "Taille perpendiculaire",
                                   "D\xe9"
                                   "calage",
                                   "Inclinaison",
                                   "Variation"};
    for (int j = 0; j < 6; ++j) {
        EXPECT_EQ(Latin(pane->RetValueIcon(j)->RetToolTip()), values[j]);
        EXPECT_EQ(Latin(pane->RetTabIcon(5 + j)->RetToolTip()), values[j]);
        for (int k = 0; k < 5; ++k)
            EXPECT_EQ(Latin(pane->RetModulatorSwitch(j, k)->RetToolTip()),
                      names[k] + " >> " + values[j]);
    }
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(Latin(pane->RetTabIcon(k)->RetToolTip()), names[k]);
    EXPECT_TRUE(pane->RetTabIcon(0)->RetState().TestBit(ZU_VIEW_IS_ON));
    const ZuViewRef other = pane->RetOtherButton()->RetContents();
    ASSERT_TRUE(other.IsValid() && other->IsKindOf(TTagProbeRef::RetRuntime()));
    EXPECT_EQ(Latin(TTagProbeRef(other)->text), "Autre");
    EXPECT_EQ(Latin(pane->RetInitialSwitch()->RetTitle()), "Selon d\xe9"
                                                           "finition du trait");
    // The axis handler has nothing to do on a stroke.
    CTextLineArrowRef stranger = pane->RetRowEntry(0);
    stranger->SetUserTag(101);
    EXPECT_FALSE(pane->OnClickRadioAxis(stranger, 0));
    EXPECT_EQ(def->GetAxis(), 0);
    stranger->SetUserTag(500);
    CPenDefRef pen = ZuNew<CPenDef>(Zuvi_app_zone);
    EXPECT_FALSE(pane->SetDef(CDefRef(ZuObjectRef(pen))));
    EXPECT_TRUE(pane->RetDef() == def);
}

TEST_F(PulsarPaneTest, AFillsPulsarHasThreeModulatorsAndTwoAxes)
{
    Make(22);
    EXPECT_EQ(Nm(), 3);
    EXPECT_EQ(pane->RetTabCount(), 9);
    EXPECT_EQ(TagTexts(pane->RetModulatorSwitch(0, 0)->RetParent()),
              (std::vector<std::string>{"Oscillateur", "Hazard", "Enveloppe"}));
    EXPECT_EQ(Latin(pane->RetAxisSwitch(0)->RetTitle()), "X");
    EXPECT_EQ(Latin(pane->RetAxisSwitch(1)->RetTitle()), "Y");
    EXPECT_EQ(Latin(pane->RetAxisSwitch(0)->RetToolTip()), "Variation horizontale");
    EXPECT_EQ(Latin(pane->RetAxisSwitch(1)->RetToolTip()), "Variation verticale");
    EXPECT_EQ(Latin(pane->RetModulatorSwitch(3, 2)->RetToolTip()), "Enveloppe >> D\xe9"
                                                                   "calage vertical");
    EXPECT_EQ(Latin(pane->RetValueIcon(0)->RetToolTip()), "Taille horizontale");
    EXPECT_FALSE(pane->RetModulatorSwitch(0, 3).IsValid());
    EXPECT_TRUE(pane->RetAxisSwitch(0)->RetSwitchState());
    EXPECT_FALSE(pane->RetAxisSwitch(1)->RetSwitchState());

    // Each axis has its own matrix; choosing one reports nothing.
    def->SetAxis(1);
    def->SetValueKind(2, CPulsarDef::ENVELOPE);
    def->SetAxis(0);
    Click(18, 176); // "X" stays
    Click(64, 176); // "Y", under the matrix
    EXPECT_EQ(def->GetAxis(), 1);
    EXPECT_TRUE(pane->RetAxisSwitch(1)->RetSwitchState());
    EXPECT_FALSE(pane->RetAxisSwitch(0)->RetSwitchState());
    EXPECT_TRUE(pane->RetModulatorSwitch(2, 2)->RetSwitchState());
    ClickSwitch(1, 0);
    EXPECT_EQ(Reports(), "Modify Quick ");
    unsigned mask = 0;
    def->GetValueKind(1, mask);
    EXPECT_EQ(mask, unsigned(CPulsarDef::OSCILLATOR));
    Click(18, 176); // "X"
    EXPECT_EQ(def->GetAxis(), 0);
    EXPECT_FALSE(pane->RetModulatorSwitch(2, 2)->RetSwitchState());
    EXPECT_FALSE(pane->RetModulatorSwitch(1, 0)->RetSwitchState());
    def->GetValueKind(1, mask);
    EXPECT_EQ(mask, 0u);
    // A fill's values never follow the stroke's definition.
    for (int t = 3; t < 9; ++t) {
        ClickTab(t);
        EXPECT_FALSE(Shown(pane->RetInitialSwitch())) << t;
    }
    EXPECT_EQ(Reports(), "");
}

TEST_F(PulsarPaneTest, KindButtonsAndRowsFollowTheTab)
{
    Make(12);
    def->SetOscillator(CPulsarDef::TRIANGLE, 10.0, 0.0, 0.5);
    def->SetEnvelope(CPulsarDef::RISE_FALL, 0.5, 0.0, 0.0);
    def->SetRotationMode(CPulsarDef::FOUR_PER_TURN, 0.0, 1.0);
    const std::vector<std::string> oscillator = {"Sinuso\xef"
                                                 "de",
                                                 "Triangle", "Exponentielle", "Impulsion"};
    const std::vector<std::string> envelope = {"Mont\xe9"
                                               "e",
                                               "Mont\xe9"
                                               "e avec plat",
                                               "Descente",
                                               "Descente avec plat",
                                               "Mont\xe9"
                                               "e puis descente",
                                               "Mont\xe9"
                                               "e, plat puis descente"};
    const std::vector<std::string> orientation = {
        "1 \xe9volution par tour", "2 \xe9volutions par tour",
        "2 \xe9volutions sym\xe9triques par tour", "4 \xe9volutions par tour",
        "4 \xe9volutions sym\xe9triques par tour"};
    const struct {
        int tab;
        const std::vector<std::string>* kinds; // null: the caption
        int on;                                // the button on
        const char* caption;
        const char* rows[3];
        bool other, initial;
    } cases[] = {
        {0,
         &oscillator,
         1,
         "",
         {"P\xe9riode", "Phase",
          "Longueur mont\xe9"
          "e"},
         false,
         false},
        {1, nullptr, -1, "Hazard", {"", "", ""}, true, false},
        {2,
         &envelope,
         4,
         "",
         {"Amplitude initiale", "Amplitude finale", "Longueur initiale"},
         false,
         false},
        {3, &orientation, 3, "", {"Sensibilit\xe9", "Rotation", ""}, false, false},
        {4, nullptr, -1, "Courbure", {"Sensibilit\xe9", "", ""}, false, false},
        {5,
         nullptr,
         -1,
         "Espacement",
         {"Amplitude de la variation",
          "D\xe9"
          "calage",
          ""},
         false,
         false},
        {9,
         nullptr,
         -1,
         "Inclinaison",
         {"Amplitude de la variation",
          "D\xe9"
          "calage",
          ""},
         false,
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tab);
        ClickTab(c.tab);
        EXPECT_EQ(pane->RetTab(), c.tab);
        for (int t = 0; t < pane->RetTabCount(); ++t)
            EXPECT_EQ(pane->RetTabIcon(t)->RetState().TestBit(ZU_VIEW_IS_ON), t == c.tab);
        EXPECT_EQ(KindTips(), c.kinds != nullptr ? *c.kinds : std::vector<std::string>());
        for (int b = 0; b < CPulsarPane::kKindButtons; ++b)
            if (Shown(pane->RetKindButton(b))) {
                EXPECT_EQ(pane->RetKindButton(b)->RetState().TestBit(ZU_VIEW_IS_ON), b == c.on);
            }
        EXPECT_EQ(Shown(pane->RetCaption()), c.kinds == nullptr);
        if (c.kinds == nullptr) {
            EXPECT_EQ(Latin(pane->RetCaption()->RetText()), c.caption);
        }
        for (int r = 0; r < 3; ++r) {
            EXPECT_EQ(RowLabel(r), c.rows[r]);
            EXPECT_EQ(Shown(pane->RetRowEntry(r)), c.rows[r][0] != 0);
        }
        EXPECT_EQ(Shown(pane->RetOtherButton()), c.other);
        EXPECT_EQ(Shown(pane->RetInitialSwitch()), c.initial);
    }
    EXPECT_EQ(Reports(), "");
}

TEST_F(PulsarPaneTest, EntriesTakeTheBoundsOfTheirRow)
{
    Make(12);
    const double pi = 3.1415926535;
    const struct {
        int tab, row, unit;
        double minimum, maximum, step;
    } cases[] = {
        {0, 0, 10, 0.0, 100.0, 1.0},
        {0, 1, 10, 0.0, 100.0, 1.0},
        {0, 2, 12, 0.0, 1.0, 0.05},
        {3, 0, 12, -1.0, 1.0, 5.0},
        {3, 1, 13, -pi, pi, 0.08726646259722222},
        {4, 0, 12, 0.0, 10.0, 0.5},
        {6, 0, 12, -1.0, 1.0, 0.05},
        {6, 1, 12, -1.0, 1.0, 0.05},
        {2, 2, 12, 0.0, 1.0, 0.05},
    };
    def->SetEnvelope(CPulsarDef::RISE_FLAT_FALL, 0.5, 0.0, 0.0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tab * 10 + c.row);
        ClickTab(c.tab);
        const CTextLineArrowRef& e = pane->RetRowEntry(c.row);
        EXPECT_EQ(e->GetUnit(), c.unit);
        EXPECT_EQ(e->GetMin(), c.minimum);
        EXPECT_EQ(e->GetMax(), c.maximum);
        EXPECT_EQ(e->GetStep(), c.step);
        EXPECT_EQ(e->GetSliderGrad(), 8u);
        EXPECT_EQ(e->GetSliderSubdiv(), 2u);
    }
    // The row labels of every envelope kind; an unknown kind shows none.
    const struct {
        unsigned kind;
        const char* rows[3];
    } envelopes[] = {
        {210, {"Amplitude initiale", "", ""}},
        {211, {"Amplitude initiale", "", "Longueur initiale"}},
        {212, {"", "Amplitude finale", ""}},
        {213, {"", "Amplitude finale", "Longueur finale"}},
        {214, {"Amplitude initiale", "Amplitude finale", "Longueur initiale"}},
        {215, {"Amplitude initiale", "Amplitude finale", "Longueurs initiale et finale"}},
        {217, {"", "", ""}},
    };
    for (const auto& c : envelopes) {
        SCOPED_TRACE(c.kind);
        def->SetEnvelope(c.kind, 0.5, 0.0, 0.0);
        pane->Refresh();
        for (int r = 0; r < 3; ++r) {
            EXPECT_EQ(RowLabel(r), c.rows[r]);
            EXPECT_EQ(Shown(pane->RetRowEntry(r)), c.rows[r][0] != 0);
        }
    }
    def->SetOscillator(CPulsarDef::PULSE, 10.0, 0.0, 0.5);
    ClickTab(0);
    EXPECT_EQ(RowLabel(2), "Longueur impulsion");
    EXPECT_EQ(Reports(), "");
}

TEST_F(PulsarPaneTest, SwitchingAModulatorOnMovesToItsTab)
{
    Make(12);
    unsigned mask = 0;
    // From another modulator's tab: moves to the modulator switched on.
    ClickTab(0);
    ClickSwitch(3, 2);
    def->GetValueKind(3, mask);
    EXPECT_EQ(mask, unsigned(CPulsarDef::ENVELOPE));
    EXPECT_EQ(pane->RetTab(), 2);
    EXPECT_EQ(Reports(), "Modify Quick ");
    // From the value's own tab: stays. (The reports are taken after each
    // switch, as the main loop delivers them after each event.)
    ClickTab(5 + 1);
    ClickSwitch(1, 4);
    std::string reports = Reports();
    EXPECT_EQ(pane->RetTab(), 6);
    def->GetValueKind(1, mask);
    EXPECT_EQ(mask, unsigned(CPulsarDef::TURN));
    // From the modulator's own tab: stays.
    ClickTab(1);
    ClickSwitch(5, 1);
    reports += Reports();
    EXPECT_EQ(pane->RetTab(), 1);
    // Switching off never moves.
    ClickTab(0);
    ClickSwitch(3, 2);
    reports += Reports();
    EXPECT_EQ(pane->RetTab(), 0);
    def->GetValueKind(3, mask);
    EXPECT_EQ(mask, 0u);
    EXPECT_EQ(reports, "Modify Quick Modify Quick Modify Quick ");
    EXPECT_EQ(std::vector<int>(1, 12), [&] {
        int* list = nullptr;
        int count = 0;
        pane->GetCodes(&list, &count);
        return std::vector<int>(list, list + count);
    }());
}

TEST_F(PulsarPaneTest, ATabWithoutUseShowsItsControlsDisabled)
{
    Make(12);
    const struct {
        int tab;
        bool used;
    } cases[] = {{0, false}, {1, true}, {2, false}, {3, false}, {5, false}, {7, true}};
    def->SetValueKind(2, CPulsarDef::RANDOM);
    pane->Refresh();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tab);
        ClickTab(c.tab);
        for (int r = 0; r < 3; ++r)
            EXPECT_EQ(Enabled(pane->RetRowEntry(r)), c.used);
        for (int b = 0; b < CPulsarPane::kKindButtons; ++b)
            EXPECT_EQ(Enabled(pane->RetKindButton(b)), c.used);
        EXPECT_EQ(Enabled(pane->RetOtherButton()), c.used);
        EXPECT_EQ(Enabled(pane->RetInitialSwitch()), c.used);
    }
    ClickTab(0);
    ClickSwitch(4, 0); // on the tab of the oscillator: it is used now
    EXPECT_TRUE(Enabled(pane->RetRowEntry(0)));
    EXPECT_TRUE(Enabled(pane->RetKindButton(0)));
}

TEST_F(PulsarPaneTest, EditsWriteTheTabsGroupAndReportModifyThenQuick)
{
    Make(12);
    def->SetEnvelope(CPulsarDef::RISE_FLAT_FALL, 0.5, 0.0, 0.0);
    def->SetRotationMode(CPulsarDef::ONE_PER_TURN, 0.0, 1.0);
    def->SetAuxParams(3, 0.25, 1.0);
    for (int j = 0; j < 6; ++j)
        def->SetValueKind(j, 31);
    const double pi = 3.1415926535;
    // What each group holds after the edit: shape/kind, then its numbers.
    auto oscillator = [&] {
        unsigned k;
        double a, b, c;
        def->GetOscillator(k, a, b, c);
        return std::vector<double>{double(k), a, b, c};
    };
    auto envelope = [&] {
        unsigned k;
        double a, b, c;
        def->GetEnvelope(k, a, b, c);
        return std::vector<double>{double(k), a, b, c};
    };
    auto rotation = [&] {
        unsigned k;
        double a, b;
        def->GetRotationMode(k, a, b);
        return std::vector<double>{double(k), a, b};
    };
    auto curvature = [&] {
        unsigned k;
        double a, b;
        def->GetAuxParams(k, a, b);
        return std::vector<double>{double(k), a, b};
    };
    auto value3 = [&] {
        double a = 0, o = 0;
        def->GetAmplitude(3, a);
        def->GetOffset(3, o);
        return std::vector<double>{a, o};
    };
    const struct {
        int tab, row;
        const char* typed;
        std::function<std::vector<double>()> read;
        std::vector<double> expected;
    } cases[] = {
        {0, 0, "25", oscillator, {192, 25, 0, 0.5}},
        {0, 0, "0", oscillator, {192, 1, 0, 0.5}}, // a period of 0 is 1
        {0, 1, "3", oscillator, {192, 1, 3, 0.5}},
        {0, 2, "30", oscillator, {192, 1, 3, 0.3}},
        {0, 2, "180", oscillator, {192, 1, 3, 1.0}},
        {2, 0, "40", envelope, {215, 0.5, 0.4, 0}},
        {2, 1, "60", envelope, {215, 0.5, 0.4, 0.6}},
        {2, 2, "20", envelope, {215, 0.2, 0.4, 0.6}},
        {3, 0, "-50", rotation, {196, 0, -0.5}},
        {3, 1, "90", rotation, {196, pi / 2, -0.5}},
        {3, 1, "400", rotation, {196, pi, -0.5}},
        {4, 0, "750", curvature, {3, 0.25, 7.5}},
        {4, 0, "2000", curvature, {3, 0.25, 10}},
        {8, 0, "-150", value3, {-1, 0}},
        {8, 1, "30", value3, {-1, 0.3}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.tab) + " " + c.typed);
        ClickTab(c.tab);
        EXPECT_EQ(Reports(), "");
        TypeRow(c.row, c.typed);
        const std::vector<double> got = c.read();
        ASSERT_EQ(got.size(), c.expected.size());
        for (std::size_t i = 0; i < got.size(); ++i)
            EXPECT_NEAR(got[i], c.expected[i], 1e-9) << i;
        EXPECT_EQ(Reports(), "Modify Quick ");
    }
    ClickTab(8);
    TypeRow(0, "x"); // refused
    double a = 0;
    def->GetAmplitude(3, a);
    EXPECT_EQ(a, -1.0);
    EXPECT_EQ(Reports(), "");
    // Kind buttons write the kind and keep the group's numbers.
    ClickTab(0);
    ClickKind(3);
    EXPECT_EQ(Reports(), "Modify Quick ");
    EXPECT_EQ(oscillator(), (std::vector<double>{195, 1, 3, 1.0}));
    EXPECT_EQ(RowLabel(2), "Longueur impulsion");
    EXPECT_TRUE(pane->RetKindButton(3)->RetState().TestBit(ZU_VIEW_IS_ON));
    ClickTab(3);
    ClickKind(2);
    EXPECT_EQ(rotation()[0], 199.0);
    EXPECT_EQ(Reports(), "Modify Quick ");
    ClickKind(3);
    EXPECT_EQ(rotation()[0], 198.0);
    EXPECT_EQ(Reports(), "Modify Quick ");
    // "Autre" draws a new seed; "Selon définition du trait" sets the flag.
    ClickTab(1);
    const double seed = def->RetSeed();
    Click(276, 114);
    EXPECT_NE(def->RetSeed(), seed);
    EXPECT_EQ(Reports(), "Modify Quick ");
    ClickTab(7);
    Click(200, 150);
    unsigned char flags = 0;
    def->GetValueFlags(2, flags);
    EXPECT_EQ(flags, 1);
    EXPECT_EQ(Reports(), "Modify Quick ");
    Click(200, 150);
    def->GetValueFlags(2, flags);
    EXPECT_EQ(flags, 0);
    EXPECT_EQ(Reports(), "Modify Quick ");
}

TEST_F(PulsarPaneTest, ButtonsAndRowsTheTabDoesNotShowStandForNothing)
{
    Make(12);
    for (int j = 0; j < 6; ++j)
        def->SetValueKind(j, 31);
    CPulsarDefRef before = ZuNew<CPulsarDef>(Zuvi_app_zone);
    before->CopyFrom(CDefRef(ZuObjectRef(def)));
    const struct {
        int tab;
        int button; // -1: none
        int row;    // -1: none
    } cases[] = {
        {0, 4, -1}, {0, 6, -1}, {3, 5, -1},  {3, 6, -1}, {1, 0, -1},
        {4, 0, -1}, {6, 2, -1}, {2, -1, -1}, // the envelope's six buttons are all shown
        {6, -1, 2}, {4, -1, 1}, {4, -1, 2},  {1, -1, 0}, {3, -1, 2},
    };
    CButtonRef sender = pane->RetKindButton(0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tab * 10 + c.button);
        ClickTab(c.tab);
        if (c.button >= 0) {
            sender->SetUserTag(400 + c.button);
            EXPECT_FALSE(pane->OnClickButton(sender, 0));
        }
        if (c.row >= 0) {
            const CTextLineArrowRef& entry = pane->RetRowEntry(c.row);
            entry->SetText(ZuStringRef("0.5"));
            EXPECT_FALSE(pane->OnEditChange(entry, 0));
        }
        EXPECT_TRUE(def->IsEqualCurrent(CDefRef(ZuObjectRef(before))));
    }
    sender->SetUserTag(400);
    // Tags outside every range.
    for (int tag : {399, 407, 1000, -1}) {
        sender->SetUserTag(tag);
        EXPECT_FALSE(pane->OnClickButton(sender, 0));
        EXPECT_FALSE(pane->OnEditChange(sender, 0));
        EXPECT_FALSE(pane->OnClickSwitch(sender, 0));
        EXPECT_FALSE(pane->OnClickRadio(sender, 0));
    }
    sender->SetUserTag(400);
    EXPECT_TRUE(def->IsEqualCurrent(CDefRef(ZuObjectRef(before))));
    EXPECT_EQ(Reports(), "");
}

TEST_F(PulsarPaneTest, TheBarGraphShowsTheVariationAndRepeatsExactly)
{
    Make(12);
    EXPECT_EQ(pane->RetDrawCount(), 0); // no value shown yet
    def->SetValueKind(0, CPulsarDef::OSCILLATOR | CPulsarDef::RANDOM);
    def->SetAmplitude(0, 1.0);
    ClickTab(5);
    EXPECT_EQ(pane->RetLastValue(), 0);
    const std::vector<unsigned> first = SamplePixels();
    // The walk as the pane makes it, on a copy.
    CPulsarDefRef walk = ZuNew<CPulsarDef>(Zuvi_app_zone);
    walk->CopyFrom(CDefRef(ZuObjectRef(def)));
    walk->SetBaseValues(0, 0.0, -7.0, 0.0, 7.0);
    walk->BeginPath(35.333333333333333, true);
    int bars = 0;
    for (double x = -53.0; x < 53.0; x += 3.0) {
        walk->SetRotation(3.1415926535 + x * 0.05927533308490566);
        const double y = walk->GetVariation(0);
        walk->NextStep();
        // The column of the bar (the sample's centre lies between two
        // pixels) and the row of its middle.
        const int column = 186 + 57 + int(x);
        const int middle = int(std::lround(179.5 - y / 2));
        bool dark = false;
        for (int dx = 0; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                dark = dark || Dark(column + dx, middle + dy);
        if (std::fabs(y) >= 3.0) {
            EXPECT_TRUE(dark) << x;
            ++bars;
        }
    }
    EXPECT_GT(bars, 5);
    // The base line across the sample.
    int base = 0;
    for (int x = 192; x < 296; ++x)
        base += Dark(x, 179) || Dark(x, 180) ? 1 : 0;
    EXPECT_GT(base, 100);
    // Redraws of the unchanged pulsar give the same pixels.
    const int drawn = pane->RetDrawCount();
    ClickTab(0); // the value last drawn stays
    EXPECT_EQ(pane->RetDrawCount(), drawn + 1);
    EXPECT_EQ(SamplePixels(), first);
    pane->Refresh();
    EXPECT_EQ(SamplePixels(), first);
    // A new seed gives another graph; a constant pulsar shows the base line
    // only.
    ClickTab(1);
    Click(276, 114);
    PaneMouse(368, 2, 0); // no tool tip over the sample
    EXPECT_NE(SamplePixels(), first);
    EXPECT_EQ(Reports(), "Modify Quick ");
    pane->SetValue(190);
    pane->Refresh();
    int off_line = 0;
    for (int y = 172; y < 187; ++y)
        for (int x = 192; x < 296; ++x)
            off_line += (y < 178 || y > 181) && Dark(x, y) ? 1 : 0;
    EXPECT_EQ(off_line, 0);
}
