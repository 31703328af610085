#include "si/error.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "si/globallock.h"
#include "si/memzone.h"
#include "sd/win32/sd_system.h"

void Zuvi_ErrorAbort(const char* message, int line, const char* file)
{
    Zuvi_ErrorPrint(message, line, file);
    std::abort();
}

void Zuvi_ErrorPrint(const char* message, int line, const char* file)
{
    if (message == nullptr) {
        message = "";
    }
    if (file == nullptr) {
        file = "";
    }
    size_t size = std::strlen(message) + std::strlen(file) + 40;
    std::vector<char> text(size);
    std::snprintf(text.data(), size, "%s:%d:error: %s\n", file, line, message);
    MessageBoxA(nullptr, text.data(), "Error", MB_OK);
}

void Zuvi_DebugString(const char* message, int line, const char* file)
{
    char number[20];
    std::snprintf(number, sizeof number, ":%d: ", line);
    OutputDebugStringA(file != nullptr ? file : "");
    OutputDebugStringA(number);
    OutputDebugStringA(message != nullptr ? message : "");
    OutputDebugStringA("\n");
}

void Zuvi_Trace(const char* format, ...)
{
    char text[1000];
    va_list args;
    va_start(args, format);
    int size = std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (size >= static_cast<int>(sizeof text)) {
        size = -1; // cut: report it as the failure it is
    }
    ZU_ASSERT(size >= 0);
    OutputDebugStringA(text);
}

const char* Zuvi_DebugAboutMemory(const void* address)
{
    static char text[300];
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_MEMORY);
    ZuMemZone* zone = nullptr;
    const char* name = nullptr;
    const char* file = nullptr;
    unsigned line = 0;
    void* base = nullptr;
    if (ZuMemZone::FindZone(address, zone) && zone != nullptr &&
        (base = zone->FindBasePointer(address)) != nullptr &&
        zone->AboutBasePointer(address, name, line, file)) {
        std::snprintf(text, sizeof text, "PTR=%lx/TYPE=%.50s in %d:%.200s",
                      static_cast<unsigned long>(reinterpret_cast<uintptr_t>(base)),
                      name != nullptr ? name : "", static_cast<int>(line),
                      file != nullptr ? file : "");
    } else {
        std::snprintf(text, sizeof text, "unknown address");
    }
    MessageBoxA(nullptr, text, "Debugger: About Memory", MB_OK);
    return text;
}
