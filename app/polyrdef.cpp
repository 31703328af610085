#include "app/polyrdef.h"

#include "si/rtclass.h"
#include "si/storage.h"

ZU_IMPLEMENT_CLASS(CPolyRegDef, "app/polyrdef", ZU_CLASS_PLAIN)

namespace {

int ClampSides(int n)
{
    if (n < CPolyRegDef::MIN_SIDES)
        return CPolyRegDef::MIN_SIDES;
    return n > CPolyRegDef::MAX_SIDES ? int(CPolyRegDef::MAX_SIDES) : n;
}

double ClampDepth(double v)
{
    if (!(v >= 0.0))
        return 0.0;
    return v > 1.0 ? 1.0 : v;
}

} // namespace

CPolyRegDef::CPolyRegDef() : sides(6), star(false), indentation(0.5)
{
    SetAllValues(110);
}

bool CPolyRegDef::IsEqualCurrent(const CDefRef& other) const
{
    CPolyRegDefRef ref(other);
    const CPolyRegDef* o = ref.CheckAndResolve();
    return values[index] == o->values[index] && sides == o->sides && star == o->star &&
           indentation == o->indentation;
}

void CPolyRegDef::CopyFrom(const CDefRef& other)
{
    CPolyRegDefRef ref(other);
    const CPolyRegDef* o = ref.CheckAndResolve();
    CDef::CopyFrom(other);
    sides = o->sides;
    star = o->star;
    indentation = o->indentation;
}

void CPolyRegDef::CloneTo(CDefRef& out) const
{
    CloneSelf(out);
}

int CPolyRegDef::GetType() const
{
    return 40;
}

int CPolyRegDef::GetValue() const
{
    return star ? STAR : POLYGON;
}

bool CPolyRegDef::SetValue(int value)
{
    star = value != POLYGON;
    return true;
}

void CPolyRegDef::SetSides(int n)
{
    sides = ClampSides(n);
}

void CPolyRegDef::SetIndentation(double depth)
{
    indentation = ClampDepth(depth);
}

void CPolyRegDef::StoreInstance(const ZuStorageRef& s)
{
    CDef::StoreInstance(s);
    s << ZuStorageSync::begin << ZuStorageSync::mark << sides << star << indentation
      << ZuStorageSync::end;
}

void CPolyRegDef::RestoreInstance(const ZuStorageRef& s)
{
    CDef::RestoreInstance(s);
    // Stored values keep to the ranges the setters keep, as soon as they
    // are read (a record may end early).
    s >> ZuStorageSync::begin >> ZuStorageSync::mark >> sides;
    sides = ClampSides(sides);
    s >> star >> indentation;
    indentation = ClampDepth(indentation);
    s >> ZuStorageSync::end;
}
