// A menu bar on the X server: a press on a bar item maps its submenu as a
// tool, top-most window just below the item; a drag into the submenu and
// a release on a command run it once; a press outside unmaps every menu
// window and reaches no window.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "si/array.h"
#include "si/commandfactory.h"
#include "si/control.h"
#include "si/gridlayout.h"
#include "si/menu.h"
#include "si/rtclass.h"
#include "si/viewpane.h"
#include "tests/support/controls.h"
// Last: it brings the X headers, whose macros clash with the library's names.
#include "tests/si/x11/x11app.h"

// Counts the commands the menus run.
ZU_HANDLE(TX11MenuCounter, ZuObject)
class TX11MenuCounter : public ZuObject {
    ZU_CLASS(TX11MenuCounter, ZuObject)
public:
    TX11MenuCounter() {}
    bool Run()
    {
        ++runs;
        return true;
    }
    int runs = 0;
};
ZU_CLASS_END(TX11MenuCounter)
ZU_IMPLEMENT_CLASS(TX11MenuCounter, "tests/si/x11/menu_x11_test", ZU_CLASS_PLAIN)
ZU_EXPORT_ACTOR(TX11MenuCounter, Run)

namespace {

auto* const g_xvfb = ::testing::AddGlobalTestEnvironment(new XvfbEnvironment);

class MenuX11 : public X11AppTest {
protected:
    void SetUp() override
    {
        X11AppTest::SetUp();
        if (!StartApplication())
            return;
        counter = ZuNew<TX11MenuCounter>();
        w = ZuNew<ZuWindow>(Zuvi_app_zone);
        w->InitGeom(100, 80, 240, 160, ZuStringRef("Fen\xEAtre"), ZuWinStyle());
        control = ZuNew<ZuControl>(Zuvi_app_zone);
        control->SetBox(ZuRect(150, 110, 229, 149));
        control->SetParent(w);
        reports = TReportLog::Make();
        reports->Watch(control, {"notify_left_button_pressed", "notify_clicked"});
        ZuArrayRef items = ZuNew<ZuArray>(Zuvi_app_zone);
        items->Insert(ZuObjectRef(Submenu("Fichier", {"Ouvrir", "Fermer"})));
        items->Insert(ZuObjectRef(Submenu("Edition", {"Copier"})));
        bar = ZuNew<ZuMenu>(Zuvi_app_zone);
        bar->Initialise(items, ZU_MENU_LAYOUT_HORIZONTAL, ZU_MENU_POPUP_AUTO, ZU_MENU_ALIGN_BEGIN,
                        ZU_MENU_BORDER_3D, w, ZuStringRef(), ZuViewArchitectRef());
        w->ShowNormal();
    }
    void DeleteViews() override
    {
        bar->Delete();
        bar = ZuMenuRef();
        w->Delete();
        w = ZuWindowRef();
        control = ZuControlRef();
        reports->Delete();
        reports = TReportLogRef();
    }
    ZuCommandFactoryRef Command(const char* text)
    {
        ZuCommandFactoryRef f = ZuNew<ZuCommandFactory>(Zuvi_app_zone);
        f->Initialise(ZuAtomPathRef(), counter, ZuAtomPathRef("Run"), true, false);
        f->DefineLabel(ZuAtomRef(), ZuStringRef(), ZuStringRef(text), ZuStringRef(), ZuStringRef());
        return f;
    }
    ZuCommandFactoryRef Submenu(const char* text, std::initializer_list<const char*> children)
    {
        ZuArrayRef list = ZuNew<ZuArray>(Zuvi_app_zone);
        for (const char* child : children)
            list->Insert(ZuObjectRef(Command(child)));
        ZuCommandFactoryRef f = Command(text);
        f->SetChildFactories(list);
        return f;
    }
    std::vector<unsigned long> Atoms(unsigned long xid, const char* property)
    {
        std::vector<unsigned long> out;
        Atom type;
        int format;
        unsigned long count, after;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(peer, Window(xid), XInternAtom(peer, property, False), 0, 64, False,
                               AnyPropertyType, &type, &format, &count, &after, &data) == Success &&
            data != nullptr) {
            const unsigned long* items = reinterpret_cast<const unsigned long*>(data);
            out.assign(items, items + count);
            XFree(data);
        }
        return out;
    }
    // The screen point of an item's centre, and the screen row of its
    // bottom edge.
    void Item(const ZuMenuRef& menu, unsigned index, int& x, int& y, int& bottom)
    {
        ZuRect r;
        menu->RetViewPane()->RetLayout()->GetViewBox(index, r);
        const ZuRect& pane = menu->RetViewPane()->RetBox();
        double ox = 0, oy = 0;
        menu->RetWindow()->GetWindowOrigin(ox, oy);
        x = int(ox + pane.X1() + r.X1() + r.DX() / 2);
        y = int(oy + pane.Y1() + r.Y1() + r.DY() / 2);
        bottom = int(oy + pane.Y1() + r.Y2());
    }

