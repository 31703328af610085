#include "si/object.h"

#include "si/dict.h"

#include <atomic>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "si/atom.h"
#include "si/error.h"
#include "si/memzone.h"
#include "si/classfactory.h"
#include "si/rtclass.h"
#include "si/hashtab.h"
#include "si/list.h"
#include "si/container.h"
#include "si/storage.h"
#include "si/storagesync.h"
#include "si/globallock.h"
#include "si/interface.h"
#include "si/typeinfo.h"
#include "si/linkedlist.h"

namespace {

const char kFile[] = "si/object";

const unsigned QUEUED = 0x80000000u;

// Atoms are interned: one text, one object.
inline bool SameAtom(const ZuAtomRef& a, const ZuAtomRef& b)
{
    return a.RetRawObject() == b.RetRawObject();
}

} // namespace

// The extension record: created on the first need of observers, unknown
// data or attributes, in the object's zone.
struct ZuObjectExtension {
    ZuObserverLink* obs_head = nullptr;
    ZuObserverLink* obs_tail = nullptr;
    ZuObserverLink* single = nullptr;
    unsigned obs_count = 0;
    unsigned volatile_count = 0;
    ZuObserverLink* x_head = nullptr;
    ZuObserverLink* x_tail = nullptr;
    unsigned x_count = 0;
    ZuObjectRef attr;
    ZuObjectRef reg;
    ZuObjectRef unknown;
    ZuObjectRef async;
};

// One attachment of an observer to a source for an event and an action.
struct ZuObserverLink {
    ZuObserverLink* next = nullptr;
    ZuObserverLink* prev = nullptr;
    const Zuvi_Target* target = nullptr;
    ZuObjectRef observer;
    ZuObjectRef observer_given;
    ZuAtomRef event;
    ZuAtomRef action;
    bool is_actor = false;
    bool is_volatile = false;
    unsigned id = 0;
    unsigned same_event = 0;
    ZuObserverLink* x_next = nullptr;
    ZuObserverLink* x_prev = nullptr;
    ZuObjectRef source;
    ZuObjectRef source_given;
    // The two objects as raw pointers: the handles above are emptied when an
    // object is marked dead, the bookkeeping must still reach both lists.
    ZuObject* source_obj = nullptr;
    ZuObject* observer_obj = nullptr;
};

ZU_ENUM_REGISTER(ZuObjectStatusBit)
ZU_BITSET_REGISTER(ZuObjectStatus)
ZU_CLASS_TYPEINFO_IMPL(ZuObject)

ZuAtomRef ZuObject::notify_changed;
ZuAtomRef ZuObject::notify_object_alive;
unsigned ZuObject::global_report_id = 0;
unsigned ZuObject::global_mark_sweep_status = 0;

static Zuvi_RuntimeInfo zuvi_rtinfo_ZuObject(const_cast<ZuRuntimeRef&>(ZuObjectRef::RetRuntime()),
                                             nullptr, "ZuObject", kFile, sizeof(ZuObject),
                                             &ZuObject::Construct, &ZuObject::InitConstruct, true,
                                             false, false, false);
static Zuvi_NotifyExport zuvi_notify_changed(&ZuObjectRef::RetRuntime(), "notify_changed", nullptr,
                                             &ZuObject::notify_changed);
static Zuvi_NotifyExport zuvi_notify_alive(&ZuObjectRef::RetRuntime(), "notify_object_alive",
                                           nullptr, &ZuObject::notify_object_alive);
static Zuvi_NotifyExport zuvi_notify_alive_self(&ZuObjectRef::RetRuntime(), "notify_object_alive",
                                                "self", nullptr);

void ZuObject::Construct(void*, unsigned)
{
    Zuvi_RefuseInstance("ZuObject", kFile);
}

void ZuObject::InitConstruct(void*, unsigned)
{
    Zuvi_RefuseInstance("ZuObject", kFile);
}

// ---------------------------------------------------------------------------
// Construction
// ---------------------------------------------------------------------------

namespace {

// The block a zone's factory is building an object in, on this thread.
__thread const void* building_low __attribute__((tls_model("initial-exec"))) = nullptr;
__thread const void* building_high __attribute__((tls_model("initial-exec"))) = nullptr;

// Live objects built anywhere else (rare: the stack, statics, a caller's
// buffer), under the global lock; the count is read without it.
std::unordered_set<const ZuObject*>* foreign_objects = nullptr;
std::atomic<size_t> foreign_count{0};

void ForgetForeign(const ZuObject* object)
{
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_HANDLE);
    if (foreign_objects != nullptr && foreign_objects->erase(object) != 0)
        foreign_count.store(foreign_objects->size(), std::memory_order_relaxed);
}

} // namespace

ZuObject::ZoneBuild::ZoneBuild(const void* block, unsigned size)
    : saved_low(building_low), saved_high(building_high)
{
    building_low = block;
    building_high = static_cast<const char*>(block) + size;
}

ZuObject::ZoneBuild::~ZoneBuild()
{
    building_low = saved_low;
    building_high = saved_high;
}

