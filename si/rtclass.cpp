#include "si/rtclass.h"

#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

#include "si/error.h"
#include "si/globallock.h"
#include "si/memzone.h"
#include "si/classfactory.h"
#include "si/interface.h"
#include "si/pubdata.h"
#include "si/typeinfo.h"

namespace {

const char kFile[] = "si/rtclass";
const char kTargetFile[] = "si/targexport";

template <class T>
T* SysAlloc(const char* name, unsigned line)
{
    if (!Zuvi_sys_zone)
        ZuMemZone::NullAllocZone("Zuvi_sys_zone", line, kFile);
    return static_cast<T*>(Zuvi_sys_zone->Alloc(sizeof(T), name, line, kFile, ZU_MEM_BIN));
}

void SysFree(void* p, unsigned line)
{
    if (!Zuvi_sys_zone)
        ZuMemZone::NullFreeZone("Zuvi_sys_zone", line, kFile);
    Zuvi_sys_zone->Free(p, line, kFile);
}

} // namespace

struct ZuRuntime::TargetRecord {
    TargetRecord* next = nullptr;
    ZuRuntimeRef owner;
    Zuvi_TargetExport* exp = nullptr;
    ZuAtomRef name;
};

struct ZuRuntime::NotifyRecord {
    NotifyRecord* next = nullptr;
    ZuAtomRef event;
    ZuAtomRef data;
};

struct ZuRuntime::InterfaceRecord {
    InterfaceRecord* next;
    const Zuvi_Interface* iface;
    const Zuvi_InterfaceCastDef* cast;
};

ZU_IMPLEMENT_CLASS(ZuRuntime, kFile, ZU_CLASS_NOT_STORED)

Zuvi_RuntimeInfo* Zuvi_RuntimeInfo::last = nullptr;
Zuvi_TargetExport* Zuvi_TargetExport::head = nullptr;
Zuvi_TargetExport* Zuvi_TargetExport::tail = nullptr;
Zuvi_NotifyExport* Zuvi_NotifyExport::head = nullptr;
Zuvi_PubDataExport* Zuvi_PubDataExport::head = nullptr;
Zuvi_PubDataExport* Zuvi_PubDataExport::tail = nullptr;
Zuvi_NotifyExport* Zuvi_NotifyExport::tail = nullptr;

void* ZuRuntime::rt_init_base = nullptr;
ZuRuntime* ZuRuntime::rt_init_class = nullptr;
unsigned ZuRuntime::rt_init_ref_count = 0;
unsigned ZuRuntime::rt_class_num = 0;

// ---------------------------------------------------------------------------
// Static records
// ---------------------------------------------------------------------------

Zuvi_RuntimeInfo::Zuvi_RuntimeInfo(ZuRuntimeRef& rt, Zuvi_RuntimeGetter super, const char* name,
                                   const char* file, unsigned size, Zuvi_ConstructFn construct_fn,
                                   Zuvi_ConstructFn init_construct_fn, bool abstract, bool special,
                                   bool singleton, bool prototype_from_super, bool not_stored)
    : link(last), runtime(&rt), super_getter(super), construct(construct_fn),
      init_construct(init_construct_fn), class_name(name), file_name(file), instance_size(size),
      is_abstract(abstract), is_special(special), is_singleton(singleton),
      is_prototype_from_super(prototype_from_super), is_not_stored(not_stored)
{
    last = this;
}

Zuvi_TargetExport::Zuvi_TargetExport(Zuvi_Target::ActorFn fn, const char* call_text,
                                     const ZuRuntimeRef& rt)
    : next(nullptr), prev(nullptr), info()
{
    info.class_rt = &rt;
    info.call_text = call_text;
    info.actor_fn = fn;
    LinkSelf();
}

Zuvi_TargetExport::Zuvi_TargetExport(Zuvi_Target::ObserverFn fn, const char* call_text,
                                     const ZuRuntimeRef& rt)
    : next(nullptr), prev(nullptr), info()
{
    info.class_rt = &rt;
    info.call_text = call_text;
    info.observer_fn = fn;
    LinkSelf();
}

