#include "si/debughook.h"

#include "si/rtclass.h"
#include "si/storage.h"

ZU_IMPLEMENT_CLASS(ZuDebugHook, ZU_SRC_FILE, ZU_CLASS_PLAIN)

namespace {

ZuStorageSync& DebugHookRecord()
{
    static ZuStorageSync record("<ZuDebugHook>");
    return record;
}

} // namespace

void ZuDebugHook::StoreInstance(const ZuStorageRef& s)
{
    ZuObject::StoreInstance(s);
    s << DebugHookRecord() << ZuStorageSync::begin << ZuStorageSync::end;
}

void ZuDebugHook::RestoreInstance(const ZuStorageRef& s)
{
    ZuObject::RestoreInstance(s);
    s >> ZuStorageSync::type >> ZuStorageSync::begin >> ZuStorageSync::end;
}
