#include "si/asyncobs.h"

#include "si/error.h"
#include "si/rtclass.h"
#include "si/storage.h"

ZU_IMPLEMENT_CLASS(ZuAsyncObs, ZU_SRC_FILE, ZU_CLASS_PLAIN)

const ZuObjectRef& Zuvi_AsyncObsAsObject(const ZuAsyncObsRef& record)
{
    return record;
}

namespace {

ZuStorageSync& AsyncObsRecord()
{
    static ZuStorageSync record("<ZuAsyncObs observer event actor actors id>");
    return record;
}

// A restored path; a stand-in for an object of an unknown class is none.
ZuAtomPath* AsPath(const ZuObjectRef& object)
{
    if (object.IsInvalid() || object.IsPhantom() || !object->IsKindOf(ZuAtomPathRef::RetRuntime()))
        return nullptr;
    return static_cast<ZuAtomPath*>(object.Resolve());
}

} // namespace

void ZuAsyncObs::Initialise(ZuAtomPathRef ev, const ZuObjectRef& obs, const ZuTextRef& text,
                            unsigned n)
{
    if (!ev.IsValid())
        ZU_ABORT("Failed assertion: event.IsValid ()");
    if (!obs.IsValid())
        ZU_ABORT("Failed assertion: obs.IsValid ()");
    if (!text.IsValid())
        ZU_ABORT("Failed assertion: actor.IsValid ()");
    event = static_cast<ZuAtomPath*>(ev->Clone().Resolve());
    observer = obs;
    id = n;
    actor = ZuAtomNull;
    actors = ZuAtomPathNull;
    if (text->IsKindOf(ZuAtomRef::RetRuntime())) {
        actor = ZuObjectRef(text);
    } else {
        // A new path parsed from the text: already a copy.
        ZuAtomPathRef path(text);
        unsigned count = path.IsValid() ? path->TotalCount() : 0;
        if (count == 1)
            actor = path->RetAtom(0);
        else if (count >= 2)
            actors = path;
    }
    observer->RegisterAsAsyncObserver(ZuAsyncObsRef(this));
}

void ZuAsyncObs::Report(const ZuObjectRef& source)
{
    if (observer.IsInvalid())
        return;
    // The observer may let go of this record while it is told.
    ZuAsyncObsRef self(this);
    if (actors.IsValid())
        observer->Action(actors, source, id);
    else
        observer->Action(actor, source, id);
}

void ZuAsyncObs::Delete()
{
    ZuObject::Delete();
    if (observer.IsValid())
        observer->UnregisterAsAsyncObserver(ZuAsyncObsRef(this));
    observer = ZuObjectNull;
    event = ZuAtomPathNull;
    actor = ZuAtomNull;
    actors = ZuAtomPathNull;
}

unsigned ZuAsyncObs::RetActorNum() const
{
    if (actors.IsValid())
        return actors->TotalCount();
    return actor.IsValid() ? 1 : 0;
}

ZuAtomRef ZuAsyncObs::RetActor(unsigned n) const
{
    if (actors.IsValid())
        return actors->RetAtom(n);
    return n == 0 ? actor : ZuAtomNull;
}

unsigned ZuAsyncObs::ComputeHashValue(unsigned num) const
{
    ZU_ASSERT(num);
    unsigned sum = id;
    if (observer.IsValid())
        sum += observer->ComputeHashValue(num);
    if (event.IsValid())
        sum += event->ComputeHashValue(num);
    if (actor.IsValid())
        sum += actor->ComputeHashValue(num);
    return sum % num;
}

int ZuAsyncObs::CompareWith(const ZuObjectRef& other) const
{
    ZuObject* o = other.Resolve();
    if (o == nullptr)
        return 1;
    if (!o->IsKindOf(ZuAsyncObsRef::RetRuntime()))
        return ZuObject::CompareWith(other);
    const ZuAsyncObs* rec = static_cast<const ZuAsyncObs*>(o);
    if (!observer.IsValid())
        ZU_ABORT("Failed assertion: this->observer.IsValid ()");
    if (!event.IsValid())
        ZU_ABORT("Failed assertion: this->event.IsValid ()");
    if (!actor.IsValid())
        ZU_ABORT("Failed assertion: this->actor.IsValid ()");
    int r = observer->CompareWith(rec->observer);
    if (r == 0)
        r = event->CompareWith(rec->event);
    if (r == 0)
        r = actor->CompareWith(rec->actor);
    if (r != 0)
        return r;
    return id > rec->id ? 1 : id == rec->id ? 0 : -1;
}

bool ZuAsyncObs::IsEqual(const ZuObjectRef& other) const
{
    ZuObject* o = other.Resolve();
    if (o == nullptr || !o->IsKindOf(ZuAsyncObsRef::RetRuntime()))
        return false;
    const ZuAsyncObs* rec = static_cast<const ZuAsyncObs*>(o);
    if (observer.Resolve() != rec->observer.Resolve() || actor.Resolve() != rec->actor.Resolve())
        return false;
    if (actors.IsValid() != rec->actors.IsValid())
        return false;
    if (actors.IsValid() && !actors->IsEqual(rec->actors))
        return false;
    return id == rec->id;
}

void ZuAsyncObs::StoreInstance(const ZuStorageRef& s)
{
    ZuObject::StoreInstance(s);
    s << AsyncObsRecord() << ZuStorageSync::begin;
    s->StoreObject(observer);
    s->StoreObject(event);
    s->StoreAtom(actor);
    s->StoreObject(actors);
    s->StoreCard(id);
    s << ZuStorageSync::end;
}

void ZuAsyncObs::RestoreInstance(const ZuStorageRef& s)
{
    ZuObject::RestoreInstance(s);
    s >> ZuStorageSync::type >> ZuStorageSync::begin;
    ZuObjectRef obs, ev, chain;
    s->RestoreObject(obs, ZuObjectRef::RetRuntime());
    s->RestoreObject(ev, ZuAtomPathRef::RetRuntime());
    s->RestoreAtom(actor);
    s->RestoreObject(chain, ZuAtomPathRef::RetRuntime());
    id = unsigned(s->RestoreCard(0));
    observer = obs;
    event = AsPath(ev);
    actors = AsPath(chain);
    s >> ZuStorageSync::end;
}
