#include "app/pendef.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "app/misc.h"
#include "si/rtclass.h"
#include "si/storage.h"

ZU_IMPLEMENT_CLASS(CPenDef, "app/pendef", ZU_CLASS_PLAIN)

CPenDef::CPenDef()
    : width(0.0), cap(0), join(0), miter_limit(10.0), dash_offset(0.0), motif_mode(0),
      motif_param(12.0), motif_value1(0.0), motif_value2(0.0), motif_value3(0.0)
{
    for (int i = 0; i < PAIRS; ++i)
        dash[i] = gap[i] = 0.0;
    motif_pair[0] = motif_pair[1] = 1.0;
    SetAllValues(KIND_PLAIN);
}

bool CPenDef::IsEqualCurrent(const CDefRef& other) const
{
    CPenDefRef ref(other);
    const CPenDef* o = ref.CheckAndResolve();
    if (GetValue() != o->values[index] || width != o->width || cap != o->cap || join != o->join ||
        miter_limit != o->miter_limit || dash_offset != o->dash_offset)
        return false;
    for (int i = 0; i < PAIRS; ++i)
        if (dash[i] != o->dash[i] || gap[i] != o->gap[i])
            return false;
    return motif_mode == o->motif_mode && motif_param == o->motif_param &&
           motif_pair[0] == o->motif_pair[0] && motif_pair[1] == o->motif_pair[1] &&
           motif_value1 == o->motif_value1 && motif_value2 == o->motif_value2 &&
           motif_value3 == o->motif_value3;
}

void CPenDef::CopyFrom(const CDefRef& other)
{
    CPenDefRef ref(other);
    const CPenDef* o = ref.CheckAndResolve();
    CDef::CopyFrom(other);
    width = o->width;
    cap = o->cap;
    join = o->join;
    miter_limit = o->miter_limit;
    std::memcpy(dash, o->dash, sizeof dash);
    std::memcpy(gap, o->gap, sizeof gap);
    dash_offset = o->dash_offset;
    motif_mode = o->motif_mode;
    motif_param = o->motif_param;
    motif_pair[0] = o->motif_pair[0];
    motif_pair[1] = o->motif_pair[1];
    motif_value1 = o->motif_value1;
    motif_value2 = o->motif_value2;
    motif_value3 = o->motif_value3;
}

void CPenDef::CloneTo(CDefRef& out) const
{
    CloneSelf(out);
}

int CPenDef::GetType() const
{
    return 10;
}

ZuStringRef CPenDef::GetDisplayName() const
{
    // The texts are ISO 8859-1, as the library's strings keep them.
    char number[64];
    FormatInUnit(number, sizeof number, width, 0);
    const char* caps = cap == 2 ? "carr\xe9" : cap == 1 ? "rond" : "coup\xe9";
    char text[160];
    std::snprintf(text, sizeof text, "%s, \xe9paisseur=%s, extr\xe9mit\xe9s=%s",
                  dash[0] != 0.0 && gap[0] != 0.0 ? "Traitill\xe9" : "Trait continu", number, caps);
    return ZuStringRef(text);
}

double CPenDef::GetLimitAngle() const
{
    return 2.0 * std::asin(1.0 / miter_limit);
}

void CPenDef::SetLimitAngle(double angle)
{
    if (angle >= 3.1415926535) {
        miter_limit = 1.0;
        return;
    }
    const double s = std::sin(angle * 0.5);
    miter_limit = s == 0.0 ? 10000.0 : 1.0 / s;
}

double CPenDef::GetDash(int i) const
{
    return i >= 0 && i < PAIRS ? dash[i] : 0.0;
}

void CPenDef::SetDash(int i, double length)
{
    if (i >= 0 && i < PAIRS)
        dash[i] = length;
}

double CPenDef::GetGap(int i) const
{
    return i >= 0 && i < PAIRS ? gap[i] : 0.0;
}

void CPenDef::SetGap(int i, double length)
{
    if (i >= 0 && i < PAIRS)
        gap[i] = length;
}

double CPenDef::GetMotifPair(int i) const
{
    return i == 0 || i == 1 ? motif_pair[i] : 0.0;
}

void CPenDef::SetMotifPair(int i, double v)
{
    if (i == 0 || i == 1)
        motif_pair[i] = v;
}

int CPenDef::CountKindValues() const
{
    return GetValue() == KIND_FANCY ? 6 : 1;
}

void CPenDef::StoreInstance(const ZuStorageRef& s)
{
    CDef::StoreInstance(s);
    s << ZuStorageSync::begin << width << cap << join << miter_limit;
    s << int(PAIRS) << ZuStorageSync::repeat;
    for (int i = 0; i < PAIRS; ++i)
        s << ZuStorageSync::begin << dash[i] << gap[i] << ZuStorageSync::end;
    s << ZuStorageSync::end_repeat << dash_offset;
    s << ZuStorageSync::mark << int(motif_mode) << motif_param << motif_pair[0] << motif_pair[1]
      << motif_value1 << motif_value2 << motif_value3;
    s << ZuStorageSync::end;
}

void CPenDef::RestoreInstance(const ZuStorageRef& s)
{
    CDef::RestoreInstance(s);
    s >> ZuStorageSync::begin >> width >> cap >> join >> miter_limit;
    // Pairs beyond the five are read and dropped.
    const long long stored = s->RestoreInt(PAIRS);
    s >> ZuStorageSync::repeat;
    for (long long i = 0; i < stored && s->CheckForBegin(); ++i) {
        double d = i < PAIRS ? dash[i] : 0.0;
        double g = i < PAIRS ? gap[i] : 0.0;
        s >> ZuStorageSync::begin >> d >> g >> ZuStorageSync::end;
        if (i < PAIRS) {
            dash[i] = d;
            gap[i] = g;
        }
    }
    s >> ZuStorageSync::end_repeat >> dash_offset;
    int mode = int(motif_mode);
    s >> ZuStorageSync::mark >> mode >> motif_param >> motif_pair[0] >> motif_pair[1] >>
        motif_value1 >> motif_value2 >> motif_value3;
    motif_mode = unsigned(mode);
    s >> ZuStorageSync::end;
}
