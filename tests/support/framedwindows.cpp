#include "tests/support/framedwindows.h"

#include "sd/win32/sd_event.h"
#include "si/classfactory.h"
#include "si/event.h"
#include "si/memzone.h"
#include "si/string.h"
#include "tests/support/views.h"
#include "w32/headless.h"

void FramedWindowTest::SetUp()
{
    LookTest::SetUp();
    RegisterWindowClass();
    app = ZuNew<ZuApp>(nullptr);
    ZuApp::Initialise(app);
    app->NotifyActiveApp(true);
    watcher = TestObserver::Make();
}

void FramedWindowTest::TearDown()
{
    W32_HeadlessMouse(0, 0, 0);
    Pump();
    for (ZuWindowRef& w : windows)
        if (w.IsValid())
            w->Delete();
    windows.clear();
    watcher->Delete();
    watcher = TestObserverRef();
    ZuApp::Kill();
    app = ZuAppRef();
    Zuvi_ResetEventLayer();
    UnregisterWindowClass();
    LookTest::TearDown();
}

ZuWinStyle FramedWindowTest::Style(std::initializer_list<ZuWinStyleBit> bits)
{
    ZuWinStyle s;
    for (ZuWinStyleBit b : bits)
        s.SetBit(b);
    return s;
}

ZuWindowRef FramedWindowTest::Make(double x, double y, double dx, double dy,
                                   const ZuWinStyle& style)
{
    ZuWindowRef w = ZuNew<ZuWindow>(Zuvi_app_zone);
    w->InitGeom(x, y, dx, dy, ZuStringRef("Fen\xEAtre"), style);
    windows.push_back(w);
    return w;
}

void FramedWindowTest::Mouse(int x, int y, unsigned buttons)
{
    W32_HeadlessMouse(x, y, buttons);
    Pump();
}

void FramedWindowTest::Pump()
{
    // The quit message comes out only once nothing else waits.
    ZuEvent::PostQuitEvent();
    const ZuEventRef& e = ZuEvent::Current();
    while (e->WaitForEvent())
        e->DispatchEvent();
    if (app.IsValid())
        app->SyncWindows(false);
}

std::vector<std::string> FramedWindowTest::Reports()
{
    std::vector<std::string> events = watcher->Events();
    watcher->Clear();
    return events;
}
