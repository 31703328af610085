#ifndef SI_OBJECT_H
#define SI_OBJECT_H

// ZuObject: the root of every object of the library and of the program.
// Objects live in memory zones, are reached only through handles
// (ZuObjectRef and the generated XRef classes), and are destroyed by the
// deferred-deletion pass once their last handle lets go.

#include <cstddef>

#include "si/bitset.h"
#include "si/enumfamily.h"
#include "si/objectref.h"

class ZuMemZone;
class ZuAtomRef;
class ZuAtomPathRef;
class ZuValueRef;
class ZuStringRef;
class ZuTypeInfoRef;
class ZuAppRef;
class ZuRuntimeRef;
class ZuTextRef;
class ZuContainerRef;
class ZuAsyncObsRef;
struct Zuvi_ParamDesc;
struct ZuObjectExtension;
struct ZuObserverLink;
struct Zuvi_Target;
class Zuvi_Interface;

// The status bits of every object. Bit 3 has no name: threads set it on
// themselves and the collector reads it.
// clang-format off
#define ZU_OBJECT_STATUS_BIT_LIST(X)              \
    X(ZU_OBJECT_IS_CONNECTED, 0)                  \
    X(ZU_OBJECT_IS_REPORTING_EMBEDDED_CHANGES, 1) \
    X(ZU_OBJECT_IS_ASYNC_SOURCE, 2)               \
    X(ZU_OBJECT_MARK_0, 16)                       \
    X(ZU_OBJECT_MARK_1, 17)                       \
    X(ZU_OBJECT_MARK_2, 18)                       \
    X(ZU_OBJECT_MARK_3, 19)                       \
    X(ZU_OBJECT_MARK_4, 20)                       \
    X(ZU_OBJECT_MARK_5, 21)                       \
    X(ZU_OBJECT_MARK_6, 22)                       \
    X(ZU_OBJECT_MARK_7, 23)
// clang-format on
ZU_ENUM(ZuObjectStatusBit, ZU_OBJECT_STATUS_BIT_LIST)
typedef Bitset<ZuObjectStatusBit> ZuObjectStatus;

