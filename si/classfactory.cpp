#include "si/classfactory.h"
#include "si/newtofill.h"

#include "si/error.h"
#include "si/except.h"
#include "si/interface.h"
#include "si/typeinfo.h"
#include "si/memzone.h"
#include "si/array.h"
#include "si/iclasspatch.h"
#include "si/string.h"
#include "si/linkedlist.h"

namespace {

const char kFile[] = "si/new";

// The installed class patches; empty while there is none.
ZuArrayRef patches;

// The registrations consumed by earlier start-ups, most recent first; Kill
// gives them back so that a new start-up in the same process finds them.
Zuvi_RuntimeInfo* consumed = nullptr;

bool IsAtomClass(const ZuRuntime* rt)
{
    const ZuRuntime* atom = ZuAtomRef::RetRuntime().RetRawObject();
    for (; rt; rt = rt->RetSuper().RetRawObject())
        if (rt == atom)
            return true;
    return false;
}

} // namespace

ZuRuntime* ZuClassFactory::real_head = nullptr;
ZuRuntime* ZuClassFactory::real_tail = nullptr;
ZuClassFactory::ClassDef* ZuClassFactory::list_head = nullptr;
ZuClassFactory::ClassDef* ZuClassFactory::list_tail = nullptr;
unsigned ZuClassFactory::class_num = 0;
bool ZuClassFactory::is_init_ok = false;

void ZuClassFactory::Initialise()
{
    ZU_ASSERT(Zuvi_sys_zone);
    ZuRuntime* first = nullptr;
    ZuRuntime* last = nullptr;
    Zuvi_RuntimeInfo* batch_tail = nullptr;
    for (Zuvi_RuntimeInfo* info = Zuvi_RuntimeInfo::last; info; info = info->link) {
        void* mem =
            Zuvi_sys_zone->Alloc(sizeof(ZuRuntime), "ZuRuntime", __LINE__, kFile, ZU_MEM_OBJ);
        ZuObject::PresetMemZone(mem, Zuvi_sys_zone);
        ZuObject::ZoneBuild building(mem, sizeof(ZuRuntime));
        ZuRuntime* rt = ::new (mem) ZuRuntime();
        rt->next_runtime = nullptr;
        if (last)
            last->next_runtime = rt;
        else
            first = rt;
        last = rt;
        batch_tail = info;
    }
    Zuvi_RuntimeInfo* info = Zuvi_RuntimeInfo::last;
    for (ZuRuntime* rt = first; rt; rt = rt->next_runtime, info = info->link)
        rt->Initialise(info);
    for (ZuRuntime* rt = first; rt; rt = rt->next_runtime)
        rt->LinkSuper();
    ZuRuntime::CollectTargets(first);
    for (ZuRuntime* rt = first; rt; rt = rt->next_runtime)
        rt->CompileWhileInit();
    for (ZuRuntime* rt = first; rt; rt = rt->next_runtime) {
        void* mem = Zuvi_sys_zone->Alloc(sizeof(ClassDef), "?", __LINE__, kFile, ZU_MEM_BIN);
        ClassDef* def = ::new (mem) ClassDef();
        def->runtime = rt;
        def->name = rt->info->class_name;
        ZuLinkBefore(list_head, list_tail, def, static_cast<ClassDef*>(nullptr));
        ++class_num;
    }
    if (first) {
        if (real_tail)
            real_tail->next_runtime = first;
        else
            real_head = first;
        real_tail = last;
    }
    for (ZuRuntime* rt = first; rt; rt = rt->next_runtime)
        rt->CompileAfterInit();
    if (batch_tail) {
        batch_tail->link = consumed;
        consumed = Zuvi_RuntimeInfo::last;
    }
    Zuvi_RuntimeInfo::last = nullptr;
    Zuvi_Interface::NotifyNewClasses();
    is_init_ok = true;
}

void ZuClassFactory::Kill()
{
    if (patches.IsValid()) {
        patches->Delete();
        patches = ZuArrayRef();
    }
    for (ZuRuntime* rt = real_head; rt; rt = rt->next_runtime)
        rt->Delete();
    ClassDef* def = list_head;
    while (def) {
        ClassDef* following = def->next;
        def->~ClassDef();
        if (!Zuvi_sys_zone)
            ZuMemZone::NullFreeZone("Zuvi_sys_zone", __LINE__, kFile);
        Zuvi_sys_zone->Free(def, __LINE__, kFile);
        def = following;
    }
    class_num = 0;
    list_head = list_tail = nullptr;
    real_head = real_tail = nullptr;
    is_init_ok = false;
    Zuvi_Interface::ReleaseClassMaps();
    Zuvi_Interface::NotifyNewClasses();
    Zuvi_TypeInfo::ReleaseTable();
    // Give the registrations back, after any registered since.
    if (consumed) {
        Zuvi_RuntimeInfo** end = &Zuvi_RuntimeInfo::last;
        while (*end)
            end = &(*end)->link;
        *end = consumed;
        consumed = nullptr;
    }
}

bool ZuClassFactory::GetClass(unsigned index, ZuRuntimeRef& out)
{
    if (index >= class_num) {
        out = ZuRuntimeRef();
        return false;
    }
    ZuRuntime* rt = real_head;
    while (index-- && rt)
        rt = rt->next_runtime;
    out = rt;
    return rt != nullptr;
}

