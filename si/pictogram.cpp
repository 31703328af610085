#include "si/pictogram.h"

#include "si/rtclass.h"
#include "si/storage.h"

ZU_IMPLEMENT_CLASS(ZuPictogram, "si/pictogram", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(ZuPictogram, ZuiPictogram)
ZU_IMPLEMENT_INTERFACE(ZuPictogram, ZuiPictogramLabel)

ZuObjectRef ZuPictogram::Copy(const ZuObjectRef& source)
{
    CopyPictogramLabel(source);
    return ZuObject::Copy(source);
}

void ZuPictogram::StoreInstance(const ZuStorageRef& storage)
{
    ZuObject::StoreInstance(storage);
    ZuiPictogramLabel::StoreInstance(storage);
}

void ZuPictogram::RestoreInstance(const ZuStorageRef& storage)
{
    ZuObject::RestoreInstance(storage);
    ZuiPictogramLabel::RestoreInstance(storage);
}
