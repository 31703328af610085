// The window sizer: the nine areas of a frame and their cursors, resizing
// drags by the edges and corners, and the middle that lets the pointer
// through to the views under it.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "si/event.h"
#include "si/storageformat.h"
#include "si/winsizer.h"
#include "tests/support/framedwindows.h"
#include "tests/support/storagetest.h"
#include "tests/support/views.h"
#include "w32/winuser.h"

namespace {

class WindowSizerTest : public FramedWindowTest {
protected:
    // An event of the window at (x, y), the left button held or not.
    void Send(const ZuWindowRef& w, ZuEventType type, double x, double y, bool held)
    {
        TProbeEventRef e = TProbeEvent::Make(type, x, y);
        e->In(w).Changed(ZU_EV_BUTTON_LEFT);
        if (held)
            e->Button(ZU_EV_BUTTON_LEFT);
        w->DispatchEvent(e);
        e->Delete();
    }
};

std::string CursorName(const ZuWindowSizerRef& s)
{
    return s->RetCursor()->RetText();
}

} // namespace

TEST_F(WindowSizerTest, SizableStyleGivesAFrameSizerAndTakesItBack)
{
    ZuWindowRef w = Make(100, 100, 200, 100, Style({ZU_WINSTYLE_SIZABLE}));
    ZuWindowSizerRef s = w->RetWindowSizer();
    ASSERT_TRUE(s.IsValid());
    EXPECT_EQ(s->RetType(), ZU_WINSIZER_FRAME);
    EXPECT_EQ(s->RetParent(), w);
    // Frame of 4 at the sides and the bottom, 24 at the top.
    EXPECT_EQ(w->RetFrameGeometry(), ZuRect(-4, -24, 203, 103));
    EXPECT_EQ(s->RetBox(), w->RetFrameGeometry());
    w->SetSize(150, 60);
    EXPECT_EQ(s->RetBox(), ZuRect(-4, -24, 153, 63));

    w->ChangeStyle(ZU_WINSTYLE_SIZABLE, false);
    EXPECT_TRUE(w->RetWindowSizer().IsInvalid());
    EXPECT_TRUE(s->RetParent().IsInvalid());
    w->ChangeStyle(ZU_WINSTYLE_SIZABLE, true);
    EXPECT_EQ(w->RetWindowSizer(), s); // the same sizer comes back
    EXPECT_EQ(s->RetBox(), w->RetFrameGeometry());

    ZuWindowRef plain = Make(0, 0, 50, 50, Style({}));
    EXPECT_TRUE(plain->RetWindowSizer().IsInvalid());
}

TEST_F(WindowSizerTest, AreasAndCursorsFollowTheFrame)
{
    ZuWindowRef w = Make(100, 100, 200, 100, Style({ZU_WINSTYLE_SIZABLE}));
    struct Case {
        double x, y;
        unsigned area;
        const char* cursor;
    };
    const Case cases[] = {
        {-3, 5, 0, "Zuvi_CursorMove\\"},   {-3, 50, 3, "Zuvi_CursorMoveX"},
        {-3, 100, 6, "Zuvi_CursorMove/"},  {202, 5, 2, "Zuvi_CursorMove/"},
        {202, 50, 5, "Zuvi_CursorMoveX"},  {202, 100, 8, "Zuvi_CursorMove\\"},
        {5, -23, 0, "Zuvi_CursorMove\\"},  {100, -23, 1, "Zuvi_CursorMoveY"},
        {195, -23, 2, "Zuvi_CursorMove/"}, {5, 102, 6, "Zuvi_CursorMove/"},
        {100, 102, 7, "Zuvi_CursorMoveY"}, {197, 102, 8, "Zuvi_CursorMove\\"},
        {100, 50, 4, "Zuvi_CursorMoveXY"}, {100, -10, 4, "Zuvi_CursorMoveXY"},
    };
    for (const Case& c : cases) {
        ZuWindowSizerRef s = w->RetWindowSizer();
        ZuWindowSizer::ZuWinSizerDragMode h, v;
        EXPECT_EQ(s->UpdateCursorAndDragMode(c.x, c.y, h, v), c.area) << c.x << "," << c.y;
        s->SelectCursor(c.x, c.y);
        EXPECT_EQ(s->RetArea(), c.area);
        EXPECT_EQ(CursorName(s), c.cursor) << c.x << "," << c.y;
        ZuViewRef found;
        EXPECT_EQ(s->Detect(c.x, c.y, found, false), c.area != 4);
        EXPECT_EQ(found.IsValid(), c.area != 4);
    }
    // Outside the frame nothing is detected.
    ZuViewRef found;
    EXPECT_FALSE(w->RetWindowSizer()->Detect(-5, 50, found, false));
}

