// ZuApp: the one application object of a process. What windows and views
// need of it: the current application, the window list (windows insert
// themselves), the active window, the builder and the named views.
#ifndef SI_APP_H
#define SI_APP_H

#include "si/dataslot.h"
#include "si/dict.h"
#include "si/list.h"
#include "si/view.h"
#include "si/window.h"

ZU_HANDLE(ZuApp, ZuDataSlot)
class ZuApp : public ZuDataSlot {
    ZU_CLASS(ZuApp, ZuDataSlot)
public:
    ZuApp() {}

    // The current application; empty before Initialise(app).
    static const ZuAppRef& Current();
    // Installs app as the current application (nothing when one is).
    static bool Initialise(const ZuAppRef& app);
    // Uninstalls the current application without deleting its windows.
    static void Uninstall();

    virtual void Initialise(bool build);
    virtual bool SetBuilder(const ZuObjectRef& builder);
    virtual bool GetBuilder(ZuObjectRef& out) const;
    virtual const ZuObjectRef& RetBuilder() const;
    virtual bool IsBuildEnabled() const;

    virtual bool NotifyActiveWindow(const ZuWindowRef& window);
    virtual bool InsertWindow(const ZuWindowRef& window);
    virtual bool RemoveWindow(const ZuWindowRef& window);
    virtual ZuListRef RetWindowList();
    virtual unsigned RetWindowNum() const;
    virtual bool GetWindow(unsigned index, ZuWindowRef& out);
    virtual ZuWindowRef RetWindow(unsigned index);
    virtual const ZuWindowRef& RetActiveWindow() const;

    // The n-th view (from 0) registered under name, in registration order.
    virtual bool FindViewFromUserName(const ZuAtomRef& name, unsigned n, ZuViewRef& out);
    virtual bool FindViewFromUserName(const ZuAtomRef& name, ZuViewRef& out);
    virtual unsigned CountNamedViews();
    virtual bool GetNamedView(unsigned index, ZuAtomRef& name, ZuViewRef& view);

    void Delete() override;

    // Reported when a window enters or leaves the list, and when another
    // window becomes the active one.
    static ZuAtomRef notify_window_list_changed;
    static ZuAtomRef notify_active_window_changed;

protected:
    friend class ZuView;
    virtual bool RegisterNamedView(const ZuAtomRef& name, const ZuViewRef& view);
    virtual bool UnregisterNamedView(const ZuAtomRef& name, const ZuViewRef& view);

private:
    void MakeTables();

    ZuWindowRef active_window;
    ZuListRef window_list;
    unsigned window_count = 0;
    ZuObjectRef builder;
    bool build_enabled = true;
    ZuDictRef named_views;
};
ZU_CLASS_END(ZuApp)

#endif
