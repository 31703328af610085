#ifndef W32_DIR_H
#define W32_DIR_H

// Directory searches of the platform layer over opendir/readdir/statx.
// A pattern is a directory name, "/", and a last element that may hold the
// wildcards "*" and "?"; without wildcards the search finds that one entry.
// Entries: a name that begins with a dot is hidden; an entry this user
// cannot write is read-only; "." and ".." are found like other entries.

#include "w32/file.h"

struct WIN32_FIND_DATAA {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwReserved0;
    DWORD dwReserved1;
    char cFileName[MAX_PATH];
    char cAlternateFileName[14];
};

// INVALID_HANDLE_VALUE when nothing matches.
HANDLE FindFirstFileA(LPCSTR pattern, WIN32_FIND_DATAA* data);
BOOL FindNextFileA(HANDLE find, WIN32_FIND_DATAA* data);
BOOL FindClose(HANDLE find);

#endif
