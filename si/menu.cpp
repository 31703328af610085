#include "si/menu.h"

#include "si/adorner.h"
#include "si/basecontainer.h"
#include "si/classfactory.h"
#include "si/command.h"
#include "si/commandfactory.h"
#include "si/control.h"
#include "si/event.h"
#include "si/grail.h"
#include "si/gridlayout.h"
#include "si/hashtab.h"
#include "si/icontainer.h"
#include "si/lookman.h"
#include "si/memzone.h"
#include "si/menuarchitect.h"
#include "si/providerview.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"
#include "si/textversion.h"
#include "si/viewarchitect.h"
#include "si/viewpane.h"
#include "si/viewprovider.h"
#include "si/winbar.h"
#include "si/window.h"

ZU_IMPLEMENT_CLASS(ZuMenu, "si/menu", ZU_CLASS_PLAIN)
ZU_ENUM_REGISTER(ZuMenuLayoutStyle)
ZU_ENUM_REGISTER(ZuMenuPopupStyle)
ZU_ENUM_REGISTER(ZuMenuAlignStyle)
ZU_ENUM_REGISTER(ZuMenuBorderStyle)

ZuAtomRef ZuMenu::notify_hilited;
ZuAtomRef ZuMenu::notify_clicked;
ZU_EXPORT_NOTIFY(ZuMenu, hilited, "notify_hilited", &ZuMenu::notify_hilited)
ZU_EXPORT_NOTIFY(ZuMenu, clicked, "notify_clicked", &ZuMenu::notify_clicked)

namespace {

ZuMenu* MenuOf(ZuObject* object)
{
    return static_cast<ZuMenu*>(object);
}

#define ZU_MENU_ACTOR(METHOD)         \
    Zuvi_TargetExport actor_##METHOD( \
        [](ZuObject* o) -> bool {     \
            MenuOf(o)->METHOD();      \
            return true;              \
        },                            \
        #METHOD, ZuMenuRef::RetRuntime());
#define ZU_MENU_OBSERVER(METHOD)                                           \
    Zuvi_TargetExport observer_##METHOD(                                   \
        [](ZuObject* o, const ZuObjectRef& cell, unsigned index) -> bool { \
            MenuOf(o)->METHOD(cell, index);                                \
            return true;                                                   \
        },                                                                 \
        #METHOD, ZuMenuRef::RetRuntime());
ZU_MENU_ACTOR(HandleEventSpying)
ZU_MENU_ACTOR(HandleShowNotification)
ZU_MENU_ACTOR(HandleHideNotification)
ZU_MENU_ACTOR(HandleDragNotification)
ZU_MENU_OBSERVER(HandleEnterNotification)
ZU_MENU_OBSERVER(HandleLeaveNotification)
ZU_MENU_OBSERVER(HandleClickNotification)
ZU_MENU_OBSERVER(HandlePressNotification)
#undef ZU_MENU_ACTOR
#undef ZU_MENU_OBSERVER

template <class R>
R AsKind(const ZuObjectRef& o)
{
    return (o.IsValid() && o->IsKindOf(R::RetRuntime())) ? R(o) : R();
}

// The tracking state that all menus share: the menus shown, the menus in
// tracking mode, the menu registered as event spy, whether input is
// swallowed until the next release after a press outside every menu, and
// the menu under the pointer during a press. The two sets live as long as
// some menu does.
struct MenuClassData {
    ZuHashTableRef menus;
    ZuHashTableRef tracking_menus;
    ZuMenuRef spy;
    bool swallow_events = false;
    ZuMenuRef active_menu;
    ZuWindowRef active_window;
    unsigned live = 0;
};

MenuClassData& Shared()
{
    static MenuClassData data;
    return data;
}

ZuHashTableRef NewSet()
{
    return ZuHashTableRef(ZuNew<ZuHashTable>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE));
}

void Enter(const ZuHashTableRef& set, const ZuMenuRef& menu)
{
    unsigned index = 0;
    if (set.IsValid() && !set->Find(ZuObjectRef(menu), index))
        set->Insert(ZuObjectRef(menu));
}

void Leave(const ZuHashTableRef& set, const ZuMenuRef& menu)
{
    if (set.IsValid())
        while (set->Remove(ZuObjectRef(menu), 0)) {}
}

