// Zuvi_File: the platform file layer of the library.
//
// An abstract file object that a platform kind implements, a factory that
// opens such objects by path, and the static services on paths in the
// library's syntax (see sd/common/sd_filename.h): expansion of the path
// variables "%Zuvi%", "%app%" and "%font%" into candidate directories, the
// special directories, file properties with a kind atom for display,
// directory and current-directory services, and the path operations
// (splitting, merging, appending, counting, types of file names).
//
// Paths are handled in buffers of ZUVI_PATH_MAX bytes; a path that does not
// fit is refused (false or null), never shortened.
#ifndef SD_COMMON_SD_FILE_H
#define SD_COMMON_SD_FILE_H

#include "sd/common/sd_filename.h"
#include "si/bitset.h"
#include "si/enumfamily.h"
#include "si/fileatt.h"
#include "si/atom.h"
#include "si/string.h"

#include <cstdint>
#include <cstring>

class ZuMemZone;

// clang-format off
#define ZUVI_FILE_OPEN_MODE_BIT_LIST(X)                                         \
    X(ZU_FOPEN_READ, 0) X(ZU_FOPEN_WRITE, 1) X(ZU_FOPEN_CREATE, 2)              \
    X(ZU_FOPEN_APPEND, 3) X(ZU_FOPEN_TRUNCATE, 4) X(ZU_FOPEN_WRITE_THROUGH, 8)  \
    X(ZU_FOPEN_DELETE_ON_CLOSE, 9) X(ZU_FOPEN_COPY_ON_WRITE, 16)
// clang-format on
ZU_ENUM(Zuvi_FileOpenModeBit, ZUVI_FILE_OPEN_MODE_BIT_LIST)

typedef Bitset<Zuvi_FileOpenModeBit> Zuvi_FileOpenModes;

// The special directories.
// clang-format off
#define ZUVI_FILE_TOKEN_LIST(X)                                                 \
    X(ZU_FILE_TOKEN_ZUVI, 1) X(ZU_FILE_TOKEN_APP, 2) X(ZU_FILE_TOKEN_FONT, 3)   \
    X(ZU_FILE_TOKEN_DESKTOP, 100)
// clang-format on
ZU_ENUM(Zuvi_FileToken, ZUVI_FILE_TOKEN_LIST)

// A registry of platform kinds: at most 20 kind names with the allocators
// that make an object of the kind in a zone (null when the zone has no
// memory). Registrations beyond the twentieth are ignored.
template <class T>
struct Zuvi_PfxFunc {
    typedef T* (*Allocator)(ZuMemZone* zone);
    unsigned num;
    Allocator func[20];
    const char* name[20];

    void Register(Allocator allocator, const char* kind)
    {
        if (num < 20) {
            func[num] = allocator;
            name[num] = kind;
            ++num;
        }
    }
    // Exact comparison, in registration order; null for an unknown kind.
    Allocator Find(const char* kind) const
    {
        for (unsigned i = 0; i < num; ++i)
            if (std::strcmp(name[i], kind) == 0)
                return func[i];
        return nullptr;
    }
};

class Zuvi_File {
public:
    virtual ~Zuvi_File();
    // `path` is in library syntax, already expanded.
    virtual bool Open(const char* path, const Zuvi_FileOpenModes& modes) = 0;
    virtual bool Close() = 0;
    virtual unsigned Read(void* data, unsigned size) = 0;
    virtual unsigned Write(const void* data, unsigned size) = 0;
    // Relative to the current position.
    virtual bool Skip(int64_t offset) = 0;
    // Absolute; a negative offset counts back from the end (-1 is the end).
    virtual bool Seek(int64_t offset) = 0;
    virtual int64_t RetPos() = 0;
    virtual uint64_t RetSize() = 0;
    // Cuts the file at the current position. Default: false.
    virtual bool Truncate();
    virtual bool Resize(int64_t size);
    // Flushes to the disk. Default: true (nothing to flush).
    virtual bool Synchronise();
    virtual void* MapSharedMemory(int64_t offset, unsigned size, const ZuStringRef& name);
    virtual bool UnmapSharedMemory();
    virtual bool SynchroniseSharedMemory(void* address, unsigned size);

    // ---- Factory ----

    // An optional kind prefix ("mmap:name") chooses the kind; "file" is the
    // default. Each candidate of the path's expansion is tried in turn. Null
    // when the kind is unknown or no candidate opened. The object lives in
    // the temporary zone and is given back by Close.
    static Zuvi_File* Open(const ZuStringRef& path, const Zuvi_FileOpenModes& modes);
    static bool Close(Zuvi_File*& file);

