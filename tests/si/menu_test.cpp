// Menus as a user meets them on the headless screen: the menu view's
// geometry, border and stored form; popup placement; a menu bar whose
// items open submenus, tracking across items, choosing a command, closing
// every menu by a press outside them, and tearing a submenu off; the keys
// of the window staying with its main responder across all of it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "si/array.h"
#include "si/commandfactory.h"
#include "si/control.h"
#include "si/event.h"
#include "si/gridlayout.h"
#include "si/lookman.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/menu.h"
#include "si/rtclass.h"
#include "si/viewpane.h"
#include "si/viewprovider.h"
#include "tests/support/controls.h"
#include "tests/support/views.h"
#include "w32/headless.h"

// The object of the menus' command factories: counts the commands run.
ZU_HANDLE(TMenuCounter, ZuObject)
class TMenuCounter : public ZuObject {
    ZU_CLASS(TMenuCounter, ZuObject)
public:
    TMenuCounter() {}
    bool Run()
    {
        ++runs;
        return true;
    }
    int runs = 0;
};
ZU_CLASS_END(TMenuCounter)
ZU_IMPLEMENT_CLASS(TMenuCounter, "tests/si/menu_test", ZU_CLASS_PLAIN)
ZU_EXPORT_ACTOR(TMenuCounter, Run)

// Pops a menu up at the pointer when the control it watches is pressed,
// as a context menu does.
ZU_HANDLE(TMenuPopper, ZuObject)
class TMenuPopper : public ZuObject {
    ZU_CLASS(TMenuPopper, ZuObject)
public:
    TMenuPopper() {}
    bool Pop(const ZuObjectRef&, unsigned)
    {
        menu->Popup(ZuViewRef(), ZU_MENU_POPUP_BELOW);
        return true;
    }
    ZuMenuRef menu;
};
ZU_CLASS_END(TMenuPopper)
ZU_IMPLEMENT_CLASS(TMenuPopper, "tests/si/menu_test", ZU_CLASS_PLAIN)
ZU_EXPORT_OBSERVER(TMenuPopper, Pop)

namespace {

class MenuTest : public ControlTest {
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        counter = ZuNew<TMenuCounter>();
        const ZuLookManRef& look = ZuLookMan::Current();
        bw3d = look->Ret3DEffectWidth() + look->RetWidgetFrameSize();
    }
    void TearDown() override
    {
        for (ZuObjectRef& o : made)
            if (o.IsValid())
                o->Delete();
        made.clear();
        counter = TMenuCounterRef();
        ControlTest::TearDown();
    }
    ZuCommandFactoryRef Command(const char* text, bool enabled = true)
    {
        ZuCommandFactoryRef f = ZuNew<ZuCommandFactory>(Zuvi_app_zone);
        f->Initialise(ZuAtomPathRef(), counter, ZuAtomPathRef("Run"), enabled, false);
        f->DefineLabel(ZuAtomRef(), ZuStringRef(), ZuStringRef(text), ZuStringRef(), ZuStringRef());
        return f;
    }
    ZuArrayRef List(std::initializer_list<ZuObjectRef> items)
    {
        ZuArrayRef list = ZuNew<ZuArray>(Zuvi_app_zone);
        for (const ZuObjectRef& item : items)
            list->Insert(item);
        return list;
    }
    ZuCommandFactoryRef Submenu(const char* text, std::initializer_list<ZuObjectRef> children)
    {
        ZuCommandFactoryRef f = Command(text);
        f->SetChildFactories(List(children));
        return f;
    }
    // A horizontal bar at (10, 10) of the window: "Fichier" (Ouvrir,
    // separator, Fermer disabled) and "Edition" (Copier).
    ZuMenuRef Bar()
    {
        ZuArrayRef items =
            List({Submenu("Fichier", {Command("Ouvrir"), ZuObjectNull, Command("Fermer", false)}),
                  Submenu("Edition", {Command("Copier")})});
        ZuMenuRef bar = ZuNew<ZuMenu>(Zuvi_app_zone);
        bar->Initialise(items, ZU_MENU_LAYOUT_HORIZONTAL, ZU_MENU_POPUP_AUTO, ZU_MENU_ALIGN_BEGIN,
                        ZU_MENU_BORDER_3D, w, ZuStringRef(), ZuViewArchitectRef());
        bar->SetOrigin(10, 10);
        bar->UpdateMenu();
        made.push_back(bar);
        return bar;
    }
    // The centre of an item on the screen, from the layout and the pane.
    void ItemCentre(const ZuMenuRef& menu, unsigned index, int& x, int& y)
    {
        ZuRect r;
        menu->RetViewPane()->RetLayout()->GetViewBox(index, r);
        const ZuRect& pane = menu->RetViewPane()->RetBox();
        double ox = 0, oy = 0;
        menu->RetWindow()->GetWindowOrigin(ox, oy);
        x = int(ox + pane.X1() + r.X1() + r.DX() / 2);
        y = int(oy + pane.Y1() + r.Y1() + r.DY() / 2);
    }
    void Screen(int x, int y, unsigned buttons)
    {
        W32_HeadlessMouse(x, y, buttons);
        Pump();
    }
    // The pointer on the centre of an item, buttons held, then served.
    void OnItem(const ZuMenuRef& menu, unsigned index, unsigned buttons)
    {
        int x = 0, y = 0;
        ItemCentre(menu, index, x, y);
        Screen(x, y, buttons);
    }
    static bool SpyRegistered()
    {
        ZuObjectRef owner;
        ZuAtomRef action;
        ZuEventMask mask;
        return ZuEvent::GetEventSpy(0, owner, action, mask);
    }

