#ifndef SI_OBJECTREF_H
#define SI_OBJECTREF_H

// ZuObjectRef: the counted handle every reference to an object goes through.
// A handle links itself into the list of handles of its object and into one
// global list of live handles; when the last handle of an object lets go,
// the object is queued and destroyed by the next RealiseDeletions pass.

#include "si/callframe.h"
#include "si/zuclass.h"

class ZuObject;
class ZuRuntime;
class ZuRuntimeRef;
class ZuMemZone;

// One block of the deletion queue.
struct Zuvi_DeleteInfo {
    enum { CAPACITY = 100 };
    Zuvi_DeleteInfo* next;
    ZuObject* objects[CAPACITY];
    unsigned count;
};

class ZuObjectRef {
public:
    ZuObjectRef();
    ZuObjectRef(ZuObject* obj);
    ZuObjectRef(const ZuObjectRef& other);
    virtual ~ZuObjectRef();
    virtual unsigned SizeOf() const;

    ZuObjectRef& operator=(ZuObject* obj)
    {
        _Set(obj, nullptr);
        return *this;
    }
    ZuObjectRef& operator=(const ZuObjectRef& other)
    {
        _Set(other, nullptr);
        return *this;
    }

    ZuObject* Resolve() const;
    ZuObject* CheckAndResolve() const;
    ZuObject* operator->() const { return CheckAndResolve(); }
    ZuObject* RetRawObject() const { return object; }
    unsigned long long RetRawAddress() const { return (unsigned long long)(object); }
    bool IsValid() const { return Resolve() != nullptr; }
    bool IsInvalid() const { return Resolve() == nullptr; }
    bool IsPhantom() const { return Resolve() != object; }
    bool operator==(const ZuObjectRef& other) const { return Resolve() == other.Resolve(); }
    bool operator!=(const ZuObjectRef& other) const { return Resolve() != other.Resolve(); }
    bool operator==(const ZuObject* obj) const { return Resolve() == obj; }
    bool operator!=(const ZuObject* obj) const { return Resolve() != obj; }

    const char* RetClassName() const { return class_name; }
    ZuObject* RetEmbeddingObject() const { return embedding_object; }
    const Zuvi_CallFrame* RetEmbeddingFrame() const { return embedding_frame; }
    ZuObjectRef* RetGlobalNext() const { return g_next; }
    static const ZuRuntimeRef& RetRuntime();

    // Destroys and frees every object queued for deletion, including those
    // queued by the destructors run during the pass.
    static void RealiseDeletions();
    // Frees the last, empty block of the deletion queue; shut-down calls it
    // before the system zone goes.
    static void ReleaseDeletionQueue();
    static unsigned RetLiveHandleCount();
    static unsigned CountDeletionBlocks();
    static unsigned CountPendingDeletions();

    // Destroyed zones cut the handles into and out of their memory: CutObject
    // empties the handle (its object loses the count, nothing is queued) and
    // keeps it live; CutAll also takes it off the global list.
    void CutObject();
    void CutAll();
    // Empties the global list of live handles (last step of shut-down).
    static void ForgetAllHandles();
    // The handles of an object, newest first.
    static const ZuObjectRef* FirstHandleOf(const ZuObject* obj);
    static const ZuObjectRef* NextHandleOf(const ZuObjectRef* handle);

    // A dynamic value that holds an object hands it over in typed sets; the
    // value class installs the answer (true when obj is a value, with the
    // object it holds, or an empty handle, in held).
    typedef bool (*ValueUnwrapFn)(ZuObject* obj, ZuObjectRef& held);
    static ValueUnwrapFn value_unwrap;

    struct SlotTag {};

    static ZuObjectRef* g_head;
    static ZuObjectRef* g_tail;
    // The handles inside objects a zone's factory built lie at the end of
    // the global list, from this one on (newest first, like the rest).
    static ZuObjectRef* g_in_objects;
    static bool report_creation;

protected:
    ZuObjectRef(const ZuRuntimeRef& rt, const Zuvi_CallFrame* frame);

    void _Set(ZuObject* obj, const Zuvi_CallFrame* frame);
    void _Set(const ZuObjectRef& other, const Zuvi_CallFrame* frame) { _Set(other.object, frame); }
    void _Set(const ZuObjectRef& other, const ZuRuntimeRef& rt, const Zuvi_CallFrame* frame);

    static void RequireDeletion(ZuObject*& obj);
    static void ReportCreation(ZuObjectRef* handle, const ZuRuntimeRef& rt);

private:
    void LinkGlobal();
    void UnlinkGlobal();
    // Moves this linked handle, a member of an object just built in a
    // zone, among the handles inside such objects (the lock is held).
    void MoveAmongObjectMembers();
    void LinkObject(ZuObject* obj);
    bool UnlinkObject(); // true when the object's count fell to 0

    ZuObjectRef* prev;
    ZuObjectRef* next;
    const char* class_name;
    ZuObject* embedding_object;
    const Zuvi_CallFrame* embedding_frame;
    ZuObjectRef* g_next;
    ZuObjectRef* g_prev;
    Zuvi_CallFrame frame;
    ZuObject* object;

    friend class ZuObject;
    friend class ZuRuntime;
    friend struct Zuvi_HandleCut;
};

extern const ZuObjectRef ZuObjectNull;

#endif
