// ZuApp: the one application object of a process. The program's class
// "App" derives from it and the library's start-up makes it by that name.
// It knows the open windows, the main and the active window and the named
// views, runs the main event loop, keeps the tick responders (timers in
// milliseconds, a delta list ordered by due time) and queues the reports
// that other threads or other code make asynchronously, delivering them on
// the user-interface thread to the attached observers. It is also a data
// slot named "Application", in which the managers publish themselves.
#ifndef SI_APP_H
#define SI_APP_H

#include <cstdint>

#include "si/atompath.h"
#include "si/dataslot.h"
#include "si/dict.h"
#include "si/list.h"
#include "si/string.h"
#include "si/view.h"
#include "si/window.h"

ZU_HANDLE(ZuApp, ZuDataSlot)
class ZuApp : public ZuDataSlot {
    ZU_CLASS(ZuApp, ZuDataSlot)
public:
    // Starts the event layer with the application. Only one application
    // may be installed: making a second one is fatal.
    ZuApp();
    ~ZuApp() override;

    // The current application; empty before Initialise(app).
    static const ZuAppRef& Current();
    // Installs app as the current application (fatal when one is) and, on
    // the first call, notes the main thread's stack base.
    static void Initialise(const ZuAppRef& app);
    // Deletes the windows and the application and uninstalls it; fatal
    // unless exactly one application is installed.
    static void Kill();
    // Whether the address lies on the main thread's stack, between its
    // current top and the base noted by Initialise (false on other threads
    // and before Initialise).
    static bool IsOnStack(const void* address);
    static bool IsOnStack(std::uint64_t address);

    // Enters the application in its own data slot as "Application" and
    // keeps the build flag; with build true, makes the builder when a
    // class "ZuBuilder" exists.
    virtual void Initialise(bool build);
    virtual bool SetBuilder(const ZuObjectRef& builder);
    virtual bool GetBuilder(ZuObjectRef& out) const;
    virtual const ZuObjectRef& RetBuilder() const;
    virtual bool IsBuildEnabled() const;

    // Fires what is pending and brings the windows up to date, starts the
    // collector thread, then dispatches every event until the quit message
    // comes, and stops the collector.
    virtual void MainEventLoop();
    // time: milliseconds of ZuTime::NowGMTAbsTime. Counts the time since
    // the previous call off the first responder (a clock set back counts as
    // no time) and, with fire, calls and removes every responder that is
    // due. Answers the milliseconds until the next one is due, 0 when one
    // is overdue, -1 when none is waiting.
    virtual int HandleTick(std::int64_t time, bool fire);

    virtual bool NotifyActiveWindow(const ZuWindowRef& window);
    // The process gained (true) or lost the focus: on a change, gaining it
    // first brings the application's windows to the front.
    virtual bool NotifyActiveApp(bool active);
    virtual bool InsertWindow(const ZuWindowRef& window);
    // Fatal for a window that is not in the list.
    virtual bool RemoveWindow(const ZuWindowRef& window);
    // Brings the windows to the front in this order: the main window, the
    // other visible windows that are neither tool nor topmost windows nor
    // modal, the visible tool windows, and after each window its modal
    // windows.
    virtual bool ReorderWindows();
    virtual bool SetMainWindow(const ZuWindowRef& window);
    virtual const ZuWindowRef& RetMainWindow() const;
    virtual ZuListRef RetWindowList();
    virtual unsigned RetWindowNum() const;
    virtual bool GetWindow(unsigned index, ZuWindowRef& out);
    virtual ZuWindowRef RetWindow(unsigned index);
    virtual const ZuWindowRef& RetActiveWindow() const;

    // Redraws what the windows delayed and flushes their ports; true when a
    // port was flushed. In idle sync mode only the event layer's idle call
    // (idle true) does it, and ends the mode.
    virtual bool SyncWindows(bool idle);
    virtual bool SetIdleSyncMode(bool on);
    virtual bool ResetIdleSyncMode();
    virtual bool RetIdleSyncMode() const;
    virtual bool IsAppActive() const;

