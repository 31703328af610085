#ifndef W32_CLIPBOARD_H
#define W32_CLIPBOARD_H

// The clipboard of the platform layer: one process-wide store of data
// blocks by format. A window opens it, may empty it (becoming its owner),
// puts global memory blocks on it (the store takes them over and frees them
// when they are replaced or emptied) and reads them, then closes it. While
// one window holds it open, opening for another window fails. Formats
// registered by name are numbered from 0xC000, one number per name
// (letter case does not count).
//
// Text (CF_TEXT, ISO 8859-1) also goes through the window backend: under
// X11 putting it makes the process the owner of the CLIPBOARD selection,
// and text another program holds there is read in place of the store's.

#include "w32/windef.h"

#define CF_TEXT 1u
#define CF_BITMAP 2u
#define CF_UNICODETEXT 13u

BOOL OpenClipboard(HWND owner);
BOOL CloseClipboard();
// Frees every block; the opener becomes the owner. The clipboard must be
// open.
BOOL EmptyClipboard();
// Takes the block over as the data of the format (null when the clipboard
// is not open or the handle is not a global block).
HANDLE SetClipboardData(UINT format, HANDLE data);
// The block of the format, owned by the store; null when there is none or
// the clipboard is not open.
HANDLE GetClipboardData(UINT format);
BOOL IsClipboardFormatAvailable(UINT format);
UINT RegisterClipboardFormatA(LPCSTR name);
HWND GetOpenClipboardWindow();

#endif
