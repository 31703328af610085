#include "si/storage.h"

#include "si/classfactory.h"
#include "si/dataslot.h"
#include "si/dict.h"
#include "si/listree.h"
#include "si/error.h"
#include "si/except.h"
#include "si/memzone.h"
#include "si/newtofill.h"
#include "si/rtclass.h"
#include "si/string.h"
#include "si/text.h"
#include "si/values.h"

#include "sd/win32/sd_memory.h"

#include <algorithm>
#include <deque>
#include <new>
#include <utility>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

ZU_IMPLEMENT_CLASS(ZuStorage, "si/storage", ZU_CLASS_ABSTRACT)

// Every diagnostic of the persistence engine names this source.
static const char* const kSource = "si/storage";

// ---------------------------------------------------------------- records

struct ZuStorage::StorageInfos {
    ZuDataSlotRef data_slot;
    ZuDictRef slot_fields;
    ZuLisTreeRef unknown_data; // replayed while an object is written
    std::uint32_t absent_blocks = 0;
};

// While an object's data is read, the tokens of its structure (levels and
// marks) and what RestoreToMark skips are noted here; only when something
// was skipped do they become the object's ZuLisTree, so objects that hold
// nothing unknown cost no tree.
struct ZuStorage::Recording {
    // Token types, and for object tokens an index into `objects` (handles
    // are made only for the objects themselves).
    std::vector<std::pair<int, std::size_t>> tokens;
    std::vector<ZuObjectRef> objects;
    bool skipped = false;
    bool skipping = false;
};

struct ZuStorage::ObjectEntry {
    ObjectEntry* next = nullptr;
    ZuObjectRef object;
    const ZuObject* key = nullptr; // the object when the entry was made
    std::uint32_t id = 0;
    bool written = false;
    bool is_path_or_string = false;
};

struct ZuStorage::NameEntry {
    NameEntry* next;
    std::uint32_t hash;
    std::uint32_t id;
    std::uint32_t length;
    char name[1]; // the text and its terminator, in the same allocation
};

namespace {

// A value made only on the paths that need it (an empty std::optional of a
// handle is cleared whole where it is declared, on every call).
template <typename T>
class Deferred {
public:
    Deferred() {}
    Deferred(const Deferred&) = delete;
    Deferred& operator=(const Deferred&) = delete;
    ~Deferred()
    {
        if (made)
            Get().~T();
    }
    template <typename... A>
    T& Make(A&&... args)
    {
        ::new (static_cast<void*>(storage)) T(std::forward<A>(args)...);
        made = true;
        return Get();
    }
    T& Get() { return *std::launder(reinterpret_cast<T*>(storage)); }
    bool IsMade() const { return made; }

private:
    alignas(T) unsigned char storage[sizeof(T)];
    bool made = false;
};

// Objects to values (an identifier, an entry), a value-initialised value
// standing for none: open addressing with linear probing over a
// power-of-two table, one multiply per lookup; erasing shifts the following
// entries back, so no tombstones pile up. The value lies in the slot, so a
// lookup touches nothing else.
template <typename Value>
class ObjectMap {
public:
    ObjectMap() = default;
    ObjectMap(const ObjectMap&) = delete;
    ObjectMap& operator=(const ObjectMap&) = delete;

    Value Find(const ZuObject* key) const
    {
        if (count == 0 || !key)
            return Value{};
        for (std::size_t i = Home(key);; i = (i + 1) & mask) {
            if (slots[i].key == key)
                return slots[i].value;
            if (!slots[i].key)
                return Value{};
        }
    }
    // Starts loading the slot where the key's search begins, for a lookup
    // that follows once other memory came.
    void Prefetch(const ZuObject* key) const
    {
        if (count)
            __builtin_prefetch(&slots[Home(key)]);
    }
    // The value of the key; a key not in the map yet joins it with no
    // value, which the caller sets at once.
    Value& FindOrAdd(const ZuObject* key)
    {
        if ((count + 1) * 4 > slots.size() * 3)
            Grow();
        std::size_t i = Home(key);
        for (; slots[i].key; i = (i + 1) & mask)
            if (slots[i].key == key)
                return slots[i].value;
        slots[i] = Slot{key, Value{}};
        ++count;
        return slots[i].value;
    }
    // The key must not be in the map yet.
    void Insert(const ZuObject* key, Value value)
    {
        if (!key)
            return;
        if ((count + 1) * 4 > slots.size() * 3)
            Grow();
        std::size_t i = Home(key);
        while (slots[i].key)
            i = (i + 1) & mask;
        slots[i] = Slot{key, value};
        ++count;
    }
    void Erase(const ZuObject* key)
    {
        if (count == 0 || !key)
            return;
        std::size_t i = Home(key);
        while (slots[i].key != key) {
            if (!slots[i].key)
                return;
            i = (i + 1) & mask;
        }
        // Backward shift: move up every following entry that may sit in
        // the hole.
        for (std::size_t j = (i + 1) & mask; slots[j].key; j = (j + 1) & mask) {
            std::size_t const home = Home(slots[j].key);
            if (((j - home) & mask) >= ((j - i) & mask)) {
                slots[i] = slots[j];
                i = j;
            }
        }
        slots[i] = Slot{};
        --count;
    }
    void Clear()
    {
        if (count)
            std::fill(slots.begin(), slots.end(), Slot{});
        count = 0;
    }

private:
    struct Slot {
        const ZuObject* key = nullptr;
        Value value{};
    };
    std::size_t Home(const ZuObject* key) const
    {
        return std::size_t(
            (std::uint64_t(reinterpret_cast<std::uintptr_t>(key)) * 0x9E3779B97F4A7C15ull) >>
            shift);
    }
    void Grow()
    {
        std::vector<Slot> old;
        old.swap(slots);
        std::size_t const size = old.empty() ? 64 : old.size() * 2;
        slots.assign(size, Slot{});
        mask = size - 1;
        shift = 64;
        for (std::size_t s = size; s > 1; s >>= 1)
            --shift;
        count = 0;
        for (const Slot& slot : old)
            if (slot.key)
                Insert(slot.key, slot.value);
    }

    std::vector<Slot> slots;
    std::size_t mask = 0;
    unsigned shift = 64;
    std::size_t count = 0;
};

// Entries made and dropped newest first, from blocks that stay for the
// next run. The blocks are platform buffers, like a zone's: every entry of
// a block is filled in turn, and such a buffer comes with its pages
// present rather than one page fault at a time.
template <typename Entry>
class EntryArena {
public:
    EntryArena() = default;
    EntryArena(const EntryArena&) = delete;
    EntryArena& operator=(const EntryArena&) = delete;
    ~EntryArena()
    {
        for (const Block& block : blocks)
            Zuvi_MemFreeBuffer(0, block.memory, block.size, block.handle);
    }
    Entry* New()
    {
        std::size_t const b = used / kPerBlock;
        if (b == blocks.size()) {
            blocks.reserve(blocks.size() + 1);
            Block block;
            if (!Zuvi_MemAllocBuffer(0, kPerBlock * sizeof(Entry), block.memory, block.size,
                                     block.handle))
                throw std::bad_alloc();
            blocks.push_back(block);
        }
        Entry* e = new (static_cast<Entry*>(blocks[b].memory) + used % kPerBlock) Entry;
        ++used;
        return e;
    }
    // Only the newest entry goes.
    void DeleteNewest(Entry* e)
    {
        e->~Entry();
        --used;
    }

private:
    struct Block {
        void* memory = nullptr;
        std::size_t size = 0;
        void* handle = nullptr;
    };
    static constexpr std::size_t kPerBlock = 512;
    std::vector<Block> blocks;
    std::size_t used = 0;
};

} // namespace

// What the storage asks of an object's class. The class record's IsA and
// IsKindOf answer for the class a record describes, not for its own: for
// records (`own_answers`) those are asked of each object again.
struct ZuStorage::ClassInfo {
    const ZuRuntime* runtime = nullptr;
    const char* name = nullptr;
    std::uint32_t length = 0;
    std::uint32_t name_id = 0; // 0 until the writer named the class in this run
    bool is_path_or_string = false;
    bool is_atom = false;
    bool is_value = false;
    bool own_answers = false;
};

