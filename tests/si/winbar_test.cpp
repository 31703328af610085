// The window bar: its place on the frame, its buttons made and placed from
// the style's bits, dragging the window by it, its close and reduce
// buttons, and its look on the screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "si/classfactory.h"
#include "si/event.h"
#include "si/except.h"
#include "si/lookman.h"
#include "si/texttag.h"
#include "si/winbar.h"
#include "si/winsizer.h"
#include "tests/support/framedwindows.h"
#include "tests/support/storagetest.h"
#include "tests/support/views.h"
#include "w32/headless.h"
#include "w32/winuser.h"

namespace {

typedef std::vector<std::string> Names;

class WindowBarTest : public FramedWindowTest {
protected:
    void Send(const ZuWindowRef& w, ZuEventType type, double x, double y, bool held)
    {
        TProbeEventRef e = TProbeEvent::Make(type, x, y);
        e->In(w).Changed(ZU_EV_BUTTON_LEFT);
        if (held)
            e->Button(ZU_EV_BUTTON_LEFT);
        w->DispatchEvent(e);
        e->Delete();
    }
    // Whether the classes the bar makes by name are there.
    static bool HasControls()
    {
        ZuRuntimeRef rt;
        return ZuClassFactory::GetClass("ZuButton", rt) && ZuClassFactory::GetClass("ZuIcon", rt) &&
               ZuClassFactory::GetClass("ZuTextTag", rt);
    }
};

ZuWinBarButton Buttons(std::initializer_list<ZuWinBarButtonBit> bits)
{
    ZuWinBarButton b;
    for (ZuWinBarButtonBit bit : bits)
        b.SetBit(bit);
    return b;
}

} // namespace

TEST_F(WindowBarTest, ThicknessAndBoxFollowTheFrameAndTheLayout)
{
    ZuWindowBarRef loose = ZuNew<ZuWindowBar>(Zuvi_app_zone);
    EXPECT_EQ(loose->RetThickness(), 16);
    EXPECT_EQ(loose->RetIconSize(), 12);
    loose->SetButtonAndMode(Buttons({ZU_WINBAR_MODE_LARGE}));
    EXPECT_EQ(loose->RetThickness(), 19);
    EXPECT_EQ(loose->RetIconSize(), 15);
    EXPECT_EQ(loose->RetInternalLayout(), ZU_WINBAR_LAYOUT_TOP);
    EXPECT_TRUE(loose->RetState().TestBit(ZU_VIEW_IS_FRAME_WIDGET));
    loose->Delete();

    // A framed window: frame of 3 at the sides and the bottom, 23 at the
    // top; the bar fills the top below a border of 3 and ends at y = -2.
    ZuWindowRef w = Make(100, 100, 200, 100, Style({ZU_WINSTYLE_CLOSE_BUTTON}));
    ZuWindowBarRef bar = w->RetWindowBar();
    ASSERT_TRUE(bar.IsValid());
    EXPECT_EQ(bar->RetParent(), w);
    EXPECT_EQ(w->RetFrameGeometry(), ZuRect(-3, -23, 202, 102));
    EXPECT_EQ(bar->RetThickness(), 19);
    EXPECT_EQ(bar->RetBox(), ZuRect(0, -20, 199, -2));
    EXPECT_EQ(bar->RetButtonAndMode(), Buttons({ZU_WINBAR_BUTTON_CLOSE, ZU_WINBAR_MODE_LARGE}));
    w->SetSize(150, 60);
    EXPECT_EQ(bar->RetBox(), ZuRect(0, -20, 149, -2));

    // A tool window follows the application and has a small caption.
    ZuWindowRef tool = Make(0, 0, 80, 40, Style({ZU_WINSTYLE_TOOL}));
    EXPECT_EQ(tool->RetWindowBar()->RetButtonAndMode(), Buttons({ZU_WINBAR_MODE_APP_ACTIVE}));
    EXPECT_EQ(tool->RetWindowBar()->RetThickness(), 16);

    struct Case {
        ZuWinBarLayout layout;
        ZuRect box;
    };
    for (Case c : {Case{ZU_WINBAR_LAYOUT_DEFAULT, ZuRect(0, -20, 149, -2)},
                   Case{ZU_WINBAR_LAYOUT_TOP, ZuRect(0, -20, 149, -2)},
                   Case{ZU_WINBAR_LAYOUT_BOTTOM, ZuRect(0, 40, 149, 58)},
                   Case{ZU_WINBAR_LAYOUT_LEFT, ZuRect(0, 0, 18, 59)},
                   Case{ZU_WINBAR_LAYOUT_RIGHT, ZuRect(130, 0, 148, 59)},
                   Case{ZU_WINBAR_LAYOUT_USER_H, ZuRect(130, 0, 148, 59)}}) {
        bar->Initialise(ZuStringRef("t"), w, bar->RetButtonAndMode(), c.layout);
        EXPECT_EQ(bar->RetBox(), c.box) << c.layout;
    }

    // No bar without a frame or with NO_BAR; the same bar comes back.
    w->ChangeStyle(ZU_WINSTYLE_NO_BAR, true);
    EXPECT_TRUE(w->RetWindowBar().IsInvalid());
    EXPECT_TRUE(bar->RetParent().IsInvalid());
    w->ChangeStyle(ZU_WINSTYLE_NO_BAR, false);
    EXPECT_EQ(w->RetWindowBar(), bar);
    EXPECT_TRUE(Make(0, 0, 10, 10, Style({ZU_WINSTYLE_FRAMELESS}))->RetWindowBar().IsInvalid());
}

