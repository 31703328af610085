// The selection's transform box and handles in the program's main window,
// as a user meets them: objects picked and handles dragged with the
// pointer, the box's modes chosen on the tool palette, and what the screen
// window shows read back pixel by pixel.
#include <gtest/gtest.h>

#include "app/grarect.h"
#include "app/pageview.h"
#include "app/selectobject.h"
#include "app/toolpalette.h"
#include "app/tree.h"
#include "app/treenode.h"
#include "app/view.h"
#include "si/classfactory.h"
#include "tests/app/shelltest.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

class SelectBoxTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        if (HasFatalFailure())
            return;
        view = CPageViewRef(Main()->RetPageView());
        ASSERT_TRUE(view.IsValid());
        palette = CToolPaletteRef(view->RetToolPalette(0));
        ASSERT_TRUE(palette.IsValid());
        W32_HeadlessMoveBySystem(Hwnd(Main()->RetWindow()), RECT{fx, fy, fx + 900, fy + 700});
        Pump();
        Main()->RetWindow()->GetWindowOrigin(ox, oy);
        // The selection tool, chosen on the palette.
        ClickEntry(1);
        ClickEntry(6);
        ASSERT_EQ(view->RetPaletteTool(2), 6);
    }
    void TearDown() override
    {
        view = CPageViewRef();
        palette = CToolPaletteRef();
        ShellTest::TearDown();
    }
    // The pointer at a point of the main window with the MK_ buttons held.
    void At(double x, double y, unsigned buttons)
    {
        W32_HeadlessMouse(int(ox + x), int(oy + y), buttons);
        Pump();
    }
    void ClickAt(double x, double y)
    {
        At(x, y, 0);
        At(x, y, MK_LBUTTON);
        At(x, y, 0);
    }
    // A click in the middle of the palette's entry for the code.
    void ClickEntry(int code)
    {
        if (!ClickPaletteEntry(palette, code))
            ADD_FAILURE() << "no palette entry " << code;
    }
    // What the screen window shows at a point of the main window.
    std::uint32_t Pixel(int x, int y)
    {
        return WindowPixel(Main()->RetWindow(), int(ox) + x - fx, int(oy) + y - fy);
    }
    DPoint ViewPoint(const DPoint& page)
    {
        DPoint p = page;
        view->PageToView(p);
        return p;
    }
    DPoint Page(double x, double y)
    {
        DPoint p{x, y};
        view->ViewToPage(p);
        return p;
    }
    CTreeNodeRef Layer()
    {
        const CViewRef settings = view->RetView();
        CTreeNodeRef n;
        view->RetDocument()->GetTree()->GetNode(n, settings->current_page, settings->current_layer);
        return n;
    }
    // A rectangle of the current layer between two points of the window,
    // shown on the screen.
    CTreeNodeRef Rect(double x1, double y1, double x2, double y2)
    {
        CGraRectRef r(ZuObjectRef(ZuClassFactory::New(CGraRectRef::RetRuntime(), nullptr, __LINE__,
                                                      "selectbox_shell_test")));
        const DPoint corners[2] = {Page(x1, y1), Page(x2, y2)};
        r->SetPoints(corners, 2);
        CTreeNodeRef n(ZuObjectRef(ZuClassFactory::New(CTreeNodeRef::RetRuntime(), nullptr,
                                                       __LINE__, "selectbox_shell_test")));
        n->SetObject(r);
        n->InsertLastChild(Layer());
        CGraPortRef port = view->RetMainPort();
        r->UpdateBoundingBox(port);
        view->Redraw(true);
        Pump();
        return n;
    }
    static CGraObjectRef Object(const CTreeNodeRef& n) { return CGraObjectRef(n->RetObject()); }
    // The object of the layer's only child (a transform replaces the node).
    CGraObjectRef Only()
    {
        EXPECT_EQ(Layer()->CountChildren(), 1);
        return Object(Layer()->RetFirstChild());
    }
    // The red of the handles' pictures (not the pure red that outlines a
    // dark selected object).
    static bool IsRed(std::uint32_t p)
    {
        const unsigned r = p >> 16 & 0xFF, g = p >> 8 & 0xFF, b = p & 0xFF;
        return r >= 0xC0 && r <= 0xF0 && g >= 0x10 && g <= 0x48 && b >= 0x10 && b <= 0x48;
    }
    static bool IsBlack(std::uint32_t p)
    {
        return (p >> 16 & 0xFF) < 60 && (p >> 8 & 0xFF) < 60 && (p & 0xFF) < 60;
    }
    // Whether the picture of a handle of the style stands centred on the
    // window point: its red and its black ring at the same distances on
    // either side, across and down.
    ::testing::AssertionResult HandleShownAt(int style, const DPoint& at)
    {
        const int x = int(std::floor(at.x)), y = int(std::floor(at.y));
        // Distance from the centre: red inside, black ring (or, for the
        // rotation centre's ring, red again).
        struct Mark {
            int d;
            bool red;
        };
        std::vector<Mark> marks;
        switch (style) {
        case 2: // the corners: 9 pixels
            marks = {{0, true}, {3, true}, {4, false}};
            break;
        case 3: // the edges: 7 pixels
            marks = {{0, true}, {2, true}, {3, false}};
            break;
        default: // the rotation centre: a red ring of 9 pixels
            marks = {{3, true}};
            break;
        }
        for (const Mark& m : marks)
            for (const auto& o :
                 {std::pair{m.d, 0}, std::pair{-m.d, 0}, std::pair{0, m.d}, std::pair{0, -m.d}}) {
                const std::uint32_t p = Pixel(x + o.first, y + o.second);
                if (m.red ? !IsRed(p) : !IsBlack(p))
                    return ::testing::AssertionFailure()
                           << "handle of style " << style << " at " << x << "," << y << ": pixel "
                           << x + o.first << "," << y + o.second << " is " << std::hex << p;
            }
        return ::testing::AssertionSuccess();
    }

    CPageViewRef view;
    CToolPaletteRef palette;
    // The main window's frame on the screen, and where its points start.
    const int fx = 20, fy = 20;
    double ox = 0, oy = 0;
};

