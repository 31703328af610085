// ZuiCache: an object that keeps a cache and can report on it.
#ifndef SI_ICACHE_H
#define SI_ICACHE_H

#include <cstdio>

#include "si/interface.h"

class ZuiCache {
public:
    static const Zuvi_Interface interface;

    virtual void DumpStatistics(FILE* file) = 0;
    virtual ZuObject* RetSelfAsObject() = 0;

    // Calls DumpStatistics of every live object that supports the
    // interface, once each; false when no mark pass can be started.
    static bool DumpStatisticsForAll(FILE* file);

protected:
    ZuiCache() = default;
    ZuiCache(const ZuiCache&) = default;
    ZuiCache& operator=(const ZuiCache&) = default;
    ~ZuiCache() = default;
};

#endif
