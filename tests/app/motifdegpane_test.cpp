// The gradient pane as a user meets it: each kind shows its own controls
// with their French texts, edits report "Modify" then "Quick" while section
// and handle picks report nothing, the sample and its strip drawn only when
// something changed, the handles' pictures on the sample, and the gestures:
// the angle handle kept under the mouse, tiny drags ignored, colour
// positions kept apart, the whole-mesh modes, and the mesh recoloured.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "app/colordef.h"
#include "app/motifdegpane.h"
#include "si/string.h"
#include "si/texttag.h"
#include "si/values.h"
#include "tests/app/panetest.h"

namespace {

bool Shown(const ZuObjectRef& control)
{
    return control.IsValid() && ZuViewRef(control)->RetParent().IsValid();
}

// A tool tip; an entry adds its range after the text.
std::string Tip(const ZuObjectRef& control)
{
    const std::string tip = Latin(ZuControlRef(control)->RetToolTip());
    const size_t range = tip.find(" [de ");
    return range == std::string::npos ? tip : tip.substr(0, range);
}

std::string Face(const CButtonRef& b)
{
    const ZuViewRef& contents = b->RetContents();
    ZuValueRef text;
    if (!contents.IsValid() || !contents->QueryData(ZuAtomRef("text"), text))
        return "";
    return Latin(ZuStringRef(text));
}

const double kNaN = std::numeric_limits<double>::quiet_NaN();

// The sample's centre in the pane's window, and the strip's.
const double kCx = 107.5, kCy = 84.5, kStripY = 180.5;

class MotifDegPaneTest : public PaneTest {
protected:
    void SetUp() override
    {
        PaneTest::SetUp();
        def = ZuNew<CMotifDef>(Zuvi_app_zone);
        def->SetValue(61);
        colours = ZuNew<CColorDef>(Zuvi_app_zone);
        colours->SetCount(10);
        // Red, blue, then greys.
        for (int i = 0; i < 10; ++i) {
            colours->SetIndex(i);
            if (i == 0)
                colours->SetRGB(1, 0, 0);
            else if (i == 1)
                colours->SetRGB(0, 0, 1);
            else
                colours->SetRGB(i / 10.0, i / 10.0, i / 10.0);
        }
        colours->SetIndex(0);
        dialog->defs[25] = CDefRef(ZuObjectRef(colours));
        pane = MakePane<CMotifDegPane>(20);
        pane->SetDef(CDefRef(ZuObjectRef(def)));
        pane->Refresh();
        Reports();
    }
    void TearDown() override
    {
        pane = CMotifDegPaneRef();
        def = CMotifDefRef();
        colours = CColorDefRef();
        PaneTest::TearDown();
    }
    void Kind(int kind)
    {
        Click(14, 4 + 23 * (kind - 230) + 11);
        Reports();
    }
    // Presses at a, drags through the points, releases at the last one.
    void Gesture(DPoint a, std::vector<DPoint> path)
    {
        Advance(1000);
        PaneMouse(a.x, a.y, 0);
        PaneMouse(a.x, a.y, MK_LBUTTON);
        for (const DPoint& p : path)
            PaneMouse(p.x, p.y, MK_LBUTTON);
        const DPoint end = path.empty() ? a : path.back();
        PaneMouse(end.x, end.y, 0);
    }
    DPoint At(int layer, int n)
    {
        DPoint at{-1, -1};
        int look = 0;
        EXPECT_TRUE(pane->HandlePosition(layer, n, at, look)) << layer << " " << n;
        return at;
    }
    bool Has(int layer, int n)
    {
        DPoint at;
        int look = 0;
        return pane->HandlePosition(layer, n, at, look);
    }
    int Look(int layer, int n)
    {
        DPoint at;
        int look = 0;
        pane->HandlePosition(layer, n, at, look);
        return look;
    }
    // ShowsIcon on the pane's window.
    bool PaneShowsIcon(const char* name, int x, int y)
    {
        const ZuWindowRef kept = w;
        w = pw;
        const bool shows = ShowsIcon(name, x, y);
        w = kept;
        return shows;
    }
    CMotifDegPaneRef pane;
    CMotifDefRef def;
    CColorDefRef colours;
};

} // namespace

