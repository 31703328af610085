// Opening, showing, hiding and closing windows through their screen
// windows on the headless backend; frames by style; the platform's own
// changes and their reports.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sd/win32/sd_event.h"
#include "sd/win32/sd_grailwdo.h"
#include "si/app.h"
#include "si/rtclass.h"
#include "si/values.h"
#include "tests/support/controls.h"
#include "tests/support/looks.h"
#include "tests/support/probes.h"
#include "tests/support/views.h"
#include "w32/winuser.h"

namespace {

std::string g_deleted;

} // namespace

// A view that logs its deletion.
ZU_HANDLE(TKillProbe, ZuView)
class TKillProbe : public ZuView {
    ZU_CLASS(TKillProbe, ZuView)
public:
    TKillProbe() {}
    void Delete() override
    {
        g_deleted += label + " ";
        ZuView::Delete();
    }
    std::string label;
};
ZU_CLASS_END(TKillProbe)
ZU_IMPLEMENT_CLASS(TKillProbe, "tests/window_show", ZU_CLASS_PLAIN)

namespace {

ZuWinStyle Style(std::initializer_list<ZuWinStyleBit> bits)
{
    ZuWinStyle s;
    for (ZuWinStyleBit b : bits)
        s.SetBit(b);
    return s;
}

HWND PlatformWindow(const ZuWindowRef& w)
{
    const ZuGrailWindowRef& screen = w->RetScreenWindow();
    if (screen.IsInvalid() || screen->RetPrivateWindowInfo() == nullptr)
        return nullptr;
    return screen->RetPrivateWindowInfo()->hwnd;
}

std::string Text(HWND hwnd)
{
    char buffer[256];
    GetWindowTextA(hwnd, buffer, sizeof buffer);
    return buffer;
}

class WindowShowTest : public LookTest {
protected:
    void SetUp() override
    {
        LookTest::SetUp();
        RegisterWindowClass();
        app = ZuNew<ZuApp>(nullptr);
        ZuApp::Initialise(app);
        // The application has the focus, as a program the user has just
        // started: its windows are activated when they are shown.
        app->NotifyActiveApp(true);
        watcher = TestObserver::Make();
        g_deleted.clear();
    }
    void TearDown() override
    {
        for (ZuWindowRef& w : windows)
            if (w.IsValid())
                w->Delete();
        windows.clear();
        watcher->Delete();
        watcher = TestObserverRef();
        ZuApp::Kill();
        app = ZuAppRef();
        UnregisterWindowClass();
        LookTest::TearDown();
    }
    // A window of that client size at (x, y), deleted by the fixture.
    ZuWindowRef Make(double x, double y, double dx, double dy, const ZuWinStyle& style)
    {
        ZuWindowRef w = ZuNew<ZuWindow>(Zuvi_app_zone);
        w->InitGeom(x, y, dx, dy, ZuStringRef("Fen\xEAtre"), style);
        windows.push_back(w);
        return w;
    }
    void WatchAll(const ZuWindowRef& w)
    {
        for (const char* name :
             {"notify_window_opened", "notify_window_closed", "notify_window_shown",
              "notify_window_hidden", "notify_window_reduced", "notify_window_restored",
              "notify_window_activated", "notify_window_deactivated", "notify_window_dragged",
              "notify_window_resized"})
            watcher->Watch(w, name);
    }
    std::vector<std::string> Reports()
    {
        std::vector<std::string> events = watcher->Events();
        watcher->Clear();
        return events;
    }

    ZuAppRef app;
    TestObserverRef watcher;
    std::vector<ZuWindowRef> windows;
};

typedef std::vector<std::string> Names;

} // namespace

