#ifndef W32_WINDEF_H
#define W32_WINDEF_H

// Basic types of the platform interfaces, with the widths the callers expect
// (DWORD stays 32-bit; handles and pointer-sized integers are 64-bit).

#include <cstddef>
#include <cstdint>

typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef uint32_t UINT;
typedef uintptr_t UINT_PTR;
typedef intptr_t LONG_PTR;
typedef uintptr_t ULONG_PTR;
typedef size_t SIZE_T;
typedef void* LPVOID;
typedef const void* LPCVOID;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef void* HANDLE;
typedef HANDLE HGLOBAL;
typedef HANDLE HWND;
typedef HANDLE HMODULE;
typedef HANDLE HINSTANCE;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

#endif
