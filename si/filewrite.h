// ZuFileWrite: a stream that writes a file, from its start (the file is
// emptied or created) or, in append mode, after its end. A write that does
// not go through completely throws ZuExcStream 3.
#ifndef SI_FILEWRITE_H
#define SI_FILEWRITE_H

#include "si/filestream.h"

class Zuvi_File;

ZU_HANDLE(ZuFileWrite, ZuFileStream)

class ZuFileWrite : public ZuFileStream {
    ZU_CLASS(ZuFileWrite, ZuFileStream)

public:
    ZuFileWrite();
    ~ZuFileWrite() override;

    // ZuFileStream
    bool IsOpen() const override;
    // Opens (creating) the stream's name for writing, emptied or, in append
    // mode, positioned at its end (RetPos then counts from the old size);
    // throws ZuExcStream 9 when the file cannot be opened.
    void Open() override;
    void Close() override;

    // SetAppendMode, SetName, then Open().
    virtual void Open(ZuStringRef const& name, bool append);
    // Cuts the file at the current position; throws ZuExcStream 0 when
    // closed.
    virtual void Trunc();
    // Takes effect at the next Open().
    virtual bool SetAppendMode(bool mode);
    virtual bool RetAppendMode() const;

    // ZuStream
    unsigned Write(void const* data, unsigned size) override;
    bool Sync() override;
    std::int64_t Skip(std::int64_t count) override;

private:
    Zuvi_File* file;
    bool is_append_mode;
};
ZU_CLASS_END(ZuFileWrite)

#endif
