#include "sd/win32/dxsurface.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "si/rect.h"
#include "tests/support/objmodel.h"
#include "w32/headless.h"

namespace {

class DirectDrawSurface : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(W32_HeadlessInUse());
        W32_DDSetFormat(W32_DD_565);
        W32_DDSetFailures(0);
        WNDCLASSEXA wc;
        std::memset(&wc, 0, sizeof wc);
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = DefWindowProcA;
        wc.lpszClassName = "Test:DX";
        ASSERT_NE(RegisterClassExA(&wc), 0);
    }
    void TearDown() override
    {
        DXSurface::Destroy(surface);
        if (window != nullptr)
            DestroyWindow(window);
        UnregisterClassA("Test:DX", nullptr);
        W32_DDSetFormat(W32_DD_NONE);
        W32_DDSetFailures(0);
    }
    void MakeWindow(int x, int y, int w, int h)
    {
        window = CreateWindowExA(0, "Test:DX", "", WS_POPUP, x, y, w, h, nullptr, nullptr, nullptr,
                                 nullptr);
        ASSERT_NE(window, nullptr);
        ShowWindow(window, SW_SHOWNOACTIVATE);
    }
    // Locks, fills the pixmap surface with one 565 colour, unlocks.
    void Fill(uint16_t colour)
    {
        ASSERT_TRUE(surface->Lock());
        DXSurfaceDesc d;
        ASSERT_TRUE(surface->GetDesc(&d));
        for (uint32_t y = 0; y < d.height; ++y)
            for (uint32_t x = 0; x < d.width; ++x)
                reinterpret_cast<uint16_t*>(static_cast<unsigned char*>(d.memory) +
                                            y * d.pitch)[x] = colour;
        ASSERT_TRUE(surface->Unlock());
    }
    uint32_t WindowPixel(int x, int y)
    {
        uint32_t p = 0xDEADu;
        W32_HeadlessWindowPixel(window, x, y, p);
        return p;
    }
    HWND window = nullptr;
    DXSurface* surface = nullptr;
};

TEST(DXSurfaceFormat, MasksClassifyTheScreenFormat)
{
    struct Case {
        DWORD bits, r, g, b;
        unsigned want;
    } const cases[] = {
        {16, 0x7C00, 0x03E0, 0x001F, 3},
        {16, 0xF800, 0x07E0, 0x001F, 4},
        {24, 0xFF0000, 0x00FF00, 0x0000FF, 5},
        {32, 0xFF0000, 0x00FF00, 0x0000FF, 6},
        {16, 0x001F, 0x07E0, 0xF800, 0},
        {32, 0x0000FF, 0x00FF00, 0xFF0000, 0},
        {8, 0, 0, 0, 0},
        {15, 0x7C00, 0x03E0, 0x001F, 0},
    };
    for (const Case& c : cases) {
        DDPIXELFORMAT f{};
        f.dwSize = sizeof f;
        f.dwFlags = DDPF_RGB;
        f.dwRGBBitCount = c.bits;
        f.dwRBitMask = c.r;
        f.dwGBitMask = c.g;
        f.dwBBitMask = c.b;
        EXPECT_EQ(DXSurface::ClassifyPixelFormat(f), c.want) << c.bits << " " << std::hex << c.r;
    }
}

TEST_F(DirectDrawSurface, NoSurfaceWithoutAUsableScreenFormat)
{
    MakeWindow(0, 0, 40, 30);
    for (W32_DDFormat f : {W32_DD_PALETTE8, W32_DD_NONE}) {
        W32_DDSetFormat(f);
        EXPECT_EQ(DXSurface::Create(window), nullptr) << int(f);
    }
    W32_DDSetFormat(W32_DD_565);
    W32_DDSetFailures(W32_DD_FAIL_CREATE);
    EXPECT_EQ(DXSurface::Create(window), nullptr);
    W32_DDSetFailures(0);
    surface = DXSurface::Create(window);
    EXPECT_NE(surface, nullptr);
}

