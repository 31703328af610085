#include "si/app.h"

#include <climits>
#include <new>
#include <vector>

#include "sd/common/sd_file.h"
#include "sd/win32/sd_event.h"
#include "si/asyncobs.h"
#include "si/classfactory.h"
#include "si/error.h"
#include "si/event.h"
#include "si/gcthread.h"
#include "si/globallock.h"
#include "si/grailwdo.h"
#include "si/itickhandler.h"
#include "si/maininit.h"
#include "si/memzone.h"
#include "si/pubdata.h"
#include "si/rtclass.h"
#include "si/thread.h"
#include "si/typedef.h"
#include "si/values.h"

ZU_IMPLEMENT_CLASS(ZuApp, "si/app", ZU_CLASS_SINGLETON | ZU_CLASS_NOT_STORED)

ZuAtomRef ZuApp::notify_window_list_changed;
ZuAtomRef ZuApp::notify_active_window_changed;
ZuAtomRef ZuApp::notify_app_activated;
ZuAtomRef ZuApp::notify_app_deactivated;
ZuAtomRef ZuApp::notify_main_window_changed;

unsigned ZuApp::current_num = 0;
std::uint64_t ZuApp::stack_base = 0;
bool ZuApp::stack_upward = false;
std::int64_t ZuApp::last_tick_time = 0;
bool ZuApp::last_tick_set = false;
std::uintptr_t ZuApp::memory_report_address = 0;

ZU_EXPORT_NOTIFY(ZuApp, window_list_changed, "notify_window_list_changed",
                 &ZuApp::notify_window_list_changed)
ZU_EXPORT_NOTIFY(ZuApp, active_window_changed, "notify_active_window_changed",
                 &ZuApp::notify_active_window_changed)
ZU_EXPORT_NOTIFY(ZuApp, app_activated, "notify_app_activated", &ZuApp::notify_app_activated)
ZU_EXPORT_NOTIFY(ZuApp, app_deactivated, "notify_app_deactivated", &ZuApp::notify_app_deactivated)
ZU_EXPORT_NOTIFY(ZuApp, main_window_changed, "notify_main_window_changed",
                 &ZuApp::notify_main_window_changed)

// The published data and the notifications that tell of their changes.
static Zuvi_NotifyExport zuvi_notify_ZuApp_main_window(&ZuAppRef::RetRuntime(),
                                                       "notify_main_window_changed", "main_window",
                                                       nullptr);
static Zuvi_NotifyExport zuvi_notify_ZuApp_window_list(&ZuAppRef::RetRuntime(),
                                                       "notify_window_list_changed", "window_list",
                                                       nullptr);
static Zuvi_NotifyExport zuvi_notify_ZuApp_window_num(&ZuAppRef::RetRuntime(),
                                                      "notify_window_list_changed", "window_num",
                                                      nullptr);
static Zuvi_NotifyExport zuvi_notify_ZuApp_active_window(&ZuAppRef::RetRuntime(),
                                                         "notify_active_window_changed",
                                                         "active_window", nullptr);

struct ZuApp::TickNode {
    TickNode* next = nullptr;
    TickNode* prev = nullptr;
    ZuObjectRef responder;
    int delay = 0; // from the node before (from now for the head)
    unsigned id = 0;
};