TEST_F(WindowShowTest, NewWindowIsFramelessWithoutBarOrSizer)
{
    ZuWindowRef w = ZuNew<ZuWindow>(Zuvi_app_zone);
    windows.push_back(w);
    EXPECT_EQ(w->RetStyle(), Style({ZU_WINSTYLE_FRAMELESS}));
    ZuStringRef title;
    ASSERT_TRUE(w->GetTitle(title));
    EXPECT_EQ(title->CompareWith("", true), 0);
    w->SetSize(120, 80);
    EXPECT_EQ(w->RetFrameGeometry(), ZuRect(0, 0, 119, 79));
    EXPECT_EQ(w->RetWindowBox(), ZuRect(0, 0, 119, 79));
    EXPECT_TRUE(w->RetWindowBar().IsInvalid());
    EXPECT_TRUE(w->RetWindowSizer().IsInvalid());
    EXPECT_FALSE(w->RetScreenWindow().IsValid());
    EXPECT_FALSE(w->RetGrailPort().IsValid());
    EXPECT_FALSE(w->IsActive());
    // A window takes no parent view.
    ZuWindowRef other = NewTestWindow(5, 5);
    windows.push_back(other);
    EXPECT_FALSE(w->SetParent(other));
}

TEST_F(WindowShowTest, FrameSizesFollowTheStyle)
{
    // Frame sizes of the headless backend's system metrics: sizing border
    // 4, edge 2, border 1, caption 20, small caption 17.
    struct Case {
        ZuWinStyle style;
        double left, top, right, bottom;
    } cases[] = {
        {Style({ZU_WINSTYLE_FRAMELESS}), 0, 0, 0, 0},
        {Style({ZU_WINSTYLE_FRAMELESS, ZU_WINSTYLE_SIZABLE, ZU_WINSTYLE_TOOL}), 0, 0, 0, 0},
        {Style({}), 3, 23, 3, 3},
        {Style({ZU_WINSTYLE_SIZABLE}), 4, 24, 4, 4},
        {Style({ZU_WINSTYLE_TOOL}), 3, 20, 3, 3},
        {Style({ZU_WINSTYLE_TOOL, ZU_WINSTYLE_SIZABLE, ZU_WINSTYLE_CLOSE_BUTTON}), 4, 21, 4, 4},
    };
    ZuWindowRef w = Make(10, 10, 100, 50, Style({ZU_WINSTYLE_FRAMELESS}));
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "style " << c.style.RetBits());
        w->SetStyle(c.style);
        double dx = -1, dy = -1;
        w->GetFrameOffset(dx, dy);
        EXPECT_EQ(dx, c.left);
        EXPECT_EQ(dy, c.top);
        w->GetFrameOverhead(dx, dy);
        EXPECT_EQ(dx, c.left + c.right);
        EXPECT_EQ(dy, c.top + c.bottom);
        EXPECT_EQ(w->RetFrameGeometry(),
                  ZuRect(-c.left, -c.top, 100 + c.right - 1, 50 + c.bottom - 1));
    }

    // The frame must contain the client box.
    EXPECT_DEATH(w->SetFrameGeometry(ZuRect(1, 0, 120, 60)),
                 "Failed assertion: box.X1 \\(\\) <= 0");
    EXPECT_DEATH(w->SetFrameGeometry(ZuRect(0, 0, 98, 60)),
                 "Failed assertion: box.X2 \\(\\) >= this->box.X2 \\(\\)");
    EXPECT_TRUE(w->SetFrameGeometry(ZuRect(-2, -2, 101, 51)));
    EXPECT_EQ(w->RetFrameGeometry(), ZuRect(-2, -2, 101, 51));
}