bool ZuObject::AllObjectsInZones()
{
    return foreign_count.load(std::memory_order_relaxed) == 0;
}

void ZuObject::NoteWhereBuilt()
{
    const char* self = reinterpret_cast<const char*>(this);
    if (self >= static_cast<const char*>(building_low) &&
        self < static_cast<const char*>(building_high))
        return;
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_HANDLE);
    if (foreign_objects == nullptr)
        foreign_objects = new std::unordered_set<const ZuObject*>; // kept to the end
    foreign_objects->insert(this);
    foreign_count.store(foreign_objects->size(), std::memory_order_relaxed);
}

ZuObject::ZuObject()
    : more(nullptr), report_id(0), ref_count(0), ref_tail(nullptr), ref_head(nullptr), status(),
      class_id(0)
{
    NoteWhereBuilt();
}

ZuObject::ZuObject(ZuMemZone* zone)
    : more(nullptr), mem_zone(zone), report_id(0), ref_count(0), ref_tail(nullptr),
      ref_head(nullptr), status(), class_id(0)
{
    NoteWhereBuilt();
}

ZuObject::ZuObject(void*, unsigned) : status()
{
    NoteWhereBuilt();
}

// Where two fields lie in every object, measured once on a real object:
// the zone is written before an object is built and the count read after it
// is destroyed, when the memory holds no object.
void ZuObject::MeasureFields(size_t& zone, size_t& count)
{
    alignas(ZuObject) unsigned char probe[sizeof(ZuObject)];
    ZuObject* o = ::new (probe) ZuObject(static_cast<ZuMemZone*>(nullptr));
    zone = size_t(reinterpret_cast<unsigned char*>(&o->mem_zone) - probe);
    count = size_t(reinterpret_cast<unsigned char*>(&o->ref_count) - probe);
    o->~ZuObject();
}

namespace {

struct FieldPlaces {
    size_t zone;
    size_t count;
};

const FieldPlaces& Places()
{
    static const FieldPlaces places = [] {
        FieldPlaces p;
        ZuObject::MeasureFields(p.zone, p.count);
        return p;
    }();
    return places;
}

} // namespace

void ZuObject::PresetMemZone(void* block, ZuMemZone* zone)
{
    memcpy(static_cast<unsigned char*>(block) + Places().zone, &zone, sizeof zone);
}

unsigned ZuObject::RetRawRefCount(const void* block)
{
    unsigned n;
    memcpy(&n, static_cast<const unsigned char*>(block) + Places().count, sizeof n);
    return n;
}

void ZuObject::SetRawRefCount(void* block, unsigned n)
{
    memcpy(static_cast<unsigned char*>(block) + Places().count, &n, sizeof n);
}

namespace {

// Unknown data read from a newer file is a list tree whose levels refer to
// each other: the object that kept it takes it apart when it lets go, or
// the tree would never be freed.
void DropUnknownData(ZuObjectExtension* ext, ZuObject* owner)
{
    const ZuObjectRef unknown = ext->unknown;
    ext->unknown = ZuObjectNull;
    if (unknown.IsValid() && unknown.Resolve() != owner)
        unknown->Delete();
}

} // namespace

ZuObject::~ZuObject()
{
    ZU_ASSERT((this->ref_count == 0) || (this->ref_count == 0x80000000));
    if (foreign_count.load(std::memory_order_relaxed) != 0)
        ForgetForeign(this);
    if (more) {
        ZU_ASSERT(more->x_head == 0);
        while (more->obs_head)
            RemoveLink(more->obs_head);
        DropUnknownData(more, this);
        ZuObjectExtension* ext = more;
        more = nullptr;
        ext->~ZuObjectExtension();
        mem_zone->Free(ext, __LINE__, kFile);
    }
}

// ---------------------------------------------------------------------------
// Identity and type
// ---------------------------------------------------------------------------

const ZuRuntimeRef& ZuObject::RetRuntime() const
{
    return ZuObjectRef::RetRuntime();
}

void ZuObject::_Destroy()
{
    this->~ZuObject();
}

ZuObject* ZuObject::Resolve()
{
    return this;
}

ZuObject* ZuObject::CheckAndResolve()
{
    return this;
}

ZuObject* ZuObject::RetSelfAsObject()
{
    return this;
}

bool ZuObject::IsA(const ZuRuntimeRef& rt) const
{
    const ZuObject* mine = RetRuntime().RetRawObject();
    return mine && mine == rt.RetRawObject();
}

bool ZuObject::IsKindOf(const ZuRuntimeRef& rt) const
{
    const ZuRuntime* r = RetRuntime().RetRawObject();
    const ZuRuntime* t = rt.RetRawObject();
    if (!r || !t)
        return false;
    unsigned d = r->RetClassDepth();
    unsigned target = t->RetClassDepth();
    if (d < target)
        return false;
    while (d > target) {
        r = r->RetSuper().RetRawObject();
        if (!r)
            return false;
        --d;
    }
    return r == t;
}

const Bitset<ZuObjectStatusBit>& ZuObject::RetObjectStatus() const
{
    return status;
}

