#include "si/ifilefilter.h"

#include "si/storage.h"

void ZuiFileFilter::StoreInstance(const ZuStorageRef& storage)
{
    storage << ZuStorageSync::begin;
    storage->StoreBool(check_mode);
    storage << ZuStorageSync::end;
}

void ZuiFileFilter::RestoreInstance(const ZuStorageRef& storage)
{
    storage >> ZuStorageSync::begin;
    check_mode = storage->RestoreBool(check_mode);
    storage >> ZuStorageSync::end;
}

bool ZuiFileFilter::SetCheckMode(bool mode)
{
    check_mode = mode;
    return true;
}

bool ZuiFileFilter::RetCheckMode() const
{
    return check_mode;
}
