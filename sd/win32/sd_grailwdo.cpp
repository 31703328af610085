#include "sd/win32/sd_grailwdo.h"

#include <cstdio>
#include <cstring>

#include "si/maininit.h"
#include "w32/kernel.h"
#include "w32/module.h"

HINSTANCE Zuvi_GrWindowRec::instance = nullptr;
char Zuvi_GrWindowRec::class_name[200] = {};
ATOM Zuvi_GrWindowRec::class_atom = 0;
WNDCLASSEXA Zuvi_GrWindowRec::window_class = {};

void Zuvi_GrWindowRec::FormatClassName(const char* program_path, unsigned long thread,
                                       unsigned long process, char out[200])
{
    const char* path = program_path != nullptr ? program_path : "";
    const char* base = path;
    for (const char* p = path; *p; ++p)
        if (*p == '/' || *p == '\\')
            base = p + 1;
    std::snprintf(out, 200, "%s:%s:%lx:%lx", ZU_GRAIL_CLASS_PREFIX, base, thread, process);
}

void Zuvi_GrWindowRec::GlobalInit(HINSTANCE inst)
{
    instance = inst;
    char path[260];
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    if (n == 0)
        path[0] = '\0';
    FormatClassName(path, GetCurrentThreadId(), GetCurrentProcessId(), class_name);

    std::memset(&window_class, 0, sizeof window_class);
    window_class.cbSize = 48;
    // Every window keeps its own device context; no double clicks, and no
    // repainting of the whole window on a resize.
    window_class.style = CS_OWNDC;
    window_class.lpfnWndProc = GrailWindowProc;
    window_class.cbClsExtra = 0;
    window_class.cbWndExtra = ZU_GRAIL_WORD_BYTES;
    window_class.hInstance = inst;
    window_class.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    window_class.hCursor = nullptr;
    window_class.hbrBackground = nullptr;
    window_class.lpszMenuName = nullptr;
    window_class.lpszClassName = class_name;
    window_class.hIconSm = nullptr;
    class_atom = RegisterClassExA(&window_class);
}

void Zuvi_GrWindowRec::GlobalKill()
{
    UnregisterClassA(class_name, instance);
}

int WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR, int)
{
    if (previous != nullptr)
        return 0;
    Zuvi_GrWindowRec::GlobalInit(instance);
    Zuvi_MainInit();
    Zuvi_GrWindowRec::GlobalKill();
    return 0;
}

ZuGrailWindow* GrailWindowFromHandle(HWND hwnd)
{
    if (hwnd == nullptr)
        return nullptr;
    LONG_PTR object = GetWindowLongPtrA(hwnd, ZU_GRAIL_WORD_OBJECT);
    if (object == 0 || DWORD(GetWindowLongA(hwnd, ZU_GRAIL_WORD_MARKER)) != ZU_GRAIL_MARKER)
        return nullptr;
    return reinterpret_cast<ZuGrailWindow*>(object);
}

LRESULT GrailWindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam)
{
    return DefWindowProcA(hwnd, message, wparam, lparam);
}
