#include "si/memzone.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "sd/win32/sd_memory.h"
#include "si/globallock.h"
#include "si/new.h"
#include "si/string.h"
#include "si/typeinfo.h"

ZU_ENUM_REGISTER(ZuMemType)

ZuMemZone* Zuvi_sys_zone = nullptr;
ZuMemZone* Zuvi_data_zone = nullptr;
ZuMemZone* Zuvi_app_zone = nullptr;
ZuMemZone* Zuvi_temp_zone = nullptr;
ZuMemZone* Zuvi_iface_zone = nullptr;

ZuMemZone* ZuMemZone::zone_head = nullptr;
ZuMemZone* ZuMemZone::zone_tail = nullptr;
size_t ZuMemZone::vector_offset = 0;
ZuMemZone::ObjectHooks ZuMemZone::object_hooks = {nullptr, nullptr, nullptr, nullptr,
                                                  nullptr, nullptr, nullptr};

namespace {

bool g_vector_offset_measured = false;

// Set while Kill destroys every zone after cutting, in one pass for all of
// them, the handles that the zones would cut one by one.
bool g_all_handles_cut = false;

const unsigned kHeadersPerArray = 170;
const unsigned kQuickSlotWords = 4;

// A slot's number without a division: for an offset of slot × size (slot
// below 2^16), offset × (2^32 / size + 1) >> 32 is the slot exactly.
struct QuickReciprocals {
    uint64_t values[ZuMemZone::QUICK_QUEUES];
    constexpr QuickReciprocals() : values()
    {
        for (unsigned i = 0; i < ZuMemZone::QUICK_QUEUES; ++i) {
            values[i] = (uint64_t{1} << 32) / ((i + 1) * 16) + 1;
        }
    }
    constexpr uint64_t operator[](unsigned i) const { return values[i]; }
};
constexpr QuickReciprocals kQuickReciprocals;

inline ZuMemZone::Header* AsHeader(void* record)
{
    return static_cast<ZuMemZone::Header*>(record);
}

inline bool IsUsedKind(unsigned kind)
{
    return kind <= ZU_MEM_QMB;
}

void Fill(char* address, size_t size, unsigned pattern)
{
    size_t words = size / 4;
    for (size_t i = 0; i < words; ++i) {
        std::memcpy(address + i * 4, &pattern, 4);
    }
}

// Takes a free chunk out of its buffer's free list.
void UnlinkFree(ZuMemZone::ChunkHeader* chunk, ZuMemZone::BufferHeader* buffer)
{
    if (chunk->prev_free != nullptr) {
        chunk->prev_free->next_free = chunk->next_free;
    } else {
        buffer->first_free = chunk->next_free;
    }
    if (chunk->next_free != nullptr) {
        chunk->next_free->prev_free = chunk->prev_free;
    } else {
        buffer->last_free = chunk->prev_free;
    }
    chunk->next_free = nullptr;
    chunk->prev_free = nullptr;
}

// The block prefix: the header's index and its complement.
void WritePrefix(char* address, uint32_t index)
{
    uint32_t words[2] = {index, ~index};
    std::memcpy(address, words, sizeof words);
}

} // namespace

const char* Zuvi_MemTypeName(unsigned type)
{
    switch (type) {
    case ZU_MEM_BIN:
        return "BIN";
    case ZU_MEM_OBJ:
        return "OBJ";
    case ZU_MEM_ARR:
        return "ARR";
    case ZU_MEM_QMB:
        return "QMB";
    default:
        return "???";
    }
}

// ---- Best fit bins -------------------------------------------------------------

namespace {

// Free chunks of up to 64 KB lie in one bin per size (16-byte steps);
// larger ones in bins of their exact size, kept sorted by size.
const size_t kFitSmallLimit = 65536;
const unsigned kFitSmallBins = kFitSmallLimit / 16; // bin i: chunks of (i + 1) * 16 bytes
const unsigned kFitWords = kFitSmallBins / 64;

struct FitCheckState {
    bool on;
    uint64_t picks;
    uint64_t mismatches;
};
#ifdef ZUVI_ZONE_VERIFY
FitCheckState g_fit_check = {true, 0, 0};
const bool kFitCheckStops = true;
#else
FitCheckState g_fit_check = {false, 0, 0};
const bool kFitCheckStops = false;
#endif

} // namespace

// The walk picks the first of the smallest fitting chunks in the order
// "newest buffer first, then free-list order". In a bin the chunks are kept
// in that order: by buffer ordinal, highest first, then by a sequence
// number that follows the free list. A chunk pushed at the front of a free
// list gets a number below every other; what is left of a split chunk and
// the result of a merge keep the number of the chunk whose place in the
// list they keep. Each bin is a binary heap, its first entry the bin's pick.
struct ZuMemZone::FitBins {
    struct Entry {
        int64_t seq;
        uint32_t ordinal; // of the chunk's buffer
        uint32_t index;   // of the chunk's header
    };
    struct Heap {
        Entry* items;
        uint32_t count;
        uint32_t capacity;
    };
    struct Large {
        size_t size;
        Heap heap;
    };
    Heap small[kFitSmallBins];
    uint64_t words[kFitWords]; // bit set: the small bin holds a chunk
    uint64_t summary;          // bit set: the word is not zero
    Large* large;              // sorted by size, none empty
    uint32_t large_count;
    uint32_t large_capacity;
    uint32_t* positions; // per header index: its entry's place in its heap
    size_t position_count;
    int64_t next_seq;
    // The bin of the last pick (small bin number, or kFitSmallBins plus the
    // large bin's place), so that taking the pick out needs no lookup.
    uint32_t picked_bin;

    static bool Before(const Entry& a, const Entry& b)
    {
        return a.ordinal != b.ordinal ? a.ordinal > b.ordinal : a.seq < b.seq;
    }

    void Place(Heap& heap, uint32_t at, const Entry& entry)
    {
        heap.items[at] = entry;
        positions[entry.index] = at;
    }

    void SiftUp(Heap& heap, uint32_t at, const Entry& entry)
    {
        while (at > 0) {
            uint32_t parent = (at - 1) / 2;
            if (!Before(entry, heap.items[parent])) {
                break;
            }
            Place(heap, at, heap.items[parent]);
            at = parent;
        }
        Place(heap, at, entry);
    }

    void SiftDown(Heap& heap, uint32_t at, const Entry& entry)
    {
        for (;;) {
            uint32_t child = 2 * at + 1;
            if (child >= heap.count) {
                break;
            }
            if (child + 1 < heap.count && Before(heap.items[child + 1], heap.items[child])) {
                ++child;
            }
            if (!Before(heap.items[child], entry)) {
                break;
            }
            Place(heap, at, heap.items[child]);
            at = child;
        }
        Place(heap, at, entry);
    }

    bool Push(Heap& heap, const Entry& entry)
    {
        if (heap.count == 0 && heap.capacity != 0) {
            heap.count = 1;
            Place(heap, 0, entry);
            return true;
        }
        if (heap.count == heap.capacity) {
            uint32_t capacity = heap.capacity == 0 ? 4 : heap.capacity * 2;
            void* items = std::realloc(heap.items, capacity * sizeof(Entry));
            if (items == nullptr) {
                return false;
            }
            heap.items = static_cast<Entry*>(items);
            heap.capacity = capacity;
        }
        SiftUp(heap, heap.count++, entry);
        return true;
    }

    Entry RemoveAt(Heap& heap, uint32_t at)
    {
        Entry removed = heap.items[at];
        if (--heap.count == 0) {
            return removed;
        }
        Entry last = heap.items[heap.count];
        if (at < heap.count) {
            if (at > 0 && Before(last, heap.items[(at - 1) / 2])) {
                SiftUp(heap, at, last);
            } else {
                SiftDown(heap, at, last);
            }
        }
        return removed;
    }

