// ZuFileRead: a stream that reads a file. A short read at the end of the
// file is not an error; operations on a closed stream throw ZuExcStream.
//
// The file is read ahead in blocks of BUFFER_SIZE bytes, so that reading a
// document item by item costs a few system calls per megabyte; RetPos,
// Skip and what Read gives are those of the file read byte for byte. A
// read of a whole block or more goes straight to the caller's memory.
#ifndef SI_FILEREAD_H
#define SI_FILEREAD_H

#include "si/filestream.h"

#include <vector>

class Zuvi_File;

ZU_HANDLE(ZuFileRead, ZuFileStream)

class ZuFileRead : public ZuFileStream {
    ZU_CLASS(ZuFileRead, ZuFileStream)

public:
    enum { BUFFER_SIZE = 64 * 1024 };

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
    // Within the bytes read ahead the file is not touched; a skip that
    // cannot be made (before the start) throws 4 and moves nothing.
    std::int64_t Skip(std::int64_t count) override;

    // The bytes read ahead and not taken yet, where the stream stands, lent
    // to `holder` (a new block is read when none are left; none at the end
    // of the file). Throws ZuExcStream 1 when closed. The holder counts
    // what it used with TakeReadAhead when the stream asks it to settle.
    const unsigned char* LendReadAhead(ZuStreamLoan* holder, unsigned& size);
    // Counts `count` of the lent bytes (at most as many as were lent) as
    // read, as a Read of them would.
    void TakeReadAhead(unsigned count);

private:
    // Reads the next block; false at the end of the file.
    bool Fill();
    void DropReadAhead() { head = tail = 0; }

    Zuvi_File* file;
    // The block read ahead: the stream stands at buffer[head]; the file's
    // own position is at buffer[tail].
    std::vector<unsigned char> buffer;
    unsigned head = 0;
    unsigned tail = 0;
};
ZU_CLASS_END(ZuFileRead)

#endif
