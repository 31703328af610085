#include "w32/file.h"

#include "w32/pipe.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <map>
#include <mutex>
#include <string>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// An open file: its descriptor, and its name when it is to be deleted on
// closing.
class FileObject : public W32_KernelObject {
public:
    int fd = -1;
    bool delete_on_close = false;
    std::string name;

    bool Release() override
    {
        bool ok = true;
        if (delete_on_close)
            ::unlink(name.c_str());
        if (fd >= 0 && ::close(fd) != 0)
            ok = false;
        fd = -1;
        return ok;
    }
    int Kind() const override { return W32_KIND_FILE; }
};

// A section: a descriptor of its own (a duplicate of the file's, a shared
// memory object, or an anonymous memory file), its size and its protection.
class MappingObject : public W32_KernelObject {
public:
    int fd = -1;
    uint64_t size = 0;
    DWORD protect = PAGE_READONLY;
    std::string shm_name; // set when this handle created the named object

    bool Release() override
    {
        if (!shm_name.empty())
            ::shm_unlink(shm_name.c_str());
        bool ok = fd < 0 || ::close(fd) == 0;
        fd = -1;
        return ok;
    }
    int Kind() const override { return W32_KIND_MAPPING; }
};

FileObject* AsFile(HANDLE h)
{
    return static_cast<FileObject*>(W32_KernelObject::FromHandle(h, W32_KIND_FILE));
}

MappingObject* AsMapping(HANDLE h)
{
    return static_cast<MappingObject*>(W32_KernelObject::FromHandle(h, W32_KIND_MAPPING));
}

// The views mapped so far: the address handed out, with the page-aligned
// block that really was mapped.
struct View {
    void* base;
    size_t length;
};
std::mutex views_mutex;
std::map<const void*, View>& Views()
{
    static std::map<const void*, View> views;
    return views;
}

// Shared-memory object names have one leading "/" and no other; long or odd
// logical names are folded into a hash.
std::string ShmName(const char* name)
{
    std::string out = "/zuvi-" + std::to_string(::getuid()) + "-";
    std::string logical(name);
    bool plain = logical.size() <= 120;
    for (char c : logical)
        if (c == '/' || c == '\\' || c == '\0')
            plain = false;
    if (plain)
        return out + logical;
    uint64_t h = 1469598103934665603ull;
    for (unsigned char c : logical) {
        h ^= c;
        h *= 1099511628211ull;
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(h));
    return out + "h" + hex;
}

const uint64_t kEpochDelta = 11644473600ull; // seconds from 1601 to 1970

uint64_t FileTimeValue(const FILETIME* ft)
{
    return (static_cast<uint64_t>(ft->dwHighDateTime) << 32) | ft->dwLowDateTime;
}

void SetFileTimeValue(FILETIME* ft, uint64_t v)
{
    ft->dwLowDateTime = static_cast<DWORD>(v & 0xFFFFFFFFu);
    ft->dwHighDateTime = static_cast<DWORD>(v >> 32);
}

} // namespace

// ---- Files -------------------------------------------------------------------