namespace {

ZuAppRef& CurrentApp()
{
    static ZuAppRef app;
    return app;
}

ZuApp* AppOf(ZuObject* object)
{
    return static_cast<ZuApp*>(object);
}

void GetMainWindow(ZuValueRef& value, ZuObject* object)
{
    value = ZuValueRef(ZuObjectRef(AppOf(object)->RetMainWindow()));
}

bool SetMainWindowData(const ZuValueRef& value, ZuObject* object)
{
    ZuObjectRef o = value.IsValid() ? value->RetObject() : ZuObjectRef();
    if (o.IsValid() && !o->IsKindOf(ZuWindowRef::RetRuntime()))
        return false;
    return AppOf(object)->SetMainWindow(ZuWindowRef(o));
}

void GetWindowList(ZuValueRef& value, ZuObject* object)
{
    value = ZuValueRef(ZuObjectRef(AppOf(object)->RetWindowList()));
}

void GetWindowNum(ZuValueRef& value, ZuObject* object)
{
    value = ZuValueRef(AppOf(object)->RetWindowNum());
}

void GetActiveWindow(ZuValueRef& value, ZuObject* object)
{
    value = ZuValueRef(ZuObjectRef(AppOf(object)->RetActiveWindow()));
}

void GetAppDirectory(ZuValueRef& value, ZuObject* object)
{
    value = ZuValueRef(ZuObjectRef(AppOf(object)->RetAppDirectory()));
}

void GetZuviDirectory(ZuValueRef& value, ZuObject* object)
{
    value = ZuValueRef(ZuObjectRef(AppOf(object)->RetZuviDirectory()));
}

void DeclareAppData(ZuRuntime* runtime)
{
    static Zuvi_PubDataDef items[] = {
        {&ZuAppRef::RetRuntime(), "main_window", "main document window", &ZuWindow_type, true, true,
         &GetMainWindow, &SetMainWindowData},
        {&ZuAppRef::RetRuntime(), "window_list", "List of windows", &ZuList_type, true, false,
         &GetWindowList, nullptr},
        {&ZuAppRef::RetRuntime(), "window_num", "Number of windows", &Card32_type, true, false,
         &GetWindowNum, nullptr},
        {&ZuAppRef::RetRuntime(), "active_window", "Active window", &ZuWindow_type, true, false,
         &GetActiveWindow, nullptr},
        {&ZuAppRef::RetRuntime(), "app_directory", "Application directory", &ZuString_type, true,
         false, &GetAppDirectory, nullptr},
        {&ZuAppRef::RetRuntime(), "zuvi_directory", "Zuvi system directory", &ZuString_type, true,
         false, &GetZuviDirectory, nullptr},
    };
    for (Zuvi_PubDataDef& item : items)
        runtime->PublishData(item);
}

Zuvi_PubDataExport app_data(&DeclareAppData, ZuAppRef::RetRuntime());

// What the event layer asks of the application while it waits.
int TickLink(std::int64_t now, bool fire)
{
    const ZuAppRef& app = CurrentApp();
    return app.IsValid() ? app->HandleTick(now, fire) : -1;
}

void IdleLink()
{
    const ZuAppRef& app = CurrentApp();
    if (app.IsValid()) {
        app->FireAsyncEvents();
        app->SyncWindows(true);
    }
}

// The address of a local of a frame below the caller's.
__attribute__((noinline)) std::uint64_t DeeperLocal()
{
    volatile char here = 0;
    return std::uint64_t(reinterpret_cast<std::uintptr_t>(&here));
}

ZuDictRef NewDict(ZuMemZone* zone, bool duplicates, bool keys_equal, bool values_equal)
{
    ZuDictRef d = ZuNew<ZuDict>(zone, __LINE__, ZU_SRC_FILE);
    d->SetAllowDuplicates(duplicates);
    d->SetCompKeyUsingIsEqual(keys_equal);
    d->SetCompValueUsingIsEqual(values_equal);
    return d;
}

// The memory report of function key 10: what the zones know of the
// address.
void ReportMemory(std::uintptr_t address)
{
    const void* p = reinterpret_cast<const void*>(address);
    ZuMemZone* zone = nullptr;
    const char* name = nullptr;
    const char* file = nullptr;
    unsigned line = 0;
    if (ZuMemZone::FindZone(p, zone) && zone != nullptr &&
        zone->AboutBasePointer(p, name, line, file))
        Zuvi_Trace("Memory report %p: %s allocated at %s:%u\n", p, name ? name : "?",
                   file ? file : "?", line);
    else
        Zuvi_Trace("Memory report %p: not a block of any zone\n", p);
}

bool Holds(const ZuListRef& list, const ZuObjectRef& object)
{
    unsigned index = 0;
    return list->Find(object, index);
}

// The library's start-up (si/maininit): the application is made by the
// class name "App" and held typed, so that a program whose "App" is no
// application stops the start-up with an exception. Shut-down kills it
// first, while the managers it may use still exist; a start-up that fails
// after installing it kills it where it was installed.
ZuAppRef& StartedApp()
{
    static ZuAppRef app;
    return app;
}

void MakeApplication()
{
    StartedApp() =
        ZuAppRef(ZuObjectRef(ZuClassFactory::New("App", Zuvi_app_zone, __LINE__, ZU_SRC_FILE)));
}

void DropApplication()
{
    StartedApp() = ZuAppNull;
}

void InstallApplication()
{
    ZuApp::Initialise(StartedApp());
}

void KillApplication()
{
    if (ZuApp::Current().IsValid())
        ZuApp::Kill();
}

void StartApplication()
{
    StartedApp()->Initialise(true);
}

void RunApplication()
{
    StartedApp()->MainEventLoop();
}

const ZuObjectRef& CurrentAsObject()
{
    return CurrentApp();
}

// What the screen windows ask of the application.
bool AppActiveLink()
{
    const ZuAppRef& app = CurrentApp();
    return !app.IsValid() || app->IsAppActive();
}

void ReorderLink()
{
    const ZuAppRef& app = CurrentApp();
    if (app.IsValid())
        app->ReorderWindows();
}

void ActiveAppLink(bool active)
{
    const ZuAppRef& app = CurrentApp();
    if (app.IsValid())
        app->NotifyActiveApp(active);
}

struct StartSteps {
    StartSteps()
    {
        Zuvi_grail_window_links.app_active = &AppActiveLink;
        Zuvi_grail_window_links.reorder_windows = &ReorderLink;
        Zuvi_grail_window_links.notify_active_app = &ActiveAppLink;
        Zuvi_SetStartStep("application", &MakeApplication, &DropApplication);
        Zuvi_SetStartStep("application install", &InstallApplication, &KillApplication);
        Zuvi_SetStartStep("application start", &StartApplication, nullptr);
        Zuvi_SetStartStep("main event loop", &RunApplication, &KillApplication);
        Zuvi_SetApplicationAccessor(&CurrentAsObject);
    }
} start_steps;

} // namespace

