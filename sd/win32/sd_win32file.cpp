#include "sd/win32/sd_win32file.h"

#include "si/error.h"
#include "si/memzone.h"
#include "si/new.h"
#include "w32/file.h"

#include <cstring>
#include <new>

Zuvi_Win32File::Zuvi_Win32File(bool shared_section)
    : shared_section(shared_section), desc(nullptr), view_address(nullptr), view_size(0),
      mapping(nullptr)
{}

Zuvi_Win32File::~Zuvi_Win32File() {}

namespace {

template <bool Section>
Zuvi_File* Allocate(ZuMemZone* zone)
{
    if (zone == nullptr)
        return nullptr;
    void* block = zone->Alloc(sizeof(Zuvi_Win32File), "Zuvi_Win32File", __LINE__, ZU_SRC_FILE);
    if (block == nullptr)
        return nullptr;
    return ::new (block) Zuvi_Win32File(Section);
}

bool IsHandle(HANDLE h)
{
    return h != nullptr && h != INVALID_HANDLE_VALUE;
}

struct Registration {
    Registration()
    {
        Zuvi_File::RegisterClassAllocator(&Zuvi_Win32File::AllocateFile, "file");
        Zuvi_File::RegisterClassAllocator(&Zuvi_Win32File::AllocateSection, "mmap");
    }
} registration;

} // namespace

Zuvi_File* Zuvi_Win32File::AllocateFile(ZuMemZone* zone)
{
    return Allocate<false>(zone);
}

Zuvi_File* Zuvi_Win32File::AllocateSection(ZuMemZone* zone)
{
    return Allocate<true>(zone);
}

bool Zuvi_Win32File::Open(const char* path, const Zuvi_FileOpenModes& open_modes)
{
    char os[ZUVI_PATH_MAX];
    if (!Zuvi_ConvertToOSName(path, os) || os[0] == '\0')
        return false;
    DWORD access = 0;
    if (open_modes.TestBit(ZU_FOPEN_READ))
        access |= GENERIC_READ;
    if (open_modes.TestBit(ZU_FOPEN_WRITE) || open_modes.TestBit(ZU_FOPEN_APPEND))
        access |= GENERIC_WRITE;
    DWORD creation = OPEN_EXISTING;
    if (open_modes.TestBit(ZU_FOPEN_CREATE))
        creation = OPEN_ALWAYS;
    if (open_modes.TestBit(ZU_FOPEN_TRUNCATE))
        creation = open_modes.TestBit(ZU_FOPEN_CREATE) ? CREATE_ALWAYS : TRUNCATE_EXISTING;
    DWORD flags = FILE_ATTRIBUTE_NORMAL;
    if (open_modes.TestBit(ZU_FOPEN_WRITE_THROUGH))
        flags |= FILE_FLAG_WRITE_THROUGH;
    if (open_modes.TestBit(ZU_FOPEN_DELETE_ON_CLOSE))
        flags |= FILE_FLAG_DELETE_ON_CLOSE;

    if (!shared_section) {
        // A file opened only for reading lets other readers in: two programs
        // (or two library instances) reading the same sheet or sample file at
        // once must both succeed. Writers stay exclusive, so nobody reads a
        // file while it is being written and nobody writes one being read.
        const bool read_only = access == GENERIC_READ && creation == OPEN_EXISTING &&
                               !open_modes.TestBit(ZU_FOPEN_DELETE_ON_CLOSE);
        const DWORD share = read_only ? FILE_SHARE_READ : 0;
        HANDLE h = CreateFileA(os, access, share, nullptr, creation, flags, nullptr);
        if (h == INVALID_HANDLE_VALUE)
            return false;
        desc = h;
    } else {
        DWORD map_access = FILE_MAP_READ;
        if (open_modes.TestBit(ZU_FOPEN_WRITE))
            map_access = FILE_MAP_ALL_ACCESS;
        if (open_modes.TestBit(ZU_FOPEN_COPY_ON_WRITE))
            map_access = FILE_MAP_COPY;
        HANDLE h = OpenFileMappingA(map_access, TRUE, os);
        if (h != nullptr) {
            desc = h;
            mapping = h;
        } else if (open_modes.TestBit(ZU_FOPEN_CREATE)) {
            desc = INVALID_HANDLE_VALUE; // made in shared memory when mapped
        } else {
            return false;
        }
    }
    if (open_modes.TestBit(ZU_FOPEN_APPEND) && IsHandle(desc) && !shared_section) {
        LARGE_INTEGER zero{0};
        SetFilePointerEx(desc, zero, nullptr, FILE_END);
    }
    modes = open_modes;
    return true;
}