void Zuvi_TargetExport::LinkSelf()
{
    prev = tail;
    if (tail)
        tail->next = this;
    else
        head = this;
    tail = this;
}

void Zuvi_TargetExport::SetCall(const char* call_text)
{
    info.call_text = call_text;
}

void Zuvi_TargetExport::SetArg(const char* type, const char* name, const char* description)
{
    ZU_ASSERT_AT(this->info.num_param < 10, "this->info.num_param < 10", __LINE__, kTargetFile);
    Zuvi_ParamDesc& p = info.param[info.num_param++];
    p.type_text = type;
    p.name_text = name;
    p.description = description;
}

Zuvi_PubDataExport::Zuvi_PubDataExport(DeclareFn fn) : Zuvi_PubDataExport(fn, nullptr) {}

Zuvi_PubDataExport::Zuvi_PubDataExport(DeclareFn fn, const ZuRuntimeRef& rt)
    : Zuvi_PubDataExport(fn, &rt)
{}

Zuvi_PubDataExport::Zuvi_PubDataExport(DeclareFn fn, const ZuRuntimeRef* rt)
    : next(nullptr), declare(fn), class_rt(rt)
{
    if (tail)
        tail->next = this;
    else
        head = this;
    tail = this;
}

Zuvi_NotifyExport::Zuvi_NotifyExport(const ZuRuntimeRef* rt, const char* event, const char* data,
                                     ZuAtomRef* fill, OneShotFn fn)
    : next(nullptr), class_rt(rt), event_name(event), data_name(data), atom(fill), one_shot(fn)
{
    if (tail)
        tail->next = this;
    else
        head = this;
    tail = this;
}

// The run-time class of the typed arrays, named by every class's array type
// descriptor. The array class supplies the real one; until it is linked in,
// the descriptors name an empty slot.
__attribute__((weak)) const ZuRuntimeRef& Zuvi_TypedArrayRuntime()
{
    static ZuRuntimeRef none{ZuObjectRef::SlotTag()};
    return none;
}

// ---------------------------------------------------------------------------
// Fatal errors shared by every class
// ---------------------------------------------------------------------------

const char* Zuvi_FrameKindWord(unsigned type)
{
    switch (type) {
    case 1:
        return "method ";
    case 2:
        return "member ";
    case 3:
        return "operator ";
    case 4:
        return "function ";
    default:
        return "hell, namely ";
    }
}

void Zuvi_RefuseInstance(const char* class_name, const char* file)
{
    std::string text = "Cannot instanciate ";
    text += class_name;
    Zuvi_ErrorAbort(text.c_str(), __LINE__, file);
}

// The placement of a class's instance in a caller's buffer: the instance
// must fit, and the class must have its run-time record.
void Zuvi_CheckPlacement(unsigned size, const ZuRuntimeRef& runtime, void* buffer_ptr,
                         unsigned buffer_len, const char* file)
{
    ZU_ASSERT_AT(size <= buffer_len, "size <= buffer_len", __LINE__, file);
    ZU_ASSERT_AT(buffer_len, "buffer_len", __LINE__, file);
    ZU_ASSERT_AT(buffer_ptr, "buffer_ptr", __LINE__, file);
    ZU_ASSERT_AT(runtime.IsValid(), "runtime.IsValid ()", __LINE__, file);
}

void Zuvi_ResolveNull(const ZuRuntimeRef& rt)
{
    ZuRuntime* runtime = rt.RetRawObject();
    if (runtime)
        runtime->ResolveNull();
    ZuRuntime::FatalResolveNull();
}