    // Takes the entry at `position` of a bin (a small bin's number, or
    // kFitSmallBins plus the large bin's place); gives its sequence number.
    // An emptied bin leaves the bitmap, or the large bins.
    int64_t TakeAt(uint32_t bin, uint32_t position)
    {
        if (bin < kFitSmallBins) {
            Heap& heap = small[bin];
            Entry entry = RemoveAt(heap, position);
            if (heap.count == 0) {
                words[bin / 64] &= ~(1ull << (bin % 64));
                if (words[bin / 64] == 0) {
                    summary &= ~(1ull << (bin / 64));
                }
            }
            return entry.seq;
        }
        uint32_t at = bin - kFitSmallBins;
        Heap& heap = large[at].heap;
        Entry entry = RemoveAt(heap, position);
        if (heap.count == 0) {
            std::free(heap.items);
            std::memmove(&large[at], &large[at + 1], (large_count - at - 1) * sizeof(Large));
            large_count--;
        }
        return entry.seq;
    }

    // The first large bin whose size is at least `size`.
    uint32_t LargeFrom(size_t size) const
    {
        uint32_t low = 0;
        uint32_t high = large_count;
        while (low < high) {
            uint32_t mid = low + (high - low) / 2;
            if (large[mid].size < size) {
                low = mid + 1;
            } else {
                high = mid;
            }
        }
        return low;
    }
};

// ---- Zone life ---------------------------------------------------------------

ZuMemZone::ZuMemZone()
    : name("<NO NAME>"), newer_zone(nullptr), older_zone(nullptr), is_zone_ok(false), zone_id(0),
      first_buffer(nullptr), last_buffer(nullptr), first_array(nullptr), last_array(nullptr),
      last_allocated(nullptr), total_bytes(0), free_bytes(0), alloc_debug(false), free_debug(false),
      alloc_pattern(0), free_pattern(0), alloc_counts(), more_count(0), all_count(0),
      min_buffer_size(16384), headers_per_array(kHeadersPerArray), quick_queues(),
      array_table(nullptr), array_count(0), array_capacity(0), available_arrays(nullptr),
      recent_array(nullptr), buffer_table(nullptr), buffer_order(nullptr), buffer_holes(nullptr),
      buffer_count(0), buffer_capacity(0), slot_table(nullptr), slot_capacity(0), slot_count(0),
      free_hints(), fit_bins(nullptr)
{
    if (!g_vector_offset_measured) {
        MeasureVectorOffset();
    }
    LinkZone();
}

ZuMemZone::~ZuMemZone()
{
    // The system zone is a static: a program that ends without Kill
    // destroys it at exit while the other zones' records still lie in its
    // buffers. Taking everything down in Kill's order first keeps the
    // unlinking below out of freed memory.
    if (this == Zuvi_sys_zone && Zuvi_iface_zone != nullptr) {
        Kill();
        return;
    }
    if (is_zone_ok) {
        FreeAndDestroy();
    }
    UnlinkZone();
}

void ZuMemZone::LinkZone()
{
    newer_zone = nullptr;
    older_zone = zone_tail;
    if (zone_tail != nullptr) {
        zone_tail->newer_zone = this;
    } else {
        zone_head = this;
    }
    zone_tail = this;
}

void ZuMemZone::UnlinkZone()
{
    bool linked = zone_head == this || older_zone != nullptr || newer_zone != nullptr;
    if (!linked) {
        return;
    }
    if (older_zone != nullptr) {
        older_zone->newer_zone = newer_zone;
    } else {
        zone_head = newer_zone;
    }
    if (newer_zone != nullptr) {
        newer_zone->older_zone = older_zone;
    } else {
        zone_tail = older_zone;
    }
    newer_zone = nullptr;
    older_zone = nullptr;
}

// The array form of `new` puts a count in front of the elements of a class
// with a destructor; measure how far the pointer that `delete[]` hands back
// lies before the first element.
void ZuMemZone::MeasureVectorOffset()
{
    struct Probe {
        virtual ~Probe() {}
        static void* operator new[](size_t, void* buffer) { return buffer; }
        static void operator delete[](void* pointer) { zuvi_operator_delete(pointer); }
    };
    alignas(16) unsigned char buffer[64];
    Probe* array = new (buffer) Probe[2];
    delete[] array;
    vector_offset = static_cast<size_t>(reinterpret_cast<char*>(array) -
                                        static_cast<char*>(zuvi_deleted_pointer));
    g_vector_offset_measured = true;
}

bool ZuMemZone::Initialise(const char* zone_name)
{
    if (is_zone_ok) {
        return true;
    }
    is_zone_ok = Zuvi_MemInitZone(zone_name, zone_id);
    name = zone_name;
    return is_zone_ok;
}

void ZuMemZone::SetAllocDebugMode(bool on, unsigned pattern)
{
    alloc_debug = on;
    alloc_pattern = pattern;
}

void ZuMemZone::SetFreeDebugMode(bool on, unsigned pattern)
{
    free_debug = on;
    free_pattern = pattern;
}

unsigned ZuMemZone::RetAllocCount(unsigned index) const
{
    if (index < 64) {
        return alloc_counts[index];
    }
    return index == 64 ? more_count : index == 65 ? all_count : 0;
}

// ---- Headers -----------------------------------------------------------------

// A header off its array's free chain: its index set, kind 0x22, the rest
// as it was left (the callers fill every field they use).
inline ZuMemZone::Header* ZuMemZone::TakeHeader()
{
    ZU_ASSERT(this->is_zone_ok);
    // The array of the last deleted header first (on the stack of available
    // arrays while it has free headers; the stack drops it once it is full).
    HeaderArray* array = recent_array;
    if (array == nullptr || array->free_count == 0) {
        array = available_arrays;
        while (array != nullptr && array->free_count == 0) {
            array->is_available = false;
            array = array->next_available;
            available_arrays = array;
        }
        if (array == nullptr && (array = AddHeaderArray()) == nullptr) {
            return nullptr;
        }
        recent_array = array;
    }
    Header* header = array->first_free;
    array->first_free = header->free.next;
    array->free_count--;
    header->chunk.kind = HEADER_NEW;
    return header;
}

// A new array of free headers at the front of the lists; null without memory.
[[gnu::noinline]] ZuMemZone::HeaderArray* ZuMemZone::AddHeaderArray()
{
    if (array_count >= (1u << 24)) {
        return nullptr;
    }
    if (array_count == array_capacity) {
        uint32_t capacity = array_capacity == 0 ? 16 : array_capacity * 2;
        void* table = std::realloc(array_table, capacity * sizeof(HeaderArray*));
        if (table == nullptr) {
            return nullptr;
        }
        array_table = static_cast<HeaderArray**>(table);
        array_capacity = capacity;
    }
    void* memory = nullptr;
    size_t real_size = 0;
    void* handle = nullptr;
    if (!Zuvi_MemAllocBuffer(zone_id, sizeof(HeaderArray), memory, real_size, handle)) {
        return nullptr;
    }
    std::memset(memory, 0, sizeof(HeaderArray));
    auto array = static_cast<HeaderArray*>(memory);
    array->platform_size = real_size;
    array->base = memory;
    array->handle = handle;
    array->ordinal = array_count;
    array_table[array_count++] = array;
    for (unsigned i = 0; i < kHeadersPerArray; ++i) {
        FreeHeader& h = array->headers[i].free;
        h.kind = HEADER_FREE;
        h.index = (array->ordinal << 8) | i;
        h.next = i + 1 < kHeadersPerArray ? &array->headers[i + 1] : nullptr;
    }
    array->free_count = kHeadersPerArray;
    array->first_free = &array->headers[0];
    array->next = first_array;
    array->prev = nullptr;
    if (first_array != nullptr) {
        first_array->prev = array;
    } else {
        last_array = array;
    }
    first_array = array;
    array->next_available = available_arrays;
    array->is_available = true;
    available_arrays = array;
    return array;
}

ZuMemZone::Header* ZuMemZone::NewHeader()
{
    Header* header = TakeHeader();
    if (header != nullptr) {
        uint32_t index = header->chunk.index;
        std::memset(static_cast<void*>(header), 0, sizeof(Header));
        header->chunk.index = index;
        header->chunk.kind = HEADER_NEW;
    }
    return header;
}

inline ZuMemZone::Header* ZuMemZone::HeaderAt(uint32_t index) const
{
    uint32_t ordinal = index >> 8;
    uint32_t slot = index & 0xFFu;
    if (ordinal >= array_count || slot >= kHeadersPerArray) {
        return nullptr;
    }
    return &array_table[ordinal]->headers[slot];
}

