#ifndef W32_WINUSER_H
#define W32_WINUSER_H

// Windows, messages, painting, input, cursors and system metrics of the
// platform layer: the subset the library calls, with the behaviour it relies
// on. Two backends serve it (w32/backend.h): "headless" keeps windows in
// memory over a 32-bit screen, "x11" shows one bare top-level window each.
// ZUVI_BACKEND=headless|x11 chooses; unset, X11 when $DISPLAY opens.
//
// Every window is a popup: its client area is the whole window, so window
// and client rectangles differ only by the client's origin at (0, 0).
//
// Each thread has its own message queue, made on first use (also by a post
// to it). PeekMessageA takes posted messages in order, then input, then
// WM_PAINT for a window of the thread with an update region; messages the
// system sends call the window procedure at once.

#include "w32/windef.h"

typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;
typedef WORD ATOM;
typedef HANDLE HICON;
typedef HANDLE HCURSOR;
typedef HANDLE HBRUSH;
typedef HANDLE HMENU;
typedef HANDLE HDC;
typedef HANDLE HPALETTE;
typedef HANDLE HDWP;

#define CALLBACK
#define WINAPI
typedef LRESULT (*WNDPROC)(HWND, UINT, WPARAM, LPARAM);
typedef BOOL (*WNDENUMPROC)(HWND, LPARAM);

struct POINT {
    LONG x;
    LONG y;
};
struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};

struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
};

struct WNDCLASSEXA {
    UINT cbSize;
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
    HICON hIconSm;
};

struct WINDOWPOS {
    HWND hwnd;
    HWND hwndInsertAfter;
    int x;
    int y;
    int cx;
    int cy;
    UINT flags;
};

// ---- Messages --------------------------------------------------------------

#define WM_NULL 0x0000u
#define WM_CREATE 0x0001u
#define WM_DESTROY 0x0002u
#define WM_MOVE 0x0003u
#define WM_SIZE 0x0005u
#define WM_ACTIVATE 0x0006u
#define WM_SETFOCUS 0x0007u
#define WM_KILLFOCUS 0x0008u
#define WM_SETTEXT 0x000Cu
#define WM_PAINT 0x000Fu
#define WM_CLOSE 0x0010u
#define WM_QUIT 0x0012u
#define WM_ERASEBKGND 0x0014u
#define WM_SHOWWINDOW 0x0018u
#define WM_ACTIVATEAPP 0x001Cu
#define WM_SETCURSOR 0x0020u
#define WM_MOUSEACTIVATE 0x0021u
#define WM_WINDOWPOSCHANGING 0x0046u
#define WM_WINDOWPOSCHANGED 0x0047u
#define WM_NCDESTROY 0x0082u
#define WM_KEYDOWN 0x0100u
#define WM_KEYUP 0x0101u
#define WM_CHAR 0x0102u
#define WM_SYSKEYDOWN 0x0104u
#define WM_SYSKEYUP 0x0105u
#define WM_SYSCHAR 0x0106u
#define WM_SYSCOMMAND 0x0112u
#define WM_TIMER 0x0113u
#define WM_MOUSEMOVE 0x0200u
#define WM_LBUTTONDOWN 0x0201u
#define WM_LBUTTONUP 0x0202u
#define WM_RBUTTONDOWN 0x0204u
#define WM_RBUTTONUP 0x0205u
#define WM_MBUTTONDOWN 0x0207u
#define WM_MBUTTONUP 0x0208u
#define WM_MOUSEWHEEL 0x020Au
#define WM_CAPTURECHANGED 0x0215u
#define WM_MOUSELEAVE 0x02A3u
#define WM_QUERYNEWPALETTE 0x030Fu
#define WM_PALETTEISCHANGING 0x0310u
#define WM_PALETTECHANGED 0x0311u
#define WM_USER 0x0400u
#define WM_APP 0x8000u

#define SC_CLOSE 0xF060u

#define WA_INACTIVE 0
#define WA_ACTIVE 1
#define WA_CLICKACTIVE 2

