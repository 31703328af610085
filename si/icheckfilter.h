// ZuiCheckFilter: decides whether a text is valid for a checker and fills
// its validity record.
#ifndef SI_ICHECKFILTER_H
#define SI_ICHECKFILTER_H

#include "si/interface.h"

class ZuStringRef;
struct ZuValidityRecord;

class ZuiCheckFilter
{
public:
    static Zuvi_Interface const interface;

    virtual bool Check(ZuStringRef const & text, ZuValidityRecord & record) const = 0;
    virtual ZuObject * RetSelfAsObject() = 0;

protected:
    ZuiCheckFilter() = default;
    ZuiCheckFilter(ZuiCheckFilter const &) = default;
    ZuiCheckFilter & operator=(ZuiCheckFilter const &) = default;
    ~ZuiCheckFilter() = default;
};

#endif
