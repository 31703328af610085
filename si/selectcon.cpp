#include "si/selectcon.h"

#include "si/except.h"
#include "si/icontainer.h"
#include "si/pubdata.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"
#include "si/togglecontrol.h"
#include "si/typedef.h"
#include "si/types.h"
#include "si/values.h"

ZU_IMPLEMENT_CLASS(ZuSelectCon, "si/selectcon", ZU_CLASS_PLAIN)
ZU_ENUM_REGISTER(ZuSelectConType)

ZuAtomRef ZuSelectCon::notify_active_changed;
ZuAtomRef ZuSelectCon::index;
ZU_EXPORT_NOTIFY(ZuSelectCon, active_changed, "notify_active_changed",
                 &ZuSelectCon::notify_active_changed)
static Zuvi_NotifyExport
    zuvi_notify_ZuSelectCon_active_changed_active(&ZuSelectConRef::RetRuntime(),
                                                  "notify_active_changed", "active", nullptr);
ZU_EXPORT_NOTIFY(ZuSelectCon, index, "index", &ZuSelectCon::index)
ZU_EXPORT_OBSERVER(ZuSelectCon, NotifyActivation)

namespace {

ZuStorageSync& SelectConRecord()
{
    static ZuStorageSync record("<ZuSelectCon active active_rank sel_type>");
    return record;
}

ZuSelectCon* AsCon(ZuObject* o)
{
    return static_cast<ZuSelectCon*>(o);
}

void GetActiveDatum(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(AsCon(o)->RetActive());
}
bool SetActiveDatum(const ZuValueRef& value, ZuObject* o)
{
    return AsCon(o)->SetActive(value.IsValid() ? value->RetObject() : ZuObjectRef());
}
void GetActiveRankDatum(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(AsCon(o)->RetActiveRank());
}
bool SetActiveRankDatum(const ZuValueRef& value, ZuObject* o)
{
    return AsCon(o)->SetActiveByRank(Zuvi_ValueToCard32(value));
}

void DeclareSelectConData(ZuRuntime* runtime)
{
    static Zuvi_PubDataDef items[] = {
        {&ZuSelectConRef::RetRuntime(), "active", "Active object", &ZuObject_type, true, true,
         &GetActiveDatum, &SetActiveDatum},
        {&ZuSelectConRef::RetRuntime(), "active_rank", "Active rank", &Card32_type, true, true,
         &GetActiveRankDatum, &SetActiveRankDatum},
    };
    for (Zuvi_PubDataDef& item : items)
        runtime->PublishData(item);
}
Zuvi_PubDataExport select_con_data(&DeclareSelectConData, ZuSelectConRef::RetRuntime());

ZuiContainer* ContainerOf(const ZuObjectRef& object)
{
    if (object.IsInvalid())
        return nullptr;
    return static_cast<ZuiContainer*>(object.Resolve()->CastToInterface(&ZuiContainer::interface));
}

// The user name of a member: a view's own name, else the object's.
ZuAtomRef UserNameOf(const ZuObjectRef& object)
{
    if (object.IsValid() && object->IsKindOf(ZuViewRef::RetRuntime()))
        return ZuViewRef(object)->RetUserName();
    return object.IsValid() ? object->RetUserName() : ZuAtomRef();
}

ZuToggleControlRef AsToggle(const ZuObjectRef& object)
{
    return object.IsValid() && object->IsKindOf(ZuToggleControlRef::RetRuntime())
               ? ZuToggleControlRef(object)
               : ZuToggleControlRef();
}

} // namespace

ZuSelectCon::ZuSelectCon() {}

void ZuSelectCon::Delete()
{
    provider = ZuObjectNull;
    active = ZuObjectNull;
    ZuBaseController::Delete();
}

bool ZuSelectCon::Initialise(ZuSelectConType type, const ZuObjectRef& p)
{
    sel_type = type;
    provider = p;
    return true;
}

bool ZuSelectCon::SetProvider(const ZuObjectRef& p)
{
    if (p.IsValid() && ContainerOf(p) == nullptr)
        return false;
    provider = p;
    return true;
}

const ZuObjectRef& ZuSelectCon::RetProvider() const
{
    return provider;
}

const ZuObjectRef& ZuSelectCon::RetActive() const
{
    return active;
}

unsigned int ZuSelectCon::RetActiveRank() const
{
    return active_rank;
}