TEST_F(MotifDegPaneTest, EachKindShowsItsOwnControls)
{
    const struct {
        int kind;
        bool ramp, mesh;
        int sections;
        const char* faces;
        const char* captions;
    } cases[] = {
        {230, true, false, 0, "=",
         "Inclinaison|D\xe9part|Arriv\xe9"
         "e"},
        {231, true, false, 2, "=",
         "Rayon ext\xe9rieur|Centre ext\xe9rieur horizontal|"
         "Centre ext\xe9rieur vertical"},
        {232, false, false, 0, "", "Centre horizontal|Centre vertical|"},
        {233, false, true, 6, "=/\\><<>", "||"},
        {234, false, true, 6, "=|o",
         "|Port\xe9"
         "e de la couleur|"},
    };
    for (const auto& c : cases) {
        Kind(c.kind);
        EXPECT_EQ(def->GetGradientType(), c.kind);
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(pane->RetTypeButton(i)->RetState().TestBit(ZU_VIEW_IS_ON), c.kind == 230 + i)
                << c.kind << " " << i;
        EXPECT_EQ(Shown(pane->RetStrip()), c.ramp) << c.kind;
        EXPECT_EQ(Shown(pane->RetColorCountEntry()), c.ramp) << c.kind;
        for (const ZuObjectRef& o :
             {ZuObjectRef(pane->RetColumnsEntry()), ZuObjectRef(pane->RetRowsEntry()),
              ZuObjectRef(pane->RetColumnsCaption()), ZuObjectRef(pane->RetRowsCaption())})
            EXPECT_EQ(Shown(o), c.mesh) << c.kind;
        std::string faces;
        for (int i = 0; i < 5; ++i)
            if (Shown(pane->RetAdjustButton(i)))
                faces += Face(pane->RetAdjustButton(i));
        EXPECT_EQ(faces, c.faces) << c.kind;
        int sections = 0;
        for (int i = 0; i < 7; ++i)
            sections += Shown(pane->RetSectionButton(i)) ? 1 : 0;
        EXPECT_EQ(sections, c.sections) << c.kind;
        std::string captions;
        for (int i = 0; i < 3; ++i)
            captions += (i ? "|" : "") + Latin(pane->RetCaption(i)->RetText());
        EXPECT_EQ(captions, c.captions) << c.kind;
        for (int i = 0; i < 10; ++i)
            EXPECT_EQ(Shown(pane->RetColorButton(i)), c.mesh) << c.kind;
    }
    // Texts of the tips, byte for byte.
    Kind(234);
    EXPECT_EQ(Tip(pane->RetAdjustButton(0)), "Mailles r\xe9guli\xe8res");
    EXPECT_EQ(Tip(pane->RetAdjustButton(1)), "Mailles rectilignes");
    EXPECT_EQ(Tip(pane->RetAdjustButton(2)), "Port\xe9"
                                             "es r\xe9guli\xe8res");
    EXPECT_EQ(Tip(pane->RetParamEntry(1)), "Distance jusqu'o\xf9 porte la couleur");
    const char* const modes[6] = {"D\xe9place localement",
                                  "D\xe9place globalement",
                                  "D\xe9place tout",
                                  "D\xe9"
                                  "forme",
                                  "Attire",
                                  "Repousse"};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(Tip(pane->RetSectionButton(i)), modes[i]);
    EXPECT_EQ(Tip(pane->RetColumnsEntry()), "Nombre de mailles horizontalement");
    EXPECT_EQ(Tip(pane->RetRowsEntry()), "Nombre de mailles verticalement");
    Kind(231);
    EXPECT_EQ(Tip(pane->RetSectionButton(0)), "Cercle de d\xe9part");
    EXPECT_EQ(Tip(pane->RetSectionButton(1)), "Cercle d'arriv\xe9"
                                              "e");
    EXPECT_EQ(Tip(pane->RetAdjustButton(0)), "Couleurs r\xe9guli\xe8res");
    EXPECT_EQ(Tip(pane->RetColorCountEntry()), "Nombre de couleurs");
    EXPECT_EQ(Tip(pane->RetParamEntry(0)), "Rayon ext\xe9rieur de d\xe9part");
    // "Non linéaire" is the one check box of the ramps.
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(Shown(pane->RetSwitch(i)), i == 2) << i;
    EXPECT_EQ(Latin(pane->RetSwitch(2)->RetTitle()), "Non lin\xe9"
                                                     "aire");
    EXPECT_EQ(Tip(pane->RetSwitch(2)), "Progression logarithmique");
    EXPECT_FALSE(pane->RetSwitch(2)->RetRadioButtonMode());
    Kind(232);
    const char* const titles[5] = {".", "_", "|", "/", "x"};
    const char* const tips[5] = {"2 couleurs", "3 couleurs (-)", "3 couleurs (|)", "3 couleurs (/)",
                                 "5 couleurs"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(Shown(pane->RetSwitch(i)));
        EXPECT_TRUE(pane->RetSwitch(i)->RetRadioButtonMode());
        EXPECT_EQ(Latin(pane->RetSwitch(i)->RetTitle()), titles[i]);
        EXPECT_EQ(Tip(pane->RetSwitch(i)), tips[i]);
        EXPECT_EQ(pane->RetSwitch(i)->RetSwitchState(), i == 0);
    }
}