TEST_F(WindowSizerTest, DragsResizeByEdgesAndCorners)
{
    ZuWindowRef w = Make(100, 100, 40, 100, Style({ZU_WINSTYLE_SIZABLE}));
    watcher->Watch(w, "notify_window_resized");
    ZuWindowSizerRef s = w->RetWindowSizer();
    // The left edge 50 units right: 1 unit wide, the right edge in place.
    Send(w, ZU_EVENT_MOTION, -3, 50, false);
    Send(w, ZU_EVENT_PRESS, -3, 50, true);
    EXPECT_TRUE(s->IsDragging());
    ZuViewRef dragging;
    EXPECT_TRUE(w->GetDraggingView(dragging));
    EXPECT_EQ(dragging, s);
    Send(w, ZU_EVENT_MOTION, 47, 50, true);
    EXPECT_EQ(w->RetWindowBox(), ZuRect(139, 100, 139, 199));
    EXPECT_TRUE(Reports().empty());
    Send(w, ZU_EVENT_RELEASE, 47, 50, false);
    EXPECT_FALSE(s->IsDragging());
    EXPECT_FALSE(w->GetDraggingView(dragging));
    EXPECT_EQ(Reports(), (std::vector<std::string>{"notify_window_resized"}));

    // The bottom-right corner by (+20, +10), then 5 more each way: the
    // origin stays; the cursor chosen at the press stays through the drag.
    w->SetWindowBox(ZuRect(100, 100, 299, 199));
    Send(w, ZU_EVENT_MOTION, 202, 102, false);
    Send(w, ZU_EVENT_PRESS, 202, 102, true);
    EXPECT_EQ(CursorName(s), "Zuvi_CursorMove\\");
    Send(w, ZU_EVENT_MOTION, 222, 112, true);
    EXPECT_EQ(w->RetWindowBox(), ZuRect(100, 100, 319, 209));
    Send(w, ZU_EVENT_MOTION, 227, 117, true);
    EXPECT_EQ(w->RetWindowBox(), ZuRect(100, 100, 324, 214));
    Send(w, ZU_EVENT_MOTION, 100, 50, true);
    EXPECT_EQ(w->RetWindowBox(), ZuRect(100, 100, 197, 147));
    EXPECT_EQ(CursorName(s), "Zuvi_CursorMove\\");
    EXPECT_EQ(s->RetArea(), 8u);
    Send(w, ZU_EVENT_RELEASE, 100, 50, false);
    // Without a button the cursor follows the areas again.
    Send(w, ZU_EVENT_MOTION, -3, 30, false);
    EXPECT_EQ(CursorName(s), "Zuvi_CursorMoveX");
    Send(w, ZU_EVENT_MOTION, 50, -23, false);
    EXPECT_EQ(CursorName(s), "Zuvi_CursorMoveY");

    // The top edge cannot pass the bottom one; a release without a press
    // reports nothing.
    Reports();
    Send(w, ZU_EVENT_PRESS, 50, -23, true);
    Send(w, ZU_EVENT_MOTION, 50, 500, true);
    EXPECT_EQ(w->RetWindowBox(), ZuRect(100, 147, 197, 147));
    Send(w, ZU_EVENT_RELEASE, 50, 500, false);
    Reports();
    s->ButtonRelease(TProbeEvent::Make(ZU_EVENT_RELEASE));
    EXPECT_TRUE(Reports().empty());
}

