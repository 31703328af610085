#include "app/arcdef.h"

#include "si/rtclass.h"
#include "si/storage.h"

ZU_IMPLEMENT_CLASS(CArcDef, "app/arcdef", ZU_CLASS_PLAIN)

CArcDef::CArcDef() : mode(222)
{
    SetAllValues(220);
}

bool CArcDef::IsEqualCurrent(CDefRef const& other) const
{
    CArcDefRef ref(other);
    CArcDef const* o = ref.CheckAndResolve();
    return GetValue() == o->GetValue() && mode == o->mode;
}

void CArcDef::CopyFrom(CDefRef const& other)
{
    CArcDefRef ref(other);
    CArcDef const* o = ref.CheckAndResolve();
    CDef::CopyFrom(other);
    mode = o->mode;
}

void CArcDef::CloneTo(CDefRef& out) const
{
    CloneSelf(out);
}

int CArcDef::GetType() const
{
    return 41;
}

void CArcDef::StoreInstance(ZuStorageRef const& s)
{
    CDef::StoreInstance(s);
    s << ZuStorageSync::begin << ZuStorageSync::mark << mode << ZuStorageSync::end;
}

void CArcDef::RestoreInstance(ZuStorageRef const& s)
{
    CDef::RestoreInstance(s);
    s >> ZuStorageSync::begin >> ZuStorageSync::mark >> mode >> ZuStorageSync::end;
}
