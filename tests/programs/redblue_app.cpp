// A program of the library for the screen test (tests/si/x11/app_x11_test.cpp).
// Its App opens one window whose only view fills it red, turns blue when
// the pointer button goes down on it and posts the quit when the button
// comes up. Its main is the library's entry, as any program's.
#include "sd/win32/sd_grailwdo.h"
#include "si/app.h"
#include "si/classfactory.h"
#include "si/colorpixel.h"
#include "si/event.h"
#include "si/grail.h"
#include "si/view.h"
#include "si/window.h"
#include "w32/module.h"

ZU_HANDLE(RedBlueView, ZuView)
class RedBlueView : public ZuView {
    ZU_CLASS(RedBlueView, ZuView)
public:
    RedBlueView() {}
    void DrawBack(const ZuGrailPortRef& port, const ZuRect& rect) override
    {
        port->SetForeColor(ZuColorPixel(pressed ? 0x0000FFu : 0xFF0000u));
        port->FillRect(rect, 0);
    }
    void ButtonPress(const ZuEventRef&) override
    {
        pressed = true;
        Display(true);
    }
    void ButtonRelease(const ZuEventRef&) override { ZuEvent::PostQuitEvent(); }

private:
    bool pressed = false;
};
ZU_CLASS_END(RedBlueView)
ZU_IMPLEMENT_CLASS(RedBlueView, "tests/programs/redblue_app", ZU_CLASS_PLAIN)

ZU_HANDLE(App, ZuApp)
class App : public ZuApp {
    ZU_CLASS(App, ZuApp)
public:
    App() {}
    void Initialise(bool build) override
    {
        ZuApp::Initialise(build);
        // The window lists itself in the application, which keeps it.
        ZuWindowRef window = ZuNew<ZuWindow>(RetMemZone());
        window->SetWindowBox(ZuRect(100, 100, 299, 249));
        ZuViewRef view = ZuNew<RedBlueView>(RetMemZone());
        view->SetBox(ZuRect(0, 0, 199, 149));
        view->SetParent(window);
        window->ShowNormal();
    }
};
ZU_CLASS_END(App)
ZU_IMPLEMENT_CLASS(App, "tests/programs/redblue_app", ZU_CLASS_PLAIN)

int main()
{
    return WinMain(GetModuleHandleA(nullptr), nullptr, nullptr, 1);
}
