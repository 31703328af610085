// ZuiCheckFilter: decides whether a text is valid for a checker and fills
// its validity record.
#ifndef SI_ICHECKFILTER_H
#define SI_ICHECKFILTER_H

#include "si/interface.h"

class ZuStringRef;
struct ZuValidityRecord;

class ZuiCheckFilter {
public:
    static const Zuvi_Interface interface;

    virtual bool Check(const ZuStringRef& text, ZuValidityRecord& record) const = 0;
    virtual ZuObject* RetSelfAsObject() = 0;

protected:
    ZuiCheckFilter() = default;
    ZuiCheckFilter(const ZuiCheckFilter&) = default;
    ZuiCheckFilter& operator=(const ZuiCheckFilter&) = default;
    ~ZuiCheckFilter() = default;
};

#endif