TEST_F(WindowShowTest, ShowNormalOpensTheScreenWindowWithBoxStyleAndTitle)
{
    ZuWinStyle style = Style({ZU_WINSTYLE_SIZABLE, ZU_WINSTYLE_TOOL});
    ZuWindowRef w = Make(200, 100, 160, 90, style);
    EXPECT_FALSE(w->IsVisible());
    w->ShowNormal();
    EXPECT_TRUE(w->IsVisible());
    EXPECT_FALSE(w->IsReduced());
    const ZuGrailWindowRef& screen = w->RetScreenWindow();
    ASSERT_TRUE(screen.IsValid());
    EXPECT_EQ(w->RetGrailPort(), screen);
    EXPECT_EQ(screen->RetWindow(), w);
    EXPECT_EQ(screen->RetStyle(), style);
    HWND hwnd = PlatformWindow(w);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_EQ(Text(hwnd), "Fen\xEAtre");
    // The client box on the screen with the frame of the style around it.
    RECT r;
    ASSERT_TRUE(GetWindowRect(hwnd, &r));
    EXPECT_EQ(r.left, 196);
    EXPECT_EQ(r.top, 79);
    EXPECT_EQ(r.right, 364);
    EXPECT_EQ(r.bottom, 194);
    DWORD ex = DWORD(GetWindowLongA(hwnd, GWL_EXSTYLE));
    EXPECT_EQ(ex & (WS_EX_TOOLWINDOW | WS_EX_APPWINDOW | WS_EX_ACCEPTFILES | WS_EX_TOPMOST),
              WS_EX_TOOLWINDOW | WS_EX_ACCEPTFILES);
    EXPECT_EQ(DWORD(GetWindowLongA(hwnd, ZU_GRAIL_WORD_MARKER)), ZU_GRAIL_MARKER);
    EXPECT_EQ(GrailWindowFromHandle(hwnd), screen.Resolve());
    ZuRect frame;
    screen->GetFrameGeometry(frame);
    EXPECT_EQ(frame, ZuRect(-4, -21, 163, 93));
    // The pixmap covers the whole platform window.
    double pw = 0, ph = 0;
    ZuGrailPixmapRef(screen)->GetSize(pw, ph);
    EXPECT_EQ(pw, 168);
    EXPECT_EQ(ph, 115);

    // The title follows; an empty handle is the empty title.
    w->SetTitle(ZuStringRef("Autre"));
    EXPECT_EQ(Text(hwnd), "Autre");
    w->SetTitle(ZuStringRef());
    EXPECT_EQ(Text(hwnd), "");
    ASSERT_TRUE(w->RetTitle().IsValid());

    // Moving and resizing the window box moves and resizes the platform
    // window with its frame.
    w->SetWindowBox(ZuRect(300, 150, 399, 209));
    ASSERT_TRUE(GetWindowRect(hwnd, &r));
    EXPECT_EQ(r.left, 296);
    EXPECT_EQ(r.top, 129);
    EXPECT_EQ(r.right, 404);
    EXPECT_EQ(r.bottom, 214);
    EXPECT_EQ(w->RetBox(), ZuRect(0, 0, 99, 59));
    EXPECT_EQ(w->RetFrameGeometry(), ZuRect(-4, -21, 103, 63));

    // Hiding keeps the screen window; reducing shows it as an icon.
    w->Hide();
    EXPECT_FALSE(w->IsVisible());
    EXPECT_TRUE(w->RetScreenWindow().IsValid());
    EXPECT_FALSE(IsWindowVisible(hwnd));
    w->ShowReduced();
    EXPECT_TRUE(w->IsVisible());
    EXPECT_TRUE(w->IsReduced());
    EXPECT_TRUE(IsIconic(hwnd));
    w->ShowNormal();
    EXPECT_FALSE(w->IsReduced());
    EXPECT_FALSE(IsIconic(hwnd));
    EXPECT_TRUE(IsWindowVisible(hwnd));

    // Closing deletes the screen window and its platform window.
    w->Close();
    EXPECT_FALSE(w->RetScreenWindow().IsValid());
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_FALSE(w->IsVisible());
    EXPECT_FALSE(w->IsReduced());
}

TEST_F(WindowShowTest, ActivationBringsTheWindowToTheFront)
{
    ZuWindowRef back = Make(0, 0, 50, 50, Style({ZU_WINSTYLE_FRAMELESS}));
    ZuWindowRef front = Make(10, 10, 50, 50, Style({ZU_WINSTYLE_FRAMELESS}));
    back->ShowNormal();
    front->ShowNormal();
    POINT p{20, 20};
    EXPECT_EQ(WindowFromPoint(p), PlatformWindow(front));
    back->ActivateAsFrontWindow(true);
    EXPECT_EQ(WindowFromPoint(p), PlatformWindow(back));
    // A closed window has nothing to bring forward.
    front->Close();
    front->ActivateAsFrontWindow(true);
    EXPECT_EQ(WindowFromPoint(p), PlatformWindow(back));
}

