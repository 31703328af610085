// ZuMultiView: a view that shows one item of a data source at a time, the
// active one, chosen by rank. The item views come from a view provider,
// which makes and caches them; the multi-view puts the active one into its
// viewport, a plain child view that fills it less a margin. A selection
// controller may choose the active item; changes of the source's items
// are passed on to the provider and, in auto-refresh mode, show the right
// view again. Observers hear of every switch through
// "notify_active_changed".
#ifndef SI_MULTIVIEW_H
#define SI_MULTIVIEW_H

#include "si/basecontainer.h"
#include "si/selectcon.h"
#include "si/view.h"
#include "si/viewprovider.h"

ZU_HANDLE(ZuMultiView, ZuView)
class ZuMultiView : public ZuView {
    ZU_CLASS(ZuMultiView, ZuView)
public:
    ZuMultiView() {}

    // Takes the three (any may be empty), makes the viewport over the
    // whole view and observes the controller and the source. Shows nothing
    // yet.
    virtual bool Initialise(const ZuBaseContainerRef& source, const ZuViewProviderRef& provider,
                            const ZuSelectConRef& controller);
    // The viewport fills the view less the margin on each side; false
    // without a viewport.
    virtual bool SetMargin(double margin);
    // The current viewport is deleted; the new one keeps its box.
    virtual bool SetViewport(const ZuViewRef& viewport);
    // The box relative to the view's top-left corner; false without a
    // viewport.
    virtual bool SetViewportBox(const ZuRect& box);
    virtual bool SetAutoRefreshMode(bool on);
    virtual bool RetAutoRefreshMode() const;
    // Shows the active item's view (the provider keeps it); with no item
    // at that rank empties the viewport, false when it was empty already.
    virtual bool RefreshActiveView();
    // False beyond the last item of a non-empty source, and without a
    // source; an empty source makes rank 0 active and empties the viewport.
    virtual bool ActivateView(unsigned rank);
    virtual unsigned RetActiveView() const;
    virtual bool ActivateNextView();
    virtual bool ActivatePrevView();
    // The controller's active item changed: its "active_rank" is shown.
    virtual void OnActiveChange(const ZuObjectRef& sender, unsigned flags);
    // The source's items changed.
    virtual void OnSourceChange(const ZuObjectRef& sender, unsigned flags);

    const ZuViewRef& RetViewport() const { return viewport; }
    const ZuBaseContainerRef& RetSource() const { return source; }
    const ZuViewProviderRef& RetProvider() const { return provider; }
    const ZuSelectConRef& RetSelectCon() const { return controller; }

    // The shown view goes back to its provider, then the view and its
    // viewport go.
    void Delete() override;
    // The viewport keeps its margins.
    void NotifyGeometryChange(const ZuRect& old_box) override;

    static ZuAtomRef notify_active_changed;

protected:
    // Reports "notify_active_changed".
    virtual void NotifyActiveChange(unsigned old_rank);

    // "<ZuMultiView viewport source provider controller active>"; nothing
    // is observed or shown after restoring.
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    unsigned CountItems() const;

    ZuViewRef viewport;
    ZuBaseContainerRef source;
    ZuViewProviderRef provider;
    ZuSelectConRef controller;
    unsigned active = 0;
    bool is_auto_refreshing = true;
};
ZU_CLASS_END(ZuMultiView)

#endif
