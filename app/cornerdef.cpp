#include "app/cornerdef.h"

#include "si/rtclass.h"
#include "si/storage.h"

ZU_IMPLEMENT_CLASS(CCornerDef, "app/cornerdef", ZU_CLASS_PLAIN)

CCornerDef::CCornerDef() : saved_kind(112), length(0.0)
{
    SetAllValues(SHARP);
}

bool CCornerDef::IsEqualCurrent(const CDefRef& other) const
{
    CCornerDefRef ref(other);
    const CCornerDef* o = ref.CheckAndResolve();
    return GetValue() == o->GetValue() && length == o->length;
}

void CCornerDef::CopyFrom(const CDefRef& other)
{
    CCornerDefRef ref(other);
    const CCornerDef* o = ref.CheckAndResolve();
    CDef::CopyFrom(other);
    saved_kind = o->saved_kind;
    length = o->length;
}

void CCornerDef::CloneTo(CDefRef& out) const
{
    CloneSelf(out);
}

int CCornerDef::GetType() const
{
    return 50;
}

bool CCornerDef::SetValue(int k)
{
    values[index] = k;
    if (k != SHARP) {
        saved_kind = k;
        if (length == 0.0)
            length = 10.0;
    } else {
        length = 0.0;
    }
    return true;
}

bool CCornerDef::SetLength(double l)
{
    length = l;
    if (l != 0.0 && values[index] == SHARP)
        values[index] = saved_kind;
    else if (l == 0.0 && values[index] != SHARP)
        values[index] = SHARP;
    return true;
}

void CCornerDef::StoreInstance(const ZuStorageRef& s)
{
    CDef::StoreInstance(s);
    s << ZuStorageSync::begin << ZuStorageSync::mark << saved_kind << length << ZuStorageSync::end;
}

void CCornerDef::RestoreInstance(const ZuStorageRef& s)
{
    CDef::RestoreInstance(s);
    s >> ZuStorageSync::begin >> ZuStorageSync::mark >> saved_kind >> length >> ZuStorageSync::end;
}
