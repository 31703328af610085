#include "si/fileread.h"

#include "si/rtclass.h"

#include <algorithm>
#include <cstring>

#include "sd/common/sd_file.h"
#include "si/except.h"

ZU_IMPLEMENT_CLASS(ZuFileRead, "si/fileread", ZU_CLASS_PLAIN)

ZuFileRead::ZuFileRead() : file(nullptr) {}

ZuFileRead::~ZuFileRead()
{
    SettleLoan();
    Zuvi_File::Close(file);
}

bool ZuFileRead::IsOpen() const
{
    return file != nullptr;
}

void ZuFileRead::Open()
{
    SettleLoan();
    Zuvi_File::Close(file);
    DropReadAhead();
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
    SettleLoan();
    Zuvi_File::Close(file);
    DropReadAhead();
    index = 0;
}

std::int64_t ZuFileRead::RetSize() const
{
    if (file == nullptr)
        throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_READ);
    return std::int64_t(file->RetSize());
}

bool ZuFileRead::Fill()
{
    if (buffer.empty())
        buffer.resize(BUFFER_SIZE);
    head = 0;
    tail = file->Read(buffer.data(), BUFFER_SIZE);
    return tail != 0;
}

unsigned ZuFileRead::Read(void* data, unsigned size)
{
    if (file == nullptr)
        throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_READ);
    SettleLoan();
    unsigned char* out = static_cast<unsigned char*>(data);
    unsigned done = 0;
    while (done < size) {
        if (head == tail) {
            // A large read goes straight to the caller; a small one reads
            // the next block ahead.
            if (size - done >= BUFFER_SIZE) {
                done += file->Read(out + done, size - done);
                break;
            }
            if (!Fill())
                break;
        }
        const unsigned n = std::min(tail - head, size - done);
        std::memcpy(out + done, buffer.data() + head, n);
        head += n;
        done += n;
    }
    index += done;
    return done;
}

std::int64_t ZuFileRead::Skip(std::int64_t count)
{
    if (file == nullptr)
        throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_SKIP);
    SettleLoan();
    // Within the block read ahead (either way) only the cursor moves.
    if (count >= -std::int64_t(head) && count <= std::int64_t(tail - head)) {
        head = unsigned(std::int64_t(head) + count);
    } else {
        // The file stands `tail - head` bytes further than the stream.
        if (!file->Skip(count - std::int64_t(tail - head)))
            throw ZuExcStream(ZuExcStream::ZU_STREAM_SEEK_FAILED);
        DropReadAhead();
    }
    index += count;
    return count;
}

const unsigned char* ZuFileRead::LendReadAhead(ZuStreamLoan* holder, unsigned& size)
{
    if (file == nullptr)
        throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_READ);
    SettleLoan();
    if (head == tail)
        Fill();
    size = tail - head;
    loan = holder;
    return buffer.data() + head;
}

void ZuFileRead::TakeReadAhead(unsigned count)
{
    count = std::min(count, tail - head);
    head += count;
    index += count;
}
