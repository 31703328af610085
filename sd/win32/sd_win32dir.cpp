#include "sd/win32/sd_win32dir.h"

#include "si/array.h"
#include "si/classfactory.h"
#include "si/error.h"
#include "si/ifilefilter.h"
#include "si/memzone.h"
#include "si/object.h"

#include <cstring>
#include <new>
#include <string>

namespace {

struct Registration {
    Registration() { Zuvi_FileDir::RegisterClassAllocator(&Zuvi_Win32Dir::Allocate, "file"); }
} registration;

} // namespace

Zuvi_FileDir* Zuvi_Win32Dir::Allocate(ZuMemZone* zone)
{
    if (zone == nullptr)
        return nullptr;
    void* block = zone->Alloc(sizeof(Zuvi_Win32Dir), "Zuvi_Win32Dir", __LINE__, ZU_SRC_FILE);
    if (block == nullptr)
        return nullptr;
    return ::new (block) Zuvi_Win32Dir();
}

Zuvi_Win32Dir::Zuvi_Win32Dir() : find(INVALID_HANDLE_VALUE), is_open(false), pending(false)
{
    std::memset(&record, 0, sizeof record);
}

Zuvi_Win32Dir::~Zuvi_Win32Dir()
{
    if (find != INVALID_HANDLE_VALUE)
        FindClose(find);
}

bool Zuvi_Win32Dir::Open(const char* path)
{
    Close();
    // "$drives$" (with or without leading "/") is the root of the file
    // system; other paths are converted as they stand.
    const char* p = path;
    while (*p == '/')
        ++p;
    char os[ZUVI_PATH_MAX];
    if (std::strcmp(p, "$drives$") == 0)
        std::strcpy(os, "/");
    else if (!Zuvi_ConvertToOSName(path, os))
        return false;
    std::string pattern(os);
    if (!pattern.empty() && pattern.back() != '/')
        pattern += '/';
    pattern += '*';
    find = FindFirstFileA(pattern.c_str(), &record);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    pending = true;
    is_open = true;
    return true;
}

bool Zuvi_Win32Dir::Close()
{
    is_open = false;
    pending = false;
    if (find == INVALID_HANDLE_VALUE)
        return false;
    FindClose(find);
    find = INVALID_HANDLE_VALUE;
    return true;
}

bool Zuvi_Win32Dir::ReadEntry(ZuStringRef& name, ZuFileAttInfo& info)
{
    if (find == INVALID_HANDLE_VALUE)
        return false;
    for (;;) {
        if (pending) {
            pending = false;
        } else if (!FindNextFileA(find, &record)) {
            return false;
        }
        if (std::strcmp(record.cFileName, ".") != 0 && std::strcmp(record.cFileName, "..") != 0)
            break;
    }
    Zuvi_FillFileAttInfo(record, info);
    if (name.IsValid())
        name->SetString(record.cFileName);
    else
        name = record.cFileName;
    return true;
}

bool Zuvi_Win32Dir::ReadAll(const ZuObjectRef& filter_object, const ZuObjectRef& sort,
                            ZuStringArray& names, Zuvi_SimpleArrayNone<ZuFileAttInfo>& infos)
{
    const ZuiFileFilter* filter = nullptr;
    if (filter_object.IsValid())
        filter = static_cast<const ZuiFileFilter*>(
            filter_object.Resolve()->CastToInterface(&ZuiFileFilter::interface));

    names = ZuStringArray(static_cast<ZuArray*>(
        ZuClassFactory::New(ZuArrayRef::RetRuntime(), Zuvi_app_zone, __LINE__, ZU_SRC_FILE)));
    names->SetAutoGrowIncrement(100);
    infos.Resize(0);
    infos.SetGrowStep(100);

    unsigned count = 0, directories = 0;
    ZuStringRef name;
    ZuFileAttInfo info;
    while (ReadEntry(name, info)) {
        if (filter != nullptr && !filter->Check(name, info))
            continue;
        if (info.attributes.TestBit(ZU_FATT_DIRECTORY)) {
            // After the directories kept so far, in both lists.
            names->Insert(directories, 1);
            names[directories] = name;
            infos.Resize(count + 1);
            for (unsigned k = count; k > directories; --k)
                infos[k] = infos[k - 1];
            infos[directories] = info;
            ++directories;
        } else {
            names->SetSize(count + 1);
            names[count] = name;
            infos.Resize(count + 1);
            infos[count] = info;
        }
        ++count;
        name = ZuStringNull; // each stored name is a string of its own
    }
    names->SetSize(count);
    infos.Resize(count);
    Zuvi_FileDir::Sort(sort, names, infos);
    return true;
}