void ZuMemZone::DeleteHeader(Header* header)
{
    if (last_allocated == &header->chunk) {
        last_allocated = nullptr;
    }
    uint32_t ordinal = header->chunk.index >> 8;
    HeaderArray* array = ordinal < array_count ? array_table[ordinal] : nullptr;
    if (array == nullptr || header < array->headers ||
        header >= array->headers + kHeadersPerArray) {
        Zuvi_ErrorAbort("Not found matching header array.", __LINE__, ZU_SRC_FILE);
    }
    // Nothing reads a free header but its kind, index and link.
    header->free.kind = HEADER_FREE;
    header->free.next = array->first_free;
    array->first_free = header;
    array->free_count++;
    recent_array = array;
    if (!array->is_available) {
        array->is_available = true;
        array->next_available = available_arrays;
        available_arrays = array;
    }
}

// ---- Allocation ----------------------------------------------------------------

void* ZuMemZone::Alloc(unsigned size, const char* block_name, unsigned line, const char* file,
                       ZuMemType type)
{
    // The prefix and the rounding must not wrap a size near 4 GB into a
    // tiny block.
    if (size > UINT_MAX - (PREFIX_SIZE + 15)) {
        throw ZuExcMemory(ZuExcMemory::ZU_MEM_NO_MEMORY, nullptr, line, file);
    }
    ZU_ASSERT(type <= ZU_MEM_QMB); // other kinds would read as bookkeeping
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_MEMORY);
    return AllocLocked(size, block_name, line, file, type);
}

void* ZuMemZone::AllocLocked(unsigned size, const char* block_name, unsigned line, const char* file,
                             ZuMemType type)
{
    unsigned rounded = (size + PREFIX_SIZE + 15) & ~15u;
    if (rounded == 0) {
        rounded = 16;
    }
    unsigned counter = rounded / 16;
    if (counter < 64) {
        alloc_counts[counter]++;
    } else {
        more_count++;
    }
    all_count++;

    Header* header = TakeHeader();
    if (header == nullptr) {
        throw ZuExcMemory(ZuExcMemory::ZU_MEM_NO_MEMORY, nullptr, line, file);
    }
    // The fields that neither path below sets.
    header->chunk.spare = 0;
    header->chunk.next_free = nullptr;
    header->chunk.prev_free = nullptr;
    ChunkHeader* chunk = nullptr;
    if (rounded < QUICK_LIMIT) {
        header->chunk.line = line;
        header->chunk.file = file;
        try {
            AllocQuickBlock(&header->chunk, rounded);
        } catch (...) {
            DeleteHeader(header);
            throw;
        }
        chunk = &header->chunk;
    } else {
        chunk = CutFromBuffers(rounded, header, line, file);
    }

    chunk->user_word = 0;
    chunk->line = line;
    chunk->file = file;
    chunk->name = block_name;
    chunk->kind = static_cast<uint8_t>(type);
    if (alloc_debug) {
        Fill(chunk->address, chunk->size, alloc_pattern);
    }
    WritePrefix(chunk->address, chunk->index);
    last_allocated = chunk;
    void* result = chunk->address + PREFIX_SIZE;
    if (type == ZU_MEM_OBJ && object_hooks.set_object_zone != nullptr) {
        object_hooks.set_object_zone(result, this);
    }
    return result;
}

// Best fit in the buffers (a new buffer when nothing fits): the chunk of
// the block, cut from the chosen free chunk with `header` for the part in
// front, or alone on an exact fit, when `header` is released. Kept apart
// so that the quick path stays short.
[[gnu::noinline]] ZuMemZone::ChunkHeader*
ZuMemZone::CutFromBuffers(unsigned rounded, Header* header, unsigned line, const char* file)
{
    ChunkHeader* chunk = nullptr;
    BufferHeader* buffer = nullptr;
    ChunkHeader* best =
        fit_bins != nullptr ? PickBestFit(rounded, buffer) : WalkBestFit(rounded, buffer);
    bool picked = best != nullptr;
    if (best == nullptr) {
        size_t want = rounded > min_buffer_size ? rounded : min_buffer_size;
        buffer = NewBuffer(want, line, file);
        if (buffer == nullptr) {
            DeleteHeader(header);
            throw ZuExcMemory(ZuExcMemory::ZU_MEM_NO_MEMORY, nullptr, line, file);
        }
        best = buffer->first_chunk;
    }
    // What is left of the chunk keeps its place in the bins' order.
    int64_t seq = fit_bins == nullptr ? 0
                  : picked            ? fit_bins->TakeAt(fit_bins->picked_bin, 0)
                                      : FitTake(best);
    ChunkHeader* rest = nullptr;
    size_t old_size = best->size;
    if (old_size > rounded) {
        // The new header goes in front of the chosen chunk.
        ChunkHeader* front = &header->chunk;
        front->in_quick_block = 0;
        front->quick_queue = nullptr;
        front->quick_block = nullptr;
        front->line = 0;
        front->file = nullptr;
        front->name = nullptr;
        front->user_word = 0;
        front->prev = best->prev;
        front->next = best;
        if (best->prev != nullptr) {
            best->prev->next = front;
        } else {
            buffer->first_chunk = front;
        }
        best->prev = front;
        if (best->next == nullptr) {
            // The last chunk of its buffer: the block is cut from its end,
            // and the part in front takes the chunk's place in the free list.
            front->prev_free = best->prev_free;
            front->next_free = best->next_free;
            if (best->prev_free != nullptr) {
                best->prev_free->next_free = front;
            } else {
                buffer->first_free = front;
            }
            if (best->next_free != nullptr) {
                best->next_free->prev_free = front;
            } else {
                buffer->last_free = front;
            }
            best->next_free = nullptr;
            best->prev_free = nullptr;
            front->kind = HEADER_FREE_CHUNK;
            front->address = best->address;
            front->size = old_size - rounded;
            best->address += old_size - rounded;
            best->size = rounded;
            chunk = best;
            rest = front;
        } else {
            // The block is the front part; the chunk keeps its place in the
            // free list, and the block never enters it.
            front->address = best->address;
            front->size = rounded;
            best->address += rounded;
            best->size = old_size - rounded;
            chunk = front;
            rest = best;
        }
        if (fit_bins != nullptr && !FitInsert(rest, buffer->ordinal, seq)) {
            FitDrop();
        }
    } else {
        DeleteHeader(header);
        chunk = best;
        UnlinkFree(chunk, buffer); // the block leaves the free list
    }
    free_bytes -= rounded;
    if (old_size == buffer->largest_hole) {
        UpdateFreeHole(buffer);
    }
    return chunk;
}

ZuMemZone::BufferHeader* ZuMemZone::NewBuffer(size_t size, unsigned, const char*)
{
    Header* buffer_header = NewHeader();
    Header* chunk_header = buffer_header != nullptr ? NewHeader() : nullptr;
    void* memory = nullptr;
    size_t real_size = 0;
    void* handle = nullptr;
    if (chunk_header != nullptr && buffer_count == buffer_capacity) {
        GrowBufferTables();
    }
    if (chunk_header == nullptr || buffer_count == buffer_capacity ||
        !Zuvi_MemAllocBuffer(zone_id, size, memory, real_size, handle)) {
        if (chunk_header != nullptr) {
            DeleteHeader(chunk_header);
        }
        if (buffer_header != nullptr) {
            DeleteHeader(buffer_header);
        }
        return nullptr;
    }
    real_size &= ~static_cast<size_t>(15); // chunks stay on 16-byte boundaries
    BufferHeader* buffer = &buffer_header->buffer;
    ChunkHeader* chunk = &chunk_header->chunk;
    chunk->kind = HEADER_FREE_CHUNK;
    chunk->address = static_cast<char*>(memory);
    chunk->size = real_size;
    buffer->kind = HEADER_BUFFER;
    buffer->first_chunk = chunk;
    buffer->last_chunk = chunk;
    buffer->first_free = chunk;
    buffer->last_free = chunk;
    buffer->base = static_cast<char*>(memory);
    buffer->end = buffer->base + real_size;
    buffer->size = real_size;
    buffer->handle = handle;
    buffer->largest_hole = real_size;
    buffer->ordinal = buffer_count;
    buffer_order[buffer_count] = buffer;
    buffer_holes[buffer_count] = real_size;
    buffer->prev = nullptr;
    buffer->next = first_buffer;
    if (first_buffer != nullptr) {
        first_buffer->prev = buffer;
    } else {
        last_buffer = buffer;
    }
    first_buffer = buffer;
    uint32_t at = buffer_count;
    while (at > 0 && buffer_table[at - 1]->base > buffer->base) {
        buffer_table[at] = buffer_table[at - 1];
        --at;
    }
    buffer_table[at] = buffer;
    buffer_count++;
    if (buffer_count == 1 || slot_table != nullptr) {
        MapBuffer(buffer);
    }
    total_bytes += real_size;
    free_bytes += real_size;
    if (fit_bins == nullptr) {
        FitBuild();
    } else if (!FitInsert(chunk, buffer->ordinal, --fit_bins->next_seq)) {
        FitDrop();
    }
    return buffer;
}