TEST_F(MotifDegPaneTest, EditsReportAndPicksDoNot)
{
    Kind(231);
    // The radial kind's data is fresh: outer radius 1, two colours.
    EXPECT_EQ(def->GetGradientPoint(2), 1.0);
    EXPECT_EQ(def->GetColorCount(), 2);
    EXPECT_EQ(colours->GetCount(), 2);
    EXPECT_EQ(colours->GetStyle(), 2);
    // Section 1: the inner circle's parameters; nothing reported.
    Click(196 + 23 + 11, 8 + 11);
    EXPECT_EQ(pane->RetSection(), 1);
    EXPECT_EQ(Latin(pane->RetCaption(0)->RetText()), "Rayon int\xe9rieur");
    EXPECT_EQ(Reports(), "");
    TypeInto(210, 55 + 10, "50");
    EXPECT_DOUBLE_EQ(def->GetGradientPoint(5), 0.5);
    EXPECT_EQ(pane->RetSelected(), 2);
    EXPECT_EQ(Reports(), "Modify Quick ");
    int* list = nullptr;
    int count = 0;
    pane->GetCodes(&list, &count);
    ASSERT_EQ(count, 2);
    EXPECT_EQ(list[0], 25);
    EXPECT_EQ(list[1], 20);
    // To the axial kind: section 1 no longer exists.
    Kind(230);
    EXPECT_EQ(pane->RetSection(), 0);
    EXPECT_EQ(pane->RetSelected(), -1);
    EXPECT_NEAR(def->GetGradientPoint(0), 0.785398163375, 1e-12);
    // Colour count typed: 7 spreads the positions; 15 is brought to 10,
    // letters are refused.
    TypeInto(236, 180, "7");
    EXPECT_EQ(def->GetColorCount(), 7);
    EXPECT_NEAR(def->GetGradientPoint(3), 1.0 / 6, 1e-12);
    EXPECT_NEAR(def->GetGradientPoint(4), 2.0 / 6, 1e-12);
    EXPECT_EQ(colours->GetCount(), 7);
    EXPECT_EQ(Reports(), "Modify Quick ");
    TypeInto(236, 180, "15");
    EXPECT_EQ(def->GetColorCount(), 10);
    Reports();
    TypeInto(236, 180, "abc");
    EXPECT_EQ(def->GetColorCount(), 10);
    EXPECT_EQ(Reports(), "");
    // "Non linéaire" re-spreads the colours.
    def->SetGradientPoint(3, 0.5);
    def->SetGradientPoint(13, 0.7);
    Click(196 + 64 + 20, 8 + 10);
    EXPECT_EQ(def->GetMeshFlags(), 1u);
    EXPECT_NEAR(def->GetGradientPoint(3), 1.0 / 9, 1e-12);
    EXPECT_EQ(def->GetGradientPoint(13), 0.0);
    EXPECT_EQ(Reports(), "Modify Quick ");
    // Mesh sizes: clamped into 2 .. 5.
    Kind(233);
    TypeInto(57, 180, "9");
    int columns = 0, rows = 0;
    def->GetMeshSize(columns, rows);
    EXPECT_EQ(columns, 5);
    EXPECT_EQ(def->CountGradientPoints(), 5 * 3 * 4);
    EXPECT_EQ(Reports(), "Modify Quick ");
    TypeInto(140, 180, "4");
    def->GetMeshSize(columns, rows);
    EXPECT_EQ(rows, 4);
    TypeInto(140, 180, "x");
    def->GetMeshSize(columns, rows);
    EXPECT_EQ(rows, 4);
    Reports();
    // A tag out of range does nothing.
    EXPECT_FALSE(pane->OnButtonType(ZuObjectRef(pane->RetSectionButton(0)), 0));
    EXPECT_FALSE(pane->OnRadioColor(ZuObjectRef(pane->RetTypeButton(0)), 0));
    EXPECT_EQ(Reports(), "");
}

