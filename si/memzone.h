#ifndef SI_MEMZONE_H
#define SI_MEMZONE_H

// Memory zones. Every block of the library lives in a named zone and
// records who asked for it (a name, a source line and file) and what it
// holds. A zone takes buffers from the platform and cuts them by best fit;
// blocks below 512 bytes come from per-size quick queues. The bookkeeping
// lives in arrays of headers outside the buffers.
//
//   void* p = Zuvi_app_zone->Alloc(size, "MyTable", __LINE__, ZU_SRC_FILE);
//   Zuvi_app_zone->Free(p, __LINE__, ZU_SRC_FILE);
//
// Alloc throws ZuExcMemory code 0 when there is no memory; Free throws code
// 2 (null), 3 (not in the zone) or 4 (not the start of a block in use).
// Both take the global lock.

#include <cstddef>
#include <cstdint>

#include "si/enumfamily.h"
#include "si/error.h"
#include "si/except.h"

class ZuStringRef;

// What a block holds: binary data ("BIN" in dumps), an object ("OBJ"), an
// array ("ARR"), a quick block ("QMB").
#define ZU_MEM_TYPE_LIST(X) X(ZU_MEM_BIN, 0) X(ZU_MEM_OBJ, 1) X(ZU_MEM_ARR, 2) X(ZU_MEM_QMB, 3)
ZU_ENUM(ZuMemType, ZU_MEM_TYPE_LIST)

// "BIN", "OBJ", "ARR", "QMB"; "???" for any other value.
const char* Zuvi_MemTypeName(unsigned type);

class ZuMemZone {
public:
    // ---- Bookkeeping records (all of one size, kept in header arrays) ----

    // Kinds of headers (the low byte of a header's first word); 0 to 3 is a
    // chunk in use, holding its ZuMemType.
    enum HeaderKind {
        HEADER_FREE_CHUNK = 15,
        HEADER_BUFFER = 0x20,
        HEADER_FREE = 0x21,
        HEADER_NEW = 0x22,
        HEADER_QUICK_BLOCK = 0x23,
        HEADER_QUICK_QUEUE = 0x24
    };

    struct QuickQueue;
    struct QuickBlock;
    union Header;

    // Every record starts with kind, a flag and its own index (the header's
    // place in the zone's header arrays, which never changes).
    struct ChunkHeader {
        uint8_t kind;
        uint8_t in_quick_block; // 1 for a chunk inside a quick block
        uint16_t spare;
        uint32_t index;
        ChunkHeader* next; // address order in the buffer, or the block's used list
        ChunkHeader* prev;
        ChunkHeader* next_free; // the buffer's free list
        ChunkHeader* prev_free;
        QuickQueue* quick_queue; // for a quick chunk: its queue and block
        QuickBlock* quick_block;
        char* address; // start of the block (where the 8-byte prefix lies)
        size_t size;   // bytes, the prefix included
        unsigned line;
        const char* file;
        const char* name;
        unsigned user_word; // 0 at allocation
    };

    struct BufferHeader {
        uint8_t kind;
        uint8_t spare8;
        uint16_t spare;
        uint32_t index;
        BufferHeader* next;
        BufferHeader* prev;
        ChunkHeader* first_chunk;
        ChunkHeader* last_chunk;
        ChunkHeader* first_free;
        ChunkHeader* last_free;
        char* base;
        char* end; // base + size
        size_t size;
        void* handle;        // platform handle, null for C heap memory
        size_t largest_hole; // size of the largest free chunk
        uint32_t ordinal;    // order of creation in the zone
    };

    struct QuickQueue {
        uint8_t kind;
        uint8_t spare8;
        uint16_t spare;
        uint32_t index;
        QuickBlock* first_block;
        QuickBlock* last_block;
    };

    struct QuickBlock {
        uint8_t kind;
        uint8_t spare8;
        uint16_t spare;
        uint32_t index;
        QuickBlock* next;
        QuickBlock* prev;
        ChunkHeader* first_used;
        ChunkHeader* last_used;
        unsigned element_size;
        unsigned free_count;
        uint32_t free_map[4]; // bit set: slot free (100 slots used)
        char* start;          // what the zone's Alloc gave for the block
        char* end;            // start + 100 * element size
    };

