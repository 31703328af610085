// ZuArray: the library's array of object handles, with gaps, auto-grow,
// change notifications, registered iterators and a compact stored form of
// alternating runs of gaps and data.
#include "si/array.h"

#include "si/arrayit.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/storage.h"

// Places that the library's diagnostics print (zone dumps, memory and
// assertion messages) are fixed line numbers, not __LINE__: what a dump or
// a log shows stays the same however this file is laid out.
namespace {
const unsigned kIteratorLine = 261;      // the iterator a ZuArray makes
const unsigned kRefArrayAllocLine = 524; // the handle block of an array
const unsigned kRefArrayFreeLine = 481;  // freeing that block
} // namespace

namespace {
const char* const src_file = "si/array";
}

ZU_IMPLEMENT_CLASS(ZuArray, "si/array", ZU_CLASS_PLAIN)

ZuObjectRef ZuArray::scratch;

ZuObjectRef& ZuArrayRef::operator[](unsigned int index) const
{
    ZuArray* array = Resolve();
    if (array != nullptr)
        return array->Access(index);
    static ZuObjectRef empty;
    empty = ZuObjectNull;
    return empty;
}

ZuArray::ZuArray() : data(nullptr), auto_grow_increment(0) {}

ZuArray::~ZuArray()
{
    SetSize(0);
}

// ---------------------------------------------------------------- size

bool ZuArray::SetSize(unsigned int n)
{
    if (n == num_element)
        return true;
    if (n == 0) {
        CleanupAndFreeReferences(data, num_element);
        data = nullptr;
        num_element = 0;
        NotifyDataChange(false, true, false);
        return true;
    }
    const unsigned int old = num_element;
    const unsigned int capacity = Capacity(data);
    if (n > old && n <= capacity) {
        // Room is left from an earlier growth: the new slots are made in place.
        for (unsigned int i = old; i < n; ++i)
            new (data + i) ZuObjectRef();
    } else if (n < old && n >= capacity / 4) {
        for (unsigned int i = n; i < old; ++i) {
            data[i] = ZuObjectNull;
            data[i].~ZuObjectRef();
        }
    } else {
        // Growth doubles the room, so that appending one by one costs a
        // constant time per slot on average; the size seen stays exact.
        unsigned int room = n;
        if (n > old && capacity < 0x80000000u && n < 2 * capacity)
            room = 2 * capacity;
        if (n > old && room < 8)
            room = 8;
        ZuObjectRef* block = AllocReferences(n, room);
        unsigned int kept = n < old ? n : old;
        for (unsigned int i = 0; i < kept; ++i)
            block[i] = data[i];
        CleanupAndFreeReferences(data, old);
        data = block;
    }
    num_element = n;
    if (n > old)
        NotifyDataChange(true, false, false);
    else
        NotifyDataChange(false, true, false);
    return true;
}

ZuObjectRef& ZuArray::Access(unsigned int index) const
{
    if (index < num_element)
        return data[index];
    if (auto_grow_increment == 0 || index > 0xFFFFFFFFu - auto_grow_increment) {
        scratch = ZuObjectNull;
        return scratch;
    }
    const_cast<ZuArray*>(this)->SetSize(index + auto_grow_increment);
    return data[index];
}

bool ZuArray::Get(unsigned int index, ZuObjectRef& object)
{
    if (index >= num_element) {
        object = ZuObjectNull;
        return false;
    }
    object = data[index];
    return true;
}

bool ZuArray::SetAutoGrowIncrement(unsigned int n)
{
    auto_grow_increment = n;
    return true;
}

unsigned int ZuArray::RetAutoGrowIncrement() const
{
    return auto_grow_increment;
}

bool ZuArray::SetMemZone(ZuMemZone*)
{
    return false;
}

// ------------------------------------------------------ insert / remove

bool ZuArray::Insert(const ZuObjectRef& object)
{
    SetSize(num_element + 1);
    data[num_element - 1] = object;
    NotifyDataChange(true, false, false);
    return true;
}

bool ZuArray::Insert(unsigned int pos, unsigned int count)
{
    if (count == 0)
        return true;
    unsigned int old = num_element;
    unsigned long long a = static_cast<unsigned long long>(old) + count;
    unsigned long long b = static_cast<unsigned long long>(pos) + count;
    unsigned long long size = a > b ? a : b;
    if (size > 0xFFFFFFFFull)
        return false;
    SetSize(static_cast<unsigned int>(size));
    if (pos < old) {
        for (unsigned int i = old; i-- > pos;) {
            data[i + count] = data[i];
            data[i] = ZuObjectNull;
        }
    }
    ForEachIterator([pos, count](ZuArrayIterator* it) { it->NotifyInsert(pos, count); });
    NotifyDataChange(true, false, true);
    return true;
}

