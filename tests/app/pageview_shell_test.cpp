// The page view in the program's main window: made and set up by the
// window, driven by the window's zoom arrows and scroller, and showing the
// rendered page on the screen.
#include <gtest/gtest.h>

#include "app/button.h"
#include "app/pageview.h"
#include "si/rtclass.h"
#include "tests/app/shelltest.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

class PageViewShellTest : public ShellTest {
protected:
    CPageViewRef View() const { return CPageViewRef(Main()->RetPageView()); }
    static std::string Text(const ZuTextLineRef& line)
    {
        return line->RetText().IsValid() ? line->RetText()->AccessLatin() : "";
    }
    // What the screen shows of a control of the main window.
    std::vector<std::uint32_t> Shown(const ZuViewRef& v)
    {
        ZuRect frame;
        Main()->RetWindow()->GetFrameGeometry(frame);
        const ZuRect& b = v->RetBox();
        std::vector<std::uint32_t> out;
        for (int y = int(b.Y1()); y < int(b.Y2()); ++y)
            for (int x = int(b.X1()); x < int(b.X2()); ++x)
                out.push_back(
                    WindowPixel(Main()->RetWindow(), x - int(frame.X1()), y - int(frame.Y1())));
        return out;
    }
    // A press at one window point and the release at another (the same
    // for a click), the shift key held when asked.
    void Gesture(int x1, int y1, int x2, int y2, bool shift = false)
    {
        double ox = 0, oy = 0;
        Main()->RetWindow()->GetWindowOrigin(ox, oy);
        if (shift)
            W32_HeadlessKey(VK_SHIFT, 0x2A, false, true);
        for (const auto& [x, y, buttons] :
             {std::tuple{x1, y1, 0u}, std::tuple{x1, y1, unsigned(MK_LBUTTON)},
              std::tuple{(x1 + x2) / 2, (y1 + y2) / 2, unsigned(MK_LBUTTON)},
              std::tuple{x2, y2, unsigned(MK_LBUTTON)}, std::tuple{x2, y2, 0u}}) {
            W32_HeadlessMouse(int(ox) + x, int(oy) + y, buttons);
            Pump();
        }
        if (shift) {
            W32_HeadlessKey(VK_SHIFT, 0x2A, false, false);
            Pump();
        }
    }
};

} // namespace

TEST_F(PageViewShellTest, TheMainWindowShowsTheDocumentThroughItsPageView)
{
    CPageViewRef view = View();
    ASSERT_TRUE(view.IsValid());
    EXPECT_TRUE(view->RetWindow() == Main()->RetWindow());
    EXPECT_TRUE(view->RetDocument() == app->RetDocument());
    EXPECT_TRUE(view->HasDocument());
    ZuObjectRef field;
    ASSERT_TRUE(app->GetField(ZuAtomRef("Document"), field));
    EXPECT_TRUE(field == ZuObjectRef(view));
    ASSERT_TRUE(view->RetContext().IsValid());
    EXPECT_EQ(Text(Main()->RetZoomLine()), "100");

    // The page's left frame on the screen: dark, white beside it inside
    // (the screen window's pixels start at its own frame, a few pixels
    // left of and above the view's window points).
    DPoint frame{-105.0, 0.0};
    view->PageToView(frame);
    const int x = int(std::lround(frame.x)), y = int(frame.y);
    int found = -1;
    for (int i = x - 1; i <= x + 8 && found < 0; i++)
        if ((WindowPixel(Main()->RetWindow(), i, y) & 0xFFFFFF) == 0)
            found = i;
    ASSERT_GE(found, 0) << x << "," << y;
    EXPECT_EQ(WindowPixel(Main()->RetWindow(), found - 3, y), 0xFFFFFFu);
    EXPECT_EQ(WindowPixel(Main()->RetWindow(), found + 20, y), 0xFFFFFFu);

    // The zoom arrows and the zoom field.
    Main()->OnClickZoomPlus();
    Pump();
    EXPECT_DOUBLE_EQ(view->RetZoom(), 2 * CPageView::ZOOM_100);
    EXPECT_EQ(Text(Main()->RetZoomLine()), "200");
    Main()->OnClickZoomMinus();
    EXPECT_EQ(Text(Main()->RetZoomLine()), "100");

    // The horizontal scroller moves the view.
    ZuScrollerRef h = Main()->RetScrollerH();
    h->SetVisibleValue(0.25);
    h->Report(ZuScroller::notify_scrolled, 0);
    EXPECT_DOUBLE_EQ(view->RetScrollX(), 0.25);
}

