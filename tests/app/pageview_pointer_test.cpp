// What the page view does with the pointer in the main window, as the user
// meets it: the attributes palette follows the object picked with the
// selection tool, the status line shows where the pointer is, and the hand
// drags the page along with the pointer.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>

#include "app/defdlg.h"
#include "app/defview.h"
#include "app/document.h"
#include "app/graarrow.h"
#include "app/patterndef.h"
#include "app/patternlistpane.h"
#include "app/penbasepane.h"
#include "app/pendef.h"
#include "app/positiondef.h"
#include "app/positionpane.h"
#include "app/view.h"
#include "tests/app/pageshelltest.h"

namespace {

class PointerShellTest : public PageShellTest {
protected:
    const ZuWindowRef& Window() const { return Main()->RetWindow(); }
    // The pointer at a window point, with the buttons given.
    void Mouse(double x, double y, unsigned buttons)
    {
        double ox = 0, oy = 0;
        Window()->GetWindowOrigin(ox, oy);
        W32_HeadlessMouse(int(std::lround(ox + x)), int(std::lround(oy + y)), buttons);
        Pump();
    }
    DPoint ViewPoint(DPoint page)
    {
        view->PageToView(page);
        return page;
    }
    CToolPaletteRef Palette() const { return CToolPaletteRef(app->RetToolPalette()); }
    std::string Field(int i) const
    {
        const ZuTextTagRef tag = Main()->RetInfoTag(i);
        return tag.IsValid() && tag->RetText().IsValid() ? tag->RetText()->AccessLatin() : "?";
    }
    static std::string Text(const ZuTextLineRef& line)
    {
        return line.IsValid() && line->RetText().IsValid() ? line->RetText()->AccessLatin() : "?";
    }
    template <class R>
    static R Def(const CGraObjectRef& o, int kind)
    {
        ZuObjectRef d;
        EXPECT_TRUE(o->GetDefinition(kind, d)) << kind;
        return R(d);
    }
    // A prefabricated brush.
    static ZuObjectRef Brush(int number)
    {
        CPatternDefRef brush = Make<CPatternDefRef>();
        EXPECT_TRUE(brush->LoadPrefab(number));
        return ZuObjectRef(brush);
    }
    // What a screen pixel of the window shows at a window point.
    std::uint32_t At(int x, int y)
    {
        ZuRect frame;
        Window()->GetFrameGeometry(frame);
        return WindowPixel(Window(), x - int(frame.X1()), y - int(frame.Y1()));
    }
};

} // namespace

