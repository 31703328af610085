#ifndef W32_X11_H
#define W32_X11_H

// What the X11 window backend shows to tests and to other programs.

#include "w32/winuser.h"

// The properties every library window carries: its class name (STRING)
// and its window words (8-bit items, as the process holds them).
#define W32_X11_CLASS_PROPERTY "_ZUVI_CLASS"
#define W32_X11_WORDS_PROPERTY "_ZUVI_WORDS"

// Whether the X11 backend is the one in use.
bool W32_X11InUse();
// The X window of a window (0 for none).
unsigned long W32_X11Window(HWND hwnd);

#endif
