#include "si/bitset.h"

#include "si/typeinfo.h"

static_assert(sizeof(ZuBitset) == 8, "a bitset is two 32-bit words");

ZU_TYPE_REGISTER(ZuBitset, "ZuBitset", nullptr, ZU_TYPE_BITSET, nullptr, 8)
