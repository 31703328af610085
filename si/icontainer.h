// ZuiContainer: the generic way to count and read any container.
#ifndef SI_ICONTAINER_H
#define SI_ICONTAINER_H

#include "si/interface.h"

class ZuObjectRef;

class ZuiContainer {
public:
    static const Zuvi_Interface interface;

    virtual unsigned int TotalCount() const = 0;
    // false past the end.
    virtual bool Get(unsigned int index, ZuObjectRef& out) = 0;
    virtual ZuObject* RetSelfAsObject() = 0;

protected:
    ZuiContainer() = default;
    ZuiContainer(const ZuiContainer&) = default;
    ZuiContainer& operator=(const ZuiContainer&) = default;
    ~ZuiContainer() = default;
};

#endif
