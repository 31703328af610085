// Zuvi_Module: a plug-in module (a shared library) loaded by path. A loaded
// module stays loaded; the classes it registers while loading are taken
// into the class factory.
#ifndef SD_COMMON_SD_MODULE_H
#define SD_COMMON_SD_MODULE_H

#include "w32/windef.h"

class ZuStringRef;

class Zuvi_Module {
public:
    Zuvi_Module();
    ~Zuvi_Module();

    // False when a module is loaded already, when the path is not a name
    // that fits, or when loading fails (an exception thrown by the module's
    // initialisers counts as a failure).
    bool Load(const ZuStringRef& path);

private:
    HMODULE module;
};

#endif
