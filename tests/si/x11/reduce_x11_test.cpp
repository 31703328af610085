// Reducing a window by its bar's box on the X server. Under a window
// manager the window becomes an icon, and once the user brings it back
// (from a task bar, or because it is mapped again) it is shown painted and
// answers at once: its menu opens. Without a window manager there is no
// icon and no way back, so the box leaves the window shown, and it goes on
// painting and answering clicks.
#include <cstring>
#include <string>

#include "si/array.h"
#include "si/colorpixel.h"
#include "si/commandfactory.h"
#include "si/menu.h"
#include "si/rtclass.h"
#include "si/view.h"
#include "si/winbar.h"
#include "tests/support/controls.h"

// Fills its box red, and blue once a press reached it.
ZU_HANDLE(TX11ReduceView, ZuView)
class TX11ReduceView : public ZuView {
    ZU_CLASS(TX11ReduceView, ZuView)
public:
    TX11ReduceView() {}
    void DrawBack(const ZuGrailPortRef& port, const ZuRect& rect) override
    {
        port->SetForeColor(ZuColorPixel(pressed ? 0x0000FFu : 0xFF0000u));
        port->FillRect(rect, 0);
    }
    void ButtonPress(const ZuEventRef&) override
    {
        pressed = true;
        Display(true);
    }
    bool pressed = false;
};
ZU_CLASS_END(TX11ReduceView)
ZU_IMPLEMENT_CLASS(TX11ReduceView, "tests/si/x11/reduce_x11_test", ZU_CLASS_PLAIN)

// After the library's classes: the X headers define names (ButtonPress...)
// as macros.
#include "tests/si/x11/x11app.h"
#include "tests/support/windowmanager.h"

#include <X11/Xutil.h>

namespace {

auto* const g_xvfb = ::testing::AddGlobalTestEnvironment(new XvfbEnvironment);

bool IsRed(unsigned long p)
{
    return (p >> 16 & 0xFF) > 0xC0 && (p >> 8 & 0xFF) < 0x40 && (p & 0xFF) < 0x40;
}

bool IsBlue(unsigned long p)
{
    return (p >> 16 & 0xFF) < 0x40 && (p >> 8 & 0xFF) < 0x40 && (p & 0xFF) > 0xC0;
}

class ReduceX11 : public X11AppTest {
protected:
    // The window and its application, the window shown normally or
    // reduced; a window manager the test wants runs before, as on a user's
    // screen.
    void Start(bool reduced = false)
    {
        if (!StartApplication())
            return;
        w = ZuNew<ZuWindow>(Zuvi_app_zone);
        w->InitGeom(200, 150, 240, 160,
                    ZuStringRef("R\xE9"
                                "duire"),
                    ZuWinStyle{ZU_WINSTYLE_REDUCE_BUTTON, ZU_WINSTYLE_CLOSE_BUTTON});
        view = ZuNew<TX11ReduceView>(Zuvi_app_zone);
        view->SetBox(ZuRect(40, 60, 199, 139));
        view->SetParent(w);
        reports = TReportLog::Make();
        reports->Watch(w, {"notify_window_reduced", "notify_window_restored"});
        ZuArrayRef items = ZuNew<ZuArray>(Zuvi_app_zone);
        ZuArrayRef commands = ZuNew<ZuArray>(Zuvi_app_zone);
        commands->Insert(ZuObjectRef(Command("Ouvrir")));
        ZuCommandFactoryRef file = Command("Fichier");
        file->SetChildFactories(commands);
        items->Insert(ZuObjectRef(file));
        bar = ZuNew<ZuMenu>(Zuvi_app_zone);
        bar->Initialise(items, ZU_MENU_LAYOUT_HORIZONTAL, ZU_MENU_POPUP_AUTO, ZU_MENU_ALIGN_BEGIN,
                        ZU_MENU_BORDER_3D, w, ZuStringRef(), ZuViewArchitectRef());
        if (reduced)
            w->ShowReduced();
        else
            w->ShowNormal();
        ready = true;
    }
    void TearDown() override
    {
        X11AppTest::TearDown();
        manager.Stop();
    }
    void DeleteViews() override
    {
        if (!ready)
            return;
        bar->Delete();
        bar = ZuMenuRef();
        w->Delete();
        w = ZuWindowRef();
        view = TX11ReduceViewRef();
        reports->Delete();
        reports = TReportLogRef();
    }
    ZuCommandFactoryRef Command(const char* text)
    {
        ZuCommandFactoryRef f = ZuNew<ZuCommandFactory>(Zuvi_app_zone);
        f->Initialise(ZuAtomPathRef(), ZuAtomRef("Rien"), true, false);
        f->DefineLabel(ZuAtomRef(), ZuStringRef(), ZuStringRef(text), ZuStringRef(), ZuStringRef());
        return f;
    }