    TMenuCounterRef counter;
    std::vector<ZuObjectRef> made;
    double bw3d = 0;
};

} // namespace

// The menu surrounds its pane by the border width on each side: 3-D
// effect + widget frame for 3D, the frame alone for FLAT and THIN, nothing
// for NONE.
TEST_F(MenuTest, TheBorderWidthSurroundsThePane)
{
    const ZuLookManRef& look = ZuLookMan::Current();
    const double frame = look->RetWidgetFrameSize();
    struct Case {
        ZuMenuBorderStyle border;
        double width;
    } cases[] = {{ZU_MENU_BORDER_3D, bw3d},
                 {ZU_MENU_BORDER_THIN, frame},
                 {ZU_MENU_BORDER_FLAT, frame},
                 {ZU_MENU_BORDER_NONE, 0}};
    for (const Case& c : cases) {
        ZuMenuRef menu = ZuNew<ZuMenu>(Zuvi_app_zone);
        ASSERT_TRUE(menu->Initialise(List({Command("Ouvrir"), Command("Fermer")}),
                                     ZU_MENU_LAYOUT_VERTICAL, ZU_MENU_POPUP_AUTO,
                                     ZU_MENU_ALIGN_BEGIN, c.border, w, ZuStringRef(),
                                     ZuViewArchitectRef()));
        made.push_back(menu);
        double sw = 0, sh = 0, mw = 0, mh = 0;
        ASSERT_TRUE(menu->RetViewPane()->GetSurfaceSize(sw, sh));
        EXPECT_GT(sw, 0);
        menu->GetSize(mw, mh);
        EXPECT_EQ(mw, sw + 2 * c.width) << ZuMenuBorderStyleRetName(c.border);
        EXPECT_EQ(mh, sh + 2 * c.width) << ZuMenuBorderStyleRetName(c.border);
        double px = 0, py = 0, ox = 0, oy = 0;
        menu->RetViewPane()->GetOrigin(px, py);
        menu->GetOrigin(ox, oy);
        EXPECT_EQ(px - ox, c.width);
        EXPECT_EQ(py - oy, c.width);
        EXPECT_FALSE(menu->RetMenuWindow().IsValid());
        menu->Delete();
        made.pop_back();
    }
}

