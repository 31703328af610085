// The gradient pane on the X server: the axial angle handle dragged with
// XTest turns the gradient, and the sample on the screen shows it turned.
#include "app/colordef.h"
#include "app/idefdlg.h"
#include "app/motifdegpane.h"
#include "si/classfactory.h"
// Last: it brings the X headers, whose macros clash with the library's names.
#include "tests/si/x11/x11app.h"

#include <X11/Xutil.h>

#include <cmath>

// The attributes dialog as the pane reaches it: the fill's colours.
ZU_HANDLE(TGradientX11Dlg, ZuObject)
class TGradientX11Dlg : public ZuObject, public IDefDlg {
    ZU_CLASS(TGradientX11Dlg, ZuObject)
public:
    TGradientX11Dlg() {}
    CDefRef RetDefinition(int kind) override { return kind == 25 ? colours : CDefRef(); }
    void EnablePane(int, bool) override {}
    CDefRef colours;
};
ZU_CLASS_END(TGradientX11Dlg)
ZU_IMPLEMENT_CLASS(TGradientX11Dlg, "tests/gradientpane_x11", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(TGradientX11Dlg, IDefDlg)

namespace {

auto* const g_xvfb = ::testing::AddGlobalTestEnvironment(new XvfbEnvironment);

// The sample's centre in the window.
const double kCx = 107.5, kCy = 84.5;

class GradientPaneX11 : public X11AppTest {
protected:
    void SetUp() override
    {
        X11AppTest::SetUp();
        if (!StartApplication())
            return;
        dialog = ZuNew<TGradientX11Dlg>(Zuvi_app_zone);
        CColorDefRef colours = ZuNew<CColorDef>(Zuvi_app_zone);
        colours->SetCount(2);
        colours->SetIndex(0);
        colours->SetRGB(1, 0, 0);
        colours->SetIndex(1);
        colours->SetRGB(0, 0, 1);
        dialog->colours = CDefRef(ZuObjectRef(colours));
        CDefPane::SetFallbackDefDlg(dialog);
        w = ZuNew<ZuWindow>(Zuvi_app_zone);
        w->InitGeom(100, 100, 380, 210, ZuStringRef("D\xe9grad\xe9"), ZuWinStyle());
        pane = ZuNew<CMotifDegPane>(Zuvi_app_zone);
        pane->SetSize(370, 196);
        pane->Create(20);
        def = ZuNew<CMotifDef>(Zuvi_app_zone);
        def->SetValue(61);
        def->SetGradientType(230);
        pane->SetDef(CDefRef(ZuObjectRef(def)));
        pane->Refresh();
        pane->SetParent(w);
        w->ShowNormal();
    }
    void DeleteViews() override
    {
        CDefPane::SetFallbackDefDlg(ZuObjectRef());
        w->Delete();
        w = ZuWindowRef();
        pane = CMotifDegPaneRef();
        def = CMotifDefRef();
        dialog->colours = CDefRef();
        dialog->Delete();
        dialog = TGradientX11DlgRef();
    }
    // The screen's pixel at a point of the window, 0xRRGGBB.
    unsigned long ScreenAt(double x, double y)
    {
        double ox = 0, oy = 0;
        w->GetWindowOrigin(ox, oy);
        XImage* image = XGetImage(peer, DefaultRootWindow(peer), int(ox + x), int(oy + y), 1, 1,
                                  AllPlanes, ZPixmap);
        if (image == nullptr)
            return 0;
        const unsigned long p = XGetPixel(image, 0, 0) & 0xFFFFFFul;
        XDestroyImage(image);
        return p;
    }
    bool Reddish(double x, double y)
    {
        const unsigned long p = ScreenAt(x, y);
        return (p >> 16 & 0xFF) > (p & 0xFF) + 0x40;
    }
    bool Bluish(double x, double y)
    {
        const unsigned long p = ScreenAt(x, y);
        return (p & 0xFF) > (p >> 16 & 0xFF) + 0x40;
    }
    void PointerAtWindow(double x, double y)
    {
        double ox = 0, oy = 0;
        w->GetWindowOrigin(ox, oy);
        PointerAt(int(ox + x), int(oy + y));
        Settle();
    }

    ZuWindowRef w;
    CMotifDegPaneRef pane;
    CMotifDefRef def;
    TGradientX11DlgRef dialog;
};

} // namespace

TEST_F(GradientPaneX11, DraggingTheAngleHandleTurnsTheSampleOnTheScreen)
{
    ZUVI_REQUIRE_XVFB();
    const unsigned long window = XidOf(w);
    ASSERT_NE(window, 0ul);
    // Red toward the lower left, blue toward the upper right.
    ASSERT_TRUE(PumpUntil([&] {
        return Mapped(window) && Reddish(kCx - 50, kCy + 60) && Bluish(kCx + 60, kCy - 50);
    }));
    // The angle handle, dragged half a turn round the centre.
    DPoint at;
    int look = 0;
    ASSERT_TRUE(pane->HandlePosition(0, 1, at, look));
    PointerAtWindow(std::round(at.x), std::round(at.y));
    Button(true);
    Settle();
    const double target = 5 * M_PI / 4 + std::atan(20.0 / 35.0);
    for (int step = 1; step <= 8; ++step) {
        const double a = M_PI / 4 + std::atan(20.0 / 35.0) +
                         (target - M_PI / 4 - std::atan(20.0 / 35.0)) * step / 8;
        PointerAtWindow(kCx + 40 * std::cos(a), kCy - 40 * std::sin(a));
    }
    Button(false);
    Settle();
    EXPECT_NEAR(def->GetGradientPoint(0), 5 * M_PI / 4, 0.05);
    // Now blue toward the lower left and red toward the upper right.
    EXPECT_TRUE(PumpUntil([&] {
        return Bluish(kCx - 50, kCy + 60) && Reddish(kCx + 60, kCy - 50);
    })) << std::hex
        << ScreenAt(kCx - 50, kCy + 60) << " " << ScreenAt(kCx + 60, kCy - 50);
}