bool ZuObject::SupportsInterface(const Zuvi_Interface* iface) const
{
    return iface && iface->CheckClassMap(RetClassID());
}

const void* ZuObject::CastToInterface(const Zuvi_Interface* iface) const
{
    return iface ? RetRuntime()->CastToInterface(this, iface) : nullptr;
}

void* ZuObject::CastToInterface(const Zuvi_Interface* iface)
{
    return iface ? RetRuntime()->CastToInterface(this, iface) : nullptr;
}

unsigned ZuObject::RetClassID() const
{
    if (!class_id) {
        const ZuRuntime* rt = RetRuntime().RetRawObject();
        if (rt)
            class_id = rt->RetRuntimeClassID();
    }
    return class_id;
}

// ---------------------------------------------------------------------------
// Status bits, mark and sweep
// ---------------------------------------------------------------------------

bool ZuObject::MarkAndSweepTest(ZuObjectStatusBit bit) const
{
    return TestStatus(bit);
}

bool ZuObject::MarkAndSweepSet(ZuObjectStatusBit bit) const
{
    bool was = TestStatus(bit);
    status.SetBit(bit);
    return was;
}

bool ZuObject::MarkAndSweepClear(ZuObjectStatusBit bit) const
{
    bool was = TestStatus(bit);
    status.ClearBit(bit);
    return was;
}

bool ZuObject::MarkAndSweepBegin(ZuObjectStatusBit& bit)
{
    for (unsigned b = ZU_OBJECT_MARK_0; b <= ZU_OBJECT_MARK_7; ++b) {
        if (!(global_mark_sweep_status & (1u << b))) {
            global_mark_sweep_status |= 1u << b;
            bit = ZuObjectStatusBit(b);
            return true;
        }
    }
    return false;
}

bool ZuObject::MarkAndSweepEnd(ZuObjectStatusBit bit)
{
    unsigned b = unsigned(bit);
    if (b < ZU_OBJECT_MARK_0 || b > ZU_OBJECT_MARK_7 || !(global_mark_sweep_status & (1u << b)))
        return false;
    global_mark_sweep_status &= ~(1u << b);
    return true;
}

void ZuObject::MarkAndSweepReset(ZuObjectStatusBit bit)
{
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_HANDLE);
    for (ZuObjectRef* h = ZuObjectRef::g_head; h; h = h->g_next)
        if (h->object)
            h->object->MarkAndSweepClear(bit);
}

// ---------------------------------------------------------------------------
// Lifetime
// ---------------------------------------------------------------------------

void ZuObject::Delete()
{
    if (!more)
        return;
    while (more && more->obs_head)
        RemoveLink(more->obs_head);
    while (more && more->x_head) {
        ZuObserverLink* link = more->x_head;
        link->source_obj->RemoveLink(link);
    }
    if (more) {
        DropUnknownData(more, this);
        ZuObjectExtension* ext = more;
        more = nullptr;
        ext->~ZuObjectExtension();
        mem_zone->Free(ext, __LINE__, kFile);
    }
    ClearStatus(ZU_OBJECT_IS_CONNECTED);
}

void ZuObject::DetachAllHandles(ZuObjectRef* keep)
{
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_HANDLE);
    bool kept = false;
    ZuObjectRef* h = ref_head;
    while (h) {
        ZuObjectRef* following = h->next;
        if (h == keep) {
            kept = true;
        } else {
            h->object = nullptr;
            h->class_name = nullptr;
            h->prev = h->next = nullptr;
        }
        h = following;
    }
    if (kept) {
        keep->prev = keep->next = nullptr;
        ref_head = ref_tail = keep;
        ref_count = 1;
    } else {
        ref_head = ref_tail = nullptr;
        ref_count = 0;
    }
}

void ZuObject::MarkAsDead()
{
    if (ref_count == QUEUED)
        return;
    if (ref_count != 0)
        DetachAllHandles(nullptr);
    ZuObject* self = this;
    ZuObjectRef::RequireDeletion(self);
}

void ZuObject::MarkAsDeadButOne(const ZuObjectRef& keep)
{
    if (ref_count == QUEUED)
        return;
    ZuObjectRef* k = keep.object == this ? const_cast<ZuObjectRef*>(&keep) : nullptr;
    DetachAllHandles(k);
    if (ref_count == 0) {
        // Nothing kept the object: it would be left without any owner.
        ZuObject* self = this;
        ZuObjectRef::RequireDeletion(self);
    }
}

// ---------------------------------------------------------------------------
// Comparison and copies
// ---------------------------------------------------------------------------

unsigned ZuObject::ComputeHashValue(unsigned num) const
{
    ZU_ASSERT(num);
    return unsigned(reinterpret_cast<uintptr_t>(this) % num);
}

int ZuObject::CompareWith(const ZuObjectRef& other) const
{
    uintptr_t a = reinterpret_cast<uintptr_t>(this);
    uintptr_t b = reinterpret_cast<uintptr_t>(other.RetRawObject());
    return a == b ? 0 : a < b ? -1 : 1;
}

