// ZuFileWrite: a stream that writes a file, from its start (the file is
// emptied or created) or, in append mode, after its end. A write that does
// not go through completely throws ZuExcStream 3.
//
// Atomic mode (SetAtomicMode(true) before Open) is the safe way to save a
// whole file: the old file stays as it is until the new one is complete.
// Open creates a temporary file beside the name (in the same directory);
// the writes go there; Close syncs it and renames it over the name in one
// step. If anything fails (a write, the sync, the close, the rename) Close
// removes the temporary file, leaves the old file byte for byte, and throws
// ZuExcStream 3. A save given up halfway (the caller's own error) ends with
// Abandon, which removes the temporary file; a stream destroyed while still
// open abandons as well. Append mode and atomic mode exclude each other,
// and only plain files (no kind prefix but "file:") are saved atomically:
// otherwise Open throws ZuExcStream 9. A process killed while saving leaves
// the old file and its temporary file ("<name>.<process>-<n>.saving").
//
//   ZuFileWriteRef out = ...;
//   out->SetAtomicMode(true);
//   out->Open(name, false);
//   try { ... out->Write(...) ...; out->Close(); }   // Close commits
//   catch (...) { out->Abandon(); throw; }
//
// The bytes go to the file in blocks of BUFFER_SIZE: a write that fits in
// the block being gathered costs no system call, and a write of a whole
// block or more goes straight to the file. Sync, Skip, Trunc, Close and a
// write that finds the block full hand the gathered bytes to the file
// first; a failure to do so throws ZuExcStream 3 there (Close too, in
// either mode), so that no lost byte goes unreported. Abandon of a plain
// stream, and its destruction, still hand them over, silently.
#ifndef SI_FILEWRITE_H
#define SI_FILEWRITE_H

#include "si/filestream.h"

#include <vector>

class Zuvi_File;

ZU_HANDLE(ZuFileWrite, ZuFileStream)

class ZuFileWrite : public ZuFileStream {
    ZU_CLASS(ZuFileWrite, ZuFileStream)

public:
    enum { BUFFER_SIZE = 64 * 1024 };

    ZuFileWrite();
    ~ZuFileWrite() override;

    // ZuFileStream
    bool IsOpen() const override;
    // Opens (creating) the stream's name for writing, emptied or, in append
    // mode, positioned at its end (RetPos then counts from the old size);
    // throws ZuExcStream 9 when the file cannot be opened.
    void Open() override;
    // Hands the gathered bytes to the file and closes it; throws
    // ZuExcStream 3 when they could not be written (the stream is closed
    // all the same).
    void Close() override;

    // SetAppendMode, SetName, then Open().
    virtual void Open(const ZuStringRef& name, bool append);
    // Cuts the file at the current position; throws ZuExcStream 0 when
    // closed.
    virtual void Trunc();
    // Takes effect at the next Open().
    virtual bool SetAppendMode(bool mode);
    virtual bool RetAppendMode() const;
    // Takes effect at the next Open().
    bool SetAtomicMode(bool mode);
    bool RetAtomicMode() const;
    // Atomic mode: closes and removes the temporary file, leaving the old
    // file as it was. Otherwise the same as Close, without throwing.
    void Abandon();

    // ZuStream
    unsigned Write(const void* data, unsigned size) override;
    bool Sync() override;
    std::int64_t Skip(std::int64_t count) override;

    // The free room of the block being gathered, where the stream stands,
    // lent to `holder` (a full block goes to the file first, and a failure
    // throws ZuExcStream 3). Throws ZuExcStream 0 when closed. The holder
    // counts what it wrote there with TakeWriteRoom when the stream asks it
    // to settle.
    unsigned char* LendWriteRoom(ZuStreamLoan* holder, unsigned& size);
    // Counts `count` bytes of the lent room (at most as many as were lent)
    // as written, as a Write of them would.
    void TakeWriteRoom(unsigned count);

private:
    [[noreturn]] void Fail();
    // Hands the gathered bytes to the file; false (the stream then has
    // failed, and the bytes are dropped) when they did not all go.
    bool Flush();

    Zuvi_File* file;
    bool is_append_mode;
    bool is_atomic_mode = false;
    // Atomic mode: the name being replaced and the temporary file, both
    // expanded; and whether a write has failed since Open.
    ZuStringRef target;
    ZuStringRef temporary;
    bool has_failed = false;
    // The bytes gathered and not yet handed to the file.
    std::vector<unsigned char> buffer;
    unsigned used = 0;
};
ZU_CLASS_END(ZuFileWrite)

#endif
