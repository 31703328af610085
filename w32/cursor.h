#ifndef W32_CURSOR_H
#define W32_CURSOR_H

// The cursor table behind CreateCursor and SetCursor (w32/winuser.h): each
// cursor keeps its masks as given, so that tests and the backends read them.

#include <vector>

#include "w32/winuser.h"

struct W32_Cursor {
    unsigned magic;
    int width;
    int height;
    int x_hot;
    int y_hot;
    int row_bytes; // (width + 15) / 16 x 2
    std::vector<unsigned char> and_mask;
    std::vector<unsigned char> xor_mask;
    bool system;              // the arrow: never destroyed
    unsigned long native = 0; // the backend's cursor, made on first show
};

// The record of a cursor handle; null for anything else.
W32_Cursor* W32_CursorOf(HCURSOR cursor);
// The cursor's pixel at (x, y) as 0xAARRGGBB: transparent 0, black
// 0xFF000000, white 0xFFFFFFFF; an inverting pixel shows black.
uint32_t W32_CursorPixel(const W32_Cursor* cursor, int x, int y);

#endif