class ZuStorageRef;
class ZuObject {
public:
    typedef ZuObjectRef Zuvi_Handle; // the root's handle (ZU_CLASS of every other class)
    virtual ~ZuObject();

protected:
    // Persistence hooks: each class writes and reads its own part after
    // its base class's (the storage calls them for an object's data record).
    virtual void StoreInstance(const ZuStorageRef& storage);
    virtual void RestoreInstance(const ZuStorageRef& storage);
    virtual bool GetUnknownData(ZuObjectRef& out) const;
    virtual bool SetUnknownData(const ZuObjectRef& obj);
    virtual void NotifyAttach(const ZuObjectRef& source);
    virtual void NotifyDetach(const ZuObjectRef& source);

public:
    virtual const ZuRuntimeRef& RetRuntime() const;
    virtual void _Destroy();
    virtual ZuObject* Resolve();
    virtual ZuObject* CheckAndResolve();
    virtual ZuObject* RetSelfAsObject();
    virtual void Awake();
    virtual void AwakeFromApp(const ZuAppRef& app);
    virtual void AwakeFromObject(const ZuObjectRef& obj);
    virtual bool IsA(const ZuRuntimeRef& rt) const;
    virtual bool IsKindOf(const ZuRuntimeRef& rt) const;
    // Interfaces (si/interface.h): whether the object's class declares the
    // interface, and the object's part for it (null when it does not).
    virtual bool SupportsInterface(const Zuvi_Interface* iface) const;
    virtual const void* CastToInterface(const Zuvi_Interface* iface) const;
    virtual void* CastToInterface(const Zuvi_Interface* iface);
    virtual const Bitset<ZuObjectStatusBit>& RetObjectStatus() const;
    virtual unsigned RetClassID() const;
    virtual bool MarkAndSweepTest(ZuObjectStatusBit bit) const;
    virtual bool MarkAndSweepSet(ZuObjectStatusBit bit) const;
    virtual bool MarkAndSweepClear(ZuObjectStatusBit bit) const;
    virtual void Delete();
    virtual void MarkAsDead();
    virtual void MarkAsDeadButOne(const ZuObjectRef& keep);
    virtual unsigned ComputeHashValue(unsigned num) const;
    virtual int CompareWith(const ZuObjectRef& other) const;
    virtual bool IsEqual(const ZuObjectRef& other) const;
    virtual ZuObjectRef Clone();
    virtual ZuObjectRef Copy(const ZuObjectRef& source);
    virtual ZuAtomRef RetUserName();
    virtual bool Report(const char* event, unsigned id);
    virtual bool Report(const ZuAtomRef& event, unsigned id);
    virtual bool ReportChange(unsigned id);
    virtual bool ReportEmbeddedChange(const ZuObjectRef& member, unsigned id);
    virtual unsigned GetCurrentReportID() const;
    virtual void SetCurrentReportID(unsigned id);
    virtual void AttachObserver(const ZuObjectRef& observer, const ZuAtomRef& event,
                                const ZuAtomRef& action, unsigned id);
    virtual void AttachObserver(const ZuObjectRef& observer, const ZuAtomRef& event, unsigned id);
    virtual void DetachObserver(const ZuObjectRef& observer);
    virtual void DetachObserver(const ZuObjectRef& observer, const ZuAtomRef& event,
                                const ZuAtomRef& action, unsigned id);
    virtual void DetachObserver(const ZuObjectRef& observer, const ZuAtomRef& event, unsigned id);
    virtual void DetachSelfFromAll();
    virtual unsigned CountObservers() const;
    virtual unsigned CountActors() const;
    virtual unsigned CountMethods() const;
    virtual unsigned CountAttached() const;
    virtual unsigned CountObserved() const;
    virtual unsigned CountAttributes() const;
    virtual bool GetObserver(unsigned i, ZuAtomRef& name) const;
    virtual bool GetActor(unsigned i, ZuAtomRef& name) const;
    virtual bool GetMethod(unsigned i, ZuAtomRef& name) const;
    virtual bool GetMethod(unsigned i, ZuAtomRef& name, unsigned& num_param,
                           const Zuvi_ParamDesc* params) const;
    // The forms that would fill a container empty it and answer false.
    virtual bool GetObserver(ZuContainerRef& out) const;
    virtual bool GetActor(ZuContainerRef& out) const;
    virtual bool GetMethod(ZuContainerRef& out) const;
    virtual bool GetPublicData(ZuContainerRef& out) const;
    virtual bool GetAttached(ZuContainerRef& out) const;
    virtual bool GetAttached(unsigned i, ZuAtomRef& event, ZuAtomRef& action, ZuObjectRef& observer,
                             unsigned& id) const;
    virtual bool GetAttached(unsigned i, ZuAtomRef& event, ZuObjectRef& observer,
                             unsigned& id) const;
    virtual bool GetObserved(unsigned i, ZuAtomRef& event, ZuAtomRef& action, ZuObjectRef& source,
                             unsigned& id) const;
    virtual bool GetObserved(unsigned i, ZuAtomRef& event, ZuObjectRef& source, unsigned& id) const;
    // Attributes: key/value pairs in a dictionary of the extension record
    // (si/objattr.cpp). A name stands for its atom; a name-only attribute has
    // the null object as value. Everything answers false while the object
    // has no attribute dictionary, which the first SetAttribute makes.
    virtual bool SetAttribute(const ZuObjectRef& key, const ZuObjectRef& value);
    virtual bool SetAttribute(const char* name, const ZuObjectRef& value);
    virtual bool SetAttribute(const ZuObjectRef& key);
    virtual bool SetAttribute(const char* name);
    virtual bool RemoveAttribute(unsigned index);
    virtual bool RemoveAttribute(const ZuObjectRef& key, unsigned n);
    virtual bool RemoveAttribute(const char* name, unsigned n);
    virtual bool GetAttribute(unsigned index, ZuObjectRef& key, ZuObjectRef& value) const;
    virtual bool GetAttribute(const ZuObjectRef& key, ZuObjectRef& value, unsigned n) const;
    virtual bool GetAttribute(const char* name, ZuObjectRef& value, unsigned n) const;
    virtual bool GetAttribute(const ZuObjectRef& key, unsigned n) const;
    virtual bool GetAttribute(const char* name, unsigned n) const;
    virtual bool Action(const ZuAtomRef& name, const ZuObjectRef& arg, unsigned flags);
    // Calls by name along paths (si/objectcall.cpp).
    virtual bool Action(const ZuAtomPathRef& names, const ZuObjectRef& arg, unsigned flags);
    static bool Action(const ZuObjectRef& obj, const ZuTextRef& text);
    static bool ObjectParsePath(ZuObjectRef& obj, ZuStringRef& text);
    static bool ObjectParsePath(ZuObjectRef& obj, ZuAtomPathRef& path);
    // Data reached from obj along a dotted text or an atom path.
    static bool QueryData(const ZuObjectRef& obj, const ZuTextRef& text, ZuObjectRef& out);
    static bool QueryData(const ZuObjectRef& obj, const ZuTextRef& text, ZuValueRef& out);
    static bool DefineData(const ZuObjectRef& obj, const ZuTextRef& text, const ZuObjectRef& value);
    static bool DefineData(const ZuObjectRef& obj, const ZuTextRef& text, const ZuValueRef& value);
    virtual bool GetPublicDataNotifier(const ZuAtomRef& data, unsigned n, ZuAtomRef& event) const;
    // The user path and published data (si/objdata.cpp).
    virtual ZuAtomPathRef RetUserPath();
    virtual unsigned CountPublicData() const;
    virtual bool GetPublicData(unsigned i, ZuAtomRef& name, ZuStringRef& description,
                               ZuTypeInfoRef& type) const;
    virtual bool GetPublicData(unsigned i, ZuAtomRef& name, ZuTypeInfoRef& type) const;
    virtual bool GetPublicData(unsigned i, ZuAtomRef& name) const;
    virtual bool QueryData(unsigned i, ZuValueRef& out) const;
    virtual bool QueryData(unsigned i, ZuObjectRef& out) const;
    virtual bool QueryData(const ZuAtomRef& name, ZuValueRef& out) const;
    virtual bool QueryData(const ZuAtomRef& name, ZuObjectRef& out) const;
    virtual bool DefineData(unsigned i, const ZuValueRef& value);
    virtual bool DefineData(unsigned i, const ZuObjectRef& value);
    virtual bool DefineData(const ZuAtomRef& name, const ZuValueRef& value);
    virtual bool DefineData(const ZuAtomRef& name, const ZuObjectRef& value);
    // The objects this object is registered as a target of (a hash table in
    // the extension record); a volatile observer is never registered.
    virtual bool RegisterAsTargetOf(const ZuObjectRef& obj);
    virtual bool UnregisterAsTargetOf(const ZuObjectRef& obj);
    // The asynchronous observer records (ZuAsyncObs) naming this object as
    // their observer, in a list made on first use; Unregister removes the
    // first occurrence and answers false when there is none.
    virtual bool RegisterAsAsyncObserver(const ZuAsyncObsRef& record);
    virtual bool UnregisterAsAsyncObserver(const ZuAsyncObsRef& record);

