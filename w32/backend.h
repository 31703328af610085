#ifndef W32_BACKEND_H
#define W32_BACKEND_H

// The two window backends behind the window calls (w32/winuser.h). The
// common part (w32/window.cpp) keeps the window records, the queues, the
// update regions, focus, capture and key state; a backend shows windows,
// puts pixels, shows cursors, serves the clipboard to other programs and
// turns what the display reports into calls of the common part (the
// W32_System* functions below).
//
// Internal to w32/.

#include <string>
#include <vector>

#include "w32/winuser.h"

struct W32_Cursor;

// One window. Records of other programs' windows (X11) are "foreign": only
// their class name, words and rectangle are read, through the backend.
struct W32_Window {
    unsigned magic = 0;
    bool foreign = false;
    unsigned long native = 0; // the backend's window id (X11: the XID)
    std::string class_name;
    WNDPROC proc = nullptr;
    HINSTANCE instance = nullptr;
    std::vector<unsigned char> words;
    std::string text;
    DWORD style = 0;
    DWORD ex_style = 0;
    RECT rect{0, 0, 0, 0}; // on the screen
    HWND owner = nullptr;
    DWORD thread = 0;
    bool visible = false;
    bool minimized = false;
    bool topmost = false;
    bool destroying = false;
    bool has_update = false;
    bool erase = false;
    RECT update{0, 0, 0, 0};
    bool painting = false;
    RECT paint{0, 0, 0, 0};
};

class W32_Backend {
public:
    virtual ~W32_Backend() {}
    virtual const char* Name() const = 0;
    virtual void ScreenSize(int& width, int& height) = 0;

    virtual bool Create(W32_Window* w) = 0;
    virtual void Destroy(W32_Window* w) = 0;
    // Visibility, minimised state, rectangle, title or words changed.
    virtual void Show(W32_Window* w) = 0;
    virtual void Geometry(W32_Window* w) = 0;
    virtual void Title(W32_Window* w) = 0;
    virtual void Words(W32_Window* w) = 0;
    // The order of the own windows changed (top first).
    virtual void Restack(const std::vector<W32_Window*>& top_first) = 0;
    virtual void Focus(W32_Window* w) = 0;
    // Whether the display has somewhere to put a minimised window and a way
    // to bring it back (X11: a window manager runs). Without it a window
    // asked to minimise stays as it is.
    virtual bool CanMinimize() = 0;

    // 0x00RRGGBB pixels (stride in pixels) to window w at (x, y), cut to
    // the clip rectangle (window coordinates).
    virtual void Put(W32_Window* w, int x, int y, int width, int height, const uint32_t* pixels,
                     int stride, const RECT& clip) = 0;

    virtual void ShowCursor(W32_Cursor* cursor) = 0;
    // The cursor is being destroyed: whatever the backend made of it goes.
    virtual void ForgetCursor(W32_Cursor* cursor) = 0;
    virtual void Grab(W32_Window* w) = 0; // null: let go
    virtual bool CursorPos(POINT& p) = 0;
    virtual void MoveCursor(int x, int y) = 0;

    // The display's descriptor to poll, -1 when none.
    virtual int Descriptor() = 0;
    // Takes what the display reports and hands it to the common part;
    // true when something was taken.
    virtual bool Pump() = 0;

    // Top-level windows, top first, own and foreign.
    virtual void TopLevel(std::vector<HWND>& out) = 0;
    virtual HWND FromPoint(POINT p) = 0;
    // Foreign windows (false for backends without them).
    virtual bool ForeignClass(W32_Window* w, std::string& out) = 0;
    virtual bool ForeignWords(W32_Window* w, std::vector<unsigned char>& out) = 0;
    virtual bool ForeignRect(W32_Window* w, RECT& out) = 0;

    // The clipboard: the process took ownership with this text (null: let
    // go); a read of the text another program holds (false when none does,
    // or when this process owns the clipboard).
    virtual void ClipboardOwned(const char* text) = 0;
    virtual bool ClipboardText(std::string& out) = 0;
};

// The backend in use, chosen on first use.
W32_Backend& W32_TheBackend();
W32_Backend* W32_MakeHeadless();
// Null when no display can be opened or its default visual is not true
// colour; W32_X11Failure then says which.
W32_Backend* W32_MakeX11();
// Why the last W32_MakeX11 gave no backend (a W32_NoDisplayCause), and for
// a visual it refused, the visual's class and depth.
int W32_X11Failure(int* visual_class, int* depth);

// ---- Calls of the backends into the common part ---------------------------

W32_Window* W32_WindowOf(HWND hwnd);
// Own windows, top first.
std::vector<W32_Window*> W32_OwnWindows();
W32_Window* W32_FindNative(unsigned long native);
// A record for another program's window, kept for the life of the process.
HWND W32_ForeignWindow(unsigned long native);

// The display moved or sized the window (WM_MOVE and WM_SIZE sent).
void W32_SystemGeometry(HWND hwnd, const RECT& rect);
void W32_SystemExpose(HWND hwnd, const RECT& rect);
// The display minimised a shown window, or brought a minimised one back
// (WM_SIZE sent; a window back is painted whole). Nothing for a hidden
// window or one already in that state.
void W32_SystemMinimized(HWND hwnd, bool minimized);
void W32_SystemActivate(HWND hwnd, bool active);
void W32_SystemClose(HWND hwnd);
// Pointer at a screen point with the MK_ buttons held; a button change
// gives its button message after the move.
void W32_SystemMouse(int x, int y, unsigned buttons);
// The display says the pointer left one of the own windows for a screen
// point. Out of all of them (and with nothing holding the capture), the
// window that had the pointer gets WM_MOUSELEAVE; over another, the
// pointer's moves there tell.
void W32_SystemPointerLeft(int x, int y);
// A key: virtual key, set-1 scan code, extended flag, down (a press of a
// key already down is an auto-repeat). Goes to the focus window, or the
// active one when no window has the focus.
// The character is the 8-bit (ISO 8859-1) character the key gave as the
// backend's keyboard saw it, 0 for none; -1 leaves it to ToAscii to work
// out from the keyboard state when the message is taken.
void W32_SystemKey(UINT vk, UINT scan, bool extended, bool down, int character = -1);
// The character the backend gives for a key in a keyboard state (X11); the
// common part falls back to a US table when it answers -1.
typedef int (*W32_CharOfKey)(UINT vk, UINT scan, const BYTE* state);
void W32_SetCharOfKey(W32_CharOfKey fn);
#define W32_WINDOW_MAGIC 0x57494E44u

#endif
