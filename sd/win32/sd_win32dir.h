// The platform's directory kind "file" behind Zuvi_FileDir: lists a folder
// through the platform's directory search. "$drives$" lists the root of the
// file system. Reached only through Zuvi_FileDir::Open; registered at
// start-up.
#ifndef SD_WIN32_SD_WIN32DIR_H
#define SD_WIN32_SD_WIN32DIR_H

#include "sd/common/sd_filedir.h"

#include "w32/dir.h"

class Zuvi_Win32Dir : public Zuvi_FileDir {
public:
    Zuvi_Win32Dir();
    ~Zuvi_Win32Dir() override;

    bool Open(const char* path) override;
    bool Close() override;
    // "." and ".." are skipped; other names that begin with a dot are kept
    // (they are hidden).
    bool ReadEntry(ZuStringRef& name, ZuFileAttInfo& info) override;
    bool ReadAll(const ZuObjectRef& filter, const ZuObjectRef& sort, ZuStringArray& names,
                 Zuvi_SimpleArrayNone<ZuFileAttInfo>& infos) override;

    static Zuvi_FileDir* Allocate(ZuMemZone* zone);

private:
    HANDLE find; // INVALID_HANDLE_VALUE when there is none
    WIN32_FIND_DATAA record;
    bool is_open;
    bool pending; // the entry found by opening is not handed out yet
};

#endif
