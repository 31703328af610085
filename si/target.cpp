#include "si/target.h"

#include "si/message.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/typedef.h"
#include "si/values.h"

ZU_IMPLEMENT_CLASS(ZuTarget, ZU_SRC_FILE, ZU_CLASS_PLAIN)
ZU_TYPE_REGISTER(ZuTargetType, "ZuTargetType", &Card32_type, ZU_TYPE_CARD, nullptr, 4)

ZuTargetType Zuvi_ValueToZuTargetType(const ZuValueRef& value)
{
    return Zuvi_ValueToCard32(value);
}

namespace {

ZuStorageSync& TargetRecord()
{
    static ZuStorageSync record("<ZuTarget name object type>");
    return record;
}

} // namespace

bool ZuTarget::Attach()
{
    entry = nullptr;
    ZuObject* obj = object.Resolve();
    if (obj == nullptr)
        return false;
    const ZuRuntime* rt = obj->RetRuntime().RetRawObject();
    if (rt == nullptr)
        return false;
    switch (type) {
    case ZU_TARGET_MESSAGE:
        entry = rt->FindMethod(name, 0);
        break;
    case ZU_TARGET_OBSERVER:
        entry = rt->FindObserver(name);
        break;
    case ZU_TARGET_ACTOR:
        entry = rt->FindActor(name);
        break;
    default:
        break;
    }
    return entry != nullptr;
}

bool ZuTarget::DefineObserver(const ZuObjectRef& obj, const ZuAtomRef& ev, const ZuAtomRef& n)
{
    event = ev;
    return SetTarget(n, obj, ZU_TARGET_OBSERVER);
}

bool ZuTarget::DefineObserver(const ZuObjectRef& obj, const ZuAtomRef& ev)
{
    event = ev;
    return SetTarget(ev, obj, ZU_TARGET_OBSERVER);
}

bool ZuTarget::AttachToObject(const ZuObjectRef& obj)
{
    if (obj.Resolve() == object.Resolve())
        return entry != nullptr;
    if (obj.IsInvalid()) {
        object = ZuObjectNull;
        entry = nullptr;
        return false;
    }
    if (object.IsValid() && obj->RetRuntime() == object->RetRuntime()) {
        object = obj;
        return entry != nullptr;
    }
    object = obj;
    return Attach();
}

bool ZuTarget::SetTarget(const ZuAtomRef& n, const ZuObjectRef& obj, ZuTargetType t)
{
    name = n;
    object = obj;
    type = t;
    return Attach();
}

bool ZuTarget::GetTarget(ZuAtomRef& n, ZuObjectRef& obj, ZuTargetType& t)
{
    n = name;
    obj = object;
    t = type;
    return true;
}

const ZuAtomRef& ZuTarget::RetName() const
{
    return name;
}

const ZuObjectRef& ZuTarget::RetObject() const
{
    return object;
}

ZuTargetType ZuTarget::RetType() const
{
    return type;
}

const ZuAtomRef& ZuTarget::RetEvent() const
{
    return event;
}

bool ZuTarget::IsValid() const
{
    return entry != nullptr;
}

bool ZuTarget::DoReport(const ZuObjectRef& arg, unsigned flags)
{
    if (entry == nullptr || type != ZU_TARGET_OBSERVER || object.IsInvalid())
        return false;
    entry->observer_fn(object.Resolve(), arg, flags);
    return true;
}

bool ZuTarget::DoAction()
{
    if (entry == nullptr || type != ZU_TARGET_ACTOR || object.IsInvalid())
        return false;
    entry->actor_fn(object.Resolve());
    return true;
}

bool ZuTarget::DoMessage(ZuMessageRef& message)
{
    if (entry == nullptr || type != ZU_TARGET_MESSAGE || object.IsInvalid())
        return false;
    entry->message_fn(message, object.Resolve(), nullptr);
    return true;
}

bool ZuTarget::DoAttachObserver(const ZuObjectRef& observed, unsigned value)
{
    if (event.IsValid() && name.IsValid() && object.IsValid() && observed.IsValid())
        observed->AttachObserver(object, event, name, value);
    return true;
}

bool ZuTarget::DoDetachObserver(const ZuObjectRef& observed, unsigned value)
{
    // Detached under the name it was attached with: with a name of its own
    // the attachment is not found under the event's name.
    if (event.IsValid() && object.IsValid() && observed.IsValid())
        observed->DetachObserver(object, event, name.IsValid() ? name : event, value);
    return true;
}

void ZuTarget::Delete()
{
    name = ZuAtomNull;
    object = ZuObjectNull;
    entry = nullptr;
    ZuObject::Delete();
}

void ZuTarget::StoreInstance(const ZuStorageRef& s)
{
    ZuObject::StoreInstance(s);
    s << TargetRecord();
    s->StoreAtom(name);
    s->StoreObject(object);
    s->StoreCard(type);
}

void ZuTarget::RestoreInstance(const ZuStorageRef& s)
{
    ZuObject::RestoreInstance(s);
    s >> ZuStorageSync::type;
    s->RestoreAtom(name);
    s->RestoreObject(object, ZuObjectRef::RetRuntime());
    // A stored kind is outside data: a number that is no kind resolves to
    // nothing, as any unknown kind does.
    type = static_cast<ZuTargetType>(s->RestoreCard(0));
    Attach();
}