// 3D draws a frame at the menu's corner; FLAT and NONE leave the window's
// own pixel there.
TEST_F(MenuTest, OnlyThinAndThreeDDrawAFrame)
{
    w->Display(false);
    Pump();
    const unsigned back = WindowPixel(20, 20);
    struct Case {
        ZuMenuBorderStyle border;
        bool drawn;
    } cases[] = {{ZU_MENU_BORDER_3D, true},
                 {ZU_MENU_BORDER_THIN, true},
                 {ZU_MENU_BORDER_FLAT, false},
                 {ZU_MENU_BORDER_NONE, false}};
    for (const Case& c : cases) {
        ZuMenuRef menu = ZuNew<ZuMenu>(Zuvi_app_zone);
        menu->Initialise(List({Command("Ouvrir")}), ZU_MENU_LAYOUT_VERTICAL, ZU_MENU_POPUP_AUTO,
                         ZU_MENU_ALIGN_BEGIN, c.border, w, ZuStringRef(), ZuViewArchitectRef());
        menu->SetOrigin(20, 20);
        menu->UpdateMenu();
        w->Display(false);
        Pump();
        EXPECT_EQ(WindowPixel(20, 20) != back, c.drawn) << ZuMenuBorderStyleRetName(c.border);
        menu->Delete();
        w->Display(false);
        Pump();
    }
}

TEST_F(MenuTest, AMenuParentMakesAFloatingMenuAndTheOrientationStays)
{
    ZuMenuRef bar = Bar();
    EXPECT_FALSE(bar->RetMenuWindow().IsValid());
    ZuMenuRef floating = ZuNew<ZuMenu>(Zuvi_app_zone);
    floating->Initialise(List({Command("Ouvrir"), Command("Fermer")}), ZU_MENU_LAYOUT_ALONG,
                         ZU_MENU_POPUP_AUTO, ZU_MENU_ALIGN_BEGIN, ZU_MENU_BORDER_NONE, bar,
                         ZuStringRef("Fichier"), ZuViewArchitectRef());
    made.push_back(floating);
    ASSERT_TRUE(floating->RetMenuWindow().IsValid());
    EXPECT_TRUE(floating->RetParent() == ZuViewRef(floating->RetMenuWindow()));

    // One column: item 1 lies below item 0; a later layout style is only
    // stored.
    floating->SetLayoutStyle(ZU_MENU_LAYOUT_HORIZONTAL);
    floating->UpdateMenu();
    ZuRect a, b;
    floating->RetViewPane()->RetLayout()->GetViewBox(0, a);
    floating->RetViewPane()->RetLayout()->GetViewBox(1, b);
    EXPECT_EQ(b.X1(), a.X1());
    EXPECT_GT(b.Y1(), a.Y1());
    EXPECT_EQ(floating->RetLayoutStyle(), ZU_MENU_LAYOUT_HORIZONTAL);
}

TEST_F(MenuTest, TheStyleEnumerationsNameTheirValues)
{
    EXPECT_STREQ(ZuMenuLayoutStyleRetName(ZU_MENU_LAYOUT_HORIZONTAL), "ZU_MENU_LAYOUT_HORIZONTAL");
    EXPECT_STREQ(ZuMenuPopupStyleRetName(ZU_MENU_POPUP_CENTER), "ZU_MENU_POPUP_CENTER");
    EXPECT_STREQ(ZuMenuAlignStyleRetName(ZU_MENU_ALIGN_SMART), "ZU_MENU_ALIGN_SMART");
    EXPECT_STREQ(ZuMenuBorderStyleRetName(static_cast<ZuMenuBorderStyle>(4)), "?");
    EXPECT_FALSE(IsValid(static_cast<ZuMenuPopupStyle>(6)));
    ZuMenuBorderStyle b = ZU_MENU_BORDER_3D;
    b++;
    EXPECT_EQ(static_cast<unsigned>(b), 4u);
}

