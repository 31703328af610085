// The colour pane on the X server: a drag across the colour field through
// XTest makes the colour under the pointer the definition's colour, and the
// swatch on the screen shows it.
#include "app/colorcompopane.h"
#include "app/colordef.h"
#include "si/classfactory.h"
// Last: it brings the X headers, whose macros clash with the library's names.
#include "tests/si/x11/x11app.h"

#include <X11/Xutil.h>

namespace {

auto* const g_xvfb = ::testing::AddGlobalTestEnvironment(new XvfbEnvironment);

class ColorPaneX11 : public X11AppTest {
protected:
    void SetUp() override
    {
        X11AppTest::SetUp();
        if (!StartApplication())
            return;
        w = ZuNew<ZuWindow>(Zuvi_app_zone);
        w->InitGeom(100, 100, 380, 210, ZuStringRef("Couleur"), ZuWinStyle());
        pane = ZuNew<CColorCompoPane>(Zuvi_app_zone);
        pane->SetSize(370, 196);
        pane->Create(25);
        colour = ZuNew<CColorDef>(Zuvi_app_zone);
        pane->SetDef(CDefRef(ZuObjectRef(colour)));
        pane->SetValue(50);
        pane->Refresh();
        pane->SetParent(w);
        w->ShowNormal();
    }
    void DeleteViews() override
    {
        w->Delete();
        w = ZuWindowRef();
        pane = CColorCompoPaneRef();
        colour = CColorDefRef();
    }
    // The screen's colour (0xRRGGBB) at a point of the window.
    unsigned long ScreenAt(int x, int y)
    {
        double ox = 0, oy = 0;
        w->GetWindowOrigin(ox, oy);
        XImage* image = XGetImage(peer, DefaultRootWindow(peer), int(ox) + x, int(oy) + y, 1, 1,
                                  AllPlanes, ZPixmap);
        if (image == nullptr)
            return 0xDEADBEEF;
        const unsigned long p = XGetPixel(image, 0, 0) & 0xFFFFFFul;
        XDestroyImage(image);
        return p;
    }
    static bool Near(unsigned long a, unsigned long b)
    {
        for (int shift : {0, 8, 16}) {
            const long d = long((a >> shift) & 0xFF) - long((b >> shift) & 0xFF);
            if (d > 8 || d < -8)
                return false;
        }
        return true;
    }
    void MoveTo(int x, int y)
    {
        double ox = 0, oy = 0;
        w->GetWindowOrigin(ox, oy);
        PointerAt(int(ox) + x, int(oy) + y);
        Settle();
    }

    ZuWindowRef w;
    CColorCompoPaneRef pane;
    CColorDefRef colour;
};

} // namespace

TEST_F(ColorPaneX11, ADragAcrossTheFieldShowsTheColourUnderThePointerInTheSwatch)
{
    ZUVI_REQUIRE_XVFB();
    const unsigned long window = XidOf(w);
    ASSERT_NE(window, 0ul);
    ASSERT_TRUE(PumpUntil([&] { return Mapped(window) && ScreenAt(80, 160) != 0xDEADBEEF; }));
    MoveTo(50, 30);
    Button(true);
    Settle();
    MoveTo(90, 70);
    MoveTo(130, 110);
    Button(false);
    Settle();
    ZuColorPixel under;
    pane->RetField()->RetColor(under);
    double r, g, b;
    colour->GetRGB(r, g, b);
    EXPECT_NEAR(r, under.RealRed(), 1e-9);
    EXPECT_NEAR(g, under.RealGreen(), 1e-9);
    EXPECT_NEAR(b, under.RealBlue(), 1e-9);
    // The point sits where the pointer let go: (130 - 37) / 129, (110 - 9) / 129.
    EXPECT_NEAR(pane->RetField()->GetPositionX(), 93.0 / 129, 1e-9);
    EXPECT_NEAR(pane->RetField()->GetPositionY(), 101.0 / 129, 1e-9);
    const unsigned long expected = unsigned(under) & 0xFFFFFFu;
    EXPECT_TRUE(PumpUntil([&] { return Near(ScreenAt(80, 160), expected); }))
        << std::hex << ScreenAt(80, 160) << " " << expected;
}
