// The verdict of a check: ZuValidity (unknown, true or false) and the
// record that a check filter fills for a checker: the verdict, the range of
// offending characters and a name for the error. Copied by value.
#ifndef SI_VALIDITY_H
#define SI_VALIDITY_H

#include "si/atom.h"
#include "si/enumfamily.h"

#define ZU_VALIDITY_LIST(X) X(ZU_VALIDITY_UNKNOWN, 0) X(ZU_VALIDITY_TRUE, 1) X(ZU_VALIDITY_FALSE, 2)
ZU_ENUM(ZuValidity, ZU_VALIDITY_LIST)

struct ZuValidityRecord {
    ZuValidityRecord() : validity(ZU_VALIDITY_UNKNOWN), first(0), count(0) {}
    ZuValidityRecord(ZuValidity v, unsigned int f, unsigned int c, const ZuAtomRef& m)
        : validity(v), first(f), count(c), message(m)
    {}
    ZuValidityRecord(const ZuValidityRecord& other) = default;
    ZuValidityRecord& operator=(const ZuValidityRecord& other) = default;

    bool operator==(const ZuValidityRecord& o) const
    {
        return validity == o.validity && first == o.first && count == o.count &&
               message == o.message;
    }
    bool operator!=(const ZuValidityRecord& o) const { return !(*this == o); }

    // The default record: unknown, no range, no message.
    static const ZuValidityRecord none;

    ZuValidity validity;
    unsigned int first; // first offending character
    unsigned int count; // number of offending characters
    ZuAtomRef message;  // a name for the error
};

// There is no such conversion: a programming error that stops the program.
ZuValidityRecord Zuvi_ValueToZuValidityRecord(const ZuValueRef& value);

#endif
