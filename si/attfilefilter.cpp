#include "si/attfilefilter.h"

#include "si/classfactory.h"
#include "si/rtclass.h"
#include "si/storage.h"

namespace {

const char kFile[] = "si/attfilefilter";

ZuStorageSync& FilterRecord()
{
    static ZuStorageSync record("<ZuAttributeFileFilter <ZuiFileFilter> match_data match_mask>");
    return record;
}

} // namespace

ZU_IMPLEMENT_CLASS(ZuAttributeFileFilter, kFile, ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(ZuAttributeFileFilter, ZuiFileFilter)

ZuAttributeFileFilter::ZuAttributeFileFilter() {}

bool ZuAttributeFileFilter::SetMatch(Bitset<ZuFileAttributesBit> const& data,
                                     Bitset<ZuFileAttributesBit> const& mask)
{
    SetMatchData(data);
    SetMatchMask(mask);
    return true;
}

bool ZuAttributeFileFilter::SetMatchData(Bitset<ZuFileAttributesBit> const& data)
{
    match_data = data;
    return true;
}

bool ZuAttributeFileFilter::SetMatchMask(Bitset<ZuFileAttributesBit> const& mask)
{
    match_mask = mask;
    return true;
}

Bitset<ZuFileAttributesBit> ZuAttributeFileFilter::RetMatchData()
{
    return match_data;
}

Bitset<ZuFileAttributesBit> ZuAttributeFileFilter::RetMatchMask()
{
    return match_mask;
}

bool ZuAttributeFileFilter::Check(ZuStringRef const&, ZuFileAttInfo const& info) const
{
    bool equal = (info.attributes.RetBits() & match_mask.RetBits()) == match_data.RetBits();
    return RetCheckMode() ? equal : !equal;
}

ZuObjectRef ZuAttributeFileFilter::Copy(ZuObjectRef const& other)
{
    if (other.IsValid() && other->IsKindOf(ZuAttributeFileFilterRef::RetRuntime())) {
        ZuAttributeFileFilterRef filter(other);
        SetMatchData(filter->RetMatchData());
        SetMatchMask(filter->RetMatchMask());
    }
    return ZuObject::Copy(other);
}

void ZuAttributeFileFilter::StoreInstance(ZuStorageRef const& storage)
{
    ZuObject::StoreInstance(storage);
    storage << FilterRecord() << ZuStorageSync::begin;
    ZuiFileFilter::StoreInstance(storage);
    storage << static_cast<ZuBitset const&>(match_data) << static_cast<ZuBitset const&>(match_mask)
            << ZuStorageSync::end;
}

void ZuAttributeFileFilter::RestoreInstance(ZuStorageRef const& storage)
{
    ZuObject::RestoreInstance(storage);
    storage >> ZuStorageSync::type >> ZuStorageSync::begin;
    ZuiFileFilter::RestoreInstance(storage);
    storage >> static_cast<ZuBitset&>(match_data) >> static_cast<ZuBitset&>(match_mask)
            >> ZuStorageSync::end;
}
