// Keys after a menu command, in the program's main window as a user meets
// them: objects picked on the page with the pointer, a row of a menu of
// the bar chosen with the pointer, then Delete and control-Z pressed with
// no click on the page; the page's pixels show what the keys did.
#include <gtest/gtest.h>

#include "app/toolpalette.h"
#include "tests/app/pageshelltest.h"

#include <cmath>
#include <vector>

namespace {

class MenuKeysTest : public PageShellTest {
protected:
    void SetUp() override
    {
        PageShellTest::SetUp();
        if (HasFatalFailure())
            return;
        // The selection tool, chosen on the palette.
        CToolPaletteRef palette(app->RetToolPalette());
        ASSERT_TRUE(palette.IsValid());
        ASSERT_TRUE(ClickPaletteEntry(palette, 1));
        ASSERT_TRUE(ClickPaletteEntry(palette, 6));
        ASSERT_EQ(view->RetPaletteTool(2), 6);
    }
    // The pointer at a point of a window with the MK_ buttons held.
    void PointerAt(const ZuWindowRef& w, double x, double y, unsigned buttons)
    {
        double ox = 0, oy = 0;
        w->GetWindowOrigin(ox, oy);
        W32_HeadlessMouse(int(ox + x), int(oy + y), buttons);
        Pump();
    }
    // A row of a menu of the bar chosen in one gesture: pressed on the
    // bar's item, dragged down into the menu that opens, released on the
    // row.
    void DragToMenuRow(unsigned menu, unsigned row)
    {
        const ZuMenuRef& bar = Main()->RetMenuBar();
        double x = 0, y = 0;
        ASSERT_TRUE(MenuRowCentre(bar, menu, x, y));
        PointerAt(Main()->RetWindow(), x, y, 0);
        PointerAt(Main()->RetWindow(), x, y, MK_LBUTTON);
        const ZuMenuRef submenu = bar->RetOpenSubmenu();
        ASSERT_TRUE(submenu.IsValid());
        ASSERT_TRUE(MenuRowCentre(submenu, row, x, y));
        PointerAt(submenu->RetMenuWindow(), x, y, MK_LBUTTON);
        PointerAt(submenu->RetMenuWindow(), x, y, 0);
        LetDelayedCommandsRun();
    }
    DPoint ViewPoint(const DPoint& page)
    {
        DPoint p = page;
        view->PageToView(p);
        return DPoint{std::round(p.x), std::round(p.y)};
    }
    void ClickPage(const DPoint& page)
    {
        const DPoint p = ViewPoint(page);
        Click(Main()->RetWindow(), p.x, p.y);
    }
    // How many pixels of the page, across a page point, the screen window
    // shows other than white: the outline of an object standing on that
    // point, or nothing.
    int InkAcross(const DPoint& page)
    {
        view->Redraw(true);
        Pump();
        const DPoint p = ViewPoint(page);
        int ink = 0;
        for (int x = int(p.x) - 8; x <= int(p.x) + 8; ++x)
            if (WindowPixel(Main()->RetWindow(), x, int(p.y)) != 0xFFFFFFu)
                ++ink;
        return ink;
    }
    std::vector<CTreeNode*> Order()
    {
        std::vector<CTreeNode*> out;
        for (CTreeNodeRef c = Layer()->RetFirstChild(); c.IsValid(); c = c->RetNext())
            out.push_back(c.Resolve());
        return out;
    }
};

} // namespace

// A row of "Objets" or "Edition" chosen with the pointer leaves the keys
// with the page, where they went before the menu opened: Delete deletes
// the selected object and control-Z brings back what was deleted, on the
// screen too.
TEST_F(MenuKeysTest, KeysReachThePageAfterAMenuCommand)
{
    struct Step {
        std::vector<UINT> keys;
        // The objects of the layer after the keys, and whether the picked
        // one shows on the page.
        size_t count;
        bool picked_shown;
    };
    struct Case {
        const char* what;
        unsigned menu, row;
        // Whether both objects are deleted before the menu, the picked one
        // first, so that "Annuler" has something to bring back.
        bool delete_both;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {"Objets > Avant plan",
         2,
         0,
         false,
         {{{VK_DELETE}, 1, false}, {{VK_CONTROL, 'Z'}, 2, true}}},
        {"Edition > Annuler", 1, 0, true, {{{VK_CONTROL, 'Z'}, 2, true}}},
    };
    for (const Case& c : cases)
        for (bool drag : {false, true}) {
            SCOPED_TRACE(c.what);
            SCOPED_TRACE(drag ? "pressed on the bar, released on the row" : "two clicks");
            view->NewDocument();
            Pump();
            // Two overlapping rectangles, the back one picked with the pointer
            // on its left edge.
            const CTreeNodeRef picked = Rect(-40, -30, 0, 10), other = Rect(-20, -10, 20, 30);
            const DPoint edge{-40, -20};
            ClickPage(edge);
            ASSERT_EQ(sel->GetSelectedCount(), 1);
            ASSERT_GT(InkAcross(edge), 0);
            if (c.delete_both) {
                view->RunCommand("DeleteSelected");
                sel->SelectOnly(other);
                view->RunCommand("DeleteSelected");
                Pump();
                ASSERT_EQ(Order().size(), 0u);
            }
            if (drag)
                DragToMenuRow(c.menu, c.row);
            else
                ChooseMenuRow(c.menu, c.row);
            if (c.delete_both) {
                // "Annuler" brought the other one back.
                EXPECT_EQ(Order(), std::vector<CTreeNode*>{other.Resolve()});
            } else {
                // "Avant plan" put the picked one in front, still picked.
                EXPECT_EQ(Order(), (std::vector<CTreeNode*>{other.Resolve(), picked.Resolve()}));
                EXPECT_EQ(sel->GetSelectedCount(), 1);
            }
            for (const Step& step : c.steps) {
                SCOPED_TRACE(step.keys.front() == VK_DELETE ? "Delete" : "control-Z");
                for (UINT key : step.keys)
                    W32_HeadlessKey(key, 0, false, true);
                for (auto k = step.keys.rbegin(); k != step.keys.rend(); ++k)
                    W32_HeadlessKey(*k, 0, false, false);
                LetDelayedCommandsRun();
                EXPECT_EQ(Order().size(), step.count);
                EXPECT_EQ(InkAcross(edge) > 0, step.picked_shown);
            }
        }
}
