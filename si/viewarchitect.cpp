#include "si/viewarchitect.h"

#include "si/error.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"

ZU_IMPLEMENT_CLASS(ZuViewArchitect, ZU_SRC_FILE, ZU_CLASS_ABSTRACT)

namespace {

ZuStorageSync& ArchitectRecord()
{
    static ZuStorageSync record("<ZuViewArchitect num_attributes>");
    return record;
}

} // namespace

bool ZuViewArchitect::Initialise(unsigned n)
{
    SetTotalAttributes(n);
    return true;
}

bool ZuViewArchitect::SetTotalAttributes(unsigned n)
{
    num_attributes = n;
    return true;
}

unsigned ZuViewArchitect::RetTotalAttributes() const
{
    return num_attributes;
}

ZuObjectRef ZuViewArchitect::Copy(const ZuObjectRef& source)
{
    if (source.IsValid() && source->IsKindOf(ZuViewArchitectRef::RetRuntime()))
        SetTotalAttributes(static_cast<ZuViewArchitect*>(source.Resolve())->RetTotalAttributes());
    return ZuObject::Copy(source);
}

void ZuViewArchitect::StoreInstance(const ZuStorageRef& s)
{
    ZuObject::StoreInstance(s);
    s << ArchitectRecord() << ZuStorageSync::begin;
    s->StoreCard(num_attributes);
    s << ZuStorageSync::end;
}

void ZuViewArchitect::RestoreInstance(const ZuStorageRef& s)
{
    ZuObject::RestoreInstance(s);
    s >> ZuStorageSync::type >> ZuStorageSync::begin;
    num_attributes = static_cast<unsigned>(s->RestoreCard(num_attributes));
    s >> ZuStorageSync::end;
}