void ZuRuntime::FatalResolveNull()
{
    const Zuvi_CallFrame* frame = Zuvi_CallFrame::head;
    std::string text = "\n\nFatal Zuvi Runtime Error\n\n";
    text += "Tried to resolve NULL pointer. Caller coming from\n";
    text += Zuvi_FrameKindWord(frame ? frame->RetType() : 0);
    text += frame ? frame->RetFuncName() : "?";
    text += ". Cannot continue !";
    Zuvi_ErrorPrint(text.c_str(), frame ? int(frame->RetFileLine()) : 0,
                    frame ? frame->RetFileName() : kFile);
    Zuvi_ErrorAbort("Cannot continue", __LINE__, kFile);
}

void ZuRuntime::ResolveNull()
{
    FatalResolveNull();
}

// ---------------------------------------------------------------------------
// The record
// ---------------------------------------------------------------------------

ZuRuntime::ZuRuntime()
    : class_id_(0), depth(0), info(nullptr), alternate(nullptr), alternate_chosen(false),
      targets(nullptr), target_count(0), cursor(nullptr), cursor_index(0), notifies(nullptr),
      notify_count(0), data_head(nullptr), data_array(nullptr), data_count(0), interfaces(nullptr),
      interface_count(0), ref_offsets(nullptr), ref_count_(0), singleton(false), storable(false),
      next_runtime(nullptr)
{}

void ZuRuntime::FreePubData()
{
    while (data_head) {
        Zuvi_PubData* d = data_head;
        data_head = d->next;
        while (d) {
            Zuvi_PubData* following = d->same_name;
            d->ReleaseGroups();
            d->~Zuvi_PubData();
            SysFree(d, __LINE__);
            d = following;
        }
    }
    if (data_array) {
        SysFree(data_array, __LINE__);
        data_array = nullptr;
    }
    data_count = 0;
}

namespace {

// Frees a chain of records made in the system zone.
template <class R>
void FreeChain(R*& head)
{
    while (head) {
        R* r = head;
        head = r->next;
        r->~R();
        SysFree(r, __LINE__);
    }
}

} // namespace

// The record lists that both the destructor and Delete free.
void ZuRuntime::FreeRecords()
{
    FreeChain(targets);
    FreeChain(notifies);
    FreeChain(interfaces);
    target_count = notify_count = interface_count = 0;
}

ZuRuntime::~ZuRuntime()
{
    FreePubData();
    FreeRecords();
    if (ref_offsets) {
        SysFree(ref_offsets, __LINE__);
        ref_offsets = nullptr;
    }
}

void ZuRuntime::Initialise(Zuvi_RuntimeInfo* i)
{
    info = i;
    *info->runtime = this;
    class_ = this;
}

void ZuRuntime::LinkSuper()
{
    if (info->super_getter)
        super_ = info->super_getter();
    else
        super_ = ZuRuntimeRef();
    singleton = false;
    for (const ZuRuntime* r = this; r; r = r->super_.RetRawObject())
        if (r->info && r->info->is_singleton)
            singleton = true;
    // Along the registrations, whose super classes all have their record
    // already (a super class's own link may come later in this pass).
    storable = true;
    for (const Zuvi_RuntimeInfo* i = info; i;) {
        if (i->is_not_stored)
            storable = false;
        const ZuRuntime* up = i->super_getter ? i->super_getter().RetRawObject() : nullptr;
        i = up ? up->info : nullptr;
    }
}