TEST_F(MotifDegPaneTest, TheSampleIsDrawnOnceForAGradientWithColours)
{
    Kind(230);
    const int drawn = pane->RetSampleDraws();
    EXPECT_GT(drawn, 0);
    // Grey around the gradient; red toward its start, blue toward its end.
    EXPECT_TRUE(Near(PanePixel(int(kCx - 75), int(kCy)), 0xBFBFBF))
        << std::hex << PanePixel(int(kCx - 75), int(kCy));
    const unsigned start = PanePixel(int(kCx - 50), int(kCy + 60));
    const unsigned end = PanePixel(int(kCx + 60), int(kCy - 50));
    EXPECT_GT(start >> 16, start & 0xFF) << std::hex << start;
    EXPECT_GT(end & 0xFF, end >> 16) << std::hex << end;
    // The strip: red on the left, blue on the right.
    const unsigned left = PanePixel(int(kCx - 65), int(kStripY));
    const unsigned right = PanePixel(int(kCx + 65), int(kStripY));
    EXPECT_GT(left >> 16, left & 0xFF) << std::hex << left;
    EXPECT_GT(right & 0xFF, right >> 16) << std::hex << right;
    // Unchanged: not drawn again; a new colour: drawn again.
    pane->Refresh();
    pane->Update();
    EXPECT_EQ(pane->RetSampleDraws(), drawn);
    colours->SetIndex(1);
    colours->SetRGB(0, 1, 0);
    pane->Update();
    EXPECT_EQ(pane->RetSampleDraws(), drawn + 1);
    // Another fill kind, or no colours: nothing drawn.
    def->SetGradientPoint(1, 0.5);
    def->SetValue(62);
    pane->Update();
    def->SetValue(61);
    dialog->defs.erase(25);
    pane->Update();
    EXPECT_EQ(pane->RetSampleDraws(), drawn + 1);
}

TEST_F(MotifDegPaneTest, HandlesShowTheirPicturesAndGuides)
{
    Kind(230);
    const struct {
        int n;
        const char* normal;
        const char* chosen;
    } axial[] = {{0, "lumbra_HandleNormPB", "lumbra_HandleNormPB"},
                 {1, "lumbra_HandleCrosGR", "lumbra_HandleCrosGV"},
                 {2, "lumbra_HandleNormMR", "lumbra_HandleNormMV"},
                 {3, "lumbra_HandleNormMR", "lumbra_HandleNormMV"}};
    // Start and end halfway, clear of the frame.
    def->SetGradientPoint(1, 0.5);
    def->SetGradientPoint(2, 0.5);
    pane->Update();
    const DPoint angle = At(0, 1);
    EXPECT_NEAR(angle.x, kCx + 15 * std::sqrt(0.5), 1e-6);
    EXPECT_NEAR(angle.y, kCy - 55 * std::sqrt(0.5), 1e-6);
    // Each picture's square of 17 starts 8 up and left of the point, its
    // mark centred on the point.
    for (const auto& h : axial) {
        const DPoint at = At(0, h.n);
        EXPECT_TRUE(PaneShowsIcon(h.normal, int(at.x - 8), int(at.y - 8))) << h.n;
    }
    for (const auto& h : axial) {
        pane->SetSelected(h.n);
        pane->RetSample()->Display();
        const DPoint at = At(0, h.n);
        EXPECT_TRUE(PaneShowsIcon(h.chosen, int(at.x - 8), int(at.y - 8))) << h.n;
    }
    // The guide from start to end: black with white on both sides, across
    // the middle of the sample.
    pane->SetSelected(-1);
    pane->RetSample()->Display();
    const int y = int(kCy) + 20;
    int x = int(kCx) - 25;
    while (x < kCx && !Near(PanePixel(x, y), 0))
        ++x;
    ASSERT_LT(x, kCx);
    EXPECT_TRUE(Near(PanePixel(x - 1, y), 0xFFFFFF)) << std::hex << PanePixel(x - 1, y);
    EXPECT_TRUE(Near(PanePixel(x + 1, y), 0xFFFFFF)) << std::hex << PanePixel(x + 1, y);
    // Triangle mesh: the diagonal of a cell follows its flag.
    Kind(233);
    const DPoint p0 = At(0, 0), p4 = At(0, 4), p1 = At(0, 1), p3 = At(0, 3);
    const DPoint mid{(p0.x + p4.x) / 2, (p0.y + p4.y) / 2};
    EXPECT_TRUE(Near(PanePixel(int(mid.x), int(mid.y)), 0)) << std::hex;
    def->SetGradientPoint(2, 1.0);
    pane->Update();
    pane->RetSample()->Display();
    EXPECT_FALSE(Near(PanePixel(int(mid.x + 10), int(mid.y - 10)), 0));
    const DPoint other{(p1.x + p3.x) / 2 + 5, (p1.y + p3.y) / 2 + 5};
    EXPECT_TRUE(Near(PanePixel(int(other.x), int(other.y)), 0)) << std::hex;
}

