#include "app/def.h"

#include <cstring>

#include "si/classfactory.h"
#include "si/error.h"
#include "si/rtclass.h"
#include "si/storage.h"

ZU_IMPLEMENT_CLASS(CDef, "app/def", ZU_CLASS_PLAIN)

namespace {

int ClampCount(long long n)
{
    if (n < 1)
        return 1;
    if (n > CDef::MAX_VALUES)
        return CDef::MAX_VALUES;
    return int(n);
}

int ClampIndex(long long i, int count)
{
    if (i < 0)
        return 0;
    if (i > count - 1)
        return count - 1;
    return int(i);
}

} // namespace

CDef::CDef() : shared(false), kind(0), count(1), index(0), style(0)
{
    std::memset(name, 0, sizeof name);
    SetAllValues(-1);
}

CDef::~CDef() {}

void CDef::Delete()
{
    ZuObject::Delete();
}

bool CDef::IsEqualCurrent(const CDefRef&) const
{
    return false;
}

bool CDef::IsEqualAll(const CDefRef&) const
{
    return false;
}

void CDef::CopyFrom(const CDefRef& other)
{
    const CDef* o = other.CheckAndResolve();
    if (o == this)
        return;
    shared = o->shared;
    std::memcpy(name, o->name, sizeof name);
    kind = o->kind;
    count = o->count;
    index = o->index;
    style = o->style;
    std::memcpy(values, o->values, sizeof values);
}

void CDef::CloneTo(CDefRef&) const {}

void CDef::CloneSelf(CDefRef& out) const
{
    CDef* self = const_cast<CDef*>(this);
    if (shared) {
        out = self;
        return;
    }
    CDefRef copy(ZuObjectRef(ZuClassFactory::New(RetRuntime(), nullptr, __LINE__, ZU_SRC_FILE)));
    out = copy;
    copy->CopyFrom(CDefRef(self));
}

int CDef::GetType() const
{
    return -1;
}

bool CDef::SetKind(int k)
{
    kind = k;
    return true;
}

int CDef::GetKind() const
{
    return kind;
}

int CDef::GetValue() const
{
    return values[index];
}

bool CDef::SetValue(int value)
{
    values[index] = value;
    return true;
}

ZuStringRef CDef::GetDisplayName() const
{
    return ZuStringNull;
}

ZuStringRef CDef::GetName() const
{
    return ZuStringRef(name);
}

void CDef::SetName(const ZuStringRef& text)
{
    // A longer name is cut to the places there are.
    if (text.IsValid())
        text->GetStringCopy(name, sizeof name);
    else
        name[0] = 0;
}

bool CDef::IsShared() const
{
    return shared;
}

void CDef::SetShared(bool s)
{
    shared = s;
}

int CDef::GetCount() const
{
    return count;
}

bool CDef::SetCount(int n)
{
    count = ClampCount(n);
    index = ClampIndex(index, count);
    return true;
}

int CDef::GetStyle() const
{
    return style;
}

bool CDef::SetStyle(int s)
{
    style = s;
    return true;
}

int CDef::GetIndex() const
{
    return index;
}

bool CDef::SetIndex(int i)
{
    index = ClampIndex(i, count);
    return true;
}

void CDef::SetAllValues(int value)
{
    for (int& v : values)
        v = value;
}

void CDef::StoreInstance(const ZuStorageRef& s)
{
    ZuObject::StoreInstance(s);
    s << ZuStorageSync::begin << ZuStorageSync::mark << shared << kind;
    s << ZuStorageSync::mark;
    const int length = int(strnlen(name, NAME_PLACES - 1));
    s << length;
    s->StoreBinData(name, unsigned(length) + 1);
    s << int(MAX_VALUES) << ZuStorageSync::repeat;
    for (int v : values)
        s << ZuStorageSync::begin << v << ZuStorageSync::end;
    s << ZuStorageSync::end_repeat;
    s << ZuStorageSync::mark << count << index << style;
    s << ZuStorageSync::end;
}

void CDef::RestoreInstance(const ZuStorageRef& s)
{
    ZuObject::RestoreInstance(s);
    s >> ZuStorageSync::begin >> ZuStorageSync::mark >> shared >> kind;
    s >> ZuStorageSync::mark;
    RestoreName(s, s->RestoreInt(-1));
    // The stored count is outside data: values beyond the ten places are
    // read and dropped, and only while the stream holds value blocks.
    const long long stored = s->RestoreInt(0);
    s >> ZuStorageSync::repeat;
    for (long long i = 0; i < stored && s->CheckForBegin(); ++i) {
        int v = i < MAX_VALUES ? values[i] : 0;
        s >> ZuStorageSync::begin >> v >> ZuStorageSync::end;
        if (i < MAX_VALUES)
            values[i] = v;
    }
    s >> ZuStorageSync::end_repeat;
    // Count and index select among the ten values: a stored pair outside
    // them is brought back as SetCount and SetIndex would, before the
    // definition holds it.
    int stored_count = count, stored_index = index;
    s >> ZuStorageSync::mark >> stored_count >> stored_index;
    count = ClampCount(stored_count);
    index = ClampIndex(stored_index, count);
    s >> style >> ZuStorageSync::end;
}

void CDef::RestoreName(const ZuStorageRef& s, long long length)
{
    if (length < 0) {
        // No length to go by (none stored, or a negative one): the name
        // is kept, and a name item that follows is passed over whole.
        s->RestoreBinData(nullptr, 0);
        return;
    }
    // The stored name is length + 1 bytes; what does not fit the places is
    // read and dropped, so that the stream stays in step.
    char text[NAME_PLACES] = {};
    const unsigned long long wanted = (unsigned long long)length + 1;
    const unsigned kept = wanted < NAME_PLACES ? unsigned(wanted) : unsigned(NAME_PLACES);
    s->RestoreBinData(text, kept);
    unsigned long long rest = wanted - kept;
    char dropped[1000];
    while (rest && !s->CheckForEnd() && !s->CheckForMark()) {
        const unsigned n = rest < sizeof dropped ? unsigned(rest) : unsigned(sizeof dropped);
        s->RestoreBinData(dropped, n);
        rest -= n;
    }
    text[length < NAME_PLACES - 1 ? length : NAME_PLACES - 1] = 0;
    std::memcpy(name, text, sizeof name);
}