// Lookups beside the two lists. The lists keep their order (newest first)
// for waking and for the identifiers; the indexes keep a graph of many
// objects from costing a walk of the whole table per reference.
struct ZuStorage::Index {
    // Filled by storing; objects made while reading join it only when a
    // lookup needs it (`mapped` entries of by_id are in it).
    ObjectMap<std::uint32_t> by_object; // identifiers
    std::size_t mapped = 0;
    EntryArena<ObjectEntry> entries;
    // What each name stands for once asked: its atom, and the class it names.
    std::vector<ZuAtomRef> atom_by_name;
    std::vector<ZuRuntimeRef> class_by_name;
    // Atoms written in this run, to their names (an atom's text never
    // changes).
    ObjectMap<std::uint32_t> name_by_atom;
    // What the writer and the reader ask of an object's class, once a run.
    ObjectMap<ClassInfo*> class_info;
    std::deque<ClassInfo> class_infos;
    // Recording buffers by nesting of object data, kept from object to
    // object and from run to run.
    std::vector<Recording*> recordings;
    std::size_t recording_depth = 0;
    // Receives an object's unknown data for a moment while it is written.
    ZuObjectRef unknown;
    ~Index()
    {
        for (Recording* r : recordings)
            delete r;
    }
    std::vector<ObjectEntry*> by_id;   // identifier - 1
    std::vector<ZuObject*> held_by_id; // what each entry holds, beside it
    std::vector<ObjectEntry*> pending; // entries whose data is pending, newest last
    std::unordered_map<std::string_view, NameEntry*> by_text;
    std::vector<NameEntry*> names_by_id;
};

class ZuStorage::Format : public Zuvi_StorageFormat {
public:
    explicit Format(ZuStorage* owner) : owner(owner) {}

protected:
    void WriteRaw(const void* data, std::uint32_t size) override { owner->StoreData(data, size); }
    void ReadRaw(void* data, std::uint32_t size) override { owner->RestoreData(data, size); }
    void RestoreScalarFromValue(ScalarKind kind, Scalar& out) override
    {
        owner->RestoreScalarFromValue(kind, out);
    }

private:
    ZuStorage* owner;
};

// Makes the storage's own handle for an outermost store or restore; the
// calls inside it borrow that one.
class ZuStorage::SelfScope {
public:
    explicit SelfScope(ZuStorage* storage) : owner(storage)
    {
        if (!owner->self_handle)
            owner->self_handle = &handle.Make(owner);
    }
    ~SelfScope()
    {
        if (handle.IsMade())
            owner->self_handle = nullptr;
    }
    SelfScope(const SelfScope&) = delete;
    SelfScope& operator=(const SelfScope&) = delete;

private:
    ZuStorage* owner;
    Deferred<ZuStorageRef> handle;
};

namespace {

typedef Zuvi_StorageFormat F;

// Depth of nested RestoreObject calls accepted from a stream.
const unsigned kMaxRestoreNesting = 256;

std::uint32_t NameHash(const char* text, std::size_t length)
{
    std::uint32_t hash = 0;
    for (std::size_t i = 0; i < length; i++)
        hash += std::uint32_t((unsigned char)text[i]) << (i % 16);
    return hash;
}

// The classes whose pending data is written where they are referenced.
bool IsPathOrString(const char* name)
{
    return std::strcmp(name, "ZuAtomPath") == 0 || std::strcmp(name, "ZuString") == 0;
}

ZuStorageSync& StorageRecord()
{
    static ZuStorageSync record("<ZuStorage>");
    return record;
}

// Keeps a counter raised for the duration of a scope, also when it is left
// by an exception.
struct Raise {
    std::uint32_t& counter;
    explicit Raise(std::uint32_t& c) : counter(c) { ++counter; }
    ~Raise() { --counter; }
};

[[noreturn]] void Abort(const char* message, int line)
{
    Zuvi_ErrorAbort(message, line, kSource);
}

} // namespace

// ---------------------------------------------------------------- lifecycle

ZuStorage::ZuStorage()
    : mode(ZU_STORAGE_OFF), storage_infos(nullptr), object_table(nullptr), name_table(nullptr),
      pending_count(0), data_depth(0), format(new Format(this)), index(new Index),
      restore_nesting(0), recording(nullptr), self_handle(nullptr)
{
    storage_infos = new StorageInfos;
}

ZuStorage::~ZuStorage()
{
    ClearTables();
    mode = ZU_STORAGE_OFF;
    delete storage_infos;
    storage_infos = nullptr;
    delete index;
    delete format;
}

void ZuStorage::ClearDataSlot()
{
    if (!storage_infos)
        return;
    storage_infos->data_slot = static_cast<ZuDataSlot*>(nullptr);
    if (storage_infos->slot_fields.IsValid())
        storage_infos->slot_fields->Delete();
    storage_infos->slot_fields = static_cast<ZuDict*>(nullptr);
}

void ZuStorage::Delete()
{
    ClearDataSlot();
    ZuObject::Delete();
}

// ---------------------------------------------------------------- data slots

void ZuStorage::SetDataSlot(const ZuDataSlotRef& slot)
{
    ClearDataSlot();
    if (slot.IsInvalid())
        return;
    storage_infos->data_slot = slot;
    ZuDictRef dict = ZuNew<ZuDict>(RetMemZone(), __LINE__, kSource);
    dict->SetCompKeyUsingIsEqual(false);
    storage_infos->slot_fields = dict;
    for (unsigned i = 0;; i++) {
        ZuObjectRef name_object;
        ZuObjectRef value;
        if (!slot->Get(i, name_object))
            break;
        ZuAtomRef name(name_object);
        if (name.IsInvalid() || !slot->GetField(name, value))
            break;
        dict->Insert(name, value);
    }
}

void ZuStorage::RemoveDataSlot(const ZuDataSlotRef& slot)
{
    if (slot.IsValid() && storage_infos->data_slot == slot)
        ClearDataSlot();
}

ZuDataSlotRef ZuStorage::RetDataSlot(unsigned int slot_index) const
{
    if (slot_index != 0)
        Abort("Failed assertion: index == 0", __LINE__);
    return storage_infos->data_slot;
}

bool ZuStorage::FindNameFromSlot(const ZuObjectRef& object, ZuAtomRef& name)
{
    if (storage_infos->slot_fields.IsInvalid())
        return false;
    ZuObjectRef key;
    if (!storage_infos->slot_fields->GetFromValue(object, key, 0))
        return false;
    name = key;
    return name.IsValid();
}

bool ZuStorage::FindObjectFromSlot(const ZuAtomRef& name, ZuObjectRef& object)
{
    if (storage_infos->data_slot.IsValid() && name.IsValid() &&
        storage_infos->data_slot->GetField(name, object))
        return true;
    Zuvi_Trace("Could not find field <%s> in any slot !\n",
               name.IsValid() ? (const char*)name : "");
    object = static_cast<ZuObject*>(nullptr);
    return false;
}

void ZuStorage::SetStorageMode(StorageMode new_mode)
{
    if (unsigned(new_mode) > ZU_STORAGE_REMOTE)
        Abort("Unknown storage mode specified.", __LINE__);
    mode = new_mode;
    ClearTables();
    // A run that ended inside absent blocks must not leave the next run
    // reading nothing.
    storage_infos->absent_blocks = 0;
}

void ZuStorage::DropPushedBack()
{
    format->DropPushedBack();
}

void ZuStorage::SetInputWindow(const void* next, std::size_t size)
{
    const unsigned char* const start = static_cast<const unsigned char*>(next);
    format->SetInputWindow(start, size ? start + size : start);
}

const unsigned char* ZuStorage::RetInputWindow() const
{
    return format->RetInputWindowNext();
}

std::size_t ZuStorage::RetInputWindowSize() const
{
    return format->RetInputWindowSize();
}

void ZuStorage::SetOutputWindow(void* next, std::size_t size)
{
    unsigned char* const start = static_cast<unsigned char*>(next);
    format->SetOutputWindow(start, size ? start + size : start);
}

unsigned char* ZuStorage::RetOutputWindow() const
{
    return format->RetOutputWindowNext();
}

void ZuStorage::ClearTables()
{
    while (object_table) {
        ObjectEntry* e = object_table;
        object_table = e->next;
        index->entries.DeleteNewest(e);
    }
    while (name_table) {
        NameEntry* n = name_table;
        name_table = n->next;
        std::free(n);
    }
    index->by_object.Clear();
    index->mapped = 0;
    index->atom_by_name.clear();
    index->class_by_name.clear();
    index->name_by_atom.Clear();
    index->class_info.Clear();
    index->class_infos.clear();
    index->by_id.clear();
    index->held_by_id.clear();
    index->pending.clear();
    index->by_text.clear();
    index->names_by_id.clear();
    pending_count = 0;
    data_depth = 0;
    format->ResetIDBase();
}