    // The n-th view (from 0) registered under name, in registration order.
    virtual bool FindViewFromUserName(const ZuAtomRef& name, unsigned n, ZuViewRef& out);
    virtual bool FindViewFromUserName(const ZuAtomRef& name, ZuViewRef& out);
    // The n-th view (from 0) of that user path, searching the windows in
    // list order.
    virtual bool FindViewFromUserPath(const ZuAtomPathRef& path, unsigned n, ZuViewRef& out);
    virtual bool FindViewFromUserPath(const ZuAtomPathRef& path, ZuViewRef& out);
    virtual unsigned CountNamedViews();
    virtual bool GetNamedView(unsigned index, ZuAtomRef& name, ZuViewRef& view);

    // Tick responders (objects with the interface ZuiTickHandler): any
    // thread. The responder's Tick(id) is called once, delay milliseconds
    // from now; with replace, its earlier entries of that id go first.
    virtual bool InsertTickResponder(const ZuObjectRef& responder, int delay, unsigned id,
                                     bool replace);
    // Removes the responder's entries of that id (all_ids: of every id).
    virtual bool RemoveTickResponder(const ZuObjectRef& responder, unsigned id, bool all_ids);

    virtual const ZuStringRef& RetAppDirectory() const;
    virtual const ZuStringRef& RetZuviDirectory() const;
    // The time of the event being handled (milliseconds).
    virtual std::int64_t RetEventTime() const;

    // Asynchronous reports, from any thread: the event path is a copy of
    // path (the object's user path) with event appended. A pair already
    // pending is not queued again. The loop is not woken.
    virtual bool ReportAsync(const ZuObjectRef& object, const ZuAtomRef& event,
                             const ZuAtomPathRef& path);
    virtual bool ReportAsync(const ZuObjectRef& object, const ZuAtomRef& event);
    // Delivers what was pending at the call, in the order of the reporting
    // objects, to the observers attached under each event path; reports
    // made meanwhile wait for the next call. True when anything was
    // delivered.
    virtual bool FireAsyncEvents();
    // The event path being delivered; empty outside delivery.
    virtual ZuAtomPathRef RetFiredAsyncEvent() const;
    virtual bool AttachAsyncObserver(const ZuObjectRef& observer, const ZuAtomPathRef& event,
                                     const ZuTextRef& actor, unsigned id);
    virtual bool DetachAsyncObserver(const ZuObjectRef& observer, const ZuAtomPathRef& event,
                                     const ZuTextRef& actor, unsigned id);
    virtual unsigned CountAsyncEvents() const;
    virtual unsigned CountAsyncObservers() const;
    // The i-th attachment: its path, its chain of actions (or single
    // action), its observer and id.
    virtual bool GetAttachedAsync(unsigned i, ZuAtomPathRef& event, ZuObjectRef& actor,
                                  ZuObjectRef& observer, unsigned& id);

    void Delete() override;

    static ZuAtomRef notify_window_list_changed;
    static ZuAtomRef notify_active_window_changed;
    static ZuAtomRef notify_app_activated;
    static ZuAtomRef notify_app_deactivated;
    static ZuAtomRef notify_main_window_changed;

protected:
    friend class ZuView;
    virtual bool RegisterNamedView(const ZuAtomRef& name, const ZuViewRef& view);
    virtual bool UnregisterNamedView(const ZuAtomRef& name, const ZuViewRef& view);

    // The application is never stored: both are fatal.
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    struct TickNode;
    void FreeTickNodes();

    ZuWindowRef main_window;
    ZuWindowRef active_window;
    ZuListRef window_list;
    unsigned window_count = 0;
    ZuStringRef app_directory;
    ZuStringRef zuvi_directory;
    ZuObjectRef builder;
    bool build_enabled = true;
    bool app_active = false;
    bool idle_sync_mode = false;
    TickNode* tick_head = nullptr;
    TickNode* tick_tail = nullptr;
    std::int64_t event_time = 0;
    ZuDictRef async_observers;
    ZuDictRef pending_events;
    ZuDictRef spare_events;
    ZuAtomPathRef fired_event;
    ZuDictRef named_views;

    static unsigned current_num;
    static std::uint64_t stack_base;
    static bool stack_upward;
    static std::int64_t last_tick_time;
    static bool last_tick_set;
    // The address that function key 10 asks the zones about (0; a
    // debugger sets it).
    static std::uintptr_t memory_report_address;
};
ZU_CLASS_END(ZuApp)

#endif