bool IsEmpty(const ZuHashTableRef& set)
{
    return set.IsInvalid() || set->TotalCount() == 0;
}

ZuMenuRef First(const ZuHashTableRef& set)
{
    ZuObjectRef first;
    if (set.IsValid())
        set->Get(0, first);
    return AsKind<ZuMenuRef>(first);
}

ZuEventMask SpyMask()
{
    ZuEventMask mask;
    mask.SetBit(ZU_EVENT_PRESS);
    mask.SetBit(ZU_EVENT_RELEASE);
    mask.SetBit(ZU_EVENT_MOTION);
    return mask;
}

ZuAtomRef SpyAction()
{
    return ZuAtomRef("HandleEventSpying");
}

void RemoveSpy()
{
    MenuClassData& data = Shared();
    if (data.spy.IsValid())
        ZuEvent::RemoveEventSpy(ZuObjectRef(data.spy), SpyAction(), SpyMask());
    data.spy = ZuMenuRef();
}

// Width or height of a box, its ends included; 0 when empty.
double Dx(const ZuRect& r)
{
    return r.DX();
}

double Dy(const ZuRect& r)
{
    return r.DY();
}

const ZuStorageSync& MenuRecord()
{
    static ZuStorageSync record("<ZuMenu pane m_left m_right m_top m_bottom layout popup align "
                                "border popup_child is_vertical is_floatmenu is_def_tracking>");
    return record;
}

} // namespace

ZuMenu::ZuMenu()
{
    MenuClassData& data = Shared();
    if (data.live++ == 0 || data.menus.IsInvalid()) {
        data.menus = NewSet();
        data.tracking_menus = NewSet();
    }
}

ZuMenu::~ZuMenu()
{
    MenuClassData& data = Shared();
    if (data.live > 0 && --data.live == 0) {
        RemoveSpy();
        data.menus = ZuHashTableRef();
        data.tracking_menus = ZuHashTableRef();
        data.active_menu = ZuMenuRef();
        data.active_window = ZuWindowRef();
        data.swallow_events = false;
    }
}

// ---------------------------------------------------------------------------
// Construction, geometry, drawing, storage
// ---------------------------------------------------------------------------

