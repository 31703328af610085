// ZuiFileSort: orders two file entries, each given by its name and its
// description; ZuFileSortType names the keys that file sorts compare by.
#ifndef SI_IFILESORT_H
#define SI_IFILESORT_H

#include "si/enumfamily.h"
#include "si/fileatt.h"
#include "si/interface.h"

// clang-format off
#define ZU_FILE_SORT_TYPE_LIST(X)                                               \
    X(ZU_FILE_SORT_NONE, 0) X(ZU_FILE_SORT_NAME, 1) X(ZU_FILE_SORT_TYPE, 2)     \
    X(ZU_FILE_SORT_SUBTYPE, 3) X(ZU_FILE_SORT_SIZE, 4)                          \
    X(ZU_FILE_SORT_TIME_CREATED, 5) X(ZU_FILE_SORT_TIME_MODIFIED, 6)            \
    X(ZU_FILE_SORT_TIME_ACCESSED, 7) X(ZU_FILE_SORT_DIRECTORY, 10)
// clang-format on
ZU_ENUM(ZuFileSortType, ZU_FILE_SORT_TYPE_LIST)

// The sort key of a file-attribute bit: the bit's number plus 10 (the
// directory bit gives ZU_FILE_SORT_DIRECTORY).
inline ZuFileSortType Zuvi_FileSortType(ZuFileAttributesBit bit)
{
    return static_cast<ZuFileSortType>(static_cast<unsigned int>(bit) + 10);
}

class ZuStringRef;

class ZuiFileSort {
public:
    static const Zuvi_Interface interface;

    // Negative, 0 or positive as the first entry sorts before, with or after
    // the second.
    virtual int Compare(const ZuStringRef& name1, const ZuFileAttInfo& info1,
                        const ZuStringRef& name2, const ZuFileAttInfo& info2) const = 0;
    virtual ZuObject* RetSelfAsObject() = 0;

protected:
    ZuiFileSort() = default;
    ZuiFileSort(const ZuiFileSort&) = default;
    ZuiFileSort& operator=(const ZuiFileSort&) = default;
    ~ZuiFileSort() = default;
};

#endif
