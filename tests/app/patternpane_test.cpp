// The brush editor as a user meets it: its controls and their texts, the
// colours A to F from the dialog, the evolution modes, shapes drawn,
// selected, moved and reshaped by gestures on the sample (the brush's
// records read back, the overlay's pixels read from the window), one
// report per gesture, and brushes from documents that hold odd records.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "app/colordef.h"
#include "app/patternpane.h"
#include "si/string.h"
#include "si/texttag.h"
#include "tests/app/panetest.h"

namespace {

std::string Tip(const ZuViewRef& view)
{
    return view.IsValid() ? Latin(ZuControlRef(view)->RetToolTip()) : std::string("?");
}

// The records of a brush up to its end record.
std::vector<double> Records(const CPatternDefRef& def)
{
    int length = 0;
    def->GetLength(length);
    std::vector<double> out;
    double r[CPatternDef::MAX_RECORD];
    for (int i = 0; i < length;) {
        def->GetElement(i, r);
        const int n = CPatternDef::RecordLength(r[0]);
        out.insert(out.end(), r, r + n);
        i += n;
    }
    return out;
}

void ExpectRecords(const CPatternDefRef& def, const std::vector<double>& expected)
{
    const std::vector<double> got = Records(def);
    ASSERT_EQ(got.size(), expected.size());
    for (std::size_t i = 0; i < got.size(); ++i)
        EXPECT_NEAR(got[i], expected[i], 1e-9) << "at " << i;
}

// A shape header of both states equal.
std::vector<double> Header(int flags, int colour, double width, double x, double y)
{
    return {10, double(flags), double(colour), double(colour), width, width, 0, 0, x, y, x, y};
}
std::vector<double> Point(double x, double y)
{
    return {20, x, y, x, y};
}

std::vector<double> Join(std::initializer_list<std::vector<double>> parts)
{
    std::vector<double> out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

class PatternPaneTest : public PaneTest {
protected:
    void SetUp() override
    {
        PaneTest::SetUp();
        def = ZuNew<CPatternDef>(Zuvi_app_zone);
        def->Clear();
    }
    void TearDown() override
    {
        if (pane.IsValid())
            pane->Delete();
        pane = CPatternPaneRef();
        def = CPatternDefRef();
        PaneTest::TearDown();
    }
    void Open(int kind)
    {
        pane = MakePane<CPatternPane>(kind);
        ASSERT_TRUE(pane->SetDef(CDefRef(ZuObjectRef(def))));
        pane->Refresh();
        Pump();
    }
    // The brush's records replaced by these.
    void Load(const std::vector<double>& records)
    {
        def->Clear();
        for (std::size_t i = 0; i < records.size();) {
            const int n = CPatternDef::RecordLength(records[i]);
            int at = 0;
            def->GetLength(at);
            def->InsertElement(at, &records[i]);
            i += n;
        }
        pane->Refresh();
        Pump();
    }
    DPoint View(double x, double y) { return pane->RetSample()->SampleToView(x, y); }
    // A press at a, a drag through to b and the release there, in brush
    // coordinates, injected on the window.
    void Gesture(double ax, double ay, double bx, double by)
    {
        const DPoint a = View(ax, ay), b = View(bx, by);
        Advance(1000);
        PaneMouse(a.x, a.y, 0);
        PaneMouse(a.x, a.y, MK_LBUTTON);
        PaneMouse((a.x + b.x) / 2, (a.y + b.y) / 2, MK_LBUTTON);
        PaneMouse(b.x, b.y, MK_LBUTTON);
        PaneMouse(b.x, b.y, 0);
    }
    void Tap(double x, double y) { Gesture(x, y, x, y); }
    void Tool(int t) { Click(196 + 23 * (t < 3 ? t : t - 3) + 11, (t < 3 ? 24 : 47) + 11); }
    unsigned SamplePixel(double x, double y)
    {
        const DPoint v = View(x, y);
        return PanePixel(int(std::lround(v.x)), int(std::lround(v.y)));
    }
    // Whether the colour shows at the brush point or a pixel next to it.
    bool ShowsNear(double x, double y, unsigned colour)
    {
        const DPoint v = View(x, y);
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (Near(PanePixel(int(v.x) + dx, int(v.y) + dy), colour))
                    return true;
        return false;
    }
    // Whether the handle's picture stands centred on the brush point: its
    // 17 x 17 square placed 8 units up and left of it. The grid's dot
    // drawn over the handles may cover the middle pixel, on the point.
    bool ShowsHandle(const char* icon, double x, double y)
    {
        const DPoint v = View(x, y);
        for (int dy = 0; dy <= 1; ++dy)
            for (int dx = 0; dx <= 1; ++dx)
                if (ShowsIconAt(icon, int(v.x) - 8 + dx, int(v.y) - 8 + dy))
                    return true;
        return false;
    }
    // Whether the pane's window shows the look's icon with its top-left
    // corner at (x, y): every pixel the icon paints, drawn alone, is there,
    // but for its middle one.
    bool ShowsIconAt(const char* name, int x, int y)
    {
        ZuIconRecordRef record;
        if (!ZuLookMan::Current()->GetIconRecord(ZuAtomRef(name), record, 0))
            return false;
        const ZuRect r = record->RetIconRect(ZU_CTRL_STATE_NORMAL);
        const int dx = int(r.DX()), dy = int(r.DY());
        ZuGrailPixmapRef alone = NewPixmap(32, dx, dy);
        alone->BeginDraw(0, 0, dx - 1, dy - 1);
        alone->SetForeColor(ZuColorPixel(0x00FF00FFu));
        alone->FillRect(0, 0, dx - 1, dy - 1);
        alone->RetAdorner()->DrawIcon(0, 0, ZuAtomRef(name), ZU_CTRL_STATE_NORMAL, 0, 0);
        alone->EndDraw();
        int painted = 0, differ = 0;
        for (int j = 0; j < dy; ++j)
            for (int i = 0; i < dx; ++i) {
                const unsigned p = Pixel(alone, i, j) & 0xFFFFFF;
                if (p == 0xFF00FF || (i == dx / 2 && j == dy / 2))
                    continue;
                ++painted;
                differ += !Near(PanePixel(x + i, y + j), p);
            }
        alone->Delete();
        return painted > 0 && differ == 0;
    }
    CPatternPaneRef pane;
    CPatternDefRef def;
};

} // namespace

TEST_F(PatternPaneTest, ControlsCarryTheirTextsTagsAndIcons)
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
    EXPECT_EQ(labels, (std::vector<std::string>{"Variation", "Epaisseur du trait"}));
    const char* modes[3][2] = {{"1+2", "Etat global du pinceau"},
                               {"1", "Etat initial du pinceau (0%)"},
                               {"2", "Etat final du pinceau (100%)"}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Latin(pane->RetModeSwitch(i)->RetTitle()), modes[i][0]);
        EXPECT_EQ(Tip(pane->RetModeSwitch(i)), modes[i][1]);
        EXPECT_EQ(pane->RetModeSwitch(i)->RetUserTag(), 300 + i);
        EXPECT_EQ(pane->RetModeSwitch(i)->RetSwitchState(), i == 0);
    }
    const char* tools[7] = {"Dessin d'une droite",
                            "Dessin d'un rectangle",
                            "Dessin d'un cercle",
                            "S\xE9lection",
                            "Transformation droite <-> courbe",
                            "Ajoute une poign\xE9"
                            "e",
                            "Supprime une poign\xE9"
                            "e"};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(Tip(pane->RetToolButton(i)), tools[i]);
        EXPECT_EQ(pane->RetToolButton(i)->RetUserTag(), 100 + i);
        EXPECT_EQ(pane->RetToolButton(i)->RetState().TestBit(ZU_VIEW_IS_ON), i == 3);
    }
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(Tip(pane->RetColorButton(i)), std::string("Couleur ") + char('A' + i));
        EXPECT_EQ(pane->RetColorButton(i)->RetUserTag(), 200 + i);
    }
    EXPECT_EQ(Tip(pane->RetFrontButton()), "Vers l'avant");
    EXPECT_EQ(Tip(pane->RetBackButton()), "Vers l'arri\xE8re");
    EXPECT_EQ(Tip(pane->RetDeleteButton()), "Supprimer");
    EXPECT_EQ(Tip(pane->RetGridButton()), "Grille magn\xE9tique");
    EXPECT_EQ(Tip(pane->RetOutlineButton()), "Brouillon");
    EXPECT_EQ(Tip(pane->RetClearButton()), "Efface tout");
    EXPECT_NEAR(pane->RetWidthEntry()->GetValue(), 10.0, 1e-9);
    // The grid and outline buttons show their state; neither reports.
    EXPECT_TRUE(pane->RetGridButton()->RetState().TestBit(ZU_VIEW_IS_ON));
    Click(219 + 11, 169 + 11);
    EXPECT_TRUE(pane->RetOutline());
    EXPECT_TRUE(pane->RetOutlineButton()->RetState().TestBit(ZU_VIEW_IS_ON));
    Click(196 + 11, 169 + 11);
    EXPECT_FALSE(pane->RetGrid());
    EXPECT_FALSE(pane->RetGridButton()->RetState().TestBit(ZU_VIEW_IS_ON));
    Tool(1);
    EXPECT_EQ(pane->RetTool(), 1);
    EXPECT_TRUE(pane->RetToolButton(1)->RetState().TestBit(ZU_VIEW_IS_ON));
    EXPECT_FALSE(pane->RetToolButton(3)->RetState().TestBit(ZU_VIEW_IS_ON));
    EXPECT_EQ(Reports(), "");
    // A stranger's tag is refused.
    EXPECT_FALSE(pane->OnClickRadioTool(pane->RetGridButton(), 0));
    EXPECT_FALSE(pane->OnClickRadioColor(ZuObjectRef(), 0));
}

