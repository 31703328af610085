#include "si/objectref.h"

#include "si/error.h"
#include "si/except.h"
#include "si/memzone.h"
#include "si/object.h"
#include "si/rtclass.h"
#include "si/globallock.h"

#include <cstdint>

namespace {

const char kFile[] = "si/objectref";

const unsigned QUEUED = 0x80000000u;

unsigned live_handles = 0;
Zuvi_DeleteInfo* delete_head = nullptr;
Zuvi_DeleteInfo* delete_tail = nullptr;

} // namespace

ZuObjectRef* ZuObjectRef::g_head = nullptr;
ZuObjectRef* ZuObjectRef::g_tail = nullptr;
ZuObjectRef* ZuObjectRef::g_in_objects = nullptr;
bool ZuObjectRef::report_creation = false;
ZuObjectRef::ValueUnwrapFn ZuObjectRef::value_unwrap = nullptr;

const ZuObjectRef ZuObjectNull;

const ZuRuntimeRef& ZuObjectRef::RetRuntime()
{
    static ZuRuntimeRef rt{SlotTag()};
    return rt;
}

// ---------------------------------------------------------------------------
// Construction and destruction
// ---------------------------------------------------------------------------

ZuObjectRef::ZuObjectRef()
    : prev(nullptr), next(nullptr), class_name(nullptr), embedding_object(nullptr),
      embedding_frame(nullptr), g_next(nullptr), g_prev(nullptr), frame(), object(nullptr)
{
    if (report_creation) {
        ReportCreation(this, ZuObjectRef::RetRuntime());
        return;
    }
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_HANDLE);
    LinkGlobal();
}

ZuObjectRef::ZuObjectRef(const ZuRuntimeRef& rt, const Zuvi_CallFrame* f)
    : prev(nullptr), next(nullptr), class_name(nullptr), embedding_object(nullptr),
      embedding_frame(f), g_next(nullptr), g_prev(nullptr), frame(), object(nullptr)
{
    if (report_creation) {
        ReportCreation(this, rt);
        return;
    }
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_HANDLE);
    LinkGlobal();
}

ZuObjectRef::ZuObjectRef(ZuObject* obj)
    : prev(nullptr), next(nullptr), class_name(nullptr), embedding_object(nullptr),
      embedding_frame(nullptr), g_next(nullptr), g_prev(nullptr), frame(), object(nullptr)
{
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_HANDLE);
    LinkGlobal();
    if (obj)
        LinkObject(obj);
}

ZuObjectRef::ZuObjectRef(const ZuObjectRef& other)
    : prev(nullptr), next(nullptr), class_name(nullptr), embedding_object(nullptr),
      embedding_frame(nullptr), g_next(nullptr), g_prev(nullptr), frame(), object(nullptr)
{
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_HANDLE);
    LinkGlobal();
    if (other.object)
        LinkObject(other.object);
}

ZuObjectRef::~ZuObjectRef()
{
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_HANDLE);
    UnlinkGlobal();
    if (object) {
        ZuObject* obj = object;
        if (UnlinkObject())
            RequireDeletion(obj);
    }
}

unsigned ZuObjectRef::SizeOf() const
{
    return sizeof(ZuObject);
}

// ---------------------------------------------------------------------------
// List bookkeeping (callers hold the global lock)
// ---------------------------------------------------------------------------

void ZuObjectRef::LinkGlobal()
{
    g_prev = nullptr;
    g_next = g_head;
    if (g_head)
        g_head->g_prev = this;
    else
        g_tail = this;
    g_head = this;
    ++live_handles;
}

void ZuObjectRef::UnlinkGlobal()
{
    if (!g_next && !g_prev && g_head != this && g_tail != this)
        return;
    if (this == g_in_objects)
        g_in_objects = g_next;
    if (g_prev)
        g_prev->g_next = g_next;
    else
        g_head = g_next;
    if (g_next)
        g_next->g_prev = g_prev;
    else
        g_tail = g_prev;
    g_next = g_prev = nullptr;
    --live_handles;
}

void ZuObjectRef::MoveAmongObjectMembers()
{
    if (!g_next && !g_prev && g_head != this && g_tail != this)
        return; // never linked (a class's census)
    UnlinkGlobal();
    ZuObjectRef* at = g_in_objects;
    g_next = at;
    g_prev = at ? at->g_prev : g_tail;
    if (g_prev)
        g_prev->g_next = this;
    else
        g_head = this;
    if (at)
        at->g_prev = this;
    else
        g_tail = this;
    g_in_objects = this;
    ++live_handles;
}