// ---------------------------------------------------------------- tables

std::uint32_t ZuStorage::LookForRef(ZuObject* held, ZuObject* obj, const ClassInfo* info,
                                    bool& is_new)
{
    if (!obj)
        Abort("Failed assertion: obj.IsValid ()", __LINE__);
    if (index->mapped < index->by_id.size())
        SyncObjectMap();
    std::uint32_t& slot = index->by_object.FindOrAdd(obj);
    if (slot) {
        is_new = false;
        return slot;
    }
    try {
        if (!info)
            info = &ClassOf(obj);
        slot = NewEntry(held, obj, info->is_path_or_string)->id;
    } catch (...) {
        index->by_object.Erase(obj);
        throw;
    }
    index->mapped = index->by_id.size();
    is_new = true;
    return slot;
}

// Entries that reading made join the map (oldest first, as they would have
// been added one by one).
void ZuStorage::SyncObjectMap()
{
    for (; index->mapped < index->by_id.size(); ++index->mapped) {
        ObjectEntry* m = index->by_id[index->mapped];
        if (!index->by_object.Find(m->key))
            index->by_object.Insert(m->key, m->id);
    }
}

ZuStorage::ObjectEntry* ZuStorage::NewEntry(ZuObject* held, ZuObject* obj, bool is_path_or_string)
{
    ObjectEntry* e = index->entries.New();
    e->object = held;
    e->key = obj;
    e->id = object_table ? object_table->id + 1 : 1;
    e->written = false;
    e->is_path_or_string = is_path_or_string;
    e->next = object_table;
    object_table = e;
    index->by_id.push_back(e);
    index->held_by_id.push_back(held);
    index->pending.push_back(e);
    pending_count++;
    return e;
}

ZuStorage::ClassInfo& ZuStorage::ClassOf(const ZuObject* obj)
{
    const ZuRuntimeRef& record = obj->RetRuntime();
    const ZuObject* const raw = static_cast<const ZuObjectRef&>(record).RetRawObject();
    const ZuRuntime* const runtime =
        raw ? static_cast<const ZuRuntime*>(raw) : record.CheckAndResolve();
    ClassInfo*& slot = index->class_info.FindOrAdd(runtime);
    if (slot)
        return *slot;
    try {
        index->class_infos.emplace_back();
    } catch (...) {
        index->class_info.Erase(runtime);
        throw;
    }
    ClassInfo& info = index->class_infos.back();
    info.runtime = runtime;
    info.name = runtime->RetClassName();
    info.length = std::uint32_t(std::strlen(info.name));
    info.is_path_or_string = IsPathOrString(info.name);
    info.own_answers = obj->ZuObject::IsKindOf(ZuRuntimeRef::RetRuntime());
    if (!info.own_answers) {
        info.is_atom = obj->IsA(ZuAtomRef::RetRuntime());
        info.is_value = obj->IsKindOf(ZuValueRef::RetRuntime());
    }
    slot = &info;
    return info;
}

std::uint32_t ZuStorage::LookForName(const char* text, std::size_t length, bool& is_new)
{
    if (!text)
        Abort("Failed assertion: name", __LINE__);
    auto found = index->by_text.find(std::string_view(text, length));
    if (found != index->by_text.end()) {
        is_new = false;
        return found->second->id;
    }
    NameEntry* n = static_cast<NameEntry*>(std::malloc(sizeof(NameEntry) + length));
    if (!n)
        throw std::bad_alloc();
    n->hash = NameHash(text, length);
    n->id = name_table ? name_table->id + 1 : 1;
    n->length = std::uint32_t(length);
    std::memcpy(n->name, text, length);
    n->name[length] = '\0';
    n->next = name_table;
    name_table = n;
    index->by_text.emplace(std::string_view(n->name, length), n);
    index->names_by_id.push_back(n);
    is_new = true;
    return n->id;
}

void ZuStorage::ResolveName(std::uint32_t id, const char*& text, std::size_t& length)
{
    if (id == 0 || id > index->names_by_id.size())
        F::BadData("Name ID not found in storage data base.", __LINE__);
    const NameEntry* n = index->names_by_id[id - 1];
    text = n->name;
    length = n->length;
}

void ZuStorage::StoreID(std::uint32_t id)
{
    format->StoreID(id);
}
std::uint32_t ZuStorage::RestoreID()
{
    return format->RestoreID();
}
void ZuStorage::PushBackData(const void* data, unsigned int size)
{
    format->PushBackData(data, size);
}
void ZuStorage::PopAndRestoreData(void* data, unsigned int size)
{
    format->PopAndRestoreData(data, size);
}

// ---------------------------------------------------------------- writing

void ZuStorage::StoreBool(bool value)
{
    format->StoreBool(value);
}
void ZuStorage::StoreInt(std::int64_t value)
{
    format->StoreInt(value);
}
void ZuStorage::StoreCard(std::uint64_t value)
{
    format->StoreCard(value);
}
void ZuStorage::StoreReal(double value)
{
    format->StoreReal(value);
}
void ZuStorage::StoreBinData(const void* data, unsigned int size)
{
    format->StoreBinData(data, size);
}
// Whether what an older reader kept of the object being written waits to
// be written back; mostly nothing does.
static bool Waits(const ZuLisTreeRef& unknown_data, std::uint32_t absent_blocks)
{
    return absent_blocks == 0 && unknown_data.RetRawObject() && unknown_data.IsValid();
}

void ZuStorage::StoreSyncMark()
{
    if (Waits(storage_infos->unknown_data, storage_infos->absent_blocks))
        ReplayUntil(ZuLisTree::ZU_LISTREE_MARK);
    format->StoreTag(F::TYP_SYNC_MARK);
}

void ZuStorage::StoreBlockBegin()
{
    if (storage_infos->absent_blocks) {
        storage_infos->absent_blocks++;
    } else if (Waits(storage_infos->unknown_data, 0)) {
        // The counterpart of this block is a block the reader read next.
        // A reader never skips items just before a block it reads (it
        // skips only up to a mark or an end), so anything else here, an end
        // or skipped items, says that the reader took another way (fewer
        // blocks than are written now, as damaged input can make it): the
        // block has no counterpart and what was kept waits for the next
        // mark or end. Written before the block, the items would stand
        // where its reader expects the block.
        ZuLisTree::Type const head = storage_infos->unknown_data->PeekHeadType();
        if (head == ZuLisTree::ZU_LISTREE_LEVEL_BEGIN)
            ReplayUntil(ZuLisTree::ZU_LISTREE_LEVEL_BEGIN);
        else if (head != ZuLisTree::ZU_LISTREE_NONE)
            storage_infos->absent_blocks = 1;
    }
    format->StoreTag(F::TYP_SYNC_BEGIN);
}

void ZuStorage::StoreBlockEnd()
{
    if (Waits(storage_infos->unknown_data, storage_infos->absent_blocks))
        ReplayUntil(ZuLisTree::ZU_LISTREE_LEVEL_END);
    format->StoreTag(F::TYP_SYNC_END);
    if (storage_infos->absent_blocks)
        storage_infos->absent_blocks--;
}

void ZuStorage::StoreAtom(const ZuAtomRef& atom)
{
    if (atom.IsInvalid()) {
        format->StoreAtomEmpty();
        return;
    }
    ZuAtom* const a = atom.CheckAndResolve();
    std::uint32_t& known = index->name_by_atom.FindOrAdd(a);
    if (known) {
        format->StoreAtomID(known);
        return;
    }
    const char* text = a->RetText();
    std::size_t const length = std::strlen(text);
    // Refused before the name table learns it, so the tables stay in step
    // with what was written.
    if (length > F::MAX_ATOM_LENGTH) {
        index->name_by_atom.Erase(a);
        F::BadData("Atom too long to be stored", __LINE__);
    }
    bool is_new;
    std::uint32_t id;
    try {
        id = LookForName(text, length, is_new);
    } catch (...) {
        index->name_by_atom.Erase(a);
        throw;
    }
    known = id;
    if (is_new)
        format->StoreAtomText(text, length);
    else
        format->StoreAtomID(id);
}

void ZuStorage::StoreSyncType(ZuStorageSync& record)
{
    format->StoreTag(F::TYP_SYNC_TYPE);
    StoreAtom(record.UpdateInternalName());
}

