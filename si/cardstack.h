#ifndef SI_CARDSTACK_H
#define SI_CARDSTACK_H

// ZuCardStack: a stack of cards with a row of tabs along one edge. It
// shows one item of its source container at a time (a multi-view whose
// provider makes the cards) and one tab per item, whose labels a second
// provider makes. A click on a tab makes its item the active one through
// the stack's selection controller; the stack then redraws its tabs with
// the active one on top. The tabs are not children of the stack: they
// share its window, and the stack draws them and asks them at detection
// itself.

#include "si/cardtab.h"
#include "si/multiview.h"
#include "si/viewarchitect.h"

ZU_HANDLE(ZuCardStack, ZuMultiView)
class ZuCardStack : public ZuMultiView {
    ZU_CLASS(ZuCardStack, ZuMultiView)
public:
    ZuCardStack();
    ~ZuCardStack() override;

    // The multi-view goes, then the tabs; the stack's providers are deleted.
    void Delete() override;
    void NotifyGeometryChange(const ZuRect& old_box) override;
    // The frame and the tabs, the active tab last.
    void DrawBack(const ZuGrailPortRef& port, const ZuRect& rect) override;
    void DrawFront(const ZuGrailPortRef& port, const ZuRect& rect) override;
    // The tabs first, the active one first among them; then the card.
    bool Detect(double x, double y, ZuViewRef& out, bool any) override;
    using ZuView::Detect;
    void OnSourceChange(const ZuObjectRef& sender, unsigned flags) override;

    // Brings the tabs up to date with the container and the box when the
    // geometry is out of date.
    virtual void UpdateTabGeometry();
    // The next drawing or detection rebuilds the tabs.
    virtual void DiscardTabGeometry();
    // Builds the stack over a container: a provider of tab labels and one
    // of cards, a selection controller, and the card's viewport inside a
    // margin of 5 less the tab row. False, with nothing changed, when a
    // handle is invalid.
    virtual bool Initialise(const ZuBaseContainerRef& container,
                            const ZuViewArchitectRef& tab_architect,
                            const ZuViewArchitectRef& card_architect, ZuTabLayout layout,
                            double tab_size);
    using ZuMultiView::Initialise;
    // Moves the tabs and the frame, not the card's viewport.
    virtual bool SetTabSize(double size);
    virtual double RetTabSize() const;

    const ZuCardTabArray& RetTabs() const { return tabs; }
    const ZuViewProviderRef& RetTabProvider() const { return tab_provider; }
    ZuTabLayout RetTabLayout() const { return tab_layout; }
    // The tab count at the last update.
    unsigned RetTabCount() const { return tab_count; }

    static ZuAtomRef look_tab_box;
    static ZuAtomRef notify_activation;
    static ZuAtomRef on_click;

protected:
    void NotifyActiveChange(unsigned old_rank) override;
    // "<ZuCardStack tab_provider tabs tab_layout tab_size>".
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    // The tab of a slot, empty when the slot holds no tab.
    ZuCardTabRef TabAt(unsigned index) const;
    // The frame around the cards, the tab row cut off but for 6 pixels.
    ZuRect FrameBox() const;

    ZuCardTabArray tabs;
    ZuViewProviderRef tab_provider;
    ZuTabLayout tab_layout = ZU_TAB_LAYOUT_TOP;
    double tab_size = 24.0;
    unsigned tab_count = 0;
    bool is_tab_geometry_ok = true;
};
ZU_CLASS_END(ZuCardStack)

#endif
