// ZuStorage: the persistence engine behind every stored object.
//
// Every object's StoreInstance and RestoreInstance write and read their
// fields through a ZuStorageRef; the storage turns them into the tagged byte
// format (si/storageformat.h), gives objects and names their identifiers,
// writes each object's instance data once (deferred, newest pending first),
// reconnects objects that belong to a data slot by name, and wakes the
// restored objects at the end (FinallyAwake).
//
// ZuStorage is abstract: subclasses move the raw bytes (StoreData writes,
// RestoreData reads exactly the bytes asked for or throws).
//
// Modes: 0 off (every object is written as a null), 1 local (objects travel
// as their addresses inside the process), 2 remote (full serialisation with
// object and name tables). Each SetStorageMode starts a new run.
//
// Input is outside data: a corrupt or truncated stream throws ZuExcStream
// and leaves no half-built object reachable from the caller's handles.
// Misuse by the program stops with the library's assertion text.
#ifndef ZUVI_SI_STORAGE_H
#define ZUVI_SI_STORAGE_H

#include "si/object.h"
#include "si/storageformat.h"
#include "si/storagesync.h"

#include <cstddef>
#include <cstdint>

#include "si/atom.h"
#include "si/rect.h"

#include <vector>

ZU_FORWARD(ZuDataSlot)
ZU_FORWARD(ZuDict)
ZU_FORWARD(ZuLisTree)

class ZuAppRef;

ZU_HANDLE(ZuStorage, ZuObject)

class ZuStorage : public ZuObject {
    ZU_CLASS(ZuStorage, ZuObject)
public:
    enum StorageMode { ZU_STORAGE_OFF = 0, ZU_STORAGE_LOCAL = 1, ZU_STORAGE_REMOTE = 2 };

    ~ZuStorage() override;

    // A storage stands for no other object: it answers for itself.
    ZuObject* CheckAndResolve() final;

    virtual void RestoreToMark(unsigned char tag);
    virtual void SetDataSlot(const ZuDataSlotRef& slot);
    virtual void RemoveDataSlot(const ZuDataSlotRef& slot);
    virtual ZuDataSlotRef RetDataSlot(unsigned int index) const;
    virtual void StoreObject(const ZuObjectRef& object);
    virtual void StoreAtom(const ZuAtomRef& atom);
    virtual void RestoreObject(ZuObjectRef& object, const ZuRuntimeRef& type);
    virtual void RestoreAtom(ZuAtomRef& atom);
    virtual void FinallyAwake();
    virtual void FinallyAwakeFromApp(const ZuAppRef& app);
    virtual void FinallyAwakeFromObject(const ZuObjectRef& object);
    virtual void StoreBool(bool value);
    virtual void StoreInt(std::int64_t value);
    virtual void StoreCard(std::uint64_t value);
    virtual void StoreReal(double value);
    virtual void StoreSyncMark();
    virtual void StoreBlockBegin();
    virtual void StoreBlockEnd();
    virtual void StoreBinData(const void* data, unsigned int size);
    virtual bool RestoreBool(bool def);
    virtual std::int64_t RestoreInt(std::int64_t def);
    virtual std::uint64_t RestoreCard(std::uint64_t def);
    virtual double RestoreReal(double def);
    virtual void RestoreToSyncMark();
    virtual void RestoreBlockBegin();
    virtual void RestoreToBlockEnd();
    virtual void RestoreBinData(void* data, unsigned int size);
    virtual bool CheckForMark();
    virtual bool CheckForBegin();
    virtual bool CheckForEnd();
    virtual void StoreData(const void* data, unsigned int size) = 0;
    virtual void RestoreData(void* data, unsigned int size) = 0;

    void Delete() override;

    // Whether the input can still hold `count` more items (each takes at
    // least one byte): readers check a stored count with it before they
    // make room for that many elements.
    bool CanHoldItems(std::uint64_t count);
    // Bytes of input left after the put-back buffer, as far as the raw
    // input knows; the default knows nothing and answers the largest value.
    virtual std::uint64_t RetRemainingData() const;

    // Writes a class record (tag 0x80 and its name as an atom); used by the
    // << operator for records other than the predefined ones.
    void StoreSyncType(ZuStorageSync& record);
    // Reads what `type` stands for: one byte and one atom, dropped.
    void RestoreSyncType();

    // Nested object data records allowed while reading; deeper input is
    // refused as corrupt rather than run off the stack.
    enum { MAX_DATA_DEPTH = 2000 };

protected:
    ZuStorage();

    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    void SetStorageMode(StorageMode mode);
    StorageMode RetStorageMode() const { return mode; }
    // Forgets the bytes that readers peeked at and put back. A change of
    // mode keeps them (the next run of the same input reads them first); a
    // subclass that starts reading a new input drops them.
    void DropPushedBack();