bool ZuObject::IsEqual(const ZuObjectRef& other) const
{
    return CompareWith(other) == 0;
}

ZuObjectRef ZuObject::Clone()
{
    ZuObjectRef copy(ZuClassFactory::New(RetRuntime(), Zuvi_app_zone, __LINE__, kFile));
    return copy->Copy(ZuObjectRef(this));
}

ZuObjectRef ZuObject::Copy(const ZuObjectRef& source)
{
    ZuAtomRef event, action;
    ZuObjectRef observer;
    unsigned id = 0;
    ZuObject* src = source.CheckAndResolve();
    for (unsigned i = 0; src->GetAttached(i, event, action, observer, id); ++i)
        AttachObserver(observer, event, action, id);
    return ZuObjectRef(this);
}

// ---------------------------------------------------------------------------
// Unknown data, awaking
// ---------------------------------------------------------------------------

ZuObjectExtension* ZuObject::Extension()
{
    if (!more) {
        if (!mem_zone)
            ZuMemZone::NullAllocZone("zone", __LINE__, kFile);
        void* mem = mem_zone->Alloc(sizeof(ZuObjectExtension), "ZuObjectExtension", __LINE__, kFile,
                                    ZU_MEM_BIN);
        more = ::new (mem) ZuObjectExtension();
    }
    return more;
}

ZuObjectRef* ZuObject::AttributeHandle() const
{
    return more ? &more->attr : nullptr;
}

bool ZuObject::GetUnknownData(ZuObjectRef& out) const
{
    out = more ? more->unknown : ZuObjectNull;
    return out.IsValid();
}

bool ZuObject::SetUnknownData(const ZuObjectRef& obj)
{
    ZuObjectExtension* ext = Extension();
    if (ext->unknown != obj)
        DropUnknownData(ext, this);
    ext->unknown = obj;
    return true;
}

void ZuObject::NotifyAttach(const ZuObjectRef&) {}

void ZuObject::NotifyDetach(const ZuObjectRef&) {}

void ZuObject::Awake()
{
    QuickReport(notify_object_alive, 1);
    ReportChange(0);
}

void ZuObject::AwakeFromApp(const ZuAppRef&) {}

void ZuObject::AwakeFromObject(const ZuObjectRef&) {}

ZuAtomRef ZuObject::RetUserName()
{
    return ZuAtomRef();
}

// ---------------------------------------------------------------------------
// Reports
// ---------------------------------------------------------------------------

unsigned ZuObject::NewReportID()
{
    ++global_report_id;
    if (global_report_id == 0 || global_report_id == 1)
        global_report_id = 2;
    return global_report_id;
}

unsigned ZuObject::GetCurrentReportID() const
{
    return report_id;
}

void ZuObject::SetCurrentReportID(unsigned id)
{
    if (id == 0)
        report_id = global_report_id;
    else if (id == 1)
        report_id = NewReportID();
    else
        report_id = id;
}

void ZuObject::CallTarget(ZuObserverLink* link)
{
    const Zuvi_Target* t = link->target;
    ZuObject* observer = link->observer.RetRawObject();
    if (t->actor_fn)
        t->actor_fn(observer);
    else if (t->observer_fn)
        t->observer_fn(observer, link->source, link->id);
}

namespace {

// The attachments already served by one report: on the stack up to
// MAX_OBSERVERS, then grown on the heap.
class CalledSet {
public:
    bool Contains(const ZuObserverLink* link) const
    {
        for (unsigned i = 0; i < count; ++i)
            if (At(i) == link)
                return true;
        return false;
    }
    void Add(const ZuObserverLink* link)
    {
        if (count < ZuObject::MAX_OBSERVERS)
            local[count] = link;
        else
            extra.push_back(link);
        ++count;
    }

private:
    const ZuObserverLink* At(unsigned i) const
    {
        return i < ZuObject::MAX_OBSERVERS ? local[i] : extra[i - ZuObject::MAX_OBSERVERS];
    }
    const ZuObserverLink* local[ZuObject::MAX_OBSERVERS];
    std::vector<const ZuObserverLink*> extra;
    unsigned count = 0;
};

} // namespace

bool ZuObject::Report(const char* event, unsigned id)
{
    return Report(ZuAtomRef(event), id);
}

bool ZuObject::Report(const ZuAtomRef& event, unsigned id)
{
    SetCurrentReportID(id);
    bool called = false;
    if (more) {
        ZuObjectRef hold(this);
        if (more->single && SameAtom(more->single->event, event)) {
            CallTarget(more->single);
            called = true;
        } else {
            CalledSet done;
            bool first = true;
            unsigned expected = 0;
            ZuObserverLink* link = more->obs_head;
            while (link) {
                if (!SameAtom(link->event, event) || done.Contains(link)) {
                    link = link->next;
                    continue;
                }
                if (first) {
                    first = false;
                    expected = link->same_event;
                    if (expected == 0)
                        more->single = link;
                } else {
                    if (expected == 0)
                        break;
                    --expected;
                }
                CallTarget(link);
                called = true;
                if (!more)
                    break;
                done.Add(link);
                link = more->obs_head;
            }
        }
    }
    return called;
}