TEST_F(DirectDrawSurface, SurfacesAreMadeAtTheFirstLockAndAgainAfterAResize)
{
    MakeWindow(10, 10, 40, 30);
    surface = DXSurface::Create(window);
    ASSERT_NE(surface, nullptr);
    DXSurfaceDesc d;
    EXPECT_FALSE(surface->GetDesc(&d)); // not locked
    ASSERT_TRUE(surface->Lock());
    ASSERT_TRUE(surface->GetDesc(&d));
    EXPECT_EQ(d.width, 40u);
    EXPECT_EQ(d.height, 30u);
    EXPECT_EQ(d.format, 4u);
    EXPECT_GE(d.pitch, 80u);
    EXPECT_EQ(d.recreated, 1u);
    EXPECT_TRUE(surface->Unlock());
    EXPECT_FALSE(surface->Unlock());
    EXPECT_FALSE(surface->IsRecreated()); // the same surfaces

    MoveWindow(window, 10, 10, 51, 33, TRUE);
    ASSERT_TRUE(surface->Lock());
    ASSERT_TRUE(surface->GetDesc(&d));
    EXPECT_EQ(d.width, 51u);
    EXPECT_EQ(d.height, 33u);
    EXPECT_EQ(d.recreated, 1u);
    surface->Unlock();

    W32_DDLoseSurfaces();
    EXPECT_TRUE(surface->IsRecreated()); // restored
    EXPECT_FALSE(surface->IsRecreated());

    W32_DDSetFailures(W32_DD_FAIL_LOCK);
    EXPECT_FALSE(surface->Lock());
    EXPECT_STREQ(surface->RetLastError(), "could not lock pixmap surface");
    W32_DDSetFailures(W32_DD_FAIL_SURFACE);
    MoveWindow(window, 10, 10, 20, 20, TRUE);
    EXPECT_FALSE(surface->Lock());
    EXPECT_STREQ(surface->RetLastError(), "could not create pixmap surface");
}

TEST_F(DirectDrawSurface, BlitsPaintTheScreenUnderTheWindow)
{
    MakeWindow(100, 50, 40, 30);
    surface = DXSurface::Create(window);
    ASSERT_NE(surface, nullptr);
    Fill(0xF800);
    ASSERT_TRUE(surface->Blt(ZuRect(5, 5, 9, 7), nullptr));
    EXPECT_EQ(W32_HeadlessScreenPixel(105, 55), 0xFF0000u);
    EXPECT_EQ(W32_HeadlessScreenPixel(109, 57), 0xFF0000u);
    EXPECT_EQ(W32_HeadlessScreenPixel(110, 57), 0u);
    EXPECT_EQ(W32_HeadlessScreenPixel(105, 58), 0u);
    // An empty rectangle copies nothing and succeeds.
    unsigned before = W32_DDPrimaryBlits();
    EXPECT_TRUE(surface->Blt(ZuRect(), nullptr));
    EXPECT_EQ(W32_DDPrimaryBlits(), before);

    W32_DDSetFailures(W32_DD_FAIL_BLT);
    EXPECT_FALSE(surface->Blt(ZuRect(0, 0, 39, 29), nullptr));
    EXPECT_STREQ(surface->RetLastError(), "could not BLT pixmap to window");
    W32_DDSetFailures(0);
    W32_DDLoseSurfaces();
    EXPECT_FALSE(surface->Blt(ZuRect(0, 0, 39, 29), nullptr));
    EXPECT_STREQ(surface->RetLastError(), "lost surface");
    // The window's size changed without a Lock: refused.
    MoveWindow(window, 100, 50, 41, 30, TRUE);
    EXPECT_FALSE(surface->Blt(ZuRect(0, 0, 39, 29), nullptr));
    EXPECT_STREQ(surface->RetLastError(), "mismatch between window and pixmap size");
}

