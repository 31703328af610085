// ZuiClassPatch: supplies replacement construction functions for classes
// (a locale does, for the classes it localises).
#ifndef SI_ICLASSPATCH_H
#define SI_ICLASSPATCH_H

#include "si/interface.h"

class ZuRuntime;

class ZuiClassPatch {
public:
    typedef void (*ConstructFunc)(void* memory, unsigned int size);

    static const Zuvi_Interface interface;

    // The construction function that replaces the class's own, or null.
    virtual ConstructFunc FindAlternateConstructor(const ZuRuntime* runtime) = 0;
    virtual ZuObject* RetSelfAsObject() = 0;

protected:
    ZuiClassPatch() = default;
    ZuiClassPatch(const ZuiClassPatch&) = default;
    ZuiClassPatch& operator=(const ZuiClassPatch&) = default;
    ~ZuiClassPatch() = default;
};

#endif