bool ZuObject::ReportChange(unsigned id)
{
    Report(notify_changed, id);
    return true;
}

bool ZuObject::ReportEmbeddedChange(const ZuObjectRef&, unsigned id)
{
    if (ZuClassFactory::IsInitOk())
        Report(notify_changed, id);
    return true;
}

// ---------------------------------------------------------------------------
// Observers
// ---------------------------------------------------------------------------

void ZuObject::AttachObserver(const ZuObjectRef& source, const ZuObjectRef& observer,
                              const ZuAtomRef& event, const ZuAtomRef& action, unsigned id)
{
    ZuObject* src = source.CheckAndResolve();
    ZuObject* obs = observer.CheckAndResolve();
    const ZuRuntime* ort = obs->RetRuntime().RetRawObject();
    const Zuvi_Target* target = ort ? ort->FindActor(action) : nullptr;
    bool is_actor = target != nullptr;
    if (!target && ort)
        target = ort->FindObserver(action);
    if (!target) {
        const ZuRuntime* srt = src->RetRuntime().RetRawObject();
        const Zuvi_CallFrame* frame = Zuvi_CallFrame::head;
        std::string text = "\n\nWarning: Zuvi Observer does not exist\n\n";
        text += "Tried to attach observer '";
        text += ort ? ort->RetClassName() : "?";
        text += "::";
        text += action.IsValid() ? static_cast<const char*>(action) : "";
        text += "' to event '";
        text += srt ? srt->RetClassName() : "?";
        text += "::";
        text += event.IsValid() ? static_cast<const char*>(event) : "";
        text += "'.\n";
        text += "Caller coming from ";
        text += Zuvi_FrameKindWord(frame ? frame->RetType() : 0);
        text += frame ? frame->RetFuncName() : "?";
        text += "...";
        Zuvi_ErrorPrint(text.c_str(), frame ? int(frame->RetFileLine()) : 0,
                        frame ? frame->RetFileName() : kFile);
        return;
    }
    ZuObjectExtension* more = src->Extension();
    ZuObjectExtension* xmore = obs->Extension();
    for (ZuObserverLink* l = more->obs_head; l; l = l->next)
        if (l->id == id && l->observer_obj == obs && SameAtom(l->event, event) &&
            SameAtom(l->action, action))
            return;

    void* mem =
        src->mem_zone->Alloc(sizeof(ZuObserverLink), "ZuObserverLink", __LINE__, kFile, ZU_MEM_BIN);
    ZuObserverLink* link = ::new (mem) ZuObserverLink();
    link->target = target;
    link->observer = obs;
    link->observer_given = observer;
    link->event = event;
    link->action = action;
    link->is_actor = is_actor;
    link->is_volatile = obs->GetAttribute("Zuvi.volatile.observer", 0);
    link->id = id;
    link->source = src;
    link->source_given = source;
    link->source_obj = src;
    link->observer_obj = obs;
    for (ZuObserverLink* l = more->obs_head; l; l = l->next) {
        if (SameAtom(l->event, event)) {
            ++l->same_event;
            ++link->same_event;
        }
    }
    if (more->single && more->single->same_event > 0)
        more->single = nullptr;

    ZuLinkBefore(more->obs_head, more->obs_tail, link, static_cast<ZuObserverLink*>(nullptr));
    ++more->obs_count;
    if (link->is_volatile)
        ++more->volatile_count;

    link->x_prev = xmore->x_tail;
    if (xmore->x_tail)
        xmore->x_tail->x_next = link;
    else
        xmore->x_head = link;
    xmore->x_tail = link;
    ++xmore->x_count;

    src->CheckObserverList();
    src->SetStatus(ZU_OBJECT_IS_CONNECTED);
    src->Report(notify_object_alive, 0);
    obs->NotifyAttach(ZuObjectRef(src));
}

void ZuObject::AttachObserver(const ZuObjectRef& observer, const ZuAtomRef& event,
                              const ZuAtomRef& action, unsigned id)
{
    AttachObserver(ZuObjectRef(this), observer, event, action, id);
}

void ZuObject::AttachObserver(const ZuObjectRef& observer, const ZuAtomRef& event, unsigned id)
{
    AttachObserver(ZuObjectRef(this), observer, event, event, id);
}

void ZuObject::CheckObserverList() const
{
    if (!more || more->obs_count == 0)
        return;
    const ZuObserverLink* iter = more->obs_head;
    for (unsigned i = 1; i < more->obs_count && iter; ++i)
        iter = iter->next;
    ZU_ASSERT(iter == more->obs_tail);
    iter = more->obs_tail;
    for (unsigned i = 1; i < more->obs_count && iter; ++i)
        iter = iter->prev;
    ZU_ASSERT(iter == more->obs_head);
}