    struct FreeHeader {
        uint8_t kind;
        uint8_t spare8;
        uint16_t spare;
        uint32_t index;
        Header* next; // chain of free headers of the array
    };

    union Header {
        ChunkHeader chunk;
        BufferHeader buffer;
        QuickQueue queue;
        QuickBlock quick;
        FreeHeader free;
    };

    static constexpr unsigned QUICK_SLOTS = 100;
    static constexpr unsigned QUICK_QUEUES = 32;
    static constexpr unsigned QUICK_LIMIT = 512; // rounded sizes below it are quick
    static constexpr unsigned PREFIX_SIZE = 8;

    struct HeaderArray {
        HeaderArray* next;
        HeaderArray* prev;
        size_t platform_size;
        void* base;
        void* handle;
        unsigned free_count;
        Header* first_free;
        uint32_t ordinal;            // place in the zone's table of arrays
        HeaderArray* next_available; // stack of arrays that had a free header
        bool is_available;
        Header headers[170];
    };

    // Bytes low to high, both inside.
    struct Range {
        const char* low;
        const char* high;
    };

    // Object hooks: the object model plugs in here, so that zones know
    // objects without depending on them. All may stay null.
    struct ObjectHooks {
        // Writes the zone into a freshly allocated object's block.
        void (*set_object_zone)(void* object, ZuMemZone* zone);
        // Number of handles on an object; the object that embeds its i-th
        // handle (0 is the first, null when the handle is not a member).
        long (*handle_count)(const void* object);
        const void* (*handle_owner)(const void* object, long i);
        // Cut the handles that live in [low, high] (KillRefFromBuffer) and
        // that point at objects in [low, high] (KillRefToBuffer).
        void (*kill_ref_from)(const char* low, const char* high);
        void (*kill_ref_to)(const char* low, const char* high);
        // Both for every range of a table of `count` disjoint ranges in
        // address order, in one pass over the handles.
        void (*kill_refs_in_ranges)(const Range* ranges, size_t count);
        // Empties the global list of live handles (the end of Kill).
        void (*forget_all_handles)();
    };
    static ObjectHooks object_hooks;

    // ---- Zone life ----

    ZuMemZone();
    virtual ~ZuMemZone();
    ZuMemZone(const ZuMemZone&) = delete; // two zones never share buffers
    ZuMemZone& operator=(const ZuMemZone&) = delete;

    // Opens the zone under a name; true when open.
    virtual bool Initialise(const char* name);

    // ---- Blocks ----

    virtual void* Alloc(unsigned size, const char* name, unsigned line, const char* file,
                        ZuMemType type = ZU_MEM_BIN);
    virtual void Free(void* pointer, unsigned line, const char* file);
    // Frees what the array form of allocation gave (vector_offset in front).
    virtual void FreeVector(void* pointer, unsigned line, const char* file);

    virtual void SetAllocDebugMode(bool on, unsigned pattern);
    virtual void SetFreeDebugMode(bool on, unsigned pattern);

    // The start of the block in use that holds `pointer`, or null.
    virtual void* FindBasePointer(const void* pointer);
    // Name, line and file of the block in use that holds `pointer`: as new
    // strings, or as the texts the block was allocated with.
    virtual bool AboutBasePointer(const void* pointer, ZuStringRef& name, unsigned& line,
                                  ZuStringRef& file);
    bool AboutBasePointer(const void* pointer, const char*& name, unsigned& line,
                          const char*& file);

    // Appends the map of live blocks to the file (nothing for an empty zone).
    virtual void DumpDebugInfo(const char* path);
    // One dump line for a chunk, at most `length` characters with the
    // terminating zero; empty for a free chunk or a length below 15.
    static void DumpDebugInfo(char* buffer, unsigned length, const ChunkHeader* chunk);

