// Objects of several points drawn in the program's main window as a user
// draws them: the tool chosen on the tool palette, points given by clicks
// of the pointer, the object finished by the palette's check mark or by
// the menu, and the document read back.
#include <gtest/gtest.h>

#include "app/grapolyc.h"
#include "app/grapolyl.h"
#include "app/pageview.h"
#include "app/toolpalette.h"
#include "app/tree.h"
#include "app/treenode.h"
#include "si/time.h"
#include "si/viewlayout.h"
#include "si/viewpane.h"
#include "tests/app/shelltest.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// Tool codes of the palette's drawing page.
const int kBezier = 12;
const int kFreePolygon = 13;
// The palette's check mark while an object is being made.
const int kFinish = 70;

class DrawingGesturesTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        view = CPageViewRef(Main()->RetPageView());
        ASSERT_TRUE(view.IsValid());
        palette = CToolPaletteRef(app->RetToolPalette());
        ASSERT_TRUE(palette.IsValid());
    }
    void TearDown() override
    {
        palette = CToolPaletteRef();
        view = CPageViewRef();
        ShellTest::TearDown();
    }
    // A click on the palette's entry of that code; false when the palette
    // shows none.
    bool ClickPalette(int code) { return ClickPaletteEntry(palette, code); }
    // "Edition" > "Terminer".
    void ChooseEditionTerminer() { ChooseMenuRow(1, 12); }
    // The window point of a page point, in whole pixels.
    DPoint WindowPoint(const DPoint& page)
    {
        DPoint p = page;
        view->PageToView(p);
        return DPoint{std::round(p.x), std::round(p.y)};
    }
    // Where a click at that window point puts a point of a drawing.
    DPoint Placed(const DPoint& window)
    {
        DPoint p = window;
        view->ViewToPage(p);
        return view->Magnetize(p);
    }
    void ClickPage(const DPoint& page)
    {
        const DPoint w = WindowPoint(page);
        Click(Main()->RetWindow(), w.x, w.y);
    }
    void MoveTo(const DPoint& page)
    {
        const DPoint w = WindowPoint(page);
        double ox = 0, oy = 0;
        Main()->RetWindow()->GetWindowOrigin(ox, oy);
        W32_HeadlessMouse(int(ox + w.x), int(oy + w.y), 0);
        Pump();
    }
    std::vector<CGraObjectRef> Objects()
    {
        CTreeNodeRef layer;
        view->RetDocument()->GetTree()->GetNode(layer, view->RetView()->current_page,
                                                view->RetView()->current_layer);
        std::vector<CGraObjectRef> out;
        for (CTreeNodeRef c = layer->RetFirstChild(); c.IsValid(); c = c->RetNext())
            out.push_back(CGraObjectRef(c->RetObject()));
        return out;
    }
    // The points of a chain, three a vertex: a curve's control points
    // and its point, a polygon's corner ends and its point.
    static std::vector<DPoint> Handles(const CGraObjectRef& o)
    {
        std::vector<DPoint> out;
        for (int n = 0; n < o->GetHandleCount(); n++)
            out.push_back(o->GetHandlePosition(n));
        return out;
    }
    static std::string Describe(const std::vector<DPoint>& points)
    {
        std::string out;
        for (const DPoint& p : points) {
            char buf[64];
            std::snprintf(buf, sizeof buf, "(%.2f, %.2f) ", p.x, p.y);
            out += buf;
        }
        return out;
    }

    CPageViewRef view;
    CToolPaletteRef palette;
};

// The ways to finish an object being made.
struct Finisher {
    const char* name;
    bool menu; // "Edition" > "Terminer", else the palette's check mark
};
const Finisher kFinishers[] = {{"check mark", false}, {"Edition > Terminer", true}};

} // namespace

TEST_F(DrawingGesturesTest, PlainClicksDrawAFreePolygonOrABezierCurveOfThosePoints)
{
    const DPoint points[] = {{-40, -30}, {30, -30}, {30, 20}, {-40, 25}};
    for (int tool : {kFreePolygon, kBezier}) {
        for (const Finisher& f : kFinishers) {
            SCOPED_TRACE(std::string(tool == kBezier ? "Bezier, " : "polygon, ") + f.name);
            view->NewDocument();
            Pump();
            ASSERT_TRUE(ClickPalette(0));
            ASSERT_TRUE(ClickPalette(tool));
            ASSERT_EQ(view->RetPaletteTool(2), tool);
            std::vector<DPoint> want;
            // Clicks bend nothing: a curve's control points and a
            // polygon's corners stay on their points.
            for (const DPoint& p : points) {
                ClickPage(p);
                want.insert(want.end(), 3, Placed(WindowPoint(p)));
            }
            // The pointer wanders off before the object is finished.
            MoveTo(DPoint{0, 60});
            EXPECT_TRUE(Objects().empty());
            if (f.menu)
                ChooseEditionTerminer();
            else
                ASSERT_TRUE(ClickPalette(kFinish));
            const std::vector<CGraObjectRef> objects = Objects();
            EXPECT_EQ(objects.size(), 1u);
            if (objects.size() != 1u)
                continue;
            EXPECT_TRUE(objects[0]->IsKindOf(tool == kBezier ? CGraPolyCurveRef::RetRuntime()
                                                             : CGraPolyLineRef::RetRuntime()));
            const std::vector<DPoint> got = Handles(objects[0]);
            EXPECT_EQ(Describe(got), Describe(want));
            EXPECT_FALSE(view->RetSelectObject()->IsCreating());
        }
    }
}
