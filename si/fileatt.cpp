#include "si/fileatt.h"

#include "si/error.h"
#include "si/storage.h"
#include "si/storageformat.h"
#include "si/typeinfo.h"
#include "si/values.h"

#include <cstdint>

const ZuFileAttInfo ZuFileAttInfo::empty;

ZU_ENUM_REGISTER(ZuFileAttributesBit)
ZU_BITSET_REGISTER(ZuFileAttributes)
ZU_TYPE_REGISTER(ZuFileAttInfo, "ZuFileAttInfo", nullptr, ZU_TYPE_STRUCT, nullptr,
                 sizeof(ZuFileAttInfo))

ZuFileAttributes Zuvi_ValueToZuFileAttributes(const ZuValueRef& value)
{
    return ZuFileAttributes(value);
}

ZuFileAttInfo Zuvi_ValueToZuFileAttInfo(const ZuValueRef&)
{
    ZU_ABORT("No conversion between ZuValue and type ZuFileAttInfo");
}

// ---- Storage ---------------------------------------------------------------

namespace {

// The storage's integer keeps 32 bits only, and sizes and absolute times
// need all 64: a value beyond 32 bits is written as the format's 64-bit
// integer item, which every reader takes; smaller values are written
// exactly as before.
void StoreInt64(const ZuStorageRef& storage, int64_t value)
{
    if (value >= INT32_MIN && value <= INT32_MAX) {
        storage->StoreInt(value);
        return;
    }
    unsigned char item[9];
    item[0] = Zuvi_StorageFormat::TYP_INT64;
    uint64_t bits = static_cast<uint64_t>(value);
    for (int i = 0; i < 8; ++i)
        item[1 + i] = static_cast<unsigned char>(bits >> (56 - 8 * i));
    storage->StoreData(item, sizeof item);
}

} // namespace

const ZuStorageRef& operator<<(const ZuStorageRef& storage, const ZuFileAttInfo& info)
{
    storage << ZuStorageSync::begin;
    StoreInt64(storage, static_cast<int64_t>(info.size));
    StoreInt64(storage, info.time_created);
    StoreInt64(storage, info.time_modified);
    StoreInt64(storage, info.time_accessed);
    storage << static_cast<const ZuBitset&>(info.attributes);
    storage << ZuStorageSync::end;
    return storage;
}

const ZuStorageRef& operator>>(const ZuStorageRef& storage, ZuFileAttInfo& info)
{
    storage >> ZuStorageSync::begin;
    info.size = static_cast<uint64_t>(storage->RestoreInt(static_cast<int64_t>(info.size)));
    info.time_created = storage->RestoreInt(info.time_created);
    info.time_modified = storage->RestoreInt(info.time_modified);
    info.time_accessed = storage->RestoreInt(info.time_accessed);
    storage >> static_cast<ZuBitset&>(info.attributes);
    storage >> ZuStorageSync::end;
    return storage;
}
