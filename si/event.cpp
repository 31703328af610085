#include "si/event.h"

#include <new>
#include <vector>

#include "si/dict.h"
#include "si/error.h"
#include "si/except.h"
#include "si/memzone.h"
#include "si/message.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/typedef.h"
#include "si/types.h"
#include "si/linkedlist.h"

ZU_IMPLEMENT_CLASS(ZuEvent, ZU_SRC_FILE, ZU_CLASS_PLAIN)
ZU_ENUM_REGISTER(ZuEventType)
ZU_ENUM_REGISTER(ZuEventButton)
ZU_BITSET_REGISTER(ZuEventMask)
ZU_BITSET_REGISTER(ZuEventButtons)
ZU_TYPE_REGISTER(ZuEventID, "ZuEventID", &Card64_type, ZU_TYPE_CARD, nullptr, 8)

ZuEventMask Zuvi_ValueToZuEventMask(const ZuValueRef& value)
{
    ZuEventMask set;
    set.SetBits(Zuvi_ValueToCard64(value));
    return set;
}

ZuEventButtons Zuvi_ValueToZuEventButtons(const ZuValueRef& value)
{
    ZuEventButtons set;
    set.SetBits(Zuvi_ValueToCard64(value));
    return set;
}

ZuEventID Zuvi_ValueToZuEventID(const ZuValueRef& value)
{
    return Zuvi_ValueToCard64(value);
}

// One event spy: a plain record in the application's zone.
struct ZuEvent::Spy {
    Spy* next = nullptr;
    Spy* prev = nullptr;
    ZuObjectRef object;
    ZuAtomRef action;
    ZuEventMask mask;
};

ZuEventRef ZuEvent::current;
ZuEventButton ZuEvent::last_click_button = ZU_EV_BUTTON_NONE;
std::int64_t ZuEvent::last_click_time = 0;
unsigned ZuEvent::last_click_count = 0;
ZuDictRef ZuEvent::user_events;
ZuEvent::WindowDispatchFn ZuEvent::window_dispatch = nullptr;
ZuEvent::Spy* ZuEvent::spy_head = nullptr;
ZuEvent::Spy* ZuEvent::spy_tail = nullptr;
bool ZuEvent::dropped = false;

namespace {

ZuStorageSync& EventRecord()
{
    static ZuStorageSync record(
        "<ZuEvent type id time window x y buttons click_count change data name code "
        "amplitude <key type code value modifiers> >");
    return record;
}

} // namespace

// ---------------------------------------------------------------- dispatch

void ZuEvent::DispatchEvent()
{
    ZuEventRef self(this);
    if (type == ZU_EVENT_COMMAND && data.IsValid() && data->IsKindOf(ZuMessageRef::RetRuntime())) {
        ZuMessageRef message(data);
        try {
            message->SendToDefaultTarget();
        } catch (const ZuException&) {
            // A command whose arguments cannot be read (a message from
            // outside) is dropped; the program goes on.
            Zuvi_Trace("Dropped a command whose message cannot be read\n");
        }
        message->Delete();
        return;
    }
    if (window.IsInvalid())
        return;
    dropped = false;
    // The spies as they are now: a spy may insert or remove spies.
    struct Visit {
        ZuObjectRef object;
        ZuAtomRef action;
    };
    std::vector<Visit> visits;
    for (Spy* s = spy_head; s; s = s->next)
        if (s->mask.TestBit(type))
            visits.push_back(Visit{s->object, s->action});
    for (const Visit& v : visits) {
        if (v.object.IsValid())
            v.object->Action(v.action, ZuObjectNull, 0);
        if (dropped)
            return;
    }
    if (window_dispatch && window.IsValid())
        window_dispatch(window, self);
}

bool ZuEvent::Cancel()
{
    cancelled = true;
    return true;
}

// ---------------------------------------------------------------- spies

bool ZuEvent::InsertEventSpy(const ZuObjectRef& object, const ZuAtomRef& action, ZuEventMask mask)
{
    if (!Zuvi_app_zone)
        ZuMemZone::NullAllocZone("Zuvi_app_zone", __LINE__, ZU_SRC_FILE);
    void* block = Zuvi_app_zone->Alloc(sizeof(Spy), "ZuEventSpy", __LINE__, ZU_SRC_FILE);
    Spy* s = ::new (block) Spy();
    s->object = object;
    s->action = action;
    s->mask = mask;
    ZuLinkBefore(spy_head, spy_tail, s, static_cast<Spy*>(nullptr));
    return true;
}

