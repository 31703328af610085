#include "sd/common/sd_filename.h"

#include "w32/file.h"
#include "w32/shell.h"

#include <cstring>
#include <mutex>
#include <string>

namespace {

bool StartsWith(const std::string& s, size_t at, const char* prefix)
{
    return s.compare(at, std::strlen(prefix), prefix) == 0;
}

// A pseudo-root is a whole element: followed by "/" or by the end.
bool StartsWithElement(const std::string& s, size_t at, const char* prefix)
{
    size_t n = std::strlen(prefix);
    return StartsWith(s, at, prefix) && (at + n == s.size() || s[at + n] == '/');
}

bool Deliver(const std::string& text, char* out)
{
    if (text.size() >= ZUVI_PATH_MAX) {
        out[0] = '\0';
        return false;
    }
    std::memcpy(out, text.c_str(), text.size() + 1);
    return true;
}

// Input texts longer than a path may be are refused as well.
bool Take(const char* in, std::string& text)
{
    if (in == nullptr) {
        text.clear();
        return true;
    }
    size_t n = ::strnlen(in, ZUVI_PATH_MAX);
    if (n >= ZUVI_PATH_MAX)
        return false;
    text.assign(in, n);
    return true;
}

} // namespace

bool Zuvi_ConvertToOSName(const char* path_in, char* os_name)
{
    std::string path;
    if (!Take(path_in, path))
        return Deliver(std::string(ZUVI_PATH_MAX, 'x'), os_name);
    size_t i = 0;
    bool absolute = false;
    while (i < path.size() && path[i] == '/') {
        absolute = true;
        ++i;
    }
    std::string out;
    bool prefixed = false;
    for (;;) {
        if (StartsWithElement(path, i, "$desktop$")) {
            out = Zuvi_DesktopOSName();
            i += 9;
        } else if (StartsWithElement(path, i, "$network$")) {
            out = "//";
            i += 9;
        } else if (StartsWithElement(path, i, "$drives$")) {
            out = "/";
            i += 8;
            prefixed = true;
            while (i < path.size() && path[i] == '/')
                ++i;
            break;
        } else {
            break;
        }
        prefixed = true;
        while (i < path.size() && path[i] == '/')
            ++i;
    }
    std::string rest = path.substr(i);
    if (!prefixed) {
        out = absolute ? "/" + rest : rest;
    } else if (!rest.empty()) {
        if (!out.empty() && out.back() != '/')
            out += '/';
        out += rest;
    }
    return Deliver(out, os_name);
}

bool Zuvi_ConvertFromOSName(const char* os_in, char* path)
{
    std::string os;
    if (!Take(os_in, os))
        return Deliver(std::string(ZUVI_PATH_MAX, 'x'), path);
    std::string out;
    if (!os.empty() && os[0] == '/') {
        size_t i = 0;
        while (i < os.size() && os[i] == '/')
            ++i;
        out = "$drives$";
        if (i < os.size())
            out += "/" + os.substr(i);
    } else {
        out = os;
    }
    return Deliver(out, path);
}

bool Zuvi_ConvertToWin32Name(const char* path_in, char* os_name, const char* desktop)
{
    std::string path;
    if (!Take(path_in, path))
        return Deliver(std::string(ZUVI_PATH_MAX, 'x'), os_name);
    size_t i = 0;
    while (i < path.size() && path[i] == '/')
        ++i;
    std::string out;
    bool drive = false;
    for (;;) {
        if (StartsWith(path, i, "$desktop$")) {
            out += desktop ? desktop : "";
            i += 9;
        } else if (StartsWith(path, i, "$network$")) {
            out += "\\\\";
            i += 9;
        } else if (StartsWith(path, i, "$drives$")) {
            drive = true;
            i += 8;
            while (i < path.size() && path[i] == '/')
                ++i;
            break;
        } else {
            break;
        }
        while (i < path.size() && path[i] == '/')
            ++i;
    }
    // The desktop folder and the rest of the name are joined by one
    // backslash.
    if (i < path.size() && i > 0 && path[i - 1] == '/' && !out.empty() && out.back() != '\\')
        out += '\\';
    for (; i < path.size(); ++i) {
        char c = path[i];
        if (c == '/') {
            if (drive) {
                out += ":\\";
                drive = false;
            } else {
                out += '\\';
            }
        } else {
            out += c;
        }
    }
    if (drive)
        out += ':';
    return Deliver(out, os_name);
}

bool Zuvi_ConvertFromWin32Name(const char* os_in, char* path)
{
    std::string os;
    if (!Take(os_in, os))
        return Deliver(std::string(ZUVI_PATH_MAX, 'x'), path);
    std::string out;
    size_t i = 0;
    if (os.size() >= 2 && os[1] == ':') {
        out = "$drives$/";
        out += os[0];
        i = 2;
    } else if (StartsWith(os, 0, "\\\\")) {
        out = "$network$/";
        i = 2;
    }
    for (; i < os.size(); ++i)
        out += os[i] == '\\' ? '/' : os[i];
    return Deliver(out, path);
}

const char* Zuvi_DesktopOSName()
{
    static std::once_flag once;
    static char desktop[ZUVI_PATH_MAX] = "";
    std::call_once(once, [] {
        IMalloc* alloc = nullptr;
        LPITEMIDLIST list = nullptr;
        if (SHGetMalloc(&alloc) != S_OK || alloc == nullptr)
            return;
        if (SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOPDIRECTORY, &list) != S_OK || !list)
            return;
        char name[MAX_PATH];
        if (SHGetPathFromIDListA(list, name) && std::strlen(name) < ZUVI_PATH_MAX)
            std::strcpy(desktop, name);
        alloc->Free(list);
    });
    return desktop;
}