TEST_F(MotifDegPaneTest, TheAngleHandleStaysUnderTheMouse)
{
    Kind(230);
    const DPoint h = At(0, 1);
    const DPoint a{std::round(h.x), std::round(h.y)};
    const double before = def->GetGradientPoint(0);
    // Tiny moves at first do nothing, then the handle follows.
    Gesture(a, {{a.x + 1, a.y}, {a.x, a.y + 1}});
    EXPECT_EQ(def->GetGradientPoint(0), before);
    EXPECT_EQ(pane->RetSelected(), 1);
    // The release reports once though nothing moved.
    EXPECT_EQ(Reports(), "Modify Quick ");
    Gesture(a, {{a.x + 20, a.y + 20}, {kCx + 40, kCy}});
    EXPECT_EQ(Reports(), "Modify Quick ");
    // The window's pixel (147, 84) is the sample point (39.5, 0.5).
    const double expect = std::atan2(0.5, 39.5) - std::atan(20.0 / 35.0) + 6.283185307;
    EXPECT_NEAR(def->GetGradientPoint(0), expect, 1e-9);
    const DPoint now = At(0, 1);
    EXPECT_NEAR(std::atan2(kCy - now.y, now.x - kCx) - std::atan2(20.0, 35.0) + 2 * M_PI,
                def->GetGradientPoint(0), 1e-6);
    // The entry shows it in degrees.
    EXPECT_NEAR(pane->RetParamEntry(0)->GetValue(), expect, 1e-3);
}

TEST_F(MotifDegPaneTest, ThePressTakesTheHighestHandleAndTheSampleFirst)
{
    Kind(231);
    // All four radial handles on one point: the highest wins.
    for (int i : {0, 1, 3, 4})
        def->SetGradientPoint(i, -1.0);
    int n = -1, layer = -1;
    ASSERT_TRUE(pane->HitTest(DPoint{kCx - 70, kCy + 70}, n, layer));
    EXPECT_EQ(n, 3);
    EXPECT_EQ(layer, 0);
    ASSERT_TRUE(pane->HitTest(DPoint{kCx - 66, kCy + 74}, n, layer));
    EXPECT_FALSE(pane->HitTest(DPoint{kCx - 65, kCy + 70}, n, layer));
    // A press on the inner centre brings its section up.
    def->SetGradientPoint(3, 0.25);
    def->SetGradientPoint(4, 0.0);
    Gesture({kCx + 17.5, kCy}, {});
    EXPECT_EQ(pane->RetSection(), 1);
    EXPECT_EQ(pane->RetSelected(), 3);
    // Dragging the outer radius beyond the corner stops at 1.
    def->SetGradientPoint(0, 0.0);
    def->SetGradientPoint(1, 0.0);
    def->SetGradientPoint(2, 0.5);
    const DPoint r = At(0, 0);
    Gesture({std::round(r.x), std::round(r.y)}, {{kCx - 90, kCy + 90}});
    EXPECT_EQ(def->GetGradientPoint(2), 1.0);
    EXPECT_EQ(pane->RetSection(), 0);
    Reports();
    // A press on nothing drops the selection.
    Gesture({kCx + 60, kCy - 10}, {});
    EXPECT_EQ(pane->RetSelected(), -1);
    EXPECT_EQ(Reports(), "");
}