// ---------------------------------------------------------------- life

ZuApp::ZuApp()
{
    if (current_num != 0)
        Zuvi_ErrorAbort("Failed assertion: ZuApp::current_num == 0", __LINE__, ZU_SRC_FILE);
    ZuEvent::Initialise();
    build_enabled = true;
    app_active = false;
    idle_sync_mode = false;
    window_list = ZuNew<ZuList>(RetMemZone(), __LINE__, ZU_SRC_FILE);
    window_list->SetInsertMode(false);
    tick_head = tick_tail = nullptr;
    window_count = 0;
    event_time = 0;
    async_observers = NewDict(RetMemZone(), true, true, true);
    pending_events = NewDict(RetMemZone(), false, false, true);
    spare_events = NewDict(RetMemZone(), false, false, true);
    named_views = NewDict(RetMemZone(), true, false, false);
    app_directory = Zuvi_File::RetSpecialDirectory(ZU_FILE_TOKEN_APP);
    zuvi_directory = Zuvi_File::RetSpecialDirectory(ZU_FILE_TOKEN_ZUVI);
    SetUserName(ZuAtomRef("Application"));
}

ZuApp::~ZuApp()
{
    FreeTickNodes();
    ZuEvent::Kill();
}

void ZuApp::FreeTickNodes()
{
    while (tick_head != nullptr) {
        TickNode* node = tick_head;
        tick_head = node->next;
        node->~TickNode();
        Zuvi_sys_zone->Free(node, __LINE__, ZU_SRC_FILE);
    }
    tick_tail = nullptr;
}

const ZuAppRef& ZuApp::Current()
{
    return CurrentApp();
}

