// ZuFileStream: the abstract stream over a named file. The name is the
// file's path in the library's path syntax and is expanded only when the
// file is opened; `index` counts the bytes read, written or skipped since
// the file was opened.
#ifndef SI_FILESTREAM_H
#define SI_FILESTREAM_H

#include "si/stream.h"

// A holder of a file stream's block in place: an archive that reads from
// the block read ahead, or writes into the room of the block being
// gathered, without a call per item. The stream asks it to settle, to count
// what it used there, before any operation of its own, so that the
// stream's position and bytes are always those of the calls.
class ZuStreamLoan {
public:
    virtual void Settle() = 0;

protected:
    ~ZuStreamLoan() = default;
};

ZU_HANDLE(ZuFileStream, ZuStream)

class ZuFileStream : public ZuStream {
    ZU_CLASS(ZuFileStream, ZuStream)

public:
    ZuFileStream();
    ~ZuFileStream() override;

    virtual bool IsOpen() const = 0;
    virtual void Open() = 0;
    virtual void Close() = 0;
    // Changes the name only; an open file stays open.
    virtual bool SetName(const ZuStringRef& name);
    virtual const ZuStringRef& RetName() const;
    // False, with the empty string in `out`, when the stream has no name.
    virtual bool GetName(ZuStringRef& out) const;
    virtual std::int64_t RetPos() const;

    // Has the holder of the stream's block, if any, count what it used
    // there and give the block back.
    void SettleLoan() const;

    // A stream marked for reopening opens its file again and returns to
    // its position.
    void Awake() override;

protected:
    std::int64_t index;
    bool need_to_reopen;
    // The holder of the block, until it settles.
    mutable ZuStreamLoan* loan = nullptr;
};
ZU_CLASS_END(ZuFileStream)

#endif