// The page image and the feedback image follow the main window's size, down
// to a window too small for the view and back: after the window grows, a
// rectangle dragged out beyond where the smaller window ended shows its
// outline there, then stands rendered in its place.
TEST_F(PageViewShellTest, ThePageAndItsFeedbackFollowTheWindowsSize)
{
    CPageViewRef view = View();
    const ZuWindowRef& w = Main()->RetWindow();
    // The frame's place on the screen; the window's points start inside it.
    const int fx = 20, fy = 20;
    auto sizeTo = [&](int dx, int dy) {
        W32_HeadlessMoveBySystem(Hwnd(w), RECT{fx, fy, fx + dx, fy + dy});
        Pump();
    };
    for (const auto& size : {std::pair{600, 500}, std::pair{40, 40}, std::pair{900, 760}}) {
        SCOPED_TRACE(std::to_string(size.first) + " x " + std::to_string(size.second));
        sizeTo(size.first, size.second);
        const ZuRect& box = view->RetBox();
        if (box.DX() <= 0 || box.DY() <= 0)
            continue;
        uint32_t pw = 0, ph = 0, ow = 0, oh = 0;
        view->GetPixmapSize(pw, ph);
        view->RetInteractionContext()->GetSize(ow, oh);
        EXPECT_GE(pw, uint32_t(box.DX()));
        EXPECT_GE(ph, uint32_t(box.DY()));
        EXPECT_GE(ow, uint32_t(box.X2()) + 1);
        EXPECT_GE(oh, uint32_t(box.Y2()) + 1);
        // The scrollers' thumbs show how much of the page the new size shows.
        EXPECT_DOUBLE_EQ(Main()->RetScrollerH()->RetVisibleRatio(), view->RetVisibleRatioX());
        EXPECT_DOUBLE_EQ(Main()->RetScrollerV()->RetVisibleRatio(), view->RetVisibleRatioY());
    }
    double ox = 0, oy = 0;
    w->GetWindowOrigin(ox, oy);
    // What the screen shows at a window point.
    auto pixel = [&](int px, int py) {
        return WindowPixel(w, px + int(ox) - fx, py + int(oy) - fy);
    };
    auto inkNear = [&](int px, int py, bool horizontalEdge) {
        for (int d = -1; d <= 1; d++)
            if (pixel(horizontalEdge ? px : px + d, horizontalEdge ? py + d : py) == 0)
                return true;
        return false;
    };
    auto at = [&](int px, int py, unsigned buttons) {
        W32_HeadlessMouse(int(ox) + px, int(oy) + py, buttons);
        Pump();
    };
    // Beyond every width the window had before: the page's white.
    EXPECT_EQ(pixel(850, 300), 0xFFFFFFu);
    EXPECT_EQ(pixel(850, 600), 0xFFFFFFu);

    // A rectangle from a corner of that band back into the old area: its
    // right and lower edges lie in the band, away from the pointer.
    view->RetDocument()->SetToolChoice(0, 11);
    view->UpdateTool(0);
    at(800, 650, 0);
    at(800, 650, MK_LBUTTON);
    at(500, 400, MK_LBUTTON);
    EXPECT_TRUE(inkNear(800, 520, false));
    EXPECT_TRUE(inkNear(650, 650, true));
    EXPECT_FALSE(inkNear(820, 520, false));
    EXPECT_EQ(pixel(700, 600), 0xFFFFFFu);
    // The release makes the object, rendered with its outline and its fill.
    at(500, 400, 0);
    EXPECT_TRUE(inkNear(800, 520, false));
    EXPECT_TRUE(inkNear(650, 650, true));
    EXPECT_NE(pixel(700, 600), 0xFFFFFFu);
}

// The zoom field shows the zoom that a magnifier click, a second click, a
// click with the shift key and a frame give the page, drawn as the zoom
// arrows draw the same zoom.
TEST_F(PageViewShellTest, TheZoomFieldFollowsTheMagnifier)
{
    const CPageViewRef view = View();
    const ZuTextLineRef field = Main()->RetZoomLine();
    const std::vector<std::uint32_t> at100 = Shown(field);
    // The magnifier button of the bottom band switches the magnifier on
    // and off.
    const ZuRect glass = Main()->RetButton(154)->RetBox();
    auto pressGlass = [&] {
        Click(Main()->RetWindow(), glass.X1() + glass.DX() / 2, glass.Y1() + glass.DY() / 2);
    };
    pressGlass();
    ASSERT_TRUE(view->IsGlassMode());
    DPoint centre{0.0, 0.0};
    view->PageToView(centre);
    const int cx = int(std::lround(centre.x)), cy = int(std::lround(centre.y));
    struct Step {
        const char* what;
        bool shift;
        double zoom;
        const char* text;
    } const steps[] = {
        {"a click", false, 2.0, "200"},
        {"a second click", false, 4.0, "400"},
        {"a click with shift", true, 2.0, "200"},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        Gesture(cx, cy, cx, cy, s.shift);
        ASSERT_NEAR(view->RetZoom(), s.zoom * CPageView::ZOOM_100, 1e-9);
        EXPECT_EQ(Text(field), s.text);
    }
    // A frame of a third of the view's width about its middle: a zoom
    // that is no power of two.
    const int third = int(view->RetBox().DX() / 6);
    Gesture(cx - third, cy - third, cx + third, cy + third);
    const double percent = view->RetZoom() / CPageView::ZOOM_100 * 100.0;
    ASSERT_GT(percent, 300.0);
    ASSERT_LT(percent, 700.0);
    EXPECT_EQ(Text(field), std::to_string(int(percent)));

    // Drawn: the field at 400 % after two magnifier clicks shows what the
    // zoom arrows show at 400 %.
    view->Glass100();
    Pump();
    EXPECT_TRUE(Shown(field) == at100);
    Gesture(cx, cy, cx, cy);
    Gesture(cx, cy, cx, cy);
    EXPECT_EQ(Text(field), "400");
    const std::vector<std::uint32_t> byMagnifier = Shown(field);
    EXPECT_FALSE(byMagnifier == at100);
    pressGlass();
    ASSERT_FALSE(view->IsGlassMode());
    view->Glass100();
    Main()->OnClickZoomPlus();
    Main()->OnClickZoomPlus();
    Pump();
    ASSERT_EQ(Text(field), "400");
    EXPECT_TRUE(Shown(field) == byMagnifier);
}