TEST_F(MotifDegPaneTest, ColourPositionsKeepTheirOrderOnTheStrip)
{
    Kind(230);
    TypeInto(236, 180, "4");
    Reports();
    // Positions 1/3, 2/3, then 1: handles 0 and 1 on the strip.
    EXPECT_FALSE(Has(1, 2));
    const DPoint h0 = At(1, 0);
    EXPECT_NEAR(h0.x, kCx + 141.0 / 3 - 70, 1e-9);
    // Past the next colour: stops 0.01 before it.
    Gesture({std::round(h0.x), kStripY}, {{kCx + 60, kStripY}});
    EXPECT_NEAR(def->GetGradientPoint(3), 2.0 / 3 - 0.01, 1e-12);
    EXPECT_EQ(Reports(), "Modify Quick ");
    // Before the previous colour: stops 0.01 after it.
    def->SetGradientPoint(3, 0.5);
    pane->MoveHandle(1, 1, DPoint{kCx - 60, kStripY});
    EXPECT_NEAR(def->GetGradientPoint(4), 0.51, 1e-12);
    // No room: the upper bound wins.
    def->SetGradientPoint(4, 0.005);
    pane->MoveHandle(0, 1, DPoint{kCx + 60, kStripY});
    EXPECT_NEAR(def->GetGradientPoint(3), 0.005 - 0.01, 1e-12);
    // Progression handles only for the style word 1 exactly.
    EXPECT_FALSE(Has(1, 10));
    def->SetMeshFlags(1);
    EXPECT_TRUE(Has(1, 10));
    EXPECT_EQ(Look(1, 10), 3);
    EXPECT_TRUE(Has(1, 12));
    EXPECT_FALSE(Has(1, 13));
    def->SetMeshFlags(3);
    EXPECT_FALSE(Has(1, 10));
    def->SetMeshFlags(1);
    def->SetGradientPoint(3, 0.2);
    pane->MoveHandle(10, 1, DPoint{kCx - 70 + 141 * 0.2 * 0.75, kStripY});
    EXPECT_NEAR(def->GetGradientPoint(13), 0.5, 1e-9);
}

TEST_F(MotifDegPaneTest, WholeMeshModesMoveTheMeshNotAHandle)
{
    Kind(234);
    // Mode "Déplace tout": a drag translates every node; border nodes are
    // kept on the square's edges.
    Click(196 + 46 + 11, 8 + 11);
    ASSERT_EQ(pane->RetSection(), 2);
    EXPECT_EQ(Look(0, 0), 4);
    const double x4 = def->GetGradientPoint(19 * 4);
    Gesture({kCx, kCy}, {{kCx + 7, kCy}, {kCx + 14, kCy}});
    EXPECT_NEAR(def->GetGradientPoint(19 * 4), x4 + 0.2, 1e-9);
    EXPECT_EQ(def->GetGradientPoint(0), -1.0);
    EXPECT_EQ(pane->RetSelected(), -1);
    EXPECT_EQ(Reports(), "Modify Quick ");
    // No tangent shows, even with a node chosen.
    pane->SetSelected(20);
    for (int k = 1; k < 5; ++k)
        EXPECT_FALSE(Has(0, 20 + k));
    pane->SetSelected(-1);
    // "Déforme" drags the middle along, "Attire" pulls the middle node
    // toward the press and "Repousse" pushes it away; each mode has its
    // pointer.
    const struct {
        int mode;
        int sprite;
        double low, high;
    } modes[] = {{3, 16, 0.05, 0.3}, {4, 42, 0.0, 0.5}, {5, 41, -0.5, 0.0}};
    for (const auto& m : modes) {
        Click(196 + 23 * m.mode + 11, 8 + 11);
        ASSERT_EQ(pane->RetSection(), m.mode);
        def->ResetGradientPoints();
        Reports();
        PaneMouse(kCx + 35, kCy + 1, 0);
        PaneMouse(kCx + 35, kCy, 0);
        EXPECT_EQ(pane->RetSample()->RetCursorSprite(), m.sprite) << m.mode;
        if (m.mode == 3)
            Gesture({kCx, kCy}, {{kCx + 7, kCy}, {kCx + 14, kCy}});
        else
            Gesture({kCx + 35, kCy}, {});
        const double x = def->GetGradientPoint(19 * 4);
        EXPECT_GT(x, m.low) << m.mode;
        EXPECT_LT(x, m.high) << m.mode;
        EXPECT_EQ(def->GetGradientPoint(19 * 3), -1.0) << m.mode;
        EXPECT_EQ(Reports(), "Modify Quick ") << m.mode;
    }
}