TEST_F(PatternPaneTest, ColoursAToFComeFromTheDialogsColoursFromTheBaseOfTheKind)
{
    CColorDefRef colours = ZuNew<CColorDef>(Zuvi_app_zone);
    colours->SetCount(10);
    for (int i = 0; i < 10; ++i) {
        colours->SetIndex(i);
        colours->SetRGB(i / 10.0, 0.0, 1.0 - i / 10.0);
    }
    for (int kind : {11, 21, 102}) {
        SCOPED_TRACE(kind);
        dialog->defs.clear();
        dialog->defs[kind == 11 ? 15 : kind == 21 ? 25 : 105] = CDefRef(ZuObjectRef(colours));
        CPatternPaneRef p = MakePane<CPatternPane>(kind);
        const int base = kind == 11 ? 0 : 1;
        EXPECT_EQ(p->RetColorBase(), base);
        p->Update();
        // The pane keeps a copy of its own.
        EXPECT_FALSE(p->RetPalette() == colours);
        for (int i = 0; i < 6; ++i) {
            const ZuColorPixel c = p->RetColorButton(i)->RetColor();
            EXPECT_NEAR(c.RealRed(), (base + i) / 10.0, 0.01) << i;
            EXPECT_NEAR(c.RealBlue(), 1.0 - (base + i) / 10.0, 0.01) << i;
        }
        p->Delete();
    }
}