void ZuApp::Initialise(const ZuAppRef& app)
{
    if (current_num != 0)
        Zuvi_ErrorAbort("Failed assertion: ZuApp::current_num == 0", __LINE__, ZU_SRC_FILE);
    if (stack_base == 0) {
        volatile char here = 0;
        stack_base = std::uint64_t(reinterpret_cast<std::uintptr_t>(&here));
        stack_upward = DeeperLocal() > stack_base;
    }
    CurrentApp() = app;
    current_num = 1;
    Zuvi_event_links.handle_tick = &TickLink;
    Zuvi_event_links.idle = &IdleLink;
}

void ZuApp::Kill()
{
    if (current_num != 1)
        Zuvi_ErrorAbort("Failed assertion: ZuApp::current_num == 1", __LINE__, ZU_SRC_FILE);
    ZuAppRef& app = CurrentApp();
    if (app.IsValid()) {
        // A window's deletion takes it off the list, so the list is read
        // first.
        std::vector<ZuWindowRef> windows;
        ZuWindowRef w;
        for (unsigned i = 0; app->GetWindow(i, w); ++i)
            windows.push_back(w);
        w = ZuWindowNull;
        for (ZuWindowRef& window : windows)
            if (window.IsValid())
                window->Delete();
        windows.clear();
        if (app->window_list.IsValid())
            app->window_list->RemoveAll();
        app->Delete();
        app->MarkAsDeadButOne(app);
    }
    Zuvi_event_links.handle_tick = nullptr;
    Zuvi_event_links.idle = nullptr;
    app = ZuAppNull;
    current_num = 0;
}

bool ZuApp::IsOnStack(const void* address)
{
    return IsOnStack(std::uint64_t(reinterpret_cast<std::uintptr_t>(address)));
}

bool ZuApp::IsOnStack(std::uint64_t address)
{
    if (!ZuThread::IsMainThread() || stack_base == 0)
        return false;
    volatile char here = 0;
    std::uint64_t top = std::uint64_t(reinterpret_cast<std::uintptr_t>(&here));
    if (stack_upward) {
        if (!(top > stack_base))
            Zuvi_ErrorAbort("Failed assertion: top > ZuApp::stack_base", __LINE__, ZU_SRC_FILE);
        return address >= stack_base && address <= top;
    }
    if (!(top < stack_base))
        Zuvi_ErrorAbort("Failed assertion: top < ZuApp::stack_base", __LINE__, ZU_SRC_FILE);
    return address >= top && address <= stack_base;
}

