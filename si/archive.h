// ZuArchive: the storage that writes objects to a byte stream and reads
// them back. Every stored document is an archive: a 32-byte header, written
// by SetOutput and checked by SetInput, then the storage byte format.
//
//   offset  length  contents
//        0       8  "Zuvi-BIN" (checked)
//        8       4  zero bytes (checked)
//       12       4  zero bytes
//       16      14  "binary archive"
//       30       2  zero bytes
//
// The archive neither opens nor closes its streams. While a stream is
// attached it holds a handle on itself, so it lives until Reset or Delete.
//
// Archives are chosen by users: a header that is not an archive's, or input
// that ends early, throws ZuExcStream (ZU_STREAM_CANNOT_READ) after the
// diagnostic went to the debug output; it never stops the program.
//
// Over file streams (ZuFileRead, ZuFileWrite) the storage takes its items
// in place, from the block the stream read ahead and into the room of the
// block it gathers, instead of calling the stream for each; the stream has
// the archive count what it used before any operation of its own, so its
// position and the bytes are the same as with a call per item.
#ifndef SI_ARCHIVE_H
#define SI_ARCHIVE_H

#include "si/filestream.h"
#include "si/storage.h"
#include "si/stream.h"

class ZuFileRead;
class ZuFileWrite;

ZU_HANDLE(ZuArchive, ZuStorage)

class ZuArchive : public ZuStorage {
    ZU_CLASS(ZuArchive, ZuStorage)

public:
    enum { HEADER_SIZE = 32 };

    ZuArchive();
    ~ZuArchive() override;

    // ZuStorage: the raw bytes go to the output stream and come from the
    // input stream. Misuse without a stream stops the program.
    void StoreData(const void* data, unsigned int size) override;
    // Reads exactly `size` bytes or throws ZuExcStream.
    void RestoreData(void* data, unsigned int size) override;
    // What an input file stream still holds; unknown for other streams.
    std::uint64_t RetRemainingData() const override;

    // Attaches the output stream and writes the header to it.
    virtual void SetOutput(const ZuStreamRef& stream);
    // Attaches the input stream and reads and checks the header. A rejected
    // header detaches the input again and throws ZuExcStream.
    virtual void SetInput(const ZuStreamRef& stream);
    // Releases both streams and the archive's handle on itself.
    virtual void Reset();

    void Delete() override;

protected:
    // An archive is never stored in a storage (storing one is a programming
    // error; stored bytes that name an archive are refused as corrupt input
    // with ZuExcStream).
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    void RejectHeader(const char* diagnostic, int line);
    // Reads exactly `size` bytes through the input stream or throws.
    void ReadWhole(void* data, unsigned int size);
    // The file streams' blocks in place (see above).
    struct InputLoan : ZuStreamLoan {
        void Settle() override;
        ZuArchive* archive = nullptr;
        const unsigned char* start = nullptr;
    };
    struct OutputLoan : ZuStreamLoan {
        void Settle() override;
        ZuArchive* archive = nullptr;
        unsigned char* start = nullptr;
    };
    // Takes the next block in place, once the stream is attached and after
    // each call to it.
    void LendInput();
    void LendOutput();
    // Settles with the streams and lets them go.
    void DetachInput();
    void DetachOutput();

    ZuArchiveRef self;
    ZuStreamRef output;
    ZuStreamRef input;
    // The streams when they are file streams, else null.
    ZuFileRead* reader = nullptr;
    ZuFileWrite* writer = nullptr;
    InputLoan input_loan;
    OutputLoan output_loan;
};
ZU_CLASS_END(ZuArchive)

#endif
