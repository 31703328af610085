// The brush editor on the X server: a rectangle dragged on the sample
// through XTest becomes the brush's shape, and its filled outline shows on
// the screen.
#include "app/patterndef.h"
#include "app/patternpane.h"
#include "si/classfactory.h"
// Last: it brings the X headers, whose macros clash with the library's names.
#include "tests/si/x11/x11app.h"

#include <X11/Xutil.h>

namespace {

auto* const g_xvfb = ::testing::AddGlobalTestEnvironment(new XvfbEnvironment);

class PatternPaneX11 : public X11AppTest {
protected:
    void SetUp() override
    {
        X11AppTest::SetUp();
        if (!StartApplication())
            return;
        w = ZuNew<ZuWindow>(Zuvi_app_zone);
        w->InitGeom(100, 100, 380, 210, ZuStringRef("Pinceau"), ZuWinStyle());
        pane = ZuNew<CPatternPane>(Zuvi_app_zone);
        pane->SetSize(370, 196);
        pane->Create(11);
        brush = ZuNew<CPatternDef>(Zuvi_app_zone);
        brush->Clear();
        pane->SetDef(CDefRef(ZuObjectRef(brush)));
        pane->Refresh();
        pane->SetParent(w);
        w->ShowNormal();
    }
    void DeleteViews() override
    {
        w->Delete();
        w = ZuWindowRef();
        pane = CPatternPaneRef();
        brush = CPatternDefRef();
    }
    // Whether the screen shows black at a brush point of the sample.
    bool BlackAt(double x, double y)
    {
        double ox = 0, oy = 0;
        w->GetWindowOrigin(ox, oy);
        const DPoint v = pane->RetSample()->SampleToView(x, y);
        XImage* image = XGetImage(peer, DefaultRootWindow(peer), int(ox + v.x), int(oy + v.y), 1, 1,
                                  AllPlanes, ZPixmap);
        if (image == nullptr)
            return false;
        const unsigned long p = XGetPixel(image, 0, 0) & 0xFFFFFFul;
        XDestroyImage(image);
        return (p >> 16 & 0xFF) < 0x40 && (p >> 8 & 0xFF) < 0x40 && (p & 0xFF) < 0x40;
    }
    void PointerAtBrush(double x, double y)
    {
        double ox = 0, oy = 0;
        w->GetWindowOrigin(ox, oy);
        const DPoint v = pane->RetSample()->SampleToView(x, y);
        PointerAt(int(ox + v.x), int(oy + v.y));
        Settle();
    }

    ZuWindowRef w;
    CPatternPaneRef pane;
    CPatternDefRef brush;
};

} // namespace

TEST_F(PatternPaneX11, ARectangleDraggedOnTheSampleShowsOnTheScreen)
{
    ZUVI_REQUIRE_XVFB();
    const unsigned long window = XidOf(w);
    ASSERT_NE(window, 0ul);
    ASSERT_TRUE(PumpUntil([&] { return Mapped(window); }));
    EXPECT_FALSE(BlackAt(0.15, 0.15));

    // The rectangle tool, then a drag from (-0.3, -0.3) to (0.4, 0.3).
    double ox = 0, oy = 0;
    w->GetWindowOrigin(ox, oy);
    PointerAt(int(ox) + 219 + 11, int(oy) + 24 + 11);
    Settle();
    Button(true);
    Button(false);
    Settle();
    ASSERT_EQ(pane->RetTool(), 1);
    PointerAtBrush(-0.3, -0.3);
    Button(true);
    Settle();
    PointerAtBrush(0.1, 0.0);
    PointerAtBrush(0.4, 0.3);
    Button(false);
    Settle();

    double start[2], corner[2];
    int kind;
    ASSERT_EQ(brush->GetOpcode(0), CPatternDef::OP_SHAPE);
    brush->GetHandle(0, 0, start, kind, 0);
    brush->GetHandle(12 + 5, 0, corner, kind, 0);
    EXPECT_NEAR(start[0], -0.3, 1e-9);
    EXPECT_NEAR(start[1], -0.3, 1e-9);
    EXPECT_NEAR(corner[0], 0.4, 1e-9);
    EXPECT_NEAR(corner[1], 0.3, 1e-9);
    // Filled inside its outline, empty outside.
    EXPECT_TRUE(PumpUntil(
        [&] { return BlackAt(-0.28, -0.28) && BlackAt(0.38, 0.28) && BlackAt(0.15, 0.15); }));
    EXPECT_FALSE(BlackAt(0.45, 0.15));
    EXPECT_FALSE(BlackAt(-0.35, 0.15));
}
