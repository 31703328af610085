#include "tests/support/framedwindows.h"

#include "sd/win32/sd_event.h"
#include "si/classfactory.h"
#include "si/event.h"
#include "si/memzone.h"
#include "si/string.h"
#include "tests/support/views.h"
#include "w32/headless.h"
#include "w32/kernel.h"
#include "w32/winuser.h"

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
    // Posted messages come before input: the wake-up that marks the end is
    // posted only once nothing else waits. Paint messages make no event
    // and are served here, so that the wait never blocks on them.
    ZuEventRef e = ZuEvent::Current();
    for (int i = 0; i < 1000; ++i) {
        MSG m;
        while (PeekMessageA(&m, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE))
            DispatchMessageA(&m);
        if (!PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE))
            PostThreadMessageA(GetCurrentThreadId(), ZU_MSG_WAKE_UP, 0, 0);
        if (!e->WaitForEvent() || e->RetType() == ZU_EVENT_WAKE_UP)
            break;
        e->DispatchEvent();
    }
    if (app.IsValid())
        app->SyncWindows(false);
}

std::vector<std::string> FramedWindowTest::Reports()
{
    std::vector<std::string> events = watcher->Events();
    watcher->Clear();
    return events;
}