void ZuObject::RemoveLink(ZuObserverLink* obs)
{
    ZU_ASSERT(more);
    ZU_ASSERT(obs);
    ZuObject* observer = obs->observer_obj;
    ZuObjectExtension* xmore = observer ? observer->more : nullptr;
    ZU_ASSERT(xmore);
    if (more->single == obs)
        more->single = nullptr;

    ZuUnlink(more->obs_head, more->obs_tail, obs);
    --more->obs_count;
    if (obs->is_volatile)
        --more->volatile_count;

    if (obs->x_prev)
        obs->x_prev->x_next = obs->x_next;
    else
        xmore->x_head = obs->x_next;
    if (obs->x_next)
        obs->x_next->x_prev = obs->x_prev;
    else
        xmore->x_tail = obs->x_prev;
    --xmore->x_count;

    CheckObserverList();
    if (obs->same_event) {
        for (ZuObserverLink* l = more->obs_head; l; l = l->next) {
            if (SameAtom(l->event, obs->event)) {
                --l->same_event;
                if (l->same_event == 0)
                    break;
            }
        }
    }
    ZuMemZone* zone = mem_zone;
    // Emptying the handles may queue either object; neither is destroyed
    // before the next deletion pass.
    obs->~ZuObserverLink();
    zone->Free(obs, __LINE__, kFile);
}

void ZuObject::DetachObserver(const ZuObjectRef& observer, const ZuAtomRef& event,
                              const ZuAtomRef& action, unsigned id)
{
    ZuObject* obs = observer.Resolve();
    if (!more || !obs)
        return;
    for (ZuObserverLink* l = more->obs_head; l; l = l->next) {
        if (l->id == id && l->observer_obj == obs && SameAtom(l->event, event) &&
            SameAtom(l->action, action)) {
            ZuObjectRef keep(obs);
            RemoveLink(l);
            obs->NotifyDetach(ZuObjectRef(this));
            break;
        }
    }
    if (more && more->obs_count == 0)
        ClearStatus(ZU_OBJECT_IS_CONNECTED);
}

void ZuObject::DetachObserver(const ZuObjectRef& observer, const ZuAtomRef& event, unsigned id)
{
    DetachObserver(observer, event, event, id);
}

void ZuObject::DetachObserver(const ZuObjectRef& observer)
{
    ZuObject* obs = observer.Resolve();
    if (!more || !obs)
        return;
    ZuObjectRef keep(obs);
    ZuObserverLink* l = more->obs_head;
    while (more && l) {
        ZuObserverLink* following = l->next;
        if (l->observer_obj == obs) {
            RemoveLink(l);
            obs->NotifyDetach(ZuObjectRef(this));
            if (!more)
                break;
            following = more->obs_head; // the notification may have changed the list
        }
        l = following;
    }
    if (more && more->obs_count == 0)
        ClearStatus(ZU_OBJECT_IS_CONNECTED);
}

void ZuObject::DetachSelfFromAll()
{
    ZuObjectRef self(this);
    while (more && more->x_head) {
        ZuObjectRef source(more->x_head->source);
        source->DetachObserver(self);
    }
}

unsigned ZuObject::CountAttached() const
{
    return more ? more->obs_count : 0;
}

unsigned ZuObject::CountObserved() const
{
    return more ? more->x_count : 0;
}

bool ZuObject::GetAttached(unsigned i, ZuAtomRef& event, ZuAtomRef& action, ZuObjectRef& observer,
                           unsigned& id) const
{
    if (!more || i >= more->obs_count)
        return false;
    const ZuObserverLink* l = more->obs_head;
    while (i-- && l)
        l = l->next;
    if (!l)
        return false;
    event = l->event;
    action = l->action;
    observer = l->observer_given;
    id = l->id;
    return true;
}

bool ZuObject::GetAttached(unsigned i, ZuAtomRef& event, ZuObjectRef& observer, unsigned& id) const
{
    ZuAtomRef action;
    return GetAttached(i, event, action, observer, id);
}

bool ZuObject::GetObserved(unsigned i, ZuAtomRef& event, ZuAtomRef& action, ZuObjectRef& source,
                           unsigned& id) const
{
    if (!more || i >= more->x_count)
        return false;
    const ZuObserverLink* l = more->x_head;
    while (i-- && l)
        l = l->x_next;
    if (!l)
        return false;
    event = l->event;
    action = l->action;
    source = l->source_given;
    id = l->id;
    return true;
}

bool ZuObject::GetObserved(unsigned i, ZuAtomRef& event, ZuObjectRef& source, unsigned& id) const
{
    ZuAtomRef action;
    return GetObserved(i, event, action, source, id);
}

// ---------------------------------------------------------------------------
// Calls by name
// ---------------------------------------------------------------------------

namespace {

unsigned CountKind(const ZuObject* obj, unsigned kind)
{
    const ZuRuntime* rt = obj->RetRuntime().RetRawObject();
    if (!rt)
        return 0;
    unsigned n = 0;
    ZuAtomRef name;
    unsigned k = 0;
    const Zuvi_Target* t = nullptr;
    for (unsigned i = 0; rt->GetTarget(i, name, k, t); ++i)
        if (k == kind)
            ++n;
    return n;
}

bool GetKind(const ZuObject* obj, unsigned kind, unsigned index, ZuAtomRef& out)
{
    const ZuRuntime* rt = obj->RetRuntime().RetRawObject();
    if (!rt)
        return false;
    ZuAtomRef name;
    unsigned k = 0;
    const Zuvi_Target* t = nullptr;
    for (unsigned i = 0; rt->GetTarget(i, name, k, t); ++i) {
        if (k != kind)
            continue;
        if (index-- == 0) {
            out = name;
            return true;
        }
    }
    return false;
}

} // namespace