    // Bytes in place. A subclass whose input lies in memory may hand the
    // reader the bytes not read yet: the reader takes them there and moves
    // the window's start, which is where the input stands. RestoreData is
    // called only for a read the window cannot give whole, and reads from
    // the window's start on (it may set a new window). Likewise a subclass
    // may give the writer room in place: an item that fits goes there, any
    // other to StoreData, which writes at the window's start. The bytes and
    // their order are the same either way. A subclass empties its windows
    // before the memory under them goes; none is set at first.
    void SetInputWindow(const void* next, std::size_t size);
    const unsigned char* RetInputWindow() const;
    std::size_t RetInputWindowSize() const;
    void SetOutputWindow(void* next, std::size_t size);
    unsigned char* RetOutputWindow() const;

private:
    struct StorageInfos;
    struct ObjectEntry;
    struct NameEntry;
    struct ClassInfo;
    struct Index;
    class Format;
    class SelfScope;

    // The identifier of `obj` (what `held` resolves to), entered when new;
    // `info` is the class's, or null.
    std::uint32_t LookForRef(ZuObject* held, ZuObject* obj, const ClassInfo* info, bool& is_new);
    // A new entry at the head of the table, pending, not in the object map:
    // it holds `held`, which resolves to `obj`.
    ObjectEntry* NewEntry(ZuObject* held, ZuObject* obj, bool is_path_or_string);
    ClassInfo& ClassOf(const ZuObject* obj);
    // The atom a name of this run stands for.
    ZuAtom* AtomOfName(std::uint32_t id);
    // Reads an atom item into `atom`, or drops it when `atom` is null.
    void RestoreAtomInto(ZuAtomRef* atom);
    // Reads an object item that the table holds (a new object, one again,
    // or data): the object its entry holds.
    ZuObject* RestoreTableItem(unsigned char tag);
    void SyncObjectMap();
    std::uint32_t LookForName(const char* text, std::size_t length, bool& is_new);
    void ResolveName(std::uint32_t id, const char*& text, std::size_t& length);
    void StoreID(std::uint32_t id);
    std::uint32_t RestoreID();
    void PushBackData(const void* data, unsigned int size);
    void PopAndRestoreData(void* data, unsigned int size);

    void ClearTables();
    void StoreReference(ZuObject* held, ZuObject* obj, ClassInfo& info);
    void StorePendingData();
    void RestorePendingData();
    void RestoreObjectItem(ZuObjectRef& object);
    void RestoreNewObject(std::uint32_t name_id, std::uint32_t id);
    void CheckType(ZuObjectRef& object, const ZuRuntimeRef& type);
    void RestoreObjectData(ObjectEntry* entry);
    void RestoreAtomText(const std::string& text, ZuAtomRef& atom);
    void RestoreValueItem(unsigned char tag, ZuObjectRef& object);
    bool FindNameFromSlot(const ZuObjectRef& object, ZuAtomRef& name);
    bool FindObjectFromSlot(const ZuAtomRef& name, ZuObjectRef& object);
    void ClearDataSlot();
    // Unknown data: what a reader skipped, kept with the object, and
    // written back in place when the object is stored again.
    struct Recording;
    void Record(int type, const ZuObjectRef& object);
    void RecordStructure(int type);
    void ReplayUntil(int stop);
    void StoreUnknownObject(const ZuObjectRef& object);
    void ForgetObjectsAfter(std::uint32_t id);
    void ForgetRestored(std::uint32_t watermark, std::uint32_t depth, std::uint32_t absent);
    void RestoreScalarFromValue(Zuvi_StorageFormat::ScalarKind kind,
                                Zuvi_StorageFormat::Scalar& out);

    StorageMode mode;
    StorageInfos* storage_infos;
    ObjectEntry* object_table;
    NameEntry* name_table;
    std::uint32_t pending_count;
    std::uint32_t data_depth;
    // push_buffer, push_size and id_base live in the byte format.
    Format* format;
    // Lookup indexes beside the two tables (by object, by identifier, by
    // text) and the stack of entries whose data is pending.
    Index* index;
    std::uint32_t restore_nesting;
    Recording* recording;
    // The storage's own handle while an outermost store or restore runs,
    // lent to every StoreInstance and RestoreInstance it calls.
    const ZuStorageRef* self_handle;

    friend class Format;
};
ZU_CLASS_END(ZuStorage)

// ---- Stream operators ----------------------------------------------------