void ZuStorage::StoreObject(const ZuObjectRef& object)
{
    // A phantom is stored as itself even when it stands for nothing now.
    ZuObject* const raw = object.RetRawObject();
    if (mode == ZU_STORAGE_OFF || !raw) {
        format->StoreTag(F::TYP_NULL);
        return;
    }
    // The object's own memory and its slot in the object map are far
    // apart and mostly cold in a large graph: both are asked for at once.
    index->by_object.Prefetch(raw);
    ZuObject* const resolved = raw->Resolve();
    const bool phantom = resolved != raw;
    ZuObject* const obj = phantom ? raw : resolved;
    if (!phantom && storage_infos->slot_fields.IsValid()) {
        ZuAtomRef slot_name;
        if (FindNameFromSlot(object, slot_name)) {
            format->StoreTag(F::TYP_O_SLOT);
            StoreAtom(slot_name);
            return;
        }
    }
    SelfScope self(this);
    ClassInfo* const info = phantom ? nullptr : &ClassOf(obj);
    const bool is_atom =
        info && (info->own_answers ? obj->IsA(ZuAtomRef::RetRuntime()) : info->is_atom);
    if (mode == ZU_STORAGE_LOCAL) {
        if (is_atom) {
            StoreAtom(ZuAtomRef(object));
            return;
        }
        // The address travels whole: 4 bytes where it fits, else all 8.
        std::uint64_t const address =
            std::uint64_t(reinterpret_cast<std::uintptr_t>(object.RetRawObject()));
        unsigned char out[9];
        unsigned n;
        if ((address >> 32) == 0) {
            out[0] = F::TYP_POINTER32;
            n = 5;
        } else {
            out[0] = F::TYP_POINTER64;
            n = 9;
        }
        for (unsigned i = 1; i < n; i++)
            out[i] = (unsigned char)(address >> (8 * (n - 1 - i)));
        format->StoreBytes(out, n);
        return;
    }
    if (phantom) {
        format->StoreTag(F::TYP_O_PHANTOM);
        object.RetRawObject()->StoreInstance(*self_handle);
        return;
    }
    const bool is_value =
        info->own_answers ? obj->IsKindOf(ZuValueRef::RetRuntime()) : info->is_value;
    if (is_value && !obj->TestStatus(ZU_OBJECT_IS_CONNECTED)) {
        // A plain value travels as the scalar it holds.
        ZuValue* value = static_cast<ZuValue*>(obj);
        const ZuSimpleType kind = value->RetType();
        if (kind == ZU_TYPE_BOOL) {
            format->StoreBool(value->RetBool());
            return;
        }
        if (kind == ZU_TYPE_INT) {
            format->StoreInt(value->RetInt64());
            return;
        }
        if (kind == ZU_TYPE_CARD) {
            format->StoreCard(value->RetCard64());
            return;
        }
        if (kind == ZU_TYPE_REAL) {
            format->StoreReal(value->RetReal());
            return;
        }
    }
    if (is_atom) {
        StoreAtom(ZuAtomRef(object));
        return;
    }
    StoreReference(raw, obj, *info);
    StorePendingData();
}

void ZuStorage::StoreReference(ZuObject* held, ZuObject* obj, ClassInfo& info)
{
    bool is_new;
    std::uint32_t const id = LookForRef(held, obj, &info, is_new);
    if (!is_new) {
        format->StoreTag(F::TYP_O_AGAIN);
        StoreID(id);
        return;
    }
    // The class is named once a run.
    const char* class_name = info.name;
    std::size_t const length = info.length;
    if (!(length < 100))
        Abort("Failed assertion: length < 100", __LINE__);
    bool name_new = false;
    if (!info.name_id)
        info.name_id = LookForName(class_name, length, name_new);
    std::uint32_t const name_id = info.name_id;
    if (name_new) {
        const unsigned char head[2] = {F::TYP_O_NEW_CLASS, (unsigned char)length};
        format->StoreBytes(head, 2);
        StoreID(name_id);
        StoreID(id);
        format->StoreBytes(class_name, unsigned(length));
    } else {
        format->StoreTag(F::TYP_O_NEW);
        StoreID(name_id);
        StoreID(id);
    }
}

void ZuStorage::StorePendingData()
{
    // Inside an object's data only a string or path just referred to is
    // written (read) on the spot: the entry to look at is the next pending
    // one, not the newest of the table, which stays a string once written.
    while (pending_count && (data_depth == 0 || (!index->pending.empty() &&
                                                 index->pending.back()->is_path_or_string))) {
        if (index->pending.empty())
            Abort("Failed assertion: iter != 0", __LINE__);
        ObjectEntry* e = index->pending.back();
        index->pending.pop_back();
        e->written = true;
        pending_count--;
        Raise depth(data_depth);
        format->StoreTag(F::TYP_O_DATA);
        StoreID(e->id);
        // The table holds the object for the whole run.
        ZuObject* const obj = e->object.RetRawObject();
        ZuObjectRef& unknown = index->unknown;
        const bool has_unknown = obj->GetUnknownData(unknown);
        if (!has_unknown && storage_infos->unknown_data.IsInvalid() &&
            storage_infos->absent_blocks == 0) {
            unknown = nullptr;
            obj->StoreInstance(*self_handle);
            continue;
        }
        // What an older reader kept of this object is written back in place.
        const ZuLisTreeRef outer_unknown = storage_infos->unknown_data;
        std::uint32_t const outer_absent = storage_infos->absent_blocks;
        storage_infos->unknown_data = static_cast<ZuLisTree*>(nullptr);
        storage_infos->absent_blocks = 0;
        if (has_unknown && unknown.Resolve()->IsKindOf(ZuLisTreeRef::RetRuntime())) {
            ZuLisTreeRef copy;
            ZuLisTreeRef(unknown)->Clone(copy, ZuLisTreeRef());
            if (copy.IsValid()) {
                copy->Rewind();
                storage_infos->unknown_data = copy;
            }
        }
        unknown = nullptr;
        struct Restore {
            StorageInfos* infos;
            ZuLisTreeRef outer;
            std::uint32_t absent;
            ~Restore()
            {
                if (infos->unknown_data.IsValid())
                    infos->unknown_data->Delete();
                infos->unknown_data = outer;
                infos->absent_blocks = absent;
            }
        } restore{storage_infos, outer_unknown, outer_absent};
        obj->StoreInstance(*self_handle);
    }
}

// ---------------------------------------------------------------- reading scalars

bool ZuStorage::RestoreBool(bool def)
{
    return format->RestoreBool(def);
}
std::int64_t ZuStorage::RestoreInt(std::int64_t def)
{
    return format->RestoreInt(def);
}
std::uint64_t ZuStorage::RestoreCard(std::uint64_t def)
{
    return format->RestoreCard(def);
}
double ZuStorage::RestoreReal(double def)
{
    return format->RestoreReal(def);
}
void ZuStorage::RestoreBinData(void* data, unsigned int size)
{
    format->RestoreBinData(data, size);
}

void ZuStorage::RestoreScalarFromValue(F::ScalarKind kind, F::Scalar& out)
{
    // Not a plain scalar: whatever is there is read as a value (a text, an
    // atom, a stored value object...) and converted to the kind asked for.
    ZuObjectRef object;
    RestoreObject(object, ZuValueRef::RetRuntime());
    ZuObject* const obj = object.Resolve();
    if (!obj || !obj->IsKindOf(ZuValueRef::RetRuntime()))
        F::BadData("Failed assertion: object.IsValid ()", __LINE__);
    ZuValue* const value = static_cast<ZuValue*>(obj);
    switch (kind) {
    case F::SCALAR_BOOL:
        out.b = value->RetBool();
        break;
    case F::SCALAR_INT:
        out.i = value->RetInt64();
        break;
    case F::SCALAR_CARD:
        out.c = value->RetCard64();
        break;
    case F::SCALAR_REAL:
        out.r = value->RetReal();
        break;
    }
}

bool ZuStorage::CheckForMark()
{
    return format->PeekTag() == F::TYP_SYNC_MARK;
}
bool ZuStorage::CheckForBegin()
{
    return format->PeekTag() == F::TYP_SYNC_BEGIN;
}
bool ZuStorage::CheckForEnd()
{
    return format->PeekTag() == F::TYP_SYNC_END;
}

std::uint64_t ZuStorage::RetRemainingData() const
{
    return ~std::uint64_t(0);
}

