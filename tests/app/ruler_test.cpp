// The rulers: their graduation and labels drawn into a port that records
// what it is asked, their scales from the page view, and guides added,
// moved and removed with the mouse in the program's main window.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "app/pageview.h"
#include "app/ruler.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "tests/app/panecontrols.h"
#include "tests/app/shelltest.h"

// A port that keeps the ticks and texts it is asked to draw.
ZU_HANDLE(TRulerPort, ZuGrailPort)
class TRulerPort : public ZuGrailPort {
    ZU_CLASS(TRulerPort, ZuGrailPort)
public:
    TRulerPort() {}
    struct Line {
        double x, y, length;
        bool down;
    };
    struct Text {
        double x, y;
        std::string text;
        double angle;
    };
    void DrawLineDX(double x, double y, double dx) override { lines.push_back({x, y, dx, false}); }
    void DrawLineDY(double x, double y, double dy) override { lines.push_back({x, y, dy, true}); }
    void ShowText(double x, double y, const ZuStringRef& text, unsigned, unsigned,
                  const ZuTextStyle& style, double) override
    {
        texts.push_back({x, y, text->AccessLatin(), style.RetAngle()});
    }
    void FillRect(double, double, double, double) override {}
    void DrawRect(double, double, double, double) override {}
    // The line along the ruler's axis at a place, or null.
    const Line* At(double place) const
    {
        for (const Line& l : lines)
            if ((l.down ? l.x : l.y) == place)
                return &l;
        return nullptr;
    }
    const Text* Label(const std::string& s) const
    {
        for (const Text& t : texts)
            if (t.text == s)
                return &t;
        return nullptr;
    }
    std::vector<Line> lines;
    std::vector<Text> texts;
};
ZU_CLASS_END(TRulerPort)
ZU_IMPLEMENT_CLASS(TRulerPort, "tests/app/ruler_test", ZU_CLASS_PLAIN)

