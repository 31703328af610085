// The box view: where its frame runs with and without a title, the frame
// styles, the title's plate over the frame line, the minimum size, and the
// box kept in storage and copied with one title.
#include "si/boxview.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "si/adorner.h"
#include "si/memzone.h"
#include "si/values.h"
#include "tests/support/itemviews.h"
#include "tests/support/looks.h"
#include "tests/support/text.h"

namespace {

class BoxViewTest : public LookTest {
protected:
    void SetUp() override
    {
        LookTest::SetUp();
        bx = ZuNew<ZuBoxView>(Zuvi_app_zone);
        bx->SetBox(ZuRect(10, 10, 69, 49));
    }
    void TearDown() override
    {
        bx->Delete();
        bx = ZuBoxViewRef();
        for (ZuGrailPixmapRef& p : pixmaps)
            p->Delete();
        pixmaps.clear();
        ZuObjectRef::RealiseDeletions();
        LookTest::TearDown();
    }
    // The box drawn alone into a new pixmap.
    ZuGrailPixmapRef Drawn()
    {
        ZuGrailPixmapRef px = NewPixmap(32, 80, 60);
        pixmaps.push_back(px);
        px->BeginDraw(0, 0, 79, 59);
        bx->Draw(px, ZuRect(0, 0, 79, 59), ZU_DRAW_ALL);
        px->EndDraw();
        return px;
    }
    // What a painter draws into a new pixmap of the same size.
    ZuGrailPixmapRef Expected(const std::function<void(const ZuGrailPixmapRef&)>& paint)
    {
        ZuGrailPixmapRef px = NewPixmap(32, 80, 60);
        pixmaps.push_back(px);
        px->BeginDraw(0, 0, 79, 59);
        paint(px);
        px->EndDraw();
        return px;
    }
    // A title whose tag is 30 x th, left where the box put it.
    void TitleOfHeight(double th)
    {
        bx->SetTitle(ZuStringRef("Cadre"));
        bx->RetTitleTag()->SetSize(30, th);
    }
    ZuBoxViewRef bx;
    std::vector<ZuGrailPixmapRef> pixmaps;
};

} // namespace

TEST_F(BoxViewTest, ANewBoxDrawsTheStandardFrameFromOneAboveItsBox)
{
    EXPECT_TRUE(bx->RetEnableTitle());
    EXPECT_TRUE(bx->RetEnableFrame());
    EXPECT_TRUE(bx->RetTitleTag().IsInvalid());
    EXPECT_EQ(bx->RetBackColor(), ZU_COLOR_NONE);
    EXPECT_EQ(bx->RetFrameColor(), ZU_COLOR_NONE);
    EXPECT_EQ(bx->RetFrameStyle(), ZU_FRAME_STANDARD);
    EXPECT_TRUE(bx->RetTitle().IsInvalid());
    ZuGrailPixmapRef want = Expected(
        [](const ZuGrailPixmapRef& p) { p->RetAdorner()->DrawFrame(ZuRect(10, 9, 69, 49), 0); });
    EXPECT_TRUE(SamePixels(Drawn(), want));
    // With the title disabled the frame follows the top edge.
    bx->SetEnableTitle(false);
    want = Expected(
        [](const ZuGrailPixmapRef& p) { p->RetAdorner()->DrawFrame(ZuRect(10, 10, 69, 49), 0); });
    EXPECT_TRUE(SamePixels(Drawn(), want));
}

TEST_F(BoxViewTest, ATitleSitsCentredOnTheFrameLineOverItsPlate)
{
    bx->SetTitle(ZuStringRef("Cadre"));
    const ZuTextTagRef& tag = bx->RetTitleTag();
    ASSERT_TRUE(tag.IsValid());
    EXPECT_EQ(tag->RetParent(), bx);
    double mw = 0, mh = 0;
    tag->GetMinSize(mw, mh);
    EXPECT_EQ(tag->RetBox(),
              ZuRect(10 + (60 - mw - 4) / 2, 10, 10 + (60 - mw - 4) / 2 + mw + 3, 10 + mh + 1));
    // A title 15 high: the frame's top edge 6 down, the plate and the
    // text over it.
    TitleOfHeight(15);
    const ZuRect t = tag->RetBox();
    ZuGrailPixmapRef want = Expected([&](const ZuGrailPixmapRef& p) {
        p->RetAdorner()->DrawFrame(ZuRect(10, 16, 69, 49), 0);
        p->RetAdorner()->SetForeColor(ZU_COLOR_BACKGROUND);
        p->FillRect(t, 0);
        tag->Draw(p, ZuRect(0, 0, 79, 59), ZU_DRAW_ALL);
    });
    EXPECT_TRUE(SamePixels(Drawn(), want));
    EXPECT_NE(Pixel(want, 12, 16), 0u);
    // Disabled: neither drawn nor measured; the frame back on the top edge.
    bx->SetEnableTitle(false);
    want = Expected(
        [](const ZuGrailPixmapRef& p) { p->RetAdorner()->DrawFrame(ZuRect(10, 10, 69, 49), 0); });
    EXPECT_TRUE(SamePixels(Drawn(), want));
    double w = 0, h = 0, cw = 0, ch = 0;
    bx->GetMinSize(w, h);
    bx->ZuControl::GetMinSize(cw, ch);
    EXPECT_EQ(w, cw + 4);
    EXPECT_EQ(h, ch + 4);
    bx->SetEnableTitle(true);
    bx->GetMinSize(w, h);
    EXPECT_EQ(h, ch + mh + 4);
}