    // The screen point of a point of the window (window coordinates: the
    // client's corner is (0, 0), the bar lies above it), wherever the
    // manager put the window.
    void OnScreen(double x, double y, int& sx, int& sy)
    {
        const ZuRect frame = w->RetFrameGeometry();
        Window child;
        XTranslateCoordinates(peer, Window(XidOf(w)), DefaultRootWindow(peer), int(x - frame.X1()),
                              int(y - frame.Y1()), &sx, &sy, &child);
    }
    // A press and release at a point of the window, made as the user's.
    void Click(double x, double y)
    {
        int sx = 0, sy = 0;
        OnScreen(x, y, sx, sy);
        PointerAt(sx, sy);
        Settle();
        Button(true);
        Settle();
        Button(false);
        Settle();
    }
    void ClickReduceBox()
    {
        const ZuRect& box = w->RetWindowBar()->RetButton(ZU_WINBAR_BUTTON_REDUCE)->RetBox();
        Click((box.X1() + box.X2()) / 2, (box.Y1() + box.Y2()) / 2);
    }
    // The pixel the screen shows at a point of the window, read from the
    // root window as any other program sees it.
    unsigned long ScreenPixel(double x, double y)
    {
        int sx = 0, sy = 0;
        OnScreen(x, y, sx, sy);
        XImage* image = XGetImage(peer, DefaultRootWindow(peer), sx, sy, 1, 1, AllPlanes, ZPixmap);
        if (image == nullptr)
            return 0xDEADBEEFul;
        unsigned long p = XGetPixel(image, 0, 0) & 0xFFFFFFul;
        XDestroyImage(image);
        return p;
    }
    long WmState()
    {
        Atom type;
        int format;
        unsigned long count, after;
        unsigned char* data = nullptr;
        long state = -1;
        if (XGetWindowProperty(peer, Window(XidOf(w)), XInternAtom(peer, "WM_STATE", False), 0, 2,
                               False, AnyPropertyType, &type, &format, &count, &after,
                               &data) == Success &&
            data != nullptr && count > 0)
            state = reinterpret_cast<long*>(data)[0];
        if (data != nullptr)
            XFree(data);
        return state;
    }
    // What a task bar sends the manager: make the window an icon, or
    // bring it back and activate it.
    void AskManager(const char* message, long value)
    {
        XEvent e;
        std::memset(&e, 0, sizeof e);
        e.xclient.type = ClientMessage;
        e.xclient.window = Window(XidOf(w));
        e.xclient.message_type = XInternAtom(peer, message, False);
        e.xclient.format = 32;
        e.xclient.data.l[0] = value;
        XSendEvent(peer, DefaultRootWindow(peer), False,
                   SubstructureRedirectMask | SubstructureNotifyMask, &e);
        XFlush(peer);
    }
    // The view's middle shows red: the window was painted.
    bool PaintedRed() { return IsRed(ScreenPixel(120, 100)); }
    // A press on the menu bar's first item maps its submenu.
    void ExpectMenuOpens()
    {
        ZuRect r;
        bar->RetViewPane()->RetLayout()->GetViewBox(0, r);
        const ZuRect& pane = bar->RetViewPane()->RetBox();
        int sx = 0, sy = 0;
        OnScreen(pane.X1() + r.X1() + r.DX() / 2, pane.Y1() + r.Y1() + r.DY() / 2, sx, sy);
        PointerAt(sx, sy);
        Settle();
        Button(true);
        EXPECT_TRUE(PumpUntil([&] {
            return bar->RetOpenSubmenu().IsValid() &&
                   Mapped(XidOf(bar->RetOpenSubmenu()->RetMenuWindow()));
        }));
        Button(false);
        Settle();
    }

