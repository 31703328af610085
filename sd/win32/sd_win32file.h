// The platform's file kinds behind Zuvi_File: "file", an ordinary file that
// can also be mapped into memory, and "mmap", a named shared-memory section.
// Reached only through Zuvi_File::Open; registered at start-up.
#ifndef SD_WIN32_SD_WIN32FILE_H
#define SD_WIN32_SD_WIN32FILE_H

#include "sd/common/sd_file.h"

#include "w32/windef.h"

class Zuvi_Win32File : public Zuvi_File {
public:
    explicit Zuvi_Win32File(bool shared_section);
    ~Zuvi_Win32File() override;

    bool Open(const char* path, const Zuvi_FileOpenModes& modes) override;
    bool Close() override;
    unsigned Read(void* data, unsigned size) override;
    unsigned Write(const void* data, unsigned size) override;
    bool Skip(int64_t offset) override;
    // -1 is the end, -2 one byte before it; false for a position before the
    // start.
    bool Seek(int64_t offset) override;
    int64_t RetPos() override;
    // 0 when the size cannot be known.
    uint64_t RetSize() override;
    bool Truncate() override;
    // The position stays at the new end.
    bool Resize(int64_t size) override;
    bool Synchronise() override;
    void* MapSharedMemory(int64_t offset, unsigned size, const ZuStringRef& name) override;
    bool UnmapSharedMemory() override;
    bool SynchroniseSharedMemory(void* address, unsigned size) override;

    static Zuvi_File* AllocateFile(ZuMemZone* zone);
    static Zuvi_File* AllocateSection(ZuMemZone* zone);

private:
    bool shared_section;
    HANDLE desc; // null when closed; INVALID_HANDLE_VALUE: a section still to create
    void* view_address;
    unsigned view_size;
    HANDLE mapping;
};

#endif
