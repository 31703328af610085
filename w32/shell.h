#ifndef W32_SHELL_H
#define W32_SHELL_H

// Shell folders. The desktop folder is the XDG desktop directory
// ($XDG_DESKTOP_DIR, or XDG_DESKTOP_DIR in the user's user-dirs.dirs) when
// it exists, else $HOME, else "/".

#include "w32/windef.h"

#include <string>

typedef LONG HRESULT;
#define S_OK ((HRESULT)0)
#define E_FAIL ((HRESULT)0x80004005u)

#define CSIDL_DESKTOP 0x0000
#define CSIDL_DESKTOPDIRECTORY 0x0010
#define CSIDL_FONTS 0x0014

// An item list names a folder; the shell's allocator frees it.
struct ITEMIDLIST;
typedef ITEMIDLIST* LPITEMIDLIST;
typedef const ITEMIDLIST* LPCITEMIDLIST;

class IMalloc {
public:
    virtual void* Alloc(SIZE_T size) = 0;
    virtual void Free(void* block) = 0;
    virtual unsigned long Release() = 0;

protected:
    ~IMalloc() {}
};

HRESULT SHGetMalloc(IMalloc** allocator);
HRESULT SHGetSpecialFolderLocation(HWND owner, int folder, LPITEMIDLIST* list);
// Fails when the folder's name does not fit MAX_PATH characters.
BOOL SHGetPathFromIDListA(LPCITEMIDLIST list, LPSTR path);

// The folders themselves, as operating-system names.
std::string W32_DesktopDirectory();
std::string W32_FontsDirectory();

#endif