void ZuApp::Initialise(bool build)
{
    InsertField(ZuAtomRef("Application"), ZuObjectRef(this));
    build_enabled = build;
    // No builder class belongs to the library: asking the class factory for
    // an unknown class would end the start-up, so building stays off unless
    // the program brings one.
    ZuRuntimeRef rt;
    if (build && ZuClassFactory::GetClass("ZuBuilder", rt))
        SetBuilder(ZuObjectRef(ZuClassFactory::New(rt, RetMemZone(), __LINE__, ZU_SRC_FILE)));
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

void ZuApp::StoreInstance(const ZuStorageRef&)
{
    Zuvi_ErrorAbort("Trying to store Application", __LINE__, ZU_SRC_FILE);
}

void ZuApp::RestoreInstance(const ZuStorageRef&)
{
    Zuvi_ErrorAbort("Trying to restore Application", __LINE__, ZU_SRC_FILE);
}

void ZuApp::Delete()
{
    if (window_list.IsValid())
        window_list->RemoveAll();
    if (named_views.IsValid())
        named_views->RemoveAll();
    main_window = ZuWindowNull;
    active_window = ZuWindowNull;
    builder = ZuObjectRef();
    ZuDataSlot::Delete();
}

// ---------------------------------------------------------------- main loop

void ZuApp::MainEventLoop()
{
    FireAsyncEvents();
    SyncWindows(false);

    ZuThreadRef collector = ZuNew<ZuThread>(RetMemZone(), __LINE__, ZU_SRC_FILE);
    collector->SetPerformer(ZuNew<GCThread>(RetMemZone(), __LINE__, ZU_SRC_FILE));
    bool collecting = collector->Run();

    ZuEventRef event = ZuEvent::Current();
    while (event.IsValid() && event->WaitForEvent()) {
        ZuObject::NewReportID();
        event_time = event->RetTime();
        if (event->RetType() == ZU_EVENT_KEY_DOWN && event->RetKey().type == ZU_KEY_FUNCTION) {
            if (event->RetKey().code == 10)
                ReportMemory(memory_report_address);
            else if (event->RetKey().code == 11)
                Zuvi_CollectGarbage();
        }
        event->DispatchEvent();
        SyncWindows(false);
        FireAsyncEvents();
        SyncWindows(false);
        ZuObjectRef::RealiseDeletions();
    }

    collector->RequestStop();
    while (collecting && !collector->IsDead()) {}
    collector->Delete();
}

bool ZuApp::SyncWindows(bool idle)
{
    if (idle_sync_mode) {
        if (!idle)
            return false;
        ResetIdleSyncMode();
    }
    if (window_count == 0)
        return false;
    bool flushed = false;
    ZuWindowRef w;
    for (unsigned i = 0; GetWindow(i, w); ++i) {
        if (w->RedrawDelayedDisplay() && w->RetGrailPort().IsValid()) {
            w->RetGrailPort()->Flush();
            flushed = true;
        }
    }
    return flushed;
}

bool ZuApp::SetIdleSyncMode(bool on)
{
    idle_sync_mode = on;
    return true;
}

bool ZuApp::ResetIdleSyncMode()
{
    idle_sync_mode = false;
    return true;
}

bool ZuApp::RetIdleSyncMode() const
{
    return idle_sync_mode;
}

// ---------------------------------------------------------------- ticks

bool ZuApp::InsertTickResponder(const ZuObjectRef& responder, int delay, unsigned id, bool replace)
{
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_APPLICATION);
    if (replace)
        RemoveTickResponder(responder, id, false);
    void* block = Zuvi_sys_zone->Alloc(sizeof(TickNode), "ZuApp tick", __LINE__, ZU_SRC_FILE);
    TickNode* node = ::new (block) TickNode();
    node->responder = responder;
    node->id = id;
    // Past every node due at or before the same time, counting their
    // delays off; the node after takes the rest off its own.
    std::int64_t remaining = delay;
    TickNode* at = tick_head;
    while (at != nullptr && at->delay <= remaining) {
        remaining -= at->delay;
        at = at->next;
    }
    node->delay = int(remaining);
    node->next = at;
    node->prev = at != nullptr ? at->prev : tick_tail;
    if (node->prev != nullptr)
        node->prev->next = node;
    else
        tick_head = node;
    if (at != nullptr) {
        at->prev = node;
        at->delay -= node->delay;
    } else {
        tick_tail = node;
    }
    ZuEvent::PostWakeUpEvent();
    return true;
}

bool ZuApp::RemoveTickResponder(const ZuObjectRef& responder, unsigned id, bool all_ids)
{
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_APPLICATION);
    bool removed = false;
    TickNode* node = tick_head;
    while (node != nullptr) {
        TickNode* next = node->next;
        if (node->responder == responder && (all_ids || node->id == id)) {
            if (next != nullptr)
                next->delay += node->delay;
            (node->prev != nullptr ? node->prev->next : tick_head) = next;
            (next != nullptr ? next->prev : tick_tail) = node->prev;
            node->~TickNode();
            Zuvi_sys_zone->Free(node, __LINE__, ZU_SRC_FILE);
            removed = true;
        }
        node = next;
    }
    ZuEvent::PostWakeUpEvent();
    return removed;
}

