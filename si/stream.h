// ZuStream: the library's byte stream object, something bytes can be read
// from, written to and skipped over, with a name. A stream kind keeps the
// base operations for what it cannot do; they throw ZuExcStream with the
// code of the missing ability.
#ifndef SI_STREAM_H
#define SI_STREAM_H

#include <cstdint>

#include "si/object.h"
#include "si/string.h"

ZU_HANDLE(ZuStream, ZuObject)

class ZuStream : public ZuObject {
    ZU_CLASS(ZuStream, ZuObject)

public:
    ZuStream();
    ~ZuStream() override;

protected:
    // Keeps a copy of the name's text; an empty handle gives the empty
    // string.
    virtual void SetStreamName(const ZuStringRef& name);

public:
    // The count of bytes read; throws ZuExcStream 1 when the stream cannot
    // be read.
    virtual unsigned Read(void* data, unsigned size);
    // The count skipped; throws ZuExcStream 2 when it cannot skip.
    virtual std::int64_t Skip(std::int64_t count);
    // The count written; throws ZuExcStream 0 when it cannot be written.
    virtual unsigned Write(const void* data, unsigned size);
    // Throws ZuExcStream 0 when there is nothing to flush to.
    virtual bool Sync();

protected:
    // Streams are never written into a storage (storing one is a
    // programming error; stored bytes that name a stream are refused as
    // corrupt input with ZuExcStream).
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    ZuStringRef name;
};
ZU_CLASS_END(ZuStream)

#endif
