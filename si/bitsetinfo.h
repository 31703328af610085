// ZuBitsetInfo: the named members of a 64-bit set that a class publishes as
// a data item, in groups; built from the class's static member tables, held
// by the item's type descriptor, and storable.
#pragma once

#include "si/enumfamily.h"

// How a member's number is meant: a mask of bits, a bit number or a value.
#define ZU_BITSET_DATA_TYPE_LIST(X)                                             \
    X(ZU_BITSET_DATA_MASK, 0) X(ZU_BITSET_DATA_BIT, 1) X(ZU_BITSET_DATA_VALUE, 2)
ZU_ENUM(ZuBitsetDataType, ZU_BITSET_DATA_TYPE_LIST)

// The static declaration of one member. A class declares a group as a
// constant array of these and attaches it to a published item
// (ZuRuntime::PublishDataEx); the number of entries of such a table is
// ZU_BITSET_TABLE_COUNT(sizeof table), whatever the record's size is on the
// platform.
struct Zuvi_BitsetDataDef
{
    unsigned int number;
    char const * name;
    ZuBitsetDataType kind;
};

#define ZU_BITSET_TABLE_COUNT(size_in_bytes) ((size_in_bytes) / sizeof(Zuvi_BitsetDataDef))