bool ZuMemZone::GrowBufferTables()
{
    uint32_t capacity = buffer_capacity == 0 ? 16 : buffer_capacity * 2;
    void* table = std::realloc(buffer_table, capacity * sizeof(BufferHeader*));
    if (table == nullptr) {
        return false;
    }
    buffer_table = static_cast<BufferHeader**>(table);
    void* order = std::realloc(buffer_order, capacity * sizeof(BufferHeader*));
    if (order == nullptr) {
        return false;
    }
    buffer_order = static_cast<BufferHeader**>(order);
    void* holes = std::realloc(buffer_holes, capacity * sizeof(size_t));
    if (holes == nullptr) {
        return false;
    }
    buffer_holes = static_cast<size_t*>(holes);
    buffer_capacity = capacity;
    return true;
}

void ZuMemZone::SetLargestHole(BufferHeader* buffer, size_t size)
{
    buffer->largest_hole = size;
    buffer_holes[buffer->ordinal] = size;
}

void ZuMemZone::UpdateFreeHole(BufferHeader* buffer)
{
    size_t largest = 0;
    for (ChunkHeader* c = buffer->first_free; c != nullptr; c = c->next_free) {
        if (c->size > largest) {
            largest = c->size;
        }
    }
    SetLargestHole(buffer, largest);
}

// ---- Best fit ----------------------------------------------------------------

void ZuMemZone::SetFitCheck(bool on)
{
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_MEMORY);
    g_fit_check.on = on;
}

uint64_t ZuMemZone::RetFitChecks()
{
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_MEMORY);
    return g_fit_check.picks;
}

uint64_t ZuMemZone::RetFitMismatches()
{
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_MEMORY);
    return g_fit_check.mismatches;
}

ZuMemZone::ChunkHeader* ZuMemZone::WalkBestFit(size_t size, BufferHeader*& buffer) const
{
    // The smallest free chunk that holds the block, the first one met among
    // equals; an exact fit ends the search. Buffers whose largest hole is
    // too small are skipped whole.
    ChunkHeader* best = nullptr;
    for (uint32_t i = buffer_count; i-- > 0 && (best == nullptr || best->size != size);) {
        if (buffer_holes[i] < size) {
            continue;
        }
        BufferHeader* b = buffer_order[i];
        for (ChunkHeader* c = b->first_free; c != nullptr; c = c->next_free) {
            if (c->size >= size && (best == nullptr || c->size < best->size)) {
                best = c;
                buffer = b;
                if (c->size == size) {
                    break;
                }
            }
        }
    }
    return best;
}

ZuMemZone::ChunkHeader* ZuMemZone::PickBestFit(size_t size, BufferHeader*& buffer)
{
    FitBins& fit = *fit_bins;
    const FitBins::Heap* heap = nullptr;
    if (size <= kFitSmallLimit) {
        unsigned bin = static_cast<unsigned>(size / 16) - 1;
        unsigned word = bin / 64;
        uint64_t bits = fit.words[word] & (~0ull << (bin % 64));
        if (bits == 0 && word + 1 < kFitWords) {
            uint64_t words = fit.summary & (~0ull << (word + 1));
            if (words != 0) {
                word = static_cast<unsigned>(__builtin_ctzll(words));
                bits = fit.words[word];
            }
        }
        if (bits != 0) {
            fit.picked_bin = word * 64 + static_cast<unsigned>(__builtin_ctzll(bits));
            heap = &fit.small[fit.picked_bin];
        } else if (fit.large_count > 0) {
            fit.picked_bin = kFitSmallBins;
            heap = &fit.large[0].heap;
        }
    } else {
        uint32_t at = fit.LargeFrom(size);
        if (at < fit.large_count) {
            fit.picked_bin = kFitSmallBins + at;
            heap = &fit.large[at].heap;
        }
    }
    ChunkHeader* best = nullptr;
    if (heap != nullptr) {
        const FitBins::Entry& first = heap->items[0];
        best = &HeaderAt(first.index)->chunk;
        buffer = buffer_order[first.ordinal];
    }
    if (g_fit_check.on) {
        BufferHeader* walked_buffer = nullptr;
        ChunkHeader* walked = WalkBestFit(size, walked_buffer);
        g_fit_check.picks++;
        if (walked != best || (best != nullptr && walked_buffer != buffer)) {
            g_fit_check.mismatches++;
            if (kFitCheckStops) {
                ZU_ABORT("Best fit through the bins differs from the walk.");
            }
        }
    }
    return best;
}

bool ZuMemZone::FitInsert(ChunkHeader* chunk, uint32_t ordinal, int64_t seq)
{
    FitBins& fit = *fit_bins;
    if (chunk->index >= fit.position_count) {
        // Doubling: a table grown one header array at a time is copied
        // again for every array, which made a large document's read copy
        // megabytes.
        size_t count = static_cast<size_t>(array_count) << 8;
        if (count < fit.position_count * 2) {
            count = fit.position_count * 2;
        }
        void* positions = std::realloc(fit.positions, count * sizeof(uint32_t));
        if (positions == nullptr) {
            return false;
        }
        fit.positions = static_cast<uint32_t*>(positions);
        fit.position_count = count;
    }
    FitBins::Entry entry = {seq, ordinal, chunk->index};
    size_t size = chunk->size;
    if (size <= kFitSmallLimit) {
        unsigned bin = static_cast<unsigned>(size / 16) - 1;
        if (!fit.Push(fit.small[bin], entry)) {
            return false;
        }
        fit.words[bin / 64] |= 1ull << (bin % 64);
        fit.summary |= 1ull << (bin / 64);
        return true;
    }
    uint32_t at = fit.LargeFrom(size);
    if (at == fit.large_count || fit.large[at].size != size) {
        if (fit.large_count == fit.large_capacity) {
            uint32_t capacity = fit.large_capacity == 0 ? 8 : fit.large_capacity * 2;
            void* large = std::realloc(fit.large, capacity * sizeof(FitBins::Large));
            if (large == nullptr) {
                return false;
            }
            fit.large = static_cast<FitBins::Large*>(large);
            fit.large_capacity = capacity;
        }
        std::memmove(&fit.large[at + 1], &fit.large[at],
                     (fit.large_count - at) * sizeof(FitBins::Large));
        fit.large[at] = FitBins::Large{size, FitBins::Heap{nullptr, 0, 0}};
        fit.large_count++;
    }
    if (!fit.Push(fit.large[at].heap, entry)) {
        if (fit.large[at].heap.count == 0) {
            std::memmove(&fit.large[at], &fit.large[at + 1],
                         (fit.large_count - at - 1) * sizeof(FitBins::Large));
            fit.large_count--;
        }
        return false;
    }
    return true;
}

int64_t ZuMemZone::FitTake(ChunkHeader* chunk)
{
    FitBins& fit = *fit_bins;
    size_t size = chunk->size;
    uint32_t bin = size <= kFitSmallLimit ? static_cast<uint32_t>(size / 16) - 1
                                          : kFitSmallBins + fit.LargeFrom(size);
    return fit.TakeAt(bin, fit.positions[chunk->index]);
}