TEST_F(WindowShowTest, PlatformChangesUpdateTheFlagsAndReport)
{
    ZuWindowRef w = Make(20, 20, 80, 40, Style({ZU_WINSTYLE_FRAMELESS, ZU_WINSTYLE_PERSISTENT}));
    WatchAll(w);
    w->ShowNormal();
    // The platform's activation comes while the window is being shown.
    EXPECT_EQ(Reports(), Names({"notify_window_activated", "notify_window_shown"}));
    HWND hwnd = PlatformWindow(w);

    // The user reduces, restores, hides and shows the platform window.
    ShowWindow(hwnd, SW_MINIMIZE);
    EXPECT_TRUE(w->IsReduced());
    EXPECT_TRUE(w->IsVisible());
    EXPECT_FALSE(w->IsActive());
    EXPECT_EQ(Reports(), Names({"notify_window_reduced", "notify_window_deactivated"}));
    ShowWindow(hwnd, SW_RESTORE);
    EXPECT_FALSE(w->IsReduced());
    EXPECT_TRUE(w->IsActive());
    EXPECT_EQ(app->RetActiveWindow(), w);
    EXPECT_EQ(Reports(), Names({"notify_window_restored", "notify_window_activated"}));
    ShowWindow(hwnd, SW_HIDE);
    EXPECT_FALSE(w->IsVisible());
    EXPECT_FALSE(app->RetActiveWindow().IsValid());
    EXPECT_EQ(Reports(), Names({"notify_window_hidden", "notify_window_deactivated"}));
    ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    EXPECT_TRUE(w->IsVisible());
    EXPECT_EQ(Reports(), Names({"notify_window_shown"}));

    // A persistent window stays open and shown when the platform closes
    // it, but the close is reported.
    ASSERT_NE(Zuvi_event_links.system_closed, nullptr);
    Zuvi_event_links.system_closed(w);
    EXPECT_EQ(PlatformWindow(w), hwnd);
    EXPECT_TRUE(w->IsVisible());
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_EQ(Reports(), Names({"notify_window_closed"}));

    // Without the style the platform's close closes the window.
    w->ChangeStyle(ZU_WINSTYLE_PERSISTENT, false);
    hwnd = PlatformWindow(w);
    Reports();
    Zuvi_event_links.system_closed(w);
    EXPECT_FALSE(w->RetScreenWindow().IsValid());
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_FALSE(w->IsVisible());
    EXPECT_EQ(watcher->Count("notify_window_closed"), 1u);
    Reports();
    // Opened again by the platform, it is open but not shown; showing it
    // then works.
    w->SysChangedOpen(true);
    ASSERT_TRUE(w->RetScreenWindow().IsValid());
    EXPECT_FALSE(IsWindowVisible(PlatformWindow(w)));
    EXPECT_EQ(Reports(), Names({"notify_window_opened"}));
    w->ShowNormal();
    EXPECT_TRUE(IsWindowVisible(PlatformWindow(w)));

    w->NotifyWindowDragged();
    w->NotifyWindowResized();
    Names reports = Reports();
    ASSERT_GE(reports.size(), 2u);
    EXPECT_EQ(Names(reports.end() - 2, reports.end()),
              Names({"notify_window_dragged", "notify_window_resized"}));
}

TEST_F(WindowShowTest, ChangeStyleClearsExactlyTheGivenBits)
{
    ZuWindowRef w = Make(0, 0, 30, 30,
                         Style({ZU_WINSTYLE_FRAMELESS, ZU_WINSTYLE_TOOL, ZU_WINSTYLE_TOPMOST,
                                ZU_WINSTYLE_MAIN, ZU_WINSTYLE_PERSISTENT}));
    EXPECT_TRUE(
        w->ChangeStyle(Style({ZU_WINSTYLE_TOOL, ZU_WINSTYLE_MAIN, ZU_WINSTYLE_SIZABLE}), false));
    EXPECT_EQ(w->RetStyle(),
              Style({ZU_WINSTYLE_FRAMELESS, ZU_WINSTYLE_TOPMOST, ZU_WINSTYLE_PERSISTENT}));
    EXPECT_TRUE(w->ChangeStyle(ZU_WINSTYLE_NO_BAR, true));
    EXPECT_EQ(w->RetStyle(), Style({ZU_WINSTYLE_FRAMELESS, ZU_WINSTYLE_TOPMOST,
                                    ZU_WINSTYLE_PERSISTENT, ZU_WINSTYLE_NO_BAR}));
}