bool Zuvi_Win32File::Close()
{
    if (view_address != nullptr)
        UnmapSharedMemory();
    bool ok = true;
    if (mapping != nullptr && mapping != desc)
        CloseHandle(mapping);
    mapping = nullptr;
    if (IsHandle(desc) && !CloseHandle(desc))
        ok = false;
    desc = nullptr;
    return ok;
}

unsigned Zuvi_Win32File::Read(void* data, unsigned size)
{
    ZU_ASSERT(this->desc);
    DWORD done = 0;
    if (!ReadFile(desc, data, size, &done, nullptr))
        return 0;
    return done;
}

unsigned Zuvi_Win32File::Write(const void* data, unsigned size)
{
    ZU_ASSERT(this->desc);
    DWORD done = 0;
    if (!WriteFile(desc, data, size, &done, nullptr))
        return 0;
    return done;
}

bool Zuvi_Win32File::Skip(int64_t offset)
{
    LARGE_INTEGER distance{offset};
    return SetFilePointerEx(desc, distance, nullptr, FILE_CURRENT) != FALSE;
}

bool Zuvi_Win32File::Seek(int64_t offset)
{
    LARGE_INTEGER distance{offset};
    if (offset >= 0)
        return SetFilePointerEx(desc, distance, nullptr, FILE_BEGIN) != FALSE;
    // -1 is the end itself: the distance from the end is offset + 1.
    distance.QuadPart = offset + 1;
    return SetFilePointerEx(desc, distance, nullptr, FILE_END) != FALSE;
}

int64_t Zuvi_Win32File::RetPos()
{
    LARGE_INTEGER zero{0}, pos{0};
    if (!SetFilePointerEx(desc, zero, &pos, FILE_CURRENT))
        ZU_ABORT("Failed assertion: offset != 0xFFFFFFFF");
    return pos.QuadPart;
}

uint64_t Zuvi_Win32File::RetSize()
{
    LARGE_INTEGER size{0};
    if (!GetFileSizeEx(desc, &size))
        return 0;
    return static_cast<uint64_t>(size.QuadPart);
}

bool Zuvi_Win32File::Truncate()
{
    return SetEndOfFile(desc) != FALSE;
}

bool Zuvi_Win32File::Resize(int64_t size)
{
    LARGE_INTEGER to{size};
    if (!SetFilePointerEx(desc, to, nullptr, FILE_BEGIN))
        return false;
    return SetEndOfFile(desc) != FALSE;
}

bool Zuvi_Win32File::Synchronise()
{
    return FlushFileBuffers(desc) != FALSE;
}

void* Zuvi_Win32File::MapSharedMemory(int64_t offset, unsigned size, const ZuStringRef& name)
{
    char section[ZUVI_PATH_MAX];
    const char* section_name = nullptr;
    if (name.IsValid()) {
        char text[ZUVI_PATH_MAX];
        if (!name->GetStringCopy(text, sizeof text) || !Zuvi_ConvertToOSName(text, section))
            return nullptr;
        section_name = std::strncmp(section, "mmap:", 5) == 0 ? section + 5 : section;
    }
    DWORD protect = PAGE_READONLY, access = FILE_MAP_READ;
    if (modes.TestBit(ZU_FOPEN_WRITE)) {
        protect = PAGE_READWRITE;
        access = FILE_MAP_ALL_ACCESS;
    }
    if (modes.TestBit(ZU_FOPEN_COPY_ON_WRITE)) {
        protect = PAGE_WRITECOPY;
        access = FILE_MAP_COPY;
    }
    if (desc == nullptr)
        return nullptr;
    uint64_t at = static_cast<uint64_t>(offset);
    if (mapping == nullptr) {
        // Large enough for the view asked for.
        uint64_t span = at + size;
        mapping = CreateFileMappingA(desc, nullptr, protect, static_cast<DWORD>(span >> 32),
                                     static_cast<DWORD>(span & 0xFFFFFFFFu), section_name);
        if (mapping == nullptr)
            return nullptr;
    }
    void* address = MapViewOfFile(mapping, access, static_cast<DWORD>(at >> 32),
                                  static_cast<DWORD>(at & 0xFFFFFFFFu), size);
    if (address == nullptr)
        return nullptr;
    if (view_address != nullptr)
        UnmapViewOfFile(view_address);
    view_address = address;
    view_size = size;
    return address;
}

bool Zuvi_Win32File::UnmapSharedMemory()
{
    if (!UnmapViewOfFile(view_address))
        return false;
    view_address = nullptr;
    view_size = 0;
    return true;
}

bool Zuvi_Win32File::SynchroniseSharedMemory(void* address, unsigned size)
{
    return FlushViewOfFile(address, size) != FALSE;
}
