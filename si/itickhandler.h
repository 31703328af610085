// ZuiTickHandler: an object that the application's tick timers call.
#ifndef SI_ITICKHANDLER_H
#define SI_ITICKHANDLER_H

#include "si/interface.h"

class ZuiTickHandler {
public:
    static const Zuvi_Interface interface;

    virtual void Tick(unsigned int tick) = 0;
    virtual ZuObject* RetSelfAsObject() = 0;

protected:
    ZuiTickHandler() = default;
    ZuiTickHandler(const ZuiTickHandler&) = default;
    ZuiTickHandler& operator=(const ZuiTickHandler&) = default;
    ~ZuiTickHandler() = default;
};

#endif
