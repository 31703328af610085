// Ties the screen windows (which sit below the windows and the application)
// to the library windows and the application: fills in what they ask of
// them when the library is loaded. The owner of a new screen window and
// the event layer's links are the window layer's to fill.

#include "si/app.h"
#include "si/grailwdo.h"
#include "si/window.h"

namespace {

ZuWindowRef AsWindow(const ZuObjectRef& o)
{
    return o.IsValid() && o->IsKindOf(ZuWindowRef::RetRuntime()) ? ZuWindowRef(o) : ZuWindowRef();
}

ZuGrailWindow* PortOfWindow(const ZuObjectRef& window)
{
    ZuWindowRef w = AsWindow(window);
    if (!w.IsValid())
        return nullptr;
    ZuGrailPort* p = w->RetGrailPort().Resolve();
    return p != nullptr && p->IsKindOf(ZuGrailWindowRef::RetRuntime())
               ? static_cast<ZuGrailWindow*>(p)
               : nullptr;
}

void ChangedActive(const ZuObjectRef& window, bool value)
{
    ZuWindowRef w = AsWindow(window);
    if (w.IsValid())
        w->SysChangedActive(value);
}

void Display(const ZuObjectRef& window)
{
    ZuWindowRef w = AsWindow(window);
    if (w.IsValid())
        w->Display(true);
}

bool AppRunning()
{
    return ZuApp::Current().IsValid();
}

struct Links {
    Links()
    {
        Zuvi_grail_window_links.app_running = &AppRunning;
        Zuvi_grail_window_links.port_of_window = &PortOfWindow;
        Zuvi_grail_window_links.changed_active = &ChangedActive;
        Zuvi_grail_window_links.display = &Display;
    }
} links;

} // namespace