TEST_F(WindowShowTest, StyleChangeRebuildsTheScreenWindowOnlyWhenTheStyleChanges)
{
    ZuWinStyle style = Style({ZU_WINSTYLE_FRAMELESS});
    ZuWindowRef w = Make(40, 40, 60, 30, style);
    w->ShowNormal();
    unsigned id = w->RetScreenWindow()->RetWindowID();
    HWND hwnd = PlatformWindow(w);
    EXPECT_TRUE(w->SetStyle(style));
    EXPECT_TRUE(w->ChangeStyle(ZU_WINSTYLE_FRAMELESS, true));
    EXPECT_EQ(w->RetScreenWindow()->RetWindowID(), id);
    EXPECT_EQ(PlatformWindow(w), hwnd);

    // A new style gives a new platform window with its frame, shown as the
    // old one was.
    w->ChangeStyle(ZU_WINSTYLE_FRAMELESS, false);
    EXPECT_NE(w->RetScreenWindow()->RetWindowID(), id);
    EXPECT_FALSE(IsWindow(hwnd));
    hwnd = PlatformWindow(w);
    EXPECT_TRUE(IsWindowVisible(hwnd));
    RECT r;
    ASSERT_TRUE(GetWindowRect(hwnd, &r));
    EXPECT_EQ(r.left, 37);
    EXPECT_EQ(r.top, 17);
    EXPECT_EQ(r.right, 103);
    EXPECT_EQ(r.bottom, 73);
    EXPECT_TRUE(w->IsVisible());

    w->ShowReduced();
    w->ChangeStyle(ZU_WINSTYLE_TOOL, true);
    EXPECT_TRUE(w->IsReduced());
    EXPECT_TRUE(IsIconic(PlatformWindow(w)));

    // A closed window only takes the style.
    w->Close();
    w->ChangeStyle(ZU_WINSTYLE_TOOL, false);
    EXPECT_FALSE(w->RetScreenWindow().IsValid());
}

TEST_F(WindowShowTest, ShowCenteredCentresOnTheReferenceOrOnDisplayZero)
{
    int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    ZuRect display;
    ASSERT_TRUE(ZuGrailWindow::GetDisplayBox(display, 0));
    EXPECT_EQ(display, ZuRect(0, 0, sw - 1, sh - 1));
    EXPECT_FALSE(ZuGrailWindow::GetDisplayBox(display, 1));

    ZuWindowRef w = Make(0, 0, 200, 101, Style({ZU_WINSTYLE_FRAMELESS}));
    w->ShowCentered(ZuWindowNull);
    EXPECT_TRUE(w->IsVisible());
    double x = 0, y = 0;
    w->GetWindowOrigin(x, y);
    // Not rounded.
    EXPECT_EQ(x, (sw - 1 - 200) * 0.5);
    EXPECT_EQ(y, (sh - 1 - 101) * 0.5);

    ZuWindowRef reference = Make(100, 100, 300, 200, Style({ZU_WINSTYLE_FRAMELESS}));
    ZuWindowRef small = Make(0, 0, 101, 51, Style({ZU_WINSTYLE_FRAMELESS}));
    small->ShowCentered(reference);
    small->GetWindowOrigin(x, y);
    EXPECT_EQ(x, 199);
    EXPECT_EQ(y, 174);
    RECT r;
    ASSERT_TRUE(GetWindowRect(PlatformWindow(small), &r));
    EXPECT_EQ(r.left, 199);
    EXPECT_EQ(r.top, 174);
}

TEST_F(WindowShowTest, GeometryInOneCallAndTheParentViewForm)
{
    ZuWindowRef w = ZuNew<ZuWindow>(Zuvi_app_zone);
    windows.push_back(w);
    EXPECT_TRUE(w->InitGeom(5, 6, 70, 40));
    EXPECT_EQ(w->RetWindowBox(), ZuRect(5, 6, 74, 45));
    EXPECT_EQ(w->RetBox(), ZuRect(0, 0, 69, 39));
    EXPECT_TRUE(w->InitGeom(7, 8, 70, 40, ZuStringRef("Titre")));
    EXPECT_EQ(w->RetTitle()->CompareWith("Titre", true), 0);
    EXPECT_EQ(w->RetWindowBox(), ZuRect(7, 8, 76, 47));
    // The title interface reaches the window too.
    ZuiTitleWidget* widget =
        static_cast<ZuiTitleWidget*>(w->CastToInterface(&ZuiTitleWidget::interface));
    ASSERT_NE(widget, nullptr);
    EXPECT_TRUE(widget->SetTitle(ZuStringRef("Par l'interface")));
    EXPECT_EQ(w->RetTitle()->CompareWith("Par l'interface", true), 0);
    EXPECT_DEATH(w->InitGeom(0, 0, 10, 10, ZuStringRef("x"), ZuViewRef(NewTestWindow(5, 5))),
                 "Cannot set a window's parent");
}