namespace {

class RulerDrawTest : public PaneControlTest {
protected:
    // A ruler of that box drawn once into a new recording port.
    TRulerPortRef Draw(const CRulerRef& ruler, const ZuRect& r)
    {
        ruler->SetBox(r);
        TRulerPortRef port = ZuNew<TRulerPort>(Zuvi_app_zone);
        ruler->DrawFront(ZuGrailPortRef(port), r);
        return port;
    }
    CRulerRef NewRuler() { return ZuNew<CRuler>(Zuvi_app_zone); }
};

TEST_F(RulerDrawTest, TheStepFollowsTheScale)
{
    const struct {
        double scale;
        int step;
    } cases[] = {{0.0002, 100000}, {0.00021, 50000}, {0.05, 500}, {2.0, 10},
                 {2.0001, 5},      {3.7, 5},         {5.0, 5},    {5.01, 1}};
    for (const auto& c : cases)
        EXPECT_EQ(CRuler::StepForScale(c.scale), c.step) << c.scale;
}

TEST_F(RulerDrawTest, HorizontalGraduationAtScale37)
{
    CRulerRef ruler = NewRuler();
    ruler->SetScale(3.7);
    TRulerPortRef port = Draw(ruler, ZuRect(0, 0, 399, 16));
    EXPECT_TRUE(ruler->IsHorizontal());
    EXPECT_FALSE(ruler->IsVertical());
    // Every 5 sub-units, 18.5 pixels apart: 0 major and doubled, 25 half,
    // 50 major, 5 a small tick; labels at the multiples of 25.
    ASSERT_NE(port->At(0), nullptr);
    EXPECT_EQ(port->At(0)->y, 2);
    EXPECT_EQ(port->At(0)->length, 17 - 4);
    ASSERT_NE(port->At(-1), nullptr);
    ASSERT_NE(port->At(92.5), nullptr);
    EXPECT_EQ(port->At(92.5)->y, 7);
    EXPECT_EQ(port->At(92.5)->length, 17 - 9);
    ASSERT_NE(port->At(185), nullptr);
    EXPECT_EQ(port->At(185)->y, 2);
    ASSERT_NE(port->At(18.5), nullptr);
    EXPECT_EQ(port->At(18.5)->y, 12);
    EXPECT_EQ(port->At(18.5)->length, 17 - 14);
    EXPECT_EQ(port->At(184), nullptr);
    ASSERT_NE(port->Label("25"), nullptr);
    EXPECT_EQ(port->Label("25")->x, 92.5 + 2);
    EXPECT_EQ(port->Label("25")->y, 2);
    EXPECT_NE(port->Label("50"), nullptr);
    EXPECT_EQ(port->Label("5"), nullptr);
    EXPECT_EQ(port->Label("10"), nullptr);
    // The last tick lies inside the ruler.
    EXPECT_LT(port->lines.back().x, 400);
}

TEST_F(RulerDrawTest, VerticalLabelsAreNegatedAndTheFirstTickMayLieBefore)
{
    // Values -60 .. : 50 is labelled -50, -50 is labelled 50, both major.
    CRulerRef ruler = NewRuler();
    ruler->SetScale(3.7);
    ruler->SetStart(-60);
    TRulerPortRef port = Draw(ruler, ZuRect(0, 0, 16, 499));
    EXPECT_TRUE(ruler->IsVertical());
    const double at50 = 22 * 18.5; // v = 50
    const double atm50 = 2 * 18.5; // v = -50
    const double at0 = 12 * 18.5;
    ASSERT_NE(port->At(at50), nullptr);
    EXPECT_EQ(port->At(at50)->x, 2);
    EXPECT_EQ(port->At(at50)->length, 17 - 4);
    ASSERT_NE(port->At(atm50), nullptr);
    EXPECT_EQ(port->At(atm50)->x, 2);
    // The zero doubled below itself.
    ASSERT_NE(port->At(at0 + 1), nullptr);
    ASSERT_NE(port->Label("-50"), nullptr);
    EXPECT_EQ(port->Label("-50")->y, at50 - 2);
    EXPECT_EQ(port->Label("-50")->x, 2);
    EXPECT_EQ(port->Label("-50")->angle, 90.0);
    ASSERT_NE(port->Label("50"), nullptr);
    EXPECT_EQ(port->Label("50")->y, atm50 - 2);

    // start - origin 13, step 5: the first tick is 10, before pixel 0; with
    // -13 it is -10, after it.
    for (const double d : {13.0, -13.0}) {
        CRulerRef r = NewRuler();
        r->SetScale(3.7);
        r->SetStart(d);
        TRulerPortRef p = Draw(r, ZuRect(0, 0, 399, 16));
        ASSERT_FALSE(p->lines.empty());
        EXPECT_EQ(p->lines.front().x, std::trunc((d > 0 ? -3 : 3) * 3.7 + 0.5)) << d;
        r->Delete();
    }
    // A square ruler is vertical.
    CRulerRef square = NewRuler();
    Draw(square, ZuRect(0, 0, 19, 19));
    EXPECT_TRUE(square->IsVertical());
    EXPECT_FALSE(square->IsHorizontal());
    square->Delete();
    ruler->Delete();
}

TEST_F(RulerDrawTest, LabelsLoseTheirTrailingZeros)
{
    const struct {
        double value;
        const char* text;
    } cases[] = {{10.0, "10"}, {0.5, "0.5"}, {-2.5, "-2.5"}, {0.0, "0"}, {1234.125, "1234.125"}};
    char out[64];
    for (const auto& c : cases) {
        CRuler::FormatLabel(out, sizeof out, c.value, false);
        EXPECT_STREQ(out, c.text);
    }
    // A unit without decimals keeps the zeros of a whole number.
    CDocumentRef doc = ZuNew<CDocument>(Zuvi_app_zone);
    doc->Reset();
    int code = -1;
    for (int i = 1; i < UNIT_CODES && code < 0; i++)
        if (GetUnitName(i) != nullptr && GetUnitName(i)[0] != '\0' && GetUnitDecimals(i) == 0)
            code = i;
    ASSERT_GE(code, 0);
    doc->SetUnit(0, code);
    SetCurrentDocument(doc, CViewRef());
    CRuler::FormatLabel(out, sizeof out, UnitToMm(100.0, code), true);
    EXPECT_STREQ(out, "100");
    SetCurrentDocument(CDocumentRef(), CViewRef());
    doc->Delete();
}

// ---------------------------------------------------------------------------
// In the main window
// ---------------------------------------------------------------------------

class RulerShellTest : public ShellTest {
protected:
    void TearDown() override
    {
        // The page view leaves its document as the program's current one.
        SetCurrentDocument(CDocumentRef(), CViewRef());
        ShellTest::TearDown();
    }
    CPageViewRef View() const { return CPageViewRef(Main()->RetPageView()); }
    CRulerRef H() const { return CRulerRef(Main()->RetRulerH()); }
    CRulerRef V() const { return CRulerRef(Main()->RetRulerV()); }
    CDocumentRef Doc() const { return View()->RetDocument(); }
    // Mouse at a window point with the buttons given.
    void Mouse(double x, double y, unsigned buttons)
    {
        double ox = 0, oy = 0;
        Main()->RetWindow()->GetWindowOrigin(ox, oy);
        W32_HeadlessMouse(int(ox + x), int(oy + y), buttons);
        Pump();
    }
    // The window x of a vertical guide's stored position.
    double GuideX(double stored)
    {
        DPoint p{stored - Doc()->GetPageWidth() / 2.0, 0.0};
        View()->PageToView(p);
        return p.x;
    }
};

TEST_F(RulerShellTest, ScalesFollowTheUnit)
{
    // Centimetres, inches, millimetres, points, metres.
    const struct {
        int code;
        double u, factor;
    } cases[] = {{24, 1.0, 0.1},
                 {30, 2.54, 0.1},
                 {23, 1.0, 1.0},
                 {50, 0.352777535127, 1.0},
                 {26, 1.0, 0.001}};
    for (const auto& c : cases) {
        const int code = c.code;
        const char* unit = GetUnitName(code);
        Doc()->SetUnit(0, code);
        View()->UpdateRulerScales();
        EXPECT_NEAR(H()->RetLabelFactor(), c.factor, 1e-12) << unit;
        EXPECT_NEAR(H()->RetScale(), View()->RetZoom() * c.u, 1e-9) << unit;
        EXPECT_NEAR(V()->RetScale(), View()->RetZoom() * c.u, 1e-9) << unit;
        EXPECT_EQ(H()->RetLabelInterval(), 5);
        EXPECT_EQ(V()->RetMajorInterval(), 10);
    }
}

TEST_F(RulerShellTest, GuidesAreAddedMovedAndRemovedWithTheMouse)
{
    CRulerRef h = H();
    ASSERT_TRUE(h.IsValid());
    const ZuRect r = h->RetBox();
    const double y = r.Y1() + 8;
    CViewRef settings = View()->RetView();
    settings->switches[CView::GRID_MAGNETISM] = false;
    // A press on a free place adds a guide there and drags it.
    const double x = GuideX(105.0);
    Mouse(x, y, 0);
    Mouse(x, y, MK_LBUTTON);
    ASSERT_EQ(Doc()->GetGuideCount(false), 1);
    EXPECT_NEAR(Doc()->GetGuide(false, 0), 105.0, 1.0 / View()->RetZoom());
    EXPECT_EQ(h->RetDraggedGuide(), 0);
    // Released on the page it moves there.
    const double x2 = GuideX(150.0);
    Mouse(x2, r.Y2() + 60, MK_LBUTTON);
    Mouse(x2, r.Y2() + 60, 0);
    ASSERT_EQ(Doc()->GetGuideCount(false), 1);
    EXPECT_NEAR(Doc()->GetGuide(false, 0), 150.0, 1.0 / View()->RetZoom());
    bool list = true;
    int current = -1;
    Doc()->GetCurrentGuide(list, current);
    EXPECT_FALSE(list);
    EXPECT_EQ(current, 0);

    // A press within 4 pixels takes it without adding one; released above
    // the ruler it is gone.
    const double g = GuideX(Doc()->GetGuide(false, 0));
    Mouse(g + 3, y, 0);
    Mouse(g + 3, y, MK_LBUTTON);
    EXPECT_EQ(Doc()->GetGuideCount(false), 1);
    EXPECT_EQ(h->RetDraggedGuide(), 0);
    Mouse(g + 3, r.Y1() - 5, MK_LBUTTON);
    Mouse(g + 3, r.Y1() - 5, 0);
    EXPECT_EQ(Doc()->GetGuideCount(false), 0);
    Doc()->GetCurrentGuide(list, current);
    EXPECT_EQ(current, -1);
}

// A guide's mark on either ruler stands centred on the guide's place, whole
// inside the ruler, and a press in its middle takes that guide along
// instead of adding another one.
TEST_F(RulerShellTest, APressOnAGuidesMarkMovesThatGuide)
{
    // The main window's frame at a known place, so that the screen
    // window's pixels can be told from the window's points.
    const int fx = 20, fy = 20;
    W32_HeadlessMoveBySystem(Hwnd(Main()->RetWindow()), RECT{fx, fy, fx + 900, fy + 700});
    Pump();
    double ox = 0, oy = 0;
    Main()->RetWindow()->GetWindowOrigin(ox, oy);
    auto red = [&](int x, int y) {
        const std::uint32_t p =
            WindowPixel(Main()->RetWindow(), int(ox) + x - fx, int(oy) + y - fy);
        const unsigned r = p >> 16 & 0xFF, g = p >> 8 & 0xFF, b = p & 0xFF;
        return r >= 0xC0 && r <= 0xF0 && g >= 0x10 && g <= 0x48 && b >= 0x10 && b <= 0x48;
    };
    View()->RetView()->switches[CView::GRID_MAGNETISM] = false;
    for (const bool vertical : {false, true}) {
        SCOPED_TRACE(vertical ? "vertical ruler" : "horizontal ruler");
        const CRulerRef ruler = vertical ? V() : H();
        ASSERT_TRUE(ruler.IsValid());
        Doc()->AddGuide(vertical, 105.0);
        ruler->Display(true);
        Pump();
        // The guide's place along the ruler, in the window.
        DPoint q = vertical ? DPoint{0.0, 105.0 - Doc()->GetPageHeight() / 2.0}
                            : DPoint{105.0 - Doc()->GetPageWidth() / 2.0, 0.0};
        View()->PageToView(q);
        const double place = vertical ? q.y : q.x;
        // The mark's red, looked for across the whole ruler.
        const ZuRect r = ruler->RetBox();
        int a1 = 10000, a2 = -1, c1 = 10000, c2 = -1; // along and across
        const int across1 = int(vertical ? r.X1() : r.Y1()),
                  across2 = int(vertical ? r.X2() : r.Y2());
        for (int c = across1 - 8; c <= across2 + 8; c++)
            for (int a = int(place) - 12; a <= int(place) + 12; a++)
                if (vertical ? red(c, a) : red(a, c)) {
                    a1 = std::min(a1, a), a2 = std::max(a2, a);
                    c1 = std::min(c1, c), c2 = std::max(c2, c);
                }
        ASSERT_GE(a2, 0) << "no mark near " << place;
        const double middle = (a1 + a2) / 2.0;
        EXPECT_LE(std::fabs(middle - place), 1.0) << a1 << ".." << a2 << " for " << place;
        EXPECT_EQ(a2 - a1, c2 - c1) << "clipped across: " << c1 << ".." << c2;
        EXPECT_GE(c1, across1);
        EXPECT_LE(c2, across2);

        // Pressed in the middle of the mark and dragged 40 pixels along.
        const double across = (c1 + c2) / 2.0, from = std::floor(middle);
        auto mouse = [&](double along, unsigned buttons) {
            if (vertical)
                Mouse(across, along, buttons);
            else
                Mouse(along, across, buttons);
        };
        mouse(from, 0);
        mouse(from, MK_LBUTTON);
        mouse(from + 20, MK_LBUTTON);
        mouse(from + 40, MK_LBUTTON);
        mouse(from + 40, 0);
        ASSERT_EQ(Doc()->GetGuideCount(vertical), 1) << "a guide was added";
        // Page heights grow upwards.
        const double moved = (from + 40 - place) / View()->RetZoom();
        EXPECT_NEAR(Doc()->GetGuide(vertical, 0), vertical ? 105.0 - moved : 105.0 + moved,
                    1.0 / View()->RetZoom());
    }
}

TEST_F(RulerShellTest, AGuideGoesOnTheGridUnlessShiftIsHeld)
{
    CViewRef settings = View()->RetView();
    settings->switches[CView::GRID_MAGNETISM] = true;
    settings->switches[CView::GUIDE_MAGNETISM] = true;
    settings->values[4] = settings->values[5] = 10.0;
    settings->values[0] = settings->values[1] = 0.0;
    settings->origin_x = settings->origin_y = 0.0;
    // Another guide 1 mm from the pointer does not catch it.
    Doc()->AddGuide(false, 105.0 + 33.0);
    const ZuRect r = H()->RetBox();
    const double y = r.Y1() + 8;
    const double x = GuideX(105.0 + 32.0);
    Mouse(x, y, 0);
    Mouse(x, y, MK_LBUTTON);
    Mouse(x, y, 0);
    ASSERT_EQ(Doc()->GetGuideCount(false), 2);
    EXPECT_DOUBLE_EQ(Doc()->GetGuide(false, 0), 105.0 + 30.0);
    // With Shift, the exact pointer position.
    const double x3 = GuideX(105.0 - 17.0);
    W32_HeadlessKey(VK_SHIFT, 0x2A, false, true);
    Mouse(x3, y, 0);
    Mouse(x3, y, MK_LBUTTON);
    Mouse(x3, y, 0);
    W32_HeadlessKey(VK_SHIFT, 0x2A, false, false);
    Pump();
    ASSERT_EQ(Doc()->GetGuideCount(false), 3);
    const double first = Doc()->GetGuide(false, 0);
    EXPECT_NE(std::fmod(first, 10.0), 0.0);
    EXPECT_NEAR(first, 105.0 - 17.0, 1.0 / View()->RetZoom());
}

TEST_F(RulerShellTest, AFullListAddsNothingAndLeavesNoCurrentGuide)
{
    for (int i = 0; i < CRuler::kMaxGuides; i++)
        Doc()->AddGuide(true, 300.0 + i);
    CRulerRef v = V();
    const ZuRect r = v->RetBox();
    // A free place of the vertical ruler, away from the guides.
    DPoint p{0.0, -100.0};
    View()->PageToView(p);
    Mouse(r.X1() + 8, p.y, 0);
    Mouse(r.X1() + 8, p.y, MK_LBUTTON);
    Mouse(r.X1() + 8, p.y, 0);
    EXPECT_EQ(Doc()->GetGuideCount(true), CRuler::kMaxGuides);
    bool list = false;
    int current = 0;
    Doc()->GetCurrentGuide(list, current);
    EXPECT_EQ(current, -1);
    EXPECT_EQ(v->RetDraggedGuide(), -1);
}

} // namespace

