// Push buttons: defaults, the layout of icon, contents and shortcut in the
// inbox, the pressed look while held, the flat look, copies and storage.

#include <gtest/gtest.h>

#include <algorithm>

#include "si/button.h"
#include "si/lookman.h"
#include "si/memzone.h"
#include "si/values.h"
#include "tests/support/controls.h"
#include "tests/support/views.h"

namespace {

class ButtonTest : public ControlTest {
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        button = ZuNew<ZuButton>(Zuvi_app_zone);
        button->SetBox(ZuRect(0, 0, 99, 19));
        button->SetParent(w);
    }
    static ZuViewRef Sub(double dx, double dy)
    {
        ZuViewRef v = TProbeView::Make("sub", 0, 0, dx - 1, dy - 1);
        return v;
    }
    static ZuRect BoxOf(const ZuViewRef& v) { return v->RetBox(); }
    ZuButtonRef button;
};

void ExpectBox(const ZuRect& r, double x1, double y1, double dx, double dy)
{
    EXPECT_EQ(r.X1(), x1);
    EXPECT_EQ(r.Y1(), y1);
    EXPECT_EQ(r.DX(), dx);
    EXPECT_EQ(r.DY(), dy);
}

} // namespace

TEST_F(ButtonTest, ANewButtonHasItsStyleLookNamesAndColour)
{
    ZuCtrlStyle expected;
    expected.SetBit(ZU_CTRL_HILITE_WHEN_ON);
    expected.SetBit(ZU_CTRL_EFFECT_WHEN_CLICKED);
    expected.SetBit(ZU_CTRL_DRAW_RELIEF);
    EXPECT_EQ(button->RetStyle(), expected);
    EXPECT_EQ(button->RetBackAdornerName(), ZuAtomRef("Zuvi_Button"));
    EXPECT_EQ(button->RetForeAdornerName(), ZuAtomRef("Zuvi_ButtonCap"));
    EXPECT_EQ(static_cast<ZuLookColor>(button->RetBackColor()), ZU_COLOR_BACKGROUND);
    EXPECT_EQ(button->RetLeftMargin(), 0);
    ZuViewRef none;
    EXPECT_FALSE(button->GetIcon(none));
    // Without sub-views: 2E + press offset both ways (E = 2, press 1).
    double dx = 0, dy = 0;
    button->GetMinSize(dx, dy);
    EXPECT_EQ(dx, 5);
    EXPECT_EQ(dy, 5);
    // Any state fills with the background colour.
    ZuLookColor color = ZU_COLOR_NONE;
    button->ChangeState(ZU_VIEW_IS_ON, true, false);
    EXPECT_TRUE(button->MapStateToBackColor(color));
    EXPECT_EQ(color, ZU_COLOR_BACKGROUND);
}

TEST_F(ButtonTest, ContentsFillTheInboxAndMoveByThePressOffsetWhileHeld)
{
    ZuViewRef contents = Sub(10, 10);
    button->SetContents(contents);
    ExpectBox(BoxOf(contents), 2, 2, 95, 15);
    EXPECT_FALSE(button->RetStyle().TestBit(ZU_CTRL_DRAW_INVERT));
    Mouse(50, 10, 0);
    Mouse(50, 10, MK_LBUTTON);
    ExpectBox(BoxOf(contents), 3, 3, 95, 15);
    EXPECT_TRUE(button->RetStyle().TestBit(ZU_CTRL_DRAW_INVERT));
    Mouse(50, 10, 0);
    ExpectBox(BoxOf(contents), 2, 2, 95, 15);
    EXPECT_FALSE(button->RetStyle().TestBit(ZU_CTRL_DRAW_INVERT));
    // Clicks never reach the sub-view.
    EXPECT_TRUE(contents->RetState().TestBit(ZU_VIEW_NO_DETECT));
}