bool ZuSelectCon::GetRankFromObject(const ZuObjectRef& object, unsigned int& rank) const
{
    if (object.IsInvalid())
        return false;
    ZuValueRef value;
    if (object->QueryData(index, value)) {
        rank = Zuvi_ValueToCard32(value);
        return true;
    }
    ZuAtomRef event;
    ZuObjectRef observed;
    unsigned int id = 0;
    for (unsigned int i = 0; GetObserved(i, event, observed, id); ++i)
        if (observed == object) {
            rank = id;
            return true;
        }
    return false;
}

bool ZuSelectCon::GetObjectFromRank(unsigned int rank, ZuObjectRef& object) const
{
    if (provider.IsValid()) {
        ZuiContainer* container = ContainerOf(provider);
        return container != nullptr && container->Get(rank, object);
    }
    ZuAtomRef event;
    ZuObjectRef observed;
    unsigned int id = 0;
    for (unsigned int i = 0; GetObserved(i, event, observed, id); ++i)
        if (id == rank) {
            object = observed;
            return true;
        }
    return false;
}

bool ZuSelectCon::GetObjectFromName(const ZuAtomRef& name, ZuObjectRef& object) const
{
    if (provider.IsValid()) {
        ZuiContainer* container = ContainerOf(provider);
        if (container == nullptr)
            return false;
        for (unsigned int i = 0, n = container->TotalCount(); i < n; ++i) {
            ZuObjectRef element;
            if (container->Get(i, element) && element.IsValid() && UserNameOf(element) == name) {
                object = element;
                return true;
            }
        }
        return false;
    }
    ZuAtomRef event;
    ZuObjectRef observed;
    unsigned int id = 0;
    for (unsigned int i = 0; GetObserved(i, event, observed, id); ++i)
        if (observed.IsValid() && UserNameOf(observed) == name) {
            object = observed;
            return true;
        }
    return false;
}

void ZuSelectCon::TurnOn(const ZuObjectRef& object, unsigned int rank)
{
    if (sel_type != ZU_SELECT_NONE) {
        ZuToggleControlRef toggle = AsToggle(object);
        if (toggle.IsValid()) {
            toggle->TurnOn();
            toggle->Display(true);
        }
        // The rank indexes the table of the other active members; a rank
        // past the members (from a damaged file) is not one of them and must
        // not grow the table to its size.
        if (active.IsValid() && active_rank != rank && active_rank < CountMembers()) {
            others[active_rank] = true;
            ++other_count;
        }
    }
    active = object;
    active_rank = rank;
}

void ZuSelectCon::TurnOff(const ZuObjectRef& object, unsigned int rank)
{
    ZuToggleControlRef toggle = AsToggle(object);
    if (toggle.IsValid()) {
        toggle->TurnOff();
        toggle->Display(true);
    }
    if (rank == active_rank) {
        active = ZuObjectNull;
        active_rank = 0;
    } else {
        if (rank < others.RetCount() && others.At(rank)) {
            others.At(rank) = false;
            --other_count;
        }
    }
}

bool ZuSelectCon::SetActive(const ZuObjectRef& object, unsigned int rank, bool by_user)
{
    bool changed = false;
    if (!TestActive(rank)) {
        if (active.IsValid() && (sel_type == ZU_SELECT_NONE || sel_type == ZU_SELECT_ONE ||
                                 sel_type == ZU_SELECT_SINGLE))
            TurnOff(active, active_rank);
        TurnOn(object, rank);
        changed = true;
    } else if (object.IsInvalid()) {
        ZuObjectRef member;
        if (GetObjectFromRank(rank, member)) {
            TurnOff(member, rank);
            changed = true;
        }
    } else if (!by_user) {
        ZuToggleControlRef toggle = AsToggle(object);
        if (toggle.IsValid()) {
            toggle->TurnOn();
            toggle->Display(true);
        }
        if (rank == active_rank)
            active = object;
    } else {
        const bool turns_off = (sel_type == ZU_SELECT_MANY && CountActive() >= 2) ||
                               sel_type == ZU_SELECT_SINGLE || sel_type == ZU_SELECT_MULTIPLE;
        if (turns_off) {
            TurnOff(object, rank);
            changed = true;
        }
    }
    if (changed && !(sel_type == ZU_SELECT_ONE && CountActive() == 0))
        QuickReport(notify_active_changed, 0);
    return true;
}