bool ZuStorage::CanHoldItems(std::uint64_t count)
{
    std::uint64_t const left = RetRemainingData();
    std::uint64_t const buffered = format->RetPushSize();
    if (left > ~std::uint64_t(0) - buffered)
        return true;
    return count <= left + buffered;
}

// ---------------------------------------------------------------- reading atoms

void ZuStorage::RestoreAtomText(const std::string& text, ZuAtomRef& atom)
{
    bool is_new;
    LookForName(text.data(), text.size(), is_new);
    if (!is_new)
        F::BadData("Failed assertion: is_new", __LINE__);
    atom = ZuAtomRef(text.c_str());
}

ZuAtom* ZuStorage::AtomOfName(std::uint32_t id)
{
    const char* name;
    std::size_t length;
    ResolveName(id, name, length);
    // The atom of a name is the same every time: intern it once a run.
    std::vector<ZuAtomRef>& cache = index->atom_by_name;
    if (cache.size() < id)
        cache.resize(index->names_by_id.size());
    if (cache[id - 1].IsInvalid())
        cache[id - 1] = ZuAtomRef(name);
    return cache[id - 1].RetRawObject();
}

void ZuStorage::RestoreAtomInto(ZuAtomRef* atom)
{
    std::string text;
    std::uint32_t id = 0;
    switch (format->RestoreAtomItem(text, id)) {
    case F::ATOM_ABSENT:
        return;
    case F::ATOM_EMPTY:
        if (atom)
            *atom = static_cast<ZuAtom*>(nullptr);
        return;
    case F::ATOM_TEXT: {
        ZuAtomRef made;
        RestoreAtomText(text, atom ? *atom : made);
        return;
    }
    case F::ATOM_ID: {
        // Atoms hold themselves: the one found needs no handle of its own.
        ZuAtom* const found = AtomOfName(id);
        if (atom)
            *atom = found;
        return;
    }
    case F::ATOM_OTHER: {
        ZuObjectRef object;
        RestoreObject(object, ZuAtomRef::RetRuntime());
        ZuAtomRef converted;
        converted = object;
        if (atom)
            *atom = converted;
        return;
    }
    }
}

void ZuStorage::RestoreAtom(ZuAtomRef& atom)
{
    RestoreAtomInto(&atom);
}

void ZuStorage::RestoreSyncType()
{
    format->RestoreTag();
    RestoreAtomInto(nullptr);
}

// ---------------------------------------------------------------- reading objects

void ZuStorage::RestoreObject(ZuObjectRef& object, const ZuRuntimeRef& type)
{
    if (restore_nesting >= kMaxRestoreNesting)
        F::BadData("Objects nested too deeply", __LINE__);
    const bool outermost = restore_nesting == 0;
    std::uint32_t const watermark = object_table ? object_table->id : 0;
    std::uint32_t const depth_before = data_depth;
    std::uint32_t const absent_before = storage_infos->absent_blocks;

    // The caller's handle receives the result only when everything read:
    // an object of the table (which holds it), or what `result` holds.
    ZuObject* held = nullptr;
    Deferred<ZuObjectRef> result;
    SelfScope self(this);
    try {
        Raise nesting(restore_nesting);
        const unsigned char tag = format->PeekTag();
        if (tag == F::TYP_SYNC_END || tag == F::TYP_SYNC_MARK)
            return;
        if (tag == F::TYP_NULL) {
            // The empty link: nothing to convert, nothing pending.
            format->RestoreTag();
        } else if (tag == F::TYP_O_NEW_CLASS || tag == F::TYP_O_NEW || tag == F::TYP_O_AGAIN ||
                   tag == F::TYP_O_DATA) {
            format->RestoreTag();
            held = RestoreTableItem(tag);
            // The pending data loop follows references only, at the same
            // points as the writer's: a null, a value or an atom met while a
            // string's data is read must not pull the data of other objects
            // forward.
            if (tag != F::TYP_O_DATA)
                RestorePendingData();
            ZuObject* const obj = held ? held->Resolve() : nullptr;
            if (type.IsValid() && obj && obj == held && !held->CheckAndResolve()->IsKindOf(type)) {
                CheckType(result.Make(held), type);
                held = nullptr;
            }
        } else {
            RestoreObjectItem(result.Make(object));
            CheckType(result.Get(), type);
        }
    } catch (const ZuExcStream&) {
        if (outermost)
            ForgetRestored(watermark, depth_before, absent_before);
        throw;
    } catch (const ZuException&) {
        // Any other failure of the library while a class reads its data
        // (a stored reference of the wrong class met by a conversion, an
        // index out of range...) is bad data too: the caller of a read
        // from outside bytes has only the stream error to expect.
        Zuvi_DebugString("Bad data in stored object", __LINE__, kSource);
        if (outermost)
            ForgetRestored(watermark, depth_before, absent_before);
        throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_READ);
    } catch (...) {
        if (outermost)
            ForgetRestored(watermark, depth_before, absent_before);
        throw;
    }
    if (result.IsMade())
        object = result.Get();
    else
        object = held;
}

void ZuStorage::ForgetRestored(std::uint32_t watermark, std::uint32_t depth, std::uint32_t absent)
{
    ForgetObjectsAfter(watermark);
    data_depth = depth;
    storage_infos->absent_blocks = absent;
}

void ZuStorage::ForgetObjectsAfter(std::uint32_t id)
{
    // Objects made by a failed read: their Delete drops what they hold and
    // detaches them from objects that existed before, so nothing reachable
    // keeps a half-built object.
    std::vector<ZuObjectRef> dropped;
    SyncObjectMap();
    while (object_table && object_table->id > id) {
        ObjectEntry* e = object_table;
        object_table = e->next;
        index->by_object.Erase(e->object.Resolve());
        dropped.push_back(e->object);
        index->entries.DeleteNewest(e);
    }
    index->by_id.resize(object_table ? object_table->id : 0);
    index->held_by_id.resize(index->by_id.size());
    if (index->mapped > index->by_id.size())
        index->mapped = index->by_id.size();
    index->pending.clear();
    for (ObjectEntry* e = object_table; e; e = e->next)
        if (!e->written)
            index->pending.insert(index->pending.begin(), e);
    pending_count = std::uint32_t(index->pending.size());
    for (ZuObjectRef& obj : dropped)
        if (obj.IsValid())
            obj->Delete();
}

void ZuStorage::RestoreObjectItem(ZuObjectRef& result)
{
    const unsigned char tag = format->RestoreTag();
    switch (tag) {
    case F::TYP_NULL:
        result = nullptr;
        return;

    case F::TYP_FALSE:
    case F::TYP_TRUE:
    case F::TYP_INT32:
    case F::TYP_INT8_NEG:
    case F::TYP_INT16_NEG:
    case F::TYP_INT_ZERO:
    case F::TYP_INT64:
    case F::TYP_CARD32:
    case F::TYP_INT8_POS:
    case F::TYP_INT16_POS:
    case F::TYP_CARD_ZERO:
    case F::TYP_CARD64:
    case F::TYP_REAL:
    case F::TYP_REAL_INT:
    case F::TYP_REAL_ZERO:
    case F::TYP_REAL_ONE:
    case F::TYP_REAL_MINUS_ONE:
        RestoreValueItem(tag, result);
        return;

    case F::TYP_POINTER32:
    case F::TYP_POINTER64: {
        // An address means something only inside this process: a stream
        // from outside (remote mode) that carries one is refused.
        if (mode != ZU_STORAGE_LOCAL)
            F::BadData("Wrong data type, cannot restore object", __LINE__);
        const unsigned n = tag == F::TYP_POINTER32 ? 4 : 8;
        unsigned char in[8];
        PopAndRestoreData(in, n);
        std::uint64_t address = 0;
        for (unsigned i = 0; i < n; i++)
            address = (address << 8) | in[i];
        result = reinterpret_cast<ZuObject*>(std::uintptr_t(address));
        return;
    }

    case F::TYP_O_NEW_CLASS:
    case F::TYP_O_NEW:
    case F::TYP_O_AGAIN:
    case F::TYP_O_DATA:
        result = RestoreTableItem(tag);
        return;
    case F::TYP_O_SLOT: {
        ZuAtomRef name;
        RestoreAtom(name);
        FindObjectFromSlot(name, result);
        return;
    }
    case F::TYP_O_PHANTOM: {
        ZuRuntimeRef runtime;
        if (!ZuClassFactory::GetClass("ZuPhantom", runtime))
            F::BadData("Wrong data type, cannot restore object", __LINE__);
        ZuObjectRef phantom = ZuClassFactory::New(runtime, Zuvi_app_zone, __LINE__, kSource);
        phantom.RetRawObject()->RestoreInstance(*self_handle);
        result = phantom;
        return;
    }
    case F::TYP_ATOM:
    case F::TYP_ATOM_ID: {
        PushBackData(&tag, 1);
        ZuAtomRef atom;
        RestoreAtom(atom);
        result = atom;
        return;
    }
    case F::TYP_ATOM_OLD: {
        ZuAtomRef atom;
        RestoreAtom(atom);
        result = atom;
        return;
    }
    default:
        F::BadData("Wrong data type, cannot restore object", __LINE__);
    }
}

