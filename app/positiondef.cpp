#include "app/positiondef.h"

#include "si/rtclass.h"
#include "si/storage.h"

ZU_IMPLEMENT_CLASS(CPositionDef, "app/positiondef", ZU_CLASS_PLAIN)

namespace {

double ClampInclude(double v)
{
    if (!(v >= 0.0))
        return 0.0;
    return v > 2.0 ? 2.0 : v;
}

} // namespace

CPositionDef::CPositionDef() : offset_x(10.0), offset_y(10.0), include(1.0)
{
    SetAllValues(NO_SHADOW);
}

bool CPositionDef::IsEqualCurrent(const CDefRef& other) const
{
    CPositionDefRef ref(other);
    const CPositionDef* o = ref.CheckAndResolve();
    return GetValue() == o->values[index] && offset_x == o->offset_x && offset_y == o->offset_y &&
           include == o->include;
}

void CPositionDef::CopyFrom(const CDefRef& other)
{
    CPositionDefRef ref(other);
    const CPositionDef* o = ref.CheckAndResolve();
    CDef::CopyFrom(other);
    offset_x = o->offset_x;
    offset_y = o->offset_y;
    include = o->include;
}

void CPositionDef::CloneTo(CDefRef& out) const
{
    CloneSelf(out);
}

int CPositionDef::GetType() const
{
    return 70;
}

bool CPositionDef::SetInclude(double v)
{
    include = ClampInclude(v);
    return true;
}

DPoint CPositionDef::GetShadowOffset() const
{
    DPoint p{offset_x, offset_y};
    switch (GetValue()) {
    case TOP_LEFT:
        p.x = -p.x;
        break;
    case BOTTOM_LEFT:
        p.x = -p.x;
        p.y = -p.y;
        break;
    case BOTTOM_RIGHT:
        p.y = -p.y;
        break;
    case NO_SHADOW:
        p.x = p.y = 0.0;
        break;
    default:
        break;
    }
    return p;
}

void CPositionDef::StoreInstance(const ZuStorageRef& s)
{
    CDef::StoreInstance(s);
    s << ZuStorageSync::begin << ZuStorageSync::mark << offset_x << offset_y << include
      << ZuStorageSync::end;
}

void CPositionDef::RestoreInstance(const ZuStorageRef& s)
{
    CDef::RestoreInstance(s);
    s >> ZuStorageSync::begin >> ZuStorageSync::mark >> offset_x >> offset_y >> include;
    // A stored share keeps to the range the setter keeps.
    include = ClampInclude(include);
    s >> ZuStorageSync::end;
}