namespace {

// The classes of one start-up batch by their run-time slot. Two
// registrations naming one slot both get the slot's entries.
class BatchIndex {
public:
    void Add(const ZuRuntimeRef* slot, unsigned position)
    {
        same_slot.push_back(kNone);
        auto found = first.emplace(slot, position);
        if (!found.second) {
            unsigned p = found.first->second;
            while (same_slot[p] != kNone)
                p = same_slot[p];
            same_slot[p] = position;
        }
    }
    unsigned Count() const { return unsigned(same_slot.size()); }
    // Calls visit with the position of each class of the slot, in batch
    // order.
    template <class Visit>
    void ForEach(const ZuRuntimeRef* slot, Visit visit) const
    {
        auto found = first.find(slot);
        if (found == first.end())
            return;
        for (unsigned p = found->second; p != kNone; p = same_slot[p])
            visit(p);
    }

private:
    static constexpr unsigned kNone = ~0u;
    std::unordered_map<const ZuRuntimeRef*, unsigned> first;
    std::vector<unsigned> same_slot;
};

// The entries of one export list grouped by the position of the class that
// takes them, each group in the list's order. `places(entry, visit)` calls
// visit with each position that takes the entry.
template <class E>
class Grouped {
public:
    template <class Places>
    Grouped(E* head, unsigned classes, Places places) : start(classes + 1, 0)
    {
        for (E* e = head; e; e = e->next)
            places(e, [this](unsigned p) { ++start[p + 1]; });
        for (unsigned p = 0; p < classes; ++p)
            start[p + 1] += start[p];
        items.resize(start[classes]);
        std::vector<unsigned> fill(start.begin(), start.end() - 1);
        for (E* e = head; e; e = e->next)
            places(e, [&](unsigned p) { items[fill[p]++] = e; });
    }
    E* const* begin(unsigned p) const { return items.data() + start[p]; }
    E* const* end(unsigned p) const { return items.data() + start[p + 1]; }

private:
    std::vector<unsigned> start;
    std::vector<E*> items;
};

// A notification of no class: its atom is filled and its one-shot run when
// the first batch is collected (the one-shot only ever once).
void RunClassLess(Zuvi_NotifyExport* exp)
{
    if (exp->atom && exp->atom->IsInvalid() && exp->event_name)
        *exp->atom = exp->event_name;
    if (exp->one_shot) {
        Zuvi_NotifyExport::OneShotFn fn = exp->one_shot;
        exp->one_shot = nullptr;
        fn();
    }
}

} // namespace

void ZuRuntime::CollectTargets(ZuRuntime* batch)
{
    if (!batch)
        return;
    if (!Zuvi_TypeInfo::IsTableBuilt())
        Zuvi_TypeInfo::InitialiseAll();

    // Each list is read once and its entries handed to their classes, so
    // that the start costs the lists' length, not classes times entries.
    std::vector<ZuRuntime*> classes;
    BatchIndex index;
    for (ZuRuntime* rt = batch; rt; rt = rt->next_runtime) {
        index.Add(rt->info->runtime, unsigned(classes.size()));
        classes.push_back(rt);
    }
    const unsigned count = index.Count();
    Grouped<Zuvi_InterfaceExport> ifaces(
        Zuvi_InterfaceExport::head, count,
        [&index](Zuvi_InterfaceExport* e, auto visit) { index.ForEach(e->class_rt, visit); });
    Grouped<Zuvi_TargetExport> targets(
        Zuvi_TargetExport::head, count,
        [&index](Zuvi_TargetExport* e, auto visit) { index.ForEach(e->info.class_rt, visit); });
    // A declaration that names no class is called for every class.
    Grouped<Zuvi_PubDataExport> declares(Zuvi_PubDataExport::head, count,
                                         [&index, count](Zuvi_PubDataExport* e, auto visit) {
                                             if (e->class_rt)
                                                 index.ForEach(e->class_rt, visit);
                                             else
                                                 for (unsigned p = 0; p < count; ++p)
                                                     visit(p);
                                         });
    // Notifications of no class go with the batch's first class, in their
    // place among its own.
    Grouped<Zuvi_NotifyExport> notifies(Zuvi_NotifyExport::head, count,
                                        [&index](Zuvi_NotifyExport* e, auto visit) {
                                            if (e->class_rt)
                                                index.ForEach(e->class_rt, visit);
                                            else
                                                visit(0u);
                                        });

    for (unsigned p = 0; p < count; ++p) {
        ZuRuntime* rt = classes[p];
        for (auto i = ifaces.begin(p); i != ifaces.end(p); ++i)
            rt->PublishInterface((*i)->class_rt, (*i)->iface, (*i)->cast);
        for (auto i = targets.begin(p); i != targets.end(p); ++i)
            rt->AddTarget(*i);
        rt->cursor = nullptr;
        rt->cursor_index = 0;
        for (auto i = declares.begin(p); i != declares.end(p); ++i)
            (*i)->declare(rt);
        for (auto i = notifies.begin(p); i != notifies.end(p); ++i) {
            if ((*i)->class_rt)
                rt->AddNotify(*i);
            else
                RunClassLess(*i);
        }
    }
}

