// The icon buttons of the started program as a user sees them: the tool
// bar's buttons, the tool palette's and a button made anew show their
// icon's picture, the tinted tile framed in grey, inside the button's frame;
// the texts of text buttons and of the zoom field show too.
#include <gtest/gtest.h>

#include "app/button.h"
#include "app/commands.h"
#include "app/toolpalette.h"
#include "si/adorner.h"
#include "si/icon.h"
#include "si/iconrecord.h"
#include "si/lookman.h"
#include "tests/app/shelltest.h"

namespace {

// Whether two 0xRRGGBB colours agree within the rounding of a 16-bit
// window surface.
bool Near(unsigned a, unsigned b)
{
    for (int shift : {0, 8, 16}) {
        const int d = int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF);
        if (d > 8 || d < -8)
            return false;
    }
    return true;
}

class IconButtonsTest : public ShellTest {
protected:
    // Whether the window shows the picture of the button's icon centred in
    // the button's icon view: every pixel the look paints for the icon,
    // drawn alone, is there; and the tile's tint and grey frame are seen.
    ::testing::AssertionResult ShowsItsPicture(const ZuWindowRef& window, const ZuButtonRef& button,
                                               unsigned tint)
    {
        ZuViewRef contents;
        if (!button->GetContents(contents) || !contents->IsKindOf(ZuIconRef::RetRuntime()))
            return ::testing::AssertionFailure() << "no icon view";
        const ZuAtomRef name = ZuIconRef(contents)->RetIcon();
        ZuIconRecordRef record;
        if (!ZuLookMan::Current()->GetIconRecord(name, record, 0))
            return ::testing::AssertionFailure() << "the look has no " << name->RetText();
        double dx = 0, dy = 0;
        record->GetSize(dx, dy);
        const int w = int(dx), h = int(dy);
        double ox = 0, oy = 0;
        window->GetFrameOffset(ox, oy);
        const ZuRect& box = contents->RetBox();
        const int x0 = int(ox + box.X1() + (box.DX() - dx) / 2);
        const int y0 = int(oy + box.Y1() + (box.DY() - dy) / 2);
        ZuGrailPixmapRef alone = NewPixmap(32, dx, dy);
        alone->BeginDraw(0, 0, dx - 1, dy - 1);
        alone->SetForeColor(ZuColorPixel(0x00FF00FFu));
        alone->FillRect(0, 0, dx - 1, dy - 1);
        alone->RetAdorner()->DrawIcon(0, 0, name, ZU_CTRL_STATE_NORMAL, 0, 0);
        alone->EndDraw();
        int painted = 0, differ = 0;
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i) {
                const unsigned p = Pixel(alone, i, j) & 0xFFFFFF;
                if (p == 0xFF00FF)
                    continue;
                ++painted;
                differ += !Near(WindowPixel(window, x0 + i, y0 + j), p);
            }
        alone->Delete();
        const unsigned frame = WindowPixel(window, x0 + 1, y0 + 1);
        const unsigned inside = WindowPixel(window, x0 + 3, y0 + 2);
        if (painted == 0 || differ != 0 || !Near(frame, 0x606060) || !Near(inside, tint))
            return ::testing::AssertionFailure()
                   << name->RetText() << ": " << differ << " of " << painted
                   << " pixels differ; frame " << std::hex << frame << ", inside " << inside;
        return ::testing::AssertionSuccess();
    }
    // The black pixels of a view's box less a margin of 3 (the frames).
    int BlackInside(const ZuWindowRef& window, const ZuViewRef& view)
    {
        double ox = 0, oy = 0;
        window->GetFrameOffset(ox, oy);
        const ZuRect& box = view->RetBox();
        int black = 0;
        for (int y = int(box.Y1()) + 3; y <= int(box.Y2()) - 3; ++y)
            for (int x = int(box.X1()) + 3; x <= int(box.X2()) - 3; ++x)
                black += Near(WindowPixel(window, int(ox) + x, int(oy) + y), 0x000000);
        return black;
    }
};

TEST_F(IconButtonsTest, ToolBarButtonsShowTheirPictures)
{
    const ZuWindowRef& window = Main()->RetWindow();
    const struct {
        const char* name;
        unsigned tint;
    } cases[] = {{"ToolbarFileNew", 0xE8FADC}, {"ToolbarSwapGrid", 0xDCE8FA}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ZuViewRef button;
        ASSERT_TRUE(window->FindUserName(ZuAtomRef(c.name), button));
        EXPECT_TRUE(ShowsItsPicture(window, ZuButtonRef(button), c.tint));
    }
}

TEST_F(IconButtonsTest, ToolPaletteButtonsShowTheirPictures)
{
    CToolPaletteRef tools(app->RetToolPalette());
    ASSERT_TRUE(tools.IsValid());
    int seen = 0;
    for (int n = 0; n < 64; ++n) {
        const CButtonRef button = tools->RetButton(n);
        if (!button.IsValid())
            continue;
        SCOPED_TRACE(n);
        ++seen;
        // Tools below 100 are tinted blue.
        EXPECT_TRUE(ShowsItsPicture(tools->RetWindow(), button, 0xDCE8FA));
    }
    EXPECT_GT(seen, 0);
}

TEST_F(IconButtonsTest, ANewIconButtonShowsItsPicture)
{
    CButtonRef button;
    NewIconButton(button, Main()->RetTopBand(), 300, 20, 23, 23, -1, 222);
    ASSERT_TRUE(button.IsValid());
    button->Display(false);
    Pump();
    EXPECT_TRUE(ShowsItsPicture(Main()->RetWindow(), button, 0xFAECD6));
}

TEST_F(IconButtonsTest, TextsOfButtonsAndFieldsShow)
{
    CButtonRef button;
    NewIconButton(button, Main()->RetTopBand(), 300, 20, 60, 23, -1, -1);
    ASSERT_TRUE(button.IsValid());
    button->SetText(ZuStringRef("Fermer"), ZuTextStyle::none, true);
    button->Display(false);
    Pump();
    EXPECT_GT(BlackInside(Main()->RetWindow(), button), 10);
    // The zoom field shows its percentage.
    EXPECT_GT(BlackInside(Main()->RetWindow(), Main()->RetZoomLine()), 10);
}

} // namespace
