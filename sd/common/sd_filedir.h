// Zuvi_FileDir: the directory listing of the platform layer. Opened by a
// path in the library's syntax, it hands out the entries of a folder one by
// one or all at once, filtered and sorted.
#ifndef SD_COMMON_SD_FILEDIR_H
#define SD_COMMON_SD_FILEDIR_H

#include "sd/common/sd_file.h"
#include "si/fileatt.h"
#include "si/simplearray.h"

class ZuObjectRef;

class Zuvi_FileDir {
public:
    virtual ~Zuvi_FileDir();
    // `path` in library syntax, expanded.
    virtual bool Open(const char* path) = 0;
    virtual bool Close() = 0;
    // The next entry; false at the end. `name` receives the name (its string
    // is changed when it holds one, else it gets a new string).
    virtual bool ReadEntry(ZuStringRef& name, ZuFileAttInfo& info) = 0;
    // Every entry that the filter (a ZuiFileFilter, or none) keeps: the
    // directories first, then the other entries, each group in the order of
    // the listing, then sorted by the sort object (a ZuiFileSort, or none).
    virtual bool ReadAll(const ZuObjectRef& filter, const ZuObjectRef& sort, ZuStringArray& names,
                         Zuvi_SimpleArrayNone<ZuFileAttInfo>& infos) = 0;

    // The kind prefix and the candidates of the path's expansion as for
    // Zuvi_File::Open. Null when nothing could be listed.
    static Zuvi_FileDir* Open(const ZuStringRef& path);
    static bool Close(Zuvi_FileDir*& dir);
    static void RegisterClassAllocator(Zuvi_FileDir* (*allocator)(ZuMemZone*), const char* kind);
    // Puts the names with their records into the order of the sort object
    // (a stable order is not promised: of two entries that compare equal,
    // the one from the later half of the merge comes first). False, with the
    // lists unchanged, without a sort object or for empty lists.
    static bool Sort(const ZuObjectRef& sort, ZuStringArray& names,
                     Zuvi_SimpleArrayNone<ZuFileAttInfo>& infos);

protected:
    Zuvi_FileDir();

private:
    static Zuvi_PfxFunc<Zuvi_FileDir> pfx_func;
};

#endif
