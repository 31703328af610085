// The file kind "clipboard": the system clipboard reached like a file. The
// path names the format: "stream" or "stream-1.0" (the format registered as
// "Zuvi-1.0-stream", the library's object stream), "latin-text" (8-bit
// text) or "unicode-text" (16-bit text). Reading copies the clipboard's data
// for the format; writing builds a block that becomes the clipboard's data
// for the format when the object is closed.
//
// Several objects opened one after another put several formats on the
// clipboard in one transaction: the first with {write, create, truncate}
// empties the clipboard, each further one opens with {write, append}, and
// the last calls Synchronise so that its Close closes the clipboard.
// Reading and writing at once is refused, and so are a new transaction
// while another clipboard object is open and a further format with no
// transaction open.
#ifndef SD_WIN32_SD_WIN32CLIPBOARD_H
#define SD_WIN32_SD_WIN32CLIPBOARD_H

#include "sd/common/sd_file.h"

#include "w32/windef.h"

class Zuvi_Win32Clipboard : public Zuvi_File {
public:
    Zuvi_Win32Clipboard();
    ~Zuvi_Win32Clipboard() override;

    bool Open(const char* path, const Zuvi_FileOpenModes& modes) override;
    bool Close() override;
    unsigned Read(void* data, unsigned size) override;
    unsigned Write(const void* data, unsigned size) override;
    // From the position, clamped to the start and the end.
    bool Skip(int64_t offset) override;
    // -1 is the end, -2 one byte before it; clamped to the start and the end.
    bool Seek(int64_t offset) override;
    int64_t RetPos() override;
    uint64_t RetSize() override;
    bool Truncate() override;
    bool Resize(int64_t size) override;
    // Marks the last object of a transaction: its Close closes the
    // clipboard.
    bool Synchronise() override;

    static Zuvi_File* Allocate(ZuMemZone* zone);

    enum State : unsigned {
        CLOSED = 0,
        WRITE_FIRST = 1, // the clipboard was emptied
        WRITE_FURTHER = 2,
        WRITE_LAST = 3, // Synchronise was called
        READ = 4
    };

private:
    bool Writing() const { return state >= WRITE_FIRST && state <= WRITE_LAST; }
    void MoveTo(int64_t target);

    State state;
    int64_t position;
    UINT format;
    HGLOBAL data_block;
    uint32_t size;
    void* read_copy;
};

#endif
