// The support family that every enumeration of the library carries.
//
// An enumeration is written once, as a list of (name, code) pairs:
//
//     #define ZU_KEY_TYPE_LIST(X) X(ZU_KEY_NONE, 0) X(ZU_KEY_SPECIAL, 1) ...
//     ZU_ENUM(ZuKeyType, ZU_KEY_TYPE_LIST)          // in the header
//     ZU_ENUM_REGISTER(ZuKeyType)                   // in one source file
//
// ZU_ENUM declares the enumeration (32 bits, unsigned) with exactly those
// codes, its name table in the same order, and the family:
//   Zuvi_ValueToE(ZuValueRef const &)        the value's RetCard32
//   operator<<(ZuStorageRef const &, E)      the code as a cardinal
//   operator>>(ZuStorageRef const &, E &)    an unsigned number, default 0
//   IsValid(E)                               the code is in the table
//   operator++(E &, int)                     next code of the table
//   ERetName(E const &)                      name text, "?" when unknown
//   operator==(E, E), operator!=(E, E)       the 32-bit codes compared
// ZU_ENUM_REGISTER defines the type definition E_type, ETypeDef and the
// registration that makes the type known by its name.
#ifndef SI_ENUMFAMILY_H
#define SI_ENUMFAMILY_H

#include <cstddef>

class ZuValueRef;
class ZuStorageRef;
struct Zuvi_TypeDef;

// One entry of a name table; a table ends with an entry whose name is null.
struct Zuvi_EnumName {
    unsigned int code;
    const char* name;
};

// The table walks behind the family. They are linear from the first entry;
// an empty table knows no code.
inline const Zuvi_EnumName* Zuvi_EnumFind(const Zuvi_EnumName* table, unsigned int code)
{
    for (; table && table->name; ++table)
        if (table->code == code)
            return table;
    return nullptr;
}

inline bool Zuvi_EnumIsValid(const Zuvi_EnumName* table, unsigned int code)
{
    return Zuvi_EnumFind(table, code) != nullptr;
}

// The code after `code` in table order; past the last entry the code plus
// one; a code the table does not know stays as it is.
inline unsigned int Zuvi_EnumNext(const Zuvi_EnumName* table, unsigned int code)
{
    const Zuvi_EnumName* entry = Zuvi_EnumFind(table, code);
    if (!entry)
        return code;
    if (entry[1].name)
        return entry[1].code;
    return code + 1;
}

inline const char* Zuvi_EnumRetName(const Zuvi_EnumName* table, unsigned int code)
{
    const Zuvi_EnumName* entry = Zuvi_EnumFind(table, code);
    return entry ? entry->name : "?";
}

// Shared by every enumeration's converter and storage operators
// (si/types.cpp).
unsigned int Zuvi_ValueToCard32(const ZuValueRef& value);
const ZuStorageRef& Zuvi_StoreEnumCode(const ZuStorageRef& storage, unsigned int code);
const ZuStorageRef& Zuvi_RestoreEnumCode(const ZuStorageRef& storage, unsigned int& code);

#define ZU_ENUM_DECLARE_VALUE_(name, code) name = code,
#define ZU_ENUM_TABLE_ENTRY_(name, code) {code, #name},

#define ZU_ENUM(E, LIST)                                                                   \
    enum E : unsigned int { LIST(ZU_ENUM_DECLARE_VALUE_) };                                \
    inline constexpr Zuvi_EnumName E##_names[] = {LIST(ZU_ENUM_TABLE_ENTRY_){0, nullptr}}; \
    ZU_ENUM_FAMILY(E)

// As ZU_ENUM, with the name given to codes outside the table and the
// default a restored value takes (an expression of the variable e).
#define ZU_ENUM_EX(E, LIST, UNKNOWN_NAME, RESTORE_DEFAULT)                                 \
    enum E : unsigned int { LIST(ZU_ENUM_DECLARE_VALUE_) };                                \
    inline constexpr Zuvi_EnumName E##_names[] = {LIST(ZU_ENUM_TABLE_ENTRY_){0, nullptr}}; \
    ZU_ENUM_FAMILY_EX(E, UNKNOWN_NAME, RESTORE_DEFAULT)

// The family over an enumeration whose table E##_names is already declared.
#define ZU_ENUM_FAMILY(E) ZU_ENUM_FAMILY_EX(E, "?", 0u)

#define ZU_ENUM_FAMILY_EX(E, UNKNOWN_NAME, RESTORE_DEFAULT)                                  \
    extern const Zuvi_TypeDef E##_type;                                                      \
    extern const Zuvi_TypeDef* const E##TypeDef;                                             \
    inline bool IsValid(E e)                                                                 \
    {                                                                                        \
        return Zuvi_EnumIsValid(E##_names, static_cast<unsigned int>(e));                    \
    }                                                                                        \
    inline E operator++(E& e, int)                                                           \
    {                                                                                        \
        E old = e;                                                                           \
        e = static_cast<E>(Zuvi_EnumNext(E##_names, static_cast<unsigned int>(e)));          \
        return old;                                                                          \
    }                                                                                        \
    inline const char* E##RetName(E const& e)                                                \
    {                                                                                        \
        const Zuvi_EnumName* entry = Zuvi_EnumFind(E##_names, static_cast<unsigned int>(e)); \
        return entry ? entry->name : UNKNOWN_NAME;                                           \
    }                                                                                        \
    inline bool operator==(E a, E b)                                                         \
    {                                                                                        \
        return static_cast<unsigned int>(a) == static_cast<unsigned int>(b);                 \
    }                                                                                        \
    inline bool operator!=(E a, E b)                                                         \
    {                                                                                        \
        return static_cast<unsigned int>(a) != static_cast<unsigned int>(b);                 \
    }                                                                                        \
    inline E Zuvi_ValueTo##E(const ZuValueRef& value)                                        \
    {                                                                                        \
        return static_cast<E>(Zuvi_ValueToCard32(value));                                    \
    }                                                                                        \
    inline const ZuStorageRef& operator<<(const ZuStorageRef& storage, E e)                  \
    {                                                                                        \
        return Zuvi_StoreEnumCode(storage, static_cast<unsigned int>(e));                    \
    }                                                                                        \
    inline const ZuStorageRef& operator>>(const ZuStorageRef& storage, E& e)                 \
    {                                                                                        \
        unsigned int code = RESTORE_DEFAULT;                                                 \
        const ZuStorageRef& result = Zuvi_RestoreEnumCode(storage, code);                    \
        e = static_cast<E>(code);                                                            \
        return result;                                                                       \
    }

#endif
