#include "app/arcdef.h"

#include "si/rtclass.h"
#include "si/storage.h"

ZU_IMPLEMENT_CLASS(CArcDef, "app/arcdef", ZU_CLASS_PLAIN)

CArcDef::CArcDef() : mode(222)
{
    SetAllValues(220);
}

bool CArcDef::IsEqualCurrent(const CDefRef& other) const
{
    CArcDefRef ref(other);
    const CArcDef* o = ref.CheckAndResolve();
    return GetValue() == o->GetValue() && mode == o->mode;
}

void CArcDef::CopyFrom(const CDefRef& other)
{
    CArcDefRef ref(other);
    const CArcDef* o = ref.CheckAndResolve();
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

void CArcDef::StoreInstance(const ZuStorageRef& s)
{
    CDef::StoreInstance(s);
    s << ZuStorageSync::begin << ZuStorageSync::mark << mode << ZuStorageSync::end;
}

void CArcDef::RestoreInstance(const ZuStorageRef& s)
{
    CDef::RestoreInstance(s);
    s >> ZuStorageSync::begin >> ZuStorageSync::mark >> mode >> ZuStorageSync::end;
}