TEST_F(PatternPaneTest, SnappingRoundsHalvesAwayFromZeroWhileTheGridIsOn)
{
    Open(11);
    const struct {
        double x, y, sx, sy;
    } cases[] = {
        {0.04, -0.06, 0.0, -0.1}, {0.05, 0.05, 0.1, 0.1},   {-0.05, -0.15, -0.1, -0.2},
        {0.349, 0.351, 0.3, 0.4}, {-0.94, 0.96, -0.9, 1.0}, {0.0, -0.0, 0.0, 0.0},
    };
    for (const auto& c : cases) {
        const DPoint s = pane->Snap(DPoint{c.x, c.y});
        EXPECT_NEAR(s.x, c.sx, 1e-12) << c.x;
        EXPECT_NEAR(s.y, c.sy, 1e-12) << c.y;
    }
    pane->OnClickGrid(ZuObjectRef(), 0);
    const DPoint s = pane->Snap(DPoint{0.04, -0.06});
    EXPECT_EQ(s.x, 0.04);
    EXPECT_EQ(s.y, -0.06);
}

TEST_F(PatternPaneTest, DrawingToolsLayDownTheirShapesAndReportOnceAtTheRelease)
{
    Open(11);
    Tool(1);
    Gesture(-0.2, -0.2, 0.3, 0.1);
    ExpectRecords(def, Join({Header(2, 0, 0.1, -0.2, -0.2), Point(0.3, -0.2), Point(0.3, 0.1),
                             Point(-0.2, 0.1), Point(-0.2, -0.2)}));
    EXPECT_EQ(Reports(), "Modify Quick ");
    int* codes = nullptr;
    int count = 0;
    pane->GetCodes(&codes, &count);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(codes[0], 11);

    // A circle of radius 0.3 in colour C, after a line in colour A.
    def->Clear();
    Tool(0);
    Gesture(-0.5, 0.4, 0.5, 0.4);
    EXPECT_EQ(Reports(), "Modify Quick ");
    Click(196 + 56 + 14, 78 + 8);
    EXPECT_EQ(pane->RetColor(), 2);
    EXPECT_EQ(Reports(), ""); // nothing selected
    Tool(2);
    Gesture(0, 0, 0.3, 0);
    EXPECT_EQ(Reports(), "Modify Quick ");
    const double e = 0.3 * (std::sqrt(2.0) * 4 - 1) / 9;
    std::vector<double> circle = Header(2, 2, 0.1, 0, 0.3);
    const double curves[4][6] = {{e, 0.3, 0.3, e, 0.3, 0},
                                 {0.3, -e, e, -0.3, 0, -0.3},
                                 {-e, -0.3, -0.3, -e, -0.3, 0},
                                 {-0.3, e, -e, 0.3, 0, 0.3}};
    for (const auto& c : curves)
        circle.insert(circle.end(),
                      {21, c[0], c[1], c[0], c[1], c[2], c[3], c[2], c[3], c[4], c[5], c[4], c[5]});
    ExpectRecords(def, Join({Header(1, 0, 0.1, -0.5, 0.4), Point(0.5, 0.4), circle}));
    EXPECT_NEAR(e, 0.1552, 1e-4);

    // A press and release on one grid point leaves the brush as it was.
    const std::vector<double> before = Records(def);
    for (int t : {0, 1, 2}) {
        Tool(t);
        Gesture(0.2, 0.2, 0.21, 0.19);
        EXPECT_EQ(Records(def), before) << t;
    }
    EXPECT_EQ(Reports(), "");
}