// On the screen: a press in the middle reaches the view under the sizer,
// a press on the corner drags the window bigger.
TEST_F(WindowSizerTest, OnTheScreenTheMiddleLetsThroughAndTheCornerResizes)
{
    ZuWindowRef w = ZuNew<ZuWindow>(Zuvi_app_zone);
    windows.push_back(w);
    // A view over the client area, behind the sizer that covers the frame.
    TProbeViewRef under = TProbeView::Make("under", 0, 0, 199, 99);
    under->SetParent(w);
    w->InitGeom(100, 100, 200, 100, ZuStringRef("Fen\xEAtre"), Style({ZU_WINSTYLE_SIZABLE}));
    watcher->Watch(w, "notify_window_resized");
    w->ShowNormal();
    Pump();
    TProbeView::log.clear();
    Mouse(200, 150, MK_LBUTTON);
    Mouse(200, 150, 0);
    EXPECT_NE(TProbeView::log.find("under:ButtonPress"), std::string::npos) << TProbeView::log;
    TProbeView::log.clear();

    // The bottom-right corner is at (302, 202) on the screen.
    Mouse(302, 202, 0);
    Mouse(302, 202, MK_LBUTTON);
    Mouse(322, 212, MK_LBUTTON);
    Mouse(322, 212, 0);
    EXPECT_EQ(TProbeView::log.find("under:ButtonPress"), std::string::npos) << TProbeView::log;
    EXPECT_EQ(w->RetWindowBox(), ZuRect(100, 100, 319, 209));
    EXPECT_EQ(Reports(), (std::vector<std::string>{"notify_window_resized"}));
}

// Handles resize along one axis or both, from the half of the window the
// pointer is in.
TEST_F(WindowSizerTest, HandlesTakeTheirDirectionFromTheHalfOfTheWindow)
{
    ZuWindowRef w = Make(100, 100, 200, 100, Style({}));
    typedef ZuWindowSizer S;
    struct Case {
        ZuWinSizerType type;
        double x, y;
        unsigned area;
        S::ZuWinSizerDragMode h, v;
    };
    const Case cases[] = {
        {ZU_WINSIZER_HANDLE_X, 20, 90, 3, S::ZU_WINSIZER_DRAG_LOW, S::ZU_WINSIZER_DRAG_NONE},
        {ZU_WINSIZER_HANDLE_X, 150, 10, 5, S::ZU_WINSIZER_DRAG_HIGH, S::ZU_WINSIZER_DRAG_NONE},
        {ZU_WINSIZER_HANDLE_Y, 150, 10, 1, S::ZU_WINSIZER_DRAG_NONE, S::ZU_WINSIZER_DRAG_LOW},
        {ZU_WINSIZER_HANDLE_Y, 20, 90, 7, S::ZU_WINSIZER_DRAG_NONE, S::ZU_WINSIZER_DRAG_HIGH},
        {ZU_WINSIZER_HANDLE_X_Y, 20, 10, 0, S::ZU_WINSIZER_DRAG_LOW, S::ZU_WINSIZER_DRAG_LOW},
        {ZU_WINSIZER_HANDLE_X_Y, 150, 10, 2, S::ZU_WINSIZER_DRAG_HIGH, S::ZU_WINSIZER_DRAG_LOW},
        {ZU_WINSIZER_HANDLE_X_Y, 20, 90, 6, S::ZU_WINSIZER_DRAG_LOW, S::ZU_WINSIZER_DRAG_HIGH},
        {ZU_WINSIZER_HANDLE_X_Y, 190, 90, 8, S::ZU_WINSIZER_DRAG_HIGH, S::ZU_WINSIZER_DRAG_HIGH},
    };
    for (const Case& c : cases) {
        ZuWindowSizerRef s = ZuNew<ZuWindowSizer>(Zuvi_app_zone);
        s->SetBox(ZuRect(0, 0, 199, 99));
        s->Initialise(w, c.type);
        // A handle keeps the box its creator gave it.
        EXPECT_EQ(s->RetBox(), ZuRect(0, 0, 199, 99));
        S::ZuWinSizerDragMode h, v;
        EXPECT_EQ(s->UpdateCursorAndDragMode(c.x, c.y, h, v), c.area) << c.type;
        EXPECT_EQ(h, c.h) << c.type;
        EXPECT_EQ(v, c.v) << c.type;
        s->SetParent(ZuViewNull);
        s->Delete();
    }
    // A handle in the lower right corner drags the window bigger.
    ZuWindowSizerRef grip = ZuNew<ZuWindowSizer>(Zuvi_app_zone);
    grip->SetBox(ZuRect(190, 90, 199, 99));
    grip->Initialise(w, ZU_WINSIZER_HANDLE_X_Y);
    Send(w, ZU_EVENT_MOTION, 195, 95, false);
    Send(w, ZU_EVENT_PRESS, 195, 95, true);
    Send(w, ZU_EVENT_MOTION, 205, 99, true);
    Send(w, ZU_EVENT_RELEASE, 205, 99, false);
    EXPECT_EQ(w->RetWindowBox(), ZuRect(100, 100, 309, 203));
}

