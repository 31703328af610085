#ifndef SI_EVENT_H
#define SI_EVENT_H

// ZuEvent: the record of one input or command event (keys, mouse, wheel,
// commands, user and wake-up events). The platform's event layer fills the
// one current event object and the main loop dispatches it once per pass:
// a command event goes straight to its message; every other event passes
// the event spies (objects watching chosen kinds of events, which may drop
// it) and then goes to its window.
//
// The window side of dispatch is reached through ZuEvent::window_dispatch,
// which the window layer sets to its ZuWindow::DispatchEvent; while no
// window layer is linked in it is empty and the last step does nothing.

#include <atomic>
#include <cstdint>

#include "si/atom.h"
#include "si/bitset.h"
#include "si/enumfamily.h"
#include "si/key.h"
#include "si/object.h"

ZU_FORWARD(ZuDict)

// clang-format off
#define ZU_EVENT_TYPE_LIST(X)                                                   \
    X(ZU_EVENT_NONE, 0) X(ZU_EVENT_KEY_DOWN, 1) X(ZU_EVENT_KEY_REP, 2)          \
    X(ZU_EVENT_KEY_UP, 3) X(ZU_EVENT_KEY_CHANGE, 4) X(ZU_EVENT_PRESS, 5)        \
    X(ZU_EVENT_RELEASE, 6) X(ZU_EVENT_MOTION, 7) X(ZU_EVENT_WHEEL, 8)           \
    X(ZU_EVENT_COMMAND, 9) X(ZU_EVENT_USER, 10) X(ZU_EVENT_WAKE_UP, 11)
// clang-format on
ZU_ENUM(ZuEventType, ZU_EVENT_TYPE_LIST)

// clang-format off
#define ZU_EVENT_BUTTON_LIST(X)                                                 \
    X(ZU_EV_BUTTON_LEFT, 0) X(ZU_EV_BUTTON_RIGHT, 1) X(ZU_EV_BUTTON_MIDDLE, 2)  \
    X(ZU_EV_BUTTON_EXTRA_1, 3) X(ZU_EV_BUTTON_EXTRA_2, 4)                       \
    X(ZU_EV_BUTTON_EXTRA_3, 5) X(ZU_EV_BUTTON_EXTRA_4, 6)                       \
    X(ZU_EV_BUTTON_NONE, 31)
// clang-format on
ZU_ENUM(ZuEventButton, ZU_EVENT_BUTTON_LIST)

typedef Bitset<ZuEventType> ZuEventMask;
typedef Bitset<ZuEventButton> ZuEventButtons;
typedef std::uint64_t ZuEventID;

extern const Zuvi_TypeDef ZuEventMask_type;
extern const Zuvi_TypeDef ZuEventButtons_type;
extern const Zuvi_TypeDef ZuEventID_type;
ZuEventMask Zuvi_ValueToZuEventMask(const ZuValueRef& value);
ZuEventButtons Zuvi_ValueToZuEventButtons(const ZuValueRef& value);
ZuEventID Zuvi_ValueToZuEventID(const ZuValueRef& value);

struct Zuvi_RemAppIDRec;
class ZuMessageRef;
class ZuStringRef;

ZU_HANDLE(ZuEvent, ZuObject)

class ZuEvent : public ZuObject {
    ZU_CLASS(ZuEvent, ZuObject)
public:
    ZuEvent() {}

    // Command event with a message: the message goes to its default target
    // and is deleted (a message that cannot be read is dropped). Any other
    // event with a window: the spies whose mask has the event's type, in
    // order, until one drops it, then the window.
    virtual void DispatchEvent();
    // Sets the cancelled flag; true.
    virtual bool Cancel();
    // Fills the event with the next one, waiting for it (the platform's
    // event layer, sd/win32/sd_event); false when the quit message came.
    virtual bool WaitForEvent();

    ZuEventType RetType() const { return type; }
    ZuEventID RetID() const { return id; }
    std::int64_t RetTime() const { return time; }
    const ZuObjectRef& RetWindow() const { return window; }
    double RetX() const { return x; }
    double RetY() const { return y; }
    void GetXY(double& out_x, double& out_y) const
    {
        out_x = x;
        out_y = y;
    }
    const ZuObjectRef& RetRealWindow() const { return real_window; }
    double RetRealX() const { return real_x; }
    double RetRealY() const { return real_y; }
    void GetRealXY(double& out_x, double& out_y) const
    {
        out_x = real_x;
        out_y = real_y;
    }
    ZuEventButtons RetButtons() const { return buttons; }
    ZuEventButton RetChange() const { return change; }
    unsigned RetClickCount() const { return click_count; }
    unsigned RetCode() const { return code; }
    const ZuObjectRef& RetData() const { return data; }
    const ZuAtomRef& RetName() const { return name; }
    double RetAmplitude() const { return amplitude; }
    const ZuKey& RetKey() const { return key; }
    bool IsDoubleClick() const { return click_count == 2; }
    // True exactly while the event loop waits for input; read by the
    // collector thread, hence atomic.
    bool IsWaitingForEvent() const { return waiting.load(std::memory_order_acquire); }
    void SetWaitingForEvent(bool on) { waiting.store(on, std::memory_order_release); }
    bool IsCancelled() const { return cancelled; }
    bool IsValid() const { return !cancelled; }

