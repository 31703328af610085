#ifndef SI_RTCLASS_H
#define SI_RTCLASS_H

// ZuRuntime: the run-time record of a class, built at start-up by the class
// factory from the static registration (Zuvi_RuntimeInfo) that the class's
// source defines through ZU_IMPLEMENT_CLASS. It knows the class's name,
// size, construction functions, super class and depth, the targets it
// exports by name, the notifications it declares and where the handles
// embedded in an instance lie.

#include "si/object.h"
#include "si/atom.h"

class ZuRuntime;
class ZuMessageRef;
class Zuvi_Interface;
struct Zuvi_InterfaceCastDef;
struct Zuvi_TargetExport;
struct Zuvi_TypeDef;
struct Zuvi_PubDataDef;
struct Zuvi_BitsetDataDef;
class Zuvi_PubData;

// The word that names the kind of a call frame in diagnostics.
const char* Zuvi_FrameKindWord(unsigned type);

typedef void (*Zuvi_ConstructFn)(void* buffer, unsigned length);
typedef const ZuRuntimeRef& (*Zuvi_RuntimeGetter)();

// Static registration of one class.
struct Zuvi_RuntimeInfo {
    Zuvi_RuntimeInfo(ZuRuntimeRef& rt, Zuvi_RuntimeGetter super, const char* name, const char* file,
                     unsigned size, Zuvi_ConstructFn construct, Zuvi_ConstructFn init_construct,
                     bool abstract, bool special, bool singleton, bool prototype_from_super,
                     bool not_stored = false);

    Zuvi_RuntimeInfo* link;
    ZuRuntimeRef* runtime;
    Zuvi_RuntimeGetter super_getter;
    Zuvi_ConstructFn construct;
    Zuvi_ConstructFn init_construct;
    const char* class_name;
    const char* file_name;
    unsigned instance_size;
    bool is_abstract;
    bool is_special;
    bool is_singleton;
    bool is_prototype_from_super;
    // The class (and every subclass) is never made from stored bytes.
    bool is_not_stored;

    static Zuvi_RuntimeInfo* last;
};

// One parameter of a message-form target.
struct Zuvi_ParamDesc {
    const char* type_text;
    const char* name_text;
    const char* description;
    const Zuvi_TypeDef* type_def;
    ZuAtomRef name;
};

// The callable part of an exported target.
struct Zuvi_Target {
    typedef bool (*MessageFn)(const ZuMessageRef& msg, ZuObject* obj, Zuvi_TargetExport* exp);
    typedef bool (*ObserverFn)(ZuObject* obj, const ZuObjectRef& source, unsigned id);
    typedef bool (*ActorFn)(ZuObject* obj);
    enum Kind { KIND_MESSAGE = 1, KIND_OBSERVER = 2, KIND_ACTOR = 3 };
    enum { MAX_PARAM = 10 };

    const ZuRuntimeRef* class_rt;
    const char* call_text;
    MessageFn message_fn;
    ObserverFn observer_fn;
    ActorFn actor_fn;
    unsigned num_param;
    Zuvi_ParamDesc param[MAX_PARAM];

    unsigned RetKind() const
    {
        return message_fn ? KIND_MESSAGE : observer_fn ? KIND_OBSERVER : KIND_ACTOR;
    }
};

// A target exported by a class, callable by name (static record).
struct Zuvi_TargetExport {
    Zuvi_TargetExport(Zuvi_Target::ActorFn fn, const char* call_text, const ZuRuntimeRef& rt);
    Zuvi_TargetExport(Zuvi_Target::ObserverFn fn, const char* call_text, const ZuRuntimeRef& rt);
    // The message form (si/message.cpp): fn is called once at once with an
    // empty message and no object, and describes itself with SetCall and
    // SetArg.
    Zuvi_TargetExport(Zuvi_Target::MessageFn fn, const ZuRuntimeRef& rt);
    void SetCall(const char* call_text);
    void SetArg(const char* type, const char* name, const char* description);

    Zuvi_TargetExport* next;
    Zuvi_TargetExport* prev;
    Zuvi_Target info;

    static Zuvi_TargetExport* head;
    static Zuvi_TargetExport* tail;

private:
    void LinkSelf();
};

