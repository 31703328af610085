// ZuTimeUSLocale: the time class of the locales "US-EN" and "UK-EN". It adds
// nothing to ZuTime: while one of those locales is active, the class
// factory builds it wherever a "ZuTime" is asked for.
#ifndef SI_TIMEUSLOCALE_H
#define SI_TIMEUSLOCALE_H

#include "si/time.h"

ZU_HANDLE(ZuTimeUSLocale, ZuTime)

class ZuTimeUSLocale : public ZuTime {
    ZU_CLASS(ZuTimeUSLocale, ZuTime)

public:
    ZuTimeUSLocale() {}
    ~ZuTimeUSLocale() override;
};
ZU_CLASS_END(ZuTimeUSLocale)

#endif
