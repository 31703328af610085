// The library's basic types, the converters from dynamic values to them,
// and the enumerations of kinds and keys.
#ifndef SI_TYPES_H
#define SI_TYPES_H

#include <cstdint>

#include "si/bitset.h"
#include "si/enumfamily.h"

class ZuValueRef;
struct ZuResIDDef;
struct ZuKey;

// The kind of a type or of a value. A value holding a pointer uses kind 10,
// which has no entry in the table (not valid, name "?").
// clang-format off
#define ZU_SIMPLE_TYPE_LIST(X)                                                  \
    X(ZU_TYPE_NONE, 0) X(ZU_TYPE_BOOL, 1) X(ZU_TYPE_INT, 2) X(ZU_TYPE_CARD, 3)  \
    X(ZU_TYPE_ENUM, 4) X(ZU_TYPE_REAL, 5) X(ZU_TYPE_BITSET, 6)                  \
    X(ZU_TYPE_COLOR, 7) X(ZU_TYPE_RECT, 8) X(ZU_TYPE_TEXTSTYLE, 9)              \
    X(ZU_TYPE_OBJECT, 100) X(ZU_TYPE_TEXT, 101) X(ZU_TYPE_ARRAY, 102)           \
    X(ZU_TYPE_USER, 120) X(ZU_TYPE_LSTRING, 198) X(ZU_TYPE_USTRING, 199)        \
    X(ZU_TYPE_STRUCT, 200) X(ZU_TYPE_UNION, 201) X(ZU_TYPE_OTHER, 202)          \
    X(ZU_TYPE_ANY, 255)
// clang-format on
ZU_ENUM(ZuSimpleType, ZU_SIMPLE_TYPE_LIST)

// The modifier keys of a key record, as bit numbers of ZuKeyModifiers.
// clang-format off
#define ZU_KEY_MODIFIER_LIST(X)                                                 \
    X(ZU_MOD_SHIFT, 0) X(ZU_MOD_CONTROL, 1)                                     \
    X(ZU_MOD_META_1, 8) X(ZU_MOD_META_2, 9) X(ZU_MOD_META_3, 10)                \
    X(ZU_MOD_META_4, 11) X(ZU_MOD_META_5, 12) X(ZU_MOD_META_6, 13)              \
    X(ZU_MOD_META_7, 14) X(ZU_MOD_META_8, 15)                                   \
    X(ZU_MOD_LEFT_SHIFT, 16) X(ZU_MOD_RIGHT_SHIFT, 17)                          \
    X(ZU_MOD_LEFT_CONTROL, 18) X(ZU_MOD_RIGHT_CONTROL, 19)                      \
    X(ZU_MOD_CAPS_LOCK, 24) X(ZU_MOD_EXTRA_LOCK_1, 25)                          \
    X(ZU_MOD_EXTRA_LOCK_2, 26) X(ZU_MOD_EXTRA_LOCK_3, 27)                       \
    X(ZU_MOD_EXTRA_LOCK_4, 28) X(ZU_MOD_NONE, 31)
// clang-format on
ZU_ENUM(ZuKeyModifier, ZU_KEY_MODIFIER_LIST)

// clang-format off
#define ZU_KEY_TYPE_LIST(X)                                                     \
    X(ZU_KEY_NONE, 0) X(ZU_KEY_SPECIAL, 1) X(ZU_KEY_ALPHANUM, 2)                \
    X(ZU_KEY_FUNCTION, 3) X(ZU_KEY_RETURN, 4) X(ZU_KEY_ENTER, 5)                \
    X(ZU_KEY_TAB, 6) X(ZU_KEY_BACKSPACE, 7) X(ZU_KEY_DELETE, 8)                 \
    X(ZU_KEY_CURSOR, 9) X(ZU_KEY_ESCAPE, 10)
// clang-format on
ZU_ENUM(ZuKeyType, ZU_KEY_TYPE_LIST)

