#include "si/spring.h"

#include <vector>

#include "si/error.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/springband.h"
#include "si/storage.h"
#include "si/storagesync.h"

ZU_IMPLEMENT_CLASS(ZuSpring, "si/spring", ZU_CLASS_PLAIN)

namespace {

const double kMaxStretch = 1000;

ZuStorageSync& SpringRecord()
{
    static ZuStorageSync record("<ZuSpring count band { < stretch size > } >");
    return record;
}

} // namespace

ZuSpring::ZuSpring()
{
    Reset(0);
}

ZuSpring::~ZuSpring()
{
    FreeSamples();
}

void ZuSpring::Delete()
{
    band = ZuSpringBandRef();
    ZuObject::Delete();
}

void ZuSpring::FreeSamples()
{
    while (head) {
        Sample* next = head->next;
        ZuMemZone::FreeAnyZone(head, __LINE__, ZU_SRC_FILE);
        head = next;
    }
    tail = nullptr;
    count = 0;
}

void ZuSpring::TellBand()
{
    if (band.IsValid())
        band->SpringChanged();
}

void ZuSpring::Initialise(const ZuSpringBandRef& b, double size, double extra)
{
    band = b;
    if (size == 0 && extra == 1)
        RemoveAll();
    else
        Reset(size, extra);
}

void ZuSpring::Reset(double size, double extra)
{
    RemoveAll();
    Insert(0, size);
    Insert(1, size + extra);
    default_size = size;
}

void ZuSpring::Reset(double size)
{
    RemoveAll();
    Insert(0, size);
    Insert(1, size);
    default_size = size;
}

void ZuSpring::RemoveAll()
{
    FreeSamples();
    TellBand();
}

void ZuSpring::Insert(double stretch, double size)
{
    // The negated tests also turn away a stretch that is not a number.
    if (!(stretch >= 0 && stretch <= kMaxStretch))
        return;
    Sample* after = nullptr; // the new sample goes after this one (null: first)
    for (Sample* s = head; s; s = s->next) {
        if (s->stretch == stretch) {
            s->size = size;
            TellBand();
            return;
        }
        if (s->stretch > stretch)
            break;
        after = s;
    }
    if (!Zuvi_app_zone)
        ZuMemZone::NullAllocZone("ZuSpringSample", __LINE__, ZU_SRC_FILE);
    Sample* n = static_cast<Sample*>(
        Zuvi_app_zone->Alloc(sizeof(Sample), "ZuSpringSample", __LINE__, ZU_SRC_FILE));
    n->stretch = stretch;
    n->size = size;
    n->prev = after;
    n->next = after ? after->next : head;
    if (n->next)
        n->next->prev = n;
    else
        tail = n;
    if (after)
        after->next = n;
    else
        head = n;
    ++count;
    TellBand();
}

// The sample of exactly that stretch goes, whichever place it has: the
// first and the last are unlinked like the others, so the samples stay
// ascending and distinct and a spring may be left with one sample or none.
void ZuSpring::Remove(double stretch)
{
    if (!(stretch >= 0 && stretch <= kMaxStretch) || !head)
        return;
    Sample* s = head;
    while (s && s->stretch != stretch)
        s = s->next;
    if (!s)
        return;
    if (s->prev)
        s->prev->next = s->next;
    else
        head = s->next;
    if (s->next)
        s->next->prev = s->prev;
    else
        tail = s->prev;
    ZuMemZone::FreeAnyZone(s, __LINE__, ZU_SRC_FILE);
    --count;
    TellBand();
}

void ZuSpring::Merge(const ZuSpringRef& other)
{
    // Every size is computed before a sample goes; the other spring may be
    // this one.
    std::vector<std::pair<double, double>> pairs;
    const ZuSpring* o = other.CheckAndResolve();
    for (const Sample* s = o->head; s; s = s->next)
        pairs.emplace_back(s->stretch, FindSize(s->stretch) + s->size);
    for (const Sample* s = head; s; s = s->next)
        pairs.emplace_back(s->stretch, o->FindSize(s->stretch) + s->size);
    RemoveAll();
    for (const auto& p : pairs)
        Insert(p.first, p.second);
}

double ZuSpring::ComputeDefaultSize(double stretch)
{
    default_size = FindSize(stretch);
    return default_size;
}

double ZuSpring::RetDefaultSize() const
{
    return default_size;
}

void ZuSpring::FindSegment(Key by, double key, const Sample*& a, const Sample*& b) const
{
    a = head;
    b = head->next;
    while (b != tail && key > (by == BY_STRETCH ? b->stretch : b->size)) {
        a = b;
        b = b->next;
    }
}

double ZuSpring::FindSize(double stretch) const
{
    if (!head)
        return 0;
    if (!head->next)
        return head->size;
    const Sample *a, *b;
    FindSegment(BY_STRETCH, stretch, a, b);
    return a->size + (stretch - a->stretch) * (b->size - a->size) / (b->stretch - a->stretch);
}

double ZuSpring::FindSlope(double stretch) const
{
    if (!head || !head->next)
        return 0;
    const Sample *a, *b;
    FindSegment(BY_STRETCH, stretch, a, b);
    return (b->size - a->size) / (b->stretch - a->stretch);
}

double ZuSpring::FindStretch(double size) const
{
    if (!head)
        return 0;
    if (!head->next)
        return head->stretch;
    const Sample *a, *b;
    FindSegment(BY_SIZE, size, a, b);
    double slope = (b->size - a->size) / (b->stretch - a->stretch);
    if (slope == 0)
        return b->stretch;
    return a->stretch + (size - a->size) / slope;
}

unsigned ZuSpring::CountSamples() const
{
    return count;
}

bool ZuSpring::GetNthSample(unsigned n, double& stretch, double& size) const
{
    stretch = 0;
    size = 0;
    if (n >= count)
        return false;
    const Sample* s = head;
    while (n--)
        s = s->next;
    stretch = s->stretch;
    size = s->size;
    return true;
}

void ZuSpring::StoreInstance(const ZuStorageRef& s)
{
    ZuObject::StoreInstance(s);
    s << SpringRecord() << ZuStorageSync::begin;
    s->StoreCard(count);
    s->StoreObject(band);
    for (const Sample* p = head; p; p = p->next) {
        s << ZuStorageSync::repeat << ZuStorageSync::begin;
        s->StoreReal(p->stretch);
        s->StoreReal(p->size);
        s << ZuStorageSync::end;
    }
    s << ZuStorageSync::end_repeat << ZuStorageSync::end;
}

void ZuSpring::RestoreInstance(const ZuStorageRef& s)
{
    ZuObject::RestoreInstance(s);
    RemoveAll();
    s >> ZuStorageSync::type >> ZuStorageSync::begin;
    std::uint64_t stored = s->RestoreCard(0);
    ZuObjectRef b;
    s->RestoreObject(b, ZuSpringBandRef::RetRuntime());
    band = b.IsValid() && b->IsKindOf(ZuSpringBandRef::RetRuntime()) ? ZuSpringBandRef(b)
                                                                     : ZuSpringBandRef();
    // The count comes from outside: samples are read only while their
    // records are there, each added as Insert adds it (a stretch outside 0
    // to 1000 is dropped, one met again replaces the size).
    for (std::uint64_t i = 0; i < stored && s->CheckForBegin(); ++i) {
        s >> ZuStorageSync::repeat >> ZuStorageSync::begin;
        double stretch = s->RestoreReal(0);
        double size = s->RestoreReal(0);
        s >> ZuStorageSync::end;
        Insert(stretch, size);
    }
    s >> ZuStorageSync::end_repeat >> ZuStorageSync::end;
}
