#ifndef SI_CARDTAB_H
#define SI_CARDTAB_H

// ZuCardTab: one tab of a card stack. A control that carries a small label
// view (made by the stack's tab provider), lies along one edge of the
// stack and draws the look piece of its place in the row: the beginning,
// the middle, or the end of a squeezed row. The stack binds its
// "notify_clicked" to its selection controller.

#include "si/control.h"
#include "si/enumfamily.h"

// The edge of a card stack along which its tabs lie.
// clang-format off
#define ZU_TAB_LAYOUT_LIST(X)                                                      \
    X(ZU_TAB_LAYOUT_TOP, 0) X(ZU_TAB_LAYOUT_BOTTOM, 1) X(ZU_TAB_LAYOUT_LEFT, 2)    \
    X(ZU_TAB_LAYOUT_RIGHT, 3)
// clang-format on
ZU_ENUM(ZuTabLayout, ZU_TAB_LAYOUT_LIST)

ZU_HANDLE(ZuCardTab, ZuControl)
class ZuCardTab : public ZuControl {
    ZU_CLASS(ZuCardTab, ZuControl)
public:
    ZuCardTab() {}
    ~ZuCardTab() override;

    void Delete() override;
    ZuObjectRef Copy(const ZuObjectRef& source) override;
    void DrawBack(const ZuGrailPortRef& port, const ZuRect& rect) override;
    void DrawFront(const ZuGrailPortRef& port, const ZuRect& rect) override;

    // Lets go of the label and takes the layout.
    virtual bool Initialise(ZuTabLayout layout);
    // The tab becomes the label's parent; the label is placed 6 inside the
    // tab's box, one pixel away from the card when the tab is on.
    virtual bool SetContents(const ZuViewRef& view);
    // -1 first tab, 0 middle, +1 last tab of a squeezed row.
    virtual bool SetPosition(signed char position);
    virtual const ZuViewRef& RetContents() const;
    virtual signed char RetPosition() const;
    // 22 without a label, else the label's length along the row plus 12.
    virtual double RetDesiredWidth() const;

    ZuTabLayout RetLayout() const { return layout; }

    static ZuAtomRef look_tab_begin;
    static ZuAtomRef look_tab_middle;
    static ZuAtomRef look_tab_end;

protected:
    // "<ZuCardTab layout contents position>".
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    // Detaches the label and empties the handle.
    void DropContents();

    ZuTabLayout layout = ZU_TAB_LAYOUT_TOP;
    ZuViewRef contents;
    signed char position = 0;
};
ZU_CLASS_END(ZuCardTab)

#endif
