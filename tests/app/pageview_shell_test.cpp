// The page view in the program's main window: made and set up by the
// window, driven by the window's zoom arrows and scroller, and showing the
// rendered page on the screen.
#include <gtest/gtest.h>

#include "app/pageview.h"
#include "si/rtclass.h"
#include "tests/app/shelltest.h"

#include <cmath>
#include <string>
#include <utility>

namespace {

class PageViewShellTest : public ShellTest {
protected:
    CPageViewRef View() const { return CPageViewRef(Main()->RetPageView()); }
    static std::string Text(const ZuTextLineRef& line)
    {
        return line->RetText().IsValid() ? line->RetText()->AccessLatin() : "";
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