// A rectangle stroked with a brush of its own and with a shadow, then an
// arrow with a plain pen 3 mm wide and no shadow, each picked with a click
// of the selection tool: the cards "Trait" and "Ombre" of "Attributs" show
// the pen, its width or its brush, and the shadow of the object picked.
TEST_F(PointerShellTest, TheAttributesPaletteShowsThePickedObjectsOwnDefinitions)
{
    CGraRectRef rect = Make<CGraRectRef>();
    const DPoint corners[2] = {{-100, -60}, {-75, -20}};
    rect->SetPoints(corners, 2);
    Def<CPenDefRef>(rect, 10)->SetValue(CPenDef::KIND_FANCY);
    Def<CPenDefRef>(rect, 10)->SetWidth(1.5);
    ASSERT_TRUE(rect->SetDefinition(11, Brush(5)));
    CPositionDefRef shadow = Make<CPositionDefRef>();
    shadow->SetValue(CPositionDef::BOTTOM_RIGHT);
    shadow->SetOffsetX(4.0);
    shadow->SetOffsetY(2.5);
    ASSERT_TRUE(rect->SetDefinition(100, shadow));
    Attach(rect);

    CGraArrowRef arrow = Make<CGraArrowRef>();
    arrow->SetHandlePosition(0, DPoint{-100, 10});
    arrow->SetHandlePosition(1, DPoint{-70, 40});
    Def<CPenDefRef>(arrow, 10)->SetValue(CPenDef::KIND_PLAIN);
    Def<CPenDefRef>(arrow, 10)->SetWidth(3.0);
    CPositionDefRef none = Make<CPositionDefRef>();
    none->SetValue(CPositionDef::NO_SHADOW);
    ASSERT_TRUE(arrow->SetDefinition(100, none));
    Attach(arrow);
    view->Redraw(true);
    Pump();

    // The palette "Attributs", then the selection tool, from the palette.
    const CDefDlgRef defs = app->RetDefDlg();
    ASSERT_TRUE(ClickPaletteEntry(Palette(), 30));
    ASSERT_TRUE(defs->RetWindow()->IsVisible());
    // (The objects lie left of where the palette opens.)
    ASSERT_TRUE(ClickPaletteEntry(Palette(), 1));
    ASSERT_TRUE(ClickPaletteEntry(Palette(), 6));
    ASSERT_EQ(view->RetPaletteTool(2), 6);

    const CDefViewRef penCard = defs->RetPane(10), brushCard = defs->RetPane(11),
                      shadowCard = defs->RetPane(100);
    ASSERT_TRUE(penCard.IsValid() && brushCard.IsValid() && shadowCard.IsValid());
    // The card's style button shown pressed, as the definition value it
    // stands for; -1 when none is.
    auto pressed = [](const CDefViewRef& card) {
        int on = -1;
        for (int s = 0; s < CDefView::SLOTS; s++) {
            const ZuViewRef b = card->RetTagged(CDefView::STYLE_TAG + s);
            if (b.IsValid() && b->RetState().TestBit(ZU_VIEW_IS_ON))
                on = card->RetStyleKey(s);
        }
        return on;
    };

    // The rectangle, clicked on its left side.
    DPoint w = ViewPoint(DPoint{-100, -40});
    Click(Window(), std::round(w.x), std::round(w.y));
    ASSERT_EQ(sel->GetSelectedCount(), 1);
    // "Trait fantaisie", and its brush in the brush card's list.
    EXPECT_EQ(pressed(penCard), CPenDef::KIND_FANCY);
    ASSERT_TRUE(brushCard->IsViewEnabled());
    const CPatternListPaneRef brush(ZuObjectRef(brushCard->RetShownPane()));
    ASSERT_TRUE(brush.IsValid());
    EXPECT_EQ(brush->RetList()->RetSelected(), 5);
    // The shadow below on the right, 4 mm across and 2.5 mm down.
    EXPECT_EQ(pressed(shadowCard), CPositionDef::BOTTOM_RIGHT);
    const CPositionPaneRef offsets(ZuObjectRef(shadowCard->RetShownPane()));
    ASSERT_TRUE(offsets.IsValid());
    EXPECT_EQ(Text(offsets->RetXEntry()), "4.00");
    EXPECT_EQ(Text(offsets->RetYEntry()), "2.50");

    // The arrow, clicked in its middle.
    w = ViewPoint(DPoint{-85, 25});
    Click(Window(), std::round(w.x), std::round(w.y));
    ASSERT_EQ(sel->GetSelectedCount(), 1);
    // "Trait simple" 3 mm wide ("Epaisseur"), no brush to choose.
    EXPECT_EQ(pressed(penCard), CPenDef::KIND_PLAIN);
    const CPenBasePaneRef pen(ZuObjectRef(penCard->RetShownPane()));
    ASSERT_TRUE(pen.IsValid());
    EXPECT_EQ(Text(pen->RetWidthEntry()), "3.00");
    EXPECT_FALSE(brushCard->IsViewEnabled());
    // "Pas d'ombre".
    EXPECT_EQ(pressed(shadowCard), CPositionDef::NO_SHADOW);
}

// The pointer over the page, with the grid magnetic and the document in
// centimetres: the first field of the status line reads the magnetised
// point from the rulers' origin (the page's lower-left corner), while the
// pointer moves and while it drags; it is emptied when the pointer leaves
// the page view.
TEST_F(PointerShellTest, TheStatusLineShowsWhereThePointerIsInTheUsersUnits)
{
    view->RetDocument()->SetUnit(0, 24);
    CViewRef settings = view->RetView();
    settings->switches[CView::GRID_MAGNETISM] = true;
    settings->switches[CView::GUIDE_MAGNETISM] = false;
    settings->values[4] = settings->values[5] = 10.0;
    ASSERT_TRUE(ClickPaletteEntry(Palette(), 1));
    ASSERT_TRUE(ClickPaletteEntry(Palette(), 6));
    ASSERT_EQ(Field(0), "");

    // Near (-50, 40) from the page's centre: 5.5 cm right of the page's
    // left edge and 18.85 cm above its foot (A4).
    const DPoint a = ViewPoint(DPoint{-50.8, 41.3}), b = ViewPoint(DPoint{19.6, -70.7});
    Mouse(a.x, a.y, 0);
    EXPECT_EQ(Field(0), "  X=5.500 Y=18.850");
    EXPECT_EQ(Field(1), "  Page 1, Calque A");
    // A rubber band dragged from there: the field follows the drag.
    Mouse(a.x, a.y, MK_LBUTTON);
    Mouse(b.x, b.y, MK_LBUTTON);
    EXPECT_EQ(Field(0), "  X=12.500 Y=7.850");
    Mouse(b.x, b.y, 0);
    EXPECT_EQ(Field(0), "  X=12.500 Y=7.850");

    // Out of the page view, onto the selection field of the status line.
    const ZuRect& info = Main()->RetInfoTag(1)->RetBox();
    Mouse(info.X1() + info.DX() / 2, info.Y1() + info.DY() / 2, 0);
    EXPECT_EQ(Field(0), "");
}

