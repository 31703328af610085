#include "w32/dir.h"

#include <cerrno>
#include <cstring>
#include <string>

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class FindObject : public W32_KernelObject {
public:
    DIR* dir = nullptr;
    std::string pattern;

    bool Release() override
    {
        bool ok = dir == nullptr || ::closedir(dir) == 0;
        dir = nullptr;
        return ok;
    }
    int Kind() const override { return W32_KIND_FIND; }
};

const uint64_t kEpochDelta = 11644473600ull;

FILETIME ToFileTime(int64_t sec, uint32_t nsec)
{
    FILETIME ft = {0, 0};
    int64_t s = sec + static_cast<int64_t>(kEpochDelta);
    if (s < 0)
        return ft;
    uint64_t v = static_cast<uint64_t>(s) * 10000000u + nsec / 100u;
    ft.dwLowDateTime = static_cast<DWORD>(v & 0xFFFFFFFFu);
    ft.dwHighDateTime = static_cast<DWORD>(v >> 32);
    return ft;
}

// Describes the entry `name` of the directory `dirfd` (AT_FDCWD: `name` is a
// whole path), following symbolic links; a dangling link describes itself.
bool Describe(int dirfd, const char* name, const char* shown, WIN32_FIND_DATAA* data)
{
    if (std::strlen(shown) >= MAX_PATH)
        return false;
    struct statx sx;
    if (::statx(dirfd, name, AT_STATX_SYNC_AS_STAT, STATX_BASIC_STATS | STATX_BTIME, &sx) != 0 &&
        ::statx(dirfd, name, AT_STATX_SYNC_AS_STAT | AT_SYMLINK_NOFOLLOW,
                STATX_BASIC_STATS | STATX_BTIME, &sx) != 0)
        return false;
    std::memset(data, 0, sizeof *data);
    DWORD att = 0;
    if (S_ISDIR(sx.stx_mode))
        att |= FILE_ATTRIBUTE_DIRECTORY;
    if (shown[0] == '.' && std::strcmp(shown, ".") != 0 && std::strcmp(shown, "..") != 0)
        att |= FILE_ATTRIBUTE_HIDDEN;
    // Read-only: no write permission bit at all, or none that applies to us.
    if ((sx.stx_mode & 0222) == 0 ||
        (::faccessat(dirfd, name, W_OK, AT_EACCESS) != 0 && errno != ENOENT))
        att |= FILE_ATTRIBUTE_READONLY;
    if (att == 0)
        att = FILE_ATTRIBUTE_NORMAL;
    data->dwFileAttributes = att;
    uint64_t size = S_ISDIR(sx.stx_mode) ? 0 : sx.stx_size;
    data->nFileSizeHigh = static_cast<DWORD>(size >> 32);
    data->nFileSizeLow = static_cast<DWORD>(size & 0xFFFFFFFFu);
    data->ftLastWriteTime = ToFileTime(sx.stx_mtime.tv_sec, sx.stx_mtime.tv_nsec);
    data->ftLastAccessTime = ToFileTime(sx.stx_atime.tv_sec, sx.stx_atime.tv_nsec);
    if (sx.stx_mask & STATX_BTIME)
        data->ftCreationTime = ToFileTime(sx.stx_btime.tv_sec, sx.stx_btime.tv_nsec);
    else
        data->ftCreationTime = data->ftLastWriteTime;
    std::strcpy(data->cFileName, shown);
    return true;
}

bool NextMatch(FindObject* find, WIN32_FIND_DATAA* data)
{
    for (;;) {
        errno = 0;
        struct dirent* e = ::readdir(find->dir);
        if (e == nullptr)
            return false;
        // "*.*" is the old spelling of "every entry".
        if (find->pattern != "*.*" && ::fnmatch(find->pattern.c_str(), e->d_name, 0) != 0)
            continue;
        if (Describe(::dirfd(find->dir), e->d_name, e->d_name, data))
            return true;
    }
}

} // namespace

HANDLE FindFirstFileA(LPCSTR pattern, WIN32_FIND_DATAA* data)
{
    if (pattern == nullptr || *pattern == '\0' || data == nullptr)
        return INVALID_HANDLE_VALUE;
    std::string all(pattern);
    size_t slash = all.rfind('/');
    std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : all.substr(0, slash));
    std::string last = slash == std::string::npos ? all : all.substr(slash + 1);
    if (last.empty())
        return INVALID_HANDLE_VALUE;

    if (last.find_first_of("*?") == std::string::npos) {
        // One named entry.
        FindObject* find = new FindObject;
        if (!Describe(AT_FDCWD, pattern, last.c_str(), data)) {
            delete find;
            return INVALID_HANDLE_VALUE;
        }
        return find;
    }
    FindObject* find = new FindObject;
    find->dir = ::opendir(dir.c_str());
    find->pattern = last;
    if (find->dir == nullptr || !NextMatch(find, data)) {
        CloseHandle(find);
        return INVALID_HANDLE_VALUE;
    }
    return find;
}

BOOL FindNextFileA(HANDLE h, WIN32_FIND_DATAA* data)
{
    FindObject* find = static_cast<FindObject*>(W32_KernelObject::FromHandle(h, W32_KIND_FIND));
    if (find == nullptr || find->dir == nullptr || data == nullptr)
        return FALSE;
    return NextMatch(find, data) ? TRUE : FALSE;
}

BOOL FindClose(HANDLE h)
{
    if (W32_KernelObject::FromHandle(h, W32_KIND_FIND) == nullptr)
        return FALSE;
    return CloseHandle(h);
}