// A stored window whose client box is off the origin comes back at the
// origin, so that resizing it by its sizer goes on as for any window.
TEST_F(WindowSizerTest, StoredWindowOffTheOriginIsResizedWithoutStopping)
{
    ZuWindowRef w = Make(100, 100, 200, 100, Style({ZU_WINSTYLE_SIZABLE}));
    ZuTestStorageRef out = ZuTestStorage::Make();
    out->StartStoring();
    out->StoreObject(w);
    std::vector<unsigned char> bytes = out->Bytes();
    typedef Zuvi_StorageFormat F;
    const std::vector<unsigned char> box = {F::TYP_REAL_ZERO,
                                            F::TYP_REAL_ZERO,
                                            F::TYP_REAL_INT,
                                            F::TYP_INT8_POS,
                                            199,
                                            F::TYP_REAL_INT,
                                            F::TYP_INT8_POS,
                                            99};
    auto at = std::search(bytes.begin(), bytes.end(), box.begin(), box.end());
    ASSERT_NE(at, bytes.end());
    const std::vector<unsigned char> moved = {F::TYP_REAL_INT, F::TYP_INT8_POS, 5,
                                              F::TYP_REAL_INT, F::TYP_INT8_POS, 5};
    at = bytes.erase(at, at + 2);
    bytes.insert(at, moved.begin(), moved.end());

    ZuTestStorageRef in = ZuTestStorage::Make();
    in->StartRestoring(bytes);
    ZuObjectRef obj;
    in->RestoreObject(obj, ZuWindowRef::RetRuntime());
    ZuWindowRef back(obj);
    ASSERT_TRUE(back.IsValid());
    windows.push_back(back);
    EXPECT_EQ(back->RetBox().X1(), 0);
    EXPECT_EQ(back->RetBox().Y1(), 0);
    Send(back, ZU_EVENT_MOTION, 202, 50, false);
    Send(back, ZU_EVENT_PRESS, 202, 50, true);
    Send(back, ZU_EVENT_MOTION, 212, 50, true);
    Send(back, ZU_EVENT_RELEASE, 212, 50, false);
    double dx = 0, dy = 0;
    back->GetSize(dx, dy);
    EXPECT_EQ(dx, 205); // 195 wide as stored (5 to 199), 10 more
    EXPECT_EQ(back->RetWindowSizer()->RetBox(), back->RetFrameGeometry());
}