// A target of the class, at the head of its list; the target's parameter
// descriptions get their name atoms and types.
void ZuRuntime::AddTarget(Zuvi_TargetExport* exp)
{
    TargetRecord* r = ::new (SysAlloc<TargetRecord>("Zuvi_TargetRecord", __LINE__)) TargetRecord();
    r->owner = this;
    r->exp = exp;
    char name[50];
    const char* call = exp->info.call_text ? exp->info.call_text : "";
    size_t n = 0;
    while (n < sizeof(name) - 1 && call[n] && call[n] != ' ' && call[n] != '\t' && call[n] != '(') {
        name[n] = call[n];
        ++n;
    }
    name[n] = 0;
    r->name = name;
    for (unsigned p = 0; p < exp->info.num_param; ++p) {
        Zuvi_ParamDesc& desc = exp->info.param[p];
        desc.name = desc.name_text;
        desc.type_def = desc.type_text ? Zuvi_TypeInfo::Find(desc.type_text) : nullptr;
    }
    r->next = targets;
    targets = r;
    ++target_count;
}

// A notification the class sends, at the head of its list; the export's
// atom handle receives the data's atom, else the event's.
void ZuRuntime::AddNotify(const Zuvi_NotifyExport* exp)
{
    NotifyRecord* r = ::new (SysAlloc<NotifyRecord>("Zuvi_NotifyRecord", __LINE__)) NotifyRecord();
    r->event = exp->event_name;
    if (exp->data_name)
        r->data = exp->data_name;
    r->next = notifies;
    notifies = r;
    ++notify_count;
    if (exp->atom)
        *exp->atom = exp->data_name ? r->data : r->event;
}

void ZuRuntime::CompileWhileInit()
{
    if (data_count && !data_array) {
        data_array = static_cast<Zuvi_PubData**>(Zuvi_sys_zone->Alloc(
            data_count * sizeof(Zuvi_PubData*), "Zuvi_PubData*[]", __LINE__, kFile, ZU_MEM_BIN));
        unsigned i = 0;
        for (Zuvi_PubData* d = data_head; d && i < data_count; d = d->next)
            data_array[i++] = d;
    }
    depth = 1;
    for (const ZuRuntime* r = super_.RetRawObject(); r; r = r->super_.RetRawObject())
        ++depth;
}

void ZuRuntime::CompileAfterInit()
{
    if (class_id_ != 0)
        return;
    class_id_ = ++rt_class_num;
    for (Zuvi_PubData* d = data_head; d; d = d->next) {
        for (Zuvi_PubData* g = d; g; g = g->same_name) {
            ZuBitsetInfoRef bits(ZuNew<ZuBitsetInfo>(Zuvi_app_zone, __LINE__, kFile));
            bits->Initialise(g);
            g->bitset_info = bits;
        }
    }
    if (IsAbstract())
        return;
    unsigned size = info->instance_size;
    if (!Zuvi_sys_zone)
        ZuMemZone::NullAllocZone("Zuvi_sys_zone", __LINE__, kFile);
    void* block = Zuvi_sys_zone->Alloc(size, "Zuvi_EmbeddedCensus", __LINE__, kFile, ZU_MEM_BIN);
    memset(block, 0, size);
    Zuvi_ConstructFn init = info->init_construct;
    const ZuRuntime* sup = super_.RetRawObject();
    if (info->is_prototype_from_super && sup && sup->info)
        init = sup->info->init_construct;

    ZuObjectRef::report_creation = true;
    rt_init_base = block;
    rt_init_ref_count = 0;
    rt_init_class = nullptr;
    // The census's instances lie in the system zone and are never destroyed.
    ZuObject::ZoneBuild building(block, size);
    init(block, size);
    ref_count_ = rt_init_ref_count;
    if (ref_count_) {
        ref_offsets = static_cast<unsigned*>(Zuvi_sys_zone->Alloc(
            ref_count_ * sizeof(unsigned), "Zuvi_EmbeddedRefs[]", __LINE__, kFile, ZU_MEM_BIN));
        rt_init_class = this;
        rt_init_ref_count = 0;
        memset(block, 0, size);
        init(block, size);
    }
    ZuObjectRef::report_creation = false;
    rt_init_base = nullptr;
    rt_init_class = nullptr;
    rt_init_ref_count = 0;
    Zuvi_sys_zone->Free(block, __LINE__, kFile);
}

