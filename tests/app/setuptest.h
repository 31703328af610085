// A fixture for the settings window as the user meets it in the running
// shell: the window opened by the page view's command, clicks on its tabs,
// rows and controls, typing into its entries, and the page view's pixels.
#ifndef TESTS_APP_SETUPTEST_H
#define TESTS_APP_SETUPTEST_H

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "app/colorsetup.h"
#include "app/duplsetup.h"
#include "app/formatsetup.h"
#include "app/gridsetup.h"
#include "app/guidesetup.h"
#include "app/pageview.h"
#include "app/setupdlg.h"
#include "app/unitsetup.h"
#include "si/cardtab.h"
#include "tests/app/shelltest.h"

class SetupTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        dlg = app->RetSetupDlg();
        ASSERT_TRUE(dlg.IsValid());
    }
    void TearDown() override
    {
        dlg = CSetupDlgRef();
        ShellTest::TearDown();
    }
    CPageViewRef View() const { return CPageViewRef(Main()->RetPageView()); }
    CDocumentRef Doc() const { return View()->RetDocument(); }
    CViewRef Settings() const { return View()->RetView(); }
    bool Send(const ZuObjectRef& target, const char* command)
    {
        return target->Action(ZuAtomRef(command), ZuObjectRef(), 0);
    }
    // Opens the window as the view menu does.
    void Open()
    {
        ASSERT_TRUE(Send(ZuObjectRef(View()), "ChangeSetup"));
        Pump();
        ASSERT_TRUE(Shown());
    }
    bool Shown() const { return dlg->RetWindow()->IsVisible(); }
    // A click in a view of the settings window: at its middle, or at an
    // offset from its top left corner.
    void ClickView(const ZuViewRef& v, double dx = -1, double dy = -1)
    {
        const ZuRect& b = v->RetBox();
        Click(dlg->RetWindow(), b.X1() + (dx < 0 ? b.DX() / 2 : dx),
              b.Y1() + (dy < 0 ? b.DY() / 2 : dy));
    }
    void ClickTab(int i)
    {
        ZuCardStackRef stack = dlg->RetCardStack();
        stack->UpdateTabGeometry();
        const ZuCardTabRef tab = stack->RetTabs()[unsigned(i)];
        ClickView(ZuViewRef(ZuObjectRef(tab)));
    }
    void ClickRow(const CScrollListRef& list, int row) { ClickView(list, 20, 4 + 16 * row + 8); }
    // A press at one point of a view, a drag to another and the release,
    // as the mouse does (points from the view's top left corner).
    void Drag(const ZuViewRef& v, double x1, double y1, double x2, double y2)
    {
        const ZuRect& b = v->RetBox();
        double ox = 0, oy = 0;
        dlg->RetWindow()->GetWindowOrigin(ox, oy);
        const int ax = int(ox + b.X1() + x1), ay = int(oy + b.Y1() + y1);
        const int bx = int(ox + b.X1() + x2), by = int(oy + b.Y1() + y2);
        W32_HeadlessMouse(ax, ay, 0);
        Pump();
        W32_HeadlessMouse(ax, ay, MK_LBUTTON);
        Pump();
        W32_HeadlessMouse((ax + bx) / 2, (ay + by) / 2, MK_LBUTTON);
        Pump();
        W32_HeadlessMouse(bx, by, MK_LBUTTON);
        Pump();
        W32_HeadlessMouse(bx, by, 0);
        Pump();
    }
    // What typing does once the text is in the entry.
    static void TypeInto(const CTextLineArrowRef& entry, const char* text)
    {
        entry->SetText(ZuStringRef(text));
        entry->NotifyTextChange(true);
    }
    static bool On(const ZuViewRef& v) { return v->RetState().TestBit(ZU_VIEW_IS_ON); }
    static bool Enabled(const ZuViewRef& v) { return v->RetState().TestBit(ZU_VIEW_IS_ENABLED); }
    CFormatSetupRef Format() const { return CFormatSetupRef(dlg->RetPane(0)); }
    CGridSetupRef Grid() const { return CGridSetupRef(dlg->RetPane(1)); }
    CGuideSetupRef Guides() const { return CGuideSetupRef(dlg->RetPane(2)); }
    CDuplSetupRef Dupl() const { return CDuplSetupRef(dlg->RetPane(3)); }
    CUnitSetupRef Unit() const { return CUnitSetupRef(dlg->RetPane(4)); }
    CColorSetupRef Colors() const { return CColorSetupRef(dlg->RetPane(5)); }
    // Whether the main window shows the colour within `reach` pixels of a
    // page point (millimetres from the page's centre), once brought up to
    // date; each component may differ by `slack`.
    bool PageColourNear(double x, double y, std::uint32_t colour, int reach, int slack = 0)
    {
        Pump();
        DPoint p{x, y};
        View()->PageToView(p);
        // The window's pixels count its frame too.
        ZuRect frame;
        Main()->RetWindow()->GetFrameGeometry(frame);
        const int px = int(std::lround(p.x - frame.X1()));
        const int py = int(std::lround(p.y - frame.Y1()));
        for (int dx = -reach; dx <= reach; ++dx)
            for (int dy = -reach; dy <= reach; ++dy)
                if (SameColour(WindowPixel(Main()->RetWindow(), px + dx, py + dy), colour, slack))
                    return true;
        return false;
    }

    static bool SameColour(std::uint32_t a, std::uint32_t b, int slack)
    {
        for (int shift : {0, 8, 16}) {
            const int d = int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF);
            if (d > slack || d < -slack)
                return false;
        }
        return true;
    }

    CSetupDlgRef dlg;
};

#endif