bool ZuMenu::Initialise(const ZuBaseContainerRef& items, ZuMenuLayoutStyle new_layout,
                        ZuMenuPopupStyle new_popup, ZuMenuAlignStyle new_align,
                        ZuMenuBorderStyle new_border, const ZuViewRef& parent,
                        const ZuStringRef& new_title, const ZuViewArchitectRef& given)
{
    const ZuMenuRef self(this);
    layout = new_layout;
    popup = new_popup;
    align = new_align;
    border = new_border;
    title = new_title.IsValid() ? ZuStringRef(new_title->Clone()) : ZuStringRef();
    popup_child = ZU_MENU_POPUP_AUTO;

    if (parent.IsValid() && !parent->IsKindOf(ZuMenuRef::RetRuntime())) {
        SetParent(parent);
        window = ZuWindowRef();
        is_floatmenu = false;
    } else {
        parent_menu = AsKind<ZuMenuRef>(parent);
        window = ZuNew<ZuWindow>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
        is_floatmenu = true;
        SetParent(window);
    }
    is_vertical = layout == ZU_MENU_LAYOUT_ALONG || layout == ZU_MENU_LAYOUT_VERTICAL;

    unsigned count = 0;
    if (items.IsValid()) {
        ZuiContainer* container = static_cast<ZuiContainer*>(
            items.CheckAndResolve()->CastToInterface(&ZuiContainer::interface));
        if (container != nullptr)
            count = container->TotalCount();
    }

    ZuViewProviderRef provider = ZuNew<ZuViewProvider>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
    ZuGridLayoutRef grid = ZuNew<ZuGridLayout>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
    ZuViewPaneRef new_pane = ZuNew<ZuViewPane>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
    ZuViewArchitectRef architect = given;
    if (architect.IsInvalid()) {
        ZuMenuArchitectRef made = ZuNew<ZuMenuArchitect>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
        made->Initialise(0.0, 0.0, is_vertical);
        architect = made;
    }
    grid->Initialise(items, architect, is_vertical ? 1 : count, is_vertical ? count : 1, 0.0, 0.0,
                     true, true);
    provider->Initialise(items, architect, 30, 1);

    ZuProviderViewRef model = ZuNew<ZuProviderView>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
    model->ChangeStyle(ZU_CTRL_SELECT_WHEN_HOT, false);
    model->ChangeStyle(ZU_CTRL_SELECT_WHEN_ON, true);
    model->ChangeStyle(ZU_CTRL_HILITE_WHEN_HOT, true);
    model->ChangeStyle(ZU_CTRL_HILITE_WHEN_CLICKED, true);
    model->ChangeStyle(ZU_CTRL_IGNORE_HOT, false);
    // A row only passes its command on: clicked, it must not become its
    // window's main responder, or the keys that went to the window's
    // working view before the menu opened would stay with the menu bar.
    model->ChangeState(ZU_VIEW_OK_ACTIVE, false, false);
    provider->SetProviderViewModel(model);

    provider->AddViewObserver(self, ZuControl::notify_clicked,
                              ZuAtomRef("HandleClickNotification"));
    provider->AddViewObserver(self, ZuAtomRef("notify_left_button_pressed"),
                              ZuAtomRef("HandlePressNotification"));
    provider->AddViewObserver(self, ZuControl::notify_entered,
                              ZuAtomRef("HandleEnterNotification"));
    provider->AddViewObserver(self, ZuControl::notify_left, ZuAtomRef("HandleLeaveNotification"));

    new_pane->InitGeom(0.0, 0.0, 100.0, 100.0, ZuViewRef(self));
    new_pane->Initialise(provider, grid);
    new_pane->SetBackColor(ZuColorPixel(ZU_COLOR_NONE));
    pane = new_pane;

    m_left = m_right = m_top = m_bottom = 0;
    UpdateMenu();

    if (is_floatmenu) {
        window->AttachObserver(self, ZuWindow::notify_window_shown,
                               ZuAtomRef("HandleShowNotification"), 0);
        window->AttachObserver(self, ZuWindow::notify_window_hidden,
                               ZuAtomRef("HandleHideNotification"), 0);
        window->AttachObserver(self, ZuWindow::notify_window_dragged,
                               ZuAtomRef("HandleDragNotification"), 0);
    }
    return true;
}

bool ZuMenu::SetLayoutStyle(ZuMenuLayoutStyle style)
{
    layout = style;
    return true;
}

bool ZuMenu::SetPopupStyle(ZuMenuPopupStyle style)
{
    popup = style;
    return true;
}

bool ZuMenu::SetAlignStyle(ZuMenuAlignStyle style)
{
    align = style;
    return true;
}

bool ZuMenu::SetChildPopupStyle(ZuMenuPopupStyle style)
{
    popup_child = style;
    return true;
}

bool ZuMenu::SetBorderStyle(ZuMenuBorderStyle style)
{
    border = style;
    return true;
}

ZuMenuLayoutStyle ZuMenu::RetLayoutStyle() const
{
    return layout;
}

ZuMenuPopupStyle ZuMenu::RetPopupStyle() const
{
    return popup;
}

ZuMenuAlignStyle ZuMenu::RetAlignStyle() const
{
    return align;
}

ZuMenuPopupStyle ZuMenu::RetChildPopupStyle() const
{
    return popup_child;
}

ZuMenuBorderStyle ZuMenu::RetBorderStyle() const
{
    return border;
}

const ZuViewPaneRef& ZuMenu::RetViewPane() const
{
    return pane;
}

double ZuMenu::RetMarginLeft() const
{
    return m_left;
}

double ZuMenu::RetMarginRight() const
{
    return m_right;
}

double ZuMenu::RetMarginTop() const
{
    return m_top;
}

double ZuMenu::RetMarginBottom() const
{
    return m_bottom;
}

bool ZuMenu::IsStandAlone() const
{
    return stand_alone;
}

unsigned ZuMenu::RetSelectedItem() const
{
    return selected_item;
}