int ZuApp::HandleTick(std::int64_t time, bool fire)
{
    if (!last_tick_set) {
        last_tick_time = time;
        last_tick_set = true;
    }
    // A wall clock set back would give a negative span: count it as no
    // time, and measure from the new reading on.
    std::int64_t elapsed = time - last_tick_time;
    if (elapsed < 0)
        elapsed = 0;
    if (elapsed > INT_MAX)
        elapsed = INT_MAX;
    last_tick_time = time;

    int result = -1;
    {
        ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_APPLICATION);
        if (tick_head != nullptr) {
            std::int64_t left = std::int64_t(tick_head->delay) - elapsed;
            tick_head->delay = int(left < INT_MIN ? INT_MIN : left);
            result = tick_head->delay > 0 ? tick_head->delay : 0;
        }
    }
    if (!fire)
        return result;

    bool took = false;
    for (;;) {
        TickNode* node;
        {
            ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_APPLICATION);
            node = tick_head;
            if (node == nullptr || node->delay > 0)
                break;
            tick_head = node->next;
            if (tick_head != nullptr) {
                tick_head->prev = nullptr;
                std::int64_t d = std::int64_t(tick_head->delay) + node->delay;
                tick_head->delay = int(d < INT_MIN ? INT_MIN : d);
            } else {
                tick_tail = nullptr;
            }
        }
        took = true;
        // The responder runs without the lock: it may insert or remove
        // responders itself.
        ZuObjectRef responder = node->responder;
        if (responder.IsValid() && responder->SupportsInterface(&ZuiTickHandler::interface)) {
            auto* handler = static_cast<ZuiTickHandler*>(
                responder->CastToInterface(&ZuiTickHandler::interface));
            if (handler != nullptr)
                handler->Tick(node->id);
        }
        responder = ZuObjectNull;
        node->~TickNode();
        Zuvi_sys_zone->Free(node, __LINE__, ZU_SRC_FILE);
    }
    if (took) {
        SyncWindows(true);
        FireAsyncEvents();
        SyncWindows(false);
        ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_APPLICATION);
        if (tick_head != nullptr)
            result = tick_head->delay > 0 ? tick_head->delay : 0;
    }
    return result;
}

std::int64_t ZuApp::RetEventTime() const
{
    return event_time;
}

// ---------------------------------------------------------------- windows

bool ZuApp::NotifyActiveWindow(const ZuWindowRef& window)
{
    if (window.IsValid()) {
        window_list->Remove(window, 0);
        window_list->PushTail(window);
    }
    active_window = window;
    QuickReport(notify_active_window_changed, 0);
    return true;
}

bool ZuApp::NotifyActiveApp(bool active)
{
    if (app_active == active)
        return true;
    app_active = active;
    if (active) {
        ReorderWindows();
        QuickReport(notify_app_activated, 0);
    } else {
        QuickReport(notify_app_deactivated, 0);
    }
    return true;
}

bool ZuApp::IsAppActive() const
{
    return app_active;
}

bool ZuApp::InsertWindow(const ZuWindowRef& window)
{
    window_list->PushTail(window);
    ++window_count;
    QuickReport(notify_window_list_changed, 0);
    return true;
}

bool ZuApp::RemoveWindow(const ZuWindowRef& window)
{
    if (!window.IsValid())
        return false;
    if (!window_list.IsValid() || !window_list->Remove(window, 0))
        Zuvi_ErrorAbort("Failed assertion: this->window_list->Remove (window)", __LINE__,
                        ZU_SRC_FILE);
    --window_count;
    if (active_window == window)
        active_window = ZuWindowNull;
    if (main_window == window)
        main_window = ZuWindowNull;
    QuickReport(notify_window_list_changed, 0);
    return true;
}

bool ZuApp::ReorderWindows()
{
    ZuListRef order = ZuNew<ZuList>(RetMemZone(), __LINE__, ZU_SRC_FILE);
    order->SetInsertMode(false);
    if (main_window.IsValid())
        order->PushTail(main_window);
    // The ordinary windows, then the tool windows; topmost and modal
    // windows are left where they are.
    for (int pass = 0; pass < 2; ++pass) {
        ZuWindowRef w;
        for (unsigned i = 0; GetWindow(i, w); ++i) {
            const ZuWinStyle& style = w->RetStyle();
            if (!w->IsVisible() || w->IsModal() || style.TestBit(ZU_WINSTYLE_TOPMOST) ||
                style.TestBit(ZU_WINSTYLE_TOOL) != (pass == 1) || Holds(order, w))
                continue;
            order->PushTail(w);
        }
    }
    // Each window's modal windows follow, and theirs follow them in turn.
    ZuObjectRef o;
    for (unsigned i = 0; order->Get(i, o); ++i) {
        ZuWindowRef w(o);
        if (!w.IsValid() || !w->HasModalWindow())
            continue;
        ZuWindowRef modal;
        for (unsigned k = 0; w->GetModalWindow(modal, k); ++k)
            order->PushTail(modal);
    }
    bool done = ZuGrailWindow::MakeFrontWindows(ZuBaseContainerRef(order));
    order->RemoveAll();
    order->Delete();
    return done;
}

