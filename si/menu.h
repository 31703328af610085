// ZuMenu: shows the elements of a container in one column or one row (a
// command factory with children is a submenu, one without a command, an
// empty element a separator) through a view pane, a view provider and a
// grid layout. Embedded in an ordinary parent view it is a bar; floating
// it owns a window that it opens at a screen position. All floating menus
// share one tracking state: the menus shown, the menus in tracking mode
// (where passing over an item opens its submenu) and an event spy that
// closes every menu at a press outside them.
#ifndef SI_MENU_H
#define SI_MENU_H

#include "si/enumfamily.h"
#include "si/providerview.h"
#include "si/string.h"
#include "si/view.h"
#include "si/viewpane.h"

// clang-format off
#define ZU_MENU_LAYOUT_STYLE_LIST(X)                                          \
    X(ZU_MENU_LAYOUT_ALONG, 0) X(ZU_MENU_LAYOUT_AWAY, 1)                      \
    X(ZU_MENU_LAYOUT_VERTICAL, 2) X(ZU_MENU_LAYOUT_HORIZONTAL, 3)
#define ZU_MENU_POPUP_STYLE_LIST(X)                                           \
    X(ZU_MENU_POPUP_AUTO, 0) X(ZU_MENU_POPUP_BEFORE, 1)                       \
    X(ZU_MENU_POPUP_AFTER, 2) X(ZU_MENU_POPUP_ABOVE, 3)                       \
    X(ZU_MENU_POPUP_BELOW, 4) X(ZU_MENU_POPUP_CENTER, 5)
#define ZU_MENU_ALIGN_STYLE_LIST(X)                                           \
    X(ZU_MENU_ALIGN_BEGIN, 0) X(ZU_MENU_ALIGN_CENTER, 1)                      \
    X(ZU_MENU_ALIGN_END, 2) X(ZU_MENU_ALIGN_SMART, 3)
#define ZU_MENU_BORDER_STYLE_LIST(X)                                          \
    X(ZU_MENU_BORDER_NONE, 0) X(ZU_MENU_BORDER_FLAT, 1)                       \
    X(ZU_MENU_BORDER_THIN, 2) X(ZU_MENU_BORDER_3D, 3)
// clang-format on
ZU_ENUM(ZuMenuLayoutStyle, ZU_MENU_LAYOUT_STYLE_LIST)
ZU_ENUM(ZuMenuPopupStyle, ZU_MENU_POPUP_STYLE_LIST)
ZU_ENUM(ZuMenuAlignStyle, ZU_MENU_ALIGN_STYLE_LIST)
ZU_ENUM(ZuMenuBorderStyle, ZU_MENU_BORDER_STYLE_LIST)

ZU_FORWARD(ZuBaseContainer)
ZU_FORWARD(ZuHashTable)
ZU_FORWARD(ZuViewArchitect)

ZU_HANDLE(ZuMenu, ZuView)
class ZuMenu : public ZuView {
    ZU_CLASS(ZuMenu, ZuView)
public:
    ZuMenu();
    ~ZuMenu() override;

    void Delete() override;
    // Puts the tracking mode back to the stored setting.
    void Awake() override;
    void DrawBack(const ZuGrailPortRef& port, const ZuRect& rect) override;

    // Builds the menu once, right after its creation. A parent that is an
    // ordinary view embeds the menu; no parent, or a menu as parent, makes
    // it floating in a window of its own. Always true.
    virtual bool Initialise(const ZuBaseContainerRef& items, ZuMenuLayoutStyle layout,
                            ZuMenuPopupStyle popup, ZuMenuAlignStyle align,
                            ZuMenuBorderStyle border, const ZuViewRef& parent,
                            const ZuStringRef& title, const ZuViewArchitectRef& architect);
    // The setters only store: the orientation is fixed by Initialise, a
    // border width counts from the next UpdateMenu.
    virtual bool SetLayoutStyle(ZuMenuLayoutStyle style);
    virtual bool SetPopupStyle(ZuMenuPopupStyle style);
    virtual bool SetAlignStyle(ZuMenuAlignStyle style);
    virtual bool SetChildPopupStyle(ZuMenuPopupStyle style);
    virtual bool SetBorderStyle(ZuMenuBorderStyle style);
    virtual ZuMenuLayoutStyle RetLayoutStyle() const;
    virtual ZuMenuPopupStyle RetPopupStyle() const;
    virtual ZuMenuAlignStyle RetAlignStyle() const;
    virtual ZuMenuPopupStyle RetChildPopupStyle() const;
    virtual ZuMenuBorderStyle RetBorderStyle() const;
    virtual const ZuViewPaneRef& RetViewPane() const;
    virtual double RetMarginLeft() const;
    virtual double RetMarginRight() const;
    virtual double RetMarginTop() const;
    virtual double RetMarginBottom() const;
    // Sets the tracking-mode setting and applies it at once.
    virtual void SetTrackingMode(bool on);
    virtual bool RetTrackingMode() const;
    virtual bool IsStandAlone() const;
    virtual unsigned RetSelectedItem() const;
    // The pane's contents, then the menu's size around them.
    virtual void UpdateMenu();