namespace {

TEST_F(RulerShellTest, TheMainWindowShowsItsRulersAndToolBar)
{
    ASSERT_TRUE(H().IsValid());
    ASSERT_TRUE(V().IsValid());
    EXPECT_TRUE(H()->RetDocument() == Doc());
    // The graduation zero stands at the page's corner, two pixels thick.
    Pump();
    DPoint corner{-Doc()->GetPageWidth() / 2.0, Doc()->GetPageHeight() / 2.0};
    View()->PageToView(corner);
    const ZuRect r = H()->RetBox();
    const int x = int(std::lround(corner.x));
    // The screen window's pixels start at its frame, a few pixels left of
    // and above the window's points: the pair is looked for near them.
    const ZuWindowRef& win = Main()->RetWindow();
    auto black = [&](int px, int py) { return WindowPixel(win, px, py) == 0; };
    bool found = false;
    for (int dy = 0; dy <= 30 && !found; dy++) {
        const int y = int(r.Y1()) + 6 + dy;
        for (int dx = 0; dx <= 8 && !found; dx++)
            found = black(x + dx - 1, y) && black(x + dx, y) && !black(x + dx + 1, y) &&
                    !black(x + dx - 2, y) && black(x + dx, y + 4);
    }
    EXPECT_TRUE(found);
    // The tool bar's buttons are there by their commands' names.
    ZuViewRef button;
    EXPECT_TRUE(Main()->RetWindow()->FindUserName(ZuAtomRef("ToolbarFileNew"), button));
    EXPECT_TRUE(Main()->RetWindow()->FindUserName(ZuAtomRef("ToolbarGlassPrev"), button));
}

} // namespace
