#ifndef W32_ENV_H
#define W32_ENV_H

// The process environment.

#include "w32/windef.h"

// The length of the value without the terminating zero when it fits the
// buffer (with its zero); otherwise the size needed with the zero, and the
// buffer is left as it is. 0 when the variable is not set.
DWORD GetEnvironmentVariableA(LPCSTR name, LPSTR buffer, DWORD size);

#endif
