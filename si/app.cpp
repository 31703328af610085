#include "si/app.h"

#include "si/classfactory.h"
#include "si/rtclass.h"

ZU_IMPLEMENT_CLASS(ZuApp, "si/app", ZU_CLASS_PLAIN)

ZuAtomRef ZuApp::notify_window_list_changed;
ZuAtomRef ZuApp::notify_active_window_changed;
ZU_EXPORT_NOTIFY(ZuApp, window_list_changed, "notify_window_list_changed",
                 &ZuApp::notify_window_list_changed)
ZU_EXPORT_NOTIFY(ZuApp, active_window_changed, "notify_active_window_changed",
                 &ZuApp::notify_active_window_changed)

namespace {
ZuAppRef& CurrentApp()
{
    static ZuAppRef app;
    return app;
}
} // namespace

const ZuAppRef& ZuApp::Current()
{
    return CurrentApp();
}

bool ZuApp::Initialise(const ZuAppRef& app)
{
    if (CurrentApp().IsValid() || !app.IsValid())
        return false;
    app->MakeTables();
    CurrentApp() = app;
    return true;
}

void ZuApp::Uninstall()
{
    CurrentApp() = ZuAppRef();
}

void ZuApp::MakeTables()
{
    if (!window_list.IsValid()) {
        window_list = ZuNew<ZuList>(RetMemZone());
        window_list->SetInsertMode(false);
    }
    if (!named_views.IsValid()) {
        named_views = ZuNew<ZuDict>(RetMemZone());
        named_views->SetAllowDuplicates(true);
        named_views->SetCompKeyUsingIsEqual(false);
        named_views->SetCompValueUsingIsEqual(false);
    }
}

// The builder stays empty: no builder class exists in the library, and
// asking the class factory for one would end start-up.
void ZuApp::Initialise(bool build)
{
    MakeTables();
    build_enabled = build;
}

bool ZuApp::SetBuilder(const ZuObjectRef& b)
{
    builder = b;
    return true;
}

bool ZuApp::GetBuilder(ZuObjectRef& out) const
{
    out = builder;
    return true;
}

const ZuObjectRef& ZuApp::RetBuilder() const
{
    return builder;
}

bool ZuApp::IsBuildEnabled() const
{
    return build_enabled && builder.IsValid();
}

bool ZuApp::NotifyActiveWindow(const ZuWindowRef& window)
{
    MakeTables();
    if (window.IsValid()) {
        window_list->Remove(window, 0);
        window_list->PushTail(window);
    }
    active_window = window;
    QuickReport(notify_active_window_changed, 0);
    return true;
}

bool ZuApp::InsertWindow(const ZuWindowRef& window)
{
    MakeTables();
    window_list->PushTail(window);
    ++window_count;
    QuickReport(notify_window_list_changed, 0);
    return true;
}

bool ZuApp::RemoveWindow(const ZuWindowRef& window)
{
    if (!window.IsValid() || !window_list.IsValid())
        return false;
    if (!window_list->Remove(window, 0))
        return false;
    --window_count;
    if (active_window == window)
        active_window = ZuWindowRef();
    QuickReport(notify_window_list_changed, 0);
    return true;
}

ZuListRef ZuApp::RetWindowList()
{
    MakeTables();
    return window_list;
}

unsigned ZuApp::RetWindowNum() const
{
    return window_count;
}

bool ZuApp::GetWindow(unsigned index, ZuWindowRef& out)
{
    ZuObjectRef o;
    if (!window_list.IsValid() || !window_list->Get(index, o)) {
        out = ZuWindowRef();
        return false;
    }
    out = ZuWindowRef(o);
    return out.IsValid();
}

ZuWindowRef ZuApp::RetWindow(unsigned index)
{
    ZuWindowRef w;
    GetWindow(index, w);
    return w;
}

const ZuWindowRef& ZuApp::RetActiveWindow() const
{
    return active_window;
}

bool ZuApp::RegisterNamedView(const ZuAtomRef& name, const ZuViewRef& view)
{
    MakeTables();
    if (!name.IsValid() || !view.IsValid())
        return false;
    return named_views->Insert(name, view);
}

bool ZuApp::UnregisterNamedView(const ZuAtomRef& name, const ZuViewRef& view)
{
    if (!named_views.IsValid() || !name.IsValid() || !view.IsValid())
        return false;
    return named_views->Remove(name, view, 0);
}

bool ZuApp::FindViewFromUserName(const ZuAtomRef& name, unsigned n, ZuViewRef& out)
{
    out = ZuViewRef();
    if (!named_views.IsValid() || !name.IsValid())
        return false;
    unsigned count = named_views->TotalCount();
    unsigned seen = 0;
    for (unsigned i = 0; i < count; ++i) {
        ZuObjectRef key, value;
        if (!named_views->Get(i, key, value) || key != ZuObjectRef(name))
            continue;
        if (seen++ == n) {
            out = ZuViewRef(value);
            return out.IsValid();
        }
    }
    return false;
}

bool ZuApp::FindViewFromUserName(const ZuAtomRef& name, ZuViewRef& out)
{
    return FindViewFromUserName(name, 0, out);
}

unsigned ZuApp::CountNamedViews()
{
    return named_views.IsValid() ? named_views->TotalCount() : 0;
}

bool ZuApp::GetNamedView(unsigned index, ZuAtomRef& name, ZuViewRef& view)
{
    ZuObjectRef key, value;
    if (!named_views.IsValid() || !named_views->Get(index, key, value)) {
        name = ZuAtomRef();
        view = ZuViewRef();
        return false;
    }
    name = ZuAtomRef(key);
    view = ZuViewRef(value);
    return true;
}

void ZuApp::Delete()
{
    if (window_list.IsValid())
        window_list->RemoveAll();
    if (named_views.IsValid())
        named_views->RemoveAll();
    active_window = ZuWindowRef();
    builder = ZuObjectRef();
    ZuDataSlot::Delete();
}
