// ZuiValue: an object that shows or edits one dynamic value.
#ifndef SI_IVALUE_H
#define SI_IVALUE_H

#include "si/interface.h"

class ZuValueRef;

class ZuiValue
{
public:
    static Zuvi_Interface const interface;

    virtual bool SetValue(ZuValueRef const & value) = 0;
    virtual ZuValueRef RetValue() = 0;
    virtual ZuObject * RetSelfAsObject() = 0;

protected:
    ZuiValue() = default;
    ZuiValue(ZuiValue const &) = default;
    ZuiValue & operator=(ZuiValue const &) = default;
    ~ZuiValue() = default;
};

#endif
