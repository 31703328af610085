#include "si/filewrite.h"

#include "si/rtclass.h"

#include "sd/common/sd_file.h"
#include "si/except.h"

ZU_IMPLEMENT_CLASS(ZuFileWrite, "si/filewrite", ZU_CLASS_PLAIN)

ZuFileWrite::ZuFileWrite() : file(nullptr), is_append_mode(false) {}

ZuFileWrite::~ZuFileWrite()
{
    Abandon();
}

bool ZuFileWrite::IsOpen() const
{
    return file != nullptr;
}

void ZuFileWrite::Open()
{
    Abandon();
    index = 0;
    has_failed = false;
    if (is_atomic_mode) {
        if (is_append_mode || name.IsInvalid())
            throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_OPEN);
        file = Zuvi_File::OpenReplacement(name, target, temporary);
        if (file == nullptr)
            throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_OPEN);
        return;
    }
    Zuvi_FileOpenModes modes{ZU_FOPEN_WRITE, ZU_FOPEN_CREATE};
    modes.SetBit(is_append_mode ? ZU_FOPEN_APPEND : ZU_FOPEN_TRUNCATE);
    if (name.IsValid())
        file = Zuvi_File::Open(name, modes);
    if (file == nullptr)
        throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_OPEN);
    if (is_append_mode)
        index = file->RetPos();
}

void ZuFileWrite::Open(const ZuStringRef& new_name, bool append)
{
    SetAppendMode(append);
    SetName(new_name);
    Open();
}

void ZuFileWrite::Close()
{
    index = 0;
    if (temporary.IsInvalid()) {
        Zuvi_File::Close(file);
        return;
    }
    const bool failed = has_failed || file == nullptr;
    const ZuStringRef temp = temporary;
    temporary = ZuStringRef();
    if (failed) {
        Zuvi_File::AbandonReplacement(file, temp);
    } else if (Zuvi_File::CommitReplacement(file, temp, target)) {
        return;
    }
    throw ZuExcStream(ZuExcStream::ZU_STREAM_WRITE_FAILED);
}

void ZuFileWrite::Abandon()
{
    index = 0;
    if (temporary.IsInvalid()) {
        Zuvi_File::Close(file);
        return;
    }
    const ZuStringRef temp = temporary;
    temporary = ZuStringRef();
    Zuvi_File::AbandonReplacement(file, temp);
}

bool ZuFileWrite::SetAtomicMode(bool mode)
{
    is_atomic_mode = mode;
    return true;
}

bool ZuFileWrite::RetAtomicMode() const
{
    return is_atomic_mode;
}

void ZuFileWrite::Fail()
{
    has_failed = true;
    throw ZuExcStream(ZuExcStream::ZU_STREAM_WRITE_FAILED);
}

void ZuFileWrite::Trunc()
{
    if (file == nullptr)
        throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_WRITE);
    if (!file->Truncate() && !temporary.IsInvalid())
        Fail();
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

unsigned ZuFileWrite::Write(const void* data, unsigned size)
{
    if (file == nullptr)
        throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_WRITE);
    if (file->Write(data, size) != size)
        Fail();
    index += size;
    return size;
}

bool ZuFileWrite::Sync()
{
    if (file == nullptr)
        throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_WRITE);
    if (!file->Synchronise())
        Fail();
    return true;
}

std::int64_t ZuFileWrite::Skip(std::int64_t count)
{
    if (file == nullptr)
        throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_SKIP);
    if (!file->Skip(count))
        Fail();
    index += count;
    return count;
}