void ZuRuntime::ReportCreation(ZuObjectRef* handle, const ZuRuntimeRef&)
{
    ZU_ASSERT(rt_init_ref_count < ref_count_);
    ref_offsets[rt_init_ref_count++] =
        unsigned(reinterpret_cast<char*>(handle) - static_cast<char*>(rt_init_base));
}

ZuObjectRef* ZuRuntime::RetEmbeddedReference(ZuObject* obj, unsigned i) const
{
    if (i >= ref_count_)
        return nullptr;
    return reinterpret_cast<ZuObjectRef*>(reinterpret_cast<char*>(obj) + ref_offsets[i]);
}

void ZuRuntime::UpdateEmbeddedRefs(void* obj)
{
    ZuObject* o = static_cast<ZuObject*>(obj);
    for (unsigned i = 0; i < ref_count_; ++i)
        RetEmbeddedReference(o, i)->embedding_object = o;
}

void ZuRuntime::ResetAlternateConstructor()
{
    alternate = nullptr;
    alternate_chosen = false;
}

bool ZuRuntime::ConstructObject(void* ptr, unsigned size)
{
    ZU_ASSERT(ptr != 0);
    ZU_ASSERT(size == this->info->instance_size);
    if (!alternate_chosen) {
        alternate = ZuClassFactory::FindAlternateConstructor(this);
        if (!alternate)
            alternate = info->construct;
        alternate_chosen = true;
    }
    {
        ZuObject::ZoneBuild building(ptr, size);
        alternate(ptr, size);
    }
    UpdateEmbeddedRefs(ptr);
    if (ref_count_ != 0) {
        ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_HANDLE);
        for (unsigned i = 0; i < ref_count_; ++i)
            RetEmbeddedReference(static_cast<ZuObject*>(ptr), i)->MoveAmongObjectMembers();
    }
    return true;
}

// ---------------------------------------------------------------------------
// Look-ups
// ---------------------------------------------------------------------------

const Zuvi_Target* ZuRuntime::FindMethod(const ZuAtomRef& name, unsigned n) const
{
    if (name.IsInvalid())
        return nullptr;
    for (const ZuRuntime* rt = this; rt; rt = rt->super_.RetRawObject())
        for (const TargetRecord* r = rt->targets; r; r = r->next)
            if (r->name == name && r->exp->info.message_fn && n-- == 0)
                return &r->exp->info;
    return nullptr;
}

const Zuvi_Target* ZuRuntime::FindObserver(const ZuAtomRef& name) const
{
    if (name.IsInvalid())
        return nullptr;
    for (const ZuRuntime* rt = this; rt; rt = rt->super_.RetRawObject())
        for (const TargetRecord* r = rt->targets; r; r = r->next)
            if (r->name == name && r->exp->info.observer_fn)
                return &r->exp->info;
    return nullptr;
}

const Zuvi_Target* ZuRuntime::FindActor(const ZuAtomRef& name) const
{
    if (name.IsInvalid())
        return nullptr;
    for (const ZuRuntime* rt = this; rt; rt = rt->super_.RetRawObject())
        for (const TargetRecord* r = rt->targets; r; r = r->next)
            if (r->name == name && r->exp->info.actor_fn)
                return &r->exp->info;
    return nullptr;
}