TEST_F(DirectDrawSurface, AWindowPartlyOffTheScreenBlitsOnlyItsVisiblePart)
{
    MakeWindow(-50, 10, 100, 20);
    surface = DXSurface::Create(window);
    ASSERT_NE(surface, nullptr);
    ASSERT_TRUE(surface->Lock());
    DXSurfaceDesc d;
    surface->GetDesc(&d);
    // Each column its own blue level, so that positions can be told apart.
    for (uint32_t y = 0; y < d.height; ++y)
        for (uint32_t x = 0; x < d.width; ++x)
            reinterpret_cast<uint16_t*>(static_cast<unsigned char*>(d.memory) + y * d.pitch)[x] =
                uint16_t(x % 32);
    surface->Unlock();
    ASSERT_TRUE(surface->Blt(ZuRect(0, 0, 99, 19), nullptr));
    EXPECT_EQ(WindowPixel(49, 0), 0u);        // off the screen: untouched
    EXPECT_EQ(WindowPixel(50, 0), 0x000094u); // 50 % 32 = 18 = 10010b, widened
    EXPECT_EQ(W32_HeadlessScreenPixel(0, 10), 0x000094u);
    EXPECT_EQ(W32_HeadlessScreenPixel(49, 29), WindowPixel(99, 19));
}

TEST_F(DirectDrawSurface, MasksCoverTheWholeWidthIncludingTheLastPartialGroup)
{
    MakeWindow(0, 100, 100, 3);
    surface = DXSurface::Create(window);
    ASSERT_NE(surface, nullptr);
    EXPECT_FALSE(surface->EnableMask(2, true));
    DXMaskDesc m;
    EXPECT_FALSE(surface->GetMaskDesc(0, &m)); // not enabled
    EXPECT_FALSE(surface->SetMask(0, 0xFF0000, nullptr, nullptr, true));
    ASSERT_TRUE(surface->EnableMask(0, true));
    ASSERT_TRUE(surface->GetMaskDesc(0, &m));
    EXPECT_EQ(m.width, 100u);
    EXPECT_EQ(m.height, 3u);
    EXPECT_EQ(m.row_bytes, 16u);
    EXPECT_EQ(m.is_new, 1u);
    ASSERT_NE(m.bits, nullptr);
    // Row 0 shows the mask everywhere; row 1 keeps the picture in its first
    // whole group; row 2 keeps it at pixels 0 and 99 only.
    std::memset(m.bits + 16, 0xFF, 8);
    m.bits[32] = 0x80;
    m.bits[32 + 12] = 0x10; // pixel 99: byte 12, bit 3
    ASSERT_TRUE(surface->SetMask(0, 0xFF0000, nullptr, nullptr, true));
    Fill(0x001F);
    ASSERT_TRUE(surface->Blt(ZuRect(0, 0, 99, 2), nullptr));
    for (int x : {0, 63, 64, 99})
        EXPECT_EQ(WindowPixel(x, 0), 0xFF0000u) << x;
    EXPECT_EQ(WindowPixel(0, 1), 0x0000FFu);
    EXPECT_EQ(WindowPixel(63, 1), 0x0000FFu);
    EXPECT_EQ(WindowPixel(64, 1), 0xFF0000u);
    EXPECT_EQ(WindowPixel(0, 2), 0x0000FFu);
    EXPECT_EQ(WindowPixel(1, 2), 0xFF0000u);
    EXPECT_EQ(WindowPixel(98, 2), 0xFF0000u);
    EXPECT_EQ(WindowPixel(99, 2), 0x0000FFu);

    // The same size: the bitmap is kept; a new size makes a new one.
    ASSERT_TRUE(surface->GetMaskDesc(0, &m));
    EXPECT_EQ(m.is_new, 0u);
    MoveWindow(window, 0, 100, 130, 3, TRUE);
    ASSERT_TRUE(surface->GetMaskDesc(0, &m));
    EXPECT_EQ(m.is_new, 1u);
    EXPECT_EQ(m.changed, 1u);
    EXPECT_EQ(m.row_bytes, 24u);
}

