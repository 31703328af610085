#include "si/bitsetinfo.h"

#include "si/typeinfo.h"

ZU_ENUM_REGISTER(ZuBitsetDataType)