TEST_F(MotifDegPaneTest, SingleHandleModesMoveNodesAndTangents)
{
    Kind(234);
    // Local mode: the middle node alone, with its tangents.
    const DPoint n4 = At(0, 20);
    Gesture({n4.x, n4.y}, {{n4.x + 7, n4.y}, {n4.x + 14, n4.y}});
    // Whole pixels: the node lands within a pixel of the mouse.
    const double moved = def->GetGradientPoint(19 * 4);
    EXPECT_NEAR(moved, 0.2, 0.015);
    EXPECT_NEAR(def->GetGradientPoint(19 * 4 + 4), moved + 0.4, 1e-9);
    EXPECT_NEAR(def->GetGradientPoint(19 * 1), 0.0, 1e-9);
    EXPECT_EQ(pane->RetSelected(), 20);
    // Its tangents show, those pointing back at it from neighbours too,
    // but not others.
    EXPECT_TRUE(Has(0, 22));
    EXPECT_TRUE(Has(0, 5 * 3 + 2));
    EXPECT_FALSE(Has(0, 5 * 3 + 1));
    EXPECT_EQ(Look(0, 22), 3);
    // Global mode: the node's row and column follow.
    Click(196 + 23 + 11, 8 + 11);
    ASSERT_EQ(pane->RetSection(), 1);
    def->ResetGradientPoints();
    pane->MoveHandle(20, 0, DPoint{kCx + 7, kCy - 7});
    EXPECT_NEAR(def->GetGradientPoint(19 * 1 + 1), -1.0, 1e-9);
    EXPECT_NEAR(def->GetGradientPoint(19 * 1), 0.1, 1e-9);
    EXPECT_NEAR(def->GetGradientPoint(19 * 3 + 1), 0.1, 1e-9);
    EXPECT_NEAR(def->GetGradientPoint(19 * 0), -1.0, 1e-9);
    // A tangent moved turns the opposite one, which keeps its length.
    def->ResetGradientPoints();
    pane->SetSelected(20);
    pane->MoveHandle(22, 0, DPoint{kCx + 28, kCy - 28});
    EXPECT_NEAR(def->GetGradientPoint(19 * 4 + 2), -0.4 * std::sqrt(0.5), 1e-9);
    EXPECT_NEAR(def->GetGradientPoint(19 * 4 + 3), -0.4 * std::sqrt(0.5), 1e-9);
    // Onto its node it gives no direction: the opposite tangent stays.
    pane->MoveHandle(22, 0, DPoint{kCx, kCy});
    EXPECT_EQ(def->GetGradientPoint(19 * 4 + 4), 0.0);
    EXPECT_NEAR(def->GetGradientPoint(19 * 4 + 2), -0.4 * std::sqrt(0.5), 1e-9);
    for (int i = 0; i < def->CountGradientPoints(); ++i)
        ASSERT_TRUE(std::isfinite(def->GetGradientPoint(i))) << i;
}

