// The library program of the start-up benchmark (bench/startup_bench.cpp).
// Its App opens an 800 x 600 window at the screen's corner with a few
// views; once the window's first paint is at the X server (the paint's
// report, then a round trip on the library's connection) it writes a byte
// to the descriptor named by ZUVI_BENCH_READY_FD and quits. The view in the
// middle is 0x3060C0, as the bare Xlib program paints it there.
#include <cstdlib>

#include <unistd.h>

#include "sd/win32/sd_grailwdo.h"
#include "si/app.h"
#include "si/classfactory.h"
#include "si/colorpixel.h"
#include "si/event.h"
#include "si/grail.h"
#include "si/grailwdo.h"
#include "si/rtclass.h"
#include "si/view.h"
#include "si/window.h"
#include "w32/module.h"
#include "w32/winuser.h"

ZU_HANDLE(BoxView, ZuView)
class BoxView : public ZuView {
    ZU_CLASS(BoxView, ZuView)
public:
    BoxView() {}
    void DrawBack(const ZuGrailPortRef& port, const ZuRect& rect) override
    {
        port->SetForeColor(ZuColorPixel(color));
        port->FillRect(rect, 0);
    }
    unsigned color = 0;
};
ZU_CLASS_END(BoxView)
ZU_IMPLEMENT_CLASS(BoxView, "bench/startup_app", ZU_CLASS_PLAIN)

ZU_HANDLE(App, ZuApp)
class App : public ZuApp {
    ZU_CLASS(App, ZuApp)
public:
    App() {}
    void Initialise(bool build) override
    {
        ZuApp::Initialise(build);
        ZuWindowRef window = ZuNew<ZuWindow>(RetMemZone());
        window->SetWindowBox(ZuRect(0, 0, 799, 599));
        struct {
            double x1, y1, x2, y2;
            unsigned color;
        } const boxes[] = {
            {0, 0, 799, 599, 0xE0E0E0},     {20, 20, 379, 279, 0xC03030},
            {420, 20, 779, 279, 0x30A030},  {20, 320, 379, 579, 0xC0C030},
            {300, 200, 499, 399, 0x3060C0},
        };
        ZuViewRef back;
        for (const auto& b : boxes) {
            BoxViewRef view = ZuNew<BoxView>(RetMemZone());
            view->color = b.color;
            view->SetBox(ZuRect(b.x1, b.y1, b.x2, b.y2));
            view->SetParent(back.IsValid() ? back : ZuViewRef(window));
            if (!back.IsValid())
                back = view;
        }
        window->ShowNormal();
        ZuGrailPortRef port = window->RetGrailPort();
        if (port.IsValid())
            port->AttachObserver(ZuObjectRef(this), ZuGrailWindow::notify_redrawn,
                                 ZuAtomRef("Painted"), 0);
    }
    bool Painted(const ZuObjectRef&, unsigned)
    {
        if (told)
            return true;
        told = true;
        // A round trip on the library's connection: the server has taken
        // the paint.
        POINT p;
        GetCursorPos(&p);
        const char* fd = std::getenv("ZUVI_BENCH_READY_FD");
        char byte = 1;
        if (fd != nullptr && ::write(std::atoi(fd), &byte, 1) != 1)
            std::exit(1);
        ZuEvent::PostQuitEvent();
        return true;
    }

private:
    bool told = false;
};
ZU_CLASS_END(App)
ZU_IMPLEMENT_CLASS(App, "bench/startup_app", ZU_CLASS_PLAIN)
ZU_EXPORT_OBSERVER(App, Painted)

int main()
{
    return WinMain(GetModuleHandleA(nullptr), nullptr, nullptr, 1);
}