    // Non-virtual services.
    ZuMemZone* RetMemZone() const { return mem_zone; }
    bool TestStatus(ZuObjectStatusBit bit) const { return status.TestBit(bit); }
    unsigned RetRefCount() const { return ref_count; }

    static void AttachObserver(const ZuObjectRef& source, const ZuObjectRef& observer,
                               const ZuAtomRef& event, const ZuAtomRef& action, unsigned id);
    static unsigned NewReportID();
    static bool MarkAndSweepBegin(ZuObjectStatusBit& bit);
    static bool MarkAndSweepEnd(ZuObjectStatusBit bit);
    static void MarkAndSweepReset(ZuObjectStatusBit bit);

    static ZuAtomRef notify_changed;
    static ZuAtomRef notify_object_alive;
    static unsigned global_report_id;
    static unsigned global_mark_sweep_status;

    // Writes the zone into the object about to be built in block (the zone
    // of an object is set before its constructors run, which keep it).
    static void PresetMemZone(void* block, ZuMemZone* zone);
    // The count of an object that has been destroyed but not freed.
    static unsigned RetRawRefCount(const void* block);
    static void SetRawRefCount(void* block, unsigned n);
    static void MeasureFields(size_t& zone, size_t& count);

    // Construction functions of the root's run-time record: both refuse.
    static void Construct(void* buffer, unsigned length);
    static void InitConstruct(void* buffer, unsigned length);