bool ZuSelectCon::SetActive(const ZuObjectRef& object)
{
    unsigned int rank = 0;
    if (!GetRankFromObject(object, rank))
        rank = 0;
    return SetActive(object, rank, false);
}

bool ZuSelectCon::TestActive(unsigned int rank) const
{
    if (active.IsValid() && active_rank == rank)
        return true;
    if (other_count != 0 && rank < others.RetCount())
        return others.At(rank);
    return false;
}

bool ZuSelectCon::TestActive(const ZuObjectRef& object) const
{
    unsigned int rank = 0;
    if (object.IsInvalid() || !GetRankFromObject(object, rank))
        return false;
    return TestActive(rank);
}

unsigned int ZuSelectCon::CountActive() const
{
    return other_count + (active.IsValid() ? 1 : 0);
}

bool ZuSelectCon::SetActiveByName(const ZuAtomRef& name)
{
    ZuObjectRef member;
    if (!GetObjectFromName(name, member))
        return false;
    return SetActive(member);
}

bool ZuSelectCon::SetActiveByRank(unsigned int rank)
{
    ZuObjectRef member;
    if (!GetObjectFromRank(rank, member))
        return false;
    return SetActive(member);
}

bool ZuSelectCon::NotifyActivation(const ZuObjectRef& object, unsigned int rank)
{
    ZuValueRef value;
    if (object.IsValid() && object->QueryData(index, value))
        rank = Zuvi_ValueToCard32(value);
    return SetActive(object, rank, true);
}

bool ZuSelectCon::NotifyControlAction(const ZuControlRef& control, ZuCtrlActionType action)
{
    unsigned int rank = 0;
    if (!GetRankFromObject(control, rank))
        return false;
    switch (action) {
    case ZU_CTRL_ACTION_CLICKED:
        SetActive(control, rank, true);
        break;
    case ZU_CTRL_ACTION_ON:
        if (sel_type == ZU_SELECT_ONE || (sel_type == ZU_SELECT_SINGLE && rank != active_rank))
            SetActive(ZuObjectNull, 0, false);
        break;
    case ZU_CTRL_ACTION_OFF:
        if (sel_type == ZU_SELECT_ONE)
            SetActive(control, rank, true);
        break;
    default:
        break;
    }
    return true;
}

unsigned int ZuSelectCon::CountMembers() const
{
    unsigned long long count = 0;
    if (ZuiContainer* container = ContainerOf(provider))
        count = container->TotalCount();
    ZuAtomRef event;
    ZuObjectRef observed;
    unsigned int id = 0;
    for (unsigned int i = 0; GetObserved(i, event, observed, id); ++i)
        if (id + 1ull > count)
            count = id + 1ull;
    unsigned int rank = 0;
    if (GetRankFromObject(active, rank) && rank + 1ull > count)
        count = rank + 1ull;
    return count > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<unsigned int>(count);
}

void ZuSelectCon::StoreInstance(const ZuStorageRef& s)
{
    ZuBaseController::StoreInstance(s);
    s << SelectConRecord() << ZuStorageSync::begin;
    s->StoreObject(active);
    s->StoreCard(active_rank);
    s->StoreCard(sel_type);
    s << ZuStorageSync::end;
}

void ZuSelectCon::RestoreInstance(const ZuStorageRef& s)
{
    ZuBaseController::RestoreInstance(s);
    s >> ZuStorageSync::type >> ZuStorageSync::begin;
    ZuObjectRef restored;
    s->RestoreObject(restored, ZuObjectRef::RetRuntime());
    const std::uint64_t rank = s->RestoreCard(active_rank);
    const std::uint64_t type = s->RestoreCard(sel_type);
    s >> ZuStorageSync::end;
    if (type > 0xFFFFFFFFull || !IsValid(static_cast<ZuSelectConType>(type)) ||
        rank > 0xFFFFFFFFull)
        throw ZuExcStream(ZuExcStream::ZU_STREAM_CANNOT_READ);
    active = restored;
    active_rank = static_cast<unsigned int>(rank);
    sel_type = static_cast<ZuSelectConType>(type);
    others = Zuvi_SimpleArrayZero<bool>(0, 1);
    other_count = 0;
    // The members are not known yet (the provider is not stored, and the
    // observers may come back later): a rank past them is dropped when the
    // next member becomes active, not refused here.
}