void ZuMenu::UpdateMargin()
{
    const ZuLookManRef& look = ZuLookMan::Current();
    const double frame = look.IsValid() ? look->RetWidgetFrameSize() : 0.0;
    const double effect = look.IsValid() ? look->Ret3DEffectWidth() : 0.0;
    switch (border) {
    case ZU_MENU_BORDER_FLAT:
    case ZU_MENU_BORDER_THIN:
        border_width = frame;
        break;
    case ZU_MENU_BORDER_3D:
        border_width = effect + frame;
        break;
    default:
        border_width = 0;
        break;
    }
}

void ZuMenu::UpdateMenu()
{
    double w = 0, h = 0;
    if (pane.IsValid()) {
        pane->UpdateContents(true);
        if (!pane->GetSurfaceSize(w, h))
            w = h = 0;
    }
    UpdateMargin();
    const double l = m_left + border_width, r = m_right + border_width;
    const double t = m_top + border_width, b = m_bottom + border_width;
    if (pane.IsValid()) {
        double x = 0, y = 0;
        GetOrigin(x, y);
        pane->SetSize(w, h);
        pane->SetOrigin(x + l, y + t);
        pane->UpdateContents(true);
    }
    SetSize(l + r + w, t + b + h);
}

void ZuMenu::DrawBack(const ZuGrailPortRef& port, const ZuRect& rect)
{
    ZuView::DrawBack(port, rect);
    if (port.IsInvalid())
        return;
    ZuAdornerRef adorner = port->RetAdorner();
    if (adorner.IsInvalid())
        return;
    if (border == ZU_MENU_BORDER_3D)
        adorner->DrawRectHigh(ZuColorPixel(ZU_COLOR_LGRAY), box, 0.0);
    else if (border == ZU_MENU_BORDER_THIN)
        adorner->DrawRect(box, ZU_COLOR_BLACK, 0.0);
}

void ZuMenu::Delete()
{
    const ZuMenuRef self(this);
    MenuClassData& data = Shared();
    parent_menu = ZuMenuRef();
    if (submenu.IsValid()) {
        submenu->Delete();
        submenu = ZuMenuRef();
    }
    submenu_cell = ZuProviderViewRef();
    // A menu deleted while shown or tracking leaves the shared sets, and
    // the spy with the last shown menu, so that no later HideAllMenus
    // works on a deleted menu.
    Leave(data.menus, self);
    Leave(data.tracking_menus, self);
    if (data.active_menu == self)
        data.active_menu = ZuMenuRef();
    if (data.spy == self && IsEmpty(data.menus))
        RemoveSpy();
    if (window.IsValid()) {
        ZuWindowRef w = window;
        window = ZuWindowRef();
        w->DetachObserver(ZuObjectRef(self));
        if (data.active_window == w)
            data.active_window = ZuWindowRef();
        w->Delete();
    }
    if (pane.IsValid()) {
        pane->Delete();
        pane = ZuViewPaneRef();
    }
    ZuView::Delete();
}

void ZuMenu::Awake()
{
    ZuView::Awake();
    ChangeTrackingMode(is_def_tracking);
}

void ZuMenu::StoreInstance(const ZuStorageRef& storage)
{
    ZuView::StoreInstance(storage);
    storage << MenuRecord() << ZuStorageSync::begin;
    storage->StoreObject(pane);
    storage->StoreReal(m_left);
    storage->StoreReal(m_right);
    storage->StoreReal(m_top);
    storage->StoreReal(m_bottom);
    storage << layout << popup << align << border << popup_child;
    storage->StoreBool(is_vertical);
    storage->StoreBool(is_floatmenu);
    storage->StoreBool(is_def_tracking);
    storage << ZuStorageSync::end;
}