HANDLE CreateFileA(LPCSTR name, DWORD access, DWORD share, void*, DWORD creation, DWORD flags,
                   HANDLE)
{
    if (name == nullptr || *name == '\0')
        return INVALID_HANDLE_VALUE;
    // Pipe names ignore case, as the pipe calls do.
    if (::strncasecmp(name, W32_PIPE_PREFIX, sizeof(W32_PIPE_PREFIX) - 1) == 0)
        return W32_PipeOpenClient(name);
    bool want_read = (access & GENERIC_READ) != 0;
    bool want_write = (access & GENERIC_WRITE) != 0;
    int oflags = O_CLOEXEC;
    if (want_read && want_write)
        oflags |= O_RDWR;
    else if (want_write)
        oflags |= O_WRONLY;
    else
        oflags |= O_RDONLY;
    bool truncate = false;
    switch (creation) {
    case CREATE_NEW:
        oflags |= O_CREAT | O_EXCL;
        break;
    case CREATE_ALWAYS:
        oflags |= O_CREAT;
        truncate = true;
        break;
    case OPEN_EXISTING:
        break;
    case OPEN_ALWAYS:
        oflags |= O_CREAT;
        break;
    case TRUNCATE_EXISTING:
        if (!want_write)
            return INVALID_HANDLE_VALUE;
        truncate = true;
        break;
    default:
        return INVALID_HANDLE_VALUE;
    }
    if (flags & FILE_FLAG_WRITE_THROUGH)
        oflags |= O_DSYNC;

    // Opened without waiting: a named pipe of the file system would hold
    // the caller in open() until some other process opened its other end.
    // Once open, the descriptor waits again as any file's does; a pipe that
    // nobody writes to then reads as an empty file.
    int fd;
    do
        fd = ::open(name, oflags | O_NONBLOCK, 0666);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return INVALID_HANDLE_VALUE;

    struct stat st;
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode) ||
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return INVALID_HANDLE_VALUE;
    }
    int lock = share == 0 ? LOCK_EX : LOCK_SH;
    if (::flock(fd, lock | LOCK_NB) != 0) {
        ::close(fd);
        return INVALID_HANDLE_VALUE;
    }
    if (truncate && want_write && ::ftruncate(fd, 0) != 0) {
        ::close(fd);
        return INVALID_HANDLE_VALUE;
    }
    FileObject* file = new FileObject;
    file->fd = fd;
    if (flags & FILE_FLAG_DELETE_ON_CLOSE) {
        file->delete_on_close = true;
        file->name = name;
    }
    return file;
}

BOOL ReadFile(HANDLE h, LPVOID data, DWORD size, DWORD* done, void*)
{
    if (W32_KernelObject::FromHandle(h, W32_KIND_PIPE))
        return W32_PipeRead(h, data, size, done);
    if (done)
        *done = 0;
    FileObject* file = AsFile(h);
    if (file == nullptr || (data == nullptr && size != 0))
        return FALSE;
    DWORD total = 0;
    while (total < size) {
        ssize_t n = ::read(file->fd, static_cast<char*>(data) + total, size - total);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (done)
                *done = total;
            return FALSE;
        }
        if (n == 0)
            break; // end of the file
        total += static_cast<DWORD>(n);
    }
    if (done)
        *done = total;
    return TRUE;
}

BOOL WriteFile(HANDLE h, LPCVOID data, DWORD size, DWORD* done, void*)
{
    if (W32_KernelObject::FromHandle(h, W32_KIND_PIPE))
        return W32_PipeWrite(h, data, size, done);
    if (done)
        *done = 0;
    FileObject* file = AsFile(h);
    if (file == nullptr || (data == nullptr && size != 0))
        return FALSE;
    DWORD total = 0;
    while (total < size) {
        ssize_t n = ::write(file->fd, static_cast<const char*>(data) + total, size - total);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (done)
                *done = total;
            return FALSE;
        }
        total += static_cast<DWORD>(n);
    }
    if (done)
        *done = total;
    return TRUE;
}

BOOL SetFilePointerEx(HANDLE h, LARGE_INTEGER distance, LARGE_INTEGER* new_pos, DWORD method)
{
    FileObject* file = AsFile(h);
    if (file == nullptr)
        return FALSE;
    int whence;
    switch (method) {
    case FILE_BEGIN:
        whence = SEEK_SET;
        break;
    case FILE_CURRENT:
        whence = SEEK_CUR;
        break;
    case FILE_END:
        whence = SEEK_END;
        break;
    default:
        return FALSE;
    }
    off_t pos = ::lseek(file->fd, static_cast<off_t>(distance.QuadPart), whence);
    if (pos < 0)
        return FALSE; // EINVAL for a position before the start
    if (new_pos)
        new_pos->QuadPart = pos;
    return TRUE;
}