#define SIZE_RESTORED 0
#define SIZE_MINIMIZED 1

#define MA_ACTIVATE 1
#define MA_ACTIVATEANDEAT 2
#define MA_NOACTIVATE 3
#define MA_NOACTIVATEANDEAT 4

#define MK_LBUTTON 0x0001u
#define MK_RBUTTON 0x0002u
#define MK_SHIFT 0x0004u
#define MK_CONTROL 0x0008u
#define MK_MBUTTON 0x0010u

#define HTCLIENT 1

#define PM_NOREMOVE 0x0000u
#define PM_REMOVE 0x0001u
#define PM_NOYIELD 0x0002u

#define QS_KEY 0x0001u
#define QS_MOUSEMOVE 0x0002u
#define QS_MOUSEBUTTON 0x0004u
#define QS_POSTMESSAGE 0x0008u
#define QS_TIMER 0x0010u
#define QS_PAINT 0x0020u
#define QS_SENDMESSAGE 0x0040u
#define QS_HOTKEY 0x0080u
#define QS_MOUSE (QS_MOUSEMOVE | QS_MOUSEBUTTON)
#define QS_INPUT (QS_MOUSE | QS_KEY)
#define QS_ALLINPUT 0x00FFu

#define INFINITE 0xFFFFFFFFu
#define WAIT_OBJECT_0 0x00000000u
#define WAIT_TIMEOUT 0x00000102u
#define WAIT_FAILED 0xFFFFFFFFu
#define MAXIMUM_WAIT_OBJECTS 64u

#define LOWORD(l) ((WORD)(((DWORD_PTR_T)(l)) & 0xFFFF))
#define HIWORD(l) ((WORD)((((DWORD_PTR_T)(l)) >> 16) & 0xFFFF))
typedef ULONG_PTR DWORD_PTR_T;
#define MAKELPARAM(lo, hi) ((LPARAM)(DWORD)(((WORD)(lo)) | (((DWORD)(WORD)(hi)) << 16)))
#define GET_X_LPARAM(lp) ((int)(short)LOWORD(lp))
#define GET_Y_LPARAM(lp) ((int)(short)HIWORD(lp))

// ---- Classes and windows ---------------------------------------------------

#define CS_VREDRAW 0x0001u
#define CS_HREDRAW 0x0002u
#define CS_DBLCLKS 0x0008u
#define CS_OWNDC 0x0020u

#define WS_POPUP 0x80000000u
#define WS_VISIBLE 0x10000000u

#define WS_EX_TOPMOST 0x00000008u
#define WS_EX_ACCEPTFILES 0x00000010u
#define WS_EX_TOOLWINDOW 0x00000080u
#define WS_EX_APPWINDOW 0x00040000u

#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_SHOWMINIMIZED 2
#define SW_SHOWNOACTIVATE 4
#define SW_SHOW 5
#define SW_MINIMIZE 6
#define SW_SHOWNA 8
#define SW_RESTORE 9
#define SW_SHOWDEFAULT 10

#define SWP_NOSIZE 0x0001u
#define SWP_NOMOVE 0x0002u
#define SWP_NOZORDER 0x0004u
#define SWP_NOREDRAW 0x0008u
#define SWP_NOACTIVATE 0x0010u
#define SWP_SHOWWINDOW 0x0040u
#define SWP_HIDEWINDOW 0x0080u
#define SWP_NOOWNERZORDER 0x0200u
#define SWP_DEFERERASE 0x2000u

#define HWND_TOP ((HWND)0)
#define HWND_BOTTOM ((HWND)1)
#define HWND_TOPMOST ((HWND)(LONG_PTR)-1)
#define HWND_NOTOPMOST ((HWND)(LONG_PTR)-2)

#define GW_HWNDFIRST 0
#define GW_HWNDNEXT 2
#define GW_OWNER 4

#define GWLP_WNDPROC (-4)
#define GWLP_HINSTANCE (-6)
#define GWL_STYLE (-16)
#define GWL_EXSTYLE (-20)