    // The observers a single report can serve without growing its
    // called-set off the stack.
    enum { MAX_OBSERVERS = 100 };

    // Whether every live object was built by a zone's factory in the
    // zone's memory (none on the stack, in a static or a caller's buffer):
    // when all zones go at once, nothing then outlives them.
    static bool AllObjectsInZones();

    // Marks, for this thread, the memory a zone's factory is building an
    // object in, for as long as it lives.
    class ZoneBuild {
    public:
        ZoneBuild(const void* block, unsigned size);
        ~ZoneBuild();
        ZoneBuild(const ZoneBuild&) = delete;
        ZoneBuild& operator=(const ZoneBuild&) = delete;

    private:
        const void* saved_low;
        const void* saved_high;
    };

protected:
    ZuObject();
    explicit ZuObject(ZuMemZone* zone);
    ZuObject(void* buffer, unsigned length);
    ZuObject(const ZuObject&) = delete;
    ZuObject& operator=(const ZuObject&) = delete;

    void SetStatus(ZuObjectStatusBit bit) { status.SetBit(bit); }
    void ClearStatus(ZuObjectStatusBit bit) { status.ClearBit(bit); }

    bool QuickReport(const ZuAtomRef& event, unsigned id)
    {
        return (TestStatus(ZU_OBJECT_IS_CONNECTED) || TestStatus(ZU_OBJECT_IS_ASYNC_SOURCE))
                   ? Report(event, id)
                   : false;
    }
    bool QuickReport(const char* event, unsigned id)
    {
        return (TestStatus(ZU_OBJECT_IS_CONNECTED) || TestStatus(ZU_OBJECT_IS_ASYNC_SOURCE))
                   ? Report(event, id)
                   : false;
    }
    bool QuickReportChange(unsigned id)
    {
        return (TestStatus(ZU_OBJECT_IS_CONNECTED) || TestStatus(ZU_OBJECT_IS_ASYNC_SOURCE))
                   ? ReportChange(id)
                   : false;
    }
    bool QuickReportEmbeddedChange(const ZuObjectRef& member, unsigned id)
    {
        return TestStatus(ZU_OBJECT_IS_REPORTING_EMBEDDED_CHANGES)
                   ? ReportEmbeddedChange(member, id)
                   : false;
    }

private:
    ZuObjectExtension* Extension();
    // The extension record's attribute handle; null without a record.
    ZuObjectRef* AttributeHandle() const;
    void RemoveLink(ZuObserverLink* link);
    void CheckObserverList() const;
    void DetachAllHandles(ZuObjectRef* keep);
    static void CallTarget(ZuObserverLink* link);
    void NoteWhereBuilt();

    ZuObjectExtension* more;
    ZuMemZone* mem_zone;
    unsigned report_id;
    unsigned ref_count;
    ZuObjectRef* ref_tail;
    ZuObjectRef* ref_head;
    mutable Bitset<ZuObjectStatusBit> status;
    mutable unsigned class_id;

    friend class ZuObjectRef;
    friend class ZuRuntime;
    friend class ZuClassFactory;
    friend class ZuMemZone;
    friend class ZuAtom;
    friend class ZuStorage;
};

ZU_CLASS_TYPEINFO_DECL(ZuObject)

#endif