void ZuObjectRef::LinkObject(ZuObject* obj)
{
    prev = nullptr;
    next = obj->ref_head;
    if (obj->ref_head)
        obj->ref_head->prev = this;
    else
        obj->ref_tail = this;
    obj->ref_head = this;
    ++obj->ref_count;
    object = obj;
    const ZuRuntime* rt = static_cast<const ZuRuntime*>(obj->RetRuntime().RetRawObject());
    class_name = rt ? rt->RetClassName() : "?";
}

bool ZuObjectRef::UnlinkObject()
{
    ZuObject* obj = object;
    if (prev)
        prev->next = next;
    else
        obj->ref_head = next;
    if (next)
        next->prev = prev;
    else
        obj->ref_tail = prev;
    prev = next = nullptr;
    class_name = nullptr;
    object = nullptr;
    return --obj->ref_count == 0;
}

// ---------------------------------------------------------------------------
// Setting
// ---------------------------------------------------------------------------

void ZuObjectRef::_Set(ZuObject* obj, const Zuvi_CallFrame* f)
{
    if (obj == object)
        return;
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_HANDLE);
    if (object) {
        ZuObject* old = object;
        if (UnlinkObject())
            RequireDeletion(old);
    }
    embedding_frame = f;
    if (obj)
        LinkObject(obj);
    if (embedding_object && embedding_object->TestStatus(ZU_OBJECT_IS_REPORTING_EMBEDDED_CHANGES))
        embedding_object->ReportEmbeddedChange(*this, 0);
}

void ZuObjectRef::_Set(const ZuObjectRef& other, const ZuRuntimeRef& rt, const Zuvi_CallFrame* f)
{
    // The class of the object itself decides (a run-time record answers
    // IsKindOf for the class it describes, not for its own class).
    ZuObject* obj = other.object;
    if (obj && obj != object && !obj->ZuObject::IsKindOf(rt)) {
        ZuObjectRef held;
        if (value_unwrap && value_unwrap(obj, held)) {
            _Set(held, rt, f);
            return;
        }
        throw ZuExcObject(ZuExcObject::Error(0), nullptr);
    }
    _Set(obj, f);
}

// ---------------------------------------------------------------------------
// Reading
// ---------------------------------------------------------------------------

ZuObject* ZuObjectRef::Resolve() const
{
    return object ? object->Resolve() : nullptr;
}

ZuObject* ZuObjectRef::CheckAndResolve() const
{
    if (!object)
        Zuvi_ResolveNull(ZuObjectRef::RetRuntime());
    return object->CheckAndResolve();
}

// ---------------------------------------------------------------------------
// Deferred deletion
// ---------------------------------------------------------------------------

void ZuObjectRef::RequireDeletion(ZuObject*& obj)
{
    ZuObject* victim = obj;
    obj = nullptr;
    victim->ref_count = QUEUED;
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_HANDLE);
    if (!delete_tail || delete_tail->count == Zuvi_DeleteInfo::CAPACITY) {
        if (!Zuvi_sys_zone)
            ZuMemZone::NullAllocZone("Zuvi_sys_zone", __LINE__, kFile);
        Zuvi_DeleteInfo* block = static_cast<Zuvi_DeleteInfo*>(Zuvi_sys_zone->Alloc(
            sizeof(Zuvi_DeleteInfo), "Zuvi_DeleteInfo[]", __LINE__, kFile, ZU_MEM_BIN));
        block->next = nullptr;
        block->count = 0;
        if (delete_tail)
            delete_tail->next = block;
        else
            delete_head = block;
        delete_tail = block;
    }
    delete_tail->objects[delete_tail->count++] = victim;
}

void ZuObjectRef::RealiseDeletions()
{
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_HANDLE);
    for (Zuvi_DeleteInfo* block = delete_head; block; block = block->next) {
        for (unsigned i = 0; i < block->count; ++i) {
            ZuObject* pobj = block->objects[i];
            ZuMemZone* zone = pobj->mem_zone;
            block->objects[i] = nullptr;
            pobj->_Destroy();
            ZU_ASSERT_AT(ZuObject::RetRawRefCount(pobj) == 0x80000000,
                         "pobj->ref_count == 0x80000000", __LINE__, kFile);
            ZuObject::SetRawRefCount(pobj, 0);
            ZU_ASSERT(zone);
            zone->Free(pobj, __LINE__, kFile);
        }
    }
    if (!delete_head)
        return;
    Zuvi_DeleteInfo* extra = delete_head->next;
    while (extra) {
        Zuvi_DeleteInfo* following = extra->next;
        if (!Zuvi_sys_zone)
            ZuMemZone::NullFreeZone("Zuvi_sys_zone", __LINE__, kFile);
        Zuvi_sys_zone->Free(extra, __LINE__, kFile);
        extra = following;
    }
    delete_head->next = nullptr;
    delete_head->count = 0;
    delete_tail = delete_head;
}