// The published data of a class: a function that declares the class's
// items to its run-time record (PublishData, PublishDataEx), called while
// the targets are collected (static record). Without a class it is called
// once for every class, and each record keeps the items that name it; with
// a class, once for that class only, so it must publish only that class's
// items.
struct Zuvi_PubDataExport {
    typedef void (*DeclareFn)(ZuRuntime* runtime);
    explicit Zuvi_PubDataExport(DeclareFn fn);
    Zuvi_PubDataExport(DeclareFn fn, const ZuRuntimeRef& rt);

    Zuvi_PubDataExport* next;
    DeclareFn declare;
    const ZuRuntimeRef* class_rt;

    static Zuvi_PubDataExport* head;
    static Zuvi_PubDataExport* tail;

private:
    Zuvi_PubDataExport(DeclareFn fn, const ZuRuntimeRef* rt);
};

// A notification a class declares (static record).
struct Zuvi_NotifyExport {
    typedef void (*OneShotFn)();
    Zuvi_NotifyExport(const ZuRuntimeRef* rt, const char* event, const char* data, ZuAtomRef* fill,
                      OneShotFn one_shot = nullptr);

    Zuvi_NotifyExport* next;
    const ZuRuntimeRef* class_rt;
    const char* event_name;
    const char* data_name;
    ZuAtomRef* atom;
    OneShotFn one_shot;

    static Zuvi_NotifyExport* head;
    static Zuvi_NotifyExport* tail;
};

ZU_HANDLE_BEGIN(ZuRuntime, ZuObject)
ZU_HANDLE_CONVERSIONS(ZuRuntime)
// The per-class run-time slot: an empty handle built without asking for
// any class's runtime, so that slots can exist before the runtimes do.
explicit ZuRuntimeRef(ZuObjectRef::SlotTag) : ZuObjectRef() {}
ZU_HANDLE_END(ZuRuntime)

class ZuRuntime : public ZuObject {
    ZU_CLASS(ZuRuntime, ZuObject)
public:
    ZuRuntime();
    ~ZuRuntime() override;

    // Start-up passes (ZuClassFactory::Initialise runs each over all classes).
    void Initialise(Zuvi_RuntimeInfo* info);
    void LinkSuper();
    // Gives every class of the batch (the records chained from `batch`
    // through next_runtime) its targets, notifications, interfaces and
    // published data from the process-wide export lists, each list read
    // once; classes outside the batch get nothing.
    static void CollectTargets(ZuRuntime* batch);
    void CompileWhileInit();
    void CompileAfterInit();

    virtual void ReportCreation(ZuObjectRef* handle, const ZuRuntimeRef& rt);
    virtual void UpdateEmbeddedRefs(void* obj);
    virtual void ResetAlternateConstructor();
    [[noreturn]] virtual void ResolveNull();

    // Published data: items of other classes are ignored, and so is an item
    // published twice (same name, getter and setter). An item with the name
    // and type of an earlier one joins that one's group.
    virtual void PublishData(Zuvi_PubDataDef& def);
    // Attaches a member table (size in bytes) to the class's item of that
    // name.
    virtual void PublishDataEx(Zuvi_PubDataDef& def, const Zuvi_BitsetDataDef* table,
                               unsigned size);
    unsigned CountPubData() const { return data_count; }
    bool GetPubData(unsigned i, const Zuvi_PubData*& item) const;
    // The n-th inherited item of that name, own class first.
    const Zuvi_PubData* FindPubData(const ZuAtomRef& name, unsigned n) const;

    // Interfaces (si/interface.h): the class's own records, newest first,
    // taken from its static declarations while its targets are collected;
    // the answers look at the class's own records, then its super class's.
    virtual void PublishInterface(const ZuRuntimeRef* class_rt, const Zuvi_Interface* iface,
                                  const Zuvi_InterfaceCastDef* cast);
    virtual bool ClassSupportsInterface(const Zuvi_Interface* iface) const;
    virtual const void* CastToInterface(const ZuObject* obj, const Zuvi_Interface* iface) const;
    virtual void* CastToInterface(ZuObject* obj, const Zuvi_Interface* iface);
    unsigned CountInterfaces() const;
    bool GetInterface(unsigned i, const Zuvi_Interface*& iface) const;

