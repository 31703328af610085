#include "si/fileatt.h"

#include "si/error.h"
#include "si/typeinfo.h"
#include "si/values.h"

ZuFileAttInfo const ZuFileAttInfo::empty;

ZU_ENUM_REGISTER(ZuFileAttributesBit)
ZU_BITSET_REGISTER(ZuFileAttributes)
ZU_TYPE_REGISTER(ZuFileAttInfo, "ZuFileAttInfo", nullptr, ZU_TYPE_STRUCT, nullptr,
                 sizeof(ZuFileAttInfo))

ZuFileAttributes Zuvi_ValueToZuFileAttributes(ZuValueRef const& value)
{
    return ZuFileAttributes(value);
}

ZuFileAttInfo Zuvi_ValueToZuFileAttInfo(ZuValueRef const&)
{
    ZU_ABORT("No conversion between ZuValue and type ZuFileAttInfo");
}