bool ZuApp::SetMainWindow(const ZuWindowRef& window)
{
    if (window == main_window)
        return true;
    if (main_window.IsValid())
        main_window->NotifyMainWindow(false);
    main_window = window;
    QuickReport(notify_main_window_changed, 0);
    if (window.IsValid())
        window->NotifyMainWindow(true);
    return true;
}

const ZuWindowRef& ZuApp::RetMainWindow() const
{
    return main_window;
}

ZuListRef ZuApp::RetWindowList()
{
    return window_list;
}

unsigned ZuApp::RetWindowNum() const
{
    return window_count;
}

bool ZuApp::GetWindow(unsigned index, ZuWindowRef& out)
{
    ZuObjectRef o;
    if (!window_list.IsValid() || !window_list->Get(index, o) || !o.IsValid() ||
        !o->IsKindOf(ZuWindowRef::RetRuntime())) {
        out = ZuWindowNull;
        return false;
    }
    out = ZuWindowRef(o);
    return true;
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

const ZuStringRef& ZuApp::RetAppDirectory() const
{
    return app_directory;
}

const ZuStringRef& ZuApp::RetZuviDirectory() const
{
    return zuvi_directory;
}

// ---------------------------------------------------------------- named views

bool ZuApp::RegisterNamedView(const ZuAtomRef& name, const ZuViewRef& view)
{
    if (!name.IsValid() || !view.IsValid())
        return false;
    return named_views->Insert(name, view);
}

bool ZuApp::UnregisterNamedView(const ZuAtomRef& name, const ZuViewRef& view)
{
    if (!name.IsValid() || !view.IsValid())
        return false;
    return named_views->Remove(name, view, 0);
}

bool ZuApp::FindViewFromUserName(const ZuAtomRef& name, unsigned n, ZuViewRef& out)
{
    out = ZuViewNull;
    if (!name.IsValid())
        return false;
    ZuObjectRef value;
    if (!named_views->GetFromKey(name, value, n) || !value.IsValid() ||
        !value->IsKindOf(ZuViewRef::RetRuntime()))
        return false;
    out = ZuViewRef(value);
    return true;
}

bool ZuApp::FindViewFromUserName(const ZuAtomRef& name, ZuViewRef& out)
{
    return FindViewFromUserName(name, 0, out);
}

bool ZuApp::FindViewFromUserPath(const ZuAtomPathRef& path, unsigned n, ZuViewRef& out)
{
    ZuWindowRef w;
    for (unsigned i = 0; GetWindow(i, w); ++i) {
        unsigned count = 0;
        if (w->FindUserPath(path, n, out, count))
            return true;
        n -= count;
    }
    return false;
}

bool ZuApp::FindViewFromUserPath(const ZuAtomPathRef& path, ZuViewRef& out)
{
    ZuWindowRef w;
    for (unsigned i = 0; GetWindow(i, w); ++i)
        if (w->FindUserPath(path, out))
            return true;
    return false;
}

unsigned ZuApp::CountNamedViews()
{
    return named_views->TotalCount();
}

bool ZuApp::GetNamedView(unsigned index, ZuAtomRef& name, ZuViewRef& view)
{
    ZuObjectRef key, value;
    if (!named_views->Get(index, key, value)) {
        name = ZuAtomNull;
        view = ZuViewNull;
        return false;
    }
    name = ZuAtomRef(key);
    view = ZuViewRef(value);
    return true;
}

// ---------------------------------------------------------------- asynchronous reports

bool ZuApp::ReportAsync(const ZuObjectRef& object, const ZuAtomRef& event)
{
    if (!object.IsValid())
        return false;
    return ReportAsync(object, event, object->RetUserPath());
}

bool ZuApp::ReportAsync(const ZuObjectRef& object, const ZuAtomRef& event,
                        const ZuAtomPathRef& path)
{
    if (!object.IsValid())
        return false;
    ZuAtomPathRef full = path.IsValid() ? ZuAtomPathRef(path->Clone())
                                        : ZuNew<ZuAtomPath>(RetMemZone(), __LINE__, ZU_SRC_FILE);
    full->AddAtom(event);
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_APPLICATION);
    pending_events->Insert(object, full);
    return true;
}