TEST_F(WindowBarTest, DraggingTheBarMovesTheWindow)
{
    ZuWindowRef w = Make(100, 100, 200, 100, Style({}));
    watcher->Watch(w, "notify_window_dragged");
    ZuWindowBarRef bar = w->RetWindowBar();
    // A release without a press does nothing.
    Send(w, ZU_EVENT_RELEASE, 50, -10, false);
    EXPECT_TRUE(Reports().empty());
    Send(w, ZU_EVENT_MOTION, 50, -10, false);
    Send(w, ZU_EVENT_PRESS, 50, -10, true);
    ZuViewRef dragging;
    ASSERT_TRUE(w->GetDraggingView(dragging));
    EXPECT_EQ(dragging, bar);
    // The pointer 30 right and 5 up: so is the window, and the press point
    // stays under the pointer for the next step.
    Send(w, ZU_EVENT_MOTION, 80, -15, true);
    EXPECT_EQ(w->RetWindowBox(), ZuRect(130, 95, 329, 194));
    Send(w, ZU_EVENT_MOTION, 40, -10, true);
    EXPECT_EQ(w->RetWindowBox(), ZuRect(120, 95, 319, 194));
    EXPECT_TRUE(Reports().empty());
    Send(w, ZU_EVENT_RELEASE, 40, -10, false);
    EXPECT_FALSE(w->GetDraggingView(dragging));
    EXPECT_EQ(Reports(), (Names{"notify_window_dragged"}));
}

TEST_F(WindowBarTest, CloseAndReduceClicksAskTheWindow)
{
    ZuWindowRef w = Make(100, 100, 200, 100, Style({}));
    for (const char* name : {"notify_window_closed", "notify_window_reduced"})
        watcher->Watch(w, name);
    w->ShowNormal();
    Pump();
    Reports();
    ZuWindowBarRef bar = w->RetWindowBar();
    struct Case {
        ZuWinBarButtonBit bit;
        Names reports;
    };
    for (const Case& c : {Case{ZU_WINBAR_BUTTON_HELP, {}}, Case{ZU_WINBAR_BUTTON_ACCEPT, {}},
                          Case{ZU_WINBAR_BUTTON_REDUCE, {"notify_window_reduced"}},
                          Case{ZU_WINBAR_BUTTON_CLOSE, {"notify_window_closed"}}}) {
        bar->HandleButtonClicked(ZuObjectNull, c.bit);
        // The platform may report a reduction once more.
        Names got = Reports();
        got.erase(std::unique(got.begin(), got.end()), got.end());
        EXPECT_EQ(got, c.reports) << c.bit;
    }
    EXPECT_TRUE(w->IsReduced() || !w->IsVisible());
    EXPECT_FALSE(w->IsVisible());
}

