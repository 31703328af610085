#include "si/lookuparchitect.h"

#include "si/providerview.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"
#include "si/view.h"

ZU_IMPLEMENT_CLASS(ZuLookUpArchitect, "si/lookuparchitect", ZU_CLASS_PLAIN)

namespace {

bool IsView(const ZuObjectRef& value)
{
    return value.IsValid() && value->IsKindOf(ZuViewRef::RetRuntime());
}

} // namespace

bool ZuLookUpArchitect::Initialise(const ZuViewArchitectRef& inner, const ZuSetRef& table)
{
    architect = inner;
    lookup = table;
    return true;
}

bool ZuLookUpArchitect::LookUp(const ZuObjectRef& item, ZuObjectRef& value)
{
    return lookup.IsValid() && lookup->GetFromKey(item, value, 0);
}

bool ZuLookUpArchitect::GetViewSize(const ZuObjectRef& item, double& dx, double& dy)
{
    ZuObjectRef value;
    if (!LookUp(item, value))
        return false;
    if (architect.IsValid())
        return architect->GetViewSize(value, dx, dy);
    if (!IsView(value))
        return false;
    ZuViewRef(value)->GetSize(dx, dy);
    return true;
}

bool ZuLookUpArchitect::CreateView(const ZuObjectRef& item, const ZuProviderViewRef& holder)
{
    ZuObjectRef value;
    if (!LookUp(item, value))
        return false;
    if (architect.IsValid())
        return architect->CreateView(value, holder);
    if (!IsView(value) || holder.IsInvalid())
        return false;
    ZuViewRef view(value);
    holder->SetContents(0, view);
    holder->SetNoDeleteChild(view);
    return true;
}

ZuObjectRef ZuLookUpArchitect::Copy(const ZuObjectRef& source)
{
    if (source.IsValid() && source->IsKindOf(ZuLookUpArchitectRef::RetRuntime())) {
        const ZuLookUpArchitect* other = static_cast<const ZuLookUpArchitect*>(source.Resolve());
        architect = other->architect;
        lookup = other->lookup;
    }
    return ZuViewArchitect::Copy(source);
}

void ZuLookUpArchitect::Delete()
{
    architect = ZuViewArchitectNull;
    lookup = ZuSetNull;
    ZuViewArchitect::Delete();
}

void ZuLookUpArchitect::StoreInstance(const ZuStorageRef& storage)
{
    ZuViewArchitect::StoreInstance(storage);
    static ZuStorageSync record("<ZuLookUpArchitect architect lookup>");
    storage << record << ZuStorageSync::begin;
    storage->StoreObject(architect);
    storage->StoreObject(lookup);
    storage << ZuStorageSync::end;
}

void ZuLookUpArchitect::RestoreInstance(const ZuStorageRef& storage)
{
    ZuViewArchitect::RestoreInstance(storage);
    storage >> ZuStorageSync::type >> ZuStorageSync::begin >> architect >> lookup >>
        ZuStorageSync::end;
}
