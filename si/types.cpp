#include "si/types.h"

#include "si/error.h"
#include "si/key.h"
#include "si/storage.h"
#include "si/typeinfo.h"
#include "si/values.h"

// Places that the library's diagnostics print (zone dumps, memory and
// assertion messages) are fixed line numbers, not __LINE__: what a dump or
// a log shows stays the same however this file is laid out.
namespace {
const unsigned kNoKeyConversionLine = 73; // the refused conversion to a key
} // namespace

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
                 sizeof(void*))
ZU_TYPE_REGISTER(Pointer, "Pointer", nullptr, static_cast<ZuSimpleType>(10), nullptr, sizeof(void*))
ZU_TYPE_REGISTER(ZuKey, "ZuKey", nullptr, ZU_TYPE_STRUCT, nullptr, sizeof(ZuKey))
ZU_BITSET_REGISTER(ZuKeyModifiers)
ZU_ENUM_REGISTER(ZuKeyModifier)
ZU_ENUM_REGISTER(ZuKeyType)
ZU_ENUM_REGISTER(ZuKeyCursor)
ZU_ENUM_REGISTER(ZuSimpleType)
ZU_TYPE_REGISTER(ZuTimeTick, "ZuTimeTick", &Int64_type, ZU_TYPE_INT, nullptr, 8)
ZU_TYPE_REGISTER(ZuFilePos, "ZuFilePos", &Int64_type, ZU_TYPE_INT, nullptr, 8)

ZuKey Zuvi_ValueToZuKey(const ZuValueRef&)
{
    Zuvi_ErrorAbort("No conversion between ZuValue and type ZuKey", kNoKeyConversionLine,
                    ZU_SRC_FILE);
}

namespace {

ZuValue* ValueOf(const ZuValueRef& value)
{
    return value.IsInvalid() ? nullptr : value.operator->();
}

} // namespace

int8_t Zuvi_ValueToInt8(const ZuValueRef& value)
{
    ZuValue* v = ValueOf(value);
    return v ? static_cast<int8_t>(v->RetInt32()) : 0;
}

int16_t Zuvi_ValueToInt16(const ZuValueRef& value)
{
    ZuValue* v = ValueOf(value);
    return v ? static_cast<int16_t>(v->RetInt32()) : 0;
}

int32_t Zuvi_ValueToInt32(const ZuValueRef& value)
{
    ZuValue* v = ValueOf(value);
    return v ? static_cast<int32_t>(v->RetInt32()) : 0;
}

int64_t Zuvi_ValueToInt64(const ZuValueRef& value)
{
    ZuValue* v = ValueOf(value);
    return v ? static_cast<int64_t>(v->RetInt64()) : 0;
}

int64_t Zuvi_ValueToZuTimeTick(const ZuValueRef& value)
{
    return Zuvi_ValueToInt64(value);
}

int64_t Zuvi_ValueToZuFilePos(const ZuValueRef& value)
{
    return Zuvi_ValueToInt64(value);
}

unsigned int Zuvi_ValueToCard32(const ZuValueRef& value)
{
    ZuValue* v = ValueOf(value);
    return v ? static_cast<unsigned int>(v->RetCard32()) : 0;
}

uint8_t Zuvi_ValueToCard8(const ZuValueRef& value)
{
    return static_cast<uint8_t>(Zuvi_ValueToCard32(value));
}

uint16_t Zuvi_ValueToCard16(const ZuValueRef& value)
{
    return static_cast<uint16_t>(Zuvi_ValueToCard32(value));
}

uint32_t Zuvi_ValueToCount(const ZuValueRef& value)
{
    return Zuvi_ValueToCard32(value);
}

uint8_t Zuvi_ValueToByte(const ZuValueRef& value)
{
    return static_cast<uint8_t>(Zuvi_ValueToCard32(value));
}

char Zuvi_ValueToLatinChar(const ZuValueRef& value)
{
    return static_cast<char>(Zuvi_ValueToCard32(value));
}

uint16_t Zuvi_ValueToUnicodeChar(const ZuValueRef& value)
{
    return static_cast<uint16_t>(Zuvi_ValueToCard32(value));
}

uint64_t Zuvi_ValueToCard64(const ZuValueRef& value)
{
    ZuValue* v = ValueOf(value);
    return v ? static_cast<uint64_t>(v->RetCard64()) : 0;
}

double Zuvi_ValueToReal(const ZuValueRef& value)
{
    ZuValue* v = ValueOf(value);
    return v ? v->RetReal() : 0.0;
}

double Zuvi_ValueToZuCoord(const ZuValueRef& value)
{
    return Zuvi_ValueToReal(value);
}

double Zuvi_ValueToZuRelCoord(const ZuValueRef& value)
{
    return Zuvi_ValueToReal(value);
}

// Through the cardinal, not RetBool: a text "true" or a real 0.5 is false.
bool Zuvi_ValueToBool(const ZuValueRef& value)
{
    return Zuvi_ValueToCard32(value) != 0;
}

void* Zuvi_ValueToPointer(const ZuValueRef& value)
{
    ZuValue* v = ValueOf(value);
    return v ? v->RetPointer() : nullptr;
}

ZuResIDDef* Zuvi_ValueToZuResID(const ZuValueRef& value)
{
    return static_cast<ZuResIDDef*>(Zuvi_ValueToPointer(value));
}

ZuKeyModifiers Zuvi_ValueToZuKeyModifiers(const ZuValueRef& value)
{
    ZuKeyModifiers set;
    set.SetBits(Zuvi_ValueToCard64(value));
    return set;
}

// The code as the storage's cardinal (upper half 0).
const ZuStorageRef& Zuvi_StoreEnumCode(const ZuStorageRef& storage, unsigned int code)
{
    storage->StoreCard(code);
    return storage;
}

// Read as an unsigned number into the caller's variable, which holds the
// default; codes are not checked against the table.
const ZuStorageRef& Zuvi_RestoreEnumCode(const ZuStorageRef& storage, unsigned int& code)
{
    return storage >> code;
}