TEST_F(WindowBarTest, ButtonsFollowTheBitsAndThePlacementTable)
{
    if (!HasControls())
        GTEST_SKIP() << "the button, icon and text tag classes are not in this build";
    ZuWindowRef w =
        Make(100, 100, 200, 100, Style({ZU_WINSTYLE_CLOSE_BUTTON, ZU_WINSTYLE_REDUCE_BUTTON}));
    ZuWindowBarRef bar = w->RetWindowBar();
    const double s = bar->RetIconSize();
    ASSERT_EQ(s, 15);
    ZuViewRef close = bar->RetButton(ZU_WINBAR_BUTTON_CLOSE);
    ZuViewRef reduce = bar->RetButton(ZU_WINBAR_BUTTON_REDUCE);
    ASSERT_TRUE(close.IsValid());
    ASSERT_TRUE(reduce.IsValid());
    EXPECT_TRUE(close->RetState().TestBit(ZU_VIEW_IS_FRAME_WIDGET));
    // From the end: close after a 2-unit edge, reduce a button and a group
    // gap further; both centred across the bar (y = -20 + 2).
    EXPECT_EQ(close->RetBox(), ZuRect(200 - (s + 4), -18, 200 - (s + 4) + s + 1, -18 + s - 1));
    EXPECT_EQ(reduce->RetBox().X1(), 200 - (2 * (s + 2) + 4));
    // The title runs from 2 to the last free place before the buttons.
    ZuViewRef title = bar->RetTitleTag();
    ASSERT_TRUE(title.IsValid());
    EXPECT_EQ(title->RetBox(), ZuRect(2, -20, 200 - (2 * (s + 2) + 6), -2));

    // A bit turned on makes its button; turned off, it goes.
    EXPECT_TRUE(bar->RetButton(ZU_WINBAR_BUTTON_HELP).IsInvalid());
    bar->ChangeButtonAndMode(ZU_WINBAR_BUTTON_HELP, true);
    ZuViewRef help = bar->RetButton(ZU_WINBAR_BUTTON_HELP);
    ASSERT_TRUE(help.IsValid());
    EXPECT_EQ(help->RetBox().X1(), 200 - (3 * (s + 2) + 4 + 2));
    EXPECT_EQ(reduce->RetBox().X1(), 200 - (2 * (s + 2) + 4));
    bar->ChangeButtonAndMode(ZU_WINBAR_BUTTON_HELP, false);
    EXPECT_TRUE(bar->RetButton(ZU_WINBAR_BUTTON_HELP).IsInvalid());
    EXPECT_TRUE(help->RetParent().IsInvalid());
    bar->SetButtonAndMode(Buttons({ZU_WINBAR_MODE_LARGE}));
    EXPECT_TRUE(bar->RetButton(ZU_WINBAR_BUTTON_CLOSE).IsInvalid());
    EXPECT_EQ(title->RetBox(), ZuRect(2, -20, 198, -2));
}