// The stored form keeps styles, margins and flags; values outside their
// tables come back as the constructor's; a menu restored without its pane
// shows nothing.
TEST_F(MenuTest, StoredMenusComeBackAndDamagedOnesStayHarmless)
{
    ZuMenuRef bar = Bar();
    bar->SetPopupStyle(ZU_MENU_POPUP_ABOVE);
    bar->SetAlignStyle(ZU_MENU_ALIGN_END);
    bar->SetChildPopupStyle(ZU_MENU_POPUP_CENTER);
    ZuObjectRef out = StoreAndRestore(bar);
    ASSERT_TRUE(out.IsValid() && out->IsKindOf(ZuMenuRef::RetRuntime()));
    ZuMenuRef back(out);
    made.push_back(back);
    EXPECT_EQ(back->RetLayoutStyle(), ZU_MENU_LAYOUT_HORIZONTAL);
    EXPECT_EQ(back->RetPopupStyle(), ZU_MENU_POPUP_ABOVE);
    EXPECT_EQ(back->RetAlignStyle(), ZU_MENU_ALIGN_END);
    EXPECT_EQ(back->RetChildPopupStyle(), ZU_MENU_POPUP_CENTER);
    EXPECT_EQ(back->RetBorderStyle(), ZU_MENU_BORDER_3D);
    EXPECT_TRUE(back->RetViewPane().IsValid());
    EXPECT_FALSE(back->RetMenuWindow().IsValid());

    ZuMenuRef odd = ZuNew<ZuMenu>(Zuvi_app_zone);
    made.push_back(odd);
    odd->SetLayoutStyle(static_cast<ZuMenuLayoutStyle>(9));
    odd->SetPopupStyle(static_cast<ZuMenuPopupStyle>(77));
    odd->SetAlignStyle(static_cast<ZuMenuAlignStyle>(4));
    odd->SetChildPopupStyle(static_cast<ZuMenuPopupStyle>(6));
    odd->SetBorderStyle(static_cast<ZuMenuBorderStyle>(12));
    ZuObjectRef odd_out = StoreAndRestore(odd);
    ASSERT_TRUE(odd_out.IsValid());
    ZuMenuRef odd_back(odd_out);
    made.push_back(odd_back);
    EXPECT_EQ(odd_back->RetLayoutStyle(), ZU_MENU_LAYOUT_ALONG);
    EXPECT_EQ(odd_back->RetPopupStyle(), ZU_MENU_POPUP_AUTO);
    EXPECT_EQ(odd_back->RetAlignStyle(), ZU_MENU_ALIGN_BEGIN);
    EXPECT_EQ(odd_back->RetChildPopupStyle(), ZU_MENU_POPUP_AUTO);
    EXPECT_EQ(odd_back->RetBorderStyle(), ZU_MENU_BORDER_3D);
    EXPECT_TRUE(odd_back->RetViewPane().IsInvalid());
    odd_back->ShowMenu(10, 10, w);
    EXPECT_FALSE(odd_back->IsShown());
    EXPECT_FALSE(SpyRegistered());
}