// The box's handle points of a rectangle frame in each mode, by handle
// number, and the style of each (2 corner, 3 edge, 5 rotation centre).
struct ModeCase {
    int code;
    std::vector<int> styles;
};

std::vector<DPoint> BoxHandles(int code, const DRect& b)
{
    // Corners 0 and 1 opposite, 2 and 3 opposite; around the box 0, 3, 1, 2.
    const DPoint c[4] = {{b.x1, b.y1}, {b.x2, b.y2}, {b.x1, b.y2}, {b.x2, b.y1}};
    auto mid = [](const DPoint& p, const DPoint& q) {
        return DPoint{(p.x + q.x) / 2, (p.y + q.y) / 2};
    };
    auto along = [](const DPoint& p, const DPoint& q, double t) {
        return DPoint{p.x + (q.x - p.x) * t, p.y + (q.y - p.y) * t};
    };
    std::vector<DPoint> out(c, c + 4);
    if (code == 90)
        for (const auto& e : {std::pair{0, 3}, std::pair{1, 2}, std::pair{0, 2}, std::pair{1, 3}})
            out.push_back(mid(c[e.first], c[e.second]));
    if (code == 91)
        out.push_back(mid(c[0], c[1]));
    if (code == 95) {
        const int around[5] = {0, 3, 1, 2, 0};
        for (int k = 0; k < 4; k++) {
            out.push_back(along(c[around[k]], c[around[k + 1]], 1.0 / 3.0));
            out.push_back(along(c[around[k + 1]], c[around[k]], 1.0 / 3.0));
        }
    }
    return out;
}

} // namespace

