#include "si/carbon.h"

#include "si/rtclass.h"

#include <algorithm>
#include <cstring>

#include "si/error.h"
#include "si/except.h"
#include "si/memzone.h"

// Places that the library's diagnostics print (zone dumps, memory and
// assertion messages) are fixed line numbers, not __LINE__: what a dump or
// a log shows stays the same however this file is laid out.
namespace {
const unsigned kBlockLine = 160; // a data block
const unsigned kBytesLine = 161; // its bytes
} // namespace

ZU_IMPLEMENT_CLASS(ZuCarbonCopy, "si/carbon", ZU_CLASS_PLAIN)

static ZuStorageSync carbon_record("<ZuCarbonCopy { <block len data> } >");

ZuCarbonCopy::ZuCarbonCopy() : first(nullptr), last(nullptr), read_block(nullptr), read_offset(0) {}

ZuCarbonCopy::~ZuCarbonCopy()
{
    StartStoring();
}

void ZuCarbonCopy::AddBlock(unsigned int capacity)
{
    ZuMemZone* zone = RetMemZone();
    if (zone == nullptr)
        ZuMemZone::NullAllocZone("zone", __LINE__, ZU_SRC_FILE);
    DataBlock* block = static_cast<DataBlock*>(
        zone->Alloc(sizeof(DataBlock), "DataBlock[]", kBlockLine, ZU_SRC_FILE));
    unsigned char* bytes;
    try {
        // An empty block still gets a byte, so that every block owns memory.
        bytes = static_cast<unsigned char*>(
            zone->Alloc(std::max(capacity, 1u), "Card8[]", kBytesLine, ZU_SRC_FILE));
    } catch (...) {
        zone->Free(block, __LINE__, ZU_SRC_FILE);
        throw;
    }
    block->next = nullptr;
    block->data = bytes;
    block->len = 0;
    block->capacity = capacity;
    if (last)
        last->next = block;
    else
        first = block;
    last = block;
}

void ZuCarbonCopy::FreeBlocks()
{
    if (first == nullptr)
        return;
    ZuMemZone* zone = RetMemZone();
    if (zone == nullptr)
        ZuMemZone::NullFreeZone("zone", __LINE__, ZU_SRC_FILE);
    while (first) {
        DataBlock* block = first;
        first = block->next;
        zone->Free(block->data, __LINE__, ZU_SRC_FILE);
        zone->Free(block, __LINE__, ZU_SRC_FILE);
    }
}

void ZuCarbonCopy::StartStoring()
{
    FreeBlocks();
    first = nullptr;
    last = nullptr;
    read_block = nullptr;
    read_offset = 0;
    SetStorageMode(ZU_STORAGE_REMOTE);
}

void ZuCarbonCopy::StartRestoring()
{
    read_block = first;
    read_offset = 0;
    SetStorageMode(ZU_STORAGE_REMOTE);
    // Reading starts again at the first byte: bytes a reader peeked at in
    // an earlier run are not part of it.
    DropPushedBack();
}

void ZuCarbonCopy::StoreData(const void* data, unsigned int size)
{
    const unsigned char* in = static_cast<const unsigned char*>(data);
    for (;;) {
        if (last == nullptr || last->len == last->capacity)
            AddBlock(std::min(size, unsigned(MAX_BLOCK)));
        const unsigned int room = last->capacity - last->len;
        const unsigned int n = std::min(room, size);
        if (n)
            std::memcpy(last->data + last->len, in, n);
        last->len += n;
        in += n;
        size -= n;
        if (size == 0)
            return;
    }
}

void ZuCarbonCopy::RestoreData(void* data, unsigned int size)
{
    unsigned char* out = static_cast<unsigned char*>(data);
    while (size) {
        if (read_block == nullptr) {
            // The stored bytes ended before the reader did: what was asked
            // cannot be delivered.
            throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_READ);
        }
        if (read_offset >= read_block->len) {
            read_block = read_block->next;
            read_offset = 0;
            continue;
        }
        const unsigned int n = std::min(read_block->len - read_offset, size);
        std::memcpy(out, read_block->data + read_offset, n);
        out += n;
        size -= n;
        read_offset += n;
    }
}

std::uint64_t ZuCarbonCopy::RetRemainingData() const
{
    std::uint64_t left = 0;
    for (const DataBlock* b = read_block; b; b = b->next)
        left += b == read_block ? b->len - std::min(read_offset, b->len) : b->len;
    return left;
}

unsigned int ZuCarbonCopy::RetRawDataSize() const
{
    unsigned int total = 0;
    for (const DataBlock* b = first; b; b = b->next)
        total += b->len;
    return total;
}

bool ZuCarbonCopy::ExtractRawData(void* buffer, unsigned int size) const
{
    unsigned char* out = static_cast<unsigned char*>(buffer);
    for (const DataBlock* b = first; b; b = b->next) {
        if (size == 0)
            return false;
        const unsigned int n = std::min(b->len, size);
        if (n)
            std::memcpy(out, b->data, n);
        out += n;
        size -= n;
    }
    return true;
}

bool ZuCarbonCopy::SetRawData(const void* data, unsigned int size)
{
    StartStoring();
    AddBlock(size);
    if (size)
        std::memcpy(last->data, data, size);
    last->len = size;
    StartRestoring();
    return true;
}

void ZuCarbonCopy::StoreInstance(const ZuStorageRef& s)
{
    ZuStorage::StoreInstance(s);
    s << carbon_record << ZuStorageSync::begin << ZuStorageSync::repeat;
    for (const DataBlock* b = first; b && b->len != 0; b = b->next) {
        s << ZuStorageSync::begin << b->len;
        s->StoreBinData(b->data, b->len);
        s << ZuStorageSync::end;
    }
    s << ZuStorageSync::end_repeat << ZuStorageSync::end;
}

void ZuCarbonCopy::RestoreInstance(const ZuStorageRef& s)
{
    ZuStorage::RestoreInstance(s);
    s >> ZuStorageSync::type >> ZuStorageSync::begin >> ZuStorageSync::repeat;
    // The blocks run up to the end of the repeated group (a mark there
    // would be data the reader cannot take as a block either).
    while (!s->CheckForEnd() && !s->CheckForMark()) {
        unsigned int length = 0;
        s >> ZuStorageSync::begin >> length;
        // The length is outside data: it sizes memory only when the input
        // can hold that many bytes.
        if (!s->CanHoldItems(length))
            throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_READ);
        AddBlock(length);
        last->len = length;
        s->RestoreBinData(last->data, length);
        s >> ZuStorageSync::end;
    }
    s >> ZuStorageSync::end_repeat >> ZuStorageSync::end;
}
