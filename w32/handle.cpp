#include "w32/handle.h"

W32_KernelObject::~W32_KernelObject() {}

W32_KernelObject* W32_KernelObject::FromHandle(HANDLE h, int kind)
{
    if (h == nullptr || h == INVALID_HANDLE_VALUE)
        return nullptr;
    W32_KernelObject* obj = static_cast<W32_KernelObject*>(h);
    return obj->Kind() == kind ? obj : nullptr;
}

BOOL CloseHandle(HANDLE h)
{
    if (h == nullptr || h == INVALID_HANDLE_VALUE)
        return FALSE;
    W32_KernelObject* obj = static_cast<W32_KernelObject*>(h);
    bool ok = obj->Release();
    delete obj;
    return ok ? TRUE : FALSE;
}
