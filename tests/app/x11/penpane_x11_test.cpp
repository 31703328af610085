// The pen pane on the X server: a width typed through XTest into the width
// entry reaches the pen, and the sample's band on the screen is wider after
// the next update.
#include "app/pendef.h"
#include "app/penbasepane.h"
#include "si/classfactory.h"
// Last: it brings the X headers, whose macros clash with the library's names.
#include "tests/si/x11/x11app.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace {

auto* const g_xvfb = ::testing::AddGlobalTestEnvironment(new XvfbEnvironment);

class PenPaneX11 : public X11AppTest {
protected:
    void SetUp() override
    {
        X11AppTest::SetUp();
        if (!StartApplication())
            return;
        w = ZuNew<ZuWindow>(Zuvi_app_zone);
        w->InitGeom(100, 100, 380, 210, ZuStringRef("Trait"), ZuWinStyle());
        pane = ZuNew<CPenBasePane>(Zuvi_app_zone);
        pane->SetSize(370, 196);
        pane->Create(10);
        pen = ZuNew<CPenDef>(Zuvi_app_zone);
        pen->SetWidth(2.0);
        pen->SetCap(0);
        pane->SetDef(CDefRef(ZuObjectRef(pen)));
        pane->Refresh();
        pane->SetParent(w);
        w->ShowNormal();
    }
    void DeleteViews() override
    {
        w->Delete();
        w = ZuWindowRef();
        pane = CPenBasePaneRef();
        pen = CPenDefRef();
    }
    // Whether the screen shows black at a point of the window.
    bool BlackAt(int x, int y)
    {
        double ox = 0, oy = 0;
        w->GetWindowOrigin(ox, oy);
        XImage* image = XGetImage(peer, DefaultRootWindow(peer), int(ox) + x, int(oy) + y, 1, 1,
                                  AllPlanes, ZPixmap);
        if (image == nullptr)
            return false;
        const unsigned long p = XGetPixel(image, 0, 0) & 0xFFFFFFul;
        XDestroyImage(image);
        return (p >> 16 & 0xFF) < 0x40 && (p >> 8 & 0xFF) < 0x40 && (p & 0xFF) < 0x40;
    }
    void Key(KeySym sym, bool down)
    {
        XTestFakeKeyEvent(peer, XKeysymToKeycode(peer, sym), down ? True : False, 0);
        XFlush(peer);
    }
    void Tap(KeySym sym)
    {
        Key(sym, true);
        Key(sym, false);
        Settle();
    }

    ZuWindowRef w;
    CPenBasePaneRef pane;
    CPenDefRef pen;
};

} // namespace

TEST_F(PenPaneX11, ATypedWidthWidensTheSampleBandOnTheScreen)
{
    ZUVI_REQUIRE_XVFB();
    const unsigned long window = XidOf(w);
    ASSERT_NE(window, 0ul);
    ASSERT_TRUE(PumpUntil([&] { return Mapped(window) && BlackAt(104, 180); }));
    EXPECT_FALSE(BlackAt(104, 176));

    // Into the width entry, its whole text selected, then "12".
    double ox = 0, oy = 0;
    w->GetWindowOrigin(ox, oy);
    PointerAt(int(ox) + 100, int(oy) + 18);
    Settle();
    Button(true);
    Button(false);
    Settle();
    Tap(XK_Home);
    Key(XK_Shift_L, true);
    Tap(XK_End);
    Key(XK_Shift_L, false);
    Tap(XK_1);
    Tap(XK_2);
    EXPECT_EQ(pen->GetWidth(), 12.0);
    EXPECT_TRUE(PumpUntil([&] { return BlackAt(104, 176) && BlackAt(104, 184); }));
}