unsigned ZuRuntime::CountMethods(const ZuAtomRef& name) const
{
    unsigned n = 0;
    if (name.IsInvalid())
        return 0;
    for (const ZuRuntime* rt = this; rt; rt = rt->super_.RetRawObject())
        for (const TargetRecord* r = rt->targets; r; r = r->next)
            if (r->name == name && r->exp->info.message_fn)
                ++n;
    return n;
}

bool ZuRuntime::GetTarget(unsigned i, ZuAtomRef& name, unsigned& kind,
                          const Zuvi_Target*& target) const
{
    if (i >= target_count)
        return false;
    const TargetRecord* iter;
    unsigned index;
    if (cursor && i >= cursor_index) {
        iter = cursor;
        index = cursor_index;
    } else {
        iter = targets;
        index = 0;
    }
    while (index < i) {
        ZU_ASSERT(iter->next);
        iter = iter->next;
        ++index;
    }
    cursor = const_cast<TargetRecord*>(iter);
    cursor_index = index;
    name = iter->name;
    kind = iter->exp->info.RetKind();
    target = &iter->exp->info;
    return true;
}

unsigned ZuRuntime::CountNotify(const ZuAtomRef& data) const
{
    unsigned n = 0;
    for (const NotifyRecord* r = notifies; r; r = r->next)
        if (r->data == data)
            ++n;
    return n;
}

bool ZuRuntime::GetNotify(unsigned i, ZuAtomRef& event) const
{
    for (const NotifyRecord* r = notifies; r; r = r->next)
        if (i-- == 0) {
            event = r->event;
            return true;
        }
    return false;
}

bool ZuRuntime::GetNotify(const ZuAtomRef& data, unsigned n, ZuAtomRef& event) const
{
    for (const NotifyRecord* r = notifies; r; r = r->next)
        if (r->data == data && n-- == 0) {
            event = r->event;
            return true;
        }
    return false;
}

// ---------------------------------------------------------------------------
// Type tests between described classes, deletion
// ---------------------------------------------------------------------------

bool ZuRuntime::IsA(const ZuRuntimeRef& rt) const
{
    const ZuRuntime* other = rt.RetRawObject();
    return info && other && other->info && info->class_name == other->info->class_name;
}

bool ZuRuntime::IsKindOf(const ZuRuntimeRef& rt) const
{
    const ZuRuntime* other = rt.RetRawObject();
    if (!other || !other->info)
        return false;
    for (const ZuRuntime* r = this; r; r = r->super_.RetRawObject())
        if (r->info && r->info->class_name == other->info->class_name)
            return true;
    return false;
}

void ZuRuntime::Delete()
{
    FreeRecords();
    FreePubData();
    cursor = nullptr;
    cursor_index = 0;
    instance = ZuObjectRef();
    super_ = ZuRuntimeRef();
    if (info)
        *info->runtime = ZuRuntimeRef();
    class_ = ZuRuntimeRef();
    ZuObject::Delete();
}

// ---------------------------------------------------------------------------
// Interfaces
// ---------------------------------------------------------------------------

void ZuRuntime::PublishInterface(const ZuRuntimeRef* class_rt, const Zuvi_Interface* iface,
                                 const Zuvi_InterfaceCastDef* cast)
{
    if (!info || class_rt != info->runtime || !iface)
        return;
    InterfaceRecord* r = SysAlloc<InterfaceRecord>("Zuvi_InterfaceRecord", __LINE__);
    r->next = interfaces;
    r->iface = iface;
    r->cast = cast;
    interfaces = r;
    ++interface_count;
}

bool ZuRuntime::ClassSupportsInterface(const Zuvi_Interface* iface) const
{
    for (const ZuRuntime* rt = this; rt;
         rt = static_cast<const ZuRuntime*>(rt->super_.RetRawObject()))
        for (const InterfaceRecord* r = rt->interfaces; r; r = r->next)
            if (r->iface == iface)
                return true;
    return false;
}

