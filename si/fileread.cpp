#include "si/fileread.h"

#include "si/rtclass.h"

#include "sd/common/sd_file.h"
#include "si/except.h"

ZU_IMPLEMENT_CLASS(ZuFileRead, "si/fileread", ZU_CLASS_PLAIN)

ZuFileRead::ZuFileRead() : file(nullptr) {}

ZuFileRead::~ZuFileRead()
{
    Zuvi_File::Close(file);
}

bool ZuFileRead::IsOpen() const
{
    return file != nullptr;
}

void ZuFileRead::Open()
{
    Zuvi_File::Close(file);
    index = 0;
    if (name.IsValid())
        file = Zuvi_File::Open(name, Zuvi_FileOpenModes{ZU_FOPEN_READ});
    if (file == nullptr)
        throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_OPEN);
}

void ZuFileRead::Open(const ZuStringRef& new_name)
{
    SetName(new_name);
    Open();
}

void ZuFileRead::Close()
{
    Zuvi_File::Close(file);
    index = 0;
}

std::int64_t ZuFileRead::RetSize() const
{
    if (file == nullptr)
        throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_READ);
    return std::int64_t(file->RetSize());
}

unsigned ZuFileRead::Read(void* data, unsigned size)
{
    if (file == nullptr)
        throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_READ);
    const unsigned count = file->Read(data, size);
    index += count;
    return count;
}

std::int64_t ZuFileRead::Skip(std::int64_t count)
{
    if (file == nullptr)
        throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_SKIP);
    if (!file->Skip(count))
        throw ZuExcStream(ZuExcStream::ZU_STREAM_SEEK_FAILED);
    index += count;
    return count;
}
