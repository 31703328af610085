#ifndef W32_HEADLESS_H
#define W32_HEADLESS_H

// The test interface of the headless window backend: windows live in
// memory over a 32-bit screen of 1280 x 1024 pixels (ZUVI_HEADLESS_SCREEN=WxH
// sets another size). Each window keeps its own pixels; the screen shows
// the visible, not minimised windows in their order. Input is injected as
// the display would report it.

#include "w32/winuser.h"

struct W32_Cursor;

// Whether the headless backend is the one in use.
bool W32_HeadlessInUse();
// The screen's pixel (0x00RRGGBB; 0 where no window is).
uint32_t W32_HeadlessScreenPixel(int x, int y);
// A window's own pixel, shown or not; false outside it.
bool W32_HeadlessWindowPixel(HWND hwnd, int x, int y, uint32_t& out);
// The pointer at a screen point with the MK_ buttons held.
void W32_HeadlessMouse(int x, int y, unsigned buttons);
// A key press or release: virtual key, set-1 scan code, extended flag, and
// the character it gives as a keyboard layout would (ISO 8859-1; 0 none);
// -1 lets the US layout answer. VK_PACKET with a character types that
// character whatever key would give it.
void W32_HeadlessKey(UINT virtual_key, UINT scan, bool extended, bool down, int character = -1);
// The user moved or sized a window, or asked to close it.
void W32_HeadlessMoveBySystem(HWND hwnd, const RECT& rect);
void W32_HeadlessCloseBySystem(HWND hwnd);
// The cursor shown and the window holding the pointer.
W32_Cursor* W32_HeadlessShownCursor();
HWND W32_HeadlessGrab();

#endif
