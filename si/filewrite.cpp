#include "si/filewrite.h"

#include "si/rtclass.h"

#include "sd/common/sd_file.h"
#include "si/except.h"

ZU_IMPLEMENT_CLASS(ZuFileWrite, "si/filewrite", ZU_CLASS_PLAIN)

ZuFileWrite::ZuFileWrite() : file(nullptr), is_append_mode(false) {}

ZuFileWrite::~ZuFileWrite()
{
    Zuvi_File::Close(file);
}

bool ZuFileWrite::IsOpen() const
{
    return file != nullptr;
}

void ZuFileWrite::Open()
{
    Zuvi_File::Close(file);
    index = 0;
    Zuvi_FileOpenModes modes{ZU_FOPEN_WRITE, ZU_FOPEN_CREATE};
    modes.SetBit(is_append_mode ? ZU_FOPEN_APPEND : ZU_FOPEN_TRUNCATE);
    if (name.IsValid())
        file = Zuvi_File::Open(name, modes);
    if (file == nullptr)
        throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_OPEN);
    if (is_append_mode)
        index = file->RetPos();
}

void ZuFileWrite::Open(ZuStringRef const& new_name, bool append)
{
    SetAppendMode(append);
    SetName(new_name);
    Open();
}

void ZuFileWrite::Close()
{
    Zuvi_File::Close(file);
    index = 0;
}

void ZuFileWrite::Trunc()
{
    if (file == nullptr)
        throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_WRITE);
    file->Truncate();
}

bool ZuFileWrite::SetAppendMode(bool mode)
{
    is_append_mode = mode;
    return true;
}

bool ZuFileWrite::RetAppendMode() const
{
    return is_append_mode;
}

unsigned ZuFileWrite::Write(void const* data, unsigned size)
{
    if (file == nullptr)
        throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_WRITE);
    if (file->Write(data, size) != size)
        throw ZuExcStream(ZuExcStream::ZU_STREAM_WRITE_FAILED);
    index += size;
    return size;
}

bool ZuFileWrite::Sync()
{
    if (file == nullptr)
        throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_WRITE);
    if (!file->Synchronise())
        throw ZuExcStream(ZuExcStream::ZU_STREAM_WRITE_FAILED);
    return true;
}

std::int64_t ZuFileWrite::Skip(std::int64_t count)
{
    if (file == nullptr)
        throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_SKIP);
    if (!file->Skip(count))
        throw ZuExcStream(ZuExcStream::ZU_STREAM_WRITE_FAILED);
    index += count;
    return count;
}