TEST_F(PatternPaneTest, TheOverlayShowsGuidesGridAndTheSelectedShapesHandles)
{
    Open(11);
    Load(Join({Header(2, 0, 0.1, -0.3, -0.3), Point(0.3, -0.3), Point(0.3, 0.3), Point(-0.3, 0.3),
               Point(-0.3, -0.3)}));
    // Grey axes off the grid's dots, the cell square, black dots.
    EXPECT_TRUE(ShowsNear(0.65, 0.0, 0xBFBFBF));
    EXPECT_TRUE(ShowsNear(0.0, -0.65, 0xBFBFBF));
    EXPECT_TRUE(ShowsNear(0.5, 0.45, 0xBFBFBF));
    EXPECT_TRUE(ShowsNear(-0.45, 0.5, 0xBFBFBF));
    EXPECT_TRUE(Near(SamplePixel(-0.55, 0.65), 0xFFFFFF));
    EXPECT_TRUE(ShowsNear(-0.6, 0.6, 0x000000));
    // The filled square in colour A (black, the new palette's).
    EXPECT_TRUE(Near(SamplePixel(0.15, 0.15), 0x000000));
    EXPECT_FALSE(ShowsHandle("lumbra_HandleNormGR", 0.3, 0.3));
    EXPECT_EQ(Reports(), "");
    // Selected: a handle centred on each of its points.
    Tap(0.15, 0.15);
    EXPECT_EQ(pane->RetCurrentShape(), 0);
    EXPECT_EQ(Reports(), "");
    for (const DPoint& p : {DPoint{-0.3, -0.3}, DPoint{0.3, -0.3}, DPoint{0.3, 0.3}})
        EXPECT_TRUE(ShowsHandle("lumbra_HandleNormGR", p.x, p.y)) << p.x << p.y;
    // Control points show the other icon.
    Load(Join({Header(1, 0, 0.1, 0.0, 0.0),
               {21, 0.1, 0.2, 0.1, 0.2, 0.3, 0.2, 0.3, 0.2, 0.4, 0, 0.4, 0}}));
    Tap(0.2, 0.15);
    ASSERT_EQ(pane->RetCurrentShape(), 0);
    EXPECT_TRUE(ShowsHandle("lumbra_HandleNormMR", 0.1, 0.2));
    EXPECT_TRUE(ShowsHandle("lumbra_HandleNormGR", 0.4, 0.0));
    // The grid off: no dot left.
    pane->OnClickGrid(ZuObjectRef(), 0);
    EXPECT_FALSE(ShowsNear(-0.6, 0.6, 0x000000));
}

