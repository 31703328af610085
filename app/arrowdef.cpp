#include "app/arrowdef.h"

#include "si/rtclass.h"
#include "si/storage.h"

ZU_IMPLEMENT_CLASS(CArrowDef, "app/arrowdef", ZU_CLASS_PLAIN)

CArrowDef::CArrowDef()
    : flags(0), length(20.0), param2(10.0), param3(0.0), param4(30.0), param5(0.785398163375)
{
    SetAllValues(67);
}

bool CArrowDef::IsEqualCurrent(const CDefRef& other) const
{
    CArrowDefRef ref(other);
    const CArrowDef* o = ref.CheckAndResolve();
    return GetValue() == o->GetValue() && flags == o->flags && length == o->length &&
           param2 == o->param2 && param3 == o->param3 && param4 == o->param4 && param5 == o->param5;
}

void CArrowDef::CopyFrom(const CDefRef& other)
{
    CArrowDefRef ref(other);
    const CArrowDef* o = ref.CheckAndResolve();
    CDef::CopyFrom(other);
    flags = o->flags;
    length = o->length;
    param2 = o->param2;
    param3 = o->param3;
    param4 = o->param4;
    param5 = o->param5;
}

void CArrowDef::CloneTo(CDefRef& out) const
{
    CloneSelf(out);
}

int CArrowDef::GetType() const
{
    return 60;
}

void CArrowDef::StoreInstance(const ZuStorageRef& s)
{
    CDef::StoreInstance(s);
    s << ZuStorageSync::begin << ZuStorageSync::mark << flags << length << param2 << param3
      << param4 << param5 << ZuStorageSync::end;
}

void CArrowDef::RestoreInstance(const ZuStorageRef& s)
{
    CDef::RestoreInstance(s);
    s >> ZuStorageSync::begin >> ZuStorageSync::mark >> flags >> length >> param2 >> param3 >>
        param4 >> param5 >> ZuStorageSync::end;
}