// On the screen: the bar in the active colour above the content, its
// buttons drawn on it, and a click on the close button closes the window.
TEST_F(WindowBarTest, OnTheScreenTheBarIsDrawnAndItsCloseButtonCloses)
{
    ZuWindowRef w = Make(100, 100, 200, 100, Style({ZU_WINSTYLE_CLOSE_BUTTON}));
    TProbeViewRef content = TProbeView::Make("content", 0, 0, 199, 99, 0x00FF00);
    content->SetParent(w);
    watcher->Watch(w, "notify_window_closed");
    w->ShowNormal();
    Pump();
    ASSERT_TRUE(w->IsActive());
    ZuWindowBarRef bar = w->RetWindowBar();
    EXPECT_TRUE(bar->IsActive());
    // The bar runs from y = -20 to -2 of the window, 80 to 98 on the screen.
    auto blue = [](std::uint32_t p) {
        return (p & 0xFF) >= 0x70 && ((p >> 8) & 0xFF) < 0x20 && ((p >> 16) & 0xFF) < 0x20;
    };
    EXPECT_TRUE(blue(W32_HeadlessScreenPixel(150, 82)))
        << std::hex << W32_HeadlessScreenPixel(150, 82);
    EXPECT_TRUE(blue(W32_HeadlessScreenPixel(110, 97)));
    EXPECT_FALSE(blue(W32_HeadlessScreenPixel(150, 101)));
    if (!HasControls())
        GTEST_SKIP() << "the button, icon and text tag classes are not in this build";
    // The title "Fenêtre" is written on the bar from its start.
    bool written = false;
    for (int y = 82; y <= 96 && !written; ++y)
        for (int x = 102; x <= 150 && !written; ++x)
            written = !blue(W32_HeadlessScreenPixel(x, y));
    EXPECT_TRUE(written);
    // Active, the title is in white, in the look's bold font for a large
    // bar (this one), its small font otherwise.
    ZuTextTagRef tag(bar->RetTitleTag());
    EXPECT_TRUE(tag->RetColor() == ZuColorPixel(ZU_COLOR_WHITE));
    ASSERT_TRUE(bar->RetButtonAndMode().TestBit(ZU_WINBAR_MODE_LARGE));
    EXPECT_TRUE(tag->RetFont() == ZuLookMan::current->RetBoldFont());
    bar->ChangeButtonAndMode(ZU_WINBAR_MODE_LARGE, false);
    w->SysChangedActive(false);
    w->SysChangedActive(true);
    EXPECT_TRUE(tag->RetFont() == ZuLookMan::current->RetSmallFont());
    // The close button is somewhere blue no more.
    ZuViewRef close = bar->RetButton(ZU_WINBAR_BUTTON_CLOSE);
    ASSERT_TRUE(close.IsValid());
    const ZuRect& b = close->RetBox();
    int cx = 100 + int((b.X1() + b.X2()) / 2), cy = 100 + int((b.Y1() + b.Y2()) / 2);
    bool drawn = false;
    for (int x = 100 + int(b.X1()); x <= 100 + int(b.X2()); ++x)
        drawn = drawn || !blue(W32_HeadlessScreenPixel(x, cy));
    EXPECT_TRUE(drawn);
    Mouse(cx, cy, 0);
    Mouse(cx, cy, MK_LBUTTON);
    Mouse(cx, cy, 0);
    EXPECT_EQ(Reports(), (Names{"notify_window_closed"}));
    EXPECT_FALSE(w->IsVisible());
}

namespace {

// The children of a view: how many of each class.
unsigned CountChildren(const ZuViewRef& v, const ZuRuntimeRef& kind)
{
    unsigned n = 0;
    ZuViewRef c;
    for (v->GetFirstChild(c); c.IsValid();) {
        if (c->IsKindOf(kind))
            ++n;
        ZuViewRef next;
        c->GetNextSibling(next);
        c = next;
    }
    return n;
}

} // namespace