    static const ZuEventRef& Current() { return current; }

    // Event spies (plain records, in insertion order).
    static bool InsertEventSpy(const ZuObjectRef& object, const ZuAtomRef& action,
                               ZuEventMask mask);
    // Removes the first spy with that object, action and mask.
    static bool RemoveEventSpy(const ZuObjectRef& object, const ZuAtomRef& action,
                               ZuEventMask mask);
    static bool GetEventSpy(unsigned i, ZuObjectRef& object, ZuAtomRef& action, ZuEventMask& mask);
    // Called by a spy: the spies after it and the window do not see the
    // event.
    static void DropEvent();

    // User events: the names are the keys of user_events (made by the
    // event layer on the first registration). All answer false without it.
    static bool RemoveUserEvent(const ZuAtomRef& name);
    static bool FindUserEvent(const ZuAtomRef& name);
    static bool GetUserEvent(unsigned i, ZuAtomRef& name);

    // The platform's event layer (sd/win32/sd_event).
    // Makes the current event in the system zone and the wait table.
    static void Initialise();
    // Empties the current event and closes the wait table.
    static void Kill();
    // Any thread: wakes the user-interface thread's wait with a wake-up
    // event (nothing before its first wait).
    static void PostWakeUpEvent();
    // The loop's next wait answers false.
    static void PostQuitEvent();
    // Nests (grab true) or unnests a grab of the pointer: while one is in
    // force, the real window of captured input is not searched.
    static void GrabWindowEvents(const ZuObjectRef& window, bool grab);
    // How many grabs are in force (0: none).
    static int RetGrabCount();
    // While buttons are held, the mouse capture moves to the window's
    // screen window.
    static void HandOverToWindow(const ZuObjectRef& window);
    // Registers a user event by name (a platform message number); false
    // when the name is known already.
    static bool InsertUserEvent(const ZuAtomRef& name);
    // A press adds a held button to the capture, a release takes one away.
    static void UpdateMouseCapture(ZuEventType type, void* platform_window);

    // The inter-application command pipe (sd/win32/sd_event).
    // The first application of the library whose program name (cut at its
    // first '.') is `program`, letter case aside; this application counts.
    static bool FindAppEventQueue(const ZuStringRef& program, Zuvi_RemAppIDRec*& out);
    // Writes the message into the application's command pipe: false when
    // the application or its pipe is gone, or the write failed or was short.
    static bool PostCommandEvent(Zuvi_RemAppIDRec* target, const ZuMessageRef& message);
    // User events do not travel between applications: always false.
    static bool PostUserEvent(Zuvi_RemAppIDRec* target, const ZuAtomRef& name,
                              const ZuObjectRef& data);
    // The message stored in the bytes that a command brought (freed here);
    // empty for no bytes, unreadable bytes or anything but a ZuMessage.
    static ZuObjectRef DecodeCommandMessage(void* buffer, unsigned size);

    // The window's dispatch of an event (set by the window layer).
    typedef void (*WindowDispatchFn)(const ZuObjectRef& window, const ZuEventRef& event);
    static WindowDispatchFn window_dispatch;

    static ZuEventRef current;
    static ZuEventButton last_click_button;
    static std::int64_t last_click_time;
    static unsigned last_click_count;
    static ZuDictRef user_events;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    // The fields, which the event layer fills.
    ZuEventType type = ZU_EVENT_NONE;
    ZuEventID id = 0;
    std::int64_t time = 0;
    ZuObjectRef window;
    double x = 0;
    double y = 0;
    ZuEventButtons buttons;
    ZuEventButton change = ZU_EV_BUTTON_NONE;
    unsigned click_count = 0;
    ZuObjectRef real_window;
    double real_x = 0;
    double real_y = 0;
    unsigned code = 0;
    ZuObjectRef data;
    // The atom of the empty text until a name is given: that is the empty
    // handle, since no atom holds an empty text (readers compare it with
    // texts, store it and read it back as such).
    ZuAtomRef name;
    double amplitude = 0;
    ZuKey key;
    bool quit = false;
    std::atomic<bool> waiting{false};
    bool cancelled = false;

private:
    // The platform's event layer fills the fields (sd/win32/sd_event).
    friend class Zuvi_EventFiller;
    struct Spy;
    static Spy* spy_head;
    static Spy* spy_tail;
    static bool dropped;
};
ZU_CLASS_END(ZuEvent)

#endif