    // ---- Replacing a whole file (atomic save) ----
    //
    // A save that must never leave a cut file: the new contents go to a
    // temporary file in the target's own directory, which replaces the
    // target in one step once everything is written and synced.
    //
    //   ZuStringRef target, temporary;
    //   Zuvi_File* f = Zuvi_File::OpenReplacement(path, target, temporary);
    //   ... f->Write(...) ...
    //   ok = Zuvi_File::CommitReplacement(f, temporary, target);   // or
    //   Zuvi_File::AbandonReplacement(f, temporary);
    //
    // OpenReplacement opens a new, empty temporary file for writing beside
    // the first candidate of the path's expansion where one can be created
    // (plain files only: a kind prefix other than "file" fails); `target`
    // receives that candidate and `temporary` the temporary file's name,
    // both expanded. Null when no candidate takes a new file; the target is
    // not touched.
    static Zuvi_File* OpenReplacement(const ZuStringRef& path, ZuStringRef& target,
                                      ZuStringRef& temporary);
    // Syncs and closes the file, then renames the temporary file over the
    // target (and syncs the directory). On any failure the temporary file
    // is removed, the target keeps its old contents, and the answer is
    // false (only a failure to sync the directory, after the rename, leaves
    // the new contents in place and still answers false). The file is given
    // back in every case.
    static bool CommitReplacement(Zuvi_File*& file, const ZuStringRef& temporary,
                                  const ZuStringRef& target);
    // Closes the file and removes the temporary file; the target is not
    // touched.
    static void AbandonReplacement(Zuvi_File*& file, const ZuStringRef& temporary);

    static void RegisterClassAllocator(Zuvi_File* (*allocator)(ZuMemZone*), const char* kind);

    // ---- Paths and directories ----

    // The library directory (the folder "Zuvi" beside the library's file,
    // or the directory the environment variable ZUVI_DIR names),
    // the application directory, the fonts folder, or "$desktop$"; empty
    // for any other token or when the directory cannot be known.
    static ZuStringRef RetSpecialDirectory(Zuvi_FileToken token);
    // Candidate `alternative` (0, 1, 2...) of the path: "%Zuvi%" has the
    // candidates library, application and current directory; "%app%" the
    // application directory; "%font%" the fonts folder, library,
    // application and current directory; "%%" is one "%". A "%" that does
    // not start a known variable stands for itself. False when there is no
    // such candidate or the result would not fit.
    static bool ExpandPath(const ZuStringRef& path, ZuStringRef& expanded, int alternative);
    static bool Properties(const ZuStringRef& path, ZuFileAttInfo& info);
    static bool Properties(const ZuStringRef& path, ZuFileAttInfo& info, ZuAtomRef& kind,
                           bool want_kind);
    static bool DeleteFileA(const ZuStringRef& path);
    static bool CreateDirectoryA(const ZuStringRef& path);
    static bool DeleteDirectory(const ZuStringRef& path);
    static bool SetCurrentDirectoryA(const ZuStringRef& path);
    static ZuStringRef RetCurrentDirectory();

    // ---- Path operations (no file system access but the current
    // directory and, for the kinds, Properties) ----

    // The elements with "." and ".." resolved; a path whose first element
    // is "." or empty continues the current directory.
    static bool SplitPath(const ZuStringRef& path, ZuStringArray& elements,
                          unsigned short separator);
    static bool SplitPathAndGetIcons(const ZuStringRef& path, ZuStringArray& elements,
                                     ZuAtomArray& kinds, unsigned short separator);
    // 0 for an empty handle, else 1 + the number of separators.
    static unsigned CountPathElements(const ZuStringRef& path, unsigned short separator);
    static bool MergePath(const ZuStringArray& elements, ZuStringRef& path,
                          unsigned short separator);
    static bool AppendPath(ZuStringRef& path, const ZuStringRef& element, unsigned short separator);
    // Type `which` of a file name, counted from the end (0: after the last
    // ".").
    static bool ExtractType(const ZuStringRef& name, ZuStringRef& type, unsigned which);
    static bool ExtractTypePosLength(const ZuStringRef& name, unsigned& position, unsigned& length,
                                     unsigned which);
    static unsigned RetBaseNameLength(const ZuStringRef& name);

protected:
    Zuvi_File();

    Zuvi_FileOpenModes modes;

private:
    static Zuvi_PfxFunc<Zuvi_File> pfx_func;
};

// Reads a system value: "ENV/" and a variable's name, or a registry root
// ("HKCU/", "HKLM/", "HKCR/"), the keys and the value's name separated by
// "/" (nothing after the last "/": the key's default value). The text with
// its terminating zero must fit `size` bytes.
bool Zuvi_GetSystemValue(const char* value_path, char* buffer, unsigned size);

// Fills an attribute record from a directory entry of the platform: size,
// the three times in local time, and the attributes (readable, writable
// unless read-only, directory, hidden, system).
struct WIN32_FIND_DATAA;
void Zuvi_FillFileAttInfo(const WIN32_FIND_DATAA& data, ZuFileAttInfo& info);

// Points the graphics engine's allocation hooks at the C runtime's malloc
// and free, with the hook argument 0. Called once by the library's start-up,
// before any surface exists.
void Zuvi_SetGfxMemoryHooks();

#endif