#define IDI_APPLICATION ((LPCSTR)(ULONG_PTR)32512)
#define IDC_ARROW ((LPCSTR)(ULONG_PTR)32512)

// True when no backend was asked for (ZUVI_BACKEND unset or empty) and
// no X display opens, so that windows would live in memory unseen.
bool W32_NoDisplayForWindows();

// Why no X display opened for windows: $DISPLAY unset or empty; nothing
// listening at a display of this machine; a server there that refused the
// connection (its access control); a connection to another machine's display
// that failed, for a reason Xlib does not tell; or a server whose default
// visual is not true colour.
enum W32_NoDisplayCause {
    W32_DISPLAY_UNSET,
    W32_DISPLAY_NO_SERVER,
    W32_DISPLAY_REFUSED,
    W32_DISPLAY_FAILED,
    W32_DISPLAY_NOT_TRUE_COLOUR,
};
// The cause, once W32_NoDisplayForWindows answered true; for
// W32_DISPLAY_NOT_TRUE_COLOUR, the default visual's class (X's numbering,
// StaticGray 0 to DirectColor 5) and depth in *visual_class and *depth.
W32_NoDisplayCause W32_WhyNoDisplay(int* visual_class, int* depth);

ATOM RegisterClassExA(const WNDCLASSEXA* wc);
// FALSE when no class of that name was registered for the instance, or a
// window of it still exists.
BOOL UnregisterClassA(LPCSTR name, HINSTANCE instance);
BOOL GetClassInfoExA(HINSTANCE instance, LPCSTR name, WNDCLASSEXA* out);

// Sends WM_CREATE (a -1 answer destroys the window and fails); WS_VISIBLE
// shows it. The rectangle is the window's on the screen.
HWND CreateWindowExA(DWORD ex_style, LPCSTR class_name, LPCSTR title, DWORD style, int x, int y,
                     int width, int height, HWND owner, HMENU menu, HINSTANCE instance,
                     LPVOID param);
BOOL DestroyWindow(HWND hwnd);
BOOL IsWindow(HWND hwnd);
BOOL IsWindowVisible(HWND hwnd);
BOOL IsIconic(HWND hwnd);
LRESULT DefWindowProcA(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
LRESULT CallWindowProcA(WNDPROC proc, HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

// Window words: the class's extra bytes. A 32-bit word at any offset that
// leaves 4 bytes; a pointer-sized one where 8 bytes fit. Out of range: 0.
LONG GetWindowLongA(HWND hwnd, int index);
LONG SetWindowLongA(HWND hwnd, int index, LONG value);
LONG_PTR GetWindowLongPtrA(HWND hwnd, int index);
LONG_PTR SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value);
int GetClassNameA(HWND hwnd, LPSTR buffer, int size);
BOOL SetWindowTextA(HWND hwnd, LPCSTR text);
int GetWindowTextA(HWND hwnd, LPSTR buffer, int size);

BOOL ShowWindow(HWND hwnd, int command);
BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint);
// WM_WINDOWPOSCHANGING lets the window procedure change the request (its
// flags included) before it is applied.
BOOL SetWindowPos(HWND hwnd, HWND insert_after, int x, int y, int cx, int cy, UINT flags);
HDWP BeginDeferWindowPos(int count);
HDWP DeferWindowPos(HDWP info, HWND hwnd, HWND insert_after, int x, int y, int cx, int cy,
                    UINT flags);
BOOL EndDeferWindowPos(HDWP info);
BOOL GetWindowRect(HWND hwnd, RECT* rect);
BOOL GetClientRect(HWND hwnd, RECT* rect);
BOOL ClientToScreen(HWND hwnd, POINT* point);
BOOL ScreenToClient(HWND hwnd, POINT* point);
// The top-most visible, not minimised window at the point; null when none.
HWND WindowFromPoint(POINT point);
// Top-level windows, top first (under X11 those of other programs too);
// stops when the callback answers FALSE.
BOOL EnumWindows(WNDENUMPROC callback, LPARAM param);
HWND GetWindow(HWND hwnd, UINT command);
// The desktop: its window and client rectangles are the screen's.
HWND GetDesktopWindow();

