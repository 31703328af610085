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

bool ZuAttributeFileFilter::SetMatch(const Bitset<ZuFileAttributesBit>& data,
                                     const Bitset<ZuFileAttributesBit>& mask)
{
    SetMatchData(data);
    SetMatchMask(mask);
    return true;
}

bool ZuAttributeFileFilter::SetMatchData(const Bitset<ZuFileAttributesBit>& data)
{
    match_data = data;
    return true;
}

bool ZuAttributeFileFilter::SetMatchMask(const Bitset<ZuFileAttributesBit>& mask)
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

bool ZuAttributeFileFilter::Check(const ZuStringRef&, const ZuFileAttInfo& info) const
{
    bool equal = (info.attributes.RetBits() & match_mask.RetBits()) == match_data.RetBits();
    return RetCheckMode() ? equal : !equal;
}

ZuObjectRef ZuAttributeFileFilter::Copy(const ZuObjectRef& other)
{
    if (other.IsValid() && other->IsKindOf(ZuAttributeFileFilterRef::RetRuntime())) {
        ZuAttributeFileFilterRef filter(other);
        SetMatchData(filter->RetMatchData());
        SetMatchMask(filter->RetMatchMask());
    }
    return ZuObject::Copy(other);
}

void ZuAttributeFileFilter::StoreInstance(const ZuStorageRef& storage)
{
    ZuObject::StoreInstance(storage);
    storage << FilterRecord() << ZuStorageSync::begin;
    ZuiFileFilter::StoreInstance(storage);
    storage << static_cast<const ZuBitset&>(match_data) << static_cast<const ZuBitset&>(match_mask)
            << ZuStorageSync::end;
}

void ZuAttributeFileFilter::RestoreInstance(const ZuStorageRef& storage)
{
    ZuObject::RestoreInstance(storage);
    storage >> ZuStorageSync::type >> ZuStorageSync::begin;
    ZuiFileFilter::RestoreInstance(storage);
    storage >> static_cast<ZuBitset&>(match_data) >> static_cast<ZuBitset&>(match_mask) >>
        ZuStorageSync::end;
}