TEST_F(PatternPaneTest, TheSelectionToolMovesHandlesAndShapesAndReportsAtTheRelease)
{
    Open(11);
    Load(Join({Header(2, 0, 0.1, -0.3, -0.3), Point(0.3, -0.3), Point(0.3, 0.3), Point(-0.3, 0.3),
               Point(-0.3, -0.3), Header(2, 1, 0.1, 0.5, 0.5), Point(0.7, 0.5), Point(0.7, 0.7),
               Point(0.5, 0.5)}));
    Tap(0.0, 0.0); // selects the square
    EXPECT_EQ(pane->RetCurrentShape(), 0);
    EXPECT_EQ(Reports(), "");
    // A corner dragged: only that point moves (it is no start point).
    Gesture(0.3, 0.3, 0.4, 0.2);
    std::vector<double> square = Join({Header(2, 0, 0.1, -0.3, -0.3), Point(0.3, -0.3),
                                       Point(0.4, 0.2), Point(-0.3, 0.3), Point(-0.3, -0.3)});
    const std::vector<double> other =
        Join({Header(2, 1, 0.1, 0.5, 0.5), Point(0.7, 0.5), Point(0.7, 0.7), Point(0.5, 0.5)});
    ExpectRecords(def, Join({square, other}));
    EXPECT_EQ(Reports(), "Modify Quick ");
    EXPECT_EQ(pane->RetCurrentElement(), -1);
    // The start point carries the closing point that lay on it.
    Gesture(-0.3, -0.3, -0.4, -0.4);
    ExpectRecords(def, Join({Header(2, 0, 0.1, -0.4, -0.4), Point(0.3, -0.3), Point(0.4, 0.2),
                             Point(-0.3, 0.3), Point(-0.4, -0.4), other}));
    EXPECT_EQ(Reports(), "Modify Quick ");
    // Grabbed inside, off the handles: the whole shape moves.
    Gesture(0.0, 0.0, 0.1, -0.1);
    ExpectRecords(def, Join({Header(2, 0, 0.1, -0.3, -0.5), Point(0.4, -0.4), Point(0.5, 0.1),
                             Point(-0.2, 0.2), Point(-0.3, -0.5), other}));
    EXPECT_EQ(Reports(), "Modify Quick ");
    // Grabbed and let go where it was: nothing changed, nothing reported.
    Gesture(0.0, 0.0, 0.0, 0.0);
    EXPECT_EQ(Reports(), "");
    // Another shape picked by its body.
    Tap(0.65, 0.55);
    EXPECT_EQ(pane->RetCurrentShape(), 32);
    EXPECT_EQ(pane->RetColor(), 1);
    Tap(-0.6, 0.6); // nothing there
    EXPECT_EQ(pane->RetCurrentShape(), -1);
    EXPECT_EQ(Reports(), "");
}

TEST_F(PatternPaneTest, SegmentToolsReshapeTheBrushAndReportWhatTheyChanged)
{
    Open(11);
    const std::vector<double> line = Join({Header(1, 0, 0.1, 0.0, 0.0), Point(0.4, 0.0)});
    Load(line);
    // Toggle: a straight segment becomes a curve at its quarter points.
    Tool(4);
    Tap(0.2, 0.0);
    const std::vector<double> curve =
        Join({Header(1, 0, 0.1, 0.0, 0.0), {21, 0.1, 0, 0.1, 0, 0.3, 0, 0.3, 0, 0.4, 0, 0.4, 0}});
    ExpectRecords(def, curve);
    EXPECT_EQ(pane->RetTool(), 3);
    EXPECT_EQ(pane->RetCurrentShape(), 0);
    EXPECT_EQ(Reports(), "Modify Quick ");
    // Add a point at the middle of the curve: two curves meeting there.
    Tool(5);
    pane->PressAt(DPoint{0.2, 0.01});
    pane->ReleaseAt(DPoint{0.2, 0.01});
    ExpectRecords(def, Join({Header(1, 0, 0.1, 0.0, 0.0),
                             {21, 0.05, 0, 0.05, 0, 0.125, 0, 0.125, 0, 0.2, 0, 0.2, 0},
                             {21, 0.275, 0, 0.275, 0, 0.35, 0, 0.35, 0, 0.4, 0, 0.4, 0}}));
    EXPECT_EQ(Reports(), "Modify Quick ");
    // And back to a straight segment.
    Tool(4);
    Tap(0.3, 0.0);
    std::vector<double> got = Records(def);
    ASSERT_EQ(got.size(), 12u + 13 + 5);
    EXPECT_EQ(got[25], 20);
    EXPECT_NEAR(got[26], 0.4, 1e-9);
    EXPECT_EQ(Reports(), "Modify Quick ");
    // Add a point on a straight segment: the point itself, not snapped.
    Load(line);
    Tool(5);
    pane->PressAt(DPoint{0.23, 0.01});
    pane->ReleaseAt(DPoint{0.23, 0.01});
    ExpectRecords(def, Join({Header(1, 0, 0.1, 0.0, 0.0), Point(0.23, 0.01), Point(0.4, 0.0)}));
    EXPECT_EQ(Reports(), "Modify Quick ");
    // Remove a point: its whole element goes.
    Tool(6);
    Tap(0.23, 0.01);
    ExpectRecords(def, line);
    EXPECT_EQ(Reports(), "Modify Quick ");
    // A start point stays: removing it would leave segments without a shape.
    Tool(6);
    Tap(0.0, 0.0);
    ExpectRecords(def, line);
    EXPECT_EQ(Reports(), "");
    // Missing everything changes nothing, for each of the three.
    for (int t : {4, 5, 6}) {
        Tool(t);
        Tap(-0.7, 0.7);
        ExpectRecords(def, line);
    }
    EXPECT_EQ(Reports(), "");
}

