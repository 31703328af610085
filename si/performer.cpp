#include "si/performer.h"

#include "si/rtclass.h"

ZU_IMPLEMENT_CLASS(ZuPerformer, ZuObject, ZU_SRC_FILE, ZU_CLASS_ABSTRACT)

void ZuPerformer::SetArgument(const ZuObjectRef& a)
{
    arg = a;
}

void ZuPerformer::Delete()
{
    arg = ZuObjectNull;
    ZuObject::Delete();
}
