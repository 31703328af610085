// ZuFileStream: the abstract stream over a named file. The name is the
// file's path in the library's path syntax and is expanded only when the
// file is opened; `index` counts the bytes read, written or skipped since
// the file was opened.
#ifndef SI_FILESTREAM_H
#define SI_FILESTREAM_H

#include "si/stream.h"

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

    // A stream marked for reopening opens its file again and returns to
    // its position.
    void Awake() override;

protected:
    std::int64_t index;
    bool need_to_reopen;
};
ZU_CLASS_END(ZuFileStream)

#endif
