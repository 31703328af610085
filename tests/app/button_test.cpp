// The program's buttons: their place and style, the "Zuvi_Button" frame of
// their state around what they show, and the colour swatch of the colour
// button, read back from the window's pixels.
#include <gtest/gtest.h>

#include "app/button.h"
#include "app/buttoncolor.h"
#include "si/adorner.h"
#include "si/memzone.h"
#include "tests/app/panecontrols.h"
#include "tests/support/views.h"

namespace {

class ButtonsTest : public PaneControlTest {
protected:
    // The pixel of the "Zuvi_Button" frame of a state drawn alone over a
    // box of the given size.
    unsigned FramePixel(double dx, double dy, int x, int y, ZuCtrlState state)
    {
        ZuGrailPixmapRef pixmap = NewPixmap(32, dx, dy);
        pixmap->BeginDraw(0, 0, dx - 1, dy - 1);
        pixmap->RetAdorner()->DrawFrame(ZuAtomRef("Zuvi_Button"), ZuRect(0, 0, dx - 1, dy - 1),
                                        state, 0);
        pixmap->EndDraw();
        const unsigned p = Pixel(pixmap, x, y) & 0xFFFFFF;
        pixmap->Delete();
        return p;
    }
};

const unsigned kGreen = 0x00FF00;

TEST_F(ButtonsTest, SetPlacePlacesAndGivesTheProgramsStyle)
{
    CButtonRef b = ZuNew<CButton>(Zuvi_app_zone);
    CButtonColorRef c = ZuNew<CButtonColor>(Zuvi_app_zone);
    b->SetParent(w);
    c->SetParent(w);
    EXPECT_TRUE(b->SetPlace(10, 20, 30, 24));
    EXPECT_TRUE(c->SetPlace(50, 20, 24, 24));
    struct Case {
        ZuButtonRef button;
        double x;
        bool adorner;
    };
    for (const Case& k : {Case{b, 10, false}, Case{c, 50, true}}) {
        double x = 0, y = 0, dx = 0, dy = 0;
        k.button->GetOrigin(x, y);
        k.button->GetSize(dx, dy);
        EXPECT_EQ(x, k.x);
        EXPECT_EQ(y, 20);
        EXPECT_EQ(dy, 24);
        const ZuCtrlStyle& s = k.button->RetStyle();
        EXPECT_FALSE(s.TestBit(ZU_CTRL_HILITE_WHEN_ON));
        EXPECT_TRUE(s.TestBit(ZU_CTRL_EFFECT_WHEN_ON));
        EXPECT_FALSE(s.TestBit(ZU_CTRL_DRAW_RELIEF));
        EXPECT_EQ(s.TestBit(ZU_CTRL_DRAW_ADORNER), k.adorner);
    }
}

TEST_F(ButtonsTest, ButtonShowsItsContentsInsideTheFrameOfItsState)
{
    CButtonRef b = ZuNew<CButton>(Zuvi_app_zone);
    b->SetParent(w);
    b->SetPlace(0, 0, 40, 24);
    b->SetContents(TProbeView::Make("in", 0, 0, 39, 23, kGreen));
    reports->Watch(b, {"notify_clicked"});
    // The contents stay visible; the frame's edges lie over them.
    EXPECT_EQ(WindowPixel(20, 12), kGreen);
    for (const auto& p : {std::make_pair(0, 0), std::make_pair(39, 23), std::make_pair(20, 0),
                          std::make_pair(0, 12), std::make_pair(39, 12)})
        EXPECT_TRUE(Near(WindowPixel(p.first, p.second),
                         FramePixel(40, 24, p.first, p.second, ZU_CTRL_STATE_NORMAL)))
            << p.first << "," << p.second;
    // Held down, the frame of the clicked state; the click reaches the button.
    Mouse(20, 12, 0);
    Mouse(20, 12, MK_LBUTTON);
    const unsigned held = WindowPixel(0, 0);
    EXPECT_FALSE(Near(held, FramePixel(40, 24, 0, 0, ZU_CTRL_STATE_NORMAL)));
    EXPECT_TRUE(Near(held, FramePixel(40, 24, 0, 0, b->RetInteractiveState())));
    Mouse(20, 12, 0);
    EXPECT_EQ(reports->log, "notify_clicked(1) ");
}

TEST_F(ButtonsTest, ColourButtonFillsItsSwatchInsideTheFrame)
{
    CButtonColorRef c = ZuNew<CButtonColor>(Zuvi_app_zone);
    c->SetParent(w);
    c->SetPlace(10, 10, 24, 24);
    // A new button shows mid-grey from (4, 4) to (19, 19) of its box.
    const unsigned grey = 0x808080;
    const unsigned swatch = WindowPixel(14, 14);
    EXPECT_TRUE(Near(swatch, grey));
    EXPECT_EQ(WindowPixel(29, 29), swatch);
    EXPECT_NE(WindowPixel(13, 14), swatch);
    EXPECT_NE(WindowPixel(30, 29), swatch);
    EXPECT_TRUE(Near(WindowPixel(10, 10), FramePixel(24, 24, 0, 0, ZU_CTRL_STATE_NORMAL)));
    // SetBackColor changes the next drawing only, and reports nothing.
    reports->Watch(c, {"notify_clicked"});
    const ZuCtrlState before = c->RetInteractiveState();
    EXPECT_TRUE(c->SetBackColor(ZuColorPixel(0.0, 1.0, 0.0, 0.0)));
    EXPECT_EQ(WindowPixel(20, 20), swatch);
    c->Display(true);
    EXPECT_EQ(WindowPixel(20, 20), kGreen);
    EXPECT_EQ(c->RetInteractiveState(), before);
    EXPECT_EQ(reports->log, "");
}

TEST_F(ButtonsTest, ButtonsTooSmallDrawNoSwatchAndEmptyOnesNothing)
{
    // Width or height up to twice the inset: no swatch (it would turn
    // inside out); one pixel more gives a one-pixel swatch.
    struct Case {
        double dx, dy;
        bool swatch;
    };
    const Case cases[] = {{8, 24, false}, {24, 8, false}, {9, 9, true}, {0, 24, false}};
    double x = 0;
    for (const Case& k : cases) {
        CButtonColorRef c = ZuNew<CButtonColor>(Zuvi_app_zone);
        c->SetParent(w);
        c->SetPlace(x, 40, k.dx, k.dy);
        c->SetBackColor(ZuColorPixel(0.0, 1.0, 0.0, 0.0));
        c->Display(true);
        bool seen = false;
        for (int px = 0; px < int(k.dx); ++px)
            for (int py = 0; py < int(k.dy); ++py)
                seen = seen || WindowPixel(int(x) + px, 40 + py) == kGreen;
        EXPECT_EQ(seen, k.swatch) << k.dx << "x" << k.dy;
        x += 30;
    }
    // A zero-sized program button still draws, without a frame or a fault.
    CButtonRef b = ZuNew<CButton>(Zuvi_app_zone);
    b->SetParent(w);
    b->SetPlace(150, 40, 0, 0);
    b->Display(true);
    EXPECT_EQ(WindowPixel(150, 40), WindowPixel(150, 100));
}

} // namespace
