// The grid tab and the ruler origin pane as the user meets them: typed
// steps and origins (linked or not, held to their bounds), the switches
// and the check mark of "SwapGrid", the grid dots on the page, a step of 0
// that the page view lives with, and stored values the panes only show.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "app/commands.h"
#include "app/graobject.h"
#include "app/grarect.h"
#include "app/ruler.h"
#include "app/rulersetup.h"
#include "app/treenode.h"
#include "si/classfactory.h"
#include "tests/app/setuptest.h"

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

class GridSetupTest : public SetupTest {
protected:
    void SetUp() override
    {
        SetupTest::SetUp();
        Open();
        ClickTab(1);
        ASSERT_EQ(dlg->RetCardStack()->RetActiveView(), 1u);
    }
    double StepX() const { return Settings()->values[4]; }
    double StepY() const { return Settings()->values[5]; }
    // The check mark of "SwapGrid": its menu row's icon and its tool-bar
    // button, which must agree.
    bool GridChecked()
    {
        ZuAtomRef icon;
        EXPECT_TRUE(FindCommandFactory("SwapGrid")->GetIcon(icon));
        const bool menu = std::string(static_cast<const char*>(icon)) == "lumbra_Icon132";
        ZuViewRef button;
        EXPECT_TRUE(Main()->RetWindow()->FindUserName(ZuAtomRef("ToolbarSwapGrid"), button));
        EXPECT_EQ(menu, On(button));
        return menu;
    }
    // Whether a dot of the grid's colour (red here) lies at a page point.
    bool DotNear(double x, double y) { return PageColourNear(x, y, 0xFF0000, 1); }
    CRulerRef Ruler() const { return CRulerRef(ZuObjectRef(Main()->RetRulerH())); }
    CTreeNodeRef Rect(double x1, double y1, double x2, double y2)
    {
        CGraRectRef r = ZuNew<CGraRect>(Zuvi_app_zone);
        const DPoint corners[2] = {{x1, y1}, {x2, y2}};
        r->SetPoints(corners, 2);
        CTreeNodeRef layer;
        View()->RetSelectObject()->GetEditParent(layer);
        CTreeNodeRef n = ZuNew<CTreeNode>(Zuvi_app_zone);
        n->SetObject(r);
        n->InsertLastChild(layer);
        CGraPortRef port = View()->RetMainPort();
        r->UpdateBoundingBox(port);
        return n;
    }
};

} // namespace

TEST_F(GridSetupTest, LinkedStepsMoveTogetherAndTheLinkCopiesOnlyTheHorizontalStep)
{
    EXPECT_TRUE(Grid()->IsLinked());
    EXPECT_TRUE(On(Grid()->RetLinkSwitch()));
    struct Case {
        const char* what;
        int entry; // 0 step x, 1 step y, 2 link switch click
        const char* typed;
        double x, y;
        bool linked;
    } cases[] = {
        {"x linked", 0, "5", 5.0, 5.0, true},
        {"y linked", 1, "7.5", 7.5, 7.5, true},
        {"above the bound", 0, "500", 100.0, 100.0, true},
        {"below the bound", 1, "-5", 0.0, 0.0, true},
        {"x again", 0, "12", 12.0, 12.0, true},
        {"link off changes nothing", 2, "", 12.0, 12.0, false},
        {"x alone", 0, "3", 3.0, 12.0, false},
        {"y alone", 1, "8", 3.0, 8.0, false},
        {"link on: y takes x", 2, "", 3.0, 3.0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.entry == 2)
            ClickView(Grid()->RetLinkSwitch(), 6);
        else
            TypeInto(c.entry == 0 ? Grid()->RetStepX() : Grid()->RetStepY(), c.typed);
        EXPECT_NEAR(StepX(), c.x, 1e-9);
        EXPECT_NEAR(StepY(), c.y, 1e-9);
        EXPECT_NEAR(Grid()->RetStepX()->GetValue(), c.x, 1e-9);
        EXPECT_NEAR(Grid()->RetStepY()->GetValue(), c.y, 1e-9);
        EXPECT_EQ(Grid()->IsLinked(), c.linked);
    }
    // Origins are the view's own, held to -100 .. 100 mm.
    TypeInto(Grid()->RetOriginX(), "-500");
    TypeInto(Grid()->RetOriginY(), "42");
    EXPECT_EQ(Settings()->origin_x, -100.0);
    EXPECT_NEAR(Settings()->origin_y, 42.0, 1e-9);
}

