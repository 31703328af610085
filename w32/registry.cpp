#include "w32/registry.h"

#include "w32/shell.h"

#include <cctype>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>

// A key of the table. The predefined roots are keys too; handles are the
// addresses of the keys, which live as long as the process.
struct HKEY__ {
    std::map<std::string, std::unique_ptr<HKEY__>> children; // by folded name
    std::map<std::string, std::string (*)()> values;         // computed on reading
};

namespace {

std::string Fold(const std::string& s)
{
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::mutex table_mutex;

HKEY__* Child(HKEY__* key, const std::string& name, bool create)
{
    auto it = key->children.find(Fold(name));
    if (it != key->children.end())
        return it->second.get();
    if (!create)
        return nullptr;
    HKEY__* child = new HKEY__;
    key->children[Fold(name)].reset(child);
    return child;
}

HKEY__* Walk(HKEY__* key, const char* path, bool create, bool* created)
{
    std::string rest(path ? path : "");
    size_t i = 0;
    while (key != nullptr && i < rest.size()) {
        size_t end = rest.find('\\', i);
        if (end == std::string::npos)
            end = rest.size();
        std::string name = rest.substr(i, end - i);
        if (!name.empty()) {
            HKEY__* next = Child(key, name, false);
            if (next == nullptr && create) {
                next = Child(key, name, true);
                if (created)
                    *created = true;
            }
            key = next;
        }
        i = end + 1;
    }
    return key;
}

struct Roots {
    HKEY__ classes, user, machine;
    Roots()
    {
        HKEY__* folders =
            Walk(&user, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                 true, nullptr);
        folders->values[Fold("Fonts")] = &W32_FontsDirectory;
        folders->values[Fold("Desktop")] = &W32_DesktopDirectory;
    }
};

Roots& TheRoots()
{
    static Roots roots;
    return roots;
}

HKEY__* Resolve(HKEY key)
{
    if (key == HKEY_CLASSES_ROOT)
        return &TheRoots().classes;
    if (key == HKEY_CURRENT_USER)
        return &TheRoots().user;
    if (key == HKEY_LOCAL_MACHINE)
        return &TheRoots().machine;
    return key;
}

} // namespace

LSTATUS RegOpenKeyExA(HKEY key, LPCSTR sub_key, DWORD, REGSAM, HKEY* result)
{
    if (key == nullptr || result == nullptr)
        return ERROR_INVALID_HANDLE;
    std::lock_guard<std::mutex> hold(table_mutex);
    HKEY__* found = Walk(Resolve(key), sub_key, false, nullptr);
    if (found == nullptr)
        return ERROR_FILE_NOT_FOUND;
    *result = found;
    return ERROR_SUCCESS;
}

LSTATUS RegCreateKeyExA(HKEY key, LPCSTR sub_key, DWORD, LPSTR, DWORD, REGSAM, void*, HKEY* result,
                        DWORD* disposition)
{
    if (key == nullptr || result == nullptr)
        return ERROR_INVALID_HANDLE;
    std::lock_guard<std::mutex> hold(table_mutex);
    bool created = false;
    *result = Walk(Resolve(key), sub_key, true, &created);
    if (disposition)
        *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return ERROR_SUCCESS;
}

LSTATUS RegQueryValueExA(HKEY key, LPCSTR name, DWORD*, DWORD* type, BYTE* data, DWORD* size)
{
    if (key == nullptr)
        return ERROR_INVALID_HANDLE;
    std::string (*get)() = nullptr;
    {
        std::lock_guard<std::mutex> hold(table_mutex);
        HKEY__* k = Resolve(key);
        auto it = k->values.find(Fold(name ? name : ""));
        if (it == k->values.end())
            return ERROR_FILE_NOT_FOUND;
        get = it->second;
    }
    std::string value = get();
    if (value.empty())
        return ERROR_FILE_NOT_FOUND;
    if (type)
        *type = REG_SZ;
    DWORD needed = static_cast<DWORD>(value.size() + 1);
    if (data == nullptr) {
        if (size)
            *size = needed;
        return ERROR_SUCCESS;
    }
    if (size == nullptr)
        return ERROR_INVALID_HANDLE;
    if (*size < needed) {
        *size = needed;
        return ERROR_MORE_DATA;
    }
    std::memcpy(data, value.c_str(), needed);
    *size = needed;
    return ERROR_SUCCESS;
}

LSTATUS RegCloseKey(HKEY key)
{
    return key == nullptr ? ERROR_INVALID_HANDLE : ERROR_SUCCESS;
}
