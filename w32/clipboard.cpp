#include "w32/clipboard.h"

#include "w32/backend.h"
#include "w32/kernel.h"

#include <cstring>

#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace {

struct Store {
    std::mutex lock;
    HWND opener = nullptr;
    bool open = false;
    HWND owner = nullptr;
    std::map<UINT, HGLOBAL> blocks;
    std::vector<std::string> formats; // registered names; number 0xC000 + index

    void FreeAll()
    {
        for (auto& entry : blocks)
            GlobalFree(entry.second);
        blocks.clear();
    }
    ~Store() { FreeAll(); }
};

Store& TheStore()
{
    static Store store;
    return store;
}

std::string Lower(const char* text)
{
    std::string out;
    for (; *text; ++text)
        out.push_back(*text >= 'A' && *text <= 'Z' ? char(*text - 'A' + 'a') : *text);
    return out;
}

} // namespace

BOOL OpenClipboard(HWND owner)
{
    Store& s = TheStore();
    std::lock_guard<std::mutex> guard(s.lock);
    if (s.open && s.opener != owner)
        return FALSE;
    s.open = true;
    s.opener = owner;
    return TRUE;
}

BOOL CloseClipboard()
{
    Store& s = TheStore();
    std::lock_guard<std::mutex> guard(s.lock);
    if (!s.open)
        return FALSE;
    s.open = false;
    s.opener = nullptr;
    return TRUE;
}

BOOL EmptyClipboard()
{
    Store& s = TheStore();
    std::lock_guard<std::mutex> guard(s.lock);
    if (!s.open)
        return FALSE;
    s.FreeAll();
    s.owner = s.opener;
    W32_TheBackend().ClipboardOwned(nullptr);
    return TRUE;
}

HANDLE SetClipboardData(UINT format, HANDLE data)
{
    Store& s = TheStore();
    std::lock_guard<std::mutex> guard(s.lock);
    if (!s.open || format == 0 || data == nullptr || GlobalSize(data) == 0)
        return nullptr;
    auto found = s.blocks.find(format);
    if (found != s.blocks.end() && found->second != data)
        GlobalFree(found->second);
    s.blocks[format] = data;
    if (format == CF_TEXT) {
        const char* text = static_cast<const char*>(GlobalLock(data));
        SIZE_T size = GlobalSize(data);
        std::string copy(text, text + strnlen(text, size));
        GlobalUnlock(data);
        W32_TheBackend().ClipboardOwned(copy.c_str());
    }
    return data;
}

HANDLE GetClipboardData(UINT format)
{
    Store& s = TheStore();
    std::lock_guard<std::mutex> guard(s.lock);
    if (!s.open)
        return nullptr;
    // Text another program holds now (under X11, the CLIPBOARD selection's
    // owner) takes the place of what the store kept.
    std::string text;
    if (format == CF_TEXT && W32_TheBackend().ClipboardText(text)) {
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
        if (block != nullptr) {
            char* bytes = static_cast<char*>(GlobalLock(block));
            std::memcpy(bytes, text.c_str(), text.size() + 1);
            GlobalUnlock(block);
            auto old = s.blocks.find(format);
            if (old != s.blocks.end())
                GlobalFree(old->second);
            s.blocks[format] = block;
            return block;
        }
    }
    auto found = s.blocks.find(format);
    return found == s.blocks.end() ? nullptr : found->second;
}

BOOL IsClipboardFormatAvailable(UINT format)
{
    Store& s = TheStore();
    std::lock_guard<std::mutex> guard(s.lock);
    if (s.blocks.count(format) != 0)
        return TRUE;
    std::string text;
    return format == CF_TEXT && W32_TheBackend().ClipboardText(text) ? TRUE : FALSE;
}

UINT RegisterClipboardFormatA(LPCSTR name)
{
    if (name == nullptr || *name == '\0')
        return 0;
    Store& s = TheStore();
    std::lock_guard<std::mutex> guard(s.lock);
    std::string key = Lower(name);
    for (size_t i = 0; i < s.formats.size(); ++i)
        if (s.formats[i] == key)
            return UINT(0xC000u + i);
    if (s.formats.size() >= 0x4000u)
        return 0;
    s.formats.push_back(key);
    return UINT(0xC000u + s.formats.size() - 1);
}

HWND GetOpenClipboardWindow()
{
    Store& s = TheStore();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.open ? s.opener : nullptr;
}
