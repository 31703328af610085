// ZuiValue: an object that shows or edits one dynamic value.
#ifndef SI_IVALUE_H
#define SI_IVALUE_H

#include "si/interface.h"

class ZuValueRef;

class ZuiValue {
public:
    static const Zuvi_Interface interface;

    virtual bool SetValue(const ZuValueRef& value) = 0;
    virtual ZuValueRef RetValue() = 0;
    virtual ZuObject* RetSelfAsObject() = 0;

protected:
    ZuiValue() = default;
    ZuiValue(const ZuiValue&) = default;
    ZuiValue& operator=(const ZuiValue&) = default;
    ~ZuiValue() = default;
};

#endif
