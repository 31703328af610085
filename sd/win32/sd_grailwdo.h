#ifndef SD_WIN32_SD_GRAILWDO_H
#define SD_WIN32_SD_GRAILWDO_H

// The library's entry point and the one window class that every library
// window uses. The class is named from the prefix "Zuvi:Grail:1X", the
// program's base name, the thread id and the process id (hexadecimal), so
// the name identifies one running application and the prefix marks the
// windows of any application of the library.
//
// Window words of the class: word 0 (pointer-sized) holds the window's
// ZuGrailWindow, then three 32-bit words: the marker 0xCA11BABE that says
// word 0 is valid, the window's serial number, and 0.

#include "w32/winuser.h"

class DXSurface;
class ZuGrailWindow;

#define ZU_GRAIL_CLASS_PREFIX "Zuvi:Grail:1X"
#define ZU_GRAIL_MARKER 0xCA11BABEu

enum {
    ZU_GRAIL_WORD_OBJECT = 0,
    ZU_GRAIL_WORD_MARKER = int(sizeof(void*)),
    ZU_GRAIL_WORD_SERIAL = int(sizeof(void*)) + 4,
    ZU_GRAIL_WORD_ZERO = int(sizeof(void*)) + 8,
    ZU_GRAIL_WORD_BYTES = int(sizeof(void*)) + 12,
};

// The class's statics, and the platform record of one screen window
// (ZuGrailWindow::RetPrivateWindowInfo).
class Zuvi_GrWindowRec {
public:
    HWND hwnd = nullptr;
    // Null when DirectDraw cannot serve the window: it paints through GDI.
    DXSurface* dx_surface = nullptr;
    // Whether the application was active when the window was last shown.
    bool app_active = false;
    bool tool = false;
    bool topmost = false;
    bool no_activation = false;
    // Set by every end of a drawing pass, cleared when the size changes:
    // until then a paint shows nothing.
    bool drawn = false;
    // A close the system asked for is on its way through the queue; the
    // close that comes back clears it. One per window, so that closing a
    // second window before the first close came back loses neither.
    bool close_posted = false;

    // Records the instance, names and registers the class. A failed
    // registration leaves the atom 0 (the first window creation stops).
    static void GlobalInit(HINSTANCE instance);
    // Unregisters the class; a failure is ignored.
    static void GlobalKill();

    static HINSTANCE RetInstance() { return instance; }
    static const char* RetClassName() { return class_name; }
    static ATOM RetClassAtom() { return class_atom; }
    static const WNDCLASSEXA& RetWindowClass() { return window_class; }

    // "Zuvi:Grail:1X:<base name>:<thread>:<process>" into a buffer of 200
    // bytes, cut at 199 characters. The base name is what follows the last
    // '/' or '\\' of the program path (the whole path without either).
    static void FormatClassName(const char* program_path, unsigned long thread,
                                unsigned long process, char out[200]);

    // The index-th top-level window of any application of the library, in
    // the system's order; the buffer gets the program's base name from its
    // class name (up to the first '.', '/' or ':'). Null when none.
    static HWND EnumAppWindows(unsigned index, char* name, unsigned size);

private:
    static HINSTANCE instance;
    static char class_name[200];
    static ATOM class_atom;
    static WNDCLASSEXA window_class;
};

// The program's entry: with a previous instance it answers 0 and does
// nothing; otherwise it registers the class, runs the library
// (Zuvi_MainInit), unregisters the class and answers 0.
int WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show);

// The ZuGrailWindow of a library window: word 0 when it is not 0 and the
// marker word holds 0xCA11BABE; null otherwise, whatever the class name.
ZuGrailWindow* GrailWindowFromHandle(HWND hwnd);

// Whether the window is a library window (as above) whose class name
// begins with the prefix.
bool Zuvi_IsLibraryWindow(HWND hwnd, const char* class_prefix);
// The n-th (from 0) visible, not minimised library window whose class name
// begins with the prefix and that strictly contains the screen point: the
// window under the point first, then the others in the system's order.
HWND Zuvi_FindLibraryWindow(int x, int y, const char* class_prefix, unsigned n);

// The window procedure of the class: paint, activation, geometry, palette,
// cursor and close. Key, mouse move and button messages never come here
// (the event wait takes them).
LRESULT GrailWindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

#endif