    // ---- The standard zones ----

    // Builds "SysZone" and the four standard zones.
    static void Initialise();
    // Destroys every zone, the standard ones last.
    static void Kill();

    // The zone whose buffers hold `pointer`.
    static bool FindZone(const void* pointer, ZuMemZone*& zone);
    static bool CheckPointer(const void* pointer);
    // Free in whatever zone holds the pointer (nothing before Initialise).
    static void FreeAnyZone(void* pointer, unsigned line, const char* file);
    static void FreeVectorAnyZone(void* pointer, unsigned line, const char* file);
    // Stand where a zone pointer is null: both stop the program.
    [[noreturn]] static void NullAllocZone(const char* name, unsigned line, const char* file);
    [[noreturn]] static void NullFreeZone(const char* name, unsigned line, const char* file);

    // ---- Inspection ----

    const char* RetName() const { return name; }
    bool IsOpen() const { return is_zone_ok; }
    uint64_t RetTotalBytes() const { return total_bytes; }
    uint64_t RetFreeBytes() const { return free_bytes; }
    // Allocations counted under rounded size / 16 (1 to 63); 64 gives the
    // count of larger ones, 65 the count of all.
    unsigned RetAllocCount(unsigned index) const;
    const BufferHeader* RetFirstBuffer() const { return first_buffer; }
    const QuickQueue* RetQuickQueue(unsigned index) const
    {
        return index < QUICK_QUEUES ? quick_queues[index] : nullptr;
    }
    const ChunkHeader* RetLastAllocated() const { return last_allocated; }
    // The chunk in use that holds `pointer`, or null.
    virtual const ChunkHeader* FindChunk(const void* pointer) const;

    static ZuMemZone* zone_head; // oldest zone
    static ZuMemZone* zone_tail; // newest zone
    static size_t vector_offset; // bytes the array form puts before the first element

    // ---- Checking best fit ----

    // Best fit finds its block through size bins; with the check on, every
    // pick is also made by the plain walk over the buffers and their free
    // lists, and the two compared. On from the start in a build configured
    // with ZUVI_ZONE_VERIFY, where a difference stops the program.
    static void SetFitCheck(bool on);
    // Picks compared, and those where the two differed, since the start.
    static uint64_t RetFitChecks();
    static uint64_t RetFitMismatches();

protected:
    virtual Header* NewHeader();
    virtual void DeleteHeader(Header* header);
    virtual void UpdateFreeHole(BufferHeader* buffer);
    virtual void MergeChunks(ChunkHeader* first, BufferHeader* buffer);
    virtual bool AllocQuickBlock(ChunkHeader* chunk, unsigned size);
    virtual void FreeQuickBlock(ChunkHeader* chunk);
    virtual void KillRefFromZone();
    virtual void KillRefToZone();
    virtual void KillRefFromBuffer(BufferHeader* buffer);
    virtual void KillRefToBuffer(BufferHeader* buffer);

    // The zone's buffers as ranges in address order (malloc'd, null when the
    // zone has none or memory runs out).
    Range* BufferRanges() const;

