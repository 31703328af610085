// The menu separator: disabled and styleless from the start, its etched
// line drawn along the longer side of its box, and its stored margin.
#include <gtest/gtest.h>

#include <string>

#include "si/classfactory.h"
#include "si/colorpixel.h"
#include "si/memzone.h"
#include "si/menusep.h"
#include "si/values.h"
#include "si/window.h"
#include "tests/support/looks.h"
#include "tests/support/storagetest.h"
#include "tests/support/views.h"

namespace {

class MenuSepTest : public LookTest {
protected:
    // The pixel that a line of that look colour leaves on a pixmap.
    unsigned Ink(ZuLookColor color)
    {
        ZuGrailPixmapRef probe = NewPixmap(32, 4, 4);
        probe->SetForeColor(ZuColorPixel(color));
        probe->DrawLineToX(0, 1, 3);
        const unsigned ink = Pixel(probe, 1, 1);
        probe->Delete();
        return ink;
    }
    // The separator drawn into a window of the box's size, one character a
    // pixel: 'd' dark grey, 'w' white, '.' the rest.
    std::string Drawn(double dx, double dy, double margin)
    {
        ZuWindowRef w = NewTestWindow(dx, dy);
        ZuGrailPixmapRef pixmap = NewPixmap(32, dx, dy);
        w->SetGrailPort(pixmap);
        ZuMenuSepRef sep = ZuNew<ZuMenuSep>(Zuvi_app_zone);
        sep->SetMargin(margin);
        sep->SetBox(ZuRect(0, 0, dx - 1, dy - 1));
        sep->SetParent(w);
        w->Redraw(ZuRect(0, 0, dx - 1, dy - 1), false);
        const unsigned dark = Ink(ZU_COLOR_DGRAY), white = Ink(ZU_COLOR_WHITE);
        std::string out;
        for (int y = 0; y < dy; ++y) {
            for (int x = 0; x < dx; ++x) {
                const unsigned p = Pixel(pixmap, x, y);
                out += p == dark ? 'd' : p == white ? 'w' : '.';
            }
            out += '\n';
        }
        w->Delete();
        pixmap->Delete();
        return out;
    }
};

} // namespace

TEST_F(MenuSepTest, StartsDisabledWithoutStyle)
{
    ZuMenuSepRef sep = ZuNew<ZuMenuSep>(Zuvi_app_zone);
    EXPECT_FALSE(sep->RetState().TestBit(ZU_VIEW_IS_ENABLED));
    EXPECT_TRUE(sep->RetStyle() == ZuCtrlStyle());
    EXPECT_EQ(sep->RetMargin(), 2.0);
    sep->Delete();
}

// 10 x 8: the middle row ((7 + 0) - 1) / 2 = 3 dark, row 4 white, both from
// x 2 to x 7; a square box gets the vertical pair instead.
TEST_F(MenuSepTest, DrawsAnEtchedLineAlongTheLongerSide)
{
    EXPECT_EQ(Drawn(10, 8, 2), "..........\n"
                               "..........\n"
                               "..........\n"
                               "..dddddd..\n"
                               "..wwwwww..\n"
                               "..........\n"
                               "..........\n"
                               "..........\n");
    EXPECT_EQ(Drawn(6, 6, 1), "......\n"
                              "..dw..\n"
                              "..dw..\n"
                              "..dw..\n"
                              "..dw..\n"
                              "......\n");
}

TEST_F(MenuSepTest, StoresItsMarginAndPublishesIt)
{
    ZuMenuSepRef sep = ZuNew<ZuMenuSep>(Zuvi_app_zone);
    EXPECT_TRUE(sep->DefineData(ZuAtomRef("margin"), ZuValueRef(5.5)));
    EXPECT_EQ(sep->RetMargin(), 5.5);
    ZuTestStorageRef s = ZuTestStorage::Make();
    s->StartStoring();
    s->StoreObject(sep);
    ZuTestStorageRef r = ZuTestStorage::Make();
    r->StartRestoring(s->Bytes());
    ZuObjectRef out;
    r->RestoreObject(out, ZuObjectRef::RetRuntime());
    ASSERT_TRUE(out.IsValid() && out->IsKindOf(ZuMenuSepRef::RetRuntime()));
    EXPECT_EQ(ZuMenuSepRef(out)->RetMargin(), 5.5);
    EXPECT_FALSE(ZuMenuSepRef(out)->RetState().TestBit(ZU_VIEW_IS_ENABLED));
    ZuMenuSepRef(out)->Delete();
    sep->Delete();
}
