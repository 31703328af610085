#include "si/viewlayout.h"

#include "si/error.h"
#include "si/rtclass.h"
#include "si/icontainer.h"
#include "si/storage.h"
#include "si/storagesync.h"

ZU_IMPLEMENT_CLASS(ZuViewLayout, ZU_SRC_FILE, ZU_CLASS_ABSTRACT)

namespace {

ZuStorageSync& LayoutRecord()
{
    static ZuStorageSync record("<ZuViewLayout source architect constrain_x constrain_y>");
    return record;
}

} // namespace

void ZuViewLayout::TakeContainer()
{
    ZuObject* s = source.Resolve();
    container = s != nullptr
                    ? static_cast<ZuiContainer*>(s->CastToInterface(&ZuiContainer::interface))
                    : nullptr;
}

bool ZuViewLayout::Initialise(const ZuObjectRef& s, const ZuViewArchitectRef& a)
{
    architect = a;
    source = s;
    TakeContainer();
    return container != nullptr;
}

bool ZuViewLayout::SetConstrainMode(bool x, bool y)
{
    constrain_x = x;
    constrain_y = y;
    return true;
}

bool ZuViewLayout::GetConstrainMode(bool& x, bool& y)
{
    x = constrain_x;
    y = constrain_y;
    return true;
}

const ZuViewArchitectRef& ZuViewLayout::RetArchitect() const
{
    return architect;
}

bool ZuViewLayout::NotifyDataSourceChange()
{
    return true;
}

void ZuViewLayout::StoreInstance(const ZuStorageRef& s)
{
    ZuObject::StoreInstance(s);
    s << LayoutRecord() << ZuStorageSync::begin;
    s->StoreObject(source);
    s->StoreObject(architect);
    s->StoreBool(constrain_x);
    s->StoreBool(constrain_y);
    s << ZuStorageSync::end;
}

void ZuViewLayout::RestoreInstance(const ZuStorageRef& s)
{
    ZuObject::RestoreInstance(s);
    s >> ZuStorageSync::type >> ZuStorageSync::begin;
    s->RestoreObject(source, ZuObjectRef::RetRuntime());
    ZuObjectRef a;
    s->RestoreObject(a, ZuViewArchitectRef::RetRuntime());
    architect = a.IsValid() && a->IsKindOf(ZuViewArchitectRef::RetRuntime()) ? ZuViewArchitectRef(a)
                                                                             : ZuViewArchitectRef();
    constrain_x = s->RestoreBool(constrain_x);
    constrain_y = s->RestoreBool(constrain_y);
    s >> ZuStorageSync::end;
    TakeContainer();
}
