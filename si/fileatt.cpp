#include "si/fileatt.h"

#include "si/typeinfo.h"

ZuFileAttInfo const ZuFileAttInfo::empty;

ZU_ENUM_REGISTER(ZuFileAttributesBit)
ZU_BITSET_REGISTER(ZuFileAttributes)
ZU_TYPE_REGISTER(ZuFileAttInfo, "ZuFileAttInfo", nullptr, ZU_TYPE_STRUCT, nullptr,
                 sizeof(ZuFileAttInfo))