// Puts every free chunk of every buffer in the bins; without the memory
// for them, best fit keeps walking.
void ZuMemZone::FitBuild()
{
    fit_bins = static_cast<FitBins*>(std::calloc(1, sizeof(FitBins)));
    if (fit_bins == nullptr) {
        return;
    }
    for (uint32_t i = 0; i < buffer_count; ++i) {
        BufferHeader* b = buffer_order[i];
        // From the end of the free list, so that its front gets the lowest numbers.
        for (ChunkHeader* c = b->last_free; c != nullptr; c = c->prev_free) {
            if (!FitInsert(c, i, --fit_bins->next_seq)) {
                FitDrop();
                return;
            }
        }
    }
}

void ZuMemZone::FitDrop()
{
    if (fit_bins == nullptr) {
        return;
    }
    for (FitBins::Heap& heap : fit_bins->small) {
        std::free(heap.items);
    }
    for (uint32_t i = 0; i < fit_bins->large_count; ++i) {
        std::free(fit_bins->large[i].heap.items);
    }
    std::free(fit_bins->large);
    std::free(fit_bins->positions);
    std::free(fit_bins);
    fit_bins = nullptr;
}

bool ZuMemZone::AllocQuickBlock(ChunkHeader* chunk, unsigned size)
{
    unsigned queue_index = (size - 1) / 16;
    QuickQueue* queue = quick_queues[queue_index];
    if (queue == nullptr) {
        Header* h = NewHeader();
        if (h == nullptr) {
            throw ZuExcMemory(ZuExcMemory::ZU_MEM_NO_MEMORY, nullptr, chunk->line, chunk->file);
        }
        queue = &h->queue;
        queue->kind = HEADER_QUICK_QUEUE;
        quick_queues[queue_index] = queue;
    }
    QuickBlock* quick = queue->first_block;
    if (quick == nullptr || quick->free_count == 0) {
        Header* h = NewHeader();
        if (h == nullptr) {
            throw ZuExcMemory(ZuExcMemory::ZU_MEM_NO_MEMORY, nullptr, chunk->line, chunk->file);
        }
        void* memory = nullptr;
        try {
            memory =
                AllocLocked(QUICK_SLOTS * size, "QuickBlock", __LINE__, ZU_SRC_FILE, ZU_MEM_QMB);
        } catch (...) {
            DeleteHeader(h);
            throw;
        }
        quick = &h->quick;
        quick->kind = HEADER_QUICK_BLOCK;
        quick->element_size = size;
        quick->free_count = QUICK_SLOTS;
        for (unsigned w = 0; w < kQuickSlotWords; ++w) {
            unsigned bits = QUICK_SLOTS > w * 32 ? QUICK_SLOTS - w * 32 : 0;
            quick->free_map[w] = bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1;
        }
        quick->start = static_cast<char*>(memory);
        quick->end = quick->start + QUICK_SLOTS * size;
        quick->prev = nullptr;
        quick->next = queue->first_block;
        if (queue->first_block != nullptr) {
            queue->first_block->prev = quick;
        } else {
            queue->last_block = quick;
        }
        queue->first_block = quick;
    }
    unsigned slot = 0;
    for (unsigned w = 0; w < kQuickSlotWords; ++w) {
        if (quick->free_map[w] != 0) {
            unsigned bit = static_cast<unsigned>(__builtin_ctz(quick->free_map[w]));
            quick->free_map[w] &= ~(1u << bit);
            slot = w * 32 + bit;
            break;
        }
    }
    chunk->quick_queue = queue;
    chunk->quick_block = quick;
    chunk->address = quick->start + static_cast<size_t>(slot) * quick->element_size;
    chunk->size = quick->element_size;
    chunk->in_quick_block = 1;
    chunk->next = nullptr;
    chunk->prev = quick->last_used;
    if (quick->last_used != nullptr) {
        quick->last_used->next = chunk;
    } else {
        quick->first_used = chunk;
    }
    quick->last_used = chunk;
    quick->free_count--;
    if (quick->free_count == 0 && quick->next != nullptr) {
        // A full block goes to the end, so a block with free slots leads.
        queue->first_block = quick->next;
        quick->next->prev = nullptr;
        quick->prev = queue->last_block;
        quick->next = nullptr;
        queue->last_block->next = quick;
        queue->last_block = quick;
    }
    return true;
}

// ---- Release -------------------------------------------------------------------

void ZuMemZone::Free(void* pointer, unsigned line, const char* file)
{
    if (pointer == nullptr) {
        throw ZuExcMemory(ZuExcMemory::ZU_MEM_NULL_POINTER, nullptr, line, file);
    }
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_MEMORY);
    FreeLocked(pointer, line, file);
}

void ZuMemZone::FreeLocked(void* pointer, unsigned line, const char* file)
{
    char* base = static_cast<char*>(pointer) - PREFIX_SIZE;
    // The buffers of recent frees, by 16 KB slot of the address space,
    // with their ranges at hand.
    // The buffer of the block. The hints keep the buffers of recent frees
    // by 16 KB slot of the address; once the zone meets many more slots than
    // there are hints, they alias and miss about half the time, and the
    // unpredictable branch costs more than the lookup in the slot map that
    // a miss leads to: then the map alone, one lookup for every free.
    const FreeHint* place = nullptr;
    if (slot_table != nullptr && slot_count > FREE_HINTS + FREE_HINTS / 2) {
        place = FindBufferRange(base);
    } else {
        FreeHint& hint = free_hints[(reinterpret_cast<uintptr_t>(base) >> SLOT_SHIFT) % FREE_HINTS];
        if (base < hint.low || base >= hint.high) {
            if (slot_table != nullptr) {
                const FreeHint* found = FindBufferRange(base);
                if (found != nullptr) {
                    hint = *found;
                }
            } else {
                BufferHeader* found = FindBuffer(base);
                if (found != nullptr) {
                    hint = FreeHint{found->base, found->end, found};
                }
            }
        }
        place = &hint;
    }
    if (place == nullptr || base < place->low || base >= place->high) {
        throw ZuExcMemory(ZuExcMemory::ZU_MEM_NOT_IN_ZONE, base, line, file);
    }
    const FreeHint& hint = *place;
    BufferHeader* buffer = hint.buffer;
    ChunkHeader* chunk = ChunkFromPrefix(hint.high, base);
    if (chunk == nullptr) {
        // The prefix was overwritten, or the pointer is not a block: search.
        QuickBlock* quick = FindQuickBlock(base);
        if (quick != nullptr) {
            chunk = FindExactChunk(quick->first_used, base);
        } else {
            chunk = FindExactChunk(buffer->first_chunk, base);
            if (chunk != nullptr && chunk->kind == HEADER_FREE_CHUNK) {
                chunk = nullptr;
            }
        }
        if (chunk == nullptr) {
            throw ZuExcMemory(ZuExcMemory::ZU_MEM_NOT_A_BLOCK, base, line, file);
        }
    }
    if (chunk->in_quick_block) {
        FreeQuickBlock(chunk);
        DeleteHeader(AsHeader(chunk));
        return;
    }
    if (chunk->kind == ZU_MEM_QMB) {
        // A quick block belongs to the zone itself; freeing it from outside
        // would pull the slots from under their owners.
        throw ZuExcMemory(ZuExcMemory::ZU_MEM_NOT_A_BLOCK, base, line, file);
    }
    ReleaseToBuffer(chunk, buffer);
}

