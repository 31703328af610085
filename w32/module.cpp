#include "w32/module.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

namespace {

void Anchor() {}

std::string ProgramPath()
{
    char path[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return std::string();
    path[n] = '\0';
    return path;
}

std::string LibraryPath()
{
    Dl_info info;
    if (::dladdr(reinterpret_cast<void*>(&Anchor), &info) == 0 || info.dli_fname == nullptr)
        return std::string();
    char real[PATH_MAX];
    if (::realpath(info.dli_fname, real) == nullptr)
        return info.dli_fname;
    return real;
}

bool EndsWith(const std::string& s, const char* tail)
{
    size_t n = std::strlen(tail);
    return s.size() >= n && s.compare(s.size() - n, n, tail) == 0;
}

} // namespace

HMODULE GetModuleHandleA(LPCSTR name)
{
    if (name == nullptr)
        return ::dlopen(nullptr, RTLD_NOW | RTLD_NOLOAD);
    std::string n(name);
    if (n == "Zuvi.1.0.dll" || n == "Zuvi.1.0") {
        std::string lib = LibraryPath();
        return lib.empty() ? nullptr : ::dlopen(lib.c_str(), RTLD_NOW | RTLD_NOLOAD);
    }
    if (void* h = ::dlopen(name, RTLD_NOW | RTLD_NOLOAD))
        return h;
    if (EndsWith(n, ".dll"))
        n.resize(n.size() - 4);
    return ::dlopen(("lib" + n + ".so").c_str(), RTLD_NOW | RTLD_NOLOAD);
}

DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size)
{
    if (buffer == nullptr || size == 0)
        return 0;
    std::string path;
    if (module == nullptr) {
        path = ProgramPath();
    } else {
        struct link_map* map = nullptr;
        if (::dlinfo(module, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr)
            return 0;
        if (map->l_name == nullptr || map->l_name[0] == '\0') {
            path = ProgramPath();
        } else {
            char real[PATH_MAX];
            path = ::realpath(map->l_name, real) ? real : map->l_name;
        }
    }
    if (path.empty())
        return 0;
    if (path.size() + 1 > size) {
        std::memcpy(buffer, path.data(), size - 1);
        buffer[size - 1] = '\0';
        return size;
    }
    std::memcpy(buffer, path.c_str(), path.size() + 1);
    return static_cast<DWORD>(path.size());
}

HMODULE LoadLibraryA(LPCSTR name)
{
    if (name == nullptr || *name == '\0')
        return nullptr;
    return ::dlopen(name, RTLD_NOW | RTLD_GLOBAL);
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name)
{
    if (module == nullptr || name == nullptr)
        return nullptr;
    void* symbol = ::dlsym(module, name);
    return reinterpret_cast<FARPROC>(symbol);
}

BOOL FreeLibrary(HMODULE module)
{
    if (module == nullptr)
        return FALSE;
    return ::dlclose(module) == 0 ? TRUE : FALSE;
}

LPSTR GetCommandLineA()
{
    static std::string line = [] {
        std::string out = "\"" + ProgramPath() + "\"";
        if (FILE* f = std::fopen("/proc/self/cmdline", "rb")) {
            std::string all;
            char buf[4096];
            size_t n;
            while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
                all.append(buf, n);
            std::fclose(f);
            size_t first = all.find('\0');
            if (first != std::string::npos) {
                for (size_t i = first + 1; i < all.size();) {
                    size_t end = all.find('\0', i);
                    if (end == std::string::npos)
                        end = all.size();
                    out += " " + all.substr(i, end - i);
                    i = end + 1;
                }
            }
        }
        return out;
    }();
    return &line[0];
}
