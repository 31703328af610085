// ZuFileRead: a stream that reads a file. A short read at the end of the
// file is not an error; operations on a closed stream throw ZuExcStream.
#ifndef SI_FILEREAD_H
#define SI_FILEREAD_H

#include "si/filestream.h"

class Zuvi_File;

ZU_HANDLE(ZuFileRead, ZuFileStream)

class ZuFileRead : public ZuFileStream {
    ZU_CLASS(ZuFileRead, ZuFileStream)

public:
    ZuFileRead();
    ~ZuFileRead() override;

    // ZuFileStream
    bool IsOpen() const override;
    // Opens the stream's name for reading; throws ZuExcStream 9 when the
    // file cannot be opened (the stream is then closed).
    void Open() override;
    void Close() override;

    // SetName, then Open().
    virtual void Open(const ZuStringRef& name);
    // The file's size; throws ZuExcStream 1 when closed.
    virtual std::int64_t RetSize() const;

    // ZuStream
    unsigned Read(void* data, unsigned size) override;
    std::int64_t Skip(std::int64_t count) override;

private:
    Zuvi_File* file;
};
ZU_CLASS_END(ZuFileRead)

#endif