BOOL GetFileSizeEx(HANDLE h, LARGE_INTEGER* size)
{
    FileObject* file = AsFile(h);
    struct stat st;
    if (file == nullptr || size == nullptr || ::fstat(file->fd, &st) != 0)
        return FALSE;
    size->QuadPart = st.st_size;
    return TRUE;
}

BOOL SetEndOfFile(HANDLE h)
{
    FileObject* file = AsFile(h);
    if (file == nullptr)
        return FALSE;
    off_t pos = ::lseek(file->fd, 0, SEEK_CUR);
    if (pos < 0)
        return FALSE;
    return ::ftruncate(file->fd, pos) == 0 ? TRUE : FALSE;
}

BOOL FlushFileBuffers(HANDLE h)
{
    // Pipe messages leave with each write: nothing to flush.
    if (W32_KernelObject::FromHandle(h, W32_KIND_PIPE))
        return W32_PipeDescriptor(h) >= 0;
    FileObject* file = AsFile(h);
    if (file == nullptr)
        return FALSE;
    return ::fsync(file->fd) == 0 ? TRUE : FALSE;
}

// ---- Sections ----------------------------------------------------------------

HANDLE CreateFileMappingA(HANDLE file_handle, void*, DWORD protect, DWORD size_high, DWORD size_low,
                          LPCSTR name)
{
    uint64_t size = (static_cast<uint64_t>(size_high) << 32) | size_low;
    bool writable = protect == PAGE_READWRITE;
    MappingObject* map = new MappingObject;
    map->protect = protect;
    if (file_handle == INVALID_HANDLE_VALUE) {
        if (size == 0) {
            delete map;
            return nullptr;
        }
        int fd;
        if (name != nullptr && *name != '\0') {
            std::string shm = ShmName(name);
            fd = ::shm_open(shm.c_str(), O_RDWR | O_CREAT | O_EXCL, 0600);
            if (fd >= 0) {
                map->shm_name = shm;
            } else if (errno == EEXIST) {
                fd = ::shm_open(shm.c_str(), O_RDWR, 0600);
            }
        } else {
            fd = ::memfd_create("zuvi-section", MFD_CLOEXEC);
        }
        if (fd < 0) {
            delete map;
            return nullptr;
        }
        map->fd = fd;
        struct stat st;
        if (::fstat(fd, &st) != 0) {
            CloseHandle(map);
            return nullptr;
        }
        if (static_cast<uint64_t>(st.st_size) < size &&
            ::ftruncate(fd, static_cast<off_t>(size)) != 0) {
            CloseHandle(map);
            return nullptr;
        }
        map->size =
            size > static_cast<uint64_t>(st.st_size) ? size : static_cast<uint64_t>(st.st_size);
        return map;
    }

    FileObject* file = AsFile(file_handle);
    if (file == nullptr) {
        delete map;
        return nullptr;
    }
    struct stat st;
    if (::fstat(file->fd, &st) != 0) {
        delete map;
        return nullptr;
    }
    uint64_t file_size = static_cast<uint64_t>(st.st_size);
    if (size == 0)
        size = file_size;
    if (size == 0 || (size > file_size && !writable)) {
        delete map;
        return nullptr;
    }
    if (size > file_size && ::ftruncate(file->fd, static_cast<off_t>(size)) != 0) {
        delete map;
        return nullptr;
    }
    map->fd = ::fcntl(file->fd, F_DUPFD_CLOEXEC, 0);
    if (map->fd < 0) {
        delete map;
        return nullptr;
    }
    map->size = size;
    return map;
}

HANDLE OpenFileMappingA(DWORD access, BOOL, LPCSTR name)
{
    if (name == nullptr || *name == '\0')
        return nullptr;
    int fd = ::shm_open(ShmName(name).c_str(), O_RDWR, 0600);
    if (fd < 0)
        return nullptr;
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        ::close(fd);
        return nullptr;
    }
    MappingObject* map = new MappingObject;
    map->fd = fd;
    map->size = static_cast<uint64_t>(st.st_size);
    map->protect = (access & FILE_MAP_WRITE)   ? PAGE_READWRITE
                   : (access == FILE_MAP_COPY) ? PAGE_WRITECOPY
                                               : PAGE_READONLY;
    return map;
}