bool ZuEvent::RemoveEventSpy(const ZuObjectRef& object, const ZuAtomRef& action, ZuEventMask mask)
{
    for (Spy* s = spy_head; s; s = s->next) {
        if (s->object.Resolve() != object.Resolve() || s->action.Resolve() != action.Resolve() ||
            s->mask != mask)
            continue;
        ZuUnlink(spy_head, spy_tail, s);
        s->object = ZuObjectNull;
        s->action = ZuAtomNull;
        s->~Spy();
        ZuMemZone::FreeAnyZone(s, __LINE__, ZU_SRC_FILE);
        return true;
    }
    return false;
}

bool ZuEvent::GetEventSpy(unsigned i, ZuObjectRef& object, ZuAtomRef& action, ZuEventMask& mask)
{
    for (Spy* s = spy_head; s; s = s->next) {
        if (i-- != 0)
            continue;
        object = s->object;
        action = s->action;
        mask = s->mask;
        return true;
    }
    return false;
}

void ZuEvent::DropEvent()
{
    dropped = true;
}

// ---------------------------------------------------------------- user events

bool ZuEvent::RemoveUserEvent(const ZuAtomRef& n)
{
    if (user_events.IsInvalid())
        return false;
    return user_events->Remove(n, 0);
}

bool ZuEvent::FindUserEvent(const ZuAtomRef& n)
{
    if (user_events.IsInvalid())
        return false;
    return user_events->LookForKey(n);
}

bool ZuEvent::GetUserEvent(unsigned i, ZuAtomRef& n)
{
    if (user_events.IsInvalid())
        return false;
    ZuObjectRef key, value;
    if (!user_events->Get(i, key, value))
        return false;
    n = key;
    return true;
}

// ---------------------------------------------------------------- storage

void ZuEvent::StoreInstance(const ZuStorageRef& s)
{
    ZuObject::StoreInstance(s);
    s << EventRecord() << ZuStorageSync::begin;
    s->StoreCard(type);
    s->StoreCard(id);
    s->StoreInt(time);
    s->StoreObject(window);
    s->StoreReal(x);
    s->StoreReal(y);
    s << buttons;
    s->StoreCard(click_count);
    s->StoreCard(change);
    s->StoreObject(data);
    s->StoreAtom(name);
    s->StoreCard(code);
    s->StoreReal(amplitude);
    s << ZuStorageSync::begin;
    s->StoreCard(key.type);
    s->StoreCard(key.code);
    s->StoreCard(key.value);
    s << key.modifiers;
    s << ZuStorageSync::end << ZuStorageSync::end;
}

void ZuEvent::RestoreInstance(const ZuStorageRef& s)
{
    ZuObject::RestoreInstance(s);
    s >> ZuStorageSync::type >> ZuStorageSync::begin;
    // Numbers are outside data: each keeps the width of its field.
    type = static_cast<ZuEventType>(std::uint32_t(s->RestoreCard(type)));
    id = s->RestoreCard(id);
    time = s->RestoreInt(time);
    s->RestoreObject(window, ZuObjectRef::RetRuntime());
    x = s->RestoreReal(x);
    y = s->RestoreReal(y);
    s >> buttons;
    click_count = unsigned(s->RestoreCard(click_count));
    change = static_cast<ZuEventButton>(std::uint32_t(s->RestoreCard(change)));
    s->RestoreObject(data, ZuObjectRef::RetRuntime());
    s->RestoreAtom(name);
    code = unsigned(s->RestoreCard(code));
    amplitude = s->RestoreReal(amplitude);
    s >> ZuStorageSync::begin;
    key.type = static_cast<ZuKeyType>(std::uint32_t(s->RestoreCard(key.type)));
    key.code = std::uint8_t(s->RestoreCard(key.code));
    key.value = std::uint16_t(s->RestoreCard(key.value));
    s >> key.modifiers;
    s >> ZuStorageSync::end >> ZuStorageSync::end;
}