TEST_F(ButtonTest, IconAndShortcutTakeTheirRoomBesideOrOverTheContents)
{
    struct Case {
        bool icon_overlay, shortcut_overlay;
        double left_margin;
        double contents_x, contents_dx;
    } const cases[] = {
        {false, false, 0, 22, 75 - 14},
        {true, false, 0, 2, 95 - 14},
        {false, true, 0, 22, 75},
        {false, false, 3, 25, 75 - 14 - 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        ZuViewRef contents = Sub(10, 10), icon = Sub(16, 16), shortcut = Sub(10, 8);
        button->SetIconOverlayMode(c.icon_overlay);
        button->SetShortcutOverlayMode(c.shortcut_overlay);
        button->SetLeftMargin(c.left_margin);
        button->SetIcon(icon);
        button->SetShortcut(shortcut);
        button->SetContents(contents);
        ExpectBox(BoxOf(contents), c.contents_x, 2, c.contents_dx, 15);
        // The icon sits at the left of the inbox, centred; the shortcut at
        // the right.
        ExpectBox(BoxOf(icon), 2, (15 - 16) / 2.0 + 2, 16, 16);
        ExpectBox(BoxOf(shortcut), 99 - 14 - 2, (15 - 8) / 2.0 + 2, 10, 8);
        // The icon and shortcut stay in front of the contents.
        ZuViewRef last;
        button->GetLastChild(last);
        EXPECT_EQ(last, shortcut);
        // Minimum: 2E + the sub-views' own minimum widths (+ 4 for the
        // icon and the shortcut) + press offset; the margins and overlays
        // do not count.
        double cw, ch, iw, ih, sw, sh, dx = 0, dy = 0;
        contents->GetMinSize(cw, ch);
        icon->GetMinSize(iw, ih);
        shortcut->GetMinSize(sw, sh);
        button->GetMinSize(dx, dy);
        EXPECT_EQ(dx, 4 + cw + iw + 4 + sw + 4 + 1);
        EXPECT_EQ(dy, 4 + std::max(ch, std::max(ih, sh)) + 1);
        button->SetIcon(ZuViewRef());
        button->SetShortcut(ZuViewRef());
        button->SetContents(ZuViewRef());
        EXPECT_TRUE(icon->RetParent().IsInvalid());
        for (ZuViewRef v : {contents, icon, shortcut})
            v->Delete();
    }
    // Only an icon 16 wide: the contents start at 22, 75 wide.
    ZuViewRef icon = Sub(16, 16), contents = Sub(10, 10);
    button->SetIconOverlayMode(false);
    button->SetLeftMargin(0);
    button->SetIcon(icon);
    button->SetContents(contents);
    ExpectBox(BoxOf(contents), 22, 2, 75, 15);
}

TEST_F(ButtonTest, ATextWithoutReliefIsFlatAndHighlightsWhileClicked)
{
    ASSERT_TRUE(button->SetText(ZuStringRef("Annuler"), ZuTextStyle::none, false));
    const ZuViewRef& tag = button->RetContents();
    ASSERT_TRUE(tag.IsValid());
    ZuValueRef text, style;
    ASSERT_TRUE(tag->QueryData(ZuAtomRef("text"), text));
    EXPECT_EQ(ZuStringRef(text)->CompareWith("Annuler", true), 0);
    ASSERT_TRUE(tag->QueryData(ZuAtomRef("text_style"), style));
    EXPECT_EQ(Zuvi_ValueToZuTextStyle(style),
              ZuTextStyle(ZU_TEXT_HPOS_CENTER, ZU_TEXT_VPOS_CENTER));
    EXPECT_FALSE(button->RetStyle().TestBit(ZU_CTRL_DRAW_RELIEF));
    EXPECT_FALSE(button->RetStyle().TestBit(ZU_CTRL_EFFECT_WHEN_CLICKED));
    EXPECT_TRUE(button->RetStyle().TestBit(ZU_CTRL_HILITE_WHEN_CLICKED));
    button->SetBackColor(ZuColorPixel(ZU_COLOR_NONE));
    w->Display(false);

    unsigned hilite = 0;
    ZuLookMan::Current()->GetColorCompactRGB(ZU_COLOR_HILITE_CLICKED, hilite);
    const unsigned rest = WindowPixel(1, 1);
    EXPECT_NE(rest, hilite & 0xFFFFFF);
    Mouse(50, 10, 0);
    Mouse(50, 10, MK_LBUTTON);
    // Flat: filled to the edge, no relief.
    EXPECT_EQ(WindowPixel(0, 0), hilite & 0xFFFFFF);
    EXPECT_EQ(WindowPixel(99, 19), hilite & 0xFFFFFF);
    Mouse(50, 10, 0);
    EXPECT_EQ(WindowPixel(0, 0), rest);
}

TEST_F(ButtonTest, CopiesCloneTheSubViewsAndStorageKeepsThem)
{
    ZuViewRef contents = Sub(10, 10), icon = Sub(16, 16);
    button->SetContents(contents);
    button->SetIcon(icon);
    button->SetRightMargin(2);
    button->SetBackColor(ZuColorPixel(ZU_COLOR_HILITE_ON));
    ZuButtonRef copy(button->Clone());
    ASSERT_TRUE(copy.IsValid());
    ASSERT_TRUE(copy->RetContents().IsValid());
    EXPECT_NE(copy->RetContents(), contents);
    EXPECT_EQ(copy->RetContents()->RetParent(), copy);
    ASSERT_TRUE(copy->RetIcon().IsValid());
    EXPECT_NE(copy->RetIcon(), icon);
    EXPECT_EQ(copy->RetRightMargin(), 2);
    EXPECT_EQ(static_cast<ZuLookColor>(copy->RetBackColor()), ZU_COLOR_HILITE_ON);
    // The original keeps its own sub-views, icon last.
    EXPECT_EQ(contents->RetParent(), button);
    ZuViewRef last;
    button->GetLastChild(last);
    EXPECT_EQ(last, icon);
    unsigned children = 0;
    ZuViewRef c;
    for (bool more = copy->GetFirstChild(c); more; more = c->GetNextSibling(c))
        ++children;
    EXPECT_EQ(children, 2u);

    ZuButtonRef back(StoreAndRestore(button));
    ASSERT_TRUE(back.IsValid());
    ASSERT_TRUE(back->RetContents().IsValid());
    EXPECT_EQ(back->RetContents()->RetParent(), back);
    EXPECT_EQ(back->RetRightMargin(), 2);
    copy->Delete();
    back->Delete();
}

TEST_F(ButtonTest, StoredSubViewsThatAreNotChildrenAreNotTakenBack)
{
    // Stored data may name any view as a sub-view: only the button's own
    // children are taken, anything else leaves the place empty.
    ZuViewRef icon = Sub(16, 16), contents = Sub(10, 10);
    button->SetIcon(icon);
    button->SetContents(contents);
    icon->SetParent(ZuViewNull);
    ZuButtonRef back(StoreAndRestore(button));
    ASSERT_TRUE(back.IsValid());
    EXPECT_TRUE(back->RetIcon().IsInvalid());
    ASSERT_TRUE(back->RetContents().IsValid());
    EXPECT_EQ(back->RetContents()->RetParent(), back);
    back->Delete();
    icon->Delete();
}