// One object chosen after a box of two: each transform mode shows it in the
// box fitted to its own frame, with every handle of the mode on it, the
// edge points of the curved deformation on the edges before any press.
TEST_F(SelectBoxTest, OneObjectIsShownInABoxFittedToItInEveryMode)
{
    const CTreeNodeRef small = Rect(300.5, 250.5, 421.5, 331.5);
    Rect(560, 420, 640, 500);
    // A band around both: the box of two.
    At(250, 200, 0);
    At(250, 200, MK_LBUTTON);
    At(450, 350, MK_LBUTTON);
    At(700, 560, MK_LBUTTON);
    At(700, 560, 0);
    ASSERT_EQ(view->RetSelectObject()->GetSelectedCount(), 2);
    // Then the one object alone: its own handles, no transform mode on.
    ClickAt(150, 617);
    ClickAt(301, 290);
    ASSERT_EQ(view->RetSelectObject()->GetSelectedCount(), 1);
    EXPECT_EQ(view->RetPaletteTool(3), -1);

    const std::vector<ModeCase> cases = {
        {90, {2, 2, 2, 2, 3, 3, 3, 3}},
        {91, {2, 2, 2, 2, 5}},
        {92, {2, 2, 2, 2}},
        {95, {2, 2, 2, 2, 3, 3, 3, 3, 3, 3, 3, 3}},
    };
    for (const ModeCase& c : cases) {
        SCOPED_TRACE("mode " + std::to_string(c.code));
        ClickEntry(c.code);
        // The pointer away from the object and off every handle's row and
        // column.
        At(150, 617, 0);
        EXPECT_EQ(view->RetPaletteTool(3), c.code);
        const DRect frame = Object(small)->GetBoundingBox();
        const std::vector<DPoint> points = BoxHandles(c.code, frame);
        ASSERT_EQ(points.size(), c.styles.size());
        for (size_t i = 0; i < points.size(); i++)
            EXPECT_TRUE(HandleShownAt(c.styles[i], ViewPoint(points[i]))) << "handle " << i;
    }
}

// A press in the middle of a handle's picture grabs the handle: the
// object's corner follows the pointer and the opposite corner stays.
TEST_F(SelectBoxTest, APressOnAHandlesPictureResizesTheObject)
{
    // Corners between pixels, where a picture off by a few pixels misses.
    const CTreeNodeRef node = Rect(300.7, 250.7, 420.7, 330.7);
    ClickAt(301, 290);
    ASSERT_EQ(view->RetSelectObject()->GetSelectedCount(), 1);
    // The picture of the upper right corner's handle, found on the screen:
    // the middle of its red.
    const DRect before = Object(node)->GetBoundingBox();
    const DPoint corner = ViewPoint(DPoint{before.x2, before.y2});
    int x1 = 10000, x2 = -1, y1 = 10000, y2 = -1;
    for (int y = int(corner.y) - 12; y <= int(corner.y) + 12; y++)
        for (int x = int(corner.x) - 12; x <= int(corner.x) + 12; x++)
            if (IsRed(Pixel(x, y))) {
                x1 = std::min(x1, x), x2 = std::max(x2, x);
                y1 = std::min(y1, y), y2 = std::max(y2, y);
            }
    ASSERT_GE(x2, 0) << "no handle near " << corner.x << "," << corner.y;
    const int mx = (x1 + x2) / 2, my = (y1 + y2) / 2;
    At(mx, my, 0);
    At(mx, my, MK_LBUTTON);
    At(mx + 15, my + 10, MK_LBUTTON);
    At(mx + 30, my + 20, MK_LBUTTON);
    At(mx + 30, my + 20, 0);
    const DRect after = Only()->GetBoundingBox();
    const DPoint a1 = ViewPoint(DPoint{after.x1, after.y1});
    const DPoint b1 = ViewPoint(DPoint{before.x1, before.y1});
    const DPoint a2 = ViewPoint(DPoint{after.x2, after.y2});
    EXPECT_NEAR(a1.x, b1.x, 0.01);
    EXPECT_NEAR(a1.y, b1.y, 0.01);
    EXPECT_NEAR(a2.x, corner.x + 30, 1.0);
    EXPECT_NEAR(a2.y, corner.y + 20, 1.0);
}

