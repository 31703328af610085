#include "si/performer.h"

#include "si/rtclass.h"
#include "si/storage.h"

ZU_IMPLEMENT_CLASS(ZuPerformer, ZU_SRC_FILE, ZU_CLASS_ABSTRACT)

void ZuPerformer::SetArgument(const ZuObjectRef& a)
{
    arg = a;
}

void ZuPerformer::Delete()
{
    arg = ZuObjectNull;
    ZuObject::Delete();
}

void ZuPerformer::StoreInstance(const ZuStorageRef& s)
{
    static ZuStorageSync record("<ZuPerformer arg>");
    ZuObject::StoreInstance(s);
    s << record;
    s->StoreObject(arg);
}

void ZuPerformer::RestoreInstance(const ZuStorageRef& s)
{
    ZuObject::RestoreInstance(s);
    s >> ZuStorageSync::type;
    s->RestoreObject(arg, ZuObjectRef::RetRuntime());
}
