// ZuWindowBar: the title and button bar on one edge of a window's frame.
// Its window makes it from the window's style; it holds a title tag and up
// to sixteen small icon buttons placed along the bar by a fixed table of
// placement codes, paints itself in an active or an inactive colour, moves
// the window when dragged and turns clicks on its close and reduce buttons
// into requests to the window.
//
// The bar lives below the controls: it makes its buttons, their icons and
// its title through the class factory by name ("ZuButton", "ZuIcon",
// "ZuTextTag") and drives them as views, through their published data and
// through the title-widget interface. Where a class is missing the bar
// simply goes without that part.
#ifndef SI_WINBAR_H
#define SI_WINBAR_H

#include "si/array.h"
#include "si/simplearray.h"
#include "si/view.h"

// clang-format off
#define ZU_WIN_BAR_BUTTON_BIT_LIST(X)                                             \
    X(ZU_WINBAR_BUTTON_CLOSE, 0) X(ZU_WINBAR_BUTTON_ACCEPT, 1)                    \
    X(ZU_WINBAR_BUTTON_TOGGLE, 2) X(ZU_WINBAR_BUTTON_REDUCE, 3)                   \
    X(ZU_WINBAR_BUTTON_SHRINK, 4) X(ZU_WINBAR_BUTTON_HIDE, 5)                     \
    X(ZU_WINBAR_BUTTON_HELP, 6) X(ZU_WINBAR_BUTTON_USER, 7)                       \
    X(ZU_WINBAR_BUTTON_PUSHPIN, 8) X(ZU_WINBAR_BUTTON_LOGO, 9)                    \
    X(ZU_WINBAR_BUTTON_T_BEGIN, 10) X(ZU_WINBAR_BUTTON_T_END, 11)                 \
    X(ZU_WINBAR_BUTTON_RES_1, 12) X(ZU_WINBAR_BUTTON_RES_2, 13)                   \
    X(ZU_WINBAR_BUTTON_RES_3, 14) X(ZU_WINBAR_BUTTON_RES_4, 15)                   \
    X(ZU_WINBAR_MODE_LARGE, 16) X(ZU_WINBAR_MODE_APP_ACTIVE, 17)
#define ZU_WIN_BAR_LAYOUT_LIST(X)                                                 \
    X(ZU_WINBAR_LAYOUT_TOP, 0) X(ZU_WINBAR_LAYOUT_BOTTOM, 1)                      \
    X(ZU_WINBAR_LAYOUT_LEFT, 2) X(ZU_WINBAR_LAYOUT_RIGHT, 3)                      \
    X(ZU_WINBAR_LAYOUT_USER_H, 4) X(ZU_WINBAR_LAYOUT_USER_V, 5)                   \
    X(ZU_WINBAR_LAYOUT_DEFAULT, 6)
// clang-format on
ZU_ENUM(ZuWinBarButtonBit, ZU_WIN_BAR_BUTTON_BIT_LIST)
ZU_ENUM(ZuWinBarLayout, ZU_WIN_BAR_LAYOUT_LIST)

// The buttons and modes of a bar (registered as "ZuWinBarButton").
typedef Bitset<ZuWinBarButtonBit> ZuWinBarButton;
extern const Zuvi_TypeDef ZuWinBarButton_type;

ZU_FORWARD(ZuString)

ZU_HANDLE(ZuWindowBar, ZuView)
class ZuWindowBar : public ZuView {
    ZU_CLASS(ZuWindowBar, ZuView)
public:
    // Buttons 0 to 15; the bits above are modes.
    static const unsigned BUTTON_COUNT = 16;

    ZuWindowBar();

    void Delete() override;
    void ButtonPress(const ZuEventRef& event) override;
    void ButtonRelease(const ZuEventRef& event) override;
    void DragNotify(const ZuEventRef& event) override;
    void NotifyGeometryChange(const ZuRect& old_box) override;
    void DrawBack(const ZuGrailPortRef& port, const ZuRect& rect) override;
    void DrawFront(const ZuGrailPortRef& port, const ZuRect& rect) override;

    // Makes and deletes buttons as the bits say and places them.
    virtual void UpdateButtonGeometry();
    // The bar's box from its window's size and frame.
    virtual void UpdateBarGeometry();
    virtual double RetThickness() const;
    virtual double RetIconSize() const;
    // The layout, DEFAULT read as TOP.
    virtual ZuWinBarLayout RetInternalLayout() const;
    virtual bool CreateButton(ZuWinBarButtonBit bit, ZuViewRef& out);
    // Places one button, or one end of the title (T_BEGIN, T_END).
    virtual bool UpdateButtonOrigin(ZuWinBarButtonBit bit);
    virtual void UpdateWindowActiveMode(bool active);
    virtual bool Initialise(const ZuStringRef& title, const ZuWindowRef& window,
                            const ZuWinBarButton& buttons, ZuWinBarLayout layout);
    virtual bool ChangeButtonAndMode(ZuWinBarButtonBit bit, bool on);
    virtual bool SetButtonAndMode(const ZuWinBarButton& buttons);
    virtual const ZuWinBarButton& RetButtonAndMode() const;
    // Observers of the window's and the application's activation.
    virtual bool HandleWindowActivated();
    virtual bool HandleWindowDeactivated();
    virtual bool HandleAppActivation();
    // Observer of every button's "notify_clicked"; the bit is the value
    // the bar attached with.
    virtual bool HandleButtonClicked(const ZuObjectRef& button, unsigned bit);

    // The button of a bit, empty when there is none; the title tag.
    ZuViewRef RetButton(unsigned bit) const;
    const ZuViewRef& RetTitleTag() const { return title; }
    bool IsActive() const { return active; }

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    unsigned RetCode(unsigned bit) const;
    // Application activity when the bar follows the application, else the
    // argument.
    bool ActiveState(bool active) const;
    void Observe(bool attach);

    ZuArrayRef buttons;
    ZuWinBarButton button_use;
    ZuWinBarLayout layout = ZU_WINBAR_LAYOUT_DEFAULT;
    ZuAtomArray icon_names;
    Zuvi_SimpleArrayZero<unsigned int> icon_groups;
    ZuViewRef title;
    bool active = false;
    bool geometry_valid = false;
    bool dragging = false;
    double press_x = 0;
    double press_y = 0;
    // Set by restoring: the children other than the title are the stored
    // buttons, replaced at the next geometry update.
    bool drop_stored_buttons = false;
    // The window and application the bar observes.
    ZuWindowRef observed_window;
    ZuObjectRef observed_app;
};
ZU_CLASS_END(ZuWindowBar)

#endif