// The rotation entry with one object chosen shows it in the box with the
// rotation handles; a corner dragged a quarter turn about the box's centre
// turns the object a quarter turn, and the entry stays on.
TEST_F(SelectBoxTest, ACornerDraggedInTheRotationModeTurnsTheObject)
{
    // 120 by 60 about (400, 300).
    const CTreeNodeRef node = Rect(340, 270, 460, 330);
    ClickAt(340, 300);
    ASSERT_EQ(view->RetSelectObject()->GetSelectedCount(), 1);
    ClickEntry(91);
    EXPECT_EQ(palette->GetToolState(91), 1);
    EXPECT_EQ(palette->GetToolState(90), 0);
    const CGraObjectRef rect = Object(node);
    std::vector<DPoint> before;
    for (int i = 0; i < rect->GetHandleCount(); i++) {
        DPoint h;
        if (rect->GetHandleType(i) == 2 && rect->GetHandle(i, h))
            before.push_back(ViewPoint(h));
    }
    ASSERT_EQ(before.size(), 4u);
    const DRect frame = rect->GetBoundingBox();
    const DPoint centre = ViewPoint(DPoint{(frame.x1 + frame.x2) / 2, (frame.y1 + frame.y2) / 2});
    const DPoint press = ViewPoint(DPoint{frame.x2, frame.y1});
    // A quarter turn of the pressed corner about the centre, through the
    // eighth turn between.
    auto turn = [&](const DPoint& p, double a) {
        const double dx = p.x - centre.x, dy = p.y - centre.y;
        return DPoint{centre.x + dx * std::cos(a) - dy * std::sin(a),
                      centre.y + dx * std::sin(a) + dy * std::cos(a)};
    };
    const double quarter = std::acos(-1.0) / 2;
    const int px = int(std::floor(press.x)), py = int(std::floor(press.y));
    const DPoint half = turn(DPoint{double(px), double(py)}, quarter / 2);
    const DPoint end = turn(DPoint{double(px), double(py)}, quarter);
    At(px, py, 0);
    At(px, py, MK_LBUTTON);
    At(std::lround(half.x), std::lround(half.y), MK_LBUTTON);
    At(std::lround(end.x), std::lround(end.y), MK_LBUTTON);
    At(std::lround(end.x), std::lround(end.y), 0);

    // The angle that the pointer's whole pixels give.
    const double angle = std::atan2(std::lround(end.y) - centre.y, std::lround(end.x) - centre.x) -
                         std::atan2(py - centre.y, px - centre.x);
    EXPECT_NEAR(angle, quarter, 0.02);
    const CGraObjectRef turned = Only();
    std::vector<DPoint> after;
    for (int i = 0; i < turned->GetHandleCount(); i++) {
        DPoint h;
        if (turned->GetHandleType(i) == 2 && turned->GetHandle(i, h))
            after.push_back(ViewPoint(h));
    }
    ASSERT_EQ(after.size(), 4u);
    // Every corner turned by that angle about the centre stands on one of
    // the turned object's corners.
    for (const DPoint& p : before) {
        const DPoint want = turn(p, angle);
        double nearest = 1e9;
        for (const DPoint& q : after)
            nearest = std::min(nearest, std::hypot(q.x - want.x, q.y - want.y));
        EXPECT_LT(nearest, 0.01) << p.x << "," << p.y << " -> " << want.x << "," << want.y;
    }
    // The rotation entry stays on while the turned object stays chosen.
    EXPECT_EQ(view->RetPaletteTool(3), 91);
    EXPECT_TRUE(view->RetSelectObject()->IsBoxShown());
}
