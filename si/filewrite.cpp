#include "si/filewrite.h"

#include "si/rtclass.h"

#include <algorithm>
#include <cstring>

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
    used = 0;
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
    SettleLoan();
    index = 0;
    if (temporary.IsInvalid()) {
        if (file == nullptr)
            return;
        bool ok = Flush();
        if (!Zuvi_File::Close(file))
            ok = false;
        if (!ok)
            throw ZuExcStream(ZuExcStream::ZU_STREAM_WRITE_FAILED);
        return;
    }
    if (!Flush())
        has_failed = true;
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
    SettleLoan();
    index = 0;
    if (temporary.IsInvalid()) {
        // A plain file keeps what was written to it.
        if (file != nullptr)
            Flush();
        Zuvi_File::Close(file);
        return;
    }
    used = 0;
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

bool ZuFileWrite::Flush()
{
    if (used == 0)
        return true;
    const unsigned size = used;
    used = 0;
    if (file->Write(buffer.data(), size) == size)
        return true;
    has_failed = true;
    return false;
}

void ZuFileWrite::Trunc()
{
    if (file == nullptr)
        throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_WRITE);
    SettleLoan();
    if (!Flush())
        Fail();
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
    SettleLoan();
    if (size > BUFFER_SIZE - used) {
        if (!Flush())
            Fail();
        if (size >= BUFFER_SIZE) {
            if (file->Write(data, size) != size)
                Fail();
            index += size;
            return size;
        }
    }
    if (size == 0)
        return 0;
    if (buffer.empty())
        buffer.resize(BUFFER_SIZE);
    std::memcpy(buffer.data() + used, data, size);
    used += size;
    index += size;
    return size;
}

bool ZuFileWrite::Sync()
{
    if (file == nullptr)
        throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_WRITE);
    SettleLoan();
    if (!Flush() || !file->Synchronise())
        Fail();
    return true;
}

std::int64_t ZuFileWrite::Skip(std::int64_t count)
{
    if (file == nullptr)
        throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_SKIP);
    SettleLoan();
    if (!Flush() || !file->Skip(count))
        Fail();
    index += count;
    return count;
}

unsigned char* ZuFileWrite::LendWriteRoom(ZuStreamLoan* holder, unsigned& size)
{
    if (file == nullptr)
        throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_WRITE);
    SettleLoan();
    if (used == BUFFER_SIZE && !Flush())
        Fail();
    if (buffer.empty())
        buffer.resize(BUFFER_SIZE);
    size = BUFFER_SIZE - used;
    loan = holder;
    return buffer.data() + used;
}

void ZuFileWrite::TakeWriteRoom(unsigned count)
{
    count = std::min(count, unsigned(BUFFER_SIZE) - used);
    used += count;
    index += count;
}