    static ChunkHeader* FindContainingChunk(ChunkHeader* first, const char* address);
    static ChunkHeader* FindExactChunk(ChunkHeader* first, const char* address);

private:
    void FreeAndDestroy();
    // Best fit: the smallest free chunk that holds `size`; among equals the
    // newest buffer's, then the first in its free list. The walk visits the
    // buffers and their free lists; the bins give the same chunk directly.
    ChunkHeader* WalkBestFit(size_t size, BufferHeader*& buffer) const;
    ChunkHeader* PickBestFit(size_t size, BufferHeader*& buffer);
    struct FitBins;
    void FitBuild();
    void FitDrop();
    bool FitInsert(ChunkHeader* chunk, uint32_t ordinal, int64_t seq);
    // Takes a free chunk out of its bin (before its size changes); gives
    // its sequence number.
    int64_t FitTake(ChunkHeader* chunk);
    BufferHeader* FindBuffer(const char* address) const;
    QuickBlock* FindQuickBlock(const char* address) const;
    ChunkHeader* ChunkFromPrefix(const char* end, const char* base) const;
    BufferHeader* NewBuffer(size_t size, unsigned line, const char* file);
    void SetLargestHole(BufferHeader* buffer, size_t size);
    bool GrowBufferTables();
    void* AllocLocked(unsigned size, const char* name, unsigned line, const char* file,
                      ZuMemType type);
    ChunkHeader* CutFromBuffers(unsigned rounded, Header* header, unsigned line, const char* file);
    void ReleaseToBuffer(ChunkHeader* chunk, BufferHeader* buffer);
    void FreeLocked(void* pointer, unsigned line, const char* file);
    Header* HeaderAt(uint32_t index) const;
    Header* TakeHeader();
    HeaderArray* AddHeaderArray();
    void LinkZone();
    void UnlinkZone();
    static void MeasureVectorOffset();

    const char* name;
    ZuMemZone* newer_zone;
    ZuMemZone* older_zone;
    bool is_zone_ok;
    unsigned zone_id;
    BufferHeader* first_buffer;
    BufferHeader* last_buffer;
    HeaderArray* first_array;
    HeaderArray* last_array;
    ChunkHeader* last_allocated;
    uint64_t total_bytes;
    uint64_t free_bytes;
    bool alloc_debug;
    bool free_debug;
    unsigned alloc_pattern;
    unsigned free_pattern;
    unsigned alloc_counts[64]; // by rounded size / 16; 0 never counts
    unsigned more_count;
    unsigned all_count;
    unsigned min_buffer_size;
    unsigned headers_per_array;
    QuickQueue* quick_queues[QUICK_QUEUES];
    // Header arrays by ordinal (a header's index names its array and slot),
    // and the arrays that may have free headers.
    HeaderArray** array_table;
    uint32_t array_count;
    uint32_t array_capacity;
    HeaderArray* available_arrays;
    // The array of the header deleted last: its first free header is that
    // one, likely still in the cache, and is taken next while there.
    HeaderArray* recent_array;
    // The buffers sorted by address, for finding the one that holds a
    // pointer; and by creation (the reverse of the buffer list, which only
    // grows at its front) with their largest holes side by side, so that
    // best fit skips buffers without touching their headers.
    BufferHeader** buffer_table;
    BufferHeader** buffer_order;
    size_t* buffer_holes;
    uint32_t buffer_count;
    uint32_t buffer_capacity;
    // A buffer with its range at hand, base to end.
    struct FreeHint {
        const char* low;
        const char* high;
        BufferHeader* buffer;
    };
    // The buffers by 16 KB slot of the address space (a slot meets at most
    // two buffers, since none is smaller), for finding a pointer's buffer
    // in one lookup; open addressing, null when memory ran out. The ranges
    // sit in the slot, so that a lookup reads no buffer header.
    struct BufferSlot {
        uintptr_t slot; // address >> SLOT_SHIFT, plus one (0: empty)
        FreeHint buffers[2];
    };
    static constexpr unsigned SLOT_SHIFT = 14;
    BufferSlot* slot_table;
    size_t slot_capacity;
    size_t slot_count;
    bool MapBuffer(BufferHeader* buffer);
    // The buffer that holds `address`, with its range; null when none does.
    const FreeHint* FindBufferRange(const char* address) const;
    // The buffers where recent frees fell, by 16 KB slot of the address.
    static constexpr unsigned FREE_HINTS = 64;
    FreeHint free_hints[FREE_HINTS];
    // The free chunks of the buffers in size bins (null until the first
    // buffer, and after memory for them ran out: best fit then walks).
    FitBins* fit_bins;
};

extern ZuMemZone* Zuvi_sys_zone;
extern ZuMemZone* Zuvi_data_zone;
extern ZuMemZone* Zuvi_app_zone;
extern ZuMemZone* Zuvi_temp_zone;
extern ZuMemZone* Zuvi_iface_zone;

#endif
