#include "sd/win32/sd_win32clipboard.h"

#include "si/error.h"
#include "si/memzone.h"
#include "w32/clipboard.h"
#include "w32/kernel.h"

#include <cstring>
#include <new>

namespace {

const char kFile[] = "sd/win32/sd_win32clipboard";

// Shared by all clipboard objects: the window that holds the clipboard (a
// plain handle until windows exist: the "*** Zuvi_Win32Clipboard ***" tool
// window), the number of the stream format, the number of objects that hold
// the clipboard open and whether a writing transaction is open.
struct ClipboardShared {
    HWND window;
    UINT stream_format;
    unsigned open_count;
    unsigned writer_count;
};
ClipboardShared shared;
char window_token;

void ResetCounts()
{
    shared.open_count = 0;
    shared.writer_count = 0;
}

struct Registration {
    Registration()
    {
        Zuvi_File::RegisterClassAllocator(&Zuvi_Win32Clipboard::Allocate, "clipboard");
    }
} registration;

} // namespace

Zuvi_Win32Clipboard::Zuvi_Win32Clipboard()
    : state(CLOSED), position(0), format(0), data_block(nullptr), size(0), read_copy(nullptr)
{
    if (shared.window == nullptr) {
        shared.window = reinterpret_cast<HWND>(&window_token);
        shared.stream_format = RegisterClipboardFormatA("Zuvi-1.0-stream");
    }
}

Zuvi_Win32Clipboard::~Zuvi_Win32Clipboard()
{
    if (data_block != nullptr)
        GlobalFree(data_block);
    if (read_copy != nullptr)
        Zuvi_app_zone->Free(read_copy, __LINE__, kFile);
}

Zuvi_File* Zuvi_Win32Clipboard::Allocate(ZuMemZone* zone)
{
    if (zone == nullptr)
        return nullptr;
    void* block = zone->Alloc(sizeof(Zuvi_Win32Clipboard), "Zuvi_Win32Clipboard", __LINE__, kFile);
    if (block == nullptr)
        return nullptr;
    return ::new (block) Zuvi_Win32Clipboard();
}

bool Zuvi_Win32Clipboard::Open(const char* path, const Zuvi_FileOpenModes& open_modes)
{
    const bool read = open_modes.TestBit(ZU_FOPEN_READ);
    const bool write = open_modes.TestBit(ZU_FOPEN_WRITE);
    const bool create = open_modes.TestBit(ZU_FOPEN_CREATE);
    const bool append = open_modes.TestBit(ZU_FOPEN_APPEND);
    const bool truncate = open_modes.TestBit(ZU_FOPEN_TRUNCATE);
    if (state != CLOSED || (read && write) || path == nullptr)
        return false;
    UINT new_format;
    if (std::strcmp(path, "stream") == 0 || std::strcmp(path, "stream-1.0") == 0)
        new_format = shared.stream_format;
    else if (std::strcmp(path, "latin-text") == 0)
        new_format = CF_TEXT;
    else if (std::strcmp(path, "unicode-text") == 0)
        new_format = CF_UNICODETEXT;
    else
        return false;

    enum { READING, NEW_TRANSACTION, FURTHER_FORMAT } action;
    if (read && shared.open_count == 0)
        action = READING;
    else if (write && create && truncate && !append && shared.open_count == 0)
        action = NEW_TRANSACTION;
    else if (write && append && !truncate && shared.writer_count != 0)
        action = FURTHER_FORMAT;
    else
        return false;

    if (shared.open_count == 0) {
        bool opened = false;
        for (int attempt = 0; attempt < 11 && !opened; ++attempt) {
            opened = OpenClipboard(shared.window) != FALSE;
            if (!opened)
                Sleep(100);
        }
        if (!opened)
            return false;
    }
    ++shared.open_count;
    format = new_format;
    position = 0;
    size = 0;

    switch (action) {
    case NEW_TRANSACTION:
        if (!EmptyClipboard()) {
            CloseClipboard();
            ResetCounts();
            return false;
        }
        ++shared.writer_count;
        state = WRITE_FIRST;
        break;
    case FURTHER_FORMAT:
        state = WRITE_FURTHER;
        break;
    case READING: {
        // The data is copied whole and the clipboard closed at once; the
        // clipboard is closed too when it holds nothing in the format.
        HANDLE data = GetClipboardData(format);
        SIZE_T const bytes = data != nullptr ? GlobalSize(data) : 0;
        const void* source = data != nullptr ? GlobalLock(data) : nullptr;
        bool ok = source != nullptr && bytes <= 0xFFFFFFFFu;
        if (ok) {
            read_copy = Zuvi_app_zone->Alloc(unsigned(bytes), "ClipboardData", __LINE__, kFile);
            std::memcpy(read_copy, source, bytes);
            size = uint32_t(bytes);
        }
        if (source != nullptr)
            GlobalUnlock(data);
        CloseClipboard();
        ResetCounts();
        if (!ok)
            return false;
        state = READ;
        break;
    }
    }
    modes = open_modes;
    return true;
}

