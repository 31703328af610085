#include "app/closedef.h"

#include "si/rtclass.h"
#include "si/storage.h"

ZU_IMPLEMENT_CLASS(CCloseDef, "app/closedef", ZU_CLASS_PLAIN)

CCloseDef::CCloseDef() : closed(false) {}

bool CCloseDef::IsEqualCurrent(const CDefRef& other) const
{
    CCloseDefRef ref(other);
    return closed == ref.CheckAndResolve()->closed;
}

void CCloseDef::CopyFrom(const CDefRef& other)
{
    CCloseDefRef ref(other);
    const CCloseDef* o = ref.CheckAndResolve();
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

void CCloseDef::StoreInstance(const ZuStorageRef& s)
{
    CDef::StoreInstance(s);
    s << ZuStorageSync::begin << ZuStorageSync::mark << closed << ZuStorageSync::end;
}

void CCloseDef::RestoreInstance(const ZuStorageRef& s)
{
    CDef::RestoreInstance(s);
    s >> ZuStorageSync::begin >> ZuStorageSync::mark >> closed >> ZuStorageSync::end;
}