unsigned ZuObject::CountObservers() const
{
    return CountKind(this, Zuvi_Target::KIND_OBSERVER);
}

unsigned ZuObject::CountActors() const
{
    return CountKind(this, Zuvi_Target::KIND_ACTOR);
}

unsigned ZuObject::CountMethods() const
{
    return CountKind(this, Zuvi_Target::KIND_MESSAGE);
}

bool ZuObject::GetObserver(unsigned i, ZuAtomRef& name) const
{
    return GetKind(this, Zuvi_Target::KIND_OBSERVER, i, name);
}

bool ZuObject::GetActor(unsigned i, ZuAtomRef& name) const
{
    return GetKind(this, Zuvi_Target::KIND_ACTOR, i, name);
}

bool ZuObject::GetMethod(unsigned i, ZuAtomRef& name) const
{
    return GetKind(this, Zuvi_Target::KIND_MESSAGE, i, name);
}

bool ZuObject::GetMethod(unsigned index, ZuAtomRef& out, unsigned& num_param,
                         const Zuvi_ParamDesc*) const
{
    const ZuRuntime* rt = RetRuntime().RetRawObject();
    if (!rt)
        return false;
    ZuAtomRef name;
    unsigned k = 0;
    const Zuvi_Target* t = nullptr;
    for (unsigned i = 0; rt->GetTarget(i, name, k, t); ++i) {
        if (k != Zuvi_Target::KIND_MESSAGE)
            continue;
        if (index-- == 0) {
            out = name;
            num_param = t->num_param;
            return true;
        }
    }
    return false;
}

bool ZuObject::GetObserver(ZuContainerRef& out) const
{
    out = ZuContainerRef();
    return false;
}

bool ZuObject::GetActor(ZuContainerRef& out) const
{
    out = ZuContainerRef();
    return false;
}

bool ZuObject::GetMethod(ZuContainerRef& out) const
{
    out = ZuContainerRef();
    return false;
}

bool ZuObject::GetPublicData(ZuContainerRef& out) const
{
    out = ZuContainerRef();
    return false;
}

bool ZuObject::GetAttached(ZuContainerRef& out) const
{
    out = ZuContainerRef();
    return false;
}

bool ZuObject::Action(const ZuAtomRef& name, const ZuObjectRef& arg, unsigned flags)
{
    const ZuRuntime* rt = RetRuntime().RetRawObject();
    if (!rt || name.IsInvalid())
        return false;
    if (const Zuvi_Target* t = rt->FindActor(name)) {
        t->actor_fn(this);
        return true;
    }
    if (const Zuvi_Target* t = rt->FindObserver(name)) {
        t->observer_fn(this, arg, flags);
        return true;
    }
    return false;
}

// ---------------------------------------------------------------------------
// Persistence: the attachments both ways and the three containers
// ---------------------------------------------------------------------------

namespace {

ZuStorageSync& ObjectRecord()
{
    static ZuStorageSync record(
        "<ZuObject x_count { <observed event_name x_observed is_actor actor_name id> } "
        "obs_count { <observing event_name observing is_actor actor_name id> } attr reg async>");
    return record;
}

void StoreLink(const ZuStorageRef& s, const ZuObserverLink* l, const ZuObjectRef& other)
{
    s << ZuStorageSync::begin;
    s->StoreAtom(l->event);
    s->StoreObject(other);
    s->StoreBool(l->is_actor);
    s->StoreAtom(l->action);
    s->StoreCard(l->id);
    s << ZuStorageSync::end;
}

// One stored attachment; false when the stored object is missing, which
// only damaged data can give: such an entry is passed over.
bool RestoreLink(const ZuStorageRef& s, ZuAtomRef& event, ZuObjectRef& other, ZuAtomRef& action,
                 unsigned& id)
{
    s >> ZuStorageSync::begin;
    s->RestoreAtom(event);
    s->RestoreObject(other, ZuObjectRef::RetRuntime());
    s->RestoreBool(false); // the observer's class decides again
    s->RestoreAtom(action);
    id = unsigned(s->RestoreCard(0));
    s >> ZuStorageSync::end;
    return other.IsValid() && event.IsValid() && action.IsValid();
}

// What the links of one object are read into; made for the first link, and
// shared by both groups (an item missing from a link leaves the value the
// previous link gave).
struct LinkReader {
    explicit LinkReader(ZuObject* obj) : self(obj) {}
    ZuObjectRef self;
    ZuAtomRef event, action;
    ZuObjectRef other;
    unsigned id = 0;
};

// The links of one group: the object as the observer of each source read,
// or as the source each observer read observes.
void ReadLinks(const ZuStorageRef& s, std::unique_ptr<LinkReader>& links, ZuObject* obj,
               uint64_t count, bool as_observer)
{
    if (!links)
        links.reset(new LinkReader(obj));
    LinkReader& r = *links;
    for (uint64_t i = 0; i < count && s->CheckForBegin(); ++i) {
        if (!RestoreLink(s, r.event, r.other, r.action, r.id))
            continue;
        if (as_observer)
            ZuObject::AttachObserver(r.other, r.self, r.event, r.action, r.id);
        else
            ZuObject::AttachObserver(r.self, r.other, r.event, r.action, r.id);
    }
}

} // namespace