HWND SetFocus(HWND hwnd);
HWND GetFocus();
HWND SetActiveWindow(HWND hwnd);
HWND GetActiveWindow();
BOOL SetForegroundWindow(HWND hwnd);
HWND GetForegroundWindow();
HWND SetCapture(HWND hwnd);
BOOL ReleaseCapture();
HWND GetCapture();

// ---- Messages --------------------------------------------------------------

LRESULT SendMessageA(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
BOOL PostMessageA(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
BOOL PostThreadMessageA(DWORD thread, UINT message, WPARAM wparam, LPARAM lparam);
void PostQuitMessage(int exit_code);
// Filters by window (null: any) and message range (0, 0: all). With a
// window or a range set, messages outside stay in the queue.
BOOL PeekMessageA(MSG* msg, HWND hwnd, UINT first, UINT last, UINT flags);
// Waits for the next message; 0 for WM_QUIT, -1 on error.
BOOL GetMessageA(MSG* msg, HWND hwnd, UINT first, UINT last);
// Key messages add WM_CHAR (or WM_SYSCHAR) when the key gives a character.
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessageA(const MSG* msg);
// Answers at once when the queue holds something the mask asks for (input,
// posted messages, a pending paint); otherwise waits on the handles, the
// queue's wake-up and the display connection. WAIT_OBJECT_0 + i for handle
// i, WAIT_OBJECT_0 + count for the queue, WAIT_TIMEOUT or WAIT_FAILED.
// Handles: events (CreateEventA) and pipes (a pipe with data waiting, or a
// listening pipe with a client to take).
DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL wait_all, DWORD timeout,
                                DWORD wake_mask);
// 0xC000 to 0xFFFE, one number per name (letter case does not count); 0
// once every number is taken.
UINT RegisterWindowMessageA(LPCSTR name);
DWORD GetMessageTime();

// ---- Painting --------------------------------------------------------------

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase);
BOOL ValidateRect(HWND hwnd, const RECT* rect);
// The update region's bounding rectangle; FALSE (and an empty rectangle)
// when there is none.
BOOL GetUpdateRect(HWND hwnd, RECT* rect, BOOL erase);
BOOL UpdateWindow(HWND hwnd);
HDC BeginPaint(HWND hwnd, PAINTSTRUCT* paint);
BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* paint);
HDC GetDC(HWND hwnd);
int ReleaseDC(HWND hwnd, HDC dc);
HPALETTE SelectPalette(HDC dc, HPALETTE palette, BOOL background);
UINT RealizePalette(HDC dc);

#define BI_RGB 0u
#define BI_BITFIELDS 3u
#define DIB_RGB_COLORS 0u

struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};
struct RGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
};
// With BI_BITFIELDS the three colour masks (red, green, blue) follow the
// header in place of the colour table.
struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[3];
};

// Converts the DIB (16 bits as 555, or with BI_BITFIELDS 565 or 555; 24;
// 32) to the screen. Source rows are counted from the DIB's bottom: the
// destination's top row takes DIB row (from the top) |height| - y_src - h.
// Clipped to the window and, inside BeginPaint, to the paint rectangle.
// Answers the number of rows set, 0 on bad arguments.
int SetDIBitsToDevice(HDC dc, int x_dest, int y_dest, DWORD width, DWORD height, int x_src,
                      int y_src, UINT start_scan, UINT lines, const void* bits,
                      const BITMAPINFO* info, UINT colour_use);

// ---- Keyboard --------------------------------------------------------------

