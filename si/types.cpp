#include "si/types.h"

#include "si/error.h"
#include "si/key.h"
#include "si/typeinfo.h"

// Basic types, in registration order.
ZU_TYPE_REGISTER(Int8, "Int8", nullptr, ZU_TYPE_INT, nullptr, 1)
ZU_TYPE_REGISTER(Int16, "Int16", nullptr, ZU_TYPE_INT, nullptr, 2)
ZU_TYPE_REGISTER(Int32, "Int32", nullptr, ZU_TYPE_INT, nullptr, 4)
ZU_TYPE_REGISTER(Int64, "Int64", nullptr, ZU_TYPE_INT, nullptr, 8)
ZU_TYPE_REGISTER(Card8, "Card8", nullptr, ZU_TYPE_CARD, nullptr, 1)
ZU_TYPE_REGISTER(Card16, "Card16", nullptr, ZU_TYPE_CARD, nullptr, 2)
ZU_TYPE_REGISTER(Card32, "Card32", nullptr, ZU_TYPE_CARD, nullptr, 4)
ZU_TYPE_REGISTER(Card64, "Card64", nullptr, ZU_TYPE_CARD, nullptr, 8)
ZU_TYPE_REGISTER(Real, "Real", nullptr, ZU_TYPE_REAL, nullptr, 8)
ZU_TYPE_REGISTER(LatinChar, "LatinChar", nullptr, ZU_TYPE_LSTRING, nullptr, 1)
ZU_TYPE_REGISTER(Bool, "Bool", nullptr, ZU_TYPE_BOOL, nullptr, 1)
ZU_TYPE_REGISTER(UnicodeChar, "UnicodeChar", &Card16_type, ZU_TYPE_USTRING, nullptr, 2)
ZU_TYPE_REGISTER(ZuCoord, "ZuCoord", &Real_type, ZU_TYPE_REAL, nullptr, 8)
ZU_TYPE_REGISTER(ZuRelCoord, "ZuRelCoord", &Real_type, ZU_TYPE_REAL, nullptr, 8)
ZU_TYPE_REGISTER(Count, "Count", &Card32_type, ZU_TYPE_CARD, nullptr, 4)
ZU_TYPE_REGISTER(Byte, "Byte", &Card8_type, ZU_TYPE_CARD, nullptr, 1)
// Pointers are 64-bit here, and so are the values of these two types.
ZU_TYPE_REGISTER(ZuResID, "ZuResID", &Pointer_type, static_cast<ZuSimpleType>(10), nullptr,
                 sizeof(void *))
ZU_TYPE_REGISTER(Pointer, "Pointer", nullptr, static_cast<ZuSimpleType>(10), nullptr,
                 sizeof(void *))
ZU_TYPE_REGISTER(ZuKey, "ZuKey", nullptr, ZU_TYPE_STRUCT, nullptr, sizeof(ZuKey))
ZU_BITSET_REGISTER(ZuKeyModifiers)
ZU_ENUM_REGISTER(ZuKeyModifier)
ZU_ENUM_REGISTER(ZuKeyType)
ZU_ENUM_REGISTER(ZuKeyCursor)
ZU_ENUM_REGISTER(ZuSimpleType)
ZU_TYPE_REGISTER(ZuTimeTick, "ZuTimeTick", &Int64_type, ZU_TYPE_INT, nullptr, 8)
ZU_TYPE_REGISTER(ZuFilePos, "ZuFilePos", &Int64_type, ZU_TYPE_INT, nullptr, 8)

ZuKey Zuvi_ValueToZuKey(ZuValueRef const &)
{
    Zuvi_ErrorAbort("No conversion between ZuValue and type ZuKey", 73, ZU_SRC_FILE);
}