void ZuMenu::RestoreInstance(const ZuStorageRef& storage)
{
    ZuView::RestoreInstance(storage);
    storage >> ZuStorageSync::type >> ZuStorageSync::begin;
    ZuObjectRef stored_pane;
    storage >> stored_pane;
    pane = AsKind<ZuViewPaneRef>(stored_pane);
    m_left = storage->RestoreReal(m_left);
    m_right = storage->RestoreReal(m_right);
    m_top = storage->RestoreReal(m_top);
    m_bottom = storage->RestoreReal(m_bottom);
    storage >> layout >> popup >> align >> border >> popup_child;
    // Values outside the tables (a damaged file) count as the defaults.
    if (!IsValid(layout))
        layout = ZU_MENU_LAYOUT_ALONG;
    if (!IsValid(popup))
        popup = ZU_MENU_POPUP_AUTO;
    if (!IsValid(align))
        align = ZU_MENU_ALIGN_BEGIN;
    if (!IsValid(border))
        border = ZU_MENU_BORDER_3D;
    if (!IsValid(popup_child))
        popup_child = ZU_MENU_POPUP_AUTO;
    is_vertical = storage->RestoreBool(is_vertical);
    is_floatmenu = storage->RestoreBool(is_floatmenu);
    is_def_tracking = storage->RestoreBool(is_def_tracking);
    storage >> ZuStorageSync::end;
    UpdateMargin();
}

// ---------------------------------------------------------------------------
// Showing, hiding, placement
// ---------------------------------------------------------------------------

void ZuMenu::ShowMenu(double x, double y, const ZuWindowRef& owner)
{
    // A menu restored without its pane has nothing to show.
    if (pane.IsInvalid())
        return;
    if (shown)
        return;
    const ZuMenuRef self(this);
    double w = 0, h = 0;
    GetSize(w, h);
    if (window.IsValid()) {
        ZuWinStyle style;
        style.SetBit(ZU_WINSTYLE_TOOL);
        style.SetBit(ZU_WINSTYLE_TOPMOST);
        style.SetBit(ZU_WINSTYLE_NO_ACTIVATION);
        if (title.IsInvalid() || title->IsEmpty())
            style.SetBit(ZU_WINSTYLE_FRAMELESS);
        else
            style.SetBit(0u);
        window->SetStyle(style);
        window->SetWindowOrigin(x, y);
        window->SetSize(w, h);
        window->SetTitle(title);
        window->SetAttribute("Menu", ZuObjectRef(self));
        window->SetWindowParent(owner);
        window->Open();
        if (window->RetWindowBar().IsValid())
            window->RetWindowBar()->ChangeButtonAndMode(ZU_WINBAR_MODE_APP_ACTIVE, true);
        window->Display(true);
    }
    ChangeTrackingMode(is_def_tracking);
    ShowMenuAsFrontWindow();
}

void ZuMenu::ShowMenuAsFrontWindow()
{
    if (window.IsValid()) {
        window->ShowNormal();
        window->ActivateAsFrontWindow(true);
    }
    shown = true;
}

void ZuMenu::HandleShowNotification()
{
    if (stand_alone)
        return;
    MenuClassData& data = Shared();
    const ZuMenuRef self(this);
    if (data.spy.IsInvalid()) {
        data.spy = self;
        ZuEvent::InsertEventSpy(ZuObjectRef(self), SpyAction(), SpyMask());
    }
    Enter(data.menus, self);
}

void ZuMenu::HideMenu()
{
    const ZuMenuRef self(this);
    if (shown) {
        if (parent_menu.IsValid())
            parent_menu->NotifySubmenuHidden(self);
        if (submenu.IsValid()) {
            ZuMenuRef open = submenu;
            submenu = ZuMenuRef();
            open->HideMenu();
        }
        if (window.IsValid()) {
            window->Hide();
            window->Close();
        }
        ChangeTrackingMode(is_def_tracking);
        shown = false;
    }
    Leave(Shared().menus, self);
}

void ZuMenu::HandleHideNotification()
{
    if (stand_alone)
        return;
    MenuClassData& data = Shared();
    Leave(data.menus, ZuMenuRef(this));
    if (!data.swallow_events && IsEmpty(data.menus))
        RemoveSpy();
}