bool ZuApp::FireAsyncEvents()
{
    ZuDictRef taken;
    {
        ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_APPLICATION);
        if (pending_events->TotalCount() == 0)
            return false;
        taken = pending_events;
        pending_events = spare_events;
        spare_events = taken;
    }
    bool delivered = false;
    ZuObjectRef object, path;
    while (taken->Get(0, object, path)) {
        fired_event = ZuAtomPathRef(path);
        ZuObjectRef record;
        for (unsigned n = 0; async_observers->GetFromKey(path, record, n); ++n) {
            if (record.IsValid() && record->IsKindOf(ZuAsyncObsRef::RetRuntime()))
                ZuAsyncObsRef(record)->Report(object);
        }
        fired_event = ZuAtomPathNull;
        taken->Remove(0u);
        delivered = true;
    }
    return delivered;
}

ZuAtomPathRef ZuApp::RetFiredAsyncEvent() const
{
    return fired_event;
}

bool ZuApp::AttachAsyncObserver(const ZuObjectRef& observer, const ZuAtomPathRef& event,
                                const ZuTextRef& actor, unsigned id)
{
    if (!observer.IsValid() || !event.IsValid() || !actor.IsValid())
        return false;
    ZuAsyncObsRef record = ZuNew<ZuAsyncObs>(RetMemZone(), __LINE__, ZU_SRC_FILE);
    record->Initialise(event, observer, actor, id);
    return async_observers->Insert(event->Clone(), record);
}

bool ZuApp::DetachAsyncObserver(const ZuObjectRef& observer, const ZuAtomPathRef& event,
                                const ZuTextRef& actor, unsigned id)
{
    if (!observer.IsValid() || !event.IsValid() || !actor.IsValid())
        return false;
    ZuAsyncObsRef probe = ZuNew<ZuAsyncObs>(RetMemZone(), __LINE__, ZU_SRC_FILE);
    probe->Initialise(event, observer, actor, id);
    unsigned index = 0;
    ZuObjectRef key, record;
    if (async_observers->Find(event, probe, index) && async_observers->Get(index, key, record)) {
        async_observers->Remove(index);
        // The record leaves its observer's list too.
        if (record.IsValid())
            record->Delete();
    }
    probe->Delete();
    return true;
}

unsigned ZuApp::CountAsyncEvents() const
{
    return pending_events->TotalCount();
}

unsigned ZuApp::CountAsyncObservers() const
{
    return async_observers->TotalCount();
}

bool ZuApp::GetAttachedAsync(unsigned i, ZuAtomPathRef& event, ZuObjectRef& actor,
                             ZuObjectRef& observer, unsigned& id)
{
    ZuObjectRef key, value;
    if (!async_observers->Get(i, key, value) || !value.IsValid() ||
        !value->IsKindOf(ZuAsyncObsRef::RetRuntime()))
        return false;
    ZuAsyncObsRef record(value);
    event =
        record->RetEvent().IsValid() ? ZuAtomPathRef(record->RetEvent()->Clone()) : ZuAtomPathNull;
    ZuAtomPathRef actors = record->RetActors();
    if (actors.IsValid())
        actor = actors;
    else
        actor = record->RetActor(0);
    observer = record->RetObserver();
    id = record->RetId();
    return true;
}