const void* ZuRuntime::CastToInterface(const ZuObject* obj, const Zuvi_Interface* iface) const
{
    for (const ZuRuntime* rt = this; rt;
         rt = static_cast<const ZuRuntime*>(rt->super_.RetRawObject()))
        for (const InterfaceRecord* r = rt->interfaces; r; r = r->next)
            if (r->iface == iface)
                return r->cast && r->cast->cast_const ? r->cast->cast_const(obj) : nullptr;
    return nullptr;
}

void* ZuRuntime::CastToInterface(ZuObject* obj, const Zuvi_Interface* iface)
{
    for (const ZuRuntime* rt = this; rt;
         rt = static_cast<const ZuRuntime*>(rt->super_.RetRawObject()))
        for (const InterfaceRecord* r = rt->interfaces; r; r = r->next)
            if (r->iface == iface)
                return r->cast && r->cast->cast ? r->cast->cast(obj) : nullptr;
    return nullptr;
}

unsigned ZuRuntime::CountInterfaces() const
{
    unsigned n = 0;
    for (const ZuRuntime* rt = this; rt;
         rt = static_cast<const ZuRuntime*>(rt->super_.RetRawObject()))
        n += rt->interface_count;
    return n;
}

bool ZuRuntime::GetInterface(unsigned i, const Zuvi_Interface*& iface) const
{
    for (const ZuRuntime* rt = this; rt;
         rt = static_cast<const ZuRuntime*>(rt->super_.RetRawObject()))
        for (const InterfaceRecord* r = rt->interfaces; r; r = r->next, --i)
            if (i == 0) {
                iface = r->iface;
                return true;
            }
    return false;
}

// ---------------------------------------------------------------------------
// Published data
// ---------------------------------------------------------------------------

void ZuRuntime::PublishData(Zuvi_PubDataDef& def)
{
    if (def.class_rt != info->runtime || !def.name)
        return;
    for (Zuvi_PubData* d = data_head; d; d = d->next)
        for (Zuvi_PubData* g = d; g; g = g->same_name)
            if (strcmp(g->def.name, def.name) == 0 && g->def.getter == def.getter &&
                g->def.setter == def.setter)
                return;
    Zuvi_PubData* item = ::new (SysAlloc<Zuvi_PubData>("Zuvi_PubData", __LINE__)) Zuvi_PubData(def);
    item->Initialise();
    for (Zuvi_PubData* d = data_head; d; d = d->next) {
        if (d->name.RetRawObject() == item->name.RetRawObject() &&
            d->def.type_def == def.type_def) {
            item->same_name = d->same_name;
            d->same_name = item;
            return;
        }
    }
    item->next = data_head;
    data_head = item;
    ++data_count;
}

void ZuRuntime::PublishDataEx(Zuvi_PubDataDef& def, const Zuvi_BitsetDataDef* table, unsigned size)
{
    if (def.class_rt != info->runtime)
        return;
    Zuvi_PubData* iter = data_head;
    while (iter && !(def.name && strcmp(iter->def.name, def.name) == 0))
        iter = iter->next;
    ZU_ASSERT(iter);
    iter->AttachTable(table, size);
}

bool ZuRuntime::GetPubData(unsigned i, const Zuvi_PubData*& item) const
{
    if (i >= data_count)
        return false;
    ZU_ASSERT(this->data_array);
    item = data_array[i];
    return true;
}

const Zuvi_PubData* ZuRuntime::FindPubData(const ZuAtomRef& name, unsigned n) const
{
    if (name.IsInvalid())
        return nullptr;
    for (const ZuRuntime* rt = this; rt; rt = rt->super_.RetRawObject())
        for (const Zuvi_PubData* d = rt->data_head; d; d = d->next)
            if (d->name.RetRawObject() == name.RetRawObject() && n-- == 0)
                return d;
    return nullptr;
}