void ZuObject::StoreInstance(const ZuStorageRef& s)
{
    s << ObjectRecord() << ZuStorageSync::begin;
    s->StoreCard(more ? more->x_count : 0);
    s << ZuStorageSync::repeat;
    for (const ZuObserverLink* l = more ? more->x_head : nullptr; l; l = l->x_next)
        StoreLink(s, l, l->source_given);
    s << ZuStorageSync::end_repeat;
    s->StoreCard(more ? more->obs_count - more->volatile_count : 0);
    s << ZuStorageSync::repeat;
    for (const ZuObserverLink* l = more ? more->obs_head : nullptr; l; l = l->next)
        if (!l->is_volatile)
            StoreLink(s, l, l->observer_given);
    s << ZuStorageSync::end_repeat;
    s->StoreObject(more ? more->attr : ZuObjectNull);
    s->StoreObject(more ? more->reg : ZuObjectNull);
    s->StoreObject(more ? more->async : ZuObjectNull);
    s << ZuStorageSync::end;
}

void ZuObject::RestoreInstance(const ZuStorageRef& s)
{
    s >> ZuStorageSync::type >> ZuStorageSync::begin;
    // A stored count is outside data: the links are read while the group
    // holds them (each begins a block), never more than the count says.
    // Most objects have none, and no handle is made for them.
    std::unique_ptr<LinkReader> links;
    uint64_t count = s->RestoreCard(0);
    s >> ZuStorageSync::repeat;
    if (count)
        ReadLinks(s, links, this, count, true);
    s >> ZuStorageSync::end_repeat;
    count = s->RestoreCard(0);
    s >> ZuStorageSync::repeat;
    if (count)
        ReadLinks(s, links, this, count, false);
    s >> ZuStorageSync::end_repeat;
    // The attributes are a dictionary: anything else is bad data.
    ZuObjectRef attr, reg, async;
    s->RestoreObject(attr, ZuDictRef::RetRuntime());
    s->RestoreObject(reg, ZuObjectRef::RetRuntime());
    s->RestoreObject(async, ZuObjectRef::RetRuntime());
    if (attr.IsValid())
        Extension()->attr = attr;
    if (reg.IsValid())
        Extension()->reg = reg;
    if (async.IsValid())
        Extension()->async = async;
    s >> ZuStorageSync::end;
}

// ---------------------------------------------------------------------------
// Targets-of registry
// ---------------------------------------------------------------------------

bool ZuObject::RegisterAsTargetOf(const ZuObjectRef& obj)
{
    ZuObject* o = obj.Resolve();
    if (!o || o->GetAttribute("Zuvi.volatile.observer", 0))
        return false;
    ZuObjectExtension* ext = Extension();
    if (ext->reg.IsInvalid())
        ext->reg = ZuNew<ZuHashTable>(mem_zone, __LINE__, kFile);
    return ZuHashTableRef(ext->reg)->Insert(obj);
}

bool ZuObject::UnregisterAsTargetOf(const ZuObjectRef& obj)
{
    if (!more || more->reg.IsInvalid())
        return false;
    return ZuHashTableRef(more->reg)->Remove(obj, 0);
}

// The record's class lives with the application's asynchronous events
// (si/asyncobs.cpp), which gives its handle as an object handle.
const ZuObjectRef& Zuvi_AsyncObsAsObject(const ZuAsyncObsRef& record);

bool ZuObject::RegisterAsAsyncObserver(const ZuAsyncObsRef& record)
{
    const ZuObjectRef& rec = Zuvi_AsyncObsAsObject(record);
    ZuObjectExtension* ext = Extension();
    // A stored object that is no list (damaged data) is replaced.
    if (ext->async.IsInvalid() || !ext->async->IsKindOf(ZuListRef::RetRuntime()))
        ext->async = ZuNew<ZuList>(mem_zone, __LINE__, kFile);
    // Appended in order: the records are not sorted.
    return ZuListRef(ext->async)->PushTail(rec);
}

bool ZuObject::UnregisterAsAsyncObserver(const ZuAsyncObsRef& record)
{
    const ZuObjectRef& rec = Zuvi_AsyncObsAsObject(record);
    if (!more || more->async.IsInvalid())
        return false;
    ZuObject* list = more->async.Resolve();
    if (!list->IsKindOf(ZuListRef::RetRuntime()))
        return false;
    return static_cast<ZuList*>(list)->Remove(rec, 0);
}
