#include "si/stream.h"

#include "si/rtclass.h"

#include "si/error.h"
#include "si/except.h"

ZU_IMPLEMENT_CLASS(ZuStream, "si/stream", ZU_CLASS_ABSTRACT | ZU_CLASS_NOT_STORED)

ZuStream::ZuStream() {}

ZuStream::~ZuStream() {}

void ZuStream::SetStreamName(const ZuStringRef& new_name)
{
    if (new_name.IsValid())
        name = new_name->RetString();
    else
        name = "";
}

unsigned ZuStream::Read(void*, unsigned)
{
    throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_READ);
}

std::int64_t ZuStream::Skip(std::int64_t)
{
    throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_SKIP);
}

unsigned ZuStream::Write(const void*, unsigned)
{
    throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_WRITE);
}

bool ZuStream::Sync()
{
    throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_WRITE);
}

void ZuStream::StoreInstance(const ZuStorageRef&)
{
    ZU_ABORT("Trying to store a stream");
}

void ZuStream::RestoreInstance(const ZuStorageRef&)
{
    // The class name comes from the stored bytes, which a user chose: such
    // input is refused as corrupt rather than allowed to stop the program.
    Zuvi_DebugString("Trying to restore a stream", __LINE__, ZU_SRC_FILE);
    throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_READ);
}
