// File attributes: the description of a file, folder, drive or pseudo-folder
// that listings, file lists, sorts and filters exchange.
#ifndef SI_FILEATT_H
#define SI_FILEATT_H

#include "si/bitset.h"
#include "si/enumfamily.h"

#include <cstdint>

// clang-format off
#define ZU_FATT_OS_DEPENDENT_LIST_(X)                                           \
    X(ZU_FATT_OS_DEPENDENT_0, 16) X(ZU_FATT_OS_DEPENDENT_1, 17)                 \
    X(ZU_FATT_OS_DEPENDENT_2, 18) X(ZU_FATT_OS_DEPENDENT_3, 19)                 \
    X(ZU_FATT_OS_DEPENDENT_4, 20) X(ZU_FATT_OS_DEPENDENT_5, 21)                 \
    X(ZU_FATT_OS_DEPENDENT_6, 22) X(ZU_FATT_OS_DEPENDENT_7, 23)                 \
    X(ZU_FATT_OS_DEPENDENT_8, 24) X(ZU_FATT_OS_DEPENDENT_9, 25)                 \
    X(ZU_FATT_OS_DEPENDENT_10, 26) X(ZU_FATT_OS_DEPENDENT_11, 27)               \
    X(ZU_FATT_OS_DEPENDENT_12, 28) X(ZU_FATT_OS_DEPENDENT_13, 29)               \
    X(ZU_FATT_OS_DEPENDENT_14, 30) X(ZU_FATT_OS_DEPENDENT_15, 31)
// clang-format on

// clang-format off
#define ZU_FILE_ATTRIBUTES_BIT_LIST(X)                                          \
    X(ZU_FATT_DIRECTORY, 0) X(ZU_FATT_LINK, 1) X(ZU_FATT_PSEUDO, 2)             \
    X(ZU_FATT_VOLUME, 3) X(ZU_FATT_READ_OK, 8) X(ZU_FATT_WRITE_OK, 9)           \
    X(ZU_FATT_CUSTOM_ICON, 13) X(ZU_FATT_HIDDEN, 14) X(ZU_FATT_SYSTEM, 15)      \
    ZU_FATT_OS_DEPENDENT_LIST_(X)                                               \
    X(ZU_FATT_VOLUME_FLOPPY, 32) X(ZU_FATT_VOLUME_REMOVABLE, 33)                \
    X(ZU_FATT_VOLUME_CD, 34)
// clang-format on
ZU_ENUM(ZuFileAttributesBit, ZU_FILE_ATTRIBUTES_BIT_LIST)

typedef Bitset<ZuFileAttributesBit> ZuFileAttributes;

class ZuValueRef;
class ZuStorageRef;

// Size, the three times (absolute times of ZuTime, local time) and the
// attribute bits. Copied by value.
class ZuFileAttInfo {
public:
    ZuFileAttInfo() : size(0), time_created(0), time_modified(0), time_accessed(0) {}
    ZuFileAttInfo(const ZuFileAttInfo& other) = default;
    ZuFileAttInfo& operator=(const ZuFileAttInfo& other) = default;

    bool operator==(const ZuFileAttInfo& other) const
    {
        return size == other.size && time_created == other.time_created &&
               time_modified == other.time_modified && time_accessed == other.time_accessed &&
               attributes == other.attributes;
    }
    bool operator!=(const ZuFileAttInfo& other) const { return !(*this == other); }

    // The empty record: all fields zero, no attribute.
    static const ZuFileAttInfo empty;

    uint64_t size;
    int64_t time_created;
    int64_t time_modified;
    int64_t time_accessed;
    ZuFileAttributes attributes;
};

// begin, size and the three times as 64-bit integers, the attributes as a
// set, end; each field is read with its current value as the default.
const ZuStorageRef& operator<<(const ZuStorageRef& storage, const ZuFileAttInfo& info);
const ZuStorageRef& operator>>(const ZuStorageRef& storage, ZuFileAttInfo& info);

// The value's 64 bits as the set.
ZuFileAttributes Zuvi_ValueToZuFileAttributes(const ZuValueRef& value);
// There is no such conversion: a programming error that stops the program.
ZuFileAttInfo Zuvi_ValueToZuFileAttInfo(const ZuValueRef& value);

extern const Zuvi_TypeDef ZuFileAttributes_type;
extern const Zuvi_TypeDef* const ZuFileAttributesTypeDef;
extern const Zuvi_TypeDef ZuFileAttInfo_type;
extern const Zuvi_TypeDef* const ZuFileAttInfoTypeDef;

#endif
