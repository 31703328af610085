// Out-of-line parts of the simple arrays: zone allocation, the access
// exception and the framing of the stored form.
#include "si/simplearray.h"

#include "si/except.h"
#include "si/memzone.h"
#include "si/storage.h"

namespace {
const char* const src_file = "Zuvi/simplearray";
}

namespace zuvi_simplearray {

void* AllocBlock(unsigned long bytes, const char* name, unsigned line)
{
    if (bytes > 0xFFFFFFF0UL)
        throw ZuExcMemory(ZuExcMemory::Error(0), nullptr, line, src_file);
    if (Zuvi_app_zone == nullptr)
        ZuMemZone::NullAllocZone(name, line, src_file);
    return Zuvi_app_zone->Alloc(static_cast<unsigned>(bytes), name, line, src_file, ZU_MEM_BIN);
}

void FreeBlock(void* block, unsigned line)
{
    ZuMemZone::FreeAnyZone(block, line, src_file);
}

void ThrowAccess()
{
    throw ZuExcAccess(ZuExcAccess::Error(1));
}

void StoreHead(const ZuStorageRef& s, unsigned count, unsigned grow_step)
{
    s << ZuStorageSync::begin;
    s->StoreCard(count);
    s->StoreCard(grow_step);
    s << ZuStorageSync::mark;
}

unsigned RestoreHead(const ZuStorageRef& s, unsigned& grow_step)
{
    s >> ZuStorageSync::begin;
    unsigned long long stored = s->RestoreCard(0);
    grow_step = static_cast<unsigned>(s->RestoreCard(grow_step));
    s >> ZuStorageSync::mark;
    return stored > 0xFFFFFFFFULL ? 0xFFFFFFFFu : static_cast<unsigned>(stored);
}

bool MoreItems(const ZuStorageRef& s)
{
    return !s->CheckForEnd() && !s->CheckForMark();
}

void StoreTail(const ZuStorageRef& s)
{
    s << ZuStorageSync::end;
}
void RestoreTail(const ZuStorageRef& s)
{
    s >> ZuStorageSync::end;
}

void StoreElement(const ZuStorageRef& s, const bool& v)
{
    s->StoreBool(v);
}
void RestoreElement(const ZuStorageRef& s, bool& v)
{
    v = s->RestoreBool(v);
}
void StoreElement(const ZuStorageRef& s, const unsigned int& v)
{
    s->StoreCard(v);
}
void RestoreElement(const ZuStorageRef& s, unsigned int& v)
{
    v = static_cast<unsigned int>(s->RestoreCard(v));
}

} // namespace zuvi_simplearray
