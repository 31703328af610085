// IChangeUnit: an object that follows the document's main unit (the page
// view, numeric entries, lists of positions). The document calls every
// live object that implements it, once each, when the unit changes.
#ifndef LUMBRA_APP_ICHANGEUNIT_H
#define LUMBRA_APP_ICHANGEUNIT_H

#include "si/interface.h"

class IChangeUnit {
public:
    static const Zuvi_Interface interface;

    // unit: the new unit code.
    virtual void ChangeUnit(int unit) = 0;
    virtual ZuObject* RetSelfAsObject() = 0;

protected:
    IChangeUnit() = default;
    IChangeUnit(const IChangeUnit&) = default;
    IChangeUnit& operator=(const IChangeUnit&) = default;
    ~IChangeUnit() = default;
};

#endif