TEST_F(PatternPaneTest, FrontAndBackMoveTheSelectedShapesRecords)
{
    Open(11);
    const std::vector<double> a =
        Join({Header(2, 0, 0.1, -0.3, -0.3), Point(0.0, -0.3), Point(0.0, 0.0), Point(-0.3, -0.3)});
    const std::vector<double> b = Join({Header(1, 1, 0.2, 0.1, 0.1), Point(0.4, 0.4)});
    const std::vector<double> c =
        Join({Header(2, 2, 0.1, 0.5, -0.5), Point(0.7, -0.5), Point(0.7, -0.3), Point(0.5, -0.5)});
    Load(Join({a, b, c}));
    // None selected: nothing, and no report.
    EXPECT_FALSE(pane->OnClickFront(ZuObjectRef(), 0));
    EXPECT_FALSE(pane->OnClickBack(ZuObjectRef(), 0));
    EXPECT_EQ(Records(def), Join({a, b, c}));
    EXPECT_EQ(Reports(), "");
    Tap(-0.2, -0.25); // a
    ASSERT_EQ(pane->RetCurrentShape(), 0);
    Click(341 + 11, 24 + 11); // front
    EXPECT_EQ(Records(def), Join({b, c, a}));
    EXPECT_EQ(Reports(), "Modify Quick ");
    EXPECT_EQ(pane->RetCurrentShape(), int(b.size() + c.size()));
    Click(341 + 11, 47 + 11); // back
    EXPECT_EQ(Records(def), Join({a, b, c}));
    EXPECT_EQ(Reports(), "Modify Quick ");
    EXPECT_EQ(pane->RetCurrentShape(), 0);
}

TEST_F(PatternPaneTest, WidthColourDeleteAndClearEditTheSelectedShape)
{
    Open(11);
    const std::vector<double> a =
        Join({Header(2, 0, 0.1, -0.3, -0.3), Point(0.0, -0.3), Point(0.0, 0.0), Point(-0.3, -0.3)});
    const std::vector<double> b = Join({Header(1, 1, 0.2, 0.1, 0.1), Point(0.4, 0.4)});
    Load(Join({a, b}));
    // No selection: only the width for new shapes, nothing reported.
    TypeInto(220, 122, "30");
    EXPECT_NEAR(pane->RetWidth(), 0.3, 1e-12);
    EXPECT_EQ(Records(def), Join({a, b}));
    EXPECT_EQ(Reports(), "");
    Tap(-0.2, -0.25);
    ASSERT_EQ(pane->RetCurrentShape(), 0);
    EXPECT_NEAR(pane->RetWidthEntry()->GetValue(), 10.0, 1e-9); // the shape's
    const struct {
        const char* typed;
        double width;
        const char* reports;
    } cases[] = {{"25", 0.25, "Modify Quick "}, {"250", 1.0, "Modify Quick "}, {"x", 1.0, ""}};
    for (const auto& c : cases) {
        TypeInto(220, 122, c.typed);
        double w = 0;
        def->GetShapeWidth(0, w, 0);
        EXPECT_NEAR(w, c.width, 1e-12) << c.typed;
        EXPECT_EQ(Reports(), c.reports) << c.typed;
    }
    Click(196 + 28 * 4 + 14, 78 + 8); // colour E
    int n = -1;
    def->GetShapeColor(0, n, 0);
    EXPECT_EQ(n, 4);
    EXPECT_EQ(Reports(), "Modify Quick ");
    // Delete in mode 0: the shape goes whole.
    Click(314 + 11, 47 + 11);
    EXPECT_EQ(Reports(), "Modify Quick ");
    std::vector<double> rest = Records(def);
    EXPECT_EQ(rest, b);
    EXPECT_EQ(pane->RetCurrentShape(), -1);
    EXPECT_FALSE(pane->OnClickDelete(ZuObjectRef(), 0));
    EXPECT_EQ(Reports(), "");
    Click(246 + 11, 169 + 11); // clear
    EXPECT_TRUE(Records(def).empty());
    EXPECT_EQ(Reports(), "Modify Quick ");
}