#define VK_BACK 0x08
#define VK_TAB 0x09
#define VK_CLEAR 0x0C
#define VK_RETURN 0x0D
#define VK_SHIFT 0x10
#define VK_CONTROL 0x11
#define VK_MENU 0x12
#define VK_PAUSE 0x13
#define VK_CAPITAL 0x14
#define VK_ESCAPE 0x1B
#define VK_SPACE 0x20
#define VK_PRIOR 0x21
#define VK_NEXT 0x22
#define VK_END 0x23
#define VK_HOME 0x24
#define VK_LEFT 0x25
#define VK_UP 0x26
#define VK_RIGHT 0x27
#define VK_DOWN 0x28
#define VK_SELECT 0x29
#define VK_PRINT 0x2A
#define VK_EXECUTE 0x2B
#define VK_SNAPSHOT 0x2C
#define VK_INSERT 0x2D
#define VK_DELETE 0x2E
#define VK_HELP 0x2F
#define VK_NUMPAD0 0x60
#define VK_MULTIPLY 0x6A
#define VK_ADD 0x6B
#define VK_SEPARATOR 0x6C
#define VK_SUBTRACT 0x6D
#define VK_DECIMAL 0x6E
#define VK_DIVIDE 0x6F
#define VK_F1 0x70
#define VK_F24 0x87
// A key that stands for the character it carries, not for a key of the
// keyboard: a composed character, or one no key of the layout names.
#define VK_PACKET 0xE7
#define VK_NUMLOCK 0x90
#define VK_SCROLL 0x91

// Bit 15: down; bit 0: toggled (Caps Lock). Follows the key messages the
// thread has taken from its queue.
short GetKeyState(int virtual_key);
BOOL GetKeyboardState(BYTE* state);
// The character of the key in that keyboard state: 1 and the character,
// or 0 when the key gives none or one beyond ISO 8859-1 (Ctrl with a letter
// gives 1 to 26). The scan code is set 1's, plus 0x100 for an extended key.
// The character the last key message taken carried, when it is of that key,
// comes first (what the keyboard gave when the key was pressed); else
// under X11 the display's keyboard map answers, and headless, or when the
// map has no answer, a US layout.
int ToAscii(UINT virtual_key, UINT scan_code, const BYTE* state, WORD* out, UINT flags);

// ---- Cursors, icons, metrics ----------------------------------------------

// Masks of (width + 15) / 16 x 2 bytes a row, most significant bit first:
// AND 1 and XOR 0 transparent, AND 0 and XOR 0 black, AND 0 and XOR 1
// white, AND 1 and XOR 1 inverted.
HCURSOR CreateCursor(HINSTANCE instance, int x_hot, int y_hot, int width, int height,
                     const void* and_plane, const void* xor_plane);
BOOL DestroyCursor(HCURSOR cursor);
// Shows the cursor over the process's windows; answers the previous one.
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
// Only the system's arrow (IDC_ARROW, with a null instance).
HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name);
// Only the system's application icon (IDI_APPLICATION, with a null
// instance).
HICON LoadIconA(HINSTANCE instance, LPCSTR name);
BOOL GetCursorPos(POINT* point);
BOOL SetCursorPos(int x, int y);

#define SM_CXSCREEN 0
#define SM_CYSCREEN 1
#define SM_CYCAPTION 4
#define SM_CXBORDER 5
#define SM_CYBORDER 6
#define SM_CXCURSOR 13
#define SM_CYCURSOR 14
#define SM_CXSIZEFRAME 32
#define SM_CYSIZEFRAME 33
#define SM_CXEDGE 45
#define SM_CYEDGE 46
#define SM_CYSMCAPTION 51
#define SM_CXMAXIMIZED 61
#define SM_CYMAXIMIZED 62

int GetSystemMetrics(int index);

// ---- Events ----------------------------------------------------------------

// An event over an eventfd: waitable with MsgWaitForMultipleObjects and
// WaitForSingleObject. An auto-reset event is cleared by the wait that
// reports it.
HANDLE CreateEventA(void* security, BOOL manual_reset, BOOL initial_state, LPCSTR name);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);
DWORD WaitForSingleObject(HANDLE handle, DWORD timeout);

// An overlapped operation's record: ConnectNamedPipe with one starts
// listening without waiting, and the event is signalled once a client is
// connected.
struct OVERLAPPED {
    ULONG_PTR Internal;
    ULONG_PTR InternalHigh;
    DWORD Offset;
    DWORD OffsetHigh;
    HANDLE hEvent;
};

#endif