// Placement against an anchor view of the window (or the event's point).
TEST_F(MenuTest, PopupsArePlacedAgainstTheirAnchor)
{
    ZuViewRef anchor = ZuNew<ZuView>(Zuvi_app_zone);
    anchor->SetBox(ZuRect(50, 40, 89, 59));
    anchor->SetParent(w);
    double wx = 0, wy = 0;
    w->GetWindowOrigin(wx, wy);
    struct Case {
        const char* name;
        ZuMenuLayoutStyle layout;
        ZuMenuPopupStyle style;
        ZuMenuAlignStyle align;
        bool use_anchor;
    } cases[] = {
        {"event", ZU_MENU_LAYOUT_VERTICAL, ZU_MENU_POPUP_BELOW, ZU_MENU_ALIGN_BEGIN, false},
        {"center", ZU_MENU_LAYOUT_VERTICAL, ZU_MENU_POPUP_CENTER, ZU_MENU_ALIGN_END, true},
        {"below smart", ZU_MENU_LAYOUT_VERTICAL, ZU_MENU_POPUP_BELOW, ZU_MENU_ALIGN_SMART, true},
        {"auto vertical", ZU_MENU_LAYOUT_VERTICAL, ZU_MENU_POPUP_AUTO, ZU_MENU_ALIGN_BEGIN, true},
        {"auto horizontal", ZU_MENU_LAYOUT_HORIZONTAL, ZU_MENU_POPUP_AUTO, ZU_MENU_ALIGN_BEGIN,
         true},
    };
    ZuControlRef area = ZuNew<ZuControl>(Zuvi_app_zone);
    area->SetBox(ZuRect(0, 0, 39, 29));
    area->SetParent(w);
    TMenuPopperRef popper = ZuNew<TMenuPopper>();
    area->AttachObserver(popper, ZuAtomRef("notify_left_button_pressed"), ZuAtomRef("Pop"), 0);
    for (const Case& c : cases) {
        ZuMenuRef menu = ZuNew<ZuMenu>(Zuvi_app_zone);
        menu->Initialise(List({Command("Ouvrir"), Command("Fermer")}), c.layout, ZU_MENU_POPUP_AUTO,
                         c.align, ZU_MENU_BORDER_3D, ZuViewRef(), ZuStringRef(),
                         ZuViewArchitectRef());
        made.push_back(menu);
        if (c.use_anchor) {
            menu->Popup(anchor, c.style);
        } else {
            // During a press: at the event's point on the screen.
            popper->menu = menu;
            Mouse(30, 20, MK_LBUTTON);
            Mouse(30, 20, 0);
            popper->menu = ZuMenuRef();
        }
        double x = 0, y = 0;
        menu->RetMenuWindow()->GetWindowOrigin(x, y);
        ZuRect r;
        menu->RetViewPane()->RetLayout()->GetViewBox(0, r);
        const std::string name = c.name;
        if (name == "event") {
            EXPECT_EQ(x, wx + 30);
            EXPECT_EQ(y, wy + 20);
        } else if (name == "center") {
            EXPECT_EQ(x + r.X1() + r.DX() / 2, wx + 50 + 20);
            EXPECT_EQ(y + r.Y1() + r.DY() / 2, wy + 40 + 10);
        } else if (name == "below smart") {
            EXPECT_EQ(x + r.X1(), wx + 50);
            EXPECT_EQ(y, wy + 60);
        } else if (name == "auto vertical") {
            EXPECT_EQ(x, wx + 90);
            EXPECT_EQ(y, wy + 40);
        } else {
            EXPECT_EQ(x, wx + 50);
            EXPECT_EQ(y, wy + 60);
        }
        EXPECT_TRUE(menu->IsShown()) << c.name;
        menu->HideMenu();
        EXPECT_FALSE(menu->IsShown()) << c.name;
    }
    EXPECT_FALSE(SpyRegistered());
}