const ZuStorageRef& operator<<(const ZuStorageRef& s, ZuObject* object);
const ZuStorageRef& operator<<(const ZuStorageRef& s, const ZuObjectRef& object);
const ZuStorageRef& operator<<(const ZuStorageRef& s, const ZuAtomRef& atom);
const ZuStorageRef& operator<<(const ZuStorageRef& s, bool value);
const ZuStorageRef& operator<<(const ZuStorageRef& s, unsigned char value);
const ZuStorageRef& operator<<(const ZuStorageRef& s, unsigned short value);
const ZuStorageRef& operator<<(const ZuStorageRef& s, unsigned int value);
const ZuStorageRef& operator<<(const ZuStorageRef& s, unsigned long value);
const ZuStorageRef& operator<<(const ZuStorageRef& s, unsigned long long value);
const ZuStorageRef& operator<<(const ZuStorageRef& s, signed char value);
const ZuStorageRef& operator<<(const ZuStorageRef& s, short value);
const ZuStorageRef& operator<<(const ZuStorageRef& s, int value);
const ZuStorageRef& operator<<(const ZuStorageRef& s, long value);
const ZuStorageRef& operator<<(const ZuStorageRef& s, long long value);
const ZuStorageRef& operator<<(const ZuStorageRef& s, double value);
const ZuStorageRef& operator<<(const ZuStorageRef& s, const ZuStorageSync& record);
// A rectangle is four reals x1, y1, x2, y2; an empty one is four zeros, and
// four zeros read back as an empty rectangle.
const ZuStorageRef& operator<<(const ZuStorageRef& s, const ZuRect& rect);

const ZuStorageRef& operator>>(const ZuStorageRef& s, ZuRect& rect);
const ZuStorageRef& operator>>(const ZuStorageRef& s, ZuObjectRef& object);

// Scalars and records are read once an item, on the path a user waits
// for while a document opens: their operators are inline and reach the
// storage without a call. A storage stands for no other object (its
// CheckAndResolve is final), so only an empty handle takes the long way,
// which stops as before.
inline ZuStorage* Zuvi_StorageOf(const ZuStorageRef& s)
{
    ZuObject* const object = s.ZuObjectRef::RetRawObject();
    return object ? static_cast<ZuStorage*>(object) : s.CheckAndResolve();
}

inline const ZuStorageRef& operator>>(const ZuStorageRef& s, bool& value)
{
    value = Zuvi_StorageOf(s)->RestoreBool(value);
    return s;
}
inline const ZuStorageRef& operator>>(const ZuStorageRef& s, double& value)
{
    value = Zuvi_StorageOf(s)->RestoreReal(value);
    return s;
}
#define ZUVI_RESTORE_SCALAR(T, Restore, W)                                 \
    inline const ZuStorageRef& operator>>(const ZuStorageRef& s, T& value) \
    {                                                                      \
        value = static_cast<T>(Zuvi_StorageOf(s)->Restore(W(value)));      \
        return s;                                                          \
    }
ZUVI_RESTORE_SCALAR(unsigned char, RestoreCard, std::uint64_t)
ZUVI_RESTORE_SCALAR(unsigned short, RestoreCard, std::uint64_t)
ZUVI_RESTORE_SCALAR(unsigned int, RestoreCard, std::uint64_t)
ZUVI_RESTORE_SCALAR(unsigned long, RestoreCard, std::uint64_t)
ZUVI_RESTORE_SCALAR(unsigned long long, RestoreCard, std::uint64_t)
ZUVI_RESTORE_SCALAR(signed char, RestoreInt, std::int64_t)
ZUVI_RESTORE_SCALAR(short, RestoreInt, std::int64_t)
ZUVI_RESTORE_SCALAR(int, RestoreInt, std::int64_t)
ZUVI_RESTORE_SCALAR(long, RestoreInt, std::int64_t)
ZUVI_RESTORE_SCALAR(long long, RestoreInt, std::int64_t)
#undef ZUVI_RESTORE_SCALAR

inline const ZuStorageRef& operator>>(const ZuStorageRef& s, const ZuStorageSync& record)
{
    ZuStorage* const storage = Zuvi_StorageOf(s);
    if (&record == &ZuStorageSync::mark)
        storage->RestoreToSyncMark();
    else if (&record == &ZuStorageSync::begin || &record == &ZuStorageSync::repeat)
        storage->RestoreBlockBegin();
    else if (&record == &ZuStorageSync::end || &record == &ZuStorageSync::end_repeat)
        storage->RestoreToBlockEnd();
    else if (&record == &ZuStorageSync::type)
        storage->RestoreSyncType();
    // A class record is not compared: nothing to read.
    return s;
}

#endif