TEST_F(GridSetupTest, ChangesRedrawTheGridAndMoveTheSwapGridMarkAtOnce)
{
    Doc()->GetColor(15)->SetRGB(1.0, 0.0, 0.0); // "Grille magnétique"
    Settings()->switches[CView::SHOW_GUIDES] = false;
    EXPECT_FALSE(GridChecked());
    EXPECT_FALSE(DotNear(0.0, 0.0));
    // Each change redraws without rendering again.
    View()->SetRenderNeeded(true);
    ClickView(Grid()->RetShowSwitch(), 6);
    EXPECT_TRUE(Settings()->switches[CView::SHOW_GRID]);
    EXPECT_FALSE(Settings()->switches[CView::GRID_MAGNETISM]);
    EXPECT_TRUE(GridChecked());
    EXPECT_TRUE(DotNear(0.0, 0.0));
    EXPECT_TRUE(DotNear(10.0, -20.0));
    EXPECT_FALSE(DotNear(5.0, 0.0));

    // Typed steps and origins move the dots.
    View()->SetRenderNeeded(true);
    TypeInto(Grid()->RetOriginX(), "5");
    EXPECT_FALSE(View()->IsRenderNeeded());
    EXPECT_TRUE(DotNear(5.0, 0.0));
    EXPECT_FALSE(DotNear(0.0, 0.0));
    TypeInto(Grid()->RetStepX(), "20");
    EXPECT_TRUE(DotNear(25.0, 20.0));
    EXPECT_FALSE(DotNear(15.0, 0.0));

    // The magnetism switch is stored; the mark follows only the display.
    ClickView(Grid()->RetActiveSwitch(), 6);
    EXPECT_TRUE(Settings()->switches[CView::GRID_MAGNETISM]);
    EXPECT_TRUE(GridChecked());
    ClickView(Grid()->RetShowSwitch(), 6);
    EXPECT_FALSE(GridChecked());
    EXPECT_FALSE(DotNear(5.0, 0.0));
    EXPECT_TRUE(Settings()->switches[CView::GRID_MAGNETISM]);
}

TEST_F(GridSetupTest, TheSwitchesTakeTheirStateOnlyFromUpdate)
{
    Settings()->switches[CView::SHOW_GRID] = true;
    Settings()->switches[CView::GRID_MAGNETISM] = true;
    EXPECT_FALSE(On(Grid()->RetShowSwitch()));
    dlg->Update(0, 0);
    EXPECT_TRUE(On(Grid()->RetShowSwitch()));
    EXPECT_TRUE(On(Grid()->RetActiveSwitch()));
    // The command "SwapGrid" turns the tab to the front and shows its
    // change.
    ClickTab(0);
    EXPECT_TRUE(Send(ZuObjectRef(View()), "SwapGrid"));
    EXPECT_EQ(dlg->RetCardStack()->RetActiveView(), 1u);
    EXPECT_FALSE(On(Grid()->RetShowSwitch()));
    EXPECT_FALSE(On(Grid()->RetActiveSwitch()));
    EXPECT_FALSE(GridChecked());
}

TEST_F(GridSetupTest, AStepOfZeroLeavesThePageDrawingSnappingAndAligning)
{
    Settings()->switches[CView::SHOW_GUIDES] = false;
    ClickView(Grid()->RetShowSwitch(), 6);
    ClickView(Grid()->RetActiveSwitch(), 6);
    ClickView(Grid()->RetLinkSwitch(), 6); // unlinked
    TypeInto(Grid()->RetStepX(), "0");
    EXPECT_EQ(StepX(), 0.0);
    EXPECT_EQ(StepY(), 10.0);
    // Drawn (no dots), snapped (the point kept), aligned (x kept, y on the
    // grid), and nothing stops.
    Doc()->GetColor(15)->SetRGB(1.0, 0.0, 0.0);
    View()->Redraw(true);
    EXPECT_FALSE(DotNear(0.0, 0.0));
    const DPoint p = View()->Magnetize(DPoint{3.3, 4.4});
    EXPECT_EQ(p.x, 3.3);
    EXPECT_EQ(p.y, 4.4);
    CTreeNodeRef a = Rect(1.3, 2.2, 6.3, 7.2), b = Rect(21.7, 13.9, 31.7, 23.9);
    CSelectObjectRef sel = View()->RetSelectObject();
    sel->EndSelection();
    sel->AddToSelection(a);
    sel->AddToSelection(b);
    EXPECT_TRUE(View()->ModifySelection(0x200));
    CTreeNodeRef layer;
    sel->GetEditParent(layer);
    std::vector<DRect> boxes;
    for (CTreeNodeRef n = layer->RetFirstChild(); n.IsValid(); n = n->RetNext())
        boxes.push_back(CGraObjectRef(n->RetObject())->GetHandlesBox());
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_NEAR(boxes[0].x1, 1.3, 1e-9);
    EXPECT_NEAR(boxes[1].x1, 21.7, 1e-9);
    EXPECT_NEAR(boxes[0].y1, 0.0, 1e-9);
    EXPECT_NEAR(boxes[1].y1, 10.0, 1e-9);
    // Both steps 0: the same.
    TypeInto(Grid()->RetStepY(), "0");
    Pump();
    EXPECT_EQ(View()->Magnetize(DPoint{3.3, 4.4}).y, 4.4);
    EXPECT_TRUE(View()->ModifySelection(0x200));
}