void ZuMenu::Popup(const ZuViewRef& anchor, ZuMenuPopupStyle style)
{
    const ZuEventRef& event = ZuEvent::Current();
    double x = 0, y = 0, aw = 0, ah = 0;
    ZuWindowRef win;
    if (event.IsValid()) {
        x = event->RetX();
        y = event->RetY();
        win = AsKind<ZuWindowRef>(event->RetWindow());
    }
    if (anchor.IsValid()) {
        anchor->GetOrigin(x, y);
        aw = Dx(anchor->RetBox());
        ah = Dy(anchor->RetBox());
        win = anchor->RetWindow();
    }
    if (win.IsValid() && ZuViewRef(win) != anchor) {
        double wx = 0, wy = 0;
        win->GetWindowOrigin(wx, wy);
        x += wx;
        y += wy;
    }
    ZuRect r;
    if (pane.IsValid() && pane->RetLayout().IsValid())
        pane->RetLayout()->GetViewBox(0, r);
    const double rw = Dx(r), rh = Dy(r);
    const double mw = Dx(box), mh = Dy(box);
    const double rx = r.IsEmpty() ? 0 : r.X1(), ry = r.IsEmpty() ? 0 : r.Y1();

    if (style == ZU_MENU_POPUP_AUTO)
        style = popup;
    if (style == ZU_MENU_POPUP_AUTO)
        style = is_vertical ? ZU_MENU_POPUP_AFTER : ZU_MENU_POPUP_BELOW;
    double px = x, py = y;
    bool align_x = false, align_y = false;
    switch (style) {
    case ZU_MENU_POPUP_BEFORE:
        px = x - mw;
        align_y = true;
        break;
    case ZU_MENU_POPUP_AFTER:
        px = x + aw;
        align_y = true;
        break;
    case ZU_MENU_POPUP_ABOVE:
        py = y - mh;
        align_x = true;
        break;
    case ZU_MENU_POPUP_BELOW:
        py = y + ah;
        align_x = true;
        break;
    case ZU_MENU_POPUP_CENTER:
        px = x + aw / 2 - (rx + rw / 2);
        py = y + ah / 2 - (ry + rh / 2);
        break;
    default:
        break;
    }
    if (align_x) {
        switch (align) {
        case ZU_MENU_ALIGN_CENTER:
            px = x + aw / 2 - (rx + rw / 2);
            break;
        case ZU_MENU_ALIGN_END:
            px = x + aw - mw;
            break;
        case ZU_MENU_ALIGN_SMART:
            px = x - rx;
            break;
        default:
            px = x;
            break;
        }
    }
    if (align_y) {
        switch (align) {
        case ZU_MENU_ALIGN_CENTER:
            py = y + ah / 2 - (ry + rh / 2);
            break;
        case ZU_MENU_ALIGN_END:
            py = y + ah - mh;
            break;
        case ZU_MENU_ALIGN_SMART:
            py = y - ry;
            break;
        default:
            py = y;
            break;
        }
    }
    ShowMenu(px, py, win);
}

// ---------------------------------------------------------------------------
// Tracking and submenus
// ---------------------------------------------------------------------------

void ZuMenu::SetTrackingMode(bool on)
{
    is_def_tracking = on;
    ChangeTrackingMode(on);
}

bool ZuMenu::RetTrackingMode() const
{
    return is_def_tracking;
}

void ZuMenu::ChangeTrackingMode(bool on)
{
    if (on == tracking)
        return;
    const ZuMenuRef self(this);
    if (on)
        Enter(Shared().tracking_menus, self);
    else
        Leave(Shared().tracking_menus, self);
    tracking = on;
    if (pane.IsInvalid() || pane->RetProvider().IsInvalid())
        return;
    ZuProviderViewRef model;
    if (pane->RetProvider()->GetProviderViewModel(model)) {
        model->ChangeStyle(ZU_CTRL_SELECT_WHEN_HOT, on);
        model->ChangeStyle(ZU_CTRL_HILITE_WHEN_HOT, !on);
        model->ChangeStyle(ZU_CTRL_IGNORE_HOT, false);
        pane->RetProvider()->SetProviderViewModel(model);
    }
    pane->UpdateContents(true);
}

bool ZuMenu::CreateSubmenu(unsigned index, ZuMenuRef& out)
{
    if (submenu.IsValid() && submenu_item == index) {
        out = submenu;
        return true;
    }
    if (pane.IsInvalid() || pane->RetProvider().IsInvalid())
        return false;
    ZuiContainer* source = pane->RetProvider()->RetSourceInterface();
    ZuObjectRef item;
    if (source == nullptr || !source->Get(index, item))
        return false;
    ZuCommandFactoryRef factory = AsKind<ZuCommandFactoryRef>(item);
    ZuBaseContainerRef children;
    if (factory.IsInvalid() || !factory->GetChildFactories(children))
        return false;
    ZuStringRef sub_title;
    if (is_floatmenu && !factory->GetText(ZU_TEXTVER_NORMAL, sub_title))
        sub_title = ZuStringRef();
    out = ZuNew<ZuMenu>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
    out->Initialise(children, ZU_MENU_LAYOUT_ALONG, ZU_MENU_POPUP_AUTO, ZU_MENU_ALIGN_SMART,
                    is_vertical ? ZU_MENU_BORDER_NONE : ZU_MENU_BORDER_3D, ZuViewRef(this),
                    sub_title, ZuViewArchitectRef());
    return true;
}