TEST_F(PatternPaneTest, EvolutionModesEditOneStateWithTheSelectionToolOnly)
{
    Open(11);
    Load(Join(
        {Header(2, 0, 0.1, -0.3, -0.3), Point(0.3, -0.3), Point(0.3, 0.3), Point(-0.3, -0.3)}));
    Tool(1);
    Click(297 + 8, 4 + 8); // mode "1"
    EXPECT_EQ(pane->RetMode(), 1);
    EXPECT_EQ(pane->RetTool(), 3);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(pane->RetToolButton(i)->RetParent().IsValid(), i == 3) << i;
    EXPECT_FALSE(pane->RetFrontButton()->RetParent().IsValid());
    EXPECT_FALSE(pane->RetBackButton()->RetParent().IsValid());
    EXPECT_EQ(Tip(pane->RetDeleteButton()), "Annuler l'\xE9volution");
    EXPECT_EQ(Tip(pane->RetClearButton()), "Supprimer l'\xE9volution");
    EXPECT_EQ(Reports(), "");
    // Mode 2: a moved corner moves in the final state only.
    Click(329 + 8, 4 + 8);
    EXPECT_EQ(pane->RetMode(), 2);
    Tap(0.2, -0.1);
    ASSERT_EQ(pane->RetCurrentShape(), 0);
    Gesture(0.3, 0.3, 0.5, 0.5);
    EXPECT_EQ(Reports(), "Modify Quick ");
    double p[2];
    int kind;
    def->GetHandle(17, 0, p, kind, 1);
    EXPECT_EQ(p[0], 0.3);
    def->GetHandle(17, 0, p, kind, 2);
    EXPECT_NEAR(p[0], 0.5, 1e-12);
    // Mode 1 shows the initial state in colour and the final one as grey
    // hairlines over it: the moved edge runs from (0.3, -0.3) to (0.5, 0.5).
    Click(297 + 8, 4 + 8);
    EXPECT_TRUE(Near(SamplePixel(0.1, 0.0), 0x000000));
    EXPECT_TRUE(ShowsNear(0.4125, 0.15, 0x808080));
    EXPECT_FALSE(ShowsNear(0.1, 0.0, 0x808080));
    // Its delete puts the selected shape's final state back to the initial.
    EXPECT_TRUE(pane->RetCurrentShape() == 0);
    Click(314 + 11, 47 + 11);
    EXPECT_EQ(Reports(), "Modify Quick ");
    def->GetHandle(17, 0, p, kind, 2);
    EXPECT_EQ(p[0], 0.3);
    // Its clear drops every evolution and keeps the shapes.
    Click(329 + 8, 4 + 8);
    Gesture(0.3, -0.3, 0.4, -0.4);
    EXPECT_EQ(Reports(), "Modify Quick ");
    std::vector<double> evolving = Records(def);
    Click(246 + 11, 169 + 11);
    EXPECT_EQ(Reports(), "Modify Quick ");
    for (std::size_t i = 0; i < evolving.size();) {
        CPatternDef::CopyInitialToFinal(&evolving[i]);
        i += CPatternDef::RecordLength(evolving[i]);
    }
    EXPECT_EQ(Records(def), evolving);
    EXPECT_NE(evolving.size(), 0u);
    // Back to mode 0: all buttons again, the tool stays the selection.
    Click(250 + 8, 4 + 8);
    for (int i = 0; i < 7; ++i)
        EXPECT_TRUE(pane->RetToolButton(i)->RetParent().IsValid()) << i;
    EXPECT_TRUE(pane->RetFrontButton()->RetParent().IsValid());
    EXPECT_EQ(Tip(pane->RetDeleteButton()), "Supprimer");
    EXPECT_EQ(Tip(pane->RetClearButton()), "Efface tout");
    EXPECT_EQ(pane->RetTool(), 3);
    EXPECT_EQ(Reports(), "");
}