void ZuObjectRef::ReleaseDeletionQueue()
{
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_HANDLE);
    RealiseDeletions();
    if (delete_head && Zuvi_sys_zone)
        Zuvi_sys_zone->Free(delete_head, __LINE__, kFile);
    delete_head = delete_tail = nullptr;
}

unsigned ZuObjectRef::RetLiveHandleCount()
{
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_HANDLE);
    return live_handles;
}

unsigned ZuObjectRef::CountDeletionBlocks()
{
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_HANDLE);
    unsigned n = 0;
    for (Zuvi_DeleteInfo* block = delete_head; block; block = block->next)
        ++n;
    return n;
}

unsigned ZuObjectRef::CountPendingDeletions()
{
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_HANDLE);
    unsigned n = 0;
    for (Zuvi_DeleteInfo* block = delete_head; block; block = block->next)
        n += block->count;
    return n;
}

// ---------------------------------------------------------------------------
// Cutting handles when memory goes away
// ---------------------------------------------------------------------------

void ZuObjectRef::CutObject()
{
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_HANDLE);
    if (object)
        UnlinkObject();
}

void ZuObjectRef::CutAll()
{
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_HANDLE);
    if (object)
        UnlinkObject();
    UnlinkGlobal();
}

void ZuObjectRef::ForgetAllHandles()
{
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_HANDLE);
    ZuObjectRef* h = g_head;
    while (h) {
        ZuObjectRef* following = h->g_next;
        h->g_next = h->g_prev = nullptr;
        h = following;
    }
    g_head = g_tail = g_in_objects = nullptr;
    live_handles = 0;
}

// ---------------------------------------------------------------------------
// What the memory zones need to know of objects and handles
// ---------------------------------------------------------------------------

// What goes when memory goes: a handle inside the ranges leaves the global
// list (and the list of an object that stays); a handle to an object inside
// them forgets it. The memory of both is freed right after, so an object
// that goes keeps its own list and count as they were: every handle to it
// is met in the walk and let go, without touching the object (with many
// objects alive at shut-down, that is most of the walk's cost). The same
// handles end the same way as with CutAll and CutObject.
struct Zuvi_HandleCut {
    static void InRanges(const ZuMemZone::Range* ranges, size_t count);
};

namespace {

bool Inside(const void* p, const char* low, const char* high)
{
    const char* c = static_cast<const char*>(p);
    return c >= low && c <= high;
}

// A fresh object block: its zone, and no handle yet (the block is read as
// an object by zone dumps before any constructor may have run).
void HookSetObjectZone(void* block, ZuMemZone* zone)
{
    ZuObject::PresetMemZone(block, zone);
    ZuObject::SetRawRefCount(block, 0);
}

long HookHandleCount(const void* object)
{
    return long(ZuObject::RetRawRefCount(object));
}

const void* HookHandleOwner(const void* object, long i)
{
    const ZuObjectRef* h = nullptr;
    for (h = ZuObjectRef::FirstHandleOf(static_cast<const ZuObject*>(object)); h && i > 0; --i)
        h = ZuObjectRef::NextHandleOf(h);
    return h ? h->RetEmbeddingObject() : nullptr;
}

void HookKillRefFrom(const char* low, const char* high)
{
    ZuObjectRef* h = ZuObjectRef::g_head;
    while (h) {
        ZuObjectRef* following = h->RetGlobalNext();
        if (Inside(h, low, high))
            h->CutAll();
        h = following;
    }
}

void HookKillRefTo(const char* low, const char* high)
{
    for (ZuObjectRef* h = ZuObjectRef::g_head; h; h = h->RetGlobalNext())
        if (h->RetRawObject() && Inside(h->RetRawObject(), low, high))
            h->CutObject();
}

// Whether pointers lie in one of the sorted, disjoint ranges. Handles and
// objects made one after another lie together, so the range of the last
// hit, or the gap between ranges of the last miss, is tried first.
class RangeFinder {
public:
    RangeFinder(const ZuMemZone::Range* ranges, size_t count) : ranges(ranges), count(count) {}
    bool Inside(const void* p)
    {
        const uintptr_t c = reinterpret_cast<uintptr_t>(p);
        if (c >= hit_low && c <= hit_high)
            return true;
        if (c > gap_low && c < gap_high)
            return false;
        // The first range above c.
        size_t low = 0;
        size_t high = count;
        while (low < high) {
            size_t mid = low + (high - low) / 2;
            if (Address(ranges[mid].low) <= c)
                low = mid + 1;
            else
                high = mid;
        }
        if (low > 0 && c <= Address(ranges[low - 1].high)) {
            hit_low = Address(ranges[low - 1].low);
            hit_high = Address(ranges[low - 1].high);
            return true;
        }
        gap_low = low > 0 ? Address(ranges[low - 1].high) : 0;
        gap_high = low < count ? Address(ranges[low].low) : ~uintptr_t(0);
        return false;
    }

private:
    static uintptr_t Address(const char* p) { return reinterpret_cast<uintptr_t>(p); }

