// The page view in the program's main window: made and set up by the
// window, driven by the window's zoom arrows and scroller, and showing the
// rendered page on the screen.
#include <gtest/gtest.h>

#include "app/pageview.h"
#include "si/rtclass.h"
#include "tests/app/shelltest.h"

#include <cmath>
#include <string>

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