bool ZuArray::Remove(unsigned int pos, unsigned int count)
{
    if (count == 0)
        return true;
    if (pos >= num_element)
        return false;
    if (count > num_element - pos)
        count = num_element - pos;
    for (unsigned int i = pos + count; i < num_element; ++i)
        data[i - count] = data[i];
    SetSize(num_element - count);
    ForEachIterator([pos, count](ZuArrayIterator* it) { it->NotifyRemove(pos, count); });
    NotifyDataChange(false, true, true);
    return true;
}

bool ZuArray::Remove(unsigned int index)
{
    return Remove(index, 1);
}

bool ZuArray::Remove(const ZuObjectRef& object, unsigned int occurrence)
{
    unsigned int index = 0;
    for (;;) {
        if (!Find(object, index))
            return false;
        if (occurrence == 0)
            return Remove(index);
        --occurrence;
        ++index;
    }
}

void ZuArray::RemoveAll()
{
    SetSize(0);
}

// --------------------------------------------------------------- search

bool ZuArray::Find(const ZuObjectRef& object, unsigned int& index)
{
    for (unsigned int i = index; i < num_element; ++i) {
        if (data[i] == object) {
            index = i;
            return true;
        }
    }
    return false;
}

bool ZuArray::LookFor(const ZuObjectRef& object)
{
    unsigned int index = 0;
    return Find(object, index);
}

bool ZuArray::GetSimilar(const ZuObjectRef& model, ZuObjectRef& found, unsigned int occurrence)
{
    for (unsigned int i = 0; i < num_element; ++i) {
        if (data[i].IsInvalid())
            continue;
        if (data[i]->CompareWith(model) != 0)
            continue;
        if (occurrence == 0) {
            found = data[i];
            return true;
        }
        --occurrence;
    }
    return false;
}

int ZuArray::CompareWith(const ZuObjectRef& other) const
{
    if (other.IsInvalid())
        return 1;
    if (!other->IsKindOf(ZuArrayRef::RetRuntime()))
        return ZuContainer::CompareWith(other);
    ZuArrayRef that(other);
    unsigned int n = num_element < that->num_element ? num_element : that->num_element;
    for (unsigned int i = 0; i < n; ++i) {
        const ZuObjectRef& mine = data[i];
        const ZuObjectRef& theirs = that->Access(i); // the other may lay out its slots otherwise
        if (mine == theirs)
            continue;
        if (mine.IsInvalid())
            return -1;
        int c = mine->CompareWith(theirs);
        if (c != 0)
            return c;
    }
    return 0;
}

bool ZuArray::SpecifyExtraction(const ZuArrayRef& array)
{
    return array.IsInvalid() || array->TotalCount() == 0;
}

// ------------------------------------------------------------ iterators

ZuIteratorRef ZuArray::NewIterator()
{
    ZuArrayIteratorRef it(ZuNew<ZuArrayIterator>(Zuvi_app_zone, kIteratorLine, src_file));
    InsertIterator(it);
    it->First();
    return it;
}

template <class F>
void ZuArray::ForEachIterator(F notify)
{
    if (iterators.IsInvalid())
        return;
    ZuObjectRef entry;
    for (unsigned int i = 0; iterators->Get(i, entry); ++i) {
        ZuArrayIterator* it = dynamic_cast<ZuArrayIterator*>(entry.Resolve());
        if (it != nullptr)
            notify(it);
    }
}

// ---------------------------------------------------------- life cycle

void ZuArray::Delete()
{
    SetSize(0);
    ZuContainer::Delete();
}

// A block of slots starts with a small header that holds its room (how many
// slots fit); only the first `count` slots are made, the others are raw
// memory until the array grows into them.
namespace {
struct SlotBlockHeader {
    unsigned int room;
    unsigned int unused[3];
};
static_assert(sizeof(SlotBlockHeader) % alignof(ZuObjectRef) == 0, "slots stay aligned");
} // namespace

ZuObjectRef* ZuArray::AllocReferences(unsigned int n)
{
    return AllocReferences(n, n);
}

ZuObjectRef* ZuArray::AllocReferences(unsigned int n, unsigned int room)
{
    if (room < n)
        room = n;
    unsigned long long bytes =
        static_cast<unsigned long long>(room) * sizeof(ZuObjectRef) + sizeof(SlotBlockHeader);
    if (bytes > 0xFFFFFFF0ull && room > n) {
        room = n;
        bytes =
            static_cast<unsigned long long>(room) * sizeof(ZuObjectRef) + sizeof(SlotBlockHeader);
    }
    if (bytes > 0xFFFFFFF0ull)
        throw ZuExcMemory(ZuExcMemory::Error(0), nullptr, kRefArrayAllocLine, src_file);
    if (Zuvi_data_zone == nullptr)
        ZuMemZone::NullAllocZone("ZuObjectRef[]", kRefArrayAllocLine, src_file);
    void* raw = Zuvi_data_zone->Alloc(static_cast<unsigned>(bytes), "ZuObjectRef[]",
                                      kRefArrayAllocLine, src_file, ZU_MEM_ARR);
    SlotBlockHeader* header = static_cast<SlotBlockHeader*>(raw);
    header->room = room;
    ZuObjectRef* block = reinterpret_cast<ZuObjectRef*>(header + 1);
    for (unsigned int i = 0; i < n; ++i)
        new (block + i) ZuObjectRef();
    return block;
}

