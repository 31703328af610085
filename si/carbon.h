// ZuCarbonCopy: a storage whose bytes live in memory, in a chain of blocks.
// Storing a graph into it and restoring from it makes a deep copy; its raw
// bytes can also be taken out (RetRawDataSize, ExtractRawData) and put back
// elsewhere (SetRawData), which then restores.
//
//   ZuCarbonCopyRef cc = ...;             // class factory
//   cc->StartStoring();
//   cc << object;
//   cc->StartRestoring();
//   cc >> copy;
//
// Blocks are never moved: a write fills the room left in the last block or
// opens a new one of at most 1000 bytes. Reading past the stored bytes
// throws ZuExcStream (ZU_STREAM_CANNOT_READ).
#ifndef SI_CARBON_H
#define SI_CARBON_H

#include "si/storage.h"

ZU_HANDLE(ZuCarbonCopy, ZuStorage)

class ZuCarbonCopy : public ZuStorage {
    ZU_CLASS(ZuCarbonCopy, ZuStorage)

public:
    struct DataBlock {
        DataBlock* next;
        unsigned char* data;
        unsigned int len;
        unsigned int capacity;
    };

    enum { MAX_BLOCK = 1000 };

    ZuCarbonCopy();
    ~ZuCarbonCopy() override;

    // ZuStorage
    void StoreData(const void* data, unsigned int size) override;
    void RestoreData(void* data, unsigned int size) override;
    std::uint64_t RetRemainingData() const override;

protected:
    virtual void AddBlock(unsigned int capacity);

public:
    // Drops every block and starts a new run in remote mode.
    virtual void StartStoring();
    // Reads again from the first stored byte, in a new run.
    virtual void StartRestoring();
    virtual unsigned int RetRawDataSize() const;
    // Copies at most `size` stored bytes; false when whole blocks were left
    // out.
    virtual bool ExtractRawData(void* buffer, unsigned int size) const;
    // Replaces the bytes by a copy of these and gets ready to restore.
    virtual bool SetRawData(const void* data, unsigned int size);

    // The chain, for inspection.
    const DataBlock* RetFirstBlock() const { return first; }

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    void FreeBlocks();

    DataBlock* first;
    DataBlock* last;
    DataBlock* read_block;
    unsigned int read_offset;
};
ZU_CLASS_END(ZuCarbonCopy)

#endif