ZuObject* ZuStorage::RestoreTableItem(unsigned char tag)
{
    switch (tag) {
    case F::TYP_O_NEW_CLASS: {
        unsigned char length;
        PopAndRestoreData(&length, 1);
        std::uint32_t const name_id = RestoreID();
        std::uint32_t const id = RestoreID();
        std::string name(length, '\0');
        if (length)
            PopAndRestoreData(&name[0], length);
        bool is_new;
        std::uint32_t const new_id = LookForName(name.data(), name.size(), is_new);
        if (!is_new)
            F::BadData("Failed assertion: is_new", __LINE__);
        if (new_id != name_id)
            F::BadData("Failed assertion: new_id == name_id", __LINE__);
        RestoreNewObject(name_id, id);
        return object_table->object.RetRawObject();
    }
    case F::TYP_O_NEW: {
        std::uint32_t const name_id = RestoreID();
        std::uint32_t const id = RestoreID();
        RestoreNewObject(name_id, id);
        return object_table->object.RetRawObject();
    }
    case F::TYP_O_AGAIN: {
        std::uint32_t const id = RestoreID();
        if (id == 0 || id > index->by_id.size())
            F::BadData("Object ID not found in storage data base.", __LINE__);
        return index->held_by_id[id - 1];
    }
    default: {
        std::uint32_t const id = RestoreID();
        if (id == 0 || id > index->by_id.size())
            F::BadData("Object ID not found in storage data base.", __LINE__);
        ObjectEntry* e = index->by_id[id - 1];
        // Data is read once per object; a second data record would refill
        // an object that others may already hold.
        if (e->written)
            F::BadData("Failed assertion: id == iter->id", __LINE__);
        RestoreObjectData(e);
        return index->held_by_id[id - 1];
    }
    }
}

void ZuStorage::RestoreNewObject(std::uint32_t name_id, std::uint32_t id)
{
    const char* name;
    std::size_t length;
    ResolveName(name_id, name, length);
    std::uint32_t const expected = object_table ? object_table->id + 1 : 1;
    if (id != expected)
        F::BadData("Failed assertion: new_id == id", __LINE__);
    // The class comes from the stream: an unknown or abstract class is bad
    // data, not a reason to stop.
    // The class a name stands for is looked up once a run.
    std::vector<ZuRuntimeRef>& cache = index->class_by_name;
    if (cache.size() < name_id)
        cache.resize(index->names_by_id.size());
    ZuRuntimeRef& runtime = cache[name_id - 1];
    if (runtime.IsInvalid() && (std::strlen(name) != length ||
                                !ZuClassFactory::GetClass(name, runtime) || runtime.IsInvalid()))
        F::BadData("Unknown class in storage data", __LINE__);
    if (runtime->IsAbstract())
        F::BadData("Abstract class in storage data", __LINE__);
    // A class that cannot be stored, or a service of the running program
    // (the application, a manager, a port or window of the screen, a
    // cursor), is refused before it is made: its constructor may need what
    // is not running, or change the program's state.
    if (!runtime->IsStorable())
        F::BadData("Class cannot be restored from storage data", __LINE__);
    // Atoms always travel as atom items, never as object records.
    if (std::strcmp(name, "ZuAtom") == 0)
        F::BadData("Wrong data type, cannot restore object", __LINE__);
    if (runtime->IsSingleton()) {
        // The one instance may be in the table already.
        ZuObjectRef object = ZuClassFactory::New(runtime, RetMemZone(), __LINE__, kSource);
        bool is_new;
        LookForRef(object.RetRawObject(), object.Resolve(), nullptr, is_new);
    } else {
        // A new object, which its entry holds from the start: the object
        // map learns of it only if a lookup asks. Its constructor may leave
        // out the defaults that its record replaces.
        ZuObject* const object = Zuvi_NewToFill(runtime, RetMemZone(), __LINE__, kSource);
        ZuObject* const resolved = object->Resolve();
        NewEntry(object, resolved, ClassOf(resolved).is_path_or_string);
    }
}

void ZuStorage::RestorePendingData()
{
    // Inside an object's data only a string or path just referred to is
    // written (read) on the spot: the entry to look at is the next pending
    // one, not the newest of the table, which stays a string once written.
    while (pending_count && (data_depth == 0 || (!index->pending.empty() &&
                                                 index->pending.back()->is_path_or_string))) {
        if (index->pending.empty())
            Abort("Failed assertion: iter != 0", __LINE__);
        ObjectEntry* e = index->pending.back();
        const unsigned char tag = format->RestoreTag();
        if (tag != F::TYP_O_DATA)
            F::BadData("Failed assertion: ref[0] == TYP_O_DATA", __LINE__);
        if (RestoreID() != e->id)
            F::BadData("Failed assertion: id == iter->id", __LINE__);
        RestoreObjectData(e);
    }
}

void ZuStorage::RestoreObjectData(ObjectEntry* e)
{
    e->written = true;
    pending_count--;
    for (std::size_t i = index->pending.size(); i > 0; i--) {
        if (index->pending[i - 1] == e) {
            index->pending.erase(index->pending.begin() + std::ptrdiff_t(i - 1));
            break;
        }
    }
    Raise depth(data_depth);
    // The table holds the object for the whole run. The recording buffers
    // of this nesting are those of the objects read before it, emptied.
    ZuObject* const obj = e->object.RetRawObject();
    if (index->recording_depth == index->recordings.size()) {
        index->recordings.reserve(index->recordings.size() + 1);
        index->recordings.push_back(new Recording);
    }
    Recording& record = *index->recordings[index->recording_depth];
    record.tokens.clear();
    record.skipped = false;
    record.skipping = false;
    struct Swap {
        Recording*& slot;
        Recording* outer;
        std::uint32_t& absent;
        std::uint32_t outer_absent;
        std::size_t& depth;
        Recording& record;
        ~Swap()
        {
            slot = outer;
            absent = outer_absent;
            depth--;
            record.objects.clear();
        }
    } swap{recording,
           recording,
           storage_infos->absent_blocks,
           storage_infos->absent_blocks,
           ++index->recording_depth,
           record};
    recording = &record;
    storage_infos->absent_blocks = 0;
    obj->RestoreInstance(*self_handle);
    if (!record.skipped)
        return;
    // Something was skipped: the object keeps it, with the structure around
    // it, as a list tree.
    ZuLisTreeRef tree = ZuNew<ZuLisTree>(Zuvi_app_zone, __LINE__, kSource);
    for (const auto& token : record.tokens) {
        switch (token.first) {
        case ZuLisTree::ZU_LISTREE_OBJECT:
            tree->Insert(record.objects[token.second]);
            break;
        case ZuLisTree::ZU_LISTREE_LEVEL_BEGIN:
            tree->InsertNewLevel();
            break;
        case ZuLisTree::ZU_LISTREE_LEVEL_END:
            tree->InsertEndLevel();
            break;
        default:
            tree->InsertMark();
            break;
        }
    }
    tree->Rewind();
    obj->SetUnknownData(tree);
}