bool Zuvi_Win32Clipboard::Close()
{
    if (shared.open_count == 0) {
        if (state != READ)
            state = CLOSED;
        return true;
    }
    if (shared.writer_count != 0 && data_block != nullptr && size >= 1) {
        if (SetClipboardData(format, data_block) != nullptr)
            data_block = nullptr;
    }
    if (state == WRITE_LAST) {
        CloseClipboard();
        ResetCounts();
    } else {
        --shared.open_count;
    }
    if (state != READ)
        state = CLOSED;
    return true;
}

unsigned Zuvi_Win32Clipboard::Read(void* data, unsigned count)
{
    if (state != READ || data == nullptr)
        return 0;
    if (position >= int64_t(size))
        return 0;
    uint64_t n = uint64_t(size) - uint64_t(position);
    if (n > count)
        n = count;
    std::memcpy(data, static_cast<char*>(read_copy) + position, size_t(n));
    position += int64_t(n);
    return unsigned(n);
}

unsigned Zuvi_Win32Clipboard::Write(const void* data, unsigned count)
{
    if (!Writing() || (data == nullptr && count != 0))
        return 0;
    const uint64_t end = uint64_t(position) + count;
    if (end > 0xFFFFFFFFu)
        return 0;
    if (end > size && !Resize(int64_t(end)))
        return 0;
    if (count == 0)
        return 0;
    void* bytes = GlobalLock(data_block);
    if (bytes == nullptr)
        return 0;
    std::memcpy(static_cast<char*>(bytes) + position, data, count);
    position += count;
    GlobalUnlock(data_block);
    return count;
}

bool Zuvi_Win32Clipboard::Resize(int64_t new_size)
{
    if (!Writing() || new_size < 0 || new_size > int64_t(0xFFFFFFFFu))
        return false;
    if (uint64_t(new_size) == size)
        return true;
    if (data_block != nullptr) {
        HGLOBAL moved = GlobalReAlloc(data_block, SIZE_T(new_size), GMEM_MOVEABLE | GMEM_ZEROINIT);
        if (moved == nullptr)
            return false;
        data_block = moved;
    } else {
        data_block = GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE | GMEM_ZEROINIT, SIZE_T(new_size));
        if (data_block == nullptr)
            return false;
    }
    size = uint32_t(new_size);
    if (position > int64_t(size))
        position = size;
    return true;
}

void Zuvi_Win32Clipboard::MoveTo(int64_t target)
{
    if (target < 0)
        target = 0;
    if (target > int64_t(size))
        target = size;
    position = target;
}

bool Zuvi_Win32Clipboard::Seek(int64_t offset)
{
    const uint64_t high = (uint64_t(offset) >> 32) & 0xFFFFFFFFu;
    if (high != 0 && high != 0xFFFFFFFFu)
        ZU_ABORT("Failed assertion: (((offset >> 32) & MASK_32) == 0) || "
                 "(((offset >> 32) & MASK_32) == MASK_32)");
    MoveTo(offset >= 0 ? offset : int64_t(size) + 1 + offset);
    return true;
}

// The target is counted from the position itself, so that a step back
// before the start stops at the start instead of counting from the end.
bool Zuvi_Win32Clipboard::Skip(int64_t offset)
{
    MoveTo(position + offset);
    return true;
}

int64_t Zuvi_Win32Clipboard::RetPos()
{
    return position;
}

uint64_t Zuvi_Win32Clipboard::RetSize()
{
    return size;
}

bool Zuvi_Win32Clipboard::Truncate()
{
    if (!Writing())
        return false;
    return Resize(position);
}

bool Zuvi_Win32Clipboard::Synchronise()
{
    if (state != WRITE_FIRST && state != WRITE_FURTHER)
        return false;
    state = WRITE_LAST;
    return true;
}
