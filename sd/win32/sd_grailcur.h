// The Win32 side of the library's cursors (ZuGrailCursor): the platform
// record that holds a cursor handle, and the process-wide current cursor,
// the handle the library last put on the screen (null while the pointer is
// hidden). The window procedure sets that cursor again whenever a window is
// asked for its cursor.
#ifndef SD_WIN32_SD_GRAILCUR_H
#define SD_WIN32_SD_GRAILCUR_H

#include "w32/winuser.h"

struct Zuvi_GrCursorRec {
    HCURSOR cursor;
};

// The current cursor; null while hidden.
HCURSOR Zuvi_RetCurrentCursor();
// Puts the current cursor on the screen again.
void Zuvi_RestoreCurrentCursor();
// The system cursor size (GetSystemMetrics 13 and 14).
void Zuvi_GetSystemCursorSize(unsigned& width, unsigned& height);

#endif