    const ZuMemZone::Range* ranges;
    size_t count;
    uintptr_t hit_low = ~uintptr_t(0);
    uintptr_t hit_high = 0;
    uintptr_t gap_low = ~uintptr_t(0);
    uintptr_t gap_high = 0;
};

void HookKillRefsInRanges(const ZuMemZone::Range* ranges, size_t count)
{
    Zuvi_HandleCut::InRanges(ranges, count);
}

} // namespace

void Zuvi_HandleCut::InRanges(const ZuMemZone::Range* ranges, size_t count)
{
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_HANDLE);
    RangeFinder handles(ranges, count);
    RangeFinder objects(ranges, count);
    // The system zone's memory goes only when every zone goes, and the
    // global list is forgotten right after (ZuMemZone::Kill): then the
    // handles that stay leave it in this same walk, and those that go need
    // not be unlinked one by one.
    const ZuMemZone::BufferHeader* system =
        Zuvi_sys_zone ? Zuvi_sys_zone->RetFirstBuffer() : nullptr;
    const bool last_walk = system && RangeFinder(ranges, count).Inside(system->base);
    // On the last walk, when every live object lies in a zone, the handles
    // inside objects need nothing: they and their objects go together, and
    // no object outside the zones keeps them in its list. Leaving them out
    // spares a pass over memory that is freed right after.
    ZuObjectRef* const end =
        last_walk && ZuObject::AllObjectsInZones() ? ZuObjectRef::g_in_objects : nullptr;
    ZuObjectRef* h = ZuObjectRef::g_head;
    while (h != end) {
        ZuObjectRef* following = h->g_next;
        ZuObject* const obj = h->object;
        const bool object_goes = obj && objects.Inside(obj);
        if (handles.Inside(h)) {
            if (obj && !object_goes)
                h->UnlinkObject();
            if (!last_walk)
                h->UnlinkGlobal();
        } else {
            if (object_goes) {
                h->prev = h->next = nullptr;
                h->class_name = nullptr;
                h->object = nullptr;
            }
            if (last_walk)
                h->g_next = h->g_prev = nullptr;
        }
        h = following;
    }
    if (last_walk) {
        ZuObjectRef::g_head = ZuObjectRef::g_tail = ZuObjectRef::g_in_objects = nullptr;
        live_handles = 0;
    }
}

namespace {

struct HookInstaller {
    HookInstaller()
    {
        ZuMemZone::object_hooks.set_object_zone = &HookSetObjectZone;
        ZuMemZone::object_hooks.handle_count = &HookHandleCount;
        ZuMemZone::object_hooks.handle_owner = &HookHandleOwner;
        ZuMemZone::object_hooks.kill_ref_from = &HookKillRefFrom;
        ZuMemZone::object_hooks.kill_ref_to = &HookKillRefTo;
        ZuMemZone::object_hooks.kill_refs_in_ranges = &HookKillRefsInRanges;
        ZuMemZone::object_hooks.forget_all_handles = &ZuObjectRef::ForgetAllHandles;
    }
} hook_installer;

} // namespace

const ZuObjectRef* ZuObjectRef::FirstHandleOf(const ZuObject* obj)
{
    return obj->ref_head;
}

const ZuObjectRef* ZuObjectRef::NextHandleOf(const ZuObjectRef* handle)
{
    return handle->next;
}

// ---------------------------------------------------------------------------
// Census of embedded handles
// ---------------------------------------------------------------------------

void ZuObjectRef::ReportCreation(ZuObjectRef* handle, const ZuRuntimeRef& rt)
{
    ZU_ASSERT(ZuRuntime::rt_init_base);
    if (ZuRuntime::rt_init_class)
        ZuRuntime::rt_init_class->ReportCreation(handle, rt);
    else
        ++ZuRuntime::rt_init_ref_count;
}
