#ifndef W32_DEBUG_H
#define W32_DEBUG_H

// Debugger output and message boxes. Both go to one sink; the default sink
// writes boxes to standard error and answers each with its first button,
// and writes the debugger output there only when the environment variable
// ZUVI_DEBUG_OUTPUT is set (to anything but "" or "0").
// Tests install their own sink to read what was shown and to choose answers.

#include "w32/windef.h"

#define MB_OK 0x00000000u
#define MB_OKCANCEL 0x00000001u
#define MB_ABORTRETRYIGNORE 0x00000002u
#define MB_YESNOCANCEL 0x00000003u
#define MB_YESNO 0x00000004u
#define MB_RETRYCANCEL 0x00000005u
#define MB_TYPEMASK 0x0000000Fu
#define MB_ICONERROR 0x00000010u
#define MB_ICONQUESTION 0x00000020u
#define MB_ICONWARNING 0x00000030u
#define MB_ICONINFORMATION 0x00000040u
#define MB_TASKMODAL 0x00002000u

#define IDOK 1
#define IDCANCEL 2
#define IDABORT 3
#define IDRETRY 4
#define IDIGNORE 5
#define IDYES 6
#define IDNO 7

void OutputDebugStringA(LPCSTR text);
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

// What reaches the sink.
enum W32_DebugKind {
    W32_DEBUG_STRING = 0, // OutputDebugStringA: caption null, type 0; the answer is ignored
    W32_MESSAGE_BOX = 1   // MessageBoxA: the answer is the box's result
};
typedef int (*W32_DebugSink)(void* context, W32_DebugKind kind, LPCSTR caption, LPCSTR text,
                             UINT type);

// Installs a sink (null: the default one) and returns the previous sink and
// its context through the optional out-parameters. Calls into the sink are
// serialised.
void W32_SetDebugSink(W32_DebugSink sink, void* context, W32_DebugSink* previous = nullptr,
                      void** previous_context = nullptr);

// The default sink: writes to standard error; a box is written as
// "[caption] text" and answered with its first button; the debugger output
// is written only when W32_DebugOutputShown.
int W32_DefaultDebugSink(void* context, W32_DebugKind kind, LPCSTR caption, LPCSTR text, UINT type);

// Whether ZUVI_DEBUG_OUTPUT asks for the debugger output on standard
// error (read at each call).
bool W32_DebugOutputShown();

// The first button of a box of the given type (IDOK, IDABORT, IDYES, IDRETRY).
int W32_FirstButton(UINT type);

#endif
