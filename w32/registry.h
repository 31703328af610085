#ifndef W32_REGISTRY_H
#define W32_REGISTRY_H

// The registry stand-in: a small table of system values kept in memory.
// The values the library reads are answered from the platform:
//   HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders
//     "Fonts"    the fonts folder: $ZUVI_FONTS_DIR when set, else the
//                directory "fonts" beside the class library's file
//     "Desktop"  the desktop folder (see W32_DesktopDirectory)
// Key and value names compare without regard to case. Keys may be created;
// created keys hold no values.

#include "w32/windef.h"

struct HKEY__;
typedef HKEY__* HKEY;
typedef LONG LSTATUS;
typedef DWORD REGSAM;

#define HKEY_CLASSES_ROOT ((HKEY)(ULONG_PTR)0x80000000u)
#define HKEY_CURRENT_USER ((HKEY)(ULONG_PTR)0x80000001u)
#define HKEY_LOCAL_MACHINE ((HKEY)(ULONG_PTR)0x80000002u)

#define ERROR_SUCCESS 0L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_MORE_DATA 234L

#define KEY_QUERY_VALUE 0x0001u
#define KEY_READ 0x20019u
#define KEY_ALL_ACCESS 0xF003Fu

#define REG_NONE 0u
#define REG_SZ 1u

#define REG_OPTION_NON_VOLATILE 0u
#define REG_CREATED_NEW_KEY 1u
#define REG_OPENED_EXISTING_KEY 2u

// `sub_key` is one key name or several separated by "\\"; empty opens the
// key itself again.
LSTATUS RegOpenKeyExA(HKEY key, LPCSTR sub_key, DWORD options, REGSAM access, HKEY* result);
LSTATUS RegCreateKeyExA(HKEY key, LPCSTR sub_key, DWORD reserved, LPSTR class_name, DWORD options,
                        REGSAM access, void* security, HKEY* result, DWORD* disposition);
// A value's text with its terminating zero. With a null `data` only the size
// is given; a buffer that is too small answers ERROR_MORE_DATA with the size
// needed. An empty or null name is the key's default value.
LSTATUS RegQueryValueExA(HKEY key, LPCSTR name, DWORD* reserved, DWORD* type, BYTE* data,
                         DWORD* size);
LSTATUS RegCloseKey(HKEY key);

#endif