    ZuWindowRef w;
    ZuControlRef control;
    ZuMenuRef bar;
    TX11MenuCounterRef counter;
    TReportLogRef reports;
};

TEST_F(MenuX11, ABarOpensItsSubmenuBelowAndADragChoosesACommand)
{
    ZUVI_REQUIRE_XVFB();
    ASSERT_TRUE(PumpUntil([&] { return Mapped(XidOf(w)); }));

    int x = 0, y = 0, bottom = 0;
    Item(bar, 0, x, y, bottom);
    PointerAt(x, y);
    Settle();
    Button(true);
    ASSERT_TRUE(PumpUntil([&] {
        return bar->RetOpenSubmenu().IsValid() &&
               Mapped(XidOf(bar->RetOpenSubmenu()->RetMenuWindow()));
    }));
    ZuMenuRef file = bar->RetOpenSubmenu();
    const unsigned long sub = XidOf(file->RetMenuWindow());
    EXPECT_EQ(
        Atoms(sub, "_NET_WM_WINDOW_TYPE"),
        (std::vector<unsigned long>{XInternAtom(peer, "_NET_WM_WINDOW_TYPE_UTILITY", False)}));
    std::vector<unsigned long> state = Atoms(sub, "_NET_WM_STATE");
    EXPECT_NE(
        std::find(state.begin(), state.end(), XInternAtom(peer, "_NET_WM_STATE_ABOVE", False)),
        state.end());
    int sx = 0, sy = 0;
    Window child;
    XTranslateCoordinates(peer, Window(sub), DefaultRootWindow(peer), 0, 0, &sx, &sy, &child);
    EXPECT_EQ(sy, bottom + 1);

    // With the button held onto "Fermer", then released there.
    int cx = 0, cy = 0, cb = 0;
    Item(file, 1, cx, cy, cb);
    PointerAt(cx, cy);
    Settle();
    EXPECT_EQ(GetCapture(), file->RetMenuWindow()->RetScreenWindow()->RetPrivateWindowInfo()->hwnd);
    Button(false);
    ASSERT_TRUE(PumpUntil([&] { return counter->runs > 0; }));
    Settle();
    EXPECT_EQ(counter->runs, 1);
    EXPECT_FALSE(Mapped(sub));
}

TEST_F(MenuX11, APressOutsideUnmapsEveryMenuWindowAndReachesNoWindow)
{
    ZUVI_REQUIRE_XVFB();
    ASSERT_TRUE(PumpUntil([&] { return Mapped(XidOf(w)); }));
    int x = 0, y = 0, bottom = 0;
    Item(bar, 0, x, y, bottom);
    PointerAt(x, y);
    Settle();
    Button(true);
    Settle();
    Button(false);
    ASSERT_TRUE(PumpUntil([&] {
        return bar->RetOpenSubmenu().IsValid() &&
               Mapped(XidOf(bar->RetOpenSubmenu()->RetMenuWindow()));
    }));
    const unsigned long sub = XidOf(bar->RetOpenSubmenu()->RetMenuWindow());

    double ox = 0, oy = 0;
    w->GetWindowOrigin(ox, oy);
    PointerAt(int(ox) + 190, int(oy) + 130);
    Settle();
    Button(true);
    Settle();
    ASSERT_TRUE(PumpUntil([&] { return !Mapped(sub); }));
    Button(false);
    Settle();
    EXPECT_EQ(reports->log, "");
    EXPECT_EQ(counter->runs, 0);
    EXPECT_FALSE(bar->IsInTrackingMode());
}

} // namespace