TEST_F(WindowShowTest, OperationsByNameAndPublishedData)
{
    ZuWindowRef w = Make(0, 0, 40, 20, Style({ZU_WINSTYLE_FRAMELESS}));
    EXPECT_TRUE(w->Action(ZuAtomRef("ShowNormal"), ZuObjectRef(), 0));
    EXPECT_TRUE(w->IsVisible());
    EXPECT_TRUE(w->Action(ZuAtomRef("Hide"), ZuObjectRef(), 0));
    EXPECT_FALSE(w->IsVisible());
    EXPECT_TRUE(w->Action(ZuAtomRef("Close"), ZuObjectRef(), 0));
    EXPECT_FALSE(w->RetScreenWindow().IsValid());

    ZuValueRef value;
    ASSERT_TRUE(w->QueryData(ZuAtomRef("style"), value));
    EXPECT_EQ(value->RetCard64(), Style({ZU_WINSTYLE_FRAMELESS}).RetBits());
    EXPECT_TRUE(w->DefineData(ZuAtomRef("style"),
                              ZuValueRef(uint64_t(Style({ZU_WINSTYLE_TOOL}).RetBits()))));
    EXPECT_EQ(w->RetStyle(), Style({ZU_WINSTYLE_TOOL}));
    EXPECT_TRUE(w->DefineData(ZuAtomRef("title"), ZuValueRef(ZuObjectRef(ZuStringRef("Nom")))));
    EXPECT_EQ(w->RetTitle()->CompareWith("Nom", true), 0);
}

TEST_F(WindowShowTest, KillDeletesTheWholeTreeDeepestFirst)
{
    ZuWindowRef w = Make(0, 0, 100, 100, Style({ZU_WINSTYLE_FRAMELESS}));
    auto probe = [](const char* label, const ZuViewRef& parent) {
        TKillProbeRef v = ZuNew<TKillProbe>(Zuvi_app_zone);
        v->label = label;
        v->SetParent(parent);
        return v;
    };
    TKillProbeRef a = probe("A", w);
    TKillProbeRef b = probe("B", a);
    probe("C", b);
    probe("D", a);
    probe("E", w);
    w->ShowNormal();
    HWND hwnd = PlatformWindow(w);
    unsigned before = app->RetWindowNum();
    w->Kill();
    EXPECT_EQ(g_deleted, "C B D A E ");
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(app->RetWindowNum(), before - 1);
    EXPECT_EQ(w->RetViewCollection()->TotalCount(), 0u);
    windows.clear();
}

TEST_F(WindowShowTest, ModalWindowsTakeTheActivationAndKeepTheirParent)
{
    ZuWindowRef parent = Make(0, 0, 200, 200, Style({ZU_WINSTYLE_FRAMELESS}));
    ZuWindowRef first = Make(10, 10, 50, 50, Style({ZU_WINSTYLE_FRAMELESS}));
    ZuWindowRef second = Make(20, 20, 50, 50, Style({ZU_WINSTYLE_FRAMELESS}));
    parent->ShowNormal();
    first->SetModalWindowParent(parent);
    second->SetModalWindowParent(parent);
    ZuWindowRef m;
    ASSERT_TRUE(parent->GetModalWindow(m, 0));
    EXPECT_EQ(m, second);
    EXPECT_FALSE(parent->GetModalWindow(m, 2));
    ZuListRef list;
    ASSERT_TRUE(parent->GetModalWindowList(list));
    EXPECT_EQ(list->TotalCount(), 2u);

    // The activated modal window moves to the head; activating the parent
    // then shows that one instead, in front.
    first->SysChangedActive(true);
    ASSERT_TRUE(parent->GetModalWindow(m, 0));
    EXPECT_EQ(m, first);
    first->Hide();
    parent->SysChangedActive(true);
    EXPECT_EQ(app->RetActiveWindow(), first);
    EXPECT_TRUE(first->IsVisible());
    EXPECT_FALSE(second->IsVisible());
    POINT p{30, 30};
    EXPECT_EQ(WindowFromPoint(p), PlatformWindow(first));
    // Its platform window belongs to the parent's.
    EXPECT_EQ(GetWindow(PlatformWindow(first), GW_OWNER), PlatformWindow(parent));

    // A new style rebuilds the platform window but keeps the window modal.
    first->ChangeStyle(ZU_WINSTYLE_TOOL, true);
    EXPECT_TRUE(first->IsModal());
    ASSERT_TRUE(parent->GetModalWindow(m, 0));
    EXPECT_EQ(m, first);
    EXPECT_EQ(GetWindow(PlatformWindow(first), GW_OWNER), PlatformWindow(parent));

    // Closing leaves the parent; the list goes with the last one.
    first->Close();
    second->Close();
    EXPECT_FALSE(parent->HasModalWindow());
    EXPECT_FALSE(parent->GetModalWindowList(list));
}

