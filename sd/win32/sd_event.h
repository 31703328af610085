#ifndef SD_WIN32_SD_EVENT_H
#define SD_WIN32_SD_EVENT_H

// The platform side of ZuEvent: the one place where platform messages
// become library events. ZuEvent::WaitForEvent (defined here) takes the next
// message, servicing timers, idle work and pointer tracking while it waits,
// and fills the current event; key messages and the mouse move and button
// messages never reach the window procedure.
//
// What the event layer needs of the application and of the windows goes
// through Zuvi_event_links, filled in by those layers when they are linked
// in. Each link may stay null: the event layer then does without (no ticks,
// no idle work, no window for a platform window, no leave or close calls).

#include <cstdint>

#include "si/event.h"
#include "w32/winuser.h"

class ZuGrailWindow;

struct Zuvi_EventLinks {
    // ZuApp::HandleTick(now, fire): milliseconds to the next tick, negative
    // when none is due.
    int (*handle_tick)(std::int64_t now, bool fire);
    // The idle work before a blocking wait: ZuApp::FireAsyncEvents, then
    // ZuApp::SyncWindows(true).
    void (*idle)();
    // The library window that owns a screen window (empty when none).
    ZuObjectRef (*window_of_port)(ZuGrailWindow* port);
    // The screen window of a library window (null when none).
    ZuGrailWindow* (*port_of_window)(const ZuObjectRef& window);
    // ZuWindow::SysChangedOpen(false): the system closed the window.
    void (*system_closed)(const ZuObjectRef& window);
    // ZuWindow::LeaveNotify(event): the pointer left the window.
    void (*leave)(const ZuObjectRef& window, const ZuEventRef& event);
    // The inter-application command pipe: reads the command announced by
    // its wait handle into the thread message 0x8002 (false: nothing read),
    // and decodes that message into a ZuMessage.
    bool (*read_command)(MSG& out);
    ZuObjectRef (*decode_command)(WPARAM wparam, LPARAM lparam);
};
extern Zuvi_EventLinks Zuvi_event_links;

// The wait table: handles waited on besides the message queue. Handle 0
// announces a change of the table; handle 1, the command pipe's connect,
// is there only once the pipe sets it (Zuvi_SetCommandWaitHandle).
extern HANDLE g_wait_handles[2];
extern DWORD g_num_handles;
// Adds (or, with null, removes) the command pipe's handle.
void Zuvi_SetCommandWaitHandle(HANDLE handle);

// One step of the command pipe, never waiting: takes the client that
// connected, reads its message once it has arrived whole (into the thread
// message 0x8002: size and buffer) and lets the client go; lets go without
// reading a client that left, stayed silent ZU_COMMAND_SILENCE_MS
// (event-clock milliseconds) or sent more than ZU_COMMAND_MAX_BYTES. True
// when a message was read.
bool Zuvi_ServiceCommandPipe(MSG& out);
#define ZU_COMMAND_SILENCE_MS 1000
#define ZU_COMMAND_MAX_BYTES (1u << 20)

// Thread messages of the event layer.
#define ZU_MSG_WAKE_UP 0x8001u
#define ZU_MSG_COMMAND 0x8002u

// The window of a platform window: the library window of one of this
// application's screen windows (word 0 set, the marker in its words, a
// class name that begins with this application's); empty otherwise.
ZuObjectRef Zuvi_WindowRefFromHandle(HWND hwnd);
// The n-th (from 0) visible, not minimised window of this application that
// strictly contains the screen point: the one under the point first, then
// the others in the system's order; null when none.
HWND Zuvi_FindOwnPlatformWindow(int x, int y, unsigned n);

// The event layer's own state goes back to that of a fresh process
// (pending changes, capture and grab counts, entered and tracked windows,
// click memory). For tests.
void Zuvi_ResetEventLayer();

#endif
