#ifndef TESTS_SUPPORT_VIEWS_H
#define TESTS_SUPPORT_VIEWS_H

// Probe views and events for the tests of responders, views and windows: a
// view that logs the handlers it receives and fills its box with a colour,
// and an event whose fields a test sets.

#include <string>

#include "si/classfactory.h"
#include "si/event.h"
#include "si/grail.h"
#include "si/memzone.h"
#include "si/window.h"

ZU_HANDLE(TProbeEvent, ZuEvent)
class TProbeEvent : public ZuEvent {
    ZU_CLASS(TProbeEvent, ZuEvent)
public:
    TProbeEvent() {}
    static TProbeEventRef Make(ZuEventType t, double px = 0, double py = 0);
    TProbeEvent& Type(ZuEventType t)
    {
        type = t;
        return *this;
    }
    TProbeEvent& At(double px, double py)
    {
        x = px;
        y = py;
        return *this;
    }
    TProbeEvent& Button(unsigned b)
    {
        buttons.SetBit(static_cast<ZuEventButton>(b));
        return *this;
    }
    TProbeEvent& In(const ZuObjectRef& w)
    {
        window = w;
        return *this;
    }
    TProbeEvent& NoButtons()
    {
        buttons = ZuEventButtons();
        return *this;
    }
    // The button that changed (a press or release of it).
    TProbeEvent& Changed(ZuEventButton b)
    {
        change = b;
        return *this;
    }
    TProbeEvent& Modifier(ZuKeyModifier m)
    {
        key.modifiers.SetBit(m);
        return *this;
    }
    // The key of a key event: its type, code and character value.
    TProbeEvent& Key(ZuKeyType t, unsigned key_code, unsigned key_value)
    {
        key.type = t;
        key.code = static_cast<std::uint8_t>(key_code);
        key.value = static_cast<std::uint16_t>(key_value);
        return *this;
    }
    void Delete() override
    {
        window = ZuObjectNull;
        ZuEvent::Delete();
    }
};
ZU_CLASS_END(TProbeEvent)

// A view that fills its box with its colour (0: nothing) and logs its
// handlers as "name:Handler " into the shared log.
ZU_HANDLE(TProbeView, ZuView)
class TProbeView : public ZuView {
    ZU_CLASS(TProbeView, ZuView)
public:
    TProbeView() {}
    static TProbeViewRef Make(const char* label, double x1 = 0, double y1 = 0, double x2 = -1,
                              double y2 = -1, unsigned color = 0);

    void DrawBack(const ZuGrailPortRef& port, const ZuRect& rect) override;
    void KeyDown(const ZuEventRef& e) override;
    void KeyUp(const ZuEventRef& e) override;
    void KeyChange(const ZuEventRef& e) override;
    void ButtonPress(const ZuEventRef& e) override;
    void ButtonRelease(const ZuEventRef& e) override;
    void MotionNotify(const ZuEventRef& e) override;
    void DragNotify(const ZuEventRef& e) override;
    void Miscellanous(const ZuEventRef& e) override;
    void EnterNotify(const ZuEventRef& e) override;
    void LeaveNotify(const ZuEventRef& e) override;
    void BecomeMain(bool flag) override;
    void ResignMain() override;
    void Tick(unsigned id) override;

    std::string label;
    unsigned color = 0;
    bool pass_on = false; // hand events on after logging them
    static std::string log;
};
ZU_CLASS_END(TProbeView)

// Views of one window, made in the application zone, deleted by the fixture.
ZuWindowRef NewTestWindow(double dx, double dy);

// Registers the class of the platform windows, as the program's entry
// does, so that windows can be opened (nothing when it is registered);
// the fixture unregisters it when it ends, for the tests that follow in
// the same process.
void RegisterWindowClass();
void UnregisterWindowClass();

#endif