// A block of a buffer becomes free and merges with its free neighbours
// (apart from the quick path, as above).
[[gnu::noinline]] void ZuMemZone::ReleaseToBuffer(ChunkHeader* chunk, BufferHeader* buffer)
{
    if (free_debug) {
        Fill(chunk->address, chunk->size, free_pattern);
    }
    // The free neighbours leave their bins before they grow; the merged
    // chunk stands where the lower free one stood, or else at the front of
    // the free list.
    int64_t seq = 0;
    if (fit_bins != nullptr) {
        bool prev_free = chunk->prev != nullptr && chunk->prev->kind == HEADER_FREE_CHUNK;
        seq = prev_free ? FitTake(chunk->prev) : --fit_bins->next_seq;
        if (chunk->next != nullptr && chunk->next->kind == HEADER_FREE_CHUNK) {
            FitTake(chunk->next);
        }
    }
    free_bytes += chunk->size;
    chunk->kind = HEADER_FREE_CHUNK;
    chunk->prev_free = nullptr;
    chunk->next_free = buffer->first_free;
    if (buffer->first_free != nullptr) {
        buffer->first_free->prev_free = chunk;
    } else {
        buffer->last_free = chunk;
    }
    buffer->first_free = chunk;

    ChunkHeader* merged = chunk;
    if (merged->prev != nullptr && merged->prev->kind == HEADER_FREE_CHUNK) {
        merged = merged->prev;
        MergeChunks(merged, buffer);
    }
    if (merged->next != nullptr && merged->next->kind == HEADER_FREE_CHUNK) {
        MergeChunks(merged, buffer);
    }
    if (merged->size > buffer->largest_hole) {
        SetLargestHole(buffer, merged->size);
    }
    if (fit_bins != nullptr && !FitInsert(merged, buffer->ordinal, seq)) {
        FitDrop();
    }
}

void ZuMemZone::MergeChunks(ChunkHeader* first, BufferHeader* buffer)
{
    ChunkHeader* second = first->next;
    first->size += second->size;
    first->next = second->next;
    if (second->next != nullptr) {
        second->next->prev = first;
    } else {
        buffer->last_chunk = first;
    }
    UnlinkFree(second, buffer);
    DeleteHeader(AsHeader(second));
}

void ZuMemZone::FreeQuickBlock(ChunkHeader* chunk)
{
    QuickBlock* quick = chunk->quick_block;
    QuickQueue* queue = chunk->quick_queue;
    size_t offset = static_cast<size_t>(chunk->address - quick->start);
    unsigned queue_index = quick->element_size / 16 - 1;
    unsigned slot = quick->element_size % 16 == 0 && queue_index < QUICK_QUEUES
                        ? static_cast<unsigned>((offset * kQuickReciprocals[queue_index]) >> 32)
                        : static_cast<unsigned>(offset / quick->element_size);
    unsigned map_index = slot / 32;
    uint32_t map_bit = 1u << (slot % 32);
    ZU_ASSERT((quick->free_map[map_index] & map_bit) == 0);
    quick->free_map[map_index] |= map_bit;
    if (chunk->prev != nullptr) {
        chunk->prev->next = chunk->next;
    } else {
        quick->first_used = chunk->next;
    }
    if (chunk->next != nullptr) {
        chunk->next->prev = chunk->prev;
    } else {
        quick->last_used = chunk->prev;
    }
    chunk->next = nullptr;
    chunk->prev = nullptr;
    quick->free_count++;
    if (queue->first_block != quick) {
        quick->prev->next = quick->next;
        if (quick->next != nullptr) {
            quick->next->prev = quick->prev;
        } else {
            queue->last_block = quick->prev;
        }
        quick->prev = nullptr;
        quick->next = queue->first_block;
        queue->first_block->prev = quick;
        queue->first_block = quick;
    }
}

void ZuMemZone::FreeVector(void* pointer, unsigned line, const char* file)
{
    Free(static_cast<char*>(pointer) - vector_offset, line, file);
}

// ---- Lookups ---------------------------------------------------------------------

namespace {

inline size_t SlotHome(uintptr_t key, size_t capacity)
{
    return static_cast<size_t>((static_cast<uint64_t>(key) * 0x9E3779B97F4A7C15ull) >> 20) &
           (capacity - 1);
}

} // namespace

// Enters the buffer under every slot it meets; false (and the map dropped,
// so that lookups search the sorted table) when memory runs out or a slot
// would meet a third buffer.
bool ZuMemZone::MapBuffer(BufferHeader* buffer)
{
    uintptr_t first = reinterpret_cast<uintptr_t>(buffer->base) >> SLOT_SHIFT;
    uintptr_t last = reinterpret_cast<uintptr_t>(buffer->end - 1) >> SLOT_SHIFT;
    size_t want = slot_count + static_cast<size_t>(last - first + 1);
    if (want * 2 > slot_capacity) {
        size_t capacity = slot_capacity == 0 ? 64 : slot_capacity;
        while (want * 2 > capacity) {
            capacity *= 2;
        }
        auto table = static_cast<BufferSlot*>(std::calloc(capacity, sizeof(BufferSlot)));
        if (table == nullptr) {
            std::free(slot_table);
            slot_table = nullptr;
            return false;
        }
        for (size_t i = 0; i < slot_capacity; ++i) {
            if (slot_table[i].slot != 0) {
                size_t at = SlotHome(slot_table[i].slot, capacity);
                while (table[at].slot != 0) {
                    at = (at + 1) & (capacity - 1);
                }
                table[at] = slot_table[i];
            }
        }
        std::free(slot_table);
        slot_table = table;
        slot_capacity = capacity;
    }
    for (uintptr_t s = first; s <= last; ++s) {
        uintptr_t key = s + 1;
        size_t at = SlotHome(key, slot_capacity);
        while (slot_table[at].slot != 0 && slot_table[at].slot != key) {
            at = (at + 1) & (slot_capacity - 1);
        }
        BufferSlot& entry = slot_table[at];
        FreeHint place = {buffer->base, buffer->end, buffer};
        if (entry.slot == 0) {
            entry.slot = key;
            entry.buffers[0] = place;
            ++slot_count;
        } else if (entry.buffers[1].buffer == nullptr) {
            entry.buffers[1] = place;
        } else {
            std::free(slot_table);
            slot_table = nullptr;
            return false;
        }
    }
    return true;
}

const ZuMemZone::FreeHint* ZuMemZone::FindBufferRange(const char* address) const
{
    uintptr_t key = (reinterpret_cast<uintptr_t>(address) >> SLOT_SHIFT) + 1;
    for (size_t at = SlotHome(key, slot_capacity); slot_table[at].slot != 0;
         at = (at + 1) & (slot_capacity - 1)) {
        if (slot_table[at].slot == key) {
            for (const FreeHint& place : slot_table[at].buffers) {
                if (place.low <= address && address < place.high) {
                    return &place;
                }
            }
            return nullptr;
        }
    }
    return nullptr;
}

ZuMemZone::BufferHeader* ZuMemZone::FindBuffer(const char* address) const
{
    if (slot_table != nullptr) {
        const FreeHint* place = FindBufferRange(address);
        return place != nullptr ? place->buffer : nullptr;
    }
    // The last buffer that starts at or below the address, if it reaches it.
    uint32_t low = 0;
    uint32_t high = buffer_count;
    while (low < high) {
        uint32_t mid = low + (high - low) / 2;
        if (buffer_table[mid]->base <= address) {
            low = mid + 1;
        } else {
            high = mid;
        }
    }
    if (low == 0) {
        return nullptr;
    }
    BufferHeader* b = buffer_table[low - 1];
    return address < b->end ? b : nullptr;
}

ZuMemZone::QuickBlock* ZuMemZone::FindQuickBlock(const char* address) const
{
    for (unsigned i = 0; i < QUICK_QUEUES; ++i) {
        if (quick_queues[i] == nullptr) {
            continue;
        }
        for (QuickBlock* q = quick_queues[i]->first_block; q != nullptr; q = q->next) {
            if (q->start <= address && address < q->end) {
                return q;
            }
        }
    }
    return nullptr;
}

// The chunk in use that the prefix at `base` (in a buffer that ends at
// `end`) names, if the prefix is intact
// and the chunk really starts there; null otherwise.
inline ZuMemZone::ChunkHeader* ZuMemZone::ChunkFromPrefix(const char* end, const char* base) const
{
    if ((reinterpret_cast<uintptr_t>(base) & 7) != 0 || base + PREFIX_SIZE > end) {
        return nullptr;
    }
    uint32_t words[2];
    std::memcpy(words, base, sizeof words);
    if (words[1] != ~words[0]) {
        return nullptr;
    }
    Header* header = HeaderAt(words[0]);
    if (header == nullptr) {
        return nullptr;
    }
    ChunkHeader* chunk = &header->chunk;
    if (!IsUsedKind(chunk->kind) || chunk->address != base) {
        return nullptr;
    }
    return chunk;
}

