#ifndef W32_MODULE_H
#define W32_MODULE_H

// Modules (shared libraries and the program) and the command line.

#include "w32/windef.h"

// Null: the program. "Zuvi.1.0.dll" (or "Zuvi.1.0"): the class library that
// holds this code. Another name: that library when it is loaded already
// ("X.dll" also finds "libX.so"). Null when not loaded.
HMODULE GetModuleHandleA(LPCSTR name);
// The full file name of the module (null: the program). Returns the length
// copied; when the buffer is too small the name is cut, ends with a zero, and
// the result is the buffer's size. 0 on failure.
DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size);
// Loads a shared library with its symbols for later modules. Null on failure.
HMODULE LoadLibraryA(LPCSTR name);
// The address of an exported function or variable of a loaded library; null
// when the module or the name is missing.
typedef void (*FARPROC)();
FARPROC GetProcAddress(HMODULE module, LPCSTR name);
// Lets a library go; FALSE for a null module or when the system refuses.
BOOL FreeLibrary(HMODULE module);
// The program's full file name in double quotes, then its arguments
// separated by spaces.
LPSTR GetCommandLineA();

#endif