// A stored framed window comes back with one bar, one sizer and the bar's
// buttons made once again, whatever the stored children held.
TEST_F(WindowBarTest, StoredFramedWindowKeepsOneBarOneSizerAndItsButtons)
{
    ZuWindowRef w =
        Make(100, 100, 200, 100,
             Style({ZU_WINSTYLE_SIZABLE, ZU_WINSTYLE_CLOSE_BUTTON, ZU_WINSTYLE_REDUCE_BUTTON}));
    ZuTestStorageRef out = ZuTestStorage::Make();
    out->StartStoring();
    out->StoreObject(w);
    std::vector<unsigned char> bytes = out->Bytes();

    ZuTestStorageRef in = ZuTestStorage::Make();
    in->StartRestoring(bytes);
    ZuObjectRef obj;
    in->RestoreObject(obj, ZuWindowRef::RetRuntime());
    ZuWindowRef back(obj);
    ASSERT_TRUE(back.IsValid());
    windows.push_back(back);
    back->SetSize(180, 90);
    ZuWindowBarRef bar = back->RetWindowBar();
    ASSERT_TRUE(bar.IsValid());
    EXPECT_TRUE(back->RetWindowSizer().IsValid());
    EXPECT_EQ(CountChildren(back, ZuWindowBarRef::RetRuntime()), 1u);
    EXPECT_EQ(CountChildren(back, ZuWindowSizerRef::RetRuntime()), 1u);
    EXPECT_EQ(bar->RetBox(), ZuRect(0, -20, 179, -2));
    if (HasControls()) {
        EXPECT_TRUE(bar->RetButton(ZU_WINBAR_BUTTON_CLOSE).IsValid());
        EXPECT_TRUE(bar->RetButton(ZU_WINBAR_BUTTON_REDUCE).IsValid());
        // Two buttons and the title.
        EXPECT_EQ(CountChildren(bar, ZuViewRef::RetRuntime()), 3u);
    }

    // Cut anywhere: a refusal or a window that lays itself out.
    for (std::size_t cut = 1; cut < bytes.size(); cut += 7) {
        std::vector<unsigned char> part(bytes.begin(), bytes.begin() + cut);
        ZuTestStorageRef cut_in = ZuTestStorage::Make();
        cut_in->StartRestoring(part);
        ZuObjectRef got;
        try {
            cut_in->RestoreObject(got, ZuViewRef::RetRuntime());
        } catch (const ZuException&) {}
        ZuViewRef v(got);
        if (v.IsValid()) {
            v->SetSize(150, 70);
            if (v->IsWindow())
                windows.push_back(ZuWindowRef(v));
            else
                v->Delete();
        }
    }
}

// The active look follows the window's activation, and the application's
// for a tool window; the bar is painted grey when inactive.
TEST_F(WindowBarTest, ActiveLookFollowsTheWindowOrTheApplication)
{
    ZuWindowRef w = Make(100, 100, 200, 100, Style({}));
    ZuWindowRef tool = Make(400, 100, 100, 50, Style({ZU_WINSTYLE_TOOL}));
    w->ShowNormal();
    Pump();
    ZuWindowBarRef bar = w->RetWindowBar(), tool_bar = tool->RetWindowBar();
    EXPECT_TRUE(bar->IsActive());
    // Following the application, the tool window's bar is active while the
    // application is, whichever window has the focus.
    EXPECT_TRUE(tool_bar->IsActive());
    w->SysChangedActive(false);
    EXPECT_FALSE(bar->IsActive());
    Pump();
    std::uint32_t grey = W32_HeadlessScreenPixel(150, 82);
    EXPECT_EQ((grey >> 16) & 0xFF, grey & 0xFF) << std::hex << grey;
    EXPECT_GE(grey & 0xFF, 0x70u) << std::hex << grey;
    w->SysChangedActive(true);
    EXPECT_TRUE(bar->IsActive());
    app->NotifyActiveApp(false);
    EXPECT_FALSE(tool_bar->IsActive());
    EXPECT_TRUE(bar->IsActive());
    app->NotifyActiveApp(true);
    tool_bar->HandleAppActivation();
    EXPECT_TRUE(tool_bar->IsActive());
}