void ZuStorage::CheckType(ZuObjectRef& object, const ZuRuntimeRef& type)
{
    if (type.IsInvalid())
        return;
    // A phantom where an object of a class is expected gives way to what it
    // stands for, which must be of that class (or nothing): a typed handle
    // would otherwise hold a stand-in of another class and take it for one.
    if (object.IsPhantom() && !object.RetRawObject()->ZuObject::IsKindOf(type)) {
        ZuObjectRef resolved(object.Resolve());
        object = resolved;
    }
    // Each step either ends or unwraps one value; a value that holds
    // itself is bad data, not a loop.
    for (unsigned step = 0; object.IsValid() && !object.IsPhantom() && !object->IsKindOf(type);
         step++) {
        if (step >= 64)
            F::BadData("Restoring object of bad type", __LINE__);
        const bool type_is_text = type->IsKindOf(ZuTextRef::RetRuntime());
        const bool type_is_value = type->IsKindOf(ZuValueRef::RetRuntime());
        ZuObject* const obj = object.Resolve();
        const bool object_is_text = obj->IsKindOf(ZuTextRef::RetRuntime());
        if (type_is_text && object_is_text) {
            ZuStringRef text = static_cast<ZuText*>(obj)->RetString();
            if (type->IsKindOf(ZuAtomRef::RetRuntime())) {
                object = ZuAtomRef(text);
            } else {
                if (type->IsAbstract())
                    F::BadData("Restoring object of bad type", __LINE__);
                ZuObjectRef made(ZuClassFactory::New(type, Zuvi_app_zone, __LINE__, kSource));
                static_cast<ZuText*>(made.Resolve())->SetString(text);
                object = made;
            }
        } else if (type_is_value && object_is_text) {
            ZuValueRef value;
            value.NewValue()->SetObject(object);
            object = value;
        } else if (obj->IsKindOf(ZuValueRef::RetRuntime())) {
            ZuObjectRef held = static_cast<ZuValue*>(obj)->RetObject();
            object = held;
        } else if (type_is_value) {
            ZuValueRef value;
            value.NewValue()->SetObject(object);
            object = value;
        } else {
            F::BadData("Restoring object of bad type", __LINE__);
        }
    }
}

void ZuStorage::RestoreValueItem(unsigned char tag, ZuObjectRef& result)
{
    // A scalar where an object is expected becomes a new value; the kind
    // follows the tag, so an int between 1 and 65535 comes back as a card.
    PushBackData(&tag, 1);
    ZuValueRef value;
    ZuValue* v = value.NewValue();
    switch (tag) {
    case F::TYP_FALSE:
    case F::TYP_TRUE:
        v->SetBool(format->RestoreBool(false));
        break;
    case F::TYP_INT32:
    case F::TYP_INT8_NEG:
    case F::TYP_INT16_NEG:
    case F::TYP_INT_ZERO:
        v->SetInt32(int(format->RestoreInt(0)));
        break;
    case F::TYP_INT64:
        v->SetInt64(format->RestoreInt(0));
        break;
    case F::TYP_CARD32:
    case F::TYP_INT8_POS:
    case F::TYP_INT16_POS:
    case F::TYP_CARD_ZERO:
        v->SetCard32(unsigned(format->RestoreCard(0)));
        break;
    case F::TYP_CARD64:
        v->SetCard64(format->RestoreCard(0));
        break;
    default:
        v->SetReal(format->RestoreReal(0.0));
        break;
    }
    result = value;
}

// ---------------------------------------------------------------- unknown data

void ZuStorage::Record(int type, const ZuObjectRef& object)
{
    if (!recording)
        return;
    std::size_t slot = 0;
    if (type == ZuLisTree::ZU_LISTREE_OBJECT) {
        slot = recording->objects.size();
        recording->objects.push_back(object);
    }
    recording->tokens.emplace_back(type, slot);
    if (recording->skipping)
        recording->skipped = true;
}

void ZuStorage::RecordStructure(int type)
{
    if (!recording)
        return;
    recording->tokens.emplace_back(type, 0);
    if (recording->skipping)
        recording->skipped = true;
}

void ZuStorage::StoreUnknownObject(const ZuObjectRef& object)
{
    StoreObject(object);
}

// Writes recorded tokens up to the counterpart of the sync record being
// written: `stop` is the token type that ends the replay at nesting 0.
void ZuStorage::ReplayUntil(int stop)
{
    if (!Waits(storage_infos->unknown_data, storage_infos->absent_blocks))
        return;
    ZuLisTreeRef tree = storage_infos->unknown_data;
    unsigned nesting = 0;
    for (;;) {
        ZuLisTree::Type const head = tree->PeekHeadType();
        if (head == ZuLisTree::ZU_LISTREE_NONE)
            return;
        if (nesting == 0 && head == ZuLisTree::ZU_LISTREE_LEVEL_END &&
            stop != ZuLisTree::ZU_LISTREE_LEVEL_END)
            return; // the end of the enclosing block: left for its own end
        ZuObjectRef object;
        tree->PopHead(object);
        switch (head) {
        case ZuLisTree::ZU_LISTREE_OBJECT:
            StoreUnknownObject(object);
            break;
        case ZuLisTree::ZU_LISTREE_LEVEL_BEGIN:
            if (nesting == 0 && stop == ZuLisTree::ZU_LISTREE_LEVEL_BEGIN)
                return;
            format->StoreTag(F::TYP_SYNC_BEGIN);
            nesting++;
            break;
        case ZuLisTree::ZU_LISTREE_LEVEL_END:
            if (nesting == 0)
                return;
            format->StoreTag(F::TYP_SYNC_END);
            nesting--;
            break;
        case ZuLisTree::ZU_LISTREE_MARK:
            if (nesting == 0 && stop == ZuLisTree::ZU_LISTREE_MARK)
                return;
            format->StoreTag(F::TYP_SYNC_MARK);
            break;
        default:
            Abort("Invalid type", __LINE__);
        }
    }
}

// ---------------------------------------------------------------- blocks and marks

void ZuStorage::RestoreBlockBegin()
{
    const unsigned char tag = format->RestoreTag();
    if (tag == F::TYP_SYNC_MARK || tag == F::TYP_SYNC_END) {
        // The stream has no such block: every field in it reads as its
        // default. A block appended by a newer version meets the end of the
        // enclosing block in older data; it is absent the same way.
        PushBackData(&tag, 1);
        storage_infos->absent_blocks++;
        RecordStructure(ZuLisTree::ZU_LISTREE_LEVEL_BEGIN);
        return;
    }
    if (tag != F::TYP_SYNC_BEGIN)
        F::BadData("Failed assertion: val[0] == TYP_SYNC_BEGIN", __LINE__);
    RecordStructure(ZuLisTree::ZU_LISTREE_LEVEL_BEGIN);
}

void ZuStorage::RestoreToBlockEnd()
{
    if (storage_infos->absent_blocks) {
        storage_infos->absent_blocks--;
    } else {
        // Mostly the end comes next; otherwise what comes first is skipped.
        const unsigned char tag = format->RestoreTag();
        if (tag != F::TYP_SYNC_END) {
            PushBackData(&tag, 1);
            RestoreToMark(F::TYP_SYNC_END);
        }
    }
    RecordStructure(ZuLisTree::ZU_LISTREE_LEVEL_END);
}

void ZuStorage::RestoreToSyncMark()
{
    if (!storage_infos->absent_blocks) {
        const unsigned char tag = format->RestoreTag();
        if (tag != F::TYP_SYNC_MARK) {
            PushBackData(&tag, 1);
            if (tag != F::TYP_SYNC_END)
                RestoreToMark(F::TYP_SYNC_MARK);
        }
    }
    RecordStructure(ZuLisTree::ZU_LISTREE_MARK);
}