    // Shows the menu with its top-left corner at a screen position; the
    // owner becomes the parent window of the menu's window. A menu without
    // a pane (restored from a damaged file) shows nothing.
    virtual void ShowMenu(double x, double y, const ZuWindowRef& owner);
    // Hides the menu and its open submenu.
    virtual void HideMenu();
    // Shows the menu next to a view by a placement (AUTO: the menu's own),
    // or at the current event's position without a view.
    virtual void Popup(const ZuViewRef& anchor, ZuMenuPopupStyle style);

    // The item views' notifications, with the item's view and index.
    virtual void HandleClickNotification(const ZuObjectRef& cell, unsigned index);
    virtual void HandlePressNotification(const ZuObjectRef& cell, unsigned index);
    virtual void HandleEnterNotification(const ZuObjectRef& cell, unsigned index);
    virtual void HandleLeaveNotification(const ZuObjectRef& cell, unsigned index);
    // Every press, release and motion before any window sees it.
    virtual void HandleEventSpying();
    // The menu's window was shown, hidden or dragged (torn off).
    virtual void HandleShowNotification();
    virtual void HandleHideNotification();
    virtual void HandleDragNotification();

    // The menu's own window (floating menus), and the open submenu.
    const ZuWindowRef& RetMenuWindow() const { return window; }
    const ZuMenuRef& RetOpenSubmenu() const { return submenu; }
    bool IsShown() const { return shown; }
    bool IsInTrackingMode() const { return tracking; }

    static ZuAtomRef notify_hilited;
    static ZuAtomRef notify_clicked;

protected:
    // "<ZuMenu pane m_left m_right m_top m_bottom layout popup align border
    // popup_child is_vertical is_floatmenu is_def_tracking>" after the
    // view's fields.
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    virtual bool FindRealMenu(ZuMenuRef& menu, ZuWindowRef& window);
    virtual void PopupSubmenu(const ZuViewRef& cell, const ZuMenuRef& menu, unsigned index);
    virtual void CloseSubmenu();
    virtual void ShowMenuAsFrontWindow();
    virtual bool CreateSubmenu(unsigned index, ZuMenuRef& out);
    virtual void ChangeTrackingMode(bool on);
    virtual void HideAllMenus();
    virtual void NotifySubmenuDetached(const ZuMenuRef& menu);
    virtual void NotifySubmenuHidden(const ZuMenuRef& menu);
    virtual void SetSubmenuCell(const ZuProviderViewRef& cell);
    virtual void UpdateMargin();

private:
    ZuViewPaneRef pane;
    ZuMenuRef submenu;
    unsigned submenu_item = 0;
    ZuProviderViewRef submenu_cell;
    ZuMenuRef parent_menu;
    ZuWindowRef window;
    ZuStringRef title;
    ZuMenuLayoutStyle layout = ZU_MENU_LAYOUT_ALONG;
    ZuMenuPopupStyle popup = ZU_MENU_POPUP_AUTO;
    ZuMenuAlignStyle align = ZU_MENU_ALIGN_BEGIN;
    ZuMenuBorderStyle border = ZU_MENU_BORDER_3D;
    ZuMenuPopupStyle popup_child = ZU_MENU_POPUP_AUTO;
    bool tracking = false;
    bool is_def_tracking = false;
    bool shown = false;
    bool is_vertical = true;
    bool is_floatmenu = false;
    bool stand_alone = false;
    double border_width = 0;
    double m_left = 0;
    double m_right = 0;
    double m_top = 0;
    double m_bottom = 0;
    unsigned selected_item = 0;
};
ZU_CLASS_END(ZuMenu)

#endif