    unsigned RetRuntimeClassID() const { return class_id_; }
    const ZuRuntimeRef& RetClass() const { return class_; }
    const ZuRuntimeRef& RetSuper() const { return super_; }
    unsigned RetClassDepth() const { return depth; }
    const char* RetClassName() const { return info ? info->class_name : "?"; }
    const char* RetFileName() const { return info ? info->file_name : "?"; }
    unsigned RetInstanceSize() const { return info ? info->instance_size : 0; }
    Zuvi_ConstructFn RetConstrFunc() const { return info ? info->construct : nullptr; }
    bool IsAbstract() const { return info && info->is_abstract; }
    bool IsSpecial() const { return info && info->is_special; }
    bool IsSingleton() const { return singleton; }
    // Whether a storage may make the class from bytes: neither the class
    // nor a super class says ZU_CLASS_NOT_STORED (si/zuclass.h). Known from
    // LinkSuper on.
    bool IsStorable() const { return storable; }
    const ZuObjectRef& RetInstance() const { return instance; }

    bool ConstructObject(void* ptr, unsigned size);
    unsigned CountEmbeddedReferences() const { return ref_count_; }
    ZuObjectRef* RetEmbeddedReference(ZuObject* obj, unsigned i) const;

    const Zuvi_Target* FindMethod(const ZuAtomRef& name, unsigned n) const;
    const Zuvi_Target* FindObserver(const ZuAtomRef& name) const;
    const Zuvi_Target* FindActor(const ZuAtomRef& name) const;
    unsigned CountMethods(const ZuAtomRef& name) const;
    unsigned CountTargets() const { return target_count; }
    bool GetTarget(unsigned i, ZuAtomRef& name, unsigned& kind, const Zuvi_Target*& target) const;
    unsigned CountNotify() const { return notify_count; }
    unsigned CountNotify(const ZuAtomRef& data) const;
    bool GetNotify(unsigned i, ZuAtomRef& event) const;
    bool GetNotify(const ZuAtomRef& data, unsigned n, ZuAtomRef& event) const;

    // Type tests between the described classes.
    bool IsA(const ZuRuntimeRef& rt) const override;
    bool IsKindOf(const ZuRuntimeRef& rt) const override;
    void Delete() override;

    // The fatal error of resolving an empty handle when no runtime is there.
    [[noreturn]] static void FatalResolveNull();

    static void* rt_init_base;
    static ZuRuntime* rt_init_class;
    static unsigned rt_init_ref_count;
    static unsigned rt_class_num;

private:
    void FreePubData();
    void FreeRecords();
    void AddTarget(Zuvi_TargetExport* exp);
    void AddNotify(const Zuvi_NotifyExport* exp);
    struct TargetRecord;
    struct NotifyRecord;
    struct InterfaceRecord;

    unsigned class_id_;
    ZuRuntimeRef class_;
    ZuRuntimeRef super_;
    unsigned depth;
    Zuvi_RuntimeInfo* info;
    Zuvi_ConstructFn alternate;
    bool alternate_chosen;
    TargetRecord* targets;
    unsigned target_count;
    mutable TargetRecord* cursor;
    mutable unsigned cursor_index;
    NotifyRecord* notifies;
    unsigned notify_count;
    Zuvi_PubData* data_head;
    Zuvi_PubData** data_array;
    unsigned data_count;
    InterfaceRecord* interfaces;
    unsigned interface_count;
    unsigned* ref_offsets;
    unsigned ref_count_;
    ZuObjectRef instance;
    bool singleton;
    bool storable;
    ZuRuntime* next_runtime;

    friend class ZuClassFactory;
};
ZU_CLASS_END(ZuRuntime)

// Declares exported targets of a class X from its member functions
// (bool X::Method() for actors, bool X::Method(const ZuObjectRef&, unsigned)
// for observers); placed in X's source.
#define ZU_EXPORT_ACTOR(X, METHOD)                                                 \
    static Zuvi_TargetExport zuvi_actor_##X##_##METHOD(                            \
        [](ZuObject* o) -> bool { return static_cast<X*>(o)->METHOD(); }, #METHOD, \
        X##Ref::RetRuntime());
#define ZU_EXPORT_OBSERVER(X, METHOD)                                \
    static Zuvi_TargetExport zuvi_observer_##X##_##METHOD(           \
        [](ZuObject* o, const ZuObjectRef& s, unsigned id) -> bool { \
            return static_cast<X*>(o)->METHOD(s, id);                \
        },                                                           \
        #METHOD, X##Ref::RetRuntime());
// Declares that X sends the notification EVENT; the atom handle at FILL
// (or null) receives the event's atom at start-up; TAG names the record.
#define ZU_EXPORT_NOTIFY(X, TAG, EVENT, FILL) \
    static Zuvi_NotifyExport zuvi_notify_##X##_##TAG(&X##Ref::RetRuntime(), EVENT, nullptr, FILL);

#endif
