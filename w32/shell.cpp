#include "w32/shell.h"

#include "w32/file.h"
#include "w32/module.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <sys/stat.h>

namespace {

bool IsDirectory(const std::string& path)
{
    struct stat st;
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string Env(const char* name)
{
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

// XDG_DESKTOP_DIR="$HOME/Desktop" in the user-dirs file, with $HOME expanded.
std::string UserDirsDesktop(const std::string& home)
{
    std::string config = Env("XDG_CONFIG_HOME");
    if (config.empty()) {
        if (home.empty())
            return std::string();
        config = home + "/.config";
    }
    FILE* f = std::fopen((config + "/user-dirs.dirs").c_str(), "r");
    if (f == nullptr)
        return std::string();
    std::string result;
    char line[1024];
    while (std::fgets(line, sizeof line, f)) {
        const char* key = "XDG_DESKTOP_DIR=\"";
        if (std::strncmp(line, key, std::strlen(key)) != 0)
            continue;
        std::string value(line + std::strlen(key));
        size_t quote = value.find('"');
        if (quote == std::string::npos)
            break;
        value.resize(quote);
        if (value.compare(0, 5, "$HOME") == 0)
            value = home + value.substr(5);
        result = value;
        break;
    }
    std::fclose(f);
    return result;
}

class ShellAllocator : public IMalloc {
public:
    void* Alloc(SIZE_T size) override { return std::malloc(size); }
    void Free(void* block) override { std::free(block); }
    unsigned long Release() override { return 1; }
};

ShellAllocator shell_allocator;

} // namespace

std::string W32_DesktopDirectory()
{
    std::string home = Env("HOME");
    std::string xdg = Env("XDG_DESKTOP_DIR");
    if (IsDirectory(xdg))
        return xdg;
    std::string listed = UserDirsDesktop(home);
    if (IsDirectory(listed))
        return listed;
    if (IsDirectory(home))
        return home;
    return "/";
}

std::string W32_FontsDirectory()
{
    std::string dir = Env("ZUVI_FONTS_DIR");
    if (!dir.empty())
        return dir;
    char lib[PATH_MAX];
    DWORD n = GetModuleFileNameA(GetModuleHandleA("Zuvi.1.0.dll"), lib, sizeof lib);
    if (n == 0 || n >= sizeof lib)
        return std::string();
    std::string path(lib, n);
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return std::string();
    return path.substr(0, slash) + "/fonts";
}

HRESULT SHGetMalloc(IMalloc** allocator)
{
    if (allocator == nullptr)
        return E_FAIL;
    *allocator = &shell_allocator;
    return S_OK;
}

HRESULT SHGetSpecialFolderLocation(HWND, int folder, LPITEMIDLIST* list)
{
    if (list == nullptr)
        return E_FAIL;
    *list = nullptr;
    std::string path;
    switch (folder) {
    case CSIDL_DESKTOP:
    case CSIDL_DESKTOPDIRECTORY:
        path = W32_DesktopDirectory();
        break;
    case CSIDL_FONTS:
        path = W32_FontsDirectory();
        break;
    default:
        return E_FAIL;
    }
    if (path.empty())
        return E_FAIL;
    char* copy = static_cast<char*>(shell_allocator.Alloc(path.size() + 1));
    if (copy == nullptr)
        return E_FAIL;
    std::memcpy(copy, path.c_str(), path.size() + 1);
    *list = reinterpret_cast<LPITEMIDLIST>(copy);
    return S_OK;
}

BOOL SHGetPathFromIDListA(LPCITEMIDLIST list, LPSTR path)
{
    if (list == nullptr || path == nullptr)
        return FALSE;
    const char* text = reinterpret_cast<const char*>(list);
    size_t n = std::strlen(text);
    if (n >= MAX_PATH)
        return FALSE;
    std::memcpy(path, text, n + 1);
    return TRUE;
}