ZuMemZone::ChunkHeader* ZuMemZone::FindContainingChunk(ChunkHeader* first, const char* address)
{
    for (ChunkHeader* c = first; c != nullptr; c = c->next) {
        if (IsUsedKind(c->kind) && c->address <= address && address < c->address + c->size) {
            return c;
        }
    }
    return nullptr;
}

ZuMemZone::ChunkHeader* ZuMemZone::FindExactChunk(ChunkHeader* first, const char* address)
{
    for (ChunkHeader* c = first; c != nullptr; c = c->next) {
        if (c->address == address) {
            return c;
        }
    }
    return nullptr;
}

const ZuMemZone::ChunkHeader* ZuMemZone::FindChunk(const void* pointer) const
{
    // The tables that the lookups read move when another thread allocates.
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_MEMORY);
    const char* address = static_cast<const char*>(pointer);
    QuickBlock* quick = FindQuickBlock(address);
    if (quick != nullptr) {
        return FindContainingChunk(quick->first_used, address);
    }
    BufferHeader* buffer = FindBuffer(address);
    if (buffer != nullptr) {
        return FindContainingChunk(buffer->first_chunk, address);
    }
    return nullptr;
}

void* ZuMemZone::FindBasePointer(const void* pointer)
{
    const ChunkHeader* chunk = FindChunk(pointer);
    return chunk != nullptr ? chunk->address : nullptr;
}

bool ZuMemZone::AboutBasePointer(const void* pointer, const char*& block_name, unsigned& line,
                                 const char*& file)
{
    const ChunkHeader* chunk = FindChunk(pointer);
    if (chunk == nullptr) {
        return false;
    }
    block_name = chunk->name;
    line = chunk->line;
    file = chunk->file;
    return true;
}

bool ZuMemZone::AboutBasePointer(const void* pointer, ZuStringRef& block_name, unsigned& line,
                                 ZuStringRef& file)
{
    const char* name_text = nullptr;
    const char* file_text = nullptr;
    if (!AboutBasePointer(pointer, name_text, line, file_text)) {
        return false;
    }
    block_name = name_text != nullptr ? name_text : "";
    file = file_text != nullptr ? file_text : "";
    return true;
}

// ---- Destruction -----------------------------------------------------------------

ZuMemZone::Range* ZuMemZone::BufferRanges() const
{
    if (buffer_count == 0) {
        return nullptr;
    }
    auto ranges = static_cast<Range*>(std::malloc(buffer_count * sizeof(Range)));
    if (ranges == nullptr) {
        return nullptr;
    }
    for (uint32_t i = 0; i < buffer_count; ++i) {
        ranges[i] = Range{buffer_table[i]->base, buffer_table[i]->end - 1};
    }
    return ranges;
}

void ZuMemZone::KillRefFromZone()
{
    for (BufferHeader* b = first_buffer; b != nullptr; b = b->next) {
        KillRefFromBuffer(b);
    }
}

void ZuMemZone::KillRefToZone()
{
    for (BufferHeader* b = first_buffer; b != nullptr; b = b->next) {
        KillRefToBuffer(b);
    }
}

void ZuMemZone::KillRefFromBuffer(BufferHeader* buffer)
{
    if (object_hooks.kill_ref_from != nullptr) {
        object_hooks.kill_ref_from(buffer->base, buffer->end - 1);
    }
}

void ZuMemZone::KillRefToBuffer(BufferHeader* buffer)
{
    if (object_hooks.kill_ref_to != nullptr) {
        object_hooks.kill_ref_to(buffer->base, buffer->end - 1);
    }
}

void ZuMemZone::FreeAndDestroy()
{
    if (!is_zone_ok) {
        return;
    }
    // One pass over the handles for the whole zone when the object model
    // offers it (the handles cut are the same as buffer by buffer).
    Range* ranges = nullptr;
    if (g_all_handles_cut) {
        // Kill did it for every zone.
    } else if (object_hooks.kill_refs_in_ranges != nullptr &&
               (ranges = BufferRanges()) != nullptr) {
        object_hooks.kill_refs_in_ranges(ranges, buffer_count);
        std::free(ranges);
    } else {
        KillRefFromZone();
        KillRefToZone();
    }
    BufferHeader* buffer = first_buffer;
    while (buffer != nullptr) {
        BufferHeader* next = buffer->next;
        Zuvi_MemFreeBuffer(zone_id, buffer->base, buffer->size, buffer->handle);
        buffer = next;
    }
    HeaderArray* array = first_array;
    while (array != nullptr) {
        HeaderArray* next = array->next;
        Zuvi_MemFreeBuffer(zone_id, array->base, array->platform_size, array->handle);
        array = next;
    }
    std::free(array_table);
    array_table = nullptr;
    std::free(buffer_table);
    buffer_table = nullptr;
    std::free(buffer_order);
    buffer_order = nullptr;
    std::free(buffer_holes);
    buffer_holes = nullptr;
    std::free(slot_table);
    slot_table = nullptr;
    for (FreeHint& hint : free_hints) {
        hint = FreeHint{nullptr, nullptr, nullptr};
    }
    FitDrop();
    slot_capacity = 0;
    slot_count = 0;
    buffer_count = 0;
    buffer_capacity = 0;
    array_count = 0;
    array_capacity = 0;
    available_arrays = nullptr;
    recent_array = nullptr;
    Zuvi_MemKillZone(zone_id);
    first_buffer = last_buffer = nullptr;
    first_array = last_array = nullptr;
    last_allocated = nullptr;
    for (unsigned i = 0; i < QUICK_QUEUES; ++i) {
        quick_queues[i] = nullptr;
    }
    total_bytes = 0;
    free_bytes = 0;
    is_zone_ok = false;
}

// ---- The standard zones ------------------------------------------------------------

void ZuMemZone::Initialise()
{
    ZU_ASSERT(ZuMemZone::zone_head == 0);
    static bool sys_zone_built = false;
    static ZuMemZone sys_zone; // destroyed at process exit
    if (sys_zone_built) {
        sys_zone.LinkZone(); // a second start after Kill
    }
    sys_zone_built = true;
    sys_zone.Initialise("SysZone");
    Zuvi_sys_zone = &sys_zone;

    ZuMemZone* zones[4];
    for (ZuMemZone*& zone : zones) {
        void* memory = Zuvi_sys_zone->Alloc(sizeof(ZuMemZone), "ZuMemZone", __LINE__, ZU_SRC_FILE);
        zone = ::new (memory) ZuMemZone;
    }
    Zuvi_data_zone = zones[0];
    Zuvi_app_zone = zones[1];
    Zuvi_temp_zone = zones[2];
    Zuvi_iface_zone = zones[3];
    Zuvi_data_zone->Initialise("DataZone");
    Zuvi_app_zone->Initialise("ApplicationZone");
    Zuvi_temp_zone->Initialise("TempZone");
    Zuvi_iface_zone->Initialise("InterfaceZone");
}