// The hand, from its button under the page: a drag of 20 pixels down in
// two moves takes the page 20 pixels down, as far as the pointer went and
// no further; a drag across, where the whole width of the page lies in the
// view, moves nothing. A mark on the page is looked for on the screen.
TEST_F(PointerShellTest, TheHandMovesThePageWithThePointer)
{
    CViewRef settings = view->RetView();
    const CDocumentRef doc = view->RetDocument();
    // A zoom at which the page is taller than the view and narrower.
    DRect visible;
    view->RetVisibleRect(visible);
    const double z = view->RetZoom();
    const double w = (visible.x2 - visible.x1) * z, h = (visible.y2 - visible.y1) * z;
    const double fit = (h / doc->GetPageHeight() + w / doc->GetPageWidth()) / 2.0;
    ASSERT_LT(h / doc->GetPageHeight(), fit);
    view->SetZoom(fit * 100.0, true);
    view->RetVisibleRect(visible);
    ASSERT_LT(doc->GetPageWidth(), visible.x2 - visible.x1);
    ASSERT_GT(doc->GetPageHeight(), visible.y2 - visible.y1);
    const ZuRect& hand = Main()->RetButton(152)->RetBox();
    Click(Window(), hand.X1() + hand.DX() / 2, hand.Y1() + hand.DY() / 2);
    ASSERT_TRUE(view->IsHandMode());

    // A square outlined 2 mm wide in the middle of the view.
    CTreeNodeRef mark = Rect(-80, -10, -70, 0);
    ZuObjectRef pen;
    ASSERT_TRUE(CGraObjectRef(mark->RetObject())->GetDefinition(10, pen));
    CPenDefRef(pen)->SetWidth(2.0);
    CGraPortRef port = view->RetMainPort();
    CGraObjectRef(mark->RetObject())->UpdateBoundingBox(port);
    view->CentreOn(DPoint{-75, -5});
    view->Redraw(true);
    Pump();
    auto dark = [](std::uint32_t p) {
        return (p & 0xFF) < 0x40 && ((p >> 8) & 0xFF) < 0x40 && ((p >> 16) & 0xFF) < 0x40;
    };
    // The inner side of the square's top and left outlines, as the screen
    // shows them: the first dark pixel up and left from a point inside.
    auto topFrom = [&](int x, int y) {
        for (int i = y; i > y - 200; i--)
            if (dark(At(x, i)))
                return i;
        return -1;
    };
    auto leftFrom = [&](int x, int y) {
        for (int i = x; i > x - 200; i--)
            if (dark(At(i, y)))
                return i;
        return -1;
    };
    const DPoint c = ViewPoint(DPoint{-75, -5});
    const int cx = int(std::lround(c.x)), cy = int(std::lround(c.y));
    const int top = topFrom(cx, cy), left = leftFrom(cx, cy);
    ASSERT_GT(top, cy - 100);
    ASSERT_GT(left, cx - 100);
    const double x0 = settings->x, y0 = settings->y;

    // Down by 20 pixels in two moves of 10, from a press beside the square.
    const double px = c.x + 80, py = c.y;
    Mouse(px, py, 0);
    Mouse(px, py, MK_LBUTTON);
    Mouse(px, py + 10, MK_LBUTTON);
    Mouse(px, py + 20, MK_LBUTTON);
    Mouse(px, py + 20, 0);
    EXPECT_EQ(settings->x, x0);
    EXPECT_LT(settings->y, y0);
    EXPECT_NEAR(ViewPoint(DPoint{-75, -5}).y, c.y + 20, 1e-6);
    EXPECT_EQ(topFrom(cx, cy + 20), top + 20);
    EXPECT_EQ(leftFrom(cx, cy + 20), left);

    // Across by 30 pixels in two moves: the page's width fits in the view.
    const DPoint before = ViewPoint(DPoint{-75, -5});
    const double y1 = settings->y;
    Mouse(px, py, 0);
    Mouse(px, py, MK_LBUTTON);
    Mouse(px + 15, py, MK_LBUTTON);
    Mouse(px + 30, py, MK_LBUTTON);
    Mouse(px + 30, py, 0);
    EXPECT_EQ(settings->x, x0);
    EXPECT_EQ(settings->y, y1);
    const DPoint after = ViewPoint(DPoint{-75, -5});
    EXPECT_EQ(after.x, before.x);
    EXPECT_EQ(after.y, before.y);
    EXPECT_EQ(topFrom(cx, cy + 20), top + 20);
    EXPECT_EQ(leftFrom(cx, cy + 20), left);
}