TEST_F(WindowShowTest, UserGeometryKeepsTheFrameOutOfTheClientBox)
{
    // Frame 3, 23, 3, 3 for a plain framed window.
    ZuWindowRef w = Make(100, 100, 100, 50, Style({}));
    w->ShowNormal();
    ASSERT_NE(Zuvi_grail_window_links.changed_geometry, nullptr);
    // The platform window, frame included, grew by 20 x 10 and moved.
    Zuvi_grail_window_links.changed_geometry(w, ZuRect(47, 27, 47 + 126 - 1, 27 + 86 - 1));
    EXPECT_EQ(w->RetWindowBox(), ZuRect(50, 50, 169, 109));
    EXPECT_EQ(w->RetBox(), ZuRect(0, 0, 119, 59));
    EXPECT_EQ(w->RetFrameGeometry(), ZuRect(-3, -23, 122, 62));
    RECT r;
    ASSERT_TRUE(GetWindowRect(PlatformWindow(w), &r));
    EXPECT_EQ(r.left, 47);
    EXPECT_EQ(r.top, 27);
    EXPECT_EQ(r.right, 47 + 126);
    EXPECT_EQ(r.bottom, 27 + 86);
    // The platform's own open and visibility changes reach the window.
    WatchAll(w);
    Zuvi_grail_window_links.changed_visible(w, false);
    Zuvi_grail_window_links.changed_open(w, false);
    EXPECT_FALSE(w->RetScreenWindow().IsValid());
    EXPECT_EQ(Reports(), Names({"notify_window_hidden", "notify_window_closed"}));
}

namespace {

// Windows met as a user meets them: keys injected, served by the event layer.
class WindowKeyboardTest : public ControlTest {};

} // namespace

TEST_F(WindowKeyboardTest, AClosedModalWindowGivesTheKeysBackToTheWindowItBelongsTo)
{
    TProbeViewRef probe = TProbeView::Make("M", 10, 10, 49, 39);
    probe->SetParent(w);
    ASSERT_TRUE(w->SetMainResponder(probe, false));
    // Another window, shown after the fixture's and so above it: the
    // keyboard goes back to the modal parent, not to the top window.
    ZuWindowRef other = NewShownWindow(400, 100, 100, 100);
    struct Case {
        const char* name;
        bool kill;
    } const cases[] = {{"closed", false}, {"killed", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ZuWindowRef dialog = ZuNew<ZuWindow>(Zuvi_app_zone);
        dialog->InitGeom(150, 150, 80, 60);
        dialog->SetModalWindowParent(w);
        dialog->ShowNormal();
        Pump();
        ASSERT_TRUE(dialog->IsActive());
        TProbeView::log.clear();
        Tap('A', 0x1E);
        EXPECT_EQ(TProbeView::log, ""); // the dialog's key
        if (c.kill) {
            dialog->Kill();
        } else {
            dialog->Close();
            more_windows.push_back(dialog);
        }
        Pump();
        EXPECT_TRUE(w->IsActive());
        EXPECT_TRUE(app->RetActiveWindow() == w);
        Tap('A', 0x1E);
        EXPECT_EQ(TProbeView::log, "M:KeyDown M:KeyUp ");
    }
    EXPECT_FALSE(other->IsActive());
}