void ZuStorage::RestoreToMark(unsigned char wanted)
{
    // Items met on the way are consumed whole; nested blocks are passed
    // over with their contents.
    unsigned level = 0;
    struct Skipping {
        Recording* r;
        bool outer;
        explicit Skipping(Recording* rec) : r(rec), outer(rec ? rec->skipping : false)
        {
            if (r)
                r->skipping = true;
        }
        ~Skipping()
        {
            if (r)
                r->skipping = outer;
        }
    } skipping(recording);
    for (;;) {
        const unsigned char tag = format->RestoreTag();
        if (tag == wanted && level == 0)
            return;
        if (tag == F::TYP_SYNC_END && level == 0) {
            // The enclosing block ends before the mark: the mark is absent,
            // as when the end comes first, and the end is left to the
            // block's own reader. Passing it would read on into what follows
            // the block and keep an end that belongs to no block of the
            // reader, which storing again would write where no reader
            // expects it.
            PushBackData(&tag, 1);
            return;
        }
        if (recording && ((tag >= F::TYP_FALSE && tag <= F::TYP_REAL_MINUS_ONE) ||
                          tag == F::TYP_ATOM || tag == F::TYP_ATOM_ID)) {
            // Kept with the object: scalars as values, atoms as atoms.
            PushBackData(&tag, 1);
            ZuObjectRef kept;
            RestoreObject(kept, ZuRuntimeRef());
            Record(ZuLisTree::ZU_LISTREE_OBJECT, kept);
            continue;
        }
        switch (tag) {
        // Plain scalars are consumed as they are: what is skipped is not
        // kept, so no value object needs to be made for them.
        case F::TYP_FALSE:
        case F::TYP_TRUE:
            PushBackData(&tag, 1);
            format->RestoreBool(false);
            break;
        case F::TYP_INT32:
        case F::TYP_CARD32:
        case F::TYP_INT8_NEG:
        case F::TYP_INT8_POS:
        case F::TYP_INT16_NEG:
        case F::TYP_INT16_POS:
        case F::TYP_INT_ZERO:
        case F::TYP_CARD_ZERO:
        case F::TYP_INT64:
        case F::TYP_CARD64:
            PushBackData(&tag, 1);
            format->RestoreCard(0);
            break;
        case F::TYP_REAL:
        case F::TYP_REAL_INT:
        case F::TYP_REAL_ZERO:
        case F::TYP_REAL_ONE:
        case F::TYP_REAL_MINUS_ONE:
            PushBackData(&tag, 1);
            format->RestoreReal(0.0);
            break;
        case F::TYP_NULL:
        case F::TYP_POINTER32:
        case F::TYP_POINTER64:
        case F::TYP_O_NEW_CLASS:
        case F::TYP_O_NEW:
        case F::TYP_O_AGAIN:
        case F::TYP_O_DATA:
        case F::TYP_O_SLOT:
        case F::TYP_O_PHANTOM:
        case F::TYP_ATOM_OLD: {
            PushBackData(&tag, 1);
            ZuObjectRef skipped;
            RestoreObject(skipped, ZuRuntimeRef());
            Record(ZuLisTree::ZU_LISTREE_OBJECT, skipped);
            break;
        }
        case F::TYP_ATOM:
        case F::TYP_ATOM_ID: {
            PushBackData(&tag, 1);
            ZuAtomRef skipped;
            RestoreAtom(skipped);
            break;
        }
        case F::TYP_BIN8:
        case F::TYP_BIN16:
        case F::TYP_BIN32:
            PushBackData(&tag, 1);
            format->RestoreBinData(nullptr, 0);
            break;
        case F::TYP_SYNC_TYPE: {
            ZuAtomRef skipped;
            RestoreAtom(skipped);
            break;
        }
        case F::TYP_SYNC_BEGIN:
            RecordStructure(ZuLisTree::ZU_LISTREE_LEVEL_BEGIN);
            level++;
            break;
        case F::TYP_SYNC_END:
            RecordStructure(ZuLisTree::ZU_LISTREE_LEVEL_END);
            if (level)
                level--;
            break;
        case F::TYP_SYNC_MARK:
            RecordStructure(ZuLisTree::ZU_LISTREE_MARK);
            break;
        default:
            F::BadData("RestoreToMark did not find mark.", __LINE__);
        }
    }
}

// ---------------------------------------------------------------- waking

void ZuStorage::FinallyAwake()
{
    for (ObjectEntry* e = object_table; e; e = e->next)
        if (e->object.IsValid())
            e->object->Awake();
}

void ZuStorage::FinallyAwakeFromApp(const ZuAppRef& app)
{
    for (ObjectEntry* e = object_table; e; e = e->next)
        if (e->object.IsValid())
            e->object->AwakeFromApp(app);
}

void ZuStorage::FinallyAwakeFromObject(const ZuObjectRef& object)
{
    for (ObjectEntry* e = object_table; e; e = e->next)
        if (e->object.IsValid())
            e->object->AwakeFromObject(object);
}

ZuObject* ZuStorage::CheckAndResolve()
{
    return this;
}

// ---------------------------------------------------------------- own persistence

void ZuStorage::StoreInstance(const ZuStorageRef& storage)
{
    ZuObject::StoreInstance(storage);
    storage << StorageRecord() << ZuStorageSync::begin << ZuStorageSync::end;
}

void ZuStorage::RestoreInstance(const ZuStorageRef& storage)
{
    ZuObject::RestoreInstance(storage);
    storage >> ZuStorageSync::type >> ZuStorageSync::begin >> ZuStorageSync::end;
}

// ---------------------------------------------------------------- operators

const ZuStorageRef& operator<<(const ZuStorageRef& s, ZuObject* object)
{
    Zuvi_StorageOf(s)->StoreObject(ZuObjectRef(object));
    return s;
}
const ZuStorageRef& operator<<(const ZuStorageRef& s, const ZuObjectRef& object)
{
    Zuvi_StorageOf(s)->StoreObject(object);
    return s;
}
const ZuStorageRef& operator<<(const ZuStorageRef& s, const ZuAtomRef& atom)
{
    Zuvi_StorageOf(s)->StoreAtom(atom);
    return s;
}
const ZuStorageRef& operator<<(const ZuStorageRef& s, bool value)
{
    Zuvi_StorageOf(s)->StoreBool(value);
    return s;
}

#define ZUVI_STORE_CARD(T)                                         \
    const ZuStorageRef& operator<<(const ZuStorageRef& s, T value) \
    {                                                              \
        Zuvi_StorageOf(s)->StoreCard(std::uint64_t(value));        \
        return s;                                                  \
    }
#define ZUVI_STORE_INT(T)                                          \
    const ZuStorageRef& operator<<(const ZuStorageRef& s, T value) \
    {                                                              \
        Zuvi_StorageOf(s)->StoreInt(std::int64_t(value));          \
        return s;                                                  \
    }
ZUVI_STORE_CARD(unsigned char)
ZUVI_STORE_CARD(unsigned short)
ZUVI_STORE_CARD(unsigned int)
ZUVI_STORE_CARD(unsigned long)
ZUVI_STORE_CARD(unsigned long long)
ZUVI_STORE_INT(signed char)
ZUVI_STORE_INT(short)
ZUVI_STORE_INT(int)
ZUVI_STORE_INT(long)
ZUVI_STORE_INT(long long)
#undef ZUVI_STORE_CARD
#undef ZUVI_STORE_INT

const ZuStorageRef& operator<<(const ZuStorageRef& s, double value)
{
    Zuvi_StorageOf(s)->StoreReal(value);
    return s;
}

const ZuStorageRef& operator<<(const ZuStorageRef& s, const ZuStorageSync& record)
{
    ZuStorage* storage = Zuvi_StorageOf(s);
    if (&record == &ZuStorageSync::mark)
        storage->StoreSyncMark();
    else if (&record == &ZuStorageSync::begin || &record == &ZuStorageSync::repeat)
        storage->StoreBlockBegin();
    else if (&record == &ZuStorageSync::end || &record == &ZuStorageSync::end_repeat)
        storage->StoreBlockEnd();
    else
        storage->StoreSyncType(const_cast<ZuStorageSync&>(record));
    return s;
}

const ZuStorageRef& operator>>(const ZuStorageRef& s, ZuObjectRef& object)
{
    static const ZuRuntimeRef any;
    Zuvi_StorageOf(s)->RestoreObject(object, any);
    return s;
}

const ZuStorageRef& Zuvi_RestoreTyped(const ZuStorageRef& s, ZuObjectRef& handle,
                                      const ZuRuntimeRef& type)
{
    Zuvi_StorageOf(s)->RestoreObject(handle, type);
    return s;
}

const ZuStorageRef& operator<<(const ZuStorageRef& s, const ZuRect& rect)
{
    ZuStorage* storage = Zuvi_StorageOf(s);
    const bool empty = rect.IsEmpty();
    storage->StoreReal(empty ? 0.0 : rect.X1());
    storage->StoreReal(empty ? 0.0 : rect.Y1());
    storage->StoreReal(empty ? 0.0 : rect.X2());
    storage->StoreReal(empty ? 0.0 : rect.Y2());
    return s;
}

const ZuStorageRef& operator>>(const ZuStorageRef& s, ZuRect& rect)
{
    ZuStorage* storage = Zuvi_StorageOf(s);
    const double x1 = storage->RestoreReal(rect.X1());
    const double y1 = storage->RestoreReal(rect.Y1());
    const double x2 = storage->RestoreReal(rect.X2());
    const double y2 = storage->RestoreReal(rect.Y2());
    rect.MakeEmpty();
    if (x1 != 0.0 || y1 != 0.0 || x2 != 0.0 || y2 != 0.0) {
        // The coordinates are taken as stored, whatever their order.
        rect.InsertPoint(x1, y1);
        rect.X2() = x2;
        rect.Y2() = y2;
    }
    return s;
}