TEST_F(MotifDegPaneTest, ColourButtonsRecolourTheMesh)
{
    Kind(233);
    // No point chosen: the whole mesh.
    Click(196 + 32 * 2 + 16, 123 + 8);
    for (int p = 0; p < 9; ++p)
        EXPECT_EQ(def->GetGradientPoint(4 * p + 3), 2.0) << p;
    EXPECT_EQ(Reports(), "Modify Quick ");
    // A chosen point alone; its button is on.
    const DPoint p4 = At(0, 4);
    Gesture({std::round(p4.x), std::round(p4.y)}, {});
    Reports();
    Click(196 + 32 * 3 + 16, 123 + 17 + 8);
    EXPECT_EQ(def->GetGradientPoint(4 * 4 + 3), 8.0);
    EXPECT_EQ(def->GetGradientPoint(4 * 3 + 3), 2.0);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(pane->RetColorButton(i)->RetState().TestBit(ZU_VIEW_IS_ON), i == 8) << i;
    EXPECT_TRUE(Near(PanePixel(196 + 32 * 3 + 16, 123 + 17 + 8), 0xCCCCCC));
    // An index that is not 0 .. 9 names no button.
    for (double odd : {kNaN, -1.0, 10.0, 1e300, -1e300, std::numeric_limits<double>::infinity()}) {
        def->SetGradientPoint(4 * 4 + 3, odd);
        pane->UpdateColorButtons();
        for (int i = 0; i < 10; ++i)
            EXPECT_FALSE(pane->RetColorButton(i)->RetState().TestBit(ZU_VIEW_IS_ON)) << odd;
    }
    // The curve mesh's colour reach is shown in every mode and edits the
    // chosen node.
    Kind(234);
    pane->SetSelected(20);
    for (int s = 0; s < 6; ++s) {
        Click(196 + 23 * s + 11, 8 + 11);
        pane->SetSelected(20);
        pane->UpdateParams();
        EXPECT_TRUE(Shown(pane->RetParamEntry(1))) << s;
    }
    Click(196 + 11, 8 + 11);
    pane->SetSelected(20);
    pane->UpdateParams();
    TypeInto(210, 95 + 10, "30");
    EXPECT_NEAR(pane->GetColorReach(20), 0.3, 1e-9);
    EXPECT_NEAR(def->GetGradientPoint(19 * 4 + 10), -0.3, 1e-9);
    EXPECT_NE(def->GetGradientPoint(19 * 0 + 12) - def->GetGradientPoint(0), 0.3);
}

TEST_F(MotifDegPaneTest, TheBorderPointTakesAnyAngle)
{
    const struct {
        double angle;
        DPoint at;
    } cases[] = {
        {0.0, {70, 0}},           {M_PI / 2, {0, 70}},  {M_PI, {-70, 0}},
        {3 * M_PI / 2, {0, -70}}, {M_PI / 4, {70, 70}}, {std::atan(0.5), {70, 35}},
    };
    for (const auto& c : cases)
        for (int turns : {0, 1, 3, -1, -4, 1000}) {
            const DPoint p = CMotifDegPane::BorderPoint(c.angle + turns * 6.283185307);
            EXPECT_NEAR(p.x, c.at.x, 1e-3) << c.angle << " " << turns;
            EXPECT_NEAR(p.y, c.at.y, 1e-3) << c.angle << " " << turns;
        }
    for (double odd : {kNaN, std::numeric_limits<double>::infinity(), -1e300}) {
        const DPoint p = CMotifDegPane::BorderPoint(odd);
        EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y)) << odd;
        EXPECT_LE(std::fabs(p.x), 70.0 + 1e-9);
        EXPECT_LE(std::fabs(p.y), 70.0 + 1e-9);
    }
    EXPECT_EQ(CMotifDegPane::BorderPoint(kNaN).x, 70.0);
    // An axial gradient from a file with an angle of several turns shows
    // its start and end on the sample's edge.
    Kind(230);
    def->SetGradientPoint(0, -3 * 6.283185307 + M_PI);
    const DPoint end = At(0, 3);
    EXPECT_NEAR(end.x, kCx - 70, 1e-3);
    EXPECT_NEAR(end.y, kCy, 1e-3);
}

// A mesh point far outside the sample (a damaged gradient): the guides to
// it are drawn where they cross the sample, and drawing goes on.
TEST_F(MotifDegPaneTest, AGuideToAFarPointIsCutToTheSample)
{
    Kind(233);
    def->SetGradientPoint(0, 150.0);
    def->SetGradientPoint(1, 0.0);
    pane->Update();
    const DPoint far = At(0, 0), p1 = At(0, 1);
    ASSERT_GT(std::fabs(far.x - kCx), 10000.0);
    ASSERT_LT(std::fabs(far.x - kCx), 1e5);
    EXPECT_NO_THROW(pane->RetSample()->Display());
    // The guide from point 1 toward the far point leaves point 1 black.
    const double d = std::hypot(far.x - p1.x, far.y - p1.y);
    const DPoint on{p1.x + 12 * (far.x - p1.x) / d, p1.y + 12 * (far.y - p1.y) / d};
    EXPECT_TRUE(Near(PanePixel(int(std::lround(on.x)), int(std::lround(on.y))), 0))
        << std::hex << PanePixel(int(std::lround(on.x)), int(std::lround(on.y)));
}