bool ZuClassFactory::GetClass(const ZuAtomRef& name, ZuRuntimeRef& out)
{
    unsigned position = 0;
    for (ClassDef* def = list_head; def; def = def->next, ++position) {
        if (def->name.RetRawObject() != name.RetRawObject() || name.IsInvalid())
            continue;
        if (position >= 4) {
            // Move to front: recently used classes are found first.
            ZuUnlink(list_head, list_tail, def);
            ZuLinkBefore(list_head, list_tail, def, list_head);
        }
        out = def->runtime;
        return true;
    }
    out = ZuRuntimeRef();
    return false;
}

bool ZuClassFactory::GetClass(const char* name, ZuRuntimeRef& out)
{
    return GetClass(ZuAtomRef(name), out);
}

bool ZuClassFactory::GetClass(const ZuStringRef& name, ZuRuntimeRef& out)
{
    return GetClass(ZuAtomRef(name), out);
}

ZuObject* ZuClassFactory::New(const ZuStringRef& name, ZuMemZone* zone, unsigned line,
                              const char* file)
{
    return New(ZuAtomRef(name), zone, line, file);
}

namespace {
// Zuvi_NewToFill's request, taken by the New it calls; and whether the
// constructor running on this thread is that of an object so made (each
// construction sets it for its own time).
thread_local bool t_fill_requested = false;
thread_local bool t_builds_to_fill = false;

struct BuildsToFill {
    bool outer;
    explicit BuildsToFill(bool fill) : outer(t_builds_to_fill) { t_builds_to_fill = fill; }
    ~BuildsToFill() { t_builds_to_fill = outer; }
};
} // namespace

bool Zuvi_BuildsObjectToFill()
{
    return t_builds_to_fill;
}

ZuObject* Zuvi_NewToFill(const ZuRuntimeRef& runtime, ZuMemZone* zone, unsigned line,
                         const char* file)
{
    struct Request {
        Request() { t_fill_requested = true; }
        ~Request() { t_fill_requested = false; }
    } request;
    return ZuClassFactory::New(runtime, zone, line, file);
}

ZuObject* ZuClassFactory::New(const ZuRuntimeRef& runtime, ZuMemZone* zone, unsigned line,
                              const char* file)
{
    const bool fill = t_fill_requested;
    t_fill_requested = false;
    ZU_ASSERT_TEXT(runtime.IsValid(), "runtime.IsValid ()");
    ZuRuntime* rt = runtime.RetRawObject();
    if (rt->IsSingleton() && rt->instance.IsValid())
        return rt->instance.RetRawObject();
    if (!zone)
        zone = Zuvi_app_zone;
    unsigned size = rt->RetInstanceSize();
    void* data = zone->Alloc(size, rt->RetClassName(), line, file, ZU_MEM_OBJ);
    ZuObject::PresetMemZone(data, zone);
    bool ok;
    {
        // The objects a constructor makes are made as by New.
        BuildsToFill scope(fill);
        ok = rt->ConstructObject(data, size);
    }
    ZU_ASSERT(ok);
    ZuObject* obj = static_cast<ZuObject*>(data);
    if (IsAtomClass(rt))
        return obj;
    ZU_ASSERT(((ZuObject*)(data))->mem_zone == zone);
    if (rt->IsSingleton())
        rt->instance = obj;
    return obj;
}

ZuObject* ZuClassFactory::New(const ZuAtomRef& name, ZuMemZone* zone, unsigned line,
                              const char* file)
{
    ZuRuntimeRef rt;
    if (!GetClass(name, rt))
        throw ZuExcObject(ZuExcObject::Error(2), nullptr);
    return New(rt, zone, line, file);
}

ZuObject* ZuClassFactory::New(const char* name, ZuMemZone* zone, unsigned line, const char* file)
{
    return New(ZuAtomRef(name), zone, line, file);
}

bool ZuClassFactory::InsertPatch(const ZuObjectRef& patch)
{
    ZuObject* p = patch.Resolve();
    if (!p || !p->SupportsInterface(&ZuiClassPatch::interface))
        return false;
    if (patches.IsInvalid())
        patches = New(ZuArrayRef::RetRuntime(), Zuvi_app_zone, __LINE__, kFile);
    if (patches->LookFor(patch))
        return false;
    ResetAlternateConstructors();
    return patches->Insert(patch);
}

bool ZuClassFactory::RemovePatch(const ZuObjectRef& patch)
{
    if (patch.IsInvalid() || patches.IsInvalid() || !patches->LookFor(patch))
        return false;
    if (!patches->Remove(patch, 0))
        return false;
    ResetAlternateConstructors();
    if (patches->TotalCount() == 0) {
        patches->Delete();
        patches = ZuArrayRef();
    }
    return true;
}

bool ZuClassFactory::HasPatches()
{
    return patches.IsValid();
}

Zuvi_ConstructFn ZuClassFactory::FindAlternateConstructor(const ZuRuntime* runtime)
{
    if (patches.IsInvalid())
        return nullptr;
    ZuObjectRef patch;
    for (unsigned i = 0; i < patches->TotalCount(); ++i) {
        if (!patches->Get(i, patch) || patch.IsInvalid())
            continue;
        ZuiClassPatch* p =
            static_cast<ZuiClassPatch*>(patch->CastToInterface(&ZuiClassPatch::interface));
        if (!p)
            continue;
        if (Zuvi_ConstructFn fn = p->FindAlternateConstructor(runtime))
            return fn;
    }
    return nullptr;
}

void ZuClassFactory::ResetAlternateConstructors()
{
    for (ZuRuntime* rt = real_head; rt; rt = rt->next_runtime)
        rt->ResetAlternateConstructor();
}
