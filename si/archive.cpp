#include "si/archive.h"

#include "si/rtclass.h"

#include <cstring>

#include "si/error.h"
#include "si/except.h"
#include "si/fileread.h"
#include "si/filewrite.h"

ZU_IMPLEMENT_CLASS(ZuArchive, "si/archive", ZU_CLASS_NOT_STORED)

ZuArchive::ZuArchive()
{
    SetStorageMode(ZU_STORAGE_REMOTE);
    input_loan.archive = this;
    output_loan.archive = this;
}

ZuArchive::~ZuArchive()
{
    if (output.IsValid()) {
        // A stream that can no longer be flushed (closed meanwhile) must
        // not take the program down from a destructor.
        try {
            output->Sync();
        } catch (const ZuExcStream&) {}
    }
    DetachInput();
    DetachOutput();
    self = nullptr;
}

void ZuArchive::InputLoan::Settle()
{
    if (start == nullptr)
        return;
    const unsigned used = unsigned(archive->RetInputWindow() - start);
    start = nullptr;
    archive->SetInputWindow(nullptr, 0);
    archive->reader->TakeReadAhead(used);
}

void ZuArchive::OutputLoan::Settle()
{
    if (start == nullptr)
        return;
    const unsigned used = unsigned(archive->RetOutputWindow() - start);
    start = nullptr;
    archive->SetOutputWindow(nullptr, 0);
    archive->writer->TakeWriteRoom(used);
}

void ZuArchive::LendInput()
{
    unsigned size = 0;
    const unsigned char* const next = reader->LendReadAhead(&input_loan, size);
    if (size != 0) {
        input_loan.start = next;
        SetInputWindow(next, size);
    }
}

void ZuArchive::LendOutput()
{
    unsigned size = 0;
    unsigned char* const next = writer->LendWriteRoom(&output_loan, size);
    if (size != 0) {
        output_loan.start = next;
        SetOutputWindow(next, size);
    }
}

void ZuArchive::DetachInput()
{
    if (reader != nullptr)
        reader->SettleLoan();
    reader = nullptr;
    input = nullptr;
}

void ZuArchive::DetachOutput()
{
    if (writer != nullptr)
        writer->SettleLoan();
    writer = nullptr;
    output = nullptr;
}

void ZuArchive::StoreData(const void* data, unsigned int size)
{
    ZU_ASSERT_TEXT(this->output.IsValid(), "this->output.IsValid ()");
    // The write settles what went into the room first.
    output->Write(data, size);
    if (writer != nullptr)
        LendOutput();
}

void ZuArchive::RestoreData(void* data, unsigned int size)
{
    ZU_ASSERT_TEXT(this->input.IsValid(), "this->input.IsValid ()");
    // Over a file stream this is what the window could not give whole:
    // the stream settles what was taken there, then reads on from where
    // the storage stands, and the next block is lent again.
    ReadWhole(data, size);
    if (reader != nullptr)
        LendInput();
}

void ZuArchive::ReadWhole(void* data, unsigned int size)
{
    // A stream may deliver less than asked before its end: read on until
    // everything came or nothing more comes. Input that ends early is
    // refused rather than decoded from bytes that were never read.
    unsigned char* out = static_cast<unsigned char*>(data);
    unsigned done = 0;
    while (done < size) {
        const unsigned count = input->Read(out + done, size - done);
        if (count == 0 || count > size - done)
            throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_READ);
        done += count;
    }
}

std::uint64_t ZuArchive::RetRemainingData() const
{
    if (reader != nullptr && reader->IsOpen()) {
        // The position settles what was taken in place.
        std::int64_t const pos = reader->RetPos();
        std::int64_t const size = reader->RetSize();
        return size > pos ? std::uint64_t(size - pos) : 0;
    }
    return ZuStorage::RetRemainingData();
}

void ZuArchive::SetOutput(const ZuStreamRef& stream)
{
    unsigned char header[HEADER_SIZE];
    std::memset(header, 0, sizeof header);
    std::memcpy(header, "Zuvi-BIN", 8);
    std::memcpy(header + 16, "binary archive", 14);
    DetachOutput();
    output = stream;
    if (output.IsValid() && output->IsKindOf(ZuFileWriteRef::RetRuntime()))
        writer = static_cast<ZuFileWrite*>(output.RetRawObject());
    if (output.IsValid())
        self = this;
    else
        self = nullptr;
    StoreData(header, sizeof header);
}

void ZuArchive::SetInput(const ZuStreamRef& stream)
{
    DetachInput();
    input = stream;
    if (input.IsValid() && input->IsKindOf(ZuFileReadRef::RetRuntime()))
        reader = static_cast<ZuFileRead*>(input.RetRawObject());
    if (input.IsValid())
        self = this;
    else
        self = nullptr;
    // A new input: nothing peeked at in the previous one belongs to it.
    DropPushedBack();
    char header[HEADER_SIZE];
    std::memset(header, 0, sizeof header);
    try {
        RestoreData(header, sizeof header);
    } catch (const ZuExcStream&) {
        RejectHeader("Archive header is incomplete", __LINE__);
    }
    if (std::strncmp(header, "Zuvi-BIN", 8) != 0)
        RejectHeader("Failed assertion: strncmp (header, \"Zuvi-BIN\", 8) == 0", __LINE__);
    if (!((header[8] == 0) && (header[9] == 0) && (header[10] == 0) && (header[11] == 0)))
        RejectHeader(
            "Failed assertion: (header[8] == 0) && (header[9] == 0) && (header[10] == 0) && "
            "(header[11] == 0)",
            __LINE__);
}

void ZuArchive::RejectHeader(const char* diagnostic, int line)
{
    // Nothing of such a stream is read on: the input is let go, and the
    // archive keeps itself only for an output still attached.
    DetachInput();
    if (output.IsValid())
        self = this;
    else
        self = nullptr;
    Zuvi_DebugString(diagnostic, line, ZU_SRC_FILE);
    throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_READ);
}

void ZuArchive::Reset()
{
    DetachInput();
    DetachOutput();
    self = nullptr;
}

void ZuArchive::Delete()
{
    ZuStorage::Delete();
    DetachInput();
    DetachOutput();
    self = nullptr;
}

void ZuArchive::StoreInstance(const ZuStorageRef&)
{
    ZU_ABORT("Trying to store an archive !");
}

void ZuArchive::RestoreInstance(const ZuStorageRef&)
{
    // The class name comes from the stored bytes, which a user chose: such
    // input is refused as corrupt rather than allowed to stop the program.
    Zuvi_DebugString("Trying to restore an archive !", __LINE__, ZU_SRC_FILE);
    throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_READ);
}