LPVOID MapViewOfFile(HANDLE h, DWORD access, DWORD offset_high, DWORD offset_low, SIZE_T size)
{
    MappingObject* map = AsMapping(h);
    if (map == nullptr)
        return nullptr;
    uint64_t offset = (static_cast<uint64_t>(offset_high) << 32) | offset_low;
    if (offset >= map->size)
        return nullptr;
    if (size == 0)
        size = static_cast<SIZE_T>(map->size - offset);
    if (size > map->size - offset)
        return nullptr;

    int prot = PROT_READ;
    int flags = MAP_SHARED;
    if (access == FILE_MAP_COPY) {
        prot |= PROT_WRITE;
        flags = MAP_PRIVATE;
    } else if (access & FILE_MAP_WRITE) {
        if (map->protect != PAGE_READWRITE)
            return nullptr;
        prot |= PROT_WRITE;
    }
    uint64_t page = static_cast<uint64_t>(::sysconf(_SC_PAGESIZE));
    uint64_t start = offset - offset % page;
    size_t length = static_cast<size_t>(offset - start) + size;
    void* base = ::mmap(nullptr, length, prot, flags, map->fd, static_cast<off_t>(start));
    if (base == MAP_FAILED)
        return nullptr;
    void* address = static_cast<char*>(base) + (offset - start);
    std::lock_guard<std::mutex> hold(views_mutex);
    Views()[address] = View{base, length};
    return address;
}

BOOL UnmapViewOfFile(LPCVOID address)
{
    View view;
    {
        std::lock_guard<std::mutex> hold(views_mutex);
        auto it = Views().find(address);
        if (it == Views().end())
            return FALSE;
        view = it->second;
        Views().erase(it);
    }
    return ::munmap(view.base, view.length) == 0 ? TRUE : FALSE;
}

BOOL FlushViewOfFile(LPCVOID address, SIZE_T size)
{
    View view;
    {
        std::lock_guard<std::mutex> hold(views_mutex);
        auto it = Views().upper_bound(address);
        if (it == Views().begin())
            return FALSE;
        --it;
        view = it->second;
    }
    const char* a = static_cast<const char*>(address);
    const char* base = static_cast<const char*>(view.base);
    if (a < base || a >= base + view.length)
        return FALSE;
    size_t rest = view.length - static_cast<size_t>(a - base);
    if (size == 0 || size > rest)
        size = rest;
    uint64_t page = static_cast<uint64_t>(::sysconf(_SC_PAGESIZE));
    size_t skip = static_cast<size_t>(a - base) % page;
    char* from = const_cast<char*>(a) - skip;
    return ::msync(from, size + skip, MS_SYNC) == 0 ? TRUE : FALSE;
}

// ---- Directory services ------------------------------------------------------

BOOL DeleteFileA(LPCSTR name)
{
    if (name == nullptr || *name == '\0')
        return FALSE;
    struct stat st;
    if (::lstat(name, &st) != 0 || S_ISDIR(st.st_mode))
        return FALSE;
    return ::unlink(name) == 0 ? TRUE : FALSE;
}