TEST_F(GridSetupTest, StoredValuesOutOfRangeAreShownClampedAndNotWrittenBack)
{
    struct Case {
        double step_x, step_y, origin_x, origin_y;
        double shown[4];
    } cases[] = {
        {kNaN, 1e9, -1e9, kNaN, {0.0, 100.0, -100.0, -100.0}},
        {-3.0, std::numeric_limits<double>::infinity(), 250.0, -0.5, {0.0, 100.0, 100.0, -0.5}},
    };
    for (const Case& c : cases) {
        const CViewRef v = Settings();
        v->values[4] = c.step_x;
        v->values[5] = c.step_y;
        v->origin_x = c.origin_x;
        v->origin_y = c.origin_y;
        v->switches[CView::SHOW_GRID] = true;
        dlg->Update(0, 0);
        Pump(); // the page drawn with them
        const CTextLineArrowRef entries[4] = {Grid()->RetStepX(), Grid()->RetStepY(),
                                              Grid()->RetOriginX(), Grid()->RetOriginY()};
        for (int i = 0; i < 4; ++i)
            EXPECT_NEAR(entries[i]->GetValue(), c.shown[i], 1e-9) << i;
        const double stored[4] = {c.step_x, c.step_y, c.origin_x, c.origin_y};
        const double now[4] = {v->values[4], v->values[5], v->origin_x, v->origin_y};
        for (int i = 0; i < 4; ++i) {
            if (std::isnan(stored[i]))
                EXPECT_TRUE(std::isnan(now[i])) << i;
            else
                EXPECT_EQ(now[i], stored[i]) << i;
        }
    }
    // A pane without view settings keeps its controls as they are.
    CGridSetupRef bare = ZuNew<CGridSetup>(Zuvi_app_zone);
    bare->Build();
    bare->Update(0, 0);
    EXPECT_EQ(bare->RetStepX()->RetText()->CharacterCount(), 0u);
    EXPECT_TRUE(Send(ZuObjectRef(bare), "OnSwitchShow"));
    bare->Delete();
}

TEST_F(GridSetupTest, TheRulerPaneIsMadeByNameAndEditsTheSharedOrigin)
{
    CRulerSetupRef pane(
        ZuObjectRef(ZuClassFactory::New("CRulerSetup", Zuvi_app_zone, __LINE__, "gridtest")));
    ASSERT_TRUE(pane.IsValid());
    ASSERT_TRUE(pane->Build());
    // A window of its own, beside the settings window.
    ZuWindowRef w = ZuNew<ZuWindow>(Zuvi_app_zone);
    w->InitGeom(700, 100, 260, 170);
    pane->SetParent(w);
    w->ShowNormal();
    Pump();
    pane->SetPageView(View());
    Settings()->origin_x = 4.0;
    Settings()->origin_y = -6.0;
    pane->Update(7, 3);
    EXPECT_NEAR(pane->RetOriginX()->GetValue(), 4.0, 1e-9);
    EXPECT_NEAR(pane->RetOriginY()->GetValue(), -6.0, 1e-9);
    EXPECT_FALSE(pane->IsLinked());
    EXPECT_FALSE(On(pane->RetLinkSwitch()));

    const double before = Ruler()->RetOrigin();
    struct Case {
        const char* what;
        int entry; // 0 x, 1 y, 2 link click
        const char* typed;
        double x, y;
    } cases[] = {
        {"x alone", 0, "12", 12.0, -6.0},
        {"beyond the bound", 1, "-250", 12.0, -100.0},
        {"link on: y takes x", 2, "", 12.0, 12.0},
        {"y linked", 1, "30", 30.0, 30.0},
        {"link off changes nothing", 2, "", 30.0, 30.0},
        {"x alone again", 0, "1", 1.0, 30.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        View()->SetRenderNeeded(true);
        if (c.entry == 2) {
            const ZuRect& b = pane->RetLinkSwitch()->RetBox();
            Click(w, b.X1() + 6, b.Y1() + b.DY() / 2);
        } else {
            TypeInto(c.entry == 0 ? pane->RetOriginX() : pane->RetOriginY(), c.typed);
        }
        EXPECT_NEAR(Settings()->origin_x, c.x, 1e-9);
        EXPECT_NEAR(Settings()->origin_y, c.y, 1e-9);
        EXPECT_NEAR(pane->RetOriginY()->GetValue(), c.y, 1e-9);
        // Typed values redraw without rendering: Redraw clears the flag.
        if (c.entry != 2) {
            EXPECT_FALSE(View()->IsRenderNeeded());
        }
    }
    // The rulers count from the new origin.
    EXPECT_NE(Ruler()->RetOrigin(), before);
    // The grid tab shows the same values at its next refresh.
    dlg->Update(0, 0);
    EXPECT_NEAR(Grid()->RetOriginX()->GetValue(), 1.0, 1e-9);
    pane->SetParent(ZuViewRef());
    pane->Delete();
    w->Delete();
}
