#include "si/icache.h"

#include "si/globallock.h"
#include "si/object.h"
#include "si/objectref.h"

// Every live object once: a mark pass of its own tells the objects already
// visited (several handles may lead to one object).
bool ZuiCache::DumpStatisticsForAll(FILE* file)
{
    ZuObjectStatusBit bit;
    if (!ZuObject::MarkAndSweepBegin(bit))
        return false;
    {
        ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_HANDLE);
        for (ZuObjectRef* handle = ZuObjectRef::g_head; handle; handle = handle->RetGlobalNext()) {
            ZuObject* object = handle->RetRawObject();
            if (!object || object->MarkAndSweepSet(bit))
                continue;
            if (object->SupportsInterface(&ZuiCache::interface))
                if (auto* cache =
                        static_cast<ZuiCache*>(object->CastToInterface(&ZuiCache::interface)))
                    cache->DumpStatistics(file);
        }
    }
    ZuObject::MarkAndSweepReset(bit);
    ZuObject::MarkAndSweepEnd(bit);
    return true;
}
