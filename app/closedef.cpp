#include "app/closedef.h"

#include "si/rtclass.h"
#include "si/storage.h"

ZU_IMPLEMENT_CLASS(CCloseDef, "app/closedef", ZU_CLASS_PLAIN)

CCloseDef::CCloseDef() : closed(false) {}

bool CCloseDef::IsEqualCurrent(CDefRef const& other) const
{
    CCloseDefRef ref(other);
    return closed == ref.CheckAndResolve()->closed;
}

void CCloseDef::CopyFrom(CDefRef const& other)
{
    CCloseDefRef ref(other);
    CCloseDef const* o = ref.CheckAndResolve();
    CDef::CopyFrom(other);
    closed = o->closed;
}

void CCloseDef::CloneTo(CDefRef& out) const
{
    CloneSelf(out);
}

int CCloseDef::GetType() const
{
    return 15;
}

void CCloseDef::StoreInstance(ZuStorageRef const& s)
{
    CDef::StoreInstance(s);
    s << ZuStorageSync::begin << ZuStorageSync::mark << closed << ZuStorageSync::end;
}

void CCloseDef::RestoreInstance(ZuStorageRef const& s)
{
    CDef::RestoreInstance(s);
    s >> ZuStorageSync::begin >> ZuStorageSync::mark >> closed >> ZuStorageSync::end;
}