    XWindowManager manager;
    bool ready = false;
    ZuWindowRef w;
    TX11ReduceViewRef view;
    ZuMenuRef bar;
    TReportLogRef reports;
};

// The ways a window reduced by its box comes back: a task bar's request,
// a program mapping it (the way back that the window manager protocol
// gives).
enum class Back { kTaskBar, kMapped };

class ReduceX11Back : public ReduceX11, public ::testing::WithParamInterface<Back> {};

TEST_P(ReduceX11Back, UnderAWindowManagerTheBoxMakesAnIconThatComesBackPaintedAndAnswering)
{
    ZUVI_REQUIRE_XVFB();
    ZUVI_REQUIRE_WINDOW_MANAGER(manager);
    Start();
    ASSERT_TRUE(ready);
    ASSERT_TRUE(PumpUntil([&] { return Mapped(XidOf(w)) && PaintedRed(); }))
        << "mapped " << Mapped(XidOf(w)) << std::hex << " pixel " << ScreenPixel(120, 100)
        << " state " << WmState();

    ClickReduceBox();
    ASSERT_TRUE(PumpUntil([&] { return !Mapped(XidOf(w)) && WmState() == IconicState; }));
    EXPECT_TRUE(w->IsReduced());
    EXPECT_NE(reports->log.find("notify_window_reduced"), std::string::npos);
    reports->Clear();

    if (GetParam() == Back::kTaskBar)
        AskManager("_NET_ACTIVE_WINDOW", 2);
    else
        XMapWindow(peer, Window(XidOf(w)));
    XFlush(peer);
    EXPECT_TRUE(PumpUntil([&] { return Mapped(XidOf(w)) && !w->IsReduced(); }))
        << "mapped " << Mapped(XidOf(w)) << ", reduced " << w->IsReduced();
    EXPECT_TRUE(PumpUntil([&] { return PaintedRed(); })) << std::hex << ScreenPixel(120, 100);
    EXPECT_NE(reports->log.find("notify_window_restored"), std::string::npos);
    EXPECT_EQ(reports->log.find("notify_window_reduced"), std::string::npos) << reports->log;
    ExpectMenuOpens();
    if (GetParam() == Back::kTaskBar) {
        EXPECT_TRUE(PumpUntil([&] { return w->IsActive(); }));
    }
}

INSTANTIATE_TEST_SUITE_P(Ways, ReduceX11Back, ::testing::Values(Back::kTaskBar, Back::kMapped),
                         [](const ::testing::TestParamInfo<Back>& info) {
                             return std::string(info.param == Back::kTaskBar ? "TaskBar"
                                                                             : "Mapped");
                         });

// The window manager makes the window an icon by itself (its task bar, its
// keys): the window knows it is reduced, and is whole again once back.
TEST_F(ReduceX11, AnIconMadeByTheWindowManagerIsAReducedWindow)
{
    ZUVI_REQUIRE_XVFB();
    ZUVI_REQUIRE_WINDOW_MANAGER(manager);
    Start();
    ASSERT_TRUE(ready);
    ASSERT_TRUE(PumpUntil([&] { return Mapped(XidOf(w)) && PaintedRed(); }));

    AskManager("WM_CHANGE_STATE", IconicState);
    ASSERT_TRUE(PumpUntil([&] { return !Mapped(XidOf(w)) && w->IsReduced(); }))
        << "mapped " << Mapped(XidOf(w)) << ", reduced " << w->IsReduced();
    EXPECT_NE(reports->log.find("notify_window_reduced"), std::string::npos);

    AskManager("_NET_ACTIVE_WINDOW", 2);
    EXPECT_TRUE(PumpUntil([&] { return Mapped(XidOf(w)) && !w->IsReduced() && PaintedRed(); }));
    ExpectMenuOpens();
}

// A window whose first showing is reduced starts as an icon of the window
// manager, from which the user brings it, painted; the program's own
// ShowNormal brings it back too.
TEST_F(ReduceX11, AWindowFirstShownReducedIsAnIconThatComesBack)
{
    ZUVI_REQUIRE_XVFB();
    ZUVI_REQUIRE_WINDOW_MANAGER(manager);
    Start(true);
    ASSERT_TRUE(ready);
    ASSERT_TRUE(PumpUntil([&] { return WmState() == IconicState; })) << WmState();
    EXPECT_TRUE(w->IsReduced());
    EXPECT_FALSE(Mapped(XidOf(w)));

    AskManager("_NET_ACTIVE_WINDOW", 2);
    EXPECT_TRUE(PumpUntil([&] { return Mapped(XidOf(w)) && !w->IsReduced() && PaintedRed(); }));
    ClickReduceBox();
    ASSERT_TRUE(PumpUntil([&] { return WmState() == IconicState && w->IsReduced(); }));
    w->ShowNormal();
    EXPECT_TRUE(PumpUntil([&] { return Mapped(XidOf(w)) && !w->IsReduced() && PaintedRed(); }));
}

// Without a window manager the box leaves the window as it was: shown, not
// reduced, painting what changes and answering the next click.
TEST_F(ReduceX11, WithoutAWindowManagerTheBoxLeavesTheWindowUsable)
{
    ZUVI_REQUIRE_XVFB();
    ASSERT_FALSE(XWindowManager::Running());
    Start();
    ASSERT_TRUE(ready);
    ASSERT_TRUE(PumpUntil([&] { return Mapped(XidOf(w)) && PaintedRed(); }));

    ClickReduceBox();
    EXPECT_TRUE(Mapped(XidOf(w)));
    EXPECT_FALSE(w->IsReduced());
    EXPECT_EQ(reports->log.find("notify_window_reduced"), std::string::npos) << reports->log;

    Click(120, 100);
    EXPECT_TRUE(view->pressed);
    EXPECT_TRUE(PumpUntil([&] { return IsBlue(ScreenPixel(120, 100)); }))
        << std::hex << ScreenPixel(120, 100);
    ExpectMenuOpens();
}

} // namespace