void ZuMenu::PopupSubmenu(const ZuViewRef& cell, const ZuMenuRef& menu, unsigned index)
{
    if (menu != submenu) {
        if (submenu.IsValid()) {
            ZuMenuRef old = submenu;
            old->HideMenu();
        }
        ZuMenuPopupStyle style = popup_child;
        if (style == ZU_MENU_POPUP_AUTO)
            style = is_vertical ? ZU_MENU_POPUP_AFTER : ZU_MENU_POPUP_BELOW;
        submenu = menu;
        submenu_item = index;
        menu->SetTrackingMode(true);
        menu->Popup(cell, style);
    } else {
        menu->ShowMenuAsFrontWindow();
    }
    SetSubmenuCell(AsKind<ZuProviderViewRef>(cell));
}

void ZuMenu::SetSubmenuCell(const ZuProviderViewRef& cell)
{
    if (cell == submenu_cell)
        return;
    if (submenu_cell.IsValid()) {
        submenu_cell->ChangeState(ZU_VIEW_IS_ON, false, false);
        submenu_cell->Display(false);
    }
    submenu_cell = cell;
    if (submenu_cell.IsValid()) {
        submenu_cell->ChangeState(ZU_VIEW_IS_ON, true, false);
        submenu_cell->Display(false);
    }
}

void ZuMenu::CloseSubmenu()
{
    if (submenu.IsInvalid())
        return;
    SetSubmenuCell(ZuProviderViewRef());
    ZuMenuRef open = submenu;
    open->SetTrackingMode(false);
    open->HideMenu();
    submenu = ZuMenuRef();
    submenu_item = 0;
}

void ZuMenu::NotifySubmenuHidden(const ZuMenuRef& menu)
{
    if (menu.IsValid() && menu == submenu) {
        submenu = ZuMenuRef();
        submenu_item = 0;
        SetSubmenuCell(ZuProviderViewRef());
    }
}

void ZuMenu::NotifySubmenuDetached(const ZuMenuRef& menu)
{
    NotifySubmenuHidden(menu);
}

void ZuMenu::HideAllMenus()
{
    MenuClassData& data = Shared();
    while (!IsEmpty(data.menus)) {
        ZuMenuRef menu = First(data.menus);
        if (menu.IsInvalid()) {
            data.menus->Remove(0u);
            continue;
        }
        menu->submenu = ZuMenuRef();
        menu->HideMenu();
        Leave(data.menus, menu);
    }
    while (!IsEmpty(data.tracking_menus)) {
        ZuMenuRef menu = First(data.tracking_menus);
        if (menu.IsInvalid()) {
            data.tracking_menus->Remove(0u);
            continue;
        }
        menu->submenu = ZuMenuRef();
        menu->ChangeTrackingMode(false);
        Leave(data.tracking_menus, menu);
    }
}

// ---------------------------------------------------------------------------
// Item handlers
// ---------------------------------------------------------------------------

void ZuMenu::HandleEnterNotification(const ZuObjectRef& cell, unsigned index)
{
    const ZuMenuRef self(this);
    selected_item = index;
    if (tracking) {
        ZuMenuRef sub;
        if (CreateSubmenu(index, sub))
            PopupSubmenu(AsKind<ZuViewRef>(cell), sub, index);
        else if (submenu.IsValid())
            CloseSubmenu();
    }
    Report(notify_hilited, 0);
}

void ZuMenu::HandleLeaveNotification(const ZuObjectRef&, unsigned) {}