BOOL MoveFileExA(LPCSTR existing, LPCSTR new_name, DWORD flags)
{
    if (existing == nullptr || *existing == '\0' || new_name == nullptr || *new_name == '\0')
        return FALSE;
    struct stat st;
    if (::lstat(existing, &st) != 0 || S_ISDIR(st.st_mode))
        return FALSE;
    if ((flags & MOVEFILE_REPLACE_EXISTING) == 0) {
        // link() refuses an existing name atomically; the old name then goes.
        if (::link(existing, new_name) != 0)
            return FALSE;
        ::unlink(existing);
    } else {
        if (::lstat(new_name, &st) == 0 && S_ISDIR(st.st_mode))
            return FALSE;
        if (::rename(existing, new_name) != 0)
            return FALSE;
    }
    if (flags & MOVEFILE_WRITE_THROUGH) {
        std::string dir(new_name);
        std::string::size_type slash = dir.rfind('/');
        dir = slash == std::string::npos ? std::string(".")
              : slash == 0               ? std::string("/")
                                         : dir.substr(0, slash);
        int fd;
        do
            fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        while (fd < 0 && errno == EINTR);
        if (fd < 0)
            return FALSE;
        bool synced = ::fsync(fd) == 0;
        ::close(fd);
        if (!synced)
            return FALSE;
    }
    return TRUE;
}

BOOL CreateDirectoryA(LPCSTR name, void*)
{
    if (name == nullptr || *name == '\0')
        return FALSE;
    return ::mkdir(name, 0777) == 0 ? TRUE : FALSE;
}

BOOL RemoveDirectoryA(LPCSTR name)
{
    if (name == nullptr || *name == '\0')
        return FALSE;
    return ::rmdir(name) == 0 ? TRUE : FALSE;
}

BOOL SetCurrentDirectoryA(LPCSTR name)
{
    if (name == nullptr || *name == '\0')
        return FALSE;
    return ::chdir(name) == 0 ? TRUE : FALSE;
}

DWORD GetCurrentDirectoryA(DWORD size, LPSTR buffer)
{
    char path[PATH_MAX];
    if (::getcwd(path, sizeof path) == nullptr)
        return 0;
    size_t n = std::strlen(path);
    if (buffer == nullptr || n + 1 > size)
        return static_cast<DWORD>(n + 1);
    std::memcpy(buffer, path, n + 1);
    return static_cast<DWORD>(n);
}

UINT SetErrorMode(UINT mode)
{
    static UINT current = 0;
    UINT old = current;
    current = mode;
    return old;
}

// ---- File times --------------------------------------------------------------

BOOL FileTimeToLocalFileTime(const FILETIME* utc, FILETIME* local)
{
    if (utc == nullptr || local == nullptr)
        return FALSE;
    uint64_t v = FileTimeValue(utc);
    int64_t secs = static_cast<int64_t>(v / 10000000u) - static_cast<int64_t>(kEpochDelta);
    time_t t = static_cast<time_t>(secs);
    struct tm tm;
    if (::localtime_r(&t, &tm) == nullptr)
        return FALSE;
    int64_t shifted = static_cast<int64_t>(v) + static_cast<int64_t>(tm.tm_gmtoff) * 10000000;
    if (shifted < 0)
        return FALSE;
    SetFileTimeValue(local, static_cast<uint64_t>(shifted));
    return TRUE;
}

BOOL FileTimeToSystemTime(const FILETIME* ft, SYSTEMTIME* st)
{
    if (ft == nullptr || st == nullptr)
        return FALSE;
    uint64_t v = FileTimeValue(ft);
    if (v >> 63)
        return FALSE;
    int64_t secs = static_cast<int64_t>(v / 10000000u) - static_cast<int64_t>(kEpochDelta);
    unsigned ms = static_cast<unsigned>((v % 10000000u) / 10000u);
    time_t t = static_cast<time_t>(secs);
    struct tm tm;
    if (::gmtime_r(&t, &tm) == nullptr || tm.tm_year + 1900 > 30827)
        return FALSE;
    st->wYear = static_cast<WORD>(tm.tm_year + 1900);
    st->wMonth = static_cast<WORD>(tm.tm_mon + 1);
    st->wDayOfWeek = static_cast<WORD>(tm.tm_wday);
    st->wDay = static_cast<WORD>(tm.tm_mday);
    st->wHour = static_cast<WORD>(tm.tm_hour);
    st->wMinute = static_cast<WORD>(tm.tm_min);
    st->wSecond = static_cast<WORD>(tm.tm_sec);
    st->wMilliseconds = static_cast<WORD>(ms);
    return TRUE;
}