// The key code of ZU_KEY_CURSOR keys.
// clang-format off
#define ZU_KEY_CURSOR_LIST(X)                                                   \
    X(ZU_CURSOR_NONE, 0) X(ZU_CURSOR_UP, 1) X(ZU_CURSOR_DOWN, 2)                \
    X(ZU_CURSOR_LEFT, 3) X(ZU_CURSOR_RIGHT, 4) X(ZU_CURSOR_PAGE_UP, 5)          \
    X(ZU_CURSOR_PAGE_DOWN, 6) X(ZU_CURSOR_HOME, 7) X(ZU_CURSOR_END, 8)          \
    X(ZU_CURSOR_TOP, 9) X(ZU_CURSOR_BOTTOM, 10) X(ZU_CURSOR_SPECIAL, 11)
// clang-format on
ZU_ENUM(ZuKeyCursor, ZU_KEY_CURSOR_LIST)

typedef Bitset<ZuKeyModifier> ZuKeyModifiers;

// Basic types named by the type descriptors.
typedef int8_t Int8;
typedef int16_t Int16;
typedef int32_t Int32;
typedef int64_t Int64;
typedef uint8_t Card8;
typedef uint16_t Card16;
typedef uint32_t Card32;
typedef uint64_t Card64;
typedef double Real;
typedef char LatinChar;
typedef uint16_t UnicodeChar;
typedef double ZuCoord;
typedef double ZuRelCoord;
typedef int64_t ZuTimeTick;
typedef int64_t ZuFilePos;

// Converters from dynamic values. An empty handle gives 0, false, 0.0 or
// null; otherwise the value's Ret operation, cut to the width of the type.
int8_t Zuvi_ValueToInt8(const ZuValueRef& value);
int16_t Zuvi_ValueToInt16(const ZuValueRef& value);
int32_t Zuvi_ValueToInt32(const ZuValueRef& value);
int64_t Zuvi_ValueToInt64(const ZuValueRef& value);
int64_t Zuvi_ValueToZuTimeTick(const ZuValueRef& value);
int64_t Zuvi_ValueToZuFilePos(const ZuValueRef& value);
uint8_t Zuvi_ValueToCard8(const ZuValueRef& value);
uint16_t Zuvi_ValueToCard16(const ZuValueRef& value);
// Zuvi_ValueToCard32 is declared with the enumeration family.
uint32_t Zuvi_ValueToCount(const ZuValueRef& value);
uint8_t Zuvi_ValueToByte(const ZuValueRef& value);
char Zuvi_ValueToLatinChar(const ZuValueRef& value);
uint16_t Zuvi_ValueToUnicodeChar(const ZuValueRef& value);
uint64_t Zuvi_ValueToCard64(const ZuValueRef& value);
double Zuvi_ValueToReal(const ZuValueRef& value);
double Zuvi_ValueToZuCoord(const ZuValueRef& value);
double Zuvi_ValueToZuRelCoord(const ZuValueRef& value);
// RetCard32 not 0: a text "true" or a real 0.5 gives false.
bool Zuvi_ValueToBool(const ZuValueRef& value);
void* Zuvi_ValueToPointer(const ZuValueRef& value);
ZuResIDDef* Zuvi_ValueToZuResID(const ZuValueRef& value);
ZuKeyModifiers Zuvi_ValueToZuKeyModifiers(const ZuValueRef& value);
// There is no conversion to a key record: a call stops the program.
ZuKey Zuvi_ValueToZuKey(const ZuValueRef& value);

// Type definitions of the basic types (si/types.cpp).
// clang-format off
#define ZU_BASIC_TYPE_LIST(X)                                                   \
    X(Int8) X(Int16) X(Int32) X(Int64) X(Card8) X(Card16) X(Card32) X(Card64)   \
    X(Real) X(LatinChar) X(Bool) X(UnicodeChar) X(ZuCoord) X(ZuRelCoord)        \
    X(Count) X(Byte) X(ZuResID) X(Pointer) X(ZuKey) X(ZuKeyModifiers)           \
    X(ZuTimeTick) X(ZuFilePos)
// clang-format on
#define ZU_BASIC_TYPE_DECLARE_(T)       \
    extern const Zuvi_TypeDef T##_type; \
    extern const Zuvi_TypeDef* const T##TypeDef;
ZU_BASIC_TYPE_LIST(ZU_BASIC_TYPE_DECLARE_)
#undef ZU_BASIC_TYPE_DECLARE_

#endif