void ZuMenu::HandlePressNotification(const ZuObjectRef& cell, unsigned index)
{
    const ZuMenuRef self(this);
    selected_item = index;
    if (submenu.IsValid() && submenu_item == index) {
        CloseSubmenu();
        ChangeTrackingMode(is_def_tracking);
        HandleEnterNotification(cell, index);
        return;
    }
    ZuMenuRef sub;
    if (CreateSubmenu(index, sub))
        PopupSubmenu(AsKind<ZuViewRef>(cell), sub, index);
    ChangeTrackingMode(true);
}

void ZuMenu::HandleClickNotification(const ZuObjectRef& cell, unsigned index)
{
    const ZuMenuRef self(this);
    selected_item = index;
    if (submenu.IsValid() && submenu_item == index)
        return;
    ZuViewRef view = AsKind<ZuViewRef>(cell);
    if (view.IsInvalid() || !view->RetState().TestBit(ZU_VIEW_IS_ENABLED))
        return;
    HideAllMenus();
    ZuObjectRef item;
    if (pane.IsValid() && pane->RetProvider().IsValid()) {
        ZuiContainer* source = pane->RetProvider()->RetSourceInterface();
        if (source != nullptr)
            source->Get(index, item);
    }
    ZuCommandFactoryRef factory = AsKind<ZuCommandFactoryRef>(item);
    if (factory.IsValid())
        factory->NewCommand();
    Report(notify_clicked, 1);
}

// ---------------------------------------------------------------------------
// Tearing off and the event spy
// ---------------------------------------------------------------------------

void ZuMenu::HandleDragNotification()
{
    if (parent_menu.IsInvalid() || stand_alone)
        return;
    const ZuMenuRef self(this);
    stand_alone = true;
    parent_menu->NotifySubmenuDetached(self);
    if (window.IsValid()) {
        window->SetWindowParent(ZuWindowRef());
        window->ChangeStyle(ZU_WINSTYLE_CLOSE_BUTTON, true);
        window->Display(true);
    }
    Leave(Shared().menus, self);
}

bool ZuMenu::FindRealMenu(ZuMenuRef& menu, ZuWindowRef& found)
{
    const ZuEventRef& event = ZuEvent::Current();
    if (event.IsInvalid())
        return false;
    ZuWindowRef real = AsKind<ZuWindowRef>(event->RetRealWindow());
    if (real.IsInvalid())
        return false;
    ZuObjectRef held;
    if (real->GetAttribute("Menu", held, 0)) {
        ZuMenuRef m = AsKind<ZuMenuRef>(held);
        if (m.IsValid()) {
            menu = m;
            found = real;
            return true;
        }
    }
    ZuViewRef view;
    if (!real->Detect(event->RetRealX(), event->RetRealY(), view, false))
        return false;
    for (; view.IsValid(); view = view->RetParent())
        if (view->IsKindOf(ZuMenuRef::RetRuntime())) {
            menu = ZuMenuRef(view);
            found = real;
            return true;
        }
    return false;
}

void ZuMenu::HandleEventSpying()
{
    MenuClassData& data = Shared();
    const ZuEventRef& event = ZuEvent::Current();
    if (event.IsInvalid())
        return;
    const ZuMenuRef self(this);
    if (data.swallow_events)
        ZuEvent::DropEvent();
    switch (event->RetType()) {
    case ZU_EVENT_PRESS:
        if (!FindRealMenu(data.active_menu, data.active_window)) {
            data.swallow_events = true;
            ZuEvent::DropEvent();
            HideAllMenus();
        }
        break;
    case ZU_EVENT_RELEASE:
        data.active_window = ZuWindowRef();
        data.active_menu = ZuMenuRef();
        if (data.swallow_events) {
            if (IsEmpty(data.menus))
                RemoveSpy();
            data.swallow_events = false;
        }
        break;
    case ZU_EVENT_MOTION: {
        ZuEventButtons held = event->RetButtons();
        held.ClearBit(ZU_EV_BUTTON_NONE);
        ZuWindowRef real = AsKind<ZuWindowRef>(event->RetRealWindow());
        if (!held.TestNone() && real.IsValid() && real != data.active_window &&
            FindRealMenu(data.active_menu, data.active_window))
            ZuEvent::HandOverToWindow(ZuObjectRef(data.active_window));
        break;
    }
    default:
        break;
    }
}
