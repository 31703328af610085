// ZuiTickHandler: an object that the application's tick timers call.
#ifndef SI_ITICKHANDLER_H
#define SI_ITICKHANDLER_H

#include "si/interface.h"

class ZuiTickHandler
{
public:
    static Zuvi_Interface const interface;

    virtual void Tick(unsigned int tick) = 0;
    virtual ZuObject * RetSelfAsObject() = 0;

protected:
    ZuiTickHandler() = default;
    ZuiTickHandler(ZuiTickHandler const &) = default;
    ZuiTickHandler & operator=(ZuiTickHandler const &) = default;
    ~ZuiTickHandler() = default;
};

#endif
