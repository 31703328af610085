#include "si/grailwdo.h"

#include <gtest/gtest.h>

#include "sd/win32/sd_grailwdo.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "tests/support/ports.h"
#include "zoveda/gfxsurface.h"

// A window that lets the tests drive what its platform side calls.
ZU_HANDLE(ZuTestGrailWindow, ZuGrailWindow)
class ZuTestGrailWindow : public ZuGrailWindow {
    ZU_CLASS(ZuTestGrailWindow, ZuGrailWindow)
public:
    ZuTestGrailWindow() {}
    void Init() { InitOverlays(); }
    void Kill() { KillOverlays(); }
    void Resize(double width, double height)
    {
        dx = width;
        dy = height;
        UpdateOverlaySize();
    }
};
ZU_CLASS_END(ZuTestGrailWindow)
ZU_IMPLEMENT_CLASS(ZuTestGrailWindow, "tests/si/grailwdo_test", ZU_CLASS_PLAIN)

namespace {

class WindowPortTest : public PortTest {
protected:
    // Screen windows are made only while the library's window class is
    // registered.
    void SetUp() override
    {
        PortTest::SetUp();
        Zuvi_GrWindowRec::GlobalInit(&module);
    }
    void TearDown() override
    {
        Zuvi_GrWindowRec::GlobalKill();
        PortTest::TearDown();
    }
    ZuGrailWindowRef NewWindow(const ZuRect& frame)
    {
        ZuGrailWindowRef w(ZuNew<ZuGrailWindow>(Zuvi_app_zone));
        w->Initialise(32, frame.DX(), frame.DY());
        w->SetFrameGeometry(frame);
        return w;
    }

    int module = 0;
};

TEST_F(WindowPortTest, ViewsDrawInFrameCoordinates)
{
    ZuGrailWindowRef w = NewWindow(ZuRect(100, 50, 299, 249));
    ZuRect frame;
    w->GetFrameGeometry(frame);
    EXPECT_TRUE(frame == ZuRect(100, 50, 299, 249));
    w->BeginDraw(100, 50, 299, 249);
    w->DrawDot(100, 50, ZuColorPixel(0x00FFFFFFu));
    w->DrawDot(299, 249, ZuColorPixel(0x00FFFFFFu));
    w->EndDraw();
    EXPECT_EQ(Pixel(w, 0, 0), 0x00FFFFFFu);
    EXPECT_EQ(Pixel(w, 199, 199), 0x00FFFFFFu);
    EXPECT_EQ(CountInked(w), 2u);

    // A rectangle too small for its margin begins no pass and leaves the
    // offset of the pass around it as it was.
    w->BeginDraw(ZuRect(100, 50, 299, 249), 0);
    w->SetDrawingOffset(3, 4);
    w->BeginDraw(ZuRect(100, 50, 101, 51), 2);
    double ox = 0, oy = 0;
    w->GetDrawingOffset(ox, oy);
    EXPECT_EQ(ox, 3);
    EXPECT_EQ(oy, 4);
    w->EndDraw();
}

TEST_F(WindowPortTest, OneOverlay)
{
    ZuGrailWindowRef w = NewWindow(ZuRect(0, 0, 63, 31));
    unsigned id = 0;
    EXPECT_TRUE(w->RetOverlayPixmap(1) == ZuGrailPixmapNull);
    ASSERT_TRUE(w->NewOverlay(ZuColorPixel(0x00FF0000u), id));
    EXPECT_EQ(id, 1u);
    unsigned again = 0;
    EXPECT_FALSE(w->NewOverlay(ZuColorPixel(0x0000FF00u), again));

    ZuGrailPixmapRef overlay = w->RetOverlayPixmap(1);
    ASSERT_TRUE(overlay.IsValid());
    EXPECT_EQ(overlay->RetDepth(), 1u);
    double ow = 0, oh = 0;
    overlay->GetSize(ow, oh);
    EXPECT_EQ(ow, 64);
    EXPECT_EQ(oh, 32);
    EXPECT_TRUE(w->RetOverlayColor(1) == ZuColorPixel(0x00FF0000u));

    EXPECT_FALSE(w->SetOverlayColor(2, ZuColorPixel(0u)));
    EXPECT_TRUE(w->SetOverlayColor(1, ZuColorPixel(0x000000FFu)));
    int marker = 0;
    auto func = [](void*, ZuGrailPixmap*) {};
    EXPECT_TRUE(w->SetOverlayFunc(1, func, &marker));
    ZuGrailOverlayFunc got_func = nullptr;
    void* got_arg = nullptr;
    ASSERT_TRUE(w->GetOverlayFunc(1, got_func, got_arg));
    EXPECT_EQ(got_func, static_cast<ZuGrailOverlayFunc>(func));
    EXPECT_EQ(got_arg, &marker);
    ZuGrailPixmapRef got;
    ZuColorPixel colour;
    ASSERT_TRUE(w->GetOverlay(1, got, colour));
    EXPECT_TRUE(got == overlay);
    EXPECT_TRUE(colour == ZuColorPixel(0x000000FFu));

    EXPECT_FALSE(w->DeleteOverlay(2));
    EXPECT_TRUE(w->DeleteOverlay(1));
    EXPECT_FALSE(w->DeleteOverlay(1));
    EXPECT_FALSE(w->GetOverlay(1, got, colour));
    EXPECT_TRUE(w->RetOverlayPixmap(1) == ZuGrailPixmapNull);
    EXPECT_TRUE(w->RetOverlayColor(1) == ZuColorPixel::none);
    EXPECT_TRUE(w->NewOverlay(ZuColorPixel(0u), id)) << "a new overlay once the old one is gone";
}

TEST_F(WindowPortTest, TheOverlayFollowsTheWindow)
{
    ZuTestGrailWindowRef w(ZuNew<ZuTestGrailWindow>(Zuvi_app_zone));
    w->Initialise(32, 40, 30);
    w->Init();
    EXPECT_TRUE(w->RetOverlayPixmap(1) == ZuGrailPixmapNull)
        << "a pixmap stands ready, but no overlay";
    unsigned id = 0;
    ASSERT_TRUE(w->NewOverlay(ZuColorPixel(0u), id));
    w->Resize(50, 30);
    double ow = 0, oh = 0;
    w->RetOverlayPixmap(1)->GetSize(ow, oh);
    EXPECT_EQ(ow, 50);
    EXPECT_EQ(oh, 30);
    EXPECT_EQ(w->RetOverlayPixmap(1)->RetDepth(), 1u);
    ZuGrailPixmapRef overlay = w->RetOverlayPixmap(1);
    w->Resize(50.5, 30.2);
    EXPECT_TRUE(w->RetOverlayPixmap(1) == overlay);
    overlay->GetSize(ow, oh);
    EXPECT_EQ(ow, 50) << "the same whole size keeps the overlay's pixels";
    w->Kill();
    ZuGrailPixmapRef gone;
    ZuColorPixel colour;
    EXPECT_FALSE(w->GetOverlay(1, gone, colour)) << "no overlay 1 without its pixmap";
    EXPECT_TRUE(w->RetOverlayPixmap(1) == ZuGrailPixmapNull);
}

} // namespace