TEST_F(BoxViewTest, FrameStylesDrawTheirOwnLinesAndOnlyLinesTakeTheFrameColour)
{
    bx->SetEnableTitle(false);
    const ZuRect f(10, 10, 69, 49);
    struct Case {
        ZuFrameStyle style;
        ZuLookColor color;
        std::function<void(const ZuGrailPixmapRef&)> paint;
    } const cases[] = {
        {ZU_FRAME_THIN_LINE, ZU_COLOR_BLACK,
         [&](const ZuGrailPixmapRef& p) { p->RetAdorner()->DrawRect(f, ZU_COLOR_BLACK, 0); }},
        {ZU_FRAME_STANDARD, ZU_COLOR_BLACK,
         [&](const ZuGrailPixmapRef& p) { p->RetAdorner()->DrawRect(f, ZU_COLOR_BLACK, 0); }},
        {ZU_FRAME_RECT_HIGH, ZU_COLOR_BLACK,
         [&](const ZuGrailPixmapRef& p) { p->RetAdorner()->DrawRectHigh(f, 0); }},
        {ZU_FRAME_RECT_LOW, ZU_COLOR_BLACK,
         [&](const ZuGrailPixmapRef& p) { p->RetAdorner()->DrawRectLow(f, 0); }},
        {ZU_FRAME_RECT_HIGH, ZU_COLOR_NONE,
         [&](const ZuGrailPixmapRef& p) { p->RetAdorner()->DrawRectHigh(f, 0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ZuFrameStyleRetName(c.style));
        bx->SetFrameStyle(c.style);
        bx->SetFrameColor(c.color);
        EXPECT_TRUE(SamePixels(Drawn(), Expected(c.paint)));
    }
    // The thin line is in the frame colour itself.
    bx->SetFrameStyle(ZU_FRAME_THIN_LINE);
    bx->SetFrameColor(ZU_COLOR_WHITE);
    ZuGrailPixmapRef drawn = Drawn();
    EXPECT_EQ(Pixel(drawn, 10, 30), Pixel(drawn, 69, 49));
    EXPECT_EQ(Pixel(drawn, 10, 30), 0x00FFFFFFu);
    // No frame at all.
    bx->SetEnableFrame(false);
    EXPECT_EQ(CountInked(Drawn()), 0u);
    // A back colour fills the box.
    bx->SetBackColor(ZU_COLOR_WHITE);
    EXPECT_EQ(Pixel(Drawn(), 30, 30), 0x00FFFFFFu);
}

TEST_F(BoxViewTest, AnEmptyBoxMeasuresTheControlsMinimumPlusTheFrame)
{
    bx->SetDesiredMinSize(30, 20);
    double w = 0, h = 0;
    bx->GetMinSize(w, h);
    EXPECT_EQ(w, 34);
    EXPECT_EQ(h, 24);
    bx->SetEnableFrame(false);
    bx->GetMinSize(w, h);
    EXPECT_EQ(w, 30);
    EXPECT_EQ(h, 20);
}

TEST_F(BoxViewTest, StorageAndCopyKeepTheFieldsAndOneTitle)
{
    bx->SetTitle(ZuStringRef("Options"));
    bx->SetEnableFrame(false);
    bx->SetBackColor(ZU_COLOR_WHITE);
    bx->SetFrameColor(ZU_COLOR_BLACK);
    bx->SetFrameStyle(ZU_FRAME_RECT_LOW);
    auto check = [](const ZuBoxViewRef& b) {
        ASSERT_TRUE(b->RetTitleTag().IsValid());
        EXPECT_EQ(b->RetTitleTag()->RetParent(), b);
        EXPECT_EQ(Text(b->RetTitle()), "Options");
        EXPECT_FALSE(b->RetEnableFrame());
        EXPECT_EQ(b->RetBackColor(), ZU_COLOR_WHITE);
        EXPECT_EQ(b->RetFrameColor(), ZU_COLOR_BLACK);
        EXPECT_EQ(b->RetFrameStyle(), ZU_FRAME_RECT_LOW);
        ZuViewRef first, last;
        b->GetFirstChild(first);
        b->GetLastChild(last);
        EXPECT_EQ(first, b->RetTitleTag());
        EXPECT_EQ(last, b->RetTitleTag());
    };
    ZuBoxViewRef read(StoredAndRead(bx));
    ASSERT_TRUE(read.IsValid());
    check(read);
    ZuBoxViewRef copy(bx->Clone());
    check(copy);
    check(bx);
    // By name.
    ZuValueRef v;
    ASSERT_TRUE(bx->QueryData(ZuAtomRef("frame_style"), v));
    EXPECT_EQ(v->RetCard32(), unsigned(ZU_FRAME_RECT_LOW));
    EXPECT_TRUE(bx->DefineData(ZuAtomRef("frame_style"), ZuValueRef(1u)));
    EXPECT_EQ(bx->RetFrameStyle(), ZU_FRAME_THIN_LINE);
    EXPECT_FALSE(bx->DefineData(ZuAtomRef("frame_style"), ZuValueRef(9u)));
    read->Delete();
    copy->Delete();
}
