// ZuNumCheckFilter: the library's check filter for numeric text. It reaches no
// verdict: Check answers false for every text and leaves the record as it
// was, so a checker that has only this filter finds every text valid.
#ifndef SI_NUMCHECKFILTER_H
#define SI_NUMCHECKFILTER_H

#include "si/basecheckfilter.h"

ZU_HANDLE(ZuNumCheckFilter, ZuBaseCheckFilter)

class ZuNumCheckFilter : public ZuBaseCheckFilter {
    ZU_CLASS(ZuNumCheckFilter, ZuBaseCheckFilter)
public:
    ZuNumCheckFilter() {}

    bool Check(const ZuStringRef& text, ZuValidityRecord& record) const override;

protected:
    // The base filter's part, then "<ZuNumCheckFilter >", begin, end.
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;
};
ZU_CLASS_END(ZuNumCheckFilter)

#endif
