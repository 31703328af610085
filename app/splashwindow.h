// CSplashWindow: the picture window shown while the program starts and
// again for "A propos de...": one frameless window holding one large button
// whose contents are the picture "lumbra_Generic" of the generic sheet.
// Clicking the picture hides the window. The program opens it once, at
// the start (each Open builds the contents again), and afterwards only
// shows and hides it.
#ifndef LUMBRA_APP_SPLASHWINDOW_H
#define LUMBRA_APP_SPLASHWINDOW_H

#include <cstdint>

#include "si/rect.h"
#include "si/respond.h"
#include "si/window.h"

ZU_HANDLE(CSplashWindow, ZuResponder)
class CSplashWindow : public ZuResponder {
    ZU_CLASS(CSplashWindow, ZuResponder)
public:
    CSplashWindow() {}
    ~CSplashWindow() override;

    // Opens the window centred on (x, y), 498 by 273, and builds its
    // contents; answers true.
    bool Open(int x, int y);
    // false: shows the window again and brings it to the front; true:
    // hides it and stops the timer.
    void Hide(bool hide);
    // The picture button over the inner rectangle.
    void Build(const ZuRect& inner);
    // The picture button's click: hides the window.
    bool OnClick();

    // The timer: registered with the application as a tick responder when
    // started; its expiry hides the window. Nothing in the program starts
    // it.
    virtual void StartTimer();
    virtual void StopTimer();
    virtual void TimerExpired();
    void Tick(unsigned id) override;

    const ZuWindowRef& RetWindow() const { return window; }
    bool IsTimerRegistered() const { return timer_registered; }

    void Delete() override;

private:
    ZuWindowRef window;
    bool timer_registered = false;
    std::uint32_t timer_delay = 0;
};
ZU_CLASS_END(CSplashWindow)

#endif