ZuGrailPixmap* g_painted_pixmap;
void* g_painted_argument;
unsigned g_painted_width;

void Painter(ZuGrailPixmap* pixmap, void* memory, unsigned width, unsigned height, unsigned pitch,
             DXMaskCallback callback, void* argument)
{
    g_painted_pixmap = pixmap;
    g_painted_width = width;
    // The overlay draws straight into the composed picture.
    for (unsigned y = 0; y < height; ++y)
        reinterpret_cast<uint16_t*>(static_cast<unsigned char*>(memory) + y * pitch)[0] = 0x07E0;
    callback(argument, pixmap);
}

void Callback(void* argument, ZuGrailPixmap*)
{
    g_painted_argument = argument;
}

TEST_F(DirectDrawSurface, MaskCallbacksDrawThroughThePixmapLayer)
{
    MakeWindow(0, 200, 10, 4);
    surface = DXSurface::Create(window);
    ASSERT_NE(surface, nullptr);
    // The screen windows' own painter is put back for the tests that follow.
    DXOverlayPainter previous = DXSurface::SetOverlayPainter(Painter);
    surface->EnableMask(1, true);
    DXMaskDesc m;
    ASSERT_TRUE(surface->GetMaskDesc(1, &m));
    int argument;
    ASSERT_TRUE(surface->SetMask(1, 0, Callback, &argument, false));
    Fill(0x001F);
    ZuGrailPixmap* pixmap = reinterpret_cast<ZuGrailPixmap*>(&m);
    ASSERT_TRUE(surface->Blt(ZuRect(0, 0, 9, 3), pixmap));
    DXSurface::SetOverlayPainter(previous);
    EXPECT_EQ(g_painted_pixmap, pixmap);
    EXPECT_EQ(g_painted_argument, &argument);
    EXPECT_EQ(g_painted_width, 10u);
    EXPECT_EQ(WindowPixel(0, 3), 0x00FF00u);
    EXPECT_EQ(WindowPixel(1, 3), 0x0000FFu); // no bits drawn: the picture
}

// With the library running, surfaces live in the application zone.
class DirectDrawSurfaceInZones : public ZuviRuntimeTest {};

TEST_F(DirectDrawSurfaceInZones, MadeResetAndDestroyed)
{
    W32_DDSetFormat(W32_DD_555);
    WNDCLASSEXA wc;
    std::memset(&wc, 0, sizeof wc);
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "Test:DXZone";
    ASSERT_NE(RegisterClassExA(&wc), 0);
    HWND w = CreateWindowExA(0, "Test:DXZone", "", WS_POPUP, 0, 0, 8, 8, nullptr, nullptr, nullptr,
                             nullptr);
    DXSurface* a = DXSurface::Create(w);
    DXSurface* b = DXSurface::Create(w);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    ASSERT_TRUE(a->Lock());
    DXSurfaceDesc d;
    a->GetDesc(&d);
    EXPECT_EQ(d.format, 3u);
    // A reset drops the surfaces and the shared primary; both come back.
    EXPECT_TRUE(a->Reset());
    EXPECT_FALSE(a->GetDesc(&d));
    EXPECT_TRUE(a->IsRecreated());
    EXPECT_TRUE(b->Lock());
    b->Unlock();
    DXSurface::Destroy(a);
    DXSurface::Destroy(b);
    // The last one gone, the next one starts over.
    DXSurface* c = DXSurface::Create(w);
    EXPECT_NE(c, nullptr);
    DXSurface::Destroy(c);
    DestroyWindow(w);
    UnregisterClassA("Test:DXZone", nullptr);
    W32_DDSetFormat(W32_DD_NONE);
}

} // namespace