// Outside tracking, passing over a bar item only highlights it; a press
// opens its submenu below it and starts tracking; passing over the other
// item then swaps the submenus; coming back to the item whose submenu is
// open shows that one again.
TEST_F(MenuTest, PressingABarItemOpensItsSubmenuAndTrackingFollowsThePointer)
{
    ZuMenuRef bar = Bar();
    reports->Watch(bar, {"notify_hilited", "notify_clicked"});
    OnItem(bar, 0, 0);
    EXPECT_EQ(reports->log, "notify_hilited(0) ");
    EXPECT_TRUE(bar->RetOpenSubmenu().IsInvalid());
    EXPECT_FALSE(bar->IsInTrackingMode());

    OnItem(bar, 0, MK_LBUTTON);
    ZuMenuRef file = bar->RetOpenSubmenu();
    ASSERT_TRUE(file.IsValid());
    EXPECT_TRUE(bar->IsInTrackingMode());
    EXPECT_TRUE(file->IsShown());
    EXPECT_TRUE(SpyRegistered());
    // Below item 0; the submenu of a bar has a 3-D border.
    int ix = 0, iy = 0;
    ItemCentre(bar, 0, ix, iy);
    ZuRect r0;
    bar->RetViewPane()->RetLayout()->GetViewBox(0, r0);
    double sx = 0, sy = 0;
    file->RetMenuWindow()->GetWindowOrigin(sx, sy);
    EXPECT_EQ(sy, iy - int(r0.DY() / 2) + r0.DY());
    EXPECT_EQ(file->RetBorderStyle(), ZU_MENU_BORDER_3D);
    EXPECT_TRUE(file->RetMenuWindow()->RetStyle().TestBit(ZU_WINSTYLE_TOOL));
    EXPECT_TRUE(file->RetMenuWindow()->RetStyle().TestBit(ZU_WINSTYLE_TOPMOST));
    OnItem(bar, 0, 0);
    EXPECT_TRUE(bar->RetOpenSubmenu() == file);

    OnItem(bar, 1, 0);
    ZuMenuRef edit = bar->RetOpenSubmenu();
    ASSERT_TRUE(edit.IsValid());
    EXPECT_FALSE(edit == file);
    EXPECT_FALSE(file->IsShown());
    EXPECT_TRUE(edit->IsShown());
    EXPECT_EQ(bar->RetSelectedItem(), 1u);

    // Off the bar and back onto the same item: the same submenu.
    Mouse(150, 100, 0);
    OnItem(bar, 1, 0);
    EXPECT_TRUE(bar->RetOpenSubmenu() == edit);
    EXPECT_TRUE(edit->IsShown());
    EXPECT_EQ(reports->log.find("notify_clicked"), std::string::npos);
}

// Without the tracking setting, a second press on the item whose submenu
// is open closes it and leaves tracking.
TEST_F(MenuTest, ASecondPressOnTheSameItemClosesItsSubmenu)
{
    ZuMenuRef bar = Bar();
    EXPECT_FALSE(bar->RetTrackingMode());
    OnItem(bar, 0, MK_LBUTTON);
    OnItem(bar, 0, 0);
    ZuMenuRef file = bar->RetOpenSubmenu();
    ASSERT_TRUE(file.IsValid());
    OnItem(bar, 0, MK_LBUTTON);
    OnItem(bar, 0, 0);
    EXPECT_TRUE(bar->RetOpenSubmenu().IsInvalid());
    EXPECT_FALSE(file->IsShown());
    EXPECT_FALSE(bar->IsInTrackingMode());
}

// Choosing an enabled command hides every menu, runs the command once and
// reports "notify_clicked" with 1; a disabled one only becomes the
// selected item; a separator takes nothing.
TEST_F(MenuTest, ChoosingACommandRunsItOnceAndClosesTheMenus)
{
    ZuMenuRef bar = Bar();
    OnItem(bar, 0, MK_LBUTTON);
    OnItem(bar, 0, 0);
    ZuMenuRef file = bar->RetOpenSubmenu();
    ASSERT_TRUE(file.IsValid());
    reports->Watch(file, {"notify_clicked"});

    // The disabled command takes no click; told of one, the menu only
    // selects it.
    OnItem(file, 2, MK_LBUTTON);
    OnItem(file, 2, 0);
    EXPECT_TRUE(file->IsShown());
    ZuViewRef disabled;
    ASSERT_TRUE(file->RetViewPane()->RetProvider()->GetView(2, disabled));
    EXPECT_FALSE(disabled->RetState().TestBit(ZU_VIEW_IS_ENABLED));
    file->HandleClickNotification(disabled, 2);
    EXPECT_EQ(file->RetSelectedItem(), 2u);
    EXPECT_TRUE(file->IsShown());
    EXPECT_EQ(counter->runs, 0);
    OnItem(file, 1, MK_LBUTTON);
    OnItem(file, 1, 0);
    EXPECT_TRUE(file->IsShown());

    OnItem(file, 0, MK_LBUTTON);
    OnItem(file, 0, 0);
    EXPECT_EQ(counter->runs, 1);
    EXPECT_EQ(reports->log, "notify_clicked(1) ");
    EXPECT_FALSE(file->IsShown());
    EXPECT_FALSE(bar->IsInTrackingMode());
    EXPECT_FALSE(SpyRegistered());
}