void ZuMemZone::Kill()
{
    ZU_ASSERT(Zuvi_sys_zone);
    // Every zone goes: cut the handles in and into all of them at once (the
    // same handles as zone by zone; only memory about to go could tell the
    // order apart).
    if (object_hooks.kill_refs_in_ranges != nullptr) {
        size_t count = 0;
        for (ZuMemZone* z = zone_head; z != nullptr; z = z->newer_zone) {
            count += z->buffer_count;
        }
        auto ranges = static_cast<Range*>(std::malloc((count + 1) * sizeof(Range)));
        if (ranges != nullptr) {
            size_t n = 0;
            for (ZuMemZone* z = zone_head; z != nullptr; z = z->newer_zone) {
                for (uint32_t i = 0; i < z->buffer_count; ++i, ++n) {
                    ranges[n] = Range{z->buffer_table[i]->base, z->buffer_table[i]->end - 1};
                }
            }
            std::sort(ranges, ranges + n,
                      [](const Range& a, const Range& b) { return a.low < b.low; });
            object_hooks.kill_refs_in_ranges(ranges, n);
            std::free(ranges);
            g_all_handles_cut = true;
        }
    }
    // Zones made by the application go first, newest first.
    ZuMemZone* prev = zone_tail;
    while (prev != Zuvi_iface_zone) {
        ZU_ASSERT(prev);
        ZuMemZone* zone = prev;
        prev = zone->older_zone;
        zone->~ZuMemZone();
        FreeAnyZone(zone, __LINE__, ZU_SRC_FILE);
    }
    ZuMemZone** standard[4] = {&Zuvi_data_zone, &Zuvi_app_zone, &Zuvi_temp_zone, &Zuvi_iface_zone};
    for (ZuMemZone** slot : standard) {
        ZuMemZone* zone = *slot;
        if (zone != nullptr) {
            zone->~ZuMemZone();
            if (Zuvi_sys_zone == nullptr) {
                NullFreeZone("Zuvi_sys_zone", __LINE__, ZU_SRC_FILE);
            }
            Zuvi_sys_zone->Free(zone, __LINE__, ZU_SRC_FILE);
        }
        *slot = nullptr;
    }
    Zuvi_sys_zone->FreeAndDestroy();
    // Unlinked too, so that the library can be started again.
    Zuvi_sys_zone->UnlinkZone();
    Zuvi_sys_zone = nullptr;
    g_all_handles_cut = false;
    if (object_hooks.forget_all_handles != nullptr) {
        object_hooks.forget_all_handles();
    }
}

bool ZuMemZone::FindZone(const void* pointer, ZuMemZone*& zone)
{
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_MEMORY);
    const char* address = static_cast<const char*>(pointer);
    for (ZuMemZone* z = zone_head; z != nullptr; z = z->newer_zone) {
        if (z->FindBuffer(address) != nullptr) {
            zone = z;
            return true;
        }
    }
    return false;
}

bool ZuMemZone::CheckPointer(const void* pointer)
{
    ZuMemZone* zone = nullptr;
    return FindZone(pointer, zone);
}

void ZuMemZone::FreeAnyZone(void* pointer, unsigned line, const char* file)
{
    if (Zuvi_sys_zone == nullptr) {
        return;
    }
    if (pointer == nullptr) {
        throw ZuExcMemory(ZuExcMemory::ZU_MEM_NULL_POINTER, nullptr, line, file);
    }
    // One stretch under the lock: the zone found is the one freed in.
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_MEMORY);
    ZuMemZone* zone = nullptr;
    if (!FindZone(pointer, zone)) {
        throw ZuExcMemory(ZuExcMemory::ZU_MEM_NOT_IN_ZONE, pointer, line, file);
    }
    zone->Free(pointer, line, file);
}

void ZuMemZone::FreeVectorAnyZone(void* pointer, unsigned line, const char* file)
{
    if (pointer == nullptr) {
        throw ZuExcMemory(ZuExcMemory::ZU_MEM_NULL_POINTER, nullptr, line, file);
    }
    // One stretch under the lock: the zone found is the one freed in.
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_MEMORY);
    ZuMemZone* zone = nullptr;
    if (!FindZone(pointer, zone)) {
        throw ZuExcMemory(ZuExcMemory::ZU_MEM_NOT_IN_ZONE, pointer, line, file);
    }
    zone->FreeVector(pointer, line, file);
}

void ZuMemZone::NullAllocZone(const char* block_name, unsigned line, const char* file)
{
    char text[200];
    std::snprintf(text, sizeof text, "Alloc Null Zone : %s",
                  block_name != nullptr ? block_name : "");
    Zuvi_ErrorAbort(text, static_cast<int>(line), file);
}

void ZuMemZone::NullFreeZone(const char* block_name, unsigned line, const char* file)
{
    char text[200];
    std::snprintf(text, sizeof text, "Free Null Zone : %s",
                  block_name != nullptr ? block_name : "");
    Zuvi_ErrorAbort(text, static_cast<int>(line), file);
}

// ---- Dump ------------------------------------------------------------------------------

void ZuMemZone::DumpDebugInfo(char* buffer, unsigned length, const ChunkHeader* chunk)
{
    if (length == 0) {
        return;
    }
    buffer[0] = '\0';
    if (length < 15 || chunk->kind == HEADER_FREE_CHUNK) {
        return;
    }
    size_t limit = length - 15; // characters of the main text
    int n = std::snprintf(buffer, limit + 1, "%s:%u (%s) - %s, %d",
                          chunk->file != nullptr ? chunk->file : "", chunk->line,
                          chunk->name != nullptr ? chunk->name : "", Zuvi_MemTypeName(chunk->kind),
                          static_cast<int>(chunk->user_word));
    size_t used = n < 0 ? 0 : static_cast<size_t>(n);
    if (used > limit) {
        std::strcpy(buffer + limit, "...");
        return;
    }
    if (chunk->kind != ZU_MEM_OBJ) {
        return;
    }
    // Appends a piece when it leaves room for a closing "..." and the zero.
    auto append = [&](const char* piece) {
        size_t len = std::strlen(piece);
        if (used + len + 3 + 1 > length) {
            std::strcpy(buffer + used, "...");
            return false;
        }
        std::memcpy(buffer + used, piece, len + 1);
        used += len;
        return true;
    };
    const void* object = chunk->address + PREFIX_SIZE;
    long handles = object_hooks.handle_count != nullptr ? object_hooks.handle_count(object) : 0;
    char piece[80];
    std::snprintf(piece, sizeof piece, ", obj=%08lx:%ld, (ref %ld",
                  static_cast<unsigned long>(reinterpret_cast<uintptr_t>(object)),
                  static_cast<long>(chunk->size), handles);
    if (!append(piece)) {
        return;
    }
    if (handles > 0) {
        if (!append(" used by")) {
            return;
        }
        for (long i = handles - 1; i >= 0; --i) {
            const void* owner = object_hooks.handle_owner != nullptr
                                    ? object_hooks.handle_owner(object, i)
                                    : nullptr;
            std::snprintf(piece, sizeof piece, " %08lx",
                          static_cast<unsigned long>(reinterpret_cast<uintptr_t>(owner)));
            if (!append(piece)) {
                return;
            }
        }
    }
    append(")");
}

void ZuMemZone::DumpDebugInfo(const char* path)
{
    if (total_bytes == free_bytes) {
        return;
    }
    FILE* out = std::fopen(path, "a");
    if (out == nullptr) {
        return;
    }
    const char* dashes = "----------------------------------------";
    std::fprintf(out, "%s\n", dashes);
    std::fprintf(out, "  Zone %s\n", name);
    std::fprintf(out, "%s\n", dashes);
    std::fprintf(out, "Total # allocations is %u.\n", all_count);
    for (unsigned i = 1; i < 64; ++i) {
        if (alloc_counts[i] != 0) {
            std::fprintf(out, "%u bytes:\t%u\n", i * 16, alloc_counts[i]);
        }
    }
    std::fprintf(out, "More bytes:\t%u\n", more_count);
    std::fprintf(out, "%s\n", dashes);
    char line[1000];
    for (BufferHeader* b = first_buffer; b != nullptr; b = b->next) {
        for (ChunkHeader* c = b->first_chunk; c != nullptr; c = c->next) {
            DumpDebugInfo(line, sizeof line, c);
            if (line[0] != '\0') {
                std::fprintf(out, "%s\n", line);
            }
        }
    }
    for (unsigned i = 0; i < QUICK_QUEUES; ++i) {
        QuickQueue* queue = quick_queues[i];
        if (queue == nullptr) {
            continue;
        }
        bool titled = false;
        for (QuickBlock* q = queue->first_block; q != nullptr; q = q->next) {
            for (ChunkHeader* c = q->first_used; c != nullptr; c = c->next) {
                if (!titled) {
                    std::fprintf(out, "\nQuickQueue #%u, size %u :\n", i,
                                 queue->first_block->element_size);
                    titled = true;
                }
                DumpDebugInfo(line, sizeof line, c);
                if (line[0] != '\0') {
                    std::fprintf(out, "%s\n", line);
                }
            }
        }
    }
    std::fprintf(out, "\n");
    std::fclose(out);
}