unsigned int ZuArray::Capacity(const ZuObjectRef* block)
{
    if (block == nullptr)
        return 0;
    return (reinterpret_cast<const SlotBlockHeader*>(block) - 1)->room;
}

void ZuArray::CleanupAndFreeReferences(ZuObjectRef* block, unsigned int n)
{
    if (block == nullptr)
        return;
    for (unsigned int i = 0; i < n; ++i) {
        block[i] = ZuObjectNull;
        block[i].~ZuObjectRef();
    }
    ZuMemZone::FreeAnyZone(reinterpret_cast<SlotBlockHeader*>(block) - 1, kRefArrayFreeLine,
                           src_file);
}

// ------------------------------------------------------ runs and storage

void ZuArray::InternalGetGapSize(unsigned int pos, unsigned int& gap_size, unsigned int& data_size)
{
    gap_size = 0;
    data_size = 0;
    if (pos >= num_element)
        return;
    unsigned int i = pos;
    while (i < num_element && data[i].IsInvalid())
        ++i;
    gap_size = i - pos;
    unsigned int j = i;
    while (j < num_element && data[j].IsValid())
        ++j;
    data_size = j - i;
}

void ZuArray::InternalSetGapSize(unsigned int pos, unsigned int gap_size, unsigned int data_size)
{
    unsigned long long need = static_cast<unsigned long long>(pos) + gap_size + data_size;
    if (need > num_element && need <= 0xFFFFFFFFull)
        SetSize(static_cast<unsigned int>(need));
}

void ZuArray::StoreInstance(const ZuStorageRef& storage)
{
    ZuContainer::StoreInstance(storage);
    static ZuStorageSync record(
        "<ZuArray { < gap_size data_size { data } > } auto_grow_increment>");
    storage << record << ZuStorageSync::begin << ZuStorageSync::repeat;
    for (unsigned int pos = 0; pos < num_element;) {
        unsigned int gap = 0, count = 0;
        InternalGetGapSize(pos, gap, count);
        storage << ZuStorageSync::begin;
        storage->StoreCard(gap);
        storage->StoreCard(count);
        pos += gap;
        storage << ZuStorageSync::repeat;
        for (unsigned int k = 0; k < count; ++k, ++pos)
            storage->StoreObject(Access(pos));
        storage << ZuStorageSync::end_repeat << ZuStorageSync::end;
    }
    storage << ZuStorageSync::end_repeat;
    storage->StoreCard(auto_grow_increment);
    storage << ZuStorageSync::end;
}

void ZuArray::RestoreInstance(const ZuStorageRef& storage)
{
    RemoveAll();
    ZuContainer::RestoreInstance(storage);
    storage >> ZuStorageSync::type >> ZuStorageSync::begin >> ZuStorageSync::repeat;
    const unsigned int stored = num_element;
    num_element = 0; // the block is empty after RemoveAll
    // The runs fill the stored size exactly, as they were written: a size
    // the runs do not reach or that they pass is damaged data, refused
    // rather than read as an array of other elements.
    unsigned int pos = 0;
    while (pos < stored) {
        if (!storage->CheckForBegin())
            Zuvi_StorageFormat::BadData("ZuArray: runs end before the stored size", __LINE__);
        storage >> ZuStorageSync::begin;
        unsigned long long gap = storage->RestoreCard(0);
        unsigned long long count = storage->RestoreCard(0);
        if (gap + count == 0 || gap > stored - pos || count > stored - pos - gap)
            Zuvi_StorageFormat::BadData("ZuArray: a run leaves the stored size", __LINE__);
        InternalSetGapSize(pos, static_cast<unsigned int>(gap), 0);
        pos += static_cast<unsigned int>(gap);
        storage >> ZuStorageSync::repeat;
        // The slots for the data grow with what is actually read, so that a
        // corrupt count cannot make the array allocate ahead of its data.
        for (unsigned long long k = 0; k < count; ++k, ++pos) {
            if (storage->CheckForEnd() || storage->CheckForMark())
                Zuvi_StorageFormat::BadData("ZuArray: a run holds fewer objects than its count",
                                            __LINE__);
            if (pos >= num_element) {
                unsigned long long left = count - k;
                SetSize(pos + static_cast<unsigned int>(
                                  left < RESTORE_CHUNK
                                      ? left
                                      : static_cast<unsigned long long>(RESTORE_CHUNK)));
            }
            storage >> data[pos];
        }
        storage >> ZuStorageSync::end >> ZuStorageSync::end;
    }
    if (storage->CheckForBegin())
        Zuvi_StorageFormat::BadData("ZuArray: runs past the stored size", __LINE__);
    if (num_element > pos)
        SetSize(pos);
    storage >> ZuStorageSync::end;
    storage >> auto_grow_increment;
    storage >> ZuStorageSync::end;
}