// A drag that starts on the bar continues in the submenu under the
// pointer; releasing on a command runs it.
TEST_F(MenuTest, ADragFromTheBarChoosesInTheSubmenu)
{
    ZuMenuRef bar = Bar();
    OnItem(bar, 0, MK_LBUTTON);
    ZuMenuRef file = bar->RetOpenSubmenu();
    ASSERT_TRUE(file.IsValid());
    OnItem(file, 0, MK_LBUTTON);
    OnItem(file, 0, 0);
    EXPECT_EQ(counter->runs, 1);
    EXPECT_FALSE(file->IsShown());
}

// A menu of the bar used with the pointer leaves the window's keys with
// the view that had them before the menu opened: a row chosen in two
// clicks or in one drag, a menu opened and closed on its bar item, a menu
// closed by a press outside it.
TEST_F(MenuTest, KeysStayWithTheMainResponderAcrossTheMenus)
{
    ZuMenuRef bar = Bar();
    TProbeViewRef page = TProbeView::Make("page", 10, 70, 190, 115);
    page->SetParent(w);
    ASSERT_TRUE(w->SetMainResponder(ZuResponderRef(page), true));
    struct Case {
        const char* what;
        // Steps of the pointer: the menu (0 the bar, 1 its open submenu),
        // the item, the buttons held.
        std::vector<std::vector<unsigned>> steps;
        // Commands run; -1 for whatever the bar item's own command does.
        int runs;
    };
    const Case cases[] = {
        {"two clicks", {{0, 0, MK_LBUTTON}, {0, 0, 0}, {1, 0, MK_LBUTTON}, {1, 0, 0}}, 1},
        {"one drag", {{0, 0, MK_LBUTTON}, {1, 0, MK_LBUTTON}, {1, 0, 0}}, 1},
        {"opened and closed on the bar",
         {{0, 1, MK_LBUTTON}, {0, 1, 0}, {0, 1, MK_LBUTTON}, {0, 1, 0}},
         -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        counter->runs = 0;
        TProbeView::log.clear();
        for (const std::vector<unsigned>& step : c.steps) {
            const ZuMenuRef menu = step[0] == 0 ? bar : bar->RetOpenSubmenu();
            ASSERT_TRUE(menu.IsValid());
            OnItem(menu, step[1], step[2]);
        }
        if (c.runs >= 0) {
            EXPECT_EQ(counter->runs, c.runs);
        }
        EXPECT_TRUE(bar->RetOpenSubmenu().IsInvalid());
        ZuViewRef main;
        EXPECT_TRUE(w->GetMainResponder(main) && main == page);
        EXPECT_TRUE(w->IsMainResponderOk());
        Tap('A', 0x1E);
        EXPECT_EQ(TProbeView::log, "page:KeyDown page:KeyUp ");
    }
    // Closed by a press outside every menu: the press is swallowed, the
    // keys still go to the view.
    OnItem(bar, 1, MK_LBUTTON);
    OnItem(bar, 1, 0);
    ASSERT_TRUE(bar->RetOpenSubmenu().IsValid());
    Mouse(195, 40, MK_LBUTTON);
    Mouse(195, 40, 0);
    EXPECT_TRUE(bar->RetOpenSubmenu().IsInvalid());
    TProbeView::log.clear();
    Tap('A', 0x1E);
    EXPECT_EQ(TProbeView::log, "page:KeyDown page:KeyUp ");
}

// A press outside every menu closes them all; the press, the motions
// after it and its release reach no window.
TEST_F(MenuTest, APressOutsideClosesEveryMenuAndIsSwallowed)
{
    ZuMenuRef bar = Bar();
    ZuControlRef control = ZuNew<ZuControl>(Zuvi_app_zone);
    control->SetBox(ZuRect(120, 80, 179, 109));
    control->SetParent(w);
    reports->Watch(control, {"notify_left_button_pressed", "notify_clicked", "notify_entered"});
    OnItem(bar, 0, MK_LBUTTON);
    OnItem(bar, 0, 0);
    ZuMenuRef file = bar->RetOpenSubmenu();
    ASSERT_TRUE(file.IsValid());

    Mouse(190, 115, MK_LBUTTON);
    EXPECT_FALSE(file->IsShown());
    EXPECT_FALSE(bar->IsInTrackingMode());
    Mouse(150, 95, MK_LBUTTON);
    Mouse(150, 95, 0);
    EXPECT_EQ(reports->log, "");
    EXPECT_FALSE(SpyRegistered());
    // Afterwards the window has its input back.
    Mouse(150, 90, MK_LBUTTON);
    Mouse(150, 90, 0);
    EXPECT_NE(reports->log.find("notify_clicked"), std::string::npos);
}

// Dragging a submenu's window tears it off: it stays open when the others
// close. Dragging a menu without parent menu changes nothing.
TEST_F(MenuTest, DraggingASubmenusWindowTearsItOff)
{
    ZuMenuRef bar = Bar();
    OnItem(bar, 0, MK_LBUTTON);
    OnItem(bar, 0, 0);
    ZuMenuRef file = bar->RetOpenSubmenu();
    ASSERT_TRUE(file.IsValid());
    file->RetMenuWindow()->Report(ZuWindow::notify_window_dragged, 0);
    EXPECT_TRUE(file->IsStandAlone());
    EXPECT_TRUE(bar->RetOpenSubmenu().IsInvalid());
    EXPECT_TRUE(file->RetMenuWindow()->RetStyle().TestBit(ZU_WINSTYLE_CLOSE_BUTTON));
    made.push_back(file);

    // The bar still tracks: passing over the other item opens its submenu.
    OnItem(bar, 1, 0);
    ZuMenuRef edit = bar->RetOpenSubmenu();
    ASSERT_TRUE(edit.IsValid());
    Mouse(190, 115, MK_LBUTTON);
    Mouse(190, 115, 0);
    EXPECT_FALSE(edit->IsShown());
    EXPECT_TRUE(file->IsShown());

    ZuMenuRef lone = ZuNew<ZuMenu>(Zuvi_app_zone);
    lone->Initialise(List({Command("Ouvrir")}), ZU_MENU_LAYOUT_VERTICAL, ZU_MENU_POPUP_AUTO,
                     ZU_MENU_ALIGN_BEGIN, ZU_MENU_BORDER_3D, ZuViewRef(), ZuStringRef(),
                     ZuViewArchitectRef());
    made.push_back(lone);
    lone->ShowMenu(300, 300, w);
    lone->RetMenuWindow()->Report(ZuWindow::notify_window_dragged, 0);
    EXPECT_FALSE(lone->IsStandAlone());
    EXPECT_FALSE(lone->RetMenuWindow()->RetStyle().TestBit(ZU_WINSTYLE_CLOSE_BUTTON));
    lone->HideMenu();
}

// A bar deleted while tracking leaves the shared sets and the spy: the
// next press outside works on no deleted menu.
TEST_F(MenuTest, ABarDeletedWhileTrackingLeavesNoTrace)
{
    ZuMenuRef bar = Bar();
    OnItem(bar, 0, MK_LBUTTON);
    OnItem(bar, 0, 0);
    ASSERT_TRUE(bar->IsInTrackingMode());
    ASSERT_TRUE(SpyRegistered());
    bar->Delete();
    made.clear();
    ZuObjectRef::RealiseDeletions();
    EXPECT_FALSE(SpyRegistered());
    Mouse(190, 115, MK_LBUTTON);
    Mouse(190, 115, 0);

    // A new bar starts from a clean state.
    ZuMenuRef again = Bar();
    OnItem(again, 1, MK_LBUTTON);
    OnItem(again, 1, 0);
    EXPECT_TRUE(again->RetOpenSubmenu().IsValid());
    Mouse(190, 115, MK_LBUTTON);
    Mouse(190, 115, 0);
    EXPECT_FALSE(again->IsInTrackingMode());
}