TEST_F(PatternPaneTest, BrushesWithOddRecordsAreDrawnHitAndEditedWithinTheirRecords)
{
    Open(21);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    // Segments before any header, an unknown opcode, a colour number far
    // beyond the palette, not-a-number points and flags.
    Load(Join({Point(0.1, 0.1),
               {21, 0, 0, 0, 0, 0, 0, 0, 0, 0.2, 0.2, 0.2, 0.2},
               {7},
               Header(3, 0, 0.05, -0.3, -0.3),
               Point(nan, 0.2),
               Point(0.3, 0.3),
               {99.5},
               {10, nan, 1e9, -1e9, nan, 1e300, 0, 0, 0.5, 0.5, 0.5, 0.5},
               Point(0.6, 0.5),
               Point(0.5, 0.6)}));
    const std::vector<double> before = Records(def);
    EXPECT_TRUE(Near(SamplePixel(-0.55, 0.65), 0xFFFFFF));
    // Nothing before the first header answers a hit.
    int s, e, h;
    EXPECT_FALSE(pane->HitHandle(DPoint{0.1, 0.1}, s, e, h));
    EXPECT_TRUE(pane->HitHandle(DPoint{0.3, 0.3}, s, e, h));
    EXPECT_EQ(s, 19);
    for (int t = 0; t < 7; ++t) {
        pane->OnClickRadioTool(pane->RetToolButton(t), 0);
        for (const DPoint& p : {DPoint{0.1, 0.1}, DPoint{0.2, 0.2}, DPoint{nan, 0.0},
                                DPoint{0.55, 0.55}, DPoint{1e300, -1e300}}) {
            pane->PressAt(p);
            pane->DragTo(DPoint{p.x + 0.2, p.y});
            pane->ReleaseAt(DPoint{p.x + 0.2, p.y});
        }
    }
    // The records still tile the brush up to its end record.
    int length = 0;
    def->GetLength(length);
    int at = 0;
    double r[CPatternDef::MAX_RECORD];
    while (at < length) {
        def->GetElement(at, r);
        at += CPatternDef::RecordLength(r[0]);
    }
    EXPECT_EQ(at, length);
    EXPECT_NE(Records(def), before);
    Reports();
}

TEST_F(PatternPaneTest, ABrushChangedElsewhereDropsASelectionThatNamesNoShapeAnyMore)
{
    Open(11);
    Load(Join({Header(1, 0, 0.1, -0.5, -0.5), Point(-0.3, -0.5), Header(1, 1, 0.1, 0.3, 0.3),
               Point(0.5, 0.5)}));
    Tap(0.5, 0.5);
    ASSERT_EQ(pane->RetCurrentShape(), 17);
    // The list pane loads "Carr\xE9" into the same brush: index 17 is a point now.
    def->LoadPrefab(1);
    const std::vector<double> square = Records(def);
    EXPECT_FALSE(pane->OnClickDelete(ZuObjectRef(), 0));
    EXPECT_FALSE(pane->OnClickFront(ZuObjectRef(), 0));
    pane->OnClickRadioColor(pane->RetColorButton(3), 0);
    EXPECT_EQ(Records(def), square);
    EXPECT_EQ(pane->RetCurrentShape(), -1);
    EXPECT_EQ(Reports(), "");
}

TEST_F(PatternPaneTest, ThePointerOverTheSampleShowsTheToolsSprite)
{
    Open(11);
    const DPoint v = View(0.2, 0.2);
    const struct {
        int tool, sprite;
    } cases[] = {{3, 1}, {0, 0}, {2, 0}, {4, 13}, {5, 14}, {6, 15}};
    for (const auto& c : cases) {
        pane->OnClickRadioTool(pane->RetToolButton(c.tool), 0);
        PaneMouse(300, 150, 0); // off the sample: it forgets its sprite
        PaneMouse(v.x, v.y, 0);
        PaneMouse(v.x + 1, v.y, 0);
        EXPECT_EQ(pane->RetSample()->RetCursorSprite(), c.sprite) << c.tool;
    }
    PaneMouse(300, 150, 0);
    EXPECT_EQ(pane->RetSample()->RetCursorSprite(), -1);
    EXPECT_EQ(Reports(), "");
}
