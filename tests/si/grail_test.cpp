#include "si/grail.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "si/classfactory.h"
#include "si/fontman.h"
#include "si/grailpxm.h"
#include "si/memzone.h"
#include "tests/support/ports.h"
#include "tests/support/storagetest.h"

namespace {

class GrailPortTest : public PortTest {};

struct Rect4 {
    double x1, y1, x2, y2;
};

Rect4 DrawingRect(const ZuGrailPortRef& port)
{
    const ZuGrailPort::GraphicContext& gc = port->RetGraphicContext();
    return {gc.x1, gc.y1, gc.x2, gc.y2};
}

Rect4 Clip(const ZuGrailPortRef& port)
{
    Rect4 r;
    port->GetClipRect(r.x1, r.y1, r.x2, r.y2);
    return r;
}

void ExpectRect(Rect4 got, Rect4 want, const char* what)
{
    EXPECT_EQ(got.x1, want.x1) << what;
    EXPECT_EQ(got.y1, want.y1) << what;
    EXPECT_EQ(got.x2, want.x2) << what;
    EXPECT_EQ(got.y2, want.y2) << what;
}

TEST_F(GrailPortTest, PassesNestNineteenDeep)
{
    ZuGrailPixmapRef pixmap = NewPixmap(32, 100, 50);
    for (int i = 0; i < 19; ++i)
        pixmap->BeginDraw(0, 0, 99, 49);
    EXPECT_DEATH(pixmap->BeginDraw(0, 0, 99, 49),
                 "Failed assertion: this->gc_stack_depth < ZU_GRAIL_GC-1");
    for (int i = 0; i < 19; ++i)
        pixmap->EndDraw();
    // Closing a pass that was never begun stops instead of leaving the stack.
    EXPECT_DEATH(pixmap->EndDraw(), "Failed assertion: this->gc_stack_depth > 0");
    EXPECT_DEATH(pixmap->BeginDraw(5, 0, 4, 49),
                 "Failed assertion: \\(x2 >= x1\\) && \\(y2 >= y1\\)");
}

TEST_F(GrailPortTest, MisuseStops)
{
    ZuGrailPixmapRef unready(ZuNew<ZuGrailPixmap>(Zuvi_app_zone));
    EXPECT_DEATH(unready->BeginDraw(0, 0, 9, 9), "Failed assertion: this->is_ready == TRUE");
    EXPECT_DEATH(ZuClassFactory::New(ZuGrailPortRef::RetRuntime(), Zuvi_app_zone, __LINE__, "test"),
                 "Cannot instanciate ZuGrailPort");
    ZuFontManRef installed = ZuFontMan::Current();
    EXPECT_DEATH(
        {
            ZuFontMan::KillSystemFontMan();
            ZuClassFactory::New(ZuGrailPixmapRef::RetRuntime(), Zuvi_app_zone, __LINE__, "test");
        },
        "Failed assertion: this->font_man.IsValid \\(\\)");
    EXPECT_TRUE(unready->RetFontMan() == installed);

    ZuTestStorageRef storage = ZuTestStorage::Make();
    storage->StartStoring();
    EXPECT_DEATH(storage->StoreObject(unready), "Trying to store Grail Pixmap");
}

TEST_F(GrailPortTest, OffsetMovesTheDrawingRectangleNotTheClip)
{
    ZuGrailPixmapRef pixmap = NewPixmap(32, 200, 100);
    pixmap->BeginDraw(0, 0, 99, 49);
    ExpectRect(Clip(pixmap), {0, 0, 99, 49}, "clip of a new pass");
    pixmap->SetDrawingOffset(10, 5);
    ExpectRect(DrawingRect(pixmap), {10, 5, 109, 54}, "drawing rectangle");
    ExpectRect(Clip(pixmap), {0, 0, 99, 49}, "clip in the caller's coordinates");
    double ox = 0, oy = 0;
    pixmap->GetDrawingOffset(ox, oy);
    EXPECT_EQ(ox, 10);
    EXPECT_EQ(oy, 5);

    // The clip stays inside the drawing rectangle.
    pixmap->SetClipRect(-20, 10, 50, 500);
    ExpectRect(Clip(pixmap), {0, 10, 50, 49}, "clip cut at the drawing rectangle");
    pixmap->ResetClipRect();
    ExpectRect(Clip(pixmap), {0, 0, 99, 49}, "clip reset");

    // An inner pass starts afresh and the outer one comes back whole.
    pixmap->SetForeColor(ZuColorPixel(0x00FF0000u));
    pixmap->BeginDraw(20, 20, 29, 29);
    ExpectRect(Clip(pixmap), {20, 20, 29, 29}, "inner pass");
    EXPECT_EQ(static_cast<unsigned int>(pixmap->RetGraphicContext().fore_color), 0u);
    EXPECT_EQ(static_cast<unsigned int>(pixmap->RetGraphicContext().back_color), 0x00FFFFFFu);
    pixmap->EndDraw();
    ExpectRect(DrawingRect(pixmap), {10, 5, 109, 54}, "outer pass again");
    EXPECT_EQ(static_cast<unsigned int>(pixmap->RetGraphicContext().fore_color), 0x00FF0000u);
    pixmap->EndDraw();

    ZuRect empty_clip;
    pixmap->BeginDraw(0, 0, 9, 9);
    pixmap->SetClipRect(5, 5, 4, 4);
    pixmap->GetClipRect(empty_clip);
    EXPECT_TRUE(empty_clip.IsEmpty());
    // An empty clip stays empty when the offset moves.
    pixmap->SetDrawingOffset(1, 1);
    pixmap->SetForeColor(ZuColorPixel(0x00FFFFFFu));
    pixmap->FillRect(-5, -5, 20, 20);
    EXPECT_EQ(CountInked(pixmap), 0u);
    pixmap->EndDraw();
}

TEST_F(GrailPortTest, PassesFromRectanglesAndMargins)
{
    ZuGrailPixmapRef pixmap = NewPixmap(32, 20, 20);
    pixmap->BeginDraw(ZuRect(0, 0, 9, 9), 2);
    ExpectRect(DrawingRect(pixmap), {2, 2, 7, 7}, "shrunk by the margin");
    pixmap->EndDraw();

    // Below twice the margin no pass begins: the caller closes none.
    pixmap->BeginDraw(0, 0, 19, 19);
    pixmap->BeginDraw(ZuRect(0, 0, 2, 9), 2);
    ExpectRect(DrawingRect(pixmap), {0, 0, 19, 19}, "no pass below 2 x margin");

    // Exactly twice the margin: an empty pass, drawn into for nothing.
    pixmap->BeginDraw(ZuRect(0, 0, 3, 9), 2);
    ZuRect clip;
    pixmap->GetClipRect(clip);
    EXPECT_TRUE(clip.IsEmpty());
    pixmap->SetForeColor(ZuColorPixel(0x00FFFFFFu));
    pixmap->FillRect(-100, -100, 100, 100);
    EXPECT_EQ(CountInked(pixmap), 0u);
    pixmap->EndDraw();
    ExpectRect(DrawingRect(pixmap), {0, 0, 19, 19}, "the empty pass closed");
    pixmap->EndDraw();
}

TEST_F(GrailPortTest, LineStyles)
{
    ZuGrailPixmapRef pixmap = NewPixmap(32, 10, 10);
    pixmap->BeginDraw(0, 0, 9, 9);
    const ZuGrailPort::GraphicContext& gc = pixmap->RetGraphicContext();
    EXPECT_EQ(gc.dash_count, 0);
    pixmap->SetLineStyle(ZU_LINE_DOT);
    pixmap->SetLineStyle(static_cast<ZuLineStyle>(7));
    EXPECT_EQ(static_cast<unsigned>(gc.line_style), 7u);
    ASSERT_EQ(gc.dash_count, 2);
    EXPECT_EQ(gc.dash_pattern[0], 1);
    EXPECT_EQ(gc.dash_pattern[1], 1);
    pixmap->SetLineStyle(ZU_LINE_DASH);
    EXPECT_EQ(gc.dash_pattern[0], 3);
    pixmap->SetLineStyle(ZU_LINE_SOLID);
    EXPECT_EQ(gc.dash_count, 0);
    EXPECT_EQ(gc.dash_pattern, nullptr);
    pixmap->EndDraw();

    EXPECT_STREQ(ZuLineStyleRetName(ZU_LINE_DASH), "ZU_LINE_DASH");
    EXPECT_STREQ(ZuLineStyleRetName(static_cast<ZuLineStyle>(5)), "");
    ZuLineStyle next = ZU_LINE_DASH;
    next++;
    EXPECT_EQ(static_cast<unsigned>(next), 3u);
    EXPECT_FALSE(IsValid(next));

    // Stored as a card.
    ZuTestStorageRef storage = ZuTestStorage::Make();
    storage->StartStoring();
    storage << ZU_LINE_DOT;
    storage->StartRestoring(storage->Bytes());
    ZuLineStyle back = ZU_LINE_SOLID;
    storage >> back;
    EXPECT_EQ(back, ZU_LINE_DOT);
}

TEST_F(GrailPortTest, SurfaceLockOnlyCounts)
{
    ZuGrailPixmapRef pixmap = NewPixmap(32, 4, 4);
    ZuGrailPixmapRef other = NewPixmap(32, 4, 4);
    GfxSurface* mine = pixmap->LockSurface();
    ASSERT_NE(mine, nullptr);
    GfxSurface* theirs = other->LockSurface();
    EXPECT_FALSE(pixmap->UnlockSurface(theirs));
    EXPECT_TRUE(pixmap->UnlockSurface(mine));
    EXPECT_FALSE(pixmap->UnlockSurface(mine)) << "the count is back at 0";
    EXPECT_TRUE(other->UnlockSurface(theirs));
}

TEST_F(GrailPortTest, FontsAndColours)
{
    ZuGrailPixmapRef pixmap = NewPixmap(32, 4, 4);
    pixmap->BeginDraw(0, 0, 3, 3);
    ZuGrailFontRef font = NewFont("arial.ttf", 12);
    pixmap->SetFont(font);
    pixmap->SetFont(ZuGrailFontNull);
    EXPECT_TRUE(pixmap->RetGraphicContext().font == font) << "an empty handle changes nothing";
    EXPECT_FALSE(pixmap->RetPureColor());
    EXPECT_TRUE(pixmap->SetPureColor(true));
    EXPECT_TRUE(pixmap->RetPureColor());
    pixmap->SetBackColor(ZuColorPixel(0x00010203u));
    EXPECT_EQ(static_cast<unsigned int>(pixmap->RetGraphicContext().back_color), 0x00010203u);
    pixmap->EndDraw();
    font_man->ReleaseFont(font);
}

TEST_F(GrailPortTest, LineDotsFollowTheRasterEngine)
{
    ZuGrailPixmapRef pixmap = NewPixmap(32, 4, 4);
    struct Case {
        const char* what;
        unsigned start;
        unsigned n;
        int delta;
        double f;
        std::vector<unsigned> coords;
        std::vector<unsigned> fractions;
    } const cases[] = {
        {"(0, 0) to (4, 2), rounded", 0, 4, 2, 0.5, {0, 1, 1, 2, 2}, {127, 0, 127, 0, 127}},
        {"upwards", 5, 2, -2, 0.0, {5, 4, 3}, {0, 0, 0}},
        {"a starting fraction above 1", 0, 2, 0, 2.25, {2, 2, 2}, {63, 63, 63}},
        {"a starting fraction below 0", 3, 1, 0, -0.25, {2, 2}, {191, 191}},
        {"no step", 7, 0, 0, 0.0, {7}, {0}},
    };
    for (const Case& c : cases) {
        std::vector<unsigned> coords(c.n + 1), by_y(c.n + 1);
        std::vector<unsigned char> fractions(c.n + 1);
        pixmap->ComputeLineDXDots(0, c.start, c.n, c.delta, coords.data(), fractions.data(), c.f);
        pixmap->ComputeLineDYDots(c.start, 0, c.delta, c.n, by_y.data(), nullptr, c.f);
        EXPECT_EQ(coords, c.coords) << c.what;
        EXPECT_EQ(by_y, c.coords) << c.what;
        EXPECT_EQ(std::vector<unsigned>(fractions.begin(), fractions.end()), c.fractions) << c.what;
    }
    pixmap->ComputeLineDXDots(0, 0, 3, 1, nullptr, nullptr, 0.5);
}

} // namespace
